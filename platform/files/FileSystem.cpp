#include "platform/files/FileSystem.h"

#include "platform/base/HostFiles.h"
#include "platform/files/FileApi.h"
#include "platform/files/FileOps.h"
#include "platform/files/HostPath.h"
#include "platform/files/ShareLock.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <mutex>

namespace platform {

namespace {

int CauseFromWin32(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
        return filecause::fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
        return filecause::badPath;
    case ERROR_ACCESS_DENIED:
        return filecause::accessDenied;
    case ERROR_SHARING_VIOLATION:
        return filecause::sharingViolation;
    case ERROR_DISK_FULL:
        return filecause::diskFull;
    case ERROR_TOO_MANY_OPEN_FILES:
        return filecause::tooManyOpenFiles;
    default:
        return filecause::generic;
    }
}

void Report(HostError* error, int cause, int err)
{
    if (error) {
        error->cause = cause;
        error->osError = err;
    }
}

void ReportFailure(HostError* error, int err, DWORD win32)
{
    if (err == 0) {
        Report(error, CauseFromWin32(win32), 0);
        return;
    }
    // A missing folder on the way is a bad path, as there.
    int cause = win32 == ERROR_PATH_NOT_FOUND ? filecause::badPath : FileCauseFromErrno(err);
    if (err == EISDIR)
        cause = filecause::accessDenied;
    Report(error, cause, err);
}

class HostFileSystem final : public HostFiles {
public:
    int Open(const char* path, UINT openFlags, HostError* error) override
    {
        UINT access = openFlags & fileflags::accessMask;
        if (!path || access == fileflags::accessMask) {
            Report(error, filecause::generic, EINVAL);
            return -1;
        }
        bool create = (openFlags & fileflags::modeCreate) != 0;
        bool truncate = create && !(openFlags & fileflags::modeNoTruncate);
        int flags = O_CLOEXEC | O_NOCTTY;
        flags |= access == fileflags::modeWrite ? O_WRONLY : access == fileflags::modeReadWrite ? O_RDWR : O_RDONLY;
        if (create)
            flags |= O_CREAT;

        ResolvedPath resolved;
        DWORD win32 = 0;
        if (!ResolvePath(path, resolved, &win32)) {
            ReportFailure(error, 0, win32);
            return -1;
        }
        bool writes = access != fileflags::modeRead || create;
        std::string host = writes ? PathForWriting(resolved, !truncate) : resolved.ForReading();

        int fd = open(host.c_str(), flags, 0666);
        if (fd < 0) {
            int err = errno;
            ReportFailure(error, err, err == ENOENT ? MissingFileError(host) : Win32ErrorFromErrno(err));
            return -1;
        }
        struct stat st;
        if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
            close(fd);
            Report(error, filecause::accessDenied, EISDIR);
            return -1;
        }

        ShareLock share;
        int err = 0;
        switch (share.Acquire(fd, ShareMode::FromOpenFlags(openFlags), &err)) {
        case ShareLock::Result::Held:
            break;
        case ShareLock::Result::Violation:
            close(fd);
            Report(error, filecause::sharingViolation, 0);
            return -1;
        case ShareLock::Result::Failed:
            close(fd);
            Report(error, FileCauseFromErrno(err), err);
            return -1;
        }
        // Truncation waits for the share check, so that a refused open
        // leaves the other holder's file alone.
        if (truncate && ftruncate(fd, 0) != 0) {
            err = errno;
            close(fd);
            Report(error, FileCauseFromErrno(err), err);
            return -1;
        }

        std::lock_guard<std::mutex> lock(m_mutex);
        m_shares[fd] = std::move(share);
        Report(error, filecause::none, 0);
        return fd;
    }

    void Close(int fd) override
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_shares.erase(fd);
        }
        if (fd >= 0)
            close(fd);
    }

    bool Remove(const char* path, HostError* error) override
    {
        int err = 0;
        DWORD win32 = 0;
        if (DeleteWindowsFile(path, &err, &win32)) {
            Report(error, filecause::none, 0);
            return true;
        }
        ReportFailure(error, err, win32);
        return false;
    }

    bool Rename(const char* from, const char* to, HostError* error) override
    {
        int err = 0;
        DWORD win32 = 0;
        if (MoveWindowsFile(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED, &err, &win32)) {
            Report(error, filecause::none, 0);
            return true;
        }
        ReportFailure(error, err, win32);
        return false;
    }

    std::string FullPath(const char* path) override
    {
        return path ? FullWindowsPath(path) : std::string();
    }

private:
    std::mutex m_mutex;
    std::map<int, ShareLock> m_shares;
};

// The host path a Windows-form path is read from; false when it does not
// resolve.
bool HostPathForReading(const char* windowsPath, std::string& host)
{
    if (!windowsPath || !*windowsPath)
        return false;
    ResolvedPath resolved;
    DWORD error = 0;
    if (!ResolvePath(windowsPath, resolved, &error))
        return false;
    host = resolved.ForReading();
    return true;
}

} // namespace

void InitFileSystem()
{
    static HostFileSystem files;
    static std::once_flag once;
    std::call_once(once, [] { SetHostFiles(&files); });
}

bool IsRegularFile(const char* windowsPath)
{
    std::string host;
    struct stat st;
    return HostPathForReading(windowsPath, host) && stat(host.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsSameFile(const char* windowsPathA, const char* windowsPathB)
{
    std::string hostA;
    std::string hostB;
    if (!HostPathForReading(windowsPathA, hostA) || !HostPathForReading(windowsPathB, hostB))
        return false;
    struct stat stA;
    struct stat stB;
    if (stat(hostA.c_str(), &stA) == 0 && stat(hostB.c_str(), &stB) == 0)
        return stA.st_dev == stB.st_dev && stA.st_ino == stB.st_ino;
    return hostA == hostB;
}

bool GetFileIdentity(const char* windowsPath, FileIdentity& identity)
{
    identity = FileIdentity();
    std::string host;
    struct stat st;
    if (!HostPathForReading(windowsPath, host) || stat(host.c_str(), &st) != 0)
        return false;
    identity.device = static_cast<uint64_t>(st.st_dev);
    identity.inode = static_cast<uint64_t>(st.st_ino);
    return true;
}

} // namespace platform
