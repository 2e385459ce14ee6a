// The US keyboard layout: scan codes, the characters keys type, and the
// conversions the program asks for (MapVirtualKey, VkKeyScan).

#include "platform/ui/internal/InputEvents.h"
#include "platform/ui/internal/InputState.h"
#include "platform/ui/internal/Window.h"

namespace platform {

namespace {

struct KeyInfo {
    BYTE vk;
    BYTE scan;
    bool extended;
    char plain; // the character without Shift (0: none)
    char shifted;
};

// Scan codes of the classic set; keys that share a scan code with a numeric
// keypad key come first so that a scan code maps back to the edit key.
constexpr KeyInfo kKeys[] = {
    {VK_ESCAPE, 0x01, false, 27, 27},
    {'1', 0x02, false, '1', '!'},
    {'2', 0x03, false, '2', '@'},
    {'3', 0x04, false, '3', '#'},
    {'4', 0x05, false, '4', '$'},
    {'5', 0x06, false, '5', '%'},
    {'6', 0x07, false, '6', '^'},
    {'7', 0x08, false, '7', '&'},
    {'8', 0x09, false, '8', '*'},
    {'9', 0x0A, false, '9', '('},
    {'0', 0x0B, false, '0', ')'},
    {VK_OEM_MINUS, 0x0C, false, '-', '_'},
    {VK_OEM_PLUS, 0x0D, false, '=', '+'},
    {VK_BACK, 0x0E, false, 8, 8},
    {VK_TAB, 0x0F, false, 9, 9},
    {'Q', 0x10, false, 'q', 'Q'},
    {'W', 0x11, false, 'w', 'W'},
    {'E', 0x12, false, 'e', 'E'},
    {'R', 0x13, false, 'r', 'R'},
    {'T', 0x14, false, 't', 'T'},
    {'Y', 0x15, false, 'y', 'Y'},
    {'U', 0x16, false, 'u', 'U'},
    {'I', 0x17, false, 'i', 'I'},
    {'O', 0x18, false, 'o', 'O'},
    {'P', 0x19, false, 'p', 'P'},
    {VK_OEM_4, 0x1A, false, '[', '{'},
    {VK_OEM_6, 0x1B, false, ']', '}'},
    {VK_RETURN, 0x1C, false, '\r', '\r'},
    {VK_CONTROL, 0x1D, false, 0, 0},
    {VK_LCONTROL, 0x1D, false, 0, 0},
    {VK_RCONTROL, 0x1D, true, 0, 0},
    {'A', 0x1E, false, 'a', 'A'},
    {'S', 0x1F, false, 's', 'S'},
    {'D', 0x20, false, 'd', 'D'},
    {'F', 0x21, false, 'f', 'F'},
    {'G', 0x22, false, 'g', 'G'},
    {'H', 0x23, false, 'h', 'H'},
    {'J', 0x24, false, 'j', 'J'},
    {'K', 0x25, false, 'k', 'K'},
    {'L', 0x26, false, 'l', 'L'},
    {VK_OEM_1, 0x27, false, ';', ':'},
    {VK_OEM_7, 0x28, false, '\'', '"'},
    {VK_OEM_3, 0x29, false, '`', '~'},
    {VK_SHIFT, 0x2A, false, 0, 0},
    {VK_LSHIFT, 0x2A, false, 0, 0},
    {VK_OEM_5, 0x2B, false, '\\', '|'},
    {'Z', 0x2C, false, 'z', 'Z'},
    {'X', 0x2D, false, 'x', 'X'},
    {'C', 0x2E, false, 'c', 'C'},
    {'V', 0x2F, false, 'v', 'V'},
    {'B', 0x30, false, 'b', 'B'},
    {'N', 0x31, false, 'n', 'N'},
    {'M', 0x32, false, 'm', 'M'},
    {VK_OEM_COMMA, 0x33, false, ',', '<'},
    {VK_OEM_PERIOD, 0x34, false, '.', '>'},
    {VK_OEM_2, 0x35, false, '/', '?'},
    {VK_RSHIFT, 0x36, false, 0, 0},
    {VK_MULTIPLY, 0x37, false, '*', '*'},
    {VK_MENU, 0x38, false, 0, 0},
    {VK_LMENU, 0x38, false, 0, 0},
    {VK_RMENU, 0x38, true, 0, 0},
    {VK_SPACE, 0x39, false, ' ', ' '},
    {VK_CAPITAL, 0x3A, false, 0, 0},
    {VK_F1, 0x3B, false, 0, 0},
    {VK_F2, 0x3C, false, 0, 0},
    {VK_F3, 0x3D, false, 0, 0},
    {VK_F4, 0x3E, false, 0, 0},
    {VK_F5, 0x3F, false, 0, 0},
    {VK_F6, 0x40, false, 0, 0},
    {VK_F7, 0x41, false, 0, 0},
    {VK_F8, 0x42, false, 0, 0},
    {VK_F9, 0x43, false, 0, 0},
    {VK_F10, 0x44, false, 0, 0},
    {VK_NUMLOCK, 0x45, true, 0, 0},
    {VK_SCROLL, 0x46, false, 0, 0},
    {VK_HOME, 0x47, true, 0, 0},
    {VK_UP, 0x48, true, 0, 0},
    {VK_PRIOR, 0x49, true, 0, 0},
    {VK_SUBTRACT, 0x4A, false, '-', '-'},
    {VK_LEFT, 0x4B, true, 0, 0},
    {VK_CLEAR, 0x4C, false, 0, 0},
    {VK_RIGHT, 0x4D, true, 0, 0},
    {VK_ADD, 0x4E, false, '+', '+'},
    {VK_END, 0x4F, true, 0, 0},
    {VK_DOWN, 0x50, true, 0, 0},
    {VK_NEXT, 0x51, true, 0, 0},
    {VK_INSERT, 0x52, true, 0, 0},
    {VK_DELETE, 0x53, true, 0, 0},
    {VK_NUMPAD7, 0x47, false, '7', '7'},
    {VK_NUMPAD8, 0x48, false, '8', '8'},
    {VK_NUMPAD9, 0x49, false, '9', '9'},
    {VK_NUMPAD4, 0x4B, false, '4', '4'},
    {VK_NUMPAD5, 0x4C, false, '5', '5'},
    {VK_NUMPAD6, 0x4D, false, '6', '6'},
    {VK_NUMPAD1, 0x4F, false, '1', '1'},
    {VK_NUMPAD2, 0x50, false, '2', '2'},
    {VK_NUMPAD3, 0x51, false, '3', '3'},
    {VK_NUMPAD0, 0x52, false, '0', '0'},
    {VK_DECIMAL, 0x53, false, '.', '.'},
    {VK_DIVIDE, 0x35, true, '/', '/'},
    {VK_F11, 0x57, false, 0, 0},
    {VK_F12, 0x58, false, 0, 0},
    {VK_SNAPSHOT, 0x37, true, 0, 0},
    {VK_LWIN, 0x5B, true, 0, 0},
    {VK_RWIN, 0x5C, true, 0, 0},
    {VK_APPS, 0x5D, true, 0, 0},
};

const KeyInfo* FindKey(UINT vk)
{
    for (const KeyInfo& k : kKeys)
        if (k.vk == vk)
            return &k;
    return nullptr;
}

bool Down(const KeyBytes& keys, UINT vk)
{
    return (keys[vk & 0xFF] & 0x80) != 0;
}

// Control characters typed with Ctrl: Ctrl+letter gives 1..26 and a few
// punctuation keys give the rest of the C0 range.
BYTE ControlCharacter(UINT vk, bool shift)
{
    if (vk >= 'A' && vk <= 'Z')
        return BYTE(vk - 'A' + 1);
    switch (vk) {
    case VK_OEM_4:
        return 27;
    case VK_OEM_5:
        return 28;
    case VK_OEM_6:
        return 29;
    case '6':
        return shift ? 30 : 0;
    case VK_OEM_MINUS:
        return shift ? 31 : 0;
    case VK_RETURN:
        return '\n';
    case VK_BACK:
        return 127;
    case VK_SPACE:
        return ' ';
    case VK_ESCAPE:
        return 27;
    default:
        return 0;
    }
}

} // namespace

UINT ScanCodeOfKey(UINT vk)
{
    const KeyInfo* k = FindKey(vk);
    return k ? k->scan : 0;
}

bool IsExtendedKey(UINT vk)
{
    const KeyInfo* k = FindKey(vk);
    return k && k->extended;
}

BYTE CharacterOfKey(UINT vk, const KeyBytes& keys)
{
    bool ctrl = Down(keys, VK_CONTROL);
    bool alt = Down(keys, VK_MENU);
    bool shift = Down(keys, VK_SHIFT);
    // Ctrl+Alt types nothing on this layout; Alt alone types what the key
    // would (as WM_SYSCHAR, for mnemonics).
    if (ctrl && alt)
        return 0;
    if (ctrl)
        return ControlCharacter(vk, shift);
    const KeyInfo* k = FindKey(vk);
    if (!k || !k->plain)
        return 0;
    if (vk >= 'A' && vk <= 'Z') {
        bool caps = (keys[VK_CAPITAL] & 1) != 0;
        return BYTE(shift != caps ? k->shifted : k->plain);
    }
    return BYTE(shift ? k->shifted : k->plain);
}

BYTE UsLayoutCharacter(UINT vk)
{
    return CharacterOfKey(vk & 0xFF, Input().keys);
}

} // namespace platform

using namespace platform;

UINT MapVirtualKey(UINT uCode, UINT uMapType)
{
    switch (uMapType) {
    case MAPVK_VK_TO_VSC:
        return ScanCodeOfKey(uCode);
    case MAPVK_VSC_TO_VK:
    case 3: // the same, telling left from right
        for (const KeyInfo& k : kKeys) {
            if (k.scan != uCode || k.extended)
                continue;
            if (uMapType == MAPVK_VSC_TO_VK || (k.vk != VK_SHIFT && k.vk != VK_CONTROL && k.vk != VK_MENU))
                return k.vk;
        }
        return 0;
    case MAPVK_VK_TO_CHAR: {
        const KeyInfo* k = FindKey(uCode);
        if (!k || !k->plain)
            return 0;
        // Letters come back in upper case, as the key caps show them.
        if (uCode >= 'A' && uCode <= 'Z')
            return uCode;
        return BYTE(k->plain);
    }
    default:
        return 0;
    }
}

SHORT VkKeyScan(CHAR ch)
{
    BYTE c = BYTE(ch);
    for (const KeyInfo& k : kKeys) {
        if (k.vk == VK_SUBTRACT || k.vk == VK_ADD || k.vk == VK_MULTIPLY || k.vk == VK_DECIMAL || k.vk == VK_DIVIDE
            || (k.vk >= VK_NUMPAD0 && k.vk <= VK_NUMPAD9))
            continue; // the main keyboard types these too
        if (BYTE(k.plain) == c && c)
            return SHORT(k.vk);
        if (BYTE(k.shifted) == c && c)
            return SHORT(0x100 | k.vk);
    }
    if (c == '\n')
        return SHORT(0x200 | VK_RETURN);
    if (c >= 1 && c <= 26)
        return SHORT(0x200 | ('A' + c - 1));
    if (c == 28)
        return SHORT(0x200 | VK_OEM_5);
    if (c == 29)
        return SHORT(0x200 | VK_OEM_6);
    if (c == 30)
        return SHORT(0x300 | '6');
    if (c == 31)
        return SHORT(0x300 | VK_OEM_MINUS);
    return -1;
}
