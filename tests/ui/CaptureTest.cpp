#include "tests/ui/InputTestFixture.h"

#include <gmock/gmock.h>

using namespace uitest;
using ::testing::ElementsAre;

namespace {

class CaptureTest : public InputTest {
protected:
    void SetUp() override
    {
        InputTest::SetUp();
        top = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{100, 100, 400, 300});
        a = MakeChild(top, 1, RECT{0, 0, 100, 100});
        b = MakeChild(top, 2, RECT{150, 0, 250, 100});
        Pump();
        Rec().Clear();
    }
    HWND top = NULL;
    HWND a = NULL;
    HWND b = NULL;
};

TEST_F(CaptureTest, CapturingWindowGetsTheMouseEverywhereInItsClientCoordinates)
{
    EXPECT_EQ(SetCapture(a), HWND(NULL));
    EXPECT_EQ(GetCapture(), a);
    platform::headless::MoveMouse(300, 150); // over b
    platform::headless::ReleaseMouse(0, 50, 60); // outside the top-level window
    Pump();
    auto seen = Only({WM_MOUSEMOVE, WM_LBUTTONUP, WM_SETCURSOR, WM_NCHITTEST});
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].hwnd, a);
    EXPECT_EQ(seen[0].lParam, MAKELPARAM(200, 50));
    EXPECT_EQ(seen[1].hwnd, a);
    EXPECT_EQ(GET_X_LPARAM(seen[1].lParam), -50);
    EXPECT_EQ(GET_Y_LPARAM(seen[1].lParam), -40);
}

TEST_F(CaptureTest, ReleasingItselfSendsOnlyCaptureChanged)
{
    SetCapture(a);
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(GetCapture(), HWND(NULL));
    EXPECT_THAT(Rec().MessagesOf(a), ElementsAre(WM_CAPTURECHANGED));
    EXPECT_EQ(Rec().log[0].lParam, 0);
}

TEST_F(CaptureTest, HavingItTakenAwaySendsCancelModeFirst)
{
    SetCapture(a);
    EXPECT_EQ(SetCapture(b), a);
    EXPECT_EQ(GetCapture(), b);
    EXPECT_THAT(Rec().MessagesOf(a), ElementsAre(WM_CANCELMODE, WM_CAPTURECHANGED));

    // A window that ignores WM_CANCELMODE loses the capture anyway.
    Rec().handlers[b] = [](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) {
        r = 0;
        return m == WM_CANCELMODE;
    };
    Rec().Clear();
    ShowWindow(b, SW_HIDE);
    EXPECT_EQ(GetCapture(), HWND(NULL));
    auto seen = Only({WM_CANCELMODE, WM_CAPTURECHANGED});
    EXPECT_THAT(MessagesIn(seen), ElementsAre(WM_CANCELMODE, WM_CAPTURECHANGED));

    SetCapture(a);
    Rec().Clear();
    EnableWindow(a, FALSE);
    EXPECT_EQ(GetCapture(), HWND(NULL));
    EXPECT_THAT(MessagesIn(Only({WM_CANCELMODE, WM_CAPTURECHANGED, WM_ENABLE})),
        ElementsAre(WM_CANCELMODE, WM_CAPTURECHANGED, WM_ENABLE));
}

TEST_F(CaptureTest, ActivatingAnotherWindowOrDestroyingTheHolderEndsIt)
{
    SetCapture(a);
    HWND other = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{500, 100, 600, 200});
    EXPECT_EQ(GetCapture(), HWND(NULL));
    EXPECT_THAT(MessagesIn(Only({WM_CANCELMODE, WM_CAPTURECHANGED})), ElementsAre(WM_CANCELMODE, WM_CAPTURECHANGED));

    SetCapture(other);
    DestroyWindow(other);
    EXPECT_EQ(GetCapture(), HWND(NULL));
    // Mouse input goes back to hit testing.
    Rec().Clear();
    platform::headless::MoveMouse(120, 120);
    Pump();
    auto moves = Only({WM_MOUSEMOVE});
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].hwnd, a);
}

} // namespace
