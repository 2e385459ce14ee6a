#pragma once
// Starting a Linux program without a shell. Without waiting for it: the
// common ground of CreateProcess and the URL opener; each started program is
// reaped by a small thread of its own when it ends, so none is left behind
// as a zombie and nothing else of ours has to wait for it. Or waiting a
// bounded time for a short tool of the desktop's.

#include "platform/base/Types.h"

#include <string>
#include <vector>
#include <sys/types.h>

namespace platform {

struct SpawnResult {
    pid_t pid = 0;  // above 0 when the program started
    int error = 0;  // errno when it did not
};

// program: a path, or with searchPath a name looked up in PATH. argv holds
// argv[0] too. folder: the program's current folder, empty for ours.
SpawnResult SpawnDetached(const std::string& program, const std::vector<std::string>& argv,
    const std::string& folder, bool searchPath = false);

// Runs a program found in PATH (argv[0]) without a shell, its input and
// output on /dev/null, and waits for it at most timeoutMs; one still running
// then is killed. True when it ended with 0. With pOutput, what it writes
// to its standard output is kept there instead, at most nMaxOutput bytes
// (the rest is read and dropped, so that the program never blocks on it).
bool RunQuietly(const std::vector<std::string>& argv, int timeoutMs, std::string* pOutput = nullptr,
    size_t nMaxOutput = 64 * 1024);

// The Win32 error that stands for an errno of a failed start.
DWORD StartErrorFromErrno(int error);

} // namespace platform
