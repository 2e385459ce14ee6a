#include "tests/ui/UiTestSupport.h"

#include "platform/base/Clock.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace uitest;
using ::testing::ElementsAre;

namespace {

class MessageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        Rec() = Recorder();
        platform::SetClockSource(&clock);
        clock.SetTicks(1000);
    }
    void TearDown() override
    {
        platform::headless::Reset();
        platform::ResetClock();
    }
    platform::FakeClock clock;
};

TEST_F(MessageTest, SendIsImmediateAndPostWaitsForTheLoopInOrder)
{
    HWND top = MakeTopLevel(WS_POPUP);
    Rec().Clear();
    PostMessage(top, WM_USER + 1, 1, 0);
    PostMessage(top, WM_USER + 2, 2, 0);
    Rec().handlers[top] = [](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) {
        if (m == WM_USER + 3) {
            r = 99;
            return true;
        }
        return false;
    };
    EXPECT_EQ(SendMessage(top, WM_USER + 3, 3, 0), 99);
    EXPECT_THAT(Rec().MessagesOf(top), ElementsAre(WM_USER + 3));
    Pump();
    EXPECT_THAT(Rec().MessagesOf(top), ElementsAre(WM_USER + 3, WM_USER + 1, WM_USER + 2));
    EXPECT_FALSE(InSendMessage());
}

TEST_F(MessageTest, QuitEndsGetMessageAfterPostedMessages)
{
    HWND top = MakeTopLevel(WS_POPUP);
    PostQuitMessage(3);
    PostMessage(top, WM_USER, 0, 0);
    PostThreadMessage(GetCurrentThreadId(), WM_USER + 5, 0, 0);
    MSG msg;
    ASSERT_TRUE(GetMessage(&msg, NULL, 0, 0));
    EXPECT_EQ(msg.message, (UINT)WM_USER);
    ASSERT_TRUE(GetMessage(&msg, NULL, 0, 0));
    EXPECT_EQ(msg.message, (UINT)WM_USER + 5);
    EXPECT_EQ(msg.hwnd, (HWND)NULL);
    EXPECT_FALSE(GetMessage(&msg, NULL, 0, 0));
    EXPECT_EQ(msg.message, (UINT)WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(MessageTest, PeekWithAndWithoutRemovalAndFilters)
{
    HWND a = MakeTopLevel(WS_POPUP);
    HWND b = MakeTopLevel(WS_POPUP);
    PostMessage(a, WM_USER + 1, 0, 0);
    PostMessage(b, WM_USER + 2, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, NULL, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_USER + 1);
    ASSERT_TRUE(PeekMessage(&msg, NULL, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_USER + 1);
    // A window filter reaches past other windows' messages.
    ASSERT_TRUE(PeekMessage(&msg, b, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_USER + 2);
    EXPECT_FALSE(PeekMessage(&msg, NULL, WM_USER + 2, WM_USER + 9, PM_REMOVE));
    ASSERT_TRUE(PeekMessage(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, a);
    EXPECT_FALSE(PeekMessage(&msg, NULL, 0, 0, PM_REMOVE));
    // A bad window filter fails.
    EXPECT_FALSE(PeekMessage(&msg, (HWND)0x5, 0, 0, PM_REMOVE));
    EXPECT_EQ(GetMessage(&msg, (HWND)0x5, 0, 0), -1);
}

TEST_F(MessageTest, RegisteredMessagesAreStableAndIgnoreCase)
{
    UINT tovell = RegisterWindowMessage("tovell");
    EXPECT_GE(tovell, 0xC000u);
    EXPECT_EQ(RegisterWindowMessage("TOVELL"), tovell);
    EXPECT_NE(RegisterWindowMessage("commdlg_help"), tovell);
    EXPECT_EQ(RegisterWindowMessage(""), 0u);
}

TEST_F(MessageTest, BroadcastReachesEveryTopLevelWindow)
{
    HWND a = MakeTopLevel(WS_POPUP);
    HWND b = MakeTopLevel(WS_POPUP);
    MakeChild(a, 1, RECT{0, 0, 5, 5});
    UINT wake = RegisterWindowMessage("tovell");
    Rec().Clear();
    SendMessage(HWND_BROADCAST, wake, 0, 0);
    EXPECT_THAT(Rec().Messages(), ElementsAre(wake, wake));
    EXPECT_EQ(Rec().log[0].hwnd, b);
    EXPECT_EQ(Rec().log[1].hwnd, a);
}

TEST_F(MessageTest, TimersFollowTheInjectedClock)
{
    HWND top = MakeTopLevel(WS_POPUP);
    EXPECT_EQ(SetTimer(top, 7, 100, NULL), 7u);
    MSG msg;
    EXPECT_FALSE(PeekMessage(&msg, NULL, 0, 0, PM_REMOVE));
    clock.Advance(99);
    EXPECT_FALSE(PeekMessage(&msg, NULL, 0, 0, PM_REMOVE));
    clock.Advance(1);
    ASSERT_TRUE(PeekMessage(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_TIMER);
    EXPECT_EQ(msg.wParam, 7u);
    // One WM_TIMER at a time, however late the program is.
    clock.Advance(1000);
    ASSERT_TRUE(PeekMessage(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_FALSE(PeekMessage(&msg, NULL, 0, 0, PM_REMOVE));

    // Posted messages come before timers.
    clock.Advance(100);
    PostMessage(top, WM_USER, 0, 0);
    ASSERT_TRUE(PeekMessage(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_USER);
    ASSERT_TRUE(PeekMessage(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_TIMER);

    EXPECT_TRUE(KillTimer(top, 7));
    EXPECT_FALSE(KillTimer(top, 7));
    clock.Advance(500);
    EXPECT_FALSE(PeekMessage(&msg, NULL, 0, 0, PM_REMOVE));
}

int g_callbacks = 0;
void CALLBACK CountTick(HWND, UINT msg, UINT_PTR, DWORD)
{
    if (msg == WM_TIMER)
        ++g_callbacks;
}

TEST_F(MessageTest, GetMessageWaitsForTimerCallbacksAndDestroyKillsTimers)
{
    g_callbacks = 0;
    UINT_PTR id = SetTimer(NULL, 0, 250, CountTick);
    ASSERT_NE(id, 0u);
    MSG msg;
    // Waiting sleeps on the fake clock, so the timer comes due at once.
    ASSERT_TRUE(GetMessage(&msg, NULL, 0, 0));
    EXPECT_EQ(msg.message, (UINT)WM_TIMER);
    DispatchMessage(&msg);
    EXPECT_EQ(g_callbacks, 1);
    EXPECT_GE(clock.SleptMilliseconds(), 250u);
    KillTimer(NULL, id);

    HWND top = MakeTopLevel(WS_POPUP);
    SetTimer(top, 1, 10, NULL);
    DestroyWindow(top);
    clock.Advance(100);
    EXPECT_FALSE(PeekMessage(&msg, NULL, 0, 0, PM_REMOVE));
}

TEST_F(MessageTest, StarvedLoopEndsInsteadOfHanging)
{
    MSG msg;
    EXPECT_FALSE(GetMessage(&msg, NULL, 0, 0));
    EXPECT_EQ(msg.message, (UINT)WM_QUIT);

    // An idle handler can feed the loop.
    HWND top = MakeTopLevel(WS_POPUP);
    int calls = 0;
    platform::headless::SetIdleHandler([&] {
        if (calls++ > 0)
            return false;
        PostMessage(top, WM_USER + 9, 0, 0);
        return true;
    });
    ASSERT_TRUE(GetMessage(&msg, NULL, 0, 0));
    EXPECT_EQ(msg.message, (UINT)WM_USER + 9);
    EXPECT_FALSE(GetMessage(&msg, NULL, 0, 0));
}

TEST_F(MessageTest, DefaultCloseDestroysAndCallWindowProcChains)
{
    HWND top = MakeTopLevel(WS_POPUP);
    static WNDPROC previous = nullptr;
    static int subclassed = 0;
    previous = (WNDPROC)SetWindowLongPtr(top, GWL_WNDPROC, LONG_PTR(+[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == WM_USER)
            ++subclassed;
        return CallWindowProc(previous, h, m, w, l);
    }));
    ASSERT_NE(previous, nullptr);
    Rec().Clear();
    SendMessage(top, WM_USER, 0, 0);
    EXPECT_EQ(subclassed, 1);
    EXPECT_THAT(Rec().MessagesOf(top), ElementsAre(WM_USER));
    PostMessage(top, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_FALSE(IsWindow(top));
}

} // namespace
