#pragma once
// The Design Wizard: a three-page wizard sheet. Page 1 chooses the project
// kind, page 2 edits the design's text, page 3 lists pre-made designs. The
// sheet does not own its pages' outside data: page 2 edits the caller's
// text through a pointer that must outlive the sheet.
//
// After DoModal: m_nChosenKind is the kind picked on page 1 when the wizard
// was finished, 6 when it was cancelled; m_nChosenValue is the way the
// design starts (1 blank, 0 from the pre-made design m_nChosenPremade).

#include "resources/assist.h"
#include "assist/PremadeDesigns.h"
#include "controls/PictureButton.h"
#include "platform/framework/Controls.h"
#include "platform/framework/PropertySheet.h"


class CGetStartedWizard;

// Page 1: the project kind.
class CGetStart1 : public CPropertyPage {
public:
    CGetStart1();
    int m_nKind = 0; // 0..5

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    // Opens the kit list, which chooses the kits the design index reads.
    afx_msg void OnDesignKits();
    DECLARE_MESSAGE_MAP()

private:
    CListBox m_wndKinds;
};

// Page 2: the design's text. pText may be NULL (nothing to edit).
class CGetStart2 : public CPropertyPage {
public:
    explicit CGetStart2(CString* pText = nullptr);
    void SetText(CString* pText) { m_pText = pText; }

    CString* m_pText;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnSetActive() override;
};

// Page 3: the pre-made designs; the picked one is m_nSelected (-1 none).
class CGetStart3 : public CPropertyPage {
public:
    CGetStart3();
    // Adds an item of the given kind; the text is its name (and path).
    void AddItem(WORD wKind, LPCTSTR lpszText);
    void AddItem(const PremadeDesign& design);
    int GetItemCount() const { return static_cast<int>(m_items.size()); }
    const PremadeDesign& GetItem(int n) const { return m_items[static_cast<size_t>(n)]; }

    int m_nSelected = -1;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnWizardFinish() override;

private:
    void FillList();
    PremadeDesignList m_items;
    CListBox m_wndList;
};

class CGetStartedWizard : public CPropertySheet {
public:
    // nIDCaption: the sheet's caption string (IDS_DESIGN_WIZARD_CAPTION).
    explicit CGetStartedWizard(UINT nIDCaption, CWnd* pParent = NULL);
    ~CGetStartedWizard() override;

    // The kind page 1 starts on (6 or out of range: the first kind) and the
    // second start option (1 blank, 0 pre-designed), which is kept as given.
    void SetStartOptions(int nStartKind, int nOption);

    INT_PTR DoModal() override;

    CGetStart1 m_page1;
    CGetStart2 m_page2;
    CGetStart3 m_page3;

    // Set by the caller before DoModal. The two selection values and the
    // third start option are kept as given; these pages do not read them.
    int m_nSelection1 = 0;
    int m_nSelection2 = 0;
    CString m_strPresetText;            // the design's text when page 2 has none of its own
    PremadeDesignList m_premadeDesigns; // moved to page 3 when the sheet runs
    int m_nStartOption3 = 0;

    // Read after DoModal.
    int m_nChosenKind = 6;
    int m_nChosenValue = 1;
    int m_nChosenPremade = -1;
    CString m_strChosenPath; // the picked pre-made design's file, when any

    int m_nStartKind = 6;
    int m_nStartOption = 1;

private:
    CString m_strText; // page 2's text when the caller gave none
};
