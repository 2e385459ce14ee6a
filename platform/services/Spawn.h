#pragma once
// Starting a Linux program without a shell and without waiting for it: the
// common ground of CreateProcess and the URL opener. Each started program is
// reaped by a small thread of its own when it ends, so none is left behind
// as a zombie and nothing else of ours has to wait for it.

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

// The Win32 error that stands for an errno of a failed start.
DWORD StartErrorFromErrno(int error);

} // namespace platform
