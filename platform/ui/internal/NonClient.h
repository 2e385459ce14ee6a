#pragma once
// The non-client area of a window in a plain classic style: border, frame,
// caption, menu bar and the window's own scroll bars, with the system
// colours. DefWindowProc's WM_NCCALCSIZE, WM_NCHITTEST and WM_NCPAINT.

#include "platform/base/Types.h"

namespace platform {

struct Window;
struct ScrollBarState;

// The client rectangle of a window rectangle (both in the same coordinates).
RECT ClientFromWindowRect(const Window& w, const RECT& windowRect);
// The frame thickness for a style (WS_THICKFRAME, WS_DLGFRAME, WS_BORDER,
// WS_EX_DLGMODALFRAME/CLIENTEDGE/STATICEDGE/WINDOWEDGE).
SIZE FrameSize(DWORD style, DWORD exStyle);
// Hit test at a screen point (HT*).
int NonClientHitTest(const Window& w, POINT screen);
// Draws the non-client parts into the window's surface.
void PaintNonClient(HWND hwnd);
// The thumb of a scroll bar whose track (between the arrows) is `track`.
RECT ScrollThumbRect(const RECT& track, const ScrollBarState& s, bool vertical);
// The scroll bar rectangles in window coordinates (empty when hidden).
RECT ScrollBarRect(const Window& w, int bar);

} // namespace platform
