#include "app/LineReader.h"

#include "platform/base/GlobalMemory.h"
#include "platform/base/String.h"
#include "platform/files/FileApi.h"

#include <string>

CLineReader::CLineReader()
{
    Reset();
}

CLineReader::~CLineReader()
{
    Close();
}

void CLineReader::Reset()
{
    m_hFile = INVALID_HANDLE_VALUE;
    m_hBuffer = NULL;
    m_pBuffer = nullptr;
    m_nBufferSize = 0;
    m_nPos = 0;
    m_nBytes = 0;
    m_nLines = 0;
    m_dwBlockPos = 0;
}

void CLineReader::Close()
{
    if (m_hFile != INVALID_HANDLE_VALUE)
        CloseHandle(m_hFile);
    if (m_hBuffer != NULL) {
        GlobalUnlock(m_hBuffer);
        GlobalFree(m_hBuffer);
    }
    Reset();
}

BOOL CLineReader::Open(LPCTSTR lpszFileName)
{
    Close();
    m_hFile = CreateFile(lpszFileName, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
        FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    if (m_hFile == INVALID_HANDLE_VALUE)
        return FALSE;
    // Settle for a smaller buffer when memory is short; 500 bytes is the
    // last size tried.
    UINT size = kBufferSize;
    for (;;) {
        m_hBuffer = GlobalAlloc(GMEM_MOVEABLE, size);
        if (m_hBuffer != NULL || size < 512)
            break;
        size /= 2;
    }
    if (m_hBuffer == NULL) {
        Close();
        return FALSE;
    }
    m_nBufferSize = static_cast<UINT>(GlobalSize(m_hBuffer));
    m_pBuffer = static_cast<BYTE*>(GlobalLock(m_hBuffer));
    if (m_pBuffer == nullptr || m_nBufferSize == 0) {
        Close();
        return FALSE;
    }
    FillBuffer();
    return TRUE;
}

BOOL CLineReader::FillBuffer()
{
    m_nPos = 0;
    m_nBytes = 0;
    DWORD position = SetFilePointer(m_hFile, 0, NULL, FILE_CURRENT);
    if (position != INVALID_SET_FILE_POINTER)
        m_dwBlockPos = position;
    DWORD got = 0;
    if (!ReadFile(m_hFile, m_pBuffer, m_nBufferSize, &got, NULL))
        return FALSE;
    m_nBytes = got > m_nBufferSize ? m_nBufferSize : got;
    return m_nBytes > 0;
}

BOOL CLineReader::ReadLine(CString& text)
{
    text.Empty();
    if (m_pBuffer == nullptr || m_hFile == INVALID_HANDLE_VALUE)
        return FALSE;
    std::string line;
    bool skipping = false;
    for (;;) {
        if (m_nPos >= m_nBytes && !FillBuffer())
            break;
        BYTE ch = m_pBuffer[m_nPos++];
        if (ch == '\n') {
            ++m_nLines;
            text = CString(std::string_view(line));
            return TRUE;
        }
        if (ch == '\r' || skipping)
            continue;
        if (line.size() >= static_cast<size_t>(kMaxLine)) {
            // The rest of an over-long line is skipped so that the next call
            // starts on the next line instead of the middle of this one.
            skipping = true;
            continue;
        }
        line.push_back(static_cast<char>(ch));
    }
    if (line.empty() && !skipping)
        return FALSE;
    ++m_nLines;
    text = CString(std::string_view(line));
    return TRUE;
}
