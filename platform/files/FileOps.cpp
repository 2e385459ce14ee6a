#include "platform/files/FileOps.h"

#include "platform/files/FileApi.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace platform {

DWORD Win32ErrorFromErrno(int err)
{
    switch (err) {
    case 0:
        return ERROR_SUCCESS;
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return ERROR_ACCESS_DENIED;
    case EEXIST:
        return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY:
        return ERROR_DIR_NOT_EMPTY;
    case ENOSPC:
    case EDQUOT:
        return ERROR_DISK_FULL;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case EXDEV:
        return ERROR_NOT_SAME_DEVICE;
    case EBUSY:
    case ETXTBSY:
        return ERROR_SHARING_VIOLATION;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case EBADF:
        return ERROR_INVALID_HANDLE;
    case EIO:
        return ERROR_READ_FAULT;
    case ENXIO:
    case ENODEV:
    case ENOMEDIUM:
        return ERROR_NOT_READY;
    default:
        return ERROR_ACCESS_DENIED;
    }
}

std::string HostParent(const std::string& hostPath)
{
    size_t slash = hostPath.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return hostPath.substr(0, slash);
}

DWORD MissingFileError(const std::string& hostPath)
{
    struct stat st;
    std::string parent = HostParent(hostPath);
    if (stat(parent.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return ERROR_PATH_NOT_FOUND;
    return ERROR_FILE_NOT_FOUND;
}

void SetLastErrorFromErrno(int err, const std::string& hostPath)
{
    SetLastError(err == ENOENT ? MissingFileError(hostPath) : Win32ErrorFromErrno(err));
}

bool MakeHostFolders(const std::string& hostPath, unsigned mode)
{
    struct stat st;
    if (stat(hostPath.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    if (hostPath.empty() || hostPath == "/")
        return false;
    std::string parent = HostParent(hostPath);
    if (parent != hostPath && !MakeHostFolders(parent, mode))
        return false;
    if (mkdir(hostPath.c_str(), mode) == 0)
        return true;
    return errno == EEXIST && stat(hostPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

DWORD FileAttributesOf(const struct stat& st, std::string_view name)
{
    DWORD attributes = 0;
    if (!(st.st_mode & S_IWUSR))
        attributes |= FILE_ATTRIBUTE_READONLY;
    if (!name.empty() && name[0] == '.' && name != "." && name != "..")
        attributes |= FILE_ATTRIBUTE_HIDDEN;
    if (S_ISDIR(st.st_mode))
        attributes |= FILE_ATTRIBUTE_DIRECTORY;
    else if (S_ISREG(st.st_mode))
        attributes |= FILE_ATTRIBUTE_ARCHIVE;
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

int ReadBoundedHostFile(const std::string& path, size_t maxBytes, std::string& out)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int result = 0;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        result = errno;
    } else if (!S_ISREG(info.st_mode)) {
        result = EINVAL;
    } else if (static_cast<unsigned long long>(info.st_size) > maxBytes) {
        result = EFBIG;
    } else {
        // The size is re-checked while reading, in case the file grows.
        out.resize(static_cast<size_t>(info.st_size) + 1);
        size_t filled = 0;
        while (true) {
            if (filled == out.size()) {
                if (out.size() > maxBytes) {
                    result = EFBIG;
                    break;
                }
                out.resize(std::min(out.size() * 2, maxBytes + 1));
            }
            ssize_t got = ::read(fd, out.data() + filled, out.size() - filled);
            if (got < 0) {
                if (errno == EINTR)
                    continue;
                result = errno;
                break;
            }
            if (got == 0)
                break;
            filled += static_cast<size_t>(got);
        }
        out.resize(filled);
    }
    ::close(fd);
    return result;
}

bool WriteAll(int fd, const void* data, size_t size)
{
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = write(fd, bytes, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        bytes += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool CopyHostFile(const std::string& from, const std::string& to, bool failIfExists)
{
    int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    struct stat st;
    if (fstat(in, &st) != 0) {
        int err = errno;
        close(in);
        errno = err;
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        close(in);
        errno = S_ISDIR(st.st_mode) ? EISDIR : EACCES;
        return false;
    }
    struct stat target;
    if (stat(to.c_str(), &target) == 0 && target.st_dev == st.st_dev && target.st_ino == st.st_ino) {
        close(in);
        errno = EBUSY;
        return false;
    }
    int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (failIfExists ? O_EXCL : O_TRUNC);
    int out = open(to.c_str(), flags, st.st_mode & 07777);
    if (out < 0) {
        int err = errno;
        close(in);
        errno = err;
        return false;
    }
    char buffer[65536];
    bool ok = true;
    for (;;) {
        ssize_t n = read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ok = false;
            break;
        }
        if (n == 0)
            break;
        if (!WriteAll(out, buffer, static_cast<size_t>(n))) {
            ok = false;
            break;
        }
    }
    int err = errno;
    if (ok) {
        fchmod(out, st.st_mode & 07777);
        struct timespec times[2] = { st.st_atim, st.st_mtim };
        futimens(out, times);
    }
    if (close(out) != 0 && ok) {
        ok = false;
        err = errno;
    }
    close(in);
    if (!ok) {
        unlink(to.c_str());
        errno = err;
    }
    return ok;
}

} // namespace platform
