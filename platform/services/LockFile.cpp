#include "platform/services/LockFile.h"


#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace platform {

namespace {

// Each retry follows a removal by a holder that has already let go, so a
// few are plenty; the bound only stops a pathological race from spinning.
constexpr int kReopenTries = 16;

} // namespace

LockFile::~LockFile()
{
    Close();
}

bool LockFile::Open(const std::string& path)
{
    Close();
    m_path = path;
    return OpenFile();
}

bool LockFile::OpenFile()
{
    do
        m_fd = open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    while (m_fd < 0 && errno == EINTR);
    return m_fd >= 0;
}

bool LockFile::StillNamed() const
{
    struct stat held;
    struct stat named;
    if (fstat(m_fd, &held) != 0 || lstat(m_path.c_str(), &named) != 0)
        return false;
    return held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

LockFile::Result LockFile::TryLock(Kind kind)
{
    for (int attempt = 0;; ++attempt) {
        if (m_fd < 0) {
            errno = EBADF;
            return Result::Failed;
        }
        struct flock lock = {};
        lock.l_type = kind == Kind::Exclusive ? F_WRLCK : F_RDLCK;
        lock.l_whence = SEEK_SET;
        lock.l_start = 0;
        lock.l_len = 0; // the whole file, however long it grows
        Result result;
        if (fcntl(m_fd, F_OFD_SETLK, &lock) == 0)
            result = Result::Acquired;
        else if (errno == EAGAIN || errno == EACCES)
            result = Result::Busy;
        else
            return Result::Failed;
        // A held lock keeps the name: only an exclusive holder removes it.
        if (m_locked || StillNamed() || attempt >= kReopenTries) {
            if (result == Result::Acquired)
                m_locked = true;
            return result;
        }
        close(m_fd);
        m_fd = -1;
        if (!OpenFile())
            return Result::Failed;
    }
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
    m_locked = false;
}

bool LockFile::CloseAndRemove(const std::string& alsoRemove)
{
    bool removed = false;
    if (m_fd >= 0 && TryLock(Kind::Exclusive) == Result::Acquired && StillNamed()) {
        if (!alsoRemove.empty())
            unlink(alsoRemove.c_str());
        removed = unlink(m_path.c_str()) == 0;
    }
    Close();
    return removed;
}

bool LockFile::RemoveIfFree(const std::string& path, const std::string& alsoRemove)
{
    LockFile file;
    file.m_path = path;
    do
        file.m_fd = open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    while (file.m_fd < 0 && errno == EINTR);
    if (file.m_fd < 0)
        return false;
    return file.CloseAndRemove(alsoRemove);
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
