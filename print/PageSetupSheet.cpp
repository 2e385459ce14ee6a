#include "print/PageSetupSheet.h"

#include "model/DocQuickInfo.h"
#include "platform/framework/DataExchange.h"
#include "resources/resource.h"

#include <algorithm>

namespace {

constexpr int kLabelKind = 4;
constexpr int kMousePadKind = 2;
constexpr int kShirtKind = 0;

// Label sizes are edited in inches with two decimals.
double ToInches(LONG hundredths)
{
    return double(hundredths) / 100.0;
}

LONG ToHundredths(double inches)
{
    return LONG(inches * 100.0 + 0.5);
}

void EnableDlgItem(CWnd* pWnd, int nID, BOOL bEnable)
{
    if (CWnd* pItem = pWnd->GetDlgItem(nID))
        pItem->EnableWindow(bEnable);
}

} // namespace

CString DescribeDesignSize(const PageSetupChoice& choice, const PageMargins& margins)
{
    DocQuickInfo info;
    InitDocQuickInfo(info);
    ApplyPageLayout(info, choice, margins);
    CString text;
    text.Format("Design size: %.2f x %.2f in", ToInches(info[DocQuickInfo::CardWidth]),
        ToInches(info[DocQuickInfo::CardHeight]));
    return text;
}

// ---- Style --------------------------------------------------------------------------------------

CPageStylePage::CPageStylePage()
    : CPropertyPage(UINT(IDD_PAGE_STYLE))
{
}

CPageSetupSheet* CPageStylePage::Sheet() const
{
    return static_cast<CPageSetupSheet*>(GetSheet());
}

BOOL CPageStylePage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    if (Sheet()->m_bKindFixed) {
        for (int nID = IDC_PS_KIND_SHIRT; nID <= IDC_PS_KIND_GENERAL; ++nID)
            EnableDlgItem(this, nID, FALSE);
    }
    return TRUE;
}

void CPageStylePage::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    // The buttons are in kind order.
    int nKind = Sheet()->m_choice.nKind;
    DDX_Radio(pDX, IDC_PS_KIND_SHIRT, nKind);
    if (nKind >= 0 && nKind <= 5)
        Sheet()->m_choice.nKind = nKind;
}

// ---- Size ---------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CPageSizePage, CPropertyPage)
    ON_BN_CLICKED(IDC_PS_PAPER_LETTER, OnChoiceClicked)
    ON_BN_CLICKED(IDC_PS_PAPER_A4, OnChoiceClicked)
    ON_BN_CLICKED(IDC_PS_PORTRAIT, OnChoiceClicked)
    ON_BN_CLICKED(IDC_PS_LANDSCAPE, OnChoiceClicked)
END_MESSAGE_MAP()

CPageSizePage::CPageSizePage()
    : CPropertyPage(UINT(IDD_PAGE_SIZE))
{
}

CPageSetupSheet* CPageSizePage::Sheet() const
{
    return static_cast<CPageSetupSheet*>(GetSheet());
}

BOOL CPageSizePage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    ShowKindRules();
    return TRUE;
}

BOOL CPageSizePage::OnSetActive()
{
    BOOL bResult = CPropertyPage::OnSetActive();
    ShowKindRules();
    return bResult;
}

void CPageSizePage::ShowKindRules()
{
    // A mouse pad is always laid out across a landscape sheet.
    BOOL bFree = Sheet()->m_choice.nKind != kMousePadKind;
    if (!bFree) {
        Sheet()->m_choice.bLandscape = TRUE;
        CheckRadioButton(IDC_PS_PORTRAIT, IDC_PS_LANDSCAPE, IDC_PS_LANDSCAPE);
    }
    EnableDlgItem(this, IDC_PS_PORTRAIT, bFree);
    EnableDlgItem(this, IDC_PS_LANDSCAPE, bFree);
    SetDlgItemText(IDC_PS_DESIGN_SIZE, DescribeDesignSize(Sheet()->m_choice, Sheet()->m_margins));
}

void CPageSizePage::OnChoiceClicked()
{
    UpdateData(TRUE);
    ShowKindRules();
}

void CPageSizePage::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    PageSetupChoice& choice = Sheet()->m_choice;
    int nPaper = choice.paper == PaperSize::A4 ? 1 : 0;
    int nOrientation = choice.bLandscape ? 1 : 0;
    DDX_Radio(pDX, IDC_PS_PAPER_LETTER, nPaper);
    DDX_Radio(pDX, IDC_PS_PORTRAIT, nOrientation);
    choice.paper = nPaper == 1 ? PaperSize::A4 : PaperSize::Letter;
    choice.bLandscape = nOrientation == 1 || choice.nKind == kMousePadKind;
}

// ---- Format -------------------------------------------------------------------------------------

CPageFormatPage::CPageFormatPage()
    : CPropertyPage(UINT(IDD_PAGE_FORMAT))
{
}

CPageSetupSheet* CPageFormatPage::Sheet() const
{
    return static_cast<CPageSetupSheet*>(GetSheet());
}

BOOL CPageFormatPage::OnSetActive()
{
    BOOL bResult = CPropertyPage::OnSetActive();
    ShowKindRules();
    return bResult;
}

void CPageFormatPage::ShowKindRules()
{
    BOOL bLabels = Sheet()->m_choice.nKind == kLabelKind;
    EnableDlgItem(this, IDC_PS_CARD_WIDTH, bLabels);
    EnableDlgItem(this, IDC_PS_CARD_HEIGHT, bLabels);
    CString note;
    switch (Sheet()->m_choice.nKind) {
    case kLabelKind:
        note = "Labels of this size are laid out in rows across the sheet, centred.";
        break;
    case kMousePadKind:
        // The pad has a size of its own, whatever the paper.
        note.Format("The label size applies to label sheets only. A mouse pad is %.2f x %.2f in, centred on the paper.",
            ToInches(kMousePadWidth), ToInches(kMousePadHeight));
        break;
    case kShirtKind:
        note = "The label size applies to label sheets only. A transfer covers as much of the paper as the printer reaches.";
        break;
    default:
        note = "The label size applies to label sheets only. This project takes its size from the paper.";
        break;
    }
    SetDlgItemText(IDC_PS_FORMAT_NOTE, note);
}

void CPageFormatPage::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    PageSetupChoice& choice = Sheet()->m_choice;
    double width = ToInches(choice.nCardWidth);
    double height = ToInches(choice.nCardHeight);
    DDX_Text(pDX, IDC_PS_CARD_WIDTH, width);
    DDX_Text(pDX, IDC_PS_CARD_HEIGHT, height);
    if (!pDX->m_bSaveAndValidate || choice.nKind != kLabelKind)
        return;
    // A label must fit on the sheet in either orientation's width.
    DocQuickInfo info;
    InitDocQuickInfo(info);
    PageSetupChoice sheet = choice;
    sheet.nKind = 5;
    ApplyPageLayout(info, sheet, PageMargins{0, 0, 0, 0});
    double minSide = ToInches(kMinLabelSide);
    pDX->PrepareEditCtrl(IDC_PS_CARD_WIDTH);
    DDV_MinMaxDouble(pDX, width, minSide, ToInches(info[DocQuickInfo::SheetWidth]));
    pDX->PrepareEditCtrl(IDC_PS_CARD_HEIGHT);
    DDV_MinMaxDouble(pDX, height, minSide, ToInches(info[DocQuickInfo::SheetHeight]));
    choice.nCardWidth = ToHundredths(width);
    choice.nCardHeight = ToHundredths(height);
}

// ---- Sheet --------------------------------------------------------------------------------------

CPageSetupSheet::CPageSetupSheet(const PageSetupChoice& choice, BOOL bKindFixed, CWnd* pParent)
    : CPropertySheet(UINT(IDS_PAGE_SETUP_CAPTION), pParent)
    , m_choice(choice)
    , m_margins(DefaultPrinterMargins())
    , m_bKindFixed(bKindFixed)
{
    m_psh.dwFlags |= PSH_NOAPPLYNOW;
    AddPage(&m_pageStyle);
    AddPage(&m_pageSize);
    AddPage(&m_pageFormat);
}
