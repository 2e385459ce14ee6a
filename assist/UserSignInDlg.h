#pragma once
// User Sign In: shows the users of the user table with the last user
// picked, and the "only one user" choice. The caller gives the last user's
// name and the single-user flag before DoModal and reads the flag (and the
// picked name) after IDOK.

#include "resources/assist.h"
#include "controls/PictureButton.h"
#include "platform/framework/Controls.h"
#include "platform/framework/Dialog.h"


class CUserSignInDlg : public CDialog {
public:
    explicit CUserSignInDlg(CWnd* pParent = NULL);

    CString m_strUserName; // in: the last user; out: the user picked
    int m_bSingleUser = 0; // in and out

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

private:
    CListBox m_wndUsers;
    C3DPicBtn m_btnOk;
    C3DPicBtn m_btnCancel;
};
