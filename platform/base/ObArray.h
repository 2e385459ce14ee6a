#pragma once
// CObArray: an array of CObject pointers. It does not own the objects: the
// caller deletes them (RemoveAll only forgets them). Serialises as a count
// and each object through WriteObject, so shared objects stay shared.

#include "platform/base/Arrays.h"

class CObArray : public platform::TypedArray<CObject*> {
    DECLARE_SERIAL(CObArray)
public:
    void Serialize(CArchive& ar) override;
};
