#include "platform/gdi/Gdi.h"
#include "platform/gdi/internal/Region.h"

#include <gtest/gtest.h>

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

} // namespace
