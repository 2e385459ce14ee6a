// Window surfaces: the pixels of top-level windows, what part of them a
// window DC may draw on, and presenting them through the back end.

#include "platform/base/Geometry.h"
#include "platform/gdi/Display.h"
#include "platform/gdi/PixelBuffer.h"
#include "platform/ui/internal/Driver.h"
#include "platform/ui/internal/Paint.h"
#include "platform/ui/internal/Window.h"

#include <algorithm>

namespace platform {

namespace {

bool UnderLock(const Window& w)
{
    HWND locked = Ws().locked;
    if (!locked)
        return false;
    for (const Window* cur = &w; cur; cur = PeekWindowRecord(cur->parent)) {
        if (cur->handle == locked)
            return true;
        if (IsTopLevel(*cur))
            break;
    }
    return false;
}

bool RedrawOff(const Window& w)
{
    for (const Window* cur = &w; cur && cur->handle != Ws().desktop; cur = PeekWindowRecord(cur->parent)) {
        if (cur->redrawDisabled)
            return true;
    }
    return false;
}

RECT Unite(const RECT& a, const RECT& b)
{
    if (a.right <= a.left || a.bottom <= a.top)
        return b;
    if (b.right <= b.left || b.bottom <= b.top)
        return a;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
        std::max(a.bottom, b.bottom)};
}

} // namespace

bool CanDrawInto(const Window& w)
{
    return IsVisibleChain(w) && !RedrawOff(w) && !UnderLock(w);
}

Region VisibleRegion(const Window& w, bool wholeWindow)
{
    if (!CanDrawInto(w))
        return Region();
    RECT base = wholeWindow ? w.windowRect : w.clientRect;
    Region area(base);
    HWND desktop = Ws().desktop;
    for (Window* a = PeekWindowRecord(w.parent); a && a->handle != desktop; a = PeekWindowRecord(a->parent))
        area = area.Intersect(a->clientRect);
    if (w.style & WS_CLIPCHILDREN) {
        for (HWND c : w.children) {
            Window* cw = PeekWindowRecord(c);
            if (cw && (cw->style & WS_VISIBLE))
                area = area.Subtract(Region(cw->windowRect));
        }
    }
    for (const Window* x = &w; x && !IsTopLevel(*x); x = PeekWindowRecord(x->parent)) {
        if (!(x->style & WS_CLIPSIBLINGS))
            continue;
        Window* parent = PeekWindowRecord(x->parent);
        if (!parent)
            break;
        for (HWND s : parent->children) {
            if (s == x->handle)
                break;
            Window* sw = PeekWindowRecord(s);
            if (sw && (sw->style & WS_VISIBLE))
                area = area.Subtract(Region(sw->windowRect));
        }
    }
    area.Offset(-base.left, -base.top);
    return area;
}

void SyncSurface(Window& top)
{
    int width = std::max(0, int(top.windowRect.right - top.windowRect.left));
    int height = std::max(0, int(top.windowRect.bottom - top.windowRect.top));
    if (!top.surface)
        top.surface = std::make_unique<PixelBuffer>();
    if (top.surface->width == width && top.surface->height == height)
        return;
    if (!top.surface->Allocate(width, height, 0x00FFFFFF))
        top.surface->Allocate(0, 0);
    top.surfaceDirty = RECT{0, 0, top.surface->width, top.surface->height};
}

void MarkSurfaceDirty(Window& top, const RECT& windowArea)
{
    top.surfaceDirty = Unite(top.surfaceDirty, windowArea);
}

void PresentDirtySurfaces()
{
    if (!HasDriver())
        return;
    Window* desktop = PeekWindowRecord(Ws().desktop);
    if (!desktop)
        return;
    std::vector<HWND> tops = desktop->children;
    for (HWND h : tops) {
        Window* w = PeekWindowRecord(h);
        if (!w || !w->surface || !(w->style & WS_VISIBLE))
            continue;
        RECT dirty = w->surfaceDirty;
        dirty.left = std::max<LONG>(dirty.left, 0);
        dirty.top = std::max<LONG>(dirty.top, 0);
        dirty.right = std::min<LONG>(dirty.right, w->surface->width);
        dirty.bottom = std::min<LONG>(dirty.bottom, w->surface->height);
        if (dirty.right <= dirty.left || dirty.bottom <= dirty.top)
            continue;
        w->surfaceDirty = RECT{0, 0, 0, 0};
        GetDriver().Present(h, *w->surface, dirty);
    }
}

void InstallSurfaceProvider()
{
    WindowSurfaceProvider provider;
    provider.acquire = [](HWND hwnd, bool wholeWindow, WindowSurface& out) -> bool {
        static Region visible;
        Window* w = PeekWindowRecord(hwnd);
        if (!w || hwnd == Ws().desktop)
            return false;
        Window* top = TopLevelOf(*w);
        if (!top || !top->surface)
            return false;
        const RECT& base = wholeWindow ? w->windowRect : w->clientRect;
        out.buffer = top->surface.get();
        out.origin = POINT{base.left - top->windowRect.left, base.top - top->windowRect.top};
        out.visible = RECT{0, 0, base.right - base.left, base.bottom - base.top};
        visible = VisibleRegion(*w, wholeWindow);
        out.visibleRegion = &visible;
        return true;
    };
    provider.released = [](HWND hwnd, bool) {
        Window* w = PeekWindowRecord(hwnd);
        if (!w)
            return;
        Window* top = TopLevelOf(*w);
        if (!top)
            return;
        RECT r = w->windowRect;
        OffsetRect(&r, -top->windowRect.left, -top->windowRect.top);
        MarkSurfaceDirty(*top, r);
    };
    SetWindowSurfaceProvider(std::move(provider));
}

} // namespace platform
