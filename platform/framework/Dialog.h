#pragma once
// CDialog: a window made by the window system's dialog manager from a
// dialog template, with the class library's life around it.
//
// Modal (DoModal): the template is looked up in the resource module
// (AfxFindResourceHandle), the owner is disabled, the dialog runs its own
// loop (PreTranslateMessage with IsDialogMessage, WM_KICKIDLE and the
// application's OnIdle while the queue is empty), and DoModal answers the
// value given to EndDialog: -1 when the template is missing, the dialog
// cannot be made, or the loop met WM_QUIT (which is posted again for the
// outer loop). The object outlives the window; a modal dialog is usually a
// local variable.
// Modeless (Create/CreateIndirect): the window lives until DestroyWindow;
// EndDialog hides it. A heap-allocated modeless dialog deletes itself in
// its own PostNcDestroy override, as in the class library.
//
// The CWnd is attached before the dialog receives WM_SETFONT and
// WM_INITDIALOG, so message-map handlers and DDX work in OnInitDialog.

#include "platform/framework/Wnd.h"

class CFont;

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog();
    explicit CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = NULL);
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = NULL);
    ~CDialog() override;

    // Modeless creation; FALSE when the template is missing or creation
    // (including OnInitDialog's EndDialog before the window exists) fails.
    BOOL Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd = NULL);
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = NULL);
    BOOL CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = NULL);
    // Makes a modal dialog run from an in-memory template.
    BOOL InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = NULL);

    virtual INT_PTR DoModal();
    // Ends a modal dialog with nResult (DoModal's answer) or hides a
    // modeless one. Callable from anywhere, also before the loop starts
    // (from OnInitDialog) and from outside the dialog's own messages.
    void EndDialog(int nResult);

    void MapDialogRect(LPRECT lpRect) const;
    void SetHelpID(UINT nIDR) { m_nIDHelp = nIDR; }
    void GotoDlgCtrl(CWnd* pWndCtrl);
    void NextDlgCtrl() const;
    void PrevDlgCtrl() const;
    void SetDefID(UINT nID);
    DWORD GetDefID() const; // MAKELONG(id, DC_HASDEFID), or 0 without a default button

    // Default: UpdateData(FALSE); TRUE lets the dialog manager focus the
    // first tab stop, FALSE means the dialog set the focus itself.
    virtual BOOL OnInitDialog();
    virtual void OnSetFont(CFont* pFont);
    // UpdateData(TRUE), then EndDialog(IDOK) when it succeeded.
    virtual void OnOK();
    virtual void OnCancel(); // EndDialog(IDCANCEL)

    // Commands: the dialog, then its owner (a CWnd), then the application.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    // Tool-tip relay (CWnd), then the dialog manager (IsDialogMessage) for
    // the keyboard and mouse input of the dialog and its controls.
    BOOL PreTranslateMessage(MSG* pMsg) override;

    UINT m_nIDHelp = 0;
    LPCTSTR m_lpszTemplateName = nullptr; // a name, or MAKEINTRESOURCE(id)
    LPCDLGTEMPLATE m_lpDialogTemplate = nullptr; // an in-memory template (InitModalIndirect)
    CWnd* m_pParentWnd = nullptr;

protected:
    afx_msg LRESULT HandleSetFont(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnCommandHelp(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnHelpHitTest(WPARAM wParam, LPARAM lParam);

    // Makes the window from a template with this object attached from the
    // first message on; the dialog procedure answers WM_INITDIALOG.
    BOOL CreateDlgIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, HINSTANCE hInst);

    DECLARE_MESSAGE_MAP()

private:
    // DoModal is between creating the window and the end of its loop;
    // EndDialog before the loop starts is kept here.
    bool m_bModalPending = false;
    bool m_bEndedEarly = false;

    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
};

// The dialog procedure every CDialog runs over: answers WM_INITDIALOG
// through OnInitDialog and leaves everything else to the dialog manager.
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
