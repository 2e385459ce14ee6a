#include "html/TipOfDayDlg.h"

#include "app/Paths.h"
#include "platform/base/Exception.h"
#include "platform/base/File.h"
#include "platform/framework/DataExchange.h"
#include "platform/framework/WinApp.h"
#include "resources/resource.h"

#include <algorithm>
#include <vector>

namespace {

constexpr LPCTSTR kSection = "Tip";
constexpr LPCTSTR kStartupEntry = "StartUp";
constexpr LPCTSTR kFileNumEntry = "FileNum";

int ClampTipNumber(int n)
{
    return (n < 1 || n > CTipOfDayDlg::kMaxTipNumber) ? 1 : n;
}

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n';
}

} // namespace

BEGIN_MESSAGE_MAP(CTipOfDayDlg, CDialog)
    ON_BN_CLICKED(IDC_TIP_NEXT, OnNextTip)
END_MESSAGE_MAP()

CTipOfDayDlg::CTipOfDayDlg(CWnd* pParent)
    : CDialog(UINT(IDD_TIP_OF_DAY), pParent)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr) {
        m_bStartup = pApp->GetProfileInt(kSection, kStartupEntry, 1) != 0;
        m_nFileNum = ClampTipNumber(pApp->GetProfileInt(kSection, kFileNumEntry, 1));
    }
}

CString CTipOfDayDlg::TipPath(int nNumber)
{
    CString name;
    name.Format("tip%d.txt", nNumber);
    return GetProgramPath("support\\tips\\", name);
}

BOOL CTipOfDayDlg::ReadTipFile(LPCTSTR lpszPath, CString& rText)
{
    rText.Empty();
    CFile file;
    if (lpszPath == nullptr || !file.Open(lpszPath, CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary))
        return FALSE;
    // One byte more than kept tells whether the file was cut.
    std::vector<char> bytes(size_t(kMaxTipBytes) + 1);
    UINT nRead = 0;
    try {
        nRead = file.Read(bytes.data(), UINT(bytes.size()));
    } catch (CException* e) {
        e->Delete();
        return FALSE;
    }
    bool bCut = nRead > UINT(kMaxTipBytes);
    size_t nKeep = std::min<size_t>(nRead, size_t(kMaxTipBytes));
    if (bCut) {
        // Do not end in the middle of a word.
        size_t nBlank = nKeep;
        while (nBlank > 0 && !IsBlank(bytes[nBlank - 1]))
            --nBlank;
        if (nBlank > 0)
            nKeep = nBlank;
    }
    CString text;
    for (size_t i = 0; i < nKeep; ++i) {
        char ch = bytes[i];
        if (ch == '\r')
            continue;
        if (ch == '\n')
            text += "\r\n";
        else if ((unsigned char)ch < 0x20 || ch == 0x7F)
            text += ' ';
        else
            text += ch;
    }
    text.TrimLeft();
    text.TrimRight();
    if (text.IsEmpty())
        return FALSE;
    if (bCut)
        text += "...";
    rText = text;
    return TRUE;
}

BOOL CTipOfDayDlg::ReadTip(int nNumber, CString& rText)
{
    if (nNumber < 1 || nNumber > kMaxTipNumber) {
        rText.Empty();
        return FALSE;
    }
    return ReadTipFile(TipPath(nNumber), rText);
}

void CTipOfDayDlg::LoadCurrentTip()
{
    if (ReadTip(m_nFileNum, m_strTip))
        return;
    // Past the last tip (or a tip removed): start again from the first.
    m_nFileNum = 1;
    if (!ReadTip(m_nFileNum, m_strTip))
        m_strTip.LoadString(IDS_TIP_NONE);
}

BOOL CTipOfDayDlg::NextTip()
{
    int nNext = m_nFileNum >= kMaxTipNumber ? 1 : m_nFileNum + 1;
    CString text;
    if (!ReadTip(nNext, text)) {
        nNext = 1;
        if (!ReadTip(nNext, text)) {
            m_nFileNum = 1;
            m_strTip.LoadString(IDS_TIP_NONE);
            return FALSE;
        }
    }
    m_nFileNum = nNext;
    m_strTip = text;
    return TRUE;
}

BOOL CTipOfDayDlg::OnInitDialog()
{
    LoadCurrentTip();
    CDialog::OnInitDialog();
    m_btnClose.SubclassWithIcon(IDOK, this, IDI_BUTTON_OK);
    SetDlgItemText(IDC_TIP_TEXT, m_strTip);
    return TRUE;
}

void CTipOfDayDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    int nStartup = m_bStartup ? 1 : 0;
    DDX_Check(pDX, IDC_TIP_STARTUP, nStartup);
    m_bStartup = nStartup != 0;
}

void CTipOfDayDlg::OnNextTip()
{
    NextTip();
    SetDlgItemText(IDC_TIP_TEXT, m_strTip);
}

void CTipOfDayDlg::SaveState()
{
    UpdateData(TRUE);
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return;
    pApp->WriteProfileInt(kSection, kStartupEntry, m_bStartup ? 1 : 0);
    // The next showing starts with the tip after this one.
    pApp->WriteProfileInt(kSection, kFileNumEntry, m_nFileNum >= kMaxTipNumber ? 1 : m_nFileNum + 1);
}

void CTipOfDayDlg::OnOK()
{
    SaveState();
    EndDialog(IDOK);
}

void CTipOfDayDlg::OnCancel()
{
    SaveState();
    EndDialog(IDCANCEL);
}
