// Painting of the tree view in the classic look: dotted lines, boxed +/-
// buttons, check boxes or state images, icons and labels.

#include "platform/gdi/Gdi.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/CommCtrlShared.h"
#include "platform/ui/internal/CommCtrlTree.h"

#include <algorithm>

namespace platform {
namespace {

constexpr int ButtonSide = 9;
constexpr int StateWidth = 16;
constexpr int LabelPad = 2;

DWORD StyleOf(HWND hwnd)
{
    return static_cast<DWORD>(GetWindowLongPtr(hwnd, GWL_STYLE));
}

void DottedLine(HDC dc, int x0, int y0, int x1, int y1, COLORREF colour)
{
    // Every other pixel, keyed to absolute coordinates so segments join.
    if (x0 == x1) {
        for (int y = std::min(y0, y1); y < std::max(y0, y1); ++y)
            if (((x0 + y) & 1) == 0)
                SetPixelV(dc, x0, y, colour);
    } else {
        for (int x = std::min(x0, x1); x < std::max(x0, x1); ++x)
            if (((x + y0) & 1) == 0)
                SetPixelV(dc, x, y0, colour);
    }
}

void DrawButtonBox(HDC dc, const RECT& box, bool expanded)
{
    FillRect(dc, &box, GetSysColorBrush(COLOR_WINDOW));
    FrameRect(dc, &box, GetSysColorBrush(COLOR_BTNSHADOW));
    int cy = (box.top + box.bottom) / 2;
    int cx = (box.left + box.right) / 2;
    RECT minus{box.left + 2, cy, box.right - 2, cy + 1};
    FillRect(dc, &minus, GetSysColorBrush(COLOR_WINDOWTEXT));
    if (!expanded) {
        RECT plus{cx, box.top + 2, cx + 1, box.bottom - 2};
        FillRect(dc, &plus, GetSysColorBrush(COLOR_WINDOWTEXT));
    }
}

void DrawCheckBox(HDC dc, const RECT& slot, bool checked)
{
    int top = (slot.top + slot.bottom - 13) / 2;
    RECT box{slot.left + 1, top, slot.left + 14, top + 13};
    FillRect(dc, &box, GetSysColorBrush(COLOR_WINDOW));
    RECT edge = box;
    DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
    if (checked) {
        // A tick: two strokes three pixels thick.
        COLORREF ink = GetSysColor(COLOR_WINDOWTEXT);
        for (int i = 0; i < 7; ++i) {
            int x = box.left + 3 + i;
            int y = i < 3 ? box.top + 5 + i : box.top + 7 - (i - 2);
            for (int t = 0; t < 3; ++t)
                SetPixelV(dc, x, y + t, ink);
        }
    }
}

} // namespace

void PaintTree(HWND hwnd, TreeState& s)
{
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client{};
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    HGDIOBJ oldFont = SelectObject(dc, ControlFont(s.font));
    SetBkMode(dc, TRANSPARENT);
    DWORD style = StyleOf(hwnd);
    std::vector<TreeRow> rows = VisibleRows(s);
    COLORREF lineColour = GetSysColor(COLOR_BTNSHADOW);
    for (int i = s.top; i < static_cast<int>(rows.size()); ++i) {
        TreeRowGeometry g = RowGeometry(hwnd, s, i, rows[static_cast<size_t>(i)]);
        if (g.row.top >= client.bottom)
            break;
        TreeId id = rows[static_cast<size_t>(i)].id;
        const TreeNode& node = s.items.at(id);
        int midY = (g.row.top + g.row.bottom) / 2;
        if ((style & TVS_HASLINES) && g.button.right > g.button.left) {
            int cx = (g.button.left + g.button.right) / 2;
            const TreeNode& parent = s.items.at(node.parent);
            bool last = !parent.children.empty() && parent.children.back() == id;
            bool first = node.parent == 0 && !parent.children.empty() && parent.children.front() == id;
            DottedLine(dc, cx, first ? midY : g.row.top, cx, last ? midY + 1 : g.row.bottom, lineColour);
            DottedLine(dc, cx, midY, g.button.right, midY, lineColour);
            // Ancestors with later siblings continue their lines through this row.
            TreeId up = node.parent;
            int x = cx - s.indent;
            while (up != 0 && x >= 0) {
                const TreeNode& a = s.items.at(up);
                const TreeNode& ap = s.items.at(a.parent);
                if (ap.children.back() != up)
                    DottedLine(dc, x, g.row.top, x, g.row.bottom, lineColour);
                up = a.parent;
                x -= s.indent;
            }
        }
        if ((style & TVS_HASBUTTONS) && g.button.right > g.button.left && HasChildren(hwnd, s, id)) {
            int cx = (g.button.left + g.button.right) / 2;
            RECT box{cx - ButtonSide / 2, midY - ButtonSide / 2, cx - ButtonSide / 2 + ButtonSide,
                     midY - ButtonSide / 2 + ButtonSide};
            DrawButtonBox(dc, box, (node.state & TVIS_EXPANDED) != 0);
        }
        int stateIndex = static_cast<int>((node.state & TVIS_STATEIMAGEMASK) >> 12);
        if (g.stateIcon.right > g.stateIcon.left && stateIndex > 0) {
            if (s.stateImages)
                ImageList_Draw(s.stateImages, stateIndex, dc, g.stateIcon.left,
                               g.stateIcon.top, ILD_TRANSPARENT);
            else
                DrawCheckBox(dc, g.stateIcon, stateIndex >= 2);
        }
        if (g.icon.right > g.icon.left) {
            bool selected = (node.state & TVIS_SELECTED) != 0;
            ImageList_Draw(s.normal, selected ? node.selectedImage : node.image, dc, g.icon.left, g.icon.top,
                           ILD_TRANSPARENT);
        }
        std::string text = DisplayText(hwnd, s, id);
        bool selected = (node.state & TVIS_SELECTED) != 0;
        bool showSelection = selected && (s.focused || (style & TVS_SHOWSELALWAYS));
        if (showSelection) {
            FillRect(dc, &g.label, GetSysColorBrush(s.focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
            SetTextColor(dc, GetSysColor(s.focused ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        } else {
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        }
        RECT textRect{g.label.left + LabelPad, g.label.top, g.label.right, g.label.bottom};
        DrawText(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
                 DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
        if (selected && s.focused && id == s.caret)
            DrawFocusRect(dc, &g.label);
    }
    SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
}

TreeRowGeometry RowGeometry(HWND hwnd, const TreeState& s, int rowIndex, const TreeRow& r)
{
    TreeRowGeometry g{};
    RECT client{};
    GetClientRect(hwnd, &client);
    int h = RowHeight(s);
    int y = (rowIndex - s.top) * h;
    g.row = RECT{client.left, y, client.right, y + h};
    DWORD style = StyleOf(hwnd);
    int columns = r.level + ((style & TVS_LINESATROOT) ? 1 : 0);
    int x = columns * s.indent;
    if (columns > 0)
        g.button = RECT{x - s.indent, y, x, y + h};
    if (s.stateImages || (style & TVS_CHECKBOXES)) {
        g.stateIcon = RECT{x, y, x + StateWidth, y + h};
        x += StateWidth;
    }
    int cx = 0, cy = 0;
    if (s.normal && ImageList_GetIconSize(s.normal, &cx, &cy)) {
        int top = y + (h - cy) / 2;
        g.icon = RECT{x, top, x + cx, top + cy};
        x += cx + 1;
    }
    std::string text = DisplayText(hwnd, s, r.id);
    HDC dc = GetDC(NULL);
    HGDIOBJ old = SelectObject(dc, ControlFont(s.font));
    SIZE extent{};
    GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(NULL, dc);
    g.label = RECT{x, y, x + extent.cx + 2 * LabelPad, y + h};
    return g;
}

} // namespace platform
