// Keyboard focus and activation. One top-level window is active while the
// application is; the focus window is it or one of its descendants.
// Switching from window A to window B, the order the program sees is:
// B raised, A: WM_NCACTIVATE(FALSE), WM_ACTIVATE(WA_INACTIVE, B);
// B: WM_NCACTIVATE(TRUE), WM_ACTIVATE(WA_ACTIVE, A), whose default handling
// moves the focus (WM_KILLFOCUS to the old focus, then WM_SETFOCUS). When
// the application as a whole becomes active or inactive every top-level
// window gets WM_ACTIVATEAPP, before the activation messages when it
// becomes active and after them when it stops.

#include "platform/ui/internal/Driver.h"
#include "platform/ui/internal/InputEvents.h"
#include "platform/ui/internal/InputState.h"
#include "platform/ui/internal/Window.h"

namespace platform {

InputState& Input()
{
    static InputState state;
    return state;
}

bool IsSameOrDescendant(HWND root, HWND hwnd)
{
    if (!root || !hwnd)
        return false;
    HWND desktop = Ws().desktop;
    for (int depth = 0; hwnd && hwnd != desktop && depth < 10000; ++depth) {
        if (hwnd == root)
            return true;
        Window* w = PeekWindowRecord(hwnd);
        if (!w)
            return false;
        hwnd = w->parent;
    }
    return false;
}

namespace {

bool IsOwnedBy(HWND hwnd, HWND owner)
{
    for (int depth = 0; hwnd && depth < 10000; ++depth) {
        Window* w = PeekWindowRecord(hwnd);
        if (!w)
            return false;
        if (w->owner == owner)
            return true;
        hwnd = w->owner;
    }
    return false;
}

std::vector<HWND> TopLevelWindows()
{
    Window* desktop = PeekWindowRecord(Ws().desktop);
    return desktop ? desktop->children : std::vector<HWND>();
}

void SendActivateApp(bool active)
{
    for (HWND h : TopLevelWindows()) {
        Window* w = PeekWindowRecord(h);
        if (w && IsUsable(*w))
            SendMessage(h, WM_ACTIVATEAPP, active ? TRUE : FALSE, LPARAM(GetCurrentThreadId()));
    }
}

// Raises a window being activated above every window it does not own.
void BringToTop(HWND hwnd)
{
    for (HWND h : TopLevelWindows()) {
        if (h == hwnd)
            return;
        if (!IsOwnedBy(h, hwnd))
            break;
    }
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

WPARAM ActivateParam(WORD how, HWND hwnd)
{
    Window* w = PeekWindowRecord(hwnd);
    bool minimized = w && (w->style & WS_MINIMIZE);
    return MAKEWPARAM(how, minimized ? 1 : 0);
}

bool CanActivate(HWND hwnd, HWND leaving)
{
    Window* w = PeekWindowRecord(hwnd);
    return w && IsUsable(*w) && IsTopLevel(*w) && hwnd != leaving && (w->style & WS_VISIBLE)
        && !(w->style & WS_DISABLED) && !IsOwnedBy(hwnd, leaving);
}

// Where activation goes when the active window goes away: its owner, else
// the highest window that can take it.
HWND NextToActivate(HWND leaving)
{
    Window* w = PeekWindowRecord(leaving);
    if (w && w->owner && CanActivate(w->owner, leaving))
        return w->owner;
    for (HWND h : TopLevelWindows())
        if (CanActivate(h, leaving))
            return h;
    return NULL;
}

bool IsOwnedPopupWithoutCaption(const Window& w)
{
    return w.owner && (w.style & WS_POPUP) && (w.style & WS_CAPTION) != WS_CAPTION;
}

// The window a menu, tip or list was opened for: up the owners past every
// popup without a caption.
HWND OpenerOf(HWND popup)
{
    HWND h = popup;
    for (int depth = 0; h && depth < 10000; ++depth) {
        Window* w = PeekWindowRecord(h);
        if (!w || !IsUsable(*w))
            return NULL;
        if (!IsOwnedPopupWithoutCaption(*w))
            return h == popup ? NULL : h;
        h = w->owner;
    }
    return NULL;
}

void KillFocusQuietly()
{
    HWND old = Input().focus;
    Input().focus = NULL;
    if (old && IsWindow(old))
        SendMessage(old, WM_KILLFOCUS, 0, 0);
}

} // namespace

HWND Activate(HWND hwnd, WORD how)
{
    InputState& in = Input();
    HWND old = in.active;
    if (hwnd == old)
        return old;
    if (hwnd) {
        Window* w = PeekWindowRecord(hwnd);
        if (!w || !IsUsable(*w) || !IsTopLevel(*w))
            return old;
    }
    // A window tracking the mouse in another window loses it.
    if (in.capture && !(hwnd && IsSameOrDescendant(hwnd, in.capture)))
        CancelCapture();

    in.active = hwnd;
    if (hwnd) {
        // Every owner up the chain remembers its most recently active popup.
        for (Window* w = PeekWindowRecord(hwnd); w != nullptr;) {
            Window* owner = w->owner ? PeekWindowRecord(w->owner) : nullptr;
            if (owner == nullptr) {
                w->lastActivePopup = hwnd;
                break;
            }
            owner->lastActivePopup = hwnd;
            w = owner;
        }
    }
    if (hwnd && !in.appActive) {
        in.appActive = true;
        SendActivateApp(true);
        if (in.active != hwnd)
            return old;
    }
    if (hwnd)
        BringToTop(hwnd);
    if (old && IsWindow(old)) {
        SendMessage(old, WM_NCACTIVATE, FALSE, 0);
        if (in.active != hwnd)
            return old;
        SendMessage(old, WM_ACTIVATE, ActivateParam(WA_INACTIVE, old), LPARAM(hwnd));
        if (in.active != hwnd)
            return old;
    }
    if (!hwnd) {
        if (in.appActive) {
            in.appActive = false;
            SendActivateApp(false);
        }
        if (in.active == NULL)
            KillFocusQuietly();
        return old;
    }
    if (!IsWindow(hwnd))
        return old;
    SendMessage(hwnd, WM_NCACTIVATE, TRUE, 0);
    if (in.active != hwnd || !IsWindow(hwnd))
        return old;
    SendMessage(hwnd, WM_ACTIVATE, ActivateParam(how, hwnd), LPARAM(old));
    // A window that handled WM_ACTIVATE itself may have left the focus in
    // the window it took over from; keys must not go there any more.
    if (in.active == hwnd && in.focus && !IsSameOrDescendant(hwnd, in.focus))
        KillFocusQuietly();
    return old;
}

void DeliverSurfaceFocus(HWND topLevel, bool gained)
{
    InputState& in = Input();
    Window* w = PeekWindowRecord(topLevel);
    if (!w || !IsUsable(*w) || !IsTopLevel(*w))
        return;
    if (gained) {
        // Menus, tips and drop-down lists (owned popups without a caption)
        // never become active: the desktop may hand them its focus when they
        // show, but the window that opened them stays active with the keys.
        // When the desktop's report that the opener lost the keyboard came
        // first, the application is active again all the same: the
        // keyboard is still ours, and the opener's caption says so.
        if (IsOwnedPopupWithoutCaption(*w)) {
            HWND opener = OpenerOf(topLevel);
            if (opener && (!in.appActive || !in.active))
                DeliverSurfaceFocus(opener, true);
            return;
        }
        // A window disabled by a modal dialog passes activation to it.
        HWND target = topLevel;
        if (w->style & WS_DISABLED) {
            HWND popup = GetLastActivePopup(topLevel);
            if (popup && popup != topLevel && IsWindowEnabled(popup))
                target = popup;
        }
        if (in.active != target || !in.appActive)
            Activate(target, WA_ACTIVE);
    } else if (in.active && (in.active == topLevel || IsOwnedBy(in.active, topLevel))) {
        Activate(NULL, WA_INACTIVE);
    }
}

void InputWindowDestroyed(HWND hwnd)
{
    InputState& in = Input();
    if (in.capture && IsSameOrDescendant(hwnd, in.capture)) {
        in.capture = NULL;
        if (HasDriver())
            GetDriver().SetMouseCapture(false);
    }
    ForgetCaret(hwnd);
    if (in.lastClickWindow && IsSameOrDescendant(hwnd, in.lastClickWindow))
        in.lastClickWindow = NULL;

    bool focusInside = in.focus && IsSameOrDescendant(hwnd, in.focus);
    if (focusInside)
        in.focus = NULL;
    Window* w = PeekWindowRecord(hwnd);
    if (!w)
        return;
    if (in.active == hwnd) {
        in.active = NULL;
        if (HWND next = NextToActivate(hwnd)) {
            Activate(next, WA_ACTIVE);
        } else if (in.appActive) {
            in.appActive = false;
            SendActivateApp(false);
        }
    } else if (focusInside && (w->style & WS_CHILD)) {
        HWND parent = w->parent;
        if (Window* p = PeekWindowRecord(parent); p && IsUsable(*p))
            SetFocus(parent);
    }
}

void InputWindowHiddenOrDisabled(HWND hwnd)
{
    InputState& in = Input();
    Window* w = PeekWindowRecord(hwnd);
    if (!w)
        return;
    bool disabled = (w->style & WS_DISABLED) != 0;
    if (in.capture && IsSameOrDescendant(hwnd, in.capture))
        CancelCapture();

    if (!(w = PeekWindowRecord(hwnd)))
        return;
    if (in.focus && IsSameOrDescendant(hwnd, in.focus)) {
        if (!disabled && (w->style & WS_CHILD))
            SetFocus(w->parent);
        else if (in.active != hwnd || disabled)
            SetFocus(NULL);
    }
    if (!(w = PeekWindowRecord(hwnd)))
        return;
    if (in.active == hwnd && !(w->style & WS_VISIBLE))
        Activate(NextToActivate(hwnd), WA_ACTIVE);
}

void ResetInputState()
{
    Input() = InputState{};
    ResetCursorState();
    ForgetCaret(NULL);
}

} // namespace platform

using namespace platform;

HWND SetFocus(HWND hWnd)
{
    InputState& in = Input();
    HWND before = in.focus;
    if (!hWnd) {
        KillFocusQuietly();
        return before;
    }
    Window* w = FindWindowRecord(hWnd);
    if (!w || !IsUsable(*w) || (w->style & WS_DISABLED))
        return NULL;
    if (hWnd == before)
        return before;
    Window* top = TopLevelOf(*w);
    if (top && top->handle != in.active) {
        Activate(top->handle, WA_ACTIVE);
        if (!IsWindow(hWnd))
            return NULL;
    }
    HWND current = in.focus;
    if (current == hWnd)
        return before;
    in.focus = hWnd;
    if (current && IsWindow(current))
        SendMessage(current, WM_KILLFOCUS, WPARAM(hWnd), 0);
    if (in.focus == hWnd && IsWindow(hWnd))
        SendMessage(hWnd, WM_SETFOCUS, WPARAM(current), 0);
    return before;
}

HWND GetFocus()
{
    return Input().focus;
}

HWND SetActiveWindow(HWND hWnd)
{
    if (hWnd) {
        Window* w = FindWindowRecord(hWnd);
        if (!w || !IsUsable(*w) || !IsTopLevel(*w))
            return NULL;
    }
    return Activate(hWnd, WA_ACTIVE);
}

HWND GetActiveWindow()
{
    return Input().active;
}

HWND GetForegroundWindow()
{
    return Input().appActive ? Input().active : NULL;
}

BOOL SetForegroundWindow(HWND hWnd)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w || !IsUsable(*w))
        return FALSE;
    Window* top = TopLevelOf(*w);
    if (!top)
        return FALSE;
    Activate(top->handle, WA_ACTIVE);
    if (Input().active != top->handle)
        return FALSE;
    // Activation inside the program is not enough when another program (a
    // second copy that has just ended, say) holds the desktop's keyboard.
    if (HasDriver())
        GetDriver().BringSurfaceToFront(top->handle);
    return TRUE;
}
