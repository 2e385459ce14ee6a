// Menu tracking: the modal loop that runs while a menu bar, a window's
// system menu or a popup menu is open. It pumps the same queue as the
// program (timers, paints and posted messages go on being dispatched) and
// consumes the keyboard and mouse itself. Open popups are owned top-level
// windows that never take activation.
//
// Only one menu is tracked at a time; handlers called from inside the loop
// may change or destroy menus and windows, so nothing is held across a
// call into a window procedure but handles and indexes that are checked
// again.

#include "platform/base/CharClass.h"
#include "platform/base/Clock.h"
#include "platform/base/Geometry.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiDefs.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/MenuBar.h"
#include "platform/ui/internal/MenuData.h"
#include "platform/ui/internal/NonClient.h"
#include "platform/ui/internal/Window.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace platform {

namespace {

const char kPopupClass[] = "#32768";

struct Level {
    HMENU menu = NULL;
    HWND window = NULL;
    int selected = -1;
    SIZE size{};
};

enum class Outcome {
    Running,
    Cancelled,
    Chosen,
};

struct Tracker {
    HWND owner = NULL; // notifications and the command go here
    HWND barWindow = NULL; // the window whose bar is tracked; NULL otherwise
    HMENU bar = NULL;
    HMENU first = NULL; // what WM_INITMENU names: the bar, or the popup menu
    int barSelected = -1;
    std::vector<Level> levels; // open popups, outermost first
    UINT flags = 0; // TPM_* of a popup menu
    bool popupMenu = false; // TrackPopupMenu
    bool notify = true;
    bool system = false; // the system menu: choices are WM_SYSCOMMAND
    Outcome outcome = Outcome::Running;
    UINT chosen = 0;
    bool menuKeyPressed = false; // Alt or F10 went down inside the loop
    // A system menu opened by a click on the caption's icon: a second press
    // there soon after is the double click that closes the window.
    RECT icon{};
    DWORD openedAt = 0;
};

Tracker* g_tracker = nullptr;

// How a popup is placed.
enum class Placement {
    BelowBarItem, // under a bar item (anchor), above it when there is no room
    RightOfItem, // cascading from an item of another popup (anchor)
    AtPoint, // TrackPopupMenu's point (anchor.left, anchor.top) and alignment flags
};

enum class Via {
    Keyboard,
    Mouse,
};

SIZE Screen()
{
    return SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

bool Selectable(const MenuItem& item)
{
    return !(item.type & MF_SEPARATOR);
}

bool Enabled(const MenuItem& item)
{
    return !(item.state & (MF_GRAYED | MF_DISABLED));
}

MenuItem* ItemAt(HMENU menu, int index)
{
    Menu* m = PeekMenuRecord(menu);
    if (!m || index < 0 || size_t(index) >= m->items.size())
        return nullptr;
    return &m->items[size_t(index)];
}

// Whether the loop should go on: the owner and the menus shown still exist.
bool StillValid(Tracker& t)
{
    if (t.outcome != Outcome::Running)
        return false;
    bool ok = IsWindow(t.owner) && (!t.bar || PeekMenuRecord(t.bar));
    for (const Level& level : t.levels)
        ok = ok && PeekMenuRecord(level.menu) && IsWindow(level.window);
    if (!ok)
        t.outcome = Outcome::Cancelled;
    return ok;
}

LRESULT CALLBACK PopupProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

void RegisterPopupClass()
{
    // Registration goes with the window system's other classes on a reset,
    // so it is redone whenever it is missing.
    WNDCLASS wc{};
    if (GetClassInfo(NULL, kPopupClass, &wc))
        return;
    wc.style = CS_SAVEBITS;
    wc.lpfnWndProc = PopupProc;
    wc.hbrBackground = HBRUSH(COLOR_MENU + 1);
    wc.lpszClassName = kPopupClass;
    RegisterClass(&wc);
}

Level* LevelOfWindow(HWND hwnd)
{
    if (!g_tracker)
        return nullptr;
    for (Level& level : g_tracker->levels) {
        if (level.window == hwnd)
            return &level;
    }
    return nullptr;
}

void DrawLevel(HDC hdc, const Level& level)
{
    if (Menu* m = PeekMenuRecord(level.menu))
        DrawPopupMenu(hdc, *m, level.size, level.selected);
}

LRESULT CALLBACK PopupProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hwnd, &ps);
        if (hdc) {
            if (Level* level = LevelOfWindow(hwnd))
                DrawLevel(hdc, *level);
            EndPaint(hwnd, &ps);
        }
        return 0;
    }
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

// Popups and the bar are redrawn at once rather than through WM_PAINT, so
// that what the user sees follows every key even while input is queued.
void RedrawLevel(size_t index)
{
    if (!g_tracker || index >= g_tracker->levels.size())
        return;
    HWND hwnd = g_tracker->levels[index].window;
    HDC hdc = GetDC(hwnd);
    if (!hdc)
        return;
    if (index < g_tracker->levels.size())
        DrawLevel(hdc, g_tracker->levels[index]);
    ReleaseDC(hwnd, hdc);
    ValidateRect(hwnd, NULL);
}

void RedrawBar(HWND hwnd)
{
    RECT bar = MenuBarRectInWindow(hwnd);
    if (IsRectEmpty(&bar) || !IsWindowVisible(hwnd))
        return;
    HDC hdc = GetWindowDC(hwnd);
    if (!hdc)
        return;
    PaintMenuBar(hwnd, hdc, bar);
    ReleaseDC(hwnd, hdc);
}

RECT BarOnScreen(HWND hwnd)
{
    RECT bar = MenuBarRectInWindow(hwnd);
    RECT window{};
    GetWindowRect(hwnd, &window);
    OffsetRect(&bar, window.left, window.top);
    return bar;
}

RECT BarItemOnScreen(Tracker& t, int index)
{
    MenuItem* item = ItemAt(t.bar, index);
    if (!item)
        return RECT{0, 0, 0, 0};
    RECT bar = BarOnScreen(t.barWindow); // lays the bar out again
    RECT r = item->rect;
    OffsetRect(&r, bar.left, bar.top);
    return r;
}

void SendMenuSelect(Tracker& t, HMENU menu, int index, Via via)
{
    if (!t.notify)
        return;
    MenuItem* item = ItemAt(menu, index);
    if (!item)
        return;
    UINT flags = (item->state | item->type) & 0xFFFF;
    flags |= MF_HILITE;
    if (via == Via::Mouse)
        flags |= MF_MOUSESELECT;
    if (t.system)
        flags |= MF_SYSMENU;
    UINT id = item->id;
    if (item->submenu) {
        flags |= MF_POPUP;
        id = UINT(index);
    }
    SendMessage(t.owner, WM_MENUSELECT, MAKEWPARAM(id, flags), LPARAM(menu));
}

// Closes the popups deeper than `keep` levels.
void CloseLevels(Tracker& t, size_t keep)
{
    while (t.levels.size() > keep) {
        HWND hwnd = t.levels.back().window;
        t.levels.pop_back();
        DestroyWindow(hwnd);
    }
}

} // namespace

void UpdateSystemMenu(HWND hwnd, HMENU menu)
{
    DWORD style = DWORD(GetWindowLong(hwnd, GWL_STYLE));
    bool iconic = IsIconic(hwnd);
    bool zoomed = IsZoomed(hwnd);
    auto enable = [&](UINT cmd, bool on) { EnableMenuItem(menu, cmd, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)); };
    enable(SC_RESTORE, iconic || zoomed);
    // A title bar of a minimised window can be moved still.
    enable(SC_MOVE, !zoomed);
    enable(SC_SIZE, (style & WS_THICKFRAME) && !iconic && !zoomed);
    enable(SC_MINIMIZE, (style & WS_MINIMIZEBOX) && !iconic);
    enable(SC_MAXIMIZE, (style & WS_MAXIMIZEBOX) && !zoomed);
}

namespace {

HWND TopLevelHandle(HWND hwnd)
{
    Window* w = PeekWindowRecord(hwnd);
    Window* top = w ? TopLevelOf(*w) : nullptr;
    return top ? top->handle : hwnd;
}

void SelectInLevel(Tracker& t, size_t levelIndex, int item, Via via);

// Opens `menu` as the next level: the owner may change it first, then it is
// laid out, placed and shown without taking activation.
bool OpenPopup(Tracker& t, HMENU menu, int indexInParent, Placement placement, RECT anchor, bool selectFirst, Via via)
{
    if (Menu* m = PeekMenuRecord(menu); m && m->system)
        UpdateSystemMenu(t.owner, menu);
    if (t.notify)
        SendMessage(t.owner, WM_INITMENUPOPUP, WPARAM(menu), MAKELPARAM(indexInParent, t.system ? 1 : 0));
    if (!StillValid(t))
        return false;
    Menu* m = PeekMenuRecord(menu);
    if (!m) {
        t.outcome = Outcome::Cancelled;
        return false;
    }
    SIZE size = LayoutPopupMenu(*m);
    SIZE screen = Screen();
    POINT p{anchor.left, anchor.bottom};
    switch (placement) {
    case Placement::BelowBarItem:
        if (p.y + size.cy > screen.cy && anchor.top - size.cy >= 0)
            p.y = anchor.top - size.cy;
        break;
    case Placement::RightOfItem:
        p = POINT{anchor.right, anchor.top - 3};
        if (p.x + size.cx > screen.cx)
            p.x = anchor.left - size.cx;
        break;
    case Placement::AtPoint:
        p = POINT{anchor.left, anchor.top};
        if (t.flags & TPM_RIGHTALIGN)
            p.x -= size.cx;
        else if (t.flags & TPM_CENTERALIGN)
            p.x -= size.cx / 2;
        if (t.flags & TPM_BOTTOMALIGN)
            p.y -= size.cy;
        else if (t.flags & TPM_VCENTERALIGN)
            p.y -= size.cy / 2;
        break;
    }
    p.x = std::max<LONG>(0, std::min<LONG>(p.x, screen.cx - size.cx));
    p.y = std::max<LONG>(0, std::min<LONG>(p.y, screen.cy - size.cy));

    RegisterPopupClass();
    HWND hwnd = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kPopupClass, "", WS_POPUP, p.x, p.y, size.cx,
        size.cy, TopLevelHandle(t.owner), NULL, NULL, nullptr);
    if (!hwnd || !StillValid(t)) {
        if (hwnd)
            DestroyWindow(hwnd);
        t.outcome = Outcome::Cancelled;
        return false;
    }
    t.levels.push_back(Level{menu, hwnd, -1, size});
    size_t index = t.levels.size() - 1;
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    if (!StillValid(t))
        return false;
    if (selectFirst) {
        Menu* shown = PeekMenuRecord(menu);
        for (size_t i = 0; shown && i < shown->items.size(); ++i) {
            if (Selectable(shown->items[i])) {
                SelectInLevel(t, index, int(i), via);
                break;
            }
        }
    }
    RedrawLevel(index);
    return StillValid(t);
}

void SelectInLevel(Tracker& t, size_t levelIndex, int item, Via via)
{
    if (levelIndex >= t.levels.size())
        return;
    if (t.levels[levelIndex].selected == item)
        return;
    CloseLevels(t, levelIndex + 1);
    t.levels[levelIndex].selected = item;
    RedrawLevel(levelIndex);
    SendMenuSelect(t, t.levels[levelIndex].menu, item, via);
}

// Opens the submenu of the selected item of a level, if it has one.
bool OpenSelectedSubmenu(Tracker& t, size_t levelIndex, bool selectFirst, Via via)
{
    if (levelIndex >= t.levels.size() || t.levels.size() > levelIndex + 1)
        return false;
    const Level& level = t.levels[levelIndex];
    MenuItem* item = ItemAt(level.menu, level.selected);
    if (!item || !item->submenu || !Enabled(*item))
        return false;
    HMENU sub = item->submenu;
    RECT anchor = item->rect;
    RECT window{};
    GetWindowRect(level.window, &window);
    OffsetRect(&anchor, window.left, window.top);
    return OpenPopup(t, sub, level.selected, Placement::RightOfItem, anchor, selectFirst, via);
}

void SelectBar(Tracker& t, int index, bool open, bool selectFirst, Via via)
{
    CloseLevels(t, 0);
    if (t.barSelected != index) {
        t.barSelected = index;
        RedrawBar(t.barWindow);
        SendMenuSelect(t, t.bar, index, via);
        if (!StillValid(t))
            return;
    }
    MenuItem* item = ItemAt(t.bar, index);
    if (open && item && item->submenu && Enabled(*item))
        OpenPopup(t, item->submenu, index, Placement::BelowBarItem, BarItemOnScreen(t, index), selectFirst, via);
}

void Choose(Tracker& t, const MenuItem& item)
{
    if (item.submenu || !Selectable(item) || !Enabled(item))
        return;
    t.outcome = Outcome::Chosen;
    t.chosen = item.id;
}

// The next selectable item from `from` in direction `step`, wrapping; -1
// when there is none.
int NextSelectable(HMENU menu, int from, int step)
{
    Menu* m = PeekMenuRecord(menu);
    if (!m || m->items.empty())
        return -1;
    int count = int(m->items.size());
    int i = from;
    if (i < 0 || i >= count)
        i = step > 0 ? -1 : count;
    for (int n = 0; n < count; ++n) {
        i = ((i + step) % count + count) % count;
        if (Selectable(m->items[size_t(i)]))
            return i;
    }
    return -1;
}

// A mnemonic key: a single match acts on its item at once; several matches
// step the selection through them.
void Mnemonic(Tracker& t, BYTE character)
{
    char upper[2] = {char(character), 0};
    CharUpperBuff(upper, 1);
    BYTE key = BYTE(upper[0]);
    bool inBar = t.levels.empty();
    HMENU menu = inBar ? t.bar : t.levels.back().menu;
    Menu* m = PeekMenuRecord(menu);
    if (!m || key == 0)
        return;
    int current = inBar ? t.barSelected : t.levels.back().selected;
    int count = int(m->items.size());
    int first = -1;
    int matches = 0;
    for (int n = 1; n <= count; ++n) {
        int i = ((current < 0 ? -1 : current) + n) % count;
        if (i < 0)
            i += count;
        if (MenuMnemonic(m->items[size_t(i)].text) == key) {
            if (first < 0)
                first = i;
            ++matches;
        }
    }
    if (first < 0)
        return;
    if (inBar) {
        SelectBar(t, first, true, true, Via::Keyboard);
        if (matches == 1 && StillValid(t) && t.levels.empty()) {
            if (MenuItem* item = ItemAt(t.bar, first))
                Choose(t, *item);
        }
        return;
    }
    size_t level = t.levels.size() - 1;
    SelectInLevel(t, level, first, Via::Keyboard);
    if (matches != 1 || !StillValid(t))
        return;
    MenuItem* item = ItemAt(t.levels[level].menu, first);
    if (item && item->submenu)
        OpenSelectedSubmenu(t, level, true, Via::Keyboard);
    else if (item)
        Choose(t, *item);
}

void KeyDown(Tracker& t, const MSG& msg)
{
    UINT vk = UINT(msg.wParam);
    bool inBar = t.levels.empty();
    switch (vk) {
    case VK_MENU:
    case VK_F10:
        // A key held since before the menu opened repeats (or is reported
        // again by a display that re-reads the keyboard when a popup
        // appears); only a fresh press makes its release close the menu.
        if (!(msg.lParam & (LPARAM(1) << 30)))
            t.menuKeyPressed = true;
        return;
    case VK_ESCAPE:
        if (t.levels.size() > 1 || (t.levels.size() == 1 && t.barWindow)) {
            CloseLevels(t, t.levels.size() - 1);
            if (t.levels.empty())
                SendMenuSelect(t, t.bar, t.barSelected, Via::Keyboard);
        } else {
            t.outcome = Outcome::Cancelled;
        }
        return;
    case VK_UP:
    case VK_DOWN:
        if (inBar) {
            if (t.bar)
                SelectBar(t, t.barSelected, true, true, Via::Keyboard);
            return;
        }
        SelectInLevel(t, t.levels.size() - 1,
            NextSelectable(t.levels.back().menu, t.levels.back().selected, vk == VK_DOWN ? 1 : -1), Via::Keyboard);
        return;
    case VK_LEFT:
        if (t.levels.size() > 1) {
            CloseLevels(t, t.levels.size() - 1);
        } else if (t.bar) {
            SelectBar(t, NextSelectable(t.bar, t.barSelected, -1), !inBar, true, Via::Keyboard);
        }
        return;
    case VK_RIGHT:
        if (!inBar && OpenSelectedSubmenu(t, t.levels.size() - 1, true, Via::Keyboard))
            return;
        if (t.bar && StillValid(t))
            SelectBar(t, NextSelectable(t.bar, t.barSelected, 1), !inBar, true, Via::Keyboard);
        return;
    case VK_RETURN:
        if (inBar) {
            MenuItem* item = ItemAt(t.bar, t.barSelected);
            if (item && item->submenu)
                SelectBar(t, t.barSelected, true, true, Via::Keyboard);
            else if (item)
                Choose(t, *item);
            return;
        }
        if (!OpenSelectedSubmenu(t, t.levels.size() - 1, true, Via::Keyboard) && StillValid(t)) {
            const Level& level = t.levels.back();
            if (MenuItem* item = ItemAt(level.menu, level.selected))
                Choose(t, *item);
        }
        return;
    default:
        break;
    }
    // Letters and digits are their own mnemonics; other keys become
    // characters first.
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))
        Mnemonic(t, BYTE(vk));
    else
        TranslateMessage(&msg);
}

struct Hit {
    int level = -1; // a popup level, or -1
    bool bar = false;
    int item = -1;
};

Hit HitAt(Tracker& t, POINT screen)
{
    for (size_t i = t.levels.size(); i-- > 0;) {
        RECT window{};
        GetWindowRect(t.levels[i].window, &window);
        if (!PtInRect(&window, screen))
            continue;
        Hit hit;
        hit.level = int(i);
        POINT client{screen.x - window.left, screen.y - window.top};
        if (Menu* m = PeekMenuRecord(t.levels[i].menu)) {
            for (size_t j = 0; j < m->items.size(); ++j) {
                if (PtInRect(&m->items[j].rect, client) && Selectable(m->items[j]))
                    hit.item = int(j);
            }
        }
        return hit;
    }
    if (t.barWindow) {
        RECT bar = BarOnScreen(t.barWindow);
        if (PtInRect(&bar, screen)) {
            Hit hit;
            hit.bar = true;
            POINT local{screen.x - bar.left, screen.y - bar.top};
            if (Menu* m = PeekMenuRecord(t.bar)) {
                for (size_t j = 0; j < m->items.size(); ++j) {
                    if (PtInRect(&m->items[j].rect, local) && Selectable(m->items[j]))
                        hit.item = int(j);
                }
            }
            return hit;
        }
    }
    return Hit{};
}

enum class MouseAction {
    Move,
    Down,
    Up,
};

void Mouse(Tracker& t, const MSG& msg, MouseAction action, bool choosingButton, bool right)
{
    Hit hit = HitAt(t, msg.pt);
    if (hit.level >= 0) {
        size_t level = size_t(hit.level);
        if (hit.item < 0) {
            // Off the items (a separator or the border): nothing stays lit
            // unless it holds an open submenu.
            if (t.levels.size() == level + 1)
                SelectInLevel(t, level, -1, Via::Mouse);
            return;
        }
        SelectInLevel(t, level, hit.item, Via::Mouse);
        if (!StillValid(t))
            return;
        MenuItem* item = ItemAt(t.levels[level].menu, hit.item);
        if (!item)
            return;
        if (item->submenu) {
            if (action != MouseAction::Up)
                OpenSelectedSubmenu(t, level, false, Via::Mouse);
        } else if (action == MouseAction::Up && choosingButton) {
            Choose(t, *item);
        }
        return;
    }
    if (hit.bar && hit.item >= 0) {
        if (action == MouseAction::Down) {
            // A second click on the open item closes the menu.
            if (hit.item == t.barSelected && !t.levels.empty())
                t.outcome = Outcome::Cancelled;
            else
                SelectBar(t, hit.item, true, false, Via::Mouse);
        } else if (action == MouseAction::Move && hit.item != t.barSelected && !t.levels.empty()) {
            SelectBar(t, hit.item, true, false, Via::Mouse);
        } else if (action == MouseAction::Up && hit.item == t.barSelected && t.levels.empty() && choosingButton) {
            // A bar item without a popup is a command of its own.
            if (MenuItem* item = ItemAt(t.bar, hit.item))
                Choose(t, *item);
        }
        return;
    }
    if (action == MouseAction::Down && !hit.bar) {
        if (!right && t.system && PtInRect(&t.icon, msg.pt) && GetTickCount() - t.openedAt <= GetDoubleClickTime()) {
            t.chosen = SC_CLOSE;
            t.outcome = Outcome::Chosen;
            return;
        }
        t.outcome = Outcome::Cancelled;
    }
}

bool IsMouseMessage(UINT m)
{
    return (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) || (m >= WM_NCMOUSEMOVE && m <= WM_NCMBUTTONDBLCLK);
}

void HandleMouse(Tracker& t, const MSG& msg)
{
    bool right = false;
    MouseAction action = MouseAction::Move;
    switch (msg.message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
        action = MouseAction::Down;
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONDBLCLK:
        action = MouseAction::Down;
        right = true;
        break;
    case WM_LBUTTONUP:
    case WM_NCLBUTTONUP:
        action = MouseAction::Up;
        break;
    case WM_RBUTTONUP:
    case WM_NCRBUTTONUP:
        action = MouseAction::Up;
        right = true;
        break;
    default:
        return; // wheel and middle release: nothing
    }
    bool choosing = !right || (t.popupMenu && (t.flags & TPM_RIGHTBUTTON));
    Mouse(t, msg, action, choosing, right);
}

void HandleMessage(Tracker& t, MSG& msg)
{
    if (IsMouseMessage(msg.message)) {
        HandleMouse(t, msg);
        return;
    }
    switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        KeyDown(t, msg);
        return;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        // Alt pressed and released again inside the loop closes the menu;
        // the release of the Alt that opened it does not.
        if ((msg.wParam == VK_MENU || msg.wParam == VK_F10) && t.menuKeyPressed)
            t.outcome = Outcome::Cancelled;
        return;
    case WM_CHAR:
    case WM_SYSCHAR:
        Mnemonic(t, BYTE(msg.wParam));
        return;
    default:
        DispatchMessage(&msg);
        return;
    }
}

// Runs a tracker from start to end; returns the command chosen, 0 for none.
UINT Run(Tracker& t, const std::function<void()>& open)
{
    Tracker* outer = g_tracker;
    g_tracker = &t;
    if (t.notify) {
        SendMessage(t.owner, WM_ENTERMENULOOP, t.popupMenu ? TRUE : FALSE, 0);
        if (IsWindow(t.owner))
            SendMessage(t.owner, WM_INITMENU, WPARAM(t.first), 0);
    }
    // The menu takes the mouse, so that a click anywhere, even outside the
    // program's windows, reaches the loop (and ends the menu).
    if (IsWindow(t.owner))
        SetCapture(t.owner);
    if (StillValid(t))
        open();
    bool quit = false;
    WPARAM quitCode = 0;
    while (StillValid(t)) {
        MSG msg{};
        BOOL got = GetMessage(&msg, NULL, 0, 0);
        if (got <= 0) {
            // WM_QUIT ends the menu; the program's own loop must still see it.
            quit = got == 0;
            quitCode = msg.wParam;
            t.outcome = Outcome::Cancelled;
            break;
        }
        HandleMessage(t, msg);
    }
    CloseLevels(t, 0);
    if (GetCapture() == t.owner && t.owner)
        ReleaseCapture();
    HWND bar = t.barWindow;
    t.barSelected = -1;
    g_tracker = outer;
    if (bar && IsWindow(bar))
        RedrawBar(bar);
    bool alive = IsWindow(t.owner);
    if (t.notify && alive) {
        SendMessage(t.owner, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
        if (IsWindow(t.owner))
            SendMessage(t.owner, WM_EXITMENULOOP, t.popupMenu ? TRUE : FALSE, 0);
    }
    if (quit)
        PostQuitMessage(int(quitCode));
    return t.outcome == Outcome::Chosen && alive ? t.chosen : 0;
}

void Deliver(const Tracker& t, UINT cmd)
{
    if (!cmd || !IsWindow(t.owner))
        return;
    if (t.system)
        PostMessage(t.owner, WM_SYSCOMMAND, cmd, 0);
    else
        PostMessage(t.owner, WM_COMMAND, MAKEWPARAM(cmd, 0), 0);
}

// Where the system menu opens: under the caption's left end, or for a
// maximised child (whose caption is out of sight) under the left end of the
// menu bar that holds its system menu.
RECT SystemMenuAnchor(HWND hwnd)
{
    Window* w = PeekWindowRecord(hwnd);
    if (!w)
        return RECT{0, 0, 0, 0};
    if ((w->style & (WS_CHILD | WS_MAXIMIZE)) == (WS_CHILD | WS_MAXIMIZE)) {
        HWND top = TopLevelHandle(hwnd);
        RECT bar = MenuBarRectInWindow(top);
        if (Window* t = PeekWindowRecord(top); t && !IsRectEmpty(&bar)) {
            OffsetRect(&bar, t->windowRect.left, t->windowRect.top);
            return RECT{bar.left, bar.top, bar.left, bar.bottom};
        }
    }
    RECT client = w->clientRect;
    RECT window = w->windowRect;
    RECT bar = MenuBarRectInWindow(hwnd);
    int top = IsRectEmpty(&bar) ? client.top - window.top : bar.top;
    if (w->style & WS_MINIMIZE)
        top = window.bottom - window.top;
    int left = window.left + FrameSize(w->style, w->exStyle).cx;
    return RECT{left, window.top, left, window.top + top};
}

void TrackSystemMenu(HWND hwnd, Via via)
{
    Window* w = PeekWindowRecord(hwnd);
    if (!w || !(w->style & WS_SYSMENU))
        return;
    HMENU menu = SystemMenuOf(hwnd);
    if (!menu)
        return;
    RECT anchor = SystemMenuAnchor(hwnd);
    Tracker t;
    t.owner = hwnd;
    t.system = true;
    t.first = menu;
    if (via == Via::Mouse) {
        t.icon = CaptionBoxRect(*w, HTSYSMENU);
        t.openedAt = GetTickCount();
    }
    UINT cmd = Run(t, [&] {
        if (!OpenPopup(t, menu, 0, Placement::BelowBarItem, anchor, via == Via::Keyboard, via))
            t.outcome = Outcome::Cancelled;
    });
    Deliver(t, cmd);
}

} // namespace

int TrackedBarItem(HWND hwnd)
{
    return g_tracker && g_tracker->barWindow == hwnd ? g_tracker->barSelected : -1;
}

RECT MenuBarRectInWindow(HWND hwnd)
{
    Window* w = PeekWindowRecord(hwnd);
    if (!w || (w->style & WS_CHILD))
        return RECT{0, 0, 0, 0};
    Menu* m = PeekMenuRecord(w->menu);
    if (!m)
        return RECT{0, 0, 0, 0};
    // The same arithmetic as the non-client layout: frame, caption, bar.
    SIZE frame = FrameSize(w->style, w->exStyle);
    int caption = 0;
    if ((w->style & WS_CAPTION) == WS_CAPTION)
        caption = GetSystemMetrics((w->exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
    int width = std::max<LONG>(0, w->windowRect.right - w->windowRect.left - 2 * frame.cx);
    int height = LayoutMenuBar(*m, width);
    int top = frame.cy + caption;
    return RECT{frame.cx, top, frame.cx + width, top + height};
}

void TrackMenuBarMouse(HWND hwnd, POINT screen)
{
    if (g_tracker)
        return;
    HMENU bar = GetMenu(hwnd);
    if (!PeekMenuRecord(bar))
        return;
    Tracker t;
    t.owner = hwnd;
    t.barWindow = hwnd;
    t.bar = bar;
    t.first = bar;
    Hit hit = HitAt(t, screen);
    if (!hit.bar || hit.item < 0)
        return;
    UINT cmd = Run(t, [&] { SelectBar(t, hit.item, true, false, Via::Mouse); });
    Deliver(t, cmd);
}

void TrackSystemMenuFromIcon(HWND hwnd)
{
    if (g_tracker)
        return;
    TrackSystemMenu(hwnd, Via::Mouse);
}

void TrackMenuBarKey(HWND hwnd, UINT key)
{
    if (g_tracker)
        return;
    if (key == ' ') {
        TrackSystemMenu(hwnd, Via::Keyboard);
        return;
    }
    // Alt+minus: a document window's own system menu.
    if (key == '-' && (GetWindowLong(hwnd, GWL_STYLE) & WS_CHILD)) {
        TrackSystemMenu(hwnd, Via::Keyboard);
        return;
    }
    HMENU bar = GetMenu(hwnd);
    Menu* m = PeekMenuRecord(bar);
    if (!m || m->items.empty())
        return;
    int first = NextSelectable(bar, -1, 1);
    if (key != 0) {
        // Alt with a letter that no item has does not open the bar.
        char upper[2] = {char(key), 0};
        CharUpperBuff(upper, 1);
        bool found = false;
        for (const MenuItem& item : m->items)
            found = found || MenuMnemonic(item.text) == BYTE(upper[0]);
        if (!found)
            return;
    }
    Tracker t;
    t.owner = hwnd;
    t.barWindow = hwnd;
    t.bar = bar;
    t.first = bar;
    UINT cmd = Run(t, [&] {
        if (key != 0)
            Mnemonic(t, BYTE(key));
        else
            SelectBar(t, first, false, false, Via::Keyboard);
    });
    Deliver(t, cmd);
}

} // namespace platform

using namespace platform;

BOOL TrackPopupMenuEx(HMENU hMenu, UINT uFlags, int x, int y, HWND hwnd, LPTPMPARAMS)
{
    if (!FindMenuRecord(hMenu) || !FindWindowRecord(hwnd))
        return FALSE;
    if (g_tracker) {
        SetLastError(ERROR_POPUP_ALREADY_ACTIVE);
        return FALSE;
    }
    Tracker t;
    t.owner = hwnd;
    t.first = hMenu;
    t.popupMenu = true;
    t.flags = uFlags;
    t.notify = !(uFlags & TPM_NONOTIFY);
    UINT cmd = Run(t, [&] {
        RECT at{x, y, x, y};
        if (!OpenPopup(t, hMenu, 0, Placement::AtPoint, at, false, Via::Mouse))
            t.outcome = Outcome::Cancelled;
    });
    if (uFlags & TPM_RETURNCMD)
        return BOOL(cmd);
    if (t.notify)
        Deliver(t, cmd);
    return cmd ? TRUE : FALSE;
}

BOOL TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int, HWND hWnd, const RECT*)
{
    return TrackPopupMenuEx(hMenu, uFlags, x, y, hWnd, nullptr);
}

BOOL EndMenu()
{
    if (g_tracker && g_tracker->outcome == Outcome::Running) {
        g_tracker->outcome = Outcome::Cancelled;
        // Wakes the loop if it is waiting for input.
        PostMessage(g_tracker->owner, WM_NULL, 0, 0);
    }
    return TRUE;
}
