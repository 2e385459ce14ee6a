// The floating frame of control bars.

#include "platform/framework/MiniDockFrame.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(CMiniDockFrameWnd, CMiniFrameWnd)

BEGIN_MESSAGE_MAP(CMiniDockFrameWnd, CMiniFrameWnd)
    ON_WM_CLOSE()
    ON_WM_NCLBUTTONDOWN()
    ON_WM_NCLBUTTONDBLCLK()
END_MESSAGE_MAP()

CMiniDockFrameWnd::CMiniDockFrameWnd() : m_wndDockBar(TRUE)
{
}

CMiniDockFrameWnd::~CMiniDockFrameWnd() = default;

BOOL CMiniDockFrameWnd::Create(CFrameWnd* pDockSite, DWORD dwBarStyle)
{
    DWORD dwStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | MFS_MOVEFRAME | MFS_4THICKFRAME | MFS_SYNCACTIVE |
        MFS_BLOCKSYSMENU | FWS_SNAPTOBARS;
    CRect rect(0, 0, 0, 0);
    // On failure the frame has deleted itself.
    if (!CMiniFrameWnd::CreateEx(0, nullptr, "", dwStyle, rect, pDockSite))
        return FALSE;
    if (!m_wndDockBar.Create(this, WS_CHILD | WS_VISIBLE | (dwBarStyle & CBRS_ALIGN_ANY), AFX_IDW_DOCKBAR_FLOAT)) {
        DestroyWindow(); // deletes this frame
        return FALSE;
    }
    // The floating dock bar belongs to the frame its bars dock into: their
    // commands and their saved state go there.
    m_wndDockBar.m_pDockSite = pDockSite;
    m_wndDockBar.SetOwner(pDockSite);
    return TRUE;
}

CControlBar* CMiniDockFrameWnd::FirstBar() const
{
    for (CControlBar* pBar : m_wndDockBar.m_arrBars) {
        if (pBar != nullptr)
            return pBar;
    }
    return nullptr;
}

void CMiniDockFrameWnd::RecalcLayout(BOOL)
{
    if (m_bInRecalcLayout || m_hWnd == NULL || m_wndDockBar.m_hWnd == NULL)
        return;
    m_bInRecalcLayout = TRUE;
    if (m_wndDockBar.GetDockedVisibleCount() == 0) {
        if (GetStyle() & WS_VISIBLE)
            ShowWindow(SW_HIDE);
    } else {
        CSize size = m_wndDockBar.LayoutBars(FALSE, 32767, FALSE);
        m_wndDockBar.SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
        m_wndDockBar.LayoutBars(FALSE, 32767, TRUE);
        CRect rect(0, 0, size.cx, size.cy);
        ::AdjustWindowRectEx(&rect, GetStyle(), FALSE, GetExStyle());
        SetWindowPos(nullptr, 0, 0, rect.Width(), rect.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        // The caption is the first bar's title ("Standard", "Tool Pad").
        CString title;
        if (CControlBar* pBar = FirstBar())
            pBar->GetWindowText(title);
        CString current;
        GetWindowText(current);
        if (current != title)
            SetWindowText(title);
        if (!(GetStyle() & WS_VISIBLE))
            ShowWindow(SW_SHOWNA);
    }
    m_bInRecalcLayout = FALSE;
}

void CMiniDockFrameWnd::OnClose()
{
    // A frame whose last bar was destroyed goes.
    if (m_wndDockBar.GetDockedCount() == 0) {
        DestroyWindow();
        return;
    }
    // Closing a floating frame hides its bars; they stay where they are.
    std::vector<CControlBar*> bars;
    for (CControlBar* pBar : m_wndDockBar.m_arrBars) {
        if (pBar != nullptr)
            bars.push_back(pBar);
    }
    CFrameWnd* pSite = m_wndDockBar.m_pDockSite;
    for (CControlBar* pBar : bars) {
        if (pSite != nullptr)
            pSite->ShowControlBar(pBar, FALSE, FALSE);
        else
            pBar->ShowWindow(SW_HIDE);
    }
    RecalcLayout();
}

void CMiniDockFrameWnd::OnNcLButtonDown(UINT nHitTest, CPoint point)
{
    CControlBar* pBar = FirstBar();
    if (nHitTest == HTCAPTION && pBar != nullptr && pBar->m_pDockContext != nullptr) {
        pBar->m_pDockContext->StartDrag(point);
        return;
    }
    CMiniFrameWnd::OnNcLButtonDown(nHitTest, point);
}

void CMiniDockFrameWnd::OnNcLButtonDblClk(UINT nHitTest, CPoint point)
{
    CControlBar* pBar = FirstBar();
    if (nHitTest == HTCAPTION && pBar != nullptr && pBar->m_pDockContext != nullptr) {
        pBar->m_pDockContext->ToggleDocking();
        return;
    }
    CMiniFrameWnd::OnNcLButtonDblClk(nHitTest, point);
}
