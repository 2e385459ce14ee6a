// The page geometry of a surface view: the fit zoom, the mapping at each
// zoom, the scroll extent, the guidelines and the work area.
#include "tests/surface/SurfaceTestSupport.h"
#include "tests/surface/SurfaceViewSupport.h"

#include "platform/framework/Afx.h"

#include <climits>

namespace surfacetest {
namespace {

class SurfaceGeometryTest : public SurfaceTest {
protected:
    void SetUp() override
    {
        SurfaceTest::SetUp();
        m_pDoc = NewDesign();
        ASSERT_NE(m_pDoc, nullptr);
        m_pView = FirstView(m_pDoc);
        ASSERT_NE(m_pView, nullptr);
    }

    CDrawObj* AddObject(const CRect& rect)
    {
        auto* pObj = new CDrawObj(rect);
        m_pView->Add(pObj);
        return pObj;
    }

    CDrawDoc* m_pDoc = nullptr;
    CSurface* m_pView = nullptr;
};

TEST_F(SurfaceGeometryTest, FitZoomAtNinetySixDpiStaysWithinOneToFiveHundred)
{
    if (ScreenPpi(LOGPIXELSX) != 96 || ScreenPpi(LOGPIXELSY) != 96)
        GTEST_SKIP() << "the table is for a 96-dpi screen";
    // Fitting leaves no scroll bars, so the client area keeps its size.
    ASSERT_EQ(m_pDoc->GetZoom(), ZOOM_FIT);
    m_pView->SetPageSize(850, 1100);
    CRect client;
    m_pView->GetClientRect(&client);
    SetClientSize(m_pView, 800, 600);
    m_pView->GetClientRect(&client);
    ASSERT_EQ(client.Size(), CSize(800, 600));
    // 600 px are 625 hundredths; 625 x 100 / (1100 + 8) = 56.
    EXPECT_EQ(m_pView->CalcFitZoom(), 56);
    EXPECT_EQ(m_pView->GetZoom(), 56);

    // A client area of nothing still gives 1, a tiny page on a large one 500.
    m_pView->GetParentFrame()->ShowWindow(SW_MINIMIZE);
    Pump();
    m_pView->GetClientRect(&client);
    if (client.Width() == 0 || client.Height() == 0) {
        EXPECT_EQ(m_pView->CalcFitZoom(), 1);
    }
    m_pView->GetParentFrame()->ShowWindow(SW_RESTORE);
    Pump();
    m_pView->SetPageSize(1, 1);
    SetClientSize(m_pView, 900, 900);
    EXPECT_EQ(m_pView->CalcFitZoom(), 500);
    EXPECT_EQ(m_pView->GetZoom(), 500);
}

TEST_F(SurfaceGeometryTest, LogicalLengthsScaleWithTheZoomAndConversionsRoundTrip)
{
    SetClientSize(m_pView, 700, 500);
    const int ppi = ScreenPpi(LOGPIXELSX);
    m_pDoc->SetZoom(75);
    // 100 units at 75 %: 100 x ppi x 75 / 10000 pixels, 72 at 96 dpi.
    EXPECT_EQ(ToClient(m_pView, 100, 0).x - ToClient(m_pView, 0, 0).x, 100 * ppi * 75 / 10000);

    for (int nZoom : {25, 50, 75, 100, 150, 200, 300, 500}) {
        SCOPED_TRACE(nZoom);
        m_pDoc->SetZoom(nZoom);
        ASSERT_EQ(m_pView->GetZoom(), nZoom);
        // One pixel is at most this many units, so a logical point comes
        // back within it.
        const int nUnit = (10000 + ppi * nZoom - 1) / (ppi * nZoom);
        for (CPoint pt : {CPoint(0, 0), CPoint(-425, 550), CPoint(123, -457), CPoint(399, 1)}) {
            CPoint back = pt;
            m_pView->LPtoDPPoint(&back);
            m_pView->DPtoLPPoint(&back);
            EXPECT_LE(std::abs(back.x - pt.x), nUnit) << pt.x << "," << pt.y;
            EXPECT_LE(std::abs(back.y - pt.y), nUnit) << pt.x << "," << pt.y;
        }
        // A device rectangle comes back exactly at 100 % and above, where
        // a unit is at least a pixel.
        CRect rect(10, 20, 110, 70);
        CRect logical = rect;
        m_pView->DPtoLPRect(&logical);
        m_pView->LPtoDPRect(&logical);
        if (nZoom <= 100) {
            EXPECT_EQ(logical, rect);
        }
    }
}

TEST_F(SurfaceGeometryTest, PageRectHalvesOddSizesAndSitsInTheMiddleOfALargerClient)
{
    m_pDoc->SetZoom(50);
    SetClientSize(m_pView, 900, 800);
    m_pView->SetPageSize(851, 1101);
    EXPECT_EQ(m_pView->GetPageRect(), CRect(-425, 550, 426, -551));
    CRect page = m_pView->GetPageRect();
    m_pView->LPtoDPRect(&page);
    CRect client;
    m_pView->GetClientRect(&client);
    // The same room on both sides, to a pixel of rounding.
    EXPECT_NEAR(page.left, client.right - page.right, 2);
    EXPECT_NEAR(page.top, client.bottom - page.bottom, 2);
    EXPECT_GT(page.left, 0);
    EXPECT_GT(page.top, 0);
    // No scrolling while everything fits.
    EXPECT_EQ(m_pView->GetTotalSize(), client.Size());

    // The page on the screen is the page in client coordinates moved by
    // the client's place on the screen.
    CRect screen = m_pView->GetPageScreenRect();
    m_pView->ScreenToClient(&screen);
    EXPECT_EQ(screen, page);
}

TEST_F(SurfaceGeometryTest, ObjectsBeyondThePageGrowTheExtentByTheirOverhang)
{
    m_pDoc->SetZoom(100);
    SetClientSize(m_pView, 400, 300);
    m_pView->SetPageSize(850, 1100);
    const CSize base(858, 1108); // the page with its rim
    CSize total;
    CRect extent;
    CPoint shift;
    m_pView->ComputeScrollExtent(&total, &extent, &shift);
    EXPECT_EQ(total, base);
    EXPECT_EQ(shift, CPoint(0, 0));
    EXPECT_EQ(extent, CRect(-429, -554, 429, 554));

    // 300 units past the half width on the left, 200 above the half
    // height, 100 below.
    CDrawObj* pLeft = AddObject(CRect(-429 - 300, 100, -400, 0));
    CDrawObj* pUp = AddObject(CRect(0, 554 + 200, 10, 500));
    CDrawObj* pDown = AddObject(CRect(0, -500, 10, -554 - 100));
    m_pView->ComputeScrollExtent(&total, &extent, &shift);
    EXPECT_EQ(shift, CPoint(300, 200));
    EXPECT_EQ(total, CSize(858 + 300, 1108 + 200 + 100));
    EXPECT_EQ(extent.left, -729);
    EXPECT_EQ(extent.bottom, 754);

    // Adding marked the extent; the check applies it to the scroll sizes
    // and the page moves right and down by the shift.
    m_pView->m_flags |= CSurface::SurfaceRecomputeExtent;
    m_pView->InvalidateIfExtentChanged();
    const int ppi = ScreenPpi(LOGPIXELSX);
    EXPECT_NEAR(m_pView->GetTotalSize().cx, 1158 * ppi / 100, 1);
    const CPoint leftEdge = ToClient(m_pView, -729, 0);
    EXPECT_NEAR(leftEdge.x + m_pView->GetScrollPosition().x, 0, 1);

    // Taking the objects away brings the extent back.
    for (CDrawObj* pObj : {pLeft, pUp, pDown}) {
        m_pView->Remove(pObj);
        delete pObj;
    }
    m_pView->ComputeScrollExtent(&total, &extent, &shift);
    EXPECT_EQ(total, base);
    EXPECT_EQ(m_pView->m_rectExtent, extent);

    // A client larger than the page: the overhang counts from half the
    // client's width.
    SetClientSize(m_pView, 1000, 300);
    CRect client;
    m_pView->GetClientRect(&client);
    m_pView->DPtoLPRect(&client);
    const int hw = std::abs(client.Width()) / 2;
    CDrawObj* pFar = AddObject(CRect(-hw - 50, 10, 0, 0));
    m_pView->ComputeScrollExtent(&total, &extent, &shift);
    EXPECT_EQ(shift.x, 50);
    EXPECT_EQ(total.cx, 2 * hw + 50);
    (void)pFar;
}

TEST_F(SurfaceGeometryTest, APaintedViewKeepsThePageStillWhenTheExtentGrows)
{
    m_pDoc->SetZoom(100);
    m_pView->SetPageSize(850, 1100);
    SetClientSize(m_pView, 400, 300);
    m_pView->UpdateWindow();
    ASSERT_NE(m_pView->m_flags & CSurface::SurfacePainted, 0);
    const CPoint before = ToClient(m_pView, -425, 550);
    // An object 200 units left of the page and 100 above it.
    AddObject(CRect(-429 - 200, 554 + 100, -429 - 100, 554 + 50));
    EXPECT_EQ(m_pView->m_ptExtentShift, CPoint(200, 100));
    EXPECT_EQ(ToClient(m_pView, -425, 550), before);
    // The new room is there to scroll to.
    m_pView->ScrollToPosition(CPoint(0, 0));
    const CPoint objectCorner = ToClient(m_pView, -629, 654);
    EXPECT_NEAR(objectCorner.x, 0, 1);
    EXPECT_NEAR(objectCorner.y, 0, 1);
}

TEST_F(SurfaceGeometryTest, CheckObjectExtentMarksOnlyWhatChangesTheExtent)
{
    m_pDoc->SetZoom(100);
    SetClientSize(m_pView, 400, 300);
    m_pView->UpdateScrollSizes();
    const CSize before = m_pView->GetTotalSize();
    ASSERT_EQ(m_pView->m_flags & CSurface::SurfaceRecomputeExtent, 0);
    AddObject(CRect(-10, 10, 10, -10));
    EXPECT_EQ(m_pView->m_flags & CSurface::SurfaceRecomputeExtent, 0);
    EXPECT_EQ(m_pView->GetTotalSize(), before);

    // A vertical segment beyond the extent has no area but still counts.
    CDrawObj line(CRect(900, 10, 900, -10));
    m_pView->CheckObjectExtent(&line);
    EXPECT_NE(m_pView->m_flags & CSurface::SurfaceRecomputeExtent, 0);
    m_pView->UpdateScrollSizes();
    EXPECT_EQ(m_pView->m_flags & CSurface::SurfaceRecomputeExtent, 0);
    CDrawObj inside(CRect(100, 10, 100, -10));
    m_pView->CheckObjectExtent(&inside);
    EXPECT_EQ(m_pView->m_flags & CSurface::SurfaceRecomputeExtent, 0);

    // An added object beyond the page grows the scroll range at once and
    // leaves no recomputation pending (the flag is saved with the design).
    AddObject(CRect(500, 10, 700, -10));
    EXPECT_EQ(m_pView->m_flags & CSurface::SurfaceRecomputeExtent, 0);
    EXPECT_GT(m_pView->GetTotalSize().cx, before.cx);
}

TEST_F(SurfaceGeometryTest, GuidelinesStaySortedAndUniqueAndGoByTolerance)
{
    struct Step {
        BOOL bAdd;
        DWORD dwPosition;
        int nTolerance;
        std::vector<DWORD> expected;
    };
    const Step steps[] = {
        {TRUE, 300, 0, {300}},
        {TRUE, 100, 0, {100, 300}},
        {TRUE, 200, 0, {100, 200, 300}},
        {TRUE, 200, 0, {100, 200, 300}}, // no repeats
        {TRUE, 400, 0, {100, 200, 300, 400}},
        {FALSE, 203, 2, {100, 200, 300, 400}}, // too far
        {FALSE, 203, 3, {100, 300, 400}},
        {TRUE, 106, 0, {100, 106, 300, 400}},
        // 103 is 3 from both: the first in array order goes.
        {FALSE, 103, 3, {106, 300, 400}},
        // The nearest goes before a nearer-in-order one: 302 is 2 from 300
        // and 1 from 303.
        {TRUE, 303, 0, {106, 300, 303, 400}},
        {FALSE, 302, 3, {106, 300, 400}},
    };
    for (BOOL bVertical : {FALSE, TRUE}) {
        for (const Step& step : steps) {
            if (step.bAdd)
                m_pView->AddGuideline(step.dwPosition, bVertical);
            else
                m_pView->RemoveGuideline(step.dwPosition, bVertical, step.nTolerance);
            const CDWordArray& array = m_pView->m_guidelines[bVertical ? 1 : 0];
            std::vector<DWORD> actual(array.GetData(), array.GetData() + array.GetSize());
            EXPECT_EQ(actual, step.expected) << (step.bAdd ? "add " : "remove ") << step.dwPosition;
        }
    }
    // Each change marks the design modified.
    m_pDoc->SetModifiedFlag(FALSE);
    m_pView->RemoveGuideline(5000, TRUE, 0);
    EXPECT_TRUE(m_pDoc->IsModified());
}

TEST_F(SurfaceGeometryTest, SnappingFindsTheNearestGuidelineFromThePageCorner)
{
    m_pView->SetPageSize(850, 1100);
    // Without guidelines nothing moves.
    EXPECT_EQ(m_pView->SnapToGuidelines(-100, 50, 100, -50), CSize(0, 0));

    // Positions are thousandths of an inch from the upper left corner: x =
    // position / 10 - 425, y = 550 - position / 10.
    m_pView->AddGuideline(4250, TRUE);  // x = 0
    m_pView->AddGuideline(6250, TRUE);  // x = 200
    m_pView->AddGuideline(5500, FALSE); // y = 0
    const struct {
        CRect rect;
        CSize expected;
    } cases[] = {
        {CRect(-5, 30, 40, -7), CSize(5, 7)},      // the left edge and the lower edge are nearest
        {CRect(190, 3, 260, -90), CSize(10, -3)},  // right of 0: the second line is nearer to x1
        {CRect(-20, 20, 195, -20), CSize(5, -20)}, // x2 is 5 from 200; y: 20 above and below, the first wins
        {CRect(-3, 40, 3, 10), CSize(3, -10)},     // x1 and x2 both 3 from 0: x1 first
    };
    for (const auto& c : cases) {
        EXPECT_EQ(m_pView->SnapToGuidelines(c.rect.left, c.rect.top, c.rect.right, c.rect.bottom), c.expected)
            << c.rect.left << "," << c.rect.top << "," << c.rect.right << "," << c.rect.bottom;
    }
    // A direction whose guidelines are all farther than 32767 answers 32767.
    m_pView->m_guidelines[0].RemoveAll();
    m_pView->AddGuideline(400000, FALSE); // y = -39450
    EXPECT_EQ(m_pView->SnapToGuidelines(0, 0, 0, 0).cy, 32767);
}

TEST_F(SurfaceGeometryTest, FitInWindowToggledTwiceReturnsToTheZoomBefore)
{
    SetClientSize(m_pView, 600, 500);
    // A new design is fitted from the start: the first toggle goes to 100.
    ASSERT_EQ(m_pDoc->GetZoom(), ZOOM_FIT);
    m_pMain->SendMessage(WM_COMMAND, ID_VIEW_ZOOM_FIT, 0);
    EXPECT_EQ(m_pDoc->GetZoom(), 100);
    EXPECT_EQ(m_pView->GetZoom(), 100);

    m_pMain->SendMessage(WM_COMMAND, ID_VIEW_ZOOM_75, 0);
    m_pMain->SendMessage(WM_COMMAND, ID_VIEW_ZOOM_FIT, 0);
    EXPECT_EQ(m_pDoc->GetZoom(), ZOOM_FIT);
    EXPECT_EQ(m_pView->GetZoom(), m_pView->CalcFitZoom());
    m_pMain->SendMessage(WM_COMMAND, ID_VIEW_ZOOM_FIT, 0);
    EXPECT_EQ(m_pDoc->GetZoom(), 75);
    EXPECT_EQ(m_pView->GetZoom(), 75);

    // The menu item is checked only while fitting; a step's item only at
    // its zoom and not while fitting.
    struct Probe : CCmdUI {
        int nCheck = -1;
        void Enable(BOOL) override {}
        void SetCheck(int n) override { nCheck = n; }
    };
    Probe fit;
    fit.m_nID = ID_VIEW_ZOOM_FIT;
    fit.DoUpdate(m_pView, FALSE);
    EXPECT_EQ(fit.nCheck, 0);
    Probe step;
    step.m_nID = ID_VIEW_ZOOM_75;
    step.DoUpdate(m_pView, FALSE);
    EXPECT_EQ(step.nCheck, 1);
}

TEST_F(SurfaceGeometryTest, WorkAreaIsThePageInsideTheMarginsOfEachSet)
{
    m_pView->SetPageSize(850, 1100);
    m_pDoc->m_rectMargins = CRect(25, 30, 35, 40);
    m_pDoc->m_rectSavedMargins = CRect(0, 0, 0, 0);
    CRect area;
    m_pView->GetWorkArea(&area, 0);
    // Left and top one unit further in than right and bottom.
    EXPECT_EQ(area, CRect(-425 + 25 + 1, 550 - 30 - 1, 425 - 35, -550 + 40));
    m_pView->GetWorkArea(&area, 1);
    EXPECT_EQ(area, CRect(-424, 549, 425, -550));
}

TEST_F(SurfaceGeometryTest, RescalingMapsObjectsIntoTheNewWorkArea)
{
    m_pView->SetPageSize(850, 1100);
    m_pDoc->m_rectMargins = CRect(0, 0, 0, 0);
    CRect first;
    m_pView->GetWorkArea(&first, 0); // (-424, 549, 425, -550)
    CDrawObj* pCentre = AddObject(CRect(-100, 200, 100, -200));
    CDrawObj* pRight = AddObject(CRect(300, 100, 400, 0));
    CDrawObj* pLocked = AddObject(CRect(-400, -300, -300, -400));
    pLocked->m_wFlags |= OBJ_FLAG_LOCKED;

    // The first call only records the work area.
    m_pView->m_workRect.SetRectEmpty();
    m_pView->RescaleObjectsToWorkArea();
    EXPECT_EQ(m_pView->m_workRect, first);
    EXPECT_EQ(pCentre->m_position, CRect(-100, 200, 100, -200));

    // Wider margins on the right than on the left: every object stays in
    // the new area, each edge scaled with the area's edge on its side.
    m_pDoc->m_rectMargins = CRect(0, 0, 225, 0);
    CRect second;
    m_pView->GetWorkArea(&second, 0); // right edge 200
    m_pView->RescaleObjectsToWorkArea();
    EXPECT_EQ(m_pView->m_workRect, second);
    EXPECT_EQ(pCentre->m_position, CRect(-100, 200, 200 * 100 / 425, -200));
    EXPECT_EQ(pRight->m_position, CRect(300 * 200 / 425, 100, 400 * 200 / 425, 0));
    EXPECT_LE(pRight->m_position.right, second.right);
    // The locked object was moved and is locked again.
    EXPECT_EQ(pLocked->m_position, CRect(-400, -300, -300, -400));
    EXPECT_NE(pLocked->m_wFlags & OBJ_FLAG_LOCKED, 0);
    // Equal areas change nothing.
    const CRect before = pRight->m_position;
    m_pView->RescaleObjectsToWorkArea();
    EXPECT_EQ(pRight->m_position, before);
}

TEST_F(SurfaceGeometryTest, RescalingIntoAGivenRectangleKeepsRelativePlacesAndProportions)
{
    m_pView->SetPageSize(850, 1100);
    m_pDoc->m_rectMargins = CRect(0, 0, 0, 0);
    CRect area;
    m_pView->GetWorkArea(&area, 0); // (-424, 549, 425, -550): 849 x 1099
    // The upper left quarter of the area, oriented y down like an object
    // drawn from its lower corner.
    CDrawObj* pObj = AddObject(CRect(area.left, area.top, area.left + 849 / 2, area.top - 1099 / 2));
    CDrawObj* pSquare = AddObject(CRect(0, 400, 400, 200));
    pSquare->m_wFlags |= OBJ_FLAG_NATURAL_SIZE; // 100 x 100 without content
    const CRect newArea(-200, 300, 200, -300);
    const CRect savedWork = m_pView->m_workRect;
    m_pView->RescaleObjectsToWorkArea(&newArea);
    EXPECT_EQ(pObj->m_position.left, -200);
    EXPECT_EQ(pObj->m_position.top, 300);
    EXPECT_NEAR(pObj->m_position.right, 0, 1);
    EXPECT_NEAR(pObj->m_position.bottom, 0, 1);
    // Kept proportions: the natural size is square, so the mapped
    // rectangle (wider than high) gives up width.
    const CRect square = pSquare->m_position;
    EXPECT_EQ(square.Width(), square.top - square.bottom);
    EXPECT_NE(pSquare->m_wFlags & OBJ_FLAG_NATURAL_SIZE, 0);
    EXPECT_EQ(pSquare->m_wFlags & (OBJ_FLAG_FREE_PROPORTIONS | OBJ_FLAG_CROP_MOVE), 0);
    // Given a rectangle, the view's own work rectangle stays.
    EXPECT_EQ(m_pView->m_workRect, savedWork);

    // The suggested limit clamps the area from its upper left corner.
    CDrawObj* pWide = AddObject(CRect(area.left, area.top, area.right, area.bottom));
    m_pView->SetWorkAreaLimit(400, 500, TRUE);
    EXPECT_EQ(m_pView->m_maxWorkSize, CSize(400, 500));
    EXPECT_EQ(pWide->m_position.left, area.left);
    EXPECT_EQ(pWide->m_position.top, area.top);
    EXPECT_NEAR(pWide->m_position.right, area.left + 400, 1);
    EXPECT_NEAR(pWide->m_position.bottom, area.top - 500, 1);
}

TEST_F(SurfaceGeometryTest, BoundsOrderingAndTheEmptyBackground)
{
    m_pDoc->SetZoom(50); // a new zoom measures the page again
    m_pView->SetPageSize(850, 1100);
    CDrawObj* pA = AddObject(CRect(-100, 100, 0, 0));
    CDrawObj* pB = AddObject(CRect(50, 300, 150, 200)); // higher up
    CDrawObj* pC = AddObject(CRect(-300, 100, -200, 0)); // same height as A, further left
    CDrawObj* pLine = AddObject(CRect(400, -400, 400, -500));
    CObList list;
    for (CDrawObj* p : {pA, pB, pC, pLine})
        list.AddTail(p);
    // The union keeps points and segments; the larger y is the top.
    EXPECT_EQ(m_pView->GetObjectsBounds(&list), CRect(-300, 300, 400, -500));
    EXPECT_EQ(m_pView->GetObjectsBounds(), CRect(0, 0, 0, 0));

    pLine->m_wFlags |= OBJ_FLAG_UNSELECTABLE;
    CObList sorted;
    m_pView->SortObjectsByPosition(list, sorted);
    ASSERT_EQ(sorted.GetCount(), 3);
    POSITION pos = sorted.GetHeadPosition();
    EXPECT_EQ(sorted.GetNext(pos), pB);
    EXPECT_EQ(sorted.GetNext(pos), pC);
    EXPECT_EQ(sorted.GetNext(pos), pA);

    // Over empty background unless an earlier drawn object overlaps; guides
    // and tile-hidden objects do not count.
    CDrawObj* pOver = AddObject(CRect(-50, 50, 50, -50));
    EXPECT_FALSE(m_pView->IsOverEmptyBackground(pOver));
    pA->m_wFlags |= OBJ_FLAG_GUIDE;
    EXPECT_TRUE(m_pView->IsOverEmptyBackground(pOver));
    EXPECT_TRUE(m_pView->IsOverEmptyBackground(pA));
    EXPECT_TRUE(m_pView->IsOverEmptyBackground(nullptr));
    CDrawObj loose(CRect(0, 10, 10, 0));
    EXPECT_TRUE(m_pView->IsOverEmptyBackground(&loose));

    // The default rectangle is the middle half of the page.
    CRect def;
    m_pView->GetDefaultRect(&def, FALSE);
    EXPECT_EQ(def, CRect(-425 + 212, 550 - 275, 425 - 212, -550 + 275));
    CRect swapped;
    m_pView->GetDefaultRect(&swapped, TRUE);
    EXPECT_EQ(swapped, CRect(def.right, def.bottom, def.left, def.top));

    EXPECT_EQ(OrientRectLike(CRect(0, 0, 10, 10), CRect(5, 5, 0, 0)), CRect(10, 10, 0, 0));
    EXPECT_EQ(OrientRectLike(CRect(0, 10, 10, 0), CRect(0, 5, 5, 0)), CRect(0, 10, 10, 0));
}

TEST_F(SurfaceGeometryTest, ObjectsAtTheEndsOfTheRangeKeepTheArithmeticBounded)
{
    // Rectangles as a damaged file may give them.
    m_pDoc->SetZoom(500);
    SetClientSize(m_pView, 300, 200);
    constexpr int kFar = 1000000000;
    CDrawObj* pHuge = AddObject(CRect(-kFar, kFar, kFar, -kFar));
    CDrawObj* pFar = AddObject(CRect(INT_MAX - 10, 10, INT_MAX, 0));
    CSize total;
    CRect extent;
    CPoint shift;
    m_pView->ComputeScrollExtent(&total, &extent, &shift);
    EXPECT_GT(total.cx, 0);
    EXPECT_GT(total.cy, 0);
    // At most 1000 inches beyond the page (or the client area) each way.
    EXPECT_LE(total.cx, m_pView->GetPageSize().cx + 8 + 2 * 100000);
    EXPECT_LE(shift.x, 100000);
    EXPECT_LE(shift.y, 100000);
    m_pView->UpdateScrollSizes();
    m_pView->InvalidateObjectRect(pHuge);
    m_pView->InvalidateObjectRect(pFar);
    m_pDoc->m_rectMargins = CRect(0, 0, 0, 0);
    m_pView->m_workRect = CRect(-10, 10, 10, -10);
    m_pView->RescaleObjectsToWorkArea();
    CRect area;
    m_pView->GetWorkArea(&area, 0);
    EXPECT_EQ(m_pView->m_workRect, CDrawObj::NormalizeUp(area));
    Pump();
}

} // namespace
} // namespace surfacetest
