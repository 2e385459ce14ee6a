#pragma once
// Names for the files a process leaves in a folder that every copy of the
// program shares (the temporary folder), so that a later start can tell the
// files of a copy that has ended from those of one still running.
//
// A tag is "<pid>-<start>", the process id and the time the process began
// in clock ticks since boot; the start time keeps a reused process id from
// passing for the copy that had it before. A tag that cannot be read is
// never taken for an ended process.

#include <string>
#include <string_view>

namespace platform {

// This process's tag.
std::string ProcessTag();

// Whether the process a tag names is still running. True for anything
// that is not a well-formed tag: what cannot be judged is kept.
bool IsTagOfRunningProcess(std::string_view tag);

// Removes the files in `folder` named `prefix` + tag + '.' + anything whose
// tag names a process that has ended; the number removed. Folders and the
// files of running processes are left alone.
int RemoveFilesOfEndedProcesses(const std::string& folder, std::string_view prefix);

} // namespace platform
