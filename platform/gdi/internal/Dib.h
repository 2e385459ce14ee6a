#pragma once
// Device-independent bitmaps: reading their headers, colour tables and bits
// (1, 4, 8, 16, 24 and 32 bits a pixel, BI_RGB, BI_BITFIELDS, BI_RLE4 and
// BI_RLE8, bottom-up or top-down; 12-byte core headers, the 40-, 52-, 56-,
// 108- and 124-byte info headers and the 16- and 64-byte OS/2 ones) and
// writing rows back for GetDIBits.
//
// Everything is checked before use: a header, table or bits that do not fit
// in the bytes given, or sizes, depths and compressions that make no sense,
// are refused.

#include "platform/base/GdiRecords.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

struct PaletteObject;
struct PixelBuffer;

struct DibFormat {
    int width = 0;
    int height = 0; // rows, always positive
    bool topDown = false;
    int bitCount = 0;
    DWORD compression = BI_RGB;
    // 16 and 32 bpp: where red, green, blue and alpha sit (alpha may be 0).
    uint32_t masks[4] = {0, 0, 0, 0};
    // Depths of 8 and below: the colours (at most 2^bitCount); an index past
    // the end is black.
    std::vector<RGBQUAD> colors;
    size_t headerBytes = 0; // the header and any masks after it
    size_t tableBytes = 0;  // the colour table as it sits before the bits
    size_t imageBytes = 0;  // the compressed size of an RLE DIB (0: unknown)

    // Bytes of one uncompressed row, padded to 32 bits.
    size_t Stride() const { return ((size_t(width) * size_t(bitCount) + 31) / 32) * 4; }
    bool Compressed() const { return compression == BI_RLE4 || compression == BI_RLE8; }
};

// How the header and table are laid out.
enum class DibLayout : uint8_t {
    // Header, table and bits in one block of known size: the table takes
    // as many entries as the header says, even past 2^bitCount.
    Packed,
    // A BITMAPINFO from a caller of the API: only the entries the depth can
    // use are read.
    Info,
};

// Reads header, masks and colour table from `data` (at most `size` bytes).
// DIB_PAL_COLORS tables are 16-bit indexes into `palette` (required then).
bool ReadDibFormat(const void* data, size_t size, DibLayout layout, UINT usage, const PaletteObject* palette,
    DibFormat& out);

// A packed DIB (a bitmap resource, a BMP file without its file header):
// the format and where its bits are.
bool ReadPackedDib(const void* data, size_t size, DibFormat& out, const uint8_t*& bits, size_t& bitsSize);

// The bytes `scans` rows of bits take (uncompressed).
size_t DibBitsSize(const DibFormat& f, int scans);

// Decodes scans [firstScan, firstScan + scans) — in DIB order, so scan 0 is
// the bottom row of a bottom-up DIB — from `bits` into `out`, which is
// already width x height and top-down; `alpha` (optional, width x height)
// gets the fourth byte of 32-bit pixels. An RLE DIB is decoded whole and
// leaves skipped pixels alone. False when the bits are too short for the
// scans asked (nothing is read past bitsSize).
bool DecodeDib(const DibFormat& f, const uint8_t* bits, size_t bitsSize, int firstScan, int scans, PixelBuffer& out,
    std::vector<uint8_t>* alpha = nullptr);

// Writes one row of 0x00RRGGBB pixels in the format's layout (uncompressed;
// indexes by the nearest colour of f.colors).
void EncodeDibRow(const uint32_t* pixels, int width, const DibFormat& f, uint8_t* out);

// A new bitmap of that depth (default colour table) holding the pixels,
// reduced to the table for depths of 8 and below.
HBITMAP CreateBitmapFromPixels(const PixelBuffer& pixels, int bitsPixel);

} // namespace platform
