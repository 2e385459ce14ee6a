// Pens: the logical pen records; how they draw is in Shapes.cpp.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/internal/GdiObjects.h"

using namespace platform;

HPEN CreatePen(int iStyle, int cWidth, COLORREF color)
{
    if (iStyle < PS_SOLID || iStyle > PS_INSIDEFRAME) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    auto pen = std::make_unique<PenObject>();
    pen->log.lopnStyle = UINT(iStyle);
    pen->log.lopnWidth = POINT{cWidth < 0 ? 0 : cWidth, 0};
    pen->log.lopnColor = color;
    return (HPEN)AddGdiObject(std::move(pen));
}

HPEN CreatePenIndirect(const LOGPEN* plpen)
{
    if (!plpen) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    return CreatePen(int(plpen->lopnStyle), plpen->lopnWidth.x, plpen->lopnColor);
}
