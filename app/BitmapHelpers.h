#pragma once
// Copying, stretching and tiling bitmaps, drawing them into a rectangle, and
// palettes from the program's resources.

#include "platform/base/Geometry.h"

class CBitmap;
class CDC;
class CPalette;

CSize GetBitmapSize(CBitmap* pBitmap);

// Makes target a bitmap of source's size and format holding the same bits
// (its old object deleted first). FALSE when the source cannot be read or
// the copy cannot be made.
BOOL CopyBitmap(CBitmap& target, CBitmap& source);

// A new bitmap of the source's format, nWidth x nHeight, holding the source
// stretched into it (StretchBlt, SRCCOPY); NULL on failure. The caller owns it.
HBITMAP StretchBitmap(CBitmap* pSource, int nWidth, int nHeight);

// A new bitmap holding part of the source; the part's place and size are
// fractions of the source's size (0.5 is half). NULL on failure.
HBITMAP CopyBitmapPart(CBitmap* pSource, double left, double top, double width, double height);

// Fills pRect (the DC clipped to it) or, without one, the DC's clip box with
// copies of the bitmap. The first tile starts at pOrigin (default: the
// area's top-left) moved back by the scroll position of the window being
// painted, modulo the bitmap's size, so that the tiles stay in place while
// the window scrolls; pScroll is NULL for a DC of no scrolled window.
void TileBitmap(const SIZE* pScroll, CDC* pDC, CBitmap* pBitmap, const POINT* pOrigin, const RECT* pRect);

// The whole bitmap stretched into the rectangle (SRCCOPY).
BOOL DrawBitmapStretched(CDC* pDC, CBitmap* pBitmap, const RECT* pRect);
// The bitmap unscaled at the rectangle's top-left (SRCCOPY).
BOOL DrawBitmap(CDC* pDC, CBitmap* pBitmap, const RECT* pRect);

// The palette of PALETTE resource nID (a LOGPALETTE: version, count and up
// to 256 entries) or, with bFromBitmap, of the support module's bitmap
// resource nID (its colour table, biClrUsed entries when given). FALSE when
// the resource is missing, malformed or has no colours.
BOOL LoadPaletteResource(UINT nID, CPalette& palette, BOOL bFromBitmap);
