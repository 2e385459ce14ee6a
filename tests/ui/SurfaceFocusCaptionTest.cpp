// The desktop's reports of who has the keyboard, in the orders the SDL back
// end can give them: a window that has the keyboard paints its caption
// active.

#include "tests/ui/InputTestFixture.h"

#include "platform/ui/internal/InputEvents.h"

using namespace uitest;

namespace {

namespace hl = platform::headless;

class SurfaceFocusCaptionTest : public InputTest {
protected:
    void SetUp() override
    {
        InputTest::SetUp();
        main = MakeTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{0, 0, 600, 400});
        dialog = CreateWindowEx(0, TestClass(), "Insert CD", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 100, 100,
            300, 150, main, NULL, NULL, NULL);
        EnableWindow(main, FALSE);
        Pump();
        ASSERT_EQ(GetActiveWindow(), dialog);
    }

    // A tip or list the dialog opens: it takes the desktop's keyboard as it
    // shows, as every shown window does without a window manager.
    HWND OpenPopup()
    {
        HWND popup = CreateWindowEx(WS_EX_TOPMOST, TestClass(), "", WS_POPUP | WS_BORDER, 150, 200, 80, 20, dialog,
            NULL, NULL, NULL);
        ShowWindow(popup, SW_SHOWNOACTIVATE);
        Pump();
        return popup;
    }

    COLORREF CaptionColour() const
    {
        Pump();
        return hl::WindowPixel(dialog, 150, 4 + GetSystemMetrics(SM_CYCAPTION) / 2, true);
    }

    HWND main = NULL;
    HWND dialog = NULL;
};

TEST_F(SurfaceFocusCaptionTest, DialogKeepsAnActiveCaptionWhenItsPopupTakesTheKeyboardLate)
{
    ASSERT_EQ(CaptionColour(), GetSysColor(COLOR_ACTIVECAPTION));
    HWND popup = OpenPopup();
    // The loss reaches the program in one batch of events, the popup's gain
    // in the next: for a moment nothing of ours seems to have the keyboard.
    platform::DeliverSurfaceFocus(dialog, false);
    EXPECT_EQ(GetForegroundWindow(), HWND(NULL));
    platform::DeliverSurfaceFocus(popup, true);

    EXPECT_EQ(GetForegroundWindow(), dialog);
    EXPECT_EQ(GetActiveWindow(), dialog);
    EXPECT_EQ(CaptionColour(), GetSysColor(COLOR_ACTIVECAPTION));
    EXPECT_NE(GetActiveWindow(), popup) << "a popup without a caption never becomes active";

    // The keyboard going on to another program still deactivates.
    platform::DeliverSurfaceFocus(popup, false);
    platform::DeliverSurfaceFocus(dialog, false);
    EXPECT_EQ(GetForegroundWindow(), HWND(NULL));
    EXPECT_EQ(CaptionColour(), GetSysColor(COLOR_INACTIVECAPTION));
}

TEST_F(SurfaceFocusCaptionTest, PopupOfADisabledOwnerHandsActivationToItsDialog)
{
    // A list opened by the main window before the dialog came: the main
    // window is disabled now, so the dialog is what comes back.
    HWND list = CreateWindowEx(WS_EX_TOPMOST, TestClass(), "", WS_POPUP | WS_BORDER, 20, 300, 80, 40, main, NULL,
        NULL, NULL);
    ShowWindow(list, SW_SHOWNOACTIVATE);
    platform::DeliverSurfaceFocus(dialog, false);
    platform::DeliverSurfaceFocus(list, true);
    EXPECT_EQ(GetActiveWindow(), dialog);
    EXPECT_EQ(CaptionColour(), GetSysColor(COLOR_ACTIVECAPTION));
}

} // namespace
