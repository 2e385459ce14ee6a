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

bool TakesInput(const Window* w)
{
    return w && IsUsable(*w) && (w->style & WS_VISIBLE) && !(w->style & WS_DISABLED);
}

// The deepest visible, enabled window under the point, as the pointer
// would find it; NULL when the top-level window itself takes no input (a
// modal dialog is up).
HWND DeepestUnder(HWND topLevel, POINT screen)
{
    if (!TakesInput(PeekWindowRecord(topLevel)))
        return NULL;
    HWND found = topLevel;
    for (;;) {
        Window* current = PeekWindowRecord(found);
        if (!current || !Contains(current->clientRect, screen))
            return found;
        HWND next = NULL;
        for (HWND c : current->children) {
            Window* cw = PeekWindowRecord(c);
            if (TakesInput(cw) && !(cw->exStyle & WS_EX_TRANSPARENT) && Contains(cw->windowRect, screen)) {
                next = c;
                break;
            }
        }
        if (!next)
            return found;
        found = next;
    }
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
    HWND hwnd = topLevel ? DeepestUnder(topLevel, screen) : NULL;
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
