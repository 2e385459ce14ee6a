// The application object: the loop and its idle passes, inner pumps and
// WM_QUIT, the pre-translation chain, message boxes, help, profile and the
// command line.

#include "FrameworkTestSupport.h"

#include "platform/profile/Registry.h"

#include <string>
#include <vector>

namespace {

using fwtest::FrameworkTest;
using WinAppTest = FrameworkTest;

std::vector<std::string> g_log;

class CMainWindow : public CWnd {
public:
    int idleUpdates = 0;
    BOOL m_bEatKeys = FALSE;
    afx_msg LRESULT OnIdleUpdate(WPARAM, LPARAM)
    {
        ++idleUpdates;
        return 0;
    }
    afx_msg LRESULT OnApp(WPARAM, LPARAM)
    {
        g_log.push_back("main app message");
        return 0;
    }
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message != WM_KEYDOWN)
            return FALSE;
        g_log.push_back("main pretranslate");
        return m_bEatKeys;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CMainWindow, CWnd)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdate)
    ON_MESSAGE(WM_APP, OnApp)
END_MESSAGE_MAP()

class CChildWindow : public CWnd {
public:
    std::string m_name;
    BOOL m_bEat = FALSE;
    int idleUpdates = 0;
    int keys = 0;
    afx_msg LRESULT OnIdleUpdate(WPARAM, LPARAM)
    {
        ++idleUpdates;
        return 0;
    }
    afx_msg void OnKeyDown(UINT, UINT, UINT) { ++keys; }
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message != WM_KEYDOWN)
            return FALSE;
        g_log.push_back(m_name + " pretranslate");
        return m_bEat;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CChildWindow, CWnd)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdate)
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

class CLoopApp : public fwtest::TestApp {
public:
    std::vector<LONG> idleCounts;
    CMainWindow* m_pMain = nullptr;
    int m_nExitCode = 0;
    BOOL InitInstance() override
    {
        m_pMain = new CMainWindow;
        if (!m_pMain->CreateEx(0, nullptr, "main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, NULL, NULL))
            return FALSE;
        m_pMainWnd = m_pMain;
        return TRUE;
    }
    BOOL OnIdle(LONG lCount) override
    {
        idleCounts.push_back(lCount);
        CWinApp::OnIdle(lCount);
        // One message after the first run of idle passes restarts them.
        if (lCount == 3 && idleCounts.size() == 4)
            m_pMainWnd->PostMessage(WM_APP);
        return lCount < 3;
    }
    int ExitInstance() override
    {
        g_log.push_back("exit instance");
        CWinApp::ExitInstance();
        return 3;
    }
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_KEYDOWN)
            g_log.push_back("app pretranslate");
        return CWinApp::PreTranslateMessage(pMsg);
    }
};

class LoopTest : public WinAppTest {
protected:
    void SetUp() override
    {
        WinAppTest::SetUp();
        g_log.clear();
    }
    void TearDown() override
    {
        if (App() != nullptr && App()->m_pMainWnd != nullptr)
            delete App()->m_pMainWnd; // destroys the window first
        WinAppTest::TearDown();
    }
};

TEST_F(LoopTest, IdleCountRisesUntilFalseAndRestartsAfterAMessage)
{
    CLoopApp& app = MakeApp<CLoopApp>();
    ASSERT_TRUE(app.InitInstance());
    // With nothing left to do the headless back end ends the loop.
    EXPECT_EQ(app.Run(), 3);
    EXPECT_EQ(app.idleCounts, (std::vector<LONG>{0, 1, 2, 3, 0, 1, 2, 3}));
    EXPECT_EQ(g_log, (std::vector<std::string>{"main app message", "exit instance"}));
    EXPECT_EQ(app.m_pMain->idleUpdates, 2);
}

TEST_F(LoopTest, IdleUpdateReachesVisibleWindowsTheirChildrenAndOwnedPopups)
{
    CLoopApp& app = MakeApp<CLoopApp>();
    ASSERT_TRUE(app.InitInstance());
    CChildWindow child;
    ASSERT_TRUE(child.Create(nullptr, "child", WS_VISIBLE, CRect(0, 0, 10, 10), app.m_pMain, 7));
    CChildWindow floating;
    ASSERT_TRUE(floating.CreateEx(0, nullptr, "floating", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, app.m_pMain->m_hWnd,
        NULL));
    CChildWindow hiddenPopup;
    ASSERT_TRUE(hiddenPopup.CreateEx(0, nullptr, "hidden", WS_POPUP, 0, 0, 50, 50, app.m_pMain->m_hWnd, NULL));
    app.OnIdle(0);
    EXPECT_EQ(app.m_pMain->idleUpdates, 1);
    EXPECT_EQ(child.idleUpdates, 1);
    EXPECT_EQ(floating.idleUpdates, 1);
    EXPECT_EQ(hiddenPopup.idleUpdates, 0);
    app.m_pMain->ShowWindow(SW_HIDE);
    app.OnIdle(0);
    EXPECT_EQ(app.m_pMain->idleUpdates, 1);
}

TEST_F(LoopTest, DestroyingTheMainWindowEndsTheLoop)
{
    CLoopApp& app = MakeApp<CLoopApp>();
    ASSERT_TRUE(app.InitInstance());
    CMainWindow* pMain = app.m_pMain;
    pMain->DestroyWindow();
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    delete pMain;
    MSG msg{};
    ASSERT_TRUE(::PeekMessage(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_QUIT));
}

TEST_F(LoopTest, PreTranslateWalksFromTheTargetUpToTheMainWindowAfterTheApp)
{
    CLoopApp& app = MakeApp<CLoopApp>();
    ASSERT_TRUE(app.InitInstance());
    CChildWindow middle;
    middle.m_name = "middle";
    ASSERT_TRUE(middle.Create(nullptr, "m", WS_VISIBLE, CRect(0, 0, 100, 100), app.m_pMain, 1));
    CChildWindow focus;
    focus.m_name = "focus";
    ASSERT_TRUE(focus.Create(nullptr, "f", WS_VISIBLE, CRect(0, 0, 10, 10), &middle, 2));

    focus.PostMessage(WM_KEYDOWN, VK_F5, 1);
    ASSERT_TRUE(app.PumpMessage());
    EXPECT_EQ(g_log, (std::vector<std::string>{"app pretranslate", "focus pretranslate", "middle pretranslate",
                         "main pretranslate"}));
    EXPECT_EQ(focus.keys, 1);

    // A window that takes the message ends the walk, and nothing is
    // dispatched.
    g_log.clear();
    middle.m_bEat = TRUE;
    focus.PostMessage(WM_KEYDOWN, VK_F5, 1);
    ASSERT_TRUE(app.PumpMessage());
    EXPECT_EQ(g_log, (std::vector<std::string>{"app pretranslate", "focus pretranslate", "middle pretranslate"}));
    EXPECT_EQ(focus.keys, 1);
}

class CRefusingApp : public fwtest::TestApp {
public:
    BOOL InitInstance() override { return FALSE; }
    int ExitInstance() override { return 5; }
};

TEST_F(LoopTest, RunApplicationRunsTheLoopOrEndsAtOnceWhenStartFails)
{
    CLoopApp& app = MakeApp<CLoopApp>();
    EXPECT_EQ(AfxRunApplication(app), 3);
    EXPECT_FALSE(app.idleCounts.empty());
}

TEST_F(WinAppTest, RunApplicationEndsAtOnceWhenStartFails)
{
    CRefusingApp& app = MakeApp<CRefusingApp>();
    EXPECT_EQ(AfxRunApplication(app), 5);
}

TEST_F(WinAppTest, InnerPumpRepostsQuit)
{
    MakeApp();
    ::PostQuitMessage(7);
    EXPECT_FALSE(AfxPumpMessagesUntilIdle());
    MSG msg{};
    ASSERT_TRUE(::PeekMessage(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_QUIT));
    EXPECT_EQ(msg.wParam, 7u);
}

// A window ending its own modal loop when told.
class CModalWindow : public CWnd {
public:
    int kicks = 0;
    afx_msg LRESULT OnKickIdle(WPARAM, LPARAM)
    {
        ++kicks;
        return FALSE;
    }
    afx_msg LRESULT OnEnd(WPARAM wParam, LPARAM)
    {
        EndModalLoop(int(wParam));
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CModalWindow, CWnd)
    ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
    ON_MESSAGE(WM_APP, OnEnd)
END_MESSAGE_MAP()

TEST_F(WinAppTest, ModalLoopRunsUntilEndModalLoopAndKicksIdle)
{
    MakeApp();
    CModalWindow wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "modal", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, NULL, NULL));
    platform::headless::SetIdleHandler([&]() {
        static int turns = 0;
        if (++turns == 2)
            wnd.PostMessage(WM_APP, 42);
        return true;
    });
    EXPECT_EQ(wnd.RunModalLoop(), 42);
    platform::headless::SetIdleHandler(nullptr);
    EXPECT_FALSE(wnd.IsInModalLoop());
    EXPECT_GE(wnd.kicks, 1);
    wnd.DestroyWindow();
}

TEST_F(WinAppTest, ModalLoopEndsOnQuitAndPassesItOn)
{
    MakeApp();
    CModalWindow wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "modal", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, NULL, NULL));
    ::PostQuitMessage(2);
    EXPECT_EQ(wnd.RunModalLoop(), -1);
    MSG msg{};
    ASSERT_TRUE(::PeekMessage(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_QUIT));
    EXPECT_EQ(msg.wParam, 2u);
    wnd.DestroyWindow();
}

// ---- Message boxes and help ---------------------------------------------------------------------

class CBoxApp : public fwtest::TestApp {
public:
    std::vector<std::string> prompts;
    int DoMessageBox(LPCTSTR lpszPrompt, UINT, UINT nIDPrompt) override
    {
        prompts.push_back(std::string(lpszPrompt) + "#" + std::to_string(nIDPrompt));
        return IDNO;
    }
};

TEST_F(WinAppTest, AfxMessageBoxGoesThroughTheApplicationsDoMessageBox)
{
    CBoxApp& app = MakeApp<CBoxApp>();
    EXPECT_EQ(AfxMessageBox("Save it?", MB_YESNO, 12), IDNO);
    EXPECT_EQ(app.prompts, (std::vector<std::string>{"Save it?#12"}));
    EXPECT_TRUE(platform::headless::MessageBoxes().empty());
}

TEST_F(WinAppTest, DefaultMessageBoxUsesTheApplicationNameAsCaption)
{
    MakeApp();
    platform::headless::PushMessageBoxAnswer(IDCANCEL);
    EXPECT_EQ(AfxMessageBox("Hello", MB_OKCANCEL), IDCANCEL);
    ASSERT_EQ(platform::headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(platform::headless::MessageBoxes()[0].caption, "FrameworkTest");
    EXPECT_EQ(platform::headless::MessageBoxes()[0].type & MB_ICONMASK, UINT(MB_ICONEXCLAMATION));
}

TEST_F(WinAppTest, HelpWithoutATopicSaysSoThroughTheApplication)
{
    CBoxApp& app = MakeApp<CBoxApp>();
    ASSERT_TRUE(app.InitApplication());
    EXPECT_NE(std::string(app.m_pszHelpFilePath).find(".hlp"), std::string::npos);
    app.WinHelp(HID_BASE_COMMAND + ID_FILE_SAVE, HELP_CONTEXT);
    app.WinHelp(0, HELP_QUIT);
    ASSERT_EQ(app.prompts.size(), 1u);
    EXPECT_EQ(app.prompts[0], "Help for this topic is not available.#0");
    EXPECT_EQ(HID_BASE_COMMAND + ID_FILE_SAVE, 0x1E103u);
    EXPECT_EQ(ID_HELP, 57670);
}

// ---- Profile and names --------------------------------------------------------------------------

TEST_F(WinAppTest, ProfileLivesUnderTheKeyAndTheNameAtTheTimeOfSetRegistryKey)
{
    CWinApp& app = MakeApp();
    // Before a registry key there is no profile.
    EXPECT_FALSE(app.WriteProfileInt("Program", "NumTimesRun", 1));
    EXPECT_EQ(app.GetProfileInt("Program", "NumTimesRun", 9), 9u);

    LPCTSTR saved = app.m_pszAppName;
    app.m_pszAppName = "1.0";
    app.SetRegistryKey("Maker\\Product");
    app.m_pszAppName = saved;
    EXPECT_STREQ(app.m_pszProfileName, "1.0");
    EXPECT_STREQ(app.m_pszRegistryKey, "Maker\\Product");

    EXPECT_TRUE(app.WriteProfileInt("Program", "NumTimesRun", 11));
    EXPECT_EQ(app.GetProfileInt("Program", "NumTimesRun", 0), 11u);
    EXPECT_TRUE(app.WriteProfileString("Program", "RunSurveyLater", "Yes"));
    EXPECT_STREQ(app.GetProfileString("Program", "RunSurveyLater", "No"), "Yes");
    EXPECT_TRUE(app.WriteProfileString("Program", "RunSurveyLater", nullptr));
    EXPECT_STREQ(app.GetProfileString("Program", "RunSurveyLater", "No"), "No");
    BYTE data[3] = {1, 2, 3};
    EXPECT_TRUE(app.WriteProfileBinary("Program", "Blob", data, 3));
    LPBYTE pRead = nullptr;
    UINT nRead = 0;
    ASSERT_TRUE(app.GetProfileBinary("Program", "Blob", &pRead, &nRead));
    EXPECT_EQ(nRead, 3u);
    EXPECT_EQ(pRead[2], 3);
    delete[] pRead;

    HKEY hKey = NULL;
    EXPECT_EQ(::RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Maker\\Product\\1.0\\Program", 0, KEY_READ, &hKey),
        ERROR_SUCCESS);
    if (hKey != NULL)
        ::RegCloseKey(hKey);
}

TEST_F(WinAppTest, NamesDefaultToTheTitleOrTheProgram)
{
    CWinApp& app = MakeApp();
    ASSERT_TRUE(app.InitApplication());
    EXPECT_STREQ(AfxGetAppName(), "FrameworkTest");
    EXPECT_STREQ(app.m_pszProfileName, "FrameworkTest");
    ASSERT_NE(app.m_pszExeName, nullptr);
    EXPECT_NE(std::string(app.m_pszExeName), "");
    EXPECT_EQ(std::string(app.m_pszExeName).find('.'), std::string::npos);
    EXPECT_EQ(AfxGetApp(), &app);
    EXPECT_EQ(AfxGetThread(), &app);
}

TEST_F(WinAppTest, CommandLineNamesTheShellCommand)
{
    CWinApp& app = MakeApp();
    AfxSetCommandLine(std::vector<CString>{"C:\\Designs\\card.twd"});
    CCommandLineInfo open;
    app.ParseCommandLine(open);
    EXPECT_EQ(open.m_nShellCommand, CCommandLineInfo::FileOpen);
    EXPECT_STREQ(open.m_strFileName, "C:\\Designs\\card.twd");
    EXPECT_TRUE(open.m_bShowSplash);

    AfxSetCommandLine(std::vector<CString>{"-Embedding"});
    CCommandLineInfo embedded;
    app.ParseCommandLine(embedded);
    EXPECT_TRUE(embedded.m_bRunEmbedded);
    EXPECT_FALSE(embedded.m_bShowSplash);
    EXPECT_EQ(embedded.m_nShellCommand, CCommandLineInfo::FileNew);

    AfxSetCommandLine(std::vector<CString>{"/p", "a.twd"});
    CCommandLineInfo print;
    app.ParseCommandLine(print);
    EXPECT_EQ(print.m_nShellCommand, CCommandLineInfo::FilePrint);
    EXPECT_STREQ(print.m_strFileName, "a.twd");
    AfxSetCommandLine(std::vector<CString>{});
}

TEST_F(WinAppTest, WaitCursorIsCountedAndRestored)
{
    CWinApp& app = MakeApp();
    HCURSOR hArrow = ::LoadCursor(NULL, IDC_ARROW);
    ::SetCursor(hArrow);
    {
        CWaitCursor outer;
        EXPECT_EQ(::GetCursor(), ::LoadCursor(NULL, IDC_WAIT));
        app.BeginWaitCursor();
        app.EndWaitCursor();
        EXPECT_EQ(::GetCursor(), ::LoadCursor(NULL, IDC_WAIT));
    }
    EXPECT_EQ(::GetCursor(), hArrow);
    EXPECT_EQ(app.LoadStandardCursor(IDC_CROSS), ::LoadCursor(NULL, IDC_CROSS));
}

TEST_F(WinAppTest, ExitCommandClosesTheMainWindow)
{
    CWinApp& app = MakeApp();
    auto* pMain = new CMainWindow;
    ASSERT_TRUE(pMain->CreateEx(0, nullptr, "main", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, NULL, NULL));
    app.m_pMainWnd = pMain;
    HWND hMain = pMain->m_hWnd;
    EXPECT_TRUE(app.OnCmdMsg(ID_APP_EXIT, CN_COMMAND, nullptr, nullptr));
    EXPECT_FALSE(::IsWindow(hMain));
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    delete pMain;
}

} // namespace
