// The drop-down list of a combo box as a user meets it on a desktop: the
// field without scroll bars, the list that stays open when the desktop hands
// it the focus, choices by mouse and keys in a toolbar-like parent and in a
// modal dialog, the field's look following EnableWindow, and where the list
// opens: outside its dialog, over the field when the screen has no room below
// it, as wide as its widest item.

#include "platform/base/ResourceTables.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/DialogManager.h"
#include "platform/ui/internal/InputEvents.h"
#include "platform/ui/internal/ListBoxShared.h"
#include "tests/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace uitest;

namespace {

constexpr int kComboId = 173;
constexpr DWORD kZoomComboStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_HASSTRINGS | CBS_DROPDOWNLIST;

void PumpTranslated()
{
    MSG msg;
    for (int i = 0; i < 10000 && PeekMessage(&msg, NULL, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
}

POINT FieldPoint(HWND combo)
{
    RECT r;
    GetWindowRect(combo, &r);
    return POINT{r.left + 20, (r.top + r.bottom) / 2};
}

POINT ItemPoint(HWND list, int index)
{
    RECT item;
    SendMessage(list, LB_GETITEMRECT, WPARAM(index), LPARAM(&item));
    POINT p{item.left + 5, (item.top + item.bottom) / 2};
    ClientToScreen(list, &p);
    return p;
}

class ComboBoxDropTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        Rec() = Recorder();
        platform::InstallListAndEditControls();
        frame = MakeTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{0, 0, 600, 400});
        // The combo sits in a bar, as the zoom field does in the toolbar.
        bar = MakeChild(frame, 1, RECT{0, 0, 600, 30});
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        platform::headless::Reset();
    }

    HWND MakeZoomCombo(HWND parent, DWORD style = kZoomComboStyle)
    {
        HWND combo = CreateWindowEx(0, "ComboBox", "", style, 260, 4, 120, 150, parent, HMENU(INT_PTR(kComboId)),
            NULL, NULL);
        for (const char* item : {"Fit in Window", "50%", "100%", "200%"})
            SendMessage(combo, CB_ADDSTRING, 0, LPARAM(item));
        SendMessage(combo, CB_SETCURSEL, 0, 0);
        return combo;
    }

    HWND frame = NULL;
    HWND bar = NULL;
};

TEST_F(ComboBoxDropTest, ScrollBarStyleGoesToTheListNotTheField)
{
    HWND combo = MakeZoomCombo(bar);
    // More items than the list shows, so that it needs its scroll bar.
    for (int i = 0; i < 20; ++i)
        SendMessage(combo, CB_ADDSTRING, 0, LPARAM("300%"));
    EXPECT_EQ(GetWindowLongPtr(combo, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL), 0);
    RECT window, client;
    GetWindowRect(combo, &window);
    GetClientRect(combo, &client);
    EXPECT_EQ(client.right, window.right - window.left);

    SendMessage(combo, CB_SHOWDROPDOWN, TRUE, 0);
    HWND list = VisibleComboList();
    ASSERT_NE(list, nullptr);
    EXPECT_NE(GetWindowLongPtr(list, GWL_STYLE) & WS_VSCROLL, 0);
}

TEST_F(ComboBoxDropTest, DesktopFocusOnTheListLeavesItOpenForMouseAndKeys)
{
    HWND combo = MakeZoomCombo(bar);
    POINT field = FieldPoint(combo);
    platform::headless::Click(field.x, field.y);
    PumpTranslated();
    HWND list = VisibleComboList();
    ASSERT_NE(list, nullptr);

    // A desktop gives a window that shows its keyboard focus; the list must
    // neither become active nor close.
    platform::DeliverSurfaceFocus(list, true);
    PumpTranslated();
    EXPECT_EQ(GetActiveWindow(), frame);
    EXPECT_EQ(GetFocus(), combo);
    ASSERT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), TRUE);

    POINT item = ItemPoint(list, 2);
    platform::headless::MoveMouse(item.x, item.y);
    platform::headless::Click(item.x, item.y);
    PumpTranslated();
    EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), FALSE);
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 2);

    // Again by keys: F4 drops, Down moves, Return takes the item.
    platform::headless::TypeKey(VK_F4);
    PumpTranslated();
    ASSERT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), TRUE);
    platform::DeliverSurfaceFocus(VisibleComboList(), true);
    platform::headless::TypeKey(VK_DOWN);
    platform::headless::TypeKey(VK_RETURN);
    PumpTranslated();
    EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), FALSE);
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(GetActiveWindow(), frame);
}

TEST_F(ComboBoxDropTest, InAModalDialogReturnAndEscapeCloseTheListFirst)
{
    std::vector<platform::DialogItemTemplate> items = {
        {WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_HASSTRINGS, 0, 0, 10, 10, 80, 60, kComboId,
            "COMBOBOX", "", 0},
        {WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 10, 80, 50, 14, IDOK, "BUTTON", "OK", 0},
        {WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 70, 80, 50, 14, IDCANCEL, "BUTTON", "Cancel", 0},
    };
    platform::DialogTemplate t{};
    t.style = WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT;
    t.cx = 140;
    t.cy = 100;
    t.caption = "States";
    t.className = "";
    t.pointSize = 8;
    t.weight = FW_NORMAL;
    t.faceName = "MS Sans Serif";
    t.items = items.data();
    t.count = WORD(items.size());

    static HWND s_dialog;
    static std::vector<int> s_commands;
    s_dialog = NULL;
    s_commands.clear();
    DLGPROC proc = [](HWND hDlg, UINT msg, WPARAM wParam, LPARAM) -> INT_PTR {
        if (msg == WM_INITDIALOG) {
            s_dialog = hDlg;
            HWND combo = GetDlgItem(hDlg, kComboId);
            for (const char* state : {"AK", "AL", "AZ", "CA"})
                SendMessage(combo, CB_ADDSTRING, 0, LPARAM(state));
            SendMessage(combo, CB_SETCURSEL, 0, 0);
            return TRUE;
        }
        if (msg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
            s_commands.push_back(LOWORD(wParam));
            EndDialog(hDlg, LOWORD(wParam) == IDOK ? 10 + int(SendDlgItemMessage(hDlg, kComboId, CB_GETCURSEL, 0, 0))
                                                   : IDCANCEL);
        }
        return FALSE;
    };

    int step = 0;
    bool droppedByClick = false;
    bool closedByEscape = false;
    bool closedByReturn = false;
    platform::headless::SetIdleHandler([&]() {
        HWND combo = GetDlgItem(s_dialog, kComboId);
        switch (step++) {
        case 0: {
            POINT p = FieldPoint(combo);
            platform::headless::Click(p.x, p.y);
            return true;
        }
        case 1:
            droppedByClick = SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0) == TRUE;
            if (HWND list = VisibleComboList())
                platform::DeliverSurfaceFocus(list, true);
            platform::headless::TypeKey(VK_DOWN);
            platform::headless::TypeKey(VK_ESCAPE);
            return true;
        case 2:
            closedByEscape = IsWindow(s_dialog) && SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0) == FALSE;
            platform::headless::TypeKey(VK_F4);
            platform::headless::TypeKey(VK_DOWN);
            platform::headless::TypeKey(VK_DOWN);
            platform::headless::TypeKey(VK_RETURN);
            return true;
        case 3:
            closedByReturn = IsWindow(s_dialog) && SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0) == FALSE;
            platform::headless::TypeKey(VK_RETURN);
            return true;
        default:
            return false;
        }
    });
    HWND owner = frame;
    INT_PTR result = DialogBoxIndirectParam(NULL, &t, owner, proc, 0);
    EXPECT_TRUE(droppedByClick);
    EXPECT_TRUE(closedByEscape);
    EXPECT_TRUE(closedByReturn);
    // Escape on the list put the first item back; Return on it kept the
    // third; only the last Return reached the dialog.
    EXPECT_EQ(result, 12);
    EXPECT_EQ(s_commands, std::vector<int>{IDOK});
}

TEST_F(ComboBoxDropTest, EnablingAControlPaintsItsNewLook)
{
    HWND combo = MakeZoomCombo(bar, kZoomComboStyle | WS_DISABLED);
    PumpTranslated();
    COLORREF disabled = platform::headless::WindowPixel(combo, 98, 4);
    EXPECT_EQ(disabled, GetSysColor(COLOR_BTNFACE));

    // The idle command update does this, with nothing else to paint after.
    EnableWindow(combo, TRUE);
    PumpTranslated();
    EXPECT_EQ(platform::headless::WindowPixel(combo, 98, 4), GetSysColor(COLOR_WINDOW));

    EnableWindow(combo, FALSE);
    PumpTranslated();
    EXPECT_EQ(platform::headless::WindowPixel(combo, 98, 4), GetSysColor(COLOR_BTNFACE));

    // A drop-down combo's edit follows its combo.
    HWND withEdit = CreateWindowEx(0, "ComboBox", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, 10, 4, 120, 150, bar,
        HMENU(INT_PTR(174)), NULL, NULL);
    HWND edit = GetWindow(withEdit, GW_CHILD);
    ASSERT_NE(edit, nullptr);
    EnableWindow(withEdit, FALSE);
    EXPECT_FALSE(IsWindowEnabled(edit));
    EnableWindow(withEdit, TRUE);
    EXPECT_TRUE(IsWindowEnabled(edit));
}


// A small dialog low on the screen with a combo at its bottom edge, whose
// longest item is wider than the field.
class ComboBoxPlacementTest : public ComboBoxDropTest {
protected:
    void SetUp() override
    {
        ComboBoxDropTest::SetUp();
        dialog = MakeTopLevel(WS_POPUP | WS_CAPTION | WS_VISIBLE, RECT{300, 600, 500, 700});
        combo = CreateWindowEx(0, "ComboBox", "", kZoomComboStyle, 10, 50, 80, 120, dialog,
            HMENU(INT_PTR(kComboId)), NULL, NULL);
        for (const char* item : {"Letter", "Legal", "A4 (210 x 297 millimetres, portrait)", "Envelope"})
            SendMessage(combo, CB_ADDSTRING, 0, LPARAM(item));
        SendMessage(combo, CB_SETCURSEL, 0, 0);
        SetFocus(combo);
    }
    RECT Dropped(HWND c)
    {
        SendMessage(c, CB_SHOWDROPDOWN, TRUE, 0);
        RECT r{};
        GetWindowRect(VisibleComboList(), &r);
        SendMessage(c, CB_SHOWDROPDOWN, FALSE, 0);
        return r;
    }
    HWND dialog = NULL;
    HWND combo = NULL;
};

TEST_F(ComboBoxPlacementTest, ListOpensOutsideItsDialogAboveTheFieldWhenTheScreenEndsBelow)
{
    RECT field, frame;
    GetWindowRect(combo, &field);
    GetWindowRect(dialog, &frame);
    POINT p = FieldPoint(combo);
    platform::headless::Click(p.x, p.y);
    PumpTranslated();
    HWND list = VisibleComboList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(GetWindowLongPtr(list, GWL_STYLE) & (WS_POPUP | WS_CHILD), WS_POPUP);
    RECT drop;
    GetWindowRect(list, &drop);
    EXPECT_EQ(drop.bottom, field.top);
    EXPECT_LT(drop.top, frame.top);
    EXPECT_EQ(drop.left, field.left);
    // Wide enough for the longest item, not cut to the field.
    HDC dc = GetDC(combo);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SIZE longest{};
    GetTextExtentPoint32(dc, "A4 (210 x 297 millimetres, portrait)", 36, &longest);
    SelectObject(dc, old);
    ReleaseDC(combo, dc);
    RECT client;
    GetClientRect(list, &client);
    EXPECT_GE(client.right, longest.cx);

    // The list above still takes a click; a click elsewhere closes it.
    POINT item = ItemPoint(list, 3);
    platform::headless::MoveMouse(item.x, item.y);
    platform::headless::Click(item.x, item.y);
    PumpTranslated();
    EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), FALSE);
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 3);
    platform::headless::TypeKey(VK_F4);
    PumpTranslated();
    ASSERT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), TRUE);
    platform::headless::Click(frame.right - 5, frame.bottom - 5);
    PumpTranslated();
    EXPECT_FALSE(IsWindowVisible(list));
}

TEST_F(ComboBoxPlacementTest, ListOpensBelowWithRoomAndKeepsToTheScreen)
{
    SetWindowPos(dialog, NULL, 300, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT field;
    GetWindowRect(combo, &field);
    EXPECT_EQ(Dropped(combo).top, field.bottom);

    // A dropped width asked for is the least width; at the screen's right
    // edge the list moves left to stay whole.
    EXPECT_EQ(SendMessage(combo, CB_SETDROPPEDWIDTH, 400, 0), 400);
    EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDWIDTH, 0, 0), 400);
    SetWindowPos(dialog, NULL, 900, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT drop = Dropped(combo);
    EXPECT_EQ(drop.right - drop.left, 400);
    EXPECT_EQ(drop.right, GetSystemMetrics(SM_CXSCREEN));

    // Too tall for either side of a short screen: the roomier side, cut.
    platform::headless::SetScreen(1024, 300);
    SetWindowPos(dialog, NULL, 300, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    HWND tall = CreateWindowEx(0, "ComboBox", "", kZoomComboStyle, 10, 50, 80, 400, dialog, HMENU(INT_PTR(175)),
        NULL, NULL);
    GetWindowRect(tall, &field);
    drop = Dropped(tall);
    EXPECT_EQ(drop.top, field.bottom);
    EXPECT_EQ(drop.bottom, 300);
}

} // namespace
