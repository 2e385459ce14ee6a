#pragma once
// CToolpadBar: the tool pad, a dialog bar the main frame makes from the
// empty template 651 (IDD_TOOLPAD) with the id AFX_IDW_TOOLPAD. It holds
// the palette (CToolpadWnd), which shows the commands that fit the
// selection of the active design view; UpdateToolpad re-lays it after
// every selection change. The bar's size is the palette's plus the dialog
// frame. The bar can be dragged or docked from any empty point of the
// palette, but not while an object is being edited in place.
//
// The main frame owns the bar; the bar owns the palette.

#include "platform/framework/Afx.h"

#include <memory>

class CToolpadWnd;

// The control id the main frame gives the bar.
constexpr UINT AFX_IDW_TOOLPAD = 31000;
// The style the main frame creates it with.
constexpr UINT kToolpadBarStyle = WS_CHILD | CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT;
// The bar's help context.
constexpr UINT kToolpadHelpContext = 152;

class CToolpadBar : public CDialogBar {
    DECLARE_DYNCREATE(CToolpadBar)
public:
    CToolpadBar();
    ~CToolpadBar() override;

    // Creates the bar from template 651 in pParentWnd (the main frame), then
    // the palette inside it; the bar's fixed size follows the palette's.
    BOOL Create(CWnd* pParentWnd, UINT nStyle = kToolpadBarStyle, UINT nID = AFX_IDW_TOOLPAD);

    // Refreshes the palette from the selection of the active design view.
    void UpdateToolpad();

    CToolpadWnd* GetPalette() const { return m_pPalette.get(); }

    // The palette and its panels are no command items of the frame: the
    // idle update leaves them alone (their ids are command numbers too).
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

protected:
    afx_msg LRESULT OnQueryNewPalette(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnPaletteChanged(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnToolpadHelpHitTest(WPARAM wParam, LPARAM lParam);
    afx_msg void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    std::unique_ptr<CToolpadWnd> m_pPalette;
};
