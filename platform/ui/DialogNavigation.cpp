// Keyboard navigation of dialogs (IsDialogMessage and the tab and group
// order) and the calls that reach a dialog's controls by id.

#include "platform/base/CharClass.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/DialogManager.h"

#include <cstdio>
#include <vector>

namespace platform {
namespace {

std::vector<HWND> ChildrenOf(HWND parent)
{
    std::vector<HWND> children;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        children.push_back(c);
    return children;
}

// The controls of a dialog in tab order: a child that is itself a control
// parent (a dialog placed inside another) lends its controls to the outer
// order instead of being a stop itself.
void CollectTabItems(HWND parent, std::vector<HWND>& out, int depth)
{
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        DWORD style = DWORD(GetWindowLong(c, GWL_STYLE));
        bool container = (GetWindowLong(c, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) && depth < 8;
        if (container && (style & WS_VISIBLE) && !(style & WS_DISABLED))
            CollectTabItems(c, out, depth + 1);
        else if (!container)
            out.push_back(c);
    }
}

std::vector<HWND> TabItemsOf(HWND hDlg)
{
    std::vector<HWND> items;
    CollectTabItems(hDlg, items, 0);
    return items;
}

// The window's own visible and enabled flags: a dialog asks about its
// controls before it is shown itself.
bool CanTakeFocus(HWND c)
{
    DWORD style = DWORD(GetWindowLong(c, GWL_STYLE));
    return (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

int IndexOf(const std::vector<HWND>& list, HWND hwnd)
{
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i] == hwnd)
            return int(i);
    return -1;
}

// The tab item that is hwnd or holds it, or NULL outside the dialog.
HWND TabItemOf(HWND hDlg, const std::vector<HWND>& items, HWND hwnd)
{
    for (; hwnd && hwnd != hDlg; hwnd = GetParent(hwnd)) {
        if (IndexOf(items, hwnd) >= 0)
            return hwnd;
        if (!(GetWindowLong(hwnd, GWL_STYLE) & WS_CHILD))
            return NULL;
    }
    return NULL;
}

UINT CodeOf(HWND hwnd, const MSG* msg = nullptr)
{
    return hwnd ? UINT(SendMessage(hwnd, WM_GETDLGCODE, msg ? msg->wParam : 0, LPARAM(msg))) : 0;
}

void Focus(HWND hDlg, HWND target)
{
    if (target)
        SendMessage(hDlg, WM_NEXTDLGCTL, WPARAM(target), TRUE);
}

// Tabbing into a radio group lands on its checked button.
HWND CheckedRadioOfGroup(HWND hDlg, HWND radio)
{
    if (SendMessage(radio, BM_GETCHECK, 0, 0) == BST_CHECKED)
        return radio;
    HWND c = radio;
    for (int guard = 0; guard < 4096; ++guard) {
        c = GetNextDlgGroupItem(hDlg, c, FALSE);
        if (!c || c == radio)
            break;
        if ((CodeOf(c) & DLGC_RADIOBUTTON) && SendMessage(c, BM_GETCHECK, 0, 0) == BST_CHECKED)
            return c;
    }
    return radio;
}

bool IsAutoRadio(HWND hwnd)
{
    return (GetWindowLong(hwnd, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
}

// The character after the single '&' of a caption, or 0.
char MnemonicOf(HWND hwnd)
{
    char text[256];
    int len = GetWindowText(hwnd, text, int(sizeof text));
    for (int i = 0; i + 1 < len; ++i) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        return text[i + 1];
    }
    return 0;
}

bool SameLetter(char a, char b)
{
    char pair[2] = {a, b};
    CharUpperBuff(pair, 2);
    return pair[0] == pair[1];
}

// Finds the control whose caption underlines `ch`, after the focus first so
// that repeated presses walk controls sharing a letter.
bool HandleMnemonic(HWND hDlg, HWND focusChild, char ch)
{
    std::vector<HWND> children = TabItemsOf(hDlg);
    int n = int(children.size());
    int start = IndexOf(children, focusChild);
    for (int k = 1; k <= n; ++k) {
        HWND c = children[size_t((start + k + n) % n)];
        if (!CanTakeFocus(c))
            continue;
        UINT code = CodeOf(c);
        if ((code & DLGC_STATIC) && (GetWindowLong(c, GWL_STYLE) & SS_NOPREFIX))
            continue;
        char m = MnemonicOf(c);
        if (!m || !SameLetter(m, ch))
            continue;
        if (code & DLGC_STATIC) {
            // A label hands on to the control that follows it.
            Focus(hDlg, GetNextDlgTabItem(hDlg, c, FALSE));
        } else if (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) {
            SendMessage(c, BM_CLICK, 0, 0);
        } else if (code & DLGC_BUTTON) {
            Focus(hDlg, c);
            SendMessage(c, BM_CLICK, 0, 0);
        } else {
            Focus(hDlg, c);
        }
        return true;
    }
    return false;
}

void SendCommand(HWND hDlg, int id)
{
    HWND control = GetDlgItem(hDlg, id);
    if (control && !IsWindowEnabled(control)) {
        MessageBeep(0);
        return;
    }
    SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(WORD(id), BN_CLICKED), LPARAM(control));
}

bool HandleKeyDown(HWND hDlg, const MSG& msg, HWND focusChild, UINT code)
{
    switch (msg.wParam) {
    case VK_TAB: {
        if (code & DLGC_WANTTAB)
            return false;
        bool back = GetKeyState(VK_SHIFT) < 0;
        HWND next = GetNextDlgTabItem(hDlg, focusChild, back);
        if (next && (CodeOf(next) & DLGC_RADIOBUTTON))
            next = CheckedRadioOfGroup(hDlg, next);
        Focus(hDlg, next);
        return true;
    }
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: {
        if (code & DLGC_WANTARROWS)
            return false;
        if (!focusChild)
            return true;
        HWND next = GetNextDlgGroupItem(hDlg, focusChild, msg.wParam == VK_LEFT || msg.wParam == VK_UP);
        if (next && next != focusChild) {
            Focus(hDlg, next);
            if ((CodeOf(next) & DLGC_RADIOBUTTON) && IsAutoRadio(next))
                SendMessage(next, BM_CLICK, 0, 0);
        }
        return true;
    }
    case VK_RETURN: {
        int id = IDOK;
        if (focusChild && (code & DLGC_DEFPUSHBUTTON)) {
            id = GetDlgCtrlID(focusChild);
        } else {
            LRESULT def = SendMessage(hDlg, DM_GETDEFID, 0, 0);
            if (HIWORD(def) == DC_HASDEFID)
                id = LOWORD(def);
        }
        SendCommand(hDlg, id);
        return true;
    }
    case VK_ESCAPE:
        SendCommand(hDlg, IDCANCEL);
        return true;
    default:
        return false;
    }
}

} // namespace
} // namespace platform

using namespace platform;

BOOL IsDialogMessage(HWND hDlg, LPMSG lpMsg)
{
    if (!lpMsg || !IsWindow(hDlg))
        return FALSE;
    if (lpMsg->hwnd != hDlg && !IsChild(hDlg, lpMsg->hwnd))
        return FALSE;

    MSG msg = *lpMsg;
    bool key = msg.message == WM_KEYDOWN || msg.message == WM_CHAR || msg.message == WM_SYSCHAR;
    if (key) {
        HWND focus = GetFocus();
        HWND focusChild = (focus && IsChild(hDlg, focus)) ? TabItemOf(hDlg, TabItemsOf(hDlg), focus) : NULL;
        UINT code = (msg.hwnd != hDlg) ? CodeOf(msg.hwnd, &msg) : 0;
        if (msg.message == WM_SYSCHAR) {
            // Alt with a letter is the dialog's, whatever the control with
            // the focus takes: a multi-line edit or a picture button that
            // wants every key must not swallow the mnemonics.
            BYTE ch = BYTE(msg.wParam);
            if (ch > ' ' && HandleMnemonic(hDlg, focusChild, char(ch)))
                return TRUE;
        } else if (code & DLGC_WANTALLKEYS) {
            // The control takes every key itself.
        } else if (msg.message == WM_KEYDOWN) {
            if (HandleKeyDown(hDlg, msg, focusChild, code))
                return TRUE;
        } else if (!(code & DLGC_WANTCHARS)) {
            BYTE ch = BYTE(msg.wParam);
            if (ch > ' ' && HandleMnemonic(hDlg, focusChild, char(ch)))
                return TRUE;
        }
    }
    TranslateMessage(&msg);
    DispatchMessage(&msg);
    return TRUE;
}

HWND GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious)
{
    if (!IsWindow(hDlg)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return NULL;
    }
    std::vector<HWND> children = TabItemsOf(hDlg);
    int n = int(children.size());
    if (n == 0)
        return NULL;
    int start = IndexOf(children, TabItemOf(hDlg, children, hCtl));
    if (start < 0)
        start = bPrevious ? 0 : n - 1; // so that the first step lands on an end
    int step = bPrevious ? -1 : 1;
    for (int k = 1; k <= n; ++k) {
        HWND c = children[size_t(((start + step * k) % n + n) % n)];
        if (CanTakeFocus(c) && (GetWindowLong(c, GWL_STYLE) & WS_TABSTOP))
            return c;
    }
    return hCtl;
}

HWND GetNextDlgGroupItem(HWND hDlg, HWND hCtl, BOOL bPrevious)
{
    if (!IsWindow(hDlg)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return NULL;
    }
    // Groups are made of siblings: those of the dialog or, for a control of
    // a dialog placed inside it, those of that inner dialog.
    HWND ctl = TabItemOf(hDlg, TabItemsOf(hDlg), hCtl);
    if (!ctl) {
        HWND first = GetWindow(hDlg, GW_CHILD);
        return first;
    }
    std::vector<HWND> children = ChildrenOf(GetParent(ctl));
    int at = IndexOf(children, ctl);
    if (at < 0)
        return ctl;
    // A group runs from a WS_GROUP control up to the next one.
    int first = at;
    while (first > 0 && !(GetWindowLong(children[size_t(first)], GWL_STYLE) & WS_GROUP))
        --first;
    int end = first + 1;
    while (end < int(children.size()) && !(GetWindowLong(children[size_t(end)], GWL_STYLE) & WS_GROUP))
        ++end;
    int count = end - first;
    int step = bPrevious ? -1 : 1;
    for (int k = 1; k < count; ++k) {
        int i = first + (((at - first + step * k) % count) + count) % count;
        if (CanTakeFocus(children[size_t(i)]))
            return children[size_t(i)];
    }
    return ctl;
}

BOOL CheckRadioButton(HWND hDlg, int nIDFirstButton, int nIDLastButton, int nIDCheckButton)
{
    if (!IsWindow(hDlg)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    for (HWND c = GetWindow(hDlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        int id = GetDlgCtrlID(c);
        if (id >= nIDFirstButton && id <= nIDLastButton)
            SendMessage(c, BM_SETCHECK, id == nIDCheckButton ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    return TRUE;
}

BOOL CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck)
{
    HWND c = GetDlgItem(hDlg, nIDButton);
    if (!c)
        return FALSE;
    SendMessage(c, BM_SETCHECK, uCheck, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND hDlg, int nIDButton)
{
    return UINT(SendDlgItemMessage(hDlg, nIDButton, BM_GETCHECK, 0, 0));
}

UINT GetDlgItemText(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax)
{
    HWND c = GetDlgItem(hDlg, nIDDlgItem);
    if (!c) {
        if (lpString && cchMax > 0)
            lpString[0] = '\0';
        return 0;
    }
    return UINT(GetWindowText(c, lpString, cchMax));
}

BOOL SetDlgItemText(HWND hDlg, int nIDDlgItem, LPCSTR lpString)
{
    HWND c = GetDlgItem(hDlg, nIDDlgItem);
    return c ? SetWindowText(c, lpString) : FALSE;
}

UINT GetDlgItemInt(HWND hDlg, int nIDDlgItem, BOOL* lpTranslated, BOOL bSigned)
{
    if (lpTranslated)
        *lpTranslated = FALSE;
    char text[64];
    HWND c = GetDlgItem(hDlg, nIDDlgItem);
    if (!c)
        return 0;
    int len = GetWindowText(c, text, int(sizeof text));
    int i = 0;
    while (i < len && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < len && (text[i] == '-' || text[i] == '+')) {
        if (text[i] == '-' && !bSigned)
            return 0;
        negative = text[i] == '-';
        ++i;
    }
    if (i >= len || text[i] < '0' || text[i] > '9')
        return 0;
    unsigned long long value = 0;
    while (i < len && text[i] >= '0' && text[i] <= '9') {
        value = value * 10 + unsigned(text[i] - '0');
        if (value > 0xFFFFFFFFull)
            return 0;
        ++i;
    }
    while (i < len && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    if (i != len)
        return 0;
    if (bSigned && value > (negative ? 0x80000000ull : 0x7FFFFFFFull))
        return 0;
    if (lpTranslated)
        *lpTranslated = TRUE;
    return negative ? UINT(0u - UINT(value)) : UINT(value);
}

BOOL SetDlgItemInt(HWND hDlg, int nIDDlgItem, UINT uValue, BOOL bSigned)
{
    char text[16];
    if (bSigned)
        std::snprintf(text, sizeof text, "%d", int(uValue));
    else
        std::snprintf(text, sizeof text, "%u", uValue);
    return SetDlgItemText(hDlg, nIDDlgItem, text);
}

LRESULT SendDlgItemMessage(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    HWND c = GetDlgItem(hDlg, nIDDlgItem);
    return c ? SendMessage(c, Msg, wParam, lParam) : 0;
}
