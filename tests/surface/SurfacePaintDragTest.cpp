#include "tests/surface/SurfacePaintTestSupport.h"

#include "app/PrefData.h"
#include "model/DrawPoly.h"
#include "model/DrawRect.h"

#include <vector>

namespace surfacetest {
namespace {

// A move repaints only the old and new places of the moved objects: the
// update region is made of many rectangles, and the paint draws into it
// alone. What it leaves on the screen must be what a full repaint draws.
class SurfacePaintDragTest : public SurfacePaintTest {
protected:
    void SetUp() override
    {
        SurfacePaintTest::SetUp();
        m_savedFlags = thePrefs.Flags;
        // The preferences a new user has: objects move filled and are
        // invalidated with their margins, no deferred full redraw.
        thePrefs.Flags = CPrefData::kDefaultFlags;
    }
    void TearDown() override
    {
        thePrefs.Flags = m_savedFlags;
        SurfacePaintTest::TearDown();
    }

    // Filled shapes of every drawn kind, thin and wide outlines, spread
    // over the page and the workspace so that the moved ones overlap
    // others partly.
    std::vector<CDrawObj*> AddObjects(CSurface* pView)
    {
        static constexpr int kKinds[] = {SHAPE_RECTANGLE, SHAPE_ELLIPSE, SHAPE_ROUND_RECTANGLE, SHAPE_STAR,
            SHAPE_REGULAR_POLYGON, SHAPE_LINE};
        std::vector<CDrawObj*> objects;
        CRect client;
        pView->GetClientRect(&client);
        int i = 0;
        for (int y = 40; y + 90 < client.bottom; y += 110) {
            for (int x = 30; x + 120 < client.right; x += 95, ++i) {
                CRect rect(x, y, x + 80 + (i % 3) * 20, y + 60 + (i % 4) * 15);
                pView->DPtoLPRect(&rect);
                auto* pShape = new CDrawRect(CDrawObj::NormalizeUp(rect), kKinds[i % 6]);
                pShape->m_nSides = 3 + i % 5;
                pShape->m_logpen.lopnStyle = i % 3 == 0 ? PS_INSIDEFRAME : PS_SOLID;
                pShape->m_logpen.lopnWidth.x = i % 2 == 0 ? 1 : 6;
                pShape->m_logpen.lopnColor = RGB(20 * (i % 12), 0, 255 - 15 * (i % 16));
                pShape->m_bOutline = TRUE;
                pShape->m_bFill = TRUE;
                pShape->m_logbrush.lbStyle = BS_SOLID;
                pShape->m_logbrush.lbColor = RGB(255 - 9 * (i % 28), 60 + 7 * (i % 20), 30 * (i % 8));
                pView->Add(pShape);
                objects.push_back(pShape);
            }
        }
        // A free polygon across several of them.
        const int nMidX = client.Width() / 2;
        const int nMidY = client.Height() / 2;
        std::vector<POINT> points{{nMidX - 150, nMidY - 40}, {nMidX + 40, nMidY - 130}, {nMidX + 170, nMidY + 20},
            {nMidX - 20, nMidY + 140}, {nMidX + 10, nMidY}};
        for (POINT& p : points)
            pView->DPtoLPPoint(reinterpret_cast<CPoint*>(&p));
        auto* pPoly = new CDrawPoly(CRect(points[0], points[0]));
        pPoly->SetPoints(points.data(), int(points.size()), int(points.size()));
        pPoly->m_logpen.lopnWidth.x = 3;
        pPoly->m_bFill = TRUE;
        pPoly->m_logbrush.lbStyle = BS_SOLID;
        pPoly->m_logbrush.lbColor = RGB(90, 200, 220);
        pView->Add(pPoly);
        objects.push_back(pPoly);
        return objects;
    }

    // The client pixels now, then after the whole view is painted again;
    // answers how many differ and where the first one is.
    static size_t StalePixels(CSurface* pView, CPoint* pFirst)
    {
        const std::vector<COLORREF> shown = ShownClient(pView);
        pView->Invalidate(FALSE);
        pView->UpdateWindow();
        const std::vector<COLORREF> repainted = ShownClient(pView);
        CRect client;
        pView->GetClientRect(&client);
        size_t nStale = 0;
        for (size_t i = 0; i < shown.size() && i < repainted.size(); ++i) {
            if (shown[i] != repainted[i] && nStale++ == 0)
                *pFirst = CPoint(int(i % size_t(client.Width())), int(i / size_t(client.Width())));
        }
        return nStale + (shown.size() != repainted.size() ? 1 : 0);
    }

    WORD m_savedFlags = 0;
};

CPoint CentreOnScreen(CSurface* pView, const CDrawObj* pObj)
{
    CRect rect = pObj->m_position;
    pView->LPtoDPRect(&rect);
    rect.NormalizeRect();
    return rect.CenterPoint();
}

// Every step of a drag of several selected objects, painted through the
// update region its invalidations leave, shows the pixels a full repaint
// shows: the objects overlapping the moved ones, their handles, the page
// edge and the workspace are all complete.
TEST_F(SurfacePaintDragTest, PartialRepaintsOfADragShowWhatAFullRepaintShows)
{
    CSurface* pView = NewHalfSizeView();
    pView->SetZoom(100);
    Pump();
    const std::vector<CDrawObj*> objects = AddObjects(pView);
    ASSERT_GT(objects.size(), 20u);
    // Every third shape and the polygon, so that the update region holds
    // several separate places.
    std::vector<CDrawObj*> dragged;
    for (size_t i = 0; i + 1 < objects.size(); i += 3) {
        if (dynamic_cast<CDrawRect*>(objects[i])->GetDrawnKind() == SHAPE_RECTANGLE)
            dragged.push_back(objects[i]);
    }
    ASSERT_GE(dragged.size(), 2u);
    dragged.push_back(objects.back());
    pView->SelectObjects(dragged, FALSE);
    PaintFocused(pView);
    Pump();

    CPoint at = CentreOnScreen(pView, dragged.front());
    // The press finds the rectangle on top where it is pressed.
    CPoint logical = at;
    pView->DPtoLPPoint(&logical);
    ASSERT_EQ(pView->HitTestObject(logical), dragged.front());
    pView->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    Pump();
    const CPoint steps[] = {CPoint(7, 3), CPoint(13, -9), CPoint(-4, 21), CPoint(31, 5)};
    for (const CPoint& step : steps) {
        at += step;
        pView->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        CRgn update;
        update.CreateRectRgn(0, 0, 0, 0);
        const int nKind = pView->GetUpdateRgn(&update, FALSE);
        pView->UpdateWindow();
        SCOPED_TRACE(testing::Message() << "after a move by " << step.x << ", " << step.y);
        // Only the moved objects' places were given to the paint, and they
        // make a region of many rectangles.
        EXPECT_EQ(nKind, COMPLEXREGION);
        CPoint first(-1, -1);
        EXPECT_EQ(StalePixels(pView, &first), 0u) << "first stale pixel at " << first.x << ", " << first.y;
    }
    pView->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    Pump();
    CPoint first(-1, -1);
    EXPECT_EQ(StalePixels(pView, &first), 0u) << "first stale pixel at " << first.x << ", " << first.y;
}

// A strip given to the view for repainting is painted to its last column
// at zooms where a logical unit is a fraction of a pixel, whatever the
// strip's width and place, and the labels centred on the work area's edges
// land where a whole paint puts them, though the strip's bitmap starts
// right of their middle.
TEST_F(SurfacePaintDragTest, RepaintsAStripAsTheWholePaintShowedItAtFractionalZooms)
{
    constexpr COLORREF kMarker = RGB(255, 0, 255);
    CSurface* pView = NewHalfSizeView();
    for (int nZoom : {37, 63, 81}) {
        pView->SetZoom(nZoom);
        PaintFocused(pView);
        Pump();
        // Scroll bars come and go with the zoom.
        CRect client;
        pView->GetClientRect(&client);
        const std::vector<COLORREF> whole = ShownClient(pView);
        int nLeft = 0;
        for (int nWidth = 1; nWidth <= 24; ++nWidth) {
            const int x = 40 + 23 * nWidth;
            const CRect strip(x, 0, x + nWidth, client.bottom);
            CDC* pDC = pView->GetDC();
            pDC->FillSolidRect(&strip, kMarker);
            pView->ReleaseDC(pDC);
            pView->InvalidateRect(&strip, FALSE);
            pView->UpdateWindow();
            for (int y = 0; y < strip.bottom; y += 7) {
                for (int px = strip.left; px < strip.right; ++px) {
                    const size_t i = size_t(y) * size_t(client.Width()) + size_t(px);
                    nLeft += ShownPixel(pView, CPoint(px, y)) != whole[i] ? 1 : 0;
                }
            }
        }
        EXPECT_EQ(nLeft, 0) << "at zoom " << nZoom;
    }
}

} // namespace
} // namespace surfacetest
