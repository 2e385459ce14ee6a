#include "app/DocStream.h"

#include "app/StorageHelpers.h"

#include "platform/base/Archive.h"
#include "platform/base/CodePage.h"
#include "platform/base/Exception.h"
#include "platform/storage/Storage.h"

#include <string>

namespace {

constexpr DWORD kCreateFileMode = STGM_TRANSACTED | STGM_CREATE | STGM_SHARE_DENY_WRITE | STGM_WRITE;
constexpr DWORD kOpenFileForWrite = STGM_TRANSACTED | STGM_SHARE_EXCLUSIVE | STGM_READWRITE;
constexpr DWORD kOpenStreamForWrite = STGM_SHARE_EXCLUSIVE | STGM_WRITE;
constexpr DWORD kCreateStream = STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_WRITE;
constexpr DWORD kOpenForRead = STGM_SHARE_EXCLUSIVE | STGM_READ;

} // namespace

CDocStream::CDocStream()
    : m_hr(S_OK)
{
    Reset();
}

CDocStream::~CDocStream()
{
    try {
        Close();
    } catch (CException* e) {
        e->Delete();
    }
}

void CDocStream::Reset()
{
    m_pDocument = nullptr;
    m_strPath.Empty();
    m_pArchive = nullptr;
    m_strStreamName.Empty();
    m_pStorage = nullptr;
    m_bOpen = FALSE;
    m_bWriting = FALSE;
    m_bReleaseStorage = TRUE;
}

void CDocStream::Fail(HRESULT hr)
{
    m_hr = hr;
    AfxThrowUserException();
}

void CDocStream::SetStorageStream(IStorage* pStorage, LPCTSTR lpszStreamName, CDocument* pDocument)
{
    Close();
    // Close releases one reference, so take one now: the caller keeps its own.
    if (pStorage)
        pStorage->AddRef();
    m_pStorage = pStorage;
    m_strStreamName = lpszStreamName;
    m_pDocument = pDocument;
}

void CDocStream::SetFileStream(LPCTSTR lpszPath, LPCTSTR lpszStreamName, CDocument* pDocument)
{
    Close();
    m_strPath = lpszPath;
    m_strStreamName = lpszStreamName;
    m_pDocument = pDocument;
}

BOOL CDocStream::CreateFile()
{
    const std::u16string path = platform::Utf16From1252(m_strPath.View());
    IStorage* pStorage = nullptr;
    m_hr = StgCreateDocfile(m_strPath.IsEmpty() ? nullptr : path.c_str(), kCreateFileMode, 0, &pStorage);
    if (FAILED(m_hr))
        return FALSE;
    pStorage->Release();
    return TRUE;
}

void CDocStream::OpenForWrite(BOOL bReplace, BOOL bWithArchive)
{
    m_bWriting = TRUE;
    if (m_pStorage == nullptr) {
        if (!FileExists(m_strPath) && !CreateFile())
            Fail(m_hr);
        m_pStorage = OpenStorageAt(m_strPath, kOpenFileForWrite, &m_hr);
        if (!m_pStorage)
            Fail(m_hr);
    }

    CFileException error;
    BOOL bOpened = FALSE;
    if (!bReplace) {
        bOpened = m_stream.OpenStream(m_pStorage, m_strStreamName, kOpenStreamForWrite, &error);
        if (bOpened) {
            m_bOpen = TRUE;
            // What is written replaces the old bytes: a shorter stream must
            // not keep the old tail.
            try {
                m_stream.SetLength(0);
            } catch (CFileException* e) {
                const HRESULT hr = e->m_lOsError;
                e->Delete();
                Fail(hr);
            }
        }
    }
    if (!bOpened) {
        bOpened = m_stream.CreateStream(m_pStorage, m_strStreamName, kCreateStream, &error);
        if (!bOpened)
            Fail(error.m_lOsError);
    }
    m_hr = S_OK;
    m_bOpen = TRUE;
    if (bWithArchive)
        m_pArchive = NewStreamArchive(m_stream, CArchive::store, m_pDocument);
}

void CDocStream::OpenForRead(BOOL bWithArchive)
{
    m_bWriting = FALSE;
    if (m_pStorage == nullptr) {
        if (m_strPath.IsEmpty() || !FileExists(m_strPath))
            Fail(STG_E_FILENOTFOUND);
        m_pStorage = OpenStorageAt(m_strPath, kOpenForRead, &m_hr);
        if (!m_pStorage)
            Fail(m_hr);
    }

    CFileException error;
    if (!m_stream.OpenStream(m_pStorage, m_strStreamName, kOpenForRead, &error))
        Fail(error.m_lOsError);
    m_hr = S_OK;
    m_bOpen = TRUE;
    if (bWithArchive)
        m_pArchive = NewStreamArchive(m_stream, CArchive::load, m_pDocument);
}

DWORD CDocStream::GetLength() const
{
    return m_bOpen ? m_stream.GetLength() : 0;
}

void CDocStream::Close()
{
    // Whatever fails, the object ends up reset and its storage reference
    // given back; the first failure is rethrown at the end. A stream whose
    // archive could not be flushed is not committed, so the file keeps what
    // it had.
    CException* pFailure = CloseArchiveAndStream(m_pArchive, m_stream, m_bOpen);
    if (m_pStorage) {
        if (m_bWriting && pFailure == nullptr)
            m_hr = m_pStorage->Commit(STGC_ONLYIFCURRENT);
        if (m_bReleaseStorage)
            m_pStorage->Release();
    }
    Reset();
    if (pFailure)
        throw pFailure;
}
