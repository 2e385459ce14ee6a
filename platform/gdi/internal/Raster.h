#pragma once
// Painting pixels the GDI way: brushes resolved to per-pixel colours, the 16
// binary raster operations (ROP2) of pens and brush fills, and coverage
// masks for shapes that Cairo rasterises (antialiasing off). Cairo cannot
// combine with the destination the way ROP2 does, so every raster fill goes
// through PaintRegion or PaintMask here.

#include "platform/gdi/internal/DeviceContext.h"

#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace platform {

struct BrushObject;

// What a brush gives each device pixel.
struct Paint {
    enum class Kind : uint8_t { None, Solid, Pattern };
    Kind kind = Kind::None;
    uint32_t color = 0; // Solid
    // Pattern: 8 x 8 pixels, row-major, repeating from `origin` (device);
    // bit (y * 8 + x) of `opaque` says whether that pixel is painted at all
    // (a hatch in TRANSPARENT mode leaves its background alone).
    uint32_t pattern[64] = {};
    uint64_t opaque = ~uint64_t(0);
    POINT origin{0, 0};
    // The device units the pattern's eight pixels span across and down: 8
    // but for a hatch on a printer page or on its preview (see ResolveBrush).
    double cellX = 8;
    double cellY = 8;

    bool IsNone() const { return kind == Kind::None; }
    // The pattern's column for device x and its row for device y.
    int ColumnAt(int x) const { return CellAt(x - origin.x, cellX); }
    int RowAt(int y) const { return CellAt(y - origin.y, cellY); }
    static Paint Solid(uint32_t pixel)
    {
        Paint p;
        p.kind = Kind::Solid;
        p.color = pixel;
        return p;
    }

private:
    static int CellAt(int offset, double cell)
    {
        const int n = cell == 8 ? offset : int(std::floor(offset * 8.0 / cell));
        return ((n % 8) + 8) % 8;
    }
};

// The brush as it paints on this DC and target: hatch lines in the brush
// colour over the background colour (OPAQUE) or nothing (TRANSPARENT);
// monochrome patterns in the text and background colours; colours reduced
// to the target's depth; the DC's brush origin. BS_NULL gives Kind::None.
// On a printer a hatch keeps the spacing and line weight it has on the
// screen, eight screen pixels a cell, rather than eight printer dots, which
// would print as a fine tint where the screen shows open lines.
Paint ResolveBrush(const DeviceContext& dc, const RasterTarget& target, const BrushObject& brush);

// R2_BLACK .. R2_WHITE on one pixel; the top byte of the result is 0.
uint32_t ApplyRop2(int rop2, uint32_t pen, uint32_t dst);

// One pixel at device (x, y) through the ROP2; the caller has checked that
// it lies in the drawable region.
void PaintPixel(const RasterTarget& target, int x, int y, uint32_t color, int rop2);

// Paints every pixel of `area` (device units, already clipped by the caller,
// normally to DrawableRegion) with the paint through the ROP2.
void PaintRegion(const RasterTarget& target, const Region& area, const Paint& paint, int rop2);
// Copies the paint onto pixels [first, end) of row y (device units, inside
// the target's bounds), as PaintRegion does with R2_COPYPEN.
void CopySpan(const RasterTarget& target, int y, int first, int end, const Paint& paint);

// A set of device pixels over a box: one byte a pixel, non-zero = covered.
struct Mask {
    RECT box{0, 0, 0, 0};
    std::vector<uint8_t> bits; // (box width) x (box height), row-major

    int Width() const { return box.right - box.left; }
    int Height() const { return box.bottom - box.top; }
    bool Covered(int x, int y) const
    {
        return x >= box.left && y >= box.top && x < box.right && y < box.bottom
            && bits[size_t(y - box.top) * size_t(Width()) + size_t(x - box.left)] != 0;
    }
    Region ToRegion() const;
};

// Rasterises with Cairo into a mask over `box` (device units): `draw` gets a
// context with antialiasing off, an opaque source and a transform already
// set so that it works in device units; it builds a path and fills or
// strokes it. An empty box gives an empty mask.
Mask RasterizeWithCairo(const RECT& box, const std::function<void(cairo_t* cr)>& draw);

// Paints the covered pixels of the mask that lie in `clip` (device units).
void PaintMask(const RasterTarget& target, const Mask& mask, const Region& clip, const Paint& paint, int rop2);

} // namespace platform
