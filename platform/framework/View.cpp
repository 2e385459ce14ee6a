#include "platform/framework/View.h"

#include "platform/framework/Document.h"
#include "platform/framework/Frame.h"
#include "platform/framework/PrintInfo.h"
#include "platform/gdi/Dc.h"

IMPLEMENT_DYNAMIC(CView, CWnd)

BEGIN_MESSAGE_MAP(CView, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_MOUSEACTIVATE()
    ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdateMessage)
END_MESSAGE_MAP()

CView::CView() = default;

CView::~CView()
{
    if (m_pDocument != NULL)
        m_pDocument->RemoveView(this); // may close and delete the document
}

void CView::PostNcDestroy()
{
    delete this;
}

BOOL CView::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszClass == NULL)
        cs.lpszClass = AfxDefaultWndClass(); // double clicks, arrow, window colour
    // A one-pixel border would overlap the control bars next to the view;
    // the sunken client edge sits inside the view's own rectangle.
    if (cs.style & WS_BORDER) {
        cs.dwExStyle |= WS_EX_CLIENTEDGE;
        cs.style &= ~WS_BORDER;
    }
    return CWnd::PreCreateWindow(cs);
}

int CView::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    auto* pContext = static_cast<CCreateContext*>(lpCreateStruct->lpCreateParams);
    if (pContext != NULL && pContext->m_pCurrentDoc != NULL)
        pContext->m_pCurrentDoc->AddView(this);
    return 0;
}

void CView::OnDestroy()
{
    // A frame must not keep a dying view as its active one.
    CFrameWnd* pFrame = GetParentFrame();
    if (pFrame != NULL && pFrame->GetActiveView() == this)
        pFrame->SetActiveView(NULL, FALSE);
    CWnd::OnDestroy();
}

void CView::OnPaint()
{
    CPaintDC dc(this);
    OnPrepareDC(&dc);
    OnDraw(&dc);
}

int CView::OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message)
{
    const int nResult = CWnd::OnMouseActivate(pDesktopWnd, nHitTest, message);
    if (nResult == MA_NOACTIVATE || nResult == MA_NOACTIVATEANDEAT)
        return nResult;

    // A click makes the view the active view of its frame; a click into the
    // active view that lost the focus gives it back.
    CFrameWnd* pFrame = GetParentFrame();
    if (pFrame != NULL) {
        HWND hWndFocus = ::GetFocus();
        if (pFrame->GetActiveView() != this)
            pFrame->SetActiveView(this);
        else if (hWndFocus != m_hWnd && !::IsChild(m_hWnd, hWndFocus))
            OnActivateView(TRUE, this, this);
    }
    return nResult;
}

LRESULT CView::OnInitialUpdateMessage(WPARAM, LPARAM)
{
    OnInitialUpdate();
    return 0;
}

BOOL CView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return m_pDocument != NULL && m_pDocument->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CView::IsSelected(const CObject*) const
{
    return FALSE;
}

BOOL CView::OnScroll(UINT, UINT, BOOL)
{
    return FALSE;
}

BOOL CView::OnScrollBy(CSize, BOOL)
{
    return FALSE;
}

void CView::OnPrepareDC(CDC*, CPrintInfo* pInfo)
{
    // A view that never said how many pages it has prints one.
    if (pInfo != NULL && pInfo->m_nCurPage > 1 && pInfo->GetMaxPage() == 0xFFFF)
        pInfo->m_bContinuePrinting = FALSE;
}

void CView::OnInitialUpdate()
{
    OnUpdate(NULL, 0, NULL);
}

void CView::OnUpdate(CView* pSender, LPARAM, CObject*)
{
    if (pSender != this)
        Invalidate(TRUE);
}

void CView::OnActivateView(BOOL bActivate, CView*, CView*)
{
    // The focus follows the active view, but only inside the active window:
    // activating a view of a background frame must not raise it.
    if (!bActivate)
        return;
    CWnd* pTop = GetTopLevelParent();
    if (pTop == NULL || pTop->m_hWnd != ::GetActiveWindow())
        return;
    HWND hWndFocus = ::GetFocus();
    if (hWndFocus != m_hWnd && !::IsChild(m_hWnd, hWndFocus))
        ::SetFocus(m_hWnd);
}

void CView::OnActivateFrame(UINT, CFrameWnd*)
{
}
