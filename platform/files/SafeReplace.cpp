#include "platform/files/SafeReplace.h"

#include "platform/files/FileOps.h"
#include "platform/files/HostPath.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace platform {

namespace {

std::atomic<ReplaceWriteStep> g_writeStep { nullptr };

mode_t CurrentUmask()
{
    // Read from /proc where possible: setting the umask to read it is not
    // safe while other threads create files.
    int fd = open("/proc/self/status", O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        char text[4096];
        ssize_t n = read(fd, text, sizeof text - 1);
        close(fd);
        if (n > 0) {
            text[n] = '\0';
            if (const char* line = strstr(text, "Umask:"))
                return static_cast<mode_t>(strtoul(line + 6, nullptr, 8)) & 0777;
        }
    }
    return 022;
}

void SyncFolder(const std::string& folder)
{
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

bool MakeBackup(const std::string& target)
{
    std::string backup = target + ".bak";
    if (unlink(backup.c_str()) != 0 && errno != ENOENT)
        return false;
    // A hard link keeps the target in place until the rename; file systems
    // without links get a copy.
    if (link(target.c_str(), backup.c_str()) == 0)
        return true;
    return CopyHostFile(target, backup, false);
}

} // namespace

bool ReplaceFileContents(const std::string& hostPath, std::string_view bytes, KeepBackup keep, int* osError)
{
    auto fail = [&](int err) {
        if (osError)
            *osError = err;
        return false;
    };
    if (hostPath.empty())
        return fail(ENOENT);

    std::string target = hostPath;
    struct stat st;
    if (lstat(target.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (realpath(target.c_str(), resolved))
            target = resolved;
    }
    bool exists = stat(target.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode))
        return fail(EISDIR);
    mode_t mode = exists ? (st.st_mode & 07777) : (0666 & ~CurrentUmask());

    std::string folder = HostParent(target);
    std::string name = target.substr(target.rfind('/') + 1);
    std::string temp = folder + (folder == "/" ? "." : "/.") + name + ".XXXXXX";
    int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return fail(errno);

    ReplaceWriteStep step = g_writeStep.load();
    bool written = step ? step(fd, bytes.data(), bytes.size()) : WriteAll(fd, bytes.data(), bytes.size());
    int err = errno;
    if (written && fsync(fd) != 0) {
        written = false;
        err = errno;
    }
    if (written)
        fchmod(fd, mode);
    if (close(fd) != 0 && written) {
        written = false;
        err = errno;
    }
    if (!written) {
        unlink(temp.c_str());
        return fail(err ? err : EIO);
    }
    if (keep == KeepBackup::Yes && exists && !MakeBackup(target)) {
        err = errno;
        unlink(temp.c_str());
        return fail(err);
    }
    if (rename(temp.c_str(), target.c_str()) != 0) {
        err = errno;
        unlink(temp.c_str());
        return fail(err);
    }
    SyncFolder(folder);
    return true;
}

BOOL ReplaceWindowsFileContents(LPCSTR path, std::string_view bytes, KeepBackup keep)
{
    if (!path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string host = HostPathForWriting(path, false);
    if (host.empty())
        return FALSE;
    int err = 0;
    if (!ReplaceFileContents(host, bytes, keep, &err)) {
        SetLastErrorFromErrno(err, host);
        return FALSE;
    }
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

void SetReplaceWriteStepForTests(ReplaceWriteStep step)
{
    g_writeStep.store(step);
}

} // namespace platform
