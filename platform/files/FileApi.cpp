#include "platform/files/FileApi.h"

#include "platform/base/CodePage.h"
#include "platform/files/FileOps.h"
#include "platform/files/HostPath.h"
#include "platform/files/ProgramFolder.h"
#include "platform/files/UserFolders.h"
#include "platform/files/WindowsPath.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

using namespace platform;

namespace {

// The Win32 rule for calls that fill a caller's buffer: the length without
// the zero when it fits, else the size needed with the zero.
DWORD CopyOut(const std::string& text, LPSTR buffer, DWORD size)
{
    if (!buffer || size < text.size() + 1)
        return static_cast<DWORD>(text.size() + 1);
    memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}

bool Resolve(LPCSTR path, ResolvedPath& out)
{
    if (!path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    DWORD error = 0;
    if (!ResolvePath(path, out, &error)) {
        SetLastError(error);
        return false;
    }
    return true;
}

bool HostExists(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

std::string LastHostName(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

BOOL Fail(int err, const std::string& hostPath)
{
    SetLastErrorFromErrno(err, hostPath);
    return FALSE;
}

std::atomic<UINT> g_errorMode { 0 };

UINT SpecialFolder(const char* below, LPSTR buffer, UINT size)
{
    std::string folder = ConfigDir() + below;
    MakeHostFolders(folder, 0700);
    return CopyOut(WindowsPathFor(folder), buffer, size);
}

} // namespace

DWORD GetFileAttributes(LPCSTR lpFileName)
{
    ResolvedPath resolved;
    if (!Resolve(lpFileName, resolved))
        return INVALID_FILE_ATTRIBUTES;
    std::string host = resolved.ForReading();
    switch (LookUpBuiltInFile(host)) {
    case BuiltInFile::Present:
        SetLastError(ERROR_SUCCESS);
        return FILE_ATTRIBUTE_ARCHIVE;
    case BuiltInFile::Absent:
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_FILE_ATTRIBUTES;
    case BuiltInFile::NotListed:
        break;
    }
    struct stat st;
    if (stat(host.c_str(), &st) != 0) {
        SetLastErrorFromErrno(errno, host);
        return INVALID_FILE_ATTRIBUTES;
    }
    SetLastError(ERROR_SUCCESS);
    return FileAttributesOf(st, host == "/" ? std::string() : LastHostName(host));
}

BOOL SetFileAttributes(LPCSTR lpFileName, DWORD dwFileAttributes)
{
    ResolvedPath resolved;
    if (!Resolve(lpFileName, resolved))
        return FALSE;
    std::string host = resolved.ForReading();
    struct stat st;
    if (stat(host.c_str(), &st) != 0)
        return Fail(errno, host);
    mode_t mode = st.st_mode & 07777;
    mode_t wanted = (dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? (mode & ~0222) : (mode | S_IWUSR);
    if (wanted != mode && chmod(host.c_str(), wanted) != 0)
        return Fail(errno, host);
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL CreateDirectory(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES)
{
    ResolvedPath resolved;
    if (!Resolve(lpPathName, resolved))
        return FALSE;
    if (!resolved.overlay.empty() && HostExists(resolved.host)) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    std::string host = PathForWriting(resolved, false);
    if (mkdir(host.c_str(), 0777) != 0)
        return Fail(errno == ENOENT ? ENOTDIR : errno, host);
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL RemoveDirectory(LPCSTR lpPathName)
{
    ResolvedPath resolved;
    if (!Resolve(lpPathName, resolved))
        return FALSE;
    if (!resolved.overlay.empty() && HostExists(resolved.overlay)) {
        if (rmdir(resolved.overlay.c_str()) != 0)
            return Fail(errno, resolved.overlay);
        rmdir(resolved.host.c_str());
    } else if (rmdir(resolved.host.c_str()) != 0) {
        return Fail(errno, resolved.host);
    }
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

DWORD GetCurrentDirectory(DWORD nBufferLength, LPSTR lpBuffer)
{
    return CopyOut(CurrentWindowsFolder(), lpBuffer, nBufferLength);
}

BOOL SetCurrentDirectory(LPCSTR lpPathName)
{
    if (!lpPathName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return SetCurrentWindowsFolder(lpPathName) ? TRUE : FALSE;
}

DWORD GetFullPathName(LPCSTR lpFileName, DWORD nBufferLength, LPSTR lpBuffer, LPSTR* lpFilePart)
{
    std::string full = lpFileName ? FullWindowsPath(lpFileName) : std::string();
    if (full.empty()) {
        SetLastError(ERROR_INVALID_NAME);
        return 0;
    }
    DWORD result = CopyOut(full, lpBuffer, nBufferLength);
    if (result < full.size() + 1 && lpFilePart) {
        size_t name = full.size() - PathFileName(full).size();
        *lpFilePart = name < full.size() ? lpBuffer + name : nullptr;
    }
    return result;
}

namespace platform {

bool DeleteWindowsFile(const char* path, int* err, DWORD* win32)
{
    *err = 0;
    ResolvedPath resolved;
    if (!path || !ResolvePath(path, resolved, win32)) {
        if (!path)
            *win32 = ERROR_INVALID_PARAMETER;
        return false;
    }
    auto fail = [&](int error, const std::string& host) {
        *err = error;
        *win32 = error == ENOENT ? MissingFileError(host) : Win32ErrorFromErrno(error);
        return false;
    };
    std::string target = resolved.ForReading();
    struct stat st;
    if (lstat(target.c_str(), &st) != 0)
        return fail(errno, target);
    if (S_ISDIR(st.st_mode))
        return fail(EISDIR, target);
    if (unlink(target.c_str()) != 0)
        return fail(errno, target);
    // With the overlay copy gone, the installed one would show through
    // again; it goes too when it can.
    if (target != resolved.host)
        unlink(resolved.host.c_str());
    *win32 = ERROR_SUCCESS;
    return true;
}

bool MoveWindowsFile(const char* fromPath, const char* toPath, DWORD flags, int* err, DWORD* win32)
{
    *err = 0;
    ResolvedPath from;
    ResolvedPath to;
    if (!fromPath || !toPath) {
        *win32 = ERROR_INVALID_PARAMETER;
        return false;
    }
    if (!ResolvePath(fromPath, from, win32) || !ResolvePath(toPath, to, win32))
        return false;
    auto fail = [&](int error, const std::string& host) {
        *err = error;
        *win32 = error == ENOENT ? MissingFileError(host) : Win32ErrorFromErrno(error);
        return false;
    };
    std::string source = from.ForReading();
    if (!HostExists(source))
        return fail(ENOENT, source);
    std::string target = PathForWriting(to, false);
    // A change of case only: the lookup found the source itself, so the new
    // spelling is taken as written.
    if (target == source) {
        std::string written = Utf8From1252(PathFileName(toPath));
        std::string parent = HostParent(target);
        target = parent + (parent == "/" ? "" : "/") + written;
        if (target == source) {
            *win32 = ERROR_SUCCESS;
            return true;
        }
    }

    bool replace = (flags & MOVEFILE_REPLACE_EXISTING) != 0;
    int result;
    if (replace) {
        result = rename(source.c_str(), target.c_str());
    } else {
        result = renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE);
        if (result != 0 && errno == EINVAL) {
            // The file system cannot refuse by itself.
            if (HostExists(target))
                errno = EEXIST;
            else
                result = rename(source.c_str(), target.c_str());
        }
    }
    if (result != 0 && errno == EXDEV && (flags & MOVEFILE_COPY_ALLOWED)) {
        if (!CopyHostFile(source, target, !replace))
            return fail(errno, target);
        if (unlink(source.c_str()) != 0) {
            int error = errno;
            unlink(target.c_str());
            return fail(error, source);
        }
        result = 0;
    }
    if (result != 0)
        return fail(errno, target);
    if (flags & MOVEFILE_WRITE_THROUGH) {
        int dir = open(HostParent(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            fsync(dir);
            close(dir);
        }
    }
    *win32 = ERROR_SUCCESS;
    return true;
}

} // namespace platform

BOOL DeleteFile(LPCSTR lpFileName)
{
    int err = 0;
    DWORD win32 = 0;
    bool ok = DeleteWindowsFile(lpFileName, &err, &win32);
    SetLastError(err == EISDIR ? ERROR_ACCESS_DENIED : win32);
    return ok ? TRUE : FALSE;
}

BOOL MoveFileEx(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, DWORD dwFlags)
{
    int err = 0;
    DWORD win32 = 0;
    bool ok = MoveWindowsFile(lpExistingFileName, lpNewFileName, dwFlags, &err, &win32);
    SetLastError(win32);
    return ok ? TRUE : FALSE;
}

BOOL MoveFile(LPCSTR lpExistingFileName, LPCSTR lpNewFileName)
{
    return MoveFileEx(lpExistingFileName, lpNewFileName, MOVEFILE_COPY_ALLOWED);
}

BOOL CopyFile(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, BOOL bFailIfExists)
{
    ResolvedPath from;
    ResolvedPath to;
    if (!Resolve(lpExistingFileName, from) || !Resolve(lpNewFileName, to))
        return FALSE;
    std::string source = from.ForReading();
    std::string target = PathForWriting(to, false);
    if (bFailIfExists && !to.overlay.empty() && HostExists(to.host)) {
        SetLastError(ERROR_FILE_EXISTS);
        return FALSE;
    }
    if (!CopyHostFile(source, target, bFailIfExists != FALSE)) {
        if (errno == EEXIST) {
            SetLastError(ERROR_FILE_EXISTS);
            return FALSE;
        }
        int err = errno;
        return Fail(err, HostExists(source) ? target : source);
    }
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

DWORD GetTempPath(DWORD nBufferLength, LPSTR lpBuffer)
{
    return CopyOut(WithTrailingSeparator(WindowsPathFor(TempDir())), lpBuffer, nBufferLength);
}

UINT GetTempFileName(LPCSTR lpPathName, LPCSTR lpPrefixString, UINT uUnique, LPSTR lpTempFileName)
{
    if (!lpPathName || !lpTempFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string folder = WithTrailingSeparator(lpPathName);
    std::string prefix = lpPrefixString ? std::string(lpPrefixString).substr(0, 3) : std::string();

    auto nameFor = [&](UINT number) {
        char digits[8];
        snprintf(digits, sizeof digits, "%04X", number & 0xFFFF);
        return folder + prefix + digits + ".tmp";
    };
    auto emit = [&](const std::string& name) {
        if (name.size() >= MAX_PATH) {
            SetLastError(ERROR_FILENAME_EXCED_RANGE);
            return false;
        }
        memcpy(lpTempFileName, name.c_str(), name.size() + 1);
        return true;
    };

    UINT unique = uUnique & 0xFFFF;
    if (unique != 0) {
        if (!emit(nameFor(unique)))
            return 0;
        SetLastError(ERROR_SUCCESS);
        return unique;
    }

    // The search starts from a number that changes with time and process, so
    // that programs started together rarely probe the same names.
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    UINT start = static_cast<UINT>((now.tv_nsec / 1000) ^ now.tv_sec ^ (getpid() << 4)) & 0xFFFF;
    for (UINT attempt = 0; attempt < 0x10000; ++attempt) {
        UINT number = (start + attempt) & 0xFFFF;
        if (number == 0)
            continue;
        std::string name = nameFor(number);
        if (name.size() >= MAX_PATH) {
            SetLastError(ERROR_FILENAME_EXCED_RANGE);
            return 0;
        }
        ResolvedPath resolved;
        if (!Resolve(name.c_str(), resolved))
            return 0;
        std::string host = PathForWriting(resolved, false);
        int fd = open(host.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            close(fd);
            emit(name);
            SetLastError(ERROR_SUCCESS);
            return number;
        }
        if (errno != EEXIST) {
            SetLastErrorFromErrno(errno == ENOENT ? ENOTDIR : errno, host);
            return 0;
        }
    }
    SetLastError(ERROR_FILE_EXISTS);
    return 0;
}

UINT SetErrorMode(UINT uMode)
{
    return g_errorMode.exchange(uMode);
}

UINT GetWindowsDirectory(LPSTR lpBuffer, UINT uSize)
{
    return SpecialFolder("/windows", lpBuffer, uSize);
}

UINT GetSystemDirectory(LPSTR lpBuffer, UINT uSize)
{
    return SpecialFolder("/windows/system", lpBuffer, uSize);
}
