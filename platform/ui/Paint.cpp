// Update regions, WM_PAINT and the painting calls.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiDefs.h"
#include "platform/gdi/internal/GdiObjects.h"
#include "platform/ui/internal/InputEvents.h"
#include "platform/ui/internal/Paint.h"
#include "platform/ui/internal/Window.h"

#include <functional>

namespace platform {

bool CanDrawInto(const Window& w);

namespace {

Region ClientBounds(const Window& w)
{
    return Region(RECT{0, 0, w.clientRect.right - w.clientRect.left, w.clientRect.bottom - w.clientRect.top});
}

bool HasFrame(const Window& w)
{
    return w.windowRect.left != w.clientRect.left || w.windowRect.top != w.clientRect.top
        || w.windowRect.right != w.clientRect.right || w.windowRect.bottom != w.clientRect.bottom;
}

bool NeedsPaint(const Window& w)
{
    return !w.update.IsEmpty() || w.internalPaint || w.framePending;
}

// Converts a region of a parent's client area to a child's client area,
// limited to the child's window rectangle (in its own client coordinates).
Region ToChild(const Window& parent, const Window& child, const Region& area, bool& touchesFrame)
{
    Region inParent = area.Intersect(RECT{child.windowRect.left - parent.clientRect.left,
        child.windowRect.top - parent.clientRect.top, child.windowRect.right - parent.clientRect.left,
        child.windowRect.bottom - parent.clientRect.top});
    touchesFrame = !inParent.IsEmpty() && HasFrame(child);
    inParent.Offset(parent.clientRect.left - child.clientRect.left, parent.clientRect.top - child.clientRect.top);
    return inParent.Intersect(ClientBounds(child).Bounds());
}

Region RegionOf(HRGN hrgn, bool& ok)
{
    ok = true;
    if (!hrgn)
        return Region();
    RegionObject* r = LookupRegion(hrgn);
    if (!r) {
        ok = false;
        return Region();
    }
    return r->region;
}

// Clears the pending erase by sending WM_ERASEBKGND with a DC clipped to the
// update region; answers whether the window erased.
bool EraseNow(HWND hwnd, HDC hdc)
{
    Window* w = PeekWindowRecord(hwnd);
    if (!w || !w->erasePending)
        return true;
    w->erasePending = false;
    return CallProcedure(hwnd, WM_ERASEBKGND, WPARAM(hdc), 0) != 0;
}

void SelectUpdateClip(HDC hdc, const Region& region)
{
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    if (!rgn)
        return;
    if (RegionObject* r = LookupRegion(rgn))
        r->region = region;
    SelectClipRgn(hdc, rgn);
    DeleteObject(rgn);
}

void SendNcPaint(HWND hwnd)
{
    Window* w = PeekWindowRecord(hwnd);
    if (!w || !w->framePending)
        return;
    w->framePending = false;
    if (HasFrame(*w))
        CallProcedure(hwnd, WM_NCPAINT, 1, 0);
}

void EraseWindowNow(HWND hwnd)
{
    SendNcPaint(hwnd);
    Window* w = PeekWindowRecord(hwnd);
    if (!w || !w->erasePending || !CanDrawInto(*w))
        return;
    Region region = w->update;
    HDC hdc = GetDC(hwnd);
    if (!hdc)
        return;
    SelectUpdateClip(hdc, region);
    EraseNow(hwnd, hdc);
    ReleaseDC(hwnd, hdc);
}

bool Includes(const Window& w, UINT flags)
{
    if (flags & RDW_ALLCHILDREN)
        return true;
    if (flags & RDW_NOCHILDREN)
        return false;
    return !(w.style & WS_CLIPCHILDREN);
}

void UpdateNow(HWND hwnd, UINT flags)
{
    Window* w = PeekWindowRecord(hwnd);
    if (!w)
        return;
    if (hwnd != Ws().desktop) {
        if (NeedsPaint(*w) && CanDrawInto(*w))
            CallProcedure(hwnd, WM_PAINT, 0, 0);
        else if (flags & RDW_ERASENOW)
            EraseWindowNow(hwnd);
    }
    if (!(w = PeekWindowRecord(hwnd)))
        return;
    if (hwnd != Ws().desktop && !Includes(*w, flags))
        return;
    std::vector<HWND> children = w->children;
    for (HWND c : children)
        UpdateNow(c, flags);
}

// A parent that does not clip its children paints over them wherever its
// update region reaches; the children there are painted again after it, or
// they would be left covered when their own update region was already spent
// or was never given to them (an invalidation with RDW_NOCHILDREN).
void HandOverToChildren(HWND hwnd, const Region& painted)
{
    Window* w = PeekWindowRecord(hwnd);
    if (!w || painted.IsEmpty() || (w->style & WS_CLIPCHILDREN))
        return;
    std::vector<HWND> children = w->children;
    for (HWND c : children) {
        Window* parent = PeekWindowRecord(hwnd);
        Window* cw = PeekWindowRecord(c);
        if (!parent || !cw || !(cw->style & WS_VISIBLE))
            continue;
        bool touchesFrame = false;
        Region childArea = ToChild(*parent, *cw, painted, touchesFrame);
        if (childArea.IsEmpty() && !touchesFrame)
            continue;
        InvalidateWindowArea(
            c, &childArea, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | (touchesFrame ? RDW_FRAME : 0));
    }
}

} // namespace

void InvalidateWindowFrame(HWND hwnd)
{
    Region none;
    InvalidateWindowArea(hwnd, &none, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN);
}

void InvalidateWindowArea(HWND hwnd, const Region* clientArea, UINT flags)
{
    Window* w = PeekWindowRecord(hwnd);
    if (!w)
        return;
    if (hwnd == Ws().desktop) {
        for (HWND h : w->children)
            InvalidateWindowArea(h, nullptr, flags);
        return;
    }
    Region area = clientArea ? clientArea->Intersect(ClientBounds(*w)) : ClientBounds(*w);
    if (flags & RDW_INVALIDATE) {
        // Hidden windows collect nothing: they are repainted whole when shown.
        if (!IsVisibleChain(*w))
            return;
        if (!area.IsEmpty()) {
            w->update = w->update.Union(area);
            if (flags & RDW_ERASE)
                w->erasePending = true;
        }
        if ((flags & RDW_FRAME) && HasFrame(*w))
            w->framePending = true;
        if (flags & RDW_INTERNALPAINT)
            w->internalPaint = true;
    }
    if (flags & RDW_VALIDATE) {
        w->update = w->update.Subtract(area);
        if (w->update.IsEmpty())
            w->erasePending = false;
        if (flags & RDW_NOFRAME)
            w->framePending = false;
        if (flags & RDW_NOINTERNALPAINT)
            w->internalPaint = false;
    }
    if (flags & RDW_NOERASE)
        w->erasePending = false;
    if (!Includes(*w, flags))
        return;
    std::vector<HWND> children = w->children;
    for (HWND c : children) {
        Window* parent = PeekWindowRecord(hwnd);
        Window* cw = PeekWindowRecord(c);
        if (!parent || !cw || !(cw->style & WS_VISIBLE))
            continue;
        bool touchesFrame = false;
        Region childArea = ToChild(*parent, *cw, area, touchesFrame);
        if (childArea.IsEmpty() && !touchesFrame)
            continue;
        UINT childFlags = flags;
        if (touchesFrame && (flags & RDW_INVALIDATE))
            childFlags |= RDW_FRAME;
        InvalidateWindowArea(c, &childArea, childFlags);
    }
}

HWND FindWindowToPaint(HWND filter)
{
    std::function<HWND(HWND)> search = [&](HWND hwnd) -> HWND {
        Window* w = PeekWindowRecord(hwnd);
        if (!w || !(w->style & WS_VISIBLE) || w->redrawDisabled)
            return NULL;
        if (Ws().locked == hwnd)
            return NULL;
        if (NeedsPaint(*w) && (!filter || hwnd == filter || IsChild(filter, hwnd)))
            return hwnd;
        for (HWND c : w->children)
            if (HWND found = search(c))
                return found;
        return NULL;
    };
    Window* desktop = PeekWindowRecord(Ws().desktop);
    if (!desktop)
        return NULL;
    for (HWND top : desktop->children)
        if (HWND found = search(top))
            return found;
    return NULL;
}

} // namespace platform

using namespace platform;

BOOL RedrawWindow(HWND hWnd, const RECT* lprcUpdate, HRGN hrgnUpdate, UINT flags)
{
    HWND target = hWnd ? hWnd : Ws().desktop;
    if (!FindWindowRecord(target))
        return FALSE;
    Region area;
    const Region* areaPtr = nullptr;
    if (hrgnUpdate) {
        bool ok = true;
        area = RegionOf(hrgnUpdate, ok);
        if (!ok)
            return FALSE;
        areaPtr = &area;
    } else if (lprcUpdate) {
        area = Region(*lprcUpdate);
        areaPtr = &area;
    }
    if (flags & (RDW_INVALIDATE | RDW_VALIDATE | RDW_NOERASE | RDW_NOFRAME | RDW_NOINTERNALPAINT))
        InvalidateWindowArea(target, areaPtr, flags);
    if (flags & (RDW_UPDATENOW | RDW_ERASENOW)) {
        if (flags & RDW_UPDATENOW)
            UpdateNow(target, flags);
        else
            UpdateNow(target, flags);
    }
    return TRUE;
}

BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase)
{
    return RedrawWindow(hWnd, lpRect, NULL, RDW_INVALIDATE | (bErase ? RDW_ERASE : 0));
}

BOOL InvalidateRgn(HWND hWnd, HRGN hRgn, BOOL bErase)
{
    return RedrawWindow(hWnd, NULL, hRgn, RDW_INVALIDATE | (bErase ? RDW_ERASE : 0));
}

BOOL ValidateRect(HWND hWnd, const RECT* lpRect)
{
    return RedrawWindow(hWnd, lpRect, NULL, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL ValidateRgn(HWND hWnd, HRGN hRgn)
{
    return RedrawWindow(hWnd, NULL, hRgn, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL bErase)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w)
        return FALSE;
    bool any = !w->update.IsEmpty();
    if (lpRect)
        *lpRect = any ? w->update.Bounds() : RECT{0, 0, 0, 0};
    if (any && bErase)
        EraseWindowNow(hWnd);
    return any ? TRUE : FALSE;
}

int GetUpdateRgn(HWND hWnd, HRGN hRgn, BOOL bErase)
{
    Window* w = FindWindowRecord(hWnd);
    RegionObject* r = LookupRegion(hRgn);
    if (!w || !r)
        return ERROR;
    r->region = w->update;
    int complexity = w->update.Complexity();
    if (!w->update.IsEmpty() && bErase)
        EraseWindowNow(hWnd);
    return complexity;
}

BOOL UpdateWindow(HWND hWnd)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w)
        return FALSE;
    if (NeedsPaint(*w) && CanDrawInto(*w)) {
        CallProcedure(hWnd, WM_PAINT, 0, 0);
        // What a window paints is on the screen when the call returns, not
        // only once its thread next waits for messages: a program busy
        // starting up shows its splash and main window this way.
        PresentDirtySurfaces();
    }
    return TRUE;
}

HDC BeginPaint(HWND hWnd, PAINTSTRUCT* lpPaint)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w || !lpPaint)
        return NULL;
    InputBeforePaint(hWnd);
    SendNcPaint(hWnd);
    if (!(w = PeekWindowRecord(hWnd)))
        return NULL;
    Region region = w->update;
    bool erase = w->erasePending;
    w->update = Region();
    w->internalPaint = false;
    HandOverToChildren(hWnd, region);
    if (!(w = PeekWindowRecord(hWnd)))
        return NULL;
    ++w->paintDepth;
    *lpPaint = PAINTSTRUCT{};
    HDC hdc = GetDC(hWnd);
    if (!hdc)
        return NULL;
    SelectUpdateClip(hdc, region);
    lpPaint->hdc = hdc;
    lpPaint->rcPaint = region.Bounds();
    if (erase) {
        if (Window* again = PeekWindowRecord(hWnd))
            again->erasePending = true;
        lpPaint->fErase = EraseNow(hWnd, hdc) ? FALSE : TRUE;
    }
    return hdc;
}

BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint)
{
    if (!lpPaint)
        return FALSE;
    if (Window* w = PeekWindowRecord(hWnd); w && w->paintDepth > 0)
        --w->paintDepth;
    if (lpPaint->hdc)
        ReleaseDC(hWnd, lpPaint->hdc);
    InputAfterPaint(hWnd);
    return TRUE;
}

BOOL LockWindowUpdate(HWND hWndLock)
{
    WindowSystem& ws = Ws();
    if (!hWndLock) {
        HWND was = ws.locked;
        ws.locked = NULL;
        if (was && IsWindow(was))
            RedrawWindow(was, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        return TRUE;
    }
    if (!FindWindowRecord(hWndLock))
        return FALSE;
    if (ws.locked && ws.locked != hWndLock)
        return FALSE;
    ws.locked = hWndLock;
    return TRUE;
}
