#include "print/PrintSetupDlg.h"

#include "platform/framework/WinApp.h"

IMPLEMENT_DYNAMIC(CPrintSetupDlg, CPrintDialog)

namespace {


} // namespace

CPrintSetupDlg::CPrintSetupDlg(CWnd* pParentWnd)
    : CPrintDialog(TRUE, kFlags, pParentWnd)
{
}

INT_PTR CPrintSetupDlg::DoModal()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return CPrintDialog::DoModal();
    // Start from the application's printer; on OK the dialog has freed
    // those blocks and made new ones, which become the application's.
    pApp->UpdatePrinterSelection(FALSE);
    m_pd.hDevMode = pApp->m_hDevMode;
    m_pd.hDevNames = pApp->m_hDevNames;
    INT_PTR nResult = CPrintDialog::DoModal();
    pApp->m_hDevMode = m_pd.hDevMode;
    pApp->m_hDevNames = m_pd.hDevNames;
    return nResult == IDOK ? IDOK : IDCANCEL;
}

BOOL CPrintSetupDlg::OnInitDialog()
{
    BOOL bResult = CPrintDialog::OnInitDialog();
    m_btnOK.SubclassWithIcon(IDOK, this, IDI_BUTTON_OK);
    m_btnCancel.SubclassWithIcon(IDCANCEL, this, IDI_BUTTON_CANCEL);
    return bResult;
}
