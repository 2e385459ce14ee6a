// Update regions, WM_PAINT and the painting calls.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiDefs.h"
#include "platform/gdi/internal/DeviceContext.h"
#include "platform/gdi/internal/GdiObjects.h"
#include "platform/ui/internal/InputEvents.h"
#include "platform/ui/internal/Paint.h"
#include "platform/ui/internal/Window.h"

#include <algorithm>
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

void ListForPaint(Window& w)
{
    if (w.paintListed || !NeedsPaint(w))
        return;
    w.paintListed = true;
    Ws().paintCandidates.push_back(w.handle);
}

// Drops the listed windows that have nothing left to paint; answers whether
// any window may still need painting.
bool AnyPaintCandidate(WindowSystem& ws)
{
    std::vector<HWND>& list = ws.paintCandidates;
    size_t kept = 0;
    for (HWND h : list) {
        Window* w = ws.windows.Get(reinterpret_cast<uint64_t>(h));
        if (!w)
            continue;
        if (NeedsPaint(*w))
            list[kept++] = h;
        else
            w->paintListed = false;
    }
    list.resize(kept);
    return kept != 0;
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

// What SelectClipRgn does with a copy of the region (window DCs are in
// device units), without a region object or the complexity no one reads:
// every paint comes this way.
void SelectUpdateClip(HDC hdc, const Region& region)
{
    if (DeviceContext* dc = LookupDc(hdc))
        dc->state.clip = region;
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
        ListForPaint(*w);
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

namespace {

// Whether the search through the window tree (top-level windows in Z order,
// parents before children) goes from the parent of hwnd down to it: hidden,
// redraw-off and locked windows hide their subtrees. Sets *pParent.
bool SearchEnters(WindowSystem& ws, HWND hwnd, HWND* pParent)
{
    Window* w = ws.windows.Get(reinterpret_cast<uint64_t>(hwnd));
    if (!w || !(w->style & WS_VISIBLE) || w->redrawDisabled || ws.locked == hwnd)
        return false;
    Window* parent = ws.windows.Get(reinterpret_cast<uint64_t>(w->parent));
    if (!parent || std::find(parent->children.begin(), parent->children.end(), hwnd) == parent->children.end())
        return false;
    *pParent = w->parent;
    return true;
}

// The search itself, for when many windows wait: parents before children,
// in Z order. `parentInFilter`: the parent is the filter or one of its
// children (IsChild follows WS_CHILD windows only).
HWND SearchPaint(WindowSystem& ws, HWND hwnd, HWND filter, bool parentInFilter)
{
    Window* w = ws.windows.Get(reinterpret_cast<uint64_t>(hwnd));
    if (!w || !(w->style & WS_VISIBLE) || w->redrawDisabled || ws.locked == hwnd)
        return NULL;
    const bool isChild = parentInFilter && (w->style & WS_CHILD);
    if (NeedsPaint(*w) && (!filter || hwnd == filter || isChild))
        return hwnd;
    const bool inFilter = filter && (hwnd == filter || isChild);
    for (HWND c : w->children)
        if (HWND found = SearchPaint(ws, c, filter, inFilter))
            return found;
    return NULL;
}

// Whether child a of `parent` comes before child b in Z order.
bool ZBefore(WindowSystem& ws, HWND parent, HWND a, HWND b)
{
    Window* p = ws.windows.Get(reinterpret_cast<uint64_t>(parent));
    if (!p)
        return false;
    for (HWND c : p->children) {
        if (c == a)
            return true;
        if (c == b)
            return false;
    }
    return false;
}

} // namespace

HWND FindWindowToPaint(HWND filter)
{
    WindowSystem& ws = Ws();
    // Every window with something to paint is a candidate, so the first in
    // search order among them is the first of the whole tree; a queue with
    // nothing to paint need not walk every window to learn that.
    if (!AnyPaintCandidate(ws))
        return NULL;
    // Comparing candidates two by two costs a Z-order scan each: when a
    // dialog full of controls waits, walking the tree once is cheaper.
    constexpr size_t kMostCandidates = 8;
    if (ws.paintCandidates.size() > kMostCandidates) {
        Window* desktop = ws.windows.Get(reinterpret_cast<uint64_t>(ws.desktop));
        if (!desktop)
            return NULL;
        for (HWND top : desktop->children)
            if (HWND found = SearchPaint(ws, top, filter, filter != NULL && filter == ws.desktop))
                return found;
        return NULL;
    }
    // The best so far with its ancestors up to its top-level window, all
    // reached by the search. Another candidate is walked up only until it
    // meets that chain, where one Z-order comparison settles which is first.
    static thread_local std::vector<HWND> bestChain;
    static thread_local std::vector<HWND> chain;
    bestChain.clear();
    HWND best = NULL;
    for (HWND h : ws.paintCandidates) {
        // The search starts below the desktop window.
        if (h == ws.desktop || (filter && h != filter && !IsChild(filter, h)))
            continue;
        chain.clear();
        size_t meet = bestChain.size();
        bool reached = true;
        for (HWND x = h; x != ws.desktop;) {
            if (best) {
                auto it = std::find(bestChain.begin(), bestChain.end(), x);
                if (it != bestChain.end()) {
                    meet = size_t(it - bestChain.begin());
                    break;
                }
            }
            HWND parent = NULL;
            if (!SearchEnters(ws, x, &parent)) {
                reached = false;
                break;
            }
            chain.push_back(x);
            x = parent;
        }
        if (!reached)
            continue;
        if (!best) {
            best = h;
            bestChain.swap(chain);
            continue;
        }
        bool first;
        if (meet == bestChain.size())
            first = ZBefore(ws, ws.desktop, chain.back(), bestChain.back()); // other top-level windows
        else if (chain.empty())
            first = true; // h is an ancestor of the best: parents come first
        else if (meet == 0)
            first = false; // the best is an ancestor of h
        else
            first = ZBefore(ws, bestChain[meet], chain.back(), bestChain[meet - 1]);
        if (first) {
            best = h;
            chain.insert(chain.end(), bestChain.begin() + std::ptrdiff_t(std::min(meet, bestChain.size())), bestChain.end());
            bestChain.swap(chain);
        }
    }
    return best;
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
