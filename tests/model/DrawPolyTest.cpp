// Polygon objects: their points and bounds, handles, moves, clones and
// attributes, and their drawing and hit tests in a real surface view of the
// headless back end (y up, zoom 100 and 37).

#include "model/DrawPoly.h"

#include "tests/model/ModelTestSupport.h"

#include "model/ObjectAttributes.h"
#include "surface/SurfaceGlobals.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <cmath>
#include <set>
#include <vector>

namespace {

using modeltest::ViewBitmap;

std::vector<CPoint> PointsOf(const CDrawPoly& poly)
{
    std::vector<CPoint> points;
    for (int i = 0; i < poly.GetPointCount(); ++i)
        points.emplace_back(poly.GetPoints()[i]);
    return points;
}

// ---- Points and bounds, without a document

class DrawPolyTest : public ::testing::Test {
protected:
    void SetUp() override { ResetSurfaceGlobals(); }
    void TearDown() override { ResetSurfaceGlobals(); }
};

TEST_F(DrawPolyTest, PointsGrowTenAtATimeAndARepeatedPointIsKeptOnce)
{
    CDrawPoly poly(CRect(0, 0, 0, 0));
    EXPECT_FALSE(poly.m_bFill);
    EXPECT_TRUE(poly.m_bOutline);
    EXPECT_EQ(poly.GetCapacity(), 0);
    EXPECT_EQ(poly.GetPoints(), nullptr);

    EXPECT_TRUE(poly.AddPoint(CPoint(0, 0)));
    EXPECT_EQ(poly.GetCapacity(), 10);
    EXPECT_TRUE(poly.AddPoint(CPoint(0, 0)));
    EXPECT_EQ(poly.GetPointCount(), 1);
    for (int i = 1; i < 10; ++i)
        poly.AddPoint(CPoint(i * 10, i % 3));
    EXPECT_EQ(poly.GetPointCount(), 10);
    EXPECT_EQ(poly.GetCapacity(), 10);
    poly.AddPoint(CPoint(200, 50));
    EXPECT_EQ(poly.GetPointCount(), 11);
    EXPECT_EQ(poly.GetCapacity(), 20);
    // Only the last point counts as a repeat: an earlier one is a new vertex.
    poly.AddPoint(CPoint(200, 50));
    poly.AddPoint(CPoint(0, 0));
    EXPECT_EQ(poly.GetPointCount(), 12);
    EXPECT_EQ(CPoint(poly.GetPoints()[10]), CPoint(200, 50));
    EXPECT_EQ(CPoint(poly.GetPoints()[11]), CPoint(0, 0));
}

TEST_F(DrawPolyTest, TheFactoryMakesAnEmptyPolygonUnderItsOwnName)
{
    CRuntimeClass* pClass = CRuntimeClass::FromName("CDrawPoly");
    ASSERT_EQ(pClass, RUNTIME_CLASS(CDrawPoly));
    EXPECT_EQ(pClass->m_wSchema, 1u);
    EXPECT_TRUE(pClass->IsDerivedFrom(RUNTIME_CLASS(CDrawObj)));
    std::unique_ptr<CObject> pObj(pClass->CreateObject());
    auto* pPoly = dynamic_cast<CDrawPoly*>(pObj.get());
    ASSERT_NE(pPoly, nullptr);
    EXPECT_EQ(pPoly->GetPointCount(), 0);
    EXPECT_EQ(pPoly->GetCapacity(), 0);
    EXPECT_EQ(pPoly->GetHandleCount(), 0);
    EXPECT_TRUE(pPoly->m_position.IsRectEmpty());
}

TEST_F(DrawPolyTest, TheRectangleIsTheBoundingBoxOfThePointsWithTopAbove)
{
    CDrawPoly poly(CRect(-500, 500, 500, -500));
    EXPECT_FALSE(poly.RecalcBounds());
    EXPECT_EQ(poly.m_position, CRect(-500, 500, 500, -500));

    poly.AddPoint(CPoint(30, -20));
    EXPECT_EQ(poly.m_position, CRect(30, -20, 30, -20));
    EXPECT_TRUE(poly.m_position.IsRectEmpty());

    poly.AddPoint(CPoint(-10, 40));
    poly.AddPoint(CPoint(70, 5));
    EXPECT_EQ(poly.m_position, CRect(-10, 40, 70, -20));
    EXPECT_EQ(poly.m_rectUnrotated, poly.m_position);
    EXPECT_FALSE(poly.RecalcBounds());
    // A point inside the box leaves it.
    poly.AddPoint(CPoint(0, 0));
    EXPECT_EQ(poly.m_position, CRect(-10, 40, 70, -20));
}

TEST_F(DrawPolyTest, MovingShiftsEveryVertexUnlessLocked)
{
    CDrawPoly poly(CRect(0, 0, 0, 0));
    const std::vector<CPoint> placed = {{0, 0}, {100, 20}, {40, 90}, {-30, 50}};
    for (const CPoint& pt : placed)
        poly.AddPoint(pt);
    CRect moved = poly.m_position;
    moved.OffsetRect(5, -3);
    poly.MoveTo(moved, nullptr);
    EXPECT_EQ(poly.m_position, moved);
    const std::vector<CPoint> now = PointsOf(poly);
    ASSERT_EQ(now.size(), placed.size());
    for (size_t i = 0; i < placed.size(); ++i)
        EXPECT_EQ(now[i], placed[i] + CPoint(5, -3)) << i;
    // The moved rectangle is still the bounding box.
    EXPECT_FALSE(poly.RecalcBounds());

    poly.m_wFlags |= OBJ_FLAG_LOCKED;
    CRect again = moved;
    again.OffsetRect(100, 100);
    poly.MoveTo(again, nullptr);
    EXPECT_EQ(poly.m_position, moved);
    EXPECT_EQ(PointsOf(poly), now);
}

TEST_F(DrawPolyTest, TheSixtyFiveThousandFiveHundredAndThirtySixthPointIsRefused)
{
    // Loaded nearly full: the count and the capacity are stored in 16 bits.
    std::vector<POINT> points(65530);
    for (size_t i = 0; i < points.size(); ++i)
        points[i] = POINT{LONG(i % 1000), LONG(i / 1000)};
    CDrawPoly poly(CRect(0, 0, 0, 0));
    ASSERT_TRUE(poly.SetPoints(points.data(), 65530, 65530));
    EXPECT_EQ(poly.m_position, CRect(0, 65, 999, 0));

    EXPECT_TRUE(poly.AddPoint(CPoint(-1, -1)));
    // The last growth stops at what 16 bits hold.
    EXPECT_EQ(poly.GetCapacity(), CDrawPoly::kMaxPoints);
    for (int i = 2; i <= 5; ++i)
        EXPECT_TRUE(poly.AddPoint(CPoint(-i, -i)));
    EXPECT_EQ(poly.GetPointCount(), 65535);
    EXPECT_FALSE(poly.AddPoint(CPoint(5000, 5000)));
    EXPECT_EQ(poly.GetPointCount(), 65535);
    EXPECT_EQ(poly.GetCapacity(), 65535);
    EXPECT_EQ(CPoint(poly.GetPoints()[65534]), CPoint(-5, -5));
    EXPECT_EQ(poly.m_position, CRect(-5, 65, 999, -5));

    // A stored list never holds more either; a capacity below the count
    // makes room for the count.
    EXPECT_FALSE(poly.SetPoints(points.data(), 65536, 65536));
    EXPECT_FALSE(poly.SetPoints(points.data(), 3, 70000));
    EXPECT_FALSE(poly.SetPoints(nullptr, 3, 10));
    EXPECT_EQ(poly.GetPointCount(), 65535);
    ASSERT_TRUE(poly.SetPoints(points.data(), 3, 10));
    EXPECT_EQ(poly.GetPointCount(), 3);
    EXPECT_EQ(poly.GetCapacity(), 10);
    ASSERT_TRUE(poly.SetPoints(points.data(), 3, 1));
    EXPECT_EQ(poly.GetCapacity(), 3);
    poly.AddPoint(CPoint(-7, 7));
    EXPECT_EQ(poly.GetCapacity(), 13);
}

TEST_F(DrawPolyTest, HandlesAreThePointsAndNumbersOutsideThemAreIgnored)
{
    CDrawPoly poly(CRect(0, 0, 0, 0));
    EXPECT_EQ(poly.GetHandleCount(), 0);
    EXPECT_EQ(poly.GetHandle(1), CPoint(0, 0));
    const std::vector<CPoint> placed = {{0, 0}, {100, 0}, {100, 80}, {0, 80}};
    for (const CPoint& pt : placed)
        poly.AddPoint(pt);
    ASSERT_EQ(poly.GetHandleCount(), 4);
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(poly.GetHandle(n, TRUE), placed[n - 1]);
        EXPECT_EQ(poly.GetHandle(n, FALSE), placed[n - 1]);
    }
    EXPECT_TRUE(poly.IsRotateHandle(5));
    EXPECT_FALSE(poly.IsRotateHandle(9));
    for (int n : {0, -1, 5, 9, INT_MIN, INT_MAX})
        EXPECT_EQ(poly.GetHandle(n), placed[0]) << n;

    for (int n : {0, -1, 5, 9, INT_MIN, INT_MAX})
        poly.MoveHandleTo(n, CPoint(999, 999), nullptr);
    EXPECT_EQ(PointsOf(poly), placed);
    EXPECT_EQ(poly.m_position, CRect(0, 80, 100, 0));

    poly.MoveHandleTo(3, CPoint(150, 120), nullptr);
    EXPECT_EQ(poly.GetHandle(3), CPoint(150, 120));
    EXPECT_EQ(poly.m_position, CRect(0, 120, 150, 0));
    poly.m_wFlags |= OBJ_FLAG_LOCKED;
    poly.MoveHandleTo(3, CPoint(10, 10), nullptr);
    EXPECT_EQ(poly.GetHandle(3), CPoint(150, 120));

    const HCURSOR arrow = ::LoadCursor(NULL, IDC_ARROW);
    ASSERT_NE(arrow, nullptr);
    for (int n = 0; n <= 6; ++n)
        EXPECT_EQ(poly.GetHandleCursor(n), arrow) << n;
}

TEST_F(DrawPolyTest, AClonesCarriesPointsCapacityOutlineAndFillAndIsUnlocked)
{
    CDrawPoly poly(CRect(0, 0, 0, 0));
    for (int i = 0; i < 11; ++i)
        poly.AddPoint(CPoint(i * 10, (i % 2) * 40));
    poly.m_logpen = LOGPEN{PS_SOLID, POINT{7, 0}, RGB(1, 2, 3)};
    poly.m_bFill = TRUE;
    poly.m_logbrush = LOGBRUSH{BS_HATCHED, RGB(4, 5, 6), HS_CROSS};
    poly.m_nContentWord = RGB(7, 8, 9);
    poly.m_bOutline = FALSE;
    poly.m_wFlags |= OBJ_FLAG_LOCKED;

    std::unique_ptr<CDrawObj> pCopy(poly.Clone(nullptr, nullptr));
    auto* pClone = dynamic_cast<CDrawPoly*>(pCopy.get());
    ASSERT_NE(pClone, nullptr);
    EXPECT_EQ(PointsOf(*pClone), PointsOf(poly));
    EXPECT_EQ(pClone->GetCapacity(), 20);
    EXPECT_EQ(pClone->m_position, poly.m_position);
    EXPECT_FALSE(pClone->m_bOutline);
    EXPECT_EQ(pClone->m_logpen.lopnStyle, UINT(PS_SOLID));
    EXPECT_EQ(pClone->m_logpen.lopnWidth.x, 7);
    EXPECT_EQ(pClone->m_logpen.lopnColor, RGB(1, 2, 3));
    EXPECT_TRUE(pClone->m_bFill);
    EXPECT_EQ(pClone->m_logbrush.lbStyle, UINT(BS_HATCHED));
    EXPECT_EQ(pClone->m_logbrush.lbColor, RGB(4, 5, 6));
    EXPECT_EQ(pClone->m_logbrush.lbHatch, HS_CROSS);
    EXPECT_EQ(pClone->m_nContentWord, LONG(RGB(7, 8, 9)));
    EXPECT_FALSE(pClone->m_wFlags & OBJ_FLAG_LOCKED);
    EXPECT_TRUE(poly.m_wFlags & OBJ_FLAG_LOCKED);
    EXPECT_NE(pClone->m_nSerial, poly.m_nSerial);

    // The copy has its own points.
    pClone->MoveHandleTo(1, CPoint(-50, -50), nullptr);
    EXPECT_EQ(poly.GetHandle(1), CPoint(0, 0));
    pClone->AddPoint(CPoint(300, 300));
    EXPECT_EQ(pClone->GetPointCount(), 12);
    EXPECT_EQ(poly.GetPointCount(), 11);

    // An empty polygon clones empty.
    CDrawPoly empty(CRect(0, 10, 10, 0));
    std::unique_ptr<CDrawObj> pEmpty(empty.Clone(nullptr, nullptr));
    EXPECT_EQ(static_cast<CDrawPoly*>(pEmpty.get())->GetPointCount(), 0);
    EXPECT_EQ(pEmpty->m_position, CRect(0, 10, 10, 0));
}

TEST_F(DrawPolyTest, AttributesRoundTripThroughAnotherPolygonAndLeaveThePoints)
{
    CDrawPoly from(CRect(0, 0, 0, 0));
    from.AddPoint(CPoint(0, 0));
    from.AddPoint(CPoint(50, 50));
    from.m_logpen = LOGPEN{PS_INSIDEFRAME, POINT{10, 0}, RGB(0, 0, 255)};
    from.m_bFill = TRUE;
    from.m_logbrush = LOGBRUSH{BS_HATCHED, RGB(255, 0, 0), HS_DIAGCROSS};
    from.m_nContentWord = RGB(0, 255, 0);
    // Without the outline following the content, an outline that is off
    // stays off.
    from.m_wFlags = OBJ_FLAG_LOADED | OBJ_FLAG_BACK_LAYER;
    from.m_bOutline = FALSE;
    from.m_wObjectWord = 3;

    CObjectAttributes attrs;
    from.GetAttributes(attrs);
    CDrawPoly to(CRect(0, 0, 0, 0));
    const std::vector<CPoint> placed = {{-20, -20}, {20, -20}, {0, 30}};
    for (const CPoint& pt : placed)
        to.AddPoint(pt);
    to.SetAttributes(attrs);
    EXPECT_FALSE(to.m_bOutline);
    EXPECT_EQ(to.m_logpen.lopnStyle, UINT(PS_INSIDEFRAME));
    EXPECT_EQ(to.m_logpen.lopnWidth.x, 10);
    EXPECT_EQ(to.m_logpen.lopnColor, RGB(0, 0, 255));
    EXPECT_TRUE(to.m_bFill);
    EXPECT_EQ(to.m_logbrush.lbStyle, UINT(BS_HATCHED));
    EXPECT_EQ(to.m_logbrush.lbColor, RGB(255, 0, 0));
    EXPECT_EQ(to.m_logbrush.lbHatch, HS_DIAGCROSS);
    EXPECT_EQ(to.m_nContentWord, LONG(RGB(0, 255, 0)));
    EXPECT_EQ(to.m_wFlags, WORD(OBJ_FLAG_LOADED | OBJ_FLAG_BACK_LAYER));
    EXPECT_EQ(to.m_wObjectWord, 3);
    EXPECT_EQ(PointsOf(to), placed);
    EXPECT_EQ(to.m_position, CRect(-20, 30, 20, -20));

    // With the outline following the content, a shape always shows it.
    attrs.m_wFlags |= OBJ_FLAG_AUTO_OUTLINE;
    to.SetAttributes(attrs);
    EXPECT_TRUE(to.m_bOutline);
}

// ---- In a view

class DrawPolyViewTest : public modeltest::DesignViewTest {
protected:
    // A polygon of the view (the view owns it) through the points.
    CDrawPoly* Place(const std::vector<CPoint>& points)
    {
        auto* pPoly = new CDrawPoly(CRect(points[0], points[0]));
        m_pView->Add(pPoly);
        for (const CPoint& pt : points)
            pPoly->AddPoint(pt, m_pView);
        return pPoly;
    }
};

CPoint Turned(double x, double y, double dDegrees)
{
    const double a = dDegrees * M_PI / 180.0;
    return CPoint(static_cast<int>(std::lround(x * std::cos(a) - y * std::sin(a))),
        static_cast<int>(std::lround(x * std::sin(a) + y * std::cos(a))));
}

// A square of half-side 100 about the origin turned by 30 degrees, placed
// counter-clockwise, or mirrored left to right (and so placed clockwise).
std::vector<CPoint> TurnedSquare(BOOL bMirrored)
{
    std::vector<CPoint> points;
    for (const CPoint corner : {CPoint(-100, -100), CPoint(100, -100), CPoint(100, 100), CPoint(-100, 100)}) {
        CPoint pt = Turned(corner.x, corner.y, 30);
        if (bMirrored)
            pt.x = -pt.x;
        points.push_back(pt);
    }
    return points;
}

CPoint Mirror(CPoint pt, BOOL bMirrored)
{
    return bMirrored ? CPoint(-pt.x, pt.y) : pt;
}

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kFill = RGB(255, 0, 0);
constexpr COLORREF kPen = RGB(0, 0, 255);

TEST_F(DrawPolyViewTest, FilledAndOutlinedPolygonsCoverInsideAndEdgeOnly)
{
    // The middle of a side and points well inside and outside, on the
    // square as turned (and mirrored with it).
    const CPoint side = Turned(100, 0, 30);
    const CPoint inside = Turned(40, 30, 30);
    const CPoint outside = Turned(135, 0, 30);
    const CPoint corner = Turned(100, 100, 30);
    for (int nZoom : {100, 37}) {
        SetZoom(nZoom);
        for (BOOL bMirrored : {FALSE, TRUE}) {
            CDrawPoly* pPoly = Place(TurnedSquare(bMirrored));
            pPoly->m_logpen = LOGPEN{PS_INSIDEFRAME, POINT{10, 0}, kPen};
            pPoly->m_bFill = TRUE;
            pPoly->m_logbrush = LOGBRUSH{BS_SOLID, kFill, 0};
            const char* what = bMirrored ? "mirrored" : "as placed";
            {
                ViewBitmap bmp(m_pView);
                pPoly->Draw(bmp.Dc());
                EXPECT_EQ(bmp.AtLogical(Mirror(inside, bMirrored)), kFill) << nZoom << " " << what;
                EXPECT_EQ(bmp.AtLogical(CPoint(0, 0)), kFill) << nZoom << " " << what;
                EXPECT_EQ(bmp.AtLogical(Mirror(side, bMirrored)), kPen) << nZoom << " " << what;
                EXPECT_EQ(bmp.AtLogical(Mirror(corner, bMirrored)), kPen) << nZoom << " " << what;
                EXPECT_EQ(bmp.AtLogical(Mirror(outside, bMirrored)), kWhite) << nZoom << " " << what;
                // Inside the bounding box but outside the turned square.
                EXPECT_EQ(bmp.AtLogical(pPoly->m_position.TopLeft() + CPoint(3, -3)), kWhite) << nZoom << " " << what;
            }
            // Outline only: the inside shows what lies under it.
            pPoly->m_bFill = FALSE;
            {
                ViewBitmap bmp(m_pView);
                pPoly->Draw(bmp.Dc());
                EXPECT_EQ(bmp.AtLogical(Mirror(inside, bMirrored)), kWhite) << nZoom << " " << what;
                EXPECT_EQ(bmp.AtLogical(Mirror(side, bMirrored)), kPen) << nZoom << " " << what;
            }
            // Fill only: no pen colour anywhere.
            pPoly->m_bFill = TRUE;
            pPoly->m_bOutline = FALSE;
            {
                ViewBitmap bmp(m_pView);
                pPoly->Draw(bmp.Dc());
                EXPECT_EQ(bmp.AtLogical(Mirror(inside, bMirrored)), kFill) << nZoom << " " << what;
                EXPECT_EQ(bmp.ColorsAround(Mirror(side, bMirrored), 2).count(kPen), 0u) << nZoom << " " << what;
                EXPECT_EQ(bmp.AtLogical(Mirror(outside, bMirrored)), kWhite) << nZoom << " " << what;
            }
            m_pView->Remove(pPoly);
            delete pPoly;
        }
    }
}

TEST_F(DrawPolyViewTest, ThinOutlinesTouchEveryVertexAndTheRecordsAngleDoesNotTurnThePoints)
{
    for (int nZoom : {100, 37}) {
        SetZoom(nZoom);
        const std::vector<CPoint> points = TurnedSquare(FALSE);
        CDrawPoly* pPoly = Place(points);
        pPoly->m_logpen = LOGPEN{PS_INSIDEFRAME, POINT{0, 0}, kPen};
        std::vector<COLORREF> before;
        {
            ViewBitmap bmp(m_pView);
            pPoly->Draw(bmp.Dc());
            for (const CPoint& pt : points) {
                EXPECT_EQ(bmp.AtLogical(pt), kPen) << nZoom;
                before.push_back(bmp.AtLogical(pt + CPoint(0, 30)));
            }
            EXPECT_EQ(bmp.AtLogical(CPoint(0, 0)), kWhite);
        }
        // A polygon's points are where it shows: an angle in its record
        // turns nothing again.
        CObjectAttributes attrs;
        pPoly->GetAttributes(attrs);
        attrs.m_nRotation = 30;
        pPoly->SetAttributes(attrs);
        ASSERT_EQ(pPoly->m_dAngle, 30.0);
        {
            ViewBitmap bmp(m_pView);
            pPoly->Draw(bmp.Dc());
            for (size_t i = 0; i < points.size(); ++i) {
                EXPECT_EQ(bmp.AtLogical(points[i]), kPen) << nZoom;
                EXPECT_EQ(bmp.AtLogical(points[i] + CPoint(0, 30)), before[i]) << nZoom;
            }
        }
        m_pView->Remove(pPoly);
        delete pPoly;
    }
}

TEST_F(DrawPolyViewTest, AHatchShowsTheContentWordBetweenItsLinesOrWhatLiesUnder)
{
    CDrawPoly* pPoly = Place(TurnedSquare(FALSE));
    pPoly->m_bOutline = FALSE;
    pPoly->m_bFill = TRUE;
    pPoly->m_logbrush = LOGBRUSH{BS_HATCHED, kFill, HS_CROSS};
    pPoly->m_nContentWord = RGB(0, 255, 0);
    {
        ViewBitmap bmp(m_pView);
        pPoly->Draw(bmp.Dc());
        const std::set<COLORREF> colors = bmp.ColorsAround(CPoint(0, 0), 12);
        EXPECT_EQ(colors, (std::set<COLORREF>{kFill, RGB(0, 255, 0)}));
    }
    pPoly->m_nContentWord = -1;
    {
        ViewBitmap bmp(m_pView);
        pPoly->Draw(bmp.Dc());
        const std::set<COLORREF> colors = bmp.ColorsAround(CPoint(0, 0), 12);
        EXPECT_EQ(colors, (std::set<COLORREF>{kFill, kWhite}));
    }
}

// A five-pointed star drawn in one stroke: its middle crosses the outline
// twice and lies outside by the alternate rule.
std::vector<CPoint> Pentagram()
{
    std::vector<CPoint> points;
    for (int i = 0; i < 5; ++i)
        points.push_back(Turned(0, 200, i * 144.0));
    return points;
}

TEST_F(DrawPolyViewTest, AStarDrawnInOneStrokeLeavesItsMiddleAndSoDoesItsHitTest)
{
    for (int nZoom : {100, 37}) {
        SetZoom(nZoom);
        CDrawPoly* pPoly = Place(Pentagram());
        pPoly->m_bOutline = FALSE;
        pPoly->m_bFill = TRUE;
        pPoly->m_logbrush = LOGBRUSH{BS_SOLID, kFill, 0};
        ViewBitmap bmp(m_pView);
        pPoly->Draw(bmp.Dc());
        const CPoint arm = Turned(0, 120, 0);
        EXPECT_EQ(bmp.AtLogical(arm), kFill) << nZoom;
        EXPECT_EQ(bmp.AtLogical(CPoint(0, 0)), kWhite) << nZoom;
        EXPECT_TRUE(pPoly->Intersects(CRect(arm.x - 2, arm.y + 2, arm.x + 2, arm.y - 2)));
        EXPECT_FALSE(pPoly->Intersects(CRect(-10, 10, 10, -10)));
        // Given either way up.
        EXPECT_FALSE(pPoly->Intersects(CRect(-10, -10, 10, 10)));
        EXPECT_TRUE(pPoly->Intersects(CRect(-300, 300, 300, -300)));
        // Between two arms, inside the bounding box.
        const CPoint notch = Turned(0, 150, 36);
        EXPECT_FALSE(pPoly->Intersects(CRect(notch.x - 3, notch.y + 3, notch.x + 3, notch.y - 3)));
        EXPECT_EQ(bmp.AtLogical(notch), kWhite);
        m_pView->Remove(pPoly);
        delete pPoly;
    }
}

TEST_F(DrawPolyViewTest, FewerThanTwoPointsDrawNothingAndTestTheirRectangle)
{
    CDrawPoly* pPoly = Place({CPoint(10, 10)});
    pPoly->m_bFill = TRUE;
    pPoly->m_logpen.lopnWidth.x = 10;
    ViewBitmap bmp(m_pView);
    pPoly->Draw(bmp.Dc());
    EXPECT_EQ(bmp.ColorsAround(CPoint(10, 10), 8), std::set<COLORREF>{kWhite});
    EXPECT_FALSE(pPoly->Intersects(CRect(0, 20, 20, 0)));
    // Stock pens and brushes go back: what the DC drew with before stays.
    CPen pen(PS_SOLID, 0, kPen);
    CPen* pOld = bmp.Dc()->SelectObject(&pen);
    CDrawPoly* pTwo = Place({CPoint(-50, 50), CPoint(50, 50)});
    pTwo->Draw(bmp.Dc());
    EXPECT_EQ(bmp.Dc()->GetCurrentPen()->GetSafeHandle(), pen.GetSafeHandle());
    bmp.Dc()->SelectObject(pOld);
}

TEST_F(DrawPolyViewTest, HitTestsTakeTheBoxUnselectedAndTheVerticesSelected)
{
    for (int nZoom : {100, 37}) {
        SetZoom(nZoom);
        CDrawPoly* pPoly = Place({CPoint(-100, -100), CPoint(100, -100), CPoint(0, 100)});
        EXPECT_EQ(pPoly->m_position, CRect(-100, 100, 100, -100));
        // Unselected, the bounding box: left and top in, right and bottom out.
        EXPECT_EQ(pPoly->HitTest(CPoint(-100, 0), m_pView, FALSE), 1);
        EXPECT_EQ(pPoly->HitTest(CPoint(0, 100), m_pView, FALSE), 1);
        EXPECT_EQ(pPoly->HitTest(CPoint(100, 0), m_pView, FALSE), 0);
        EXPECT_EQ(pPoly->HitTest(CPoint(0, -100), m_pView, FALSE), 0);
        // Selected, the square about each vertex in placing order.
        EXPECT_EQ(pPoly->HitTest(CPoint(-100, -100), m_pView, TRUE), 1);
        EXPECT_EQ(pPoly->HitTest(CPoint(102, -98), m_pView, TRUE), 2);
        EXPECT_EQ(pPoly->HitTest(CPoint(0, 100), m_pView, TRUE), 3);
        EXPECT_EQ(pPoly->HitTest(CPoint(0, 0), m_pView, TRUE), 0);
        // No rotation handle beyond the right side.
        EXPECT_EQ(pPoly->HitTest(CPoint(150, 0), m_pView, TRUE), 0);
        for (WORD wFlag : {WORD(OBJ_FLAG_LOCKED), WORD(OBJ_FLAG_UNSELECTABLE)}) {
            pPoly->m_wFlags |= wFlag;
            EXPECT_EQ(pPoly->HitTest(CPoint(0, 0), m_pView, FALSE), 0);
            EXPECT_EQ(pPoly->HitTest(CPoint(0, 100), m_pView, TRUE), 0);
            pPoly->m_wFlags &= ~wFlag;
        }
        m_pView->Remove(pPoly);
        delete pPoly;
    }
}

TEST_F(DrawPolyViewTest, TheTrackerMarksEveryVertexOfALongPolygon)
{
    std::vector<CPoint> points;
    for (int i = 0; i < 12; ++i)
        points.push_back(Turned(0, 150, i * 30.0));
    CDrawPoly* pPoly = Place(points);
    for (TrackerState state : {TrackerSelected, TrackerNoRotation}) {
        ViewBitmap bmp(m_pView);
        pPoly->DrawTracker(bmp.Dc(), state);
        for (const CPoint& pt : points) {
            const CPoint d = bmp.ToDevice(pt);
            // Each marker has a black frame round a white middle.
            EXPECT_EQ(bmp.At(CPoint(d.x - 3, d.y - 3)), RGB(0, 0, 0)) << pt.x << "," << pt.y;
            EXPECT_EQ(bmp.At(d), kWhite) << pt.x << "," << pt.y;
        }
    }
}

TEST_F(DrawPolyViewTest, ChangesInvalidateThroughTheViewAndModifyTheDocument)
{
    CDrawPoly* pPoly = Place({CPoint(0, 0), CPoint(100, 0), CPoint(50, 80)});
    EXPECT_EQ(pPoly->m_pDocument, m_pDoc);
    m_pDoc->SetModifiedFlag(FALSE);
    pPoly->MoveHandleTo(7, CPoint(1, 1), m_pView);
    pPoly->MoveHandleTo(2, CPoint(100, 0), m_pView);
    pPoly->AddPoint(CPoint(50, 80), m_pView);
    pPoly->MoveTo(pPoly->m_position, m_pView);
    EXPECT_FALSE(m_pDoc->IsModified());

    pPoly->AddPoint(CPoint(10, 10), m_pView);
    EXPECT_TRUE(m_pDoc->IsModified());
    m_pDoc->SetModifiedFlag(FALSE);
    pPoly->MoveHandleTo(2, CPoint(120, 0), m_pView);
    EXPECT_TRUE(m_pDoc->IsModified());
    m_pDoc->SetModifiedFlag(FALSE);
    CRect moved = pPoly->m_position;
    moved.OffsetRect(5, -3);
    pPoly->MoveTo(moved, nullptr);
    EXPECT_TRUE(m_pDoc->IsModified());
    EXPECT_EQ(pPoly->GetHandle(1), CPoint(5, -3));

    // A clone joins the view.
    CDrawObj* pClone = pPoly->Clone(m_pDoc, m_pView);
    ASSERT_NE(pClone, nullptr);
    EXPECT_NE(m_pView->GetObjects().Find(pClone), nullptr);
    EXPECT_EQ(static_cast<CDrawPoly*>(pClone)->GetPointCount(), 4);
}

} // namespace

TEST_F(DrawPolyViewTest, OrientationIsTheFramesNotTheOrderOfTheVertices)
{
    // Vertex 8 lies right of vertex 4 and vertex 2 above vertex 6: read as
    // handles, the polygon would look mirrored both ways.
    std::vector<CPoint> points;
    for (int i = 0; i < 9; ++i)
        points.push_back(CPoint(200 - 20 * (i % 5 == 3 ? 9 : i), (i % 2 == 0) ? 150 : -150 + 10 * i));
    CDrawPoly* pPoly = Place(points);
    EXPECT_TRUE(pPoly->IsOrientedX());
    EXPECT_TRUE(pPoly->IsOrientedY());
    EXPECT_FALSE(pPoly->IsMirroredX());
    EXPECT_FALSE(pPoly->IsMirroredY());
    // The rotation handle sits right of the frame by the frame's offset.
    const CRect frame = pPoly->m_rectUnrotated;
    const CPoint rotate = pPoly->CDrawObj::GetHandle(9, TRUE);
    EXPECT_GT(rotate.x, frame.right);
}
