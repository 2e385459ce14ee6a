#pragma once
// CWizPage: the base of the program's wizard pages. It adds nothing to a
// property page but a place for the wizards' own keyboard rules in the
// classes built on it (CCustBtnWizPage).

#include "platform/framework/PropertySheet.h"

class CWizPage : public CPropertyPage {
    DECLARE_DYNAMIC(CWizPage)
public:
    CWizPage(UINT nIDTemplate, UINT nIDCaption = 0);

    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
};
