#pragma once
// CLocatePictureDlg: tells the user that a picture file a design links
// cannot be found. Browse looks for it through the picture chooser; the
// dialog ends with OK only when the chooser gave a file, which is then in
// m_strPath. Ignore (the default button) goes on without it.

#include "controls/PictureButton.h"
#include "platform/framework/Afx.h"

class CLocatePictureDlg : public CDialog {
public:
    explicit CLocatePictureDlg(const CString& strPath, CWnd* pParent = NULL);

    // The path looked for; after OK the file the user chose.
    CString m_strPath;

protected:
    C3DPicTrickBtn m_btnIgnore;
    C3DPicTrickBtn m_btnBrowse;

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Browse.
    void OnOK() override;
};

// Runs the dialog for a picture that cannot be found (strPath, or
// lpszFileName when strPath is empty). TRUE, with strPath set to the file
// the user chose, only when one was chosen; otherwise FALSE and strPath as
// it was given. A picture that only ever lived in memory has no file to
// look for (FALSE, no dialog).
BOOL LocatePictureFile(LPCTSTR lpszFileName, CString& strPath);
