// Menu objects: creating them by hand or from the resource bundle's
// templates, finding, changing and destroying their items, and attaching a
// menu bar to a window.

#include "platform/base/CharClass.h"
#include "platform/base/ResourceTables.h"
#include "platform/base/Resources.h"
#include "platform/files/HandleTable.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/MenuBar.h"
#include "platform/ui/internal/MenuData.h"
#include "platform/ui/internal/Paint.h"
#include "platform/ui/internal/Window.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

namespace platform {

namespace {

struct MenuState {
    HandleTable<Menu> menus{0x4E};
    std::map<HWND, HMENU> systemMenus;
};

MenuState& State()
{
    static MenuState state;
    return state;
}

uint64_t Key(HMENU menu)
{
    return reinterpret_cast<uint64_t>(menu);
}

HMENU NewMenu(bool popup)
{
    auto menu = std::make_unique<Menu>();
    menu->popup = popup;
    uint64_t id = State().menus.Add(std::move(menu));
    if (!id) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return NULL;
    }
    return reinterpret_cast<HMENU>(id);
}

// Submenus nest at most this deep; deeper templates (or a menu made to hold
// itself) are refused rather than followed.
constexpr int kMaxDepth = 16;

bool Locate(HMENU menu, UINT which, UINT flags, MenuItemRef& out, int depth)
{
    Menu* m = PeekMenuRecord(menu);
    if (!m || depth > kMaxDepth)
        return false;
    if (flags & MF_BYPOSITION) {
        if (which >= m->items.size())
            return false;
        out = MenuItemRef{menu, int(which), &m->items[which]};
        return true;
    }
    for (size_t i = 0; i < m->items.size(); ++i) {
        MenuItem& item = m->items[i];
        if (item.submenu) {
            if (Locate(item.submenu, which, flags, out, depth + 1))
                return true;
            continue;
        }
        if (item.id == which && !(item.type & MF_SEPARATOR)) {
            out = MenuItemRef{menu, int(i), &item};
            return true;
        }
    }
    return false;
}

bool LocateOrFail(HMENU menu, UINT which, UINT flags, MenuItemRef& out)
{
    if (!FindMenuRecord(menu))
        return false;
    if (!LocateMenuItem(menu, which, flags, out)) {
        SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
        return false;
    }
    return true;
}

// The item that AppendMenu / InsertMenu / ModifyMenu describe with flags,
// an id (or submenu) and a string (or bitmap or owner data).
bool MakeItem(UINT flags, UINT_PTR idOrMenu, LPCSTR content, MenuItem& item)
{
    item = MenuItem{};
    item.type = flags & (MF_SEPARATOR | MF_BITMAP | MF_OWNERDRAW | MF_MENUBREAK | MF_MENUBARBREAK | MF_HELP);
    item.state = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
    if (flags & MF_POPUP) {
        HMENU sub = reinterpret_cast<HMENU>(idOrMenu);
        if (!FindMenuRecord(sub))
            return false;
        item.submenu = sub;
    } else if (!(flags & MF_SEPARATOR)) {
        item.id = UINT(idOrMenu);
    }
    if (flags & MF_SEPARATOR)
        return true;
    if (flags & MF_BITMAP)
        item.bitmap = reinterpret_cast<HBITMAP>(const_cast<LPSTR>(content));
    else if (flags & MF_OWNERDRAW)
        item.data = reinterpret_cast<ULONG_PTR>(content);
    else if (content)
        item.text = content;
    return true;
}

bool ContainsMenu(HMENU within, HMENU wanted, int depth)
{
    if (within == wanted)
        return true;
    Menu* m = PeekMenuRecord(within);
    if (!m || depth > kMaxDepth)
        return false;
    for (const MenuItem& item : m->items) {
        if (item.submenu && ContainsMenu(item.submenu, wanted, depth + 1))
            return true;
    }
    return false;
}

void DestroyTree(HMENU menu, int depth)
{
    std::unique_ptr<Menu> record = State().menus.Remove(Key(menu));
    if (!record || depth > kMaxDepth)
        return;
    for (const MenuItem& item : record->items) {
        if (item.submenu)
            DestroyTree(item.submenu, depth + 1);
    }
}

HMENU FromTemplate(const MenuItemTemplate* items, WORD count, bool popup, int depth)
{
    if (depth > kMaxDepth) {
        SetLastError(ERROR_INVALID_DATA);
        return NULL;
    }
    HMENU menu = NewMenu(popup);
    if (!menu)
        return NULL;
    for (WORD i = 0; i < count; ++i) {
        const MenuItemTemplate& t = items[i];
        MenuItem item;
        item.type = t.type & (MF_SEPARATOR | MF_BITMAP | MF_OWNERDRAW | MF_MENUBREAK | MF_MENUBARBREAK | MF_HELP | MFT_RADIOCHECK);
        item.state = t.state & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_DEFAULT);
        item.text = t.text ? t.text : "";
        if (t.popup) {
            item.submenu = FromTemplate(t.items, t.count, true, depth + 1);
            if (!item.submenu) {
                DestroyTree(menu, 0);
                return NULL;
            }
        } else if (!(item.type & MF_SEPARATOR)) {
            item.id = t.id;
        }
        // A MENU statement's SEPARATOR is an empty item without an id.
        if (!t.popup && item.text.empty() && item.id == 0)
            item.type |= MF_SEPARATOR;
        PeekMenuRecord(menu)->items.push_back(std::move(item));
    }
    return menu;
}

// Sets the window's frame again after its menu bar changed.
void RecalculateFrame(HWND hwnd)
{
    SetWindowPos(hwnd, NULL, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HMENU BuildSystemMenu()
{
    HMENU menu = NewMenu(true);
    if (!menu)
        return NULL;
    PeekMenuRecord(menu)->system = true;
    AppendMenu(menu, MF_STRING, SC_RESTORE, "&Restore");
    AppendMenu(menu, MF_STRING, SC_MOVE, "&Move");
    AppendMenu(menu, MF_STRING, SC_SIZE, "&Size");
    AppendMenu(menu, MF_STRING, SC_MINIMIZE, "Mi&nimize");
    AppendMenu(menu, MF_STRING, SC_MAXIMIZE, "Ma&ximize");
    AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenu(menu, MF_STRING, SC_CLOSE, "&Close\tAlt+F4");
    return menu;
}

} // namespace

Menu* PeekMenuRecord(HMENU menu)
{
    return State().menus.Get(Key(menu));
}

Menu* FindMenuRecord(HMENU menu)
{
    Menu* m = PeekMenuRecord(menu);
    if (!m)
        SetLastError(ERROR_INVALID_MENU_HANDLE);
    return m;
}

bool LocateMenuItem(HMENU menu, UINT which, UINT flags, MenuItemRef& out)
{
    return Locate(menu, which, flags, out, 0);
}

BYTE MenuMnemonic(const std::string& text)
{
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        char c = text[i + 1];
        if (c == '&') {
            ++i;
            continue;
        }
        if (c == '\t')
            return 0;
        char upper[2] = {c, 0};
        CharUpperBuff(upper, 1);
        return BYTE(upper[0]);
    }
    return 0;
}

HMENU SystemMenuOf(HWND hwnd)
{
    Window* w = FindWindowRecord(hwnd);
    // A child has one only with a caption and WS_SYSMENU (a document window).
    if (!w || ((w->style & WS_CHILD) && ((w->style & WS_CAPTION) != WS_CAPTION || !(w->style & WS_SYSMENU))))
        return NULL;
    MenuState& s = State();
    // Forget the menus of windows that are gone.
    for (auto it = s.systemMenus.begin(); it != s.systemMenus.end();) {
        if (!PeekWindowRecord(it->first)) {
            DestroyTree(it->second, 0);
            it = s.systemMenus.erase(it);
        } else {
            ++it;
        }
    }
    auto found = s.systemMenus.find(hwnd);
    if (found != s.systemMenus.end() && PeekMenuRecord(found->second))
        return found->second;
    HMENU menu = BuildSystemMenu();
    if (menu)
        s.systemMenus[hwnd] = menu;
    return menu;
}

void MenuWindowDestroyed(HWND hwnd, HMENU menu)
{
    if (PeekMenuRecord(menu))
        DestroyTree(menu, 0);
    MenuState& s = State();
    auto found = s.systemMenus.find(hwnd);
    if (found != s.systemMenus.end()) {
        DestroyTree(found->second, 0);
        s.systemMenus.erase(found);
    }
}

} // namespace platform

using namespace platform;

HMENU LoadMenu(HINSTANCE hInstance, LPCSTR lpMenuName)
{
    const MenuTemplate* t = FindMenuTemplate(hInstance, lpMenuName);
    if (!t) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return NULL;
    }
    return FromTemplate(t->items, t->count, false, 0);
}

HMENU CreateMenu()
{
    return NewMenu(false);
}

HMENU CreatePopupMenu()
{
    return NewMenu(true);
}

BOOL DestroyMenu(HMENU hMenu)
{
    if (!FindMenuRecord(hMenu))
        return FALSE;
    DestroyTree(hMenu, 0);
    return TRUE;
}

BOOL IsMenu(HMENU hMenu)
{
    return PeekMenuRecord(hMenu) != nullptr;
}

HMENU GetMenu(HWND hWnd)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w || (w->style & WS_CHILD))
        return NULL;
    return w->menu;
}

BOOL SetMenu(HWND hWnd, HMENU hMenu)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w)
        return FALSE;
    if (w->style & WS_CHILD) {
        SetLastError(ERROR_CHILD_WINDOW_MENU);
        return FALSE;
    }
    if (hMenu && !FindMenuRecord(hMenu))
        return FALSE;
    w->menu = hMenu;
    RecalculateFrame(hWnd);
    return TRUE;
}

BOOL DrawMenuBar(HWND hWnd)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w)
        return FALSE;
    if (w->style & WS_CHILD) {
        SetLastError(ERROR_CHILD_WINDOW_MENU);
        return FALSE;
    }
    // Items may have changed width, so the bar may need another row.
    RecalculateFrame(hWnd);
    return TRUE;
}

HMENU GetSubMenu(HMENU hMenu, int nPos)
{
    Menu* m = FindMenuRecord(hMenu);
    if (!m || nPos < 0 || size_t(nPos) >= m->items.size())
        return NULL;
    return m->items[size_t(nPos)].submenu;
}

HMENU GetSystemMenu(HWND hWnd, BOOL bRevert)
{
    if (bRevert) {
        MenuState& s = State();
        auto found = s.systemMenus.find(hWnd);
        if (found != s.systemMenus.end()) {
            DestroyTree(found->second, 0);
            s.systemMenus.erase(found);
        }
        return NULL;
    }
    return SystemMenuOf(hWnd);
}

int GetMenuItemCount(HMENU hMenu)
{
    Menu* m = FindMenuRecord(hMenu);
    return m ? int(m->items.size()) : -1;
}

UINT GetMenuItemID(HMENU hMenu, int nPos)
{
    Menu* m = FindMenuRecord(hMenu);
    if (!m || nPos < 0 || size_t(nPos) >= m->items.size())
        return UINT(-1);
    const MenuItem& item = m->items[size_t(nPos)];
    return item.submenu ? UINT(-1) : item.id;
}

UINT GetMenuState(HMENU hMenu, UINT uId, UINT uFlags)
{
    MenuItemRef ref;
    if (!LocateOrFail(hMenu, uId, uFlags, ref))
        return UINT(-1);
    const MenuItem& item = *ref.item;
    UINT flags = item.state & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT);
    flags |= item.type & (MF_SEPARATOR | MF_BITMAP | MF_OWNERDRAW | MF_MENUBREAK | MF_MENUBARBREAK | MF_HELP);
    if (item.submenu) {
        // A popup answers its item count in the high byte.
        Menu* sub = PeekMenuRecord(item.submenu);
        UINT count = sub ? UINT(std::min<size_t>(sub->items.size(), 0xFF)) : 0;
        return (count << 8) | MF_POPUP | (flags & 0xFF);
    }
    return flags;
}

int GetMenuString(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags)
{
    MenuItemRef ref;
    if (!LocateOrFail(hMenu, uIDItem, flags, ref))
        return 0;
    const MenuItem& item = *ref.item;
    if (item.type & (MF_SEPARATOR | MF_BITMAP | MF_OWNERDRAW)) {
        if (lpString && cchMax > 0)
            lpString[0] = '\0';
        return 0;
    }
    int length = int(item.text.size());
    if (!lpString)
        return length;
    if (cchMax <= 0)
        return 0;
    int copied = std::min(length, cchMax - 1);
    std::memcpy(lpString, item.text.data(), size_t(copied));
    lpString[copied] = '\0';
    return copied;
}

BOOL AppendMenu(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem)
{
    Menu* m = FindMenuRecord(hMenu);
    MenuItem item;
    if (!m || !MakeItem(uFlags, uIDNewItem, lpNewItem, item))
        return FALSE;
    if (item.submenu && ContainsMenu(item.submenu, hMenu, 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    PeekMenuRecord(hMenu)->items.push_back(std::move(item));
    return TRUE;
}

BOOL InsertMenu(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem)
{
    if (!FindMenuRecord(hMenu))
        return FALSE;
    MenuItem item;
    if (!MakeItem(uFlags, uIDNewItem, lpNewItem, item))
        return FALSE;
    HMENU target = hMenu;
    size_t index = 0;
    if (uFlags & MF_BYPOSITION) {
        // A position past the end (such as -1) appends.
        index = std::min<size_t>(uPosition, PeekMenuRecord(hMenu)->items.size());
    } else {
        MenuItemRef ref;
        if (!LocateOrFail(hMenu, uPosition, MF_BYCOMMAND, ref))
            return FALSE;
        target = ref.menu;
        index = size_t(ref.index);
    }
    if (item.submenu && ContainsMenu(item.submenu, target, 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Menu* m = PeekMenuRecord(target);
    m->items.insert(m->items.begin() + std::ptrdiff_t(index), std::move(item));
    return TRUE;
}

BOOL ModifyMenu(HMENU hMnu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem)
{
    MenuItemRef ref;
    if (!LocateOrFail(hMnu, uPosition, uFlags & MF_BYPOSITION, ref))
        return FALSE;
    MenuItem item;
    if (!MakeItem(uFlags, uIDNewItem, lpNewItem, item))
        return FALSE;
    if (item.submenu && ContainsMenu(item.submenu, ref.menu, 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // The replaced item's own submenu goes with it; its check bitmaps stay.
    Menu* m = PeekMenuRecord(ref.menu);
    MenuItem& old = m->items[size_t(ref.index)];
    HMENU oldSub = old.submenu;
    item.checkedBitmap = old.checkedBitmap;
    item.uncheckedBitmap = old.uncheckedBitmap;
    old = std::move(item);
    if (oldSub && oldSub != old.submenu)
        DestroyTree(oldSub, 0);
    return TRUE;
}

BOOL DeleteMenu(HMENU hMenu, UINT uPosition, UINT uFlags)
{
    MenuItemRef ref;
    if (!LocateOrFail(hMenu, uPosition, uFlags & MF_BYPOSITION, ref))
        return FALSE;
    Menu* m = PeekMenuRecord(ref.menu);
    HMENU sub = m->items[size_t(ref.index)].submenu;
    m->items.erase(m->items.begin() + ref.index);
    if (sub)
        DestroyTree(sub, 0);
    return TRUE;
}

BOOL RemoveMenu(HMENU hMenu, UINT uPosition, UINT uFlags)
{
    MenuItemRef ref;
    if (!LocateOrFail(hMenu, uPosition, uFlags & MF_BYPOSITION, ref))
        return FALSE;
    Menu* m = PeekMenuRecord(ref.menu);
    m->items.erase(m->items.begin() + ref.index);
    return TRUE;
}

BOOL EnableMenuItem(HMENU hMenu, UINT uIDEnableItem, UINT uEnable)
{
    MenuItemRef ref;
    if (!LocateOrFail(hMenu, uIDEnableItem, uEnable & MF_BYPOSITION, ref))
        return -1;
    UINT previous = ref.item->state & (MF_GRAYED | MF_DISABLED);
    ref.item->state = (ref.item->state & ~UINT(MF_GRAYED | MF_DISABLED)) | (uEnable & (MF_GRAYED | MF_DISABLED));
    return BOOL(previous);
}

DWORD CheckMenuItem(HMENU hMenu, UINT uIDCheckItem, UINT uCheck)
{
    MenuItemRef ref;
    if (!LocateOrFail(hMenu, uIDCheckItem, uCheck & MF_BYPOSITION, ref))
        return DWORD(-1);
    DWORD previous = ref.item->state & MF_CHECKED;
    ref.item->state = (ref.item->state & ~UINT(MF_CHECKED)) | (uCheck & MF_CHECKED);
    return previous;
}

BOOL CheckMenuRadioItem(HMENU hmenu, UINT first, UINT last, UINT check, UINT flags)
{
    HMENU target = hmenu;
    if (!(flags & MF_BYPOSITION)) {
        // The group is in the menu that holds the item to check.
        MenuItemRef ref;
        if (!LocateOrFail(hmenu, check, MF_BYCOMMAND, ref))
            return FALSE;
        target = ref.menu;
    }
    Menu* m = FindMenuRecord(target);
    if (!m)
        return FALSE;
    bool found = false;
    for (size_t i = 0; i < m->items.size(); ++i) {
        MenuItem& item = m->items[i];
        UINT key = (flags & MF_BYPOSITION) ? UINT(i) : item.id;
        if (key < first || key > last || item.submenu || (item.type & MF_SEPARATOR))
            continue;
        if (key == check) {
            item.state |= MF_CHECKED;
            item.type |= MFT_RADIOCHECK;
            found = true;
        } else {
            item.state &= ~UINT(MF_CHECKED);
        }
    }
    if (!found)
        SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
    return found ? TRUE : FALSE;
}

BOOL SetMenuItemBitmaps(HMENU hMenu, UINT uPosition, UINT uFlags, HBITMAP hBitmapUnchecked, HBITMAP hBitmapChecked)
{
    MenuItemRef ref;
    if (!LocateOrFail(hMenu, uPosition, uFlags & MF_BYPOSITION, ref))
        return FALSE;
    ref.item->uncheckedBitmap = hBitmapUnchecked;
    ref.item->checkedBitmap = hBitmapChecked;
    return TRUE;
}

LONG GetMenuCheckMarkDimensions()
{
    return MAKELONG(GetSystemMetrics(SM_CXMENUCHECK), GetSystemMetrics(SM_CYMENUCHECK));
}

BOOL HiliteMenuItem(HWND hWnd, HMENU hMenu, UINT uIDHiliteItem, UINT uHilite)
{
    if (!FindWindowRecord(hWnd))
        return FALSE;
    MenuItemRef ref;
    if (!LocateOrFail(hMenu, uIDHiliteItem, uHilite & MF_BYPOSITION, ref))
        return FALSE;
    ref.item->state = (ref.item->state & ~UINT(MF_HILITE)) | (uHilite & MF_HILITE);
    if (GetMenu(hWnd) == ref.menu)
        InvalidateWindowFrame(hWnd);
    return TRUE;
}
