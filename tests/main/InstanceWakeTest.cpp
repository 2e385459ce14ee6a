// A running copy woken by a second start comes forward with the keyboard.

#include "tests/main/AppTestSupport.h"

#include "app/main/CommandLine.h"
#include "app/main/MainFrame.h"
#include "platform/services/SingleInstance.h"
#include "platform/ui/internal/InputEvents.h"
#include "tests/services/ChildProcess.h"
#include "tests/ui/ChildLoop.h"

using services_test::Signal;
using services_test::StartChild;

namespace {

namespace hl = platform::headless;

class InstanceWakeTest : public apptest::AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        CloseInstanceChannel();
    }
    void TearDown() override
    {
        hl::SetIdleHandler(nullptr);
        AppTest::TearDown();
        CloseInstanceChannel();
    }
};

TEST_F(InstanceWakeTest, WokenCopyComesForwardWithTheKeyboardInItsDialog)
{
    Signal ready;
    pid_t child = StartChild([&] {
        if (!ready.Wait())
            return 20;
        return IsAnotherInstanceRunning() ? 0 : 10;
    });
    ASSERT_GT(child, 0);
    ASSERT_TRUE(Start());
    apptest::TakePosted(MainWindow(), WM_COMMAND);

    // The launcher stands for any modal dialog: an owned captioned popup
    // with a field, its owner disabled.
    HWND dialog = CreateWindowEx(WS_EX_DLGMODALFRAME, "#32770", "Start a New Design",
        WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 300, 200, 300, 200, MainWindow(), NULL, NULL, nullptr);
    ASSERT_NE(dialog, HWND(NULL));
    HWND field = CreateWindowEx(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 10, 100, 20, dialog, NULL,
        NULL, nullptr);
    EnableWindow(MainWindow(), FALSE);
    SetFocus(field);
    ASSERT_EQ(GetForegroundWindow(), dialog);

    // The second copy's own first window takes the desktop's keyboard.
    platform::DeliverSurfaceFocus(dialog, false);
    ASSERT_EQ(GetForegroundWindow(), HWND(NULL));

    ready.Raise();
    EXPECT_EQ(uitest::RunMessageLoopUntilChildEnds(child, 10), 0);

    EXPECT_EQ(GetForegroundWindow(), dialog);
    EXPECT_EQ(GetActiveWindow(), dialog);
    EXPECT_EQ(GetFocus(), field);
    EXPECT_EQ(hl::FrontSurface(), dialog) << "the desktop's keyboard comes back to the dialog";
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_FALSE(IsIconic(MainWindow()));
    EXPECT_FALSE(IsWindowEnabled(MainWindow())) << "the dialog still runs";
    DestroyWindow(dialog);
    EnableWindow(MainWindow(), TRUE);
}

} // namespace
