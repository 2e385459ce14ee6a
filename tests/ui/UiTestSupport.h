#pragma once
// Windows whose procedure records every message, for checking sequences.

#include "platform/ui/Headless.h"
#include "platform/ui/User.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace uitest {

struct Seen {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// The log of messages, and per-window reactions a test installs.
struct Recorder {
    std::vector<Seen> log;
    std::map<HWND, std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)>> handlers;
    // Messages to leave out of the log (noise such as WM_GETMINMAXINFO).
    std::vector<UINT> ignored;

    std::vector<UINT> MessagesOf(HWND hwnd) const;
    std::vector<UINT> Messages() const;
    void Clear() { log.clear(); }
};

Recorder& Rec();

// Registers the "UiTestWindow" class (once per Reset) with the recording
// procedure and the given background (COLOR_WINDOW + 1 by default).
const char* TestClass(UINT style = 0);
HWND MakeTopLevel(DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT r = RECT{100, 100, 400, 300});
HWND MakeChild(HWND parent, int id, RECT r, DWORD style = WS_CHILD | WS_VISIBLE);

// Pumps with PeekMessage until the queue is empty (bounded).
void Pump();

// The combo box list that is down: the topmost visible "ComboLBox", or NULL.
HWND VisibleComboList();

} // namespace uitest
