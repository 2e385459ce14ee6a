// The "Button" class: push buttons, check boxes, radio buttons, group boxes
// and owner-drawn buttons, painted in the classic style.

#include "platform/base/Geometry.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/DialogManager.h"

#include <unordered_map>

namespace platform {
namespace {

struct ButtonState {
    UINT check = BST_UNCHECKED;
    bool pushed = false;
    bool focus = false;
    bool tracking = false; // the left mouse button went down on us
    bool spaceDown = false;
    HFONT font = NULL;
};

// Keyed by handle; a destroyed window's handle never comes back, and the
// entry goes with WM_NCDESTROY.
std::unordered_map<HWND, ButtonState>& States()
{
    static std::unordered_map<HWND, ButtonState> states;
    return states;
}

ButtonState& StateOf(HWND hwnd)
{
    return States()[hwnd];
}

UINT TypeOf(HWND hwnd)
{
    return UINT(GetWindowLong(hwnd, GWL_STYLE) & BS_TYPEMASK);
}

bool IsCheckType(UINT type)
{
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE;
}

bool IsRadioType(UINT type)
{
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

void Notify(HWND hwnd, WORD code)
{
    HWND parent = GetParent(hwnd);
    if (parent)
        SendMessage(parent, WM_COMMAND, MAKEWPARAM(WORD(GetDlgCtrlID(hwnd)), code), LPARAM(hwnd));
}

void SendDrawItem(HWND hwnd, HDC hdc, UINT action)
{
    const ButtonState& s = StateOf(hwnd);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = UINT(GetDlgCtrlID(hwnd));
    dis.itemAction = action;
    dis.itemState = (s.pushed ? ODS_SELECTED : 0) | (s.focus ? ODS_FOCUS : 0)
        | (IsWindowEnabled(hwnd) ? 0 : ODS_DISABLED);
    dis.hwndItem = hwnd;
    dis.hDC = hdc;
    GetClientRect(hwnd, &dis.rcItem);
    if (HWND parent = GetParent(hwnd))
        SendMessage(parent, WM_DRAWITEM, WPARAM(dis.CtlID), LPARAM(&dis));
}

// A state change of an owner-drawn button is drawn at once with the action
// that says what changed; other buttons repaint as a whole.
void Redraw(HWND hwnd, UINT ownerDrawAction)
{
    if (TypeOf(hwnd) == BS_OWNERDRAW && IsWindowVisible(hwnd)) {
        HDC hdc = GetDC(hwnd);
        SendDrawItem(hwnd, hdc, ownerDrawAction);
        ReleaseDC(hwnd, hdc);
        return;
    }
    InvalidateRect(hwnd, NULL, FALSE);
}

void SetPushed(HWND hwnd, bool pushed)
{
    ButtonState& s = StateOf(hwnd);
    if (s.pushed == pushed)
        return;
    s.pushed = pushed;
    Redraw(hwnd, ODA_SELECT);
}

// Checks hwnd and clears the other radio buttons of its group (from the
// WS_GROUP control at or before it to the next one).
void CheckAutoRadioGroup(HWND hwnd)
{
    HWND parent = GetParent(hwnd);
    HWND first = hwnd;
    // Back to the control that starts the group.
    while (!(GetWindowLong(first, GWL_STYLE) & WS_GROUP)) {
        HWND prev = GetWindow(first, GW_HWNDPREV);
        if (!prev)
            break;
        first = prev;
    }
    for (HWND c = first; c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (c != first && (GetWindowLong(c, GWL_STYLE) & WS_GROUP))
            break;
        if (GetParent(c) == parent && c != hwnd && (SendMessage(c, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON))
            SendMessage(c, BM_SETCHECK, BST_UNCHECKED, 0);
    }
    SendMessage(hwnd, BM_SETCHECK, BST_CHECKED, 0);
}

void Clicked(HWND hwnd)
{
    switch (TypeOf(hwnd)) {
    case BS_AUTOCHECKBOX:
        SendMessage(hwnd, BM_SETCHECK, StateOf(hwnd).check == BST_UNCHECKED ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
    case BS_AUTO3STATE:
        SendMessage(hwnd, BM_SETCHECK, (StateOf(hwnd).check + 1) % 3, 0);
        break;
    case BS_AUTORADIOBUTTON:
        CheckAutoRadioGroup(hwnd);
        break;
    default:
        break;
    }
    if (IsWindow(hwnd))
        Notify(hwnd, BN_CLICKED);
}

// ---- Painting --------------------------------------------------------------------------------------

constexpr int kBoxSize = 13;

HBRUSH ControlBrush(HWND hwnd, HDC hdc, UINT ctlColorMsg)
{
    SetTextColor(hdc, GetSysColor(COLOR_BTNTEXT));
    SetBkColor(hdc, GetSysColor(COLOR_BTNFACE));
    HBRUSH brush = NULL;
    if (HWND parent = GetParent(hwnd))
        brush = HBRUSH(SendMessage(parent, ctlColorMsg, WPARAM(hdc), LPARAM(hwnd)));
    return brush ? brush : GetSysColorBrush(COLOR_BTNFACE);
}

// The caption; disabled captions are embossed as the classic look has it.
void DrawCaption(HWND hwnd, HDC hdc, RECT rc, UINT format)
{
    char text[512];
    int len = GetWindowText(hwnd, text, int(sizeof text));
    if (len <= 0)
        return;
    SetBkMode(hdc, TRANSPARENT);
    if (IsWindowEnabled(hwnd)) {
        DrawText(hdc, text, len, &rc, format);
        return;
    }
    COLORREF old = SetTextColor(hdc, GetSysColor(COLOR_BTNHIGHLIGHT));
    RECT shifted = rc;
    OffsetRect(&shifted, 1, 1);
    DrawText(hdc, text, len, &shifted, format);
    SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
    DrawText(hdc, text, len, &rc, format);
    SetTextColor(hdc, old);
}

// Lines and horizontal placement of a caption; `fallback` is the button
// kind's own placement when the style names none.
UINT CaptionFormat(DWORD style, UINT fallback)
{
    UINT format = (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE | DT_VCENTER;
    switch (style & BS_CENTER) {
    case BS_LEFT:
        return format | DT_LEFT;
    case BS_RIGHT:
        return format | DT_RIGHT;
    case BS_CENTER:
        return format | DT_CENTER;
    default:
        return format | fallback;
    }
}

void PaintPushButton(HWND hwnd, HDC hdc, const RECT& client)
{
    const ButtonState& s = StateOf(hwnd);
    DWORD style = DWORD(GetWindowLong(hwnd, GWL_STYLE));
    ControlBrush(hwnd, hdc, WM_CTLCOLORBTN);
    RECT rc = client;
    FillRect(hdc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
        FrameRect(hdc, &rc, HBRUSH(GetStockObject(BLACK_BRUSH)));
        InflateRect(&rc, -1, -1);
    }
    if (s.pushed) {
        FrameRect(hdc, &rc, GetSysColorBrush(COLOR_BTNSHADOW));
    } else {
        RECT edge = rc;
        DrawEdge(hdc, &edge, EDGE_RAISED, BF_RECT);
    }
    RECT text = client;
    InflateRect(&text, -4, -4);
    if (s.pushed)
        OffsetRect(&text, 1, 1);
    UINT format = CaptionFormat(style, DT_CENTER);
    DrawCaption(hwnd, hdc, text, format);
    if (s.focus) {
        RECT focus = client;
        InflateRect(&focus, -4, -4);
        DrawFocusRect(hdc, &focus);
    }
}

void DrawCheckMark(HDC hdc, int x, int y, COLORREF color)
{
    // A tick of seven columns, three pixels tall each.
    static const int kRise[7] = {2, 3, 4, 3, 2, 1, 0};
    for (int i = 0; i < 7; ++i)
        for (int j = 0; j < 3; ++j)
            SetPixel(hdc, x + i, y + kRise[i] + j, color);
}

void PaintCheckOrRadio(HWND hwnd, HDC hdc, const RECT& client, bool radio)
{
    const ButtonState& s = StateOf(hwnd);
    DWORD style = DWORD(GetWindowLong(hwnd, GWL_STYLE));
    HBRUSH background = ControlBrush(hwnd, hdc, WM_CTLCOLORSTATIC);
    FillRect(hdc, &client, background);
    bool leftText = (style & BS_LEFTTEXT) != 0;
    int boxLeft = leftText ? client.right - kBoxSize : client.left;
    int boxTop = client.top + (client.bottom - client.top - kBoxSize) / 2;
    RECT box{boxLeft, boxTop, boxLeft + kBoxSize, boxTop + kBoxSize};
    bool enabled = IsWindowEnabled(hwnd);
    COLORREF face = GetSysColor((s.pushed || !enabled) ? COLOR_BTNFACE : COLOR_WINDOW);
    COLORREF mark = GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT);
    if (radio) {
        HBRUSH fill = CreateSolidBrush(face);
        HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
        HGDIOBJ oldBrush = SelectObject(hdc, fill);
        HGDIOBJ oldPen = SelectObject(hdc, pen);
        Ellipse(hdc, box.left, box.top, box.right - 1, box.bottom - 1);
        if (s.check) {
            HBRUSH dot = CreateSolidBrush(mark);
            HPEN dotPen = CreatePen(PS_SOLID, 1, mark);
            SelectObject(hdc, dot);
            SelectObject(hdc, dotPen);
            Ellipse(hdc, box.left + 4, box.top + 4, box.left + 8, box.top + 8);
            SelectObject(hdc, fill);
            SelectObject(hdc, pen);
            DeleteObject(dot);
            DeleteObject(dotPen);
        }
        SelectObject(hdc, oldBrush);
        SelectObject(hdc, oldPen);
        DeleteObject(fill);
        DeleteObject(pen);
    } else {
        HBRUSH fill = CreateSolidBrush(face);
        FillRect(hdc, &box, fill);
        DeleteObject(fill);
        RECT edge = box;
        DrawEdge(hdc, &edge, EDGE_SUNKEN, BF_RECT);
        if (s.check == BST_CHECKED)
            DrawCheckMark(hdc, box.left + 3, box.top + 3, mark);
        else if (s.check == BST_INDETERMINATE)
            DrawCheckMark(hdc, box.left + 3, box.top + 3, GetSysColor(COLOR_BTNSHADOW));
    }

    RECT text = client;
    if (leftText)
        text.right = box.left - 4;
    else
        text.left = box.right + 4;
    UINT format = CaptionFormat(style, leftText ? DT_RIGHT : DT_LEFT);
    DrawCaption(hwnd, hdc, text, format);
    if (s.focus) {
        char caption[512];
        int len = GetWindowText(hwnd, caption, int(sizeof caption));
        RECT measured = text;
        DrawText(hdc, caption, len, &measured, (format & ~(DT_VCENTER | DT_RIGHT | DT_CENTER)) | DT_CALCRECT);
        int w = measured.right - measured.left;
        int h = measured.bottom - measured.top;
        RECT focus{text.left, text.top + (text.bottom - text.top - h) / 2, text.left + w, 0};
        if (format & DT_RIGHT)
            focus.left = text.right - w;
        else if (format & DT_CENTER)
            focus.left = text.left + (text.right - text.left - w) / 2;
        focus.right = focus.left + w;
        focus.bottom = focus.top + h;
        InflateRect(&focus, 1, 1);
        DrawFocusRect(hdc, &focus);
    }
}

void PaintGroupBox(HWND hwnd, HDC hdc, const RECT& client)
{
    HBRUSH background = ControlBrush(hwnd, hdc, WM_CTLCOLORSTATIC);
    char caption[512];
    int len = GetWindowText(hwnd, caption, int(sizeof caption));
    RECT measured{0, 0, 32000, 32000};
    DrawText(hdc, len > 0 ? caption : "M", len > 0 ? len : 1, &measured, DT_SINGLELINE | DT_CALCRECT);
    int textHeight = measured.bottom - measured.top;
    // Only the frame and the caption: the inside belongs to the controls
    // the box groups.
    RECT frame{client.left, client.top + textHeight / 2, client.right, client.bottom};
    DrawEdge(hdc, &frame, EDGE_ETCHED, BF_RECT);
    if (len > 0) {
        RECT text{client.left + 8, client.top, client.left + 8 + (measured.right - measured.left), textHeight};
        RECT clear = text;
        InflateRect(&clear, 2, 0);
        FillRect(hdc, &clear, background);
        DrawCaption(hwnd, hdc, text, DT_SINGLELINE | DT_LEFT | DT_TOP);
    }
}

void Paint(HWND hwnd, HDC hdc)
{
    RECT client;
    GetClientRect(hwnd, &client);
    UINT type = TypeOf(hwnd);
    if (type == BS_OWNERDRAW) {
        SendDrawItem(hwnd, hdc, ODA_DRAWENTIRE);
        return;
    }
    HFONT font = StateOf(hwnd).font;
    HGDIOBJ oldFont = SelectObject(hdc, font ? HGDIOBJ(font) : GetStockObject(DEFAULT_GUI_FONT));
    if (IsCheckType(type))
        PaintCheckOrRadio(hwnd, hdc, client, false);
    else if (IsRadioType(type))
        PaintCheckOrRadio(hwnd, hdc, client, true);
    else if (type == BS_GROUPBOX)
        PaintGroupBox(hwnd, hdc, client);
    else
        PaintPushButton(hwnd, hdc, client);
    SelectObject(hdc, oldFont);
}

LRESULT DialogCode(HWND hwnd)
{
    switch (TypeOf(hwnd)) {
    case BS_DEFPUSHBUTTON:
        return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    case BS_PUSHBUTTON:
    case BS_OWNERDRAW:
        return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        return DLGC_BUTTON | DLGC_RADIOBUTTON;
    case BS_GROUPBOX:
        return DLGC_STATIC;
    default:
        return DLGC_BUTTON;
    }
}

void EndTracking(HWND hwnd)
{
    ButtonState& s = StateOf(hwnd);
    bool hadCapture = s.tracking;
    s.tracking = false;
    s.spaceDown = false;
    SetPushed(hwnd, false);
    if (hadCapture && GetCapture() == hwnd)
        ReleaseCapture();
}

bool InsideClient(HWND hwnd, LPARAM lParam)
{
    RECT client;
    GetClientRect(hwnd, &client);
    POINT pt{short(LOWORD(lParam)), short(HIWORD(lParam))};
    return PtInRect(&client, pt) != FALSE;
}

} // namespace

LRESULT CALLBACK ButtonWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_NCDESTROY:
        States().erase(hwnd);
        return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_GETDLGCODE:
        return DialogCode(hwnd);
    case WM_NCHITTEST:
        if (TypeOf(hwnd) == BS_GROUPBOX)
            return HTTRANSPARENT;
        return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_ERASEBKGND:
        return 1; // painting covers what it owns
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hwnd, &ps);
        if (hdc)
            Paint(hwnd, hdc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(hwnd, HDC(wParam));
        return 0;
    case WM_SETFONT:
        StateOf(hwnd).font = HFONT(wParam);
        if (LOWORD(lParam))
            InvalidateRect(hwnd, NULL, TRUE);
        return 0;
    case WM_GETFONT:
        return LRESULT(StateOf(hwnd).font);
    case WM_SETTEXT: {
        LRESULT r = DefWindowProc(hwnd, msg, wParam, lParam);
        InvalidateRect(hwnd, NULL, TRUE);
        return r;
    }
    case WM_ENABLE:
        if (!wParam)
            EndTracking(hwnd);
        InvalidateRect(hwnd, NULL, TRUE);
        return 0;

    case BM_GETCHECK: {
        UINT type = TypeOf(hwnd);
        return (IsCheckType(type) || IsRadioType(type)) ? StateOf(hwnd).check : BST_UNCHECKED;
    }
    case BM_SETCHECK: {
        UINT type = TypeOf(hwnd);
        if (!IsCheckType(type) && !IsRadioType(type))
            return 0;
        UINT check = UINT(wParam);
        if (check > BST_INDETERMINATE || (check == BST_INDETERMINATE && type != BS_3STATE && type != BS_AUTO3STATE))
            check = BST_CHECKED;
        ButtonState& s = StateOf(hwnd);
        if (s.check != check) {
            s.check = check;
            InvalidateRect(hwnd, NULL, FALSE);
        }
        return 0;
    }
    case BM_GETSTATE: {
        const ButtonState& s = StateOf(hwnd);
        UINT type = TypeOf(hwnd);
        UINT state = (IsCheckType(type) || IsRadioType(type)) ? s.check : 0;
        return state | (s.pushed ? BST_PUSHED : 0) | (s.focus ? BST_FOCUS : 0);
    }
    case BM_SETSTATE:
        SetPushed(hwnd, wParam != 0);
        return 0;
    case BM_SETSTYLE: {
        DWORD style = DWORD(GetWindowLong(hwnd, GWL_STYLE));
        SetWindowLong(hwnd, GWL_STYLE, LONG((style & 0xFFFF0000u) | LOWORD(wParam)));
        if (LOWORD(lParam))
            InvalidateRect(hwnd, NULL, TRUE);
        return 0;
    }
    case BM_CLICK:
        // Through the mouse messages, so that a procedure that subclasses
        // the button sees the click as its own.
        SendMessage(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        SendMessage(hwnd, WM_LBUTTONUP, 0, 0);
        return 0;

    case WM_LBUTTONDBLCLK: {
        UINT type = TypeOf(hwnd);
        if (IsRadioType(type) || type == BS_OWNERDRAW || (GetWindowLong(hwnd, GWL_STYLE) & BS_NOTIFY)) {
            Notify(hwnd, BN_DOUBLECLICKED);
            return 0;
        }
        [[fallthrough]];
    }
    case WM_LBUTTONDOWN:
        if (TypeOf(hwnd) == BS_GROUPBOX)
            return 0;
        if (GetFocus() != hwnd)
            SetFocus(hwnd);
        if (!IsWindow(hwnd))
            return 0;
        SetCapture(hwnd);
        StateOf(hwnd).tracking = true;
        SetPushed(hwnd, true);
        return 0;
    case WM_MOUSEMOVE:
        if (StateOf(hwnd).tracking)
            SetPushed(hwnd, InsideClient(hwnd, lParam));
        return 0;
    case WM_LBUTTONUP: {
        ButtonState& s = StateOf(hwnd);
        if (!s.tracking)
            return 0;
        bool click = s.pushed && InsideClient(hwnd, lParam);
        EndTracking(hwnd);
        if (click)
            Clicked(hwnd);
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (StateOf(hwnd).tracking && HWND(lParam) != hwnd) {
            StateOf(hwnd).tracking = false;
            SetPushed(hwnd, false);
        }
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE && TypeOf(hwnd) != BS_GROUPBOX) {
            ButtonState& s = StateOf(hwnd);
            if (!s.tracking && !s.spaceDown) {
                s.spaceDown = true;
                SetPushed(hwnd, true);
            }
            return 0;
        }
        return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_KEYUP:
        if (wParam == VK_SPACE && StateOf(hwnd).spaceDown) {
            StateOf(hwnd).spaceDown = false;
            SetPushed(hwnd, false);
            Clicked(hwnd);
            return 0;
        }
        return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_SETFOCUS:
        StateOf(hwnd).focus = true;
        Redraw(hwnd, ODA_FOCUS);
        if (GetWindowLong(hwnd, GWL_STYLE) & BS_NOTIFY)
            Notify(hwnd, BN_SETFOCUS);
        if (!IsWindow(hwnd))
            return 0;
        if (HWND parent = GetParent(hwnd); parent && IsDialogWindow(parent))
            DialogDefaultFollowsFocus(parent, hwnd);
        return 0;
    case WM_KILLFOCUS: {
        StateOf(hwnd).focus = false;
        if (StateOf(hwnd).spaceDown || StateOf(hwnd).tracking)
            EndTracking(hwnd);
        Redraw(hwnd, ODA_FOCUS);
        if (GetWindowLong(hwnd, GWL_STYLE) & BS_NOTIFY)
            Notify(hwnd, BN_KILLFOCUS);
        if (!IsWindow(hwnd))
            return 0;
        HWND parent = GetParent(hwnd);
        HWND next = HWND(wParam);
        if (parent && next && IsDialogWindow(parent) && IsChild(parent, next))
            DialogDefaultFollowsFocus(parent, next);
        return 0;
    }
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

} // namespace platform
