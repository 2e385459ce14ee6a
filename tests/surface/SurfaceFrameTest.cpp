#include "tests/surface/SurfaceTestSupport.h"

#include "model/DrawRect.h"
#include "platform/files/FileSystem.h"
#include "platform/files/HostPath.h"
#include "platform/files/SafeReplace.h"
#include "platform/ui/Headless.h"
#include "resources/mainframe.h"
#include "resources/rulers.h"
#include "resources/rulersetup.h"
#include "surface/RulerBar.h"
#include "surface/ToolpadBar.h"
#include "surface/ToolpadPanel.h"
#include "surface/ToolpadWnd.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestHome.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

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

    // A design without a file has nothing to reload.
    EXPECT_EQ(pFrame->SendMessage(WM_TW_DOC_SAVE, 0, 0), 0);
    EXPECT_EQ(App()->GetOpenDocumentCount(), 1);
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

    // Only the first design brings the tool pad back.
    thePrefs.AddlFlags |= PREF_ADDL_TOOL_PAD;
    CDrawDoc* pOne = NewDesign();
    CDrawDoc* pTwo = NewDesign();
    EXPECT_EQ(m_pMain->Count(WM_TW_SHOW_TOOLPAD), 1);
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

TEST_F(SurfaceFrameTest, ToolPadFollowsTheSelectionOfTheActiveDesign)
{
    CToolpadBar bar;
    ASSERT_TRUE(bar.Create(m_pMain));
    EXPECT_EQ(bar.GetDlgCtrlID(), int(AFX_IDW_TOOLPAD));
    EXPECT_EQ(bar.SendMessage(WM_QUERYNEWPALETTE, 0, 0), 0);
    EXPECT_EQ(bar.SendMessage(WM_PALETTECHANGED, 0, 0), 0);
    EXPECT_EQ(bar.SendMessage(WM_HELPHITTEST, 0, 0), LRESULT(kToolpadHelpContext));
    CString caption;
    bar.GetWindowText(caption);
    EXPECT_EQ(caption, "Tool Pad");
    CToolpadWnd* pPalette = bar.GetPalette();
    ASSERT_NE(pPalette, nullptr);

    // The idle update leaves the palette usable although no command
    // handler updates it.
    bar.OnUpdateCmdUI(m_pMain, TRUE);
    EXPECT_TRUE(pPalette->IsWindowEnabled());

    // No design: nothing to follow yet.
    bar.UpdateToolpad();
    EXPECT_EQ(pPalette->GetState(), kToolpadNone);

    // A design with nothing selected gives the hint; a selected shape its
    // panel, and deselecting brings the hint back.
    CDrawDoc* pDoc = NewDesign();
    CSurface* pView = FirstView(pDoc);
    bar.UpdateToolpad();
    EXPECT_EQ(pPalette->GetState(), kToolpadHint);
    auto* pObj = new CCountingObj(CRect(-10, 10, 10, -10));
    pView->Add(pObj);
    pView->Select(pObj);
    bar.UpdateToolpad();
    EXPECT_EQ(pPalette->GetState(), kToolpadShape);

    pView->Select(nullptr);
    bar.UpdateToolpad();
    EXPECT_EQ(pPalette->GetState(), kToolpadHint);
    bar.DestroyWindow();
}

// ---- Rulers ----------------------------------------------------------------------------------

class CCheckCmdUI : public CCmdUI {
public:
    int m_nCheck = -1;
    int m_nEnabled = -1;
    void SetCheck(int nCheck) override { m_nCheck = nCheck; }
    void Enable(BOOL bOn) override { m_nEnabled = bOn ? 1 : 0; }
    void SetText(LPCTSTR) override {}
};

int RulerCheck(CSurfaceFrame* pFrame)
{
    CCheckCmdUI ui;
    ui.m_nID = ID_VIEW_RULERS;
    ui.DoUpdate(pFrame, FALSE);
    return ui.m_nCheck;
}

BOOL RulersVisible(CSurfaceFrame* pFrame)
{
    CRulerBar* pTop = pFrame->GetRuler(FALSE);
    CRulerBar* pLeft = pFrame->GetRuler(TRUE);
    const BOOL bTop = pTop != nullptr && pTop->IsWindowVisible();
    const BOOL bLeft = pLeft != nullptr && pLeft->IsWindowVisible();
    EXPECT_EQ(bTop, bLeft) << "the two rulers show together";
    return bTop;
}

TEST_F(SurfaceFrameTest, FirstLayoutMakesBothRulersAndShowsThemAsThePreferenceSays)
{
    CDrawDoc* pPlain = NewDesign();
    CSurfaceFrame* pPlainFrame = FrameOf(pPlain);
    ASSERT_NE(pPlainFrame, nullptr);
    CWnd* pTop = pPlainFrame->GetDlgItem(ID_RULER_HORZ);
    CWnd* pLeft = pPlainFrame->GetDlgItem(ID_RULER_VERT);
    ASSERT_NE(pTop, nullptr);
    ASSERT_NE(pLeft, nullptr);
    EXPECT_EQ(pTop, pPlainFrame->GetRuler(FALSE));
    EXPECT_EQ(pLeft, pPlainFrame->GetRuler(TRUE));
    EXPECT_FALSE(pPlainFrame->GetRuler(FALSE)->IsVertical());
    EXPECT_TRUE(pPlainFrame->GetRuler(TRUE)->IsVertical());
    EXPECT_EQ(pPlainFrame->GetRuler(FALSE)->GetView(), FirstView(pPlain));
    EXPECT_FALSE(pPlainFrame->AreRulersShown());
    EXPECT_FALSE(RulersVisible(pPlainFrame));
    EXPECT_EQ(RulerCheck(pPlainFrame), 0);

    thePrefs.AddlFlags |= PREF_ADDL_RULERS;
    CDrawDoc* pRuled = NewDesign();
    CSurfaceFrame* pFrame = FrameOf(pRuled);
    EXPECT_TRUE(pFrame->AreRulersShown());
    EXPECT_TRUE(RulersVisible(pFrame));
    EXPECT_EQ(RulerCheck(pFrame), 1);
    // The rulers take their room from the view, along its top and left.
    CRect rectTop, rectLeft, rectView;
    pFrame->GetRuler(FALSE)->GetWindowRect(&rectTop);
    pFrame->GetRuler(TRUE)->GetWindowRect(&rectLeft);
    FirstView(pRuled)->GetWindowRect(&rectView);
    EXPECT_EQ(rectTop.Height(), CRulerBar::GetThickness());
    EXPECT_EQ(rectLeft.Width(), CRulerBar::GetThickness());
    EXPECT_LE(rectTop.bottom, rectView.top);
    EXPECT_LE(rectLeft.right, rectView.left);

    // The units follow the design.
    pRuled->m_wDocFlags |= DOC_FLAG_RULERS;
    pFrame->UpdateRulers(TRUE);
    EXPECT_TRUE(pFrame->GetRuler(FALSE)->IsMetric());
    EXPECT_TRUE(pFrame->GetRuler(TRUE)->IsMetric());
    pRuled->m_wDocFlags &= ~WORD(DOC_FLAG_RULERS);
    pFrame->UpdateRulers(FALSE);
    EXPECT_FALSE(pFrame->GetRuler(FALSE)->IsMetric());
    EXPECT_FALSE(pFrame->GetRuler(TRUE)->IsMetric());
}

TEST_F(SurfaceFrameTest, ViewRulersTogglesSavesTheChoiceAndOtherDesignsFollowOnActivation)
{
    App()->SetRegistryKey("Threadwick Tests");
    CDrawDoc* pOne = NewDesign();
    CDrawDoc* pTwo = NewDesign();
    CSurfaceFrame* pFrameOne = FrameOf(pOne);
    CSurfaceFrame* pFrameTwo = FrameOf(pTwo);
    ASSERT_EQ(m_pMain->MDIGetActive(), pFrameTwo);

    pFrameTwo->SendMessage(WM_COMMAND, ID_VIEW_RULERS, 0);
    Pump();
    EXPECT_TRUE(pFrameTwo->AreRulersShown());
    EXPECT_TRUE(RulersVisible(pFrameTwo));
    EXPECT_EQ(RulerCheck(pFrameTwo), 1);
    EXPECT_NE(thePrefs.AddlFlags & PREF_ADDL_RULERS, 0);
    EXPECT_NE(App()->GetProfileInt("Preferences", "AddlFlags", 0) & PREF_ADDL_RULERS, 0);
    // The other design changes only when it becomes active.
    EXPECT_FALSE(pFrameOne->AreRulersShown());
    m_pMain->MDIActivate(pFrameOne);
    Pump();
    EXPECT_TRUE(pFrameOne->AreRulersShown());
    EXPECT_TRUE(RulersVisible(pFrameOne));

    // Off in one design: off in the other once it is active again.
    pFrameOne->SendMessage(WM_COMMAND, ID_VIEW_RULERS, 0);
    Pump();
    EXPECT_FALSE(RulersVisible(pFrameOne));
    EXPECT_EQ(thePrefs.AddlFlags & PREF_ADDL_RULERS, 0);
    EXPECT_EQ(App()->GetProfileInt("Preferences", "AddlFlags", 0) & PREF_ADDL_RULERS, 0);
    EXPECT_TRUE(pFrameTwo->AreRulersShown());
    m_pMain->MDIActivate(pFrameTwo);
    Pump();
    EXPECT_FALSE(pFrameTwo->AreRulersShown());
    EXPECT_FALSE(RulersVisible(pFrameTwo));
    EXPECT_EQ(RulerCheck(pFrameTwo), 0);
}

TEST_F(SurfaceFrameTest, SecondKeyTableBelongsToItsFrameAndGoesWithIt)
{
    CDrawDoc* pOne = NewDesign();
    CDrawDoc* pTwo = NewDesign();
    const HACCEL hOne = FrameOf(pOne)->GetSecondAccelerator();
    const HACCEL hTwo = FrameOf(pTwo)->GetSecondAccelerator();
    ASSERT_NE(hOne, HACCEL(NULL));
    ASSERT_NE(hTwo, HACCEL(NULL));
    EXPECT_NE(hOne, hTwo);
    // The frame keeps the design's own keys.
    EXPECT_NE(FrameOf(pOne)->m_hAccelTable, hOne);
    EXPECT_NE(FrameOf(pOne)->m_hAccelTable, HACCEL(NULL));

    ACCEL entries[16] = {};
    const int nEntries = ::CopyAcceleratorTable(hOne, entries, 16);
    EXPECT_EQ(nEntries, 5);
    auto commandOf = [&](WORD key) {
        for (int i = 0; i < nEntries; ++i) {
            if (entries[i].key == key && (entries[i].fVirt & FCONTROL) != 0)
                return UINT(entries[i].cmd);
        }
        return 0u;
    };
    EXPECT_EQ(commandOf('A'), UINT(ID_EDIT_SELECT_ALL));
    EXPECT_EQ(commandOf(VK_ADD), UINT(ID_ARRANGE_MOVE_FRONT));
    EXPECT_EQ(commandOf(VK_OEM_MINUS), UINT(ID_ARRANGE_MOVE_BOTTOM));

    pOne->OnCloseDocument();
    Pump();
    EXPECT_EQ(::CopyAcceleratorTable(hOne, nullptr, 0), 0);
    EXPECT_EQ(::CopyAcceleratorTable(hTwo, nullptr, 0), 5);
    // The shared design keys are untouched.
    EXPECT_NE(::CopyAcceleratorTable(FrameOf(pTwo)->m_hAccelTable, nullptr, 0), 0);
}

// Each way into Ruler Setup opens its own page; the rulers show what the
// sheet set once it is closed.
TEST_F(SurfaceFrameTest, RulerSetupCommandsOpenTheirPageAndTheRulersFollow)
{
    thePrefs.AddlFlags |= PREF_ADDL_RULERS;
    CDrawDoc* pDoc = NewDesign();
    CSurfaceFrame* pFrame = FrameOf(pDoc);
    pDoc->m_wDocFlags &= ~WORD(DOC_FLAG_RULERS);
    pFrame->UpdateRulers(TRUE);
    ASSERT_FALSE(pFrame->GetRuler(FALSE)->IsMetric());

    struct Way {
        UINT nCommand;
        int nProbe; // a control only that page has
    };
    const Way ways[] = {{ID_VIEW_RULER_SETUP, IDC_GRID_SPACING_0}, {ID_VIEW_GUIDELINE_SETUP, IDC_GUIDE_LIST},
        {ID_RULER_PROPERTIES, IDC_UNITS_CENTIMETERS}};
    for (const Way& way : ways) {
        bool bOnPage = false;
        const bool bLast = way.nCommand == ID_RULER_PROPERTIES;
        testing_support::DriveActiveWindow({[&](HWND hActive) {
            if (testing_support::WindowTitle(hActive) != "Ruler Setup")
                return false;
            const HWND hPage = HWND(::SendMessage(hActive, PSM_GETCURRENTPAGEHWND, 0, 0));
            bOnPage = ::GetDlgItem(hPage, way.nProbe) != NULL;
            if (bLast && bOnPage)
                ::SendMessage(::GetDlgItem(hPage, IDC_UNITS_CENTIMETERS), BM_CLICK, 0, 0);
            ::PostMessage(hActive, WM_COMMAND, MAKEWPARAM(bLast ? IDOK : IDCANCEL, BN_CLICKED), 0);
            return true;
        }});
        pFrame->SendMessage(WM_COMMAND, way.nCommand, 0);
        platform::headless::SetIdleHandler(nullptr);
        EXPECT_TRUE(bOnPage) << way.nCommand;
    }
    EXPECT_NE(pDoc->m_wDocFlags & DOC_FLAG_RULERS, 0);
    EXPECT_TRUE(pFrame->GetRuler(FALSE)->IsMetric());
    EXPECT_TRUE(pFrame->GetRuler(TRUE)->IsMetric());
}

// ---- Save and reload -------------------------------------------------------------------------

std::string g_strFailUnder; // writes to files below this host folder fail

bool WriteOrFail(int fd, const void* data, size_t size)
{
    char szLink[64];
    std::snprintf(szLink, sizeof szLink, "/proc/self/fd/%d", fd);
    char szTarget[4096];
    const ssize_t n = ::readlink(szLink, szTarget, sizeof szTarget - 1);
    const std::string target = n > 0 ? std::string(szTarget, size_t(n)) : std::string();
    if (!g_strFailUnder.empty() && target.rfind(g_strFailUnder, 0) == 0) {
        errno = ENOSPC;
        return false;
    }
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t w = ::write(fd, p, size);
        if (w < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += w;
        size -= size_t(w);
    }
    return true;
}

std::vector<std::string> FilesIn(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    return names;
}

int CountObjects(CSurface* pView)
{
    return pView != nullptr ? int(pView->GetObjects().GetCount()) : -1;
}

class SurfaceFrameReloadTest : public SurfaceTest {
protected:
    // A design saved with one object, then given a second one that only
    // the open document holds.
    void SetUp() override
    {
        SurfaceTest::SetUp();
        platform::InitFileSystem();
        m_dir = std::filesystem::canonical(testing_support::MakeTempDir("reload")).string();
        m_tempDir = std::filesystem::canonical(testing_support::MakeTempDir("reloadtemp")).string();
        m_path = platform::WindowsPathFor(m_dir + "/design.gen");
        CSurfaceFrame::SetReloadFolderForTests(platform::WindowsPathFor(m_tempDir).c_str());
        platform::SetReplaceWriteStepForTests(WriteOrFail);

        m_pDoc = NewDesign();
        ASSERT_NE(m_pDoc, nullptr);
        m_pDoc->AddObject(new CDrawRect(CRect(0, 50, 50, 0), SHAPE_HEART), FirstView(m_pDoc));
        ASSERT_TRUE(m_pDoc->OnSaveDocument(m_path.c_str()));
        m_pDoc->SetPathName(m_path.c_str(), FALSE);
        m_before = testing_support::ReadFileBytes(m_dir + "/design.gen");
        ASSERT_FALSE(m_before.empty());
        m_pDoc->AddObject(new CDrawRect(CRect(100, 150, 150, 100), SHAPE_HEART), FirstView(m_pDoc));
        m_pDoc->SetModifiedFlag(TRUE);
        m_nBoxes = platform::headless::MessageBoxes().size();
    }

    void TearDown() override
    {
        g_strFailUnder.clear();
        platform::SetReplaceWriteStepForTests(nullptr);
        CSurfaceFrame::SetReloadFolderForTests(nullptr);
        SurfaceTest::TearDown();
    }

    LRESULT Reload()
    {
        const LRESULT result = FrameOf(m_pDoc)->SendMessage(WM_TW_DOC_SAVE, 0, 0);
        Pump();
        return result;
    }

    std::vector<std::string> NewBoxes() const
    {
        std::vector<std::string> texts;
        const auto& boxes = platform::headless::MessageBoxes();
        for (size_t i = m_nBoxes; i < boxes.size(); ++i)
            texts.push_back(boxes[i].text);
        return texts;
    }

    std::string m_dir, m_tempDir, m_path, m_before;
    CDrawDoc* m_pDoc = nullptr;
    size_t m_nBoxes = 0;
};

TEST_F(SurfaceFrameReloadTest, ReloadSavesClosesAndOpensTheDesignWithItsChanges)
{
    EXPECT_EQ(Reload(), 1);
    EXPECT_TRUE(NewBoxes().empty());
    EXPECT_EQ(App()->GetOpenDocumentCount(), 1);
    EXPECT_NE(testing_support::ReadFileBytes(m_dir + "/design.gen"), m_before);
    EXPECT_TRUE(FilesIn(m_tempDir).empty());
    EXPECT_EQ(FilesIn(m_dir), std::vector<std::string>{"design.gen"});

    POSITION pos = m_pTemplate->GetFirstDocPosition();
    auto* pReopened = pos != nullptr ? dynamic_cast<CDrawDoc*>(m_pTemplate->GetNextDoc(pos)) : nullptr;
    ASSERT_NE(pReopened, nullptr);
    EXPECT_EQ(CountObjects(FirstView(pReopened)), 2);
    EXPECT_FALSE(pReopened->IsModified());
    EXPECT_STRCASEEQ(static_cast<LPCSTR>(pReopened->GetPathName()), m_path.c_str());

    // With the designer's switch, Save takes this road too.
    thePrefs.AddlFlags |= PREF_ADDL_SWITCH_I;
    pReopened->AddObject(new CDrawRect(CRect(200, 250, 250, 200), SHAPE_HEART), FirstView(pReopened));
    pReopened->SetModifiedFlag(TRUE);
    CCheckCmdUI probe;
    probe.m_nID = ID_FILE_SAVE;
    probe.DoUpdate(FrameOf(pReopened), TRUE);
    EXPECT_EQ(probe.m_nEnabled, 1);
    FrameOf(pReopened)->SendMessage(WM_COMMAND, ID_FILE_SAVE, 0);
    Pump();
    EXPECT_TRUE(NewBoxes().empty());
    pos = m_pTemplate->GetFirstDocPosition();
    auto* pThird = pos != nullptr ? dynamic_cast<CDrawDoc*>(m_pTemplate->GetNextDoc(pos)) : nullptr;
    ASSERT_NE(pThird, nullptr);
    EXPECT_EQ(CountObjects(FirstView(pThird)), 3);
    EXPECT_FALSE(pThird->IsModified());
}

TEST_F(SurfaceFrameReloadTest, AFailedTemporarySaveClosesNothing)
{
    // The disk fails while the temporary copy is written.
    g_strFailUnder = m_tempDir;
    EXPECT_EQ(Reload(), 0);
    // And a temporary folder that is not there at all.
    CSurfaceFrame::SetReloadFolderForTests(platform::WindowsPathFor(m_tempDir + "/gone").c_str());
    EXPECT_EQ(Reload(), 0);

    int nSaveBoxes = 0;
    for (const std::string& text : NewBoxes())
        nSaveBoxes += text.find("Unable to save document") != std::string::npos ? 1 : 0;
    EXPECT_EQ(nSaveBoxes, 2);
    EXPECT_EQ(App()->GetOpenDocumentCount(), 1);
    ASSERT_NE(FrameOf(m_pDoc), nullptr);
    EXPECT_EQ(CountObjects(FirstView(m_pDoc)), 2);
    EXPECT_TRUE(m_pDoc->IsModified());
    EXPECT_EQ(testing_support::ReadFileBytes(m_dir + "/design.gen"), m_before);
    EXPECT_TRUE(FilesIn(m_tempDir).empty());
}

TEST_F(SurfaceFrameReloadTest, AFailedCopyKeepsTheFileAndNamesTheSavedChanges)
{
    g_strFailUnder = m_dir;
    EXPECT_EQ(Reload(), 0);
    g_strFailUnder.clear();

    EXPECT_EQ(testing_support::ReadFileBytes(m_dir + "/design.gen"), m_before);
    EXPECT_EQ(FilesIn(m_dir), std::vector<std::string>{"design.gen"});
    const std::vector<std::string> kept = FilesIn(m_tempDir);
    ASSERT_EQ(kept.size(), 1u);
    const std::string keptPath = platform::WindowsPathFor(m_tempDir + "/" + kept[0]);
    const std::vector<std::string> boxes = NewBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("Unable to save document"), std::string::npos);
    EXPECT_NE(boxes[0].find(keptPath), std::string::npos) << boxes[0];

    // The kept file holds the design as it was when the reload began.
    CDrawDoc* pKept = static_cast<CDrawDoc*>(m_pTemplate->OpenDocumentFile(keptPath.c_str()));
    Pump();
    ASSERT_NE(pKept, nullptr);
    EXPECT_EQ(CountObjects(FirstView(pKept)), 2);
}

} // namespace
} // namespace surfacetest
