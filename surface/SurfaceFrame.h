#pragma once
// CSurfaceFrame: the MDI child frame of one open design. Its view is the
// design's current CSurface (the document switches which surface view is
// shown inside it). It tells the main window when the tool pad should show
// (a design frame is made while the user keeps the tool pad on) and hide
// (the last design frame goes), and answers the application's idle refresh.
// Frames are owned by their windows: the framework deletes them after
// their window is gone.

#include "platform/framework/Afx.h"

class CSurface;

class CSurfaceFrame : public CMDIChildWnd {
    DECLARE_DYNCREATE(CSurfaceFrame)
public:
    CSurfaceFrame();
    ~CSurfaceFrame() override;

    // Makes pView the frame's active view and gives the frame the focus.
    void ActivateView(CView* pView);
    // Brings the rulers up to date with the document. There are no ruler
    // windows yet; the frame keeps the state it would show.
    void UpdateRulers(BOOL bNow);
    // Shows or hides the rulers (recorded only, see UpdateRulers).
    void ShowRulers(BOOL bShow);
    BOOL AreRulersShown() const { return m_bRulersShown; }
    // The metric state the rulers would show (document flag 0x0100).
    BOOL AreRulersMetric() const { return m_bRulersMetric; }

    // The active view when it is a design view, else NULL.
    CSurface* GetActiveSurface() const;

protected:
    BOOL m_bRulersShown = FALSE;
    BOOL m_bRulersMetric = FALSE;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg LRESULT OnIdleRefresh(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnDocSave(WPARAM wParam, LPARAM lParam);
    afx_msg void OnMDIActivate(BOOL bActivate, CWnd* pActivateWnd, CWnd* pDeactivateWnd);
    afx_msg void OnClose();
    DECLARE_MESSAGE_MAP()
};
