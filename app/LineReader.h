#pragma once
// CLineReader: reads a text file line by line through a block buffer. A line
// ends at LF; CR bytes are dropped wherever they stand, so CR LF and LF files
// give the same lines, also when a CR LF pair straddles two blocks. The last
// line needs no LF. A line longer than kMaxLine characters is cut to
// kMaxLine and the rest of it, up to its LF, is skipped.

#include "platform/base/Types.h"

class CString;

class CLineReader {
public:
    static constexpr int kMaxLine = 2048;
    static constexpr UINT kBufferSize = 8000;

    CLineReader();
    ~CLineReader();
    CLineReader(const CLineReader&) = delete;
    CLineReader& operator=(const CLineReader&) = delete;

    // Opens an existing file for reading; FALSE when it cannot be opened or
    // no buffer could be had.
    BOOL Open(LPCTSTR lpszFileName);
    void Close();
    // The next line without its end; FALSE at the end of the file.
    BOOL ReadLine(CString& text);

    int GetLineCount() const { return m_nLines; }
    UINT GetBufferSize() const { return m_nBufferSize; }

private:
    void Reset();
    // Reads the next block; FALSE at the end of the file or on an error.
    BOOL FillBuffer();

    HANDLE m_hFile;
    HGLOBAL m_hBuffer;
    BYTE* m_pBuffer;
    UINT m_nBufferSize;
    UINT m_nPos;
    UINT m_nBytes;
    int m_nLines;
    DWORD m_dwBlockPos;
};
