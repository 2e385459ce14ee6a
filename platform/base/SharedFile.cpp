#include "platform/base/SharedFile.h"

#include "platform/base/Exception.h"

IMPLEMENT_DYNAMIC(CSharedFile, CMemFile)

CSharedFile::CSharedFile(UINT nAllocFlags, UINT nGrowBytes)
    : CMemFile(nGrowBytes), m_nAllocFlags(nAllocFlags), m_hGlobalMemory(nullptr), m_bAllowGrow(TRUE)
{
}

CSharedFile::~CSharedFile()
{
    // The base destructor would free through CMemFile's own primitives.
    CSharedFile::Close();
}

BYTE* CSharedFile::Alloc(DWORD nBytes)
{
    HGLOBAL hMem = GlobalAlloc(m_nAllocFlags, nBytes);
    if (hMem == nullptr)
        return nullptr;
    BYTE* lpMem = static_cast<BYTE*>(GlobalLock(hMem));
    if (lpMem == nullptr) {
        GlobalFree(hMem);
        return nullptr;
    }
    m_hGlobalMemory = hMem;
    return lpMem;
}

BYTE* CSharedFile::Realloc(BYTE*, DWORD nBytes)
{
    if (!m_bAllowGrow || m_hGlobalMemory == nullptr)
        return nullptr;
    GlobalUnlock(m_hGlobalMemory);
    HGLOBAL hNew = GlobalReAlloc(m_hGlobalMemory, nBytes, GMEM_MOVEABLE);
    if (hNew == nullptr) {
        // The block is left as it was; lock it again for the file to go on.
        GlobalLock(m_hGlobalMemory);
        return nullptr;
    }
    m_hGlobalMemory = hNew;
    return static_cast<BYTE*>(GlobalLock(hNew));
}

void CSharedFile::Free(BYTE*)
{
    if (m_hGlobalMemory != nullptr) {
        GlobalUnlock(m_hGlobalMemory);
        GlobalFree(m_hGlobalMemory);
        m_hGlobalMemory = nullptr;
    }
}

HGLOBAL CSharedFile::Detach()
{
    HGLOBAL hMem = m_hGlobalMemory;
    if (hMem != nullptr)
        GlobalUnlock(hMem);
    m_hGlobalMemory = nullptr;
    CMemFile::Detach();
    return hMem;
}

void CSharedFile::SetHandle(HGLOBAL hGlobalMemory, BOOL bAllowGrow)
{
    Close();
    if (hGlobalMemory == nullptr)
        return;
    BYTE* lpMem = static_cast<BYTE*>(GlobalLock(hGlobalMemory));
    if (lpMem == nullptr)
        AfxThrowMemoryException();
    m_hGlobalMemory = hGlobalMemory;
    m_bAllowGrow = bAllowGrow;
    const SIZE_T size = GlobalSize(hGlobalMemory);
    m_lpBuffer = lpMem;
    m_nBufferSize = size > 0xFFFFFFFF ? 0xFFFFFFFF : static_cast<DWORD>(size);
    m_nFileSize = m_nBufferSize;
    m_nPosition = 0;
    m_bAutoDelete = TRUE;
}

void CSharedFile::Close()
{
    CMemFile::Close();
    m_bAllowGrow = TRUE;
}
