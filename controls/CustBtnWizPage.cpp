#include "controls/CustBtnWizPage.h"

#include "controls/CustBtnSheet.h"
#include "platform/framework/WinApp.h"

IMPLEMENT_DYNAMIC(CCustBtnWizPage, CWizPage)

BEGIN_MESSAGE_MAP(CCustBtnWizPage, CWizPage)
    ON_COMMAND(CCustBtnSheet::kFinishId, OnFinishCommand)
END_MESSAGE_MAP()

namespace {

// The 3-D look for list boxes, edit fields and combo boxes, not buttons or
// static controls.
constexpr WORD kCtl3dMask = 0xFFCE;

} // namespace

CCustBtnWizPage::CCustBtnWizPage(UINT nIDTemplate, UINT nIDCaption)
    : CWizPage(nIDTemplate, nIDCaption)
{
}

UINT CCustBtnWizPage::KeyCommand(UINT nKey, HWND hFocus)
{
    if (nKey == VK_ESCAPE)
        return CCustBtnSheet::kCancelId;
    if (nKey != VK_RETURN || !hFocus)
        return 0;
    if (CWizSheet::IsWindowOfClass(hFocus, "button"))
        return UINT(::GetDlgCtrlID(hFocus));
    if (CWizSheet::IsWindowOfClass(hFocus, "edit") && (::GetWindowLong(hFocus, GWL_STYLE) & ES_WANTRETURN))
        return 0;
    return CCustBtnSheet::kNextId;
}

BOOL CCustBtnWizPage::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_ESCAPE || pMsg->wParam == VK_RETURN)) {
        UINT nCommand = KeyCommand(UINT(pMsg->wParam), ::GetFocus());
        CWnd* pSheet = GetParent();
        if (nCommand != 0 && pSheet) {
            pSheet->PostMessage(WM_COMMAND, WPARAM(nCommand), 0);
            // The sheet's dialog manager would act on the same key again
            // (Cancel, or the default button).
            return TRUE;
        }
    }
    return CWizPage::PreTranslateMessage(pMsg);
}

BOOL CCustBtnWizPage::OnInitDialog()
{
    CWizPage::OnInitDialog();
    Ctl3dSubclassDlg(m_hWnd, kCtl3dMask);
    return TRUE;
}

BOOL CCustBtnWizPage::OnSetActive()
{
    return CWizPage::OnSetActive();
}

BOOL CCustBtnWizPage::OnKillActive()
{
    return CWizPage::OnKillActive();
}

LRESULT CCustBtnWizPage::OnWizardBack()
{
    return 0;
}

LRESULT CCustBtnWizPage::OnWizardNext()
{
    return 0;
}

BOOL CCustBtnWizPage::OnWizardFinish()
{
    return TRUE;
}

void CCustBtnWizPage::OnFinishCommand()
{
    if (CPropertySheet* pSheet = GetSheet())
        pSheet->PressButton(PSBTN_FINISH);
}
