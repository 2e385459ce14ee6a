// Keyboard input: the key state, key messages with their lParam bits, and
// TranslateMessage turning key presses into Windows-1252 characters, Alt +
// numeric keypad codes included.
//
// The key state the program reads (GetKeyState, GetKeyboardState) is the
// keyboard as of the last key message it took from the queue, not as it is
// now: a test (or a fast typist) can press and release Shift+1 before the
// program looks, and the '1' must still read as shifted. Every key message
// the input code queues carries a snapshot; the messages still waiting tell
// which snapshot the program has reached.

#include "platform/base/Clock.h"
#include "platform/ui/internal/Driver.h"
#include "platform/ui/internal/InputEvents.h"
#include "platform/ui/internal/InputState.h"
#include "platform/ui/internal/Queue.h"
#include "platform/ui/internal/Window.h"

namespace platform {

namespace {

bool IsKeyMessage(UINT message)
{
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
}

bool SameMessage(const MSG& a, const MSG& b)
{
    return a.hwnd == b.hwnd && a.message == b.message && a.wParam == b.wParam && a.lParam == b.lParam
        && a.time == b.time;
}

// Moves the program's view of the keyboard past the key messages it has
// taken from the queue since last time.
void Settle()
{
    InputState& in = Input();
    size_t waiting = 0;
    for (const MSG& m : Ws().queue.input)
        if (IsKeyMessage(m.message))
            ++waiting;
    size_t taken = in.queuedKeys.size() > waiting ? in.queuedKeys.size() - waiting : 0;
    for (size_t i = 0; i < taken; ++i) {
        in.lastTaken = in.queuedKeys.front();
        in.seenKeys = in.lastTaken.keys;
        in.queuedKeys.pop_front();
    }
}

// Left and right modifier keys also count as the plain key.
void SplitModifier(UINT vk, UINT& generic, UINT& specific)
{
    generic = specific = vk;
    switch (vk) {
    case VK_SHIFT:
        specific = VK_LSHIFT;
        break;
    case VK_CONTROL:
        specific = VK_LCONTROL;
        break;
    case VK_MENU:
        specific = VK_LMENU;
        break;
    case VK_LSHIFT:
    case VK_RSHIFT:
        generic = VK_SHIFT;
        break;
    case VK_LCONTROL:
    case VK_RCONTROL:
        generic = VK_CONTROL;
        break;
    case VK_LMENU:
    case VK_RMENU:
        generic = VK_MENU;
        break;
    default:
        break;
    }
}

bool Down(const KeyBytes& keys, UINT vk)
{
    return (keys[vk] & 0x80) != 0;
}

void UpdateKeys(KeyBytes& keys, UINT generic, UINT specific, bool down)
{
    if (down) {
        if (!Down(keys, specific) && (generic == VK_CAPITAL || generic == VK_NUMLOCK || generic == VK_SCROLL))
            keys[generic] ^= 0x01;
        keys[specific] |= 0x80;
        keys[generic] |= 0x80;
        return;
    }
    keys[specific] &= BYTE(~0x80);
    if (generic != specific) {
        UINT left = generic == VK_SHIFT ? VK_LSHIFT : generic == VK_CONTROL ? VK_LCONTROL : VK_LMENU;
        UINT right = left + 1;
        if (!Down(keys, left) && !Down(keys, right))
            keys[generic] &= BYTE(~0x80);
    }
}

// OEM code page 437 above 127 in Windows-1252, '?' where 1252 has no such
// character (box drawing, Greek, mathematics).
constexpr BYTE kOem437High[128] = {
    0xC7, 0xFC, 0xE9, 0xE2, 0xE4, 0xE0, 0xE5, 0xE7, 0xEA, 0xEB, 0xE8, 0xEF, 0xEE, 0xEC, 0xC4, 0xC5,
    0xC9, 0xE6, 0xC6, 0xF4, 0xF6, 0xF2, 0xFB, 0xF9, 0xFF, 0xD6, 0xDC, 0xA2, 0xA3, 0xA5, 0x3F, 0x83,
    0xE1, 0xED, 0xF3, 0xFA, 0xF1, 0xD1, 0xAA, 0xBA, 0xBF, 0x3F, 0xAC, 0xBD, 0xBC, 0xA1, 0xAB, 0xBB,
    0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F,
    0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F,
    0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F,
    0x3F, 0xDF, 0x3F, 0x3F, 0x3F, 0x3F, 0xB5, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F,
    0x3F, 0xB1, 0x3F, 0x3F, 0x3F, 0x3F, 0xF7, 0x3F, 0xB0, 0x3F, 0xB7, 0x3F, 0x3F, 0xB2, 0x3F, 0xA0,
};

// An OEM 437 code in Windows-1252. Below 32 (and 127) the code page shows
// pictures (smileys, arrows, the bullet), not control characters, so a
// typed code never becomes a control key such as Ctrl+V.
BYTE Oem437To1252(BYTE oem)
{
    if (oem >= 0x80)
        return kOem437High[oem - 0x80];
    switch (oem) {
    case 0: return 0;
    case 7: return 0x95; // bullet
    case 20: return 0xB6; // pilcrow
    case 21: return 0xA7; // section sign
    case 127: return '?';
    default: return oem < 0x20 ? BYTE('?') : oem;
    }
}

// The digit a key of the numeric keypad stands for, or -1. With NumLock
// off the keypad sends navigation keys; only the extended-key bit tells
// them from the separate navigation block.
int KeypadDigit(const MSG& m)
{
    UINT vk = UINT(m.wParam & 0xFF);
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9)
        return int(vk - VK_NUMPAD0);
    if (HIWORD(m.lParam) & KF_EXTENDED)
        return -1;
    switch (vk) {
    case VK_INSERT: return 0;
    case VK_END: return 1;
    case VK_DOWN: return 2;
    case VK_NEXT: return 3;
    case VK_LEFT: return 4;
    case VK_CLEAR: return 5;
    case VK_RIGHT: return 6;
    case VK_HOME: return 7;
    case VK_UP: return 8;
    case VK_PRIOR: return 9;
    default: return -1;
    }
}

// Follows an Alt + keypad entry through the key messages as the program
// takes them. Answers whether the message was one of its digits, which
// type nothing of their own. Alt's release posts the character: with a
// leading 0 the number is a Windows-1252 code, without one an OEM 437 code.
bool ComposeAltKeypad(const MSG& m, const KeyBytes& keys, AltKeypadEntry& entry)
{
    bool down = m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN;
    bool repeat = (HIWORD(m.lParam) & KF_REPEAT) != 0;
    if (UINT(m.wParam & 0xFF) == VK_MENU) {
        if (down) {
            // Alt repeats while held; only a fresh press starts over.
            if (!repeat)
                entry = AltKeypadEntry{true, 0, false, 0};
            return false;
        }
        AltKeypadEntry done = entry;
        entry = AltKeypadEntry{};
        if (done.open && done.digits > 0) {
            BYTE code = BYTE(done.value);
            BYTE character = done.leadingZero ? code : Oem437To1252(code);
            if (character)
                PostMessage(m.hwnd, WM_CHAR, character, m.lParam);
        }
        return false;
    }
    // NumLock sits on the keypad itself; toggling it between digits (as
    // some input tools do to reach the digit keys) keeps the number.
    if (!entry.open || UINT(m.wParam & 0xFF) == VK_NUMLOCK)
        return false;
    int digit = KeypadDigit(m);
    if (digit < 0 || !Down(keys, VK_MENU) || Down(keys, VK_CONTROL)) {
        // Another key pressed with Alt is a shortcut, not a number.
        if (down)
            entry = AltKeypadEntry{};
        return false;
    }
    if (down && !repeat) {
        if (entry.digits == 0 && digit == 0)
            entry.leadingZero = true;
        entry.value = (entry.value * 10 + unsigned(digit)) % 256;
        ++entry.digits;
    }
    return true;
}

POINT CursorNow()
{
    return HasDriver() ? GetDriver().CursorPos() : POINT{0, 0};
}

} // namespace

const KeyBytes& ProgramKeys()
{
    Settle();
    InputState& in = Input();
    // Mouse buttons are read as they are now.
    for (UINT vk : {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON})
        in.seenKeys[vk] = in.keys[vk];
    return in.seenKeys;
}

void DeliverKey(UINT vk, bool down, bool repeat, BYTE character, KeyBlock block)
{
    vk &= 0xFF;
    if (vk == 0)
        return;
    InputState& in = Input();
    Settle();
    UINT generic = 0;
    UINT specific = 0;
    SplitModifier(vk, generic, specific);
    bool wasDown = Down(in.keys, specific) || (down && repeat);
    UpdateKeys(in.keys, generic, specific, down);

    // Alt pressed and released with nothing between opens the menu bar, so
    // only then is its release a system key.
    bool altAloneBefore = in.altAlone;
    if (down)
        in.altAlone = generic == VK_MENU && (!wasDown || in.altAlone);
    bool alt = Down(in.keys, VK_MENU);
    bool ctrl = Down(in.keys, VK_CONTROL);
    bool system = (alt && !ctrl) || generic == VK_F10;
    if (!down && generic == VK_MENU)
        system = altAloneBefore && !ctrl;
    if (!down && generic == VK_MENU)
        in.altAlone = false;

    // Without a focus window the active window gets the keys, as system keys.
    HWND target = in.focus;
    if (!target) {
        target = in.active;
        system = true;
    }

    bool posted = false;
    if (target) {
        UINT scan = ScanCodeOfKey(specific);
        // The keypad's Enter is the extended copy of Enter; its navigation
        // keys are the plain copies of the navigation block's.
        bool extended = block == KeyBlock::NumericKeypad ? (generic == VK_RETURN || generic == VK_DIVIDE)
                                                         : IsExtendedKey(specific);
        LPARAM lParam = LPARAM(1 | (scan << 16) | (extended ? 1u << 24 : 0u) | (alt ? 1u << 29 : 0u)
            | ((wasDown || !down) ? 1u << 30 : 0u) | (down ? 0u : 1u << 31));
        MSG m{};
        m.hwnd = target;
        m.message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
        m.wParam = generic;
        m.lParam = lParam;
        m.time = GetTickCount();
        m.pt = CursorNow();
        size_t before = Ws().queue.input.size();
        PostInputMessage(m);
        if (Ws().queue.input.size() > before) {
            in.queuedKeys.push_back(QueuedKey{m, in.keys, down ? character : BYTE(0)});
            posted = true;
        }
    }
    if (!posted) {
        // Nothing to wait for: the program sees the change at once.
        if (in.queuedKeys.empty())
            in.seenKeys = in.keys;
        else
            in.queuedKeys.back().keys = in.keys;
    }
}

void DeliverText(const std::string& windows1252)
{
    InputState& in = Input();
    HWND target = in.focus ? in.focus : in.active;
    if (!target)
        return;
    // Input methods can hand over a lot at once; the queue bounds it anyway.
    for (char c : windows1252) {
        if (c == 0)
            continue;
        MSG m{};
        m.hwnd = target;
        m.message = WM_CHAR;
        m.wParam = BYTE(c);
        m.lParam = 1;
        m.time = GetTickCount();
        m.pt = CursorNow();
        PostInputMessage(m);
    }
}

} // namespace platform

using namespace platform;

BOOL TranslateMessage(const MSG* lpMsg)
{
    if (!lpMsg || !IsKeyMessage(lpMsg->message))
        return FALSE;
    const KeyBytes& keys = ProgramKeys();
    InputState& in = Input();
    if (ComposeAltKeypad(*lpMsg, keys, in.altKeypad))
        return TRUE;
    if (lpMsg->message == WM_KEYUP || lpMsg->message == WM_SYSKEYUP)
        return TRUE;
    // A key the back end delivered types what the desktop's layout said,
    // nothing included; guessing from the US layout there would type a
    // second character for keys whose text comes apart (dead keys, input
    // methods).
    BYTE character = 0;
    if (SameMessage(in.lastTaken.msg, *lpMsg))
        character = in.lastTaken.character;
    else
        character = CharacterOfKey(UINT(lpMsg->wParam & 0xFF), keys);
    if (character) {
        UINT message = lpMsg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
        PostMessage(lpMsg->hwnd, message, character, lpMsg->lParam);
    }
    return TRUE;
}

SHORT GetKeyState(int nVirtKey)
{
    BYTE b = ProgramKeys()[size_t(nVirtKey) & 0xFF];
    return SHORT(((b & 0x80) ? 0xFF80 : 0) | (b & 0x01));
}

SHORT GetAsyncKeyState(int vKey)
{
    return (Input().keys[size_t(vKey) & 0xFF] & 0x80) ? SHORT(0x8000) : SHORT(0);
}

BOOL GetKeyboardState(LPBYTE lpKeyState)
{
    if (!lpKeyState)
        return FALSE;
    const KeyBytes& keys = ProgramKeys();
    for (size_t i = 0; i < keys.size(); ++i)
        lpKeyState[i] = keys[i];
    return TRUE;
}
