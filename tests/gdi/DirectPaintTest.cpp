// Figures drawn with a solid brush and pen and R2_COPYPEN under no clip or a
// rectangular one are painted straight into the pixels; under a complex clip
// they go through regions. Both roads must light exactly the same pixels,
// so each case is drawn twice: once with a rectangular clip (or none) and
// once with the same clip less one pixel in its corner, which makes it
// complex without hiding anything the figures reach.

#include "DrawTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

using gditest::MemoryCanvas;

namespace {

constexpr int kSize = 120;

struct PenCase {
    int style;
    int width;
};

// A clip of `rect` (the whole bitmap when empty), or of it less its top-left
// pixel.
void ClipTo(HDC dc, RECT rect, bool complex)
{
    if (rect.right <= rect.left)
        rect = RECT{0, 0, kSize, kSize};
    HRGN clip = CreateRectRgnIndirect(&rect);
    if (complex) {
        HRGN corner = CreateRectRgn(rect.left, rect.top, rect.left + 1, rect.top + 1);
        CombineRgn(clip, clip, corner, RGN_DIFF);
        DeleteObject(corner);
    }
    SelectClipRgn(dc, clip);
    DeleteObject(clip);
}

// Draws with both roads and reports the first pixel where they differ.
std::string CompareRoads(const PenCase& pen, bool filled, RECT clip, const std::function<void(HDC)>& draw)
{
    MemoryCanvas direct(kSize, kSize), regions(kSize, kSize);
    for (MemoryCanvas* c : {&direct, &regions}) {
        ClipTo(c->dc, clip, c == &regions);
        HPEN hpen = pen.style == PS_NULL ? (HPEN)GetStockObject(NULL_PEN) : CreatePen(pen.style, pen.width, RGB(10, 20, 200));
        HBRUSH brush = filled ? CreateSolidBrush(RGB(250, 180, 0)) : (HBRUSH)GetStockObject(NULL_BRUSH);
        HGDIOBJ oldPen = SelectObject(c->dc, hpen);
        HGDIOBJ oldBrush = SelectObject(c->dc, brush);
        draw(c->dc);
        SelectObject(c->dc, oldPen);
        SelectObject(c->dc, oldBrush);
        DeleteObject(hpen);
        DeleteObject(brush);
    }
    if (clip.right <= clip.left)
        clip = RECT{0, 0, kSize, kSize};
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            if (x == clip.left && y == clip.top)
                continue;
            if (direct.At(x, y) != regions.At(x, y))
                return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ")";
        }
    // The straight road must keep the pixels' unused top byte at 0.
    const platform::BitmapObject* b = platform::LookupBitmap(direct.bitmap);
    for (uint32_t p : b->pixels.pixels)
        if (p >> 24)
            return "a pixel with its top byte set";
    return std::string();
}

const std::vector<PenCase> kPens = {{PS_NULL, 0}, {PS_SOLID, 0}, {PS_SOLID, 1}, {PS_INSIDEFRAME, 1}, {PS_SOLID, 3},
    {PS_SOLID, 10}};

const std::vector<RECT> kClips = {RECT{0, 0, 0, 0}, RECT{17, 23, 95, 101}};

TEST(DirectPaintTest, RandomPolygonsLightTheSamePixelsAsThroughRegions)
{
    std::mt19937 random(4711);
    std::uniform_int_distribution<int> corners(2, 9), coordinate(-10, kSize + 10);
    for (int round = 0; round < 40; ++round) {
        std::vector<POINT> polygon;
        int n = corners(random);
        for (int i = 0; i < n; ++i)
            polygon.push_back(POINT{coordinate(random), coordinate(random)});
        for (int fillMode : {ALTERNATE, WINDING})
            for (const PenCase& pen : kPens)
                for (const RECT& clip : kClips)
                    for (bool filled : {true, false}) {
                        std::string where = CompareRoads(pen, filled, clip, [&](HDC dc) {
                            SetPolyFillMode(dc, fillMode);
                            Polygon(dc, polygon.data(), int(polygon.size()));
                        });
                        EXPECT_EQ(where, "") << "round " << round << " pen " << pen.style << "/" << pen.width
                                             << " fill mode " << fillMode << " filled " << filled;
                    }
    }
}

TEST(DirectPaintTest, PolyPolygonsWithHolesAndWideLinesMatch)
{
    const POINT rings[] = {{10, 10}, {110, 10}, {110, 110}, {10, 110}, {30, 30}, {90, 30}, {90, 90}, {30, 90},
        {50, 50}, {70, 50}, {60, 70}};
    const INT counts[] = {4, 4, 3};
    const POINT line[] = {{5, 60}, {60, 5}, {115, 60}, {60, 115}, {20, 100}};
    for (const PenCase& pen : kPens)
        for (const RECT& clip : kClips) {
            for (int fillMode : {ALTERNATE, WINDING}) {
                EXPECT_EQ(CompareRoads(pen, true, clip,
                              [&](HDC dc) {
                                  SetPolyFillMode(dc, fillMode);
                                  PolyPolygon(dc, rings, counts, 3);
                              }),
                    "")
                    << "pen " << pen.style << "/" << pen.width;
            }
            EXPECT_EQ(CompareRoads(pen, false, clip, [&](HDC dc) { Polyline(dc, line, 5); }), "")
                << "pen " << pen.style << "/" << pen.width;
        }
}

TEST(DirectPaintTest, RectanglesEllipsesAndArcsMatch)
{
    for (const PenCase& pen : kPens)
        for (const RECT& clip : kClips) {
            std::string why = "pen " + std::to_string(pen.style) + "/" + std::to_string(pen.width);
            EXPECT_EQ(CompareRoads(pen, true, clip, [](HDC dc) { Rectangle(dc, 8, 12, 100, 90); }), "") << why;
            EXPECT_EQ(CompareRoads(pen, true, clip, [](HDC dc) { Ellipse(dc, 3, 9, 115, 104); }), "") << why;
            EXPECT_EQ(CompareRoads(pen, true, clip, [](HDC dc) { RoundRect(dc, 10, 10, 110, 80, 30, 20); }), "") << why;
            EXPECT_EQ(CompareRoads(pen, true, clip, [](HDC dc) { Pie(dc, 10, 10, 110, 110, 110, 60, 60, 10); }), "")
                << why;
            EXPECT_EQ(CompareRoads(pen, true, clip, [](HDC dc) { Chord(dc, 10, 10, 110, 110, 10, 60, 110, 70); }), "")
                << why;
        }
}

} // namespace
