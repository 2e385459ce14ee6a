// Tiling, cascading and icon arrangement of MDI children.

#include "platform/ui/Mdi.h"
#include "platform/ui/internal/MdiClient.h"
#include "platform/ui/internal/Window.h"

#include <algorithm>
#include <cmath>

namespace platform {
namespace {

int IntSqrt(int n)
{
    int r = int(std::sqrt(double(n)));
    while (r * r > n)
        --r;
    while ((r + 1) * (r + 1) <= n)
        ++r;
    return r;
}

SIZE IconSpacing()
{
    return SIZE{GetSystemMetrics(SM_CXMINIMIZED) + 2, GetSystemMetrics(SM_CYMINIMIZED) + 2};
}

// The children to arrange, in Z order (top first): visible, not minimised,
// and enabled when disabled ones are skipped.
std::vector<HWND> ArrangedChildren(HWND client, UINT how, bool* anyIconic)
{
    std::vector<HWND> list;
    MdiClientState* st = FindMdiClient(client);
    Window* cw = PeekWindowRecord(client);
    if (!st || !cw)
        return list;
    for (HWND h : cw->children) {
        if (std::find(st->children.begin(), st->children.end(), h) == st->children.end() || !IsWindowVisible(h))
            continue;
        if (IsIconic(h)) {
            *anyIconic = true;
            continue;
        }
        if ((how & MDITILE_SKIPDISABLED) && !IsWindowEnabled(h))
            continue;
        list.push_back(h);
    }
    return list;
}

// Arranging starts from restored windows.
void RestoreMaximized(HWND client)
{
    MdiClientState* st = FindMdiClient(client);
    if (st && st->maximized && IsZoomed(st->maximized))
        ShowWindow(st->maximized, SW_RESTORE);
}

// The part of the client left for arranged windows: minimised children
// keep a row at the bottom.
RECT ArrangeArea(HWND client, bool anyIconic)
{
    RECT r{};
    GetClientRect(client, &r);
    if (anyIconic)
        r.bottom = std::max(r.top, r.bottom - IconSpacing().cy);
    return r;
}

void Place(HWND h, int x, int y, int cx, int cy)
{
    SetWindowPos(h, NULL, x, y, std::max(cx, 1), std::max(cy, 1), SWP_NOZORDER | SWP_NOACTIVATE);
}

// What tiling and cascading do first: restore a maximized child, park the
// iconic ones, and gather the windows to arrange with the area they may
// fill; false when there is nothing to arrange.
bool StartArrange(HWND client, UINT how, std::vector<HWND>& list, RECT& area)
{
    RestoreMaximized(client);
    bool anyIconic = false;
    list = ArrangedChildren(client, how, &anyIconic);
    if (anyIconic)
        MdiArrangeIcons(client);
    if (list.empty())
        return false;
    area = ArrangeArea(client, anyIconic);
    return true;
}

// Moving a window uncovers parts of the windows it lay over, their child
// windows included; the whole client repaints once the arrangement is done,
// so that nothing of the old places stays on screen.
void RepaintArranged(HWND client)
{
    RedrawWindow(client, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

} // namespace

BOOL MdiTile(HWND client, UINT how)
{
    std::vector<HWND> list;
    RECT area{};
    if (!StartArrange(client, how, list, area))
        return FALSE;
    int n = int(list.size());
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    // A grid of about sqrt(n) lines; the windows left over go one more to
    // each of the last lines. Vertical tiling puts the lines side by side
    // (windows beside each other), horizontal tiling stacks them.
    bool horizontal = (how & MDITILE_HORIZONTAL) != 0;
    int lineOrigin = horizontal ? area.top : area.left;
    int lineSpan = horizontal ? height : width;
    int itemOrigin = horizontal ? area.left : area.top;
    int itemSpan = horizontal ? width : height;
    int across = IntSqrt(n); // windows per line in the short direction
    int lines = n / across;
    int extra = n - across * lines;
    int index = 0;
    for (int line = 0; line < lines; ++line) {
        int inLine = across + (line >= lines - extra ? 1 : 0);
        for (int k = 0; k < inLine && index < n; ++k, ++index) {
            int l0 = lineOrigin + line * lineSpan / lines;
            int l1 = lineOrigin + (line + 1) * lineSpan / lines;
            int k0 = itemOrigin + k * itemSpan / inLine;
            int k1 = itemOrigin + (k + 1) * itemSpan / inLine;
            if (horizontal)
                Place(list[size_t(index)], k0, l0, k1 - k0, l1 - l0);
            else
                Place(list[size_t(index)], l0, k0, l1 - l0, k1 - k0);
        }
    }
    RepaintArranged(client);
    return TRUE;
}

BOOL MdiCascade(HWND client, UINT how)
{
    std::vector<HWND> list;
    RECT area{};
    if (!StartArrange(client, how, list, area))
        return FALSE;
    int n = int(list.size());
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    int step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
    // Every window has the same size; the bottom of the Z order starts at
    // the top-left corner so the active window ends on top, furthest in.
    // When the steps run out of room they start again at the corner.
    int cx = std::max(width - (n - 1) * step, width / 2);
    int cy = std::max(height - (n - 1) * step, height / 2);
    int slots = std::max(1, std::min((width - cx) / step, (height - cy) / step) + 1);
    for (int i = 0; i < n; ++i) {
        HWND h = list[size_t(n - 1 - i)];
        int k = i % slots;
        Place(h, area.left + k * step, area.top + k * step, cx, cy);
    }
    RepaintArranged(client);
    return TRUE;
}

POINT MdiIconSlot(HWND client, HWND child)
{
    RECT r{};
    GetClientRect(client, &r);
    SIZE space = IconSpacing();
    int perRow = std::max(1, int((r.right - r.left) / space.cx));
    std::vector<RECT> taken;
    if (MdiClientState* st = FindMdiClient(client)) {
        for (HWND h : st->children) {
            if (h == child || !IsIconic(h))
                continue;
            RECT wr{};
            GetWindowRect(h, &wr);
            MapWindowPoints(NULL, client, reinterpret_cast<POINT*>(&wr), 2);
            taken.push_back(wr);
        }
    }
    for (int slot = 0; slot < 1000; ++slot) {
        POINT p{(slot % perRow) * space.cx, r.bottom - (slot / perRow + 1) * space.cy};
        bool free = std::none_of(taken.begin(), taken.end(), [&](const RECT& t) { return t.left == p.x && t.top == p.y; });
        if (free)
            return p;
    }
    return POINT{0, r.bottom - space.cy};
}

void MdiArrangeIcons(HWND client)
{
    MdiClientState* st = FindMdiClient(client);
    Window* cw = PeekWindowRecord(client);
    if (!st || !cw)
        return;
    RECT r{};
    GetClientRect(client, &r);
    SIZE space = IconSpacing();
    int perRow = std::max(1, int((r.right - r.left) / space.cx));
    std::vector<HWND> icons;
    for (HWND h : st->children) {
        if (IsIconic(h))
            icons.push_back(h);
    }
    for (size_t i = 0; i < icons.size(); ++i) {
        int slot = int(i);
        POINT p{(slot % perRow) * space.cx, r.bottom - (slot / perRow + 1) * space.cy};
        if (Window* w = PeekWindowRecord(icons[i]))
            w->minPosition = p;
        SetWindowPos(icons[i], NULL, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

} // namespace platform
