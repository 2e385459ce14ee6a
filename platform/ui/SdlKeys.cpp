// SDL keys to virtual keys, and the characters SDL gives no text for.

#include "platform/base/VirtualKeys.h"
#include "platform/ui/internal/SdlKeys.h"

#include <SDL2/SDL_keycode.h>
#include <SDL2/SDL_scancode.h>

namespace platform {

namespace {

struct KeyPair {
    SDL_Keycode keycode;
    UINT vk;
};

constexpr KeyPair kKeys[] = {
    {SDLK_BACKSPACE, VK_BACK},
    {SDLK_TAB, VK_TAB},
    {SDLK_RETURN, VK_RETURN},
    {SDLK_KP_ENTER, VK_RETURN},
    {SDLK_RETURN2, VK_RETURN},
    {SDLK_ESCAPE, VK_ESCAPE},
    {SDLK_SPACE, VK_SPACE},
    {SDLK_LSHIFT, VK_SHIFT},
    {SDLK_RSHIFT, VK_SHIFT},
    {SDLK_LCTRL, VK_CONTROL},
    {SDLK_RCTRL, VK_CONTROL},
    {SDLK_LALT, VK_MENU},
    {SDLK_RALT, VK_MENU},
    {SDLK_CAPSLOCK, VK_CAPITAL},
    {SDLK_PAUSE, VK_PAUSE},
    {SDLK_PAGEUP, VK_PRIOR},
    {SDLK_PAGEDOWN, VK_NEXT},
    {SDLK_END, VK_END},
    {SDLK_HOME, VK_HOME},
    {SDLK_LEFT, VK_LEFT},
    {SDLK_UP, VK_UP},
    {SDLK_RIGHT, VK_RIGHT},
    {SDLK_DOWN, VK_DOWN},
    {SDLK_INSERT, VK_INSERT},
    {SDLK_DELETE, VK_DELETE},
    {SDLK_KP_0, VK_NUMPAD0},
    {SDLK_KP_1, VK_NUMPAD1},
    {SDLK_KP_2, VK_NUMPAD2},
    {SDLK_KP_3, VK_NUMPAD3},
    {SDLK_KP_4, VK_NUMPAD4},
    {SDLK_KP_5, VK_NUMPAD5},
    {SDLK_KP_6, VK_NUMPAD6},
    {SDLK_KP_7, VK_NUMPAD7},
    {SDLK_KP_8, VK_NUMPAD8},
    {SDLK_KP_9, VK_NUMPAD9},
    {SDLK_KP_MULTIPLY, VK_MULTIPLY},
    {SDLK_KP_PLUS, VK_ADD},
    {SDLK_KP_MINUS, VK_SUBTRACT},
    {SDLK_KP_PERIOD, VK_DECIMAL},
    {SDLK_KP_DIVIDE, VK_DIVIDE},
    {SDLK_NUMLOCKCLEAR, VK_NUMLOCK},
    {SDLK_EQUALS, VK_OEM_PLUS},
    {SDLK_PLUS, VK_OEM_PLUS},
    {SDLK_MINUS, VK_OEM_MINUS},
    {SDLK_COMMA, VK_OEM_COMMA},
    {SDLK_PERIOD, VK_OEM_PERIOD},
    {SDLK_SEMICOLON, VK_OEM_1},
    {SDLK_SLASH, VK_OEM_2},
    {SDLK_BACKQUOTE, VK_OEM_3},
    {SDLK_LEFTBRACKET, VK_OEM_4},
    {SDLK_BACKSLASH, VK_OEM_5},
    {SDLK_RIGHTBRACKET, VK_OEM_6},
    {SDLK_QUOTE, VK_OEM_7},
};

} // namespace

UINT VirtualKeyFromSdlKey(int32_t keycode, int scancode)
{
    if (keycode >= SDLK_a && keycode <= SDLK_z)
        return UINT('A' + (keycode - SDLK_a));
    if (keycode >= SDLK_0 && keycode <= SDLK_9)
        return UINT('0' + (keycode - SDLK_0));
    if (keycode >= SDLK_F1 && keycode <= SDLK_F12)
        return UINT(VK_F1 + (keycode - SDLK_F1));
    for (const KeyPair& k : kKeys)
        if (k.keycode == keycode)
            return k.vk;
    // A layout whose keys type other scripts: the key's place on the board.
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
        return UINT('A' + (scancode - SDL_SCANCODE_A));
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
        return UINT('1' + (scancode - SDL_SCANCODE_1));
    if (scancode == SDL_SCANCODE_0)
        return '0';
    return 0;
}

BYTE CharacterForKey(UINT vk, KeyModifiers modifiers)
{
    bool shift = Has(modifiers, KeyModifiers::Shift);
    bool control = Has(modifiers, KeyModifiers::Control);
    bool alt = Has(modifiers, KeyModifiers::Alt);
    if (control && alt)
        return 0;
    switch (vk) {
    case VK_RETURN:
        return control ? '\n' : '\r';
    case VK_BACK:
        return control ? 0x7F : 0x08;
    case VK_TAB:
        return control ? 0 : '\t';
    case VK_ESCAPE:
        return 0x1B;
    default:
        break;
    }
    if (vk >= 'A' && vk <= 'Z') {
        if (control)
            return BYTE(vk - 'A' + 1);
        if (alt)
            return BYTE(shift ? vk : vk - 'A' + 'a');
    }
    if (vk >= '0' && vk <= '9' && alt)
        return BYTE(vk);
    if (vk == VK_SPACE && (control || alt))
        return ' ';
    // Alt+minus opens a document window's system menu.
    if (vk == VK_OEM_MINUS && alt && !shift)
        return '-';
    return 0;
}

bool TextSuppressedBy(KeyModifiers modifiers)
{
    return Has(modifiers, KeyModifiers::Control) != Has(modifiers, KeyModifiers::Alt);
}

void MarkFocusShuffle(const std::vector<KeyboardEventSummary>& events, std::vector<bool>& noise)
{
    using Kind = KeyboardEventSummary::Kind;
    noise.assign(events.size(), false);
    size_t n = events.size();
    for (size_t lost = 0; lost < n; ++lost) {
        if (events[lost].kind != Kind::FocusLost)
            continue;
        size_t firstRelease = lost;
        while (firstRelease > 0 && events[firstRelease - 1].kind == Kind::Key && !events[firstRelease - 1].down)
            --firstRelease;
        size_t gained = lost + 1;
        while (gained < n && events[gained].kind == Kind::Other)
            ++gained;
        if (gained >= n || events[gained].kind != Kind::FocusGained)
            continue;
        size_t end = gained + 1;
        while (end < n && events[end].kind == Kind::Key)
            ++end;
        for (size_t r = firstRelease; r < lost; ++r) {
            if (noise[r])
                continue;
            for (size_t p = gained + 1; p < end; ++p) {
                if (!noise[p] && events[p].down && events[p].scancode == events[r].scancode) {
                    noise[r] = noise[p] = true;
                    break;
                }
            }
        }
    }
}

} // namespace platform
