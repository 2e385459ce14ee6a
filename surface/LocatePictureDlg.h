#pragma once
// CLocatePictureDlg: tells the user that a picture file a design links
// cannot be found. The user goes on without it (Ignore); looking for the
// file through the picture chooser comes with that chooser.

#include "controls/PictureButton.h"
#include "platform/framework/Afx.h"

class CLocatePictureDlg : public CDialog {
public:
    explicit CLocatePictureDlg(const CString& strPath, CWnd* pParent = NULL);

    CString m_strPath;

protected:
    C3DPicTrickBtn m_btnIgnore;

    BOOL OnInitDialog() override;
};

// Runs the dialog for a picture that cannot be found. TRUE, with strPath
// set to the file the user chose, only when one was chosen; a picture that
// only ever lived in memory has no file to look for (FALSE, no dialog).
BOOL LocatePictureFile(LPCTSTR lpszFileName, CString& strPath);
