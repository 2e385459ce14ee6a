#pragma once
// CWizSheet: a property sheet in wizard mode whose Back, Next and Finish
// buttons may be its own (a derived sheet names them with
// GetWizardButtonIds). The wizard-button flags decide which of them are
// enabled and shown; Enter on a focused button presses that button (the
// command goes to the sheet, which hands a page's button on to the page).
//
// Flags: PSWIZB_BACK, PSWIZB_NEXT, PSWIZB_FINISH enable their button; a
// disabled button is hidden unless its show bit is set (PSWIZB_DISABLEDFINISH
// for Finish, kShowDisabledBack and kShowDisabledNext). The sheet does not own
// its pages, as with any property sheet.

#include "platform/framework/PropertySheet.h"

class CWizSheet : public CPropertySheet {
    DECLARE_DYNAMIC(CWizSheet)
public:
    static constexpr DWORD kShowDisabledBack = 16;
    static constexpr DWORD kShowDisabledNext = 32;

    CWizSheet(UINT nIDCaption, CWnd* pParentWnd = NULL, UINT iSelectPage = 0);

    // The ids of Back, Next, Finish, the extra button (0: none) and Cancel.
    virtual void GetWizardButtonIds(UINT& nBack, UINT& nNext, UINT& nFinish, UINT& nExtra, UINT& nCancel) const;

    // Stores the flags, tells the property sheet and updates the buttons.
    void SetWizardButtons(DWORD dwFlags);
    DWORD GetWizardButtonFlags() const { return m_dwWizardFlags; }
    // Enables and shows the sheet's Back, Next and Finish by the flags.
    void UpdateWizardButtons();

    BOOL PreTranslateMessage(MSG* pMsg) override;

    // Whether the window's class is `lpszClass` (compared without case).
    static BOOL IsWindowOfClass(HWND hWnd, LPCTSTR lpszClass);

protected:
    DWORD m_dwWizardFlags = PSWIZB_BACK | PSWIZB_NEXT;

    // The Enter that pressed a focused button; TRUE when one was pressed.
    BOOL PressFocusedButton(const MSG* pMsg);
    // A command the sheet does not take that names a button of the active
    // page (Enter on that button) reaches the page as the button's click.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    afx_msg LRESULT OnSetWizButtons(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
