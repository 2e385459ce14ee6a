// The window's own scroll bars and scrolling its contents.

#include "platform/base/Geometry.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiDefs.h"
#include "platform/gdi/internal/GdiObjects.h"
#include "platform/gdi/PixelBuffer.h"
#include "platform/ui/internal/NonClient.h"
#include "platform/ui/internal/Paint.h"
#include "platform/ui/internal/Window.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace platform {

bool CanDrawInto(const Window& w);

namespace {

ScrollBarState* BarOf(Window& w, int bar)
{
    if (bar == SB_HORZ)
        return &w.hscroll;
    if (bar == SB_VERT)
        return &w.vscroll;
    return nullptr;
}

int MaxPos(const ScrollBarState& s)
{
    return s.max - std::max<int>(int(s.page) - 1, 0);
}

// The bar is drawn with the window's next paint: a view that sets its range,
// page and position one after another, each time it grows, draws its frame
// once.
void RedrawBar(HWND hwnd, int bar)
{
    Window* w = PeekWindowRecord(hwnd);
    if (!w || !(w->style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) || !CanDrawInto(*w))
        return;
    InvalidateWindowFrame(hwnd);
}

// Copies the pixels that land on `destination` (client coordinates) from
// where they stand before the move by (dx, dy); (ox, oy) is the client
// area's place in the top-level buffer. Only the area read is kept aside, a
// row at a time, so a small scroll of a large window copies little.
void MovePixels(PixelBuffer& buf, const Region& destination, int dx, int dy, int ox, int oy)
{
    RECT from = destination.Bounds();
    OffsetRect(&from, ox - dx, oy - dy);
    const RECT whole{0, 0, buf.width, buf.height};
    if (!IntersectRect(&from, &from, &whole))
        return;
    const int cx = from.right - from.left;
    std::vector<uint32_t> kept(size_t(cx) * size_t(from.bottom - from.top));
    for (int y = from.top; y < from.bottom; ++y)
        std::memcpy(&kept[size_t(y - from.top) * size_t(cx)], buf.Row(y) + from.left, size_t(cx) * 4);
    for (const RECT& r : destination.Rects()) {
        // Target and source both inside the buffer, the source inside what was kept.
        const int left = std::max({int(r.left) + ox, 0, int(from.left) + dx});
        const int right = std::min({int(r.right) + ox, buf.width, int(from.right) + dx});
        const int top = std::max({int(r.top) + oy, 0, int(from.top) + dy});
        const int bottom = std::min({int(r.bottom) + oy, buf.height, int(from.bottom) + dy});
        if (left >= right)
            continue;
        for (int ty = top; ty < bottom; ++ty) {
            const uint32_t* src = &kept[size_t(ty - dy - from.top) * size_t(cx) + size_t(left - dx - from.left)];
            std::memcpy(buf.Row(ty) + left, src, size_t(right - left) * 4);
        }
    }
}

void ShowBar(HWND hwnd, int bar, bool show)
{
    Window* w = PeekWindowRecord(hwnd);
    if (!w)
        return;
    DWORD flag = bar == SB_VERT ? WS_VSCROLL : bar == SB_HORZ ? WS_HSCROLL : (WS_VSCROLL | WS_HSCROLL);
    DWORD style = show ? (w->style | flag) : (w->style & ~flag);
    if (style == w->style)
        return;
    w->style = style;
    SetWindowPos(hwnd, NULL, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

} // namespace

} // namespace platform

using namespace platform;

int SetScrollInfo(HWND hwnd, int nBar, LPCSCROLLINFO lpsi, BOOL redraw)
{
    Window* w = FindWindowRecord(hwnd);
    if (!w || !lpsi)
        return 0;
    if (nBar == SB_CTL)
        return int(SendMessage(hwnd, 0x00E9 /* SBM_SETSCROLLINFO */, redraw, LPARAM(lpsi)));
    ScrollBarState* s = BarOf(*w, nBar);
    if (!s) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (lpsi->fMask & SIF_RANGE) {
        s->min = lpsi->nMin;
        s->max = std::max(lpsi->nMin, lpsi->nMax);
    }
    if (lpsi->fMask & SIF_PAGE)
        s->page = std::min<UINT>(lpsi->nPage, UINT(s->max - s->min + 1));
    if (lpsi->fMask & SIF_POS)
        s->pos = lpsi->nPos;
    s->pos = std::clamp(s->pos, s->min, std::max(s->min, MaxPos(*s)));
    int pos = s->pos;
    // A bar whose range is empty is hidden, unless asked to stay disabled.
    bool needed = s->max > s->min && (s->page == 0 || int(s->page) <= s->max - s->min);
    if (lpsi->fMask & SIF_RANGE || lpsi->fMask & SIF_PAGE) {
        if (!(lpsi->fMask & SIF_DISABLENOSCROLL))
            ShowBar(hwnd, nBar, needed);
        else
            ShowBar(hwnd, nBar, true);
    }
    if (redraw)
        RedrawBar(hwnd, nBar);
    return pos;
}

BOOL GetScrollInfo(HWND hwnd, int nBar, LPSCROLLINFO lpsi)
{
    Window* w = FindWindowRecord(hwnd);
    if (!w || !lpsi)
        return FALSE;
    if (nBar == SB_CTL)
        return SendMessage(hwnd, 0x00EA /* SBM_GETSCROLLINFO */, 0, LPARAM(lpsi)) ? TRUE : FALSE;
    ScrollBarState* s = BarOf(*w, nBar);
    if (!s) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (lpsi->fMask & SIF_RANGE) {
        lpsi->nMin = s->min;
        lpsi->nMax = s->max;
    }
    if (lpsi->fMask & SIF_PAGE)
        lpsi->nPage = s->page;
    if (lpsi->fMask & SIF_POS)
        lpsi->nPos = s->pos;
    // Outside a drag of the thumb, the thumb stands where the position is.
    if (lpsi->fMask & SIF_TRACKPOS)
        lpsi->nTrackPos = ScrollBarPressOf(hwnd, nBar).part == ScrollPart::Thumb ? s->trackPos : s->pos;
    return TRUE;
}

int SetScrollPos(HWND hWnd, int nBar, int nPos, BOOL bRedraw)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w)
        return 0;
    int old = GetScrollPos(hWnd, nBar);
    SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, nPos, 0};
    SetScrollInfo(hWnd, nBar, &si, bRedraw);
    return old;
}

int GetScrollPos(HWND hWnd, int nBar)
{
    SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, 0, 0};
    return GetScrollInfo(hWnd, nBar, &si) ? si.nPos : 0;
}

BOOL SetScrollRange(HWND hWnd, int nBar, int nMinPos, int nMaxPos, BOOL bRedraw)
{
    if (int64_t(nMaxPos) - nMinPos > 0x7FFFFFFF) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    SCROLLINFO si{sizeof si, SIF_RANGE, nMinPos, nMaxPos, 0, 0, 0};
    if (!FindWindowRecord(hWnd))
        return FALSE;
    SetScrollInfo(hWnd, nBar, &si, bRedraw);
    return TRUE;
}

BOOL GetScrollRange(HWND hWnd, int nBar, LPINT lpMinPos, LPINT lpMaxPos)
{
    SCROLLINFO si{sizeof si, SIF_RANGE, 0, 0, 0, 0, 0};
    if (!GetScrollInfo(hWnd, nBar, &si))
        return FALSE;
    if (lpMinPos)
        *lpMinPos = si.nMin;
    if (lpMaxPos)
        *lpMaxPos = si.nMax;
    return TRUE;
}

BOOL ShowScrollBar(HWND hWnd, int wBar, BOOL bShow)
{
    if (!FindWindowRecord(hWnd))
        return FALSE;
    if (wBar == SB_CTL) {
        ShowWindow(hWnd, bShow ? SW_SHOW : SW_HIDE);
        return TRUE;
    }
    ShowBar(hWnd, wBar, bShow != FALSE);
    return TRUE;
}

BOOL EnableScrollBar(HWND hWnd, UINT wSBflags, UINT wArrows)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w)
        return FALSE;
    if (wSBflags == SB_HORZ || wSBflags == SB_BOTH)
        w->hscroll.disabledArrows = wArrows;
    if (wSBflags == SB_VERT || wSBflags == SB_BOTH)
        w->vscroll.disabledArrows = wArrows;
    RedrawBar(hWnd, SB_HORZ);
    RedrawBar(hWnd, SB_VERT);
    return TRUE;
}

int ScrollWindowEx(HWND hWnd, int dx, int dy, const RECT* prcScroll, const RECT* prcClip, HRGN hrgnUpdate,
    LPRECT prcUpdate, UINT flags)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w)
        return ERROR;
    RECT client{0, 0, w->clientRect.right - w->clientRect.left, w->clientRect.bottom - w->clientRect.top};
    RECT source = prcScroll ? *prcScroll : client;
    IntersectRect(&source, &source, &client);
    RECT clip = prcClip ? *prcClip : client;
    IntersectRect(&clip, &clip, &client);

    // Move the pixels that stay visible, inside the window's visible part.
    Region visible = VisibleRegion(*w, false);
    Region destination(source);
    destination.Offset(dx, dy);
    destination = destination.Intersect(clip).Intersect(visible);
    // The pending update region moves with the contents.
    if (!w->update.IsEmpty()) {
        Region moved = w->update.Intersect(source);
        moved.Offset(dx, dy);
        w->update = w->update.Subtract(Region(source)).Union(moved.Intersect(clip));
        // What lies in it is painted again before it is seen: a view that
        // invalidated itself and then scrolls moves no pixels.
        destination = destination.Subtract(w->update);
    }
    Window* top = TopLevelOf(*w);
    if (top && top->surface && !destination.IsEmpty()) {
        const int ox = w->clientRect.left - top->windowRect.left;
        const int oy = w->clientRect.top - top->windowRect.top;
        MovePixels(*top->surface, destination, dx, dy, ox, oy);
        RECT dirty = client;
        OffsetRect(&dirty, ox, oy);
        MarkSurfaceDirty(*top, dirty);
    }
    // What was not covered by moved pixels must be repainted; so must pixels
    // that came from a hidden or clipped-away place.
    Region valid(source);
    valid = valid.Intersect(visible);
    valid.Offset(dx, dy);
    valid = valid.Intersect(visible);
    Region exposed = Region(clip).Intersect(visible).Subtract(valid);
    if (flags & SW_SCROLLCHILDREN) {
        std::vector<HWND> children = w->children;
        for (HWND c : children) {
            Window* cw = PeekWindowRecord(c);
            Window* pw = PeekWindowRecord(hWnd);
            if (!cw || !pw)
                continue;
            RECT r = cw->windowRect;
            OffsetRect(&r, -pw->clientRect.left, -pw->clientRect.top);
            if (prcScroll) {
                RECT test;
                if (!IntersectRect(&test, &r, &source))
                    continue;
            }
            SetWindowPos(c, NULL, r.left + dx, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
        }
    }
    if (hrgnUpdate)
        if (RegionObject* r = LookupRegion(hrgnUpdate))
            r->region = exposed;
    if (prcUpdate)
        *prcUpdate = exposed.Bounds();
    if (flags & SW_INVALIDATE)
        InvalidateWindowArea(hWnd, &exposed, RDW_INVALIDATE | RDW_ALLCHILDREN | ((flags & SW_ERASE) ? RDW_ERASE : 0));
    return exposed.Complexity();
}

BOOL ScrollWindow(HWND hWnd, int XAmount, int YAmount, const RECT* lpRect, const RECT* lpClipRect)
{
    UINT flags = SW_INVALIDATE | SW_ERASE | (lpRect ? 0 : SW_SCROLLCHILDREN);
    return ScrollWindowEx(hWnd, XAmount, YAmount, lpRect, lpClipRect, NULL, NULL, flags) != ERROR;
}
