#pragma once
// CMemFile: a file held in memory. It grows in steps of nGrowBytes as it is
// written; with nGrowBytes 0 it is fixed to the buffer it was given and a
// write past that raises CMemoryException. Seeking past the end is allowed;
// a later write there fills the gap with zeros.
//
// Ownership: memory the file allocated is its own and freed by Close or the
// destructor; a buffer attached by the caller stays the caller's (a growing
// file copies it into memory of its own the first time it outgrows it).
// Detach hands the current buffer to the caller, who frees memory the file
// allocated with free().

#include "platform/base/File.h"

class CMemFile : public CFile {
    DECLARE_DYNAMIC(CMemFile)
public:
    explicit CMemFile(UINT nGrowBytes = 1024);
    // nGrowBytes 0: the buffer's bytes are the file's contents (length
    // nBufferSize). Otherwise the file starts empty and may outgrow it.
    CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    ~CMemFile() override;

    void Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    // The buffer, now the caller's; the file is left empty and closed.
    BYTE* Detach();

    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    LONG Seek(LONG lOff, UINT nFrom) override;
    DWORD GetPosition() const override;
    DWORD GetLength() const override;
    void SetLength(DWORD dwNewLen) override;
    void Flush() override;
    void Close() override;
    void Abort() override;

protected:
    // The memory primitives; CSharedFile puts the file in global memory.
    // Alloc and Realloc return NULL on failure; Realloc keeps the contents.
    virtual BYTE* Alloc(DWORD nBytes);
    virtual BYTE* Realloc(BYTE* lpMem, DWORD nBytes);
    virtual void Free(BYTE* lpMem);
    // Makes the buffer hold at least dwNewLen bytes or raises.
    virtual void GrowFile(DWORD dwNewLen);

    UINT m_nGrowBytes;
    DWORD m_nPosition;
    DWORD m_nBufferSize;
    DWORD m_nFileSize;
    BYTE* m_lpBuffer;
    BOOL m_bAutoDelete; // the buffer is the file's own
};
