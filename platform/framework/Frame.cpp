// CFrameWnd: creation from a resource id, views, layout, caption,
// activation, closing and the modal state.

#include "platform/framework/Frame.h"

#include <algorithm>

#include "platform/base/Resources.h"
#include "platform/framework/Document.h"
#include "platform/framework/View.h"
#include "platform/framework/WinApp.h"
#include "platform/gdi/Gdi.h"

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT);

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_WM_SIZE()
    ON_WM_SETFOCUS()
    ON_WM_ACTIVATE()
    ON_WM_NCACTIVATE()
    ON_WM_ERASEBKGND()
    ON_WM_INITMENUPOPUP()
    ON_WM_MENUSELECT()
    ON_WM_QUERYENDSESSION()
    ON_WM_ENDSESSION()
    ON_WM_DROPFILES()
    ON_WM_SYSCOMMAND()
    ON_MESSAGE(WM_SETMESSAGESTRING, OnSetMessageString)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
    ON_MESSAGE(WM_COMMANDHELP, OnCommandHelp)
    ON_MESSAGE(WM_HELPHITTEST, OnHelpHitTest)
    ON_MESSAGE(WM_EXITHELPMODE, OnExitHelpModeMessage)
    ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, OnUpdateControlBarMenu)
    ON_COMMAND_EX(ID_VIEW_STATUS_BAR, OnBarCheck)
    ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLBAR, OnUpdateControlBarMenu)
    ON_COMMAND_EX(ID_VIEW_TOOLBAR, OnBarCheck)
END_MESSAGE_MAP()

namespace {

// The frames showing a document, in the order of its views.
std::vector<CFrameWnd*> FramesOf(CDocument* pDoc)
{
    std::vector<CFrameWnd*> frames;
    POSITION pos = pDoc->GetFirstViewPosition();
    while (pos != NULL) {
        CView* pView = pDoc->GetNextView(pos);
        CFrameWnd* pFrame = pView != NULL ? pView->GetParentFrame() : NULL;
        if (pFrame != NULL && std::find(frames.begin(), frames.end(), pFrame) == frames.end())
            frames.push_back(pFrame);
    }
    return frames;
}

bool IsSameFrameAlive(HWND hWnd, const CFrameWnd* pFrame)
{
    return ::IsWindow(hWnd) && CWnd::FromHandlePermanent(hWnd) == pFrame;
}

// The frame being created; its destructor clears it, which tells a failed
// creation whether the window took the object with it.
CFrameWnd* g_pFrameBeingCreated = nullptr;

} // namespace

CFrameWnd::CFrameWnd() = default;

CFrameWnd::~CFrameWnd()
{
    if (g_pFrameBeingCreated == this)
        g_pFrameBeingCreated = nullptr;
}

BOOL CFrameWnd::CreateOrDelete(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x,
    int y, int cx, int cy, HWND hWndParent, HMENU hMenu, LPVOID lpParam)
{
    CFrameWnd* pOuter = g_pFrameBeingCreated;
    g_pFrameBeingCreated = this;
    BOOL bCreated = CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, cx, cy, hWndParent, hMenu, lpParam);
    bool stillHere = g_pFrameBeingCreated == this;
    g_pFrameBeingCreated = pOuter;
    if (!bCreated && stillHere) {
        // No window was ever made, so nothing deleted the frame: do it here,
        // so that a failed creation always ends the object.
        delete this;
    }
    return bCreated;
}

BOOL CFrameWnd::IsFrameWnd() const
{
    return TRUE;
}

// ---- Creation ----------------------------------------------------------------------------------

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszClass == NULL)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(NULL, IDC_ARROW), (HBRUSH)(COLOR_WINDOW + 1));
    // The document's name goes first in the caption, as users of this
    // desktop expect.
    if (cs.style & FWS_ADDTOTITLE)
        cs.style |= FWS_PREFIXTITLE;
    return TRUE;
}

BOOL CFrameWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
    CWnd* pParentWnd, LPCTSTR lpszMenuName, DWORD dwExStyle, CCreateContext* pContext)
{
    HMENU hMenu = NULL;
    if (lpszMenuName != NULL) {
        hMenu = ::LoadMenu(AfxFindResourceHandle(lpszMenuName, RT_MENU), lpszMenuName);
        if (hMenu == NULL) {
            delete this;
            return FALSE;
        }
    }
    m_strTitle = lpszWindowName;

    int x = rect.left, y = rect.top;
    int cx = rect.right == CW_USEDEFAULT ? CW_USEDEFAULT : rect.right - rect.left;
    int cy = rect.bottom == CW_USEDEFAULT ? CW_USEDEFAULT : rect.bottom - rect.top;
    if (!CreateOrDelete(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, cx, cy, (pParentWnd != NULL ? pParentWnd->m_hWnd : NULL),
            hMenu, pContext)) {
        if (hMenu != NULL && ::IsMenu(hMenu))
            ::DestroyMenu(hMenu);
        return FALSE;
    }
    return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    LPCTSTR lpszResource = MAKEINTRESOURCE(nIDResource);
    m_nIDHelp = nIDResource;

    CString strFull;
    const char* text = nullptr;
    int length = 0;
    if (platform::FindStringResource(AfxGetResourceHandle(), nIDResource, text, length)) {
        strFull = CString(text, length);
        int newline = strFull.Find('\n');
        m_strTitle = newline < 0 ? strFull : strFull.Left(newline);
    }

    HINSTANCE hInstIcon = AfxFindResourceHandle(lpszResource, RT_GROUP_ICON);
    HICON hIcon = ::FindResource(hInstIcon, lpszResource, RT_GROUP_ICON) != NULL
            || ::FindResource(hInstIcon, lpszResource, RT_ICON) != NULL
        ? ::LoadIcon(hInstIcon, lpszResource)
        : NULL;
    LPCTSTR lpszClass = NULL;
    if (hIcon != NULL)
        lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(NULL, IDC_ARROW), (HBRUSH)(COLOR_WINDOW + 1), hIcon);

    HINSTANCE hInstMenu = AfxFindResourceHandle(lpszResource, RT_MENU);
    LPCTSTR lpszMenu = ::FindResource(hInstMenu, lpszResource, RT_MENU) != NULL ? lpszResource : NULL;

    CString strTitle = m_strTitle;
    if (!Create(lpszClass, strTitle, dwDefaultStyle, rectDefault, pParentWnd, lpszMenu, 0L, pContext))
        return FALSE; // the object is gone

    m_hMenuDefault = ::GetMenu(m_hWnd);
    if (m_hAccelTable == NULL) {
        HINSTANCE hInstAccel = AfxFindResourceHandle(lpszResource, RT_ACCELERATOR);
        if (::FindResource(hInstAccel, lpszResource, RT_ACCELERATOR) != NULL)
            m_hAccelTable = ::LoadAccelerators(hInstAccel, lpszResource);
    }
    // A frame without a create context has no views to wait for: its
    // children are complete now.
    if (pContext == NULL)
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
    return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpcs)
{
    return OnCreateHelper(lpcs, static_cast<CCreateContext*>(lpcs->lpCreateParams));
}

int CFrameWnd::OnCreateHelper(LPCREATESTRUCT lpcs, CCreateContext* pContext)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    if (!OnCreateClient(lpcs, pContext))
        return -1;
    // The status bar shows the idle prompt once the frame is up.
    PostMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
    RecalcLayout();
    return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext)
{
    if (pContext != NULL && pContext->m_pNewViewClass != NULL) {
        if (CreateView(pContext, AFX_IDW_PANE_FIRST) == NULL)
            return FALSE;
    }
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID)
{
    if (pContext == NULL || pContext->m_pNewViewClass == NULL)
        return NULL;
    CObject* pObject = pContext->m_pNewViewClass->CreateObject();
    CWnd* pView = pObject != NULL && pObject->IsKindOf(RUNTIME_CLASS(CWnd)) ? static_cast<CWnd*>(pObject) : NULL;
    if (pView == NULL) {
        delete pObject;
        return NULL;
    }
    // A view whose window failed in WM_CREATE has deleted itself
    // (PostNcDestroy): it must not be touched again.
    if (!pView->Create(NULL, NULL, AFX_WS_DEFAULT_VIEW, CRect(0, 0, 0, 0), this, nID, pContext))
        return NULL;
    return pView;
}

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible)
{
    HWND hWnd = m_hWnd;
    CView* pView = NULL;
    if (GetActiveView() == NULL) {
        CWnd* pWnd = GetDescendantWindow(AFX_IDW_PANE_FIRST, TRUE);
        if (pWnd != NULL && pWnd->IsKindOf(RUNTIME_CLASS(CView))) {
            pView = static_cast<CView*>(pWnd);
            SetActiveView(pView, FALSE);
        }
    }

    if (bMakeVisible) {
        // Every view learns it is complete, hidden ones too.
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
        if (!IsSameFrameAlive(hWnd, this))
            return;
        if (pView != NULL)
            pView->OnActivateFrame(WA_INACTIVE, this);

        // The first frame of the program takes the show command it was
        // started with.
        int nCmdShow = -1;
        CWinApp* pApp = AfxGetApp();
        if (pApp != NULL && pApp->m_pMainWnd == NULL) {
            nCmdShow = pApp->m_nCmdShow;
            pApp->m_nCmdShow = -1;
        }
        ActivateFrame(nCmdShow);
        if (!IsSameFrameAlive(hWnd, this))
            return;
        if (pView != NULL && GetActiveView() == pView)
            pView->OnActivateView(TRUE, pView, pView);
    }

    if (pDoc != NULL)
        pDoc->UpdateFrameCounts();
    OnUpdateFrameTitle(TRUE);
}

// ---- Layout ------------------------------------------------------------------------------------

void CFrameWnd::RecalcLayout(BOOL bNotify)
{
    if (m_bInRecalcLayout)
        return;
    m_bInRecalcLayout = TRUE;
    m_nIdleFlags &= ~(idleLayout | idleNotify);
    (void)bNotify;

    if (GetStyle() & FWS_SNAPTOBARS) {
        // A floating bar's frame takes the size its bars ask for.
        CRect rect(0, 0, 32767, 32767);
        RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposQuery, &rect, &rect, FALSE);
        RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposExtra, &m_rectBorder, &rect, TRUE);
        CalcWindowRect(&rect);
        SetWindowPos(NULL, 0, 0, rect.Width(), rect.Height(), SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOZORDER);
    } else {
        RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposExtra, &m_rectBorder);
    }
    m_bInRecalcLayout = FALSE;
}

void CFrameWnd::DelayRecalcLayout(BOOL bNotify)
{
    m_nIdleFlags |= idleLayout | (bNotify ? idleNotify : 0);
}

void CFrameWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (nType != SIZE_MINIMIZED)
        RecalcLayout();
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM, LPARAM)
{
    if (m_nIdleFlags & (idleLayout | idleNotify))
        RecalcLayout((m_nIdleFlags & idleNotify) != 0);
    return 0;
}

BOOL CFrameWnd::OnEraseBkgnd(CDC* pDC)
{
    // The active view covers the client area and paints itself.
    if (m_pViewActive != NULL)
        return TRUE;
    return CWnd::OnEraseBkgnd(pDC);
}

// ---- Activation and views ----------------------------------------------------------------------

void CFrameWnd::BringToTop(int nCmdShow)
{
    if (GetStyle() & WS_CHILD)
        return;
    if (nCmdShow == SW_HIDE || nCmdShow == SW_MINIMIZE || nCmdShow == SW_SHOWMINNOACTIVE
        || nCmdShow == SW_SHOWNOACTIVATE || nCmdShow == SW_SHOWMINIMIZED)
        return;
    BringWindowToTop();
    // A popup the frame owns stays above it.
    HWND hWndLast = ::GetLastActivePopup(m_hWnd);
    if (hWndLast != NULL && hWndLast != m_hWnd)
        ::BringWindowToTop(hWndLast);
}

void CFrameWnd::ActivateFrame(int nCmdShow)
{
    if (nCmdShow == -1) {
        if (!IsWindowVisible())
            nCmdShow = SW_SHOWNORMAL;
        else if (IsIconic())
            nCmdShow = SW_RESTORE;
    }
    BringToTop(nCmdShow);
    if (nCmdShow != -1) {
        HWND hWnd = m_hWnd;
        ShowWindow(nCmdShow);
        if (IsSameFrameAlive(hWnd, this))
            BringToTop(nCmdShow);
    }
}

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify)
{
    CView* pViewOld = m_pViewActive;
    if (pViewNew == pViewOld)
        return;

    // While the old view is told, nothing is active; if it makes another
    // view active in the meantime, that choice stands.
    m_pViewActive = NULL;
    if (pViewOld != NULL && bNotify)
        pViewOld->OnActivateView(FALSE, pViewNew, pViewOld);
    if (m_pViewActive != NULL)
        return;

    m_pViewActive = pViewNew;
    if (pViewNew != NULL && bNotify)
        pViewNew->OnActivateView(TRUE, pViewNew, pViewOld);
}

CDocument* CFrameWnd::GetActiveDocument()
{
    CView* pView = GetActiveView();
    return pView != NULL ? pView->GetDocument() : NULL;
}

CFrameWnd* CFrameWnd::GetActiveFrame()
{
    return this;
}

void CFrameWnd::OnSetFocus(CWnd* pOldWnd)
{
    if (m_pViewActive != NULL && ::IsWindow(m_pViewActive->m_hWnd))
        m_pViewActive->SetFocus();
    else
        CWnd::OnSetFocus(pOldWnd);
}

void CFrameWnd::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized)
{
    HWND hWnd = m_hWnd;
    CWnd::OnActivate(nState, pWndOther, bMinimized);
    if (!IsSameFrameAlive(hWnd, this))
        return;

    CView* pView = GetActiveView();
    if (pView == NULL)
        return;
    if (nState != WA_INACTIVE && !bMinimized)
        pView->OnActivateView(TRUE, pView, pView);
    else
        pView->OnActivateView(FALSE, pView, pView);
    if (IsSameFrameAlive(hWnd, this) && GetActiveView() == pView)
        pView->OnActivateFrame(nState, this);
}

// ---- Caption -----------------------------------------------------------------------------------

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if ((GetStyle() & FWS_ADDTOTITLE) == 0)
        return;
    CDocument* pDoc = GetActiveDocument();
    if (bAddToTitle && pDoc != NULL)
        UpdateFrameTitleForDocument(pDoc->GetTitle());
    else
        UpdateFrameTitleForDocument(NULL);
}

void CFrameWnd::UpdateFrameTitleForDocument(LPCTSTR lpszDocName)
{
    CString strDoc;
    if (lpszDocName != NULL) {
        strDoc = lpszDocName;
        if (m_nWindow > 0) {
            char number[16];
            wsprintf(number, ":%d", m_nWindow);
            strDoc += number;
        }
    }

    CString strText;
    if (lpszDocName == NULL)
        strText = m_strTitle;
    else if (GetStyle() & FWS_PREFIXTITLE)
        strText = strDoc + " - " + m_strTitle;
    else
        strText = m_strTitle + " - " + strDoc;

    // Setting the same text again would only repaint the caption.
    CString strOld;
    GetWindowText(strOld);
    if (strOld != strText)
        SetWindowText(strText);
}

// ---- Closing -----------------------------------------------------------------------------------

void CFrameWnd::OnClose()
{
    // Print preview ends itself instead of closing the frame.
    if (m_lpfnCloseProc != nullptr) {
        (*m_lpfnCloseProc)(this);
        return;
    }

    HWND hWnd = m_hWnd;
    CDocument* pDoc = GetActiveDocument();
    if (pDoc != NULL && !pDoc->CanCloseFrame(this))
        return;
    if (!IsSameFrameAlive(hWnd, this))
        return;

    CWinApp* pApp = AfxGetApp();
    if (pApp != NULL && pApp->m_pMainWnd == this) {
        // The main window goes only when every document may go. With an
        // active document CanCloseFrame has asked already.
        if (pDoc == NULL && !pApp->SaveAllModified())
            return;
        pApp->CloseAllDocuments(FALSE);
        // Closing the documents may have taken the main window with them
        // (its end posts the quit).
        if (!IsSameFrameAlive(hWnd, this))
            return;
        pDoc = GetActiveDocument();
    }

    // The last frame of a document closes the document, which destroys
    // the frame itself.
    if (pDoc != NULL && pDoc->m_bAutoDelete) {
        std::vector<CFrameWnd*> frames = FramesOf(pDoc);
        bool otherFrame = std::any_of(frames.begin(), frames.end(), [this](CFrameWnd* f) { return f != this; });
        if (!otherFrame) {
            pDoc->OnCloseDocument();
            return;
        }
        pDoc->PreCloseFrame(this);
    }
    DestroyWindow();
}

void CFrameWnd::OnDestroy()
{
    // The bars are child windows (or popups it owns) and go with the frame.
    m_listControlBars.clear();
    // A frame showing another frame's menu (a shared document menu) puts
    // its own back so that the window destroys only what it owns.
    if (m_hMenuDefault != NULL && ::IsMenu(m_hMenuDefault) && ::GetMenu(m_hWnd) != m_hMenuDefault)
        ::SetMenu(m_hWnd, m_hMenuDefault);
    if (m_bHelpMode != HELP_INACTIVE)
        ExitHelpMode();
    CWnd::OnDestroy();
}

void CFrameWnd::PostNcDestroy()
{
    // Frames are always made with new; the window was their reason to live.
    delete this;
}

BOOL CFrameWnd::OnQueryEndSession()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp != NULL && pApp->m_pMainWnd == this)
        return pApp->SaveAllModified();
    return TRUE;
}

void CFrameWnd::OnEndSession(BOOL bEnding)
{
    if (!bEnding)
        return;
    CWinApp* pApp = AfxGetApp();
    if (pApp != NULL && pApp->m_pMainWnd == this)
        pApp->CloseAllDocuments(TRUE);
}

void CFrameWnd::OnDropFiles(HDROP hDropInfo)
{
    SetActiveWindow();
    CWinApp* pApp = AfxGetApp();
    UINT nFiles = ::DragQueryFile(hDropInfo, 0xFFFFFFFF, NULL, 0);
    for (UINT i = 0; i < nFiles; i++) {
        char szFileName[MAX_PATH];
        if (::DragQueryFile(hDropInfo, i, szFileName, MAX_PATH) == 0)
            continue;
        if (pApp != NULL)
            pApp->OpenDocumentFile(szFileName);
    }
    ::DragFinish(hDropInfo);
}

// ---- Modal state -------------------------------------------------------------------------------

namespace {

struct ModalDisableContext {
    HWND frame;
    std::vector<HWND>* disabled;
};

BOOL CALLBACK DisableOwnedWindow(HWND hWnd, LPARAM lParam)
{
    auto* ctx = reinterpret_cast<ModalDisableContext*>(lParam);
    if (hWnd == ctx->frame || !::IsWindowEnabled(hWnd))
        return TRUE;
    for (HWND owner = ::GetWindow(hWnd, GW_OWNER); owner != NULL; owner = ::GetWindow(owner, GW_OWNER)) {
        if (owner == ctx->frame) {
            ::EnableWindow(hWnd, FALSE);
            ctx->disabled->push_back(hWnd);
            break;
        }
    }
    return TRUE;
}

} // namespace

void CFrameWnd::BeginModalState()
{
    if (m_cModalStack++ > 0)
        return;
    m_disabledByModal.clear();
    ModalDisableContext ctx{m_hWnd, &m_disabledByModal};
    ::EnumWindows(DisableOwnedWindow, reinterpret_cast<LPARAM>(&ctx));
    if (::IsWindowEnabled(m_hWnd)) {
        ::EnableWindow(m_hWnd, FALSE);
        m_disabledByModal.push_back(m_hWnd);
    }
}

void CFrameWnd::EndModalState()
{
    if (m_cModalStack == 0 || --m_cModalStack > 0)
        return;
    std::vector<HWND> disabled;
    disabled.swap(m_disabledByModal);
    for (HWND hWnd : disabled) {
        if (::IsWindow(hWnd))
            ::EnableWindow(hWnd, TRUE);
    }
}

void CFrameWnd::ShowOwnedWindows(BOOL bShow)
{
    ::ShowOwnedPopups(m_hWnd, bShow);
}
