#include "app/BinarySearch.h"
#include "app/DcStateSaver.h"
#include "app/DeviceColors.h"
#include "app/FontHelpers.h"
#include "app/RectGeometry.h"
#include "platform/base/Exception.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Display.h"

#include "platform/ui/User.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>

namespace {

bool Same(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

::testing::AssertionResult RectIs(const RECT& actual, const RECT& expected)
{
    if (Same(actual, expected))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << actual.left << "," << actual.top << "," << actual.right << ","
                                         << actual.bottom << ") instead of (" << expected.left << "," << expected.top
                                         << "," << expected.right << "," << expected.bottom << ")";
}

// A memory DC compatible with the screen, owned by the test.
class ScreenMemoryDc : public CDC {
public:
    ScreenMemoryDc() { CreateCompatibleDC(nullptr); }
};

TEST(BinarySearch, NarrowsTowardTheDirectionUntilNothingIsLeft)
{
    CBinarySearch search(0, 50);
    int middle = search.GetMiddle();
    EXPECT_EQ(middle, 25);
    EXPECT_FALSE(search.Narrow(middle, 1));
    EXPECT_EQ(middle, 37);
    EXPECT_FALSE(search.Narrow(middle, -1));
    EXPECT_EQ(middle, 31);

    // Any other direction is "found": nothing changes.
    EXPECT_TRUE(search.Narrow(middle, 0));
    EXPECT_EQ(middle, 31);
    EXPECT_EQ(search.GetLow(), 25);
    EXPECT_EQ(search.GetHigh(), 37);

    // Always larger ends one below the top: the range cannot shrink further.
    CBinarySearch up(0, 50);
    while (!up.Narrow(middle, 1)) {
    }
    EXPECT_EQ(middle, 49);
}

TEST(DeviceColors, QuantizeRoundsToTheClassOrGreys)
{
    EXPECT_EQ(QuantizeColor(250, 7, 128, 4), RGB(255, 0, 128));
    EXPECT_EQ(QuantizeColor(100, 101, 102, 5), RGB(96, 96, 96));
    EXPECT_EQ(QuantizeColor(255, 0, 0, -1), RGB(76, 76, 76));
    EXPECT_EQ(QuantizeColor(255, 255, 255, -1), RGB(255, 255, 255));
    EXPECT_EQ(QuantizeColor(12, 34, 56, 0), RGB(12, 34, 56));
    EXPECT_EQ(QuantizeColor(12, 34, 56, -2), RGB(12, 34, 56));
}

TEST(DeviceColors, ColorClassFollowsTheDepth)
{
    struct Case {
        int bits;
        int colorClass;
    } cases[] = {{1, -1}, {4, 5}, {8, 4}, {24, 0}, {32, 0}};
    for (const Case& c : cases) {
        ASSERT_TRUE(platform::SetScreenBitsPixel(c.bits));
        ScreenMemoryDc dc;
        EXPECT_EQ(GetDeviceColorClass(&dc), c.colorClass) << c.bits << " bits";
    }
    // Only an 8-bit screen changes colours to its palette.
    ASSERT_TRUE(platform::SetScreenBitsPixel(8));
    COLORREF odd = RGB(13, 200, 77);
    EXPECT_NE(GetNearestScreenColor(odd, nullptr), odd);
    ASSERT_TRUE(platform::SetScreenBitsPixel(0));
    EXPECT_EQ(GetNearestScreenColor(odd, nullptr), odd);
    platform::ResetDisplayForTesting();
}

TEST(RectGeometry, IntegerHelpersGuardTheirEdges)
{
    EXPECT_EQ(RoundLog2(1), 0);
    EXPECT_EQ(RoundLog2(3), 2);
    EXPECT_EQ(RoundLog2(5), 2);
    EXPECT_EQ(RoundLog2(1024), 10);
    EXPECT_EQ(RoundLog2(0), 0);
    EXPECT_EQ(RoundLog2(-8), 0);

    EXPECT_EQ(IntRemainder(7, 3), 1);
    EXPECT_EQ(IntRemainder(-7, 3), -1);
    EXPECT_EQ(IntRemainder(7, -3), 1);
    EXPECT_EQ(IntRemainder(7, 0), 7);
    EXPECT_EQ(IntRemainder(INT_MIN, -1), 0);

    EXPECT_DOUBLE_EQ(DegreesToRadians(180), std::acos(-1.0));
    SIZE s{850, 1100};
    SwapSize(&s);
    EXPECT_EQ(s.cx, 1100);
    EXPECT_EQ(s.cy, 850);
}

TEST(RectGeometry, RotatePointsTurnsAboutThePivot)
{
    POINT pts[2] = {{10, 0}, {-3, 7}};
    RotatePoints(POINT{0, 0}, pts, 2, 0, FALSE);
    EXPECT_EQ(pts[0].x, 10);
    EXPECT_EQ(pts[1].y, 7);
    // Degrees are whole: 0.9 is no turn at all.
    RotatePoints(POINT{0, 0}, pts, 2, 0.9, FALSE);
    EXPECT_EQ(pts[0].x, 10);

    RotatePoints(POINT{0, 0}, pts, 1, 90, FALSE);
    EXPECT_EQ(pts[0].x, 0);
    EXPECT_EQ(pts[0].y, 10);

    POINT q{10, 5};
    RotatePoints(POINT{5, 5}, &q, 1, std::acos(-1.0), TRUE);
    EXPECT_EQ(q.x, 0);
    EXPECT_EQ(q.y, 5);

    // Results round half away from zero: (1, 0) at 60 degrees is (0.5, 0.87).
    POINT r[2] = {{1, 0}, {-1, 0}};
    RotatePoints(POINT{0, 0}, r, 2, 60, FALSE);
    EXPECT_EQ(r[0].x, 1);
    EXPECT_EQ(r[0].y, 1);
    EXPECT_EQ(r[1].x, -1);
    EXPECT_EQ(r[1].y, -1);
}

TEST(RectGeometry, CentreAndOrientation)
{
    RECT r{0, 0, 10, 4};
    CenterRectIn(&r, 100, 200, 131, 300, TRUE, FALSE);
    EXPECT_TRUE(RectIs(r, RECT{110, 0, 120, 4}));
    CenterRectIn(&r, 100, 200, 131, 300, FALSE, TRUE);
    EXPECT_TRUE(RectIs(r, RECT{110, 248, 120, 252}));

    BOOL h = FALSE, v = FALSE;
    EXPECT_TRUE(CompareRectOrientation(0, 0, 10, 10, 10, 0, 0, 10, &h, &v));
    EXPECT_TRUE(h);
    EXPECT_FALSE(v);

    // C before D on every side, as A runs: nothing to align.
    RECT a{0, 0, 10, 10}, b{100, 100, 110, 110};
    RECT c{1, 1, 5, 5}, d{2, 2, 6, 6};
    EXPECT_FALSE(AlignRectOrientation(&a, &b, &c, &d, nullptr));
    // D before C horizontally: reported, and only with the flag are sides copied.
    RECT c2{9, 1, 9, 5}, d2{2, 2, 6, 6};
    EXPECT_TRUE(AlignRectOrientation(&a, &b, &c2, &d2, nullptr));
    EXPECT_EQ(c2.left, 9);
    BOOL apply = TRUE;
    EXPECT_TRUE(AlignRectOrientation(&a, &b, &c2, &d2, &apply));
    EXPECT_TRUE(RectIs(c2, RECT{0, 1, 10, 5}));
    EXPECT_TRUE(RectIs(d2, RECT{100, 2, 110, 6}));
}

TEST(RectGeometry, MapRectToFrameScalesAndFollowsTheTargetsFlip)
{
    RECT source{0, 0, 100, 100};
    RECT r{10, 20, 30, 40};
    RECT target{200, 0, 400, 50};
    MapRectToFrame(&r, &source, &target);
    EXPECT_TRUE(RectIs(r, RECT{220, 10, 260, 20}));

    // Halves round away from zero.
    RECT odd{1, 1, 3, 3};
    RECT half{0, 0, 50, 50};
    MapRectToFrame(&odd, &source, &half);
    EXPECT_TRUE(RectIs(odd, RECT{1, 1, 2, 2}));

    // A target running right to left mirrors the place and turns the rectangle.
    RECT m{10, 20, 30, 40};
    RECT flipped{400, 0, 200, 50};
    MapRectToFrame(&m, &source, &flipped);
    EXPECT_TRUE(RectIs(m, RECT{380, 10, 340, 20}));

    // A source frame with no width keeps the rectangle's size.
    RECT line{0, 0, 0, 100};
    RECT k{0, 0, 5, 10};
    MapRectToFrame(&k, &line, &target);
    EXPECT_TRUE(RectIs(k, RECT{200, 0, 205, 5}));
}

TEST(RectGeometry, FitAspectRectCentresThePictureInTheFrame)
{
    ScreenMemoryDc dc;
    RECT out;
    FitAspectRect(&out, &dc, 1, 1, 0, 0, 200, 100);
    EXPECT_TRUE(RectIs(out, RECT{50, 0, 150, 100}));
    FitAspectRect(&out, &dc, 4, 1, 0, 0, 200, 100);
    EXPECT_TRUE(RectIs(out, RECT{0, 25, 200, 75}));
    FitAspectRect(&out, &dc, 0, 3, 5, 6, 7, 8);
    EXPECT_TRUE(RectIs(out, RECT{5, 6, 7, 8}));

    // Under a y-up mapping (100 units an inch) the result stays y-up.
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(100, -100);
    dc.SetViewportExt(96, 96);
    FitAspectRect(&out, &dc, 1, 2, 0, 100, 400, -100);
    EXPECT_GT(out.top, out.bottom);
    EXPECT_NEAR(out.right - out.left, 100, 2);
    EXPECT_NEAR(out.top - out.bottom, 200, 2);
    EXPECT_NEAR(out.left, 150, 2);
}

TEST(DcStateSaver, RestoresTheStateOnEveryWayOut)
{
    ScreenMemoryDc dc;
    try {
        CDCStateSaver saver(&dc);
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetTextColor(RGB(1, 2, 3));
        throw 42;
    } catch (int) {
    }
    EXPECT_EQ(dc.GetMapMode(), MM_TEXT);
    EXPECT_EQ(dc.GetTextColor(), RGB(0, 0, 0));

    // The viewport extent seen at the start is set again after the restore.
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetViewportExt(300, 200);
    {
        CDCStateSaver saver(&dc);
        dc.SetViewportExt(7, 9);
    }
    EXPECT_EQ(dc.GetViewportExt().cx, 300);
    EXPECT_EQ(dc.GetViewportExt().cy, 200);
}

TEST(DcStateSaver, FailedSaveThrowsAndFailedPrintingRestoreRaisesTheFlag)
{
    CDC detached;
    bool thrown = false;
    try {
        CDCStateSaver saver(&detached);
    } catch (CResourceException* e) {
        thrown = true;
        e->Delete();
    }
    EXPECT_TRUE(thrown);

    ScreenMemoryDc dc;
    dc.m_bPrinting = TRUE;
    g_bPrintError = FALSE;
    {
        CDCStateSaver saver(&dc);
        dc.RestoreDC(-1); // the saved state is gone before the saver ends
    }
    EXPECT_FALSE(g_bPrintError); // no mark: nothing to report
    {
        CDCStateSaver saver(&dc);
        saver.SetErrorMark(TRUE);
        dc.RestoreDC(-1);
    }
    EXPECT_TRUE(g_bPrintError);
    g_bPrintError = FALSE;
}

TEST(FontHelpers, PointSizesBecomeDeviceHeights)
{
    ScreenMemoryDc dc;
    CFont font;
    LOGFONT lf;
    ASSERT_TRUE(CreatePointSizeFont(&dc, font, "A face name far longer than thirty-one characters", &lf, -12, 700));
    EXPECT_EQ(lf.lfHeight, -12);
    EXPECT_EQ(lf.lfWeight, 700);
    EXPECT_EQ(std::strlen(lf.lfFaceName), 31u);
    LOGFONT made;
    ASSERT_EQ(font.GetLogFont(&made), int(sizeof(LOGFONT)));
    EXPECT_EQ(made.lfHeight, -16); // 12 pt at 96 dpi
    ASSERT_TRUE(CreatePointSizeFont(&dc, font, "Arial", &lf, 9, 0));
    EXPECT_EQ(lf.lfWeight, 0);
    font.GetLogFont(&made);
    EXPECT_EQ(made.lfHeight, 12);
}

TEST(FontHelpers, FittingFindsTheSizeThatMeasuresTheTarget)
{
    ScreenMemoryDc dc;
    LOGFONT lf{};
    std::strcpy(lf.lfFaceName, "Arial");
    const UINT format = DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX;
    HGDIOBJ before = ::GetCurrentObject(dc.m_hDC, OBJ_FONT);

    // The target is what the text measures at 18 points.
    CFont probe;
    LOGFONT sized = lf;
    sized.lfHeight = -24;
    probe.CreateFontIndirect(&sized);
    CFont* old = dc.SelectObject(&probe);
    RECT target{0, 0, 0, 0};
    dc.DrawText("Fitting", -1, &target, format);
    dc.SelectObject(old);
    ASSERT_GT(target.right, 0);

    EXPECT_EQ(FindFittingFontSize(&dc, "Fitting", target.right, target.bottom, &lf, format), -18);
    EXPECT_EQ(::GetCurrentObject(dc.m_hDC, OBJ_FONT), before);
    // Nothing fits a box of one pixel: the search ends at the bottom.
    EXPECT_EQ(FindFittingFontSize(&dc, "Fitting", 1, 1, &lf, format), 0);
}

TEST(DeviceColors, ArrowCursorIsLoadedOnceAndIsTheSystemArrow)
{
    HCURSOR arrow = LoadArrowCursor();
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(LoadArrowCursor(), arrow);
    EXPECT_EQ(arrow, LoadCursor(NULL, IDC_ARROW));
}

} // namespace
