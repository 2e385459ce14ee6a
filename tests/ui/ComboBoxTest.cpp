// The combo box in its three kinds, driven by messages and injected input on
// the headless back end.

#include "tests/ui/UiTestSupport.h"

#include "platform/ui/internal/ListBoxShared.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace uitest;

namespace {

// The loop a program runs, so that typed keys become characters.
void PumpTranslated()
{
    MSG msg;
    for (int i = 0; i < 10000 && PeekMessage(&msg, NULL, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
}

class ComboBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        Rec() = Recorder();
        platform::InstallListAndEditControls();
        parent = MakeTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{100, 100, 500, 400});
        Rec().handlers[parent] = [this](HWND, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
            switch (msg) {
            case WM_COMMAND:
                if (LOWORD(wParam) == 173)
                    codes.push_back(HIWORD(wParam));
                return false;
            case WM_MEASUREITEM:
                measured.push_back(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
                reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = 18;
                result = TRUE;
                return true;
            case WM_DRAWITEM:
                drawn.push_back(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
                result = TRUE;
                return true;
            default:
                return false;
            }
        };
    }
    void TearDown() override { platform::headless::Reset(); }

    // The toolbar's combo: id 173, drop height 160.
    HWND MakeCombo(DWORD style, int height = 160)
    {
        return CreateWindowEx(0, "ComboBox", "", WS_CHILD | WS_VISIBLE | style, 10, 10, 150, height, parent,
            HMENU(INT_PTR(173)), NULL, NULL);
    }

    static void Add(HWND combo, std::initializer_list<const char*> items)
    {
        for (const char* item : items)
            SendMessage(combo, CB_ADDSTRING, 0, LPARAM(item));
    }

    static HWND DroppedList()
    {
        // The popup list is the visible top-level "ComboLBox".
        HWND found = NULL;
        for (HWND w = GetTopWindow(NULL); w; w = GetWindow(w, GW_HWNDNEXT)) {
            char name[32] = {};
            GetClassName(w, name, sizeof name);
            if (std::string(name) == "ComboLBox" && IsWindowVisible(w))
                found = w;
        }
        return found;
    }

    bool Saw(int code) const { return std::find(codes.begin(), codes.end(), code) != codes.end(); }

    HWND parent = NULL;
    std::vector<int> codes;
    std::vector<MEASUREITEMSTRUCT> measured;
    std::vector<DRAWITEMSTRUCT> drawn;
};

TEST_F(ComboBoxTest, KeepsItemsSortedAndAnswersListMessages)
{
    HWND combo = MakeCombo(CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL);
    Add(combo, {"Times", "arial", "Courier"});
    EXPECT_EQ(SendMessage(combo, CB_GETCOUNT, 0, 0), 3);
    char text[32] = {};
    EXPECT_EQ(SendMessage(combo, CB_GETLBTEXT, 1, LPARAM(text)), 7);
    EXPECT_STREQ(text, "Courier");
    EXPECT_EQ(SendMessage(combo, CB_GETLBTEXTLEN, 2, 0), 5);
    EXPECT_EQ(SendMessage(combo, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("times")), 2);
    EXPECT_EQ(SendMessage(combo, CB_FINDSTRING, WPARAM(-1), LPARAM("co")), 1);
    EXPECT_EQ(SendMessage(combo, CB_SETITEMDATA, 1, 99), CB_OKAY);
    EXPECT_EQ(SendMessage(combo, CB_GETITEMDATA, 1, 0), 99);
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(SendMessage(combo, CB_SETCURSEL, 2, 0), 2);
    char shown[32] = {};
    GetWindowText(combo, shown, sizeof shown);
    EXPECT_STREQ(shown, "Times");
    EXPECT_EQ(SendMessage(combo, CB_DELETESTRING, 0, 0), 2);
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 1);
    SendMessage(combo, CB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessage(combo, CB_GETCOUNT, 0, 0), 0);
    // Setting the selection by message does not notify.
    EXPECT_FALSE(Saw(CBN_SELCHANGE));
}

TEST_F(ComboBoxTest, DropsAListAsTallAsTheCreationHeight)
{
    HWND combo = MakeCombo(CBS_DROPDOWNLIST | WS_VSCROLL, 160);
    Add(combo, {"a", "b", "c"});
    RECT field;
    GetWindowRect(combo, &field);
    EXPECT_LT(field.bottom - field.top, 40);
    RECT dropped;
    SendMessage(combo, CB_GETDROPPEDCONTROLRECT, 0, LPARAM(&dropped));
    EXPECT_EQ(dropped.bottom - dropped.top, 160);

    EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), FALSE);
    SendMessage(combo, CB_SHOWDROPDOWN, TRUE, 0);
    EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), TRUE);
    EXPECT_TRUE(Saw(CBN_DROPDOWN));
    HWND list = DroppedList();
    ASSERT_NE(list, nullptr);
    RECT lr;
    GetWindowRect(list, &lr);
    EXPECT_EQ(lr.top, field.bottom);
    EXPECT_EQ(lr.left, field.left);
    EXPECT_EQ(lr.bottom - lr.top, 160 - (field.bottom - field.top));
    SendMessage(combo, CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_FALSE(IsWindowVisible(list));
    EXPECT_TRUE(Saw(CBN_CLOSEUP));
}

TEST_F(ComboBoxTest, MouseOpensTheListAndPicksAnItem)
{
    HWND combo = MakeCombo(CBS_DROPDOWNLIST);
    Add(combo, {"one", "two", "three"});
    RECT field;
    GetWindowRect(combo, &field);
    platform::headless::Click(field.right - 5, (field.top + field.bottom) / 2);
    PumpTranslated();
    ASSERT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), TRUE);
    HWND list = DroppedList();
    ASSERT_NE(list, nullptr);
    RECT item;
    SendMessage(list, LB_GETITEMRECT, 2, LPARAM(&item));
    POINT p{item.left + 5, (item.top + item.bottom) / 2};
    ClientToScreen(list, &p);
    platform::headless::MoveMouse(p.x, p.y);
    platform::headless::Click(p.x, p.y);
    PumpTranslated();
    EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), FALSE);
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 2);
    EXPECT_TRUE(Saw(CBN_SELENDOK));
    EXPECT_TRUE(Saw(CBN_SELCHANGE));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ComboBoxTest, ClickOutsideCancelsAndRestoresTheSelection)
{
    HWND combo = MakeCombo(CBS_DROPDOWNLIST);
    Add(combo, {"one", "two", "three"});
    SendMessage(combo, CB_SETCURSEL, 0, 0);
    SendMessage(combo, CB_SHOWDROPDOWN, TRUE, 0);
    HWND list = DroppedList();
    ASSERT_NE(list, nullptr);
    RECT item;
    SendMessage(list, LB_GETITEMRECT, 1, LPARAM(&item));
    POINT p{item.left + 5, (item.top + item.bottom) / 2};
    ClientToScreen(list, &p);
    platform::headless::MoveMouse(p.x, p.y);
    PumpTranslated();
    platform::headless::Click(450, 350);
    PumpTranslated();
    EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), FALSE);
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 0);
    EXPECT_FALSE(Saw(CBN_SELCHANGE));
    EXPECT_TRUE(Saw(CBN_SELENDCANCEL));
}

TEST_F(ComboBoxTest, KeyboardChangesTheSelectionAndDropsWithF4)
{
    HWND combo = MakeCombo(CBS_DROPDOWNLIST);
    Add(combo, {"one", "two", "three"});
    SetFocus(combo);
    EXPECT_TRUE(Saw(CBN_SETFOCUS));
    platform::headless::TypeKey(VK_DOWN);
    platform::headless::TypeKey(VK_DOWN);
    PumpTranslated();
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), CBN_SELCHANGE), 2);
    platform::headless::TypeKey(VK_F4);
    PumpTranslated();
    EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), TRUE);
    platform::headless::TypeKey(VK_DOWN);
    platform::headless::TypeKey(VK_RETURN);
    PumpTranslated();
    EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), FALSE);
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 2);
    // A typed letter jumps to the next item starting with it.
    platform::headless::TypeText("o");
    PumpTranslated();
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 0);
    SetFocus(parent);
    EXPECT_TRUE(Saw(CBN_KILLFOCUS));
}

TEST_F(ComboBoxTest, DropDownEditReportsTypingAndTakesListChoices)
{
    HWND combo = MakeCombo(CBS_DROPDOWN);
    Add(combo, {"alpha", "beta"});
    EXPECT_EQ(SendMessage(combo, CB_LIMITTEXT, 4, 0), TRUE);
    SetFocus(combo);
    platform::headless::TypeText("abcdef");
    PumpTranslated();
    char text[32] = {};
    GetWindowText(combo, text, sizeof text);
    EXPECT_STREQ(text, "abcd");
    EXPECT_TRUE(Saw(CBN_EDITCHANGE));
    EXPECT_TRUE(Saw(CBN_EDITUPDATE));
    codes.clear();
    SendMessage(combo, CB_SETCURSEL, 1, 0);
    GetWindowText(combo, text, sizeof text);
    EXPECT_STREQ(text, "beta");
    EXPECT_FALSE(Saw(CBN_EDITCHANGE));
    // The arrows typed in the edit move through the list.
    platform::headless::TypeKey(VK_UP);
    PumpTranslated();
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 0);
    GetWindowText(combo, text, sizeof text);
    // The limit holds for typing only.
    EXPECT_STREQ(text, "alpha");
    EXPECT_TRUE(Saw(CBN_SELCHANGE));
    EXPECT_FALSE(Saw(CBN_EDITCHANGE));
    // Typing over the chosen item leaves no current selection.
    SendMessage(GetFocus(), EM_SETSEL, 0, -1);
    platform::headless::TypeText("D:");
    PumpTranslated();
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    GetWindowText(combo, text, sizeof text);
    EXPECT_STREQ(text, "D:");
}

TEST_F(ComboBoxTest, SimpleComboShowsItsListBelowTheEdit)
{
    HWND combo = MakeCombo(CBS_SIMPLE, 120);
    Add(combo, {"x", "y"});
    RECT r;
    GetWindowRect(combo, &r);
    EXPECT_EQ(r.bottom - r.top, 120);
    HWND list = GetDlgItem(combo, 1000);
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(IsWindowVisible(list));
    RECT item;
    SendMessage(list, LB_GETITEMRECT, 1, LPARAM(&item));
    POINT p{item.left + 5, (item.top + item.bottom) / 2};
    ClientToScreen(list, &p);
    platform::headless::Click(p.x, p.y);
    PumpTranslated();
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(Saw(CBN_SELCHANGE));
    char text[8] = {};
    GetWindowText(combo, text, sizeof text);
    EXPECT_STREQ(text, "y");
    EXPECT_EQ(SendMessage(combo, CB_SHOWDROPDOWN, TRUE, 0), TRUE);
    EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), FALSE);
}

TEST_F(ComboBoxTest, OwnerDrawnComboMeasuresFieldAndItemsAndDrawsBoth)
{
    HWND combo = MakeCombo(CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | WS_VSCROLL);
    ASSERT_EQ(measured.size(), 2u);
    EXPECT_EQ(measured[0].CtlType, UINT(ODT_COMBOBOX));
    EXPECT_EQ(measured[0].CtlID, 173u);
    EXPECT_EQ(measured[0].itemID, UINT(-1));
    EXPECT_EQ(measured[1].itemID, 0u);
    EXPECT_EQ(SendMessage(combo, CB_GETITEMHEIGHT, WPARAM(-1), 0), 18);
    EXPECT_EQ(SendMessage(combo, CB_GETITEMHEIGHT, 0, 0), 18);
    SendMessage(combo, CB_ADDSTRING, 0, LPARAM(0x11));
    SendMessage(combo, CB_ADDSTRING, 0, LPARAM(0x22));
    SendMessage(combo, CB_SETCURSEL, 1, 0);
    drawn.clear();
    UpdateWindow(combo);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].itemID, 1u);
    EXPECT_EQ(drawn[0].itemData, 0x22u);
    EXPECT_NE(drawn[0].itemState & ODS_COMBOBOXEDIT, 0u);
    EXPECT_EQ(drawn[0].hwndItem, combo);

    SendMessage(combo, CB_SHOWDROPDOWN, TRUE, 0);
    HWND list = DroppedList();
    ASSERT_NE(list, nullptr);
    drawn.clear();
    UpdateWindow(list);
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].CtlType, UINT(ODT_COMBOBOX));
    EXPECT_EQ(drawn[0].CtlID, 173u);
    EXPECT_EQ(drawn[1].itemData, 0x22u);
    EXPECT_NE(drawn[1].itemState & ODS_SELECTED, 0u);
    EXPECT_EQ(drawn[1].rcItem.top, 18);
}

TEST_F(ComboBoxTest, DestroyingTheComboTakesItsPopupList)
{
    HWND combo = MakeCombo(CBS_DROPDOWNLIST);
    SendMessage(combo, CB_SHOWDROPDOWN, TRUE, 0);
    HWND list = DroppedList();
    ASSERT_NE(list, nullptr);
    DestroyWindow(combo);
    EXPECT_FALSE(IsWindow(list));
}

} // namespace
