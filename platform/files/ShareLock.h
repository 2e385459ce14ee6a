#pragma once
// Share modes between opens of one file, in this process and across
// processes, as Windows enforces them: an open says what it does (read,
// write) and what it denies others (reading, writing); an open that would do
// what an earlier open denies, or deny what an earlier open does, is refused.
//
// Within the process a table keyed by device and inode holds every open.
// Between processes each open holds shared fcntl locks of its own open file
// description (F_OFD_SETLK) on single bytes far past any real data, one byte
// per fact:
//
//   kShareLockBase + 0   open for reading
//   kShareLockBase + 1   open for writing
//   kShareLockBase + 2   denies reading
//   kShareLockBase + 3   denies writing
//
// An opener first takes its own bytes, then asks (F_OFD_GETLK with a write
// lock) whether anyone else holds a byte that conflicts; if so it lets go
// and is refused. Because every opener sets before it checks, of two
// conflicting openers racing at least one is refused. The locks sit on a
// private read-only description of the file, so they do not depend on the
// caller's descriptor and vanish if the process dies. A file system without
// such locks (or a file that cannot be read) falls back to the in-process
// table. A child made by fork() shares the parent's descriptions and so
// holds its markers until it execs or exits.
//
// The storage module uses this for compound files; CFile and CreateFile use
// it for every open.

#include "platform/base/Types.h"

#include <cstdint>

namespace platform {

constexpr int64_t kShareLockBase = int64_t(1) << 62;

struct ShareMode {
    bool read = false;
    bool write = false;
    bool denyRead = false;
    bool denyWrite = false;

    // CFile's modeRead/modeWrite/modeReadWrite and share flags.
    // shareCompat and shareDenyNone deny nothing.
    static ShareMode FromOpenFlags(UINT openFlags);
    // CreateFile's GENERIC_READ/GENERIC_WRITE and FILE_SHARE_* flags.
    static ShareMode FromCreateFile(DWORD desiredAccess, DWORD shareMode);
    bool ConflictsWith(const ShareMode& other) const;
};

// One open's hold on a file's share state; releases it when destroyed.
class ShareLock {
public:
    enum class Result { Held, Violation, Failed };

    ShareLock() = default;
    ~ShareLock();
    ShareLock(ShareLock&& other) noexcept;
    ShareLock& operator=(ShareLock&& other) noexcept;
    ShareLock(const ShareLock&) = delete;
    ShareLock& operator=(const ShareLock&) = delete;

    // Takes the share state of `mode` for the file open on fd (any access).
    // Violation when an open here or in another process conflicts; Failed
    // with errno in *osError when the file cannot be examined.
    Result Acquire(int fd, ShareMode mode, int* osError = nullptr);
    void Release();
    bool IsHeld() const { return m_id != 0; }

private:
    uint64_t m_id = 0; // entry in the in-process table; 0 when nothing is held
    uint64_t m_device = 0;
    uint64_t m_inode = 0;
    int m_lockFd = -1;
};

} // namespace platform
