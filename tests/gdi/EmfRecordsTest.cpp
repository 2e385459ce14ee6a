// Enhanced-metafile records the DC has no single call for: gradient fills,
// alpha blends and wide dashed pens, drawn from metafiles kept under
// tests/data/emf-records (made by make_emf_records.py there) and compared
// with an outside renderer's drawing of the same files, or with the
// documented colours where that renderer draws nothing.

#include "platform/gdi/Gdi.h"

#include "tests/gdi/DrawTestSupport.h"

#include <gtest/gtest.h>
#include <cairo/cairo.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using gditest::MemoryCanvas;

constexpr int kWidth = 480;
constexpr int kHeight = 360;

std::string DataPath(const std::string& name)
{
    return std::string(THREADWICK_SOURCE_DIR) + "/tests/data/emf-records/" + name;
}

// The picture drawn by our player at its own size (one logical unit a pixel).
class Played {
public:
    explicit Played(const std::string& name)
        : canvas(kWidth, kHeight)
    {
        std::ifstream in(DataPath(name + ".emf"), std::ios::binary);
        std::vector<BYTE> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        HENHMETAFILE emf = SetEnhMetaFileBits(UINT(bytes.size()), bytes.data());
        EXPECT_TRUE(emf) << name;
        RECT rect{0, 0, kWidth, kHeight};
        EXPECT_TRUE(PlayEnhMetaFile(canvas.dc, emf, &rect));
        DeleteEnhMetaFile(emf);
    }
    std::array<int, 3> At(int x, int y) const
    {
        COLORREF c = canvas.At(x, y);
        return {GetRValue(c), GetGValue(c), GetBValue(c)};
    }
    MemoryCanvas canvas;
};

// The outside renderer's drawing, laid on white.
struct Reference {
    explicit Reference(const std::string& name)
    {
        cairo_surface_t* png = cairo_image_surface_create_from_png(DataPath(name + ".png").c_str());
        ok = cairo_surface_status(png) == CAIRO_STATUS_SUCCESS && cairo_image_surface_get_width(png) == kWidth
            && cairo_image_surface_get_height(png) == kHeight;
        if (ok) {
            cairo_surface_flush(png);
            const unsigned char* data = cairo_image_surface_get_data(png);
            int stride = cairo_image_surface_get_stride(png);
            cairo_format_t format = cairo_image_surface_get_format(png);
            rgb.resize(size_t(kWidth) * kHeight);
            for (int y = 0; y < kHeight; ++y) {
                const auto* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
                for (int x = 0; x < kWidth; ++x) {
                    uint32_t p = row[x];
                    int a = format == CAIRO_FORMAT_ARGB32 ? int(p >> 24) : 255;
                    std::array<int, 3> c{};
                    for (int k = 0; k < 3; ++k)
                        c[size_t(k)] = int((p >> (16 - 8 * k)) & 0xFF) + (255 - a); // premultiplied, over white
                    rgb[size_t(y) * kWidth + size_t(x)] = c;
                }
            }
        }
        cairo_surface_destroy(png);
    }
    const std::array<int, 3>& At(int x, int y) const { return rgb[size_t(y) * kWidth + size_t(x)]; }
    bool ok = false;
    std::vector<std::array<int, 3>> rgb;
};

bool Near(const std::array<int, 3>& a, const std::array<int, 3>& b, int tolerance)
{
    for (size_t k = 0; k < 3; ++k)
        if (std::abs(a[k] - b[k]) > tolerance)
            return false;
    return true;
}

bool White(const std::array<int, 3>& c)
{
    return c[0] > 240 && c[1] > 240 && c[2] > 240;
}

// The outside renderer places the picture at a fraction of a pixel and
// smooths its edges: a pixel of ours agrees when the reference has its
// colour within a pixel of it.
double Agreement(const Played& ours, const Reference& ref, int tolerance)
{
    int agree = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            bool found = false;
            for (int dy = -1; dy <= 1 && !found; ++dy)
                for (int dx = -1; dx <= 1 && !found; ++dx) {
                    int X = x + dx, Y = y + dy;
                    found = X >= 0 && Y >= 0 && X < kWidth && Y < kHeight && Near(ours.At(x, y), ref.At(X, Y), tolerance);
                }
            agree += found;
        }
    }
    return double(agree) / (kWidth * kHeight);
}

// The share of a row's pixels from x0 to x1 that are drawn on.
template <typename Picture>
double Coverage(const Picture& picture, int y, int x0, int x1)
{
    int inked = 0;
    for (int x = x0; x < x1; ++x)
        inked += !White(picture.At(x, y));
    return double(inked) / (x1 - x0);
}

TEST(EmfRecords, AlphaBlendsAgreeWithOutsideRendering)
{
    Played ours("alphablend");
    Reference ref("alphablend");
    ASSERT_TRUE(ref.ok);
    EXPECT_GE(Agreement(ours, ref, 40), 0.95);
    // The half-strength green over the red bar, the black ramp's solid end
    // and a square of the per-pixel alpha over the blue bar.
    for (POINT p : {POINT{100, 100}, POINT{440, 70}, POINT{130, 250}, POINT{130, 270}}) {
        SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
        EXPECT_TRUE(Near(ours.At(p.x, p.y), ref.At(p.x, p.y), 24));
    }
}

TEST(EmfRecords, WideDashesAgreeWithOutsideRendering)
{
    Played ours("dashes");
    Reference ref("dashes");
    ASSERT_TRUE(ref.ok);
    EXPECT_GE(Agreement(ours, ref, 40), 0.95);
    // Dashes, dots, dash-dots and dash-dot-dots: each row's inked share
    // along its middle as the outside renderer has it (a solid line would
    // be all ink).
    for (int y : {24, 60, 96, 132}) {
        SCOPED_TRACE(y);
        double want = Coverage(ref, y, 24, 300);
        EXPECT_LT(want, 0.8);
        EXPECT_NEAR(Coverage(ours, y, 24, 300), want, 0.06);
    }
    // The dashed outline of a rectangle breaks up too.
    EXPECT_NEAR(Coverage(ours, 190, 330, 456), Coverage(ref, 190, 330, 456), 0.1);
}

// Small metafiles for the documented results the outside renderer does not
// draw: a reference device of 10 pixels a millimetre and a frame of 20 x 10
// mm, so one logical unit is one pixel of a 200 x 100 canvas.
class Records {
public:
    Records& Add(uint32_t type, const std::vector<uint32_t>& fields)
    {
        m_words.push_back(type);
        m_words.push_back(uint32_t(8 + 4 * fields.size()));
        m_words.insert(m_words.end(), fields.begin(), fields.end());
        ++m_count;
        return *this;
    }
    Records& Brush(uint32_t slot, COLORREF c) { return Add(39, {slot, BS_SOLID, c, 0}); }
    Records& Select(uint32_t slot) { return Add(37, {slot}); }
    Records& Rect(int l, int t, int r, int b) { return Add(43, {uint32_t(l), uint32_t(t), uint32_t(r), uint32_t(b)}); }
    Records& Line(int x0, int y0, int x1, int y1)
    {
        return Add(87, {0, 0, 0, 0, 2, uint32_t(x0 & 0xFFFF) | uint32_t(y0) << 16, uint32_t(x1 & 0xFFFF) | uint32_t(y1) << 16});
    }
    // A geometric pen with a style, a width and, for a user style, its
    // lengths.
    Records& Pen(uint32_t slot, uint32_t style, uint32_t width, COLORREF c, const std::vector<uint32_t>& lengths = {})
    {
        std::vector<uint32_t> f{slot, 0, 0, 0, 0, 0x10000u | style, width, BS_SOLID, c, 0, uint32_t(lengths.size())};
        f.insert(f.end(), lengths.begin(), lengths.end());
        return Add(95, f);
    }

    void PlayOnto(MemoryCanvas& canvas)
    {
        std::vector<uint32_t> header{1, 88, 0, 0, 199, 99, 0, 0, 2000, 1000, 0x464D4520, 0x10000,
            uint32_t(88 + 4 * m_words.size() + 20), m_count + 2, 16, 0, 0, 0, 1000, 1000, 100, 100};
        header.insert(header.end(), m_words.begin(), m_words.end());
        for (uint32_t v : {14u, 20u, 0u, 16u, 20u})
            header.push_back(v);
        HENHMETAFILE emf = SetEnhMetaFileBits(UINT(header.size() * 4), reinterpret_cast<const BYTE*>(header.data()));
        ASSERT_TRUE(emf);
        RECT rect{0, 0, 200, 100};
        EXPECT_TRUE(PlayEnhMetaFile(canvas.dc, emf, &rect));
        DeleteEnhMetaFile(emf);
    }

private:
    std::vector<uint32_t> m_words;
    uint32_t m_count = 0;
};

std::array<int, 3> Rgb(const MemoryCanvas& canvas, int x, int y)
{
    COLORREF c = canvas.At(x, y);
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

// Rectangles shade from one corner's colour to the other's along x or y
// (16-bit channels), triangles blend their corners' colours by where a
// pixel lies between them; nothing is drawn outside the shapes, past their
// right and bottom edges or outside the clip, and drawing after a fill is
// clipped as before it.
TEST(EmfRecords, GradientFillsShadeAsDocumented)
{
    auto vertex = [](int x, int y, int r, int g, int b) {
        return std::vector<uint32_t>{uint32_t(x), uint32_t(y), uint32_t(r << 8) | uint32_t(g << 8) << 16, uint32_t(b << 8)};
    };
    auto gradient = [&](uint32_t mode, std::vector<std::vector<uint32_t>> vertices, std::vector<uint32_t> shapes) {
        std::vector<uint32_t> f{0, 0, 0, 0, uint32_t(vertices.size()), uint32_t(shapes.size() / (mode == 2 ? 3 : 2)), mode};
        for (const auto& v : vertices)
            f.insert(f.end(), v.begin(), v.end());
        f.insert(f.end(), shapes.begin(), shapes.end());
        return f;
    };
    Records records;
    records.Add(118, gradient(0, {vertex(10, 10, 255, 0, 0), vertex(90, 40, 0, 0, 255)}, {0, 1}));
    records.Add(118, gradient(1, {vertex(110, 10, 255, 255, 0), vertex(190, 40, 0, 128, 0)}, {0, 1}));
    records.Add(118, gradient(2, {vertex(10, 60, 255, 0, 0), vertex(90, 60, 0, 255, 0), vertex(50, 96, 0, 0, 255)},
                         {0, 1, 2}));
    // Clipped to its left half; rectangles drawn after it are clipped as
    // before, not to its shape.
    records.Add(30, {110, 50, 150, 99});
    records.Add(118, gradient(0, {vertex(110, 60, 0, 0, 0), vertex(190, 90, 255, 255, 255)}, {0, 1}));
    records.Brush(1, RGB(0, 0, 255)).Select(1).Select(0x80000000u | NULL_PEN).Rect(112, 92, 120, 99).Rect(192, 92, 199, 99);
    MemoryCanvas canvas(200, 100);
    records.PlayOnto(canvas);

    auto expect = [&](int x, int y, std::array<int, 3> want) {
        SCOPED_TRACE(testing::Message() << x << "," << y);
        EXPECT_TRUE(Near(Rgb(canvas, x, y), want, 4))
            << Rgb(canvas, x, y)[0] << "," << Rgb(canvas, x, y)[1] << "," << Rgb(canvas, x, y)[2];
    };
    for (int x : {10, 30, 50, 89}) {
        double f = (x + 0.5 - 10) / 80;
        expect(x, 25, {int(255 * (1 - f) + 0.5), 0, int(255 * f + 0.5)});
    }
    for (int y : {10, 25, 39}) {
        double f = (y + 0.5 - 10) / 30;
        expect(150, y, {int(255 * (1 - f) + 0.5), int(255 - 127 * f + 0.5), 0});
    }
    expect(90, 25, {255, 255, 255});
    expect(50, 40, {255, 255, 255});
    // The triangle near its corners, halfway along its top edge and at its
    // centre (the colours worked out by hand for the pixels' centres).
    expect(13, 61, {239, 6, 11});
    expect(87, 61, {3, 242, 11});
    expect(50, 92, {11, 14, 230});
    expect(50, 60, {124, 127, 4});
    expect(50, 72, {82, 85, 88});
    expect(12, 90, {255, 255, 255});
    // The clipped one: shaded left of the clip's edge only.
    expect(130, 75, {64, 64, 64});
    expect(160, 75, {255, 255, 255});
    expect(115, 95, {0, 0, 255});
    expect(195, 95, {255, 255, 255});
}

// A bitmap with its own (premultiplied) alpha is laid over what is there,
// each colour the source's plus the rest of the destination's, after both
// are scaled by the constant alpha; a stretched source takes the nearest
// pixel.
TEST(EmfRecords, AlphaBlendCombinesPerPixelAndConstantAlpha)
{
    auto blend = [](int x, int cx, int constant) {
        std::vector<uint32_t> f{0, 0, 0, 0, uint32_t(x), 10, uint32_t(cx), 10,
            uint32_t(constant) << 16 | 0x01000000u, 0, 0, 0x3F800000u, 0, 0, 0x3F800000u, 0, 0, 0, DIB_RGB_COLORS, 108,
            40, 148, 8, 2, 1};
        // A 2 x 1 32-bit picture: red at half alpha, black at a quarter.
        for (uint32_t v : {40u, 2u, 1u, 1u | 32u << 16, 0u, 8u, 0u, 0u, 0u, 0u})
            f.push_back(v);
        f.push_back(0x80800000u); // 0xAARRGGBB
        f.push_back(0x40000000u);
        return f;
    };
    Records records;
    records.Brush(1, RGB(0, 0, 255)).Select(1).Select(0x80000000u | NULL_PEN).Rect(0, 0, 201, 101);
    records.Add(114, blend(10, 40, 255)).Add(114, blend(110, 40, 128));
    MemoryCanvas canvas(200, 100);
    records.PlayOnto(canvas);
    auto expect = [&](int x, std::array<int, 3> want) {
        SCOPED_TRACE(x);
        EXPECT_TRUE(Near(Rgb(canvas, x, 15), want, 2))
            << Rgb(canvas, x, 15)[0] << "," << Rgb(canvas, x, 15)[1] << "," << Rgb(canvas, x, 15)[2];
    };
    expect(15, {128, 0, 127});
    expect(45, {0, 0, 191});
    expect(115, {64, 0, 191});
    expect(145, {0, 0, 223});
    expect(5, {0, 0, 255});
    expect(155, {0, 0, 255});
}

// User styles run dash, gap, dash... in logical units, an odd count
// swapping dashes and gaps each time round; square caps reach half the
// width past each dash's ends and round ones make dashes of no length
// into dots.
TEST(EmfRecords, UserStylesAndCapsShapeTheDashes)
{
    constexpr uint32_t kUser = 7, kFlat = 0x200, kSquare = 0x100, kRound = 0;
    Records records;
    records.Pen(1, kUser | kFlat, 6, RGB(0, 0, 0), {24, 12, 6, 12}).Select(1).Line(10, 20, 190, 20);
    records.Pen(2, kUser | kFlat, 6, RGB(0, 0, 0), {20, 10, 5}).Select(2).Line(10, 40, 190, 40);
    records.Pen(3, kUser | kSquare, 8, RGB(0, 0, 0), {20, 20}).Select(3).Line(10, 60, 190, 60);
    records.Pen(4, kUser | kRound, 10, RGB(0, 0, 0), {0, 20}).Select(4).Line(10, 85, 190, 85);
    MemoryCanvas canvas(200, 100);
    records.PlayOnto(canvas);
    auto ink = [&](int x, int y) { return !White(Rgb(canvas, x, y)); };
    auto row = [&](int y, std::vector<int> inked, std::vector<int> clear) {
        SCOPED_TRACE(y);
        for (int x : inked)
            EXPECT_TRUE(ink(x, y)) << x;
        for (int x : clear)
            EXPECT_FALSE(ink(x, y)) << x;
    };
    row(20, {11, 33, 47, 51, 65, 87}, {9, 35, 45, 53, 63, 89});
    row(40, {11, 29, 41, 44, 66, 74, 81, 99}, {31, 39, 46, 64, 76, 79, 101});
    row(60, {7, 33, 47, 73}, {5, 35, 45, 75});
    row(85, {10, 30, 50, 170}, {20, 40, 160});
    // The width across the line.
    EXPECT_TRUE(ink(20, 17));
    EXPECT_TRUE(ink(20, 22));
    EXPECT_FALSE(ink(20, 15));
    EXPECT_FALSE(ink(20, 24));
}

// Damaged records of these kinds draw nothing and never read past their
// ends; the records after them still play.
TEST(EmfRecords, DamagedRecordsAreSkipped)
{
    Records records;
    records.Add(118, {0, 0, 0, 0, 0x40000000u, 1, 0});             // vertices past the record
    records.Add(118, {0, 0, 0, 0, 1, 0x40000000u, 2, 5, 5, 0, 0}); // shapes past the record
    records.Add(118, {0, 0, 0, 0, 2, 1, 7, 5, 5, 0, 0, 50, 50, 0, 0, 0, 1}); // no such mode
    records.Add(118, {0, 0, 0, 0, 2, 1, 0, 5, 5, 0, 0, 50, 50, 0, 0, 0, 9}); // no such vertex
    records.Add(114, std::vector<uint32_t>(25, 0xFFFFFFF0u));                  // offsets past the record
    records.Add(114, {0, 0, 0, 0, 0, 0, 50, 50, 0x00FF0000u});               // cut short
    records.Pen(1, 7, 6, RGB(0, 0, 0), {0x7FFFFFFFu, 0}).Select(1).Line(0, 50, 199, 50); // one endless dash
    records.Pen(2, 7, 6, RGB(0, 0, 0), std::vector<uint32_t>(40, 1)).Select(2).Line(0, 70, 199, 70); // too many
    records.Add(118, {0, 0, 0, 0, 2, 1, 1, 150, 80, 0xFF00, 0, 190, 99, 0xFF00, 0, 0, 1});
    MemoryCanvas canvas(200, 100);
    records.PlayOnto(canvas);
    EXPECT_EQ(canvas.Count(RGB(255, 255, 255), RECT{0, 0, 200, 40}), 200 * 40);
    EXPECT_TRUE(!White(Rgb(canvas, 100, 50)));
    EXPECT_TRUE(Near(Rgb(canvas, 170, 90), {255, 0, 0}, 2));
}

} // namespace
