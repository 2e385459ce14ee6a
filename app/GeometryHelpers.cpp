#include "app/GeometryHelpers.h"

#include "app/PointArray.h"
#include "platform/base/LineDda.h"

#include <algorithm>
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

} // namespace

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
