// The toolbar: a row of buttons drawn from bitmap strips, with separators
// (which may carry a child window the owner places over them), check and
// group buttons, flat hot tracking and its own tooltip. A click sends
// WM_COMMAND to the owner (the parent, or the window TB_SETPARENT named).

#include "platform/base/Resources.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/CommCtrl.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/CommCtrlImages.h"
#include "platform/ui/internal/CommCtrlShared.h"

#include <algorithm>
#include <vector>

namespace platform {
namespace {

constexpr size_t MaxButtons = 1024;
constexpr int DefaultSeparator = 8;
constexpr int TopPad = 2;
constexpr UINT_PTR HotTimer = 1;
// Strips use light grey as their background; it shows the button face.
constexpr COLORREF StripBackground = RGB(192, 192, 192);

struct Button {
    int image = 0;
    int command = 0;
    BYTE state = 0;
    BYTE style = 0;
    DWORD_PTR data = 0;
    INT_PTR string = 0;
    int width = 0; // separators: 0 means the default width
};

struct ToolbarState {
    std::vector<Button> buttons;
    HIMAGELIST images = NULL;
    SIZE bitmap{16, 15};
    SIZE button{23, 22};
    HWND owner = NULL;
    HWND tooltip = NULL;
    int hot = -1;
    int pressed = -1; // the button held down by the mouse
    bool pressedInside = false;
    HFONT font = NULL;
};

bool IsSeparator(const Button& b)
{
    return (b.style & TBSTYLE_SEP) != 0;
}

DWORD StyleOf(HWND hwnd)
{
    return static_cast<DWORD>(GetWindowLongPtr(hwnd, GWL_STYLE));
}

int DividerHeight(HWND hwnd)
{
    return (StyleOf(hwnd) & CCS_NODIVIDER) ? 0 : 2;
}

int SeparatorWidth(const Button& b)
{
    return b.width > 0 ? b.width : DefaultSeparator;
}

// Item rectangles follow from the buttons in order; hidden ones take no room.
// A visible item with TBSTATE_WRAP ends its line: the next one starts at the
// left edge one button height lower. A wrapping separator lies across the
// toolbar instead, its width becoming the gap between the two lines.
std::vector<RECT> Layout(HWND hwnd, const ToolbarState& s)
{
    std::vector<RECT> rects;
    rects.reserve(s.buttons.size());
    int x = 0;
    int top = DividerHeight(hwnd) + TopPad;
    bool lineUsed = false; // whether anything occupies the current line
    for (const Button& b : s.buttons) {
        if (b.state & TBSTATE_HIDDEN) {
            rects.push_back(RECT{x, top, x, top + s.button.cy});
            continue;
        }
        bool wraps = (b.state & TBSTATE_WRAP) != 0;
        if (IsSeparator(b) && wraps) {
            int gapTop = lineUsed ? top + s.button.cy : top;
            int gap = SeparatorWidth(b);
            rects.push_back(RECT{0, gapTop, std::max<int>(x, s.button.cx), gapTop + gap});
            top = gapTop + gap;
            x = 0;
            lineUsed = false;
            continue;
        }
        int w = IsSeparator(b) ? SeparatorWidth(b) : s.button.cx;
        rects.push_back(RECT{x, top, x + w, top + s.button.cy});
        x += w;
        lineUsed = true;
        if (wraps) {
            top += s.button.cy;
            x = 0;
            lineUsed = false;
        }
    }
    return rects;
}

// Whether a separator's rectangle is a gap between lines rather than a
// space within one.
bool IsLineGap(const Button& b)
{
    return IsSeparator(b) && (b.state & TBSTATE_WRAP) && !(b.state & TBSTATE_HIDDEN);
}

int IndexOfCommand(const ToolbarState& s, WPARAM id)
{
    for (size_t i = 0; i < s.buttons.size(); ++i)
        if (s.buttons[i].command == static_cast<int>(id))
            return static_cast<int>(i);
    return -1;
}

int ButtonAt(HWND hwnd, const ToolbarState& s, POINT pt)
{
    std::vector<RECT> rects = Layout(hwnd, s);
    for (size_t i = 0; i < rects.size(); ++i)
        if (!IsSeparator(s.buttons[i]) && PtInRect(&rects[i], pt))
            return static_cast<int>(i);
    return -1;
}

HWND OwnerOf(HWND hwnd, const ToolbarState& s)
{
    return s.owner ? s.owner : GetParent(hwnd);
}

// The toolbar's tooltip knows one tool per button, by command id.
void SyncTools(HWND hwnd, const ToolbarState& s)
{
    if (!s.tooltip)
        return;
    // Tools are rebuilt from the buttons: every command's old tool goes first.
    for (const Button& b : s.buttons) {
        TOOLINFOA ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = hwnd;
        ti.uId = static_cast<UINT_PTR>(b.command);
        SendMessage(s.tooltip, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&ti));
    }
    std::vector<RECT> rects = Layout(hwnd, s);
    for (size_t i = 0; i < s.buttons.size(); ++i) {
        const Button& b = s.buttons[i];
        if (IsSeparator(b) || (b.state & TBSTATE_HIDDEN))
            continue;
        TOOLINFOA ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = hwnd;
        ti.uId = static_cast<UINT_PTR>(b.command);
        ti.rect = rects[i];
        ti.lpszText = LPSTR_TEXTCALLBACK;
        SendMessage(s.tooltip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

void Changed(HWND hwnd, const ToolbarState& s)
{
    SyncTools(hwnd, s);
    InvalidateRect(hwnd, NULL, TRUE);
}

void AutoSize(HWND hwnd, const ToolbarState& s)
{
    DWORD style = StyleOf(hwnd);
    HWND parent = GetParent(hwnd);
    if ((style & CCS_NORESIZE) || !parent)
        return;
    RECT pr{};
    GetClientRect(parent, &pr);
    // Tall enough for every line the buttons wrap onto.
    int bottom = DividerHeight(hwnd) + TopPad + s.button.cy;
    for (const RECT& r : Layout(hwnd, s))
        bottom = std::max<int>(bottom, r.bottom);
    int h = bottom + TopPad;
    if (style & CCS_NOPARENTALIGN) {
        RECT wr{};
        GetWindowRect(hwnd, &wr);
        SetWindowPos(hwnd, NULL, 0, 0, pr.right - pr.left, h, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
        return;
    }
    int y = ((style & CCS_BOTTOM) == CCS_BOTTOM) ? pr.bottom - h : 0;
    SetWindowPos(hwnd, NULL, 0, y, pr.right - pr.left, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetHot(HWND hwnd, ToolbarState& s, int index)
{
    if (s.hot == index)
        return;
    NMTBHOTITEM nm{};
    nm.idOld = s.hot >= 0 ? s.buttons[static_cast<size_t>(s.hot)].command : 0;
    nm.idNew = index >= 0 ? s.buttons[static_cast<size_t>(index)].command : 0;
    s.hot = index;
    SendControlNotify(hwnd, nm.hdr, TBN_HOTITEMCHANGE, OwnerOf(hwnd, s));
    if (index >= 0)
        SetTimer(hwnd, HotTimer, 100, nullptr);
    else
        KillTimer(hwnd, HotTimer);
    InvalidateRect(hwnd, NULL, TRUE);
}

void DrawButton(HDC dc, const ToolbarState& s, const Button& b, RECT r, bool flat, bool hot)
{
    bool down = (b.state & (TBSTATE_PRESSED | TBSTATE_CHECKED)) != 0;
    bool enabled = (b.state & TBSTATE_ENABLED) != 0;
    if ((b.state & TBSTATE_CHECKED) && !(b.state & TBSTATE_PRESSED)) {
        RECT inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
        FillRect(dc, &inner, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    }
    if (down)
        DrawEdge(dc, &r, flat ? BDR_SUNKENOUTER : EDGE_SUNKEN, BF_RECT);
    else if (!flat)
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
    else if (hot && enabled)
        DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    int x = r.left + (r.right - r.left - s.bitmap.cx) / 2 + (down ? 1 : 0);
    int y = r.top + (r.bottom - r.top - s.bitmap.cy) / 2 + (down ? 1 : 0);
    if (enabled)
        ImageList_Draw(s.images, b.image, dc, x, y, ILD_TRANSPARENT);
    else
        DrawImageEmbossed(s.images, b.image, dc, x, y);
}

void Paint(HWND hwnd, ToolbarState& s)
{
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client{};
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    if (DividerHeight(hwnd)) {
        RECT line{client.left, client.top, client.right, client.top + 2};
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    }
    bool flat = (StyleOf(hwnd) & TBSTYLE_FLAT) != 0;
    std::vector<RECT> rects = Layout(hwnd, s);
    for (size_t i = 0; i < s.buttons.size(); ++i) {
        const Button& b = s.buttons[i];
        if (b.state & TBSTATE_HIDDEN)
            continue;
        if (IsSeparator(b)) {
            if (flat && IsLineGap(b)) {
                int mid = (rects[i].top + rects[i].bottom) / 2 - 1;
                RECT line{rects[i].left, mid, rects[i].right, mid + 2};
                DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
            } else if (flat) {
                int mid = (rects[i].left + rects[i].right) / 2 - 1;
                RECT line{mid, rects[i].top, mid + 2, rects[i].bottom};
                DrawEdge(dc, &line, EDGE_ETCHED, BF_LEFT);
            }
            continue;
        }
        DrawButton(dc, s, b, rects[i], flat, static_cast<int>(i) == s.hot);
    }
    EndPaint(hwnd, &ps);
}

void Click(HWND hwnd, ToolbarState& s, int index)
{
    Button& b = s.buttons[static_cast<size_t>(index)];
    if (b.style & TBSTYLE_CHECK) {
        if ((b.style & TBSTYLE_GROUP) == TBSTYLE_GROUP) {
            // A group is the run of group buttons around this one; clicking
            // a checked member leaves it checked.
            size_t first = static_cast<size_t>(index);
            while (first > 0 && (s.buttons[first - 1].style & TBSTYLE_CHECKGROUP) == TBSTYLE_CHECKGROUP)
                --first;
            for (size_t i = first; i < s.buttons.size() && (s.buttons[i].style & TBSTYLE_CHECKGROUP) == TBSTYLE_CHECKGROUP; ++i)
                s.buttons[i].state &= static_cast<BYTE>(~TBSTATE_CHECKED);
            b.state |= TBSTATE_CHECKED;
        } else {
            b.state ^= TBSTATE_CHECKED;
        }
    }
    int command = b.command;
    InvalidateRect(hwnd, NULL, TRUE);
    SendMessage(OwnerOf(hwnd, s), WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), reinterpret_cast<LPARAM>(hwnd));
}

void RelayToTip(const ToolbarState& s, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!s.tooltip)
        return;
    MSG m{};
    m.hwnd = hwnd;
    m.message = msg;
    m.wParam = wParam;
    m.lParam = lParam;
    SendMessage(s.tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
}

bool SetFlag(HWND hwnd, ToolbarState& s, WPARAM id, BYTE flag, bool on)
{
    int index = IndexOfCommand(s, id);
    if (index < 0)
        return false;
    Button& b = s.buttons[static_cast<size_t>(index)];
    BYTE before = b.state;
    b.state = on ? static_cast<BYTE>(b.state | flag) : static_cast<BYTE>(b.state & ~flag);
    if (before != b.state) {
        if (flag == TBSTATE_HIDDEN)
            Changed(hwnd, s);
        else
            InvalidateRect(hwnd, NULL, TRUE);
    }
    return true;
}

LRESULT FlagOf(const ToolbarState& s, WPARAM id, BYTE flag)
{
    int index = IndexOfCommand(s, id);
    if (index < 0)
        return -1;
    return (s.buttons[static_cast<size_t>(index)].state & flag) ? TRUE : FALSE;
}

int AddBitmap(ToolbarState& s, int count, const TBADDBITMAP* add)
{
    if (!add || add->hInst == HINST_COMMCTRL)
        return -1; // no built-in strips
    if (!s.images)
        s.images = ImageList_Create(s.bitmap.cx, s.bitmap.cy, ILC_COLOR24 | ILC_MASK, count, 4);
    HBITMAP bitmap = NULL;
    bool owned = false;
    if (add->hInst) {
        bitmap = LoadBitmap(add->hInst, MAKEINTRESOURCE(add->nID));
        owned = true;
    } else {
        bitmap = reinterpret_cast<HBITMAP>(add->nID);
    }
    int first = ImageList_AddMasked(s.images, bitmap, StripBackground);
    if (owned && bitmap)
        DeleteObject(bitmap);
    return first;
}

Button FromTb(const TBBUTTON& tb)
{
    Button b;
    b.image = tb.iBitmap;
    b.command = tb.idCommand;
    b.state = tb.fsState;
    b.style = tb.fsStyle;
    b.data = tb.dwData;
    b.string = tb.iString;
    if (b.style & TBSTYLE_SEP)
        b.width = tb.iBitmap;
    return b;
}

LRESULT ButtonInfo(HWND hwnd, ToolbarState& s, UINT msg, WPARAM wParam, TBBUTTONINFOA* info)
{
    if (!info)
        return -1;
    int index = (info->dwMask & TBIF_BYINDEX) ? static_cast<int>(wParam) : IndexOfCommand(s, wParam);
    if (index < 0 || index >= static_cast<int>(s.buttons.size()))
        return msg == TB_GETBUTTONINFO ? -1 : FALSE;
    Button& b = s.buttons[static_cast<size_t>(index)];
    std::vector<RECT> rects = Layout(hwnd, s);
    if (msg == TB_GETBUTTONINFO) {
        if (info->dwMask & TBIF_COMMAND) info->idCommand = b.command;
        if (info->dwMask & TBIF_IMAGE) info->iImage = b.image;
        if (info->dwMask & TBIF_STATE) info->fsState = b.state;
        if (info->dwMask & TBIF_STYLE) info->fsStyle = b.style;
        if (info->dwMask & TBIF_LPARAM) info->lParam = b.data;
        if (info->dwMask & TBIF_SIZE) {
            const RECT& r = rects[static_cast<size_t>(index)];
            info->cx = static_cast<WORD>(IsLineGap(b) ? SeparatorWidth(b) : r.right - r.left);
        }
        return index;
    }
    if (info->dwMask & TBIF_COMMAND) b.command = info->idCommand;
    if (info->dwMask & TBIF_IMAGE) b.image = info->iImage;
    if (info->dwMask & TBIF_STATE) b.state = info->fsState;
    if (info->dwMask & TBIF_STYLE) b.style = info->fsStyle;
    if (info->dwMask & TBIF_LPARAM) b.data = info->lParam;
    if (info->dwMask & TBIF_SIZE) b.width = info->cx;
    Changed(hwnd, s);
    return TRUE;
}

LRESULT CALLBACK ToolbarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ToolbarState* s = AttachControlState<ToolbarState>(hwnd, msg);
    if (!s)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_CREATE:
        if (StyleOf(hwnd) & TBSTYLE_TOOLTIPS) {
            s->tooltip = CreateWindowEx(0, TOOLTIPS_CLASS, NULL, WS_POPUP, 0, 0, 0, 0, hwnd, NULL, NULL, NULL);
        }
        AutoSize(hwnd, *s);
        return 0;
    case WM_DESTROY:
        if (s->tooltip)
            DestroyWindow(s->tooltip);
        if (s->images)
            ImageList_Destroy(s->images);
        s->tooltip = NULL;
        s->images = NULL;
        return 0;
    case WM_SIZE:
        return 0;
    case WM_PAINT:
        Paint(hwnd, *s);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_NOTIFY: {
        // The tooltip asks the toolbar; the owner knows the text.
        NMHDR* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (hdr && hdr->hwndFrom == s->tooltip)
            return SendMessage(OwnerOf(hwnd, *s), WM_NOTIFY, wParam, lParam);
        return 0;
    }
    case WM_MOUSEMOVE: {
        RelayToTip(*s, hwnd, msg, wParam, lParam);
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        int at = ButtonAt(hwnd, *s, pt);
        if (s->pressed >= 0) {
            bool inside = at == s->pressed;
            if (inside != s->pressedInside) {
                s->pressedInside = inside;
                Button& b = s->buttons[static_cast<size_t>(s->pressed)];
                b.state = inside ? static_cast<BYTE>(b.state | TBSTATE_PRESSED) : static_cast<BYTE>(b.state & ~TBSTATE_PRESSED);
                InvalidateRect(hwnd, NULL, TRUE);
            }
        } else if (StyleOf(hwnd) & TBSTYLE_FLAT) {
            bool usable = at >= 0 && (s->buttons[static_cast<size_t>(at)].state & TBSTATE_ENABLED);
            SetHot(hwnd, *s, usable ? at : -1);
        }
        return 0;
    }
    case WM_TIMER:
        if (wParam == HotTimer && s->hot >= 0 && s->pressed < 0) {
            POINT pt{};
            GetCursorPos(&pt);
            if (WindowFromPoint(pt) != hwnd)
                SetHot(hwnd, *s, -1);
        }
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        RelayToTip(*s, hwnd, msg, wParam, lParam);
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        int at = ButtonAt(hwnd, *s, pt);
        if (at < 0 || !(s->buttons[static_cast<size_t>(at)].state & TBSTATE_ENABLED))
            return 0;
        s->pressed = at;
        s->pressedInside = true;
        s->buttons[static_cast<size_t>(at)].state |= TBSTATE_PRESSED;
        SetCapture(hwnd);
        InvalidateRect(hwnd, NULL, TRUE);
        return 0;
    }
    case WM_LBUTTONUP: {
        RelayToTip(*s, hwnd, msg, wParam, lParam);
        if (s->pressed < 0)
            return 0;
        int index = s->pressed;
        bool inside = s->pressedInside;
        s->pressed = -1;
        if (GetCapture() == hwnd)
            ReleaseCapture();
        if (index < static_cast<int>(s->buttons.size())) {
            s->buttons[static_cast<size_t>(index)].state &= static_cast<BYTE>(~TBSTATE_PRESSED);
            if (inside)
                Click(hwnd, *s, index);
        }
        InvalidateRect(hwnd, NULL, TRUE);
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (s->pressed >= 0 && reinterpret_cast<HWND>(lParam) != hwnd) {
            if (s->pressed < static_cast<int>(s->buttons.size()))
                s->buttons[static_cast<size_t>(s->pressed)].state &= static_cast<BYTE>(~TBSTATE_PRESSED);
            s->pressed = -1;
            InvalidateRect(hwnd, NULL, TRUE);
        }
        return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        RelayToTip(*s, hwnd, msg, wParam, lParam);
        return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_SETFONT:
        s->font = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(s->font);
    case TB_BUTTONSTRUCTSIZE:
        return 0;
    case TB_SETBUTTONSIZE:
        if (LOWORD(lParam) > 0 && HIWORD(lParam) > 0) {
            s->button = SIZE{LOWORD(lParam), HIWORD(lParam)};
            Changed(hwnd, *s);
        }
        return TRUE;
    case TB_GETBUTTONSIZE:
        return MAKELRESULT(s->button.cx, s->button.cy);
    case TB_SETBITMAPSIZE:
        // The size applies to strips added afterwards.
        if (LOWORD(lParam) == 0 || HIWORD(lParam) == 0)
            return FALSE;
        if (s->images && ImageList_GetImageCount(s->images) > 0)
            return FALSE;
        s->bitmap = SIZE{LOWORD(lParam), HIWORD(lParam)};
        if (s->images) {
            ImageList_Destroy(s->images);
            s->images = NULL;
        }
        s->button.cx = std::max<LONG>(s->button.cx, s->bitmap.cx + 7);
        s->button.cy = std::max<LONG>(s->button.cy, s->bitmap.cy + 7);
        return TRUE;
    case TB_ADDBITMAP:
        return AddBitmap(*s, static_cast<int>(wParam), reinterpret_cast<const TBADDBITMAP*>(lParam));
    case TB_ADDBUTTONS:
    case TB_INSERTBUTTON: {
        const TBBUTTON* tb = reinterpret_cast<const TBBUTTON*>(lParam);
        size_t count = msg == TB_ADDBUTTONS ? static_cast<size_t>(wParam) : 1;
        if (!tb || count == 0 || s->buttons.size() + count > MaxButtons)
            return FALSE;
        size_t at = s->buttons.size();
        if (msg == TB_INSERTBUTTON && static_cast<INT_PTR>(wParam) >= 0)
            at = std::min(s->buttons.size(), static_cast<size_t>(wParam));
        for (size_t i = 0; i < count; ++i)
            s->buttons.insert(s->buttons.begin() + static_cast<std::ptrdiff_t>(at + i), FromTb(tb[i]));
        s->hot = -1;
        Changed(hwnd, *s);
        return TRUE;
    }
    case TB_DELETEBUTTON: {
        if (wParam >= s->buttons.size())
            return FALSE;
        if (s->pressed >= 0 && GetCapture() == hwnd)
            ReleaseCapture();
        s->pressed = -1;
        TOOLINFOA ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = hwnd;
        ti.uId = static_cast<UINT_PTR>(s->buttons[wParam].command);
        if (s->tooltip)
            SendMessage(s->tooltip, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&ti));
        s->buttons.erase(s->buttons.begin() + static_cast<std::ptrdiff_t>(wParam));
        s->hot = -1;
        Changed(hwnd, *s);
        return TRUE;
    }
    case TB_GETBUTTON: {
        TBBUTTON* out = reinterpret_cast<TBBUTTON*>(lParam);
        if (!out || wParam >= s->buttons.size())
            return FALSE;
        const Button& b = s->buttons[wParam];
        *out = TBBUTTON{};
        out->iBitmap = IsSeparator(b) ? b.width : b.image;
        out->idCommand = b.command;
        out->fsState = b.state;
        out->fsStyle = b.style;
        out->dwData = b.data;
        out->iString = b.string;
        return TRUE;
    }
    case TB_BUTTONCOUNT:
        return static_cast<LRESULT>(s->buttons.size());
    case TB_COMMANDTOINDEX:
        return IndexOfCommand(*s, wParam);
    case TB_GETITEMRECT: {
        RECT* out = reinterpret_cast<RECT*>(lParam);
        if (!out || wParam >= s->buttons.size())
            return FALSE;
        *out = Layout(hwnd, *s)[wParam];
        return TRUE;
    }
    case TB_ENABLEBUTTON:
        return SetFlag(hwnd, *s, wParam, TBSTATE_ENABLED, LOWORD(lParam) != 0);
    case TB_CHECKBUTTON:
        return SetFlag(hwnd, *s, wParam, TBSTATE_CHECKED, LOWORD(lParam) != 0);
    case TB_PRESSBUTTON:
        return SetFlag(hwnd, *s, wParam, TBSTATE_PRESSED, LOWORD(lParam) != 0);
    case TB_HIDEBUTTON:
        return SetFlag(hwnd, *s, wParam, TBSTATE_HIDDEN, LOWORD(lParam) != 0);
    case TB_INDETERMINATE:
        return SetFlag(hwnd, *s, wParam, TBSTATE_INDETERMINATE, LOWORD(lParam) != 0);
    case TB_ISBUTTONENABLED:
        return FlagOf(*s, wParam, TBSTATE_ENABLED);
    case TB_ISBUTTONCHECKED:
        return FlagOf(*s, wParam, TBSTATE_CHECKED);
    case TB_ISBUTTONPRESSED:
        return FlagOf(*s, wParam, TBSTATE_PRESSED);
    case TB_ISBUTTONHIDDEN:
        return FlagOf(*s, wParam, TBSTATE_HIDDEN);
    case TB_ISBUTTONINDETERMINATE:
        return FlagOf(*s, wParam, TBSTATE_INDETERMINATE);
    case TB_SETSTATE: {
        int index = IndexOfCommand(*s, wParam);
        if (index < 0)
            return FALSE;
        // Hiding or wrapping moves the buttons after this one.
        bool moves = ((s->buttons[static_cast<size_t>(index)].state ^ LOWORD(lParam)) & (TBSTATE_HIDDEN | TBSTATE_WRAP)) != 0;
        s->buttons[static_cast<size_t>(index)].state = static_cast<BYTE>(LOWORD(lParam));
        if (moves)
            Changed(hwnd, *s);
        else
            InvalidateRect(hwnd, NULL, TRUE);
        return TRUE;
    }
    case TB_GETSTATE: {
        int index = IndexOfCommand(*s, wParam);
        return index < 0 ? -1 : s->buttons[static_cast<size_t>(index)].state;
    }
    case TB_GETBUTTONINFO:
    case TB_SETBUTTONINFO:
        return ButtonInfo(hwnd, *s, msg, wParam, reinterpret_cast<TBBUTTONINFOA*>(lParam));
    case TB_AUTOSIZE:
        AutoSize(hwnd, *s);
        return 0;
    case TB_GETTOOLTIPS:
        return reinterpret_cast<LRESULT>(s->tooltip);
    case TB_SETTOOLTIPS:
        s->tooltip = reinterpret_cast<HWND>(wParam);
        SyncTools(hwnd, *s);
        return 0;
    case TB_SETPARENT: {
        HWND old = OwnerOf(hwnd, *s);
        s->owner = reinterpret_cast<HWND>(wParam);
        return reinterpret_cast<LRESULT>(old);
    }
    case TB_GETHOTITEM:
        return s->hot;
    case TB_SETHOTITEM: {
        int old = s->hot;
        int index = static_cast<int>(static_cast<INT_PTR>(wParam));
        SetHot(hwnd, *s, index >= 0 && index < static_cast<int>(s->buttons.size()) ? index : -1);
        return old;
    }
    case TB_SETSTYLE:
        SetWindowLongPtr(hwnd, GWL_STYLE, static_cast<LONG_PTR>(lParam));
        InvalidateRect(hwnd, NULL, TRUE);
        return 0;
    case TB_GETSTYLE:
        return static_cast<LRESULT>(StyleOf(hwnd));
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

} // namespace

void RegisterToolbarClass()
{
    RegisterControlClass(TOOLBARCLASSNAME, ToolbarProc, CS_DBLCLKS, COLOR_BTNFACE);
}

} // namespace platform
