// CreateFile handles and FindFirstFile handles.

#include "platform/files/DirectoryListing.h"
#include "platform/files/FileApi.h"
#include "platform/files/FileOps.h"
#include "platform/files/HandleTable.h"
#include "platform/files/HostPath.h"
#include "platform/files/ShareLock.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <mutex>

using namespace platform;

namespace {

constexpr uint8_t kFileHandleTag = 1;
constexpr uint8_t kFindHandleTag = 2;

struct OpenFile {
    int fd = -1;
    ShareLock share;
    ~OpenFile()
    {
        share.Release();
        if (fd >= 0)
            close(fd);
    }
};

std::mutex g_mutex;
HandleTable<OpenFile> g_files(kFileHandleTag);
HandleTable<DirectoryListing> g_finds(kFindHandleTag);

uint64_t IdOf(HANDLE handle)
{
    return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(handle));
}

HANDLE HandleOf(uint64_t id)
{
    return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(id));
}

bool HostExists(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

FILETIME FileTimeFrom(int64_t seconds)
{
    // 100-nanosecond steps since 1601-01-01.
    uint64_t ticks = static_cast<uint64_t>(seconds + 11644473600LL) * 10000000ULL;
    return FILETIME { static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32) };
}

void FillFindData(const ListedEntry& entry, LPWIN32_FIND_DATA data)
{
    memset(data, 0, sizeof *data);
    data->dwFileAttributes = entry.attributes;
    data->ftCreationTime = FileTimeFrom(entry.writeTime);
    data->ftLastAccessTime = FileTimeFrom(entry.accessTime);
    data->ftLastWriteTime = FileTimeFrom(entry.writeTime);
    data->nFileSizeHigh = static_cast<DWORD>(entry.size >> 32);
    data->nFileSizeLow = static_cast<DWORD>(entry.size);
    memcpy(data->cFileName, entry.name.c_str(), entry.name.size() + 1);
}

} // namespace

HANDLE CreateFile(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode, LPSECURITY_ATTRIBUTES,
    DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes, HANDLE)
{
    if (!lpFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    bool wantsRead = (dwDesiredAccess & (GENERIC_READ | GENERIC_ALL)) != 0;
    bool wantsWrite = (dwDesiredAccess & (GENERIC_WRITE | GENERIC_ALL)) != 0;
    int flags = O_CLOEXEC | (wantsWrite ? (wantsRead ? O_RDWR : O_WRONLY) : O_RDONLY);
    bool truncate = false;
    bool creates = false;
    switch (dwCreationDisposition) {
    case CREATE_NEW:
        flags |= O_CREAT | O_EXCL;
        creates = true;
        break;
    case CREATE_ALWAYS:
        flags |= O_CREAT;
        creates = true;
        truncate = true;
        break;
    case OPEN_EXISTING:
        break;
    case OPEN_ALWAYS:
        flags |= O_CREAT;
        creates = true;
        break;
    case TRUNCATE_EXISTING:
        if (!wantsWrite) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return INVALID_HANDLE_VALUE;
        }
        truncate = true;
        break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }

    ResolvedPath resolved;
    DWORD error = 0;
    if (!ResolvePath(lpFileName, resolved, &error)) {
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    bool existed = HostExists(resolved.ForReading());
    if (dwCreationDisposition == CREATE_NEW && existed) {
        SetLastError(ERROR_FILE_EXISTS);
        return INVALID_HANDLE_VALUE;
    }
    std::string host = (wantsWrite || creates) ? PathForWriting(resolved, !truncate) : resolved.ForReading();

    // Truncation waits until the share check has passed: a file another open
    // denies writing must not lose its contents to a refused open.
    int fd = open(host.c_str(), flags, 0666);
    if (fd < 0) {
        SetLastError(errno == EEXIST ? ERROR_FILE_EXISTS : (errno == ENOENT ? MissingFileError(host) : Win32ErrorFromErrno(errno)));
        return INVALID_HANDLE_VALUE;
    }
    struct stat st;
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }

    auto file = std::make_unique<OpenFile>();
    file->fd = fd;
    int osError = 0;
    switch (file->share.Acquire(fd, ShareMode::FromCreateFile(dwDesiredAccess, dwShareMode), &osError)) {
    case ShareLock::Result::Held:
        break;
    case ShareLock::Result::Violation:
        SetLastError(ERROR_SHARING_VIOLATION);
        return INVALID_HANDLE_VALUE;
    case ShareLock::Result::Failed:
        SetLastError(Win32ErrorFromErrno(osError));
        return INVALID_HANDLE_VALUE;
    }
    if (truncate && ftruncate(fd, 0) != 0) {
        SetLastError(Win32ErrorFromErrno(errno));
        return INVALID_HANDLE_VALUE;
    }
    if (dwFlagsAndAttributes & FILE_FLAG_SEQUENTIAL_SCAN)
        posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    else if (dwFlagsAndAttributes & FILE_FLAG_RANDOM_ACCESS)
        posix_fadvise(fd, 0, 0, POSIX_FADV_RANDOM);

    std::lock_guard<std::mutex> lock(g_mutex);
    uint64_t id = g_files.Add(std::move(file));
    if (!id) {
        SetLastError(ERROR_TOO_MANY_OPEN_FILES);
        return INVALID_HANDLE_VALUE;
    }
    bool reportsExisting = existed && (dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == OPEN_ALWAYS);
    SetLastError(reportsExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return HandleOf(id);
}

BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead, LPOVERLAPPED lpOverlapped)
{
    if (lpNumberOfBytesRead)
        *lpNumberOfBytesRead = 0;
    std::lock_guard<std::mutex> lock(g_mutex);
    OpenFile* file = g_files.Get(IdOf(hFile));
    if (!file) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (lpOverlapped || (!lpBuffer && nNumberOfBytesToRead > 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    char* out = static_cast<char*>(lpBuffer);
    DWORD done = 0;
    while (done < nNumberOfBytesToRead) {
        ssize_t n = read(file->fd, out + done, nNumberOfBytesToRead - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            SetLastError(errno == EBADF ? ERROR_ACCESS_DENIED : Win32ErrorFromErrno(errno));
            if (lpNumberOfBytesRead)
                *lpNumberOfBytesRead = done;
            return FALSE;
        }
        if (n == 0)
            break;
        done += static_cast<DWORD>(n);
    }
    if (lpNumberOfBytesRead)
        *lpNumberOfBytesRead = done;
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped)
{
    if (lpNumberOfBytesWritten)
        *lpNumberOfBytesWritten = 0;
    std::lock_guard<std::mutex> lock(g_mutex);
    OpenFile* file = g_files.Get(IdOf(hFile));
    if (!file) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (lpOverlapped || (!lpBuffer && nNumberOfBytesToWrite > 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!WriteAll(file->fd, lpBuffer, nNumberOfBytesToWrite)) {
        SetLastError(errno == EBADF ? ERROR_ACCESS_DENIED : Win32ErrorFromErrno(errno));
        return FALSE;
    }
    if (lpNumberOfBytesWritten)
        *lpNumberOfBytesWritten = nNumberOfBytesToWrite;
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

DWORD SetFilePointer(HANDLE hFile, LONG lDistanceToMove, LONG* lpDistanceToMoveHigh, DWORD dwMoveMethod)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    OpenFile* file = g_files.Get(IdOf(hFile));
    if (!file) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_SET_FILE_POINTER;
    }
    int64_t distance = lpDistanceToMoveHigh
        ? static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*lpDistanceToMoveHigh)) << 32) | static_cast<uint32_t>(lDistanceToMove))
        : static_cast<int64_t>(lDistanceToMove);
    int64_t base = 0;
    switch (dwMoveMethod) {
    case FILE_BEGIN:
        break;
    case FILE_CURRENT:
        base = lseek(file->fd, 0, SEEK_CUR);
        break;
    case FILE_END: {
        struct stat st;
        base = fstat(file->fd, &st) == 0 ? st.st_size : -1;
        break;
    }
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (base < 0) {
        SetLastError(Win32ErrorFromErrno(errno));
        return INVALID_SET_FILE_POINTER;
    }
    int64_t position = base + distance;
    if (position < 0) {
        SetLastError(ERROR_NEGATIVE_SEEK);
        return INVALID_SET_FILE_POINTER;
    }
    if (!lpDistanceToMoveHigh && position > 0xFFFFFFFFLL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (lseek(file->fd, position, SEEK_SET) < 0) {
        SetLastError(Win32ErrorFromErrno(errno));
        return INVALID_SET_FILE_POINTER;
    }
    if (lpDistanceToMoveHigh)
        *lpDistanceToMoveHigh = static_cast<LONG>(position >> 32);
    SetLastError(NO_ERROR);
    return static_cast<DWORD>(position);
}

DWORD GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    OpenFile* file = g_files.Get(IdOf(hFile));
    struct stat st;
    if (!file || fstat(file->fd, &st) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_FILE_SIZE;
    }
    uint64_t size = static_cast<uint64_t>(st.st_size);
    if (lpFileSizeHigh)
        *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
    SetLastError(NO_ERROR);
    return static_cast<DWORD>(size);
}

namespace {
BOOL (*g_closers[256])(HANDLE) = {};
} // namespace

void platform::RegisterHandleCloser(uint8_t tag, BOOL (*closer)(HANDLE))
{
    std::lock_guard<std::mutex> lock(g_mutex);
    if (tag != kFileHandleTag && tag != kFindHandleTag)
        g_closers[tag] = closer;
}

BOOL CloseHandle(HANDLE hObject)
{
    std::unique_ptr<OpenFile> file;
    BOOL (*closer)(HANDLE) = nullptr;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        file = g_files.Remove(IdOf(hObject));
        if (!file)
            closer = g_closers[(IdOf(hObject) >> 48) & 0xFF];
    }
    if (file)
        return TRUE;
    if (closer)
        return closer(hObject);
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

HANDLE FindFirstFile(LPCSTR lpFileName, LPWIN32_FIND_DATA lpFindFileData)
{
    if (!lpFileName || !lpFindFileData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    auto listing = std::make_unique<DirectoryListing>();
    DWORD error = 0;
    ListedEntry entry;
    if (!listing->Open(lpFileName, &error) || !listing->Next(entry)) {
        SetLastError(error ? error : ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    FillFindData(entry, lpFindFileData);
    std::lock_guard<std::mutex> lock(g_mutex);
    uint64_t id = g_finds.Add(std::move(listing));
    if (!id) {
        SetLastError(ERROR_TOO_MANY_OPEN_FILES);
        return INVALID_HANDLE_VALUE;
    }
    SetLastError(ERROR_SUCCESS);
    return HandleOf(id);
}

BOOL FindNextFile(HANDLE hFindFile, LPWIN32_FIND_DATA lpFindFileData)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    DirectoryListing* listing = g_finds.Get(IdOf(hFindFile));
    if (!listing || !lpFindFileData) {
        SetLastError(listing ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    ListedEntry entry;
    if (!listing->Next(entry)) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    FillFindData(entry, lpFindFileData);
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL FindClose(HANDLE hFindFile)
{
    std::unique_ptr<DirectoryListing> listing;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        listing = g_finds.Remove(IdOf(hFindFile));
    }
    if (!listing) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
