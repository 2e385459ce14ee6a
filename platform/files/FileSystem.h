#pragma once
// Start-up of the files module and the questions about files that have no
// Win32 name.

namespace platform {

// Installs the real host file access behind CFile (drive table, lookups
// without case, the overlay, share modes between opens and processes).
// Calling it again does nothing.
void InitFileSystem();

// True only for a regular file (not a folder, device, FIFO or socket); for
// text that may be a path, such as clipboard text.
bool IsRegularFile(const char* windowsPath);

// Whether two paths name the same file: by device and inode when both
// exist, else by their resolved Linux paths.
bool IsSameFile(const char* windowsPathA, const char* windowsPathB);

} // namespace platform
