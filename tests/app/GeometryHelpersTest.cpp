#include "app/GeometryHelpers.h"
#include "app/PointArray.h"

#include <gtest/gtest.h>

namespace {

constexpr LONG Fixed(int whole, int fraction)
{
    return static_cast<LONG>(static_cast<uint32_t>(whole) << 16) + fraction;
}

TEST(RoundFixed, RoundsHalvesUp)
{
    EXPECT_EQ(RoundFixed(Fixed(1, 0x8000)), 2);
    EXPECT_EQ(RoundFixed(Fixed(1, 0x7FFF)), 1);
    EXPECT_EQ(RoundFixed(Fixed(-1, 0x8000)), 0); // -0.5
    EXPECT_EQ(RoundFixed(Fixed(-2, 0x4000)), -2); // -1.75
    EXPECT_EQ(RoundFixed(Fixed(0, 0)), 0);
    POINT p = RoundFixedPoint(Fixed(3, 0xC000), Fixed(-4, 0x0001));
    EXPECT_EQ(p.x, 4);
    EXPECT_EQ(p.y, -4);
}

std::vector<std::pair<LONG, LONG>> Points(const CPointArray& a)
{
    std::vector<std::pair<LONG, LONG>> out;
    for (int i = 0; i < a.GetCount(); ++i)
        out.emplace_back(a.GetData()[i].x, a.GetData()[i].y);
    return out;
}

CPointArray Make(std::initializer_list<POINT> pts)
{
    CPointArray a(static_cast<int>(pts.size()));
    int i = 0;
    for (const POINT& p : pts)
        a.GetData()[i++] = p;
    return a;
}

TEST(PolylineToPoints, GivesThePixelsOfEachSegmentWithoutItsEnd)
{
    CPointArray a = Make({{0, 0}, {3, 0}});
    ASSERT_TRUE(PolylineToPoints(a));
    EXPECT_EQ(Points(a), (std::vector<std::pair<LONG, LONG>>{{0, 0}, {1, 0}, {2, 0}}));

    CPointArray b = Make({{0, 0}, {0, 2}, {2, 2}});
    ASSERT_TRUE(PolylineToPoints(b));
    EXPECT_EQ(Points(b), (std::vector<std::pair<LONG, LONG>>{{0, 0}, {0, 1}, {0, 2}, {1, 2}}));
}

TEST(PolylineToPoints, CountMatchesTheLongerAxisOfEverySegment)
{
    CPointArray a = Make({{5, 5}, {-7, 9}, {-7, -20}, {40, 3}});
    ASSERT_TRUE(PolylineToPoints(a));
    EXPECT_EQ(a.GetCount(), 12 + 29 + 47);
    EXPECT_EQ(a.GetData()[0].x, 5);
    EXPECT_EQ(a.GetData()[12].x, -7);
    EXPECT_EQ(a.GetData()[12].y, 9);
}

TEST(PolylineToPoints, ShortPolylinesStayAsTheyAre)
{
    CPointArray one = Make({{4, 4}});
    EXPECT_TRUE(PolylineToPoints(one));
    EXPECT_EQ(one.GetCount(), 1);
    EXPECT_EQ(one.GetData()[0].x, 4);
}

TEST(PolylineToPoints, RefusesTooManyPixelsAndKeepsTheArray)
{
    CPointArray far = Make({{0, 0}, {20000, 0}});
    EXPECT_FALSE(PolylineToPoints(far));
    EXPECT_EQ(far.GetCount(), 2);
    EXPECT_EQ(far.GetData()[1].x, 20000);

    // Coordinates from a damaged file are refused without walking the line.
    CPointArray huge = Make({{-2000000000, 0}, {2000000000, 5}});
    EXPECT_FALSE(PolylineToPoints(huge));

    CPointArray limit = Make({{0, 0}, {10240, 0}});
    EXPECT_FALSE(PolylineToPoints(limit));
    CPointArray below = Make({{0, 0}, {10239, 0}});
    EXPECT_TRUE(PolylineToPoints(below));
    EXPECT_EQ(below.GetCount(), 10239);
}

TEST(PointArray, ClampsEveryIndexAndKeepsOneElement)
{
    CPointArray a = Make({{1, 1}, {2, 2}, {3, 3}});
    EXPECT_EQ(a.GetAt(-5)->x, 1);
    EXPECT_EQ(a.GetAt(3 + 3)->x, 3);
    EXPECT_EQ(a.GetAt(1)->x, 2);

    CPointArray empty;
    EXPECT_EQ(empty.GetCount(), 0);
    ASSERT_NE(empty.GetAt(7), nullptr);
    EXPECT_EQ(empty.GetAt(7), empty.GetAt(-1));
    empty.SetSize(-3);
    EXPECT_NE(empty.GetData(), nullptr);
}

} // namespace
