#include "platform/storage/CompoundFile.h"
#include "platform/storage/StorageErrors.h"
#include "platform/storage/StorageObjects.h"

#include "platform/files/SafeReplace.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

StorageFile::StorageFile(std::string path, std::u16string displayName, DWORD grfMode)
    : hostPath(std::move(path))
    , name(std::move(displayName))
    , mode(grfMode)
{
}

StorageFile::~StorageFile()
{
    m_lock.Release();
    if (m_fd >= 0)
        close(m_fd);
    if (deleteOnRelease && !hostPath.empty())
        unlink(hostPath.c_str());
}

bool StorageFile::IdentityOf(int fd, Identity& out) const
{
    struct stat st;
    if (fstat(fd, &st) != 0)
        return false;
    out = Identity { uint64_t(st.st_dev), uint64_t(st.st_ino), int64_t(st.st_size), int64_t(st.st_mtim.tv_sec),
        int64_t(st.st_mtim.tv_nsec) };
    return true;
}

HRESULT StorageFile::Lock()
{
    int fd = open(hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return HResultFromErrno(errno, hostPath, STG_E_READFAULT);
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return STG_E_ACCESSDENIED;
    }
    if ((mode & 0x3) != STGM_READ && access(hostPath.c_str(), W_OK) != 0) {
        close(fd);
        return STG_E_ACCESSDENIED;
    }
    ShareLock lock;
    int err = 0;
    switch (lock.Acquire(fd, ShareMode::FromOpenFlags(mode & 0x73), &err)) {
    case ShareLock::Result::Held:
        break;
    case ShareLock::Result::Violation:
        close(fd);
        return STG_E_SHAREVIOLATION;
    case ShareLock::Result::Failed:
        close(fd);
        return HResultFromErrno(err, hostPath, STG_E_READFAULT);
    }
    Identity identity;
    IdentityOf(fd, identity);
    m_lock = std::move(lock);
    if (m_fd >= 0)
        close(m_fd);
    m_fd = fd;
    m_identity = identity;
    return S_OK;
}

HRESULT StorageFile::ReadAll(std::vector<BYTE>& out) const
{
    out.clear();
    struct stat st;
    if (m_fd < 0 || fstat(m_fd, &st) != 0)
        return STG_E_READFAULT;
    if (uint64_t(st.st_size) > kMaxCompoundFileSize)
        return STG_E_INSUFFICIENTMEMORY;
    out.resize(size_t(st.st_size));
    size_t done = 0;
    while (done < out.size()) {
        ssize_t n = pread(m_fd, out.data() + done, out.size() - done, off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return STG_E_READFAULT;
        done += size_t(n);
    }
    return S_OK;
}

HRESULT StorageFile::Save(const StorageNode& root)
{
    if (hostPath.empty())
        return STG_E_ACCESSDENIED;
    std::string bytes;
    if (HRESULT hr = WriteCompoundFile(root, bytes); FAILED(hr))
        return hr;
    int err = 0;
    if (!ReplaceFileContents(hostPath, bytes, KeepBackup::No, &err))
        return HResultFromErrno(err, hostPath, STG_E_WRITEFAULT);
    dirty = false;
    // The old file is gone; hold the same share state on the new one. Should
    // that fail the write still stands, and the old lock is kept.
    Lock();
    return S_OK;
}

bool StorageFile::IsCurrent() const
{
    if (hostPath.empty())
        return true;
    int fd = open(hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    Identity now;
    bool same = IdentityOf(fd, now) && now == m_identity;
    close(fd);
    return same;
}

} // namespace platform
