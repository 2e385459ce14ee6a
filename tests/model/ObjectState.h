#pragma once
// Comparing drawing objects in tests by what they would store.

#include "model/DrawObj.h"
#include "platform/base/Archive.h"
#include "platform/base/MemFile.h"

#include <cstdlib>
#include <string>

namespace modeltest {

// An object's whole stored record followed by its class name, "(none)" for
// no object: two objects in the same state give the same string.
inline std::string ObjectState(CDrawObj* pObj)
{
    if (pObj == nullptr)
        return "(none)";
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        pObj->Serialize(ar);
        ar.Close();
    }
    const DWORD nLength = file.GetLength();
    BYTE* pBytes = file.Detach();
    std::string out(reinterpret_cast<const char*>(pBytes), nLength);
    free(pBytes);
    return out + pObj->GetRuntimeClass()->m_lpszClassName;
}

} // namespace modeltest
