#include "model/DocQuickInfoFile.h"

#include "model/DrawDoc.h"
#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/base/CodePage.h"
#include "platform/storage/OleStreamFile.h"
#include "platform/storage/Storage.h"
#include "surface/Surface.h"

namespace {

constexpr char kStreamName[] = "Doc Quick Info";

} // namespace

CDocQuickInfo::CDocQuickInfo()
    : m_strStreamName(kStreamName)
{
    InitDocQuickInfo(m_info);
}

void CDocQuickInfo::FillFromDocument(CDrawDoc* pDoc)
{
    m_wSurfaceFlags = 0;
    pDoc->ForEachSurfaceView([this](CSurface* pView) {
        WORD wFlags = 0;
        pView->GetCombinedObjectFlags(&wFlags);
        m_wSurfaceFlags |= wFlags;
    });
    m_strText = pDoc->m_strDesignText;
    m_info = pDoc->GetQuickInfo();
}

void CDocQuickInfo::WriteToStorage(CDrawDoc* pDoc, IStorage* pStorage)
{
    FillFromDocument(pDoc);
    COleStreamFile file;
    CFileException fe;
    if (!file.CreateStream(pStorage, m_strStreamName, CFile::modeReadWrite | CFile::shareExclusive | CFile::modeCreate,
            &fe))
        AfxThrowFileException(fe.m_cause, fe.m_lOsError);
    CArchive ar(&file, CArchive::store | CArchive::bNoFlushOnDelete);
    ar << kRecordVersion << m_wSurfaceFlags << m_strText << DWORD(0);
    for (LONG nValue : m_info.values)
        ar << nValue;
    ar.Close();
    file.Close();
}

BOOL CDocQuickInfo::ReadFromStorage(CDrawDoc* pDoc, IStorage* pStorage)
{
    (void)pDoc;
    return ReadStream(pStorage);
}

BOOL CDocQuickInfo::ReadStream(IStorage* pStorage)
{
    // A file without the stream reads as no kind with an empty text.
    m_info[DocQuickInfo::Kind] = 6;
    if (pStorage == nullptr)
        return FALSE;
    COleStreamFile file;
    if (!file.OpenStream(pStorage, m_strStreamName, CFile::modeRead | CFile::shareExclusive))
        return FALSE;
    try {
        CArchive ar(&file, CArchive::load | CArchive::bNoFlushOnDelete);
        DWORD dwVersion = 0;
        ar >> dwVersion;
        m_nVersion = static_cast<LONG>(dwVersion);
        ar >> m_wSurfaceFlags >> m_strText;
        if (dwVersion == kRecordVersion) {
            DWORD dwZero = 0;
            ar >> dwZero;
            DocQuickInfo info = m_info;
            for (LONG& nValue : info.values)
                ar >> nValue;
            m_info = info;
        }
        ar.Close();
    } catch (CException* e) {
        e->Delete();
        return FALSE;
    }
    return TRUE;
}

BOOL CDocQuickInfo::ReadFromFile(LPCTSTR lpszPathName)
{
    m_info[DocQuickInfo::Kind] = 6;
    const std::u16string wide = platform::Utf16From1252(lpszPathName);
    IStorage* pStorage = nullptr;
    if (FAILED(StgOpenStorage(wide.c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0, &pStorage)))
        return FALSE;
    const BOOL bRead = ReadStream(pStorage);
    pStorage->Release();
    return bRead;
}
