// Creating and destroying windows, and walking the window tree.

#include "platform/gdi/PixelBuffer.h"
#include "platform/ui/internal/Driver.h"
#include "platform/ui/internal/InputEvents.h"
#include "platform/ui/internal/MenuBar.h"
#include "platform/ui/internal/NonClient.h"
#include "platform/ui/internal/Paint.h"
#include "platform/ui/internal/Queue.h"
#include "platform/ui/internal/Window.h"
#include "platform/ui/Hooks.h"

#include "platform/base/CodePage.h"
#include "platform/base/Geometry.h"
#include "platform/gdi/Display.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <unistd.h>

namespace platform {

SurfaceInfo DescribeSurface(const Window& w)
{
    SurfaceInfo info;
    info.windowRect = w.windowRect;
    info.visible = (w.style & WS_VISIBLE) != 0;
    info.popup = (w.style & WS_POPUP) != 0;
    info.owner = w.owner;
    info.title = Utf8From1252(w.text);
    return info;
}

namespace {

// Where CW_USEDEFAULT puts successive top-level windows.
int g_cascade = 0;

void Unlink(Window& w)
{
    if (Window* parent = PeekWindowRecord(w.parent)) {
        auto& list = parent->children;
        list.erase(std::remove(list.begin(), list.end(), w.handle), list.end());
    }
}

void MarkDestroying(HWND hwnd)
{
    Window* w = PeekWindowRecord(hwnd);
    if (!w)
        return;
    w->life = WindowLife::Destroying;
    std::vector<HWND> children = w->children;
    for (HWND c : children)
        MarkDestroying(c);
}

void SendDestroy(HWND hwnd)
{
    CallProcedure(hwnd, WM_DESTROY, 0, 0);
    Window* w = PeekWindowRecord(hwnd);
    if (!w)
        return;
    std::vector<HWND> children = w->children;
    for (HWND c : children)
        SendDestroy(c);
}

void FreeWindow(HWND hwnd)
{
    Window* w = PeekWindowRecord(hwnd);
    if (!w)
        return;
    // Children go first, so each sees its WM_NCDESTROY while the parent exists.
    std::vector<HWND> children = w->children;
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        FreeWindow(*it);
    CallProcedure(hwnd, WM_NCDESTROY, 0, 0);
    w = PeekWindowRecord(hwnd);
    if (!w)
        return;
    KillWindowTimers(hwnd);
    ForgetQueuedMessages(hwnd);
    if (Ws().locked == hwnd)
        Ws().locked = NULL;
    bool topLevel = IsTopLevel(*w);
    HMENU menu = topLevel ? w->menu : NULL;
    Unlink(*w);
    if (w->windowClass)
        --w->windowClass->windowCount;
    if (topLevel && w->surface && HasDriver())
        GetDriver().DestroySurface(hwnd);
    std::unique_ptr<Window> record = Ws().windows.Remove(reinterpret_cast<uint64_t>(hwnd));
    record.reset();
    if (menu)
        MenuWindowDestroyed(hwnd, menu);
}

POINT ParentClientOrigin(const Window& w)
{
    if (Window* parent = PeekWindowRecord(w.parent))
        return POINT{parent->clientRect.left, parent->clientRect.top};
    return POINT{0, 0};
}

} // namespace

} // namespace platform

using namespace platform;

HWND CreateWindowEx(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X, int Y,
    int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance, LPVOID lpParam)
{
    WindowSystem& ws = Ws();
    WindowClass* cls = FindClass(lpClassName);
    if (!cls) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return NULL;
    }
    HWND parentHandle = ws.desktop;
    HWND owner = NULL;
    if (dwStyle & WS_CHILD) {
        Window* parent = hWndParent ? FindWindowRecord(hWndParent) : nullptr;
        if (!parent) {
            SetLastError(ERROR_TLW_WITH_WSCHILD);
            return NULL;
        }
        parentHandle = parent->handle;
    } else if (hWndParent && hWndParent != HWND_MESSAGE) {
        Window* ownerWindow = FindWindowRecord(hWndParent);
        if (!ownerWindow)
            return NULL;
        // The owner of a top-level window is always a top-level window.
        Window* top = TopLevelOf(*ownerWindow);
        owner = top ? top->handle : NULL;
    }

    auto record = std::make_unique<Window>();
    Window* w = record.get();
    w->windowClass = cls;
    w->exStyle = dwExStyle;
    w->style = dwStyle & ~WS_VISIBLE;
    if (!(dwStyle & (WS_CHILD | WS_POPUP))) {
        // Overlapped windows always have a caption and clip their siblings.
        w->style |= WS_CAPTION | WS_CLIPSIBLINGS;
    }
    if ((w->style & WS_CAPTION) == WS_CAPTION || (w->style & WS_DLGFRAME) || (dwExStyle & WS_EX_DLGMODALFRAME))
        w->exStyle |= WS_EX_WINDOWEDGE;
    w->parent = parentHandle;
    w->owner = owner;
    w->proc = cls->proc;
    w->instance = hInstance;
    w->extra.assign(size_t(cls->windowExtra), 0);
    w->text = lpWindowName ? lpWindowName : "";
    if (dwStyle & WS_CHILD)
        w->id = LONG_PTR(hMenu);
    else
        w->menu = hMenu;

    // Default positions for top-level windows cascade over the screen.
    SIZE screen = GetScreenSize();
    bool child = (dwStyle & WS_CHILD) != 0;
    if (X == CW_USEDEFAULT) {
        if (child) {
            X = Y = 0;
        } else {
            X = Y = 26 * (g_cascade++ % 8);
        }
    }
    if (nWidth == CW_USEDEFAULT) {
        if (child) {
            nWidth = nHeight = 0;
        } else {
            nWidth = screen.cx * 3 / 4;
            nHeight = screen.cy * 3 / 4;
        }
    }
    nWidth = std::clamp(nWidth, 0, PixelBuffer::kMaxSide);
    nHeight = std::clamp(nHeight, 0, PixelBuffer::kMaxSide);

    HWND hwnd = reinterpret_cast<HWND>(ws.windows.Add(std::move(record)));
    if (!hwnd) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return NULL;
    }
    w->handle = hwnd;
    ++cls->windowCount;
    Window* parent = PeekWindowRecord(parentHandle);
    // Children join at the bottom of their siblings (so creation order is
    // tab order); top-level windows open on top.
    if (child)
        parent->children.push_back(hwnd);
    else
        parent->children.insert(parent->children.begin(), hwnd);
    POINT origin = ParentClientOrigin(*w);
    w->windowRect = RECT{origin.x + X, origin.y + Y, origin.x + X + nWidth, origin.y + Y + nHeight};
    w->clientRect = w->windowRect;
    w->normalRect = RECT{X, Y, X + nWidth, Y + nHeight};

    CREATESTRUCT cs{};
    cs.lpCreateParams = lpParam;
    cs.hInstance = hInstance;
    cs.hMenu = hMenu;
    cs.hwndParent = child ? parentHandle : owner;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.x = X;
    cs.y = Y;
    cs.style = LONG(dwStyle);
    cs.lpszName = lpWindowName;
    cs.lpszClass = lpClassName;
    cs.dwExStyle = dwExStyle;

    // Window hooks see the window before its first message (the
    // class library attaches its window object here); a refusal frees it.
    if (CallCreateWindowHooks(hwnd, &cs) != 0) {
        if (PeekWindowRecord(hwnd)) {
            MarkDestroying(hwnd);
            FreeWindow(hwnd);
        }
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return NULL;
    }
    if (!(w = PeekWindowRecord(hwnd)))
        return NULL;

    if (!child || (dwStyle & WS_THICKFRAME)) {
        MINMAXINFO mmi{};
        SIZE frame = FrameSize(w->style, w->exStyle);
        mmi.ptMaxSize = POINT{screen.cx + 2 * frame.cx, screen.cy + 2 * frame.cy};
        mmi.ptMaxPosition = POINT{-frame.cx, -frame.cy};
        mmi.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
        mmi.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
        CallProcedure(hwnd, WM_GETMINMAXINFO, 0, LPARAM(&mmi));
    }

    auto abandon = [hwnd]() -> HWND {
        if (IsWindow(hwnd))
            DestroyWindow(hwnd);
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return NULL;
    };
    if (!CallProcedure(hwnd, WM_NCCREATE, 0, LPARAM(&cs))) {
        // WM_NCCREATE refused: the window never existed for the program, but
        // it still gets WM_NCDESTROY.
        if (PeekWindowRecord(hwnd)) {
            MarkDestroying(hwnd);
            FreeWindow(hwnd);
        }
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return NULL;
    }
    if (!(w = PeekWindowRecord(hwnd)))
        return abandon();

    RECT calc = w->windowRect;
    OffsetRect(&calc, -origin.x, -origin.y);
    CallProcedure(hwnd, WM_NCCALCSIZE, FALSE, LPARAM(&calc));
    if (!(w = PeekWindowRecord(hwnd)))
        return abandon();
    OffsetRect(&calc, origin.x, origin.y);
    w->clientRect = calc;
    if (w->clientRect.right < w->clientRect.left)
        w->clientRect.right = w->clientRect.left;
    if (w->clientRect.bottom < w->clientRect.top)
        w->clientRect.bottom = w->clientRect.top;

    if (!child) {
        SyncSurface(*w);
        GetDriver().CreateSurface(hwnd, DescribeSurface(*w));
    }

    if (CallProcedure(hwnd, WM_CREATE, 0, LPARAM(&cs)) == -1)
        return abandon();
    if (!(w = PeekWindowRecord(hwnd)))
        return abandon();
    w->life = WindowLife::Alive;

    RECT client = w->clientRect;
    POINT clientOrigin{client.left - origin.x, client.top - origin.y};
    CallProcedure(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right - client.left, client.bottom - client.top));
    CallProcedure(hwnd, WM_MOVE, 0, MAKELPARAM(clientOrigin.x, clientOrigin.y));
    if (!IsWindow(hwnd))
        return NULL;

    if (child && !(dwExStyle & WS_EX_NOPARENTNOTIFY))
        SendMessage(parentHandle, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, WORD(LONG_PTR(hMenu))), LPARAM(hwnd));
    if (!IsWindow(hwnd))
        return NULL;

    if (dwStyle & WS_VISIBLE) {
        int show = SW_SHOW;
        if (dwStyle & WS_MAXIMIZE)
            show = SW_SHOWMAXIMIZED;
        else if (dwStyle & WS_MINIMIZE)
            show = SW_SHOWMINIMIZED;
        ShowWindow(hwnd, show);
    }
    return IsWindow(hwnd) ? hwnd : NULL;
}

BOOL DestroyWindow(HWND hWnd)
{
    WindowSystem& ws = Ws();
    Window* w = FindWindowRecord(hWnd);
    if (!w || hWnd == ws.desktop)
        return FALSE;
    if (w->life == WindowLife::Destroying)
        return TRUE;

    bool child = (w->style & WS_CHILD) != 0;
    if (child && !(w->exStyle & WS_EX_NOPARENTNOTIFY) && IsUsable(*w)) {
        HWND parent = w->parent;
        SendMessage(parent, WM_PARENTNOTIFY, MAKEWPARAM(WM_DESTROY, WORD(w->id)), LPARAM(hWnd));
        if (!(w = PeekWindowRecord(hWnd)) || w->life == WindowLife::Destroying)
            return TRUE;
    }
    if (w->style & WS_VISIBLE) {
        SetWindowPos(hWnd, NULL, 0, 0, 0, 0,
            SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (!(w = PeekWindowRecord(hWnd)) || w->life == WindowLife::Destroying)
            return TRUE;
    }
    // Owned windows go before their owner.
    if (!child) {
        std::vector<HWND> owned;
        if (Window* desktop = PeekWindowRecord(ws.desktop)) {
            for (HWND h : desktop->children) {
                Window* o = PeekWindowRecord(h);
                if (o && o->owner == hWnd)
                    owned.push_back(h);
            }
        }
        for (HWND h : owned)
            DestroyWindow(h);
        if (!(w = PeekWindowRecord(hWnd)) || w->life == WindowLife::Destroying)
            return TRUE;
    }
    MarkDestroying(hWnd);
    InputWindowDestroyed(hWnd);
    SendDestroy(hWnd);
    FreeWindow(hWnd);
    return TRUE;
}

BOOL IsWindow(HWND hWnd)
{
    return PeekWindowRecord(hWnd) != nullptr && hWnd != Ws().desktop;
}

BOOL IsChild(HWND hWndParent, HWND hWnd)
{
    Window* w = PeekWindowRecord(hWnd);
    if (!w || !PeekWindowRecord(hWndParent))
        return FALSE;
    while (w && (w->style & WS_CHILD)) {
        if (w->parent == hWndParent)
            return TRUE;
        w = PeekWindowRecord(w->parent);
    }
    return FALSE;
}

HWND GetParent(HWND hWnd)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w)
        return NULL;
    if (w->style & WS_CHILD)
        return w->parent;
    if (w->style & WS_POPUP)
        return w->owner;
    return NULL;
}

HWND SetParent(HWND hWndChild, HWND hWndNewParent)
{
    WindowSystem& ws = Ws();
    Window* w = FindWindowRecord(hWndChild);
    if (!w || hWndChild == ws.desktop)
        return NULL;
    HWND newParent = hWndNewParent ? hWndNewParent : ws.desktop;
    Window* np = FindWindowRecord(newParent);
    if (!np)
        return NULL;
    // A window cannot move under itself or its own descendants.
    for (Window* a = np; a; a = PeekWindowRecord(a->parent)) {
        if (a->handle == hWndChild) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return NULL;
        }
    }
    HWND old = w->parent;
    bool wasVisible = IsVisibleChain(*w);
    RECT oldRect = w->windowRect;
    POINT oldOrigin = ParentClientOrigin(*w);
    Unlink(*w);
    w->parent = newParent;
    np->children.insert(np->children.begin(), hWndChild);
    // The position relative to the parent's client area is kept.
    POINT newOrigin = ParentClientOrigin(*w);
    int dx = newOrigin.x - oldOrigin.x;
    int dy = newOrigin.y - oldOrigin.y;
    std::function<void(Window&)> shift = [&](Window& x) {
        OffsetRect(&x.windowRect, dx, dy);
        OffsetRect(&x.clientRect, dx, dy);
        for (HWND c : x.children)
            if (Window* cw = PeekWindowRecord(c))
                shift(*cw);
    };
    shift(*w);
    if (wasVisible) {
        if (Window* op = PeekWindowRecord(old)) {
            Region area(oldRect);
            area.Offset(-op->clientRect.left, -op->clientRect.top);
            InvalidateWindowArea(old, &area, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        }
        RedrawWindow(hWndChild, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
    return old == ws.desktop ? ws.desktop : old;
}

HWND GetDesktopWindow()
{
    return Ws().desktop;
}

HWND GetWindow(HWND hWnd, UINT uCmd)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w)
        return NULL;
    auto siblings = [&]() -> const std::vector<HWND>* {
        Window* p = PeekWindowRecord(w->parent);
        return p ? &p->children : nullptr;
    };
    switch (uCmd) {
    case GW_CHILD:
        return w->children.empty() ? NULL : w->children.front();
    case GW_OWNER:
        return w->owner;
    case GW_HWNDFIRST:
    case GW_HWNDLAST: {
        const std::vector<HWND>* s = siblings();
        if (!s || s->empty())
            return uCmd == GW_HWNDFIRST || uCmd == GW_HWNDLAST ? hWnd : NULL;
        return uCmd == GW_HWNDFIRST ? s->front() : s->back();
    }
    case GW_HWNDNEXT:
    case GW_HWNDPREV: {
        const std::vector<HWND>* s = siblings();
        if (!s)
            return NULL;
        auto it = std::find(s->begin(), s->end(), hWnd);
        if (it == s->end())
            return NULL;
        if (uCmd == GW_HWNDNEXT)
            return (it + 1) == s->end() ? NULL : *(it + 1);
        return it == s->begin() ? NULL : *(it - 1);
    }
    case GW_ENABLEDPOPUP: {
        Window* desktop = PeekWindowRecord(Ws().desktop);
        for (HWND h : desktop->children) {
            Window* o = PeekWindowRecord(h);
            if (o && o->owner == hWnd && (o->style & WS_VISIBLE) && !(o->style & WS_DISABLED))
                return h;
        }
        return NULL;
    }
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
}

HWND GetTopWindow(HWND hWnd)
{
    return GetWindow(hWnd ? hWnd : Ws().desktop, GW_CHILD);
}

HWND GetLastActivePopup(HWND hWnd)
{
    // The owned window that was active last, while it still exists, is
    // shown and enabled and is still owned by hWnd; else hWnd itself. A
    // window shown without being activated (a floating tool window) never
    // becomes the answer.
    Window* w = PeekWindowRecord(hWnd);
    if (!w)
        return NULL;
    HWND popup = w->lastActivePopup;
    if (!popup || popup == hWnd)
        return hWnd;
    Window* p = PeekWindowRecord(popup);
    if (!p || !(p->style & WS_VISIBLE) || (p->style & WS_DISABLED))
        return hWnd;
    for (Window* o = p; o != nullptr; o = o->owner ? PeekWindowRecord(o->owner) : nullptr) {
        if (o->owner == hWnd)
            return popup;
    }
    return hWnd;
}

namespace {

// Collects first, so that a callback that creates or destroys windows does
// not disturb the walk; windows destroyed meanwhile are skipped.
void Collect(HWND hwnd, std::vector<HWND>& out)
{
    Window* w = PeekWindowRecord(hwnd);
    if (!w)
        return;
    for (HWND c : w->children) {
        out.push_back(c);
        Collect(c, out);
    }
}

} // namespace

BOOL EnumWindows(WNDENUMPROC lpEnumFunc, LPARAM lParam)
{
    if (!lpEnumFunc)
        return FALSE;
    std::vector<HWND> list = PeekWindowRecord(Ws().desktop)->children;
    for (HWND h : list) {
        if (IsWindow(h) && !lpEnumFunc(h, lParam))
            return FALSE;
    }
    return TRUE;
}

BOOL EnumChildWindows(HWND hWndParent, WNDENUMPROC lpEnumFunc, LPARAM lParam)
{
    if (!lpEnumFunc)
        return FALSE;
    std::vector<HWND> list;
    Collect(hWndParent ? hWndParent : Ws().desktop, list);
    for (HWND h : list) {
        if (IsWindow(h) && !lpEnumFunc(h, lParam))
            return FALSE;
    }
    return TRUE;
}

HWND FindWindow(LPCSTR lpClassName, LPCSTR lpWindowName)
{
    WindowClass* cls = nullptr;
    if (lpClassName) {
        cls = FindClass(lpClassName);
        if (!cls)
            return NULL;
    }
    for (HWND h : PeekWindowRecord(Ws().desktop)->children) {
        Window* w = PeekWindowRecord(h);
        if (!w || !IsUsable(*w))
            continue;
        if (cls && w->windowClass != cls)
            continue;
        if (lpWindowName && w->text != lpWindowName)
            continue;
        return h;
    }
    return NULL;
}

int GetDlgCtrlID(HWND hWnd)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w || !(w->style & WS_CHILD))
        return 0;
    return int(w->id);
}

HWND GetDlgItem(HWND hDlg, int nIDDlgItem)
{
    Window* w = FindWindowRecord(hDlg);
    if (!w)
        return NULL;
    for (HWND c : w->children) {
        Window* cw = PeekWindowRecord(c);
        if (cw && int(cw->id) == nIDDlgItem)
            return c;
    }
    SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
    return NULL;
}

DWORD GetCurrentThreadId()
{
    return 1;
}

DWORD GetWindowThreadProcessId(HWND hWnd, LPDWORD lpdwProcessId)
{
    if (!PeekWindowRecord(hWnd))
        return 0;
    if (lpdwProcessId)
        *lpdwProcessId = DWORD(getpid());
    return GetCurrentThreadId();
}
