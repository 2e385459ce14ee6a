#pragma once
// CCustBtnWizPage: a page of a CCustBtnSheet. Esc cancels the wizard and
// Enter presses the focused button, or Next, except in a multi-line field
// that takes Return itself. The Finish command (170) that the sheet hands
// to the active page ends the wizard the standard way (OnWizardFinish, then
// ID_WIZFINISH) unless the concrete page maps 170 itself.

#include "controls/WizPage.h"

class CCustBtnWizPage : public CWizPage {
    DECLARE_DYNAMIC(CCustBtnWizPage)
public:
    CCustBtnWizPage(UINT nIDTemplate, UINT nIDCaption = 0);

    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    LRESULT OnWizardBack() override;
    LRESULT OnWizardNext() override;
    BOOL OnWizardFinish() override;

    // The command an Enter or Esc on the focused window becomes (0: none,
    // the key goes on to the dialog manager); shared with tests.
    static UINT KeyCommand(UINT nKey, HWND hFocus);

protected:
    afx_msg void OnFinishCommand();
    DECLARE_MESSAGE_MAP()
};
