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
    m_btnOK.SubclassWithIcon(IDOK, pDlg, IDI_BUTTON_OK);
    m_btnCancel.SubclassWithIcon(IDCANCEL, pDlg, IDI_BUTTON_CANCEL);
    int nHelp = ::GetDlgItem(pDlg->GetSafeHwnd(), kHelpButton) != NULL ? kHelpButton : kFrameworkHelpButton;
    m_btnHelp.SubclassWithIcon(nHelp, pDlg, IDI_BUTTON_HELP);
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
