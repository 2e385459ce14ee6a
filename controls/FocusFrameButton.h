#pragma once
// A push button of a group (control ids 701 to 708) whose dialog shows one
// dotted frame inside control 733 while any button of the group has the
// focus. Moving the focus between buttons of the group leaves the frame as
// it is; moving it anywhere else in the program removes it.

#include "platform/framework/Controls.h"

class CFocusFrameButton : public CButton {
public:
    static constexpr int kFirstGroupId = 701;
    static constexpr int kLastGroupId = 708;
    static constexpr int kFrameControlId = 733;

    CFocusFrameButton() = default;

protected:
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    DECLARE_MESSAGE_MAP()
};

// Shows or hides the frame of pDlg. The state is program-wide; nothing is
// drawn when it does not change. Without control 733 the whole dialog is
// invalidated instead.
void SetFocusFrame(CWnd* pDlg, BOOL bShown);
// Whether the frame is shown now; the reset is for tests.
BOOL IsFocusFrameShown();
void ResetFocusFrame();
// The frame's rectangle for control 733's rectangle in the dialog's client
// coordinates.
CRect FocusFrameRect(const RECT& rcControl);
