#pragma once
// The GDI objects behind HPEN, HBRUSH, HFONT, HBITMAP, HPALETTE and HRGN, and
// the table that issues their handles.
//
// Every object lives in one table (index + generation handles). A DC keeps
// handles, never pointers, so a handle that went stale while saved in a DC
// state resolves to the stock default instead of freed memory. Stock
// objects are made on first use and never deleted.

#include "platform/base/GdiRecords.h"
#include "platform/gdi/PixelBuffer.h"
#include "platform/gdi/internal/Region.h"

#include <memory>
#include <vector>

namespace platform {

enum class GdiKind : uint8_t {
    Pen = 1,     // OBJ_PEN
    Brush = 2,   // OBJ_BRUSH
    Palette = 5, // OBJ_PAL
    Font = 6,    // OBJ_FONT
    Bitmap = 7,  // OBJ_BITMAP
    Region = 8,  // OBJ_REGION
};

struct GdiObject {
    explicit GdiObject(GdiKind k)
        : kind(k)
    {
    }
    virtual ~GdiObject() = default;

    const GdiKind kind;
    bool stock = false;
};

struct PenObject : GdiObject {
    PenObject()
        : GdiObject(GdiKind::Pen)
    {
    }
    // lopnWidth.x is in logical units (0: one pixel); lopnWidth.y is 0.
    LOGPEN log{};
};

struct BrushObject : GdiObject {
    BrushObject()
        : GdiObject(GdiKind::Brush)
    {
    }
    // For BS_PATTERN, lbHatch holds the HBITMAP the brush was made from (it
    // may be gone); the pixels are the copy below.
    LOGBRUSH log{};
    // BS_PATTERN: the bitmap's top-left (at most 8 x 8) pixels, repeated.
    PixelBuffer pattern;
    // A 1-bpp pattern takes the DC's colours when used: black pixels the
    // text colour, white pixels the background colour.
    bool monoPattern = false;
};

// The realised face (FreeType face, metrics cache) belongs to the text code;
// the object only carries it.
struct FontFace;

struct FontObject : GdiObject {
    FontObject()
        : GdiObject(GdiKind::Font)
    {
    }
    LOGFONT log{};
    std::shared_ptr<FontFace> face; // made on first use by the text code
};

struct BitmapObject : GdiObject {
    BitmapObject()
        : GdiObject(GdiKind::Bitmap)
    {
    }
    // The depth the bitmap reports (GetObject, GetBitmapBits): 1, 4, 8, 16, 24
    // or 32; the pixels are always 32-bit (PixelBuffer).
    int bitsPixel = 32;
    int planes = 1;
    // Depths of 8 and below: the colours the pixels are limited to (1 bpp:
    // black, white). Drawing into the bitmap maps colours to the nearest.
    std::vector<RGBQUAD> colorTable;
    PixelBuffer pixels;
    // 32-bit bitmaps given alpha bytes (SetDIBits, CreateDIBitmap): one byte
    // a pixel, row-major like `pixels`; empty for an opaque bitmap. Drawing
    // into the bitmap leaves it as it is, as GDI's calls leave a 32-bit
    // bitmap's alpha bytes alone; AlphaBlend reads and updates it.
    std::vector<uint8_t> alpha;
};

struct PaletteObject : GdiObject {
    PaletteObject()
        : GdiObject(GdiKind::Palette)
    {
    }
    std::vector<PALETTEENTRY> entries; // 1 to 256 entries
};

struct RegionObject : GdiObject {
    RegionObject()
        : GdiObject(GdiKind::Region)
    {
    }
    Region region;
};

// Takes ownership; NULL (and ERROR_NOT_ENOUGH_MEMORY) when the table is full.
HGDIOBJ AddGdiObject(std::unique_ptr<GdiObject> object);
// The live object, or nullptr (last error ERROR_INVALID_HANDLE) for a
// stale, forged or NULL handle.
GdiObject* LookupGdiObject(HGDIOBJ handle);
// The same, also checking the kind.
template <typename T>
T* LookupGdi(HGDIOBJ handle, GdiKind kind)
{
    GdiObject* object = LookupGdiObject(handle);
    if (!object || object->kind != kind)
        return nullptr;
    return static_cast<T*>(object);
}
inline PenObject* LookupPen(HGDIOBJ h) { return LookupGdi<PenObject>(h, GdiKind::Pen); }
inline BrushObject* LookupBrush(HGDIOBJ h) { return LookupGdi<BrushObject>(h, GdiKind::Brush); }
inline FontObject* LookupFont(HGDIOBJ h) { return LookupGdi<FontObject>(h, GdiKind::Font); }
inline BitmapObject* LookupBitmap(HGDIOBJ h) { return LookupGdi<BitmapObject>(h, GdiKind::Bitmap); }
inline PaletteObject* LookupPalette(HGDIOBJ h) { return LookupGdi<PaletteObject>(h, GdiKind::Palette); }
inline RegionObject* LookupRegion(HGDIOBJ h) { return LookupGdi<RegionObject>(h, GdiKind::Region); }

// The 1x1 monochrome bitmap every new memory DC holds; a stock object.
HBITMAP StockBitmap();

// Makes a bitmap object of w x h at the given depth, pixels filled with
// `fill` (0x00RRGGBB); depths <= 8 get `colorTable` (1 bpp: black, white
// when empty). NULL when the size is refused or memory runs out.
HBITMAP CreateBitmapObject(int width, int height, int bitsPixel, uint32_t fill, std::vector<RGBQUAD> colorTable = {});

// The colour table a low-depth bitmap gets when none is given: 1 bpp black
// and white; 4 bpp the 16 VGA colours; 8 bpp the 20 static colours at both
// ends (0-9, 246-255) and black between. Empty for deeper formats.
const std::vector<RGBQUAD>& DefaultColorTable(int bitsPixel);

// The stock object of a GetStockObject index (the DEFAULT_PALETTE holds the
// 20 static colours); NULL for an index that has none.
HGDIOBJ StockObject(int index);

} // namespace platform
