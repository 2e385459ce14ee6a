#pragma once
// Ternary raster operations and the stretching blit every raster copy goes
// through (BitBlt, StretchBlt, PatBlt, the DIB calls, masks of icons).
//
// A ternary operation combines source (S), pattern (P) and destination (D)
// bitwise; its code is the high word's low byte of the raster-operation
// DWORD, which is the truth table of the function: bit ((P << 2) | (S << 1)
// | D) of the code is the result for those three input bits.

#include "platform/gdi/internal/DeviceContext.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

constexpr uint8_t Rop3Code(DWORD rop)
{
    return uint8_t((rop >> 16) & 0xFF);
}
constexpr bool Rop3UsesSource(uint8_t code)
{
    return (((code >> 2) ^ code) & 0x33) != 0;
}
constexpr bool Rop3UsesPattern(uint8_t code)
{
    return (((code >> 4) ^ code) & 0x0F) != 0;
}
constexpr bool Rop3UsesDestination(uint8_t code)
{
    return (((code >> 1) ^ code) & 0x55) != 0;
}

// dst[i] = op(src[i], pat[i], dst[i]) for n pixels, top bytes cleared. src
// and pat may be null when the operation does not read them.
using Rop3RowFunction = void (*)(uint32_t* dst, const uint32_t* src, const uint32_t* pat, size_t n);
Rop3RowFunction Rop3Row(uint8_t code);

// How source pixels change on their way to a destination of another kind.
enum class SourceConversion : uint8_t {
    None,        // colours as they are (reduced to a low-depth target later)
    MonoToColor, // 0 -> foreground (text colour), 1 -> background colour
    ColorToMono, // the source DC's background colour -> 1 (white), all else 0
};

// Pixels a blit reads. Device (x, y) of the source is buffer pixel
// (x + origin.x, y + origin.y); only `bounds` (device units) may be read.
struct BlitSource {
    const PixelBuffer* buffer = nullptr;
    POINT origin{0, 0};
    RECT bounds{0, 0, 0, 0};
    SourceConversion conversion = SourceConversion::None;
    uint32_t monoOne = 0x00FFFFFF;   // MonoToColor: the source pixel meaning 1
    uint32_t foreground = 0;         // MonoToColor: what 0 becomes
    uint32_t background = 0x00FFFFFF; // MonoToColor: what 1 becomes
    uint32_t colorKey = 0x00FFFFFF;  // ColorToMono: the pixel that becomes 1
};

// A blit rectangle in device units: a start pixel and extents that keep
// their signs; a destination and a source whose signs differ mirror the image.
struct BlitRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The first pixel a blit span covers. A negative extent runs back from its
// start pixel, which it includes: (x, -w) covers x - w + 1 .. x.
constexpr int SpanStart(int start, int extent)
{
    return extent < 0 ? start + extent + 1 : start;
}

// Copies src (null for pattern-only operations) onto the raster target of
// dc through the operation, scaling by nearest pixel, clipped to what the
// DC may draw and to the source's bounds. Low-depth targets get the
// nearest colour of their table.
void StretchRaster(DeviceContext& dc, RasterTarget& target, const BlitRect& dst, const BlitSource* src,
    const BlitRect& srcRect, DWORD rop);

// Printer pages (dc.vector): draws the part srcRect of `image` (whose pixel
// (0, 0) is srcRect's normalised top-left) scaled onto dst, mirrored where
// the signs of the extents differ, inside the DC's clip. `alpha` (one byte a
// pixel of the image, 0 = transparent) may be null for an opaque image.
void PaintImageOnVector(const DeviceContext& dc, const BlitRect& dst, const PixelBuffer& image, const BlitRect& srcRect,
    const std::vector<uint8_t>* alpha);
// Fills a device rectangle of dc.vector with one colour (0x00RRGGBB).
void FillRectOnVector(const DeviceContext& dc, const BlitRect& dst, uint32_t pixel);

// A logical rectangle given by a corner and signed extents, in device units.
BlitRect DeviceBlitRect(const DcState& state, int x, int y, int width, int height);

// Nearest entry of a colour table (squared RGB distance; the first of equals).
size_t NearestColorIndex(const std::vector<RGBQUAD>& table, uint32_t pixel);
uint32_t PixelFromQuad(const RGBQUAD& q);
RGBQUAD QuadFromPixel(uint32_t pixel);

} // namespace platform
