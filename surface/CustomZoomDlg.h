#pragma once
// CCustomZoomDlg: asks for a zoom percentage (10..500). The caller sets
// m_nZoom before DoModal and reads it after IDOK; the radio buttons of the
// usual steps fill the edit field. OK with a value out of range shows the
// framework's range message and keeps the dialog open. Help asks the main
// window for help, as command 150 does by an F1 key.

#include "platform/framework/Afx.h"
#include "controls/PictureButton.h"

class CCustomZoomDlg : public CDialog {
public:
    static constexpr int kMinZoom = 10;
    static constexpr int kMaxZoom = 500;
    // The command that asks for help as the F1 key would.
    static constexpr UINT kHelpKeyCommand = 150;

    explicit CCustomZoomDlg(CWnd* pParent = NULL);

    int m_nZoom = 10;

protected:
    C3DPicTrickBtn m_btnOK;
    C3DPicTrickBtn m_btnCancel;
    C3DPicTrickBtn m_btnHelp;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    // Checks the radio button of the current zoom, or none.
    void CheckZoomButton();

    afx_msg void OnZoomButton(UINT nID);
    afx_msg void OnHelpButton();
    afx_msg void OnHelpKey();
    DECLARE_MESSAGE_MAP()
};
