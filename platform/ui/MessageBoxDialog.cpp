// The message box built as one of our dialogs: an icon, the wrapped text and
// a row of buttons, laid out in pixels once the dialog font is known.

#include "platform/base/GdiRecords.h"
#include "platform/base/ResourceTables.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/CommDlgMisc.h"
#include "platform/ui/User.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <string>

namespace platform {
namespace {

constexpr int kIconId = 20;
constexpr int kTextId = 0xFFFF;
constexpr int kMargin = 11;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;
constexpr int kMaxTextWidth = 420;

struct BoxButton {
    int id;
    const char* label;
};

struct BoxState {
    std::string text;
    UINT type = 0;
    HWND owner = NULL;
    bool modal = false;
    std::vector<BoxButton> buttons;
};

std::map<HWND, BoxState>& States()
{
    static std::map<HWND, BoxState> states;
    return states;
}

// Answers of modeless boxes already gone, most recent last.
std::deque<std::pair<HWND, int>>& Results()
{
    static std::deque<std::pair<HWND, int>> results;
    return results;
}

std::vector<BoxButton> ButtonsOf(UINT type)
{
    static const BoxButton kSets[][3] = {
        {{IDOK, "OK"}, {0, nullptr}, {0, nullptr}},
        {{IDOK, "OK"}, {IDCANCEL, "Cancel"}, {0, nullptr}},
        {{IDABORT, "&Abort"}, {IDRETRY, "&Retry"}, {IDIGNORE, "&Ignore"}},
        {{IDYES, "&Yes"}, {IDNO, "&No"}, {IDCANCEL, "Cancel"}},
        {{IDYES, "&Yes"}, {IDNO, "&No"}, {0, nullptr}},
        {{IDRETRY, "&Retry"}, {IDCANCEL, "Cancel"}, {0, nullptr}},
    };
    UINT kind = type & MB_TYPEMASK;
    if (kind > 5)
        kind = 0;
    std::vector<BoxButton> buttons;
    for (const BoxButton& b : kSets[kind])
        if (b.label)
            buttons.push_back(b);
    if (type & MB_HELP)
        buttons.push_back(BoxButton{IDHELP, "Help"});
    return buttons;
}

LPCSTR IconOf(UINT type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
        return IDI_HAND;
    case MB_ICONQUESTION:
        return IDI_QUESTION;
    case MB_ICONEXCLAMATION:
        return IDI_EXCLAMATION;
    case MB_ICONASTERISK:
        return IDI_ASTERISK;
    default:
        return nullptr;
    }
}

void Finish(HWND hDlg, BoxState& state, int id)
{
    if (state.modal) {
        EndDialog(hDlg, id);
        return;
    }
    auto& results = Results();
    results.emplace_back(hDlg, id);
    if (results.size() > 32)
        results.pop_front();
    DestroyWindow(hDlg);
}

void Layout(HWND hDlg, BoxState& state)
{
    HFONT font = HFONT(SendMessage(hDlg, WM_GETFONT, 0, 0));
    HDC hdc = GetDC(hDlg);
    HGDIOBJ old = font ? SelectObject(hdc, font) : NULL;
    RECT textRect{0, 0, kMaxTextWidth, 0};
    DrawText(hdc, state.text.c_str(), int(state.text.size()), &textRect,
        DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    if (old)
        SelectObject(hdc, old);
    ReleaseDC(hDlg, hdc);

    int textWidth = std::max<int>(textRect.right - textRect.left, 1);
    int textHeight = std::max<int>(textRect.bottom - textRect.top, 8);
    LPCSTR iconName = IconOf(state.type);
    int iconSize = iconName ? GetSystemMetrics(SM_CXICON) : 0;
    int textLeft = kMargin + (iconName ? iconSize + kMargin : 0);
    int bodyHeight = std::max(textHeight, iconSize);
    int count = int(state.buttons.size());
    int rowWidth = count * kButtonWidth + (count - 1) * kButtonGap;
    int clientWidth = std::max(textLeft + textWidth + kMargin, rowWidth + 2 * kMargin);
    int buttonsTop = kMargin + bodyHeight + kMargin;
    int clientHeight = buttonsTop + kButtonHeight + kMargin;

    HINSTANCE inst = NULL;
    if (iconName) {
        HWND icon = CreateWindowEx(0, "Static", "", WS_CHILD | WS_VISIBLE | SS_ICON, kMargin, kMargin, iconSize,
            iconSize, hDlg, HMENU(INT_PTR(kIconId)), inst, NULL);
        SendMessage(icon, STM_SETICON, WPARAM(LoadIcon(NULL, iconName)), 0);
    }
    int textTop = kMargin + (bodyHeight - textHeight) / 2;
    HWND text = CreateWindowEx(0, "Static", state.text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
        textLeft, textTop, textWidth, textHeight, hDlg, HMENU(INT_PTR(kTextId)), inst, NULL);
    SendMessage(text, WM_SETFONT, WPARAM(font), FALSE);

    UINT defaultIndex = (state.type & MB_DEFMASK) >> 8;
    if (defaultIndex >= UINT(count))
        defaultIndex = 0;
    int x = (clientWidth - rowWidth) / 2;
    HWND defaultButton = NULL;
    for (int i = 0; i < count; ++i) {
        const BoxButton& b = state.buttons[size_t(i)];
        DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == 0 ? WS_GROUP : 0)
            | (UINT(i) == defaultIndex ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        HWND button = CreateWindowEx(0, "Button", b.label, style, x, buttonsTop, kButtonWidth, kButtonHeight, hDlg,
            HMENU(INT_PTR(b.id)), inst, NULL);
        SendMessage(button, WM_SETFONT, WPARAM(font), FALSE);
        if (UINT(i) == defaultIndex)
            defaultButton = button;
        x += kButtonWidth + kButtonGap;
    }

    // Size the frame around the client area and centre it on the owner (or
    // the screen).
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, DWORD(GetWindowLong(hDlg, GWL_STYLE)), FALSE, DWORD(GetWindowLong(hDlg, GWL_EXSTYLE)));
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (state.owner && IsWindow(state.owner) && IsWindowVisible(state.owner))
        GetWindowRect(state.owner, &area);
    int left = area.left + (area.right - area.left - width) / 2;
    int top = area.top + (area.bottom - area.top - height) / 2;
    SetWindowPos(hDlg, NULL, std::max(left, 0), std::max(top, 0), width, height, SWP_NOZORDER | SWP_NOACTIVATE);

    if (defaultButton) {
        SendMessage(hDlg, DM_SETDEFID, WPARAM(GetDlgCtrlID(defaultButton)), 0);
        SetFocus(defaultButton);
    }
}

bool HasButton(const BoxState& state, int id)
{
    return std::any_of(state.buttons.begin(), state.buttons.end(), [id](const BoxButton& b) { return b.id == id; });
}

INT_PTR CALLBACK BoxProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto& states = States();
    if (msg == WM_INITDIALOG) {
        auto* initial = reinterpret_cast<BoxState*>(lParam);
        BoxState& state = states[hDlg] = std::move(*initial);
        Layout(hDlg, state);
        return FALSE; // focus is already on the default button
    }
    auto it = states.find(hDlg);
    if (it == states.end())
        return FALSE;
    BoxState& state = it->second;
    switch (msg) {
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (id == IDHELP) {
            // Help leaves the box open and asks the owner.
            if (state.owner && IsWindow(state.owner)) {
                HELPINFO info{};
                info.cbSize = sizeof info;
                info.iContextType = HELPINFO_WINDOW;
                info.iCtrlId = IDHELP;
                info.hItemHandle = GetDlgItem(hDlg, IDHELP);
                GetCursorPos(&info.MousePos);
                SendMessage(state.owner, WM_HELP, 0, LPARAM(&info));
            }
            return TRUE;
        }
        if (id == IDCANCEL && !HasButton(state, IDCANCEL)) {
            // Esc or the close box: a lone OK answers OK; otherwise the
            // user must pick one of the buttons.
            if (state.buttons.size() == 1 || (state.buttons.size() == 2 && HasButton(state, IDHELP)))
                Finish(hDlg, state, IDOK);
            return TRUE;
        }
        if (HasButton(state, id))
            Finish(hDlg, state, id);
        return TRUE;
    }
    case WM_DESTROY:
        states.erase(it);
        return FALSE;
    default:
        return FALSE;
    }
}

struct BoxTemplate {
    DialogTemplate tmpl{};
    std::string caption;
};

void FillTemplate(BoxTemplate& box, LPCSTR caption, UINT type, bool visible)
{
    box.caption = caption ? std::string(caption, strnlen(caption, 1024)) : std::string("Error");
    DialogTemplate& t = box.tmpl;
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | (visible ? WS_VISIBLE : 0);
    t.exStyle = (type & MB_TOPMOST) ? WS_EX_TOPMOST : 0;
    t.cx = 100;
    t.cy = 40;
    t.caption = box.caption.c_str();
    t.menuName = nullptr;
    t.className = "";
    t.pointSize = 8;
    t.weight = FW_NORMAL;
    t.faceName = "MS Sans Serif";
    t.items = nullptr;
    t.count = 0;
}

BoxState MakeState(HWND owner, LPCSTR text, UINT type, bool modal)
{
    BoxState state;
    state.text = text ? std::string(text, strnlen(text, 65536)) : std::string();
    state.type = type;
    state.owner = owner && IsWindow(owner) ? owner : NULL;
    state.modal = modal;
    state.buttons = ButtonsOf(type);
    return state;
}

} // namespace

HWND CreateMessageBoxDialog(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    BoxTemplate box;
    FillTemplate(box, caption, type, true);
    BoxState state = MakeState(owner, text, type, false);
    return CreateDialogIndirectParam(NULL, &box.tmpl, state.owner, BoxProc, LPARAM(&state));
}

int RunMessageBoxDialog(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    BoxTemplate box;
    FillTemplate(box, caption, type, true);
    BoxState state = MakeState(owner, text, type, true);
    INT_PTR answer = DialogBoxIndirectParam(NULL, &box.tmpl, state.owner, BoxProc, LPARAM(&state));
    return answer > 0 ? int(answer) : 0;
}

int MessageBoxDialogResult(HWND box)
{
    for (auto it = Results().rbegin(); it != Results().rend(); ++it)
        if (it->first == box)
            return it->second;
    return 0;
}

} // namespace platform
