// Resizable top-level windows keep to the tracking sizes their
// WM_GETMINMAXINFO answer asks for when they are sized, as a user's drag on
// the desktop sizes them; windows that ask for nothing are sized freely.

#include "tests/ui/UiTestSupport.h"

#include <gtest/gtest.h>

namespace {

class TrackingSizeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        uitest::Rec() = uitest::Recorder{};
    }
    void TearDown() override
    {
        platform::headless::Reset();
        uitest::Rec() = uitest::Recorder{};
    }

    // The window asks for at least 300 x 200 and at most 600 x 500.
    static void AskForLimits(HWND hwnd)
    {
        uitest::Rec().handlers[hwnd] = [](HWND, UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
            if (msg != WM_GETMINMAXINFO)
                return false;
            auto* mmi = reinterpret_cast<MINMAXINFO*>(lParam);
            mmi->ptMinTrackSize = POINT{300, 200};
            mmi->ptMaxTrackSize = POINT{600, 500};
            result = 0;
            return true;
        };
    }
    static SIZE SizeOf(HWND hwnd)
    {
        RECT r;
        GetWindowRect(hwnd, &r);
        return SIZE{r.right - r.left, r.bottom - r.top};
    }
};

TEST_F(TrackingSizeTest, ResizableWindowKeepsToItsOwnLimits)
{
    HWND hwnd = uitest::MakeTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{10, 10, 410, 310});
    AskForLimits(hwnd);
    struct Case {
        int cx, cy;
        int wantCx, wantCy;
    };
    const Case cases[] = {
        {100, 100, 300, 200},
        {900, 900, 600, 500},
        {450, 50, 450, 200},
        {350, 250, 350, 250},
    };
    for (const Case& c : cases) {
        SetWindowPos(hwnd, NULL, 0, 0, c.cx, c.cy, SWP_NOMOVE | SWP_NOZORDER);
        SIZE size = SizeOf(hwnd);
        EXPECT_EQ(c.wantCx, size.cx) << c.cx << 'x' << c.cy;
        EXPECT_EQ(c.wantCy, size.cy) << c.cx << 'x' << c.cy;
    }
    // Moving alone changes no size.
    SetWindowPos(hwnd, NULL, 20, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(350, SizeOf(hwnd).cx);
}

TEST_F(TrackingSizeTest, WindowsWithoutLimitsOrFramesAreSizedFreely)
{
    // Below the system's own minimum tracking size.
    HWND plain = uitest::MakeTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{10, 10, 410, 310});
    MoveWindow(plain, 10, 10, 60, 20, TRUE);
    EXPECT_EQ(60, SizeOf(plain).cx);

    HWND popup = uitest::MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{10, 10, 410, 310});
    AskForLimits(popup);
    MoveWindow(popup, 10, 10, 100, 100, TRUE);
    EXPECT_EQ(100, SizeOf(popup).cx);

    HWND parent = uitest::MakeTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{10, 10, 810, 610});
    HWND child = uitest::MakeChild(parent, 5, RECT{0, 0, 400, 300}, WS_CHILD | WS_VISIBLE | WS_THICKFRAME);
    AskForLimits(child);
    MoveWindow(child, 0, 0, 100, 100, TRUE);
    EXPECT_EQ(100, SizeOf(child).cx);
}

TEST_F(TrackingSizeTest, MaximisedWindowIsNotHeldToTheTrackingSize)
{
    HWND hwnd = uitest::MakeTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{10, 10, 410, 310});
    AskForLimits(hwnd);
    ShowWindow(hwnd, SW_MAXIMIZE);
    EXPECT_GT(SizeOf(hwnd).cx, 600);
    ShowWindow(hwnd, SW_RESTORE);
    EXPECT_EQ(400, SizeOf(hwnd).cx);
}

} // namespace
