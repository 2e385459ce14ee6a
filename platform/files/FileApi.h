#pragma once
// The Win32 file calls the program makes, on Windows-form paths (1252). They
// resolve paths through the drive table and the overlay (HostPath.h) and
// report failure the Win32 way: FALSE, 0 or INVALID_* with the last error.

#include "platform/base/Types.h"

#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)
#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_HIDDEN 0x00000002
#define FILE_ATTRIBUTE_SYSTEM 0x00000004
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define FILE_ATTRIBUTE_TEMPORARY 0x00000100

#define GENERIC_READ 0x80000000
#define GENERIC_WRITE 0x40000000
#define GENERIC_EXECUTE 0x20000000
#define GENERIC_ALL 0x10000000

#define FILE_SHARE_READ 0x00000001
#define FILE_SHARE_WRITE 0x00000002
#define FILE_SHARE_DELETE 0x00000004

#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5

#define FILE_FLAG_WRITE_THROUGH 0x80000000
#define FILE_FLAG_RANDOM_ACCESS 0x10000000
#define FILE_FLAG_SEQUENTIAL_SCAN 0x08000000

#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2
#define INVALID_SET_FILE_POINTER ((DWORD)-1)
#define INVALID_FILE_SIZE ((DWORD)0xFFFFFFFF)
#ifndef ERROR_NEGATIVE_SEEK
#define ERROR_NEGATIVE_SEEK 131L
#endif

#define MOVEFILE_REPLACE_EXISTING 0x00000001
#define MOVEFILE_COPY_ALLOWED 0x00000002
#define MOVEFILE_WRITE_THROUGH 0x00000008

#define SEM_FAILCRITICALERRORS 0x0001
#define SEM_NOGPFAULTERRORBOX 0x0002
#define SEM_NOALIGNMENTFAULTEXCEPT 0x0004
#define SEM_NOOPENFILEERRORBOX 0x8000

struct SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
};
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;

struct OVERLAPPED;
typedef OVERLAPPED* LPOVERLAPPED;

struct WIN32_FIND_DATA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    CHAR cFileName[MAX_PATH];
    CHAR cAlternateFileName[14];
};
typedef WIN32_FIND_DATA* LPWIN32_FIND_DATA;
typedef WIN32_FIND_DATA WIN32_FIND_DATAA;

// Attributes: READONLY when the owner may not write, HIDDEN for a name that
// starts with '.', DIRECTORY, ARCHIVE for regular files, NORMAL when none of
// these applies; SYSTEM is never given. INVALID_FILE_ATTRIBUTES for a
// missing path (ERROR_FILE_NOT_FOUND, or ERROR_PATH_NOT_FOUND when its folder
// is missing too).
DWORD GetFileAttributes(LPCSTR lpFileName);
// Only READONLY has an effect (the write permission bits).
BOOL SetFileAttributes(LPCSTR lpFileName, DWORD dwFileAttributes);

BOOL CreateDirectory(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES lpSecurityAttributes);
BOOL RemoveDirectory(LPCSTR lpPathName);
// The current folder in Windows form; the length without the zero, or the
// size needed (with the zero) when the buffer is too small.
DWORD GetCurrentDirectory(DWORD nBufferLength, LPSTR lpBuffer);
BOOL SetCurrentDirectory(LPCSTR lpPathName);
// The length without the zero, or the size needed with it; *lpFilePart (when
// given) points at the last name in the buffer, or is null when the path
// ends with a separator.
DWORD GetFullPathName(LPCSTR lpFileName, DWORD nBufferLength, LPSTR lpBuffer, LPSTR* lpFilePart);

BOOL DeleteFile(LPCSTR lpFileName);
// MoveFile fails with ERROR_ALREADY_EXISTS when the target exists and moves
// a file to another file system by copying it; MoveFileEx replaces the
// target with MOVEFILE_REPLACE_EXISTING (atomically within a file system)
// and copies across file systems only with MOVEFILE_COPY_ALLOWED.
BOOL MoveFile(LPCSTR lpExistingFileName, LPCSTR lpNewFileName);
BOOL MoveFileEx(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, DWORD dwFlags);
// Bytes, permission bits and modification time; ERROR_FILE_EXISTS when
// bFailIfExists and the target exists.
BOOL CopyFile(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, BOOL bFailIfExists);

// File handles (table ids; INVALID_HANDLE_VALUE on failure). A share mode
// that conflicts with an open here or in another process gives
// ERROR_SHARING_VIOLATION. CREATE_ALWAYS and OPEN_ALWAYS on an existing file
// succeed with the last error ERROR_ALREADY_EXISTS.
HANDLE CreateFile(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
    LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes,
    HANDLE hTemplateFile);
// TRUE with *lpNumberOfBytesRead 0 at the end of the file. lpOverlapped must be null.
BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead, LPOVERLAPPED lpOverlapped);
BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped);
// Without lpDistanceToMoveHigh the distance is a signed 32-bit value and a
// position past 4 GB fails. INVALID_SET_FILE_POINTER is also a valid low
// part: the last error tells (NO_ERROR on success).
DWORD SetFilePointer(HANDLE hFile, LONG lDistanceToMove, LONG* lpDistanceToMoveHigh, DWORD dwMoveMethod);
DWORD GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh);
// Closes file handles of CreateFile, and handles of the other kernel objects
// whose modules registered a closer for their handle tag.
BOOL CloseHandle(HANDLE hObject);

namespace platform {
// Lets a module above this one (named file mappings, say) have CloseHandle
// close its handles: handles whose tag (bits 48-55 of the value) is `tag`
// go to `closer`. Tags 1 and 2 are this module's own.
void RegisterHandleCloser(uint8_t tag, BOOL (*closer)(HANDLE));
} // namespace platform

// Listing with wildcards ("C:\dir\*.bmp"); see _findfirst (CrtFiles.h) for
// the matching rules. FindFirstFile gives INVALID_HANDLE_VALUE with
// ERROR_FILE_NOT_FOUND when nothing matches; FindNextFile FALSE with
// ERROR_NO_MORE_FILES at the end.
HANDLE FindFirstFile(LPCSTR lpFileName, LPWIN32_FIND_DATA lpFindFileData);
BOOL FindNextFile(HANDLE hFindFile, LPWIN32_FIND_DATA lpFindFileData);
BOOL FindClose(HANDLE hFindFile);

// The per-user temporary folder in Windows form with a trailing backslash.
DWORD GetTempPath(DWORD nBufferLength, LPSTR lpBuffer);
// "<folder>\<up to three characters of the prefix><four hex digits>.tmp".
// With uUnique 0 a free number is found and the empty file is created; with
// a number, only the name is made. The number used, or 0 on failure.
UINT GetTempFileName(LPCSTR lpPathName, LPCSTR lpPrefixString, UINT uUnique, LPSTR lpTempFileName);
#define GetTempPathA GetTempPath
#define GetTempFileNameA GetTempFileName

// The system shows no error boxes here; the mode is kept and returned.
UINT SetErrorMode(UINT uMode);

// The stand-in for the Windows folder (INI files, wallpaper): windows\ below
// the configuration folder, and windows\system below that. The length
// without the zero, or the size needed with it.
UINT GetWindowsDirectory(LPSTR lpBuffer, UINT uSize);
UINT GetSystemDirectory(LPSTR lpBuffer, UINT uSize);
