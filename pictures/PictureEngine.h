#pragma once
// The picture engine: every raster picture of the running program lives in
// one process-wide table behind a small positive number, the picture
// handle. Pictures are loaded, created, duplicated, changed, painted,
// saved, exported and scanned through these free functions; CImage holds
// the handles. The engine is the only caller of the imaging library.
// User-interface thread only.
//
// Results: a handle is 1 or more. A code is 0 for success or a negative
// engine code (an imaging-library result of 1 becomes 0; its other results
// are passed on): -24 an unknown handle, -10 file not found, -5 no scanner
// could be selected, -4 nothing was acquired, -3 out of memory; the rest are
// the imaging library's own LT_ERR_ codes. A creation that fails frees and
// removes its table entry.

#include "platform/base/Geometry.h"
#include "platform/base/String.h"
#include "platform/base/Types.h"

class CDC;
class CPalette;
struct BITMAPINFO;
struct LTBITMAP;

// Engine codes of its own besides the imaging library's.
constexpr int kPicErrNoMemory = -3;
constexpr int kPicErrNothingAcquired = -4;
constexpr int kPicErrNoScanner = -5;
constexpr int kPicErrNotFound = -10;
constexpr int kPicErrBadHandle = -24;

// The values the engine never hands out (CImage's markers).
constexpr int kPicNeverHandle1 = 33982;
constexpr int kPicNeverHandle2 = 33983;

// ---- Creating handles -------------------------------------------------------------
// The smallest number from 1 up that is neither in the table nor a marker.
int NextPicHandle();
// Loads a picture file (Windows-form path). *pnFileBits gets the file's
// bits per pixel. A missing file gives -10.
int LoadPic(LPCTSTR lpszPath, int nLoadMode, int* pnFileBits);
// Loads a picture file image held in memory.
int LoadPicFromMemory(const void* pData, DWORD nSize, int nLoadMode);
int CreatePicFromMemory(const void* pData, DWORD nSize, int nLoadMode);
// From a packed DIB: copied (the block stays the caller's), or taken over
// (the block is the engine's and hDib is set to NULL, also on failure).
int CreatePicFromDIB(HGLOBAL& hDib, BOOL bCopy);
// From a device bitmap with its palette (bConvert: through the screen DC's
// realised palette instead).
int CreatePicFromDDB(HBITMAP hBitmap, HPALETTE hPalette, BOOL bConvert, int nLoadMode);
// Lets the user pick a scanner and scans one page: the handle, -5 when no
// scanner was selected, -4 when nothing came.
int AcquirePic(int nLoadMode);
// A copy with the same load mode and transparency.
int DuplicatePic(int nHandle);
// On screens of 8 bits or fewer, reduces a picture deeper than 1 bit to the
// screen's depth (to the application palette at exactly 8 bits).
int MatchPicToScreen(int nHandle);

// ---- Freeing and queries --------------------------------------------------------------
int ReleasePicHandle(int nHandle);
// Unknown handle: 1 x 1 at 1 bit; an empty bitmap reports 500 x 500.
void GetPicSize(int nHandle, int* pnWidth, int* pnHeight, int* pnBitsPerPixel);
BOOL IsPicMonochrome(int nHandle);
BOOL IsPicFileMonochrome(LPCTSTR lpszPath);
// 1 and the bitmap behind the handle, or 0 and null.
int GetPicBitmap(int nHandle, LTBITMAP** ppBitmap);
int SetPicTransparency(int nHandle, BOOL bOn, const COLORREF* pColor);
int GetPicTransparency(int nHandle, BOOL* pbOn, COLORREF* pColor);
// Bits per pixel times planes of the screen.
int GetScreenColorDepth();
// Dither pictures painted onto screens of 256 colours or fewer.
void SetPicDisplayFlag(BOOL bOn);
// The number of pictures in the table (for tests and diagnostics).
int GetPicCount();

// ---- Bitmap operations (each a code) ---------------------------------------------------
int ReversePic(int nHandle);
int FlipPic(int nHandle);
int RotatePic(int nHandle, int nDegrees, COLORREF crFill);
int ResizePic(int nHandle, int nWidth, int nHeight);
void SetPicColorRes(LTBITMAP* pBitmap, int nBits, UINT nFlags);
// Answers the imaging library's result itself (1 is success).
int QuickEffectPic(int nHandle, int nCode);
BOOL GrayScalePic(int nHandle, int nBits);
BOOL EdgeEnhancePic(int nHandle);
// Each colour's grey level carries it from the tint colour (black) to white;
// an amount below 100 % lightens it towards white. Pictures of 16 and 24
// bits are reduced to 8 bits first and their palette tinted; 32-bit ones
// are tinted pixel by pixel, so that they keep their alpha.
int TintPic(int nHandle, COLORREF crTint, int nAmount);

// ---- Painting ------------------------------------------------------------------------
// LPtoDP of the two corners, normalised.
CRect LogicalToDeviceRect(CDC* pDC, const CRect& rect);
int RealizePicPalette(int nHandle, CDC* pDC);
int RestorePicPalette(int nHandle, CDC* pDC);
// Paints the source rectangle (picture pixels) into the destination
// (device units; inverted mirrors) clipped to rectClip (device units; empty:
// no clip of its own). Nothing for an all-zero destination. Smaller than
// its size: area averaged; larger: through the DIB cache, smoothed (pictures
// over a megapixel, and 32-bit ones, are smoothed by the library's painting,
// which computes only the pixels inside the clip). A transparent colour
// leaves the destination as it was, at any size. With
// bThroughMemory (and always on a printing DC) the printing variant: the
// raster goes into the page at its own resolution and a transparent picture
// becomes an alpha mask (AlphaBlend), so paper shows through.
int PaintPic(int nHandle, CDC* pDC, const CRect& rectSource, const CRect& rectDest, const CRect& rectClip,
    DWORD dwRop = 0x00CC0020 /* SRCCOPY */, BOOL bThroughMemory = FALSE);
// Draws a DIB leaving the destination untouched where a pixel has the
// transparent colour: palette DIBs (1, 4, 8 bits) by their real colour
// count, 16-, 24- and 32-bit DIBs by a mask built from the pixels. It
// stretches by nearest pixel, so that the mask and the picture meet
// exactly. Returns 1 (0 for a missing DC, DIB or header).
int DrawTransparentDIB(CDC* pDC, int xDest, int yDest, int cxDest, int cyDest, int xSrc, int ySrc, int cxSrc,
    int cySrc, const void* pBits, const BITMAPINFO* pInfo, COLORREF crTransparent);
// A device bitmap of the picture for the DC (the caller deletes it); with a
// palette object, the painting palette is attached to it and realised.
HBITMAP CreatePicDDB(CDC* pDC, int nHandle, CPalette* pPalette);

// ---- Saving ---------------------------------------------------------------------------
// The format a picture is saved in: PNG for pictures of 8 bits or fewer,
// with a transparent colour or with alpha, and with bEightBit; else JPEG at
// 24 bits, quality factor 10.
void ChooseSaveFormat(const LTBITMAP& bitmap, BOOL bTransparent, int* pnBits, int* pnQuality, BOOL bEightBit,
    int* pnFormat);
BOOL SavePicToMemory(int nHandle, HGLOBAL* phMemory, DWORD* pnSize, BOOL bEightBit);
// The file is replaced only when the new one is complete; a failure leaves
// an existing file byte for byte.
int SavePicToFile(int nHandle, LPCTSTR lpszPath, BOOL bEightBit);
// Format by the path's last three letters; a failure leaves an existing file
// byte for byte and shows string 277.
int ExportPic(int nHandle, LPCTSTR lpszPath, BOOL bUseDefault, BOOL bSetTransparent, COLORREF crTransparent);

// ---- Messages -------------------------------------------------------------------------
// Strings 513..536 for -1..-24; an empty one, or any other code, formats
// string 120 with the code's absolute value.
void GetPicErrorText(int nCode, CString& strText);
