// Show state, minimise/maximise, placement and enabling.

#include "platform/base/Geometry.h"
#include "platform/gdi/Display.h"
#include "platform/ui/internal/InputEvents.h"
#include "platform/ui/internal/NonClient.h"
#include "platform/ui/internal/Window.h"

namespace platform {
namespace {

POINT ParentOrigin(const Window& w)
{
    if (Window* p = PeekWindowRecord(w.parent))
        return POINT{p->clientRect.left, p->clientRect.top};
    return POINT{0, 0};
}

RECT RectInParent(const Window& w)
{
    POINT o = ParentOrigin(w);
    RECT r = w.windowRect;
    OffsetRect(&r, -o.x, -o.y);
    return r;
}

RECT MaximizedRect(HWND hwnd)
{
    Window* w = PeekWindowRecord(hwnd);
    SIZE area = GetScreenSize();
    if (w && !IsTopLevel(*w)) {
        if (Window* p = PeekWindowRecord(w->parent))
            area = SIZE{p->clientRect.right - p->clientRect.left, p->clientRect.bottom - p->clientRect.top};
    }
    SIZE frame = w ? FrameSize(w->style, w->exStyle) : SIZE{0, 0};
    MINMAXINFO mmi{};
    mmi.ptMaxSize = POINT{area.cx + 2 * frame.cx, area.cy + 2 * frame.cy};
    mmi.ptMaxPosition = POINT{-frame.cx, -frame.cy};
    mmi.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    mmi.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    CallProcedure(hwnd, WM_GETMINMAXINFO, 0, LPARAM(&mmi));
    return RECT{mmi.ptMaxPosition.x, mmi.ptMaxPosition.y, mmi.ptMaxPosition.x + mmi.ptMaxSize.x,
        mmi.ptMaxPosition.y + mmi.ptMaxSize.y};
}

RECT MinimizedRect(const Window& w)
{
    int cx = GetSystemMetrics(SM_CXMINIMIZED);
    int cy = GetSystemMetrics(SM_CYMINIMIZED);
    POINT p = w.minPosition;
    if (p.x == -1 && p.y == -1) {
        SIZE screen = GetScreenSize();
        p = POINT{0, screen.cy - cy};
    }
    return RECT{p.x, p.y, p.x + cx, p.y + cy};
}

enum class SizeState {
    Minimized,
    Maximized,
    Restored,
};

// Moves between restored, minimised and maximised, keeping the restored
// rectangle to come back to.
void ChangeSizeState(HWND hwnd, SizeState target, UINT extraFlags)
{
    Window* w = PeekWindowRecord(hwnd);
    if (!w)
        return;
    bool restored = !(w->style & (WS_MINIMIZE | WS_MAXIMIZE));
    if (restored)
        w->normalRect = RectInParent(*w);
    RECT r{};
    switch (target) {
    case SizeState::Minimized:
        if (w->style & WS_MAXIMIZE)
            w->placementFlags |= WPF_RESTORETOMAXIMIZED;
        else
            w->placementFlags &= ~WPF_RESTORETOMAXIMIZED;
        w->style = (w->style & ~WS_MAXIMIZE) | WS_MINIMIZE;
        r = MinimizedRect(*w);
        break;
    case SizeState::Maximized:
        r = MaximizedRect(hwnd);
        if (!(w = PeekWindowRecord(hwnd)))
            return;
        w->maxPosition = POINT{r.left, r.top};
        w->style = (w->style & ~WS_MINIMIZE) | WS_MAXIMIZE;
        break;
    case SizeState::Restored:
        w->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
        r = w->normalRect;
        break;
    }
    SetWindowPos(hwnd, NULL, r.left, r.top, r.right - r.left, r.bottom - r.top,
        SWP_NOZORDER | SWP_FRAMECHANGED | extraFlags);
}

} // namespace
} // namespace platform

using namespace platform;

BOOL ShowWindow(HWND hWnd, int nCmdShow)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w || hWnd == Ws().desktop)
        return FALSE;
    bool wasVisible = (w->style & WS_VISIBLE) != 0;
    bool child = (w->style & WS_CHILD) != 0;
    UINT noActivate = child ? SWP_NOACTIVATE : 0;
    auto showFirst = [&](UINT flags) {
        if (!wasVisible) {
            CallProcedure(hWnd, WM_SHOWWINDOW, TRUE, 0);
            if (!IsWindow(hWnd))
                return false;
        }
        SetWindowPos(hWnd, NULL, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW | flags);
        return IsWindow(hWnd) != FALSE;
    };
    switch (nCmdShow) {
    case SW_HIDE:
        if (!wasVisible)
            return FALSE;
        CallProcedure(hWnd, WM_SHOWWINDOW, FALSE, 0);
        if (IsWindow(hWnd))
            SetWindowPos(hWnd, NULL, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
        return TRUE;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE: {
        UINT flags = (nCmdShow == SW_SHOWMINIMIZED) ? noActivate : SWP_NOACTIVATE;
        if (!(w->style & WS_MINIMIZE)) {
            if (!wasVisible) {
                CallProcedure(hWnd, WM_SHOWWINDOW, TRUE, 0);
                if (!IsWindow(hWnd))
                    return wasVisible;
                if (Window* again = PeekWindowRecord(hWnd))
                    again->style |= WS_VISIBLE;
            }
            ChangeSizeState(hWnd, SizeState::Minimized, flags | SWP_SHOWWINDOW);
        } else {
            showFirst(flags);
        }
        return wasVisible;
    }
    case SW_SHOWMAXIMIZED:
        if (!(w->style & WS_MAXIMIZE)) {
            if (!wasVisible) {
                CallProcedure(hWnd, WM_SHOWWINDOW, TRUE, 0);
                if (!IsWindow(hWnd))
                    return wasVisible;
            }
            ChangeSizeState(hWnd, SizeState::Maximized, noActivate | SWP_SHOWWINDOW);
        } else {
            showFirst(noActivate);
        }
        return wasVisible;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
    case SW_SHOWDEFAULT:
        if (w->style & (WS_MINIMIZE | WS_MAXIMIZE)) {
            bool toMax = (w->style & WS_MINIMIZE) && (w->placementFlags & WPF_RESTORETOMAXIMIZED) && nCmdShow == SW_RESTORE;
            if (!wasVisible) {
                CallProcedure(hWnd, WM_SHOWWINDOW, TRUE, 0);
                if (!IsWindow(hWnd))
                    return wasVisible;
            }
            ChangeSizeState(hWnd, toMax ? SizeState::Maximized : SizeState::Restored, noActivate | SWP_SHOWWINDOW);
        } else {
            showFirst(noActivate);
        }
        return wasVisible;
    case SW_SHOW:
        showFirst(noActivate);
        return wasVisible;
    case SW_SHOWNA:
    case SW_SHOWNOACTIVATE:
        showFirst(SWP_NOACTIVATE);
        return wasVisible;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
}

BOOL ShowOwnedPopups(HWND hWnd, BOOL fShow)
{
    if (!FindWindowRecord(hWnd))
        return FALSE;
    std::vector<HWND> list = PeekWindowRecord(Ws().desktop)->children;
    for (HWND h : list) {
        Window* o = PeekWindowRecord(h);
        if (o && o->owner == hWnd && (o->style & WS_POPUP))
            ShowWindow(h, fShow ? SW_SHOWNOACTIVATE : SW_HIDE);
    }
    return TRUE;
}

BOOL IsWindowVisible(HWND hWnd)
{
    Window* w = PeekWindowRecord(hWnd);
    return w && IsVisibleChain(*w);
}

BOOL IsIconic(HWND hWnd)
{
    Window* w = PeekWindowRecord(hWnd);
    return w && (w->style & WS_MINIMIZE) != 0;
}

BOOL IsZoomed(HWND hWnd)
{
    Window* w = PeekWindowRecord(hWnd);
    return w && (w->style & WS_MAXIMIZE) != 0;
}

BOOL GetWindowPlacement(HWND hWnd, WINDOWPLACEMENT* lpwndpl)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w || !lpwndpl)
        return FALSE;
    lpwndpl->length = sizeof(WINDOWPLACEMENT);
    lpwndpl->flags = w->placementFlags & WPF_RESTORETOMAXIMIZED;
    if (w->style & WS_MINIMIZE)
        lpwndpl->showCmd = SW_SHOWMINIMIZED;
    else if (w->style & WS_MAXIMIZE)
        lpwndpl->showCmd = SW_SHOWMAXIMIZED;
    else
        lpwndpl->showCmd = SW_SHOWNORMAL;
    lpwndpl->ptMinPosition = w->minPosition;
    lpwndpl->ptMaxPosition = w->maxPosition;
    lpwndpl->rcNormalPosition = (w->style & (WS_MINIMIZE | WS_MAXIMIZE)) ? w->normalRect : RectInParent(*w);
    return TRUE;
}

BOOL SetWindowPlacement(HWND hWnd, const WINDOWPLACEMENT* lpwndpl)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w || !lpwndpl)
        return FALSE;
    if (lpwndpl->length != sizeof(WINDOWPLACEMENT)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    RECT normal = lpwndpl->rcNormalPosition;
    if (normal.right < normal.left)
        normal.right = normal.left;
    if (normal.bottom < normal.top)
        normal.bottom = normal.top;
    w->normalRect = normal;
    if (lpwndpl->flags & WPF_SETMINPOSITION)
        w->minPosition = lpwndpl->ptMinPosition;
    w->maxPosition = lpwndpl->ptMaxPosition;
    w->placementFlags = lpwndpl->flags & WPF_RESTORETOMAXIMIZED;
    bool restored = !(w->style & (WS_MINIMIZE | WS_MAXIMIZE));
    if (restored) {
        SetWindowPos(hWnd, NULL, normal.left, normal.top, normal.right - normal.left, normal.bottom - normal.top,
            SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (!IsWindow(hWnd))
        return TRUE;
    UINT cmd = lpwndpl->showCmd;
    if (cmd == SW_SHOWMINIMIZED || cmd == SW_MINIMIZE || cmd == SW_SHOWMINNOACTIVE || cmd == SW_SHOWMAXIMIZED
        || cmd == SW_HIDE || cmd == SW_SHOW || cmd == SW_SHOWNA || cmd == SW_SHOWNOACTIVATE) {
        ShowWindow(hWnd, int(cmd));
    } else {
        ShowWindow(hWnd, SW_SHOWNORMAL);
        if (Window* again = PeekWindowRecord(hWnd); again && !(again->style & (WS_MINIMIZE | WS_MAXIMIZE))) {
            SetWindowPos(hWnd, NULL, normal.left, normal.top, normal.right - normal.left, normal.bottom - normal.top,
                SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    return TRUE;
}

BOOL EnableWindow(HWND hWnd, BOOL bEnable)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w)
        return FALSE;
    bool wasDisabled = (w->style & WS_DISABLED) != 0;
    if (bEnable && wasDisabled) {
        w->style &= ~WS_DISABLED;
        CallProcedure(hWnd, WM_ENABLE, TRUE, 0);
    } else if (!bEnable && !wasDisabled) {
        w->style |= WS_DISABLED;
        InputWindowHiddenOrDisabled(hWnd);
        CallProcedure(hWnd, WM_ENABLE, FALSE, 0);
    }
    // Every control draws its disabled look differently, and the idle
    // command update enables them with no paint of its own to follow; a
    // child whose state changed is therefore painted again. A top-level
    // window (disabled under a modal dialog) looks the same either way.
    if (bool(bEnable) == wasDisabled) {
        if (Window* again = PeekWindowRecord(hWnd); again && (again->style & WS_CHILD))
            InvalidateRect(hWnd, NULL, TRUE);
    }
    return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hWnd)
{
    Window* w = PeekWindowRecord(hWnd);
    return w && !(w->style & WS_DISABLED);
}
