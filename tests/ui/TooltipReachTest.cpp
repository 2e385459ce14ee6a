// When a tool tip must go although its owner relays nothing that says so:
// a window takes the mouse, another window comes over the tool, or the
// zoom list of a toolbar drops down over the tip and closes again. The bar
// relays every mouse message of itself and its children, as a control bar
// does, and its combo box is a window tool.

#include "tests/ui/UiTestSupport.h"

#include "platform/base/Clock.h"
#include "platform/ui/CommCtrl.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace uitest;

namespace {

namespace hl = platform::headless;

constexpr int kComboId = 40;

class TooltipReachTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        hl::Reset();
        platform::SetClockSource(&clock);
        clock.SetTicks(10000);
        Rec() = Recorder();
        InitCommonControls();
        bar = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{100, 100, 600, 400});
        combo = CreateWindowEx(0, "ComboBox", nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_HASSTRINGS | CBS_DROPDOWNLIST,
            200, 10, 135, 160, bar, HMENU(kComboId), NULL, nullptr);
        for (const char* zoom : {"500%", "200%", "100%", "75%", "50%"})
            SendMessage(combo, CB_ADDSTRING, 0, LPARAM(zoom));
        SendMessage(combo, CB_SETCURSEL, 2, 0);
        tip = CreateWindowEx(0, TOOLTIPS_CLASS, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, bar, NULL, NULL, nullptr);
        TOOLINFOA ti{};
        ti.cbSize = sizeof ti;
        ti.uFlags = TTF_IDISHWND;
        ti.hwnd = bar;
        ti.uId = UINT_PTR(combo);
        ti.lpszText = const_cast<LPSTR>("Zoom");
        SendMessage(tip, TTM_ADDTOOL, 0, LPARAM(&ti));
        ti.uFlags = 0;
        ti.uId = 1;
        ti.rect = RECT{10, 10, 40, 40};
        ti.lpszText = const_cast<LPSTR>("Open");
        SendMessage(tip, TTM_ADDTOOL, 0, LPARAM(&ti));
        SetActiveWindow(bar);
        Run();
    }
    void TearDown() override
    {
        hl::Reset();
        platform::ResetClock();
    }

    // The program's loop with the bar relaying its mouse messages.
    void Run()
    {
        MSG msg;
        for (int i = 0; i < 10000 && PeekMessage(&msg, NULL, 0, 0, PM_REMOVE); ++i) {
            bool mouse = msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST;
            if (mouse && (msg.hwnd == bar || IsChild(bar, msg.hwnd)))
                SendMessage(tip, TTM_RELAYEVENT, 0, LPARAM(&msg));
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    }

    void Wait(DWORD ms)
    {
        // Timers come due in steps, as they would while the user waits.
        for (DWORD done = 0; done < ms; done += 50) {
            clock.Advance(50);
            Run();
        }
    }

    POINT OnBar(int x, int y) const
    {
        POINT p{x, y};
        ClientToScreen(bar, &p);
        return p;
    }

    void MoveTo(POINT p)
    {
        hl::MoveMouse(p.x, p.y);
        Run();
    }

    // Hovers the tool at `p` until its tip shows.
    void ShowTipAt(POINT p)
    {
        MoveTo(p);
        Wait(600);
        ASSERT_TRUE(IsWindowVisible(tip));
    }

    platform::FakeClock clock;
    HWND bar = NULL;
    HWND combo = NULL;
    HWND tip = NULL;
};

TEST_F(TooltipReachTest, TipGoesWhenAWindowTakesTheMouseAndStaysAwayWhileItHoldsIt)
{
    ShowTipAt(OnBar(20, 20));
    HWND other = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{700, 500, 800, 600});
    SetCapture(other);
    Wait(150);
    EXPECT_FALSE(IsWindowVisible(tip));
    // Moves over the tool while the mouse is held do not bring it back.
    MoveTo(OnBar(22, 22));
    Wait(1000);
    EXPECT_FALSE(IsWindowVisible(tip));
    ReleaseCapture();
    MoveTo(OnBar(24, 24));
    Wait(600);
    EXPECT_TRUE(IsWindowVisible(tip)) << "hovering after the capture shows it again";
}

TEST_F(TooltipReachTest, TipGoesWhenItsToolIsCoveredWithoutThePointerMoving)
{
    POINT p = OnBar(20, 20);
    ShowTipAt(p);
    HWND cover = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{p.x - 10, p.y - 10, p.x + 50, p.y + 50});
    SetWindowPos(cover, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Wait(150);
    EXPECT_FALSE(IsWindowVisible(tip));
    Wait(2000);
    EXPECT_FALSE(IsWindowVisible(tip));
}

TEST_F(TooltipReachTest, ZoomListDroppingOverTheTipLeavesNoTipBehind)
{
    RECT field{};
    GetWindowRect(combo, &field);
    POINT onField{field.left + 20, (field.top + field.bottom) / 2};
    ShowTipAt(onField);

    // The click drops the list over where the tip was; the tip goes.
    hl::Click(onField.x, onField.y);
    Run();
    HWND list = VisibleComboList();
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(IsWindowVisible(tip));

    // Over the list the combo box hears every move (it holds the mouse), far
    // outside itself: no tip comes back for it.
    RECT lr{};
    GetWindowRect(list, &lr);
    POINT onList{lr.left + 10, lr.top + 30};
    MoveTo(onList);
    Wait(1000);
    EXPECT_FALSE(IsWindowVisible(tip));

    // Choosing closes the list; the pointer rests where the list was, over
    // no tool, and no tip shows there.
    hl::Click(onList.x, onList.y);
    Run();
    EXPECT_EQ(VisibleComboList(), nullptr);
    Wait(2000);
    EXPECT_FALSE(IsWindowVisible(tip));
}

TEST_F(TooltipReachTest, TextIsCopiedIntoTheCallersEightyCharacterBuffer)
{
    std::string longText(200, 'x');
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = bar;
    ti.uId = 1;
    ti.lpszText = longText.data();
    SendMessage(tip, TTM_UPDATETIPTEXT, 0, LPARAM(&ti));
    char buffer[96];
    std::memset(buffer, '#', sizeof buffer);
    ti.lpszText = buffer;
    SendMessage(tip, TTM_GETTEXT, 0, LPARAM(&ti));
    EXPECT_EQ(std::strlen(buffer), 79u);
    EXPECT_EQ(buffer[80], '#') << "nothing written past the 80 characters";
}

} // namespace
