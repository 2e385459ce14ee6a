#pragma once
// CMainFrame: the program's MDI frame window. It owns the status bar, the
// standard and formatting toolbars and the floating tool pad, keeps the Tools
// menu of outside programs, answers the private messages by which the
// application, the launcher and the design views start a new design or
// refresh the tool pad, and hosts the "How do I" help commands.
//
// The frame owns itself like every frame; the bars it creates are owned by
// it and deleted by its destructor.

#include "platform/base/StringArray.h"
#include "platform/framework/ControlBar.h"
#include "platform/framework/MdiFrame.h"

class CMainToolBar;
class CZoomToolBar;
class CToolpadBar;
class CPropertySheet;
class CDialog;
class CDocument;

class CMainFrame : public CMDIFrameWnd {
    DECLARE_DYNCREATE(CMainFrame)
public:
    CMainFrame();
    ~CMainFrame() override;

    // Builds (or rebuilds after the Toolbars dialog) the two toolbars and the
    // tool pad from the preference bits; FALSE when a bar cannot be made.
    BOOL CreateToolbars();
    CZoomToolBar* GetStandardBar() const { return m_pStandardBar; }
    CMainToolBar* GetFormattingBar() const { return m_pFormattingBar; }
    CToolpadBar* GetToolpad() const { return m_pToolpad; }
    CStatusBar& GetStatusBar() { return m_wndStatusBar; }

    // Sets the prompt pane of the status bar and repaints it at once.
    void SetStatusText(LPCTSTR lpszText);
    // TRUE when the active MDI child has an active view on a document.
    BOOL HasActiveDesign();
    // One dropped file (Windows form) as a drop on the frame takes it: a
    // design opens; any other file goes to pDesign's views as a dropped file
    // (update hint 12), and is left alone without a design.
    static void TakeDroppedFile(LPCTSTR lpszPath, CDocument* pDesign);

    // Makes sure the application's design index exists, is loaded and that a
    // design kit can be reached (asking for the CD when needed). FALSE when
    // the index cannot be loaded or the user gives up.
    BOOL OpenDesignIndex();

    // The raw "Tool%d" values of the profile's Tools section, as last loaded.
    const CStringArray& GetToolEntries() const { return m_toolEntries; }
    // Re-reads the tool entries and rebuilds them in a popup whose first item
    // is the spelling command (the design menu's Tools popup).
    void RebuildToolsMenu(CMenu* pPopup);

    // The state of the last WM_ACTIVATEAPP (TRUE until one came).
    BOOL IsAppActive() const { return m_bAppActive; }

    // Brings the tool-pad-shown preference bit in line with a hidden tool pad
    // while a design is active (done at close and before the Toolbars dialog).
    void SyncToolpadPreference();
    // Moves the floating tool pad to the right of the design area, below the
    // caption of a design window in the first place of the cascade.
    void PlaceToolpadClearOfCaptions();

    // Window procedure: the normal processing, then the second copy's wake-up
    // message.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Message handlers that other parts of the program also call directly.
    afx_msg LRESULT OnShowToolpad(WPARAM wParam = 0, LPARAM lParam = 0);
    afx_msg LRESULT OnHideToolpad(WPARAM wParam = 0, LPARAM lParam = 0);
    afx_msg LRESULT OnRefreshToolpad(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnNewBlankDesign(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnPredesignedDesign(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnCompanionStart(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnInstanceMessage(WPARAM wParam, LPARAM lParam);
    // A common dialog's Help button: the topic of the application's help
    // context.
    afx_msg LRESULT OnCommDlgHelp(WPARAM wParam, LPARAM lParam);

    afx_msg void OnToolbars();
    afx_msg void OnUserSignIn();

protected:
    // First start: the default Tools entries; later starts: the entry of
    // each add-on not offered yet, while the menu has room.
    void SeedToolsMenu();

    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnClose();
    afx_msg void OnEnable(BOOL bEnable);
    afx_msg BOOL OnQueryEndSession();
    afx_msg void OnDropFiles(HDROP hDropInfo);
    afx_msg void OnPaletteChanged(CWnd* pFocusWnd);
    afx_msg BOOL OnQueryNewPalette();
    afx_msg void OnSysColorChange();
    afx_msg void OnActivateApp(BOOL bActive, DWORD dwThreadID);
    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);

    afx_msg void OnUpdateToolbars(CCmdUI* pCmdUI);
    afx_msg void OnToolPad();
    afx_msg void OnUpdateToolPad(CCmdUI* pCmdUI);
    afx_msg void OnToolPadFocus();
    afx_msg void OnUpdateToolPadFocus(CCmdUI* pCmdUI);
    afx_msg void OnAddTextInformation();
    afx_msg void OnRunTool(UINT nID);
    afx_msg void OnRepaintFormattingBar();
    afx_msg void OnUsersManual();
    afx_msg void OnHelpTopicCommand(UINT nID);
    afx_msg void OnHelp();
    afx_msg void OnFontSampler();
    afx_msg void OnAddressBook();
    afx_msg void OnUpdateFontSampler(CCmdUI* pCmdUI);
    afx_msg void OnUpdateAddressBook(CCmdUI* pCmdUI);
    afx_msg void OnAppActivated();
    afx_msg void OnUpdateOutsideCenter(CCmdUI* pCmdUI);
    afx_msg void OnUpdateZoomControl(CCmdUI* pCmdUI);

    DECLARE_MESSAGE_MAP()

    DWORD m_bFlag = 1;          // set at construction; nothing reads it
    CStringArray m_toolEntries; // raw "Tool%d" values of the profile
    CToolpadBar* m_pToolpad = nullptr;
    BOOL m_bToolpadAtDefault = FALSE; // floating where it was made: placed when it first shows
    BOOL m_bAppActive = TRUE;   // last WM_ACTIVATEAPP state
    CStatusBar m_wndStatusBar;
    CZoomToolBar* m_pStandardBar = nullptr;
    CMainToolBar* m_pFormattingBar = nullptr;
    DWORD m_dwValue1 = 0;       // cleared at construction; nothing reads them
    DWORD m_dwValue2 = 0;
    HMENU m_hToolsSeparatorMenu = NULL; // the popup whose last separator we added
};

// The hint object of a file dropped on the frame that is not a design: the
// active design's views take the file in (update hint 12).
class CDroppedFileHint : public CObject {
public:
    CString m_strPath; // Windows-form path
};

// The application's active flag: cleared when the program loses the
// activation, set again by the command the frame posts on activation.
extern BOOL g_bApplicationActive;

// The Design Wizard sheet running modally now (NULL when none): a second
// copy's wake-up ends it.
extern CPropertySheet* g_pCurrentWizardSheet;
// The User Sign In dialog while it runs (NULL otherwise).
extern CDialog* g_pUserSignInDlg;
// The instance file mapping a running copy holds between the two broadcasts
// of a starting copy; NULL otherwise.
extern HANDLE g_hHeldInstanceMapping;
// The modeless dialog whose keys PumpWaitingMessages passes through
// IsDialogMessage (NULL when none).
extern HWND g_hWndCurrentModeless;

// The main window as a CMainFrame, or NULL when there is none (or it is
// another kind of window).
CMainFrame* GetMainFrame();

// Dispatches every waiting message without blocking, so long operations keep
// the interface alive. A WM_QUIT taken from the queue is posted again so the
// application's own loop still ends. Answers the last PeekMessage result.
BOOL PumpWaitingMessages();

// The application's help with HELP_CONTEXT for the given context.
void ShowHelpTopic(DWORD dwContext);

// Starts a program with no command line; tells the user when it cannot.
BOOL RunProgram(LPCTSTR lpszPath);
