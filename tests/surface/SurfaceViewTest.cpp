// The surface view's own behaviour: its start state, the update hints on a
// visible and a hidden view, the selection with groups, removal, object
// invalidation and the redraw commands.
#include "tests/surface/SurfaceTestSupport.h"
#include "tests/surface/SurfaceMainFrameFixture.h"

#include "app/main/DesignerApp.h"
#include "app/main/MainFrame.h"
#include "app/main/MainToolBars.h"
#include "model/ObjectAttributes.h"
#include "surface/SurfaceBackground.h"
#include "surface/SurfaceTool.h"
#include "model/DrawOleObj.h"
#include "platform/framework/Afx.h"

namespace surfacetest {
namespace {

class SurfaceViewTest : public SurfaceTest {
protected:
    void SetUp() override
    {
        SurfaceTest::SetUp();
        m_savedFlags = thePrefs.Flags;
        m_savedGrid = thePrefs.GridSpacing;
        thePrefs.Flags = 0;
        m_pDoc = NewDesign();
        ASSERT_NE(m_pDoc, nullptr);
        m_pView = FirstView(m_pDoc);
        ASSERT_NE(m_pView, nullptr);
        m_pDoc->SetZoom(100);
        SetClientSize(m_pView, 700, 600);
    }

    void TearDown() override
    {
        thePrefs.Flags = m_savedFlags;
        thePrefs.GridSpacing = m_savedGrid;
        SurfaceTest::TearDown();
    }

    CDrawObj* AddObject(const CRect& rect, WORD wGroup = 0)
    {
        auto* pObj = new CDrawObj(rect);
        pObj->m_wObjectWord = wGroup;
        m_pView->Add(pObj);
        return pObj;
    }

    // The view's pending update area after an action, starting from none.
    template <typename Action>
    CRect InvalidatedBy(Action action)
    {
        Pump();
        m_pView->ValidateRect(NULL);
        action();
        CRect rect;
        m_pView->GetUpdateRect(&rect, FALSE);
        return rect;
    }

    // The WM_SURFACE_SELCHANGED messages waiting for the main window,
    // taken off the queue, by wParam.
    std::vector<WPARAM> TakeSelChanged()
    {
        std::vector<WPARAM> values;
        MSG msg;
        while (::PeekMessage(&msg, m_pMain->m_hWnd, WM_SURFACE_SELCHANGED, WM_SURFACE_SELCHANGED, PM_REMOVE))
            values.push_back(msg.wParam);
        return values;
    }

    // Whether a WM_COMMAND with this id waits for the view.
    BOOL TakeCommand(UINT nID)
    {
        BOOL bFound = FALSE;
        MSG msg;
        while (::PeekMessage(&msg, m_pView->m_hWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE))
            bFound = bFound || LOWORD(msg.wParam) == nID;
        return bFound;
    }

    CDrawDoc* m_pDoc = nullptr;
    CSurface* m_pView = nullptr;
    WORD m_savedFlags = 0;
    int m_savedGrid = 0;
};

TEST_F(SurfaceViewTest, StartsWithItsDocumentedStateAndALabelFont)
{
    CSurface* pLoose = static_cast<CSurface*>(RUNTIME_CLASS(CSurface)->CreateObject());
    EXPECT_EQ(pLoose->m_flags, CSurface::SurfaceObjectsInvalidate);
    EXPECT_EQ(pLoose->GetZoom(), 100);
    EXPECT_EQ(pLoose->GetPageSize(), CSize(850, 1100));
    EXPECT_TRUE(pLoose->m_bRotateMode);
    EXPECT_EQ(pLoose->m_nClickCount, 0);
    EXPECT_FALSE(pLoose->IsActiveView());
    EXPECT_TRUE(pLoose->m_workRect.IsRectNull());
    EXPECT_EQ(pLoose->m_maxWorkSize, CSize(0, 0));
    EXPECT_EQ(pLoose->GetDocument(), nullptr);
    // The document override stands for the view's own document.
    pLoose->m_pDocOverride = m_pDoc;
    EXPECT_EQ(pLoose->GetDocument(), m_pDoc);
    delete pLoose;

    // A created view has its label font.
    ASSERT_NE(m_pView->m_labelFont.GetSafeHandle(), nullptr);
    LOGFONT lf{};
    m_pView->m_labelFont.GetLogFont(&lf);
    EXPECT_EQ(lf.lfHeight, -6);
    EXPECT_EQ(lf.lfWeight, 400);
    // The view's window class takes double clicks.
    EXPECT_NE(::GetClassLongPtr(m_pView->m_hWnd, GCL_STYLE) & CS_DBLCLKS, 0u);
}

TEST_F(SurfaceViewTest, HiddenViewsIgnoreTheHintsOnlyVisibleViewsAnswer)
{
    CDrawObj* pObj = AddObject(CRect(-50, 50, 50, -50));
    m_pView->Select(pObj);
    CObList list;
    list.AddTail(pObj);
    const struct {
        LPARAM lHint;
        CObject* pHint;
        BOOL bVisibleOnly;
    } hints[] = {
        {0, nullptr, TRUE},  {1, pObj, TRUE},    {2, nullptr, TRUE},  {5, nullptr, TRUE},
        {9, nullptr, FALSE}, {10, nullptr, TRUE}, {11, nullptr, TRUE}, {14, nullptr, FALSE},
        {16, nullptr, FALSE},
    };
    for (BOOL bVisible : {TRUE, FALSE}) {
        m_pView->ShowWindow(bVisible ? SW_SHOW : SW_HIDE);
        const WORD wZoom = m_pView->GetZoom();
        for (const auto& hint : hints) {
            // Hints 5, 14 and 16 redraw at once and leave nothing to paint;
            // a hidden window keeps no area to paint at all.
            const BOOL bRedrawsAtOnce = hint.lHint == 5 || hint.lHint == 14 || hint.lHint == 16;
            const CRect rect = InvalidatedBy([&] { m_pDoc->UpdateAllViews(nullptr, hint.lHint, hint.pHint); });
            const BOOL bExpected = bVisible && !bRedrawsAtOnce;
            EXPECT_EQ(!rect.IsRectEmpty(), bExpected) << "hint " << hint.lHint << (bVisible ? " visible" : " hidden");
        }
        // A zoom changed behind the views' back reaches a visible view only.
        m_pDoc->m_nZoom = static_cast<WORD>(wZoom + 1);
        m_pDoc->UpdateAllViews(nullptr, CSurface::HintDocSettings);
        EXPECT_EQ(m_pView->GetZoom(), bVisible ? wZoom + 1 : wZoom);
        m_pDoc->m_nZoom = wZoom;
        m_pDoc->UpdateAllViews(nullptr, CSurface::HintPaperColor);
        // The preferences reach a hidden view as well.
        thePrefs.Flags = 0x0020 | 0x0200;
        m_pDoc->m_wDocFlags = 0;
        m_pDoc->UpdateAllViews(nullptr, CSurface::HintPreferences);
        EXPECT_EQ(m_pDoc->m_wDocFlags, 0x0400);
        // Hint 3 takes the listed objects off a visible view only.
        m_pDoc->UpdateAllViews(nullptr, CSurface::HintRemove, &list);
        EXPECT_EQ(m_pView->GetObjects().Find(pObj) == NULL, bVisible);
        if (bVisible) {
            EXPECT_FALSE(m_pView->IsSelected(pObj));
            EXPECT_EQ(pObj->m_pSurface, nullptr);
            m_pView->Add(pObj); // back for the hidden round
            m_pView->Select(pObj);
        }
    }
    m_pView->ShowWindow(SW_SHOW);

    // Hint 3 with the selection as its list does nothing.
    m_pDoc->UpdateAllViews(nullptr, CSurface::HintRemove, &m_pView->GetSelection());
    EXPECT_NE(m_pView->GetObjects().Find(pObj), nullptr);
    EXPECT_TRUE(m_pView->IsSelected(pObj));
}

TEST_F(SurfaceViewTest, PreferencesHintCopiesTheGridAndUnitSettingsIntoTheDesign)
{
    const struct {
        WORD wPrefFlags;
        int nGrid;
        WORD wExpected;
    } cases[] = {
        {0x0000, 2500, 0x0100},                  // centimetres: metric rulers
        {0x0200, -2500, 0x0000},                 // inches
        {0x0020, 1250, 0x0400 | 0x0100},         // grid shown
        {0x0008 | 0x0200, 5000, 0x0001},         // snap to grid
        {0x0020 | 0x0008 | 0x0200, -750, 0x0401},
    };
    for (const auto& c : cases) {
        thePrefs.Flags = c.wPrefFlags;
        thePrefs.GridSpacing = c.nGrid;
        // Other bits of the design's word stay as they were.
        m_pDoc->m_wDocFlags = 0x0200 | 0x0100 | 0x0001 | 0x0400;
        m_pDoc->SetModifiedFlag(FALSE);
        m_pView->ShowWindow(SW_HIDE); // hidden views take it too
        m_pDoc->UpdateAllViews(nullptr, CSurface::HintPreferences);
        EXPECT_EQ(m_pDoc->m_wDocFlags, 0x0200 | c.wExpected) << std::hex << c.wPrefFlags;
        EXPECT_EQ(m_pDoc->GetGridSpacing(), std::abs(c.nGrid));
        EXPECT_TRUE(m_pDoc->IsModified());
    }
}

TEST_F(SurfaceViewTest, SelectTakesWholeGroupsAndTellsTheMainWindow)
{
    CDrawObj* pA = AddObject(CRect(0, 10, 10, 0), 3);
    CDrawObj* pB = AddObject(CRect(20, 10, 30, 0), 3);
    CDrawObj* pC = AddObject(CRect(40, 10, 50, 0));
    CDrawObj* pFixed = AddObject(CRect(60, 10, 70, 0), 3);
    pFixed->m_wFlags |= OBJ_FLAG_UNSELECTABLE;
    TakeSelChanged();

    m_pView->Select(pB);
    EXPECT_EQ(m_pView->GetSelection().GetCount(), 2);
    EXPECT_TRUE(m_pView->IsSelected(pA));
    EXPECT_FALSE(m_pView->IsSelected(pFixed));
    EXPECT_EQ(m_pView->GetFirstSelected(), pB);
    EXPECT_EQ(m_pView->m_pCurrentObject, pB);
    EXPECT_EQ(TakeSelChanged(), std::vector<WPARAM>{7});

    m_pView->Select(pC, TRUE);
    EXPECT_EQ(m_pView->GetSelection().GetCount(), 3);
    // Selecting again does not add twice.
    m_pView->Select(pC, TRUE);
    EXPECT_EQ(m_pView->GetSelection().GetCount(), 3);

    // Deselecting one member takes its whole group off.
    m_pView->Deselect(pA);
    EXPECT_EQ(m_pView->GetSelection().GetCount(), 1);
    EXPECT_TRUE(m_pView->IsSelected(pC));

    // Without bAdd the selection is replaced; NULL and unselectable objects
    // only clear it.
    m_pView->Select(pA);
    EXPECT_EQ(m_pView->GetSelection().GetCount(), 2);
    m_pView->Select(pFixed);
    EXPECT_TRUE(m_pView->GetSelection().IsEmpty());
    m_pView->Select(pA);
    m_pView->Select(nullptr);
    EXPECT_TRUE(m_pView->GetSelection().IsEmpty());
    EXPECT_EQ(m_pView->GetFirstSelected(), nullptr);
    EXPECT_EQ(m_pView->m_pCurrentObject, nullptr);

    // An object of no view is never selected.
    CDrawObj loose(CRect(0, 10, 10, 0));
    m_pView->Select(&loose);
    EXPECT_TRUE(m_pView->GetSelection().IsEmpty());
}

TEST_F(SurfaceViewTest, RemoveLeavesAnotherViewsObjectAlone)
{
    CDrawDoc* pDoc = NewDesign(AddShirtTemplate());
    ASSERT_NE(pDoc, nullptr);
    CSurface* pFront = pDoc->GetSurfaceView(0);
    CSurface* pBack = pDoc->GetSurfaceView(1);
    ASSERT_NE(pBack, nullptr);
    auto* pObj = new CDrawObj(CRect(0, 10, 10, 0));
    pFront->Add(pObj);
    pFront->Select(pObj);

    pBack->Remove(pObj);
    EXPECT_NE(pFront->GetObjects().Find(pObj), nullptr);
    EXPECT_EQ(pObj->m_pSurface, pFront);
    EXPECT_TRUE(pFront->IsSelected(pObj));

    // Hint 3 reaches both views; only the front takes it off.
    CObList list;
    list.AddTail(pObj);
    pDoc->UpdateAllViews(nullptr, CSurface::HintRemove, &list);
    EXPECT_EQ(pFront->GetObjects().Find(pObj), nullptr);
    EXPECT_EQ(pObj->m_pSurface, nullptr);
    EXPECT_TRUE(pDoc->IsModified());
    delete pObj;
}

TEST_F(SurfaceViewTest, ObjectInvalidationCoversTheObjectAndWhileAFullRedrawIsPendingItsOwnPlaceAlone)
{
    CDrawObj* pObj = AddObject(CRect(-20, 20, 20, -20));
    CRect client;
    m_pView->GetClientRect(&client);
    CRect object = pObj->m_position;
    m_pView->LPtoDPRect(&object);

    const CRect rect = InvalidatedBy([&] { m_pView->InvalidateObjectRect(pObj); });
    CRect inside;
    EXPECT_TRUE(inside.IntersectRect(&rect, &object));
    EXPECT_EQ(inside, object);
    EXPECT_NE(rect, client);

    // While a full redraw is pending the object's own place is enough; the
    // redraw at the end of the drag takes the rest.
    m_pView->RequestRedraw();
    ASSERT_NE(m_pView->m_flags & CSurface::SurfaceRedrawPending, 0);
    const CRect pending = InvalidatedBy([&] { m_pView->InvalidateObjectRect(pObj); });
    EXPECT_TRUE(inside.IntersectRect(&pending, &object));
    EXPECT_EQ(inside, object);
    CRect near = object;
    near.InflateRect(3, 3);
    EXPECT_TRUE(inside.IntersectRect(&pending, &near));
    EXPECT_EQ(inside, pending);
    m_pView->FlushRedraw();
    EXPECT_EQ(m_pView->m_flags & CSurface::SurfaceRedrawPending, 0);
    // Flushing painted at once: nothing is left to paint.
    CRect after;
    m_pView->GetUpdateRect(&after, FALSE);
    EXPECT_TRUE(after.IsRectEmpty());

    // The preference against deferred redraws clears the request.
    thePrefs.Flags = 0x4000;
    m_pView->RequestRedraw();
    EXPECT_EQ(m_pView->m_flags & CSurface::SurfaceRedrawPending, 0);
}

TEST_F(SurfaceViewTest, DeactivationAbandonsACropAndScrollingAtLargeZoomsRedrawsAll)
{
    CSurfaceFrame* pFrame = FrameOf(m_pDoc);
    ASSERT_NE(pFrame, nullptr);
    ASSERT_TRUE(m_pView->IsActiveView());
    TakeCommand(0);
    // A second design takes the activation away; the command is posted,
    // so it waits until the loop runs.
    auto* pOther = static_cast<CDrawDoc*>(m_pTemplate->OpenDocumentFile(NULL));
    ASSERT_NE(pOther, nullptr);
    EXPECT_FALSE(m_pView->IsActiveView());
    EXPECT_TRUE(TakeCommand(ID_EDIT_UNDO_CROP));
    Pump();

    CSurface* pView = FirstView(pOther);
    pOther->SetZoom(200);
    SetClientSize(pView, 300, 300);
    TakeCommand(0);
    pView->SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_GT(pView->GetScrollPosition().y, 0);
    MSG msg;
    BOOL bRedraw = FALSE;
    while (::PeekMessage(&msg, pView->m_hWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE))
        bRedraw = bRedraw || LOWORD(msg.wParam) == CSurface::kCmdRedrawAll;
    EXPECT_TRUE(bRedraw);
    pOther->SetZoom(100);
    pView->SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    bRedraw = FALSE;
    while (::PeekMessage(&msg, pView->m_hWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE))
        bRedraw = bRedraw || LOWORD(msg.wParam) == CSurface::kCmdRedrawAll;
    EXPECT_FALSE(bRedraw);
    (void)pFrame;
}

TEST_F(SurfaceViewTest, RedrawCommandsRepaintAndEndTheDrawingLock)
{
    CDesignerApp* pApp = GetDesignerApp();
    Pump();
    m_pView->ValidateRect(NULL);
    m_pView->SendMessage(WM_COMMAND, CSurface::kCmdRedrawAll, 0);
    // Redrawn at once: nothing waits.
    CRect rect;
    m_pView->GetUpdateRect(&rect, FALSE);
    EXPECT_TRUE(rect.IsRectEmpty());
    if (pApp == nullptr)
        return;
    pApp->LockMainWindowUpdate();
    pApp->LockMainWindowUpdate();
    m_pView->SendMessage(WM_COMMAND, ID_VIEW_REDRAW_ALL, 0);
    EXPECT_EQ(pApp->GetLockCount(), 0);
}

TEST_F(SurfaceViewTest, CombinedFlagsAreTheInformationFieldsOfAllObjects)
{
    WORD wFlags = 0xFFFF;
    m_pView->GetCombinedObjectFlags(&wFlags);
    EXPECT_EQ(wFlags, 0);
    CDrawObj* pA = AddObject(CRect(0, 10, 10, 0));
    CDrawObj* pB = AddObject(CRect(0, 10, 10, 0));
    pA->SetInfoField(2);
    pB->SetInfoField(5);
    // The object flags themselves do not count.
    pA->m_wFlags |= OBJ_FLAG_NATURAL_SIZE | OBJ_FLAG_DRAGGING;
    CObjectAttributes attrs;
    pA->GetAttributes(attrs);
    m_pView->GetCombinedObjectFlags(&wFlags);
    EXPECT_EQ(wFlags, pA->m_wExtraFlags | pB->m_wExtraFlags);
    EXPECT_EQ(wFlags, (1 << 1) | (1 << 4));
}

TEST_F(SurfaceViewTest, CancellingACropReturnsToTheSelectionTool)
{
    CDrawObj* pObj = AddObject(CRect(0, 10, 10, 0));
    m_pView->Select(pObj);
    g_nCurrentShape = kShapeCrop;
    // Not being cropped: nothing happens.
    m_pView->CancelCrop(pObj);
    EXPECT_EQ(g_nCurrentShape, kShapeCrop);
    pObj->m_bCropMode = TRUE;
    m_pView->RequestRedraw();
    m_pView->SetCapture();
    m_pView->CancelCrop(pObj);
    EXPECT_FALSE(pObj->m_bCropMode);
    EXPECT_EQ(g_nCurrentShape, kShapeSelect);
    EXPECT_EQ(m_pView->m_flags & CSurface::SurfaceRedrawPending, 0);
    EXPECT_EQ(::GetCapture(), static_cast<HWND>(NULL));
}

TEST_F(SurfaceViewTest, AStoredBackgroundPictureThatHasGoneLeavesTheColour)
{
    CWinApp* pApp = AfxGetApp();
    pApp->WriteProfileInt("Preferences", "BkgOpt", 0);
    pApp->WriteProfileString("Preferences", "BkgImg", "C:\\no\\such\\picture.bmp");
    thePrefs.BkgClr = RGB(10, 20, 30);
    CDrawDoc* pDoc = NewDesign();
    ASSERT_NE(pDoc, nullptr);
    EXPECT_EQ(g_surfaceBackground.GetColor(), RGB(10, 20, 30));
    EXPECT_TRUE(g_surfaceBackground.GetPathName().IsEmpty());
    EXPECT_EQ(g_surfaceBackground.GetBitmapSize().cx, 0);
    thePrefs.BkgClr = CPrefData::kDefaultBkgClr;
    pApp->WriteProfileInt("Preferences", "BkgOpt", 1);
}

// The real main frame, for its zoom combo.
class SurfaceZoomComboChangeTest : public SurfaceMainFrameTest {
protected:
    // The user picks an entry of the combo.
    void Pick(int nEntry)
    {
        CZoomToolBar* pBar = m_pMain->GetStandardBar();
        pBar->GetZoomCombo().SetCurSel(nEntry);
        pBar->SendMessage(WM_COMMAND, MAKEWPARAM(ID_VIEW_ZOOM_COMBO, CBN_SELCHANGE),
            reinterpret_cast<LPARAM>(pBar->GetZoomCombo().m_hWnd));
        Pump();
    }
};

TEST_F(SurfaceZoomComboChangeTest, OnlyAChangedEntrySendsItsCommand)
{
    ASSERT_NE(m_pMain->GetStandardBar(), nullptr);
    CComboBox& combo = m_pMain->GetStandardBar()->GetZoomCombo();
    auto* pDoc = static_cast<CDrawDoc*>(m_pTemplate->OpenDocumentFile(NULL));
    ASSERT_NE(pDoc, nullptr);
    Pump();
    ASSERT_EQ(pDoc->GetZoom(), ZOOM_FIT);
    ASSERT_EQ(combo.GetCurSel(), kZoomFit);
    // Picking "Fit in Window" while fitted is no change: fitting stays on.
    Pick(kZoomFit);
    EXPECT_EQ(pDoc->GetZoom(), ZOOM_FIT);
    Pick(kZoom50);
    EXPECT_EQ(pDoc->GetZoom(), 50);
    Pick(kZoom50);
    EXPECT_EQ(pDoc->GetZoom(), 50);
    // Fit in Window from the combo is the menu's toggle: on, and the menu
    // command switches it off again back to 50 %.
    Pick(kZoomFit);
    EXPECT_EQ(pDoc->GetZoom(), ZOOM_FIT);
    EXPECT_EQ(combo.GetCurSel(), kZoomFit);
    m_pMain->SendMessage(WM_COMMAND, ID_VIEW_ZOOM_FIT, 0);
    EXPECT_EQ(pDoc->GetZoom(), 50);
    EXPECT_EQ(combo.GetCurSel(), kZoom50);
}

} // namespace
} // namespace surfacetest
