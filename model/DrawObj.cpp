#include "model/DrawObj.h"

#include "app/PrefData.h"
#include "app/PrintPrefData.h"
#include "app/RectGeometry.h"
#include "calendar/DayCellObj.h"
#include "model/DrawDoc.h"
#include "model/ObjectAttributes.h"
#include "model/TextContentHolder.h"
#include "model/TextOwnerServices.h"
#include "pictures/Image.h"
#include "platform/base/Exception.h"
#include "text/TextBlock.h"
#include "text/TextEditHost.h"
#include "text/WrapText.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>

// Geometry, handles and hit tests are in DrawObjGeometry.cpp, the banded
// fill in DrawObjFill.cpp, moving, sizing and opening in DrawObjTracking.cpp.

IMPLEMENT_SERIAL(CDrawObj, CObject, 1)

DWORD CDrawObj::s_nNextSerial = 0;

// ---- Construction and lifetime -----------------------------------------------------------------

CDrawObj::CDrawObj()
{
    Init();
}

CDrawObj::CDrawObj(const CRect& position)
{
    Init();
    m_position = position;
    m_rectUnrotated = position;
}

CDrawObj::~CDrawObj()
{
    DeleteContent();
    m_nAlive = 0;
}

void CDrawObj::DeleteContent()
{
    // The editor works on the wrapped text, so it goes first.
    CloseTextEditor();
    delete m_pPicture;
    m_pPicture = nullptr;
    delete m_pTextHolder;
    m_pTextHolder = nullptr;
    delete m_pWrapText;
    m_pWrapText = nullptr;
    delete m_pCache;
    m_pCache = nullptr;
    for (POSITION pos = m_calendarShapes.GetHeadPosition(); pos != nullptr;)
        delete m_calendarShapes.GetNext(pos);
    m_calendarShapes.RemoveAll();
    DeleteCellList(m_dayCells);
    DeleteCellList(m_weekCells);
    DeleteCellList(m_monthCells);
    m_bmpCache.DeleteObject();
}

void CDrawObj::Init()
{
    RegisterTextOwnerServices();
    m_nSerial = s_nNextSerial++;
    m_nConstructed = 1;
    m_nAlive = 1;
    m_position.SetRectEmpty();
    m_rectUnrotated.SetRectEmpty();
    m_rectUncropped.SetRectEmpty();
    m_nCalendarIndex = -1;
    m_nRotateHandleOffset = 0;
    m_bCellHit = FALSE;
    m_pDocument = nullptr;
    m_pSurface = nullptr;
    m_bPressed = FALSE;
    m_bRotateDrag = FALSE;
    m_bDetached = FALSE;
    m_bAlwaysEmbed = FALSE;
    m_bAutoOutline = FALSE;
    m_bOutline = TRUE;
    m_logpen = LOGPEN{};
    m_logpen.lopnStyle = PS_INSIDEFRAME;
    m_logpen.lopnColor = RGB(0, 0, 0);
    m_bFill = FALSE;
    m_logbrush = LOGBRUSH{};
    m_logbrush.lbStyle = BS_SOLID;
    m_nContentWord = -1;
    m_pPicture = nullptr;
    m_nTextRotation = 0;
    m_bCropMode = FALSE;
    m_pTextHolder = nullptr;
    m_pWrapText = nullptr;
    m_pTextEditor = nullptr;
    m_pCache = nullptr;
    m_bBlockText = FALSE;
    m_bWrapFlag = TRUE;
    m_wFlags = OBJ_FLAGS_DEFAULT;
    m_wTextFlags = (thePrefs.AddlFlags & PREF_ADDL_TEXT_FORMAT_FLAG) ? OBJ_TEXT_SHADOW : 0;
    m_wExtraFlags = 0;
    m_wObjectWord = 0;
    m_dCropLeft = 0.0;
    m_dCropTop = 0.0;
    m_dCropWidth = 1.0;
    m_dCropHeight = 1.0;
    m_dBaseLeft = 0.0;
    m_dBaseTop = 0.0;
    m_dBaseWidth = 0.0;
    m_dBaseHeight = 0.0;
    m_dAngle = 0.0;
    m_nAngle = 0;
    m_bFlipX = FALSE;
    m_bFlipY = FALSE;
    m_ptRotateCenter = CPoint(0, 0);
    m_nHitHandle = 0;
    m_rectRotateRef.SetRectEmpty();
    m_sizeMarker = CSize(0, 0);
    for (CRotatedRect& marker : m_handles)
        marker.Reset();
    // The calendar's own fields; the calendars reset the rest of theirs.
    m_rectCell.SetRectEmpty();
    m_nCellKind = 0;
    m_strCalendarA.Empty();
    m_strCalendarB.Empty();
    for (CString& str : m_strCalendarNames)
        str.Empty();
    m_strCalendarC.Empty();
}

DWORD CDrawObj::GetNextSerial()
{
    return s_nNextSerial;
}

void CDrawObj::Invalidate()
{
    if (m_pDocument != nullptr)
        m_pDocument->UpdateAllViews(nullptr, HINT_OBJECT_CHANGED, this);
}

CRect CDrawObj::GetNormalizedPosition() const
{
    return NormalizeUp(m_position);
}

// ---- Content -----------------------------------------------------------------------------------

CTextBlock* CDrawObj::GetTextBlock() const
{
    return m_pTextHolder != nullptr ? m_pTextHolder->GetBlock() : nullptr;
}

BOOL CDrawObj::HasText() const
{
    if (const_cast<CDrawObj*>(this)->IsCalendar())
        return FALSE;
    if (m_bBlockText) {
        const CTextBlock* pBlock = GetTextBlock();
        return pBlock != nullptr && pBlock->GetLength() > 0;
    }
    return m_pWrapText != nullptr;
}

BOOL CDrawObj::HasPicture() const
{
    return m_pPicture != nullptr && m_pPicture->m_nHandle >= 1 && !HasText();
}

BOOL CDrawObj::IsTextEditActive() const
{
    if (m_pTextEditor != nullptr)
        return TRUE;
    const CTextBlock* pBlock = m_bBlockText ? GetTextBlock() : nullptr;
    return pBlock != nullptr && pBlock->m_bEditing;
}

CString CDrawObj::GetText() const
{
    if (m_bBlockText) {
        const CTextBlock* pBlock = GetTextBlock();
        return pBlock != nullptr ? pBlock->GetText() : CString();
    }
    return m_pWrapText != nullptr ? m_pWrapText->GetText() : CString();
}

void CDrawObj::SetText(const CString& strText, BOOL bBlockText)
{
    m_bBlockText = bBlockText ? TRUE : FALSE;
    if (m_bBlockText) {
        if (m_pTextHolder == nullptr)
            m_pTextHolder = new CTextContentHolder(this);
        m_pTextHolder->GetBlock()->SetText(strText);
    } else {
        if (m_pWrapText == nullptr)
            m_pWrapText = new CWrapText(this);
        m_pWrapText->SetText(strText);
    }
    if (m_pDocument != nullptr)
        m_pDocument->SetModifiedFlag(TRUE);
    RefreshContentFlags();
    Invalidate();
}

CSize CDrawObj::GetNaturalSize() const
{
    if (m_pPicture != nullptr) {
        SIZE size{0, 0};
        m_pPicture->GetSize(size, FALSE);
        if (size.cx > 0 && size.cy > 0)
            return size;
    }
    CSize size;
    if (GetBlockTextSize(size))
        return size;
    return CSize(100, 100);
}

void CDrawObj::FreeRenderCache()
{
    delete m_pCache;
    m_pCache = nullptr;
    m_bmpCache.DeleteObject();
    if (CTextBlock* pBlock = GetTextBlock())
        pBlock->FreeCache();
}

BOOL CDrawObj::IsRotated() const
{
    return GetRoundedAngle() != 0 || GetContentRotation() != 0.0;
}

double CDrawObj::GetContentRotation() const
{
    if (m_pPicture != nullptr && m_pPicture->m_nRotation % 360 != 0)
        return m_pPicture->m_nRotation;
    if (const CTextBlock* pBlock = m_bBlockText ? GetTextBlock() : nullptr)
        return pBlock->m_nAngle;
    if (m_pWrapText != nullptr)
        return m_nTextRotation;
    return 0.0;
}

int CDrawObj::GetRoundedAngle() const
{
    return NormalizeDegrees(RoundHalfAwayFromZero(m_dAngle));
}

int CDrawObj::GetRecordAngle() const
{
    return GetShapeKind() == kLineShapeKind ? 0 : GetRoundedAngle();
}

// ---- The virtual interface ---------------------------------------------------------------------

void CDrawObj::RefreshContentFlags()
{
    const BOOL bText = HasText();
    const BOOL bPicture = HasPicture();
    if (m_wFlags & OBJ_FLAG_AUTO_OUTLINE) {
        m_bOutline = (!bText && !bPicture) ? TRUE : FALSE;
        m_bAutoOutline = TRUE;
    } else {
        m_bAutoOutline = FALSE;
    }
    // Bit 0x0020 of the printing word is also the Printing page's shaped-text
    // method 3: the one bit serves both.
    if (m_bFill)
        m_bFill = (!bPicture && (!bText || (thePrintPrefs.Printing & PRINT_PREF_SHAPED_METHOD3))) ? TRUE : FALSE;
}

void CDrawObj::SetLineColor(COLORREF crColor)
{
    m_logpen.lopnColor = crColor;
    Invalidate();
    if (m_pDocument != nullptr)
        m_pDocument->SetModifiedFlag(TRUE);
}

void CDrawObj::SetFillColor(COLORREF crColor)
{
    m_logbrush.lbColor = crColor;
    Invalidate();
    if (m_pDocument != nullptr)
        m_pDocument->SetModifiedFlag(TRUE);
}

void CDrawObj::SetValueC(int nValue)
{
    (void)nValue;
}

int CDrawObj::GetValueA()
{
    return 0;
}

void CDrawObj::SetValueA(int nValue)
{
    (void)nValue;
}

int CDrawObj::GetValueB()
{
    return 0;
}

void CDrawObj::SetValueB(int nValue)
{
    (void)nValue;
}

int CDrawObj::GetReservedValue()
{
    return 0;
}

BOOL CDrawObj::IsShape()
{
    return !HasText() && !HasPicture();
}

BOOL CDrawObj::IsFillable()
{
    return FALSE;
}

BOOL CDrawObj::IsOleObject()
{
    return FALSE;
}

BOOL CDrawObj::IsCalendar()
{
    return FALSE;
}

int CDrawObj::GetShapeKind() const
{
    return 0;
}

void CDrawObj::GetAttributes(CObjectAttributes& attrs, int nFlag)
{
    (void)nFlag;
    attrs.m_rect = m_rectUncropped;
    attrs.m_bOutline = m_bOutline;
    attrs.m_logpen = m_logpen;
    attrs.m_bFill = m_bFill;
    attrs.m_logbrush = m_logbrush;
    attrs.m_crHatchBackground = m_nContentWord;
    attrs.m_wFlags = m_wFlags;
    attrs.m_wTextFlags = m_wTextFlags;
    attrs.m_wInfoFields = m_wExtraFlags;
    attrs.m_wGroup = m_wObjectWord;
    // The base record carries the angle too: SetAttributes applies the
    // record's rotation, so a record without it would straighten the object.
    attrs.m_nRotation = GetRoundedAngle();
    attrs.m_nCalendarStart = 0;
    attrs.m_bBlockText = m_bBlockText;
    attrs.m_bWordWrap = m_bWrapFlag;
    attrs.m_dCropLeft = m_dCropLeft;
    attrs.m_dCropTop = m_dCropTop;
    attrs.m_dCropWidth = m_dCropWidth;
    attrs.m_dCropHeight = m_dCropHeight;
    attrs.m_dBaseLeft = m_dBaseLeft;
    attrs.m_dBaseTop = m_dBaseTop;
    attrs.m_dBaseWidth = m_dBaseWidth;
    attrs.m_dBaseHeight = m_dBaseHeight;
    if (m_pPicture != nullptr) {
        SIZE size{0, 0};
        m_pPicture->GetSize(size, FALSE);
        if (size.cx == 0 && size.cy == 0)
            m_pPicture->GetSize(size, TRUE);
        attrs.m_sizePicture = size;
    }
}

void CDrawObj::SetAttributes(const CObjectAttributes& attrs, BOOL bPictureSource, BOOL bKeepMirror, BOOL bApplyFont,
    BOOL bOption4, BOOL bCellOption)
{
    (void)bPictureSource;
    (void)bKeepMirror;
    (void)bApplyFont;
    (void)bOption4;
    (void)bCellOption;
    m_rectUncropped = attrs.m_rect;
    m_bOutline = attrs.m_bOutline;
    m_logpen = attrs.m_logpen;
    m_bFill = attrs.m_bFill;
    m_logbrush = attrs.m_logbrush;
    m_nContentWord = attrs.m_crHatchBackground;
    m_wFlags = attrs.m_wFlags;
    m_wTextFlags = attrs.m_wTextFlags;
    m_wExtraFlags = attrs.m_wInfoFields;
    m_wObjectWord = attrs.m_wGroup;
    m_dAngle = attrs.m_nRotation;
    m_nAngle = attrs.m_nRotation;
    m_bBlockText = attrs.m_bBlockText;
    m_bWrapFlag = attrs.m_bWordWrap;
    m_dCropLeft = attrs.m_dCropLeft;
    m_dCropTop = attrs.m_dCropTop;
    m_dCropWidth = attrs.m_dCropWidth;
    m_dCropHeight = attrs.m_dCropHeight;
    m_dBaseLeft = attrs.m_dBaseLeft;
    m_dBaseTop = attrs.m_dBaseTop;
    m_dBaseWidth = attrs.m_dBaseWidth;
    m_dBaseHeight = attrs.m_dBaseHeight;
    if (m_pPicture != nullptr)
        m_pPicture->SetDisplaySize(attrs.m_sizePicture.cx, attrs.m_sizePicture.cy);
    RefreshContentFlags();
    if (m_pDocument != nullptr) {
        if ((m_wFlags & OBJ_FLAG_NATURAL_SIZE) && NormalizeDegrees(attrs.m_nRotation) == 0) {
            const CSize size = GetNaturalSize();
            FitToProportions(size.cx, size.cy, 0, nullptr);
        } else {
            Invalidate();
        }
        m_pDocument->SetModifiedFlag(TRUE);
    }
    FreeRenderCache();
}

void CDrawObj::Draw(CDC* pDC)
{
    (void)pDC;
}

CDrawObj* CDrawObj::Clone(CDrawDoc* pDoc, CSurface* pView)
{
    return CloneInto(new CDrawObj(m_position), pDoc, pView);
}

CDrawObj* CDrawObj::CloneInto(CDrawObj* pClone, CDrawDoc* pDoc, CSurface* pView)
{
    CObjectAttributes attrs;
    GetAttributes(attrs);
    pClone->m_rectUnrotated = m_rectUnrotated;
    pClone->SetAttributes(attrs, TRUE, FALSE, TRUE, FALSE, FALSE);
    // The record does not carry the content itself: the picture and the
    // text are copied whole.
    if (m_pPicture != nullptr) {
        pClone->m_pPicture = new CImage;
        pClone->m_pPicture->Copy(*m_pPicture);
    }
    if (m_pTextHolder != nullptr) {
        pClone->m_pTextHolder = new CTextContentHolder(pClone);
        pClone->m_pTextHolder->GetBlock()->CopyFrom(*m_pTextHolder->GetBlock());
        pClone->m_pTextHolder->m_sizeCached = m_pTextHolder->m_sizeCached;
        // The copy is not being edited, whatever this one is.
        CTextBlock* pCopy = pClone->m_pTextHolder->GetBlock();
        pCopy->m_bEditing = FALSE;
        pCopy->m_bDragging = FALSE;
        pCopy->SetSel(0, 0);
        pCopy->FreeCache();
    }
    if (m_pWrapText != nullptr) {
        pClone->m_pWrapText = new CWrapText(pClone);
        pClone->m_pWrapText->CopyFrom(*m_pWrapText);
        pClone->m_pWrapText->ClearSel();
    }
    pClone->m_nTextRotation = m_nTextRotation;
    pClone->m_bFlipX = m_bFlipX;
    pClone->m_bFlipY = m_bFlipY;
    pClone->RefreshContentFlags();
    pClone->m_wFlags &= ~WORD(OBJ_FLAG_LOCKED);
    pClone->Invalidate();
    if (pDoc != nullptr && !pDoc->AddObject(pClone, pView))
        return nullptr; // the document deleted it
    return pClone;
}

CSize CDrawObj::GetLinePadding() const
{
    return CSize(0, 0);
}

CSize CDrawObj::PaddingForPen(LONG nWidth)
{
    // A thousand inches each way is more than any page, and far from the
    // ends of the coordinates that rectangles inflated by it must keep.
    constexpr int64_t kMaxPadding = 100000;
    const int nPadding = static_cast<int>(std::min<int64_t>(std::llabs(static_cast<int64_t>(nWidth)), kMaxPadding));
    return CSize(nPadding, nPadding);
}

CRect CDrawObj::NormalizeUp(const CRect& rect)
{
    CRect r = rect;
    if (r.left > r.right)
        std::swap(r.left, r.right);
    if (r.top < r.bottom)
        std::swap(r.top, r.bottom);
    return r;
}

int CDrawObj::NormalizeDegrees(int nAngle)
{
    nAngle %= 360;
    return nAngle < 0 ? nAngle + 360 : nAngle;
}
