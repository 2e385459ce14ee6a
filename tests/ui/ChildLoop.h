#pragma once
// A first copy of the program running its message loop while a second copy
// (a forked child) talks to it: the loop runs until the child has ended, or
// the child is killed after `timeoutSeconds`.

#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "tests/services/ChildProcess.h"

#include <chrono>

namespace uitest {

// The child's exit code; -1 when it did not end normally in time.
inline int RunMessageLoopUntilChildEnds(pid_t child, int timeoutSeconds)
{
    int status = -1;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    platform::headless::SetIdleHandler([&] {
        int raw = 0;
        if (waitpid(child, &raw, WNOHANG) == child) {
            status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
            PostQuitMessage(0);
        } else if (std::chrono::steady_clock::now() > deadline) {
            services_test::WaitChild(child, 0);
            PostQuitMessage(0);
        } else {
            usleep(1000);
        }
        return true;
    });
    MSG msg;
    while (GetMessage(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    platform::headless::SetIdleHandler(nullptr);
    return status;
}

} // namespace uitest
