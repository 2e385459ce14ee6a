#pragma once
// The seam between back ends and the input code (focus, capture, keyboard
// state, hit testing, double clicks, cursor). Drivers call the Deliver*
// functions with what the user did; the input code turns it into messages
// with PostInputMessage (Queue.h) or sends them. The window system calls the
// Input* hooks. All defined by the input code (Input*.cpp, Focus.cpp, ...).

#include "platform/base/Types.h"

#include <string>
#include <vector>

namespace platform {

enum class MouseButton {
    Left,
    Right,
    Middle,
};

// Screen coordinates. The input code finds the window (capture first, then
// WM_NCHITTEST from the top-level window under the point), sends
// WM_SETCURSOR and posts the mouse message.
void DeliverMouseMove(POINT screen);
void DeliverMouseButton(MouseButton button, bool down, POINT screen);
void DeliverMouseWheel(int delta, POINT screen);
// A key went down (repeat: held down) or up. `character` is the
// Windows-1252 character the key types with the current modifiers, as the
// desktop's keyboard layout says; TranslateMessage posts it as WM_CHAR /
// WM_SYSCHAR. 0 means the key types nothing of its own: a function key, a
// dead key, or a key whose text arrives apart through DeliverText. Only key
// messages that did not come through here (posted by the program) are
// given a character from the US layout.
//
// `block` says which copy of a key it was: the navigation keys exist on
// the numeric keypad too, where they are not extended keys (lParam bit 24
// clear) and type digits with Alt held (TranslateMessage).
enum class KeyBlock {
    Main,
    NumericKeypad,
};
void DeliverKey(UINT vk, bool down, bool repeat, BYTE character, KeyBlock block = KeyBlock::Main);
// What `vk` types on a US keyboard with the keys held now (0: nothing), for
// a back end without a layout of its own.
BYTE UsLayoutCharacter(UINT vk);
// Text typed that no key accounts for (input methods, compose): WM_CHAR for
// each Windows-1252 character to the focus window.
void DeliverText(const std::string& windows1252);
// The desktop gave or took keyboard focus of a top-level surface.
void DeliverSurfaceFocus(HWND topLevel, bool gained);
// Files dropped on a top-level surface: Linux paths (UTF-8) at a screen
// point. Defined by the drop code (Drop.cpp), which owns HDROP.
void DeliverDrop(HWND topLevel, const std::vector<std::string>& paths, POINT screen);

// The window and its descendants are about to be destroyed (called once,
// before WM_DESTROY): forget them as focus, capture, active window and caret
// owner, moving activation on as Windows does.
void InputWindowDestroyed(HWND hwnd);
// The window or an ancestor was hidden or disabled: focus and capture
// inside it are released.
void InputWindowHiddenOrDisabled(HWND hwnd);
// Around BeginPaint/EndPaint: the caret is hidden while a window paints.
void InputBeforePaint(HWND hwnd);
void InputAfterPaint(HWND hwnd);
// Back to no focus, no capture, all keys up (tests).
void ResetInputState();

} // namespace platform
