// Pixel painting with the binary raster operations, brush resolution and
// Cairo-rasterised coverage masks.

#include "platform/gdi/internal/Raster.h"

#include "platform/gdi/PixelBuffer.h"
#include "platform/gdi/internal/GdiObjects.h"
#include "platform/gdi/internal/Rop3.h"

#include <cairo.h>

#include <algorithm>

namespace platform {

namespace {

// The 8 x 8 hatch patterns, one byte a row, bit 7 = leftmost pixel; a set
// bit is a hatch pixel. Lines sit on the last row / column of each cell.
constexpr uint8_t kHatches[6][8] = {
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF}, // HS_HORIZONTAL
    {0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01}, // HS_VERTICAL
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01}, // HS_FDIAGONAL
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80}, // HS_BDIAGONAL
    {0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0xFF}, // HS_CROSS
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81}, // HS_DIAGCROSS
};

uint32_t Nearest(const std::vector<RGBQUAD>& table, uint32_t pixel)
{
    return table.empty() ? pixel : PixelFromQuad(table[NearestColorIndex(table, pixel)]);
}

int Mod8(int v)
{
    return ((v % 8) + 8) % 8;
}

// Writes one pixel through the ROP2; a low-depth target keeps only its own
// colours, so a combined colour is brought back into its table.
inline void Put(const RasterTarget& target, uint32_t* p, uint32_t pen, int rop2)
{
    uint32_t v = rop2 == R2_COPYPEN ? pen : ApplyRop2(rop2, pen, *p);
    if (rop2 != R2_COPYPEN && target.colorTable && target.bitsPixel > 1)
        v = Nearest(*target.colorTable, v);
    *p = v;
}

RECT Clip(const RECT& r, const RECT& bounds)
{
    return RECT{std::max(r.left, bounds.left), std::max(r.top, bounds.top), std::min(r.right, bounds.right),
        std::min(r.bottom, bounds.bottom)};
}

} // namespace

uint32_t ApplyRop2(int rop2, uint32_t pen, uint32_t dst)
{
    uint32_t p = pen, d = dst, r;
    switch (rop2) {
    case R2_BLACK:
        r = 0;
        break;
    case R2_NOTMERGEPEN:
        r = ~(p | d);
        break;
    case R2_MASKNOTPEN:
        r = ~p & d;
        break;
    case R2_NOTCOPYPEN:
        r = ~p;
        break;
    case R2_MASKPENNOT:
        r = p & ~d;
        break;
    case R2_NOT:
        r = ~d;
        break;
    case R2_XORPEN:
        r = p ^ d;
        break;
    case R2_NOTMASKPEN:
        r = ~(p & d);
        break;
    case R2_MASKPEN:
        r = p & d;
        break;
    case R2_NOTXORPEN:
        r = ~(p ^ d);
        break;
    case R2_NOP:
        r = d;
        break;
    case R2_MERGENOTPEN:
        r = ~p | d;
        break;
    case R2_MERGEPENNOT:
        r = p | ~d;
        break;
    case R2_MERGEPEN:
        r = p | d;
        break;
    case R2_WHITE:
        r = 0xFFFFFF;
        break;
    case R2_COPYPEN:
    default:
        r = p;
        break;
    }
    return r & 0x00FFFFFF;
}

Paint ResolveBrush(const DeviceContext& dc, const RasterTarget& target, const BrushObject& brush)
{
    Paint paint;
    paint.origin = dc.state.brushOrg;
    switch (brush.log.lbStyle) {
    case BS_SOLID:
        return Paint::Solid(TargetPixel(dc, target, brush.log.lbColor));
    case BS_HATCHED: {
        size_t hatch = std::min<size_t>(brush.log.lbHatch, 5);
        uint32_t fore = TargetPixel(dc, target, brush.log.lbColor);
        uint32_t back = TargetPixel(dc, target, dc.state.bkColor);
        bool opaque = dc.state.bkMode == OPAQUE;
        paint.kind = Paint::Kind::Pattern;
        paint.opaque = 0;
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                bool line = (kHatches[hatch][y] >> (7 - x)) & 1;
                paint.pattern[y * 8 + x] = line ? fore : back;
                if (line || opaque)
                    paint.opaque |= uint64_t(1) << (y * 8 + x);
            }
        }
        // On paper a hatch keeps the size it has on the screen; a preview
        // of the page shows it at the page's scale.
        if (dc.hatchCellX > 0 && dc.hatchCellY > 0) {
            paint.cellX = dc.hatchCellX;
            paint.cellY = dc.hatchCellY;
        } else if (dc.kind == DcKind::Printer) {
            const DeviceCaps screen = ScreenCaps();
            if (screen.logPixelsX > 0 && screen.logPixelsY > 0 && dc.caps.logPixelsX > 0 && dc.caps.logPixelsY > 0) {
                paint.cellX = 8.0 * dc.caps.logPixelsX / screen.logPixelsX;
                paint.cellY = 8.0 * dc.caps.logPixelsY / screen.logPixelsY;
            }
        }
        return paint;
    }
    case BS_PATTERN: {
        const PixelBuffer& pattern = brush.pattern;
        if (pattern.width <= 0 || pattern.height <= 0)
            return paint;
        uint32_t fore = 0, back = 0;
        if (brush.monoPattern) {
            fore = TargetPixel(dc, target, dc.state.textColor);
            back = TargetPixel(dc, target, dc.state.bkColor);
        }
        paint.kind = Paint::Kind::Pattern;
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                uint32_t p = pattern.Row(y % pattern.height)[x % pattern.width];
                if (brush.monoPattern)
                    p = (p & 0xFFFFFF) == 0 ? fore : back;
                else if (target.colorTable)
                    p = TargetPixel(dc, target, ColorFromPixel(p));
                paint.pattern[y * 8 + x] = p;
            }
        }
        return paint;
    }
    default:
        return paint;
    }
}

void PaintPixel(const RasterTarget& target, int x, int y, uint32_t color, int rop2)
{
    if (!target.buffer || rop2 == R2_NOP)
        return;
    Put(target, target.buffer->Row(y + target.origin.y) + target.origin.x + x, color, rop2);
}

void CopySpan(const RasterTarget& target, int y, int first, int end, const Paint& paint)
{
    if (!target.buffer || first >= end)
        return;
    uint32_t* row = target.buffer->Row(y + target.origin.y) + target.origin.x;
    if (paint.kind == Paint::Kind::Solid) {
        std::fill(row + first, row + end, paint.color);
        return;
    }
    if (paint.kind != Paint::Kind::Pattern)
        return;
    const int py = paint.RowAt(y) * 8;
    if (paint.cellX != 8) {
        for (int x = first; x < end; ++x) {
            const int bit = py + paint.ColumnAt(x);
            if ((paint.opaque >> bit) & 1)
                row[x] = paint.pattern[bit];
        }
        return;
    }
    int bit = Mod8(first - paint.origin.x);
    for (int x = first; x < end; ++x) {
        if ((paint.opaque >> (py + bit)) & 1)
            row[x] = paint.pattern[py + bit];
        bit = (bit + 1) & 7;
    }
}

void PaintRegion(const RasterTarget& target, const Region& area, const Paint& paint, int rop2)
{
    if (!target.buffer || paint.IsNone() || rop2 == R2_NOP)
        return;
    PixelBuffer& buffer = *target.buffer;
    for (const RECT& rect : area.Rects()) {
        RECT r = Clip(rect, target.bounds);
        for (int y = r.top; y < r.bottom; ++y) {
            uint32_t* row = buffer.Row(y + target.origin.y) + target.origin.x;
            if (paint.kind == Paint::Kind::Solid) {
                if (rop2 == R2_COPYPEN) {
                    std::fill(row + r.left, row + r.right, paint.color);
                    continue;
                }
                for (int x = r.left; x < r.right; ++x)
                    Put(target, row + x, paint.color, rop2);
                continue;
            }
            int py = paint.RowAt(y) * 8;
            for (int x = r.left; x < r.right; ++x) {
                int bit = py + paint.ColumnAt(x);
                if ((paint.opaque >> bit) & 1)
                    Put(target, row + x, paint.pattern[bit], rop2);
            }
        }
    }
}

Region Mask::ToRegion() const
{
    std::vector<RECT> rects;
    int w = Width();
    for (int y = box.top; y < box.bottom; ++y) {
        const uint8_t* row = bits.data() + size_t(y - box.top) * size_t(w);
        int x = 0;
        while (x < w) {
            while (x < w && !row[x])
                ++x;
            int start = x;
            while (x < w && row[x])
                ++x;
            if (x > start)
                rects.push_back(RECT{box.left + start, y, box.left + x, y + 1});
        }
    }
    return Region::FromBands(std::move(rects));
}

Mask RasterizeWithCairo(const RECT& box, const std::function<void(cairo_t* cr)>& draw)
{
    Mask mask;
    int w = box.right - box.left, h = box.bottom - box.top;
    if (w <= 0 || h <= 0 || int64_t(w) * h > PixelBuffer::kMaxPixels)
        return mask;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return mask;
    }
    cairo_t* cr = cairo_create(surface);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_translate(cr, -box.left, -box.top);
    cairo_set_source_rgba(cr, 0, 0, 0, 1);
    draw(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    mask.box = box;
    mask.bits.resize(size_t(w) * size_t(h));
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < h; ++y) {
        // Covered from half coverage up: the top bit.
        const unsigned char* from = data + size_t(y) * size_t(stride);
        uint8_t* to = mask.bits.data() + size_t(y) * size_t(w);
        for (int x = 0; x < w; ++x)
            to[x] = uint8_t(from[x] >> 7);
    }
    cairo_surface_destroy(surface);
    return mask;
}

void PaintMask(const RasterTarget& target, const Mask& mask, const Region& clip, const Paint& paint, int rop2)
{
    if (!target.buffer || paint.IsNone() || rop2 == R2_NOP || mask.bits.empty())
        return;
    PixelBuffer& buffer = *target.buffer;
    int w = mask.Width();
    for (const RECT& rect : clip.Rects()) {
        RECT r = Clip(Clip(rect, mask.box), target.bounds);
        for (int y = r.top; y < r.bottom; ++y) {
            uint32_t* row = buffer.Row(y + target.origin.y) + target.origin.x;
            const uint8_t* bits = mask.bits.data() + size_t(y - mask.box.top) * size_t(w) - mask.box.left;
            if (paint.kind == Paint::Kind::Solid && rop2 == R2_COPYPEN) {
                // Written as a choice for every pixel, which the compiler
                // can do many at a time.
                const uint32_t color = paint.color;
                for (int x = r.left; x < r.right; ++x)
                    row[x] = bits[x] ? color : row[x];
                continue;
            }
            int py = paint.RowAt(y) * 8;
            for (int x = r.left; x < r.right; ++x) {
                if (!bits[x])
                    continue;
                if (paint.kind == Paint::Kind::Solid) {
                    Put(target, row + x, paint.color, rop2);
                    continue;
                }
                int bit = py + paint.ColumnAt(x);
                if ((paint.opaque >> bit) & 1)
                    Put(target, row + x, paint.pattern[bit], rop2);
            }
        }
    }
}

} // namespace platform
