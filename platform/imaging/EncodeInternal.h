#pragma once
// The writers' side of the imaging library: a picture converted to the depth
// a file is written at, and the writers that are ours rather than the
// decoder library's. Nothing here is seen outside platform/imaging.

#include "platform/imaging/ImagingInternal.h"

#include <array>
#include <string>
#include <vector>

namespace platform::imaging {

// A picture at the depth of the file that is written. Indexed pictures
// (1, 4 and 8 bits) have exactly 1 << bits palette entries, those past the
// colours in use opaque black, so that writers that size their files by the
// palette write the depth asked for.
struct OutputRaster {
    int width = 0;
    int height = 0;
    int bits = 24; // 1, 4 or 8: indexed; 24: colour; 32: colour and alpha
    // Some pixel has alpha 0: at 24 bits they are those of one colour (a
    // writer may mark it as a colour key); indexed, they use transparentIndex.
    bool transparent = false;
    int transparentIndex = -1;
    // Indexed: the palette is the 256-level grey ramp and the index is the level.
    bool grey = false;
    // Indexed: the palette holds only black and white (or one of them).
    bool blackAndWhite = false;
    std::vector<std::array<uint8_t, 4>> palette; // R, G, B, A
    std::vector<uint8_t> indexes;                // indexed: one per pixel, rows top-down
    std::vector<uint8_t> rgba;                   // 24 and 32 bits: R, G, B, A per pixel

    bool Indexed() const { return bits <= 8; }
};

// How a picture of more colours than one bit holds, or of two colours that
// are not black and white, becomes a 1-bit picture.
enum class OneBitColours {
    TwoColours, // a picture of two colours keeps them; others become black and white
    BlackWhite, // the format knows only black and white
};

struct DepthRequest {
    int bits = 24; // 1, 4, 8, 24 or 32
    OneBitColours oneBit = OneBitColours::TwoColours;
    // Pixels of this colour (its red, green and blue) get alpha 0.
    bool markTransparent = false;
    COLORREF transparentColor = 0;
};

// Converts the picture to the depth asked for: 32 bits keep the record's
// alpha (opaque below 32 bits); 24 drop it; 8 and 4 bits keep every colour
// when they fit and otherwise take an optimised palette with the error
// diffused; 1 bit keeps black and white, or two colours where the request
// allows, and otherwise diffuses the grey levels to black and white. A
// grey picture at 8 bits gets the grey ramp. Throws std::bad_alloc.
void PrepareRaster(const LTBITMAP& bitmap, const DepthRequest& request, OutputRaster& out);

// An encapsulated PostScript file (language level 2) of a 1-, 4-, 8- or
// 24-bit raster: one image at one point per pixel, its bounding box the
// picture's size. Throws std::bad_alloc.
std::string WriteEps(const OutputRaster& raster);

// A baseline JPEG of a 24- or 32-bit raster (its alpha ignored), in grey
// when asked, at a quality of 1..100; an LT_ code. Nothing of the raster is
// changed.
int WriteJpeg(const OutputRaster& raster, bool grey, int quality, std::string& out);

// A CALS raster (type 1, Group 4) of a 1-bit black and white raster; false
// when the decoder library's Group 4 stream cannot be had. Throws the
// library's exceptions and std::bad_alloc.
bool WriteCals(const OutputRaster& raster, std::string& out);

// A 1-, 4- or 8-bit raster's row y packed as a file stores it: the indexes
// of the pixels, the leftmost in the high bits, the last byte's unused bits
// 0.
void PackRowBits(const OutputRaster& raster, int y, uint8_t* out);

// Writers of our own formats, each of a raster at a depth the format holds
// (see the table in Encode.cpp); false when the picture cannot be stored in
// the format (a side over its limit). Throw std::bad_alloc.
// A placeable Windows metafile drawing a 1-, 4-, 8- or 24-bit DIB.
bool WriteWmf(const OutputRaster& raster, std::string& out);
// The same straight from a 24-bit record in DIB order, whose rows are the
// DIB's as they are; false for any other record.
bool WriteWmf24(const LTBITMAP& bitmap, std::string& out);
// WordPerfect graphics with one 1-, 4- or 8-bit bitmap.
bool WriteWpg(const OutputRaster& raster, std::string& out);
// Black and white: MacPaint (in its MacBinary envelope, the picture at the
// top left of its 576 x 720 page, cut off beyond it), Microsoft Paint
// (version 2) and GEM raster.
bool WriteMacPaint(const OutputRaster& raster, std::string& out);
bool WriteMsp(const OutputRaster& raster, std::string& out);
bool WriteGemImage(const OutputRaster& raster, std::string& out);

// Where the parts of a TIFF of one strip lie; false for any other layout
// or when a part lies outside the bytes.
struct TiffLayout {
    uint32_t directory = 0;
    uint32_t compression = 1;
    uint32_t photometric = ~0u;
    uint32_t fillOrder = 1;
    uint32_t stripOffset = 0;
    uint32_t stripLength = 0;
};
bool ReadTiffLayout(const uint8_t* data, size_t size, TiffLayout& layout);
// The byte that aligns the directory after an odd-sized strip is skipped
// over, not written, by the decoder library, which leaves whatever its
// memory held there; it is set to 0 so that a picture always gives the
// same bytes.
void ClearTiffPadding(std::string& tiff);

} // namespace platform::imaging
