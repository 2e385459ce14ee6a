#include "pictures/PictureSource.h"

#include "app/Paths.h"
#include "app/PrefData.h"
#include "controls/OlvFileDlg.h"

namespace {

constexpr DWORD kPickOneFlags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;

// The folder part of a path ("C:\pics\" of "C:\pics\a.bmp"), empty when it
// has none.
CString FolderOf(const CString& strPath)
{
    const int nSlash = strPath.ReverseFind('\\');
    return nSlash < 0 ? CString() : strPath.Left(nSlash + 1);
}

} // namespace

int ChoosePictureSource(CWnd* pParent, CString& strPath, int nFileDialogMode)
{
    (void)nFileDialogMode; // one mode exists until the picture pickers come
    const CString strFilter = BuildPictureFilter();
    CString strFolder = FolderOf(strPath);
    if (strFolder.IsEmpty())
        strFolder = thePrefs.GetPictureFolder();
    const int nSlash = strPath.ReverseFind('\\');
    const CString strName = nSlash < 0 ? strPath : strPath.Mid(nSlash + 1);

    COlvFileDlg dlg(TRUE, nullptr, strName, kPickOneFlags, strFilter, pParent);
    dlg.m_ofn.lpstrInitialDir = strFolder;
    if (dlg.DoModal() != IDOK || dlg.GetPathName().IsEmpty()) {
        strPath.Empty();
        return kPictureNotChosen;
    }
    strPath = dlg.GetPathName();
    return kPictureChosen;
}
