#pragma once
// CResizableDlg: a dialog the user can resize, whose size and place are
// kept in the profile from one run to the next (CDlgLayout). A derived
// dialog names its profile value with InitLayout, calls m_layout.RestoreSize
// in its OnInitDialog, lays its controls out in RepositionControls after
// every size change, and sets m_bLimitMinSize once its controls are in
// place so that it cannot be dragged smaller than it first was.
//
// The maximise and minimise commands do not maximise or minimise: the first
// makes the dialog as large as the screen, the second brings it back to its
// first size, both centred and in the normal state. The placement is written
// when the window is destroyed, so a cancelled dialog keeps its new size.

#include "controls/DlgLayout.h"
#include "platform/framework/Dialog.h"

class CResizableDlg : public CDialog {
public:
    CResizableDlg(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // The profile value of the placement and the first-time size in
    // percent of the screen.
    void InitLayout(LPCTSTR lpszValueName, int nPercent);

    BOOL OnInitDialog() override;
    // Lays the controls out for the present client size.
    virtual void RepositionControls() = 0;
    // Disables and enables the dialog's own window: the dialog takes no
    // input while work it started runs under a window of its own (a
    // progress window that lets the messages through).
    virtual void CWndDisableSelf();
    virtual void CWndEnableSelf();

    CDlgLayout m_layout;
    BOOL m_bLimitMinSize = FALSE;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    // Normal state with the given size at the top left, then centred.
    void ShowNormalSized(int cx, int cy);
};
