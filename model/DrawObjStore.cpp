// The drawing object's base record in the design file: the rectangles,
// flags, flip and crop state, outline and fill, the picture and the text,
// written in the current format and read from every version since 7.

#include "app/ArchiveHelpers.h"
#include "model/DesignArchive.h"
#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "model/TextContentHolder.h"
#include "pictures/Image.h"
#include "platform/base/Archive.h"
#include "text/TextBlock.h"
#include "text/WrapText.h"

#include <cmath>
#include <utility>

namespace {

void ClampRect(CRect& rect)
{
    rect.left = ClampDesignCoordinate(rect.left);
    rect.top = ClampDesignCoordinate(rect.top);
    rect.right = ClampDesignCoordinate(rect.right);
    rect.bottom = ClampDesignCoordinate(rect.bottom);
}

// A line spacing from a file that no text could be laid out with (not a
// number, or outside a tenth to ten times the font) reads as single.
double StoredLineSpacing(double dScale)
{
    return std::isfinite(dScale) && dScale >= 0.1 && dScale <= 10.0 ? dScale : 1.0;
}

// Text modes of the record.
constexpr WORD kWrappedTextMode = 0;
constexpr WORD kBlockTextMode = 1;

} // namespace

void CDrawObj::Serialize(CArchive& ar)
{
    // An object that was read knows its document before anything else runs.
    if (ar.m_pDocument != nullptr)
        m_pDocument = dynamic_cast<CDrawDoc*>(ar.m_pDocument);
    if (ar.IsStoring())
        StoreBaseRecord(ar);
    else
        LoadBaseRecord(ar, GetDesignVersion(ar));
}

void CDrawObj::StoreBaseRecord(CArchive& ar)
{
    ArchiveWriteRect(ar, m_position);
    ArchiveWriteRect(ar, m_rectUnrotated);
    ArchiveWriteRect(ar, m_rectUncropped);
    ar << WORD(0) << m_wFlags << m_wObjectWord;
    ar << static_cast<DWORD>(m_bFlipX) << static_cast<DWORD>(m_bFlipY);
    ar << m_dCropLeft << m_dCropTop << m_dCropWidth << m_dCropHeight;
    ar << m_dBaseLeft << m_dBaseTop << m_dBaseWidth << m_dBaseHeight;
    ar << static_cast<DWORD>(m_bOutline);
    StoreLogPen(ar, m_logpen);
    ar << static_cast<DWORD>(m_bFill);
    StoreLogBrush(ar, m_logbrush);
    ar << static_cast<DWORD>(m_nContentWord);
    if (m_pPicture != nullptr) {
        ar << WORD(1);
        m_pPicture->Serialize(ar);
    } else {
        ar << WORD(0);
    }
    if (m_bBlockText) {
        ar << kBlockTextMode;
        // A calendar never holds text, whatever its holder keeps.
        if (m_pTextHolder != nullptr && HasText()) {
            ar << WORD(1);
            m_pTextHolder->Serialize(ar);
        } else {
            ar << WORD(0);
        }
    } else {
        ar << kWrappedTextMode << WORD(m_bWrapFlag ? 1 : 0);
        if (m_pWrapText != nullptr) {
            ar << WORD(1);
            m_pWrapText->Serialize(ar);
            ar << m_pWrapText->GetJustification() << m_pWrapText->GetScale();
        } else {
            ar << WORD(0);
        }
    }
    ar << m_wTextFlags << m_wExtraFlags;
}

void CDrawObj::LoadBaseRecord(CArchive& ar, LONG nVersion)
{
    ArchiveReadRect(ar, m_position);
    if (nVersion < 15)
        m_rectUnrotated = m_position;
    else
        ArchiveReadRect(ar, m_rectUnrotated);
    // Older files have no uncropped rectangle; it is read only while the
    // object is cropped, so the position is a safe stand-in.
    if (nVersion >= 11)
        ArchiveReadRect(ar, m_rectUncropped);
    else
        m_rectUncropped = m_position;
    ClampRect(m_position);
    ClampRect(m_rectUnrotated);
    ClampRect(m_rectUncropped);
    WORD wReserved = 0;
    ar >> wReserved >> m_wFlags >> m_wObjectWord;
    if (nVersion >= 21) {
        DWORD dwFlipX = 0;
        DWORD dwFlipY = 0;
        ar >> dwFlipX >> dwFlipY;
        m_bFlipX = static_cast<BOOL>(dwFlipX);
        m_bFlipY = static_cast<BOOL>(dwFlipY);
    }
    if (nVersion >= 26) {
        ar >> m_dCropLeft >> m_dCropTop >> m_dCropWidth >> m_dCropHeight;
        ar >> m_dBaseLeft >> m_dBaseTop >> m_dBaseWidth >> m_dBaseHeight;
    }
    const BOOL bNative = HasNativeRecords(ar);
    DWORD dwOutline = 0;
    ar >> dwOutline;
    m_bOutline = static_cast<BOOL>(dwOutline);
    LoadLogPen(ar, m_logpen, bNative);
    DWORD dwFill = 0;
    ar >> dwFill;
    m_bFill = static_cast<BOOL>(dwFill);
    LoadLogBrush(ar, m_logbrush, bNative);
    DWORD dwContent = 0;
    ar >> dwContent;
    m_nContentWord = static_cast<LONG>(dwContent);

    WORD wHasPicture = 0;
    ar >> wHasPicture;
    if (wHasPicture == 1) {
        delete m_pPicture;
        m_pPicture = nullptr;
        auto* pPicture = new CImage;
        m_pPicture = pPicture;
        pPicture->Serialize(ar);
        if (nVersion < 13)
            ConvertOldPictureRotation();
    }

    if (nVersion < 23) {
        WORD wBlock = 0;
        ar >> wBlock;
        if (wBlock == 1) {
            m_bBlockText = TRUE;
            LoadBlockText(ar);
        }
    } else {
        WORD wMode = 0;
        ar >> wMode;
        if (wMode == kBlockTextMode) {
            m_bBlockText = TRUE;
            WORD wHasText = 0;
            ar >> wHasText;
            if (wHasText == 1)
                LoadBlockText(ar);
        } else {
            m_bBlockText = FALSE;
            WORD wWrap = 0;
            ar >> wWrap;
            m_bWrapFlag = (wWrap == 1);
            WORD wHasText = 0;
            ar >> wHasText;
            if (wHasText == 1) {
                delete m_pWrapText;
                m_pWrapText = nullptr;
                m_pWrapText = new CWrapText(this);
                m_pWrapText->Serialize(ar);
                WORD wJustification = 0;
                double dScale = 1.0;
                ar >> wJustification >> dScale;
                m_pWrapText->SetJustification(wJustification);
                m_pWrapText->SetScale(StoredLineSpacing(dScale));
            }
        }
    }
    if (nVersion >= 14)
        ar >> m_wTextFlags;
    if (nVersion >= 18)
        ar >> m_wExtraFlags;
    m_wFlags |= OBJ_FLAG_LOADED;
}

void CDrawObj::LoadBlockText(CArchive& ar)
{
    delete m_pTextHolder;
    m_pTextHolder = nullptr;
    m_pTextHolder = new CTextContentHolder(this);
    m_pTextHolder->Serialize(ar);
    // The object takes the angle the block was read with (only an object
    // that can turn as a whole does), and nothing drawn before the read
    // may serve the text read.
    CTextBlock* pBlock = m_pTextHolder->GetBlock();
    SetAngle(pBlock->m_nAngle);
    pBlock->FreeCache();
}

void CDrawObj::ConvertOldPictureRotation()
{
    // Old designs kept a turned picture's frame unturned: the picture is
    // turned into its frame, and the position becomes the turned bounds.
    // It turns as its angle turns any picture, so that the design looks the
    // same once it is saved and opened again (the angle is stored as it
    // stands).
    const int nAngle = m_pPicture->m_nRotation;
    if (m_pDocument != nullptr)
        m_pPicture->m_pView = m_pDocument->GetSurfaceView(m_pDocument->m_nCurrentSurface);
    if (nAngle % 360 != 0)
        TurnPicture(nAngle);
    m_rectUnrotated = m_position;
    m_pPicture->m_nRotation = nAngle;
}
