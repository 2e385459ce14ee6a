// The generated stock shape outlines: the resource script carries exactly
// what the generator makes, and the figures have the form the drawing code
// relies on (the committed files themselves are compared in ArtTest).

#include "tools/artgen/ShapeOutlines.h"

#include "platform/base/Resources.h"
#include "resources/Resources.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using artgen::ShapeOutline;
using artgen::ShapePoint;

// Twice the signed area of the polygon through the points.
int64_t TwiceArea(const std::vector<ShapePoint>& points)
{
    int64_t sum = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        const ShapePoint& a = points[i];
        const ShapePoint& b = points[(i + 1) % points.size()];
        sum += int64_t(a.x) * b.y - int64_t(b.x) * a.y;
    }
    return sum;
}

// As the drawing code's region pass builds it: the last point, then the
// line points among the first N / 2 - 1.
std::vector<ShapePoint> RegionList(const ShapeOutline& outline)
{
    const std::vector<ShapePoint>& p = outline.points;
    std::vector<ShapePoint> list{p.back()};
    for (size_t i = 0; i + 1 < p.size() / 2; ++i)
        if (p[i].type == artgen::kShapeLineTo)
            list.push_back(p[i]);
    return list;
}

bool SamePlace(const ShapePoint& a, const ShapePoint& b)
{
    return a.x == b.x && a.y == b.y;
}

TEST(ShapeOutlinesTest, ResourcesHoldWhatTheGeneratorMakes)
{
    threadwick::RegisterResources();
    for (const ShapeOutline& outline : artgen::MakeShapeOutlines()) {
        SCOPED_TRACE(outline.file);
        HRSRC info = FindResource(nullptr, MAKEINTRESOURCE(outline.id), "SHAPEDATA");
        ASSERT_NE(info, nullptr) << "art.rc lacks the outline";
        const uint8_t* data = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, info)));
        std::vector<uint8_t> held(data, data + SizeofResource(nullptr, info));
        EXPECT_TRUE(held == artgen::ShapeDataBytes(outline));
    }
}

TEST(ShapeOutlinesTest, SecondFigureWalksTheOutlineAndBackEnclosingNothing)
{
    for (const ShapeOutline& outline : artgen::MakeShapeOutlines()) {
        SCOPED_TRACE(outline.file);
        const std::vector<ShapePoint>& p = outline.points;
        const size_t first = size_t(outline.firstFigure);
        ASSERT_LT(first, p.size());
        EXPECT_TRUE(SamePlace(p[first - 1], p[0])) << "the first figure closes on its start";
        EXPECT_TRUE(SamePlace(p[first], p[0])) << "the second figure starts there";
        EXPECT_TRUE(SamePlace(p.back(), p[0])) << "and ends there";
        std::vector<ShapePoint> corners(p.begin(), p.begin() + long(first - 1));
        for (size_t i = first; i < p.size(); ++i) {
            bool onOutline = false;
            for (const ShapePoint& c : corners)
                onOutline = onOutline || SamePlace(c, p[i]);
            EXPECT_TRUE(onOutline) << "point " << i;
        }
        EXPECT_NE(TwiceArea(corners), 0);
        // Polygon draws all points as one figure: it must fill the shape once.
        EXPECT_EQ(TwiceArea(p), TwiceArea(corners));
        EXPECT_EQ(TwiceArea(std::vector<ShapePoint>(p.begin() + long(first), p.end())), 0);
    }
}

TEST(ShapeOutlinesTest, RegionListEnclosesExactlyTheShapeInTheDesignBox)
{
    for (const ShapeOutline& outline : artgen::MakeShapeOutlines()) {
        SCOPED_TRACE(outline.file);
        std::vector<ShapePoint> corners(outline.points.begin(), outline.points.begin() + outline.firstFigure - 1);
        EXPECT_EQ(TwiceArea(RegionList(outline)), TwiceArea(corners));
    }
}

TEST(ShapeOutlinesTest, LeftBubbleMirrorsTheRightOne)
{
    std::vector<ShapeOutline> outlines = artgen::MakeShapeOutlines();
    const ShapeOutline* left = nullptr;
    const ShapeOutline* right = nullptr;
    for (const ShapeOutline& o : outlines) {
        if (o.id == IDR_SHAPE_BUBBLE_LEFT)
            left = &o;
        if (o.id == IDR_SHAPE_BUBBLE_RIGHT)
            right = &o;
    }
    ASSERT_TRUE(left && right);
    EXPECT_EQ(left->cx, right->cx);
    EXPECT_EQ(left->cy, right->cy);
    ASSERT_EQ(left->points.size(), right->points.size());
    for (size_t i = 0; i < left->points.size(); ++i) {
        EXPECT_EQ(left->points[i].type, right->points[i].type);
        EXPECT_EQ(left->points[i].x, right->cx - right->points[i].x);
        EXPECT_EQ(left->points[i].y, right->points[i].y);
    }
}

} // namespace
