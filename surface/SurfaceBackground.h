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
// outlives). A picture that does not load leaves it painting its colour;
// the picture file is read as untrusted data by the imaging library, which
// bounds its size.

#include "platform/base/GdiRecords.h"
#include "platform/base/Object.h"
#include "platform/base/String.h"

class CDC;

class CSurfaceBackground : public CObject {
public:
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
    ~CSurfaceBackground() override;
    CSurfaceBackground(const CSurfaceBackground&) = delete;
    CSurfaceBackground& operator=(const CSurfaceBackground&) = delete;

    // The colour painted while there is no picture.
    void SetColor(COLORREF crColor) { m_crColor = crColor; }
    COLORREF GetColor() const { return m_crColor; }

    // Takes the bitmap (NULL: none) and deletes the old one; the flags
    // follow: an 8 x 8 bitmap is a pattern, any other size is tiled, none
    // paints the colour. The path of the picture is forgotten.
    void SetBitmap(HBITMAP hBitmap);
    // Loads the picture file as the background unless it is the one already
    // shown. TRUE when a picture is in place; otherwise the painter paints
    // its colour and answers FALSE.
    BOOL SetImageFile(const CString& strPath);

    // Fills pRect (device units of pDC, whose mapping must be MM_TEXT with
    // zero origins), or the clip box when pRect is NULL. Tiles line up on
    // pOrigin (or 0, 0), so that repainting a part of the area continues
    // the pattern around it.
    void Paint(CDC* pDC, const POINT* pOrigin, const RECT* pRect);

    WORD GetFlags() const { return m_wFlags; }
    SIZE GetBitmapSize() const { return m_sizeBitmap; }
    CString GetPathName() const { return m_strPath; }

    // Back to the colour of a new painter and no picture (tests).
    void Reset();

    // Tiles narrower or lower than this are drawn from a block of them, so
    // that a picture of a few pixels does not cost a copy per pixel.
    static constexpr int kMinBlockSide = 64;

private:
    void PaintTiles(CDC* pDC, const RECT& area, POINT origin);
    // The bitmap repeated to at least kMinBlockSide each way (the bitmap
    // itself when it is that large); NULL when it cannot be made.
    HBITMAP TileBlock(CDC* pDC, SIZE& size);
    void FreeBlock();

    WORD m_wFlags = kColorOnly;
    HBITMAP m_hBitmap = NULL;
    SIZE m_sizeBitmap{0, 0};
    HBITMAP m_hBlock = NULL;
    SIZE m_sizeBlock{0, 0};
    COLORREF m_crColor = kDefaultColor;
    CString m_strPath;
};

extern CSurfaceBackground g_surfaceBackground;
