#include "surface/RulerSetupSheet.h"

#include "controls/SheetButtons.h"
#include "model/DrawDoc.h"
#include "resources/prefs.h"
#include "resources/resource.h"
#include "surface/Surface.h"
#include "surface/SurfaceFrame.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace rulersetup {
namespace {

constexpr double kThousandthsPerCm = 393.7007933143675;
constexpr int kSpacingInches[4] = {125, 250, 500, 1000};
constexpr int kSpacingCm[4] = {98, 196, 393, 787};

// Half away from zero, for values already known to be finite and in range.
long long RoundHalfAway(double value)
{
    return static_cast<long long>(value < 0 ? value - 0.5 : value + 0.5);
}

// Ascending, as the list shows the array and removes by list index.
void SortAscending(CDWordArray& array)
{
    const INT_PTR n = array.GetSize();
    if (n > 1)
        std::sort(array.GetData(), array.GetData() + n);
}

} // namespace

int SpacingChoice(long nSpacing)
{
    const long long s = std::llabs(static_cast<long long>(nSpacing));
    if (s < 126)
        return 0;
    if (s < 251)
        return 1;
    if (s > 500)
        return 3;
    return 2;
}

long SpacingFromChoice(int nChoice, BOOL bMetric)
{
    const int i = std::clamp(nChoice, 0, 3);
    return bMetric ? kSpacingCm[i] : kSpacingInches[i];
}

CString FormatPosition(DWORD dwPosition, BOOL bMetric)
{
    const double value = bMetric ? static_cast<double>(RoundHalfAway(dwPosition * 2.54)) * 0.001
                                 : dwPosition * 0.001;
    // to_chars never consults the locale: the point is always '.'.
    char text[48] = {};
    auto result = std::to_chars(text, text + sizeof(text) - 1, value, std::chars_format::fixed, 2);
    *result.ptr = '\0';
    return CString(text);
}

ParseResult ParsePosition(LPCTSTR lpszText, BOOL bMetric, long nPageExtent, DWORD* pdwPosition)
{
    if (lpszText == nullptr || *lpszText == '\0')
        return kEmpty;
    // Like "%lf": leading blanks skipped, trailing text ignored; unlike it,
    // '.' whatever the locale, and nothing that is not a finite number.
    const char* p = lpszText;
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\v' || *p == '\f')
        ++p;
    bool bNegative = false;
    if (*p == '+' || *p == '-') {
        bNegative = *p == '-';
        ++p;
        if (*p == '+' || *p == '-')
            return kInvalid;
    }
    const char* pEnd = p + std::char_traits<char>::length(p);
    double value = 0;
    auto result = std::from_chars(p, pEnd, value, std::chars_format::general);
    if (result.ec != std::errc() || !std::isfinite(value))
        return kInvalid;
    if (bNegative)
        value = -value;
    const double inches = std::max(0L, nPageExtent) * 0.01;
    const double limit = bMetric ? inches * 2.54 + 0.5 : inches;
    if (!(value >= 0) || value > limit)
        return kInvalid;
    // The centimetre limit leaves room for a displayed value typed back;
    // what it lets past the page edge lands on the edge.
    long long thousandths = RoundHalfAway(bMetric ? value * kThousandthsPerCm : value * 1000.0);
    thousandths = std::min<long long>(thousandths, static_cast<long long>(std::max(0L, nPageExtent)) * 10);
    if (pdwPosition != nullptr)
        *pdwPosition = static_cast<DWORD>(thousandths);
    return kValid;
}

} // namespace rulersetup

using namespace rulersetup;

namespace {

bool IsClick(WPARAM wParam, LPARAM lParam)
{
    return lParam != 0 && HIWORD(wParam) == BN_CLICKED;
}

} // namespace

// ---------------------------------------------------------------- Grid page

CGridPage::CGridPage(CRulerSetupSheet* pSheet)
    : CPropertyPage(IDD_RULER_GRID)
    , m_pRulerSheet(pSheet)
{
}

void CGridPage::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_GRID_SHOW, m_bShow);
    DDX_Check(pDX, IDC_GRID_SNAP, m_bSnapTo);
    DDX_Radio(pDX, IDC_GRID_SPACING_0, m_nSpacing);
}

BOOL CGridPage::OnSetActive()
{
    if (!CPropertyPage::OnSetActive())
        return FALSE;
    // The choices are named in the units the sheet has now.
    const UINT nFirst = m_pRulerSheet->m_bMetric ? IDS_GRID_CM_QUARTER : IDS_GRID_INCH_EIGHTH;
    for (int i = 0; i < 4; ++i) {
        CString strText;
        if (strText.LoadString(nFirst + i))
            SetDlgItemText(IDC_GRID_SPACING_0 + i, strText);
    }
    return TRUE;
}

BOOL CGridPage::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (IsClick(wParam, lParam))
        SetModified(TRUE);
    return CPropertyPage::OnCommand(wParam, lParam);
}

// ---------------------------------------------------------- Guidelines page

CGuidelinesPage::CGuidelinesPage(CRulerSetupSheet* pSheet)
    : CPropertyPage(IDD_RULER_GUIDELINES)
    , m_pRulerSheet(pSheet)
{
}

void CGuidelinesPage::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_GUIDE_SHOW, m_bShow);
    DDX_Check(pDX, IDC_GUIDE_SNAP, m_bSnapTo);
    DDX_Radio(pDX, IDC_GUIDE_HORIZONTAL, m_nDirection);
}

BOOL CGuidelinesPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_bMetric = m_pRulerSheet->m_bMetric;
    FillList();
    return TRUE;
}

BOOL CGuidelinesPage::OnSetActive()
{
    if (!CPropertyPage::OnSetActive())
        return FALSE;
    // The units may have changed on the Units page since the last fill.
    m_bMetric = m_pRulerSheet->m_bMetric;
    if (CWnd* pCm = GetDlgItem(IDC_GUIDE_UNIT_CM))
        pCm->ShowWindow(m_bMetric ? SW_SHOW : SW_HIDE);
    if (CWnd* pInches = GetDlgItem(IDC_GUIDE_UNIT_INCHES))
        pInches->ShowWindow(m_bMetric ? SW_HIDE : SW_SHOW);
    FillList();
    UpdateButtons();
    return TRUE;
}

BOOL CGuidelinesPage::OnKillActive()
{
    if (!AddTypedPosition())
        return FALSE;
    return CPropertyPage::OnKillActive();
}

void CGuidelinesPage::FillList()
{
    const int nDir = m_nDirection == 1 ? 1 : 0;
    CDWordArray& array = m_guidelines[nDir];
    SortAscending(array);
    HWND hList = ::GetDlgItem(m_hWnd, IDC_GUIDE_LIST);
    if (hList == NULL)
        return;
    ::SendMessage(hList, LB_RESETCONTENT, 0, 0);
    for (INT_PTR i = 0; i < array.GetSize(); ++i) {
        const CString strText = FormatPosition(array[i], m_bMetric);
        ::SendMessage(hList, LB_ADDSTRING, 0, LPARAM(static_cast<LPCTSTR>(strText)));
    }
}

void CGuidelinesPage::UpdateButtons()
{
    HWND hList = ::GetDlgItem(m_hWnd, IDC_GUIDE_LIST);
    const LRESULT nCount = hList != NULL ? ::SendMessage(hList, LB_GETCOUNT, 0, 0) : 0;
    const LRESULT nCur = hList != NULL ? ::SendMessage(hList, LB_GETCURSEL, 0, 0) : LB_ERR;
    const BOOL bText = ::GetWindowTextLength(::GetDlgItem(m_hWnd, IDC_GUIDE_POSITION)) > 0;
    if (HWND h = ::GetDlgItem(m_hWnd, IDC_GUIDE_SET))
        ::EnableWindow(h, bText);
    if (HWND h = ::GetDlgItem(m_hWnd, IDC_GUIDE_CLEAR))
        ::EnableWindow(h, nCur >= 0 && nCur < nCount);
    if (HWND h = ::GetDlgItem(m_hWnd, IDC_GUIDE_CLEAR_ALL))
        ::EnableWindow(h, nCount > 0);
}

void CGuidelinesPage::FocusEdit()
{
    if (HWND hEdit = ::GetDlgItem(m_hWnd, IDC_GUIDE_POSITION))
        ::SetFocus(hEdit);
}

BOOL CGuidelinesPage::AddTypedPosition()
{
    if (m_hWnd == NULL)
        return TRUE;
    HWND hEdit = ::GetDlgItem(m_hWnd, IDC_GUIDE_POSITION);
    if (hEdit == NULL)
        return TRUE;
    // Far longer than any number worth typing; the rest is ignored anyway.
    char text[64] = {};
    ::GetWindowText(hEdit, text, sizeof(text));
    const int nDir = m_nDirection == 1 ? 1 : 0;
    const long nExtent = nDir == 0 ? m_sizePage.cy : m_sizePage.cx;
    DWORD dwPosition = 0;
    switch (ParsePosition(text, m_bMetric, nExtent, &dwPosition)) {
    case kEmpty:
        return TRUE;
    case kInvalid:
        AfxMessageBox(IDS_GUIDE_INVALID);
        FocusEdit();
        return FALSE;
    case kValid:
        break;
    }
    CDWordArray& array = m_guidelines[nDir];
    bool bPresent = false;
    for (INT_PTR i = 0; i < array.GetSize() && !bPresent; ++i)
        bPresent = array[i] == dwPosition;
    if (!bPresent)
        array.Add(dwPosition);
    FillList();
    ::SetWindowText(hEdit, "");
    CheckDlgButton(IDC_GUIDE_SHOW, BST_CHECKED);
    m_bShow = TRUE;
    FocusEdit();
    UpdateButtons();
    return TRUE;
}

void CGuidelinesPage::OnDirection(int nDirection)
{
    if (nDirection == m_nDirection)
        return;
    if (!AddTypedPosition()) {
        CheckDlgButton(IDC_GUIDE_HORIZONTAL, m_nDirection == 0 ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(IDC_GUIDE_VERTICAL, m_nDirection == 1 ? BST_CHECKED : BST_UNCHECKED);
        return;
    }
    m_nDirection = nDirection;
    FillList();
    UpdateButtons();
}

void CGuidelinesPage::OnClear()
{
    HWND hList = ::GetDlgItem(m_hWnd, IDC_GUIDE_LIST);
    const LRESULT nCur = hList != NULL ? ::SendMessage(hList, LB_GETCURSEL, 0, 0) : LB_ERR;
    CDWordArray& array = m_guidelines[m_nDirection == 1 ? 1 : 0];
    if (nCur < 0 || nCur >= array.GetSize())
        return;
    array.RemoveAt(static_cast<INT_PTR>(nCur));
    FillList();
    SetModified(TRUE);
    FocusEdit();
    UpdateButtons();
}

void CGuidelinesPage::OnClearAll()
{
    SetDlgItemText(IDC_GUIDE_POSITION, "");
    m_guidelines[m_nDirection == 1 ? 1 : 0].RemoveAll();
    FillList();
    SetModified(TRUE);
    FocusEdit();
    UpdateButtons();
}

BOOL CGuidelinesPage::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(wParam);
    const UINT nCode = HIWORD(wParam);
    if (lParam != 0) {
        switch (nID) {
        case IDC_GUIDE_POSITION:
            if (nCode == EN_CHANGE) {
                if (::GetWindowTextLength(::GetDlgItem(m_hWnd, IDC_GUIDE_POSITION)) > 0)
                    SetModified(TRUE);
                UpdateButtons();
                return TRUE;
            }
            break;
        case IDC_GUIDE_LIST:
            if (nCode == LBN_SETFOCUS) {
                HWND hList = HWND(lParam);
                if (::SendMessage(hList, LB_GETCOUNT, 0, 0) > 0 && ::SendMessage(hList, LB_GETCURSEL, 0, 0) < 0)
                    ::SendMessage(hList, LB_SETCURSEL, 0, 0);
                UpdateButtons();
                return TRUE;
            }
            if (nCode == LBN_SELCHANGE) {
                UpdateButtons();
                return TRUE;
            }
            break;
        case IDC_GUIDE_SET:
            if (nCode == BN_CLICKED) {
                AddTypedPosition();
                return TRUE;
            }
            break;
        case IDC_GUIDE_CLEAR:
            if (nCode == BN_CLICKED) {
                OnClear();
                return TRUE;
            }
            break;
        case IDC_GUIDE_CLEAR_ALL:
            if (nCode == BN_CLICKED) {
                OnClearAll();
                return TRUE;
            }
            break;
        case IDC_GUIDE_HORIZONTAL:
        case IDC_GUIDE_VERTICAL:
            if (nCode == BN_CLICKED) {
                OnDirection(nID == IDC_GUIDE_VERTICAL ? 1 : 0);
                return TRUE;
            }
            break;
        case IDC_GUIDE_SHOW:
        case IDC_GUIDE_SNAP:
            // So that Apply can write them, not only OK.
            if (nCode == BN_CLICKED)
                SetModified(TRUE);
            break;
        default:
            break;
        }
    }
    return CPropertyPage::OnCommand(wParam, lParam);
}

// --------------------------------------------------------------- Units page

CUnitsPage::CUnitsPage(CRulerSetupSheet* pSheet)
    : CPropertyPage(IDD_RULER_UNITS)
    , m_pRulerSheet(pSheet)
{
}

void CUnitsPage::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Radio(pDX, IDC_UNITS_INCHES, m_nUnits);
}

BOOL CUnitsPage::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(wParam);
    if (IsClick(wParam, lParam) && (nID == IDC_UNITS_INCHES || nID == IDC_UNITS_CENTIMETERS)) {
        m_pRulerSheet->m_bMetric = IsDlgButtonChecked(IDC_UNITS_CENTIMETERS) == BST_CHECKED;
        SetModified(TRUE);
    }
    return CPropertyPage::OnCommand(wParam, lParam);
}

// -------------------------------------------------------------------- Sheet

CRulerSetupSheet::CRulerSetupSheet(CDrawDoc* pDoc, CSurface* pView, CWnd* pParentWnd, UINT iSelectPage)
    : CPropertySheet(IDS_RULER_SETUP, pParentWnd, iSelectPage <= PageUnits ? iSelectPage : 0)
    , m_pageGrid(this)
    , m_pageGuidelines(this)
    , m_pageUnits(this)
    , m_pDoc(pDoc)
    , m_pView(pView)
{
    const WORD wFlags = pDoc->m_wDocFlags;
    m_bMetric = (wFlags & CSurface::DocMetricRulers) != 0;

    m_pageGrid.m_nSpacing = SpacingChoice(pDoc->GetGridSpacing());
    m_pageGrid.m_bShow = (wFlags & CSurface::DocShowGrid) != 0;
    m_pageGrid.m_bSnapTo = (wFlags & CSurface::DocSnapToGrid) != 0;

    m_pageGuidelines.m_bMetric = m_bMetric;
    m_pageGuidelines.m_sizePage = pView->GetPageSize();
    m_pageGuidelines.m_bSnapTo = (wFlags & CSurface::DocSnapToGuidelines) != 0;
    m_pageGuidelines.m_bShow = (wFlags & CSurface::DocShowGuidelines) != 0;
    m_pageGuidelines.m_guidelines[0].Copy(pView->m_guidelines[0]);
    m_pageGuidelines.m_guidelines[1].Copy(pView->m_guidelines[1]);
    m_pageGuidelines.m_nDirection =
        pView->m_guidelines[0].GetSize() == 0 && pView->m_guidelines[1].GetSize() > 0 ? 1 : 0;

    m_pageUnits.m_nUnits = m_bMetric ? 1 : 0;

    AddPage(&m_pageGrid);
    AddPage(&m_pageGuidelines);
    AddPage(&m_pageUnits);
}

BOOL CRulerSetupSheet::OnInitDialog()
{
    BOOL bResult = CPropertySheet::OnInitDialog();
    SubclassSheetButtons(this, m_btnOK, m_btnCancel, m_btnApply, m_btnHelp);
    return bResult;
}

BOOL CRulerSetupSheet::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const SheetCommand command = ClassifySheetCommand(this, wParam, lParam);
    if (command == SheetCommand::Other)
        return CPropertySheet::OnCommand(wParam, lParam);
    if (command != SheetCommand::Disabled && ApplyChanges() && command == SheetCommand::OK)
        EndDialog(IDOK);
    return TRUE;
}

BOOL CRulerSetupSheet::ApplyChanges()
{
    const HWND hSheet = m_hWnd;
    CPropertyPage* pActive = GetActivePage();
    if (pActive != nullptr && pActive->GetSafeHwnd() != NULL && !pActive->OnKillActive())
        return FALSE;
    if (hSheet != NULL && !::IsWindow(hSheet))
        return FALSE;
    // Pages never shown still hold the values they started with.
    for (int i = 0; i < GetPageCount(); ++i) {
        CPropertyPage* pPage = GetPage(i);
        if (pPage->GetSafeHwnd() == NULL)
            continue;
        if (pPage != pActive && !pPage->UpdateData(TRUE))
            return FALSE;
        pPage->SetModified(FALSE);
    }
    WriteToDocument();
    return TRUE;
}

void CRulerSetupSheet::WriteToDocument()
{
    m_pDoc->SetGridSpacing(static_cast<int>(SpacingFromChoice(m_pageGrid.m_nSpacing, m_bMetric)));

    WORD wFlags = m_pDoc->m_wDocFlags;
    auto setBit = [&wFlags](WORD wBit, BOOL bOn) {
        wFlags = bOn ? WORD(wFlags | wBit) : WORD(wFlags & ~wBit);
    };
    setBit(CSurface::DocShowGrid, m_pageGrid.m_bShow);
    setBit(CSurface::DocSnapToGrid, m_pageGrid.m_bSnapTo);
    setBit(CSurface::DocShowGuidelines, m_pageGuidelines.m_bShow);
    setBit(CSurface::DocSnapToGuidelines, m_pageGuidelines.m_bSnapTo);
    setBit(CSurface::DocMetricRulers, m_bMetric);
    m_pDoc->m_wDocFlags = wFlags;

    for (int i = 0; i < 2; ++i) {
        SortAscending(m_pageGuidelines.m_guidelines[i]);
        m_pView->m_guidelines[i].Copy(m_pageGuidelines.m_guidelines[i]);
    }

    if (m_pView->GetSafeHwnd() != NULL)
        m_pView->Invalidate();
    if (CWnd* pMain = AfxGetMainWnd(); pMain != nullptr && pMain->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
        static_cast<CFrameWnd*>(pMain)->RecalcLayout();
    if (m_pView->GetSafeHwnd() != NULL) {
        CFrameWnd* pFrame = m_pView->GetParentFrame();
        if (pFrame != nullptr && pFrame->IsKindOf(RUNTIME_CLASS(CSurfaceFrame)))
            static_cast<CSurfaceFrame*>(pFrame)->UpdateRulers(TRUE);
    }
    m_pDoc->SetModifiedFlag(TRUE);
}

INT_PTR RunRulerSetup(CWnd* pParent, CSurface* pView, int nStartPage)
{
    if (pView == nullptr)
        return IDCANCEL;
    CDrawDoc* pDoc = pView->GetDocument();
    if (pDoc == nullptr)
        return IDCANCEL;
    const UINT nPage = nStartPage >= 0 && nStartPage <= CRulerSetupSheet::PageUnits ? UINT(nStartPage) : 0;
    CRulerSetupSheet sheet(pDoc, pView, pParent, nPage);
    return sheet.DoModal();
}
