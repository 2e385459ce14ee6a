#pragma once
// The design save dialog of the older platforms: the class library's file
// dialog starting in the user's design folder, whose file-name check asks
// before an existing file is replaced and refuses the file of another open
// design. The save code builds one on the stack per question, sets the path
// of the design being saved in m_strCurrentPath and reads the answer with
// GetFolder. Beside it stand the start folder and the file-name check that
// the Explorer-style dialog (controls/SaveAsDlg.h) shares.

#include "platform/framework/CommonDialogs.h"

// Where the save dialogs start: the preferences' design folder, or the
// user's home when the design folder lies on a CD-ROM drive, which cannot
// take a design.
CString GetDesignSaveFolder();

// 1 when the design may be saved at strPath, else 0. An existing file is
// replaced only after Yes to "Replace existing file?" (No is the default);
// a file that another open design holds is refused with a message. The
// design being saved (strCurrentPath) is told apart by file identity, so
// its own file is never refused however its path is spelled.
BOOL ConfirmSavePath(CString strPath, CString strCurrentPath);

class CDesignSaveDlg : public CFileDialog {
    DECLARE_DYNAMIC(CDesignSaveDlg)
public:
    CDesignSaveDlg(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags, LPCTSTR lpszFilter,
        CWnd* pParentWnd);

    // After OK: the chosen path, and its folder through the last
    // backslash (empty without one).
    void GetFolder(CString& strFolder, CString& strPath) const;

    CString m_strSpare;
    CString m_strStartFolder;
    // The path of the design being saved; empty for a new design.
    CString m_strCurrentPath;

protected:
    // Keeps the dialog open (TRUE) when ConfirmSavePath refuses the name.
    BOOL OnFileNameOK() override;
    // Hides the network button on the oldest platform and centres the
    // dialog.
    BOOL OnInitDialog() override;
};
