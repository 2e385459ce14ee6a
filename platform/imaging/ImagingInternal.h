#pragma once
// Pixel helpers shared by the imaging library's files; nothing here is seen
// outside platform/imaging.

#include "platform/imaging/Imaging.h"

#include <cstddef>
#include <cstdint>

namespace platform::imaging {

// True for the depths a bitmap record can have.
bool ValidDepth(int bitsPerPixel);
// Bytes of one row of that width and depth, rounded up to 4 (a DIB's row);
// 0 when it would not fit an int.
int RowBytes(int width, int bitsPerPixel);
// True when a picture of that size is within the library's limits.
bool SizeAllowed(long long width, long long height);

// True when the record has pixel memory that matches its size and depth.
bool Usable(const LTBITMAP& bitmap);

// How PackRgba treats more colours than a palette of the depth holds.
enum class PaletteFit {
    Exact,   // refuse (PackRgba returns false)
    Nearest, // keep the first colours and map later ones to the nearest of them
};

// Fills bitmap (size, depth, order, palette, pixels) from rows of R, G, B, A
// bytes. For 1, 4 and 8 bits the palette holds the picture's colours: a grey
// ramp for an 8-bit grey picture, the greys in ascending order for a smaller
// grey one, else colours in order of first appearance. Alpha is kept at 32
// bits only.
bool PackRgba(const uint8_t* rgba, int width, int height, int bitsPerPixel, int order, PaletteFit fit,
    LTBITMAP& bitmap);

// The colour of one pixel as R, G, B, A bytes (alpha 255 below 32 bits).
void PixelRgba(const LTBITMAP& bitmap, int x, int y, uint8_t out[4]);

// The grey level the library uses when it turns colour into grey.
inline uint8_t GreyOf(uint8_t r, uint8_t g, uint8_t b)
{
    return uint8_t((r * 299 + g * 587 + b * 114 + 500) / 1000);
}

} // namespace platform::imaging
