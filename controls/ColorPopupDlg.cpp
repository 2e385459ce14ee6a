#include "controls/ColorPopupDlg.h"

#include "controls/GridPicker.h"
#include "platform/framework/DataExchange.h"
#include "resources/controls.h"

CColorPopupDlg::CColorPopupDlg(const RECT& rcButton, CWnd* pParent)
    : CGridPopupDlg(IDD_COLOR_POPUP, rcButton, pParent)
{
}

BOOL CColorPopupDlg::OnInitDialog()
{
    m_bGradientButton = m_bGradient;
    m_bGradientChosen = FALSE;
    return CGridPopupDlg::OnInitDialog();
}

void CColorPopupDlg::SetupPicker(CGridPicker& picker)
{
    picker.SetupColorCells(m_crColor, FALSE);
}

void CColorPopupDlg::DoDataExchange(CDataExchange* pDX)
{
    CGridPopupDlg::DoDataExchange(pDX);
    if (pDX->m_bSaveAndValidate && m_pPicker != nullptr) {
        m_crColor = m_pPicker->GetCustomColor();
        m_bGradientChosen = m_pPicker->IsGradPressed();
    }
}
