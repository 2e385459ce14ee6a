// The maximised MDI child's system menu and its minimise, restore and close
// buttons in the frame's menu bar. A maximised child has no caption of its
// own, so the frame's bar carries them: the child's icon first (a popup
// with the child's system commands) and the three buttons at the right
// end. Their choices reach the frame as WM_COMMAND with SC_* ids, which
// DefFrameProc hands to the child as WM_SYSCOMMAND.

#include "platform/gdi/Gdi.h"
#include "platform/ui/Mdi.h"
#include "platform/ui/internal/MdiClient.h"
#include "platform/ui/internal/MenuBar.h"
#include "platform/ui/internal/Window.h"

#include <algorithm>
#include <functional>

namespace platform {
namespace {

enum class Glyph {
    Minimize,
    Restore,
    Close,
};

HBITMAP MakeBitmap(int cx, int cy, const std::function<void(HDC)>& draw)
{
    HDC dc = CreateCompatibleDC(NULL);
    if (!dc)
        return NULL;
    HBITMAP bitmap = CreateBitmap(cx, cy, 1, 32, nullptr);
    if (bitmap) {
        HGDIOBJ old = SelectObject(dc, bitmap);
        draw(dc);
        SelectObject(dc, old);
    }
    DeleteDC(dc);
    return bitmap;
}

void Dot(HDC dc, int x, int y, int w, int h, HBRUSH brush)
{
    RECT r{x, y, x + w, y + h};
    FillRect(dc, &r, brush);
}

HBITMAP MakeButton(Glyph glyph)
{
    int cx = std::max(8, GetSystemMetrics(SM_CXMENUSIZE) - 2);
    int cy = std::max(8, GetSystemMetrics(SM_CYMENUSIZE) - 4);
    return MakeBitmap(cx, cy, [&](HDC dc) {
        RECT r{0, 0, cx, cy};
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
        HBRUSH ink = GetSysColorBrush(COLOR_BTNTEXT);
        int gx = cx / 2 - 4;
        int gy = cy / 2 - 4;
        switch (glyph) {
        case Glyph::Minimize:
            Dot(dc, gx + 1, gy + 6, 6, 2, ink);
            break;
        case Glyph::Restore:
            // Two overlapping windows.
            Dot(dc, gx + 2, gy, 6, 2, ink);
            Dot(dc, gx + 7, gy, 1, 5, ink);
            Dot(dc, gx, gy + 3, 6, 2, ink);
            Dot(dc, gx, gy + 3, 1, 5, ink);
            Dot(dc, gx + 5, gy + 3, 1, 5, ink);
            Dot(dc, gx, gy + 7, 6, 1, ink);
            break;
        case Glyph::Close:
            for (int i = 0; i < 7; ++i) {
                Dot(dc, gx + i, gy + i, 2, 1, ink);
                Dot(dc, gx + 6 - i, gy + i, 2, 1, ink);
            }
            break;
        }
    });
}

HICON IconOf(HWND child)
{
    HICON icon = HICON(SendMessage(child, WM_GETICON, ICON_SMALL, 0));
    if (!icon)
        icon = HICON(SendMessage(child, WM_GETICON, ICON_BIG, 0));
    if (!icon)
        icon = HICON(GetClassLongPtr(child, GCLP_HICONSM));
    if (!icon)
        icon = HICON(GetClassLongPtr(child, GCLP_HICON));
    return icon;
}

HBITMAP MakeSystemIcon(HWND child)
{
    int cx = GetSystemMetrics(SM_CXSMICON);
    int cy = GetSystemMetrics(SM_CYSMICON);
    HICON icon = IconOf(child);
    return MakeBitmap(cx, cy, [&](HDC dc) {
        RECT r{0, 0, cx, cy};
        FillRect(dc, &r, GetSysColorBrush(COLOR_MENU));
        if (icon) {
            DrawIconEx(dc, 0, 0, icon, cx, cy, 0, NULL, DI_NORMAL);
            return;
        }
        // Without an icon: a plain page.
        RECT page{2, 1, cx - 3, cy - 1};
        FillRect(dc, &page, GetSysColorBrush(COLOR_WINDOW));
        FrameRect(dc, &page, GetSysColorBrush(COLOR_WINDOWTEXT));
    });
}

// The child's system commands, as a popup of the frame's bar. A copy, so
// the child's own system menu keeps a single owner.
HMENU MakeSystemPopup(HWND child)
{
    HMENU popup = CreatePopupMenu();
    if (!popup)
        return NULL;
    HMENU system = GetSystemMenu(child, FALSE);
    int count = system ? GetMenuItemCount(system) : 0;
    for (int i = 0; i < count; ++i) {
        UINT state = GetMenuState(system, UINT(i), MF_BYPOSITION);
        if (state & MF_SEPARATOR) {
            AppendMenu(popup, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        if (GetSubMenu(system, i))
            continue;
        char text[128] = {};
        GetMenuString(system, UINT(i), text, int(sizeof text), MF_BYPOSITION);
        AppendMenu(popup, MF_STRING | (state & (MF_GRAYED | MF_DISABLED | MF_CHECKED)), GetMenuItemID(system, i), text);
    }
    if (count > 0)
        UpdateSystemMenu(child, popup);
    if (count <= 0) {
        AppendMenu(popup, MF_STRING, SC_RESTORE, "&Restore");
        AppendMenu(popup, MF_STRING, SC_MINIMIZE, "Mi&nimize");
        AppendMenu(popup, MF_STRING, SC_CLOSE, "&Close\tCtrl+F4");
        AppendMenu(popup, MF_SEPARATOR, 0, nullptr);
        AppendMenu(popup, MF_STRING, SC_NEXTWINDOW, "Nex&t\tCtrl+F6");
    }
    return popup;
}

bool IsButtonId(UINT id)
{
    return id == SC_MINIMIZE || id == SC_RESTORE || id == SC_CLOSE;
}

} // namespace

void MdiAddMaximizedButtons(HWND client)
{
    MdiClientState* st = FindMdiClient(client);
    if (!st || st->closing || !st->maximized || !st->frame || st->decoratedMenu)
        return;
    HWND child = st->maximized;
    HMENU bar = GetMenu(st->frame);
    if (!bar || !IsMenu(bar))
        return;
    HMENU popup = MakeSystemPopup(child);
    HBITMAP icon = MakeSystemIcon(child);
    HBITMAP minimize = MakeButton(Glyph::Minimize);
    HBITMAP restore = MakeButton(Glyph::Restore);
    HBITMAP close = MakeButton(Glyph::Close);
    if (!(st = FindMdiClient(client)))
        return;
    st->decoratedMenu = bar;
    st->decorationSysMenu = popup;
    st->decorationBitmaps = {icon, minimize, restore, close};
    if (popup && icon)
        InsertMenu(bar, 0, MF_BYPOSITION | MF_POPUP | MF_BITMAP, UINT_PTR(popup), reinterpret_cast<LPCSTR>(icon));
    if (minimize && (GetWindowLongPtr(child, GWL_STYLE) & WS_MINIMIZEBOX))
        AppendMenu(bar, MF_BITMAP | MF_HELP, SC_MINIMIZE, reinterpret_cast<LPCSTR>(minimize));
    if (restore)
        AppendMenu(bar, MF_BITMAP | MF_HELP, SC_RESTORE, reinterpret_cast<LPCSTR>(restore));
    if (close)
        AppendMenu(bar, MF_BITMAP | MF_HELP, SC_CLOSE, reinterpret_cast<LPCSTR>(close));
}

void MdiRemoveMaximizedButtons(HWND client)
{
    MdiClientState* st = FindMdiClient(client);
    if (!st || !st->decoratedMenu)
        return;
    HMENU bar = st->decoratedMenu;
    HMENU popup = st->decorationSysMenu;
    if (IsMenu(bar)) {
        for (int i = GetMenuItemCount(bar) - 1; i >= 0; --i) {
            HMENU sub = GetSubMenu(bar, i);
            if (popup && sub == popup) {
                RemoveMenu(bar, UINT(i), MF_BYPOSITION);
                continue;
            }
            if (!sub && IsButtonId(GetMenuItemID(bar, i)) && (GetMenuState(bar, UINT(i), MF_BYPOSITION) & MF_BITMAP))
                RemoveMenu(bar, UINT(i), MF_BYPOSITION);
        }
    }
    if (popup && IsMenu(popup))
        DestroyMenu(popup);
    for (HBITMAP b : st->decorationBitmaps) {
        if (b)
            DeleteObject(b);
    }
    st->decorationBitmaps.clear();
    st->decoratedMenu = NULL;
    st->decorationSysMenu = NULL;
}

} // namespace platform
