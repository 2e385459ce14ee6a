#pragma once
// The readers behind LtFileInfo, LtMemInfo, LtLoadFile and LtMemLoad: the
// format recognition and one decoder per family. Nothing here is seen
// outside platform/imaging.
//
// Every decoder takes the whole file as bytes, answers LT_SUCCESS or an LT_ERR_
// code, and touches its output record only on success.

#include "platform/imaging/ImagingInternal.h"

#include <cstddef>

namespace platform::imaging {

// What the path's extension allows besides the formats with a signature.
enum class NameHint {
    None,     // a name that says nothing
    Targa,    // .tga, .vda, .icb, .vst
    MacPaint, // .mac, .pnt
    GemImage, // .img, .ximg
    Any,      // a buffer: no name to go by, so every format without a signature is tried
};
NameHint HintOfPath(const char* path);

// The LT_FORMAT_ of the bytes, or 0. Targa and raw MacPaint are answered only
// under their hint (or Any), after every format with a signature, and only
// when their header passes its checks.
int SniffFormat(const BYTE* data, size_t size, NameHint hint);

// LtLoadFile's and LtMemLoad's decoding of a whole file's bytes, with what
// its name says: bitmap is only touched on success and keeps its
// transparency flag and colour.
int DecodeBytes(const BYTE* data, size_t size, NameHint hint, int bitsPerPixel, int order, LTBITMAP& bitmap);

// Header facts (format, size and depth a load at 0 bits gives: a JPEG over
// the limits reports its reduced size). JPEG and PNG read their headers
// only; the others are decoded, as their depth and size are only sure once
// their pixels are read.
int JpegInfo(const BYTE* data, size_t size, LTFILEINFO& info);
int PngInfo(const BYTE* data, size_t size, LTFILEINFO& info);
int TargaInfo(const BYTE* data, size_t size, LTFILEINFO& info);
int MagickInfo(int format, const BYTE* data, size_t size, LTFILEINFO& info);
// MacPaint, Microsoft Paint and one-plane GEM raster (DecodeBilevel.cpp).
int BilevelInfo(int format, const BYTE* data, size_t size, LTFILEINFO& info);

// Decodes into bitmap. JPEG and PNG decode straight into the record, row by
// row, at their own depth and at 24 and 32 bits; other depths, and the
// formats the decoder library reads, come out at the file's own depth and
// are then converted by ConvertDepth.
int JpegDecode(const BYTE* data, size_t size, int bitsPerPixel, int order, LTBITMAP& bitmap);
int PngDecode(const BYTE* data, size_t size, int bitsPerPixel, int order, LTBITMAP& bitmap);
int TargaDecode(const BYTE* data, size_t size, int bitsPerPixel, int order, LTBITMAP& bitmap);
int MagickDecode(int format, const BYTE* data, size_t size, int bitsPerPixel, int order, LTBITMAP& bitmap);
int BilevelDecode(int format, const BYTE* data, size_t size, int bitsPerPixel, int order, LTBITMAP& bitmap);
// Microsoft Paint's signature; a GEM raster header that makes sense (the
// format has no signature).
bool IsMsp(const BYTE* data, size_t size);
bool GemHeaderSound(const BYTE* data, size_t size);

// Converts a decoded record to bitsPerPixel and order, keeping every colour
// that fits and reducing the others to an optimised palette without
// dithering (flat areas stay flat).
int ConvertDepth(LTBITMAP& bitmap, int bitsPerPixel, int order);

// The same reduction for rows of R, G, B, A bytes.
int PackRgbaReduced(std::vector<uint8_t>& rgba, int width, int height, int bitsPerPixel, int order,
    LTBITMAP& bitmap);

// A grey ramp of 2^bits levels, index = level.
std::vector<RGBQUAD> GreyRamp(int bitsPerPixel);

// True when the decoder library refuses every coder but ours and every
// outside program (set up by EnsureLibrary).
bool LibraryLockedDown();

} // namespace platform::imaging
