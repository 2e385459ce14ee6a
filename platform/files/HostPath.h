#pragma once
// Windows-form paths on the Linux file system. A full Windows path is taken
// to its drive's Linux folder through the drive table; each name is looked up
// as written first and, when that misses, without case (1252 case map),
// folder by folder, the exact match preferred and the first in byte order
// taken among several. A name that is not there at all keeps its spelling, so
// that creating it works.
//
// The overlay: when the program folder cannot be written, a path inside it
// has a second place below OverlayDir(). Reads look at the overlay first,
// writes go there (folders made as needed), so a read-only installation still
// keeps the user's tables, logos and pictures.
//
// Names on disk that Windows-1252 cannot spell are not reachable by their
// Windows form (their conversion holds '?').

#include "platform/base/Types.h"

#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct ResolvedPath {
    std::string host;    // the Linux path (in the installation, for a path in the program folder)
    std::string overlay; // the same place below the overlay when the overlay is in use; else empty

    // The copy to read: the overlay's when it exists, else the host path.
    std::string ForReading() const;
};

// False with a Win32 error in *error (ERROR_INVALID_NAME, ERROR_PATH_NOT_FOUND
// for an unknown drive, ERROR_BAD_NETPATH for an unknown share).
bool ResolvePath(std::string_view windowsPath, ResolvedPath& out, DWORD* error);

// Where a write goes: the overlay place when there is one (its folders made;
// with copyExisting a file found only in the installation is copied over
// first, so that it can be changed in place), else the host path.
std::string PathForWriting(const ResolvedPath& path, bool copyExisting);

// ResolvePath then ForReading or PathForWriting; empty with the last error
// set when the path cannot be resolved.
std::string HostPathForReading(std::string_view windowsPath);
std::string HostPathForWriting(std::string_view windowsPath, bool copyExisting);

// A Linux path in Windows form ("/home/ann/x.shr" is "C:\home\ann\x.shr"; a
// path below a drive's folder takes that drive's letter; a path in the
// overlay names its place in the program folder). Relative paths are taken
// against the process's current folder; the text becomes 1252.
std::string WindowsPathFor(std::string_view hostPath);

// GetFullPathName's answer for a path, against the current folders.
std::string FullWindowsPath(std::string_view path);

// The current folder in Windows form, derived from the process's current
// folder, and its drive letter.
std::string CurrentWindowsFolder();
char CurrentDriveLetter();
// The folder last made current on a drive (its root when none).
std::string FolderOfDrive(char letter);
// Makes a folder the process's current folder; FALSE with the last error set.
bool SetCurrentWindowsFolder(std::string_view path);

// The host path below hostFolder of the given names (UTF-8), each looked up
// as written and else without case.
std::string LookUpWithoutCase(const std::string& hostFolder, const std::vector<std::string>& names);

} // namespace platform
