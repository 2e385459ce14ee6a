#include "platform/storage/OleStreamFile.h"

#include "platform/base/CodePage.h"
#include "platform/base/Exception.h"
#include "platform/storage/Storage.h"

IMPLEMENT_DYNAMIC(COleStreamFile, CFile)

namespace {

// Stream names come in as 1252 text.
std::u16string WideName(LPCTSTR name)
{
    return platform::Utf16From1252(name ? std::string_view(name) : std::string_view());
}

void FillError(CFileException* pError, HRESULT hr, LPCTSTR name)
{
    if (!pError)
        return;
    pError->m_cause = CFileException::StorageErrorToException(hr);
    pError->m_lOsError = hr;
    pError->m_strFileName = name ? name : "";
}

} // namespace

COleStreamFile::COleStreamFile(IStream* lpStream) : m_lpStream(lpStream)
{
}

COleStreamFile::~COleStreamFile()
{
    Abort();
}

void COleStreamFile::Attach(IStream* lpStream)
{
    if (m_lpStream && m_lpStream != lpStream)
        m_lpStream->Release();
    m_lpStream = lpStream;
}

IStream* COleStreamFile::Detach()
{
    IStream* stream = m_lpStream;
    m_lpStream = nullptr;
    return stream;
}

BOOL COleStreamFile::OpenStream(IStorage* lpStorage, LPCTSTR lpszStreamName, DWORD nOpenFlags, CFileException* pError)
{
    IStream* stream = nullptr;
    const HRESULT hr = lpStorage
        ? lpStorage->OpenStream(WideName(lpszStreamName).c_str(), nullptr, nOpenFlags, 0, &stream)
        : STG_E_INVALIDPOINTER;
    return AttachOpened(hr, stream, lpszStreamName, pError);
}

BOOL COleStreamFile::CreateStream(IStorage* lpStorage, LPCTSTR lpszStreamName, DWORD nOpenFlags,
    CFileException* pError)
{
    IStream* stream = nullptr;
    const HRESULT hr = lpStorage
        ? lpStorage->CreateStream(WideName(lpszStreamName).c_str(), nOpenFlags, 0, 0, &stream)
        : STG_E_INVALIDPOINTER;
    return AttachOpened(hr, stream, lpszStreamName, pError);
}

BOOL COleStreamFile::AttachOpened(HRESULT hr, IStream* lpStream, LPCTSTR lpszStreamName, CFileException* pError)
{
    if (FAILED(hr)) {
        FillError(pError, hr, lpszStreamName);
        return FALSE;
    }
    Attach(lpStream);
    m_strFileName = lpszStreamName;
    return TRUE;
}

void COleStreamFile::ThrowResult(HRESULT hr) const
{
    CFileException::ThrowStorageError(hr, m_strFileName);
}

IStream* COleStreamFile::RequireStream() const
{
    if (!m_lpStream)
        ThrowResult(STG_E_INVALIDHANDLE);
    return m_lpStream;
}

UINT COleStreamFile::Read(void* lpBuf, UINT nCount)
{
    ULONG read = 0;
    HRESULT hr = RequireStream()->Read(lpBuf, nCount, &read);
    if (FAILED(hr))
        ThrowResult(hr);
    return read;
}

void COleStreamFile::Write(const void* lpBuf, UINT nCount)
{
    ULONG written = 0;
    HRESULT hr = RequireStream()->Write(lpBuf, nCount, &written);
    if (FAILED(hr))
        ThrowResult(hr);
    if (written != nCount)
        ThrowResult(STG_E_MEDIUMFULL);
}

LONG COleStreamFile::Seek(LONG lOff, UINT nFrom)
{
    LARGE_INTEGER move;
    move.QuadPart = lOff;
    ULARGE_INTEGER position {};
    HRESULT hr = RequireStream()->Seek(move, nFrom, &position);
    if (FAILED(hr))
        ThrowResult(hr == STG_E_INVALIDFUNCTION ? STG_E_SEEKERROR : hr);
    return LONG(position.QuadPart);
}

DWORD COleStreamFile::GetPosition() const
{
    LARGE_INTEGER none;
    none.QuadPart = 0;
    ULARGE_INTEGER position {};
    HRESULT hr = RequireStream()->Seek(none, STREAM_SEEK_CUR, &position);
    if (FAILED(hr))
        ThrowResult(hr);
    return DWORD(position.QuadPart);
}

DWORD COleStreamFile::GetLength() const
{
    STATSTG stat;
    HRESULT hr = RequireStream()->Stat(&stat, STATFLAG_NONAME);
    if (FAILED(hr))
        ThrowResult(hr);
    return DWORD(stat.cbSize.QuadPart);
}

void COleStreamFile::SetLength(DWORD dwNewLen)
{
    ULARGE_INTEGER size;
    size.QuadPart = dwNewLen;
    HRESULT hr = RequireStream()->SetSize(size);
    if (FAILED(hr))
        ThrowResult(hr);
}

void COleStreamFile::Flush()
{
    HRESULT hr = RequireStream()->Commit(STGC_DEFAULT);
    if (FAILED(hr))
        ThrowResult(hr);
}

void COleStreamFile::Close()
{
    if (m_lpStream) {
        m_lpStream->Release();
        m_lpStream = nullptr;
    }
    m_strFileName.Empty();
}

void COleStreamFile::Abort()
{
    Close();
}
