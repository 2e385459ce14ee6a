#include "pictures/PictureMirrorWnd.h"

#include "pictures/Image.h"
#include "platform/base/Geometry.h"
#include "platform/gdi/Dc.h"
#include "platform/ui/User.h"

BEGIN_MESSAGE_MAP(CPictureMirrorWnd, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CPictureMirrorWnd::CPictureMirrorWnd()
    : m_pImage(std::make_unique<CImage>())
{
}

CPictureMirrorWnd::~CPictureMirrorWnd()
{
    if (m_hWnd != NULL)
        DestroyWindow();
}

BOOL CPictureMirrorWnd::Create(const RECT& rect, CWnd* pParentWnd, UINT nID, DWORD dwStyle)
{
    LPCTSTR lpszClass = AfxRegisterWndClass(0, ::LoadCursor(NULL, IDC_ARROW), HBRUSH(COLOR_WINDOW + 1), NULL);
    return CWnd::Create(lpszClass, "", dwStyle, rect, pParentWnd, nID);
}

BOOL CPictureMirrorWnd::OnEraseBkgnd(CDC* pDC)
{
    // The picture covers the client area; only an empty window is erased.
    if (m_pImage->m_nHandle >= 1)
        return TRUE;
    return CWnd::OnEraseBkgnd(pDC);
}

void CPictureMirrorWnd::OnPaint()
{
    CPaintDC dc(this);
    if (m_pImage->m_nHandle < 1)
        return;
    CRect rcClient;
    GetClientRect(&rcClient);
    // A destination whose left and right are exchanged draws the picture
    // mirrored, as the transfer prints it.
    const CRect rcMirrored(rcClient.right, rcClient.top, rcClient.left, rcClient.bottom);
    m_pImage->Draw(&dc, rcMirrored, rcMirrored, rcClient);
}
