// Start-up, idle time, the splash window and tear-down of the application
// object, on the headless back end with a still clock and an empty profile.

#include "AppTestSupport.h"

#include "app/Paths.h"
#include "app/TextTable.h"
#include "app/Utilities.h"
#include "app/main/AppMessages.h"
#include "app/main/MainFrame.h"
#include "assist/SplashDlg.h"
#include "platform/files/FileApi.h"
#include "resources/resource.h"

#include <algorithm>
#include <fstream>

namespace {

using apptest::AppTest;
using apptest::TakePosted;
using apptest::WriteProfileDword;
using apptest::WriteProfileText;

// The windows made while the hook is set, in order.
std::vector<HWND> g_created;

LRESULT CALLBACK RecordCreation(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HCBT_CREATEWND)
        g_created.push_back(reinterpret_cast<HWND>(wParam));
    return CallNextHookEx(NULL, nCode, wParam, lParam);
}

size_t CreationIndex(HWND hWnd)
{
    for (size_t i = 0; i < g_created.size(); ++i) {
        if (g_created[i] == hWnd)
            return i;
    }
    return g_created.size();
}

TEST_F(AppTest, FirstStartShowsSplashThenMaximisedFrameAndAsksForANewDesign)
{
    g_created.clear();
    HHOOK hHook = SetWindowsHookEx(WH_CBT, RecordCreation, NULL, 0);
    ASSERT_TRUE(Start());
    UnhookWindowsHookEx(hHook);

    // The splash came first and is still up; the frame followed it.
    HWND hMain = MainWindow();
    ASSERT_NE(hMain, HWND(NULL));
    ASSERT_TRUE(m_app->IsSplashShowing());
    EXPECT_EQ(CreationIndex(m_app->GetSplash()->m_hWnd), 0u);
    EXPECT_LT(CreationIndex(hMain), g_created.size());
    EXPECT_TRUE(::IsWindowVisible(hMain));
    EXPECT_TRUE(::IsZoomed(hMain));
    EXPECT_EQ(GetMainFrame(), m_app->m_pMainWnd);

    // The launcher is asked for through the queue, once.
    std::vector<MSG> commands = TakePosted(hMain, WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(LOWORD(commands[0].wParam), ID_FILE_NEW);
    EXPECT_TRUE(TakePosted(hMain, WM_TW_COMPANION_START).empty());

    // The profile is the versioned key and counts this run; the default
    // users exist.
    EXPECT_EQ(m_app->GetProfileInt("Program", "NumTimesRun", 0), 1u);
    EXPECT_TRUE(apptest::ProfileKeyExists("Program"));
    EXPECT_FALSE(g_bSignedIn);
    EXPECT_STREQ(m_app->m_pszHelpFilePath, LPCTSTR(GetProgramPath("Tovellum.hlp")));
    EXPECT_NE(g_nWakeUpMessage, 0u);
    EXPECT_EQ(g_nWakeUpMessage, ::RegisterWindowMessage("tovell"));
}

TEST_F(AppTest, CompanionStartAsksForTheRequestInsteadOfTheLauncher)
{
    testing_support::WriteFileBytes(m_programFolder + "/olvw.dat", std::string(4, '\0'));
    AfxSetCommandLine(std::vector<CString>{"/b"});
    ASSERT_TRUE(Start());
    EXPECT_TRUE(g_bCompanion);
    EXPECT_TRUE(TakePosted(MainWindow(), WM_COMMAND).empty());
    EXPECT_EQ(TakePosted(MainWindow(), WM_TW_COMPANION_START).size(), 1u);
}

TEST_F(AppTest, NamedFileIsOpenedInsteadOfTheLauncher)
{
    // Not a design: it is tried after the frame is up, and refused.
    std::string path = m_programFolder + "/notes.txt";
    testing_support::WriteFileBytes(path, "not a design");
    AfxSetCommandLine(std::vector<CString>{CString(path.c_str())});
    size_t nBefore = platform::headless::MessageBoxes().size();
    ASSERT_TRUE(Start());
    EXPECT_TRUE(TakePosted(MainWindow(), WM_COMMAND).empty());
    ASSERT_GT(platform::headless::MessageBoxes().size(), nBefore);
    EXPECT_EQ(platform::headless::MessageBoxes().back().text, "Unable to open design.");
    // Opening closed the splash first.
    EXPECT_FALSE(m_app->IsSplashShowing());
}

TEST_F(AppTest, StoredPlacementDecidesTheFrameAndItsShowCommand)
{
    WINDOWPLACEMENT stored{};
    stored.length = sizeof stored;
    stored.showCmd = SW_SHOWNORMAL;
    stored.rcNormalPosition = {40, 30, 640, 470};
    WriteProfileText("Application", "Size", FormatPlacementText(stored));

    ASSERT_TRUE(Start());
    HWND hMain = MainWindow();
    EXPECT_FALSE(::IsZoomed(hMain));
    EXPECT_EQ(m_app->m_nCmdShow, SW_SHOWNORMAL);
    RECT rect;
    ::GetWindowRect(hMain, &rect);
    EXPECT_EQ(rect.left, 40);
    EXPECT_EQ(rect.top, 30);
    EXPECT_EQ(rect.right, 640);
    EXPECT_EQ(rect.bottom, 470);
}

TEST_F(AppTest, MalformedPlacementOpensMaximised)
{
    WriteProfileText("Application", "Size", "0,1,(nonsense");
    ASSERT_TRUE(Start());
    EXPECT_TRUE(::IsZoomed(MainWindow()));
}

TEST_F(AppTest, StartedMinimisedIgnoresPlacementAndShowsMaximised)
{
    WINDOWPLACEMENT stored{};
    stored.length = sizeof stored;
    stored.showCmd = SW_SHOWNORMAL;
    stored.rcNormalPosition = {40, 30, 640, 470};
    WriteProfileText("Application", "Size", FormatPlacementText(stored));

    ASSERT_TRUE(Start(SW_SHOWMINIMIZED));
    EXPECT_FALSE(::IsIconic(MainWindow()));
    EXPECT_TRUE(::IsZoomed(MainWindow()));
}

TEST_F(AppTest, OleFailureEndsStartUpWithItsMessage)
{
    platform::SetOleInitFailsForTests(true);
    size_t nBefore = platform::headless::MessageBoxes().size();
    EXPECT_FALSE(Start());
    ASSERT_EQ(platform::headless::MessageBoxes().size(), nBefore + 1);
    EXPECT_NE(platform::headless::MessageBoxes().back().text.find("OLE 2.0 initialization failed."), std::string::npos);
    EXPECT_EQ(MainWindow(), HWND(NULL));
}

// The survey invitation is answered from the loop it runs in.
class SurveyTest : public AppTest {
protected:
    void AnswerSurveyWith(int nAnswer)
    {
        m_nShown = 0;
        platform::headless::SetIdleHandler([this, nAnswer]() {
            HWND hActive = ::GetActiveWindow();
            if (hActive == NULL || hActive == MainWindow())
                return false;
            char szTitle[64] = {};
            ::GetWindowText(hActive, szTitle, sizeof szTitle);
            // The launcher's request, queued before the invitation, is
            // served inside its loop: whatever that opens is cancelled.
            int nCommand = IDCANCEL;
            if (std::string(szTitle) == "Online Survey") {
                ++m_nShown;
                nCommand = nAnswer;
            }
            ::PostMessage(hActive, WM_COMMAND, MAKEWPARAM(nCommand, BN_CLICKED), 0);
            return true;
        });
    }

    CString SurveyLater() { return m_app->GetProfileString("Program", "RunSurveyLater", "(none)"); }

    int m_nShown = 0;
};

TEST_F(SurveyTest, TenthStartShowsNoInvitation)
{
    WriteProfileDword("Program", "NumTimesRun", 8);
    AnswerSurveyWith(IDOK);
    ASSERT_TRUE(Start());
    EXPECT_EQ(m_nShown, 0);
    EXPECT_EQ(m_app->GetProfileInt("Program", "NumTimesRun", 0), 9u);
}

TEST_F(SurveyTest, EleventhStartTakingTheSurveyOpensItsPage)
{
    WriteProfileDword("Program", "NumTimesRun", 10);
    WriteProfileText("Program", "RunSurveyLater", "No");
    AnswerSurveyWith(IDOK);
    ASSERT_TRUE(Start());
    EXPECT_EQ(m_nShown, 1);
    EXPECT_EQ(SurveyLater(), "No");
    ASSERT_EQ(m_openedUrls.size(), 1u);
    EXPECT_NE(m_openedUrls[0].find("/infocentral/surveys/tovell"), std::string::npos);
}

TEST_F(SurveyTest, LaterAsksAgainAtTheNextStartUntilDeclined)
{
    WriteProfileDword("Program", "NumTimesRun", 10);
    AnswerSurveyWith(IDC_SURVEY_LATER);
    ASSERT_TRUE(Start());
    EXPECT_EQ(m_nShown, 1);
    EXPECT_EQ(SurveyLater(), "Yes");
    EXPECT_TRUE(m_openedUrls.empty());

    // The twelfth start asks again because of "Later"; Cancel ends it.
    m_app->ExitInstance();
    m_bStarted = FALSE;
    platform::headless::Reset();
    m_app.reset();
    AnswerSurveyWith(IDCANCEL);
    ASSERT_TRUE(Start());
    EXPECT_EQ(m_nShown, 1);
    EXPECT_EQ(SurveyLater(), "No");
    EXPECT_EQ(m_app->GetProfileInt("Program", "NumTimesRun", 0), 12u);
}

TEST_F(SurveyTest, TwelfthStartAfterDecliningShowsNothing)
{
    WriteProfileDword("Program", "NumTimesRun", 11);
    WriteProfileText("Program", "RunSurveyLater", "No");
    AnswerSurveyWith(IDOK);
    ASSERT_TRUE(Start());
    EXPECT_EQ(m_nShown, 0);
}

TEST_F(AppTest, SplashClosesOnTheFirstIdlePassAfterHalfASecond)
{
    m_clock.SetTicks(0xFFFFFF00); // the tick count wraps while it shows
    ASSERT_TRUE(Start());
    ASSERT_TRUE(m_app->IsSplashShowing());

    m_clock.Advance(500);
    m_app->OnIdle(1);
    EXPECT_TRUE(m_app->IsSplashShowing());

    m_clock.Advance(1);
    m_app->OnIdle(1);
    EXPECT_FALSE(m_app->IsSplashShowing());
    EXPECT_EQ(m_clock.SleptMilliseconds(), 0u);
}

TEST_F(AppTest, KeyOrButtonPressClosesSplashAtOnce)
{
    ASSERT_TRUE(Start());
    MSG msg{};
    msg.hwnd = MainWindow();
    msg.message = WM_MOUSEMOVE;
    m_app->PreTranslateMessage(&msg);
    EXPECT_TRUE(m_app->IsSplashShowing());

    msg.message = WM_NCRBUTTONDOWN;
    m_app->PreTranslateMessage(&msg);
    EXPECT_FALSE(m_app->IsSplashShowing());
    EXPECT_EQ(m_clock.SleptMilliseconds(), 0u);
}

TEST_F(AppTest, OpeningCloseOfSplashSleepsOutTheRestOfItsTime)
{
    ASSERT_TRUE(Start());
    m_clock.Advance(200);
    m_app->CloseSplash(FALSE);
    EXPECT_FALSE(m_app->IsSplashShowing());
    EXPECT_EQ(m_clock.SleptMilliseconds(), 1300u);

    // Nothing left to close: no more waiting.
    m_app->CloseSplash(FALSE);
    EXPECT_EQ(m_clock.SleptMilliseconds(), 1300u);
}

// What a window heard while the test ran, and whether the splash was up.
struct Heard {
    UINT message;
    BOOL bSplashUp;
};
std::vector<Heard> g_heard;
const CDesignerApp* g_pHearingApp = nullptr;

LRESULT CALLBACK RecordHeard(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        g_heard.push_back({message, g_pHearingApp->IsSplashShowing()});
        PAINTSTRUCT ps;
        ::BeginPaint(hWnd, &ps);
        ::EndPaint(hWnd, &ps);
        return 0;
    }
    case WM_TIMER:
    case WM_LBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_APP:
        g_heard.push_back({message, g_pHearingApp->IsSplashShowing()});
        break;
    default:
        break;
    }
    return ::DefWindowProc(hWnd, message, wParam, lParam);
}

// A shown top-level window at (10, 10), clear of the splash, that records
// what it hears.
HWND MakeHearingWindow(const CDesignerApp& app)
{
    g_pHearingApp = &app;
    WNDCLASS wc{};
    wc.lpfnWndProc = RecordHeard;
    wc.lpszClassName = "SplashWaitHearing";
    ::RegisterClass(&wc);
    HWND hWnd = ::CreateWindowEx(0, "SplashWaitHearing", "", WS_POPUP | WS_VISIBLE, 10, 10, 100, 100, NULL, NULL,
        NULL, NULL);
    ::UpdateWindow(hWnd);
    g_heard.clear();
    return hWnd;
}

size_t CountHeard(UINT message, BOOL bSplashUp)
{
    return size_t(std::count_if(g_heard.begin(), g_heard.end(),
        [&](const Heard& h) { return h.message == message && h.bSplashUp == bSplashUp; }));
}

TEST_F(AppTest, SplashWaitPaintsAndRunsTimersButHoldsInputAndPostsUntilItEnds)
{
    ASSERT_TRUE(Start());
    HWND hWnd = MakeHearingWindow(*m_app);
    ASSERT_NE(hWnd, HWND(NULL));

    // While the splash shows: the user clicks the window and types into it,
    // something posts to it, a timer of it is due every 100 ms and it needs
    // painting again.
    platform::headless::Click(50, 50);
    ::SetFocus(hWnd);
    platform::headless::TypeKey('A');
    ::PostMessage(hWnd, WM_APP, 0, 0);
    ::SetTimer(hWnd, 1, 100, NULL);
    ::InvalidateRect(hWnd, NULL, FALSE);

    m_clock.Advance(200);
    m_app->CloseSplash(FALSE);
    ::KillTimer(hWnd, 1);
    EXPECT_FALSE(m_app->IsSplashShowing());
    EXPECT_EQ(m_clock.SleptMilliseconds(), 1300u);

    // The window painted and its timer ran all through the wait; nothing
    // the user did and nothing posted ran beside the splash.
    EXPECT_EQ(CountHeard(WM_PAINT, TRUE), 1u);
    EXPECT_GE(CountHeard(WM_TIMER, TRUE), 10u);
    EXPECT_EQ(g_heard.size(), CountHeard(WM_PAINT, TRUE) + CountHeard(WM_TIMER, TRUE));

    // Once the splash has gone, the loop finds all of it waiting, in order.
    g_heard.clear();
    MSG msg;
    while (::PeekMessage(&msg, hWnd, 0, 0, PM_REMOVE))
        ::DispatchMessage(&msg);
    std::vector<UINT> after;
    for (const Heard& h : g_heard) {
        EXPECT_FALSE(h.bSplashUp);
        after.push_back(h.message);
    }
    EXPECT_EQ(after, (std::vector<UINT>{WM_APP, WM_LBUTTONDOWN, WM_KEYDOWN}));
    ::DestroyWindow(hWnd);
}

TEST_F(AppTest, QuitDuringSplashWaitEndsTheWaitAndStaysForTheLoop)
{
    ASSERT_TRUE(Start());
    ::PostQuitMessage(3);
    m_app->CloseSplash(FALSE);
    EXPECT_FALSE(m_app->IsSplashShowing());
    EXPECT_LT(m_clock.SleptMilliseconds(), 1500u);

    MSG msg;
    ASSERT_TRUE(::PeekMessage(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_QUIT));
    EXPECT_EQ(msg.wParam, WPARAM(3));
}

// An MDI child that records the idle refresh it is sent.
class CRecordingChild : public CMDIChildWnd {
public:
    std::vector<LPARAM> refreshes;
    afx_msg LRESULT OnIdleRefresh(WPARAM, LPARAM lParam)
    {
        refreshes.push_back(lParam);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRecordingChild, CMDIChildWnd)
    ON_MESSAGE(WM_TW_IDLE_REFRESH, OnIdleRefresh)
END_MESSAGE_MAP()

TEST_F(AppTest, FifthIdlePassRefreshesTheActiveChildAndIdleEndsAt25)
{
    ASSERT_TRUE(Start());
    auto* pChild = new CRecordingChild;
    ASSERT_TRUE(pChild->Create(nullptr, "child", WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, CFrameWnd::rectDefault,
        static_cast<CMDIFrameWnd*>(m_app->m_pMainWnd)));
    pChild->MDIActivate();

    for (LONG n = 0; n < 5; ++n)
        EXPECT_TRUE(m_app->OnIdle(n));
    EXPECT_TRUE(pChild->refreshes.empty());
    EXPECT_TRUE(m_app->OnIdle(5));
    ASSERT_EQ(pChild->refreshes.size(), 1u);
    EXPECT_EQ(pChild->refreshes[0], 5);
    EXPECT_TRUE(m_app->OnIdle(24));
    EXPECT_FALSE(m_app->OnIdle(25));
    EXPECT_EQ(pChild->refreshes.size(), 1u);
}

TEST_F(AppTest, MainWindowLockNestsAndNeverGoesBelowZero)
{
    ASSERT_TRUE(Start());
    m_app->LockMainWindowUpdate();
    m_app->LockMainWindowUpdate();
    m_app->UnlockMainWindowUpdate();
    EXPECT_EQ(m_app->GetLockCount(), 1);
    m_app->UnlockMainWindowUpdate();
    m_app->UnlockMainWindowUpdate();
    EXPECT_EQ(m_app->GetLockCount(), 0);
    m_app->LockMainWindowUpdate();
    m_app->LockMainWindowUpdate();
    m_app->UnlockMainWindowUpdate(TRUE);
    EXPECT_EQ(m_app->GetLockCount(), 0);
    // Balanced again: one lock needs one unlock.
    m_app->LockMainWindowUpdate();
    EXPECT_EQ(m_app->GetLockCount(), 1);
    m_app->UnlockMainWindowUpdate();
}

void WriteEmptyFile(const CString& strPath)
{
    HANDLE hFile = ::CreateFile(strPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(hFile, INVALID_HANDLE_VALUE);
    ::CloseHandle(hFile);
}

TEST_F(AppTest, ExitRemovesTheScratchFileFromTheTemporaryFolder)
{
    ASSERT_TRUE(Start());
    char szTemp[MAX_PATH] = {};
    ASSERT_GT(::GetTempPath(MAX_PATH, szTemp), 0u);
    CString strPath = szTemp;
    EnsureTrailingChar(strPath, '\\', TRUE);
    strPath += "g3.dat";
    WriteEmptyFile(strPath);
    ASSERT_TRUE(FileExists(strPath));

    m_app->ExitInstance();
    m_bStarted = FALSE;
    EXPECT_FALSE(FileExists(strPath));
    EXPECT_EQ(m_app->GetSoundPlayer(), nullptr);
    EXPECT_EQ(m_app->GetMenuBitmap(0), nullptr);
}

// The saved bar layout: the summary key and its numbered bar keys.
class BarLayoutTest : public AppTest {
protected:
    void SaveLayout(DWORD nBars, int nKeys)
    {
        WriteProfileDword("1.0-Summary", "Bars", nBars);
        for (int i = 0; i < nKeys; ++i)
            WriteProfileDword(("1.0-Bar" + std::to_string(i)).c_str(), "BarID", DWORD(0xE800 + i));
        WriteProfileDword("Program", "NumTimesRun", 3);
    }
};

TEST_F(BarLayoutTest, ResetDeletesTheSummaryAndCountedBarsOnly)
{
    SaveLayout(2, 3);
    EXPECT_TRUE(ResetSavedBarLayout());
    EXPECT_FALSE(apptest::ProfileKeyExists("1.0-Summary"));
    EXPECT_FALSE(apptest::ProfileKeyExists("1.0-Bar0"));
    EXPECT_FALSE(apptest::ProfileKeyExists("1.0-Bar1"));
    // Beyond the count, and the rest of the profile, stay.
    EXPECT_TRUE(apptest::ProfileKeyExists("1.0-Bar2"));
    EXPECT_TRUE(apptest::ProfileKeyExists("Program"));
}

TEST_F(BarLayoutTest, WithoutASavedLayoutNothingIsDeleted)
{
    WriteProfileDword("1.0-Bar0", "BarID", 1);
    EXPECT_FALSE(ResetSavedBarLayout());
    EXPECT_TRUE(apptest::ProfileKeyExists("1.0-Bar0"));
}

TEST_F(BarLayoutTest, DamagedBarCountIsBounded)
{
    SaveLayout(0xFFFFFFF0, 1);
    EXPECT_TRUE(ResetSavedBarLayout());
    EXPECT_FALSE(apptest::ProfileKeyExists("1.0-Summary"));
    EXPECT_TRUE(apptest::ProfileKeyExists("1.0-Bar0"));

    SaveLayout(300, 2);
    EXPECT_TRUE(ResetSavedBarLayout());
    EXPECT_FALSE(apptest::ProfileKeyExists("1.0-Bar1"));
}

// The very first start, with no user table yet: the Return Address dialog
// is answered with a user name (or cancelled) whenever it comes up.
class FirstStartTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        m_bFirstStart = TRUE;
    }

    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        AppTest::TearDown();
    }

    void AnswerReturnAddress(const char* pszUser)
    {
        platform::headless::SetIdleHandler([this, pszUser]() {
            HWND hActive = ::GetActiveWindow();
            char szTitle[64] = {};
            ::GetWindowText(hActive, szTitle, sizeof szTitle);
            if (hActive == NULL || std::string(szTitle) != "Return Address")
                return false;
            ++m_nAsked;
            if (pszUser == nullptr) {
                ::PostMessage(hActive, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            } else {
                ::SetDlgItemText(hActive, IDC_RETADDR_USER, pszUser);
                ::PostMessage(hActive, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            }
            return true;
        });
    }

    static std::vector<std::string> UserNames()
    {
        std::vector<std::string> names;
        CUserTable users;
        for (int i = 0; i < users.GetRecordCount(); ++i) {
            UserRecord record;
            if (users.ReadRecord(i, record))
                names.emplace_back(LPCTSTR(record.strUserName));
        }
        return names;
    }

    int m_nAsked = 0;
};

TEST_F(FirstStartTest, FileNamedOnTheCommandLineStillAsksForTheFirstUser)
{
    std::string path = m_programFolder + "/notes.txt";
    testing_support::WriteFileBytes(path, "not a design");
    AfxSetCommandLine(std::vector<CString>{CString(path.c_str())});
    AnswerReturnAddress("Carol");
    ASSERT_TRUE(Start());
    EXPECT_EQ(m_nAsked, 1);
    EXPECT_EQ(UserNames(), (std::vector<std::string>{"Predesigned", "Carol"}));
}

TEST_F(FirstStartTest, CompanionStartStillAsksForTheFirstUser)
{
    testing_support::WriteFileBytes(m_programFolder + "/olvw.dat", std::string(4, '\0'));
    AfxSetCommandLine(std::vector<CString>{"/b"});
    AnswerReturnAddress("Dave");
    ASSERT_TRUE(Start());
    EXPECT_EQ(m_nAsked, 1);
    EXPECT_EQ(UserNames(), (std::vector<std::string>{"Predesigned", "Dave"}));
}

TEST_F(FirstStartTest, LauncherStartAsksBeforeMakingTheDefaultUser)
{
    AnswerReturnAddress("Erin");
    ASSERT_TRUE(Start());
    EXPECT_EQ(m_nAsked, 1);
    // The user named is the second user: no stand-in is made beside it.
    EXPECT_EQ(UserNames(), (std::vector<std::string>{"Predesigned", "Erin"}));
    EXPECT_EQ(TakePosted(MainWindow(), WM_COMMAND).size(), 1u);
}

TEST_F(FirstStartTest, DeclinedQuestionLeavesTheDefaultUserAndIsNotAskedAgain)
{
    AnswerReturnAddress(nullptr);
    ASSERT_TRUE(Start());
    EXPECT_EQ(m_nAsked, 1);
    EXPECT_EQ(UserNames(), (std::vector<std::string>{"Predesigned", "Threadwick User"}));
    {
        CUserGuard again;
    }
    EXPECT_EQ(m_nAsked, 1);
}

} // namespace
