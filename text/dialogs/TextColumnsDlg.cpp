#include "text/dialogs/TextColumnsDlg.h"

#include "resources/resource.h"

CTextColumnsDlg::CTextColumnsDlg(CWnd* pParent)
    : CDialog(IDD_TEXT_COLUMNS, pParent)
{
}

BOOL CTextColumnsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // A count out of range (from a stored design) checks no radio; OK then
    // gives one column.
    if (m_nColumns >= kMinColumns && m_nColumns <= kMaxColumns)
        CheckRadioButton(IDC_TEXT_COLUMNS_1, IDC_TEXT_COLUMNS_5, IDC_TEXT_COLUMNS_1 + m_nColumns - 1);
    return TRUE;
}

void CTextColumnsDlg::OnOK()
{
    const int nChecked = GetCheckedRadioButton(IDC_TEXT_COLUMNS_1, IDC_TEXT_COLUMNS_5);
    m_nColumns = nChecked >= IDC_TEXT_COLUMNS_1 && nChecked <= IDC_TEXT_COLUMNS_5
        ? nChecked - IDC_TEXT_COLUMNS_1 + 1
        : kMinColumns;
    CDialog::OnOK();
}
