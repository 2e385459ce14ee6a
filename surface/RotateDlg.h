#pragma once
// CRotateDlg: asks for an angle of rotation in whole degrees, -359..359.
// The caller sets m_nAngle before DoModal and reads it after IDOK; OK with
// a value out of range (or not a number) shows the framework's message
// and keeps the dialog open. RunRotateDialog is the usual way in.

#include "controls/PictureButton.h"
#include "platform/framework/Afx.h"

class CRotateDlg : public CDialog {
public:
    static constexpr int kMinAngle = -359;
    static constexpr int kMaxAngle = 359;

    explicit CRotateDlg(CWnd* pParent = NULL);

    int m_nAngle = 0;

protected:
    C3DPicTrickBtn m_btnOK;
    C3DPicTrickBtn m_btnCancel;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
};

// Runs the Rotate dialog on *pAngle. TRUE, with the new angle in *pAngle,
// only when the user pressed OK on a different angle; FALSE (and *pAngle
// untouched) otherwise.
BOOL RunRotateDialog(CWnd* pParent, int* pAngle);
