#pragma once
// A lock on a file shared between processes of this user: an open file
// description lock on the whole file, so a lock is released when its holder
// closes the file or dies, however it dies, and two opens in one process
// conflict exactly as two processes do. A lock file left by a dead process
// is therefore simply free.
//
// A lock file may be removed, but only by an open that holds it
// exclusively (CloseAndRemove, RemoveIfFree). An open made before the
// removal would otherwise lock a file that no longer has the name while
// another locks the new one; so TryLock checks, whenever it takes a lock it
// did not hold, that the name still leads to the file it locked, and opens
// the name again when it does not. Not thread-safe; one owner.

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
    // Removes the file when this open can hold it exclusively (no other
    // open holds it), then closes it either way; true when it was removed.
    // `alsoRemove` (a host path or empty) goes first, under the same lock:
    // a file that belongs to whoever holds the lock.
    bool CloseAndRemove(const std::string& alsoRemove = std::string());

    // Removes the lock file at `path`, and `alsoRemove` with it, when no
    // open holds it: what a process that ended without cleaning up left.
    static bool RemoveIfFree(const std::string& path, const std::string& alsoRemove = std::string());

    bool IsOpen() const { return m_fd >= 0; }

    // The holder's process id in the file, replacing what was there.
    bool WriteOwnerPid(long pid);
    // The process id written by the holder; 0 when none can be read.
    long ReadOwnerPid() const;

private:
    bool OpenFile();
    bool StillNamed() const;

    int m_fd = -1;
    std::string m_path;
    bool m_locked = false;
};

} // namespace platform
