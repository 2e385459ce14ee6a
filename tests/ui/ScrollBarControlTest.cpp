// The scroll-bar control: its range and position through messages and
// SB_CTL, and the requests the mouse and keys send to its parent.

#include "tests/ui/InputTestFixture.h"

#include "platform/ui/Messages.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

using namespace uitest;
using ::testing::ElementsAre;

namespace {

namespace hl = platform::headless;

class ScrollBarControlTest : public InputTest {
protected:
    void SetUp() override
    {
        InputTest::SetUp();
        parent = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 400, 300});
        Rec().handlers[parent] = [this](HWND, UINT m, WPARAM w, LPARAM l, LRESULT&) {
            if ((m == WM_HSCROLL || m == WM_VSCROLL) && HWND(l) == bar) {
                messages.push_back(m);
                codes.push_back(LOWORD(w));
                positions.push_back(HIWORD(w));
            }
            return false;
        };
    }

    // A vertical bar 16 wide and 200 high at (10, 10): arrows of 16, track
    // from 26 to 194.
    void Make(DWORD style)
    {
        bar = CreateWindowEx(0, "ScrollBar", NULL, WS_CHILD | WS_VISIBLE | style, 10, 10,
            style & SBS_VERT ? 16 : 200, style & SBS_VERT ? 200 : 16, parent, HMENU(INT_PTR(7)), NULL, NULL);
        ASSERT_NE(bar, nullptr);
        SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, 10, 0, 0};
        SetScrollInfo(bar, SB_CTL, &si, TRUE);
        codes.clear();
        messages.clear();
        positions.clear();
    }

    HWND parent = NULL, bar = NULL;
    std::vector<UINT> messages;
    std::vector<int> codes;
    std::vector<int> positions;
};

TEST_F(ScrollBarControlTest, RangeAndPositionThroughMessagesAndSbCtl)
{
    Make(SBS_VERT);
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    ASSERT_TRUE(GetScrollInfo(bar, SB_CTL, &si));
    EXPECT_EQ(si.nMin, 0);
    EXPECT_EQ(si.nMax, 100);
    EXPECT_EQ(si.nPage, 10u);

    // The last position leaves a whole page showing.
    EXPECT_EQ(SendMessage(bar, SBM_SETPOS, 500, TRUE), 0);
    EXPECT_EQ(SendMessage(bar, SBM_GETPOS, 0, 0), 91);
    EXPECT_EQ(SetScrollPos(bar, SB_CTL, -5, TRUE), 91);
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 0);

    SendMessage(bar, SBM_SETRANGE, 20, 30);
    int low = 0, high = 0;
    SendMessage(bar, SBM_GETRANGE, WPARAM(&low), LPARAM(&high));
    EXPECT_EQ(low, 20);
    EXPECT_EQ(high, 30);
    EXPECT_EQ(SendMessage(bar, SBM_GETPOS, 0, 0), 20);
    EXPECT_TRUE(codes.empty()); // changes made by the program are not reported
}

TEST_F(ScrollBarControlTest, ArrowsAndPagesSendRequestsWithTheControlAsLParam)
{
    Make(SBS_VERT);
    hl::Click(18, 15); // up arrow
    PumpTranslated();
    hl::Click(18, 205); // down arrow
    PumpTranslated();
    clock.Advance(1000);
    hl::Click(18, 150); // the track below the thumb
    PumpTranslated();
    EXPECT_THAT(codes, ElementsAre(SB_LINEUP, SB_ENDSCROLL, SB_LINEDOWN, SB_ENDSCROLL, SB_PAGEDOWN, SB_ENDSCROLL));
    EXPECT_THAT(messages, ::testing::Each(UINT(WM_VSCROLL)));
    EXPECT_EQ(GetCapture(), HWND(NULL));
}

TEST_F(ScrollBarControlTest, HeldArrowRepeatsAfterAPause)
{
    Make(SBS_HORZ);
    hl::PressMouse(0, 200, 18); // right arrow
    PumpTranslated();
    EXPECT_THAT(codes, ElementsAre(SB_LINERIGHT));
    clock.Advance(400);
    PumpTranslated();
    clock.Advance(50);
    PumpTranslated();
    hl::ReleaseMouse(0, 200, 18);
    PumpTranslated();
    EXPECT_THAT(codes, ElementsAre(SB_LINERIGHT, SB_LINERIGHT, SB_LINERIGHT, SB_ENDSCROLL));
    EXPECT_THAT(messages, ::testing::Each(UINT(WM_HSCROLL)));
}

TEST_F(ScrollBarControlTest, DraggedThumbTracksThenDrops)
{
    Make(SBS_VERT);
    // The thumb starts at the top of the track (y 26 in the bar).
    hl::PressMouse(0, 18, 10 + 30);
    PumpTranslated();
    hl::MoveMouse(18, 10 + 30 + 200); // past the end: the last position
    PumpTranslated();
    SCROLLINFO si{sizeof si, SIF_TRACKPOS | SIF_POS, 0, 0, 0, 0, 0};
    GetScrollInfo(bar, SB_CTL, &si);
    EXPECT_EQ(si.nTrackPos, 91);
    EXPECT_EQ(si.nPos, 0); // the parent decides where the bar stands
    hl::ReleaseMouse(0, 18, 240);
    PumpTranslated();
    EXPECT_THAT(codes, ElementsAre(SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL));
    EXPECT_EQ(positions[1], 91);
}

TEST_F(ScrollBarControlTest, KeysScrollAlongTheBarOnly)
{
    Make(SBS_VERT);
    SetFocus(bar);
    hl::TypeKey(VK_DOWN);
    hl::TypeKey(VK_LEFT); // across a vertical bar: nothing
    hl::TypeKey(VK_NEXT);
    hl::TypeKey(VK_HOME);
    PumpTranslated();
    EXPECT_THAT(codes, ElementsAre(SB_LINEDOWN, SB_ENDSCROLL, SB_PAGEDOWN, SB_ENDSCROLL, SB_TOP, SB_ENDSCROLL));
}

} // namespace
