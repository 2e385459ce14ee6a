#pragma once
// CRulerSetupSheet: "Ruler Setup", the sheet that edits a design's grid,
// guidelines and ruler units. Pages: Grid, Guidelines, Units. It works on
// the document's flag word and grid spacing and on the current view's two
// guideline arrays; the pages hold working copies, and nothing reaches the
// document until OK or Apply. RunRulerSetup is the usual way in.

#include "controls/PictureButton.h"
#include "platform/base/Arrays.h"
#include "platform/framework/Afx.h"
#include "platform/framework/PropertySheet.h"

class CDrawDoc;
class CSurface;
class CRulerSetupSheet;

// Grid spacings are kept in thousandths of an inch.
namespace rulersetup {
// The spacing choice (0-3) shown for a stored spacing.
int SpacingChoice(long nSpacing);
// The stored spacing of a choice (0-3, others clamped) in either unit.
long SpacingFromChoice(int nChoice, BOOL bMetric);
// A guideline position (thousandths of an inch) as the list shows it:
// "1.00" inches or "2.54" cm for 1000, '.' whatever the locale.
CString FormatPosition(DWORD dwPosition, BOOL bMetric);
// Reads a typed position against a page extent (hundredths of an inch).
// Empty text: kEmpty. A number, not negative and not beyond the page:
// kValid with *pdwPosition in thousandths of an inch. Anything else:
// kInvalid. '.' is the decimal point whatever the locale.
enum ParseResult { kEmpty, kValid, kInvalid };
ParseResult ParsePosition(LPCTSTR lpszText, BOOL bMetric, long nPageExtent, DWORD* pdwPosition);
} // namespace rulersetup

class CGridPage : public CPropertyPage {
public:
    explicit CGridPage(CRulerSetupSheet* pSheet);

    int m_nSpacing = 0; // choice 0-3
    BOOL m_bShow = FALSE;
    BOOL m_bSnapTo = FALSE;

    BOOL OnSetActive() override;

protected:
    CRulerSetupSheet* m_pRulerSheet;

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
};

class CGuidelinesPage : public CPropertyPage {
public:
    explicit CGuidelinesPage(CRulerSetupSheet* pSheet);

    BOOL m_bMetric = FALSE;   // the units the list was last filled in
    CSize m_sizePage;         // hundredths of an inch
    BOOL m_bSnapTo = FALSE;
    BOOL m_bShow = FALSE;
    int m_nDirection = 0;     // 0 horizontal guidelines, 1 vertical
    CDWordArray m_guidelines[2];

    BOOL OnSetActive() override;
    BOOL OnKillActive() override;

    // Adds the position typed in the edit to the current direction. TRUE
    // when it was empty or valid; FALSE after telling the user.
    BOOL AddTypedPosition();

protected:
    CRulerSetupSheet* m_pRulerSheet;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    void FillList();
    void UpdateButtons();
    void OnDirection(int nDirection);
    void OnClear();
    void OnClearAll();
    void FocusEdit();
};

class CUnitsPage : public CPropertyPage {
public:
    explicit CUnitsPage(CRulerSetupSheet* pSheet);

    int m_nUnits = 0; // 0 inches, 1 centimetres

protected:
    CRulerSetupSheet* m_pRulerSheet;

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
};

class CRulerSetupSheet : public CPropertySheet {
public:
    enum Page { PageGrid = 0, PageGuidelines = 1, PageUnits = 2 };

    // pView: the view whose guidelines are edited (its document is the
    // one changed). Neither may be NULL.
    CRulerSetupSheet(CDrawDoc* pDoc, CSurface* pView, CWnd* pParentWnd, UINT iSelectPage);

    CDrawDoc* GetDoc() const { return m_pDoc; }
    CSurface* GetView() const { return m_pView; }
    BOOL m_bMetric = FALSE;

    // Takes every page's values (when the active page lets itself be left)
    // and writes them to the document and view. FALSE when refused.
    BOOL ApplyChanges();

    BOOL OnInitDialog() override;

    CGridPage m_pageGrid;
    CGuidelinesPage m_pageGuidelines;
    CUnitsPage m_pageUnits;

protected:
    CDrawDoc* m_pDoc;
    CSurface* m_pView;
    C3DPicTrickBtn m_btnOK;
    C3DPicTrickBtn m_btnCancel;
    C3DPicTrickBtn m_btnApply;
    C3DPicTrickBtn m_btnHelp;

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void WriteToDocument();
};

// Runs Ruler Setup on pView's design, opening page nStartPage (0 Grid,
// 1 Guidelines, 2 Units; others give 0). IDOK or IDCANCEL; IDCANCEL at
// once when pView has no design.
INT_PTR RunRulerSetup(CWnd* pParent, CSurface* pView, int nStartPage);
