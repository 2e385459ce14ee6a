// Layout and drawing of menu bars and popup menus in the plain classic
// style: the menu font, the system menu colours, mnemonics underlined, the
// accelerator text after a tab right-aligned in its own column.

#include "platform/base/GdiRecords.h"
#include "platform/base/Geometry.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiDefs.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/MenuBar.h"
#include "platform/ui/internal/MenuData.h"
#include "platform/ui/internal/Window.h"

#include <algorithm>
#include <string>

namespace platform {

namespace {

constexpr int kBarPadX = 6; // each side of a bar item's label
constexpr int kPopupBorder = 3; // raised edge and one pixel of face
constexpr int kSeparatorHeight = 9;
constexpr int kAccelGap = 16; // between the longest label and the accelerator column
constexpr int kArrowColumn = 14;
constexpr int kRightPad = 4;

int RowHeight()
{
    return GetSystemMetrics(SM_CYMENU) - 1;
}

int CheckColumn()
{
    return GetSystemMetrics(SM_CXMENUCHECK) + 6;
}

std::string LabelOf(const MenuItem& item)
{
    size_t tab = item.text.find('\t');
    return tab == std::string::npos ? item.text : item.text.substr(0, tab);
}

std::string AccelOf(const MenuItem& item)
{
    size_t tab = item.text.find('\t');
    return tab == std::string::npos ? std::string() : item.text.substr(tab + 1);
}

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP bm{};
    if (!bitmap || !GetObject(bitmap, sizeof(bm), &bm))
        return SIZE{0, 0};
    return SIZE{bm.bmWidth, bm.bmHeight};
}

// A memory DC with the menu font selected, for measuring.
class MeasureDc {
public:
    MeasureDc()
        : m_dc(CreateCompatibleDC(NULL))
    {
        if (m_dc)
            m_old = SelectObject(m_dc, GetStockObject(DEFAULT_GUI_FONT));
    }
    ~MeasureDc()
    {
        if (m_dc) {
            SelectObject(m_dc, m_old);
            DeleteDC(m_dc);
        }
    }
    MeasureDc(const MeasureDc&) = delete;
    MeasureDc& operator=(const MeasureDc&) = delete;

    // The width of a label as drawn: '&' prefixes take no room.
    int LabelWidth(const std::string& text) const
    {
        if (!m_dc || text.empty())
            return 0;
        RECT r{0, 0, 0, 0};
        DrawText(m_dc, text.c_str(), int(text.size()), &r, DT_SINGLELINE | DT_CALCRECT);
        return r.right - r.left;
    }
    int PlainWidth(const std::string& text) const
    {
        SIZE size{0, 0};
        if (m_dc && !text.empty())
            GetTextExtentPoint32(m_dc, text.c_str(), int(text.size()), &size);
        return size.cx;
    }

private:
    HDC m_dc = NULL;
    HGDIOBJ m_old = NULL;
};

void Fill(HDC hdc, const RECT& r, int colorIndex)
{
    FillRect(hdc, &r, GetSysColorBrush(colorIndex));
}

void FillColor(HDC hdc, const RECT& r, COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(hdc, &r, brush);
    DeleteObject(brush);
}

void Blit(HDC hdc, HBITMAP bitmap, int x, int y)
{
    SIZE size = BitmapSize(bitmap);
    HDC src = CreateCompatibleDC(hdc);
    if (!src)
        return;
    HGDIOBJ old = SelectObject(src, bitmap);
    BitBlt(hdc, x, y, size.cx, size.cy, src, 0, 0, SRCCOPY);
    SelectObject(src, old);
    DeleteDC(src);
}

void BlitCentred(HDC hdc, HBITMAP bitmap, const RECT& r)
{
    SIZE size = BitmapSize(bitmap);
    Blit(hdc, bitmap, r.left + (r.right - r.left - size.cx) / 2, r.top + (r.bottom - r.top - size.cy) / 2);
}

// The standard marks, drawn in the text colour: a tick for a checked item,
// a dot for a checked radio item.
void DrawCheckMark(HDC hdc, const RECT& column, bool radio, COLORREF ink)
{
    int cx = (column.left + column.right) / 2;
    int cy = (column.top + column.bottom) / 2;
    if (radio) {
        FillColor(hdc, RECT{cx - 2, cy - 3, cx + 3, cy + 4}, ink);
        FillColor(hdc, RECT{cx - 3, cy - 2, cx + 4, cy + 3}, ink);
        return;
    }
    static const int rise[7] = {2, 3, 4, 3, 2, 1, 0};
    for (int i = 0; i < 7; ++i) {
        int x = cx - 3 + i;
        int y = cy - 3 + rise[i];
        FillColor(hdc, RECT{x, y, x + 1, y + 3}, ink);
    }
}

void DrawSubmenuArrow(HDC hdc, const RECT& column, COLORREF ink)
{
    int x = column.left + (column.right - column.left) / 2 - 2;
    int cy = (column.top + column.bottom) / 2;
    for (int i = 0; i < 4; ++i)
        FillColor(hdc, RECT{x + i, cy - 3 + i, x + i + 1, cy + 4 - i}, ink);
}

struct PopupColumns {
    int label = 0; // widest label (or bitmap)
    int accel = 0; // widest accelerator text
};

PopupColumns MeasureColumns(const Menu& menu, const MeasureDc& dc)
{
    PopupColumns c;
    for (const MenuItem& item : menu.items) {
        if (item.type & MF_SEPARATOR)
            continue;
        if (item.type & MF_BITMAP) {
            c.label = std::max<int>(c.label, BitmapSize(item.bitmap).cx);
            continue;
        }
        c.label = std::max(c.label, dc.LabelWidth(LabelOf(item)));
        c.accel = std::max(c.accel, dc.PlainWidth(AccelOf(item)));
    }
    return c;
}

int ColumnWidth(const PopupColumns& c)
{
    return CheckColumn() + c.label + (c.accel ? kAccelGap + c.accel : 0) + kArrowColumn + kRightPad;
}

} // namespace

int LayoutMenuBar(Menu& menu, int width)
{
    MeasureDc dc;
    int row = RowHeight();
    int x = 0;
    int y = 0;
    size_t rowStart = 0;
    size_t helpStart = SIZE_MAX; // first right-justified item of the current row
    auto finishRow = [&](size_t end) {
        // Right-justified items move to the right end of their row.
        if (helpStart < end) {
            int shift = width - menu.items[end - 1].rect.right;
            if (shift > 0) {
                for (size_t j = helpStart; j < end; ++j)
                    OffsetRect(&menu.items[j].rect, shift, 0);
            }
        }
        helpStart = SIZE_MAX;
    };
    for (size_t i = 0; i < menu.items.size(); ++i) {
        MenuItem& item = menu.items[i];
        int w = (item.type & MF_BITMAP) ? BitmapSize(item.bitmap).cx : dc.LabelWidth(LabelOf(item));
        w += 2 * kBarPadX;
        if (item.type & MF_SEPARATOR)
            w = kBarPadX;
        bool breakHere = (item.type & (MF_MENUBREAK | MF_MENUBARBREAK)) || (x > 0 && x + w > width);
        if (i > rowStart && breakHere) {
            finishRow(i);
            rowStart = i;
            x = 0;
            y += row;
        }
        if ((item.type & MF_HELP) && helpStart == SIZE_MAX)
            helpStart = i;
        item.rect = RECT{x, y, x + w, y + row};
        x += w;
    }
    finishRow(menu.items.size());
    return y + row + 1;
}

SIZE LayoutPopupMenu(Menu& menu)
{
    MeasureDc dc;
    PopupColumns columns = MeasureColumns(menu, dc);
    int columnWidth = ColumnWidth(columns);
    int x = kPopupBorder;
    int y = kPopupBorder;
    int bottom = y;
    for (size_t i = 0; i < menu.items.size(); ++i) {
        MenuItem& item = menu.items[i];
        if (i > 0 && (item.type & (MF_MENUBREAK | MF_MENUBARBREAK))) {
            x += columnWidth;
            y = kPopupBorder;
        }
        int h = RowHeight();
        if (item.type & MF_SEPARATOR)
            h = kSeparatorHeight;
        else if (item.type & MF_BITMAP)
            h = std::max<int>(h, BitmapSize(item.bitmap).cy + 2);
        item.rect = RECT{x, y, x + columnWidth, y + h};
        y += h;
        bottom = std::max(bottom, y);
    }
    if (menu.items.empty())
        bottom += RowHeight() / 2;
    return SIZE{x + columnWidth + kPopupBorder, bottom + kPopupBorder};
}

void DrawMenuBarItems(HDC hdc, Menu& menu, const RECT& bar, int selected)
{
    Fill(hdc, bar, COLOR_MENU);
    HGDIOBJ oldFont = SelectObject(hdc, GetStockObject(DEFAULT_GUI_FONT));
    int oldMode = SetBkMode(hdc, TRANSPARENT);
    for (size_t i = 0; i < menu.items.size(); ++i) {
        const MenuItem& item = menu.items[i];
        if (item.type & MF_SEPARATOR)
            continue;
        RECT r = item.rect;
        OffsetRect(&r, bar.left, bar.top);
        bool hot = int(i) == selected || (item.state & MF_HILITE);
        if (hot)
            Fill(hdc, r, COLOR_HIGHLIGHT);
        if (item.type & MF_BITMAP) {
            BlitCentred(hdc, item.bitmap, r);
            continue;
        }
        int ink = (item.state & MF_GRAYED) ? COLOR_GRAYTEXT : hot ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT;
        SetTextColor(hdc, GetSysColor(ink));
        std::string label = LabelOf(item);
        DrawText(hdc, label.c_str(), int(label.size()), &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }
    SetBkMode(hdc, oldMode);
    SelectObject(hdc, oldFont);
}

void DrawPopupMenu(HDC hdc, Menu& menu, SIZE size, int selected)
{
    RECT whole{0, 0, size.cx, size.cy};
    Fill(hdc, whole, COLOR_MENU);
    DrawEdge(hdc, &whole, EDGE_RAISED, BF_RECT);
    MeasureDc measure;
    PopupColumns columns = MeasureColumns(menu, measure);
    HGDIOBJ oldFont = SelectObject(hdc, GetStockObject(DEFAULT_GUI_FONT));
    int oldMode = SetBkMode(hdc, TRANSPARENT);
    for (size_t i = 0; i < menu.items.size(); ++i) {
        const MenuItem& item = menu.items[i];
        const RECT& r = item.rect;
        if (item.type & MF_SEPARATOR) {
            int mid = (r.top + r.bottom) / 2 - 1;
            Fill(hdc, RECT{r.left + 1, mid, r.right - 1, mid + 1}, COLOR_BTNSHADOW);
            Fill(hdc, RECT{r.left + 1, mid + 1, r.right - 1, mid + 2}, COLOR_BTNHIGHLIGHT);
            continue;
        }
        bool hot = int(i) == selected;
        if (hot)
            Fill(hdc, r, COLOR_HIGHLIGHT);
        int inkIndex = (item.state & MF_GRAYED) ? COLOR_GRAYTEXT : hot ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT;
        COLORREF ink = GetSysColor(inkIndex);
        SetTextColor(hdc, ink);

        RECT check{r.left, r.top, r.left + CheckColumn(), r.bottom};
        if (item.state & MF_CHECKED) {
            if (item.checkedBitmap)
                BlitCentred(hdc, item.checkedBitmap, check);
            else
                DrawCheckMark(hdc, check, (item.type & MFT_RADIOCHECK) != 0, ink);
        } else if (item.uncheckedBitmap) {
            BlitCentred(hdc, item.uncheckedBitmap, check);
        }

        RECT label{check.right, r.top, check.right + columns.label, r.bottom};
        if (item.type & MF_BITMAP) {
            SIZE bs = BitmapSize(item.bitmap);
            Blit(hdc, item.bitmap, label.left, r.top + (r.bottom - r.top - bs.cy) / 2);
        } else {
            std::string text = LabelOf(item);
            DrawText(hdc, text.c_str(), int(text.size()), &label, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
            std::string accel = AccelOf(item);
            if (!accel.empty()) {
                RECT a{label.right + kAccelGap, r.top, r.right - kArrowColumn - kRightPad, r.bottom};
                DrawText(hdc, accel.c_str(), int(accel.size()), &a, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
            }
        }
        if (item.submenu)
            DrawSubmenuArrow(hdc, RECT{r.right - kArrowColumn - kRightPad, r.top, r.right - kRightPad, r.bottom}, ink);
    }
    SetBkMode(hdc, oldMode);
    SelectObject(hdc, oldFont);
}

int MenuBarHeight(HMENU menu, int width)
{
    Menu* m = PeekMenuRecord(menu);
    if (!m)
        return 0;
    return LayoutMenuBar(*m, width);
}

void PaintMenuBar(HWND hwnd, HDC windowDc, const RECT& bar)
{
    Window* w = PeekWindowRecord(hwnd);
    Menu* m = w ? PeekMenuRecord(w->menu) : nullptr;
    if (!m)
        return;
    LayoutMenuBar(*m, bar.right - bar.left);
    DrawMenuBarItems(windowDc, *m, bar, TrackedBarItem(hwnd));
}

} // namespace platform
