#include "FontTestReference.h"

#include "platform/base/String.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/internal/FontFace.h"

#include "platform/gdi/internal/DeviceContext.h"

#include <cairo/cairo.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <string>

using gditest::MemoryCanvas;
using gditest::SameRect;
using gditest::SelectedFont;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

SIZE Extent(HDC dc, const char* text)
{
    SIZE size{};
    EXPECT_TRUE(GetTextExtentPoint32(dc, text, int(std::strlen(text)), &size));
    return size;
}

TEXTMETRIC Metrics(HDC dc)
{
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    return tm;
}

bool Inside(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right && inner.bottom <= outer.bottom;
}

RECT Shifted(RECT r, int dx, int dy)
{
    return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

// The ink of a string drawn with an alignment at a reference point.
RECT InkOf(const char* text, UINT align, int x, int y, int height = -20)
{
    MemoryCanvas c(300, 120);
    SelectedFont font(c.dc, height, "Arial");
    SetBkMode(c.dc, TRANSPARENT);
    SetTextAlign(c.dc, align);
    TextOut(c.dc, x, y, text, int(std::strlen(text)));
    return c.InkBox();
}

TEST(TextOutTest, InkStaysInsideTheExtentBox)
{
    MemoryCanvas c(300, 80);
    SelectedFont font(c.dc, -24, "Times New Roman");
    SetBkMode(c.dc, TRANSPARENT);
    const char text[] = "Hgjy Wq|";
    ASSERT_TRUE(TextOut(c.dc, 10, 12, text, int(sizeof(text) - 1)));
    SIZE size = Extent(c.dc, text);
    RECT ink = c.InkBox();
    EXPECT_TRUE(Inside(ink, RECT{10, 12, 10 + size.cx, 12 + size.cy})) << c.Picture(RECT{0, 0, 200, 50});
    // The ink reaches from near the top of the cell down into the descenders.
    TEXTMETRIC tm = Metrics(c.dc);
    EXPECT_LE(ink.top, 12 + tm.tmInternalLeading + 2);
    EXPECT_GT(ink.bottom, 12 + tm.tmAscent);
    EXPECT_EQ(c.Count(kBlack) + c.Count(kWhite), 300 * 80);
}

TEST(TextOutTest, AlignmentMovesTheReferencePoint)
{
    const char text[] = "Mixed";
    MemoryCanvas probe(8, 8);
    SelectedFont font(probe.dc, -20, "Arial");
    SIZE size = Extent(probe.dc, text);
    TEXTMETRIC tm = Metrics(probe.dc);

    RECT left = InkOf(text, TA_LEFT | TA_TOP, 150, 50);
    ASSERT_GT(left.right, left.left);
    EXPECT_TRUE(SameRect(InkOf(text, TA_RIGHT | TA_TOP, 150, 50), Shifted(left, -size.cx, 0)));
    EXPECT_TRUE(SameRect(InkOf(text, TA_CENTER | TA_TOP, 150, 50), Shifted(left, -size.cx / 2, 0)));
    EXPECT_TRUE(SameRect(InkOf(text, TA_LEFT | TA_BASELINE, 150, 50), Shifted(left, 0, -tm.tmAscent)));
    EXPECT_TRUE(SameRect(InkOf(text, TA_LEFT | TA_BOTTOM, 150, 50), Shifted(left, 0, -tm.tmHeight)));
}

TEST(TextOutTest, UpdateCpDrawsAtAndAdvancesTheCurrentPosition)
{
    MemoryCanvas c(200, 40);
    SelectedFont font(c.dc, -16, "Arial");
    SetBkMode(c.dc, TRANSPARENT);
    SetTextAlign(c.dc, TA_UPDATECP);
    MoveToEx(c.dc, 20, 5, NULL);
    TextOut(c.dc, 0, 0, "ab", 2);
    POINT cp{};
    GetCurrentPositionEx(c.dc, &cp);
    EXPECT_EQ(cp.x, 20 + Extent(c.dc, "ab").cx);
    EXPECT_EQ(cp.y, 5);
    EXPECT_GE(c.InkBox().left, 20);
}

TEST(TextOutTest, BackgroundModeAndColours)
{
    const char text[] = "Colour";
    MemoryCanvas opaque(120, 40);
    SelectedFont a(opaque.dc, -20, "Arial");
    SetTextColor(opaque.dc, kBlue);
    SetBkColor(opaque.dc, kRed);
    TextOut(opaque.dc, 5, 5, text, 6);
    SIZE size = Extent(opaque.dc, text);
    RECT cell{5, 5, 5 + size.cx, 5 + size.cy};
    // The whole cell is background or text, and nothing else is touched.
    EXPECT_EQ(opaque.Count(kRed, cell) + opaque.Count(kBlue, cell), size.cx * size.cy);
    EXPECT_TRUE(SameRect(opaque.InkBox(), cell));
    EXPECT_GT(opaque.Count(kBlue), 0);

    MemoryCanvas transparent(120, 40);
    SelectedFont b(transparent.dc, -20, "Arial");
    SetTextColor(transparent.dc, kBlue);
    SetBkColor(transparent.dc, kRed);
    SetBkMode(transparent.dc, TRANSPARENT);
    TextOut(transparent.dc, 5, 5, text, 6);
    EXPECT_EQ(transparent.Count(kRed), 0);
    EXPECT_EQ(transparent.Count(kBlue), opaque.Count(kBlue));
}

TEST(TextOutTest, ExtTextOutOpaqueRectangleClippingAndSpacing)
{
    MemoryCanvas c(200, 60);
    SelectedFont font(c.dc, -30, "Arial");
    SetBkMode(c.dc, TRANSPARENT);
    SetBkColor(c.dc, kRed);
    RECT box{10, 10, 40, 50};
    ExtTextOut(c.dc, 10, 10, ETO_OPAQUE | ETO_CLIPPED, &box, "WWWW", 4, nullptr);
    // The rectangle is filled even in transparent mode; the text stays in it.
    EXPECT_TRUE(SameRect(c.InkBox(), box)) << c.Picture(RECT{0, 0, 80, 60});
    EXPECT_GT(c.Count(kBlack, box), 0);

    // Explicit spacing puts each character where the caller says.
    MemoryCanvas d(200, 60);
    SelectedFont font2(d.dc, -30, "Arial");
    SetBkMode(d.dc, TRANSPARENT);
    const INT dx[2] = {60, 60};
    ExtTextOut(d.dc, 10, 10, 0, nullptr, "ll", 2, dx);
    RECT first = d.InkBox();
    MemoryCanvas e(200, 60);
    SelectedFont font3(e.dc, -30, "Arial");
    SetBkMode(e.dc, TRANSPARENT);
    TextOut(e.dc, 70, 10, "l", 1);
    RECT second = e.InkBox();
    EXPECT_EQ(first.right, second.right);
    EXPECT_EQ(first.left, second.left - 60);
}

bool SamePixels(const MemoryCanvas& a, const MemoryCanvas& b)
{
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.At(x, y) != b.At(x, y))
                return false;
    return true;
}

// With ETO_GLYPH_INDEX the string holds 16-bit glyph indices of the selected
// font: they draw as the characters they stand for, spaced, justified and
// clipped the same way; an index the font lacks draws nothing.
TEST(TextOutTest, GlyphIndicesDrawAsTheirCharacters)
{
    const char text[] = "Hig jy";
    const UINT count = UINT(sizeof(text) - 1);
    struct Case {
        const char* name;
        const INT* dx;
        int justify;
        UINT options;
    };
    const INT dx[count] = {30, 24, 20, 26, 22, 30};
    const Case cases[] = {
        {"plain", nullptr, 0, 0},
        {"spaced", dx, 0, 0},
        {"justified", nullptr, 37, 0},
        {"clipped", nullptr, 0, ETO_CLIPPED | ETO_OPAQUE},
    };
    RECT clip{20, 0, 70, 40};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryCanvas chars(240, 70);
        MemoryCanvas glyphs(240, 70);
        WORD indices[count] = {};
        for (MemoryCanvas* canvas : {&chars, &glyphs}) {
            SelectedFont font(canvas->dc, -36, "Arial");
            SetBkMode(canvas->dc, TRANSPARENT);
            SetBkColor(canvas->dc, kRed);
            if (c.justify)
                SetTextJustification(canvas->dc, c.justify, 1);
            if (canvas == &chars) {
                ExtTextOut(canvas->dc, 10, 10, c.options, &clip, text, count, c.dx);
                continue;
            }
            ASSERT_EQ(GetGlyphIndices(canvas->dc, text, int(count), indices, 0), count);
            ExtTextOut(canvas->dc, 10, 10, c.options | ETO_GLYPH_INDEX, &clip, reinterpret_cast<LPCSTR>(indices),
                count, c.dx);
        }
        EXPECT_NE(indices[0], indices[1]);
        EXPECT_GT(chars.Count(kBlack), 100);
        EXPECT_TRUE(SamePixels(chars, glyphs)) << chars.Picture(RECT{0, 0, 240, 70})
                                               << glyphs.Picture(RECT{0, 0, 240, 70});
    }

    // A character the font lacks is marked on request; as a glyph index, a
    // number past the font's glyphs draws nothing and moves nothing.
    MemoryCanvas c(100, 60);
    SelectedFont font(c.dc, -36, "Arial");
    WORD marked[2] = {};
    ASSERT_EQ(GetGlyphIndices(c.dc, "\x81H", 2, marked, GGI_MARK_NONEXISTING_GLYPHS), 2u);
    EXPECT_EQ(marked[0], 0xFFFF);
    EXPECT_NE(marked[1], 0xFFFF);
    const WORD missing[2] = {0xFFFF, 0xFFFE};
    EXPECT_TRUE(ExtTextOut(c.dc, 10, 10, ETO_GLYPH_INDEX, nullptr, reinterpret_cast<LPCSTR>(missing), 2, nullptr));
    EXPECT_EQ(c.Count(kBlack), 0);
}

TEST(TextOutTest, UnderlineAndStrikeOutRunTheWholeWidth)
{
    for (bool underline : {true, false}) {
        MemoryCanvas c(200, 60);
        LOGFONT lf = SelectedFont::Make(-30, "Arial");
        lf.lfUnderline = underline;
        lf.lfStrikeOut = !underline;
        SelectedFont font(c.dc, lf);
        SetBkMode(c.dc, TRANSPARENT);
        TextOut(c.dc, 10, 10, "a v a", 5);
        SIZE size = Extent(c.dc, "a v a");
        TEXTMETRIC tm = Metrics(c.dc);
        // Some row is inked across the full width of the text, spaces included.
        int fullRow = -1;
        for (int y = 10; y < 10 + size.cy && fullRow < 0; ++y) {
            if (c.Count(kBlack, RECT{10, y, 10 + size.cx, y + 1}) == size.cx)
                fullRow = y;
        }
        ASSERT_GE(fullRow, 0) << c.Picture(RECT{0, 0, 120, 60});
        if (underline) {
            EXPECT_GE(fullRow, 10 + tm.tmAscent);
        } else {
            EXPECT_LT(fullRow, 10 + tm.tmAscent);
        }
    }
}

TEST(TextOutTest, EscapementTurnsTheLine)
{
    MemoryCanvas c(120, 300);
    LOGFONT lf = SelectedFont::Make(-20, "Arial");
    lf.lfEscapement = 900;
    lf.lfOrientation = 900;
    SelectedFont font(c.dc, lf);
    SetBkMode(c.dc, TRANSPARENT);
    const char text[] = "Upwards text";
    TextOut(c.dc, 40, 260, text, int(sizeof(text) - 1));
    SIZE size = Extent(c.dc, text);
    RECT ink = c.InkBox();
    // Rising from the reference point, the cell lying to its right.
    EXPECT_GT(ink.bottom - ink.top, ink.right - ink.left);
    EXPECT_LE(ink.bottom, 261);
    EXPECT_GE(ink.top, 260 - size.cx - 1);
    EXPECT_GE(ink.left, 39);
    EXPECT_LE(ink.right, 40 + size.cy + 1);
}

TEST(TextOutTest, DrawsThroughTheYUpMapping)
{
    MemoryCanvas c(200, 200);
    SetMapMode(c.dc, MM_ANISOTROPIC);
    SetWindowExtEx(c.dc, 100, -100, NULL);
    SetViewportExtEx(c.dc, 96, 96, NULL);
    SetViewportOrgEx(c.dc, 0, 200, NULL);
    SelectedFont font(c.dc, -25, "Arial");
    SetBkColor(c.dc, kRed);
    TextOut(c.dc, 50, 150, "Up", 2);
    // Logical (50, 150) is device (48, 56); the cell hangs below it.
    RECT ink = c.InkBox();
    EXPECT_EQ(ink.left, 48);
    EXPECT_EQ(ink.top, 56);
    SIZE size = Extent(c.dc, "Up");
    EXPECT_NEAR(ink.right - ink.left, size.cx * 0.96, 1.0);
    EXPECT_NEAR(ink.bottom - ink.top, size.cy * 0.96, 1.0);
}

TEST(TextOutTest, HugeFontsCostOnlyThePixelsTheyReach)
{
    MemoryCanvas c(64, 64);
    SelectedFont font(c.dc, -30000, "Arial");
    auto start = std::chrono::steady_clock::now();
    SetBkMode(c.dc, TRANSPARENT);
    SetTextAlign(c.dc, TA_BASELINE);
    ABC abc{};
    GetCharABCWidths(c.dc, 'l', 'l', &abc);
    ASSERT_GT(abc.abcB, 64u);
    // The stem of the 'l', centred on the canvas, covers all of it.
    TextOut(c.dc, 32 - abc.abcA - int(abc.abcB / 2), 5000, "l", 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(c.Count(kBlack), 64 * 64);
}

// A printer page: the DC draws vectors into a Cairo context, here one over
// an image so the result can be looked at.
TEST(TextOutTest, PrinterPagesGetTheGlyphOutlinesAsPaths)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 200, 60);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    auto page = std::make_unique<platform::DeviceContext>();
    page->kind = platform::DcKind::Printer;
    page->vector = cr;
    HDC dc = platform::AddDeviceContext(std::move(page));
    ASSERT_NE(dc, HDC(NULL));
    {
        SelectedFont font(dc, -30, "Arial");
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, kBlue);
        EXPECT_TRUE(TextOut(dc, 10, 10, "Page", 4));
        SIZE size = Extent(dc, "Page");
        cairo_surface_flush(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        int stride = cairo_image_surface_get_stride(surface);
        int inside = 0, outside = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 200; ++x) {
                uint32_t pixel;
                std::memcpy(&pixel, data + y * stride + x * 4, 4);
                if ((pixel & 0xFFFFFF) == 0xFFFFFF)
                    continue;
                // Ink is blue (anti-aliased on the page): never more red than blue.
                EXPECT_GE(pixel & 0xFF, (pixel >> 16) & 0xFF);
                bool in = x >= 10 && x < 10 + size.cx && y >= 10 && y < 10 + size.cy;
                (in ? inside : outside)++;
            }
        EXPECT_GT(inside, 100);
        EXPECT_EQ(outside, 0);
    }
    platform::RemoveDeviceContext(dc);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

TEST(TextMeasureTest, JustificationAndCharacterExtraWidenTheText)
{
    MemoryCanvas c(8, 8);
    SelectedFont font(c.dc, -16, "Arial");
    const char text[] = "a b c";
    LONG plain = Extent(c.dc, text).cx;
    ASSERT_TRUE(SetTextJustification(c.dc, 11, 2));
    EXPECT_EQ(Extent(c.dc, text).cx, plain + 11);
    INT positions[5] = {};
    SIZE size{};
    ASSERT_TRUE(GetTextExtentExPoint(c.dc, text, 5, 0, nullptr, positions, &size));
    INT width[1];
    GetCharWidth32(c.dc, ' ', ' ', width);
    INT a[1];
    GetCharWidth32(c.dc, 'a', 'a', a);
    // The odd pixel goes to the first break.
    EXPECT_EQ(positions[1] - positions[0], width[0] + 6);
    EXPECT_EQ(positions[3] - positions[2], width[0] + 5);
    SetTextJustification(c.dc, 0, 0);
    EXPECT_EQ(Extent(c.dc, text).cx, plain);

    SetTextCharacterExtra(c.dc, 3);
    EXPECT_EQ(Extent(c.dc, text).cx, plain + 15);
}

TEST(TextMeasureTest, ExtentExPointCountsWhatFits)
{
    MemoryCanvas c(8, 8);
    SelectedFont font(c.dc, -16, "Courier New");
    INT w[1];
    GetCharWidth32(c.dc, 'x', 'x', w);
    int fit = -1;
    INT positions[6];
    SIZE size{};
    ASSERT_TRUE(GetTextExtentExPoint(c.dc, "xxxxxx", 6, 3 * w[0] + 1, &fit, positions, &size));
    EXPECT_EQ(fit, 3);
    EXPECT_EQ(positions[5], 6 * w[0]);
    EXPECT_EQ(size.cx, 6 * w[0]);
    EXPECT_FALSE(GetTextExtentPoint32(c.dc, "x", -1, &size));
}

// ---- DrawText ---------------------------------------------------------------------

class DrawTextTest : public testing::Test {
protected:
    DrawTextTest()
        : canvas(300, 200)
        , font(canvas.dc, -16, "Arial")
    {
        SetBkMode(canvas.dc, TRANSPARENT);
    }
    int LineHeight() { return Metrics(canvas.dc).tmHeight; }

    MemoryCanvas canvas;
    SelectedFont font;
};

TEST_F(DrawTextTest, CalcRectOfOneLineBoundsIt)
{
    RECT r{10, 20, 11, 21};
    int height = DrawText(canvas.dc, "One line", -1, &r, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(height, LineHeight());
    EXPECT_TRUE(SameRect(r, RECT{10, 20, 10 + Extent(canvas.dc, "One line").cx, 20 + LineHeight()}));
    EXPECT_EQ(canvas.Count(kBlack), 0);
}

TEST_F(DrawTextTest, WordBreakWrapsBetweenWordsInsideTheWidth)
{
    const char text[] = "alpha beta gamma delta";
    LONG width = Extent(canvas.dc, "gamma delta").cx + 2;
    ASSERT_GT(Extent(canvas.dc, "alpha beta gamma").cx, width);
    RECT r{0, 0, width, 0};
    int height = DrawText(canvas.dc, text, -1, &r, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(height, 2 * LineHeight());
    EXPECT_EQ(r.bottom, 2 * LineHeight());
    EXPECT_EQ(r.right, std::max(Extent(canvas.dc, "alpha beta").cx, Extent(canvas.dc, "gamma delta").cx));

    // Drawn, the lines start at the left edge one line apart.
    RECT box{5, 5, 5 + width, 150};
    DrawText(canvas.dc, text, -1, &box, DT_WORDBREAK);
    MemoryCanvas single(300, 200);
    SelectedFont f2(single.dc, -16, "Arial");
    SetBkMode(single.dc, TRANSPARENT);
    TextOut(single.dc, 5, 5, "alpha beta", 10);
    TextOut(single.dc, 5, 5 + LineHeight(), "gamma delta", 11);
    EXPECT_EQ(canvas.Picture(RECT{0, 0, 150, 50}), single.Picture(RECT{0, 0, 150, 50}));

    // A word wider than the rectangle stays whole and widens it.
    RECT narrow{0, 0, 5, 0};
    DrawText(canvas.dc, "unbreakable", -1, &narrow, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(narrow.right, Extent(canvas.dc, "unbreakable").cx);
    EXPECT_EQ(narrow.bottom, LineHeight());
}

TEST_F(DrawTextTest, LineBreaksStartNewLines)
{
    RECT r{0, 0, 300, 0};
    EXPECT_EQ(DrawText(canvas.dc, "a\r\nbb\nccc\rd", -1, &r, DT_CALCRECT), 4 * LineHeight());
    EXPECT_EQ(r.right, Extent(canvas.dc, "ccc").cx);
    RECT one{0, 0, 300, 0};
    EXPECT_EQ(DrawText(canvas.dc, "a\nb", -1, &one, DT_CALCRECT | DT_SINGLELINE), LineHeight());
}

TEST_F(DrawTextTest, AlignmentInsideTheRectangle)
{
    const char text[] = "Place";
    SIZE size = Extent(canvas.dc, text);
    RECT box{20, 20, 220, 120};
    struct Case {
        UINT format;
        int x, y;
    } cases[] = {
        {DT_SINGLELINE, 20, 20},
        {DT_SINGLELINE | DT_CENTER, 20 + (200 - size.cx) / 2, 20},
        {DT_SINGLELINE | DT_RIGHT, 220 - size.cx, 20},
        {DT_SINGLELINE | DT_VCENTER, 20, 20 + (100 - size.cy) / 2},
        {DT_SINGLELINE | DT_BOTTOM | DT_RIGHT, 220 - size.cx, 120 - size.cy},
    };
    for (const Case& k : cases) {
        MemoryCanvas drawn(300, 200);
        SelectedFont a(drawn.dc, -16, "Arial");
        SetBkMode(drawn.dc, TRANSPARENT);
        RECT r = box;
        DrawText(drawn.dc, text, -1, &r, k.format);
        MemoryCanvas expected(300, 200);
        SelectedFont b(expected.dc, -16, "Arial");
        SetBkMode(expected.dc, TRANSPARENT);
        TextOut(expected.dc, k.x, k.y, text, 5);
        EXPECT_TRUE(SameRect(drawn.InkBox(), expected.InkBox())) << std::hex << k.format;
    }
}

TEST_F(DrawTextTest, AmpersandUnderlinesTheMnemonic)
{
    RECT r{10, 10, 200, 60};
    DrawText(canvas.dc, "&File", -1, &r, DT_SINGLELINE);
    MemoryCanvas plain(300, 200);
    SelectedFont f(plain.dc, -16, "Arial");
    SetBkMode(plain.dc, TRANSPARENT);
    TextOut(plain.dc, 10, 10, "File", 4);
    // Only pixels under the 'F' differ: its underline.
    LONG fWidth = Extent(canvas.dc, "F").cx;
    int extra = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x)
            if (canvas.At(x, y) != plain.At(x, y)) {
                ++extra;
                EXPECT_TRUE(x >= 10 && x < 10 + fWidth && y >= 10 + Metrics(canvas.dc).tmAscent) << x << "," << y;
            }
    EXPECT_GT(extra, 0);

    RECT calc{0, 0, 300, 0};
    DrawText(canvas.dc, "A&&B", -1, &calc, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(calc.right, Extent(canvas.dc, "A&B").cx);
    RECT literal{0, 0, 300, 0};
    DrawText(canvas.dc, "A&&B", -1, &literal, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(literal.right, Extent(canvas.dc, "A&&B").cx);
}

TEST_F(DrawTextTest, TabsExpandToEightAverageCharacters)
{
    RECT r{0, 0, 300, 0};
    DrawText(canvas.dc, "a\tb", -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
    EXPECT_EQ(r.right, 8 * Metrics(canvas.dc).tmAveCharWidth + Extent(canvas.dc, "b").cx);
}

TEST_F(DrawTextTest, ClipsToTheRectangleUnlessAskedNotTo)
{
    const char text[] = "Far too long for the box";
    RECT box{10, 10, 60, 40};
    RECT r = box;
    DrawText(canvas.dc, text, -1, &r, DT_SINGLELINE);
    EXPECT_TRUE(Inside(canvas.InkBox(), box));

    MemoryCanvas free(300, 200);
    SelectedFont f(free.dc, -16, "Arial");
    SetBkMode(free.dc, TRANSPARENT);
    r = box;
    DrawText(free.dc, text, -1, &r, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(free.InkBox().right, 60);

    // The ellipsis shortens the text to fit instead.
    MemoryCanvas cut(300, 200);
    SelectedFont g(cut.dc, -16, "Arial");
    SetBkMode(cut.dc, TRANSPARENT);
    r = box;
    DrawText(cut.dc, text, -1, &r, DT_SINGLELINE | DT_NOCLIP | DT_END_ELLIPSIS);
    EXPECT_TRUE(Inside(cut.InkBox(), box));
    EXPECT_GT(cut.Count(kBlack), 0);
}

BOOL CALLBACK DrawTwoBars(HDC dc, LPARAM, int)
{
    RECT r{0, 0, 20, 10};
    FillRect(dc, &r, (HBRUSH)GetStockObject(BLACK_BRUSH));
    return TRUE;
}

TEST(GrayStringTest, DimsTextToEveryOtherPixel)
{
    MemoryCanvas plain(200, 40);
    SelectedFont a(plain.dc, -24, "Arial");
    SetBkMode(plain.dc, TRANSPARENT);
    TextOut(plain.dc, 10, 5, "Gray", 4);

    MemoryCanvas gray(200, 40);
    SelectedFont b(gray.dc, -24, "Arial");
    HBRUSH brush = CreateSolidBrush(kBlue);
    ASSERT_TRUE(GrayString(gray.dc, brush, nullptr, LPARAM("Gray"), 4, 10, 5, 0, 0));
    int blue = gray.Count(kBlue);
    EXPECT_GT(blue, plain.Count(kBlack) / 3);
    EXPECT_LT(blue, plain.Count(kBlack) * 2 / 3);
    EXPECT_TRUE(Inside(gray.InkBox(), plain.InkBox()));

    // With an output function, its drawing is what gets dimmed.
    MemoryCanvas drawn(200, 40);
    ASSERT_TRUE(GrayString(drawn.dc, brush, DrawTwoBars, 0, 0, 30, 10, 40, 20));
    EXPECT_EQ(drawn.Count(kBlue), 100);
    EXPECT_TRUE(SameRect(drawn.InkBox(), RECT{30, 10, 50, 20}));
    DeleteObject(brush);
}

TEST(TextOutTest, CStringMembersDrawAndMeasureTheSameText)
{
    MemoryCanvas c(200, 40);
    CDC dc;
    dc.Attach(c.dc);
    SelectedFont font(c.dc, -16, "Arial");
    CString text("Member");
    EXPECT_EQ(dc.GetTextExtent(text).cx, Extent(c.dc, "Member").cx);
    EXPECT_EQ(dc.GetOutputTextExtent(text).cx, Extent(c.dc, "Member").cx);
    CString face;
    EXPECT_GT(dc.GetTextFace(face), 0);
    EXPECT_EQ(face, CString("Arial"));
    dc.SetBkMode(TRANSPARENT);
    EXPECT_TRUE(dc.TextOut(5, 5, text));
    EXPECT_GT(c.Count(kBlack), 0);
    RECT r{0, 0, 200, 0};
    EXPECT_EQ(dc.DrawText(text, &r, DT_CALCRECT | DT_SINGLELINE), Metrics(c.dc).tmHeight);
    dc.Detach();
}

} // namespace

TEST(TextOutTest, TextLooksTheSameWhereverItIsDrawnAndAfterItsGlyphsAreKept)
{
    // The first drawing renders the glyphs; later ones at other whole
    // pixels reuse them and must give the same pixels, moved.
    MemoryCanvas first(80, 40), later(120, 80);
    for (MemoryCanvas* c : {&first, &later}) {
        PatBlt(c->dc, 0, 0, 120, 80, WHITENESS);
        SetBkMode(c->dc, TRANSPARENT);
    }
    SelectedFont a(first.dc, -24, "Times New Roman");
    SelectedFont b(later.dc, -24, "Times New Roman");
    ASSERT_TRUE(TextOut(first.dc, 5, 3, "Hag&", 4));
    ASSERT_TRUE(TextOut(later.dc, 31, 27, "Hag&", 4));
    ASSERT_TRUE(TextOut(later.dc, -7, -9, "Hag&", 4)); // cut by the edges
    int ink = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 80; ++x) {
            EXPECT_EQ(first.At(x, y), later.At(x + 26, y + 24)) << x << "," << y;
            ink += first.At(x, y) != RGB(255, 255, 255);
            if (x >= 12 && y >= 12) {
                EXPECT_EQ(first.At(x, y), later.At(x - 12, y - 12)) << x << "," << y;
            }
        }
    }
    EXPECT_GT(ink, 100);
}
