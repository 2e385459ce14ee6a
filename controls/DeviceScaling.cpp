#include "controls/DeviceScaling.h"

#include "app/PointArray.h"
#include "platform/gdi/Dc.h"

namespace {

POINT ScalePoint(CDC* pDC, POINT pt, POINT origin)
{
    SIZE scaled{pt.x, pt.y};
    pDC->LPtoDP(&scaled);
    return POINT{scaled.cx + origin.x, scaled.cy + origin.y};
}

} // namespace

void ScaleRectToDevice(CDC* pDC, RECT& rc)
{
    if (pDC == nullptr)
        return;
    POINT origin = pDC->GetViewportOrg();
    POINT topLeft = ScalePoint(pDC, POINT{rc.left, rc.top}, origin);
    POINT bottomRight = ScalePoint(pDC, POINT{rc.right, rc.bottom}, origin);
    rc = RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

void ScalePointsToDevice(CDC* pDC, CPointArray& points)
{
    if (pDC == nullptr)
        return;
    POINT origin = pDC->GetViewportOrg();
    POINT* pPoints = points.GetData();
    for (int i = 0; i < points.GetCount(); ++i)
        pPoints[i] = ScalePoint(pDC, pPoints[i], origin);
}
