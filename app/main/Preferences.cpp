#include "app/main/Preferences.h"

#include "app/PrefData.h"
#include "app/PrintPrefData.h"
#include "controls/SheetButtons.h"
#include "resources/prefs.h"

CPreferences::CPreferences(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
    : CPropertySheet(nIDCaption, pParentWnd, iSelectPage)
{
    AddPage(&m_pagePreferences);
    AddPage(&m_pageDefaults);
    AddPage(&m_pageTools);
    AddPage(&m_pagePrinting);
}

BOOL CPreferences::OnInitDialog()
{
    BOOL bResult = CPropertySheet::OnInitDialog();
    SubclassSheetButtons(this, m_btnOK, m_btnCancel, m_btnApply, m_btnHelp);
    return bResult;
}

BOOL CPreferences::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const SheetCommand command = ClassifySheetCommand(this, wParam, lParam);
    if (command == SheetCommand::Other)
        return CPropertySheet::OnCommand(wParam, lParam);
    if (command != SheetCommand::Disabled)
        CommitPages(command == SheetCommand::OK);
    return TRUE;
}

BOOL CPreferences::CommitPages(BOOL bClose)
{
    const HWND hSheet = m_hWnd;
    CPropertyPage* pActive = GetActivePage();
    if (pActive != nullptr && pActive->GetSafeHwnd() != NULL && !pActive->OnKillActive())
        return FALSE;
    if (!::IsWindow(hSheet))
        return FALSE;
    // Pages never opened have nothing new to write.
    for (int i = 0; i < GetPageCount(); ++i) {
        CPropertyPage* pPage = GetPage(i);
        if (pPage->GetSafeHwnd() == NULL)
            continue;
        if (!pPage->OnApply()) {
            SetActivePage(i);
            return FALSE;
        }
        if (!::IsWindow(hSheet))
            return FALSE;
        if (!bClose)
            pPage->SetModified(FALSE);
    }
    thePrefs.SavePreferences();
    thePrintPrefs.SavePrinting();
    if (bClose) {
        EndDialog(IDOK);
        return TRUE;
    }
    // The Apply button is now disabled: the focus goes back to the page.
    if (CPropertyPage* pPage = GetActivePage(); pPage != nullptr && pPage->GetSafeHwnd() != NULL) {
        if (HWND hFirst = ::GetNextDlgTabItem(pPage->m_hWnd, NULL, FALSE))
            ::SendMessage(m_hWnd, WM_NEXTDLGCTL, WPARAM(hFirst), TRUE);
    }
    return TRUE;
}
