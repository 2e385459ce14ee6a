// Sorted owner-drawn lists and combo boxes that keep no strings: the owner
// orders and matches the items through WM_COMPAREITEM.

#include "tests/ui/UiTestSupport.h"

#include "platform/ui/internal/ListBoxShared.h"

#include <gtest/gtest.h>

#include <vector>

using namespace uitest;

namespace {

class ListBoxCompareTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        Rec() = Recorder();
        platform::InstallListAndEditControls();
        parent = MakeTopLevel();
        // The owner orders item data by tens, so 21 and 22 are equal.
        Rec().handlers[parent] = [this](HWND, UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
            if (msg != WM_COMPAREITEM)
                return false;
            auto* c = reinterpret_cast<COMPAREITEMSTRUCT*>(lParam);
            compares.push_back(*c);
            if (destroyDuringCompare) {
                DestroyWindow(c->hwndItem);
                result = 0;
                return true;
            }
            long a = long(c->itemData1) / 10;
            long b = long(c->itemData2) / 10;
            result = a < b ? -1 : a > b ? 1 : 0;
            return true;
        };
    }
    void TearDown() override { platform::headless::Reset(); }

    HWND MakeList(DWORD style)
    {
        return CreateWindowEx(0, "ListBox", "", WS_CHILD | WS_VISIBLE | style, 10, 10, 150, 100, parent,
            HMENU(INT_PTR(7)), NULL, NULL);
    }

    static std::vector<long> Data(HWND list, UINT countMsg = LB_GETCOUNT, UINT dataMsg = LB_GETITEMDATA)
    {
        std::vector<long> out;
        int n = int(SendMessage(list, countMsg, 0, 0));
        for (int i = 0; i < n; ++i)
            out.push_back(long(SendMessage(list, dataMsg, WPARAM(i), 0)));
        return out;
    }

    HWND parent = NULL;
    std::vector<COMPAREITEMSTRUCT> compares;
    bool destroyDuringCompare = false;
};

TEST_F(ListBoxCompareTest, AddingAsksTheOwnerWhereEachItemGoes)
{
    HWND list = MakeList(LBS_OWNERDRAWFIXED | LBS_SORT);
    EXPECT_EQ(SendMessage(list, LB_ADDSTRING, 0, 30), 0);
    EXPECT_TRUE(compares.empty()); // nothing to compare the first item with
    EXPECT_EQ(SendMessage(list, LB_ADDSTRING, 0, 10), 0);
    EXPECT_EQ(SendMessage(list, LB_ADDSTRING, 0, 50), 2);
    EXPECT_EQ(SendMessage(list, LB_ADDSTRING, 0, 22), 1);
    // Equal to 22 in the owner's order: goes after it.
    EXPECT_EQ(SendMessage(list, LB_ADDSTRING, 0, 21), 2);
    EXPECT_EQ(Data(list), (std::vector<long>{10, 22, 21, 30, 50}));

    ASSERT_FALSE(compares.empty());
    for (const COMPAREITEMSTRUCT& c : compares) {
        EXPECT_EQ(c.CtlType, UINT(ODT_LISTBOX));
        EXPECT_EQ(c.CtlID, 7u);
        EXPECT_EQ(c.hwndItem, list);
        // The item being placed is not in the list yet.
        EXPECT_EQ(c.itemID1, UINT(-1));
    }
    EXPECT_EQ(compares.back().itemData1, ULONG_PTR(21));
}

TEST_F(ListBoxCompareTest, PlacingAnItemTakesABinarySearch)
{
    HWND list = MakeList(LBS_OWNERDRAWFIXED | LBS_SORT);
    for (long v = 0; v < 640; v += 10)
        SendMessage(list, LB_ADDSTRING, 0, v);
    compares.clear();
    EXPECT_EQ(SendMessage(list, LB_ADDSTRING, 0, 333), 34);
    EXPECT_LE(compares.size(), 7u); // 64 items
    // Each question names an existing item by its place and its data.
    for (const COMPAREITEMSTRUCT& c : compares)
        EXPECT_EQ(c.itemData2, ULONG_PTR(c.itemID2) * 10);
}

TEST_F(ListBoxCompareTest, OnlySortedListsWithoutStringsAskTheOwner)
{
    HWND unsorted = MakeList(LBS_OWNERDRAWFIXED);
    SendMessage(unsorted, LB_ADDSTRING, 0, 30);
    SendMessage(unsorted, LB_ADDSTRING, 0, 10);
    EXPECT_EQ(Data(unsorted), (std::vector<long>{30, 10}));
    // Without sorting a search matches the item data itself.
    EXPECT_EQ(SendMessage(unsorted, LB_FINDSTRINGEXACT, WPARAM(-1), 10), 1);
    EXPECT_EQ(SendMessage(unsorted, LB_FINDSTRING, WPARAM(-1), 11), LB_ERR);

    HWND strings = MakeList(LBS_OWNERDRAWFIXED | LBS_SORT | LBS_HASSTRINGS);
    SendMessage(strings, LB_ADDSTRING, 0, LPARAM("pear"));
    SendMessage(strings, LB_ADDSTRING, 0, LPARAM("apple"));
    EXPECT_EQ(SendMessage(strings, LB_FINDSTRING, WPARAM(-1), LPARAM("pe")), 1);

    HWND sorted = MakeList(LBS_OWNERDRAWFIXED | LBS_SORT);
    SendMessage(sorted, LB_ADDSTRING, 0, 30);
    compares.clear();
    // An insertion at a given place is not sorted.
    EXPECT_EQ(SendMessage(sorted, LB_INSERTSTRING, 0, 90), 0);
    EXPECT_EQ(Data(sorted), (std::vector<long>{90, 30}));
    EXPECT_TRUE(compares.empty());
}

TEST_F(ListBoxCompareTest, SearchesAskTheOwnerFromAfterTheStartAndWrap)
{
    HWND list = MakeList(LBS_OWNERDRAWFIXED | LBS_SORT);
    for (long v : {10, 21, 22, 30})
        SendMessage(list, LB_ADDSTRING, 0, v);
    compares.clear();
    EXPECT_EQ(SendMessage(list, LB_FINDSTRING, WPARAM(-1), 25), 1);
    ASSERT_FALSE(compares.empty());
    EXPECT_EQ(compares[0].itemID1, UINT(-1));
    EXPECT_EQ(compares[0].itemData1, ULONG_PTR(25));
    EXPECT_EQ(compares[0].itemID2, 0u);
    EXPECT_EQ(compares[0].itemData2, ULONG_PTR(10));

    EXPECT_EQ(SendMessage(list, LB_FINDSTRINGEXACT, 1, 25), 2);
    EXPECT_EQ(SendMessage(list, LB_FINDSTRINGEXACT, 2, 25), 1); // wraps
    EXPECT_EQ(SendMessage(list, LB_FINDSTRING, WPARAM(-1), 45), LB_ERR);

    EXPECT_EQ(SendMessage(list, LB_SELECTSTRING, WPARAM(-1), 33), 3);
    EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 3);
}

TEST_F(ListBoxCompareTest, ComboBoxAsksOnItsOwnBehalf)
{
    HWND combo = CreateWindowEx(0, "ComboBox", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_SORT,
        10, 10, 150, 160, parent, HMENU(INT_PTR(173)), NULL, NULL);
    ASSERT_TRUE(combo);
    for (long v : {40, 10, 30, 20})
        SendMessage(combo, CB_ADDSTRING, 0, v);
    EXPECT_EQ(Data(combo, CB_GETCOUNT, CB_GETITEMDATA), (std::vector<long>{10, 20, 30, 40}));
    ASSERT_FALSE(compares.empty());
    for (const COMPAREITEMSTRUCT& c : compares) {
        EXPECT_EQ(c.CtlType, UINT(ODT_COMBOBOX));
        EXPECT_EQ(c.CtlID, 173u);
        EXPECT_EQ(c.hwndItem, combo);
    }
    EXPECT_EQ(SendMessage(combo, CB_FINDSTRINGEXACT, WPARAM(-1), 35), 2);
}

TEST_F(ListBoxCompareTest, ListDestroyedByItsOwnerWhileAskingFailsQuietly)
{
    HWND list = MakeList(LBS_OWNERDRAWFIXED | LBS_SORT);
    SendMessage(list, LB_ADDSTRING, 0, 10);
    destroyDuringCompare = true;
    EXPECT_EQ(SendMessage(list, LB_ADDSTRING, 0, 20), LB_ERR);
    EXPECT_FALSE(IsWindow(list));

    HWND other = MakeList(LBS_OWNERDRAWFIXED | LBS_SORT);
    destroyDuringCompare = false;
    SendMessage(other, LB_ADDSTRING, 0, 10);
    destroyDuringCompare = true;
    EXPECT_EQ(SendMessage(other, LB_FINDSTRING, WPARAM(-1), 10), LB_ERR);
}

} // namespace
