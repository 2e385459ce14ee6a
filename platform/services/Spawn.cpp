#include "platform/services/Spawn.h"

#include "platform/files/FileOps.h"
#include "platform/services/Process.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <system_error>
#include <thread>

extern char** environ;

namespace platform {

SpawnResult SpawnDetached(const std::string& program, const std::vector<std::string>& argv,
    const std::string& folder, bool searchPath)
{
    SpawnResult result;
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    if (int rc = posix_spawn_file_actions_init(&actions); rc != 0) {
        result.error = rc;
        return result;
    }
    if (!folder.empty()) {
        if (int rc = posix_spawn_file_actions_addchdir_np(&actions, folder.c_str()); rc != 0) {
            posix_spawn_file_actions_destroy(&actions);
            result.error = rc;
            return result;
        }
    }
    pid_t pid = 0;
    int rc = searchPath ? posix_spawnp(&pid, program.c_str(), &actions, nullptr, args.data(), environ)
                        : posix_spawn(&pid, program.c_str(), &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        result.error = rc;
        return result;
    }
    try {
        std::thread([pid] {
            int status = 0;
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    } catch (const std::system_error&) {
        // Without a thread the child is left to be reaped when we exit; it
        // still runs.
    }
    result.pid = pid;
    return result;
}

DWORD StartErrorFromErrno(int error)
{
    switch (error) {
    case ENOEXEC:
        return ERROR_BAD_EXE_FORMAT;
    case ENOMEM:
    case EAGAIN:
        return ERROR_NOT_ENOUGH_MEMORY;
    default:
        return Win32ErrorFromErrno(error);
    }
}

} // namespace platform
