// The road a user takes to a new blank design, with the program started as
// it starts: File New opens the launcher, the kind and "blank page" are
// chosen, Page Setup is confirmed, and the design opens in its own window
// with its surfaces, page and title.

#include "MainFrameTestSupport.h"

#include "app/main/DesignerApp.h"
#include "app/main/DocTemplates.h"
#include "assist/GetStartedWizard.h"
#include "assist/LauncherDlg.h"
#include "model/DocQuickInfo.h"
#include "model/DrawDoc.h"
#include "resources/resource.h"
#include "surface/Surface.h"
#include "surface/SurfaceFrame.h"

#include <string>
#include <vector>

namespace {

using mainframetest::MainFrameTest;
using Q = DocQuickInfo;


using NewDesignRoadTest = MainFrameTest;

TEST_F(NewDesignRoadTest, EachKindOpensFromTheLauncherWithItsSurfacesPageAndTitle)
{
    CMainFrame* pFrame = StartFrame();
    ASSERT_NE(pFrame, nullptr);
    g_bSignedIn = TRUE;

    struct Expected {
        const char* title;
        int surfaces;
    };
    const Expected expected[6] = {{"Shirt1", 2}, {"Apparel1", 1}, {"Mousepad1", 1},
                                  {"Calendar1", 1}, {"Label1", 1}, {"General1", 1}};
    for (int nKind = 0; nKind < 6; ++nKind) {
        SCOPED_TRACE(nKind);
        // A new calendar's set-up comes up over the calendar design.
        std::vector<testing_support::DialogStep> after;
        if (expected[nKind].title == std::string("Calendar1"))
            after.push_back(testing_support::PressOkIn("Calendar"));
        ChooseBlankDesign(nKind, std::move(after));
        m_app->OnFileNew();
        AfxPumpMessagesUntilIdle(); // the launcher's request reaches the main frame, which runs Page Setup

        CFrameWnd* pChild = pFrame->GetActiveFrame();
        ASSERT_NE(pChild, pFrame);
        ASSERT_TRUE(pChild->IsKindOf(RUNTIME_CLASS(CSurfaceFrame)));
        auto* pDoc = dynamic_cast<CDrawDoc*>(pChild->GetActiveDocument());
        ASSERT_NE(pDoc, nullptr);
        EXPECT_EQ(pDoc->GetDocKind(), nKind);
        EXPECT_EQ(std::string(pDoc->GetTitle()), expected[nKind].title);
        EXPECT_EQ(testing_support::WindowTitle(pFrame->m_hWnd), std::string(expected[nKind].title) + " - Threadwick");
        EXPECT_EQ(pDoc->GetSurfaceInfoCount(), expected[nKind].surfaces);

        // The page the view shows is the card (or sheet) Page Setup chose.
        const DocQuickInfo& info = pDoc->GetQuickInfo();
        EXPECT_EQ(info[Q::Kind], nKind);
        auto* pView = dynamic_cast<CSurface*>(pDoc->GetSurfaceView(0));
        ASSERT_NE(pView, nullptr);
        EXPECT_EQ(pView->GetPageSize(), CSize(info[Q::CardWidth], info[Q::CardHeight]));
        EXPECT_GT(info[Q::CardWidth], 0);
        EXPECT_GT(info[Q::CardHeight], 0);
    }
    EXPECT_EQ(CountOpenDocuments(), 6);
}

TEST_F(NewDesignRoadTest, TheOpenDesignLimitStopsTheRoadBeforeTheLauncher)
{
    CMainFrame* pFrame = StartFrame();
    ASSERT_NE(pFrame, nullptr);
    g_bSignedIn = TRUE;
    const int nLimit = MaxOpenDocuments();
    for (int i = 0; i < nLimit; ++i) {
        ChooseBlankDesign(5);
        m_app->OnFileNew();
        AfxPumpMessagesUntilIdle();
    }
    ASSERT_EQ(CountOpenDocuments(), nLimit);

    int nLaunchers = 0;
    platform::headless::SetIdleHandler([&nLaunchers]() {
        HWND hActive = ::GetActiveWindow();
        if (dynamic_cast<CLauncherDlg*>(CWnd::FromHandlePermanent(hActive)) != nullptr) {
            ++nLaunchers;
            ::PostMessage(hActive, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return true;
        }
        return false;
    });
    const size_t nBoxes = platform::headless::MessageBoxes().size();
    m_app->OnFileNew();
    AfxPumpMessagesUntilIdle();
    EXPECT_EQ(nLaunchers, 0);
    EXPECT_EQ(CountOpenDocuments(), nLimit);
    ASSERT_EQ(platform::headless::MessageBoxes().size(), nBoxes + 1);
    EXPECT_NE(platform::headless::MessageBoxes().back().text.find("designs may be open at one time"), std::string::npos);
}

// The page the wizard sheet shows, or NULL when hActive is no wizard.
HWND WizardPage(HWND hActive)
{
    if (dynamic_cast<CGetStartedWizard*>(CWnd::FromHandlePermanent(hActive)) == nullptr)
        return NULL;
    return HWND(::SendMessage(hActive, PSM_GETCURRENTPAGEHWND, 0, 0));
}

TEST_F(NewDesignRoadTest, TheWizardStartsAtTheLaunchersKindAndFinishMakesThatDesignWithoutTheCd)
{
    CMainFrame* pFrame = StartFrame();
    ASSERT_NE(pFrame, nullptr);
    g_bSignedIn = TRUE;

    std::vector<std::string> seen;
    int nStartKind = -1;
    std::vector<testing_support::DialogStep> steps = {
        [](HWND hActive) {
            if (dynamic_cast<CLauncherDlg*>(CWnd::FromHandlePermanent(hActive)) == nullptr)
                return false;
            ::SendDlgItemMessage(hActive, IDC_LAUNCH_KINDS, LB_SETCURSEL, 5, 0);
            ::CheckRadioButton(hActive, IDC_LAUNCH_PREDESIGNED, IDC_LAUNCH_WIZARD, IDC_LAUNCH_WIZARD);
            ::PostMessage(hActive, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            return true;
        },
        [&nStartKind](HWND hActive) {
            HWND hPage = WizardPage(hActive);
            if (::GetDlgItem(hPage, IDC_GETSTART_KINDS) == NULL)
                return false;
            nStartKind = int(::SendDlgItemMessage(hPage, IDC_GETSTART_KINDS, LB_GETCURSEL, 0, 0));
            ::PostMessage(hActive, WM_COMMAND, MAKEWPARAM(ID_WIZNEXT, BN_CLICKED), 0);
            return true;
        },
        [](HWND hActive) {
            HWND hPage = WizardPage(hActive);
            if (::GetDlgItem(hPage, IDC_GETSTART_TEXT) == NULL)
                return false;
            ::SetDlgItemText(hPage, IDC_GETSTART_TEXT, "Go team");
            ::PostMessage(hActive, WM_COMMAND, MAKEWPARAM(ID_WIZNEXT, BN_CLICKED), 0);
            return true;
        },
        [](HWND hActive) {
            if (::GetDlgItem(WizardPage(hActive), IDC_GETSTART_DESIGNS) == NULL)
                return false;
            ::PostMessage(hActive, WM_COMMAND, MAKEWPARAM(ID_WIZFINISH, BN_CLICKED), 0);
            return true;
        },
        testing_support::PressOkIn("Page Setup"),
    };
    // The steps in order; a disc prompt met on the way is noted and
    // dismissed, so that the road goes on.
    size_t nNext = 0;
    platform::headless::SetIdleHandler([&]() {
        HWND hActive = ::GetActiveWindow();
        if (hActive == NULL)
            return false;
        if (testing_support::WindowTitle(hActive) == "Insert CD") {
            seen.push_back(testing_support::WindowTitle(hActive));
            ::PostMessage(hActive, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return true;
        }
        if (nNext >= steps.size() || !steps[nNext](hActive))
            return false;
        ++nNext;
        return true;
    });
    m_app->OnFileNew();
    AfxPumpMessagesUntilIdle();

    EXPECT_EQ(nStartKind, 5) << "the wizard opens on the kind chosen in the launcher";
    EXPECT_TRUE(seen.empty()) << "the wizard alone needs no disc";
    ASSERT_EQ(CountOpenDocuments(), 1);
    auto* pDoc = dynamic_cast<CDrawDoc*>(pFrame->GetActiveFrame()->GetActiveDocument());
    ASSERT_NE(pDoc, nullptr);
    EXPECT_EQ(pDoc->GetDocKind(), 5);
    EXPECT_EQ(std::string(pDoc->GetTitle()), "General1");
}

TEST_F(NewDesignRoadTest, TheLauncherComesBackOnTheChosenKindAfterPageSetupIsCancelled)
{
    ASSERT_NE(StartFrame(), nullptr);
    g_bSignedIn = TRUE;

    int nKindShown = -1;
    Drive({
        [](HWND hActive) {
            if (dynamic_cast<CLauncherDlg*>(CWnd::FromHandlePermanent(hActive)) == nullptr)
                return false;
            ::SendDlgItemMessage(hActive, IDC_LAUNCH_KINDS, LB_SETCURSEL, 3, 0);
            ::CheckRadioButton(hActive, IDC_LAUNCH_PREDESIGNED, IDC_LAUNCH_WIZARD, IDC_LAUNCH_BLANK);
            ::PostMessage(hActive, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            return true;
        },
        [](HWND hActive) {
            if (testing_support::WindowTitle(hActive) != "Page Setup")
                return false;
            ::PostMessage(hActive, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return true;
        },
        [&nKindShown](HWND hActive) {
            if (dynamic_cast<CLauncherDlg*>(CWnd::FromHandlePermanent(hActive)) == nullptr)
                return false;
            nKindShown = int(::SendDlgItemMessage(hActive, IDC_LAUNCH_KINDS, LB_GETCURSEL, 0, 0));
            ::PostMessage(hActive, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return true;
        },
    });
    m_app->OnFileNew();
    AfxPumpMessagesUntilIdle();
    EXPECT_EQ(nKindShown, 3);
    EXPECT_EQ(CountOpenDocuments(), 0);
}

} // namespace
