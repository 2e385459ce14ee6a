#pragma once
// The Win32 drawing API: device contexts, mapping, objects, regions, shapes,
// bitmaps and DIBs, palettes, icons, fonts and text, metafiles and printing.
//
// Handles are table ids (index and generation): a stale or forged handle is
// refused the Win32 way (FALSE, NULL, 0, ERROR or CLR_INVALID) and sets the
// last error to ERROR_INVALID_HANDLE. Coordinates are logical units of the
// DC's mapping unless a call says otherwise; rectangles exclude their right
// and bottom edges, lines their end point.

#include "platform/base/LineDda.h"
#include "platform/gdi/GdiDefs.h"

// ---- Device contexts ----------------------------------------------------------

// A memory DC with a 1x1 monochrome bitmap selected, compatible with hdc (its
// resolution and depth) or with the screen for NULL.
HDC CreateCompatibleDC(HDC hdc);
// A printer DC when lpszDriver/lpszDevice name a printer ("DISPLAY" gives a
// screen DC); lpInitData may be NULL for the printer's defaults.
HDC CreateDC(LPCSTR lpszDriver, LPCSTR lpszDevice, LPCSTR lpszOutput, const DEVMODE* lpInitData);
// An information context: a DC for queries only (drawing on it does nothing).
HDC CreateIC(LPCSTR lpszDriver, LPCSTR lpszDevice, LPCSTR lpszOutput, const DEVMODE* lpInitData);
// For DCs made by CreateCompatibleDC, CreateDC and CreateIC; the objects
// selected into it are not deleted.
BOOL DeleteDC(HDC hdc);
// The client area of a window (the whole screen for NULL); GetWindowDC the
// whole window. Each is given back with ReleaseDC.
HDC GetDC(HWND hWnd);
HDC GetWindowDC(HWND hWnd);
int ReleaseDC(HWND hWnd, HDC hDC);
HWND WindowFromDC(HDC hDC);

// A positive id for the saved state, 0 on failure. RestoreDC takes an id
// (that state and every later one are dropped) or a negative count back from
// the newest state.
int SaveDC(HDC hdc);
BOOL RestoreDC(HDC hdc, int nSavedDC);
int GetDeviceCaps(HDC hdc, int index);

// ---- Attributes -------------------------------------------------------------------

COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF GetTextColor(HDC hdc);
COLORREF SetBkColor(HDC hdc, COLORREF color);
COLORREF GetBkColor(HDC hdc);
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);
int SetROP2(HDC hdc, int rop2);
int GetROP2(HDC hdc);
int SetPolyFillMode(HDC hdc, int mode);
int GetPolyFillMode(HDC hdc);
int SetStretchBltMode(HDC hdc, int mode);
int GetStretchBltMode(HDC hdc);
UINT SetTextAlign(HDC hdc, UINT align);
UINT GetTextAlign(HDC hdc);
int SetTextCharacterExtra(HDC hdc, int extra);
int GetTextCharacterExtra(HDC hdc);
// The brush origin is in device units; pattern brushes repeat every 8 pixels.
BOOL SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT lppt);
BOOL GetBrushOrgEx(HDC hdc, LPPOINT lppt);
BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT lppt);
BOOL GetCurrentPositionEx(HDC hdc, LPPOINT lppt);

// ---- Mapping ------------------------------------------------------------------------

int SetMapMode(HDC hdc, int mode);
int GetMapMode(HDC hdc);
BOOL SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt);
BOOL GetWindowOrgEx(HDC hdc, LPPOINT lppt);
BOOL OffsetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt);
BOOL SetWindowExtEx(HDC hdc, int x, int y, LPSIZE lpsz);
BOOL GetWindowExtEx(HDC hdc, LPSIZE lpsz);
BOOL ScaleWindowExtEx(HDC hdc, int xn, int xd, int yn, int yd, LPSIZE lpsz);
BOOL SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt);
BOOL GetViewportOrgEx(HDC hdc, LPPOINT lppt);
BOOL OffsetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt);
BOOL SetViewportExtEx(HDC hdc, int x, int y, LPSIZE lpsz);
BOOL GetViewportExtEx(HDC hdc, LPSIZE lpsz);
BOOL ScaleViewportExtEx(HDC hdc, int xn, int xd, int yn, int yd, LPSIZE lpsz);
BOOL LPtoDP(HDC hdc, LPPOINT lppt, int c);
BOOL DPtoLP(HDC hdc, LPPOINT lppt, int c);

// ---- Objects ---------------------------------------------------------------------------

// The previously selected object of that kind; for a region, the region
// complexity (SelectClipRgn with a copy); NULL / HGDI_ERROR on failure.
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h);
// FALSE for a bad handle or an object selected into a DC (which stays
// alive); TRUE and nothing done for a stock object.
BOOL DeleteObject(HGDIOBJ ho);
HGDIOBJ GetStockObject(int i);
// Copies the object's record (LOGPEN, LOGBRUSH, LOGFONT, BITMAP, a palette's
// entry count as a WORD) into the buffer; with NULL, the size needed.
int GetObject(HANDLE h, int c, LPVOID pv);
DWORD GetObjectType(HGDIOBJ h);
HGDIOBJ GetCurrentObject(HDC hdc, UINT type);
BOOL UnrealizeObject(HGDIOBJ h);

HPEN CreatePen(int iStyle, int cWidth, COLORREF color);
HPEN CreatePenIndirect(const LOGPEN* plpen);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateHatchBrush(int iHatch, COLORREF color);
// The brush keeps its own copy of the bitmap's top-left 8x8 pixels; the
// bitmap may be deleted afterwards.
HBRUSH CreatePatternBrush(HBITMAP hbm);
HBRUSH CreateBrushIndirect(const LOGBRUSH* plbrush);

// ---- Regions and clipping ------------------------------------------------------------------

HRGN CreateRectRgn(int x1, int y1, int x2, int y2);
HRGN CreateRectRgnIndirect(const RECT* lprect);
HRGN CreateEllipticRgn(int x1, int y1, int x2, int y2);
HRGN CreateEllipticRgnIndirect(const RECT* lprect);
HRGN CreateRoundRectRgn(int x1, int y1, int x2, int y2, int w, int h);
HRGN CreatePolygonRgn(const POINT* pptl, int cPoint, int iMode);
HRGN CreatePolyPolygonRgn(const POINT* pptl, const INT* pc, int cPoly, int iMode);
BOOL SetRectRgn(HRGN hrgn, int left, int top, int right, int bottom);
int CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode);
int OffsetRgn(HRGN hrgn, int x, int y);
int GetRgnBox(HRGN hrgn, LPRECT lprc);
// The region's rectangles (bands, top to bottom, left to right): answers the
// bytes needed when lpRgnData is NULL, nCount when they fit, else 0.
DWORD GetRegionData(HRGN hrgn, DWORD nCount, LPRGNDATA lpRgnData);
BOOL PtInRegion(HRGN hrgn, int x, int y);
BOOL RectInRegion(HRGN hrgn, const RECT* lprect);
BOOL EqualRgn(HRGN hrgn1, HRGN hrgn2);

BOOL FillRgn(HDC hdc, HRGN hrgn, HBRUSH hbr);
BOOL FrameRgn(HDC hdc, HRGN hrgn, HBRUSH hbr, int w, int h);
BOOL PaintRgn(HDC hdc, HRGN hrgn);
BOOL InvertRgn(HDC hdc, HRGN hrgn);

// Clip regions are in device units; the DC keeps a copy. NULL removes it.
int SelectClipRgn(HDC hdc, HRGN hrgn);
int ExtSelectClipRgn(HDC hdc, HRGN hrgn, int mode);
int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom);
int OffsetClipRgn(HDC hdc, int x, int y);
// The logical rectangle bounding what can be drawn, and its complexity.
int GetClipBox(HDC hdc, LPRECT lprect);
// 1 and a copy in hrgn when the DC has a clip region, 0 without, -1 on error.
int GetClipRgn(HDC hdc, HRGN hrgn);
BOOL PtVisible(HDC hdc, int x, int y);
BOOL RectVisible(HDC hdc, const RECT* lprect);

// ---- Shapes ----------------------------------------------------------------------------------

BOOL LineTo(HDC hdc, int x, int y);
BOOL Polyline(HDC hdc, const POINT* apt, int cpt);
BOOL PolylineTo(HDC hdc, const POINT* apt, DWORD cpt);
BOOL Polygon(HDC hdc, const POINT* apt, int cpt);
BOOL PolyPolygon(HDC hdc, const POINT* apt, const INT* asz, int csz);
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height);
BOOL Arc(HDC hdc, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
BOOL Pie(HDC hdc, int left, int top, int right, int bottom, int xr1, int yr1, int xr2, int yr2);
BOOL Chord(HDC hdc, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr);
int FrameRect(HDC hDC, const RECT* lprc, HBRUSH hbr);
BOOL InvertRect(HDC hDC, const RECT* lprc);
BOOL DrawFocusRect(HDC hDC, const RECT* lprc);
BOOL DrawEdge(HDC hdc, LPRECT qrc, UINT edge, UINT grfFlags);

// ---- Pixels, bitmaps and DIBs ------------------------------------------------------------------

COLORREF GetPixel(HDC hdc, int x, int y);
COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);
BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color);

HBITMAP CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* lpBits);
HBITMAP CreateBitmapIndirect(const BITMAP* pbm);
HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy);
HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* pbmih, DWORD flInit, const void* pjBits, const BITMAPINFO* pbmi, UINT iUsage);
LONG GetBitmapBits(HBITMAP hbit, LONG cb, LPVOID lpvBits);
LONG SetBitmapBits(HBITMAP hbm, DWORD cb, const void* pvBits);
int GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, LPVOID lpvBits, LPBITMAPINFO lpbmi, UINT usage);
int SetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, const void* lpBits, const BITMAPINFO* lpbmi, UINT ColorUse);
int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc, UINT StartScan, UINT cLines, const void* lpvBits, const BITMAPINFO* lpbmi, UINT ColorUse);
int StretchDIBits(HDC hdc, int xDest, int yDest, int DestWidth, int DestHeight, int xSrc, int ySrc, int SrcWidth, int SrcHeight, const void* lpBits, const BITMAPINFO* lpbmi, UINT iUsage, DWORD rop);
HBITMAP LoadBitmap(HINSTANCE hInstance, LPCSTR lpBitmapName);

BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop);
// Blends the source rectangle over the destination rectangle (stretched
// when they differ) on every kind of DC, a PDF page included.
BOOL AlphaBlend(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc, int wSrc,
    int hSrc, BLENDFUNCTION blend);
BOOL StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc, int wSrc, int hSrc, DWORD rop);
BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop);

// ---- Palettes -----------------------------------------------------------------------------------

HPALETTE CreatePalette(const LOGPALETTE* plpal);
HPALETTE SelectPalette(HDC hdc, HPALETTE hPal, BOOL bForceBkgd);
UINT RealizePalette(HDC hdc);
UINT GetPaletteEntries(HPALETTE hpal, UINT iStart, UINT cEntries, LPPALETTEENTRY pPalEntries);
UINT SetPaletteEntries(HPALETTE hpal, UINT iStart, UINT cEntries, const PALETTEENTRY* pPalEntries);
COLORREF GetNearestColor(HDC hdc, COLORREF color);
UINT GetNearestPaletteIndex(HPALETTE h, COLORREF color);

// ---- Icons ----------------------------------------------------------------------------------------

HICON LoadIcon(HINSTANCE hInstance, LPCSTR lpIconName);
BOOL DrawIcon(HDC hDC, int X, int Y, HICON hIcon);
BOOL DrawIconEx(HDC hdc, int xLeft, int yTop, HICON hIcon, int cxWidth, int cyWidth, UINT istepIfAniCur, HBRUSH hbrFlickerFreeDraw, UINT diFlags);
BOOL DestroyIcon(HICON hIcon);
HICON ExtractIcon(HINSTANCE hInst, LPCSTR lpszExeFileName, UINT nIconIndex);
BOOL GetIconInfo(HICON hIcon, PICONINFO piconinfo);
HICON CreateIconIndirect(PICONINFO piconinfo);
HICON CopyIcon(HICON hIcon);

// ---- Fonts and text ------------------------------------------------------------------------------

HFONT CreateFontIndirect(const LOGFONT* lplf);
HFONT CreateFont(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight, DWORD bItalic, DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet, DWORD iOutPrecision, DWORD iClipPrecision, DWORD iQuality, DWORD iPitchAndFamily, LPCSTR pszFaceName);
// Makes the fonts of a font file usable by this process (FR_PRIVATE; fonts
// added are also listed by enumeration). The number of fonts added, 0 when
// the file holds no TrueType font we can draw.
int AddFontResourceEx(LPCSTR name, DWORD fl, void* res);
int EnumFontFamilies(HDC hdc, LPCSTR lpLogfont, FONTENUMPROC lpProc, LPARAM lParam);
int EnumFontFamiliesEx(HDC hdc, LPLOGFONT lpLogfont, FONTENUMPROC lpProc, LPARAM lParam, DWORD dwFlags);
int GetTextFace(HDC hdc, int c, LPSTR lpName);
BOOL GetTextMetrics(HDC hdc, LPTEXTMETRIC lptm);
UINT GetOutlineTextMetrics(HDC hdc, UINT cjCopy, LPOUTLINETEXTMETRIC potm);
BOOL GetTextExtentPoint(HDC hdc, LPCSTR lpString, int c, LPSIZE lpsz);
BOOL GetTextExtentPoint32(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl);
BOOL GetTextExtentExPoint(HDC hdc, LPCSTR lpszString, int cchString, int nMaxExtent, LPINT lpnFit, LPINT lpnDx, LPSIZE lpSize);
BOOL GetCharWidth(HDC hdc, UINT iFirst, UINT iLast, LPINT lpBuffer);
BOOL GetCharWidth32(HDC hdc, UINT iFirst, UINT iLast, LPINT lpBuffer);
BOOL GetCharABCWidths(HDC hdc, UINT wFirst, UINT wLast, LPABC lpABC);
DWORD GetGlyphIndices(HDC hdc, LPCSTR lpstr, int c, LPWORD pgi, DWORD fl);
DWORD GetGlyphOutline(HDC hdc, UINT uChar, UINT fuFormat, LPGLYPHMETRICS lpgm, DWORD cjBuffer, LPVOID pvBuffer, const MAT2* lpmat2);
BOOL TextOut(HDC hdc, int x, int y, LPCSTR lpString, int c);
BOOL ExtTextOut(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCSTR lpString, UINT c, const INT* lpDx);
int DrawText(HDC hdc, LPCSTR lpchText, int cchText, LPRECT lprc, UINT format);
BOOL GrayString(HDC hDC, HBRUSH hBrush, GRAYSTRINGPROC lpOutputFunc, LPARAM lpData, int nCount, int X, int Y, int nWidth, int nHeight);
BOOL SetTextJustification(HDC hdc, int extra, int count);

// ---- Metafiles -------------------------------------------------------------------------------------

HMETAFILE SetMetaFileBitsEx(UINT cbBuffer, const BYTE* lpData);
UINT GetMetaFileBitsEx(HMETAFILE hMF, UINT cbBuffer, LPVOID lpData);
BOOL DeleteMetaFile(HMETAFILE hmf);
BOOL PlayMetaFile(HDC hdc, HMETAFILE hmf);
// A metafile read from a file; a 22-byte placeable header in front is
// stripped (and kept: platform/gdi/Metafile.h reads it back).
HMETAFILE GetMetaFile(LPCSTR lpName);
// A copy in memory (lpFileName NULL) or written to that file.
HMETAFILE CopyMetaFile(HMETAFILE hmfSrc, LPCSTR lpFileName);

HENHMETAFILE GetEnhMetaFile(LPCSTR lpName);
HENHMETAFILE SetEnhMetaFileBits(UINT nSize, const BYTE* pb);
UINT GetEnhMetaFileBits(HENHMETAFILE hEMF, UINT nSize, LPBYTE lpData);
UINT GetEnhMetaFileHeader(HENHMETAFILE hemf, UINT nSize, LPENHMETAHEADER lpEnhMetaHeader);
UINT GetEnhMetaFileDescription(HENHMETAFILE hemf, UINT cchBuffer, LPSTR lpDescription);
UINT GetEnhMetaFilePaletteEntries(HENHMETAFILE hemf, UINT nNumEntries, LPPALETTEENTRY lpPaletteEntries);
BOOL PlayEnhMetaFile(HDC hdc, HENHMETAFILE hmf, const RECT* lprect);
BOOL DeleteEnhMetaFile(HENHMETAFILE hmf);

// ---- Printing --------------------------------------------------------------------------------------

// A job id (> 0) or SP_ERROR.
int StartDoc(HDC hdc, const DOCINFO* lpdi);
int EndDoc(HDC hdc);
int AbortDoc(HDC hdc);
int StartPage(HDC hdc);
int EndPage(HDC hdc);
int SetAbortProc(HDC hdc, ABORTPROC proc);
