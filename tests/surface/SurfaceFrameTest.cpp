#include "tests/surface/SurfaceTestSupport.h"

#include "surface/ToolpadBar.h"

namespace surfacetest {
namespace {

using SurfaceFrameTest = SurfaceTest;

TEST_F(SurfaceFrameTest, IdleRefreshReachesTheMainWindowOnlyWithAVisibleDesignView)
{
    CDrawDoc* pDoc = NewDesign();
    CSurfaceFrame* pFrame = FrameOf(pDoc);
    ASSERT_NE(pFrame, nullptr);
    ASSERT_EQ(pFrame->GetActiveSurface(), FirstView(pDoc));
    m_pMain->m_messages.clear();

    EXPECT_EQ(pFrame->SendMessage(WM_TW_IDLE_REFRESH, 0, 5), 0);
    EXPECT_EQ(m_pMain->Count(WM_SURFACE_SELCHANGED), 1);

    // A hidden design view: nothing to refresh.
    FirstView(pDoc)->ShowWindow(SW_HIDE);
    EXPECT_EQ(pFrame->SendMessage(WM_TW_IDLE_REFRESH, 0, 5), 0);
    EXPECT_EQ(m_pMain->Count(WM_SURFACE_SELCHANGED), 1);

    // No active view at all.
    FirstView(pDoc)->ShowWindow(SW_SHOW);
    pFrame->SetActiveView(nullptr);
    EXPECT_EQ(pFrame->SendMessage(WM_TW_IDLE_REFRESH, 0, 5), 0);
    EXPECT_EQ(m_pMain->Count(WM_SURFACE_SELCHANGED), 1);

    // Saving through the frame is not there yet and says so by doing nothing.
    EXPECT_EQ(pFrame->SendMessage(WM_TW_DOC_SAVE, 0, 0), 0);
}

TEST_F(SurfaceFrameTest, ToolPadShowsWithDesignsWhenWantedAndHidesWithTheLast)
{
    // Without the user's tool pad setting a design does not ask for it.
    CDrawDoc* pFirst = NewDesign();
    EXPECT_EQ(m_pMain->Count(WM_TW_SHOW_TOOLPAD), 0);
    pFirst->OnCloseDocument();
    Pump();
    EXPECT_EQ(m_pMain->Count(WM_TW_HIDE_TOOLPAD), 1);
    m_pMain->m_messages.clear();

    thePrefs.AddlFlags |= PREF_ADDL_TOOL_PAD;
    CDrawDoc* pOne = NewDesign();
    CDrawDoc* pTwo = NewDesign();
    EXPECT_EQ(m_pMain->Count(WM_TW_SHOW_TOOLPAD), 2);
    // Closing one of two designs keeps the tool pad.
    pOne->OnCloseDocument();
    Pump();
    EXPECT_EQ(m_pMain->Count(WM_TW_HIDE_TOOLPAD), 0);
    pTwo->OnCloseDocument();
    Pump();
    EXPECT_EQ(m_pMain->Count(WM_TW_HIDE_TOOLPAD), 1);
}

TEST_F(SurfaceFrameTest, FittedPageFollowsMaximiseMinimiseAndRestore)
{
    CDrawDoc* pDoc = NewDesign();
    CSurfaceFrame* pFrame = FrameOf(pDoc);
    CSurface* pView = FirstView(pDoc);
    ASSERT_NE(pFrame, nullptr);
    ASSERT_EQ(pDoc->GetZoom(), ZOOM_FIT);
    SetClientSize(pView, 300, 200);
    const WORD nSmall = pView->GetZoom();
    EXPECT_EQ(nSmall, pView->CalcFitZoom());

    m_pMain->MDIMaximize(pFrame);
    Pump();
    EXPECT_TRUE(pFrame->IsZoomed());
    EXPECT_GT(pView->GetZoom(), nSmall);
    EXPECT_EQ(pView->GetZoom(), pView->CalcFitZoom());

    // An icon has no room for the page; the zoom stays usable all the same.
    pFrame->ShowWindow(SW_MINIMIZE);
    Pump();
    EXPECT_TRUE(pFrame->IsIconic());
    EXPECT_GE(pView->GetZoom(), 1);
    EXPECT_LE(pView->GetZoom(), CSurface::kMaxZoom);

    m_pMain->MDIRestore(pFrame);
    Pump();
    EXPECT_FALSE(pFrame->IsIconic());
    EXPECT_EQ(pView->GetZoom(), pView->CalcFitZoom());
    m_pMain->MDIRestore(pFrame);
    Pump();
    EXPECT_FALSE(pFrame->IsZoomed());
    EXPECT_EQ(pView->GetZoom(), nSmall);
}

TEST_F(SurfaceFrameTest, RulersFollowTheDocumentAndThePreference)
{
    CDrawDoc* pDoc = NewDesign();
    CSurfaceFrame* pFrame = FrameOf(pDoc);
    pDoc->m_wDocFlags |= DOC_FLAG_RULERS;
    pFrame->UpdateRulers(TRUE);
    EXPECT_TRUE(pFrame->AreRulersMetric());
    pDoc->m_wDocFlags &= ~DOC_FLAG_RULERS;
    pFrame->UpdateRulers(FALSE);
    EXPECT_FALSE(pFrame->AreRulersMetric());

    // Turning the rulers on in the preferences shows them in the next
    // design window that becomes active.
    thePrefs.AddlFlags |= PREF_ADDL_RULERS;
    CDrawDoc* pOther = NewDesign();
    EXPECT_TRUE(FrameOf(pOther)->AreRulersShown());
    thePrefs.AddlFlags &= ~PREF_ADDL_RULERS;
    m_pMain->MDIActivate(pFrame);
    Pump();
    EXPECT_FALSE(pFrame->AreRulersShown());
}

TEST_F(SurfaceFrameTest, ActivateViewMakesTheSurfaceActive)
{
    CDrawDoc* pDoc = NewDesign(AddShirtTemplate());
    CSurfaceFrame* pFrame = FrameOf(pDoc);
    CSurface* pBack = pDoc->GetSurfaceView(1);
    ASSERT_NE(pBack, nullptr);
    pFrame->ActivateView(pBack);
    EXPECT_EQ(pFrame->GetActiveView(), pBack);
    pFrame->ActivateView(nullptr);
    EXPECT_EQ(pFrame->GetActiveView(), pBack);
}

TEST_F(SurfaceFrameTest, ToolPadShowsToolsUntilSomethingIsSelected)
{
    CToolpadBar bar;
    ASSERT_TRUE(bar.Create(m_pMain));
    EXPECT_EQ(bar.GetDlgCtrlID(), int(AFX_IDW_TOOLPAD));
    EXPECT_EQ(bar.SendMessage(WM_QUERYNEWPALETTE, 0, 0), 0);
    EXPECT_EQ(bar.SendMessage(WM_PALETTECHANGED, 0, 0), 0);

    // The idle update leaves the bar's own lists usable although no
    // command handler updates them.
    bar.OnUpdateCmdUI(m_pMain, TRUE);
    EXPECT_TRUE(bar.GetToolList()->IsWindowEnabled());
    EXPECT_TRUE(bar.GetSelectionList()->IsWindowEnabled());

    // No design: the tools, with the selection tool highlighted.
    bar.UpdateToolpad();
    ASSERT_EQ(bar.GetVisibleList(), bar.GetToolList());
    EXPECT_TRUE(bar.GetToolList()->IsWindowVisible() || !bar.IsWindowVisible());
    const int nSel = bar.GetToolList()->GetCurSel();
    ASSERT_GE(nSel, 0);
    EXPECT_EQ(int(bar.GetToolList()->GetItemData(nSel)), kShapeSelect);

    // Choosing a tool makes it current.
    bar.GetToolList()->SetCurSel(1);
    bar.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TOOLPAD_TOOLS, LBN_SELCHANGE),
        LPARAM(bar.GetToolList()->m_hWnd));
    EXPECT_EQ(g_nCurrentShape, int(bar.GetToolList()->GetItemData(1)));
    EXPECT_NE(g_nCurrentShape, kShapeSelect);

    // A selection in the active design switches to its actions.
    CDrawDoc* pDoc = NewDesign();
    CSurface* pView = FirstView(pDoc);
    auto* pObj = new CCountingObj(CRect(-10, 10, 10, -10));
    pView->Add(pObj);
    pView->Select(pObj);
    bar.UpdateToolpad();
    EXPECT_TRUE(bar.IsShowingSelection());
    EXPECT_EQ(bar.GetVisibleList(), bar.GetSelectionList());
    EXPECT_GT(bar.GetSelectionList()->GetCount(), 0);

    pView->Select(nullptr);
    bar.UpdateToolpad();
    EXPECT_EQ(bar.GetVisibleList(), bar.GetToolList());
    bar.DestroyWindow();
}

} // namespace
} // namespace surfacetest
