// The DC table and the state every DC carries: creation and release,
// SaveDC/RestoreDC, GetDeviceCaps, the attribute calls, and how drawing code
// reaches the pixels of a DC.

#include "platform/files/HandleTable.h"
#include "platform/gdi/Display.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/PixelBuffer.h"
#include "platform/gdi/internal/DeviceContext.h"
#include "platform/gdi/internal/GdiObjects.h"
#include "platform/gdi/internal/Rop3.h"

#include <cairo.h>

// The palette code keeps the screen's system palette (static colours plus
// what has been realised) once it exists.
#if __has_include("platform/gdi/internal/PaletteState.h")
#include "platform/gdi/internal/PaletteState.h"
#define TW_HAVE_SCREEN_PALETTE 1
#endif

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace platform {

const WindowSurfaceProvider& GetWindowSurfaceProvider();

namespace {

constexpr uint8_t kDcTag = 0x44;

struct DcTable {
    HandleTable<DeviceContext> table{kDcTag, 1 << 16};
    std::vector<DeviceContext*> live;
};

DcTable& Dcs()
{
    static DcTable dcs;
    return dcs;
}

uint64_t Id(HDC h)
{
    return uint64_t(reinterpret_cast<uintptr_t>(h));
}

RECT Intersection(const RECT& a, const RECT& b)
{
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    if (r.left >= r.right || r.top >= r.bottom)
        return RECT{0, 0, 0, 0};
    return r;
}

HDC MakeDc(DcKind kind, const DeviceCaps& caps, HWND hwnd = NULL, bool wholeWindow = false)
{
    auto dc = std::make_unique<DeviceContext>();
    dc->kind = kind;
    dc->caps = caps;
    dc->hwnd = hwnd;
    dc->wholeWindow = wholeWindow;
    return AddDeviceContext(std::move(dc));
}

} // namespace

HDC AddDeviceContext(std::unique_ptr<DeviceContext> dc)
{
    DcState& s = dc->state;
    s.pen = (HPEN)StockObject(BLACK_PEN);
    s.brush = (HBRUSH)StockObject(WHITE_BRUSH);
    s.font = (HFONT)StockObject(SYSTEM_FONT);
    s.palette = (HPALETTE)StockObject(DEFAULT_PALETTE);
    s.bitmap = dc->kind == DcKind::Memory ? StockBitmap() : NULL;
    DeviceContext* raw = dc.get();
    uint64_t id = Dcs().table.Add(std::move(dc));
    if (id == 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return NULL;
    }
    raw->handle = reinterpret_cast<HDC>(uintptr_t(id));
    Dcs().live.push_back(raw);
    return raw->handle;
}

DeviceContext* LookupDc(HDC hdc)
{
    DeviceContext* dc = hdc ? Dcs().table.Get(Id(hdc)) : nullptr;
    if (!dc)
        SetLastError(ERROR_INVALID_HANDLE);
    return dc;
}

std::unique_ptr<DeviceContext> RemoveDeviceContext(HDC hdc)
{
    std::unique_ptr<DeviceContext> dc = hdc ? Dcs().table.Remove(Id(hdc)) : nullptr;
    if (dc) {
        auto& live = Dcs().live;
        live.erase(std::remove(live.begin(), live.end(), dc.get()), live.end());
    } else {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return dc;
}

bool IsSelectedInAnyDc(HGDIOBJ handle)
{
    for (const DeviceContext* dc : Dcs().live) {
        const DcState& s = dc->state;
        if (s.pen == handle || s.brush == handle || s.font == handle || s.bitmap == handle || s.palette == handle)
            return true;
    }
    return false;
}

HDC CreateScreenDc(DcKind kind)
{
    return MakeDc(kind, ScreenCaps());
}

const PenObject& CurrentPen(const DeviceContext& dc)
{
    PenObject* pen = LookupPen(dc.state.pen);
    return pen ? *pen : *LookupPen(StockObject(BLACK_PEN));
}

const BrushObject& CurrentBrush(const DeviceContext& dc)
{
    BrushObject* brush = LookupBrush(dc.state.brush);
    return brush ? *brush : *LookupBrush(StockObject(WHITE_BRUSH));
}

FontObject& CurrentFont(const DeviceContext& dc)
{
    FontObject* font = LookupFont(dc.state.font);
    return font ? *font : *LookupFont(StockObject(SYSTEM_FONT));
}

const PaletteObject& CurrentPalette(const DeviceContext& dc)
{
    PaletteObject* palette = LookupPalette(dc.state.palette);
    return palette ? *palette : *LookupPalette(StockObject(DEFAULT_PALETTE));
}

BitmapObject* CurrentBitmap(const DeviceContext& dc)
{
    if (dc.kind != DcKind::Memory)
        return nullptr;
    BitmapObject* bitmap = LookupBitmap(dc.state.bitmap);
    return bitmap ? bitmap : LookupBitmap(StockBitmap());
}

bool AcquireRaster(DeviceContext& dc, RasterTarget& target)
{
    target = RasterTarget();
    switch (dc.kind) {
    case DcKind::Memory: {
        BitmapObject* bitmap = CurrentBitmap(dc);
        target.buffer = &bitmap->pixels;
        target.bounds = RECT{0, 0, bitmap->pixels.width, bitmap->pixels.height};
        target.bitsPixel = bitmap->bitsPixel;
        target.colorTable = bitmap->bitsPixel <= 8 ? &bitmap->colorTable : nullptr;
        target.bitmap = bitmap;
        return true;
    }
    case DcKind::Screen: {
        PixelBuffer& desktop = GetDesktopBuffer();
        target.buffer = &desktop;
        target.bounds = RECT{0, 0, desktop.width, desktop.height};
        break;
    }
    case DcKind::Window: {
        const WindowSurfaceProvider& provider = GetWindowSurfaceProvider();
        WindowSurface surface;
        if (!provider.acquire || !provider.acquire(dc.hwnd, dc.wholeWindow, surface) || !surface.buffer)
            return false;
        target.buffer = surface.buffer;
        target.origin = surface.origin;
        RECT inBuffer{-surface.origin.x, -surface.origin.y, surface.buffer->width - surface.origin.x,
            surface.buffer->height - surface.origin.y};
        target.bounds = Intersection(inBuffer, surface.visible);
        target.visibleRegion = surface.visibleRegion;
        break;
    }
    case DcKind::Printer:
    case DcKind::Info:
        return false;
    }
    // Screen and window surfaces share the screen's depth.
    target.bitsPixel = GetScreenBitsPixel();
#ifdef TW_HAVE_SCREEN_PALETTE
    target.colorTable = target.bitsPixel <= 8 ? ScreenColorTable(target.bitsPixel) : nullptr;
#else
    target.colorTable = target.bitsPixel <= 8 ? &DefaultColorTable(target.bitsPixel) : nullptr;
#endif
    return target.buffer->width > 0;
}

Region DrawableRegion(const DeviceContext& dc, const RasterTarget& target)
{
    const Region* visible = target.visibleRegion;
    const std::optional<Region>& clip = dc.state.clip;
    const bool complex = (visible && visible->Rects().size() > 1) || (clip && clip->Rects().size() > 1);
    DeviceContext::DrawableCache& cache = dc.drawable;
    auto same = [](const std::optional<Region>& kept, const Region* now) {
        return kept.has_value() == (now != nullptr) && (!now || *kept == *now);
    };
    const RECT& b = target.bounds;
    if (complex && cache.valid && cache.bounds.left == b.left && cache.bounds.top == b.top
        && cache.bounds.right == b.right && cache.bounds.bottom == b.bottom && same(cache.visible, visible)
        && same(cache.clip, clip ? &*clip : nullptr))
        return cache.area;
    if (!complex) {
        // Rectangles all: their intersection, without a region for each step.
        Region base(target.bounds);
        if (base.IsEmpty())
            return base;
        RECT r = base.Bounds();
        auto limit = [&r](const Region& region) {
            if (region.IsEmpty()) {
                r = RECT{0, 0, 0, 0};
                return;
            }
            const RECT& b = region.Bounds();
            r = RECT{std::max(r.left, b.left), std::max(r.top, b.top), std::min(r.right, b.right),
                std::min(r.bottom, b.bottom)};
        };
        if (visible)
            limit(*visible);
        if (clip)
            limit(*clip);
        if (r.left >= r.right || r.top >= r.bottom)
            return Region();
        return Region(r);
    }
    Region area(target.bounds);
    if (visible)
        area = area.Intersect(*visible);
    if (clip)
        area = area.Intersect(*clip);
    if (complex) {
        cache.valid = true;
        cache.bounds = b;
        cache.visible = visible ? std::optional<Region>(*visible) : std::nullopt;
        cache.clip = clip;
        cache.area = area;
    }
    return area;
}

void ApplyVectorClip(const DeviceContext& dc)
{
    if (!dc.vector || !dc.state.clip)
        return;
    cairo_new_path(dc.vector);
    for (const RECT& r : dc.state.clip->Rects())
        cairo_rectangle(dc.vector, r.left, r.top, r.right - r.left, r.bottom - r.top);
    if (dc.state.clip->IsEmpty())
        cairo_rectangle(dc.vector, 0, 0, 0, 0);
    cairo_clip(dc.vector);
}

uint32_t TargetPixel(const DeviceContext& dc, const RasterTarget& target, COLORREF color)
{
    if ((color >> 24) == 0x01) {
        const PaletteObject& palette = CurrentPalette(dc);
        size_t index = color & 0xFFFF;
        const PALETTEENTRY& e = index < palette.entries.size() ? palette.entries[index] : palette.entries[0];
        color = RGB(e.peRed, e.peGreen, e.peBlue);
    }
    uint32_t pixel = PixelFromColor(color & 0x00FFFFFF);
    if (!target.colorTable || target.colorTable->empty())
        return pixel;
    const std::vector<RGBQUAD>& table = *target.colorTable;
    return PixelFromQuad(table[NearestColorIndex(table, pixel)]);
}

} // namespace platform

using namespace platform;

// ---- Creating and releasing DCs ------------------------------------------------

HDC CreateCompatibleDC(HDC hdc)
{
    DeviceCaps caps;
    if (hdc) {
        DeviceContext* other = LookupDc(hdc);
        if (!other)
            return NULL;
        caps = other->caps;
    } else {
        caps = ScreenCaps();
    }
    return MakeDc(DcKind::Memory, caps);
}

BOOL DeleteDC(HDC hdc)
{
    return RemoveDeviceContext(hdc) ? TRUE : FALSE;
}

HDC GetDC(HWND hWnd)
{
    if (!hWnd)
        return MakeDc(DcKind::Screen, ScreenCaps());
    const WindowSurfaceProvider& provider = GetWindowSurfaceProvider();
    WindowSurface surface;
    if (!provider.acquire || !provider.acquire(hWnd, false, surface)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return NULL;
    }
    return MakeDc(DcKind::Window, ScreenCaps(), hWnd, false);
}

HDC GetWindowDC(HWND hWnd)
{
    if (!hWnd)
        return MakeDc(DcKind::Screen, ScreenCaps());
    const WindowSurfaceProvider& provider = GetWindowSurfaceProvider();
    WindowSurface surface;
    if (!provider.acquire || !provider.acquire(hWnd, true, surface)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return NULL;
    }
    return MakeDc(DcKind::Window, ScreenCaps(), hWnd, true);
}

int ReleaseDC(HWND hWnd, HDC hDC)
{
    DeviceContext* dc = LookupDc(hDC);
    if (!dc || (dc->kind != DcKind::Window && dc->kind != DcKind::Screen) || dc->hwnd != hWnd)
        return 0;
    bool wholeWindow = dc->wholeWindow;
    RemoveDeviceContext(hDC);
    const WindowSurfaceProvider& provider = GetWindowSurfaceProvider();
    if (hWnd && provider.released)
        provider.released(hWnd, wholeWindow);
    return 1;
}

HWND WindowFromDC(HDC hDC)
{
    DeviceContext* dc = LookupDc(hDC);
    return dc ? dc->hwnd : NULL;
}

int SaveDC(HDC hdc)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc)
        return 0;
    // Deep enough for any nesting of drawing code; a runaway loop stops here.
    if (dc->saved.size() >= 65536)
        return 0;
    dc->saved.push_back(dc->state);
    return int(dc->saved.size());
}

BOOL RestoreDC(HDC hdc, int nSavedDC)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc)
        return FALSE;
    int count = int(dc->saved.size());
    int index;
    if (nSavedDC > 0 && nSavedDC <= count)
        index = nSavedDC - 1;
    else if (nSavedDC < 0 && -nSavedDC <= count)
        index = count + nSavedDC;
    else
        return FALSE;
    DcState restored = std::move(dc->saved[size_t(index)]);
    // A bitmap saved here may have gone into another DC since; keep the
    // current one rather than share it.
    if (dc->kind == DcKind::Memory && restored.bitmap != dc->state.bitmap) {
        HBITMAP current = dc->state.bitmap;
        dc->state.bitmap = NULL;
        if (IsSelectedInAnyDc(restored.bitmap))
            restored.bitmap = current;
    }
    dc->state = std::move(restored);
    dc->saved.resize(size_t(index));
    return TRUE;
}

int GetDeviceCaps(HDC hdc, int index)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc)
        return 0;
    const DeviceCaps& c = dc->caps;
    bool palette = c.technology == DT_RASDISPLAY && c.bitsPixel <= 8;
    switch (index) {
    case DRIVERVERSION:
        return 0x400;
    case TECHNOLOGY:
        return c.technology;
    case HORZSIZE:
        return c.horzSizeMm;
    case VERTSIZE:
        return c.vertSizeMm;
    case HORZRES:
        return c.horzRes;
    case VERTRES:
        return c.vertRes;
    case BITSPIXEL:
        return c.bitsPixel;
    case PLANES:
        return c.planes;
    case NUMBRUSHES:
    case NUMPENS:
        return -1;
    case NUMMARKERS:
        return 0;
    case NUMFONTS:
        return 0;
    case NUMCOLORS:
        // True-colour devices have no colour table to count.
        if (c.bitsPixel > 8)
            return -1;
        return c.bitsPixel == 8 ? 20 : 1 << c.bitsPixel;
    case PDEVICESIZE:
        return 0;
    case CURVECAPS:
    case LINECAPS:
    case POLYGONALCAPS:
        return 0xFF;
    case TEXTCAPS:
        return 0x7807;
    case CLIPCAPS:
        return 1;
    case RASTERCAPS:
        return RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB
            | (palette ? RC_PALETTE : 0);
    case ASPECTX:
        return c.aspectX;
    case ASPECTY:
        return c.aspectY;
    case ASPECTXY:
        return c.aspectXY;
    case LOGPIXELSX:
        return c.logPixelsX;
    case LOGPIXELSY:
        return c.logPixelsY;
    case SIZEPALETTE:
        return palette ? 1 << c.bitsPixel : 0;
    case NUMRESERVED:
        return palette ? 20 : 0;
    case COLORRES:
        return palette ? 18 : 24;
    case PHYSICALWIDTH:
        return c.physicalWidth;
    case PHYSICALHEIGHT:
        return c.physicalHeight;
    case PHYSICALOFFSETX:
        return c.physicalOffsetX;
    case PHYSICALOFFSETY:
        return c.physicalOffsetY;
    case SCALINGFACTORX:
    case SCALINGFACTORY:
        return 0;
    default:
        return 0;
    }
}

// ---- Attributes ---------------------------------------------------------------------

namespace {

// Sets one attribute when the value is in range; the previous value, or
// `failure` for a bad DC or value.
template <typename T>
T SetAttribute(HDC hdc, T DcState::*member, T value, T failure, bool valid = true)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc)
        return failure;
    if (!valid) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return failure;
    }
    T previous = dc->state.*member;
    dc->state.*member = value;
    return previous;
}

template <typename T>
T GetAttribute(HDC hdc, T DcState::*member, T failure)
{
    DeviceContext* dc = LookupDc(hdc);
    return dc ? dc->state.*member : failure;
}

} // namespace

COLORREF SetTextColor(HDC hdc, COLORREF color)
{
    return SetAttribute(hdc, &DcState::textColor, color, COLORREF(CLR_INVALID));
}

COLORREF GetTextColor(HDC hdc)
{
    return GetAttribute(hdc, &DcState::textColor, COLORREF(CLR_INVALID));
}

COLORREF SetBkColor(HDC hdc, COLORREF color)
{
    return SetAttribute(hdc, &DcState::bkColor, color, COLORREF(CLR_INVALID));
}

COLORREF GetBkColor(HDC hdc)
{
    return GetAttribute(hdc, &DcState::bkColor, COLORREF(CLR_INVALID));
}

int SetBkMode(HDC hdc, int mode)
{
    return SetAttribute(hdc, &DcState::bkMode, mode, 0, mode == TRANSPARENT || mode == OPAQUE);
}

int GetBkMode(HDC hdc)
{
    return GetAttribute(hdc, &DcState::bkMode, 0);
}

int SetROP2(HDC hdc, int rop2)
{
    return SetAttribute(hdc, &DcState::rop2, rop2, 0, rop2 >= R2_BLACK && rop2 <= R2_WHITE);
}

int GetROP2(HDC hdc)
{
    return GetAttribute(hdc, &DcState::rop2, 0);
}

int SetPolyFillMode(HDC hdc, int mode)
{
    return SetAttribute(hdc, &DcState::polyFillMode, mode, 0, mode == ALTERNATE || mode == WINDING);
}

int GetPolyFillMode(HDC hdc)
{
    return GetAttribute(hdc, &DcState::polyFillMode, 0);
}

int SetStretchBltMode(HDC hdc, int mode)
{
    return SetAttribute(hdc, &DcState::stretchMode, mode, 0, mode >= BLACKONWHITE && mode <= HALFTONE);
}

int GetStretchBltMode(HDC hdc)
{
    return GetAttribute(hdc, &DcState::stretchMode, 0);
}

UINT SetTextAlign(HDC hdc, UINT align)
{
    return SetAttribute(hdc, &DcState::textAlign, align, UINT(GDI_ERROR));
}

UINT GetTextAlign(HDC hdc)
{
    return GetAttribute(hdc, &DcState::textAlign, UINT(GDI_ERROR));
}

int SetTextCharacterExtra(HDC hdc, int extra)
{
    return SetAttribute(hdc, &DcState::textCharExtra, extra, int(0x80000000));
}

int GetTextCharacterExtra(HDC hdc)
{
    return GetAttribute(hdc, &DcState::textCharExtra, int(0x80000000));
}

BOOL SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT lppt)
{
    // Patterns repeat every 8 pixels; the remainder keeps the sign.
    return ReplaceStateValue(hdc, &DcState::brushOrg, POINT{x % 8, y % 8}, lppt);
}

BOOL GetBrushOrgEx(HDC hdc, LPPOINT lppt)
{
    return GetStateValue(hdc, &DcState::brushOrg, lppt);
}

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT lppt)
{
    return ReplaceStateValue(hdc, &DcState::currentPos, POINT{x, y}, lppt);
}

BOOL GetCurrentPositionEx(HDC hdc, LPPOINT lppt)
{
    return GetStateValue(hdc, &DcState::currentPos, lppt);
}
