#include "tests/ui/UiTestSupport.h"

#include "platform/base/Clock.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/CommCtrl.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace uitest;

namespace {

class TooltipTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        platform::SetClockSource(&clock);
        Rec() = Recorder();
        InitCommonControls();
        owner = MakeTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{100, 100, 500, 400});
        tip = CreateWindowEx(0, TOOLTIPS_CLASS, NULL, WS_POPUP, 0, 0, 0, 0, owner, NULL, NULL, NULL);
        ASSERT_NE(tip, nullptr);
        Rec().handlers[owner] = [this](HWND, UINT m, WPARAM, LPARAM l, LRESULT&) {
            if (m != WM_NOTIFY)
                return false;
            auto* hdr = reinterpret_cast<NMHDR*>(l);
            codes.push_back(hdr->code);
            if (hdr->code == TTN_NEEDTEXT) {
                auto* info = reinterpret_cast<NMTTDISPINFOA*>(l);
                std::strcpy(info->szText, callbackText);
                askedId = hdr->idFrom;
            }
            return true;
        };
    }
    void TearDown() override
    {
        platform::headless::Reset();
        platform::ResetClock();
    }

    void AddTool(UINT_PTR id, RECT rect, LPSTR text)
    {
        TOOLINFOA ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = owner;
        ti.uId = id;
        ti.rect = rect;
        ti.lpszText = text;
        ASSERT_TRUE(SendMessage(tip, TTM_ADDTOOL, 0, (LPARAM)&ti));
    }

    void Relay(UINT message, int x, int y)
    {
        POINT screen{x, y};
        ClientToScreen(owner, &screen);
        platform::headless::SetCursorPosition(screen.x, screen.y);
        MSG m{};
        m.hwnd = owner;
        m.message = message;
        m.lParam = MAKELPARAM(x, y);
        SendMessage(tip, TTM_RELAYEVENT, 0, (LPARAM)&m);
    }

    void Wait(DWORD ms)
    {
        clock.Advance(ms);
        Pump();
    }

    bool Seen(UINT code) const { return std::find(codes.begin(), codes.end(), code) != codes.end(); }

    platform::FakeClock clock;
    HWND owner = NULL;
    HWND tip = NULL;
    std::vector<UINT> codes;
    const char* callbackText = "Open a file";
    UINT_PTR askedId = 0;
};

TEST_F(TooltipTest, ShowsAfterTheHoverDelayAsAnOwnedPopup)
{
    AddTool(7, RECT{10, 10, 40, 40}, LPSTR_TEXTCALLBACK);
    Relay(WM_MOUSEMOVE, 20, 20);
    Wait(400);
    EXPECT_FALSE(IsWindowVisible(tip));
    Wait(100);
    EXPECT_TRUE(IsWindowVisible(tip));
    EXPECT_EQ(askedId, 7u);
    EXPECT_TRUE(Seen(TTN_SHOW));
    EXPECT_EQ(GetWindow(tip, GW_OWNER), owner);
    // Below the cursor, sized to the text.
    RECT r{};
    GetWindowRect(tip, &r);
    POINT cursor = platform::headless::CursorPosition();
    EXPECT_GT(r.top, cursor.y);
    EXPECT_GT(r.right - r.left, 20);
}

TEST_F(TooltipTest, DisappearsOnClickLeavingOrAfterTheAutoPopDelay)
{
    AddTool(1, RECT{10, 10, 40, 40}, const_cast<LPSTR>("Save"));
    Relay(WM_MOUSEMOVE, 20, 20);
    Wait(500);
    ASSERT_TRUE(IsWindowVisible(tip));
    Relay(WM_LBUTTONDOWN, 20, 20);
    EXPECT_FALSE(IsWindowVisible(tip));
    EXPECT_TRUE(Seen(TTN_POP));

    // Leaving the tool before the delay cancels it.
    Relay(WM_MOUSEMOVE, 100, 100);
    Relay(WM_MOUSEMOVE, 21, 21);
    Wait(300);
    Relay(WM_MOUSEMOVE, 100, 100);
    Wait(1000);
    EXPECT_FALSE(IsWindowVisible(tip));

    Relay(WM_MOUSEMOVE, 20, 20);
    Wait(500);
    ASSERT_TRUE(IsWindowVisible(tip));
    Wait(5000);
    EXPECT_FALSE(IsWindowVisible(tip));
}

TEST_F(TooltipTest, InactiveTooltipShowsNothing)
{
    AddTool(1, RECT{10, 10, 40, 40}, const_cast<LPSTR>("Save"));
    SendMessage(tip, TTM_ACTIVATE, FALSE, 0);
    Relay(WM_MOUSEMOVE, 20, 20);
    Wait(2000);
    EXPECT_FALSE(IsWindowVisible(tip));
    SendMessage(tip, TTM_ACTIVATE, TRUE, 0);
    Relay(WM_MOUSEMOVE, 100, 100);
    Relay(WM_MOUSEMOVE, 20, 20);
    Wait(500);
    EXPECT_TRUE(IsWindowVisible(tip));
}

TEST_F(TooltipTest, ManagesToolsByWindowAndId)
{
    AddTool(1, RECT{0, 0, 10, 10}, const_cast<LPSTR>("One"));
    AddTool(2, RECT{10, 0, 20, 10}, LPSTR_TEXTCALLBACK);
    EXPECT_EQ(SendMessage(tip, TTM_GETTOOLCOUNT, 0, 0), 2);

    char buffer[80] = {};
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = owner;
    ti.uId = 1;
    ti.lpszText = buffer;
    ASSERT_TRUE(SendMessage(tip, TTM_GETTOOLINFO, 0, (LPARAM)&ti));
    EXPECT_STREQ(buffer, "One");
    EXPECT_EQ(ti.rect.right, 10);

    ti.lpszText = const_cast<LPSTR>("Uno");
    SendMessage(tip, TTM_UPDATETIPTEXT, 0, (LPARAM)&ti);
    ti.rect = RECT{50, 50, 60, 60};
    SendMessage(tip, TTM_NEWTOOLRECT, 0, (LPARAM)&ti);
    ti.lpszText = buffer;
    SendMessage(tip, TTM_GETTOOLINFO, 0, (LPARAM)&ti);
    EXPECT_STREQ(buffer, "Uno");
    EXPECT_EQ(ti.rect.left, 50);

    ti.uId = 2;
    ti.lpszText = nullptr;
    ASSERT_TRUE(SendMessage(tip, TTM_GETTOOLINFO, 0, (LPARAM)&ti));
    EXPECT_EQ(ti.lpszText, LPSTR_TEXTCALLBACK);
    SendMessage(tip, TTM_DELTOOL, 0, (LPARAM)&ti);
    EXPECT_EQ(SendMessage(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    EXPECT_FALSE(SendMessage(tip, TTM_GETTOOLINFO, 0, (LPARAM)&ti));
}

TEST_F(TooltipTest, WindowToolCoversTheWholeChild)
{
    HWND child = MakeChild(owner, 5, RECT{200, 200, 260, 230});
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND;
    ti.hwnd = owner;
    ti.uId = (UINT_PTR)child;
    ti.lpszText = const_cast<LPSTR>("Child");
    SendMessage(tip, TTM_ADDTOOL, 0, (LPARAM)&ti);
    MSG m{};
    m.hwnd = child;
    m.message = WM_MOUSEMOVE;
    m.lParam = MAKELPARAM(55, 25);
    SendMessage(tip, TTM_RELAYEVENT, 0, (LPARAM)&m);
    Wait(500);
    EXPECT_TRUE(IsWindowVisible(tip));
}

} // namespace
