#include "tests/surface/SurfaceTestSupport.h"
#include "tests/surface/SurfaceMainFrameFixture.h"
#include "tests/surface/SurfaceViewSupport.h"

#include "app/main/MainFrame.h"
#include "app/main/MainToolBars.h"
#include "platform/framework/Afx.h"
#include "surface/CustomZoomDlg.h"

#include <memory>

namespace surfacetest {
namespace {

// Draws the view as its paint would into a bitmap of its client size.
class RenderedView {
public:
    explicit RenderedView(CSurface* pView)
    {
        CRect client;
        pView->GetClientRect(&client);
        CClientDC screen(pView);
        m_dc.CreateCompatibleDC(&screen);
        m_bitmap.CreateCompatibleBitmap(&screen, client.Width(), client.Height());
        m_pOld = m_dc.SelectObject(&m_bitmap);
        pView->OnPrepareDC(&m_dc, NULL);
        m_dc.IntersectClipRect(-100000, -100000, 100000, 100000);
        pView->OnDraw(&m_dc);
        m_dc.SetMapMode(MM_TEXT);
        m_dc.SetViewportOrg(0, 0);
        m_dc.SetWindowOrg(0, 0);
    }
    ~RenderedView() { m_dc.SelectObject(m_pOld); }
    COLORREF Pixel(CPoint pt) { return m_dc.GetPixel(pt.x, pt.y) & 0xFFFFFF; }
    // The height in pixels of what is drawn in colour cr in rows [top,
    // bottom) and columns [left, right), leaving out the rows in which
    // column xLine has that colour too (lines across).
    int InkHeight(COLORREF cr, int left, int top, int right, int bottom, int xLine)
    {
        int first = -1;
        int last = -1;
        for (int y = top; y < bottom; ++y) {
            if (Pixel(CPoint(xLine, y)) == cr)
                continue;
            for (int x = left; x < right; ++x) {
                if (Pixel(CPoint(x, y)) == cr) {
                    first = first < 0 ? y : first;
                    last = y;
                    break;
                }
            }
        }
        return first < 0 ? 0 : last - first + 1;
    }

private:
    CDC m_dc;
    CBitmap m_bitmap;
    CBitmap* m_pOld = nullptr;
};

} // namespace

TEST_F(SurfaceTest, MapsPageCentreToClientCentreWithYUpAtEachZoom)
{
    CDrawDoc* pDoc = NewDesign();
    ASSERT_NE(pDoc, nullptr);
    CSurface* pView = FirstView(pDoc);
    ASSERT_NE(pView, nullptr);
    SetClientSize(pView, 1300, 1300);
    const int ppiX = ScreenPpi(LOGPIXELSX);
    const int ppiY = ScreenPpi(LOGPIXELSY);

    for (int zoom : {100, 50}) {
        pDoc->SetZoom(zoom);
        ASSERT_EQ(pView->GetZoom(), zoom);
        CRect client;
        pView->GetClientRect(&client);
        // The client area is larger than the page at both zooms: the
        // page's centre (the origin) sits in the middle of it.
        const CPoint centre = ToClient(pView, 0, 0);
        EXPECT_NEAR(centre.x, client.Width() / 2, 2) << zoom;
        EXPECT_NEAR(centre.y, client.Height() / 2, 2) << zoom;
        // One inch right and up: x grows, y shrinks on the screen.
        const CPoint inch = ToClient(pView, 100, 100);
        EXPECT_NEAR(inch.x - centre.x, ppiX * zoom / 100, 1) << zoom;
        EXPECT_NEAR(centre.y - inch.y, ppiY * zoom / 100, 1) << zoom;
    }

    // The conversions undo each other.
    CRect rect(-200, 300, 100, -50);
    pView->LPtoDPRect(&rect);
    EXPECT_LT(rect.top, rect.bottom);
    pView->DPtoLPRect(&rect);
    rect.NormalizeRect();
    EXPECT_NEAR(rect.left, -200, 2);
    EXPECT_NEAR(rect.right, 100, 2);
}

TEST_F(SurfaceTest, PageRectIsCentredOnTheOriginAndSizesAreBounded)
{
    CDrawDoc* pDoc = NewDesign();
    CSurface* pView = FirstView(pDoc);
    pView->SetPageSize(851, 1100);
    const CRect page = pView->GetPageRect();
    EXPECT_EQ(page.Width(), 851);
    EXPECT_EQ(page.top - page.bottom, 1100);
    EXPECT_EQ(page.top, 550);
    EXPECT_LE(page.left, 0);
    EXPECT_GE(page.right, 0);

    // Sizes from a file or the printer never make a zero or huge page.
    pView->SetPageSize(0, -5);
    EXPECT_EQ(pView->GetPageSize(), CSize(1, 1));
    pView->SetPageSize(1 << 30, 1 << 30);
    EXPECT_EQ(pView->GetPageSize(), CSize(LAYOUT_MAX_SIZE, LAYOUT_MAX_SIZE));
}

TEST_F(SurfaceTest, FitZoomShowsThePageAndStaysInRange)
{
    CDrawDoc* pDoc = NewDesign();
    CSurface* pView = FirstView(pDoc);
    pDoc->SetZoom(100);
    SetClientSize(pView, 600, 500);
    pDoc->SetZoom(ZOOM_FIT);
    pView->SetPageSize(850, 1100);
    const WORD zoom = pView->GetZoom();
    EXPECT_EQ(zoom, pView->CalcFitZoom());
    // The height limits: 500 pixels hold the 11-inch page at this zoom
    // and not at the next.
    const int ppiY = ScreenPpi(LOGPIXELSY);
    EXPECT_LE((1100 + 8) * ppiY * zoom / 10000, 500);
    EXPECT_GT((1100 + 8) * ppiY * (zoom + 1) / 10000, 500);

    // A window resized while fitting takes a new zoom.
    SetClientSize(pView, 1200, 1000);
    EXPECT_GT(pView->GetZoom(), zoom);

    // A tiny window still gives 1, a huge page on a huge window at most 500.
    SetClientSize(pView, 1, 1);
    EXPECT_EQ(pView->GetZoom(), 1);
    pView->SetPageSize(1, 1);
    SetClientSize(pView, 1000, 1000);
    EXPECT_EQ(pView->GetZoom(), CSurface::kMaxZoom);
}

TEST_F(SurfaceTest, DrawsWorkspacePaperAndRedMarginLines)
{
    CDrawDoc* pDoc = NewDesign();
    CSurface* pView = FirstView(pDoc);
    SetClientSize(pView, 1000, 1200);
    pDoc->SetZoom(100);
    pView->SetPageSize(850, 1100);
    pDoc->SetPaperColor(RGB(255, 255, 204));
    pDoc->m_rectMargins = CRect(50, 60, 70, 80);

    RenderedView image(pView);
    // Inside the page, away from lines and the label.
    EXPECT_EQ(image.Pixel(ToClient(pView, 0, 0)), RGB(255, 255, 204));
    EXPECT_EQ(image.Pixel(ToClient(pView, -400, 500)), RGB(255, 255, 204));
    // The workspace round the page, in the stored background colour.
    EXPECT_EQ(image.Pixel(CPoint(2, 2)), thePrefs.BkgClr & 0xFFFFFF);
    // The margin lines: left and right edges of the printable area at
    // mid height, top edge at mid width.
    const CRect page = pView->GetPageRect();
    EXPECT_EQ(image.Pixel(ToClient(pView, page.left + 50, 0)), RGB(255, 0, 0));
    EXPECT_EQ(image.Pixel(ToClient(pView, page.right - 70, 0)), RGB(255, 0, 0));
    EXPECT_EQ(image.Pixel(ToClient(pView, 0, page.top - 60)), RGB(255, 0, 0));
    // Between the page edge and the margin line is paper.
    EXPECT_EQ(image.Pixel(ToClient(pView, page.left + 25, 0)), RGB(255, 255, 204));
}

TEST_F(SurfaceTest, PrinterMarginLabelIsTheSameSizeOnEveryPageAndZoom)
{
    CDrawDoc* pDoc = NewDesign();
    CSurface* pView = FirstView(pDoc);
    SetClientSize(pView, 1000, 1200);
    pDoc->m_rectMargins = CRect(25, 25, 25, 25);
    struct Page {
        int cx;
        int cy;
    };
    int nExpected = 0;
    for (Page page : {Page{850, 1100}, Page{400, 200}, Page{925, 775}, Page{175, 100}}) {
        for (int nZoom : {25, 50, 75, 100, 150, 200, 300, 400}) {
            // Only zooms at which the whole page is in the window.
            if (page.cx * nZoom > 90000 || page.cy * nZoom > 110000)
                continue;
            SCOPED_TRACE(testing::Message() << page.cx << " x " << page.cy << " at " << nZoom << "%");
            pDoc->SetZoom(nZoom);
            pView->SetPageSize(page.cx, page.cy);
            RenderedView image(pView);
            const CRect rect = pView->GetPageRect();
            const CPoint lineLeft = ToClient(pView, rect.left + 25, rect.bottom + 25);
            const CPoint lineRight = ToClient(pView, rect.right - 25, rect.bottom + 25);
            // The label needs room between the side lines to be measured.
            if (lineRight.x - lineLeft.x < 100)
                continue;
            const int nHeight = image.InkHeight(RGB(255, 0, 0), lineLeft.x + 3, lineLeft.y - 30, lineRight.x - 2,
                lineLeft.y + 30, lineLeft.x + 2);
            if (nExpected == 0)
                nExpected = nHeight;
            EXPECT_GT(nHeight, 4);
            EXPECT_EQ(nHeight, nExpected);
        }
    }
}

TEST_F(SurfaceTest, DrawsObjectsExceptThoseHiddenForATile)
{
    CDrawDoc* pDoc = NewDesign();
    CSurface* pView = FirstView(pDoc);
    pDoc->SetZoom(100);
    auto* pShown = new CCountingObj(CRect(-100, 100, 100, -100));
    auto* pHidden = new CCountingObj(CRect(-100, 100, 100, -100));
    auto* pGuide = new CCountingObj(CRect(-100, 100, 100, -100));
    pHidden->m_wFlags |= OBJ_FLAG_TILE_HIDDEN;
    pGuide->m_wFlags |= OBJ_FLAG_GUIDE;
    pView->Add(pShown);
    pView->Add(pHidden);
    pView->Add(pGuide);

    { RenderedView image(pView); }
    EXPECT_EQ(pShown->m_nDrawn, 1);
    EXPECT_EQ(pHidden->m_nDrawn, 0);
    // Guide lines show on the screen.
    EXPECT_EQ(pGuide->m_nDrawn, 1);
}

TEST_F(SurfaceTest, PrintingDrawsPaperAndObjectsUnzoomedWithoutGuides)
{
    CDrawDoc* pDoc = NewDesign();
    CSurface* pView = FirstView(pDoc);
    pDoc->SetZoom(50);
    pView->SetPageSize(200, 100);
    pDoc->SetPaperColor(RGB(0, 0, 255));
    auto* pShown = new CCountingObj(CRect(-10, 10, 10, -10));
    auto* pGuide = new CCountingObj(CRect(-10, 10, 10, -10));
    pGuide->m_wFlags |= OBJ_FLAG_GUIDE;
    pView->Add(pShown);
    pView->Add(pGuide);

    CClientDC screen(pView);
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(&screen));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 400, 300));
    CBitmap* pOld = dc.SelectObject(&bitmap);
    dc.FillSolidRect(0, 0, 400, 300, RGB(0, 255, 0));
    dc.m_bPrinting = TRUE;
    pView->OnPrepareDC(&dc, NULL);
    // On paper an inch is the device's inch: no zoom, and the page's top
    // left corner at the device origin.
    CPoint pts[2] = {CPoint(-100, 50), CPoint(0, 50)};
    dc.LPtoDP(pts, 2);
    EXPECT_EQ(pts[0], CPoint(0, 0));
    EXPECT_EQ(pts[1].x, dc.GetDeviceCaps(LOGPIXELSX));
    pView->OnDraw(&dc);
    dc.SetMapMode(MM_TEXT);
    dc.SetWindowOrg(0, 0);
    dc.SetViewportOrg(0, 0);
    const int ppi = dc.GetDeviceCaps(LOGPIXELSX);
    // The paper, and nothing of the workspace beyond it.
    EXPECT_EQ(dc.GetPixel(ppi / 2, ppi / 4) & 0xFFFFFF, RGB(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(2 * ppi + 5, ppi / 4) & 0xFFFFFF, RGB(0, 255, 0));
    dc.SelectObject(pOld);
    EXPECT_EQ(pShown->m_nDrawn, 1);
    EXPECT_EQ(pGuide->m_nDrawn, 0);
}

TEST_F(SurfaceTest, AddRemoveAndDeleteFixedObjectsKeepOwnershipStraight)
{
    CDrawDoc* pDoc = NewDesign();
    CSurface* pView = FirstView(pDoc);
    const INT_PTR nBefore = pView->GetObjects().GetCount();
    int nDeleted = 0;
    auto* pFront = new CCountingObj(CRect(0, 10, 10, 0), &nDeleted);
    auto* pBack = new CCountingObj(CRect(0, 10, 10, 0), &nDeleted);
    auto* pFixed = new CCountingObj(CRect(0, 10, 10, 0), &nDeleted);
    auto* pBackOnly = new CCountingObj(CRect(0, 10, 10, 0), &nDeleted);
    pBack->m_wFlags |= OBJ_FLAG_BACK_LAYER;
    pFixed->m_wFlags |= OBJ_FLAG_BACK_LAYER | OBJ_FLAG_UNSELECTABLE;
    pBackOnly->m_wFlags |= OBJ_FLAG_BACK_LAYER;

    pView->Add(pFront);
    pView->Add(pBack);
    pView->Add(pFixed);
    pView->Add(pBackOnly);
    pView->Add(pFront); // twice is once
    EXPECT_EQ(pView->GetObjects().GetCount(), nBefore + 4);
    // The back layer is drawn first: it goes to the head.
    EXPECT_EQ(pView->GetObjects().GetHead(), pBackOnly);
    EXPECT_EQ(pView->GetObjects().GetTail(), pFront);
    EXPECT_EQ(pFront->m_pSurface, pView);
    EXPECT_EQ(pFront->m_pDocument, pDoc);

    // Unselectable objects are never selected.
    pView->Select(pFixed);
    EXPECT_TRUE(pView->GetSelection().IsEmpty());
    pView->Select(pFront);
    pView->Select(pBack, TRUE);
    EXPECT_EQ(pView->GetSelection().GetCount(), 2);
    EXPECT_EQ(pView->GetFirstSelected(), pFront);
    EXPECT_TRUE(pView->IsSelected(pBack));

    // Remove takes it off the list and the selection, and leaves it alive.
    pView->Remove(pFront);
    EXPECT_EQ(nDeleted, 0);
    EXPECT_EQ(pView->GetObjects().Find(pFront), nullptr);
    EXPECT_FALSE(pView->IsSelected(pFront));
    EXPECT_EQ(pFront->m_pSurface, nullptr);
    delete pFront;
    EXPECT_EQ(nDeleted, 1);

    // Only objects that are both back layer and unselectable are fixed.
    pView->DeleteFixedObjects();
    EXPECT_EQ(nDeleted, 2);
    EXPECT_EQ(pView->GetObjects().Find(pFixed), nullptr);
    EXPECT_NE(pView->GetObjects().Find(pBackOnly), nullptr);

    // Closing the design deletes what the view still holds.
    pDoc->OnCloseDocument();
    Pump();
    EXPECT_EQ(nDeleted, 4);
}

TEST_F(SurfaceTest, ZoomCommandsSetTheDocumentZoom)
{
    CDrawDoc* pDoc = NewDesign();
    CSurface* pView = FirstView(pDoc);
    SetClientSize(pView, 800, 800);
    const struct {
        UINT nID;
        int zoom;
    } kCommands[] = {
        {ID_VIEW_ZOOM_200, 200}, {ID_VIEW_ZOOM_150, 150}, {ID_VIEW_ZOOM_100, 100},
        {ID_VIEW_ZOOM_75, 75}, {ID_VIEW_ZOOM_50, 50}, {ID_VIEW_ZOOM_25, 25},
    };
    CFrameWnd* pFrame = pView->GetParentFrame();
    for (const auto& command : kCommands) {
        // The zoom combo posts its commands to the main window; they reach
        // the active view through the command route.
        m_pMain->SendMessage(WM_COMMAND, command.nID, 0);
        EXPECT_EQ(pDoc->GetZoom(), command.zoom) << command.nID;
        EXPECT_EQ(pView->GetZoom(), command.zoom) << command.nID;
        // The scroll range is the page (with its rim) at the zoom, or the
        // client area when that is larger.
        const CSize total = pView->GetTotalSize();
        const CSize page = pView->GetPageSize();
        CRect client;
        pView->GetClientRect(&client);
        const int nPage = (page.cy + 8) * ScreenPpi(LOGPIXELSY) * command.zoom / 10000;
        if (nPage > client.Height()) {
            EXPECT_NEAR(total.cy, nPage, 2);
        } else {
            EXPECT_NEAR(total.cy, client.Height(), 2);
        }
    }
    pFrame->SendMessage(WM_COMMAND, ID_VIEW_ZOOM_FIT, 0);
    EXPECT_EQ(pDoc->GetZoom(), ZOOM_FIT);
    EXPECT_EQ(pView->GetZoom(), pView->CalcFitZoom());
}

TEST_F(SurfaceTest, ANewZoomShowsThePageFromItsTopLeftCorner)
{
    CDrawDoc* pDoc = NewDesign();
    CSurface* pView = FirstView(pDoc);
    SetClientSize(pView, 400, 300);
    m_pMain->SendMessage(WM_COMMAND, ID_VIEW_ZOOM_200, 0);
    pView->ScrollToPosition(CPoint(500, 700));
    ASSERT_NE(pView->GetScrollPosition(), CPoint(0, 0));
    // A position kept in pixels would show an arbitrary part of the page
    // at the new scale.
    m_pMain->SendMessage(WM_COMMAND, ID_VIEW_ZOOM_100, 0);
    EXPECT_EQ(pView->GetScrollPosition(), CPoint(0, 0));
    pView->ScrollToPosition(CPoint(100, 100));
    m_pMain->SendMessage(WM_COMMAND, ID_VIEW_ZOOM_100, 0);
    EXPECT_EQ(pView->GetScrollPosition(), CPoint(0, 0));
}

TEST_F(SurfaceTest, HintsRefreshZoomOnlyInVisibleViews)
{
    CDrawDoc* pDoc = NewDesign();
    CSurface* pView = FirstView(pDoc);
    pDoc->SetZoom(100);
    pView->ShowWindow(SW_HIDE);
    pDoc->m_nZoom = 300; // changed behind the views' back
    pDoc->UpdateAllViews(nullptr, CSurface::HintDocSettings);
    EXPECT_EQ(pView->GetZoom(), 100);
    pView->ShowWindow(SW_SHOW);
    pDoc->UpdateAllViews(nullptr, CSurface::HintDocSettings);
    EXPECT_EQ(pView->GetZoom(), 300);

    // A dropped file, unknown hints and a foreign hint object do no harm.
    CObList other;
    pDoc->UpdateAllViews(nullptr, CSurface::HintDroppedFile, &other);
    pDoc->UpdateAllViews(nullptr, CSurface::HintObject, &other);
    pDoc->UpdateAllViews(nullptr, 17, nullptr);
    pDoc->UpdateAllViews(nullptr, -1, nullptr);
    EXPECT_EQ(pView->GetZoom(), 300);
}

TEST_F(SurfaceTest, SurfaceIndexOfEachViewOfATwoSidedDesign)
{
    CDrawDoc* pDoc = NewDesign(AddShirtTemplate());
    ASSERT_NE(pDoc, nullptr);
    ASSERT_EQ(pDoc->GetSurfaceInfoCount(), 2);
    EXPECT_EQ(pDoc->GetSurfaceView(0)->GetSurfaceIndex(), 0);
    EXPECT_EQ(pDoc->GetSurfaceView(1)->GetSurfaceIndex(), 1);

    // A view no document lists has no surface number.
    CSurface* pLoose = static_cast<CSurface*>(RUNTIME_CLASS(CSurface)->CreateObject());
    EXPECT_EQ(pLoose->GetSurfaceIndex(), -1);
    delete pLoose;
}

TEST_F(SurfaceTest, MouseReleaseAsksForAToolPadRefresh)
{
    CDrawDoc* pDoc = NewDesign();
    CSurface* pView = FirstView(pDoc);
    m_pMain->m_messages.clear();
    pView->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    pView->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    Pump();
    EXPECT_EQ(m_pMain->Count(WM_SURFACE_SELCHANGED), 1);
}

TEST_F(SurfaceTest, CustomZoomAcceptsOnlyTenToFiveHundred)
{
    CCustomZoomDlg dlg(m_pMain);
    dlg.m_nZoom = 150;
    ASSERT_TRUE(dlg.Create(IDD_CUSTOM_ZOOM, m_pMain));
    // Opening checks the button of the current zoom and fills the edit.
    EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_ZOOM_150), BST_CHECKED);
    EXPECT_EQ(dlg.GetDlgItemInt(IDC_ZOOM_PERCENT), 150u);
    // A step button puts its value in the edit.
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_ZOOM_25, BN_CLICKED), 0);
    EXPECT_EQ(dlg.GetDlgItemInt(IDC_ZOOM_PERCENT), 25u);

    const size_t nBoxes = platform::headless::MessageBoxes().size();
    for (const char* text : {"5", "501"}) {
        dlg.SetDlgItemText(IDC_ZOOM_PERCENT, text);
        EXPECT_FALSE(dlg.UpdateData(TRUE)) << text;
    }
    // Each refusal tells the user the range.
    EXPECT_EQ(platform::headless::MessageBoxes().size(), nBoxes + 2);
    dlg.SetDlgItemText(IDC_ZOOM_PERCENT, "10");
    EXPECT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.m_nZoom, 10);
    dlg.DestroyWindow();
}

} // namespace surfacetest

namespace surfacetest {
namespace {

// The real main frame, for the zoom combo the views keep up to date.
using SurfaceZoomComboTest = SurfaceMainFrameTest;

TEST_F(SurfaceZoomComboTest, ZoomCommandsFromTheMainWindowMoveTheCombo)
{
    ASSERT_NE(m_pMain->GetStandardBar(), nullptr);
    CComboBox& combo = m_pMain->GetStandardBar()->GetZoomCombo();
    auto* pDoc = static_cast<CDrawDoc*>(m_pTemplate->OpenDocumentFile(NULL));
    ASSERT_NE(pDoc, nullptr);
    Pump();

    m_pMain->SendMessage(WM_COMMAND, ID_VIEW_ZOOM_50, 0);
    EXPECT_EQ(pDoc->GetZoom(), 50);
    EXPECT_EQ(combo.GetCurSel(), CZoomToolBar::ZoomEntryFor(50, FALSE));
    m_pMain->SendMessage(WM_COMMAND, ID_VIEW_ZOOM_200, 0);
    EXPECT_EQ(combo.GetCurSel(), CZoomToolBar::ZoomEntryFor(200, FALSE));
    // Fitting selects the fit entry whatever percentage it comes to.
    m_pMain->SendMessage(WM_COMMAND, ID_VIEW_ZOOM_FIT, 0);
    EXPECT_EQ(pDoc->GetZoom(), ZOOM_FIT);
    EXPECT_EQ(combo.GetCurSel(), CZoomToolBar::ZoomEntryFor(100, TRUE));
}

} // namespace
} // namespace surfacetest
