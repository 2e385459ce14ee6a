// Holding a caption box, and moving and sizing a window with the mouse or
// the arrow keys. The window follows the pointer as it goes (no outline):
// each step asks WM_MOVING or WM_SIZING with the proposed rectangle in
// screen coordinates, keeps the size within the WM_GETMINMAXINFO tracking
// limits, and moves the window there. WM_ENTERSIZEMOVE and WM_EXITSIZEMOVE
// bracket the loop.

#include "platform/base/Geometry.h"
#include "platform/gdi/Display.h"
#include "platform/ui/internal/NonClient.h"
#include "platform/ui/internal/Paint.h"
#include "platform/ui/internal/Queue.h"
#include "platform/ui/internal/SizeMove.h"
#include "platform/ui/internal/Window.h"

#include <algorithm>

namespace platform {
namespace {

// How far one arrow key moves a window or an edge.
constexpr int kKeyStep = 8;

struct BoxTracking {
    HWND hwnd = NULL;
    int hit = HTNOWHERE;
    bool armed = false;
    BoxTracking* outer = nullptr;
};

BoxTracking* g_box = nullptr;

bool IsMouseMessage(UINT m)
{
    return (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) || (m >= WM_NCMOUSEMOVE && m <= WM_NCMBUTTONDBLCLK);
}

bool IsKeyMessage(UINT m)
{
    return m >= WM_KEYFIRST && m <= WM_KEYLAST;
}

bool IsButtonDown(UINT m)
{
    return m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_NCLBUTTONDOWN || m == WM_NCRBUTTONDOWN;
}

bool IsLeftUp(UINT m)
{
    return m == WM_LBUTTONUP || m == WM_NCLBUTTONUP;
}

bool OverBox(HWND hwnd, int hit, POINT screen)
{
    Window* w = PeekWindowRecord(hwnd);
    if (!w)
        return false;
    RECT box = CaptionBoxRect(*w, hit);
    return PtInRect(&box, screen) != FALSE;
}

// ---- Moving and sizing ------------------------------------------------------------------------

struct Edges {
    bool left = false;
    bool right = false;
    bool top = false;
    bool bottom = false;

    bool Any() const { return left || right || top || bottom; }
};

Edges EdgesOf(int wmsz)
{
    Edges e;
    e.left = wmsz == WMSZ_LEFT || wmsz == WMSZ_TOPLEFT || wmsz == WMSZ_BOTTOMLEFT;
    e.right = wmsz == WMSZ_RIGHT || wmsz == WMSZ_TOPRIGHT || wmsz == WMSZ_BOTTOMRIGHT;
    e.top = wmsz == WMSZ_TOP || wmsz == WMSZ_TOPLEFT || wmsz == WMSZ_TOPRIGHT;
    e.bottom = wmsz == WMSZ_BOTTOM || wmsz == WMSZ_BOTTOMLEFT || wmsz == WMSZ_BOTTOMRIGHT;
    return e;
}

int WmszOf(const Edges& e)
{
    if (e.top)
        return e.left ? WMSZ_TOPLEFT : e.right ? WMSZ_TOPRIGHT : WMSZ_TOP;
    if (e.bottom)
        return e.left ? WMSZ_BOTTOMLEFT : e.right ? WMSZ_BOTTOMRIGHT : WMSZ_BOTTOM;
    return e.left ? WMSZ_LEFT : WMSZ_RIGHT;
}

struct SizeMove {
    HWND hwnd = NULL;
    bool sizing = false;
    bool keyboard = false;
    Edges edges;
    RECT start{}; // screen coordinates
    POINT anchor{}; // where the pointer took hold
    POINT pointer{};
    RECT bounds{}; // where the pointer may go (a child's parent client area)
    POINT minTrack{};
    POINT maxTrack{};
};

RECT ScreenRectOf(HWND hwnd)
{
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

// The area the pointer is held to: the parent's client area for a child,
// so that its caption cannot be dragged out of reach; the screen otherwise.
RECT PointerBounds(HWND hwnd)
{
    Window* w = PeekWindowRecord(hwnd);
    if (w && (w->style & WS_CHILD)) {
        if (Window* p = PeekWindowRecord(w->parent))
            return p->clientRect;
    }
    SIZE screen = GetScreenSize();
    return RECT{0, 0, screen.cx, screen.cy};
}

void AskTrackingLimits(SizeMove& s)
{
    Window* w = PeekWindowRecord(s.hwnd);
    if (!w)
        return;
    SIZE area = GetScreenSize();
    if (!IsTopLevel(*w)) {
        if (Window* p = PeekWindowRecord(w->parent))
            area = SIZE{p->clientRect.right - p->clientRect.left, p->clientRect.bottom - p->clientRect.top};
    }
    SIZE frame = FrameSize(w->style, w->exStyle);
    MINMAXINFO mmi{};
    mmi.ptMaxSize = POINT{area.cx + 2 * frame.cx, area.cy + 2 * frame.cy};
    mmi.ptMaxPosition = POINT{-frame.cx, -frame.cy};
    mmi.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    mmi.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    SendMessage(s.hwnd, WM_GETMINMAXINFO, 0, LPARAM(&mmi));
    s.minTrack = POINT{std::max<LONG>(0, mmi.ptMinTrackSize.x), std::max<LONG>(0, mmi.ptMinTrackSize.y)};
    s.maxTrack = POINT{std::max(s.minTrack.x, mmi.ptMaxTrackSize.x), std::max(s.minTrack.y, mmi.ptMaxTrackSize.y)};
}

// Keeps a sized rectangle within the tracking limits, moving only the
// edges being dragged.
void ClampSize(const SizeMove& s, RECT& r)
{
    LONG width = std::clamp<LONG>(r.right - r.left, s.minTrack.x, s.maxTrack.x);
    LONG height = std::clamp<LONG>(r.bottom - r.top, s.minTrack.y, s.maxTrack.y);
    if (s.edges.left)
        r.left = r.right - width;
    else
        r.right = r.left + width;
    if (s.edges.top)
        r.top = r.bottom - height;
    else
        r.bottom = r.top + height;
}

// The rectangle the pointer asks for now.
RECT Proposed(const SizeMove& s)
{
    LONG dx = s.pointer.x - s.anchor.x;
    LONG dy = s.pointer.y - s.anchor.y;
    RECT r = s.start;
    if (!s.sizing) {
        OffsetRect(&r, dx, dy);
        return r;
    }
    if (s.edges.left)
        r.left += dx;
    if (s.edges.right)
        r.right += dx;
    if (s.edges.top)
        r.top += dy;
    if (s.edges.bottom)
        r.bottom += dy;
    ClampSize(s, r);
    return r;
}

// Puts the window at `r` (screen coordinates), as the program's answer to
// WM_MOVING or WM_SIZING leaves it.
void Apply(SizeMove& s, RECT r, bool ask)
{
    if (ask) {
        if (s.sizing)
            SendMessage(s.hwnd, WM_SIZING, WPARAM(WmszOf(s.edges)), LPARAM(&r));
        else
            SendMessage(s.hwnd, WM_MOVING, 0, LPARAM(&r));
        if (!IsWindow(s.hwnd))
            return;
        if (r.right < r.left)
            r.right = r.left;
        if (r.bottom < r.top)
            r.bottom = r.top;
    }
    RECT now = ScreenRectOf(s.hwnd);
    if (EqualRect(&now, &r))
        return;
    POINT origin{r.left, r.top};
    if (HWND parent = GetParent(s.hwnd); parent && (GetWindowLong(s.hwnd, GWL_STYLE) & WS_CHILD))
        ScreenToClient(parent, &origin);
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (!s.sizing)
        flags |= SWP_NOSIZE;
    SetWindowPos(s.hwnd, NULL, origin.x, origin.y, r.right - r.left, r.bottom - r.top, flags);
}

void FollowPointer(SizeMove& s, POINT p)
{
    p.x = std::clamp<LONG>(p.x, s.bounds.left, std::max(s.bounds.left, s.bounds.right - 1));
    p.y = std::clamp<LONG>(p.y, s.bounds.top, std::max(s.bounds.top, s.bounds.bottom - 1));
    if (p.x == s.pointer.x && p.y == s.pointer.y)
        return;
    s.pointer = p;
    if (s.sizing && !s.edges.Any())
        return; // keyboard sizing waits for an arrow to pick an edge
    Apply(s, Proposed(s), true);
}

// Keyboard sizing: the first arrow of each direction picks the edge it
// points at and puts the pointer on it.
bool PickEdge(SizeMove& s, UINT vk)
{
    RECT r = ScreenRectOf(s.hwnd);
    bool horizontal = vk == VK_LEFT || vk == VK_RIGHT;
    if (horizontal ? (s.edges.left || s.edges.right) : (s.edges.top || s.edges.bottom))
        return false;
    // The edges already picked keep what they moved; the new one starts
    // from where the window is now.
    s.start = r;
    s.anchor = s.pointer;
    if (vk == VK_LEFT)
        s.edges.left = true;
    else if (vk == VK_RIGHT)
        s.edges.right = true;
    else if (vk == VK_UP)
        s.edges.top = true;
    else
        s.edges.bottom = true;
    POINT p = s.pointer;
    if (horizontal)
        p.x = s.edges.left ? r.left : r.right - 1;
    else
        p.y = s.edges.top ? r.top : r.bottom - 1;
    s.pointer = s.anchor = p;
    SetCursorPos(p.x, p.y);
    return true;
}

void ArrowKey(SizeMove& s, UINT vk)
{
    if (s.sizing && PickEdge(s, vk))
        return;
    POINT p = s.pointer;
    switch (vk) {
    case VK_LEFT:
        p.x -= kKeyStep;
        break;
    case VK_RIGHT:
        p.x += kKeyStep;
        break;
    case VK_UP:
        p.y -= kKeyStep;
        break;
    default:
        p.y += kKeyStep;
        break;
    }
    FollowPointer(s, p);
    if (IsWindow(s.hwnd))
        SetCursorPos(s.pointer.x, s.pointer.y);
}

enum class Ending {
    Accepted,
    Cancelled,
    Lost,
    Quit,
};

Ending RunSizeMove(SizeMove& s, WPARAM& quitCode)
{
    for (;;) {
        if (!IsWindow(s.hwnd) || GetCapture() != s.hwnd)
            return Ending::Lost;
        if (!s.keyboard && !LeftButtonStillHeld())
            return Ending::Accepted;
        MSG msg{};
        BOOL got = GetMessage(&msg, NULL, 0, 0);
        if (got == 0) {
            quitCode = msg.wParam;
            return Ending::Quit;
        }
        if (got < 0)
            return Ending::Lost;
        if (!IsWindow(s.hwnd) || GetCapture() != s.hwnd) {
            DispatchMessage(&msg);
            continue;
        }
        if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
            FollowPointer(s, msg.pt);
            continue;
        }
        if (IsLeftUp(msg.message)) {
            if (!s.keyboard) {
                FollowPointer(s, msg.pt);
                return Ending::Accepted;
            }
            continue;
        }
        if (IsButtonDown(msg.message) && s.keyboard)
            return Ending::Accepted;
        if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
            switch (msg.wParam) {
            case VK_ESCAPE:
                return Ending::Cancelled;
            case VK_RETURN:
                return Ending::Accepted;
            case VK_LEFT:
            case VK_RIGHT:
            case VK_UP:
            case VK_DOWN:
                ArrowKey(s, UINT(msg.wParam));
                break;
            default:
                break;
            }
            continue;
        }
        // The loop owns the mouse and the keys; painting, timers and posted
        // messages go on.
        if (!IsMouseMessage(msg.message) && !IsKeyMessage(msg.message))
            DispatchMessage(&msg);
    }
}

} // namespace

CaptionPress CaptionPressOf(HWND hwnd)
{
    for (const BoxTracking* t = g_box; t; t = t->outer) {
        if (t->hwnd == hwnd)
            return CaptionPress{t->hit, t->armed};
    }
    return CaptionPress{};
}

bool TrackCaptionBox(HWND hwnd, int hit)
{
    if (!IsWindow(hwnd))
        return false;
    SetCapture(hwnd);
    if (GetCapture() != hwnd)
        return false;
    POINT at{};
    GetCursorPos(&at);
    BoxTracking t;
    t.hwnd = hwnd;
    t.hit = hit;
    t.armed = true;
    t.outer = g_box;
    g_box = &t;
    InvalidateWindowFrame(hwnd);
    bool released = false;
    bool quit = false;
    WPARAM quitCode = 0;
    for (;;) {
        if (!IsWindow(hwnd) || GetCapture() != hwnd)
            break;
        if (!LeftButtonStillHeld()) {
            released = t.armed;
            break;
        }
        MSG msg{};
        BOOL got = GetMessage(&msg, NULL, 0, 0);
        if (got <= 0) {
            quit = got == 0;
            quitCode = msg.wParam;
            break;
        }
        if (!IsWindow(hwnd) || GetCapture() != hwnd) {
            DispatchMessage(&msg);
            continue;
        }
        if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE || IsLeftUp(msg.message)) {
            bool armed = OverBox(hwnd, hit, msg.pt);
            if (armed != t.armed) {
                t.armed = armed;
                InvalidateWindowFrame(hwnd);
            }
            if (IsLeftUp(msg.message)) {
                released = armed;
                break;
            }
            continue;
        }
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE)
            break;
        if (!IsMouseMessage(msg.message) && !IsKeyMessage(msg.message))
            DispatchMessage(&msg);
    }
    g_box = t.outer;
    if (IsWindow(hwnd)) {
        if (GetCapture() == hwnd)
            ReleaseCapture();
        InvalidateWindowFrame(hwnd);
    }
    if (quit)
        PostQuitMessage(int(quitCode));
    return released && IsWindow(hwnd);
}

void TrackSizeMove(HWND hwnd, WPARAM command, POINT screen)
{
    Window* w = PeekWindowRecord(hwnd);
    if (!w || (w->style & WS_MAXIMIZE) || (w->style & WS_DISABLED) || !(w->style & WS_VISIBLE))
        return;
    SizeMove s;
    s.hwnd = hwnd;
    s.sizing = (command & 0xFFF0) == SC_SIZE;
    if (s.sizing && (!(w->style & WS_THICKFRAME) || (w->style & WS_MINIMIZE)))
        return;
    int where = int(command & 0x000F);
    s.keyboard = s.sizing ? where == 0 : where != HTCAPTION;
    if (s.sizing && !s.keyboard) {
        if (where > WMSZ_BOTTOMRIGHT)
            return;
        s.edges = EdgesOf(where);
    }
    s.start = w->windowRect;
    s.bounds = PointerBounds(hwnd);
    if (s.keyboard) {
        // The pointer goes to the caption's middle for a move and to the
        // window's for a sizing, where the keys take it from.
        RECT r = s.start;
        int captionHeight = GetSystemMetrics((w->exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
        screen = POINT{(r.left + r.right) / 2, s.sizing ? (r.top + r.bottom) / 2 : r.top + captionHeight / 2};
        SetCursorPos(screen.x, screen.y);
    }
    s.anchor = s.pointer = screen;

    SendMessage(hwnd, WM_ENTERSIZEMOVE, 0, 0);
    if (!IsWindow(hwnd))
        return;
    if (s.sizing)
        AskTrackingLimits(s);
    if (!IsWindow(hwnd))
        return;
    SetCapture(hwnd);
    WPARAM quitCode = 0;
    Ending ending = GetCapture() == hwnd ? RunSizeMove(s, quitCode) : Ending::Lost;
    if (IsWindow(hwnd)) {
        if (ending == Ending::Cancelled)
            Apply(s, s.start, false);
        if (GetCapture() == hwnd)
            ReleaseCapture();
        SendMessage(hwnd, WM_EXITSIZEMOVE, 0, 0);
    }
    if (ending == Ending::Quit)
        PostQuitMessage(int(quitCode));
}

} // namespace platform
