// The combo box: a selection field (an edit for CBS_SIMPLE and CBS_DROPDOWN,
// a drawn field for CBS_DROPDOWNLIST) over a list-box window that holds the
// items. The drop-down styles show the list as a top-level popup owned by the
// combo, so no parent clips it: under the field, or over it when the screen
// has no room below, as tall as the height the combo was created with and as
// wide as the field, the dropped width asked for or the widest item; while it
// is down the combo holds the mouse capture and routes the mouse and the keys
// to it.

#include "platform/gdi/Gdi.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/ListBoxShared.h"
#include "platform/ui/internal/WindowStates.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>

namespace platform {
namespace {

constexpr int kEditId = 1001;
constexpr int kListId = 1000;
constexpr int kFieldBorder = 3; // sunken edge plus a pixel of margin
// An item's text starts this far into its row; the same room is kept after it.
constexpr int kItemTextMargin = 2;
// Measuring stops after this many items, so that a huge list drops at once.
constexpr int kMaxMeasuredItems = 4096;

struct ComboState {
    HWND list = NULL;
    HWND edit = NULL;
    int fieldHeight = 0; // the item height of the selection field
    int dropHeight = 0; // the list's height when dropped
    int createdHeight = 0;
    int droppedWidth = 0; // the least width of the dropped list (CB_SETDROPPEDWIDTH)
    bool dropped = false;
    bool focused = false;
    int selectionAtDrop = -1;
    int notifiedSelection = -1;
    bool settingText = false; // the edit's change reports are ours, not the user's
    HFONT font = NULL;
};

std::map<HWND, std::unique_ptr<ComboState>>& States()
{
    return platform::WindowStates<ComboState>();
}

ComboState* StateOf(HWND hwnd)
{
    return platform::FindWindowState<ComboState>(hwnd);
}

DWORD StyleOf(HWND hwnd)
{
    return DWORD(GetWindowLongPtr(hwnd, GWL_STYLE));
}

DWORD KindOf(HWND hwnd)
{
    return StyleOf(hwnd) & 3;
}

bool IsDropKind(HWND hwnd)
{
    DWORD kind = KindOf(hwnd);
    return kind == CBS_DROPDOWN || kind == CBS_DROPDOWNLIST;
}

void Notify(HWND hwnd, int code)
{
    if (HWND parent = GetParent(hwnd))
        SendMessage(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), code), LPARAM(hwnd));
}

int TextHeight(HWND hwnd, HFONT font)
{
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return tm.tmHeight > 0 ? tm.tmHeight : 13;
}

bool Contains(const RECT& r, POINT p)
{
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

int ButtonWidth()
{
    return GetSystemMetrics(SM_CXVSCROLL);
}

RECT ButtonRect(HWND hwnd)
{
    RECT rc;
    GetClientRect(hwnd, &rc);
    if (!IsDropKind(hwnd))
        return RECT{rc.right, 0, rc.right, 0};
    return RECT{rc.right - ButtonWidth() - 2, 2, rc.right - 2, rc.bottom - 2};
}

int FieldTotalHeight(const ComboState& s)
{
    return s.fieldHeight + 2 * kFieldBorder;
}

int Selection(const ComboState& s)
{
    return s.list ? int(SendMessage(s.list, LB_GETCURSEL, 0, 0)) : -1;
}

std::string ItemText(const ComboState& s, int index)
{
    LRESULT length = SendMessage(s.list, LB_GETTEXTLEN, WPARAM(index), 0);
    if (length < 0)
        return {};
    std::string text(size_t(length) + sizeof(ULONG_PTR) + 1, '\0');
    SendMessage(s.list, LB_GETTEXT, WPARAM(index), LPARAM(text.data()));
    text.resize(size_t(length));
    return text;
}

// Shows the selected item in the field: the edit's text, or a repaint.
void ShowSelection(HWND hwnd)
{
    ComboState* s = StateOf(hwnd);
    if (!s)
        return;
    int selection = Selection(*s);
    if (s->edit) {
        std::string text = selection >= 0 ? ItemText(*s, selection) : std::string();
        HWND edit = s->edit;
        s->settingText = true;
        SetWindowText(edit, text.c_str());
        if (ComboState* again = StateOf(hwnd))
            again->settingText = false;
        SendMessage(edit, EM_SETSEL, 0, -1);
    }
    InvalidateRect(hwnd, NULL, TRUE);
}

void ReportSelectionChange(HWND hwnd)
{
    ComboState* s = StateOf(hwnd);
    if (!s)
        return;
    int selection = Selection(*s);
    if (selection == s->notifiedSelection)
        return;
    s->notifiedSelection = selection;
    ShowSelection(hwnd);
    Notify(hwnd, CBN_SELCHANGE);
}

void Layout(HWND hwnd)
{
    ComboState* s = StateOf(hwnd);
    if (!s)
        return;
    RECT rc;
    GetClientRect(hwnd, &rc);
    int field = FieldTotalHeight(*s);
    if (s->edit) {
        int right = IsDropKind(hwnd) ? rc.right - ButtonWidth() - 2 : rc.right;
        MoveWindow(s->edit, kFieldBorder, kFieldBorder, std::max(0, right - 2 * kFieldBorder), s->fieldHeight, TRUE);
    }
    if (s->list && KindOf(hwnd) == CBS_SIMPLE)
        MoveWindow(s->list, 0, field, rc.right, std::max(0, int(rc.bottom) - field), TRUE);
}

// The width the items' text needs in the list's client area; 0 when the
// items are drawn by the owner and carry no text.
int WidestItem(HWND hwnd, const ComboState& s)
{
    DWORD style = StyleOf(hwnd);
    if ((style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) && !(style & CBS_HASSTRINGS))
        return 0;
    int count = std::min(int(SendMessage(s.list, LB_GETCOUNT, 0, 0)), kMaxMeasuredItems);
    if (count <= 0)
        return 0;
    HDC dc = GetDC(s.list);
    HGDIOBJ old = SelectObject(dc, s.font ? s.font : GetStockObject(DEFAULT_GUI_FONT));
    int widest = 0;
    for (int i = 0; i < count; ++i) {
        std::string text = ItemText(s, i);
        SIZE size{};
        if (!text.empty() && GetTextExtentPoint32(dc, text.c_str(), int(text.size()), &size))
            widest = std::max(widest, int(size.cx));
    }
    SelectObject(dc, old);
    ReleaseDC(s.list, dc);
    return widest > 0 ? widest + 2 * kItemTextMargin : 0;
}

// Where the dropped list goes on the screen: under the combo when it fits
// there, else over it when that has room, else on the roomier side cut to
// fit; as wide as the combo, the dropped width or the widest item, and moved
// left rather than run off the screen's right edge.
RECT DropRect(HWND hwnd, const ComboState& s)
{
    RECT wr;
    GetWindowRect(hwnd, &wr);
    const int itemHeight = std::max(1, int(SendMessage(s.list, LB_GETITEMHEIGHT, 0, 0)));
    // The list's border is WS_BORDER's line on each side.
    const int frame = 2 * GetSystemMetrics(SM_CXBORDER);
    const bool scrollShown = (GetWindowLongPtr(s.list, GWL_STYLE) & WS_VSCROLL) != 0;
    const int frameHeight = 2 * GetSystemMetrics(SM_CYBORDER);

    int height = std::max(s.dropHeight, itemHeight + frameHeight);
    const int screenW = std::max(1, GetSystemMetrics(SM_CXSCREEN));
    const int screenH = std::max(1, GetSystemMetrics(SM_CYSCREEN));
    const int below = screenH - int(wr.bottom);
    const int above = int(wr.top);
    int top;
    if (height <= below) {
        top = wr.bottom;
    } else if (height <= above) {
        top = wr.top - height;
    } else if (below >= above) {
        height = std::max(below, itemHeight + frameHeight);
        top = wr.bottom;
    } else {
        height = std::max(above, itemHeight + frameHeight);
        top = wr.top - height;
    }

    // The scroll bar, when the items overflow the list, takes from its width.
    const int count = int(SendMessage(s.list, LB_GETCOUNT, 0, 0));
    const bool needsScroll = scrollShown && count > 0 && int64_t(count) * itemHeight > height - frameHeight;
    int width = WidestItem(hwnd, s);
    if (width > 0)
        width += frame + (needsScroll ? GetSystemMetrics(SM_CXVSCROLL) : 0);
    width = std::min(std::max({width, int(wr.right - wr.left), s.droppedWidth}), screenW);
    const int left = std::clamp(int(wr.left), 0, std::max(0, screenW - width));
    return RECT{left, top, left + width, top + height};
}

void DropDown(HWND hwnd)
{
    ComboState* s = StateOf(hwnd);
    if (!s || s->dropped || !IsDropKind(hwnd))
        return;
    Notify(hwnd, CBN_DROPDOWN);
    s = StateOf(hwnd);
    if (!s)
        return;
    s->dropped = true;
    s->selectionAtDrop = Selection(*s);
    RECT place = DropRect(hwnd, *s);
    SetWindowPos(s->list, HWND_TOPMOST, place.left, place.top, place.right - place.left, place.bottom - place.top,
        SWP_SHOWWINDOW | SWP_NOACTIVATE);
    if (s->selectionAtDrop >= 0)
        SendMessage(s->list, LB_SETTOPINDEX, WPARAM(s->selectionAtDrop), 0);
    SetCapture(hwnd);
    InvalidateRect(hwnd, NULL, TRUE);
}

// Closes the dropped list; `accept` keeps the item under the pointer or
// keys, otherwise the selection goes back to what it was before the drop.
void CloseUp(HWND hwnd, bool accept)
{
    ComboState* s = StateOf(hwnd);
    if (!s || !s->dropped)
        return;
    s->dropped = false;
    HWND list = s->list;
    if (accept) {
        Notify(hwnd, CBN_SELENDOK);
    } else {
        SendMessage(list, LB_SETCURSEL, WPARAM(s->selectionAtDrop), 0);
        Notify(hwnd, CBN_SELENDCANCEL);
    }
    ShowWindow(list, SW_HIDE);
    if (GetCapture() == hwnd)
        ReleaseCapture();
    Notify(hwnd, CBN_CLOSEUP);
    ReportSelectionChange(hwnd);
    InvalidateRect(hwnd, NULL, TRUE);
}

void PaintField(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    ComboState* s = StateOf(hwnd);
    if (!s) {
        EndPaint(hwnd, &ps);
        return;
    }
    RECT rc;
    GetClientRect(hwnd, &rc);
    RECT field{0, 0, rc.right, FieldTotalHeight(*s)};
    FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    FillRect(dc, &field, GetSysColorBrush(IsWindowEnabled(hwnd) ? COLOR_WINDOW : COLOR_BTNFACE));
    DrawEdge(dc, &field, EDGE_SUNKEN, BF_RECT);
    if (IsDropKind(hwnd)) {
        RECT button = ButtonRect(hwnd);
        FillRect(dc, &button, GetSysColorBrush(COLOR_BTNFACE));
        DrawEdge(dc, &button, s->dropped ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        int cx = (button.left + button.right) / 2 + (s->dropped ? 1 : 0);
        int cy = (button.top + button.bottom) / 2 + (s->dropped ? 1 : 0);
        POINT arrow[3] = {{cx - 3, cy - 1}, {cx + 4, cy - 1}, {cx, cy + 3}};
        HGDIOBJ oldBrush = SelectObject(dc, GetSysColorBrush(IsWindowEnabled(hwnd) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
        Polygon(dc, arrow, 3);
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
    }
    if (KindOf(hwnd) == CBS_DROPDOWNLIST) {
        RECT item{kFieldBorder, kFieldBorder, ButtonRect(hwnd).left - 1, kFieldBorder + s->fieldHeight};
        int selection = Selection(*s);
        bool highlighted = s->focused && !s->dropped;
        DWORD style = StyleOf(hwnd);
        if (style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) {
            DRAWITEMSTRUCT d{};
            d.CtlType = ODT_COMBOBOX;
            d.CtlID = UINT(GetDlgCtrlID(hwnd));
            d.itemID = UINT(selection);
            d.itemAction = ODA_DRAWENTIRE;
            d.itemState = ODS_COMBOBOXEDIT | (highlighted ? ODS_SELECTED | ODS_FOCUS : 0) |
                (IsWindowEnabled(hwnd) ? 0 : ODS_DISABLED);
            d.hwndItem = hwnd;
            d.hDC = dc;
            d.rcItem = item;
            d.itemData = selection >= 0 ? ULONG_PTR(SendMessage(s->list, LB_GETITEMDATA, WPARAM(selection), 0)) : 0;
            if (HWND parent = GetParent(hwnd))
                SendMessage(parent, WM_DRAWITEM, WPARAM(d.CtlID), LPARAM(&d));
        } else {
            if (highlighted)
                FillRect(dc, &item, GetSysColorBrush(COLOR_HIGHLIGHT));
            std::string text = selection >= 0 ? ItemText(*s, selection) : std::string();
            HGDIOBJ oldFont = SelectObject(dc, s->font ? s->font : GetStockObject(DEFAULT_GUI_FONT));
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, GetSysColor(!IsWindowEnabled(hwnd) ? COLOR_GRAYTEXT
                        : highlighted                           ? COLOR_HIGHLIGHTTEXT
                                                                : COLOR_WINDOWTEXT));
            RECT t = item;
            t.left += 2;
            DrawText(dc, text.c_str(), int(text.size()), &t, DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
            SelectObject(dc, oldFont);
            if (highlighted)
                DrawFocusRect(dc, &item);
        }
    }
    EndPaint(hwnd, &ps);
}

int MeasureOwnerDrawn(HWND hwnd, int itemId, int height)
{
    MEASUREITEMSTRUCT m{};
    m.CtlType = ODT_COMBOBOX;
    m.CtlID = UINT(GetDlgCtrlID(hwnd));
    m.itemID = UINT(itemId);
    m.itemHeight = UINT(height);
    if (HWND parent = GetParent(hwnd))
        SendMessage(parent, WM_MEASUREITEM, WPARAM(m.CtlID), LPARAM(&m));
    return (m.itemHeight > 0 && m.itemHeight < 256) ? int(m.itemHeight) : height;
}

LRESULT OnCreate(HWND hwnd, const CREATESTRUCT& cs)
{
    States()[hwnd] = std::make_unique<ComboState>();
    DWORD style = StyleOf(hwnd);
    DWORD kind = style & 3;
    int textHeight = TextHeight(hwnd, NULL);
    int fieldHeight = textHeight;
    int itemHeight = textHeight;
    if (style & CBS_OWNERDRAWFIXED) {
        fieldHeight = MeasureOwnerDrawn(hwnd, -1, textHeight);
        itemHeight = MeasureOwnerDrawn(hwnd, 0, textHeight);
    }
    ComboState* s = StateOf(hwnd);
    if (!s)
        return -1;
    s->fieldHeight = fieldHeight;
    s->createdHeight = cs.cy;
    s->dropHeight = std::max(0, cs.cy - FieldTotalHeight(*s));

    DWORD listStyle = LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | (DWORD(cs.style) & WS_VSCROLL);
    if (style & CBS_SORT)
        listStyle |= LBS_SORT;
    if (style & CBS_HASSTRINGS)
        listStyle |= LBS_HASSTRINGS;
    HWND list;
    if (kind == CBS_SIMPLE) {
        list = CreateWindowEx(WS_EX_CLIENTEDGE, "ComboLBox", "", WS_CHILD | WS_VISIBLE | listStyle, 0, 0, 0, 0, hwnd,
            HMENU(INT_PTR(kListId)), cs.hInstance, NULL);
    } else {
        list = CreateWindowEx(WS_EX_TOOLWINDOW, "ComboLBox", "", WS_POPUP | WS_BORDER | listStyle, 0, 0, 0, 0, hwnd,
            NULL, cs.hInstance, NULL);
    }
    s = StateOf(hwnd);
    if (!s || !list)
        return -1;
    s->list = list;
    AttachListToCombo(list, hwnd);
    // The owner-draw bits are given only now, so that the list measures and
    // draws on the combo's behalf rather than its own.
    if (style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE))
        SetWindowLongPtr(list, GWL_STYLE, GetWindowLongPtr(list, GWL_STYLE) | (style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)));
    SendMessage(list, LB_SETITEMHEIGHT, 0, MAKELPARAM(itemHeight, 0));

    if (kind != CBS_DROPDOWNLIST) {
        HWND edit = CreateWindowEx(0, "Edit", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, 0, 0, hwnd,
            HMENU(INT_PTR(kEditId)), cs.hInstance, NULL);
        s = StateOf(hwnd);
        if (!s)
            return -1;
        s->edit = edit;
    }
    if (kind != CBS_SIMPLE) {
        RECT wr;
        GetWindowRect(hwnd, &wr);
        RECT cr;
        GetClientRect(hwnd, &cr);
        int frame = (wr.bottom - wr.top) - (cr.bottom - cr.top);
        SetWindowPos(hwnd, NULL, 0, 0, wr.right - wr.left, FieldTotalHeight(*s) + frame,
            SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    Layout(hwnd);
    return 0;
}

// Mouse input while the list is down and the combo holds the capture.
void OnDroppedMouse(HWND hwnd, ComboState& s, UINT msg, LPARAM lParam)
{
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(hwnd, &p);
    RECT listRect;
    GetWindowRect(s.list, &listRect);
    bool inList = Contains(listRect, p);
    POINT inside = p;
    ScreenToClient(s.list, &inside);
    LPARAM listPoint = MAKELPARAM(inside.x, inside.y);
    switch (msg) {
    case WM_MOUSEMOVE:
        if (inList)
            SendMessage(s.list, WM_MOUSEMOVE, 0, listPoint);
        break;
    case WM_LBUTTONDOWN:
        if (!inList)
            CloseUp(hwnd, false);
        break;
    case WM_LBUTTONUP:
        if (inList) {
            SendMessage(s.list, WM_MOUSEMOVE, 0, listPoint);
            CloseUp(hwnd, true);
        }
        break;
    default:
        break;
    }
}

bool OnKey(HWND hwnd, ComboState& s, WPARAM vk)
{
    bool alt = GetKeyState(VK_MENU) < 0;
    if (vk == VK_F4 || (alt && (vk == VK_DOWN || vk == VK_UP))) {
        if (s.dropped)
            CloseUp(hwnd, true);
        else
            DropDown(hwnd);
        return true;
    }
    if (s.dropped && (vk == VK_RETURN || vk == VK_ESCAPE)) {
        CloseUp(hwnd, vk == VK_RETURN);
        return true;
    }
    switch (vk) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
        SendMessage(s.list, WM_KEYDOWN, vk, 0);
        return true;
    case VK_HOME:
    case VK_END:
        // In an edit these move the caret.
        if (s.edit && !s.dropped)
            return false;
        SendMessage(s.list, WM_KEYDOWN, vk, 0);
        return true;
    default:
        return false;
    }
}

LRESULT Forward(HWND list, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return list ? SendMessage(list, msg, wParam, lParam) : CB_ERR;
}

} // namespace

void ComboListChoiceMade(HWND combo)
{
    ComboState* s = StateOf(combo);
    if (!s)
        return;
    if (s->dropped)
        CloseUp(combo, true);
    else
        Notify(combo, CBN_SELENDOK);
}

LRESULT CALLBACK ComboBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        // A combo's scroll-bar styles are meant for its list (WM_CREATE
        // passes them on from the creation style); the field never shows one.
        LONG_PTR style = GetWindowLongPtr(hwnd, GWL_STYLE);
        if (style & (WS_VSCROLL | WS_HSCROLL))
            SetWindowLongPtr(hwnd, GWL_STYLE, style & ~LONG_PTR(WS_VSCROLL | WS_HSCROLL));
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    if (msg == WM_CREATE)
        return OnCreate(hwnd, *reinterpret_cast<const CREATESTRUCT*>(lParam));
    ComboState* s = StateOf(hwnd);
    if (!s)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    HWND list = s->list;
    switch (msg) {
    case WM_DESTROY:
        if (s->list && KindOf(hwnd) != CBS_SIMPLE) {
            // The popup list is not our child; it goes with us.
            s->list = NULL;
            DestroyWindow(list);
        }
        return 0;
    case WM_NCDESTROY:
        States().erase(hwnd);
        return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_PAINT:
        PaintField(hwnd);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        Layout(hwnd);
        return 0;
    case WM_SETFONT:
        s->font = HFONT(wParam);
        if (s->edit)
            SendMessage(s->edit, WM_SETFONT, wParam, lParam);
        if (list)
            SendMessage(list, WM_SETFONT, wParam, lParam);
        InvalidateRect(hwnd, NULL, TRUE);
        return 0;
    case WM_GETFONT:
        return LRESULT(s->font);
    case WM_ENABLE:
        // The edit of a drop-down combo greys with it.
        if (s->edit)
            EnableWindow(s->edit, BOOL(wParam));
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS | (s->dropped ? DLGC_WANTALLKEYS : 0);
    case WM_SETFOCUS:
        if (s->edit) {
            SetFocus(s->edit);
            return 0;
        }
        s->focused = true;
        InvalidateRect(hwnd, NULL, TRUE);
        Notify(hwnd, CBN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        if (s->edit && HWND(wParam) == s->edit)
            return 0;
        s->focused = false;
        CloseUp(hwnd, false);
        InvalidateRect(hwnd, NULL, TRUE);
        Notify(hwnd, CBN_KILLFOCUS);
        return 0;
    case WM_COMMAND: {
        HWND from = HWND(lParam);
        int code = HIWORD(wParam);
        if (from == list && code == LBN_SELCHANGE) {
            ReportSelectionChange(hwnd);
        } else if (from == list && code == LBN_DBLCLK) {
            Notify(hwnd, CBN_DBLCLK);
        } else if (s->edit && from == s->edit) {
            switch (code) {
            case EN_CHANGE:
                if (!s->settingText) {
                    // Text edited away from the selected item leaves no
                    // current selection: what the field holds is the input.
                    const int selection = Selection(*s);
                    if (selection >= 0) {
                        std::string text(size_t(std::max(GetWindowTextLength(s->edit), 0)) + 1, '\0');
                        GetWindowText(s->edit, text.data(), int(text.size()));
                        text.resize(std::strlen(text.c_str()));
                        if (ItemText(*s, selection) != text) {
                            SendMessage(list, LB_SETCURSEL, WPARAM(-1), 0);
                            s->notifiedSelection = -1;
                            InvalidateRect(hwnd, NULL, TRUE);
                        }
                    }
                    Notify(hwnd, CBN_EDITCHANGE);
                }
                break;
            case EN_UPDATE:
                if (!s->settingText)
                    Notify(hwnd, CBN_EDITUPDATE);
                break;
            case EN_SETFOCUS:
                if (!s->focused) {
                    s->focused = true;
                    Notify(hwnd, CBN_SETFOCUS);
                }
                break;
            case EN_KILLFOCUS:
                // Focus moving to our own list or the combo is not a loss.
                if (s->focused && GetFocus() != hwnd && GetFocus() != list) {
                    s->focused = false;
                    CloseUp(hwnd, false);
                    Notify(hwnd, CBN_KILLFOCUS);
                }
                break;
            default: break;
            }
        }
        return 0;
    }
    case WM_KEYDOWN:
        if (OnKey(hwnd, *s, wParam))
            return 0;
        return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_CHAR:
        if (KindOf(hwnd) == CBS_DROPDOWNLIST && wParam > ' ') {
            // Typing a letter selects the next item that starts with it.
            char prefix[2] = {char(wParam), 0};
            LRESULT found = SendMessage(list, LB_FINDSTRING, WPARAM(Selection(*s)), LPARAM(prefix));
            if (found >= 0) {
                SendMessage(list, LB_SETCURSEL, WPARAM(found), 0);
                ReportSelectionChange(hwnd);
            }
        }
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (s->dropped) {
            OnDroppedMouse(hwnd, *s, WM_LBUTTONDOWN, lParam);
            return 0;
        }
        if (GetFocus() != hwnd && (!s->edit || GetFocus() != s->edit))
            SetFocus(hwnd);
        if (StateOf(hwnd)) {
            POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (KindOf(hwnd) == CBS_DROPDOWNLIST || Contains(ButtonRect(hwnd), p))
                DropDown(hwnd);
        }
        return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
        if (s->dropped)
            OnDroppedMouse(hwnd, *s, msg, lParam);
        return 0;
    case WM_CAPTURECHANGED:
        // Someone else took the mouse: the list cannot stay down.
        if (s->dropped && HWND(lParam) != hwnd)
            CloseUp(hwnd, false);
        return 0;
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
        if (s->edit)
            return SendMessage(s->edit, msg, wParam, lParam);
        if (int selection = Selection(*s); selection >= 0) {
            std::string text = ItemText(*s, selection);
            if (msg == WM_GETTEXTLENGTH)
                return LRESULT(text.size());
            if (wParam == 0 || !lParam)
                return 0;
            size_t n = std::min(text.size(), size_t(wParam) - 1);
            std::copy_n(text.data(), n, reinterpret_cast<LPSTR>(lParam));
            reinterpret_cast<LPSTR>(lParam)[n] = '\0';
            return LRESULT(n);
        }
        if (msg == WM_GETTEXT && wParam > 0 && lParam)
            reinterpret_cast<LPSTR>(lParam)[0] = '\0';
        return 0;
    case WM_SETTEXT:
        if (s->edit)
            return SendMessage(s->edit, WM_SETTEXT, wParam, lParam);
        return CB_ERR;

    case CB_ADDSTRING: return Forward(list, LB_ADDSTRING, wParam, lParam);
    case CB_INSERTSTRING: return Forward(list, LB_INSERTSTRING, wParam, lParam);
    case CB_DELETESTRING: {
        LRESULT result = Forward(list, LB_DELETESTRING, wParam, lParam);
        if (ComboState* again = StateOf(hwnd))
            again->notifiedSelection = Selection(*again);
        InvalidateRect(hwnd, NULL, TRUE);
        return result;
    }
    case CB_RESETCONTENT:
        Forward(list, LB_RESETCONTENT, 0, 0);
        if (ComboState* again = StateOf(hwnd)) {
            again->notifiedSelection = -1;
            if (HWND edit = again->edit) {
                again->settingText = true;
                SetWindowText(edit, "");
                if (ComboState* third = StateOf(hwnd))
                    third->settingText = false;
            }
        }
        InvalidateRect(hwnd, NULL, TRUE);
        return CB_OKAY;
    case CB_GETCOUNT: return Forward(list, LB_GETCOUNT, 0, 0);
    case CB_GETCURSEL: return Forward(list, LB_GETCURSEL, 0, 0);
    case CB_SETCURSEL: {
        LRESULT result = Forward(list, LB_SETCURSEL, wParam, 0);
        if (ComboState* again = StateOf(hwnd)) {
            again->notifiedSelection = Selection(*again);
            ShowSelection(hwnd);
        }
        return result;
    }
    case CB_SELECTSTRING: {
        LRESULT found = Forward(list, LB_FINDSTRING, wParam, lParam);
        if (found >= 0)
            ComboBoxProc(hwnd, CB_SETCURSEL, WPARAM(found), 0);
        return found;
    }
    case CB_GETLBTEXT: return Forward(list, LB_GETTEXT, wParam, lParam);
    case CB_GETLBTEXTLEN: return Forward(list, LB_GETTEXTLEN, wParam, lParam);
    case CB_FINDSTRING: return Forward(list, LB_FINDSTRING, wParam, lParam);
    case CB_FINDSTRINGEXACT: return Forward(list, LB_FINDSTRINGEXACT, wParam, lParam);
    case CB_GETITEMDATA: return Forward(list, LB_GETITEMDATA, wParam, lParam);
    case CB_SETITEMDATA: return Forward(list, LB_SETITEMDATA, wParam, lParam);
    case CB_LIMITTEXT:
        if (!s->edit)
            return FALSE;
        SendMessage(s->edit, EM_LIMITTEXT, wParam, 0);
        return TRUE;
    case CB_GETEDITSEL:
        return s->edit ? SendMessage(s->edit, EM_GETSEL, wParam, lParam) : CB_ERR;
    case CB_SETEDITSEL:
        if (!s->edit)
            return CB_ERR;
        SendMessage(s->edit, EM_SETSEL, WPARAM(short(LOWORD(lParam))), LPARAM(short(HIWORD(lParam))));
        return TRUE;
    case CB_SHOWDROPDOWN:
        if (wParam)
            DropDown(hwnd);
        else
            CloseUp(hwnd, true);
        return TRUE;
    case CB_GETDROPPEDSTATE:
        return s->dropped ? TRUE : FALSE;
    case CB_SETDROPPEDWIDTH:
    case CB_GETDROPPEDWIDTH: {
        if (!IsDropKind(hwnd))
            return CB_ERR;
        if (msg == CB_SETDROPPEDWIDTH) {
            if (int(wParam) < 0)
                return CB_ERR;
            s->droppedWidth = std::min(int(wParam), 0x7FFF);
        }
        RECT wr;
        GetWindowRect(hwnd, &wr);
        return std::max(int(wr.right - wr.left), s->droppedWidth);
    }
    case CB_GETDROPPEDCONTROLRECT: {
        if (!lParam)
            return CB_ERR;
        RECT wr;
        GetWindowRect(hwnd, &wr);
        RECT* out = reinterpret_cast<RECT*>(lParam);
        *out = RECT{wr.left, wr.top, wr.right, wr.top + (IsDropKind(hwnd) ? s->createdHeight : wr.bottom - wr.top)};
        return TRUE;
    }
    case CB_SETITEMHEIGHT: {
        int height = int(LOWORD(lParam));
        if (height <= 0 || height > 255)
            return CB_ERR;
        if (int(wParam) == -1) {
            s->fieldHeight = height;
            if (IsDropKind(hwnd)) {
                RECT wr, cr;
                GetWindowRect(hwnd, &wr);
                GetClientRect(hwnd, &cr);
                int frame = (wr.bottom - wr.top) - (cr.bottom - cr.top);
                SetWindowPos(hwnd, NULL, 0, 0, wr.right - wr.left, FieldTotalHeight(*s) + frame,
                    SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
            Layout(hwnd);
            InvalidateRect(hwnd, NULL, TRUE);
            return CB_OKAY;
        }
        return Forward(list, LB_SETITEMHEIGHT, 0, MAKELPARAM(height, 0));
    }
    case CB_GETITEMHEIGHT:
        if (int(wParam) == -1)
            return s->fieldHeight;
        return Forward(list, LB_GETITEMHEIGHT, 0, 0);
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

} // namespace platform
