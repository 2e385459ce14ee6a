// The scroll-bar control: a bar that fills its window, laid out and measured
// like a window's own bars, reporting to its parent with WM_HSCROLL or
// WM_VSCROLL whose lParam is the control. A held arrow or page area repeats;
// the thumb follows the pointer with SB_THUMBTRACK and drops with
// SB_THUMBPOSITION; every gesture ends with SB_ENDSCROLL.

#include "platform/gdi/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/CommCtrlShared.h"
#include "platform/ui/internal/CtlMore.h"
#include "platform/ui/internal/NonClient.h"
#include "platform/ui/internal/Window.h"

#include <algorithm>


namespace platform {
namespace {

constexpr UINT_PTR kRepeatTimer = 0x7FFF5C02;
constexpr UINT kFirstDelay = 400;
constexpr UINT kRepeatDelay = 50;

// The mouse holds one bar at a time (it is captured), so one press will do.
struct Press {
    ScrollPart part = ScrollPart::None;
    int grab = 0; // thumb: from the thumb's start to the pointer
    int thumbOffset = 0; // thumb: from the track's start
};

HWND g_pressed = NULL;
Press g_press;

ScrollBarState& StateOf(HWND hwnd)
{
    // The class never shows window bars, so the record's vertical bar state
    // holds the control's range and position.
    return PeekWindowRecord(hwnd)->vscroll;
}

Press& PressOf(HWND hwnd)
{
    static Press idle;
    if (g_pressed == hwnd)
        return g_press;
    idle = Press{};
    return idle;
}

bool Vertical(HWND hwnd)
{
    return (GetWindowLongPtr(hwnd, GWL_STYLE) & SBS_VERT) != 0;
}

int MaxPos(const ScrollBarState& s)
{
    return std::max(s.min, s.max - std::max<int>(int(s.page) - 1, 0));
}

ScrollBarParts Parts(HWND hwnd)
{
    RECT r{};
    GetClientRect(hwnd, &r);
    return MeasureScrollBar(r, StateOf(hwnd), Vertical(hwnd));
}

ScrollPart PartAt(HWND hwnd, POINT p)
{
    ScrollBarParts parts = Parts(hwnd);
    if (PtInRect(&parts.first, p))
        return ScrollPart::LineUp;
    if (PtInRect(&parts.last, p))
        return ScrollPart::LineDown;
    if (!ScrollBarCanScroll(StateOf(hwnd)) || IsRectEmpty(&parts.thumb))
        return ScrollPart::None;
    if (PtInRect(&parts.thumb, p))
        return ScrollPart::Thumb;
    bool before = Vertical(hwnd) ? p.y < parts.thumb.top : p.x < parts.thumb.left;
    return PtInRect(&parts.track, p) ? (before ? ScrollPart::PageUp : ScrollPart::PageDown) : ScrollPart::None;
}

void Notify(HWND hwnd, WORD request, int pos = 0)
{
    HWND parent = GetParent(hwnd);
    if (parent)
        SendMessage(parent, Vertical(hwnd) ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(request, WORD(pos)), LPARAM(hwnd));
}

int SetInfo(HWND hwnd, const SCROLLINFO& si, bool redraw)
{
    ScrollBarState& s = StateOf(hwnd);
    if (si.fMask & SIF_RANGE) {
        s.min = si.nMin;
        s.max = std::max(si.nMin, si.nMax);
    }
    if (si.fMask & SIF_PAGE)
        s.page = std::min<UINT>(si.nPage, UINT(int64_t(s.max) - s.min + 1));
    if (si.fMask & SIF_POS)
        s.pos = si.nPos;
    s.pos = std::clamp(s.pos, s.min, MaxPos(s));
    if (redraw)
        InvalidateRect(hwnd, NULL, TRUE);
    return s.pos;
}

void Arrow(HDC dc, RECT r, int direction, bool disabled)
{
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
    int cx = (r.left + r.right) / 2;
    int cy = (r.top + r.bottom) / 2;
    HBRUSH brush = GetSysColorBrush(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
    // A small triangle of rows (or columns) growing away from the tip.
    for (int i = 0; i < 4; ++i) {
        RECT line{};
        switch (direction) {
        case 0:
            line = RECT{cx - i, cy - 2 + i, cx + i + 1, cy - 1 + i};
            break;
        case 1:
            line = RECT{cx - i, cy + 1 - i, cx + i + 1, cy + 2 - i};
            break;
        case 2:
            line = RECT{cx - 2 + i, cy - i, cx - 1 + i, cy + i + 1};
            break;
        default:
            line = RECT{cx + 1 - i, cy - i, cx + 2 - i, cy + i + 1};
            break;
        }
        FillRect(dc, &line, brush);
    }
}

void Paint(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    bool vertical = Vertical(hwnd);
    ScrollBarParts parts = Parts(hwnd);
    const ScrollBarState& s = StateOf(hwnd);
    bool active = IsWindowEnabled(hwnd) && ScrollBarCanScroll(s);
    Arrow(dc, parts.first, vertical ? 0 : 2, !active);
    Arrow(dc, parts.last, vertical ? 1 : 3, !active);
    FillRect(dc, &parts.track, GetSysColorBrush(COLOR_SCROLLBAR));
    RECT thumb = parts.thumb;
    if (active && !IsRectEmpty(&thumb)) {
        const Press& p = PressOf(hwnd);
        if (p.part == ScrollPart::Thumb) {
            if (vertical)
                OffsetRect(&thumb, 0, parts.track.top + p.thumbOffset - thumb.top);
            else
                OffsetRect(&thumb, parts.track.left + p.thumbOffset - thumb.left, 0);
        }
        FillRect(dc, &thumb, GetSysColorBrush(COLOR_BTNFACE));
        DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT);
    }
    EndPaint(hwnd, &ps);
}

// The position a thumb `offset` pixels into the track stands for.
int PositionAt(HWND hwnd, int offset)
{
    ScrollBarParts parts = Parts(hwnd);
    const ScrollBarState& s = StateOf(hwnd);
    bool vertical = Vertical(hwnd);
    int track = vertical ? parts.track.bottom - parts.track.top : parts.track.right - parts.track.left;
    int thumb = vertical ? parts.thumb.bottom - parts.thumb.top : parts.thumb.right - parts.thumb.left;
    int room = track - thumb;
    int64_t positions = int64_t(MaxPos(s)) - s.min;
    if (room <= 0 || positions <= 0)
        return s.min;
    int64_t pos = s.min + (int64_t(offset) * 2 * positions + room) / (2 * int64_t(room));
    return int(std::clamp<int64_t>(pos, s.min, MaxPos(s)));
}

void Begin(HWND hwnd, POINT p)
{
    ScrollPart part = PartAt(hwnd, p);
    if (part == ScrollPart::None)
        return;
    g_pressed = hwnd;
    auto& press = g_press;
    press = {};
    press.part = part;
    SetCapture(hwnd);
    if (part == ScrollPart::Thumb) {
        ScrollBarParts parts = Parts(hwnd);
        bool vertical = Vertical(hwnd);
        press.grab = vertical ? p.y - parts.thumb.top : p.x - parts.thumb.left;
        press.thumbOffset = vertical ? parts.thumb.top - parts.track.top : parts.thumb.left - parts.track.left;
        StateOf(hwnd).trackPos = StateOf(hwnd).pos;
        return;
    }
    Notify(hwnd, ScrollRequestOf(part));
    SetTimer(hwnd, kRepeatTimer, kFirstDelay, NULL);
}

void Drag(HWND hwnd, POINT p)
{
    auto& press = PressOf(hwnd);
    if (press.part != ScrollPart::Thumb)
        return;
    ScrollBarParts parts = Parts(hwnd);
    bool vertical = Vertical(hwnd);
    int track = vertical ? parts.track.bottom - parts.track.top : parts.track.right - parts.track.left;
    int thumb = vertical ? parts.thumb.bottom - parts.thumb.top : parts.thumb.right - parts.thumb.left;
    int along = vertical ? p.y - parts.track.top : p.x - parts.track.left;
    press.thumbOffset = std::clamp(along - press.grab, 0, std::max(0, track - thumb));
    int pos = PositionAt(hwnd, press.thumbOffset);
    InvalidateRect(hwnd, NULL, TRUE);
    if (pos != StateOf(hwnd).trackPos) {
        StateOf(hwnd).trackPos = pos;
        Notify(hwnd, SB_THUMBTRACK, pos);
    }
}

void Release(HWND hwnd)
{
    auto& press = PressOf(hwnd);
    if (press.part == ScrollPart::None)
        return;
    ScrollPart part = press.part;
    press = {};
    g_pressed = NULL;
    KillTimer(hwnd, kRepeatTimer);
    if (GetCapture() == hwnd)
        ReleaseCapture();
    if (part == ScrollPart::Thumb)
        Notify(hwnd, SB_THUMBPOSITION, StateOf(hwnd).trackPos);
    Notify(hwnd, SB_ENDSCROLL);
    InvalidateRect(hwnd, NULL, TRUE);
}

// Arrows and pages repeat only while the pointer stays over the held part.
void Repeat(HWND hwnd)
{
    auto& press = PressOf(hwnd);
    if (press.part == ScrollPart::None || press.part == ScrollPart::Thumb) {
        KillTimer(hwnd, kRepeatTimer);
        return;
    }
    SetTimer(hwnd, kRepeatTimer, kRepeatDelay, NULL);
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(hwnd, &p);
    if (PartAt(hwnd, p) == press.part)
        Notify(hwnd, ScrollRequestOf(press.part));
}

LRESULT CALLBACK ScrollBarControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE: {
        ScrollBarState& s = StateOf(hwnd);
        s = ScrollBarState{};
        s.max = 0;
        return 0;
    }
    case SBM_SETPOS: {
        int old = StateOf(hwnd).pos;
        SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, int(wParam), 0};
        SetInfo(hwnd, si, lParam != 0);
        return old;
    }
    case SBM_GETPOS:
        return StateOf(hwnd).pos;
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW: {
        int old = StateOf(hwnd).pos;
        SCROLLINFO si{sizeof si, SIF_RANGE, int(wParam), int(lParam), 0, 0, 0};
        SetInfo(hwnd, si, msg == SBM_SETRANGEREDRAW);
        return old;
    }
    case SBM_GETRANGE:
        if (wParam)
            *reinterpret_cast<LPINT>(wParam) = StateOf(hwnd).min;
        if (lParam)
            *reinterpret_cast<LPINT>(lParam) = StateOf(hwnd).max;
        return 0;
    case SBM_SETSCROLLINFO:
        return lParam ? SetInfo(hwnd, *reinterpret_cast<const SCROLLINFO*>(lParam), wParam != 0) : 0;
    case SBM_GETSCROLLINFO: {
        auto* si = reinterpret_cast<SCROLLINFO*>(lParam);
        if (!si)
            return FALSE;
        const ScrollBarState& s = StateOf(hwnd);
        if (si->fMask & SIF_RANGE) {
            si->nMin = s.min;
            si->nMax = s.max;
        }
        if (si->fMask & SIF_PAGE)
            si->nPage = s.page;
        if (si->fMask & SIF_POS)
            si->nPos = s.pos;
        if (si->fMask & SIF_TRACKPOS)
            si->nTrackPos = PressOf(hwnd).part == ScrollPart::Thumb ? s.trackPos : s.pos;
        return TRUE;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        Begin(hwnd, POINT{short(LOWORD(lParam)), short(HIWORD(lParam))});
        return 0;
    case WM_MOUSEMOVE:
        Drag(hwnd, POINT{short(LOWORD(lParam)), short(HIWORD(lParam))});
        return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        Release(hwnd);
        return 0;
    case WM_TIMER:
        if (wParam == kRepeatTimer) {
            Repeat(hwnd);
            return 0;
        }
        break;
    case WM_KEYDOWN: {
        bool vertical = Vertical(hwnd);
        WORD request = 0xFFFF;
        switch (wParam) {
        case VK_UP: request = vertical ? SB_LINEUP : 0xFFFF; break;
        case VK_DOWN: request = vertical ? SB_LINEDOWN : 0xFFFF; break;
        case VK_LEFT: request = vertical ? 0xFFFF : SB_LINELEFT; break;
        case VK_RIGHT: request = vertical ? 0xFFFF : SB_LINERIGHT; break;
        case VK_PRIOR: request = SB_PAGEUP; break;
        case VK_NEXT: request = SB_PAGEDOWN; break;
        case VK_HOME: request = SB_TOP; break;
        case VK_END: request = SB_BOTTOM; break;
        default: break;
        }
        if (request != 0xFFFF) {
            Notify(hwnd, request);
            Notify(hwnd, SB_ENDSCROLL);
        }
        return 0;
    }
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint(hwnd);
        return 0;
    default:
        break;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

} // namespace

void InstallScrollBarControl()
{
    SetBuiltInClassProc("ScrollBar", ScrollBarControlProc);
}

} // namespace platform
