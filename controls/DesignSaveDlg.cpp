#include "controls/DesignSaveDlg.h"

#include "app/PrefData.h"
#include "app/Paths.h"
#include "app/main/DesignerApp.h"
#include "platform/files/Drives.h"
#include "platform/files/FileApi.h"
#include "platform/files/FileSystem.h"
#include "platform/framework/Afx.h"
#include "platform/ui/AfxMessageBox.h"
#include "resources/resource.h"
#include "resources/savedlg.h"

IMPLEMENT_DYNAMIC(CDesignSaveDlg, CFileDialog)

namespace {

// The network button of the classic dialog.
constexpr int kNetworkButton = 1037;
// Help, the hook and a folder that must exist; a new name must be
// allowed, so OFN_FILEMUSTEXIST is not among them, and a read-only file
// is not handed back.
constexpr DWORD kDesignSaveFlags = OFN_SHOWHELP | OFN_ENABLEHOOK | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN;

BOOL SameFile(const CString& a, const CString& b)
{
    return a.CompareNoCase(b) == 0 || platform::IsSameFile(a, b);
}

} // namespace

CString GetDesignSaveFolder()
{
    CString strFolder = thePrefs.GetDesignFolder();
    if (strFolder.GetLength() >= 3 && ::GetDriveType(strFolder.Left(3)) == DRIVE_CDROM)
        strFolder = GetUserHomeFolder();
    return strFolder;
}

BOOL ConfirmSavePath(CString strPath, CString strCurrentPath)
{
    BOOL bOk = TRUE;
    if (FileExists(strPath)) {
        CString strQuestion;
        strQuestion.LoadString(IDP_REPLACE_EXISTING_FILE);
        if (AfxMessageBox(strPath + strQuestion, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES)
            bOk = FALSE;
    }
    if (bOk && !(strCurrentPath.GetLength() > 0 && SameFile(strPath, strCurrentPath))) {
        CDesignerApp* pApp = GetDesignerApp();
        if (pApp != nullptr && pApp->IsDocumentOpen(strPath)) {
            AfxMessageBox(IDP_DESIGN_NAME_EXISTS);
            bOk = FALSE;
        }
    }
    return bOk;
}

CDesignSaveDlg::CDesignSaveDlg(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
    LPCTSTR lpszFilter, CWnd* pParentWnd)
    : CFileDialog(bOpenFileDialog, lpszDefExt, lpszFileName, dwFlags, lpszFilter, pParentWnd)
{
    m_strStartFolder = GetDesignSaveFolder();
    if (g_nPlatform == 0) {
        // The oldest shells open in the current folder.
        if (!::SetCurrentDirectory(m_strStartFolder))
            m_strStartFolder = GetProgramPath();
    } else {
        m_ofn.lpstrInitialDir = m_strStartFolder;
    }
    m_ofn.Flags |= kDesignSaveFlags;
    if (g_nPlatform == 0)
        m_ofn.Flags |= OFN_NONETWORKBUTTON;
}

void CDesignSaveDlg::GetFolder(CString& strFolder, CString& strPath) const
{
    strPath = GetPathName();
    const int nSlash = strPath.ReverseFind('\\');
    strFolder = nSlash >= 0 ? strPath.Left(nSlash + 1) : CString();
}

BOOL CDesignSaveDlg::OnFileNameOK()
{
    // The record holds the whole name by now, default extension and all;
    // the name field may still lack the extension.
    const CString strChosen(m_ofn.lpstrFile != nullptr ? m_ofn.lpstrFile : "");
    return !ConfirmSavePath(strChosen, m_strCurrentPath);
}

BOOL CDesignSaveDlg::OnInitDialog()
{
    CFileDialog::OnInitDialog();
    // This object sits on the template child; the buttons belong to the
    // common dialog around it.
    CWnd* pDlg = GetParent();
    if (pDlg == nullptr)
        return TRUE;
    if (m_ofn.Flags & OFN_NONETWORKBUTTON) {
        if (CWnd* pNetwork = pDlg->GetDlgItem(kNetworkButton)) {
            pNetwork->EnableWindow(FALSE);
            pNetwork->ShowWindow(SW_HIDE);
        }
    }
    pDlg->CenterWindow();
    return TRUE;
}
