#pragma once
// Property sheets and their pages.
//
// CPropertySheet is a dialog whose template is built in code: a tab control
// above the pages and the buttons below (OK, Cancel, Apply Now, Help), sized
// to the largest page. In wizard mode (PSH_WIZARD) there are no tabs: a
// separator line and Back, Next/Finish, Cancel (and Help) sit below the page.
// Pages are child dialogs made on their first activation and destroyed
// with the sheet; the sheet does not own the CPropertyPage objects.
//
// Buttons: OK runs the active page's OnKillActive and then OnApply (by
// default OnOK) of every page that was made, and ends with IDOK; Apply Now
// does the same and keeps the sheet open, with Apply disabled again until a
// page calls SetModified; Cancel asks the active page's OnQueryCancel, then
// runs OnReset (by default OnCancel) of the made pages and ends with
// IDCANCEL; Help sends ID_HELP to the page (or its template's help). Wizard: Back and Next move by the page's OnWizardBack/Next
// answer (0 the neighbour, -1 stay, else the template id of the page to
// show); Finish ends with ID_WIZFINISH when OnWizardFinish allows it.
// A derived sheet may take any of these commands in its message map first.

#include "platform/base/String.h"
#include "platform/base/ResourceTables.h"
#include "platform/framework/Controls.h"
#include "platform/framework/Dialog.h"

#include <vector>

// Button and message numbers of the system's property sheet.
#ifndef ID_APPLY_NOW
#define ID_APPLY_NOW 0x3021
#endif
#ifndef ID_WIZBACK
#define ID_WIZBACK 0x3023
#endif
#ifndef ID_WIZNEXT
#define ID_WIZNEXT 0x3024
#endif
#ifndef ID_WIZFINISH
#define ID_WIZFINISH 0x3025
#endif
// The sheet's tab control.
#ifndef AFX_IDC_TAB_CONTROL
#define AFX_IDC_TAB_CONTROL 0x3020
#endif

#ifndef PSH_WIZARD
#define PSH_DEFAULT 0x00000000
#define PSH_PROPTITLE 0x00000001
#define PSH_PROPSHEETPAGE 0x00000008
#define PSH_WIZARD 0x00000020
#define PSH_NOAPPLYNOW 0x00000080
#define PSH_HASHELP 0x00000200
#define PSH_MODELESS 0x00000400
#endif

#ifndef PSP_HASHELP
#define PSP_DEFAULT 0x00000000
#define PSP_USETITLE 0x00000008
#define PSP_HASHELP 0x00000020
#endif

#ifndef PSWIZB_BACK
#define PSWIZB_BACK 0x00000001
#define PSWIZB_NEXT 0x00000002
#define PSWIZB_FINISH 0x00000004
#define PSWIZB_DISABLEDFINISH 0x00000008
#endif

#ifndef PSBTN_BACK
#define PSBTN_BACK 0
#define PSBTN_NEXT 1
#define PSBTN_FINISH 2
#define PSBTN_OK 3
#define PSBTN_APPLYNOW 4
#define PSBTN_CANCEL 5
#define PSBTN_HELP 6
#endif

#ifndef PSM_SETCURSEL
#define PSM_SETCURSEL (WM_USER + 101)
#define PSM_CHANGED (WM_USER + 104)
#define PSM_CANCELTOCLOSE (WM_USER + 107)
#define PSM_QUERYSIBLINGS (WM_USER + 108)
#define PSM_UNCHANGED (WM_USER + 109)
#define PSM_SETTITLE (WM_USER + 111)
#define PSM_SETWIZBUTTONS (WM_USER + 112)
#define PSM_PRESSBUTTON (WM_USER + 113)
#define PSM_SETCURSELID (WM_USER + 114)
#define PSM_SETFINISHTEXT (WM_USER + 115)
#define PSM_GETTABCONTROL (WM_USER + 116)
#define PSM_ISDIALOGMESSAGE (WM_USER + 117)
#define PSM_GETCURRENTPAGEHWND (WM_USER + 118)
#endif

class CPropertySheet;

// The part of the system's page header that pages are described by.
struct PROPSHEETPAGE {
    DWORD dwSize = sizeof(PROPSHEETPAGE);
    DWORD dwFlags = PSP_DEFAULT;
    HINSTANCE hInstance = NULL;
    LPCTSTR pszTemplate = nullptr;
    LPCDLGTEMPLATE pResource = nullptr;
    LPCTSTR pszTitle = nullptr;
    LPARAM lParam = 0;
};

// The part of the system's sheet header that callers set.
struct PROPSHEETHEADER {
    DWORD dwSize = sizeof(PROPSHEETHEADER);
    DWORD dwFlags = PSH_DEFAULT;
    HWND hwndParent = NULL;
    HINSTANCE hInstance = NULL;
    HICON hIcon = NULL;
    LPCTSTR pszCaption = nullptr;
    UINT nPages = 0;
    UINT nStartPage = 0;
};

class CPropertyPage : public CDialog {
    DECLARE_DYNAMIC(CPropertyPage)
public:
    CPropertyPage();
    explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);
    explicit CPropertyPage(LPCTSTR lpszTemplateName, UINT nIDCaption = 0);
    ~CPropertyPage() override;
    void Construct(UINT nIDTemplate, UINT nIDCaption = 0);
    void Construct(LPCTSTR lpszTemplateName, UINT nIDCaption = 0);

    PROPSHEETPAGE m_psp;

    // Marks the page changed; the sheet's Apply Now is enabled while any
    // page is.
    void SetModified(BOOL bChanged = TRUE);
    BOOL IsModified() const { return m_bModified; }
    // Sends PSM_QUERYSIBLINGS to the sheet: the first page's nonzero
    // QuerySiblings answer, 0 when none.
    LRESULT QuerySiblings(WPARAM wParam, LPARAM lParam);
    // After an irreversible change: Cancel becomes Close and OK is disabled.
    void CancelToClose();

    // TRUE: the page may become active. The default reloads the controls
    // (UpdateData(FALSE)) on every activation after the first, whose data
    // OnInitDialog loaded.
    virtual BOOL OnSetActive();
    // TRUE: the page may be left (default: UpdateData(TRUE)).
    virtual BOOL OnKillActive();
    // OK and Apply Now: default OnOK, TRUE; FALSE keeps the sheet open on
    // this page.
    virtual BOOL OnApply();
    void OnOK() override;     // default: nothing (the data were saved by OnKillActive)
    void OnCancel() override; // default: nothing
    virtual void OnReset();   // Cancel: default OnCancel
    virtual BOOL OnQueryCancel(); // default: TRUE
    virtual LRESULT OnWizardBack();   // 0, -1 or a page's template id
    virtual LRESULT OnWizardNext();   // 0, -1 or a page's template id
    virtual BOOL OnWizardFinish();    // TRUE ends the wizard
    // A sibling's QuerySiblings; nonzero stops the walk.
    virtual LRESULT OnQuerySiblings(WPARAM wParam, LPARAM lParam);

    // The tab's text: the caption id's string, else the template's caption.
    CString GetCaptionText() const;

    // Keys go to the sheet's dialog manager, not the page's own.
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    CPropertySheet* GetSheet() const { return m_pSheet; }

private:
    friend class CPropertySheet;
    UINT m_nIDCaption = 0;
    BOOL m_bModified = FALSE;
    bool m_bFirstSetActive = true;
    CPropertySheet* m_pSheet = nullptr;
    platform::DialogTemplate m_childTemplate{}; // the page's template made a child
};

class CPropertySheet : public CWnd {
    DECLARE_DYNAMIC(CPropertySheet)
public:
    CPropertySheet();
    explicit CPropertySheet(UINT nIDCaption, CWnd* pParentWnd = NULL, UINT iSelectPage = 0);
    explicit CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd = NULL, UINT iSelectPage = 0);
    ~CPropertySheet() override;
    void Construct(UINT nIDCaption, CWnd* pParentWnd = NULL, UINT iSelectPage = 0);
    void Construct(LPCTSTR pszCaption, CWnd* pParentWnd = NULL, UINT iSelectPage = 0);

    PROPSHEETHEADER m_psh;

    void AddPage(CPropertyPage* pPage);
    void RemovePage(CPropertyPage* pPage);
    void RemovePage(int nPage);
    int GetPageCount() const;
    CPropertyPage* GetPage(int nPage) const;
    int GetPageIndex(CPropertyPage* pPage) const;
    CPropertyPage* GetActivePage() const;
    int GetActiveIndex() const;
    // FALSE when the index is out of range or the active page refuses to
    // be left. Before the sheet exists, it chooses the first page shown.
    BOOL SetActivePage(int nPage);
    BOOL SetActivePage(CPropertyPage* pPage);
    void SetTitle(LPCTSTR lpszText, UINT nStyle = 0); // nStyle PSH_PROPTITLE: "Properties for <text>"
    CTabCtrl* GetTabControl() const;

    void SetWizardMode() { m_psh.dwFlags |= PSH_WIZARD; }
    BOOL IsWizard() const { return (m_psh.dwFlags & PSH_WIZARD) != 0; }
    void SetWizardButtons(DWORD dwFlags);
    void SetFinishText(LPCTSTR lpszText);
    // Acts as a press of PSBTN_* (posted, as the system does).
    void PressButton(int nButton);

    virtual INT_PTR DoModal();
    // Modeless sheet: WS_SYSMENU | WS_POPUP | WS_CAPTION | DS_MODALFRAME | WS_VISIBLE by default.
    BOOL Create(CWnd* pParentWnd = NULL, DWORD dwStyle = (DWORD)-1, DWORD dwExStyle = 0);
    // Ends the modal loop with nEndID; works from outside the sheet too.
    void EndDialog(int nEndID);

    // Creates the tab control, buttons and first page; derived sheets call
    // the base first and then change the buttons.
    virtual BOOL OnInitDialog();
    // Commands: the sheet, then its owner, then the application.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    // The dialog manager over the sheet and its pages.
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    // The buttons, after the message map had its chance.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // The tab control's selection changes.
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    // The PSM_* messages, when the message map did not take them.
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    friend class CPropertyPage;
    friend INT_PTR CALLBACK AfxPropSheetProc(HWND, UINT, WPARAM, LPARAM);

    void CommonConstruct(CWnd* pParentWnd, UINT iSelectPage);
    const platform::DialogTemplate* BuildTemplate();
    void BuildLayout();
    HWND CreateButton(UINT nID, LPCTSTR lpszText, const RECT& rect, DWORD dwStyle);
    BOOL ActivatePage(int nPage, bool askCurrent);
    BOOL CreatePageWindow(CPropertyPage* pPage);
    void UpdateApplyButton();
    void ApplyWizardButtons(DWORD dwFlags);
    BOOL PressOk(bool closeAfter);
    void PressCancel();
    void WizardMove(bool forward);
    void PressFinish();
    void PressHelp();
    int FindPageByTemplate(LRESULT id) const;
    int FindPageByWindow(HWND hWnd) const;
    CString TitleText() const;

    std::vector<CPropertyPage*> m_pages;
    CString m_strCaption;
    CWnd* m_pParentWnd = nullptr;
    int m_nActive = -1;
    CTabCtrl m_tab;
    platform::DialogTemplate m_template{};
    RECT m_rectPage{}; // where pages sit, in the sheet's client coordinates
    DWORD m_dwWizButtons = PSWIZB_BACK | PSWIZB_NEXT;
    CString m_strFinishText;
    bool m_bModalPending = false;
    bool m_bEndedEarly = false;
    bool m_bModeless = false;
};
