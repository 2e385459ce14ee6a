// Drawing pictures into device contexts: rasters through the picture
// engine with their mirror state kept in line with the target, metafiles,
// composites of an image and its mask, tiles, captions, the placeholder and
// the half-strength translucent look.
//
// The mirror rule: a rectangle whose corners run left to right and top to
// bottom on the device shows the picture as its file has it; a rectangle
// reversed on the device shows it mirrored. The raster in memory is turned
// to match before it is painted, and flag bits 3 and 4 always say whether
// it is mirrored in memory. The device, not the logical units, decides, so
// the surface (whose logical y grows upwards), dialogs in MM_TEXT, the
// printer and the mirrored printing of transfers all show the same thing.

#include "pictures/Image.h"

#include "app/DcStateSaver.h"
#include "pictures/PictureEngine.h"
#include "platform/base/GlobalMemory.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"
#include "platform/gdi/PreviewDc.h"
#include "platform/imaging/Imaging.h"
#include "resources/pictures.h"
#include "surface/Surface.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr DWORD kRopNormal = 0;
// Translucent pictures show at this strength over what lies below.
constexpr BYTE kTranslucentAlpha = 128;

BOOL IsEngineHandle(int nHandle)
{
    return nHandle >= 1 && nHandle != kImageMetafile && nHandle != kImageComposite;
}

// Paper: a printer, a print preview, or a caller that asks for the printing
// variant.
BOOL IsPaper(CDC* pDC, BOOL bThroughMemory)
{
    return pDC->IsPrinting() || bThroughMemory;
}

// The rectangle's corners in device units, in their own order (not
// normalised), so that the orientation on the device can be read from it.
CRect DeviceCorners(CDC* pDC, const CRect& rect)
{
    CRect device = rect;
    pDC->LPtoDP(&device);
    return device;
}

BOOL IsEmptyDestination(const CRect& rect)
{
    return rect.left == rect.right || rect.top == rect.bottom;
}

// Brings the raster behind the picture's working handle to the mirror state
// the device rectangle asks for (see the file comment). A pending forced
// reverse mirrors once more. Answers the first engine failure, else 0.
int OrientRaster(CImage& image, const CRect& device)
{
    if (!IsEngineHandle(image.m_nHandle))
        return 0;
    const BOOL bWantX = device.right < device.left;
    const BOOL bWantY = device.bottom < device.top;
    const BOOL bHasX = (image.m_wFlags & IMAGE_FLAG_MIRROR_X) != 0;
    const BOOL bHasY = (image.m_wFlags & IMAGE_FLAG_MIRROR_Y) != 0;
    const BOOL bForce = image.m_nForceReverse != 0;
    image.m_nForceReverse = 0;
    if (bWantX != bHasX || bForce) {
        const int nResult = ReversePic(image.m_nHandle);
        if (nResult < 0)
            return nResult;
    }
    image.SetWordFlag(IMAGE_FLAG_MIRROR_X, bWantX);
    if (bWantY != bHasY) {
        const int nResult = FlipPic(image.m_nHandle);
        if (nResult < 0)
            return nResult;
    }
    image.SetWordFlag(IMAGE_FLAG_MIRROR_Y, bWantY);
    return 0;
}

// Metafiles and composites are not turned in memory: their bits record the
// orientation they were last drawn in.
void RecordOrientation(CImage& image, const CRect& device)
{
    image.SetWordFlag(IMAGE_FLAG_MIRROR_X, device.right < device.left);
    image.SetWordFlag(IMAGE_FLAG_MIRROR_Y, device.bottom < device.top);
}

// The page of the view's design in device units, when the DC is a print
// preview whose pictures must stay on the page; empty otherwise.
CRect PreviewPageClip(const CImage& image, CDC* pDC)
{
    if (!IsPreviewDC(pDC) || image.m_pView == nullptr)
        return CRect();
    return LogicalToDeviceRect(pDC, image.m_pView->GetPageRect());
}

// The engine's clip for a paint: the caller's clip rectangle and the
// preview page, both in device units; empty for none.
CRect PaintClip(const CImage& image, CDC* pDC, const CRect& rectClip)
{
    // Logical rectangles may run either way: only a degenerate one is none.
    CRect clip;
    if (rectClip.left != rectClip.right && rectClip.top != rectClip.bottom)
        clip = LogicalToDeviceRect(pDC, rectClip);
    const CRect page = PreviewPageClip(image, pDC);
    if (page.IsRectEmpty())
        return clip;
    if (clip.IsRectEmpty())
        return page;
    CRect both;
    if (!both.IntersectRect(&clip, &page))
        return CRect(page.left, page.top, page.left, page.top);
    return both;
}

CRect WholePicture(int nHandle)
{
    int cx = 0;
    int cy = 0;
    int nBits = 0;
    GetPicSize(nHandle, &cx, &cy, &nBits);
    return CRect(0, 0, cx, cy);
}

// ---- Pictures with alpha made for one paint ------------------------------------------------

// A pixel of a bitmap record as BGRA (alpha 255 unless the record has it).
struct Bgra {
    BYTE b;
    BYTE g;
    BYTE r;
    BYTE a;
};

Bgra PixelAt(const LTBITMAP& bitmap, const BYTE* row, int x)
{
    auto fromPalette = [&](int nIndex) {
        if (nIndex < 0 || size_t(nIndex) >= bitmap.Palette.size())
            return Bgra{0, 0, 0, 255};
        const RGBQUAD& q = bitmap.Palette[size_t(nIndex)];
        return Bgra{q.rgbBlue, q.rgbGreen, q.rgbRed, 255};
    };
    switch (bitmap.BitsPerPixel) {
    case 1: return fromPalette((row[x / 8] >> (7 - x % 8)) & 1);
    case 4: return fromPalette((row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F);
    case 8: return fromPalette(row[x]);
    case 16: {
        const unsigned w = unsigned(row[x * 2]) | (unsigned(row[x * 2 + 1]) << 8);
        auto level = [](unsigned c) { return BYTE((c << 3) | (c >> 2)); };
        return Bgra{level(w & 0x1F), level((w >> 5) & 0x1F), level((w >> 10) & 0x1F), 255};
    }
    case 24:
    case 32: {
        const int nStep = bitmap.BitsPerPixel / 8;
        const BYTE* p = row + size_t(x) * size_t(nStep);
        const BYTE a = nStep == 4 ? p[3] : 255;
        if (bitmap.Order == LT_ORDER_RGB)
            return Bgra{p[2], p[1], p[0], a};
        return Bgra{p[0], p[1], p[2], a};
    }
    default: return Bgra{0, 0, 0, 255};
    }
}

// Whether a record can be read pixel by pixel: its memory holds every row.
BOOL IsReadable(const LTBITMAP* pBitmap)
{
    if (pBitmap == nullptr || pBitmap->Width < 1 || pBitmap->Height < 1)
        return FALSE;
    const int nBits = pBitmap->BitsPerPixel;
    if (nBits != 1 && nBits != 4 && nBits != 8 && nBits != 16 && nBits != 24 && nBits != 32)
        return FALSE;
    const size_t nRowBytes = (size_t(pBitmap->Width) * size_t(nBits) + 7) / 8;
    return pBitmap->BytesPerLine > 0 && size_t(pBitmap->BytesPerLine) >= nRowBytes
        && pBitmap->Pixels.size() >= size_t(pBitmap->BytesPerLine) * size_t(pBitmap->Height);
}

// How the alpha of a temporary picture is made.
struct AlphaRecipe {
    const COLORREF* pTransparent = nullptr; // pixels of this colour become clear
    const LTBITMAP* pMask = nullptr;        // white mask pixels become clear
    BYTE nStrength = 255;                   // every alpha is scaled by this / 255
};

// A temporary engine picture of the raster at 32 bits with the alpha the
// recipe gives; the caller releases it. 0 when nothing of it would show,
// a code when it cannot be made.
int MakeAlphaPicture(int nHandle, const AlphaRecipe& recipe)
{
    LTBITMAP* pSource = nullptr;
    if (GetPicBitmap(nHandle, &pSource) != 1 || !IsReadable(pSource))
        return kPicErrBadHandle;
    if (recipe.pMask != nullptr && !IsReadable(recipe.pMask))
        return kPicErrBadHandle;
    const LTBITMAP& source = *pSource;
    const int cx = source.Width;
    const int cy = source.Height;
    const size_t nStride = size_t(cx) * 4;
    const size_t nBytes = sizeof(BITMAPINFOHEADER) + nStride * size_t(cy);
    HGLOBAL hDib = ::GlobalAlloc(GMEM_MOVEABLE, nBytes);
    BYTE* pDib = hDib != NULL ? static_cast<BYTE*>(::GlobalLock(hDib)) : nullptr;
    if (pDib == nullptr) {
        if (hDib != NULL)
            ::GlobalFree(hDib);
        return kPicErrNoMemory;
    }
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = cx;
    header.biHeight = cy;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    header.biSizeImage = DWORD(nStride * size_t(cy));
    std::memcpy(pDib, &header, sizeof(header));
    BYTE* pBits = pDib + sizeof(BITMAPINFOHEADER);

    const COLORREF crClear = recipe.pTransparent != nullptr ? (*recipe.pTransparent & 0x00FFFFFF) : 0;
    const LTBITMAP* pMask = recipe.pMask;
    BOOL bAnyShows = FALSE;
    for (int y = 0; y < cy; ++y) {
        const BYTE* pRow = source.Pixels.data() + size_t(y) * size_t(source.BytesPerLine);
        // DIB rows run bottom-up.
        BYTE* pOut = pBits + size_t(cy - 1 - y) * nStride;
        const BYTE* pMaskRow = nullptr;
        if (pMask != nullptr) {
            const int my = int(int64_t(y) * pMask->Height / cy);
            pMaskRow = pMask->Pixels.data() + size_t(my) * size_t(pMask->BytesPerLine);
        }
        for (int x = 0; x < cx; ++x) {
            const Bgra p = PixelAt(source, pRow, x);
            unsigned a = p.a;
            if (recipe.pTransparent != nullptr && RGB(p.r, p.g, p.b) == crClear)
                a = 0;
            if (pMaskRow != nullptr) {
                const Bgra m = PixelAt(*pMask, pMaskRow, int(int64_t(x) * pMask->Width / cx));
                if (unsigned(m.r) + m.g + m.b >= 3 * 128)
                    a = 0;
            }
            a = (a * recipe.nStrength + 127) / 255;
            bAnyShows = bAnyShows || a != 0;
            BYTE* q = pOut + size_t(x) * 4;
            q[0] = p.b;
            q[1] = p.g;
            q[2] = p.r;
            q[3] = BYTE(a);
        }
    }
    ::GlobalUnlock(hDib);
    if (!bAnyShows) {
        // A DIB whose alpha is 0 all over may be read as one without alpha,
        // which would paint what should not show at all.
        ::GlobalFree(hDib);
        return 0;
    }
    return CreatePicFromDIB(hDib, FALSE);
}

// Paints a temporary alpha picture of the raster into the device rectangle
// and releases it.
int PaintWithAlpha(int nHandle, const AlphaRecipe& recipe, CDC* pDC, const CRect& device, const CRect& clip,
    BOOL bPaper)
{
    const int nTemp = MakeAlphaPicture(nHandle, recipe);
    if (nTemp < 1)
        return nTemp;
    const int nResult = PaintPic(nTemp, pDC, WholePicture(nTemp), device, clip, SRCCOPY, bPaper);
    ReleasePicHandle(nTemp);
    return nResult;
}

// Whether the picture's transparent colour is in force for painting.
BOOL PaintsTransparent(const CImage& image)
{
    return (image.m_wFlags & IMAGE_FLAG_TRANSPARENT) != 0 && image.m_nPlainPaint == 0 && image.HasTransparency();
}

// Paints the raster of an oriented picture: through a temporary picture
// with alpha when it is translucent or has a transparent colour (so the
// paper shows through on a page as the screen shows what is below), else
// straight.
int PaintRaster(CImage& image, CDC* pDC, const CRect& device, const CRect& clip, BOOL bPaper, DWORD dwRop)
{
    const BOOL bTranslucent = (image.m_wFlags & IMAGE_FLAG_TRANSLUCENT) != 0;
    const BOOL bTransparent = PaintsTransparent(image);
    if ((bTranslucent || bTransparent) && dwRop == kRopNormal) {
        AlphaRecipe recipe;
        BOOL bOn = FALSE;
        COLORREF crColor = 0;
        if (bTransparent) {
            GetPicTransparency(image.m_nHandle, &bOn, &crColor);
            if (!bOn)
                crColor = image.m_crTransparent;
            recipe.pTransparent = &crColor;
        }
        recipe.nStrength = bTranslucent ? kTranslucentAlpha : 255;
        return PaintWithAlpha(image.m_nHandle, recipe, pDC, device, clip, bPaper);
    }
    const BOOL bSwitchOff = image.m_nPlainPaint != 0 && image.HasTransparency();
    BOOL bOn = FALSE;
    COLORREF crColor = 0;
    if (bSwitchOff) {
        // Painting plainly: the engine must not apply the colour this time.
        GetPicTransparency(image.m_nHandle, &bOn, &crColor);
        SetPicTransparency(image.m_nHandle, FALSE, nullptr);
    }
    const DWORD dwPaintRop = dwRop == kRopNormal ? SRCCOPY : dwRop;
    const int nResult = PaintPic(image.m_nHandle, pDC, WholePicture(image.m_nHandle), device, clip, dwPaintRop,
        bPaper);
    if (bSwitchOff)
        SetPicTransparency(image.m_nHandle, bOn, &crColor);
    return nResult;
}

// At most this many tiles a side: a tiny picture tiled over a large place
// is repeated in larger tiles rather than in millions of paints.
constexpr int kMaxTilesPerSide = 256;

// Grows a tile that would be repeated more than kMaxTilesPerSide times
// across or down an extent.
void BoundTile(CSize& sizeTile, const CSize& extent)
{
    auto bound = [](LONG& nTile, LONG nExtent) {
        nExtent = std::abs(nExtent);
        if (nTile >= 1 && nExtent / nTile >= kMaxTilesPerSide)
            nTile = (nExtent + kMaxTilesPerSide - 1) / kMaxTilesPerSide;
    };
    bound(sizeTile.cx, extent.cx);
    bound(sizeTile.cy, extent.cy);
}

// The clip region of a rotated picture: its corner polygon on the device.
// FALSE when the corners enclose nothing (not yet set by a rotation).
BOOL MakeCornerRegion(const CImage& image, CDC* pDC, CRgn& region)
{
    POINT corners[4];
    std::copy(std::begin(image.m_corners), std::end(image.m_corners), corners);
    pDC->LPtoDP(corners, 4);
    int64_t nTwiceArea = 0;
    for (int i = 0; i < 4; ++i) {
        const POINT& a = corners[i];
        const POINT& b = corners[(i + 1) % 4];
        nTwiceArea += int64_t(a.x) * b.y - int64_t(b.x) * a.y;
    }
    if (nTwiceArea == 0)
        return FALSE;
    return region.CreatePolygonRgn(corners, 4, WINDING);
}

// The clip region of a turned raster: the outline of the picture inside
// the turned raster painted into the device rectangle, so that the corners
// the turn filled never show and nothing of the picture is cut. The outline
// comes from the raster itself (its unturned size, the angle and the way
// it was turned, its mirrors in memory), so it fits what is painted on any
// device and at any scale. FALSE when the raster is not turned as recorded
// (a rotation only noted, or an effect that changed its size).
BOOL MakeTurnedRegion(const CImage& image, const CRect& device, CRgn& region)
{
    if (!IsEngineHandle(image.m_nHandle) || !IsEngineHandle(image.m_nBaseHandle) || image.m_nRotation % 360 == 0)
        return FALSE;
    int w = 0;
    int h = 0;
    int tw = 0;
    int th = 0;
    int nBits = 0;
    GetPicSize(image.m_nBaseHandle, &w, &h, &nBits);
    GetPicSize(image.m_nHandle, &tw, &th, &nBits);
    if (w < 1 || h < 1 || tw < 1 || th < 1 || device.Width() < 1 || device.Height() < 1)
        return FALSE;
    // Counter-clockwise as shown, by the stored angle; the other way in a
    // frame mirrored once (see CImage::SetFrameMirrored).
    const double dDegrees = image.m_bFrameMirrored ? -image.m_nRotation : image.m_nRotation;
    const double dRadians = dDegrees * 3.14159265358979323846 / 180.0;
    const double c = std::cos(dRadians);
    const double s = std::sin(dRadians);
    const double dBoundsX = std::fabs(w * c) + std::fabs(h * s);
    const double dBoundsY = std::fabs(w * s) + std::fabs(h * c);
    if (std::fabs(dBoundsX - tw) > 2.0 || std::fabs(dBoundsY - th) > 2.0)
        return FALSE;
    const double dScaleX = double(device.Width()) / tw;
    const double dScaleY = double(device.Height()) / th;
    const double dCentreX = (double(device.left) + device.right) / 2.0;
    const double dCentreY = (double(device.top) + device.bottom) / 2.0;
    const double dMirrorX = (image.m_wFlags & IMAGE_FLAG_MIRROR_X) ? -1.0 : 1.0;
    const double dMirrorY = (image.m_wFlags & IMAGE_FLAG_MIRROR_Y) ? -1.0 : 1.0;
    const double corners[4][2] = {{-w / 2.0, -h / 2.0}, {w / 2.0, -h / 2.0}, {w / 2.0, h / 2.0}, {-w / 2.0, h / 2.0}};
    POINT points[4];
    for (int i = 0; i < 4; ++i) {
        // Rows run downwards: a counter-clockwise turn as shown.
        const double x = corners[i][0] * c + corners[i][1] * s;
        const double y = -corners[i][0] * s + corners[i][1] * c;
        points[i].x = LONG(std::lround(dCentreX + dMirrorX * x * dScaleX));
        points[i].y = LONG(std::lround(dCentreY + dMirrorY * y * dScaleY));
    }
    return region.CreatePolygonRgn(points, 4, WINDING);
}

// The caption's word over the destination, centred, in a font of its own.
void DrawCaptionOver(CDC* pDC, const CRect& device, UINT nId)
{
    CString strWord;
    if (!strWord.LoadString(nId) || strWord.IsEmpty())
        return;
    CRect area = device;
    area.NormalizeRect();
    if (area.Width() < 1 || area.Height() < 1)
        return;
    CDCStateSaver saver(pDC);
    pDC->SetMapMode(MM_TEXT);
    pDC->SetWindowOrg(0, 0);
    pDC->SetViewportOrg(area.left, area.top);
    CImage::DrawCaption(pDC, area.Width(), area.Height(), strWord);
}

// Palette realised for a paint and put back after it.
class PaletteScope {
public:
    PaletteScope(CImage& image, CDC* pDC, BOOL bPalette)
        : m_image(image)
        , m_pDC(pDC)
        , m_bOn(bPalette && IsEngineHandle(image.m_nHandle))
    {
        if (!m_bOn)
            return;
        m_nResult = RealizePicPalette(image.m_nHandle, pDC);
        if (m_nResult < 0)
            image.ReportError(m_nResult, FALSE);
    }
    ~PaletteScope()
    {
        if (m_bOn)
            RestorePicPalette(m_image.m_nHandle, m_pDC);
    }
    int Result() const { return m_nResult; }

private:
    CImage& m_image;
    CDC* m_pDC;
    BOOL m_bOn;
    int m_nResult = 0;
};

// The end of a drawing: FALSE only when the engine ran out of memory; any
// other failure is reported quietly.
BOOL Finish(const CImage& image, int nResult)
{
    if (nResult == kPicErrNoMemory)
        return FALSE;
    if (nResult < 0)
        image.ReportError(nResult, FALSE);
    return TRUE;
}

} // namespace

// ---- CImage --------------------------------------------------------------------------------------

BOOL CImage::Draw(CDC* pDC, const CRect& rectDest, const CRect& rectSecond, const CRect& rectClip, BOOL bPalette,
    BOOL bThroughMemory, BOOL bNoPolygonClip)
{
    if (pDC == nullptr)
        return TRUE;
    CDCStateSaver saver(pDC);
    const int nOneShot1 = m_nOneShot1;
    const int nOneShot2 = m_nOneShot2;
    m_nOneShot1 = 0;
    m_nOneShot2 = 0;
    if (m_nHandle < 0)
        return TRUE;
    const BOOL bPrinting = pDC->IsPrinting();
    const BOOL bPaper = IsPaper(pDC, bThroughMemory);
    if ((m_wFlags & IMAGE_FLAG_PLACEHOLDER) && !bPrinting) {
        DrawPlaceholder(pDC, rectDest);
        return TRUE;
    }
    const BOOL bTiled = (m_wFlags & IMAGE_FLAG_TILED) != 0 && m_nTileOverride == 0;
    m_rectClip = rectClip;
    const CRect device = DeviceCorners(pDC, rectDest);

    if (m_nHandle == kImageMetafile) {
        if (IsEmptyDestination(rectDest))
            return TRUE;
        // The holder keeps to the preview page itself, and repeats the
        // metafile over the destination when the picture is tiled (2 x 2
        // when the one-shot value asks for it).
        const CRect page = PreviewPageClip(*this, pDC);
        m_metafile.m_nTileRequest = nOneShot1;
        if (bTiled)
            m_metafile.DrawTiled(pDC, rectDest, rectClip, bPalette, page);
        else
            m_metafile.Draw(pDC, rectDest, rectClip, bPalette, page);
        m_metafile.m_nTileRequest = 0;
        if (!bPrinting)
            RecordOrientation(*this, device);
        return TRUE;
    }
    if (m_nHandle == kImageComposite) {
        // The children keep to the same preview page as the picture.
        for (CImage* pChild : {m_children.m_pImage, m_children.m_pMask}) {
            if (pChild != nullptr)
                pChild->m_pView = m_pView;
        }
        BOOL bResult = TRUE;
        if (m_wFlags & IMAGE_FLAG_TRANSLUCENT) {
            // Half strength over what lies below: the image with its mask's
            // alpha, at half.
            if (m_children.m_pImage != nullptr && IsEngineHandle(m_children.m_pImage->m_nHandle)
                && !IsEmptyDestination(rectDest)) {
                CImage& child = *m_children.m_pImage;
                int nResult = OrientRaster(child, device);
                LTBITMAP* pMask = nullptr;
                if (m_children.m_pMask != nullptr && IsEngineHandle(m_children.m_pMask->m_nHandle)) {
                    if (nResult >= 0)
                        nResult = OrientRaster(*m_children.m_pMask, device);
                    GetPicBitmap(m_children.m_pMask->m_nHandle, &pMask);
                }
                if (nResult >= 0) {
                    AlphaRecipe recipe;
                    recipe.pMask = pMask;
                    recipe.nStrength = kTranslucentAlpha;
                    nResult = PaintWithAlpha(child.m_nHandle, recipe, pDC, LogicalToDeviceRect(pDC, rectDest),
                        PaintClip(*this, pDC, rectClip), bPaper);
                }
                bResult = Finish(*this, nResult);
            }
        } else if (bTiled) {
            m_children.m_nTranslucent = nOneShot1;
            bResult = m_children.DrawTranslucent(pDC, rectDest, rectSecond, bPalette);
        } else {
            bResult = m_children.Draw(pDC, rectDest, rectSecond, rectClip, bPalette, bThroughMemory, bNoPolygonClip);
        }
        if (!bPrinting)
            RecordOrientation(*this, device);
        return bResult;
    }

    // A raster picture.
    if (IsEmptyDestination(rectDest))
        return TRUE;
    int nResult = OrientRaster(*this, device);
    if (nResult < 0)
        return Finish(*this, nResult);
    PaletteScope palette(*this, pDC, bPalette);

    if (nOneShot2 != 0) {
        if (m_wFlags & IMAGE_FLAG_TRANSLUCENT)
            DrawCaptionOver(pDC, device, IDS_PIC_TRANSLUCENT);
        else if (PaintsTransparent(*this) || (m_wFlags & IMAGE_FLAG_TRANSPARENT))
            DrawCaptionOver(pDC, device, IDS_PIC_TRANSPARENT);
    }

    const CRect deviceRect = LogicalToDeviceRect(pDC, rectDest);
    // On the screen the picture keeps inside the corners its frame gave
    // it; on paper as on the screen, what a turned raster's corners hold
    // (the turn's fill) never shows and hides nothing below.
    CRgn corners;
    if (!bPrinting && !bNoPolygonClip && HasRotation() && m_nSourceId == 0 && MakeCornerRegion(*this, pDC, corners))
        pDC->SelectClipRgn(&corners, RGN_AND);
    CRgn turned;
    if (!bNoPolygonClip && !bTiled && MakeTurnedRegion(*this, deviceRect, turned))
        pDC->SelectClipRgn(&turned, RGN_AND);
    const CRect clip = PaintClip(*this, pDC, rectClip);
    if (bTiled && nOneShot1 != 0) {
        SIZE sizePicture{0, 0};
        GetSize(sizePicture, TRUE);
        CSize sizeTile(sizePicture);
        BoundTile(sizeTile, CSize(rectDest.Width(), rectDest.Height()));
        int nAcross = 1;
        int nDown = 1;
        int nStepX = 1;
        int nStepY = 1;
        GetTileCounts(rectDest, sizeTile, nAcross, nDown, nStepX, nStepY);
        // Tiles of the picture's own size in logical units, from the
        // destination's first corner, cut at its far sides.
        CRect logical = rectDest;
        const int nDirX = logical.right < logical.left ? -1 : 1;
        const int nDirY = logical.bottom < logical.top ? -1 : 1;
        for (int j = 0; j < nDown && nResult >= 0; ++j) {
            for (int i = 0; i < nAcross && nResult >= 0; ++i) {
                const CRect tile(logical.left + nDirX * i * sizeTile.cx, logical.top + nDirY * j * sizeTile.cy,
                    logical.left + nDirX * (i + 1) * sizeTile.cx, logical.top + nDirY * (j + 1) * sizeTile.cy);
                CRect tileClip = LogicalToDeviceRect(pDC, tile);
                tileClip.IntersectRect(&tileClip, &deviceRect);
                if (!clip.IsRectEmpty())
                    tileClip.IntersectRect(&tileClip, &clip);
                if (tileClip.IsRectEmpty())
                    continue;
                nResult = PaintRaster(*this, pDC, LogicalToDeviceRect(pDC, tile), tileClip, bPaper, kRopNormal);
            }
        }
    } else {
        nResult = PaintRaster(*this, pDC, deviceRect, clip, bPaper, kRopNormal);
    }
    return Finish(*this, nResult);
}

BOOL CImage::DrawRaster(CDC* pDC, const CRect& rectDest, BOOL bSource)
{
    // The working raster is what is drawn; no caller needs another.
    (void)bSource;
    if (pDC == nullptr || m_nHandle < 0 || !IsEngineHandle(m_nHandle) || IsEmptyDestination(rectDest))
        return TRUE;
    int nResult = OrientRaster(*this, DeviceCorners(pDC, rectDest));
    if (nResult >= 0) {
        const CRect clip = PreviewPageClip(*this, pDC);
        nResult = PaintPic(m_nHandle, pDC, WholePicture(m_nHandle), LogicalToDeviceRect(pDC, rectDest), clip, SRCCOPY,
            pDC->IsPrinting());
    }
    return Finish(*this, nResult);
}

void CImage::DrawPlaceholder(CDC* pDC, const CRect& rect)
{
    if (pDC == nullptr)
        return;
    CPen pen;
    if (!pen.CreatePen(PS_DASH, 0, RGB(0, 0, 0)))
        return;
    CPen* pOld = pDC->SelectObject(&pen);
    pDC->MoveTo(rect.left, rect.top);
    pDC->LineTo(rect.right, rect.bottom);
    pDC->MoveTo(rect.right, rect.top);
    pDC->LineTo(rect.left, rect.bottom);
    pDC->SelectObject(pOld);
}

void CImage::DrawCaption(CDC* pDC, int nWidth, int nHeight, LPCTSTR lpszText)
{
    if (pDC == nullptr || lpszText == nullptr || nWidth < 1 || nHeight < 1)
        return;
    const CString strText = lpszText;
    // The largest height, from the given one down, whose text fits.
    CFont font;
    CSize extent(0, 0);
    BOOL bFits = FALSE;
    for (int nFont = nHeight; nFont >= 1 && !bFits; --nFont) {
        font.DeleteObject();
        if (!font.CreateFont(nFont, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial"))
            return;
        CFont* pOld = pDC->SelectObject(&font);
        extent = pDC->GetTextExtent(strText);
        pDC->SelectObject(pOld);
        bFits = extent.cx <= nWidth && extent.cy <= nHeight;
    }
    if (!bFits)
        return;
    CFont* pOld = pDC->SelectObject(&font);
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    pDC->TextOut((nWidth - extent.cx) / 2, (nHeight - extent.cy) / 2, strText);
    pDC->SetBkMode(nOldMode);
    pDC->SelectObject(pOld);
}

BOOL CImage::DrawTranslucent(CDC* pDC, const CRect& rectDest, const CRect& rectSecond, BOOL bPalette,
    BOOL bThreePasses, DWORD dwRop1, DWORD dwRop2, DWORD dwRop3)
{
    (void)rectSecond;
    const int nOneShot1 = m_nOneShot1;
    m_nOneShot1 = 0;
    if (pDC == nullptr || m_nHandle < 0 || !IsEngineHandle(m_nHandle))
        return TRUE;
    const BOOL bPrinting = pDC->IsPrinting();
    if ((m_wFlags & IMAGE_FLAG_PLACEHOLDER) && !bPrinting) {
        DrawPlaceholder(pDC, rectDest);
        return TRUE;
    }
    CDCStateSaver saver(pDC);
    if (IsEmptyDestination(rectDest))
        return TRUE;
    CRgn clipBox;
    if (!bPrinting) {
        CRect box;
        if (pDC->GetClipBox(&box) != ERROR) {
            pDC->LPtoDP(&box);
            box.NormalizeRect();
            if (clipBox.CreateRectRgnIndirect(&box))
                pDC->SelectClipRgn(&clipBox, RGN_AND);
        }
    }
    int nResult = OrientRaster(*this, DeviceCorners(pDC, rectDest));
    if (nResult < 0)
        return Finish(*this, nResult);
    const CRect device = LogicalToDeviceRect(pDC, rectDest);

    PaletteScope palette(*this, pDC, bPalette);
    if (palette.Result() == 2 && m_nPaletteValue != 0)
        return TRUE;

    CSize sizeTile;
    {
        SIZE size{0, 0};
        GetSize(size, FALSE);
        sizeTile = size;
    }
    if (m_nTileOverride == 0 && nOneShot1 == 0) {
        const CRect clip = LogicalToDeviceRect(pDC, m_rectClip);
        sizeTile = CSize(clip.Width() / 8, clip.Height() / 8);
    }
    BoundTile(sizeTile, device.Size());
    int nAcross = 1;
    int nDown = 1;
    int nStepX = 1;
    int nStepY = 1;
    GetTileCounts(device, sizeTile, nAcross, nDown, nStepX, nStepY);
    if (sizeTile.cx < 1 || sizeTile.cy < 1) {
        // No tile size to go by: the picture fills the destination once.
        sizeTile = device.Size();
        nAcross = nDown = 1;
    }
    if (nOneShot1 != 0 && !bPrinting) {
        sizeTile = CSize(std::max(1, device.Width() / 2), std::max(1, device.Height() / 2));
        nAcross = nDown = 2;
    }
    const CRect page = bPrinting ? PreviewPageClip(*this, pDC) : CRect();
    const BOOL bPreview = IsPreviewDC(pDC);
    const DWORD rops[3] = {dwRop1, dwRop2, dwRop3};
    const int nPasses = bThreePasses ? 3 : 1;
    for (int j = 0; j < nDown && nResult >= 0; ++j) {
        for (int i = 0; i < nAcross && nResult >= 0; ++i) {
            CRect tile(device.left + i * sizeTile.cx, device.top + j * sizeTile.cy,
                device.left + (i + 1) * sizeTile.cx, device.top + (j + 1) * sizeTile.cy);
            for (int nPass = 0; nPass < nPasses && nResult >= 0; ++nPass) {
                const DWORD dwRop = rops[nPass];
                CRect clip = device;
                if (bPrinting && !page.IsRectEmpty() && !(dwRop == kRopNormal && bPreview))
                    clip.IntersectRect(&clip, &page);
                if (clip.IsRectEmpty())
                    continue;
                if (!bPrinting && dwRop == kRopNormal)
                    nResult = PaintRaster(*this, pDC, tile, clip, FALSE, kRopNormal);
                else
                    nResult = PaintRaster(*this, pDC, tile, clip, bPrinting, dwRop);
            }
        }
    }
    return Finish(*this, nResult);
}

void CImage::GetTileCounts(const CRect& rectDest, const CSize& sizeTile, int& nAcross, int& nDown, int& nStepX,
    int& nStepY) const
{
    auto count = [](int nExtent, int nTile, int& nCount, int& nStep) {
        nExtent = std::abs(nExtent);
        if (nTile < 1) {
            nCount = 1;
            nStep = 1;
            return;
        }
        nCount = std::max(1, int((int64_t(nExtent) + nTile - 1) / nTile));
        nStep = nTile >= nExtent ? 1 : nExtent / nTile;
    };
    count(rectDest.Width(), sizeTile.cx, nAcross, nStepX);
    count(rectDest.Height(), sizeTile.cy, nDown, nStepY);
}

HBITMAP CImage::RenderMetaFile(int cx, int cy)
{
    if (cx < 1 || cy < 1)
        return NULL;
    CDC screen;
    screen.Attach(::GetDC(NULL));
    CDC memDC;
    CBitmap bitmap;
    const BOOL bMade = memDC.CreateCompatibleDC(&screen) && bitmap.CreateCompatibleBitmap(&screen, cx, cy);
    ::ReleaseDC(NULL, screen.Detach());
    if (!bMade)
        return NULL;
    CBitmap* pOld = memDC.SelectObject(&bitmap);
    memDC.PatBlt(0, 0, cx, cy, WHITENESS);
    const CRect rect(0, 0, cx, cy);
    Draw(&memDC, rect, rect, CRect());
    memDC.SelectObject(pOld);
    return static_cast<HBITMAP>(bitmap.Detach());
}

// ---- CImageChildren ------------------------------------------------------------------------------

BOOL CImageChildren::Draw(CDC* pDC, const CRect& rectDest, const CRect& rectSecond, const CRect& rectClip,
    BOOL bPalette, BOOL bThroughMemory, BOOL bNoPolygonClip)
{
    if (pDC == nullptr || m_pImage == nullptr)
        return TRUE;
    CImage& image = *m_pImage;
    if (m_pMask == nullptr || !IsEngineHandle(m_pMask->m_nHandle) || !IsEngineHandle(image.m_nHandle))
        return image.Draw(pDC, rectDest, rectSecond, rectClip, bPalette, bThroughMemory, bNoPolygonClip);
    if (IsEmptyDestination(rectDest))
        return TRUE;
    CImage& mask = *m_pMask;
    CDCStateSaver saver(pDC);
    const CRect corners = DeviceCorners(pDC, rectDest);
    int nResult = OrientRaster(image, corners);
    if (nResult >= 0)
        nResult = OrientRaster(mask, corners);
    if (nResult < 0)
        return Finish(image, nResult);
    const CRect device = LogicalToDeviceRect(pDC, rectDest);
    const CRect clip = PaintClip(image, pDC, rectClip);
    if (IsPaper(pDC, bThroughMemory)) {
        // A page cannot combine raster operations with what is on it: the
        // mask becomes the image's alpha and the paper shows through.
        LTBITMAP* pMask = nullptr;
        GetPicBitmap(mask.m_nHandle, &pMask);
        AlphaRecipe recipe;
        recipe.pMask = pMask;
        nResult = PaintWithAlpha(image.m_nHandle, recipe, pDC, device, clip, TRUE);
        return Finish(image, nResult);
    }
    PaletteScope palette(image, pDC, bPalette);
    nResult = PaintPic(image.m_nHandle, pDC, WholePicture(image.m_nHandle), device, clip, SRCINVERT, FALSE);
    if (nResult >= 0)
        nResult = PaintPic(mask.m_nHandle, pDC, WholePicture(mask.m_nHandle), device, clip, SRCAND, FALSE);
    if (nResult >= 0)
        nResult = PaintPic(image.m_nHandle, pDC, WholePicture(image.m_nHandle), device, clip, SRCINVERT, FALSE);
    return Finish(image, nResult);
}

BOOL CImageChildren::DrawTranslucent(CDC* pDC, const CRect& rectDest, const CRect& rectSecond, BOOL bPalette)
{
    const int nTranslucent = m_nTranslucent;
    m_nTranslucent = 0;
    if (pDC == nullptr || m_pImage == nullptr)
        return TRUE;
    if (m_pMask == nullptr) {
        m_pImage->m_nOneShot1 = nTranslucent;
        return m_pImage->DrawTranslucent(pDC, rectDest, rectSecond, bPalette, FALSE, kRopNormal, 0, 0);
    }
    if (pDC->IsPrinting())
        return Draw(pDC, rectDest, rectSecond, CRect(), bPalette, TRUE, TRUE);
    // The image, the mask and the image again, each pass handed the value.
    struct Pass {
        CImage* pImage;
        DWORD dwRop;
    };
    const Pass passes[3] = {{m_pImage, SRCINVERT}, {m_pMask, SRCAND}, {m_pImage, SRCINVERT}};
    for (const Pass& pass : passes) {
        pass.pImage->m_nOneShot1 = nTranslucent;
        if (!pass.pImage->DrawTranslucent(pDC, rectDest, rectSecond, bPalette, FALSE, pass.dwRop, 0, 0))
            return FALSE;
    }
    return TRUE;
}
