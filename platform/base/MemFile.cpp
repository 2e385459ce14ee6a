#include "platform/base/MemFile.h"

#include "platform/base/Exception.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

IMPLEMENT_DYNAMIC(CMemFile, CFile)

CMemFile::CMemFile(UINT nGrowBytes)
    : m_nGrowBytes(nGrowBytes), m_nPosition(0), m_nBufferSize(0), m_nFileSize(0), m_lpBuffer(nullptr),
      m_bAutoDelete(TRUE)
{
}

CMemFile::CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes) : CMemFile(nGrowBytes)
{
    Attach(lpBuffer, nBufferSize, nGrowBytes);
}

CMemFile::~CMemFile()
{
    // Close is virtual; a derived file has already released its memory in its
    // own destructor, so only this class's memory is left to free here.
    if (m_lpBuffer != nullptr && m_bAutoDelete)
        CMemFile::Free(m_lpBuffer);
    m_lpBuffer = nullptr;
}

void CMemFile::Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes)
{
    if (m_lpBuffer != nullptr && m_bAutoDelete)
        Free(m_lpBuffer);
    m_lpBuffer = lpBuffer;
    m_nBufferSize = lpBuffer != nullptr ? nBufferSize : 0;
    m_nGrowBytes = nGrowBytes;
    m_nPosition = 0;
    m_nFileSize = nGrowBytes == 0 ? m_nBufferSize : 0;
    m_bAutoDelete = FALSE;
}

BYTE* CMemFile::Detach()
{
    BYTE* lpBuffer = m_lpBuffer;
    m_lpBuffer = nullptr;
    m_nBufferSize = 0;
    m_nFileSize = 0;
    m_nPosition = 0;
    m_bAutoDelete = TRUE;
    return lpBuffer;
}

BYTE* CMemFile::Alloc(DWORD nBytes)
{
    return static_cast<BYTE*>(std::malloc(nBytes != 0 ? nBytes : 1));
}

BYTE* CMemFile::Realloc(BYTE* lpMem, DWORD nBytes)
{
    return static_cast<BYTE*>(std::realloc(lpMem, nBytes != 0 ? nBytes : 1));
}

void CMemFile::Free(BYTE* lpMem)
{
    std::free(lpMem);
}

void CMemFile::GrowFile(DWORD dwNewLen)
{
    if (dwNewLen <= m_nBufferSize)
        return;
    if (m_nGrowBytes == 0)
        AfxThrowMemoryException();

    // Round up to the next multiple of the grow step, without wrapping.
    const ULONGLONG step = m_nGrowBytes;
    const ULONGLONG rounded = (static_cast<ULONGLONG>(dwNewLen) + step - 1) / step * step;
    const DWORD newSize = rounded > 0xFFFFFFFFull ? dwNewLen : static_cast<DWORD>(rounded);

    BYTE* lpNew = nullptr;
    if (m_lpBuffer == nullptr) {
        lpNew = Alloc(newSize);
    } else if (m_bAutoDelete) {
        lpNew = Realloc(m_lpBuffer, newSize);
    } else {
        // The caller's buffer is not ours to reallocate: move to our own.
        lpNew = Alloc(newSize);
        if (lpNew != nullptr)
            std::memcpy(lpNew, m_lpBuffer, m_nFileSize);
    }
    if (lpNew == nullptr)
        AfxThrowMemoryException();
    m_lpBuffer = lpNew;
    m_nBufferSize = newSize;
    m_bAutoDelete = TRUE;
}

UINT CMemFile::Read(void* lpBuf, UINT nCount)
{
    if (m_nPosition >= m_nFileSize || nCount == 0)
        return 0;
    const UINT n = std::min<DWORD>(nCount, m_nFileSize - m_nPosition);
    std::memcpy(lpBuf, m_lpBuffer + m_nPosition, n);
    m_nPosition += n;
    return n;
}

void CMemFile::Write(const void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return;
    const ULONGLONG end = static_cast<ULONGLONG>(m_nPosition) + nCount;
    if (end > 0xFFFFFFFFull)
        AfxThrowMemoryException();
    GrowFile(static_cast<DWORD>(end));
    if (m_nPosition > m_nFileSize)
        std::memset(m_lpBuffer + m_nFileSize, 0, m_nPosition - m_nFileSize);
    std::memcpy(m_lpBuffer + m_nPosition, lpBuf, nCount);
    m_nPosition = static_cast<DWORD>(end);
    if (m_nPosition > m_nFileSize)
        m_nFileSize = m_nPosition;
}

LONG CMemFile::Seek(LONG lOff, UINT nFrom)
{
    LONGLONG base = 0;
    switch (nFrom) {
    case begin:
        base = 0;
        break;
    case current:
        base = m_nPosition;
        break;
    case end:
        base = m_nFileSize;
        break;
    default:
        AfxThrowFileException(CFileException::badSeek);
    }
    const LONGLONG pos = base + lOff;
    if (pos < 0 || pos > 0x7FFFFFFF)
        AfxThrowFileException(CFileException::badSeek);
    m_nPosition = static_cast<DWORD>(pos);
    return static_cast<LONG>(pos);
}

DWORD CMemFile::GetPosition() const
{
    return m_nPosition;
}

DWORD CMemFile::GetLength() const
{
    return m_nFileSize;
}

void CMemFile::SetLength(DWORD dwNewLen)
{
    GrowFile(dwNewLen);
    if (dwNewLen > m_nFileSize)
        std::memset(m_lpBuffer + m_nFileSize, 0, dwNewLen - m_nFileSize);
    m_nFileSize = dwNewLen;
    if (m_nPosition > dwNewLen)
        m_nPosition = dwNewLen;
}

void CMemFile::Flush()
{
}

void CMemFile::Close()
{
    if (m_lpBuffer != nullptr && m_bAutoDelete)
        Free(m_lpBuffer);
    m_lpBuffer = nullptr;
    m_nBufferSize = 0;
    m_nFileSize = 0;
    m_nPosition = 0;
    m_bAutoDelete = TRUE;
}

void CMemFile::Abort()
{
    Close();
}
