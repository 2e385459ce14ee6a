#include "surface/LocatePictureDlg.h"

#include "app/Paths.h"
#include "pictures/ChoosePicture.h"
#include "pictures/Image.h"
#include "resources/resource.h"

CLocatePictureDlg::CLocatePictureDlg(const CString& strPath, CWnd* pParent)
    : CDialog(IDD_LOCATE_PICTURE, pParent)
    , m_strPath(strPath)
{
}

void CLocatePictureDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    // The path is shortened to the width of its line, so that its file name
    // always shows.
    if (!pDX->m_bSaveAndValidate)
        SetWindowTextPath(GetDlgItem(IDC_LOCATE_PICTURE_FILE), m_strPath);
}

BOOL CLocatePictureDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_btnIgnore.SubclassWithIcon(IDCANCEL, this, IDI_BUTTON_CANCEL);
    m_btnBrowse.SubclassWithIcon(IDOK, this, IDI_GALLERY_BROWSE);
    CenterWindow();
    return TRUE;
}

void CLocatePictureDlg::OnOK()
{
    // The chooser empties the path it is given when the user cancels; the
    // path looked for stays as it was.
    CString strChosen = m_strPath;
    if (ChoosePictureSource(this, strChosen, kPictureDialogPickOne) == kPictureChosen && !strChosen.IsEmpty()) {
        m_strPath = strChosen;
        EndDialog(IDOK);
    } else {
        EndDialog(IDCANCEL);
    }
}

BOOL LocatePictureFile(LPCTSTR lpszFileName, CString& strPath)
{
    CString strLookFor = strPath;
    if (strLookFor.IsEmpty())
        strLookFor = lpszFileName != nullptr ? lpszFileName : "";
    if (strLookFor == MemoryOnlyPicturePath())
        return FALSE;
    CLocatePictureDlg dlg(strLookFor, AfxGetMainWnd());
    if (dlg.DoModal() != IDOK)
        return FALSE;
    strPath = dlg.m_strPath;
    return TRUE;
}
