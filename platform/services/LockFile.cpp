#include "platform/services/LockFile.h"


#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace platform {

LockFile::~LockFile()
{
    Close();
}

bool LockFile::Open(const std::string& path)
{
    Close();
    do
        m_fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    while (m_fd < 0 && errno == EINTR);
    return m_fd >= 0;
}

LockFile::Result LockFile::TryLock(Kind kind)
{
    if (m_fd < 0) {
        errno = EBADF;
        return Result::Failed;
    }
    struct flock lock = {};
    lock.l_type = kind == Kind::Exclusive ? F_WRLCK : F_RDLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0; // the whole file, however long it grows
    if (fcntl(m_fd, F_OFD_SETLK, &lock) == 0)
        return Result::Acquired;
    if (errno == EAGAIN || errno == EACCES)
        return Result::Busy;
    return Result::Failed;
}

bool LockFile::IsLockedElsewhere() const
{
    if (m_fd < 0)
        return false;
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    if (fcntl(m_fd, F_OFD_GETLK, &lock) != 0)
        return false;
    return lock.l_type != F_UNLCK;
}

void LockFile::Close()
{
    if (m_fd >= 0)
        close(m_fd);
    m_fd = -1;
}

bool LockFile::WriteOwnerPid(long pid)
{
    if (m_fd < 0 || ftruncate(m_fd, 0) != 0)
        return false;
    char text[32];
    int length = snprintf(text, sizeof text, "%ld\n", pid);
    return pwrite(m_fd, text, static_cast<size_t>(length), 0) == length;
}

long LockFile::ReadOwnerPid() const
{
    if (m_fd < 0)
        return 0;
    char text[24];
    ssize_t n = pread(m_fd, text, sizeof text - 1, 0);
    if (n <= 0)
        return 0;
    long pid = 0;
    for (ssize_t i = 0; i < n && text[i] != '\n'; ++i) {
        if (text[i] < '0' || text[i] > '9' || pid > 100000000)
            return 0;
        pid = pid * 10 + (text[i] - '0');
    }
    return pid;
}

} // namespace platform
