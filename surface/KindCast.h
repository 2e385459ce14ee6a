#pragma once
// Casts an object to a class of the run-time class system when it is one,
// else answers null (also for null).

#include "platform/base/Object.h"

template <class T>
T* KindCast(CRuntimeClass* pClass, CObject* pObject)
{
    return pObject != nullptr && pObject->IsKindOf(pClass) ? static_cast<T*>(pObject) : nullptr;
}
