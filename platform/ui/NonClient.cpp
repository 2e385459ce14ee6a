// The non-client area in a plain classic style.

#include "platform/base/Geometry.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiDefs.h"
#include "platform/ui/internal/MenuBar.h"
#include "platform/ui/internal/NonClient.h"
#include "platform/ui/internal/SizeMove.h"
#include "platform/ui/internal/Window.h"

#include <algorithm>

namespace platform {

namespace {

bool HasCaption(DWORD style)
{
    return (style & WS_CAPTION) == WS_CAPTION;
}

int CaptionHeight(const Window& w)
{
    if (!HasCaption(w.style))
        return 0;
    return GetSystemMetrics((w.exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
}

int EdgeSize(DWORD exStyle)
{
    if (exStyle & WS_EX_CLIENTEDGE)
        return GetSystemMetrics(SM_CXEDGE);
    if (exStyle & WS_EX_STATICEDGE)
        return GetSystemMetrics(SM_CXBORDER);
    return 0;
}

// The parts of a window, in the coordinates of the window rectangle given.
struct Layout {
    RECT frameInner; // inside the frame
    RECT caption;
    RECT menuBar;
    RECT edgeOuter; // around the client edge
    RECT vscroll;
    RECT hscroll;
    RECT sizeBox; // where the two bars meet
    RECT client;
};

// A minimised window with a caption is a title bar only: a thin frame
// around a caption that takes all the height there is.
bool IsTitleBarOnly(const Window& w)
{
    return (w.style & WS_MINIMIZE) && HasCaption(w.style);
}

SIZE LayoutFrameSize(const Window& w)
{
    if (IsTitleBarOnly(w)) {
        int f = GetSystemMetrics(SM_CXDLGFRAME);
        return SIZE{f, f};
    }
    return FrameSize(w.style, w.exStyle);
}

Layout Measure(const Window& w, const RECT& windowRect)
{
    Layout l{};
    SIZE frame = LayoutFrameSize(w);
    RECT r = windowRect;
    InflateRect(&r, -frame.cx, -frame.cy);
    l.frameInner = r;
    int caption = CaptionHeight(w);
    if (IsTitleBarOnly(w))
        caption = std::max<int>(0, r.bottom - r.top);
    l.caption = RECT{r.left, r.top, r.right, r.top + caption};
    r.top += caption;
    int menu = 0;
    if (!(w.style & WS_CHILD) && w.menu && !IsTitleBarOnly(w))
        menu = MenuBarHeight(w.menu, std::max<LONG>(0, r.right - r.left));
    l.menuBar = RECT{r.left, r.top, r.right, r.top + menu};
    r.top += menu;
    l.edgeOuter = r;
    int edge = EdgeSize(w.exStyle);
    InflateRect(&r, -edge, -edge);
    int vs = (w.style & WS_VSCROLL) ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    int hs = (w.style & WS_HSCROLL) ? GetSystemMetrics(SM_CYHSCROLL) : 0;
    l.vscroll = vs ? RECT{r.right - vs, r.top, r.right, r.bottom - hs} : RECT{0, 0, 0, 0};
    l.hscroll = hs ? RECT{r.left, r.bottom - hs, r.right - vs, r.bottom} : RECT{0, 0, 0, 0};
    l.sizeBox = (vs && hs) ? RECT{r.right - vs, r.bottom - hs, r.right, r.bottom} : RECT{0, 0, 0, 0};
    r.right -= vs;
    r.bottom -= hs;
    if (r.right < r.left)
        r.right = r.left;
    if (r.bottom < r.top)
        r.bottom = r.top;
    l.client = r;
    return l;
}

bool Inside(const RECT& r, POINT p)
{
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

// The pieces of a caption (`caption` as Measure gives it): the system menu
// icon at the left, the minimise and maximise boxes side by side and the
// close box apart at the right. A box a window does not have is empty.
struct CaptionParts {
    RECT icon;
    RECT minBox;
    RECT maxBox;
    RECT close;
    RECT text;
};

bool HasSizeBoxes(DWORD style, DWORD exStyle)
{
    return (style & WS_SYSMENU) && (style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) && !(exStyle & WS_EX_TOOLWINDOW);
}

bool HasIcon(DWORD style, DWORD exStyle)
{
    return (style & WS_SYSMENU) && !(exStyle & (WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME));
}

CaptionParts MeasureCaption(DWORD style, DWORD exStyle, const RECT& caption)
{
    CaptionParts p{};
    RECT bar = caption;
    bar.bottom -= 1; // a line of the face colour under the caption
    int button = bar.bottom - bar.top - 4;
    p.text = bar;
    p.text.left += 4;
    if (button <= 0 || !(style & WS_SYSMENU))
        return p;
    p.close = RECT{bar.right - button - 2, bar.top + 2, bar.right - 2, bar.bottom - 2};
    p.text.right = p.close.left - 2;
    if (HasSizeBoxes(style, exStyle)) {
        // Both boxes show when either is asked for; the other is greyed.
        p.maxBox = RECT{p.close.left - 2 - button, p.close.top, p.close.left - 2, p.close.bottom};
        p.minBox = RECT{p.maxBox.left - button, p.close.top, p.maxBox.left, p.close.bottom};
        p.text.right = p.minBox.left - 2;
    }
    if (HasIcon(style, exStyle)) {
        int side = std::min<int>(GetSystemMetrics(SM_CXSMICON), bar.bottom - bar.top - 2);
        int top = bar.top + (bar.bottom - bar.top - side) / 2;
        p.icon = RECT{bar.left + 2, top, bar.left + 2 + side, top + side};
        p.text.left = p.icon.right + 3;
    }
    if (p.text.right < p.text.left)
        p.text.right = p.text.left;
    return p;
}

// The glyph of a minimise or maximise box: what a click on it does in the
// window's state now.
enum class BoxGlyph {
    Minimize,
    Maximize,
    Restore,
};

BoxGlyph GlyphOf(DWORD style, int hit)
{
    if (hit == HTMINBUTTON)
        return (style & WS_MINIMIZE) ? BoxGlyph::Restore : BoxGlyph::Minimize;
    return (style & WS_MAXIMIZE) ? BoxGlyph::Restore : BoxGlyph::Maximize;
}

void Fill(HDC hdc, const RECT& r, int color)
{
    if (r.right > r.left && r.bottom > r.top)
        FillRect(hdc, &r, GetSysColorBrush(color));
}

void Line(HDC hdc, int x1, int y1, int x2, int y2, COLORREF color)
{
    HPEN pen = CreatePen(0, 1, color);
    HGDIOBJ old = SelectObject(hdc, pen);
    MoveToEx(hdc, x1, y1, nullptr);
    LineTo(hdc, x2, y2);
    SelectObject(hdc, old);
    DeleteObject(pen);
}

// A button face with a small arrow pointing `direction` (0 up, 1 down, 2
// left, 3 right); a held button is sunk and its arrow moves with it.
void ArrowButton(HDC hdc, RECT r, int direction, bool disabled, bool pushed)
{
    Fill(hdc, r, COLOR_BTNFACE);
    DrawEdge(hdc, &r, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    int cx = (r.left + r.right) / 2 + (pushed ? 1 : 0);
    int cy = (r.top + r.bottom) / 2 + (pushed ? 1 : 0);
    int size = std::max<int>(2, std::min<int>(r.right - r.left, r.bottom - r.top) / 4);
    POINT p[3];
    switch (direction) {
    case 0:
        p[0] = {cx - size, cy + size / 2};
        p[1] = {cx + size + 1, cy + size / 2};
        p[2] = {cx, cy - size / 2 - 1};
        break;
    case 1:
        p[0] = {cx - size, cy - size / 2};
        p[1] = {cx + size + 1, cy - size / 2};
        p[2] = {cx, cy + size / 2 + 1};
        break;
    case 2:
        p[0] = {cx + size / 2, cy - size};
        p[1] = {cx + size / 2, cy + size + 1};
        p[2] = {cx - size / 2 - 1, cy};
        break;
    default:
        p[0] = {cx - size / 2, cy - size};
        p[1] = {cx - size / 2, cy + size + 1};
        p[2] = {cx + size / 2 + 1, cy};
        break;
    }
    int color = disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT;
    HGDIOBJ oldBrush = SelectObject(hdc, GetSysColorBrush(color));
    HPEN pen = CreatePen(0, 1, GetSysColor(color));
    HGDIOBJ oldPen = SelectObject(hdc, pen);
    Polygon(hdc, p, 3);
    SelectObject(hdc, oldPen);
    SelectObject(hdc, oldBrush);
    DeleteObject(pen);
}

// A minimise, maximise or restore box: a button face with its glyph, sunk
// while held, the glyph grey when the window lacks that box.
void SizeBox(HDC hdc, RECT r, BoxGlyph glyph, bool disabled, bool pushed)
{
    Fill(hdc, r, COLOR_BTNFACE);
    DrawEdge(hdc, &r, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    int w = r.right - r.left;
    int h = r.bottom - r.top;
    int shift = pushed ? 1 : 0;
    // The glyph sits in an 8 x 7 cell in the middle of the box.
    int gx = r.left + (w - 8) / 2 + shift;
    int gy = r.top + (h - 7) / 2 + shift;
    HBRUSH ink = GetSysColorBrush(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
    auto bar = [&](int x, int y, int cx, int cy) {
        RECT d{gx + x, gy + y, gx + x + cx, gy + y + cy};
        FillRect(hdc, &d, ink);
    };
    switch (glyph) {
    case BoxGlyph::Minimize:
        bar(1, 5, 6, 2);
        break;
    case BoxGlyph::Maximize:
        bar(0, 0, 8, 2);
        bar(0, 0, 1, 7);
        bar(7, 0, 1, 7);
        bar(0, 6, 8, 1);
        break;
    case BoxGlyph::Restore:
        // Two overlapping windows.
        bar(2, 0, 6, 2);
        bar(7, 0, 1, 5);
        bar(0, 2, 6, 2);
        bar(0, 2, 1, 5);
        bar(5, 2, 1, 5);
        bar(0, 6, 6, 1);
        break;
    }
}

// The system menu's icon: the window's small icon, or a plain page for a
// window without one.
void CaptionIcon(HDC hdc, const RECT& r, HICON icon)
{
    if (icon && DrawIconEx(hdc, r.left, r.top, icon, r.right - r.left, r.bottom - r.top, 0, NULL, DI_NORMAL))
        return;
    RECT page{r.left + 2, r.top + 1, r.right - 3, r.bottom - 1};
    FillRect(hdc, &page, GetSysColorBrush(COLOR_WINDOW));
    FrameRect(hdc, &page, GetSysColorBrush(COLOR_WINDOWTEXT));
}

HICON IconOfWindow(const Window& w)
{
    if (w.smallIcon)
        return w.smallIcon;
    if (w.bigIcon)
        return w.bigIcon;
    if (w.windowClass && w.windowClass->smallIcon)
        return w.windowClass->smallIcon;
    return w.windowClass ? w.windowClass->icon : NULL;
}

void PaintScrollBar(HDC hdc, const RECT& r, const ScrollBarState& s, bool vertical, bool enabled,
    const ScrollBarPress& press)
{
    if (r.right <= r.left || r.bottom <= r.top)
        return;
    ScrollBarParts parts = MeasureScrollBar(r, s, vertical);
    bool active = enabled && ScrollBarCanScroll(s);
    ArrowButton(hdc, parts.first, vertical ? 0 : 2, !active || (s.disabledArrows & ESB_DISABLE_LTUP),
        press.part == ScrollPart::LineUp && press.armed);
    ArrowButton(hdc, parts.last, vertical ? 1 : 3, !active || (s.disabledArrows & ESB_DISABLE_RTDN),
        press.part == ScrollPart::LineDown && press.armed);
    Fill(hdc, parts.track, COLOR_SCROLLBAR);
    RECT thumb = parts.thumb;
    if (!active || IsRectEmpty(&thumb))
        return;
    if (press.part == ScrollPart::Thumb) {
        // The dragged thumb follows the pointer, not the position.
        int trackLength = vertical ? parts.track.bottom - parts.track.top : parts.track.right - parts.track.left;
        int thumbLength = vertical ? thumb.bottom - thumb.top : thumb.right - thumb.left;
        int offset = std::clamp(press.thumbOffset, 0, trackLength - thumbLength);
        if (vertical)
            OffsetRect(&thumb, 0, parts.track.top + offset - thumb.top);
        else
            OffsetRect(&thumb, parts.track.left + offset - thumb.left, 0);
    }
    Fill(hdc, thumb, COLOR_BTNFACE);
    DrawEdge(hdc, &thumb, EDGE_RAISED, BF_RECT);
}

} // namespace

bool ScrollBarCanScroll(const ScrollBarState& s)
{
    return s.max > s.min && (s.page == 0 || int(s.page) <= s.max - s.min);
}

ScrollBarParts MeasureScrollBar(const RECT& r, const ScrollBarState& s, bool vertical)
{
    ScrollBarParts p{};
    int length = vertical ? r.bottom - r.top : r.right - r.left;
    if (length <= 0)
        return p;
    // A bar too short for two whole arrows shares its length between them.
    int arrow = std::min<int>(GetSystemMetrics(vertical ? SM_CYVSCROLL : SM_CXHSCROLL), length / 2);
    p.first = vertical ? RECT{r.left, r.top, r.right, r.top + arrow} : RECT{r.left, r.top, r.left + arrow, r.bottom};
    p.last = vertical ? RECT{r.left, r.bottom - arrow, r.right, r.bottom} : RECT{r.right - arrow, r.top, r.right, r.bottom};
    p.track = vertical ? RECT{r.left, p.first.bottom, r.right, p.last.top} : RECT{p.first.right, r.top, p.last.left, r.bottom};
    if (ScrollBarCanScroll(s))
        p.thumb = ScrollThumbRect(p.track, s, vertical);
    return p;
}

RECT ScrollThumbRect(const RECT& track, const ScrollBarState& s, bool vertical)
{
    int trackLength = vertical ? track.bottom - track.top : track.right - track.left;
    int64_t range = int64_t(s.max) - s.min + 1;
    int minThumb = 8;
    if (range <= 0 || trackLength < minThumb)
        return RECT{0, 0, 0, 0};
    int thumb = s.page ? int(std::max<int64_t>(minThumb, int64_t(trackLength) * s.page / range))
                       : std::min<int>(trackLength, GetSystemMetrics(vertical ? SM_CYVTHUMB : SM_CXHTHUMB));
    thumb = std::min(thumb, trackLength);
    // Rounded to the nearest pixel, so that a thumb dragged to a pixel and
    // dropped there stays where it was let go.
    int64_t positions = range - std::max<int>(int(s.page), 1);
    int64_t room = trackLength - thumb;
    int offset = positions > 0 ? int((room * 2 * (int64_t(s.pos) - s.min) + positions) / (2 * positions)) : 0;
    offset = std::clamp(offset, 0, trackLength - thumb);
    if (vertical)
        return RECT{track.left, track.top + offset, track.right, track.top + offset + thumb};
    return RECT{track.left + offset, track.top, track.left + offset + thumb, track.bottom};
}

SIZE FrameSize(DWORD style, DWORD exStyle)
{
    int f = 0;
    if (style & WS_THICKFRAME)
        f = GetSystemMetrics(SM_CXFRAME);
    else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
        f = GetSystemMetrics(SM_CXDLGFRAME);
    else if (style & WS_BORDER)
        f = GetSystemMetrics(SM_CXBORDER);
    return SIZE{f, f};
}

RECT ClientFromWindowRect(const Window& w, const RECT& windowRect)
{
    return Measure(w, windowRect).client;
}

RECT ScrollBarRect(const Window& w, int bar)
{
    Layout l = Measure(w, w.windowRect);
    RECT r = bar == SB_VERT ? l.vscroll : l.hscroll;
    if (r.right > r.left)
        OffsetRect(&r, -w.windowRect.left, -w.windowRect.top);
    return r;
}

int NonClientHitTest(const Window& w, POINT p)
{
    if (!Inside(w.windowRect, p))
        return HTNOWHERE;
    Layout l = Measure(w, w.windowRect);
    if (Inside(l.client, p))
        return HTCLIENT;
    if (!Inside(l.frameInner, p)) {
        // The thin frame of a window shown as a title bar drags it as its
        // caption does.
        if (IsTitleBarOnly(w))
            return HTCAPTION;
        if (!(w.style & WS_THICKFRAME) || (w.style & WS_MAXIMIZE))
            return HTBORDER;
        int corner = GetSystemMetrics(SM_CYCAPTION);
        bool left = p.x < l.frameInner.left + corner - 1 && p.x < l.frameInner.left;
        bool right = p.x >= l.frameInner.right;
        bool top = p.y < l.frameInner.top;
        bool bottom = p.y >= l.frameInner.bottom;
        bool nearLeft = p.x < w.windowRect.left + corner;
        bool nearRight = p.x >= w.windowRect.right - corner;
        bool nearTop = p.y < w.windowRect.top + corner;
        bool nearBottom = p.y >= w.windowRect.bottom - corner;
        if ((top && nearLeft) || (left && nearTop))
            return HTTOPLEFT;
        if ((top && nearRight) || (right && nearTop))
            return HTTOPRIGHT;
        if ((bottom && nearLeft) || (left && nearBottom))
            return HTBOTTOMLEFT;
        if ((bottom && nearRight) || (right && nearBottom))
            return HTBOTTOMRIGHT;
        if (top)
            return HTTOP;
        if (bottom)
            return HTBOTTOM;
        return left ? HTLEFT : HTRIGHT;
    }
    if (Inside(l.caption, p)) {
        if (!(w.style & WS_SYSMENU))
            return HTCAPTION;
        CaptionParts parts = MeasureCaption(w.style, w.exStyle, l.caption);
        // The close box answers up to the caption's right end, so that a
        // click at the very corner still closes.
        if (!IsRectEmpty(&parts.close) && p.x >= parts.close.left)
            return HTCLOSE;
        if (Inside(parts.maxBox, p))
            return (w.style & WS_MAXIMIZEBOX) ? HTMAXBUTTON : HTCAPTION;
        if (Inside(parts.minBox, p))
            return (w.style & WS_MINIMIZEBOX) ? HTMINBUTTON : HTCAPTION;
        if (!IsRectEmpty(&parts.icon) && p.x < parts.icon.right + 2)
            return HTSYSMENU;
        return HTCAPTION;
    }
    if (Inside(l.menuBar, p))
        return HTMENU;
    if (Inside(l.vscroll, p))
        return HTVSCROLL;
    if (Inside(l.hscroll, p))
        return HTHSCROLL;
    if (Inside(l.sizeBox, p))
        return (w.style & WS_THICKFRAME) ? HTBOTTOMRIGHT : HTNOWHERE;
    return HTBORDER;
}

RECT CaptionBoxRect(const Window& w, int hit)
{
    Layout l = Measure(w, w.windowRect);
    if (l.caption.bottom <= l.caption.top)
        return RECT{0, 0, 0, 0};
    CaptionParts parts = MeasureCaption(w.style, w.exStyle, l.caption);
    switch (hit) {
    case HTMINBUTTON:
        return parts.minBox;
    case HTMAXBUTTON:
        return parts.maxBox;
    case HTCLOSE:
        return parts.close;
    case HTSYSMENU:
        return parts.icon;
    default:
        return RECT{0, 0, 0, 0};
    }
}

void PaintNonClient(HWND hwnd)
{
    Window* w = PeekWindowRecord(hwnd);
    if (!w)
        return;
    RECT whole{0, 0, w->windowRect.right - w->windowRect.left, w->windowRect.bottom - w->windowRect.top};
    Layout l = Measure(*w, whole);
    ScrollBarState hs = w->hscroll;
    ScrollBarState vs = w->vscroll;
    ScrollBarPress hpress = ScrollBarPressOf(hwnd, SB_HORZ);
    ScrollBarPress vpress = ScrollBarPressOf(hwnd, SB_VERT);
    bool enabled = !(w->style & WS_DISABLED);
    bool active = w->captionActive;
    DWORD style = w->style;
    DWORD exStyle = w->exStyle;
    std::string title = w->text;
    HMENU menu = (style & WS_CHILD) ? NULL : w->menu;
    HICON icon = IconOfWindow(*w);
    SIZE frame = LayoutFrameSize(*w);

    HDC hdc = GetWindowDC(hwnd);
    if (!hdc)
        return;
    // The frame: thick and dialog frames are raised edges over the face
    // colour; a plain border is one line.
    if (frame.cx > 1) {
        RECT r = whole;
        Fill(hdc, RECT{r.left, r.top, r.right, r.top + frame.cy}, COLOR_BTNFACE);
        Fill(hdc, RECT{r.left, r.bottom - frame.cy, r.right, r.bottom}, COLOR_BTNFACE);
        Fill(hdc, RECT{r.left, r.top, r.left + frame.cx, r.bottom}, COLOR_BTNFACE);
        Fill(hdc, RECT{r.right - frame.cx, r.top, r.right, r.bottom}, COLOR_BTNFACE);
        DrawEdge(hdc, &r, EDGE_RAISED, BF_RECT);
    } else if (frame.cx == 1) {
        RECT r = whole;
        Fill(hdc, RECT{r.left, r.top, r.right, r.top + 1}, COLOR_WINDOWFRAME);
        Fill(hdc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, COLOR_WINDOWFRAME);
        Fill(hdc, RECT{r.left, r.top, r.left + 1, r.bottom}, COLOR_WINDOWFRAME);
        Fill(hdc, RECT{r.right - 1, r.top, r.right, r.bottom}, COLOR_WINDOWFRAME);
    }
    if (l.caption.bottom > l.caption.top) {
        RECT bar = l.caption;
        bar.bottom -= 1; // a line of the face colour under the caption
        Fill(hdc, l.caption, COLOR_BTNFACE);
        Fill(hdc, bar, active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
        CaptionParts parts = MeasureCaption(style, exStyle, l.caption);
        CaptionPress press = CaptionPressOf(hwnd);
        auto pushed = [&](int hit) { return press.hit == hit && press.armed; };
        if (!IsRectEmpty(&parts.close)) {
            RECT close = parts.close;
            Fill(hdc, close, COLOR_BTNFACE);
            DrawEdge(hdc, &close, pushed(HTCLOSE) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
            COLORREF ink = GetSysColor(COLOR_BTNTEXT);
            int button = close.right - close.left;
            int inset = std::max<int>(3, button / 4);
            int shift = pushed(HTCLOSE) ? 1 : 0;
            Line(hdc, close.left + inset + shift, close.top + inset + shift, close.right - inset + shift,
                close.bottom - inset + shift, ink);
            Line(hdc, close.right - inset - 1 + shift, close.top + inset + shift, close.left + inset - 1 + shift,
                close.bottom - inset + shift, ink);
        }
        if (!IsRectEmpty(&parts.minBox)) {
            SizeBox(hdc, parts.minBox, GlyphOf(style, HTMINBUTTON), !(style & WS_MINIMIZEBOX), pushed(HTMINBUTTON));
            SizeBox(hdc, parts.maxBox, GlyphOf(style, HTMAXBUTTON), !(style & WS_MAXIMIZEBOX), pushed(HTMAXBUTTON));
        }
        if (!IsRectEmpty(&parts.icon))
            CaptionIcon(hdc, parts.icon, icon);
        RECT text = parts.text;
        HGDIOBJ oldFont = SelectObject(hdc, GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(hdc, TRANSPARENT);
        SetTextColor(hdc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
        DrawText(hdc, title.c_str(), int(title.size()), &text,
            DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);
        SelectObject(hdc, oldFont);
    }
    if (menu && l.menuBar.bottom > l.menuBar.top)
        PaintMenuBar(hwnd, hdc, l.menuBar);
    if (exStyle & WS_EX_CLIENTEDGE) {
        RECT r = l.edgeOuter;
        DrawEdge(hdc, &r, EDGE_SUNKEN, BF_RECT);
    } else if (exStyle & WS_EX_STATICEDGE) {
        RECT r = l.edgeOuter;
        DrawEdge(hdc, &r, BDR_SUNKENOUTER, BF_RECT);
    }
    if (style & WS_VSCROLL)
        PaintScrollBar(hdc, l.vscroll, vs, true, enabled, vpress);
    if (style & WS_HSCROLL)
        PaintScrollBar(hdc, l.hscroll, hs, false, enabled, hpress);
    Fill(hdc, l.sizeBox, COLOR_BTNFACE);
    ReleaseDC(hwnd, hdc);
}

} // namespace platform
