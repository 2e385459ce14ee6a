#pragma once
// A modeless dialog holding the kit's owner-drawn controls, for the check-list
// box, colour combo and focus-frame tests: list 1000, combo 1001, group
// buttons 701 and 705, an edit field 710 and the frame control 733 (the
// second template has no 733). Drawing goes into a memory bitmap.

#include "platform/base/ResourceTables.h"
#include "platform/base/Resources.h"
#include "platform/framework/Dialog.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"
#include "tests/framework/FrameworkTestSupport.h"

namespace kittest {

constexpr UINT kDialogId = 30601;
constexpr UINT kNoFrameDialogId = 30602;
constexpr int kListId = 1000;
constexpr int kComboId = 1001;
constexpr int kEditId = 710;
constexpr int kFrameId = 733;

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
inline const platform::DialogItemTemplate kItems[] = {
    {kChild | WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_MULTIPLESEL, 0, 0, 10,
        10, 100, 60, kListId, "LISTBOX", "", 0},
    {kChild | WS_TABSTOP | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, 0, 0, 120, 10, 90, 80, kComboId,
        "COMBOBOX", "", 0},
    {kChild | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 10, 80, 40, 14, 701, "BUTTON", "One", 0},
    {kChild | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 60, 80, 40, 14, 705, "BUTTON", "Five", 0},
    {kChild | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 0, 0, 110, 80, 50, 12, kEditId, "EDIT", "", 0},
    {kChild | BS_GROUPBOX, 0, 0, 10, 100, 150, 50, kFrameId, "BUTTON", "Frame", 0},
};
inline const platform::DialogTemplate kTemplate = {false, WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_SETFONT, 0, 0, 0,
    0, 230, 160, "Kit", nullptr, 0, "", 8, 400, 0, 0, "MS Sans Serif", kItems, 6};
inline const platform::DialogTemplate kNoFrameTemplate = {false, WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_SETFONT, 0,
    0, 0, 0, 230, 160, "Kit", nullptr, 0, "", 8, 400, 0, 0, "MS Sans Serif", kItems, 5};

inline void RegisterKitDialogs()
{
    static const platform::ResourceEntry entries[] = {
        {nullptr, 5, nullptr, WORD(kDialogId), &kTemplate, DWORD(sizeof kTemplate)},
        {nullptr, 5, nullptr, WORD(kNoFrameDialogId), &kNoFrameTemplate, DWORD(sizeof kNoFrameTemplate)},
    };
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    static const platform::ResourceTable table{entries, sizeof entries / sizeof entries[0], nullptr, 0};
    platform::RegisterResourceModule(platform::ResourceModule::Program, table);
}

// A memory bitmap of the screen's format to draw items into, filled with
// magenta so that untouched pixels show.
class MemoryCanvas {
public:
    static constexpr COLORREF kUntouched = RGB(255, 0, 255);

    MemoryCanvas(int cx, int cy)
    {
        CClientDC screen(nullptr);
        dc.CreateCompatibleDC(&screen);
        bitmap.CreateCompatibleBitmap(&screen, cx, cy);
        old = dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, cx, cy, kUntouched);
    }
    ~MemoryCanvas() { dc.SelectObject(old); }

    COLORREF At(int x, int y) const { return dc.GetPixel(x, y); }
    // How many pixels of the rectangle have the colour.
    int Count(const RECT& rc, COLORREF colour) const
    {
        int n = 0;
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left; x < rc.right; ++x)
                n += At(x, y) == colour ? 1 : 0;
        return n;
    }

    CDC dc;
    CBitmap bitmap;
    CBitmap* old = nullptr;
};

inline DRAWITEMSTRUCT MakeDrawItem(CDC& dc, HWND hwnd, int nItem, UINT action, UINT state, const RECT& rc,
    DWORD_PTR data = 0)
{
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_LISTBOX;
    dis.itemID = UINT(nItem);
    dis.itemAction = action;
    dis.itemState = state;
    dis.hwndItem = hwnd;
    dis.hDC = dc.GetSafeHdc();
    dis.rcItem = rc;
    dis.itemData = data;
    return dis;
}

} // namespace kittest
