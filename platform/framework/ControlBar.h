#pragma once
// Control bars: the strips a frame lays out around its view (toolbars, the
// status bar, bars made from dialog templates) and the docking machinery
// that moves them between the frame's four edges and floating mini frames.
//
// Ownership: a bar object belongs to whoever created it (usually a member
// or a `new` of the frame); a bar with m_bAutoDelete deletes itself after
// its window is gone. Dock bars are created by CFrameWnd::EnableDocking with
// m_bAutoDelete set. A bar's window may move between parents (frame, dock
// bar, floating frame) but its owner stays the frame that commands go to.
//
// Layout: the frame's RecalcLayout calls RepositionBars, which sends
// WM_SIZEPARENT to every child bar in Z order; each bar takes its thickness
// from the edge named by its CBRS_ALIGN_* style and leaves the rest.
// Updates: WM_IDLEUPDATECMDUI (sent at idle) makes every visible bar run
// OnUpdateCmdUI against its owner frame.

#include "platform/framework/Wnd.h"
#include "platform/ui/CommCtrl.h"

#include <memory>
#include <vector>

namespace platform {
struct DialogTemplate;
}

class CFrameWnd;
class CDockBar;
class CDockContext;
class CMiniDockFrameWnd;
class CDockState;
class CToolBar;
class CStatusBar;

// ---- Bar styles (kept in CControlBar::m_dwStyle, not in the window style) ----------------------

#define CBRS_ALIGN_LEFT 0x1000L
#define CBRS_ALIGN_TOP 0x2000L
#define CBRS_ALIGN_RIGHT 0x4000L
#define CBRS_ALIGN_BOTTOM 0x8000L
#define CBRS_ALIGN_ANY 0xF000L

#define CBRS_BORDER_LEFT 0x0100L
#define CBRS_BORDER_TOP 0x0200L
#define CBRS_BORDER_RIGHT 0x0400L
#define CBRS_BORDER_BOTTOM 0x0800L
#define CBRS_BORDER_ANY 0x0F00L

#define CBRS_TOOLTIPS 0x0010L
#define CBRS_FLYBY 0x0020L
#define CBRS_FLOAT_MULTI 0x0040L
#define CBRS_BORDER_3D 0x0080L
#define CBRS_HIDE_INPLACE 0x0008L
#define CBRS_SIZE_DYNAMIC 0x0004L
#define CBRS_SIZE_FIXED 0x0002L
#define CBRS_FLOATING 0x0001L
#define CBRS_GRIPPER 0x00400000L

#define CBRS_ORIENT_HORZ (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)
#define CBRS_ORIENT_VERT (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)
#define CBRS_ORIENT_ANY (CBRS_ORIENT_HORZ | CBRS_ORIENT_VERT)

#define CBRS_ALL 0x0040FFFFL

#define CBRS_NOALIGN 0x00000000L
#define CBRS_LEFT (CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT)
#define CBRS_TOP (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)
#define CBRS_RIGHT (CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT)
#define CBRS_BOTTOM (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP)

// CalcDynamicLayout modes.
#define LM_STRETCH 0x01
#define LM_HORZ 0x02
#define LM_MRUWIDTH 0x04
#define LM_HORZDOCK 0x08
#define LM_VERTDOCK 0x10
#define LM_LENGTHY 0x20
#define LM_COMMIT 0x40

// ---- Toolbar button styles: the control's style in the low word, its state
// in the high word, with the enabled bit turned round into TBBS_DISABLED ----

#define TBBS_BUTTON MAKELONG(TBSTYLE_BUTTON, 0)
#define TBBS_SEPARATOR MAKELONG(TBSTYLE_SEP, 0)
#define TBBS_CHECKBOX MAKELONG(TBSTYLE_CHECK, 0)
#define TBBS_GROUP MAKELONG(TBSTYLE_GROUP, 0)
#define TBBS_CHECKGROUP (TBBS_GROUP | TBBS_CHECKBOX)
#define TBBS_CHECKED MAKELONG(0, TBSTATE_CHECKED)
#define TBBS_PRESSED MAKELONG(0, TBSTATE_PRESSED)
#define TBBS_DISABLED MAKELONG(0, TBSTATE_ENABLED)
#define TBBS_INDETERMINATE MAKELONG(0, TBSTATE_INDETERMINATE)
#define TBBS_HIDDEN MAKELONG(0, TBSTATE_HIDDEN)
#define TBBS_WRAPPED MAKELONG(0, TBSTATE_WRAP)

// ---- Status pane styles ----

#define SBPS_NORMAL 0x0000
#define SBPS_NOBORDERS SBT_NOBORDERS
#define SBPS_POPOUT SBT_POPOUT
#define SBPS_OWNERDRAW SBT_OWNERDRAW
#define SBPS_DISABLED 0x04000000
#define SBPS_STRETCH 0x08000000

// ---- Dock bar window ids. Only our own saved bar state depends on them. ----

#define AFX_IDW_DOCKBAR_TOP 0xE81B
#define AFX_IDW_DOCKBAR_LEFT 0xE81C
#define AFX_IDW_DOCKBAR_RIGHT 0xE81D
#define AFX_IDW_DOCKBAR_BOTTOM 0xE81E
#define AFX_IDW_DOCKBAR_FLOAT 0xE81F

// What WM_SIZEPARENT's lParam points to: the space still free in the
// parent's client area, trimmed by each bar in turn. hDWP is NULL when the
// caller only asks for sizes (reposQuery); otherwise bars move themselves.
struct AFX_SIZEPARENTPARAMS {
    HANDLE hDWP;
    RECT rect;
    SIZE sizeTotal;
    BOOL bStretch;
};

// ---- CControlBar -------------------------------------------------------------------------------

class CControlBar : public CWnd {
    DECLARE_DYNAMIC(CControlBar)
public:
    CControlBar();
    ~CControlBar() override;

    int GetCount() const { return m_nCount; }
    DWORD GetBarStyle() { return m_dwStyle; }
    // Changing CBRS_TOOLTIPS switches the bar's tool tips on or off.
    virtual void SetBarStyle(DWORD dwStyle);
    void SetBorders(int cxLeft = 0, int cyTop = 0, int cxRight = 0, int cyBottom = 0);
    void SetBorders(LPCRECT lpRect) { SetBorders(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }
    CRect GetBorders() const { return CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder); }

    // Which dock bars (CBRS_ALIGN_*) this bar may dock in; 0 stops docking.
    void EnableDocking(DWORD dwDockStyle);
    BOOL IsFloating() const;
    // Visible, or about to be shown by a delayed ShowControlBar.
    BOOL IsVisible() const;
    virtual BOOL IsDockBar() const { return FALSE; }
    CFrameWnd* GetDockingFrame() const;
    // Shows or hides at the next idle pass (or the next layout).
    void DelayShow(BOOL bShow);

    // bStretch: the bar spans its whole edge; bHorz: it lies along the top
    // or bottom. Sizes include the bar's borders.
    virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz);
    virtual CSize CalcDynamicLayout(int nLength, DWORD nMode);
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) = 0;
    // The command under a client point of the bar, for fly-by prompts and
    // tips: its id, 0 for none, -1 outside the bar's items.
    virtual int HitTestCommand(CPoint point) const;
    // Whether a press at a client point of the bar's own window falls on one
    // of its items (toolbar buttons); elsewhere a press picks the bar up.
    // Child controls get their own presses, so the base answers FALSE.
    virtual BOOL HitTestItem(CPoint point) const { (void)point; return FALSE; }

    virtual void DoPaint(CDC* pDC);
    virtual void DrawBorders(CDC* pDC, CRect& rect);
    virtual void DrawGripper(CDC* pDC, const CRect& rect);
    // The client rectangle less borders and gripper.
    virtual void CalcInsideRect(CRect& rect, BOOL bHorz) const;

    // Bar state.
    DWORD m_dwStyle = 0;
    DWORD m_dwDockStyle = 0;
    CFrameWnd* m_pDockSite = nullptr;
    CDockBar* m_pDockBar = nullptr;
    CDockContext* m_pDockContext = nullptr;
    BOOL m_bAutoDelete = FALSE;
    int m_cxLeftBorder = 6;
    int m_cxRightBorder = 6;
    int m_cyTopBorder = 2;
    int m_cyBottomBorder = 2;
    int m_nMRUWidth = 32767;
    int m_nCount = 0;
    // Where the bar wants to sit along its row of a dock bar (pixels from the
    // row's start); bars before it may push it further.
    int m_nDockOffset = 0;

    enum StateFlags { delayHide = 1, delayShow = 2, tempHide = 4, statusSet = 8 };
    UINT m_nStateFlags = 0;

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;
    // Applies a pending DelayShow; answers the style the bar then has.
    DWORD RecalcDelayShow(AFX_SIZEPARENTPARAMS* lpLayout);
    // Registers the bar with its parent frame (when the parent is one).
    void AttachToDockSite(CWnd* pParentWnd);
    // Fly-by prompts: id > 0 shows the command's prompt in the frame's
    // status bar, -1 restores the idle text.
    void SetStatusText(int nHit);
    void TrackFlyBy(CPoint clientPoint);
    CWnd* CommandOwner() const;

    afx_msg LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnHelpHitTest(WPARAM wParam, LPARAM lParam);
    afx_msg void OnDestroy();
    afx_msg void OnPaint();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    DECLARE_MESSAGE_MAP()

    // Tool tips of the bar's child controls (CBRS_TOOLTIPS); toolbars use
    // their control's own.
    virtual void UpdateChildTips();
    HWND m_hWndToolTip = NULL;

    int m_nFlyByLast = -1;
    friend class CDockBar;
    friend class CDockContext;
    friend class CFrameWnd;
};

// ---- CToolBar ----------------------------------------------------------------------------------

// A row of bitmap buttons over the window system's toolbar control. Clicks
// become commands sent to the owner frame (and so go up the command route,
// gated by update handlers); separators may host a child window.
class CToolBar : public CControlBar {
    DECLARE_DYNAMIC(CToolBar)
public:
    CToolBar();
    ~CToolBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT nID = AFX_IDW_TOOLBAR);
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
        DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, CRect rcBorders = CRect(0, 0, 0, 0),
        UINT nID = AFX_IDW_TOOLBAR);

    void SetSizes(SIZE sizeButton, SIZE sizeImage);
    void SetHeight(int cyHeight);
    // A TOOLBAR resource: button size, command ids, and the bitmap of the
    // same id.
    BOOL LoadToolBar(LPCTSTR lpszResourceName);
    BOOL LoadToolBar(UINT nIDResource) { return LoadToolBar(MAKEINTRESOURCE(nIDResource)); }
    BOOL LoadBitmap(LPCTSTR lpszResourceName);
    BOOL LoadBitmap(UINT nIDResource) { return LoadBitmap(MAKEINTRESOURCE(nIDResource)); }
    // Id 0 (ID_SEPARATOR) makes a separator; other buttons take the images in
    // order. NULL ids make nIDCount empty separators.
    BOOL SetButtons(const UINT* lpIDArray, int nIDCount);

    int CommandToIndex(UINT nIDFind) const;
    UINT GetItemID(int nIndex) const;
    virtual void GetItemRect(int nIndex, LPRECT lpRect) const;
    UINT GetButtonStyle(int nIndex) const;
    void SetButtonStyle(int nIndex, UINT nStyle);
    void GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const;
    // For a separator iImage is its width (a hosted child's room).
    void SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage);
    CSize GetButtonSize() const { return m_sizeButton; }
    CSize GetImageSize() const { return m_sizeImage; }

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    CSize CalcDynamicLayout(int nLength, DWORD nMode) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    int HitTestCommand(CPoint point) const override;
    BOOL HitTestItem(CPoint point) const override { return HitTestCommand(point) > 0; }
    void SetBarStyle(DWORD dwStyle) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void UpdateChildTips() override {}
    CSize CalcSize(BOOL bHorz) const;
    HWND ToolTipWindow() const;
    void SyncToolTips();
    // The non-client frame: borders and gripper around the control's buttons.
    void NcBorders(CRect& rect) const;
    void PaintNonClient();

    CSize m_sizeButton{23, 22};
    CSize m_sizeImage{16, 15};
    int m_iImageBase = -1; // the control's index of our first image
    friend class CToolCmdUI;
};

// ---- CStatusBar --------------------------------------------------------------------------------

// Panes over the window system's status bar control. Pane 0 (ID_SEPARATOR)
// stretches and carries the frame's prompts; the other panes are as wide as
// their command string (the text shown when the indicator is on).
class CStatusBar : public CControlBar {
    DECLARE_DYNAMIC(CStatusBar)
public:
    CStatusBar();
    ~CStatusBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
        UINT nID = AFX_IDW_STATUS_BAR);
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = 0, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
        UINT nID = AFX_IDW_STATUS_BAR);
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);

    int CommandToIndex(UINT nIDFind) const;
    UINT GetItemID(int nIndex) const;
    void GetItemRect(int nIndex, LPRECT lpRect) const;
    CString GetPaneText(int nIndex) const;
    void GetPaneText(int nIndex, CString& rString) const { rString = GetPaneText(nIndex); }
    BOOL SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate = TRUE);
    void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
    void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
    UINT GetPaneStyle(int nIndex) const;
    void SetPaneStyle(int nIndex, UINT nStyle);

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    int HitTestCommand(CPoint point) const override { (void)point; return -1; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Recomputes the pane edges and hands every pane's text to the control.
    void UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText);
    void UpdatePane(int nIndex);
    int TextWidth(const CString& text) const;

    struct Pane {
        UINT nID = 0;
        UINT nStyle = 0;
        int cxText = 0;
        CString strText;
    };
    std::vector<Pane> m_panes;
    friend class CStatusCmdUI;
};

// ---- CDialogBar --------------------------------------------------------------------------------

// A bar made from a dialog template; its size is the template's. At idle
// its child controls are enabled by the update handlers of their ids and
// disabled when no handler exists; a button click goes to the owner frame as
// a command.
class CDialogBar : public CControlBar {
    DECLARE_DYNAMIC(CDialogBar)
public:
    CDialogBar();
    ~CDialogBar() override;

    BOOL Create(CWnd* pParentWnd, LPCTSTR lpszTemplateName, UINT nStyle, UINT nID);
    BOOL Create(CWnd* pParentWnd, UINT nIDTemplate, UINT nStyle, UINT nID)
    {
        return Create(pParentWnd, MAKEINTRESOURCE(nIDTemplate), nStyle, nID);
    }
    BOOL CreateIndirect(CWnd* pParentWnd, LPCDLGTEMPLATE lpTemplate, UINT nStyle, UINT nID);

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

    CSize m_sizeDefault;

protected:
    // The template as the bar was made from it: a child without a frame.
    std::unique_ptr<platform::DialogTemplate> m_template;
    BOOL CreateFromTemplate(CWnd* pParentWnd, HINSTANCE hInst, LPCDLGTEMPLATE lpTemplate, UINT nStyle, UINT nID);
};

// ---- CDockBar ----------------------------------------------------------------------------------

// One edge of a frame (or the inside of a floating frame) that holds docked
// bars in rows. m_arrBars lists the bars row by row; a NULL entry ends a row
// (the list starts with NULL, so a fresh dock bar holds {NULL}).
class CDockBar : public CControlBar {
    DECLARE_DYNAMIC(CDockBar)
public:
    explicit CDockBar(BOOL bFloating = FALSE);
    ~CDockBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID);
    BOOL IsDockBar() const override { return TRUE; }

    // Docks the bar (taking it from any other dock bar). lpRect, in screen
    // coordinates, picks the row and the place in it; without one the bar
    // starts a new last row.
    void DockControlBar(CControlBar* pBar, LPCRECT lpRect = NULL);
    // Takes the bar out; a floating dock bar left empty hides its frame.
    BOOL RemoveControlBar(CControlBar* pBar, int nPosExclude = -1, int nAddPlaceHolder = 0);
    // Takes a bar that is being destroyed out of the rows, and nothing more:
    // an empty floating frame is closed later, not under the dying bar.
    void ForgetBar(CControlBar* pBar);
    int FindBar(CControlBar* pBar, int nPosExclude = -1) const;
    int GetDockedCount() const;
    int GetDockedVisibleCount() const;

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    void DoPaint(CDC* pDC) override;

    BOOL m_bFloating;
    std::vector<CControlBar*> m_arrBars;
    // Gives a bar list the shape m_arrBars keeps: NULL first, every row
    // ended by NULL, no empty rows.
    static void NormalizeRows(std::vector<CControlBar*>& bars);

    // Lays the rows out for a dock bar nLength long; with bApply the docked
    // bars are moved. Answers the dock bar's size.
    CSize LayoutBars(BOOL bStretch, int nLength, BOOL bApply);

protected:
    int m_nLayoutLength = 32767;
    int InsertPosFor(CControlBar* pBar, CRect rect) const;
    afx_msg LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

// ---- Dragging and toggling -----------------------------------------------------------------

// Each dockable bar has one; it runs the mouse drag that moves a bar
// between the frame's edges and a floating frame, and remembers the last
// docked and floating places for the double-click toggle.
class CDockContext {
public:
    explicit CDockContext(CControlBar* pBar);
    virtual ~CDockContext() = default;

    // Runs the drag from the screen point until the button comes up (dock
    // or float there), Esc or a lost capture (nothing changes).
    virtual void StartDrag(CPoint pt);
    virtual void ToggleDocking();

    CControlBar* m_pBar;
    CFrameWnd* m_pDockSite;
    DWORD m_dwDockStyle = 0;
    // Last docked place: the dock bar's id and the bar's rectangle (screen).
    UINT m_uMRUDockID = 0;
    CRect m_rectMRUDockPos;
    DWORD m_dwMRUFloatStyle = 0;
    CPoint m_ptMRUFloatPos{-1, -1};
    BOOL m_bDragging = FALSE;
    CRect m_rectLast; // the feedback rectangle on the screen (screen)

protected:
    // Where the drag rectangle would land: a dock bar, or NULL to float.
    CDockBar* TargetFor(CPoint pt, CRect& rect, DWORD& dwFloatStyle);
    void DrawFeedback(const CRect& rect);
    void EndDrag(CPoint pt, BOOL bCancel);

    CPoint m_ptStart;
    CRect m_rectStart;  // the bar's window at the start (screen)
    CSize m_sizeHorz;   // docked sizes in each orientation
    CSize m_sizeVert;
    CSize m_sizeFloatHorz;
    CSize m_sizeFloatVert;
};

// ---- Bar state ---------------------------------------------------------------------------------

// One bar's saved layout.
class CControlBarInfo {
public:
    UINT m_nBarID = 0;
    BOOL m_bVisible = TRUE;
    BOOL m_bFloating = FALSE;
    BOOL m_bHorz = TRUE;
    BOOL m_bDockBar = FALSE;
    CPoint m_pointPos{-1, -1}; // floating: the frame's screen point; docked: the place in the dock bar
    UINT m_nMRUWidth = 32767;
    BOOL m_bDocking = FALSE; // the bar can dock (has a dock context)
    UINT m_uMRUDockID = 0;
    CRect m_rectMRUDockPos;
    DWORD m_dwMRUFloatStyle = 0;
    CPoint m_ptMRUFloatPos{-1, -1};
    std::vector<UINT> m_arrBarID; // dock bars: the docked ids by row, 0 ends a row

    BOOL SaveState(LPCTSTR lpszProfileName, int nIndex) const;
    // FALSE when the section holds no bar.
    BOOL LoadState(LPCTSTR lpszProfileName, int nIndex);
};

// A frame's whole bar layout, as saved in the application's profile under
// "<name>-Summary" (value "Bars": the count) and "<name>-Bar<i>".
class CDockState : public CObject {
    DECLARE_DYNAMIC(CDockState)
public:
    std::vector<CControlBarInfo> m_arrBarInfo;

    void LoadState(LPCTSTR lpszProfileName);
    void SaveState(LPCTSTR lpszProfileName);
    void Clear() { m_arrBarInfo.clear(); }
};

// Bounds on what a profile may claim, so a damaged profile cannot make us
// allocate or loop without end.
constexpr int AfxMaxSavedBars = 256;
constexpr int AfxMaxSavedBarsPerDock = 256;

namespace platform {
// The tip of command nID: the second part of its string ("prompt\ntip"),
// empty when there is none.
CString CommandToolTip(UINT nID);
// Answers a tool tip's TTN_NEEDTEXT with that tip (empty when !bOn).
void FillToolTip(NMTTDISPINFOA* pInfo, UINT nID, BOOL bOn);
} // namespace platform

// The bar of a frame's list with this window id, or NULL.
CControlBar* AfxFindControlBar(const std::vector<CControlBar*>& bars, UINT nID);
