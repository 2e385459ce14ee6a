#include "controls/ResizableDlg.h"

BEGIN_MESSAGE_MAP(CResizableDlg, CDialog)
    ON_WM_SIZE()
    ON_WM_GETMINMAXINFO()
    ON_WM_SYSCOMMAND()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CResizableDlg::CResizableDlg(UINT nIDTemplate, CWnd* pParentWnd)
    : CDialog(nIDTemplate, pParentWnd)
{
}

void CResizableDlg::InitLayout(LPCTSTR lpszValueName, int nPercent)
{
    m_layout.Init(this, lpszValueName, nPercent);
}

void CResizableDlg::CWndDisableSelf()
{
    EnableWindow(FALSE);
}

void CResizableDlg::CWndEnableSelf()
{
    EnableWindow(TRUE);
}

void CResizableDlg::DoDataExchange(CDataExchange*)
{
}

BOOL CResizableDlg::OnInitDialog()
{
    m_layout.SetWindow(this);
    CDialog::OnInitDialog();
    return TRUE;
}

void CResizableDlg::OnSize(UINT, int, int)
{
    Default();
    RepositionControls();
}

void CResizableDlg::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
    // WM_GETMINMAXINFO comes before WM_INITDIALOG too, while the layout has
    // no window to measure yet.
    if (m_bLimitMinSize && lpMMI != nullptr && m_layout.GetWindow() != nullptr) {
        CSize size = m_layout.GetInitialSize();
        if (size.cx >= 0 && size.cy >= 0)
            lpMMI->ptMinTrackSize = POINT{size.cx, size.cy};
    }
    Default();
}

void CResizableDlg::OnSysCommand(UINT nID, LPARAM lParam)
{
    switch (nID & 0xFFF0) {
    case SC_MAXIMIZE:
        ShowNormalSized(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
        return;
    case SC_MINIMIZE: {
        CSize size = m_layout.GetInitialSize();
        ShowNormalSized(size.cx, size.cy);
        return;
    }
    default:
        CDialog::OnSysCommand(nID, lParam);
        return;
    }
}

void CResizableDlg::ShowNormalSized(int cx, int cy)
{
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    wp.flags = 0;
    wp.showCmd = SW_SHOWNORMAL;
    wp.rcNormalPosition = RECT{0, 0, cx, cy};
    SetWindowPlacement(&wp);
    CenterWindow();
}

void CResizableDlg::OnDestroy()
{
    Default();
    m_layout.SaveSize();
}
