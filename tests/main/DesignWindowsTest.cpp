// What a new user sees around a new design: the units the rulers count in,
// the tool pad and the status bar after Print Preview, and where the
// floating tool pad first shows.

#include "MainFrameTestSupport.h"

#include "app/PrefData.h"
#include "app/main/DesignerApp.h"
#include "model/DrawDoc.h"
#include "platform/framework/Preview.h"
#include "resources/resource.h"
#include "surface/RulerBar.h"
#include "surface/Surface.h"
#include "surface/SurfaceFrame.h"
#include "surface/ToolpadBar.h"
#include "tests/support/CommandProbe.h"

#include <string>

namespace {

using mainframetest::MainFrameTest;

class DesignWindowsTest : public MainFrameTest {
protected:
    // A blank shirt through the launcher; its frame.
    CSurfaceFrame* NewShirt(CMainFrame* pFrame)
    {
        ChooseBlankDesign(0);
        m_app->OnFileNew();
        AfxPumpMessagesUntilIdle();
        CFrameWnd* pChild = pFrame->GetActiveFrame();
        if (pChild == pFrame || !pChild->IsKindOf(RUNTIME_CLASS(CSurfaceFrame)))
            return nullptr;
        return static_cast<CSurfaceFrame*>(pChild);
    }

    static CDrawDoc* DocOf(CSurfaceFrame* pChild) { return dynamic_cast<CDrawDoc*>(pChild->GetActiveDocument()); }

    // The pumped messages, then what the application does when it waits.
    void Settle()
    {
        AfxPumpMessagesUntilIdle();
        for (LONG lCount = 0; m_app->OnIdle(lCount); ++lCount) {
        }
    }

    // On the screen: the bar's window and, floating, its frame's.
    static bool Shown(CToolpadBar* pPad)
    {
        CFrameWnd* pFloat = pPad->GetParentFrame();
        return pPad->IsWindowVisible() && pFloat != nullptr && pFloat->IsWindowVisible();
    }
};

TEST_F(DesignWindowsTest, NewDesignsCountInTheUnitsChosenInPreferences)
{
    CMainFrame* pFrame = StartFrame();
    ASSERT_NE(pFrame, nullptr);
    g_bSignedIn = TRUE;
    for (BOOL bInches : {TRUE, FALSE, TRUE}) {
        SCOPED_TRACE(bInches ? "inches" : "centimetres");
        if (bInches)
            thePrefs.Flags |= PREF_FLAG_INCHES;
        else
            thePrefs.Flags &= WORD(~PREF_FLAG_INCHES);
        CSurfaceFrame* pChild = NewShirt(pFrame);
        ASSERT_NE(pChild, nullptr);
        CDrawDoc* pDoc = DocOf(pChild);
        ASSERT_NE(pDoc, nullptr);
        // The flag Ruler Setup reads, the rulers and the layout's switch
        // that Page Setup takes the units from again.
        EXPECT_EQ((pDoc->m_wDocFlags & CSurface::DocMetricRulers) != 0, !bInches);
        EXPECT_EQ(pChild->AreRulersMetric() != FALSE, !bInches);
        for (BOOL bVertical : {FALSE, TRUE}) {
            CRulerBar* pRuler = pChild->GetRuler(bVertical);
            ASSERT_NE(pRuler, nullptr);
            EXPECT_EQ(pRuler->IsMetric() != FALSE, !bInches);
        }
        EXPECT_EQ(pDoc->GetQuickInfo()[DocQuickInfo::Rulers], bInches ? 1 : 0);
    }
}

TEST_F(DesignWindowsTest, ToolPadAndSurfacePaneComeBackWhenThePreviewCloses)
{
    CMainFrame* pFrame = StartFrame();
    ASSERT_NE(pFrame, nullptr);
    g_bSignedIn = TRUE;
    thePrefs.AddlFlags |= PREF_ADDL_TOOL_PAD;
    CSurfaceFrame* pChild = NewShirt(pFrame);
    ASSERT_NE(pChild, nullptr);
    CToolpadBar* pPad = pFrame->GetToolpad();
    ASSERT_NE(pPad, nullptr);
    Settle();
    ASSERT_TRUE(Shown(pPad));
    const std::string front = testing_support::CommandStateOf(pFrame, ID_INDICATOR_SURFACE).text;
    ASSERT_FALSE(front.empty());

    // The preview closed, printed from (the print dialog cancelled), and
    // closed with the pad hidden before it: the pad is as it was before,
    // and the View menu says so.
    for (int nCase : {0, 1, 2}) {
        SCOPED_TRACE(nCase);
        if (nCase == 2) {
            ::SendMessage(MainWindow(), WM_COMMAND, ID_VIEW_TOOLPAD, 0);
            Settle();
        }
        const bool bShown = nCase != 2;
        pChild->GetActiveView()->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW, 0);
        Settle();
        CWnd* pPane = CWnd::FromHandlePermanent(::GetDlgItem(pFrame->GetSafeHwnd(), AFX_IDW_PANE_FIRST));
        ASSERT_TRUE(pPane != nullptr && pPane->IsKindOf(RUNTIME_CLASS(CPreviewView)));
        EXPECT_FALSE(Shown(pPad));
        if (nCase == 1) {
            Drive({Press(IDCANCEL)});
            pPane->SendMessage(WM_COMMAND, AFX_ID_PREVIEW_PRINT, 0);
        } else {
            static_cast<CPreviewView*>(pPane)->ClosePreview();
        }
        Settle();
        EXPECT_EQ(Shown(pPad), bShown);
        EXPECT_EQ(testing_support::CommandStateOf(pFrame, ID_VIEW_TOOLPAD).nCheck, bShown ? 1 : 0);
        EXPECT_EQ(testing_support::CommandStateOf(pFrame, ID_INDICATOR_SURFACE).text, front);
    }
}

TEST_F(DesignWindowsTest, TheFloatingToolPadFirstShowsClearOfTheDesignWindowsCaption)
{
    CMainFrame* pFrame = StartFrame();
    ASSERT_NE(pFrame, nullptr);
    g_bSignedIn = TRUE;
    thePrefs.AddlFlags |= PREF_ADDL_TOOL_PAD;
    CSurfaceFrame* pChild = NewShirt(pFrame);
    ASSERT_NE(pChild, nullptr);
    CToolpadBar* pPad = pFrame->GetToolpad();
    ASSERT_TRUE(pPad != nullptr && pPad->IsVisible());
    ASSERT_TRUE(pPad->IsFloating());

    CRect rcPad;
    pPad->GetParentFrame()->GetWindowRect(&rcPad);
    CRect rcCaption;
    pChild->GetWindowRect(&rcCaption);
    rcCaption.bottom = rcCaption.top + ::GetSystemMetrics(SM_CYFRAME) + ::GetSystemMetrics(SM_CYCAPTION);
    CRect rcBoth;
    EXPECT_FALSE(rcBoth.IntersectRect(&rcPad, &rcCaption))
        << "tool pad " << rcPad.left << "," << rcPad.top << " - " << rcPad.right << "," << rcPad.bottom;
    // Inside the main window, where the user looks for it.
    CRect rcMain;
    pFrame->GetWindowRect(&rcMain);
    EXPECT_TRUE(rcBoth.IntersectRect(&rcPad, &rcMain));
}

} // namespace
