#pragma once
// The loops a window's frame runs for the mouse and the keyboard: holding a
// caption box until the button goes up, and moving or sizing the window
// (SC_MOVE, SC_SIZE). Each is a nested loop on the same queue with the mouse
// captured, as the scroll bar's tracking is; each ends when the window goes,
// when another window takes the capture, or on WM_QUIT (posted again for the
// program's own loop).

#include "platform/base/Types.h"

namespace platform {

// The caption box the mouse holds down on hwnd (HTMINBUTTON, HTMAXBUTTON,
// HTCLOSE; HTNOWHERE when none) and whether the pointer is over it, so that
// painting shows it pressed.
struct CaptionPress {
    int hit = 0;
    bool armed = false;
};
CaptionPress CaptionPressOf(HWND hwnd);

// A press on the caption box `hit`: the box looks pressed while the pointer
// is over it. True when the button went up over the box; false when it went
// up elsewhere, Escape was pressed or the capture was lost.
bool TrackCaptionBox(HWND hwnd, int hit);

// WM_SYSCOMMAND SC_MOVE or SC_SIZE. With the low bits of `command` naming
// where the mouse took hold (HTCAPTION for a move, WMSZ_* for an edge) the
// mouse drives from `screen` until its button goes up; without them (the
// system menu's Move and Size) the arrow keys drive, Enter or a click ends
// and Escape puts the window back where it was.
void TrackSizeMove(HWND hwnd, WPARAM command, POINT screen);

} // namespace platform
