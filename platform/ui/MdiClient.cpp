// The "MDIClient" window: children, activation, the window-menu list and
// the frame title of a maximised child.

#include "platform/ui/Mdi.h"
#include "platform/ui/internal/MdiClient.h"
#include "platform/ui/internal/Window.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>

namespace platform {
namespace {

// The window menu lists at most this many children.
constexpr size_t kMaxListed = 9;

std::map<HWND, std::unique_ptr<MdiClientState>>& Clients()
{
    static std::map<HWND, std::unique_ptr<MdiClientState>> clients;
    return clients;
}

// Handles never come back once their window is gone, so a state whose
// client died without WM_NCDESTROY (a reset of the window system) is only
// garbage; it is dropped whenever a new client starts.
void DropDeadClients()
{
    auto& clients = Clients();
    for (auto it = clients.begin(); it != clients.end();) {
        if (!PeekWindowRecord(it->first))
            it = clients.erase(it);
        else
            ++it;
    }
}

// Drops children that died without telling the client.
void Prune(MdiClientState& st)
{
    auto dead = [](HWND h) { return !PeekWindowRecord(h); };
    st.children.erase(std::remove_if(st.children.begin(), st.children.end(), dead), st.children.end());
    if (st.active && dead(st.active))
        st.active = NULL;
    if (st.maximized && dead(st.maximized))
        st.maximized = NULL;
}

void RenumberChildren(const MdiClientState& st)
{
    for (size_t i = 0; i < st.children.size(); ++i) {
        if (Window* w = PeekWindowRecord(st.children[i]))
            w->id = LONG_PTR(st.idFirstChild + i);
    }
}

bool IsOurChild(const MdiClientState& st, HWND child)
{
    return child && std::find(st.children.begin(), st.children.end(), child) != st.children.end();
}

SIZE ClientSize(HWND client)
{
    RECT r{};
    GetClientRect(client, &r);
    return SIZE{r.right, r.bottom};
}

// Remove the list items (ids idFirstChild up) and the separator before them.
void RemoveWindowList(MdiClientState& st)
{
    HMENU menu = st.windowMenu;
    if (!menu || !IsMenu(menu)) {
        st.listSeparatorAdded = false;
        return;
    }
    for (size_t i = 0; i <= kMaxListed; ++i)
        DeleteMenu(menu, UINT(st.idFirstChild + i), MF_BYCOMMAND);
    if (st.listSeparatorAdded) {
        int count = GetMenuItemCount(menu);
        if (count > 0 && (GetMenuState(menu, UINT(count - 1), MF_BYPOSITION) & MF_SEPARATOR))
            DeleteMenu(menu, UINT(count - 1), MF_BYPOSITION);
        st.listSeparatorAdded = false;
    }
}

void AddWindowList(MdiClientState& st)
{
    HMENU menu = st.windowMenu;
    if (!menu || !IsMenu(menu) || st.children.empty())
        return;
    AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
    st.listSeparatorAdded = true;
    for (size_t i = 0; i < st.children.size() && i < kMaxListed; ++i) {
        char title[256] = {};
        GetWindowText(st.children[i], title, int(sizeof title));
        char label[300];
        std::snprintf(label, sizeof label, "&%u %s", unsigned(i + 1), title);
        UINT flags = MF_STRING | (st.children[i] == st.active ? MF_CHECKED : MF_UNCHECKED);
        AppendMenu(menu, flags, st.idFirstChild + i, label);
    }
}

POINT DefaultSlotPosition(int slot)
{
    int step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
    return POINT{slot * step, slot * step};
}

// The first place of the cascade where no child's restored top-left corner
// lies.
int FirstFreeSlot(const MdiClientState& st)
{
    std::vector<POINT> held;
    for (HWND child : st.children) {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        if (IsWindow(child) && GetWindowPlacement(child, &placement))
            held.push_back(POINT{placement.rcNormalPosition.left, placement.rcNormalPosition.top});
    }
    for (int slot = 0;; ++slot) {
        POINT p = DefaultSlotPosition(slot);
        bool taken = false;
        for (const POINT& h : held)
            taken = taken || (h.x == p.x && h.y == p.y);
        if (!taken)
            return slot;
    }
}

// The styles every MDI child has, whatever it asked for, unless the client
// has MDIS_ALLCHILDSTYLES.
constexpr DWORD kForcedChildStyle
    = WS_CHILD | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr DWORD kKeptChildStyle = WS_MINIMIZE | WS_MAXIMIZE | WS_HSCROLL | WS_VSCROLL | WS_DISABLED;

// A document window's system menu names its own close key and offers the
// next document window.
void AddChildSystemItems(HWND child)
{
    HMENU system = GetSystemMenu(child, FALSE);
    if (!system)
        return;
    ModifyMenu(system, SC_CLOSE, MF_BYCOMMAND | MF_STRING, SC_CLOSE, "&Close\tCtrl+F4");
    AppendMenu(system, MF_SEPARATOR, 0, nullptr);
    AppendMenu(system, MF_STRING, SC_NEXTWINDOW, "Nex&t\tCtrl+F6");
}

HWND CreateChild(HWND client, const MDICREATESTRUCT* mcs)
{
    MdiClientState* st = FindMdiClient(client);
    if (!st || !mcs || !mcs->szClass) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    Prune(*st);
    DWORD asked = mcs->style;
    DWORD style = (st->style & MDIS_ALLCHILDSTYLES) ? (asked | WS_CHILD) : (kForcedChildStyle | (asked & kKeptChildStyle));
    // A child asked for hidden stays hidden and inactive until its owner
    // shows and activates it.
    bool visible = (asked & WS_VISIBLE) != 0;
    bool maximize = (asked & WS_MAXIMIZE) != 0;
    bool minimize = (asked & WS_MINIMIZE) != 0 && !maximize;
    // A child opened while the active one is maximised opens maximised too.
    HWND previous = st->active;
    if (visible && previous && IsZoomed(previous))
        maximize = true, minimize = false;
    style &= ~(WS_VISIBLE | WS_MAXIMIZE | WS_MINIMIZE);

    SIZE area = ClientSize(client);
    int x = mcs->x;
    int y = mcs->y;
    int cx = mcs->cx;
    int cy = mcs->cy;
    if (cx == CW_USEDEFAULT) {
        cx = area.cx * 3 / 4;
        cy = area.cy * 3 / 4;
    }
    if (x == CW_USEDEFAULT) {
        // Defaults cascade down from the top-left corner: a new window takes
        // the first place of the cascade that no window holds, so a window
        // opened after one was closed takes its place. When every place
        // that fits is held, the cascade goes round again.
        int fitting = 1;
        for (POINT q = DefaultSlotPosition(fitting); q.x + cx <= area.cx && q.y + cy <= area.cy && fitting < 1000;
             q = DefaultSlotPosition(fitting))
            ++fitting;
        int slot = FirstFreeSlot(*st);
        if (slot >= fitting)
            slot = int(st->children.size() % size_t(fitting));
        POINT p = DefaultSlotPosition(slot);
        x = p.x;
        y = p.y;
    }

    UINT id = UINT(st->idFirstChild + st->children.size());
    MDICREATESTRUCT copy = *mcs;
    HWND child = CreateWindowEx(WS_EX_MDICHILD, mcs->szClass, mcs->szTitle, style, x, y, cx, cy, client,
        (HMENU)(UINT_PTR)id, (HINSTANCE)mcs->hOwner, &copy);
    if (!child)
        return NULL;
    st = FindMdiClient(client);
    if (!st || !IsWindow(child))
        return NULL;
    st->children.push_back(child);
    RenumberChildren(*st);
    MdiRefreshWindowList(client);
    AddChildSystemItems(child);

    if (!visible)
        return child;
    if (maximize) {
        ShowWindow(child, SW_SHOWMAXIMIZED);
    } else if (minimize) {
        if (Window* w = PeekWindowRecord(child))
            w->minPosition = MdiIconSlot(client, child);
        ShowWindow(child, SW_SHOWMINNOACTIVE);
    } else {
        ShowWindow(child, SW_SHOWNOACTIVATE);
    }
    if (IsWindow(child))
        MdiActivate(client, child);
    return IsWindow(child) ? child : NULL;
}

void SetFrameText(HWND frame, const std::string& text)
{
    // Straight to the default handling: the frame's own procedure would take
    // the composed text for its title.
    DefWindowProc(frame, WM_SETTEXT, 0, LPARAM(text.c_str()));
}

HMENU SetMenus(HWND client, HMENU frameMenu, HMENU windowMenu)
{
    MdiClientState* st = FindMdiClient(client);
    if (!st)
        return NULL;
    HWND frame = st->frame;
    HMENU old = GetMenu(frame);
    if (windowMenu || frameMenu)
        RemoveWindowList(*st);
    if (frameMenu) {
        MdiRemoveMaximizedButtons(client);
        if (!(st = FindMdiClient(client)))
            return old;
        if (frameMenu != old)
            SetMenu(frame, frameMenu);
        if (!(st = FindMdiClient(client)))
            return old;
    }
    if (windowMenu)
        st->windowMenu = windowMenu;
    MdiRefreshWindowList(client);
    if (frameMenu && (st = FindMdiClient(client)) && st->maximized)
        MdiAddMaximizedButtons(client);
    DrawMenuBar(frame);
    return old;
}

LRESULT CALLBACK MdiClientProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE: {
        DropDeadClients();
        auto st = std::make_unique<MdiClientState>();
        st->client = hwnd;
        st->frame = GetParent(hwnd);
        if (const auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam)) {
            st->style = DWORD(cs->style);
            if (const auto* ccs = static_cast<const CLIENTCREATESTRUCT*>(cs->lpCreateParams)) {
                st->windowMenu = ccs->hWindowMenu;
                st->idFirstChild = ccs->idFirstChild;
            }
        }
        Clients()[hwnd] = std::move(st);
        return 0;
    }
    case WM_DESTROY:
        if (MdiClientState* st = FindMdiClient(hwnd)) {
            st->closing = true;
            RemoveWindowList(*st);
            MdiRemoveMaximizedButtons(hwnd);
        }
        break;
    case WM_NCDESTROY:
        Clients().erase(hwnd);
        break;
    case WM_MDICREATE:
        return LRESULT(CreateChild(hwnd, reinterpret_cast<const MDICREATESTRUCT*>(lParam)));
    case WM_MDIDESTROY:
        MdiDestroyChild(hwnd, HWND(wParam));
        return 0;
    case WM_MDIACTIVATE:
        MdiActivate(hwnd, HWND(wParam));
        return 0;
    case WM_MDIGETACTIVE: {
        MdiClientState* st = FindMdiClient(hwnd);
        if (st)
            Prune(*st);
        HWND active = st ? st->active : NULL;
        if (BOOL* maximized = reinterpret_cast<BOOL*>(lParam))
            *maximized = active && IsZoomed(active);
        return LRESULT(active);
    }
    case WM_MDINEXT:
        MdiNext(hwnd, HWND(wParam), lParam != 0);
        return 0;
    case WM_MDIMAXIMIZE: {
        MdiClientState* st = FindMdiClient(hwnd);
        HWND child = HWND(wParam);
        if (st && IsOurChild(*st, child) && !IsZoomed(child))
            SendMessage(child, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        return 0;
    }
    case WM_MDIRESTORE: {
        MdiClientState* st = FindMdiClient(hwnd);
        HWND child = HWND(wParam);
        if (st && IsOurChild(*st, child) && (IsZoomed(child) || IsIconic(child)))
            SendMessage(child, WM_SYSCOMMAND, SC_RESTORE, 0);
        return 0;
    }
    case WM_MDITILE:
        return MdiTile(hwnd, UINT(wParam));
    case WM_MDICASCADE:
        return MdiCascade(hwnd, UINT(wParam));
    case WM_MDIICONARRANGE:
        MdiArrangeIcons(hwnd);
        return 0;
    case WM_MDISETMENU:
        return LRESULT(SetMenus(hwnd, HMENU(wParam), HMENU(lParam)));
    case WM_MDIREFRESHMENU: {
        MdiClientState* st = FindMdiClient(hwnd);
        if (!st)
            return 0;
        HWND frame = st->frame;
        RemoveWindowList(*st);
        MdiRefreshWindowList(hwnd);
        DrawMenuBar(frame);
        return LRESULT(GetMenu(frame));
    }
    case WM_SIZE: {
        // A maximised child keeps filling the client.
        MdiClientState* st = FindMdiClient(hwnd);
        if (st && st->maximized && IsZoomed(st->maximized)) {
            HWND child = st->maximized;
            RECT r = MdiMaximizedRect(hwnd, child);
            SetWindowPos(child, NULL, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
        }
        // Title bars of minimised children stay along the bottom, where
        // the frame's new size put it.
        st = FindMdiClient(hwnd);
        if (st && wParam != SIZE_MINIMIZED && std::any_of(st->children.begin(), st->children.end(), IsIconic))
            MdiArrangeIcons(hwnd);
        break;
    }
    case WM_SETFOCUS: {
        MdiClientState* st = FindMdiClient(hwnd);
        if (st && st->active && !IsIconic(st->active)) {
            SetFocus(st->active);
            return 0;
        }
        break;
    }
    default:
        break;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

} // namespace

MdiClientState* FindMdiClient(HWND client)
{
    auto& clients = Clients();
    auto it = clients.find(client);
    if (it == clients.end() || !PeekWindowRecord(client))
        return nullptr;
    return it->second.get();
}

MdiClientState* MdiClientOfChild(HWND child)
{
    Window* w = PeekWindowRecord(child);
    if (!w)
        return nullptr;
    MdiClientState* st = FindMdiClient(w->parent);
    return st && IsOurChild(*st, child) ? st : nullptr;
}

void InstallMdiClientClass()
{
    SetBuiltInClassProc("MDIClient", MdiClientProc);
}

void MdiActivate(HWND client, HWND child)
{
    MdiClientState* st = FindMdiClient(client);
    if (!st)
        return;
    Prune(*st);
    if (child && !IsOurChild(*st, child))
        return;
    HWND old = st->active;
    if (old == child)
        return;
    HWND frame = st->frame;
    bool wasMaximized = old && IsZoomed(old);
    st->active = child;

    if (old)
        SendMessage(old, WM_NCACTIVATE, FALSE, 0);
    if (child) {
        SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        // Maximised children take turns: the new one is maximised before the
        // old one is restored behind it, so the frame never shows a gap.
        if (wasMaximized && IsWindow(child)) {
            if (!IsZoomed(child))
                ShowWindow(child, SW_SHOWMAXIMIZED);
            if (IsWindow(old) && IsZoomed(old))
                ShowWindow(old, SW_RESTORE);
        }
    }
    if (IsWindow(old))
        SendMessage(old, WM_MDIACTIVATE, WPARAM(old), LPARAM(child));
    if (child && IsWindow(child)) {
        SendMessage(child, WM_NCACTIVATE, TRUE, 0);
        SendMessage(child, WM_MDIACTIVATE, WPARAM(old), LPARAM(child));
    }
    if (!FindMdiClient(client))
        return;
    MdiRefreshWindowList(client);
    // The keyboard follows the active child while the frame is active.
    if (child && IsWindow(child) && frame && GetActiveWindow() == frame) {
        HWND focus = GetFocus();
        if (focus != child && (!focus || !IsChild(child, focus)))
            SetFocus(child);
    }
}

void MdiDestroyChild(HWND client, HWND child)
{
    MdiClientState* st = FindMdiClient(client);
    if (!st || !IsOurChild(*st, child))
        return;
    Prune(*st);
    if (!st->closing && st->active == child) {
        // The next child in Z order takes over; with none left the child is
        // told it lost activation to nothing.
        HWND next = NULL;
        if (Window* cw = PeekWindowRecord(client)) {
            for (HWND h : cw->children) {
                if (h != child && IsOurChild(*st, h) && IsWindowVisible(h)) {
                    next = h;
                    break;
                }
            }
        }
        if (next) {
            MdiActivate(client, next);
        } else {
            st->active = NULL;
            SendMessage(child, WM_NCACTIVATE, FALSE, 0);
            SendMessage(child, WM_MDIACTIVATE, WPARAM(child), 0);
        }
        if (!(st = FindMdiClient(client)))
            return;
    }
    auto it = std::find(st->children.begin(), st->children.end(), child);
    if (it != st->children.end()) {
        RemoveWindowList(*st);
        st->children.erase(it);
        if (st->active == child)
            st->active = NULL;
        RenumberChildren(*st);
        bool wasMaximized = st->maximized == child;
        if (wasMaximized) {
            st->maximized = NULL;
            MdiRemoveMaximizedButtons(client);
            MdiUpdateFrameTitle(client);
        }
        MdiRefreshWindowList(client);
        if ((st = FindMdiClient(client)) && st->frame)
            DrawMenuBar(st->frame);
    }
    if (IsWindow(child))
        DestroyWindow(child);
}

void MdiNext(HWND client, HWND child, bool previous)
{
    MdiClientState* st = FindMdiClient(client);
    if (!st)
        return;
    Prune(*st);
    if (!child)
        child = st->active;
    Window* cw = PeekWindowRecord(client);
    if (!cw || !child)
        return;
    // Z order (top first) of the usable children.
    std::vector<HWND> order;
    for (HWND h : cw->children) {
        if (IsOurChild(*st, h) && IsWindowVisible(h) && IsWindowEnabled(h))
            order.push_back(h);
    }
    auto at = std::find(order.begin(), order.end(), child);
    if (order.size() < 2 || at == order.end())
        return;
    HWND target;
    if (previous) {
        target = order.back();
    } else {
        ++at;
        target = at == order.end() ? order.front() : *at;
    }
    MdiActivate(client, target);
    // Going forward sends the old window to the back, so repeating the step
    // visits every child once before coming round again.
    if (!previous && IsWindow(child))
        SetWindowPos(child, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void MdiChildSizeStateChanged(HWND client, HWND child, bool maximized)
{
    MdiClientState* st = FindMdiClient(client);
    if (!st || !IsOurChild(*st, child))
        return;
    if (maximized) {
        if (st->maximized == child)
            return;
        if (!st->frameTitleKnown && st->frame) {
            char text[512] = {};
            GetWindowText(st->frame, text, int(sizeof text));
            st->frameTitle = text;
            st->frameTitleKnown = true;
        }
        MdiRemoveMaximizedButtons(client);
        if (!(st = FindMdiClient(client)))
            return;
        st->maximized = child;
        MdiAddMaximizedButtons(client);
        MdiUpdateFrameTitle(client);
    } else {
        if (st->maximized != child)
            return;
        st->maximized = NULL;
        MdiRemoveMaximizedButtons(client);
        MdiUpdateFrameTitle(client);
    }
    if ((st = FindMdiClient(client)) && st->frame)
        DrawMenuBar(st->frame);
}

void MdiRefreshWindowList(HWND client)
{
    MdiClientState* st = FindMdiClient(client);
    if (!st || st->closing)
        return;
    Prune(*st);
    RemoveWindowList(*st);
    AddWindowList(*st);
}

void MdiUpdateFrameTitle(HWND client)
{
    MdiClientState* st = FindMdiClient(client);
    if (!st || !st->frame || !st->frameTitleKnown)
        return;
    std::string text = st->frameTitle;
    if (st->maximized && IsWindow(st->maximized)) {
        char child[256] = {};
        GetWindowText(st->maximized, child, int(sizeof child));
        if (child[0]) {
            text += text.empty() ? "[" : " - [";
            text += child;
            text += "]";
        }
    }
    SetFrameText(st->frame, text);
}

RECT MdiMaximizedRect(HWND client, HWND child)
{
    SIZE area = ClientSize(client);
    RECT r{0, 0, area.cx, area.cy};
    if (Window* w = PeekWindowRecord(child))
        AdjustWindowRectEx(&r, w->style & ~(WS_MAXIMIZE | WS_MINIMIZE), FALSE, w->exStyle);
    return r;
}

} // namespace platform

using namespace platform;

HWND CreateMDIWindow(LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X, int Y, int nWidth,
    int nHeight, HWND hWndParent, HINSTANCE hInstance, LPARAM lParam)
{
    if (!FindMdiClient(hWndParent)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return NULL;
    }
    MDICREATESTRUCT mcs{};
    mcs.szClass = lpClassName;
    mcs.szTitle = lpWindowName;
    mcs.hOwner = HANDLE(hInstance);
    mcs.x = X;
    mcs.y = Y;
    mcs.cx = nWidth;
    mcs.cy = nHeight;
    mcs.style = dwStyle;
    mcs.lParam = lParam;
    return HWND(SendMessage(hWndParent, WM_MDICREATE, 0, LPARAM(&mcs)));
}
