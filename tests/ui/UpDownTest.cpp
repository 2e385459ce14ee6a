#include "tests/ui/UiTestSupport.h"

#include "platform/ui/CommCtrl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace uitest;

namespace {

class UpDownTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        Rec() = Recorder();
        InitCommonControls();
        parent = MakeTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{50, 50, 350, 250});
        Rec().handlers[parent] = [this](HWND, UINT m, WPARAM w, LPARAM l, LRESULT& result) {
            if (m == WM_VSCROLL && LOWORD(w) == SB_THUMBPOSITION)
                scrolled.push_back((short)HIWORD(w));
            if (m == WM_NOTIFY && reinterpret_cast<NMHDR*>(l)->code == UDN_DELTAPOS) {
                auto* nm = reinterpret_cast<NMUPDOWN*>(l);
                deltas.push_back(nm->iDelta);
                if (doubleSteps)
                    nm->iDelta *= 2;
                result = veto;
                return true;
            }
            return false;
        };
        buddy = MakeChild(parent, 10, RECT{10, 10, 110, 30});
        updown = CreateWindowEx(0, UPDOWN_CLASS, NULL,
                                WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_ALIGNRIGHT | UDS_AUTOBUDDY,
                                0, 0, 16, 20, parent, (HMENU)(INT_PTR)11, NULL, NULL);
        ASSERT_NE(updown, nullptr);
    }
    void TearDown() override { platform::headless::Reset(); }

    std::string BuddyText()
    {
        char text[32] = {};
        GetWindowText(buddy, text, sizeof text);
        return text;
    }

    void ClickHalf(bool up)
    {
        RECT r{};
        GetClientRect(updown, &r);
        POINT p{r.right / 2, up ? 2 : r.bottom - 3};
        ClientToScreen(updown, &p);
        platform::headless::Click(p.x, p.y);
        Pump();
    }

    HWND parent = NULL, buddy = NULL, updown = NULL;
    std::vector<int> scrolled;
    std::vector<int> deltas;
    LRESULT veto = 0;
    bool doubleSteps = false;
};

TEST_F(UpDownTest, TakesThePreviousSiblingAsBuddyAndSitsAtItsRight)
{
    EXPECT_EQ((HWND)SendMessage(updown, UDM_GETBUDDY, 0, 0), buddy);
    RECT b{}, u{};
    GetWindowRect(buddy, &b);
    GetWindowRect(updown, &u);
    EXPECT_EQ(u.left, b.right);
    EXPECT_EQ(u.top, b.top);
    EXPECT_EQ(u.right - b.left, 100);
}

TEST_F(UpDownTest, RangeAndPositionShowInTheBuddy)
{
    EXPECT_EQ(SendMessage(updown, UDM_GETRANGE, 0, 0), MAKELONG(0, 100)); // the classic default
    SendMessage(updown, UDM_SETRANGE, 0, MAKELONG(10, 1)); // upper 10, lower 1
    EXPECT_EQ(SendMessage(updown, UDM_SETPOS, 0, MAKELONG(50, 0)), 1); // clamped from 0 to 1 by the range
    EXPECT_EQ(BuddyText(), "10");
    EXPECT_EQ(SendMessage(updown, UDM_GETPOS, 0, 0), MAKELONG(10, 0));

    SetWindowText(buddy, "7");
    EXPECT_EQ(LOWORD(SendMessage(updown, UDM_GETPOS, 0, 0)), 7);
    SetWindowText(buddy, "seven");
    EXPECT_NE(HIWORD(SendMessage(updown, UDM_GETPOS, 0, 0)), 0);

    SendMessage(updown, UDM_SETRANGE32, 0, 5000);
    SendMessage(updown, UDM_SETPOS, 0, MAKELONG(1234, 0));
    EXPECT_EQ(BuddyText(), "1,234");
}

TEST_F(UpDownTest, ArrowsStepAskTheOwnerAndReport)
{
    SendMessage(updown, UDM_SETRANGE, 0, MAKELONG(3, 0));
    SendMessage(updown, UDM_SETPOS, 0, MAKELONG(1, 0));
    ClickHalf(true);
    ClickHalf(true);
    ClickHalf(true); // stops at the upper bound
    EXPECT_EQ(BuddyText(), "3");
    EXPECT_EQ(deltas, (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(scrolled, (std::vector<int>{2, 3}));

    // The buddy's arrow keys step too, starting from what the buddy shows.
    SetWindowText(buddy, "2");
    SendMessage(buddy, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(BuddyText(), "1");

    veto = 1;
    ClickHalf(false);
    EXPECT_EQ(BuddyText(), "1");
    veto = 0;
    doubleSteps = true;
    SendMessage(updown, UDM_SETPOS, 0, MAKELONG(0, 0));
    ClickHalf(true);
    EXPECT_EQ(BuddyText(), "2");
}

TEST_F(UpDownTest, BackwardRangeStepsDownOnTheUpArrow)
{
    SendMessage(updown, UDM_SETRANGE, 0, MAKELONG(0, 10)); // upper 0, lower 10
    SendMessage(updown, UDM_SETPOS, 0, MAKELONG(5, 0));
    ClickHalf(true);
    EXPECT_EQ(BuddyText(), "4");
}

} // namespace
