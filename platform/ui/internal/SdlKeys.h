#pragma once
// How the SDL back end turns key events into virtual keys and the characters
// that SDL sends no text for. Kept apart from the driver so that the table
// can be checked without a display. Keycodes and scancodes are SDL's numbers.

#include "platform/base/Types.h"

#include <cstdint>
#include <vector>

namespace platform {

// The virtual key of a key, 0 for keys the program has no code for. Letters
// and digits follow the layout's keycode and, when the layout has none (a
// non-Latin layout), the key's position.
UINT VirtualKeyFromSdlKey(int32_t keycode, int scancode);

enum class KeyModifiers : unsigned {
    None = 0,
    Shift = 1,
    Control = 2,
    Alt = 4, // the menu key, not AltGr
};
constexpr KeyModifiers operator|(KeyModifiers a, KeyModifiers b)
{
    return KeyModifiers(unsigned(a) | unsigned(b));
}
constexpr bool Has(KeyModifiers set, KeyModifiers m)
{
    return (unsigned(set) & unsigned(m)) != 0;
}

// The Windows-1252 character a key press types that does not come as SDL
// text: the control characters of Return, Backspace, Tab, Escape and
// Ctrl+letter, and the letter or digit of an Alt combination (which the
// program sees as WM_SYSCHAR). 0 when SDL's text event carries the
// character, or there is none.
BYTE CharacterForKey(UINT vk, KeyModifiers modifiers);

// Whether SDL text typed with these modifiers is left out, because
// CharacterForKey already gave the character of the key (Ctrl or Alt held,
// but not both: that is AltGr, which types text).
bool TextSuppressedBy(KeyModifiers modifiers);

// An SDL event as the focus filter below sees it.
struct KeyboardEventSummary {
    enum class Kind {
        Key,
        FocusLost,
        FocusGained,
        Other,
    };
    Kind kind = Kind::Other;
    bool down = false;
    int scancode = 0;
};

// When the keyboard leaves a window SDL releases every key it holds, and
// when another window takes it SDL presses again the modifiers still held.
// Between two windows of ours (a menu, list or tip taking the keyboard from
// its owner, as every shown window does without a window manager) that pair
// is noise: an Alt held over a menu would read as a fresh Alt press and
// release, which closes the menu. Sets `noise` (resized to the events) for
// the releases and presses that cancel out; a release that nothing presses
// again stays, as the key was really let go meanwhile.
void MarkFocusShuffle(const std::vector<KeyboardEventSummary>& events, std::vector<bool>& noise);

} // namespace platform
