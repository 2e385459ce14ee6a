#include "controls/WizSheet.h"

#include "controls/PicButton.h"
#include "platform/base/CharClass.h"

IMPLEMENT_DYNAMIC(CWizSheet, CPropertySheet)

BEGIN_MESSAGE_MAP(CWizSheet, CPropertySheet)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_MESSAGE(PSM_SETWIZBUTTONS, OnSetWizButtons)
END_MESSAGE_MAP()

namespace {

// Enables or disables, then shows or hides one of the sheet's buttons; a
// button that loses its enabled state with the focus hands the focus on
// first, so that the keyboard is never left on a dead control.
void ShowSheetButton(CWnd* pSheet, UINT nID, BOOL bShow, BOOL bEnable)
{
    HWND hButton = ::GetDlgItem(pSheet->m_hWnd, int(nID));
    if (!hButton)
        return;
    if ((!bEnable || !bShow) && ::GetFocus() == hButton) {
        HWND hNext = ::GetNextDlgTabItem(pSheet->m_hWnd, hButton, FALSE);
        if (hNext && hNext != hButton)
            ::SendMessage(pSheet->m_hWnd, WM_NEXTDLGCTL, WPARAM(hNext), TRUE);
    }
    // The kit's picture buttons (those of a custom-button sheet) enable
    // themselves.
    if (auto* pPicture = dynamic_cast<CPicButton*>(CWnd::FromHandlePermanent(hButton)))
        bEnable ? pPicture->CWndEnableSelf() : pPicture->CWndDisableSelf();
    else
        ::EnableWindow(hButton, bEnable);
    ::ShowWindow(hButton, bShow ? SW_SHOW : SW_HIDE);
}

} // namespace

CWizSheet::CWizSheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
    : CPropertySheet(nIDCaption, pParentWnd, iSelectPage)
{
    m_psh.dwFlags |= PSH_WIZARD;
}

void CWizSheet::GetWizardButtonIds(UINT& nBack, UINT& nNext, UINT& nFinish, UINT& nExtra, UINT& nCancel) const
{
    nBack = ID_WIZBACK;
    nNext = ID_WIZNEXT;
    nFinish = ID_WIZFINISH;
    nExtra = 0;
    nCancel = IDCANCEL;
}

void CWizSheet::SetWizardButtons(DWORD dwFlags)
{
    m_dwWizardFlags = dwFlags;
    // With a window the message comes back through OnSetWizButtons, which
    // updates the buttons; before it the flags wait for OnInitDialog.
    CPropertySheet::SetWizardButtons(dwFlags);
}

LRESULT CWizSheet::OnSetWizButtons(WPARAM, LPARAM lParam)
{
    m_dwWizardFlags = DWORD(lParam);
    LRESULT result = Default();
    UpdateWizardButtons();
    return result;
}

void CWizSheet::UpdateWizardButtons()
{
    if (!m_hWnd)
        return;
    UINT nBack = 0, nNext = 0, nFinish = 0, nExtra = 0, nCancel = 0;
    GetWizardButtonIds(nBack, nNext, nFinish, nExtra, nCancel);
    struct Rule {
        UINT nID;
        DWORD dwEnable;
        DWORD dwShow;
    };
    const Rule rules[] = {
        {nBack, PSWIZB_BACK, kShowDisabledBack},
        {nNext, PSWIZB_NEXT, kShowDisabledNext},
        {nFinish, PSWIZB_FINISH, PSWIZB_DISABLEDFINISH},
    };
    for (const Rule& rule : rules) {
        BOOL bEnable = (m_dwWizardFlags & rule.dwEnable) != 0;
        BOOL bShow = bEnable || (m_dwWizardFlags & rule.dwShow) != 0;
        ShowSheetButton(this, rule.nID, bShow, bEnable);
    }
}

BOOL CWizSheet::IsWindowOfClass(HWND hWnd, LPCTSTR lpszClass)
{
    char name[25] = {};
    if (!hWnd || ::GetClassName(hWnd, name, int(sizeof name)) <= 0)
        return FALSE;
    return ::lstrcmpi(name, lpszClass) == 0;
}

BOOL CWizSheet::PressFocusedButton(const MSG* pMsg)
{
    if (pMsg->message != WM_KEYDOWN || pMsg->wParam != VK_RETURN)
        return FALSE;
    HWND hFocus = ::GetFocus();
    if (!IsWindowOfClass(hFocus, "button"))
        return FALSE;
    int nID = ::GetDlgCtrlID(hFocus);
    if (nID == 0)
        return FALSE;
    PostMessage(WM_COMMAND, WPARAM(nID), 0);
    return TRUE;
}

BOOL CWizSheet::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (CPropertySheet::OnCommand(wParam, lParam))
        return TRUE;
    if (lParam != 0 || !m_hWnd)
        return FALSE;
    CPropertyPage* pPage = GetActivePage();
    HWND hPage = pPage ? pPage->GetSafeHwnd() : NULL;
    UINT nID = LOWORD(wParam);
    HWND hButton = hPage ? ::GetDlgItem(hPage, int(nID)) : NULL;
    if (!hButton || !IsWindowOfClass(hButton, "button") || !::IsWindowEnabled(hButton))
        return FALSE;
    ::SendMessage(hPage, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), LPARAM(hButton));
    return TRUE;
}

BOOL CWizSheet::PreTranslateMessage(MSG* pMsg)
{
    // The dialog manager would press the default button for the same Enter
    // (owner-drawn buttons are never the default), so the Enter that pressed
    // the focused button goes no further.
    if (PressFocusedButton(pMsg))
        return TRUE;
    return CPropertySheet::PreTranslateMessage(pMsg);
}
