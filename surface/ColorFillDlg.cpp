#include "surface/ColorFillDlg.h"

#include "app/DcStateSaver.h"
#include "app/GeometryHelpers.h"
#include "app/PrintPrefData.h"
#include "app/main/AppGlobals.h"
#include "controls/GridPicker.h"
#include "controls/HatchStylePopupDlg.h"
#include "controls/LineStylePopupDlg.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"
#include "resources/resource.h"

#include <cstdlib>

namespace {

constexpr int kMaxColors = 4;
constexpr int kDirectionCells = 2;
// Picker cell 1 stands for gradient kind 1, cell 0 for kind 2.
constexpr int kCellKindOne = 1;
constexpr int kCellKindTwo = 0;
constexpr int kPreviewInset = 4;
constexpr int kHatchStyles = 6;

const int kHatchLabels[] = {IDC_CF_HATCH_STYLE_LABEL, IDC_CF_HATCH_LINE_LABEL, IDC_CF_HATCH_FILL_LABEL};
const int kGradientItems[] = {IDC_CF_COLOR_COUNT_LABEL, IDC_CF_COLOR_COUNT, IDC_CF_STEPS_LABEL, IDC_CF_STEPS,
    IDC_CF_COLORS_LABEL, IDC_CF_START_LABEL, IDC_CF_START_COLOR, IDC_CF_END_LABEL, IDC_CF_END_COLOR,
    IDC_CF_DIRECTION_LABEL, IDC_CF_DIRECTION};

BOOL IsSolidStyle(UINT nStyle)
{
    return nStyle == PS_SOLID || nStyle == PS_INSIDEFRAME;
}

// A whole number in the edit, as the framework's exchange reads it (an
// optional sign and digits, blanks around); FALSE for anything else.
BOOL ReadWholeNumber(CWnd* pDlg, int nID, int& nValue)
{
    char text[32] = {};
    ::GetDlgItemText(pDlg->GetSafeHwnd(), nID, text, sizeof text);
    const char* p = text;
    while (*p == ' ' || *p == '\t')
        ++p;
    char* pEnd = nullptr;
    const long n = std::strtol(p, &pEnd, 10);
    if (pEnd == p)
        return FALSE;
    while (*pEnd == ' ' || *pEnd == '\t')
        ++pEnd;
    if (*pEnd != '\0' || n < -1000000 || n > 1000000)
        return FALSE;
    nValue = int(n);
    return TRUE;
}

} // namespace

BEGIN_MESSAGE_MAP(CColorFillDlg, CDialog)
    ON_WM_PAINT()
    ON_CONTROL_RANGE(BN_CLICKED, IDC_CF_NO_FILL, IDC_CF_GRADIENT, OnFillKind)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_CF_LINE_AUTO, IDC_CF_LINE_ON, OnOutlineMode)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_CF_SOLID_COLOR, IDC_CF_SOLID_COLOR, OnColorButton)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_CF_HATCH_LINE_COLOR, IDC_CF_HATCH_FILL_COLOR, OnColorButton)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_CF_START_COLOR, IDC_CF_MID2_COLOR, OnColorButton)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_CF_LINE_COLOR, IDC_CF_LINE_COLOR, OnColorButton)
    ON_BN_CLICKED(IDC_CF_HATCH_STYLE, OnHatchStyle)
    ON_BN_CLICKED(IDC_CF_LINE_STYLE, OnLineStyle)
    ON_BN_CLICKED(IDC_CF_TRANSPARENT, OnTransparent)
    ON_CBN_SELCHANGE(IDC_CF_COLOR_COUNT, OnColorCount)
    ON_CONTROL(CGridPicker::kNotifySelected, IDC_CF_DIRECTION, OnDirection)
    ON_EN_CHANGE(IDC_CF_STEPS, OnNumberTyped)
    ON_EN_CHANGE(IDC_CF_LINE_WIDTH, OnNumberTyped)
    ON_BN_CLICKED(IDC_CF_HELP, OnHelpButton)
END_MESSAGE_MAP()

CColorFillDlg::CColorFillDlg(CWnd* pParent)
    : CDialog(IDD_COLOR_FILL, pParent)
{
    m_logpen.lopnWidth.x = 0;
}

CColorFillDlg::~CColorFillDlg() = default;

// ---- Loading ---------------------------------------------------------------------------------

void CColorFillDlg::SetObject(CObjectAttributes* pAttrs, BOOL bTextGradient, BOOL bRestricted)
{
    m_pAttrs = pAttrs;
    if (pAttrs == nullptr)
        return;
    const CObjectAttributes& attrs = *pAttrs;
    m_bTextGradient = bTextGradient;
    m_bHasText = !attrs.m_strBlockText.IsEmpty() || !attrs.m_strWrapText.IsEmpty();
    m_bHasPicture = attrs.HasPicture();
    m_bIsCalendar = attrs.m_bIsCalendar;
    m_bIsLine = attrs.m_nShape == kLineShape;
    m_bRestricted = bRestricted;
    if (bTextGradient) {
        // The text gradient is drawn over the text, whatever else the
        // object holds.
        m_bHasText = FALSE;
        m_nFillKind = FillGradient;
        m_nDirectionCell = kCellKindOne;
        m_fill.m_nKind = 1;
    }

    m_logbrush = attrs.m_logbrush;
    m_bTransparent = attrs.m_crHatchBackground == -1;
    m_crHatchBack = m_bTransparent ? 0 : COLORREF(attrs.m_crHatchBackground);

    const CFillInfo& source = bTextGradient ? attrs.m_fillText : attrs.m_fill;
    m_fill.m_wMode = source.m_wMode;
    if (m_fill.m_wMode < 2 || m_fill.m_wMode > kMaxColors)
        m_fill.m_wMode = 2;
    m_fill.m_crFirst = source.m_crFirst;
    m_fill.m_crSecond = source.m_crSecond;
    m_fill.m_crThird = source.m_crThird;
    m_fill.m_crFourth = source.m_crFourth;
    if (source.m_nKind != 0 || !bTextGradient) {
        m_fill.m_nKind = source.m_nKind;
        m_fill.m_nAmount = source.m_nKind == 0 ? 100 : source.m_nAmount;
        m_nDirectionCell = source.m_nKind == 2 ? kCellKindTwo : kCellKindOne;
    } else {
        // Opened to give the text a gradient it does not have yet: start on
        // the gradient, not on the object's own brush (whose radios this
        // mode disables).
        m_fill.m_nAmount = 100;
    }
    m_nSteps = m_fill.m_nAmount;

    if (m_fill.m_nKind != 0 || bTextGradient)
        m_nFillKind = FillGradient;
    else if (m_logbrush.lbStyle == BS_HATCHED)
        m_nFillKind = FillHatch;
    else if (attrs.m_bFill)
        m_nFillKind = FillSolid;
    else
        m_nFillKind = FillNone;
    m_bSolidFill = m_nFillKind == FillSolid;

    // A solid outline is stored inside the frame with its width: it loads
    // as solid, with that width.
    m_logpen = attrs.m_logpen;
    m_nOutlineWidth = m_logpen.lopnWidth.x == 0 ? 1 : int(m_logpen.lopnWidth.x);
    m_nLineStyle = IsSolidStyle(m_logpen.lopnStyle) || m_logpen.lopnStyle > PS_DASHDOTDOT
        ? PS_SOLID
        : int(m_logpen.lopnStyle);

    if (m_bIsLine)
        m_nOutlineMode = OutlineOn;
    else if (attrs.m_wFlags & ATTR_FLAG_AUTO_OUTLINE)
        m_nOutlineMode = OutlineAutomatic;
    else
        m_nOutlineMode = attrs.m_bOutline ? OutlineOn : OutlineOff;
}

BOOL CColorFillDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetDlgItemInt(IDC_CF_STEPS, UINT(m_nSteps), TRUE);
    m_comboColors.ResetContent();
    for (const char* psz : {"2", "3", "4"})
        m_comboColors.AddString(psz);
    if (CWnd* pCheck = GetDlgItem(IDC_CF_TEXT_GRADIENT))
        pCheck->ShowWindow(SW_HIDE);

    auto pPicker = new CGridPicker;
    if (pPicker->CreateOverControl(this, IDC_CF_DIRECTION, -1)) {
        m_pDirection = pPicker;
        pPicker->SetupCells(IDB_CF_DIRECTION_FIRST, kDirectionCells, 1, kDirectionCells, TRUE, TRUE);
        pPicker->SetCurSel(m_nDirectionCell, FALSE);
    } else {
        delete pPicker;
    }

    if (CWnd* pPreview = GetDlgItem(IDC_CF_PREVIEW)) {
        pPreview->GetWindowRect(&m_rcPreview);
        ScreenToClient(&m_rcPreview);
    }
    if (m_bIsLine) {
        EnableItem(IDC_CF_LINE_AUTO, FALSE);
        EnableItem(IDC_CF_LINE_OFF, FALSE);
    }
    m_btnHatchLine.m_bNoWhiteHint = TRUE;
    m_btnHatchFill.m_bNoWhiteHint = TRUE;
    m_btnOK.SubclassWithIcon(IDOK, this, IDI_BUTTON_OK);
    m_btnCancel.SubclassWithIcon(IDCANCEL, this, IDI_BUTTON_CANCEL);
    m_btnHelp.SubclassWithIcon(IDC_CF_HELP, this, IDI_BUTTON_HELP);
    UpdateData(FALSE);
    EnableFillControls(m_nFillKind);
    EnableLineControls(m_nOutlineMode);
    m_bInitialized = TRUE;
    return TRUE;
}

// ---- Enabling --------------------------------------------------------------------------------

void CColorFillDlg::EnableItem(int nID, BOOL bEnable)
{
    if (HWND hItem = ::GetDlgItem(m_hWnd, nID))
        ::EnableWindow(hItem, bEnable);
}

BOOL CColorFillDlg::IsFillable() const
{
    return !m_bHasText && !m_bHasPicture && !m_bIsLine;
}

BOOL CColorFillDlg::IsShapedTextFillKept() const
{
    return (thePrintPrefs.Printing & PRINT_PREF_SHAPED_METHOD3) != 0;
}

void CColorFillDlg::EnableFillControls(int nKind)
{
    if (nKind < FillNone || nKind > FillGradient)
        nKind = FillNone;
    ++m_nQuiet;
    const BOOL bFillable = IsFillable();
    BOOL bNoFill = bFillable;
    BOOL bSolid = bFillable;
    BOOL bHatch = bFillable;
    if (IsShapedTextFillKept()) {
        // Text printed by the method that keeps fills may be solid behind.
        if (!bFillable && !(nKind == FillSolid && !m_bHasPicture))
            nKind = FillNone;
        bNoFill = TRUE;
        bSolid = TRUE;
    } else if (!bFillable) {
        nKind = FillNone;
    }
    BOOL bGradient = bFillable;
    if (m_bTextGradient) {
        bSolid = FALSE;
        bHatch = FALSE;
    }
    if (m_bRestricted) {
        bNoFill = FALSE;
        bGradient = FALSE;
        bHatch = FALSE;
    }
    EnableItem(IDC_CF_NO_FILL, bNoFill);
    EnableItem(IDC_CF_SOLID, bSolid);
    EnableItem(IDC_CF_HATCH, bHatch);
    EnableItem(IDC_CF_GRADIENT, bGradient);
    m_nFillKind = nKind;
    CheckRadioButton(IDC_CF_NO_FILL, IDC_CF_GRADIENT, IDC_CF_NO_FILL + nKind);

    EnableItem(IDC_CF_SOLID_COLOR, nKind == FillSolid && !m_bRestricted);
    const BOOL bHatchKind = nKind == FillHatch;
    for (int nID : kHatchLabels)
        EnableItem(nID, bHatchKind);
    EnableItem(IDC_CF_HATCH_STYLE, bHatchKind);
    EnableItem(IDC_CF_HATCH_LINE_COLOR, bHatchKind);
    EnableItem(IDC_CF_TRANSPARENT, bHatchKind);
    EnableItem(IDC_CF_HATCH_FILL_COLOR, bHatchKind && IsDlgButtonChecked(IDC_CF_TRANSPARENT) != BST_CHECKED);

    const BOOL bGradientKind = nKind == FillGradient;
    for (int nID : kGradientItems)
        EnableItem(nID, bGradientKind);
    const int nColors = ReadColorCount();
    EnableItem(IDC_CF_MID1_LABEL, bGradientKind && nColors >= 3);
    EnableItem(IDC_CF_MID1_COLOR, bGradientKind && nColors >= 3);
    EnableItem(IDC_CF_MID2_LABEL, bGradientKind && nColors >= 4);
    EnableItem(IDC_CF_MID2_COLOR, bGradientKind && nColors >= 4);

    int nSteps = 0;
    if (!bGradientKind && (!ReadWholeNumber(this, IDC_CF_STEPS, nSteps) || nSteps < kMinSteps || nSteps > kMaxSteps))
        SetDlgItemInt(IDC_CF_STEPS, kMaxSteps, TRUE);

    if (m_bTextGradient) {
        EnableItem(IDC_CF_LINE_AUTO, FALSE);
        EnableItem(IDC_CF_LINE_OFF, FALSE);
        EnableItem(IDC_CF_LINE_ON, FALSE);
    }
    --m_nQuiet;
}

void CColorFillDlg::EnableLineControls(int nMode)
{
    if (nMode < OutlineAutomatic || nMode > OutlineOn)
        nMode = OutlineAutomatic;
    m_nOutlineMode = nMode;
    CheckRadioButton(IDC_CF_LINE_AUTO, IDC_CF_LINE_ON, IDC_CF_LINE_AUTO + nMode);
    const BOOL bShown = nMode != OutlineOff;
    EnableItem(IDC_CF_LINE_COLOR_LABEL, bShown);
    EnableItem(IDC_CF_LINE_COLOR, bShown);
    EnableItem(IDC_CF_LINE_STYLE_LABEL, bShown);
    EnableItem(IDC_CF_LINE_STYLE, bShown);
    const BOOL bSolid = m_nLineStyle == PS_SOLID;
    const BOOL bWidth = nMode == OutlineOn && !m_bHasText && bSolid;
    EnableItem(IDC_CF_LINE_WIDTH_LABEL, bWidth);
    EnableItem(IDC_CF_LINE_WIDTH, bWidth);
    int nWidth = 0;
    if (m_bHasText || !bSolid || !ReadWholeNumber(this, IDC_CF_LINE_WIDTH, nWidth) || nWidth < kMinWidth
        || nWidth > kMaxWidth) {
        ++m_nQuiet;
        SetDlgItemInt(IDC_CF_LINE_WIDTH, kMinWidth, TRUE);
        --m_nQuiet;
    }
}

int CColorFillDlg::ReadColorCount() const
{
    if (m_comboColors.GetSafeHwnd() == NULL)
        return 0;
    const int nIndex = m_comboColors.GetCurSel();
    if (nIndex < 0)
        return 0;
    CString text;
    m_comboColors.GetLBText(nIndex, text);
    if (text == "2")
        return 2;
    if (text == "3")
        return 3;
    if (text == "4")
        return 4;
    return 0;
}

// ---- Data exchange ---------------------------------------------------------------------------

void CColorFillDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_CF_COLOR_COUNT, m_comboColors);
    DDX_Control(pDX, IDC_CF_SOLID_COLOR, m_btnSolid);
    DDX_Control(pDX, IDC_CF_HATCH_STYLE, m_btnHatchStyle);
    DDX_Control(pDX, IDC_CF_HATCH_LINE_COLOR, m_btnHatchLine);
    DDX_Control(pDX, IDC_CF_HATCH_FILL_COLOR, m_btnHatchFill);
    DDX_Control(pDX, IDC_CF_START_COLOR, m_btnStart);
    DDX_Control(pDX, IDC_CF_MID1_COLOR, m_btnMid1);
    DDX_Control(pDX, IDC_CF_MID2_COLOR, m_btnMid2);
    DDX_Control(pDX, IDC_CF_END_COLOR, m_btnEnd);
    DDX_Control(pDX, IDC_CF_LINE_COLOR, m_btnLineColor);
    DDX_Control(pDX, IDC_CF_LINE_STYLE, m_btnLineStyle);

    if (!pDX->m_bSaveAndValidate) {
        ++m_nQuiet;
        SetDlgItemInt(IDC_CF_STEPS, UINT(m_nSteps), TRUE);
        SetDlgItemInt(IDC_CF_LINE_WIDTH, UINT(m_nOutlineWidth), TRUE);
        CheckDlgButton(IDC_CF_TRANSPARENT, m_bTransparent ? BST_CHECKED : BST_UNCHECKED);
        if (m_nFillKind >= FillNone && m_nFillKind <= FillGradient)
            CheckRadioButton(IDC_CF_NO_FILL, IDC_CF_GRADIENT, IDC_CF_NO_FILL + m_nFillKind);
        if (m_nOutlineMode >= OutlineAutomatic && m_nOutlineMode <= OutlineOn)
            CheckRadioButton(IDC_CF_LINE_AUTO, IDC_CF_LINE_ON, IDC_CF_LINE_AUTO + m_nOutlineMode);
        m_comboColors.SetCurSel(int(m_fill.m_wMode) - 2);
        m_btnSolid.m_crColor = m_logbrush.lbColor;
        m_btnHatchLine.m_crColor = m_logbrush.lbColor;
        m_btnHatchFill.m_crColor = m_crHatchBack;
        m_btnStart.m_crColor = m_fill.m_crFirst;
        m_btnMid1.m_crColor = m_fill.m_crSecond;
        m_btnMid2.m_crColor = m_fill.m_crThird;
        m_btnEnd.m_crColor = m_fill.m_crFourth;
        m_btnLineColor.m_crColor = m_logpen.lopnColor;
        if (m_logbrush.lbStyle == BS_HATCHED && m_logbrush.lbHatch < ULONG_PTR(kHatchStyles))
            m_btnHatchStyle.m_nHatchStyle = int(m_logbrush.lbHatch);
        ShowHatchStyle();
        ShowLineStyle();
        if (m_pDirection != nullptr)
            m_pDirection->SetCurSel(m_nDirectionCell, FALSE);
        --m_nQuiet;
        return;
    }

    int nSteps = m_nSteps;
    DDX_Text(pDX, IDC_CF_STEPS, nSteps);
    DDV_MinMaxInt(pDX, nSteps, kMinSteps, kMaxSteps);
    int nWidth = m_nOutlineWidth;
    DDX_Text(pDX, IDC_CF_LINE_WIDTH, nWidth);
    DDV_MinMaxInt(pDX, nWidth, kMinWidth, kMaxWidth);
    m_nOutlineWidth = nWidth;
    int nTransparent = m_bTransparent;
    DDX_Check(pDX, IDC_CF_TRANSPARENT, nTransparent);
    m_bTransparent = nTransparent == BST_CHECKED;

    const int nChecked = GetCheckedRadioButton(IDC_CF_LINE_AUTO, IDC_CF_LINE_ON);
    if (nChecked != 0)
        m_nOutlineMode = nChecked - IDC_CF_LINE_AUTO;

    int nKind = m_nFillKind;
    if ((m_bHasText || m_bHasPicture) && !(IsShapedTextFillKept() && nKind == FillSolid && !m_bHasPicture))
        nKind = FillNone;
    m_nFillKind = nKind;

    m_bSolidFill = nKind == FillSolid;
    if (nKind == FillSolid) {
        m_logbrush.lbStyle = BS_SOLID;
        m_logbrush.lbColor = m_btnSolid.m_crColor;
    } else {
        // A hatch switched off must not come back at the next opening,
        // which takes a hatched brush for the Hatch kind.
        m_logbrush.lbStyle = BS_SOLID;
        m_logbrush.lbColor = m_btnHatchLine.m_crColor;
    }

    if (nKind == FillGradient) {
        const int nCell = m_pDirection != nullptr ? m_pDirection->GetSelectedValue() : m_nDirectionCell;
        m_nDirectionCell = nCell > 0 ? kCellKindOne : kCellKindTwo;
        m_fill.m_nKind = nCell > 0 ? 1 : 2;
        m_fill.m_crFirst = m_btnStart.m_crColor;
        m_fill.m_crSecond = m_btnMid1.m_crColor;
        m_fill.m_crThird = m_btnMid2.m_crColor;
        m_fill.m_crFourth = m_btnEnd.m_crColor;
        const int nColors = ReadColorCount();
        if (nColors == 0) {
            AfxMessageBox(IDS_CF_INVALID_LIST_INDEX, MB_OK | MB_ICONEXCLAMATION);
            pDX->PrepareCtrl(IDC_CF_COLOR_COUNT);
            pDX->Fail();
        }
        m_fill.m_wMode = WORD(nColors);
        if (nSteps < nColors) {
            AfxMessageBox(IDS_CF_STEPS_BELOW_COLORS, MB_OK | MB_ICONEXCLAMATION);
            SetDlgItemInt(IDC_CF_STEPS, UINT(m_fill.m_nAmount), TRUE);
            pDX->PrepareEditCtrl(IDC_CF_STEPS);
            pDX->Fail();
        }
        m_fill.m_nAmount = nSteps;
        m_nSteps = nSteps;
        EnableItem(IDC_CF_MID1_LABEL, nColors >= 3);
        EnableItem(IDC_CF_MID1_COLOR, nColors >= 3);
        EnableItem(IDC_CF_MID2_LABEL, nColors >= 4);
        EnableItem(IDC_CF_MID2_COLOR, nColors >= 4);
    } else {
        m_fill.m_nKind = 0;
        m_nSteps = nSteps;
    }

    if (nKind == FillHatch) {
        m_logbrush.lbStyle = BS_HATCHED;
        m_logbrush.lbHatch = ULONG_PTR(m_btnHatchStyle.m_nHatchStyle);
        m_crHatchBack = m_btnHatchFill.m_crColor;
    }

    m_logpen.lopnColor = m_btnLineColor.m_crColor;
    if (m_nLineStyle == PS_SOLID) {
        m_logpen.lopnStyle = PS_INSIDEFRAME;
        m_logpen.lopnWidth.x = m_nOutlineWidth;
    } else {
        m_logpen.lopnStyle = UINT(m_nLineStyle);
        m_logpen.lopnWidth.x = 0;
    }
    m_logpen.lopnWidth.y = 0;
}

void CColorFillDlg::OnOK()
{
    if (!m_bInitialized)
        return;
    if (!Exchange())
        return;
    if (m_pAttrs != nullptr) {
        CObjectAttributes& attrs = *m_pAttrs;
        if (m_bTextGradient) {
            // This mode is for the text's gradient: a box fill or outline
            // behind the text stays as it was.
            attrs.m_fillText = m_fill;
            if (m_nFillKind == FillGradient)
                attrs.m_wFlags |= ATTR_FLAG_TEXT_GRADIENT;
            else
                attrs.m_wFlags &= WORD(~ATTR_FLAG_TEXT_GRADIENT);
        } else {
            attrs.m_bFill = m_nFillKind == FillSolid || m_nFillKind == FillHatch;
            attrs.m_logbrush = m_logbrush;
            attrs.m_crHatchBackground = m_bTransparent ? -1 : LONG(m_crHatchBack);
            attrs.m_fill = m_fill;
            for (LONG& nSpare : attrs.m_nSpareWords)
                nSpare = 0;
            if (m_nOutlineMode == OutlineAutomatic)
                attrs.m_wFlags |= ATTR_FLAG_AUTO_OUTLINE;
            else
                attrs.m_wFlags &= WORD(~ATTR_FLAG_AUTO_OUTLINE);
            // The outline's own width, never 0 after the exchange; a dashed
            // pen's width of 0 must not switch its outline off.
            attrs.m_bOutline = m_nOutlineMode == OutlineOn && m_nOutlineWidth != 0;
            attrs.m_logpen = m_logpen;
        }
    }
    EndDialog(IDOK);
}

// ---- Choices ---------------------------------------------------------------------------------

void CColorFillDlg::OnFillKind(UINT nID)
{
    if (nID == IDC_CF_NO_FILL && m_bPickingColor)
        return;
    EnableFillControls(int(nID) - IDC_CF_NO_FILL);
    RefreshPreview();
}

void CColorFillDlg::OnOutlineMode(UINT nID)
{
    EnableLineControls(int(nID) - IDC_CF_LINE_AUTO);
    RefreshPreview();
}

void CColorFillDlg::OnColorButton(UINT nID)
{
    CColorButton* pButton = nullptr;
    switch (nID) {
    case IDC_CF_SOLID_COLOR: pButton = &m_btnSolid; break;
    case IDC_CF_HATCH_LINE_COLOR: pButton = &m_btnHatchLine; break;
    case IDC_CF_HATCH_FILL_COLOR: pButton = &m_btnHatchFill; break;
    case IDC_CF_START_COLOR: pButton = &m_btnStart; break;
    case IDC_CF_MID1_COLOR: pButton = &m_btnMid1; break;
    case IDC_CF_MID2_COLOR: pButton = &m_btnMid2; break;
    case IDC_CF_END_COLOR: pButton = &m_btnEnd; break;
    case IDC_CF_LINE_COLOR: pButton = &m_btnLineColor; break;
    default: return;
    }
    if (pButton->GetSafeHwnd() == NULL || m_bPickingColor)
        return;
    m_bPickingColor = TRUE;
    const int nPicked = pButton->PickColor();
    m_bPickingColor = FALSE;
    if (nPicked != 0)
        RefreshPreview();
}

void CColorFillDlg::OnHatchStyle()
{
    if (m_btnHatchStyle.GetSafeHwnd() == NULL)
        return;
    CRect rcButton;
    m_btnHatchStyle.GetWindowRect(&rcButton);
    CHatchStylePopupDlg popup(rcButton, this);
    popup.m_nValue = m_btnHatchStyle.m_nHatchStyle;
    if (popup.DoModal() != IDOK)
        return;
    if (popup.m_nValue >= 0 && popup.m_nValue < kHatchStyles)
        m_btnHatchStyle.m_nHatchStyle = popup.m_nValue;
    ShowHatchStyle();
    RefreshPreview();
}

void CColorFillDlg::OnLineStyle()
{
    if (m_btnLineStyle.GetSafeHwnd() == NULL)
        return;
    CRect rcButton;
    m_btnLineStyle.GetWindowRect(&rcButton);
    CLineStylePopupDlg popup(rcButton, this);
    popup.m_nValue = m_nLineStyle;
    if (popup.DoModal() != IDOK)
        return;
    if (popup.m_nValue >= PS_SOLID && popup.m_nValue <= PS_DASHDOTDOT)
        m_nLineStyle = popup.m_nValue;
    ShowLineStyle();
    EnableLineControls(m_nOutlineMode);
    RefreshPreview();
}

void CColorFillDlg::OnTransparent()
{
    EnableFillControls(m_nFillKind);
    RefreshPreview();
}

void CColorFillDlg::OnColorCount()
{
    RefreshPreview();
}

void CColorFillDlg::OnDirection()
{
    RefreshPreview();
}

void CColorFillDlg::OnNumberTyped()
{
    // Quiet while typing: a field that does not hold a valid number yet
    // leaves the preview as it was, and nothing is said until OK.
    if (!m_bInitialized || m_nQuiet > 0)
        return;
    int nSteps = 0;
    int nWidth = 0;
    if (!ReadWholeNumber(this, IDC_CF_STEPS, nSteps) || nSteps < kMinSteps || nSteps > kMaxSteps)
        return;
    if (!ReadWholeNumber(this, IDC_CF_LINE_WIDTH, nWidth) || nWidth < kMinWidth || nWidth > kMaxWidth)
        return;
    if (m_nFillKind == FillGradient && (ReadColorCount() == 0 || nSteps < ReadColorCount()))
        return;
    if (Exchange())
        InvalidatePreview();
}

void CColorFillDlg::OnHelpButton()
{
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->PostMessage(WM_COMMAND, MAKEWPARAM(ID_HELP, 0), 0);
}

void CColorFillDlg::ShowHatchStyle()
{
    m_btnHatchStyle.m_bHatched = TRUE;
    m_btnHatchStyle.m_crColor = RGB(0, 0, 0);
    if (m_btnHatchStyle.GetSafeHwnd() != NULL)
        m_btnHatchStyle.Invalidate();
}

void CColorFillDlg::ShowLineStyle()
{
    if (m_btnLineStyle.GetSafeHwnd() != NULL)
        m_btnLineStyle.SetBitmap(IDB_LINE_SOLID + UINT(m_nLineStyle), m_nLineStyle, TRUE);
}

BOOL CColorFillDlg::Exchange()
{
    // Edits the exchange writes into must not start another exchange.
    ++m_nQuiet;
    const BOOL bDone = UpdateData(TRUE);
    --m_nQuiet;
    return bDone;
}

void CColorFillDlg::RefreshPreview()
{
    if (!m_bInitialized)
        return;
    if (Exchange())
        InvalidatePreview();
}

void CColorFillDlg::InvalidatePreview()
{
    CRect rc = m_rcPreview;
    rc.InflateRect(2, 2);
    InvalidateRect(&rc, FALSE);
}

// ---- Preview ---------------------------------------------------------------------------------

BOOL CColorFillDlg::IsOutlineShown() const
{
    if (m_nOutlineMode == OutlineOn)
        return TRUE;
    return m_nOutlineMode == OutlineAutomatic && ((!m_bHasText && !m_bHasPicture) || m_bIsCalendar);
}

void CColorFillDlg::OnPaint()
{
    CPaintDC dc(this);
    if (!m_rcPreview.IsRectEmpty())
        DrawPreview(&dc, m_rcPreview);
}

void CColorFillDlg::DrawPreview(CDC* pDC, const CRect& rect) const
{
    if (pDC == nullptr)
        return;
    // Made before the saver, so that its restore selects them out before
    // they are deleted.
    CPen pen;
    CBrush brush;
    CDCStateSaver saver(pDC);
    SunkenFrame frame;
    frame.left = rect.left;
    frame.top = rect.top;
    frame.right = rect.right;
    frame.bottom = rect.bottom;
    frame.crFill = RGB(255, 255, 255);
    frame.bFill = 1;
    DrawSunkenFrame(pDC, frame);

    CRect inner = rect;
    inner.DeflateRect(kPreviewInset, kPreviewInset);
    if (inner.IsRectEmpty())
        return;
    const BOOL bOutline = IsOutlineShown();
    const BOOL bFill = m_nFillKind != FillNone && m_nFillKind != -1;
    const BOOL bGradient = m_nFillKind == FillGradient && m_fill.m_nKind != 0;
    if (!bFill && !bOutline)
        return;

    if (bGradient) {
        COLORREF colors[kMaxColors];
        int nColors = 0;
        colors[nColors++] = m_fill.m_crFirst;
        if (m_fill.m_wMode >= 3)
            colors[nColors++] = m_fill.m_crSecond;
        if (m_fill.m_wMode >= 4)
            colors[nColors++] = m_fill.m_crThird;
        colors[nColors++] = m_fill.m_crFourth;
        // From the start colour's side: the left edge, or the bottom edge
        // for kind 1, as the object draws its gradient.
        const POINT p0{inner.left, inner.bottom};
        const POINT p1{inner.right, inner.bottom};
        const POINT p2{inner.right, inner.top};
        const POINT p3{inner.left, inner.top};
        ShadeQuadrilateral(pDC, p0, p1, p2, p3, colors, nColors, m_fill.m_nKind == 1 ? 1 : 0, m_fill.m_nAmount);
    }
    if (!bOutline && bGradient)
        return;

    if (m_bTransparent) {
        pDC->SetBkMode(TRANSPARENT);
    } else {
        pDC->SetBkMode(OPAQUE);
        pDC->SetBkColor(m_crHatchBack);
    }
    // Values read from a design may make no pen or brush: then nothing is
    // drawn with it.
    LOGPEN logpen = m_logpen;
    if (bOutline && pen.CreatePenIndirect(&logpen)) {
        pDC->SelectObject(&pen);
    } else {
        pDC->SelectStockObject(NULL_PEN);
    }
    LOGBRUSH logbrush = m_logbrush;
    if (bFill && !bGradient && brush.CreateBrushIndirect(&logbrush)) {
        pDC->SelectObject(&brush);
    } else {
        pDC->SelectStockObject(NULL_BRUSH);
    }
    if (m_bIsLine) {
        pDC->IntersectClipRect(&inner);
        pDC->MoveTo(inner.left, inner.top);
        pDC->LineTo(inner.right, inner.bottom);
    } else {
        pDC->Rectangle(&inner);
    }
}

// ---- Way in ----------------------------------------------------------------------------------

BOOL EditColorFill(CObjectAttributes& attrs, CWnd* pParent, BOOL bTextGradient, BOOL bRestricted)
{
    CColorFillDlg dlg(pParent);
    dlg.SetObject(&attrs, bTextGradient, bRestricted);
    return dlg.DoModal() == IDOK;
}
