#include "platform/files/CrtFiles.h"

#include "platform/files/DirectoryListing.h"
#include "platform/files/DriveTable.h"
#include "platform/files/FileApi.h"
#include "platform/files/HandleTable.h"
#include "platform/files/HostPath.h"
#include "platform/files/ProgramFolder.h"

#include <errno.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <mutex>

using namespace platform;

namespace {

constexpr uint8_t kCrtFindTag = 3;

std::mutex g_findMutex;
HandleTable<DirectoryListing> g_finds(kCrtFindTag);

int ErrnoFromWin32(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_NAME:
        return ENOENT;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        return EEXIST;
    case ERROR_DIR_NOT_EMPTY:
        return ENOTEMPTY;
    case ERROR_DISK_FULL:
        return ENOSPC;
    case ERROR_TOO_MANY_OPEN_FILES:
        return EMFILE;
    case ERROR_INVALID_PARAMETER:
        return EINVAL;
    default:
        return EACCES;
    }
}

int FailWith(int err)
{
    errno = err;
    return -1;
}

// The C run-time's errno after a Win32 call that failed.
int FailFromLastError()
{
    return FailWith(ErrnoFromWin32(GetLastError()));
}

void FillFindData(const ListedEntry& entry, struct _finddata_t* info)
{
    memset(info, 0, sizeof *info);
    info->attrib = entry.attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL);
    info->time_create = static_cast<time_t>(entry.writeTime);
    info->time_access = static_cast<time_t>(entry.accessTime);
    info->time_write = static_cast<time_t>(entry.writeTime);
    info->size = entry.size > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<_fsize_t>(entry.size);
    memcpy(info->name, entry.name.c_str(), entry.name.size() + 1);
}

uint16_t WindowsMode(mode_t mode)
{
    uint16_t bits = 0;
    if (S_ISDIR(mode))
        bits = _S_IFDIR | _S_IEXEC;
    else if (S_ISREG(mode))
        bits = _S_IFREG;
    else if (S_ISFIFO(mode))
        bits = _S_IFIFO;
    else
        bits = _S_IFCHR;
    bits |= _S_IREAD;
    if (mode & S_IWUSR)
        bits |= _S_IWRITE;
    // The owner's bits are repeated for group and others, as there.
    return static_cast<uint16_t>(bits | ((bits & 0700) >> 3) | ((bits & 0700) >> 6));
}

} // namespace

int _access(const char* path, int mode)
{
    if (!path || (mode & ~6) != 0)
        return FailWith(EINVAL);
    ResolvedPath resolved;
    DWORD error = 0;
    if (!ResolvePath(path, resolved, &error))
        return FailWith(ENOENT);
    std::string host = resolved.ForReading();
    switch (LookUpBuiltInFile(host)) {
    case BuiltInFile::Present:
        return (mode & 2) ? FailWith(EACCES) : 0;
    case BuiltInFile::Absent:
        return FailWith(ENOENT);
    case BuiltInFile::NotListed:
        break;
    }
    if (access(host.c_str(), F_OK) != 0)
        return FailWith(errno);
    int wanted = ((mode & 2) ? W_OK : 0) | ((mode & 4) ? R_OK : 0);
    // A file of a read-only program folder can still be written: the write
    // goes to the overlay.
    if (!resolved.overlay.empty() && (wanted & W_OK))
        wanted &= ~W_OK;
    if (wanted && access(host.c_str(), wanted) != 0)
        return FailWith(errno);
    return 0;
}

int _stat(const char* path, struct _stat* buffer)
{
    if (!path || !buffer)
        return FailWith(EINVAL);
    ResolvedPath resolved;
    DWORD error = 0;
    if (!ResolvePath(path, resolved, &error))
        return FailWith(ENOENT);
    std::string host = resolved.ForReading();
    struct stat st;
    switch (LookUpBuiltInFile(host)) {
    case BuiltInFile::Present:
        memset(&st, 0, sizeof st);
        st.st_mode = S_IFREG | 0444;
        st.st_nlink = 1;
        break;
    case BuiltInFile::Absent:
        return FailWith(ENOENT);
    case BuiltInFile::NotListed:
        if (stat(host.c_str(), &st) != 0)
            return FailWith(errno);
        break;
    }
    if (!S_ISDIR(st.st_mode) && st.st_size > 0x7FFFFFFF)
        return FailWith(EOVERFLOW);
    memset(buffer, 0, sizeof *buffer);
    // The drive number, 0 for A:, as there.
    std::shared_ptr<const DriveTable> table = CurrentDriveTable();
    const DriveInfo* drive = table->FindByHostPath(host);
    buffer->st_dev = buffer->st_rdev = drive ? static_cast<uint32_t>(drive->letter - 'A') : 2;
    buffer->st_mode = WindowsMode(st.st_mode);
    buffer->st_nlink = static_cast<int16_t>(st.st_nlink > 0x7FFF ? 0x7FFF : st.st_nlink);
    buffer->st_size = S_ISDIR(st.st_mode) ? 0 : static_cast<int32_t>(st.st_size);
#ifdef st_mtime
    buffer->st_atim.tv_sec = st.st_atim.tv_sec;
    buffer->st_mtim.tv_sec = st.st_mtim.tv_sec;
    buffer->st_ctim.tv_sec = st.st_ctim.tv_sec;
#else
    buffer->st_atime = st.st_atime;
    buffer->st_mtime = st.st_mtime;
    buffer->st_ctime = st.st_ctime;
#endif
    return 0;
}

int _mkdir(const char* dirname)
{
    return CreateDirectory(dirname, nullptr) ? 0 : FailFromLastError();
}

int _rmdir(const char* dirname)
{
    return RemoveDirectory(dirname) ? 0 : FailFromLastError();
}

int _chdir(const char* dirname)
{
    return SetCurrentDirectory(dirname) ? 0 : FailFromLastError();
}

char* _getcwd(char* buffer, int maxlen)
{
    std::string folder = CurrentWindowsFolder();
    if (!buffer) {
        size_t size = std::max<size_t>(folder.size() + 1, maxlen > 0 ? static_cast<size_t>(maxlen) : 0);
        buffer = static_cast<char*>(malloc(size));
        if (!buffer) {
            errno = ENOMEM;
            return nullptr;
        }
    } else if (maxlen <= 0 || folder.size() + 1 > static_cast<size_t>(maxlen)) {
        errno = ERANGE;
        return nullptr;
    }
    memcpy(buffer, folder.c_str(), folder.size() + 1);
    return buffer;
}

int _unlink(const char* filename)
{
    return DeleteFile(filename) ? 0 : FailFromLastError();
}

int _getdrive()
{
    return CurrentDriveLetter() - 'A' + 1;
}

int _chdrive(int drive)
{
    if (drive < 1 || drive > 26)
        return FailWith(EACCES);
    char letter = static_cast<char>('A' + drive - 1);
    if (!CurrentDriveTable()->Find(letter))
        return FailWith(EACCES);
    if (SetCurrentWindowsFolder(FolderOfDrive(letter)))
        return 0;
    std::string root = std::string(1, letter) + ":\\";
    return SetCurrentWindowsFolder(root) ? 0 : FailWith(EACCES);
}

intptr_t _findfirst(const char* filespec, struct _finddata_t* fileinfo)
{
    if (!filespec || !fileinfo)
        return FailWith(EINVAL);
    auto listing = std::make_unique<DirectoryListing>();
    DWORD error = 0;
    ListedEntry entry;
    if (!listing->Open(filespec, &error) || !listing->Next(entry))
        return FailWith(ENOENT);
    FillFindData(entry, fileinfo);
    std::lock_guard<std::mutex> lock(g_findMutex);
    uint64_t id = g_finds.Add(std::move(listing));
    if (!id)
        return FailWith(EMFILE);
    return static_cast<intptr_t>(id);
}

int _findnext(intptr_t handle, struct _finddata_t* fileinfo)
{
    std::lock_guard<std::mutex> lock(g_findMutex);
    DirectoryListing* listing = g_finds.Get(static_cast<uint64_t>(handle));
    if (!listing || !fileinfo)
        return FailWith(EINVAL);
    ListedEntry entry;
    if (!listing->Next(entry))
        return FailWith(ENOENT);
    FillFindData(entry, fileinfo);
    return 0;
}

int _findclose(intptr_t handle)
{
    std::unique_ptr<DirectoryListing> listing;
    {
        std::lock_guard<std::mutex> lock(g_findMutex);
        listing = g_finds.Remove(static_cast<uint64_t>(handle));
    }
    return listing ? 0 : FailWith(EINVAL);
}
