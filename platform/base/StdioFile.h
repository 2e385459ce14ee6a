#pragma once
// CStdioFile: a CFile that reads text line by line through a read-ahead
// buffer. Opened without typeBinary it is a text file: ReadString drops the
// "\r" of a "\r\n" line end as well as the "\n". Linux has no text-mode
// translation, so WriteString writes "\n" as it is, never "\r\n".
//
// Reads, seeks and the reported position account for the buffer, so
// record-style Read/Seek/Write mixes see the file as unbuffered code would.

#include "platform/base/File.h"

#include <memory>

class CStdioFile : public CFile {
    DECLARE_DYNAMIC(CStdioFile)
public:
    CStdioFile();
    // Opens or throws CFileException.
    CStdioFile(LPCTSTR lpszFileName, UINT nOpenFlags);
    ~CStdioFile() override;

    BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = NULL) override;
    void Close() override;
    void Abort() override;

    // The next line without its end; FALSE at the end of the file when
    // nothing was left to read.
    virtual BOOL ReadString(CString& rString);
    virtual void WriteString(LPCTSTR lpsz);

    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    LONG Seek(LONG lOff, UINT nFrom) override;
    DWORD GetPosition() const override;
    void SetLength(DWORD dwNewLen) override;
    void Flush() override;

private:
    // Gives the descriptor back the position of the first unread byte.
    void DropReadAhead();
    // Refills the buffer; FALSE at the end of the file.
    BOOL FillReadAhead();

    static constexpr UINT kBufferSize = 4096;
    std::unique_ptr<char[]> m_buffer;
    UINT m_nNext = 0;
    UINT m_nEnd = 0;
    BOOL m_bText = TRUE;
};
