#include "controls/HatchStylePopupDlg.h"

#include "controls/GridPicker.h"
#include "platform/framework/DataExchange.h"
#include "resources/controls.h"

CHatchStylePopupDlg::CHatchStylePopupDlg(const RECT& rcButton, CWnd* pParent)
    : CGridPopupDlg(IDD_HATCH_STYLE_POPUP, rcButton, pParent)
{
}

void CHatchStylePopupDlg::SetupPicker(CGridPicker& picker)
{
    picker.SetupCells(IDB_HATCH_HORIZONTAL, kStyles, 3, 2, TRUE, FALSE);
    picker.m_bSunkenCells = FALSE;
    picker.m_bNoTab = TRUE;
    picker.SetCurSel(m_nValue, FALSE);
}

void CHatchStylePopupDlg::DoDataExchange(CDataExchange* pDX)
{
    CGridPopupDlg::DoDataExchange(pDX);
    if (pDX->m_bSaveAndValidate && m_pPicker != nullptr && m_pPicker->GetSelectedValue() >= 0)
        m_nValue = m_pPicker->GetSelectedValue();
}
