// The trackbar: a thumb that slides along a channel over a range, with
// optional tick marks. Every move is reported to the parent as WM_HSCROLL
// (WM_VSCROLL when vertical) with a TB_* code, and each gesture ends with
// TB_ENDTRACK.

#include "platform/gdi/Gdi.h"
#include "platform/ui/CommCtrl.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/CommCtrlShared.h"

#include <algorithm>

namespace platform {
namespace {

constexpr int ThumbLength = 11; // along the channel
constexpr int ThumbBreadth = 21;
constexpr int Margin = 8; // channel ends from the control's edges
constexpr int MaxTicks = 1000;

struct TrackState {
    int min = 0;
    int max = 100;
    int pos = 0;
    int ticFreq = 1;
    int line = 1;
    int page = 20;
    bool dragging = false;
    int grabOffset = 0; // cursor to thumb centre while dragging
    bool paging = false;
    bool focused = false;
};

bool Vertical(HWND hwnd)
{
    return (GetWindowLongPtr(hwnd, GWL_STYLE) & TBS_VERT) != 0;
}

// Positions along the channel map linearly onto its inner length.
RECT Channel(HWND hwnd)
{
    RECT c{};
    GetClientRect(hwnd, &c);
    if (Vertical(hwnd))
        return RECT{Margin + 4, Margin, Margin + 8, std::max<LONG>(Margin + 1, c.bottom - Margin)};
    return RECT{Margin, Margin + 4, std::max<LONG>(Margin + 1, c.right - Margin), Margin + 8};
}

int Offset(HWND hwnd, const TrackState& s, int value)
{
    RECT ch = Channel(hwnd);
    int length = (Vertical(hwnd) ? ch.bottom - ch.top : ch.right - ch.left) - ThumbLength;
    if (s.max <= s.min || length <= 0)
        return ThumbLength / 2;
    return ThumbLength / 2 + static_cast<int>(static_cast<long long>(value - s.min) * length / (s.max - s.min));
}

RECT Thumb(HWND hwnd, const TrackState& s)
{
    RECT ch = Channel(hwnd);
    int at = Offset(hwnd, s, s.pos);
    if (Vertical(hwnd)) {
        int top = ch.top + at - ThumbLength / 2;
        int left = (ch.left + ch.right) / 2 - ThumbBreadth / 2;
        return RECT{left, top, left + ThumbBreadth, top + ThumbLength};
    }
    int left = ch.left + at - ThumbLength / 2;
    int top = (ch.top + ch.bottom) / 2 - ThumbBreadth / 2 + 2;
    return RECT{left, std::max(0, top), left + ThumbLength, std::max(0, top) + ThumbBreadth};
}

int ValueAt(HWND hwnd, const TrackState& s, int along)
{
    RECT ch = Channel(hwnd);
    int start = (Vertical(hwnd) ? ch.top : ch.left) + ThumbLength / 2;
    int length = (Vertical(hwnd) ? ch.bottom - ch.top : ch.right - ch.left) - ThumbLength;
    if (length <= 0 || s.max <= s.min)
        return s.min;
    long long v = s.min + (static_cast<long long>(along - start) * (s.max - s.min) + length / 2) / length;
    return static_cast<int>(std::clamp<long long>(v, s.min, s.max));
}

void Notify(HWND hwnd, const TrackState& s, int code)
{
    bool carriesPos = code == TB_THUMBTRACK || code == TB_THUMBPOSITION;
    SendMessage(GetParent(hwnd), Vertical(hwnd) ? WM_VSCROLL : WM_HSCROLL,
                MAKEWPARAM(code, carriesPos ? s.pos : 0), reinterpret_cast<LPARAM>(hwnd));
}

void MoveTo(HWND hwnd, TrackState& s, int value, int code)
{
    value = std::clamp(value, s.min, s.max);
    if (value == s.pos && code != TB_THUMBPOSITION)
        return;
    s.pos = value;
    InvalidateRect(hwnd, NULL, TRUE);
    Notify(hwnd, s, code);
}

void Paint(HWND hwnd, TrackState& s)
{
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client{};
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    RECT ch = Channel(hwnd);
    RECT edge = ch;
    DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
    bool vertical = Vertical(hwnd);
    RECT thumb = Thumb(hwnd, s);
    if (!(GetWindowLongPtr(hwnd, GWL_STYLE) & TBS_NOTICKS) && s.max > s.min) {
        int freq = std::max(1, s.ticFreq);
        // Too many ticks would be a solid bar; draw at most MaxTicks.
        freq = std::max(freq, (s.max - s.min) / MaxTicks);
        for (long long v = s.min; v <= s.max; v += freq) {
            int at = Offset(hwnd, s, static_cast<int>(v));
            RECT tick = vertical ? RECT{thumb.right + 2, ch.top + at, thumb.right + 5, ch.top + at + 1}
                                 : RECT{ch.left + at, thumb.bottom + 2, ch.left + at + 1, thumb.bottom + 5};
            FillRect(dc, &tick, GetSysColorBrush(COLOR_BTNTEXT));
        }
        int last = Offset(hwnd, s, s.max);
        RECT end = vertical ? RECT{thumb.right + 2, ch.top + last, thumb.right + 5, ch.top + last + 1}
                            : RECT{ch.left + last, thumb.bottom + 2, ch.left + last + 1, thumb.bottom + 5};
        FillRect(dc, &end, GetSysColorBrush(COLOR_BTNTEXT));
    }
    FillRect(dc, &thumb, GetSysColorBrush(COLOR_BTNFACE));
    RECT thumbEdge = thumb;
    DrawEdge(dc, &thumbEdge, EDGE_RAISED, BF_RECT);
    if (s.focused) {
        RECT focus = client;
        DrawFocusRect(dc, &focus);
    }
    EndPaint(hwnd, &ps);
}

int Along(HWND hwnd, LPARAM lParam)
{
    return Vertical(hwnd) ? GET_Y_LPARAM(lParam) : GET_X_LPARAM(lParam);
}

LRESULT CALLBACK TrackbarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TrackState* s = AttachControlState<TrackState>(hwnd, msg);
    if (!s)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_PAINT:
        Paint(hwnd, *s);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        s->focused = msg == WM_SETFOCUS;
        InvalidateRect(hwnd, NULL, TRUE);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_LBUTTONDOWN: {
        if (GetFocus() != hwnd)
            SetFocus(hwnd);
        if (!(s = ControlState<TrackState>(hwnd)))
            return 0;
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        RECT thumb = Thumb(hwnd, *s);
        SetCapture(hwnd);
        if (PtInRect(&thumb, pt)) {
            s->dragging = true;
            int centre = Vertical(hwnd) ? (thumb.top + thumb.bottom) / 2 : (thumb.left + thumb.right) / 2;
            s->grabOffset = Along(hwnd, lParam) - centre;
        } else {
            s->paging = true;
            int centre = Vertical(hwnd) ? (thumb.top + thumb.bottom) / 2 : (thumb.left + thumb.right) / 2;
            bool before = Along(hwnd, lParam) < centre;
            MoveTo(hwnd, *s, s->pos + (before ? -s->page : s->page), before ? TB_PAGEUP : TB_PAGEDOWN);
        }
        return 0;
    }
    case WM_MOUSEMOVE:
        if (s->dragging)
            MoveTo(hwnd, *s, ValueAt(hwnd, *s, Along(hwnd, lParam) - s->grabOffset), TB_THUMBTRACK);
        return 0;
    case WM_LBUTTONUP: {
        bool dragged = s->dragging;
        bool paged = s->paging;
        s->dragging = s->paging = false;
        if (GetCapture() == hwnd)
            ReleaseCapture();
        if (!(s = ControlState<TrackState>(hwnd)))
            return 0;
        if (dragged)
            Notify(hwnd, *s, TB_THUMBPOSITION);
        if (dragged || paged)
            Notify(hwnd, *s, TB_ENDTRACK);
        return 0;
    }
    case WM_CAPTURECHANGED:
        s->dragging = s->paging = false;
        return 0;
    case WM_KEYDOWN:
        switch (wParam) {
        case VK_LEFT:
        case VK_UP: MoveTo(hwnd, *s, s->pos - s->line, TB_LINEUP); break;
        case VK_RIGHT:
        case VK_DOWN: MoveTo(hwnd, *s, s->pos + s->line, TB_LINEDOWN); break;
        case VK_PRIOR: MoveTo(hwnd, *s, s->pos - s->page, TB_PAGEUP); break;
        case VK_NEXT: MoveTo(hwnd, *s, s->pos + s->page, TB_PAGEDOWN); break;
        case VK_HOME: MoveTo(hwnd, *s, s->min, TB_TOP); break;
        case VK_END: MoveTo(hwnd, *s, s->max, TB_BOTTOM); break;
        default: return DefWindowProc(hwnd, msg, wParam, lParam);
        }
        return 0;
    case WM_KEYUP:
        switch (wParam) {
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_HOME:
        case VK_END: Notify(hwnd, *s, TB_ENDTRACK); return 0;
        default: return DefWindowProc(hwnd, msg, wParam, lParam);
        }
    case TBM_GETPOS:
        return s->pos;
    case TBM_GETRANGEMIN:
        return s->min;
    case TBM_GETRANGEMAX:
        return s->max;
    case TBM_SETPOS:
        s->pos = std::clamp(static_cast<int>(lParam), s->min, std::max(s->min, s->max));
        if (wParam)
            InvalidateRect(hwnd, NULL, TRUE);
        return 0;
    case TBM_SETRANGE:
    case TBM_SETRANGEMIN:
    case TBM_SETRANGEMAX:
        if (msg == TBM_SETRANGE) {
            s->min = static_cast<short>(LOWORD(lParam));
            s->max = static_cast<short>(HIWORD(lParam));
        } else if (msg == TBM_SETRANGEMIN) {
            s->min = static_cast<int>(lParam);
        } else {
            s->max = static_cast<int>(lParam);
        }
        s->max = std::max(s->min, s->max);
        s->pos = std::clamp(s->pos, s->min, s->max);
        s->page = std::max(1, (s->max - s->min) / 5);
        if (wParam)
            InvalidateRect(hwnd, NULL, TRUE);
        return 0;
    case TBM_SETTICFREQ:
        s->ticFreq = std::max(1, static_cast<int>(wParam));
        InvalidateRect(hwnd, NULL, TRUE);
        return 0;
    case TBM_SETPAGESIZE: {
        int old = s->page;
        s->page = std::max(1, static_cast<int>(lParam));
        return old;
    }
    case TBM_GETPAGESIZE:
        return s->page;
    case TBM_SETLINESIZE: {
        int old = s->line;
        s->line = std::max(1, static_cast<int>(lParam));
        return old;
    }
    case TBM_GETLINESIZE:
        return s->line;
    case TBM_GETTHUMBRECT:
        if (lParam)
            *reinterpret_cast<RECT*>(lParam) = Thumb(hwnd, *s);
        return 0;
    case TBM_GETCHANNELRECT:
        if (lParam)
            *reinterpret_cast<RECT*>(lParam) = Channel(hwnd);
        return 0;
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

} // namespace

void RegisterTrackbarClass()
{
    RegisterControlClass(TRACKBAR_CLASS, TrackbarProc, 0, COLOR_BTNFACE);
}

} // namespace platform
