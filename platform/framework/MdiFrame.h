#pragma once
// CMDIFrameWnd: a main frame whose client area is an MDI client holding any
// number of CMDIChildWnd frames, one per document window. CMDIChildWnd: such
// a child frame.
//
// The MDI frame shows the active child's menu (its template's shared menu)
// and falls back to its own default menu when no child is left; the
// "Window" popup of whichever menu is shown lists the children. Commands go
// to the active child (its view, document, template and the child itself)
// before the MDI frame and then the application. Keys: the MDI keys
// (Ctrl+F4, Ctrl+F6, Ctrl+Tab), then the active child's accelerators, then
// the frame's. Captions read "Document - App", or "App - [Document]" while
// the active child is maximised.
//
// Both kinds of frame own themselves like every frame (PostNcDestroy
// deletes them). A child is destroyed through the MDI client (MDIDestroy,
// also behind DestroyWindow), so the next child becomes active first.

#include "platform/framework/Frame.h"

class CMDIChildWnd;
class CMenu;

// The id of the first MDI child; the "Window" menu lists children from it.
#ifndef AFX_IDM_FIRST_MDICHILD
#define AFX_IDM_FIRST_MDICHILD 0xFF00
#endif
// Commands of a "Window" popup lie in this range; the popup holding one is
// the one that lists the children.
#define AFX_IDM_WINDOW_FIRST 0xE130
#define AFX_IDM_WINDOW_LAST 0xE13F

class CMDIFrameWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CMDIFrameWnd)
public:
    CMDIFrameWnd();
    ~CMDIFrameWnd() override;

    // The MDI client window (not attached to a CWnd); NULL before WM_CREATE.
    HWND m_hWndMDIClient = NULL;

    // Makes the MDI client with the given "Window" popup (may be NULL).
    virtual BOOL CreateClient(LPCREATESTRUCT lpCreateStruct, CMenu* pWindowMenu);
    // The "Window" popup of a menu bar: the popup holding a command of
    // AFX_IDM_WINDOW_FIRST..LAST, else the one titled "&Window"; NULL when
    // there is none.
    virtual HMENU GetWindowMenuPopup(HMENU hMenuBar);

    void MDIActivate(CWnd* pWndActivate);
    // The active child (NULL when none); *pbMaximized tells whether it is
    // maximised.
    CMDIChildWnd* MDIGetActive(BOOL* pbMaximized = NULL) const;
    void MDIIconArrange();
    void MDIMaximize(CWnd* pWnd);
    void MDINext();
    void MDIPrev();
    void MDIRestore(CWnd* pWnd);
    // Shows pFrameMenu (NULL: unchanged) and lists the children in
    // pWindowMenu; answers the menu shown before.
    CMenu* MDISetMenu(CMenu* pFrameMenu, CMenu* pWindowMenu);
    void MDITile();
    void MDITile(int nType);
    void MDICascade();
    void MDICascade(int nType);

    // A child of class pClass loaded from resource nResource, with the given
    // shared menu and accelerators (NULL: the resource's own), shown and
    // active. NULL when it cannot be made.
    CMDIChildWnd* CreateNewChild(CRuntimeClass* pClass, UINT nResource, HMENU hMenu = NULL, HACCEL hAccel = NULL);

    // The active child, or the frame itself when there is none.
    CFrameWnd* GetActiveFrame() override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;

protected:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    // ID_WINDOW_ARRANGE, ID_WINDOW_CASCADE, ID_WINDOW_TILE_HORZ/VERT.
    afx_msg BOOL OnMDIWindowCmd(UINT nID);
    afx_msg void OnUpdateMDIWindowCmd(CCmdUI* pCmdUI);
    // ID_WINDOW_NEW: one more window on the active document.
    afx_msg void OnWindowNew();
    // The active child's view learns when the whole frame (de)activates.
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);

    DECLARE_MESSAGE_MAP()
};

class CMDIChildWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CMDIChildWnd)
public:
    CMDIChildWnd();
    ~CMDIChildWnd() override;

    // Creates the child through WM_MDICREATE in pParentWnd (NULL: the main
    // window). The object is gone when this fails.
    virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
        DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, const RECT& rect = rectDefault,
        CMDIFrameWnd* pParentWnd = NULL, CCreateContext* pContext = NULL);
    // Takes the menu and accelerators of the context's template (a
    // CMultiDocTemplate), else keeps the ones already set, else the
    // resource's; creates the child hidden.
    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_CHILD | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
        CWnd* pParentWnd = NULL, CCreateContext* pContext = NULL) override;
    BOOL DestroyWindow() override;

    void MDIDestroy();
    void MDIActivate();
    void MDIMaximize();
    void MDIRestore();
    CMDIFrameWnd* GetMDIFrame() const;

    // Shows the child (maximised when the active child is maximised) and
    // makes it the active one.
    void ActivateFrame(int nCmdShow = -1) override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    HMENU m_hMenuShared = NULL; // the menu the frame shows while this child is active (not owned)

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnMDIActivate(BOOL bActivate, CWnd* pActivateWnd, CWnd* pDeactivateWnd);
    afx_msg void OnSize(UINT nType, int cx, int cy);

    DECLARE_MESSAGE_MAP()

private:
    // Set while the MDI frame routes a command through this child: the
    // frame asks the application itself, after its own map.
    int m_nRoutingFromFrame = 0;
    BOOL m_bShownMaximized = FALSE; // the size state of the last WM_SIZE
    friend class CMDIFrameWnd;
};
