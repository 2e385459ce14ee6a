#pragma once
// CPaletteSelector: a palette selected into a device context and realised
// for the life of the object, the previous one selected back at the end.
// Without a palette of its own it uses the application's palette, which
// exists only on screens of 256 colours or fewer; when there is none
// nothing is selected and nothing restored. The DC and palette belong to
// the caller and must outlive the selector.

#include "app/ResourceBitmaps.h"

class CDC;
class CPalette;

class CPaletteSelector {
public:
    CPaletteSelector(CDC* pDC, CPalette* pPalette);
    ~CPaletteSelector();
    CPaletteSelector(const CPaletteSelector&) = delete;
    CPaletteSelector& operator=(const CPaletteSelector&) = delete;

    CDC* m_pDC;
    CPalette* m_pPalette;
    CPalette* m_pOldPalette = nullptr; // null when nothing was selected
};

// The application's palette (SetAppPaletteSource, GetAppPaletteForDrawing)
// is kept with the resource bitmaps, which load with it too.
