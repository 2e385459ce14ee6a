// Picture effects: the parameters each effect keeps, the rebuild of the
// working raster from the unaltered base, rotation with its corner points,
// and the immediate quick effects.

#include "pictures/ImageEffects.h"

#include "app/RectGeometry.h"
#include "pictures/Image.h"
#include "pictures/PictureEngine.h"
#include "platform/framework/WinApp.h"
#include "platform/imaging/Imaging.h"
#include "platform/ui/AfxMessageBox.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr COLORREF kWhite = 0x00FFFFFF;
// A resized base is never made wider than this, whatever proportions an
// object rectangle gives.
constexpr int kMaxBaseWidth = 30000;

// Indexes into CImage::m_effectParams.
enum EffectParam {
    kBlurSize,
    kBrightness,
    kColorResBits,
    kColorResFlags,
    kContrast,
    kEdgeEnhance,
    kEmbossDepth,
    kEmbossDirection,
    kGamma,
    kGrayscale,
    kHalftoneView,
    kHalftonePrint,
    kHue,
    kNegative,
    kMedianSize,
    kMosaicSize,
    kNoiseAmount,
    kNoiseChannel,
    kPosterize,
    kSaturation,
    kSharpen,
    kShearAngle,
    kShearDirection,
    kTintAmount,
    kTintColor,
};

constexpr int kNone = -1;

// For kinds 0..20: the parameter fields of the first and second values
// (kNone: not a parameter field), and whether the effect is active when
// either value is nonzero (else when the first is, or for emboss the
// second). The flips (5, 16) and the rotation (17) live in their own fields.
struct EffectSlots {
    int nFirst;
    int nSecond;
};
constexpr EffectSlots kSlots[21] = {
    {kBlurSize, kNone},            // 0 blur
    {kBrightness, kContrast},      // 1 brightness / contrast
    {kColorResBits, kColorResFlags}, // 2 colour resolution
    {kEdgeEnhance, kNone},         // 3 edge enhance
    {kEmbossDirection, kEmbossDepth}, // 4 emboss
    {kNone, kNone},                // 5 flip vertical
    {kGamma, kNone},               // 6 gamma
    {kGrayscale, kNone},           // 7 grey scale
    {kHalftonePrint, kNone},       // 8 halftone print
    {kHalftoneView, kNone},        // 9 halftone view
    {kHue, kSaturation},           // 10 hue / saturation
    {kNegative, kNone},            // 11 negative
    {kMedianSize, kNone},          // 12 median
    {kMosaicSize, kNone},          // 13 mosaic
    {kNoiseAmount, kNoiseChannel}, // 14 noise
    {kPosterize, kNone},           // 15 posterize
    {kNone, kNone},                // 16 flip horizontal
    {kNone, kNone},                // 17 rotate
    {kSharpen, kNone},             // 18 sharpen
    {kShearAngle, kShearDirection}, // 19 shear
    {kTintAmount, kTintColor},     // 20 tint
};

void ShowUnimplemented()
{
    AfxMessageBox("An unimplemented image effect was requested.");
}

const ImageEffectFilters kDefaultFilters = {
    LtGammaCorrect,
    LtHalftone,
    LtPosterize,
    LtMedianFilter,
    LtInvert,
    LtAddNoise,
    LtEmboss,
    LtAverageFilter,
    LtSharpen,
    LtChangeHue,
    LtChangeSaturation,
    LtChangeBrightness,
    LtChangeContrast,
    LtMosaic,
    LtShearBitmap,
    SetPicColorRes,
    GrayScalePic,
    EdgeEnhancePic,
    TintPic,
    SetPicTransparency,
    RotatePic,
};

ImageEffectFilters g_filters = kDefaultFilters;

// An angle brought into 0..359.
int NormalizeAngle(int nAngle)
{
    return ((nAngle % 360) + 360) % 360;
}

// The values the effect dialogs can give each parameter, on any road (a
// slider's reach or what OK keeps, whichever is wider). Zero switches an
// effect off and stays zero; any other value is brought to the nearest one
// in its range. The filters scale some values by 10 or 100 and spend time
// by others (sample and tile sizes), so a value from a damaged design must
// not reach them as it is.
struct ParamRange {
    int nMin;
    int nMax;
};
constexpr ParamRange kParamRanges[CImage::kEffectParamCount] = {
    {3, 13},       // blur sample size
    {-100, 100},   // brightness percent
    {1, 24},       // colour resolution bits (a depth the engine keeps, below)
    {0, 0},        // colour resolution flags (masked, below)
    {-100, 100},   // contrast percent
    {1, 1},        // edge enhance (any value switches it on)
    {0, 100},      // emboss depth
    {0, 7},        // emboss direction
    {1, 501},      // gamma (x 10)
    {1, 1},        // grey scale (any value switches it on)
    {-400, 400},   // halftone view angle
    {-400, 400},   // halftone print angle
    {-400, 400},   // hue angle
    {1, 1},        // negative (any value switches it on)
    {3, 13},       // median sample size
    {2, 64},       // mosaic tile size
    {0, 100},      // noise amount
    {0, 3},        // noise channel
    {2, 64},       // posterize levels
    {-100, 100},   // saturation percent
    {-100, 100},   // sharpen percent
    {-45, 45},     // shear angle
    {0, 1},        // shear direction (horizontal)
    {0, 100},      // tint amount percent
    {0, 0},        // tint colour (masked, below)
};

// The palette choice and dithering the colour-resolution dialog can ask for.
constexpr UINT kColorResFlagsKept = LT_COLORRES_OPTIMIZED | LT_COLORRES_OPTIMIZED2 | LT_COLORRES_NO_PALETTE
    | LT_COLORRES_DITHER_MASK;

// Brings every effect parameter into the range its dialog gives it.
void BoundEffectParams(int (&params)[CImage::kEffectParamCount])
{
    for (int i = 0; i < CImage::kEffectParamCount; ++i) {
        int& value = params[i];
        switch (i) {
        case kColorResFlags:
            value = static_cast<int>(static_cast<UINT>(value) & kColorResFlagsKept);
            break;
        case kTintColor:
            value = static_cast<int>(static_cast<COLORREF>(value) & 0x00FFFFFF);
            break;
        case kColorResBits:
            if (value != 0) {
                // The depths offered: the nearest one at or above the value.
                static constexpr int kDepths[] = {1, 4, 8, 16, 24};
                const int nWanted = std::clamp(value, 1, 24);
                value = *std::find_if(
                    std::begin(kDepths), std::end(kDepths), [nWanted](int d) { return d >= nWanted; });
            }
            break;
        default:
            if (value != 0)
                value = std::clamp(value, kParamRanges[i].nMin, kParamRanges[i].nMax);
            break;
        }
    }
}

// A stored rotation in the form the picture keeps it: 0 for none, else
// 1..360.
int BoundRotation(int nRotation)
{
    if (nRotation == 0)
        return 0;
    const int nAngle = NormalizeAngle(nRotation);
    return nAngle == 0 ? 360 : nAngle;
}

} // namespace

const ImageEffectFilters& GetImageEffectFilters()
{
    return g_filters;
}

const ImageEffectFilters& DefaultImageEffectFilters()
{
    return kDefaultFilters;
}

void SetEffectFiltersForTests(const ImageEffectFilters* pFilters)
{
    g_filters = pFilters != nullptr ? *pFilters : kDefaultFilters;
}

// ---- Parameters ----------------------------------------------------------------------------------

BOOL CImage::SetEffect(int nKind, int nFirst, int nSecond)
{
    if (nKind < 0 || nKind >= kEffectCount || nKind == kEffectRotate) {
        ShowUnimplemented();
        return FALSE;
    }
    switch (nKind) {
    case 5:
        m_nFlipY = nFirst;
        return TRUE;
    case 16:
        m_nFlipX = nFirst;
        return TRUE;
    case 21:
        SetWordFlag(IMAGE_FLAG_TRANSLUCENT, nFirst != 0);
        return TRUE;
    case 22: {
        const COLORREF crColor = static_cast<COLORREF>(nSecond);
        SetTransparency(nFirst != 0, &crColor);
        return TRUE;
    }
    default:
        break;
    }
    const EffectSlots& slots = kSlots[nKind];
    if (slots.nFirst != kNone)
        m_effectParams[slots.nFirst] = nFirst;
    if (slots.nSecond != kNone)
        m_effectParams[slots.nSecond] = nSecond;
    return TRUE;
}

BOOL CImage::GetEffect(int nKind, int* pnFirst, int* pnSecond) const
{
    if (nKind < 0)
        return FALSE;
    if (nKind > 20) {
        ShowUnimplemented();
        return FALSE;
    }
    switch (nKind) {
    case 3:
        return m_effectParams[kEdgeEnhance] != 0;
    case 5:
        return m_nFlipY != 0;
    case 7:
        return m_effectParams[kGrayscale] != 0;
    case 11:
        return m_effectParams[kNegative] != 0;
    case 16:
        return m_nFlipX != 0;
    case 17:
        if (pnFirst == nullptr)
            return FALSE;
        *pnFirst = m_nRotation;
        return m_nRotation != 0;
    default:
        break;
    }
    const EffectSlots& slots = kSlots[nKind];
    if (pnFirst == nullptr || (slots.nSecond != kNone && pnSecond == nullptr))
        return FALSE;
    const int nFirst = m_effectParams[slots.nFirst];
    *pnFirst = nFirst;
    if (slots.nSecond == kNone)
        return nFirst != 0;
    const int nSecond = m_effectParams[slots.nSecond];
    *pnSecond = nSecond;
    switch (nKind) {
    case 1:
    case 10:
        return nFirst != 0 || nSecond != 0;
    case 4:
        return nSecond != 0;
    default:
        return nFirst != 0;
    }
}

// ---- The rebuild ---------------------------------------------------------------------------------

BOOL CImage::MakeBaseFromWorking()
{
    const int nBase = DuplicatePic(m_nHandle);
    if (nBase < 1)
        return FALSE;
    // The working raster carries the mirrors in memory; the base is the
    // picture as it came, so that every rebuild can mirror it afresh.
    if (m_wFlags & IMAGE_FLAG_MIRROR_X)
        ReversePic(nBase);
    if (m_wFlags & IMAGE_FLAG_MIRROR_Y)
        FlipPic(nBase);
    m_nBaseHandle = nBase;
    // Stored bytes read with the mirrors no longer describe the base that
    // a save now writes.
    if (m_wFlags & (IMAGE_FLAG_MIRROR_X | IMAGE_FLAG_MIRROR_Y))
        m_bRasterChanged = TRUE;
    return TRUE;
}

BOOL CImage::AdoptRasterAsBase()
{
    if (!IsRaster())
        return FALSE;
    const int nCopy = DuplicatePic(m_nHandle);
    if (nCopy < 1)
        return FALSE;
    if (IsEngineHandle(m_nBaseHandle))
        ReleasePicHandle(m_nBaseHandle);
    m_nBaseHandle = m_nHandle;
    m_nHandle = nCopy;
    return TRUE;
}

BOOL CImage::ApplyEffect(int nKind, int nFirst, int nSecond)
{
    if (!IsRaster())
        return FALSE;
    // Stored rotations are turned by minus their angle, as Rotate and
    // every put-back of a rotation do; kind 17 brings its own angle.
    const int nAngle = nKind == kEffectRotate ? nFirst : -m_nRotation;
    if (nKind != kEffectRotate && nKind != kEffectReapply && !SetEffect(nKind, nFirst, nSecond))
        return FALSE;
    return Rebuild(nAngle, m_nRotation != 0);
}

BOOL CImage::Rebuild(int nAngle, BOOL bRotate)
{
    if (!IsEngineHandle(m_nBaseHandle) && !MakeBaseFromWorking())
        return FALSE;
    const int nFresh = DuplicatePic(m_nBaseHandle);
    if (nFresh < 1)
        return FALSE;
    if (IsEngineHandle(m_nHandle))
        ReleasePicHandle(m_nHandle);
    m_nHandle = nFresh;

    const ImageEffectFilters& f = g_filters;
    // Whoever set them (a dialog, or a design read from outside), the values
    // are applied within the ranges the dialogs give, and kept so.
    BoundEffectParams(m_effectParams);
    const int* p = m_effectParams;
    // Engine steps may replace the bitmap behind the handle: each library
    // step asks for it again.
    auto bitmap = [this]() -> LTBITMAP* {
        LTBITMAP* pBitmap = nullptr;
        return GetPicBitmap(m_nHandle, &pBitmap) == 1 ? pBitmap : nullptr;
    };
    if (bitmap() == nullptr)
        return FALSE;
    // The copy carries the base's transparency, which may be older than
    // the picture's switch: a transparency switched off stays off.
    if (!(m_wFlags & IMAGE_FLAG_TRANSPARENT))
        SetPicTransparency(m_nHandle, FALSE, nullptr);
    int nLast = LT_SUCCESS;
    auto library = [&](auto call) {
        if (LTBITMAP* pBitmap = bitmap())
            nLast = call(pBitmap);
        else
            nLast = kPicErrBadHandle;
    };

    if (p[kGamma] != 0)
        library([&](LTBITMAP* b) { return f.gammaCorrect(b, p[kGamma]); });
    if (p[kHalftoneView] != 0)
        library([&](LTBITMAP* b) { return f.halftone(b, LT_HALFTONE_VIEW, p[kHalftoneView] * 100); });
    if (p[kHalftonePrint] != 0)
        library([&](LTBITMAP* b) { return f.halftone(b, LT_HALFTONE_PRINT, p[kHalftonePrint] * 100); });
    if (p[kColorResBits] != 0) {
        if (LTBITMAP* b = bitmap())
            f.colorRes(b, p[kColorResBits], static_cast<UINT>(p[kColorResFlags]));
    }
    if (p[kGrayscale] != 0)
        f.grayScale(m_nHandle, 8);
    if (p[kPosterize] != 0)
        library([&](LTBITMAP* b) { return f.posterize(b, p[kPosterize]); });
    if (p[kMedianSize] != 0)
        library([&](LTBITMAP* b) { return f.median(b, p[kMedianSize]); });
    if (p[kNegative] != 0)
        library([&](LTBITMAP* b) { return f.invert(b); });
    if (p[kNoiseAmount] != 0)
        library([&](LTBITMAP* b) { return f.addNoise(b, p[kNoiseAmount] * 10, p[kNoiseChannel]); });
    if (p[kEmbossDepth] != 0)
        library([&](LTBITMAP* b) { return f.emboss(b, p[kEmbossDirection], p[kEmbossDepth] * 10); });
    if (p[kBlurSize] != 0)
        library([&](LTBITMAP* b) { return f.average(b, p[kBlurSize]); });
    if (p[kSharpen] != 0)
        library([&](LTBITMAP* b) { return f.sharpen(b, p[kSharpen] * 10); });
    if (p[kEdgeEnhance] != 0)
        f.edgeEnhance(m_nHandle);
    if (p[kTintAmount] != 0)
        f.tint(m_nHandle, static_cast<COLORREF>(p[kTintColor]), p[kTintAmount]);
    if (p[kHue] != 0)
        library([&](LTBITMAP* b) { return f.changeHue(b, p[kHue]); });
    if (p[kSaturation] != 0)
        library([&](LTBITMAP* b) { return f.changeSaturation(b, p[kSaturation] * 10); });
    if (p[kBrightness] != 0)
        library([&](LTBITMAP* b) { return f.changeBrightness(b, p[kBrightness] * 10); });
    if (p[kContrast] != 0)
        library([&](LTBITMAP* b) { return f.changeContrast(b, p[kContrast] * 10); });
    if (m_wFlags & IMAGE_FLAG_TRANSPARENT)
        f.setTransparency(m_nHandle, TRUE, &m_crTransparent);
    if (p[kMosaicSize] != 0)
        library([&](LTBITMAP* b) { return f.mosaic(b, p[kMosaicSize]); });
    if (p[kShearAngle] != 0)
        library([&](LTBITMAP* b) { return f.shear(b, p[kShearAngle] * 100, p[kShearDirection], kWhite); });
    // A whole number of turns leaves the picture as it is. The mirrors
    // below come after the turn: in a frame mirrored once the raster turns
    // the other way, so that mirrored it turns with its frame.
    if (bRotate && nAngle % 360 != 0)
        f.rotate(m_nHandle, m_bFrameMirrored ? -nAngle : nAngle, kWhite);

    // The rebuild starts from the unmirrored base: the raster is brought
    // back to the mirrors the picture keeps.
    if (m_wFlags & IMAGE_FLAG_MIRROR_X)
        ReversePic(m_nHandle);
    if (m_wFlags & IMAGE_FLAG_MIRROR_Y)
        FlipPic(m_nHandle);
    return nLast == LT_SUCCESS;
}

void CImage::ReapplyStoredEffects(BOOL bStoredBase)
{
    // The rotation a design gives is brought into one turn before anything
    // turns by it. The effect values are bounded by the rebuild that
    // applies them; a picture that is not applied (bytes no reader takes, a
    // missing file) keeps them as read, so that its design saves unchanged.
    m_nRotation = BoundRotation(m_nRotation);
    if (!IsRaster())
        return;
    if (bStoredBase) {
        // The raster read is the stored base; the rebuild brings back the
        // effects and the rotation.
        if (AdoptRasterAsBase())
            ApplyEffect(kEffectReapply, 0, 0);
        return;
    }
    if (m_nRotation % 360 != 0)
        ApplyEffect(kEffectRotate, -(NormalizeAngle(m_nRotation - 1) + 1), 0);
}

// ---- Rotation ------------------------------------------------------------------------------------

int CImage::Rotate(int nAngle, CRect& rectRaster, const CRect& rectObject, COLORREF /*crFill*/, BOOL bApply)
{
    const BOOL bNoPicture = m_nHandle == kImageNoPicture || m_nHandle < 0;
    if (bNoPicture || (nAngle % 360 == 0 && m_nRotation == 0))
        return 0;
    if (!bApply) {
        m_nRotation = NormalizeAngle(nAngle);
        return 1;
    }
    if (m_nHandle == kImageMetafile)
        RasterizeMetaFile(std::abs(rectRaster.Width()), std::abs(rectRaster.Height()));
    else if (m_nHandle == kImageComposite)
        RasterizeComposite();
    int nStored = nAngle % 360;
    if (nStored < 1)
        nStored += 360;
    m_nRotation = nStored;
    if (rectRaster.Height() == 0)
        return 1;

    CRect rectNorm = rectObject;
    rectNorm.NormalizeRect();
    if (IsRaster()) {
        // The base takes the object's proportions: the rebuild starts from
        // it, so a resize of the working raster alone would be undone.
        if (!IsEngineHandle(m_nBaseHandle))
            MakeBaseFromWorking();
        const int nTarget = IsEngineHandle(m_nBaseHandle) ? m_nBaseHandle : m_nHandle;
        int cx = 0;
        int cy = 0;
        int nBits = 0;
        GetPicSize(nTarget, &cx, &cy, &nBits);
        const double dObjectHeight = rectNorm.Height() != 0 ? double(rectNorm.Height()) : 1.0;
        const double dWidth = std::round(double(cy) * double(rectNorm.Width()) / dObjectHeight);
        const int nWidth = static_cast<int>(std::clamp(dWidth, 1.0, double(kMaxBaseWidth)));
        if (cy >= 1 && nWidth != cx && ResizePic(nTarget, nWidth, cy) >= 0)
            m_bRasterChanged = TRUE;
        ApplyEffect(kEffectRotate, -m_nRotation, 0);
    }

    // The corners in drawing order, as the flips put the rectangle's
    // top-left, top-right, bottom-right and bottom-left.
    const POINT plain[4] = {{rectNorm.left, rectNorm.top}, {rectNorm.right, rectNorm.top},
        {rectNorm.right, rectNorm.bottom}, {rectNorm.left, rectNorm.bottom}};
    static constexpr int kOrder[4][4] = {{0, 1, 2, 3}, {1, 0, 3, 2}, {3, 2, 1, 0}, {2, 3, 0, 1}};
    const int nFlips = (m_nFlipX != 0 ? 1 : 0) + (m_nFlipY != 0 ? 2 : 0);
    POINT corners[4];
    for (int i = 0; i < 4; ++i)
        corners[i] = plain[kOrder[nFlips][i]];
    if (m_nRotation != 360) {
        // The same way the raster turned: by the stored angle,
        // counter-clockwise as a design (whose y grows upwards) shows it.
        const CPoint centre = rectNorm.CenterPoint();
        RotatePoints(POINT{centre.x, centre.y}, corners, 4, double(m_nRotation), FALSE);
    }
    SetCorners(corners);

    if (m_nRotation == 0 || m_nRotation == 360) {
        m_nRotation = 0;
        rectRaster = rectObject;
        return 1;
    }
    // The rectangle is normalised with its top the smaller y, so its first
    // corner turned by less than a quarter is the one with the smallest y
    // and the last the leftmost; each further quarter moves the choice back
    // by one corner.
    const int k = m_nRotation <= 90 ? 3 : m_nRotation < 180 ? 2 : m_nRotation <= 270 ? 1 : 0;
    rectRaster.left = corners[k].x;
    rectRaster.top = corners[(k + 1) % 4].y;
    rectRaster.right = corners[(k + 2) % 4].x;
    rectRaster.bottom = corners[(k + 3) % 4].y;
    return 1;
}

int CImage::RotateWithWaitCursor(int nAngle, CRect& rectRaster, const CRect& rectObject, COLORREF crFill,
    BOOL bApply)
{
    CWaitCursor wait;
    return Rotate(nAngle, rectRaster, rectObject, crFill, bApply);
}

// ---- Quick effects -------------------------------------------------------------------------------

BOOL CImage::ApplyQuickEffect(int nCode, const CRect& rectRaster)
{
    if ((nCode == 4 || nCode == 5) && HasTransparency()) {
        // Only the transparent colour moves, so the same pixels stay
        // see-through.
        const int nStep = nCode == 4 ? 25 : -25;
        auto move = [nStep](int nChannel) { return std::clamp(nChannel + nStep, 0, 255); };
        const COLORREF crMoved = RGB(move(GetRValue(m_crTransparent)), move(GetGValue(m_crTransparent)),
            move(GetBValue(m_crTransparent)));
        SetTransparency(TRUE, &crMoved);
        return TRUE;
    }
    if (m_nHandle == kImageMetafile)
        RasterizeMetaFile(std::abs(rectRaster.Width()), std::abs(rectRaster.Height()));
    else if (m_nHandle == kImageComposite)
        RasterizeComposite();
    if (!IsRaster())
        return FALSE;
    const int nResult = QuickEffectPic(m_nHandle, nCode);
    m_bRasterChanged = TRUE;
    return nResult == LT_SUCCESS;
}
