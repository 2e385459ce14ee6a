#include "controls/WizPage.h"

IMPLEMENT_DYNAMIC(CWizPage, CPropertyPage)

CWizPage::CWizPage(UINT nIDTemplate, UINT nIDCaption)
    : CPropertyPage(nIDTemplate, nIDCaption)
{
}

BOOL CWizPage::PreTranslateMessage(MSG* pMsg)
{
    return CPropertyPage::PreTranslateMessage(pMsg);
}

BOOL CWizPage::OnSetActive()
{
    return CPropertyPage::OnSetActive();
}

BOOL CWizPage::OnKillActive()
{
    return CPropertyPage::OnKillActive();
}
