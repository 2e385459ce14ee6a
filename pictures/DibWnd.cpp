#include "pictures/DibWnd.h"

#include "platform/base/Geometry.h"
#include "platform/base/Resources.h"
#include "platform/gdi/Dc.h"
#include "platform/ui/User.h"
#include "resources/art.h"

BEGIN_MESSAGE_MAP(CDibWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

CDibWnd::CDibWnd() = default;

CDibWnd::~CDibWnd()
{
    if (m_hWnd != NULL)
        DestroyWindow();
}

BOOL CDibWnd::Create(const RECT& rect, CWnd* pParentWnd, UINT nID, DWORD dwStyle)
{
    // Double clicks must arrive as such; the cursor is chosen on
    // WM_SETCURSOR, so the class has none.
    LPCTSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, NULL, NULL);
    return CWnd::Create(lpszClass, "", dwStyle, rect, pParentWnd, nID);
}

int CDibWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_hArrowCursor = ::LoadCursor(NULL, IDC_ARROW);
    LPCTSTR lpszHand = MAKEINTRESOURCE(IDC_OBJECT_HAND);
    m_hHandCursor = ::LoadCursor(AfxFindResourceHandle(lpszHand, RT_GROUP_CURSOR), lpszHand);
    ::SetClassLongPtr(m_hWnd, GCLP_HCURSOR, 0);
    return 0;
}

void CDibWnd::OnPaint()
{
    CSize size;
    m_dibs[stateNormal].GetSize(size);
    if (!m_bSized && size.cx > 0 && size.cy > 0) {
        m_bSized = TRUE;
        CRect rcWindow;
        GetWindowRect(&rcWindow);
        CPoint topLeft = rcWindow.TopLeft();
        if (HWND hParent = ::GetParent(m_hWnd))
            ::ScreenToClient(hParent, &topLeft);
        SetWindowPos(nullptr, topLeft.x, topLeft.y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
        // The whole new area is painted now, not on a later pass.
        Invalidate(FALSE);
    }

    CPaintDC dc(this);
    CDib& dib = m_dibs[m_state];
    if (m_bTransparent) {
        CSize image;
        dib.GetSize(image);
        dib.StretchDraw(&dc, 0, 0, image.cx, image.cy, TRUE, nullptr);
    } else {
        dib.Draw(&dc, 0, 0, FALSE);
    }
}

BOOL CDibWnd::IsInside(CPoint point) const
{
    CRect rc;
    ::GetClientRect(m_hWnd, &rc);
    return rc.PtInRect(point);
}

void CDibWnd::SetState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    Invalidate(FALSE);
}

void CDibWnd::NotifyParent(UINT message)
{
    if (HWND hParent = ::GetParent(m_hWnd))
        ::PostMessage(hParent, message, WPARAM(GetDlgCtrlID()), 0);
}

void CDibWnd::OnLButtonDown(UINT, CPoint)
{
    if (!AnswersMouse())
        return;
    SetCapture();
    m_bCaptured = TRUE;
    m_state = statePressed;
    Invalidate(FALSE);
}

void CDibWnd::OnMouseMove(UINT, CPoint point)
{
    if (!AnswersMouse() || !m_bCaptured)
        return;
    SetState(IsInside(point) ? statePressed : stateNormal);
}

void CDibWnd::OnLButtonUp(UINT, CPoint point)
{
    if (!AnswersMouse() || !m_bCaptured)
        return;
    m_bCaptured = FALSE;
    ::ReleaseCapture();
    // A window that already has the focus counts the release wherever it
    // happens; one without it only a release inside, and only when it is
    // clickable.
    if (::GetFocus() != m_hWnd && !(IsInside(point) && m_bClickable)) {
        SetState(stateNormal);
        return;
    }
    SetState(stateFocused);
    SetFocus();
    NotifyParent(WM_DIBWND_CLICKED);
}

void CDibWnd::OnLButtonDblClk(UINT, CPoint)
{
    if (!AnswersMouse())
        return;
    NotifyParent(WM_DIBWND_DBLCLK);
}

void CDibWnd::OnSetFocus(CWnd*)
{
    SetState(stateFocused);
}

void CDibWnd::OnKillFocus(CWnd*)
{
    SetState(stateNormal);
}

BOOL CDibWnd::OnSetCursor(CWnd*, UINT, UINT)
{
    ::SetCursor(AnswersMouse() && m_hHandCursor != NULL ? m_hHandCursor : m_hArrowCursor);
    return TRUE;
}
