#pragma once
// The pixels of every bitmap, window and screen surface: 32 bits a pixel,
// 0x00RRGGBB in native (little-endian) order, which is Cairo's RGB24 layout
// and the BGRX byte order of a 32-bit DIB. Rows run top-down with no padding
// (stride = width). The top byte is kept at 0. Whatever depth a bitmap
// reports (1, 4, 8, 24 or 32 bpp), its pixels live here; a low-depth bitmap
// simply holds only the colours of its colour table.

#include "platform/base/Types.h"

#include <cstdint>
#include <vector>

namespace platform {

struct PixelBuffer {
    // Larger surfaces are refused rather than allocated: 32767 pixels a side
    // and 2^28 pixels (1 GiB) in all.
    static constexpr int kMaxSide = 32767;
    static constexpr int64_t kMaxPixels = int64_t(1) << 28;

    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    // Resizes to w x h filled with `fill`; false (and unchanged) when the size
    // is negative, over the limits or the memory is not there.
    bool Allocate(int w, int h, uint32_t fill = 0);

    uint32_t* Row(int y) { return pixels.data() + size_t(y) * size_t(width); }
    const uint32_t* Row(int y) const { return pixels.data() + size_t(y) * size_t(width); }
    int StrideBytes() const { return width * 4; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

// COLORREF 0x00BBGGRR <-> pixel 0x00RRGGBB. The flag byte of a COLORREF
// (PALETTEINDEX, PALETTERGB) is dropped here; resolve it first.
constexpr uint32_t PixelFromColor(COLORREF c)
{
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
constexpr COLORREF ColorFromPixel(uint32_t p)
{
    return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
}

} // namespace platform
