// Raising an SDL window through X11 itself. X11's headers stay in this file:
// their macros (None, Bool, Status) and types (Window) would clash with the
// window system's names.

#include "platform/ui/internal/SdlStacking.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>

namespace platform {

void RaiseWithoutActivating(SDL_Window* window)
{
    if (!window)
        return;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11 || !info.info.x11.display)
        return;
    XRaiseWindow(info.info.x11.display, info.info.x11.window);
    XFlush(info.info.x11.display);
}

} // namespace platform
