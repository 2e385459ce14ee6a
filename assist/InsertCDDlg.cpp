#include "assist/InsertCDDlg.h"

#include "assist/DialogButtons.h"
#include "platform/framework/Afx.h"

CInsertCDDlg::CInsertCDDlg(CWnd* pParent) : CDialog(IDD_INSERT_CD, pParent) {}

void CInsertCDDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_btnOk);
    DDX_Control(pDX, IDCANCEL, m_btnCancel);
}

BOOL CInsertCDDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    DressOkCancel(&m_btnOk, &m_btnCancel);
    CenterWindow();
    return TRUE;
}

BOOL CheckProgramCD(CWnd* /*pMainWnd*/)
{
    // The program's content (support tables, pictures, designs) is
    // installed with the program here; there is no disc to ask for.
    return TRUE;
}
