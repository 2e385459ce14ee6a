// Figures drawn with R2_COPYPEN and a solid, hatched or null brush are
// painted straight into the pixels (fills under any clip, outlines under no
// clip or a rectangular one); other ROP2s go through regions, which paint
// each pixel once. Both roads must light exactly the same pixels, so each
// case is drawn twice on white: once with R2_COPYPEN and once with
// R2_MASKPEN, which on white gives the colour itself through the regions.
// Clips are none, a rectangle, or that rectangle less its top-left pixel
// (a complex clip that hides nothing the figures reach).

#include "DrawTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
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

enum class Fill { None, Solid, HatchOpaque, HatchTransparent };

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

HBRUSH MakeBrush(HDC dc, Fill fill)
{
    switch (fill) {
    case Fill::None:
        return (HBRUSH)GetStockObject(NULL_BRUSH);
    case Fill::Solid:
        return CreateSolidBrush(RGB(250, 180, 0));
    case Fill::HatchOpaque:
    case Fill::HatchTransparent:
        SetBkMode(dc, fill == Fill::HatchOpaque ? OPAQUE : TRANSPARENT);
        SetBkColor(dc, RGB(0, 200, 100));
        SetBrushOrgEx(dc, 3, 5, nullptr);
        return CreateHatchBrush(HS_DIAGCROSS, RGB(200, 0, 90));
    }
    return NULL;
}

// Draws with both roads and reports the first pixel where they differ.
std::string CompareRoads(const PenCase& pen, Fill fill, RECT clip, bool complex, const std::function<void(HDC)>& draw)
{
    MemoryCanvas direct(kSize, kSize), regions(kSize, kSize);
    for (MemoryCanvas* c : {&direct, &regions}) {
        ClipTo(c->dc, clip, complex);
        SetROP2(c->dc, c == &direct ? R2_COPYPEN : R2_MASKPEN);
        HPEN hpen = pen.style == PS_NULL ? (HPEN)GetStockObject(NULL_PEN) : CreatePen(pen.style, pen.width, RGB(10, 20, 200));
        HBRUSH brush = MakeBrush(c->dc, fill);
        HGDIOBJ oldPen = SelectObject(c->dc, hpen);
        HGDIOBJ oldBrush = SelectObject(c->dc, brush);
        draw(c->dc);
        SelectObject(c->dc, oldPen);
        SelectObject(c->dc, oldBrush);
        DeleteObject(hpen);
        DeleteObject(brush);
    }
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
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

struct ClipCase {
    RECT rect;
    bool complex;
};
const std::vector<ClipCase> kClips
    = {{RECT{0, 0, 0, 0}, false}, {RECT{17, 23, 95, 101}, false}, {RECT{17, 23, 95, 101}, true}};
const std::vector<Fill> kFills = {Fill::None, Fill::Solid, Fill::HatchOpaque, Fill::HatchTransparent};

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
                for (const ClipCase& clip : kClips)
                    for (Fill fill : kFills) {
                        std::string where = CompareRoads(pen, fill, clip.rect, clip.complex, [&](HDC dc) {
                            SetPolyFillMode(dc, fillMode);
                            Polygon(dc, polygon.data(), int(polygon.size()));
                        });
                        EXPECT_EQ(where, "") << "round " << round << " pen " << pen.style << "/" << pen.width
                                             << " fill mode " << fillMode << " fill " << int(fill)
                                             << " complex " << clip.complex;
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
        for (const ClipCase& clip : kClips) {
            for (int fillMode : {ALTERNATE, WINDING}) {
                EXPECT_EQ(CompareRoads(pen, Fill::HatchOpaque, clip.rect, clip.complex,
                              [&](HDC dc) {
                                  SetPolyFillMode(dc, fillMode);
                                  PolyPolygon(dc, rings, counts, 3);
                              }),
                    "")
                    << "pen " << pen.style << "/" << pen.width;
            }
            EXPECT_EQ(CompareRoads(pen, Fill::None, clip.rect, clip.complex, [&](HDC dc) { Polyline(dc, line, 5); }), "")
                << "pen " << pen.style << "/" << pen.width;
        }
}

TEST(DirectPaintTest, RepeatedCornersChangeNothing)
{
    // A curve's outline drawn small repeats corners; the straight road
    // drops the repeats, the regions road walks them.
    const POINT rings[] = {{10, 10}, {10, 10}, {60, 12}, {60, 12}, {60, 12}, {110, 90}, {30, 100}, {10, 10}, {10, 10},
        {40, 40}, {40, 40}, {40, 40}, {70, 45}, {50, 70}, {50, 70}};
    const INT counts[] = {9, 6};
    const POINT dot[] = {{55, 55}, {55, 55}, {55, 55}};
    for (const PenCase& pen : kPens)
        for (const ClipCase& clip : kClips)
            for (Fill fill : kFills) {
                EXPECT_EQ(CompareRoads(pen, fill, clip.rect, clip.complex, [&](HDC dc) { PolyPolygon(dc, rings, counts, 2); }),
                    "")
                    << "pen " << pen.style << "/" << pen.width << " fill " << int(fill) << " complex " << clip.complex;
                EXPECT_EQ(CompareRoads(pen, fill, clip.rect, clip.complex, [&](HDC dc) { Polygon(dc, dot, 3); }), "")
                    << "pen " << pen.style << "/" << pen.width;
            }
}

TEST(DirectPaintTest, RectanglesEllipsesAndArcsMatch)
{
    for (const PenCase& pen : kPens)
        for (const ClipCase& clip : kClips)
            for (Fill fill : kFills) {
                std::string why = "pen " + std::to_string(pen.style) + "/" + std::to_string(pen.width) + " fill "
                    + std::to_string(int(fill)) + " complex " + std::to_string(clip.complex);
                auto compare = [&](const std::function<void(HDC)>& draw) {
                    return CompareRoads(pen, fill, clip.rect, clip.complex, draw);
                };
                EXPECT_EQ(compare([](HDC dc) { Rectangle(dc, 8, 12, 100, 90); }), "") << why;
                EXPECT_EQ(compare([](HDC dc) { Ellipse(dc, 3, 9, 115, 104); }), "") << why;
                EXPECT_EQ(compare([](HDC dc) { RoundRect(dc, 10, 10, 110, 80, 30, 20); }), "") << why;
                EXPECT_EQ(compare([](HDC dc) { Pie(dc, 10, 10, 110, 110, 110, 60, 60, 10); }), "") << why;
                EXPECT_EQ(compare([](HDC dc) { Chord(dc, 10, 10, 110, 110, 10, 60, 110, 70); }), "") << why;
            }
}

// A wide outline is stroked only along the stretches of its path that can
// reach the clip. Whatever the clip, the pixels it lets through must be the
// ones the outline lights without it, on both roads, and nothing outside.
TEST(DirectPaintTest, WideOutlinesLightTheSamePixelsInsideAnyClip)
{
    std::mt19937 random(2612);
    std::uniform_int_distribution<int> width(2, 12), coordinate(-20, kSize + 20), size(4, 60), corners(3, 40);
    std::uniform_int_distribution<int> place(-30, kSize);
    for (int round = 0; round < 60; ++round) {
        // A curve's many short segments (an ellipse's outline) or a zigzag
        // of long ones.
        std::vector<POINT> path;
        const int n = corners(random);
        if (round % 2 == 0) {
            const double cx = coordinate(random), cy = coordinate(random), rx = size(random), ry = size(random);
            for (int i = 0; i < n; ++i)
                path.push_back(POINT{LONG(std::lround(cx + rx * std::cos(6.283185 * i / n))),
                    LONG(std::lround(cy + ry * std::sin(6.283185 * i / n)))});
        } else {
            for (int i = 0; i < n / 4 + 2; ++i)
                path.push_back(POINT{coordinate(random), coordinate(random)});
        }
        const int penWidth = width(random);
        RECT clip{place(random), place(random), 0, 0};
        clip.right = clip.left + size(random);
        clip.bottom = clip.top + size(random);
        for (int rop : {R2_COPYPEN, R2_MASKPEN})
            for (bool closed : {true, false})
                for (bool complex : {false, true}) {
                    MemoryCanvas whole(kSize, kSize), clipped(kSize, kSize);
                    for (MemoryCanvas* c : {&whole, &clipped}) {
                        if (c == &clipped)
                            ClipTo(c->dc, clip, complex);
                        SetROP2(c->dc, rop);
                        HPEN pen = CreatePen(PS_SOLID, penWidth, RGB(10, 20, 200));
                        HGDIOBJ oldPen = SelectObject(c->dc, pen);
                        HGDIOBJ oldBrush = SelectObject(c->dc, GetStockObject(NULL_BRUSH));
                        if (closed)
                            Polygon(c->dc, path.data(), int(path.size()));
                        else
                            Polyline(c->dc, path.data(), int(path.size()));
                        SelectObject(c->dc, oldPen);
                        SelectObject(c->dc, oldBrush);
                        DeleteObject(pen);
                    }
                    int wrong = 0;
                    for (int y = 0; y < kSize; ++y)
                        for (int x = 0; x < kSize; ++x) {
                            const bool inside = x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom
                                && !(complex && x == clip.left && y == clip.top);
                            wrong += clipped.At(x, y) != (inside ? whole.At(x, y) : RGB(255, 255, 255));
                        }
                    EXPECT_EQ(wrong, 0) << "round " << round << " pen " << penWidth << " rop " << rop << " closed "
                                        << closed << " complex " << complex;
                }
    }
}

} // namespace
