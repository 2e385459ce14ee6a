#pragma once
// The main frame's two dockable toolbars. CMainToolBar (the formatting bar)
// offers a right-click popup with "Hide" and swallows clicks while a text
// object is being edited in place; CZoomToolBar (the standard bar) also holds
// the zoom combo in place of the zoom-control button.
//
// Both are owned by the main frame (CMainFrame deletes them); the popup menu
// and the combo are members that live as long as the bar.

#include "platform/framework/ControlBar.h"
#include "platform/framework/Controls.h"
#include "platform/framework/Menu.h"

class CMainToolBar : public CToolBar {
    DECLARE_DYNAMIC(CMainToolBar)
public:
    CMainToolBar();
    ~CMainToolBar() override;

    // The popup of menu resource 38 at a client point of the bar, built on
    // first use; runs it with the bar as owner.
    void ShowPopupMenu(CPoint point);
    // The popup itself, built from menu resource 38 on first use; NULL when
    // the resource is missing.
    CMenu* GetPopupMenu();

    afx_msg void OnHide();

protected:
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

    CMenu m_menuPopup; // empty until the first right click
};

// The zoom combo's entries, in list order.
enum ZoomComboEntry {
    kZoomFit = 0,
    kZoom200,
    kZoom150,
    kZoom100,
    kZoom75,
    kZoom50,
    kZoom25,
    kZoomCustom,
    kZoomEntryCount
};

class CZoomToolBar : public CMainToolBar {
    DECLARE_DYNAMIC(CZoomToolBar)
public:
    CZoomToolBar();
    ~CZoomToolBar() override;

    // Loads the bar and puts the zoom combo where the zoom-control button is.
    BOOL LoadToolBar(UINT nIDResource);
    void FillZoomCombo();
    // Selects the entry of a zoom percentage; a fitted view selects
    // "Fit in Window" whatever its percentage, an unlisted one "Custom Zoom".
    void SelectZoom(int nPercent, BOOL bFit);
    CComboBox& GetZoomCombo() { return m_wndZoom; }

    // The entry a zoom selects, and the command an entry posts.
    static int ZoomEntryFor(int nPercent, BOOL bFit);
    static UINT ZoomEntryCommand(int nEntry);

protected:
    afx_msg void OnZoomSelChange();
    afx_msg void OnZoomCloseUp();
    DECLARE_MESSAGE_MAP()

    CComboBox m_wndZoom;
    // The entry the views last asked for: picking it again is no change,
    // which matters for Fit in Window, a toggle.
    int m_nShownEntry = kZoomFit;
};

// Called by the design views whenever their zoom changes: selects the matching
// entry of the main frame's zoom combo when the frame has a standard bar.
void UpdateZoomCombo(int nPercent, BOOL bFit = FALSE);
