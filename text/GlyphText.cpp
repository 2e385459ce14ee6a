#include "text/GlyphText.h"

#include "app/GeometryHelpers.h"
#include "app/RectGeometry.h"
#include "model/WarpShape.h"
#include "text/TextOwner.h"

#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

// ---- 16.16 fixed point ----------------------------------------------------------------------

LONG FixedAdd(LONG a, LONG b)
{
    // The plain 32-bit sum, wrapping as the hardware does rather than being
    // undefined.
    return static_cast<LONG>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

LONG FixedAverage(LONG a, LONG b)
{
    return static_cast<LONG>((static_cast<int64_t>(a) + b) / 2);
}

LONG FixedQuadMidpoint(LONG a, LONG b, LONG c)
{
    return static_cast<LONG>((static_cast<int64_t>(a) + 2 * static_cast<int64_t>(b) + c) / 4);
}

LONG DoubleToFixed(double d)
{
    const double v = d * 65536.0;
    // Out of range (and NaN) saturate instead of being undefined.
    if (!(v > static_cast<double>(std::numeric_limits<LONG>::min())))
        return v != v ? 0 : std::numeric_limits<LONG>::min();
    if (v >= static_cast<double>(std::numeric_limits<LONG>::max()))
        return std::numeric_limits<LONG>::max();
    return static_cast<LONG>(v);
}

LONG FixedFromStruct(const FIXED& f)
{
    return static_cast<LONG>((static_cast<uint32_t>(static_cast<uint16_t>(f.value)) << 16) | f.fract);
}

FIXED FixedToStruct(LONG l)
{
    FIXED f;
    f.fract = static_cast<WORD>(static_cast<uint32_t>(l) & 0xFFFF);
    f.value = static_cast<short>(static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(l) >> 16)));
    return f;
}

namespace {

struct FixedPt {
    LONG x = 0;
    LONG y = 0;
};

FixedPt FromPointFx(const POINTFX& p)
{
    return FixedPt{FixedFromStruct(p.x), FixedFromStruct(p.y)};
}

POINT ToPoint(FixedPt p)
{
    const LONG half = DoubleToFixed(-0.5);
    return POINT{FixedToInt(FixedAdd(p.x, half)), FixedToInt(FixedAdd(p.y, half))};
}

// The point in units of 1 / 2^nFractionBits pixel; whole pixels (0 bits)
// as FixedPointToPoint gives them, finer units cut the same way.
POINT ToPoint(FixedPt p, int nFractionBits)
{
    if (nFractionBits <= 0)
        return ToPoint(p);
    const int shift = 16 - nFractionBits;
    return POINT{static_cast<LONG>(p.x >> shift), static_cast<LONG>(p.y >> shift)};
}

} // namespace

POINT FixedPointToPoint(const POINTFX& pt)
{
    return ToPoint(FromPointFx(pt));
}

void MakeIdentityMat2(MAT2& mat)
{
    mat.eM11 = FixedToStruct(DoubleToFixed(1.0));
    mat.eM12 = FixedToStruct(DoubleToFixed(0.0));
    mat.eM21 = FixedToStruct(DoubleToFixed(0.0));
    mat.eM22 = FixedToStruct(DoubleToFixed(1.0));
}

// ---- Outlines to polygons ---------------------------------------------------------------------

namespace {

constexpr int kSplineDepth = 4;

// Flattens one quadratic piece from *pPrevious through control to end: the
// curve's midpoint splits it in two until the depth runs out.
void AddSplinePoints(
    FixedPt& previous, FixedPt control, FixedPt end, int depth, std::vector<POINT>& out, int nFractionBits)
{
    const FixedPt middle{
        FixedQuadMidpoint(previous.x, control.x, end.x), FixedQuadMidpoint(previous.y, control.y, end.y)};
    if (depth - 1 > 0) {
        const FixedPt firstControl{FixedAverage(previous.x, control.x), FixedAverage(previous.y, control.y)};
        const FixedPt secondControl{FixedAverage(control.x, end.x), FixedAverage(control.y, end.y)};
        AddSplinePoints(previous, firstControl, middle, depth - 1, out, nFractionBits);
        AddSplinePoints(previous, secondControl, end, depth - 1, out, nFractionBits);
    } else {
        out.push_back(ToPoint(middle, nFractionBits));
        out.push_back(ToPoint(end, nFractionBits));
    }
    previous = end;
}

template <typename T> T ReadAt(const BYTE* p)
{
    T value;
    std::memcpy(&value, p, sizeof(T));
    return value;
}

// One polygon's curve records, bytes [pBegin, pEnd). FALSE for a record
// that does not fit or cannot be a curve.
BOOL ReadContour(const BYTE* pBegin, const BYTE* pEnd, FixedPt start, std::vector<POINT>& out, int nFractionBits)
{
    constexpr size_t kRecordHead = 2 * sizeof(WORD);
    FixedPt previous = start;
    const BYTE* p = pBegin;
    while (p < pEnd) {
        const size_t left = static_cast<size_t>(pEnd - p);
        if (left < kRecordHead)
            return FALSE;
        const WORD type = ReadAt<WORD>(p);
        const WORD count = ReadAt<WORD>(p + sizeof(WORD));
        if (static_cast<size_t>(count) * sizeof(POINTFX) > left - kRecordHead)
            return FALSE;
        const BYTE* pPoints = p + kRecordHead;
        auto point = [pPoints](int i) {
            return FromPointFx(ReadAt<POINTFX>(pPoints + static_cast<size_t>(i) * sizeof(POINTFX)));
        };
        if (type == TT_PRIM_LINE) {
            if (count < 1)
                return FALSE;
            for (int i = 0; i < count; ++i)
                out.push_back(ToPoint(point(i), nFractionBits));
            previous = point(count - 1);
        } else if (type == TT_PRIM_QSPLINE) {
            // A spline needs a control point and the point it ends on.
            if (count < 2)
                return FALSE;
            for (int i = 0; i + 1 < count; ++i) {
                const FixedPt control = point(i);
                const FixedPt next = point(i + 1);
                // Between two control points lies an implied on-curve point.
                const FixedPt end
                    = i + 2 < count ? FixedPt{FixedAverage(control.x, next.x), FixedAverage(control.y, next.y)} : next;
                AddSplinePoints(previous, control, end, kSplineDepth, out, nFractionBits);
            }
        } else {
            return FALSE;
        }
        p = pPoints + static_cast<size_t>(count) * sizeof(POINTFX);
    }
    return TRUE;
}

} // namespace

BOOL OutlineToPolygons(const BYTE* pBuffer, DWORD cb, GlyphPolygons& polygons, int nFractionBits)
{
    nFractionBits = std::clamp(nFractionBits, 0, 8);
    polygons.Clear();
    if (cb == 0)
        return TRUE;
    if (!pBuffer)
        return FALSE;
    constexpr size_t kHeader = sizeof(TTPOLYGONHEADER);
    size_t offset = 0;
    while (offset < cb) {
        const size_t left = cb - offset;
        if (left < kHeader)
            return FALSE;
        const TTPOLYGONHEADER header = ReadAt<TTPOLYGONHEADER>(pBuffer + offset);
        if (header.cb < kHeader || header.cb > left)
            return FALSE;
        if (header.dwType == TT_POLYGON_TYPE) {
            const size_t first = polygons.points.size();
            if (!ReadContour(pBuffer + offset + kHeader, pBuffer + offset + header.cb, FromPointFx(header.pfxStart),
                    polygons.points, nFractionBits))
                return FALSE;
            polygons.points.push_back(ToPoint(FromPointFx(header.pfxStart), nFractionBits));
            polygons.points.push_back(polygons.points[first]);
            polygons.counts.push_back(static_cast<int>(polygons.points.size() - first));
        }
        offset += header.cb;
    }
    return TRUE;
}

namespace {

// Outlines larger than this are not glyphs of any font we can make.
constexpr DWORD kMaxOutlineBytes = 16u << 20;

// Reads the GGO_NATIVE outline of nChar with the font selected on hDC,
// which is a memory DC compatible with the screen so that printer and
// screen fonts give the same device-independent outlines. buffer receives
// the outline's bytes (none for a blank) and keeps its room for the next
// glyph; metrics as LoadGlyphPolygons gives them.
BOOL ReadOutline(HDC hDC, UINT nChar, const MAT2& mat, GLYPHMETRICS& metrics, std::vector<BYTE>& buffer)
{
    buffer.clear();
    metrics = GLYPHMETRICS{};
    const DWORD cb = ::GetGlyphOutline(hDC, nChar, GGO_NATIVE, &metrics, 0, nullptr, &mat);
    if (cb == GDI_ERROR || cb > kMaxOutlineBytes)
        return FALSE;
    if (metrics.gmBlackBoxX == 0)
        metrics.gmBlackBoxX = static_cast<UINT>(std::max<int>(0, metrics.gmCellIncX));
    if (cb == 0)
        return TRUE;
    buffer.resize(cb);
    GLYPHMETRICS again{};
    return ::GetGlyphOutline(hDC, nChar, GGO_NATIVE, &again, cb, buffer.data(), &mat) == cb;
}

// Whole-pixel polygons of outlines already flattened, by the outline's
// bytes: text drawn as outlines flattens the same few glyphs over and over,
// and a depth-4 spline gives sixteen points where a small glyph has pixels
// for two or three. Kept with the repeats of a point dropped (a contour
// keeps two points at least, as Polygon needs): an edge from a point to
// itself crosses no row, so the fill is the same, with far fewer points to
// map, turn and scan. Keyed by the bytes themselves, a glyph of another
// font, size or hinting can never be taken for a kept one.
class FlattenedOutlines {
public:
    BOOL Get(const std::vector<BYTE>& bytes, GlyphPolygons& polygons)
    {
        const std::string_view key(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        const auto it = m_kept.find(key);
        if (it != m_kept.end()) {
            polygons.counts.assign(it->second.counts.begin(), it->second.counts.end());
            polygons.points.assign(it->second.points.begin(), it->second.points.end());
            return TRUE;
        }
        if (!OutlineToPolygons(bytes.data(), static_cast<DWORD>(bytes.size()), polygons))
            return FALSE;
        DropRepeats(polygons);
        if (m_kept.size() >= kMaxGlyphs || m_nPoints + polygons.points.size() > kMaxPoints) {
            m_kept.clear();
            m_nPoints = 0;
        }
        m_nPoints += polygons.points.size();
        m_kept.emplace(std::string(key), polygons);
        return TRUE;
    }

private:
    static constexpr size_t kMaxGlyphs = 4096;
    static constexpr size_t kMaxPoints = size_t(1) << 20;

    static void DropRepeats(GlyphPolygons& polygons)
    {
        size_t from = 0;
        size_t to = 0;
        for (int& count : polygons.counts) {
            const size_t first = to;
            for (int i = 0; i < count; ++i) {
                const POINT p = polygons.points[from + size_t(i)];
                if (to == first || p.x != polygons.points[to - 1].x || p.y != polygons.points[to - 1].y)
                    polygons.points[to++] = p;
            }
            if (to - first < 2 && count >= 2)
                polygons.points[to++] = polygons.points[first];
            from += size_t(count);
            count = static_cast<int>(to - first);
        }
        polygons.points.resize(to);
    }

    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
    };
    std::unordered_map<std::string, GlyphPolygons, Hash, std::equal_to<>> m_kept;
    size_t m_nPoints = 0;
};

FlattenedOutlines& KeptOutlines()
{
    static FlattenedOutlines kept;
    return kept;
}

BOOL LoadGlyphOn(
    HDC hDC, UINT nChar, const MAT2& mat, GLYPHMETRICS& metrics, GlyphPolygons& polygons, int nFractionBits = 0)
{
    polygons.Clear();
    std::vector<BYTE> buffer;
    if (!ReadOutline(hDC, nChar, mat, metrics, buffer))
        return FALSE;
    if (buffer.empty())
        return TRUE;
    // Whole-pixel outlines are filled as they are; finer ones are bent
    // point by point, so they keep every point.
    if (nFractionBits == 0)
        return KeptOutlines().Get(buffer, polygons);
    return OutlineToPolygons(buffer.data(), static_cast<DWORD>(buffer.size()), polygons, nFractionBits);
}

} // namespace

CGlyphReader::CGlyphReader(HFONT hFont)
    : m_hDC(::CreateCompatibleDC(NULL))
{
    if (m_hDC && hFont)
        m_hOldFont = ::SelectObject(m_hDC, hFont);
}

CGlyphReader::~CGlyphReader()
{
    if (!m_hDC)
        return;
    if (m_hOldFont)
        ::SelectObject(m_hDC, m_hOldFont);
    ::DeleteDC(m_hDC);
}

BOOL CGlyphReader::Load(UINT nChar, GLYPHMETRICS& metrics, GlyphPolygons& polygons)
{
    polygons.Clear();
    MAT2 mat;
    MakeIdentityMat2(mat);
    if (!m_hDC || !ReadOutline(m_hDC, nChar, mat, metrics, m_buffer))
        return FALSE;
    return m_buffer.empty() || KeptOutlines().Get(m_buffer, polygons);
}

namespace {

// A memory DC on the screen with a font selected, restored and deleted on
// leaving.
class GlyphDc {
public:
    explicit GlyphDc(HFONT hFont)
        : m_hDC(::CreateCompatibleDC(NULL))
    {
        if (m_hDC && hFont)
            m_hOldFont = ::SelectObject(m_hDC, hFont);
    }
    ~GlyphDc()
    {
        if (!m_hDC)
            return;
        if (m_hOldFont)
            ::SelectObject(m_hDC, m_hOldFont);
        ::DeleteDC(m_hDC);
    }
    GlyphDc(const GlyphDc&) = delete;
    GlyphDc& operator=(const GlyphDc&) = delete;
    HDC Get() const { return m_hDC; }

private:
    HDC m_hDC;
    HGDIOBJ m_hOldFont = NULL;
};

} // namespace

BOOL LoadGlyphPolygons(HFONT hFont, UINT nChar, GLYPHMETRICS& metrics, GlyphPolygons& polygons)
{
    polygons.Clear();
    GlyphDc dc(hFont);
    if (!dc.Get())
        return FALSE;
    MAT2 mat;
    MakeIdentityMat2(mat);
    std::vector<BYTE> buffer;
    if (!ReadOutline(dc.Get(), nChar, mat, metrics, buffer))
        return FALSE;
    return OutlineToPolygons(buffer.data(), static_cast<DWORD>(buffer.size()), polygons);
}

void FillGlyphPolygons(CDC* pDC, const GlyphPolygons& polygons)
{
    if (!pDC || polygons.counts.empty())
        return;
    if (polygons.counts.size() == 1)
        pDC->Polygon(polygons.points.data(), polygons.counts[0]);
    else
        pDC->PolyPolygon(polygons.points.data(), polygons.counts.data(), static_cast<int>(polygons.counts.size()));
}

// ---- Decorations ------------------------------------------------------------------------------

void GlyphDecorations::Read(HFONT hFont)
{
    *this = GlyphDecorations{};
    GlyphDc dc(hFont);
    if (!dc.Get())
        return;
    TEXTMETRIC tm{};
    if (::GetTextMetrics(dc.Get(), &tm)) {
        bUnderline = tm.tmUnderlined != 0;
        bStrikeout = tm.tmStruckOut != 0;
    }
    const UINT cb = ::GetOutlineTextMetrics(dc.Get(), 0, nullptr);
    if (cb < sizeof(OUTLINETEXTMETRIC))
        return;
    std::vector<BYTE> buffer(cb);
    auto* pOtm = reinterpret_cast<OUTLINETEXTMETRIC*>(buffer.data());
    if (::GetOutlineTextMetrics(dc.Get(), cb, pOtm) == 0)
        return;
    nStrikeoutPosition = pOtm->otmsStrikeoutPosition;
    nStrikeoutThickness = std::max(1, static_cast<int>(std::min<UINT>(pOtm->otmsStrikeoutSize, 0x7FFFFFFF)));
    nUnderlinePosition = pOtm->otmsUnderscorePosition;
    nThickness = std::max(nStrikeoutThickness, pOtm->otmsUnderscoreSize);
}

void GlyphDecorations::DrawBand(CDC* pDC, Band band, const GLYPHMETRICS& metrics, int nOffset, const MapFunction& map,
    POINT pivot, double angle)
{
    if (!pDC)
        return;
    const BOOL bUnder = band == Band::Underline;
    const int y = (bUnder ? nUnderlinePosition : nStrikeoutPosition) + nOffset;
    const int thickness = bUnder ? nThickness : nStrikeoutThickness;
    const int left = metrics.gmptGlyphOrigin.x;
    const int right = left + static_cast<int>(std::min<UINT>(metrics.gmBlackBoxX, 0x7FFFFFFF));
    const POINT topLeft{left, y};
    const POINT topRight{right, y};
    const POINT bottomRight{right, y + thickness};
    const POINT bottomLeft{left, y + thickness};
    POINT points[6] = {topLeft, topLeft, topRight, bottomRight, bottomLeft, bottomLeft};
    const int count = bStarted ? 6 : 5;
    map(points, count);
    POINT* pCorners = bUnder ? underline : strikeout;
    if (bStarted) {
        // Run on from where the previous character's band ended, so that
        // the gap between the two is covered.
        points[0] = pCorners[0];
        points[5] = pCorners[1];
    }
    pCorners[0] = points[2];
    pCorners[1] = points[3];
    RotatePoints(pivot, points, count, angle, FALSE);
    pDC->Polygon(points, count);
}

void GlyphDecorations::DrawCharacter(CDC* pDC, const GLYPHMETRICS& metrics, int nUnderlineOffset, int nStrikeoutOffset,
    const MapFunction& map, POINT pivot, double angle)
{
    if (bUnderline)
        DrawBand(pDC, Band::Underline, metrics, nUnderlineOffset, map, pivot, angle);
    if (bStrikeout)
        DrawBand(pDC, Band::Strikeout, metrics, nStrikeoutOffset, map, pivot, angle);
    bStarted = TRUE;
}

// ---- The renderer -----------------------------------------------------------------------------

namespace {

enum Alignment { kAlignLeft = 0, kAlignRight = 1, kAlignCentre = 2, kAlignFull = 3 };

// Bent glyphs: their outlines in sixteenths of a pixel, their edges cut
// into pieces of at most this many pixels of the frame (and no more pieces
// than this per edge, nor points than this per glyph).
constexpr int kWarpFractionBits = 4;
constexpr double kWarpStep = 1.5;
constexpr int kWarpMaxPieces = 256;
constexpr int kWarpMaxPoints = 1 << 20;

// A line of the column: its characters and what ended it (LF, CR or 0 at
// the end of the text).
struct ColumnLine {
    CString text;
    char chEnd = 0;
};

std::vector<ColumnLine> SplitLines(const CString& str)
{
    std::vector<ColumnLine> lines;
    const int n = str.GetLength();
    const char* p = static_cast<const char*>(str);
    int start = 0;
    while (start < n) {
        int end = start;
        while (end < n && p[end] != '\n' && p[end] != '\r')
            ++end;
        ColumnLine line;
        line.text = str.Mid(start, end - start);
        line.chEnd = end < n ? p[end] : 0;
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

BOOL IsJustified(int nAlignment, BOOL bJustifyLastLine, const ColumnLine& line, BOOL bLast)
{
    if (nAlignment != kAlignFull || line.chEnd == '\n')
        return FALSE;
    return line.chEnd == '\r' || (bLast && bJustifyLastLine);
}

CString TrimLine(const CString& text, int nAlignment, BOOL bJustified)
{
    CString result = text;
    if (nAlignment == kAlignRight && !bJustified) {
        result.TrimRight(' ');
    } else if (nAlignment == kAlignCentre || bJustified) {
        result.TrimLeft(' ');
        result.TrimRight(' ');
    }
    if (result.IsEmpty())
        result = " ";
    return result;
}

// A double to int, saturating.
int ClampToInt(double d)
{
    if (!(d > -2147483647.0))
        return d != d ? 0 : -2147483647;
    if (d >= 2147483647.0)
        return 2147483647;
    return static_cast<int>(d);
}

int ClampToInt(int64_t v)
{
    return static_cast<int>(std::clamp<int64_t>(v, -2147483647, 2147483647));
}

} // namespace

WarpedTextLayout LayWarpedText(CDC* pDC, const CString& strText, int nAlignment, BOOL bJustifyLastLine)
{
    WarpedTextLayout layout;
    if (pDC == nullptr || pDC->GetSafeHdc() == NULL)
        return layout;
    nAlignment = nAlignment >= kAlignLeft && nAlignment <= kAlignFull ? nAlignment : kAlignLeft;
    TEXTMETRIC tm{};
    pDC->GetTextMetrics(&tm);
    const std::vector<ColumnLine> lines = SplitLines(strText);
    std::vector<CSize> extents;
    int64_t height = 0;
    int width = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        const BOOL bJustified = IsJustified(nAlignment, bJustifyLastLine, lines[i], i + 1 == lines.size());
        WarpedTextLine line;
        line.text = TrimLine(lines[i].text, nAlignment, bJustified);
        const CSize extent = pDC->GetTextExtent(line.text, line.text.GetLength());
        line.y = ClampToInt(height);
        if (bJustified) {
            for (int k = 0; k < line.text.GetLength(); ++k)
                line.nBreaks += static_cast<BYTE>(line.text[k]) == tm.tmBreakChar ? 1 : 0;
        }
        width = std::max<int>(width, extent.cx);
        height += extent.cy;
        extents.push_back(extent);
        layout.lines.push_back(std::move(line));
    }
    for (size_t i = 0; i < layout.lines.size(); ++i) {
        WarpedTextLine& line = layout.lines[i];
        const int64_t slack = int64_t(width) - extents[i].cx;
        if (line.nBreaks > 0)
            line.nExtra = ClampToInt(slack);
        else if (nAlignment == kAlignRight)
            line.x = ClampToInt(slack);
        else if (nAlignment == kAlignCentre)
            line.x = ClampToInt(slack / 2);
    }
    layout.size = CSize(width, ClampToInt(height));
    return layout;
}

struct CGlyphTextRenderer::State {
    CDrawObj* pOwner = nullptr;
    CDC* pDC = nullptr;

    int left = 0, top = 0, right = 0, bottom = 0;
    int nFrameWidth = 0, nFrameHeight = 0;
    int nTextWidth = 0, nTextHeight = 0;
    CString strText;
    int nAlignment = kAlignLeft;
    BOOL bJustifyLastLine = FALSE;
    CDrawObj* pFillObject = nullptr;
    BOOL bFlipH = FALSE, bFlipV = FALSE;
    int nAngle = 0;
    int nShapeKind = 0;
    HFONT hFont = NULL;

    int nJustifyQuotient = 0;
    int nJustifyRemainder = 0;

    TEXTMETRIC tm{};
    GLYPHMETRICS gm{};
    MAT2 mat{};
    std::unique_ptr<CWarpShape> pShape;
    POINT centre{0, 0};
    GlyphPolygons glyph;
    GlyphDecorations decorations;
    // The mapped points of a bent glyph, contour by contour.
    GlyphPolygons bent;

    // The memory DC outlines are read on, made at the first glyph.
    HDC hGlyphDC = NULL;
    HGDIOBJ hGlyphOldFont = NULL;
    HFONT hGlyphFont = NULL;

    ~State() { ReleaseGlyphDc(); }

    void ReleaseGlyphDc()
    {
        if (!hGlyphDC)
            return;
        if (hGlyphOldFont)
            ::SelectObject(hGlyphDC, hGlyphOldFont);
        ::DeleteDC(hGlyphDC);
        hGlyphDC = NULL;
        hGlyphOldFont = NULL;
        hGlyphFont = NULL;
    }

    HFONT OutlineFont() const
    {
        if (hFont)
            return hFont;
        return pDC ? static_cast<HFONT>(::GetCurrentObject(pDC->m_hAttribDC, OBJ_FONT)) : NULL;
    }

    HDC GlyphDC()
    {
        const HFONT font = OutlineFont();
        if (hGlyphDC && hGlyphFont == font)
            return hGlyphDC;
        ReleaseGlyphDc();
        hGlyphDC = ::CreateCompatibleDC(NULL);
        if (hGlyphDC && font) {
            hGlyphOldFont = ::SelectObject(hGlyphDC, font);
            hGlyphFont = font;
        }
        return hGlyphDC;
    }

    CSize Extent(const CString& line) const { return pDC->GetTextExtent(line, line.GetLength()); }

    void MeasureText();
    void AlignBlock();
    int DrawLines();
    BOOL DrawLineGlyphs(int x, int y, const CString& line);
    BOOL LoadGlyph(UINT nChar);
    POINT WarpPoint(double tx, double ty) const;
    void WarpGlyph(int64_t penX, int y);
    void MapPoints(int x, int y, POINT* pPoints, int nCount) const;
    void FillGlyph();
    void SetJustifyGaps(int nExtra, int nCount);
    int GetJustifyExtra(char ch);
};

void CGlyphTextRenderer::State::MeasureText()
{
    nTextWidth = 0;
    nTextHeight = 0;
    const std::vector<ColumnLine> lines = SplitLines(strText);
    int64_t height = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        const BOOL bJustified = IsJustified(nAlignment, bJustifyLastLine, lines[i], i + 1 == lines.size());
        const CSize size = Extent(TrimLine(lines[i].text, nAlignment, bJustified));
        nTextWidth = std::max<int>(nTextWidth, size.cx);
        height += size.cy;
    }
    nTextHeight = ClampToInt(height);
}

void CGlyphTextRenderer::State::AlignBlock()
{
    const int frameWidth = ClampToInt(int64_t(right) - left);
    const int frameHeight = ClampToInt(int64_t(bottom) - top);
    int64_t l = left, t = top;
    if (bFlipV)
        t += int64_t(frameHeight) - nTextHeight;
    if (bFlipH)
        l += int64_t(frameWidth) - nTextWidth;
    int64_t shift = 0;
    switch (nAlignment) {
    case kAlignRight:
        shift = int64_t(frameWidth) - nTextWidth;
        break;
    case kAlignCentre:
        shift = (int64_t(frameWidth) - nTextWidth) / 2;
        break;
    default:
        break;
    }
    if (bFlipH)
        shift = -shift;
    if (nAlignment == kAlignFull) {
        // Justified text fills the frame's width; only its height follows
        // the text.
        top = ClampToInt(t);
        bottom = ClampToInt(t + nTextHeight);
        return;
    }
    left = ClampToInt(l + shift);
    top = ClampToInt(t);
    right = ClampToInt(int64_t(left) + nTextWidth);
    bottom = ClampToInt(t + nTextHeight);
}

void CGlyphTextRenderer::State::SetJustifyGaps(int nExtra, int nCount)
{
    nJustifyQuotient = 0;
    nJustifyRemainder = 0;
    if (nCount <= 0)
        return;
    nJustifyQuotient = nExtra / nCount;
    nJustifyRemainder = nExtra % nCount;
}

int CGlyphTextRenderer::State::GetJustifyExtra(char ch)
{
    if (static_cast<BYTE>(ch) != tm.tmBreakChar)
        return 0;
    int extra = nJustifyQuotient;
    // The first gaps take what does not divide evenly, one pixel each (a
    // line wider than its frame gives pixels back the same way).
    if (nJustifyRemainder > 0) {
        ++extra;
        --nJustifyRemainder;
    } else if (nJustifyRemainder < 0) {
        --extra;
        ++nJustifyRemainder;
    }
    return extra;
}

int CGlyphTextRenderer::State::DrawLines()
{
    const std::vector<ColumnLine> lines = SplitLines(strText);
    int64_t y = top;
    for (size_t i = 0; i < lines.size(); ++i) {
        const BOOL bJustified = IsJustified(nAlignment, bJustifyLastLine, lines[i], i + 1 == lines.size());
        const CString line = TrimLine(lines[i].text, nAlignment, bJustified);
        const CSize extent = Extent(line);
        nJustifyQuotient = 0;
        nJustifyRemainder = 0;
        int64_t offset = 0;
        if (bJustified) {
            int breaks = 0;
            for (int k = 0; k < line.GetLength(); ++k)
                breaks += static_cast<BYTE>(line[k]) == tm.tmBreakChar ? 1 : 0;
            // Bent text is laid at its own width, which the shape then
            // stretches over the frame: a justified line fills that width.
            const int nWidth = pShape ? nTextWidth : nFrameWidth;
            SetJustifyGaps(ClampToInt(int64_t(nWidth) - extent.cx), breaks);
        } else if (nAlignment == kAlignRight) {
            offset = int64_t(nTextWidth) - extent.cx;
        } else if (nAlignment == kAlignCentre) {
            offset = (int64_t(nTextWidth) - extent.cx) / 2;
        }
        if (!DrawLineGlyphs(ClampToInt(left + offset), ClampToInt(y), line))
            return 0;
        y += extent.cy;
    }
    return 1;
}

BOOL CGlyphTextRenderer::State::LoadGlyph(UINT nChar)
{
    const HDC hDC = GlyphDC();
    if (!hDC)
        return FALSE;
    // A bent glyph is stretched far beyond its own size: its outline is
    // read finer than a pixel so that thin strokes keep their width.
    return LoadGlyphOn(hDC, nChar, mat, gm, glyph, pShape ? kWarpFractionBits : 0);
}

POINT CGlyphTextRenderer::State::WarpPoint(double tx, double ty) const
{
    // Across: the text's width spread over the frame's. Down: between the
    // shape's bounds at that x, read from the two whole columns around it
    // so that the bounds run on smoothly.
    const double fx = left + double(nFrameWidth) * tx / nTextWidth;
    const double cx = std::clamp(fx, double(left), double(right));
    const int x0 = ClampToInt(std::floor(cx));
    const int x1 = std::min(x0 == std::numeric_limits<int>::max() ? x0 : x0 + 1, right);
    int u0 = 0, l0 = 0, u1 = 0, l1 = 0;
    pShape->GetColumn(x0, u0, l0);
    pShape->GetColumn(x1, u1, l1);
    const double f = cx - x0;
    const double upper = double(top) + u0 + (double(u1) - u0) * f;
    const double lower = double(top) + l0 + (double(l1) - l0) * f;
    double px = fx;
    double py = upper + (lower - upper) * (ty / nTextHeight);
    if (bFlipH)
        px = double(left) + right - px;
    if (bFlipV)
        py = double(top) + bottom - py;
    return POINT{ClampToInt(std::floor(px + 0.5)), ClampToInt(std::floor(py + 0.5))};
}

void CGlyphTextRenderer::State::WarpGlyph(int64_t penX, int y)
{
    // The glyph's points in the text's own pixels: x from the text's left,
    // y down from its top.
    const double scale = 1.0 / (1 << kWarpFractionBits);
    const double ox = double(gm.gmptGlyphOrigin.x);
    const double ox1 = ox + gm.gmBlackBoxX;
    const double baseX = double(penX) - left;
    const double baseY = double(y) - top + tm.tmAscent;
    auto textPoint = [&](const POINT& p, double& tx, double& ty) {
        tx = baseX + std::clamp(p.x * scale, ox, ox1);
        ty = baseY - p.y * scale;
    };
    // An edge is cut into pieces of about a pixel of the frame, so that it
    // bends with the shape instead of cutting across it.
    const double sx = std::abs(double(nFrameWidth) / nTextWidth);
    const double sy = std::abs(double(nFrameHeight) / nTextHeight);
    const double maxPieces = std::clamp(double(kWarpMaxPoints) / std::max<size_t>(1, glyph.points.size()), 1.0,
        double(kWarpMaxPieces));
    bent.Clear();
    size_t first = 0;
    for (const int count : glyph.counts) {
        const size_t nFrom = bent.points.size();
        for (int i = 0; i < count; ++i) {
            double tx = 0, ty = 0;
            textPoint(glyph.points[first + size_t(i)], tx, ty);
            if (i + 1 < count) {
                double nx = 0, ny = 0;
                textPoint(glyph.points[first + size_t(i) + 1], nx, ny);
                const double reach = std::max(std::abs(nx - tx) * sx, std::abs(ny - ty) * sy);
                const int pieces = static_cast<int>(std::clamp(std::ceil(reach / kWarpStep), 1.0, maxPieces));
                for (int k = 0; k < pieces; ++k) {
                    const double t = double(k) / pieces;
                    bent.points.push_back(WarpPoint(tx + (nx - tx) * t, ty + (ny - ty) * t));
                }
            } else {
                bent.points.push_back(WarpPoint(tx, ty));
            }
        }
        bent.counts.push_back(static_cast<int>(bent.points.size() - nFrom));
        first += size_t(count);
    }
    std::swap(glyph, bent);
}

void CGlyphTextRenderer::State::MapPoints(int x, int y, POINT* pPoints, int nCount) const
{
    const int64_t dx = int64_t(x) - left;
    const int64_t dy = int64_t(y) - top;
    for (int i = 0; i < nCount; ++i) {
        POINT& p = pPoints[i];
        p.x = ClampToInt(bFlipH ? right - dx - p.x : left + dx + p.x);
        p.y = ClampToInt(bFlipV ? bottom - dy - tm.tmAscent + p.y : top + dy + tm.tmAscent - p.y);
    }
}

void CGlyphTextRenderer::State::FillGlyph()
{
    if (glyph.counts.empty())
        return;
    if (pFillObject) {
        // Device coordinates for the clip region; LPtoDP already places
        // them by the viewport origin.
        std::vector<POINT> device = glyph.points;
        pDC->LPtoDP(device.data(), static_cast<int>(device.size()));
        const int nContours = static_cast<int>(glyph.counts.size());
        HRGN hRgn = nContours == 1 ? ::CreatePolygonRgn(device.data(), glyph.counts[0], WINDING)
                                   : ::CreatePolyPolygonRgn(device.data(), glyph.counts.data(), nContours, WINDING);
        if (hRgn) {
            // Within whatever clipping the caller has set, which comes back
            // afterwards.
            const int nSaved = pDC->SaveDC();
            ::ExtSelectClipRgn(pDC->m_hDC, hRgn, RGN_AND);
            const BOOL bPainted = TextPaintOwnerFill(pFillObject, pDC, CRect(left, top, right, bottom));
            pDC->RestoreDC(nSaved);
            ::DeleteObject(hRgn);
            if (bPainted)
                return;
        }
    }
    FillGlyphPolygons(pDC, glyph);
}

BOOL CGlyphTextRenderer::State::DrawLineGlyphs(int x, int y, const CString& line)
{
    decorations.bStarted = FALSE;
    int64_t penX = x;
    for (int k = 0; k < line.GetLength(); ++k) {
        if (nTextWidth < 1)
            return TRUE;
        const BYTE ch = static_cast<BYTE>(line[k]);
        if (!LoadGlyph(ch))
            return FALSE;
        const int px = ClampToInt(penX);
        // A glyph without width, or a text without height, has nothing to
        // scale between the warp shape's bounds.
        const BOOL bDivisible = gm.gmBlackBoxX > 0 && nTextHeight > 0;
        const BOOL bDecorate = decorations.bUnderline || decorations.bStrikeout;
        const BOOL bDraw = pShape ? bDivisible : TRUE;
        if (bDraw) {
            const int count = static_cast<int>(glyph.points.size());
            if (pShape)
                WarpGlyph(penX, y);
            else
                MapPoints(px, y, glyph.points.data(), count);
            RotatePoints(centre, glyph.points.data(), static_cast<int>(glyph.points.size()), nAngle, FALSE);
            FillGlyph();
            if (bDecorate) {
                int underlineOffset = 0, strikeoutOffset = 0;
                if (pShape) {
                    underlineOffset = ClampToInt(int64_t(tm.tmAscent) + 2 * int64_t(decorations.nThickness) - top + y);
                    strikeoutOffset = ClampToInt(int64_t(tm.tmHeight) / 3 - top + y);
                }
                decorations.DrawCharacter(pDC, gm, underlineOffset, strikeoutOffset,
                    [this, px, y](POINT* pPoints, int nCount) {
                        if (!pShape) {
                            MapPoints(px, y, pPoints, nCount);
                            return;
                        }
                        // The bands' y runs down from the text's top already.
                        for (int i = 0; i < nCount; ++i)
                            pPoints[i] = WarpPoint(double(px) - left + pPoints[i].x, double(pPoints[i].y));
                    },
                    centre, nAngle);
            }
        }
        ABC abc{};
        if (!pDC->GetCharABCWidths(ch, ch, &abc))
            abc = ABC{0, static_cast<UINT>(std::max<int>(0, gm.gmCellIncX)), 0};
        penX += GetJustifyExtra(static_cast<char>(ch)) + int64_t(abc.abcA) + int64_t(abc.abcB) + abc.abcC;
    }
    return TRUE;
}

CGlyphTextRenderer::CGlyphTextRenderer(CDrawObj* pOwner)
    : m_pState(new State)
{
    m_pState->pOwner = pOwner;
    MakeIdentityMat2(m_pState->mat);
}

CGlyphTextRenderer::~CGlyphTextRenderer()
{
    delete m_pState;
}

void CGlyphTextRenderer::SetFillObject(CDrawObj* pObject)
{
    m_pState->pFillObject = pObject;
}

void CGlyphTextRenderer::SetFont(HFONT hFont)
{
    m_pState->hFont = hFont;
}

int CGlyphTextRenderer::Setup(CDC* pDC, int nLeft, int nTop, int nRight, int nBottom, const CString& strText,
    int nAngle, BOOL bFlipH, BOOL bFlipV, int nAlignment, BOOL bJustifyLastLine, int nShapeKind)
{
    State& s = *m_pState;
    s.pDC = pDC;
    s.tm = TEXTMETRIC{};
    s.gm = GLYPHMETRICS{};
    s.glyph.Clear();
    s.pShape.reset();
    s.nJustifyQuotient = 0;
    s.nJustifyRemainder = 0;
    s.left = nLeft;
    s.top = nTop;
    s.right = nRight;
    s.bottom = nBottom;
    s.centre = POINT{ClampToInt(int64_t(nLeft) + (int64_t(nRight) - nLeft) / 2),
        ClampToInt(int64_t(nTop) + (int64_t(nBottom) - nTop) / 2)};
    s.strText = strText;
    s.nAngle = nAngle;
    s.bFlipH = bFlipH;
    s.bFlipV = bFlipV;
    s.nAlignment = nAlignment >= kAlignLeft && nAlignment <= kAlignFull ? nAlignment : kAlignLeft;
    s.bJustifyLastLine = bJustifyLastLine;
    s.nShapeKind = nShapeKind;
    s.nTextWidth = 0;
    s.nTextHeight = 0;
    s.nFrameWidth = 0;
    s.nFrameHeight = 0;
    s.decorations = GlyphDecorations{};
    if (!pDC || !pDC->m_hAttribDC)
        return 0;
    pDC->GetTextMetrics(&s.tm);

    s.MeasureText();
    // The shape is made over the frame as given; a kind that gives no shape
    // lays the text out as plain text.
    if (nShapeKind != 0)
        s.pShape.reset(TextCreateWarpShape(nShapeKind, CRect(nLeft, nTop, nRight, nBottom), pDC, TRUE));
    if (!s.pShape)
        s.AlignBlock();
    s.nFrameWidth = ClampToInt(int64_t(s.right) - s.left);
    s.nFrameHeight = ClampToInt(int64_t(s.bottom) - s.top);
    MakeIdentityMat2(s.mat);
    s.decorations.Read(s.OutlineFont());
    return 1;
}

int CGlyphTextRenderer::Draw()
{
    State& s = *m_pState;
    if (!s.pDC || !s.pDC->m_hDC)
        return 0;
    CBrush brush;
    brush.CreateSolidBrush(s.pDC->GetTextColor());
    CGdiObject* pOldPen = s.pDC->SelectStockObject(NULL_PEN);
    CBrush* pOldBrush = s.pDC->SelectObject(&brush);
    const int result = s.DrawLines();
    // Let go of the font, which the caller may delete once the column is
    // drawn.
    s.ReleaseGlyphDc();
    if (pOldBrush)
        s.pDC->SelectObject(pOldBrush);
    if (pOldPen)
        s.pDC->SelectObject(pOldPen);
    return result;
}

CRect CGlyphTextRenderer::GetFrame() const
{
    return CRect(m_pState->left, m_pState->top, m_pState->right, m_pState->bottom);
}

CSize CGlyphTextRenderer::GetTextSize() const
{
    return CSize(m_pState->nTextWidth, m_pState->nTextHeight);
}
