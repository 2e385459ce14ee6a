#include "app/GeometryHelpers.h"

#include "app/DcStateSaver.h"
#include "app/DeviceColors.h"
#include "app/PointArray.h"
#include "app/RectGeometry.h"
#include "platform/base/LineDda.h"
#include "platform/gdi/Dc.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

struct Collector {
    POINT* pOut;
    int nCount;
    int nLimit;
};

// A line covers one pixel per step along its longer axis, its end point
// excluded. Counted arithmetically so that a huge segment in a damaged file is
// refused at once instead of being walked.
int64_t SegmentPixels(const POINT& a, const POINT& b)
{
    int64_t dx = std::llabs(int64_t(b.x) - a.x);
    int64_t dy = std::llabs(int64_t(b.y) - a.y);
    return std::max(dx, dy);
}

void CALLBACK StorePoint(int x, int y, LPARAM lParam)
{
    auto* c = reinterpret_cast<Collector*>(lParam);
    if (c->nCount < c->nLimit)
        c->pOut[c->nCount] = POINT{x, y};
    ++c->nCount;
}

int EdgeLength(POINT a, POINT b)
{
    return int(std::hypot(double(b.x) - a.x, double(b.y) - a.y));
}

// Point i of n equal steps from a to b; step n is b itself.
POINT StepPoint(POINT a, POINT b, int i, int n)
{
    if (i >= n)
        return b;
    double t = double(i) / n;
    return POINT{RoundHalfAwayFromZero(a.x + (double(b.x) - a.x) * t), RoundHalfAwayFromZero(a.y + (double(b.y) - a.y) * t)};
}

void FillStrip(CDC* pDC, const POINT (&corners)[4], COLORREF color)
{
    CBrush brush(color);
    CBrush* pOld = pDC->SelectObject(&brush);
    pDC->Polygon(corners, 4);
    pDC->SelectObject(pOld);
}

} // namespace

int FixedToInt(LONG value)
{
    return RoundFixed(value);
}

POINT RoundFixedPoint(LONG x, LONG y)
{
    return POINT{RoundFixed(x), RoundFixed(y)};
}

BOOL PolylineToPoints(CPointArray& points)
{
    int n = points.GetCount();
    if (n < 2)
        return TRUE;
    const POINT* p = points.GetData();

    int64_t total = 0;
    for (int i = 0; i + 1 < n && total < kMaxPolylinePoints; ++i)
        total += SegmentPixels(p[i], p[i + 1]);
    if (total >= kMaxPolylinePoints)
        return FALSE;
    const int count = static_cast<int>(total);

    // A polyline whose segments are all single points covers no pixels; the
    // array keeps its one allocated element.
    POINT* pOut = new POINT[count > 0 ? count : 1]();
    Collector store{pOut, 0, count};
    for (int i = 0; i + 1 < n; ++i)
        LineDDA(p[i].x, p[i].y, p[i + 1].x, p[i + 1].y, StorePoint, reinterpret_cast<LPARAM>(&store));
    points.Adopt(pOut, count);
    return TRUE;
}

void ShadeQuadrilateral(CDC* pDC, POINT p0, POINT p1, POINT p2, POINT p3, const COLORREF* pColors, int nColors,
    int nDirection, int nSteps)
{
    if (!pDC || !pColors || nColors < 1)
        return;
    // The strips run between edge a (from a0 to a1) and edge b (b0 to b1).
    POINT a0 = p0, a1 = p1, b0 = p3, b1 = p2;
    if (nDirection == 1) {
        a0 = p1;
        a1 = p2;
        b0 = p0;
        b1 = p3;
    }
    const int steps = std::min(nSteps, std::max(EdgeLength(a0, a1), EdgeLength(b0, b1)));
    const int transitions = nColors - 1;

    CDCStateSaver saver(pDC);
    pDC->SelectStockObject(NULL_BRUSH);
    pDC->SelectStockObject(NULL_PEN);
    const int colorClass = GetDeviceColorClass(pDC);

    // Nothing to step through: one solid fill, never a division by zero.
    if (transitions < 1 || steps < 1 || steps < transitions) {
        POINT whole[4] = {a0, a1, b1, b0};
        FillStrip(pDC, whole, QuantizeColor(GetRValue(pColors[0]), GetGValue(pColors[0]), GetBValue(pColors[0]), colorClass));
        return;
    }

    int done = 0;
    for (int k = 0; k < transitions; ++k) {
        const int n = steps / transitions + (k < steps % transitions ? 1 : 0);
        const COLORREF from = pColors[k];
        const COLORREF to = pColors[k + 1];
        double r = GetRValue(from), g = GetGValue(from), b = GetBValue(from);
        const double dr = (double(GetRValue(to)) - r) / n;
        const double dg = (double(GetGValue(to)) - g) / n;
        const double db = (double(GetBValue(to)) - b) / n;
        for (int i = 0; i < n; ++i, ++done) {
            POINT strip[4] = {StepPoint(a0, a1, done, steps), StepPoint(a0, a1, done + 1, steps),
                StepPoint(b0, b1, done + 1, steps), StepPoint(b0, b1, done, steps)};
            FillStrip(pDC, strip, QuantizeColor(int(r), int(g), int(b), colorClass));
            r += dr;
            g += dg;
            b += db;
        }
    }
}
