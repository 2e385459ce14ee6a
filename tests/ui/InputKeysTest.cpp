#include "tests/ui/InputTestFixture.h"

#include "platform/ui/internal/InputEvents.h"

#include <gmock/gmock.h>

#include <string>

using namespace uitest;
using ::testing::ElementsAre;

namespace {

class InputKeysTest : public FocusedWindowTest {};

TEST_F(InputKeysTest, KeyMessagesCarryRepeatScanCodeAndTransitionBits)
{
    platform::headless::KeyDown('A');
    platform::headless::KeyDown('A'); // held: a repeat
    platform::headless::KeyUp('A');
    platform::headless::KeyDown(VK_RCONTROL);
    platform::headless::KeyUp(VK_RCONTROL);
    Pump();
    auto keys = Only({WM_KEYDOWN, WM_KEYUP});
    ASSERT_EQ(keys.size(), 5u);
    EXPECT_EQ(keys[0].wParam, WPARAM('A'));
    EXPECT_EQ(DWORD(keys[0].lParam), 0x001E0001u);
    EXPECT_EQ(DWORD(keys[1].lParam), 0x401E0001u);
    EXPECT_EQ(keys[2].message, UINT(WM_KEYUP));
    EXPECT_EQ(DWORD(keys[2].lParam), 0xC01E0001u);
    // Right Control: the plain key code, the extended bit.
    EXPECT_EQ(keys[3].wParam, WPARAM(VK_CONTROL));
    EXPECT_EQ(DWORD(keys[3].lParam), 0x011D0001u);
}

TEST_F(InputKeysTest, TranslateTypesUsLayoutCharactersFromKeyAndShiftState)
{
    auto press = [](UINT vk) {
        platform::headless::KeyDown(vk);
        platform::headless::KeyUp(vk);
    };
    press('Q');
    press('1');
    platform::headless::KeyDown(VK_SHIFT);
    press('1');
    press('2');
    press(VK_OEM_2);
    press('Q');
    press(VK_OEM_7);
    platform::headless::KeyUp(VK_SHIFT);
    press(VK_OEM_MINUS);
    press(VK_SPACE);
    press(VK_F5); // types nothing
    // Caps Lock turns letters upper case and Shift back.
    press(VK_CAPITAL);
    press('W');
    platform::headless::KeyDown(VK_SHIFT);
    press('W');
    platform::headless::KeyUp(VK_SHIFT);
    press(VK_CAPITAL);
    // Control letters are control characters.
    platform::headless::KeyDown(VK_CONTROL);
    press('C');
    platform::headless::KeyUp(VK_CONTROL);
    PumpTranslated();
    EXPECT_EQ(Typed(), std::string("q1!@?Q\"- Ww\x03"));
}

TEST_F(InputKeysTest, CharacterGivenByTheBackEndWinsOverTheLayout)
{
    platform::headless::KeyDown(VK_OEM_7, 0xE9);
    platform::headless::KeyUp(VK_OEM_7);
    PumpTranslated();
    EXPECT_EQ(Typed(), std::string("\xE9"));
}

TEST_F(InputKeysTest, KeyTheBackEndSaysTypesNothingTypesNothing)
{
    // A dead key, then the text the input method made of it: one character,
    // not the US layout's guess for the key as well.
    platform::DeliverKey(VK_OEM_7, true, false, 0);
    platform::DeliverKey(VK_OEM_7, false, false, 0);
    platform::DeliverText("\xE9");
    PumpTranslated();
    EXPECT_EQ(Typed(), std::string("\xE9"));
    EXPECT_EQ(Only({WM_KEYDOWN}).size(), 1u);
}

TEST_F(InputKeysTest, KeyMessagesTheProgramPostsAreTranslatedWithTheUsLayout)
{
    PostMessage(top, WM_KEYDOWN, 'Q', 0x00100001);
    PostMessage(top, WM_KEYDOWN, VK_F1, 0x003B0001);
    PumpTranslated();
    EXPECT_EQ(Typed(), std::string("q"));
}

TEST_F(InputKeysTest, TextInputArrivesAsWindows1252Characters)
{
    platform::headless::TypeText("caf\xE9!");
    PumpTranslated();
    EXPECT_EQ(Typed(), std::string("caf\xE9!"));
}

TEST_F(InputKeysTest, KeyStateIsThatOfTheMessageBeingHandled)
{
    std::vector<SHORT> shiftDuringKey;
    Rec().handlers[top] = [&](HWND, UINT m, WPARAM wp, LPARAM, LRESULT&) {
        if (m == WM_KEYDOWN && wp == '1')
            shiftDuringKey.push_back(GetKeyState(VK_SHIFT));
        return false;
    };
    platform::headless::KeyDown(VK_RSHIFT);
    platform::headless::KeyDown('1');
    platform::headless::KeyUp('1');
    platform::headless::KeyUp(VK_RSHIFT);
    platform::headless::KeyDown('1');
    // The program has not looked yet: Shift is up now but was not then.
    EXPECT_EQ(GetAsyncKeyState(VK_SHIFT), 0);
    EXPECT_EQ(GetKeyState(VK_SHIFT), 0);
    PumpTranslated();
    ASSERT_EQ(shiftDuringKey.size(), 2u);
    EXPECT_LT(shiftDuringKey[0], 0);
    EXPECT_EQ(shiftDuringKey[1], 0);
    EXPECT_LT(GetKeyState('1'), 0);
    EXPECT_EQ(Typed(), "!1");
    auto downs = Only({WM_KEYDOWN});
    EXPECT_EQ(downs[0].wParam, WPARAM(VK_SHIFT));
    EXPECT_EQ((downs[0].lParam >> 16) & 0xFF, 0x36); // the right-hand key
    platform::headless::KeyUp('1');
}

TEST_F(InputKeysTest, ModifierSidesAndToggleBitsReadBack)
{
    platform::headless::KeyDown(VK_LCONTROL);
    platform::headless::KeyDown(VK_RCONTROL);
    platform::headless::KeyUp(VK_LCONTROL);
    Pump();
    EXPECT_LT(GetKeyState(VK_CONTROL), 0);
    EXPECT_LT(GetKeyState(VK_RCONTROL), 0);
    EXPECT_EQ(GetKeyState(VK_LCONTROL), 0);
    platform::headless::KeyUp(VK_RCONTROL);
    platform::headless::KeyDown(VK_CAPITAL);
    platform::headless::KeyUp(VK_CAPITAL);
    Pump();
    EXPECT_EQ(GetKeyState(VK_CONTROL), 0);
    EXPECT_EQ(GetKeyState(VK_CAPITAL), 1);
    BYTE state[256] = {};
    ASSERT_TRUE(GetKeyboardState(state));
    EXPECT_EQ(state[VK_CAPITAL], 1);
    EXPECT_EQ(state[VK_CONTROL], 0);
    // Mouse buttons read as keys too.
    platform::headless::PressMouse(0, 10, 10);
    EXPECT_LT(GetKeyState(VK_LBUTTON), 0);
}

TEST_F(InputKeysTest, AltMakesSystemKeysAndItsReleaseIsSystemOnlyWhenAlone)
{
    // Keep the default handling (the menu bar) out of this.
    Rec().handlers[top] = [](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) {
        r = 0;
        return m == WM_SYSKEYDOWN || m == WM_SYSKEYUP || m == WM_SYSCHAR;
    };
    platform::headless::KeyDown(VK_MENU);
    platform::headless::KeyDown('F');
    platform::headless::KeyUp('F');
    platform::headless::KeyUp(VK_MENU);
    platform::headless::KeyDown(VK_MENU);
    platform::headless::KeyUp(VK_MENU);
    PumpTranslated();
    auto seen = Only({WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_CHAR, WM_SYSCHAR});
    EXPECT_THAT(MessagesIn(seen), ElementsAre(WM_SYSKEYDOWN, WM_SYSKEYDOWN, WM_SYSCHAR, WM_SYSKEYUP, WM_KEYUP,
                                      WM_SYSKEYDOWN, WM_SYSKEYUP));
    EXPECT_EQ(seen[2].wParam, WPARAM('f'));
    EXPECT_TRUE(HIWORD(seen[1].lParam) & KF_ALTDOWN);
    EXPECT_FALSE(HIWORD(seen[6].lParam) & KF_ALTDOWN);
}

TEST_F(InputKeysTest, WithoutFocusKeysGoToTheActiveWindowAsSystemKeys)
{
    SetFocus(NULL);
    Rec().Clear();
    platform::headless::KeyDown('A');
    Pump();
    auto seen = Only({WM_KEYDOWN, WM_SYSKEYDOWN});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].hwnd, top);
    EXPECT_EQ(seen[0].message, UINT(WM_SYSKEYDOWN));
    platform::headless::KeyUp('A'); // the back end remembers held keys
}

TEST(InputLayoutTest, MapVirtualKeyAndVkKeyScanFollowTheUsLayout)
{
    EXPECT_EQ(MapVirtualKey('A', MAPVK_VK_TO_CHAR), UINT('A'));
    EXPECT_EQ(MapVirtualKey('7', MAPVK_VK_TO_CHAR), UINT('7'));
    EXPECT_EQ(MapVirtualKey(VK_OEM_2, MAPVK_VK_TO_CHAR), UINT('/'));
    EXPECT_EQ(MapVirtualKey(VK_OEM_PLUS, MAPVK_VK_TO_CHAR), UINT('='));
    EXPECT_EQ(MapVirtualKey(VK_F1, MAPVK_VK_TO_CHAR), 0u);
    EXPECT_EQ(MapVirtualKey('A', MAPVK_VK_TO_VSC), 0x1Eu);
    EXPECT_EQ(MapVirtualKey(0x1E, MAPVK_VSC_TO_VK), UINT('A'));

    EXPECT_EQ(VkKeyScan('a'), SHORT('A'));
    EXPECT_EQ(VkKeyScan('A'), SHORT(0x100 | 'A'));
    EXPECT_EQ(VkKeyScan('!'), SHORT(0x100 | '1'));
    EXPECT_EQ(VkKeyScan('-'), SHORT(VK_OEM_MINUS));
    EXPECT_EQ(VkKeyScan('\r'), SHORT(VK_RETURN));
    EXPECT_EQ(VkKeyScan('\x01'), SHORT(0x200 | 'A'));
    EXPECT_EQ(VkKeyScan(char(0xE9)), SHORT(-1));
}

} // namespace
