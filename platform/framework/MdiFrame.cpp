// CMDIFrameWnd: the MDI client, the children's commands, keys, menus and
// the caption.

#include "platform/framework/MdiFrame.h"

#include "platform/framework/DocTemplate.h"
#include "platform/framework/Document.h"
#include "platform/framework/Menu.h"
#include "platform/framework/View.h"
#include "platform/framework/WinApp.h"
#include "platform/base/Resources.h"
#include "platform/ui/Mdi.h"

IMPLEMENT_DYNCREATE(CMDIFrameWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMDIFrameWnd, CFrameWnd)
    ON_COMMAND_EX(ID_WINDOW_ARRANGE, OnMDIWindowCmd)
    ON_COMMAND_EX(ID_WINDOW_CASCADE, OnMDIWindowCmd)
    ON_COMMAND_EX(ID_WINDOW_TILE_HORZ, OnMDIWindowCmd)
    ON_COMMAND_EX(ID_WINDOW_TILE_VERT, OnMDIWindowCmd)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_ARRANGE, OnUpdateMDIWindowCmd)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_CASCADE, OnUpdateMDIWindowCmd)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_TILE_HORZ, OnUpdateMDIWindowCmd)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_TILE_VERT, OnUpdateMDIWindowCmd)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_NEW, OnUpdateMDIWindowCmd)
    ON_COMMAND(ID_WINDOW_NEW, OnWindowNew)
    ON_WM_ACTIVATE()
END_MESSAGE_MAP()

namespace {

bool IsWindowCommand(UINT nID)
{
    return nID >= AFX_IDM_WINDOW_FIRST && nID <= AFX_IDM_WINDOW_LAST;
}

// The text of a menu item without its '&' marks.
CString PlainItemText(HMENU hMenu, int nPos)
{
    char buffer[128] = {};
    ::GetMenuString(hMenu, UINT(nPos), buffer, int(sizeof buffer), MF_BYPOSITION);
    CString text;
    for (const char* p = buffer; *p; ++p) {
        if (*p != '&')
            text += *p;
    }
    return text;
}

} // namespace

CMDIFrameWnd::CMDIFrameWnd() = default;
CMDIFrameWnd::~CMDIFrameWnd() = default;

// ---- The client --------------------------------------------------------------------------------

BOOL CMDIFrameWnd::OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext*)
{
    HMENU hWindowMenu = GetWindowMenuPopup(lpcs != NULL ? lpcs->hMenu : ::GetMenu(m_hWnd));
    return CreateClient(lpcs, hWindowMenu != NULL ? CMenu::FromHandle(hWindowMenu) : NULL);
}

BOOL CMDIFrameWnd::CreateClient(LPCREATESTRUCT, CMenu* pWindowMenu)
{
    CLIENTCREATESTRUCT ccs{pWindowMenu != NULL ? pWindowMenu->GetSafeHmenu() : NULL, AFX_IDM_FIRST_MDICHILD};
    // Children keep the styles their frames ask for (the frame styles
    // FWS_* among them). The client takes the pane id, so the layout gives
    // it whatever the control bars leave.
    DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | MDIS_ALLCHILDSTYLES;
    RECT rc{};
    ::GetClientRect(m_hWnd, &rc);
    m_hWndMDIClient = ::CreateWindowEx(WS_EX_CLIENTEDGE, "MDIClient", NULL, dwStyle, 0, 0, rc.right, rc.bottom,
        m_hWnd, (HMENU)(UINT_PTR)AFX_IDW_PANE_FIRST, AfxGetInstanceHandle(), &ccs);
    return m_hWndMDIClient != NULL;
}

HMENU CMDIFrameWnd::GetWindowMenuPopup(HMENU hMenuBar)
{
    if (hMenuBar == NULL || !::IsMenu(hMenuBar))
        return NULL;
    int count = ::GetMenuItemCount(hMenuBar);
    // The Window menu is usually one of the last, so look from the end.
    for (int i = count - 1; i >= 0; --i) {
        HMENU hPopup = ::GetSubMenu(hMenuBar, i);
        if (hPopup == NULL)
            continue;
        int items = ::GetMenuItemCount(hPopup);
        for (int k = 0; k < items; ++k) {
            if (IsWindowCommand(::GetMenuItemID(hPopup, k)))
                return hPopup;
        }
    }
    for (int i = count - 1; i >= 0; --i) {
        HMENU hPopup = ::GetSubMenu(hMenuBar, i);
        if (hPopup != NULL && PlainItemText(hMenuBar, i).CompareNoCase("Window") == 0)
            return hPopup;
    }
    return NULL;
}

LRESULT CMDIFrameWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefFrameProc(m_hWnd, m_hWndMDIClient, message, wParam, lParam);
}

// ---- Children ----------------------------------------------------------------------------------

CMDIChildWnd* CMDIFrameWnd::MDIGetActive(BOOL* pbMaximized) const
{
    if (m_hWndMDIClient == NULL) {
        if (pbMaximized != NULL)
            *pbMaximized = FALSE;
        return NULL;
    }
    HWND hWnd = HWND(::SendMessage(m_hWndMDIClient, WM_MDIGETACTIVE, 0, LPARAM(pbMaximized)));
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    // Children that are not class-library frames count as none.
    CMDIChildWnd* pChild = pWnd != NULL && pWnd->IsKindOf(RUNTIME_CLASS(CMDIChildWnd)) ? static_cast<CMDIChildWnd*>(pWnd) : NULL;
    if (pChild == NULL && pbMaximized != NULL)
        *pbMaximized = FALSE;
    return pChild;
}

void CMDIFrameWnd::MDIActivate(CWnd* pWndActivate)
{
    ::SendMessage(m_hWndMDIClient, WM_MDIACTIVATE, WPARAM(pWndActivate->GetSafeHwnd()), 0);
}

void CMDIFrameWnd::MDIIconArrange()
{
    ::SendMessage(m_hWndMDIClient, WM_MDIICONARRANGE, 0, 0);
}

void CMDIFrameWnd::MDIMaximize(CWnd* pWnd)
{
    ::SendMessage(m_hWndMDIClient, WM_MDIMAXIMIZE, WPARAM(pWnd->GetSafeHwnd()), 0);
}

void CMDIFrameWnd::MDINext()
{
    ::SendMessage(m_hWndMDIClient, WM_MDINEXT, 0, 0);
}

void CMDIFrameWnd::MDIPrev()
{
    ::SendMessage(m_hWndMDIClient, WM_MDINEXT, 0, 1);
}

void CMDIFrameWnd::MDIRestore(CWnd* pWnd)
{
    ::SendMessage(m_hWndMDIClient, WM_MDIRESTORE, WPARAM(pWnd->GetSafeHwnd()), 0);
}

CMenu* CMDIFrameWnd::MDISetMenu(CMenu* pFrameMenu, CMenu* pWindowMenu)
{
    // Either menu may be null: that part of the menu bar stays as it is.
    HMENU hFrame = pFrameMenu != nullptr ? pFrameMenu->m_hMenu : NULL;
    HMENU hWindow = pWindowMenu != nullptr ? pWindowMenu->m_hMenu : NULL;
    HMENU hOld = HMENU(::SendMessage(m_hWndMDIClient, WM_MDISETMENU, WPARAM(hFrame), LPARAM(hWindow)));
    return CMenu::FromHandle(hOld);
}

void CMDIFrameWnd::MDITile()
{
    ::SendMessage(m_hWndMDIClient, WM_MDITILE, 0, 0);
}

void CMDIFrameWnd::MDITile(int nType)
{
    ::SendMessage(m_hWndMDIClient, WM_MDITILE, WPARAM(nType), 0);
}

void CMDIFrameWnd::MDICascade()
{
    ::SendMessage(m_hWndMDIClient, WM_MDICASCADE, 0, 0);
}

void CMDIFrameWnd::MDICascade(int nType)
{
    ::SendMessage(m_hWndMDIClient, WM_MDICASCADE, WPARAM(nType), 0);
}

CMDIChildWnd* CMDIFrameWnd::CreateNewChild(CRuntimeClass* pClass, UINT nResource, HMENU hMenu, HACCEL hAccel)
{
    if (pClass == NULL)
        return NULL;
    CObject* pObject = pClass->CreateObject();
    if (pObject == NULL)
        return NULL;
    if (!pObject->IsKindOf(RUNTIME_CLASS(CMDIChildWnd))) {
        delete pObject;
        return NULL;
    }
    auto* pFrame = static_cast<CMDIChildWnd*>(pObject);
    pFrame->m_hMenuShared = hMenu;
    pFrame->m_hAccelTable = hAccel;
    CCreateContext context;
    if (!pFrame->LoadFrame(nResource, WS_CHILD | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, this, &context))
        return NULL; // the frame is gone
    pFrame->InitialUpdateFrame(NULL, TRUE);
    return pFrame;
}

CFrameWnd* CMDIFrameWnd::GetActiveFrame()
{
    CMDIChildWnd* pChild = MDIGetActive();
    return pChild != NULL ? static_cast<CFrameWnd*>(pChild) : this;
}

// ---- Commands and keys -------------------------------------------------------------------------

BOOL CMDIFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The active child (its view, document and template, then the child's
    // own map) answers first; the application comes after this frame.
    CMDIChildWnd* pChild = MDIGetActive();
    if (pChild != NULL) {
        HWND hChild = pChild->m_hWnd;
        ++pChild->m_nRoutingFromFrame;
        BOOL bHandled = pChild->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
        // The command may have closed the child.
        if (CWnd::FromHandlePermanent(hChild) == pChild)
            --pChild->m_nRoutingFromFrame;
        if (bHandled)
            return TRUE;
    }
    return CFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CMDIFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    // Entries of the window list, and the maximised child's buttons in the
    // menu bar, belong to the window system's MDI code.
    if (lParam == 0 && m_hWndMDIClient != NULL && (nID >= AFX_IDM_FIRST_MDICHILD || (nID >= 0xF000 && nID < 0xF1F0))) {
        BOOL bMaximized = FALSE;
        HWND hActive = HWND(::SendMessage(m_hWndMDIClient, WM_MDIGETACTIVE, 0, LPARAM(&bMaximized)));
        if (nID >= AFX_IDM_FIRST_MDICHILD || (hActive != NULL && bMaximized)) {
            ::DefFrameProc(m_hWnd, m_hWndMDIClient, WM_COMMAND, wParam, lParam);
            return TRUE;
        }
    }
    return CFrameWnd::OnCommand(wParam, lParam);
}

BOOL CMDIFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (CWnd::PreTranslateMessage(pMsg))
        return TRUE;
    if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST)
        return FALSE;
    if ((pMsg->message == WM_KEYDOWN || pMsg->message == WM_SYSKEYDOWN) && m_hWndMDIClient != NULL
        && ::TranslateMDISysAccel(m_hWndMDIClient, pMsg))
        return TRUE;
    // Accelerators send their commands to this frame, which routes them
    // through the active child first.
    CMDIChildWnd* pChild = MDIGetActive();
    if (pChild != NULL) {
        HACCEL hChildAccel = pChild->GetDefaultAccelerator();
        if (hChildAccel != NULL && ::TranslateAccelerator(m_hWnd, hChildAccel, pMsg))
            return TRUE;
    }
    HACCEL hAccel = GetDefaultAccelerator();
    return hAccel != NULL && ::TranslateAccelerator(m_hWnd, hAccel, pMsg);
}

BOOL CMDIFrameWnd::OnMDIWindowCmd(UINT nID)
{
    switch (nID) {
    case ID_WINDOW_ARRANGE:
        MDIIconArrange();
        return TRUE;
    case ID_WINDOW_CASCADE:
        MDICascade();
        return TRUE;
    case ID_WINDOW_TILE_HORZ:
        MDITile(MDITILE_HORIZONTAL);
        return TRUE;
    case ID_WINDOW_TILE_VERT:
        MDITile(MDITILE_VERTICAL);
        return TRUE;
    default:
        return FALSE;
    }
}

void CMDIFrameWnd::OnUpdateMDIWindowCmd(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(MDIGetActive() != NULL);
}

void CMDIFrameWnd::OnWindowNew()
{
    CMDIChildWnd* pChild = MDIGetActive();
    CDocument* pDoc = pChild != NULL ? pChild->GetActiveDocument() : NULL;
    CDocTemplate* pTemplate = pDoc != NULL ? pDoc->GetDocTemplate() : NULL;
    if (pTemplate == NULL)
        return;
    CFrameWnd* pFrame = pTemplate->CreateNewFrame(pDoc, pChild);
    if (pFrame != NULL)
        pTemplate->InitialUpdateFrame(pFrame, pDoc);
}

void CMDIFrameWnd::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized)
{
    HWND hWnd = m_hWnd;
    CFrameWnd::OnActivate(nState, pWndOther, bMinimized);
    if (!::IsWindow(hWnd) || CWnd::FromHandlePermanent(hWnd) != this)
        return;
    CMDIChildWnd* pChild = MDIGetActive();
    CView* pView = pChild != NULL ? pChild->GetActiveView() : NULL;
    if (pView == NULL)
        return;
    BOOL bActive = nState != WA_INACTIVE && !bMinimized;
    pView->OnActivateView(bActive, pView, pView);
    if (::IsWindow(hWnd) && pChild->GetActiveView() == pView)
        pView->OnActivateFrame(nState, pChild);
}

// ---- Caption -----------------------------------------------------------------------------------

void CMDIFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if ((GetStyle() & FWS_ADDTOTITLE) == 0)
        return;
    BOOL bMaximized = FALSE;
    CMDIChildWnd* pChild = MDIGetActive(&bMaximized);
    CDocument* pDoc = pChild != NULL ? pChild->GetActiveDocument() : NULL;
    // A maximised child's name is added by the window system, in brackets
    // after the application's; otherwise it goes into the caption here.
    if (bAddToTitle && pDoc != NULL && !bMaximized) {
        CString strDoc = pDoc->GetTitle();
        if (pChild->m_nWindow > 0) {
            char number[16];
            wsprintf(number, ":%d", pChild->m_nWindow);
            strDoc += number;
        }
        int nSaved = m_nWindow;
        m_nWindow = 0;
        UpdateFrameTitleForDocument(strDoc);
        m_nWindow = nSaved;
    } else {
        UpdateFrameTitleForDocument(NULL);
    }
}
