// CMDIChildWnd: creation through the MDI client, activation (menus, views,
// caption), keys and commands of a child frame.

#include "platform/framework/MdiFrame.h"

#include "platform/base/Resources.h"
#include "platform/framework/DocTemplate.h"
#include "platform/framework/Document.h"
#include "platform/framework/Menu.h"
#include "platform/framework/View.h"
#include "platform/framework/WinApp.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Mdi.h"

IMPLEMENT_DYNCREATE(CMDIChildWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMDIChildWnd, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_MDIACTIVATE()
    ON_WM_SIZE()
END_MESSAGE_MAP()

CMDIChildWnd::CMDIChildWnd() = default;
CMDIChildWnd::~CMDIChildWnd() = default;

// ---- Creation ----------------------------------------------------------------------------------

BOOL CMDIChildWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= WS_CHILD | WS_CLIPSIBLINGS;
    cs.style &= ~WS_POPUP;
    return CFrameWnd::PreCreateWindow(cs);
}

BOOL CMDIChildWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
    CMDIFrameWnd* pParentWnd, CCreateContext* pContext)
{
    if (pParentWnd == NULL) {
        CWnd* pMain = AfxGetMainWnd();
        if (pMain != NULL && pMain->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd)))
            pParentWnd = static_cast<CMDIFrameWnd*>(pMain);
    }
    if (pParentWnd == NULL || pParentWnd->m_hWndMDIClient == NULL) {
        delete this;
        return FALSE;
    }

    CREATESTRUCT cs{};
    cs.dwExStyle = WS_EX_MDICHILD;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = LONG(dwStyle);
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.right == CW_USEDEFAULT ? CW_USEDEFAULT : rect.right - rect.left;
    cs.cy = rect.bottom == CW_USEDEFAULT ? CW_USEDEFAULT : rect.bottom - rect.top;
    cs.hwndParent = pParentWnd->m_hWndMDIClient;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = pContext;
    if (!PreCreateWindow(cs)) {
        delete this;
        return FALSE;
    }
    if (lpszWindowName != NULL)
        m_strTitle = lpszWindowName;

    // The child is made hidden; ActivateFrame shows it (maximised when the
    // other children are) once its views exist.
    MDICREATESTRUCT mcs{};
    mcs.szClass = cs.lpszClass;
    mcs.szTitle = cs.lpszName;
    mcs.hOwner = HANDLE(cs.hInstance);
    mcs.x = cs.x;
    mcs.y = cs.y;
    mcs.cx = cs.cx;
    mcs.cy = cs.cy;
    mcs.style = DWORD(cs.style) & ~(WS_VISIBLE | WS_MAXIMIZE);
    mcs.lParam = LPARAM(pContext);

    AfxHookWindowCreate(this);
    HWND hWnd = HWND(::SendMessage(pParentWnd->m_hWndMDIClient, WM_MDICREATE, 0, LPARAM(&mcs)));
    BOOL bAttached = AfxUnhookWindowCreate();
    if (hWnd == NULL) {
        // A window that was made and destroyed again took the object with
        // it (PostNcDestroy); one never made leaves it to us.
        if (!bAttached)
            delete this;
        return FALSE;
    }
    if (dwStyle & WS_VISIBLE) {
        ::ShowWindow(hWnd, (dwStyle & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
        ::SendMessage(pParentWnd->m_hWndMDIClient, WM_MDIACTIVATE, WPARAM(hWnd), 0);
    }
    return TRUE;
}

BOOL CMDIChildWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    LPCTSTR lpszResource = MAKEINTRESOURCE(nIDResource);
    m_nIDHelp = nIDResource;

    // Frames of one template share its menu and accelerators.
    if (pContext != NULL && pContext->m_pNewDocTemplate != NULL
        && pContext->m_pNewDocTemplate->IsKindOf(RUNTIME_CLASS(CMultiDocTemplate))) {
        auto* pTemplate = static_cast<CMultiDocTemplate*>(pContext->m_pNewDocTemplate);
        m_hMenuShared = pTemplate->m_hMenuShared;
        m_hAccelTable = pTemplate->m_hAccelTable;
    }
    if (m_hMenuShared == NULL) {
        HINSTANCE hInstMenu = AfxFindResourceHandle(lpszResource, RT_MENU);
        if (::FindResource(hInstMenu, lpszResource, RT_MENU) != NULL)
            m_hMenuShared = ::LoadMenu(hInstMenu, lpszResource);
    }
    if (m_hAccelTable == NULL) {
        HINSTANCE hInstAccel = AfxFindResourceHandle(lpszResource, RT_ACCELERATOR);
        if (::FindResource(hInstAccel, lpszResource, RT_ACCELERATOR) != NULL)
            m_hAccelTable = ::LoadAccelerators(hInstAccel, lpszResource);
    }

    const char* text = nullptr;
    int length = 0;
    if (platform::FindStringResource(AfxGetResourceHandle(), nIDResource, text, length)) {
        CString strFull(text, length);
        int newline = strFull.Find('\n');
        m_strTitle = newline < 0 ? strFull : strFull.Left(newline);
    }

    HINSTANCE hInstIcon = AfxFindResourceHandle(lpszResource, RT_GROUP_ICON);
    HICON hIcon = ::FindResource(hInstIcon, lpszResource, RT_GROUP_ICON) != NULL ? ::LoadIcon(hInstIcon, lpszResource) : NULL;
    LPCTSTR lpszClass = NULL;
    if (hIcon != NULL)
        lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(NULL, IDC_ARROW), (HBRUSH)(COLOR_WINDOW + 1), hIcon);

    CMDIFrameWnd* pMDIFrame = NULL;
    if (pParentWnd != NULL && pParentWnd->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd)))
        pMDIFrame = static_cast<CMDIFrameWnd*>(pParentWnd);
    if (!Create(lpszClass, NULL, dwDefaultStyle & ~WS_VISIBLE, rectDefault, pMDIFrame, pContext))
        return FALSE; // the object is gone

    if (pContext == NULL)
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
    return TRUE;
}

int CMDIChildWnd::OnCreate(LPCREATESTRUCT lpcs)
{
    // The create context travels inside the MDICREATESTRUCT.
    auto* pmcs = lpcs != NULL ? static_cast<MDICREATESTRUCT*>(lpcs->lpCreateParams) : NULL;
    CCreateContext* pContext = pmcs != NULL ? reinterpret_cast<CCreateContext*>(pmcs->lParam) : NULL;
    return OnCreateHelper(lpcs, pContext);
}

LRESULT CMDIChildWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefMDIChildProc(m_hWnd, message, wParam, lParam);
}

// ---- The child's life in the client ------------------------------------------------------------

CMDIFrameWnd* CMDIChildWnd::GetMDIFrame() const
{
    HWND hClient = ::GetParent(m_hWnd);
    HWND hFrame = hClient != NULL ? ::GetParent(hClient) : NULL;
    CWnd* pWnd = CWnd::FromHandlePermanent(hFrame);
    return pWnd != NULL && pWnd->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd)) ? static_cast<CMDIFrameWnd*>(pWnd) : NULL;
}

BOOL CMDIChildWnd::DestroyWindow()
{
    if (m_hWnd == NULL)
        return FALSE;
    // Through the client, so that another child becomes active first.
    HWND hClient = ::GetParent(m_hWnd);
    if (hClient == NULL || !(GetExStyle() & WS_EX_MDICHILD))
        return CFrameWnd::DestroyWindow();
    HWND hWnd = m_hWnd;
    ::SendMessage(hClient, WM_MDIDESTROY, WPARAM(hWnd), 0);
    if (::IsWindow(hWnd))
        return CFrameWnd::DestroyWindow();
    return TRUE;
}

void CMDIChildWnd::MDIDestroy()
{
    ::SendMessage(::GetParent(m_hWnd), WM_MDIDESTROY, WPARAM(m_hWnd), 0);
}

void CMDIChildWnd::MDIActivate()
{
    ::SendMessage(::GetParent(m_hWnd), WM_MDIACTIVATE, WPARAM(m_hWnd), 0);
}

void CMDIChildWnd::MDIMaximize()
{
    ::SendMessage(::GetParent(m_hWnd), WM_MDIMAXIMIZE, WPARAM(m_hWnd), 0);
}

void CMDIChildWnd::MDIRestore()
{
    ::SendMessage(::GetParent(m_hWnd), WM_MDIRESTORE, WPARAM(m_hWnd), 0);
}

void CMDIChildWnd::ActivateFrame(int nCmdShow)
{
    CMDIFrameWnd* pFrame = GetMDIFrame();
    if (pFrame == NULL) {
        CFrameWnd::ActivateFrame(nCmdShow);
        return;
    }
    BOOL bMaximized = FALSE;
    CMDIChildWnd* pActive = pFrame->MDIGetActive(&bMaximized);
    if (nCmdShow == -1 || nCmdShow == SW_SHOW || nCmdShow == SW_SHOWNORMAL) {
        // Children take the state the frame shows: a new child in a frame
        // with a maximised child opens maximised.
        if ((bMaximized && pActive != this) || (GetStyle() & WS_MAXIMIZE))
            nCmdShow = SW_SHOWMAXIMIZED;
        else if (nCmdShow == -1 && (GetStyle() & WS_MINIMIZE))
            nCmdShow = SW_SHOWMINIMIZED;
    }
    HWND hWnd = m_hWnd;
    CFrameWnd::ActivateFrame(nCmdShow);
    if (!::IsWindow(hWnd) || CWnd::FromHandlePermanent(hWnd) != this)
        return;
    if (nCmdShow != SW_HIDE && pFrame->MDIGetActive() != this)
        MDIActivate();
    else if (::IsWindow(hWnd))
        ::SendMessage(::GetParent(hWnd), WM_MDIREFRESHMENU, 0, 0);
}

void CMDIChildWnd::OnMDIActivate(BOOL bActivate, CWnd* pActivateWnd, CWnd* pDeactivateWnd)
{
    HWND hWnd = m_hWnd;
    CWnd::OnMDIActivate(bActivate, pActivateWnd, pDeactivateWnd);
    if (!::IsWindow(hWnd) || CWnd::FromHandlePermanent(hWnd) != this)
        return;
    CMDIFrameWnd* pFrame = GetMDIFrame();
    if (pFrame == NULL)
        return;

    // The frame shows the active child's menu, and its own default menu
    // once no child is left.
    if (bActivate || pActivateWnd == NULL) {
        HMENU hMenu = bActivate && m_hMenuShared != NULL ? m_hMenuShared : pFrame->m_hMenuDefault;
        if (hMenu != NULL) {
            pFrame->MDISetMenu(CMenu::FromHandle(hMenu), CMenu::FromHandle(pFrame->GetWindowMenuPopup(hMenu)));
            ::DrawMenuBar(pFrame->m_hWnd);
        }
    }

    CView* pView = GetActiveView();
    if (pView != NULL) {
        pView->OnActivateView(bActivate, pView, pView);
        if (::IsWindow(hWnd) && GetActiveView() == pView)
            pView->OnActivateFrame(bActivate ? WA_ACTIVE : WA_INACTIVE, this);
    }
    if (!::IsWindow(hWnd) || CWnd::FromHandlePermanent(hWnd) != this)
        return;
    if (bActivate || pActivateWnd == NULL)
        pFrame->OnUpdateFrameTitle(TRUE);
}

void CMDIChildWnd::OnSize(UINT nType, int cx, int cy)
{
    HWND hWnd = m_hWnd;
    BOOL bWasMaximized = m_bShownMaximized;
    CFrameWnd::OnSize(nType, cx, cy);
    if (!::IsWindow(hWnd) || CWnd::FromHandlePermanent(hWnd) != this)
        return;
    // The frame's caption names the document only while the active child
    // is not maximised (the window system shows a maximised one's name).
    m_bShownMaximized = nType == SIZE_MAXIMIZED;
    CMDIFrameWnd* pFrame = GetMDIFrame();
    if (pFrame != NULL && bWasMaximized != m_bShownMaximized && pFrame->MDIGetActive() == this)
        pFrame->OnUpdateFrameTitle(TRUE);
}

// ---- Caption, keys, commands -------------------------------------------------------------------

void CMDIChildWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    // The child's caption is its document's name (with ":n" when the
    // document has several windows); the MDI frame follows.
    if (GetStyle() & FWS_ADDTOTITLE) {
        CDocument* pDoc = GetActiveDocument();
        if (bAddToTitle && pDoc != NULL) {
            CString strText = pDoc->GetTitle();
            if (m_nWindow > 0) {
                char number[16];
                wsprintf(number, ":%d", m_nWindow);
                strText += number;
            }
            CString strOld;
            GetWindowText(strOld);
            if (strOld != strText)
                SetWindowText(strText);
        }
    }
    CMDIFrameWnd* pFrame = GetMDIFrame();
    if (pFrame != NULL)
        pFrame->OnUpdateFrameTitle(bAddToTitle);
}

BOOL CMDIChildWnd::PreTranslateMessage(MSG* pMsg)
{
    if (CWnd::PreTranslateMessage(pMsg))
        return TRUE;
    if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST)
        return FALSE;
    // The child's accelerators send their commands to the MDI frame, which
    // routes them back through this child when it is active.
    CMDIFrameWnd* pFrame = GetMDIFrame();
    HACCEL hAccel = GetDefaultAccelerator();
    if (hAccel == NULL)
        return FALSE;
    HWND hTarget = pFrame != NULL ? pFrame->m_hWnd : m_hWnd;
    return ::TranslateAccelerator(hTarget, hAccel, pMsg);
}

BOOL CMDIChildWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    CView* pView = GetActiveView();
    if (pView != NULL && pView->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    // Routed from the MDI frame: the frame's own map comes before the
    // application, so the frame asks it.
    if (m_nRoutingFromFrame > 0)
        return FALSE;
    CWinApp* pApp = AfxGetApp();
    return pApp != NULL && pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}
