#include "print/PageSetupSheet.h"

#include "controls/ChoiceGrid.h"
#include "model/DocQuickInfo.h"
#include "pictures/MetafilePicture.h"
#include "platform/framework/DataExchange.h"
#include "platform/gdi/Dc.h"
#include "resources/resource.h"

#include <algorithm>
#include <functional>
#include <utility>

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

constexpr int kKindCount = 6;

void EnableDlgItem(CWnd* pWnd, int nID, BOOL bEnable)
{
    if (CWnd* pItem = pWnd->GetDlgItem(nID))
        pItem->EnableWindow(bEnable);
}

// The grids' cells are laid out in the window's own pixels.
class CPixelMapping : public CMappingObject {
public:
    void PrepareDC(CDC* pDC) override { pDC->SetMapMode(MM_TEXT); }
};

// Selects the cell clicked or reached with the arrow keys, and tells the
// page.
class CPageChoiceController : public CChoiceGrid::Controller {
public:
    CPageChoiceController(CChoiceGrid* pGrid, std::function<void()> onChoice)
        : Controller(pGrid)
        , m_onChoice(std::move(onChoice))
    {
    }
    void OnClick(UINT, int nCell) override
    {
        if (nCell < 0)
            return;
        m_pGrid->SetCurSel(nCell, TRUE);
        if (m_onChoice)
            m_onChoice();
    }

private:
    std::function<void()> m_onChoice;
};

// A grid of resources nFirst.. in the place of a placeholder control, which
// it follows in the tab order so that the label before it reaches it.
std::unique_ptr<CChoiceGrid> MakeChoiceGrid(CWnd* pPage, UINT nPlaceholder, int nNumber, UINT nFirst, int nCells,
    int nRows, WORD wFlags, std::function<void()> onChoice)
{
    auto pGrid = std::make_unique<CChoiceGrid>(pPage, nCells, 0, nNumber);
    pGrid->SetFlags(wFlags);
    pGrid->SetController(new CPageChoiceController(pGrid.get(), std::move(onChoice)));
    if (CWnd* pPlaceholder = pPage->GetDlgItem(int(nPlaceholder))) {
        CRect rc;
        pPlaceholder->GetWindowRect(&rc);
        pPage->ScreenToClient(&rc);
        pPlaceholder->ShowWindow(SW_HIDE);
        ::SetWindowPos(pGrid->m_hWnd, pPlaceholder->m_hWnd, rc.left, rc.top, rc.Width(), rc.Height(), 0);
    }
    pGrid->ArrangeCells(nFirst, nFirst + UINT(nCells - 1), nRows, new CPixelMapping, nullptr);
    return pGrid;
}

void SelectCell(CChoiceGrid* pGrid, int nCell)
{
    if (pGrid == nullptr)
        return;
    pGrid->SetCurSel(nCell, TRUE);
    pGrid->SetCurrent(nCell, FALSE);
}

// The sheet's OK: a double click on a cell chooses it and closes the sheet.
void ConfirmSheet(CWnd* pPage)
{
    if (CWnd* pSheet = pPage->GetParent())
        pSheet->PostMessage(WM_COMMAND, IDOK, 0);
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

BEGIN_MESSAGE_MAP(CPageStylePage, CPropertyPage)
    ON_COMMAND(IDOK, OnGridConfirm)
END_MESSAGE_MAP()

CPageStylePage::CPageStylePage()
    : CPropertyPage(UINT(IDD_PAGE_STYLE))
{
}

CPageStylePage::~CPageStylePage() = default;

CPageSetupSheet* CPageStylePage::Sheet() const
{
    return static_cast<CPageSetupSheet*>(GetSheet());
}

BOOL CPageStylePage::OnInitDialog()
{
    m_pKinds = MakeChoiceGrid(this, IDC_PS_KIND_GRID, kKindGridNumber, IDR_PS_KIND_SHIRT, kKindCount, 2,
        CChoiceGrid::kCaptions | CChoiceGrid::kDblClkConfirms, nullptr);
    CPropertyPage::OnInitDialog();
    if (Sheet()->m_bKindFixed)
        m_pKinds->EnableWindow(FALSE);
    return TRUE;
}

void CPageStylePage::OnGridConfirm()
{
    ConfirmSheet(this);
}

void CPageStylePage::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    if (m_pKinds == nullptr)
        return;
    // The cells are in kind order.
    if (!pDX->m_bSaveAndValidate) {
        SelectCell(m_pKinds.get(), Sheet()->m_choice.nKind);
        return;
    }
    const int nKind = m_pKinds->GetCurSel();
    if (nKind >= 0 && nKind < kKindCount)
        Sheet()->m_choice.nKind = nKind;
}

// ---- Size ---------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CPageSizePage, CPropertyPage)
    ON_COMMAND(IDOK, OnGridConfirm)
END_MESSAGE_MAP()

CPageSizePage::CPageSizePage()
    : CPropertyPage(UINT(IDD_PAGE_SIZE))
{
}

CPageSizePage::~CPageSizePage() = default;

CPageSetupSheet* CPageSizePage::Sheet() const
{
    return static_cast<CPageSetupSheet*>(GetSheet());
}

BOOL CPageSizePage::OnInitDialog()
{
    const WORD wFlags = CChoiceGrid::kTextBand | CChoiceGrid::kDblClkConfirms;
    m_pPapers = MakeChoiceGrid(
        this, IDC_PS_PAPER_GRID, kPaperGridNumber, IDR_PS_PAPER_LETTER, 2, 1, wFlags, [this] { OnChoiceMade(); });
    m_pOrientations = MakeChoiceGrid(this, IDC_PS_ORIENTATION_GRID, kOrientationGridNumber, IDR_PS_PORTRAIT, 2, 1,
        wFlags, [this] { OnChoiceMade(); });
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
        SelectCell(m_pOrientations.get(), 1);
    }
    if (m_pOrientations != nullptr)
        m_pOrientations->EnableWindow(bFree);
    SetDlgItemText(IDC_PS_DESIGN_SIZE, DescribeDesignSize(Sheet()->m_choice, Sheet()->m_margins));
}

void CPageSizePage::OnChoiceMade()
{
    UpdateData(TRUE);
    ShowKindRules();
}

void CPageSizePage::OnGridConfirm()
{
    ConfirmSheet(this);
}

void CPageSizePage::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    if (m_pPapers == nullptr || m_pOrientations == nullptr)
        return;
    PageSetupChoice& choice = Sheet()->m_choice;
    if (!pDX->m_bSaveAndValidate) {
        SelectCell(m_pPapers.get(), choice.paper == PaperSize::A4 ? 1 : 0);
        SelectCell(m_pOrientations.get(), choice.bLandscape ? 1 : 0);
        return;
    }
    choice.paper = m_pPapers->GetCurSel() == 1 ? PaperSize::A4 : PaperSize::Letter;
    choice.bLandscape = m_pOrientations->GetCurSel() == 1 || choice.nKind == kMousePadKind;
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
