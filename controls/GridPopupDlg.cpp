#include "controls/GridPopupDlg.h"

#include "controls/GridPicker.h"
#include "platform/ui/User.h"
#include "resources/controls.h"

BEGIN_MESSAGE_MAP(CGridPopupDlg, CDialog)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CGridPopupDlg::CGridPopupDlg(UINT nIDTemplate, const RECT& rcButton, CWnd* pParent)
    : CDialog(nIDTemplate, pParent)
    , m_rcButton(rcButton)
{
}

CRect CGridPopupDlg::PlacePopup(const RECT& rcButton, SIZE size, const RECT& rcBounds)
{
    CRect rc(rcButton.right - size.cx, rcButton.top, rcButton.right, rcButton.top + size.cy);
    if (rc.right > rcBounds.right || rc.bottom > rcBounds.bottom)
        rc = CRect(rcButton.left, rcButton.bottom - size.cy, rcButton.left + size.cx, rcButton.bottom);
    return rc;
}

BOOL CGridPopupDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    auto* pPicker = new CGridPicker(m_bGradientButton);
    pPicker->m_bPopup = TRUE;
    if (!pPicker->CreateOverControl(this, IDC_GRID_PICKER_PLACEHOLDER, -1)) {
        delete pPicker;
        EndDialog(IDCANCEL);
        return TRUE;
    }
    m_pPicker = pPicker;
    SetupPicker(*pPicker);

    CRect rcWindow;
    GetWindowRect(&rcWindow);
    CRect rcBounds(0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    if (CWnd* pParent = GetParent())
        pParent->GetWindowRect(&rcBounds);
    CRect rc = PlacePopup(m_rcButton, rcWindow.Size(), rcBounds);
    SetWindowPos(NULL, rc.left, rc.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pPicker->SetFocus();
    pPicker->SetCapture();
    return FALSE;
}

void CGridPopupDlg::OnDestroy()
{
    if (m_pPicker != nullptr && ::GetCapture() == m_pPicker->m_hWnd)
        ::ReleaseCapture();
    m_pPicker = nullptr;
    CDialog::OnDestroy();
}
