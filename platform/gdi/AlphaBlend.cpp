// AlphaBlend: a source rectangle laid over the destination with a constant
// alpha and, with AC_SRC_ALPHA, the source's own premultiplied alpha. On
// pixels the blend is computed here; a page cannot combine with what is on
// it, so there the source goes into the page as an image with a soft mask
// and a constant opacity, and the page's renderer does the blending.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/PixelBuffer.h"
#include "platform/gdi/internal/GdiObjects.h"
#include "platform/gdi/internal/Raster.h"
#include "platform/gdi/internal/Rop3.h"

#include <cairo.h>

#include <algorithm>

namespace platform {

namespace {

// a * b / 255, rounded to nearest, for a and b in 0..255.
inline uint32_t Mul255(uint32_t a, uint32_t b)
{
    uint32_t t = a * b + 128;
    return (t + (t >> 8)) >> 8;
}

// The source rectangle as premultiplied pixels 0xAARRGGBB, before the
// constant alpha.
struct BlendSource {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;
    bool opaque = true;
};

// Reads the normalised source rectangle `r` (device units of the source,
// inside its bounds). A source without alpha bytes counts as opaque: only
// bitmaps given a 32-bit DIB with alpha carry any.
bool ReadSource(const RasterTarget& target, const RECT& r, bool perPixel, BlendSource& out)
{
    out.width = r.right - r.left;
    out.height = r.bottom - r.top;
    if (int64_t(out.width) * out.height > PixelBuffer::kMaxPixels)
        return false;
    out.argb.resize(size_t(out.width) * size_t(out.height));
    const BitmapObject* bitmap = target.bitmap;
    const bool hasAlpha = perPixel && bitmap && bitmap->alpha.size() == bitmap->pixels.pixels.size();
    out.opaque = !hasAlpha;
    for (int y = 0; y < out.height; ++y) {
        int by = r.top + y + target.origin.y;
        const uint32_t* row = target.buffer->Row(by) + target.origin.x + r.left;
        uint32_t* dst = out.argb.data() + size_t(y) * size_t(out.width);
        if (!hasAlpha) {
            for (int x = 0; x < out.width; ++x)
                dst[x] = 0xFF000000u | (row[x] & 0x00FFFFFF);
            continue;
        }
        const uint8_t* a = bitmap->alpha.data() + size_t(by) * size_t(bitmap->pixels.width) + target.origin.x + r.left;
        for (int x = 0; x < out.width; ++x)
            dst[x] = (uint32_t(a[x]) << 24) | (row[x] & 0x00FFFFFF);
    }
    return true;
}

// Destination offsets 0..count-1 onto source offsets 0..srcCount-1 by the
// centre of each destination pixel, mirrored when asked.
std::vector<int> NearestMap(int count, int srcCount, bool mirror)
{
    std::vector<int> map(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        int j = int((int64_t(2 * i + 1) * srcCount) / (int64_t(2) * count));
        map[size_t(i)] = mirror ? srcCount - 1 - j : j;
    }
    return map;
}

void BlendOnRaster(DeviceContext& dc, RasterTarget& target, const BlitRect& dst, const BlendSource& src, BYTE constant)
{
    int dw = std::abs(dst.width);
    int dh = std::abs(dst.height);
    int dLeft = SpanStart(dst.x, dst.width);
    int dTop = SpanStart(dst.y, dst.height);
    Region area = DrawableRegion(dc, target).Intersect(RECT{dLeft, dTop, dLeft + dw, dTop + dh});
    if (area.IsEmpty())
        return;
    std::vector<int> xMap = NearestMap(dw, src.width, dst.width < 0);
    std::vector<int> yMap = NearestMap(dh, src.height, dst.height < 0);
    const std::vector<RGBQUAD>* table = target.colorTable && !target.colorTable->empty() ? target.colorTable : nullptr;
    BitmapObject* bitmap = target.bitmap;
    uint8_t* alphaPlane = bitmap && bitmap->alpha.size() == bitmap->pixels.pixels.size() ? bitmap->alpha.data() : nullptr;
    for (const RECT& r : area.Rects()) {
        for (int y = r.top; y < r.bottom; ++y) {
            const uint32_t* in = src.argb.data() + size_t(yMap[size_t(y - dTop)]) * size_t(src.width);
            int by = y + target.origin.y;
            uint32_t* out = target.buffer->Row(by) + target.origin.x;
            uint8_t* outAlpha = alphaPlane ? alphaPlane + size_t(by) * size_t(bitmap->pixels.width) + target.origin.x : nullptr;
            for (int x = r.left; x < r.right; ++x) {
                uint32_t s = in[xMap[size_t(x - dLeft)]];
                uint32_t sa = Mul255(s >> 24, constant);
                uint32_t keep = 255 - sa;
                uint32_t d = out[x];
                uint32_t result = 0;
                for (int shift = 0; shift <= 16; shift += 8) {
                    uint32_t c = Mul255((s >> shift) & 0xFF, constant) + Mul255((d >> shift) & 0xFF, keep);
                    result |= std::min<uint32_t>(c, 255) << shift;
                }
                if (table)
                    result = PixelFromQuad((*table)[NearestColorIndex(*table, result)]);
                out[x] = result;
                if (outAlpha)
                    outAlpha[x] = uint8_t(std::min<uint32_t>(sa + Mul255(outAlpha[x], keep), 255));
            }
        }
    }
}

void BlendOnVector(const DeviceContext& dc, const BlitRect& dst, const BlendSource& src, BYTE constant)
{
    cairo_format_t format = src.opaque ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32;
    cairo_surface_t* surface = cairo_image_surface_create(format, src.width, src.height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return;
    }
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < src.height; ++y) {
        auto* out = reinterpret_cast<uint32_t*>(data + size_t(y) * size_t(stride));
        const uint32_t* in = src.argb.data() + size_t(y) * size_t(src.width);
        // Cairo's premultiplied ARGB is this layout; colour above its alpha
        // (which a premultiplied source should not have) is cut to it.
        for (int x = 0; x < src.width; ++x) {
            uint32_t p = in[x];
            uint32_t a = p >> 24;
            uint32_t r = std::min((p >> 16) & 0xFF, a);
            uint32_t g = std::min((p >> 8) & 0xFF, a);
            uint32_t b = std::min(p & 0xFF, a);
            out[x] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
    cairo_surface_mark_dirty(surface);

    int dw = std::abs(dst.width);
    int dh = std::abs(dst.height);
    int dLeft = SpanStart(dst.x, dst.width);
    int dTop = SpanStart(dst.y, dst.height);
    bool mirrorX = dst.width < 0;
    bool mirrorY = dst.height < 0;
    cairo_t* cr = dc.vector;
    cairo_save(cr);
    ApplyVectorClip(dc);
    cairo_rectangle(cr, dLeft, dTop, dw, dh);
    cairo_clip(cr);
    cairo_translate(cr, dLeft + (mirrorX ? dw : 0), dTop + (mirrorY ? dh : 0));
    cairo_scale(cr, (mirrorX ? -1.0 : 1.0) * dw / src.width, (mirrorY ? -1.0 : 1.0) * dh / src.height);
    cairo_set_source_surface(cr, surface, 0, 0);
    // AlphaBlend always stretches pixel by pixel, whatever the stretch mode.
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint_with_alpha(cr, constant / 255.0);
    cairo_restore(cr);
    cairo_surface_destroy(surface);
}

// The destination with the extents' signs saying whether the normalised
// source is mirrored: it is where the two mappings turn an axis differently.
BlitRect Oriented(const BlitRect& dst, const BlitRect& src)
{
    auto axis = [](int start, int extent, bool mirror, int& outStart, int& outExtent) {
        int first = SpanStart(start, extent);
        int count = std::abs(extent);
        outStart = mirror ? first + count - 1 : first;
        outExtent = mirror ? -count : count;
    };
    BlitRect out;
    axis(dst.x, dst.width, (dst.width < 0) != (src.width < 0), out.x, out.width);
    axis(dst.y, dst.height, (dst.height < 0) != (src.height < 0), out.y, out.height);
    return out;
}

bool Overlaps(const RECT& a, const RECT& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

} // namespace

} // namespace platform

using namespace platform;

BOOL AlphaBlend(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc, int wSrc,
    int hSrc, BLENDFUNCTION blend)
{
    DeviceContext* dc = LookupDc(hdcDest);
    DeviceContext* srcDc = dc ? LookupDc(hdcSrc) : nullptr;
    if (!srcDc)
        return FALSE;
    // Only "source over" exists, and AlphaBlend does not mirror: negative
    // extents are refused (a mapping that turns the axes still mirrors).
    if (blend.BlendOp != AC_SRC_OVER || blend.BlendFlags != 0 || (blend.AlphaFormat & ~AC_SRC_ALPHA) != 0 || wDest < 0
        || hDest < 0 || wSrc < 0 || hSrc < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const bool perPixel = (blend.AlphaFormat & AC_SRC_ALPHA) != 0;
    RasterTarget srcTarget;
    if (!AcquireRaster(*srcDc, srcTarget) || (perPixel && srcTarget.bitsPixel != 32)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    BlitRect srcBlit = DeviceBlitRect(srcDc->state, xSrc, ySrc, wSrc, hSrc);
    // The source's own mapping may turn it over; what is read is the
    // normalised rectangle, and turning it is the destination's business.
    RECT srcRect{SpanStart(srcBlit.x, srcBlit.width), SpanStart(srcBlit.y, srcBlit.height), 0, 0};
    srcRect.right = srcRect.left + std::abs(srcBlit.width);
    srcRect.bottom = srcRect.top + std::abs(srcBlit.height);
    const RECT& sb = srcTarget.bounds;
    if (srcRect.left < sb.left || srcRect.top < sb.top || srcRect.right > sb.right || srcRect.bottom > sb.bottom) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    BlitRect dst = Oriented(DeviceBlitRect(dc->state, xDest, yDest, wDest, hDest), srcBlit);
    if (dst.width == 0 || dst.height == 0 || srcRect.right == srcRect.left || srcRect.bottom == srcRect.top
        || blend.SourceConstantAlpha == 0)
        return TRUE;

    RasterTarget target;
    bool raster = !dc->vector && AcquireRaster(*dc, target);
    if (raster && target.buffer == srcTarget.buffer) {
        RECT dstInBuffer{SpanStart(dst.x, dst.width) + target.origin.x, SpanStart(dst.y, dst.height) + target.origin.y, 0, 0};
        dstInBuffer.right = dstInBuffer.left + std::abs(dst.width);
        dstInBuffer.bottom = dstInBuffer.top + std::abs(dst.height);
        RECT srcInBuffer{srcRect.left + srcTarget.origin.x, srcRect.top + srcTarget.origin.y,
            srcRect.right + srcTarget.origin.x, srcRect.bottom + srcTarget.origin.y};
        if (Overlaps(dstInBuffer, srcInBuffer)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
    }
    if (!raster && !dc->vector)
        return TRUE;

    BlendSource source;
    if (!ReadSource(srcTarget, srcRect, perPixel, source)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    if (dc->vector)
        BlendOnVector(*dc, dst, source, blend.SourceConstantAlpha);
    else
        BlendOnRaster(*dc, target, dst, source, blend.SourceConstantAlpha);
    return TRUE;
}
