#pragma once
// CCustBtnSheet: a wizard sheet whose Back, Next, Finish, Cancel and extra
// buttons are picture buttons (168 to 172) lined up at the bottom right
// in place of the property sheet's own, which it destroys. The buttons
// follow the wizard-button flags like the standard ones; the extra button
// (171) is left to the concrete wizard's message map.
//
// The sheet owns the five button objects (deleted with it); their windows
// live from OnInitDialog to the sheet's window. When the buttons cannot be
// made the sheet ends at once with IDCANCEL.

#include "controls/WizSheet.h"

class CPicButton;

class CCustBtnSheet : public CWizSheet {
    DECLARE_DYNAMIC(CCustBtnSheet)
public:
    static constexpr UINT kBackId = 168;
    static constexpr UINT kNextId = 169;
    static constexpr UINT kFinishId = 170;
    static constexpr UINT kExtraId = 171;
    static constexpr UINT kCancelId = 172;
    static constexpr int kButtonMargin = 8;

    CCustBtnSheet(UINT nIDCaption, CWnd* pParentWnd = NULL, UINT iSelectPage = 0);
    ~CCustBtnSheet() override;

    void GetWizardButtonIds(UINT& nBack, UINT& nNext, UINT& nFinish, UINT& nExtra, UINT& nCancel) const override;
    BOOL OnInitDialog() override;

    // Lines the buttons up along the bottom right again (after a resize).
    void LayoutCustomButtons();

    // In the order Back, Next, Finish, extra, Cancel; null until made.
    CPicButton* m_pButtons[5] = {};

protected:
    BOOL CreateCustomButtons();
    void DeleteCustomButtons();

    afx_msg void OnBack();
    afx_msg void OnNext();
    afx_msg void OnFinish();
    afx_msg void OnCancelWizard();
    DECLARE_MESSAGE_MAP()
};
