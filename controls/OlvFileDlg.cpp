#include "controls/OlvFileDlg.h"

#include "app/Paths.h"

IMPLEMENT_DYNAMIC(COlvFileDlg, CFileDialog)

namespace {

constexpr int kHelpButton = 9; // IDHELP
constexpr int kFrameworkHelpButton = 0xE146; // ID_HELP

} // namespace

COlvFileDlg::COlvFileDlg(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
    LPCTSTR lpszFilter, CWnd* pParentWnd)
    : CFileDialog(bOpenFileDialog, lpszDefExt, lpszFileName, dwFlags, lpszFilter, pParentWnd)
{
}

BOOL COlvFileDlg::OnInitDialog()
{
    CFileDialog::OnInitDialog();

    // This object sits on the template child; the buttons belong to the
    // common dialog around it.
    CWnd* pDlg = GetParent();
    if (pDlg == nullptr)
        return TRUE;
    if (m_btnOK.SubclassDlgItem(IDOK, pDlg))
        m_btnOK.SetIcon(IDI_FILEDLG_OK);
    if (m_btnCancel.SubclassDlgItem(IDCANCEL, pDlg))
        m_btnCancel.SetIcon(IDI_FILEDLG_CANCEL);
    int nHelp = ::GetDlgItem(pDlg->GetSafeHwnd(), kHelpButton) != NULL ? kHelpButton : kFrameworkHelpButton;
    if (m_btnHelp.SubclassDlgItem(nHelp, pDlg))
        m_btnHelp.SetIcon(IDI_FILEDLG_HELP);
    pDlg->CenterWindow();
    return TRUE;
}

void InstallProgramFileDialog()
{
    SetProgramFileDialogMaker([](BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                                  LPCTSTR lpszFilter, CWnd* pParentWnd) -> std::unique_ptr<CFileDialog> {
        return std::make_unique<COlvFileDlg>(bOpenFileDialog, lpszDefExt, lpszFileName, dwFlags, lpszFilter,
            pParentWnd);
    });
}
