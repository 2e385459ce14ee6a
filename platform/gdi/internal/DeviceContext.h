#pragma once
// The device context behind an HDC: its kind and capabilities, the drawing
// state that SaveDC copies, the saved states, and how drawing code finds the
// pixels (or the vector surface) it draws on.

#include "platform/gdi/GdiDefs.h"
#include "platform/gdi/internal/Region.h"

#include <memory>
#include <optional>
#include <vector>

typedef struct _cairo cairo_t;

namespace platform {

struct PixelBuffer;
struct BitmapObject;

enum class DcKind : uint8_t {
    Memory,  // CreateCompatibleDC: draws on the selected bitmap
    Screen,  // GetDC(NULL), CreateDC("DISPLAY"): the desktop surface
    Window,  // GetDC(hwnd), GetWindowDC(hwnd): the provider's surface
    Printer, // CreateDC(printer): vector output between StartPage and EndPage
    Info,    // CreateIC: queries only, drawing succeeds and does nothing
};

// What GetDeviceCaps answers (sizes in pixels unless named otherwise).
struct DeviceCaps {
    int technology = DT_RASDISPLAY;
    int horzSizeMm = 0;
    int vertSizeMm = 0;
    int horzRes = 0;
    int vertRes = 0;
    int bitsPixel = 32;
    int planes = 1;
    int logPixelsX = 96;
    int logPixelsY = 96;
    int physicalWidth = 0; // printers only; 0 elsewhere
    int physicalHeight = 0;
    int physicalOffsetX = 0;
    int physicalOffsetY = 0;
    int aspectX = 36;
    int aspectY = 36;
    int aspectXY = 51;
};

// The state SaveDC copies and RestoreDC puts back. Objects are handles: one
// that has been deleted since resolves to the stock default.
struct DcState {
    int mapMode = MM_TEXT;
    POINT windowOrg{0, 0};
    SIZE windowExt{1, 1};
    POINT viewportOrg{0, 0};
    SIZE viewportExt{1, 1};

    HPEN pen = NULL; // NULL until the DC is set up: the stock defaults
    HBRUSH brush = NULL;
    HFONT font = NULL;
    HBITMAP bitmap = NULL; // memory DCs only
    HPALETTE palette = NULL;

    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    int polyFillMode = ALTERNATE;
    int stretchMode = BLACKONWHITE;
    UINT textAlign = TA_LEFT | TA_TOP;
    int textCharExtra = 0;
    int breakExtra = 0; // SetTextJustification
    int breakCount = 0;
    POINT brushOrg{0, 0}; // device units
    POINT currentPos{0, 0}; // logical units

    // Device units; none means the whole surface.
    std::optional<Region> clip;
};

// Data another part of the module hangs on a DC (printer job, metafile
// playback state); deleted with the DC.
class DcExtension {
public:
    virtual ~DcExtension() = default;
};

struct DeviceContext {
    HDC handle = NULL;
    DcKind kind = DcKind::Memory;
    DeviceCaps caps;
    DcState state;
    std::vector<DcState> saved; // SaveDC ids are index + 1

    HWND hwnd = NULL;         // window DCs
    bool wholeWindow = false; // GetWindowDC

    // Device units a hatch's eight pixels span when the DC shows a printer
    // page at another scale (the print preview); 0 keeps the device's own.
    double hatchCellX = 0;
    double hatchCellY = 0;

    // Printer DCs: the Cairo context of the current page, in device units
    // (its owner scales the surface so that one unit is one printer dot);
    // null outside a page, when drawing does nothing.
    cairo_t* vector = nullptr;
    std::unique_ptr<DcExtension> extension;

    // The last drawable area made from a complex visible or clip region and
    // what it was made from: the calls that draw one figure after another
    // under the same clip (the strips of a banded fill) intersect them once.
    struct DrawableCache {
        bool valid = false;
        RECT bounds{0, 0, 0, 0};
        std::optional<Region> visible;
        std::optional<Region> clip;
        Region area;
    };
    mutable DrawableCache drawable;
};

// ---- The DC table ---------------------------------------------------------

// Takes ownership, fills in the stock defaults of the state and sets
// `handle`; NULL when the table is full.
HDC AddDeviceContext(std::unique_ptr<DeviceContext> dc);
// The DC, or nullptr (last error ERROR_INVALID_HANDLE).
DeviceContext* LookupDc(HDC hdc);
std::unique_ptr<DeviceContext> RemoveDeviceContext(HDC hdc);
// The calls on one value of the DC state (origins, extents, the current
// position): ReplaceStateValue gives the old value to *previous when there
// is one and stores the new; GetStateValue fails without a place to put
// the value. Both fail for a bad DC.
template <typename T>
BOOL ReplaceStateValue(HDC hdc, T DcState::*member, T value, T* previous)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc)
        return FALSE;
    if (previous)
        *previous = dc->state.*member;
    dc->state.*member = value;
    return TRUE;
}

template <typename T>
BOOL GetStateValue(HDC hdc, T DcState::*member, T* out)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc || !out)
        return FALSE;
    *out = dc->state.*member;
    return TRUE;
}
// A new DC over the screen: DcKind::Screen (CreateDC("DISPLAY")) or
// DcKind::Info with the screen's caps (CreateIC("DISPLAY")). NULL when the
// table is full.
HDC CreateScreenDc(DcKind kind);
// Whether any DC (current state, not saved ones) has the object selected.
bool IsSelectedInAnyDc(HGDIOBJ handle);
// The caps of the screen at its current size, resolution and depth.
DeviceCaps ScreenCaps();

// ---- Mapping (logical <-> device) -------------------------------------------

// Device = (logical - windowOrg) * viewportExt / windowExt + viewportOrg,
// the scaled offset rounded to nearest with halves away from zero, as the
// classic integer transform does. The double forms keep fractions for
// shapes that are converted as paths.
POINT LogicalToDevice(const DcState& state, POINT logical);
POINT DeviceToLogical(const DcState& state, POINT device);
double LogicalToDeviceX(const DcState& state, double x);
double LogicalToDeviceY(const DcState& state, double y);
// A logical length (pen width) in device units along x, at least 0.
int LogicalWidthToDevice(const DcState& state, int width);
// A logical rectangle in device units, normalised (left <= right).
RECT LogicalRectToDevice(const DcState& state, const RECT& logical);

// ---- Drawing targets ----------------------------------------------------------

// Where raster drawing goes, resolved afresh for each call. Device (x, y)
// is buffer pixel (x + origin.x, y + origin.y); `bounds` (device units) is
// the part of the buffer the DC may touch.
struct RasterTarget {
    PixelBuffer* buffer = nullptr;
    POINT origin{0, 0};
    RECT bounds{0, 0, 0, 0};
    int bitsPixel = 32;
    // Depths <= 8: the colours pixels are limited to; null for true colour.
    const std::vector<RGBQUAD>* colorTable = nullptr;
    // A window's visible region (device units), when the provider gave one.
    const Region* visibleRegion = nullptr;
    // What the target is: a memory DC's bitmap (null otherwise).
    BitmapObject* bitmap = nullptr;
};

// False when there are no pixels to draw on (info and printer DCs, a window
// the provider declines); drawing then does nothing and succeeds.
bool AcquireRaster(DeviceContext& dc, RasterTarget& target);
// The pixels drawing may touch, in device units: the target's bounds and
// visible region intersected with the DC's clip region.
Region DrawableRegion(const DeviceContext& dc, const RasterTarget& target);

// Printer pages: intersects the Cairo clip of dc.vector with the DC's clip
// region (call between cairo_save and cairo_restore).
void ApplyVectorClip(const DeviceContext& dc);

// Colour as it lands on the target: PALETTEINDEX / PALETTERGB resolved
// through the selected palette, then reduced to the colour table of a
// low-depth target (nearest entry). Returns a pixel 0x00RRGGBB.
uint32_t TargetPixel(const DeviceContext& dc, const RasterTarget& target, COLORREF color);

// The objects in effect, never null (stale or NULL handles give the stock
// defaults: BLACK_PEN, WHITE_BRUSH, SYSTEM_FONT, DEFAULT_PALETTE).
struct PenObject;
struct BrushObject;
struct FontObject;
struct PaletteObject;
struct BitmapObject;
const PenObject& CurrentPen(const DeviceContext& dc);
const BrushObject& CurrentBrush(const DeviceContext& dc);
FontObject& CurrentFont(const DeviceContext& dc);
const PaletteObject& CurrentPalette(const DeviceContext& dc);
// The bitmap of a memory DC; nullptr for other kinds.
BitmapObject* CurrentBitmap(const DeviceContext& dc);

} // namespace platform
