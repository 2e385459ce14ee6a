#include "controls/EdgeWnd.h"

#include "platform/gdi/Dc.h"

BEGIN_MESSAGE_MAP(CEdgeWnd, CWnd)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
END_MESSAGE_MAP()

BOOL CEdgeWnd::OnEraseBkgnd(CDC* pDC)
{
    // The default erase fills with the class background, so the edge goes
    // on top of it.
    BOOL bResult = BOOL(Default());
    if (pDC != nullptr) {
        CRect rc;
        GetClientRect(&rc);
        pDC->DrawEdge(&rc, EDGE_ETCHED, BF_RECT);
    }
    return bResult;
}

void CEdgeWnd::OnPaint()
{
    // Beginning and ending the paint validates the window; a pending erase
    // is answered on the way, which draws the edge.
    CPaintDC dc(this);
}
