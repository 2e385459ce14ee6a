// The application object: construction, start-up, idle time, the splash
// window, the services other subsystems reach through the application, and
// tear-down.

#include "app/main/DesignerApp.h"

#include "app/BitmapHelpers.h"
#include "app/ContentCatalog.h"
#include "app/Paths.h"
#include "app/PrefData.h"
#include "app/PrintPrefData.h"
#include "app/RegKeyHelper.h"
#include "app/SoundPlayer.h"
#include "app/TextTable.h"
#include "app/main/AppGlobals.h"
#include "app/main/AppMessages.h"
#include "app/main/CommandLine.h"
#include "app/main/DocTemplates.h"
#include "app/main/MainFrame.h"
#include "app/main/PrefBackground.h"
#include "assist/ReturnAddressDlg.h"
#include "assist/SplashDlg.h"
#include "assist/SurveyDlg.h"
#include "controls/PaletteSelector.h"
#include "html/TipOfDayDlg.h"
#include "pictures/TwainSource.h"
#include "platform/base/Clock.h"
#include "platform/base/Exception.h"
#include "platform/base/GlobalMemory.h"
#include "platform/files/FileApi.h"
#include "platform/framework/Afx.h"
#include "platform/framework/ShellOpen.h"
#include "platform/profile/Registry.h"
#include "platform/services/Modules.h"
#include "platform/storage/OleInit.h"
#include "resources/resource.h"
#include "surface/CursorSet.h"

#include <algorithm>
#include <climits>
#include <new>

UINT g_nWakeUpMessage = 0;
UINT g_nInstanceMessage = 0;
BOOL g_bCompanion = FALSE;
LONG g_nNewDesignMode = 0;
BOOL g_bSignedIn = FALSE;
int g_nPlatform = kPlatformCurrent;
CString g_strHelpFilePath;

namespace {

constexpr char kWakeUpMessageName[] = "tovell";
constexpr char kSupportLibraryName[] = "kqawr321.dll";
constexpr char kTempFileName[] = "g3.dat";
constexpr char kRegistryBase[] = "Software\\Velmora Technology\\";
constexpr char kProfileVersion[] = "1.0";
constexpr DWORD kMainFrameStyle = 0x00CF8000; // WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE
constexpr int kRecentFileCount = 4;
constexpr int kSurveyRunCount = 11;
constexpr UINT kMainFrameResource = 2;
constexpr UINT kPaletteResource = 36;

// Idle passes wanted after the queue empties: the fifth refreshes the tool
// pad, the rest give the class library its housekeeping.
constexpr LONG kIdleRefreshCount = 5;
constexpr LONG kIdlePassLimit = 25;

// The splash's wait looks at the queue at least this often (milliseconds),
// and sleeps a slice after this many messages in a row.
constexpr DWORD kSplashWaitSlice = 10;
constexpr int kSplashWaitBurst = 100;

BOOL SplashExists(const CSplashDlg* pSplash)
{
    return pSplash != nullptr && pSplash->m_hWnd != NULL && ::IsWindow(pSplash->m_hWnd);
}

BOOL CALLBACK PaintChildNow(HWND hWnd, LPARAM)
{
    ::UpdateWindow(hWnd);
    return TRUE;
}

} // namespace

CDesignerApp* GetDesignerApp()
{
    return dynamic_cast<CDesignerApp*>(AfxGetApp());
}

BEGIN_MESSAGE_MAP(CDesignerApp, CWinApp)
    ON_COMMAND(ID_FILE_NEW, OnFileNew)
    ON_COMMAND(ID_FILE_NEW_DESIGN_MENU, OnNewDesignMenu)
    ON_COMMAND(ID_FILE_NEW_TSHIRT, OnNewTShirt)
    ON_COMMAND(ID_FILE_NEW_APPAREL, OnNewApparel)
    ON_COMMAND(ID_FILE_NEW_MOUSEPAD, OnNewMousepad)
    ON_COMMAND(ID_FILE_NEW_CALENDAR, OnNewCalendar)
    ON_COMMAND(ID_FILE_NEW_LABEL, OnNewLabel)
    ON_COMMAND(ID_FILE_NEW_GENERAL, OnNewGeneral)
    ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
    ON_COMMAND_EX_RANGE(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE16, OnOpenRecentFile)
    ON_COMMAND(ID_TOOLS_PREFERENCES, OnPreferences)
    ON_COMMAND(ID_PREFERENCES_DEFAULTS, OnProgramDefaults)
    ON_COMMAND(ID_TOOLS_FAVORITES, OnFavouriteTools)
    ON_COMMAND(ID_TOOLS_PRINT_PROBLEMS, OnPrintingProblems)
    ON_UPDATE_COMMAND_UI(ID_TOOLS_PREFERENCES, OnUpdatePreferences)
    ON_UPDATE_COMMAND_UI(ID_PREFERENCES_DEFAULTS, OnUpdatePreferences)
    ON_UPDATE_COMMAND_UI(ID_TOOLS_FAVORITES, OnUpdatePreferences)
    ON_UPDATE_COMMAND_UI(ID_TOOLS_PRINT_PROBLEMS, OnUpdatePreferences)
    ON_COMMAND(ID_FILE_PRINT_SETUP, OnFilePrintSetup)
    ON_COMMAND(ID_FILE_PRINT_PICTURES, OnPrintSelectedPictures)
    ON_UPDATE_COMMAND_UI(ID_FILE_PRINT_PICTURES, OnUpdatePrintSelectedPictures)
    ON_COMMAND(ID_TOOLS_PREVIEW_INFO, OnPictureHints)
    ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
    ON_COMMAND(ID_INSERT_FIND_CLIPART, OnFindClipart)
    ON_UPDATE_COMMAND_UI(ID_INSERT_FIND_CLIPART, OnUpdateFindClipart)
    ON_COMMAND(ID_HELP_TIP_OF_DAY, OnTipOfTheDay)
    ON_COMMAND(ID_HELP_ONLINE_SURVEY, OnOnlineSurvey)
    ON_UPDATE_COMMAND_UI(ID_HELP_ONLINE_SURVEY, OnUpdateOnlineSurvey)
    ON_UPDATE_COMMAND_UI(ID_APP_ALWAYS_ENABLED, OnUpdateAlwaysEnabled)
    ON_COMMAND(ID_TOOLS_LOGO, OnLogo)
    ON_UPDATE_COMMAND_UI(ID_TOOLS_LOGO, OnUpdateLogo)
    ON_COMMAND(ID_HELP_SUPPLY_CENTER, OnSupplyCenter)
END_MESSAGE_MAP()

CDesignerApp::CDesignerApp()
{
    g_nPlatform = GetPlatform(m_strVersionText, FALSE);
    InitDocQuickInfo(m_docQuickInfo);
    g_bCompanion = FALSE;
    ParseCommandLine(m_cmdInfo);
}

CDesignerApp::~CDesignerApp()
{
    // ExitInstance normally did all this; an application that never ran
    // (or a test that stopped early) must still not leak.
    if (m_pSplash != nullptr) {
        if (SplashExists(m_pSplash))
            m_pSplash->DestroyWindow();
        delete m_pSplash;
    }
    FreeMenuBitmaps();
    delete m_pSoundPlayer;
    delete m_pDesignIndex;
    if (m_hSupportLib != NULL)
        ::FreeLibrary(m_hSupportLib);
    // The user question start-up installed shows its dialog over this
    // application's main window: it goes with the application.
    CUserGuard::SetReturnAddressPrompt(nullptr);
}

// ---- Start-up ----------------------------------------------------------------------------------

BOOL CDesignerApp::InitInstance()
{
    // Another copy must see this one from the very first moment, so the
    // instance lock comes before anything else.
    OpenInstanceChannel();

    // The kit's palette selectors realise the program's palette on a
    // palette display.
    SetAppPaletteSource([]() -> CPalette* {
        CDesignerApp* pApp = GetDesignerApp();
        return pApp != nullptr ? pApp->GetAppPalette() : nullptr;
    });

    try {
        CWaitCursor wait;
        if (!InitInstanceSteps())
            return FALSE;
    } catch (CException* e) {
        e->Delete();
        return FailStartUp();
    } catch (const std::bad_alloc&) {
        return FailStartUp();
    }

    // Help file: the program folder's, bounded as the help service takes it.
    g_strHelpFilePath = GetProgramPath("Tovellum", ".hlp");
    if (g_strHelpFilePath.GetLength() >= MAX_PATH)
        g_strHelpFilePath = g_strHelpFilePath.Left(MAX_PATH - 1);
    m_pszHelpFilePath = g_strHelpFilePath;

    // Run count and the survey invitation: at the eleventh start, and at
    // every start after the user chose "Later".
    // The stored count is untrusted: keep it where adding one cannot wrap.
    int nRuns = int(std::min<UINT>(GetProfileInt("Program", "NumTimesRun", 0), INT_MAX - 1));
    WriteProfileInt("Program", "NumTimesRun", nRuns + 1);
    if (nRuns + 1 == kSurveyRunCount || GetProfileString("Program", "RunSurveyLater", "No") == "Yes") {
        CSurveyDlg dlg;
        INT_PTR nAnswer = dlg.DoModal();
        if (nAnswer == IDOK) {
            WriteProfileString("Program", "RunSurveyLater", "No");
            OnOnlineSurvey();
        } else if (nAnswer == IDC_SURVEY_LATER) {
            WriteProfileString("Program", "RunSurveyLater", "Yes");
        } else if (nAnswer == IDCANCEL) {
            WriteProfileString("Program", "RunSurveyLater", "No");
        }
    }

    ShowTipAtStartup();
    return TRUE;
}

// A failure of the class library during start-up: the bar layout it may
// have tripped over is dropped so the next start begins clean.
BOOL CDesignerApp::FailStartUp()
{
    ShowOutOfMemoryMessage();
    ResetSavedBarLayout();
    return FALSE;
}

// Steps 1 to 18 of start-up, inside the caller's exception guard and wait
// cursor. FALSE ends the program.
BOOL CDesignerApp::InitInstanceSteps()
{
    // The splash first, so the user sees something at once.
    m_dwSplashStart = ::GetTickCount();
    if (m_pSplash == nullptr)
        m_pSplash = new CSplashDlg;
    if (m_pSplash->Create(nullptr)) {
        m_pSplash->ShowWindow(SW_SHOW);
        m_pSplash->UpdateWindow();
    }

    g_bSignedIn = FALSE;
    g_nWakeUpMessage = ::RegisterWindowMessage(kWakeUpMessageName);

    // The profile lives under "Software\<maker>\<product>\1.0": the class
    // library names the last level after the application, so the name is
    // "1.0" for the moment it takes.
    LPCTSTR pszAppName = m_pszAppName;
    m_pszAppName = kProfileVersion;
    SetRegistryKey(IDS_REGISTRY_KEY);
    m_pszAppName = pszAppName;
    LoadStdProfileSettings(kRecentFileCount);

    thePrefs.LoadPreferences();
    thePrintPrefs.LoadPrinting();
    ApplyStoredBackground();

    CString strFile = ParseAppCommandLine(m_lpCmdLine != nullptr ? m_lpCmdLine : "");
    g_nPlatform = GetPlatform(m_strVersionText, TRUE);

    if (IsAnotherInstanceRunning()) {
        // The instance channel carries the wake-up to the running copy in
        // place of a broadcast to every top-level window.
        if (g_bCompanion && g_nWakeUpMessage != 0)
            WakeUpRunningCopy();
        // What this copy was asked to open opens there instead.
        HandDocumentsToRunningCopy(strFile);
        return FALSE;
    }
    // Documents the desktop handed over beside the command line's count as
    // named: the launcher would only stand in front of them.
    const BOOL bFileNamed = !strFile.IsEmpty() || !AfxGetPendingShellCommands().empty();

    LoadSupportLibrary();

    if (!AfxOleInit()) {
        AfxMessageBox(IDS_OLE_INIT_FAILED);
        return FALSE;
    }
    Enable3dControlsStatic();

    m_hDesignMenu = RegisterDocTemplates(this);

    CMainFrame* pMainFrame = new CMainFrame;
    if (!pMainFrame->LoadFrame(kMainFrameResource, kMainFrameStyle)) {
        // A frame whose window never came is not deleted by the window.
        if (pMainFrame->m_hWnd == NULL)
            delete pMainFrame;
        return FALSE;
    }
    m_pMainWnd = pMainFrame;
    ServeInstanceChannel(pMainFrame->m_hWnd);

    // Started neither maximised nor minimised: the stored placement, and
    // maximised when there is none, so the first start fills the screen.
    if (m_nCmdShow != SW_SHOWMAXIMIZED && m_nCmdShow != SW_SHOWMINIMIZED) {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        BOOL bDefaulted = FALSE;
        LoadWindowPlacement(pMainFrame, IDS_PROFILE_APPLICATION, "Size", &placement, SW_SHOWMAXIMIZED, &bDefaulted);
        pMainFrame->SetWindowPlacement(&placement);
        m_nCmdShow = int(placement.showCmd);
    }

    OnIdle(0);
    pMainFrame->ShowWindow(m_nCmdShow);
    if (pMainFrame->IsIconic())
        pMainFrame->ShowWindow(SW_SHOWMAXIMIZED);
    pMainFrame->UpdateWindow();
    pMainFrame->DragAcceptFiles(TRUE);
    EnableShellOpen();
    RegisterShellFileTypes(FALSE);

    theCursorSet.Load();

    // The first user is asked for on the very first start, whichever way
    // the program was started: a file named on the command line or handed
    // over by the desktop or the companion program must not slip past the
    // question, and the default users made below only fill in for a user
    // who declined it.
    CReturnAddressDlg::InstallAsUserPrompt();
    {
        CUserGuard firstUser;
    }

    if (!strFile.IsEmpty())
        OpenDocumentFile(strFile);

    m_nScanner = InitTwainSource();

    LoadSoundPlayer();

    if (!g_bCompanion && !bFileNamed) {
        EnsureDefaultUsers();
        pMainFrame->PostMessage(WM_COMMAND, ID_FILE_NEW, 0);
    }

    SetMenuBitmaps();

    if (g_bCompanion)
        pMainFrame->PostMessage(WM_TW_COMPANION_START, 0, 0);
    return TRUE;
}

void CDesignerApp::ShowTipAtStartup()
{
    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (!cmdInfo.m_bShowSplash)
        return;
    CTipOfDayDlg dlg;
    if (dlg.m_bStartup)
        dlg.DoModal();
}

// ---- Idle time and the splash ----------------------------------------------------------------

BOOL CDesignerApp::OnIdle(LONG lCount)
{
    CWinApp::OnIdle(lCount);

    if (SplashExists(m_pSplash) && ::GetTickCount() - m_dwSplashStart > kSplashIdleDelay) {
        m_pSplash->DestroyWindow();
        if (m_pMainWnd != nullptr && m_pMainWnd->m_hWnd != NULL)
            m_pMainWnd->UpdateWindow();
    }

    if (lCount == kIdleRefreshCount && m_pMainWnd != nullptr) {
        auto* pFrame = dynamic_cast<CMDIFrameWnd*>(m_pMainWnd);
        CMDIChildWnd* pChild = pFrame != nullptr && pFrame->m_hWnd != NULL ? pFrame->MDIGetActive() : nullptr;
        if (pChild != nullptr)
            pChild->SendMessage(WM_TW_IDLE_REFRESH, 0, kIdleRefreshCount);
    }
    return lCount < kIdlePassLimit;
}

BOOL CDesignerApp::PreTranslateMessage(MSG* pMsg)
{
    if (SplashExists(m_pSplash)) {
        switch (pMsg->message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_NCLBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
        case WM_NCMBUTTONDOWN:
            CloseSplash(TRUE);
            break;
        default:
            break;
        }
    }
    return CWinApp::PreTranslateMessage(pMsg);
}

BOOL CDesignerApp::IsSplashShowing() const
{
    return SplashExists(m_pSplash);
}

void CDesignerApp::CloseSplash(BOOL bImmediately)
{
    if (!SplashExists(m_pSplash))
        return;
    if (!bImmediately) {
        // The main window and its bars are drawn before the wait; their
        // paint messages would otherwise wait behind it, leaving the window
        // white beside the splash.
        if (m_pMainWnd != nullptr && m_pMainWnd->m_hWnd != NULL) {
            m_pMainWnd->UpdateWindow();
            ::EnumChildWindows(m_pMainWnd->m_hWnd, PaintChildNow, 0);
        }
        // A wait already running (a timer it let through opened a document)
        // closes the splash when its time is up.
        if (m_bSplashWaiting)
            return;
        WaitOutSplash();
        // What ran during the wait may have closed it already.
        if (!SplashExists(m_pSplash))
            return;
    }
    m_pSplash->DestroyWindow();
    if (m_pMainWnd != nullptr && m_pMainWnd->m_hWnd != NULL)
        m_pMainWnd->UpdateWindow();
}

// Waits out the rest of the splash's minimum showing time with the windows
// alive: they paint, their timers run, and the back end reads the display
// between messages, so that the desktop's "are you still there?" is
// answered. What the user typed or clicked, and every posted message
// (commands among them), keeps its place in the queue until the wait is
// over: nothing the user asked for runs beside the splash.
void CDesignerApp::WaitOutSplash()
{
    struct WaitingFlag {
        BOOL& bWaiting;
        explicit WaitingFlag(BOOL& b) : bWaiting(b) { bWaiting = TRUE; }
        ~WaitingFlag() { bWaiting = FALSE; }
    } waiting(m_bSplashWaiting);
    int nRun = 0;
    for (;;) {
        const DWORD dwElapsed = ::GetTickCount() - m_dwSplashStart;
        if (dwElapsed >= kSplashOpenDelay)
            break;
        MSG msg;
        if (nRun < kSplashWaitBurst
            && (::PeekMessage(&msg, NULL, WM_PAINT, WM_PAINT, PM_REMOVE)
                || ::PeekMessage(&msg, NULL, WM_TIMER, WM_TIMER, PM_REMOVE))) {
            // A quit comes out whatever is asked for: it is the loop's to
            // take, and a program that is ending has nothing to wait for.
            if (msg.message == WM_QUIT) {
                ::PostQuitMessage(int(msg.wParam));
                break;
            }
            ::DispatchMessage(&msg);
            ++nRun;
            continue;
        }
        // Nothing to do (or a window that keeps asking to be painted): sleep
        // a slice, short enough that the desktop's questions are answered at
        // once, rather than spin the processor on the tick count.
        nRun = 0;
        ::Sleep(std::min<DWORD>(kSplashOpenDelay - dwElapsed, kSplashWaitSlice));
    }
}

// ---- Tear-down --------------------------------------------------------------------------------

int CDesignerApp::ExitInstance()
{
    if (m_hSupportLib != NULL) {
        ::FreeLibrary(m_hSupportLib);
        m_hSupportLib = NULL;
    }
    delete m_pSoundPlayer;
    m_pSoundPlayer = nullptr;
    RemoveTempFile();
    FreeMenuBitmaps();
    delete m_pDesignIndex;
    m_pDesignIndex = nullptr;
    if (m_pSplash != nullptr) {
        if (SplashExists(m_pSplash))
            m_pSplash->DestroyWindow();
        delete m_pSplash;
        m_pSplash = nullptr;
    }
    CUserGuard::SetReturnAddressPrompt(nullptr);
    // The last settings are in the file before a new copy can take over.
    const int nExitCode = CWinApp::ExitInstance();
    CloseInstanceChannel();
    return nExitCode;
}

void CDesignerApp::RemoveTempFile()
{
    char szTemp[MAX_PATH + 1] = {};
    DWORD dwLength = ::GetTempPath(MAX_PATH, szTemp);
    if (dwLength == 0 || dwLength >= MAX_PATH)
        return;
    CString strPath = szTemp;
    EnsureTrailingChar(strPath, '\\', TRUE);
    strPath += kTempFileName;
    if (FileExists(strPath)) {
        ::DeleteFile(strPath);
        return;
    }
    CString strProgramCopy = GetProgramPath(kTempFileName);
    if (FileExists(strProgramCopy))
        ::DeleteFile(strProgramCopy);
}

// ---- Services ---------------------------------------------------------------------------------

DWORD CDesignerApp::GetHelpContext() const
{
    return ::GetHelpContext();
}

void CDesignerApp::SetHelpContext(DWORD dwContext)
{
    ::SetHelpContext(dwContext);
}

void CDesignerApp::WinHelp(DWORD_PTR dwData, UINT nCmd)
{
    CString strFolder = GetProgramPath();
    ::SetCurrentDirectory(strFolder);
    CWinApp::WinHelp(dwData, nCmd);
}

int CDesignerApp::DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt)
{
    return CWinApp::DoMessageBox(lpszPrompt, nType, nIDPrompt);
}

UINT CDesignerApp::GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault)
{
    return CWinApp::GetProfileInt(lpszSection, lpszEntry, nDefault);
}

BOOL CDesignerApp::WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue)
{
    return CWinApp::WriteProfileInt(lpszSection, lpszEntry, nValue);
}

void CDesignerApp::LockMainWindowUpdate()
{
    if (m_nLockCount++ == 0 && m_pMainWnd != nullptr && m_pMainWnd->m_hWnd != NULL)
        m_pMainWnd->LockWindowUpdate();
}

void CDesignerApp::UnlockMainWindowUpdate(BOOL bForce)
{
    if (bForce) {
        m_nLockCount = 0;
    } else {
        if (m_nLockCount == 0)
            return;
        if (--m_nLockCount > 0)
            return;
    }
    if (m_pMainWnd != nullptr && m_pMainWnd->m_hWnd != NULL)
        m_pMainWnd->UnlockWindowUpdate();
}

CPalette* CDesignerApp::GetAppPalette()
{
    if (m_palette.GetSafeHandle() == NULL) {
        if (GetDisplayColorCount() > 256)
            return nullptr;
        if (!LoadPaletteResource(kPaletteResource, m_palette, FALSE))
            return nullptr;
    }
    return &m_palette;
}

HPALETTE CDesignerApp::GetPaletteHandle()
{
    CPalette* pPalette = GetAppPalette();
    return pPalette != nullptr ? HPALETTE(pPalette->GetSafeHandle()) : NULL;
}

UINT RealizeAppPalette(CWnd* pWnd, BOOL bForeground)
{
    CDesignerApp* pApp = GetDesignerApp();
    if (pApp == nullptr || pWnd == nullptr || pWnd->m_hWnd == NULL)
        return 0;
    CPalette* pPalette = pApp->GetAppPalette();
    if (pPalette == nullptr)
        return 0;
    CClientDC dc(pWnd);
    CPalette* pOld = dc.SelectPalette(pPalette, !bForeground);
    UINT nChanged = dc.RealizePalette();
    if (pOld != nullptr)
        dc.SelectPalette(pOld, TRUE);
    if (nChanged != 0)
        pWnd->Invalidate(TRUE);
    return nChanged;
}

void CDesignerApp::PlaySound(int nSound)
{
    if (m_pSoundPlayer != nullptr)
        m_pSoundPlayer->Play(nSound);
}

void CDesignerApp::BuildFontList()
{
    CWaitCursor wait;
    m_fontList.RemoveAll();
    CWnd* pWnd = m_pMainWnd != nullptr && m_pMainWnd->m_hWnd != NULL ? m_pMainWnd : CWnd::GetDesktopWindow();
    CClientDC dc(pWnd);
    ::EnumFontFamilies(dc.GetSafeHdc(), nullptr, EnumTrueTypeFontProc, reinterpret_cast<LPARAM>(&m_fontList));
}

CFontList& CDesignerApp::GetBuiltFontList()
{
    if (m_fontList.GetCount() == 0)
        BuildFontList();
    return m_fontList;
}

void CDesignerApp::FreePrinterSelection()
{
    if (m_hDevNames != NULL) {
        ::GlobalFree(m_hDevNames);
        m_hDevNames = NULL;
    }
    if (m_hDevMode != NULL) {
        ::GlobalFree(m_hDevMode);
        m_hDevMode = NULL;
    }
}

void CDesignerApp::LoadSupportLibrary()
{
    CString strPath = GetProgramPath("support\\", kSupportLibraryName);
    if (FileExists(strPath))
        m_hSupportLib = ::LoadLibrary(strPath);
}

void CDesignerApp::LoadSoundPlayer()
{
    auto* pPlayer = new CSoundPlayer;
    if (!pPlayer->Load()) {
        delete pPlayer;
        pPlayer = nullptr;
    }
    delete m_pSoundPlayer;
    m_pSoundPlayer = pPlayer;
}

void CDesignerApp::SetDesignIndex(CDesignIndex* pIndex)
{
    if (pIndex != m_pDesignIndex)
        delete m_pDesignIndex;
    m_pDesignIndex = pIndex;
}

CBitmap* CDesignerApp::GetMenuBitmap(int nSlot) const
{
    return nSlot >= 0 && nSlot < kMenuBitmapCount ? m_menuBitmaps[nSlot] : nullptr;
}

// ---- The saved toolbar layout -----------------------------------------------------------------

BOOL ResetSavedBarLayout()
{
    CString strTitle = AfxFrameworkString(AFX_IDS_APP_TITLE);
    CString strProfile = CString(kRegistryBase) + strTitle + "\\" + kProfileVersion;
    CString strSummaryName = CString(kProfileVersion) + "-Summary";

    CRegKeyHelper summary;
    if (!summary.Open(strProfile + "\\" + strSummaryName))
        return FALSE;
    // The count comes from the profile: bound it, so that a damaged value
    // cannot make us walk thousands of keys.
    constexpr int kMaxSavedBars = 256;
    DWORD dwType = 0;
    DWORD dwBars = 0;
    DWORD cbData = sizeof dwBars;
    if (::RegQueryValueEx(summary.GetKey(), "Bars", nullptr, &dwType, reinterpret_cast<LPBYTE>(&dwBars), &cbData)
            != ERROR_SUCCESS
        || dwType != REG_DWORD)
        return FALSE;
    int nBars = int(dwBars);
    if (nBars < 0)
        nBars = 0;
    if (nBars > kMaxSavedBars)
        nBars = kMaxSavedBars;

    CRegKeyHelper profile;
    if (!profile.Open(strProfile))
        return FALSE;
    profile.DeleteSubKey(strSummaryName);
    for (int i = 0; i < nBars; ++i) {
        CString strBar;
        strBar.Format("%s-Bar%d", kProfileVersion, i);
        profile.DeleteSubKey(strBar);
    }
    return TRUE;
}

// ---- Small shared services --------------------------------------------------------------------

void FreeOwnedArray(CObArray& array)
{
    for (INT_PTR i = 0; i < array.GetSize(); ++i)
        delete array.GetAt(i);
    array.RemoveAll();
}
