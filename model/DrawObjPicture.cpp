// Giving a drawing object its picture: from a file, from the clipboard's
// formats, as a copy of another picture, or from a scanner, with the object
// and picture settings that go with it.

#include "model/DrawObj.h"

#include "pictures/Image.h"
#include "platform/base/Exception.h"
#include "platform/base/GlobalMemory.h"
#include "platform/files/FileApi.h"
#include "platform/framework/WinApp.h"
#include "platform/gdi/GdiObject.h"
#include "surface/Surface.h"

#include <memory>

namespace {

constexpr const char* kMemoryOnlyPath = "<memory-only picture>";

// The view, keep-in-file setting and embed bit every new picture takes from
// its object. A composite picture never keeps its data itself: its parts are
// stored by their own records.
void TakeObjectSettings(CDrawObj& obj, BOOL bEmbed)
{
    CImage& picture = *obj.m_pPicture;
    CSurface* pView = obj.GetSurface();
    picture.m_pView = pView != nullptr ? pView : obj.m_pSurface;
    picture.m_bForceEmbed = obj.m_bAlwaysEmbed == 1 ? 1 : 0;
    if ((obj.m_bAlwaysEmbed == 1 || bEmbed) && picture.m_nHandle != kImageComposite)
        picture.m_wFlags |= IMAGE_FLAG_EMBED;
    else
        picture.m_wFlags &= ~WORD(IMAGE_FLAG_EMBED);
}

void SetImageFlag(CImage& picture, WORD wFlag, BOOL bOn)
{
    if (bOn)
        picture.m_wFlags |= wFlag;
    else
        picture.m_wFlags &= ~wFlag;
}

// The object takes the picture's own size, keeping its top-left corner and
// its orientation, then the picture's proportions.
void SizeToPicture(CDrawObj& obj)
{
    SIZE size{0, 0};
    obj.m_pPicture->GetSize(size, FALSE);
    if (size.cx < 1 || size.cy < 1)
        return;
    CRect rect = obj.m_position;
    rect.right = rect.left + (rect.right < rect.left ? -size.cx : size.cx);
    rect.bottom = rect.top + (rect.bottom > rect.top ? size.cy : -size.cy);
    obj.MoveTo(rect, obj.GetSurface());
    obj.FitToProportions(size.cx, size.cy, -1, nullptr);
}

// The pattern of the clipboard operations: the old picture goes, a new one
// is filled by fill (TRUE when it made a picture) and takes the object's
// settings. A picture that could not be made, also through an exception of
// the picture engine, leaves the object without one.
template <class Fill>
void MakeNewPicture(CDrawObj& obj, BOOL bEmbed, BOOL bSizeToPicture, Fill fill)
{
    delete obj.m_pPicture;
    obj.m_pPicture = nullptr;
    {
        CWaitCursor wait;
        auto pImage = std::make_unique<CImage>();
        BOOL bMade = FALSE;
        try {
            bMade = fill(*pImage) && pImage->m_nHandle >= 1;
        } catch (CException* e) {
            e->Delete();
            bMade = FALSE;
        }
        if (bMade) {
            obj.m_pPicture = pImage.release();
            TakeObjectSettings(obj, bEmbed);
            if (bSizeToPicture) {
                obj.m_wFlags |= OBJ_FLAG_NATURAL_SIZE;
                SizeToPicture(obj);
            } else {
                obj.m_wFlags &= ~WORD(OBJ_FLAG_NATURAL_SIZE);
            }
        }
    }
    obj.RefreshContentFlags();
    obj.Invalidate();
}

} // namespace

void CDrawObj::SetPictureFile(LPCTSTR lpszPath, BOOL bEmbed, BOOL bSizeFlag, BOOL bOption3, BOOL bTranslucent,
    BOOL bLineColorOn, COLORREF crLineColor)
{
    {
        CWaitCursor wait;
        const CString strPath = lpszPath != nullptr ? lpszPath : "";
        if (m_pPicture == nullptr || m_pPicture->GetPathName() != strPath) {
            // The file goes into a picture of its own, so a file that cannot
            // be loaded leaves the object with the picture it had.
            auto pNew = std::make_unique<CImage>();
            BOOL bLoaded = FALSE;
            try {
                // No setting of the object's text asks the loader to
                // rasterise metafiles or icons.
                pNew->LoadFile(strPath, CImage::kDefaultLoadMode, FALSE, FALSE);
                bLoaded = pNew->m_nHandle >= 1;
            } catch (CException* e) {
                e->Delete();
            }
            if (bLoaded) {
                delete m_pPicture;
                m_pPicture = pNew.release();
                if (m_wFlags & OBJ_FLAG_MEMORY_PICTURE) {
                    MarkPictureMemoryOnly();
                    bEmbed = TRUE;
                }
            }
        }
        if (m_pPicture != nullptr) {
            TakeObjectSettings(*this, bEmbed);
            if (bSizeFlag)
                m_wFlags |= OBJ_FLAG_NATURAL_SIZE;
            else
                m_wFlags &= ~WORD(OBJ_FLAG_NATURAL_SIZE);
            SetImageFlag(*m_pPicture, IMAGE_FLAG_TILED, bOption3);
            SetImageFlag(*m_pPicture, IMAGE_FLAG_TRANSLUCENT, bTranslucent);
            if (bLineColorOn)
                SetPictureLineColor(TRUE, crLineColor);
        }
        RefreshContentFlags();
    }
    Invalidate();
}

void CDrawObj::SetPictureFile(LPCTSTR lpszPath, BOOL bEmbed, BOOL bSizeFlag, BOOL bOption3, BOOL bTranslucent,
    BOOL bLineColorOn, COLORREF crLineColor, int nUnused)
{
    (void)nUnused;
    SetPictureFile(lpszPath, bEmbed, bSizeFlag, bOption3, bTranslucent, bLineColorOn, crLineColor);
}

void CDrawObj::SetPictureFileAs(LPCTSTR lpszPath, LPCTSTR lpszName)
{
    const CString strName = lpszName != nullptr ? lpszName : "";
    CString strLoad = lpszPath != nullptr ? lpszPath : "";
    if (strName.GetLength() >= 4 && strName.Right(4).CompareNoCase(".wmf") == 0) {
        const DWORD dwAttributes = ::GetFileAttributes(strName);
        if (dwAttributes != INVALID_FILE_ATTRIBUTES && !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY))
            strLoad = strName;
    }
    const CImage* pBefore = m_pPicture;
    const BOOL bSamePath = pBefore != nullptr && pBefore->GetPathName() == strLoad;
    SetPictureFile(strLoad, TRUE, TRUE, FALSE, FALSE, FALSE, 0);
    // Only a picture that came from the chosen file takes the name: one kept
    // because the file failed would otherwise claim a file it is not. (A
    // loaded file is a new picture object.)
    if (m_pPicture != nullptr && (m_pPicture != pBefore || bSamePath))
        SetPictureFileName(strName);
}

void CDrawObj::SetPictureFromBitmap(HBITMAP hBitmap, HPALETTE hPalette, BOOL bEmbed, BOOL bSizeToPicture)
{
    MakeNewPicture(*this, bEmbed, bSizeToPicture, [&](CImage& image) {
        if (hBitmap == NULL)
            return FALSE;
        CBitmap bitmap;
        bitmap.Attach(hBitmap);
        const BOOL bMade = image.CreateFromBitmap(&bitmap, hPalette);
        bitmap.Detach();
        return bMade;
    });
}

void CDrawObj::SetPictureFromDib(HGLOBAL hDib, BOOL bEmbed, BOOL bSizeToPicture)
{
    // The block stays the caller's (the clipboard's): the picture copies it.
    MakeNewPicture(*this, bEmbed, bSizeToPicture, [hDib](CImage& image) {
        if (hDib == NULL)
            return FALSE;
        HGLOBAL hCopy = hDib;
        return image.CreateFromDIB(hCopy, TRUE);
    });
}

void CDrawObj::SetPictureFromEnhMetaFile(HENHMETAFILE hEmf, BOOL bEmbed, BOOL bSizeToPicture)
{
    MakeNewPicture(*this, bEmbed, bSizeToPicture, [hEmf](CImage& image) {
        if (hEmf == NULL)
            return FALSE;
        image.SetEnhMetaFile(hEmf);
        return image.m_nHandle == kImageMetafile ? TRUE : FALSE;
    });
}

void CDrawObj::SetPictureFromMetaFilePict(HGLOBAL hMetaFilePict, BOOL bEmbed, BOOL bSizeToPicture)
{
    MakeNewPicture(*this, bEmbed, bSizeToPicture, [hMetaFilePict](CImage& image) {
        if (hMetaFilePict == NULL)
            return FALSE;
        const auto* pPict = static_cast<const METAFILEPICT*>(GlobalLock(hMetaFilePict));
        if (pPict == nullptr)
            return FALSE;
        CMetaFileInfo metafile;
        // The extents are in the mapping mode's units; the picture's frame
        // takes them as its natural size, a default when they are not given.
        const int cx = pPict->xExt > 0 ? pPict->xExt : 500;
        const int cy = pPict->yExt > 0 ? pPict->yExt : 500;
        metafile.SetMetaFileSized(pPict->hMF, cx, cy);
        GlobalUnlock(hMetaFilePict);
        image.SetMetaFile(metafile);
        return image.m_nHandle == kImageMetafile ? TRUE : FALSE;
    });
}

void CDrawObj::SetPictureFromImage(const CImage* pImage, BOOL bEmbed)
{
    {
        CWaitCursor wait;
        // The copy is made before the old picture goes: the picture given
        // may be the object's own.
        CImage* pCopy = nullptr;
        if (pImage != nullptr) {
            pCopy = new CImage;
            pCopy->Copy(*pImage);
            SetImageFlag(*pCopy, IMAGE_FLAG_MIRROR_X, (pImage->m_wFlags & IMAGE_FLAG_MIRROR_X) != 0);
            SetImageFlag(*pCopy, IMAGE_FLAG_MIRROR_Y, (pImage->m_wFlags & IMAGE_FLAG_MIRROR_Y) != 0);
        }
        delete m_pPicture;
        m_pPicture = pCopy;
        if (m_pPicture != nullptr)
            TakeObjectSettings(*this, bEmbed);
        RefreshContentFlags();
    }
    Invalidate();
}

void CDrawObj::SetPictureFromImage(const CImage* pImage, BOOL bEmbed, BOOL bFlipped, BOOL bOption3,
    BOOL bTranslucent)
{
    SetPictureFromImage(pImage, bEmbed);
    if (m_pPicture == nullptr)
        return;
    SetImageFlag(*m_pPicture, IMAGE_FLAG_MIRROR_Y, bFlipped);
    SetImageFlag(*m_pPicture, IMAGE_FLAG_TILED, bOption3);
    SetImageFlag(*m_pPicture, IMAGE_FLAG_TRANSLUCENT, bTranslucent);
}

BOOL CDrawObj::AcquirePicture(BOOL bEmbed, BOOL bSizeToPicture)
{
    // The scanned page goes into a picture of its own: a scan that was
    // cancelled or failed leaves the object with the picture it had.
    auto pNew = std::make_unique<CImage>();
    BOOL bAcquired = FALSE;
    try {
        bAcquired = pNew->AcquireFromScanner(CImage::kDefaultLoadMode);
    } catch (CException* e) {
        e->Delete();
        bAcquired = FALSE;
    }
    if (bAcquired) {
        delete m_pPicture;
        m_pPicture = pNew.release();
        TakeObjectSettings(*this, bEmbed);
        if (bSizeToPicture) {
            m_wFlags |= OBJ_FLAG_NATURAL_SIZE;
            SizeToPicture(*this);
        } else {
            m_wFlags &= ~WORD(OBJ_FLAG_NATURAL_SIZE);
        }
    }
    RefreshContentFlags();
    Invalidate();
    return bAcquired;
}

void CDrawObj::MarkPictureMemoryOnly()
{
    if (m_pPicture == nullptr)
        return;
    m_wFlags |= OBJ_FLAG_MEMORY_PICTURE;
    m_pPicture->m_strPath = kMemoryOnlyPath;
    SetImageFlag(*m_pPicture, IMAGE_FLAG_EMBED, m_pPicture->m_nHandle != kImageComposite);
}
