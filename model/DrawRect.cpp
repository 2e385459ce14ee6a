#include "model/DrawRect.h"

#include "app/JulianDate.h"
#include "app/FontHelpers.h"
#include "calendar/DayCellObj.h"
#include "model/DrawDoc.h"
#include "model/TextContentHolder.h"
#include "pictures/Image.h"
#include "platform/base/Exception.h"
#include "platform/ui/User.h"
#include "text/TextBlock.h"
#include "text/WrapText.h"

#include <cstdlib>
#include <cstring>

// The outlines, the region pass and drawing are in DrawRectDraw.cpp.

IMPLEMENT_SERIAL(CDrawRect, CDrawObj, 1)

namespace {

// The record's picture values, in order: palette value, load mode,
// transparent colour, rotation, source id, plain paint.
enum { PicPalette = 0, PicLoadMode = 1, PicTransparent = 2, PicRotation = 3, PicSource = 4, PicPlainPaint = 5 };
static_assert(int(PicTransparent) == int(CObjectAttributes::PictureTransparentColor));

// The record's block-text values: three layout words, the warp shape, the
// alignment (the one block setting the text dialogs change that has no
// field of its own), the column count and the rotation.
enum { TextLeftMargin = 0, TextRightMargin = 1, TextLayoutWord = 2, TextAlignment = 4 };

// The record asks for the window-text colour with -1 or -2.
COLORREF RecordTextColor(COLORREF crColor)
{
    const LONG n = static_cast<LONG>(crColor);
    return n == -1 || n == -2 ? ::GetSysColor(COLOR_WINDOWTEXT) : crColor;
}

// The look the record's font fields give wrapped text: a font and a
// colour.
struct WrapLook {
    CString strFace;
    int nSize = 0;
    int nCharSet = 0;
    int nStyle = 0;
    COLORREF crColor = 0;

    // Faces compare as far as the record's LOGFONT holds them: a longer
    // face comes back from the record cut short.
    bool operator==(const WrapLook& other) const
    {
        return strFace.Left(LF_FACESIZE - 1) == other.strFace.Left(LF_FACESIZE - 1) && nSize == other.nSize
            && nCharSet == other.nCharSet && nStyle == other.nStyle && crColor == other.crColor;
    }
};

// Where the record's font fields are read from: the selection's start,
// or the first character.
int LookPosition(const CWrapText& text)
{
    WORD wStart = 0;
    WORD wEnd = 0;
    text.GetSel(wStart, wEnd);
    return wStart == kWrapNoSelection ? 0 : wStart;
}

WrapLook LookAt(const CWrapText& text, int nPosition)
{
    WrapLook look;
    text.GetFontAt(nPosition, look.strFace, look.nSize, look.nCharSet, look.nStyle);
    look.crColor = text.GetColorAt(nPosition, FALSE);
    return look;
}

// A face or size the record leaves out (empty, 0) keeps the text's own.
WrapLook LookOfRecord(const CObjectAttributes& attrs, const CWrapText& text)
{
    WrapLook look;
    char face[LF_FACESIZE + 1] = {};
    std::memcpy(face, attrs.m_logfont.lfFaceName, LF_FACESIZE);
    look.strFace = face;
    look.nSize = std::abs(attrs.m_logfont.lfHeight);
    CString strDefaultFace;
    int nDefaultSize = 0;
    int nDefaultCharSet = 0;
    int nDefaultStyle = 0;
    text.GetFontAt(-1, strDefaultFace, nDefaultSize, nDefaultCharSet, nDefaultStyle);
    if (look.strFace.IsEmpty())
        look.strFace = strDefaultFace;
    if (look.nSize == 0)
        look.nSize = nDefaultSize;
    look.nCharSet = attrs.m_logfont.lfCharSet;
    if (attrs.m_logfont.lfWeight == 700)
        look.nStyle |= WRAP_STYLE_BOLD;
    if (attrs.m_logfont.lfItalic)
        look.nStyle |= WRAP_STYLE_ITALIC;
    if (attrs.m_logfont.lfUnderline)
        look.nStyle |= WRAP_STYLE_UNDERLINE;
    if (attrs.m_logfont.lfStrikeOut)
        look.nStyle |= WRAP_STYLE_STRIKEOUT;
    look.crColor = RecordTextColor(attrs.m_crText);
    return look;
}

// Gives the whole text one font and colour. A record that only repeats
// the look of the character it was read from (every record read from the
// object and handed back, as undo and cloning do) changes nothing:
// applying it would flatten rich text to that one character's look.
void ApplyLookToText(CWrapText& text, const WrapLook& look, int nReadFrom)
{
    if (nReadFrom >= 0 && look == LookAt(text, nReadFrom))
        return;
    text.SetDefaultFont(look.strFace, look.nSize, look.nCharSet, look.nStyle);
    text.SetColor(look.crColor, 0, kWrapTextEnd);
    // A run over the whole text takes the place of every run inside it.
    const int nLast = text.GetLength() - 1;
    if (nLast >= 0) {
        text.AddFontRun(look.strFace, look.nSize, 0, nLast, look.nCharSet, look.nStyle);
        text.SetColor(look.crColor, 0, nLast);
    }
}

} // namespace

// ---- Construction and lifetime -----------------------------------------------------------------

CDrawRect::CDrawRect()
{
    CJulianDate today;
    today.SetToday();
    m_nSecondDate = static_cast<LONG>(today.GetDayNumber());
    ResetCalendarData();
}

CDrawRect::CDrawRect(const CRect& position, int nShape)
    : CDrawRect()
{
    m_position = position;
    m_rectUnrotated = position;
    // Kept as given: an unknown kind draws as a rectangle but stays what it was.
    m_nShape = nShape;
}

CDrawRect::~CDrawRect()
{
    DeleteDayPageItems();
}

void CDrawRect::DeleteDayPageItems()
{
    for (POSITION pos = m_dayPageItems.GetHeadPosition(); pos != nullptr;)
        delete m_dayPageItems.GetNext(pos);
    m_dayPageItems.RemoveAll();
}

void CDrawRect::ResetCalendarData()
{
    m_nCalendarStart = 0;
    m_nCalendarExtra = 0;
    static constexpr LONG kWords[5] = {0, CALENDAR_YEAR, 0, 6, 1};
    std::memcpy(m_nCalendarWords, kWords, sizeof(m_nCalendarWords));
    std::memset(m_nCalendarValues, 0, sizeof(m_nCalendarValues));
    m_nCalendarOptions[0] = 1;
    m_nCalendarOptions[1] = 0;
    m_nCalendarOptions[2] = 1;
    m_wCalendarFormat[0] = m_wCalendarFormat[1] = 0;
    m_nCalendarFormatValue = 0;
    m_strCalendarText.Empty();
    m_strCalendarFace = g_defaultFaceName;
    m_holidays[0].RemoveAll();
    m_holidays[1].RemoveAll();
    m_wCalendarWord = 0;
    m_wCalendarValues[0] = m_wCalendarValues[1] = 0;
    DeleteDayPageItems();
}

// ---- The virtual interface ---------------------------------------------------------------------

void CDrawRect::RefreshContentFlags()
{
    CDrawObj::RefreshContentFlags();
    if (HasText() || HasPicture())
        m_fill.m_nKind = 0;
}

HCURSOR CDrawRect::GetHandleCursor(int nHandle)
{
    if (m_nShape == SHAPE_LINE && nHandle == 2)
        nHandle = 5;
    return CDrawObj::GetHandleCursor(nHandle);
}

void CDrawRect::MoveHandleTo(int nHandle, CPoint point, CSurface* pView)
{
    if (m_nShape == SHAPE_LINE && nHandle == 2)
        nHandle = 5;
    CDrawObj::MoveHandleTo(nHandle, point, pView);
}

CSize CDrawRect::GetLinePadding() const
{
    return PaddingForPen(m_logpen.lopnWidth.x);
}

// ---- Attributes --------------------------------------------------------------------------------

void CDrawRect::GetAttributes(CObjectAttributes& attrs, int nFlag)
{
    CDrawObj::GetAttributes(attrs, nFlag);
    attrs.m_nShape = m_nShape;
    attrs.m_nSides = m_nSides;
    attrs.m_nRotation = GetDrawingRotation();
    attrs.m_sizeCorner = m_sizePair;
    attrs.m_fill = m_fill;
    attrs.m_fillText = m_fill2;
    attrs.m_nCalendarStart = m_nCalendarStart;
    attrs.m_nCalendarExtra = m_nCalendarExtra;
    std::memcpy(attrs.m_nCalendarWords, m_nCalendarWords, sizeof(attrs.m_nCalendarWords));
    attrs.m_nCalendarOptions[CObjectAttributes::CalendarOptionWord] = m_nCalendarOptions[2];
    attrs.m_nCalendarOptions[CObjectAttributes::CalendarValueA] = m_wCalendarValues[0];
    attrs.m_nCalendarOptions[CObjectAttributes::CalendarValueB] = m_wCalendarValues[1];
    attrs.m_bIsCalendar = IsCalendar();
    if (attrs.m_bIsCalendar) {
        attrs.ClearMonthCells();
        attrs.ClearWeekCells();
        attrs.ClearDayCells();
        CloneCellList(m_monthCells, attrs.m_monthCells);
        CloneCellList(m_weekCells, attrs.m_weekCells);
        CloneCellList(m_dayCells, attrs.m_dayCells);
    }
    attrs.m_nTextValues[CObjectAttributes::TextColumns] = 1;
    attrs.m_nTextFlag = 1;
    attrs.m_bBlockText = m_bBlockText;
    attrs.m_bWordWrap = m_bWrapFlag;
    // A text's picture is its texture: the record carries it as it carries
    // any picture, so that applying the record keeps it.
    const BOOL bPicture = m_pPicture != nullptr && m_pPicture->m_nHandle >= 1;
    attrs.m_nCalendarOptions[CObjectAttributes::HasPictureWord] = bPicture ? 1 : 0;
    if (bPicture)
        GetPictureAttributes(attrs);
    attrs.m_bHasText = HasText();
    if (attrs.m_bHasText)
        GetTextAttributes(attrs);
}

void CDrawRect::GetPictureAttributes(CObjectAttributes& attrs)
{
    const CImage& pic = *m_pPicture;
    attrs.m_wPictureFlags = pic.m_wFlags;
    attrs.m_nPictureValues[PicPalette] = pic.m_nPaletteValue;
    attrs.m_nPictureValues[PicLoadMode] = pic.m_nLoadMode;
    attrs.m_nPictureValues[PicTransparent] = static_cast<LONG>(pic.m_crTransparent);
    attrs.m_nPictureValues[PicRotation] = pic.m_nRotation;
    attrs.m_nPictureValues[PicSource] = pic.m_nSourceId;
    attrs.m_nPictureValues[PicPlainPaint] = pic.m_nPlainPaint;
    attrs.m_strPictureFile = pic.GetPathName();
    WORD wFlags = attrs.m_wFlags & ~WORD(ATTR_FLAG_PIC_TRANSPARENT | ATTR_FLAG_PIC_RASTER | ATTR_FLAG_PIC_CROPPED);
    if (pic.m_wFlags & IMAGE_FLAG_TRANSPARENT)
        wFlags |= ATTR_FLAG_PIC_TRANSPARENT;
    if (pic.IsRaster())
        wFlags |= ATTR_FLAG_PIC_RASTER;
    if (pic.m_wFlags & IMAGE_FLAG_CROPPED)
        wFlags |= ATTR_FLAG_PIC_CROPPED;
    attrs.m_wFlags = wFlags;
}

void CDrawRect::GetTextAttributes(CObjectAttributes& attrs)
{
    if (!m_bBlockText && m_pWrapText != nullptr) {
        attrs.m_bBlockText = FALSE;
        attrs.m_nTextValues[CObjectAttributes::TextWarpShape] = 0;
        attrs.m_nTextValues[CObjectAttributes::TextColumns] = 1;
        attrs.m_strWrapText = m_pWrapText->GetText();
        attrs.m_strWrapFormat = m_pWrapText->GetFormatString();
        attrs.m_nTextValues[CObjectAttributes::TextRotation] = m_nTextRotation;
        attrs.m_dWrapScale = m_pWrapText->GetScale();
        attrs.m_wJustification = m_pWrapText->GetJustification();
        attrs.m_nWrapLookPosition = LookPosition(*m_pWrapText);
        const WrapLook look = LookAt(*m_pWrapText, attrs.m_nWrapLookPosition);
        std::memset(attrs.m_logfont.lfFaceName, 0, sizeof(attrs.m_logfont.lfFaceName));
        std::strncpy(attrs.m_logfont.lfFaceName, look.strFace, sizeof(attrs.m_logfont.lfFaceName) - 1);
        attrs.m_logfont.lfHeight = look.nSize;
        attrs.m_logfont.lfWeight = (look.nStyle & WRAP_STYLE_BOLD) ? 700 : 400;
        attrs.m_logfont.lfItalic = (look.nStyle & WRAP_STYLE_ITALIC) ? 1 : 0;
        attrs.m_logfont.lfUnderline = (look.nStyle & WRAP_STYLE_UNDERLINE) ? 1 : 0;
        attrs.m_logfont.lfStrikeOut = (look.nStyle & WRAP_STYLE_STRIKEOUT) ? 1 : 0;
        attrs.m_logfont.lfCharSet = static_cast<BYTE>(look.nCharSet);
        attrs.m_crText = look.crColor;
        return;
    }
    const CTextBlock* pBlock = GetTextBlock();
    if (pBlock == nullptr)
        return;
    attrs.m_bBlockText = TRUE;
    attrs.m_nWrapLookPosition = -1;
    attrs.m_nTextFlag = pBlock->m_wFlags & 1;
    attrs.m_strBlockText = pBlock->GetText();
    attrs.m_logfont = pBlock->m_logfont;
    attrs.m_nTextValues[TextLeftMargin] = pBlock->m_nLeftMargin;
    attrs.m_nTextValues[TextRightMargin] = pBlock->m_nRightMargin;
    attrs.m_nTextValues[TextLayoutWord] = pBlock->m_nLayoutWord;
    attrs.m_nTextValues[CObjectAttributes::TextWarpShape] = pBlock->m_nShape;
    attrs.m_nTextValues[TextAlignment] = pBlock->m_nAlignment;
    attrs.m_nTextValues[CObjectAttributes::TextColumns] = pBlock->m_nColumns;
    attrs.m_nTextValues[CObjectAttributes::TextRotation] = pBlock->m_nAngle;
    attrs.m_crText = RecordTextColor(pBlock->m_crText);
    attrs.m_crText2 = RecordTextColor(pBlock->m_crShadow);
    attrs.m_wTextWords[0] = static_cast<WORD>(pBlock->m_nShadowX);
    attrs.m_wTextWords[1] = static_cast<WORD>(pBlock->m_nShadowY);
    // The record's text-flag bit 0 is the block's shadow switch.
    attrs.m_wTextFlags = (attrs.m_wTextFlags & ~WORD(OBJ_TEXT_SHADOW)) | (pBlock->HasShadow() ? OBJ_TEXT_SHADOW : 0);
}

void CDrawRect::SetAttributes(const CObjectAttributes& attrs, BOOL bPictureSource, BOOL bKeepMirror,
    BOOL bApplyFont, BOOL bOption4, BOOL bCellOption)
{
    m_nShape = attrs.m_nShape;
    m_sizePair = attrs.m_sizeCorner;
    m_nSides = attrs.m_nSides;
    m_nRotation = attrs.m_nRotation;
    CDrawObj::SetAngle(attrs.m_nRotation);
    m_fill = attrs.m_fill;
    m_fill2 = attrs.m_fillText;
    m_nCalendarStart = attrs.m_nCalendarStart;
    m_nCalendarExtra = attrs.m_nCalendarExtra;
    std::memcpy(m_nCalendarWords, attrs.m_nCalendarWords, sizeof(m_nCalendarWords));
    m_nCalendarOptions[2] = attrs.m_nCalendarOptions[CObjectAttributes::CalendarOptionWord];
    m_wCalendarValues[0] = static_cast<WORD>(attrs.m_nCalendarOptions[CObjectAttributes::CalendarValueA]);
    m_wCalendarValues[1] = static_cast<WORD>(attrs.m_nCalendarOptions[CObjectAttributes::CalendarValueB]);
    if (attrs.m_bIsCalendar) {
        // Every cell is cloned whole: the clone takes no further option.
        (void)bCellOption;
        DeleteCellList(m_monthCells);
        DeleteCellList(m_weekCells);
        DeleteCellList(m_dayCells);
        CloneCellList(attrs.m_monthCells, m_monthCells);
        CloneCellList(attrs.m_weekCells, m_weekCells);
        CloneCellList(attrs.m_dayCells, m_dayCells);
    }
    m_bBlockText = attrs.m_bBlockText;
    m_bWrapFlag = attrs.m_bWordWrap;
    if (attrs.HasPicture()) {
        SetPictureAttributes(attrs, bPictureSource, bKeepMirror);
    } else {
        delete m_pPicture;
        m_pPicture = nullptr;
        m_wFlags &= ~WORD(OBJ_FLAG_MEMORY_PICTURE);
    }
    if (attrs.m_bHasText)
        SetTextAttributes(attrs, bKeepMirror, bApplyFont);
    CDrawObj::SetAttributes(attrs, bPictureSource, bKeepMirror, bApplyFont, bOption4, bCellOption);
    // The record's picture bits describe the picture, not the object.
    m_wFlags &= ~WORD(ATTR_FLAG_PIC_TRANSPARENT | ATTR_FLAG_PIC_RASTER);
}

void CDrawRect::SetPictureAttributes(const CObjectAttributes& attrs, BOOL bPictureSource, BOOL bKeepMirror)
{
    if (bPictureSource) {
        if (m_pPicture == nullptr)
            m_pPicture = new CImage;
        m_pPicture->m_strPath = attrs.m_strPictureFile;
        const WORD wTaken = OBJ_FLAG_MEMORY_PICTURE | OBJ_FLAG_NATURAL_SIZE;
        m_wFlags = (m_wFlags & ~wTaken) | (attrs.m_wFlags & wTaken);
        m_pPicture->m_nRotation = attrs.m_nPictureValues[PicRotation];
        if (attrs.m_wFlags & OBJ_FLAG_CROPPED)
            m_wFlags |= OBJ_FLAG_CROPPED;
        else
            m_wFlags &= ~WORD(OBJ_FLAG_CROPPED);
    }
    if (m_pPicture == nullptr)
        return;
    CImage& pic = *m_pPicture;
    pic.m_wFlags = attrs.m_wPictureFlags;
    pic.m_crTransparent = static_cast<COLORREF>(attrs.m_nPictureValues[PicTransparent]);
    if (!bKeepMirror) {
        // Without a view the object's own flips say how it shows.
        const BOOL bInView = GetSurface() != nullptr;
        pic.SetMirror(bInView ? IsMirroredX() : m_bFlipX, bInView ? IsMirroredY() : m_bFlipY);
    }
    if (attrs.m_wFlags & ATTR_FLAG_PIC_CROPPED)
        pic.m_wFlags |= IMAGE_FLAG_CROPPED;
    pic.m_nPaletteValue = attrs.m_nPictureValues[PicPalette];
    pic.m_nLoadMode = attrs.m_nPictureValues[PicLoadMode];
    pic.m_nSourceId = attrs.m_nPictureValues[PicSource];
    pic.m_nPlainPaint = attrs.m_nPictureValues[PicPlainPaint];
}

void CDrawRect::SetTextAttributes(const CObjectAttributes& attrs, BOOL bKeepRotation, BOOL bApplyFont)
{
    if (attrs.m_bBlockText) {
        if (m_pTextHolder == nullptr)
            m_pTextHolder = new CTextContentHolder(this);
        CTextBlock* pBlock = m_pTextHolder->GetBlock();
        pBlock->SetLayoutParams(attrs.m_nTextValues[TextLeftMargin], attrs.m_nTextValues[TextRightMargin],
            attrs.m_nTextValues[TextLayoutWord]);
        const int nShape = attrs.m_nTextValues[CObjectAttributes::TextWarpShape];
        pBlock->SetShape(nShape >= 0 && nShape <= 16 ? nShape : 0);
        const int nAlignment = attrs.m_nTextValues[TextAlignment];
        pBlock->m_nAlignment = nAlignment >= 0 && nAlignment <= 3 ? nAlignment : 0;
        pBlock->SetColumns(attrs.m_nTextValues[CObjectAttributes::TextColumns]);
        pBlock->SetGeometry(attrs.m_nTextValues[CObjectAttributes::TextRotation], m_rectUnrotated, m_position);
        pBlock->m_logfont = attrs.m_logfont;
        // The face is a C string of at most 31 characters whatever the
        // record's array held.
        pBlock->m_logfont.lfFaceName[kTextBlockMaxFaceLength] = '\0';
        pBlock->SetText(attrs.m_strBlockText);
        pBlock->m_crText = attrs.m_crText;
        pBlock->m_crShadow = attrs.m_crText2;
        pBlock->m_nShadowX = static_cast<short>(attrs.m_wTextWords[0]);
        pBlock->m_nShadowY = static_cast<short>(attrs.m_wTextWords[1]);
        WORD wBlockFlags = pBlock->m_wFlags & ~WORD(TEXTBLOCK_AUTO_SIZE | TEXTBLOCK_SHADOW);
        if (attrs.m_nTextFlag & 1)
            wBlockFlags |= TEXTBLOCK_AUTO_SIZE;
        if (attrs.m_wTextFlags & OBJ_TEXT_SHADOW)
            wBlockFlags |= TEXTBLOCK_SHADOW;
        pBlock->m_wFlags = wBlockFlags;
        m_wTextFlags = (m_wTextFlags & ~WORD(OBJ_TEXT_SHADOW)) | (attrs.m_wTextFlags & OBJ_TEXT_SHADOW);
        // The stale bits follow the automatic size as a fresh cache has
        // them; then the block is laid into the object's frame.
        pBlock->FreeCache();
        pBlock->SetRect(m_rectUnrotated);
        return;
    }
    if (m_pWrapText == nullptr)
        m_pWrapText = new CWrapText(this);
    m_pWrapText->SetText(attrs.m_strWrapText);
    if (!attrs.m_strWrapFormat.IsEmpty())
        m_pWrapText->SetFormatString(attrs.m_strWrapFormat);
    m_pWrapText->SetScale(attrs.m_dWrapScale);
    m_pWrapText->SetJustification(attrs.m_wJustification);
    m_pWrapText->SetWordWrap(attrs.m_bWordWrap);
    if (!bKeepRotation)
        m_nTextRotation = attrs.m_nTextValues[CObjectAttributes::TextRotation];
    if (bApplyFont)
        ApplyLookToText(*m_pWrapText, LookOfRecord(attrs, *m_pWrapText), attrs.m_nWrapLookPosition);
}

// ---- Clone -------------------------------------------------------------------------------------

void CDrawRect::CopyOwnFieldsTo(CDrawRect* pClone) const
{
    pClone->m_corners = m_corners;
    std::memcpy(pClone->m_nCalendarValues, m_nCalendarValues, sizeof(m_nCalendarValues));
    pClone->m_nSecondDate = m_nSecondDate;
    pClone->m_holidays[0].Copy(m_holidays[0]);
    pClone->m_holidays[1].Copy(m_holidays[1]);
    pClone->m_strCalendarText = m_strCalendarText;
    std::memcpy(pClone->m_wCalendarFormat, m_wCalendarFormat, sizeof(m_wCalendarFormat));
    pClone->m_nCalendarFormatValue = m_nCalendarFormatValue;
    pClone->m_strCalendarFace = m_strCalendarFace;
    pClone->m_nCalendarOptions[0] = m_nCalendarOptions[0];
    pClone->m_nCalendarOptions[1] = m_nCalendarOptions[1];
    pClone->m_nValueA = m_nValueA;
    pClone->m_nValueB = m_nValueB;
    pClone->m_nValueC = m_nValueC;
    pClone->m_rectDetached = m_rectDetached;
    pClone->m_nMirrorX = m_nMirrorX;
    pClone->m_nMirrorY = m_nMirrorY;
    pClone->m_wCalendarWord = m_wCalendarWord;
    pClone->m_bFlipX = m_bFlipX;
    pClone->m_bFlipY = m_bFlipY;
}

CDrawObj* CDrawRect::Clone(CDrawDoc* pDoc, CSurface* pView)
{
    auto* pClone = new CDrawRect(m_position, m_nShape);
    pClone->m_rectUnrotated = m_rectUnrotated;
    pClone->m_rectUncropped = m_rectUncropped;
    pClone->m_rectRotateRef = m_rectRotateRef;
    CopyOwnFieldsTo(pClone);
    {
        CObjectAttributes attrs;
        GetAttributes(attrs);
        pClone->SetAttributes(attrs, FALSE, FALSE, TRUE, FALSE, FALSE);
    }
    // The record carries the text's state but not all of it, and no
    // picture without its source: both are copied whole.
    if (m_pTextHolder != nullptr) {
        if (pClone->m_pTextHolder == nullptr)
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
        if (pClone->m_pWrapText == nullptr)
            pClone->m_pWrapText = new CWrapText(pClone);
        pClone->m_pWrapText->CopyFrom(*m_pWrapText);
        pClone->m_pWrapText->ClearSel();
    }
    pClone->m_nTextRotation = m_nTextRotation;
    if (m_pPicture != nullptr) {
        if (pClone->m_pPicture == nullptr)
            pClone->m_pPicture = new CImage;
        pClone->m_pPicture->Copy(*m_pPicture);
    }
    // The record's picture and text were applied before the copies
    // existed; applying it again would only take away a picture that the
    // record leaves out because text covers it.
    pClone->RefreshContentFlags();
    pClone->m_wFlags &= ~WORD(OBJ_FLAG_LOCKED);
    pClone->Invalidate();
    if (pDoc != nullptr && !pDoc->AddObject(pClone, pView))
        return nullptr; // the document deleted it
    return pClone;
}
