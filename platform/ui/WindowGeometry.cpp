// Window positions, sizes and Z order, and coordinate mapping.

#include "platform/base/Geometry.h"
#include "platform/gdi/Display.h"
#include "platform/ui/internal/Driver.h"
#include "platform/ui/internal/InputEvents.h"
#include "platform/ui/internal/NonClient.h"
#include "platform/ui/internal/Paint.h"
#include "platform/ui/internal/Window.h"

#include <algorithm>

namespace platform {

SurfaceInfo DescribeSurface(const Window& w);

namespace {

POINT ParentOrigin(const Window& w)
{
    if (Window* p = PeekWindowRecord(w.parent))
        return POINT{p->clientRect.left, p->clientRect.top};
    return POINT{0, 0};
}

void ShiftTree(Window& w, int dx, int dy)
{
    OffsetRect(&w.windowRect, dx, dy);
    OffsetRect(&w.clientRect, dx, dy);
    for (HWND c : w.children)
        if (Window* cw = PeekWindowRecord(c))
            ShiftTree(*cw, dx, dy);
}

void PlaceInZOrder(Window& w, HWND after)
{
    Window* parent = PeekWindowRecord(w.parent);
    if (!parent)
        return;
    auto& list = parent->children;
    list.erase(std::remove(list.begin(), list.end(), w.handle), list.end());
    if (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST) {
        list.insert(list.begin(), w.handle);
    } else if (after == HWND_BOTTOM) {
        list.push_back(w.handle);
    } else {
        auto it = std::find(list.begin(), list.end(), after);
        list.insert(it == list.end() ? list.begin() : it + 1, w.handle);
    }
    // Owned windows stay above their owner.
    if (IsTopLevel(w) && (after == HWND_TOP || after == HWND_TOPMOST)) {
        std::vector<HWND> owned;
        for (HWND h : list) {
            Window* o = PeekWindowRecord(h);
            if (o && o->owner == w.handle)
                owned.push_back(h);
        }
        for (auto it = owned.rbegin(); it != owned.rend(); ++it) {
            list.erase(std::remove(list.begin(), list.end(), *it), list.end());
            list.insert(list.begin(), *it);
        }
    }
}

// The area a window covered, given back to its parent for repainting.
void ExposeParent(const Window& w, const RECT& oldWindowRect)
{
    if (IsTopLevel(w))
        return;
    Window* parent = PeekWindowRecord(w.parent);
    if (!parent)
        return;
    Region area(oldWindowRect);
    area.Offset(-parent->clientRect.left, -parent->clientRect.top);
    InvalidateWindowArea(parent->handle, &area, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

} // namespace

} // namespace platform

using namespace platform;

BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w || hWnd == Ws().desktop)
        return FALSE;
    POINT origin = ParentOrigin(*w);
    RECT old = w->windowRect;
    WINDOWPOS wp{hWnd, hWndInsertAfter, X, Y, cx, cy, uFlags};
    if (uFlags & SWP_NOMOVE) {
        wp.x = old.left - origin.x;
        wp.y = old.top - origin.y;
    }
    if (uFlags & SWP_NOSIZE) {
        wp.cx = old.right - old.left;
        wp.cy = old.bottom - old.top;
    }
    if (!(uFlags & SWP_NOSENDCHANGING)) {
        CallProcedure(hWnd, WM_WINDOWPOSCHANGING, 0, LPARAM(&wp));
        if (!(w = PeekWindowRecord(hWnd)))
            return FALSE;
        origin = ParentOrigin(*w);
        old = w->windowRect;
    }
    wp.cx = std::clamp(wp.cx, 0, 32767);
    wp.cy = std::clamp(wp.cy, 0, 32767);
    RECT next{origin.x + wp.x, origin.y + wp.y, origin.x + wp.x + wp.cx, origin.y + wp.y + wp.cy};
    bool moved = next.left != old.left || next.top != old.top;
    bool sized = (next.right - next.left) != (old.right - old.left) || (next.bottom - next.top) != (old.bottom - old.top);
    if (!moved)
        wp.flags |= SWP_NOMOVE;
    if (!sized)
        wp.flags |= SWP_NOSIZE;

    bool wasVisible = IsVisibleChain(*w);
    RECT oldClient = w->clientRect;
    if (sized || (wp.flags & SWP_FRAMECHANGED)) {
        NCCALCSIZE_PARAMS params{};
        params.rgrc[0] = next;
        params.rgrc[1] = old;
        params.rgrc[2] = oldClient;
        for (RECT& r : params.rgrc)
            OffsetRect(&r, -origin.x, -origin.y);
        params.lppos = &wp;
        CallProcedure(hWnd, WM_NCCALCSIZE, TRUE, LPARAM(&params));
        if (!(w = PeekWindowRecord(hWnd)))
            return FALSE;
        RECT client = params.rgrc[0];
        OffsetRect(&client, origin.x, origin.y);
        client.right = std::max(client.right, client.left);
        client.bottom = std::max(client.bottom, client.top);
        int dx = client.left - oldClient.left;
        int dy = client.top - oldClient.top;
        for (HWND c : w->children)
            if (Window* cw = PeekWindowRecord(c))
                ShiftTree(*cw, dx, dy);
        w->windowRect = next;
        w->clientRect = client;
    } else if (moved) {
        ShiftTree(*w, next.left - old.left, next.top - old.top);
    }
    if (!(wp.flags & SWP_NOZORDER))
        PlaceInZOrder(*w, wp.hwndInsertAfter);
    if (wp.flags & SWP_SHOWWINDOW)
        w->style |= WS_VISIBLE;
    if (wp.flags & SWP_HIDEWINDOW)
        w->style &= ~WS_VISIBLE;
    bool nowVisible = IsVisibleChain(*w);
    bool topLevel = IsTopLevel(*w);
    if (topLevel) {
        SyncSurface(*w);
        if (HasDriver())
            GetDriver().UpdateSurface(hWnd, DescribeSurface(*w));
    }

    // Repaint what changed. Child windows paint into their top-level
    // window's pixels, so a moved child is repainted where it now is; a
    // resized top-level window gets fresh pixels and repaints entirely.
    bool zChanged = !(wp.flags & SWP_NOZORDER);
    if (!(wp.flags & SWP_NOREDRAW)) {
        if (wasVisible && (!nowVisible || moved || sized || zChanged))
            ExposeParent(*w, old);
        if (nowVisible && (!wasVisible || moved || sized || zChanged || (wp.flags & SWP_FRAMECHANGED))) {
            bool repaintAll = !wasVisible || !topLevel || sized || (wp.flags & SWP_FRAMECHANGED);
            if (repaintAll)
                RedrawWindow(hWnd, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        }
    } else if (sized && topLevel && nowVisible) {
        RedrawWindow(hWnd, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
    if (!nowVisible && wasVisible)
        InputWindowHiddenOrDisabled(hWnd);

    CallProcedure(hWnd, WM_WINDOWPOSCHANGED, 0, LPARAM(&wp));
    if (!IsWindow(hWnd))
        return TRUE;
    if (topLevel && nowVisible && !wasVisible && !(wp.flags & SWP_NOACTIVATE))
        SetActiveWindow(hWnd);
    return TRUE;
}

BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint)
{
    return SetWindowPos(
        hWnd, NULL, X, Y, nWidth, nHeight, SWP_NOZORDER | SWP_NOACTIVATE | (bRepaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND hWnd)
{
    return SetWindowPos(hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

BOOL GetWindowRect(HWND hWnd, LPRECT lpRect)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w || !lpRect)
        return FALSE;
    *lpRect = w->windowRect;
    return TRUE;
}

BOOL GetClientRect(HWND hWnd, LPRECT lpRect)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w || !lpRect)
        return FALSE;
    *lpRect = RECT{0, 0, w->clientRect.right - w->clientRect.left, w->clientRect.bottom - w->clientRect.top};
    return TRUE;
}

BOOL ClientToScreen(HWND hWnd, LPPOINT lpPoint)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w || !lpPoint)
        return FALSE;
    lpPoint->x += w->clientRect.left;
    lpPoint->y += w->clientRect.top;
    return TRUE;
}

BOOL ScreenToClient(HWND hWnd, LPPOINT lpPoint)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w || !lpPoint)
        return FALSE;
    lpPoint->x -= w->clientRect.left;
    lpPoint->y -= w->clientRect.top;
    return TRUE;
}

int MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints)
{
    POINT from{0, 0};
    POINT to{0, 0};
    if (hWndFrom && hWndFrom != Ws().desktop) {
        Window* w = FindWindowRecord(hWndFrom);
        if (!w)
            return 0;
        from = POINT{w->clientRect.left, w->clientRect.top};
    }
    if (hWndTo && hWndTo != Ws().desktop) {
        Window* w = FindWindowRecord(hWndTo);
        if (!w)
            return 0;
        to = POINT{w->clientRect.left, w->clientRect.top};
    }
    int dx = from.x - to.x;
    int dy = from.y - to.y;
    for (UINT i = 0; lpPoints && i < cPoints; ++i) {
        lpPoints[i].x += dx;
        lpPoints[i].y += dy;
    }
    SetLastError(0);
    return MAKELONG(WORD(SHORT(dx)), WORD(SHORT(dy)));
}

BOOL AdjustWindowRectEx(LPRECT lpRect, DWORD dwStyle, BOOL bMenu, DWORD dwExStyle)
{
    if (!lpRect)
        return FALSE;
    Window probe;
    // Scroll bars are not part of the answer: a caller placing a window
    // whose bars come and go (a scroll view in its frame) wants the frame
    // alone, and adds the bars itself when it means to.
    probe.style = dwStyle & ~DWORD(WS_VSCROLL | WS_HSCROLL);
    if (!(dwStyle & (WS_CHILD | WS_POPUP)))
        probe.style |= WS_CAPTION;
    probe.exStyle = dwExStyle;
    // The non-client code measures the menu bar from the menu; a one-row bar
    // stands in for any menu here.
    RECT window{0, 0, 1000, 1000};
    RECT client = ClientFromWindowRect(probe, window);
    lpRect->left -= client.left - window.left;
    lpRect->top -= client.top - window.top;
    lpRect->right += window.right - client.right;
    lpRect->bottom += window.bottom - client.bottom;
    if (bMenu)
        lpRect->top -= GetSystemMetrics(SM_CYMENU);
    return TRUE;
}

BOOL AdjustWindowRect(LPRECT lpRect, DWORD dwStyle, BOOL bMenu)
{
    return AdjustWindowRectEx(lpRect, dwStyle, bMenu, 0);
}

namespace {

bool Contains(const RECT& r, POINT p)
{
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

HWND DeepestAt(HWND hwnd, POINT screen)
{
    Window* w = PeekWindowRecord(hwnd);
    if (!w || !Contains(w->clientRect, screen))
        return hwnd;
    for (HWND c : w->children) {
        Window* cw = PeekWindowRecord(c);
        if (cw && (cw->style & WS_VISIBLE) && !(cw->exStyle & WS_EX_TRANSPARENT) && Contains(cw->windowRect, screen))
            return (cw->style & WS_DISABLED) ? c : DeepestAt(c, screen);
    }
    return hwnd;
}

} // namespace

HWND WindowFromPoint(POINT Point)
{
    for (HWND h : PeekWindowRecord(Ws().desktop)->children) {
        Window* w = PeekWindowRecord(h);
        if (w && (w->style & WS_VISIBLE) && Contains(w->windowRect, Point))
            return DeepestAt(h, Point);
    }
    return NULL;
}

HWND ChildWindowFromPointEx(HWND hwnd, POINT pt, UINT flags)
{
    Window* w = FindWindowRecord(hwnd);
    if (!w)
        return NULL;
    POINT screen{pt.x + w->clientRect.left, pt.y + w->clientRect.top};
    if (!Contains(w->windowRect, screen))
        return NULL;
    for (HWND c : w->children) {
        Window* cw = PeekWindowRecord(c);
        if (!cw || !Contains(cw->windowRect, screen))
            continue;
        if ((flags & CWP_SKIPINVISIBLE) && !(cw->style & WS_VISIBLE))
            continue;
        if ((flags & CWP_SKIPDISABLED) && (cw->style & WS_DISABLED))
            continue;
        if ((flags & CWP_SKIPTRANSPARENT) && (cw->exStyle & WS_EX_TRANSPARENT))
            continue;
        return c;
    }
    return hwnd;
}

HWND ChildWindowFromPoint(HWND hWndParent, POINT Point)
{
    return ChildWindowFromPointEx(hWndParent, Point, CWP_ALL);
}
