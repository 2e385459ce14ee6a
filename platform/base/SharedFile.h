#pragma once
// CSharedFile: a CMemFile whose memory is a global-memory block, so that
// what is written can be handed on as an HGLOBAL (clipboard data) and a block
// received as an HGLOBAL can be read as a file.
//
// The file owns its block: Close and the destructor free it. Detach gives
// the block to the caller instead; SetHandle takes ownership of a caller's
// block (call Detach before the file goes away if the block is not yours to
// free, such as clipboard data).

#include "platform/base/GlobalMemory.h"
#include "platform/base/MemFile.h"

class CSharedFile : public CMemFile {
    DECLARE_DYNAMIC(CSharedFile)
public:
    explicit CSharedFile(UINT nAllocFlags = GMEM_DDESHARE | GMEM_MOVEABLE, UINT nGrowBytes = 4096);
    ~CSharedFile() override;

    // The block (unlocked), now the caller's; the file is left empty. NULL
    // when nothing was ever written.
    HGLOBAL Detach();
    // Reads and writes the block's bytes; the file's length is the block's
    // size. With bAllowGrow FALSE a write past the end raises
    // CMemoryException.
    void SetHandle(HGLOBAL hGlobalMemory, BOOL bAllowGrow = TRUE);

    void Close() override;

protected:
    BYTE* Alloc(DWORD nBytes) override;
    BYTE* Realloc(BYTE* lpMem, DWORD nBytes) override;
    void Free(BYTE* lpMem) override;

    UINT m_nAllocFlags;
    HGLOBAL m_hGlobalMemory;
    BOOL m_bAllowGrow;
};
