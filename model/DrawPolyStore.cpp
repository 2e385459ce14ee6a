// The polygon's record in the design file: after the base record, the
// point count, the capacity and the points.

#include "model/DrawPoly.h"
#include "model/DesignArchive.h"
#include "platform/base/Archive.h"

void CDrawPoly::Serialize(CArchive& ar)
{
    CDrawObj::Serialize(ar);
    if (ar.IsStoring()) {
        // AddPoint and SetPoints keep both within 16 bits.
        ar << static_cast<WORD>(m_nPoints) << static_cast<WORD>(m_nAllocPoints);
        for (int i = 0; i < m_nPoints; ++i)
            ar << static_cast<LONG>(m_points[i].x) << static_cast<LONG>(m_points[i].y);
        return;
    }
    WORD wCount = 0;
    WORD wCapacity = 0;
    ar >> wCount >> wCapacity;
    // A stored capacity below the count would leave points without room.
    const int nCapacity = wCapacity < wCount ? wCount : wCapacity;
    std::unique_ptr<POINT[]> points;
    if (nCapacity > 0)
        points = std::make_unique<POINT[]>(static_cast<size_t>(nCapacity));
    for (int i = 0; i < wCount; ++i) {
        LONG x = 0;
        LONG y = 0;
        ar >> x >> y;
        points[i] = POINT{ClampDesignCoordinate(x), ClampDesignCoordinate(y)};
    }
    // The stored rectangle is kept as it was written.
    m_points = std::move(points);
    m_nPoints = wCount;
    m_nAllocPoints = nCapacity;
}
