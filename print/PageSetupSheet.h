#pragma once
// The Page Setup property sheet and its three pages: Style (project kind),
// Size (paper and orientation) and Format (label size). The pages edit the
// sheet's one choice; RunPageSetup (print/PageSetup.h) runs the sheet and
// turns the choice into a page-layout record. The sheet owns its pages, and
// each page the choice grids it shows its choices in; a double click on a
// cell confirms the sheet.

#include "platform/framework/PropertySheet.h"
#include "print/PageSetup.h"

#include <memory>

class CChoiceGrid;
class CPageSetupSheet;

// The numbers of the pages' choice grids: a grid's control id is
// CChoiceGrid::kFirstControlId plus its number. Cells are in kind, paper
// (Letter, A4) and orientation (portrait, landscape) order.
constexpr int kKindGridNumber = 0;
constexpr int kPaperGridNumber = 1;
constexpr int kOrientationGridNumber = 2;

class CPageStylePage : public CPropertyPage {
public:
    CPageStylePage();
    ~CPageStylePage() override;
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

protected:
    afx_msg void OnGridConfirm();
    DECLARE_MESSAGE_MAP()

private:
    CPageSetupSheet* Sheet() const;

    std::unique_ptr<CChoiceGrid> m_pKinds;
};

class CPageSizePage : public CPropertyPage {
public:
    CPageSizePage();
    ~CPageSizePage() override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    void DoDataExchange(CDataExchange* pDX) override;

protected:
    afx_msg void OnGridConfirm();
    DECLARE_MESSAGE_MAP()

private:
    CPageSetupSheet* Sheet() const;
    void OnChoiceMade();
    void ShowKindRules();

    std::unique_ptr<CChoiceGrid> m_pPapers;
    std::unique_ptr<CChoiceGrid> m_pOrientations;
};

class CPageFormatPage : public CPropertyPage {
public:
    CPageFormatPage();
    BOOL OnSetActive() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    CPageSetupSheet* Sheet() const;
    void ShowKindRules();
};

class CPageSetupSheet : public CPropertySheet {
public:
    // bKindFixed: the design exists, so its kind cannot change.
    CPageSetupSheet(const PageSetupChoice& choice, BOOL bKindFixed, CWnd* pParent);

    PageSetupChoice m_choice;
    PageMargins m_margins;
    BOOL m_bKindFixed;

    CPageStylePage m_pageStyle;
    CPageSizePage m_pageSize;
    CPageFormatPage m_pageFormat;
};

// "Design size: 8.50 x 11.00 in" for the choice.
CString DescribeDesignSize(const PageSetupChoice& choice, const PageMargins& margins);
