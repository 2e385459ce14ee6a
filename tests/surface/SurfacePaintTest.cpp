#include "tests/surface/SurfacePaintTestSupport.h"

#include "model/DrawPoly.h"
#include "model/DrawRect.h"
#include "tests/support/GoldenPicture.h"

namespace surfacetest {
namespace {

constexpr COLORREF kFill = RGB(200, 40, 40);
constexpr COLORREF kWhite = RGB(255, 255, 255);

CDrawRect* AddShape(CSurface* pView, const CRect& rect, int nShape = SHAPE_RECTANGLE, COLORREF crFill = kFill)
{
    auto* pShape = new CDrawRect(rect, nShape);
    pShape->m_logpen.lopnStyle = PS_SOLID;
    pShape->m_logpen.lopnColor = RGB(0, 0, 0);
    pShape->m_bFill = TRUE;
    pShape->m_logbrush.lbStyle = BS_SOLID;
    pShape->m_logbrush.lbColor = crFill;
    pView->Add(pShape);
    return pShape;
}

// The background shows outside the page; the page shadow only when the
// background differs from the paper, since on a plain background of the
// paper's colour the page is not filled at all.
TEST_F(SurfacePaintTest, ShowsBackgroundAroundThePageAndAShadowOnlyWhenItDiffersFromThePaper)
{
    CSurface* pView = NewHalfSizeView();
    const CRect page = pView->GetPageRect();
    const int nShift = pView->GetPageShadowOffset();
    PaintFocused(pView);

    EXPECT_EQ(ShownPixel(pView, CPoint(2, 2)), kBackground);
    EXPECT_EQ(ShownPixel(pView, ClientOf(pView, 0, 0)), kWhite);
    // Right of the page and below it, inside the shadow's band.
    const CPoint right = ClientOf(pView, page.right + nShift / 2, 0);
    const CPoint below = ClientOf(pView, 0, page.bottom - nShift / 2);
    EXPECT_EQ(ShownPixel(pView, right), CSurface::kShadowColor);
    EXPECT_EQ(ShownPixel(pView, below), CSurface::kShadowColor);
    // Left of the page and above it there is none.
    EXPECT_EQ(ShownPixel(pView, ClientOf(pView, page.left - nShift / 2, 0)), kBackground);
    EXPECT_EQ(ShownPixel(pView, ClientOf(pView, 0, page.top + nShift / 2)), kBackground);

    g_surfaceBackground.SetColor(kWhite);
    PaintFocused(pView);
    EXPECT_EQ(ShownPixel(pView, right), kWhite);
    EXPECT_EQ(ShownPixel(pView, below), kWhite);
}

TEST_F(SurfacePaintTest, PageShadowIsNineteenAtFullSizeAndThreeWhereItWouldVanish)
{
    CDrawDoc* pDoc = NewDesign();
    CSurface* pView = FirstView(pDoc);
    // A zoom change measures the printer again and may give the page its
    // size from the layout: the page is set after the zoom.
    auto offsetAt = [pView](WORD nZoom, int cx, int cy) {
        pView->SetZoom(nZoom);
        pView->SetPageSize(cx, cy);
        return pView->GetPageShadowOffset();
    };
    EXPECT_EQ(offsetAt(100, 850, 1100), 19);
    EXPECT_EQ(offsetAt(50, 850, 1100), 9);
    // 850 / 4 x 0.09 x 5 % is below one unit.
    EXPECT_EQ(offsetAt(5, 850, 1100), 3);
    EXPECT_EQ(offsetAt(100, 40, 40), 3);
}

// The grid is dotted lines at the spacing (tenths of a unit) from the page's
// left and top edges inside a solid page border; at a spacing of 333 the
// 25th line lies at 832 units, not at 25 x 33.
TEST_F(SurfacePaintTest, DrawsTheGridWithoutDriftInsideASolidBorder)
{
    CDrawDoc* pDoc = nullptr;
    CSurface* pView = NewHalfSizeView(&pDoc);
    pView->SetZoom(100);
    SetClientSize(pView, 1000, 1200);
    pDoc->m_wDocFlags |= 0x0400;
    pDoc->SetGridSpacing(333);
    ASSERT_EQ(pDoc->GetGridSpacing(), 333);
    PaintFocused(pView);

    const CRect page = pView->GetPageRect();
    const CPoint topLeft = ClientOf(pView, page.left, page.top);
    const CPoint bottomRight = ClientOf(pView, page.right, page.bottom);
    const int nLeft = topLeft.x;
    // The border: every pixel of the left side (apart from where a
    // horizontal grid line crosses, which is the same colour).
    EXPECT_EQ(CountInColumn(pView, nLeft, topLeft.y + 1, bottomRight.y - 1, CSurface::kGridColor),
        bottomRight.y - 1 - (topLeft.y + 1));
    // A grid line: dots and gaps.
    const int x25 = ClientOf(pView, page.left + 832, 0).x;
    const int nDots = CountInColumn(pView, x25, topLeft.y + 5, topLeft.y + 105, CSurface::kGridColor);
    EXPECT_GT(nDots, 20);
    EXPECT_LT(nDots, 80);
    const int xDrifted = ClientOf(pView, page.left + 25 * 33, 0).x;
    ASSERT_NE(xDrifted, x25);
    // Only where the dotted rows cross it.
    EXPECT_LT(CountInColumn(pView, xDrifted, topLeft.y + 5, topLeft.y + 105, CSurface::kGridColor), 10);

    // Without the grid flag only the border is drawn.
    pDoc->m_wDocFlags &= ~0x0400;
    PaintFocused(pView);
    EXPECT_EQ(CountInColumn(pView, x25, topLeft.y + 5, topLeft.y + 105, CSurface::kGridColor), 0);
    EXPECT_EQ(ShownPixel(pView, CPoint(nLeft, topLeft.y + 50)), CSurface::kGridColor);
}

// The printable area's sides in the margin colour with "Printer Margin" on
// its bottom side, and the suggested work area as a blue dotted frame with
// its label.
TEST_F(SurfacePaintTest, DrawsPrinterMarginAndTheBlueSuggestedWorkArea)
{
    CDrawDoc* pDoc = nullptr;
    CSurface* pView = NewHalfSizeView(&pDoc);
    pDoc->m_rectMargins = CRect(50, 50, 50, 50);
    const COLORREF crMargin = pDoc->m_crMarginLine;
    PaintFocused(pView);

    const CRect page = pView->GetPageRect();
    const CPoint printableTopLeft = ClientOf(pView, page.left + 50, page.top - 50);
    const CPoint printableBottomRight = ClientOf(pView, page.right - 50, page.bottom + 50);
    EXPECT_EQ(ShownPixel(pView, CPoint(printableTopLeft.x, (printableTopLeft.y + printableBottomRight.y) / 2)),
        crMargin);
    EXPECT_EQ(ShownPixel(pView, CPoint(printableBottomRight.x, printableTopLeft.y + 20)), crMargin);
    // The label covers the middle of the bottom side with text rows above
    // and below the line.
    const int xMid = (printableTopLeft.x + printableBottomRight.x) / 2;
    const int yBottom = printableBottomRight.y;
    EXPECT_GT(CountInRow(pView, yBottom - 2, xMid - 40, xMid + 40, crMargin), 0);
    EXPECT_GT(CountInRow(pView, yBottom + 2, xMid - 40, xMid + 40, crMargin), 0);
    EXPECT_EQ(CountInRow(pView, yBottom - 2, printableTopLeft.x + 5, xMid - 60, crMargin), 0);

    // No suggested work area until both sizes are set.
    constexpr COLORREF kBlue = RGB(0, 0, 255);
    EXPECT_EQ(CountInRow(pView, printableTopLeft.y, printableTopLeft.x, printableBottomRight.x, kBlue), 0);
    pView->m_maxWorkSize = CSize(400, 0);
    PaintFocused(pView);
    EXPECT_EQ(CountInRow(pView, printableTopLeft.y, printableTopLeft.x, printableBottomRight.x, kBlue), 0);

    pView->m_maxWorkSize = CSize(400, 600);
    PaintFocused(pView);
    const CPoint areaBottomRight = ClientOf(pView, page.left + 50 + 400, page.top - 50 - 600);
    // The right side is dotted: some pixels blue, some not.
    const int nRight = CountInColumn(pView, areaBottomRight.x, printableTopLeft.y + 2, areaBottomRight.y - 2, kBlue);
    EXPECT_GT(nRight, 10);
    EXPECT_LT(nRight, areaBottomRight.y - 4 - printableTopLeft.y);
    // "Suggested Work Area" straddles the bottom side in its middle.
    const int xArea = (printableTopLeft.x + areaBottomRight.x) / 2;
    EXPECT_GT(CountInRow(pView, areaBottomRight.y - 2, xArea - 40, xArea + 40, kBlue), 0);
    EXPECT_GT(CountInRow(pView, areaBottomRight.y + 2, xArea - 40, xArea + 40, kBlue), 0);
}

// Guidelines count from the page's upper left corner and run dotted across
// the whole client area, beyond the page too.
TEST_F(SurfacePaintTest, DrawsDottedGuidelinesFromThePageCornerAcrossTheClient)
{
    CDrawDoc* pDoc = nullptr;
    CSurface* pView = NewHalfSizeView(&pDoc);
    pDoc->m_wDocFlags |= 0x0200;
    pView->m_guidelines[1].Add(2000); // 200 units right of the page's left edge
    pView->m_guidelines[0].Add(3000); // 300 units below its top
    PaintFocused(pView);

    const CRect page = pView->GetPageRect();
    const CPoint at = ClientOf(pView, page.left + 200, page.top - 300);
    CRect client;
    pView->GetClientRect(&client);
    const COLORREF cr = CSurface::kGuidelineColor;
    const int nColumn = CountInColumn(pView, at.x, 0, client.bottom, cr);
    EXPECT_GT(nColumn, client.bottom / 4);
    EXPECT_LT(nColumn, client.bottom * 3 / 4);
    // Above the page, on the background, it goes on.
    EXPECT_GT(CountInColumn(pView, at.x, 0, ClientOf(pView, 0, page.top).y, cr), 0);
    const int nRow = CountInRow(pView, at.y, 0, client.right, cr);
    EXPECT_GT(nRow, client.right / 4);
    EXPECT_LT(nRow, client.right * 3 / 4);

    // Hidden guidelines are not drawn.
    pDoc->m_wDocFlags &= ~0x0200;
    PaintFocused(pView);
    EXPECT_EQ(CountInColumn(pView, at.x, 0, client.bottom, cr), 0);
}

// Rotate mode 1 shows all nine handles, mode 0 leaves the rotation handle
// out.
TEST_F(SurfacePaintTest, ShowsTheRotationHandleOnlyInRotateMode)
{
    CSurface* pView = NewHalfSizeView();
    CDrawRect* pShape = AddShape(pView, CRect(-200, 200, 100, -100));
    // Black on the page then comes from the handles alone.
    pShape->m_bOutline = FALSE;
    pView->Select(pShape);
    ASSERT_TRUE(pView->IsActiveView());
    constexpr COLORREF kRotateHandle = RGB(0, 160, 0);

    auto handleShown = [&](int nHandle, COLORREF cr) {
        const CPoint pt = ClientOf(pView, pShape->GetHandle(nHandle, FALSE).x, pShape->GetHandle(nHandle, FALSE).y);
        int n = 0;
        for (int dy = -2; dy <= 2; ++dy)
            n += CountInRow(pView, pt.y + dy, pt.x - 2, pt.x + 3, cr);
        return n;
    };
    pView->m_bRotateMode = TRUE;
    PaintFocused(pView);
    EXPECT_GT(handleShown(9, kRotateHandle), 0);
    EXPECT_GT(handleShown(1, RGB(0, 0, 0)), 0);

    pView->m_bRotateMode = FALSE;
    PaintFocused(pView);
    EXPECT_EQ(handleShown(9, kRotateHandle), 0);
    EXPECT_GT(handleShown(1, RGB(0, 0, 0)), 0);

    // Without a selection there are no handles at all.
    pView->Select(nullptr);
    PaintFocused(pView);
    EXPECT_EQ(handleShown(1, RGB(0, 0, 0)), 0);
}

// When the paint's bitmap cannot be made the same passes draw into the
// window, pixel for pixel the same.
TEST_F(SurfacePaintTest, DrawsTheSamePixelsWhenTheMemoryBitmapCannotBeMade)
{
    CDrawDoc* pDoc = nullptr;
    CSurface* pView = NewHalfSizeView(&pDoc);
    pDoc->m_wDocFlags |= 0x0400 | 0x0200;
    pDoc->SetGridSpacing(500);
    pView->m_guidelines[0].Add(1500);
    pView->m_guidelines[1].Add(2500);
    pView->m_maxWorkSize = CSize(300, 300);
    pView->Select(AddShape(pView, CRect(-150, 150, 150, -150), SHAPE_ELLIPSE));
    AddShape(pView, CRect(100, -200, 300, -350), SHAPE_STAR, RGB(40, 40, 200));
    PaintFocused(pView);
    const std::vector<COLORREF> buffered = ShownClient(pView);

    CSurface::SetMemoryBitmapFailsForTests(TRUE);
    CDC* pDC = pView->GetDC();
    CRect client;
    pView->GetClientRect(&client);
    pDC->FillSolidRect(&client, RGB(255, 0, 255));
    pView->ReleaseDC(pDC);
    PaintFocused(pView);
    const std::vector<COLORREF> direct = ShownClient(pView);
    ASSERT_EQ(buffered.size(), direct.size());
    size_t nDiffering = 0;
    for (size_t i = 0; i < buffered.size(); ++i)
        nDiffering += buffered[i] != direct[i] ? 1 : 0;
    EXPECT_EQ(nDiffering, 0u);
}

// A partial repaint through the bitmap of its clip box shows the same as
// the whole paint did there.
TEST_F(SurfacePaintTest, RepaintsAPartAsTheWholePaintShowedIt)
{
    CDrawDoc* pDoc = nullptr;
    CSurface* pView = NewHalfSizeView(&pDoc);
    pDoc->m_wDocFlags |= 0x0400 | 0x0200;
    pDoc->SetGridSpacing(393);
    pView->m_guidelines[1].Add(4100);
    AddShape(pView, CRect(-300, 300, 50, -20));
    AddShape(pView, CRect(-100, 250, 250, -150), SHAPE_ELLIPSE, RGB(40, 40, 200));
    PaintFocused(pView);
    const std::vector<COLORREF> whole = ShownClient(pView);

    CRect client;
    pView->GetClientRect(&client);
    const CRect part(123, 97, 401, 333);
    CDC* pDC = pView->GetDC();
    pDC->FillSolidRect(&part, RGB(255, 0, 255));
    pView->ReleaseDC(pDC);
    pView->InvalidateRect(&part, FALSE);
    pView->UpdateWindow();
    EXPECT_EQ(ShownClient(pView), whole);
}

// The background's pattern and tiles continue across a partial repaint.
TEST_F(SurfacePaintTest, RepaintsAPartOfAPatternOrTiledBackgroundInPlace)
{
    CSurface* pView = NewHalfSizeView();
    for (const int nSide : {8, 13}) {
        CClientDC screen(pView);
        CDC dc;
        ASSERT_TRUE(dc.CreateCompatibleDC(&screen));
        CBitmap bitmap;
        ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, nSide, nSide));
        CBitmap* pOld = dc.SelectObject(&bitmap);
        // No symmetry: a diagonal and a corner.
        dc.FillSolidRect(0, 0, nSide, nSide, RGB(250, 230, 0));
        for (int i = 0; i < nSide; ++i)
            dc.SetPixel(i, i, RGB(0, 0, 160));
        dc.FillSolidRect(0, 0, 3, 2, RGB(160, 0, 0));
        dc.SelectObject(pOld);
        g_surfaceBackground.SetBitmap(static_cast<HBITMAP>(bitmap.Detach()));
        PaintFocused(pView);
        const std::vector<COLORREF> whole = ShownClient(pView);

        const CRect part(3, 5, 61, 77);
        CDC* pDC = pView->GetDC();
        pDC->FillSolidRect(&part, RGB(255, 0, 255));
        pView->ReleaseDC(pDC);
        pView->InvalidateRect(&part, FALSE);
        pView->UpdateWindow();
        EXPECT_EQ(ShownClient(pView), whole) << nSide;
    }
    g_surfaceBackground.SetBitmap(NULL);
}

// A view without the focus puts its objects off by one paint, so the view
// being worked in is painted first.
TEST_F(SurfacePaintTest, UnfocusedViewDrawsItsObjectsOnePaintLate)
{
    CSurface* pView = NewHalfSizeView();
    auto* pObj = new CCountingObj(CRect(-50, 50, 50, -50));
    pView->Add(pObj);
    PaintFocused(pView);
    const int nFocused = pObj->m_nDrawn;
    EXPECT_GE(nFocused, 1);

    ::SetFocus(NULL);
    Pump();
    pObj->m_nDrawn = 0;
    pView->Invalidate(FALSE);
    pView->UpdateWindow();
    EXPECT_EQ(pObj->m_nDrawn, 0);
    EXPECT_TRUE(pView->m_bPaintDeferred);
    // The paint asked for another, which draws them.
    pView->UpdateWindow();
    EXPECT_EQ(pObj->m_nDrawn, 1);
    EXPECT_FALSE(pView->m_bPaintDeferred);
}

// The designer's diagnostic option draws its four boxes in the view's top
// left corner, over whatever lies there.
TEST_F(SurfacePaintTest, DiagnosticOptionDrawsItsCornerBoxes)
{
    CSurface* pView = NewHalfSizeView();
    PaintFocused(pView);
    EXPECT_EQ(ShownPixel(pView, CPoint(70, 90)), kBackground);
    thePrefs.AddlFlags |= 0x0004;
    pView->Select(AddShape(pView, CRect(-50, 50, 50, -50)));
    PaintFocused(pView);
    EXPECT_EQ(ShownPixel(pView, CPoint(72, 22)), RGB(255, 0, 0));
    EXPECT_EQ(ShownPixel(pView, CPoint(72, 27)), RGB(0, 0, 255));
    EXPECT_EQ(ShownPixel(pView, CPoint(72, 52)), RGB(0, 255, 0));
    EXPECT_EQ(ShownPixel(pView, CPoint(72, 97)), RGB(255, 0, 0));
    EXPECT_EQ(ShownPixel(pView, CPoint(76, 60)), kBackground);
    EXPECT_EQ(ShownPixel(pView, CPoint(10, 101)), kBackground);
    // The selected object's class is written into the first box.
    EXPECT_GT(CountInRow(pView, 8, 0, 75, RGB(255, 255, 255)), 0);
}

// Every kind of object with a selection and guidelines, as a picture.
TEST_F(SurfacePaintTest, AllObjectKindsWithSelectionAndGuidelinesLookAsBefore)
{
    CDrawDoc* pDoc = nullptr;
    CSurface* pView = NewHalfSizeView(&pDoc);
    pDoc->m_wDocFlags |= 0x0200;
    pView->m_guidelines[0].Add(5500);
    pView->m_guidelines[1].Add(4250);
    const COLORREF colours[] = {RGB(200, 40, 40), RGB(40, 160, 40), RGB(40, 40, 200), RGB(200, 160, 0)};
    // Four rows of four on the landscape page, the polygon beside them.
    for (int nShape = SHAPE_RECTANGLE; nShape < SHAPE_KIND_COUNT; ++nShape) {
        const int nColumn = nShape % 4;
        const int nRow = nShape / 4;
        const int left = -500 + nColumn * 200;
        const int top = 400 - nRow * 200;
        CDrawRect* pShape = AddShape(pView, CRect(left + 20, top - 20, left + 180, top - 180), nShape,
            colours[(nShape + nRow) % 4]);
        if (nShape == SHAPE_ROUND_RECTANGLE || nShape == SHAPE_STAR)
            pView->Select(pShape, TRUE);
    }
    auto* pPoly = new CDrawPoly(CRect(320, 300, 520, -300));
    pPoly->AddPoint(CPoint(320, 300));
    pPoly->AddPoint(CPoint(520, 100));
    pPoly->AddPoint(CPoint(360, -300));
    pView->Add(pPoly);
    PaintFocused(pView);
    testing_support::ExpectLooksAsBefore(pView->m_hWnd, "surface", "surface_all_kinds.png");
}

} // namespace
} // namespace surfacetest
