// DrawText: formatted text in a rectangle — lines and word breaks,
// alignment, tab expansion, '&' mnemonics, ellipses — measured with the DC's
// current font in its logical units and drawn with ExtTextOut.

#include "platform/base/String.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/internal/DeviceContext.h"
#include "platform/gdi/internal/FontFace.h"
#include "platform/gdi/internal/GdiObjects.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using platform::DeviceContext;

constexpr char kEllipsis[] = "...";

// One line as it is shown: prefixes removed, and the position of the
// mnemonic character that gets underlined (-1 for none).
struct Line {
    std::string text;
    int mnemonic = -1;
};

class Formatter {
public:
    Formatter(HDC hdc, UINT format)
        : m_hdc(hdc)
        , m_format(format)
    {
        GetTextMetrics(hdc, &m_tm);
        m_tabWidth = 8 * std::max<LONG>(1, m_tm.tmAveCharWidth);
    }

    const TEXTMETRIC& Metrics() const { return m_tm; }

    // The width of a line, tabs expanded to the next tab stop when asked.
    int Measure(const std::string& text) const
    {
        int x = 0;
        size_t start = 0;
        for (;;) {
            size_t tab = Expands() ? text.find('\t', start) : std::string::npos;
            size_t end = tab == std::string::npos ? text.size() : tab;
            x += Extent(text.data() + start, int(end - start));
            if (tab == std::string::npos)
                return x;
            x = (x / m_tabWidth + 1) * m_tabWidth;
            start = tab + 1;
        }
    }

    // Draws a line with its left end at x (logical units) and its top at y.
    void Draw(const Line& line, int x, int y, const RECT* clip) const
    {
        UINT options = clip ? ETO_CLIPPED : 0;
        const std::string& text = line.text;
        int offset = 0;
        size_t start = 0;
        for (;;) {
            size_t tab = Expands() ? text.find('\t', start) : std::string::npos;
            size_t end = tab == std::string::npos ? text.size() : tab;
            if (end > start)
                ExtTextOut(m_hdc, x + m_xDir * offset, y, options, clip, text.data() + start, UINT(end - start), nullptr);
            offset += Extent(text.data() + start, int(end - start));
            if (tab == std::string::npos)
                break;
            offset = (offset / m_tabWidth + 1) * m_tabWidth;
            start = tab + 1;
        }
        if (line.mnemonic >= 0 && size_t(line.mnemonic) < text.size())
            Underline(line, x, y, clip);
    }

    void SetDirections(int xDir, int yDir)
    {
        m_xDir = xDir;
        m_yDir = yDir;
    }

private:
    bool Expands() const { return (m_format & DT_EXPANDTABS) != 0; }

    int Extent(const char* text, int count) const
    {
        SIZE size{0, 0};
        if (count > 0)
            GetTextExtentPoint32(m_hdc, text, count, &size);
        return size.cx;
    }

    // The mnemonic is drawn again over itself in the underlined face of the
    // same font, which underlines exactly that character.
    void Underline(const Line& line, int x, int y, const RECT* clip) const
    {
        HFONT current = (HFONT)GetCurrentObject(m_hdc, OBJ_FONT);
        LOGFONT lf{};
        if (!current || GetObject(current, sizeof(lf), &lf) == 0)
            return;
        lf.lfUnderline = TRUE;
        HFONT underlined = CreateFontIndirect(&lf);
        if (!underlined)
            return;
        int before = Measure(line.text.substr(0, size_t(line.mnemonic)));
        HGDIOBJ old = SelectObject(m_hdc, underlined);
        int mode = SetBkMode(m_hdc, TRANSPARENT);
        ExtTextOut(m_hdc, x + m_xDir * before, y, clip ? ETO_CLIPPED : 0, clip, line.text.data() + line.mnemonic, 1,
            nullptr);
        SetBkMode(m_hdc, mode);
        SelectObject(m_hdc, old);
        DeleteObject(underlined);
    }

    HDC m_hdc;
    UINT m_format;
    TEXTMETRIC m_tm{};
    int m_tabWidth;
    int m_xDir = 1;
    int m_yDir = 1;
};

// Removes the '&' prefixes: "&&" shows one '&', '&' before another
// character makes that character the mnemonic (the last one wins).
Line StripPrefixes(const std::string& text, bool prefixes)
{
    Line line;
    if (!prefixes) {
        line.text = text;
        return line;
    }
    line.text.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            line.text += text[i];
            continue;
        }
        if (i + 1 >= text.size())
            break;
        ++i;
        if (text[i] != '&')
            line.mnemonic = int(line.text.size());
        line.text += text[i];
    }
    return line;
}

Line Slice(const Line& line, size_t from, size_t to)
{
    Line part;
    part.text = line.text.substr(from, to - from);
    if (line.mnemonic >= int(from) && line.mnemonic < int(to))
        part.mnemonic = line.mnemonic - int(from);
    return part;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Greedy word wrap: as many whole words as fit in the width; the blanks at a
// break are dropped; a word wider than the width stays whole on its line.
void WrapLine(const Formatter& f, const Line& line, int width, std::vector<Line>& out)
{
    const std::string& s = line.text;
    size_t pos = 0;
    do {
        size_t fit = std::string::npos;
        size_t i = pos;
        while (i < s.size()) {
            size_t j = i;
            while (j < s.size() && IsBlank(s[j]))
                ++j;
            while (j < s.size() && !IsBlank(s[j]))
                ++j;
            if (fit != std::string::npos && f.Measure(s.substr(pos, j - pos)) > width)
                break;
            fit = j;
            i = j;
        }
        if (fit == std::string::npos)
            fit = s.size();
        out.push_back(Slice(line, pos, fit));
        pos = fit;
        while (pos < s.size() && IsBlank(s[pos]))
            ++pos;
    } while (pos < s.size());
}

// Shortens a line that is wider than the width: the end gives way to "...",
// or for a path the middle, keeping the last component.
void Ellipsize(const Formatter& f, Line& line, int width, UINT format)
{
    if (f.Measure(line.text) <= width)
        return;
    std::string tail;
    std::string head = line.text;
    if (format & DT_PATH_ELLIPSIS) {
        size_t slash = line.text.find_last_of("\\/");
        if (slash != std::string::npos && slash > 0) {
            tail = line.text.substr(slash);
            head = line.text.substr(0, slash);
        }
    }
    while (!head.empty() && f.Measure(head + kEllipsis + tail) > width)
        head.pop_back();
    if (head.empty() && !tail.empty() && f.Measure(kEllipsis + tail) > width) {
        // Not even the last component fits: shorten that from its end.
        std::string shortened = tail;
        while (!shortened.empty() && f.Measure(shortened + kEllipsis) > width)
            shortened.pop_back();
        line.text = shortened + kEllipsis;
    } else {
        line.text = head + kEllipsis + tail;
    }
    if (line.mnemonic >= int(head.size()))
        line.mnemonic = -1;
}

} // namespace

int DrawText(HDC hdc, LPCSTR lpchText, int cchText, LPRECT lprc, UINT format)
{
    DeviceContext* dc = platform::LookupDc(hdc);
    if (!dc)
        return 0;
    if (!lprc || cchText < -1 || (cchText != 0 && !lpchText)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t length = cchText == -1 ? strnlen(lpchText, size_t(platform::kMaxTextLength)) : size_t(cchText);
    if (length > size_t(platform::kMaxTextLength)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string text(lpchText ? lpchText : "", length);

    Formatter f(hdc, format);
    const TEXTMETRIC& tm = f.Metrics();
    // Lines run down the device whichever way the mapping turns the y axis.
    const int xDir = (dc->state.viewportExt.cx < 0) != (dc->state.windowExt.cx < 0) ? -1 : 1;
    const int yDir = (dc->state.viewportExt.cy < 0) != (dc->state.windowExt.cy < 0) ? -1 : 1;
    f.SetDirections(xDir, yDir);
    const int width = std::abs(lprc->right - lprc->left);
    const int height = std::abs(lprc->bottom - lprc->top);
    const int lineHeight = tm.tmHeight + ((format & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
    const bool singleLine = (format & DT_SINGLELINE) != 0;
    const bool prefixes = (format & DT_NOPREFIX) == 0;

    std::vector<Line> lines;
    if (singleLine) {
        lines.push_back(StripPrefixes(text, prefixes));
    } else {
        size_t start = 0;
        for (;;) {
            size_t brk = text.find_first_of("\r\n", start);
            std::string paragraph = text.substr(start, brk == std::string::npos ? std::string::npos : brk - start);
            Line line = StripPrefixes(paragraph, prefixes);
            if (format & DT_WORDBREAK)
                WrapLine(f, line, width, lines);
            else
                lines.push_back(std::move(line));
            if (brk == std::string::npos)
                break;
            start = brk + ((text[brk] == '\r' && brk + 1 < text.size() && text[brk + 1] == '\n') ? 2 : 1);
            if (start >= text.size())
                break;
        }
    }

    const int total = int(lines.size()) * lineHeight;
    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const Line& line : lines)
            widest = std::max(widest, f.Measure(line.text));
        lprc->right = lprc->left + xDir * widest;
        lprc->bottom = lprc->top + yDir * total;
        return total;
    }

    int y = lprc->top;
    int result = total;
    if (singleLine && (format & DT_BOTTOM)) {
        y = lprc->top + yDir * (height - lineHeight);
        result = height;
    } else if (singleLine && (format & DT_VCENTER)) {
        y = lprc->top + yDir * ((height - lineHeight) / 2);
        result = (height - lineHeight) / 2 + lineHeight;
    }

    UINT oldAlign = SetTextAlign(hdc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    RECT clip = *lprc;
    const RECT* clipRect = (format & DT_NOCLIP) ? nullptr : &clip;
    for (Line& line : lines) {
        if (format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS))
            Ellipsize(f, line, width, format);
        int lineWidth = f.Measure(line.text);
        int x = lprc->left;
        if (format & DT_CENTER)
            x = lprc->left + xDir * ((width - lineWidth) / 2);
        else if (format & DT_RIGHT)
            x = lprc->left + xDir * (width - lineWidth);
        f.Draw(line, x, y, clipRect);
        y += yDir * lineHeight;
    }
    SetTextAlign(hdc, oldAlign);
    return result;
}

int CDC::DrawText(const CString& str, LPRECT lpRect, UINT nFormat)
{
    return DrawText(str, str.GetLength(), lpRect, nFormat);
}
