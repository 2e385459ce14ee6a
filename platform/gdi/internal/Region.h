#pragma once
// A region: a set of pixels kept as y-x banded rectangles. Rectangles are
// sorted by top, then left; rectangles of one band share top and bottom,
// never touch or overlap, and two adjacent bands never hold the same spans
// (they are merged). The empty region has no rectangles and empty bounds.
// Coordinates are whatever space the owner keeps it in (HRGNs and clip
// regions: device units). Copies share their rectangles until one of them
// changes: a DC's saved states, its clip and the region a paint is clipped
// to are the same rectangles, copied in constant time and found equal at
// once.

#include "platform/base/Types.h"

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace platform {

class Region {
public:
    Region() = default;
    Region(const Region& other) = default;
    Region(Region&& other) noexcept;
    Region& operator=(const Region& other) = default;
    Region& operator=(Region&& other) noexcept;
    // Normalised; an empty rectangle gives the empty region.
    explicit Region(const RECT& rect);

    // Polygons scan-converted at pixel centres: pixel (x, y) is inside when
    // (x + 0.5, y + 0.5) is, by the even-odd (ALTERNATE) or non-zero
    // (WINDING) rule over all polygons together, so holes stay holes. Rows
    // beyond +-2^20 are not scanned.
    static Region FromPolygons(const POINT* points, const int* counts, int polygonCount, int fillMode);
    static Region FromPolygon(const POINT* points, int count, int fillMode);
    // The ellipse inscribed in the rectangle (right and bottom exclusive).
    static Region FromEllipse(const RECT& rect);
    static Region FromRoundRect(const RECT& rect, int cornerWidth, int cornerHeight);

    bool IsEmpty() const { return m_data == nullptr; }
    const RECT& Bounds() const { return m_bounds; }
    // NULLREGION, SIMPLEREGION or COMPLEXREGION.
    int Complexity() const;
    const std::vector<RECT>& Rects() const;

    // RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF (this minus other), RGN_COPY.
    Region Combine(const Region& other, int mode) const;
    Region Intersect(const Region& other) const { return Combine(other, 1); }
    Region Intersect(const RECT& rect) const;
    Region Union(const Region& other) const { return Combine(other, 2); }
    Region Subtract(const Region& other) const { return Combine(other, 4); }
    void Offset(int dx, int dy);

    bool Contains(int x, int y) const;
    // Whether any pixel of the (normalised) rectangle is in the region.
    bool Intersects(const RECT& rect) const;
    bool operator==(const Region& other) const;

    // Builds from rectangles already in banded order (used by the
    // converters); merges equal adjacent bands and sets the bounds.
    static Region FromBands(std::vector<RECT> rects);

private:
    // Whether `rect` covers every pixel of the non-empty `region`.
    static bool Encloses(const RECT& rect, const Region& region);
    // Whether combining leaves the region's rectangles as they are; worked
    // out once for the rectangles and kept with them.
    bool IsNormalised() const;
    bool CheckNormalised() const;
    // The intersection with a rectangle, for a normalised region: its
    // rectangles clipped one by one.
    Region ClipToRect(const RECT& rect) const;

    struct Storage;
    // Never empty when present: the empty region holds none.
    std::shared_ptr<Storage> m_data;
    RECT m_bounds{0, 0, 0, 0};
};

// Row spans [first, end) of pixels, sorted and disjoint.
using ScanSpans = std::vector<std::pair<int, int>>;

// The scan conversion behind Region::FromPolygons, for callers that paint
// the rows straight away: `row` gets every row in [rowFirst, rowEnd) that
// has pixels inside, with its spans, in increasing y.
void ScanPolygons(const POINT* points, const int* counts, int polygonCount, int fillMode, int rowFirst, int rowEnd,
    const std::function<void(int y, const ScanSpans& spans)>& row);

} // namespace platform
