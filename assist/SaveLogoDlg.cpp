#include "assist/SaveLogoDlg.h"

#include "assist/DialogButtons.h"
#include "platform/framework/Afx.h"

CSaveLogoDlg::CSaveLogoDlg(CWnd* pParent) : CDialog(IDD_SAVE_LOGO, pParent) {}

BOOL CSaveLogoDlg::IsValidLogoName(const CString& strName)
{
    if (strName.IsEmpty() || strName.GetLength() > kMaxNameLength)
        return FALSE;
    // The name becomes "<name>.lgo" in the support folder; it must stay a
    // plain file name there.
    if (strName.FindOneOf("\\/:*?\"<>|") >= 0)
        return FALSE;
    for (int i = 0; i < strName.GetLength(); ++i) {
        if (static_cast<unsigned char>(strName[i]) < 0x20)
            return FALSE;
    }
    return strName != "." && strName != "..";
}

void CSaveLogoDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_btnOk);
    DDX_Control(pDX, IDCANCEL, m_btnCancel);
    DDX_Text(pDX, IDC_SAVELOGO_NAME, m_strName);
    if (pDX->m_bSaveAndValidate) {
        m_strName.TrimLeft();
        m_strName.TrimRight();
        if (!IsValidLogoName(m_strName)) {
            AfxMessageBox("Please type a logo name without any of these characters: \\ / : * ? \" < > |",
                MB_ICONEXCLAMATION);
            pDX->PrepareEditCtrl(IDC_SAVELOGO_NAME);
            pDX->Fail();
        }
    }
}

BOOL CSaveLogoDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    DressOkCancel(&m_btnOk, &m_btnCancel);
    SendDlgItemMessage(IDC_SAVELOGO_NAME, EM_LIMITTEXT, kMaxNameLength, 0);
    CenterWindow();
    return TRUE;
}
