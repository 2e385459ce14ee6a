#pragma once
// How the file classes of the base module (CFile and what derives from it)
// reach the host file system. platform/files installs the real implementation
// at start-up (drive table, lookups without case, share modes enforced between
// opens and between processes); until then a plain one maps "C:\a\b" to
// "/a/b", takes other paths as they are and enforces no share modes.

#include "platform/base/Types.h"

#include <string>

namespace platform {

// CFile's open flags, as the class library numbers them.
namespace fileflags {
constexpr UINT modeRead = 0x0000;
constexpr UINT modeWrite = 0x0001;
constexpr UINT modeReadWrite = 0x0002;
constexpr UINT accessMask = 0x0003;
constexpr UINT shareCompat = 0x0000;
constexpr UINT shareExclusive = 0x0010;
constexpr UINT shareDenyWrite = 0x0020;
constexpr UINT shareDenyRead = 0x0030;
constexpr UINT shareDenyNone = 0x0040;
constexpr UINT shareMask = 0x0070;
constexpr UINT modeNoInherit = 0x0080;
constexpr UINT modeCreate = 0x1000;
constexpr UINT modeNoTruncate = 0x2000;
constexpr UINT typeText = 0x4000;
constexpr UINT typeBinary = 0x8000;
} // namespace fileflags

// CFileException's causes, as the class library numbers them.
namespace filecause {
constexpr int none = 0;
constexpr int generic = 1;
constexpr int fileNotFound = 2;
constexpr int badPath = 3;
constexpr int tooManyOpenFiles = 4;
constexpr int accessDenied = 5;
constexpr int invalidFile = 6;
constexpr int removeCurrentDir = 7;
constexpr int directoryFull = 8;
constexpr int badSeek = 9;
constexpr int hardIO = 10;
constexpr int sharingViolation = 11;
constexpr int lockViolation = 12;
constexpr int diskFull = 13;
constexpr int endOfFile = 14;
} // namespace filecause

// The cause that an errno value stands for (ENOENT fileNotFound, EACCES and
// EPERM and EROFS accessDenied, ENOSPC diskFull, EMFILE tooManyOpenFiles,
// EISDIR and ENOTDIR badPath, ...; anything else generic).
int FileCauseFromErrno(int err);

// The outcome of a host file operation: a cause (filecause) and the errno
// behind it (0 when the failure is not the system's, such as a share mode).
struct HostError {
    int cause = filecause::none;
    LONG osError = 0;
};

class HostFiles {
public:
    virtual ~HostFiles() = default;

    // Opens a Windows-form path with CFile's flags; the file descriptor, or
    // -1 with *error filled. A share mode that conflicts with an open in this
    // or another process gives sharingViolation.
    virtual int Open(const char* path, UINT openFlags, HostError* error) = 0;
    // Closes what Open returned and releases its share mode.
    virtual void Close(int fd) = 0;
    virtual bool Remove(const char* path, HostError* error) = 0;
    // Replaces an existing target atomically within one file system.
    virtual bool Rename(const char* from, const char* to, HostError* error) = 0;
    // The full Windows-form path of a relative or absolute path (the file
    // need not exist), as GetFullPathName gives it.
    virtual std::string FullPath(const char* path) = 0;
};

HostFiles& GetHostFiles();
// Installs an implementation (not owned; it must outlive its use); null
// restores the plain one.
void SetHostFiles(HostFiles* files);

} // namespace platform
