#include "assist/LauncherDlg.h"

#include "app/TextTable.h"
#include "assist/DialogButtons.h"
#include "platform/framework/Afx.h"

namespace {

// Names the program gives its project kinds when no table says otherwise.
constexpr LPCTSTR kKindNames[kLauncherKindCount] = {"T-Shirt", "Apparel", "Mousepad", "Calendar", "Label", "General"};

// A table holds a handful of kinds; anything near this many records is not
// one of ours.
constexpr int kMaxKindRecords = 256;

} // namespace

BEGIN_MESSAGE_MAP(CLauncherDlg, CDialog)
    ON_LBN_DBLCLK(IDC_LAUNCH_KINDS, OnKindDblClk)
END_MESSAGE_MAP()

CLauncherDlg::CLauncherDlg(CWnd* pParent) : CLauncherDlg(IDD_LAUNCHER, pParent) {}

CLauncherDlg::CLauncherDlg(UINT nIDTemplate, CWnd* pParent) : CDialog(nIDTemplate, pParent)
{
    for (int n = 0; n < kLauncherKindCount; ++n) {
        DesignRequest& record = m_records[static_cast<size_t>(n)];
        record.nKind = n;
        record.nOption = LAUNCH_BLANK;
        record.strFirst = kKindNames[n];
    }
    // Callers may read a kind's record without running the dialog.
    LoadKindRecords();
}

CString CLauncherDlg::KindName(int nKind)
{
    if (nKind < 0 || nKind >= kLauncherKindCount)
        return CString();
    return kKindNames[nKind];
}

void CLauncherDlg::LoadKindRecords()
{
    CProjectKindTable table;
    const int nCount = table.GetRecordCount() < kMaxKindRecords ? table.GetRecordCount() : kMaxKindRecords;
    for (int n = 0; n < nCount; ++n) {
        ProjectKindRecord kind;
        if (!table.ReadRecord(n, kind))
            break;
        if (kind.nId < 0 || kind.nId >= kLauncherKindCount)
            continue;
        DesignRequest& record = m_records[static_cast<size_t>(kind.nId)];
        if (!kind.strName.IsEmpty())
            record.strFirst = kind.strName;
        record.strSecond = kind.strDescription;
        record.nMiddle = kind.nNumber2;
        record.strThird = kind.strPath1;
        record.strFourth = kind.strPath2;
        record.nTrailing1 = kind.nNumber3;
        record.nTrailing2 = kind.nNumber4;
    }
    table.Close();
}

DesignRequest* CLauncherDlg::GetTemplate(int nKind)
{
    if (nKind == kLauncherNoKind)
        nKind = m_nKind;
    if (nKind < 0 || nKind >= kLauncherKindCount)
        return nullptr;
    return &m_records[static_cast<size_t>(nKind)];
}

void CLauncherDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_btnOk);
    DDX_Control(pDX, IDCANCEL, m_btnCancel);
    DDX_Control(pDX, IDC_LAUNCH_KINDS, m_wndKinds);
    DDX_Radio(pDX, IDC_LAUNCH_PREDESIGNED, m_nOption);
    if (pDX->m_bSaveAndValidate) {
        const int nSel = m_wndKinds.GetCurSel();
        m_nKind = nSel >= 0 ? static_cast<int>(m_wndKinds.GetItemData(nSel)) : kLauncherNoKind;
    }
}

BOOL CLauncherDlg::OnInitDialog()
{
    {
        // Designs belong to a user: make sure there is one before any is made.
        CUserGuard guard;
    }
    if (m_nOption < LAUNCH_PREDESIGNED || m_nOption > LAUNCH_WIZARD)
        m_nOption = LAUNCH_BLANK;
    CDialog::OnInitDialog();
    DressOkCancel(&m_btnOk, &m_btnCancel);
    for (int n = 0; n < kLauncherKindCount; ++n) {
        const int nItem = m_wndKinds.AddString(m_records[static_cast<size_t>(n)].strFirst);
        m_wndKinds.SetItemData(nItem, static_cast<DWORD_PTR>(n));
    }
    m_wndKinds.SetCurSel(m_nKind >= 0 && m_nKind < kLauncherKindCount ? m_nKind : 0);
    CenterWindow();
    return TRUE;
}

void CLauncherDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    if (m_nKind < 0 || m_nKind >= kLauncherKindCount) {
        // A design needs a kind; stay until one is picked.
        MessageBeep(MB_ICONEXCLAMATION);
        m_wndKinds.SetFocus();
        return;
    }
    // Every record carries the way to start as its start option.
    for (DesignRequest& record : m_records)
        record.nOption = m_nOption;
    EndDialog(IDOK);
}

void CLauncherDlg::OnKindDblClk()
{
    OnOK();
}
