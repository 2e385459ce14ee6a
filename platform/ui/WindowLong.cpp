// Window longs (styles, id, procedure, user data, extra bytes) and text.

#include "platform/ui/internal/Window.h"

#include <cstring>

using namespace platform;

namespace {

bool ExtraRange(const Window& w, int index, size_t size)
{
    return index >= 0 && size_t(index) + size <= w.extra.size();
}

// The T stored at `index` in hwnd's extra bytes, replaced by *value when
// given; 0 for an unknown window or a slot outside the extra bytes.
template <class T>
T ExchangeExtra(HWND hwnd, int index, const T* value)
{
    Window* w = FindWindowRecord(hwnd);
    if (!w)
        return 0;
    if (!ExtraRange(*w, index, sizeof(T))) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    T old = 0;
    std::memcpy(&old, w->extra.data() + index, sizeof old);
    if (value)
        std::memcpy(w->extra.data() + index, value, sizeof *value);
    return old;
}

void ChangeStyle(HWND hwnd, int index, DWORD value)
{
    Window* w = PeekWindowRecord(hwnd);
    STYLESTRUCT ss{};
    ss.styleOld = index == GWL_STYLE ? w->style : w->exStyle;
    ss.styleNew = value;
    CallProcedure(hwnd, WM_STYLECHANGING, WPARAM(index), LPARAM(&ss));
    if (!(w = PeekWindowRecord(hwnd)))
        return;
    if (index == GWL_STYLE)
        w->style = ss.styleNew;
    else
        w->exStyle = ss.styleNew;
    CallProcedure(hwnd, WM_STYLECHANGED, WPARAM(index), LPARAM(&ss));
}

} // namespace

LONG_PTR GetWindowLongPtr(HWND hWnd, int nIndex)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w)
        return 0;
    switch (nIndex) {
    case GWL_WNDPROC:
        return LONG_PTR(w->proc);
    case GWL_HINSTANCE:
        return LONG_PTR(w->instance);
    case GWL_HWNDPARENT:
        return LONG_PTR((w->style & WS_CHILD) ? w->parent : w->owner);
    case GWL_STYLE:
        return LONG_PTR(LONG(w->style));
    case GWL_EXSTYLE:
        return LONG_PTR(LONG(w->exStyle));
    case GWL_USERDATA:
        return w->userData;
    case GWL_ID:
        return (w->style & WS_CHILD) ? w->id : LONG_PTR(w->menu);
    default:
        if (ExtraRange(*w, nIndex, sizeof(LONG_PTR))) {
            LONG_PTR v = 0;
            std::memcpy(&v, w->extra.data() + nIndex, sizeof v);
            return v;
        }
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
}

LONG_PTR SetWindowLongPtr(HWND hWnd, int nIndex, LONG_PTR value)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w)
        return 0;
    LONG_PTR old = GetWindowLongPtr(hWnd, nIndex);
    switch (nIndex) {
    case GWL_WNDPROC:
        if (!value) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        w->proc = WNDPROC(value);
        break;
    case GWL_HINSTANCE:
        w->instance = HINSTANCE(value);
        break;
    case GWL_HWNDPARENT:
        if (!(w->style & WS_CHILD))
            w->owner = HWND(value);
        break;
    case GWL_STYLE:
    case GWL_EXSTYLE:
        ChangeStyle(hWnd, nIndex, DWORD(value));
        break;
    case GWL_USERDATA:
        w->userData = value;
        break;
    case GWL_ID:
        if (w->style & WS_CHILD)
            w->id = value;
        else
            w->menu = HMENU(value);
        break;
    default:
        if (ExtraRange(*w, nIndex, sizeof(LONG_PTR))) {
            std::memcpy(w->extra.data() + nIndex, &value, sizeof value);
            break;
        }
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    return old;
}

LONG GetWindowLong(HWND hWnd, int nIndex)
{
    if (nIndex >= 0)
        return ExchangeExtra<LONG>(hWnd, nIndex, nullptr);
    return LONG(GetWindowLongPtr(hWnd, nIndex));
}

LONG SetWindowLong(HWND hWnd, int nIndex, LONG value)
{
    if (nIndex >= 0)
        return ExchangeExtra<LONG>(hWnd, nIndex, &value);
    if (!FindWindowRecord(hWnd))
        return 0;
    // Procedures and handles do not fit in 32 bits; only the plain values
    // are set through here.
    if (nIndex == GWL_WNDPROC || nIndex == GWL_HINSTANCE || nIndex == GWL_HWNDPARENT) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    if (nIndex == GWL_STYLE || nIndex == GWL_EXSTYLE)
        return LONG(SetWindowLongPtr(hWnd, nIndex, LONG_PTR(DWORD(value))));
    return LONG(SetWindowLongPtr(hWnd, nIndex, value));
}

WORD GetWindowWord(HWND hWnd, int nIndex)
{
    return ExchangeExtra<WORD>(hWnd, nIndex, nullptr);
}

WORD SetWindowWord(HWND hWnd, int nIndex, WORD value)
{
    return ExchangeExtra<WORD>(hWnd, nIndex, &value);
}

int GetWindowText(HWND hWnd, LPSTR lpString, int nMaxCount)
{
    if (!FindWindowRecord(hWnd) || !lpString || nMaxCount <= 0)
        return 0;
    lpString[0] = 0;
    return int(SendMessage(hWnd, WM_GETTEXT, WPARAM(nMaxCount), LPARAM(lpString)));
}

int GetWindowTextLength(HWND hWnd)
{
    if (!FindWindowRecord(hWnd))
        return 0;
    return int(SendMessage(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL SetWindowText(HWND hWnd, LPCSTR lpString)
{
    if (!FindWindowRecord(hWnd))
        return FALSE;
    return SendMessage(hWnd, WM_SETTEXT, 0, LPARAM(lpString)) ? TRUE : FALSE;
}
