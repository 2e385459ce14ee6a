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
// A box of the caption in screen coordinates: HTMINBUTTON, HTMAXBUTTON,
// HTCLOSE or HTSYSMENU (the icon); empty when the window has none.
RECT CaptionBoxRect(const Window& w, int hit);
// Draws the non-client parts into the window's surface.
void PaintNonClient(HWND hwnd);
// The thumb of a scroll bar whose track (between the arrows) is `track`.
RECT ScrollThumbRect(const RECT& track, const ScrollBarState& s, bool vertical);
// The scroll bar rectangles in window coordinates (empty when hidden).
RECT ScrollBarRect(const Window& w, int bar);

// Whether a bar has anything to scroll: a range wider than one page.
bool ScrollBarCanScroll(const ScrollBarState& s);

// The pieces of a scroll bar laid out in `bar` (any coordinates): the arrow
// buttons at either end, the track between them and the thumb on the track.
// The thumb is empty when the bar cannot scroll or the track has no room.
struct ScrollBarParts {
    RECT first; // up or left arrow
    RECT last; // down or right arrow
    RECT track;
    RECT thumb;
};
ScrollBarParts MeasureScrollBar(const RECT& bar, const ScrollBarState& s, bool vertical);

enum class ScrollPart {
    None,
    LineUp,
    PageUp,
    Thumb,
    PageDown,
    LineDown,
};
// The scroll request (SB_*) a press on the part repeats: SB_THUMBTRACK for
// the thumb, SB_ENDSCROLL for none.
WORD ScrollRequestOf(ScrollPart part);

// What the mouse is doing to one of a window's own scroll bars, so that
// painting shows the held arrow and the thumb where it is being dragged.
struct ScrollBarPress {
    ScrollPart part = ScrollPart::None;
    bool armed = false; // the pointer is over the held arrow
    int thumbOffset = 0; // Thumb: from the track's start to the dragged thumb
};
// The press on `bar` (SB_HORZ, SB_VERT) of `hwnd`; part None when the mouse
// is not tracking that bar.
ScrollBarPress ScrollBarPressOf(HWND hwnd, int bar);

} // namespace platform
