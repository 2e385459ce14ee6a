#include "platform/files/ShareLock.h"

#include "platform/base/HostFiles.h"
#include "platform/files/FileApi.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <string>
#include <utility>

namespace platform {

namespace {

enum ShareByte : int64_t {
    kOpenRead = 0,
    kOpenWrite = 1,
    kDenyRead = 2,
    kDenyWrite = 3,
    kShareByteCount = 4,
};

struct Entry {
    uint64_t device;
    uint64_t inode;
    ShareMode mode;
};

std::mutex g_mutex;
std::map<uint64_t, Entry> g_entries;
uint64_t g_nextId = 1;

bool SetShared(int fd, int64_t byte)
{
    struct flock fl {};
    fl.l_type = F_RDLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = kShareLockBase + byte;
    fl.l_len = 1;
    return fcntl(fd, F_OFD_SETLK, &fl) == 0;
}

// Whether another open file description holds a lock on the byte.
bool HeldByOthers(int fd, int64_t byte)
{
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = kShareLockBase + byte;
    fl.l_len = 1;
    if (fcntl(fd, F_OFD_GETLK, &fl) != 0)
        return false;
    return fl.l_type != F_UNLCK;
}

void UnlockAll(int fd)
{
    struct flock fl {};
    fl.l_type = F_UNLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = kShareLockBase;
    fl.l_len = kShareByteCount;
    fcntl(fd, F_OFD_SETLK, &fl);
}

// A private read-only description of the same file: shared read locks need
// read access, and the caller's own descriptor may be write-only or shared
// with other code.
int OpenLockDescriptor(int fd)
{
    std::string self = "/proc/self/fd/" + std::to_string(fd);
    int lockFd = open(self.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (lockFd >= 0)
        return lockFd;
    int flags = fcntl(fd, F_GETFL);
    if (flags >= 0 && (flags & O_ACCMODE) != O_WRONLY)
        return fcntl(fd, F_DUPFD_CLOEXEC, 0);
    return -1;
}

// Errors that mean the file system does not keep such locks.
bool LocksUnsupported(int err)
{
    return err == EINVAL || err == ENOLCK || err == EOPNOTSUPP || err == ENOSYS || err == EBADF || err == EOVERFLOW;
}

} // namespace

ShareMode ShareMode::FromOpenFlags(UINT openFlags)
{
    ShareMode mode;
    switch (openFlags & fileflags::accessMask) {
    case fileflags::modeWrite:
        mode.write = true;
        break;
    case fileflags::modeReadWrite:
        mode.read = true;
        mode.write = true;
        break;
    default:
        mode.read = true;
        break;
    }
    switch (openFlags & fileflags::shareMask) {
    case fileflags::shareExclusive:
        mode.denyRead = true;
        mode.denyWrite = true;
        break;
    case fileflags::shareDenyWrite:
        mode.denyWrite = true;
        break;
    case fileflags::shareDenyRead:
        mode.denyRead = true;
        break;
    default:
        break;
    }
    return mode;
}

ShareMode ShareMode::FromCreateFile(DWORD desiredAccess, DWORD shareMode)
{
    ShareMode mode;
    mode.read = (desiredAccess & (GENERIC_READ | GENERIC_ALL)) != 0;
    mode.write = (desiredAccess & (GENERIC_WRITE | GENERIC_ALL)) != 0;
    mode.denyRead = (shareMode & FILE_SHARE_READ) == 0;
    mode.denyWrite = (shareMode & FILE_SHARE_WRITE) == 0;
    return mode;
}

bool ShareMode::ConflictsWith(const ShareMode& other) const
{
    return (read && other.denyRead) || (write && other.denyWrite) || (denyRead && other.read) || (denyWrite && other.write);
}

ShareLock::~ShareLock()
{
    Release();
}

ShareLock::ShareLock(ShareLock&& other) noexcept
    : m_id(std::exchange(other.m_id, 0))
    , m_device(other.m_device)
    , m_inode(other.m_inode)
    , m_lockFd(std::exchange(other.m_lockFd, -1))
{
}

ShareLock& ShareLock::operator=(ShareLock&& other) noexcept
{
    if (this != &other) {
        Release();
        m_id = std::exchange(other.m_id, 0);
        m_device = other.m_device;
        m_inode = other.m_inode;
        m_lockFd = std::exchange(other.m_lockFd, -1);
    }
    return *this;
}

ShareLock::Result ShareLock::Acquire(int fd, ShareMode mode, int* osError)
{
    Release();
    struct stat st;
    if (fstat(fd, &st) != 0) {
        if (osError)
            *osError = errno;
        return Result::Failed;
    }
    uint64_t device = st.st_dev;
    uint64_t inode = st.st_ino;

    std::lock_guard<std::mutex> lock(g_mutex);
    for (const auto& [id, entry] : g_entries) {
        if (entry.device == device && entry.inode == inode && mode.ConflictsWith(entry.mode))
            return Result::Violation;
    }

    int lockFd = OpenLockDescriptor(fd);
    if (lockFd >= 0) {
        const std::pair<bool, int64_t> mine[] = {
            { mode.read, kOpenRead },
            { mode.write, kOpenWrite },
            { mode.denyRead, kDenyRead },
            { mode.denyWrite, kDenyWrite },
        };
        bool supported = true;
        for (const auto& [wanted, byte] : mine) {
            if (!wanted || SetShared(lockFd, byte))
                continue;
            if (LocksUnsupported(errno)) {
                supported = false;
                break;
            }
            // Nobody takes write locks on these bytes, so a refusal here
            // means a foreign program does; treat it as a conflict.
            close(lockFd);
            return Result::Violation;
        }
        if (supported) {
            bool conflict = (mode.read && HeldByOthers(lockFd, kDenyRead))
                || (mode.write && HeldByOthers(lockFd, kDenyWrite))
                || (mode.denyRead && HeldByOthers(lockFd, kOpenRead))
                || (mode.denyWrite && HeldByOthers(lockFd, kOpenWrite));
            if (conflict) {
                close(lockFd);
                return Result::Violation;
            }
        } else {
            close(lockFd);
            lockFd = -1;
        }
    }

    m_id = g_nextId++;
    m_device = device;
    m_inode = inode;
    m_lockFd = lockFd;
    g_entries[m_id] = Entry { device, inode, mode };
    return Result::Held;
}

void ShareLock::Release()
{
    if (m_id == 0)
        return;
    std::lock_guard<std::mutex> lock(g_mutex);
    g_entries.erase(m_id);
    m_id = 0;
    if (m_lockFd >= 0) {
        UnlockAll(m_lockFd);
        close(m_lockFd);
        m_lockFd = -1;
    }
}

} // namespace platform
