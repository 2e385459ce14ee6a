#pragma once
// Save Logo: asks for the logo's name. On IDOK m_strName holds it, trimmed
// and free of characters a file name cannot hold.

#include "resources/assist.h"
#include "controls/PictureButton.h"
#include "platform/framework/Dialog.h"


class CSaveLogoDlg : public CDialog {
public:
    static constexpr int kMaxNameLength = 64;

    explicit CSaveLogoDlg(CWnd* pParent = NULL);

    CString m_strName;

    // Whether a name can become a file name: not empty, at most
    // kMaxNameLength characters, none of \ / : * ? " < > |.
    static BOOL IsValidLogoName(const CString& strName);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

private:
    C3DPicBtn m_btnOk;
    C3DPicBtn m_btnCancel;
};
