#pragma once
// CSurfaceFrame: the MDI child frame of one open design. Its view is the
// design's current CSurface (the document switches which surface view is
// shown inside it). It owns the two rulers, shows or hides them as the user
// last chose, opens Ruler Setup, saves and reloads its design on request,
// tells the main window when the tool pad should show (the first design
// frame is made while the user keeps the tool pad on) and hide (the last
// design frame goes), and answers the application's idle refresh.
// Frames are owned by their windows: the framework deletes them after
// their window is gone; the rulers go with the frame.

#include "platform/framework/Afx.h"

class CRulerBar;
class CSurface;

class CSurfaceFrame : public CMDIChildWnd {
    DECLARE_DYNCREATE(CSurfaceFrame)
public:
    CSurfaceFrame();
    ~CSurfaceFrame() override;

    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_CHILD | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
        CWnd* pParentWnd = NULL, CCreateContext* pContext = NULL) override;
    // The first layout makes the rulers against the view; every layout
    // ends in the usual one.
    void RecalcLayout(BOOL bNotify = TRUE) override;

    // Makes pView the frame's active view and gives the frame the focus.
    void ActivateView(CView* pView);
    // Takes the document's units into the rulers and redraws them (at once
    // with bNow); shows or hides them as they should be.
    void UpdateRulers(BOOL bNow);
    // The view scrolled by (dx, dy) pixels: the rulers along the moved
    // directions are redrawn at once.
    void ScrollRulers(int dx, int dy);
    // Shows or hides both rulers and lays the frame out again.
    void ShowRulers(BOOL bShow);
    BOOL AreRulersShown() const { return m_bRulersShown; }
    // The metric state the rulers show (document flag 0x0100).
    BOOL AreRulersMetric() const { return m_bRulersMetric; }
    // The top (bVertical FALSE) or left ruler; NULL before the first layout.
    CRulerBar* GetRuler(BOOL bVertical) const;
    // The second key table (select all, move to front and bottom), kept
    // aside for the frame's life.
    HACCEL GetSecondAccelerator() const { return m_hSecondAccel; }

    // The active view when it is a design view, else NULL.
    CSurface* GetActiveSurface() const;

    // Tests: the folder of the temporary copy made when the design is
    // saved and reloaded (NULL: the system's temporary folder).
    static void SetReloadFolderForTests(LPCSTR lpszFolder);

protected:
    CRulerBar* m_pRulerHorz;
    CRulerBar* m_pRulerVert;
    BOOL m_bRulersShown = FALSE;
    BOOL m_bFirstLayout = TRUE;
    HACCEL m_hSecondAccel = NULL; // our own copy, destroyed with the frame
    BOOL m_bRulersMetric = FALSE;

    BOOL RulersMade() const;
    void ShowRulerBars(BOOL bShow);
    void RunRulerSetupAt(int nPage);
    // Saves the design to a temporary file, closes it, puts the saved bytes
    // over its file and opens it again. Nothing is closed unless the
    // temporary save worked; a failed copy keeps (and names) the temporary
    // file. TRUE when the design was opened again.
    BOOL SaveAndReload();

    afx_msg LRESULT OnIdleRefresh(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnDocSave(WPARAM wParam, LPARAM lParam);
    afx_msg void OnMDIActivate(BOOL bActivate, CWnd* pActivateWnd, CWnd* pDeactivateWnd);
    afx_msg void OnClose();
    afx_msg void OnEnable(BOOL bEnable);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnViewRulers();
    afx_msg void OnUpdateViewRulers(CCmdUI* pCmdUI);
    afx_msg void OnViewRulerSetup();
    afx_msg void OnViewGuidelineSetup();
    afx_msg void OnRulerProperties();
    DECLARE_MESSAGE_MAP()
};
