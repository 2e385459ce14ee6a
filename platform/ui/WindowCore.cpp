// The window system's state, handle lookup and window classes.

#include "platform/base/CharClass.h"
#include "platform/gdi/Display.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/PixelBuffer.h"
#include "platform/ui/internal/CtlMore.h"
#include "platform/ui/internal/DialogManager.h"
#include "platform/ui/internal/ListBoxShared.h"
#include "platform/ui/internal/Driver.h"
#include "platform/ui/internal/InputEvents.h"
#include "platform/ui/internal/MdiClient.h"
#include "platform/ui/internal/Paint.h"
#include "platform/ui/internal/Window.h"

#include <cstdio>
#include <cstring>

namespace platform {

Window::Window() = default;
Window::~Window() = default;

namespace {

bool SameNameNoCase(const std::string& a, LPCSTR b)
{
    size_t n = std::strlen(b);
    if (a.size() != n)
        return false;
    for (size_t i = 0; i < n; ++i) {
        char x = a[i];
        char y = b[i];
        if (x == y)
            continue;
        char bx[2] = {x, 0};
        char by[2] = {y, 0};
        CharUpperBuff(bx, 1);
        CharUpperBuff(by, 1);
        if (bx[0] != by[0])
            return false;
    }
    return true;
}

// Atoms of classes start here, like the global atoms of registered names.
constexpr ATOM kFirstClassAtom = 0xC000;

struct BuiltInClass {
    const char* name;
    UINT style;
    int windowExtra;
    int background; // COLOR_* + 1, or 0
};

// The control classes exist before any control code registers behaviour
// for them; until then their windows act as plain windows.
const BuiltInClass kBuiltInClasses[] = {
    {"Button", CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW | CS_PARENTDC, 0, 0},
    {"Edit", CS_DBLCLKS | CS_PARENTDC, 0, 0},
    {"Static", CS_DBLCLKS | CS_PARENTDC, 0, 0},
    {"ListBox", CS_DBLCLKS | CS_PARENTDC, 0, 0},
    {"ComboBox", CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW | CS_PARENTDC, 0, 0},
    {"ComboLBox", CS_DBLCLKS | CS_SAVEBITS, 0, 0},
    {"ScrollBar", CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW | CS_PARENTDC, 0, 0},
    {"#32770", CS_DBLCLKS | CS_SAVEBITS, DLGWINDOWEXTRA, COLOR_BTNFACE + 1},
    {"MDIClient", 0, 0, COLOR_APPWORKSPACE + 1},
};

ATOM NextAtom(const WindowSystem& ws)
{
    ATOM atom = kFirstClassAtom;
    for (const auto& c : ws.classes)
        atom = std::max<ATOM>(atom, ATOM(c->atom + 1));
    return atom;
}

void AddBuiltInClasses(WindowSystem& ws)
{
    for (const BuiltInClass& b : kBuiltInClasses) {
        auto c = std::make_unique<WindowClass>();
        c->name = b.name;
        c->style = b.style;
        c->proc = DefWindowProc;
        c->windowExtra = b.windowExtra;
        c->background = b.background ? (HBRUSH)(INT_PTR)b.background : NULL;
        c->builtIn = true;
        c->atom = NextAtom(ws);
        ws.classes.push_back(std::move(c));
    }
}

// The standard controls are classes of the system: their procedures are in
// place whenever the classes exist, dialog or not.
void InstallBuiltInControls()
{
    InstallDialogClasses();
    InstallListAndEditControls();
    InstallScrollBarControl();
    InstallMdiClientClass();
}

void MakeDesktop(WindowSystem& ws)
{
    auto desktop = std::make_unique<Window>();
    SIZE screen = GetScreenSize();
    desktop->style = WS_VISIBLE | WS_CLIPCHILDREN;
    desktop->windowRect = RECT{0, 0, screen.cx, screen.cy};
    desktop->clientRect = desktop->windowRect;
    desktop->life = WindowLife::Alive;
    desktop->proc = DefWindowProc;
    Window* raw = desktop.get();
    ws.desktop = reinterpret_cast<HWND>(ws.windows.Add(std::move(desktop)));
    raw->handle = ws.desktop;
}

WindowSystem* g_state = nullptr;

// Kept out of Ws(), which every handle lookup calls: inlined there, its
// set-up made each call save and restore registers it never uses.
[[gnu::noinline]] WindowSystem& MakeWindowSystem()
{
    g_state = new WindowSystem();
    MakeDesktop(*g_state);
    AddBuiltInClasses(*g_state);
    InstallBuiltInControls();
    InstallSurfaceProvider();
    return *g_state;
}

} // namespace

WindowSystem& Ws()
{
    if (!g_state) [[unlikely]]
        return MakeWindowSystem();
    return *g_state;
}

Window* PeekWindowRecord(HWND hwnd)
{
    if (!hwnd)
        return nullptr;
    return Ws().windows.Get(reinterpret_cast<uint64_t>(hwnd));
}

Window* FindWindowRecord(HWND hwnd)
{
    Window* w = PeekWindowRecord(hwnd);
    if (!w)
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return w;
}

bool IsUsable(const Window& w)
{
    return w.life != WindowLife::Destroying;
}

HWND DeepestEnabledWindowAt(HWND topLevel, POINT screen, bool skipTransparent)
{
    auto takesInput = [](const Window* w) {
        return w && IsUsable(*w) && (w->style & WS_VISIBLE) && !(w->style & WS_DISABLED);
    };
    auto contains = [&screen](const RECT& r) {
        return screen.x >= r.left && screen.x < r.right && screen.y >= r.top && screen.y < r.bottom;
    };
    if (!takesInput(PeekWindowRecord(topLevel)))
        return NULL;
    HWND found = topLevel;
    for (;;) {
        Window* current = PeekWindowRecord(found);
        if (!current || !contains(current->clientRect))
            return found;
        HWND next = NULL;
        for (HWND c : current->children) {
            Window* cw = PeekWindowRecord(c);
            if (takesInput(cw) && !(skipTransparent && (cw->exStyle & WS_EX_TRANSPARENT)) && contains(cw->windowRect)) {
                next = c;
                break;
            }
        }
        if (!next)
            return found;
        found = next;
    }
}

bool IsTopLevel(const Window& w)
{
    return w.parent && w.parent == Ws().desktop;
}

Window* TopLevelOf(Window& w)
{
    Window* cur = &w;
    while (cur && !IsTopLevel(*cur)) {
        if (cur->handle == Ws().desktop)
            return nullptr;
        cur = PeekWindowRecord(cur->parent);
    }
    return cur;
}

bool IsVisibleChain(const Window& w)
{
    const Window* cur = &w;
    while (cur && cur->handle != Ws().desktop) {
        if (!(cur->style & WS_VISIBLE))
            return false;
        cur = PeekWindowRecord(cur->parent);
    }
    return cur != nullptr;
}

WindowClass* FindClass(LPCSTR name)
{
    if (!name)
        return nullptr;
    WindowSystem& ws = Ws();
    for (auto& c : ws.classes) {
        if (IS_INTRESOURCE(name) ? c->atom == ATOM(ULONG_PTR(name)) : SameNameNoCase(c->name, name))
            return c.get();
    }
    return nullptr;
}

void SetBuiltInClassProc(LPCSTR className, WNDPROC proc)
{
    WindowClass* c = FindClass(className);
    if (c && c->builtIn)
        c->proc = proc ? proc : DefWindowProc;
}

LRESULT CallProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window* w = PeekWindowRecord(hwnd);
    if (!w || !w->proc)
        return 0;
    WNDPROC proc = w->proc;
    return proc(hwnd, msg, wParam, lParam);
}

void ResetWindowSystem()
{
    WindowSystem& ws = Ws();
    // Top-level windows first (their owned windows and children go with them).
    for (int guard = 0; guard < 100000; ++guard) {
        Window* desktop = PeekWindowRecord(ws.desktop);
        if (!desktop || desktop->children.empty())
            break;
        HWND top = desktop->children.back();
        if (!DestroyWindow(top)) {
            // A window that cannot be destroyed normally is dropped.
            desktop->children.pop_back();
        }
    }
    ws.queue = MessageQueue();
    ws.timers.clear();
    ws.nextTimerId = 1;
    ws.locked = NULL;
    std::vector<std::unique_ptr<WindowClass>> kept;
    ws.classes.clear();
    AddBuiltInClasses(ws);
    InstallBuiltInControls();
    if (Window* desktop = PeekWindowRecord(ws.desktop)) {
        SIZE screen = GetScreenSize();
        desktop->windowRect = RECT{0, 0, screen.cx, screen.cy};
        desktop->clientRect = desktop->windowRect;
    }
}

} // namespace platform

using namespace platform;

// ---- Classes --------------------------------------------------------------------------------------

namespace {

ATOM Register(const WNDCLASSEXA& wc)
{
    if (!wc.lpszClassName || !wc.lpfnWndProc || wc.cbWndExtra < 0 || wc.cbClsExtra < 0 || wc.cbWndExtra > 4096
        || wc.cbClsExtra > 4096) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WindowSystem& ws = Ws();
    if (IS_INTRESOURCE(wc.lpszClassName)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t length = strnlen(wc.lpszClassName, 257);
    if (length == 0 || length > 256) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (WindowClass* existing = FindClass(wc.lpszClassName)) {
        (void)existing;
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    auto c = std::make_unique<WindowClass>();
    c->name.assign(wc.lpszClassName, length);
    c->style = wc.style;
    c->proc = wc.lpfnWndProc;
    c->windowExtra = wc.cbWndExtra;
    c->extra.assign(size_t(wc.cbClsExtra), 0);
    c->instance = wc.hInstance;
    c->icon = wc.hIcon;
    c->smallIcon = wc.hIconSm;
    c->cursor = wc.hCursor;
    c->background = wc.hbrBackground;
    if (wc.lpszMenuName && !IS_INTRESOURCE(wc.lpszMenuName)) {
        c->menuNameText = wc.lpszMenuName;
        c->menuName = nullptr; // pointed at menuNameText when read
    } else {
        c->menuName = wc.lpszMenuName;
    }
    c->atom = NextAtom(ws);
    ATOM atom = c->atom;
    ws.classes.push_back(std::move(c));
    return atom;
}

} // namespace

ATOM RegisterClass(const WNDCLASSA* lpWndClass)
{
    if (!lpWndClass) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WNDCLASSEXA ex{};
    ex.cbSize = sizeof ex;
    ex.style = lpWndClass->style;
    ex.lpfnWndProc = lpWndClass->lpfnWndProc;
    ex.cbClsExtra = lpWndClass->cbClsExtra;
    ex.cbWndExtra = lpWndClass->cbWndExtra;
    ex.hInstance = lpWndClass->hInstance;
    ex.hIcon = lpWndClass->hIcon;
    ex.hCursor = lpWndClass->hCursor;
    ex.hbrBackground = lpWndClass->hbrBackground;
    ex.lpszMenuName = lpWndClass->lpszMenuName;
    ex.lpszClassName = lpWndClass->lpszClassName;
    return Register(ex);
}

ATOM RegisterClassEx(const WNDCLASSEXA* lpWndClass)
{
    if (!lpWndClass || lpWndClass->cbSize != sizeof(WNDCLASSEXA)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return Register(*lpWndClass);
}

BOOL UnregisterClass(LPCSTR lpClassName, HINSTANCE)
{
    WindowSystem& ws = Ws();
    WindowClass* c = FindClass(lpClassName);
    if (!c || c->builtIn) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if (c->windowCount > 0) {
        SetLastError(ERROR_CLASS_HAS_WINDOWS);
        return FALSE;
    }
    for (auto it = ws.classes.begin(); it != ws.classes.end(); ++it) {
        if (it->get() == c) {
            ws.classes.erase(it);
            break;
        }
    }
    return TRUE;
}

BOOL GetClassInfoEx(HINSTANCE, LPCSTR lpszClass, LPWNDCLASSEX lpwcx)
{
    WindowClass* c = FindClass(lpszClass);
    if (!c || !lpwcx) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    lpwcx->style = c->style;
    lpwcx->lpfnWndProc = c->proc;
    lpwcx->cbClsExtra = int(c->extra.size());
    lpwcx->cbWndExtra = c->windowExtra;
    lpwcx->hInstance = c->instance;
    lpwcx->hIcon = c->icon;
    lpwcx->hCursor = c->cursor;
    lpwcx->hbrBackground = c->background;
    lpwcx->lpszMenuName = c->menuNameText.empty() ? c->menuName : c->menuNameText.c_str();
    lpwcx->lpszClassName = c->name.c_str();
    lpwcx->hIconSm = c->smallIcon;
    return c->atom;
}

BOOL GetClassInfo(HINSTANCE hInstance, LPCSTR lpClassName, LPWNDCLASS lpWndClass)
{
    WNDCLASSEXA ex{};
    if (!lpWndClass || !GetClassInfoEx(hInstance, lpClassName, &ex))
        return FALSE;
    lpWndClass->style = ex.style;
    lpWndClass->lpfnWndProc = ex.lpfnWndProc;
    lpWndClass->cbClsExtra = ex.cbClsExtra;
    lpWndClass->cbWndExtra = ex.cbWndExtra;
    lpWndClass->hInstance = ex.hInstance;
    lpWndClass->hIcon = ex.hIcon;
    lpWndClass->hCursor = ex.hCursor;
    lpWndClass->hbrBackground = ex.hbrBackground;
    lpWndClass->lpszMenuName = ex.lpszMenuName;
    lpWndClass->lpszClassName = ex.lpszClassName;
    return TRUE;
}

int GetClassName(HWND hWnd, LPSTR lpClassName, int nMaxCount)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w || !lpClassName || nMaxCount <= 0)
        return 0;
    const std::string& name = w->windowClass ? w->windowClass->name : std::string("#32769");
    int n = std::min<int>(int(name.size()), nMaxCount - 1);
    std::memcpy(lpClassName, name.data(), size_t(n));
    lpClassName[n] = 0;
    return n;
}

ULONG_PTR GetClassLongPtr(HWND hWnd, int nIndex)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w || !w->windowClass)
        return 0;
    WindowClass& c = *w->windowClass;
    switch (nIndex) {
    case GCL_MENUNAME:
        return ULONG_PTR(c.menuNameText.empty() ? c.menuName : c.menuNameText.c_str());
    case GCL_HBRBACKGROUND:
        return ULONG_PTR(c.background);
    case GCL_HCURSOR:
        return ULONG_PTR(c.cursor);
    case GCL_HICON:
        return ULONG_PTR(c.icon);
    case GCL_HICONSM:
        return ULONG_PTR(c.smallIcon);
    case GCL_HMODULE:
        return ULONG_PTR(c.instance);
    case GCL_CBWNDEXTRA:
        return ULONG_PTR(c.windowExtra);
    case GCL_CBCLSEXTRA:
        return ULONG_PTR(c.extra.size());
    case GCL_WNDPROC:
        return ULONG_PTR(c.proc);
    case GCL_STYLE:
        return c.style;
    case GCW_ATOM:
        return c.atom;
    default:
        if (nIndex >= 0 && size_t(nIndex) + sizeof(ULONG_PTR) <= c.extra.size()) {
            ULONG_PTR v = 0;
            std::memcpy(&v, c.extra.data() + nIndex, sizeof v);
            return v;
        }
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
}

ULONG_PTR SetClassLongPtr(HWND hWnd, int nIndex, LONG_PTR value)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w || !w->windowClass)
        return 0;
    WindowClass& c = *w->windowClass;
    ULONG_PTR old = GetClassLongPtr(hWnd, nIndex);
    switch (nIndex) {
    case GCL_HBRBACKGROUND:
        c.background = HBRUSH(value);
        break;
    case GCL_HCURSOR:
        c.cursor = HCURSOR(value);
        break;
    case GCL_HICON:
        c.icon = HICON(value);
        break;
    case GCL_HICONSM:
        c.smallIcon = HICON(value);
        break;
    case GCL_WNDPROC:
        c.proc = WNDPROC(value);
        break;
    case GCL_STYLE:
        c.style = UINT(value);
        break;
    default:
        if (nIndex >= 0 && size_t(nIndex) + sizeof(LONG_PTR) <= c.extra.size()) {
            std::memcpy(c.extra.data() + nIndex, &value, sizeof value);
            break;
        }
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    return old;
}

DWORD GetClassLong(HWND hWnd, int nIndex)
{
    return DWORD(GetClassLongPtr(hWnd, nIndex));
}

DWORD SetClassLong(HWND hWnd, int nIndex, LONG value)
{
    return DWORD(SetClassLongPtr(hWnd, nIndex, value));
}

WORD GetClassWord(HWND hWnd, int nIndex)
{
    return WORD(GetClassLongPtr(hWnd, nIndex));
}

LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    // The name says what the class is, so equal requests share one class.
    static std::vector<std::unique_ptr<std::string>> names;
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "Afx:%x:%llx:%llx:%llx", nClassStyle, (unsigned long long)(ULONG_PTR)hCursor,
        (unsigned long long)(ULONG_PTR)hbrBackground, (unsigned long long)(ULONG_PTR)hIcon);
    for (const auto& n : names) {
        if (*n == buffer && FindClass(n->c_str()))
            return n->c_str();
    }
    WNDCLASSA wc{};
    wc.style = nClassStyle;
    wc.lpfnWndProc = DefWindowProc;
    wc.hCursor = hCursor;
    wc.hbrBackground = hbrBackground;
    wc.hIcon = hIcon;
    wc.lpszClassName = buffer;
    if (!FindClass(buffer) && !RegisterClass(&wc))
        return nullptr;
    names.push_back(std::make_unique<std::string>(buffer));
    return names.back()->c_str();
}
