#pragma once
// Start-up of the files module and the questions about files that have no
// Win32 name.

#include <cstdint>

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

// What a file or folder is, whatever path reached it: links are followed, so
// a folder link and its target have the same identity. A walk that keeps the
// identities it entered never enters a folder twice.
struct FileIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;

    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
    friend bool operator<(const FileIdentity& a, const FileIdentity& b)
    {
        return a.device != b.device ? a.device < b.device : a.inode < b.inode;
    }
};

// The identity of what a Windows-form path names; false when the path cannot
// be resolved or names nothing that can be reached.
bool GetFileIdentity(const char* windowsPath, FileIdentity& identity);

} // namespace platform
