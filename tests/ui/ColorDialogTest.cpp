#include "platform/base/GdiRecords.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/CommDlgMisc.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/DialogManager.h"
#include "tests/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

HWND g_dialog = NULL;
LPARAM g_initParam = 0;

UINT_PTR CALLBACK RecordingHook(HWND hDlg, UINT msg, WPARAM, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        g_dialog = hDlg;
        g_initParam = lParam;
        return TRUE;
    }
    return 0;
}

class ColorDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        platform::InstallDialogClasses();
        g_dialog = NULL;
        g_initParam = 0;
        owner = uitest::MakeTopLevel();
        for (int i = 0; i < 16; ++i)
            custom[i] = RGB(i, i, i);
        cc.lStructSize = sizeof cc;
        cc.hwndOwner = owner;
        cc.lpCustColors = custom;
        cc.lpfnHook = RecordingHook;
    }
    void TearDown() override { platform::headless::SetIdleHandler(nullptr); }

    // Runs `steps` once inside the dialog's loop.
    void WhileOpen(std::function<void(HWND)> steps)
    {
        platform::headless::SetIdleHandler([this, steps, done = false]() mutable {
            if (done || !g_dialog || !IsWindow(g_dialog))
                return false;
            done = true;
            steps(g_dialog);
            return true;
        });
    }

    static void Press(HWND dlg, int id) { SendMessage(GetDlgItem(dlg, id), BM_CLICK, 0, 0); }

    HWND owner = NULL;
    COLORREF custom[16];
    CHOOSECOLOR cc{};
};

TEST_F(ColorDialogTest, MixedColourIsAddedToCustomColoursAndAPickedBasicColourReturned)
{
    cc.Flags = CC_FULLOPEN | CC_RGBINIT | CC_ENABLEHOOK;
    cc.rgbResult = RGB(1, 2, 3);
    UINT red = 0, green = 0, blue = 0;
    bool panelShown = false;
    WhileOpen([&](HWND dlg) {
        red = GetDlgItemInt(dlg, COLOR_RED, nullptr, FALSE);
        green = GetDlgItemInt(dlg, COLOR_GREEN, nullptr, FALSE);
        blue = GetDlgItemInt(dlg, COLOR_BLUE, nullptr, FALSE);
        panelShown = IsWindowVisible(GetDlgItem(dlg, COLOR_ADD));
        SetDlgItemInt(dlg, COLOR_RED, 10, FALSE);
        SetDlgItemInt(dlg, COLOR_GREEN, 20, FALSE);
        SetDlgItemInt(dlg, COLOR_BLUE, 300, FALSE); // more than a channel holds
        Press(dlg, COLOR_ADD);
        Press(dlg, COLOR_ADD); // the next custom box
        Press(dlg, COLOR_CUSTOM_FIRST + 5);
        SetDlgItemInt(dlg, COLOR_GREEN, 99, FALSE);
        Press(dlg, COLOR_ADD); // into the box picked
        Press(dlg, COLOR_BASIC_FIRST + 8);
        Press(dlg, IDOK);
    });
    ASSERT_TRUE(ChooseColor(&cc));
    EXPECT_EQ(g_initParam, LPARAM(&cc));
    EXPECT_EQ(red, 1u);
    EXPECT_EQ(green, 2u);
    EXPECT_EQ(blue, 3u);
    EXPECT_TRUE(panelShown);
    EXPECT_EQ(cc.rgbResult, RGB(255, 0, 0));
    EXPECT_EQ(custom[0], RGB(10, 20, 255));
    EXPECT_EQ(custom[1], RGB(10, 20, 255));
    EXPECT_EQ(custom[5], RGB(5, 99, 5));
    for (int i : {2, 3, 4, 6, 15})
        EXPECT_EQ(custom[i], RGB(i, i, i)) << i;
    EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST_F(ColorDialogTest, CancelChangesNothing)
{
    cc.Flags = CC_RGBINIT | CC_ENABLEHOOK | CC_FULLOPEN;
    cc.rgbResult = RGB(7, 8, 9);
    WhileOpen([](HWND dlg) {
        Press(dlg, COLOR_BASIC_FIRST);
        Press(dlg, COLOR_ADD);
        Press(dlg, IDCANCEL);
    });
    EXPECT_FALSE(ChooseColor(&cc));
    EXPECT_EQ(cc.rgbResult, RGB(7, 8, 9));
    EXPECT_EQ(custom[0], RGB(0, 0, 0));
}

TEST_F(ColorDialogTest, MixingPanelOpensOnRequestUnlessPrevented)
{
    cc.Flags = CC_ENABLEHOOK;
    bool before = true, after = false;
    WhileOpen([&](HWND dlg) {
        before = IsWindowVisible(GetDlgItem(dlg, COLOR_RED));
        Press(dlg, COLOR_MIX);
        after = IsWindowVisible(GetDlgItem(dlg, COLOR_RED));
        Press(dlg, IDOK);
    });
    ASSERT_TRUE(ChooseColor(&cc));
    EXPECT_FALSE(before);
    EXPECT_TRUE(after);
    EXPECT_EQ(cc.rgbResult, RGB(0, 0, 0)); // no CC_RGBINIT: starts black

    cc.Flags = CC_ENABLEHOOK | CC_FULLOPEN | CC_PREVENTFULLOPEN;
    bool shown = true, mixEnabled = true;
    WhileOpen([&](HWND dlg) {
        shown = IsWindowVisible(GetDlgItem(dlg, COLOR_RED));
        mixEnabled = IsWindowEnabled(GetDlgItem(dlg, COLOR_MIX));
        Press(dlg, IDCANCEL);
    });
    EXPECT_FALSE(ChooseColor(&cc));
    EXPECT_FALSE(shown);
    EXPECT_FALSE(mixEnabled);
}

TEST_F(ColorDialogTest, SwatchesArePaintedInTheirColours)
{
    cc.Flags = CC_ENABLEHOOK | CC_FULLOPEN;
    custom[3] = RGB(0x12, 0x34, 0x56);
    COLORREF basic = CLR_INVALID, mine = CLR_INVALID;
    WhileOpen([&](HWND dlg) {
        UpdateWindow(dlg);
        auto centre = [&](int id) {
            RECT r;
            GetWindowRect(GetDlgItem(dlg, id), &r);
            POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
            ScreenToClient(dlg, &p);
            return platform::headless::WindowPixel(dlg, p.x, p.y);
        };
        basic = centre(COLOR_BASIC_FIRST + 8);
        mine = centre(COLOR_CUSTOM_FIRST + 3);
        Press(dlg, IDCANCEL);
    });
    ChooseColor(&cc);
    EXPECT_EQ(basic, RGB(255, 0, 0));
    EXPECT_EQ(mine, RGB(0x12, 0x34, 0x56));
}

TEST_F(ColorDialogTest, RefusesARecordOfTheWrongSizeOrWithoutCustomColours)
{
    cc.lStructSize = sizeof cc - 4;
    EXPECT_FALSE(ChooseColor(&cc));
    cc.lStructSize = sizeof cc;
    cc.lpCustColors = nullptr;
    EXPECT_FALSE(ChooseColor(&cc));
    EXPECT_EQ(g_dialog, nullptr);
}

} // namespace
