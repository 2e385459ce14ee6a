// Brushes: solid, hatched and 8 x 8 pattern brushes. How a brush paints a
// pixel is worked out at each use (Raster.cpp) from the DC's colours and
// brush origin.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/internal/GdiObjects.h"

#include <algorithm>

using namespace platform;

HBRUSH CreateSolidBrush(COLORREF color)
{
    auto brush = std::make_unique<BrushObject>();
    brush->log.lbStyle = BS_SOLID;
    brush->log.lbColor = color;
    return (HBRUSH)AddGdiObject(std::move(brush));
}

HBRUSH CreateHatchBrush(int iHatch, COLORREF color)
{
    if (iHatch < HS_HORIZONTAL || iHatch > HS_DIAGCROSS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    auto brush = std::make_unique<BrushObject>();
    brush->log.lbStyle = BS_HATCHED;
    brush->log.lbColor = color;
    brush->log.lbHatch = ULONG_PTR(iHatch);
    return (HBRUSH)AddGdiObject(std::move(brush));
}

HBRUSH CreatePatternBrush(HBITMAP hbm)
{
    BitmapObject* bitmap = LookupBitmap(hbm);
    if (!bitmap)
        return NULL;
    int w = std::min(bitmap->pixels.width, 8);
    int h = std::min(bitmap->pixels.height, 8);
    if (w <= 0 || h <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    auto brush = std::make_unique<BrushObject>();
    brush->log.lbStyle = BS_PATTERN;
    brush->log.lbHatch = ULONG_PTR(hbm);
    brush->pattern.Allocate(w, h);
    for (int y = 0; y < h; ++y)
        std::copy_n(bitmap->pixels.Row(y), w, brush->pattern.Row(y));
    brush->monoPattern = bitmap->bitsPixel == 1;
    return (HBRUSH)AddGdiObject(std::move(brush));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* plbrush)
{
    if (!plbrush) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    switch (plbrush->lbStyle) {
    case BS_SOLID:
        return CreateSolidBrush(plbrush->lbColor);
    case BS_NULL: {
        auto brush = std::make_unique<BrushObject>();
        brush->log.lbStyle = BS_NULL;
        return (HBRUSH)AddGdiObject(std::move(brush));
    }
    case BS_HATCHED:
        return CreateHatchBrush(int(plbrush->lbHatch), plbrush->lbColor);
    case BS_PATTERN:
        return CreatePatternBrush((HBITMAP)plbrush->lbHatch);
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
}
