#include "tests/model/ModelTestSupport.h"

#include "platform/framework/PrintInfo.h"

namespace modeltest {
namespace {

class SurfacesTest : public WindowModelTest {};

// An object that counts how often the view draws it.
class CCountingRect : public CDrawRect {
public:
    explicit CCountingRect(const CRect& position)
        : CDrawRect(position)
    {
    }
    void Draw(CDC* pDC) override
    {
        ++m_nDrawn;
        m_wFlagsWhenDrawn |= m_wFlags;
        CPoint centre = m_position.CenterPoint();
        pDC->LPtoDP(&centre);
        m_centres.push_back(centre);
        CDrawRect::Draw(pDC);
    }
    int m_nDrawn = 0;
    WORD m_wFlagsWhenDrawn = 0;
    std::vector<CPoint> m_centres; // device points, one per drawing
};

// A rectangle of the given size lying wholly to the right of the page.
CRect RightOf(const CRect& page, int cx, int cy)
{
    return CRect(page.right + 100, page.top, page.right + 100 + cx, page.top - cy);
}

TEST_F(SurfacesTest, EachKindOpensWithItsSurfacesAndTheFirstViewCurrent)
{
    struct Kind {
        CRuntimeClass* pClass;
        int nSurfaces;
    };
    const Kind kinds[] = {
        {RUNTIME_CLASS(CTovellDoc), 2},
        {RUNTIME_CLASS(CApparelDoc), 1},
        {RUNTIME_CLASS(CMousepadDoc), 1},
        {RUNTIME_CLASS(CCalendarDoc), 1},
        {RUNTIME_CLASS(CGiftTagDoc), 1},
        {RUNTIME_CLASS(CGeneralDoc), 1},
    };
    for (const Kind& k : kinds) {
        const char* pszName = k.pClass->m_lpszClassName;
        CDrawDoc* pDoc = NewDesign(k.pClass);
        ASSERT_NE(pDoc, nullptr) << pszName;
        ASSERT_EQ(pDoc->GetSurfaceInfoCount(), k.nSurfaces) << pszName;
        CSurface* pFront = ViewOf(pDoc, 0);
        ASSERT_NE(pFront, nullptr) << pszName;
        EXPECT_EQ(pDoc->GetCurrentView(), pFront) << pszName;
        EXPECT_EQ(pDoc->GetCurrentSurfaceIndex(), 0) << pszName;
        EXPECT_EQ(pDoc->GetCurrentSurfaceNumber(), 0) << pszName;
        EXPECT_EQ(pDoc->GetSurfaceView(-1), pFront) << pszName;
        EXPECT_EQ(pDoc->GetSurfaceView(k.nSurfaces), nullptr) << pszName;
        // The views show the surface size the document measured.
        EXPECT_EQ(pFront->GetPageSize(), pDoc->m_sizeCachedSurface) << pszName;
        EXPECT_EQ((pDoc->m_wDocFlags & DOC_FLAG_DUPLEX) != 0, k.nSurfaces == 2) << pszName;
        if (k.nSurfaces == 2) {
            CSurface* pBack = ViewOf(pDoc, 1);
            ASSERT_NE(pBack, nullptr);
            EXPECT_EQ(pBack->GetDlgCtrlID(), SURFACE_VIEW_FIRST_ID + 1);
            EXPECT_EQ(pBack->GetParentFrame(), pFront->GetParentFrame());
            EXPECT_FALSE(pBack->IsWindowVisible());
            EXPECT_EQ(pBack->GetSurfaceIndex(), 1);
            EXPECT_EQ(pBack->GetPageSize(), pDoc->m_sizeCachedSurface);
            EXPECT_EQ(pDoc->GetSurfaceName(1), CString("Back"));
        }
        pDoc->OnCloseDocument();
        Pump();
    }
}

TEST_F(SurfacesTest, SettingTheCurrentSurfaceSwapsViewsClampsAndSendsHintTen)
{
    CDrawDoc* pDoc = NewDesign(RUNTIME_CLASS(CTovellDoc));
    ASSERT_NE(pDoc, nullptr);
    CSurface* pFront = ViewOf(pDoc, 0);
    CSurface* pBack = ViewOf(pDoc, 1);
    ASSERT_NE(pBack, nullptr);
    CHintRecorder recorder;
    pDoc->AddView(&recorder);

    pDoc->SetCurrentSurface(1);
    EXPECT_EQ(pDoc->GetCurrentView(), pBack);
    EXPECT_EQ(pDoc->GetCurrentSurfaceNumber(), 1);
    EXPECT_EQ(pDoc->GetCurrentSurfaceIndex(), 1);
    EXPECT_EQ(pDoc->GetSurfaceView(-1), pBack);
    EXPECT_TRUE(pBack->IsWindowVisible());
    EXPECT_FALSE(pFront->IsWindowVisible());
    // The shown view holds the frame's pane id.
    EXPECT_EQ(pBack->GetDlgCtrlID(), SURFACE_VIEW_FIRST_ID);
    EXPECT_EQ(pFront->GetDlgCtrlID(), SURFACE_VIEW_FIRST_ID + 1);
    EXPECT_EQ(recorder.Count(HINT_ZOOM_OR_SURFACE), 1);

    // The same surface again: the hint, but no swap.
    pDoc->SetCurrentSurface(1);
    EXPECT_EQ(pBack->GetDlgCtrlID(), SURFACE_VIEW_FIRST_ID);
    EXPECT_TRUE(pBack->IsWindowVisible());
    EXPECT_EQ(recorder.Count(HINT_ZOOM_OR_SURFACE), 2);

    for (int n : {7, -1}) {
        pDoc->SetCurrentSurface(1);
        pDoc->SetCurrentSurface(n);
        EXPECT_EQ(pDoc->GetCurrentView(), pFront) << n;
        EXPECT_EQ(pDoc->GetCurrentSurfaceNumber(), 0) << n;
        EXPECT_TRUE(pFront->IsWindowVisible()) << n;
        EXPECT_EQ(pFront->GetDlgCtrlID(), SURFACE_VIEW_FIRST_ID) << n;
    }
    pDoc->RemoveView(&recorder);
}

// Records whether an update handler enabled its command.
class CEnableRecorder : public CCmdUI {
public:
    void Enable(BOOL bOn) override
    {
        m_nEnabled = bOn ? 1 : 0;
        m_bEnableChanged = TRUE;
    }
    void SetText(LPCTSTR lpszText) override { m_strText = lpszText; }
    int m_nEnabled = -1;
    CString m_strText;
};

CString IndicatorText(CCmdTarget* pTarget)
{
    CEnableRecorder ui;
    ui.m_nID = ID_INDICATOR_SURFACE;
    ui.DoUpdate(pTarget, FALSE);
    return ui.m_strText;
}

int EnabledState(CCmdTarget* pTarget, UINT nID)
{
    CEnableRecorder ui;
    ui.m_nID = nID;
    ui.DoUpdate(pTarget, FALSE);
    return ui.m_nEnabled;
}

TEST_F(SurfacesTest, NextAndPreviousSurfaceWalkTheSurfacesOfTheActiveDesignWrappingRound)
{
    CDrawDoc* pShirt = NewDesign(RUNTIME_CLASS(CTovellDoc));
    ASSERT_NE(pShirt, nullptr);
    CSurface* pFront = ViewOf(pShirt, 0);
    CSurface* pBack = ViewOf(pShirt, 1);
    ASSERT_NE(pBack, nullptr);
    EXPECT_EQ(EnabledState(pShirt, ID_VIEW_NEXT_SURFACE), 1);
    EXPECT_EQ(EnabledState(pShirt, ID_VIEW_PREV_SURFACE), 1);

    // The commands come through the design window, as from the menu.
    CFrameWnd* pFrame = pFront->GetParentFrame();
    ASSERT_NE(pFrame, nullptr);
    pFrame->SendMessage(WM_COMMAND, ID_VIEW_NEXT_SURFACE, 0);
    EXPECT_EQ(pShirt->GetCurrentView(), pBack);
    EXPECT_TRUE(pBack->IsWindowVisible());
    EXPECT_FALSE(pFront->IsWindowVisible());
    // The status bar names the side on show.
    EXPECT_EQ(IndicatorText(pShirt), CString("Back"));
    pFrame->SendMessage(WM_COMMAND, ID_VIEW_NEXT_SURFACE, 0);
    EXPECT_EQ(pShirt->GetCurrentView(), pFront);
    EXPECT_EQ(IndicatorText(pShirt), CString("Front"));
    pFrame->SendMessage(WM_COMMAND, ID_VIEW_PREV_SURFACE, 0);
    EXPECT_EQ(pShirt->GetCurrentView(), pBack);
    pFrame->SendMessage(WM_COMMAND, ID_VIEW_PREV_SURFACE, 0);
    EXPECT_EQ(pShirt->GetCurrentView(), pFront);
    EXPECT_TRUE(pFront->IsWindowVisible());
    EXPECT_FALSE(pShirt->IsModified());
    pShirt->OnCloseDocument();
    Pump();

    // A single page has nowhere to go.
    CDrawDoc* pPad = NewDesign(RUNTIME_CLASS(CMousepadDoc));
    ASSERT_NE(pPad, nullptr);
    EXPECT_EQ(EnabledState(pPad, ID_VIEW_NEXT_SURFACE), 0);
    EXPECT_EQ(EnabledState(pPad, ID_VIEW_PREV_SURFACE), 0);
    pPad->OnCloseDocument();
    Pump();
}

TEST_F(SurfacesTest, StrayObjectsMoveToTheShownSurfaceWithoutModifyingTheDesign)
{
    CDrawDoc* pDoc = NewDesign(RUNTIME_CLASS(CTovellDoc));
    ASSERT_NE(pDoc, nullptr);
    CSurface* pFront = ViewOf(pDoc, 0);
    CSurface* pBack = ViewOf(pDoc, 1);
    const CRect page = pBack->GetPageRect();

    auto* pStray = new CDrawRect(RightOf(page, 100, 100));
    auto* pFlat = new CDrawRect(RightOf(page, 100, 0), SHAPE_LINE); // no height: never a stray
    auto* pOverlapping = new CDrawRect(CRect(page.right - 10, page.top, page.right + 90, page.top - 100));
    for (CDrawRect* pObj : {pStray, pFlat, pOverlapping})
        pBack->Add(pObj);
    pDoc->SetCurrentSurface(1);
    pDoc->SetModifiedFlag(FALSE);

    pDoc->SetCurrentSurface(0);
    EXPECT_NE(pFront->GetObjects().Find(pStray), nullptr);
    EXPECT_EQ(pBack->GetObjects().Find(pStray), nullptr);
    EXPECT_EQ(pStray->m_pSurface, pFront);
    EXPECT_NE(pBack->GetObjects().Find(pFlat), nullptr);
    EXPECT_NE(pBack->GetObjects().Find(pOverlapping), nullptr);
    EXPECT_FALSE(pDoc->IsModified());

    // A modified design stays modified.
    auto* pSecond = new CDrawRect(RightOf(page, 50, 50));
    pFront->Remove(pStray);
    pBack->Add(pStray);
    pBack->Add(pSecond);
    pDoc->SetModifiedFlag(TRUE);
    pDoc->GatherStrayObjects(pFront);
    EXPECT_NE(pFront->GetObjects().Find(pSecond), nullptr);
    EXPECT_NE(pFront->GetObjects().Find(pStray), nullptr);
    EXPECT_TRUE(pDoc->IsModified());
}

TEST_F(SurfacesTest, PostersGetGuideLinesAtTheInnerTileBoundaries)
{
    CDrawDoc* pDoc = NewDesign(RUNTIME_CLASS(CGeneralDoc));
    ASSERT_NE(pDoc, nullptr);
    CSurface* pView = ViewOf(pDoc, 0);
    EXPECT_EQ(CountObjects(pView), 0); // one tile: no lines

    DocQuickInfo info = Layout(DOC_KIND_GENERAL);
    info[DocQuickInfo::TilesAcross] = 3;
    info[DocQuickInfo::TilesDown] = 2;
    info[DocQuickInfo::CardWidth] = 2400;
    info[DocQuickInfo::CardHeight] = 2200;
    pDoc->SetQuickInfo(info);
    pDoc->m_rectMargins = CRect(25, 25, 25, 25);
    pDoc->CreatePageGuideLines();
    pDoc->CreatePageGuideLines();

    const WORD wGuide = OBJ_FLAG_UNSELECTABLE | OBJ_FLAG_BACK_LAYER | OBJ_FLAG_GUIDE;
    ASSERT_EQ(CountObjects(pView), 3);
    EXPECT_EQ(CountObjects(pView, wGuide), 3);
    EXPECT_FALSE(pDoc->IsModified());

    const CRect page = pView->GetPageRect();
    std::vector<int> xs;
    std::vector<int> ys;
    const CObList& objects = pView->GetObjects();
    for (POSITION pos = objects.GetHeadPosition(); pos != nullptr;) {
        auto* pLine = dynamic_cast<CDrawRect*>(objects.GetNext(pos));
        ASSERT_NE(pLine, nullptr);
        EXPECT_EQ(pLine->m_nShape, SHAPE_LINE);
        if (pLine->m_position.left == pLine->m_position.right)
            xs.push_back(pLine->m_position.left);
        else
            ys.push_back(pLine->m_position.top);
    }
    std::sort(xs.begin(), xs.end());
    EXPECT_EQ(xs, (std::vector<int>{page.left + 25 + 800, page.left + 25 + 1600}));
    EXPECT_EQ(ys, (std::vector<int>{page.top - 25 - 1050}));

    // Back to one tile: the old lines go.
    pDoc->SetQuickInfo(Layout(DOC_KIND_GENERAL));
    pDoc->CreatePageGuideLines();
    EXPECT_EQ(CountObjects(pView), 0);
}

TEST_F(SurfacesTest, TilesLeaveOutObjectsOffTheCardAndClearTheMarkAfterwards)
{
    CDrawDoc* pDoc = NewDesign(RUNTIME_CLASS(CGiftTagDoc));
    ASSERT_NE(pDoc, nullptr);
    DocQuickInfo info = Layout(DOC_KIND_LABEL);
    info[DocQuickInfo::CardWidth] = 400;
    info[DocQuickInfo::CardHeight] = 200;
    info[DocQuickInfo::Tiled] = 1;
    // Stale counts: printing lays the cards out afresh (two across, five down).
    info[DocQuickInfo::CardsAcross] = 1;
    info[DocQuickInfo::CardsDown] = 1;
    pDoc->SetQuickInfo(info);
    pDoc->CreatePageGuideLines();
    pDoc->UpdatePrinterMetrics();
    CSurface* pView = ViewOf(pDoc, 0);
    ASSERT_EQ(pView->GetPageSize(), CSize(400, 200));

    const CRect page = pView->GetPageRect();
    auto* pInside = new CCountingRect(CRect(-50, 50, 50, -50));
    auto* pOff = new CCountingRect(RightOf(page, 40, 40));
    auto* pFlatOff = new CCountingRect(RightOf(page, 40, 0));
    for (CCountingRect* pObj : {pInside, pOff, pFlatOff})
        pView->Add(pObj);

    CClientDC screen(pView);
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(&screen));
    CBitmap bitmap;
    // A tenth of the size, so that every tile lands on the bitmap: the view
    // leaves out what lies outside the DC's clip box.
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 120, 140));
    CBitmap* pOld = dc.SelectObject(&bitmap);
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(100, -100);
    dc.SetViewportExt(10, 10);
    CPrintInfo printInfo;
    pDoc->DrawSurfaceTiles(&dc, &printInfo);
    dc.SelectObject(pOld);

    EXPECT_EQ(pDoc->m_nSurfacePass, 1);
    EXPECT_EQ(pInside->m_nDrawn, 10);
    EXPECT_EQ(pOff->m_nDrawn, 0);
    EXPECT_EQ(pFlatOff->m_nDrawn, 10);
    EXPECT_FALSE(pInside->m_wFlagsWhenDrawn & OBJ_FLAG_TILE_HIDDEN);
    // Card (column, row) has its centre 72 + 200 + 400 column across and
    // 53 + 100 + 200 row down the sheet; the DC starts at the 25 margin and
    // shows a tenth of a hundredth of an inch per pixel.
    ASSERT_EQ(pInside->m_centres.size(), 10u);
    for (int i = 0; i < 10; ++i) {
        const int nColumn = i % 2;
        const int nRow = i / 2;
        EXPECT_NEAR(pInside->m_centres[i].x, (72 + 200 + 400 * nColumn - 25) / 10.0, 1) << i;
        EXPECT_NEAR(pInside->m_centres[i].y, (53 + 100 + 200 * nRow - 25) / 10.0, 1) << i;
    }
    for (CCountingRect* pObj : {pInside, pOff, pFlatOff})
        EXPECT_FALSE(pObj->m_wFlags & OBJ_FLAG_TILE_HIDDEN);
    EXPECT_TRUE(g_rectDrawClip.IsRectEmpty());
    // An upright surface was drawn with y growing upwards.
    EXPECT_LT(dc.GetWindowExt().cy, 0);
}

TEST_F(SurfacesTest, APosterPagePrintsOnlyWhatLiesOnItsTile)
{
    CDrawDoc* pDoc = NewDesign(RUNTIME_CLASS(CGeneralDoc));
    ASSERT_NE(pDoc, nullptr);
    DocQuickInfo info = Layout(DOC_KIND_GENERAL);
    info[DocQuickInfo::TilesAcross] = 2;
    info[DocQuickInfo::CardWidth] = 1650; // two tiles overlapping by the margins
    pDoc->SetQuickInfo(info);
    pDoc->UpdatePrinterMetrics();
    ASSERT_EQ(pDoc->m_rectMargins, CRect(25, 25, 25, 25));
    CSurface* pView = ViewOf(pDoc, 0);
    ASSERT_EQ(pView->GetPageSize(), CSize(1600, 1100));

    // The surface runs from -800 to 800; the first tile prints -775..25,
    // the second 25..825.
    auto* pLeft = new CCountingRect(CRect(-500, 100, -400, 0));
    auto* pRight = new CCountingRect(CRect(400, 100, 500, 0));
    pView->Add(pLeft);
    pView->Add(pRight);

    CClientDC screen(pView);
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(&screen));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 100, 120));
    CBitmap* pOld = dc.SelectObject(&bitmap);
    for (UINT nPage : {1u, 2u}) {
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(100, -100);
        dc.SetViewportExt(10, 10);
        CPrintInfo printInfo;
        printInfo.m_nCurPage = nPage;
        pDoc->DrawSurfaceTiles(&dc, &printInfo);
    }
    dc.SelectObject(pOld);

    ASSERT_EQ(pLeft->m_centres.size(), 1u);
    ASSERT_EQ(pRight->m_centres.size(), 1u);
    // Each lands on its own sheet where the sheet shows it: the left object
    // 325 from the first sheet's printable edge, the right one 425 from the
    // second's.
    EXPECT_NEAR(pLeft->m_centres[0].x, 32.5, 1);
    EXPECT_NEAR(pRight->m_centres[0].x, 42.5, 1);
    EXPECT_NEAR(pLeft->m_centres[0].y, (550 - 50 - 25) / 10.0, 1);
}

TEST_F(SurfacesTest, ATurnedBackIsPrintedUpsideDown)
{
    thePrintPrefs.Printing = 0; // the shirt's landscape back is turned
    CDrawDoc* pDoc = NewDesign(RUNTIME_CLASS(CTovellDoc));
    ASSERT_NE(pDoc, nullptr);
    DocQuickInfo info = Layout(DOC_KIND_SHIRT);
    info[DocQuickInfo::Orientation] = 0;
    info[DocQuickInfo::CardWidth] = 400;
    info[DocQuickInfo::CardHeight] = 300;
    pDoc->SetQuickInfo(info);
    pDoc->CreatePageGuideLines();
    pDoc->UpdatePrinterMetrics();
    ASSERT_EQ(pDoc->GetSurfaceInfo(1)->m_nAngle, 180);
    ASSERT_EQ(pDoc->m_rectMargins, CRect(25, 25, 25, 25));

    // Both objects lie in the upper left quarter of their surface.
    auto* pFront = new CCountingRect(CRect(-110, 85, -90, 65));
    auto* pBack = new CCountingRect(CRect(-110, 85, -90, 65));
    ViewOf(pDoc, 0)->Add(pFront);
    ViewOf(pDoc, 1)->Add(pBack);

    CClientDC screen(ViewOf(pDoc, 0));
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(&screen));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 120, 100));
    CBitmap* pOld = dc.SelectObject(&bitmap);
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(100, -100);
    dc.SetViewportExt(10, 10);
    CPrintInfo printInfo;
    pDoc->DrawSurfaceTiles(&dc, &printInfo);
    dc.SelectObject(pOld);

    EXPECT_EQ(pDoc->m_nSurfacePass, 2);
    ASSERT_EQ(pFront->m_centres.size(), 1u);
    ASSERT_EQ(pBack->m_centres.size(), 1u);
    // The card's corner sits at the printable area's corner (the 25 margin).
    EXPECT_NEAR(pFront->m_centres[0].x, (100 - 25) / 10.0, 1);
    EXPECT_NEAR(pFront->m_centres[0].y, (75 - 25) / 10.0, 1);
    // The back's upper left quarter comes out at the lower right.
    EXPECT_NEAR(pBack->m_centres[0].x, (300 - 25) / 10.0, 1);
    EXPECT_NEAR(pBack->m_centres[0].y, (225 - 25) / 10.0, 1);
}

TEST_F(SurfacesTest, ClosingALogoDesignRunsTheLogoCommandAgain)
{
    CDrawDoc* pDoc = NewDesign(RUNTIME_CLASS(CGeneralDoc));
    ASSERT_NE(pDoc, nullptr);
    pDoc->SetTitle("(Logo) Acme");
    pDoc->OnCloseDocument();

    std::vector<WPARAM> commands;
    MSG msg;
    while (::PeekMessage(&msg, m_pMain->GetSafeHwnd(), WM_COMMAND, WM_COMMAND, PM_REMOVE))
        commands.push_back(msg.wParam);
    EXPECT_NE(std::find(commands.begin(), commands.end(), WPARAM(33211)), commands.end());
    EXPECT_NE(std::find(commands.begin(), commands.end(), WPARAM(32894)), commands.end());
}

} // namespace
} // namespace modeltest
