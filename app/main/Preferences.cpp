#include "app/main/Preferences.h"

#include "app/PrefData.h"
#include "app/PrintPrefData.h"
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
    if (::GetDlgItem(m_hWnd, IDOK) != NULL)
        m_btnOK.SubclassWithIcon(IDOK, this, IDI_BUTTON_OK);
    if (::GetDlgItem(m_hWnd, IDCANCEL) != NULL)
        m_btnCancel.SubclassWithIcon(IDCANCEL, this, IDI_BUTTON_CANCEL);
    if (::GetDlgItem(m_hWnd, ID_APPLY_NOW) != NULL && m_btnApply.SubclassDlgItem(ID_APPLY_NOW, this))
        m_btnApply.SetIcons(IDI_BUTTON_APPLY, IDI_BUTTON_APPLY_DISABLED);
    if (::GetDlgItem(m_hWnd, IDHELP) != NULL)
        m_btnHelp.SubclassWithIcon(IDHELP, this, IDI_BUTTON_HELP);
    return bResult;
}

BOOL CPreferences::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(wParam);
    const bool bButton = lParam == 0 || HIWORD(wParam) == BN_CLICKED;
    if (!bButton || (nID != IDOK && nID != ID_APPLY_NOW))
        return CPropertySheet::OnCommand(wParam, lParam);
    // A disabled button does nothing, however the command came.
    if (HWND hButton = ::GetDlgItem(m_hWnd, int(nID)); hButton != NULL && !::IsWindowEnabled(hButton))
        return TRUE;
    CommitPages(nID == IDOK);
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
