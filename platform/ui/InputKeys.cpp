// Keyboard input: the key state, key messages with their lParam bits, and
// TranslateMessage turning key presses into Windows-1252 characters.
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

void DeliverKey(UINT vk, bool down, bool repeat, BYTE character)
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
        LPARAM lParam = LPARAM(1 | (scan << 16) | (IsExtendedKey(specific) ? 1u << 24 : 0u) | (alt ? 1u << 29 : 0u)
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
    if (lpMsg->message == WM_KEYUP || lpMsg->message == WM_SYSKEYUP)
        return TRUE;
    const KeyBytes& keys = ProgramKeys();
    const InputState& in = Input();
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
