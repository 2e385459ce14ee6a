// DefWindowProc: what a window does with a message its procedure passes on.

#include "platform/gdi/Display.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiDefs.h"
#include "platform/ui/internal/Driver.h"
#include "platform/ui/internal/MenuBar.h"
#include "platform/ui/internal/NonClient.h"
#include "platform/ui/internal/Paint.h"
#include "platform/ui/internal/SizeMove.h"
#include "platform/ui/internal/Window.h"

#include <algorithm>
#include <cstring>

namespace platform {

SurfaceInfo DescribeSurface(const Window& w);
LRESULT TrackWindowScrollBar(HWND hwnd, int bar, POINT screen);

namespace {

// WM_CONTEXTMENU's point when the keyboard asked for the menu: the window
// places it itself.
constexpr LPARAM kContextMenuFromKeyboard = LPARAM(-1);

POINT ParentOrigin(const Window& w)
{
    if (Window* p = PeekWindowRecord(w.parent))
        return POINT{p->clientRect.left, p->clientRect.top};
    return POINT{0, 0};
}

HWND RootOf(HWND hwnd)
{
    Window* w = PeekWindowRecord(hwnd);
    Window* top = w ? TopLevelOf(*w) : nullptr;
    return top ? top->handle : hwnd;
}

// The MDI child that holds hwnd (itself, or the nearest such ancestor).
HWND EnclosingMdiChild(HWND hwnd)
{
    for (int depth = 0; hwnd && depth < 1000; ++depth) {
        Window* w = PeekWindowRecord(hwnd);
        if (!w || !(w->style & WS_CHILD))
            return NULL;
        if (w->exStyle & WS_EX_MDICHILD)
            return hwnd;
        hwnd = w->parent;
    }
    return NULL;
}

HBRUSH ClassBackground(const Window& w)
{
    HBRUSH brush = w.windowClass ? w.windowClass->background : NULL;
    // (HBRUSH)(COLOR_* + 1) names a system colour.
    ULONG_PTR value = ULONG_PTR(brush);
    if (value > 0 && value <= COLOR_GRADIENTINACTIVECAPTION + 1)
        return GetSysColorBrush(int(value - 1));
    return brush;
}

// A resizable top-level window keeps to the tracking sizes its
// WM_GETMINMAXINFO answer asks for, whether the program or the user's drag
// sized it. Only limits the window set itself apply: windows here have
// always been free to be sized past the system's defaults, and code relies
// on that.
void KeepTrackingSize(HWND hwnd, WINDOWPOS* wp)
{
    Window* w = PeekWindowRecord(hwnd);
    if (!w || !wp || (wp->flags & SWP_NOSIZE) || !(w->style & WS_THICKFRAME)
        || (w->style & (WS_CHILD | WS_MINIMIZE | WS_MAXIMIZE)))
        return;
    SIZE screen = GetScreenSize();
    SIZE frame = FrameSize(w->style, w->exStyle);
    const POINT minTrack{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    const POINT maxTrack{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    MINMAXINFO mmi{};
    mmi.ptMaxSize = POINT{screen.cx + 2 * frame.cx, screen.cy + 2 * frame.cy};
    mmi.ptMaxPosition = POINT{-frame.cx, -frame.cy};
    mmi.ptMinTrackSize = minTrack;
    mmi.ptMaxTrackSize = maxTrack;
    CallProcedure(hwnd, WM_GETMINMAXINFO, 0, LPARAM(&mmi));
    if (mmi.ptMaxTrackSize.x != maxTrack.x)
        wp->cx = std::min<int>(wp->cx, mmi.ptMaxTrackSize.x);
    if (mmi.ptMaxTrackSize.y != maxTrack.y)
        wp->cy = std::min<int>(wp->cy, mmi.ptMaxTrackSize.y);
    if (mmi.ptMinTrackSize.x != minTrack.x)
        wp->cx = std::max<int>(wp->cx, mmi.ptMinTrackSize.x);
    if (mmi.ptMinTrackSize.y != minTrack.y)
        wp->cy = std::max<int>(wp->cy, mmi.ptMinTrackSize.y);
}

LRESULT EraseBackground(HWND hwnd, HDC hdc)
{
    Window* w = PeekWindowRecord(hwnd);
    if (!w || !hdc)
        return 0;
    HBRUSH brush = ClassBackground(*w);
    if (!brush)
        return 0;
    RECT r{0, 0, w->clientRect.right - w->clientRect.left, w->clientRect.bottom - w->clientRect.top};
    FillRect(hdc, &r, brush);
    return 1;
}

LRESULT SetCursorDefault(HWND hwnd, WPARAM wParam, LPARAM lParam)
{
    Window* w = PeekWindowRecord(hwnd);
    if (!w)
        return FALSE;
    // A parent may set the cursor for its children first.
    if ((w->style & WS_CHILD) && CallProcedure(w->parent, WM_SETCURSOR, wParam, lParam))
        return TRUE;
    if (!(w = PeekWindowRecord(hwnd)))
        return FALSE;
    int hit = SHORT(LOWORD(lParam));
    LPCSTR shape = IDC_ARROW;
    switch (hit) {
    case HTCLIENT:
        if (!w->windowClass || !w->windowClass->cursor)
            return FALSE;
        SetCursor(w->windowClass->cursor);
        return TRUE;
    case HTLEFT:
    case HTRIGHT:
        shape = IDC_SIZEWE;
        break;
    case HTTOP:
    case HTBOTTOM:
        shape = IDC_SIZENS;
        break;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
        shape = IDC_SIZENWSE;
        break;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
        shape = IDC_SIZENESW;
        break;
    case HTERROR:
        return FALSE;
    default:
        break;
    }
    SetCursor(LoadCursor(NULL, shape));
    return TRUE;
}

LRESULT SysCommand(HWND hwnd, WPARAM wParam, LPARAM lParam)
{
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (wParam & 0xFFF0) {
    case SC_MOVE:
    case SC_SIZE:
        TrackSizeMove(hwnd, wParam, pt);
        return 0;
    case SC_CLOSE:
        SendMessage(hwnd, WM_CLOSE, 0, 0);
        return 0;
    case SC_MINIMIZE:
        ShowWindow(hwnd, SW_MINIMIZE);
        return 0;
    case SC_MAXIMIZE:
        ShowWindow(hwnd, SW_MAXIMIZE);
        return 0;
    case SC_RESTORE:
        ShowWindow(hwnd, SW_RESTORE);
        return 0;
    case SC_KEYMENU:
        TrackMenuBarKey(hwnd, UINT(lParam));
        return 0;
    case SC_MOUSEMENU:
        // A click on the caption's icon opens the system menu there.
        if ((wParam & 0x000F) == HTSYSMENU)
            TrackSystemMenuFromIcon(hwnd);
        else
            TrackMenuBarMouse(hwnd, pt);
        return 0;
    case SC_VSCROLL:
    case SC_HSCROLL:
        TrackWindowScrollBar(hwnd, (wParam & 0xFFF0) == SC_VSCROLL ? SB_VERT : SB_HORZ,
            POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    default:
        return 0;
    }
}

// The system command a caption box stands for in the window's state now.
WPARAM BoxCommand(HWND hwnd, WPARAM hit)
{
    switch (hit) {
    case HTMINBUTTON:
        return IsIconic(hwnd) ? SC_RESTORE : SC_MINIMIZE;
    case HTMAXBUTTON:
        return IsZoomed(hwnd) ? SC_RESTORE : SC_MAXIMIZE;
    default:
        return SC_CLOSE;
    }
}

LRESULT NcButtonDown(HWND hwnd, WPARAM hit, LPARAM lParam)
{
    switch (hit) {
    case HTMENU:
        SendMessage(hwnd, WM_SYSCOMMAND, SC_MOUSEMENU + HTMENU, lParam);
        return 0;
    case HTVSCROLL:
        SendMessage(hwnd, WM_SYSCOMMAND, SC_VSCROLL + HTVSCROLL, lParam);
        return 0;
    case HTHSCROLL:
        SendMessage(hwnd, WM_SYSCOMMAND, SC_HSCROLL + HTHSCROLL, lParam);
        return 0;
    case HTSYSMENU:
        SendMessage(hwnd, WM_SYSCOMMAND, SC_MOUSEMENU + HTSYSMENU, lParam);
        return 0;
    case HTCAPTION:
        SendMessage(hwnd, WM_SYSCOMMAND, SC_MOVE + HTCAPTION, lParam);
        return 0;
    case HTLEFT:
    case HTRIGHT:
    case HTTOP:
    case HTTOPLEFT:
    case HTTOPRIGHT:
    case HTBOTTOM:
    case HTBOTTOMLEFT:
    case HTBOTTOMRIGHT:
        // The hit codes run in the order of WM_SIZING's edges.
        SendMessage(hwnd, WM_SYSCOMMAND, SC_SIZE + (hit - HTLEFT + WMSZ_LEFT), lParam);
        return 0;
    case HTMINBUTTON:
    case HTMAXBUTTON:
    case HTCLOSE:
        // A box acts when the button is let go over it, so a press can be
        // taken back by moving off first.
        if (TrackCaptionBox(hwnd, int(hit))) {
            POINT at{};
            GetCursorPos(&at);
            SendMessage(hwnd, WM_SYSCOMMAND, BoxCommand(hwnd, hit), MAKELPARAM(at.x, at.y));
        }
        return 0;
    default:
        return 0;
    }
}

LRESULT NcDoubleClick(HWND hwnd, WPARAM hit, LPARAM lParam)
{
    Window* w = PeekWindowRecord(hwnd);
    if (!w)
        return 0;
    switch (hit) {
    case HTVSCROLL:
    case HTHSCROLL:
    case HTMINBUTTON:
    case HTMAXBUTTON:
    case HTCLOSE:
        // Quick clicks on a scroll bar or a box act as often as they click.
        return NcButtonDown(hwnd, hit, lParam);
    case HTSYSMENU:
        SendMessage(hwnd, WM_SYSCOMMAND, SC_CLOSE, lParam);
        return 0;
    case HTCAPTION:
        // Top-level and MDI child windows alike: a title bar comes back to
        // its size, a window with a maximise box toggles.
        if (w->style & WS_MINIMIZE)
            SendMessage(hwnd, WM_SYSCOMMAND, SC_RESTORE, lParam);
        else if (w->style & WS_MAXIMIZEBOX)
            SendMessage(hwnd, WM_SYSCOMMAND, (w->style & WS_MAXIMIZE) ? SC_RESTORE : SC_MAXIMIZE, lParam);
        return 0;
    default:
        return 0;
    }
}

} // namespace

} // namespace platform

using namespace platform;

LRESULT DefWindowProc(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w)
        return 0;
    switch (Msg) {
    case WM_NCCREATE:
        return TRUE;
    case WM_NCCALCSIZE:
        if (wParam) {
            auto* p = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
            if (p)
                p->rgrc[0] = ClientFromWindowRect(*w, p->rgrc[0]);
        } else if (lParam) {
            RECT* r = reinterpret_cast<RECT*>(lParam);
            *r = ClientFromWindowRect(*w, *r);
        }
        return 0;
    case WM_NCHITTEST:
        return NonClientHitTest(*w, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_NCPAINT:
        PaintNonClient(hWnd);
        return 0;
    case WM_NCACTIVATE:
        if (w->captionActive != (wParam != 0)) {
            w->captionActive = wParam != 0;
            if ((w->style & WS_CAPTION) == WS_CAPTION)
                InvalidateWindowFrame(hWnd);
        }
        return TRUE;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        if (BeginPaint(hWnd, &ps))
            EndPaint(hWnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return EraseBackground(hWnd, HDC(wParam));
    case WM_SETREDRAW:
        w->redrawDisabled = !wParam;
        return 0;
    case WM_SETTEXT: {
        LPCSTR text = reinterpret_cast<LPCSTR>(lParam);
        w->text = text ? std::string(text, strnlen(text, 65535)) : std::string();
        // The desktop shows the title of a top-level window in its own
        // decoration too, so it hears of the change now, not at the next frame.
        if (IsTopLevel(*w) && HasDriver())
            GetDriver().UpdateSurface(hWnd, DescribeSurface(*w));
        if (!(w = PeekWindowRecord(hWnd)))
            return TRUE;
        if ((w->style & WS_CAPTION) == WS_CAPTION)
            InvalidateWindowFrame(hWnd);
        return TRUE;
    }
    case WM_GETTEXT: {
        LPSTR buffer = reinterpret_cast<LPSTR>(lParam);
        if (!buffer || wParam == 0)
            return 0;
        size_t n = std::min<size_t>(w->text.size(), size_t(wParam) - 1);
        std::memcpy(buffer, w->text.data(), n);
        buffer[n] = 0;
        return LRESULT(n);
    }
    case WM_GETTEXTLENGTH:
        return LRESULT(w->text.size());
    case WM_CLOSE:
        DestroyWindow(hWnd);
        return 0;
    case WM_QUERYENDSESSION:
    case WM_QUERYOPEN:
        return TRUE;
    case WM_WINDOWPOSCHANGING:
        KeepTrackingSize(hWnd, reinterpret_cast<WINDOWPOS*>(lParam));
        return 0;
    case WM_WINDOWPOSCHANGED: {
        const WINDOWPOS* wp = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (!wp)
            return 0;
        RECT client = w->clientRect;
        POINT origin = ParentOrigin(*w);
        DWORD style = w->style;
        if (!(wp->flags & SWP_NOMOVE))
            SendMessage(hWnd, WM_MOVE, 0, MAKELPARAM(client.left - origin.x, client.top - origin.y));
        if (!(wp->flags & SWP_NOSIZE) || (wp->flags & SWP_FRAMECHANGED)) {
            WPARAM type = (style & WS_MINIMIZE) ? SIZE_MINIMIZED : (style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED;
            SendMessage(hWnd, WM_SIZE, type, MAKELPARAM(client.right - client.left, client.bottom - client.top));
        }
        return 0;
    }
    case WM_SETCURSOR:
        return SetCursorDefault(hWnd, wParam, lParam);
    case WM_MOUSEACTIVATE:
        if (w->style & WS_CHILD) {
            LRESULT r = SendMessage(w->parent, WM_MOUSEACTIVATE, wParam, lParam);
            if (r)
                return r;
        }
        return MA_ACTIVATE;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && !(w->style & WS_MINIMIZE))
            SetFocus(hWnd);
        return 0;
    case WM_CANCELMODE:
        if (GetCapture() == hWnd)
            ReleaseCapture();
        return 0;
    case WM_SYSCOMMAND:
        return SysCommand(hWnd, wParam, lParam);
    case WM_NCLBUTTONDOWN:
        return NcButtonDown(hWnd, wParam, lParam);
    case WM_NCLBUTTONDBLCLK:
        return NcDoubleClick(hWnd, wParam, lParam);
    case WM_RBUTTONUP: {
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(hWnd, &pt);
        SendMessage(hWnd, WM_CONTEXTMENU, WPARAM(hWnd), MAKELPARAM(pt.x, pt.y));
        return 0;
    }
    case WM_KEYUP:
        if (wParam == VK_APPS)
            SendMessage(hWnd, WM_CONTEXTMENU, WPARAM(hWnd), kContextMenuFromKeyboard);
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4 && (HIWORD(lParam) & KF_ALTDOWN))
            SendMessage(RootOf(hWnd), WM_SYSCOMMAND, SC_CLOSE, 0);
        else if (wParam == VK_F10 && GetKeyState(VK_SHIFT) < 0)
            SendMessage(hWnd, WM_CONTEXTMENU, WPARAM(hWnd), kContextMenuFromKeyboard);
        return 0;
    case WM_SYSKEYUP:
        // Alt or F10 alone opens the menu bar of the top-level window;
        // Shift+F10 asked for the context menu instead.
        if (wParam == VK_MENU || (wParam == VK_F10 && GetKeyState(VK_SHIFT) >= 0))
            SendMessage(RootOf(hWnd), WM_SYSCOMMAND, SC_KEYMENU, 0);
        return 0;
    case WM_SYSCHAR:
        if (HIWORD(lParam) & KF_ALTDOWN) {
            // Alt+minus is the document window's system menu, Alt with any
            // other key the top-level window's menus.
            HWND target = NULL;
            if (wParam == '-')
                target = EnclosingMdiChild(hWnd);
            SendMessage(target ? target : RootOf(hWnd), WM_SYSCOMMAND, SC_KEYMENU, LPARAM(BYTE(wParam)));
        }
        return 0;
    case WM_CONTEXTMENU:
    case WM_MOUSEWHEEL:
    case WM_HELP:
        if (w->style & WS_CHILD)
            return SendMessage(w->parent, Msg, wParam, lParam);
        return 0;
    case WM_CHARTOITEM:
    case WM_VKEYTOITEM:
        return -1;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
        HDC hdc = HDC(wParam);
        bool field = Msg == WM_CTLCOLOREDIT || Msg == WM_CTLCOLORLISTBOX;
        SetTextColor(hdc, GetSysColor(field ? COLOR_WINDOWTEXT : COLOR_BTNTEXT));
        SetBkColor(hdc, GetSysColor(field ? COLOR_WINDOW : COLOR_BTNFACE));
        if (Msg == WM_CTLCOLORSCROLLBAR)
            return LRESULT(GetSysColorBrush(COLOR_SCROLLBAR));
        return LRESULT(GetSysColorBrush(field ? COLOR_WINDOW : COLOR_BTNFACE));
    }
    case WM_NOTIFYFORMAT:
        return 1; // NFR_ANSI
    case WM_GETICON:
        return LRESULT(wParam == ICON_BIG ? w->bigIcon : w->smallIcon);
    case WM_SETICON: {
        HICON& slot = wParam == ICON_BIG ? w->bigIcon : w->smallIcon;
        HICON old = slot;
        slot = HICON(lParam);
        return LRESULT(old);
    }
    default:
        return 0;
    }
}
