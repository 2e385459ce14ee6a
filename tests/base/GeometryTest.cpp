#include "platform/base/Geometry.h"

#include <gtest/gtest.h>

namespace {

void ExpectRect(const RECT& r, int l, int t, int rr, int b)
{
    EXPECT_EQ(r.left, l);
    EXPECT_EQ(r.top, t);
    EXPECT_EQ(r.right, rr);
    EXPECT_EQ(r.bottom, b);
}

} // namespace

TEST(Geometry, PointAndSizeArithmeticKeepsTypes)
{
    CPoint p(10, 20);
    CSize s(3, -4);
    CPoint moved = p + s;
    EXPECT_EQ(moved, CPoint(13, 16));
    CSize between = CPoint(13, 16) - p;
    EXPECT_EQ(between, s);
    EXPECT_EQ(-p, CPoint(-10, -20));
    p -= s;
    EXPECT_EQ(p, CPoint(7, 24));
    EXPECT_NE(p, CPoint(7, 25));
    // The packed mouse form carries signed 16-bit coordinates.
    EXPECT_EQ(CPoint(DWORD(MAKELONG(-5, 300))), CPoint(-5, 300));
}

TEST(Geometry, RectWidthAndHeightAreSignedAndNormalizeFixesThem)
{
    CRect r(10, 20, 4, 5);
    EXPECT_EQ(r.Width(), -6);
    EXPECT_EQ(r.Height(), -15);
    EXPECT_TRUE(r.IsRectEmpty());
    EXPECT_FALSE(r.IsRectNull());
    r.NormalizeRect();
    ExpectRect(r, 4, 5, 10, 20);
    EXPECT_EQ(r.Size(), CSize(6, 15));
    EXPECT_EQ(r.CenterPoint(), CPoint(7, 12));
    EXPECT_EQ(CRect(-3, -3, 0, 0).CenterPoint(), CPoint(-1, -1));
}

TEST(Geometry, CornersAliasTheRectangle)
{
    CRect r(1, 2, 3, 4);
    r.TopLeft() = CPoint(-1, -2);
    r.BottomRight().x = 30;
    ExpectRect(r, -1, -2, 30, 4);
    const CRect& c = r;
    EXPECT_EQ(c.BottomRight(), CPoint(30, 4));
}

TEST(Geometry, PtInRectExcludesRightAndBottomEdges)
{
    CRect r(0, 0, 10, 5);
    EXPECT_TRUE(r.PtInRect(CPoint(0, 0)));
    EXPECT_TRUE(r.PtInRect(CPoint(9, 4)));
    EXPECT_FALSE(r.PtInRect(CPoint(10, 4)));
    EXPECT_FALSE(r.PtInRect(CPoint(9, 5)));
    EXPECT_FALSE(r.PtInRect(CPoint(-1, 0)));
    EXPECT_FALSE(PtInRect(nullptr, CPoint(0, 0)));
}

TEST(Geometry, InflateDeflateAndOffsetForms)
{
    CRect r(10, 10, 20, 20);
    r.InflateRect(2, 3);
    ExpectRect(r, 8, 7, 22, 23);
    r.DeflateRect(CSize(2, 3));
    ExpectRect(r, 10, 10, 20, 20);
    r.InflateRect(CRect(1, 2, 3, 4));
    ExpectRect(r, 9, 8, 23, 24);
    r.DeflateRect(1, 2, 3, 4);
    ExpectRect(r, 10, 10, 20, 20);
    r.OffsetRect(CPoint(-10, 5));
    ExpectRect(r, 0, 15, 10, 25);
    ExpectRect(r + CSize(1, 1), 1, 16, 11, 26);
    ExpectRect(r - CPoint(1, 1), -1, 14, 9, 24);
    ExpectRect(r + CRect(1, 1, 1, 1), -1, 14, 11, 26);
    ExpectRect(CPoint(5, 5) + static_cast<LPCRECT>(r), 5, 20, 15, 30);
}

TEST(Geometry, IntersectRectEmptiesResultWhenApart)
{
    CRect a(0, 0, 10, 10);
    CRect out(1, 1, 1, 1);
    EXPECT_TRUE(out.IntersectRect(a, CRect(5, -5, 15, 5)));
    ExpectRect(out, 5, 0, 10, 5);
    // Touching edges share no pixel.
    EXPECT_FALSE(out.IntersectRect(a, CRect(10, 0, 20, 10)));
    EXPECT_TRUE(out.IsRectNull());
    // An empty source gives nothing even when it lies inside the other.
    EXPECT_FALSE(out.IntersectRect(a, CRect(3, 3, 3, 8)));
    EXPECT_TRUE(out.IsRectNull());
    // The destination may be a source.
    a &= CRect(2, 2, 4, 4);
    ExpectRect(a, 2, 2, 4, 4);
}

TEST(Geometry, UnionRectIgnoresEmptyRectangles)
{
    CRect out;
    EXPECT_TRUE(out.UnionRect(CRect(0, 0, 5, 5), CRect(10, 10, 12, 20)));
    ExpectRect(out, 0, 0, 12, 20);
    // The empty rectangle far away does not stretch the union.
    EXPECT_TRUE(out.UnionRect(CRect(100, 100, 100, 200), CRect(1, 2, 3, 4)));
    ExpectRect(out, 1, 2, 3, 4);
    EXPECT_TRUE(out.UnionRect(CRect(1, 2, 3, 4), CRect(50, 50, 40, 60)));
    ExpectRect(out, 1, 2, 3, 4);
    EXPECT_FALSE(out.UnionRect(CRect(5, 5, 5, 5), CRect(7, 7, 6, 9)));
    EXPECT_TRUE(out.IsRectNull());
    ExpectRect(CRect(0, 0, 1, 1) | CRect(4, 4, 5, 5), 0, 0, 5, 5);
}

TEST(Geometry, SubtractRectCutsOnlyWholeBands)
{
    CRect r;
    const CRect src(0, 0, 10, 10);
    // A band over the whole height at the left or right.
    EXPECT_TRUE(r.SubtractRect(src, CRect(-5, -1, 3, 11)));
    ExpectRect(r, 3, 0, 10, 10);
    EXPECT_TRUE(r.SubtractRect(src, CRect(7, 0, 12, 10)));
    ExpectRect(r, 0, 0, 7, 10);
    // A band over the whole width at the top or bottom.
    EXPECT_TRUE(r.SubtractRect(src, CRect(0, 0, 10, 4)));
    ExpectRect(r, 0, 4, 10, 10);
    EXPECT_TRUE(r.SubtractRect(src, CRect(-1, 6, 11, 20)));
    ExpectRect(r, 0, 0, 10, 6);
    // A hole in the middle, a corner, or a band through the middle cannot
    // be cut from a rectangle: the source is kept.
    EXPECT_TRUE(r.SubtractRect(src, CRect(2, 2, 4, 4)));
    ExpectRect(r, 0, 0, 10, 10);
    EXPECT_TRUE(r.SubtractRect(src, CRect(5, 5, 15, 15)));
    ExpectRect(r, 0, 0, 10, 10);
    EXPECT_TRUE(r.SubtractRect(src, CRect(3, -1, 6, 11)));
    ExpectRect(r, 0, 0, 10, 10);
    // Covered completely: empty and FALSE.
    EXPECT_FALSE(r.SubtractRect(src, CRect(-1, -1, 11, 11)));
    EXPECT_TRUE(r.IsRectEmpty());
}

TEST(Geometry, Win32FunctionsRefuseNullRectangles)
{
    RECT r;
    EXPECT_FALSE(SetRect(nullptr, 0, 0, 1, 1));
    EXPECT_FALSE(CopyRect(&r, nullptr));
    EXPECT_TRUE(IsRectEmpty(nullptr));
    EXPECT_FALSE(EqualRect(nullptr, nullptr));
    EXPECT_FALSE(IntersectRect(&r, nullptr, &r));
    EXPECT_TRUE(SetRect(&r, 1, 2, 3, 4));
    EXPECT_TRUE(OffsetRect(&r, 1, 1));
    EXPECT_TRUE(InflateRect(&r, 1, 0));
    ExpectRect(r, 1, 3, 5, 5);
    CRect fromNull(static_cast<LPCRECT>(nullptr));
    EXPECT_TRUE(fromNull.IsRectNull());
}
