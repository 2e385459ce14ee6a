#pragma once
// Upload Design: says that uploading designs is not available; OK closes it.

#include "resources/assist.h"
#include "controls/PictureButton.h"
#include "platform/framework/Dialog.h"


class CUploadDesignDlg : public CDialog {
public:
    explicit CUploadDesignDlg(CWnd* pParent = NULL);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

private:
    C3DPicBtn m_btnOk;
};
