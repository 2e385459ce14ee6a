#pragma once
// The GDI records the program fills and reads, with the member types and
// order Windows declares, and the constants that go with their fields.
//
// Records that stored formats carry (LOGFONT, the bitmap headers, palette
// entries, the TrueType outline records) have their Windows sizes, checked
// below. Records holding a pointer or a pointer-sized member (BITMAP,
// LOGBRUSH, METAFILEPICT, OUTLINETEXTMETRIC) are larger on this 64-bit
// system; whoever stores one writes it field by field.

#include "platform/base/Types.h"

// ---- Fonts --------------------------------------------------------------

#define LF_FACESIZE 32
#define LF_FULLFACESIZE 64

struct LOGFONTA {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    // At most 31 characters and a zero.
    CHAR lfFaceName[LF_FACESIZE];
};
typedef LOGFONTA LOGFONT;
typedef LOGFONT* LPLOGFONT;
typedef LOGFONT* PLOGFONT;
typedef LOGFONTA* LPLOGFONTA;
static_assert(sizeof(LOGFONT) == 60);

#define FW_DONTCARE 0
#define FW_THIN 100
#define FW_EXTRALIGHT 200
#define FW_ULTRALIGHT 200
#define FW_LIGHT 300
#define FW_NORMAL 400
#define FW_REGULAR 400
#define FW_MEDIUM 500
#define FW_SEMIBOLD 600
#define FW_DEMIBOLD 600
#define FW_BOLD 700
#define FW_EXTRABOLD 800
#define FW_ULTRABOLD 800
#define FW_HEAVY 900
#define FW_BLACK 900

#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define SYMBOL_CHARSET 2
#define MAC_CHARSET 77
#define SHIFTJIS_CHARSET 128
#define HANGEUL_CHARSET 129
#define HANGUL_CHARSET 129
#define JOHAB_CHARSET 130
#define GB2312_CHARSET 134
#define CHINESEBIG5_CHARSET 136
#define GREEK_CHARSET 161
#define TURKISH_CHARSET 162
#define VIETNAMESE_CHARSET 163
#define HEBREW_CHARSET 177
#define ARABIC_CHARSET 178
#define BALTIC_CHARSET 186
#define RUSSIAN_CHARSET 204
#define THAI_CHARSET 222
#define EASTEUROPE_CHARSET 238
#define OEM_CHARSET 255

#define OUT_DEFAULT_PRECIS 0
#define OUT_STRING_PRECIS 1
#define OUT_CHARACTER_PRECIS 2
#define OUT_STROKE_PRECIS 3
#define OUT_TT_PRECIS 4
#define FR_PRIVATE 0x10
#define FR_NOT_ENUM 0x20
#define OUT_DEVICE_PRECIS 5
#define OUT_RASTER_PRECIS 6
#define OUT_TT_ONLY_PRECIS 7
#define OUT_OUTLINE_PRECIS 8

#define CLIP_DEFAULT_PRECIS 0
#define CLIP_CHARACTER_PRECIS 1
#define CLIP_STROKE_PRECIS 2
#define CLIP_MASK 0x0F
#define CLIP_LH_ANGLES 0x10
#define CLIP_TT_ALWAYS 0x20
#define CLIP_EMBEDDED 0x80

#define DEFAULT_QUALITY 0
#define DRAFT_QUALITY 1
#define PROOF_QUALITY 2
#define NONANTIALIASED_QUALITY 3
#define ANTIALIASED_QUALITY 4

// lfPitchAndFamily: the pitch in the low two bits, the family in the high four.
#define DEFAULT_PITCH 0
#define FIXED_PITCH 1
#define VARIABLE_PITCH 2
#define FF_DONTCARE 0x00
#define FF_ROMAN 0x10
#define FF_SWISS 0x20
#define FF_MODERN 0x30
#define FF_SCRIPT 0x40
#define FF_DECORATIVE 0x50

struct TEXTMETRICA {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    BYTE tmFirstChar;
    BYTE tmLastChar;
    BYTE tmDefaultChar;
    BYTE tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
};
typedef TEXTMETRICA TEXTMETRIC;
typedef TEXTMETRIC* LPTEXTMETRIC;
typedef TEXTMETRIC* PTEXTMETRIC;
static_assert(sizeof(TEXTMETRIC) == 56);

// tmPitchAndFamily bits. The "fixed pitch" bit is set for a variable-pitch
// font, as Windows has always had it.
#define TMPF_FIXED_PITCH 0x01
#define TMPF_VECTOR 0x02
#define TMPF_TRUETYPE 0x04
#define TMPF_DEVICE 0x08

struct NEWTEXTMETRICA {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    BYTE tmFirstChar;
    BYTE tmLastChar;
    BYTE tmDefaultChar;
    BYTE tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
    DWORD ntmFlags;
    UINT ntmSizeEM;
    UINT ntmCellHeight;
    UINT ntmAvgWidth;
};
typedef NEWTEXTMETRICA NEWTEXTMETRIC;
typedef NEWTEXTMETRIC* LPNEWTEXTMETRIC;
static_assert(sizeof(NEWTEXTMETRIC) == 72);

#define NTM_ITALIC 0x00000001
#define NTM_BOLD 0x00000020
#define NTM_REGULAR 0x00000040

// The font types font enumeration reports.
#define RASTER_FONTTYPE 0x0001
#define DEVICE_FONTTYPE 0x0002
#define TRUETYPE_FONTTYPE 0x0004

struct PANOSE {
    BYTE bFamilyType;
    BYTE bSerifStyle;
    BYTE bWeight;
    BYTE bProportion;
    BYTE bContrast;
    BYTE bStrokeVariation;
    BYTE bArmStyle;
    BYTE bLetterform;
    BYTE bMidline;
    BYTE bXHeight;
};
static_assert(sizeof(PANOSE) == 10);

// The four name members are byte offsets from the start of the record to
// strings that follow it in the same buffer, stored in pointer members.
struct OUTLINETEXTMETRICA {
    UINT otmSize;
    TEXTMETRICA otmTextMetrics;
    BYTE otmFiller;
    PANOSE otmPanoseNumber;
    UINT otmfsSelection;
    UINT otmfsType;
    int otmsCharSlopeRise;
    int otmsCharSlopeRun;
    int otmItalicAngle;
    UINT otmEMSquare;
    int otmAscent;
    int otmDescent;
    UINT otmLineGap;
    UINT otmsCapEmHeight;
    UINT otmsXHeight;
    RECT otmrcFontBox;
    int otmMacAscent;
    int otmMacDescent;
    UINT otmMacLineGap;
    UINT otmusMinimumPPEM;
    POINT otmptSubscriptSize;
    POINT otmptSubscriptOffset;
    POINT otmptSuperscriptSize;
    POINT otmptSuperscriptOffset;
    UINT otmsStrikeoutSize;
    int otmsStrikeoutPosition;
    int otmsUnderscoreSize;
    int otmsUnderscorePosition;
    LPSTR otmpFamilyName;
    LPSTR otmpFaceName;
    LPSTR otmpStyleName;
    LPSTR otmpFullName;
};
typedef OUTLINETEXTMETRICA OUTLINETEXTMETRIC;
typedef OUTLINETEXTMETRIC* LPOUTLINETEXTMETRIC;

struct ABC {
    int abcA;
    UINT abcB;
    int abcC;
};
typedef ABC* LPABC;
static_assert(sizeof(ABC) == 12);

// ---- Glyph outlines -------------------------------------------------------

// A 16.16 fixed-point number: the fraction in the low word.
struct FIXED {
    WORD fract;
    SHORT value;
};
static_assert(sizeof(FIXED) == 4);

struct MAT2 {
    FIXED eM11;
    FIXED eM12;
    FIXED eM21;
    FIXED eM22;
};
typedef MAT2* LPMAT2;

struct POINTFX {
    FIXED x;
    FIXED y;
};
typedef POINTFX* LPPOINTFX;

struct GLYPHMETRICS {
    UINT gmBlackBoxX;
    UINT gmBlackBoxY;
    POINT gmptGlyphOrigin;
    SHORT gmCellIncX;
    SHORT gmCellIncY;
};
typedef GLYPHMETRICS* LPGLYPHMETRICS;
static_assert(sizeof(GLYPHMETRICS) == 20);

// An outline buffer is a sequence of polygons, each a header of cb bytes
// (itself included) followed by curves of cpfx points each.
struct TTPOLYGONHEADER {
    DWORD cb;
    DWORD dwType;
    POINTFX pfxStart;
};
typedef TTPOLYGONHEADER* LPTTPOLYGONHEADER;
static_assert(sizeof(TTPOLYGONHEADER) == 16);

struct TTPOLYCURVE {
    WORD wType;
    WORD cpfx;
    POINTFX apfx[1];
};
typedef TTPOLYCURVE* LPTTPOLYCURVE;
static_assert(sizeof(TTPOLYCURVE) == 12);

#define TT_POLYGON_TYPE 24
#define TT_PRIM_LINE 1
#define TT_PRIM_QSPLINE 2
#define TT_PRIM_CSPLINE 3

#define GGO_METRICS 0
#define GGO_BITMAP 1
#define GGO_NATIVE 2
#define GGO_BEZIER 3
#define GGO_GRAY2_BITMAP 4
#define GGO_GRAY4_BITMAP 5
#define GGO_GRAY8_BITMAP 6
#define GGO_GLYPH_INDEX 0x0080
#define GGO_UNHINTED 0x0100
#define GDI_ERROR 0xFFFFFFFFu

// ---- Pens, brushes, palettes ----------------------------------------------

struct LOGPEN {
    UINT lopnStyle;
    POINT lopnWidth; // only x is used
    COLORREF lopnColor;
};
typedef LOGPEN* LPLOGPEN;
static_assert(sizeof(LOGPEN) == 16);

#define PS_SOLID 0
#define PS_DASH 1
#define PS_DOT 2
#define PS_DASHDOT 3
#define PS_DASHDOTDOT 4
#define PS_NULL 5
#define PS_INSIDEFRAME 6

// 12 bytes on 32-bit Windows; 16 here, lbHatch being pointer-sized.
struct LOGBRUSH {
    UINT lbStyle;
    COLORREF lbColor;
    ULONG_PTR lbHatch;
};
typedef LOGBRUSH* LPLOGBRUSH;
static_assert(sizeof(LOGBRUSH) == 8 + sizeof(ULONG_PTR));

#define BS_SOLID 0
#define BS_NULL 1
#define BS_HOLLOW BS_NULL
#define BS_HATCHED 2
#define BS_PATTERN 3
#define BS_DIBPATTERN 5

#define HS_HORIZONTAL 0
#define HS_VERTICAL 1
#define HS_FDIAGONAL 2
#define HS_BDIAGONAL 3
#define HS_CROSS 4
#define HS_DIAGCROSS 5

struct PALETTEENTRY {
    BYTE peRed;
    BYTE peGreen;
    BYTE peBlue;
    BYTE peFlags;
};
typedef PALETTEENTRY* LPPALETTEENTRY;
static_assert(sizeof(PALETTEENTRY) == 4);

#define PC_RESERVED 0x01
#define PC_EXPLICIT 0x02
#define PC_NOCOLLAPSE 0x04

// Allocated with room for palNumEntries entries; palVersion is 0x300.
struct LOGPALETTE {
    WORD palVersion;
    WORD palNumEntries;
    PALETTEENTRY palPalEntry[1];
};
typedef LOGPALETTE* LPLOGPALETTE;
static_assert(sizeof(LOGPALETTE) == 8);

#define PALVERSION 0x300

// ---- Bitmaps ----------------------------------------------------------------

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};
typedef RGBQUAD* LPRGBQUAD;
static_assert(sizeof(RGBQUAD) == 4);

struct RGBTRIPLE {
    BYTE rgbtBlue;
    BYTE rgbtGreen;
    BYTE rgbtRed;
};
static_assert(sizeof(RGBTRIPLE) == 3);

// 32 bytes here (24 on 32-bit Windows), bmBits being a pointer.
struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
};
typedef BITMAP* LPBITMAP;
typedef BITMAP* PBITMAP;

#pragma pack(push, 2)
struct BITMAPFILEHEADER {
    WORD bfType; // "BM", 0x4D42
    DWORD bfSize;
    WORD bfReserved1;
    WORD bfReserved2;
    DWORD bfOffBits;
};
#pragma pack(pop)
typedef BITMAPFILEHEADER* LPBITMAPFILEHEADER;
typedef BITMAPFILEHEADER* PBITMAPFILEHEADER;
static_assert(sizeof(BITMAPFILEHEADER) == 14);

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight; // positive: rows from the bottom up
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
typedef BITMAPINFOHEADER* LPBITMAPINFOHEADER;
typedef BITMAPINFOHEADER* PBITMAPINFOHEADER;
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct BITMAPCOREHEADER {
    DWORD bcSize;
    WORD bcWidth;
    WORD bcHeight;
    WORD bcPlanes;
    WORD bcBitCount;
};
typedef BITMAPCOREHEADER* LPBITMAPCOREHEADER;
typedef BITMAPCOREHEADER* PBITMAPCOREHEADER;
static_assert(sizeof(BITMAPCOREHEADER) == 12);

// Allocated with room for the colour table that follows the header.
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};
typedef BITMAPINFO* LPBITMAPINFO;
typedef BITMAPINFO* PBITMAPINFO;
static_assert(sizeof(BITMAPINFO) == 44);

struct BITMAPCOREINFO {
    BITMAPCOREHEADER bmciHeader;
    RGBTRIPLE bmciColors[1];
};
typedef BITMAPCOREINFO* LPBITMAPCOREINFO;
static_assert(sizeof(BITMAPCOREINFO) == 16);

#define BI_RGB 0L
#define BI_RLE8 1L
#define BI_RLE4 2L
#define BI_BITFIELDS 3L

namespace platform {

// The header of an uncompressed DIB whose rows run from the top down (a
// negative height), the order the pixel code of the program works in.
inline BITMAPINFOHEADER TopDownDibHeader(LONG width, LONG height, WORD bitCount)
{
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = -height;
    header.biPlanes = 1;
    header.biBitCount = bitCount;
    header.biCompression = BI_RGB;
    return header;
}

} // namespace platform
#define BI_JPEG 4L
#define BI_PNG 5L

// ---- Mapping modes and metafiles --------------------------------------------

#define MM_TEXT 1
#define MM_LOMETRIC 2
#define MM_HIMETRIC 3
#define MM_LOENGLISH 4
#define MM_HIENGLISH 5
#define MM_TWIPS 6
#define MM_ISOTROPIC 7
#define MM_ANISOTROPIC 8

// A metafile with the mapping mode and extent to play it at; it travels in an
// HGLOBAL (clipboard CF_METAFILEPICT).
struct METAFILEPICT {
    LONG mm;
    LONG xExt;
    LONG yExt;
    HMETAFILE hMF;
};
typedef METAFILEPICT* LPMETAFILEPICT;

// The first record of an enhanced metafile, in the form with the pixel-format
// and OpenGL fields (100 bytes).
struct ENHMETAHEADER {
    DWORD iType; // EMR_HEADER
    DWORD nSize;
    RECTL rclBounds;
    RECTL rclFrame; // in 0.01 mm
    DWORD dSignature; // ENHMETA_SIGNATURE
    DWORD nVersion;
    DWORD nBytes;
    DWORD nRecords;
    WORD nHandles;
    WORD sReserved;
    DWORD nDescription;
    DWORD offDescription;
    DWORD nPalEntries;
    SIZEL szlDevice;
    SIZEL szlMillimeters;
    DWORD cbPixelFormat;
    DWORD offPixelFormat;
    DWORD bOpenGL;
};
typedef ENHMETAHEADER* LPENHMETAHEADER;
static_assert(sizeof(ENHMETAHEADER) == 100);

#define EMR_HEADER 1
#define ENHMETA_SIGNATURE 0x464D4520
