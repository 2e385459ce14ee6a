#pragma once
// CGridPopupDlg: the base of the small captionless popups that host one grid
// picker each (colours, hatch styles, line styles). The popup opens beside
// the button that asked for it, captures the mouse for its picker and closes
// with IDOK on the first button-up, wherever it happens: a click outside
// keeps the value it opened with. The caller owns the dialog; the picker
// deletes itself with its window, so it is only reached while the popup is
// up (data exchange reads it back on the way out).

#include "platform/framework/Dialog.h"

class CGridPicker;

class CGridPopupDlg : public CDialog {
public:
    CGridPopupDlg(UINT nIDTemplate, const RECT& rcButton, CWnd* pParent);

    CGridPicker* GetPicker() const { return m_pPicker; }

    // The popup's rectangle for a button (screen coordinates): right edge
    // on the button's right edge and top on its top, unless that leaves the
    // bounds on the right or at the bottom; then left edge on the button's
    // left and bottom on its bottom.
    static CRect PlacePopup(const RECT& rcButton, SIZE size, const RECT& rcBounds);

protected:
    BOOL OnInitDialog() override;
    // Sets up the picker's cells and current value.
    virtual void SetupPicker(CGridPicker& picker) = 0;

    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

    CRect m_rcButton;
    BOOL m_bGradientButton = FALSE; // given to the picker when it is made
    CGridPicker* m_pPicker = nullptr;
};
