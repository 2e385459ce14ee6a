#pragma once
// What the common controls share: their per-window state behind the first
// window-extra slot, notifications to the parent, class registration and
// the font they draw with.

#include "platform/base/Geometry.h"
#include "platform/ui/CommCtrl.h"
#include "platform/ui/User.h"

#include <string>

namespace platform {

// The control's state object, or null before WM_NCCREATE / after
// WM_NCDESTROY.
template <class T>
T* ControlState(HWND hwnd)
{
    return reinterpret_cast<T*>(GetWindowLongPtr(hwnd, 0));
}

// Makes the state on WM_NCCREATE; deletes it on WM_NCDESTROY. Returns the
// state (null once deleted).
template <class T>
T* AttachControlState(HWND hwnd, UINT msg)
{
    if (msg == WM_NCCREATE && !ControlState<T>(hwnd)) {
        SetWindowLongPtr(hwnd, 0, reinterpret_cast<LONG_PTR>(new T()));
    } else if (msg == WM_NCDESTROY) {
        delete ControlState<T>(hwnd);
        SetWindowLongPtr(hwnd, 0, 0);
        return nullptr;
    }
    return ControlState<T>(hwnd);
}

// Whether `state` still belongs to hwnd: false once the window died inside
// a notification or message the control sent.
template <class T>
bool StillAttached(HWND hwnd, const T& state)
{
    return ControlState<T>(hwnd) == &state;
}

// Sends WM_NOTIFY with the control's id filled in to `to` (the parent when
// NULL); returns the answer.
LRESULT SendControlNotify(HWND control, NMHDR& header, UINT code, HWND to = NULL);

// Registers one control class unless it exists; one pointer of window extra.
void RegisterControlClass(LPCSTR name, WNDPROC proc, UINT style, int background);

// The font a control draws with: the one it was given, else DEFAULT_GUI_FONT.
HFONT ControlFont(HFONT given);

// The text a tool or item names: plain text, or a string resource id.
std::string ResolveItemText(HINSTANCE instance, LPCSTR text);

void RegisterStatusBarClass();
void RegisterTooltipClass();
void RegisterToolbarClass();
void RegisterTreeViewClass();
void RegisterUpDownClass();
void RegisterTrackbarClass();

} // namespace platform
