#include "controls/FocusFrameButton.h"

#include "platform/gdi/Dc.h"

namespace {

// One frame at a time can be shown: only one window has the focus.
BOOL g_bFocusFrameShown = FALSE;

bool IsGroupButton(CWnd* pWnd)
{
    if (pWnd == nullptr)
        return true; // the focus left or came from outside the program: keep the frame as it is
    int nID = ::GetDlgCtrlID(pWnd->GetSafeHwnd());
    return nID >= CFocusFrameButton::kFirstGroupId && nID <= CFocusFrameButton::kLastGroupId;
}

} // namespace

BEGIN_MESSAGE_MAP(CFocusFrameButton, CButton)
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

void CFocusFrameButton::OnSetFocus(CWnd* pOldWnd)
{
    Default();
    if (!IsGroupButton(pOldWnd))
        SetFocusFrame(GetParent(), TRUE);
}

void CFocusFrameButton::OnKillFocus(CWnd* pNewWnd)
{
    Default();
    if (!IsGroupButton(pNewWnd))
        SetFocusFrame(GetParent(), FALSE);
}

CRect FocusFrameRect(const RECT& rcControl)
{
    CRect rc(rcControl);
    rc.DeflateRect(4, 4);
    rc.top += 8;
    rc.right -= 1;
    rc.bottom -= 1;
    return rc;
}

void SetFocusFrame(CWnd* pDlg, BOOL bShown)
{
    bShown = bShown ? TRUE : FALSE;
    if (bShown == g_bFocusFrameShown)
        return;
    g_bFocusFrameShown = bShown;
    if (pDlg == nullptr || pDlg->GetSafeHwnd() == NULL)
        return;
    CWnd* pFrame = pDlg->GetDlgItem(CFocusFrameButton::kFrameControlId);
    if (pFrame == nullptr) {
        pDlg->Invalidate();
        return;
    }
    CRect rc;
    pFrame->GetWindowRect(&rc);
    pDlg->ScreenToClient(&rc);
    CRect rcFrame = FocusFrameRect(rc);
    // The dotted frame is drawn inverting, so drawing it again removes it.
    CClientDC dc(pDlg);
    dc.DrawFocusRect(&rcFrame);
}

BOOL IsFocusFrameShown()
{
    return g_bFocusFrameShown;
}

void ResetFocusFrame()
{
    g_bFocusFrameShown = FALSE;
}
