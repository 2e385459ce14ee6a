#pragma once
// CPrefPage1: the "Defaults" page of the Preferences sheet: the design and
// picture folders (typed or picked in the folder tree), the grid and its
// units, and the surface background, a colour or a picture file.
//
// The page reads the store when it is made and writes it back on OK and
// Apply, putting the background in place and repainting the views; the
// colour button writes BkgClr at once, and Cancel takes that back. Folders
// must exist and a chosen background picture must be there before the page
// lets the sheet go: otherwise it says so and puts the focus on the field.

#include "controls/ColorButton.h"
#include "platform/base/String.h"
#include "platform/framework/PropertySheet.h"

class CPrefPage1 : public CPropertyPage {
public:
    // Bit 0 of m_wChanged: a change of units marks the page modified.
    static constexpr WORD kMarkChanges = 0x0001;
    // Grid choices: none, then the four sizes.
    static constexpr int kGridNone = 0;
    static constexpr int kGridChoiceCount = 5;
    // Units and background choices.
    static constexpr int kUnitsInches = 0;
    static constexpr int kUnitsCentimetres = 1;
    static constexpr int kBackgroundPicture = 0;
    static constexpr int kBackgroundColor = 1;
    // The longest path the fields take.
    static constexpr int kMaxPath = 255;

    CPrefPage1();

    CColorButton m_btnColor;
    CString m_strPictureFolder;
    CString m_strBackgroundFile;
    CString m_strDesignFolder;
    int m_nGrid = kGridNone;
    int m_nUnits = kUnitsInches;
    int m_nBackground = kBackgroundColor;
    WORD m_wChanged = kMarkChanges;

    // The grid choice that option word wFlags and a spacing (thousandths of
    // an inch) show, and the spacing a choice stores in the units.
    static int GridChoiceFor(WORD wFlags, int nSpacing);
    static int GridSpacingFor(int nChoice, int nUnits);
    // A typed folder as the page keeps it: a drive root as it is, else
    // without a trailing backslash; an existing folder as its full path.
    static CString NormalizeFolder(const CString& strFolder);

    BOOL OnSetActive() override;
    void OnOK() override;
    void OnReset() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    afx_msg void OnUnitsChanged();
    afx_msg void OnChooseColorBackground();
    afx_msg void OnChoosePictureBackground();
    afx_msg void OnPickColor();
    afx_msg void OnBrowseBackground();
    afx_msg void OnBrowseDesignFolder();
    afx_msg void OnBrowsePictureFolder();
    afx_msg void SetPropertyPageModified();
    DECLARE_MESSAGE_MAP()

private:
    void SetGridLabels();
    void EnableBackgroundControls();
    void BrowseFolder(int nEditId);

    // BkgClr as it was before the colour button wrote it: Cancel puts it
    // back.
    COLORREF m_crCommitted;
    // While the page puts its own values into the controls, their change
    // notices are not the user's.
    BOOL m_bLoading = FALSE;
};
