#include "surface/LocatePictureDlg.h"

#include "app/Paths.h"
#include "pictures/Image.h"
#include "resources/resource.h"

CLocatePictureDlg::CLocatePictureDlg(const CString& strPath, CWnd* pParent)
    : CDialog(IDD_LOCATE_PICTURE, pParent)
    , m_strPath(strPath)
{
}

BOOL CLocatePictureDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // The path is shortened to the width of its line, so that its file name
    // always shows.
    SetWindowTextPath(GetDlgItem(IDC_LOCATE_PICTURE_FILE), m_strPath);
    m_btnIgnore.SubclassWithIcon(IDCANCEL, this, IDI_BUTTON_CANCEL);
    CenterWindow();
    return TRUE;
}

BOOL LocatePictureFile(LPCTSTR lpszFileName, CString& strPath)
{
    if (strPath.IsEmpty())
        strPath = lpszFileName != nullptr ? lpszFileName : "";
    if (strPath == MemoryOnlyPicturePath())
        return FALSE;
    CLocatePictureDlg dlg(strPath, AfxGetMainWnd());
    // FIXME: Browse runs the picture chooser on the path and takes the file
    // it returns; until the chooser exists the dialog ends with Ignore only.
    dlg.DoModal();
    return FALSE;
}
