#pragma once
// The imaging library: picture files in and out of bitmap records, and the
// conversions between a bitmap record, a packed DIB and a device bitmap.
// The picture engine is its only caller.
//
// Calls answer LT_SUCCESS (1) when they work. Loading a file that is not
// there answers LT_ERR_NOT_FOUND (2, positive); every other failure is one of
// the negative LT_ERR_ codes below. Damaged, truncated, oversized or
// unsupported data is refused with a code; no call crashes on bad input and
// none leaves a half-filled bitmap behind (a failed load leaves the record
// without pixel memory).
//
// Readable formats (Codec.cpp and its decoders): BMP/DIB (Windows and OS/2
// headers), GIF (first frame), ICO/CUR (first image), JPEG, PCD (the
// 768 x 512 base), PICT, PCX, PNG, PSD/PSB (the merged image), Sun raster,
// Targa, TIFF (first page), WPG, MacPaint, Microsoft Paint and GEM raster
// (one plane). Each is recognised by its signature; Targa, raw MacPaint and
// GEM raster have none and are tried only when the path given to
// LtLoadFile/LtFileInfo ends in their extension (.tga, .mac, .pnt, .img)
// and their header passes its checks. A JPEG stream that stops before
// its end marker is refused as truncated rather than shown with its missing
// part grey. A JPEG larger than the limits below is read at the largest of
// its decoder's own reduced scales (1/2, 1/4, 1/8) that fits them, so a
// camera's photograph always loads; any other file over the limits is
// refused with LT_ERR_TOO_LARGE. No other decoder and no outside program is
// ever reached: a WPG or PICT that carries PostScript is refused.
//
// Writable formats (Encode.cpp): see LtSaveFile.

#include "platform/base/GdiRecords.h"
#include "platform/base/Types.h"

#include <vector>

// ---- Results -------------------------------------------------------------------

#define LT_SUCCESS 1
#define LT_ERR_NOT_FOUND 2         // the file does not exist
#define LT_ERR_NO_MEMORY (-1)      // memory ran out, or a bitmap made or resized would be over the limits
#define LT_ERR_BAD_BITMAP (-2)     // the bitmap record is null, empty or inconsistent
#define LT_ERR_FILE_ACCESS (-4)    // the file exists but cannot be opened or read
#define LT_ERR_WRITE (-5)          // the output file cannot be created or written
#define LT_ERR_READ (-7)           // the data is empty or larger than any picture file we read
#define LT_ERR_BAD_NAME (-8)       // the path is empty or cannot name a file
#define LT_ERR_FORMAT (-9)         // not a format the library reads (or, on save, writes)
#define LT_ERR_BAD_DATA (-11)      // the picture data cannot be decoded
#define LT_ERR_SUBTYPE (-12)       // the format is known but this variant of it is not
#define LT_ERR_CORRUPT (-19)       // damaged or truncated picture data
#define LT_ERR_BAD_PARAM (-21)     // an argument outside its documented range
#define LT_ERR_BITS_FOR_FORMAT (-27) // the save format cannot store that many bits per pixel
#define LT_ERR_TOO_LARGE (-28)     // the file's picture is over LT_MAX_SIDE or LT_MAX_PIXELS

// ---- File format codes ---------------------------------------------------------

// The codes the picture engine names when it saves and exports; the readers
// report the same codes (and the last three, which are read only).
#define LT_FORMAT_PCX 1
#define LT_FORMAT_GIF 2
#define LT_FORMAT_TIF 3
#define LT_FORMAT_TGA 4
#define LT_FORMAT_BMP 6
#define LT_FORMAT_JPEG 10
#define LT_FORMAT_WMF 15      // written only: a placeable metafile of one DIB
#define LT_FORMAT_EPS 16      // PostScript with a raster image, our own writer
#define LT_FORMAT_CMP 20      // written as PNG
#define LT_FORMAT_LEAD1BIT 26 // written as PNG
#define LT_FORMAT_CALS 50     // CALS raster, 1 bit
#define LT_FORMAT_MAC 51      // MacPaint, 1 bit
#define LT_FORMAT_IMG 52      // GEM raster, 1 bit
#define LT_FORMAT_MSP 53      // Microsoft Paint, 1 bit
#define LT_FORMAT_WPG 54      // WordPerfect graphics: bitmaps of 1, 4 and 8 bits
#define LT_FORMAT_RAS 55      // Sun raster
#define LT_FORMAT_PCT 56      // PICT
#define LT_FORMAT_PNG 75
#define LT_FORMAT_PSD 76
#define LT_FORMAT_PCD 80      // read only
#define LT_FORMAT_ICO 81      // read only (ICO and CUR)

// ---- The bitmap record ---------------------------------------------------------

// Colour order of 24- and 32-bit pixels.
#define LT_ORDER_RGB 0
#define LT_ORDER_BGR 1 // the order of DIB pixels

// Bits of LTBITMAP::Flags.
#define LT_BITMAP_ALLOCATED 0x01  // Pixels holds Height rows of BytesPerLine bytes
#define LT_BITMAP_TRANSPARENT 0x80 // TransparentColor is to be written with the picture

// Flags of LtLoadFile and LtMemLoad.
#define LT_LOAD_ALLOCATE 0x01 // give the bitmap pixel memory
#define LT_LOAD_STORE 0x02    // decode the pixels into it

// Largest picture accepted, anywhere: each side and the pixel count.
#define LT_MAX_SIDE 20000
#define LT_MAX_PIXELS 50000000L
// Largest picture file or buffer read.
#define LT_MAX_FILE_BYTES (256L * 1024 * 1024)

// A raster picture. Rows run top to bottom, each BytesPerLine bytes long
// (a multiple of 4, as in a DIB). Pixels by depth: 1 and 4 bits are palette
// indexes with the leftmost pixel in the high bits; 8 bits one index per
// byte; 16 bits a little-endian word of 5-5-5 (blue in the low bits, a
// 5-bit value c meaning the level (c << 3) | (c >> 2)); 24 and 32 bits three
// colour bytes in Order, 32 bits adding an alpha byte (255 is opaque; a
// 32-bit DIB's fourth byte is taken and given as it is). Palette has 2, 16
// or 256 entries for 1, 4 and 8 bits (entries past the colours in use are
// black) and is empty for deeper bitmaps.
//
// The record owns its pixel memory; copying the record copies the pixels.
// LtFreeBitmap gives the memory back and keeps the size.
struct LTBITMAP {
    int Width = 0;
    int Height = 0;
    int BitsPerPixel = 0;
    int BytesPerLine = 0;
    int Order = LT_ORDER_BGR;
    BYTE Flags = 0;
    COLORREF TransparentColor = 0;
    std::vector<RGBQUAD> Palette;
    std::vector<BYTE> Pixels;
};
typedef LTBITMAP* pLTBITMAP;

// What a picture file's header says, without decoding its pixels. The
// depth is the file's own, except that 16-bit BMPs (whose channel masks vary)
// load at 24 bits, or 32 with alpha, and 2-bit pictures at 4; deep-channel
// PNGs load at 8 bits per channel (24 or 32 bits, 8 for grey).
struct LTFILEINFO {
    int Format = 0;       // LT_FORMAT_
    int Width = 0;        // the size a load gives (a large JPEG's reduced one)
    int Height = 0;
    int BitsPerPixel = 0; // the depth a load at 0 bits gives: 1, 4, 8, 16, 24 or 32
    int Order = LT_ORDER_BGR;
    DWORD FileSize = 0;   // bytes of the file or buffer
};
typedef LTFILEINFO* pLTFILEINFO;

// ---- Bitmap records --------------------------------------------------------------

// Sets the size and depth of a record and drops any pixel memory it had (the
// engine's empty entries). Depth 1, 4, 8, 16, 24 or 32; sizes 0 allowed
// (an empty record); anything over the limits gives LT_ERR_NO_MEMORY.
int LtInitBitmap(pLTBITMAP bitmap, int width, int height, int bitsPerPixel);
// Makes a record of that size and depth with zeroed pixel memory (black, or
// palette index 0) and a grey palette for 1, 4 and 8 bits.
int LtAllocateBitmap(pLTBITMAP bitmap, int width, int height, int bitsPerPixel);
// Gives the pixel memory back; size, depth and palette stay. Safe on an
// empty record and on null.
void LtFreeBitmap(pLTBITMAP bitmap);
// Makes destination an independent copy of source (pixels, palette, order,
// transparency); destination's own memory is freed first.
int LtCopyBitmap(pLTBITMAP destination, const LTBITMAP* source);

// ---- Files and memory ---------------------------------------------------------------

// The header facts of a picture file (a Windows-form path) or buffer.
// LtMemInfo's flags are reserved and must be 0.
int LtFileInfo(LPCSTR path, pLTFILEINFO info);
int LtMemInfo(const void* buffer, pLTFILEINFO info, DWORD size, UINT flags);

// Decodes a whole picture into bitmap at bitsPerPixel (0: the depth
// LTFILEINFO reports) with 24- and 32-bit pixels in the given order. An
// indexed result gets the picture's own colours: a grey ramp with the level
// as index for 8-bit grey, ascending greys for smaller grey pictures, else
// the colours in order of first appearance; colours that do not fit are
// reduced to an optimised palette without dithering. At 32 bits a picture
// without alpha (a JPEG, a PNG without it, a BMP without an alpha mask or
// whose alpha values are all 0) is opaque. The transparency flag
// and colour the record had are kept. flags are LT_LOAD_; without
// LT_LOAD_STORE the record only gets the file's size and depth. The
// callback and user data are reserved (null).
typedef int (*LTLOADCALLBACK)(void* userData);
int LtLoadFile(LPCSTR path, pLTBITMAP bitmap, int bitsPerPixel, int order, UINT flags, LTLOADCALLBACK callback,
    void* userData);
// The same for a picture held in memory; always allocates and stores.
int LtMemLoad(const void* buffer, pLTBITMAP bitmap, int bitsPerPixel, int order, DWORD size);

// Writes bitmap as a file of the format at bitsPerPixel: BMP, JPEG (24 bits
// colour, 8 bits grey), TIF, PNG, PSD, TGA, PCX, GIF, CALS, PCT, RAS, EPS
// (our own writer: the system's decoder library may not write PostScript),
// WMF (1, 4, 8 and 24 bits), WPG (1, 4 and 8), MAC, MSP and IMG (1 bit,
// black and white: other pictures are dithered), and CMP and LEAD1BIT as
// PNG; a depth the format cannot store answers LT_ERR_BITS_FOR_FORMAT.
// qualityFactor runs from 0 (best) upwards: quality 100 minus the factor, at
// least 1 (lossy formats only). The file is written beside the target and
// renamed over it (platform::ReplaceWindowsFileContents) only when
// complete: a failed save leaves an existing file byte for byte and no new
// file behind. When the record's LT_BITMAP_TRANSPARENT flag is set, formats
// that can say so (GIF, PNG, TGA at 32 bits) mark TransparentColor.
int LtSaveFile(LPCSTR path, const LTBITMAP* bitmap, int format, int bitsPerPixel, int qualityFactor);
// The same into a new moveable global block (the caller frees it) and its
// size in bytes.
int LtSaveToMemory(HGLOBAL* memory, const LTBITMAP* bitmap, int format, int bitsPerPixel, int qualityFactor,
    DWORD* size);

// ---- DIBs and device bitmaps ----------------------------------------------------------

// A packed DIB in a new moveable global block: BITMAPINFOHEADER (BI_RGB,
// positive height), 2, 16 or 256 colours for 1, 4 and 8 bits, then the rows
// bottom-up. NULL when the bitmap has no pixels or memory runs out.
HGLOBAL LtConvertToDIB(const LTBITMAP* bitmap);
// Fills bitmap from a DIB in memory: a BITMAPINFOHEADER (or a larger
// version) or BITMAPCOREHEADER with its colour table, and the bits, which
// the caller guarantees to hold every row the header describes. BI_RGB at
// any depth and BI_BITFIELDS at 16 and 32 bits are read; top-down DIBs too.
int LtCopyFromDIB(pLTBITMAP bitmap, const BITMAPINFO* header, const BYTE* bits);
// Fills bitmap from a packed DIB in a global block, checked against the
// block's size, and frees the block (the handle is dead afterwards, also
// when the DIB is refused).
int LtTakeOverDIB(pLTBITMAP bitmap, HGLOBAL dib);
// A device bitmap for dc holding the picture (CreateDIBitmap); NULL when the
// bitmap has no pixels or the DC refuses.
HBITMAP LtConvertToDDB(HDC dc, const LTBITMAP* bitmap);

// ---- Pixel operations (Effects.cpp, ColorRes.cpp) ----------------------------------
// Each works on the record in place and answers LT_SUCCESS or a code;
// a record without pixels gives LT_ERR_BAD_BITMAP. Operations that only move
// pixels (mirrors, quarter turns, nearest resizing) keep every depth; those
// that mix colours (other turns, smooth resizing, average, mosaic, the
// spatial filters) turn 1-, 4- and 8-bit records into 24-bit ones, and keep
// 16, 24 and 32 bits (with alpha). Transparency fields are kept throughout.

// Left-right and top-bottom mirrors.
int LtReverseBitmap(pLTBITMAP bitmap);
int LtFlipBitmap(pLTBITMAP bitmap);
// Turns the picture counter-clockwise by angle hundredths of a degree. With
// LT_ROTATE_RESIZE the record grows to hold the whole turned picture, else it
// keeps its size and the corners are cut; uncovered pixels get fill.
#define LT_ROTATE_RESIZE 0x0001
int LtRotateBitmap(pLTBITMAP bitmap, int angle, UINT flags, COLORREF fill);
// New size; LT_RESIZE_SMOOTH (2) resamples (area average when shrinking,
// bilinear when growing), LT_RESIZE_NEAREST (0) repeats or drops pixels.
#define LT_RESIZE_NEAREST 0
#define LT_RESIZE_SMOOTH 2
int LtResizeBitmap(pLTBITMAP bitmap, int width, int height, int mode);
// Converts source into destination (the same record allowed) at
// bitsPerPixel (1, 4, 8, 16, 24 or 32). The low part of flags
// (LT_COLORRES_PALETTE_MASK) chooses the palette when going to 8 bits or
// fewer: LT_COLORRES_USER_PALETTE (0x10) the caller's palette (the engine's
// table; 2, 16 or 256 entries for the depth); else LT_COLORRES_OPTIMIZED or
// LT_COLORRES_OPTIMIZED2 (1 or 2) the picture's own colours, most used
// first, when they fit, else a median cut of its colours; else (0, fixed,
// or LT_COLORRES_NO_PALETTE, 4, which only means something for 16 and 24
// bits) a fixed one: black and white, the 16 VGA colours, or a 6 x 6 x 6
// cube with greys. Pixels take the nearest entry. The high part
// (LT_COLORRES_DITHER_MASK) dithers: LT_COLORRES_DITHER diffuses the error
// (Floyd-Steinberg), LT_COLORRES_ORDERED (0x70000) nudges each pixel by an
// 8 x 8 ordered matrix; any other nonzero value diffuses. Going deeper keeps
// every colour; alpha survives only at 32 bits.
#define LT_COLORRES_FIXED 0x00000
#define LT_COLORRES_OPTIMIZED 0x00001
#define LT_COLORRES_OPTIMIZED2 0x00002
#define LT_COLORRES_NO_PALETTE 0x00004
#define LT_COLORRES_USER_PALETTE 0x00010
#define LT_COLORRES_PALETTE_MASK 0x0FFFF
#define LT_COLORRES_DITHER 0x10000
#define LT_COLORRES_ORDERED 0x70000
#define LT_COLORRES_DITHER_MASK 0xF0000
int LtColorRes(pLTBITMAP destination, const LTBITMAP* source, int bitsPerPixel, UINT flags,
    const RGBQUAD* palette, int reserved1, int reserved2, int reserved3);
// Grey scale at 8 bits (a 256-level grey ramp, index = level), the only
// depth accepted.
int LtGrayScale(pLTBITMAP bitmap, int bitsPerPixel);
// Reads or replaces palette entries first..first+count-1 of a 1-, 4- or
// 8-bit record.
int LtGetPalette(const LTBITMAP* bitmap, int first, int count, RGBQUAD* colors);
int LtPutPalette(pLTBITMAP bitmap, int first, int count, const RGBQUAD* colors);
// Combines the source's rectangle at (xSrc, ySrc) into the destination's
// rectangle (x, y, width, height). LT_COMBINE_ADD adds channel by channel,
// saturating at 255. The destination keeps its depth.
#define LT_COMBINE_ADD 0x0300
int LtCombineBitmaps(pLTBITMAP destination, int x, int y, int width, int height, const LTBITMAP* source,
    int xSrc, int ySrc, UINT operation);
// Each pixel becomes the average of the size x size block centred on it.
int LtAverageFilter(pLTBITMAP bitmap, int size);
// Tiles of size x size pixels each take their average colour.
int LtMosaic(pLTBITMAP bitmap, int size);
// Brightness by change tenths of a percent (-1000..1000): each channel
// gains that share of 255 (+100 adds 26), held at 0 and 255.
int LtChangeBrightness(pLTBITMAP bitmap, int change);
// LT_FILTER_EMBOSS: the grey relief look of "Create an embossed version"
// (light from the upper left, flat areas mid grey); LT_FILTER_EDGE: edge
// detection (edges light on black). Other filters LT_ERR_BAD_PARAM.
#define LT_FILTER_EMBOSS 0
#define LT_FILTER_EDGE 16
int LtSpatialFilter(pLTBITMAP bitmap, int filter);
// TRUE for an 8-bit grey picture (a palette that is the grey ramp).
int LtKernel135(const LTBITMAP* bitmap);

// ---- Effect filters (Filters.cpp) ---------------------------------------------------
// The filters the picture effects re-apply from the unaltered picture, with
// the scales the effects pass: angles in hundredths of a degree (the hue's
// in degrees), percentages in tenths. Each works in place and answers
// LT_SUCCESS, LT_ERR_BAD_BITMAP for a record without pixels, or
// LT_ERR_BAD_PARAM for a value outside its range (the picture unchanged).
// Tone and colour changes (gamma, posterize, invert, contrast, hue,
// saturation) change a palette record's palette alone and keep every depth;
// the others give palette records back at 24 bits and keep 16, 24 and 32
// bits (with alpha). Results never depend on how many cores a filter splits
// its rows over.

// Levels raised to the power 100 / gamma (1..100000): 100 changes nothing,
// 200 lightens the mid-tones; black and white stay.
int LtGammaCorrect(pLTBITMAP bitmap, int gamma);
// Clustered-dot halftone screen turned by angle (any; whole turns repeat): each pixel
// black or white by its grey level against a round-dot spot function.
// LT_HALFTONE_PRINT uses 8-pixel cells, LT_HALFTONE_VIEW 4-pixel ones.
#define LT_HALFTONE_PRINT 0
#define LT_HALFTONE_VIEW 1
int LtHalftone(pLTBITMAP bitmap, int type, int angle);
// Levels per channel (2..64), evenly spaced from 0 to 255; each level goes
// to the nearest.
int LtPosterize(pLTBITMAP bitmap, int levels);
// Each pixel the per-channel median of the size x size block around it
// (1..64; edges repeat the outer pixels).
int LtMedianFilter(pLTBITMAP bitmap, int size);
// Every colour to its negative (palette pictures: the palette).
int LtInvert(pLTBITMAP bitmap);
// Noise of up to amount (0..1000) tenths of a percent of 255 either way;
// channel 0 moves a pixel's three channels alike, 1 red, 2 green, 3 blue
// only. The offsets depend on the pixel's place alone, so the same picture
// and values always give the same pixels.
int LtAddNoise(pLTBITMAP bitmap, int amount, int channel);
// Grey relief on mid-grey lit from direction 0..7 (the compass N, NE, E,
// SE, S, SW, W, NW the light comes from), with depth (0..10000) in tenths:
// 10 shows the slope of the grey levels as it is, 0 gives flat grey.
int LtEmboss(pLTBITMAP bitmap, int direction, int depth);
// Unsharp masking: each channel moves away from the 3 x 3 average around
// it by amount (-1000..10000) tenths of a percent of the difference;
// negative amounts soften.
int LtSharpen(pLTBITMAP bitmap, int amount);
// Hue turned by angle degrees (any; whole turns repeat) in HSL; greys stay. Saturation
// scaled by change (-1000..1000) tenths of a percent: -1000 gives greys of
// the same lightness, +1000 doubles it, held at full.
int LtChangeHue(pLTBITMAP bitmap, int angle);
int LtChangeSaturation(pLTBITMAP bitmap, int change);
// Contrast about mid-grey: distances from 127.5 scaled by 1 + change / 1000
// (-1000..1000; -1000 makes every channel mid-grey, +1000 doubles them).
int LtChangeContrast(pLTBITMAP bitmap, int change);
// Shears clockwise by angle (-8999..8999) hundredths of a degree,
// horizontally (direction 1: rows slide, the top row furthest right for a
// positive angle) or vertically (0: columns slide, the right column
// furthest down for a positive angle); the record grows to hold the
// result, uncovered pixels get fill. Slid pixels are interpolated between
// their two neighbours.
int LtShearBitmap(pLTBITMAP bitmap, int angle, int direction, COLORREF fill);

// ---- Painting (Paint.cpp) --------------------------------------------------------------
// Draws the source rectangle of the bitmap (pixels, rows from the top;
// null: the whole picture; a part outside the picture draws nothing) into
// the destination rectangle of dc (device units; an inverted rectangle
// covers the pixels of its normalised form, mirrored), with the raster
// operation, clipped to clip (device units; null: no clip besides the DC's
// own). Shrinking averages areas, growing interpolates linearly; only
// destination pixels inside the clip are computed. On a DC of 256 colours or
// fewer pixels take the nearest colour of its table, or, with
// LT_DISPLAY_DITHER set, an ordered dither tied to the device position (so
// a partial repaint matches). A 32-bit record's alpha is honoured: SRCCOPY
// blends it over what is there, other operations show their result by it.
// A printer page gets the source rectangle as an image at its own
// resolution, smoothed by the page; raster operations that read the source
// draw it as it is there (a page has nothing to combine with). The second
// rectangle is reserved.
int LtPaintDC(HDC dc, const LTBITMAP* bitmap, const RECT* source, const RECT* reserved, const RECT* destination,
    const RECT* clip, DWORD rop);
// Makes the record from a device bitmap (its pixels at 24 bits, or 32 when
// the bitmap is 32 bits with any alpha other than 0). palette and useDC
// matter only on DCs of 256 colours or fewer: with useDC the DC's
// realised palette maps the indexes, else palette does. (Our device bitmaps
// hold colours at every depth, so neither changes a pixel.)
int LtConvertFromDDB(HDC dc, pLTBITMAP bitmap, HBITMAP hBitmap, HPALETTE palette, BOOL useDC);
// A palette for painting the bitmap on dc: its own colours for 8 bits or
// fewer, a 6 x 6 x 6 cube with greys for deeper pictures. NULL on DCs of
// more than 256 colours (no palette is needed there).
HPALETTE LtCreatePaintPalette(HDC dc, const LTBITMAP* bitmap);
// The library's display mode bits: sets the bits of mask to value and
// answers the previous mode.
#define LT_DISPLAY_DITHER 0x0008 // dither colour pictures onto 256-colour DCs
UINT LtSetDisplayMode(UINT mask, UINT value);

namespace platform {

// A packed DIB (header, colours, bits) read from bytes, every part checked
// against size; used by LtTakeOverDIB and for DIBs from outside.
int CopyFromPackedDib(LTBITMAP& bitmap, const BYTE* data, size_t size);

} // namespace platform
