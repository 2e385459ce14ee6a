// The status bar: a strip of sunken panes along the parent's bottom edge.
// Pane i ends at parts[i] (client x; -1 runs to the right edge). In simple
// mode one pane spans the bar and shows its own text, the panes keep theirs.

#include "platform/gdi/Gdi.h"
#include "platform/ui/CommCtrl.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/CommCtrlShared.h"

#include <algorithm>
#include <string>
#include <vector>

namespace platform {
namespace {

constexpr int MaxParts = 256;
constexpr int BorderX = 0; // outer border around all panes
constexpr int BorderY = 2;
constexpr int Gap = 2; // between panes

struct Pane {
    std::string text;
    UINT flags = 0; // SBT_*
    LPARAM ownerData = 0; // SBT_OWNERDRAW
};

struct StatusState {
    std::vector<int> parts{-1};
    std::vector<Pane> panes{Pane{}};
    Pane simplePane;
    bool simple = false;
    HFONT font = NULL;
    int minHeight = 0;
};

int BarHeight(const StatusState& s)
{
    HDC dc = GetDC(NULL);
    HGDIOBJ old = SelectObject(dc, ControlFont(s.font));
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(NULL, dc);
    return std::max(s.minHeight, static_cast<int>(tm.tmHeight) + 2 * BorderY + 4);
}

// Keeps the bar along the parent's bottom, full width.
void FitToParent(HWND hwnd, const StatusState& s)
{
    DWORD style = static_cast<DWORD>(GetWindowLongPtr(hwnd, GWL_STYLE));
    HWND parent = GetParent(hwnd);
    if (!parent)
        return;
    RECT pr{};
    GetClientRect(parent, &pr);
    int h = BarHeight(s);
    if (style & CCS_NORESIZE)
        return;
    int y = (style & CCS_NOPARENTALIGN) ? -1 : pr.bottom - h;
    if (y < 0) {
        RECT wr{};
        GetWindowRect(hwnd, &wr);
        POINT p{wr.left, wr.top};
        ScreenToClient(parent, &p);
        y = p.y;
    }
    SetWindowPos(hwnd, NULL, 0, y, pr.right - pr.left, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT PaneRect(HWND hwnd, const StatusState& s, int index)
{
    RECT client{};
    GetClientRect(hwnd, &client);
    RECT r{client.left + BorderX, client.top + BorderY, 0, client.bottom};
    if (s.simple) {
        r.right = client.right - BorderX;
        return r;
    }
    for (int i = 0; i <= index; ++i) {
        if (i > 0)
            r.left = std::min<LONG>(s.parts[i - 1] + Gap, client.right);
        int edge = s.parts[i];
        r.right = (edge < 0 || edge > client.right) ? client.right - BorderX : edge;
        if (r.right < r.left)
            r.right = r.left;
    }
    return r;
}

void DrawPane(HWND hwnd, HDC dc, const StatusState& s, const Pane& pane, int index, RECT r)
{
    if (!(pane.flags & SBT_NOBORDERS))
        DrawEdge(dc, &r, (pane.flags & SBT_POPOUT) ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
    if (pane.flags & SBT_OWNERDRAW) {
        DRAWITEMSTRUCT di{};
        di.CtlID = static_cast<UINT>(GetDlgCtrlID(hwnd));
        di.itemID = static_cast<UINT>(index);
        di.hwndItem = hwnd;
        di.hDC = dc;
        di.rcItem = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
        di.itemData = static_cast<ULONG_PTR>(pane.ownerData);
        SendMessage(GetParent(hwnd), WM_DRAWITEM, di.CtlID, reinterpret_cast<LPARAM>(&di));
        return;
    }
    RECT text{r.left + 3, r.top + 1, r.right - 2, r.bottom - 1};
    // A tab in the text starts a centred part, a second one a right-aligned part.
    const UINT formats[3] = {DT_LEFT, DT_CENTER, DT_RIGHT};
    size_t start = 0;
    for (int part = 0; part < 3 && start <= pane.text.size(); ++part) {
        size_t tab = part < 2 ? pane.text.find('\t', start) : std::string::npos;
        std::string piece = pane.text.substr(start, tab == std::string::npos ? std::string::npos : tab - start);
        if (!piece.empty())
            DrawText(dc, piece.c_str(), static_cast<int>(piece.size()), &text,
                     formats[part] | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        if (tab == std::string::npos)
            break;
        start = tab + 1;
    }
    (void)s;
}

void Paint(HWND hwnd, StatusState& s)
{
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client{};
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ oldFont = SelectObject(dc, ControlFont(s.font));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    if (s.simple) {
        DrawPane(hwnd, dc, s, s.simplePane, SB_SIMPLEID, PaneRect(hwnd, s, 0));
    } else {
        for (size_t i = 0; i < s.panes.size(); ++i)
            DrawPane(hwnd, dc, s, s.panes[i], static_cast<int>(i), PaneRect(hwnd, s, static_cast<int>(i)));
    }
    SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
}

// The pane a text message addresses: SB_SIMPLEID is the simple pane.
Pane* AddressedPane(StatusState& s, int index)
{
    if (index == SB_SIMPLEID)
        return &s.simplePane;
    if (index < 0 || index >= static_cast<int>(s.panes.size()))
        return nullptr;
    return &s.panes[static_cast<size_t>(index)];
}

LRESULT TextAnswer(const Pane& pane)
{
    return MAKELRESULT(std::min<size_t>(pane.text.size(), 0xFFFF), pane.flags & 0xFF00);
}

LRESULT CALLBACK StatusProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    StatusState* s = AttachControlState<StatusState>(hwnd, msg);
    if (!s)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_CREATE:
        FitToParent(hwnd, *s);
        return 0;
    case WM_SIZE:
        // The parent forwards its own WM_SIZE: follow its bottom edge.
        FitToParent(hwnd, *s);
        InvalidateRect(hwnd, NULL, TRUE);
        return 0;
    case WM_PAINT:
        Paint(hwnd, *s);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETFONT:
        s->font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam))
            InvalidateRect(hwnd, NULL, TRUE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(s->font);
    case WM_SETTEXT: {
        s->panes[0].text = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
        InvalidateRect(hwnd, NULL, TRUE);
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    case SB_SETPARTS: {
        int count = static_cast<int>(wParam);
        if (count <= 0 || count > MaxParts || !lParam)
            return FALSE;
        const int* edges = reinterpret_cast<const int*>(lParam);
        s->parts.assign(edges, edges + count);
        s->panes.resize(static_cast<size_t>(count));
        InvalidateRect(hwnd, NULL, TRUE);
        return TRUE;
    }
    case SB_GETPARTS: {
        int count = static_cast<int>(s->parts.size());
        if (lParam) {
            int* out = reinterpret_cast<int*>(lParam);
            int n = std::min(count, static_cast<int>(wParam));
            for (int i = 0; i < n; ++i)
                out[i] = s->parts[static_cast<size_t>(i)];
        }
        return s->simple ? 1 : count;
    }
    case SB_SETTEXT: {
        Pane* pane = AddressedPane(*s, static_cast<int>(LOBYTE(wParam)));
        if (!pane)
            return FALSE;
        pane->flags = static_cast<UINT>(wParam & 0xFF00);
        if (pane->flags & SBT_OWNERDRAW) {
            pane->text.clear();
            pane->ownerData = lParam;
        } else {
            pane->text = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
        }
        if (!s->simple || pane == &s->simplePane)
            InvalidateRect(hwnd, NULL, TRUE);
        return TRUE;
    }
    case SB_GETTEXT: {
        Pane* pane = AddressedPane(*s, static_cast<int>(LOBYTE(wParam)));
        if (!pane)
            return 0;
        if (pane->flags & SBT_OWNERDRAW)
            return pane->ownerData;
        if (lParam) {
            char* out = reinterpret_cast<char*>(lParam);
            std::copy(pane->text.begin(), pane->text.end(), out);
            out[pane->text.size()] = '\0';
        }
        return TextAnswer(*pane);
    }
    case SB_GETTEXTLENGTH: {
        Pane* pane = AddressedPane(*s, static_cast<int>(LOBYTE(wParam)));
        return pane ? TextAnswer(*pane) : 0;
    }
    case SB_SIMPLE:
        if (s->simple != (wParam != 0)) {
            s->simple = wParam != 0;
            InvalidateRect(hwnd, NULL, TRUE);
        }
        return 0;
    case SB_ISSIMPLE:
        return s->simple;
    case SB_GETRECT: {
        int index = static_cast<int>(wParam);
        if (!lParam || (!s->simple && (index < 0 || index >= static_cast<int>(s->parts.size()))))
            return FALSE;
        *reinterpret_cast<RECT*>(lParam) = PaneRect(hwnd, *s, index);
        return TRUE;
    }
    case SB_GETBORDERS: {
        if (!lParam)
            return FALSE;
        int* out = reinterpret_cast<int*>(lParam);
        out[0] = BorderX;
        out[1] = BorderY;
        out[2] = Gap;
        return TRUE;
    }
    case SB_SETMINHEIGHT:
        s->minHeight = static_cast<int>(wParam);
        return 0;
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

} // namespace

void RegisterStatusBarClass()
{
    RegisterControlClass(STATUSCLASSNAME, StatusProc, 0, COLOR_BTNFACE);
}

} // namespace platform
