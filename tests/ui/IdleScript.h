#pragma once
// A test's script for a modal loop: each step runs when the loop would wait
// with nothing to do; after the last one a loop that waits gets WM_QUIT
// from the headless back end.

#include "platform/ui/Headless.h"
#include "platform/ui/User.h"

#include <functional>
#include <memory>
#include <vector>

namespace uitest {

inline void Script(std::vector<std::function<void()>> steps)
{
    auto list = std::make_shared<std::vector<std::function<void()>>>(std::move(steps));
    auto next = std::make_shared<size_t>(0);
    platform::headless::SetIdleHandler([list, next] {
        if (*next >= list->size())
            return false;
        (*list)[(*next)++]();
        return true;
    });
}

// The program's loop, until the script has run out (bounded, so that a loop
// that never quits fails the test instead of hanging it).
inline void RunProgramLoop()
{
    MSG msg;
    for (int i = 0; i < 100000 && GetMessage(&msg, NULL, 0, 0) > 0; ++i) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
}

} // namespace uitest
