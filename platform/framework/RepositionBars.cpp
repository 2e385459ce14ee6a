// CWnd::RepositionBars: the layout pass of frames (and of any window with
// control bars). Each child with an id in the bar range is asked, in Z
// order, to take its part of the client area through WM_SIZEPARENT; the
// window with the leftover id gets what remains.

#include "platform/framework/ControlBar.h"

void CWnd::RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlag, LPRECT lpRectParam,
    LPCRECT lpRectClient, BOOL bStretch)
{
    if (!::IsWindow(m_hWnd))
        return;
    AFX_SIZEPARENTPARAMS layout{};
    layout.bStretch = bStretch;
    layout.sizeTotal = SIZE{0, 0};
    if (lpRectClient != nullptr)
        layout.rect = *lpRectClient;
    else
        ::GetClientRect(m_hWnd, &layout.rect);
    // Any non-null value tells the bars to move themselves.
    layout.hDWP = (nFlag & reposQuery) ? NULL : reinterpret_cast<HANDLE>(static_cast<INT_PTR>(1));

    // Collect first: a bar's layout may reorder or re-parent windows.
    std::vector<HWND> children;
    HWND hWndLeftOver = NULL;
    for (HWND hWndChild = ::GetTopWindow(m_hWnd); hWndChild != NULL; hWndChild = ::GetWindow(hWndChild, GW_HWNDNEXT)) {
        UINT nIDC = static_cast<UINT>(::GetDlgCtrlID(hWndChild));
        if (nIDC == nIDLeftOver)
            hWndLeftOver = hWndChild;
        else if (nIDC >= nIDFirst && nIDC <= nIDLast)
            children.push_back(hWndChild);
    }
    for (HWND hWndChild : children) {
        if (::IsWindow(hWndChild) && ::GetParent(hWndChild) == m_hWnd)
            ::SendMessage(hWndChild, WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
    }

    if (nFlag & reposQuery) {
        if (lpRectParam != nullptr) {
            if (bStretch) {
                *lpRectParam = layout.rect;
            } else {
                lpRectParam->left = lpRectParam->top = 0;
                lpRectParam->right = layout.sizeTotal.cx;
                lpRectParam->bottom = layout.sizeTotal.cy;
            }
        }
        return;
    }

    if ((nFlag & reposExtra) && lpRectParam != nullptr) {
        layout.rect.left += lpRectParam->left;
        layout.rect.top += lpRectParam->top;
        layout.rect.right -= lpRectParam->right;
        layout.rect.bottom -= lpRectParam->bottom;
    }
    if (layout.rect.right < layout.rect.left)
        layout.rect.right = layout.rect.left;
    if (layout.rect.bottom < layout.rect.top)
        layout.rect.bottom = layout.rect.top;

    if (hWndLeftOver != NULL && !(nFlag & reposNoPosLeftOver) && ::IsWindow(hWndLeftOver)) {
        CRect rect(layout.rect);
        if (CWnd* pLeftOver = CWnd::FromHandlePermanent(hWndLeftOver))
            pLeftOver->CalcWindowRect(&rect);
        ::SetWindowPos(hWndLeftOver, NULL, rect.left, rect.top, rect.Width(), rect.Height(),
            SWP_NOZORDER | SWP_NOACTIVATE);
    }
}
