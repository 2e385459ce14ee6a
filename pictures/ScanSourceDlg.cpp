#include "pictures/ScanSourceDlg.h"

#include "platform/framework/Afx.h"

#include <utility>

CScanSourceDlg::CScanSourceDlg(std::vector<std::string> labels, CWnd* pParent)
    : CDialog(IDD_SCAN_SOURCES, pParent)
    , m_labels(std::move(labels))
{
}

BOOL CScanSourceDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    for (size_t i = 0; i < m_labels.size(); ++i) {
        const int nItem = int(SendDlgItemMessage(IDC_SCAN_SOURCE_LIST, LB_ADDSTRING, 0, LPARAM(m_labels[i].c_str())));
        if (nItem >= 0)
            SendDlgItemMessage(IDC_SCAN_SOURCE_LIST, LB_SETITEMDATA, WPARAM(nItem), LPARAM(i));
    }
    if (m_labels.empty()) {
        if (CWnd* pOk = GetDlgItem(IDOK))
            pOk->EnableWindow(FALSE);
    } else {
        SendDlgItemMessage(IDC_SCAN_SOURCE_LIST, LB_SETCURSEL, 0, 0);
    }
    CenterWindow();
    return TRUE;
}

void CScanSourceDlg::OnOK()
{
    const int nSel = int(SendDlgItemMessage(IDC_SCAN_SOURCE_LIST, LB_GETCURSEL, 0, 0));
    if (nSel < 0)
        return;
    const LRESULT index = SendDlgItemMessage(IDC_SCAN_SOURCE_LIST, LB_GETITEMDATA, WPARAM(nSel), 0);
    if (index < 0 || size_t(index) >= m_labels.size())
        return;
    m_nPicked = int(index);
    EndDialog(IDOK);
}
