#include "controls/DlgLayout.h"

#include "app/Utilities.h"
#include "platform/framework/Wnd.h"
#include "resources/resource.h"

#include <cmath>

namespace {

bool HasWindow(const CWnd* pWnd)
{
    return pWnd != nullptr && pWnd->GetSafeHwnd() != NULL;
}

} // namespace

CDlgLayout::CDlgLayout() = default;

CDlgLayout::CDlgLayout(LPCTSTR lpszValueName, int nPercent)
    : m_nPercent(nPercent)
    , m_strValueName(lpszValueName)
{
}

void CDlgLayout::Init(CWnd* pWnd)
{
    Init(pWnd, "", kDefaultPercent);
}

void CDlgLayout::Init(CWnd* pWnd, LPCTSTR lpszValueName, int nPercent)
{
    m_pWnd = pWnd;
    m_strValueName = lpszValueName;
    m_nPercent = nPercent;
}

CSize CDlgLayout::GetInitialSize()
{
    if (m_cxInitial == -1 && m_cyInitial == -1 && HasWindow(m_pWnd)) {
        CRect rc;
        m_pWnd->GetWindowRect(&rc);
        m_cxInitial = rc.Width();
        m_cyInitial = rc.Height();
    }
    return CSize(m_cxInitial, m_cyInitial);
}

void CDlgLayout::SaveSize()
{
    if (!HasWindow(m_pWnd) || m_strValueName.IsEmpty())
        return;
    SaveWindowPlacement(m_pWnd, IDS_PROFILE_APPLICATION, m_strValueName);
}

WINDOWPLACEMENT CDlgLayout::GetDefaultPlacement() const
{
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    wp.showCmd = SW_SHOWNORMAL;
    double share = m_nPercent * 0.01;
    wp.rcNormalPosition.right = int(std::lround(share * ::GetSystemMetrics(SM_CXSCREEN)));
    wp.rcNormalPosition.bottom = int(std::lround(share * ::GetSystemMetrics(SM_CYSCREEN)));
    return wp;
}

BOOL CDlgLayout::FitsScreen(const RECT& rcNormal)
{
    int cxScreen = ::GetSystemMetrics(SM_CXSCREEN);
    int cyScreen = ::GetSystemMetrics(SM_CYSCREEN);
    int cx = rcNormal.right - rcNormal.left;
    int cy = rcNormal.bottom - rcNormal.top;
    if (cx <= 0 || cy <= 0 || cx > cxScreen || cy > cyScreen)
        return FALSE;
    // A dialog left beyond the screen's edge by a change of resolution could
    // not be reached to move it back.
    return rcNormal.left >= 0 && rcNormal.top >= 0 && rcNormal.right <= cxScreen && rcNormal.bottom <= cyScreen;
}

BOOL CDlgLayout::RestoreSize()
{
    if (!HasWindow(m_pWnd))
        return FALSE;
    GetInitialSize();
    WINDOWPLACEMENT wp{};
    BOOL bDefault = TRUE;
    if (!m_strValueName.IsEmpty()) {
        BOOL bNothingStored = FALSE;
        LoadWindowPlacement(m_pWnd, IDS_PROFILE_APPLICATION, m_strValueName, &wp, SW_SHOW, &bNothingStored);
        bDefault = bNothingStored || wp.length != sizeof wp || !FitsScreen(wp.rcNormalPosition);
    }
    if (bDefault) {
        wp = GetDefaultPlacement();
    } else {
        // These dialogs are never hidden, minimised or maximised when their
        // placement is saved; a damaged profile must not open one that way.
        wp.flags = 0;
        if (wp.showCmd != SW_SHOW)
            wp.showCmd = SW_SHOWNORMAL;
    }
    m_pWnd->SetWindowPlacement(&wp);
    return bDefault;
}

BOOL CDlgLayout::GetControlRect(int nID, CRect& rc) const
{
    HWND hWndCtrl = ::GetDlgItem(m_pWnd->GetSafeHwnd(), nID);
    if (hWndCtrl == NULL)
        return FALSE;
    ::GetWindowRect(hWndCtrl, &rc);
    m_pWnd->ScreenToClient(&rc);
    return TRUE;
}

BOOL CDlgLayout::GetAnchorPoint(int nSide, int nAnchorID, BOOL bFlag, CPoint& point) const
{
    if (!HasWindow(m_pWnd))
        return FALSE;
    if (nAnchorID == kClientArea) {
        CRect rc;
        m_pWnd->GetClientRect(&rc);
        switch (nSide) {
        case sideRight:
        case sideAfter:
            point = CPoint(rc.right, 0);
            break;
        case sideBottom:
            point = CPoint(0, rc.bottom);
            break;
        default:
            point = CPoint(0, 0);
            break;
        }
        return TRUE;
    }
    CRect rc;
    if (!GetControlRect(nAnchorID, rc))
        return FALSE;
    switch (nSide) {
    case sideBefore:
        point = bFlag ? CPoint(rc.left, rc.top) : CPoint(rc.right, rc.top);
        break;
    case sideRight:
        point = bFlag ? CPoint(rc.right, rc.top) : CPoint(rc.left, rc.top);
        break;
    case sideTop:
        point = bFlag ? CPoint(rc.left, rc.top) : CPoint(rc.left, rc.bottom);
        break;
    case sideBottom:
        point = bFlag ? CPoint(rc.left, rc.bottom) : CPoint(rc.left, rc.top);
        break;
    case sideAfter:
        point = CPoint(rc.right, rc.top);
        break;
    default:
        point = CPoint(rc.left, rc.top);
        break;
    }
    return TRUE;
}

void CDlgLayout::MoveControl(int nID, int nSide, int nAnchorID, BOOL bFlag)
{
    CRect rc;
    CPoint anchor;
    if (!HasWindow(m_pWnd) || !GetControlRect(nID, rc) || !GetAnchorPoint(nSide, nAnchorID, bFlag, anchor))
        return;
    int cx = rc.Width();
    int cy = rc.Height();
    switch (nSide) {
    case sideBefore:
    case sideRight:
        rc.left = anchor.x - m_nMargin - cx;
        break;
    case sideBottom:
        rc.top = anchor.y - m_nMargin - cy;
        break;
    case sideAfter:
        rc.left = anchor.x + m_nMargin;
        break;
    default:
        break;
    }
    ::SetWindowPos(::GetDlgItem(m_pWnd->GetSafeHwnd(), nID), NULL, rc.left, rc.top, cx, cy, SWP_NOZORDER);
}

void CDlgLayout::SizeControl(int nID, int nSide, int nAnchorID, BOOL bFlag)
{
    CRect rc;
    CPoint anchor;
    if (!HasWindow(m_pWnd) || !GetControlRect(nID, rc) || !GetAnchorPoint(nSide, nAnchorID, bFlag, anchor))
        return;
    if (nSide == sideRight)
        rc.right = anchor.x - m_nMargin;
    else if (nSide == sideBottom)
        rc.bottom = anchor.y - m_nMargin;
    ::SetWindowPos(::GetDlgItem(m_pWnd->GetSafeHwnd(), nID), NULL, rc.left, rc.top, rc.Width(), rc.Height(),
        SWP_NOZORDER);
}
