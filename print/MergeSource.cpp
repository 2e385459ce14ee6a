#include "print/MergeSource.h"

#include "platform/base/Archive.h"

IMPLEMENT_DYNAMIC(CMergeSource, CObject)
IMPLEMENT_DYNAMIC(CTextMergeSource, CMergeSource)
IMPLEMENT_DYNAMIC(CAddrFileMergeSource, CMergeSource)

CMergeSource::CMergeSource(CDrawDoc* pDoc)
    : m_pDocument(pDoc)
{
}

CMergeSource::~CMergeSource() = default;

void CMergeSource::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        ar << m_strFileName;
    else
        ar >> m_strFileName;
}

CMergeSource* CMergeSource::Create(DWORD dwType, CDrawDoc* pDoc)
{
    switch (dwType) {
    case TypeTextFile: return new CTextMergeSource(pDoc);
    case TypeAddressBook: return new CAddrFileMergeSource(pDoc);
    default: return nullptr;
    }
}

CTextMergeSource::CTextMergeSource(CDrawDoc* pDoc)
    : CMergeSource(pDoc)
{
}

CAddrFileMergeSource::CAddrFileMergeSource(CDrawDoc* pDoc)
    : CMergeSource(pDoc)
{
}
