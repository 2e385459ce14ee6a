#pragma once
// CFrameWnd: the window that holds a document's views, its control bars,
// the menu bar and the accelerators; CMiniFrameWnd: a small-caption popup
// frame (floating control bars live in one).
//
// A frame owns itself: it is made with new, and PostNcDestroy deletes it
// once its window is gone. Its views are child windows it creates from the
// CCreateContext handed to LoadFrame; they delete themselves. The frame
// routes commands to its active view first, then its own map, then the
// application. Closing a frame asks its document (and, for the main
// window, every document) first.

#include <vector>

#include "platform/base/Geometry.h"
#include "platform/base/String.h"
#include "platform/framework/Wnd.h"

class CControlBar;
class CDockBar;
class CDockState;
class CDocument;
class CMiniDockFrameWnd;
class CView;
struct CCreateContext;
struct CPrintPreviewState;

// Frame styles (low word of the window style, which frames leave unused).
#define FWS_ADDTOTITLE 0x00008000L   // the document's name joins the caption
#define FWS_PREFIXTITLE 0x00004000L  // "Document - App" rather than "App - Document"
#define FWS_SNAPTOBARS 0x00002000L   // size the frame to its bars (floating bars)

// Mini-frame styles.
#define MFS_SYNCACTIVE 0x00000100L
#define MFS_4THICKFRAME 0x00000200L
#define MFS_THICKFRAME 0x00000400L
#define MFS_MOVEFRAME 0x00000800L
#define MFS_BLOCKSYSMENU 0x00010000L

// WM_FLOATSTATUS's wParam: what a frame tells (or asks) the floating
// windows it owns.
#define FS_ACTIVATE 0x0004L    // the frame's caption looks active now
#define FS_DEACTIVATE 0x0008L  // the frame's caption looks inactive now
#define FS_SYNCACTIVE 0x0040L  // asked: nonzero when activating this window keeps the frame looking active

// Help mode states of a frame (m_bHelpMode).
#define HELP_INACTIVE 0
#define HELP_ACTIVE 1
#define HELP_ENTERING (-1)

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    CFrameWnd();
    ~CFrameWnd() override;

    // CW_USEDEFAULT in every field: the window system places and sizes it.
    static const CRect rectDefault;

    // ---- Creation
    // A frame whose creation fails is gone afterwards, whether its window
    // was made and destroyed again (PostNcDestroy) or never made: callers
    // only forget the pointer.
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
        const RECT& rect = rectDefault, CWnd* pParentWnd = NULL, LPCTSTR lpszMenuName = NULL, DWORD dwExStyle = 0,
        CCreateContext* pContext = NULL);
    // Takes the caption (the first '\n' part of string nIDResource), menu,
    // accelerators and icon of resource nIDResource; the ones that do not
    // exist are simply not used. FALSE when the window cannot be made.
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
        CWnd* pParentWnd = NULL, CCreateContext* pContext = NULL);
    // Makes a view of pContext->m_pNewViewClass as child nID; NULL (and the
    // object deleted) on failure.
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);
    // After the views exist: the first pane becomes the active view; with
    // bMakeVisible every descendant gets WM_INITIALUPDATE and the frame is
    // shown; the caption follows the document.
    void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);

    // ---- Layout
    virtual void RecalcLayout(BOOL bNotify = TRUE);
    // Lays the frame out at the next idle update instead of now.
    void DelayRecalcLayout(BOOL bNotify = TRUE);
    virtual void ActivateFrame(int nCmdShow = -1);

    // ---- Views and documents
    CView* GetActiveView() const { return m_pViewActive; }
    // Tells the old view it is deactivated and the new one it is activated
    // (when bNotify); a view that activates another one while being
    // deactivated wins.
    void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
    virtual CDocument* GetActiveDocument();
    // The frame whose view is active: the frame itself here, the active
    // child in an MDI frame.
    virtual CFrameWnd* GetActiveFrame();
    BOOL IsFrameWnd() const override;

    // ---- Caption
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
    void SetTitle(LPCTSTR lpszTitle) { m_strTitle = lpszTitle; }
    CString GetTitle() const { return m_strTitle; }

    // ---- Status bar prompts
    void SetMessageText(LPCTSTR lpszText);
    void SetMessageText(UINT nID);
    // The status-bar prompt of command nID: its string up to the first '\n'
    // (empty when there is no string).
    virtual void GetMessageString(UINT nID, CString& rMessage) const;
    // The window showing prompts: the status bar AFX_IDW_STATUS_BAR of this
    // frame, or of the frame it sits in.
    virtual CWnd* GetMessageBar();

    // ---- Accelerators and keys
    virtual HACCEL GetDefaultAccelerator();
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // ---- Modal state: a modal window of the frame's disables the frame
    // and the other windows it owns until the state ends (nested).
    virtual void BeginModalState();
    virtual void EndModalState();
    BOOL InModalState() const { return m_cModalStack != 0; }
    void ShowOwnedWindows(BOOL bShow);

    // ---- Commands
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    // ---- Help
    // Shift+F1: the frame waits for a click and gives help on what was
    // clicked (or on the menu command chosen); Esc leaves the mode.
    afx_msg void OnContextHelp();
    // F1: help on the current context (the command being tracked or run,
    // the active window's help id).
    afx_msg void OnHelp();
    afx_msg void OnHelpIndex();
    afx_msg void OnHelpFinder();
    afx_msg void OnHelpUsing();
    // Ends Shift+F1 mode without help.
    void ExitHelpMode();
    // The help context of a point of a window (client coordinates of hWnd)
    // as Shift+F1 mode finds it: 0 when nothing answers.
    DWORD MapClientArea(HWND hWnd, CPoint point);

    // ---- Print preview (the preview path takes the frame over)
    virtual void OnSetPreviewMode(BOOL bPreview, CPrintPreviewState* pState); // defined in FramePreview.cpp

    // ---- Control bars
    void EnableDocking(DWORD dwDockStyle);                                                    // defined in FrameBars.cpp
    void DockControlBar(CControlBar* pBar, UINT nDockBarID = 0, LPCRECT lpRect = NULL);       // defined in FrameBars.cpp
    void DockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect = NULL);        // defined in FrameBars.cpp
    void FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle = 0x2000L /*CBRS_ALIGN_TOP*/); // defined in FrameBars.cpp
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);                          // defined in FrameBars.cpp
    CControlBar* GetControlBar(UINT nID);                                                     // defined in FrameBars.cpp
    void SaveBarState(LPCTSTR lpszProfileName) const;                                         // defined in FrameBars.cpp
    void LoadBarState(LPCTSTR lpszProfileName);                                               // defined in FrameBars.cpp
    void GetDockState(CDockState& state) const;                                               // defined in FrameBars.cpp
    void SetDockState(const CDockState& state);                                               // defined in FrameBars.cpp
    void AddControlBar(CControlBar* pBar);                                                    // defined in FrameBars.cpp
    void RemoveControlBar(CControlBar* pBar);                                                 // defined in FrameBars.cpp
    DWORD CanDock(CRect rect, DWORD dwDockStyle, CDockBar** ppDockBar = NULL);                // defined in FrameBars.cpp
    // Every bar whose dock site is this frame (the bars keep it up to date).
    std::vector<CControlBar*> m_listControlBars;
    DWORD m_dwDockStyle = 0; // what EnableDocking allowed

    // ---- State the document and template code read and set
    HACCEL m_hAccelTable = NULL;   // loaded by LoadFrame (resource tables are never freed)
    HMENU m_hMenuDefault = NULL;   // the menu LoadFrame gave the frame
    UINT m_nIDHelp = 0;            // resource id: help context HID_BASE_RESOURCE + id
    BOOL m_bAutoMenuEnable = TRUE; // menu items without a handler are disabled
    int m_nWindow = -1;            // this frame's number among the document's frames (":n"); 0 = the only one
    CString m_strTitle;            // the application part of the caption
    int m_bHelpMode = HELP_INACTIVE;
    UINT m_nIDTracking = 0;        // the command whose prompt is shown (menu tracking)
    UINT m_nIDLastMessage = 0;     // the last prompt shown
    CRect m_rectBorder;            // space the bars leave around the view (RecalcLayout)
    // While set, WM_CLOSE calls it instead of closing (print preview ends
    // the preview this way).
    void (*m_lpfnCloseProc)(CFrameWnd* pFrameWnd) = nullptr;

protected:
    CView* m_pViewActive = NULL;
    BOOL m_bInRecalcLayout = FALSE;
    UINT m_nIdleFlags = 0; // idleLayout / idleNotify pending at the next idle update
    int m_cModalStack = 0;
    std::vector<HWND> m_disabledByModal; // windows BeginModalState disabled
    UINT m_nCommandRunning = 0;          // the command OnCommand is carrying out

    enum IdleFlags { idleNotify = 1, idleLayout = 2 };

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // CreateEx that deletes the object when no window was ever made (a
    // window made and destroyed again has deleted it already).
    BOOL CreateOrDelete(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x, int y,
        int cx, int cy, HWND hWndParent, HMENU hMenu, LPVOID lpParam);
    void PostNcDestroy() override;
    virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    // WM_CREATE's work once the create context is known (MDI children find
    // it inside their MDICREATESTRUCT).
    int OnCreateHelper(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    // Caption helper: "Document - App" (FWS_PREFIXTITLE), "App - Document",
    // or the application part alone; ":n" follows the document's name.
    void UpdateFrameTitleForDocument(LPCTSTR lpszDocName);
    // Finds the help context for a screen point in help mode (0 = none).
    DWORD HelpContextFromPoint(CPoint ptScreen);
    // The help mode's message loop; answers the context chosen, 0 when the
    // mode ended without one.
    DWORD RunHelpModeLoop();
    void BringToTop(int nCmdShow);

    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnDestroy();
    afx_msg void OnClose();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    // A frame stays drawn active while one of its MFS_SYNCACTIVE floating
    // windows is the active window, and tells its floating windows how it
    // looks (WM_FLOATSTATUS).
    afx_msg BOOL OnNcActivate(BOOL bActive);
    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
    afx_msg void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu);
    afx_msg BOOL OnQueryEndSession();
    afx_msg void OnEndSession(BOOL bEnding);
    afx_msg void OnDropFiles(HDROP hDropInfo);
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnCommandHelp(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnHelpHitTest(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnExitHelpModeMessage(WPARAM wParam, LPARAM lParam);

    // View > Toolbar / Status Bar: show or hide the bar of that id.
    afx_msg BOOL OnBarCheck(UINT nID);                    // defined in FrameBars.cpp
    afx_msg void OnUpdateControlBarMenu(CCmdUI* pCmdUI);  // defined in FrameBars.cpp

    DECLARE_MESSAGE_MAP()

    friend class CView;
};

// A popup frame with a small caption, used by floating control bars.
// Styles: WS_POPUP | WS_CAPTION | WS_SYSMENU plus MFS_*; it never takes the
// menu bar or accelerators of a normal frame.
class CMiniFrameWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CMiniFrameWnd)
public:
    CMiniFrameWnd();
    ~CMiniFrameWnd() override;

    BOOL Create(LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle, const RECT& rect,
        CWnd* pParentWnd = NULL, UINT nID = 0);
    BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle, const RECT& rect,
        CWnd* pParentWnd = NULL, UINT nID = 0);

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    // With MFS_SYNCACTIVE the caption looks active whenever its owner's does
    // (or it is active itself), and losing activation to a window outside
    // that group takes the owner's active look with it.
    afx_msg BOOL OnNcActivate(BOOL bActive);
    afx_msg LRESULT OnFloatStatus(WPARAM wParam, LPARAM lParam);
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    DECLARE_MESSAGE_MAP()
};
