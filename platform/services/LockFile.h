#pragma once
// A lock on a file shared between processes of this user: an open file
// description lock on the whole file, so a lock is released when its holder
// closes the file or dies, however it dies, and two opens in one process
// conflict exactly as two processes do. A lock file left by a dead process
// is therefore simply free. Lock files are never deleted: removing one while
// another process has it open would let two holders lock different files
// under the same name. Not thread-safe; one owner.

#include <string>

namespace platform {

class LockFile {
public:
    enum class Kind { Shared, Exclusive };
    enum class Result { Acquired, Busy, Failed };

    LockFile() = default;
    ~LockFile();
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;

    // Opens (creating, mode 0600) the file at a host path; false with errno.
    bool Open(const std::string& path);
    // Takes or converts this open's lock without waiting. Converting between
    // shared and exclusive is atomic: the file is never unlocked in between.
    // Busy when another open holds a conflicting lock.
    Result TryLock(Kind kind);
    // True when another open holds a lock on the file (this open's own lock
    // does not count); nothing is taken.
    bool IsLockedElsewhere() const;
    // Releases the lock and closes the file.
    void Close();

    bool IsOpen() const { return m_fd >= 0; }

    // The holder's process id in the file, replacing what was there.
    bool WriteOwnerPid(long pid);
    // The process id written by the holder; 0 when none can be read.
    long ReadOwnerPid() const;

private:
    int m_fd = -1;
};

} // namespace platform
