#pragma once
// CPrefPage2: the "Preferences" page of the Preferences sheet, ten choices
// of how objects are sized, moved and inserted, sounds and the start-up
// launcher, each one bit of the preferences' option words. The page reads
// the bits when it is made and writes them back on OK and Apply; the sheet
// saves the store.

#include "platform/framework/PropertySheet.h"

class CPrefPage2 : public CPropertyPage {
public:
    CPrefPage2();

    // 0 from the edges, 1 from the centre.
    int m_nResize = 0;
    int m_bResetTool = 0;
    // 0 filled, 1 as an outline.
    int m_nMove = 0;
    int m_bSizingCursors = 0;
    int m_bSounds = 0;
    int m_bMultiPreview = 0;
    int m_bShowLauncher = 0;
    int m_bAutoAdjustMargins = 0;
    int m_bProportional = 0;
    // 0 from the Picture Gallery, 1 from another location.
    int m_nInsert = 0;

    // The multiple picture preview needs more than 16 colours and a
    // processor the profile does not call a 386.
    static BOOL CanShowMultiplePreview();

    void OnOK() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    afx_msg void OnChoiceChanged();
    DECLARE_MESSAGE_MAP()
};
