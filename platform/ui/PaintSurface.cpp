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

namespace {

bool SameRects(const std::vector<RECT>& a, const std::vector<RECT>& b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](const RECT& x, const RECT& y) {
               return x.left == y.left && x.top == y.top && x.right == y.right && x.bottom == y.bottom;
           });
}

bool Overlaps(const RECT& a, const RECT& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// A rectangle as a region takes it: corners in either order.
RECT Ordered(const RECT& r)
{
    return RECT{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
        std::max(r.top, r.bottom)};
}

// What the visible region of w is made of, in screen coordinates: first
// the base rectangle (window or client) limited by every ancestor's client
// area, which stays one rectangle; then w's origin; then every clipped
// child and sibling rectangle that reaches into the first. The region is a
// function of these alone, so equal lists give equal regions.
void GatherVisibleInputs(const Window& w, bool wholeWindow, std::vector<RECT>& out)
{
    out.clear();
    const RECT base = wholeWindow ? w.windowRect : w.clientRect;
    RECT area = Ordered(base);
    HWND desktop = Ws().desktop;
    for (Window* a = PeekWindowRecord(w.parent); a && a->handle != desktop; a = PeekWindowRecord(a->parent)) {
        const RECT limit = Ordered(a->clientRect);
        area.left = std::max(area.left, limit.left);
        area.top = std::max(area.top, limit.top);
        area.right = std::min(area.right, limit.right);
        area.bottom = std::min(area.bottom, limit.bottom);
    }
    if (area.right <= area.left || area.bottom <= area.top)
        area = RECT{0, 0, 0, 0};
    out.push_back(area);
    out.push_back(RECT{base.left, base.top, 0, 0});
    if (area.right == area.left)
        return;
    if (w.style & WS_CLIPCHILDREN) {
        for (HWND c : w.children) {
            Window* cw = PeekWindowRecord(c);
            if (cw && (cw->style & WS_VISIBLE) && Overlaps(Ordered(cw->windowRect), area))
                out.push_back(Ordered(cw->windowRect));
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
            if (sw && (sw->style & WS_VISIBLE) && Overlaps(Ordered(sw->windowRect), area))
                out.push_back(Ordered(sw->windowRect));
        }
    }
}

Region RegionFromInputs(const std::vector<RECT>& inputs)
{
    Region area(inputs[0]);
    for (size_t i = 2; i < inputs.size() && !area.IsEmpty(); ++i)
        area = area.Subtract(Region(inputs[i]));
    area.Offset(-inputs[1].left, -inputs[1].top);
    return area;
}

} // namespace

Region VisibleRegion(const Window& w, bool wholeWindow)
{
    return VisibleRegionRef(w, wholeWindow);
}

const Region& VisibleRegionRef(const Window& w, bool wholeWindow)
{
    static const Region none;
    if (!CanDrawInto(w))
        return none;
    static std::vector<RECT> inputs;
    GatherVisibleInputs(w, wholeWindow, inputs);
    Window::VisibleCache& cache = const_cast<Window&>(w).visibleCache[wholeWindow ? 1 : 0];
    if (!cache.valid || !SameRects(cache.inputs, inputs)) {
        cache.region = RegionFromInputs(inputs);
        cache.inputs = inputs;
        cache.valid = true;
    }
    return cache.region;
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
        // The region lives in w's record, which no drawing call destroys.
        out.visibleRegion = &VisibleRegionRef(*w, wholeWindow);
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
