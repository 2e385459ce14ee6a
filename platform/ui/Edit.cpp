// The edit control: single- and multi-line text with a caret, a selection
// made with the mouse or Shift and the arrows, one level of undo, and cut,
// copy and paste of CF_TEXT through the clipboard.
//
// Multi-line text keeps its line breaks as "\r\n", as callers reading it
// back expect. A multi-line edit without ES_AUTOHSCROLL also wraps words at
// its width, as the system's does: those breaks exist only on the screen
// (and in the line messages), never in the text.

#include "platform/base/CharClass.h"
#include "platform/base/GlobalMemory.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/ListBoxShared.h"
#include "platform/ui/internal/WindowStates.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace platform {
namespace {

// The limit before EM_LIMITTEXT; EM_LIMITTEXT 0 asks for the largest.
constexpr size_t kDefaultLimit = 30000;
constexpr size_t kLargestLimit = 0x7FFFFFFE;
// What is taken from the clipboard at most, whatever the block claims.
constexpr size_t kMaxPaste = 1u << 24;
constexpr int kMargin = 2;
// Characters measured at first when breaking a line; doubled while they all
// fit, so a long paragraph is measured about once, not once per line.
constexpr int kFirstMeasure = 256;
// Lines the mouse wheel scrolls per notch.
constexpr int kWheelLines = 3;

// Which line an offset at a soft line break belongs to: it is both the end
// of one wrapped line and the start of the next.
enum class WrapSide {
    NextLine,
    LineEnd,
};

struct EditState {
    std::string text;
    size_t anchor = 0; // the fixed end of the selection
    size_t caret = 0; // the moving end, where the caret is
    WrapSide caretSide = WrapSide::NextLine; // where the caret shows at a soft break
    size_t limit = kDefaultLimit;
    int scrollX = 0; // pixels scrolled left
    int topLine = 0;
    HFONT font = NULL;
    bool focused = false;
    bool selecting = false; // a mouse drag
    bool modified = false;
    char passwordChar = 0;
    std::string undoText;
    size_t undoAnchor = 0;
    size_t undoCaret = 0;
    bool canUndo = false;
};

std::map<HWND, std::unique_ptr<EditState>>& States()
{
    return platform::WindowStates<EditState>();
}

EditState* StateOf(HWND hwnd)
{
    return platform::FindWindowState<EditState>(hwnd);
}

DWORD StyleOf(HWND hwnd)
{
    return DWORD(GetWindowLongPtr(hwnd, GWL_STYLE));
}

bool IsMultiLine(HWND hwnd)
{
    return (StyleOf(hwnd) & ES_MULTILINE) != 0;
}

void Notify(HWND hwnd, int code)
{
    if (HWND parent = GetParent(hwnd))
        SendMessage(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), code), LPARAM(hwnd));
}

HFONT FontOf(const EditState& s)
{
    return s.font ? s.font : HFONT(GetStockObject(DEFAULT_GUI_FONT));
}

size_t SelStart(const EditState& s)
{
    return std::min(s.anchor, s.caret);
}

size_t SelEnd(const EditState& s)
{
    return std::max(s.anchor, s.caret);
}

// The lines as shown: where each starts and where its text ends (before
// the "\r\n" of a hard break; at the next line's start after a wrap).
struct LineLayout {
    std::vector<size_t> starts;
    std::vector<size_t> ends;
};

bool WrapsWords(HWND hwnd)
{
    DWORD style = StyleOf(hwnd);
    return (style & ES_MULTILINE) && !(style & ES_AUTOHSCROLL);
}

size_t LineEnd(const LineLayout& lines, size_t line)
{
    return lines.ends[line];
}

size_t LineOf(const std::vector<size_t>& starts, size_t offset)
{
    return size_t(std::upper_bound(starts.begin(), starts.end(), offset) - starts.begin()) - 1;
}

// Breaks the hard line [from, to) into lines no wider than `width`: after
// the last blank that fits (the blanks stay at the end of the line), or
// inside a word longer than the line.
void WrapLine(HDC dc, const std::string& text, size_t from, size_t to, int width, LineLayout& lines)
{
    size_t at = from;
    do {
        size_t rest = to - at;
        int fit = 0;
        int count = 0;
        for (size_t measure = kFirstMeasure;; measure *= 2) {
            count = int(std::min<size_t>({rest, measure, 0x7FFFFFFF}));
            SIZE size{};
            if (count == 0
                || !GetTextExtentExPoint(dc, text.data() + at, count, std::max(width, 1), &fit, nullptr, &size))
                fit = count;
            if (fit < count || size_t(count) == rest)
                break;
        }
        if (fit >= count) {
            lines.starts.push_back(at);
            lines.ends.push_back(to);
            return;
        }
        size_t limit = at + size_t(std::max(fit, 1));
        size_t next = limit;
        for (size_t k = limit; k > at; --k) {
            if (text[k] == ' ') {
                next = k + 1;
                break;
            }
        }
        if (next == limit && text[limit] == ' ')
            next = limit + 1;
        while (next < to && text[next] == ' ')
            ++next;
        lines.starts.push_back(at);
        lines.ends.push_back(next);
        at = next;
    } while (at < to);
}

LineLayout Lines(HWND hwnd, const EditState& s);

// The text as shown: password characters in place of the letters.
std::string Shown(const EditState& s, size_t from, size_t to)
{
    if (s.passwordChar)
        return std::string(to - from, s.passwordChar);
    return s.text.substr(from, to - from);
}

class TextDc {
public:
    TextDc(HWND hwnd, const EditState& s) : m_hwnd(hwnd), m_dc(GetDC(hwnd)) { m_old = SelectObject(m_dc, FontOf(s)); }
    ~TextDc()
    {
        SelectObject(m_dc, m_old);
        ReleaseDC(m_hwnd, m_dc);
    }
    TextDc(const TextDc&) = delete;
    TextDc& operator=(const TextDc&) = delete;
    int Width(const std::string& text) const
    {
        SIZE size{};
        GetTextExtentPoint32(m_dc, text.c_str(), int(text.size()), &size);
        return size.cx;
    }
    int LineHeight() const
    {
        TEXTMETRIC tm{};
        GetTextMetrics(m_dc, &tm);
        return tm.tmHeight > 0 ? tm.tmHeight : 13;
    }
    HDC Handle() const { return m_dc; }

private:
    HWND m_hwnd;
    HDC m_dc;
    HGDIOBJ m_old;
};

int LineHeight(HWND hwnd, const EditState& s)
{
    return TextDc(hwnd, s).LineHeight();
}

RECT FormatRect(HWND hwnd)
{
    RECT rc;
    GetClientRect(hwnd, &rc);
    rc.left += kMargin;
    rc.right = std::max(rc.left, rc.right - kMargin);
    if (IsMultiLine(hwnd))
        rc.top += 1;
    return rc;
}

LineLayout Lines(HWND hwnd, const EditState& s)
{
    LineLayout lines;
    const std::string& text = s.text;
    if (!IsMultiLine(hwnd)) {
        lines.starts.push_back(0);
        lines.ends.push_back(text.size());
        return lines;
    }
    bool wrap = WrapsWords(hwnd);
    RECT fr = FormatRect(hwnd);
    std::unique_ptr<TextDc> dc;
    if (wrap)
        dc = std::make_unique<TextDc>(hwnd, s);
    size_t from = 0;
    for (;;) {
        size_t found = text.find("\r\n", from);
        size_t to = found == std::string::npos ? text.size() : found;
        if (wrap) {
            WrapLine(dc->Handle(), text, from, to, int(fr.right - fr.left), lines);
        } else {
            lines.starts.push_back(from);
            lines.ends.push_back(to);
        }
        if (found == std::string::npos)
            return lines;
        from = found + 2;
    }
}

// Whether `offset` is a soft break (the end of one wrapped line and the
// start of the next) and, if so, the line it ends.
bool IsSoftBreak(const LineLayout& lines, size_t offset, size_t& endedLine)
{
    size_t line = LineOf(lines.starts, offset);
    if (line == 0 || lines.starts[line] != offset || lines.ends[line - 1] != offset)
        return false;
    endedLine = line - 1;
    return true;
}

// The line an offset shows on.
size_t ShownLine(const LineLayout& lines, size_t offset, WrapSide side)
{
    size_t ended = 0;
    if (side == WrapSide::LineEnd && IsSoftBreak(lines, offset, ended))
        return ended;
    return LineOf(lines.starts, offset);
}

struct CaretPlace {
    size_t offset;
    WrapSide side;
};

// Where End puts the caret: at the end of a line, before the blank a
// wrapped line broke at, or at the end of a line broken inside a word
// (shown there, not at the start of the next line).
CaretPlace LineEndPlace(const std::string& text, const LineLayout& lines, size_t line)
{
    size_t to = LineEnd(lines, line);
    bool soft = line + 1 < lines.starts.size() && lines.starts[line + 1] == to;
    if (!soft)
        return {to, WrapSide::NextLine};
    if (to > lines.starts[line] && text[to - 1] == ' ')
        return {to - 1, WrapSide::NextLine};
    return {to, WrapSide::LineEnd};
}

// The client position of a text offset (top of its line).
POINT PositionOf(HWND hwnd, const EditState& s, size_t offset, WrapSide side = WrapSide::NextLine)
{
    LineLayout lines = Lines(hwnd, s);
    size_t line = ShownLine(lines, offset, side);
    TextDc dc(hwnd, s);
    RECT fr = FormatRect(hwnd);
    int x = fr.left - s.scrollX + dc.Width(Shown(s, lines.starts[line], offset));
    int y = fr.top + (int(line) - s.topLine) * dc.LineHeight();
    if (!IsMultiLine(hwnd))
        y = fr.top + std::max(0, (int(fr.bottom - fr.top) - dc.LineHeight()) / 2);
    return POINT{x, y};
}

// The caret place nearest to a client point; beyond the end of a line it
// is where End would put it.
CaretPlace PlaceAt(HWND hwnd, const EditState& s, POINT p)
{
    LineLayout lines = Lines(hwnd, s);
    const std::vector<size_t>& starts = lines.starts;
    TextDc dc(hwnd, s);
    RECT fr = FormatRect(hwnd);
    int line = 0;
    if (IsMultiLine(hwnd)) {
        int height = std::max(1, dc.LineHeight());
        // Rounded down, also above the first row.
        int dy = p.y - fr.top;
        line = s.topLine + (dy >= 0 ? dy / height : -((height - 1 - dy) / height));
    }
    line = std::clamp(line, 0, int(starts.size()) - 1);
    size_t from = starts[size_t(line)];
    size_t to = LineEnd(lines, size_t(line));
    int x = p.x - fr.left + s.scrollX;
    // One measurement of the line gives the extent after every character.
    std::string shown = Shown(s, from, to);
    std::vector<int> extents(shown.size());
    SIZE size{};
    if (!shown.empty() &&
        GetTextExtentExPoint(dc.Handle(), shown.data(), int(shown.size()), -1, nullptr, extents.data(), &size)) {
        int previous = 0;
        for (size_t i = 0; i < shown.size(); ++i) {
            if (x < (previous + extents[i]) / 2)
                return {from + i, WrapSide::NextLine};
            previous = extents[i];
        }
    }
    return LineEndPlace(s.text, lines, size_t(line));
}

void UpdateCaret(HWND hwnd, EditState& s)
{
    if (!s.focused)
        return;
    POINT p = PositionOf(hwnd, s, s.caret, s.caretSide);
    SetCaretPos(p.x, p.y);
}

int VisibleRows(HWND hwnd, const EditState& s)
{
    RECT fr = FormatRect(hwnd);
    return std::max(1, int(fr.bottom - fr.top) / LineHeight(hwnd, s));
}

// The vertical scroll bar, when the edit has one, shows the wrapped lines.
// It stays when the text fits (disabled): hiding it would widen the lines
// and wrap the text anew under the user's hands.
void UpdateScrollBar(HWND hwnd, const EditState& s, size_t lineCount)
{
    if (!IsMultiLine(hwnd) || !(StyleOf(hwnd) & WS_VSCROLL))
        return;
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    si.nMin = 0;
    si.nMax = int(std::min<size_t>(lineCount, 0x7FFFFFFF)) - 1;
    si.nPage = UINT(VisibleRows(hwnd, s));
    si.nPos = s.topLine;
    SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
}

// Shows the lines from `top` on, kept inside the text; answers whether the
// view moved.
bool ScrollToLine(HWND hwnd, EditState& s, int top)
{
    size_t count = Lines(hwnd, s).starts.size();
    int last = std::max(0, int(std::min<size_t>(count, 0x7FFFFFFF)) - VisibleRows(hwnd, s));
    top = std::clamp(top, 0, last);
    bool moved = top != s.topLine;
    if (moved) {
        s.topLine = top;
        InvalidateRect(hwnd, NULL, TRUE);
    }
    UpdateScrollBar(hwnd, s, count);
    UpdateCaret(hwnd, s);
    return moved;
}

// Scrolls so that the caret is inside the format rectangle.
void ScrollToCaret(HWND hwnd, EditState& s)
{
    DWORD style = StyleOf(hwnd);
    RECT fr = FormatRect(hwnd);
    LineLayout lines = Lines(hwnd, s);
    const std::vector<size_t>& starts = lines.starts;
    size_t line = ShownLine(lines, s.caret, s.caretSide);
    bool changed = false;
    {
        TextDc dc(hwnd, s);
        int x = dc.Width(Shown(s, starts[line], s.caret));
        int width = int(fr.right - fr.left);
        bool hscroll = (style & ES_AUTOHSCROLL) || (IsMultiLine(hwnd) && !WrapsWords(hwnd));
        int newScroll = s.scrollX;
        if (hscroll) {
            if (x < newScroll)
                newScroll = std::max(0, x - width / 3);
            else if (x > newScroll + width - 1)
                newScroll = x - width + width / 3;
        } else {
            newScroll = 0;
        }
        if (newScroll != s.scrollX) {
            s.scrollX = newScroll;
            changed = true;
        }
        if (IsMultiLine(hwnd)) {
            int rows = std::max(1, int(fr.bottom - fr.top) / dc.LineHeight());
            int top = s.topLine;
            if (int(line) < top)
                top = int(line);
            else if (int(line) >= top + rows && (style & (ES_AUTOVSCROLL | WS_VSCROLL)))
                top = int(line) - rows + 1;
            // Fewer lines after a wider re-wrap: no empty rows below the
            // text while there are lines above.
            int last = std::max(0, int(std::min<size_t>(starts.size(), 0x7FFFFFFF)) - rows);
            top = std::min(top, last);
            if (top != s.topLine) {
                s.topLine = top;
                changed = true;
            }
        }
    }
    if (changed)
        InvalidateRect(hwnd, NULL, TRUE);
    UpdateScrollBar(hwnd, s, starts.size());
    UpdateCaret(hwnd, s);
}

void SetSelection(HWND hwnd, EditState& s, size_t anchor, size_t caret, WrapSide side = WrapSide::NextLine)
{
    anchor = std::min(anchor, s.text.size());
    caret = std::min(caret, s.text.size());
    // Never split a line break.
    auto fix = [&](size_t& at) {
        if (at > 0 && at < s.text.size() && s.text[at - 1] == '\r' && s.text[at] == '\n')
            --at;
    };
    fix(anchor);
    fix(caret);
    if (anchor != s.anchor || caret != s.caret || side != s.caretSide)
        InvalidateRect(hwnd, NULL, TRUE);
    s.anchor = anchor;
    s.caret = caret;
    s.caretSide = side;
    ScrollToCaret(hwnd, s);
}

// Replaces the selection with `insert`, cut to the limit (EN_MAXTEXT when
// something had to go). Returns whether the text changed.
bool ReplaceSelection(HWND hwnd, std::string insert, bool undoable, bool notify = true)
{
    EditState* s = StateOf(hwnd);
    if (!s)
        return false;
    if (!IsMultiLine(hwnd)) {
        // A single line keeps only what comes before the first break.
        size_t cut = insert.find_first_of("\r\n");
        if (cut != std::string::npos)
            insert.resize(cut);
    }
    size_t from = SelStart(*s);
    size_t to = SelEnd(*s);
    size_t kept = s->text.size() - (to - from);
    bool truncated = false;
    if (kept + insert.size() > s->limit) {
        insert.resize(s->limit > kept ? s->limit - kept : 0);
        truncated = true;
    }
    if (insert.empty() && from == to) {
        if (truncated)
            Notify(hwnd, EN_MAXTEXT);
        return false;
    }
    if (undoable) {
        s->undoText = s->text;
        s->undoAnchor = s->anchor;
        s->undoCaret = s->caret;
        s->canUndo = true;
    }
    s->text.replace(from, to - from, insert);
    s->anchor = s->caret = from + insert.size();
    s->caretSide = WrapSide::NextLine;
    s->modified = true;
    InvalidateRect(hwnd, NULL, TRUE);
    ScrollToCaret(hwnd, *s);
    if (notify) {
        Notify(hwnd, EN_UPDATE);
        Notify(hwnd, EN_CHANGE);
    }
    if (truncated)
        Notify(hwnd, EN_MAXTEXT);
    return true;
}

bool IsReadOnly(HWND hwnd)
{
    return (StyleOf(hwnd) & ES_READONLY) != 0;
}

void Copy(HWND hwnd)
{
    EditState* s = StateOf(hwnd);
    if (!s || SelStart(*s) == SelEnd(*s) || s->passwordChar)
        return;
    std::string text = s->text.substr(SelStart(*s), SelEnd(*s) - SelStart(*s));
    if (!OpenClipboard(hwnd))
        return;
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, text.size() + 1);
    if (block) {
        if (void* p = GlobalLock(block)) {
            std::memcpy(p, text.c_str(), text.size() + 1);
            GlobalUnlock(block);
            SetClipboardData(CF_TEXT, block);
        } else {
            GlobalFree(block);
        }
    }
    CloseClipboard();
}

void Paste(HWND hwnd)
{
    if (IsReadOnly(hwnd) || !OpenClipboard(hwnd))
        return;
    std::string text;
    if (HANDLE block = GetClipboardData(CF_TEXT)) {
        size_t size = std::min<size_t>(GlobalSize(HGLOBAL(block)), kMaxPaste);
        if (const char* p = static_cast<const char*>(GlobalLock(HGLOBAL(block)))) {
            // The block is outside data: stop at its end even without a zero.
            text.assign(p, strnlen(p, size));
            GlobalUnlock(HGLOBAL(block));
        }
    }
    CloseClipboard();
    if (!text.empty())
        ReplaceSelection(hwnd, text, true);
}

void Undo(HWND hwnd)
{
    EditState* s = StateOf(hwnd);
    if (!s || !s->canUndo || IsReadOnly(hwnd))
        return;
    std::swap(s->text, s->undoText);
    std::swap(s->anchor, s->undoAnchor);
    std::swap(s->caret, s->undoCaret);
    s->anchor = std::min(s->anchor, s->text.size());
    s->caret = std::min(s->caret, s->text.size());
    s->caretSide = WrapSide::NextLine;
    s->modified = true;
    InvalidateRect(hwnd, NULL, TRUE);
    ScrollToCaret(hwnd, *s);
    Notify(hwnd, EN_UPDATE);
    Notify(hwnd, EN_CHANGE);
}

void OnChar(HWND hwnd, EditState& s, WPARAM ch)
{
    DWORD style = StyleOf(hwnd);
    switch (ch) {
    case 0x01:
        // Ctrl+A: the whole text, read-only or not.
        SetSelection(hwnd, s, 0, s.text.size());
        return;
    case 0x03: Copy(hwnd); return;
    case 0x16: Paste(hwnd); return;
    case 0x18:
        if (!IsReadOnly(hwnd)) {
            Copy(hwnd);
            ReplaceSelection(hwnd, std::string(), true);
        }
        return;
    case 0x1A: Undo(hwnd); return;
    default: break;
    }
    if (IsReadOnly(hwnd))
        return;
    if (ch == VK_BACK) {
        if (SelStart(s) == SelEnd(s) && s.caret > 0) {
            size_t back = (s.caret >= 2 && s.text.compare(s.caret - 2, 2, "\r\n") == 0) ? 2 : 1;
            s.anchor = s.caret - back;
        }
        ReplaceSelection(hwnd, std::string(), true);
        return;
    }
    if (ch == '\r' || ch == '\n') {
        if (IsMultiLine(hwnd))
            ReplaceSelection(hwnd, "\r\n", true);
        return;
    }
    if (ch == '\t' && !IsMultiLine(hwnd))
        return;
    if (ch < 0x20 && ch != '\t')
        return;
    if ((style & ES_NUMBER) && (ch < '0' || ch > '9')) {
        MessageBeep(0);
        return;
    }
    ReplaceSelection(hwnd, std::string(1, char(ch)), true);
}

void OnKeyDown(HWND hwnd, EditState& s, WPARAM vk)
{
    bool shift = GetKeyState(VK_SHIFT) < 0;
    bool control = GetKeyState(VK_CONTROL) < 0;
    bool multi = IsMultiLine(hwnd);
    LineLayout lines = Lines(hwnd, s);
    const std::vector<size_t>& starts = lines.starts;
    size_t line = ShownLine(lines, s.caret, s.caretSide);
    size_t to = s.caret;
    WrapSide side = WrapSide::NextLine;
    switch (vk) {
    case VK_LEFT:
        if (!shift && SelStart(s) != SelEnd(s))
            to = SelStart(s);
        else if (to > 0)
            to -= (to >= 2 && s.text.compare(to - 2, 2, "\r\n") == 0) ? 2 : 1;
        break;
    case VK_RIGHT:
        if (!shift && SelStart(s) != SelEnd(s))
            to = SelEnd(s);
        else if (to < s.text.size())
            to += s.text.compare(to, 2, "\r\n") == 0 ? 2 : 1;
        break;
    case VK_HOME: to = control ? 0 : starts[line]; break;
    case VK_END:
        if (control) {
            to = s.text.size();
        } else {
            CaretPlace end = LineEndPlace(s.text, lines, line);
            to = end.offset;
            side = end.side;
        }
        break;
    case VK_UP:
    case VK_DOWN: {
        if (!multi)
            return;
        if ((vk == VK_UP && line == 0) || (vk == VK_DOWN && line + 1 >= starts.size()))
            break;
        POINT p = PositionOf(hwnd, s, s.caret, s.caretSide);
        p.y += (vk == VK_UP ? -1 : 1) * LineHeight(hwnd, s);
        CaretPlace place = PlaceAt(hwnd, s, p);
        to = place.offset;
        side = place.side;
        break;
    }
    case VK_PRIOR:
    case VK_NEXT: {
        // A page of shown lines: the view and the caret move together.
        if (!multi)
            return;
        int rows = VisibleRows(hwnd, s);
        int step = vk == VK_PRIOR ? -rows : rows;
        POINT p = PositionOf(hwnd, s, s.caret, s.caretSide);
        p.y += step * LineHeight(hwnd, s);
        CaretPlace place = PlaceAt(hwnd, s, p);
        to = place.offset;
        side = place.side;
        ScrollToLine(hwnd, s, s.topLine + step);
        break;
    }
    case VK_DELETE:
        if (IsReadOnly(hwnd))
            return;
        if (shift) {
            Copy(hwnd);
            ReplaceSelection(hwnd, std::string(), true);
            return;
        }
        if (SelStart(s) == SelEnd(s) && s.caret < s.text.size())
            s.anchor = s.caret + (s.text.compare(s.caret, 2, "\r\n") == 0 ? 2 : 1);
        ReplaceSelection(hwnd, std::string(), true);
        return;
    case VK_INSERT:
        if (control)
            Copy(hwnd);
        else if (shift)
            Paste(hwnd);
        return;
    default:
        return;
    }
    SetSelection(hwnd, s, shift ? s.anchor : to, to, side);
}

void Paint(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    EditState* s = StateOf(hwnd);
    if (!s) {
        EndPaint(hwnd, &ps);
        return;
    }
    DWORD style = StyleOf(hwnd);
    bool enabled = IsWindowEnabled(hwnd) != FALSE;
    bool readOnly = (style & ES_READONLY) != 0;
    SetTextColor(dc, GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    SetBkColor(dc, GetSysColor(readOnly || !enabled ? COLOR_BTNFACE : COLOR_WINDOW));
    // The parent may choose the colours, as dialogs do for their controls.
    HBRUSH brush = NULL;
    if (HWND parent = GetParent(hwnd))
        brush = HBRUSH(SendMessage(parent, readOnly || !enabled ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT, WPARAM(dc), LPARAM(hwnd)));
    s = StateOf(hwnd);
    if (!s) {
        EndPaint(hwnd, &ps);
        return;
    }
    if (!brush)
        brush = GetSysColorBrush(readOnly || !enabled ? COLOR_BTNFACE : COLOR_WINDOW);
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, brush);
    HGDIOBJ oldFont = SelectObject(dc, FontOf(*s));
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    int lineHeight = tm.tmHeight > 0 ? tm.tmHeight : 13;
    RECT fr = FormatRect(hwnd);
    IntersectClipRect(dc, fr.left, fr.top, fr.right, fr.bottom);
    bool multi = IsMultiLine(hwnd);
    LineLayout lines = Lines(hwnd, *s);
    const std::vector<size_t>& starts = lines.starts;
    size_t selFrom = SelStart(*s);
    size_t selTo = SelEnd(*s);
    bool showSelection = selFrom != selTo && (s->focused || (style & ES_NOHIDESEL));
    COLORREF textColor = GetTextColor(dc);
    for (size_t line = size_t(std::max(0, s->topLine)); line < starts.size(); ++line) {
        int y = multi ? fr.top + (int(line) - s->topLine) * lineHeight
                      : fr.top + std::max(0, (int(fr.bottom - fr.top) - lineHeight) / 2);
        if (y >= fr.bottom)
            break;
        size_t from = starts[line];
        size_t to = LineEnd(lines, line);
        int x = fr.left - s->scrollX;
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, textColor);
        std::string shown = Shown(*s, from, to);
        TextOut(dc, x, y, shown.c_str(), int(shown.size()));
        size_t a = std::clamp(selFrom, from, to);
        size_t b = std::clamp(selTo, from, to);
        if (showSelection && a < b) {
            SIZE before{}, part{};
            std::string head = Shown(*s, from, a);
            std::string mid = Shown(*s, a, b);
            GetTextExtentPoint32(dc, head.c_str(), int(head.size()), &before);
            GetTextExtentPoint32(dc, mid.c_str(), int(mid.size()), &part);
            SetBkMode(dc, OPAQUE);
            SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
            SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
            RECT r{x + before.cx, y, x + before.cx + part.cx, y + lineHeight};
            ExtTextOut(dc, r.left, y, ETO_OPAQUE, &r, mid.c_str(), UINT(mid.size()), nullptr);
        }
    }
    SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
}

void OnCreate(HWND hwnd, const CREATESTRUCT& cs)
{
    auto state = std::make_unique<EditState>();
    state->text = cs.lpszName && !IS_INTRESOURCE(cs.lpszName) ? cs.lpszName : "";
    if (!(cs.style & ES_MULTILINE)) {
        size_t cut = state->text.find_first_of("\r\n");
        if (cut != std::string::npos)
            state->text.resize(cut);
    }
    if (cs.style & ES_PASSWORD)
        state->passwordChar = '*';
    States()[hwnd] = std::move(state);
}

// The edit of a combo box leaves the list keys to the combo.
bool IsComboKey(HWND hwnd, WPARAM vk)
{
    HWND parent = GetParent(hwnd);
    char name[16] = {};
    if (!parent || IsMultiLine(hwnd) || GetClassName(parent, name, int(sizeof name)) == 0 ||
        lstrcmpi(name, "ComboBox") != 0)
        return false;
    switch (vk) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_F4:
        return true;
    case VK_RETURN:
    case VK_ESCAPE:
        return SendMessage(parent, CB_GETDROPPEDSTATE, 0, 0) != FALSE;
    default:
        return false;
    }
}

LRESULT CopyText(const std::string& text, WPARAM size, LPARAM out)
{
    if (size == 0 || !out)
        return 0;
    size_t n = std::min(text.size(), size_t(size) - 1);
    std::memcpy(reinterpret_cast<char*>(out), text.data(), n);
    reinterpret_cast<char*>(out)[n] = '\0';
    return LRESULT(n);
}

} // namespace

LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CREATE) {
        OnCreate(hwnd, *reinterpret_cast<const CREATESTRUCT*>(lParam));
        return 0;
    }
    EditState* s = StateOf(hwnd);
    if (!s)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    bool multi = IsMultiLine(hwnd);
    switch (msg) {
    case WM_NCDESTROY:
        States().erase(hwnd);
        return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_PAINT:
        Paint(hwnd);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        ScrollToCaret(hwnd, *s);
        InvalidateRect(hwnd, NULL, TRUE);
        return 0;
    case WM_SETFONT:
        s->font = HFONT(wParam);
        if (s->focused) {
            CreateCaret(hwnd, NULL, 1, LineHeight(hwnd, *s));
            ShowCaret(hwnd);
        }
        ScrollToCaret(hwnd, *s);
        if (LOWORD(lParam))
            InvalidateRect(hwnd, NULL, TRUE);
        return 0;
    case WM_GETFONT:
        return LRESULT(s->font);
    case WM_VSCROLL: {
        if (!multi)
            return 0;
        int top = s->topLine;
        int page = VisibleRows(hwnd, *s);
        switch (LOWORD(wParam)) {
        case SB_LINEUP: --top; break;
        case SB_LINEDOWN: ++top; break;
        case SB_PAGEUP: top -= page; break;
        case SB_PAGEDOWN: top += page; break;
        case SB_TOP: top = 0; break;
        case SB_BOTTOM: top = 0x7FFFFFFF; break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: top = int(HIWORD(wParam)); break;
        default: return 0;
        }
        if (ScrollToLine(hwnd, *s, top))
            Notify(hwnd, EN_VSCROLL);
        return 0;
    }
    case WM_MOUSEWHEEL:
        if (!multi)
            return DefWindowProc(hwnd, msg, wParam, lParam);
        if (ScrollToLine(hwnd, *s, s->topLine - kWheelLines * (GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA)))
            Notify(hwnd, EN_VSCROLL);
        return 0;
    case WM_GETDLGCODE: {
        LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
        const MSG* m = reinterpret_cast<const MSG*>(lParam);
        if (multi && (StyleOf(hwnd) & ES_WANTRETURN) && m && (m->message == WM_KEYDOWN || m->message == WM_CHAR) &&
            (m->wParam == VK_RETURN))
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_SETFOCUS:
        s->focused = true;
        CreateCaret(hwnd, NULL, 1, LineHeight(hwnd, *s));
        UpdateCaret(hwnd, *s);
        ShowCaret(hwnd);
        InvalidateRect(hwnd, NULL, TRUE);
        Notify(hwnd, EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        s->focused = false;
        s->selecting = false;
        DestroyCaret();
        InvalidateRect(hwnd, NULL, TRUE);
        Notify(hwnd, EN_KILLFOCUS);
        return 0;
    case WM_CHAR:
        OnChar(hwnd, *s, wParam & 0xFF);
        return 0;
    case WM_KEYDOWN:
        if (IsComboKey(hwnd, wParam))
            return SendMessage(GetParent(hwnd), msg, wParam, lParam);
        OnKeyDown(hwnd, *s, wParam);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (GetFocus() != hwnd)
            SetFocus(hwnd);
        s = StateOf(hwnd);
        if (!s)
            return 0;
        CaretPlace at = PlaceAt(hwnd, *s, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        SetSelection(hwnd, *s, (wParam & MK_SHIFT) ? s->anchor : at.offset, at.offset, at.side);
        s->selecting = true;
        SetCapture(hwnd);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (s->selecting && GetCapture() == hwnd) {
            CaretPlace at = PlaceAt(hwnd, *s, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            SetSelection(hwnd, *s, s->anchor, at.offset, at.side);
        }
        return 0;
    case WM_LBUTTONUP:
        s->selecting = false;
        if (GetCapture() == hwnd)
            ReleaseCapture();
        return 0;
    case WM_CAPTURECHANGED:
        s->selecting = false;
        return 0;
    case WM_SETTEXT: {
        std::string text = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
        if (!multi) {
            size_t cut = text.find_first_of("\r\n");
            if (cut != std::string::npos)
                text.resize(cut);
        }
        DefWindowProc(hwnd, msg, wParam, lParam);
        s = StateOf(hwnd);
        if (!s)
            return FALSE;
        s->text = std::move(text);
        s->anchor = s->caret = 0;
        s->caretSide = WrapSide::NextLine;
        s->scrollX = 0;
        s->topLine = 0;
        s->canUndo = false;
        s->modified = false;
        InvalidateRect(hwnd, NULL, TRUE);
        ScrollToCaret(hwnd, *s);
        if (!multi) {
            Notify(hwnd, EN_UPDATE);
            Notify(hwnd, EN_CHANGE);
        }
        return TRUE;
    }
    case WM_GETTEXT:
        return CopyText(s->text, wParam, lParam);
    case WM_GETTEXTLENGTH:
        return LRESULT(s->text.size());
    case WM_COPY:
        Copy(hwnd);
        return 0;
    case WM_CUT:
        if (!IsReadOnly(hwnd)) {
            Copy(hwnd);
            ReplaceSelection(hwnd, std::string(), true);
        }
        return 0;
    case WM_PASTE:
        Paste(hwnd);
        return 0;
    case WM_CLEAR:
        if (!IsReadOnly(hwnd))
            ReplaceSelection(hwnd, std::string(), true);
        return 0;
    case WM_UNDO:
    case EM_UNDO:
        Undo(hwnd);
        return TRUE;
    case EM_CANUNDO:
        return s->canUndo ? TRUE : FALSE;
    case EM_EMPTYUNDOBUFFER:
        s->canUndo = false;
        return 0;
    case EM_GETSEL: {
        DWORD from = DWORD(SelStart(*s));
        DWORD to = DWORD(SelEnd(*s));
        if (wParam)
            *reinterpret_cast<DWORD*>(wParam) = from;
        if (lParam)
            *reinterpret_cast<DWORD*>(lParam) = to;
        return MAKELRESULT(std::min<DWORD>(from, 0xFFFF), std::min<DWORD>(to, 0xFFFF));
    }
    case EM_SETSEL: {
        int from = int(wParam);
        int to = int(lParam);
        size_t size = s->text.size();
        if (from == -1) {
            SetSelection(hwnd, *s, s->caret, s->caret);
            return 0;
        }
        size_t a = from < 0 ? size : size_t(from);
        size_t b = to < 0 ? size : size_t(to);
        SetSelection(hwnd, *s, a, b);
        return 0;
    }
    case EM_REPLACESEL:
        ReplaceSelection(hwnd, lParam ? reinterpret_cast<LPCSTR>(lParam) : "", wParam != 0);
        return 0;
    case EM_SCROLLCARET:
        ScrollToCaret(hwnd, *s);
        return TRUE;
    case EM_LIMITTEXT:
        s->limit = wParam ? std::min<size_t>(size_t(wParam), kLargestLimit) : kLargestLimit;
        return 0;
    case EM_GETLIMITTEXT:
        return LRESULT(s->limit);
    case EM_GETLINECOUNT:
        return LRESULT(Lines(hwnd, *s).starts.size());
    case EM_LINEFROMCHAR: {
        std::vector<size_t> starts = Lines(hwnd, *s).starts;
        size_t at = int(wParam) < 0 ? SelStart(*s) : std::min<size_t>(size_t(wParam), s->text.size());
        return LRESULT(LineOf(starts, at));
    }
    case EM_LINEINDEX: {
        LineLayout lines = Lines(hwnd, *s);
        size_t line = int(wParam) < 0 ? ShownLine(lines, s->caret, s->caretSide) : size_t(wParam);
        return line < lines.starts.size() ? LRESULT(lines.starts[line]) : -1;
    }
    case EM_LINELENGTH: {
        LineLayout lines = Lines(hwnd, *s);
        const std::vector<size_t>& starts = lines.starts;
        if (int(wParam) < 0) {
            // The unselected rest of the lines the selection touches.
            size_t first = LineOf(starts, SelStart(*s));
            size_t last = LineOf(starts, SelEnd(*s));
            return LRESULT((SelStart(*s) - starts[first]) + (LineEnd(lines, last) - SelEnd(*s)));
        }
        size_t line = LineOf(starts, std::min<size_t>(size_t(wParam), s->text.size()));
        return LRESULT(LineEnd(lines, line) - starts[line]);
    }
    case EM_GETLINE: {
        LineLayout lines = Lines(hwnd, *s);
        const std::vector<size_t>& starts = lines.starts;
        if (!lParam || size_t(wParam) >= starts.size())
            return 0;
        WORD room = *reinterpret_cast<const WORD*>(lParam);
        size_t line = size_t(wParam);
        size_t n = std::min<size_t>(room, LineEnd(lines, line) - starts[line]);
        std::memcpy(reinterpret_cast<char*>(lParam), s->text.data() + starts[line], n);
        return LRESULT(n);
    }
    case EM_GETFIRSTVISIBLELINE:
        return multi ? s->topLine : 0;
    case EM_GETMODIFY:
        return s->modified ? TRUE : FALSE;
    case EM_SETMODIFY:
        s->modified = wParam != 0;
        return 0;
    case EM_SETREADONLY: {
        LONG_PTR style = GetWindowLongPtr(hwnd, GWL_STYLE);
        SetWindowLongPtr(hwnd, GWL_STYLE, wParam ? (style | ES_READONLY) : (style & ~LONG_PTR(ES_READONLY)));
        InvalidateRect(hwnd, NULL, TRUE);
        return TRUE;
    }
    case EM_SETPASSWORDCHAR:
        if (!multi) {
            s->passwordChar = char(wParam);
            InvalidateRect(hwnd, NULL, TRUE);
        }
        return 0;
    case EM_GETRECT:
        if (lParam)
            *reinterpret_cast<RECT*>(lParam) = FormatRect(hwnd);
        return 0;
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

} // namespace platform
