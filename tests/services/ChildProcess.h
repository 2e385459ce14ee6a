#pragma once
// Runs a function in a forked copy of the test program, standing in for a
// second copy of the program. The child ends with _exit and the function's
// result, so none of the parent's exit-time work runs twice.

#include <poll.h>
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

namespace services_test {

inline pid_t StartChild(const std::function<int()>& body)
{
    pid_t pid = fork();
    if (pid == 0)
        _exit(body());
    return pid;
}

// The child's exit code; -1 when it did not end normally in time (it is then
// killed, so a failing test never leaves processes behind).
inline int WaitChild(pid_t pid, int timeoutMs = 5000)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int status = 0;
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (done < 0)
            return -1;
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// A one-way signal between parent and child: one side waits for the other
// to reach a point.
class Signal {
public:
    Signal() { (void)!pipe(m_fds); }
    ~Signal()
    {
        close(m_fds[0]);
        close(m_fds[1]);
    }
    void Raise() { (void)!write(m_fds[1], "x", 1); }
    bool Wait(int timeoutMs = 5000)
    {
        pollfd entry = { m_fds[0], POLLIN, 0 };
        char c;
        return poll(&entry, 1, timeoutMs) == 1 && read(m_fds[0], &c, 1) == 1;
    }

private:
    int m_fds[2] = { -1, -1 };
};

} // namespace services_test
