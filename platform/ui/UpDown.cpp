// The up-down control: two arrow buttons that step a position within a
// range, optionally showing it as the text of a buddy window and taking
// the arrow keys from the buddy. The owner may veto or change a step
// through UDN_DELTAPOS and hears of it through WM_VSCROLL / WM_HSCROLL.

#include "platform/gdi/Gdi.h"
#include "platform/ui/CommCtrl.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/CommCtrlShared.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>

namespace platform {
namespace {

constexpr int DefaultWidth = 16;

struct UpDownState {
    int lower = 100; // the classic default range runs backwards
    int upper = 0;
    int pos = 0;
    HWND buddy = NULL;
    int pressed = 0; // +1 up/right half, -1 down/left half, 0 none
};

// Buddies whose arrow keys an up-down takes: buddy -> (old procedure, up-down).
struct BuddyHook {
    WNDPROC previous;
    HWND updown;
};
std::map<HWND, BuddyHook>& Hooks()
{
    static std::map<HWND, BuddyHook> hooks;
    return hooks;
}

DWORD StyleOf(HWND hwnd)
{
    return static_cast<DWORD>(GetWindowLongPtr(hwnd, GWL_STYLE));
}

int Clamp(const UpDownState& s, int v)
{
    return std::clamp(v, std::min(s.lower, s.upper), std::max(s.lower, s.upper));
}

std::string Format(int value, bool thousands)
{
    std::string digits = std::to_string(value < 0 ? -static_cast<long long>(value) : value);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (thousands && i > 0 && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return value < 0 ? "-" + out : out;
}

// The buddy's number, or false when its text is not one.
bool ReadBuddy(HWND buddy, int& value)
{
    char text[64] = {};
    GetWindowText(buddy, text, sizeof text);
    std::string digits;
    for (const char* p = text; *p; ++p)
        if (*p != ',' && *p != ' ')
            digits += *p;
    if (digits.empty())
        return false;
    char* end = nullptr;
    long v = std::strtol(digits.c_str(), &end, 10);
    if (*end != '\0')
        return false;
    value = static_cast<int>(std::clamp<long>(v, -0x7FFFFFFF, 0x7FFFFFFF));
    return true;
}

void ShowInBuddy(HWND hwnd, const UpDownState& s)
{
    if (s.buddy && (StyleOf(hwnd) & UDS_SETBUDDYINT))
        SetWindowText(s.buddy, Format(s.pos, !(StyleOf(hwnd) & UDS_NOTHOUSANDS)).c_str());
}

LRESULT CALLBACK BuddyProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto it = Hooks().find(hwnd);
    if (it == Hooks().end())
        return DefWindowProc(hwnd, msg, wParam, lParam);
    BuddyHook hook = it->second;
    if (msg == WM_KEYDOWN && (wParam == VK_UP || wParam == VK_DOWN)) {
        SendMessage(hook.updown, WM_KEYDOWN, wParam, lParam);
        return 0;
    }
    if (msg == WM_NCDESTROY)
        Hooks().erase(hwnd);
    return CallWindowProc(hook.previous, hwnd, msg, wParam, lParam);
}

void Unhook(HWND buddy)
{
    auto it = Hooks().find(buddy);
    if (it == Hooks().end())
        return;
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtr(buddy, GWLP_WNDPROC)) == BuddyProc)
        SetWindowLongPtr(buddy, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(it->second.previous));
    Hooks().erase(it);
}

// Places the control beside its buddy and narrows the buddy to make room.
void Align(HWND hwnd, const UpDownState& s)
{
    DWORD style = StyleOf(hwnd);
    if (!s.buddy || !(style & (UDS_ALIGNLEFT | UDS_ALIGNRIGHT)))
        return;
    HWND parent = GetParent(hwnd);
    RECT br{};
    GetWindowRect(s.buddy, &br);
    MapWindowPoints(NULL, parent, reinterpret_cast<POINT*>(&br), 2);
    RECT own{};
    GetWindowRect(hwnd, &own);
    int w = own.right > own.left ? static_cast<int>(own.right - own.left) : DefaultWidth;
    w = std::min<int>(w, br.right - br.left);
    if (style & UDS_ALIGNRIGHT) {
        SetWindowPos(s.buddy, NULL, br.left, br.top, br.right - br.left - w, br.bottom - br.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowPos(hwnd, NULL, br.right - w, br.top, w, br.bottom - br.top, SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        SetWindowPos(s.buddy, NULL, br.left + w, br.top, br.right - br.left - w, br.bottom - br.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowPos(hwnd, NULL, br.left, br.top, w, br.bottom - br.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

HWND SetBuddy(HWND hwnd, UpDownState& s, HWND buddy)
{
    HWND old = s.buddy;
    if (old)
        Unhook(old);
    s.buddy = IsWindow(buddy) ? buddy : NULL;
    if (s.buddy && (StyleOf(hwnd) & UDS_ARROWKEYS) && !Hooks().count(s.buddy)) {
        auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtr(s.buddy, GWLP_WNDPROC));
        Hooks()[s.buddy] = BuddyHook{previous, hwnd};
        SetWindowLongPtr(s.buddy, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BuddyProc));
    }
    Align(hwnd, s);
    return old;
}

// One step up (+1) or down (-1): asks the owner, moves, tells the owner.
void Step(HWND hwnd, UpDownState& s, int direction)
{
    DWORD style = StyleOf(hwnd);
    if ((style & UDS_SETBUDDYINT) && s.buddy) {
        int v = 0;
        if (ReadBuddy(s.buddy, v))
            s.pos = Clamp(s, v);
    }
    // "Up" moves toward the upper bound, whichever way the range runs.
    int delta = (s.upper >= s.lower) ? direction : -direction;
    NMUPDOWN nm{};
    nm.iPos = s.pos;
    nm.iDelta = delta;
    HWND self = hwnd;
    if (SendControlNotify(hwnd, nm.hdr, UDN_DELTAPOS))
        return;
    UpDownState* alive = ControlState<UpDownState>(self);
    if (!alive)
        return;
    int lo = std::min(alive->lower, alive->upper);
    int hi = std::max(alive->lower, alive->upper);
    long long next = static_cast<long long>(alive->pos) + nm.iDelta;
    if (next < lo || next > hi) {
        if (!(style & UDS_WRAP))
            next = std::clamp<long long>(next, lo, hi);
        else
            next = next < lo ? hi : lo;
    }
    if (static_cast<int>(next) == alive->pos && !(style & UDS_WRAP))
        return;
    alive->pos = static_cast<int>(next);
    ShowInBuddy(hwnd, *alive);
    UINT scroll = (style & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL;
    SendMessage(GetParent(hwnd), scroll, MAKEWPARAM(SB_THUMBPOSITION, alive->pos), reinterpret_cast<LPARAM>(hwnd));
}

void Paint(HWND hwnd, UpDownState& s)
{
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r{};
    GetClientRect(hwnd, &r);
    bool horizontal = (StyleOf(hwnd) & UDS_HORZ) != 0;
    RECT halves[2] = {r, r}; // [0] up/right, [1] down/left
    if (horizontal) {
        halves[1].right = halves[0].left = (r.left + r.right) / 2;
    } else {
        halves[0].bottom = halves[1].top = (r.top + r.bottom) / 2;
    }
    COLORREF ink = GetSysColor(IsWindowEnabled(hwnd) ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
    for (int i = 0; i < 2; ++i) {
        RECT h = halves[i];
        FillRect(dc, &h, GetSysColorBrush(COLOR_BTNFACE));
        bool down = s.pressed == (i == 0 ? 1 : -1);
        RECT edge = h;
        DrawEdge(dc, &edge, down ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        int cx = (h.left + h.right) / 2 + (down ? 1 : 0);
        int cy = (h.top + h.bottom) / 2 + (down ? 1 : 0);
        // A small triangle pointing away from the other half.
        for (int k = 0; k < 3; ++k) {
            for (int t = -k; t <= k; ++t) {
                int step = i == 0 ? k - 1 : 1 - k;
                if (horizontal)
                    SetPixelV(dc, cx - step, cy + t, ink);
                else
                    SetPixelV(dc, cx + t, cy + step, ink);
            }
        }
    }
    EndPaint(hwnd, &ps);
}

int HalfAt(HWND hwnd, LPARAM lParam)
{
    RECT r{};
    GetClientRect(hwnd, &r);
    if (StyleOf(hwnd) & UDS_HORZ)
        return GET_X_LPARAM(lParam) >= (r.left + r.right) / 2 ? 1 : -1;
    return GET_Y_LPARAM(lParam) < (r.top + r.bottom) / 2 ? 1 : -1;
}

LRESULT CALLBACK UpDownProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCDESTROY) {
        if (UpDownState* s = ControlState<UpDownState>(hwnd); s && s->buddy)
            Unhook(s->buddy);
    }
    UpDownState* s = AttachControlState<UpDownState>(hwnd, msg);
    if (!s)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_CREATE:
        if (StyleOf(hwnd) & UDS_AUTOBUDDY)
            SetBuddy(hwnd, *s, GetWindow(hwnd, GW_HWNDPREV));
        return 0;
    case WM_PAINT:
        Paint(hwnd, *s);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (!IsWindowEnabled(hwnd))
            return 0;
        s->pressed = HalfAt(hwnd, lParam);
        SetCapture(hwnd);
        InvalidateRect(hwnd, NULL, TRUE);
        Step(hwnd, *s, s->pressed);
        return 0;
    case WM_LBUTTONUP:
        if (s->pressed) {
            s->pressed = 0;
            if (GetCapture() == hwnd)
                ReleaseCapture();
            InvalidateRect(hwnd, NULL, TRUE);
            UINT scroll = (StyleOf(hwnd) & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL;
            SendMessage(GetParent(hwnd), scroll, MAKEWPARAM(SB_ENDSCROLL, s->pos), reinterpret_cast<LPARAM>(hwnd));
        }
        return 0;
    case WM_CAPTURECHANGED:
        if (s->pressed) {
            s->pressed = 0;
            InvalidateRect(hwnd, NULL, TRUE);
        }
        return 0;
    case WM_KEYDOWN:
        if ((StyleOf(hwnd) & UDS_ARROWKEYS) && (wParam == VK_UP || wParam == VK_DOWN)) {
            Step(hwnd, *s, wParam == VK_UP ? 1 : -1);
            return 0;
        }
        return DefWindowProc(hwnd, msg, wParam, lParam);
    case UDM_SETRANGE:
        s->upper = static_cast<short>(LOWORD(lParam));
        s->lower = static_cast<short>(HIWORD(lParam));
        s->pos = Clamp(*s, s->pos);
        return 0;
    case UDM_GETRANGE:
        return MAKELRESULT(s->upper, s->lower);
    case UDM_SETRANGE32:
        s->lower = static_cast<int>(wParam);
        s->upper = static_cast<int>(lParam);
        s->pos = Clamp(*s, s->pos);
        return 0;
    case UDM_GETRANGE32:
        if (wParam)
            *reinterpret_cast<int*>(wParam) = s->lower;
        if (lParam)
            *reinterpret_cast<int*>(lParam) = s->upper;
        return 0;
    case UDM_SETPOS: {
        int old = s->pos;
        s->pos = Clamp(*s, static_cast<short>(LOWORD(lParam)));
        ShowInBuddy(hwnd, *s);
        return old;
    }
    case UDM_GETPOS: {
        if ((StyleOf(hwnd) & UDS_SETBUDDYINT) && s->buddy) {
            int v = 0;
            if (!ReadBuddy(s->buddy, v))
                return MAKELRESULT(s->pos, 1);
            s->pos = Clamp(*s, v);
        }
        return MAKELRESULT(s->pos, 0);
    }
    case UDM_SETBUDDY:
        return reinterpret_cast<LRESULT>(SetBuddy(hwnd, *s, reinterpret_cast<HWND>(wParam)));
    case UDM_GETBUDDY:
        return reinterpret_cast<LRESULT>(s->buddy);
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

} // namespace

void RegisterUpDownClass()
{
    RegisterControlClass(UPDOWN_CLASS, UpDownProc, CS_DBLCLKS, COLOR_BTNFACE);
}

} // namespace platform
