#pragma once
// Global memory blocks: the HGLOBALs that carry packed DIBs, metafile
// pictures, archives in memory and clipboard data.
//
// A moveable block's handle is an id into a table (index and generation); its
// memory is reached through GlobalLock. A fixed block's handle is the address
// of its memory, as Windows gives it, so GPTR blocks can be used directly.
// Every call looks its handle up in the table first: a freed, stale or forged
// handle fails with ERROR_INVALID_HANDLE and never touches memory. Blocks are
// always zero-filled when made or grown, so no stale bytes ever show through;
// GMEM_ZEROINIT is honoured by that. Requests above 1 GiB are refused with
// ERROR_NOT_ENOUGH_MEMORY. The table is guarded by a mutex.

#include "platform/base/Types.h"

#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_NOCOMPACT 0x0010
#define GMEM_NODISCARD 0x0020
#define GMEM_ZEROINIT 0x0040
#define GMEM_MODIFY 0x0080
#define GMEM_DISCARDABLE 0x0100
#define GMEM_NOT_BANKED 0x1000
#define GMEM_SHARE 0x2000
#define GMEM_DDESHARE 0x2000
#define GMEM_NOTIFY 0x4000
#define GMEM_LOWER GMEM_NOT_BANKED
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)

// GlobalFlags answers.
#define GMEM_DISCARDED 0x4000
#define GMEM_LOCKCOUNT 0x00FF
#define GMEM_INVALID_HANDLE 0x8000

#ifndef ERROR_DISCARDED
#define ERROR_DISCARDED 157L
#endif
#ifndef ERROR_NOT_LOCKED
#define ERROR_NOT_LOCKED 158L
#endif

// NULL (ERROR_NOT_ENOUGH_MEMORY) when the block cannot be had. A moveable
// block of 0 bytes is made in the discarded state: it has a handle but
// GlobalLock gives NULL until it is reallocated with a size.
HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes);
// A moveable block: the address, and the lock count goes up. A fixed block:
// its address; fixed blocks keep a lock count of 0.
LPVOID GlobalLock(HGLOBAL hMem);
// TRUE while the block stays locked; FALSE with NO_ERROR once it is unlocked,
// FALSE with ERROR_NOT_LOCKED when it was not locked.
BOOL GlobalUnlock(HGLOBAL hMem);
SIZE_T GlobalSize(HGLOBAL hMem);
// Resizes (contents kept up to the smaller size, new bytes zero) or, with
// GMEM_MODIFY, changes attributes: GMEM_MOVEABLE turns a fixed block into a
// moveable one with a new handle at the same address. A moveable block may
// move even while locked when GMEM_MOVEABLE is given; otherwise a block
// that cannot move only shrinks or grows within the memory it has. NULL on
// failure, the block being left as it was.
HGLOBAL GlobalReAlloc(HGLOBAL hMem, SIZE_T dwBytes, UINT uFlags);
// NULL on success (locked blocks are freed too); the handle itself when it
// is not a live block.
HGLOBAL GlobalFree(HGLOBAL hMem);
// The lock count in the low byte, plus GMEM_DISCARDABLE and GMEM_DISCARDED;
// GMEM_INVALID_HANDLE for a bad handle.
UINT GlobalFlags(HGLOBAL hMem);
// The handle of the block whose memory starts at pMem (the address GlobalLock
// gave); NULL when no block starts there.
HGLOBAL GlobalHandle(LPCVOID pMem);

namespace platform {

// The number of live blocks, so that tests can see a block was released.
size_t GlobalBlockCount();

} // namespace platform
