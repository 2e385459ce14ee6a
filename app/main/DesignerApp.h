#pragma once
// CDesignerApp: the one application object. It brings the program up
// (InitInstance), keeps what every subsystem reaches through the application
// (support library, palette, font list, sound player, design index, the
// page-layout record of the next new design, the window-lock count), drives
// idle time, closes the splash window and tears down (ExitInstance).
//
// The program builds exactly one, at the start of main once the platform is
// up; tests build their own. Everything runs on the one user-interface
// thread.

#include "app/Utilities.h"
#include "app/main/DesignRequest.h"
#include "model/DocQuickInfo.h"
#include "platform/framework/WinApp.h"
#include "platform/gdi/GdiObject.h"

class CBitmap;
class CCmdUI;
class CDesignIndex;
class CDocTemplate;
class CDocument;
class CDrawDoc;
class CObArray;
class CPrefData;
class CSoundPlayer;
class CSplashDlg;
class CWnd;

class CDesignerApp : public CWinApp {
public:
    CDesignerApp();
    ~CDesignerApp() override;
    CDesignerApp(const CDesignerApp&) = delete;
    CDesignerApp& operator=(const CDesignerApp&) = delete;

    enum : int { kMenuBitmapCount = 27 };
    // Milliseconds the splash shows at least before an idle pass closes it,
    // and before opening a document closes it.
    enum : DWORD { kSplashIdleDelay = 500, kSplashOpenDelay = 1500 };
    // How NewDesign was asked for: the launcher (File New) or a project-kind
    // command, which asks about pre-designed selections instead.
    enum : int { kNewDesignFromLauncher = 0, kNewDesignFromKind = 1 };

    // ---- Start, idle and end
    BOOL InitInstance() override;
    BOOL OnIdle(LONG lCount) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    int ExitInstance() override;
    // Destroys the splash window when it exists; unless bImmediately, first
    // waits until kSplashOpenDelay has passed since it appeared. While it
    // waits the windows paint and timers run, but input and posted messages
    // stay queued until the splash has gone.
    void CloseSplash(BOOL bImmediately);
    BOOL IsSplashShowing() const;

    // ---- Documents (bodies in DocTemplates.cpp)
    CDocument* OpenDocumentFile(LPCTSTR lpszFileName) override;
    BOOL CanOpenAnotherDocument(BOOL bCreating);
    BOOL IsDocumentOpen(LPCTSTR lpszPathName);
    void RemoveFromRecentFileList(LPCTSTR lpszPathName);
    BOOL PromptOpenDesign(CWnd* pParent, CString& strPath);
    BOOL DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
        CDocTemplate* pTemplate) override;
    // The same with the chosen filter index (1-based) returned.
    BOOL DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
        CDocTemplate* pTemplate, int* pnFilterIndex);

    // ---- Services
    // Changes to the program folder first, so that help files named
    // relative to it are found.
    void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT) override;
    int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt) override;
    UINT GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault);
    BOOL WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue);
    // Counted LockWindowUpdate of the main window: the outermost lock locks,
    // the matching unlock unlocks; bForce unlocks at once and clears the count.
    void LockMainWindowUpdate();
    void UnlockMainWindowUpdate(BOOL bForce = FALSE);
    int GetLockCount() const { return m_nLockCount; }
    // Made from PALETTE resource 36 on first use, only on displays of at
    // most 256 colours; NULL otherwise.
    CPalette* GetAppPalette();
    HPALETTE GetPaletteHandle();
    void PlaySound(int nSound);
    void BuildFontList();
    // Frees the chosen printer so that the default printer is used again.
    void FreePrinterSelection();
    void LoadSupportLibrary();
    void LoadSoundPlayer();
    // Deletes the scratch file "g3.dat" from the temporary folder, else from
    // the program folder.
    void RemoveTempFile();
    void EnsureDefaultUsers();
    void SetMenuBitmaps();
    void FreeMenuBitmaps();
    void ShowTipAtStartup();
    // Ends in-place text editing of the active view's one selected object;
    // bDeselect also deselects it.
    void EndTextEdit(BOOL bDeselect);

    // ---- Accessors
    HMODULE GetSupportLibrary() const { return m_hSupportLib; }
    HMENU GetDesignMenu() const { return m_hDesignMenu; }
    void SetDesignMenu(HMENU hMenu) { m_hDesignMenu = hMenu; }
    DocQuickInfo& GetDocQuickInfo() { return m_docQuickInfo; }
    DesignRequest& GetDesignRequest() { return m_designRequest; }
    const CString& GetVersionText() const { return m_strVersionText; }
    // The help context a common dialog's Help button opens: the one the
    // program-wide SetHelpContext keeps, so that both name the same topic.
    DWORD GetHelpContext() const;
    void SetHelpContext(DWORD dwContext);
    BOOL GetNoPredesigned() const { return m_bNoPredesigned; }
    void SetNoPredesigned(BOOL bNoPredesigned) { m_bNoPredesigned = bNoPredesigned; }
    BOOL GetPrintAfterSetup() const { return m_bPrintAfterSetup; }
    void SetPrintAfterSetup(BOOL bSet) { m_bPrintAfterSetup = bSet; }
    BOOL GetLimitDocuments() const { return m_bLimitDocuments; }
    void SetLimitDocuments(BOOL bLimit) { m_bLimitDocuments = bLimit; }
    // Created by the caller on first need; the application deletes it.
    CDesignIndex* GetDesignIndex() const { return m_pDesignIndex; }
    void SetDesignIndex(CDesignIndex* pIndex);
    CSoundPlayer* GetSoundPlayer() const { return m_pSoundPlayer; }
    CFontList& GetFontList() { return m_fontList; }
    // The font list, built first when it is still empty.
    CFontList& GetBuiltFontList();
    CBitmap* GetMenuBitmap(int nSlot) const;
    CSplashDlg* GetSplash() const { return m_pSplash; }
    DWORD GetSplashStartTime() const { return m_dwSplashStart; }
    LONG GetScannerHandle() const { return m_nScanner; }

    // ---- Command handlers (public so tests and the frame may call them)
    afx_msg void OnFileNew();
    afx_msg void OnNewDesignMenu();
    void NewDesign(int nMode, int nKind);
    afx_msg void OnNewTShirt();
    afx_msg void OnNewApparel();
    afx_msg void OnNewMousepad();
    afx_msg void OnNewCalendar();
    afx_msg void OnNewLabel();
    afx_msg void OnNewGeneral();
    afx_msg void OnFileOpen();
    afx_msg BOOL OnOpenRecentFile(UINT nID);
    afx_msg void OnPreferences();
    afx_msg void OnProgramDefaults();
    afx_msg void OnFavouriteTools();
    afx_msg void OnPrintingProblems();
    afx_msg void OnUpdatePreferences(CCmdUI* pCmdUI);
    afx_msg void OnFilePrintSetup();
    afx_msg void OnPrintSelectedPictures();
    afx_msg void OnUpdatePrintSelectedPictures(CCmdUI* pCmdUI);
    afx_msg void OnPictureHints();
    afx_msg void OnAppAbout();
    afx_msg void OnFindClipart();
    afx_msg void OnUpdateFindClipart(CCmdUI* pCmdUI);
    afx_msg void OnTipOfTheDay();
    afx_msg void OnOnlineSurvey();
    afx_msg void OnUpdateOnlineSurvey(CCmdUI* pCmdUI);
    afx_msg void OnUpdateAlwaysEnabled(CCmdUI* pCmdUI);
    afx_msg void OnLogo();
    afx_msg void OnUpdateLogo(CCmdUI* pCmdUI);
    afx_msg void OnSupplyCenter();

    // After the preferences sheet: re-creates the toolbars when the button
    // size or colour changed from `before`. TRUE when it did.
    BOOL ApplyPreferenceChanges(const CPrefData& before);

protected:
    // Runs the preferences sheet on page nPage.
    void RunPreferences(int nPage);
    BOOL LoadMenuBitmap(int nSlot, UINT nResourceID);
    CBitmap* FindMenuBitmap(UINT nResourceID) const;
    void SetMenuBitmap(HMENU hMenu, UINT nCommand, UINT nResourceID);
    void SetHelpMenuBitmaps(HMENU hMenu);
    void RemoveSurveyMenuEntry();
    BOOL InitInstanceSteps();
    BOOL FailStartUp();
    void WaitOutSplash();
    DECLARE_MESSAGE_MAP()

    HMODULE m_hSupportLib = NULL;
    HMENU m_hDesignMenu = NULL;
    LONG m_bFlag = 1;
    LONG m_nValue1 = 0;

public:
    // 1 at the start of every OpenDocumentFile; the failure message shows
    // only while it is set.
    LONG m_bReportOpenFailure = 0;

protected:
    CString m_strVersionText;
    DocQuickInfo m_docQuickInfo;
    DesignRequest m_designRequest;
    int m_nLockCount = 0;
    CString m_strUnused1;
    LONG m_nScanner = 0;
    CPalette m_palette;
    LONG m_nValue2 = 0;
    BOOL m_bLimitDocuments = TRUE;
    CCommandLineInfo m_cmdInfo;
    CString m_strUnused2;
    DWORD m_dwSplashStart = 0;
    CSplashDlg* m_pSplash = nullptr; // owned; its window lives until closed
    BOOL m_bSplashWaiting = FALSE;   // CloseSplash is waiting out the splash's time
    CString m_strUnused3;
    CFontList m_fontList;
    BOOL m_bNoPredesigned = FALSE;
    BOOL m_bPrintAfterSetup = FALSE;
    CDesignIndex* m_pDesignIndex = nullptr;
    CSoundPlayer* m_pSoundPlayer = nullptr;
    CBitmap* m_menuBitmaps[kMenuBitmapCount] = {};
};

// The application object (AfxGetApp as a CDesignerApp), or null.
CDesignerApp* GetDesignerApp();

// Selects the application palette into a client DC of pWnd and realises it;
// invalidates pWnd when entries changed. The number of entries changed.
UINT RealizeAppPalette(CWnd* pWnd, BOOL bForeground);
// The in-place editing state of the active view's one selected object; 0
// when nothing is being edited.
int IsSelectionBeingEdited();
// Prints pDoc through the active design view, unless the document holds
// more than one numbered storage element.
void PrintInActiveSurface(CDrawDoc* pDoc, BOOL bFlag);
// "Not enough memory..." in a message box: what a command shows when the
// class library fails while it builds or runs its dialog.
void ShowOutOfMemoryMessage();
// Deletes every object of the array and empties it.
void FreeOwnedArray(CObArray& array);
// Deletes the saved toolbar layout from the profile: "1.0-Summary" and
// its "1.0-Bar<n>" keys. FALSE when no layout was saved.
BOOL ResetSavedBarLayout();

// Registered "tovell" wake-up message (0 until start-up registers it).
extern UINT g_nWakeUpMessage;
// Registered single-instance message.
extern UINT g_nInstanceMessage;
// TRUE while the program runs as the companion of the sibling publishing
// program.
extern BOOL g_bCompanion;
// 1 while a new design was asked for from a project-kind command.
extern LONG g_nNewDesignMode;
// 0 at start, 1 after the first sign-in prompt or sign-in.
extern BOOL g_bSignedIn;
// 1 on every supported system (GetPlatform's answer).
extern int g_nPlatform;
// Program folder + "Tovellum.hlp", set during start-up.
extern CString g_strHelpFilePath;
