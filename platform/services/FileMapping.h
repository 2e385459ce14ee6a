#pragma once
// Named file mappings backed by the paging file, as far as the program uses
// them: a name that any live process of this user holds open "exists". A
// mapping is an open, shared-locked file in the runtime folder
// (LockFile.h), so it disappears with the last handle to it in any process,
// including handles of processes that died. No views are mapped: nothing in
// the program reads or writes the memory.

#include "platform/base/Types.h"
#include "platform/files/FileApi.h"

#define PAGE_READONLY 0x02
#define PAGE_READWRITE 0x04

// Only hFile INVALID_HANDLE_VALUE with a name is provided (others fail with
// ERROR_NOT_SUPPORTED); flProtect must be PAGE_READONLY or PAGE_READWRITE and
// the size must not be 0 (ERROR_INVALID_PARAMETER). A new mapping leaves the
// last error ERROR_SUCCESS; when the name exists here or in another process
// the handle refers to that mapping and the last error is
// ERROR_ALREADY_EXISTS. NULL on failure.
HANDLE CreateFileMapping(HANDLE hFile, LPSECURITY_ATTRIBUTES lpAttributes, DWORD flProtect,
    DWORD dwMaximumSizeHigh, DWORD dwMaximumSizeLow, LPCSTR lpName);

namespace platform {

// What CloseHandle does for a handle of CreateFileMapping; FALSE with
// ERROR_INVALID_HANDLE for any other value.
BOOL CloseFileMapping(HANDLE hMapping);
bool IsFileMappingHandle(HANDLE handle);

} // namespace platform
