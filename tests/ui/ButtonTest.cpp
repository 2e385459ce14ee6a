#include "platform/gdi/Gdi.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/DialogManager.h"
#include "tests/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class ButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        platform::InstallDialogClasses();
        uitest::Rec().log.clear();
        uitest::Rec().handlers.clear();
        parent = uitest::MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{100, 100, 400, 300});
        uitest::Rec().handlers[parent] = [this](HWND, UINT msg, WPARAM, LPARAM lParam, LRESULT& r) {
            if (msg == WM_DRAWITEM) {
                drawn.push_back(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
                r = TRUE;
                return true;
            }
            return false;
        };
    }

    HWND Make(DWORD style, int id = 10, RECT r = RECT{10, 10, 110, 40}, const char* text = "Press")
    {
        return CreateWindowEx(0, "Button", text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
            r.bottom - r.top, parent, reinterpret_cast<HMENU>(INT_PTR(id)), NULL, nullptr);
    }

    // The notification codes the parent received from control id.
    std::vector<int> Notifications(int id)
    {
        std::vector<int> codes;
        for (const uitest::Seen& s : uitest::Rec().log)
            if (s.hwnd == parent && s.message == WM_COMMAND && LOWORD(s.wParam) == id)
                codes.push_back(HIWORD(s.wParam));
        return codes;
    }

    POINT ScreenPoint(HWND hwnd, int x, int y)
    {
        POINT pt{x, y};
        ClientToScreen(hwnd, &pt);
        return pt;
    }

    void PumpTranslated()
    {
        MSG msg;
        for (int i = 0; i < 1000 && PeekMessage(&msg, NULL, 0, 0, PM_REMOVE); ++i) {
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    }

    HWND parent = NULL;
    std::vector<DRAWITEMSTRUCT> drawn;
};

TEST_F(ButtonTest, MouseClickNotifiesOnlyWhenReleasedInside)
{
    HWND b = Make(BS_PUSHBUTTON);
    POINT in = ScreenPoint(b, 5, 5);
    platform::headless::PressMouse(0, in.x, in.y);
    PumpTranslated();
    EXPECT_EQ(GetCapture(), b);
    EXPECT_EQ(GetFocus(), b);
    EXPECT_EQ(SendMessage(b, BM_GETSTATE, 0, 0), LRESULT(BST_PUSHED | BST_FOCUS));
    platform::headless::ReleaseMouse(0, in.x, in.y);
    PumpTranslated();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(SendMessage(b, BM_GETSTATE, 0, 0), LRESULT(BST_FOCUS));
    EXPECT_EQ(Notifications(10), (std::vector<int>{BN_CLICKED}));
    const uitest::Seen* command = nullptr;
    for (const uitest::Seen& s : uitest::Rec().log)
        if (s.message == WM_COMMAND)
            command = &s;
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(HWND(command->lParam), b);

    // Dragged off before release: the press is undone without a click.
    uitest::Rec().Clear();
    POINT out = ScreenPoint(b, 200, 5);
    platform::headless::PressMouse(0, in.x, in.y);
    PumpTranslated();
    platform::headless::MoveMouse(out.x, out.y);
    PumpTranslated();
    EXPECT_FALSE(SendMessage(b, BM_GETSTATE, 0, 0) & BST_PUSHED);
    platform::headless::ReleaseMouse(0, out.x, out.y);
    PumpTranslated();
    EXPECT_TRUE(Notifications(10).empty());
}

TEST_F(ButtonTest, SpaceClicksOnReleaseAndBmClickClicks)
{
    HWND b = Make(BS_PUSHBUTTON);
    SetFocus(b);
    platform::headless::KeyDown(VK_SPACE);
    PumpTranslated();
    EXPECT_TRUE(SendMessage(b, BM_GETSTATE, 0, 0) & BST_PUSHED);
    EXPECT_TRUE(Notifications(10).empty());
    platform::headless::KeyUp(VK_SPACE);
    PumpTranslated();
    EXPECT_EQ(Notifications(10), (std::vector<int>{BN_CLICKED}));
    SendMessage(b, BM_CLICK, 0, 0);
    EXPECT_EQ(Notifications(10).size(), 2u);
    // A disabled button does not take the press at all.
    EnableWindow(b, FALSE);
    POINT in = ScreenPoint(b, 5, 5);
    platform::headless::Click(in.x, in.y);
    PumpTranslated();
    EXPECT_EQ(Notifications(10).size(), 2u);
}

TEST_F(ButtonTest, CheckBoxesAndRadioButtonsKeepTheirCheck)
{
    HWND autoCheck = Make(BS_AUTOCHECKBOX, 1);
    HWND plainCheck = Make(BS_CHECKBOX, 2);
    HWND threeState = Make(BS_AUTO3STATE, 3);
    HWND push = Make(BS_PUSHBUTTON, 4);

    SendMessage(autoCheck, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessage(autoCheck, BM_GETCHECK, 0, 0), BST_CHECKED);
    SendMessage(autoCheck, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessage(autoCheck, BM_GETCHECK, 0, 0), BST_UNCHECKED);

    // A plain check box only tells; its owner checks it.
    SendMessage(plainCheck, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessage(plainCheck, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(Notifications(2), (std::vector<int>{BN_CLICKED}));
    SendMessage(plainCheck, BM_SETCHECK, BST_INDETERMINATE, 0); // two states only
    EXPECT_EQ(SendMessage(plainCheck, BM_GETCHECK, 0, 0), BST_CHECKED);

    for (LRESULT expected : {BST_CHECKED, BST_INDETERMINATE, BST_UNCHECKED}) {
        SendMessage(threeState, BM_CLICK, 0, 0);
        EXPECT_EQ(SendMessage(threeState, BM_GETCHECK, 0, 0), expected);
    }

    SendMessage(push, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessage(push, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    SendMessage(autoCheck, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessage(autoCheck, BM_GETSTATE, 0, 0) & (BST_CHECKED | BST_PUSHED), BST_CHECKED);
}

TEST_F(ButtonTest, AutoRadioButtonClearsTheOthersOfItsGroupOnly)
{
    HWND a = Make(BS_AUTORADIOBUTTON | WS_GROUP, 1, RECT{10, 10, 100, 25});
    HWND b = Make(BS_AUTORADIOBUTTON, 2, RECT{10, 30, 100, 45});
    HWND c = Make(BS_AUTORADIOBUTTON | WS_GROUP, 3, RECT{10, 50, 100, 65});
    SendMessage(c, BM_SETCHECK, BST_CHECKED, 0);
    SendMessage(a, BM_CLICK, 0, 0);
    SendMessage(b, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessage(a, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessage(b, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessage(c, BM_GETCHECK, 0, 0), BST_CHECKED);

    SendMessage(b, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(2, 2));
    EXPECT_EQ(Notifications(2), (std::vector<int>{BN_CLICKED, BN_DOUBLECLICKED}));
}

TEST_F(ButtonTest, DialogCodesFollowTheStyle)
{
    struct Case {
        DWORD style;
        LRESULT code;
    };
    const Case cases[] = {
        {BS_PUSHBUTTON, DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON},
        {BS_DEFPUSHBUTTON, DLGC_BUTTON | DLGC_DEFPUSHBUTTON},
        {BS_OWNERDRAW, DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON},
        {BS_AUTORADIOBUTTON, DLGC_BUTTON | DLGC_RADIOBUTTON},
        {BS_RADIOBUTTON, DLGC_BUTTON | DLGC_RADIOBUTTON},
        {BS_AUTOCHECKBOX, DLGC_BUTTON},
        {BS_GROUPBOX, DLGC_STATIC},
    };
    for (const Case& c : cases) {
        HWND b = Make(c.style);
        EXPECT_EQ(SendMessage(b, WM_GETDLGCODE, 0, 0), c.code) << c.style;
        DestroyWindow(b);
    }
    HWND b = Make(BS_PUSHBUTTON | BS_MULTILINE);
    SendMessage(b, BM_SETSTYLE, BS_DEFPUSHBUTTON | BS_MULTILINE, TRUE);
    EXPECT_EQ(SendMessage(b, WM_GETDLGCODE, 0, 0), LRESULT(DLGC_BUTTON | DLGC_DEFPUSHBUTTON));
    EXPECT_EQ(DWORD(GetWindowLong(b, GWL_STYLE)), DWORD(WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON | BS_MULTILINE));

    HWND group = Make(BS_GROUPBOX);
    EXPECT_EQ(SendMessage(group, WM_NCHITTEST, 0, 0), HTTRANSPARENT);
}

TEST_F(ButtonTest, OwnerDrawnButtonAsksItsParentToDraw)
{
    HWND b = Make(BS_OWNERDRAW, 42);
    UpdateWindow(b);
    ASSERT_FALSE(drawn.empty());
    DRAWITEMSTRUCT first = drawn.back();
    EXPECT_EQ(first.CtlType, UINT(ODT_BUTTON));
    EXPECT_EQ(first.CtlID, 42u);
    EXPECT_EQ(first.itemAction, UINT(ODA_DRAWENTIRE));
    EXPECT_EQ(first.itemState, 0u);
    EXPECT_EQ(first.hwndItem, b);
    EXPECT_NE(first.hDC, nullptr);
    EXPECT_EQ(first.rcItem.right, 100);
    EXPECT_EQ(first.rcItem.bottom, 30);

    drawn.clear();
    SetFocus(b);
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.back().itemAction, UINT(ODA_FOCUS));
    EXPECT_EQ(drawn.back().itemState, UINT(ODS_FOCUS));

    drawn.clear();
    SendMessage(b, BM_SETSTATE, TRUE, 0);
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.back().itemAction, UINT(ODA_SELECT));
    EXPECT_EQ(drawn.back().itemState, UINT(ODS_SELECTED | ODS_FOCUS));

    SendMessage(b, BM_SETSTATE, FALSE, 0);
    SetFocus(parent);
    EnableWindow(b, FALSE);
    drawn.clear();
    UpdateWindow(b);
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.back().itemState, UINT(ODS_DISABLED));
}

TEST_F(ButtonTest, PaintsClassicFacesWithTheParentsColours)
{
    HWND plain = Make(BS_PUSHBUTTON, 1, RECT{10, 10, 90, 35});
    HWND def = Make(BS_DEFPUSHBUTTON, 2, RECT{100, 10, 180, 35});
    HWND check = Make(BS_AUTOCHECKBOX, 3, RECT{10, 50, 120, 70}, "");
    SendMessage(check, BM_SETCHECK, BST_CHECKED, 0);
    uitest::Rec().Clear();
    uitest::Pump();

    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(platform::headless::WindowPixel(plain, 1, 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(platform::headless::WindowPixel(plain, 40, 3), face);
    EXPECT_EQ(platform::headless::WindowPixel(plain, 79, 24), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(platform::headless::WindowPixel(def, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(platform::headless::WindowPixel(def, 40, 0), RGB(0, 0, 0));

    // The check box: a white box with a dark tick inside.
    int dark = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 13; ++x)
            if (platform::headless::WindowPixel(check, x, y) == GetSysColor(COLOR_WINDOWTEXT))
                ++dark;
    EXPECT_GE(dark, 15);

    bool askedBtn = false, askedStatic = false;
    for (const uitest::Seen& s : uitest::Rec().log) {
        askedBtn |= s.hwnd == parent && s.message == WM_CTLCOLORBTN && HWND(s.lParam) == plain;
        askedStatic |= s.hwnd == parent && s.message == WM_CTLCOLORSTATIC && HWND(s.lParam) == check;
    }
    EXPECT_TRUE(askedBtn);
    EXPECT_TRUE(askedStatic);
}

} // namespace
