// The system cursors, drawn here as 32 x 32 black-and-white pictures with a
// one-pixel outline so that they show on any background.

#include "platform/gdi/internal/IconImage.h"
#include "platform/ui/internal/Cursors.h"

#include <cmath>
#include <vector>

namespace platform {

namespace {

constexpr int kSize = 32;

struct PointF {
    double x;
    double y;
};

using Polygon = std::vector<PointF>;

struct Segment {
    PointF a;
    PointF b;
    double halfWidth;
};

struct Ring {
    PointF centre;
    double inner;
    double outer;
};

// A picture: the union of its parts is inked in `fill` and outlined in the
// other colour.
struct Drawing {
    std::vector<Polygon> polygons;
    std::vector<Segment> segments;
    std::vector<Ring> rings;
    bool whiteFill = true;
    POINT hotSpot{0, 0};
};

bool InPolygon(const Polygon& poly, double x, double y)
{
    bool inside = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const PointF& a = poly[i];
        const PointF& b = poly[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x)
            inside = !inside;
    }
    return inside;
}

bool OnSegment(const Segment& s, double x, double y)
{
    double dx = s.b.x - s.a.x;
    double dy = s.b.y - s.a.y;
    double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((x - s.a.x) * dx + (y - s.a.y) * dy) / len2 : 0;
    t = t < 0 ? 0 : t > 1 ? 1 : t;
    double px = s.a.x + t * dx - x;
    double py = s.a.y + t * dy - y;
    return px * px + py * py <= s.halfWidth * s.halfWidth;
}

bool Inked(const Drawing& d, int px, int py)
{
    double x = px + 0.5;
    double y = py + 0.5;
    for (const Polygon& p : d.polygons)
        if (InPolygon(p, x, y))
            return true;
    for (const Segment& s : d.segments)
        if (OnSegment(s, x, y))
            return true;
    for (const Ring& r : d.rings) {
        double dist = std::hypot(x - r.centre.x, y - r.centre.y);
        if (dist >= r.inner && dist <= r.outer)
            return true;
    }
    return false;
}

Polygon Rotated(const Polygon& poly, double degrees)
{
    double a = degrees * M_PI / 180.0;
    double c = std::cos(a);
    double s = std::sin(a);
    Polygon out;
    for (const PointF& p : poly) {
        double x = p.x - 16;
        double y = p.y - 16;
        out.push_back(PointF{16 + x * c - y * s, 16 + x * s + y * c});
    }
    return out;
}

Polygon Moved(const Polygon& poly, double dx, double dy)
{
    Polygon out;
    for (const PointF& p : poly)
        out.push_back(PointF{p.x + dx, p.y + dy});
    return out;
}

const Polygon kArrow{{1, 1}, {1, 22}, {6, 17}, {10, 25}, {13, 24}, {9, 16}, {16, 16}};
const Polygon kDoubleArrow{{16, 2}, {22, 8}, {18, 8}, {18, 24}, {22, 24}, {16, 30}, {10, 24}, {14, 24}, {14, 8},
    {10, 8}};
const Polygon kHourglass{{8, 2}, {24, 2}, {24, 4}, {17, 16}, {24, 28}, {24, 30}, {8, 30}, {8, 28}, {15, 16}, {8, 4}};

Drawing DrawingFor(int id)
{
    Drawing d;
    d.hotSpot = POINT{16, 16};
    switch (id) {
    case 32513: // I-beam
        d.whiteFill = false;
        d.segments = {{{16, 7}, {16, 25}, 0.6}, {{13, 6}, {19, 6}, 0.6}, {{13, 26}, {19, 26}, 0.6}};
        break;
    case 32514: // wait
        d.polygons = {kHourglass};
        break;
    case 32515: // cross
        d.whiteFill = false;
        d.segments = {{{16, 4}, {16, 28}, 0.6}, {{4, 16}, {28, 16}, 0.6}};
        break;
    case 32516: // up arrow
        d.polygons = {{{16, 1}, {24, 9}, {19, 9}, {19, 29}, {13, 29}, {13, 9}, {8, 9}}};
        d.hotSpot = POINT{16, 1};
        break;
    case 32641: // icon
        d.polygons = {{{8, 8}, {24, 8}, {24, 24}, {8, 24}}};
        break;
    case 32642: // north-west to south-east
        d.polygons = {Rotated(kDoubleArrow, -45)};
        break;
    case 32643: // north-east to south-west
        d.polygons = {Rotated(kDoubleArrow, 45)};
        break;
    case 32644: // west to east
        d.polygons = {Rotated(kDoubleArrow, 90)};
        break;
    case 32645: // north to south
        d.polygons = {kDoubleArrow};
        break;
    case 32640: // size (the old name of size-all)
    case 32646: // size all
        d.polygons = {kDoubleArrow, Rotated(kDoubleArrow, 90)};
        break;
    case 32648: // no
        d.whiteFill = false;
        d.rings = {{{16, 16}, 8, 11}};
        d.segments = {{{10.5, 10.5}, {21.5, 21.5}, 1.6}};
        break;
    case 32649: // hand
        d.polygons = {{{12, 1}, {16, 1}, {16, 11}, {26, 13}, {25, 26}, {21, 30}, {11, 30}, {5, 20}, {7, 18}, {12, 21}}};
        d.hotSpot = POINT{14, 1};
        break;
    case 32650: // arrow with a small hourglass
        d.polygons = {kArrow, Moved(Polygon{{0, 0}, {10, 0}, {10, 1}, {6, 7}, {10, 13}, {10, 14}, {0, 14}, {0, 13}, {4, 7}, {0, 1}}, 18, 16)};
        d.hotSpot = POINT{1, 1};
        break;
    case 32651: // arrow with a question mark
        d.polygons = {kArrow};
        d.segments = {{{20, 12}, {25, 12}, 1}, {{25, 12}, {25, 16}, 1}, {{25, 16}, {22.5, 18}, 1},
            {{22.5, 18}, {22.5, 21}, 1}, {{22.5, 24}, {22.5, 25}, 1}};
        d.hotSpot = POINT{1, 1};
        break;
    default: // the arrow
        d.polygons = {kArrow};
        d.hotSpot = POINT{1, 1};
        break;
    }
    return d;
}

} // namespace

bool IsSystemCursorId(int id)
{
    return (id >= 32512 && id <= 32516) || (id >= 32640 && id <= 32646) || (id >= 32648 && id <= 32651);
}

std::unique_ptr<IconObject> DrawSystemCursor(int id)
{
    Drawing d = DrawingFor(id);
    auto icon = std::make_unique<IconObject>();
    icon->isIcon = false;
    icon->shared = true;
    icon->hotspot = d.hotSpot;
    if (!icon->color.Allocate(kSize, kSize, 0))
        return nullptr;
    icon->mask.assign(size_t(kSize) * kSize, 1);
    std::vector<bool> ink(size_t(kSize) * kSize, false);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            ink[size_t(y) * kSize + size_t(x)] = Inked(d, x, y);
    uint32_t fill = d.whiteFill ? 0xFFFFFF : 0x000000;
    uint32_t edge = d.whiteFill ? 0x000000 : 0xFFFFFF;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            size_t i = size_t(y) * kSize + size_t(x);
            bool outline = false;
            if (!ink[i]) {
                for (int dy = -1; dy <= 1 && !outline; ++dy)
                    for (int dx = -1; dx <= 1 && !outline; ++dx) {
                        int nx = x + dx;
                        int ny = y + dy;
                        outline = nx >= 0 && ny >= 0 && nx < kSize && ny < kSize && ink[size_t(ny) * kSize + size_t(nx)];
                    }
            }
            if (ink[i] || outline) {
                icon->color.Row(y)[x] = ink[i] ? fill : edge;
                icon->mask[i] = 0;
            }
        }
    }
    return icon;
}

} // namespace platform
