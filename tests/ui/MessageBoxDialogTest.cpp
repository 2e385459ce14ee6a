#include "platform/base/GdiRecords.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/CommDlgMisc.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/DialogManager.h"
#include "tests/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class MessageBoxDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        platform::InstallDialogClasses();
        uitest::Rec().log.clear();
        uitest::Rec().handlers.clear();
        owner = uitest::MakeTopLevel();
    }
    void TearDown() override { platform::headless::SetIdleHandler(nullptr); }

    // The box's buttons from left to right: id and text.
    std::vector<std::pair<int, std::string>> Buttons(HWND box)
    {
        std::vector<std::pair<int, std::string>> found;
        for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            char cls[32] = {};
            GetClassName(c, cls, sizeof cls);
            if (std::string(cls) != "Button")
                continue;
            char text[32] = {};
            GetWindowText(c, text, sizeof text);
            found.emplace_back(GetDlgCtrlID(c), text);
        }
        return found;
    }

    void Pump(HWND box)
    {
        MSG msg;
        for (int i = 0; i < 1000 && PeekMessage(&msg, NULL, 0, 0, PM_REMOVE); ++i) {
            if (!IsWindow(box) || !IsDialogMessage(box, &msg)) {
                TranslateMessage(&msg);
                DispatchMessage(&msg);
            }
        }
    }

    HWND owner = NULL;
};

TEST_F(MessageBoxDialogTest, EveryButtonSetGivesItsButtonsAndAnswersThePressedOne)
{
    struct Case {
        UINT type;
        std::vector<std::pair<int, std::string>> buttons;
        int press;
    };
    const Case cases[] = {
        {MB_OK, {{IDOK, "OK"}}, IDOK},
        {MB_OKCANCEL, {{IDOK, "OK"}, {IDCANCEL, "Cancel"}}, IDCANCEL},
        {MB_ABORTRETRYIGNORE, {{IDABORT, "&Abort"}, {IDRETRY, "&Retry"}, {IDIGNORE, "&Ignore"}}, IDIGNORE},
        {MB_YESNOCANCEL, {{IDYES, "&Yes"}, {IDNO, "&No"}, {IDCANCEL, "Cancel"}}, IDNO},
        {MB_YESNO, {{IDYES, "&Yes"}, {IDNO, "&No"}}, IDYES},
        {MB_RETRYCANCEL, {{IDRETRY, "&Retry"}, {IDCANCEL, "Cancel"}}, IDRETRY},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        HWND box = platform::CreateMessageBoxDialog(owner, "Save changes?", "Threadwick", c.type);
        ASSERT_NE(box, nullptr);
        char caption[32] = {};
        GetWindowText(box, caption, sizeof caption);
        EXPECT_STREQ(caption, "Threadwick");
        EXPECT_EQ(Buttons(box), c.buttons);
        SendMessage(GetDlgItem(box, c.press), BM_CLICK, 0, 0);
        EXPECT_FALSE(IsWindow(box));
        EXPECT_EQ(platform::MessageBoxDialogResult(box), c.press);
    }
}

TEST_F(MessageBoxDialogTest, DefaultButtonTakesFocusAndAnswersEnter)
{
    // 0x134: Yes/No with the exclamation icon and No as the default.
    HWND box = platform::CreateMessageBoxDialog(owner, "Replace the file?", "Save", 0x134);
    ASSERT_NE(box, nullptr);
    HWND no = GetDlgItem(box, IDNO);
    EXPECT_EQ(GetFocus(), no);
    EXPECT_EQ(LOWORD(SendMessage(box, DM_GETDEFID, 0, 0)), IDNO);
    EXPECT_EQ(GetWindowLong(no, GWL_STYLE) & 0xF, BS_DEFPUSHBUTTON);
    EXPECT_EQ(GetWindowLong(GetDlgItem(box, IDYES), GWL_STYLE) & 0xF, BS_PUSHBUTTON);
    HWND icon = GetDlgItem(box, 20);
    ASSERT_NE(icon, nullptr);
    EXPECT_NE(SendMessage(icon, STM_GETICON, 0, 0), 0);

    platform::headless::TypeKey(VK_RETURN);
    Pump(box);
    EXPECT_FALSE(IsWindow(box));
    EXPECT_EQ(platform::MessageBoxDialogResult(box), IDNO);

    // A third default on a two-button set falls back to the first.
    box = platform::CreateMessageBoxDialog(owner, "x", "y", MB_OKCANCEL | MB_DEFBUTTON3);
    EXPECT_EQ(GetFocus(), GetDlgItem(box, IDOK));
    DestroyWindow(box);
    box = platform::CreateMessageBoxDialog(owner, "x", "y", MB_YESNOCANCEL | MB_DEFBUTTON3);
    EXPECT_EQ(GetFocus(), GetDlgItem(box, IDCANCEL));
    DestroyWindow(box);
}

TEST_F(MessageBoxDialogTest, EachIconIsShownAndNoneWithoutOne)
{
    for (UINT icon : {UINT(MB_ICONEXCLAMATION), UINT(MB_ICONINFORMATION), UINT(MB_ICONSTOP), UINT(MB_ICONQUESTION)}) {
        HWND box = platform::CreateMessageBoxDialog(owner, "Text", "Caption", MB_OK | icon);
        HWND control = GetDlgItem(box, 20);
        ASSERT_NE(control, nullptr) << icon;
        EXPECT_NE(SendMessage(control, STM_GETICON, 0, 0), 0) << icon;
        DestroyWindow(box);
    }
    HWND plain = platform::CreateMessageBoxDialog(owner, "Text", "Caption", MB_OK);
    EXPECT_EQ(GetDlgItem(plain, 20), nullptr);
    DestroyWindow(plain);
}

TEST_F(MessageBoxDialogTest, EscapeAnswersCancelOrOkButNotAYesNoQuestion)
{
    HWND box = platform::CreateMessageBoxDialog(owner, "x", "y", MB_OKCANCEL);
    platform::headless::TypeKey(VK_ESCAPE);
    Pump(box);
    EXPECT_EQ(platform::MessageBoxDialogResult(box), IDCANCEL);

    box = platform::CreateMessageBoxDialog(owner, "x", "y", MB_OK);
    platform::headless::TypeKey(VK_ESCAPE);
    Pump(box);
    EXPECT_EQ(platform::MessageBoxDialogResult(box), IDOK);

    box = platform::CreateMessageBoxDialog(owner, "x", "y", MB_YESNO);
    platform::headless::TypeKey(VK_ESCAPE);
    Pump(box);
    EXPECT_TRUE(IsWindow(box));
    DestroyWindow(box);
}

TEST_F(MessageBoxDialogTest, HelpButtonSendsHelpToTheOwnerAndKeepsTheBoxOpen)
{
    std::vector<HELPINFO> helps;
    uitest::Rec().handlers[owner] = [&](HWND, UINT msg, WPARAM, LPARAM lParam, LRESULT&) {
        if (msg == WM_HELP)
            helps.push_back(*reinterpret_cast<HELPINFO*>(lParam));
        return false;
    };
    HWND box = platform::CreateMessageBoxDialog(owner, "Oops", "Threadwick", MB_OKCANCEL | MB_ICONSTOP | MB_HELP);
    auto buttons = Buttons(box);
    ASSERT_EQ(buttons.size(), 3u);
    EXPECT_EQ(buttons.back().first, IDHELP);
    SendMessage(GetDlgItem(box, IDHELP), BM_CLICK, 0, 0);
    ASSERT_EQ(helps.size(), 1u);
    EXPECT_EQ(helps[0].cbSize, sizeof(HELPINFO));
    EXPECT_EQ(helps[0].iContextType, HELPINFO_WINDOW);
    EXPECT_TRUE(IsWindow(box));
    SendMessage(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(platform::MessageBoxDialogResult(box), IDOK);
}

TEST_F(MessageBoxDialogTest, LongTextWrapsAndTheBoxGrowsToHoldIt)
{
    std::string longText;
    for (int i = 0; i < 40; ++i)
        longText += "word ";
    HWND shortBox = platform::CreateMessageBoxDialog(owner, "Short", "c", MB_OK);
    HWND longBox = platform::CreateMessageBoxDialog(owner, longText.c_str(), "c", MB_OK);
    RECT shortText, longTextRect;
    GetWindowRect(GetDlgItem(shortBox, 0xFFFF), &shortText);
    GetWindowRect(GetDlgItem(longBox, 0xFFFF), &longTextRect);
    EXPECT_GT(longTextRect.bottom - longTextRect.top, 2 * (shortText.bottom - shortText.top));
    EXPECT_LE(longTextRect.right - longTextRect.left, 420);

    // The buttons sit inside the client area, below the text.
    RECT client, ok;
    GetClientRect(longBox, &client);
    GetWindowRect(GetDlgItem(longBox, IDOK), &ok);
    MapWindowPoints(NULL, longBox, reinterpret_cast<POINT*>(&ok), 2);
    EXPECT_LE(ok.bottom, client.bottom);
    POINT textBottom{0, longTextRect.bottom};
    ScreenToClient(longBox, &textBottom);
    EXPECT_GT(ok.top, textBottom.y);
    DestroyWindow(shortBox);
    DestroyWindow(longBox);
}

TEST_F(MessageBoxDialogTest, ModalBoxDisablesTheOwnerAndAnswersAClick)
{
    bool ownerEnabledInside = true;
    platform::headless::SetIdleHandler([&]() {
        HWND box = GetActiveWindow();
        if (!box || box == owner)
            return false;
        ownerEnabledInside = IsWindowEnabled(owner);
        RECT r;
        GetWindowRect(GetDlgItem(box, IDRETRY), &r);
        platform::headless::Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        return true;
    });
    EXPECT_EQ(platform::RunMessageBoxDialog(owner, "Disk not ready", "Threadwick", MB_RETRYCANCEL), IDRETRY);
    EXPECT_FALSE(ownerEnabledInside);
    EXPECT_TRUE(IsWindowEnabled(owner));
}

} // namespace
