#include "platform/base/LineDda.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<POINT> Line(int x1, int y1, int x2, int y2)
{
    std::vector<POINT> points;
    LineDDA(x1, y1, x2, y2,
        [](int x, int y, LPARAM data) { reinterpret_cast<std::vector<POINT>*>(data)->push_back(POINT {x, y}); },
        reinterpret_cast<LPARAM>(&points));
    return points;
}

std::vector<std::pair<int, int>> Pairs(const std::vector<POINT>& points)
{
    std::vector<std::pair<int, int>> out;
    for (const POINT& p : points)
        out.emplace_back(p.x, p.y);
    return out;
}

using P = std::vector<std::pair<int, int>>;

} // namespace

TEST(LineDda, IncludesStartAndExcludesEnd)
{
    EXPECT_EQ(Pairs(Line(0, 0, 3, 0)), (P {{0, 0}, {1, 0}, {2, 0}}));
    EXPECT_EQ(Pairs(Line(5, 5, 5, 2)), (P {{5, 5}, {5, 4}, {5, 3}}));
    EXPECT_EQ(Pairs(Line(0, 0, -3, 3)), (P {{0, 0}, {-1, 1}, {-2, 2}}));
    EXPECT_TRUE(Line(7, 7, 7, 7).empty());
}

TEST(LineDda, SteepLineStepsAlongY)
{
    EXPECT_EQ(Pairs(Line(0, 0, 1, 3)), (P {{0, 0}, {0, 1}, {1, 2}}));
    EXPECT_EQ(Pairs(Line(0, 0, 2, 5)), (P {{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}}));
}

TEST(LineDda, ReversedLineRoundsTiesTowardsItsOwnStart)
{
    // Half-way points stay on the side of the starting point, so the two
    // directions of the same segment differ only at those ties.
    EXPECT_EQ(Pairs(Line(0, 0, 2, 1)), (P {{0, 0}, {1, 0}}));
    EXPECT_EQ(Pairs(Line(2, 1, 0, 0)), (P {{2, 1}, {1, 1}}));
    EXPECT_EQ(Pairs(Line(0, 0, 4, 2)), (P {{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
    EXPECT_EQ(Pairs(Line(4, 2, 0, 0)), (P {{4, 2}, {3, 2}, {2, 1}, {1, 1}}));
}

TEST(LineDda, EveryStepMovesOnePixelAndStaysNearTheLine)
{
    std::vector<POINT> points = Line(-7, 3, 90, -41);
    ASSERT_EQ(points.size(), 97u);
    for (size_t i = 1; i < points.size(); ++i) {
        EXPECT_EQ(points[i].x - points[i - 1].x, 1);
        EXPECT_LE(std::abs(points[i].y - points[i - 1].y), 1);
    }
    for (size_t i = 0; i < points.size(); ++i) {
        double exact = 3 + (-44.0) * double(i) / 97.0;
        EXPECT_LE(std::abs(points[i].y - exact), 0.5);
    }
    EXPECT_FALSE(LineDDA(0, 0, 1, 1, nullptr, 0));
}
