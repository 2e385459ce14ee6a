#include "platform/services/Spawn.h"

#include "platform/files/FileOps.h"
#include "platform/services/Process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <thread>

extern char** environ;

namespace platform {

namespace {

// argv as posix_spawn takes it: pointers into the strings, then NULL.
std::vector<char*> ArgvPointers(const std::vector<std::string>& argv)
{
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    return args;
}

} // namespace

SpawnResult SpawnDetached(const std::string& program, const std::vector<std::string>& argv,
    const std::string& folder, bool searchPath)
{
    SpawnResult result;
    std::vector<char*> args = ArgvPointers(argv);

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

bool RunQuietly(const std::vector<std::string>& argv, int timeoutMs, std::string* pOutput, size_t nMaxOutput)
{
    if (argv.empty())
        return false;
    std::vector<char*> args = ArgvPointers(argv);

    int pipeFds[2] = {-1, -1};
    if (pOutput != nullptr) {
        pOutput->clear();
        if (pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0)
            return false;
    }
    const auto closePipe = [&pipeFds]() {
        for (int& fd : pipeFds) {
            if (fd >= 0)
                close(fd);
            fd = -1;
        }
    };
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) {
        closePipe();
        return false;
    }
    // What such tools say is nobody's business at our start.
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (pOutput != nullptr)
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (pipeFds[1] >= 0) {
        close(pipeFds[1]);
        pipeFds[1] = -1;
    }
    if (rc != 0) {
        closePipe();
        return false;
    }
    // Takes what the program has written so far; its pipe never fills.
    const auto drain = [&]() {
        char buffer[4096];
        for (;;) {
            const ssize_t n = pipeFds[0] >= 0 ? read(pipeFds[0], buffer, sizeof buffer) : -1;
            if (n <= 0)
                return;
            const size_t room = nMaxOutput - std::min(nMaxOutput, pOutput->size());
            pOutput->append(buffer, std::min(room, size_t(n)));
        }
    };

    int status = 0;
    const timespec pause{ 0, 10 * 1000 * 1000 };
    for (int waited = 0;; waited += 10) {
        drain();
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            drain();
            closePipe();
            return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        }
        if (done < 0 && errno != EINTR) {
            closePipe();
            return false;
        }
        if (waited >= timeoutMs)
            break;
        nanosleep(&pause, nullptr);
    }
    kill(pid, SIGKILL);
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    closePipe();
    return false;
}

} // namespace platform
