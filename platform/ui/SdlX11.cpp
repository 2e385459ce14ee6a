// The X11 connection beneath the SDL back end. X11's headers stay in this
// file: their macros (None, Bool, Status) and types (Window) would clash with
// the window system's names.

#include "platform/ui/internal/SdlX11.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>

#include <atomic>
#include <cstdio>
#include <mutex>

namespace platform {

namespace {

XErrorHandler g_previousHandler = nullptr;
std::atomic<bool> g_noted{false};

int OnXError(Display* display, XErrorEvent* event)
{
    // SDL talks to the server over more than one connection (another thread
    // wakes a waiting loop through a second one), so a request for a window
    // can reach the server after the window was destroyed over the first.
    // That is no reason to end the program.
    if (event->error_code == BadWindow || event->error_code == BadDrawable) {
        if (!g_noted.exchange(true))
            std::fprintf(stderr, "threadwick: ignored an X error about window 0x%lx, which is gone (request %d)\n",
                event->resourceid, int(event->request_code));
        return 0;
    }
    return g_previousHandler ? g_previousHandler(display, event) : 0;
}

} // namespace

void* X11DisplayOf(SDL_Window* window)
{
    if (!window)
        return nullptr;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return nullptr;
    return info.info.x11.display;
}

unsigned long X11WindowOf(SDL_Window* window)
{
    if (!window)
        return 0;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return 0;
    XSync(info.info.x11.display, False);
    return info.info.x11.window;
}

bool X11FlushForWait(void* display, int& fd)
{
    auto* x = static_cast<Display*>(display);
    XFlush(x);
    fd = ConnectionNumber(x);
    return XEventsQueued(x, QueuedAlready) > 0;
}

void IgnoreX11ErrorsOfGoneWindows()
{
    static std::once_flag once;
    std::call_once(once, [] { g_previousHandler = XSetErrorHandler(OnXError); });
}

} // namespace platform
