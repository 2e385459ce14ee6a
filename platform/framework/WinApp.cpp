// CWinApp: names, profile, message boxes, help, cursors, the command line
// and the run of the application.

#include "platform/framework/WinApp.h"

#include "platform/base/GlobalMemory.h"
#include "platform/base/Resources.h"
#include "platform/files/ProgramFolder.h"
#include "platform/framework/Frame.h"
#include "platform/framework/FrameworkStrings.h"
#include "platform/framework/ShellOpen.h"
#include "platform/framework/Wnd.h"
#include "platform/gdi/Gdi.h"
#include "platform/profile/Registry.h"
#include "platform/services/Help.h"
#include "platform/ui/AfxMessageBox.h"
#include "platform/ui/IdleWork.h"

#include <algorithm>
#include <utility>

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

namespace {

CWinApp*& CurrentApp()
{
    static CWinApp* pApp = nullptr;
    return pApp;
}

// Arguments are outside data: their number and length are bounded.
constexpr size_t kMaxArguments = 256;
constexpr int kMaxArgumentLength = 4096;

std::vector<CString>& Arguments()
{
    static std::vector<CString> arguments;
    return arguments;
}

CString QuoteArgument(const CString& arg)
{
    if (arg.IsEmpty() || arg.FindOneOf(" \t\"") >= 0) {
        CString quoted = "\"";
        quoted += arg;
        quoted += "\"";
        return quoted;
    }
    return arg;
}

CString ExeBaseName()
{
    char path[1024] = {};
    DWORD n = ::GetModuleFileName(NULL, path, sizeof(path));
    CString name(path, int(std::min<DWORD>(n, sizeof(path) - 1)));
    int slash = std::max(name.ReverseFind('\\'), name.ReverseFind('/'));
    if (slash >= 0)
        name = name.Mid(slash + 1);
    int dot = name.ReverseFind('.');
    if (dot > 0)
        name = name.Left(dot);
    return name;
}

} // namespace

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
    ON_COMMAND(ID_APP_EXIT, OnAppExit)
    ON_COMMAND_EX_RANGE(ID_FILE_MRU_FILE1, ID_FILE_MRU_LAST, OnOpenRecentFile)
    ON_UPDATE_COMMAND_UI(ID_FILE_MRU_FILE1, OnUpdateRecentFileMenu)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCTSTR lpszAppName)
{
    if (lpszAppName != nullptr) {
        m_strAppName = lpszAppName;
        m_pszAppName = m_strAppName;
    }
    CurrentApp() = this;
    m_hInstance = AfxGetInstanceHandle();
    // Settings changed by a burst of messages reach their file once, when
    // the loop has nothing else to do.
    platform::SetIdleWork(&platform::FlushRegistryAtIdle);
    // Every AfxMessageBox goes through the application's DoMessageBox, so
    // that an override sees them all.
    platform::SetAfxMessageBoxHandler([](LPCSTR text, UINT type, UINT helpId) -> int {
        CWinApp* pApp = AfxGetApp();
        if (pApp == nullptr)
            return ::MessageBox(NULL, text, AfxGetAppName(), type);
        return pApp->DoMessageBox(text, type, helpId);
    });
    // "No help for this topic" reaches the user the same way.
    platform::SetHelpNotice([](LPCSTR text) { AfxMessageBox(text, MB_OK | MB_ICONINFORMATION); });
}

CWinApp::~CWinApp()
{
    DeleteDocManagement();
    if (m_hDevMode != NULL)
        ::GlobalFree(m_hDevMode);
    if (m_hDevNames != NULL)
        ::GlobalFree(m_hDevNames);
    m_hDevMode = m_hDevNames = NULL;
    if (CurrentApp() == this) {
        CurrentApp() = nullptr;
        platform::SetAfxMessageBoxHandler({});
        platform::SetIdleWork(nullptr);
        platform::SetHelpNotice({});
    }
}

CWinApp* AFXAPI AfxGetApp()
{
    return CurrentApp();
}

CWnd* AFXAPI AfxGetMainWnd()
{
    CWinThread* pThread = AfxGetThread();
    return pThread != nullptr ? pThread->GetMainWnd() : nullptr;
}

LPCTSTR AFXAPI AfxGetAppName()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr && pApp->m_pszAppName != nullptr)
        return pApp->m_pszAppName;
    return "";
}

// ---- Start and end ------------------------------------------------------------------------------

BOOL CWinApp::InitApplication()
{
    if (m_pszExeName == nullptr) {
        m_strExeName = ExeBaseName();
        m_pszExeName = m_strExeName;
    }
    if (m_pszAppName == nullptr) {
        // The title string, else the program's file name.
        m_strAppName = AfxFrameworkString(AFX_IDS_APP_TITLE);
        if (m_strAppName.IsEmpty())
            m_strAppName = m_pszExeName;
        m_pszAppName = m_strAppName;
    }
    if (m_pszHelpFilePath == nullptr) {
        // The help file is named after the program unless it says otherwise.
        m_strHelpFilePath = m_pszExeName;
        m_strHelpFilePath += ".hlp";
        m_pszHelpFilePath = m_strHelpFilePath;
    }
    if (m_pszProfileName == nullptr) {
        m_strProfileName = m_pszAppName;
        m_pszProfileName = m_strProfileName;
    }
    if (m_lpCmdLine == nullptr) {
        // Documents beyond the first are the shell's to hand over, once
        // EnableShellOpen is called; the command line keeps the one file
        // name its readers expect.
        std::vector<CString> commandLine;
        std::vector<CString> shellCommands;
        AfxSplitShellDocuments(Arguments(), commandLine, shellCommands);
        AfxSetPendingShellCommands(std::move(shellCommands));
        for (const CString& arg : commandLine) {
            if (!m_strCmdLine.IsEmpty())
                m_strCmdLine += ' ';
            m_strCmdLine += QuoteArgument(arg);
        }
        m_lpCmdLine = m_strCmdLine.GetBuffer(m_strCmdLine.GetLength());
    }
    return TRUE;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    if (m_pRecentFileList != nullptr)
        SaveStdProfileSettings();
    platform::FlushRegistry();
    return int(m_msgCur.wParam);
}

int CWinApp::Run()
{
    if (m_pMainWnd == nullptr) {
        // Nothing to run a loop for.
        ::PostQuitMessage(0);
    }
    return CWinThread::Run();
}

BOOL CWinApp::OnIdle(LONG lCount)
{
    CWinThread::OnIdle(lCount);
    return lCount < 1;
}

int AFXAPI AfxRunApplication(CWinApp& app)
{
    if (!app.InitApplication() || !app.InitInstance()) {
        if (app.m_pMainWnd != nullptr && app.m_pMainWnd->m_hWnd != NULL)
            app.m_pMainWnd->DestroyWindow();
        return app.ExitInstance();
    }
    return app.Run();
}

void AFXAPI AfxSetCommandLine(int argc, char** argv)
{
    std::vector<CString> arguments;
    for (int i = 1; i < argc && argv != nullptr && argv[i] != nullptr; ++i)
        arguments.emplace_back(argv[i]);
    AfxSetCommandLine(arguments);
}

void AFXAPI AfxSetCommandLine(const std::vector<CString>& arguments)
{
    std::vector<CString>& stored = Arguments();
    stored.clear();
    for (const CString& arg : arguments) {
        if (stored.size() >= kMaxArguments)
            break;
        stored.push_back(arg.GetLength() > kMaxArgumentLength ? arg.Left(kMaxArgumentLength) : arg);
    }
}

// ---- Profile ------------------------------------------------------------------------------------

void CWinApp::SetRegistryKey(LPCTSTR lpszRegistryKey)
{
    // The profile's last level is the application's name at this moment.
    m_strRegistryKey = lpszRegistryKey != nullptr ? lpszRegistryKey : "";
    m_pszRegistryKey = m_strRegistryKey;
    m_strProfileName = m_pszAppName != nullptr ? m_pszAppName : "";
    m_pszProfileName = m_strProfileName;
    m_profile.SetProfileName(m_pszProfileName);
    m_profile.SetRegistryKey(m_pszRegistryKey);
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey)
{
    CString key = AfxFrameworkString(nIDRegistryKey);
    SetRegistryKey(key);
}

UINT CWinApp::GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault)
{
    return m_profile.GetProfileInt(lpszSection, lpszEntry, nDefault);
}

BOOL CWinApp::WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue)
{
    return m_profile.WriteProfileInt(lpszSection, lpszEntry, nValue);
}

CString CWinApp::GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault)
{
    return m_profile.GetProfileString(lpszSection, lpszEntry, lpszDefault);
}

BOOL CWinApp::WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue)
{
    return m_profile.WriteProfileString(lpszSection, lpszEntry, lpszValue);
}

BOOL CWinApp::GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE* ppData, UINT* pBytes)
{
    return m_profile.GetProfileBinary(lpszSection, lpszEntry, ppData, pBytes);
}

BOOL CWinApp::WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE pData, UINT nBytes)
{
    return m_profile.WriteProfileBinary(lpszSection, lpszEntry, pData, nBytes);
}

// ---- Message boxes and help ---------------------------------------------------------------------

int CWinApp::DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt)
{
    (void)nIDPrompt;
    // Owned by the main window's last active popup, so that the box is
    // modal to what the user is looking at.
    HWND hWndOwner = NULL;
    if (CWnd* pMainWnd = AfxGetMainWnd()) {
        hWndOwner = pMainWnd->m_hWnd;
        if (hWndOwner != NULL && ::IsWindow(hWndOwner)) {
            HWND hPopup = ::GetLastActivePopup(hWndOwner);
            if (hPopup != NULL && ::IsWindowEnabled(hPopup))
                hWndOwner = hPopup;
        } else {
            hWndOwner = NULL;
        }
    }
    if ((nType & MB_ICONMASK) == 0) {
        switch (nType & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL:
            nType |= MB_ICONEXCLAMATION;
            break;
        case MB_YESNO:
        case MB_YESNOCANCEL:
            nType |= MB_ICONQUESTION;
            break;
        case MB_ABORTRETRYIGNORE:
        case MB_RETRYCANCEL:
            break;
        default:
            break;
        }
    }
    return ::MessageBox(hWndOwner, lpszPrompt, AfxGetAppName(), nType);
}

void CWinApp::WinHelp(DWORD_PTR dwData, UINT nCmd)
{
    // The help service opens the topic's page, or tells the user through
    // the notice this object installed that there is none.
    CWnd* pMainWnd = AfxGetMainWnd();
    ::WinHelp(platform::HandleOf(pMainWnd), m_pszHelpFilePath, nCmd, dwData);
}

void CWinApp::OnHelp()
{
    // The main frame knows the context (the command being tracked, the
    // dialog on top, the window with the focus).
    CWnd* pMainWnd = AfxGetMainWnd();
    if (pMainWnd != nullptr && pMainWnd->m_hWnd != NULL && pMainWnd->IsFrameWnd()) {
        static_cast<CFrameWnd*>(pMainWnd)->OnHelp();
        return;
    }
    // Otherwise the window with the focus, or the nearest parent that
    // knows, names the help context; with no taker, the contents.
    HWND hWnd = ::GetFocus();
    if (hWnd == NULL)
        hWnd = ::GetActiveWindow();
    for (; hWnd != NULL; hWnd = ::GetParent(hWnd)) {
        if (::SendMessage(hWnd, WM_COMMANDHELP, 0, 0))
            return;
    }
    WinHelp(0, HELP_CONTENTS);
}

void CWinApp::OnHelpIndex()
{
    WinHelp(0, HELP_INDEX);
}

void CWinApp::OnHelpFinder()
{
    WinHelp(0, HELP_FINDER);
}

void CWinApp::OnHelpUsing()
{
    WinHelp(0, HELP_HELPONHELP);
}

void CWinApp::OnAppExit()
{
    // Closing the main window ends the application the ordinary way.
    if (CWnd* pMainWnd = AfxGetMainWnd())
        pMainWnd->SendMessage(WM_CLOSE);
}

// ---- Cursors and icons --------------------------------------------------------------------------

void CWinApp::DoWaitCursor(int nCode)
{
    if (nCode == 0) {
        if (m_nWaitCursorCount > 0)
            ::SetCursor(::LoadCursor(NULL, IDC_WAIT));
        return;
    }
    m_nWaitCursorCount += nCode > 0 ? 1 : -1;
    if (m_nWaitCursorCount < 0)
        m_nWaitCursorCount = 0;
    if (nCode > 0 && m_nWaitCursorCount == 1) {
        m_hcurWaitCursorRestore = ::SetCursor(::LoadCursor(NULL, IDC_WAIT));
    } else if (nCode > 0) {
        ::SetCursor(::LoadCursor(NULL, IDC_WAIT));
    } else if (m_nWaitCursorCount == 0) {
        ::SetCursor(m_hcurWaitCursorRestore != NULL ? m_hcurWaitCursorRestore : ::LoadCursor(NULL, IDC_ARROW));
        m_hcurWaitCursorRestore = NULL;
    }
}

HCURSOR CWinApp::LoadCursor(LPCTSTR lpszResourceName) const
{
    return ::LoadCursor(AfxFindResourceHandle(lpszResourceName, RT_GROUP_CURSOR), lpszResourceName);
}

HCURSOR CWinApp::LoadCursor(UINT nIDResource) const
{
    return LoadCursor(MAKEINTRESOURCE(nIDResource));
}

HCURSOR CWinApp::LoadStandardCursor(LPCTSTR lpszCursorName) const
{
    return ::LoadCursor(NULL, lpszCursorName);
}

HCURSOR CWinApp::LoadOEMCursor(UINT nIDCursor) const
{
    return ::LoadCursor(NULL, MAKEINTRESOURCE(nIDCursor));
}

HICON CWinApp::LoadIcon(LPCTSTR lpszResourceName) const
{
    return ::LoadIcon(AfxFindResourceHandle(lpszResourceName, RT_GROUP_ICON), lpszResourceName);
}

HICON CWinApp::LoadIcon(UINT nIDResource) const
{
    return LoadIcon(MAKEINTRESOURCE(nIDResource));
}

HICON CWinApp::LoadStandardIcon(LPCTSTR lpszIconName) const
{
    return ::LoadIcon(NULL, lpszIconName);
}

CWaitCursor::CWaitCursor()
{
    if (CWinApp* pApp = AfxGetApp())
        pApp->DoWaitCursor(1);
}

CWaitCursor::~CWaitCursor()
{
    if (CWinApp* pApp = AfxGetApp())
        pApp->DoWaitCursor(-1);
}

void CWaitCursor::Restore()
{
    if (CWinApp* pApp = AfxGetApp())
        pApp->DoWaitCursor(0);
}

// ---- Command line -------------------------------------------------------------------------------

CCommandLineInfo::CCommandLineInfo() = default;
CCommandLineInfo::~CCommandLineInfo() = default;

void CCommandLineInfo::ParseParam(const TCHAR* pszParam, BOOL bFlag, BOOL bLast)
{
    if (bFlag)
        ParseParamFlag(pszParam);
    else
        ParseParamNotFlag(pszParam);
    ParseLast(bLast);
}

void CCommandLineInfo::ParseParamFlag(const char* pszParam)
{
    CString flag(pszParam);
    if (flag.CompareNoCase("pt") == 0) {
        m_nShellCommand = FilePrintTo;
    } else if (flag.CompareNoCase("p") == 0) {
        m_nShellCommand = FilePrint;
    } else if (flag.CompareNoCase("Unregister") == 0 || flag.CompareNoCase("Unregserver") == 0) {
        m_nShellCommand = AppUnregister;
    } else if (flag.CompareNoCase("dde") == 0) {
        m_nShellCommand = FileDDE;
        m_bShowSplash = FALSE;
    } else if (flag.CompareNoCase("Embedding") == 0) {
        m_bRunEmbedded = TRUE;
        m_bShowSplash = FALSE;
    } else if (flag.CompareNoCase("Automation") == 0) {
        m_bRunAutomated = TRUE;
        m_bShowSplash = FALSE;
    }
}

void CCommandLineInfo::ParseParamNotFlag(const TCHAR* pszParam)
{
    // The first plain argument is the file; print-to takes three more.
    if (m_strFileName.IsEmpty())
        m_strFileName = pszParam;
    else if (m_nShellCommand == FilePrintTo && m_strPrinterName.IsEmpty())
        m_strPrinterName = pszParam;
    else if (m_nShellCommand == FilePrintTo && m_strDriverName.IsEmpty())
        m_strDriverName = pszParam;
    else if (m_nShellCommand == FilePrintTo && m_strPortName.IsEmpty())
        m_strPortName = pszParam;
}

void CCommandLineInfo::ParseLast(BOOL bLast)
{
    if (bLast && m_nShellCommand == FileNew && !m_strFileName.IsEmpty())
        m_nShellCommand = FileOpen;
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo)
{
    const std::vector<CString>& arguments = Arguments();
    for (size_t i = 0; i < arguments.size(); ++i) {
        const CString& arg = arguments[i];
        BOOL bLast = i + 1 == arguments.size();
        BOOL bFlag = !arg.IsEmpty() && (arg[0] == '-' || arg[0] == '/');
        CString param = bFlag ? arg.Mid(1) : arg;
        rCmdInfo.ParseParam(param, bFlag, bLast);
    }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo)
{
    switch (rCmdInfo.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
        if (!OnCmdMsg(ID_FILE_NEW, CN_COMMAND, nullptr, nullptr))
            OnFileNew();
        return m_pMainWnd != nullptr;
    case CCommandLineInfo::FileOpen:
        return OpenDocumentFile(rCmdInfo.m_strFileName) != nullptr;
    case CCommandLineInfo::FilePrint:
    case CCommandLineInfo::FilePrintTo:
    case CCommandLineInfo::FileDDE:
    case CCommandLineInfo::AppUnregister:
        // Printing from the command line and desktop registration are not
        // offered: the program just does not start a document.
        return FALSE;
    case CCommandLineInfo::FileNothing:
        return TRUE;
    }
    return TRUE;
}
