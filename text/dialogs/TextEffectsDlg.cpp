#include "text/dialogs/TextEffectsDlg.h"

#include "app/FontHelpers.h"
#include "app/PrefData.h"
#include "app/Utilities.h"
#include "app/main/DesignerApp.h"
#include "controls/GridPicker.h"
#include "controls/OlvFileDlg.h"
#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "model/ObjectAttributes.h"
#include "model/UndoRecording.h"
#include "pictures/ChoosePicture.h"
#include "pictures/Image.h"
#include "platform/base/Arithmetic.h"
#include "platform/base/Exception.h"
#include "resources/resource.h"
#include "text/dialogs/CharacterTableDlg.h"
#include "text/dialogs/ChooseFieldDlg.h"
#include "text/dialogs/ShadowDlg.h"
#include "text/dialogs/TextColumnsDlg.h"
#include "text/dialogs/TextImport.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// The sizes the list offers after "Auto".
constexpr int kSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
constexpr char kAutoSize[] = "Auto";

// The record's block-text alignment (its text value 4).
constexpr int kRecordAlignment = 4;
// The sample shows the face at ten points.
constexpr int kSamplePoints = 10;
// Bit 0 of the preferences' Flags: new text sizes itself.
constexpr WORD kPrefAutoSize = 0x0001;

// A face name into a LOGFONT, cut to what it holds.
int ClampColumns(LONG nColumns)
{
    return int(std::clamp<LONG>(nColumns, 1, CTextEffectsDlg::kMaxColumns));
}

} // namespace

int CTextEffectsDlg::s_nSharedAlignment = 0;

BEGIN_MESSAGE_MAP(CTextEffectsDlg, CDialog)
    ON_BN_CLICKED(IDC_TE_IMPORT, OnImport)
    ON_BN_CLICKED(IDC_TE_INSERT_FIELD, OnInsertField)
    ON_BN_CLICKED(IDC_TE_SPECIAL_CHAR, OnSpecialChar)
    ON_CBN_SELCHANGE(IDC_TE_FONT, OnFontChange)
    ON_CBN_EDITCHANGE(IDC_TE_FONT, OnFontChange)
    ON_LBN_SELCHANGE(IDC_TE_SIZE, OnSizeChange)
    ON_CONTROL(0, IDC_TE_BOLD, OnStyleToggle)
    ON_CONTROL(0, IDC_TE_ITALIC, OnStyleToggle)
    ON_CONTROL(0, IDC_TE_UNDERLINE, OnStyleToggle)
    ON_CONTROL(0, IDC_TE_STRIKEOUT, OnStyleToggle)
    ON_CONTROL(1, IDC_TE_ALIGN, OnAlignChange)
    ON_CONTROL(1, IDC_TE_SHAPE_PICKER, OnShapeChange)
    ON_BN_CLICKED(IDC_TE_FILL_COLOR, OnFillKind)
    ON_BN_CLICKED(IDC_TE_FILL_GRADIENT, OnFillKind)
    ON_BN_CLICKED(IDC_TE_FILL_PICTURE, OnFillKind)
    ON_BN_CLICKED(IDC_TE_TEXT_COLOR, OnTextColor)
    ON_BN_CLICKED(IDC_TE_GRADIENT, OnGradient)
    ON_BN_CLICKED(IDC_TE_SELECT_TEXTURE, OnSelectTexture)
    ON_BN_CLICKED(IDC_TE_TILE, OnTile)
    ON_BN_CLICKED(IDC_TE_FIT, OnTile)
    ON_BN_CLICKED(IDC_TE_COLUMNS, OnColumns)
    ON_BN_CLICKED(IDC_TE_BORDER, OnBorder)
    ON_BN_CLICKED(IDC_TE_SHADOW, OnShadow)
    ON_BN_CLICKED(IDC_TE_SHADOW_COLOR, OnShadowColor)
    ON_BN_CLICKED(IDC_TE_SHAPE, OnShape)
    ON_EN_CHANGE(IDC_TE_TEXT, OnTextChange)
    ON_BN_CLICKED(IDC_TE_HELP, OnHelp)
    ON_WM_DRAWITEM()
    ON_WM_CTLCOLOR()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CTextEffectsDlg::CTextEffectsDlg(CWnd* pParent, BOOL bApplyImmediately)
    : CDialog(IDD_TEXT_EFFECTS, pParent)
    , m_bApplyImmediately(bApplyImmediately)
{
    m_bAutoSize = (thePrefs.Flags & kPrefAutoSize) != 0;
    m_lf.lfWeight = FW_NORMAL;
}

CTextEffectsDlg::~CTextEffectsDlg() = default;

void CTextEffectsDlg::SetSharedAlignment(int nAlignment)
{
    s_nSharedAlignment = std::clamp(nAlignment, 0, kAlignmentCount - 1);
}

CString CTextEffectsDlg::TextForEdit(const CString& strStored)
{
    CString strOut;
    const int nLength = strStored.GetLength();
    for (int i = 0; i < nLength; ++i) {
        const char ch = strStored[i];
        if (ch == '\f' || ch == '\r')
            continue;
        if (ch == '\n')
            strOut += "\r\n";
        else
            strOut += ch;
    }
    return strOut;
}

CString CTextEffectsDlg::TextForRecord(const CString& strEdit)
{
    CString strOut;
    const int nLength = strEdit.GetLength();
    for (int i = 0; i < nLength; ++i) {
        const char ch = strEdit[i];
        if (ch == '\r') {
            // A CR that ends a line becomes the LF after it; a lone one is
            // no line end the record knows.
            continue;
        }
        strOut += ch;
    }
    return strOut;
}

void CTextEffectsDlg::SetTexture(const CImage* pImage)
{
    if (pImage == NULL) {
        m_pTexture.reset();
        return;
    }
    if (!m_pTexture)
        m_pTexture = std::make_unique<CImage>();
    m_pTexture->Copy(*pImage);
}

// ---- Binding -------------------------------------------------------------------------------------

void CTextEffectsDlg::SetObject(CDrawObj* pObject, CObjectAttributes* pAttrs, BOOL bNoColor, CDrawDoc* pDoc,
    BOOL bCallerFlag)
{
    m_pObject = pObject;
    m_pAttrs = pAttrs;
    m_bNoColor = bNoColor;
    m_pDoc = pDoc != NULL ? pDoc : pObject != NULL ? pObject->m_pDocument : NULL;
    m_bCallerFlag = bCallerFlag;
    m_bObjectHasText = pObject != NULL && pObject->HasText();
    m_bLineObject = pObject != NULL && pObject->GetShapeKind() == kLineShapeKind;
    if (pAttrs != NULL) {
        const CObjectAttributes& attrs = *pAttrs;
        m_bLineObject = m_bLineObject || attrs.m_nShape == kLineShapeKind;
        m_lf = attrs.m_logfont;
        m_lf.lfFaceName[LF_FACESIZE - 1] = '\0';
        m_bBold = m_lf.lfWeight > FW_NORMAL;
        m_bItalic = m_lf.lfItalic != 0;
        m_bUnderline = m_lf.lfUnderline != 0;
        m_bStrikeOut = m_lf.lfStrikeOut != 0;
        m_bShadow = (attrs.m_wTextFlags & OBJ_TEXT_SHADOW) != 0;
        m_bAutoSize = (attrs.m_nTextFlag & 1) != 0;
        const LONG nShape = attrs.m_nTextValues[CObjectAttributes::TextWarpShape];
        m_nShape = nShape >= 1 && nShape <= kShapeCount ? int(nShape) : 0;
        if (m_nShape != 0)
            m_bAutoSize = TRUE; // shaped text is fitted to its shape
        m_crText = bNoColor ? COLORREF(-1) : attrs.m_crText;
        m_crShadow = attrs.m_crText2;
        m_nShadowX = short(attrs.m_wTextWords[0]);
        m_nShadowY = short(attrs.m_wTextWords[1]);
        m_nColumns = ClampColumns(attrs.m_nTextValues[CObjectAttributes::TextColumns]);
        m_nSize = m_bAutoSize ? 0 : std::abs(int(m_lf.lfHeight));
        const LONG nAlignment = attrs.m_bBlockText ? attrs.m_nTextValues[kRecordAlignment] : attrs.m_wJustification;
        m_nAlignment = std::clamp(int(nAlignment), 0, kAlignmentCount - 1);
        m_strText = TextForEdit(attrs.m_bBlockText ? attrs.m_strBlockText : attrs.m_strWrapText);
        if (m_strText.GetLength() > kMaxTextLength)
            m_strText = m_strText.Left(kMaxTextLength);
        if (attrs.m_wFlags & ATTR_FLAG_TEXT_GRADIENT)
            m_nFillKind = FillGradient;
    }
    // The texture of text is the object's own picture; its tile flag says
    // whether it repeats or is stretched over the text.
    if (pObject != NULL && m_bObjectHasText && pObject->m_pPicture != NULL && pObject->m_pPicture->m_nHandle >= 1) {
        if (m_nFillKind != FillGradient)
            m_nFillKind = FillPicture;
        SetTexture(pObject->m_pPicture);
        m_nTile = (pObject->m_pPicture->m_wFlags & IMAGE_FLAG_TILED) ? TileRepeat : TileFit;
    }
}

// ---- Initialisation ------------------------------------------------------------------------------

BOOL CTextEffectsDlg::OnInitDialog()
{
    m_bInitialising = TRUE;
    CDialog::OnInitDialog();
    m_btnOK.SubclassWithIcon(IDOK, this, IDI_BUTTON_OK);
    m_btnCancel.SubclassWithIcon(IDCANCEL, this, IDI_BUTTON_CANCEL);
    m_btnHelp.SubclassWithIcon(IDC_TE_HELP, this, IDI_BUTTON_HELP);
    m_editText.SubclassDlgItem(IDC_TE_TEXT, this);
    m_comboFont.SubclassDlgItem(IDC_TE_FONT, this);
    m_listSize.SubclassDlgItem(IDC_TE_SIZE, this);
    CreatePickers();

    CheckDlgButton(IDC_TE_SHADOW, m_bShadow ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_TE_SHAPE, m_nShape != 0 ? BST_CHECKED : BST_UNCHECKED);
    m_btnTextColor.SubclassDlgItem(IDC_TE_TEXT_COLOR, this);
    m_btnShadowColor.SubclassDlgItem(IDC_TE_SHADOW_COLOR, this);
    m_btnTextColor.m_crColor = m_pAttrs != NULL ? m_crText : RGB(0, 0, 0);
    m_btnShadowColor.m_crColor = m_pAttrs != NULL ? m_crShadow : RGB(128, 128, 128);
    SetItemEnabled(IDC_TE_SHADOW_COLOR, m_bShadow);

    CheckRadioButton(IDC_TE_FILL_COLOR, IDC_TE_FILL_PICTURE, IDC_TE_FILL_COLOR + m_nFillKind);
    CheckRadioButton(IDC_TE_TILE, IDC_TE_FIT, m_nTile == TileRepeat ? IDC_TE_TILE : IDC_TE_FIT);

    SetItemEnabled(IDC_TE_COLUMNS, !m_bLockedColumns && m_pObject != NULL);
    if (m_nColumns > 1) {
        // Several columns cannot follow a shape: it is put aside.
        m_nSavedShape = m_nShape;
        m_bSavedAutoSize = m_bAutoSize;
        m_nShape = 0;
        CheckDlgButton(IDC_TE_SHAPE, BST_UNCHECKED);
        if (m_pShapePicker != NULL)
            m_pShapePicker->SetCurSel(-1, TRUE);
    }
    EnableShapeControls();
    EnableFillControls();
    SetItemEnabled(IDC_TE_BORDER, m_pObject != NULL && m_pAttrs != NULL);
    SetItemEnabled(IDC_TE_GRADIENT, m_nFillKind == FillGradient && m_pObject != NULL && m_pAttrs != NULL);

    // The merge fields are offered only when the design has a source.
    CString strFields;
    if (m_pDoc != NULL && m_pDoc->GetMergeFieldText(0, -1, strFields) && strFields.GetLength() > 1) {
        if (!SplitFieldList(static_cast<LPCTSTR>(strFields), size_t(strFields.GetLength())).empty()) {
            if (CWnd* pField = GetDlgItem(IDC_TE_INSERT_FIELD))
                pField->ShowWindow(SW_SHOW);
        }
    }

    SendDlgItemMessage(IDC_TE_TEXT, EM_LIMITTEXT, kMaxTextLength, 0);
    SetDlgItemText(IDC_TE_TEXT, m_strText);
    FillSizeList();
    FillFontList();

    BOOL bFocusSet = FALSE;
    if (m_bLineObject) {
        DisableTextControls();
    } else {
        UpdatePreview();
        if (CWnd* pEdit = GetDlgItem(IDC_TE_TEXT)) {
            GotoDlgCtrl(pEdit);
            bFocusSet = TRUE;
        }
    }
    m_bInitialising = FALSE;
    if (m_bApplyImmediately) {
        Apply();
        EndDialog(IDOK);
    }
    return !bFocusSet;
}

void CTextEffectsDlg::CreatePickers()
{
    m_pShapePicker = new CGridPicker;
    if (m_pShapePicker->CreateOverControl(this, IDC_TE_SHAPE_PICKER, -1)) {
        m_pShapePicker->SetupCells(IDB_TE_SHAPE_FIRST, kShapeCount, 4, 4, TRUE, TRUE);
        m_pShapePicker->SetCellValues(IDS_TE_SHAPE_VALUES);
        // Without notification the picker is told a value: each warp shape
        // comes back as the cell that shows it.
        if (m_nShape != 0)
            m_pShapePicker->SetCurSel(m_nShape - 1, FALSE);
    } else {
        delete m_pShapePicker;
        m_pShapePicker = NULL;
    }

    m_pAlignPicker = new CGridPicker;
    if (m_pAlignPicker->CreateOverControl(this, IDC_TE_ALIGN, -1)) {
        m_pAlignPicker->SetupCells(IDB_TE_ALIGN_FIRST, kAlignmentCount, 1, kAlignmentCount, TRUE, TRUE);
        const int nAlignment = m_bObjectHasText ? m_nAlignment : s_nSharedAlignment;
        m_nAlignment = nAlignment;
        m_pAlignPicker->SetCurSel(nAlignment, FALSE);
    } else {
        delete m_pAlignPicker;
        m_pAlignPicker = NULL;
    }

    const UINT toggleIds[kStyleToggles] = {IDC_TE_BOLD, IDC_TE_ITALIC, IDC_TE_UNDERLINE, IDC_TE_STRIKEOUT};
    const UINT toggleArt[kStyleToggles] = {IDB_TE_BOLD, IDB_TE_ITALIC, IDB_TE_UNDERLINE, IDB_TE_STRIKEOUT};
    const BOOL toggleOn[kStyleToggles] = {m_bBold, m_bItalic, m_bUnderline, m_bStrikeOut};
    for (int k = 0; k < kStyleToggles; ++k) {
        auto* pToggle = new CGridPicker;
        pToggle->m_bCheckMode = TRUE;
        if (!pToggle->CreateOverControl(this, toggleIds[k], -1)) {
            delete pToggle;
            continue;
        }
        pToggle->SetupCells(toggleArt[k], 1, 1, 1, TRUE, TRUE);
        pToggle->SetCellCheck(0, toggleOn[k]);
        m_pStyles[k] = pToggle;
    }
}

void CTextEffectsDlg::SetItemEnabled(int nID, BOOL bEnable)
{
    if (CWnd* pItem = GetDlgItem(nID))
        pItem->EnableWindow(bEnable);
}

BOOL CTextEffectsDlg::IsItemChecked(int nID) const
{
    return IsDlgButtonChecked(nID) == BST_CHECKED;
}

void CTextEffectsDlg::EnableFillControls()
{
    const int nKind = ReadFillKind();
    SetItemEnabled(IDC_TE_TEXT_COLOR, nKind == FillColor);
    SetItemEnabled(IDC_TE_GRADIENT, nKind == FillGradient && m_pObject != NULL && m_pAttrs != NULL);
    SetItemEnabled(IDC_TE_SELECT_TEXTURE, nKind == FillPicture);
    SetItemEnabled(IDC_TE_TILE, nKind == FillPicture);
    SetItemEnabled(IDC_TE_FIT, nKind == FillPicture);
}

void CTextEffectsDlg::EnableShapeControls()
{
    const BOOL bSeveralColumns = m_nColumns > 1;
    SetItemEnabled(IDC_TE_SHAPE, !bSeveralColumns);
    if (m_pShapePicker != NULL)
        m_pShapePicker->EnableWindow(!bSeveralColumns && IsItemChecked(IDC_TE_SHAPE));
}

void CTextEffectsDlg::DisableTextControls()
{
    // A line has no text: the dialog stays open with nothing to type into.
    static const int textIds[] = {IDC_TE_TEXT, IDC_TE_IMPORT, IDC_TE_INSERT_FIELD, IDC_TE_SPECIAL_CHAR, IDC_TE_FONT,
        IDC_TE_SIZE, IDC_TE_FILL_COLOR, IDC_TE_FILL_GRADIENT, IDC_TE_FILL_PICTURE, IDC_TE_TEXT_COLOR, IDC_TE_GRADIENT,
        IDC_TE_SELECT_TEXTURE, IDC_TE_TILE, IDC_TE_FIT, IDC_TE_COLUMNS, IDC_TE_BORDER, IDC_TE_SHADOW,
        IDC_TE_SHADOW_COLOR, IDC_TE_SHAPE};
    for (int nID : textIds)
        SetItemEnabled(nID, FALSE);
    for (CGridPicker* pPicker :
        {m_pShapePicker, m_pAlignPicker, m_pStyles[0], m_pStyles[1], m_pStyles[2], m_pStyles[3]}) {
        if (pPicker != NULL)
            pPicker->EnableWindow(FALSE);
    }
}

// ---- Size and font lists -------------------------------------------------------------------------

void CTextEffectsDlg::FillSizeList()
{
    if (m_listSize.GetSafeHwnd() == NULL)
        return;
    m_listSize.ResetContent();
    if (m_nColumns <= 1)
        m_listSize.AddString(kAutoSize);
    if (!IsItemChecked(IDC_TE_SHAPE)) {
        for (int nSize : kSizes) {
            CString strSize;
            strSize.Format("%d", nSize);
            m_listSize.AddString(strSize);
        }
    }
    // A list without "Auto" cannot show a size of 0: the font's own size
    // stands in for it.
    if (m_nSize == 0 && m_nColumns > 1) {
        const int nHeight = std::abs(int(m_lf.lfHeight));
        m_nSize = nHeight != 0 ? nHeight : kFallbackSize;
    }
    CString strSelect;
    if (m_nSize == 0)
        strSelect = kAutoSize;
    else
        strSelect.Format("%d", m_nSize);
    const int nIndex = m_listSize.FindStringExact(-1, strSelect);
    m_listSize.SetCurSel(nIndex);
}

int CTextEffectsDlg::ReadSizeList() const
{
    const int nIndex = m_listSize.GetSafeHwnd() != NULL ? m_listSize.GetCurSel() : LB_ERR;
    if (nIndex == LB_ERR)
        return m_nSize;
    // The item's own text says the size: which index "Auto" has depends
    // on the columns.
    CString strItem;
    m_listSize.GetText(nIndex, strItem);
    if (strItem == kAutoSize)
        return 0;
    return std::clamp(std::atoi(strItem), 0, 999);
}

CFontList& CTextEffectsDlg::Fonts()
{
    if (auto* pApp = dynamic_cast<CDesignerApp*>(AfxGetApp()))
        return pApp->GetBuiltFontList();
    if (!m_pOwnFonts) {
        m_pOwnFonts = std::make_unique<CFontList>();
        CClientDC dc(this);
        ::EnumFontFamilies(dc.GetSafeHdc(), nullptr, EnumTrueTypeFontProc, reinterpret_cast<LPARAM>(m_pOwnFonts.get()));
    }
    return *m_pOwnFonts;
}

void CTextEffectsDlg::FillFontList()
{
    if (m_comboFont.GetSafeHwnd() == NULL)
        return;
    m_comboFont.ResetContent();
    CFontList& fonts = Fonts();
    for (int i = 0; i < fonts.GetCount(); ++i) {
        const CFontEntry* pEntry = fonts.GetAt(i);
        if (pEntry == NULL)
            continue;
        const int nItem = m_comboFont.AddString(pEntry->m_logFont.lfFaceName);
        if (nItem >= 0)
            m_comboFont.SetItemData(nItem, DWORD_PTR(i));
    }
    const int nFace = m_comboFont.FindStringExact(-1, m_lf.lfFaceName);
    if (nFace >= 0)
        m_comboFont.SetCurSel(nFace);
    else
        m_comboFont.SetWindowText(m_lf.lfFaceName);
}

const CFontEntry* CTextEffectsDlg::FindFace(const CString& strFace) const
{
    if (m_comboFont.GetSafeHwnd() == NULL || strFace.IsEmpty())
        return NULL;
    const int nItem = m_comboFont.FindStringExact(-1, strFace);
    if (nItem < 0)
        return NULL;
    CFontList& fonts = const_cast<CTextEffectsDlg*>(this)->Fonts();
    const int nIndex = int(m_comboFont.GetItemData(nItem));
    return nIndex >= 0 && nIndex < fonts.GetCount() ? fonts.GetAt(nIndex) : NULL;
}

// ---- Preview -------------------------------------------------------------------------------------

void CTextEffectsDlg::ReadToggles()
{
    BOOL* const flags[kStyleToggles] = {&m_bBold, &m_bItalic, &m_bUnderline, &m_bStrikeOut};
    for (int k = 0; k < kStyleToggles; ++k) {
        if (m_pStyles[k] != NULL)
            *flags[k] = m_pStyles[k]->IsCellChecked(0);
    }
}

LOGFONT CTextEffectsDlg::PreviewLogFont(int nHeight) const
{
    CString strFace;
    GetDlgItemText(IDC_TE_FONT, strFace);
    LOGFONT lf{};
    if (const CFontEntry* pEntry = FindFace(strFace))
        lf = pEntry->m_logFont;
    else
        SetFaceName(lf, m_lf.lfFaceName);
    lf.lfHeight = nHeight;
    lf.lfWidth = 0;
    lf.lfWeight = m_bBold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = m_bItalic ? 1 : 0;
    lf.lfUnderline = m_bUnderline ? 1 : 0;
    lf.lfStrikeOut = m_bStrikeOut ? 1 : 0;
    return lf;
}

void CTextEffectsDlg::UpdatePreview()
{
    if (m_hWnd == NULL || m_bLineObject)
        return;
    ReadToggles();
    CClientDC dc(this);
    const int nDpi = std::max(1, dc.GetDeviceCaps(LOGPIXELSY));
    m_fontSample.DeleteObject();
    LOGFONT lfSample = PreviewLogFont(::MulDiv(-kSamplePoints, nDpi, 72));
    m_fontSample.CreateFontIndirect(&lfSample);
    if (CWnd* pSample = GetDlgItem(IDC_TE_FONT_SAMPLE))
        pSample->Invalidate();

    const int nSize = ReadSizeList();
    LOGFONT lfEdit = PreviewLogFont(nSize > 0 ? -::MulDiv(nSize, nDpi, 72) : 0);
    CFont fontNew;
    if (fontNew.CreateFontIndirect(&lfEdit)) {
        if (CWnd* pEdit = GetDlgItem(IDC_TE_TEXT)) {
            pEdit->SetFont(&fontNew);
            m_fontEdit.DeleteObject();
            m_fontEdit.Attach(fontNew.Detach());
        }
    }
}

void CTextEffectsDlg::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (nIDCtl != IDC_TE_FONT_SAMPLE || lpDrawItemStruct == NULL) {
        CDialog::OnDrawItem(nIDCtl, lpDrawItemStruct);
        return;
    }
    CDC* pDC = CDC::FromHandle(lpDrawItemStruct->hDC);
    CRect rect(lpDrawItemStruct->rcItem);
    pDC->FillSolidRect(&rect, ::GetSysColor(COLOR_WINDOW));
    pDC->DrawEdge(&rect, EDGE_SUNKEN, BF_RECT);
    if (m_fontSample.GetSafeHandle() == NULL)
        return;
    CString strFace;
    GetDlgItemText(IDC_TE_FONT, strFace);
    CFont* pOld = pDC->SelectObject(&m_fontSample);
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    const COLORREF crOld = pDC->SetTextColor(::GetSysColor(COLOR_WINDOWTEXT));
    pDC->DrawText(strFace, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    pDC->SetTextColor(crOld);
    pDC->SetBkMode(nOldMode);
    if (pOld != NULL)
        pDC->SelectObject(pOld);
}

HBRUSH CTextEffectsDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH hBrush = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    // The text shows in its own colour while it is typed.
    if (pWnd != NULL && pWnd->GetDlgCtrlID() == IDC_TE_TEXT && ReadFillKind() == FillColor
        && LONG(m_btnTextColor.m_crColor) >= 0) {
        pDC->SetTextColor(m_btnTextColor.m_crColor);
    }
    return hBrush;
}

// ---- Reading the controls ------------------------------------------------------------------------

int CTextEffectsDlg::ReadFillKind() const
{
    if (IsItemChecked(IDC_TE_FILL_GRADIENT))
        return FillGradient;
    if (IsItemChecked(IDC_TE_FILL_PICTURE))
        return FillPicture;
    return FillColor;
}

void CTextEffectsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    if (!pDX->m_bSaveAndValidate)
        return;
    DDX_Text(pDX, IDC_TE_TEXT, m_strText);
    DDV_MaxChars(pDX, m_strText, kMaxTextLength);
    m_nTile = IsItemChecked(IDC_TE_FIT) ? TileFit : TileRepeat;
    m_nFillKind = ReadFillKind();
    const BOOL bShape = IsItemChecked(IDC_TE_SHAPE);
    const int nCell = m_pShapePicker != NULL ? m_pShapePicker->GetSelectedValue() : -1;
    m_nShape = bShape && nCell >= 0 ? nCell + 1 : 0;
    m_nSize = ReadSizeList();
    m_bAutoSize = m_nSize == 0;
    m_crText = m_btnTextColor.m_crColor;
    m_crShadow = m_btnShadowColor.m_crColor;
    if (m_pAlignPicker != NULL && m_pAlignPicker->GetSelectedValue() >= 0)
        m_nAlignment = m_pAlignPicker->GetSelectedValue();
    ReadToggles();
    m_bShadow = IsItemChecked(IDC_TE_SHADOW);
}

// ---- OK ------------------------------------------------------------------------------------------

BOOL CTextEffectsDlg::Validate()
{
    CWnd* pFont = GetDlgItem(IDC_TE_FONT);
    if (pFont != NULL && pFont->IsWindowEnabled()) {
        CString strFace;
        GetDlgItemText(IDC_TE_FONT, strFace);
        BOOL bFound = FindFace(strFace) != NULL;
        if (bFound) {
            CFont probe;
            LOGFONT lf = PreviewLogFont(-std::max(m_nSize, 1));
            bFound = probe.CreateFontIndirect(&lf);
        }
        if (!bFound) {
            AfxMessageBox(IDS_TE_FONT_NOT_FOUND, MB_OK | MB_ICONEXCLAMATION);
            GotoDlgCtrl(pFont);
            return FALSE;
        }
    }
    if (m_nFillKind == FillPicture && (!m_pTexture || m_pTexture->m_nHandle < 1)) {
        AfxMessageBox(IDS_TE_SELECT_TEXTURE, MB_OK | MB_ICONEXCLAMATION);
        if (CWnd* pSelect = GetDlgItem(IDC_TE_SELECT_TEXTURE))
            GotoDlgCtrl(pSelect);
        return FALSE;
    }
    if ((m_nFillKind == FillGradient || m_nFillKind == FillPicture) && m_strText.GetLength() > kFillWarningLength) {
        // Only a warning: the user may keep a long filled text.
        CString strFormat;
        CString strWord;
        strFormat.LoadString(IDS_TE_FILL_WARNING);
        strWord.LoadString(m_nFillKind == FillGradient ? IDS_TE_FILL_GRADIENT_WORD : IDS_TE_FILL_PICTURE_WORD);
        CString strMessage;
        strMessage.Format(strFormat, static_cast<LPCTSTR>(strWord));
        AfxMessageBox(strMessage, MB_OK | MB_ICONINFORMATION);
    }
    return TRUE;
}

void CTextEffectsDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    if (!Validate())
        return;
    Apply();
    EndDialog(IDOK);
}

void CTextEffectsDlg::Apply()
{
    // An object that is not on a surface yet is being made: whoever places
    // it records its creation, and there is nothing to undo back to.
    if (m_pObject != NULL && m_pDoc != NULL && m_pObject->m_pDocument != NULL)
        RecordUndoObjectEdit(m_pDoc, m_pObject, IDS_UNDO_PROPERTIES);
    if (m_bApplyImmediately) {
        m_strText = " ";
        m_nSize = std::abs(int(thePrefs.DefaultFont.lfHeight));
        m_bAutoSize = (thePrefs.Flags & kPrefAutoSize) != 0;
        if (m_bAutoSize)
            m_nSize = 0;
    }
    m_lf.lfHeight = -m_nSize;
    m_lf.lfWeight = m_bBold ? FW_BOLD : FW_NORMAL;
    m_lf.lfItalic = m_bItalic ? 1 : 0;
    m_lf.lfUnderline = m_bUnderline ? 1 : 0;
    m_lf.lfStrikeOut = m_bStrikeOut ? 1 : 0;
    if (m_hWnd != NULL && !m_bLineObject) {
        CString strFace;
        GetDlgItemText(IDC_TE_FONT, strFace);
        if (const CFontEntry* pEntry = FindFace(strFace)) {
            SetFaceName(m_lf, pEntry->m_logFont.lfFaceName);
            m_lf.lfCharSet = pEntry->m_logFont.lfCharSet;
        }
    }
    SetSharedAlignment(m_nAlignment);
    m_bChanged = TRUE;

    // The default text format follows the last text made; its two further
    // values carry the alignment and the automatic size.
    thePrefs.SetDefaultTextFormat(m_lf, m_crText, m_crShadow, WORD(m_nShadowX), WORD(m_nShadowY), m_bShadow,
        WORD(m_nAlignment), WORD(m_bAutoSize ? 1 : 0));

    if (m_pAttrs == NULL)
        return;
    CObjectAttributes& attrs = *m_pAttrs;
    const BOOL bHadText = attrs.m_bHasText;
    attrs.m_bHasText = !m_strText.IsEmpty();
    if (attrs.m_bHasText) {
        attrs.m_strBlockText = TextForRecord(m_strText);
        attrs.m_nTextValues[CObjectAttributes::TextColumns] = m_nColumns;
        attrs.m_bBlockText = TRUE;
    }
    attrs.m_logfont = m_lf;
    attrs.m_nTextFlag = m_bAutoSize ? 1 : 0;
    attrs.m_nTextValues[CObjectAttributes::TextWarpShape] = m_nShape;
    const int nAlignment = attrs.m_bHasText ? m_nAlignment : 0;
    attrs.m_nTextValues[kRecordAlignment] = nAlignment;
    attrs.m_wJustification = WORD(nAlignment);
    attrs.m_crText = m_crText;
    if (m_bShadow)
        attrs.m_wTextFlags |= OBJ_TEXT_SHADOW;
    else
        attrs.m_wTextFlags &= ~WORD(OBJ_TEXT_SHADOW);
    attrs.m_crText2 = m_crShadow;
    attrs.m_wTextWords[0] = WORD(m_nShadowX);
    attrs.m_wTextWords[1] = WORD(m_nShadowY);

    // A colour fill and a gradient both do without the picture; a texture
    // is the picture.
    if (m_nFillKind == FillGradient)
        attrs.m_wFlags |= ATTR_FLAG_TEXT_GRADIENT;
    else
        attrs.m_wFlags &= ~WORD(ATTR_FLAG_TEXT_GRADIENT);
    if (m_nFillKind != FillPicture)
        attrs.m_nCalendarOptions[CObjectAttributes::HasPictureWord] = 0;

    if (m_pObject == NULL)
        return;
    CDrawObj& obj = *m_pObject;
    if (attrs.m_bHasText) {
        obj.SetAttributes(attrs);
    } else if (bHadText) {
        // The user emptied the text: the object keeps no old text behind.
        obj.SetText(CString(), TRUE);
        obj.SetAttributes(attrs);
    }
    if (m_nFillKind == FillPicture && m_pTexture) {
        obj.SetPictureFromImage(m_pTexture.get(), TRUE);
        if (obj.m_pPicture != NULL)
            obj.m_pPicture->SetWordFlag(IMAGE_FLAG_TILED, m_nTile == TileRepeat);
    } else if (m_nFillKind != FillPicture && obj.m_pPicture != NULL) {
        obj.RemovePicture();
    }
    obj.Invalidate();
    // The record now tells what the object is, so that applying it again
    // is no change.
    obj.GetAttributes(attrs);
}

// ---- Buttons -------------------------------------------------------------------------------------

void CTextEffectsDlg::OnImport()
{
    CString strFilter;
    strFilter.LoadString(IDS_TEXT_FILE_FILTER);
    COlvFileDlg dlg(TRUE, "txt", NULL, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, strFilter, this);
    if (dlg.DoModal() != IDOK)
        return;
    const CString strPath = dlg.GetPathName();
    CString strText;
    if (!ReadImportedTextFile(strPath, strText)) {
        CString strMessage;
        AfxFormatString1(strMessage, IDS_TE_IMPORT_FAILED, strPath);
        AfxMessageBox(strMessage, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    SetDlgItemText(IDC_TE_TEXT, strText);
    m_bChanged = TRUE;
    if (m_editText.GetSafeHwnd() != NULL) {
        GotoDlgCtrl(&m_editText);
        m_editText.SetSel(0, 0);
    }
}

void CTextEffectsDlg::OnInsertField()
{
    CString strFields;
    if (m_pDoc == NULL || !m_pDoc->GetMergeFieldText(0, -1, strFields) || strFields.GetLength() < 2)
        return;
    if (m_editText.GetSafeHwnd() == NULL)
        return;
    int nStart = 0;
    int nEnd = 0;
    m_editText.GetSel(nStart, nEnd);
    CChooseFieldDlg dlg(this, strFields);
    if (dlg.DoModal() != IDOK || dlg.GetFieldName().IsEmpty())
        return;
    // A merge field stands between at-signs in the text.
    ReplaceEditSelection(nStart, nEnd, "@" + dlg.GetFieldName() + "@");
}

void CTextEffectsDlg::OnSpecialChar()
{
    if (m_editText.GetSafeHwnd() == NULL)
        return;
    int nStart = 0;
    int nEnd = 0;
    m_editText.GetSel(nStart, nEnd);
    CSpecialCharDlg dlg(this);
    ReadToggles();
    dlg.SetFont(PreviewLogFont(m_lf.lfHeight));
    if (dlg.DoModal() != IDOK || dlg.GetChar() == 0)
        return;
    const char text[2] = {char(dlg.GetChar()), '\0'};
    ReplaceEditSelection(nStart, nEnd, text);
}

void CTextEffectsDlg::ReplaceEditSelection(int nStart, int nEnd, const CString& strText)
{
    if (m_editText.GetSafeHwnd() == NULL)
        return;
    // The edit took the focus back when the chooser closed and selected
    // its whole text doing so: the user's selection was kept for this.
    GotoDlgCtrl(&m_editText);
    m_editText.SetSel(nStart, nEnd);
    m_editText.ReplaceSel(strText, TRUE);
    int nCaret = 0;
    int nIgnored = 0;
    m_editText.GetSel(nCaret, nIgnored);
    m_editText.SetSel(nCaret, nCaret);
    m_bChanged = TRUE;
}

void CTextEffectsDlg::OnFontChange()
{
    m_bChanged = TRUE;
    UpdatePreview();
}

void CTextEffectsDlg::OnSizeChange()
{
    m_bChanged = TRUE;
    m_nSize = ReadSizeList();
    UpdatePreview();
}

void CTextEffectsDlg::OnStyleToggle()
{
    if (m_bInitialising)
        return;
    m_bChanged = TRUE;
    UpdatePreview();
}

void CTextEffectsDlg::OnAlignChange()
{
    m_bChanged = TRUE;
}

void CTextEffectsDlg::OnFillKind()
{
    m_bChanged = TRUE;
    EnableFillControls();
    if (CWnd* pEdit = GetDlgItem(IDC_TE_TEXT))
        pEdit->Invalidate();
}

void CTextEffectsDlg::OnTextColor()
{
    if (m_btnTextColor.PickColor() == 0)
        return;
    m_bChanged = TRUE;
    if (CWnd* pEdit = GetDlgItem(IDC_TE_TEXT))
        pEdit->Invalidate();
}

void CTextEffectsDlg::OnGradient()
{
    if (m_pObject == NULL || m_pAttrs == NULL)
        return;
    if (m_pObject->OnOpen(NULL, CDrawObj::EditColorFill, this, m_pAttrs, CDrawObj::OpenTextGradient))
        m_bChanged = TRUE;
}

void CTextEffectsDlg::OnBorder()
{
    if (m_pObject == NULL || m_pAttrs == NULL)
        return;
    if (m_pObject->OnOpen(NULL, CDrawObj::EditColorFill, this, m_pAttrs, CDrawObj::OpenBorder))
        m_bChanged = TRUE;
}

void CTextEffectsDlg::OnSelectTexture()
{
    CString strPath;
    if (ChoosePictureSource(this, strPath, kPictureDialogPickOne) != kPictureChosen || strPath.IsEmpty())
        return;
    if (!m_pTexture)
        m_pTexture = std::make_unique<CImage>();
    try {
        m_pTexture->LoadFile(strPath, CImage::kDefaultLoadMode);
    } catch (CException* e) {
        // The picture engine has told the user; the texture stays empty.
        e->Delete();
    }
    m_bChanged = TRUE;
}

void CTextEffectsDlg::OnTile()
{
    m_bChanged = TRUE;
}

void CTextEffectsDlg::ColumnsChanged(int nOld, int nNew)
{
    if (nOld <= 1 && nNew > 1) {
        m_nSavedShape = IsItemChecked(IDC_TE_SHAPE) && m_pShapePicker != NULL && m_pShapePicker->GetSelectedValue() >= 0
            ? m_pShapePicker->GetSelectedValue() + 1
            : 0;
        m_bSavedAutoSize = m_bAutoSize;
        m_bAutoSize = FALSE;
        CheckDlgButton(IDC_TE_SHAPE, BST_UNCHECKED);
        if (m_pShapePicker != NULL)
            m_pShapePicker->SetCurSel(-1, TRUE);
    } else if (nOld > 1 && nNew <= 1) {
        m_bAutoSize = m_bSavedAutoSize;
        if (m_nSavedShape != 0) {
            CheckDlgButton(IDC_TE_SHAPE, BST_CHECKED);
            if (m_pShapePicker != NULL)
                m_pShapePicker->SetCurSel(m_nSavedShape - 1, FALSE);
            m_nSize = 0;
        } else if (m_bAutoSize) {
            m_nSize = 0;
        }
    }
    EnableShapeControls();
}

void CTextEffectsDlg::OnColumns()
{
    CTextColumnsDlg dlg(this);
    dlg.SetColumns(m_nColumns);
    if (dlg.DoModal() != IDOK)
        return;
    const int nNew = ClampColumns(dlg.GetColumns());
    if (nNew == m_nColumns)
        return;
    m_nSize = ReadSizeList();
    const int nOld = m_nColumns;
    m_nColumns = nNew;
    ColumnsChanged(nOld, nNew);
    m_bChanged = TRUE;
    FillSizeList();
    UpdatePreview();
}

void CTextEffectsDlg::OnShadow()
{
    m_bChanged = TRUE;
    SetItemEnabled(IDC_TE_SHADOW_COLOR, IsItemChecked(IDC_TE_SHADOW));
}

void CTextEffectsDlg::OnShadowColor()
{
    CShadowDlg dlg(this);
    ReadToggles();
    LOGFONT lf = PreviewLogFont(m_lf.lfHeight);
    dlg.SetLogFont(&lf);
    dlg.SetTextColor(m_btnTextColor.m_crColor);
    dlg.SetShadowColor(m_btnShadowColor.m_crColor);
    dlg.SetOffsets(m_nShadowX, m_nShadowY);
    if (dlg.DoModal() != IDOK)
        return;
    m_btnShadowColor.m_crColor = dlg.GetShadowColor();
    m_btnShadowColor.Invalidate();
    m_nShadowX = dlg.GetHorzOffset();
    m_nShadowY = dlg.GetVertOffset();
    m_bChanged = TRUE;
}

void CTextEffectsDlg::OnShape()
{
    m_bChanged = TRUE;
    const BOOL bOn = IsItemChecked(IDC_TE_SHAPE);
    if (m_pShapePicker != NULL)
        m_pShapePicker->SetCurSel(bOn ? 0 : -1, TRUE);
    // Shaped text is fitted to its shape: it has only "Auto".
    if (bOn)
        m_nSize = 0;
    else
        m_nSize = ReadSizeList();
    EnableShapeControls();
    FillSizeList();
    UpdatePreview();
}

void CTextEffectsDlg::OnShapeChange()
{
    if (!m_bInitialising)
        m_bChanged = TRUE;
}

void CTextEffectsDlg::OnTextChange()
{
    if (!m_bInitialising)
        m_bChanged = TRUE;
}

void CTextEffectsDlg::OnHelp()
{
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->PostMessage(WM_COMMAND, ID_HELP, 0);
}

void CTextEffectsDlg::OnDestroy()
{
    CDialog::OnDestroy();
    m_fontSample.DeleteObject();
    m_fontEdit.DeleteObject();
    // The pickers go with their windows.
    m_pShapePicker = NULL;
    m_pAlignPicker = NULL;
    for (CGridPicker*& pToggle : m_pStyles)
        pToggle = NULL;
}

// ---- The way in ----------------------------------------------------------------------------------

BOOL EditTextEffects(CDrawObj& obj, CObjectAttributes& attrs, CWnd* pParent, CDrawDoc* pDoc)
{
    if (!obj.HasText()) {
        LOGFONT lf{};
        COLORREF crText = 0;
        COLORREF crShadow = 0;
        WORD wShadowX = 0;
        WORD wShadowY = 0;
        BOOL bShadow = FALSE;
        WORD wAlignment = 0;
        WORD wAutoSize = 0;
        thePrefs.GetDefaultTextFormat(lf, crText, crShadow, wShadowX, wShadowY, bShadow, wAlignment, wAutoSize);
        attrs.m_logfont = lf;
        attrs.m_crText = crText;
        attrs.m_crText2 = crShadow;
        attrs.m_wTextWords[0] = wShadowX;
        attrs.m_wTextWords[1] = wShadowY;
        if (bShadow)
            attrs.m_wTextFlags |= OBJ_TEXT_SHADOW;
        else
            attrs.m_wTextFlags &= ~WORD(OBJ_TEXT_SHADOW);
        attrs.m_nTextValues[kRecordAlignment] = std::min<WORD>(wAlignment, CTextEffectsDlg::kAlignmentCount - 1);
        attrs.m_nTextFlag = wAutoSize & 1;
        attrs.m_bBlockText = TRUE;
    }
    CTextEffectsDlg dlg(pParent, FALSE);
    dlg.SetObject(&obj, &attrs, obj.IsTextColorNone(), pDoc != NULL ? pDoc : obj.m_pDocument);
    return dlg.DoModal() == IDOK;
}
