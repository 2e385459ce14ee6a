#pragma once
// The Supply Center: a short text about transfer paper, mouse pads and
// label sheets, and a button that opens the supplies page in the web
// browser.

#include "controls/PictureButton.h"
#include "platform/framework/Dialog.h"

class CSupplyCenterDlg : public CDialog {
public:
    explicit CSupplyCenterDlg(CWnd* pParent = nullptr);

    // The page the button opens.
    static CString SupplyPageUrl();

    C3DPicTrickBtn m_btnClose;

protected:
    BOOL OnInitDialog() override;
    afx_msg void OnVisitSupplies();
    DECLARE_MESSAGE_MAP()
};
