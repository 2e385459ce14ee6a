// Logical to device units that scale by the extents and add the viewport
// origin but leave the window origin out.

#include "controls/DeviceScaling.h"

#include "app/PointArray.h"
#include "platform/gdi/Dc.h"
#include "tests/controls/OwnerDrawTestSupport.h"

#include <gtest/gtest.h>

namespace {

void Anisotropic(CDC& dc)
{
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(100, 100);
    dc.SetViewportExt(200, -50);
    dc.SetViewportOrg(10, 20);
    dc.SetWindowOrg(1000, 1000);
}

TEST(DeviceScaling, RectangleIsScaledAndMovedByTheViewportOriginOnly)
{
    kittest::MemoryCanvas canvas(8, 8);
    Anisotropic(canvas.dc);
    RECT rc{5, 10, 50, 40};
    ScaleRectToDevice(&canvas.dc, rc);
    EXPECT_EQ(20, rc.left);
    EXPECT_EQ(15, rc.top);
    EXPECT_EQ(110, rc.right);
    EXPECT_EQ(0, rc.bottom);

    // In MM_TEXT only the viewport origin counts.
    kittest::MemoryCanvas plain(8, 8);
    plain.dc.SetViewportOrg(3, 4);
    plain.dc.SetWindowOrg(50, 50);
    RECT same{1, 2, 30, 40};
    ScaleRectToDevice(&plain.dc, same);
    EXPECT_EQ(4, same.left);
    EXPECT_EQ(6, same.top);
    EXPECT_EQ(33, same.right);
    EXPECT_EQ(44, same.bottom);
}

TEST(DeviceScaling, EveryPointOfTheArray)
{
    kittest::MemoryCanvas canvas(8, 8);
    Anisotropic(canvas.dc);
    CPointArray points(3);
    points.GetData()[0] = POINT{0, 0};
    points.GetData()[1] = POINT{5, 10};
    points.GetData()[2] = POINT{-50, 100};
    ScalePointsToDevice(&canvas.dc, points);
    EXPECT_EQ(10, points.GetData()[0].x);
    EXPECT_EQ(20, points.GetData()[0].y);
    EXPECT_EQ(20, points.GetData()[1].x);
    EXPECT_EQ(15, points.GetData()[1].y);
    EXPECT_EQ(-90, points.GetData()[2].x);
    EXPECT_EQ(-30, points.GetData()[2].y);
}

} // namespace
