#pragma once
// The program's file dialog: the class library's file dialog with its OK,
// Cancel and Help buttons drawn as the program's picture buttons. Dialogs
// that open designs, pictures and text files create it or derive from it.
// The buttons are the common dialog's own controls, subclassed while the
// dialog is up and let go when it closes, so the object can run again.

#include "controls/PictureButton.h"
#include "platform/framework/CommonDialogs.h"

class COlvFileDlg : public CFileDialog {
    DECLARE_DYNAMIC(COlvFileDlg)
public:
    explicit COlvFileDlg(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr, LPCTSTR lpszFileName = nullptr,
        DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
        CWnd* pParentWnd = nullptr);

    C3DPicBtn m_btnOK;
    C3DPicBtn m_btnCancel;
    C3DPicBtn m_btnHelp;

protected:
    // Dresses OK (1), Cancel (2) and Help (9, or ID_HELP where the dialog
    // has no 9; neither: no Help button) of the common dialog, then centres
    // it.
    BOOL OnInitDialog() override;
};

// Makes COlvFileDlg the file dialog of the program's shared services
// (BrowseForTextFile, PromptSaveFileName); called once at start-up.
void InstallProgramFileDialog();
