// The "Static" class: text labels, frames and rectangles, icons and
// owner-drawn statics. Statics take no input: the mouse passes through
// them unless they ask for notifications.

#include "platform/base/Geometry.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/DialogManager.h"

#include <unordered_map>

namespace platform {
namespace {

struct StaticState {
    HFONT font = NULL;
    HICON icon = NULL;
};

std::unordered_map<HWND, StaticState>& States()
{
    static std::unordered_map<HWND, StaticState> states;
    return states;
}

UINT TypeOf(DWORD style)
{
    return UINT(style & SS_TYPEMASK);
}

void FillWithColor(HDC hdc, const RECT& rc, int colorIndex)
{
    FillRect(hdc, &rc, GetSysColorBrush(colorIndex));
}

void FrameWithColor(HDC hdc, const RECT& rc, int colorIndex)
{
    FrameRect(hdc, &rc, GetSysColorBrush(colorIndex));
}

void PaintText(HWND hwnd, HDC hdc, const RECT& client, DWORD style)
{
    SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(hdc, GetSysColor(COLOR_BTNFACE));
    HBRUSH brush = NULL;
    if (HWND parent = GetParent(hwnd))
        brush = HBRUSH(SendMessage(parent, WM_CTLCOLORSTATIC, WPARAM(hdc), LPARAM(hwnd)));
    FillRect(hdc, &client, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));

    char text[1024];
    int len = GetWindowText(hwnd, text, int(sizeof text));
    if (len <= 0)
        return;
    UINT format = DT_EXPANDTABS;
    switch (TypeOf(style)) {
    case SS_CENTER:
        format |= DT_CENTER | DT_WORDBREAK;
        break;
    case SS_RIGHT:
        format |= DT_RIGHT | DT_WORDBREAK;
        break;
    case SS_SIMPLE:
    case SS_LEFTNOWORDWRAP:
        format |= DT_LEFT | DT_SINGLELINE;
        break;
    default:
        format |= DT_LEFT | DT_WORDBREAK;
        break;
    }
    if (style & SS_NOPREFIX)
        format |= DT_NOPREFIX;
    if (style & SS_CENTERIMAGE)
        format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
    if (!IsWindowEnabled(hwnd))
        SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
    RECT rc = client;
    DrawText(hdc, text, len, &rc, format);
}

void Paint(HWND hwnd, HDC hdc)
{
    RECT client;
    GetClientRect(hwnd, &client);
    DWORD style = DWORD(GetWindowLong(hwnd, GWL_STYLE));
    StaticState& state = States()[hwnd];
    switch (TypeOf(style)) {
    case SS_BLACKRECT:
        FillWithColor(hdc, client, COLOR_WINDOWFRAME);
        return;
    case SS_GRAYRECT:
        FillWithColor(hdc, client, COLOR_BTNSHADOW);
        return;
    case SS_WHITERECT:
        FillWithColor(hdc, client, COLOR_BTNHIGHLIGHT);
        return;
    case SS_BLACKFRAME:
        FrameWithColor(hdc, client, COLOR_WINDOWFRAME);
        return;
    case SS_GRAYFRAME:
        FrameWithColor(hdc, client, COLOR_BTNSHADOW);
        return;
    case SS_WHITEFRAME:
        FrameWithColor(hdc, client, COLOR_BTNHIGHLIGHT);
        return;
    case SS_ETCHEDFRAME: {
        RECT rc = client;
        DrawEdge(hdc, &rc, EDGE_ETCHED, BF_RECT);
        return;
    }
    case SS_ETCHEDHORZ: {
        RECT rc = client;
        DrawEdge(hdc, &rc, EDGE_ETCHED, BF_TOP);
        return;
    }
    case SS_ETCHEDVERT: {
        RECT rc = client;
        DrawEdge(hdc, &rc, EDGE_ETCHED, BF_LEFT);
        return;
    }
    case SS_ICON:
        if (state.icon)
            DrawIcon(hdc, 0, 0, state.icon);
        return;
    case SS_OWNERDRAW: {
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_STATIC;
        dis.CtlID = UINT(GetDlgCtrlID(hwnd));
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = IsWindowEnabled(hwnd) ? 0 : ODS_DISABLED;
        dis.hwndItem = hwnd;
        dis.hDC = hdc;
        dis.rcItem = client;
        if (HWND parent = GetParent(hwnd))
            SendMessage(parent, WM_DRAWITEM, WPARAM(dis.CtlID), LPARAM(&dis));
        return;
    }
    case SS_USERITEM:
    case SS_BITMAP:
    case SS_ENHMETAFILE:
        return; // FIXME: bitmap and metafile statics are not drawn yet
    default: {
        HGDIOBJ oldFont = SelectObject(hdc, state.font ? HGDIOBJ(state.font) : GetStockObject(DEFAULT_GUI_FONT));
        PaintText(hwnd, hdc, client, style);
        SelectObject(hdc, oldFont);
        return;
    }
    }
}

} // namespace

LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_NCDESTROY:
        States().erase(hwnd);
        return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_NCHITTEST:
        if (GetWindowLong(hwnd, GWL_STYLE) & SS_NOTIFY)
            return HTCLIENT;
        return HTTRANSPARENT;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (GetWindowLong(hwnd, GWL_STYLE) & SS_NOTIFY) {
            if (HWND parent = GetParent(hwnd))
                SendMessage(parent, WM_COMMAND,
                    MAKEWPARAM(WORD(GetDlgCtrlID(hwnd)), msg == WM_LBUTTONDOWN ? STN_CLICKED : STN_DBLCLK),
                    LPARAM(hwnd));
        }
        return 0;
    case WM_ERASEBKGND:
        // Text statics fill their own background with the parent's brush;
        // frames leave what is under them.
        return 1;
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
        States()[hwnd].font = HFONT(wParam);
        if (LOWORD(lParam))
            InvalidateRect(hwnd, NULL, TRUE);
        return 0;
    case WM_GETFONT:
        return LRESULT(States()[hwnd].font);
    case WM_SETTEXT: {
        LRESULT r = DefWindowProc(hwnd, msg, wParam, lParam);
        InvalidateRect(hwnd, NULL, TRUE);
        return r;
    }
    case WM_ENABLE:
        InvalidateRect(hwnd, NULL, TRUE);
        return 0;
    case STM_SETICON: {
        StaticState& s = States()[hwnd];
        HICON old = s.icon;
        s.icon = HICON(wParam);
        InvalidateRect(hwnd, NULL, TRUE);
        return LRESULT(old);
    }
    case STM_GETICON:
        return LRESULT(States()[hwnd].icon);
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

} // namespace platform
