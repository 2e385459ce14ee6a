#include "platform/base/StdioFile.h"

#include "platform/base/Exception.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CStdioFile, CFile)

CStdioFile::CStdioFile() = default;

CStdioFile::CStdioFile(LPCTSTR lpszFileName, UINT nOpenFlags)
{
    CFileException error;
    if (!Open(lpszFileName, nOpenFlags, &error))
        throw new CFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CStdioFile::~CStdioFile()
{
    if (m_hFile != hFileNull && m_bCloseOnDelete)
        CStdioFile::Abort();
}

BOOL CStdioFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    if (!CFile::Open(lpszFileName, nOpenFlags, pError))
        return FALSE;
    m_bText = (nOpenFlags & typeBinary) == 0;
    m_nNext = m_nEnd = 0;
    return TRUE;
}

void CStdioFile::Close()
{
    m_nNext = m_nEnd = 0;
    CFile::Close();
}

void CStdioFile::Abort()
{
    m_nNext = m_nEnd = 0;
    CFile::Abort();
}

BOOL CStdioFile::FillReadAhead()
{
    if (!m_buffer)
        m_buffer = std::make_unique<char[]>(kBufferSize);
    m_nNext = 0;
    m_nEnd = CFile::Read(m_buffer.get(), kBufferSize);
    return m_nEnd > 0;
}

void CStdioFile::DropReadAhead()
{
    if (m_nNext < m_nEnd) {
        const LONG unread = static_cast<LONG>(m_nEnd - m_nNext);
        m_nNext = m_nEnd = 0;
        CFile::Seek(-unread, current);
    }
    m_nNext = m_nEnd = 0;
}

BOOL CStdioFile::ReadString(CString& rString)
{
    std::string line;
    bool any = false;
    for (;;) {
        if (m_nNext == m_nEnd && !FillReadAhead())
            break;
        any = true;
        const char* start = m_buffer.get() + m_nNext;
        const UINT avail = m_nEnd - m_nNext;
        const void* nl = std::memchr(start, '\n', avail);
        if (nl != nullptr) {
            const UINT n = static_cast<UINT>(static_cast<const char*>(nl) - start);
            line.append(start, n);
            m_nNext += n + 1;
            if (m_bText && !line.empty() && line.back() == '\r')
                line.pop_back();
            break;
        }
        line.append(start, avail);
        m_nNext = m_nEnd;
    }
    rString = CString(std::string_view(line));
    return any ? TRUE : FALSE;
}

void CStdioFile::WriteString(LPCTSTR lpsz)
{
    if (lpsz == nullptr)
        AfxThrowInvalidArgException();
    Write(lpsz, static_cast<UINT>(std::strlen(lpsz)));
}

UINT CStdioFile::Read(void* lpBuf, UINT nCount)
{
    char* out = static_cast<char*>(lpBuf);
    UINT done = 0;
    if (m_nNext < m_nEnd) {
        done = std::min(nCount, m_nEnd - m_nNext);
        std::memcpy(out, m_buffer.get() + m_nNext, done);
        m_nNext += done;
    }
    if (done < nCount)
        done += CFile::Read(out + done, nCount - done);
    return done;
}

void CStdioFile::Write(const void* lpBuf, UINT nCount)
{
    DropReadAhead();
    CFile::Write(lpBuf, nCount);
}

LONG CStdioFile::Seek(LONG lOff, UINT nFrom)
{
    DropReadAhead();
    return CFile::Seek(lOff, nFrom);
}

DWORD CStdioFile::GetPosition() const
{
    return CFile::GetPosition() - (m_nEnd - m_nNext);
}

void CStdioFile::SetLength(DWORD dwNewLen)
{
    DropReadAhead();
    CFile::SetLength(dwNewLen);
}

void CStdioFile::Flush()
{
    DropReadAhead();
    CFile::Flush();
}
