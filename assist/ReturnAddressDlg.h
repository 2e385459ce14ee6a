#pragma once
// Return Address: a new user's name and the address printed on envelopes.
// IDOK when confirmed; the caller then reads the members.

#include "resources/assist.h"
#include "controls/PictureButton.h"
#include "platform/framework/Dialog.h"

struct UserRecord;


class CReturnAddressDlg : public CDialog {
public:
    explicit CReturnAddressDlg(CWnd* pParent = NULL);

    CString m_strUserName;
    CString m_strEnvelopeName;
    CString m_strAddress1;
    CString m_strAddress2;
    CString m_strCity;
    CString m_strState;
    CString m_strZip;

    // Copies the texts into a user record (in use).
    void FillRecord(UserRecord& record) const;

    // Makes the dialog the question CUserGuard asks when the first user is
    // added. Called once at start-up.
    static void InstallAsUserPrompt();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

private:
    C3DPicBtn m_btnOk;
    C3DPicBtn m_btnCancel;
};
