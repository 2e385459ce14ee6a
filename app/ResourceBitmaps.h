#pragma once
// Bitmap resources loaded with their palettes, so that pictures keep their
// colours on a palette screen.

#include "platform/base/Types.h"

struct BITMAPINFOHEADER;
class CBitmap;
class CPalette;

// A logical palette of the DIB's colour table for 1 to 8 bits per pixel
// (*pnColors entries: biClrUsed when the table is that short, else 2 to the
// bit count); NULL and 0 for deeper DIBs. The colour table must follow the
// header in memory.
HPALETTE CreateDIBPalette(const BITMAPINFOHEADER* pHeader, int* pnColors);

// Where the application's palette comes from: the application object
// installs its source at start; without one there is no application
// palette. It exists only on screens of 256 colours or fewer.
using AppPaletteSource = CPalette* (*)();
void SetAppPaletteSource(AppPaletteSource pfnSource);
CPalette* GetAppPaletteForDrawing();

// Replaces the bitmap's object by bitmap resource nID of hModule (the
// resource module when NULL), loaded with pPalette (the application's
// palette when NULL) realised on the screen.
BOOL LoadBitmapWithPalette(CBitmap& bitmap, UINT nID, CPalette* pPalette = nullptr, HINSTANCE hModule = NULL);

// Bitmap resource nID as a device bitmap made with its own palette, which
// is handed to palette (its old object deleted). NULL when the resource is
// missing or malformed.
HBITMAP LoadDIBResource(HMODULE hModule, UINT nID, CPalette& palette);

// With a module and a screen of at least 256 colours, LoadDIBResource (the
// palette kept in *pPalette when given); otherwise the application's own
// bitmap resource.
HBITMAP LoadResourceBitmap(HMODULE hModule, UINT nID, CPalette* pPalette);

// Replaces *pBitmap's bitmap by LoadResourceBitmap; FALSE when loading failed.
BOOL LoadBitmapObject(HMODULE hModule, UINT nID, CBitmap* pBitmap, CPalette* pPalette);
