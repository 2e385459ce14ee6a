#include "FontTestReference.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using gditest::MemoryCanvas;
using gditest::SelectedFont;

namespace {

MAT2 Scale(double s)
{
    MAT2 m{};
    auto fixed = [](double v) {
        int32_t f = int32_t(v * 65536.0);
        return FIXED{WORD(uint32_t(f) & 0xFFFF), SHORT(f >> 16)};
    };
    m.eM11 = fixed(s);
    m.eM22 = fixed(s);
    return m;
}

int32_t Fixed(const FIXED& f)
{
    return int32_t(uint32_t(uint16_t(f.value)) << 16 | f.fract);
}

struct Point {
    int32_t x, y;
    bool on;
    bool operator==(const Point& o) const { return x == o.x && y == o.y && on == o.on; }
};

// The contours of an outline buffer as point lists: the start, then each
// record's points (spline records: control points off the curve, the last
// on it). Checks the record layout on the way.
std::vector<std::vector<Point>> ParseRecords(const std::vector<unsigned char>& buffer, WORD splineType)
{
    std::vector<std::vector<Point>> contours;
    size_t at = 0;
    while (at < buffer.size()) {
        TTPOLYGONHEADER header;
        EXPECT_LE(at + sizeof(header), buffer.size());
        std::memcpy(&header, buffer.data() + at, sizeof(header));
        EXPECT_EQ(header.dwType, DWORD(TT_POLYGON_TYPE));
        EXPECT_GE(header.cb, sizeof(header));
        EXPECT_LE(at + header.cb, buffer.size());
        std::vector<Point> points{{Fixed(header.pfxStart.x), Fixed(header.pfxStart.y), true}};
        size_t p = at + sizeof(header);
        while (p < at + header.cb) {
            WORD type, count;
            std::memcpy(&type, buffer.data() + p, 2);
            std::memcpy(&count, buffer.data() + p + 2, 2);
            EXPECT_TRUE(type == TT_PRIM_LINE || type == splineType) << type;
            EXPECT_GT(count, 0);
            p += 4;
            for (WORD i = 0; i < count; ++i, p += sizeof(POINTFX)) {
                POINTFX fx;
                std::memcpy(&fx, buffer.data() + p, sizeof(fx));
                points.push_back(Point{Fixed(fx.x), Fixed(fx.y), type == TT_PRIM_LINE || i + 1 == count});
            }
        }
        EXPECT_EQ(p, at + header.cb);
        contours.push_back(points);
        at += header.cb;
    }
    return contours;
}

std::vector<unsigned char> Outline(HDC dc, UINT ch, UINT format, GLYPHMETRICS& gm, const MAT2& m)
{
    DWORD size = GetGlyphOutline(dc, ch, format, &gm, 0, nullptr, &m);
    EXPECT_NE(size, GDI_ERROR);
    std::vector<unsigned char> buffer(size == GDI_ERROR ? 0 : size);
    if (size && size != GDI_ERROR) {
        EXPECT_EQ(GetGlyphOutline(dc, ch, format, &gm, size, buffer.data(), &m), size);
    }
    return buffer;
}

TEST(GlyphOutlineTest, SizeCallGivesTheExactBufferSize)
{
    MemoryCanvas c(8, 8);
    SelectedFont font(c.dc, -100, "Arial");
    MAT2 identity = Scale(1.0);
    for (UINT ch : {UINT('o'), UINT('B'), UINT('&'), UINT(0xE9)}) {
        GLYPHMETRICS gm{};
        DWORD size = GetGlyphOutline(c.dc, ch, GGO_NATIVE, &gm, 0, nullptr, &identity);
        ASSERT_NE(size, GDI_ERROR);
        ASSERT_GT(size, sizeof(TTPOLYGONHEADER));
        // A buffer a byte short is refused; the exact size is filled to the
        // last byte and nothing beyond.
        std::vector<unsigned char> buffer(size + 16, 0xAB);
        EXPECT_EQ(GetGlyphOutline(c.dc, ch, GGO_NATIVE, &gm, size - 1, buffer.data(), &identity), GDI_ERROR);
        EXPECT_EQ(GetGlyphOutline(c.dc, ch, GGO_NATIVE, &gm, size, buffer.data(), &identity), size);
        for (size_t i = size; i < buffer.size(); ++i)
            EXPECT_EQ(buffer[i], 0xAB);
        std::vector<unsigned char> exact(buffer.begin(), buffer.begin() + size);
        ParseRecords(exact, TT_PRIM_QSPLINE);
    }
}

TEST(GlyphOutlineTest, NativeRecordsAreFreeTypesContoursInFixedPointYUp)
{
#ifndef THREADWICK_HAVE_FREETYPE_REFERENCE
    GTEST_SKIP() << "FreeType headers are not on the test include path";
#else
    gditest::ReferenceFace ref(gditest::FontFileOf("Liberation Sans"));
    ASSERT_NE(ref.Face(), nullptr);
    MemoryCanvas c(8, 8);
    SelectedFont font(c.dc, -100, "Arial");
    ref.SetPpem(100);
    const MAT2 identity = Scale(1.0);
    for (char ch : {'o', 'B'}) {
        SCOPED_TRACE(ch);
        GLYPHMETRICS gm{};
        std::vector<std::vector<Point>> ours = ParseRecords(Outline(c.dc, UINT(ch), GGO_NATIVE, gm, identity), TT_PRIM_QSPLINE);
        ASSERT_TRUE(ref.Load(char32_t(ch)));
        const FT_Outline& outline = ref.Face()->glyph->outline;
        ASSERT_EQ(ours.size(), size_t(outline.n_contours));
        int first = 0;
        for (int k = 0; k < outline.n_contours; ++k) {
            int last = outline.contours[k];
            std::vector<Point> theirs;
            for (int i = first; i <= last; ++i)
                theirs.push_back(Point{int32_t(outline.points[i].x * 1024), int32_t(outline.points[i].y * 1024),
                    FT_CURVE_TAG(outline.tags[i]) == FT_CURVE_TAG_ON});
            first = last + 1;
            // Start on the contour's first on-curve point, as the records do.
            ASSERT_TRUE(theirs.front().on || theirs.back().on);
            if (!theirs.front().on)
                std::rotate(theirs.begin(), theirs.end() - 1, theirs.end());
            std::vector<Point> mine = ours[size_t(k)];
            // A closing spline ends on the start again; a closing line is implied.
            if (mine.size() > 1 && mine.back() == mine.front())
                mine.pop_back();
            EXPECT_EQ(mine, theirs);
        }
        // y runs up: the top of the black box is half the em above the baseline.
        EXPECT_EQ(gm.gmptGlyphOrigin.y, LONG((ref.Face()->glyph->metrics.horiBearingY + 63) >> 6));
        EXPECT_GT(gm.gmptGlyphOrigin.y, 50);
        EXPECT_EQ(gm.gmCellIncX, ref.Advance(char32_t(ch)));
    }
    GLYPHMETRICS gm{};
    EXPECT_EQ(ParseRecords(Outline(c.dc, 'o', GGO_NATIVE, gm, identity), TT_PRIM_QSPLINE).size(), 2u);
    EXPECT_EQ(ParseRecords(Outline(c.dc, 'B', GGO_NATIVE, gm, identity), TT_PRIM_QSPLINE).size(), 3u);
#endif
}

TEST(GlyphOutlineTest, MatrixScalesTheOutlineAndMetrics)
{
    MemoryCanvas c(8, 8);
    SelectedFont font(c.dc, -60, "Times New Roman");
    GLYPHMETRICS one{}, two{};
    auto a = ParseRecords(Outline(c.dc, 'g', GGO_NATIVE, one, Scale(1.0)), TT_PRIM_QSPLINE);
    auto b = ParseRecords(Outline(c.dc, 'g', GGO_NATIVE, two, Scale(2.0)), TT_PRIM_QSPLINE);
    ASSERT_EQ(a.size(), b.size());
    for (size_t k = 0; k < a.size(); ++k) {
        ASSERT_EQ(a[k].size(), b[k].size());
        for (size_t i = 0; i < a[k].size(); ++i) {
            EXPECT_EQ(b[k][i].x, 2 * a[k][i].x);
            EXPECT_EQ(b[k][i].y, 2 * a[k][i].y);
        }
    }
    EXPECT_EQ(two.gmCellIncX, 2 * one.gmCellIncX);
    EXPECT_NEAR(two.gmBlackBoxX, 2.0 * one.gmBlackBoxX, 1.0);
    // 'g' descends: its black box reaches below the baseline.
    EXPECT_GT(LONG(one.gmBlackBoxY), one.gmptGlyphOrigin.y);
}

TEST(GlyphOutlineTest, MetricsAgreeWithAbcWidths)
{
    MemoryCanvas c(8, 8);
    SelectedFont font(c.dc, -36, "Arial");
    const MAT2 identity = Scale(1.0);
    for (char ch : {'A', 'f', 'j', 'W', '1'}) {
        GLYPHMETRICS gm{};
        ASSERT_NE(GetGlyphOutline(c.dc, UINT(ch), GGO_METRICS, &gm, 0, nullptr, &identity), GDI_ERROR);
        ABC abc{};
        GetCharABCWidths(c.dc, UINT(ch), UINT(ch), &abc);
        EXPECT_EQ(gm.gmptGlyphOrigin.x, abc.abcA) << ch;
        EXPECT_EQ(gm.gmBlackBoxX, abc.abcB) << ch;
        EXPECT_EQ(gm.gmCellIncX, abc.abcA + int(abc.abcB) + abc.abcC) << ch;
        EXPECT_EQ(gm.gmCellIncY, 0);
    }
}

TEST(GlyphOutlineTest, BlanksHaveAnAdvanceButNoOutline)
{
    MemoryCanvas c(8, 8);
    SelectedFont font(c.dc, -36, "Arial");
    const MAT2 identity = Scale(1.0);
    GLYPHMETRICS gm{};
    EXPECT_EQ(GetGlyphOutline(c.dc, ' ', GGO_NATIVE, &gm, 0, nullptr, &identity), 0u);
    EXPECT_GT(gm.gmCellIncX, 0);
    EXPECT_EQ(gm.gmBlackBoxX, 1u);
}

TEST(GlyphOutlineTest, BezierRecordsAreCubicPieces)
{
    MemoryCanvas c(8, 8);
    SelectedFont font(c.dc, -80, "Arial");
    GLYPHMETRICS gm{};
    std::vector<unsigned char> buffer = Outline(c.dc, 'o', GGO_BEZIER, gm, Scale(1.0));
    auto contours = ParseRecords(buffer, TT_PRIM_CSPLINE);
    ASSERT_EQ(contours.size(), 2u);
    // Every cubic record holds whole pieces of three points.
    size_t at = 0;
    while (at < buffer.size()) {
        TTPOLYGONHEADER header;
        std::memcpy(&header, buffer.data() + at, sizeof(header));
        for (size_t p = at + sizeof(header); p < at + header.cb;) {
            WORD type, count;
            std::memcpy(&type, buffer.data() + p, 2);
            std::memcpy(&count, buffer.data() + p + 2, 2);
            if (type == TT_PRIM_CSPLINE) {
                EXPECT_EQ(count % 3, 0);
            }
            p += 4 + count * sizeof(POINTFX);
        }
        at += header.cb;
    }
}

TEST(GlyphOutlineTest, RefusesWhatItCannotAnswer)
{
    MemoryCanvas c(8, 8);
    SelectedFont font(c.dc, -20, "Arial");
    GLYPHMETRICS gm{};
    const MAT2 identity = Scale(1.0);
    EXPECT_EQ(GetGlyphOutline(c.dc, 'a', GGO_NATIVE, &gm, 0, nullptr, nullptr), GDI_ERROR);
    EXPECT_EQ(GetGlyphOutline(c.dc, 'a', GGO_NATIVE, nullptr, 0, nullptr, &identity), GDI_ERROR);
    EXPECT_EQ(GetGlyphOutline(c.dc, 'a', GGO_GRAY8_BITMAP, &gm, 0, nullptr, &identity), GDI_ERROR);
    EXPECT_EQ(GetGlyphOutline(HDC(0x4321), 'a', GGO_NATIVE, &gm, 0, nullptr, &identity), GDI_ERROR);
    // Glyph indexes and characters beyond 1252 are looked up as such.
    EXPECT_NE(GetGlyphOutline(c.dc, 0x20AC, GGO_METRICS, &gm, 0, nullptr, &identity), GDI_ERROR);
    EXPECT_NE(GetGlyphOutline(c.dc, 3, GGO_METRICS | GGO_GLYPH_INDEX, &gm, 0, nullptr, &identity), GDI_ERROR);
}

} // namespace

TEST(GlyphOutlineTest, AnOutlineAskedAgainIsTheSameWhateverWasAskedBetween)
{
    MemoryCanvas c(8, 8);
    const MAT2 identity = Scale(1.0);
    GLYPHMETRICS gm{};
    std::vector<unsigned char> first;
    GLYPHMETRICS firstGm{};
    {
        SelectedFont font(c.dc, -20, "Arial");
        first = Outline(c.dc, 'g', GGO_NATIVE, firstGm, identity);
        ASSERT_FALSE(first.empty());

        // Another turn, hinting or record form of the same glyph, and many
        // other glyphs of the size, do not change what the plain outline is.
        EXPECT_NE(Outline(c.dc, 'g', GGO_NATIVE, gm, Scale(2.0)), first);
        EXPECT_NE(Outline(c.dc, 'g', GGO_NATIVE | GGO_UNHINTED, gm, identity), first);
        EXPECT_FALSE(Outline(c.dc, 'g', GGO_BEZIER, gm, identity).empty());
        for (UINT glyph = 1; glyph < 1100; ++glyph)
            GetGlyphOutline(c.dc, glyph, GGO_NATIVE | GGO_GLYPH_INDEX, &gm, 0, nullptr, &identity);
        EXPECT_EQ(Outline(c.dc, 'g', GGO_NATIVE, gm, identity), first);
        EXPECT_EQ(std::memcmp(&gm, &firstGm, sizeof gm), 0);
        GLYPHMETRICS metrics{};
        ASSERT_EQ(GetGlyphOutline(c.dc, 'g', GGO_METRICS, &metrics, 0, nullptr, &identity), 1u);
        EXPECT_EQ(std::memcmp(&metrics, &firstGm, sizeof metrics), 0);
    }
    {
        SelectedFont larger(c.dc, -40, "Arial");
        EXPECT_NE(Outline(c.dc, 'g', GGO_NATIVE, gm, identity), first);
    }
    {
        // The font's own escapement turns the outline even with an
        // identity matrix.
        LOGFONT lf = SelectedFont::Make(-20, "Arial");
        lf.lfEscapement = 900;
        SelectedFont turned(c.dc, lf);
        EXPECT_NE(Outline(c.dc, 'g', GGO_NATIVE, gm, identity), first);
    }
    SelectedFont again(c.dc, -20, "Arial");
    EXPECT_EQ(Outline(c.dc, 'g', GGO_NATIVE, gm, identity), first);
    EXPECT_EQ(std::memcmp(&gm, &firstGm, sizeof gm), 0);
}
