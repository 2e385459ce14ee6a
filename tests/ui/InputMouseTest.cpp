#include "tests/ui/InputTestFixture.h"

#include <gmock/gmock.h>

using namespace uitest;
using ::testing::ElementsAre;

namespace {

class InputMouseTest : public InputTest { };

HWND MakeIn(const char* cls, DWORD style, RECT r, HWND parent = NULL, int id = 0)
{
    return CreateWindowEx(0, cls, "w", style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
        (HMENU)(INT_PTR)id, NULL, NULL);
}

TEST_F(InputMouseTest, ClickReachesTheChildAtClientCoordinatesAfterHitTestAndCursor)
{
    HWND top = MakeTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND child = MakeChild(top, 7, RECT{20, 30, 120, 90});
    Pump();
    Rec().Clear();
    POINT p = Screen(child, 15, 25);
    platform::headless::KeyDown(VK_CONTROL);
    platform::headless::Click(p.x, p.y);
    Pump();

    auto seen = Only({WM_NCHITTEST, WM_SETCURSOR, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP});
    std::vector<Seen> atChild;
    for (const Seen& s : seen)
        if (s.hwnd == child)
            atChild.push_back(s);
    // Hit test and cursor are sent as each event arrives; the mouse messages
    // wait in the queue.
    EXPECT_THAT(MessagesIn(atChild), ElementsAre(WM_NCHITTEST, WM_SETCURSOR, WM_NCHITTEST, WM_SETCURSOR,
                                         WM_NCHITTEST, WM_SETCURSOR, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP));
    EXPECT_EQ(atChild[1].lParam, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(atChild[3].lParam, MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    const Seen& down = atChild[7];
    EXPECT_EQ(down.lParam, MAKELPARAM(15, 25));
    EXPECT_EQ(down.wParam, WPARAM(MK_LBUTTON | MK_CONTROL));
    EXPECT_EQ(atChild[8].wParam, WPARAM(MK_CONTROL));
    platform::headless::KeyUp(VK_CONTROL);
}

TEST_F(InputMouseTest, FrameAndCaptionGetNonClientMessagesInScreenCoordinates)
{
    HWND top = MakeTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{100, 100, 400, 300});
    Pump();
    Rec().Clear();
    platform::headless::MoveMouse(200, 108); // in the caption
    platform::headless::PressMouse(1, 200, 108);
    Pump();
    auto seen = Only({WM_NCMOUSEMOVE, WM_NCRBUTTONDOWN, WM_MOUSEMOVE, WM_RBUTTONDOWN});
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].message, UINT(WM_NCMOUSEMOVE));
    EXPECT_EQ(seen[1].message, UINT(WM_NCRBUTTONDOWN));
    EXPECT_EQ(seen[1].hwnd, top);
    EXPECT_EQ(seen[1].wParam, WPARAM(HTCAPTION));
    EXPECT_EQ(seen[1].lParam, MAKELPARAM(200, 108));
}

TEST_F(InputMouseTest, SecondQuickClickIsADoubleClickOnlyForClassesThatAskForIt)
{
    HWND top = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 400, 200});
    HWND plain = MakeIn(TestClass(0), WS_CHILD | WS_VISIBLE, RECT{0, 0, 100, 100}, top, 1);
    HWND dbl = MakeIn(TestClass(CS_DBLCLKS), WS_CHILD | WS_VISIBLE, RECT{200, 0, 300, 100}, top, 2);
    Pump();

    auto clicks = [&](HWND target, int x, DWORD gap, int dx) {
        Rec().Clear();
        platform::headless::Click(x, 50);
        clock.Advance(gap);
        platform::headless::Click(x + dx, 50);
        clock.Advance(gap);
        platform::headless::Click(x + dx, 50);
        Pump();
        std::vector<UINT> out;
        for (const Seen& s : Only({WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}))
            if (s.hwnd == target)
                out.push_back(s.message);
        clock.Advance(5000);
        return out;
    };
    // The third press starts a new pair.
    EXPECT_THAT(clicks(dbl, 250, 100, 1), ElementsAre(WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN));
    EXPECT_THAT(clicks(plain, 50, 100, 1), ElementsAre(WM_LBUTTONDOWN, WM_LBUTTONDOWN, WM_LBUTTONDOWN));
    // Too slow, or too far apart.
    EXPECT_THAT(clicks(dbl, 250, GetDoubleClickTime() + 1, 0),
        ElementsAre(WM_LBUTTONDOWN, WM_LBUTTONDOWN, WM_LBUTTONDOWN));
    EXPECT_THAT(clicks(dbl, 250, 100, GetSystemMetrics(SM_CXDOUBLECLK)),
        ElementsAre(WM_LBUTTONDOWN, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK));
}

TEST_F(InputMouseTest, CursorComesFromSetCursorHandlerClassCursorOrArrow)
{
    HWND top = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 400, 200});
    HWND handles = MakeChild(top, 1, RECT{0, 0, 100, 100});
    HWND leaves = MakeChild(top, 2, RECT{100, 0, 200, 100});
    WNDCLASS wc{};
    wc.lpfnWndProc = DefWindowProc;
    wc.hCursor = LoadCursor(NULL, IDC_CROSS);
    wc.lpszClassName = "InputCrossClass";
    ASSERT_TRUE(RegisterClass(&wc));
    MakeIn("InputCrossClass", WS_CHILD | WS_VISIBLE, RECT{200, 0, 300, 100}, top, 3);
    Rec().handlers[handles] = [](HWND, UINT m, WPARAM, LPARAM lp, LRESULT& r) {
        if (m != WM_SETCURSOR || LOWORD(lp) != HTCLIENT)
            return false;
        SetCursor(LoadCursor(NULL, IDC_IBEAM));
        r = TRUE;
        return true;
    };
    platform::headless::MoveMouse(50, 50);
    EXPECT_EQ(GetCursor(), LoadCursor(NULL, IDC_IBEAM));
    platform::headless::MoveMouse(150, 50);
    EXPECT_EQ(GetCursor(), LoadCursor(NULL, IDC_ARROW));
    platform::headless::MoveMouse(250, 50);
    EXPECT_EQ(GetCursor(), LoadCursor(NULL, IDC_CROSS));
    (void)leaves;
}

TEST_F(InputMouseTest, ClickOnInactiveWindowAsksMouseActivateAndMayBeEaten)
{
    HWND a = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100});
    HWND b = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{200, 0, 300, 100});
    Pump();
    ASSERT_EQ(GetActiveWindow(), b);
    Rec().Clear();
    platform::headless::Click(50, 50);
    Pump();
    EXPECT_EQ(GetActiveWindow(), a);
    auto seen = Only({WM_MOUSEACTIVATE, WM_ACTIVATE, WM_LBUTTONDOWN});
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].message, UINT(WM_MOUSEACTIVATE));
    EXPECT_EQ(seen[0].lParam, MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    EXPECT_EQ(seen[2].hwnd, a);
    EXPECT_EQ(LOWORD(seen[2].wParam), WA_CLICKACTIVE);
    EXPECT_EQ(seen[3].message, UINT(WM_LBUTTONDOWN));

    // A window that neither activates nor wants the click.
    Rec().handlers[b] = [](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) {
        if (m != WM_MOUSEACTIVATE)
            return false;
        r = MA_NOACTIVATEANDEAT;
        return true;
    };
    Rec().Clear();
    platform::headless::Click(250, 50);
    Pump();
    EXPECT_EQ(GetActiveWindow(), a);
    std::vector<UINT> atB;
    for (const Seen& s : Only({WM_LBUTTONDOWN, WM_LBUTTONUP}))
        if (s.hwnd == b)
            atB.push_back(s.message);
    EXPECT_THAT(atB, ElementsAre(WM_LBUTTONUP));
}

TEST_F(InputMouseTest, TransparentAndDisabledChildrenLetTheParentHaveTheMouse)
{
    HWND top = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 400, 200});
    HWND glass = MakeChild(top, 1, RECT{0, 0, 100, 100});
    HWND off = MakeChild(top, 2, RECT{100, 0, 200, 100}, WS_CHILD | WS_VISIBLE | WS_DISABLED);
    Rec().handlers[glass] = [](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) {
        if (m != WM_NCHITTEST)
            return false;
        r = HTTRANSPARENT;
        return true;
    };
    Pump();
    Rec().Clear();
    platform::headless::PressMouse(0, 10, 20);
    platform::headless::PressMouse(0, 150, 20);
    Pump();
    auto downs = Only({WM_LBUTTONDOWN, WM_LBUTTONDBLCLK});
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[0].hwnd, top);
    EXPECT_EQ(downs[0].lParam, MAKELPARAM(10, 20));
    EXPECT_EQ(downs[1].hwnd, top);
    (void)off;
}

TEST_F(InputMouseTest, MovesWaitingInTheQueueAreMergedIntoTheLatest)
{
    HWND top = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 400, 200});
    Pump();
    Rec().Clear();
    platform::headless::MoveMouse(10, 10);
    platform::headless::MoveMouse(20, 10);
    platform::headless::MoveMouse(30, 10);
    platform::headless::PressMouse(0, 30, 10);
    platform::headless::MoveMouse(40, 10);
    Pump();
    auto seen = Only({WM_MOUSEMOVE, WM_LBUTTONDOWN});
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].lParam, MAKELPARAM(30, 10));
    EXPECT_EQ(seen[1].message, UINT(WM_LBUTTONDOWN));
    EXPECT_EQ(seen[2].lParam, MAKELPARAM(40, 10));
    EXPECT_EQ(seen[2].wParam, WPARAM(MK_LBUTTON));
    (void)top;
}

TEST_F(InputMouseTest, DragDetectTellsADragFromAClick)
{
    HWND top = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 400, 200});
    Pump();
    platform::headless::PressMouse(0, 50, 50);
    platform::headless::MoveMouse(52, 51); // within the drag square
    platform::headless::MoveMouse(60, 50);
    EXPECT_TRUE(DragDetect(top, POINT{50, 50}));
    EXPECT_EQ(GetCapture(), HWND(NULL));
    platform::headless::ReleaseMouse(0, 60, 50);
    Pump();

    platform::headless::PressMouse(0, 50, 50);
    platform::headless::MoveMouse(51, 51);
    platform::headless::ReleaseMouse(0, 51, 51);
    EXPECT_FALSE(DragDetect(top, POINT{50, 50}));
}

} // namespace
