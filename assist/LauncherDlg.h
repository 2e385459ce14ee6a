#pragma once
// The new-design launcher: the six project kinds and the three ways to
// start a design (pre-designed, blank, wizard). It keeps one request record
// per kind, filled from the project-kind table (with the program's built-in
// kind names where the table has none); after DoModal the caller reads the
// picked kind's record through GetTemplate(6) and the chosen way to start
// through m_nOption. The records live as long as the dialog object.

#include "resources/assist.h"
#include "app/main/DesignRequest.h"
#include "controls/PictureButton.h"
#include "platform/framework/Controls.h"
#include "platform/framework/Dialog.h"

#include <array>


// Ways to start a new design.
#define LAUNCH_PREDESIGNED 0
#define LAUNCH_BLANK 1
#define LAUNCH_WIZARD 2

// The number of project kinds; kind 6 means none.
inline constexpr int kLauncherKindCount = 6;
inline constexpr int kLauncherNoKind = 6;

class CLauncherDlg : public CDialog {
public:
    explicit CLauncherDlg(CWnd* pParent = NULL);

    // Kind 0..5: that kind's record. Kind 6: the record of the kind picked
    // in the list, or NULL when none is picked. Anything else: NULL.
    DesignRequest* GetTemplate(int nKind);

    // The way to start (LAUNCH_*), readable after DoModal; also the way
    // preselected when the dialog opens.
    int m_nOption = LAUNCH_BLANK;
    // The kind picked in the list (0..5), kLauncherNoKind when none; also
    // the kind preselected when the dialog opens.
    int m_nKind = 0;

    // The built-in name of a project kind ("T-Shirt" ...); empty outside 0..5.
    static CString KindName(int nKind);

protected:
    // For dialogs that offer the same choices on a template of their own.
    CLauncherDlg(UINT nIDTemplate, CWnd* pParent);

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    afx_msg void OnKindDblClk();
    DECLARE_MESSAGE_MAP()

    // Reads the project-kind table into the records; the records keep the
    // built-in values where the table has no entry of that kind.
    void LoadKindRecords();

    std::array<DesignRequest, kLauncherKindCount> m_records;
    CListBox m_wndKinds;
    C3DPicBtn m_btnOk;
    C3DPicBtn m_btnCancel;
};
