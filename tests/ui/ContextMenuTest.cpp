#include "tests/ui/InputTestFixture.h"

#include <gtest/gtest.h>

using namespace uitest;

namespace {

class ContextMenuTest : public InputTest {
protected:
    void SetUp() override
    {
        InputTest::SetUp();
        top = MakeTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{100, 100, 400, 300});
        child = MakeChild(top, 7, RECT{20, 30, 120, 90});
        Pump();
        SetFocus(child);
        Rec().Clear();
    }

    HWND top = NULL;
    HWND child = NULL;
};

TEST_F(ContextMenuTest, RightClickInAChildAsksItThenItsParentWithTheScreenPoint)
{
    POINT p = Screen(child, 15, 25);
    platform::headless::PressMouse(1, p.x, p.y);
    platform::headless::ReleaseMouse(1, p.x, p.y);
    PumpTranslated();
    auto menus = Only({WM_CONTEXTMENU});
    ASSERT_EQ(menus.size(), 2u);
    EXPECT_EQ(menus[0].hwnd, child);
    EXPECT_EQ(menus[1].hwnd, top);
    for (const Seen& s : menus) {
        EXPECT_EQ(s.wParam, WPARAM(child)) << "the window clicked, wherever the message goes";
        EXPECT_EQ(GET_X_LPARAM(s.lParam), p.x);
        EXPECT_EQ(GET_Y_LPARAM(s.lParam), p.y);
    }
    // It comes after the release, not with the press.
    auto order = MessagesIn(Only({WM_RBUTTONDOWN, WM_RBUTTONUP, WM_CONTEXTMENU}));
    EXPECT_EQ(order.front(), UINT(WM_RBUTTONDOWN));
    EXPECT_EQ(order[1], UINT(WM_RBUTTONUP));
}

TEST_F(ContextMenuTest, AWindowThatHandlesItStopsItReachingTheParent)
{
    Rec().handlers[child] = [](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) {
        r = 0;
        return m == WM_CONTEXTMENU;
    };
    POINT p = Screen(child, 5, 5);
    platform::headless::PressMouse(1, p.x, p.y);
    platform::headless::ReleaseMouse(1, p.x, p.y);
    PumpTranslated();
    auto menus = Only({WM_CONTEXTMENU});
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_EQ(menus[0].hwnd, child);
}

TEST_F(ContextMenuTest, ShiftF10AndTheMenuKeyAskWithoutAPointAndOpenNoMenuBar)
{
    platform::headless::KeyDown(VK_SHIFT);
    platform::headless::TypeKey(VK_F10);
    platform::headless::KeyUp(VK_SHIFT);
    platform::headless::TypeKey(VK_APPS);
    PumpTranslated();
    auto seen = Only({WM_CONTEXTMENU, WM_SYSCOMMAND});
    ASSERT_EQ(seen.size(), 4u); // each asks the child, then the parent
    for (const Seen& s : seen) {
        EXPECT_EQ(s.message, UINT(WM_CONTEXTMENU));
        EXPECT_EQ(s.wParam, WPARAM(child));
        EXPECT_EQ(GET_X_LPARAM(s.lParam), -1);
        EXPECT_EQ(GET_Y_LPARAM(s.lParam), -1);
    }

    // F10 alone still opens the menu bar.
    Rec().Clear();
    platform::headless::TypeKey(VK_F10);
    PumpTranslated();
    auto commands = Only({WM_SYSCOMMAND, WM_CONTEXTMENU});
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands[0].message, UINT(WM_SYSCOMMAND));
    EXPECT_EQ(commands[0].wParam & 0xFFF0, WPARAM(SC_KEYMENU));
}

} // namespace
