#include "platform/gdi/Gdi.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/DialogManager.h"
#include "tests/ui/UiTestSupport.h"

#include <gtest/gtest.h>

namespace {

class StaticTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        platform::InstallDialogClasses();
        uitest::Rec().log.clear();
        uitest::Rec().handlers.clear();
        parent = uitest::MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{100, 100, 400, 300});
    }
    void TearDown() override
    {
        if (brush)
            DeleteObject(brush);
    }

    HWND Make(DWORD style, const char* text = "", int id = 20)
    {
        return CreateWindowEx(0, "Static", text, WS_CHILD | WS_VISIBLE | style, 10, 10, 100, 30, parent,
            reinterpret_cast<HMENU>(INT_PTR(id)), NULL, nullptr);
    }

    HWND parent = NULL;
    HBRUSH brush = NULL;
};

TEST_F(StaticTest, TextStaticFillsWithTheBrushItsParentGives)
{
    brush = CreateSolidBrush(RGB(255, 0, 0));
    uitest::Rec().handlers[parent] = [this](HWND, UINT msg, WPARAM, LPARAM, LRESULT& r) {
        if (msg != WM_CTLCOLORSTATIC)
            return false;
        r = LRESULT(brush);
        return true;
    };
    HWND s = Make(SS_CENTER, "Label");
    uitest::Pump();
    EXPECT_EQ(platform::headless::WindowPixel(s, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(platform::headless::WindowPixel(s, 99, 29), RGB(255, 0, 0));
    // The text is drawn somewhere near the middle of the top line.
    bool text = false;
    for (int y = 0; y < 15 && !text; ++y)
        for (int x = 30; x < 70 && !text; ++x)
            text = platform::headless::WindowPixel(s, x, y) == GetSysColor(COLOR_WINDOWTEXT);
    EXPECT_TRUE(text);
}

TEST_F(StaticTest, FramesDrawOnlyTheirBorder)
{
    HWND black = Make(SS_BLACKFRAME);
    uitest::Pump();
    EXPECT_EQ(platform::headless::WindowPixel(black, 0, 0), GetSysColor(COLOR_WINDOWFRAME));
    EXPECT_EQ(platform::headless::WindowPixel(black, 99, 29), GetSysColor(COLOR_WINDOWFRAME));
    EXPECT_EQ(platform::headless::WindowPixel(black, 50, 15), GetSysColor(COLOR_WINDOW));
    DestroyWindow(black);

    HWND etched = Make(SS_ETCHEDFRAME);
    uitest::Pump();
    EXPECT_EQ(platform::headless::WindowPixel(etched, 0, 0), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(platform::headless::WindowPixel(etched, 1, 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(platform::headless::WindowPixel(etched, 50, 15), GetSysColor(COLOR_WINDOW));
}

TEST_F(StaticTest, MouseGoesThroughUnlessItAsksForNotifications)
{
    HWND quiet = Make(SS_LEFT, "Quiet");
    EXPECT_EQ(SendMessage(quiet, WM_NCHITTEST, 0, 0), HTTRANSPARENT);
    EXPECT_EQ(SendMessage(quiet, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
    DestroyWindow(quiet);

    HWND notify = Make(SS_LEFT | SS_NOTIFY, "Notify", 21);
    EXPECT_EQ(SendMessage(notify, WM_NCHITTEST, 0, 0), HTCLIENT);
    POINT pt{5, 5};
    ClientToScreen(notify, &pt);
    platform::headless::Click(pt.x, pt.y);
    uitest::Pump();
    bool clicked = false;
    for (const uitest::Seen& s : uitest::Rec().log)
        clicked |= s.hwnd == parent && s.message == WM_COMMAND && s.wParam == MAKEWPARAM(21, STN_CLICKED);
    EXPECT_TRUE(clicked);
}

TEST_F(StaticTest, OwnerDrawnStaticAndIconHandle)
{
    DRAWITEMSTRUCT seen{};
    uitest::Rec().handlers[parent] = [&seen](HWND, UINT msg, WPARAM, LPARAM lParam, LRESULT& r) {
        if (msg != WM_DRAWITEM)
            return false;
        seen = *reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        r = TRUE;
        return true;
    };
    HWND s = Make(SS_OWNERDRAW, "", 22);
    uitest::Pump();
    EXPECT_EQ(seen.CtlType, UINT(ODT_STATIC));
    EXPECT_EQ(seen.CtlID, 22u);
    EXPECT_EQ(seen.hwndItem, s);
    EXPECT_EQ(seen.rcItem.right, 100);

    HWND icon = Make(SS_ICON, "", 23);
    HICON fake = reinterpret_cast<HICON>(INT_PTR(0x1234));
    EXPECT_EQ(SendMessage(icon, STM_SETICON, WPARAM(fake), 0), 0);
    EXPECT_EQ(SendMessage(icon, STM_GETICON, 0, 0), LRESULT(fake));
    SendMessage(icon, STM_SETICON, 0, 0);
}

} // namespace
