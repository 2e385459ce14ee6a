// The window rectangle for a wanted client area: frames and captions count,
// scroll bars do not (a window that has them loses client area instead).

#include "tests/ui/UiTestSupport.h"

#include <gtest/gtest.h>

namespace {

class AdjustWindowRectTest : public ::testing::Test {
protected:
    void SetUp() override { platform::headless::Reset(); }
    void TearDown() override { platform::headless::Reset(); }
};

TEST_F(AdjustWindowRectTest, LeavesScrollBarsOutOfTheWindowRectangle)
{
    struct Case {
        DWORD style;
        DWORD exStyle;
    };
    const Case cases[] = {
        {WS_CHILD, 0},
        {WS_CHILD, WS_EX_CLIENTEDGE},
        {WS_CHILD | WS_BORDER, 0},
        {WS_OVERLAPPEDWINDOW, 0},
        {WS_POPUP | WS_CAPTION | DS_MODALFRAME, WS_EX_DLGMODALFRAME},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        RECT plain{10, 20, 210, 120};
        RECT barred = plain;
        ASSERT_TRUE(AdjustWindowRectEx(&plain, c.style, FALSE, c.exStyle));
        ASSERT_TRUE(AdjustWindowRectEx(&barred, c.style | WS_VSCROLL | WS_HSCROLL, FALSE, c.exStyle));
        EXPECT_EQ(barred.left, plain.left);
        EXPECT_EQ(barred.top, plain.top);
        EXPECT_EQ(barred.right, plain.right);
        EXPECT_EQ(barred.bottom, plain.bottom);
    }

    // A window made from that rectangle still shows its bars, inside it.
    HWND parent = uitest::MakeTopLevel();
    RECT r{0, 0, 200, 100};
    AdjustWindowRectEx(&r, WS_CHILD | WS_VSCROLL | WS_HSCROLL, FALSE, WS_EX_CLIENTEDGE);
    HWND view = CreateWindowEx(WS_EX_CLIENTEDGE, uitest::TestClass(), "",
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 0, 0, r.right - r.left, r.bottom - r.top, parent, NULL,
        NULL, NULL);
    RECT client;
    GetClientRect(view, &client);
    EXPECT_EQ(client.right, 200 - GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(client.bottom, 100 - GetSystemMetrics(SM_CYHSCROLL));
}

} // namespace
