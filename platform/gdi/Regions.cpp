// Regions (HRGN) and the clip region of a DC. Regions handed to the region
// calls and to SelectClipRgn are in device units; FillRgn, FrameRgn,
// PaintRgn and InvertRgn take theirs in logical units, as GDI does.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/internal/DeviceContext.h"
#include "platform/gdi/internal/GdiObjects.h"
#include "platform/gdi/internal/Raster.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace platform {

namespace {

// Polygons with more points than this are refused rather than scanned.
constexpr int64_t kMaxPolygonPoints = 1 << 22;

HRGN NewRegion(Region region)
{
    auto object = std::make_unique<RegionObject>();
    object->region = std::move(region);
    return (HRGN)AddGdiObject(std::move(object));
}

// The whole drawing surface of the DC in device units, as a region; what a
// DC without a clip region draws on.
Region SurfaceRegion(DeviceContext& dc)
{
    RasterTarget target;
    if (AcquireRaster(dc, target)) {
        Region area(target.bounds);
        if (target.visibleRegion)
            area = area.Intersect(*target.visibleRegion);
        return area;
    }
    return Region(RECT{0, 0, dc.caps.horzRes, dc.caps.vertRes});
}

// What can be drawn: the surface limited by the clip region.
Region VisibleArea(DeviceContext& dc)
{
    Region area = SurfaceRegion(dc);
    if (dc.state.clip)
        area = area.Intersect(*dc.state.clip);
    return area;
}

int ClipComplexity(DeviceContext& dc)
{
    return VisibleArea(dc).Complexity();
}

// A region given in logical units, in device units: each rectangle mapped
// on its own (scaled rectangles that come to touch simply join).
Region LogicalRegionToDevice(const DcState& state, const Region& logical)
{
    if (state.windowExt.cx == state.viewportExt.cx && state.windowExt.cy == state.viewportExt.cy) {
        Region device = logical;
        device.Offset(state.viewportOrg.x - state.windowOrg.x, state.viewportOrg.y - state.windowOrg.y);
        return device;
    }
    Region device;
    for (const RECT& r : logical.Rects())
        device = device.Union(Region(LogicalRectToDevice(state, r)));
    return device;
}

} // namespace

} // namespace platform

using namespace platform;

// ---- Making regions ------------------------------------------------------------

HRGN CreateRectRgn(int x1, int y1, int x2, int y2)
{
    return NewRegion(Region(RECT{x1, y1, x2, y2}));
}

HRGN CreateRectRgnIndirect(const RECT* lprect)
{
    if (!lprect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    return CreateRectRgn(lprect->left, lprect->top, lprect->right, lprect->bottom);
}

HRGN CreateEllipticRgn(int x1, int y1, int x2, int y2)
{
    return NewRegion(Region::FromEllipse(RECT{x1, y1, x2, y2}));
}

HRGN CreateEllipticRgnIndirect(const RECT* lprect)
{
    if (!lprect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    return CreateEllipticRgn(lprect->left, lprect->top, lprect->right, lprect->bottom);
}

HRGN CreateRoundRectRgn(int x1, int y1, int x2, int y2, int w, int h)
{
    return NewRegion(Region::FromRoundRect(RECT{x1, y1, x2, y2}, w, h));
}

HRGN CreatePolygonRgn(const POINT* pptl, int cPoint, int iMode)
{
    return CreatePolyPolygonRgn(pptl, &cPoint, 1, iMode);
}

HRGN CreatePolyPolygonRgn(const POINT* pptl, const INT* pc, int cPoly, int iMode)
{
    if (!pptl || !pc || cPoly <= 0 || (iMode != ALTERNATE && iMode != WINDING)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    int64_t total = 0;
    for (int i = 0; i < cPoly; ++i) {
        if (pc[i] < 2) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return NULL;
        }
        total += pc[i];
        if (total > kMaxPolygonPoints) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return NULL;
        }
    }
    return NewRegion(Region::FromPolygons(pptl, pc, cPoly, iMode));
}

BOOL SetRectRgn(HRGN hrgn, int left, int top, int right, int bottom)
{
    RegionObject* r = LookupRegion(hrgn);
    if (!r)
        return FALSE;
    r->region = Region(RECT{left, top, right, bottom});
    return TRUE;
}

int CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode)
{
    RegionObject* dst = LookupRegion(hrgnDst);
    RegionObject* a = LookupRegion(hrgnSrc1);
    if (!dst || !a)
        return ERROR;
    if (iMode == RGN_COPY) {
        dst->region = a->region;
        return dst->region.Complexity();
    }
    RegionObject* b = LookupRegion(hrgnSrc2);
    if (!b || iMode < RGN_AND || iMode > RGN_DIFF)
        return ERROR;
    dst->region = a->region.Combine(b->region, iMode);
    return dst->region.Complexity();
}

int OffsetRgn(HRGN hrgn, int x, int y)
{
    RegionObject* r = LookupRegion(hrgn);
    if (!r)
        return ERROR;
    r->region.Offset(x, y);
    return r->region.Complexity();
}

int GetRgnBox(HRGN hrgn, LPRECT lprc)
{
    RegionObject* r = LookupRegion(hrgn);
    if (!r || !lprc)
        return ERROR;
    *lprc = r->region.Bounds();
    return r->region.Complexity();
}

DWORD GetRegionData(HRGN hrgn, DWORD nCount, LPRGNDATA lpRgnData)
{
    RegionObject* r = LookupRegion(hrgn);
    if (!r)
        return 0;
    const std::vector<RECT>& rects = r->region.Rects();
    const size_t nRects = rects.size();
    const size_t nNeeded = sizeof(RGNDATAHEADER) + nRects * sizeof(RECT);
    if (nNeeded > 0xFFFFFFFFu)
        return 0;
    if (!lpRgnData)
        return DWORD(nNeeded);
    if (nCount < nNeeded)
        return 0;
    lpRgnData->rdh.dwSize = sizeof(RGNDATAHEADER);
    lpRgnData->rdh.iType = RDH_RECTANGLES;
    lpRgnData->rdh.nCount = DWORD(nRects);
    lpRgnData->rdh.nRgnSize = DWORD(nRects * sizeof(RECT));
    lpRgnData->rdh.rcBound = r->region.Bounds();
    if (nRects > 0)
        std::memcpy(lpRgnData->Buffer, rects.data(), nRects * sizeof(RECT));
    return nCount;
}

BOOL PtInRegion(HRGN hrgn, int x, int y)
{
    RegionObject* r = LookupRegion(hrgn);
    return r && r->region.Contains(x, y);
}

BOOL RectInRegion(HRGN hrgn, const RECT* lprect)
{
    RegionObject* r = LookupRegion(hrgn);
    return r && lprect && r->region.Intersects(*lprect);
}

BOOL EqualRgn(HRGN hrgn1, HRGN hrgn2)
{
    RegionObject* a = LookupRegion(hrgn1);
    RegionObject* b = LookupRegion(hrgn2);
    if (!a || !b)
        return ERROR;
    return a->region == b->region;
}

// ---- Painting regions ----------------------------------------------------------

namespace {

BOOL PaintLogicalRegion(HDC hdc, HRGN hrgn, const BrushObject* brush, int rop2, const Region* device = nullptr)
{
    DeviceContext* dc = LookupDc(hdc);
    RegionObject* r = dc ? LookupRegion(hrgn) : nullptr;
    if (!r)
        return FALSE;
    RasterTarget target;
    if (!AcquireRaster(*dc, target))
        return TRUE;
    Region area = device ? *device : LogicalRegionToDevice(dc->state, r->region);
    area = area.Intersect(DrawableRegion(*dc, target));
    Paint paint = brush ? ResolveBrush(*dc, target, *brush) : Paint::Solid(0);
    PaintRegion(target, area, paint, rop2);
    return TRUE;
}

} // namespace

BOOL FillRgn(HDC hdc, HRGN hrgn, HBRUSH hbr)
{
    BrushObject* brush = LookupBrush(hbr);
    if (!brush)
        return FALSE;
    return PaintLogicalRegion(hdc, hrgn, brush, R2_COPYPEN);
}

BOOL PaintRgn(HDC hdc, HRGN hrgn)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc)
        return FALSE;
    return PaintLogicalRegion(hdc, hrgn, &CurrentBrush(*dc), dc->state.rop2);
}

BOOL InvertRgn(HDC hdc, HRGN hrgn)
{
    return PaintLogicalRegion(hdc, hrgn, nullptr, R2_NOT);
}

BOOL FrameRgn(HDC hdc, HRGN hrgn, HBRUSH hbr, int w, int h)
{
    DeviceContext* dc = LookupDc(hdc);
    RegionObject* r = dc ? LookupRegion(hrgn) : nullptr;
    BrushObject* brush = LookupBrush(hbr);
    if (!r || !brush)
        return FALSE;
    Region inside = LogicalRegionToDevice(dc->state, r->region);
    int dw = std::max(1, LogicalWidthToDevice(dc->state, w));
    int dh = std::max(1, std::abs(int(int64_t(h) * dc->state.viewportExt.cy / dc->state.windowExt.cy)));
    // The frame is what erosion by the pen's width and height takes away.
    Region eroded = inside;
    for (POINT shift : {POINT{dw, 0}, POINT{-dw, 0}, POINT{0, dh}, POINT{0, -dh}}) {
        Region moved = inside;
        moved.Offset(shift.x, shift.y);
        eroded = eroded.Intersect(moved);
    }
    Region frame = inside.Subtract(eroded);
    return PaintLogicalRegion(hdc, hrgn, brush, R2_COPYPEN, &frame);
}

// ---- Clipping ------------------------------------------------------------------

int SelectClipRgn(HDC hdc, HRGN hrgn)
{
    return ExtSelectClipRgn(hdc, hrgn, RGN_COPY);
}

int ExtSelectClipRgn(HDC hdc, HRGN hrgn, int mode)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc)
        return ERROR;
    if (!hrgn) {
        if (mode != RGN_COPY) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return ERROR;
        }
        dc->state.clip.reset();
        return ClipComplexity(*dc);
    }
    RegionObject* r = LookupRegion(hrgn);
    if (!r)
        return ERROR;
    if (mode < RGN_AND || mode > RGN_COPY) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return ERROR;
    }
    if (mode == RGN_COPY) {
        dc->state.clip = r->region;
    } else {
        Region current = dc->state.clip ? *dc->state.clip : SurfaceRegion(*dc);
        dc->state.clip = current.Combine(r->region, mode);
    }
    return ClipComplexity(*dc);
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc)
        return ERROR;
    Region rect(LogicalRectToDevice(dc->state, RECT{left, top, right, bottom}));
    dc->state.clip = dc->state.clip ? dc->state.clip->Intersect(rect) : rect;
    return ClipComplexity(*dc);
}

int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc)
        return ERROR;
    Region rect(LogicalRectToDevice(dc->state, RECT{left, top, right, bottom}));
    Region current = dc->state.clip ? *dc->state.clip : SurfaceRegion(*dc);
    dc->state.clip = current.Subtract(rect);
    return ClipComplexity(*dc);
}

int OffsetClipRgn(HDC hdc, int x, int y)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc)
        return ERROR;
    if (dc->state.clip) {
        const DcState& s = dc->state;
        int dx = int(int64_t(x) * s.viewportExt.cx / s.windowExt.cx);
        int dy = int(int64_t(y) * s.viewportExt.cy / s.windowExt.cy);
        dc->state.clip->Offset(dx, dy);
    }
    return ClipComplexity(*dc);
}

int GetClipBox(HDC hdc, LPRECT lprect)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc || !lprect)
        return ERROR;
    Region area = VisibleArea(*dc);
    RECT box = area.Bounds();
    POINT corners[2] = {POINT{box.left, box.top}, POINT{box.right, box.bottom}};
    for (POINT& p : corners)
        p = DeviceToLogical(dc->state, p);
    *lprect = RECT{std::min(corners[0].x, corners[1].x), std::min(corners[0].y, corners[1].y),
        std::max(corners[0].x, corners[1].x), std::max(corners[0].y, corners[1].y)};
    return area.Complexity();
}

int GetClipRgn(HDC hdc, HRGN hrgn)
{
    DeviceContext* dc = LookupDc(hdc);
    RegionObject* r = dc ? LookupRegion(hrgn) : nullptr;
    if (!r)
        return -1;
    if (!dc->state.clip)
        return 0;
    r->region = *dc->state.clip;
    return 1;
}

BOOL PtVisible(HDC hdc, int x, int y)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc)
        return FALSE;
    POINT p = LogicalToDevice(dc->state, POINT{x, y});
    return VisibleArea(*dc).Contains(p.x, p.y);
}

BOOL RectVisible(HDC hdc, const RECT* lprect)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc || !lprect)
        return FALSE;
    return VisibleArea(*dc).Intersects(LogicalRectToDevice(dc->state, *lprect));
}
