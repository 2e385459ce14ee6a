#pragma once
// What the window system needs from the menu code (Menu*.cpp) for a
// top-level window's menu bar. Defined by the menu code.

#include "platform/base/Types.h"

namespace platform {

// Height of the bar for a window `width` pixels wide (items wrap to more
// rows); 0 for no menu.
int MenuBarHeight(HMENU menu, int width);
// Draws the bar into a window DC; `bar` is in window coordinates.
void PaintMenuBar(HWND hwnd, HDC windowDc, const RECT& bar);
// DefWindowProc's part of menu-bar use: a click in the bar (screen point)
// or the keyboard (SC_KEYMENU with the key, 0 for Alt alone). Runs the menu
// loop and sends WM_COMMAND for a choice.
void TrackMenuBarMouse(HWND hwnd, POINT screen);
void TrackMenuBarKey(HWND hwnd, UINT key);
// A click on the caption's icon: the window's system menu opens under it.
// (Alt+Space, or Alt+minus for a child with a system menu, open it through
// TrackMenuBarKey.)
void TrackSystemMenuFromIcon(HWND hwnd);
// Enables the items of a system menu (or a copy of one) for hwnd's state:
// Restore only when minimised or maximised, Move and Size only when
// neither (Move for a title bar too), Minimize and Maximize by the boxes.
void UpdateSystemMenu(HWND hwnd, HMENU menu);
// The window is being destroyed; its menu bar goes with it.
void MenuWindowDestroyed(HWND hwnd, HMENU menu);

} // namespace platform
