#pragma once
// What our own Xlib connections beside SDL's (the clipboard's and the
// drag-and-drop proxy's) share: the monotonic clock their waits count in,
// the process's one Xlib error handler, which ignores errors on our
// connections (a window of another program that went away mid-transfer)
// and passes the rest to the handler that was there before, and the wait
// for one event.

#include <X11/Xlib.h>

#include <cstdint>
#include <functional>

namespace platform {

int64_t X11NowMilliseconds();

// From Adopt until Release, X errors on display are ignored.
void AdoptX11Display(Display* display);
void ReleaseX11Display(Display* display);

// Waits at most milliseconds for an event that match takes, which is put
// in found; every other event that arrives meanwhile goes to other. False
// when the time is up or the connection broke.
bool WaitForX11Event(Display* display, XEvent& found, int milliseconds,
    const std::function<bool(const XEvent&)>& match, const std::function<void(XEvent&)>& other);

} // namespace platform
