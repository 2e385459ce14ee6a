// The warp shapes' columns: the kinds that exist, the curves' ends and
// middles, the straight edges, the flat shape with and without a DC, hand
// computed values of the sine and flag curves, and rectangles of no width.

#include "model/WarpShape.h"

#include "platform/gdi/Dc.h"
#include "tests/framework/FrameworkTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>

namespace {

std::pair<int, int> Column(int nKind, const CRect& rect, int x, CDC* pDC = nullptr, BOOL bRelative = FALSE)
{
    std::unique_ptr<CWarpShape> pShape(CreateWarpShape(nKind, rect, pDC, bRelative));
    if (!pShape)
        return {-9999, -9999};
    int nTop = 0;
    int nBottom = 0;
    pShape->GetColumn(x, nTop, nBottom);
    return {nTop, nBottom};
}

const CRect kSquare(0, 0, 100, 100);

TEST(WarpShapeTest, OnlyKindsOneToSixteenOnARectangleWithWidthHaveAShape)
{
    for (int nKind : {-1, 0, 17, 100})
        EXPECT_EQ(std::unique_ptr<CWarpShape>(CreateWarpShape(nKind, kSquare, nullptr, FALSE)), nullptr) << nKind;
    for (int nKind = 1; nKind <= 16; ++nKind) {
        EXPECT_NE(std::unique_ptr<CWarpShape>(CreateWarpShape(nKind, kSquare, nullptr, FALSE)), nullptr) << nKind;
        EXPECT_EQ(std::unique_ptr<CWarpShape>(CreateWarpShape(nKind, CRect(40, 0, 40, 100), nullptr, FALSE)), nullptr)
            << nKind;
    }
}

TEST(WarpShapeTest, ArchesRiseOrFallToTheMiddle)
{
    // Kind 8: 0 at both ends, half the height in the middle; kind 7 the
    // reverse.
    EXPECT_EQ(Column(8, kSquare, 0).first, 0);
    EXPECT_EQ(Column(8, kSquare, 100).first, 0);
    EXPECT_EQ(Column(8, kSquare, 50), std::make_pair(50, 100));
    EXPECT_EQ(Column(7, kSquare, 0), std::make_pair(50, 100));
    EXPECT_EQ(Column(7, kSquare, 100).first, 50);
    EXPECT_EQ(Column(7, kSquare, 50), std::make_pair(0, 50));
    // Kind 11: the top rises as the bottom falls.
    EXPECT_EQ(Column(11, kSquare, 50), std::make_pair(0, 100));
}

TEST(WarpShapeTest, StraightEdgesMeetTheirHeightsAtBothSides)
{
    EXPECT_EQ(Column(1, kSquare, 0), std::make_pair(0, 100));
    EXPECT_EQ(Column(1, kSquare, 100), std::make_pair(50, 50));
    EXPECT_EQ(Column(2, kSquare, 0), std::make_pair(50, 50));
    EXPECT_EQ(Column(2, kSquare, 100), std::make_pair(0, 100));
    EXPECT_EQ(Column(3, kSquare, 100), std::make_pair(30, 70));
    EXPECT_EQ(Column(5, kSquare, 0), std::make_pair(25, 100));
    EXPECT_EQ(Column(5, kSquare, 100), std::make_pair(0, 75));
    EXPECT_EQ(Column(6, kSquare, 50), std::make_pair(12, 87));
    // Relative heights count from the rectangle's top.
    const CRect lower(0, 200, 100, 300);
    EXPECT_EQ(Column(1, lower, 100, nullptr, TRUE), std::make_pair(50, 50));
    EXPECT_EQ(Column(1, lower, 100, nullptr, FALSE), std::make_pair(250, 250));
}

TEST(WarpShapeTest, SineAndFlagCurvesAtHandComputedColumns)
{
    // A = 33: kind 12 starts at the middle and is at its top a quarter in;
    // kind 13 is at its bottom there.
    EXPECT_EQ(Column(12, kSquare, 0), std::make_pair(33, 66));
    EXPECT_EQ(Column(12, kSquare, 25), std::make_pair(0, 33));
    EXPECT_EQ(Column(13, kSquare, 25), std::make_pair(66, 99));
    // A = 50: the flag's left end and its right end after the curl.
    EXPECT_EQ(Column(14, kSquare, 0), std::make_pair(51, 101));
    EXPECT_EQ(Column(14, kSquare, 100), std::make_pair(9, 59));
    // Kind 15 adds its bump only between a quarter and 0.65 across.
    EXPECT_EQ(Column(15, kSquare, 0), Column(14, kSquare, 0));
    EXPECT_EQ(Column(15, kSquare, 100), Column(14, kSquare, 100));
    EXPECT_NE(Column(15, kSquare, 45).first, Column(14, kSquare, 45).first);
    EXPECT_EQ(Column(15, kSquare, 45).second, Column(14, kSquare, 45).second);
}

class WarpShapeDcTest : public fwtest::FrameworkTest {};

TEST_F(WarpShapeDcTest, TheFlatShapeAndTheViewportOrigin)
{
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    const CRect lower(0, 200, 100, 300);
    EXPECT_EQ(Column(16, lower, 30, &dc), std::make_pair(0, 100));
    EXPECT_EQ(Column(16, lower, 30), std::make_pair(200, 300));
    // The curves move up by the viewport origin; straight edges do not.
    dc.SetViewportOrg(0, 40);
    EXPECT_EQ(Column(8, kSquare, 50, &dc), std::make_pair(10, 60));
    EXPECT_EQ(Column(1, kSquare, 0, &dc), std::make_pair(0, 100));
}

} // namespace
