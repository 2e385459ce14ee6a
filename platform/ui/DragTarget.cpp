// Windows registered for drags in progress, and the window a drag at a
// point goes to.

#include "platform/ui/DragTarget.h"

#include "platform/ui/User.h"
#include "platform/ui/internal/Window.h"

namespace platform {

namespace {

bool Contains(const RECT& r, POINT p)
{
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

HWND TopLevelAt(POINT screen)
{
    Window* desktop = PeekWindowRecord(Ws().desktop);
    if (!desktop)
        return NULL;
    for (HWND h : desktop->children) {
        Window* w = PeekWindowRecord(h);
        if (w && IsUsable(*w) && (w->style & WS_VISIBLE) && Contains(w->windowRect, screen))
            return h;
    }
    return NULL;
}

} // namespace

// The target lives in the window's record, so that it is forgotten with
// the window whatever way the window goes.
bool RegisterDragTarget(HWND hwnd, DragTarget* target)
{
    Window* w = PeekWindowRecord(hwnd);
    if (!w || !IsUsable(*w) || !target || hwnd == Ws().desktop)
        return false;
    if (w->dragTarget && w->dragTarget != target)
        return false;
    w->dragTarget = target;
    return true;
}

void RevokeDragTarget(HWND hwnd)
{
    if (Window* w = PeekWindowRecord(hwnd))
        w->dragTarget = nullptr;
}

DragTarget* RegisteredDragTarget(HWND hwnd)
{
    Window* w = PeekWindowRecord(hwnd);
    return w && IsUsable(*w) ? w->dragTarget : nullptr;
}

DragSite FindDragSite(HWND topLevel, POINT screen)
{
    Window* top = PeekWindowRecord(topLevel);
    if (!top || !IsTopLevel(*top) || !Contains(top->windowRect, screen))
        topLevel = TopLevelAt(screen);
    HWND hwnd = topLevel ? DeepestEnabledWindowAt(topLevel, screen, true) : NULL;
    while (hwnd) {
        Window* w = PeekWindowRecord(hwnd);
        if (!w || hwnd == Ws().desktop)
            break;
        if (w->dragTarget)
            return DragSite{hwnd, w->dragTarget};
        if (w->exStyle & WS_EX_ACCEPTFILES)
            return DragSite{hwnd, nullptr};
        if (w->exStyle & WS_EX_MDICHILD)
            break;
        hwnd = w->parent;
    }
    return DragSite{};
}

} // namespace platform
