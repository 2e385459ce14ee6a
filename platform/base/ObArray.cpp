#include "platform/base/ObArray.h"

#include "platform/base/Archive.h"
#include "platform/base/Exception.h"

IMPLEMENT_SERIAL(CObArray, CObject, 0)

void CObArray::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteCount(m_data.size());
        for (CObject* pOb : m_data)
            ar << pOb;
        return;
    }
    const DWORD_PTR nCount = ar.ReadCount();
    // Each object takes at least a two-byte tag.
    if (nCount * 2 > ar.GetBytesRemaining())
        AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    SetSize(static_cast<INT_PTR>(nCount));
    for (CObject*& pOb : m_data)
        ar >> pOb;
}
