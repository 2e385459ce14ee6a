#pragma once
// CSurfaceBackground: what is painted behind the page of every design view
// (the workspace round the page): a plain colour, an 8 x 8 picture used as
// a pattern brush, or a picture of any other size tiled across the area.
// One global instance, g_surfaceBackground, serves all views from start-up
// to exit; the Preferences sheet changes it (ApplyBackgroundColor and
// ApplyBackgroundImage), and the views paint with it first.
//
// The painter owns its bitmap while the program runs (Reset and a new
// picture free it; at exit it goes with the GDI tables, which the painter
// outlives; a painter of its own frees it when destroyed). A picture that
// does not load leaves it painting its colour; the picture file is read as
// untrusted data by the imaging library, which bounds its size. A painter
// given a file may write a new picture back to it: the file is replaced
// whole or, when that fails, left as it was.

#include "platform/base/GdiRecords.h"
#include "platform/base/Object.h"
#include "platform/base/String.h"

class CDC;
class CWnd;

class CSurfaceBackground : public CObject {
public:
    // The picture file of the path is to be loaded at the next paint (it
    // stands beside one of the three below until then).
    static constexpr WORD kLoadPending = 0x1;
    // What is painted: exactly one of kColorOnly, kTiled and kPattern.
    static constexpr WORD kColorOnly = 0x2;
    static constexpr WORD kTiled = 0x4;
    static constexpr WORD kPattern = 0x8;
    // The colour of a painter nobody has given one: the neutral workspace
    // grey, until start-up applies the stored background.
    static constexpr COLORREF kDefaultColor = RGB(128, 128, 128);
    // A bitmap whose size cannot be read is taken to be this wide and high.
    static constexpr int kUnknownSide = 10;

    CSurfaceBackground() = default;
    // A painter of its own (a design's, or a preview's): the colour, and a
    // picture file that is loaded at the first paint when it exists. With
    // bNoSave the file is taken as given and new bitmaps are never written
    // to it; otherwise a name is looked for in the program's "support"
    // folder, and SetBitmap(..., TRUE) writes the new picture there.
    CSurfaceBackground(COLORREF crColor, LPCTSTR lpszFile, BOOL bNoSave);
    ~CSurfaceBackground() override;
    CSurfaceBackground(const CSurfaceBackground&) = delete;
    CSurfaceBackground& operator=(const CSurfaceBackground&) = delete;

    // The colour painted while there is no picture.
    void SetColor(COLORREF crColor) { m_crColor = crColor; }
    COLORREF GetColor() const { return m_crColor; }

    // Takes the bitmap (NULL: none) and deletes the old one; the flags
    // follow: an 8 x 8 bitmap is a pattern, any other size is tiled, none
    // paints the colour. The file the picture came from is forgotten. With
    // bSave (and a painter that may save) the picture replaces the file of
    // the path, or without a bitmap that file is deleted; FALSE when that
    // failed, in which case the old file is left as it was.
    BOOL SetBitmap(HBITMAP hBitmap, BOOL bSave = FALSE);
    // Loads the picture file as the background unless it is the one already
    // shown. TRUE when a picture is in place; otherwise the painter paints
    // its colour and answers FALSE.
    BOOL SetImageFile(const CString& strPath);

    // Fills pRect (device units of pDC, whose mapping must be MM_TEXT with
    // zero origins), or the clip box when pRect is NULL. Tiles line up on
    // pOrigin (or 0, 0), so that repainting a part of the area continues
    // the pattern around it.
    void Paint(CDC* pDC, const POINT* pOrigin, const RECT* pRect);

    // How many tiles are to fill the area's width and height; a count below
    // 1 means the picture's own size. Across wins when both are given.
    void SetTileCounts(int nAcross, int nDown);
    // The size one tile is drawn at in an area of that size.
    SIZE TileSize(SIZE sizeArea) const;

    // A window whose scroll positions move the tiles with the contents when
    // a whole clip box is painted (NULL: none).
    void SetScrollWindow(CWnd* pWnd) { m_pScrollWnd = pWnd; }

    WORD GetFlags() const { return m_wFlags; }
    SIZE GetBitmapSize() const { return m_sizeBitmap; }
    // The file saves go to; GetImageFile the picture file shown now.
    CString GetPathName() const { return m_strPath; }
    CString GetImageFile() const { return m_strLoaded; }

    // Back to the colour of a new painter and no picture (tests).
    void Reset();

    // Tiles lower than this (or narrower than a wide block) are drawn from
    // a block of them, so that a picture of a few pixels does not cost a
    // copy per pixel.
    static constexpr int kMinBlockSide = 64;

private:
    void PaintTiles(CDC* pDC, const RECT& area, POINT origin);
    // The tile (the bitmap, or the bitmap stretched to sizeTile) repeated to
    // at least kMinBlockSide high and a wide block across (the tile itself
    // when it is that large); NULL when it cannot be made.
    HBITMAP TileBlock(CDC* pDC, SIZE sizeTile, SIZE& size);
    void FreeBlock();
    void LoadPendingFile(CDC* pDC);
    BOOL SavePicture();

    WORD m_wFlags = kColorOnly;
    HBITMAP m_hBitmap = NULL;
    SIZE m_sizeBitmap{0, 0};
    HBITMAP m_hBlock = NULL;
    SIZE m_sizeBlock{0, 0};
    // The tile size the block was made for.
    SIZE m_sizeBlockTile{0, 0};
    HBITMAP m_hStretched = NULL;
    COLORREF m_crColor = kDefaultColor;
    // Where a new picture is saved and a pending one is loaded from.
    CString m_strPath;
    // The picture file shown now (empty for a bitmap given directly).
    CString m_strLoaded;
    BOOL m_bNoSave = FALSE;
    int m_nTilesAcross = -1;
    int m_nTilesDown = -1;
    CWnd* m_pScrollWnd = nullptr;
};

extern CSurfaceBackground g_surfaceBackground;
