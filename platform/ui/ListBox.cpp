// The list-box control: items with text and data, single, multiple and
// extended selection, sorting, owner-drawn fixed-height items, several
// columns, scrolling, mouse and keyboard selection.

#include "platform/base/CharClass.h"
#include "platform/base/DateFormat.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/ListBoxShared.h"
#include "platform/ui/internal/Window.h"
#include "platform/ui/internal/WindowStates.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace platform {
namespace {

// More items than this are refused with LB_ERRSPACE; the counts and indexes
// of the messages are 16-bit quantities for older callers.
constexpr int kMaxItems = 32767;
constexpr int kDefaultColumnWidth = 120;

struct Item {
    std::string text;
    ULONG_PTR data = 0;
    bool selected = false; // multiple and extended selection only
};

struct ListState {
    std::vector<Item> items;
    int current = -1; // single selection
    int caret = 0;
    int anchor = 0;
    int top = 0;
    int itemHeight = 0;
    int columnWidth = kDefaultColumnWidth;
    HFONT font = NULL;
    bool focused = false;
    bool tracking = false;
    HWND combo = NULL;
    // The scroll bars asked for at creation; the window system hides a bar
    // (dropping its style bit) while everything fits.
    bool vscroll = false;
    bool hscroll = false;
};

std::map<HWND, std::unique_ptr<ListState>>& States()
{
    return platform::WindowStates<ListState>();
}

ListState* StateOf(HWND hwnd)
{
    return platform::FindWindowState<ListState>(hwnd);
}

DWORD StyleOf(HWND hwnd)
{
    return DWORD(GetWindowLongPtr(hwnd, GWL_STYLE));
}

bool IsOwnerDraw(DWORD style)
{
    return (style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0;
}

bool HasStrings(DWORD style)
{
    return !IsOwnerDraw(style) || (style & LBS_HASSTRINGS);
}

bool IsMultiple(DWORD style)
{
    return (style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0;
}

HFONT FontOf(const ListState& s)
{
    return s.font ? s.font : HFONT(GetStockObject(DEFAULT_GUI_FONT));
}

int TextHeight(HWND hwnd, HFONT font)
{
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return tm.tmHeight > 0 ? tm.tmHeight : 13;
}

// A combo's list reports to the combo, which a popup's GetParent does not give.
void Notify(HWND hwnd, int code)
{
    if (code != LBN_SETFOCUS && code != LBN_KILLFOCUS && code != LBN_ERRSPACE && !(StyleOf(hwnd) & LBS_NOTIFY))
        return;
    ListState* s = StateOf(hwnd);
    HWND target = (s && s->combo) ? s->combo : GetParent(hwnd);
    if (target)
        SendMessage(target, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), code), LPARAM(hwnd));
}

int RowsVisible(HWND hwnd, const ListState& s)
{
    RECT rc;
    GetClientRect(hwnd, &rc);
    return std::max(1, int(rc.bottom - rc.top) / std::max(1, s.itemHeight));
}

int ColumnsVisible(HWND hwnd, const ListState& s)
{
    RECT rc;
    GetClientRect(hwnd, &rc);
    return std::max(1, int(rc.right - rc.left) / std::max(1, s.columnWidth));
}

// Items shown at once; in several columns the top index is always the first
// item of a column.
int PageSize(HWND hwnd, const ListState& s)
{
    int rows = RowsVisible(hwnd, s);
    return (StyleOf(hwnd) & LBS_MULTICOLUMN) ? rows * ColumnsVisible(hwnd, s) : rows;
}

RECT ItemRect(HWND hwnd, const ListState& s, int index)
{
    RECT rc;
    GetClientRect(hwnd, &rc);
    if (StyleOf(hwnd) & LBS_MULTICOLUMN) {
        int rows = RowsVisible(hwnd, s);
        int offset = index - s.top;
        int column = offset >= 0 ? offset / rows : -1 - (-offset - 1) / rows;
        int row = offset - column * rows;
        int x = column * s.columnWidth;
        return RECT{x, row * s.itemHeight, x + s.columnWidth, (row + 1) * s.itemHeight};
    }
    int y = (index - s.top) * s.itemHeight;
    return RECT{0, y, rc.right, y + s.itemHeight};
}

int ItemFromPoint(HWND hwnd, const ListState& s, POINT p)
{
    if (s.items.empty() || p.y < 0 || p.x < 0)
        return -1;
    int index;
    if (StyleOf(hwnd) & LBS_MULTICOLUMN) {
        int rows = RowsVisible(hwnd, s);
        int row = std::min(int(p.y / s.itemHeight), rows - 1);
        index = s.top + (p.x / s.columnWidth) * rows + row;
    } else {
        index = s.top + p.y / s.itemHeight;
    }
    return index < int(s.items.size()) ? index : -1;
}

void UpdateScrollBars(HWND hwnd, ListState& s)
{
    DWORD style = StyleOf(hwnd);
    int count = int(s.items.size());
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | ((style & LBS_DISABLENOSCROLL) ? SIF_DISABLENOSCROLL : 0);
    if (style & LBS_MULTICOLUMN) {
        if (!s.hscroll)
            return;
        int rows = RowsVisible(hwnd, s);
        si.nMax = std::max(0, (count + rows - 1) / rows - 1);
        si.nPage = UINT(ColumnsVisible(hwnd, s));
        si.nPos = s.top / rows;
        SetScrollInfo(hwnd, SB_HORZ, &si, TRUE);
        return;
    }
    if (!s.vscroll)
        return;
    si.nMax = std::max(0, count - 1);
    si.nPage = UINT(RowsVisible(hwnd, s));
    si.nPos = s.top;
    SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
}

int ClampTop(HWND hwnd, const ListState& s, int top)
{
    int count = int(s.items.size());
    if (StyleOf(hwnd) & LBS_MULTICOLUMN) {
        int rows = RowsVisible(hwnd, s);
        int lastColumn = std::max(0, (count + rows - 1) / rows - ColumnsVisible(hwnd, s));
        return std::clamp(top / rows, 0, lastColumn) * rows;
    }
    return std::clamp(top, 0, std::max(0, count - RowsVisible(hwnd, s)));
}

void SetTop(HWND hwnd, ListState& s, int top)
{
    top = ClampTop(hwnd, s, top);
    if (top != s.top) {
        s.top = top;
        InvalidateRect(hwnd, NULL, TRUE);
    }
    UpdateScrollBars(hwnd, s);
}

void EnsureVisible(HWND hwnd, ListState& s, int index)
{
    if (index < 0)
        return;
    int page = PageSize(hwnd, s);
    if (index < s.top)
        SetTop(hwnd, s, index);
    else if (index >= s.top + page)
        SetTop(hwnd, s, (StyleOf(hwnd) & LBS_MULTICOLUMN) ? index - page + RowsVisible(hwnd, s) : index - page + 1);
}

void Changed(HWND hwnd, ListState& s)
{
    s.top = ClampTop(hwnd, s, s.top);
    UpdateScrollBars(hwnd, s);
    InvalidateRect(hwnd, NULL, TRUE);
}

bool IsSelected(HWND hwnd, const ListState& s, int index)
{
    if (index < 0 || index >= int(s.items.size()))
        return false;
    return IsMultiple(StyleOf(hwnd)) ? s.items[index].selected : index == s.current;
}

// Tells the owner an item goes away, so that it can free what the item data
// points to.
void SendDeleteItem(HWND hwnd, const ListState& s, int index)
{
    if (!IsOwnerDraw(StyleOf(hwnd)))
        return;
    DELETEITEMSTRUCT d{};
    HWND control = s.combo ? s.combo : hwnd;
    HWND target = GetParent(control);
    d.CtlType = s.combo ? ODT_COMBOBOX : ODT_LISTBOX;
    d.CtlID = UINT(GetDlgCtrlID(control));
    d.itemID = UINT(index);
    d.hwndItem = control;
    d.itemData = s.items[index].data;
    if (target)
        SendMessage(target, WM_DELETEITEM, WPARAM(d.CtlID), LPARAM(&d));
}

// A sorted owner-drawn list without strings keeps only the owner's values, so
// only the owner can say how two items order.
bool OwnerCompares(DWORD style)
{
    return IsOwnerDraw(style) && !(style & LBS_HASSTRINGS) && (style & LBS_SORT);
}

// Asks the owner how `data` (an item not in the list, or a value searched for)
// orders against the item at `index`: below zero before it, zero equal, above
// zero after it. A list without an owner treats everything as equal.
int CompareWithOwner(HWND hwnd, const ListState& s, ULONG_PTR data, int index)
{
    HWND control = s.combo ? s.combo : hwnd;
    HWND target = GetParent(control);
    if (!target)
        return 0;
    COMPAREITEMSTRUCT c{};
    c.CtlType = s.combo ? ODT_COMBOBOX : ODT_LISTBOX;
    c.CtlID = UINT(GetDlgCtrlID(control));
    c.hwndItem = control;
    c.itemID1 = UINT(-1);
    c.itemData1 = data;
    c.itemID2 = UINT(index);
    c.itemData2 = s.items[index].data;
    c.dwLocaleId = LOCALE_USER_DEFAULT;
    return int(SendMessage(target, WM_COMPAREITEM, WPARAM(c.CtlID), LPARAM(&c)));
}

// Where a new item goes among items the owner orders: after any it calls
// equal, as with text. -1 when the list went away while the owner answered.
int OwnerSortedPlace(HWND hwnd, ULONG_PTR data)
{
    ListState* s = StateOf(hwnd);
    int low = 0;
    int high = s ? int(s->items.size()) : 0;
    while (s && low < high) {
        int mid = low + (high - low) / 2;
        int order = CompareWithOwner(hwnd, *s, data, mid);
        // The owner may change the list while it answers; stay inside it.
        s = StateOf(hwnd);
        if (!s)
            break;
        if (order < 0)
            high = mid;
        else
            low = mid + 1;
        high = std::min(high, int(s->items.size()));
        low = std::min(low, high);
    }
    return s ? low : -1;
}

int InsertItem(HWND hwnd, int index, LPARAM lParam, bool sorted)
{
    ListState* s = StateOf(hwnd);
    DWORD style = StyleOf(hwnd);
    int count = int(s->items.size());
    if (count >= kMaxItems) {
        Notify(hwnd, LBN_ERRSPACE);
        return LB_ERRSPACE;
    }
    Item item;
    if (HasStrings(style))
        item.text = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
    else
        item.data = ULONG_PTR(lParam);
    if (sorted && HasStrings(style) && (style & LBS_SORT)) {
        auto at = std::upper_bound(s->items.begin(), s->items.end(), item,
            [](const Item& a, const Item& b) { return lstrcmpi(a.text.c_str(), b.text.c_str()) < 0; });
        index = int(at - s->items.begin());
    } else if (sorted && OwnerCompares(style)) {
        index = OwnerSortedPlace(hwnd, item.data);
        s = StateOf(hwnd);
        if (!s || index < 0)
            return LB_ERR;
        if (int(s->items.size()) >= kMaxItems) {
            Notify(hwnd, LBN_ERRSPACE);
            return LB_ERRSPACE;
        }
        count = int(s->items.size());
    } else if (index < 0 || index > count) {
        if (index != -1 && !sorted)
            return LB_ERR;
        index = count;
    }
    s->items.insert(s->items.begin() + index, std::move(item));
    if (s->current >= index)
        ++s->current;
    if (s->caret >= index && count > 0)
        ++s->caret;
    Changed(hwnd, *s);
    return index;
}

LRESULT DeleteItem(HWND hwnd, int index)
{
    ListState* s = StateOf(hwnd);
    if (index < 0 || index >= int(s->items.size()))
        return LB_ERR;
    SendDeleteItem(hwnd, *s, index);
    s = StateOf(hwnd);
    if (!s || index >= int(s->items.size()))
        return LB_ERR;
    s->items.erase(s->items.begin() + index);
    if (s->current == index)
        s->current = -1;
    else if (s->current > index)
        --s->current;
    if (s->caret > index || s->caret >= int(s->items.size()))
        s->caret = std::max(0, s->caret - 1);
    Changed(hwnd, *s);
    return LRESULT(s->items.size());
}

void ResetContent(HWND hwnd)
{
    ListState* s = StateOf(hwnd);
    for (int i = 0; s && i < int(s->items.size()); ++i) {
        SendDeleteItem(hwnd, *s, i);
        s = StateOf(hwnd);
    }
    if (!s)
        return;
    s->items.clear();
    s->current = -1;
    s->caret = 0;
    s->anchor = 0;
    s->top = 0;
    Changed(hwnd, *s);
}

LRESULT FindString(HWND hwnd, int after, LPCSTR text, bool exact)
{
    ListState* s = StateOf(hwnd);
    int count = int(s->items.size());
    if (count == 0)
        return LB_ERR;
    DWORD style = StyleOf(hwnd);
    bool strings = HasStrings(style);
    std::string wanted = (strings && text) ? text : "";
    int start = (after < 0 || after >= count) ? 0 : after + 1;
    if (OwnerCompares(style)) {
        // The owner decides what matches, for prefix and exact searches alike.
        for (int n = 0; n < count; ++n) {
            int i = (start + n) % count;
            int order = CompareWithOwner(hwnd, *s, ULONG_PTR(text), i);
            s = StateOf(hwnd);
            if (!s || int(s->items.size()) != count)
                return LB_ERR;
            if (order == 0)
                return i;
        }
        return LB_ERR;
    }
    for (int n = 0; n < count; ++n) {
        int i = (start + n) % count;
        const Item& item = s->items[i];
        if (!strings) {
            if (item.data == ULONG_PTR(text))
                return i;
            continue;
        }
        if (exact) {
            if (lstrcmpi(item.text.c_str(), wanted.c_str()) == 0)
                return i;
        } else if (item.text.size() >= wanted.size()) {
            bool match = true;
            for (size_t k = 0; k < wanted.size() && match; ++k)
                match = ToLower1252((unsigned char)item.text[k]) == ToLower1252((unsigned char)wanted[k]);
            if (match)
                return i;
        }
    }
    return LB_ERR;
}

void InvalidateItem(HWND hwnd, const ListState& s, int index)
{
    if (index < 0 || index >= int(s.items.size()))
        return;
    RECT r = ItemRect(hwnd, s, index);
    InvalidateRect(hwnd, &r, TRUE);
}

void SetCaret(HWND hwnd, ListState& s, int index)
{
    if (index == s.caret)
        return;
    InvalidateItem(hwnd, s, s.caret);
    s.caret = index;
    InvalidateItem(hwnd, s, s.caret);
}

// Single selection: makes `index` (or nothing, -1) the selected item.
void SelectSingle(HWND hwnd, ListState& s, int index)
{
    if (s.current != index) {
        InvalidateItem(hwnd, s, s.current);
        s.current = index;
        InvalidateItem(hwnd, s, s.current);
    }
    if (index >= 0)
        SetCaret(hwnd, s, index);
}

void SetRange(HWND hwnd, ListState& s, int from, int to, bool select)
{
    if (from > to)
        std::swap(from, to);
    for (int i = std::max(0, from); i <= to && i < int(s.items.size()); ++i) {
        if (s.items[i].selected != select) {
            s.items[i].selected = select;
            InvalidateItem(hwnd, s, i);
        }
    }
}

// The selection a click or key gives in a multiple- or extended-selection
// list; returns whether it changed.
bool SelectByUser(HWND hwnd, ListState& s, int index, bool shift, bool control, bool toggle)
{
    DWORD style = StyleOf(hwnd);
    std::vector<bool> before;
    for (const Item& item : s.items)
        before.push_back(item.selected);
    int oldCurrent = s.current;
    if (!IsMultiple(style)) {
        SelectSingle(hwnd, s, index);
        return oldCurrent != s.current;
    }
    if (style & LBS_MULTIPLESEL) {
        if (toggle) {
            s.items[index].selected = !s.items[index].selected;
            InvalidateItem(hwnd, s, index);
        }
    } else if (shift) {
        if (!control)
            SetRange(hwnd, s, 0, int(s.items.size()) - 1, false);
        SetRange(hwnd, s, s.anchor, index, true);
    } else if (control) {
        if (toggle) {
            s.items[index].selected = !s.items[index].selected;
            InvalidateItem(hwnd, s, index);
            s.anchor = index;
        }
    } else {
        SetRange(hwnd, s, 0, int(s.items.size()) - 1, false);
        SetRange(hwnd, s, index, index, true);
        s.anchor = index;
    }
    SetCaret(hwnd, s, index);
    for (size_t i = 0; i < s.items.size(); ++i) {
        if (before[i] != s.items[i].selected)
            return true;
    }
    return false;
}

void Paint(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    ListState* s = StateOf(hwnd);
    if (!s) {
        EndPaint(hwnd, &ps);
        return;
    }
    DWORD style = StyleOf(hwnd);
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    HGDIOBJ oldFont = SelectObject(dc, FontOf(*s));
    SetBkMode(dc, TRANSPARENT);
    int count = int(s->items.size());
    int last = std::min(count, s->top + PageSize(hwnd, *s) + 1);
    bool enabled = IsWindowEnabled(hwnd);
    for (int i = s->top; i < last; ++i) {
        RECT r = ItemRect(hwnd, *s, i);
        bool selected = IsSelected(hwnd, *s, i);
        bool focus = s->focused && i == s->caret;
        if (IsOwnerDraw(style)) {
            HWND control = s->combo ? s->combo : hwnd;
            DRAWITEMSTRUCT d{};
            d.CtlType = s->combo ? ODT_COMBOBOX : ODT_LISTBOX;
            d.CtlID = UINT(GetDlgCtrlID(control));
            d.itemID = UINT(i);
            d.itemAction = ODA_DRAWENTIRE;
            d.itemState = (selected ? ODS_SELECTED : 0) | (focus ? ODS_FOCUS : 0) | (enabled ? 0 : ODS_DISABLED);
            d.hwndItem = hwnd;
            d.hDC = dc;
            d.rcItem = r;
            d.itemData = s->items[i].data;
            HWND target = GetParent(control);
            if (target)
                SendMessage(target, WM_DRAWITEM, WPARAM(d.CtlID), LPARAM(&d));
            s = StateOf(hwnd);
            if (!s)
                break;
            continue;
        }
        if (selected)
            FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(!enabled ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        RECT t = r;
        t.left += 2;
        DrawText(dc, s->items[i].text.c_str(), int(s->items[i].text.size()), &t, DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
        if (focus)
            DrawFocusRect(dc, &r);
    }
    SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
}

void OnCreate(HWND hwnd)
{
    auto state = std::make_unique<ListState>();
    ListState& s = *state;
    States()[hwnd] = std::move(state);
    DWORD style = StyleOf(hwnd);
    s.vscroll = (style & WS_VSCROLL) != 0;
    s.hscroll = (style & WS_HSCROLL) != 0;
    s.itemHeight = TextHeight(hwnd, FontOf(s));
    if ((style & LBS_OWNERDRAWFIXED) && GetParent(hwnd)) {
        MEASUREITEMSTRUCT m{};
        m.CtlType = ODT_LISTBOX;
        m.CtlID = UINT(GetDlgCtrlID(hwnd));
        m.itemHeight = UINT(s.itemHeight);
        SendMessage(GetParent(hwnd), WM_MEASUREITEM, WPARAM(m.CtlID), LPARAM(&m));
        if (ListState* again = StateOf(hwnd); again && m.itemHeight > 0 && m.itemHeight < 256)
            again->itemHeight = int(m.itemHeight);
    }
    // Without LBS_NOINTEGRALHEIGHT the box shows only whole items.
    if (!(style & (LBS_NOINTEGRALHEIGHT | LBS_MULTICOLUMN)) && !(style & WS_POPUP)) {
        ListState* again = StateOf(hwnd);
        RECT client, window;
        GetClientRect(hwnd, &client);
        GetWindowRect(hwnd, &window);
        int extra = int(client.bottom) % again->itemHeight;
        if (extra > 0 && client.bottom > again->itemHeight)
            SetWindowPos(hwnd, NULL, 0, 0, window.right - window.left, window.bottom - window.top - extra,
                SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

LRESULT OnKey(HWND hwnd, ListState& s, WPARAM vk)
{
    DWORD style = StyleOf(hwnd);
    int count = int(s.items.size());
    if (count == 0)
        return 0;
    bool shift = GetKeyState(VK_SHIFT) < 0;
    bool control = GetKeyState(VK_CONTROL) < 0;
    int from = IsMultiple(style) ? s.caret : std::max(0, s.current);
    int rows = RowsVisible(hwnd, s);
    bool columns = (style & LBS_MULTICOLUMN) != 0;
    int to;
    switch (vk) {
    case VK_UP: to = from - 1; break;
    case VK_DOWN: to = from + 1; break;
    case VK_LEFT: to = columns ? from - rows : from - 1; break;
    case VK_RIGHT: to = columns ? from + rows : from + 1; break;
    case VK_PRIOR: to = from - PageSize(hwnd, s) + 1; break;
    case VK_NEXT: to = from + PageSize(hwnd, s) - 1; break;
    case VK_HOME: to = 0; break;
    case VK_END: to = count - 1; break;
    case VK_SPACE:
        if ((style & LBS_MULTIPLESEL) || ((style & LBS_EXTENDEDSEL) && control)) {
            if (SelectByUser(hwnd, s, s.caret, false, true, true))
                Notify(hwnd, LBN_SELCHANGE);
        }
        return 0;
    default: return 0;
    }
    if (!IsMultiple(style) && s.current < 0)
        to = vk == VK_END ? count - 1 : 0;
    to = std::clamp(to, 0, count - 1);
    bool changed;
    if (style & LBS_MULTIPLESEL) {
        SetCaret(hwnd, s, to);
        changed = false;
    } else if ((style & LBS_EXTENDEDSEL) && control && !shift) {
        SetCaret(hwnd, s, to);
        changed = false;
    } else {
        changed = SelectByUser(hwnd, s, to, shift, false, false);
    }
    EnsureVisible(hwnd, s, to);
    if (changed)
        Notify(hwnd, LBN_SELCHANGE);
    return 0;
}

void OnButtonDown(HWND hwnd, WPARAM keys, POINT p)
{
    // A combo's list leaves the focus with the combo or its edit.
    if (ListState* s = StateOf(hwnd); s && !s->combo && GetFocus() != hwnd)
        SetFocus(hwnd);
    ListState* s = StateOf(hwnd);
    if (!s)
        return;
    int index = ItemFromPoint(hwnd, *s, p);
    if (index < 0)
        return;
    s->tracking = true;
    SetCapture(hwnd);
    if (!(keys & MK_SHIFT) || !(StyleOf(hwnd) & LBS_EXTENDEDSEL))
        s->anchor = IsMultiple(StyleOf(hwnd)) ? index : s->anchor;
    if (SelectByUser(hwnd, *s, index, (keys & MK_SHIFT) != 0, (keys & MK_CONTROL) != 0, true))
        Notify(hwnd, LBN_SELCHANGE);
}

void OnMouseMove(HWND hwnd, POINT p)
{
    ListState* s = StateOf(hwnd);
    // A dropped combo list follows the mouse even without a button down.
    bool hovering = s && s->combo && (StyleOf(hwnd) & WS_POPUP);
    if (!s || (!s->tracking && !hovering))
        return;
    DWORD style = StyleOf(hwnd);
    if (style & LBS_MULTIPLESEL)
        return;
    int index = ItemFromPoint(hwnd, *s, p);
    if (index < 0)
        return;
    bool changed = (style & LBS_EXTENDEDSEL) ? SelectByUser(hwnd, *s, index, true, false, false)
                                             : SelectByUser(hwnd, *s, index, false, false, false);
    EnsureVisible(hwnd, *s, index);
    // Hovering tells nobody until the choice is made.
    if (changed && s->tracking)
        Notify(hwnd, LBN_SELCHANGE);
}

void OnButtonUp(HWND hwnd, POINT p)
{
    ListState* s = StateOf(hwnd);
    if (!s)
        return;
    bool wasTracking = s->tracking;
    s->tracking = false;
    if (GetCapture() == hwnd)
        ReleaseCapture();
    s = StateOf(hwnd);
    if (s && s->combo && (wasTracking || ItemFromPoint(hwnd, *s, p) >= 0))
        ComboListChoiceMade(s->combo);
}

LRESULT GetText(HWND hwnd, const ListState& s, int index, LPSTR out)
{
    if (index < 0 || index >= int(s.items.size()) || !out)
        return LB_ERR;
    if (!HasStrings(StyleOf(hwnd))) {
        std::memcpy(out, &s.items[index].data, sizeof(ULONG_PTR));
        return sizeof(ULONG_PTR);
    }
    const std::string& text = s.items[index].text;
    std::memcpy(out, text.c_str(), text.size() + 1);
    return LRESULT(text.size());
}

} // namespace

void AttachListToCombo(HWND list, HWND combo)
{
    if (ListState* s = StateOf(list))
        s->combo = combo;
}

LRESULT CALLBACK ListBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CREATE) {
        OnCreate(hwnd);
        return 0;
    }
    ListState* s = StateOf(hwnd);
    if (!s)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    DWORD style = StyleOf(hwnd);
    int count = int(s->items.size());
    int index = int(wParam);
    switch (msg) {
    case WM_NCDESTROY:
        ResetContent(hwnd);
        States().erase(hwnd);
        return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_PAINT:
        Paint(hwnd);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        Changed(hwnd, *s);
        return 0;
    case WM_SETFONT:
        s->font = HFONT(wParam);
        if (!IsOwnerDraw(style))
            s->itemHeight = TextHeight(hwnd, FontOf(*s));
        Changed(hwnd, *s);
        return 0;
    case WM_GETFONT:
        return LRESULT(s->font);
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
        s->focused = true;
        InvalidateItem(hwnd, *s, s->caret);
        Notify(hwnd, LBN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        s->focused = false;
        InvalidateItem(hwnd, *s, s->caret);
        Notify(hwnd, LBN_KILLFOCUS);
        return 0;
    case WM_KEYDOWN:
        return OnKey(hwnd, *s, wParam);
    case WM_LBUTTONDOWN:
        OnButtonDown(hwnd, wParam, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(hwnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_LBUTTONUP:
        OnButtonUp(hwnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_LBUTTONDBLCLK:
        OnButtonDown(hwnd, wParam, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        if (ListState* again = StateOf(hwnd); again && ItemFromPoint(hwnd, *again, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) >= 0)
            Notify(hwnd, LBN_DBLCLK);
        return 0;
    case WM_CAPTURECHANGED:
        s->tracking = false;
        return 0;
    case WM_VSCROLL:
    case WM_HSCROLL: {
        int step = (style & LBS_MULTICOLUMN) ? RowsVisible(hwnd, *s) : 1;
        int page = PageSize(hwnd, *s);
        int top = s->top;
        switch (LOWORD(wParam)) {
        case SB_LINEUP: top -= step; break;
        case SB_LINEDOWN: top += step; break;
        case SB_PAGEUP: top -= page; break;
        case SB_PAGEDOWN: top += page; break;
        case SB_TOP: top = 0; break;
        case SB_BOTTOM: top = count; break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: top = int(HIWORD(wParam)) * step; break;
        default: return 0;
        }
        SetTop(hwnd, *s, top);
        return 0;
    }
    case WM_MOUSEWHEEL:
        SetTop(hwnd, *s, s->top - 3 * (GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA));
        return 0;

    case LB_ADDSTRING:
        return InsertItem(hwnd, -1, lParam, true);
    case LB_INSERTSTRING:
        return InsertItem(hwnd, index, lParam, false);
    case LB_DELETESTRING:
        return DeleteItem(hwnd, index);
    case LB_RESETCONTENT:
        ResetContent(hwnd);
        return LB_OKAY;
    case LB_GETCOUNT:
        return count;
    case LB_GETCURSEL:
        if (IsMultiple(style))
            return count ? s->caret : LB_ERR;
        return s->current;
    case LB_SETCURSEL:
        if (IsMultiple(style))
            return LB_ERR;
        if (index < 0 || index >= count) {
            SelectSingle(hwnd, *s, -1);
            return LB_ERR;
        }
        SelectSingle(hwnd, *s, index);
        EnsureVisible(hwnd, *s, index);
        return index;
    case LB_GETSEL:
        if (index >= 0 && index < count)
            return IsSelected(hwnd, *s, index) ? 1 : 0;
        return LB_ERR;
    case LB_SETSEL:
        if (!IsMultiple(style))
            return LB_ERR;
        if (int(lParam) == -1) {
            SetRange(hwnd, *s, 0, count - 1, wParam != 0);
            return LB_OKAY;
        }
        if (lParam < 0 || lParam >= count)
            return LB_ERR;
        SetRange(hwnd, *s, int(lParam), int(lParam), wParam != 0);
        return LB_OKAY;
    case LB_GETSELCOUNT:
        if (!IsMultiple(style))
            return LB_ERR;
        return std::count_if(s->items.begin(), s->items.end(), [](const Item& i) { return i.selected; });
    case LB_GETSELITEMS: {
        if (!IsMultiple(style) || !lParam)
            return LB_ERR;
        int* out = reinterpret_cast<int*>(lParam);
        int n = 0;
        for (int i = 0; i < count && n < index; ++i) {
            if (s->items[i].selected)
                out[n++] = i;
        }
        return n;
    }
    case LB_SETCARETINDEX:
        if (index < 0 || index >= count)
            return LB_ERR;
        SetCaret(hwnd, *s, index);
        if (!LOWORD(lParam))
            EnsureVisible(hwnd, *s, index);
        return LB_OKAY;
    case LB_GETCARETINDEX:
        return count ? s->caret : (IsMultiple(style) ? 0 : LB_ERR);
    case LB_SETANCHORINDEX:
        if (index < 0 || index >= count)
            return LB_ERR;
        s->anchor = index;
        return LB_OKAY;
    case LB_GETANCHORINDEX:
        return s->anchor;
    case LB_GETTEXT:
        return GetText(hwnd, *s, index, reinterpret_cast<LPSTR>(lParam));
    case LB_GETTEXTLEN:
        if (index < 0 || index >= count)
            return LB_ERR;
        return HasStrings(style) ? LRESULT(s->items[index].text.size()) : LRESULT(sizeof(ULONG_PTR));
    case LB_GETITEMDATA:
        if (index < 0 || index >= count)
            return LB_ERR;
        return LRESULT(s->items[index].data);
    case LB_SETITEMDATA:
        if (index == -1) {
            for (Item& item : s->items)
                item.data = ULONG_PTR(lParam);
            return LB_OKAY;
        }
        if (index < 0 || index >= count)
            return LB_ERR;
        s->items[index].data = ULONG_PTR(lParam);
        return LB_OKAY;
    case LB_SETITEMHEIGHT:
        if (LOWORD(lParam) == 0 || LOWORD(lParam) > 255)
            return LB_ERR;
        s->itemHeight = LOWORD(lParam);
        Changed(hwnd, *s);
        return LB_OKAY;
    case LB_GETITEMHEIGHT:
        return s->itemHeight;
    case LB_GETITEMRECT: {
        if (index < 0 || index >= std::max(count, 1) || !lParam)
            return LB_ERR;
        *reinterpret_cast<RECT*>(lParam) = ItemRect(hwnd, *s, index);
        return LB_OKAY;
    }
    case LB_FINDSTRING:
        return FindString(hwnd, index, reinterpret_cast<LPCSTR>(lParam), false);
    case LB_FINDSTRINGEXACT:
        return FindString(hwnd, index, reinterpret_cast<LPCSTR>(lParam), true);
    case LB_SELECTSTRING: {
        LRESULT found = FindString(hwnd, index, reinterpret_cast<LPCSTR>(lParam), false);
        if (found >= 0 && !IsMultiple(style)) {
            SelectSingle(hwnd, *s, int(found));
            EnsureVisible(hwnd, *s, int(found));
        }
        return found;
    }
    case LB_SETCOLUMNWIDTH:
        if (int(wParam) <= 0)
            return LB_ERR;
        s->columnWidth = int(wParam);
        Changed(hwnd, *s);
        return LB_OKAY;
    case LB_SETTOPINDEX:
        if (index < 0 || (index >= count && count > 0))
            return LB_ERR;
        SetTop(hwnd, *s, index);
        return LB_OKAY;
    case LB_GETTOPINDEX:
        return s->top;
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

void InstallListAndEditControls()
{
    SetBuiltInClassProc("ListBox", ListBoxProc);
    SetBuiltInClassProc("ComboLBox", ListBoxProc);
    SetBuiltInClassProc("ComboBox", ComboBoxProc);
    SetBuiltInClassProc("Edit", EditProc);
}

} // namespace platform
