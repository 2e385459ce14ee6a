// The content operations of drawing objects: text access and editing,
// information fields, mail merge, picture settings, and the geometry that
// follows the content (cropping, shrinking, turning). Giving an object a
// picture is in DrawObjPicture.cpp.

#include "model/DrawObj.h"

#include "app/Paths.h"
#include "app/RectGeometry.h"
#include "calendar/CalendarCellEdit.h"
#include "model/DrawDoc.h"
#include "model/DrawRect.h"
#include "model/ObjectAttributes.h"
#include "model/TextContentHolder.h"
#include "model/UndoRecording.h"
#include "pictures/Image.h"
#include "platform/base/Exception.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/StringArray.h"
#include "platform/ui/ClipboardText.h"
#include "platform/ui/User.h"
#include "print/MergeSource.h"
#include "surface/Surface.h"
#include "text/TextBlock.h"
#include "text/TextEditHost.h"
#include "text/TextOwner.h"
#include "text/WrapText.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

// The labels of the information fields, field 1 first.
constexpr const char* kInfoFieldLabels[12] = {
    "To:",
    "Message:",
    "Closing:",
    "From",
    "Address To:",
    "Address Return:",
    "Your Name:",
    "Company Name",
    "Recipient Name:",
    "Award For:",
    "Professional Title:",
    "Misc:",
};
constexpr WORD kInfoFieldMask = 0x0FFF;

// Crop arithmetic works in device pixels; a result beyond this many is
// not a picture any view can show, and would overflow on the way back.
constexpr double kDeviceLimit = 1e8;

// How far the wrapped-text editor's frame reaches beyond the object, in
// pixels each way.
constexpr int kTextEditorFrame = 6;

void MarkModified(CDrawDoc* pDoc)
{
    if (pDoc != nullptr)
        pDoc->SetModifiedFlag(TRUE);
}

// The document's merge source; null when there is none.
CMergeSource* MergeSourceOf(const CDrawDoc* pDoc)
{
    return pDoc != nullptr ? dynamic_cast<CMergeSource*>(pDoc->m_pMergeSource) : nullptr;
}

// A logical rectangle in the view's device pixels (corner by corner, so a
// reversed rectangle stays reversed). Without a view one unit is one pixel,
// y still growing downwards, so the crop's top is the picture's top either
// way.
CRect ToDevice(CSurface* pView, const CRect& rect)
{
    if (pView == nullptr)
        return CRect(rect.left, -rect.top, rect.right, -rect.bottom);
    CPoint a(rect.left, rect.top);
    CPoint b(rect.right, rect.bottom);
    pView->LPtoDPPoint(&a);
    pView->LPtoDPPoint(&b);
    return CRect(a.x, a.y, b.x, b.y);
}

CRect ToLogical(CSurface* pView, const CRect& rect)
{
    if (pView == nullptr)
        return CRect(rect.left, -rect.top, rect.right, -rect.bottom);
    CPoint a(rect.left, rect.top);
    CPoint b(rect.right, rect.bottom);
    pView->DPtoLPPoint(&a);
    pView->DPtoLPPoint(&b);
    return CRect(a.x, a.y, b.x, b.y);
}

BOOL FitsDevice(double value)
{
    return std::isfinite(value) && std::fabs(value) <= kDeviceLimit;
}

// The selection of the object's wrapped text as (start, end) with start <=
// end; FALSE when nothing is selected.
BOOL GetTextSelection(const CDrawObj& obj, int& nStart, int& nEnd)
{
    if (obj.m_pWrapText == nullptr)
        return FALSE;
    WORD wStart = 0;
    WORD wEnd = 0;
    obj.m_pWrapText->GetSel(wStart, wEnd);
    if (wStart == kWrapNoSelection)
        return FALSE;
    const int nLength = obj.m_pWrapText->GetLength();
    nStart = std::clamp<int>(std::min(wStart, wEnd), 0, nLength);
    nEnd = std::clamp<int>(std::max(wStart, wEnd), 0, nLength);
    return nStart < nEnd;
}

} // namespace

// ---- Text --------------------------------------------------------------------------------------

BOOL CDrawObj::HasWrappedText() const
{
    return !m_bBlockText && m_pWrapText != nullptr;
}

BOOL CDrawObj::IsTextColorNone() const
{
    const CTextBlock* pBlock = m_bBlockText ? GetTextBlock() : nullptr;
    return pBlock != nullptr && pBlock->m_crText == COLORREF(-1);
}

void CDrawObj::FreeTextCache()
{
    if (CTextBlock* pBlock = GetTextBlock())
        pBlock->FreeCache();
}

void CDrawObj::ReplaceText(int nStart, int nEnd, const CString& strText)
{
    if (m_bBlockText || m_pWrapText == nullptr)
        return;
    const int nLength = m_pWrapText->GetLength();
    nStart = std::clamp(nStart, 0, nLength);
    nEnd = std::clamp(nEnd, 0, nLength);
    if (nStart > nEnd)
        std::swap(nStart, nEnd);
    // Through the text's own replacement, so the characters around the
    // range keep their fonts and colours and the new ones take the look of
    // the first replaced one. A text that would grow past its limit is
    // refused whole (the text beeps) and stays as it was.
    if (m_pWrapText->ReplaceText(strText, nStart, nEnd - 1) < 0)
        return;
    MarkModified(m_pDocument);
    RefreshContentFlags();
    Invalidate();
}

BOOL CDrawObj::HasMergeFields() const
{
    const CTextBlock* pBlock = m_bBlockText ? GetTextBlock() : nullptr;
    return pBlock != nullptr && (pBlock->m_wFlags & TEXTBLOCK_MERGE_FIELDS) != 0;
}

BOOL CDrawObj::TextKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    CTextBlock* pBlock = m_bBlockText ? GetTextBlock() : nullptr;
    return pBlock != nullptr ? pBlock->OnKeyDown(nChar, nRepCnt, nFlags) : FALSE;
}

BOOL CDrawObj::TextChar(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    CTextBlock* pBlock = m_bBlockText ? GetTextBlock() : nullptr;
    return pBlock != nullptr ? pBlock->OnChar(nChar, nRepCnt, nFlags) : FALSE;
}

BOOL CDrawObj::TextLButtonDown(UINT nFlags, CPoint point)
{
    CTextBlock* pBlock = m_bBlockText ? GetTextBlock() : nullptr;
    return pBlock != nullptr ? pBlock->OnLButtonDown(nFlags, point) : FALSE;
}

BOOL CDrawObj::TextMouseMove(UINT nFlags, CPoint point)
{
    CTextBlock* pBlock = m_bBlockText ? GetTextBlock() : nullptr;
    return pBlock != nullptr ? pBlock->OnMouseMove(nFlags, point) : FALSE;
}

BOOL CDrawObj::TextLButtonDblClk(UINT nFlags, CPoint point)
{
    CTextBlock* pBlock = m_bBlockText ? GetTextBlock() : nullptr;
    return pBlock != nullptr ? pBlock->OnLButtonDblClk(nFlags, point) : FALSE;
}

BOOL CDrawObj::TextSetSel(int nStart, int nEnd)
{
    CTextBlock* pBlock = m_bBlockText ? GetTextBlock() : nullptr;
    if (pBlock == nullptr)
        return FALSE;
    pBlock->SetSel(nStart, nEnd);
    return TRUE;
}

void CDrawObj::BeginTextEdit()
{
    // A calendar's text lies in its cells: the selected one is edited,
    // headed by its date.
    if (IsCalendar()) {
        BeginCalendarCellEdit(*this);
        return;
    }
    if (!HasText() || (m_wFlags & OBJ_FLAG_LOCKED) || IsTextEditActive())
        return;
    if (m_bBlockText) {
        CTextBlock* pBlock = GetTextBlock();
        // The block judges its frame (a mirrored one draws no plain text to
        // edit in) from where the object lies now, not where it was drawn
        // last; a new object was never drawn.
        pBlock->SetRect(m_rectUnrotated);
        CObjectAttributes before;
        GetAttributes(before);
        if (!pBlock->BeginEdit())
            return;
        RecordUndoProperties(m_pDocument, this, &before);
        m_wFlags |= OBJ_FLAG_LOCKED;
        Invalidate();
        return;
    }
    // Wrapped text is edited in a window of its own over the object, a
    // child of the view that shows it: without a view there is nowhere to
    // put it, and nothing is begun.
    CSurface* pView = GetSurface();
    if (pView == nullptr || pView->m_hWnd == NULL)
        return;
    CRect rect = ToDevice(pView, m_rectUnrotated);
    rect.NormalizeRect();
    rect.InflateRect(kTextEditorFrame, kTextEditorFrame);
    RecordUndoProperties(m_pDocument, this);
    m_wFlags |= OBJ_FLAG_LOCKED;
    m_pWrapText->ClearSel();
    m_pWrapText->SetBackgroundColor(TextOwnerBackground(this));
    auto* pHost = new CTextEditHost(m_pWrapText, this);
    if (!pHost->Create(rect, pView)) {
        delete pHost;
        m_wFlags &= ~WORD(OBJ_FLAG_LOCKED);
        return;
    }
    m_pTextEditor = pHost;
    pHost->ShowWindow(SW_SHOW);
    pHost->SetFocus();
    // The object itself is not drawn while its editor shows the text.
    Invalidate();
}

void CDrawObj::EndTextEdit()
{
    if (!(m_wFlags & OBJ_FLAG_LOCKED) && !IsTextEditActive())
        return;
    m_wFlags &= ~WORD(OBJ_FLAG_LOCKED);
    if (CTextBlock* pBlock = GetTextBlock()) {
        if (pBlock->IsEditing())
            pBlock->EndEdit();
        pBlock->m_bEditing = FALSE;
    }
    // A calendar cell's editor holds the only copy of its new text.
    CalendarCellText cellEdit;
    const BOOL bCellEdited = GetCalendarCellEdit(*this, cellEdit);
    CloseTextEditor();
    if (m_pWrapText != nullptr) {
        m_pWrapText->m_bEditing = FALSE;
        // A selection made in the editor is not drawn on the object.
        m_pWrapText->ClearSel();
    }
    // A calendar's text is in its cells: an edit that changed none leaves
    // the calendar, and its design, as they were.
    if (IsCalendar() && !bCellEdited) {
        Invalidate();
        return;
    }
    // The edited text goes back through the record, so classes that keep
    // text state of their own take it the usual way.
    CObjectAttributes attrs;
    GetAttributes(attrs);
    if (bCellEdited) {
        // The cell changes only now: the step taken here holds the
        // calendar as it was before the edit.
        RecordUndoProperties(m_pDocument, this);
        PutCalendarCellText(attrs, cellEdit);
    }
    SetAttributes(attrs, FALSE, FALSE, FALSE, FALSE, FALSE);
    Invalidate();
}

void CDrawObj::CloseTextEditor()
{
    CTextEditHost* pHost = m_pTextEditor;
    if (pHost == nullptr)
        return;
    // Cleared first: the window's going may reach back to the object.
    m_pTextEditor = nullptr;
    if (pHost->m_hWnd != NULL) {
        const HWND hFocus = ::GetFocus();
        const BOOL bHadFocus = hFocus != NULL && (hFocus == pHost->m_hWnd || ::IsChild(pHost->m_hWnd, hFocus));
        CWnd* pParent = pHost->GetParent();
        pHost->DestroyWindow();
        // The keys go back to the view the editor sat on.
        if (bHadFocus && pParent != nullptr && pParent->m_hWnd != NULL)
            pParent->SetFocus();
    }
    delete pHost;
}

BOOL CDrawObj::HasTextSelection() const
{
    if (m_pTextEditor != nullptr)
        return m_pTextEditor->HasSelection();
    if (m_bBlockText) {
        const CTextBlock* pBlock = GetTextBlock();
        return pBlock != nullptr && pBlock->HasSelection();
    }
    int nStart = 0;
    int nEnd = 0;
    return GetTextSelection(*this, nStart, nEnd);
}

void CDrawObj::CopyText(BOOL bCut)
{
    if (m_pTextEditor != nullptr) {
        m_pTextEditor->Copy(bCut);
        return;
    }
    if (m_bBlockText) {
        // The block's selection counts in its laid text, soft breaks
        // included, which only the block itself can take apart.
        CTextBlock* pBlock = GetTextBlock();
        if (pBlock == nullptr || !pBlock->HasSelection())
            return;
        if (pBlock->Copy(bCut) && bCut) {
            MarkModified(m_pDocument);
            RefreshContentFlags();
            Invalidate();
        }
        return;
    }
    int nStart = 0;
    int nEnd = 0;
    if (!GetTextSelection(*this, nStart, nEnd))
        return;
    const CString strText = GetText();
    const CString strPart = strText.Mid(nStart, nEnd - nStart);
    if (::OpenClipboard(NULL)) {
        ::EmptyClipboard();
        const SIZE_T nBytes = static_cast<SIZE_T>(strPart.GetLength()) + 1;
        HGLOBAL hMem = ::GlobalAlloc(GMEM_MOVEABLE, nBytes);
        if (void* p = hMem != NULL ? ::GlobalLock(hMem) : nullptr) {
            std::memcpy(p, static_cast<LPCTSTR>(strPart), nBytes);
            ::GlobalUnlock(hMem);
            if (::SetClipboardData(CF_TEXT, hMem) == NULL)
                ::GlobalFree(hMem);
        } else if (hMem != NULL) {
            ::GlobalFree(hMem);
        }
        ::CloseClipboard();
    }
    if (bCut) {
        ReplaceText(nStart, nEnd, CString());
        m_pWrapText->ClearSel();
    }
}

void CDrawObj::PasteText()
{
    if (m_pTextEditor != nullptr) {
        m_pTextEditor->Paste();
        return;
    }
    if (m_bBlockText) {
        CTextBlock* pBlock = GetTextBlock();
        if (pBlock == nullptr)
            return;
        if (pBlock->Paste()) {
            MarkModified(m_pDocument);
            RefreshContentFlags();
            Invalidate();
        }
        return;
    }
    if (m_pWrapText == nullptr)
        return;
    CString strPaste;
    if (!ReadClipboardText(NULL, strPaste))
        return;
    if (strPaste.IsEmpty())
        return;
    int nStart = 0;
    int nEnd = 0;
    if (!GetTextSelection(*this, nStart, nEnd)) {
        // Without a selection the text goes in at the caret.
        nStart = GetText().GetLength();
        WORD wStart = 0;
        WORD wEnd = 0;
        m_pWrapText->GetSel(wStart, wEnd);
        if (wStart != kWrapNoSelection)
            nStart = std::min<int>(wStart, nStart);
        nEnd = nStart;
    }
    ReplaceText(nStart, nEnd, strPaste);
    m_pWrapText->ClearSel();
}

int CDrawObj::GetTextRotation() const
{
    if (m_bBlockText) {
        const CTextBlock* pBlock = GetTextBlock();
        return pBlock != nullptr ? pBlock->m_nAngle : 0;
    }
    return m_pWrapText != nullptr ? m_nTextRotation : 0;
}

int CDrawObj::GetTextDrawAngle() const
{
    const int nAngle = GetRoundedAngle();
    return nAngle != 0 ? nAngle : GetTextRotation();
}

void CDrawObj::SetTextRotation(int nAngle, BOOL bNoUndo)
{
    m_wFlags &= ~WORD(OBJ_FLAG_DRAGGING);
    if (HasText()) {
        if (!bNoUndo)
            RecordUndoProperties(m_pDocument, this);
        if (m_bBlockText) {
            CTextBlock* pBlock = GetTextBlock();
            pBlock->SetGeometry(nAngle, m_rectUnrotated, m_position);
            pBlock->FreeCache();
        } else
            m_nTextRotation = nAngle;
    }
    Invalidate();
    MarkModified(m_pDocument);
}

void CDrawObj::RotateText(int nAngle)
{
    if (!HasText())
        return;
    if (nAngle == 0)
        nAngle = GetRotateHandleAngle();
    SetTextRotation(nAngle, FALSE);
    // A picture behind the text turns with it.
    if (HasPicture())
        TurnPicture(nAngle);
    FreeRenderCache();
}

int CDrawObj::GetTextColumns() const
{
    const CTextBlock* pBlock = m_bBlockText ? GetTextBlock() : nullptr;
    return pBlock != nullptr ? pBlock->m_nColumns : 1;
}

// ---- Information fields ------------------------------------------------------------------------

CString CDrawObj::GetInfoFieldDescription() const
{
    for (int n = 11; n >= 0; --n)
        if (m_wExtraFlags & (1u << n))
            return kInfoFieldLabels[n];
    return "none";
}

int CDrawObj::GetInfoFieldGroup() const
{
    if (m_wExtraFlags & 0x0FF8)
        return 4;
    if (m_wExtraFlags & 0x0004)
        return 3;
    if (m_wExtraFlags & 0x0002)
        return 2;
    if (m_wExtraFlags & 0x0001)
        return 1;
    return 0;
}

void CDrawObj::SetInfoField(int nField)
{
    CObjectAttributes attrs;
    GetAttributes(attrs);
    attrs.m_wInfoFields = (nField >= 1 && nField <= 12) ? WORD((1u << (nField - 1)) & kInfoFieldMask) : 0;
    SetAttributes(attrs, FALSE, FALSE, FALSE, FALSE, FALSE);
}

// ---- Mail merge --------------------------------------------------------------------------------

int CDrawObj::GetMergeFieldNames(CStringArray& names) const
{
    names.RemoveAll();
    if (m_pDocument == nullptr)
        return -1;
    CMergeSource* pSource = MergeSourceOf(m_pDocument);
    return pSource != nullptr ? pSource->GetFieldNames(names) : 0;
}

CString CDrawObj::GetMergeFieldText(int nField) const
{
    CString strText;
    if (CMergeSource* pSource = MergeSourceOf(m_pDocument))
        pSource->GetFieldText(pSource->m_nCurrentRecord, nField, strText);
    return strText;
}

int CDrawObj::GetMergeFieldIndex(LPCTSTR lpszName) const
{
    CMergeSource* pSource = MergeSourceOf(m_pDocument);
    if (pSource == nullptr || lpszName == nullptr)
        return -1;
    CStringArray names;
    const int nCount = pSource->GetFieldNames(names);
    for (int i = 0; i < nCount; ++i)
        if (names[i].CompareNoCase(lpszName) == 0)
            return i;
    return -1;
}

// ---- Picture settings --------------------------------------------------------------------------

void CDrawObj::SetEmbedPicture(BOOL bEmbed)
{
    if (m_pPicture == nullptr || m_pPicture->m_nHandle < 1)
        return;
    if (bEmbed && m_pPicture->m_nHandle != kImageComposite)
        m_pPicture->m_wFlags |= IMAGE_FLAG_EMBED;
    else
        m_pPicture->m_wFlags &= ~WORD(IMAGE_FLAG_EMBED);
}

BOOL CDrawObj::IsPictureEmbedded() const
{
    return m_pPicture != nullptr && m_pPicture->m_nHandle >= 1 && m_pPicture->m_nHandle != kImageComposite
        && (m_pPicture->m_wFlags & IMAGE_FLAG_EMBED) != 0;
}

BOOL CDrawObj::GetPictureOption2() const
{
    return m_pPicture != nullptr && m_pPicture->m_nHandle >= 1 && (m_pPicture->m_wFlags & IMAGE_FLAG_PLACEHOLDER) != 0;
}

void CDrawObj::SetPictureOption2(BOOL bOn)
{
    if (m_pPicture == nullptr || m_pPicture->m_nHandle < 1)
        return;
    if (bOn)
        m_pPicture->m_wFlags |= IMAGE_FLAG_PLACEHOLDER;
    else
        m_pPicture->m_wFlags &= ~WORD(IMAGE_FLAG_PLACEHOLDER);
}

BOOL CDrawObj::GetPictureOption3() const
{
    return m_pPicture != nullptr && m_pPicture->m_nHandle >= 1 && (m_pPicture->m_wFlags & IMAGE_FLAG_TILED) != 0;
}

BOOL CDrawObj::IsPictureTranslucent() const
{
    return m_pPicture != nullptr && m_pPicture->m_nHandle >= 1
        && (m_pPicture->m_wFlags & IMAGE_FLAG_TRANSLUCENT) != 0;
}

BOOL CDrawObj::IsPictureCropped() const
{
    return m_pPicture != nullptr && m_pPicture->m_nHandle >= 1 && (m_pPicture->m_wFlags & IMAGE_FLAG_CROPPED) != 0;
}

void CDrawObj::SetPictureCropped(BOOL bOn, BOOL bSaveRect)
{
    if (m_pPicture == nullptr || m_pPicture->m_nHandle < 1)
        return;
    if (bOn) {
        if (bSaveRect && !IsPictureCropped())
            m_rectUncropped = m_position;
        m_pPicture->m_wFlags |= IMAGE_FLAG_CROPPED;
        m_wFlags |= OBJ_FLAG_CROPPED;
    } else {
        m_pPicture->m_wFlags &= ~WORD(IMAGE_FLAG_CROPPED);
        m_wFlags &= ~WORD(OBJ_FLAG_CROPPED);
    }
}

int CDrawObj::GetPictureRotation() const
{
    return m_pPicture != nullptr && m_pPicture->m_nHandle >= 1 ? m_pPicture->m_nRotation : 0;
}

BOOL CDrawObj::CanSetPictureLineColor() const
{
    return m_pPicture != nullptr && m_pPicture->IsRaster();
}

BOOL CDrawObj::HasPictureLineColor() const
{
    return CanSetPictureLineColor() && m_pPicture->HasTransparency();
}

COLORREF CDrawObj::GetPictureLineColor() const
{
    if (!CanSetPictureLineColor())
        return 0;
    BOOL bOn = FALSE;
    COLORREF crColor = 0;
    m_pPicture->GetTransparency(bOn, crColor);
    return crColor;
}

void CDrawObj::SetPictureLineColor(BOOL bOn, COLORREF crColor)
{
    if (!CanSetPictureLineColor())
        return;
    m_pPicture->SetTransparency(bOn, &crColor);
    Invalidate();
    MarkModified(m_pDocument);
}

void CDrawObj::ApplyPictureEffect(int nEffect)
{
    if (m_pPicture == nullptr || m_pPicture->m_nHandle < 1)
        return;
    // Quick effects change the picture at once (a vector picture is
    // rasterised at the object's size first); the undo step keeps it as it
    // was.
    RecordUndoPictureEffect(m_pDocument, this, nEffect);
    m_pPicture->ApplyQuickEffect(nEffect, m_position);
    FreeRenderCache();
    Invalidate();
    MarkModified(m_pDocument);
}

CString CDrawObj::GetPictureFileName() const
{
    return m_pPicture != nullptr && m_pPicture->m_nHandle >= 1 ? m_pPicture->GetPathName() : CString();
}

void CDrawObj::SetPictureFileName(LPCTSTR lpszPath)
{
    if (m_pPicture != nullptr)
        m_pPicture->m_strPath = lpszPath != nullptr ? lpszPath : "";
}

CString CDrawObj::SavePictureToTempFile()
{
    CString strPath;
    if (m_pPicture == nullptr || m_pPicture->m_nHandle < 1)
        return strPath;
    // A picture that cannot be written (the user was told) gives no file.
    try {
        m_pPicture->SaveToTempFile(strPath, FALSE);
    } catch (CException* e) {
        e->Delete();
        strPath.Empty();
    }
    return strPath;
}

void CDrawObj::SetPictureDisplaySize(int cx, int cy)
{
    if (m_pPicture != nullptr && m_pPicture->m_nHandle >= 1)
        m_pPicture->SetDisplaySize(cx, cy);
}

void CDrawObj::RemovePicture()
{
    if (m_pPicture == nullptr)
        return;
    const BOOL bHadImage = m_pPicture->m_nHandle >= 1;
    delete m_pPicture;
    m_pPicture = nullptr;
    RefreshContentFlags();
    if (bHadImage)
        Invalidate();
}

// ---- Geometry of the content -------------------------------------------------------------------

void CDrawObj::SetRect(const CRect& rect, BOOL bResize)
{
    Invalidate();
    m_position = rect;
    // The handles are laid on the unturned rectangle: an unturned object
    // keeps it equal to its position.
    if (GetRoundedAngle() == 0)
        m_rectUnrotated = rect;
    if (bResize && m_pPicture != nullptr) {
        const CRect normal = NormalizeUp(rect);
        m_pPicture->SetDisplaySize(normal.Width(), normal.top - normal.bottom);
    }
    Invalidate();
    MarkModified(m_pDocument);
}

void CDrawObj::ShrinkByPercent(int nPercent, BOOL bHorizontal, BOOL bVertical)
{
    // Single precision on purpose: 10 percent off 200 must give 180, which
    // the same figures in double precision truncate to 179.
    const float fFactor = 1.0f - static_cast<float>(nPercent) * 0.01f;
    CRect rect = m_position;
    if (bHorizontal)
        rect.right = rect.left + static_cast<int>(static_cast<float>(rect.Width()) * fFactor);
    if (bVertical)
        rect.bottom = rect.top + static_cast<int>(static_cast<float>(rect.Height()) * fFactor);
    SetRect(rect, TRUE);
}

// The crop values describe the cropped part of the picture as fractions of
// the whole: (m_dCropLeft, m_dCropTop) its corner, m_dCropWidth and
// m_dCropHeight its size, each with a base value added. The fractions run
// from the picture's far side on an axis where the object shows in its
// normal order; SetCrop and GetFullPictureRect share that one rule, so that
// cropping and asking for the whole picture give back the rectangle it
// covered, in every mirror state and for reversed rectangles. The
// arithmetic is on the normalised device rectangle; the answer takes
// m_position's orientation.

CRect CDrawObj::GetFullPictureRect()
{
    if (m_dCropLeft == 0.0 && m_dCropTop == 0.0 && m_dCropWidth == 1.0 && m_dCropHeight == 1.0)
        return m_position;
    CSurface* pView = GetSurface();
    CRect r = ToDevice(pView, m_position);
    r.NormalizeRect();
    const double fw = m_dCropWidth + m_dBaseWidth;
    const double fh = m_dCropHeight + m_dBaseHeight;
    // Sums read from a file may be 0, negative or not numbers at all: such
    // values describe no picture, which is then shown uncropped.
    if (!(std::isfinite(fw) && fw > 0.0 && std::isfinite(fh) && fh > 0.0))
        return m_position;
    double fx = m_dBaseLeft + m_dCropLeft;
    double fy = m_dCropTop + m_dBaseTop;
    if (IsOrientedX())
        fx = 1.0 - fx - fw;
    if (IsOrientedY())
        fy = 1.0 - fy - fh;
    const double sx = r.Width() / fw;
    const double sy = r.Height() / fh;
    // Rounded half up on both sides of 0, so a picture reaching past the
    // view's origin is not a pixel short there.
    const double left = std::floor(r.left - sx * fx + 0.5);
    const double top = std::floor(r.top - sy * fy + 0.5);
    const double right = std::floor(r.left - sx * fx + sx + 0.5);
    const double bottom = std::floor(r.top - sy * fy + sy + 0.5);
    if (!FitsDevice(left) || !FitsDevice(top) || !FitsDevice(right) || !FitsDevice(bottom))
        return m_position;
    const CRect full(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right), static_cast<int>(bottom));
    return OrientRectLike(NormalizeUp(ToLogical(pView, full)), m_position);
}

void CDrawObj::SetCrop(double dLeft, double dTop, double dWidth, double dHeight)
{
    if (m_pPicture == nullptr || m_pPicture->m_nHandle < 1)
        return;
    if (!std::isfinite(dLeft) || !std::isfinite(dTop) || !std::isfinite(dWidth) || !std::isfinite(dHeight))
        return;
    CSurface* pView = GetSurface();
    CRect r = ToDevice(pView, GetFullPictureRect());
    r.NormalizeRect();
    const double W = r.Width();
    const double H = r.Height();
    if (!FitsDevice(dLeft * W) || !FitsDevice(dWidth * W) || !FitsDevice(dTop * H) || !FitsDevice(dHeight * H))
        return;
    const int dx = static_cast<int>(dLeft * W + 0.5);
    int dw = static_cast<int>(dWidth * W + 0.5);
    if (dw < 2)
        dw = 1;
    const int dy = static_cast<int>(dTop * H + 0.5);
    int dh = static_cast<int>(dHeight * H + 0.5);
    if (dh < 2)
        dh = 1;
    if (IsOrientedX()) {
        r.right -= dx;
        r.left = r.right - dw;
    } else {
        r.left += dx;
        r.right = r.left + dw;
    }
    if (IsOrientedY()) {
        r.bottom -= dy;
        r.top = r.bottom - dh;
    } else {
        r.top += dy;
        r.bottom = r.top + dh;
    }
    const CRect cropped = ToLogical(pView, r);
    m_dCropLeft = dLeft;
    m_dCropTop = dTop;
    m_dCropWidth = dWidth;
    m_dCropHeight = dHeight;
    const BOOL bCropped = !(dWidth == 1.0 && dHeight == 1.0 && dLeft == 0.0 && dTop == 0.0);
    SetPictureCropped(bCropped, bCropped);
    SetRect(OrientRectLike(NormalizeUp(cropped), m_position), TRUE);
}

void CDrawObj::RotatePicture(int nAngle, const ObjectFrame* pBefore)
{
    if (m_pPicture == nullptr || m_pPicture->m_nHandle < 1)
        return;
    m_wFlags &= ~WORD(OBJ_FLAG_DRAGGING);
    if (nAngle == 0)
        nAngle = GetRotateHandleAngle();
    if (NormalizeDegrees(nAngle) != NormalizeDegrees(m_pPicture->m_nRotation)) {
        // The turn rebuilds the pixels and reshapes the unaltered raster:
        // the step keeps the picture as it was, not only its frame.
        RecordUndoPictureTurn(m_pDocument, this, pBefore);
        TurnPicture(nAngle);
        // The frame, its handles and the shape that clips the picture turn
        // with it, whoever asked for the turn (the handle's drag has set
        // the angle already; the Rotate dialog has not).
        if (NormalizeDegrees(GetRoundedAngle()) != NormalizeDegrees(nAngle))
            SetAngle(NormalizeDegrees(nAngle));
        MarkModified(m_pDocument);
    }
    for (int n = 1; n <= 9; ++n)
        UpdateMarker(n);
    FreeRenderCache();
    Invalidate();
}

void CDrawObj::TurnPicture(int nAngle)
{
    // The picture turns inside its unturned frame; the position becomes the
    // turned bounds and keeps the way the object's rectangle ran (designs
    // count y upwards).
    const CRect rectBefore = m_position;
    CRect rectBounds = m_position;
    if (m_pPicture->RotateWithWaitCursor(nAngle, rectBounds, m_rectUnrotated, RGB(255, 255, 255), TRUE) == 0)
        return;
    rectBounds.NormalizeRect();
    if (rectBefore.left > rectBefore.right)
        std::swap(rectBounds.left, rectBounds.right);
    if (rectBefore.top >= rectBefore.bottom)
        std::swap(rectBounds.top, rectBounds.bottom);
    m_position = rectBounds;
}

int CDrawObj::GetRotateHandleAngle() const
{
    // The marker's centre about the centre of the rectangle the turn began
    // from, rounded half away from zero.
    const CPoint center = GetRectCenter(m_rectRotateRef.left, m_rectRotateRef.top, m_rectRotateRef.right,
        m_rectRotateRef.bottom);
    const CPoint marker = m_handles[kRotateHandle - 1].GetRotatedCenter();
    return RoundHalfAwayFromZero(AngleBetween(center.x, center.y, marker.x, marker.y));
}

void CDrawObj::RotateShape(int nAngle)
{
    m_wFlags &= ~WORD(OBJ_FLAG_DRAGGING);
    MarkModified(m_pDocument);
    if (nAngle == 0)
        nAngle = GetRotateHandleAngle();
    nAngle %= 360;
    m_nAngle = nAngle;
    CObjectAttributes attrs;
    GetAttributes(attrs);
    // The record reports 0..359: -90 and 270 are the same turn.
    if (NormalizeDegrees(nAngle) != NormalizeDegrees(attrs.m_nRotation)) {
        RecordUndoProperties(m_pDocument, this, &attrs);
        SetAngle(nAngle);
        if (auto* pRect = dynamic_cast<CDrawRect*>(this)) {
            pRect->m_position = pRect->m_rectUnrotated;
            pRect->RelayOutline();
        }
    }
    Invalidate();
}
