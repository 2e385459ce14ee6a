// The mouse on a window's own scroll bar. A press starts a modal loop on
// the window's queue with the mouse captured: a held arrow or page area
// repeats its request, the thumb follows the pointer with SB_THUMBTRACK and
// drops with SB_THUMBPOSITION, and whatever happened ends with
// SB_ENDSCROLL. The loop ends when the button comes up, when the window
// loses the capture (WM_CANCELMODE) or when it is destroyed.

#include "platform/base/Geometry.h"
#include "platform/ui/internal/NonClient.h"
#include "platform/ui/internal/Queue.h"
#include "platform/ui/internal/Window.h"

#include <algorithm>
#include <optional>

namespace platform {

bool CanDrawInto(const Window& w);

WORD ScrollRequestOf(ScrollPart part)
{
    switch (part) {
    case ScrollPart::LineUp:
        return SB_LINEUP;
    case ScrollPart::PageUp:
        return SB_PAGEUP;
    case ScrollPart::PageDown:
        return SB_PAGEDOWN;
    case ScrollPart::LineDown:
        return SB_LINEDOWN;
    case ScrollPart::Thumb:
        return SB_THUMBTRACK;
    case ScrollPart::None:
        break;
    }
    return SB_ENDSCROLL;
}

namespace {

// A held arrow or page area repeats after a pause, then quickly.
constexpr UINT kFirstRepeatDelay = 400;
constexpr UINT kRepeatInterval = 50;
// The timer behind the repeats lives on the window for the length of the
// loop; its id is far above the small numbers programs give their timers.
constexpr UINT_PTR kRepeatTimerId = 0x7FFF5C01;
// A thumb dragged this many bar widths away from the side of its bar jumps
// back to where it started, so a user can change their mind; back near the
// bar it follows the pointer again.
constexpr int kSnapBackWidths = 4;

struct Tracking {
    HWND hwnd = NULL;
    int bar = SB_VERT;
    ScrollPart part = ScrollPart::None;
    POINT pointer{};
    bool armed = true; // arrows and pages: the pointer is still over the part
    int grab = 0; // thumb: from the thumb's start to the pointer
    int startOffset = 0; // thumb: where it stood when pressed
    int thumbOffset = 0;
    int startPos = 0;
    Tracking* outer = nullptr; // a loop started from inside this one's messages
};

Tracking* g_tracking = nullptr;

// A bar as the mouse meets it, in screen coordinates.
struct Geometry {
    RECT bar;
    ScrollBarParts parts;
    ScrollBarState state;
    bool vertical;
};

ScrollBarState* StateOf(Window& w, int bar)
{
    return bar == SB_VERT ? &w.vscroll : &w.hscroll;
}

std::optional<Geometry> Measure(HWND hwnd, int bar)
{
    Window* w = PeekWindowRecord(hwnd);
    if (!w || (bar != SB_VERT && bar != SB_HORZ))
        return std::nullopt;
    RECT r = ScrollBarRect(*w, bar);
    if (IsRectEmpty(&r))
        return std::nullopt;
    OffsetRect(&r, w->windowRect.left, w->windowRect.top);
    bool vertical = bar == SB_VERT;
    ScrollBarState state = *StateOf(*w, bar);
    return Geometry{r, MeasureScrollBar(r, state, vertical), state, vertical};
}

int Along(const Geometry& g, POINT p)
{
    return g.vertical ? p.y : p.x;
}

int StartOf(const Geometry& g, const RECT& r)
{
    return g.vertical ? r.top : r.left;
}

int EndOf(const Geometry& g, const RECT& r)
{
    return g.vertical ? r.bottom : r.right;
}

ScrollPart PartAt(const Geometry& g, POINT p)
{
    if (PtInRect(&g.parts.first, p))
        return (g.state.disabledArrows & ESB_DISABLE_LTUP) ? ScrollPart::None : ScrollPart::LineUp;
    if (PtInRect(&g.parts.last, p))
        return (g.state.disabledArrows & ESB_DISABLE_RTDN) ? ScrollPart::None : ScrollPart::LineDown;
    if (!PtInRect(&g.parts.track, p) || IsRectEmpty(&g.parts.thumb))
        return ScrollPart::None;
    int at = Along(g, p);
    if (at < StartOf(g, g.parts.thumb))
        return ScrollPart::PageUp;
    if (at >= EndOf(g, g.parts.thumb))
        return ScrollPart::PageDown;
    return ScrollPart::Thumb;
}

// Whether a held arrow or page area should repeat with the pointer at p.
// A page repeats only while the thumb has not yet reached the pointer.
bool StillOver(const Geometry& g, ScrollPart part, POINT p)
{
    switch (part) {
    case ScrollPart::LineUp:
        return PtInRect(&g.parts.first, p) != FALSE;
    case ScrollPart::LineDown:
        return PtInRect(&g.parts.last, p) != FALSE;
    case ScrollPart::PageUp:
    case ScrollPart::PageDown:
        return PartAt(g, p) == part;
    case ScrollPart::Thumb:
    case ScrollPart::None:
        return false;
    }
    return false;
}

// The position a thumb `offset` pixels down a track with `room` pixels to
// move in stands for; the inverse of the thumb's placement in the painter.
int PositionAt(const ScrollBarState& s, int offset, int room)
{
    int64_t positions = int64_t(s.max) - s.min + 1 - std::max<int>(int(s.page), 1);
    if (positions <= 0 || room <= 0)
        return s.min;
    int64_t pos = s.min + (int64_t(offset) * 2 * positions + room) / (2 * int64_t(room));
    return int(std::clamp<int64_t>(pos, s.min, s.min + positions));
}

void Redraw(HWND hwnd)
{
    Window* w = PeekWindowRecord(hwnd);
    if (w && CanDrawInto(*w))
        PaintNonClient(hwnd);
}

void Send(const Tracking& t, WORD request, int pos = 0)
{
    UINT message = t.bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
    SendMessage(t.hwnd, message, MAKEWPARAM(request, WORD(pos)), 0);
}

// Moves the dragged thumb under the pointer; answers the position it now
// stands for.
int DragThumb(Tracking& t, const Geometry& g)
{
    int thickness = g.vertical ? g.bar.right - g.bar.left : g.bar.bottom - g.bar.top;
    int across = g.vertical ? g.bar.left : g.bar.top;
    int acrossEnd = g.vertical ? g.bar.right : g.bar.bottom;
    int at = g.vertical ? t.pointer.x : t.pointer.y;
    int away = at < across ? across - at : at >= acrossEnd ? at - acrossEnd + 1 : 0;
    int trackLength = EndOf(g, g.parts.track) - StartOf(g, g.parts.track);
    int thumbLength = EndOf(g, g.parts.thumb) - StartOf(g, g.parts.thumb);
    int room = trackLength - thumbLength;
    if (IsRectEmpty(&g.parts.thumb) || away > kSnapBackWidths * thickness) {
        t.thumbOffset = t.startOffset;
        return t.startPos;
    }
    t.thumbOffset = std::clamp(Along(g, t.pointer) - t.grab - StartOf(g, g.parts.track), 0, std::max(room, 0));
    return PositionAt(g.state, t.thumbOffset, room);
}

void SetTrackPos(HWND hwnd, int bar, int pos)
{
    if (Window* w = PeekWindowRecord(hwnd))
        StateOf(*w, bar)->trackPos = pos;
}

int TrackPos(HWND hwnd, int bar)
{
    Window* w = PeekWindowRecord(hwnd);
    return w ? StateOf(*w, bar)->trackPos : 0;
}

// The pointer moved to p; `notify` sends the thumb's new position.
void Follow(Tracking& t, POINT p, bool notify)
{
    t.pointer = p;
    std::optional<Geometry> g = Measure(t.hwnd, t.bar);
    if (!g)
        return;
    if (t.part != ScrollPart::Thumb) {
        bool armed = StillOver(*g, t.part, p);
        if (armed != t.armed) {
            t.armed = armed;
            Redraw(t.hwnd);
        }
        return;
    }
    int pos = DragThumb(t, *g);
    SetTrackPos(t.hwnd, t.bar, pos);
    Redraw(t.hwnd);
    if (notify)
        Send(t, SB_THUMBTRACK, pos);
}

void Repeat(Tracking& t)
{
    SetTimer(t.hwnd, kRepeatTimerId, kRepeatInterval, nullptr);
    std::optional<Geometry> g = Measure(t.hwnd, t.bar);
    if (g && StillOver(*g, t.part, t.pointer))
        Send(t, ScrollRequestOf(t.part));
}

bool IsMouseMessage(UINT m)
{
    return (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) || (m >= WM_NCMOUSEMOVE && m <= WM_NCMBUTTONDBLCLK);
}

enum class Ending {
    Released,
    Cancelled,
    WindowGone,
    Quit,
};

// Messages that arrived before the capture was taken went to whatever the
// pointer was over, so the loop reads the mouse from each message's screen
// point rather than from its window.
Ending Run(Tracking& t, WPARAM& quitCode)
{
    for (;;) {
        if (!IsWindow(t.hwnd))
            return Ending::WindowGone;
        if (GetCapture() != t.hwnd)
            return Ending::Cancelled;
        // Up with nothing waiting (the loop was started without a press) ends it.
        if (!LeftButtonStillHeld())
            return Ending::Released;
        MSG msg{};
        BOOL got = GetMessage(&msg, NULL, 0, 0);
        if (got == 0) {
            quitCode = msg.wParam;
            return Ending::Quit;
        }
        if (got < 0)
            return Ending::Cancelled;
        // The capture or the window may have gone while the loop waited;
        // then the message is not the gesture's.
        if (!IsWindow(t.hwnd) || GetCapture() != t.hwnd) {
            DispatchMessage(&msg);
            continue;
        }
        switch (msg.message) {
        case WM_MOUSEMOVE:
        case WM_NCMOUSEMOVE:
            Follow(t, msg.pt, true);
            break;
        case WM_LBUTTONUP:
        case WM_NCLBUTTONUP:
            Follow(t, msg.pt, false);
            return Ending::Released;
        case WM_TIMER:
            if (msg.hwnd == t.hwnd && msg.wParam == kRepeatTimerId)
                Repeat(t);
            else
                DispatchMessage(&msg);
            break;
        default:
            // Other mouse input belongs to the gesture; everything else
            // (painting, posted messages, keys, other timers) goes on.
            if (!IsMouseMessage(msg.message))
                DispatchMessage(&msg);
            break;
        }
    }
}

} // namespace

ScrollBarPress ScrollBarPressOf(HWND hwnd, int bar)
{
    for (const Tracking* t = g_tracking; t; t = t->outer) {
        if (t->hwnd == hwnd && t->bar == bar)
            return ScrollBarPress{t->part, t->armed, t->thumbOffset};
    }
    return ScrollBarPress{};
}

LRESULT TrackWindowScrollBar(HWND hwnd, int bar, POINT screen)
{
    std::optional<Geometry> g = Measure(hwnd, bar);
    Window* w = PeekWindowRecord(hwnd);
    if (!g || !w || (w->style & WS_DISABLED) || !ScrollBarCanScroll(g->state))
        return 0;
    ScrollPart part = PartAt(*g, screen);
    if (part == ScrollPart::None)
        return 0;
    Tracking t;
    t.hwnd = hwnd;
    t.bar = bar;
    t.part = part;
    t.pointer = screen;
    if (part == ScrollPart::Thumb) {
        t.grab = Along(*g, screen) - StartOf(*g, g->parts.thumb);
        t.startOffset = StartOf(*g, g->parts.thumb) - StartOf(*g, g->parts.track);
        t.thumbOffset = t.startOffset;
        t.startPos = g->state.pos;
        SetTrackPos(hwnd, bar, t.startPos);
    }
    SetCapture(hwnd);
    if (GetCapture() != hwnd)
        return 0;
    t.outer = g_tracking;
    g_tracking = &t;
    Redraw(hwnd);
    if (part != ScrollPart::Thumb) {
        SetTimer(hwnd, kRepeatTimerId, kFirstRepeatDelay, nullptr);
        Send(t, ScrollRequestOf(part));
    }
    WPARAM quitCode = 0;
    Ending ending = Run(t, quitCode);
    if (IsWindow(hwnd)) {
        KillTimer(hwnd, kRepeatTimerId);
        if (GetCapture() == hwnd)
            ReleaseCapture();
    }
    // The drop is reported while the drag is still on, so that a program
    // with a range beyond 16 bits can read the whole position from
    // GetScrollInfo(SIF_TRACKPOS) as it handles SB_THUMBPOSITION.
    if (part == ScrollPart::Thumb && ending == Ending::Released && IsWindow(hwnd))
        Send(t, SB_THUMBPOSITION, TrackPos(hwnd, bar));
    g_tracking = t.outer;
    if (IsWindow(hwnd)) {
        Redraw(hwnd);
        Send(t, SB_ENDSCROLL);
    }
    if (ending == Ending::Quit)
        PostQuitMessage(int(quitCode));
    return 0;
}

} // namespace platform
