#pragma once
// Pictures for the clipboard tests: RGB pixel arrays made, read from
// bitmaps and packed DIBs, and read by ImageMagick from files.

#include "platform/base/Types.h"

#include <string>
#include <vector>

namespace cliptest {

// Rows top-down, three bytes a pixel in R, G, B order.
struct Rgb {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> bytes;
};

// A picture whose every pixel differs from its neighbours in each channel.
Rgb Pattern(int width, int height);
// A 32-bit device bitmap holding the picture (the caller deletes it).
HBITMAP BitmapOf(const Rgb& picture);
// A 24-bit packed DIB of a bitmap in a new moveable block.
HGLOBAL PackedDibOf(HBITMAP bitmap);

Rgb RgbOfBitmap(HBITMAP bitmap);
// Reads BI_RGB DIBs of 1, 4, 8, 24 and 32 bits, bottom-up or top-down.
Rgb RgbOfDib(HGLOBAL dib);
// The largest difference of one channel; 1000 when the sizes differ.
int MaxDifference(const Rgb& a, const Rgb& b);

// ImageMagick's reading of the first picture of a file, transparent parts on
// white; empty when it cannot read it.
Rgb MagickRgb(const std::string& path);
// Writes bytes to a new file below the test home and gives its path.
std::string WriteTemp(const std::vector<unsigned char>& bytes, const std::string& name);

} // namespace cliptest
