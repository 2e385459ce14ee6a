#pragma once
// Picture Tint: asks for a tint colour and its intensity. OK tells the
// parent the answer with WM_EFFECT_PREVIEW (intensity, colour) before the
// dialog ends, so that Picture Studio applies it; there is no preview
// before that. The caller sets m_nIntensity and m_crColor before the run
// and reads them after OK.

#include "controls/ColorButton.h"
#include "controls/PictureButton.h"
#include "platform/framework/Controls.h"
#include "platform/framework/Dialog.h"

class CPictureTintDlg : public CDialog {
public:
    enum { IDD = 747 };
    static constexpr int kMinIntensity = 1;
    static constexpr int kMaxIntensity = 100;

    explicit CPictureTintDlg(CWnd* pParent = NULL);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    int m_nIntensity = 50;
    COLORREF m_crColor = RGB(255, 255, 255);

    CColorButton m_btnColor;

protected:
    afx_msg void OnPickColor();
    DECLARE_MESSAGE_MAP()

private:
    CSpinButtonCtrl m_spin;
    C3DPicBtn m_btnOK;
    C3DPicBtn m_btnCancel;
};
