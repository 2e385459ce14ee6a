#pragma once
// The program folder: the folder of the executable, with support\ beside it.
// Tests and odd installs may move it (SetProgramFolderForTests, or the
// environment variable THREADWICK_PROGRAM_DIR). When the folder cannot be
// written, writes into it go to the per-user overlay (HostPath.h).

#include "platform/base/Types.h"

#include <string>
#include <string_view>

// The executable's full path in Windows form ("C:\opt\threadwick\threadwick").
// Every module of the program lives in the one executable, so any module
// handle answers the same. When the buffer is too short, the name is cut to
// nSize - 1 characters and a zero, nSize is returned and the last error is
// ERROR_INSUFFICIENT_BUFFER.
DWORD GetModuleFileName(HMODULE hModule, LPSTR lpFilename, DWORD nSize);
#define GetModuleFileNameA GetModuleFileName

namespace platform {

// Host paths, without a trailing '/'.
std::string ProgramFolder();
std::string ProgramFilePath();
// The file this process runs, wherever the program folder was moved; empty
// when it cannot be read.
std::string ExecutableHostPath();

// Empty restores the executable's own folder.
void SetProgramFolderForTests(const std::string& hostFolder);

// Whether files can be created in the program folder, found once by creating
// and removing a probe file. Tests (which run as root, where permission bits
// do not stop writes) say it outright; Reset probes again.
bool IsProgramFolderWritable();
void SetProgramFolderWritable(bool writable);
void ResetProgramFolderWritable();

// Some support modules of the original installation are built into the
// program; the files that stood for them are answered here so that presence
// tests keep working. Present: the file counts as existing even though no
// file is there. Absent: it never exists, whatever is on disk.
enum class BuiltInFile { NotListed, Present, Absent };
BuiltInFile LookUpBuiltInFile(std::string_view hostPath);

} // namespace platform
