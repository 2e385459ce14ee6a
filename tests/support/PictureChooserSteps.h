#pragma once
// Steps that answer the picture chooser when a test drives it through
// DriveActiveWindow: the Open dialog's single-picture button, then the file
// dialog (whose name box takes a path), which chooses the file.

#include "platform/base/String.h"
#include "platform/ui/CommDlg.h"
#include "resources/filedlg.h"
#include "resources/pictureopen.h"
#include "tests/support/DialogDriver.h"

namespace testing_support {

// Presses "single picture" once the Open dialog is up.
inline DialogStep OpenSinglePicture()
{
    return [](HWND hDlg) {
        HWND hSingle = ::GetDlgItem(hDlg, IDC_PICTURE_OPEN_SINGLE);
        if (hSingle == NULL)
            return false;
        ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDC_PICTURE_OPEN_SINGLE, BN_CLICKED), LPARAM(hSingle));
        return true;
    };
}

// Types strPath into the file dialog's name box and presses OK, once the
// file dialog with its picture preview is up.
inline DialogStep ChoosePictureFile(const CString& strPath)
{
    return [strPath](HWND hDlg) {
        if (FindDescendant(hDlg, IDC_FILEIMG_FRAME) == NULL || ::GetDlgItem(hDlg, edt1) == NULL)
            return false;
        ::SetDlgItemText(hDlg, edt1, strPath);
        ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return true;
    };
}

} // namespace testing_support
