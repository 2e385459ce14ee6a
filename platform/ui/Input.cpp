// Mouse input: which window the pointer is over (WM_NCHITTEST), the cursor
// (WM_SETCURSOR), activation by a click (WM_MOUSEACTIVATE), client and
// non-client button messages, double clicks and capture.

#include "platform/base/Clock.h"
#include "platform/ui/internal/Driver.h"
#include "platform/ui/internal/InputEvents.h"
#include "platform/ui/internal/InputState.h"
#include "platform/ui/internal/Queue.h"
#include "platform/ui/internal/Window.h"

#include <algorithm>
#include <cstdlib>

namespace platform {

namespace {

// Non-client button messages sit this far below their client forms.
constexpr UINT kNonClientOffset = WM_LBUTTONDOWN - WM_NCLBUTTONDOWN;

struct Target {
    HWND hwnd = NULL;
    int hit = HTNOWHERE;
    bool disabled = false; // a disabled top-level window: nothing but WM_SETCURSOR
};

bool Contains(const RECT& r, POINT p)
{
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

bool Skipped(const std::vector<HWND>& skip, HWND h)
{
    return std::find(skip.begin(), skip.end(), h) != skip.end();
}

// The deepest visible, enabled window under the point, not counting the
// skipped ones (windows that answered HTTRANSPARENT).
HWND WindowUnder(POINT screen, const std::vector<HWND>& skip, bool& disabledTop)
{
    disabledTop = false;
    Window* desktop = PeekWindowRecord(Ws().desktop);
    if (!desktop)
        return NULL;
    HWND found = NULL;
    for (HWND h : desktop->children) {
        Window* w = PeekWindowRecord(h);
        if (w && IsUsable(*w) && (w->style & WS_VISIBLE) && Contains(w->windowRect, screen) && !Skipped(skip, h)) {
            found = h;
            disabledTop = (w->style & WS_DISABLED) != 0;
            break;
        }
    }
    if (!found || disabledTop)
        return found;
    for (int depth = 0; depth < 1000; ++depth) {
        Window* w = PeekWindowRecord(found);
        if (!w || !Contains(w->clientRect, screen))
            break;
        HWND next = NULL;
        for (HWND c : w->children) {
            Window* cw = PeekWindowRecord(c);
            if (cw && IsUsable(*cw) && (cw->style & WS_VISIBLE) && !(cw->style & WS_DISABLED)
                && Contains(cw->windowRect, screen) && !Skipped(skip, c)) {
                next = c;
                break;
            }
        }
        if (!next)
            break;
        found = next;
    }
    return found;
}

Target HitTest(POINT screen)
{
    Target t;
    std::vector<HWND> skip;
    for (int tries = 0; tries < 16; ++tries) {
        bool disabledTop = false;
        HWND h = WindowUnder(screen, skip, disabledTop);
        if (!h)
            return Target{};
        if (disabledTop)
            return Target{h, HTERROR, true};
        LRESULT hit = SendMessage(h, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
        if (!IsWindow(h))
            return Target{};
        if (int(hit) != HTTRANSPARENT)
            return Target{h, int(hit), false};
        skip.push_back(h);
    }
    return t;
}

UINT MouseKeyFlags()
{
    const KeyBytes& k = Input().keys;
    UINT flags = 0;
    if (k[VK_LBUTTON] & 0x80)
        flags |= MK_LBUTTON;
    if (k[VK_RBUTTON] & 0x80)
        flags |= MK_RBUTTON;
    if (k[VK_MBUTTON] & 0x80)
        flags |= MK_MBUTTON;
    if (k[VK_SHIFT] & 0x80)
        flags |= MK_SHIFT;
    if (k[VK_CONTROL] & 0x80)
        flags |= MK_CONTROL;
    return flags;
}

void SendSetCursor(const Target& t, UINT mouseMessage)
{
    if (!IsWindow(t.hwnd))
        return;
    LRESULT handled = SendMessage(t.hwnd, WM_SETCURSOR, WPARAM(t.hwnd), MAKELPARAM(t.hit, mouseMessage));
    // Nobody chose a cursor (a class without one): the arrow.
    if (!handled)
        SetCursor(LoadCursor(NULL, IDC_ARROW));
}

void PostMouse(HWND hwnd, UINT message, bool client, int hit, POINT screen)
{
    Window* w = PeekWindowRecord(hwnd);
    if (!w)
        return;
    MSG m{};
    m.hwnd = hwnd;
    m.message = message;
    if (client) {
        m.wParam = MouseKeyFlags();
        m.lParam = MAKELPARAM(screen.x - w->clientRect.left, screen.y - w->clientRect.top);
    } else {
        m.wParam = WPARAM(hit);
        m.lParam = MAKELPARAM(screen.x, screen.y);
    }
    m.pt = screen;
    m.time = GetTickCount();
    // Moves pile up while the program is busy; only the latest matters.
    std::deque<MSG>& input = Ws().queue.input;
    if ((message == WM_MOUSEMOVE || message == WM_NCMOUSEMOVE) && !input.empty()) {
        MSG& last = input.back();
        if (last.message == message && last.hwnd == hwnd && last.wParam == m.wParam) {
            last = m;
            return;
        }
    }
    PostInputMessage(m);
}

UINT ButtonVirtualKey(MouseButton button)
{
    return button == MouseButton::Right ? VK_RBUTTON : button == MouseButton::Middle ? VK_MBUTTON : VK_LBUTTON;
}

UINT ButtonDownMessage(MouseButton button)
{
    return button == MouseButton::Right ? WM_RBUTTONDOWN : button == MouseButton::Middle ? WM_MBUTTONDOWN : WM_LBUTTONDOWN;
}

// Whether this press completes a double click with the one before, which
// must have been the same button on the same window and part of it, close
// in time and place.
bool CompletesDoubleClick(HWND hwnd, UINT downMessage, POINT screen)
{
    InputState& in = Input();
    DWORD now = GetTickCount();
    bool pair = in.lastClickWindow == hwnd && in.lastClickMessage == downMessage
        && DWORD(now - in.lastClickTime) <= GetDoubleClickTime()
        && std::abs(screen.x - in.lastClickPoint.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2
        && std::abs(screen.y - in.lastClickPoint.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    if (pair) {
        // A third press starts afresh.
        in.lastClickWindow = NULL;
        return true;
    }
    in.lastClickWindow = hwnd;
    in.lastClickMessage = downMessage;
    in.lastClickTime = now;
    in.lastClickPoint = screen;
    return false;
}

bool WantsDoubleClicks(HWND hwnd)
{
    Window* w = PeekWindowRecord(hwnd);
    return w && w->windowClass && (w->windowClass->style & CS_DBLCLKS);
}

// Whether the window is, or lies inside, an MDI child that is not the active
// child of its MDI client: a click there activates that child even while the
// frame is already the active window.
bool InsideInactiveMdiChild(HWND hwnd)
{
    for (int depth = 0; hwnd && depth < 1000; ++depth) {
        LONG_PTR style = GetWindowLongPtr(hwnd, GWL_STYLE);
        if (!(style & WS_CHILD))
            return false;
        HWND parent = GetParent(hwnd);
        if ((GetWindowLongPtr(hwnd, GWL_EXSTYLE) & WS_EX_MDICHILD) && parent
            && HWND(SendMessage(parent, WM_MDIGETACTIVE, 0, 0)) != hwnd)
            return true;
        hwnd = parent;
    }
    return false;
}

// A click on a window disabled by a modal dialog brings the dialog forward.
void ClickOnDisabled(HWND topLevel)
{
    if (HasDriver())
        GetDriver().Beep();
    HWND popup = GetLastActivePopup(topLevel);
    if (popup && popup != topLevel && IsWindowEnabled(popup))
        Activate(popup, WA_CLICKACTIVE);
}

} // namespace

void DeliverMouseMove(POINT screen)
{
    InputState& in = Input();
    if (in.capture) {
        PostMouse(in.capture, WM_MOUSEMOVE, true, HTCLIENT, screen);
        return;
    }
    Target t = HitTest(screen);
    if (!t.hwnd)
        return;
    SendSetCursor(t, WM_MOUSEMOVE);
    if (t.disabled)
        return;
    bool client = t.hit == HTCLIENT;
    PostMouse(t.hwnd, client ? WM_MOUSEMOVE : WM_NCMOUSEMOVE, client, t.hit, screen);
}

void DeliverMouseButton(MouseButton button, bool down, POINT screen)
{
    InputState& in = Input();
    UINT vk = ButtonVirtualKey(button);
    if (down)
        in.keys[vk] |= 0x80;
    else
        in.keys[vk] &= BYTE(~0x80);
    UINT downMessage = ButtonDownMessage(button);
    UINT clientMessage = down ? downMessage : downMessage + 1;

    Target t;
    if (in.capture) {
        t.hwnd = in.capture;
        t.hit = HTCLIENT;
    } else {
        t = HitTest(screen);
        if (!t.hwnd)
            return;
        if (t.disabled) {
            if (down) {
                SendSetCursor(t, clientMessage);
                ClickOnDisabled(t.hwnd);
            }
            return;
        }
        bool eat = false;
        if (down) {
            Window* w = PeekWindowRecord(t.hwnd);
            Window* top = w ? TopLevelOf(*w) : nullptr;
            HWND topLevel = top ? top->handle : NULL;
            bool topInactive = topLevel && (topLevel != in.active || !in.appActive);
            if (topLevel && (topInactive || InsideInactiveMdiChild(t.hwnd))) {
                LRESULT r = SendMessage(
                    t.hwnd, WM_MOUSEACTIVATE, WPARAM(topLevel), MAKELPARAM(t.hit, clientMessage));
                if (topInactive && r != MA_NOACTIVATE && r != MA_NOACTIVATEANDEAT)
                    Activate(topLevel, WA_CLICKACTIVE);
                eat = r == MA_ACTIVATEANDEAT || r == MA_NOACTIVATEANDEAT;
                if (!IsWindow(t.hwnd))
                    return;
            }
        }
        SendSetCursor(t, clientMessage);
        if (eat || !IsWindow(t.hwnd))
            return;
    }

    bool client = t.hit == HTCLIENT;
    UINT message = client ? clientMessage : clientMessage - kNonClientOffset;
    if (down && CompletesDoubleClick(t.hwnd, message, screen) && (!client || WantsDoubleClicks(t.hwnd)))
        message += 2;
    PostMouse(t.hwnd, message, client, t.hit, screen);
}

void DeliverMouseWheel(int delta, POINT screen)
{
    InputState& in = Input();
    HWND target = in.focus ? in.focus : in.active;
    if (!target)
        return;
    MSG m{};
    m.hwnd = target;
    m.message = WM_MOUSEWHEEL;
    m.wParam = MAKEWPARAM(MouseKeyFlags(), WORD(SHORT(std::clamp(delta, -32768, 32767))));
    m.lParam = MAKELPARAM(screen.x, screen.y);
    m.pt = screen;
    m.time = GetTickCount();
    PostInputMessage(m);
}

} // namespace platform

using namespace platform;

// Follows the mouse until it leaves a small square around `pt` (a drag) or
// the left button comes up (a click).
BOOL DragDetect(HWND hwnd, POINT pt)
{
    if (!IsWindow(hwnd))
        return FALSE;
    int cx = std::max(1, GetSystemMetrics(SM_CXDRAG));
    int cy = std::max(1, GetSystemMetrics(SM_CYDRAG));
    RECT square{pt.x - cx, pt.y - cy, pt.x + cx + 1, pt.y + cy + 1};
    SetCapture(hwnd);
    BOOL dragged = FALSE;
    for (;;) {
        MSG m;
        if (PeekMessage(&m, NULL, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
            if (m.message == WM_LBUTTONUP)
                break;
            if (m.message == WM_MOUSEMOVE && !Contains(square, m.pt)) {
                dragged = TRUE;
                break;
            }
            continue;
        }
        if (GetCapture() != hwnd || !(Input().keys[VK_LBUTTON] & 0x80))
            break;
        Driver& driver = GetDriver();
        if (!driver.PollEvents() && !driver.WaitEvents(INFINITE))
            break;
    }
    if (GetCapture() == hwnd)
        ReleaseCapture();
    return dragged;
}
