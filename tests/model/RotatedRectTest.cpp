#include "model/RotatedRect.h"

#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"
#include "platform/ui/Headless.h"

#include <gtest/gtest.h>

namespace {

void ExpectCorners(const CRotatedRect& r, std::initializer_list<POINT> expected)
{
    int i = 0;
    for (const POINT& pt : expected) {
        EXPECT_EQ(r.m_corners[i].x, pt.x) << "corner " << i;
        EXPECT_EQ(r.m_corners[i].y, pt.y) << "corner " << i;
        ++i;
    }
}

TEST(RotatedRectTest, SetRectGivesTheUnturnedCornersInOrder)
{
    CRotatedRect r;
    EXPECT_EQ(r.m_dAngle, 0.0);
    ExpectCorners(r, {{0, 0}, {0, 0}, {0, 0}, {0, 0}});
    r.m_dAngle = 45;
    r.SetRect(0, 0, 10, 20);
    EXPECT_EQ(r.m_dAngle, 0.0);
    ExpectCorners(r, {{0, 0}, {10, 0}, {10, 20}, {0, 20}});
}

TEST(RotatedRectTest, TurnsTheCornersAboutThePivotOncePerAngle)
{
    CRotatedRect r;
    r.m_ptPivot = POINT{5, 10};
    r.SetRect(0, 0, 10, 20);
    r.SetAngle(180);
    ExpectCorners(r, {{10, 20}, {0, 20}, {0, 0}, {10, 0}});
    // The same angle again changes nothing: the corners are not turned twice.
    r.SetAngle(180);
    ExpectCorners(r, {{10, 20}, {0, 20}, {0, 0}, {10, 0}});
    // A new angle turns the rectangle from its unturned corners.
    r.SetAngle(90);
    ExpectCorners(r, {{15, 5}, {15, 15}, {-5, 15}, {-5, 5}});
    EXPECT_EQ(r.m_dAngle, 90.0);
}

TEST(RotatedRectTest, TheRotatedCentreTurnsAboutThePivot)
{
    CRotatedRect r;
    r.m_ptPivot = POINT{0, 0};
    r.SetRect(90, 10, 110, -10);
    EXPECT_EQ(r.GetRotatedCenter(), CPoint(100, 0));
    r.SetAngle(90);
    EXPECT_EQ(r.GetRotatedCenter(), CPoint(0, 100));
    r.SetAngle(30);
    EXPECT_EQ(r.GetRotatedCenter(), CPoint(87, 50));
}

// Dark pixels in a square about a point of a white bitmap.
int CountDark(CDC& dc, int x0, int y0, int nSize)
{
    int n = 0;
    for (int y = y0; y < y0 + nSize; ++y)
        for (int x = x0; x < x0 + nSize; ++x)
            n += (dc.GetPixel(x, y) & 0xFFFFFF) == 0 ? 1 : 0;
    return n;
}

TEST(RotatedRectTest, DrawFillsTheQuadrilateralAndWritesTheNumberOnlyWhenGiven)
{
    platform::headless::Reset();
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmap(200, 100, 1, 32, nullptr));
    CBitmap* pOld = dc.SelectObject(&bitmap);
    CRect all(0, 0, 200, 100);
    dc.FillSolidRect(&all, RGB(255, 255, 255));
    dc.SetTextColor(RGB(0, 0, 0));
    dc.SetBkMode(TRANSPARENT);

    CRotatedRect r;
    r.SetRect(10, 10, 40, 40);
    r.Draw(&dc, RGB(255, 0, 0), -1);
    EXPECT_EQ(dc.GetPixel(25, 25) & 0xFFFFFF, RGB(255, 0, 0));
    EXPECT_EQ(dc.GetPixel(60, 25) & 0xFFFFFF, RGB(255, 255, 255));

    // Without an outline, a white marker leaves white paper unless a number
    // is written on it.
    dc.SelectStockObject(NULL_PEN);
    CRotatedRect plain;
    plain.SetRect(100, 50, 140, 90);
    plain.Draw(&dc, RGB(255, 255, 255), -1);
    EXPECT_EQ(CountDark(dc, 100, 50, 40), 0);
    plain.Draw(&dc, RGB(255, 255, 255), 88);
    EXPECT_GT(CountDark(dc, 100, 50, 40), 10);
    dc.SelectObject(pOld);
}

} // namespace
