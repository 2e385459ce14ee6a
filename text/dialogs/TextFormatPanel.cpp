#include "text/dialogs/TextFormatPanel.h"

#include "app/FontHelpers.h"
#include "app/PrefData.h"
#include "app/Utilities.h"
#include "app/main/DesignerApp.h"
#include "controls/PicButton.h"
#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "model/ObjectAttributes.h"
#include "model/UndoRecording.h"
#include "pictures/Image.h"
#include "surface/Surface.h"
#include "text/TextBlock.h"
#include "text/TextEditHost.h"
#include "text/WrapText.h"

#include <cstdlib>
#include <cstring>

IMPLEMENT_DYNAMIC(CTextFormatPanel, CToolPadPanel)

const UINT CTextFormatPanel::kStyleButtons[4] = {kBold, kItalic, kUnderline, kStrikeout};
const UINT CTextFormatPanel::kAlignButtons[4] = {kAlignLeft, kAlignRight, kAlignCenter, kJustify};

namespace {

// Where the block text keeps its alignment among the record's text values.
constexpr int kBlockAlignmentValue = 4;

// The pictures of the eight buttons (normal, pressed, disabled), their
// places and tips, in the order of CTextFormatPanel's button index.
struct ButtonDef {
    UINT nID;
    UINT nPressed;
    UINT nDisabled;
    CRect rect;
    LPCTSTR lpszTip;
};
const ButtonDef kButtons[8] = {
    {CTextFormatPanel::kBold, 1139, 1221, CRect(9, 92, 33, 107), "Bold"},
    {CTextFormatPanel::kItalic, 1137, 1214, CRect(37, 92, 61, 107), "Italic"},
    {CTextFormatPanel::kUnderline, 1134, 1219, CRect(65, 92, 89, 107), "Underline"},
    {CTextFormatPanel::kStrikeout, 1141, 1220, CRect(93, 92, 117, 107), "Strikeout"},
    {CTextFormatPanel::kAlignLeft, 1131, 1216, CRect(9, 122, 33, 147), "Align Left"},
    {CTextFormatPanel::kAlignRight, 1127, 1217, CRect(37, 122, 61, 147), "Align Right"},
    {CTextFormatPanel::kAlignCenter, 1129, 1215, CRect(65, 122, 89, 147), "Align Center"},
    {CTextFormatPanel::kJustify, 1126, 1218, CRect(93, 122, 117, 147), "Justify"},
};

const CRect kTitleRect(3, 26, 126, 44);
const CRect kFontComboRect(6, 43, 123, 125);
const CRect kSizeComboRect(6, 67, 65, 163);
const CRect kColorButtonRect(70, 67, 121, 87);

// 8 points at the screen's 96 pixels per inch.
constexpr int kListFontHeight = -11;

const int kSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};

// The face of a LOGFONT, whatever its array holds.
CString FaceOf(const LOGFONT& lf)
{
    char face[LF_FACESIZE + 1] = {};
    std::memcpy(face, lf.lfFaceName, LF_FACESIZE);
    return CString(face);
}

// A text object that draws its text with the text gradient or with its
// picture as a texture takes no text colour.
BOOL TextHasOwnFill(const CDrawObj* pObj, const CObjectAttributes& attrs)
{
    return (attrs.m_wFlags & ATTR_FLAG_TEXT_GRADIENT) != 0 || pObj->m_pPicture != nullptr;
}

// The point size a LOGFONT height stands for, whatever a file put there.
int PointSizeOf(LONG nHeight)
{
    const long long nSize = nHeight < 0 ? -static_cast<long long>(nHeight) : nHeight;
    return nSize > 0x7FFF ? 0x7FFF : static_cast<int>(nSize);
}

// The style bits a neutral record adds.
int StyleBitsOf(const LOGFONT& lf)
{
    int nStyle = 0;
    if (lf.lfWeight > 400)
        nStyle |= WRAP_STYLE_BOLD;
    if (lf.lfItalic)
        nStyle |= WRAP_STYLE_ITALIC;
    if (lf.lfUnderline)
        nStyle |= WRAP_STYLE_UNDERLINE;
    if (lf.lfStrikeOut)
        nStyle |= WRAP_STYLE_STRIKEOUT;
    return nStyle;
}

// Changes the preferences' default text format through its one writer,
// which also stores it.
template <typename Change>
void ChangeDefaultTextFormat(Change change)
{
    LOGFONT lf{};
    COLORREF crText = 0;
    COLORREF crText2 = 0;
    WORD w1 = 0, w2 = 0, w3 = 0, w4 = 0;
    BOOL bFlag = FALSE;
    thePrefs.GetDefaultTextFormat(lf, crText, crText2, w1, w2, bFlag, w3, w4);
    change(lf, crText);
    thePrefs.SetDefaultTextFormat(lf, crText, crText2, w1, w2, bFlag, w3, w4);
}

} // namespace

// ---- Wrapped text: one change on a range ------------------------------------------------------

void ApplyRecordToWrapRange(CWrapText& text, const CObjectAttributes& attrs, int nFirst, int nLast)
{
    const CString strFace = FaceOf(attrs.m_logfont);
    const int nSize = PointSizeOf(attrs.m_logfont.lfHeight);
    const int nAddStyle = StyleBitsOf(attrs.m_logfont);
    const BOOL bColor = static_cast<LONG>(attrs.m_crText) != -1;
    const int nLength = text.GetLength();
    if (nFirst < 0)
        nFirst = 0;
    if (nLast > nLength - 1)
        nLast = nLength - 1;
    const BOOL bWhole = nLength == 0 || (nFirst == 0 && nLast == nLength - 1);

    // Each stretch of characters that share one font gets that font with
    // the change made to it.
    int nStart = nFirst;
    while (nStart <= nLast) {
        CString strRunFace;
        int nRunSize = 0, nCharSet = 0, nStyle = 0;
        text.GetFontAt(nStart, strRunFace, nRunSize, nCharSet, nStyle);
        int nEnd = nStart;
        while (nEnd < nLast) {
            CString strNext;
            int nNextSize = 0, nNextCharSet = 0, nNextStyle = 0;
            text.GetFontAt(nEnd + 1, strNext, nNextSize, nNextCharSet, nNextStyle);
            if (strNext != strRunFace || nNextSize != nRunSize || nNextCharSet != nCharSet || nNextStyle != nStyle)
                break;
            ++nEnd;
        }
        text.AddFontRun(strFace.IsEmpty() ? strRunFace : strFace, nSize != 0 ? nSize : nRunSize, nStart, nEnd,
            nCharSet, nStyle | nAddStyle);
        nStart = nEnd + 1;
    }
    if (bColor && nFirst <= nLast)
        text.SetColor(attrs.m_crText, nFirst, nLast);
    if (bWhole) {
        CString strDefault;
        int nDefaultSize = 0, nDefaultCharSet = 0, nDefaultStyle = 0;
        text.GetFontAt(-1, strDefault, nDefaultSize, nDefaultCharSet, nDefaultStyle);
        text.SetDefaultFont(strFace.IsEmpty() ? strDefault : strFace, nSize != 0 ? nSize : nDefaultSize,
            nDefaultCharSet, nDefaultStyle | nAddStyle);
        if (bColor)
            text.SetColor(attrs.m_crText, 0, kWrapTextEnd);
    }
}

// ---- CTextFormatPanel ---------------------------------------------------------------------------

CTextFormatPanel::CTextFormatPanel()
    : CToolPadPanel(NULL, TRUE, kBlockTextMenu)
{
}

CTextFormatPanel::~CTextFormatPanel() = default;

BOOL CTextFormatPanel::Create(CWnd* pParent, const CRect& rect)
{
    if (!CreatePanel(pParent, rect, kPanelId, FALSE))
        return FALSE;
    FillFontList();
    FillSizeList();
    CSurface* pView = nullptr;
    if (CDrawObj* pObj = GetSingleSelection(&pView); pObj != nullptr)
        UpdateFromObject(pObj);
    return TRUE;
}

BOOL CTextFormatPanel::OnCreatePanel()
{
    if (AddTitle(kTitle, kTitleRect, kTitle) == nullptr)
        return FALSE;
    // The lists' face is a bitmap face whose smallest size is 8 points,
    // which is what the small height the lists ask for draws at; a
    // scalable stand-in would draw 6 pixels high, so the lists ask for
    // that smallest size itself.
    m_font.CreateFont(kListFontHeight, 0, 0, 0, 400, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
        DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "MS Sans Serif");
    const DWORD dwCombo = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST;
    if (!m_fontCombo.Create(dwCombo | CBS_SORT, kFontComboRect, this, kFontCombo))
        return FALSE;
    if (!m_sizeCombo.Create(dwCombo, kSizeComboRect, this, kSizeCombo))
        return FALSE;
    if (m_font.GetSafeHandle() != NULL) {
        m_fontCombo.SetFont(&m_font);
        m_sizeCombo.SetFont(&m_font);
    }
    if (!m_colorButton.Create("", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, kColorButtonRect, this,
            kColorButton))
        return FALSE;
    for (int i = 0; i < 8; ++i) {
        const ButtonDef& def = kButtons[i];
        CPicButton* pButton = AddButton(def.nID, def.rect, def.nID, def.nPressed, def.lpszTip, TRUE);
        if (pButton == nullptr)
            return FALSE;
        pButton->ModifyStyle(0, WS_TABSTOP);
        pButton->SetBitmaps(m_hResources, def.nID, def.nPressed, 0, def.nDisabled, 0, TRUE, 0, kTransparentKey);
        m_pButtons[i] = pButton;
    }
    return TRUE;
}

CPicButton* CTextFormatPanel::ButtonAt(int nIndex) const
{
    return nIndex >= 0 && nIndex < 8 ? m_pButtons[nIndex] : nullptr;
}

void CTextFormatPanel::ShowButtonOn(int nIndex, BOOL bOn)
{
    CPicButton* pButton = ButtonAt(nIndex);
    if (pButton == nullptr)
        return;
    const ButtonDef& def = kButtons[nIndex];
    // An "on" button shows its pressed picture in every state.
    const UINT nNormal = bOn ? def.nPressed : def.nID;
    const UINT nDisabled = bOn ? def.nPressed : def.nDisabled;
    if (pButton->m_nBitmapIds[CPicButton::bmpNormal] == nNormal)
        return;
    pButton->SetBitmaps(m_hResources, nNormal, def.nPressed, 0, nDisabled, 0, TRUE, 0, kTransparentKey);
    if (pButton->m_hWnd != NULL)
        pButton->Invalidate();
}

void CTextFormatPanel::FillSizeList()
{
    m_sizeCombo.ResetContent();
    if (m_bAutoOffered || m_bFitted)
        m_sizeCombo.AddString(kAutoText);
    if (m_bFitted)
        return;
    for (int nSize : kSizes) {
        CString strSize;
        strSize.Format("%d", nSize);
        m_sizeCombo.AddString(strSize);
    }
}

void CTextFormatPanel::FillFontList()
{
    m_fontCombo.ResetContent();
    CDesignerApp* pApp = GetDesignerApp();
    if (pApp == nullptr)
        return;
    const CFontList& fonts = pApp->GetBuiltFontList();
    for (int i = 0; i < fonts.GetCount(); ++i) {
        const CFontEntry* pEntry = fonts.GetAt(i);
        if (pEntry == nullptr)
            continue;
        const CString strFace = FaceOf(pEntry->m_logFont);
        if (!strFace.IsEmpty() && m_fontCombo.FindStringExact(-1, strFace) < 0)
            m_fontCombo.AddString(strFace);
    }
}

UINT CTextFormatPanel::GetHowDoIMenu() const
{
    BOOL bBlock = m_bBlockShown;
    if (ToolpadStateForSelection(GetActiveSurface(), TRUE, &bBlock) != kToolpadText)
        bBlock = m_bBlockShown;
    return bBlock ? kBlockTextMenu : kWrappedTextMenu;
}

CString CTextFormatPanel::GetSizeText() const
{
    CString strText;
    const int nSel = m_sizeCombo.GetCurSel();
    if (nSel >= 0)
        m_sizeCombo.GetLBText(nSel, strText);
    return strText;
}

CString CTextFormatPanel::GetFaceText() const
{
    CString strText;
    const int nSel = m_fontCombo.GetCurSel();
    if (nSel >= 0)
        m_fontCombo.GetLBText(nSel, strText);
    return strText;
}

void CTextFormatPanel::UpdateFromView(CSurface* pView)
{
    if (pView == nullptr)
        return;
    if (CDrawObj* pObj = pView->GetSingleSelection(); pObj != nullptr)
        UpdateFromObject(pObj);
}

void CTextFormatPanel::ShowStyles(const CObjectAttributes& attrs)
{
    const LOGFONT& lf = attrs.m_logfont;
    const BOOL bOn[4] = {lf.lfWeight > 400, lf.lfItalic != 0, lf.lfUnderline != 0, lf.lfStrikeOut != 0};
    for (int i = 0; i < 4; ++i) {
        m_bStyleOn[i] = bOn[i];
        ShowButtonOn(i, bOn[i]);
    }
    const int nAlignment = attrs.m_bBlockText ? static_cast<int>(attrs.m_nTextValues[kBlockAlignmentValue])
                                              : static_cast<int>(attrs.m_wJustification);
    m_nAlignment = nAlignment >= 0 && nAlignment <= 3 ? nAlignment : kNoAlignment;
    for (int i = 0; i < 4; ++i)
        ShowButtonOn(4 + i, m_nAlignment == i);
}

void CTextFormatPanel::ShowSize(const CObjectAttributes& attrs, BOOL bFitted)
{
    const BOOL bAuto = attrs.m_bBlockText && attrs.m_nTextValues[CObjectAttributes::TextColumns] < 2;
    const int nCount = m_sizeCombo.GetCount();
    if (bAuto != m_bAutoOffered || bFitted != m_bFitted || (bFitted && nCount > 1) || (!bFitted && nCount == 1)) {
        m_bAutoOffered = bAuto;
        m_bFitted = bFitted;
        FillSizeList();
    }
    // Only block text sizes itself to its frame; the flag means nothing
    // for wrapped text.
    CString strSize;
    if (attrs.m_bBlockText && (attrs.m_nTextFlag & 1) != 0)
        strSize = kAutoText;
    else
        strSize.Format("%d", PointSizeOf(attrs.m_logfont.lfHeight));
    if ((strSize[0] == 'A' || strSize[0] == 'S') && !m_bAutoOffered && !m_bFitted) {
        m_bAutoOffered = TRUE;
        FillSizeList();
    }
    const int nIndex = m_sizeCombo.FindStringExact(-1, strSize);
    if (nIndex >= 0) {
        m_sizeCombo.SetCurSel(nIndex);
        m_strSizeShown = strSize;
    }
}

void CTextFormatPanel::UpdateFromObject(CDrawObj* pObj)
{
    if (pObj == nullptr || !pObj->HasText() || m_hWnd == NULL)
        return;
    m_bUpdating = TRUE;
    CObjectAttributes attrs;
    pObj->GetAttributes(attrs);
    m_bBlockShown = attrs.m_bBlockText;
    ShowStyles(attrs);

    CString strFace = FaceOf(attrs.m_logfont);
    int nFace = strFace.IsEmpty() ? -1 : m_fontCombo.FindStringExact(-1, strFace);
    if (nFace < 0) {
        strFace = g_defaultFaceName;
        nFace = m_fontCombo.FindStringExact(-1, strFace);
    }
    m_strFaceShown = strFace;
    if (nFace >= 0)
        m_fontCombo.SetCurSel(nFace);

    const BOOL bFitted = attrs.m_bBlockText && attrs.m_nTextValues[CObjectAttributes::TextWarpShape] != 0;
    ShowSize(attrs, bFitted);

    m_colorButton.EnableWindow(!TextHasOwnFill(pObj, attrs));
    if (m_colorButton.m_crColor != attrs.m_crText) {
        m_colorButton.m_crColor = attrs.m_crText;
        m_colorButton.Invalidate();
    }
    m_bUpdating = FALSE;
}

BOOL CTextFormatPanel::EditRecord(UINT nID, CObjectAttributes& attrs, BOOL bBlockText)
{
    LOGFONT& lf = attrs.m_logfont;
    switch (nID) {
    case kFontCombo: {
        const CString strFace = GetFaceText();
        if (strFace.IsEmpty())
            return FALSE;
        SetFaceName(lf, strFace);
        ChangeDefaultTextFormat([&](LOGFONT& def, COLORREF&) { SetFaceName(def, strFace); });
        return TRUE;
    }
    case kSizeCombo: {
        const CString strSize = GetSizeText();
        if (strSize.IsEmpty())
            return FALSE;
        if (strSize == kAutoText) {
            attrs.m_nTextFlag |= 1;
            return TRUE;
        }
        const int nSize = std::atoi(strSize);
        if (nSize <= 0)
            return FALSE;
        lf.lfHeight = -nSize;
        attrs.m_nTextFlag &= ~1L;
        ChangeDefaultTextFormat([&](LOGFONT& def, COLORREF&) { def.lfHeight = -nSize; });
        return TRUE;
    }
    case kColorButton: {
        const COLORREF crColor = m_colorButton.m_crColor;
        attrs.m_crText = crColor;
        ChangeDefaultTextFormat([&](LOGFONT&, COLORREF& crDefault) { crDefault = crColor; });
        return TRUE;
    }
    case kAlignLeft:
    case kAlignRight:
    case kAlignCenter:
    case kJustify: {
        int nAlignment = 0;
        for (int i = 0; i < 4; ++i)
            nAlignment = kAlignButtons[i] == nID ? i : nAlignment;
        attrs.m_nTextValues[kBlockAlignmentValue] = nAlignment;
        attrs.m_wJustification = static_cast<WORD>(nAlignment);
        return TRUE;
    }
    case kItalic:
        lf.lfItalic = bBlockText ? !m_bStyleOn[1] : 1;
        return TRUE;
    case kUnderline:
        lf.lfUnderline = bBlockText ? !m_bStyleOn[2] : 1;
        return TRUE;
    case kStrikeout:
        lf.lfStrikeOut = bBlockText ? !m_bStyleOn[3] : 1;
        return TRUE;
    case kBold:
        lf.lfWeight = bBlockText && m_bStyleOn[0] ? 400 : 700;
        return TRUE;
    default:
        return FALSE;
    }
}

void CTextFormatPanel::ApplyRecord(CDrawObj* pObj, CObjectAttributes& attrs, UINT nID, COLORREF crOwnBlockColor)
{
    // A text object's picture is its texture. A record that does not carry
    // it (no loaded picture yet) would drop it: it must come through the
    // change untouched.
    CImage* pTexture = attrs.HasPicture() ? nullptr : pObj->m_pPicture;
    if (pTexture != nullptr)
        pObj->m_pPicture = nullptr;
    if (attrs.m_bBlockText) {
        // The record's -1 keeps the colour the block has, a missing one
        // included.
        if (static_cast<LONG>(attrs.m_crText) == -1)
            attrs.m_crText = crOwnBlockColor;
        pObj->SetAttributes(attrs);
    } else {
        WORD wStart = kWrapNoSelection;
        WORD wEnd = 0;
        if (pObj->m_pWrapText != nullptr)
            pObj->m_pWrapText->GetSel(wStart, wEnd);
        // The font fields are left to the one change below; applied whole
        // they would give every character one look.
        pObj->SetAttributes(attrs, TRUE, FALSE, FALSE);
        if (CWrapText* pText = pObj->m_pWrapText; pText != nullptr) {
            if (wStart != kWrapNoSelection)
                pText->SetSel(wStart, wEnd);
            const BOOL bFontChange = nID != kAlignLeft && nID != kAlignRight && nID != kAlignCenter && nID != kJustify;
            if (bFontChange) {
                // The selection runs from its start to before its end;
                // without one the whole text changes.
                const int nLow = wStart < wEnd ? wStart : wEnd;
                const int nHigh = wStart < wEnd ? wEnd : wStart;
                const BOOL bSel = wStart != kWrapNoSelection && nHigh > nLow;
                ApplyRecordToWrapRange(*pText, attrs, bSel ? nLow : 0, bSel ? nHigh - 1 : pText->GetLength() - 1);
            }
            // An open editor lays the text out again and makes its caret
            // as tall as its line now is.
            if (pObj->m_pTextEditor != nullptr)
                pObj->m_pTextEditor->Redraw();
        }
    }
    if (pTexture != nullptr) {
        if (pObj->m_pPicture == nullptr)
            pObj->m_pPicture = pTexture;
        else
            delete pTexture;
    }
    pObj->FreeRenderCache();
    pObj->Invalidate();
}

BOOL CTextFormatPanel::MakeCommandRecord(CDrawObj* pObj, UINT nID, CObjectAttributes& attrs)
{
    if (pObj == nullptr || !pObj->HasText())
        return FALSE;
    pObj->GetAttributes(attrs);
    const BOOL bBlockText = attrs.m_bBlockText;
    attrs.m_crText = COLORREF(-1);
    if (!bBlockText) {
        // Every field but the one this command changes is neutral.
        LOGFONT& lf = attrs.m_logfont;
        lf.lfWeight = 400;
        lf.lfItalic = 0;
        lf.lfUnderline = 0;
        lf.lfStrikeOut = 0;
        std::memset(lf.lfFaceName, 0, sizeof(lf.lfFaceName));
        lf.lfHeight = 0;
    }
    return EditRecord(nID, attrs, bBlockText);
}

void CTextFormatPanel::ApplyCommand(UINT nID)
{
    if (!ToolPageFitsSelection(kToolpadText))
        return;
    CSurface* pView = nullptr;
    CDrawObj* pObj = GetSingleSelection(&pView);
    if (pObj == nullptr || pView == nullptr || pObj->m_pDocument == nullptr || !pObj->HasText())
        return;

    CObjectAttributes before;
    pObj->GetAttributes(before);
    const CTextBlock* pBlock = pObj->m_bBlockText ? pObj->GetTextBlock() : nullptr;
    const COLORREF crOwnBlockColor = pBlock != nullptr ? pBlock->m_crText : before.m_crText;
    CObjectAttributes attrs;
    if (!MakeCommandRecord(pObj, nID, attrs))
        return;

    RecordUndoProperties(pObj->m_pDocument, pObj, &before);
    ApplyRecord(pObj, attrs, nID, crOwnBlockColor);
    if (pObj->m_wFlags & OBJ_FLAG_LOCKED) {
        pObj->m_wFlags &= ~WORD(OBJ_FLAG_LOCKED);
        pObj->Invalidate();
    }

    if (!m_bFocusStays) {
        CWnd* pFocus = pView;
        if (pObj->IsTextEditActive() && pObj->m_pTextEditor != nullptr) {
            CWnd& editor = pObj->m_pTextEditor->GetEditor();
            pFocus = editor.m_hWnd != NULL ? static_cast<CWnd*>(&editor) : pObj->m_pTextEditor;
        }
        if (pFocus->m_hWnd != NULL)
            pFocus->SetFocus();
    }
    UpdateFromView(pView);
}

BOOL CTextFormatPanel::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(wParam);
    const UINT nCode = HIWORD(wParam);
    if (m_bUpdating)
        return CToolPadPanel::OnCommand(wParam, lParam);
    if ((nID == kFontCombo || nID == kSizeCombo) && nCode == CBN_SELCHANGE) {
        ApplyCommand(nID);
        return TRUE;
    }
    if (nID == kColorButton && nCode == BN_CLICKED) {
        if (m_colorButton.PickColor() != 0)
            ApplyCommand(nID);
        return TRUE;
    }
    if (nCode == BN_CLICKED) {
        for (const ButtonDef& def : kButtons) {
            if (def.nID == nID) {
                ApplyCommand(nID);
                return TRUE;
            }
        }
    }
    return CToolPadPanel::OnCommand(wParam, lParam);
}

// ---- The tool pad's factory ------------------------------------------------------------------

CToolPadPanel* CreateTextFormatPanel(CWnd* pParent, const CRect& rect)
{
    auto* pPanel = new CTextFormatPanel;
    if (!pPanel->Create(pParent, rect)) {
        DestroyToolPadPanel(pPanel);
        return nullptr;
    }
    return pPanel;
}
