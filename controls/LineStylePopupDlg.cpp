#include "controls/LineStylePopupDlg.h"

#include "controls/GridPicker.h"
#include "platform/framework/DataExchange.h"
#include "resources/controls.h"

CLineStylePopupDlg::CLineStylePopupDlg(const RECT& rcButton, CWnd* pParent)
    : CGridPopupDlg(IDD_LINE_STYLE_POPUP, rcButton, pParent)
{
}

void CLineStylePopupDlg::SetupPicker(CGridPicker& picker)
{
    picker.SetupCells(IDB_LINE_SOLID, kStyles, 5, 1, TRUE, FALSE);
    picker.m_bSunkenCells = FALSE;
    picker.m_bNoTab = TRUE;
    picker.SetCurSel(m_nValue, FALSE);
}

void CLineStylePopupDlg::DoDataExchange(CDataExchange* pDX)
{
    CGridPopupDlg::DoDataExchange(pDX);
    if (pDX->m_bSaveAndValidate && m_pPicker != nullptr && m_pPicker->GetSelectedValue() >= 0)
        m_nValue = m_pPicker->GetSelectedValue();
}
