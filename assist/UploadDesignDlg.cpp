#include "assist/UploadDesignDlg.h"

#include "assist/DialogButtons.h"
#include "platform/framework/Afx.h"

CUploadDesignDlg::CUploadDesignDlg(CWnd* pParent) : CDialog(IDD_UPLOAD_DESIGN, pParent) {}

void CUploadDesignDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_btnOk);
}

BOOL CUploadDesignDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    DressOkCancel(&m_btnOk, nullptr);
    CenterWindow();
    return TRUE;
}
