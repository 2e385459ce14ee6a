#include "text/dialogs/ShadowDlg.h"

#include "resources/resource.h"

#include <cstdlib>
#include <cstring>

BEGIN_MESSAGE_MAP(CShadowDlg, CDialog)
    ON_BN_CLICKED(IDC_SHADOW_COLOR, OnColor)
    ON_BN_CLICKED(IDC_SHADOW_RESET, OnReset)
    ON_CBN_KILLFOCUS(IDC_SHADOW_HORZ, OnHorzKillFocus)
    ON_CBN_KILLFOCUS(IDC_SHADOW_VERT, OnVertKillFocus)
    ON_CBN_SELCHANGE(IDC_SHADOW_HORZ, OnHorzSelChange)
    ON_CBN_SELCHANGE(IDC_SHADOW_VERT, OnVertSelChange)
    ON_WM_DRAWITEM()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CShadowDlg::CShadowDlg(CWnd* pParent)
    : CDialog(IDD_SHADOW, pParent)
{
}

CShadowDlg::~CShadowDlg() = default;

void CShadowDlg::SetOffsets(int nHorz, int nVert)
{
    // Offsets come from stored designs; keep them in the range the combos
    // can show so a bad one cannot become the "last valid" value.
    auto clamp = [](int n) { return n < kMinOffset ? kMinOffset : (n > kMaxOffset ? kMaxOffset : n); };
    m_nHorz = static_cast<short>(clamp(nHorz));
    m_nVert = static_cast<short>(clamp(nVert));
}

void CShadowDlg::SetLogFont(LOGFONT* pLogFont) { m_pLogFont = pLogFont; }

void CShadowDlg::SetShadowColor(COLORREF crShadow)
{
    m_crShadow = crShadow;
    if (m_btnColor.m_hWnd != NULL) {
        m_btnColor.m_crColor = crShadow;
        m_btnColor.Invalidate();
    }
}

BOOL CShadowDlg::ParseOffset(const char* pszText, int* pnValue)
{
    if (pszText == NULL)
        return FALSE;
    const char* p = pszText;
    bool bNegative = false;
    if (*p == '+' || *p == '-')
        bNegative = (*p++ == '-');
    int nDigits = 0;
    int nValue = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (++nDigits > 2)
            return FALSE;
        nValue = nValue * 10 + (*p - '0');
    }
    if (nDigits == 0 || *p != '\0')
        return FALSE;
    if (bNegative)
        nValue = -nValue;
    if (nValue < kMinOffset || nValue > kMaxOffset)
        return FALSE;
    if (pnValue != NULL)
        *pnValue = nValue;
    return TRUE;
}

CPoint CShadowDlg::PreviewTextOrigin(const CRect& rcPreview, CSize sizeText, int nHorz, int nVert)
{
    int nRoomX = (rcPreview.Width() - std::abs(nHorz) - sizeText.cx) / 2;
    int nRoomY = (rcPreview.Height() - std::abs(nVert) - sizeText.cy) / 2;
    if (nRoomX < 0)
        nRoomX = std::abs(nHorz) / 2;
    if (nRoomY < 0)
        nRoomY = std::abs(nVert) / 2;
    return CPoint(rcPreview.left + nRoomX, rcPreview.top + nRoomY);
}

BOOL CShadowDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_bValidating = FALSE;
    m_nHorzGiven = m_nHorz;
    m_nVertGiven = m_nVert;
    m_crShadowGiven = m_crShadow;

    if (m_pLogFont == NULL) {
        m_lfDefault = LOGFONT {};
        std::strncpy(m_lfDefault.lfFaceName, "Arial", LF_FACESIZE - 1);
        m_pLogFont = &m_lfDefault;
    }
    m_pLogFont->lfHeight = kPreviewHeight;
    m_pLogFont->lfFaceName[LF_FACESIZE - 1] = '\0';
    m_fontPreview.CreateFontIndirect(m_pLogFont);

    m_btnOK.SubclassWithIcon(IDOK, this, IDI_BUTTON_OK);
    m_btnCancel.SubclassWithIcon(IDCANCEL, this, IDI_BUTTON_CANCEL);
    m_btnColor.SubclassDlgItem(IDC_SHADOW_COLOR, this);
    m_btnColor.m_crColor = m_crShadow;

    CWinApp* pApp = AfxGetApp();
    if (m_iconHorz.SubclassDlgItem(IDC_SHADOW_HORZ_ICON, this) && pApp != nullptr)
        m_iconHorz.SetIcon(pApp->LoadIcon(IDI_SHADOW_HORZ));
    if (m_iconVert.SubclassDlgItem(IDC_SHADOW_VERT_ICON, this) && pApp != nullptr)
        m_iconVert.SetIcon(pApp->LoadIcon(IDI_SHADOW_VERT));

    for (Which which : {Which::Horz, Which::Vert}) {
        CComboBox& combo = Combo(which);
        if (!combo.SubclassDlgItem(ComboId(which), this))
            continue;
        for (int n = kMinOffset; n <= kMaxOffset; ++n) {
            CString str;
            str.Format("%d", n);
            combo.AddString(str);
        }
    }
    SetComboOffset(Which::Horz, m_nHorz);
    SetComboOffset(Which::Vert, m_nVert);

    if (CWnd* pHorz = GetDlgItem(IDC_SHADOW_HORZ))
        GotoDlgCtrl(pHorz);
    return FALSE;
}

int CShadowDlg::ComboId(Which which)
{
    switch (which) {
    case Which::Horz:
        return IDC_SHADOW_HORZ;
    case Which::Vert:
        return IDC_SHADOW_VERT;
    }
    return IDC_SHADOW_HORZ;
}

CComboBox& CShadowDlg::Combo(Which which)
{
    return which == Which::Horz ? m_comboHorz : m_comboVert;
}

void CShadowDlg::SetComboOffset(Which which, int nValue)
{
    CString str;
    str.Format("%d", nValue);
    SetDlgItemText(ComboId(which), str);
}

BOOL CShadowDlg::ValidateCombo(Which which)
{
    const BOOL bHorz = which == Which::Horz;
    CWnd* pCombo = GetDlgItem(ComboId(which));
    if (pCombo == NULL)
        return TRUE;
    CString strText;
    pCombo->GetWindowText(strText);
    int nValue = 0;
    if (!ParseOffset(strText, &nValue)) {
        SetComboOffset(which, bHorz ? m_nHorz : m_nVert);
        AfxMessageBox(IDS_SHADOW_OFFSET_RANGE, MB_OK | MB_ICONEXCLAMATION, 0);
        GotoDlgCtrl(pCombo);
        return FALSE;
    }
    short& rOffset = bHorz ? m_nHorz : m_nVert;
    if (rOffset != nValue) {
        rOffset = static_cast<short>(nValue);
        RedrawPreview();
    }
    return TRUE;
}

BOOL CShadowDlg::ValidateBoth()
{
    if (m_bValidating)
        return FALSE;
    m_bValidating = TRUE;
    const BOOL bValid = ValidateCombo(Which::Horz) && ValidateCombo(Which::Vert);
    m_bValidating = FALSE;
    return bValid;
}

void CShadowDlg::OnOK()
{
    if (!ValidateBoth())
        return;
    m_crShadow = m_btnColor.m_crColor;
    m_bValidating = TRUE;
    CDialog::OnOK();
}

void CShadowDlg::OnCancel()
{
    m_nHorz = m_nHorzGiven;
    m_nVert = m_nVertGiven;
    m_crShadow = m_crShadowGiven;
    // The combos lose the focus as the dialog goes; that is no edit.
    m_bValidating = TRUE;
    CDialog::OnCancel();
}

void CShadowDlg::OnHorzKillFocus() { ValidateBoth(); }
void CShadowDlg::OnVertKillFocus() { ValidateBoth(); }

void CShadowDlg::OnHorzSelChange() { TakeListChoice(Which::Horz); }
void CShadowDlg::OnVertSelChange() { TakeListChoice(Which::Vert); }

void CShadowDlg::TakeListChoice(Which which)
{
    // While the selection changes the edit still holds the old text.
    CComboBox& combo = Combo(which);
    const int nSel = combo.GetSafeHwnd() != NULL ? combo.GetCurSel() : CB_ERR;
    if (nSel != CB_ERR) {
        CString str;
        combo.GetLBText(nSel, str);
        combo.SetWindowText(str);
    }
    ValidateBoth();
}

void CShadowDlg::OnColor()
{
    if (m_btnColor.PickColor()) {
        m_crShadow = m_btnColor.m_crColor;
        RedrawPreview();
    }
}

void CShadowDlg::OnReset()
{
    m_nHorz = kDefaultOffset;
    m_nVert = kDefaultOffset;
    SetComboOffset(Which::Horz, m_nHorz);
    SetComboOffset(Which::Vert, m_nVert);
    SetShadowColor(kDefaultShadowColor);
    ValidateBoth();
    RedrawPreview();
}

void CShadowDlg::RedrawPreview()
{
    if (CWnd* pPreview = GetDlgItem(IDC_SHADOW_PREVIEW))
        pPreview->Invalidate();
}

void CShadowDlg::DrawPreview(CDC* pDC, const CRect& rcArea)
{
    if (pDC == NULL)
        return;
    CRect rc = rcArea;
    pDC->FillRect(&rc, CBrush::FromHandle(static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH))));
    pDC->DrawEdge(&rc, EDGE_SUNKEN, BF_RECT);
    rc.DeflateRect(2, 2);

    CString strFace = m_pLogFont != NULL ? CString(m_pLogFont->lfFaceName) : CString();
    CFont* pOldFont = m_fontPreview.GetSafeHandle() != NULL ? pDC->SelectObject(&m_fontPreview) : NULL;
    const CSize sizeText = pDC->GetTextExtent(strFace);
    const CPoint pt = PreviewTextOrigin(rc, sizeText, m_nHorz, m_nVert);
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    const COLORREF crOld = pDC->SetTextColor(m_crShadow);
    pDC->TextOut(pt.x + m_nHorz, pt.y + m_nVert, strFace);
    pDC->SetTextColor(m_crText);
    pDC->TextOut(pt.x, pt.y, strFace);
    pDC->SetTextColor(crOld);
    pDC->SetBkMode(nOldMode);
    if (pOldFont != NULL)
        pDC->SelectObject(pOldFont);
}

void CShadowDlg::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (nIDCtl == IDC_SHADOW_PREVIEW && lpDrawItemStruct != NULL) {
        CDC* pDC = CDC::FromHandle(lpDrawItemStruct->hDC);
        DrawPreview(pDC, CRect(lpDrawItemStruct->rcItem));
        return;
    }
    CDialog::OnDrawItem(nIDCtl, lpDrawItemStruct);
}

void CShadowDlg::OnDestroy()
{
    m_bValidating = TRUE;
    CDialog::OnDestroy();
    m_fontPreview.DeleteObject();
}
