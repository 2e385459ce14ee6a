// Making, copying and querying pictures, exporting them and writing them to
// temporary files. The rasters live in the picture engine behind handles;
// metafiles and composites live in the picture's own members.

#include "pictures/Image.h"

#include "app/Paths.h"
#include "app/PrefData.h"
#include "pictures/PictureEngine.h"
#include "platform/base/Exception.h"
#include "platform/framework/Afx.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"
#include "resources/pictures.h"

#include <algorithm>
#include <cstdlib>

IMPLEMENT_SERIAL(CImage, CObject, 1)

namespace {

// The default of the tint colour, the last effect parameter.
constexpr COLORREF kDefaultTintColor = 0x00C0C0C0;
// The width a metafile is rendered at for a device bitmap.
constexpr int kMetafileDdbWidth = 200;

// The last four characters of a path, lower-cased.
CString PathTail(const CString& strPath)
{
    CString strTail = strPath.GetLength() >= 4 ? strPath.Right(4) : strPath;
    strTail.MakeLower();
    return strTail;
}

// The first three letters of the file name, lower-cased.
CString FilePrefix(const CString& strPath)
{
    const int nSlash = std::max(strPath.ReverseFind('\\'), strPath.ReverseFind('/'));
    CString strPrefix = strPath.Mid(nSlash + 1).Left(3);
    strPrefix.MakeLower();
    return strPrefix;
}

} // namespace

CString MemoryOnlyPicturePath()
{
    CString str;
    if (!str.LoadString(IDS_PIC_MEMORY_ONLY) || str.IsEmpty())
        str = "<memory-only picture>";
    return str;
}

CImage::CImage()
{
    Reset();
}

CImage::CImage(LPCTSTR lpszPath, int nLoadMode)
{
    Reset();
    // Its callers (the kit's picture controls, the workspace background)
    // paint or tell about a picture that did not load themselves; a box
    // from here would come on every paint, or twice.
    SetWordFlag(IMAGE_FLAG_QUIET, TRUE);
    try {
        LoadFile(lpszPath, nLoadMode);
    } catch (CException* e) {
        e->Delete();
    }
    SetWordFlag(IMAGE_FLAG_QUIET, FALSE);
}

CImage::~CImage()
{
    Release();
}

void CImage::Reset()
{
    m_nHandle = kImageNoPicture;
    m_nBaseHandle = kImageNoPicture;
    m_wFlags = IMAGE_FLAG_EMBED;
    m_strPath.Empty();
    m_nPaletteValue = 0;
    m_nPlainPaint = 0;
    m_nOneShot1 = 0;
    m_nOneShot2 = 0;
    m_nTileOverride = 0;
    m_nForceReverse = 0;
    m_metafile.Clear();
    m_children.Clear();
    m_nValue1 = 1;
    m_nValue2 = 1;
    m_nFileBitsPerPixel = -1;
    m_sizeDisplay = CSize(0, 0);
    m_nSourceId = 0;
    std::fill(std::begin(m_effectParams), std::end(m_effectParams), 0);
    m_effectParams[kEffectParamCount - 1] = static_cast<int>(kDefaultTintColor);
    m_nFlipX = 0;
    m_nFlipY = 0;
    m_nRotation = 0;
    m_bFrameMirrored = FALSE;
    m_crTransparent = 0;
    for (POINT& pt : m_corners)
        pt = POINT{0, 0};
    m_nStoredHandle = kImageNoPicture;
    m_nStoredBaseHandle = kImageNoPicture;
    m_rasterData.clear();
    m_bRasterChanged = FALSE;
    m_wReadMirrorBits = 0;
}

void CImage::Release()
{
    const WORD wQuiet = m_wFlags & IMAGE_FLAG_QUIET;
    if (IsEngineHandle(m_nHandle)) {
        const int nCode = ReleasePicHandle(m_nHandle);
        if (nCode < 0)
            ReportError(nCode, FALSE);
    }
    if (IsEngineHandle(m_nBaseHandle))
        ReleasePicHandle(m_nBaseHandle);
    m_nBaseHandle = kImageNoPicture;
    m_metafile.Clear();
    m_children.Clear();
    Reset();
    m_wFlags = static_cast<WORD>((m_wFlags & ~WORD(IMAGE_FLAG_QUIET)) | wQuiet);
}

int CImage::NormalizeLoadMode(int nLoadMode)
{
    return nLoadMode == kDefaultLoadMode ? thePrefs.PaletteMethod : nLoadMode;
}

void CImage::ApplyTransparencyToEngine()
{
    if (IsRaster())
        SetPicTransparency(m_nHandle, (m_wFlags & IMAGE_FLAG_TRANSPARENT) != 0, &m_crTransparent);
}

void CImage::LoadFile(LPCTSTR lpszPath, int nLoadMode, BOOL bRasterizeWmf, BOOL bRasterizeIcons)
{
    const int nMode = NormalizeLoadMode(nLoadMode);
    const CString strPath = lpszPath != nullptr ? lpszPath : "";
    m_nLoadMode = nMode;
    Release();

    const CString strTail = PathTail(strPath);
    if (strTail == ".wmf" && !bRasterizeWmf) {
        m_metafile.LoadWmf(strPath);
    } else if (strTail == ".emf") {
        m_metafile.LoadEmf(strPath);
    } else if (strTail == ".cgm") {
        // Without a usable import filter the holder stays empty and the
        // engine reports the file.
        m_metafile.ImportCgm(strPath);
    } else if (strTail == ".ico" && !bRasterizeIcons) {
        m_children.ImportIcon(strPath);
    } else if (strTail == ".tmp") {
        const CString strPrefix = FilePrefix(strPath);
        if (strPrefix == "o4i")
            m_children.LoadTemp(strPath);
        else if (strPrefix == "wmf")
            m_metafile.LoadWmf(strPath);
        else if (strPrefix == "o4m")
            m_metafile.LoadTemp(strPath); // a bad file throws, the picture empty
    }
    if (m_metafile.HasMetaFile())
        m_nHandle = kImageMetafile;
    else if (m_children.m_pImage != nullptr)
        m_nHandle = kImageComposite;

    if (m_nHandle == kImageNoPicture) {
        int nBits = -1;
        const int nResult = LoadPic(strPath, nMode, &nBits);
        if (nResult == kPicErrNotFound) {
            m_nHandle = kImageNoPicture;
            AfxThrowFileException(CFileException::fileNotFound, -1, strPath);
        }
        if (nResult < 0) {
            // A code of -1 is told through the handle, so it holds the
            // code while the message is up.
            m_nHandle = nResult;
            ReportError(nResult, TRUE);
            m_nHandle = kImageNoPicture;
            AfxThrowUserException();
        }
        m_nHandle = nResult;
        m_nFileBitsPerPixel = nBits;
        ApplyTransparencyToEngine();
    }
    m_strPath = strPath;
}

void CImage::TakeNewRaster(int nResult)
{
    if (nResult < 1) {
        m_nHandle = kImageNoPicture;
        return;
    }
    m_nHandle = nResult;
    ApplyTransparencyToEngine();
    if (m_strPath.IsEmpty())
        m_strPath = MemoryOnlyPicturePath();
}

BOOL CImage::CreateFromDIB(HGLOBAL& hDib, BOOL bCopy)
{
    Release();
    TakeNewRaster(CreatePicFromDIB(hDib, bCopy));
    return IsRaster();
}

BOOL CImage::CreateFromMemory(const void* pData, DWORD nSize, int nLoadMode)
{
    const int nMode = NormalizeLoadMode(nLoadMode);
    Release();
    m_nLoadMode = nMode;
    if (pData == nullptr || nSize == 0)
        return FALSE;
    TakeNewRaster(CreatePicFromMemory(pData, nSize, nMode));
    return IsRaster();
}

void CImage::SetEnhMetaFile(HENHMETAFILE hEnhMetaFile)
{
    Release();
    m_metafile.SetEnhMetaFile(hEnhMetaFile);
    TakeMetafile();
}

void CImage::SetMetaFile(const CMetaFileInfo& other)
{
    Release();
    if (other.GetMetaFile() != NULL)
        m_metafile.SetMetaFileSized(other.GetMetaFile(), other.m_cxFrame, other.m_cyFrame);
    TakeMetafile();
}

void CImage::TakeMetafile()
{
    if (!m_metafile.HasMetaFile())
        return;
    m_nHandle = kImageMetafile;
    m_wFlags &= ~WORD(IMAGE_FLAG_TRANSPARENT);
    m_crTransparent = 0;
    if (m_strPath.IsEmpty())
        m_strPath = MemoryOnlyPicturePath();
}

BOOL CImage::AcquireFromScanner(int nLoadMode)
{
    const int nMode = NormalizeLoadMode(nLoadMode);
    Release();
    m_nLoadMode = nMode;
    const int nResult = AcquirePic(nMode);
    TakeNewRaster(nResult);
    return IsRaster();
}

void CImage::Copy(const CImage& other)
{
    if (&other == this)
        return;
    Release();
    m_wFlags = other.m_wFlags;
    m_bForceEmbed = other.m_bForceEmbed;
    m_nRotation = other.m_nRotation;
    m_nLoadMode = other.m_nLoadMode;
    if (other.m_nHandle == kImageMetafile) {
        m_metafile.Copy(other.m_metafile);
        m_nHandle = kImageMetafile;
        m_wFlags &= ~WORD(IMAGE_FLAG_TRANSPARENT);
        m_crTransparent = 0;
    } else if (other.m_nHandle == kImageComposite) {
        m_children.Copy(other.m_children);
        m_nHandle = kImageComposite;
        m_wFlags &= ~WORD(IMAGE_FLAG_TRANSPARENT);
        m_crTransparent = 0;
    } else if (other.IsRaster()) {
        const int nWorking = DuplicatePic(other.m_nHandle);
        m_nHandle = nWorking >= 1 ? nWorking : kImageNoPicture;
        if (IsEngineHandle(other.m_nBaseHandle)) {
            const int nBase = DuplicatePic(other.m_nBaseHandle);
            m_nBaseHandle = nBase >= 1 ? nBase : kImageNoPicture;
        }
        BOOL bOn = FALSE;
        COLORREF crColor = 0;
        GetPicTransparency(other.m_nHandle, &bOn, &crColor);
        m_crTransparent = crColor;
        if (bOn)
            m_wFlags |= IMAGE_FLAG_TRANSPARENT;
        else
            m_wFlags &= ~WORD(IMAGE_FLAG_TRANSPARENT);
        ApplyTransparencyToEngine();
    } else {
        // A picture whose stored bytes could not be decoded: its value
        // and bytes travel with it so that the copy stores them too.
        m_nHandle = other.m_nHandle;
        m_crTransparent = other.m_crTransparent;
    }
    std::copy(std::begin(other.m_effectParams), std::end(other.m_effectParams), std::begin(m_effectParams));
    m_nFlipX = other.m_nFlipX;
    m_nFlipY = other.m_nFlipY;
    m_nRotation = other.m_nRotation;
    // The copied raster was turned for the other's frame.
    m_bFrameMirrored = other.m_bFrameMirrored;
    m_nSourceId = other.m_nSourceId;
    m_strPath = other.m_strPath;
    m_nStoredHandle = other.m_nStoredHandle;
    m_nStoredBaseHandle = other.m_nStoredBaseHandle;
    m_rasterData = other.m_rasterData;
    m_bRasterChanged = other.m_bRasterChanged;
    m_wReadMirrorBits = other.m_wReadMirrorBits;
}

// ---- Queries -------------------------------------------------------------------------------

BOOL CImage::IsRaster() const
{
    return IsEngineHandle(m_nHandle);
}

void CImage::GetSize(SIZE& size, BOOL bNatural) const
{
    if (!bNatural && (m_sizeDisplay.cx != 0 || m_sizeDisplay.cy != 0)) {
        size = m_sizeDisplay;
        return;
    }
    size = SIZE{0, 0};
    if (m_nHandle == kImageMetafile) {
        size = SIZE{m_metafile.m_cxFrame, m_metafile.m_cyFrame};
    } else if (m_nHandle == kImageComposite) {
        const CSize child = m_children.GetSize();
        size = SIZE{child.cx, child.cy};
    } else if (IsRaster()) {
        const int nHandle = IsEngineHandle(m_nBaseHandle) ? m_nBaseHandle : m_nHandle;
        int cx = 0;
        int cy = 0;
        int nBits = 0;
        GetPicSize(nHandle, &cx, &cy, &nBits);
        size = SIZE{cx, cy};
    }
}

void CImage::SetDisplaySize(int cx, int cy)
{
    m_sizeDisplay = CSize(std::abs(cx), std::abs(cy));
}

BOOL CImage::IsMonochromeFile(LPCTSTR lpszPath)
{
    return IsPicFileMonochrome(lpszPath);
}

BOOL CImage::HasTransparency() const
{
    if (!IsRaster())
        return FALSE;
    BOOL bOn = FALSE;
    COLORREF crColor = 0;
    GetPicTransparency(m_nHandle, &bOn, &crColor);
    return bOn;
}

void CImage::GetTransparency(BOOL& bOn, COLORREF& crColor) const
{
    bOn = FALSE;
    crColor = 0;
    if (!IsRaster())
        return;
    GetPicTransparency(m_nHandle, &bOn, &crColor);
}

void CImage::SetTransparency(BOOL bOn, const COLORREF* pColor)
{
    if (!IsRaster())
        return;
    SetPicTransparency(m_nHandle, bOn, pColor);
    if (bOn)
        m_wFlags |= IMAGE_FLAG_TRANSPARENT;
    else
        m_wFlags &= ~WORD(IMAGE_FLAG_TRANSPARENT);
    if (pColor != nullptr)
        m_crTransparent = *pColor;
}

void CImage::SetFlip(BOOL bHorizontal, BOOL bVertical)
{
    m_nFlipX = bHorizontal ? 1 : 0;
    m_nFlipY = bVertical ? 1 : 0;
}

void CImage::SetMirror(BOOL bLeftRight, BOOL bTopBottom)
{
    const BOOL bHasX = (m_wFlags & IMAGE_FLAG_MIRROR_X) != 0;
    const BOOL bHasY = (m_wFlags & IMAGE_FLAG_MIRROR_Y) != 0;
    if (IsRaster()) {
        if (!bLeftRight != !bHasX && ReversePic(m_nHandle) >= 0)
            m_bRasterChanged = TRUE;
        if (!bTopBottom != !bHasY && FlipPic(m_nHandle) >= 0)
            m_bRasterChanged = TRUE;
    }
    SetWordFlag(IMAGE_FLAG_MIRROR_X, bLeftRight);
    SetWordFlag(IMAGE_FLAG_MIRROR_Y, bTopBottom);
}

void CImage::SetFrameMirrored(BOOL bMirrored)
{
    bMirrored = bMirrored ? TRUE : FALSE;
    if (bMirrored == m_bFrameMirrored)
        return;
    m_bFrameMirrored = bMirrored;
    // The turn is made anew from the unaltered raster, the other way.
    if (IsRaster() && m_nRotation % 360 != 0)
        ApplyEffect(kEffectReapply, 0, 0);
}

void CImage::SetCorners(const POINT corners[4])
{
    for (int i = 0; i < 4; ++i)
        m_corners[i] = corners[i];
}

void CImage::SetWordFlag(WORD wBits, BOOL bOn)
{
    if (bOn)
        m_wFlags |= wBits;
    else
        m_wFlags &= ~wBits;
}

void CImage::ReportError(int nCode, BOOL bShow) const
{
    const int nValue = nCode == -1 ? m_nHandle : nCode;
    CString strText;
    GetPicErrorText(nValue, strText);
    if (bShow && !strText.IsEmpty() && (m_wFlags & IMAGE_FLAG_QUIET) == 0)
        AfxMessageBox(strText);
}

// ---- Writing pictures out ------------------------------------------------------------------

int CImage::Export(LPCTSTR lpszPath, BOOL bUseDefault, BOOL bSetTransparent, COLORREF crTransparent,
    const CRect& rectRender)
{
    if (m_nHandle == kImageMetafile)
        RasterizeMetaFile(std::abs(rectRender.Width()), std::abs(rectRender.Height()));
    else if (m_nHandle == kImageComposite)
        RasterizeComposite();
    if (!IsRaster())
        return kPicErrBadHandle;
    // The file gets the picture unturned; the turn is put back after.
    const BOOL bTurned = m_nRotation % 360 != 0;
    if (bTurned)
        ApplyEffect(kEffectRotate, 0, 0);
    const int nResult =
        ExportPic(m_nHandle, lpszPath, bSetTransparent ? FALSE : bUseDefault, bSetTransparent, crTransparent);
    if (bTurned)
        ApplyEffect(kEffectRotate, -m_nRotation, 0);
    return nResult;
}

void CImage::SaveToTempFile(CString& strPath, BOOL bEightBit)
{
    strPath.Empty();
    if (m_nHandle == kImageComposite) {
        GetTempFilePath(strPath, "o4i");
        m_children.SaveTemp(strPath);
        return;
    }
    if (m_nHandle == kImageMetafile) {
        GetTempFilePath(strPath, "o4m");
        try {
            m_metafile.SaveTemp(strPath);
        } catch (CFileException*) {
            // No half-written file is left behind.
            RemoveFile(strPath);
            strPath.Empty();
            throw;
        }
        return;
    }
    if (!IsRaster())
        AfxThrowFileException(CFileException::genericException, -1, m_strPath);
    GetTempFilePath(strPath);
    // The file shows the picture as its source file did: the mirrors that
    // only the raster in memory carries are taken off for the write.
    // The rotation comes off first: its rebuild mirrors the raster again.
    const BOOL bTurned = m_nRotation % 360 != 0;
    if (bTurned)
        ApplyEffect(kEffectRotate, 0, 0);
    const BOOL bReverse = (m_wFlags & IMAGE_FLAG_MIRROR_X) != 0;
    const BOOL bFlip = (m_wFlags & IMAGE_FLAG_MIRROR_Y) != 0;
    if (bReverse)
        ReversePic(m_nHandle);
    if (bFlip)
        FlipPic(m_nHandle);
    const int nResult = SavePicToFile(m_nHandle, strPath, bEightBit);
    if (bFlip)
        FlipPic(m_nHandle);
    if (bReverse)
        ReversePic(m_nHandle);
    if (bTurned)
        ApplyEffect(kEffectRotate, -m_nRotation, 0);
    if (nResult < 0) {
        ReportError(nResult, TRUE);
        RemoveFile(strPath);
        AfxThrowFileException(CFileException::genericException, nResult, strPath);
    }
}

HBITMAP CImage::CreateDDB(CDC* pDC, BOOL bPalette) const
{
    if (IsRaster()) {
        // The engine selects its palette back out of the DC before it
        // answers, so the palette object may go with this call.
        CPalette palette;
        if (pDC != nullptr)
            return CreatePicDDB(pDC, m_nHandle, bPalette ? &palette : nullptr);
        const HDC hScreen = ::GetDC(NULL);
        if (hScreen == NULL)
            return NULL;
        CDC screen;
        screen.Attach(hScreen);
        const HBITMAP hBitmap = CreatePicDDB(&screen, m_nHandle, bPalette ? &palette : nullptr);
        screen.Detach();
        ::ReleaseDC(NULL, hScreen);
        return hBitmap;
    }
    if (m_nHandle == kImageComposite)
        return m_children.CreateDDB(pDC);
    if (m_nHandle != kImageMetafile || !m_metafile.HasMetaFile())
        return NULL;
    const int cxFrame = std::max(1, std::abs(m_metafile.m_cxFrame));
    const int cyFrame = std::max(1, std::abs(m_metafile.m_cyFrame));
    const int cx = kMetafileDdbWidth;
    const int cy = std::max(1, static_cast<int>(static_cast<long long>(cx) * cyFrame / cxFrame));
    CDC screen;
    CDC* pRef = pDC;
    if (pRef == nullptr) {
        if (!screen.CreateCompatibleDC(nullptr))
            return NULL;
        pRef = &screen;
    }
    CDC memory;
    if (!memory.CreateCompatibleDC(pRef))
        return NULL;
    CBitmap bitmap;
    if (!bitmap.CreateCompatibleBitmap(pRef, cx, cy))
        return NULL;
    CBitmap* pOld = memory.SelectObject(&bitmap);
    memory.PatBlt(0, 0, cx, cy, WHITENESS);
    // A mirrored picture plays into a rectangle turned the same way.
    CRect rect(0, 0, cx, cy);
    if (m_wFlags & IMAGE_FLAG_MIRROR_X)
        std::swap(rect.left, rect.right);
    if (m_wFlags & IMAGE_FLAG_MIRROR_Y)
        std::swap(rect.top, rect.bottom);
    m_metafile.Play(&memory, rect);
    memory.SelectObject(pOld);
    return static_cast<HBITMAP>(bitmap.Detach());
}

BOOL CImage::RasterizeMetaFile(int cx, int cy)
{
    if (m_nHandle != kImageMetafile || !m_metafile.HasMetaFile())
        return FALSE;
    if (cx <= 0 || cy <= 0) {
        cx = std::abs(m_metafile.m_cxFrame);
        cy = std::abs(m_metafile.m_cyFrame);
    }
    cx = std::max(1, cx);
    cy = std::max(1, cy);
    // The mirrors, the cropped bit and the flips belong to the object, not
    // to the metafile: they stay with the raster. (Drawing the metafile
    // upright below records that orientation in its bits.)
    const WORD wKeep = m_wFlags & (IMAGE_FLAG_MIRROR_X | IMAGE_FLAG_MIRROR_Y | IMAGE_FLAG_CROPPED);
    const int nFlipX = m_nFlipX;
    const int nFlipY = m_nFlipY;
    const HBITMAP hBitmap = RenderMetaFile(cx, cy);
    if (hBitmap == NULL) {
        m_wFlags = static_cast<WORD>((m_wFlags & ~WORD(IMAGE_FLAG_MIRROR_X | IMAGE_FLAG_MIRROR_Y)) | wKeep);
        return FALSE;
    }
    CBitmap bitmap;
    bitmap.Attach(hBitmap);
    const BOOL bMade = CreateFromBitmap(&bitmap, NULL, FALSE, kDefaultLoadMode);
    bitmap.DeleteObject();
    // The metafile was rendered upright; the raster takes the orientation
    // its mirror bits give it.
    if (bMade && (wKeep & IMAGE_FLAG_MIRROR_X))
        ReversePic(m_nHandle);
    if (bMade && (wKeep & IMAGE_FLAG_MIRROR_Y))
        FlipPic(m_nHandle);
    m_wFlags = static_cast<WORD>((m_wFlags & ~WORD(IMAGE_FLAG_MIRROR_X | IMAGE_FLAG_MIRROR_Y | IMAGE_FLAG_CROPPED))
        | wKeep);
    m_nFlipX = nFlipX;
    m_nFlipY = nFlipY;
    return bMade;
}

BOOL CImage::RasterizeComposite()
{
    if (m_nHandle != kImageComposite || m_children.m_pImage == nullptr)
        return FALSE;
    const HBITMAP hBitmap = m_children.CreateDDB(nullptr);
    if (hBitmap == NULL)
        return FALSE;
    CBitmap bitmap;
    bitmap.Attach(hBitmap);
    const BOOL bMade = CreateFromBitmap(&bitmap, NULL, FALSE, kDefaultLoadMode);
    bitmap.DeleteObject();
    return bMade;
}

BOOL CImage::LoadThumbnail(int nMax, LPCTSTR lpszPath)
{
    // A thumbnail is one picture of many (a folder's catalog, a grid): a
    // file that cannot be read answers FALSE without a message.
    const BOOL bQuiet = (m_wFlags & IMAGE_FLAG_QUIET) != 0;
    SetWordFlag(IMAGE_FLAG_QUIET, TRUE);
    try {
        LoadFile(lpszPath, kDefaultLoadMode, TRUE, FALSE);
    } catch (CException* e) {
        e->Delete();
        SetWordFlag(IMAGE_FLAG_QUIET, bQuiet);
        return FALSE;
    }
    SetWordFlag(IMAGE_FLAG_QUIET, bQuiet);
    SIZE size{0, 0};
    GetSize(size, TRUE);
    if (nMax < 1 || size.cx < 1 || size.cy < 1 || !IsRaster())
        return TRUE;
    // The natural size fitted into a square of nMax, proportions kept.
    const int cxMax = std::min<int>(size.cx, nMax);
    const int cyMax = std::min<int>(size.cy, nMax);
    long long cx = cxMax;
    long long cy = static_cast<long long>(size.cy) * cxMax / size.cx;
    if (cy > cyMax) {
        cy = cyMax;
        cx = static_cast<long long>(size.cx) * cyMax / size.cy;
    }
    ResizePic(m_nHandle, std::max<int>(1, static_cast<int>(cx)), std::max<int>(1, static_cast<int>(cy)));
    m_bRasterChanged = TRUE;
    return TRUE;
}
