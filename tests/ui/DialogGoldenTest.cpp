// A sample dialog with one of every control, laid out from a template in the
// classic 8-point dialog font and compared pixel for pixel with the picture
// kept in tests/data/ui. Set THREADWICK_UPDATE_GOLDEN=1 to write it again
// after an intended change of look, then look at it and commit it.

#include "tests/ui/UiTestSupport.h"
#include "tests/support/GoldenPicture.h"

#include "platform/base/ResourceTables.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/CommCtrl.h"

#include <gtest/gtest.h>

#include <vector>

using namespace uitest;

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

// Dialog units, as a resource script would give them.
const platform::DialogItemTemplate kItems[] = {
    {kChild | BS_GROUPBOX, 0, 0, 7, 7, 110, 74, -1, "BUTTON", "&Buttons", 0},
    {kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 14, 19, 46, 14, IDOK, "BUTTON", "OK", 0},
    {kChild | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 64, 19, 46, 14, IDCANCEL, "BUTTON", "Cancel", 0},
    {kChild | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 0, 14, 37, 46, 10, 101, "BUTTON", "&Grid", 0},
    {kChild | WS_TABSTOP | BS_CHECKBOX, 0, 0, 64, 37, 46, 10, 102, "BUTTON", "Snap", 0},
    {kChild | WS_GROUP | WS_TABSTOP | BS_AUTORADIOBUTTON, 0, 0, 14, 51, 46, 10, 103, "BUTTON", "Inches", 0},
    {kChild | BS_AUTORADIOBUTTON, 0, 0, 64, 51, 46, 10, 104, "BUTTON", "Metric", 0},
    {kChild | BS_OWNERDRAW, 0, 0, 14, 64, 96, 12, 105, "BUTTON", "Owner", 0},
    {kChild | SS_LEFT, 0, 0, 124, 9, 40, 8, -1, "STATIC", "&Name:", 0},
    {kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 164, 7, 80, 12, 106, "EDIT", "Plan 1", 0},
    {kChild | SS_ETCHEDFRAME, 0, 0, 124, 23, 120, 2, -1, "STATIC", "", 0},
    {kChild | SS_BLACKFRAME, 0, 0, 124, 28, 20, 12, -1, "STATIC", "", 0},
    {kChild | SS_CENTER, 0, 0, 148, 30, 96, 8, -1, "STATIC", "Centred text", 0},
    {kChild | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY, 0, 0, 124, 43, 56, 40, 107, "LISTBOX", "", 0},
    {kChild | WS_TABSTOP | CBS_DROPDOWNLIST, 0, 0, 184, 43, 60, 60, 108, "COMBOBOX", "", 0},
    {kChild | WS_TABSTOP | SBS_HORZ, 0, 0, 184, 60, 60, 10, 109, "SCROLLBAR", "", 0},
    {kChild | WS_TABSTOP | SBS_VERT, 0, 0, 234, 72, 10, 40, 110, "SCROLLBAR", "", 0},
    {kChild, 0, 0, 7, 88, 110, 10, 111, PROGRESS_CLASS, "", 0},
    {kChild | WS_TABSTOP, 0, 0, 7, 102, 110, 50, 112, WC_TABCONTROL, "", 0},
    {kChild | WS_TABSTOP | TBS_AUTOTICKS, 0, 0, 124, 88, 80, 20, 113, TRACKBAR_CLASS, "", 0},
    {kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 184, 114, 30, 12, 114, "EDIT", "5", 0},
    {kChild | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_ALIGNRIGHT | UDS_AUTOBUDDY, 0, 0, 214, 114, 10, 12, 115,
        UPDOWN_CLASS, "", 0},
    {kChild | WS_BORDER | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, 0, 0, 124, 114, 56, 38,
        116, WC_TREEVIEW, "", 0},
    {kChild | CCS_NORESIZE | CCS_NOPARENTALIGN, 0, 0, 7, 156, 110, 14, 117, TOOLBARCLASSNAME, "", 0},
    {kChild | CCS_BOTTOM, 0, 0, 0, 0, 0, 0, 118, STATUSCLASSNAME, "Ready", 0},
};

const platform::DialogTemplate kSample = {false, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0, 0,
    0, 0, 252, 186, "Every control", nullptr, 0, "", 8, FW_NORMAL, 0, ANSI_CHARSET, "MS Sans Serif", kItems,
    WORD(sizeof kItems / sizeof kItems[0])};

void Fill(HWND dlg)
{
    HWND list = GetDlgItem(dlg, 107);
    for (const char* s : {"Walls", "Doors", "Windows", "Roof"})
        SendMessage(list, LB_ADDSTRING, 0, LPARAM(s));
    SendMessage(list, LB_SETCURSEL, 1, 0);
    HWND combo = GetDlgItem(dlg, 108);
    SendMessage(combo, CB_ADDSTRING, 0, LPARAM("1:100"));
    SendMessage(combo, CB_ADDSTRING, 0, LPARAM("1:50"));
    SendMessage(combo, CB_SETCURSEL, 0, 0);
    CheckDlgButton(dlg, 101, BST_CHECKED);
    CheckRadioButton(dlg, 103, 104, 103);
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 100, 20, 30, 0};
    SetScrollInfo(GetDlgItem(dlg, 109), SB_CTL, &si, TRUE);
    SetScrollInfo(GetDlgItem(dlg, 110), SB_CTL, &si, TRUE);
    SendDlgItemMessage(dlg, 111, PBM_SETPOS, 60, 0);
    HWND tab = GetDlgItem(dlg, 112);
    for (const char* s : {"General", "Paper", "Pens"}) {
        TCITEM item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<LPSTR>(s);
        SendMessage(tab, TCM_INSERTITEM, 99, LPARAM(&item));
    }
    SendDlgItemMessage(dlg, 113, TBM_SETRANGE, TRUE, MAKELONG(0, 10));
    SendDlgItemMessage(dlg, 113, TBM_SETPOS, TRUE, 4);
    SendDlgItemMessage(dlg, 115, UDM_SETRANGE, 0, MAKELONG(10, 0));
    HWND tree = GetDlgItem(dlg, 116);
    TVINSERTSTRUCT ins{};
    ins.hParent = TVI_ROOT;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT;
    ins.item.pszText = const_cast<LPSTR>("Drawings");
    auto root = HTREEITEM(SendMessage(tree, TVM_INSERTITEM, 0, LPARAM(&ins)));
    ins.hParent = root;
    ins.item.pszText = const_cast<LPSTR>("Plan");
    SendMessage(tree, TVM_INSERTITEM, 0, LPARAM(&ins));
    SendMessage(tree, TVM_EXPAND, TVE_EXPAND, LPARAM(root));
    HWND bar = GetDlgItem(dlg, 117);
    SendMessage(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    TBBUTTON sep{};
    sep.iBitmap = 8;
    sep.fsStyle = TBSTYLE_SEP;
    SendMessage(bar, TB_ADDBUTTONS, 1, LPARAM(&sep));
    SendDlgItemMessage(dlg, 118, SB_SETTEXT, 0, LPARAM("Ready"));
}

INT_PTR CALLBACK SampleProc(HWND dlg, UINT msg, WPARAM, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        Fill(dlg);
        return TRUE;
    }
    if (msg == WM_DRAWITEM) {
        auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        FillRect(di->hDC, &di->rcItem, GetSysColorBrush(COLOR_HIGHLIGHT));
        return TRUE;
    }
    return FALSE;
}

class DialogGoldenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        Rec() = Recorder();
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&icc);
    }
    void TearDown() override { platform::headless::Reset(); }
};

TEST_F(DialogGoldenTest, ClassicFontGivesTheClassicBaseUnits)
{
    HWND dlg = CreateDialogIndirect(NULL, &kSample, NULL, SampleProc);
    ASSERT_NE(dlg, nullptr);
    RECT r{0, 0, 4, 8};
    ASSERT_TRUE(MapDialogRect(dlg, &r));
    EXPECT_EQ(r.right, 6);
    EXPECT_EQ(r.bottom, 13);
    // The controls land where their dialog units say.
    RECT edit{};
    GetWindowRect(GetDlgItem(dlg, 106), &edit);
    MapWindowPoints(NULL, dlg, reinterpret_cast<POINT*>(&edit), 2);
    EXPECT_EQ(edit.left, 164 * 6 / 4);
    EXPECT_EQ(edit.bottom - edit.top, (12 * 13 + 4) / 8);
    DestroyWindow(dlg);
}

TEST_F(DialogGoldenTest, SampleDialogLooksAsItDid)
{
    HWND dlg = CreateDialogIndirect(NULL, &kSample, NULL, SampleProc);
    ASSERT_NE(dlg, nullptr);
    ShowWindow(dlg, SW_SHOW);
    SetWindowPos(dlg, NULL, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Pump();
    UpdateWindow(dlg);
    Pump();

    testing_support::ExpectLooksAsBefore(dlg, "ui", "sample_dialog.png");
}

} // namespace
