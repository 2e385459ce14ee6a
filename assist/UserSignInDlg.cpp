#include "assist/UserSignInDlg.h"

#include "app/TextTable.h"
#include "assist/DialogButtons.h"
#include "platform/framework/Afx.h"

CUserSignInDlg::CUserSignInDlg(CWnd* pParent) : CDialog(IDD_USER_SIGN_IN, pParent) {}

void CUserSignInDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_btnOk);
    DDX_Control(pDX, IDCANCEL, m_btnCancel);
    DDX_Control(pDX, IDC_SIGNIN_USERS, m_wndUsers);
    int bSingle = m_bSingleUser ? 1 : 0;
    DDX_Check(pDX, IDC_SIGNIN_SINGLE, bSingle);
    if (pDX->m_bSaveAndValidate) {
        m_bSingleUser = bSingle;
        const int nSel = m_wndUsers.GetCurSel();
        if (nSel >= 0)
            m_wndUsers.GetText(nSel, m_strUserName);
    }
}

BOOL CUserSignInDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    DressOkCancel(&m_btnOk, &m_btnCancel);
    {
        CUserTable users;
        users.FillListBox(m_wndUsers.m_hWnd);
    }
    // The "Predesigned" record holds the program's own designs, not a person.
    const int nPredesigned = m_wndUsers.FindStringExact(-1, "Predesigned");
    if (nPredesigned >= 0)
        m_wndUsers.DeleteString(static_cast<UINT>(nPredesigned));
    int nSel = m_strUserName.IsEmpty() ? LB_ERR : m_wndUsers.FindStringExact(-1, m_strUserName);
    if (nSel < 0 && m_wndUsers.GetCount() > 0)
        nSel = 0;
    if (nSel >= 0)
        m_wndUsers.SetCurSel(nSel);
    CenterWindow();
    return TRUE;
}
