#include "platform/ui/internal/X11Connection.h"

#include <poll.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <vector>

namespace platform {

namespace {

std::mutex g_displaysLock;
std::vector<Display*> g_ourDisplays;
XErrorHandler g_previousHandler = nullptr;

bool IsOurDisplay(Display* display)
{
    std::lock_guard<std::mutex> hold(g_displaysLock);
    return std::find(g_ourDisplays.begin(), g_ourDisplays.end(), display) != g_ourDisplays.end();
}

int OnXError(Display* display, XErrorEvent* event)
{
    if (IsOurDisplay(display))
        return 0;
    return g_previousHandler ? g_previousHandler(display, event) : 0;
}

} // namespace

int64_t X11NowMilliseconds()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return int64_t(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

void AdoptX11Display(Display* display)
{
    static std::once_flag once;
    std::call_once(once, [] { g_previousHandler = XSetErrorHandler(OnXError); });
    std::lock_guard<std::mutex> hold(g_displaysLock);
    if (std::find(g_ourDisplays.begin(), g_ourDisplays.end(), display) == g_ourDisplays.end())
        g_ourDisplays.push_back(display);
}

void ReleaseX11Display(Display* display)
{
    std::lock_guard<std::mutex> hold(g_displaysLock);
    auto it = std::find(g_ourDisplays.begin(), g_ourDisplays.end(), display);
    if (it != g_ourDisplays.end())
        g_ourDisplays.erase(it);
}

bool WaitForX11Event(Display* display, XEvent& found, int milliseconds,
    const std::function<bool(const XEvent&)>& match, const std::function<void(XEvent&)>& other)
{
    const int64_t deadline = X11NowMilliseconds() + milliseconds;
    XFlush(display);
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (match(event)) {
                found = event;
                return true;
            }
            other(event);
        }
        const int64_t left = deadline - X11NowMilliseconds();
        if (left <= 0)
            return false;
        pollfd fd{ConnectionNumber(display), POLLIN, 0};
        if (poll(&fd, 1, int(left)) < 0 && errno != EINTR)
            return false;
        if (fd.revents & (POLLHUP | POLLERR | POLLNVAL))
            return false;
    }
}

} // namespace platform
