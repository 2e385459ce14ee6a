#pragma once
// Small host-side helpers shared by the platform's modules (not for program
// code).

#include "platform/base/Types.h"

#include <string>
#include <string_view>

struct stat;

namespace platform {

// The Win32 error an errno value stands for.
DWORD Win32ErrorFromErrno(int err);
// ERROR_PATH_NOT_FOUND when the folder of a missing host path is missing
// too, else ERROR_FILE_NOT_FOUND.
DWORD MissingFileError(const std::string& hostPath);
// Sets the last error from errno (with the missing-path rule for ENOENT).
void SetLastErrorFromErrno(int err, const std::string& hostPath);

// Creates a folder and the folders above it; true when it exists afterwards.
bool MakeHostFolders(const std::string& hostPath, unsigned mode);
// The folder part of a host path ("/" for "/x").
std::string HostParent(const std::string& hostPath);

// Copies a regular file's bytes, permission bits and modification time into
// a new or truncated file. With failIfExists an existing target is an EEXIST
// error; a target that is the source itself is EBUSY (it is never truncated).
// False with errno set.
bool CopyHostFile(const std::string& from, const std::string& to, bool failIfExists);

// The Win32 attributes of a file with these status bits and this name.
DWORD FileAttributesOf(const struct stat& st, std::string_view name);

// The work of DeleteFile and MoveFileEx on Windows-form paths, reporting
// both the errno behind a failure (0 when the path itself was bad) and the
// Win32 error.
bool DeleteWindowsFile(const char* path, int* err, DWORD* win32);
bool MoveWindowsFile(const char* from, const char* to, DWORD flags, int* err, DWORD* win32);

// Reads a whole regular file of at most maxBytes into out. 0, or an errno
// value: EFBIG when it is larger, EINVAL when it is not a regular file.
int ReadBoundedHostFile(const std::string& path, size_t maxBytes, std::string& out);

// write() until everything is written or an error other than EINTR.
bool WriteAll(int fd, const void* data, size_t size);

} // namespace platform
