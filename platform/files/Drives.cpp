#include "platform/files/Drives.h"

#include "platform/files/DriveTable.h"
#include "platform/files/HostPath.h"
#include "platform/files/WindowsPath.h"

#include <sys/stat.h>

#include <cstring>
#include <string>

using namespace platform;

namespace {

// The drive a root text names: "X:", "X:\", "\\server\share[\]", or null for
// the current drive. Null when the text is no root or the drive is unknown;
// *isRoot tells which.
const DriveInfo* DriveOfRoot(const DriveTable& table, LPCSTR rootPath, bool* isRoot)
{
    std::string text = rootPath ? std::string(rootPath) : std::string(1, CurrentDriveLetter()) + ":\\";
    PathRoot root = ParsePathRoot(text);
    *isRoot = false;
    switch (root.kind) {
    case PathRootKind::DriveRelative:
    case PathRootKind::DriveAbsolute:
        if (root.length != text.size())
            return nullptr;
        *isRoot = true;
        return table.Find(root.drive);
    case PathRootKind::Unc:
        if (root.share.empty() || root.length != text.size())
            return nullptr;
        *isRoot = true;
        return table.FindRemote(root.server, root.share);
    case PathRootKind::Relative:
    case PathRootKind::RootRelative:
        return nullptr;
    }
    return nullptr;
}

bool CopyText(const std::string& text, LPSTR buffer, DWORD size)
{
    if (!buffer)
        return true;
    if (size < text.size() + 1)
        return false;
    memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

} // namespace

UINT GetDriveType(LPCSTR lpRootPathName)
{
    std::shared_ptr<const DriveTable> table = CurrentDriveTable();
    bool isRoot = false;
    const DriveInfo* drive = DriveOfRoot(*table, lpRootPathName, &isRoot);
    if (!drive)
        return DRIVE_NO_ROOT_DIR;
    return drive->type;
}

BOOL GetVolumeInformation(LPCSTR lpRootPathName, LPSTR lpVolumeNameBuffer, DWORD nVolumeNameSize,
    LPDWORD lpVolumeSerialNumber, LPDWORD lpMaximumComponentLength, LPDWORD lpFileSystemFlags,
    LPSTR lpFileSystemNameBuffer, DWORD nFileSystemNameSize)
{
    std::shared_ptr<const DriveTable> table = CurrentDriveTable();
    bool isRoot = false;
    const DriveInfo* drive = DriveOfRoot(*table, lpRootPathName, &isRoot);
    if (!drive) {
        SetLastError(isRoot ? ERROR_PATH_NOT_FOUND : ERROR_INVALID_NAME);
        return FALSE;
    }
    // A drive whose folder has gone is a drive without its disk.
    struct stat st;
    if (stat(drive->hostRoot.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        SetLastError(ERROR_NOT_READY);
        return FALSE;
    }
    if (!CopyText(drive->label, lpVolumeNameBuffer, nVolumeNameSize)
        || !CopyText(drive->fileSystem, lpFileSystemNameBuffer, nFileSystemNameSize)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    if (lpVolumeSerialNumber)
        *lpVolumeSerialNumber = drive->serial;
    if (lpMaximumComponentLength)
        *lpMaximumComponentLength = 255;
    if (lpFileSystemFlags) {
        DWORD flags = FILE_CASE_SENSITIVE_SEARCH | FILE_CASE_PRESERVED_NAMES | FILE_UNICODE_ON_DISK;
        if (drive->type == DRIVE_CDROM)
            flags |= FILE_READ_ONLY_VOLUME;
        *lpFileSystemFlags = flags;
    }
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

DWORD GetLogicalDrives()
{
    return CurrentDriveTable()->LogicalDrives();
}

DWORD GetLogicalDriveStrings(DWORD nBufferLength, LPSTR lpBuffer)
{
    std::string text;
    for (const DriveInfo& drive : CurrentDriveTable()->Drives()) {
        text += drive.letter;
        text += ":\\";
        text += '\0';
    }
    // The final zero of the list comes on top of the zeros of the entries.
    if (!lpBuffer || nBufferLength < text.size() + 1)
        return static_cast<DWORD>(text.size() + 1);
    memcpy(lpBuffer, text.data(), text.size());
    lpBuffer[text.size()] = '\0';
    return static_cast<DWORD>(text.size());
}
