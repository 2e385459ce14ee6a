#pragma once
// The Page Setup property sheet and its three pages: Style (project kind),
// Size (paper and orientation) and Format (label size). The pages edit the
// sheet's one choice; RunPageSetup (print/PageSetup.h) runs the sheet and
// turns the choice into a page-layout record. The sheet owns its pages.

#include "platform/framework/PropertySheet.h"
#include "print/PageSetup.h"

class CPageSetupSheet;

class CPageStylePage : public CPropertyPage {
public:
    CPageStylePage();
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    CPageSetupSheet* Sheet() const;
};

class CPageSizePage : public CPropertyPage {
public:
    CPageSizePage();
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    void DoDataExchange(CDataExchange* pDX) override;

protected:
    afx_msg void OnChoiceClicked();
    DECLARE_MESSAGE_MAP()

private:
    CPageSetupSheet* Sheet() const;
    void ShowKindRules();
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
