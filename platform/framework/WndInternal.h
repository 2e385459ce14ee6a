#pragma once
// State shared by the framework's window files (not for program code).

#include "platform/base/Types.h"

#include <cstddef>

class CWnd;

namespace platform {

// How many AfxCallWndProc calls are running; temporary objects are only
// freed at 0, so no handler loses an object it holds.
int FrameworkDispatchDepth();

// A window object's window is gone (WM_NCDESTROY): the thread forgets it as
// main window, and the loop ends when it was the main window.
void FrameworkWindowGone(CWnd* pWnd);

// Frees the temporary window, DC, GDI object and menu wrappers.
void FrameworkDeleteTempMaps();

// Temporary window objects alive now (tests).
size_t FrameworkTemporaryWindowCount();

// Drops every handle-map entry and pending creation (tests reset the
// window system under it).
void ResetFrameworkWindowState();

} // namespace platform
