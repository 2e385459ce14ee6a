#include "platform/base/StringArray.h"

#include "platform/base/Archive.h"
#include "platform/base/Exception.h"

IMPLEMENT_SERIAL(CStringArray, CObject, 0)

void CStringArray::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteCount(m_data.size());
        for (const CString& text : m_data)
            ar << text;
        return;
    }
    // ReadCount has bounded the count by the bytes left; each string takes at
    // least its length byte.
    const DWORD_PTR nCount = ar.ReadCount();
    SetSize(static_cast<INT_PTR>(nCount));
    for (CString& text : m_data)
        ar >> text;
}
