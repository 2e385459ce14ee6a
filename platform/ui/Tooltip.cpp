// The tooltip: an owned popup that shows a tool's text after the mouse has
// rested over the tool for the initial delay. Its owner relays mouse
// messages (TTM_RELAYEVENT); hover delays run on window timers, so they
// follow the injectable clock.

#include "platform/base/Clock.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/CommCtrl.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/CommCtrlShared.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace platform {
namespace {

constexpr UINT_PTR ShowTimer = 1;
constexpr UINT_PTR PopTimer = 2;
// While a tool is hovered or its tip is up, how often the pointer is looked
// for: its owner relays nothing once the pointer has left its window.
constexpr UINT_PTR LeaveTimer = 3;
constexpr UINT LeaveCheckInterval = 100;
constexpr size_t MaxTools = 4096;
constexpr int PadX = 3;
constexpr int PadY = 2;

struct Tool {
    UINT flags = 0;
    HWND hwnd = NULL;
    UINT_PTR id = 0;
    RECT rect{};
    HINSTANCE instance = NULL;
    bool callback = false;
    std::string text;
    LPARAM lParam = 0;
};

struct TooltipState {
    std::vector<Tool> tools;
    bool active = true;
    HFONT font = NULL;
    UINT initial = 500;
    UINT autoPop = 5000;
    UINT reshow = 100;
    int hover = -1; // the tool under the mouse
    int shown = -1; // the tool whose tip is up
    std::string shownText;
    DWORD lastHidden = 0; // tick count: a quick move to a neighbour reshows sooner
    bool wasShown = false;
    POINT relayedAt{}; // the pointer when the owner last relayed a move
};

bool SameTool(const Tool& t, HWND hwnd, UINT_PTR id)
{
    return t.hwnd == hwnd && t.id == id;
}

int FindTool(const TooltipState& s, const TOOLINFOA* info)
{
    if (!info)
        return -1;
    for (size_t i = 0; i < s.tools.size(); ++i)
        if (SameTool(s.tools[i], info->hwnd, info->uId))
            return static_cast<int>(i);
    return -1;
}

void StoreText(Tool& t, const TOOLINFOA& info)
{
    t.instance = info.hinst;
    t.callback = info.lpszText == LPSTR_TEXTCALLBACK;
    t.text = ResolveItemText(info.hinst, info.lpszText);
}

// The tool under a point given in the client coordinates of `window`. A
// window tool takes only points inside that window: a window holding the
// mouse captured (a combo box with its list down) hears of moves far
// outside itself.
int ToolAt(const TooltipState& s, HWND window, POINT pt)
{
    for (size_t i = 0; i < s.tools.size(); ++i) {
        const Tool& t = s.tools[i];
        if (t.flags & TTF_IDISHWND) {
            RECT client{};
            if (reinterpret_cast<HWND>(t.id) == window && GetClientRect(window, &client) && PtInRect(&client, pt))
                return static_cast<int>(i);
        } else if (t.hwnd == window && PtInRect(&t.rect, pt)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// The tip up now, of any tooltip control: the pointer is over one tool.
HWND g_tipShown = NULL;

// Whether the pointer is off the tool. Until the pointer moves the owner's
// last report stands, unless a window has come over the tool since (a list
// dropped over it); once it has moved, the window under it and the tool's
// rectangle decide.
bool PointerLeftTool(const TooltipState& s, const Tool& t)
{
    POINT pt{};
    if (!GetCursorPos(&pt))
        return false;
    HWND toolWindow = (t.flags & TTF_IDISHWND) ? reinterpret_cast<HWND>(t.id) : t.hwnd;
    HWND under = WindowFromPoint(pt);
    bool overTool = under == toolWindow || IsChild(toolWindow, under);
    if (pt.x == s.relayedAt.x && pt.y == s.relayedAt.y)
        return !overTool && under != NULL && under != GetDesktopWindow();
    if (!overTool)
        return true;
    if (t.flags & TTF_IDISHWND)
        return false;
    ScreenToClient(t.hwnd, &pt);
    return PtInRect(&t.rect, pt) == FALSE;
}

// A tip has no business on screen while some window holds the mouse (a
// button pressed, a list dropped, a menu or a drag under way), nor once its
// tool is out from under the pointer.
bool ToolOutOfReach(const TooltipState& s, const Tool& t)
{
    return GetCapture() != NULL || PointerLeftTool(s, t);
}

std::string TextOf(HWND hwnd, const Tool& t)
{
    if (!t.callback)
        return t.text;
    NMTTDISPINFOA info{};
    info.hinst = NULL;
    info.uFlags = t.flags;
    info.lParam = t.lParam;
    info.hdr.hwndFrom = hwnd;
    info.hdr.idFrom = t.id;
    info.hdr.code = TTN_NEEDTEXT;
    SendMessage(t.hwnd, WM_NOTIFY, t.id, reinterpret_cast<LPARAM>(&info));
    if (info.lpszText && info.lpszText != LPSTR_TEXTCALLBACK) {
        if (IS_INTRESOURCE(info.lpszText))
            return ResolveItemText(info.hinst, info.lpszText);
        return std::string(info.lpszText);
    }
    info.szText[sizeof info.szText - 1] = '\0';
    return std::string(info.szText);
}

SIZE TipSize(const TooltipState& s, const std::string& text)
{
    HDC dc = GetDC(NULL);
    HGDIOBJ old = SelectObject(dc, ControlFont(s.font));
    RECT r{0, 0, 0, 0};
    DrawText(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
    SelectObject(dc, old);
    ReleaseDC(NULL, dc);
    return SIZE{r.right - r.left + 2 * PadX + 2, r.bottom - r.top + 2 * PadY + 2};
}

void Hide(HWND hwnd, TooltipState& s)
{
    KillTimer(hwnd, PopTimer);
    if (s.shown < 0)
        return;
    const Tool t = s.tools[static_cast<size_t>(s.shown)];
    s.shown = -1;
    if (g_tipShown == hwnd)
        g_tipShown = NULL;
    s.lastHidden = GetTickCount();
    s.wasShown = true;
    ShowWindow(hwnd, SW_HIDE);
    NMHDR hdr{};
    hdr.hwndFrom = hwnd;
    hdr.idFrom = t.id;
    hdr.code = TTN_POP;
    SendMessage(t.hwnd, WM_NOTIFY, t.id, reinterpret_cast<LPARAM>(&hdr));
}

void Show(HWND hwnd, TooltipState& s, int index)
{
    if (index < 0 || index >= static_cast<int>(s.tools.size()))
        return;
    Tool t = s.tools[static_cast<size_t>(index)];
    std::string text = TextOf(hwnd, t);
    // The owner may have changed the tools, or closed us, while answering.
    if (!StillAttached(hwnd, s) || text.empty() || index >= static_cast<int>(s.tools.size()) ||
        !SameTool(s.tools[static_cast<size_t>(index)], t.hwnd, t.id))
        return;
    // Another control's tip (a neighbouring bar's) goes first.
    if (g_tipShown && g_tipShown != hwnd && IsWindow(g_tipShown))
        SendMessage(g_tipShown, TTM_POP, 0, 0);
    if (!StillAttached(hwnd, s) || index >= static_cast<int>(s.tools.size()))
        return;
    s.shown = index;
    s.shownText = text;
    g_tipShown = hwnd;
    SetWindowText(hwnd, text.c_str());
    SIZE size = TipSize(s, text);
    POINT at{};
    GetCursorPos(&at);
    if (t.flags & TTF_CENTERTIP) {
        RECT r = t.rect;
        if (t.flags & TTF_IDISHWND)
            GetClientRect(reinterpret_cast<HWND>(t.id), &r);
        POINT corner{r.left, r.bottom};
        ClientToScreen((t.flags & TTF_IDISHWND) ? reinterpret_cast<HWND>(t.id) : t.hwnd, &corner);
        at.x = corner.x + (r.right - r.left - size.cx) / 2;
        at.y = corner.y + 2;
    } else {
        at.y += 20; // below the arrow cursor
    }
    int screenW = GetSystemMetrics(SM_CXSCREEN);
    int screenH = GetSystemMetrics(SM_CYSCREEN);
    at.x = std::max(0, std::min<int>(at.x, screenW - size.cx));
    if (at.y + size.cy > screenH)
        at.y = std::max(0, static_cast<int>(at.y) - 40 - size.cy);
    SetWindowPos(hwnd, HWND_TOPMOST, at.x, at.y, size.cx, size.cy, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(hwnd, NULL, TRUE);
    SetTimer(hwnd, PopTimer, s.autoPop, nullptr);
    NMHDR hdr{};
    hdr.hwndFrom = hwnd;
    hdr.idFrom = t.id;
    hdr.code = TTN_SHOW;
    SendMessage(t.hwnd, WM_NOTIFY, t.id, reinterpret_cast<LPARAM>(&hdr));
}

void Relay(HWND hwnd, TooltipState& s, const MSG& m)
{
    switch (m.message) {
    case WM_MOUSEMOVE: {
        GetCursorPos(&s.relayedAt);
        POINT pt{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)};
        int tool = s.active && GetCapture() == NULL ? ToolAt(s, m.hwnd, pt) : -1;
        if (tool == s.hover)
            return;
        bool recently = s.shown >= 0 || (s.wasShown && GetTickCount() - s.lastHidden < s.autoPop);
        Hide(hwnd, s);
        if (!StillAttached(hwnd, s))
            return;
        s.hover = tool;
        KillTimer(hwnd, ShowTimer);
        if (tool >= 0) {
            SetTimer(hwnd, ShowTimer, recently ? s.reshow : s.initial, nullptr);
            SetTimer(hwnd, LeaveTimer, LeaveCheckInterval, nullptr);
        } else {
            KillTimer(hwnd, LeaveTimer);
        }
        return;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        // A click dismisses the tip; it comes back only after leaving the tool.
        KillTimer(hwnd, ShowTimer);
        Hide(hwnd, s);
        if (StillAttached(hwnd, s))
            s.wasShown = false;
        return;
    default:
        return;
    }
}

void Paint(HWND hwnd, TooltipState& s)
{
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r{};
    GetClientRect(hwnd, &r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_INFOBK));
    FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
    HGDIOBJ old = SelectObject(dc, ControlFont(s.font));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    RECT text{r.left + 1 + PadX, r.top + 1 + PadY, r.right - 1 - PadX, r.bottom - 1 - PadY};
    UINT prefix = (GetWindowLongPtr(hwnd, GWL_STYLE) & TTS_NOPREFIX) ? DT_NOPREFIX : 0;
    DrawText(dc, s.shownText.c_str(), static_cast<int>(s.shownText.size()), &text, DT_SINGLELINE | prefix);
    SelectObject(dc, old);
    EndPaint(hwnd, &ps);
}

void FillInfo(const Tool& t, TOOLINFOA& info)
{
    info.uFlags = t.flags;
    info.rect = t.rect;
    info.hinst = t.instance;
    info.lParam = t.lParam;
    if (t.callback) {
        info.lpszText = LPSTR_TEXTCALLBACK;
    } else if (info.lpszText && !IS_INTRESOURCE(info.lpszText)) {
        // The caller's buffer holds 80 characters, as for TTN_NEEDTEXT.
        size_t n = std::min<size_t>(t.text.size(), 79);
        std::memcpy(info.lpszText, t.text.data(), n);
        info.lpszText[n] = '\0';
    }
}

LRESULT CALLBACK TooltipProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TooltipState* s = AttachControlState<TooltipState>(hwnd, msg);
    if (!s)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_PAINT:
        Paint(hwnd, *s);
        return 0;
    case WM_TIMER:
        if (wParam == ShowTimer) {
            KillTimer(hwnd, ShowTimer);
            if (s->active && s->hover >= 0 && s->hover < static_cast<int>(s->tools.size())
                && !ToolOutOfReach(*s, s->tools[static_cast<size_t>(s->hover)]))
                Show(hwnd, *s, s->hover);
        } else if (wParam == PopTimer) {
            Hide(hwnd, *s);
        } else if (wParam == LeaveTimer) {
            // The pointer left the tool without the owner seeing it go
            // (straight onto another window, or the tool was covered), or
            // a window took the mouse: the tip and the wait end.
            int tool = s->shown >= 0 ? s->shown : s->hover;
            if (tool < 0 || tool >= static_cast<int>(s->tools.size())
                || ToolOutOfReach(*s, s->tools[static_cast<size_t>(tool)])) {
                KillTimer(hwnd, LeaveTimer);
                KillTimer(hwnd, ShowTimer);
                Hide(hwnd, *s);
                if (StillAttached(hwnd, *s))
                    s->hover = -1;
            }
        }
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    case WM_SETFONT:
        s->font = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(s->font);
    case TTM_ACTIVATE:
        s->active = wParam != 0;
        if (!s->active) {
            KillTimer(hwnd, ShowTimer);
            Hide(hwnd, *s);
            s->hover = -1;
        }
        return 0;
    case TTM_SETDELAYTIME: {
        int value = static_cast<int>(static_cast<short>(LOWORD(lParam)));
        switch (wParam) {
        case TTDT_AUTOMATIC:
            s->initial = value < 0 ? 500 : static_cast<UINT>(value);
            s->autoPop = s->initial * 10;
            s->reshow = s->initial / 5;
            break;
        case TTDT_INITIAL: s->initial = value < 0 ? 500 : static_cast<UINT>(value); break;
        case TTDT_AUTOPOP: s->autoPop = value < 0 ? 5000 : static_cast<UINT>(value); break;
        case TTDT_RESHOW: s->reshow = value < 0 ? 100 : static_cast<UINT>(value); break;
        default: break;
        }
        return 0;
    }
    case TTM_ADDTOOL: {
        const TOOLINFOA* info = reinterpret_cast<const TOOLINFOA*>(lParam);
        if (!info || s->tools.size() >= MaxTools)
            return FALSE;
        Tool t;
        t.flags = info->uFlags;
        t.hwnd = info->hwnd;
        t.id = info->uId;
        t.rect = info->rect;
        t.lParam = info->lParam;
        StoreText(t, *info);
        int existing = FindTool(*s, info);
        if (existing >= 0)
            s->tools[static_cast<size_t>(existing)] = t;
        else
            s->tools.push_back(t);
        return TRUE;
    }
    case TTM_DELTOOL: {
        int index = FindTool(*s, reinterpret_cast<const TOOLINFOA*>(lParam));
        if (index < 0)
            return 0;
        if (s->shown == index)
            Hide(hwnd, *s);
        if (s->hover == index) {
            KillTimer(hwnd, ShowTimer);
            s->hover = -1;
        }
        s->tools.erase(s->tools.begin() + index);
        if (s->hover > index)
            --s->hover;
        if (s->shown > index)
            --s->shown;
        return 0;
    }
    case TTM_NEWTOOLRECT: {
        const TOOLINFOA* info = reinterpret_cast<const TOOLINFOA*>(lParam);
        int index = FindTool(*s, info);
        if (index >= 0)
            s->tools[static_cast<size_t>(index)].rect = info->rect;
        return 0;
    }
    case TTM_UPDATETIPTEXT: {
        const TOOLINFOA* info = reinterpret_cast<const TOOLINFOA*>(lParam);
        int index = FindTool(*s, info);
        if (index < 0)
            return 0;
        StoreText(s->tools[static_cast<size_t>(index)], *info);
        if (s->shown == index)
            Show(hwnd, *s, index);
        return 0;
    }
    case TTM_GETTOOLINFO:
    case TTM_GETTEXT: {
        TOOLINFOA* info = reinterpret_cast<TOOLINFOA*>(lParam);
        int index = FindTool(*s, info);
        if (index < 0)
            return FALSE;
        const Tool& t = s->tools[static_cast<size_t>(index)];
        if (msg == TTM_GETTEXT) {
            // The caller's buffer holds 80 characters, as for TTN_NEEDTEXT;
            // a longer text is cut rather than written past its end.
            if (info->lpszText && !IS_INTRESOURCE(info->lpszText) && !t.callback) {
                size_t n = std::min<size_t>(t.text.size(), 79);
                std::memcpy(info->lpszText, t.text.data(), n);
                info->lpszText[n] = '\0';
            }
            return 0;
        }
        FillInfo(t, *info);
        return TRUE;
    }
    case TTM_SETTOOLINFO: {
        const TOOLINFOA* info = reinterpret_cast<const TOOLINFOA*>(lParam);
        int index = FindTool(*s, info);
        if (index < 0)
            return 0;
        Tool& t = s->tools[static_cast<size_t>(index)];
        t.flags = info->uFlags;
        t.rect = info->rect;
        t.lParam = info->lParam;
        StoreText(t, *info);
        return 0;
    }
    case TTM_GETTOOLCOUNT:
        return static_cast<LRESULT>(s->tools.size());
    case TTM_RELAYEVENT:
        if (lParam)
            Relay(hwnd, *s, *reinterpret_cast<const MSG*>(lParam));
        return 0;
    case TTM_POP:
        Hide(hwnd, *s);
        return 0;
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

} // namespace

void RegisterTooltipClass()
{
    RegisterControlClass(TOOLTIPS_CLASS, TooltipProc, 0, COLOR_INFOBK);
}

} // namespace platform
