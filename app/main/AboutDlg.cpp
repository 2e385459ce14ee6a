#include "app/main/AboutDlg.h"

#include "app/main/DesignerApp.h"
#include "platform/framework/FrameworkStrings.h"
#include "resources/resource.h"

CAboutDlg::CAboutDlg(CWnd* pParent)
    : CDialog(IDD_ABOUTBOX, pParent)
{
}

CString CAboutDlg::VersionText()
{
    CString strVersion;
    CString strFormat;
    if (!strVersion.LoadString(IDS_PROGRAM_VERSION) || !strFormat.LoadString(IDS_ABOUT_VERSION_FORMAT))
        return strVersion;
    CString strText;
    strText.Format(strFormat, LPCTSTR(strVersion));
    return strText;
}

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetDlgItemText(IDC_ABOUT_VERSION, VersionText());
    // The application filled the description at start-up; without one
    // (a dialog shown before start-up) it is asked for here.
    CString strSystem;
    if (CDesignerApp* pApp = GetDesignerApp(); pApp != nullptr && !pApp->GetVersionText().IsEmpty())
        strSystem = pApp->GetVersionText();
    else
        GetPlatform(strSystem, TRUE);
    SetDlgItemText(IDC_ABOUT_SYSTEM, strSystem);
    return TRUE;
}
