#pragma once
// The table of drive letters. C: is always the Linux root ("/"), a fixed
// drive. Further letters, from D: on, go to the mounts of /proc/mounts that
// a user thinks of as drives: removable media (below /media or /run/media, or
// FAT-like file systems on removable devices), optical discs (iso9660, udf)
// and network shares (cifs/smb3 "//server/share", nfs "server:/path").
//
// THREADWICK_DRIVES adds drives by hand, before the mounts take their letters:
//
//   THREADWICK_DRIVES="D=/tmp/cd:cdrom:LABEL;E=/tmp/usb:removable:STICK;F=/tmp/net:remote:\\srv\pics"
//
// Each entry is <letter>=<Linux folder>:<type>[:<text>] with type fixed,
// removable, cdrom, remote or ramdisk; the folder may hold neither ':' nor
// ';'. The text is the volume label, or for remote drives the share name
// "\\server\share" (or "//server/share"). A bad entry is reported on stderr
// and skipped; the letter C cannot be taken.
//
// The process's table is built on first use; tests install their own from a
// mounts text with SetDriveTable.

#include "platform/base/Types.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct DriveInfo {
    char letter = 0;         // 'C'..'Z' (upper case)
    UINT type = 0;           // DRIVE_FIXED, DRIVE_REMOVABLE, DRIVE_CDROM, DRIVE_REMOTE, DRIVE_RAMDISK
    std::string hostRoot;    // the Linux folder of the drive's root, no trailing '/' (but "/")
    std::string label;       // the volume label (1252)
    std::string fileSystem;  // "EXT4", "FAT32", "CDFS", ...
    DWORD serial = 0;        // stable for the same device and folder
    std::string server;      // remote drives: the server and share (1252)
    std::string share;
    std::string RemoteName() const; // "\\server\share", empty for local drives
};

// What the table needs to know about devices besides the mounts text, so that
// tests do not depend on the machine.
struct MountEnvironment {
    // Device path (as the mounts text names it) to its volume label (UTF-8).
    std::map<std::string, std::string> labelsByDevice;
    // Whether a block device is removable; absent means never.
    std::function<bool(const std::string& device)> isRemovable;

    // /dev/disk/by-label and /sys/class/block of this machine.
    static MountEnvironment FromSystem();
};

class DriveTable {
public:
    // A table holding only C:.
    DriveTable();

    // From the text of /proc/mounts and a THREADWICK_DRIVES text. Problems
    // with the drives text are collected in Errors().
    static DriveTable Build(std::string_view mountsText, std::string_view drivesSpec, const MountEnvironment& env);
    // From this machine's /proc/mounts and the environment.
    static DriveTable FromSystem();

    const DriveInfo* Find(char letter) const;
    const DriveInfo* FindRemote(std::string_view server, std::string_view share) const;
    // The drive whose root holds the Linux path (the longest root wins).
    const DriveInfo* FindByHostPath(std::string_view hostPath) const;
    DWORD LogicalDrives() const;
    const std::vector<DriveInfo>& Drives() const { return m_drives; } // by letter
    const std::vector<std::string>& Errors() const { return m_errors; }

private:
    bool Add(DriveInfo drive);
    char NextFreeLetter() const;

    std::vector<DriveInfo> m_drives;
    std::vector<std::string> m_errors;
};

// The process's table (built from the machine on first use).
std::shared_ptr<const DriveTable> CurrentDriveTable();
// Replaces the process's table (tests); ResetDriveTable makes the next use
// read the machine again.
void SetDriveTable(DriveTable table);
void ResetDriveTable();

} // namespace platform
