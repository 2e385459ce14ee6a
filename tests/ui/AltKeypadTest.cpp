// Alt held while digits are typed on the numeric keypad: one character when
// Alt goes up, through the program's own TranslateMessage loop.

#include "tests/ui/InputTestFixture.h"

#include "platform/ui/internal/ListBoxShared.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

using namespace uitest;

namespace {

class AltKeypadTest : public FocusedWindowTest {
protected:
    // Alt down, the keypad keys, Alt up, then the program's loop.
    static void AltKeypad(std::initializer_list<UINT> keys)
    {
        platform::headless::KeyDown(VK_MENU);
        for (UINT vk : keys)
            platform::headless::TypeKeypadKey(vk);
        platform::headless::KeyUp(VK_MENU);
        PumpTranslated();
    }
};

TEST_F(AltKeypadTest, NumberIsAWindows1252CodeWithLeadingZeroElseOem437Modulo256)
{
    struct Case {
        std::initializer_list<UINT> keys;
        const char* typed;
    };
    const Case cases[] = {
        {{VK_NUMPAD0, VK_NUMPAD1, VK_NUMPAD6, VK_NUMPAD9}, "\xA9"},
        {{VK_INSERT, VK_END, VK_RIGHT, VK_PRIOR}, "\xA9"}, // the same keys with NumLock off
        {{VK_NUMPAD1, VK_NUMPAD3, VK_NUMPAD0}, "\xE9"}, // OEM e acute
        {{VK_NUMPAD0, VK_NUMPAD1, VK_NUMPAD3, VK_NUMPAD0}, "\x82"}, // 1252's own 130
        {{VK_NUMPAD1, VK_NUMPAD5, VK_NUMPAD6}, "\xA3"}, // OEM pound sign
        {{VK_NUMPAD2, VK_NUMPAD0, VK_NUMPAD1}, "?"}, // box drawing: none in 1252
        {{VK_NUMPAD2, VK_NUMPAD2}, "?"}, // a picture in OEM, not Ctrl+V
        {{VK_NUMPAD7}, "\x95"}, // the bullet
        {{VK_NUMPAD3, VK_NUMPAD2, VK_NUMPAD1}, "A"}, // 321 - 256
        // Twelve nines do not overflow: 255, OEM's no-break space.
        {{VK_NUMPAD9, VK_NUMPAD9, VK_NUMPAD9, VK_NUMPAD9, VK_NUMPAD9, VK_NUMPAD9, VK_NUMPAD9, VK_NUMPAD9, VK_NUMPAD9,
             VK_NUMPAD9, VK_NUMPAD9, VK_NUMPAD9},
            "\xA0"},
        {{VK_NUMPAD0}, ""},
        {{VK_NUMPAD2, VK_NUMPAD5, VK_NUMPAD6}, ""},
        {{}, ""},
    };
    for (const Case& c : cases) {
        Rec().Clear();
        AltKeypad(c.keys);
        EXPECT_EQ(Typed(), c.typed) << "after " << c.keys.size() << " keys";
    }
}

TEST_F(AltKeypadTest, OnlyKeypadDigitsWhileAltIsHeldMakeANumber)
{
    // Nothing while Alt is held, and the digits are no menu mnemonics.
    platform::headless::KeyDown(VK_MENU);
    platform::headless::TypeKeypadKey(VK_NUMPAD6);
    platform::headless::KeyDown(VK_MENU); // Alt repeating keeps the digits
    platform::headless::TypeKeypadKey(VK_NUMLOCK); // NumLock sits on the keypad
    platform::headless::TypeKeypadKey(VK_NUMPAD6);
    PumpTranslated();
    EXPECT_EQ(Typed(), "");
    EXPECT_EQ(Typed(WM_SYSCHAR), "");
    platform::headless::KeyUp(VK_MENU);
    PumpTranslated();
    EXPECT_EQ(Typed(), "B");

    // A letter cancels: it stays a menu key. So do the navigation block's
    // own (extended) keys and Control.
    Rec().Clear();
    platform::headless::KeyDown(VK_MENU);
    platform::headless::TypeKeypadKey(VK_NUMPAD6);
    platform::headless::TypeKey('F');
    platform::headless::TypeKeypadKey(VK_NUMPAD5);
    platform::headless::KeyUp(VK_MENU);
    PumpTranslated();
    EXPECT_EQ(Typed(), "");
    EXPECT_EQ(Typed(WM_SYSCHAR).substr(0, 1), "f");
    for (UINT other : {UINT(VK_END), UINT(VK_CONTROL)}) {
        platform::headless::KeyDown(VK_MENU);
        platform::headless::TypeKeypadKey(VK_NUMPAD6);
        platform::headless::TypeKey(other);
        platform::headless::TypeKeypadKey(VK_NUMPAD5);
        platform::headless::KeyUp(VK_MENU);
        PumpTranslated();
        EXPECT_EQ(Typed(), "") << other;
    }

    // Without Alt the keypad types its digits.
    platform::headless::TypeKeypadKey(VK_NUMPAD4);
    PumpTranslated();
    EXPECT_EQ(Typed(), "4");
}

TEST_F(AltKeypadTest, TheCharacterGoesIntoAnEdit)
{
    platform::InstallListAndEditControls();
    HWND edit = CreateWindowEx(0, "Edit", "x", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10, 150, 24, top,
        HMENU(INT_PTR(5)), NULL, NULL);
    SetFocus(edit);
    SendMessage(edit, EM_SETSEL, 1, 1);
    AltKeypad({VK_NUMPAD0, VK_NUMPAD1, VK_NUMPAD6, VK_NUMPAD9});
    AltKeypad({VK_NUMPAD1, VK_NUMPAD3, VK_NUMPAD0});
    char text[16] = {};
    GetWindowText(edit, text, sizeof text);
    EXPECT_EQ(std::string(text), "x\xA9\xE9");
}

} // namespace
