#include "pictures/Image.h"

#include "app/PrefData.h"
#include "platform/base/Exception.h"
#include "platform/gdi/Dc.h"
#include "platform/imaging/Imaging.h"

#include <cstdlib>

IMPLEMENT_SERIAL(CImage, CObject, 1)

CImage::CImage()
{
    Reset();
}

CImage::CImage(LPCTSTR lpszPath, int nLoadMode)
{
    Reset();
    try {
        LoadFile(lpszPath, nLoadMode);
    } catch (CException* e) {
        e->Delete();
    }
}

CImage::~CImage()
{
    Release();
}

void CImage::Copy(const CImage& other)
{
    if (&other == this)
        return;
    m_nHandle = other.m_nHandle;
    m_nBaseHandle = other.m_nBaseHandle;
    m_strPath = other.m_strPath;
    m_nPaletteValue = other.m_nPaletteValue;
    m_nLoadMode = other.m_nLoadMode;
    m_nFileBitsPerPixel = other.m_nFileBitsPerPixel;
    for (int i = 0; i < 4; ++i)
        m_corners[i] = other.m_corners[i];
    m_rectClip = other.m_rectClip;
    m_sizeDisplay = other.m_sizeDisplay;
    m_nSourceId = other.m_nSourceId;
    m_crTransparent = other.m_crTransparent;
    m_wFlags = other.m_wFlags;
    m_nPlainPaint = other.m_nPlainPaint;
    m_nFlipX = other.m_nFlipX;
    m_nFlipY = other.m_nFlipY;
    m_nRotation = other.m_nRotation;
    m_bForceEmbed = other.m_bForceEmbed;
    m_bKeepInFile = other.m_bKeepInFile;
    CopyStoredForm(other);
    m_pRaster.reset();
    if (other.m_pRaster) {
        auto raster = std::make_unique<LTBITMAP>();
        if (LtCopyBitmap(raster.get(), other.m_pRaster.get()) == LT_SUCCESS)
            m_pRaster = std::move(raster);
        else
            m_nHandle = kImageNoPicture;
    }
}

void CImage::Reset()
{
    ResetStoredForm();
    m_pRaster.reset();
    m_nHandle = kImageNoPicture;
    m_nBaseHandle = kImageNoPicture;
    m_wFlags = IMAGE_FLAG_EMBED;
    m_strPath.Empty();
    m_nPaletteValue = 0;
    m_nPlainPaint = 0;
    m_nFileBitsPerPixel = -1;
    m_sizeDisplay = CSize(0, 0);
    m_nSourceId = 0;
    m_nFlipX = 0;
    m_nFlipY = 0;
    m_nRotation = 0;
    m_crTransparent = 0;
    for (POINT& pt : m_corners)
        pt = POINT{0, 0};
}

void CImage::Release()
{
    // FIXME: engine handles, metafiles and child pictures come with the
    // picture engine; an opened file's raster goes with Reset.
    const WORD wQuiet = m_wFlags & IMAGE_FLAG_QUIET;
    Reset();
    m_wFlags = (m_wFlags & ~WORD(IMAGE_FLAG_QUIET)) | wQuiet;
}

BOOL CImage::IsRaster() const
{
    return m_nHandle >= 1 && m_nHandle != kImageMetafile && m_nHandle != kImageComposite;
}

void CImage::GetSize(SIZE& size, BOOL bNatural) const
{
    if (!bNatural && (m_sizeDisplay.cx != 0 || m_sizeDisplay.cy != 0)) {
        size = m_sizeDisplay;
        return;
    }
    if (m_pRaster && m_nHandle == kOpenedRaster) {
        size = SIZE{m_pRaster->Width, m_pRaster->Height};
        return;
    }
    size = SIZE{0, 0};
}

void CImage::SetDisplaySize(int cx, int cy)
{
    m_sizeDisplay = CSize(std::abs(cx), std::abs(cy));
}

BOOL CImage::HasTransparency() const
{
    return IsRaster() && (m_wFlags & IMAGE_FLAG_TRANSPARENT) != 0;
}

void CImage::GetTransparency(BOOL& bOn, COLORREF& crColor) const
{
    if (!IsRaster()) {
        bOn = FALSE;
        crColor = 0;
        return;
    }
    bOn = (m_wFlags & IMAGE_FLAG_TRANSPARENT) != 0;
    crColor = m_crTransparent;
}

void CImage::SetTransparency(BOOL bOn, const COLORREF* pColor)
{
    if (!IsRaster())
        return;
    if (bOn)
        m_wFlags |= IMAGE_FLAG_TRANSPARENT;
    else
        m_wFlags &= ~WORD(IMAGE_FLAG_TRANSPARENT);
    if (pColor != nullptr)
        m_crTransparent = *pColor;
}

void CImage::SetFlip(BOOL bHorizontal, BOOL bVertical)
{
    m_wFlags = (m_wFlags & ~WORD(IMAGE_FLAG_MIRROR_X | IMAGE_FLAG_MIRROR_Y)) | (bHorizontal ? IMAGE_FLAG_MIRROR_X : 0)
        | (bVertical ? IMAGE_FLAG_MIRROR_Y : 0);
}

void CImage::SetCorners(const POINT corners[4])
{
    for (int i = 0; i < 4; ++i)
        m_corners[i] = corners[i];
}

void CImage::Draw(CDC* pDC, const CRect& rectDest, const CRect* pSource, CRgn* pClip, int nOptions)
{
    (void)pDC;
    (void)rectDest;
    (void)pSource;
    (void)pClip;
    (void)nOptions;
}

int CImage::NormalizeLoadMode(int nLoadMode)
{
    return nLoadMode == kDefaultLoadMode ? thePrefs.PaletteMethod : nLoadMode;
}

void CImage::LoadFile(LPCTSTR lpszPath, int nLoadMode, BOOL bRasterizeWmf, BOOL bRasterizeIcons)
{
    // FIXME: metafiles, icons and the program's own temporary pictures go to
    // their own readers with the picture engine; until then every file goes
    // to the raster reader, which refuses what is not BMP, PNG or JPEG.
    (void)bRasterizeWmf;
    (void)bRasterizeIcons;
    const int nMode = NormalizeLoadMode(nLoadMode);
    Release();
    m_nLoadMode = nMode;
    const CString strPath = lpszPath ? lpszPath : "";

    LTFILEINFO info;
    int result = LtFileInfo(strPath, &info);
    auto raster = std::make_unique<LTBITMAP>();
    if (result == LT_SUCCESS)
        result = LtLoadFile(strPath, raster.get(), 0, LT_ORDER_BGR, LT_LOAD_ALLOCATE | LT_LOAD_STORE, nullptr, nullptr);
    if (result == LT_ERR_NOT_FOUND)
        AfxThrowFileException(CFileException::fileNotFound, -1, strPath);
    if (result != LT_SUCCESS) {
        // FIXME: the picture engine's error texts come with it; the failure
        // is reported to the caller only.
        AfxThrowUserException();
    }
    m_pRaster = std::move(raster);
    m_nHandle = kOpenedRaster;
    m_nFileBitsPerPixel = info.BitsPerPixel;
    m_strPath = strPath;
}

HBITMAP CImage::CreateDDB(CDC* pDC, BOOL bPalette) const
{
    // FIXME: with bPalette the picture engine also realises the picture's
    // palette in the DC, for screens of 256 colours or fewer.
    (void)bPalette;
    if (!m_pRaster || m_nHandle != kOpenedRaster)
        return NULL;
    return LtConvertToDDB(pDC ? pDC->GetSafeHdc() : NULL, m_pRaster.get());
}
