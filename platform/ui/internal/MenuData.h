#pragma once
// Menu records behind HMENU, shared by the menu code: the API (MenuApi.cpp),
// layout and drawing of bars and popups (MenuDraw.cpp) and tracking
// (MenuTrack.cpp). Only that code includes this.
//
// A menu owns the submenus of its popup items: DestroyMenu and DeleteMenu
// take them along, RemoveMenu hands them back to the caller. Handles come
// from a HandleTable, so a destroyed menu's handle finds nothing.

#include "platform/base/Types.h"

#include <string>
#include <vector>

#ifndef ERROR_POPUP_ALREADY_ACTIVE
#define ERROR_POPUP_ALREADY_ACTIVE 1446L
#endif
#ifndef ERROR_MENU_ITEM_NOT_FOUND
#define ERROR_MENU_ITEM_NOT_FOUND 1456L
#endif

namespace platform {

struct MenuItem {
    // MF_SEPARATOR, MF_BITMAP, MF_OWNERDRAW, MF_MENUBREAK, MF_MENUBARBREAK,
    // MF_HELP (right-justified in a bar), MFT_RADIOCHECK.
    UINT type = 0;
    // MF_GRAYED, MF_DISABLED, MF_CHECKED, MF_HILITE, MF_DEFAULT.
    UINT state = 0;
    UINT id = 0; // 0 for popups and separators
    HMENU submenu = NULL;
    std::string text; // Windows-1252; '&' marks the mnemonic, '\t' starts the accelerator text
    HBITMAP bitmap = NULL; // MF_BITMAP items
    HBITMAP checkedBitmap = NULL; // SetMenuItemBitmaps; NULL: the standard check mark
    HBITMAP uncheckedBitmap = NULL; // NULL: nothing when unchecked
    ULONG_PTR data = 0; // MF_OWNERDRAW items
    RECT rect{}; // last layout: bar coordinates for bar items, popup client coordinates otherwise
};

struct Menu {
    std::vector<MenuItem> items;
    bool popup = false; // CreatePopupMenu (or a popup of a template)
    bool system = false; // a window's system menu: its choices are WM_SYSCOMMAND
};

// The live record, or nullptr with ERROR_INVALID_MENU_HANDLE.
Menu* FindMenuRecord(HMENU menu);
// The same without touching the last error.
Menu* PeekMenuRecord(HMENU menu);

// An item found by position or by command (searching submenus, depth first).
struct MenuItemRef {
    HMENU menu = NULL; // the menu holding the item
    int index = -1;
    MenuItem* item = nullptr; // valid until the menu changes
};
// flags: MF_BYPOSITION or MF_BYCOMMAND. Sets no error.
bool LocateMenuItem(HMENU menu, UINT which, UINT flags, MenuItemRef& out);

// The upper-case Windows-1252 character after a single '&' of an item's
// label; 0 when it has none.
BYTE MenuMnemonic(const std::string& text);

// The system menu of a window, made on first use; NULL for child windows.
HMENU SystemMenuOf(HWND hwnd);

// ---- Layout and drawing (MenuDraw.cpp) ----------------------------------------------------------

// Lays the bar out for a width (items wrap into rows, MF_HELP items and
// those after them go to the right) and returns its height, 0 for no items.
int LayoutMenuBar(Menu& menu, int width);
// Lays a popup out (its items' rects in popup client coordinates) and
// returns its size.
SIZE LayoutPopupMenu(Menu& menu);
// Draws the bar's items; `bar` is where the bar is in the DC; `selected`
// is the item shown highlighted (-1: none).
void DrawMenuBarItems(HDC hdc, Menu& menu, const RECT& bar, int selected);
// Draws a laid-out popup into a DC whose origin is the popup's top-left.
void DrawPopupMenu(HDC hdc, Menu& menu, SIZE size, int selected);

// ---- Tracking (MenuTrack.cpp) --------------------------------------------------------------------

// The bar item of hwnd's menu that a running menu loop shows selected, -1
// when none.
int TrackedBarItem(HWND hwnd);
// Where the menu bar of a top-level window is, in window coordinates
// (empty when it has none).
RECT MenuBarRectInWindow(HWND hwnd);

} // namespace platform
