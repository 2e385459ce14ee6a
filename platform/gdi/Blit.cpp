// BitBlt, StretchBlt and PatBlt; single pixels; and the way blits reach a
// printer page, where there is no destination to combine with.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/PixelBuffer.h"
#include "platform/gdi/internal/GdiObjects.h"
#include "platform/gdi/internal/Raster.h"
#include "platform/gdi/internal/Rop3.h"

#include <cairo.h>

#include <algorithm>
#include <limits>

namespace platform {

namespace {

int ClampToInt(int64_t v)
{
    return int(std::clamp<int64_t>(v, std::numeric_limits<int>::min() / 2, std::numeric_limits<int>::max() / 2));
}

// The colour a COLORREF paints on a page: palette indexes through the DC's
// palette, no reduction.
uint32_t VectorPixel(const DeviceContext& dc, COLORREF color)
{
    if ((color >> 24) == 0x01) {
        const PaletteObject& palette = CurrentPalette(dc);
        size_t index = color & 0xFFFF;
        const PALETTEENTRY& e = index < palette.entries.size() ? palette.entries[index] : palette.entries[0];
        color = RGB(e.peRed, e.peGreen, e.peBlue);
    }
    return PixelFromColor(color & 0x00FFFFFF);
}

bool PrepareSource(DeviceContext& srcDc, RasterTarget& srcTarget, DeviceContext& dstDc, const RasterTarget* dstTarget,
    BlitSource& out)
{
    if (!AcquireRaster(srcDc, srcTarget))
        return false;
    out.buffer = srcTarget.buffer;
    out.origin = srcTarget.origin;
    out.bounds = srcTarget.bounds;
    bool srcMono = srcTarget.bitsPixel == 1;
    bool dstMono = dstTarget && dstTarget->bitsPixel == 1;
    if (srcMono && !dstMono) {
        out.conversion = SourceConversion::MonoToColor;
        if (srcTarget.colorTable && srcTarget.colorTable->size() >= 2)
            out.monoOne = PixelFromQuad((*srcTarget.colorTable)[1]);
        out.foreground = dstTarget ? TargetPixel(dstDc, *dstTarget, dstDc.state.textColor)
                                   : VectorPixel(dstDc, dstDc.state.textColor);
        out.background = dstTarget ? TargetPixel(dstDc, *dstTarget, dstDc.state.bkColor)
                                   : VectorPixel(dstDc, dstDc.state.bkColor);
    } else if (!srcMono && dstMono) {
        out.conversion = SourceConversion::ColorToMono;
        out.colorKey = TargetPixel(srcDc, srcTarget, srcDc.state.bkColor);
    }
    return true;
}

// What a raster operation can mean on a page: the source drawn as it is for
// every operation that reads it, the brush for pattern operations, black or
// white for the constant ones; operations on the destination alone (there
// is nothing to invert on paper) draw nothing.
BOOL VectorBlit(DeviceContext& dc, const BlitRect& dst, DeviceContext* srcDc, const BlitRect& srcRect, DWORD rop)
{
    uint8_t code = Rop3Code(rop);
    if (Rop3UsesSource(code)) {
        RasterTarget srcTarget;
        BlitSource source;
        if (!srcDc || !PrepareSource(*srcDc, srcTarget, dc, nullptr, source))
            return FALSE;
        int sw = std::abs(srcRect.width);
        int sh = std::abs(srcRect.height);
        int sLeft = SpanStart(srcRect.x, srcRect.width);
        int sTop = SpanStart(srcRect.y, srcRect.height);
        PixelBuffer image;
        std::vector<uint8_t> alpha;
        if (sw == 0 || sh == 0 || !image.Allocate(sw, sh))
            return TRUE;
        alpha.assign(size_t(sw) * size_t(sh), 0);
        for (int y = 0; y < sh; ++y) {
            for (int x = 0; x < sw; ++x) {
                int sx = sLeft + x;
                int sy = sTop + y;
                if (sx < source.bounds.left || sx >= source.bounds.right || sy < source.bounds.top
                    || sy >= source.bounds.bottom)
                    continue;
                uint32_t s = source.buffer->Row(sy + source.origin.y)[sx + source.origin.x] & 0x00FFFFFF;
                if (source.conversion == SourceConversion::MonoToColor)
                    s = s == source.monoOne ? source.background : source.foreground;
                image.Row(y)[x] = s;
                alpha[size_t(y) * size_t(sw) + size_t(x)] = 0xFF;
            }
        }
        PaintImageOnVector(dc, dst, image, srcRect, &alpha);
        return TRUE;
    }
    if (code == 0x00) {
        FillRectOnVector(dc, dst, 0);
    } else if (code == 0xFF) {
        FillRectOnVector(dc, dst, 0x00FFFFFF);
    } else if (Rop3UsesPattern(code)) {
        const BrushObject& brush = CurrentBrush(dc);
        if (brush.log.lbStyle == BS_NULL)
            return TRUE;
        uint32_t color = VectorPixel(dc, brush.log.lbColor);
        if (brush.log.lbStyle == BS_PATTERN && brush.pattern.width > 0 && brush.pattern.height > 0)
            color = brush.pattern.pixels[0];
        FillRectOnVector(dc, dst, color);
    }
    return TRUE;
}

BOOL StretchBltImpl(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc, int wSrc,
    int hSrc, DWORD rop)
{
    DeviceContext* dc = LookupDc(hdcDest);
    if (!dc)
        return FALSE;
    uint8_t code = Rop3Code(rop);
    DeviceContext* srcDc = nullptr;
    BlitRect srcRect;
    if (Rop3UsesSource(code)) {
        srcDc = LookupDc(hdcSrc);
        if (!srcDc)
            return FALSE;
        srcRect = DeviceBlitRect(srcDc->state, xSrc, ySrc, wSrc, hSrc);
    }
    BlitRect dst = DeviceBlitRect(dc->state, xDest, yDest, wDest, hDest);
    if (dc->vector) {
        cairo_save(dc->vector);
        ApplyVectorClip(*dc);
        BOOL ok = VectorBlit(*dc, dst, srcDc, srcRect, rop);
        cairo_restore(dc->vector);
        return ok;
    }
    RasterTarget target;
    if (!AcquireRaster(*dc, target))
        return TRUE;
    RasterTarget srcTarget;
    BlitSource source;
    if (srcDc && !PrepareSource(*srcDc, srcTarget, *dc, &target, source))
        return FALSE;
    StretchRaster(*dc, target, dst, srcDc ? &source : nullptr, srcRect, rop);
    return TRUE;
}

// Whether device pixel p of the target may be read or written.
bool Drawable(const DeviceContext& dc, const RasterTarget& target, POINT p)
{
    if (p.x < target.bounds.left || p.y < target.bounds.top || p.x >= target.bounds.right || p.y >= target.bounds.bottom)
        return false;
    if (target.visibleRegion && !target.visibleRegion->Contains(p.x, p.y))
        return false;
    return !dc.state.clip || dc.state.clip->Contains(p.x, p.y);
}

} // namespace

BlitRect DeviceBlitRect(const DcState& state, int x, int y, int width, int height)
{
    POINT a = LogicalToDevice(state, POINT{x, y});
    POINT b = LogicalToDevice(state, POINT{ClampToInt(int64_t(x) + width), ClampToInt(int64_t(y) + height)});
    return BlitRect{a.x, a.y, ClampToInt(int64_t(b.x) - a.x), ClampToInt(int64_t(b.y) - a.y)};
}

void PaintImageOnVector(const DeviceContext& dc, const BlitRect& dst, const PixelBuffer& image, const BlitRect& srcRect,
    const std::vector<uint8_t>* alpha)
{
    int sw = std::abs(srcRect.width);
    int sh = std::abs(srcRect.height);
    if (!dc.vector || sw == 0 || sh == 0 || dst.width == 0 || dst.height == 0 || image.width < sw || image.height < sh)
        return;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, sw, sh);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return;
    }
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < sh; ++y) {
        auto* out = reinterpret_cast<uint32_t*>(data + size_t(y) * size_t(stride));
        for (int x = 0; x < sw; ++x) {
            uint32_t p = image.Row(y)[x] & 0x00FFFFFF;
            uint32_t a = alpha ? (*alpha)[size_t(y) * size_t(image.width) + size_t(x)] : 0xFF;
            // Cairo wants premultiplied colour.
            uint32_t r = ((p >> 16) & 0xFF) * a / 255;
            uint32_t g = ((p >> 8) & 0xFF) * a / 255;
            uint32_t b = (p & 0xFF) * a / 255;
            out[x] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
    cairo_surface_mark_dirty(surface);

    bool mirrorX = (dst.width < 0) != (srcRect.width < 0);
    bool mirrorY = (dst.height < 0) != (srcRect.height < 0);
    int dw = std::abs(dst.width);
    int dh = std::abs(dst.height);
    int dLeft = SpanStart(dst.x, dst.width);
    int dTop = SpanStart(dst.y, dst.height);
    cairo_t* cr = dc.vector;
    cairo_save(cr);
    ApplyVectorClip(dc);
    cairo_translate(cr, dLeft + (mirrorX ? dw : 0), dTop + (mirrorY ? dh : 0));
    cairo_scale(cr, (mirrorX ? -1.0 : 1.0) * dw / sw, (mirrorY ? -1.0 : 1.0) * dh / sh);
    cairo_set_source_surface(cr, surface, 0, 0);
    // HALFTONE asks for smooth stretching; the page then gets the image at
    // its own resolution, marked for interpolation.
    cairo_pattern_set_filter(cairo_get_source(cr),
        dc.state.stretchMode == HALFTONE ? CAIRO_FILTER_GOOD : CAIRO_FILTER_NEAREST);
    cairo_rectangle(cr, 0, 0, sw, sh);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_surface_destroy(surface);
}

void FillRectOnVector(const DeviceContext& dc, const BlitRect& dst, uint32_t pixel)
{
    if (!dc.vector)
        return;
    cairo_t* cr = dc.vector;
    cairo_save(cr);
    ApplyVectorClip(dc);
    cairo_set_source_rgb(cr, ((pixel >> 16) & 0xFF) / 255.0, ((pixel >> 8) & 0xFF) / 255.0, (pixel & 0xFF) / 255.0);
    cairo_rectangle(cr, SpanStart(dst.x, dst.width), SpanStart(dst.y, dst.height), std::abs(dst.width), std::abs(dst.height));
    cairo_fill(cr);
    cairo_restore(cr);
}

} // namespace platform

using namespace platform;

BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop)
{
    return StretchBltImpl(hdc, x, y, cx, cy, hdcSrc, x1, y1, cx, cy, rop);
}

BOOL StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc, int wSrc,
    int hSrc, DWORD rop)
{
    return StretchBltImpl(hdcDest, xDest, yDest, wDest, hDest, hdcSrc, xSrc, ySrc, wSrc, hSrc, rop);
}

BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop)
{
    if (Rop3UsesSource(Rop3Code(rop))) {
        if (LookupDc(hdc))
            SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return StretchBltImpl(hdc, x, y, w, h, NULL, 0, 0, 0, 0, rop);
}

COLORREF GetPixel(HDC hdc, int x, int y)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc)
        return CLR_INVALID;
    RasterTarget target;
    if (!AcquireRaster(*dc, target))
        return CLR_INVALID;
    POINT p = LogicalToDevice(dc->state, POINT{x, y});
    if (!Drawable(*dc, target, p))
        return CLR_INVALID;
    return ColorFromPixel(target.buffer->Row(p.y + target.origin.y)[p.x + target.origin.x] & 0x00FFFFFF);
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc)
        return CLR_INVALID;
    POINT p = LogicalToDevice(dc->state, POINT{x, y});
    if (dc->vector) {
        uint32_t pixel = VectorPixel(*dc, color);
        FillRectOnVector(*dc, BlitRect{p.x, p.y, 1, 1}, pixel);
        return ColorFromPixel(pixel);
    }
    RasterTarget target;
    if (!AcquireRaster(*dc, target) || !Drawable(*dc, target, p))
        return CLR_INVALID;
    uint32_t pixel = TargetPixel(*dc, target, color);
    target.buffer->Row(p.y + target.origin.y)[p.x + target.origin.x] = pixel;
    return ColorFromPixel(pixel);
}

BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color)
{
    return SetPixel(hdc, x, y, color) != CLR_INVALID ? TRUE : FALSE;
}
