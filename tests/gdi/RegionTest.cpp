#include "platform/gdi/Gdi.h"
#include "platform/gdi/internal/Region.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

using platform::Region;

namespace {

int Area(const Region& r)
{
    int n = 0;
    for (const RECT& rect : r.Rects())
        n += (rect.right - rect.left) * (rect.bottom - rect.top);
    return n;
}

// Banded form: sorted by top then left, bands disjoint, no band mergeable
// with the next.
void ExpectBanded(const Region& r)
{
    const auto& rects = r.Rects();
    for (size_t i = 1; i < rects.size(); ++i) {
        const RECT& a = rects[i - 1];
        const RECT& b = rects[i];
        if (a.top == b.top) {
            EXPECT_EQ(a.bottom, b.bottom);
            EXPECT_LT(a.right, b.left) << "spans in a band touch or overlap";
        } else {
            EXPECT_GE(b.top, a.bottom);
        }
    }
}

TEST(RegionTest, CombinesRectanglesByEveryMode)
{
    Region a(RECT{0, 0, 10, 10});
    Region b(RECT{5, 5, 15, 15});
    EXPECT_EQ(Area(a.Combine(b, RGN_AND)), 25);
    EXPECT_EQ(Area(a.Combine(b, RGN_OR)), 175);
    EXPECT_EQ(Area(a.Combine(b, RGN_XOR)), 150);
    EXPECT_EQ(Area(a.Combine(b, RGN_DIFF)), 75);
    EXPECT_EQ(a.Combine(b, RGN_AND).Complexity(), SIMPLEREGION);
    EXPECT_EQ(a.Combine(b, RGN_OR).Complexity(), COMPLEXREGION);
    EXPECT_EQ(a.Combine(Region(RECT{20, 20, 30, 30}), RGN_AND).Complexity(), NULLREGION);
    for (int mode : {RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF})
        ExpectBanded(a.Combine(b, mode));
    // Two halves joined make one rectangle again.
    Region left(RECT{0, 0, 5, 10});
    Region right(RECT{5, 0, 10, 10});
    EXPECT_TRUE(left.Union(right) == a);
    EXPECT_EQ(left.Union(right).Complexity(), SIMPLEREGION);
}

TEST(RegionTest, ClippingToAnEnclosingRectangleGivesTheCombinedForm)
{
    const RECT whole{-100, -100, 100, 100};
    const POINT star[] = {{0, -40}, {12, 30}, {-35, -12}, {35, -12}, {-12, 30}};
    const Region shape = Region::FromPolygon(star, 5, ALTERNATE);
    // Spans that touch and bands that repeat, as a converter may leave them:
    // clipping gives the merged form that any other combination gives.
    const Region loose = Region::FromBands({RECT{0, 0, 5, 1}, RECT{5, 0, 9, 1}, RECT{0, 1, 4, 2}, RECT{4, 1, 9, 2}});
    for (const Region& r : {shape, loose}) {
        const Region combined = r.Union(Region());
        for (const Region& clipped : {r.Intersect(whole), Region(whole).Intersect(r), r.Intersect(Region(r.Bounds()))}) {
            EXPECT_TRUE(clipped == combined);
            EXPECT_EQ(clipped.Bounds().left, combined.Bounds().left);
            EXPECT_EQ(clipped.Bounds().right, combined.Bounds().right);
            EXPECT_EQ(clipped.Bounds().top, combined.Bounds().top);
            EXPECT_EQ(clipped.Bounds().bottom, combined.Bounds().bottom);
            ExpectBanded(clipped);
        }
    }
    EXPECT_EQ(loose.Intersect(whole).Complexity(), SIMPLEREGION);
    EXPECT_TRUE(Region(whole).Intersect(Region()).IsEmpty());
}

TEST(RegionTest, FillsPolygonsByPixelCentres)
{
    // A square polygon takes its left and top edges, not its right and bottom.
    POINT square[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    Region r = Region::FromPolygon(square, 4, ALTERNATE);
    EXPECT_TRUE(r == Region(RECT{0, 0, 10, 10}));

    // A pentagram: the centre is outside with ALTERNATE and inside with WINDING.
    POINT star[] = {{50, 0}, {79, 90}, {2, 34}, {97, 34}, {20, 90}};
    Region alternate = Region::FromPolygon(star, 5, ALTERNATE);
    Region winding = Region::FromPolygon(star, 5, WINDING);
    EXPECT_FALSE(alternate.Contains(50, 50));
    EXPECT_TRUE(winding.Contains(50, 50));
    EXPECT_TRUE(alternate.Contains(50, 15));
    EXPECT_GT(Area(winding), Area(alternate));
    ExpectBanded(winding);
}

TEST(RegionTest, KeepsHolesOfPolyPolygons)
{
    POINT points[] = {{0, 0}, {20, 0}, {20, 20}, {0, 20}, {5, 5}, {15, 5}, {15, 15}, {5, 15}};
    int counts[] = {4, 4};
    Region alternate = Region::FromPolygons(points, counts, 2, ALTERNATE);
    EXPECT_FALSE(alternate.Contains(10, 10));
    EXPECT_TRUE(alternate.Contains(2, 2));
    EXPECT_EQ(Area(alternate), 400 - 100);
    // The inner ring wound the other way stays a hole under WINDING too.
    POINT reversed[] = {{0, 0}, {20, 0}, {20, 20}, {0, 20}, {5, 5}, {5, 15}, {15, 15}, {15, 5}};
    EXPECT_FALSE(Region::FromPolygons(reversed, counts, 2, WINDING).Contains(10, 10));
}

TEST(RegionTest, EllipseIsSymmetricAndInsideItsBox)
{
    Region e = Region::FromEllipse(RECT{0, 0, 21, 15});
    const RECT& b = e.Bounds();
    EXPECT_EQ(b.left, 0);
    EXPECT_EQ(b.top, 0);
    EXPECT_EQ(b.right, 21);
    EXPECT_EQ(b.bottom, 15);
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 21; ++x) {
            EXPECT_EQ(e.Contains(x, y), e.Contains(20 - x, y)) << x << "," << y;
            EXPECT_EQ(e.Contains(x, y), e.Contains(x, 14 - y)) << x << "," << y;
        }
    EXPECT_FALSE(e.Contains(0, 0));
    EXPECT_TRUE(e.Contains(10, 7));
}

TEST(RegionTest, HandleCallsReportComplexityAndRefuseStaleHandles)
{
    HRGN a = CreateRectRgn(0, 0, 10, 10);
    HRGN b = CreateRectRgn(20, 0, 30, 10);
    HRGN dst = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(dst, a, b, RGN_OR), COMPLEXREGION);
    RECT box;
    EXPECT_EQ(GetRgnBox(dst, &box), COMPLEXREGION);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.right, 30);
    EXPECT_TRUE(PtInRegion(dst, 25, 5));
    EXPECT_FALSE(PtInRegion(dst, 15, 5));
    RECT gap{11, 0, 19, 10};
    RECT touching{9, 9, 12, 12};
    EXPECT_FALSE(RectInRegion(dst, &gap));
    EXPECT_TRUE(RectInRegion(dst, &touching));
    EXPECT_EQ(OffsetRgn(dst, 5, 5), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(dst, 5, 5));
    EXPECT_FALSE(PtInRegion(dst, 4, 4));
    EXPECT_EQ(CombineRgn(dst, a, NULL, RGN_COPY), SIMPLEREGION);
    EXPECT_TRUE(EqualRgn(dst, a));

    ASSERT_TRUE(DeleteObject(b));
    EXPECT_EQ(CombineRgn(dst, a, b, RGN_OR), ERROR);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(PtInRegion(b, 25, 5));
    EXPECT_FALSE(DeleteObject(b));
    // A forged handle and a handle of another kind are refused too.
    EXPECT_EQ(GetRgnBox((HRGN)(uintptr_t)0x1234, &box), ERROR);
    EXPECT_EQ(GetRgnBox((HRGN)GetStockObject(BLACK_PEN), &box), ERROR);
    DeleteObject(a);
    DeleteObject(dst);
}

TEST(RegionTest, RefusesDegeneratePolygons)
{
    POINT one[] = {{0, 0}};
    EXPECT_EQ(CreatePolygonRgn(one, 1, ALTERNATE), (HRGN)NULL);
    POINT two[] = {{0, 0}, {5, 5}};
    EXPECT_EQ(CreatePolygonRgn(two, 2, 7), (HRGN)NULL);
    HRGN line = CreatePolygonRgn(two, 2, WINDING);
    RECT box;
    EXPECT_EQ(GetRgnBox(line, &box), NULLREGION);
    DeleteObject(line);
}

// The pixel-centre rule stated pixel by pixel: along the line through the
// row's centres, the edges crossed at or left of the pixel's centre number
// odd (ALTERNATE) or wind to non-zero (WINDING); an edge holds its upper end
// and not its lower one. Gives whether each pixel of row y from x = first
// to x = end - 1 is inside.
std::vector<bool> RowByRule(
    const std::vector<POINT>& points, const std::vector<int>& counts, int fillMode, int y, int first, int end)
{
    const double yc = y + 0.5;
    std::vector<std::pair<double, int>> crossings;
    size_t start = 0;
    for (int n : counts) {
        for (int i = 0; i < n; ++i) {
            POINT a = points[start + size_t(i)];
            POINT b = points[start + size_t((i + 1) % n)];
            if (a.y == b.y)
                continue;
            const int dir = a.y < b.y ? 1 : -1;
            if (a.y > b.y)
                std::swap(a, b);
            if (yc >= a.y && yc < b.y)
                crossings.emplace_back(a.x + (yc - a.y) * (double(b.x) - a.x) / (double(b.y) - a.y), dir);
        }
        start += size_t(n);
    }
    std::vector<bool> inside;
    for (int x = first; x < end; ++x) {
        int crossed = 0, winding = 0;
        for (auto [at, dir] : crossings)
            if (at <= x + 0.5) {
                ++crossed;
                winding += dir;
            }
        inside.push_back(fillMode == WINDING ? winding != 0 : crossed % 2 == 1);
    }
    return inside;
}

// Polygons of every build a scan meets: few and many corners, edges shorter
// than a row (a curve's outline), corners far off, self-crossing rings.
TEST(RegionTest, PolygonScanFollowsThePixelCentreRule)
{
    std::vector<std::pair<std::vector<POINT>, std::vector<int>>> figures;
    std::mt19937 random(2718);
    std::uniform_int_distribution<int> corners(3, 40), coordinate(-20, 100);
    for (int round = 0; round < 30; ++round) {
        std::vector<POINT> polygon(size_t(corners(random)));
        for (POINT& p : polygon)
            p = POINT{coordinate(random), coordinate(random)};
        figures.push_back({polygon, {int(polygon.size())}});
    }
    std::vector<POINT> curve;
    for (int i = 0; i < 1000; ++i) {
        const double a = i * 2 * M_PI / 1000;
        curve.push_back(POINT{LONG(std::lround(40 + 37 * std::cos(a))), LONG(std::lround(40 + 23 * std::sin(a)))});
    }
    figures.push_back({curve, {1000}});
    // The curve twice over, as the stock outlines are stored, and a ring
    // inside it.
    std::vector<POINT> twice = curve;
    twice.insert(twice.end(), curve.begin(), curve.end());
    figures.push_back({twice, {2000}});
    std::vector<POINT> ringed = curve;
    for (POINT p : {POINT{30, 30}, POINT{50, 35}, POINT{45, 50}, POINT{28, 47}})
        ringed.push_back(p);
    figures.push_back({ringed, {1000, 4}});
    figures.push_back({{{-3000000, 10}, {3000000, 60}, {40, -2500}}, {3}});
    figures.push_back({{{-5, -5}, {2000000, 75}, {70, 2000}, {-40, 30}}, {4}});

    for (size_t f = 0; f < figures.size(); ++f) {
        const auto& [points, counts] = figures[f];
        for (int fillMode : {ALTERNATE, WINDING}) {
            Region region = Region::FromPolygons(points.data(), counts.data(), int(counts.size()), fillMode);
            ExpectBanded(region);
            bool same = true;
            for (int y = -30; y < 110 && same; ++y) {
                const std::vector<bool> expected = RowByRule(points, counts, fillMode, y, -30, 110);
                for (int x = -30; x < 110 && same; ++x) {
                    same = region.Contains(x, y) == expected[size_t(x + 30)];
                    EXPECT_TRUE(same) << "figure " << f << " fill mode " << fillMode << " at " << x << "," << y;
                }
            }

            // A window of rows gives those rows of the whole scan and no others.
            std::vector<RECT> windowed;
            platform::ScanPolygons(points.data(), counts.data(), int(counts.size()), fillMode, 17, 53,
                [&](int y, const platform::ScanSpans& spans) {
                    for (auto [first, end] : spans)
                        windowed.push_back(RECT{first, y, end, y + 1});
                });
            const Region rows = region.Intersect(RECT{-(1 << 22), 17, 1 << 22, 53});
            EXPECT_TRUE(Region::FromBands(std::move(windowed)) == rows) << "figure " << f << " fill mode " << fillMode;
        }
    }
}

} // namespace

namespace {

// No band may be merged with the one touching it below (the same spans).
void ExpectMerged(const Region& r)
{
    const auto& rects = r.Rects();
    size_t prev = 0, prevCount = 0;
    for (size_t i = 0; i < rects.size();) {
        size_t j = i;
        while (j < rects.size() && rects[j].top == rects[i].top)
            ++j;
        if (prevCount == j - i && rects[prev].bottom == rects[i].top) {
            bool same = true;
            for (size_t k = 0; k < prevCount; ++k)
                same = same && rects[prev + k].left == rects[i + k].left && rects[prev + k].right == rects[i + k].right;
            EXPECT_FALSE(same) << "bands at " << rects[prev].top << " and " << rects[i].top << " should be one";
        }
        prev = i;
        prevCount = j - i;
        i = j;
    }
}

Region RandomRegion(std::mt19937& random)
{
    std::uniform_int_distribution<int> coordinate(-5, 45), corners(3, 9), kind(0, 2);
    if (kind(random) == 0) {
        Region r;
        for (int i = 0; i < 4; ++i) {
            int a = coordinate(random), b = coordinate(random), c = coordinate(random), d = coordinate(random);
            r = r.Union(Region(RECT{std::min(a, b), std::min(c, d), std::max(a, b), std::max(c, d)}));
        }
        return r;
    }
    std::vector<POINT> points(size_t(corners(random)));
    for (POINT& p : points)
        p = POINT{coordinate(random), coordinate(random)};
    return Region::FromPolygon(points.data(), int(points.size()), kind(random) == 1 ? ALTERNATE : WINDING);
}

} // namespace

TEST(RegionTest, CombiningRandomRegionsMatchesThePixelsInTheirBandedForm)
{
    std::mt19937 random(90210);
    std::uniform_int_distribution<int> coordinate(-8, 48);
    for (int round = 0; round < 300; ++round) {
        const Region a = RandomRegion(random);
        const Region b = RandomRegion(random);
        for (int mode : {RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF}) {
            const Region c = a.Combine(b, mode);
            ExpectBanded(c);
            ExpectMerged(c);
            for (int y = -6; y < 47; ++y)
                for (int x = -6; x < 47; ++x) {
                    const bool inA = a.Contains(x, y), inB = b.Contains(x, y);
                    const bool expected = mode == RGN_AND ? inA && inB
                        : mode == RGN_OR                  ? inA || inB
                        : mode == RGN_XOR                 ? inA != inB
                                                          : inA && !inB;
                    ASSERT_EQ(c.Contains(x, y), expected) << "round " << round << " mode " << mode << " at " << x << "," << y;
                }
        }
        // Clipping to a rectangle is the same as combining with it.
        int l = coordinate(random), r = coordinate(random), t = coordinate(random), u = coordinate(random);
        const RECT box{std::min(l, r), std::min(t, u), std::max(l, r), std::max(t, u)};
        const Region clipped = a.Intersect(box);
        ExpectBanded(clipped);
        ExpectMerged(clipped);
        for (int y = -6; y < 47; ++y)
            for (int x = -6; x < 47; ++x) {
                const bool inBox = x >= box.left && x < box.right && y >= box.top && y < box.bottom;
                ASSERT_EQ(clipped.Contains(x, y), a.Contains(x, y) && inBox) << "round " << round << " at " << x << "," << y;
            }
    }
}

TEST(RegionTest, RegionDataListsTheBandsAfterItsHeader)
{
    const POINT triangle[] = {{0, 0}, {20, 0}, {0, 20}};
    HRGN hrgn = CreatePolygonRgn(triangle, 3, ALTERNATE);
    const DWORD nBytes = GetRegionData(hrgn, 0, nullptr);
    ASSERT_GT(nBytes, sizeof(RGNDATAHEADER));
    const DWORD nRects = DWORD((nBytes - sizeof(RGNDATAHEADER)) / sizeof(RECT));
    EXPECT_EQ(nRects, 19u); // one band per row of a staircase (the last row's centre is outside)
    std::vector<char> buffer(nBytes);
    auto* pData = reinterpret_cast<RGNDATA*>(buffer.data());
    EXPECT_EQ(GetRegionData(hrgn, nBytes - 1, pData), 0u); // too small
    EXPECT_EQ(GetRegionData(hrgn, nBytes, pData), nBytes);
    EXPECT_EQ(pData->rdh.iType, DWORD(RDH_RECTANGLES));
    EXPECT_EQ(pData->rdh.nCount, nRects);
    EXPECT_EQ(pData->rdh.rcBound.right, 19);
    RECT first;
    std::memcpy(&first, pData->Buffer, sizeof first);
    EXPECT_EQ(first.top, 0);
    EXPECT_EQ(first.bottom, 1);
    EXPECT_EQ(first.right - first.left, 19);
    DeleteObject(hrgn);
    EXPECT_EQ(GetRegionData(hrgn, 0, nullptr), 0u); // a stale handle
    HRGN empty = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetRegionData(empty, 0, nullptr), DWORD(sizeof(RGNDATAHEADER)));
    DeleteObject(empty);
}

namespace {

TEST(RegionTest, AnEmptySideGivesTheOtherSideInBandedForm)
{
    const Region empty;
    Region ring = Region(RECT{0, 0, 30, 30}).Subtract(Region(RECT{10, 10, 20, 20}));
    // Two spans that touch: a region the converters may hand over unmerged.
    Region touching = Region::FromBands({RECT{0, 0, 5, 5}, RECT{5, 0, 10, 5}});
    for (const Region* other : {&ring, &touching}) {
        SCOPED_TRACE(other == &ring ? "ring" : "touching spans");
        const int area = Area(*other);
        for (int mode : {RGN_OR, RGN_XOR}) {
            Region left = empty.Combine(*other, mode);
            Region right = other->Combine(empty, mode);
            EXPECT_EQ(Area(left), area);
            EXPECT_TRUE(left == right);
            ExpectBanded(left);
        }
        EXPECT_TRUE(empty.Combine(*other, RGN_AND).IsEmpty());
        EXPECT_TRUE(other->Combine(empty, RGN_AND).IsEmpty());
        EXPECT_TRUE(empty.Combine(*other, RGN_DIFF).IsEmpty());
        Region kept = other->Combine(empty, RGN_DIFF);
        EXPECT_EQ(Area(kept), area);
        ExpectBanded(kept);
    }
    EXPECT_TRUE(touching.Union(empty) == Region(RECT{0, 0, 10, 5}));
}

TEST(RegionTest, ACopyMovedLeavesTheOriginalWhereItWas)
{
    const Region original = Region(RECT{0, 0, 10, 10}).Union(Region(RECT{20, 5, 30, 25}));
    Region copy = original;
    EXPECT_TRUE(copy == original);
    copy.Offset(3, -4);
    EXPECT_FALSE(copy == original);
    EXPECT_TRUE(original.Contains(0, 0));
    EXPECT_FALSE(original.Contains(32, 20));
    EXPECT_TRUE(copy.Contains(32, 20));
    EXPECT_EQ(original.Bounds().right, 30);
    EXPECT_EQ(copy.Bounds().right, 33);
    // Moved back it is the same region again, and a moved-from one is empty.
    copy.Offset(-3, 4);
    EXPECT_TRUE(copy == original);
    Region taken = std::move(copy);
    EXPECT_TRUE(taken == original);
    EXPECT_TRUE(copy.IsEmpty()); // NOLINT(bugprone-use-after-move): what a move leaves is defined
    EXPECT_EQ(copy.Bounds().right, 0);
    // Rectangles that close up at the ends of the int range are no longer
    // taken for a banded form.
    Region far = Region(RECT{0, 0, 4, 4}).Union(Region(RECT{10, 0, 14, 4}));
    far.Offset(INT_MAX - 5, 0);
    EXPECT_EQ(Area(far.Intersect(RECT{0, 0, INT_MAX, 4})), Area(far));
}

} // namespace
