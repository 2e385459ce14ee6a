// The progress bar: a sunken well filled from the left in proportion to the
// position within the range, in separate blocks or, with PBS_SMOOTH, as one
// bar. Setting the position answers the one it replaces.

#include "platform/gdi/Gdi.h"
#include "platform/ui/CommCtrl.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/CommCtrlShared.h"

#include <algorithm>

namespace platform {
namespace {

struct ProgressState {
    int low = 0;
    int high = 100;
    int pos = 0;
    int step = 10;
};

// A range given as low = high keeps the bar empty rather than dividing by 0.
int FilledWidth(const ProgressState& s, int width)
{
    if (s.high <= s.low || width <= 0)
        return 0;
    long long span = static_cast<long long>(s.high) - s.low;
    return static_cast<int>((static_cast<long long>(s.pos) - s.low) * width / span);
}

LRESULT SetPos(HWND hwnd, ProgressState& s, long long pos)
{
    int old = s.pos;
    s.pos = static_cast<int>(std::clamp<long long>(pos, s.low, std::max(s.low, s.high)));
    if (s.pos != old)
        InvalidateRect(hwnd, NULL, TRUE);
    return old;
}

LRESULT SetRange(HWND hwnd, ProgressState& s, int low, int high)
{
    LRESULT old = MAKELONG(static_cast<WORD>(s.low), static_cast<WORD>(s.high));
    s.low = low;
    s.high = high;
    s.pos = std::clamp(s.pos, s.low, std::max(s.low, s.high));
    InvalidateRect(hwnd, NULL, TRUE);
    return old;
}

void Paint(HWND hwnd, const ProgressState& s)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r{};
    GetClientRect(hwnd, &r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    InflateRect(&r, -1, -1);
    int width = r.right - r.left;
    int filled = FilledWidth(s, width);
    HBRUSH bar = GetSysColorBrush(COLOR_HIGHLIGHT);
    if (GetWindowLongPtr(hwnd, GWL_STYLE) & PBS_SMOOTH) {
        RECT f{r.left, r.top, r.left + filled, r.bottom};
        FillRect(dc, &f, bar);
    } else {
        // Blocks two thirds as wide as the bar is high, a 2-pixel gap apart;
        // a block is drawn once the fill reaches into it.
        int block = std::max<int>(2, (r.bottom - r.top) * 2 / 3);
        for (int x = 0; x < filled; x += block + 2) {
            RECT f{r.left + x, r.top, std::min<LONG>(r.right, r.left + x + block), r.bottom};
            FillRect(dc, &f, bar);
        }
    }
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK ProgressProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ProgressState* s = AttachControlState<ProgressState>(hwnd, msg);
    if (!s)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    switch (msg) {
    case PBM_SETRANGE:
        return SetRange(hwnd, *s, LOWORD(lParam), HIWORD(lParam));
    case PBM_SETRANGE32:
        return SetRange(hwnd, *s, static_cast<int>(wParam), static_cast<int>(lParam));
    case PBM_GETRANGE:
        if (auto* range = reinterpret_cast<PBRANGE*>(lParam)) {
            range->iLow = s->low;
            range->iHigh = s->high;
        }
        return wParam ? s->low : s->high;
    case PBM_SETPOS:
        return SetPos(hwnd, *s, static_cast<int>(wParam));
    case PBM_DELTAPOS:
        return SetPos(hwnd, *s, static_cast<long long>(s->pos) + static_cast<int>(wParam));
    case PBM_GETPOS:
        return s->pos;
    case PBM_SETSTEP: {
        int old = s->step;
        s->step = static_cast<int>(wParam);
        return old;
    }
    case PBM_STEPIT: {
        // Stepping past the end starts again from the low end.
        long long next = static_cast<long long>(s->pos) + s->step;
        if (next > s->high)
            next = s->low + (next - s->high);
        else if (next < s->low)
            next = s->high - (s->low - next);
        return SetPos(hwnd, *s, next);
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint(hwnd, *s);
        return 0;
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

} // namespace

void RegisterProgressClass()
{
    RegisterControlClass(PROGRESS_CLASS, ProgressProc, CS_HREDRAW | CS_VREDRAW, COLOR_BTNFACE);
}

} // namespace platform
