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

// Three 16x15 images: red, blue, and a black square on grey.
HBITMAP MakeStrip()
{
    std::vector<DWORD> bits(48 * 15);
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 48; ++x) {
            DWORD c = 0xC0C0C0;
            if (x < 16)
                c = 0xFF0000;
            else if (x < 32)
                c = 0x0000FF;
            else if (x >= 36 && x < 44 && y >= 4 && y < 12)
                c = 0x000000;
            bits[static_cast<size_t>(y * 48 + x)] = c;
        }
    return CreateBitmap(48, 15, 1, 32, bits.data());
}

TBBUTTON Btn(int image, int id, BYTE style = TBSTYLE_BUTTON, BYTE state = TBSTATE_ENABLED)
{
    TBBUTTON b{};
    b.iBitmap = image;
    b.idCommand = id;
    b.fsState = state;
    b.fsStyle = style;
    return b;
}

class ToolbarTest : public ToolbarParentTest {
protected:
    void SetUp() override
    {
        ToolbarParentTest::SetUp();
        bar = CreateWindowEx(0, TOOLBARCLASSNAME, NULL, WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS, 0, 0,
                             0, 0, parent, (HMENU)(INT_PTR)0xE800, NULL, NULL);
        ASSERT_NE(bar, nullptr);
        strip = MakeStrip();
        TBADDBITMAP add{NULL, (UINT_PTR)strip};
        ASSERT_EQ(SendMessage(bar, TB_ADDBITMAP, 3, (LPARAM)&add), 0);
        TBBUTTON buttons[] = {
            Btn(0, 100), Btn(0, 0, TBSTYLE_SEP, 0), Btn(1, 101, TBSTYLE_CHECK), Btn(2, 102, TBSTYLE_BUTTON, 0),
            Btn(0, 103, TBSTYLE_CHECKGROUP), Btn(1, 104, TBSTYLE_CHECKGROUP),
        };
        ASSERT_TRUE(SendMessage(bar, TB_ADDBUTTONS, 6, (LPARAM)buttons));
        Pump();
    }

    POINT ScreenCentre(int index)
    {
        RECT r = ItemRect(index);
        POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(bar, &p);
        return p;
    }

    void ClickButton(int index)
    {
        POINT p = ScreenCentre(index);
        platform::headless::Click(p.x, p.y);
        Pump();
    }
};

TEST_F(ToolbarTest, LaysOutButtonsAndSeparatorsAcrossTheParentsTop)
{
    EXPECT_EQ(SendMessage(bar, TB_BUTTONCOUNT, 0, 0), 6);
    EXPECT_EQ(SendMessage(bar, TB_COMMANDTOINDEX, 101, 0), 2);
    EXPECT_EQ(SendMessage(bar, TB_COMMANDTOINDEX, 999, 0), -1);
    RECT b0 = ItemRect(0), sep = ItemRect(1), b2 = ItemRect(2);
    EXPECT_EQ(b0.left, 0);
    EXPECT_EQ(b0.right - b0.left, 23);
    EXPECT_EQ(b0.bottom - b0.top, 22);
    EXPECT_EQ(sep.left, b0.right);
    EXPECT_EQ(b2.left, sep.right);

    RECT wr{}, client{};
    GetWindowRect(bar, &wr);
    GetClientRect(parent, &client);
    EXPECT_EQ(wr.right - wr.left, client.right);
    EXPECT_GE(wr.bottom - wr.top, 22);
}

TEST_F(ToolbarTest, SeparatorWidthMakesRoomForAHostedWindow)
{
    TBBUTTONINFOA info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_SIZE | TBIF_BYINDEX;
    info.cx = 120;
    ASSERT_TRUE(SendMessage(bar, TB_SETBUTTONINFO, 1, (LPARAM)&info));
    RECT sep = ItemRect(1);
    EXPECT_EQ(sep.right - sep.left, 120);
    EXPECT_EQ(ItemRect(2).left, sep.right);
    TBBUTTON out{};
    SendMessage(bar, TB_GETBUTTON, 1, (LPARAM)&out);
    EXPECT_EQ(out.iBitmap, 120);

    // A child placed over the separator takes the clicks there.
    HWND hosted = MakeChild(bar, 173, sep);
    POINT p{(sep.left + sep.right) / 2, (sep.top + sep.bottom) / 2};
    ClientToScreen(bar, &p);
    Rec().Clear();
    platform::headless::Click(p.x, p.y);
    Pump();
    EXPECT_FALSE(Rec().MessagesOf(hosted).empty());
    EXPECT_TRUE(commands.empty());
}

TEST_F(ToolbarTest, ClickSendsTheCommandAndChecksCheckButtons)
{
    ClickButton(0);
    ClickButton(3); // disabled
    ClickButton(2);
    EXPECT_EQ(commands, (std::vector<int>{100, 101}));
    EXPECT_TRUE(SendMessage(bar, TB_ISBUTTONCHECKED, 101, 0));
    ClickButton(2);
    EXPECT_FALSE(SendMessage(bar, TB_ISBUTTONCHECKED, 101, 0));

    ClickButton(4);
    ClickButton(5);
    EXPECT_FALSE(SendMessage(bar, TB_ISBUTTONCHECKED, 103, 0));
    EXPECT_TRUE(SendMessage(bar, TB_ISBUTTONCHECKED, 104, 0));
    ClickButton(5); // a checked group member stays checked
    EXPECT_TRUE(SendMessage(bar, TB_ISBUTTONCHECKED, 104, 0));
}

TEST_F(ToolbarTest, ReleasingOutsideTheButtonCancelsTheClick)
{
    POINT p = ScreenCentre(0);
    platform::headless::PressMouse(0, p.x, p.y);
    Pump();
    EXPECT_TRUE(SendMessage(bar, TB_ISBUTTONPRESSED, 100, 0));
    platform::headless::MoveMouse(p.x, p.y + 100);
    platform::headless::ReleaseMouse(0, p.x, p.y + 100);
    Pump();
    EXPECT_TRUE(commands.empty());
    EXPECT_FALSE(SendMessage(bar, TB_ISBUTTONPRESSED, 100, 0));
}

TEST_F(ToolbarTest, StateMessagesChangeAndReportButtonStates)
{
    EXPECT_TRUE(SendMessage(bar, TB_ENABLEBUTTON, 102, MAKELONG(TRUE, 0)));
    EXPECT_TRUE(SendMessage(bar, TB_ISBUTTONENABLED, 102, 0));
    SendMessage(bar, TB_SETSTATE, 100, MAKELONG(TBSTATE_CHECKED, 0));
    EXPECT_EQ(SendMessage(bar, TB_GETSTATE, 100, 0), TBSTATE_CHECKED);
    EXPECT_EQ(SendMessage(bar, TB_GETSTATE, 555, 0), -1);
    EXPECT_FALSE(SendMessage(bar, TB_CHECKBUTTON, 555, MAKELONG(TRUE, 0)));

    RECT before = ItemRect(2);
    SendMessage(bar, TB_HIDEBUTTON, 100, MAKELONG(TRUE, 0));
    EXPECT_EQ(ItemRect(2).left, before.left - 23);

    SendMessage(bar, TB_DELETEBUTTON, 0, 0);
    EXPECT_EQ(SendMessage(bar, TB_BUTTONCOUNT, 0, 0), 5);
    TBBUTTON b = Btn(1, 200);
    SendMessage(bar, TB_INSERTBUTTON, 0, (LPARAM)&b);
    EXPECT_EQ(SendMessage(bar, TB_COMMANDTOINDEX, 200, 0), 0);
    EXPECT_FALSE(SendMessage(bar, TB_DELETEBUTTON, 99, 0));
}

TEST_F(ToolbarTest, DrawsImagesAndEmbossesDisabledButtons)
{
    UpdateWindow(parent);
    Pump();
    RECT b0 = ItemRect(0);
    EXPECT_EQ(WindowPixel(bar, (b0.left + b0.right) / 2, (b0.top + b0.bottom) / 2), kRed);
    RECT b2 = ItemRect(2);
    EXPECT_EQ(WindowPixel(bar, (b2.left + b2.right) / 2, (b2.top + b2.bottom) / 2), kBlue);
    // The disabled button's black square comes out in the shadow colour,
    // and its grey background shows the face.
    RECT b3 = ItemRect(3);
    int x = b3.left + (23 - 16) / 2, y = b3.top + (22 - 15) / 2;
    EXPECT_EQ(WindowPixel(bar, x + 6, y + 6), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(WindowPixel(bar, x + 1, y + 1), GetSysColor(COLOR_BTNFACE));
}

TEST_F(ToolbarTest, FlatButtonsTrackTheMouseAndAskTheOwnerForTips)
{
    POINT p = ScreenCentre(2);
    platform::headless::MoveMouse(p.x, p.y);
    Pump();
    EXPECT_EQ(SendMessage(bar, TB_GETHOTITEM, 0, 0), 2);
    EXPECT_NE(std::find(notes.begin(), notes.end(), TBN_HOTITEMCHANGE), notes.end());
    // A flat hot button is raised: its top-left edge is the highlight.
    UpdateWindow(parent);
    Pump();
    RECT r = ItemRect(2);
    EXPECT_EQ(WindowPixel(bar, r.left, r.top + 5), GetSysColor(COLOR_BTNHIGHLIGHT));

    clock.Advance(600);
    Pump();
    EXPECT_EQ(tipAskedFor, 101u);
    HWND tip = (HWND)SendMessage(bar, TB_GETTOOLTIPS, 0, 0);
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(IsWindowVisible(tip));

    // Disabled buttons are never hot.
    POINT q = ScreenCentre(3);
    platform::headless::MoveMouse(q.x, q.y);
    Pump();
    EXPECT_EQ(SendMessage(bar, TB_GETHOTITEM, 0, 0), -1);
}

} // namespace
