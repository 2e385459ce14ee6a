#pragma once
// The Toolbars dialog: which bars are shown, colour or plain and large or
// small buttons, and tool tips. The caller fills the public values, runs the
// dialog, and on IDOK reads them back (CMainFrame::OnToolbars).

#include "controls/CheckListBox.h"
#include "controls/PictureButton.h"
#include "platform/framework/Dialog.h"

class CToolbarsDlg : public CDialog {
public:
    enum { IDD = 408 };
    explicit CToolbarsDlg(CWnd* pParent = NULL);
    ~CToolbarsDlg() override;

    BOOL m_bStandard = FALSE;
    BOOL m_bFormatting = FALSE;
    BOOL m_bToolPad = FALSE;
    BOOL m_bColorButtons = FALSE;
    BOOL m_bLargeButtons = FALSE;
    BOOL m_bToolTips = FALSE;

    // The bar list's entries, in list order.
    enum BarEntry { kEntryStandard = 0, kEntryFormatting = 1, kEntryToolPad = 2, kEntryCount = 3 };

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnPaint();
    afx_msg void OnHelpButton();
    DECLARE_MESSAGE_MAP()

    CCheckLB m_wndList; // subclasses control 1000
    BOOL m_bFirstPaint = TRUE;
    C3DPicTrickBtn m_btnOK;
    C3DPicTrickBtn m_btnCancel;
    C3DPicTrickBtn m_btnHelp;
};
