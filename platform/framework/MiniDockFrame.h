#pragma once
// CMiniDockFrameWnd: the small floating frame that holds floating control
// bars. It is owned by the frame the bars dock into (their dock site), is
// made by CFrameWnd::FloatControlBar, sizes itself to its bars, hides when
// none of them is visible and destroys itself when the last one leaves.
// Dragging its caption picks the bar up again (it may be docked); a double
// click on the caption docks it back where it was last docked.

#include "platform/framework/ControlBar.h"
#include "platform/framework/Frame.h"

class CMiniDockFrameWnd : public CMiniFrameWnd {
    DECLARE_DYNCREATE(CMiniDockFrameWnd)
public:
    CMiniDockFrameWnd();
    ~CMiniDockFrameWnd() override;

    // dwBarStyle: CBRS_ALIGN_TOP lays the bars out in a row, CBRS_ALIGN_LEFT
    // in a column.
    virtual BOOL Create(CFrameWnd* pDockSite, DWORD dwBarStyle);
    void RecalcLayout(BOOL bNotify = TRUE) override;

    CDockBar m_wndDockBar;

protected:
    CControlBar* FirstBar() const;
    afx_msg void OnClose();
    afx_msg void OnNcLButtonDown(UINT nHitTest, CPoint point);
    afx_msg void OnNcLButtonDblClk(UINT nHitTest, CPoint point);
    DECLARE_MESSAGE_MAP()
};
