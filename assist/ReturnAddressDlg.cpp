#include "assist/ReturnAddressDlg.h"

#include "app/TextTable.h"
#include "assist/DialogButtons.h"
#include "platform/framework/Afx.h"

namespace {

// The widths of the user table's columns: longer texts would be cut there.
constexpr int kUserNameChars = 20;
constexpr int kEnvelopeChars = 40;
constexpr int kAddressChars = 40;
constexpr int kCityChars = 30;
constexpr int kStateChars = 20;
constexpr int kZipChars = 15;

constexpr LPCTSTR kStates[] = {"AK", "AL", "AR", "AZ", "CA", "CO", "CT", "DC", "DE", "FL", "GA", "HI", "IA", "ID",
    "IL", "IN", "KS", "KY", "LA", "MA", "MD", "ME", "MI", "MN", "MO", "MS", "MT", "NC", "ND", "NE", "NH", "NJ", "NM",
    "NV", "NY", "OH", "OK", "OR", "PA", "RI", "SC", "SD", "TN", "TX", "UT", "VA", "VT", "WA", "WI", "WV", "WY"};

void Limit(CWnd* pDlg, int nID, int nChars)
{
    if (HWND hCtrl = ::GetDlgItem(pDlg->m_hWnd, nID))
        ::SendMessage(hCtrl, EM_LIMITTEXT, static_cast<WPARAM>(nChars), 0);
}

} // namespace

CReturnAddressDlg::CReturnAddressDlg(CWnd* pParent) : CDialog(IDD_RETURN_ADDRESS, pParent) {}

void CReturnAddressDlg::FillRecord(UserRecord& record) const
{
    record.nInUse = 1;
    record.strUserName = m_strUserName;
    record.strEnvelopeName = m_strEnvelopeName;
    record.strAddress1 = m_strAddress1;
    record.strAddress2 = m_strAddress2;
    record.strCity = m_strCity;
    record.strState = m_strState;
    record.strZip = m_strZip;
}

void CReturnAddressDlg::InstallAsUserPrompt()
{
    CUserGuard::SetReturnAddressPrompt([](UserRecord& record) -> BOOL {
        CReturnAddressDlg dlg(AfxGetMainWnd());
        if (dlg.DoModal() != IDOK)
            return FALSE;
        dlg.FillRecord(record);
        return TRUE;
    });
}

void CReturnAddressDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_btnOk);
    DDX_Control(pDX, IDCANCEL, m_btnCancel);
    DDX_Text(pDX, IDC_RETADDR_USER, m_strUserName);
    DDX_Text(pDX, IDC_RETADDR_ENVELOPE, m_strEnvelopeName);
    DDX_Text(pDX, IDC_RETADDR_ADDRESS1, m_strAddress1);
    DDX_Text(pDX, IDC_RETADDR_ADDRESS2, m_strAddress2);
    DDX_Text(pDX, IDC_RETADDR_CITY, m_strCity);
    DDX_CBString(pDX, IDC_RETADDR_STATE, m_strState);
    DDX_Text(pDX, IDC_RETADDR_ZIP, m_strZip);
    if (pDX->m_bSaveAndValidate) {
        m_strUserName.TrimLeft();
        m_strUserName.TrimRight();
        if (m_strState.GetLength() > kStateChars)
            m_strState = m_strState.Left(kStateChars);
        // A user is known by name: one is needed.
        if (m_strUserName.IsEmpty()) {
            AfxMessageBox("Please type a user name.", MB_ICONEXCLAMATION);
            pDX->PrepareEditCtrl(IDC_RETADDR_USER);
            pDX->Fail();
        }
    }
}

BOOL CReturnAddressDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    DressOkCancel(&m_btnOk, &m_btnCancel);
    Limit(this, IDC_RETADDR_USER, kUserNameChars);
    Limit(this, IDC_RETADDR_ENVELOPE, kEnvelopeChars);
    Limit(this, IDC_RETADDR_ADDRESS1, kAddressChars);
    Limit(this, IDC_RETADDR_ADDRESS2, kAddressChars);
    Limit(this, IDC_RETADDR_CITY, kCityChars);
    Limit(this, IDC_RETADDR_ZIP, kZipChars);
    if (HWND hState = ::GetDlgItem(m_hWnd, IDC_RETADDR_STATE)) {
        ::SendMessage(hState, CB_LIMITTEXT, kStateChars, 0);
        for (LPCTSTR state : kStates)
            ::SendMessage(hState, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(state));
        if (!m_strState.IsEmpty())
            ::SetWindowText(hState, m_strState);
    }
    CenterWindow();
    return TRUE;
}
