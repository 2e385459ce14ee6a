// The dialog manager: dialogs made from templates, modal dialog loops and
// the dialog window procedure (default button, focus kept across
// activation, WM_NEXTDLGCTL).

#include "platform/base/Arithmetic.h"
#include "platform/base/CharClass.h"
#include "platform/base/ResourceTables.h"
#include "platform/base/Resources.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/DialogManager.h"
#include "platform/ui/internal/ListBoxShared.h"
#include "platform/ui/internal/Window.h"

#include <unordered_map>

namespace platform {
namespace {

struct DialogState {
    HFONT font = NULL;
    bool ownsFont = false;
    int defId = 0; // the dialog's own default button, whatever has the focus
    HWND savedFocus = NULL; // the control to give the focus back to on activation
    bool modal = false;
    HWND disabledOwner = NULL; // a modal dialog's owner, to enable again
    bool ended = false;
    INT_PTR result = 0;
};

std::unordered_map<HWND, DialogState>& States()
{
    static std::unordered_map<HWND, DialogState> states;
    return states;
}

DialogState* FindState(HWND hDlg)
{
    auto it = States().find(hDlg);
    return it == States().end() ? nullptr : &it->second;
}

DialogState& StateOf(HWND hDlg)
{
    return States()[hDlg];
}

UINT DialogCodeOf(HWND hwnd)
{
    return hwnd ? UINT(SendMessage(hwnd, WM_GETDLGCODE, 0, 0)) : 0;
}

bool IsPushButtonCode(UINT code)
{
    return (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
}

// Changes a plain push button between BS_PUSHBUTTON and BS_DEFPUSHBUTTON,
// keeping its other button styles.
void SetPushButtonType(HWND button, DWORD type)
{
    DWORD style = DWORD(GetWindowLong(button, GWL_STYLE));
    DWORD current = style & BS_TYPEMASK;
    if ((current != BS_PUSHBUTTON && current != BS_DEFPUSHBUTTON) || current == type)
        return;
    SendMessage(button, BM_SETSTYLE, WPARAM((style & 0xFFFF & ~BS_TYPEMASK) | type), TRUE);
}

// Shows `target` (a push button, or NULL) as the only default button.
void ShowAsDefault(HWND hDlg, HWND target)
{
    for (HWND c = GetWindow(hDlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (c != target && (DialogCodeOf(c) & DLGC_DEFPUSHBUTTON))
            SetPushButtonType(c, BS_PUSHBUTTON);
    }
    if (target && (DialogCodeOf(target) & DLGC_UNDEFPUSHBUTTON))
        SetPushButtonType(target, BS_DEFPUSHBUTTON);
}

void SetDialogFocus(HWND hDlg, HWND target)
{
    if (!target)
        return;
    if (DialogCodeOf(target) & DLGC_HASSETSEL)
        SendMessage(target, EM_SETSEL, 0, -1);
    SetFocus(target);
    // A control that hands the focus on to a field of its own (the edit of
    // a drop-down combo box) has that field's text selected the same way.
    HWND focus = GetFocus();
    if (focus && focus != target && IsChild(target, focus) && (DialogCodeOf(focus) & DLGC_HASSETSEL))
        SendMessage(focus, EM_SETSEL, 0, -1);
    if (IsWindow(hDlg) && IsWindow(target))
        DialogDefaultFollowsFocus(hDlg, target);
}

// Gives the focus back to the control that had it, or to the first tab stop.
bool RestoreFocus(HWND hDlg)
{
    DialogState* st = FindState(hDlg);
    HWND target = st ? st->savedFocus : NULL;
    if (!target || !IsWindow(target) || !IsChild(hDlg, target) || !IsWindowEnabled(target))
        target = GetNextDlgTabItem(hDlg, NULL, FALSE);
    if (!target)
        return false;
    SetDialogFocus(hDlg, target);
    return true;
}

// Messages whose answer is the dialog procedure's return value itself
// rather than DWLP_MSGRESULT.
bool AnswersDirectly(UINT msg)
{
    switch (msg) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
        return true;
    default:
        return false;
    }
}

LRESULT DefaultDialogProcessing(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_SETFONT:
        StateOf(hDlg).font = HFONT(wParam);
        return 0;
    case WM_GETFONT:
        return LRESULT(StateOf(hDlg).font);
    case DM_GETDEFID: {
        int id = StateOf(hDlg).defId;
        return id ? LRESULT(MAKELONG(WORD(id), DC_HASDEFID)) : 0;
    }
    case DM_SETDEFID:
        StateOf(hDlg).defId = int(wParam);
        ShowAsDefault(hDlg, wParam ? GetDlgItem(hDlg, int(wParam)) : NULL);
        return TRUE;
    case WM_NEXTDLGCTL: {
        HWND target;
        if (LOWORD(lParam))
            target = HWND(wParam);
        else
            target = GetNextDlgTabItem(hDlg, GetFocus(), wParam != 0);
        SetDialogFocus(hDlg, target);
        return 0;
    }
    case WM_CLOSE: {
        HWND cancel = GetDlgItem(hDlg, IDCANCEL);
        if (!cancel || IsWindowEnabled(cancel))
            PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), LPARAM(cancel));
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(hDlg, focus))
                StateOf(hDlg).savedFocus = focus;
            return 0;
        }
        if (!RestoreFocus(hDlg))
            return DefWindowProc(hDlg, msg, wParam, lParam);
        return 0;
    case WM_SETFOCUS:
        RestoreFocus(hDlg);
        return 0;
    case WM_NCDESTROY: {
        if (DialogState* st = FindState(hDlg)) {
            if (st->ownsFont && st->font)
                DeleteObject(st->font);
            States().erase(hDlg);
        }
        return DefWindowProc(hDlg, msg, wParam, lParam);
    }
    default:
        return DefWindowProc(hDlg, msg, wParam, lParam);
    }
}

HFONT CreateTemplateFont(const DialogTemplate& t)
{
    if (!(t.style & DS_SETFONT) || !t.faceName || !*t.faceName)
        return NULL;
    HDC screen = GetDC(NULL);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ReleaseDC(NULL, screen);
    int height = -MulDiv(t.pointSize, dpi > 0 ? dpi : 96, 72);
    return CreateFont(height, 0, 0, 0, t.weight ? t.weight : FW_NORMAL, t.italic, FALSE, FALSE, t.charset,
        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, t.faceName);
}

// The window rectangle of a dialog whose client area the template gives in
// dialog units.
RECT DialogWindowRect(HWND hDlg, HWND parent, const DialogTemplate& t, DWORD style, DWORD exStyle, bool hasMenu)
{
    RECT rc{t.x, t.y, t.x + t.cx, t.y + t.cy};
    MapDialogRect(hDlg, &rc);
    AdjustWindowRectEx(&rc, style, hasMenu, exStyle);
    if (style & WS_CHILD)
        return rc;
    int width = rc.right - rc.left;
    int height = rc.bottom - rc.top;
    POINT origin{rc.left, rc.top};
    if (style & DS_CENTER) {
        RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        if (parent && IsWindowVisible(parent))
            GetWindowRect(parent, &area);
        origin.x = area.left + (area.right - area.left - width) / 2;
        origin.y = area.top + (area.bottom - area.top - height) / 2;
    } else if (parent) {
        POINT clientOrigin{0, 0};
        ClientToScreen(parent, &clientOrigin);
        origin.x += clientOrigin.x;
        origin.y += clientOrigin.y;
    }
    return RECT{origin.x, origin.y, origin.x + width, origin.y + height};
}

bool CreateControls(HWND hDlg, HINSTANCE hInstance, const DialogTemplate& t)
{
    if (!t.items && t.count)
        return false;
    for (WORD i = 0; i < t.count; ++i) {
        const DialogItemTemplate& item = t.items[i];
        RECT rc{item.x, item.y, item.x + item.cx, item.y + item.cy};
        MapDialogRect(hDlg, &rc);
        HWND c = CreateWindowEx(item.exStyle | WS_EX_NOPARENTNOTIFY, item.className ? item.className : "Static",
            item.text ? item.text : "", (item.style | WS_CHILD) & ~WS_POPUP, rc.left, rc.top, rc.right - rc.left,
            rc.bottom - rc.top, hDlg, reinterpret_cast<HMENU>(INT_PTR(item.id)), hInstance, nullptr);
        if (!IsWindow(hDlg))
            return false;
        if (!c) {
            if (t.style & DS_NOFAILCREATE)
                continue;
            return false;
        }
        if (DialogState* st = FindState(hDlg); st && st->font)
            SendMessage(c, WM_SETFONT, WPARAM(st->font), FALSE);
        // An icon control names its icon by resource number.
        if (!item.text && item.textId && (item.style & SS_TYPEMASK) == SS_ICON
            && (SendMessage(c, WM_GETDLGCODE, 0, 0) & DLGC_STATIC)) {
            if (HICON icon = LoadIcon(hInstance, MAKEINTRESOURCE(item.textId)))
                SendMessage(c, STM_SETICON, WPARAM(icon), 0);
        }
    }
    return true;
}

} // namespace

void InstallDialogClasses()
{
    SetBuiltInClassProc("Button", ButtonWindowProc);
    SetBuiltInClassProc("Static", StaticWindowProc);
    SetBuiltInClassProc("#32770", DefDlgProc);
}

bool IsDialogWindow(HWND hwnd)
{
    if (FindState(hwnd))
        return true;
    char name[16];
    return GetClassName(hwnd, name, int(sizeof name)) > 0 && lstrcmpi(name, "#32770") == 0;
}

void DialogDefaultFollowsFocus(HWND hDlg, HWND focus)
{
    if (!IsWindow(hDlg) || !focus || !IsChild(hDlg, focus))
        return;
    HWND target = NULL;
    if (IsPushButtonCode(DialogCodeOf(focus))) {
        target = focus;
    } else {
        int defId = StateOf(hDlg).defId;
        target = defId ? GetDlgItem(hDlg, defId) : NULL;
    }
    ShowAsDefault(hDlg, target);
}

} // namespace platform

using namespace platform;

LRESULT DefDlgProc(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    if (!IsWindow(hDlg))
        return 0;
    DLGPROC proc = reinterpret_cast<DLGPROC>(GetWindowLongPtr(hDlg, DWLP_DLGPROC));
    if (proc) {
        SetWindowLongPtr(hDlg, DWLP_MSGRESULT, 0);
        INT_PTR handled = proc(hDlg, Msg, wParam, lParam);
        if (!IsWindow(hDlg))
            return handled;
        if (handled)
            return AnswersDirectly(Msg) ? LRESULT(handled) : GetWindowLongPtr(hDlg, DWLP_MSGRESULT);
        if (Msg == WM_INITDIALOG)
            return 0;
    }
    return DefaultDialogProcessing(hDlg, Msg, wParam, lParam);
}

HWND CreateDialogIndirectParam(HINSTANCE hInstance, LPCDLGTEMPLATE lpTemplate, HWND hWndParent,
    DLGPROC lpDialogFunc, LPARAM dwInitParam)
{
    if (!lpTemplate) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    InstallDialogClasses();
    InstallListAndEditControls();
    const DialogTemplate& t = *lpTemplate;
    DWORD style = t.style;
    DWORD exStyle = t.exStyle;
    if (style & DS_MODALFRAME)
        exStyle |= WS_EX_DLGMODALFRAME;
    if (style & DS_CONTROL) {
        // A dialog inside another dialog: no frame of its own, and its
        // controls join the tab order of the outer one.
        style &= ~(WS_CAPTION | WS_SYSMENU);
        exStyle |= WS_EX_CONTROLPARENT;
    }
    HMENU menu = NULL;
    if (!(style & WS_CHILD) && (t.menuName || t.menuId))
        menu = LoadMenu(hInstance, t.menuName ? t.menuName : MAKEINTRESOURCE(t.menuId));
    LPCSTR className = (t.className && *t.className) ? t.className : "#32770";
    HWND hDlg = CreateWindowEx(exStyle, className, t.caption ? t.caption : "", style & ~WS_VISIBLE, 0, 0, 0, 0,
        hWndParent, menu, hInstance, nullptr);
    if (!hDlg) {
        if (menu)
            DestroyMenu(menu);
        return NULL;
    }
    DialogState& st = StateOf(hDlg);
    st.font = CreateTemplateFont(t);
    st.ownsFont = st.font != NULL;
    SetWindowLongPtr(hDlg, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(lpDialogFunc));
    if (HFONT font = StateOf(hDlg).font)
        SendMessage(hDlg, WM_SETFONT, WPARAM(font), FALSE);
    if (!IsWindow(hDlg))
        return NULL;

    RECT rc = DialogWindowRect(hDlg, hWndParent, t, style, exStyle, menu != NULL);
    SetWindowPos(hDlg, NULL, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
        SWP_NOZORDER | SWP_NOACTIVATE);
    if (!CreateControls(hDlg, hInstance, t)) {
        if (IsWindow(hDlg))
            DestroyWindow(hDlg);
        return NULL;
    }

    for (HWND c = GetWindow(hDlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (DialogCodeOf(c) & DLGC_DEFPUSHBUTTON) {
            StateOf(hDlg).defId = GetDlgCtrlID(c);
            break;
        }
    }

    HWND first = GetNextDlgTabItem(hDlg, NULL, FALSE);
    LRESULT setFocus = SendMessage(hDlg, WM_INITDIALOG, WPARAM(first), dwInitParam);
    if (!IsWindow(hDlg))
        return NULL;
    if (setFocus) {
        first = GetNextDlgTabItem(hDlg, NULL, FALSE);
        // A hidden dialog gets its focus when it is shown and activated.
        if (IsWindowVisible(hDlg))
            SetDialogFocus(hDlg, first);
        else
            StateOf(hDlg).savedFocus = first;
    }
    if ((t.style & WS_VISIBLE) && !IsWindowVisible(hDlg))
        ShowWindow(hDlg, SW_SHOWNORMAL);
    return IsWindow(hDlg) ? hDlg : NULL;
}

HWND CreateDialogParam(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
    LPARAM dwInitParam)
{
    const DialogTemplate* t = FindDialogTemplate(hInstance, lpTemplateName);
    if (!t)
        return NULL;
    return CreateDialogIndirectParam(hInstance, t, hWndParent, lpDialogFunc, dwInitParam);
}

INT_PTR DialogBoxIndirectParam(HINSTANCE hInstance, LPCDLGTEMPLATE lpTemplate, HWND hWndParent,
    DLGPROC lpDialogFunc, LPARAM dwInitParam)
{
    // The owner of a modal dialog is a top-level window.
    HWND owner = hWndParent;
    while (owner && (GetWindowLong(owner, GWL_STYLE) & WS_CHILD))
        owner = GetParent(owner);
    HWND hDlg = CreateDialogIndirectParam(hInstance, lpTemplate, owner, lpDialogFunc, dwInitParam);
    if (!hDlg)
        return -1;

    DialogState& st = StateOf(hDlg);
    st.modal = true;
    if (owner && IsWindowEnabled(owner) && !st.ended) {
        st.disabledOwner = owner;
        EnableWindow(owner, FALSE);
    }
    if (FindState(hDlg) && !FindState(hDlg)->ended)
        ShowWindow(hDlg, SW_SHOWNORMAL);

    for (;;) {
        DialogState* cur = FindState(hDlg);
        if (!cur || cur->ended || !IsWindow(hDlg))
            break;
        MSG msg{};
        BOOL got = GetMessage(&msg, NULL, 0, 0);
        if (got == 0) {
            // The application is quitting: leave the dialog and let the
            // outer loop see WM_QUIT too.
            PostQuitMessage(int(msg.wParam));
            break;
        }
        if (got < 0)
            break;
        if (!IsDialogMessage(hDlg, &msg)) {
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    }

    INT_PTR result = 0;
    HWND toEnable = NULL;
    if (DialogState* cur = FindState(hDlg)) {
        result = cur->result;
        toEnable = cur->disabledOwner;
        cur->disabledOwner = NULL;
    }
    // The owner comes back before the dialog goes, so that activation
    // returns to it.
    if (toEnable && IsWindow(toEnable))
        EnableWindow(toEnable, TRUE);
    if (IsWindow(hDlg))
        DestroyWindow(hDlg);
    return result;
}

INT_PTR DialogBoxParam(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
    LPARAM dwInitParam)
{
    const DialogTemplate* t = FindDialogTemplate(hInstance, lpTemplateName);
    if (!t)
        return -1;
    return DialogBoxIndirectParam(hInstance, t, hWndParent, lpDialogFunc, dwInitParam);
}

BOOL EndDialog(HWND hDlg, INT_PTR nResult)
{
    if (!IsWindow(hDlg)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    DialogState& st = StateOf(hDlg);
    st.ended = true;
    st.result = nResult;
    if (!st.modal)
        return TRUE;
    HWND owner = st.disabledOwner;
    st.disabledOwner = NULL;
    if (owner && IsWindow(owner))
        EnableWindow(owner, TRUE);
    if (IsWindow(hDlg))
        ShowWindow(hDlg, SW_HIDE);
    // EndDialog may come from outside the dialog's own messages while its
    // loop waits for one: wake the loop.
    PostMessage(hDlg, WM_NULL, 0, 0);
    return TRUE;
}
