#include "platform/base/VirtualKeys.h"
#include "platform/ui/internal/SdlKeys.h"

#include <SDL2/SDL_keycode.h>

#include <gtest/gtest.h>

using platform::CharacterForKey;
using platform::KeyModifiers;
using platform::TextSuppressedBy;
using platform::VirtualKeyFromSdlKey;

namespace {

TEST(SdlKeysTest, MapsTheKeysTheProgramUses)
{
    struct Case {
        SDL_Keycode key;
        UINT vk;
    };
    const Case cases[] = {
        {SDLK_a, 'A'}, {SDLK_z, 'Z'}, {SDLK_0, '0'}, {SDLK_9, '9'},
        {SDLK_BACKSPACE, VK_BACK}, {SDLK_TAB, VK_TAB}, {SDLK_RETURN, VK_RETURN}, {SDLK_KP_ENTER, VK_RETURN},
        {SDLK_LSHIFT, VK_SHIFT}, {SDLK_RSHIFT, VK_SHIFT}, {SDLK_LCTRL, VK_CONTROL}, {SDLK_RCTRL, VK_CONTROL},
        {SDLK_LALT, VK_MENU}, {SDLK_CAPSLOCK, VK_CAPITAL}, {SDLK_ESCAPE, VK_ESCAPE}, {SDLK_SPACE, VK_SPACE},
        {SDLK_END, VK_END}, {SDLK_HOME, VK_HOME}, {SDLK_LEFT, VK_LEFT}, {SDLK_UP, VK_UP},
        {SDLK_RIGHT, VK_RIGHT}, {SDLK_DOWN, VK_DOWN}, {SDLK_DELETE, VK_DELETE},
        {SDLK_F1, VK_F1}, {SDLK_F12, VK_F12},
        {SDLK_KP_0, VK_NUMPAD0}, {SDLK_KP_9, VK_NUMPAD9}, {SDLK_KP_PLUS, VK_ADD}, {SDLK_KP_MINUS, VK_SUBTRACT},
        {SDLK_KP_MULTIPLY, VK_MULTIPLY}, {SDLK_KP_DIVIDE, VK_DIVIDE}, {SDLK_KP_PERIOD, VK_DECIMAL},
        {SDLK_EQUALS, VK_OEM_PLUS}, {SDLK_MINUS, VK_OEM_MINUS},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VirtualKeyFromSdlKey(c.key, SDL_SCANCODE_UNKNOWN), c.vk) << "keycode " << c.key;
}

TEST(SdlKeysTest, LettersOfOtherScriptsFollowTheKeyPosition)
{
    // A Cyrillic layout: the key that types U+0444 sits where A is.
    EXPECT_EQ(VirtualKeyFromSdlKey(0x0444, SDL_SCANCODE_A), UINT('A'));
    EXPECT_EQ(VirtualKeyFromSdlKey(0x0444, SDL_SCANCODE_0), UINT('0'));
    EXPECT_EQ(VirtualKeyFromSdlKey(0x0444, SDL_SCANCODE_3), UINT('3'));
    // A layout that puts Q where A is (AZERTY): the keycode wins.
    EXPECT_EQ(VirtualKeyFromSdlKey(SDLK_q, SDL_SCANCODE_A), UINT('Q'));
    EXPECT_EQ(VirtualKeyFromSdlKey(SDLK_VOLUMEUP, SDL_SCANCODE_VOLUMEUP), 0u);
}

TEST(SdlKeysTest, KeysWithoutTextTypeTheirControlCharacters)
{
    EXPECT_EQ(CharacterForKey(VK_RETURN, KeyModifiers::None), '\r');
    EXPECT_EQ(CharacterForKey(VK_BACK, KeyModifiers::None), 8);
    EXPECT_EQ(CharacterForKey(VK_TAB, KeyModifiers::Shift), '\t');
    EXPECT_EQ(CharacterForKey(VK_ESCAPE, KeyModifiers::None), 27);
    EXPECT_EQ(CharacterForKey('C', KeyModifiers::Control), 3);
    EXPECT_EQ(CharacterForKey('Z', KeyModifiers::Control | KeyModifiers::Shift), 26);
    // Alt combinations carry their letter, for the menu's mnemonics.
    EXPECT_EQ(CharacterForKey('F', KeyModifiers::Alt), 'f');
    EXPECT_EQ(CharacterForKey('F', KeyModifiers::Alt | KeyModifiers::Shift), 'F');
    EXPECT_EQ(CharacterForKey('2', KeyModifiers::Alt), '2');
    // Plain letters come as text; Ctrl+Alt is AltGr and types text too.
    EXPECT_EQ(CharacterForKey('A', KeyModifiers::None), 0);
    EXPECT_EQ(CharacterForKey('E', KeyModifiers::Control | KeyModifiers::Alt), 0);
    EXPECT_EQ(CharacterForKey(VK_F1, KeyModifiers::None), 0);

    EXPECT_FALSE(TextSuppressedBy(KeyModifiers::Shift));
    EXPECT_TRUE(TextSuppressedBy(KeyModifiers::Control));
    EXPECT_TRUE(TextSuppressedBy(KeyModifiers::Alt | KeyModifiers::Shift));
    EXPECT_FALSE(TextSuppressedBy(KeyModifiers::Control | KeyModifiers::Alt));
}

} // namespace
