// Layout, fitting and drawing of block text. Everything here works in the
// device units of the DC it is given: the frame is mapped once, the font is
// made in device pixels (scaled by the zoom on a screen), and the DC draws
// in MM_TEXT while the block paints. A block is drawn as plain text output
// where the device can show it so, else as glyph outlines, else through an
// off-screen bitmap that a warp shape bends; only the bitmap is cached.

#include "text/TextBlock.h"

#include "app/BinarySearch.h"
#include "app/DcStateSaver.h"
#include "app/PrintPrefData.h"
#include "app/RectGeometry.h"
#include "model/WarpShape.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObject.h"
#include "platform/gdi/PreviewDc.h"
#include "text/GlyphText.h"
#include "text/TextBlockLines.h"
#include "text/TextOwner.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using textblock::IsLineBreak;
using textblock::LaidLine;
using textblock::SplitLaidLines;

constexpr char kLF = '\n';
constexpr char kCR = '\r';
constexpr char kFF = '\f';

// Fonts taller than this many pixels are of no use on any device and make
// the font engine slow; a huge zoom or DC resolution stops here.
constexpr long long kMaxPixelHeight = 20000;
// Margins come from files and attribute records: kept to a sane width.
constexpr int kMaxMargin = 4096;
// The bitmap rendering is made only for frames at least this big.
constexpr int kMinBitmapSide = 5;
// How many pixel columns of the bent bitmap pass between two looks at the
// message queue while printing.
constexpr int kWarpPumpEvery = 120;
// The bent bitmap and the text bitmap it is bent from hold at most this
// many pixels (a text or a frame beyond that is not drawn as a bitmap).
constexpr long long kMaxWarpPixels = 1LL << 25;
// Source pixels looked at for one pixel of the bent bitmap, along each
// axis; a larger shrink skips evenly over the rest.
constexpr int kMaxWarpSamples = 8;

bool IsBreakChar(char ch)
{
    return ch != '\0' && std::strchr(kTextBlockBreakChars, ch) != nullptr;
}

int ClampInt(long long v)
{
    return static_cast<int>(std::clamp<long long>(v, INT_MIN / 2, INT_MAX / 2));
}

// MulDiv's rounding (half away from zero) in 64 bits.
long long MulDiv64(long long a, long long b, long long c)
{
    if (c == 0)
        return 0;
    const long long p = a * b;
    long long q = p / c;
    if (2 * std::llabs(p % c) >= std::llabs(c))
        q += (p < 0) != (c < 0) ? -1 : 1;
    return q;
}

int MarginOf(int nMargin)
{
    return std::clamp(nMargin, 0, kMaxMargin);
}

int ColumnsOf(const CTextBlock& block)
{
    return std::clamp(block.m_nColumns, 1, kTextBlockMaxColumns);
}

// The block's font selected on a DC for a scope.
class FontScope {
public:
    FontScope(CDC* pDC, CFont* pFont)
        : m_pDC(pDC)
    {
        if (pDC != nullptr && pFont != nullptr && pFont->GetSafeHandle() != NULL)
            m_hOld = pDC->SelectObject(pFont->GetSafeHandle());
    }
    ~FontScope()
    {
        if (m_hOld != NULL)
            m_pDC->SelectObject(m_hOld);
    }
    FontScope(const FontScope&) = delete;
    FontScope& operator=(const FontScope&) = delete;

private:
    CDC* m_pDC;
    HGDIOBJ m_hOld = NULL;
};

// The DC draws in its device units from here on (the caller's state saver
// puts the mapping back).
void UseDeviceUnits(CDC* pDC)
{
    pDC->SetMapMode(MM_TEXT);
    pDC->SetWindowOrg(0, 0);
    pDC->SetViewportOrg(0, 0);
}

// A logical extent in device units by the mapping's scale alone; 0 when the
// mapping has no scale to give.
LONG ScaledExtent(LONG nLogical, LONG nViewport, LONG nWindow)
{
    if (nWindow == 0)
        return 0;
    const double d = std::fabs(static_cast<double>(nLogical) * nViewport / nWindow);
    return d < 1e9 ? static_cast<LONG>(std::llround(d)) : 0;
}

// A logical rectangle in device units, normalised, with the flips its
// corners carry. Its size comes from the mapping's scale, not from its
// rounded corners, so that a frame measures the same wherever the page
// lies on the pixel grid: the text fitted to it (and the scale the design
// stores) does not change when the view scrolls by a fraction of a pixel.
CRect ToDevice(CDC* pDC, const CRect& rect, BOOL* pbMirrorH = nullptr, BOOL* pbMirrorV = nullptr)
{
    POINT pts[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
    pDC->LPtoDP(pts, 2);
    if (pbMirrorH != nullptr)
        *pbMirrorH = pts[0].x > pts[1].x;
    if (pbMirrorV != nullptr)
        *pbMirrorV = pts[0].y > pts[1].y;
    CRect device(pts[0].x, pts[0].y, pts[1].x, pts[1].y);
    device.NormalizeRect();
    const CSize viewport = pDC->GetViewportExt();
    const CSize window = pDC->GetWindowExt();
    const LONG cx = ScaledExtent(rect.Width(), viewport.cx, window.cx);
    const LONG cy = ScaledExtent(rect.Height(), viewport.cy, window.cy);
    // Only a rounding's worth: a mapping whose extents do not give its
    // scale keeps the corners' size.
    if (cx > 0 && std::abs(cx - device.Width()) <= 1)
        device.right = device.left + cx;
    if (cy > 0 && std::abs(cy - device.Height()) <= 1)
        device.bottom = device.top + cy;
    return device;
}

int ScreenZoom(const CTextBlock& block, CDC* pDC)
{
    return pDC->IsPrinting() ? 100 : TextOwnerZoom(block.m_pOwner);
}

CSize ExtentOf(CDC* pDC, const CString& str, int nStart, int nEnd)
{
    if (nEnd <= nStart)
        return CSize(0, pDC->GetTextExtent(" ", 1).cy);
    return pDC->GetTextExtent(static_cast<LPCTSTR>(str) + nStart, nEnd - nStart);
}

// How many characters from nStart (at most nEnd) fit in nWidth pixels.
// The text is laid out in growing windows, so a long paragraph is not
// measured whole for every line cut from it.
int FitCount(CDC* pDC, const CString& str, int nStart, int nEnd, int nWidth)
{
    const int nTotal = nEnd - nStart;
    // Most lines are short: start small, so that a narrow column does not
    // lay out hundreds of characters for every line of one or two.
    int nWindow = std::min(nTotal, 32);
    for (;;) {
        int nFit = 0;
        SIZE size{};
        if (!::GetTextExtentExPoint(
                pDC->GetSafeHdc(), static_cast<LPCTSTR>(str) + nStart, nWindow, std::max(0, nWidth), &nFit, nullptr, &size))
            return nWindow;
        if (nFit < nWindow || nWindow == nTotal)
            return nFit;
        nWindow = static_cast<int>(std::min<long long>(nTotal, 2LL * nWindow));
    }
}

// Keeps the caret and the anchor on their characters while soft breaks are
// taken out of and put into the laid text.
struct PositionMap {
    int nCaret;
    int nAnchor;
    void Removed(int nAt)
    {
        if (nAt < nCaret)
            --nCaret;
        if (nAt < nAnchor)
            --nAnchor;
    }
    // A character put in at nAt (a position of the text before it).
    void Inserted(int nAt)
    {
        if (nAt <= nCaret)
            ++nCaret;
        if (nAt <= nAnchor)
            ++nAnchor;
    }
};

// The text from nStart on without soft breaks; the map follows.
CString StripSoftBreaks(const CString& str, int nStart, PositionMap& map)
{
    CString result = str.Left(nStart);
    const int n = str.GetLength();
    for (int i = nStart; i < n; ++i) {
        const char ch = str[i];
        if (ch == kCR || ch == kFF) {
            map.Removed(result.GetLength());
            continue;
        }
        result += ch;
    }
    return result;
}

// A rectangle of one column: column nIndex (0-based) of nColumns, from the
// left or, mirrored, from the right.
CRect ColumnRect(const CRect& rect, int nIndex, int nColumns, int nWidth, int nGap, BOOL bFromRight)
{
    if (nColumns <= 1)
        return rect;
    const long long nStep = static_cast<long long>(nWidth) + nGap;
    long long left = rect.left + nStep * nIndex;
    if (bFromRight)
        left = static_cast<long long>(rect.right) - nStep * nIndex - nWidth;
    return CRect(ClampInt(left), rect.top, ClampInt(left + nWidth), rect.bottom);
}

} // namespace

// ---- Font ------------------------------------------------------------------------------------

void CTextBlock::MakeFont(CDC* pDC)
{
    if (pDC == nullptr || pDC->m_hAttribDC == NULL)
        return;
    const long long ppi = std::max(1, pDC->GetDeviceCaps(LOGPIXELSY));
    const long long zoom = ScreenZoom(*this, pDC);
    long long height = 0;
    if (m_nFixedPixelHeight != 0) {
        // A height found on one device keeps its size on another.
        height = m_nFixedPixelHeight;
        const long long base = ppi * zoom;
        if (m_nFixedPixelBase > 0 && base != m_nFixedPixelBase)
            height = MulDiv64(height, base, m_nFixedPixelBase);
    } else {
        const int nStored = IsFixedSize() ? m_nFittedHeight : m_logfont.lfHeight;
        // Sizes are character heights of 1..999 points whatever their sign.
        const long long points = -std::clamp<long long>(std::llabs(static_cast<long long>(nStored)), kTextBlockMinPoints,
            kTextBlockMaxPoints);
        height = MulDiv64(MulDiv64(ppi, points, 72), zoom, 100);
    }
    height = std::clamp<long long>(height, -kMaxPixelHeight, -1);

    LOGFONT lf = m_logfont;
    lf.lfHeight = static_cast<LONG>(height);
    lf.lfWidth = 0;
    // Text is turned by the block, never by the font.
    lf.lfEscapement = 0;
    lf.lfOrientation = 0;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfFaceName[sizeof(lf.lfFaceName) - 1] = '\0';
    BYTE nCharSet = DEFAULT_CHARSET;
    if (TextFontCharSet(lf.lfFaceName, nCharSet))
        lf.lfCharSet = nCharSet;
    auto pFont = std::make_unique<CFont>();
    if (!pFont->CreateFontIndirect(&lf))
        return;
    delete m_pFont;
    m_pFont = pFont.release();
    m_bFontMade = TRUE;
}

void CTextBlock::PrepareFont(CSurface* pView)
{
    // The owner's view prepares the DC through the text services; the
    // font depends only on its resolution and the view's zoom.
    (void)pView;
    CDC dc;
    if (!dc.CreateCompatibleDC(nullptr))
        return;
    TextPrepareViewDC(m_pOwner, &dc);
    MakeFont(&dc);
}

// ---- Measuring and columns -------------------------------------------------------------------

int CTextBlock::GetLineHeight(CDC* pDC)
{
    FontScope font(pDC, m_pFont);
    return std::max<int>(1, pDC->GetTextExtent(" ", 1).cy);
}

CSize CTextBlock::MeasureText(CDC* pDC, int nMinWidth)
{
    FontScope font(pDC, m_pFont);
    const long long nLineHeight = std::max<int>(1, pDC->GetTextExtent(" ", 1).cy);
    const CString& str = GetLaidText();
    const std::vector<LaidLine> lines = SplitLaidLines(str);
    long long width = 0;
    for (const LaidLine& line : lines) {
        if (line.nEnd > line.nStart)
            width = std::max<long long>(width, ExtentOf(pDC, str, line.nStart, line.nEnd).cx);
    }
    const long long nLines = std::max<long long>(1, static_cast<long long>(lines.size()));
    const int nColumns = ColumnsOf(*this);
    const long long height = nColumns > 1 ? (nLines + nColumns - 1) / nColumns * nLineHeight : nLines * nLineHeight;
    // Columns stand side by side, each as wide as the widest line, so that
    // a fitted block's lines keep to their own column.
    if (nColumns > 1)
        width = width * nColumns + static_cast<long long>(GetColumnGap(pDC)) * (nColumns - 1);
    if (nMinWidth > width && !IsFixedSize()) {
        switch (m_nShape != 0 ? 0 : m_nAlignment) {
        case 1:
        case 3:
            width = nMinWidth;
            break;
        case 2:
            width += (nMinWidth - width) / 2;
            break;
        default:
            break;
        }
    }
    width += MarginOf(m_nLeftMargin);
    return CSize(ClampInt(width), ClampInt(height));
}

CString CTextBlock::NextColumnText(int nColumn) const
{
    if (nColumn < 1)
        return CString();
    const CString& str = GetLaidText();
    const int n = str.GetLength();
    int nStart = 0;
    for (int k = 1; k < nColumn; ++k) {
        const int nFeed = str.Find(kFF, nStart);
        if (nFeed < 0)
            return CString();
        nStart = nFeed + 1;
    }
    int nEnd = str.Find(kFF, nStart);
    if (nEnd < 0)
        nEnd = n;
    return str.Mid(nStart, nEnd - nStart);
}

int CTextBlock::CountTextColumns() const
{
    const CString& str = GetLaidText();
    int n = 1;
    for (int i = 0; i < str.GetLength(); ++i)
        n += str[i] == kFF ? 1 : 0;
    return n;
}

int CTextBlock::CountTextLines() const
{
    return static_cast<int>(SplitLaidLines(GetLaidText()).size());
}

int CTextBlock::GetColumnGap(CDC* pDC) const
{
    return std::max(0, pDC->GetDeviceCaps(LOGPIXELSX)) / 5;
}

int CTextBlock::GetColumnWidth(CDC* pDC, int nFrameWidth) const
{
    const int nColumns = ColumnsOf(*this);
    if (nColumns < 2)
        return nFrameWidth;
    return ClampInt((static_cast<long long>(nFrameWidth) - static_cast<long long>(GetColumnGap(pDC)) * (nColumns - 1))
        / nColumns);
}

// ---- Wrapping --------------------------------------------------------------------------------

void CTextBlock::WrapLines(CDC* pDC, const CRect& rectFrame)
{
    if (pDC == nullptr)
        return;
    FontScope font(pDC, m_pFont);
    const CString& old = GetLaidText();
    PositionMap map{std::clamp(m_nCaret, 0, old.GetLength()), std::clamp(m_nAnchor, 0, old.GetLength())};

    // While editing, what lies before the line above the caret stays laid.
    int nFrom = 0;
    if (m_bEditing) {
        auto lineStart = [&old](int p) {
            while (p > 0 && !IsLineBreak(old[p - 1]))
                --p;
            return p;
        };
        nFrom = lineStart(map.nCaret);
        if (nFrom > 0)
            nFrom = lineStart(nFrom - 1);
    }
    int nColumn = 1;
    int nRows = 1;
    for (int i = 0; i < nFrom; ++i) {
        if (old[i] == kFF) {
            ++nColumn;
            nRows = 1;
        } else if (old[i] == kLF || old[i] == kCR) {
            ++nRows;
        }
    }

    const CString text = StripSoftBreaks(old, nFrom, map);
    const int nColumns = ColumnsOf(*this);
    const int nColumnWidth = GetColumnWidth(pDC, rectFrame.Width());
    int nAvailable = nColumnWidth - MarginOf(m_nLeftMargin) - MarginOf(m_nRightMargin);
    if (nAvailable < 1)
        nAvailable = nColumnWidth;
    const long long nLineHeight = std::max<int>(1, pDC->GetTextExtent(" ", 1).cy);
    const long long nColumnHeight = rectFrame.Height();
    // Whether the line after the current one still fits in this column.
    auto nextFits = [&] { return (nRows + 1) * nLineHeight <= nColumnHeight || nColumn >= nColumns; };

    CString result = text.Left(nFrom);
    PositionMap moved = map;
    const int n = text.GetLength();
    int i = nFrom;
    for (;;) {
        int nParagraphEnd = text.Find(kLF, i);
        if (nParagraphEnd < 0)
            nParagraphEnd = n;
        int pos = i;
        while (pos < nParagraphEnd) {
            const int nFit = FitCount(pDC, text, pos, nParagraphEnd, nAvailable);
            if (pos + nFit >= nParagraphEnd) {
                result += text.Mid(pos, nParagraphEnd - pos);
                break;
            }
            const int nOver = pos + nFit;
            // Back to the last break character; a blank that overflows
            // still ends its line, where it takes no room.
            int nBreak = -1;
            for (int k = nOver; k >= pos; --k) {
                if (IsBreakChar(text[k]) && (k < nOver || text[k] == ' ')) {
                    nBreak = k;
                    break;
                }
            }
            int nLineEnd = nBreak >= 0 ? nBreak + 1 : nOver;
            // Every line takes at least one character, however narrow the
            // column: else a wide character would break for ever.
            nLineEnd = std::max(nLineEnd, pos + 1);
            while (nLineEnd < nParagraphEnd && text[nLineEnd] == ' ')
                ++nLineEnd;
            result += text.Mid(pos, nLineEnd - pos);
            if (nLineEnd >= nParagraphEnd)
                break;
            if (nextFits()) {
                result += kCR;
                ++nRows;
            } else {
                result += kFF;
                ++nColumn;
                nRows = 1;
            }
            moved.Inserted(nLineEnd);
            pos = nLineEnd;
        }
        if (nParagraphEnd >= n)
            break;
        result += kLF;
        if (nextFits()) {
            ++nRows;
        } else {
            result += kFF;
            moved.Inserted(nParagraphEnd + 1);
            ++nColumn;
            nRows = 1;
        }
        i = nParagraphEnd + 1;
    }
    SetLaidText(result);
    m_nCaret = std::clamp(moved.nCaret, 0, GetLength());
    m_nAnchor = std::clamp(moved.nAnchor, 0, GetLength());
}

namespace {

// A fitted block keeps its hard lines and is spread over its columns evenly:
// a column break after every ceil(lines / columns) lines.
void LayForFitting(CTextBlock& block)
{
    const CString& old = block.GetLaidText();
    PositionMap map{std::clamp(block.m_nCaret, 0, old.GetLength()), std::clamp(block.m_nAnchor, 0, old.GetLength())};
    const CString text = StripSoftBreaks(old, 0, map);
    const int nColumns = ColumnsOf(block);
    CString result;
    if (nColumns > 1) {
        int nLines = 1;
        for (int i = 0; i < text.GetLength(); ++i)
            nLines += text[i] == kLF ? 1 : 0;
        const int nPerColumn = (nLines + nColumns - 1) / nColumns;
        int nLine = 0;
        for (int i = 0; i < text.GetLength(); ++i) {
            result += text[i];
            if (text[i] != kLF)
                continue;
            ++nLine;
            if (nLine % nPerColumn == 0 && nLine / nPerColumn < nColumns) {
                result += kFF;
                map.Inserted(i + 1);
            }
        }
    } else {
        result = text;
    }
    if (result == old)
        return;
    block.SetLaidText(result);
    block.m_nCaret = std::clamp(map.nCaret, 0, block.GetLength());
    block.m_nAnchor = std::clamp(map.nAnchor, 0, block.GetLength());
}

} // namespace

// ---- Fitting ---------------------------------------------------------------------------------

CSize CTextBlock::FitText(CDC* pDC, const CRect& rectFrame)
{
    if (pDC == nullptr)
        return CSize(1, 1);
    MakeFont(pDC);
    const CSize frame(rectFrame.Width(), rectFrame.Height());
    if (m_nShape == 0 && (m_wFlags & (TEXTBLOCK_RENDER_STALE | TEXTBLOCK_LAYOUT_STALE))
            == (TEXTBLOCK_RENDER_STALE | TEXTBLOCK_LAYOUT_STALE)) {
        m_wFlags &= ~WORD(TEXTBLOCK_LAYOUT_STALE);
        if (m_wFlags & TEXTBLOCK_KEEP_PROPORTION) {
            KeepScale(pDC, rectFrame);
            m_wFlags &= ~WORD(TEXTBLOCK_KEEP_PROPORTION);
        } else {
            WrapLines(pDC, rectFrame);
        }
    }
    if (IsFixedSize())
        LayForFitting(*this);
    CSize size = MeasureText(pDC, 0);
    if (frame.cx == 0 || frame.cy == 0)
        return CSize(1, 1);

    if (IsFixedSize()) {
        m_nFixedPixelHeight = 0;
        int nMeasuredAt = 0;
        CSize sizeMeasured;
        auto measureAt = [&](int nPoints) {
            if (nPoints != nMeasuredAt) {
                m_nFittedHeight = -nPoints;
                MakeFont(pDC);
                sizeMeasured = MeasureText(pDC, 0);
                nMeasuredAt = nPoints;
            }
            return sizeMeasured;
        };
        auto overflows = [&](const CSize& s) { return s.cx > frame.cx || s.cy > frame.cy; };
        // The size sought is the largest that fits, the exact fit when there
        // is one. It is looked for near the size the text's proportion to
        // the frame suggests, so that a first drawing takes a handful of
        // measures and a repeated one two.
        const int nLast = std::clamp(-m_nFittedHeight, kTextBlockMinPoints, kTextBlockMaxPoints);
        size = measureAt(nLast);
        int nGuess = nLast;
        if (size.cx > 0 && size.cy > 0) {
            const double ratio = std::min(double(frame.cx) / size.cx, double(frame.cy) / size.cy);
            nGuess = static_cast<int>(std::clamp(std::floor(nLast * ratio), double(kTextBlockMinPoints),
                double(kTextBlockMaxPoints)));
        }
        auto fits = [&](int nPoints) { return !overflows(measureAt(nPoints)); };
        int nGood = 0; // the largest size known to fit, 0 for none
        int nBad = kTextBlockMaxPoints + 1; // the smallest size known to overflow
        if (fits(nGuess)) {
            nGood = nGuess;
            for (int nStride = 1; nGood < kTextBlockMaxPoints;) {
                const int nNext = std::min(kTextBlockMaxPoints, nGood + nStride);
                if (!fits(nNext)) {
                    nBad = nNext;
                    break;
                }
                nGood = nNext;
                nStride *= 2;
            }
        } else {
            nBad = nGuess;
            for (int nStride = 1; nBad > kTextBlockMinPoints;) {
                const int nNext = std::max(kTextBlockMinPoints, nBad - nStride);
                if (fits(nNext)) {
                    nGood = nNext;
                    break;
                }
                nBad = nNext;
                nStride *= 2;
            }
        }
        if (nGood > 0) {
            CBinarySearch search(nGood, nBad);
            int nMiddle = search.GetMiddle();
            while (nBad - nGood > 1) {
                const BOOL bFits = fits(nMiddle);
                if (bFits)
                    nGood = nMiddle;
                else
                    nBad = nMiddle;
                if (search.Narrow(nMiddle, bFits ? 1 : -1))
                    break;
            }
        }
        // Nothing fits: the smallest size it is.
        size = measureAt(std::max(nGood, kTextBlockMinPoints));
    }
    m_dScaleX = static_cast<double>(size.cx) / frame.cx;
    m_dScaleY = static_cast<double>(size.cy) / frame.cy;

    if (m_nShape != 0) {
        m_dWarpStretchX = size.cx < 1 ? 1.0 : static_cast<double>(frame.cx) / size.cx;
        m_dWarpStretchY = 0.0;
    }
    if (m_bEditing)
        UpdateCaret(FALSE);
    return size;
}

CSize CTextBlock::KeepScale(CDC* pDC, const CRect& rectFrame)
{
    if (pDC == nullptr)
        return CSize(1, 1);
    const double fw = std::max(1, rectFrame.Width());
    const double fh = std::max(1, rectFrame.Height());
    const double sx = std::isfinite(m_dScaleX) && m_dScaleX > 0 ? m_dScaleX : 1.0;
    const double sy = std::isfinite(m_dScaleY) && m_dScaleY > 0 ? m_dScaleY : 1.0;
    const long long ppi = std::max(1, pDC->GetDeviceCaps(LOGPIXELSY));
    const long long zoom = ScreenZoom(*this, pDC);
    const long long base = ppi * zoom;

    long long height = m_nFixedPixelHeight;
    if (height != 0 && m_nFixedPixelBase > 0 && base != m_nFixedPixelBase)
        height = MulDiv64(height, base, m_nFixedPixelBase);
    if (height == 0)
        height = MulDiv64(MulDiv64(ppi, -std::llabs(static_cast<long long>(m_logfont.lfHeight)), 72), zoom, 100);
    // The tallest font the block makes: 999 points on this device.
    const long long limit = -std::min(kMaxPixelHeight, std::max(1LL, MulDiv64(MulDiv64(ppi, kTextBlockMaxPoints, 72), zoom, 100)));
    height = std::clamp(height, limit, -1LL);

    auto measureAt = [&](long long h) {
        m_nFixedPixelHeight = static_cast<int>(h);
        m_nFixedPixelBase = static_cast<int>(std::min<long long>(base, INT_MAX));
        MakeFont(pDC);
        return MeasureText(pDC, 0);
    };
    auto measurable = [](const CSize& s) { return s.cx >= 1 && s.cy >= 1; };
    auto below = [&](const CSize& s) { return s.cx / fw < sx && s.cy / fh < sy; };
    auto above = [&](const CSize& s) { return s.cx / fw > sx || s.cy / fh > sy; };
    // The height moves a pixel at a time while a condition holds; the last
    // height where it held is found by galloping and then halving, so that
    // a scale far from the text's size costs a few dozen measures, not
    // thousands.
    auto walk = [&](long long from, long long step, long long bound, auto holds) {
        long long good = from;
        long long bad = 0;
        BOOL bFailed = FALSE;
        for (long long stride = 1; good != bound;) {
            const long long next = step < 0 ? std::max(bound, good - stride) : std::min(bound, good + stride);
            if (!holds(next)) {
                bad = next;
                bFailed = TRUE;
                break;
            }
            good = next;
            stride *= 2;
        }
        while (bFailed && std::llabs(bad - good) > 1) {
            const long long middle = good + (bad - good) / 2;
            if (holds(middle))
                good = middle;
            else
                bad = middle;
        }
        return good;
    };

    CSize size = measureAt(height);
    if (!measurable(size))
        return CSize(1, 1);
    if (below(size)) {
        height = walk(height, -1, limit, [&](long long h) {
            const CSize s = measureAt(h);
            return measurable(s) && below(s);
        });
        size = measureAt(height);
    }
    if (above(size) && height < -1) {
        const long long last = walk(height, 1, -1, [&](long long h) { return above(measureAt(h)); });
        height = last < -1 ? last + 1 : -1;
        size = measureAt(height);
    }
    return size;
}

CSize CTextBlock::CalcSize(CDC* pDC)
{
    if (!m_bFontMade)
        return CSize(200, 200);
    CDC memory;
    if (pDC == nullptr) {
        if (!memory.CreateCompatibleDC(nullptr))
            return CSize(200, 200);
        pDC = &memory;
    }
    MakeFont(pDC);
    return MeasureText(pDC, 0);
}

CRect CTextBlock::GetRotatedBounds()
{
    if (m_nAngle == 360)
        m_nAngle = 0;
    m_nAngle = ((m_nAngle % 360) + 360) % 360;
    const CRect& f = m_rectFrame;
    m_ptCorners[0] = POINT{f.left, f.top};
    m_ptCorners[1] = POINT{f.right, f.top};
    m_ptCorners[2] = POINT{f.right, f.bottom};
    m_ptCorners[3] = POINT{f.left, f.bottom};
    if (m_nAngle == 0)
        return f;
    const POINT pivot{ClampInt(f.left + (static_cast<long long>(f.right) - f.left) / 2),
        ClampInt(f.top + (static_cast<long long>(f.bottom) - f.top) / 2)};
    RotatePoints(pivot, m_ptCorners, 4, m_nAngle, FALSE);
    LONG minX = m_ptCorners[0].x, maxX = minX, minY = m_ptCorners[0].y, maxY = minY;
    for (const POINT& p : m_ptCorners) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    // The bounds keep the frame's own orientation, flips included.
    return CRect(f.left <= f.right ? minX : maxX, f.top <= f.bottom ? minY : maxY, f.left <= f.right ? maxX : minX,
        f.top <= f.bottom ? maxY : minY);
}

// ---- Drawing ---------------------------------------------------------------------------------

BOOL CTextBlock::IsPlainPrintingAllowed()
{
    // The regular-text method of the printing preferences: automatic and
    // print direct send text output to the printer, "create bitmap" not.
    return (thePrintPrefs.Printing & (PRINT_PREF_TEXT_AUTO | PRINT_PREF_TEXT_DIRECT)) != 0;
}

void CTextBlock::Draw(CDC* pDC, CRgn* pClipRgn)
{
    if (pDC == nullptr || pDC->GetSafeHdc() == NULL || m_nRenderGuard != 0)
        return;
    const BOOL bPrinting = pDC->IsPrinting();
    if (m_pCachedBitmap != nullptr || m_pCachedPicture != nullptr) {
        const BOOL bSameDevice = ((m_wFlags & TEXTBLOCK_PRINTER_CACHE) != 0) == bPrinting;
        const BOOL bWorthKeeping = IsFixedSize() || m_nShape != 0 || ScreenZoom(*this, pDC) != 100;
        // A scroll moves the frame on the device; any other change of its
        // device size (a new zoom, another printer) needs a new rendering.
        const CRect device = ToDevice(pDC, m_rectFrame);
        const BOOL bSameSize = device.Size() == m_rectDevice.Size();
        if (bSameDevice && bWorthKeeping && bSameSize && m_nAngle == 0)
            m_rectDevice = device;
        else
            FreeCache();
    } else if (!(IsFixedSize() || m_nShape != 0 || ScreenZoom(*this, pDC) != 100)) {
        FreeCache();
    }

    CDCStateSaver saver(pDC);
    if (pClipRgn != nullptr && pClipRgn->GetSafeHandle() != NULL && !IsPreviewDC(pDC))
        ::ExtSelectClipRgn(pDC->GetSafeHdc(), static_cast<HRGN>(pClipRgn->GetSafeHandle()), RGN_AND);
    if (m_pCachedBitmap == nullptr && m_pCachedPicture == nullptr)
        Render(pDC);
    else if (m_bEditing && !bPrinting)
        // A paint from the cache lays nothing out; the caret still follows
        // what the view shows (a dialog over it may have taken it away).
        UpdateCaret(FALSE);
    if (m_pCachedBitmap != nullptr) {
        DrawCachedBitmap(pDC);
    } else if (m_pCachedPicture != nullptr) {
        CDCStateSaver device(pDC);
        UseDeviceUnits(pDC);
        TextDrawPicture(m_pCachedPicture, pDC, m_rectDevice);
    }
}

namespace {

// Swaps the block's text for its merged form for one rendering and puts
// the typed text (and where the caret stood) back afterwards.
class MergedTextScope {
public:
    MergedTextScope(CTextBlock& block, BOOL bMerge)
        : m_block(block)
        , m_bActive(bMerge)
    {
        if (!m_bActive)
            return;
        m_strSaved = block.GetLaidText();
        m_nCaret = block.m_nCaret;
        m_nAnchor = block.m_nAnchor;
        m_wFlags = block.m_wFlags;
        block.SetLaidText(block.ReplaceMergeFields(block.GetText()));
        if (!block.IsFixedSize())
            block.m_wFlags |= TEXTBLOCK_RENDER_STALE | TEXTBLOCK_LAYOUT_STALE;
    }
    ~MergedTextScope()
    {
        if (!m_bActive)
            return;
        m_block.SetLaidText(m_strSaved);
        m_block.m_nCaret = m_nCaret;
        m_block.m_nAnchor = m_nAnchor;
        // The merged layout is no layout of the typed text.
        m_block.m_wFlags = static_cast<WORD>((m_block.m_wFlags & ~WORD(TEXTBLOCK_MERGE_FIELDS))
            | (m_wFlags & TEXTBLOCK_MERGE_FIELDS));
        if (!m_block.IsFixedSize())
            m_block.m_wFlags |= TEXTBLOCK_RENDER_STALE | TEXTBLOCK_LAYOUT_STALE;
    }
    MergedTextScope(const MergedTextScope&) = delete;
    MergedTextScope& operator=(const MergedTextScope&) = delete;

private:
    CTextBlock& m_block;
    BOOL m_bActive;
    CString m_strSaved;
    int m_nCaret = 0;
    int m_nAnchor = 0;
    WORD m_wFlags = 0;
};

struct RenderGuard {
    explicit RenderGuard(int& n)
        : m_n(n)
    {
        m_n = 1;
    }
    ~RenderGuard() { m_n = 0; }
    RenderGuard(const RenderGuard&) = delete;
    RenderGuard& operator=(const RenderGuard&) = delete;
    int& m_n;
};

// Draws the block's columns with text output calls in one colour into a
// device rectangle; the selection shows inverted while editing.
void DrawPlainColumns(CTextBlock& block, CDC* pDC, const CRect& rect, COLORREF crText, BOOL bSelection)
{
    const CString& str = block.GetLaidText();
    const int nColumns = ColumnsOf(block);
    const int nWidth = block.GetColumnWidth(pDC, rect.Width());
    const int nGap = block.GetColumnGap(pDC);
    const int nLeftMargin = MarginOf(block.m_nLeftMargin);
    const int nRightMargin = MarginOf(block.m_nRightMargin);
    const int nLineHeight = std::max<int>(1, pDC->GetTextExtent(" ", 1).cy);
    const BOOL bEditing = block.m_bEditing;
    const int nSelStart = bSelection && bEditing ? block.GetSelStart() : 0;
    const int nSelEnd = bSelection && bEditing ? block.GetSelEnd() : 0;
    const COLORREF crInverse = (~crText) & 0xFFFFFF;

    pDC->SetBkMode(TRANSPARENT);
    pDC->SetBkColor(RGB(255, 255, 255));
    pDC->SetTextColor(crText);
    pDC->SetTextAlign(TA_LEFT | TA_TOP | TA_NOUPDATECP);

    const std::vector<LaidLine> lines = SplitLaidLines(str);
    size_t nLine = 0;
    for (int nColumn = 0; nColumn < nColumns && nLine < lines.size(); ++nColumn) {
        const CRect column = ColumnRect(rect, nColumn, nColumns, nWidth, nGap, FALSE);
        // The lines of this column: up to and including the one a form feed
        // ends (the column's text ends there).
        size_t nFirst = nLine;
        size_t nLast = nFirst;
        while (nLast + 1 < lines.size() && lines[nLast].chEnd != kFF
            && !(lines[nLast].chEnd == kLF && lines[nLast].nEnd + 1 < str.GetLength() && str[lines[nLast].nEnd + 1] == kFF))
            ++nLast;
        nLine = nLast + 1;
        long long y = column.top;
        for (size_t k = nFirst; k <= nLast; ++k, y += nLineHeight) {
            if (y + nLineHeight > column.bottom)
                break;
            const LaidLine& line = lines[k];
            int nStart = line.nStart;
            int nEnd = line.nEnd;
            const int nAlign = block.m_nAlignment;
            if (!bEditing && nAlign == 1) {
                while (nEnd > nStart && str[nEnd - 1] == ' ')
                    --nEnd;
            } else if (!bEditing && nAlign == 2) {
                while (nEnd > nStart && str[nEnd - 1] == ' ')
                    --nEnd;
                while (nStart < nEnd && str[nStart] == ' ')
                    ++nStart;
            }
            const BOOL bJustified = nAlign == 3 && line.chEnd != kLF
                && (line.chEnd == kCR || line.chEnd == kFF || k != nLast || nFirst == nLast);
            const int nExtent = ExtentOf(pDC, str, nStart, nEnd).cx;
            long long x = column.left + nLeftMargin;
            if (nAlign == 1)
                x = static_cast<long long>(column.left) + column.Width() - nExtent;
            else if (nAlign == 2)
                x = column.left + (static_cast<long long>(column.Width()) - nExtent) / 2;
            int nBreaks = 0;
            if (bJustified) {
                for (int i = nStart; i < nEnd; ++i)
                    nBreaks += str[i] == ' ' ? 1 : 0;
                const int nExtra = column.Width() - nLeftMargin - nRightMargin - nExtent;
                if (nBreaks > 0 && nExtra > 0)
                    pDC->SetTextJustification(nExtra, nBreaks);
            }
            const LPCTSTR psz = static_cast<LPCTSTR>(str);
            const int nA = std::clamp(nSelStart, nStart, nEnd);
            const int nB = std::clamp(nSelEnd, nStart, nEnd);
            if (nA >= nB) {
                if (nEnd > nStart)
                    pDC->TextOut(ClampInt(x), ClampInt(y), psz + nStart, nEnd - nStart);
            } else {
                // Before, inside and after the selection, each placed by the
                // extent of what precedes it.
                const int nPieces[4] = {nStart, nA, nB, nEnd};
                for (int p = 0; p < 3; ++p) {
                    const int a = nPieces[p];
                    const int b = nPieces[p + 1];
                    if (b <= a)
                        continue;
                    const long long px = x + (a > nStart ? ExtentOf(pDC, str, nStart, a).cx : 0);
                    if (p == 1) {
                        pDC->SetBkMode(OPAQUE);
                        pDC->SetBkColor(RGB(0, 0, 0));
                        pDC->SetTextColor(crInverse);
                    }
                    pDC->TextOut(ClampInt(px), ClampInt(y), psz + a, b - a);
                    if (p == 1) {
                        pDC->SetBkMode(TRANSPARENT);
                        pDC->SetBkColor(RGB(255, 255, 255));
                        pDC->SetTextColor(crText);
                    }
                }
            }
            if (bJustified)
                pDC->SetTextJustification(0, 0);
        }
    }
}

// The block's columns as glyph outlines in one colour; the fill object,
// when given, paints the glyphs instead.
BOOL DrawGlyphColumns(CTextBlock& block, CDC* pDC, const CRect& rect, BOOL bFlipH, BOOL bFlipV, int nShape,
    COLORREF crText, CDrawObj* pFillObject)
{
    pDC->SetTextColor(crText);
    CRect frame = rect;
    frame.InflateRect(1, 1);
    const int nColumns = ColumnsOf(block);
    const int nWidth = block.GetColumnWidth(pDC, frame.Width());
    const int nGap = block.GetColumnGap(pDC);
    const BOOL bOneLine = block.CountTextLines() == 1;
    CGlyphTextRenderer renderer(block.m_pOwner);
    renderer.SetFillObject(pFillObject);
    renderer.SetFont(block.m_pFont != nullptr ? static_cast<HFONT>(*block.m_pFont) : NULL);
    for (int k = 0; k < nColumns; ++k) {
        CRect column = ColumnRect(frame, k, nColumns, nWidth, nGap, bFlipH);
        const CString strColumn = block.NextColumnText(k + 1);
        if (k > 0 && strColumn.IsEmpty())
            continue;
        const BOOL bJustifyLast = k + 1 < nColumns || bOneLine;
        if (!renderer.Setup(pDC, column.left, column.top, column.right, column.bottom, strColumn, -block.m_nAngle, bFlipH,
                bFlipV, block.m_nAlignment, bJustifyLast, nShape))
            return FALSE;
        if (!renderer.Draw())
            return FALSE;
    }
    return TRUE;
}

// Where the shadow goes in a bitmap that is mirrored after it is drawn: on
// the mirrored axes the other way, so that once the bitmap is turned over
// the shadow falls by its offsets, as the outlines and the page show it.
CSize ShadowBeforeMirror(const CSize& shadow, BOOL bMirrorH, BOOL bMirrorV)
{
    return CSize(bMirrorH ? -shadow.cx : shadow.cx, bMirrorV ? -shadow.cy : shadow.cy);
}

} // namespace

namespace {

// The text bitmap made ready for repeated transparent copies: the upper
// half a mask (white where the text bitmap is white, black elsewhere), the
// lower half the text with its white turned black. A paint is then an AND
// with the mask and an OR with the text, with no colour conversion on the
// way; the bitmap is converted to its mask once, here.
CBitmap* PackCachedBitmap(CDC* pDC, CBitmap* pText)
{
    BITMAP bm{};
    if (pText == nullptr || !pText->GetBitmap(&bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0
        || bm.bmHeight > INT_MAX / 2)
        return nullptr;
    const int w = bm.bmWidth;
    const int h = bm.bmHeight;
    CDC text;
    CDC mono;
    CDC packed;
    CBitmap mask;
    auto pPacked = std::make_unique<CBitmap>();
    if (!text.CreateCompatibleDC(pDC) || !mono.CreateCompatibleDC(pDC) || !packed.CreateCompatibleDC(pDC)
        || !mask.CreateBitmap(w, h, 1, 1, nullptr) || !pPacked->CreateCompatibleBitmap(pDC, w, 2 * h))
        return nullptr;
    CBitmap* pOldText = text.SelectObject(pText);
    CBitmap* pOldMono = mono.SelectObject(&mask);
    CBitmap* pOldPacked = packed.SelectObject(pPacked.get());
    // White pixels become set bits, and set bits come out white again.
    text.SetBkColor(RGB(255, 255, 255));
    mono.BitBlt(0, 0, w, h, &text, 0, 0, SRCCOPY);
    packed.SetBkColor(RGB(255, 255, 255));
    packed.SetTextColor(RGB(0, 0, 0));
    packed.BitBlt(0, 0, w, h, &mono, 0, 0, SRCCOPY);
    packed.BitBlt(0, h, w, h, &mono, 0, 0, SRCCOPY);
    packed.BitBlt(0, h, w, h, &text, 0, 0, SRCERASE);
    packed.SelectObject(pOldPacked);
    mono.SelectObject(pOldMono);
    text.SelectObject(pOldText);
    return pPacked.release();
}

} // namespace

void CTextBlock::Render(CDC* pDC)
{
    if (pDC == nullptr || m_nRenderGuard != 0)
        return;
    RenderGuard guard(m_nRenderGuard);
    delete m_pCachedBitmap;
    m_pCachedBitmap = nullptr;
    delete m_pCachedPicture;
    m_pCachedPicture = nullptr;
    const BOOL bPrinting = pDC->IsPrinting();
    const BOOL bPreview = IsPreviewDC(pDC);
    const BOOL bPrinter = bPrinting && !bPreview;
    if (bPrinting)
        m_wFlags |= TEXTBLOCK_PRINTER_CACHE;
    else
        m_wFlags &= ~WORD(TEXTBLOCK_PRINTER_CACHE);

    CDCStateSaver saver(pDC);
    MergedTextScope merged(*this, bPrinter && HasMergeFields());
    // A turned block is laid in its own frame and turned about its centre,
    // so that it stays inside its turned bounds.
    if (m_nAngle != 0)
        GetRotatedBounds();
    CRect device = ToDevice(pDC, m_rectFrame, &m_bMirrorH, &m_bMirrorV);
    UseDeviceUnits(pDC);
    FitText(pDC, device);
    m_rectDevice = device;
    if (m_pFont == nullptr)
        return;
    FontScope font(pDC, m_pFont);

    const COLORREF crText = GetDrawTextColor(pDC);
    const BOOL bColorExact = !bPrinting || pDC->GetNearestColor(crText) == crText;
    const BOOL bFills = TextOwnerFillsText(m_pOwner);
    const BOOL bMirrored = m_bMirrorH || m_bMirrorV;
    const CSize shadow = GetShadowOffset(pDC);
    const COLORREF crShadow = GetDrawShadowColor(pDC);

    if (m_nAngle == 0 && !bFills && !bMirrored && m_nShape == 0
        && (!bPrinting || (bPrinter && IsPlainPrintingAllowed() && bColorExact))) {
        if (HasShadow())
            DrawPlainColumns(*this, pDC, device + CPoint(shadow.cx, shadow.cy), crShadow, FALSE);
        DrawPlainText(pDC, device);
        return;
    }

    // Turned text, text its owner's fill paints and colours the printer
    // cannot match have no other way than outlines. Mirrored and shaped
    // text goes through the bitmap when the user switched glyph text off,
    // on the screen as on paper, so that the screen shows what prints.
    const BOOL bMustOutline = m_nAngle != 0 || bFills || (bPrinting && !bColorExact);
    const BOOL bMayOutline = !thePrintPrefs.IsGlyphTextOff() && (bPrinting || !(m_wFlags & TEXTBLOCK_NO_OUTLINES));
    if (bMustOutline || bMayOutline) {
        BOOL bDrawn = TRUE;
        if (HasShadow())
            bDrawn = DrawGlyphColumns(*this, pDC, device + CPoint(shadow.cx, shadow.cy), m_bMirrorH, m_bMirrorV, m_nShape,
                crShadow, nullptr);
        if (bDrawn && DrawGlyphText(pDC, device, m_bMirrorH, m_bMirrorV, m_nShape))
            return;
    }

    if (m_nAngle != 0 || device.Width() < kMinBitmapSide || device.Height() < kMinBitmapSide)
        return;
    // The bitmap rendering: the text on white (or the owner's brush
    // colour), bent by the warp shape, mirrored as a picture.
    COLORREF crBack = RGB(255, 255, 255);
    TextOwnerBrushColor(m_pOwner, crBack);
    if (m_nShape != 0) {
        if (!WarpBitmap(pDC, device, crBack))
            return;
    } else {
        CDC memory;
        auto pBitmap = std::make_unique<CBitmap>();
        if (!memory.CreateCompatibleDC(pDC) || !pBitmap->CreateCompatibleBitmap(pDC, device.Width(), device.Height()))
            return;
        CBitmap* pOld = memory.SelectObject(pBitmap.get());
        const CRect local(0, 0, device.Width(), device.Height());
        memory.FillSolidRect(&local, crBack);
        {
            FontScope memoryFont(&memory, m_pFont);
            if (HasShadow()) {
                const CSize drawn = ShadowBeforeMirror(shadow, m_bMirrorH, m_bMirrorV);
                DrawPlainColumns(*this, &memory, local + CPoint(drawn.cx, drawn.cy), crShadow, FALSE);
            }
            DrawPlainText(&memory, local);
        }
        memory.SelectObject(pOld);
        m_pCachedBitmap = pBitmap.release();
    }
    // A printed page keeps no pixels to combine the mask with, so there the
    // text goes as a picture whose white is transparent, mirrored or not.
    if (!bMirrored && !bPrinter) {
        CBitmap* pPacked = PackCachedBitmap(pDC, m_pCachedBitmap);
        delete m_pCachedBitmap;
        m_pCachedBitmap = pPacked;
        return;
    }
    if (CObject* pPicture = TextMakeMirroredPicture(m_pCachedBitmap, m_bMirrorH, m_bMirrorV)) {
        m_pCachedPicture = pPicture;
        delete m_pCachedBitmap;
        m_pCachedBitmap = nullptr;
        return;
    }
    // Without a picture to mirror it, the bitmap is turned over in place.
    CDC source;
    CDC target;
    auto pMirrored = std::make_unique<CBitmap>();
    if (!source.CreateCompatibleDC(pDC) || !target.CreateCompatibleDC(pDC)
        || !pMirrored->CreateCompatibleBitmap(pDC, device.Width(), device.Height())) {
        delete m_pCachedBitmap;
        m_pCachedBitmap = nullptr;
        return;
    }
    CBitmap* pOldSource = source.SelectObject(m_pCachedBitmap);
    CBitmap* pOldTarget = target.SelectObject(pMirrored.get());
    const int w = device.Width();
    const int h = device.Height();
    target.StretchBlt(m_bMirrorH ? w - 1 : 0, m_bMirrorV ? h - 1 : 0, m_bMirrorH ? -w : w, m_bMirrorV ? -h : h, &source, 0,
        0, w, h, SRCCOPY);
    source.SelectObject(pOldSource);
    target.SelectObject(pOldTarget);
    delete m_pCachedBitmap;
    m_pCachedBitmap = PackCachedBitmap(pDC, pMirrored.get());
}

void CTextBlock::DrawCachedBitmap(CDC* pDC)
{
    if (pDC == nullptr || m_pCachedBitmap == nullptr)
        return;
    BITMAP bm{};
    if (!m_pCachedBitmap->GetBitmap(&bm) || bm.bmWidth <= 0 || bm.bmHeight < 2)
        return;
    // The cache holds the mask over the text (see PackCachedBitmap): the
    // mask keeps the destination where the text bitmap was white and
    // clears it elsewhere, the text then fills what was cleared. No
    // messages are dispatched between the two steps: a paint must not let
    // anything delete this block or its cache.
    const int w = bm.bmWidth;
    const int h = bm.bmHeight / 2;
    CDCStateSaver saver(pDC);
    UseDeviceUnits(pDC);
    CDC source;
    if (!source.CreateCompatibleDC(pDC))
        return;
    CBitmap* pOld = source.SelectObject(m_pCachedBitmap);
    const int x = m_rectDevice.left;
    const int y = m_rectDevice.top;
    pDC->BitBlt(x, y, w, h, &source, 0, 0, SRCAND);
    pDC->BitBlt(x, y, w, h, &source, 0, h, SRCPAINT);
    source.SelectObject(pOld);
}

void CTextBlock::DrawPlainText(CDC* pDC, const CRect& rect, BOOL bMask)
{
    if (pDC == nullptr)
        return;
    FontScope font(pDC, m_pFont);
    DrawPlainColumns(*this, pDC, rect, bMask ? RGB(0, 0, 0) : GetDrawTextColor(pDC), !bMask);
}

BOOL CTextBlock::DrawGlyphText(CDC* pDC, const CRect& rect, BOOL bFlipH, BOOL bFlipV, int nShape)
{
    if (pDC == nullptr)
        return FALSE;
    FontScope font(pDC, m_pFont);
    CDrawObj* pFill = TextOwnerFillsText(m_pOwner) ? m_pOwner : nullptr;
    return DrawGlyphColumns(*this, pDC, rect, bFlipH, bFlipV, nShape, GetDrawTextColor(pDC), pFill);
}

namespace {

// 32-bit pixels of a bitmap, top row first, as 0x00RRGGBB.
BITMAPINFO PixelFormat(int w, int h)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

uint32_t ToPixel(COLORREF cr)
{
    return (uint32_t(GetRValue(cr)) << 16) | (uint32_t(GetGValue(cr)) << 8) | GetBValue(cr);
}

int PixelDistance(uint32_t a, uint32_t b)
{
    int nDistance = 0;
    for (const int shift : {16, 8, 0})
        nDistance += std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF));
    return nDistance;
}

// One column's text laid for bending, drawn in one colour on the
// background, read back as pixels.
struct TextPixels {
    int w = 0;
    int h = 0;
    std::vector<uint32_t> pixels;
};

BOOL DrawWarpedText(CDC* pDC, CFont* pFont, const WarpedTextLayout& layout, COLORREF crText, COLORREF crBack,
    TextPixels& out)
{
    out.w = layout.size.cx;
    out.h = layout.size.cy;
    CDC memory;
    CBitmap bitmap;
    if (!memory.CreateCompatibleDC(pDC) || !bitmap.CreateCompatibleBitmap(pDC, out.w, out.h))
        return FALSE;
    CBitmap* pOld = memory.SelectObject(&bitmap);
    {
        FontScope font(&memory, pFont);
        memory.FillSolidRect(0, 0, out.w, out.h, crBack);
        memory.SetBkMode(TRANSPARENT);
        memory.SetTextColor(crText);
        memory.SetTextAlign(TA_LEFT | TA_TOP | TA_NOUPDATECP);
        for (const WarpedTextLine& line : layout.lines) {
            if (line.nBreaks > 0 && line.nExtra > 0)
                memory.SetTextJustification(line.nExtra, line.nBreaks);
            memory.TextOut(line.x, line.y, line.text, line.text.GetLength());
            if (line.nBreaks > 0 && line.nExtra > 0)
                memory.SetTextJustification(0, 0);
        }
    }
    memory.SelectObject(pOld);
    out.pixels.assign(size_t(out.w) * size_t(out.h), 0);
    BITMAPINFO info = PixelFormat(out.w, out.h);
    return ::GetDIBits(memory.GetSafeHdc(), static_cast<HBITMAP>(bitmap.GetSafeHandle()), 0, UINT(out.h),
               out.pixels.data(), &info, DIB_RGB_COLORS)
        == out.h;
}

// Where bent text goes: the pixels of the frame's bitmap.
struct BendTarget {
    std::vector<uint32_t>& pixels;
    int w;
    int h;
    CPoint origin; // the frame's device corner
    BOOL bPrinting; // look at the message queue now and then
    int nColumns = 0; // pixel columns bent so far
};

enum class Bend { Ink, Band };

// The source pixels [n0, n1) under pixel n of a span of nTo pixels that
// nFrom source pixels are stretched over: those whose centres it covers,
// or when it covers none (the source is enlarged) the one under its centre.
void Footprint(long long n, long long nTo, long long nFrom, long long& n0, long long& n1)
{
    // Centres at k + 1/2 of the source fall in [n, n + 1) of the span when
    // 2kTo + nTo lies in [2 n nFrom, 2 (n + 1) nFrom).
    auto firstAtOrAfter = [&](long long m) {
        return std::max<long long>(0, (2 * m * nFrom - nTo + 2 * nTo - 1) / (2 * nTo));
    };
    n0 = firstAtOrAfter(n);
    n1 = firstAtOrAfter(n + 1);
    if (n1 <= n0) {
        n0 = std::min(nFrom - 1, ((2 * n + 1) * nFrom) / (2 * nTo));
        n1 = n0 + 1;
    }
}

// Bends the text's pixels into the column: the text's width is spread over
// the column's, and each pixel column of the frame takes the text's whole
// height between the shape's bounds there, as the glyph outlines are bent.
// Every frame pixel looks at all the text pixels it covers and is text
// when any of them is, so that no stroke is lost where the text is shrunk.
// The offset moves the result (a shadow); Bend::Band fills the band with
// the background instead.

// FALSE when printing was cancelled meanwhile.
BOOL BendText(const TextPixels& text, const CRect& column, const CWarpShape& shape, BendTarget& target, CSize offset,
    uint32_t back, uint32_t ink, Bend bend)
{
    // Smoothed edges count as text from a third of the way to its colour:
    // the bent text then covers what the filled outlines cover.
    const int nInkFrom = std::max(1, PixelDistance(ink, back) / 3);
    const int colW = column.Width();
    if (colW <= 0 || text.w <= 0 || text.h <= 0)
        return TRUE;
    for (int X = column.left; X < column.right; ++X) {
        if (target.bPrinting && ++target.nColumns % kWarpPumpEvery == 0 && !TextPumpPrinting())
            return FALSE;
        const long long tx = static_cast<long long>(X) + offset.cx - target.origin.x;
        if (tx < 0 || tx >= target.w)
            continue;
        int nUpper = 0;
        int nLower = 0;
        shape.GetColumn(X, nUpper, nLower);
        const long long bandTop = static_cast<long long>(column.top) + nUpper;
        const long long band = static_cast<long long>(nLower) - nUpper;
        if (band <= 0)
            continue;
        long long sx0 = 0;
        long long sx1 = 0;
        Footprint(X - column.left, colW, text.w, sx0, sx1);
        const int nStepX = std::max<int>(1, int((sx1 - sx0 + kMaxWarpSamples - 1) / kMaxWarpSamples));
        const long long yFrom = std::max<long long>(0, bandTop + offset.cy - target.origin.y);
        const long long yTo = std::min<long long>(target.h, bandTop + band + offset.cy - target.origin.y);
        for (long long ty = yFrom; ty < yTo; ++ty) {
            const long long yy = ty + target.origin.y - offset.cy - bandTop;
            long long sy0 = 0;
            long long sy1 = 0;
            Footprint(yy, band, text.h, sy0, sy1);
            const int nStepY = std::max<int>(1, int((sy1 - sy0 + kMaxWarpSamples - 1) / kMaxWarpSamples));
            uint32_t* pOut = &target.pixels[size_t(ty) * size_t(target.w) + size_t(tx)];
            if (bend == Bend::Band) {
                *pOut = back;
                continue;
            }
            int nBest = 0;
            for (long long sy = sy0; sy < std::min<long long>(sy1, text.h); sy += nStepY) {
                const uint32_t* row = text.pixels.data() + size_t(sy) * size_t(text.w);
                for (long long sx = sx0; sx < std::min<long long>(sx1, text.w); sx += nStepX) {
                    const int d = PixelDistance(row[sx] & 0xFFFFFF, back);
                    nBest = std::max(nBest, d);
                }
            }
            if (nBest >= nInkFrom)
                *pOut = ink;
        }
    }
    return TRUE;
}

} // namespace

BOOL CTextBlock::WarpBitmap(CDC* pDC, const CRect& rect, COLORREF crBack)
{
    if (pDC == nullptr || m_pFont == nullptr)
        return FALSE;
    const int w = rect.Width();
    const int h = rect.Height();
    if (w <= 0 || h <= 0 || static_cast<long long>(w) * h > kMaxWarpPixels)
        return FALSE;
    const BOOL bPrinter = pDC->IsPrinting() && !IsPreviewDC(pDC);
    const uint32_t back = ToPixel(crBack);
    std::vector<uint32_t> pixels(size_t(w) * size_t(h), 0xFFFFFF);
    BendTarget target{pixels, w, h, rect.TopLeft(), bPrinter};

    // The columns as the glyph outlines lay them: in the frame widened by a
    // unit on each side, each bent by a shape of its own.
    CRect frame = rect;
    frame.InflateRect(1, 1);
    const int nColumns = ColumnsOf(*this);
    const int nWidth = GetColumnWidth(pDC, frame.Width());
    const int nGap = GetColumnGap(pDC);
    const BOOL bOneLine = CountTextLines() == 1;
    const CSize shadow = ShadowBeforeMirror(GetShadowOffset(pDC), m_bMirrorH, m_bMirrorV);
    for (int k = 0; k < nColumns; ++k) {
        const CRect column = ColumnRect(frame, k, nColumns, nWidth, nGap, FALSE);
        const CString strColumn = NextColumnText(k + 1);
        if (k > 0 && strColumn.IsEmpty())
            continue;
        std::unique_ptr<CWarpShape> pShape(TextCreateWarpShape(m_nShape, column, pDC, TRUE));
        if (!pShape)
            return FALSE;
        WarpedTextLayout layout;
        {
            FontScope font(pDC, m_pFont);
            layout = LayWarpedText(pDC, strColumn, m_nAlignment, k + 1 < nColumns || bOneLine);
        }
        if (layout.size.cx < 1 || layout.size.cy < 1)
            continue;
        if (static_cast<long long>(layout.size.cx) * layout.size.cy > kMaxWarpPixels)
            return FALSE;
        TextPixels text;
        if (!DrawWarpedText(pDC, m_pFont, layout, GetDrawTextColor(pDC), crBack, text))
            return FALSE;
        // The band takes the owner's brush colour, then the shadow and the
        // text go over it.
        const uint32_t ink = ToPixel(GetDrawTextColor(pDC));
        if (back != 0xFFFFFF && !BendText(text, column, *pShape, target, CSize(0, 0), back, ink, Bend::Band))
            return FALSE;
        if (HasShadow()) {
            TextPixels shade;
            if (!DrawWarpedText(pDC, m_pFont, layout, GetDrawShadowColor(pDC), crBack, shade)
                || !BendText(shade, column, *pShape, target, shadow, back, ToPixel(GetDrawShadowColor(pDC)), Bend::Ink))
                return FALSE;
        }
        if (!BendText(text, column, *pShape, target, CSize(0, 0), back, ink, Bend::Ink))
            return FALSE;
    }

    CDC memory;
    auto pResult = std::make_unique<CBitmap>();
    if (!memory.CreateCompatibleDC(pDC) || !pResult->CreateCompatibleBitmap(pDC, w, h))
        return FALSE;
    BITMAPINFO info = PixelFormat(w, h);
    const HBITMAP hResult = static_cast<HBITMAP>(pResult->GetSafeHandle());
    if (::SetDIBits(memory.GetSafeHdc(), hResult, 0, UINT(h), pixels.data(), &info, DIB_RGB_COLORS) != h)
        return FALSE;
    delete m_pCachedBitmap;
    m_pCachedBitmap = pResult.release();
    return TRUE;
}
