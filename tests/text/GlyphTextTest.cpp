#include "text/GlyphText.h"

#include "app/GeometryHelpers.h"
#include "app/RectGeometry.h"
#include "model/WarpShape.h"
#include "text/TextOwner.h"
#include "tests/support/MemoryCanvas.h"

#include "platform/files/HostPath.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kInk = RGB(0, 0, 0);
constexpr COLORREF kPaper = RGB(255, 255, 255);

LONG Fx(double d)
{
    return DoubleToFixed(d);
}

POINTFX PointFx(double x, double y)
{
    return POINTFX{FixedToStruct(Fx(x)), FixedToStruct(Fx(y))};
}

TEST(FixedPoint, RoundsAndAveragesAsTheOutlinesNeed)
{
    // value, FixedToInt, FixedPointToPoint (which takes one half off first)
    const struct {
        double value;
        int toInt, toPoint;
    } cases[] = {{2.0, 2, 2}, {2.49, 2, 2}, {2.5, 3, 2}, {2.99, 3, 2}, {-2.0, -2, -2}, {-2.49, -2, -3}, {-2.5, -2, -3},
        {-2.99, -3, -3}, {0.0, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(FixedToInt(Fx(c.value)), c.toInt);
        const POINT p = FixedPointToPoint(PointFx(c.value, -c.value));
        EXPECT_EQ(p.x, c.toPoint);
        EXPECT_EQ(p.y, FixedPointToPoint(PointFx(-c.value, 0)).x);
    }
    EXPECT_EQ(Fx(-0.5), -32768);
    EXPECT_EQ(FixedToStruct(Fx(-1.25)).value, -2);
    EXPECT_EQ(FixedToStruct(Fx(-1.25)).fract, 0xC000);
    EXPECT_EQ(FixedFromStruct(FixedToStruct(Fx(-1.25))), Fx(-1.25));
    MAT2 mat;
    std::memset(&mat, 0x55, sizeof mat);
    MakeIdentityMat2(mat);
    EXPECT_EQ(FixedFromStruct(mat.eM11) + FixedFromStruct(mat.eM22), 2 * 65536);
    EXPECT_EQ(FixedFromStruct(mat.eM12) | FixedFromStruct(mat.eM21), 0);

    // Points of a glyph past 16,384 pixels: their sums leave 32 bits.
    const LONG far = Fx(30000.0);
    EXPECT_EQ(FixedAverage(far, far), far);
    EXPECT_EQ(FixedQuadMidpoint(far, far, far), far);
    EXPECT_EQ(FixedQuadMidpoint(-far, -far, -far), -far);
    EXPECT_EQ(FixedAverage(-3, 0), -1); // toward zero
}

// Builds GGO_NATIVE buffers record by record.
class OutlineBuilder {
public:
    void Polygon(double x, double y, DWORD type = TT_POLYGON_TYPE)
    {
        m_header = m_bytes.size();
        TTPOLYGONHEADER header{};
        header.cb = sizeof header;
        header.dwType = type;
        header.pfxStart = PointFx(x, y);
        Append(&header, sizeof header);
    }
    void Curve(WORD type, const std::vector<POINTFX>& points, int count = -1)
    {
        const WORD words[2] = {type, static_cast<WORD>(count < 0 ? points.size() : count)};
        Append(words, sizeof words);
        for (const POINTFX& p : points)
            Append(&p, sizeof p);
    }
    void Bytes(size_t n) { m_bytes.resize(m_bytes.size() + n); }
    // Sets the current polygon's size to what was written since it began,
    // plus delta.
    void Close(long delta = 0)
    {
        const DWORD cb = static_cast<DWORD>(m_bytes.size() - m_header + delta);
        std::memcpy(m_bytes.data() + m_header, &cb, sizeof cb);
    }
    BOOL Convert(GlyphPolygons& polygons) const
    {
        return OutlineToPolygons(m_bytes.data(), static_cast<DWORD>(m_bytes.size()), polygons);
    }

private:
    void Append(const void* p, size_t n)
    {
        const BYTE* b = static_cast<const BYTE*>(p);
        m_bytes.insert(m_bytes.end(), b, b + n);
    }
    std::vector<BYTE> m_bytes;
    size_t m_header = 0;
};

TEST(OutlineToPolygons, LinesAndSplinesGiveTheirPointsAndClose)
{
    GlyphPolygons polygons;
    {
        OutlineBuilder b;
        b.Polygon(1, 1);
        b.Curve(TT_PRIM_LINE, {PointFx(10, 1), PointFx(10, 10), PointFx(1, 10)});
        b.Close();
        ASSERT_TRUE(b.Convert(polygons));
        ASSERT_EQ(polygons.counts, std::vector<int>{5});
        const std::vector<POINT> want = {{10, 1}, {10, 10}, {1, 10}, {1, 1}, {10, 1}};
        ASSERT_EQ(polygons.points.size(), want.size());
        for (size_t i = 0; i < want.size(); ++i) {
            EXPECT_EQ(polygons.points[i].x, want[i].x) << i;
            EXPECT_EQ(polygons.points[i].y, want[i].y) << i;
        }
    }
    {
        // One spline piece from (0,0) through control (64,64) to (128,0):
        // 16 points, the middle one on the curve's midpoint.
        OutlineBuilder b;
        b.Polygon(0, 0);
        b.Curve(TT_PRIM_QSPLINE, {PointFx(64, 64), PointFx(128, 0)});
        b.Close();
        ASSERT_TRUE(b.Convert(polygons));
        ASSERT_EQ(polygons.counts, std::vector<int>{18});
        EXPECT_EQ(polygons.points[7].x, 64);
        EXPECT_EQ(polygons.points[7].y, 32);
        EXPECT_EQ(polygons.points[15].x, 128);
        EXPECT_EQ(polygons.points[15].y, 0);
    }
    {
        // Two control points imply an on-curve point halfway between them.
        OutlineBuilder b;
        b.Polygon(0, 0);
        b.Curve(TT_PRIM_QSPLINE, {PointFx(0, 100), PointFx(100, 100), PointFx(100, 0)});
        b.Close();
        ASSERT_TRUE(b.Convert(polygons));
        ASSERT_EQ(polygons.counts, std::vector<int>{34});
        EXPECT_EQ(polygons.points[15].x, 50);
        EXPECT_EQ(polygons.points[15].y, 100);
    }
}

TEST(OutlineToPolygons, SkipsOtherHeadersAndRefusesMalformedRecords)
{
    GlyphPolygons polygons;
    {
        OutlineBuilder b;
        b.Polygon(0, 0, 7);
        b.Bytes(12);
        b.Close();
        b.Polygon(0, 0);
        b.Curve(TT_PRIM_LINE, {PointFx(5, 0), PointFx(5, 5)});
        b.Close();
        ASSERT_TRUE(b.Convert(polygons));
        EXPECT_EQ(polygons.counts, std::vector<int>{4});
    }
    using Build = void (*)(OutlineBuilder&);
    const std::pair<const char*, Build> bad[] = {
        {"polygon past the buffer",
            [](OutlineBuilder& b) { b.Polygon(0, 0), b.Curve(1, {PointFx(5, 0)}), b.Close(8); }},
        {"header smaller than itself", [](OutlineBuilder& b) { b.Polygon(0, 0), b.Close(-4); }},
        {"points past the polygon",
            [](OutlineBuilder& b) { b.Polygon(0, 0), b.Curve(1, {PointFx(5, 0)}, 3), b.Close(); }},
        {"curve head cut short", [](OutlineBuilder& b) { b.Polygon(0, 0), b.Bytes(2), b.Close(); }},
        {"bytes after the last polygon", [](OutlineBuilder& b) { b.Polygon(0, 0), b.Close(), b.Bytes(8); }},
        {"spline without its end", [](OutlineBuilder& b) { b.Polygon(0, 0), b.Curve(2, {PointFx(5, 0)}), b.Close(); }},
        {"unknown curve type", [](OutlineBuilder& b) { b.Polygon(0, 0), b.Curve(9, {PointFx(5, 0)}), b.Close(); }},
    };
    for (const auto& [what, build] : bad) {
        OutlineBuilder b;
        build(b);
        EXPECT_FALSE(b.Convert(polygons)) << what;
    }
}

TEST(OutlineToPolygons, KeepsEveryContourOfAComplexGlyph)
{
    // More contours and points than a fixed table of 1,536 contours and
    // 6,144 points holds: the last contour must come out whole.
    OutlineBuilder b;
    const int contours = 2000;
    for (int i = 0; i < contours; ++i) {
        b.Polygon(i, 0);
        b.Curve(TT_PRIM_LINE, {PointFx(i, 3), PointFx(i + 1, 3), PointFx(i + 1, 0)});
        b.Close();
    }
    GlyphPolygons polygons;
    ASSERT_TRUE(b.Convert(polygons));
    ASSERT_EQ(polygons.counts, std::vector<int>(contours, 5));
    const POINT* last = &polygons.points[polygons.points.size() - 5];
    EXPECT_EQ(std::make_pair(last[0].x, last[0].y), std::make_pair(LONG(contours - 1), LONG(3)));
    EXPECT_EQ(std::make_pair(last[3].x, last[3].y), std::make_pair(LONG(contours - 1), LONG(0)));
}

// ---- Glyphs of real fonts -----------------------------------------------------------------------

HFONT MakeFont(const char* face, int height, BOOL bUnderline = FALSE)
{
    return ::CreateFont(
        -height, 0, 0, 0, FW_NORMAL, FALSE, bUnderline, FALSE, ANSI_CHARSET, OUT_TT_PRECIS, 0, 0, 0, face);
}

// A font deleted with the test.
struct ScopedFont {
    HFONT h;
    ~ScopedFont() { ::DeleteObject(h); }
    operator HFONT() const { return h; }
};

// The font's ascent and the extent of str in it.
CSize Measure(HFONT hFont, const char* str, int* pAscent = nullptr)
{
    HDC hDC = ::CreateCompatibleDC(NULL);
    HGDIOBJ old = ::SelectObject(hDC, hFont);
    TEXTMETRIC tm{};
    ::GetTextMetrics(hDC, &tm);
    SIZE size{};
    ::GetTextExtentPoint32(hDC, str, static_cast<int>(std::strlen(str)), &size);
    ::SelectObject(hDC, old);
    ::DeleteDC(hDC);
    if (pAscent)
        *pAscent = tm.tmAscent;
    return CSize(size.cx, size.cy);
}

int Ascent(HFONT hFont)
{
    int ascent = 0;
    Measure(hFont, "", &ascent);
    return ascent;
}

// Draws strText with the renderer in black on white, the font selected.
int RenderText(testing_support::MemoryCanvas& canvas, HFONT hFont, CRect frame, const CString& strText,
    int nAlignment = 0, BOOL bJustifyLast = FALSE, int nAngle = 0, int nShape = 0, BOOL bFlipH = FALSE)
{
    CDC* pDC = canvas.DC();
    pDC->FillSolidRect(0, 0, 4000, 4000, kPaper);
    pDC->SetTextColor(kInk);
    HGDIOBJ old = ::SelectObject(pDC->m_hDC, hFont);
    CGlyphTextRenderer renderer;
    renderer.SetFont(hFont);
    int result = renderer.Setup(pDC, frame.left, frame.top, frame.right, frame.bottom, strText, nAngle, bFlipH, FALSE,
        nAlignment, bJustifyLast, nShape);
    if (result)
        result = renderer.Draw();
    ::SelectObject(pDC->m_hDC, old);
    return result;
}

bool IsInk(COLORREF c)
{
    return GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 128;
}

const char kGlyfTest[] = THREADWICK_TESTDATA_DIR "/ttf/bin-golang-golang-x-image-dev__glyfTest.ttf";

bool AddGlyfTestFont()
{
    static const bool added = std::filesystem::exists(kGlyfTest)
        && ::AddFontResourceEx(platform::WindowsPathFor(kGlyfTest).c_str(), FR_PRIVATE, nullptr) == 1;
    return added;
}

struct Quad {
    double cx, cy, x, y;
};

// What the flattening gives for a contour drawn as quadratic pieces.
std::vector<POINT> ExpectedContour(double sx, double sy, const std::vector<Quad>& quads)
{
    GlyphPolygons polygons;
    OutlineBuilder b;
    b.Polygon(sx, sy);
    for (const Quad& q : quads)
        b.Curve(TT_PRIM_QSPLINE, {PointFx(q.cx, q.cy), PointFx(q.x, q.y)});
    b.Close();
    b.Convert(polygons);
    return polygons.points;
}

TEST(GlyphOutline, ZeroOfAFontFileFollowsItsQuadraticPieces)
{
    if (!AddGlyfTestFont())
        GTEST_SKIP() << "no glyfTest.ttf";
    // At 2048 pixels (the font's units per em) a pixel is a font unit.
    ScopedFont font{MakeFont("glyfTest", 2048)};
    GLYPHMETRICS gm{};
    GlyphPolygons polygons;
    ASSERT_TRUE(LoadGlyphPolygons(font, '0', gm, polygons));

    const std::vector<std::vector<POINT>> want = {
        ExpectedContour(614, 1434,
            {{369, 1434, 369, 614}, {369, 471, 435, 338}, {502, 205, 614, 205}, {860, 205, 860, 1024},
                {860, 1167, 793, 1300}, {727, 1434, 614, 1434}}),
        ExpectedContour(
            614, 1638, {{1024, 1638, 1024, 819}, {1024, 0, 614, 0}, {205, 0, 205, 819}, {205, 1638, 614, 1638}}),
    };
    ASSERT_EQ(polygons.counts.size(), want.size());
    size_t at = 0;
    for (size_t c = 0; c < want.size(); ++c) {
        ASSERT_EQ(static_cast<size_t>(polygons.counts[c]), want[c].size()) << "contour " << c;
        for (size_t i = 0; i < want[c].size(); ++i, ++at) {
            EXPECT_LE(std::abs(polygons.points[at].x - want[c][i].x), 1) << "contour " << c << " point " << i;
            EXPECT_LE(std::abs(polygons.points[at].y - want[c][i].y), 1) << "contour " << c << " point " << i;
        }
    }

    // Drawn at 200 pixels, the counter (x 36..84 of the stroke's 20..100)
    // stays open.
    ScopedFont small{MakeFont("glyfTest", 200)};
    testing_support::MemoryCanvas canvas(200, 260);
    ASSERT_TRUE(RenderText(canvas, small, CRect(0, 0, 200, 260), "0"));
    const int middle = Ascent(small) - 80;
    EXPECT_FALSE(IsInk(canvas.At(60, middle))) << "hole filled";
    EXPECT_TRUE(IsInk(canvas.At(28, middle)));
    EXPECT_TRUE(IsInk(canvas.At(92, middle)));
}

// How many pixels of the glyph box agree between the outline fill and the
// platform's own text output of the same character.
double AgreementWithTextOut(const char* face, char ch)
{
    const int height = 200;
    ScopedFont font{MakeFont(face, height)};
    testing_support::MemoryCanvas outline(300, 300);
    testing_support::MemoryCanvas text(300, 300);
    const CRect frame(20, 20, 280, 280);
    const CString str(ch);
    if (!RenderText(outline, font, frame, str))
        return 0;

    CDC* pDC = text.DC();
    pDC->FillSolidRect(0, 0, 300, 300, kPaper);
    pDC->SetBkMode(TRANSPARENT);
    HGDIOBJ old = ::SelectObject(pDC->m_hDC, font);
    pDC->TextOut(frame.left, frame.top, str);
    ::SelectObject(pDC->m_hDC, old);

    GLYPHMETRICS gm{};
    GlyphPolygons polygons;
    if (!LoadGlyphPolygons(font, static_cast<BYTE>(ch), gm, polygons))
        return 0;
    const int left = frame.left + gm.gmptGlyphOrigin.x;
    const int top = frame.top + Ascent(font) - gm.gmptGlyphOrigin.y;
    int agree = 0, total = 0;
    for (int y = top; y < top + static_cast<int>(gm.gmBlackBoxY); ++y)
        for (int x = left; x < left + static_cast<int>(gm.gmBlackBoxX); ++x) {
            ++total;
            agree += IsInk(outline.At(x, y)) == IsInk(text.At(x, y));
        }
    return total ? double(agree) / total : 0;
}

TEST(GlyphTextRenderer, FilledOutlinesMatchTheFontsOwnDrawing)
{
    // Outline points are rounded half a pixel off the sampling the font
    // rasteriser uses, so edge pixels may differ; at 200 pixels those are
    // a small share of the glyph.
    EXPECT_GE(AgreementWithTextOut("Arial", 'o'), 0.97);
    EXPECT_GE(AgreementWithTextOut("Arial", 'B'), 0.97);
}

// The runs of inked columns along row y, as [first, last) pairs.
std::vector<std::pair<int, int>> InkRuns(testing_support::MemoryCanvas& canvas, int width, int top, int bottom)
{
    std::vector<std::pair<int, int>> runs;
    bool in = false;
    for (int x = 0; x < width; ++x) {
        bool ink = false;
        for (int y = top; y < bottom && !ink; ++y)
            ink = IsInk(canvas.At(x, y));
        if (ink && !in)
            runs.emplace_back(x, x);
        if (!ink && in)
            runs.back().second = x;
        in = ink;
    }
    if (in)
        runs.back().second = width;
    return runs;
}

TEST(GlyphTextRenderer, JustificationGivesTheFirstGapsThePixelsLeftOver)
{
    // Equal advances, so that only the gaps move the letters.
    ScopedFont font{MakeFont("Courier New", 20)};
    testing_support::MemoryCanvas canvas(400, 60);
    const CSize extent = Measure(font, "I I I I");
    const int extra = 11; // three gaps: 4, 4, 3

    ASSERT_TRUE(RenderText(canvas, font, CRect(10, 10, 10 + extent.cx, 50), "I I I I\r"));
    const auto plain = InkRuns(canvas, 400, 10, 50);
    ASSERT_TRUE(RenderText(canvas, font, CRect(10, 10, 10 + extent.cx + extra, 50), "I I I I\r", 3));
    const auto justified = InkRuns(canvas, 400, 10, 50);
    ASSERT_EQ(plain.size(), 4u);
    ASSERT_EQ(justified.size(), 4u);
    const int shifts[] = {0, 4, 8, 11};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(justified[i].first - plain[i].first, shifts[i]) << "letter " << i;

    // A line ended by LF is never justified, nor the last line without the
    // flag; with the flag it is.
    for (const char* text : {"I I I I\n", "I I I I"}) {
        ASSERT_TRUE(RenderText(canvas, font, CRect(10, 10, 10 + extent.cx + extra, 50), text, 3));
        EXPECT_EQ(InkRuns(canvas, 400, 10, 50), plain) << text;
    }
    ASSERT_TRUE(RenderText(canvas, font, CRect(10, 10, 10 + extent.cx + extra, 50), "I I I I", 3, TRUE));
    EXPECT_EQ(InkRuns(canvas, 400, 10, 50), justified);
}

TEST(GlyphTextRenderer, UnderlineRunsOnAcrossTheGap)
{
    ScopedFont font{MakeFont("Arial", 40, TRUE)};
    testing_support::MemoryCanvas canvas(200, 80);
    ASSERT_TRUE(RenderText(canvas, font, CRect(10, 10, 190, 70), "ab"));
    const auto letters = InkRuns(canvas, 200, 10, 70);
    ASSERT_EQ(letters.size(), 1u) << "underline broken";
    // Some row below the letters is inked from the first letter's left to
    // the last one's right.
    bool found = false;
    for (int y = 10; y < 70 && !found; ++y) {
        const auto row = InkRuns(canvas, 200, y, y + 1);
        found = row.size() == 1 && row[0].first == letters[0].first && row[0].second == letters[0].second;
    }
    EXPECT_TRUE(found);
}

// The pixels of the canvas that are ink, or of the colour.
std::vector<bool> Mask(testing_support::MemoryCanvas& canvas, int width, int height, COLORREF color = CLR_INVALID)
{
    std::vector<bool> mask(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            mask[static_cast<size_t>(y) * width + x]
                = color == CLR_INVALID ? IsInk(canvas.At(x, y)) : canvas.At(x, y) == color;
    return mask;
}

// How many inked pixels of a have no inked pixel of b within one pixel.
int Unmatched(const std::vector<bool>& a, const std::vector<bool>& b, int width, int height)
{
    int n = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (!a[static_cast<size_t>(y) * width + x])
                continue;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy)
                for (int dx = -1; dx <= 1 && !near; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    near = nx >= 0 && ny >= 0 && nx < width && ny < height && b[static_cast<size_t>(ny) * width + nx];
                }
            n += near ? 0 : 1;
        }
    return n;
}

TEST(GlyphTextRenderer, FlatWarpMapsAsTheStraightText)
{
    TextOwnerServices saved = GetTextOwnerServices();
    TextOwnerServices services = saved;
    services.pfnCreateWarpShape = &CreateWarpShape;
    SetTextOwnerServices(services);

    ScopedFont font{MakeFont("Arial", 40)};
    testing_support::MemoryCanvas canvas(200, 80);
    const CSize extent = Measure(font, "Ab");
    // A frame as large as the text, so that the flat shape has nothing to
    // stretch: the shape's columns are sampled a pixel at a time, so the
    // warped glyphs may stand a pixel off, never more.
    const CRect frame(10, 10, 10 + extent.cx, 10 + extent.cy);
    ASSERT_TRUE(RenderText(canvas, font, frame, "Ab"));
    const std::vector<bool> straight = Mask(canvas, 200, 80);
    ASSERT_TRUE(RenderText(canvas, font, frame, "Ab", 0, FALSE, 0, 16));
    const std::vector<bool> warped = Mask(canvas, 200, 80);
    SetTextOwnerServices(saved);

    ASSERT_GT(std::count(warped.begin(), warped.end(), true), 200);
    EXPECT_EQ(Unmatched(warped, straight, 200, 80), 0);
    EXPECT_EQ(Unmatched(straight, warped, 200, 80), 0);
}

// Draws "Ig" on a DC scrolled by (15, 5), with or without a fill object,
// and gives the pixels of the colour.
std::vector<bool> DrawScrolled(HFONT hFont, BOOL bFillObject, COLORREF color)
{
    testing_support::MemoryCanvas canvas(200, 100);
    CDC* pDC = canvas.DC();
    pDC->FillSolidRect(0, 0, 200, 100, kPaper);
    pDC->SetViewportOrg(15, 5);
    pDC->IntersectClipRect(-15, -5, 180, 90);
    pDC->SetTextColor(kInk);
    HGDIOBJ old = ::SelectObject(pDC->m_hDC, hFont);
    CGlyphTextRenderer renderer;
    renderer.SetFont(hFont);
    if (bFillObject)
        renderer.SetFillObject(reinterpret_cast<CDrawObj*>(&renderer));
    EXPECT_TRUE(renderer.Setup(pDC, 0, 0, 150, 80, "Ig", 0, FALSE, FALSE, 0, FALSE, 0));
    EXPECT_TRUE(renderer.Draw());
    ::SelectObject(pDC->m_hDC, old);
    // The caller's clipping is as it was.
    CRect clip;
    EXPECT_EQ(pDC->GetClipBox(&clip), SIMPLEREGION);
    EXPECT_EQ(clip, CRect(-15, -5, 180, 90));
    pDC->SetViewportOrg(0, 0);
    return Mask(canvas, 200, 100, color);
}

TEST(GlyphTextRenderer, FillObjectPaintsThroughTheGlyph)
{
    ScopedFont font{MakeFont("Arial", 60)};
    const std::vector<bool> plain = DrawScrolled(font, FALSE, kInk);

    TextOwnerServices saved = GetTextOwnerServices();
    TextOwnerServices services = saved;
    services.pfnPaintFill = [](CDrawObj*, CDC* pDC, const CRect& rect) { pDC->FillSolidRect(&rect, RGB(0, 0, 255)); };
    SetTextOwnerServices(services);
    const std::vector<bool> filled = DrawScrolled(font, TRUE, RGB(0, 0, 255));
    const std::vector<bool> inkLeft = DrawScrolled(font, TRUE, kInk);
    SetTextOwnerServices(saved);

    // The fill shows exactly through the glyphs, wherever the DC's origin
    // lies, and the text colour is not drawn as well.
    ASSERT_GT(std::count(plain.begin(), plain.end(), true), 300);
    EXPECT_EQ(Unmatched(filled, plain, 200, 100), 0);
    EXPECT_EQ(Unmatched(plain, filled, 200, 100), 0);
    EXPECT_EQ(std::count(inkLeft.begin(), inkLeft.end(), true), 0);
}

// Fills the polygons in black on a white canvas after placing them with
// the pen at (60, 120), y up, and turning them about (100, 100).
void FillPlaced(testing_support::MemoryCanvas& canvas, GlyphPolygons polygons, int nAngle)
{
    for (POINT& p : polygons.points)
        p = POINT{60 + p.x, 120 - p.y};
    RotatePoints(POINT{100, 100}, polygons.points.data(), static_cast<int>(polygons.points.size()), nAngle, FALSE);
    CDC* pDC = canvas.DC();
    pDC->FillSolidRect(0, 0, 200, 200, kPaper);
    CBrush brush(kInk);
    HGDIOBJ oldPen = pDC->SelectObject(::GetStockObject(NULL_PEN));
    CBrush* pOldBrush = pDC->SelectObject(&brush);
    FillGlyphPolygons(pDC, polygons);
    pDC->SelectObject(pOldBrush);
    pDC->SelectObject(oldPen);
}

TEST(GlyphReader, FillsWhatTheWholeOutlineFillsWithoutRepeatedPoints)
{
    testing_support::MemoryCanvas whole(200, 200);
    testing_support::MemoryCanvas read(200, 200);
    for (int height : {11, 16, 40}) {
        ScopedFont font{MakeFont("Arial", height)};
        CGlyphReader reader(font);
        size_t nWhole = 0;
        size_t nRead = 0;
        for (const char ch : std::string("gaeO@&%8Wy.")) {
            SCOPED_TRACE(testing::Message() << height << " px '" << ch << "'");
            GLYPHMETRICS gmWhole{};
            GlyphPolygons full;
            ASSERT_TRUE(LoadGlyphPolygons(font, static_cast<BYTE>(ch), gmWhole, full));
            // Read twice: once flattened, once as kept.
            GlyphPolygons polygons;
            for (int pass = 0; pass < 2; ++pass) {
                GLYPHMETRICS gm{};
                ASSERT_TRUE(reader.Load(static_cast<BYTE>(ch), gm, polygons));
                EXPECT_EQ(std::memcmp(&gm, &gmWhole, sizeof gm), 0);
            }
            ASSERT_EQ(polygons.counts.size(), full.counts.size());
            size_t at = 0;
            int nRepeats = 0;
            for (const int count : polygons.counts) {
                EXPECT_GE(count, 2);
                for (int i = 1; i < count; ++i) {
                    const POINT a = polygons.points[at + size_t(i) - 1];
                    const POINT b = polygons.points[at + size_t(i)];
                    nRepeats += a.x == b.x && a.y == b.y;
                }
                at += size_t(count);
            }
            ASSERT_EQ(at, polygons.points.size());
            EXPECT_EQ(nRepeats, 0);
            nWhole += full.points.size();
            nRead += polygons.points.size();
            for (int nAngle : {0, 30, 215}) {
                FillPlaced(whole, full, nAngle);
                FillPlaced(read, polygons, nAngle);
                int nDiffer = 0;
                for (int y = 0; y < 200; ++y)
                    for (int x = 0; x < 200; ++x)
                        nDiffer += whole.At(x, y) != read.At(x, y);
                EXPECT_EQ(nDiffer, 0) << "at " << nAngle << " degrees";
            }
        }
        // Small glyphs are mostly repeats: a curve's flattened points fall
        // on few pixels.
        if (height <= 16) {
            EXPECT_LT(nRead * 2, nWhole) << height << " px";
        }
    }
}

TEST(GlyphTextRenderer, DrawsAnOutlineBeyondSixteenThousandPixels)
{
    // 999 points at 1,200 dpi.
    ScopedFont font{MakeFont("Arial", 16650)};
    GLYPHMETRICS gm{};
    GlyphPolygons polygons;
    ASSERT_TRUE(LoadGlyphPolygons(font, 'O', gm, polygons));
    ASSERT_EQ(polygons.counts.size(), 2u);
    EXPECT_GT(gm.gmBlackBoxY, 8192u);
    int top = 0;
    for (const POINT& p : polygons.points)
        top = std::max<int>(top, p.y);
    EXPECT_NEAR(top, gm.gmptGlyphOrigin.y, 2);

    // The left stroke of the O crosses a small canvas placed at its middle.
    testing_support::MemoryCanvas canvas(100, 100);
    const int middle = Ascent(font) - gm.gmptGlyphOrigin.y + static_cast<int>(gm.gmBlackBoxY) / 2;
    const int x = 40 - gm.gmptGlyphOrigin.x;
    ASSERT_TRUE(RenderText(canvas, font, CRect(x, -middle + 50, x + 30000, -middle + 30000), "O"));
    EXPECT_TRUE(IsInk(canvas.At(60, 50)));
    EXPECT_FALSE(IsInk(canvas.At(10, 50)));
}

} // namespace
