#include "tests/ui/ToolbarTestSupport.h"

#include "platform/base/Clock.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiDefs.h"
#include "platform/ui/CommCtrl.h"

#include <gtest/gtest.h>

#include <vector>

using namespace uitest;
using platform::headless::WindowPixel;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr int kTop = 2; // no divider: the buttons start below the top pad
constexpr int kCx = 23;
constexpr int kCy = 22;

// Two 16x15 images: red and blue.
HBITMAP MakeStrip()
{
    std::vector<DWORD> bits(32 * 15);
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 32; ++x)
            bits[static_cast<size_t>(y * 32 + x)] = x < 16 ? 0xFF0000 : 0x0000FF;
    return CreateBitmap(32, 15, 1, 32, bits.data());
}

TBBUTTON Btn(int image, int id, BYTE state = TBSTATE_ENABLED)
{
    TBBUTTON b{};
    b.iBitmap = image;
    b.idCommand = id;
    b.fsState = state;
    b.fsStyle = TBSTYLE_BUTTON;
    return b;
}

TBBUTTON Sep(int width, BYTE state = 0)
{
    TBBUTTON b{};
    b.iBitmap = width;
    b.fsState = state;
    b.fsStyle = TBSTYLE_SEP;
    return b;
}

constexpr BYTE kWrap = TBSTATE_ENABLED | TBSTATE_WRAP;

class ToolbarWrapTest : public ToolbarParentTest {
protected:
    void SetUp() override
    {
        ToolbarParentTest::SetUp();
        strip = MakeStrip();
    }

    // A toolbar sized by the test, the way a bar docked in a column is.
    void MakeBar(const std::vector<TBBUTTON>& buttons, DWORD extraStyle = CCS_NORESIZE, int cx = 200, int cy = 200)
    {
        bar = CreateWindowEx(0, TOOLBARCLASSNAME, NULL,
                             WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER
                                 | CCS_NOPARENTALIGN | extraStyle,
                             0, 0, cx, cy, parent, (HMENU)(INT_PTR)0xE800, NULL, NULL);
        ASSERT_NE(bar, nullptr);
        TBADDBITMAP add{NULL, (UINT_PTR)strip};
        ASSERT_EQ(SendMessage(bar, TB_ADDBITMAP, 2, (LPARAM)&add), 0);
        ASSERT_TRUE(SendMessage(bar, TB_ADDBUTTONS, buttons.size(), (LPARAM)buttons.data()));
        Pump();
    }

    POINT ScreenAt(int x, int y)
    {
        POINT p{x, y};
        ClientToScreen(bar, &p);
        return p;
    }

    POINT ScreenCentre(int index)
    {
        RECT r = ItemRect(index);
        return ScreenAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }

    void Click(POINT p)
    {
        platform::headless::Click(p.x, p.y);
        Pump();
    }
};

void ExpectRect(const RECT& r, int left, int top, int right, int bottom)
{
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.top, top);
    EXPECT_EQ(r.right, right);
    EXPECT_EQ(r.bottom, bottom);
}

TEST_F(ToolbarWrapTest, WrappingEveryButtonStacksAColumnWithSeparatorsAsGaps)
{
    MakeBar({Btn(0, 100, kWrap), Sep(6, TBSTATE_WRAP), Btn(1, 101, kWrap), Sep(0, TBSTATE_WRAP), Btn(0, 102, kWrap)},
            CCS_NORESIZE, kCx, 200);
    ExpectRect(ItemRect(0), 0, kTop, kCx, kTop + kCy);
    ExpectRect(ItemRect(1), 0, kTop + kCy, kCx, kTop + kCy + 6); // its width is the gap
    ExpectRect(ItemRect(2), 0, kTop + kCy + 6, kCx, kTop + 2 * kCy + 6);
    ExpectRect(ItemRect(3), 0, kTop + 2 * kCy + 6, kCx, kTop + 2 * kCy + 6 + 8); // default width
    ExpectRect(ItemRect(4), 0, kTop + 2 * kCy + 14, kCx, kTop + 3 * kCy + 14);

    // A wrapping separator still reports its width, not the span it lies across.
    TBBUTTONINFOA info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_SIZE | TBIF_BYINDEX;
    EXPECT_EQ(SendMessage(bar, TB_GETBUTTONINFO, 1, (LPARAM)&info), 1);
    EXPECT_EQ(info.cx, 6);
}

TEST_F(ToolbarWrapTest, WrapInsideARowStartsTheNextLineAtTheLeft)
{
    MakeBar({Btn(0, 100), Btn(1, 101, kWrap), Btn(0, 102), Btn(1, 103), Sep(10, TBSTATE_WRAP), Btn(0, 104),
             Btn(1, 105, TBSTATE_ENABLED | TBSTATE_WRAP | TBSTATE_HIDDEN), Btn(0, 106)});
    ExpectRect(ItemRect(1), kCx, kTop, 2 * kCx, kTop + kCy);
    ExpectRect(ItemRect(2), 0, kTop + kCy, kCx, kTop + 2 * kCy);
    ExpectRect(ItemRect(3), kCx, kTop + kCy, 2 * kCx, kTop + 2 * kCy);
    // The separator ends the second line and lies across it, under its buttons.
    ExpectRect(ItemRect(4), 0, kTop + 2 * kCy, 2 * kCx, kTop + 2 * kCy + 10);
    ExpectRect(ItemRect(5), 0, kTop + 2 * kCy + 10, kCx, kTop + 3 * kCy + 10);
    // A hidden button takes no room and breaks no line.
    ExpectRect(ItemRect(7), kCx, kTop + 2 * kCy + 10, 2 * kCx, kTop + 3 * kCy + 10);
}

TEST_F(ToolbarWrapTest, ClicksAndPaintingFollowTheWrappedLayout)
{
    MakeBar({Btn(0, 100, kWrap), Sep(8, TBSTATE_WRAP), Btn(1, 101, kWrap)}, CCS_NORESIZE, kCx, 200);
    UpdateWindow(parent);
    Pump();
    RECT r0 = ItemRect(0), r2 = ItemRect(2);
    EXPECT_EQ(WindowPixel(bar, (r0.left + r0.right) / 2, (r0.top + r0.bottom) / 2), kRed);
    EXPECT_EQ(WindowPixel(bar, (r2.left + r2.right) / 2, (r2.top + r2.bottom) / 2), kBlue);

    Click(ScreenCentre(2));
    Click(ScreenCentre(1)); // the gap is no button
    Click(ScreenAt(kCx + 10, (r0.top + r0.bottom) / 2)); // where a single row would put button 2
    Click(ScreenCentre(0));
    EXPECT_EQ(commands, (std::vector<int>{101, 100}));
}

TEST_F(ToolbarWrapTest, TooltipsAndLayoutFollowAWrapSetLater)
{
    MakeBar({Btn(0, 100), Btn(1, 101), Btn(0, 102)});
    EXPECT_EQ(ItemRect(2).left, 2 * kCx);
    ASSERT_TRUE(SendMessage(bar, TB_SETSTATE, 101, MAKELONG(kWrap, 0)));
    RECT r2 = ItemRect(2);
    ExpectRect(r2, 0, kTop + kCy, kCx, kTop + 2 * kCy);

    // The tooltip knows the button's new place.
    POINT p = ScreenCentre(2);
    platform::headless::MoveMouse(p.x, p.y);
    Pump();
    clock.Advance(600);
    Pump();
    EXPECT_EQ(tipAskedFor, 102u);
}

TEST_F(ToolbarWrapTest, AutoSizeMakesRoomForEveryLine)
{
    MakeBar({Btn(0, 100, kWrap), Btn(1, 101)}, 0);
    SendMessage(bar, TB_AUTOSIZE, 0, 0);
    RECT wr{};
    GetWindowRect(bar, &wr);
    EXPECT_EQ(wr.bottom - wr.top, 2 * kCy + 2 * kTop);

    SendMessage(bar, TB_SETSTATE, 100, MAKELONG(TBSTATE_ENABLED, 0));
    SendMessage(bar, TB_AUTOSIZE, 0, 0);
    GetWindowRect(bar, &wr);
    EXPECT_EQ(wr.bottom - wr.top, kCy + 2 * kTop);
}

} // namespace
