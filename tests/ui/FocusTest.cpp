#include "tests/ui/InputTestFixture.h"

#include "platform/ui/internal/InputEvents.h"

#include <gmock/gmock.h>

using namespace uitest;
using ::testing::ElementsAre;

namespace {

class FocusTest : public InputTest {
protected:
    static std::vector<Seen> Activation()
    {
        return Only({WM_ACTIVATEAPP, WM_NCACTIVATE, WM_ACTIVATE, WM_KILLFOCUS, WM_SETFOCUS});
    }
};

TEST_F(FocusTest, ShowingASecondWindowMovesActivationAndFocusInOrder)
{
    HWND a = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100});
    Pump();
    ASSERT_EQ(GetActiveWindow(), a);
    ASSERT_EQ(GetFocus(), a);
    Rec().Clear();
    HWND b = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{200, 0, 300, 100});
    auto seen = Activation();
    ASSERT_EQ(seen.size(), 6u);
    EXPECT_EQ(seen[0].hwnd, a);
    EXPECT_EQ(seen[0].message, UINT(WM_NCACTIVATE));
    EXPECT_EQ(seen[0].wParam, WPARAM(FALSE));
    EXPECT_EQ(seen[1].hwnd, a);
    EXPECT_EQ(seen[1].message, UINT(WM_ACTIVATE));
    EXPECT_EQ(seen[1].wParam, WPARAM(WA_INACTIVE));
    EXPECT_EQ(seen[1].lParam, LPARAM(b));
    EXPECT_EQ(seen[2].hwnd, b);
    EXPECT_EQ(seen[2].message, UINT(WM_NCACTIVATE));
    EXPECT_EQ(seen[3].hwnd, b);
    EXPECT_EQ(seen[3].message, UINT(WM_ACTIVATE));
    EXPECT_EQ(seen[3].wParam, WPARAM(WA_ACTIVE));
    EXPECT_EQ(seen[3].lParam, LPARAM(a));
    EXPECT_EQ(seen[4].hwnd, a);
    EXPECT_EQ(seen[4].message, UINT(WM_KILLFOCUS));
    EXPECT_EQ(seen[4].wParam, WPARAM(b));
    EXPECT_EQ(seen[5].hwnd, b);
    EXPECT_EQ(seen[5].message, UINT(WM_SETFOCUS));
    EXPECT_EQ(seen[5].wParam, WPARAM(a));
    EXPECT_EQ(GetFocus(), b);
    // b was raised above a.
    EXPECT_EQ(GetTopWindow(NULL), b);
}

TEST_F(FocusTest, ApplicationActiveStateIsAnnouncedToEveryTopLevelWindow)
{
    HWND hidden = MakeTopLevel(WS_POPUP, RECT{0, 0, 50, 50});
    Rec().Clear();
    HWND a = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100});
    auto seen = Activation();
    ASSERT_GE(seen.size(), 4u);
    EXPECT_EQ(seen[0].message, UINT(WM_ACTIVATEAPP));
    EXPECT_EQ(seen[1].message, UINT(WM_ACTIVATEAPP));
    EXPECT_EQ(seen[0].wParam, WPARAM(TRUE));
    EXPECT_EQ(seen[2].message, UINT(WM_NCACTIVATE));
    EXPECT_EQ(GetForegroundWindow(), a);

    // The desktop takes the focus elsewhere.
    Rec().Clear();
    platform::DeliverSurfaceFocus(a, false);
    seen = Activation();
    EXPECT_THAT(MessagesIn(seen),
        ElementsAre(WM_NCACTIVATE, WM_ACTIVATE, WM_ACTIVATEAPP, WM_ACTIVATEAPP, WM_KILLFOCUS));
    EXPECT_EQ(seen[2].wParam, WPARAM(FALSE));
    EXPECT_EQ(GetActiveWindow(), HWND(NULL));
    EXPECT_EQ(GetFocus(), HWND(NULL));
    EXPECT_EQ(GetForegroundWindow(), HWND(NULL));

    platform::DeliverSurfaceFocus(a, true);
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(GetFocus(), a);
    (void)hidden;
}

TEST_F(FocusTest, SetFocusSendsKillThenSetAndActivatesTheTopLevelWindow)
{
    HWND a = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100});
    HWND b = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{200, 0, 300, 100});
    HWND child = MakeChild(a, 1, RECT{0, 0, 10, 10});
    ASSERT_EQ(GetActiveWindow(), b);
    Rec().Clear();
    EXPECT_EQ(SetFocus(child), b);
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(GetFocus(), child);
    auto seen = Only({WM_KILLFOCUS, WM_SETFOCUS});
    // b loses it to a (activation), then a to its child.
    EXPECT_THAT(MessagesIn(seen), ElementsAre(WM_KILLFOCUS, WM_SETFOCUS, WM_KILLFOCUS, WM_SETFOCUS));
    EXPECT_EQ(seen[3].hwnd, child);
    EXPECT_EQ(seen[3].wParam, WPARAM(a));

    Rec().Clear();
    EXPECT_EQ(SetFocus(child), child);
    EXPECT_TRUE(Rec().log.empty());
    EnableWindow(b, FALSE);
    EXPECT_EQ(SetFocus(b), HWND(NULL));
    EXPECT_EQ(GetFocus(), child);
}

TEST_F(FocusTest, FocusAndActivationMoveOnWhenWindowsGoAway)
{
    HWND owner = MakeTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{0, 0, 300, 300});
    HWND child = MakeChild(owner, 1, RECT{0, 0, 50, 50});
    HWND other = MakeChild(owner, 2, RECT{60, 0, 110, 50});
    SetFocus(child);
    // A hidden focus window hands the focus to its parent.
    ShowWindow(child, SW_HIDE);
    EXPECT_EQ(GetFocus(), owner);
    // A disabled one loses it.
    SetFocus(other);
    EnableWindow(other, FALSE);
    EXPECT_EQ(GetFocus(), HWND(NULL));

    HWND dialog = CreateWindowEx(0, TestClass(), "dialog", WS_POPUP | WS_VISIBLE, 50, 50, 100, 100, owner, NULL,
        NULL, NULL);
    ASSERT_EQ(GetActiveWindow(), dialog);
    DestroyWindow(dialog);
    EXPECT_EQ(GetActiveWindow(), owner);
    EXPECT_EQ(GetFocus(), owner);

    HWND focusChild = MakeChild(owner, 3, RECT{0, 60, 50, 110});
    SetFocus(focusChild);
    DestroyWindow(focusChild);
    EXPECT_EQ(GetFocus(), owner);

    Rec().Clear();
    DestroyWindow(owner);
    EXPECT_EQ(GetActiveWindow(), HWND(NULL));
    EXPECT_EQ(GetFocus(), HWND(NULL));
}

TEST_F(FocusTest, ClickOnWindowDisabledByModalDialogBringsTheDialogForward)
{
    HWND owner = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 300, 300});
    HWND dialog = CreateWindowEx(0, TestClass(), "dialog", WS_POPUP | WS_VISIBLE, 400, 0, 100, 100, owner, NULL,
        NULL, NULL);
    EnableWindow(owner, FALSE);
    HWND third = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{600, 0, 700, 100});
    ASSERT_EQ(GetActiveWindow(), third);
    Rec().Clear();
    platform::headless::Click(50, 50);
    Pump();
    EXPECT_EQ(GetActiveWindow(), dialog);
    EXPECT_TRUE(Only({WM_LBUTTONDOWN, WM_LBUTTONUP}).empty());
    auto cursor = Only({WM_SETCURSOR});
    ASSERT_FALSE(cursor.empty());
    EXPECT_EQ(SHORT(LOWORD(cursor[0].lParam)), HTERROR);
}

} // namespace

namespace {

TEST_F(FocusTest, LastActivePopupIsTheOwnedWindowActiveLastNotOneMerelyShown)
{
    HWND owner = MakeTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{0, 0, 400, 300});
    Pump();
    ASSERT_EQ(GetActiveWindow(), owner);
    EXPECT_EQ(GetLastActivePopup(owner), owner);

    // A tool window shown without activation is not the answer.
    HWND tool = CreateWindowEx(0, TestClass(), "tool", WS_POPUP | WS_CAPTION, 10, 10, 100, 100, owner, NULL, NULL, NULL);
    ASSERT_NE(tool, HWND(NULL));
    ShowWindow(tool, SW_SHOWNA);
    EXPECT_EQ(GetActiveWindow(), owner);
    EXPECT_EQ(GetLastActivePopup(owner), owner);

    // A dialog-like popup that is activated is, until it goes.
    HWND popup = CreateWindowEx(0, TestClass(), "popup", WS_POPUP | WS_CAPTION | WS_VISIBLE, 50, 50, 100, 100, owner,
        NULL, NULL, NULL);
    ASSERT_EQ(GetActiveWindow(), popup);
    EXPECT_EQ(GetLastActivePopup(owner), popup);
    ShowWindow(popup, SW_HIDE);
    EXPECT_EQ(GetLastActivePopup(owner), owner);
    ShowWindow(popup, SW_SHOW);
    SetActiveWindow(popup);
    EXPECT_EQ(GetLastActivePopup(owner), popup);
    DestroyWindow(popup);
    EXPECT_EQ(GetLastActivePopup(owner), owner);
    DestroyWindow(tool);
}

} // namespace

namespace {

TEST_F(FocusTest, SetForegroundWindowBringsTheTopLevelSurfaceToTheFront)
{
    HWND a = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100});
    HWND b = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{200, 0, 300, 100});
    HWND child = MakeChild(a, 7, RECT{10, 10, 50, 50});
    Pump();
    ASSERT_EQ(GetActiveWindow(), b);
    EXPECT_TRUE(SetForegroundWindow(child));
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(platform::headless::FrontSurface(), a);
}

} // namespace
