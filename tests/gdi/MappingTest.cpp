#include "platform/gdi/Gdi.h"

#include <gtest/gtest.h>

namespace {

class MappingTest : public ::testing::Test {
protected:
    void SetUp() override { dc = CreateCompatibleDC(NULL); }
    void TearDown() override { DeleteDC(dc); }

    POINT ToDevice(int x, int y)
    {
        POINT p{x, y};
        LPtoDP(dc, &p, 1);
        return p;
    }
    POINT ToLogical(int x, int y)
    {
        POINT p{x, y};
        DPtoLP(dc, &p, 1);
        return p;
    }

    HDC dc = NULL;
};

TEST_F(MappingTest, YUpAnisotropicMappingRoundsToNearest)
{
    // Hundredths of an inch with y up, at 96 dpi and 150 % zoom.
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 100, -100, NULL);
    SetViewportExtEx(dc, 96 * 150 / 100, 96 * 150 / 100, NULL);
    EXPECT_EQ(ToDevice(100, 100).x, 144);
    EXPECT_EQ(ToDevice(100, 100).y, -144);
    // 1 unit is 1.44 pixels: 1 -> 1, 2 -> 2.88 -> 3, -1 -> -1.44 -> -1.
    EXPECT_EQ(ToDevice(1, 0).x, 1);
    EXPECT_EQ(ToDevice(2, 0).x, 3);
    EXPECT_EQ(ToDevice(-1, 0).x, -1);
    EXPECT_EQ(ToDevice(0, 2).y, -3);
    // Halves round away from zero, the same on both sides.
    SetViewportExtEx(dc, 150, 150, NULL);
    EXPECT_EQ(ToDevice(1, 0).x, 2);
    EXPECT_EQ(ToDevice(-1, 0).x, -2);
    EXPECT_EQ(ToDevice(0, 1).y, -2);
    EXPECT_EQ(ToDevice(0, -1).y, 2);
    EXPECT_EQ(ToLogical(3, -3).x, 2);
    EXPECT_EQ(ToLogical(3, -3).y, 2);
}

TEST_F(MappingTest, OriginsShiftBothWays)
{
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 100, -100, NULL);
    SetViewportExtEx(dc, 200, 200, NULL);
    SetWindowOrgEx(dc, 50, 50, NULL);
    SetViewportOrgEx(dc, 10, 300, NULL);
    EXPECT_EQ(ToDevice(50, 50).x, 10);
    EXPECT_EQ(ToDevice(50, 50).y, 300);
    EXPECT_EQ(ToDevice(60, 60).y, 280);
    POINT back = ToLogical(30, 260);
    EXPECT_EQ(back.x, 60);
    EXPECT_EQ(back.y, 70);
    POINT previous;
    OffsetViewportOrgEx(dc, 5, -5, &previous);
    EXPECT_EQ(previous.x, 10);
    EXPECT_EQ(ToDevice(50, 50).x, 15);
    OffsetWindowOrgEx(dc, 10, 0, NULL);
    EXPECT_EQ(ToDevice(60, 50).x, 15);
}

TEST_F(MappingTest, ExtentsChangeOnlyInScalableModes)
{
    SIZE ext;
    EXPECT_TRUE(SetWindowExtEx(dc, 100, -100, NULL));
    GetWindowExtEx(dc, &ext);
    EXPECT_EQ(ext.cx, 1);
    EXPECT_EQ(SetMapMode(dc, MM_ANISOTROPIC), MM_TEXT);
    EXPECT_FALSE(SetWindowExtEx(dc, 0, 5, NULL));
    EXPECT_TRUE(SetWindowExtEx(dc, 100, -100, NULL));
    EXPECT_TRUE(ScaleWindowExtEx(dc, 3, 2, 1, 2, &ext));
    EXPECT_EQ(ext.cx, 100);
    GetWindowExtEx(dc, &ext);
    EXPECT_EQ(ext.cx, 150);
    EXPECT_EQ(ext.cy, -50);
    // Back to MM_TEXT: one unit, one pixel.
    SetMapMode(dc, MM_TEXT);
    SetWindowOrgEx(dc, 0, 0, NULL);
    EXPECT_EQ(ToDevice(7, -7).y, -7);

    // MM_ISOTROPIC keeps units square by shrinking the viewport.
    SetMapMode(dc, MM_ISOTROPIC);
    SetWindowExtEx(dc, 100, 100, NULL);
    SetViewportExtEx(dc, 400, -200, NULL);
    SIZE vp;
    GetViewportExtEx(dc, &vp);
    EXPECT_EQ(vp.cx, 200);
    EXPECT_EQ(vp.cy, -200);
}

TEST_F(MappingTest, FixedModesUseTheDeviceResolution)
{
    SetMapMode(dc, MM_LOENGLISH);
    POINT p = ToDevice(100, 100); // one inch right, one inch up
    EXPECT_EQ(p.x, 96);
    EXPECT_EQ(p.y, -96);
    SetMapMode(dc, MM_TWIPS);
    EXPECT_EQ(ToDevice(1440, 0).x, 96);
}

} // namespace
