#include "tests/ui/UiTestSupport.h"

#include "platform/services/SingleInstance.h"
#include "platform/ui/InstanceChannel.h"
#include "platform/ui/internal/Driver.h"
#include "tests/services/ChildProcess.h"
#include "tests/ui/ChildLoop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <unistd.h>

using namespace uitest;
using platform::SingleInstance;

namespace {

class InstanceChannelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        Rec() = Recorder();
        Rec().ignored = {WM_NCHITTEST, WM_SETCURSOR, WM_GETMINMAXINFO};
        static int counter = 0;
        name = "KQ Threadwick; ui channel " + std::to_string(getpid()) + " " + std::to_string(++counter);
        ASSERT_EQ(first.Open(name), SingleInstance::Role::First) << first.ErrorText();
    }
    void TearDown() override
    {
        // Handlers refer to the test body's locals, which are gone by now.
        Rec().handlers.clear();
        platform::DisconnectInstanceChannel();
        platform::SetInstanceMainWindow(NULL);
        platform::headless::SetIdleHandler(nullptr);
        first.Close();
        platform::headless::Reset();
    }

    // The first copy's message loop, run until the second copy (a forked
    // child) has ended; its exit code.
    int RunLoopUntilChildEnds(pid_t child) { return uitest::RunMessageLoopUntilChildEnds(child, 5); }

    std::string name;
    SingleInstance first;
};

TEST_F(InstanceChannelTest, AnotherCopysMessageIsSentToTheMainWindowAndItsResultGoesBack)
{
    UINT tovell = RegisterWindowMessage("tovell");
    UINT probe = RegisterWindowMessage("instance channel probe before");
    HWND main = MakeTopLevel();
    struct Got {
        WPARAM wParam = 0;
        LPARAM lParam = 0;
        BOOL inSend = FALSE;
        int count = 0;
    } got;
    Rec().handlers[main] = [&](HWND, UINT m, WPARAM wp, LPARAM lp, LRESULT& r) {
        if (m != tovell)
            return false;
        got.wParam = wp;
        got.lParam = lp;
        got.inSend = InSendMessage();
        ++got.count;
        r = 0x5EED;
        return true;
    };
    platform::SetInstanceMainWindow(main);
    ASSERT_TRUE(platform::ConnectInstanceChannel(first));

    std::string channelName = name;
    pid_t child = services_test::StartChild([channelName] {
        SingleInstance second;
        if (second.Open(channelName) != SingleInstance::Role::Second)
            return 10;
        LRESULT result = 0;
        bool handled = false;
        // The name goes by name, so its case need not match.
        if (!second.SendRegisteredMessage("TOVELL", 42, -7, &result, &handled) || !handled || result != 0x5EED)
            return 11;
        // A name this copy never registered reaches no window.
        if (!second.SendRegisteredMessage("nobody registered this", 1, 2, &result, &handled) || result != 0)
            return 12;
        return 0;
    });
    ASSERT_GT(child, 0);
    EXPECT_EQ(RunLoopUntilChildEnds(child), 0);
    EXPECT_EQ(got.count, 1);
    EXPECT_EQ(got.wParam, WPARAM(42));
    EXPECT_EQ(got.lParam, LPARAM(-7));
    EXPECT_TRUE(got.inSend);
    EXPECT_EQ(RegisterWindowMessage("instance channel probe after"), probe + 1)
        << "a name from outside must not have been registered";
}

TEST_F(InstanceChannelTest, ActivateRequestRestoresAndActivatesTheMainWindow)
{
    HWND main = MakeTopLevel();
    HWND other = MakeTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{500, 100, 700, 300});
    ShowWindow(main, SW_SHOWMINIMIZED);
    SetActiveWindow(other);
    ASSERT_TRUE(IsIconic(main));
    ASSERT_EQ(GetActiveWindow(), other);
    platform::SetInstanceMainWindow(main);
    ASSERT_TRUE(platform::ConnectInstanceChannel(first));

    std::string channelName = name;
    pid_t child = services_test::StartChild([channelName] {
        SingleInstance second;
        if (second.Open(channelName) != SingleInstance::Role::Second)
            return 10;
        return second.RequestActivate() ? 0 : 11;
    });
    ASSERT_GT(child, 0);
    EXPECT_EQ(RunLoopUntilChildEnds(child), 0);
    EXPECT_FALSE(IsIconic(main));
    EXPECT_EQ(GetActiveWindow(), main);
}

TEST_F(InstanceChannelTest, OnlyTheFirstCopyConnectsAndAClosedChannelIsNoLongerWatched)
{
    SingleInstance second;
    ASSERT_EQ(second.Open(name), SingleInstance::Role::Second);
    EXPECT_FALSE(platform::ConnectInstanceChannel(second));
    second.Close();

    ASSERT_TRUE(platform::ConnectInstanceChannel(first));
    ASSERT_EQ(platform::WatchedDescriptors().size(), 1u);
    first.Close();
    // The loop notices on its next wait and does not spin on a dead
    // descriptor: with nothing left to wait for, it ends.
    MSG msg;
    EXPECT_EQ(GetMessage(&msg, NULL, 0, 0), 0);
    EXPECT_TRUE(platform::WatchedDescriptors().empty());
}

} // namespace
