#pragma once
// What the dialog manager and the standard controls of dialogs share inside
// the window system: their class procedures and the default push button
// that follows the focus.

#include "platform/ui/User.h"

namespace platform {

LRESULT CALLBACK ButtonWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Gives the "Button", "Static" and "#32770" classes their procedures. The
// window system's reset brings the classes back as plain windows, so the
// dialog calls make sure of this on every use; it costs a class lookup.
void InstallDialogClasses();

// The focus of dialog hDlg moved to `focus`: a push button that takes it
// shows itself as the default; when it leaves the push buttons, the
// dialog's own default button shows as the default again.
void DialogDefaultFollowsFocus(HWND hDlg, HWND focus);

// hwnd is a window of the dialog class or made by the dialog calls.
bool IsDialogWindow(HWND hwnd);

} // namespace platform
