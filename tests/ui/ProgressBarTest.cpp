// The progress bar: range, position and stepping, and the fill it paints.

#include "tests/ui/UiTestSupport.h"

#include "platform/gdi/Gdi.h"
#include "platform/ui/CommCtrl.h"

#include <gtest/gtest.h>

using namespace uitest;
using platform::headless::WindowPixel;

namespace {

class ProgressBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        Rec() = Recorder();
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
        ASSERT_TRUE(InitCommonControlsEx(&icc));
        parent = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 300, 100});
    }
    void TearDown() override { platform::headless::Reset(); }

    void Make(DWORD style)
    {
        bar = CreateWindowEx(0, PROGRESS_CLASS, NULL, WS_CHILD | WS_VISIBLE | style, 10, 10, 202, 20, parent, NULL,
            NULL, NULL);
        ASSERT_NE(bar, nullptr);
    }

    bool Filled(int x)
    {
        UpdateWindow(bar);
        return WindowPixel(bar, x, 10) == GetSysColor(COLOR_HIGHLIGHT);
    }

    HWND parent = NULL, bar = NULL;
};

TEST_F(ProgressBarTest, PositionStaysInTheRangeAndAnswersTheOldOne)
{
    Make(0);
    EXPECT_EQ(SendMessage(bar, PBM_GETRANGE, TRUE, 0), 0);
    EXPECT_EQ(SendMessage(bar, PBM_GETRANGE, FALSE, 0), 100);
    EXPECT_EQ(SendMessage(bar, PBM_SETPOS, 40, 0), 0);
    EXPECT_EQ(SendMessage(bar, PBM_SETPOS, 250, 0), 40);
    EXPECT_EQ(SendMessage(bar, PBM_GETPOS, 0, 0), 100);
    EXPECT_EQ(SendMessage(bar, PBM_DELTAPOS, WPARAM(-30), 0), 100);
    EXPECT_EQ(SendMessage(bar, PBM_GETPOS, 0, 0), 70);

    // The 16-bit range answers the old one packed; the 32-bit one reaches
    // past 65535.
    EXPECT_EQ(SendMessage(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 50)), MAKELONG(0, 100));
    EXPECT_EQ(SendMessage(bar, PBM_GETPOS, 0, 0), 50);
    SendMessage(bar, PBM_SETRANGE32, WPARAM(-10), 100000);
    PBRANGE range{};
    SendMessage(bar, PBM_GETRANGE, 0, LPARAM(&range));
    EXPECT_EQ(range.iLow, -10);
    EXPECT_EQ(range.iHigh, 100000);
}

TEST_F(ProgressBarTest, StepItWrapsPastTheEnd)
{
    Make(0);
    EXPECT_EQ(SendMessage(bar, PBM_SETSTEP, 30, 0), 10);
    SendMessage(bar, PBM_SETPOS, 60, 0);
    EXPECT_EQ(SendMessage(bar, PBM_STEPIT, 0, 0), 60);
    EXPECT_EQ(SendMessage(bar, PBM_GETPOS, 0, 0), 90);
    SendMessage(bar, PBM_STEPIT, 0, 0);
    EXPECT_EQ(SendMessage(bar, PBM_GETPOS, 0, 0), 20);
}

TEST_F(ProgressBarTest, PaintsTheFillInProportionSmoothOrInBlocks)
{
    Make(PBS_SMOOTH);
    SendMessage(bar, PBM_SETPOS, 50, 0);
    // The fill runs from x 2 over 198 pixels inside the edge and a pixel of
    // margin: half reaches x 101.
    EXPECT_TRUE(Filled(2));
    EXPECT_TRUE(Filled(99));
    EXPECT_FALSE(Filled(103));
    DestroyWindow(bar);

    Make(0);
    SendMessage(bar, PBM_SETPOS, 50, 0);
    // Blocks of 10 (two thirds of the 16-pixel fill height), 2 apart.
    EXPECT_TRUE(Filled(2));
    EXPECT_TRUE(Filled(11));
    EXPECT_FALSE(Filled(12));
    EXPECT_TRUE(Filled(14));
    EXPECT_FALSE(Filled(150));

    // An empty range draws nothing rather than failing.
    SendMessage(bar, PBM_SETRANGE32, 5, 5);
    InvalidateRect(bar, NULL, TRUE);
    EXPECT_FALSE(Filled(2));
}

} // namespace
