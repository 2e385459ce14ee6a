#pragma once
// CWinThread (the message loop with idle processing), CWinApp (the one
// application object: names, profile, help, message boxes, cursors,
// document templates), CCommandLineInfo, CWaitCursor and the Afx globals.
//
// The application object registers itself as AfxGetApp() when constructed
// and unregisters when destroyed; there is one at a time. Its profile is a
// platform::AppProfile it owns. AfxRunApplication runs InitInstance, the
// loop and ExitInstance, as the program's entry point and tests do.

#include "platform/base/ObList.h"
#include "platform/base/String.h"
#include "platform/framework/CmdTarget.h"
#include "platform/profile/AppProfile.h"

#include <memory>
#include <vector>

class CWnd;
class CDC;
class CDocTemplate;
class CDocument;
class CRecentFileList;
class CPrintDialog;
struct PRINTDLGA;

// WinHelp commands.
#define HELP_CONTEXT 0x0001L
#define HELP_QUIT 0x0002L
#define HELP_INDEX 0x0003L
#define HELP_CONTENTS 0x0003L
#define HELP_HELPONHELP 0x0004L
#define HELP_SETINDEX 0x0005L
#define HELP_SETCONTENTS 0x0005L
#define HELP_CONTEXTPOPUP 0x0008L
#define HELP_FORCEFILE 0x0009L
#define HELP_KEY 0x0101L
#define HELP_COMMAND 0x0102L
#define HELP_PARTIALKEY 0x0105L
#define HELP_MULTIKEY 0x0201L
#define HELP_SETWINPOS 0x0203L
#define HELP_CONTEXTMENU 0x000aL
#define HELP_FINDER 0x000bL
#define HELP_WM_HELP 0x000cL

class CWinThread : public CCmdTarget {
    DECLARE_DYNAMIC(CWinThread)
public:
    CWinThread();
    ~CWinThread() override;

    CWnd* m_pMainWnd = nullptr;   // the main window; its closing ends the loop
    CWnd* m_pActiveWnd = nullptr; // the active main window when it differs (OLE in-place)
    BOOL m_bAutoDelete = FALSE;
    DWORD m_nThreadID = 0;
    MSG m_msgCur{};               // the message being pumped

    virtual CWnd* GetMainWnd();

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    // The loop: while the queue is empty, OnIdle(0), OnIdle(1), ... until
    // it answers FALSE; then one message; idle starts again at 0 after a
    // message that IsIdleMessage accepts. WM_QUIT ends it with ExitInstance's
    // result.
    virtual int Run();
    // Through WalkPreTranslateTree up to the main window, then the
    // application's own filter. TRUE when the message was used.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // One message: GetMessage, PreTranslateMessage, TranslateMessage and
    // DispatchMessage. FALSE on WM_QUIT.
    virtual BOOL PumpMessage();
    // Count 0: WM_IDLEUPDATECMDUI to the main window, the windows it owns
    // and their descendants. Counts 0 and 1: temporary handle objects are
    // freed. Answers TRUE while more idle work is wanted (count < 1).
    virtual BOOL OnIdle(LONG lCount);
    // Mouse moves that do not move and WM_PAINT/timer-less churn do not
    // restart idle processing.
    virtual BOOL IsIdleMessage(MSG* pMsg);

protected:
    POINT m_ptCursorLast{-1, -1};
    UINT m_nMsgLast = 0;
};

// What the command line asks for, as ParseCommandLine fills it.
class CCommandLineInfo : public CObject {
public:
    CCommandLineInfo();
    ~CCommandLineInfo() override;

    // Called for each argument: bFlag when it started with '/' or '-' (the
    // mark removed), bLast for the last one.
    virtual void ParseParam(const TCHAR* pszParam, BOOL bFlag, BOOL bLast);

    BOOL m_bShowSplash = TRUE;
    BOOL m_bRunEmbedded = FALSE;
    BOOL m_bRunAutomated = FALSE;
    enum { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppUnregister, FileNothing = -1 } m_nShellCommand = FileNew;
    CString m_strFileName;
    CString m_strPrinterName;
    CString m_strDriverName;
    CString m_strPortName;

protected:
    void ParseParamFlag(const char* pszParam);
    void ParseParamNotFlag(const TCHAR* pszParam);
    void ParseLast(BOOL bLast);
};

class CWinApp : public CWinThread {
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCTSTR lpszAppName = nullptr);
    ~CWinApp() override;

    // ---- Names (the strings belong to the application object unless the
    // program points them at storage of its own)
    LPCTSTR m_pszAppName = nullptr;     // the constructor's name, else string AFX_IDS_APP_TITLE, else the exe name
    LPCTSTR m_pszRegistryKey = nullptr; // set by SetRegistryKey
    LPCTSTR m_pszProfileName = nullptr; // the last level of the profile key
    LPCTSTR m_pszHelpFilePath = nullptr;
    LPCTSTR m_pszExeName = nullptr;     // the program file's name without extension
    HINSTANCE m_hInstance = NULL;
    HINSTANCE m_hPrevInstance = NULL;
    LPTSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = 1; // SW_SHOWNORMAL
    BOOL m_bHelpMode = FALSE;

    // ---- Start and end
    virtual BOOL InitApplication();
    BOOL InitInstance() override;
    int ExitInstance() override;
    int Run() override;
    BOOL OnIdle(LONG lCount) override;

    // ---- Profile (forwards to platform::AppProfile)
    void SetRegistryKey(LPCTSTR lpszRegistryKey);
    void SetRegistryKey(UINT nIDRegistryKey);
    UINT GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault);
    BOOL WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue);
    CString GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault = nullptr);
    BOOL WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue);
    BOOL GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE* ppData, UINT* pBytes);
    BOOL WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE pData, UINT nBytes);
    platform::AppProfile& GetAppProfile() { return m_profile; }

    // ---- Message boxes, help, cursors and icons
    // Every AfxMessageBox comes here while this is the application object.
    virtual int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt);
    // The help service (platform/services/Help.h) with m_pszHelpFilePath;
    // a topic without a page is reported through AfxMessageBox.
    virtual void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT);
    // nCode 1 shows the wait cursor (counted), -1 takes one away, 0
    // restores it after something else changed the cursor.
    virtual void DoWaitCursor(int nCode);
    void BeginWaitCursor() { DoWaitCursor(1); }
    void EndWaitCursor() { DoWaitCursor(-1); }
    void RestoreWaitCursor() { DoWaitCursor(0); }
    HCURSOR LoadCursor(LPCTSTR lpszResourceName) const;
    HCURSOR LoadCursor(UINT nIDResource) const;
    HCURSOR LoadStandardCursor(LPCTSTR lpszCursorName) const;
    HCURSOR LoadOEMCursor(UINT nIDCursor) const;
    HICON LoadIcon(LPCTSTR lpszResourceName) const;
    HICON LoadIcon(UINT nIDResource) const;
    HICON LoadStandardIcon(LPCTSTR lpszIconName) const;

    // Dialog controls are always drawn in 3-D here.
    BOOL Enable3dControls() { return TRUE; }
    BOOL Enable3dControlsStatic() { return TRUE; }
    void SetDialogBkColor(COLORREF = 0, COLORREF = 0) {}
    // ---- The desktop shell (WinAppShell.cpp, WinAppRegister.cpp)
    // Documents handed over by the desktop open as those on the command
    // line do: in this copy, or, from a later copy, in the running one.
    void EnableShellOpen();
    // Makes the document templates' file types known to the desktop as this
    // program's documents, with their icons; only what changed is written.
    void RegisterShellFileTypes(BOOL bCompat = FALSE);
    // A shell command handed over ("[open(\"path\")]"); TRUE when handled.
    virtual BOOL OnDDECommand(LPTSTR lpszCommand);

    // ---- Command line
    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    // FileNew: the ID_FILE_NEW command; FileOpen: OpenDocumentFile;
    // FileNothing: nothing. FALSE when the request failed.
    BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);

    // ---- Documents (defined in WinAppDoc.cpp)
    CObList m_templateList;                      // defined in WinAppDoc.cpp
    CRecentFileList* m_pRecentFileList = nullptr; // defined in WinAppDoc.cpp
    void AddDocTemplate(CDocTemplate* pTemplate);                     // defined in WinAppDoc.cpp
    POSITION GetFirstDocTemplatePosition() const;                     // defined in WinAppDoc.cpp
    CDocTemplate* GetNextDocTemplate(POSITION& pos) const;            // defined in WinAppDoc.cpp
    virtual CDocument* OpenDocumentFile(LPCTSTR lpszFileName);        // defined in WinAppDoc.cpp
    virtual void AddToRecentFileList(LPCTSTR lpszPathName);           // defined in WinAppDoc.cpp
    virtual BOOL DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
        CDocTemplate* pTemplate);                                     // defined in WinAppDoc.cpp
    virtual BOOL SaveAllModified();                                   // defined in WinAppDoc.cpp
    void CloseAllDocuments(BOOL bEndSession);                         // defined in WinAppDoc.cpp
    int GetOpenDocumentCount();                                       // defined in WinAppDoc.cpp
    void LoadStdProfileSettings(UINT nMaxMRU = 4);                    // defined in WinAppDoc.cpp
    void SaveStdProfileSettings();                                    // defined in WinAppDoc.cpp

    // ---- Printer selection (defined in AppPrint.cpp)
    HGLOBAL m_hDevMode = NULL;
    HGLOBAL m_hDevNames = NULL;
    int m_nNumPreviewPages = 0;
    BOOL GetPrinterDeviceDefaults(PRINTDLGA* pPrintDlg);                        // defined in AppPrint.cpp
    void SelectPrinter(HANDLE hDevNames, HANDLE hDevMode, BOOL bFreeOld = TRUE); // defined in AppPrint.cpp
    BOOL CreatePrinterDC(CDC& dc);                                              // defined in AppPrint.cpp
    int DoPrintDialog(CPrintDialog* pPD);                                       // defined in AppPrint.cpp
    void UpdatePrinterSelection(BOOL bForceDefaults);                           // defined in AppPrint.cpp

    // ---- Command handlers (public so that programs can map them by their
    // qualified names, ON_COMMAND(ID_FILE_NEW, CWinApp::OnFileNew))
    afx_msg void OnFileNew();                            // defined in WinAppDoc.cpp
    afx_msg void OnFileOpen();                           // defined in WinAppDoc.cpp
    afx_msg BOOL OnOpenRecentFile(UINT nID);             // defined in WinAppDoc.cpp
    afx_msg void OnUpdateRecentFileMenu(CCmdUI* pCmdUI); // defined in WinAppDoc.cpp
    afx_msg void OnFilePrintSetup();                     // defined in AppPrint.cpp
    afx_msg void OnAppExit();
    afx_msg void OnHelp();
    afx_msg void OnHelpIndex();
    afx_msg void OnHelpFinder();
    afx_msg void OnHelpUsing();

protected:
    // Deletes the templates and the recent-file list (destructor).
    void DeleteDocManagement(); // defined in WinAppDoc.cpp

    platform::AppProfile m_profile;
    int m_nWaitCursorCount = 0;
    HCURSOR m_hcurWaitCursorRestore = NULL;

    DECLARE_MESSAGE_MAP()

private:
    CString m_strAppName;
    CString m_strRegistryKey;
    CString m_strProfileName;
    CString m_strExeName;
    CString m_strHelpFilePath;
    CString m_strCmdLine;
};

// Shows the wait cursor for its lifetime.
class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    void Restore();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};

// The old 3-D controls library: dialogs already look that way here.
#define CTL3D_ALL 0xffff
inline BOOL Ctl3dSubclassDlg(HWND, WORD)
{
    return TRUE;
}
inline BOOL Ctl3dSubclassDlgEx(HWND, DWORD)
{
    return TRUE;
}

CWinApp* AFXAPI AfxGetApp();
CWinThread* AFXAPI AfxGetThread();
CWnd* AFXAPI AfxGetMainWnd();
LPCTSTR AFXAPI AfxGetAppName();

// The program's arguments (argv[1..]) for ParseCommandLine and m_lpCmdLine;
// the entry point records them before the application runs.
void AFXAPI AfxSetCommandLine(int argc, char** argv);
void AFXAPI AfxSetCommandLine(const std::vector<CString>& arguments);
// InitApplication, InitInstance, then Run (or ExitInstance at once when
// InitInstance fails). Answers the program's exit code.
int AFXAPI AfxRunApplication(CWinApp& app);

// Inner loops (tracking, progress, modal loops of their own) call this to
// dispatch what is waiting without blocking. FALSE when WM_QUIT was seen:
// it is posted again so that the outer loop ends too.
BOOL AFXAPI AfxPumpMessagesUntilIdle();
// One message of an inner loop, with the application's PreTranslateMessage.
// FALSE on WM_QUIT, which is posted again.
BOOL AFXAPI AfxPumpMessage();
