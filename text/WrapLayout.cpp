// Word-wrap layout of a CWrapText: the text is cut into segments of one
// font and one colour, no longer than a word, which are placed left to right
// on lines that fit the layout rectangle; drawing, caret geometry and hit
// testing all read the line table the layout leaves.
//
// No width is kept between calls: every layout measures with the DC it is
// given, and the queries measure on a memory DC compatible with the screen
// with the fonts the last layout made.

#include "text/WrapText.h"
#include "text/WrapTextRuns.h"

#include "app/DeviceColors.h"
#include "app/RectGeometry.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObject.h"
#include "text/GlyphText.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace {

// Line tops and segment lefts stay well inside 32 bits even for the longest
// text of the tallest font at the widest spacing and the highest zoom, so
// that the offsets added to them later cannot overflow.
constexpr long long kMaxOffset = INT_MAX / 2;

// Walks a run list along the text as the layout moves forward: which run
// gives the value at a position and how far that value reaches. The specific
// runs never overlap, so sorted by start they are met in turn; the default
// run (0..end) fills the stretches between them.
template <class Run, class Value>
class RunCursor {
public:
    RunCursor(const Run* pHead, Value (*pfnValue)(const Run*))
    {
        int nGuard = 0;
        for (const Run* pRun = pHead; pRun != nullptr && nGuard <= kWrapTextEnd + 1; pRun = pRun->pNext, ++nGuard) {
            if (pRun->wStart == 0 && pRun->wEnd >= kWrapTextEnd) {
                if (!m_bHasDefault) {
                    m_default = pfnValue(pRun);
                    m_bHasDefault = true;
                }
                continue;
            }
            if (pRun->wEnd >= pRun->wStart)
                m_spans.push_back({pRun->wStart, pRun->wEnd, pfnValue(pRun)});
        }
        std::stable_sort(m_spans.begin(), m_spans.end(), [](const Span& a, const Span& b) { return a.nStart < b.nStart; });
    }

    // The value at p and the last position (inclusive) it reaches; p never
    // goes back.
    Value At(int p, int& nStretchEnd)
    {
        while (m_nNext < m_spans.size() && m_spans[m_nNext].nEnd < p)
            ++m_nNext;
        if (m_nNext < m_spans.size() && m_spans[m_nNext].nStart <= p) {
            nStretchEnd = m_spans[m_nNext].nEnd;
            return m_spans[m_nNext].value;
        }
        nStretchEnd = m_nNext < m_spans.size() ? m_spans[m_nNext].nStart - 1 : kWrapTextEnd;
        return m_default;
    }

private:
    struct Span {
        int nStart;
        int nEnd;
        Value value;
    };
    std::vector<Span> m_spans;
    size_t m_nNext = 0;
    Value m_default {};
    bool m_bHasDefault = false;
};

WrapFontRecord* FontOfRun(const WrapFontRun* pRun)
{
    return pRun->pFont;
}

COLORREF ColorOfRun(const WrapColorRun* pRun)
{
    return pRun->cr;
}

// A memory DC compatible with the screen, for the measuring of the queries.
class ScreenMeasureDC {
public:
    ScreenMeasureDC() { m_bOk = m_dc.CreateCompatibleDC(nullptr); }
    CDC* Get() { return m_bOk ? &m_dc : nullptr; }

private:
    CDC m_dc;
    BOOL m_bOk = FALSE;
};

// The extent of n characters in a font, leaving the DC's font as it was.
CSize MeasureIn(CDC* pDC, HFONT hFont, LPCTSTR psz, int n)
{
    if (pDC == nullptr || n <= 0)
        return CSize(0, 0);
    HGDIOBJ hOld = pDC->SelectObject(static_cast<HGDIOBJ>(hFont));
    const CSize size = pDC->GetTextExtent(psz, n);
    if (hOld != NULL)
        pDC->SelectObject(hOld);
    return size;
}

struct FontMetrics {
    int nHeight = 0;
    int nAscent = 0;
};

// The record's metrics, read from the DC (font selected) when the record
// has none, as for the stock font that stands in for a font not made.
FontMetrics MetricsOf(const WrapFontRecord* pRecord, CDC* pDC)
{
    FontMetrics m;
    if (pRecord != nullptr && pRecord->hFont != NULL && pRecord->nHeight > 0) {
        m.nHeight = pRecord->nHeight;
        m.nAscent = pRecord->nAscent;
        return m;
    }
    TEXTMETRIC tm = {};
    if (pDC != nullptr && pDC->GetTextMetrics(&tm)) {
        m.nHeight = tm.tmHeight;
        m.nAscent = tm.tmAscent;
    }
    return m;
}

// The characters of a stretch that are drawn: a line break ending it takes
// no room, or right-aligned lines that end in one would stop short of the
// edge their last line reaches.
int DrawnCount(LPCTSTR psz, int n)
{
    return n > 0 && psz[n - 1] == '\n' ? n - 1 : n;
}

// Measures the first characters of a stretch against the room left on a
// line (a stretch fits when its width is below the room). Widths grow with
// the characters, so probes of doubling length stop once one is too wide:
// a line of a long unbroken text costs about what the line holds, not what
// the rest of the text holds.
class PrefixFit {
public:
    PrefixFit(CDC* pDC, LPCTSTR psz, int nRoom)
        : m_pDC(pDC)
        , m_psz(psz)
        , m_nRoom(nRoom)
    {
    }

    // Whether all n characters fit; their width when they do.
    bool Fits(int n, int& nWidth)
    {
        for (int m = kFirstProbe; m < n; m *= 2) {
            if (!FitsPrefix(m))
                return false;
        }
        nWidth = Width(DrawnCount(m_psz, n));
        if (nWidth < m_nRoom)
            return true;
        m_nTooLong = std::min(m_nTooLong, n);
        return false;
    }

    // The most characters below n that fit, with their width: what taking
    // one character off at a time would reach. 0 when not one fits.
    int Longest(int n, int& nWidth)
    {
        int nLow = 0;
        int nHigh = std::min(n, m_nTooLong);
        while (nHigh - nLow > 1) {
            const int nMiddle = nLow + (nHigh - nLow) / 2;
            if (FitsPrefix(nMiddle))
                nLow = nMiddle;
            else
                nHigh = nMiddle;
        }
        nWidth = nLow > 0 ? Width(nLow) : 0;
        return nLow;
    }

private:
    static constexpr int kFirstProbe = 16;

    int Width(int n) const { return n > 0 ? m_pDC->GetTextExtent(m_psz, n).cx : 0; }
    bool FitsPrefix(int n)
    {
        if (n >= m_nTooLong)
            return false;
        if (Width(n) < m_nRoom)
            return true;
        m_nTooLong = n;
        return false;
    }

    CDC* m_pDC;
    LPCTSTR m_psz;
    int m_nRoom;
    int m_nTooLong = INT_MAX; // the fewest characters known not to fit
};

// The justification offset of segment k of a line of the given width.
int JustifyOffset(WORD wJustification, int nBoxWidth, int nLineWidth, int nSegments, int k)
{
    const int nSlack = nBoxWidth - nLineWidth;
    const int nGaps = nSegments > 1 ? nSegments - 1 : 1;
    switch (wJustification) {
    case 1:
        return nSlack;
    case 2:
        return nSlack / 2;
    case 3:
        return (nSlack / nGaps) * k + std::min(k, nSlack % nGaps);
    default:
        return 0;
    }
}

// The characters drawn as filled outlines from (x, y), turned about the
// centre of rect by minus nAngle and mirrored about rect's left (top) edge:
// what rotated and mirrored text needs, since text output draws neither.
void DrawOutlined(CDC* pDC, int x, int y, const CString& strChars, HFONT hFont, const CRect& rect, int nAngle,
    BOOL bMirrorX, BOOL bMirrorY)
{
    TEXTMETRIC tm = {};
    pDC->GetTextMetrics(&tm);
    const CSize extent = pDC->GetTextExtent(strChars);
    if (bMirrorX)
        x = 2 * rect.left - x - extent.cx;
    if (bMirrorY)
        y = 2 * rect.top - y - extent.cy;

    CRect box = rect;
    box.NormalizeRect();
    const POINT pivot = {box.left + (box.right - box.left) / 2, box.top + (box.bottom - box.top) / 2};

    // No outline pen: it would make every stroke a pixel bolder than the
    // same text drawn plainly.
    CBrush brush;
    if (!brush.CreateSolidBrush(pDC->GetTextColor()))
        return;
    HGDIOBJ hOldPen = pDC->SelectObject(::GetStockObject(NULL_PEN));
    CBrush* pOldBrush = pDC->SelectObject(&brush);

    int a = 0; // advance of the characters drawn so far
    auto mapPoint = [&](POINT& pt) {
        const int px = pt.x;
        const int py = pt.y;
        pt.x = bMirrorX ? x + extent.cx - a - px : x + a + px;
        pt.y = bMirrorY ? y + extent.cy - tm.tmAscent + py : y + tm.tmAscent - py;
    };

    GlyphDecorations decorations;
    const BOOL bDecorated = tm.tmUnderlined || tm.tmStruckOut;
    if (bDecorated)
        decorations.Read(hFont);

    GlyphPolygons glyph;
    CGlyphReader reader(hFont);
    const int nCount = strChars.GetLength();
    for (int i = 0; i < nCount; ++i) {
        const UINT nChar = static_cast<BYTE>(strChars[i]);
        GLYPHMETRICS gm = {};
        glyph.Clear();
        // An outline that cannot be read ends the text here rather than
        // leaving a gap the reader would take for a blank.
        if (!reader.Load(nChar, gm, glyph))
            break;
        if (gm.gmBlackBoxX == 0 && gm.gmCellIncX == 0)
            break;
        if (!glyph.points.empty()) {
            for (POINT& pt : glyph.points)
                mapPoint(pt);
            RotatePoints(pivot, glyph.points.data(), static_cast<int>(glyph.points.size()), -nAngle, FALSE);
            FillGlyphPolygons(pDC, glyph);
        }

        if (bDecorated) {
            decorations.DrawCharacter(pDC, gm, 0, 0, [&](POINT* pPoints, int n) {
                for (int k = 0; k < n; ++k)
                    mapPoint(pPoints[k]);
            }, pivot, -nAngle);
        }

        ABC abc = {};
        if (pDC->GetCharABCWidths(nChar, nChar, &abc))
            a += abc.abcA + static_cast<int>(abc.abcB) + abc.abcC;
        else
            a += gm.gmCellIncX;
    }

    pDC->SelectObject(hOldPen);
    pDC->SelectObject(pOldBrush);
}

} // namespace

// ---- Layout ------------------------------------------------------------------------------

BOOL CWrapText::IsBreakChar(char ch) const
{
    // Without word wrap and hyphenation any character may end a line.
    if (!m_pData->m_bWordWrap && !m_pData->m_bHyphenate)
        return TRUE;
    switch (ch) {
    case '\t':
    case '\n':
    case '\r':
    case ' ':
    case '!':
    case '|':
        return TRUE;
    default:
        return (ch >= 40 && ch <= 47) || (ch >= 58 && ch <= 63) || (ch >= 91 && ch <= 93);
    }
}

void CWrapText::Layout(CDC* pDC)
{
    CWrapData& data = *m_pData;
    ScreenMeasureDC screen;
    if (pDC == nullptr)
        pDC = screen.Get();
    if (pDC == nullptr)
        return;

    RefreshFonts(pDC);
    if (data.m_pLines == nullptr)
        data.m_pLines = new WrapLineTable;
    std::vector<WrapLine>& lines = data.m_pLines->lines;
    lines.clear();
    data.m_nLineCount = 0;

    const CString& strText = data.m_strText;
    const int nLength = std::min(strText.GetLength(), kWrapMaxLength);
    if (nLength == 0)
        return;
    LPCTSTR psz = strText;

    const int nAvailable = data.m_rectLayout.right - (data.m_bHyphenate ? 10 : 4);
    // The spacing is checked where it is set; one put in the data directly
    // must still not turn a line's advance into nonsense.
    const double dSpacing = data.m_dLineSpacing >= 0.1 && data.m_dLineSpacing <= 10.0 ? data.m_dLineSpacing : 1.0;

    int x = 0;
    long long y = 0;
    int nMaxAscent = 0;
    int nMaxHeight = 0;
    bool bLineOpen = false;
    std::vector<int> ascents; // of the open line's segments

    auto endLine = [&](bool bAdvance) {
        if (bLineOpen) {
            std::vector<WrapSegment>& segments = lines.back().segments;
            for (size_t i = 0; i < segments.size(); ++i) {
                const int nShift = nMaxAscent - ascents[i];
                segments[i].y += nShift;
                segments[i].nBaselineShift = nShift;
            }
        }
        if (!bAdvance)
            return;
        y = std::min(kMaxOffset, y + static_cast<long long>(nMaxHeight * dSpacing));
        x = 0;
        nMaxAscent = 0;
        nMaxHeight = 0;
        bLineOpen = false;
        ascents.clear();
    };

    auto place = [&](int p, int n, int nWidth, const FontMetrics& metrics, bool bEndsLine) {
        if (!bLineOpen) {
            WrapLine line;
            line.nTop = static_cast<int>(y);
            lines.push_back(std::move(line));
            bLineOpen = true;
        }
        WrapSegment segment;
        segment.wStart = static_cast<WORD>(p);
        segment.wLength = static_cast<WORD>(n);
        segment.x = x;
        segment.y = static_cast<int>(y);
        lines.back().segments.push_back(segment);
        ascents.push_back(metrics.nAscent);
        nMaxHeight = std::max(nMaxHeight, metrics.nHeight);
        nMaxAscent = std::max(nMaxAscent, metrics.nAscent);
        if (bEndsLine)
            endLine(true);
        else
            x = static_cast<int>(std::min<long long>(kMaxOffset, static_cast<long long>(x) + nWidth));
    };

    RunCursor<WrapFontRun, WrapFontRecord*> fonts(data.m_pFontRuns, FontOfRun);
    RunCursor<WrapColorRun, COLORREF> colors(data.m_pColorRuns, ColorOfRun);
    // A word, and the next line break, are found once and kept while the
    // layout moves through them: a long text cut into many segments is
    // not scanned again from each.
    int nWordEnd = 0;
    int nNextBreak = -1;
    int p = 0;
    while (p < nLength) {
        // The word: its letters, then the break characters after them, up to
        // and including a line break. From inside a word the same end holds.
        if (p >= nWordEnd) {
            int q = p;
            while (q < nLength && !IsBreakChar(psz[q]))
                ++q;
            while (q < nLength && IsBreakChar(psz[q])) {
                ++q;
                if (psz[q - 1] == '\n')
                    break;
            }
            nWordEnd = q;
        }
        const int w = std::max(1, nWordEnd - p);

        // The segment: no further than the word, the font run, the colour
        // run or the selection edge reach.
        int n = std::min(w, nLength - p);
        int nFontEnd = 0;
        int nColorEnd = 0;
        WrapFontRecord* pRecord = fonts.At(p, nFontEnd);
        colors.At(p, nColorEnd);
        n = std::min(n, std::max(1, nFontEnd - p + 1));
        n = std::min(n, std::max(1, nColorEnd - p + 1));
        if (data.m_wSelStart != kWrapNoSelection) {
            if (p < data.m_wSelStart)
                n = std::min(n, data.m_wSelStart - p);
            else if (p < data.m_wSelEnd)
                n = std::min(n, data.m_wSelEnd - p);
        }
        if (nNextBreak < p) {
            const void* pBreak = std::memchr(psz + p, '\n', nLength - p);
            nNextBreak = pBreak != nullptr ? static_cast<int>(static_cast<LPCTSTR>(pBreak) - psz) : nLength;
        }
        bool bEndsLine = false;
        if (nNextBreak < nLength && nNextBreak - p + 1 <= n) {
            n = nNextBreak - p + 1;
            bEndsLine = true;
        }

        HGDIOBJ hOld = pDC->SelectObject(static_cast<HGDIOBJ>(WrapRecordFont(pRecord)));
        const FontMetrics metrics = MetricsOf(pRecord, pDC);
        PrefixFit fit(pDC, psz + p, nAvailable - x);
        const int nTested = data.m_bWordWrap ? w : n;
        int nTestedWidth = 0;

        bool bRetry = false;
        if (fit.Fits(nTested, nTestedWidth)) {
            const int nWidth = nTested == n ? nTestedWidth : pDC->GetTextExtent(psz + p, DrawnCount(psz + p, n)).cx;
            place(p, n, nWidth, metrics, bEndsLine);
        } else {
            // Without word wrap the segment is shortened to what fits.
            int nWidth = 0;
            const int m = data.m_bWordWrap ? 0 : fit.Longest(n, nWidth);
            if (m > 0) {
                // The part that fits ends this line; the rest starts the next.
                n = m;
                place(p, n, nWidth, metrics, true);
            } else if (data.m_bWordWrap) {
                if (bLineOpen)
                    endLine(true);
                place(p, n, pDC->GetTextExtent(psz + p, DrawnCount(psz + p, n)).cx, metrics, bEndsLine);
            } else if (bLineOpen) {
                // Nothing fits behind what the line holds: measure again on
                // a line of its own, where the segment may be cut.
                endLine(true);
                bRetry = true;
            } else {
                // Not one character fits the box: one per line, so that the
                // text still advances.
                n = 1;
                place(p, n, pDC->GetTextExtent(psz + p, n).cx, metrics, true);
            }
        }
        if (hOld != NULL)
            pDC->SelectObject(hOld);
        if (!bRetry)
            p += n;
    }
    if (bLineOpen)
        endLine(false);
    data.m_nLineCount = static_cast<int>(lines.size());
    data.m_bLayoutStale = FALSE;
}

// ---- Line queries ------------------------------------------------------------------------

namespace {

// The lines the last layout left (none before one, or after the table was
// emptied by a change).
const std::vector<WrapLine>* LinesOf(const CWrapData* pData)
{
    if (pData == nullptr || pData->m_pLines == nullptr || pData->m_nLineCount <= 0)
        return nullptr;
    return &pData->m_pLines->lines;
}

int LineTotal(const CWrapData* pData)
{
    const std::vector<WrapLine>* pLines = LinesOf(pData);
    return pLines == nullptr ? 0 : std::min(pData->m_nLineCount, static_cast<int>(pLines->size()));
}

} // namespace

int CWrapText::GetLineCount() const
{
    return LineTotal(m_pData);
}

int CWrapText::GetLineTop(int nLine) const
{
    const int nLines = LineTotal(m_pData);
    if (nLine < 0)
        nLine = 0;
    if (nLine < nLines)
        return (*LinesOf(m_pData))[nLine].nTop;
    const WrapFontRecord* pDefault = GetFontRecordAt(-1);
    const int nDefaultHeight = pDefault != nullptr && pDefault->nHeight > 0 ? pDefault->nHeight : 24;
    if (nLines == 0)
        return nLine == 0 ? 0 : nDefaultHeight;
    return (*LinesOf(m_pData))[nLines - 1].nTop + nDefaultHeight;
}

int CWrapText::LineOfChar(int nPosition) const
{
    const int nLines = LineTotal(m_pData);
    if (nLines == 0)
        return 0;
    if (nPosition >= GetLength())
        return nLines - 1;
    const std::vector<WrapLine>& lines = *LinesOf(m_pData);
    int nFound = 0;
    for (int i = 0; i < nLines; ++i) {
        if (lines[i].segments.empty())
            continue;
        if (lines[i].segments.front().wStart > nPosition)
            break;
        nFound = i;
    }
    return nFound;
}

int CWrapText::GetLineStart(int nLine) const
{
    const int nLines = LineTotal(m_pData);
    if (nLines == 0)
        return GetLength();
    nLine = std::clamp(nLine, 0, nLines - 1);
    const WrapLine& line = (*LinesOf(m_pData))[nLine];
    return line.segments.empty() ? GetLength() : line.segments.front().wStart;
}

int CWrapText::GetLineEnd(int nLine) const
{
    const int nLines = LineTotal(m_pData);
    if (nLines == 0)
        return GetLength();
    nLine = std::clamp(nLine, 0, nLines - 1);
    const WrapLine& line = (*LinesOf(m_pData))[nLine];
    if (line.segments.empty())
        return GetLength();
    const WrapSegment& last = line.segments.back();
    const int nEnd = last.wStart + last.wLength;
    return nEnd > 0 && CharAt(nEnd - 1) == '\n' ? nEnd - 1 : nEnd;
}

namespace {

// The width of a line measured on the DC: the last segment's x and extent.
int MeasureLineWidth(const CWrapText& text, const WrapLine& line, CDC* pDC)
{
    if (line.segments.empty())
        return 0;
    const WrapSegment& last = line.segments.back();
    const CString& strText = text.GetData()->m_strText;
    const int nLength = strText.GetLength();
    if (last.wStart >= nLength)
        return last.x;
    LPCTSTR psz = strText;
    const int n = DrawnCount(psz + last.wStart, std::min<int>(last.wLength, nLength - last.wStart));
    return last.x + MeasureIn(pDC, WrapRecordFont(text.GetFontRecordAt(last.wStart)), psz + last.wStart, n).cx;
}

} // namespace

int CWrapText::GetLineWidth(int nLine, int* pnSegments) const
{
    if (pnSegments != nullptr)
        *pnSegments = 0;
    const int nLines = LineTotal(m_pData);
    if (nLine < 0 || nLine >= nLines)
        return 0;
    const WrapLine& line = (*LinesOf(m_pData))[nLine];
    if (pnSegments != nullptr)
        *pnSegments = static_cast<int>(line.segments.size());
    ScreenMeasureDC screen;
    return MeasureLineWidth(*this, line, screen.Get());
}

CSize CWrapText::CalcSize(CDC* pDC)
{
    Layout(pDC);
    const int nLines = LineTotal(m_pData);
    if (nLines == 0)
        return CSize(0, 0);
    ScreenMeasureDC screen;
    CDC* pMeasure = pDC != nullptr ? pDC : screen.Get();
    const std::vector<WrapLine>& lines = *LinesOf(m_pData);
    int nWidth = 0;
    for (int i = 0; i < nLines; ++i)
        nWidth = std::max(nWidth, MeasureLineWidth(*this, lines[i], pMeasure));
    int nBottom = lines[nLines - 1].nTop;
    for (const WrapSegment& segment : lines[nLines - 1].segments) {
        const WrapFontRecord* pRecord = GetFontRecordAt(segment.wStart);
        HGDIOBJ hOld = pMeasure != nullptr ? pMeasure->SelectObject(static_cast<HGDIOBJ>(WrapRecordFont(pRecord))) : NULL;
        nBottom = std::max(nBottom, lines[nLines - 1].nTop + MetricsOf(pRecord, pMeasure).nHeight);
        if (hOld != NULL)
            pMeasure->SelectObject(hOld);
    }
    return CSize(nWidth, nBottom);
}

// ---- Caret and hit testing ---------------------------------------------------------------

WrapCaret CWrapText::GetCaretPos(int nPosition) const
{
    WrapCaret caret;
    const WrapFontRecord* pDefault = GetFontRecordAt(-1);
    caret.nHeight = pDefault != nullptr && pDefault->nHeight > 0 ? pDefault->nHeight : 24;
    const int nLines = LineTotal(m_pData);
    if (nLines == 0 || nPosition < 0)
        return caret;

    ScreenMeasureDC screen;
    CDC* pDC = screen.Get();
    const std::vector<WrapLine>& lines = *LinesOf(m_pData);
    const CString& strText = m_pData->m_strText;
    LPCTSTR psz = strText;
    const int nLength = strText.GetLength();
    const int nBoxWidth = m_pData->m_rectLayout.Width();

    auto justify = [&](const WrapLine& line, int k) {
        const int nSegments = static_cast<int>(line.segments.size());
        return JustifyOffset(m_pData->m_wJustification, nBoxWidth, MeasureLineWidth(*this, line, pDC), nSegments, k);
    };
    auto heightOf = [&](const WrapFontRecord* pRecord) {
        HGDIOBJ hOld = pDC != nullptr ? pDC->SelectObject(static_cast<HGDIOBJ>(WrapRecordFont(pRecord))) : NULL;
        const int nHeight = MetricsOf(pRecord, pDC).nHeight;
        if (hOld != NULL)
            pDC->SelectObject(hOld);
        return nHeight;
    };

    if (nPosition < nLength) {
        const WrapLine& line = lines[LineOfChar(nPosition)];
        for (size_t k = 0; k < line.segments.size(); ++k) {
            const WrapSegment& segment = line.segments[k];
            if (nPosition < segment.wStart || nPosition >= segment.wStart + segment.wLength)
                continue;
            const WrapFontRecord* pRecord = GetFontRecordAt(segment.wStart);
            const HFONT hFont = WrapRecordFont(pRecord);
            caret.x = segment.x + MeasureIn(pDC, hFont, psz + segment.wStart, nPosition - segment.wStart).cx
                + justify(line, static_cast<int>(k));
            caret.y = segment.y;
            caret.nHeight = heightOf(pRecord);
            caret.nCharWidth = MeasureIn(pDC, hFont, psz + nPosition, 1).cx;
            caret.nBaselineShift = segment.nBaselineShift;
            return caret;
        }
        return caret;
    }

    // At or past the end: behind the last segment of the last line.
    const WrapLine* pLast = nullptr;
    for (int i = nLines - 1; i >= 0 && pLast == nullptr; --i) {
        if (!lines[i].segments.empty())
            pLast = &lines[i];
    }
    if (pLast == nullptr)
        return caret;
    const WrapSegment& segment = pLast->segments.back();
    const WrapFontRecord* pRecord = GetFontRecordAt(segment.wStart);
    const HFONT hFont = WrapRecordFont(pRecord);
    const int nSegmentLength = std::min<int>(segment.wLength, std::max(0, nLength - segment.wStart));
    caret.nHeight = heightOf(pRecord);
    caret.nBaselineShift = segment.nBaselineShift;
    caret.y = segment.y;
    if (nLength > 0 && strText[nLength - 1] == '\n') {
        // After a final line break the caret stands at the left of the
        // line that break opens.
        caret.x = 0;
        caret.y = segment.y - segment.nBaselineShift + MeasureIn(pDC, hFont, psz + nLength - 1, 1).cy;
        caret.nBaselineShift = 0;
        return caret;
    }
    caret.x = segment.x + MeasureIn(pDC, hFont, psz + segment.wStart, nSegmentLength).cx
        + justify(*pLast, static_cast<int>(pLast->segments.size()) - 1);
    return caret;
}

int CWrapText::CharFromPoint(int x, int y) const
{
    const int nLines = LineTotal(m_pData);
    if (nLines == 0)
        return 0;
    if (y < 0)
        y = 0;
    const std::vector<WrapLine>& lines = *LinesOf(m_pData);
    // The line the point lies on: the last whose top is at or above y.
    int nLine = 0;
    while (nLine + 1 < nLines && lines[nLine + 1].nTop <= y)
        ++nLine;

    ScreenMeasureDC screen;
    CDC* pDC = screen.Get();
    const CString& strText = m_pData->m_strText;
    LPCTSTR psz = strText;
    const int nLength = strText.GetLength();
    const int nBoxWidth = m_pData->m_rectLayout.Width();

    const WrapLine& line = lines[nLine];
    if (line.segments.empty())
        return GetLineStart(nLine);
    const int nSegments = static_cast<int>(line.segments.size());
    const int nLineWidth = MeasureLineWidth(*this, line, pDC);
    auto leftOf = [&](int k) {
        return line.segments[k].x
            + JustifyOffset(m_pData->m_wJustification, nBoxWidth, nLineWidth, nSegments, k);
    };

    // Left of the line's first segment (right or centred text) is the
    // line's start.
    if (x < leftOf(0))
        return std::min<int>(line.segments.front().wStart, nLength);
    int k = 0;
    while (k + 1 < nSegments && leftOf(k + 1) <= x)
        ++k;
    const WrapSegment& segment = line.segments[k];
    const int nStart = std::min<int>(segment.wStart, nLength);
    const int nCount = std::min<int>(segment.wLength, nLength - nStart);
    const HFONT hFont = WrapRecordFont(GetFontRecordAt(segment.wStart));
    const int dx = x - leftOf(k);

    HGDIOBJ hOld = pDC != nullptr ? pDC->SelectObject(static_cast<HGDIOBJ>(hFont)) : NULL;
    int nResult = -1;
    int nPrevious = 0;
    for (int i = 1; i <= nCount && pDC != nullptr; ++i) {
        const int nExtent = pDC->GetTextExtent(psz + nStart, i).cx;
        if (nExtent > dx) {
            // The character under x; its right half means the position
            // after it.
            const int nWidth = nExtent - nPrevious;
            nResult = nStart + i - 1 + (nExtent - dx <= nWidth / 2 ? 1 : 0);
            break;
        }
        nPrevious = nExtent;
    }
    if (hOld != NULL)
        pDC->SelectObject(hOld);
    if (nResult < 0) {
        // Right of the segment's characters: its end, but before a line
        // break, which belongs to the end of its line.
        nResult = nStart + nCount;
        if (nCount > 0 && psz[nStart + nCount - 1] == '\n')
            --nResult;
    }
    if (nResult > nLength)
        nResult = nLength;
    // The position after a line break stands on the next line.
    if (nResult > nStart && nResult == nStart + nCount && psz[nResult - 1] == '\n')
        --nResult;
    return nResult;
}

// ---- Drawing -----------------------------------------------------------------------------

void CWrapText::Draw(CDC* pDC, const CRect& rect, int nAngle, BOOL bMirrorX, BOOL bMirrorY)
{
    Draw(pDC, rect, 0, nAngle, bMirrorX, bMirrorY);
}

void CWrapText::Draw(CDC* pDC, const CRect& rect, int nFirstLine, int nAngle, BOOL bMirrorX, BOOL bMirrorY)
{
    if (pDC == nullptr || m_pData == nullptr || nFirstLine < 0)
        return;
    CWrapData& data = *m_pData;

    // The caller's flags say whether the text shows mirrored; on paper a
    // rectangle handed over reversed says so as well.
    if (pDC->IsPrinting()) {
        bMirrorX = bMirrorX || rect.left > rect.right;
        bMirrorY = bMirrorY || rect.top > rect.bottom;
    }
    CRect box = rect;
    box.NormalizeRect();
    if (data.m_rectLayout.left != 0 || data.m_rectLayout.top != 0 || data.m_rectLayout.right != box.Width()
        || data.m_rectLayout.bottom != box.Height())
        SetSize(box.Width(), box.Height());

    nAngle %= 360;
    // Text output can neither turn nor mirror; while an editor works on the
    // text it is drawn plainly, so the mirror does not move it out of the box.
    const BOOL bOutlined = !m_bEditing && (nAngle != 0 || bMirrorX || bMirrorY);
    if (!bOutlined) {
        bMirrorX = FALSE;
        bMirrorY = FALSE;
    }
    CRect swapped = box;
    if (bMirrorX)
        std::swap(swapped.left, swapped.right);
    if (bMirrorY)
        std::swap(swapped.top, swapped.bottom);
    const int xOrigin = swapped.left;
    const int yOrigin = swapped.top;

    const int nSaved = pDC->SaveDC();
    Layout(pDC);
    const int nLines = LineTotal(m_pData);
    if (nFirstLine >= nLines) {
        pDC->RestoreDC(nSaved);
        return;
    }
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextAlign(0);

    const std::vector<WrapLine>& lines = *LinesOf(m_pData);
    const CString& strText = data.m_strText;
    const int nLength = strText.GetLength();
    const int top0 = lines[nFirstLine].nTop;
    const int nLayoutBottom = data.m_rectLayout.bottom;
    const int nBoxWidth = data.m_rectLayout.Width();
    const COLORREF crSelectedText = data.m_crBackground;
    const COLORREF crSelectedBack = GetNearestScreenColor(~data.m_crBackground & 0x00FFFFFF, pDC);

    for (int nLine = nFirstLine; nLine < nLines; ++nLine) {
        const WrapLine& line = lines[nLine];
        if (line.segments.empty())
            continue;
        if (line.segments.front().y - top0 > nLayoutBottom)
            break;
        const int nSegments = static_cast<int>(line.segments.size());
        const int nLineWidth = MeasureLineWidth(*this, line, pDC);
        for (int k = 0; k < nSegments; ++k) {
            const WrapSegment& segment = line.segments[k];
            if (segment.wStart >= nLength)
                break;
            const WrapFontRecord* pRecord = GetFontRecordAt(segment.wStart);
            const HFONT hFont = WrapRecordFont(pRecord);
            HGDIOBJ hOld = pDC->SelectObject(static_cast<HGDIOBJ>(hFont));
            const int nHeight = MetricsOf(pRecord, pDC).nHeight;
            if (nHeight - top0 + segment.y > nLayoutBottom) {
                if (hOld != NULL)
                    pDC->SelectObject(hOld);
                break;
            }
            const COLORREF cr = GetColorAt(segment.wStart, TRUE);
            const BOOL bSelected = cr == static_cast<COLORREF>(-1);
            if (bSelected) {
                pDC->SetBkMode(OPAQUE);
                pDC->SetTextColor(crSelectedText);
                pDC->SetBkColor(crSelectedBack);
            } else {
                pDC->SetBkMode(TRANSPARENT);
                pDC->SetTextColor(cr);
            }
            const int x = xOrigin + segment.x + JustifyOffset(data.m_wJustification, nBoxWidth, nLineWidth, nSegments, k);
            const int y = yOrigin - top0 + segment.y;

            CString strChars = strText.Mid(segment.wStart, std::min<int>(segment.wLength, nLength - segment.wStart));
            // A word cut at the box's edge is marked as cut.
            if (data.m_bHyphenate && k == nSegments - 1 && nLine < nLines - 1 && !strChars.IsEmpty()
                && !IsBreakChar(strChars[strChars.GetLength() - 1]))
                strChars += '-';
            if (!strChars.IsEmpty() && strChars[strChars.GetLength() - 1] == '\n')
                strChars = strChars.Left(strChars.GetLength() - 1);
            if (!strChars.IsEmpty()) {
                if (bOutlined)
                    DrawOutlined(pDC, x, y, strChars, hFont, swapped, nAngle, bMirrorX, bMirrorY);
                else
                    pDC->TextOut(x, y, strChars);
            }
            if (bSelected)
                pDC->SetBkMode(TRANSPARENT);
            if (hOld != NULL)
                pDC->SelectObject(hOld);
        }
    }
    pDC->RestoreDC(nSaved);
}
