// The list-box control driven by messages and injected input on the
// headless back end.

#include "tests/ui/UiTestSupport.h"

#include "platform/ui/internal/ListBoxShared.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace uitest;

namespace {

struct Command {
    int id;
    int code;
};

class ListBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        Rec() = Recorder();
        platform::InstallListAndEditControls();
        parent = MakeTopLevel();
        Rec().handlers[parent] = [this](HWND, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
            switch (msg) {
            case WM_COMMAND:
                commands.push_back({LOWORD(wParam), HIWORD(wParam)});
                return false;
            case WM_MEASUREITEM:
                measured.push_back(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
                reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = 20;
                result = TRUE;
                return true;
            case WM_DRAWITEM:
                drawn.push_back(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
                result = TRUE;
                return true;
            case WM_DELETEITEM:
                deleted.push_back(*reinterpret_cast<DELETEITEMSTRUCT*>(lParam));
                result = TRUE;
                return true;
            default:
                return false;
            }
        };
    }
    void TearDown() override { platform::headless::Reset(); }

    HWND MakeList(DWORD style, RECT r = RECT{10, 10, 160, 110})
    {
        return CreateWindowEx(0, "ListBox", "", WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
            r.bottom - r.top, parent, HMENU(INT_PTR(7)), NULL, NULL);
    }

    static void Add(HWND list, std::initializer_list<const char*> items)
    {
        for (const char* item : items)
            SendMessage(list, LB_ADDSTRING, 0, LPARAM(item));
    }

    static std::string Text(HWND list, int index)
    {
        char buffer[64] = {};
        SendMessage(list, LB_GETTEXT, WPARAM(index), LPARAM(buffer));
        return buffer;
    }

    // A click on the middle of an item, through the input system.
    static void ClickItem(HWND list, int index, UINT vkHeld = 0)
    {
        RECT r;
        SendMessage(list, LB_GETITEMRECT, WPARAM(index), LPARAM(&r));
        POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(list, &p);
        if (vkHeld)
            platform::headless::KeyDown(vkHeld);
        platform::headless::Click(p.x, p.y);
        if (vkHeld)
            platform::headless::KeyUp(vkHeld);
        Pump();
    }

    int CountOf(int code) const
    {
        int n = 0;
        for (const Command& c : commands)
            n += c.code == code ? 1 : 0;
        return n;
    }

    HWND parent = NULL;
    std::vector<Command> commands;
    std::vector<MEASUREITEMSTRUCT> measured;
    std::vector<DRAWITEMSTRUCT> drawn;
    std::vector<DELETEITEMSTRUCT> deleted;
};

TEST_F(ListBoxTest, KeepsSortedOrderWithoutRegardToCase)
{
    HWND list = MakeList(LBS_SORT | LBS_HASSTRINGS);
    Add(list, {"pear", "Apple", "banana", "apple"});
    ASSERT_EQ(SendMessage(list, LB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(Text(list, 2), "banana");
    EXPECT_EQ(Text(list, 3), "pear");
    EXPECT_EQ(SendMessage(list, LB_ADDSTRING, 0, LPARAM("Cherry")), 3);
    // Insertion ignores sorting and takes the place asked for.
    EXPECT_EQ(SendMessage(list, LB_INSERTSTRING, 0, LPARAM("zebra")), 0);
    EXPECT_EQ(SendMessage(list, LB_INSERTSTRING, WPARAM(-1), LPARAM("last")), 6);
    EXPECT_EQ(SendMessage(list, LB_INSERTSTRING, 99, LPARAM("x")), LB_ERR);
    EXPECT_EQ(Text(list, 6), "last");
}

TEST_F(ListBoxTest, FindsPrefixesAndExactTextFromAfterTheStartAndWraps)
{
    HWND list = MakeList(0);
    Add(list, {"Red", "Green", "Redder", "Blue"});
    EXPECT_EQ(SendMessage(list, LB_FINDSTRING, WPARAM(-1), LPARAM("re")), 0);
    EXPECT_EQ(SendMessage(list, LB_FINDSTRING, 0, LPARAM("RE")), 2);
    EXPECT_EQ(SendMessage(list, LB_FINDSTRING, 2, LPARAM("re")), 0);
    EXPECT_EQ(SendMessage(list, LB_FINDSTRINGEXACT, 0, LPARAM("red")), 0);
    EXPECT_EQ(SendMessage(list, LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("Gree")), LB_ERR);
    EXPECT_EQ(SendMessage(list, LB_GETTEXTLEN, 1, 0), 5);
    EXPECT_EQ(SendMessage(list, LB_GETTEXTLEN, 9, 0), LB_ERR);
}

TEST_F(ListBoxTest, DeletingKeepsTheSelectionOnTheSameItem)
{
    HWND list = MakeList(0);
    Add(list, {"a", "b", "c", "d"});
    SendMessage(list, LB_SETITEMDATA, 2, 0x1234);
    EXPECT_EQ(SendMessage(list, LB_SETCURSEL, 2, 0), 2);
    EXPECT_EQ(SendMessage(list, LB_DELETESTRING, 0, 0), 3);
    EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessage(list, LB_GETITEMDATA, 1, 0), 0x1234);
    EXPECT_EQ(SendMessage(list, LB_DELETESTRING, 1, 0), 2);
    EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(SendMessage(list, LB_DELETESTRING, 5, 0), LB_ERR);
    EXPECT_EQ(SendMessage(list, LB_SETCURSEL, WPARAM(-1), 0), LB_ERR);
    SendMessage(list, LB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessage(list, LB_GETCOUNT, 0, 0), 0);
    // Plain lists tell nobody about deleted items.
    EXPECT_TRUE(deleted.empty());
}

TEST_F(ListBoxTest, SingleSelectionRefusesMultipleSelectionMessages)
{
    HWND list = MakeList(0);
    Add(list, {"a", "b"});
    EXPECT_EQ(SendMessage(list, LB_SETSEL, TRUE, 1), LB_ERR);
    EXPECT_EQ(SendMessage(list, LB_GETSELCOUNT, 0, 0), LB_ERR);
    SendMessage(list, LB_SETCURSEL, 1, 0);
    EXPECT_GT(SendMessage(list, LB_GETSEL, 1, 0), 0);
    EXPECT_EQ(SendMessage(list, LB_GETSEL, 0, 0), 0);
}

TEST_F(ListBoxTest, MultipleSelectionCountsAndListsSelectedItems)
{
    HWND list = MakeList(LBS_MULTIPLESEL);
    Add(list, {"a", "b", "c", "d"});
    EXPECT_EQ(SendMessage(list, LB_SETCURSEL, 1, 0), LB_ERR);
    SendMessage(list, LB_SETSEL, TRUE, 1);
    SendMessage(list, LB_SETSEL, TRUE, 3);
    EXPECT_EQ(SendMessage(list, LB_GETSELCOUNT, 0, 0), 2);
    int items[4] = {-1, -1, -1, -1};
    EXPECT_EQ(SendMessage(list, LB_GETSELITEMS, 4, LPARAM(items)), 2);
    EXPECT_EQ(items[0], 1);
    EXPECT_EQ(items[1], 3);
    // The buffer size bounds what is written.
    int one[1] = {-1};
    EXPECT_EQ(SendMessage(list, LB_GETSELITEMS, 1, LPARAM(one)), 1);
    SendMessage(list, LB_SETSEL, FALSE, -1);
    EXPECT_EQ(SendMessage(list, LB_GETSELCOUNT, 0, 0), 0);
    SendMessage(list, LB_SETSEL, TRUE, -1);
    EXPECT_EQ(SendMessage(list, LB_GETSELCOUNT, 0, 0), 4);
}

TEST_F(ListBoxTest, ClicksSelectAndNotifyOnlyWithNotifyStyle)
{
    HWND quiet = MakeList(0);
    Add(quiet, {"a", "b", "c"});
    ClickItem(quiet, 1);
    EXPECT_EQ(SendMessage(quiet, LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(GetFocus(), quiet);
    EXPECT_EQ(CountOf(LBN_SELCHANGE), 0);
    EXPECT_EQ(CountOf(LBN_SETFOCUS), 1);

    HWND list = MakeList(LBS_NOTIFY, RECT{200, 10, 280, 110});
    Add(list, {"a", "b", "c"});
    commands.clear();
    ClickItem(list, 2);
    EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(CountOf(LBN_SELCHANGE), 1);
    // Clicking the selected item again changes nothing.
    ClickItem(list, 2);
    EXPECT_EQ(CountOf(LBN_SELCHANGE), 1);
}

TEST_F(ListBoxTest, DoubleClickNotifies)
{
    HWND list = MakeList(LBS_NOTIFY);
    Add(list, {"a", "b"});
    ClickItem(list, 1);
    ClickItem(list, 1);
    EXPECT_EQ(CountOf(LBN_DBLCLK), 1);
}

TEST_F(ListBoxTest, KeysMoveTheSelectionAndScrollIt)
{
    HWND list = MakeList(LBS_NOTIFY | WS_VSCROLL);
    for (int i = 0; i < 30; ++i)
        SendMessage(list, LB_ADDSTRING, 0, LPARAM(std::to_string(i).c_str()));
    SetFocus(list);
    platform::headless::TypeKey(VK_DOWN);
    Pump();
    EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 0);
    platform::headless::TypeKey(VK_DOWN);
    Pump();
    EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 1);
    platform::headless::TypeKey(VK_END);
    Pump();
    EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 29);
    EXPECT_GT(SendMessage(list, LB_GETTOPINDEX, 0, 0), 0);
    EXPECT_EQ(GetScrollPos(list, SB_VERT), SendMessage(list, LB_GETTOPINDEX, 0, 0));
    platform::headless::TypeKey(VK_HOME);
    Pump();
    EXPECT_EQ(SendMessage(list, LB_GETTOPINDEX, 0, 0), 0);
    EXPECT_EQ(CountOf(LBN_SELCHANGE), 4);
}

TEST_F(ListBoxTest, ExtendedSelectionFollowsShiftAndControl)
{
    HWND list = MakeList(LBS_EXTENDEDSEL);
    Add(list, {"a", "b", "c", "d", "e"});
    ClickItem(list, 1);
    ClickItem(list, 3, VK_SHIFT);
    EXPECT_EQ(SendMessage(list, LB_GETSELCOUNT, 0, 0), 3);
    ClickItem(list, 2, VK_CONTROL);
    EXPECT_EQ(SendMessage(list, LB_GETSEL, 2, 0), 0);
    EXPECT_EQ(SendMessage(list, LB_GETSELCOUNT, 0, 0), 2);
    // A plain click starts over.
    ClickItem(list, 4);
    EXPECT_EQ(SendMessage(list, LB_GETSELCOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessage(list, LB_GETCARETINDEX, 0, 0), 4);
}

TEST_F(ListBoxTest, MultipleSelectionClicksToggle)
{
    HWND list = MakeList(LBS_MULTIPLESEL);
    Add(list, {"a", "b", "c"});
    ClickItem(list, 0);
    ClickItem(list, 2);
    EXPECT_EQ(SendMessage(list, LB_GETSELCOUNT, 0, 0), 2);
    ClickItem(list, 0);
    EXPECT_EQ(SendMessage(list, LB_GETSELCOUNT, 0, 0), 1);
    EXPECT_GT(SendMessage(list, LB_GETSEL, 2, 0), 0);
}

TEST_F(ListBoxTest, OwnerDrawnItemsAreMeasuredOnceAndDrawnWithTheirData)
{
    HWND list = MakeList(LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT);
    ASSERT_EQ(measured.size(), 1u);
    EXPECT_EQ(measured[0].CtlType, UINT(ODT_LISTBOX));
    EXPECT_EQ(measured[0].CtlID, 7u);
    EXPECT_EQ(SendMessage(list, LB_GETITEMHEIGHT, 0, 0), 20);
    // Without LBS_HASSTRINGS the "string" is the item data.
    SendMessage(list, LB_ADDSTRING, 0, LPARAM(0xAB));
    SendMessage(list, LB_ADDSTRING, 0, LPARAM(0xCD));
    EXPECT_EQ(SendMessage(list, LB_GETITEMDATA, 1, 0), 0xCD);
    EXPECT_EQ(SendMessage(list, LB_FINDSTRING, WPARAM(-1), LPARAM(0xCD)), 1);
    ULONG_PTR data = 0;
    EXPECT_EQ(SendMessage(list, LB_GETTEXT, 0, LPARAM(&data)), LRESULT(sizeof(ULONG_PTR)));
    EXPECT_EQ(data, 0xABu);
    SendMessage(list, LB_SETCURSEL, 1, 0);
    SetFocus(list);
    drawn.clear();
    UpdateWindow(parent);
    UpdateWindow(list);
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].CtlType, UINT(ODT_LISTBOX));
    EXPECT_EQ(drawn[0].itemID, 0u);
    EXPECT_EQ(drawn[0].itemData, 0xABu);
    EXPECT_EQ(drawn[0].itemState & ODS_SELECTED, 0u);
    EXPECT_EQ(drawn[1].itemState & (ODS_SELECTED | ODS_FOCUS), UINT(ODS_SELECTED | ODS_FOCUS));
    EXPECT_EQ(drawn[1].rcItem.top, 20);
    EXPECT_EQ(drawn[1].rcItem.bottom, 40);
    EXPECT_EQ(drawn[1].hwndItem, list);

    SendMessage(list, LB_DELETESTRING, 0, 0);
    ASSERT_EQ(deleted.size(), 1u);
    EXPECT_EQ(deleted[0].itemData, 0xABu);
    DestroyWindow(list);
    EXPECT_EQ(deleted.size(), 2u);
}

TEST_F(ListBoxTest, ShrinksToWholeItemsUnlessAskedNotTo)
{
    HWND integral = MakeList(0, RECT{10, 10, 110, 10 + 100});
    HWND free = MakeList(LBS_NOINTEGRALHEIGHT, RECT{120, 10, 220, 10 + 100});
    RECT a, b;
    GetClientRect(integral, &a);
    GetClientRect(free, &b);
    int height = int(SendMessage(integral, LB_GETITEMHEIGHT, 0, 0));
    ASSERT_GT(height, 0);
    EXPECT_EQ(a.bottom % height, 0);
    EXPECT_EQ(b.bottom, 100);
}

TEST_F(ListBoxTest, MultipleColumnsPlaceItemsDownThenAcross)
{
    HWND list = MakeList(LBS_MULTICOLUMN | LBS_NOINTEGRALHEIGHT, RECT{10, 10, 210, 10 + 60});
    SendMessage(list, LB_SETITEMHEIGHT, 0, MAKELPARAM(20, 0));
    EXPECT_EQ(SendMessage(list, LB_SETCOLUMNWIDTH, 50, 0), LB_OKAY);
    for (int i = 0; i < 12; ++i)
        SendMessage(list, LB_ADDSTRING, 0, LPARAM("x"));
    RECT r;
    SendMessage(list, LB_GETITEMRECT, 4, LPARAM(&r));
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.right, 100);
    // Four columns of three fit; the top index snaps to a column's first item.
    SendMessage(list, LB_SETTOPINDEX, 10, 0);
    EXPECT_EQ(SendMessage(list, LB_GETTOPINDEX, 0, 0), 0);
    SendMessage(list, LB_ADDSTRING, 0, LPARAM("x"));
    SendMessage(list, LB_SETTOPINDEX, 12, 0);
    EXPECT_EQ(SendMessage(list, LB_GETTOPINDEX, 0, 0), 3);
}

TEST_F(ListBoxTest, PaintsTheSelectedItemInTheHighlightColour)
{
    HWND list = MakeList(LBS_NOINTEGRALHEIGHT);
    Add(list, {"one", "two"});
    SendMessage(list, LB_SETCURSEL, 1, 0);
    UpdateWindow(list);
    RECT r;
    SendMessage(list, LB_GETITEMRECT, 1, LPARAM(&r));
    EXPECT_EQ(platform::headless::WindowPixel(list, r.right - 3, r.top + 2), GetSysColor(COLOR_HIGHLIGHT));
    SendMessage(list, LB_GETITEMRECT, 0, LPARAM(&r));
    EXPECT_EQ(platform::headless::WindowPixel(list, r.right - 3, r.top + 2), GetSysColor(COLOR_WINDOW));
}

} // namespace
