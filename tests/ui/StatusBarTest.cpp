#include "tests/ui/UiTestSupport.h"

#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiDefs.h"
#include "platform/ui/CommCtrl.h"

#include <gtest/gtest.h>

#include <string>

using namespace uitest;
using platform::headless::WindowPixel;

namespace {

class StatusBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        Rec() = Recorder();
        InitCommonControls();
        parent = MakeTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{50, 50, 450, 350});
        bar = CreateWindowEx(0, STATUSCLASSNAME, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
                             (HMENU)(INT_PTR)0xE801, NULL, NULL);
        ASSERT_NE(bar, nullptr);
    }
    void TearDown() override { platform::headless::Reset(); }

    RECT BarInParent() const
    {
        RECT r{};
        GetWindowRect(bar, &r);
        MapWindowPoints(NULL, parent, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    HWND parent = NULL;
    HWND bar = NULL;
};

TEST_F(StatusBarTest, SitsAlongTheParentsBottomAndFollowsItsSize)
{
    RECT client{};
    GetClientRect(parent, &client);
    RECT r = BarInParent();
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, client.right);
    EXPECT_EQ(r.bottom, client.bottom);
    EXPECT_GT(r.bottom - r.top, 12);

    SetWindowPos(parent, NULL, 0, 0, 300, 250, SWP_NOMOVE | SWP_NOZORDER);
    SendMessage(bar, WM_SIZE, 0, 0); // what a frame forwards
    GetClientRect(parent, &client);
    r = BarInParent();
    EXPECT_EQ(r.right, client.right);
    EXPECT_EQ(r.bottom, client.bottom);
}

TEST_F(StatusBarTest, KeepsPartsAndTextsWithTheirFlags)
{
    int edges[3] = {100, 200, -1};
    EXPECT_TRUE(SendMessage(bar, SB_SETPARTS, 3, (LPARAM)edges));
    int out[4] = {};
    EXPECT_EQ(SendMessage(bar, SB_GETPARTS, 4, (LPARAM)out), 3);
    EXPECT_EQ(out[0], 100);
    EXPECT_EQ(out[2], -1);

    EXPECT_TRUE(SendMessage(bar, SB_SETTEXT, 1 | SBT_POPOUT, (LPARAM) "CAPS"));
    LRESULT len = SendMessage(bar, SB_GETTEXTLENGTH, 1, 0);
    EXPECT_EQ(LOWORD(len), 4);
    EXPECT_EQ(HIWORD(len), SBT_POPOUT);
    char text[16] = {};
    EXPECT_EQ(LOWORD(SendMessage(bar, SB_GETTEXT, 1, (LPARAM)text)), 4);
    EXPECT_STREQ(text, "CAPS");

    // Out of range panes and part counts are refused.
    EXPECT_FALSE(SendMessage(bar, SB_SETTEXT, 3, (LPARAM) "x"));
    EXPECT_FALSE(SendMessage(bar, SB_SETPARTS, 0, (LPARAM)edges));
    EXPECT_FALSE(SendMessage(bar, SB_SETPARTS, 1000, (LPARAM)edges));

    // Fewer parts drop the texts of the panes that went away.
    SendMessage(bar, SB_SETPARTS, 1, (LPARAM)edges);
    EXPECT_EQ(SendMessage(bar, SB_GETTEXTLENGTH, 1, 0), 0);
}

TEST_F(StatusBarTest, PaneRectanglesFollowThePartEdges)
{
    int edges[3] = {100, 200, -1};
    SendMessage(bar, SB_SETPARTS, 3, (LPARAM)edges);
    RECT client{};
    GetClientRect(bar, &client);
    RECT r0{}, r1{}, r2{};
    ASSERT_TRUE(SendMessage(bar, SB_GETRECT, 0, (LPARAM)&r0));
    ASSERT_TRUE(SendMessage(bar, SB_GETRECT, 1, (LPARAM)&r1));
    ASSERT_TRUE(SendMessage(bar, SB_GETRECT, 2, (LPARAM)&r2));
    EXPECT_EQ(r0.right, 100);
    EXPECT_GT(r1.left, 100);
    EXPECT_EQ(r1.right, 200);
    EXPECT_EQ(r2.right, client.right);
    EXPECT_FALSE(SendMessage(bar, SB_GETRECT, 3, (LPARAM)&r0));
}

TEST_F(StatusBarTest, SimpleModeShowsItsOwnTextAndKeepsThePanes)
{
    int edges[2] = {100, -1};
    SendMessage(bar, SB_SETPARTS, 2, (LPARAM)edges);
    SendMessage(bar, SB_SETTEXT, 0, (LPARAM) "Ready");
    SendMessage(bar, SB_SIMPLE, TRUE, 0);
    EXPECT_TRUE(SendMessage(bar, SB_ISSIMPLE, 0, 0));
    EXPECT_EQ(SendMessage(bar, SB_GETPARTS, 0, 0), 1);
    SendMessage(bar, SB_SETTEXT, SB_SIMPLEID, (LPARAM) "Menu help");
    RECT r{}, client{};
    GetClientRect(bar, &client);
    SendMessage(bar, SB_GETRECT, 0, (LPARAM)&r);
    EXPECT_EQ(r.right, client.right);

    SendMessage(bar, SB_SIMPLE, FALSE, 0);
    char text[16] = {};
    SendMessage(bar, SB_GETTEXT, 0, (LPARAM)text);
    EXPECT_STREQ(text, "Ready");
    EXPECT_EQ(SendMessage(bar, SB_GETPARTS, 0, 0), 2);
}

TEST_F(StatusBarTest, PaintsSunkenPanesWithText)
{
    int edges[2] = {120, -1};
    SendMessage(bar, SB_SETPARTS, 2, (LPARAM)edges);
    SendMessage(bar, SB_SETTEXT, 0, (LPARAM) "Ready");
    UpdateWindow(parent);
    Pump();
    RECT r{};
    SendMessage(bar, SB_GETRECT, 0, (LPARAM)&r);
    EXPECT_EQ(WindowPixel(bar, r.left, r.top + 3), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(WindowPixel(bar, r.right - 1, r.top + 3), GetSysColor(COLOR_BTNHIGHLIGHT));
    int ink = 0;
    for (int y = r.top + 1; y < r.bottom - 1; ++y)
        for (int x = r.left + 1; x < r.right - 1; ++x)
            if (WindowPixel(bar, x, y) == GetSysColor(COLOR_BTNTEXT))
                ++ink;
    EXPECT_GT(ink, 10);
    // The empty second pane has no ink.
    SendMessage(bar, SB_GETRECT, 1, (LPARAM)&r);
    EXPECT_EQ(WindowPixel(bar, (r.left + r.right) / 2, (r.top + r.bottom) / 2), GetSysColor(COLOR_BTNFACE));
}

TEST_F(StatusBarTest, OwnerDrawnPaneIsDrawnByTheParent)
{
    ULONG_PTR drawnData = 0;
    UINT drawnItem = 99;
    Rec().handlers[parent] = [&](HWND, UINT m, WPARAM, LPARAM l, LRESULT& result) {
        if (m != WM_DRAWITEM)
            return false;
        auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(l);
        drawnData = di->itemData;
        drawnItem = di->itemID;
        result = TRUE;
        return true;
    };
    SendMessage(bar, SB_SETTEXT, 0 | SBT_OWNERDRAW, (LPARAM)0x1234);
    EXPECT_EQ(SendMessage(bar, SB_GETTEXT, 0, 0), 0x1234);
    UpdateWindow(parent);
    Pump();
    EXPECT_EQ(drawnData, 0x1234u);
    EXPECT_EQ(drawnItem, 0u);
}

} // namespace
