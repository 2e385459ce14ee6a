#pragma once
// CStringArray: an array of CStrings, serialised as a count and each string
// in the archive's string form.

#include "platform/base/Arrays.h"
#include "platform/base/String.h"

class CStringArray : public platform::TypedArray<CString> {
    DECLARE_SERIAL(CStringArray)
public:
    void Serialize(CArchive& ar) override;
};
