#include "app/StorageFile.h"

#include "app/Paths.h"
#include "app/StorageHelpers.h"

#include "platform/base/Archive.h"
#include "platform/base/CodePage.h"
#include "platform/base/Exception.h"
#include "platform/base/File.h"
#include "platform/files/FileApi.h"
#include "platform/storage/Storage.h"

#include <algorithm>
#include <string>

namespace {

constexpr DWORD kCreateFileMode = STGM_TRANSACTED | STGM_CREATE | STGM_SHARE_DENY_WRITE | STGM_WRITE;
constexpr DWORD kOpenFileForWrite = STGM_TRANSACTED | STGM_SHARE_EXCLUSIVE | STGM_READWRITE;
constexpr DWORD kOpenFileForRead = STGM_SHARE_DENY_WRITE | STGM_READ;
// Destroying an element needs no transaction: it reaches the file at once.
constexpr DWORD kOpenFileToDestroy = STGM_DIRECT | STGM_SHARE_EXCLUSIVE | STGM_READWRITE;
constexpr DWORD kOpenStreamForWrite = STGM_SHARE_EXCLUSIVE | STGM_READWRITE;
constexpr DWORD kCreateStream = STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE;
constexpr DWORD kOpenStreamForRead = STGM_SHARE_EXCLUSIVE | STGM_READ;
constexpr UINT kCopyPiece = 1024;

// A new empty file in the temporary folder, removed again when the object
// goes; throws CFileException when none can be made.
class TemporaryFile {
public:
    TemporaryFile() { GetTempFilePath(m_strPath, "stf"); }
    ~TemporaryFile() { DeleteFile(m_strPath); }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const CString& GetPath() const { return m_strPath; }

private:
    CString m_strPath;
};

} // namespace

CStorageFile::CStorageFile()
    : m_pArchive(nullptr)
    , m_pStorage(nullptr)
    , m_bOpen(FALSE)
    , m_pDocument(nullptr)
    , m_bWriting(FALSE)
{
}

CStorageFile::~CStorageFile()
{
    try {
        Close();
    } catch (CException* e) {
        e->Delete();
    }
}

void CStorageFile::SetPath(LPCTSTR lpszPath, CDocument* pDocument)
{
    m_strPath = lpszPath;
    m_pDocument = pDocument;
}

BOOL CStorageFile::SelectStream(LPCTSTR lpszStreamName, BOOL bWriting)
{
    const CString strName = lpszStreamName ? lpszStreamName : "";
    if (m_bOpen && !m_bWriting == !bWriting && m_strStreamName.Compare(strName) == 0)
        return FALSE;
    m_strStreamName = strName;
    CloseStorage();
    return TRUE;
}

void CStorageFile::Close()
{
    SelectStream(nullptr, FALSE);
}

void CStorageFile::CloseStorage()
{
    // Whatever fails, the stream and the storage are let go; the first
    // failure is rethrown at the end. After a failed flush the storage is
    // not committed, so the file keeps what it had.
    CException* pFailure = CloseArchiveAndStream(m_pArchive, m_stream, m_bOpen);
    if (m_pStorage) {
        if (m_bWriting && pFailure == nullptr)
            m_pStorage->Commit(STGC_ONLYIFCURRENT);
        m_pStorage->Release();
        m_pStorage = nullptr;
    }
    if (pFailure)
        throw pFailure;
}

void CStorageFile::OpenForWrite(LPCTSTR lpszStreamName, BOOL bWithArchive)
{
    if (!SelectStream(lpszStreamName, TRUE))
        return;
    m_bWriting = TRUE;
    if (!FileExists(m_strPath)) {
        const std::u16string path = platform::Utf16From1252(m_strPath.View());
        IStorage* pNew = nullptr;
        if (SUCCEEDED(StgCreateDocfile(path.c_str(), kCreateFileMode, 0, &pNew)))
            pNew->Release();
    }
    m_pStorage = OpenStorageAt(m_strPath, kOpenFileForWrite);
    if (m_pStorage) {
        CFileException error;
        if (!m_stream.OpenStream(m_pStorage, m_strStreamName, kOpenStreamForWrite, &error)
            && !m_stream.CreateStream(m_pStorage, m_strStreamName, kCreateStream, &error))
            AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
        m_bOpen = TRUE;
        if (bWithArchive)
            m_pArchive = NewStreamArchive(m_stream, CArchive::store, m_pDocument);
    }
    if (bWithArchive && m_pArchive == nullptr)
        Close();
}

void CStorageFile::OpenForRead(LPCTSTR lpszStreamName, BOOL bWithArchive)
{
    if (!SelectStream(lpszStreamName, FALSE))
        return;
    m_bWriting = FALSE;
    m_pStorage = OpenStorageAt(m_strPath, kOpenFileForRead);
    if (m_pStorage) {
        CFileException error;
        if (!m_stream.OpenStream(m_pStorage, m_strStreamName, kOpenStreamForRead, &error))
            AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
        m_bOpen = TRUE;
        if (bWithArchive)
            m_pArchive = NewStreamArchive(m_stream, CArchive::load, m_pDocument);
    }
    if (bWithArchive && m_pArchive == nullptr)
        Close();
}

void CStorageFile::CopyStream(LPCTSTR lpszSource, LPCTSTR lpszTarget)
{
    OpenForRead(lpszSource, FALSE);
    if (!m_bOpen)
        return;
    m_stream.SeekToBegin();

    // The bytes go through a temporary file because only one stream of the
    // compound file is open at a time.
    TemporaryFile temp;
    BYTE buffer[kCopyPiece];
    {
        CFile out(temp.GetPath(), CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive);
        DWORD dwLeft = m_stream.GetLength();
        while (dwLeft > 0) {
            const UINT nRead = m_stream.Read(buffer, std::min<DWORD>(dwLeft, kCopyPiece));
            if (nRead == 0)
                break;
            out.Write(buffer, nRead);
            dwLeft -= nRead;
        }
        out.Close();
    }

    OpenForWrite(lpszTarget, FALSE);
    if (!m_bOpen)
        return;
    // An existing target is opened, not replaced: drop its old bytes so that
    // a longer target keeps no tail.
    m_stream.SetLength(0);
    CFile in(temp.GetPath(), CFile::modeRead | CFile::shareExclusive);
    for (;;) {
        const UINT nRead = in.Read(buffer, kCopyPiece);
        if (nRead == 0)
            break;
        m_stream.Write(buffer, nRead);
    }
    in.Close();
}

BOOL CStorageFile::DeleteStream(LPCTSTR lpszStreamName)
{
    if (!SelectStream(lpszStreamName, TRUE) || !FileExists(m_strPath))
        return FALSE;
    // The storage stays held until the next close, which commits it.
    m_pStorage = OpenStorageAt(m_strPath, kOpenFileToDestroy);
    if (!m_pStorage)
        return FALSE;
    m_bWriting = TRUE;
    const std::u16string name = platform::Utf16From1252(m_strStreamName.View());
    return SUCCEEDED(m_pStorage->DestroyElement(name.c_str()));
}
