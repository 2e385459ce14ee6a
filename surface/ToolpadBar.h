#pragma once
// CToolpadBar: the tool pad, a dialog bar made by the main frame from
// template 651 (IDD_TOOLPAD) with the id AFX_IDW_TOOLPAD. It holds the
// tools (the selection tool and the object tools) in one list and what can
// be done with the current selection in a second list; UpdateToolpad shows
// the list that fits the current selection (with nothing selected: the
// tools). A click in the tool list makes that tool current. The main frame
// owns the bar (a member, destroyed with the frame).

#include "platform/framework/Afx.h"

class CSurface;

// The control id the main frame gives the bar.
constexpr UINT AFX_IDW_TOOLPAD = 31000;
// The style the main frame creates it with.
constexpr UINT kToolpadBarStyle = WS_CHILD | CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT;

class CToolpadBar : public CDialogBar {
    DECLARE_DYNCREATE(CToolpadBar)
public:
    CToolpadBar();
    ~CToolpadBar() override;

    // Creates the bar from template 651 in pParentWnd (the main frame) and
    // fills the tool list.
    BOOL Create(CWnd* pParentWnd, UINT nStyle = kToolpadBarStyle, UINT nID = AFX_IDW_TOOLPAD);

    // Re-lays the bar for the selection of the active design view: with
    // nothing selected (or no design) the tool list shows, else the list
    // of the selection's actions.
    void UpdateToolpad();

    // The list that is shown now (the target of the "focus into the tool
    // pad" command); NULL before Create.
    CListBox* GetVisibleList();
    CListBox* GetToolList() { return &m_toolList; }
    CListBox* GetSelectionList() { return &m_selectionList; }
    // TRUE while the selection list is the one shown.
    BOOL IsShowingSelection() const { return m_bShowingSelection; }

    // The design view whose selection the bar shows: the active view of the
    // main frame's active child when it is a CSurface, else NULL.
    static CSurface* GetActiveSurface();

    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

protected:
    CListBox m_toolList;
    CListBox m_selectionList;
    BOOL m_bShowingSelection = FALSE;

    void FillToolList();
    void ShowList(BOOL bSelection);

    afx_msg void OnToolListSelChange();
    afx_msg void OnSelectionListSelChange();
    afx_msg LRESULT OnQueryNewPalette(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnPaletteChanged(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
