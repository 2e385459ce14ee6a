// The tab control: one row of classic tabs along the top of a raised panel,
// the selected tab standing a little taller and joined to the panel. The
// mouse and the keyboard change the selection with TCN_SELCHANGING (which
// the parent may refuse by answering TRUE) and then TCN_SELCHANGE;
// TCM_SETCURSEL changes it silently.

#include "platform/gdi/Gdi.h"
#include "platform/ui/CommCtrl.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/CommCtrlShared.h"
#include "platform/ui/internal/CtlMore.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace platform {
namespace {

constexpr int kMaxItems = 4096;
constexpr int kPadX = 6; // text from a tab's sides
constexpr int kPadY = 3; // text from a tab's top and bottom
constexpr int kLift = 2; // how far the selected tab grows out of the row
constexpr int kPanelMargin = 4; // display area from the panel's edge
constexpr int kMaxSiblings = 4096; // bounds the walk over the windows laid on the panel

struct TabItem {
    std::string text;
    int image = -1;
    LPARAM param = 0;
};

struct TabState {
    std::vector<TabItem> items;
    int cur = -1;
    HFONT font = NULL;
    HIMAGELIST images = NULL;
    bool focused = false;
};

SIZE ImageSize(const TabState& s)
{
    int cx = 0;
    int cy = 0;
    if (!s.images || !ImageList_GetIconSize(s.images, &cx, &cy))
        return SIZE{0, 0};
    return SIZE{cx, cy};
}

int RowHeight(HWND hwnd, const TabState& s)
{
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, ControlFont(s.font));
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return std::max<int>(tm.tmHeight, ImageSize(s).cy) + 2 * kPadY + kLift;
}

// The tabs in client coordinates, before the selected one is lifted.
std::vector<RECT> Layout(HWND hwnd, const TabState& s)
{
    std::vector<RECT> rects;
    rects.reserve(s.items.size());
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, ControlFont(s.font));
    SIZE image = ImageSize(s);
    int height = RowHeight(hwnd, s);
    int x = kLift;
    for (const TabItem& item : s.items) {
        SIZE extent{0, 0};
        GetTextExtentPoint32(dc, item.text.c_str(), int(item.text.size()), &extent);
        int width = extent.cx + 2 * kPadX;
        if (item.image >= 0 && image.cx > 0)
            width += image.cx + kPadX / 2;
        rects.push_back(RECT{x, kLift, x + width, height});
        x += width;
    }
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return rects;
}

int HitTest(HWND hwnd, const TabState& s, POINT p)
{
    std::vector<RECT> rects = Layout(hwnd, s);
    for (size_t i = 0; i < rects.size(); ++i) {
        RECT r = rects[i];
        if (int(i) == s.cur)
            InflateRect(&r, kLift, 0), r.top -= kLift;
        if (PtInRect(&r, p))
            return int(i);
    }
    return -1;
}

// The row of tabs and the panel's top edge that the selected tab joins:
// all that a change of selection or focus redraws. The display area is left
// alone, because a page shown there would be covered and not repainted.
void InvalidateTabs(HWND hwnd, const TabState& s)
{
    RECT client{};
    GetClientRect(hwnd, &client);
    RECT row{client.left, client.top, client.right, std::min<LONG>(client.bottom, RowHeight(hwnd, s) + kLift)};
    InvalidateRect(hwnd, &row, TRUE);
}

// Siblings laid over the display area (a property sheet's page, or
// controls a dialog places on the panel) follow the control in Z order yet
// are meant to be seen on top of it: the panel leaves their rectangles to
// them, so a repaint of the control never wipes them out.
void LeaveSiblingsOnTop(HWND hwnd, HDC dc, const RECT& client)
{
    int guard = 0;
    for (HWND sibling = GetWindow(hwnd, GW_HWNDNEXT); sibling && guard < kMaxSiblings;
         sibling = GetWindow(sibling, GW_HWNDNEXT), ++guard) {
        if (!(GetWindowLongPtr(sibling, GWL_STYLE) & WS_VISIBLE))
            continue;
        RECT r{};
        GetWindowRect(sibling, &r);
        MapWindowPoints(NULL, hwnd, reinterpret_cast<POINT*>(&r), 2);
        RECT overlap{};
        if (IntersectRect(&overlap, &r, &client))
            ExcludeClipRect(dc, overlap.left, overlap.top, overlap.right, overlap.bottom);
    }
}

// Asks the parent, then moves the selection and tells it. False when the
// parent refused or the control died on the way.
bool SelectByUser(HWND hwnd, TabState& s, int index)
{
    if (index < 0 || index >= int(s.items.size()) || index == s.cur)
        return false;
    NMHDR header{};
    if (SendControlNotify(hwnd, header, TCN_SELCHANGING) != 0 || !StillAttached(hwnd, s))
        return false;
    s.cur = index;
    InvalidateTabs(hwnd, s);
    SendControlNotify(hwnd, header, TCN_SELCHANGE);
    return true;
}

void Paint(HWND hwnd, TabState& s)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client{};
    GetClientRect(hwnd, &client);
    LeaveSiblingsOnTop(hwnd, dc, client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    int row = RowHeight(hwnd, s);
    RECT panel{client.left, row, client.right, client.bottom};
    DrawEdge(dc, &panel, EDGE_RAISED, BF_RECT | BF_SOFT);
    HGDIOBJ oldFont = SelectObject(dc, ControlFont(s.font));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(IsWindowEnabled(hwnd) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    SIZE image = ImageSize(s);
    std::vector<RECT> rects = Layout(hwnd, s);
    for (size_t i = 0; i < rects.size(); ++i) {
        RECT r = rects[i];
        bool selected = int(i) == s.cur;
        if (selected) {
            InflateRect(&r, kLift, 0);
            r.top -= kLift;
            r.bottom += 1; // covers the panel's top line below it
        }
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
        DrawEdge(dc, &r, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT | BF_SOFT);
        RECT text = r;
        text.left += kPadX;
        text.top += kPadY;
        const TabItem& item = s.items[i];
        if (item.image >= 0 && image.cx > 0) {
            ImageList_Draw(s.images, item.image, dc, text.left, text.top, ILD_TRANSPARENT);
            text.left += image.cx + kPadX / 2;
        }
        DrawText(dc, item.text.c_str(), int(item.text.size()), &text, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
        if (selected && s.focused) {
            RECT focus = r;
            InflateRect(&focus, -3, -3);
            DrawFocusRect(dc, &focus);
        }
    }
    SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
}

LRESULT InsertItem(HWND hwnd, TabState& s, int index, const TCITEM* tci)
{
    if (!tci || index < 0 || int(s.items.size()) >= kMaxItems)
        return -1;
    TabItem item;
    if ((tci->mask & TCIF_TEXT) && tci->pszText)
        item.text.assign(tci->pszText, strnlen(tci->pszText, 1024));
    if (tci->mask & TCIF_IMAGE)
        item.image = tci->iImage;
    if (tci->mask & TCIF_PARAM)
        item.param = tci->lParam;
    index = std::min<int>(index, int(s.items.size()));
    s.items.insert(s.items.begin() + index, std::move(item));
    if (s.cur < 0)
        s.cur = 0;
    else if (index <= s.cur)
        ++s.cur;
    InvalidateRect(hwnd, NULL, TRUE);
    return index;
}

LRESULT DeleteItem(HWND hwnd, TabState& s, int index)
{
    if (index < 0 || index >= int(s.items.size()))
        return FALSE;
    s.items.erase(s.items.begin() + index);
    if (index == s.cur)
        s.cur = -1;
    else if (index < s.cur)
        --s.cur;
    InvalidateRect(hwnd, NULL, TRUE);
    return TRUE;
}

LRESULT GetItem(const TabState& s, int index, TCITEM* tci)
{
    if (!tci || index < 0 || index >= int(s.items.size()))
        return FALSE;
    const TabItem& item = s.items[size_t(index)];
    if ((tci->mask & TCIF_TEXT) && tci->pszText && tci->cchTextMax > 0) {
        size_t n = std::min(item.text.size(), size_t(tci->cchTextMax) - 1);
        std::memcpy(tci->pszText, item.text.data(), n);
        tci->pszText[n] = 0;
    }
    if (tci->mask & TCIF_IMAGE)
        tci->iImage = item.image;
    if (tci->mask & TCIF_PARAM)
        tci->lParam = item.param;
    return TRUE;
}

LRESULT SetItem(HWND hwnd, TabState& s, int index, const TCITEM* tci)
{
    if (!tci || index < 0 || index >= int(s.items.size()))
        return FALSE;
    TabItem& item = s.items[size_t(index)];
    if (tci->mask & TCIF_TEXT)
        item.text = tci->pszText ? std::string(tci->pszText, strnlen(tci->pszText, 1024)) : std::string();
    if (tci->mask & TCIF_IMAGE)
        item.image = tci->iImage;
    if (tci->mask & TCIF_PARAM)
        item.param = tci->lParam;
    InvalidateRect(hwnd, NULL, TRUE);
    return TRUE;
}

// Between a window rectangle and the display area inside the panel.
void AdjustRect(HWND hwnd, const TabState& s, bool larger, RECT* r)
{
    if (!r)
        return;
    int top = RowHeight(hwnd, s) + kPanelMargin;
    if (larger) {
        r->left -= kPanelMargin;
        r->top -= top;
        r->right += kPanelMargin;
        r->bottom += kPanelMargin;
    } else {
        r->left += kPanelMargin;
        r->top += top;
        r->right -= kPanelMargin;
        r->bottom -= kPanelMargin;
    }
}

LRESULT CALLBACK TabControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TabState* s = AttachControlState<TabState>(hwnd, msg);
    if (!s)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    switch (msg) {
    case TCM_GETITEMCOUNT:
        return LRESULT(s->items.size());
    case TCM_INSERTITEM:
        return InsertItem(hwnd, *s, int(wParam), reinterpret_cast<const TCITEM*>(lParam));
    case TCM_DELETEITEM:
        return DeleteItem(hwnd, *s, int(wParam));
    case TCM_DELETEALLITEMS:
        s->items.clear();
        s->cur = -1;
        InvalidateRect(hwnd, NULL, TRUE);
        return TRUE;
    case TCM_GETITEM:
        return GetItem(*s, int(wParam), reinterpret_cast<TCITEM*>(lParam));
    case TCM_SETITEM:
        return SetItem(hwnd, *s, int(wParam), reinterpret_cast<const TCITEM*>(lParam));
    case TCM_GETCURSEL:
        return s->cur;
    case TCM_SETCURSEL: {
        int old = s->cur;
        int index = int(wParam);
        if (index < 0 || index >= int(s->items.size()))
            return -1;
        s->cur = index;
        InvalidateTabs(hwnd, *s);
        return old;
    }
    case TCM_GETITEMRECT: {
        std::vector<RECT> rects = Layout(hwnd, *s);
        int index = int(wParam);
        auto* r = reinterpret_cast<RECT*>(lParam);
        if (!r || index < 0 || index >= int(rects.size()))
            return FALSE;
        *r = rects[size_t(index)];
        return TRUE;
    }
    case TCM_ADJUSTRECT:
        AdjustRect(hwnd, *s, wParam != 0, reinterpret_cast<RECT*>(lParam));
        return 0;
    case TCM_SETIMAGELIST: {
        HIMAGELIST old = s->images;
        s->images = reinterpret_cast<HIMAGELIST>(lParam);
        InvalidateRect(hwnd, NULL, TRUE);
        return reinterpret_cast<LRESULT>(old);
    }
    case TCM_GETIMAGELIST:
        return reinterpret_cast<LRESULT>(s->images);
    case WM_SETFONT:
        s->font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam))
            InvalidateRect(hwnd, NULL, TRUE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(s->font);
    case WM_NCHITTEST: {
        // Only the tabs are the control's own: a page shown in the display
        // area (a sibling after the control, as a property sheet places it)
        // gets the clicks there.
        POINT p{short(LOWORD(lParam)), short(HIWORD(lParam))};
        ScreenToClient(hwnd, &p);
        if (HitTest(hwnd, *s, p) < 0)
            return HTTRANSPARENT;
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    case WM_LBUTTONDOWN: {
        int hit = HitTest(hwnd, *s, POINT{short(LOWORD(lParam)), short(HIWORD(lParam))});
        if (hit >= 0 && !(GetWindowLongPtr(hwnd, GWL_STYLE) & TCS_FOCUSNEVER))
            SetFocus(hwnd);
        if (StillAttached(hwnd, *s))
            SelectByUser(hwnd, *s, hit);
        return 0;
    }
    case WM_KEYDOWN: {
        int count = int(s->items.size());
        if (count == 0)
            break;
        if (wParam == VK_LEFT || wParam == VK_RIGHT) {
            int next = s->cur + (wParam == VK_LEFT ? -1 : 1);
            SelectByUser(hwnd, *s, std::clamp(next, 0, count - 1));
            return 0;
        }
        if (wParam == VK_TAB && (GetKeyState(VK_CONTROL) & 0x8000)) {
            // Ctrl+Tab walks on round the tabs; with Shift, back.
            int step = (GetKeyState(VK_SHIFT) & 0x8000) ? count - 1 : 1;
            SelectByUser(hwnd, *s, (std::max(s->cur, 0) + step) % count);
            return 0;
        }
        break;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        s->focused = msg == WM_SETFOCUS;
        InvalidateTabs(hwnd, *s);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint(hwnd, *s);
        return 0;
    default:
        break;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

} // namespace

void RegisterTabControlClass()
{
    RegisterControlClass(WC_TABCONTROL, TabControlProc, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, COLOR_BTNFACE);
}

} // namespace platform

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce)
{
    if (!picce || picce->dwSize != sizeof(INITCOMMONCONTROLSEX))
        return FALSE;
    InitCommonControls();
    platform::RegisterTabControlClass();
    platform::RegisterProgressClass();
    return TRUE;
}
