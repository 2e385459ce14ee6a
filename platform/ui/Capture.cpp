// Mouse capture. The window holding it gets every mouse message, in client
// coordinates, wherever the pointer is. A window that gives it up itself
// gets WM_CAPTURECHANGED; one that has it taken away (another window
// captures, it is hidden or disabled, its top-level window is deactivated)
// first gets WM_CANCELMODE so that it can end whatever it was tracking.

#include "platform/ui/internal/Driver.h"
#include "platform/ui/internal/InputState.h"
#include "platform/ui/internal/Window.h"

namespace platform {

namespace {

void TellDriver(bool captured)
{
    if (HasDriver())
        GetDriver().SetMouseCapture(captured);
}

// Clears the capture and tells the window that had it which window has it
// now.
void DropCapture(HWND newCapture)
{
    HWND old = Input().capture;
    if (!old)
        return;
    Input().capture = NULL;
    if (!newCapture)
        TellDriver(false);
    if (PeekWindowRecord(old))
        CallProcedure(old, WM_CAPTURECHANGED, 0, LPARAM(newCapture));
}

} // namespace

void CancelCapture()
{
    HWND old = Input().capture;
    if (!old)
        return;
    if (PeekWindowRecord(old))
        CallProcedure(old, WM_CANCELMODE, 0, 0);
    // The window may have kept it (no DefWindowProc); it loses it anyway.
    if (Input().capture == old)
        DropCapture(NULL);
}

} // namespace platform

using namespace platform;

HWND SetCapture(HWND hWnd)
{
    HWND old = Input().capture;
    Window* w = FindWindowRecord(hWnd);
    if (!w || !IsUsable(*w))
        return NULL;
    if (old == hWnd)
        return old;
    if (old) {
        CancelCapture();
        if (!IsWindow(hWnd))
            return old;
    }
    Input().capture = hWnd;
    TellDriver(true);
    return old;
}

HWND GetCapture()
{
    return Input().capture;
}

BOOL ReleaseCapture()
{
    DropCapture(NULL);
    return TRUE;
}
