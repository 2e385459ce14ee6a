// A tree view with redrawing turned off: items still go in and can be read,
// and the scroll bar catches up when redrawing is turned back on.

#include "tests/ui/UiTestSupport.h"

#include "platform/ui/CommCtrl.h"

#include <gtest/gtest.h>

#include <string>

using namespace uitest;

namespace {

TEST(TreeViewRedrawTest, ScrollBarCatchesUpWhenRedrawingReturns)
{
    platform::headless::Reset();
    InitCommonControls();
    HWND parent = MakeTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{50, 50, 450, 400});
    HWND tree = CreateWindowEx(0, WC_TREEVIEW, NULL, WS_CHILD | WS_VISIBLE, 10, 10, 200, 200, parent,
        (HMENU)(INT_PTR)42, NULL, NULL);
    ASSERT_NE(tree, nullptr);
    auto rangeOf = [tree]() {
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_RANGE | SIF_PAGE;
        if (!GetScrollInfo(tree, SB_VERT, &si))
            return -1;
        return si.nMax;
    };

    SendMessage(tree, WM_SETREDRAW, FALSE, 0);
    int before = rangeOf();
    HTREEITEM last = NULL;
    for (int i = 0; i < 200; ++i) {
        std::string text = "item " + std::to_string(i);
        TVINSERTSTRUCTA ins{};
        ins.hParent = TVI_ROOT;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT;
        ins.item.pszText = text.data();
        last = HTREEITEM(SendMessage(tree, TVM_INSERTITEM, 0, LPARAM(&ins)));
        ASSERT_NE(last, nullptr);
    }
    EXPECT_EQ(SendMessage(tree, TVM_GETCOUNT, 0, 0), 200);
    EXPECT_EQ(SendMessage(tree, TVM_GETNEXTITEM, TVGN_PREVIOUS, LPARAM(last)) != 0, true);
    // Nothing is laid out while redrawing is off.
    EXPECT_EQ(rangeOf(), before);

    SendMessage(tree, WM_SETREDRAW, TRUE, 0);
    EXPECT_EQ(rangeOf(), 199);
    platform::headless::Reset();
}

} // namespace
