#pragma once
// The input state shared by the input files: who has focus, capture and
// activation, the keyboard as the program sees it, and the pieces of
// keyboard layout and cursor handling one file needs from another. Only the
// input code (Input*.cpp, Focus.cpp, Capture.cpp, Cursor*.cpp, Caret.cpp)
// includes this.

#include "platform/base/Types.h"
#include "platform/base/UiRecords.h"

#include <array>
#include <deque>

namespace platform {

// Key state bytes as GetKeyboardState gives them: 0x80 down, 0x01 toggled.
using KeyBytes = std::array<BYTE, 256>;

// A key message the input code queued, with the keyboard as it was right
// after that key changed. The program sees the keyboard of the last key
// message it took from the queue, not the keyboard of this moment.
struct QueuedKey {
    MSG msg{};
    KeyBytes keys{};
    BYTE character = 0; // what the driver said the key types (0: nothing)
};

// Digits typed on the numeric keypad with Alt held; TranslateMessage makes
// one character of them when Alt goes up.
struct AltKeypadEntry {
    bool open = false; // Alt went down and nothing but keypad digits since
    int digits = 0;
    bool leadingZero = false; // a Windows-1252 code, not an OEM one
    unsigned value = 0; // modulo 256 as it grows
};

struct InputState {
    HWND focus = NULL;
    HWND active = NULL;
    HWND capture = NULL;
    bool appActive = false;

    KeyBytes keys{}; // this moment (the async state)
    KeyBytes seenKeys{}; // as of the last key message the program took
    std::deque<QueuedKey> queuedKeys; // oldest first, still in the queue
    QueuedKey lastTaken; // the key message the program took last
    bool altAlone = false; // Alt went down and nothing else since
    AltKeypadEntry altKeypad;

    // Double clicks: the last press that could start one.
    HWND lastClickWindow = NULL;
    UINT lastClickMessage = 0;
    DWORD lastClickTime = 0;
    POINT lastClickPoint{0, 0};
    bool lastClickClient = false;
};

InputState& Input();

// Whether `hwnd` is `root` or one of its descendants.
bool IsSameOrDescendant(HWND root, HWND hwnd);

// The keyboard as the program should see it now (GetKeyState).
const KeyBytes& ProgramKeys();

// Takes the capture from its window because something else needs the mouse
// (WM_CANCELMODE first, then WM_CAPTURECHANGED if it still holds it).
void CancelCapture();

// Activation with a reason (WA_ACTIVE or WA_CLICKACTIVE); NULL deactivates
// the application. Returns the window that was active.
HWND Activate(HWND hwnd, WORD how);

// US keyboard layout.
UINT ScanCodeOfKey(UINT vk);
bool IsExtendedKey(UINT vk);
// The character a key types with the given keyboard (0: none).
BYTE CharacterOfKey(UINT vk, const KeyBytes& keys);

// The system cursor (IDC_* number) behind a handle, or 0.
int SystemCursorId(HCURSOR cursor);
// Forgets the current cursor and count (tests).
void ResetCursorState();
// Forgets the caret without drawing (tests, or its window died).
void ForgetCaret(HWND dyingRoot);

} // namespace platform
