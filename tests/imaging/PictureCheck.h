#pragma once
// Helpers of the imaging tests: reading a bitmap record by its documented
// layout, and the decoder library's own reading of a file to compare with.

#include "platform/imaging/Imaging.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace imaging_test {

// The colour of a pixel as R, G, B, A, read from the record's documented
// layout (alpha 255 below 32 bits).
std::array<uint8_t, 4> RgbaAt(const LTBITMAP& bitmap, int x, int y);

// A Linux path in the Windows form the library takes.
std::string WindowsPath(const std::string& hostPath);
// A file of the shared test data, by its path below that folder.
std::string TestData(const std::string& relative);
std::string ReadBytes(const std::string& hostPath);

// The decoder library's reading of a file: its size and R, G, B, A bytes, or
// ok false when it refuses the file with an error. A picture the library
// reads without alpha has alpha false and every pixel's alpha 255.
struct Reference {
    bool ok = false;
    bool alpha = false;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};
Reference ReadReference(const std::string& bytes, const char* magick = nullptr);

// True for the BMPs of the test data whose alpha the decoder library keeps
// although the file gives none (the unused fourth byte of a plain 32-bit
// pixel, an alpha channel left all 0); they load opaque.
bool BmpAlphaNotMeant(const std::string& path);

// A small picture with every colour different from its neighbours.
LTBITMAP Pattern(int width, int height, int bitsPerPixel);

// A 24- or 32-bit record from colours listed row by row (alphas 255 unless
// given).
LTBITMAP Colours(int width, int height, std::initializer_list<COLORREF> colours, int bits = 24,
    std::vector<uint8_t> alphas = {});

} // namespace imaging_test
