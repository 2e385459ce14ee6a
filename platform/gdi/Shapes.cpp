// Lines, polygons, rectangles, ellipses and arcs with GDI's pixel rules:
// a figure's path runs through the pixels at its corner coordinates, the
// fill takes the pixels whose centres lie inside that path (so right and
// bottom edges stay out), thin pens light the path's pixels in LineDDA order
// without the end point of a line, and wide pens are stroked by Cairo with
// antialiasing off. Every pixel goes through the DC's ROP2, and no pixel of
// one figure is painted twice, so XOR drawing undoes itself.

#include "platform/gdi/Display.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/PixelBuffer.h"
#include "platform/gdi/internal/DeviceContext.h"
#include "platform/gdi/internal/GdiObjects.h"
#include "platform/gdi/internal/Raster.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform {

namespace {

// Drawing figures larger than this many points is refused.
constexpr int64_t kMaxPoints = 1 << 22;

struct Canvas {
    DeviceContext* dc = nullptr;
    RasterTarget target;
    bool raster = false;
    Region area; // device pixels that may be written
};

bool Begin(HDC hdc, Canvas& c)
{
    c.dc = LookupDc(hdc);
    if (!c.dc)
        return false;
    c.raster = AcquireRaster(*c.dc, c.target);
    if (c.raster)
        c.area = DrawableRegion(*c.dc, c.target);
    return true;
}

struct Pen {
    bool none = true;
    UINT style = PS_SOLID;
    int width = 1; // device pixels, at least 1
    bool thin = true;
    bool insideFrame = false;
    COLORREF color = 0;
    uint32_t pixel = 0;
    uint32_t gapPixel = 0;
    bool paintGaps = false;
};

Pen ResolvePen(const Canvas& c)
{
    const PenObject& object = CurrentPen(*c.dc);
    Pen pen;
    pen.style = object.log.lopnStyle;
    pen.none = pen.style == PS_NULL;
    pen.width = std::max(1, LogicalWidthToDevice(c.dc->state, object.log.lopnWidth.x));
    pen.thin = pen.width <= 1;
    // Styles exist only for one-pixel pens; wider ones draw solid.
    if (!pen.thin && pen.style >= PS_DASH && pen.style <= PS_DASHDOTDOT)
        pen.style = PS_SOLID;
    pen.insideFrame = pen.style == PS_INSIDEFRAME;
    pen.color = object.log.lopnColor;
    pen.pixel = TargetPixel(*c.dc, c.target, pen.color);
    pen.gapPixel = TargetPixel(*c.dc, c.target, c.dc->state.bkColor);
    pen.paintGaps = c.dc->state.bkMode == OPAQUE;
    return pen;
}

// Dash lengths in pixels, on and off alternately.
const std::vector<int>& StylePattern(UINT style)
{
    static const std::vector<int> solid;
    static const std::vector<int> dash{18, 6};
    static const std::vector<int> dot{3, 3};
    static const std::vector<int> dashDot{9, 6, 3, 6};
    static const std::vector<int> dashDotDot{9, 3, 3, 3, 3, 3};
    switch (style) {
    case PS_DASH:
        return dash;
    case PS_DOT:
        return dot;
    case PS_DASHDOT:
        return dashDot;
    case PS_DASHDOTDOT:
        return dashDotDot;
    default:
        return solid;
    }
}

bool StyleOn(UINT style, int64_t position)
{
    const std::vector<int>& pattern = StylePattern(style);
    if (pattern.empty())
        return true;
    int period = 0;
    for (int n : pattern)
        period += n;
    int p = int(position % period);
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (p < pattern[i])
            return i % 2 == 0;
        p -= pattern[i];
    }
    return true;
}

// The pixels a thin pen lights, each with whether it is a dash (true) or a
// gap of a styled pen.
struct ThinPixel {
    POINT p;
    bool on;
};

struct ThinTrace {
    UINT style = PS_SOLID;
    int64_t position = 0; // along the style pattern, carried over joined segments
    RECT bounds{};        // device pixels that can be painted; the rest is only counted
    std::vector<ThinPixel> pixels;
};

void CALLBACK CollectPoint(int x, int y, LPARAM data)
{
    ThinTrace& trace = *reinterpret_cast<ThinTrace*>(data);
    trace.pixels.push_back(ThinPixel{POINT{x, y}, StyleOn(trace.style, trace.position)});
    ++trace.position;
}

// The steps [first, last) of a line of `steps` steps along its major axis
// whose pixels can fall inside the bounds: the line's pixel at step i lies
// within one pixel of a + i (b - a) / steps, so a margin of two steps keeps
// every visible pixel. A line from a damaged metafile may run for billions
// of pixels; only the visible stretch is walked.
void VisibleSteps(POINT a, POINT b, int64_t steps, const RECT& bounds, int64_t& first, int64_t& last)
{
    double lo = 0, hi = double(steps);
    auto limit = [&](double start, double delta, double min, double max) {
        if (delta == 0) {
            if (start < min - 1 || start > max + 1)
                hi = lo - 1;
            return;
        }
        double t0 = (min - 1 - start) * double(steps) / delta;
        double t1 = (max + 1 - start) * double(steps) / delta;
        lo = std::max(lo, std::min(t0, t1) - 2);
        hi = std::min(hi, std::max(t0, t1) + 2);
    };
    limit(a.x, double(b.x) - a.x, bounds.left, bounds.right);
    limit(a.y, double(b.y) - a.y, bounds.top, bounds.bottom);
    if (hi < lo) {
        first = last = steps;
        return;
    }
    first = std::clamp(int64_t(std::floor(lo)), int64_t(0), steps);
    last = std::clamp(int64_t(std::ceil(hi)) + 1, first, steps);
}

void TraceSegment(ThinTrace& trace, POINT a, POINT b)
{
    const int64_t dx = int64_t(b.x) - a.x;
    const int64_t dy = int64_t(b.y) - a.y;
    const int64_t steps = std::max(std::llabs(dx), std::llabs(dy));
    int64_t first = 0, last = steps;
    VisibleSteps(a, b, steps, trace.bounds, first, last);
    if (first == 0 && last == steps) {
        LineDDA(a.x, a.y, b.x, b.y, CollectPoint, reinterpret_cast<LPARAM>(&trace));
        return;
    }
    // The same pixels LineDDA gives for those steps: the minor offset of step
    // i is i * minor / steps rounded to nearest, halves going down.
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const __int128 minor = xMajor ? std::llabs(dy) : std::llabs(dx);
    const int sx = dx < 0 ? -1 : 1;
    const int sy = dy < 0 ? -1 : 1;
    trace.position += first;
    for (int64_t i = first; i < last; ++i) {
        const int64_t offset = int64_t((2 * __int128(i) * minor + steps - 1) / (2 * __int128(steps)));
        const int64_t x = xMajor ? a.x + sx * i : a.x + sx * offset;
        const int64_t y = xMajor ? a.y + sy * offset : a.y + sy * i;
        CollectPoint(int(x), int(y), reinterpret_cast<LPARAM>(&trace));
    }
    trace.position += steps - last;
}

// The figure's path through device points, open or closed; only pixels near
// the bounds are collected.
ThinTrace TracePath(const Pen& pen, const std::vector<POINT>& points, bool closed, const RECT& bounds)
{
    ThinTrace trace;
    trace.style = pen.style;
    trace.bounds = bounds;
    for (size_t i = 0; i + 1 < points.size(); ++i)
        TraceSegment(trace, points[i], points[i + 1]);
    if (closed && points.size() > 1)
        TraceSegment(trace, points.back(), points.front());
    return trace;
}

bool InArea(const Region& area, int x, int y)
{
    const RECT& b = area.Bounds();
    if (x < b.left || x >= b.right || y < b.top || y >= b.bottom)
        return false;
    return area.Rects().size() == 1 || area.Contains(x, y);
}

// The pixels a trace actually paints (gaps of a transparent styled pen
// paint nothing), as a region.
Region PaintedRegion(const Pen& pen, const ThinTrace& trace)
{
    std::vector<POINT> points;
    points.reserve(trace.pixels.size());
    for (const ThinPixel& t : trace.pixels)
        if (t.on || pen.paintGaps)
            points.push_back(t.p);
    std::sort(points.begin(), points.end(), [](POINT a, POINT b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    std::vector<RECT> rects;
    for (size_t i = 0; i < points.size();) {
        size_t j = i + 1;
        int right = points[i].x + 1;
        while (j < points.size() && points[j].y == points[i].y && points[j].x <= right) {
            right = std::max<int>(right, points[j].x + 1);
            ++j;
        }
        rects.push_back(RECT{points[i].x, points[i].y, right, points[i].y + 1});
        i = j;
    }
    return Region::FromBands(std::move(rects));
}

void PaintTrace(const Canvas& c, const Pen& pen, const ThinTrace& trace)
{
    int rop2 = c.dc->state.rop2;
    for (const ThinPixel& t : trace.pixels) {
        if (!t.on && !pen.paintGaps)
            continue;
        if (InArea(c.area, t.p.x, t.p.y))
            PaintPixel(c.target, t.p.x, t.p.y, t.on ? pen.pixel : pen.gapPixel, rop2);
    }
}

RECT PointsBox(const std::vector<POINT>& points, int margin)
{
    RECT box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (const POINT& p : points) {
        box.left = std::min(box.left, p.x);
        box.top = std::min(box.top, p.y);
        box.right = std::max(box.right, p.x + 1);
        box.bottom = std::max(box.bottom, p.y + 1);
    }
    auto widen = [](LONG v, int64_t d) { return LONG(std::clamp<int64_t>(int64_t(v) + d, INT32_MIN, INT32_MAX)); };
    return RECT{widen(box.left, -margin), widen(box.top, -margin), widen(box.right, margin), widen(box.bottom, margin)};
}

RECT IntersectRects(const RECT& a, const RECT& b)
{
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    if (r.left >= r.right || r.top >= r.bottom)
        return RECT{0, 0, 0, 0};
    return r;
}

// The parts of a path stroked by a pen reaching `reach` pixels from it
// that can light pixels of `box`: the runs of segments that come that near
// it. A path near the box all along comes back whole, closed if it was;
// otherwise each run is an open piece whose cut ends lie further than the
// pen reaches from the box, so that their caps light nothing in it and the
// pixels in the box are those the whole path lights. A figure cut by the
// clip (a partial repaint, the view's edge) is stroked for what is seen.
struct PathPieces {
    const POINT* whole = nullptr; // the path itself, when it is not cut
    std::vector<POINT> cut;       // else the pieces' points one after another
    std::vector<int> counts;
    bool closed = false;
    const POINT* Points() const { return whole != nullptr ? whole : cut.data(); }
};

PathPieces PiecesNear(const std::vector<POINT>& points, bool closed, const RECT& box, const RECT& pathBox, int reach)
{
    PathPieces pieces;
    const size_t n = points.size();
    // A path whose box the clip leaves whole needs no look at its segments.
    const bool uncut = box.left <= pathBox.left && box.top <= pathBox.top && box.right >= pathBox.right
        && box.bottom >= pathBox.bottom;
    const size_t segments = n < 2 || uncut ? 0 : closed ? n : n - 1;
    auto near = [&](size_t i) {
        const POINT& a = points[i];
        const POINT& b = points[i + 1 < n ? i + 1 : 0];
        return int64_t(std::min(a.x, b.x)) - reach < box.right && int64_t(std::max(a.x, b.x)) + reach >= box.left
            && int64_t(std::min(a.y, b.y)) - reach < box.bottom && int64_t(std::max(a.y, b.y)) + reach >= box.top;
    };
    size_t start = segments;
    for (size_t i = 0; i < segments && start == segments; ++i)
        if (!near(i))
            start = i;
    if (start == segments) {
        pieces.whole = points.data();
        pieces.counts.push_back(int(n));
        pieces.closed = closed;
        return pieces;
    }
    // From the first segment left out, so that a closed path's run across
    // its starting point stays one piece.
    size_t runStart = 0;
    bool inRun = false;
    for (size_t k = 1; k <= segments; ++k) {
        const size_t i = closed ? (start + k) % segments : k - 1;
        if (!near(i)) {
            if (inRun)
                pieces.counts.push_back(int(pieces.cut.size() - runStart));
            inRun = false;
            continue;
        }
        if (!inRun) {
            runStart = pieces.cut.size();
            pieces.cut.push_back(points[i]);
            inRun = true;
        }
        pieces.cut.push_back(points[i + 1 < n ? i + 1 : 0]);
    }
    if (inRun)
        pieces.counts.push_back(int(pieces.cut.size() - runStart));
    return pieces;
}

// Adds the pieces to Cairo's path, on the pixel centres of their points
// moved by `shift`. The context keeps its identity transform, which spares
// Cairo a multiplication for every point.
void TracePieces(cairo_t* cr, const PathPieces& pieces, POINT shift)
{
    const POINT* points = pieces.Points();
    const double sx = shift.x + 0.5;
    const double sy = shift.y + 0.5;
    size_t at = 0;
    for (int count : pieces.counts) {
        cairo_move_to(cr, points[at].x + sx, points[at].y + sy);
        for (int i = 1; i < count; ++i)
            cairo_line_to(cr, points[at + size_t(i)].x + sx, points[at + size_t(i)].y + sy);
        if (pieces.closed)
            cairo_close_path(cr);
        at += size_t(count);
    }
}

// How far from its path a pen can light pixels.
int PenReach(const Pen& pen)
{
    return pen.width / 2 + 2;
}

// A wide pen along the path: round caps and joins, centred on the pixel
// centres of the points. Cairo lights a pixel more here and there along the
// edge of the area it is clipped to, so the mask reaches a little beyond
// the clip's box: the pixels the clip lets through are those the stroke
// lights unclipped.
Mask StrokeMask(const Canvas& c, const Pen& pen, const std::vector<POINT>& points, bool closed)
{
    constexpr int kBeyondClip = 2;
    const RECT pathBox = PointsBox(points, pen.width + 2);
    const RECT& clip = c.area.Bounds();
    const RECT box = IntersectRects(pathBox,
        RECT{clip.left - kBeyondClip, clip.top - kBeyondClip, clip.right + kBeyondClip, clip.bottom + kBeyondClip});
    const PathPieces pieces = PiecesNear(points, closed, box, pathBox, PenReach(pen));
    return RasterizeWithCairo(box, [&](cairo_t* cr) {
        cairo_identity_matrix(cr);
        cairo_set_line_width(cr, pen.width);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        TracePieces(cr, pieces, POINT{-box.left, -box.top});
        cairo_stroke(cr);
    });
}

std::vector<POINT> ToDevice(const DcState& state, const POINT* points, size_t count)
{
    std::vector<POINT> out(count);
    for (size_t i = 0; i < count; ++i)
        out[i] = LogicalToDevice(state, points[i]);
    return out;
}

// ---- Straight painting -------------------------------------------------------

// A figure with a solid, patterned or null brush and a null, solid thin or
// wide pen, drawn with R2_COPYPEN, is painted straight into the pixels:
// copying a colour onto a pixel twice leaves what copying it once does, so
// the fill may run under the outline and neither needs to be gathered into
// a region first. Fills are clipped row by row and thin pens pixel by
// pixel, to any clip; wide ones are stroked by Cairo clipped to their box,
// or through a mask when the clip cuts them. Other ROP2s
// (which must touch each pixel once) and styled thin pens go through
// regions.
bool PaintsDirectly(const Canvas& c, const Pen& pen)
{
    if (!c.raster || !c.target.buffer || c.dc->state.rop2 != R2_COPYPEN)
        return false;
    return pen.none || !pen.thin || pen.style == PS_SOLID || pen.style == PS_INSIDEFRAME;
}

// The canvas limited to the box a figure can paint in. Under a clip of many
// rectangles (the update region of a partial repaint) a figure meets only
// a few of them, often one: the straight painters then take their paths
// for one rectangle, and the clip tests cost what the figure meets rather
// than the whole region. `narrowed` holds the copy when one is needed.
const Canvas& NarrowToBox(const Canvas& c, const RECT& box, Canvas& narrowed)
{
    if (c.area.Rects().size() <= 1)
        return c;
    narrowed.dc = c.dc;
    narrowed.target = c.target;
    narrowed.raster = c.raster;
    narrowed.area = c.area.Intersect(box);
    return narrowed;
}

// Fills the polygons by the rule of Region::FromPolygons, row by row, each
// row's spans cut to the band of the drawable area that holds the row.
void FillPolygonsDirectly(const Canvas& c, const std::vector<POINT>& points, const std::vector<int>& counts, const Paint& paint)
{
    const RECT& clip = c.area.Bounds();
    const std::vector<RECT>& bands = c.area.Rects();
    const bool solid = paint.kind == Paint::Kind::Solid;
    PixelBuffer& buffer = *c.target.buffer;
    size_t band = 0;
    ScanPolygons(points.data(), counts.data(), int(counts.size()), c.dc->state.polyFillMode, clip.top, clip.bottom,
        [&](int y, const ScanSpans& spans) {
            // Rows come in increasing y; the rectangles of a band share its
            // top and bottom.
            while (band < bands.size() && bands[band].bottom <= y)
                ++band;
            if (band >= bands.size() || bands[band].top > y)
                return;
            const LONG top = bands[band].top;
            size_t k = band;
            for (auto [first, end] : spans) {
                while (k < bands.size() && bands[k].top == top && bands[k].right <= first)
                    ++k;
                for (size_t m = k; m < bands.size() && bands[m].top == top && bands[m].left < end; ++m) {
                    const int from = std::max<int>(first, bands[m].left);
                    const int to = std::min<int>(end, bands[m].right);
                    if (from >= to)
                        continue;
                    if (solid)
                        std::fill(buffer.Row(y + c.target.origin.y) + c.target.origin.x + from,
                            buffer.Row(y + c.target.origin.y) + c.target.origin.x + to, paint.color);
                    else
                        CopySpan(c.target, y, from, to, paint);
                }
            }
        });
}

// A solid one-pixel pen painted straight into the pixels: the pixels
// TracePath gives the path, each segment walked only along its stretch
// inside the clip rectangle, without gathering them first.
void TraceDirectly(const Canvas& c, const std::vector<POINT>& points, bool closed, uint32_t pixel)
{
    const RECT& bounds = c.area.Bounds();
    if (bounds.left >= bounds.right || bounds.top >= bounds.bottom)
        return;
    PixelBuffer& buffer = *c.target.buffer;
    // Walks the segment's stretch inside one clip rectangle.
    auto walk = [&](POINT a, POINT b, const RECT& clip) {
        const int64_t dx = int64_t(b.x) - a.x;
        const int64_t dy = int64_t(b.y) - a.y;
        const int64_t steps = std::max(std::llabs(dx), std::llabs(dy));
        int64_t first = 0, last = steps;
        // A segment with both ends inside is walked whole.
        auto inside = [&](POINT p) {
            return p.x >= clip.left && p.x < clip.right && p.y >= clip.top && p.y < clip.bottom;
        };
        if (!inside(a) || !inside(b))
            VisibleSteps(a, b, steps, clip, first, last);
        if (first >= last)
            return;
        const bool xMajor = std::llabs(dx) >= std::llabs(dy);
        const int64_t minor = xMajor ? std::llabs(dy) : std::llabs(dx);
        const int sx = dx < 0 ? -1 : 1;
        const int sy = dy < 0 ? -1 : 1;
        // LineDDA's minor offset of step i, floor((2 i minor + steps - 1) /
        // (2 steps)), kept as a quotient and a remainder from the first step.
        int64_t offset = 0;
        int64_t remainder = steps - 1;
        if (first > 0) {
            const __int128 start = 2 * __int128(first) * minor + steps - 1;
            offset = int64_t(start / (2 * __int128(steps)));
            remainder = int64_t(start % (2 * __int128(steps)));
        }
        for (int64_t i = first; i < last; ++i) {
            const int64_t x = xMajor ? a.x + sx * i : a.x + sx * offset;
            const int64_t y = xMajor ? a.y + sy * offset : a.y + sy * i;
            if (x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom)
                buffer.Row(int(y) + c.target.origin.y)[c.target.origin.x + x] = pixel;
            remainder += 2 * minor;
            if (remainder >= 2 * steps) {
                remainder -= 2 * steps;
                ++offset;
            }
        }
    };
    // Under a complex clip each segment is walked through the clip's
    // rectangles that its box meets, found by halving: the rectangles are
    // apart, so each pixel is lit at most once, and none is looked up.
    const std::vector<RECT>& rects = c.area.Rects();
    auto segment = [&](POINT a, POINT b) {
        if (rects.size() <= 1) {
            walk(a, b, bounds);
            return;
        }
        const LONG top = std::min(a.y, b.y);
        const LONG bottom = std::max(a.y, b.y);
        const LONG left = std::min(a.x, b.x);
        const LONG right = std::max(a.x, b.x);
        auto r = std::upper_bound(rects.begin(), rects.end(), top, [](LONG row, const RECT& q) { return row < q.bottom; });
        for (; r != rects.end() && r->top <= bottom; ++r)
            if (r->left <= right && r->right > left)
                walk(a, b, *r);
    };
    for (size_t i = 0; i + 1 < points.size(); ++i)
        segment(points[i], points[i + 1]);
    if (closed && points.size() > 1)
        segment(points.back(), points.front());
}

// A wide pen stroked by Cairo onto the target's own pixels, with the path
// and settings of StrokeMask, so that it lights the pixels the mask would.
void StrokeDirectly(const Canvas& c, const Pen& pen, const std::vector<POINT>& points, bool closed)
{
    const RECT pathBox = PointsBox(points, pen.width + 2);
    const RECT box = IntersectRects(pathBox, c.area.Bounds());
    if (box.right <= box.left || box.bottom <= box.top)
        return;
    // A stroke the clip cuts is made into a mask reaching past the clip
    // and copied through the clip's rectangles (Cairo lights other pixels
    // along the edges of a clip than without it); what that costs beyond
    // the stroke is the pixels of the mask.
    if (c.area.Rects().size() > 1 || box.left != pathBox.left || box.top != pathBox.top || box.right != pathBox.right
        || box.bottom != pathBox.bottom) {
        PaintMask(c.target, StrokeMask(c, pen, points, closed), c.area, Paint::Solid(pen.pixel), R2_COPYPEN);
        return;
    }
    PixelBuffer& buffer = *c.target.buffer;
    cairo_surface_t* surface = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(buffer.pixels.data()),
        CAIRO_FORMAT_RGB24, buffer.width, buffer.height, buffer.StrideBytes());
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return;
    }
    cairo_t* cr = cairo_create(surface);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_rectangle(
        cr, box.left + c.target.origin.x, box.top + c.target.origin.y, box.right - box.left, box.bottom - box.top);
    cairo_clip(cr);
    cairo_set_source_rgb(
        cr, ((pen.pixel >> 16) & 0xFF) / 255.0, ((pen.pixel >> 8) & 0xFF) / 255.0, (pen.pixel & 0xFF) / 255.0);
    cairo_set_line_width(cr, pen.width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    const PathPieces pieces = PiecesNear(points, closed, box, pathBox, PenReach(pen));
    TracePieces(cr, pieces, c.target.origin);
    cairo_stroke(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    cairo_surface_destroy(surface);
    // Cairo sets the unused top byte; our pixels keep it at 0. Only pixels
    // within half the pen (and the rounding) of a segment can have been
    // stroked, so the byte is cleared near the path rather than over the
    // whole figure's box: short segments (a curve's outline) in runs whose
    // box stays small, each long one row by row along its own stretch.
    const int reach = PenReach(pen);
    auto clearRect = [&](int64_t left, int64_t top, int64_t right, int64_t bottom) {
        const int from = int(std::max<int64_t>(left, box.left));
        const int to = int(std::min<int64_t>(right, box.right));
        const int64_t rowEnd = std::min<int64_t>(bottom, box.bottom);
        for (int64_t y = std::max<int64_t>(top, box.top); y < rowEnd && from < to; ++y) {
            uint32_t* row = buffer.Row(int(y) + c.target.origin.y) + c.target.origin.x;
            for (int x = from; x < to; ++x)
                row[x] &= 0x00FFFFFF;
        }
    };
    auto clearAlong = [&](POINT a, POINT b) {
        if (a.y > b.y)
            std::swap(a, b);
        const double dy = double(b.y) - a.y;
        const double dx = double(b.x) - a.x;
        const int64_t rowEnd = std::min<int64_t>(int64_t(b.y) + reach + 1, box.bottom);
        for (int64_t y = std::max<int64_t>(int64_t(a.y) - reach, box.top); y < rowEnd; ++y) {
            // The segment's x over rows y - reach .. y + reach.
            const double t0 = std::clamp((double(y) - reach - a.y) / dy, 0.0, 1.0);
            const double t1 = std::clamp((double(y) + reach - a.y) / dy, 0.0, 1.0);
            const double x0 = a.x + dx * t0;
            const double x1 = a.x + dx * t1;
            clearRect(int64_t(std::floor(std::min(x0, x1))) - reach, y, int64_t(std::ceil(std::max(x0, x1))) + reach + 1,
                y + 1);
        }
    };
    constexpr int64_t kRun = 24; // pixels a run's box may span each way
    bool inRun = false;
    int64_t runLeft = 0, runTop = 0, runRight = 0, runBottom = 0;
    auto flush = [&] {
        if (inRun)
            clearRect(runLeft - reach, runTop - reach, runRight + reach + 1, runBottom + reach + 1);
        inRun = false;
    };
    auto segment = [&](POINT a, POINT b) {
        const int64_t left = std::min(a.x, b.x), right = std::max(a.x, b.x);
        const int64_t top = std::min(a.y, b.y), bottom = std::max(a.y, b.y);
        if (right - left > kRun || bottom - top > kRun) {
            if (top == bottom)
                clearRect(left - reach, top - reach, right + reach + 1, bottom + reach + 1);
            else
                clearAlong(a, b);
            return;
        }
        if (inRun
            && (std::max(runRight, right) - std::min(runLeft, left) > kRun
                || std::max(runBottom, bottom) - std::min(runTop, top) > kRun))
            flush();
        if (!inRun) {
            inRun = true;
            runLeft = left, runTop = top, runRight = right, runBottom = bottom;
            return;
        }
        runLeft = std::min(runLeft, left), runTop = std::min(runTop, top);
        runRight = std::max(runRight, right), runBottom = std::max(runBottom, bottom);
    };
    size_t at = 0;
    for (int count : pieces.counts) {
        const POINT* piece = pieces.Points() + at;
        for (int i = 0; i + 1 < count; ++i)
            segment(piece[i], piece[i + 1]);
        if (pieces.closed || count == 1)
            segment(piece[count - 1], piece[0]);
        at += size_t(count);
    }
    flush();
}

// ---- Printer pages: the same figures as vector paths --------------------------

// A pattern whose cell spans more than its eight device pixels (a hatch on
// a printer page): each of its pixels becomes a square of the cell's size,
// so that the page holds crisp lines rather than a picture smoothed
// across them.
cairo_pattern_t* ScaledPattern(const Paint& paint)
{
    const double px = paint.cellX / 8;
    const double py = paint.cellY / 8;
    cairo_rectangle_t extents{0, 0, paint.cellX, paint.cellY};
    cairo_surface_t* tile = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents);
    cairo_t* t = cairo_create(tile);
    cairo_set_antialias(t, CAIRO_ANTIALIAS_NONE);
    for (int y = 0; y < 8; ++y) {
        // Runs of one colour along the row as one rectangle each.
        int x = 0;
        while (x < 8) {
            const int bit = y * 8 + x;
            if (!((paint.opaque >> bit) & 1)) {
                ++x;
                continue;
            }
            const uint32_t colour = paint.pattern[bit];
            int end = x + 1;
            while (end < 8 && ((paint.opaque >> (y * 8 + end)) & 1) && paint.pattern[y * 8 + end] == colour)
                ++end;
            cairo_set_source_rgb(t, ((colour >> 16) & 0xFF) / 255.0, ((colour >> 8) & 0xFF) / 255.0,
                (colour & 0xFF) / 255.0);
            cairo_rectangle(t, x * px, y * py, (end - x) * px, py);
            cairo_fill(t);
            x = end;
        }
    }
    cairo_destroy(t);
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(tile);
    cairo_surface_destroy(tile);
    return pattern;
}

void SetSourceFromPaint(cairo_t* cr, const Paint& paint)
{
    if (paint.kind == Paint::Kind::Solid) {
        cairo_set_source_rgb(cr, ((paint.color >> 16) & 0xFF) / 255.0, ((paint.color >> 8) & 0xFF) / 255.0,
            (paint.color & 0xFF) / 255.0);
        return;
    }
    cairo_pattern_t* pattern = nullptr;
    if (paint.cellX != 8 || paint.cellY != 8) {
        pattern = ScaledPattern(paint);
    } else {
        cairo_surface_t* tile = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
        cairo_surface_flush(tile);
        unsigned char* data = cairo_image_surface_get_data(tile);
        int stride = cairo_image_surface_get_stride(tile);
        for (int y = 0; y < 8; ++y) {
            uint32_t* row = reinterpret_cast<uint32_t*>(data + y * stride);
            for (int x = 0; x < 8; ++x)
                row[x] = ((paint.opaque >> (y * 8 + x)) & 1) ? (0xFF000000u | paint.pattern[y * 8 + x]) : 0;
        }
        cairo_surface_mark_dirty(tile);
        pattern = cairo_pattern_create_for_surface(tile);
        cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
        cairo_surface_destroy(tile);
    }
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
    cairo_matrix_t m;
    cairo_matrix_init_translate(&m, -paint.origin.x, -paint.origin.y);
    cairo_pattern_set_matrix(pattern, &m);
    cairo_set_source(cr, pattern);
    cairo_pattern_destroy(pattern);
}

// Fills with the brush (when `fill`) and strokes with the pen the path that
// `path` builds in device units.
void VectorFigure(const Canvas& c, bool fill, const std::function<void(cairo_t*)>& path)
{
    cairo_t* cr = c.dc->vector;
    const DeviceContext& dc = *c.dc;
    cairo_save(cr);
    ApplyVectorClip(dc);
    cairo_new_path(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    path(cr);
    RasterTarget none;
    if (fill) {
        Paint paint = ResolveBrush(dc, none, CurrentBrush(dc));
        if (!paint.IsNone()) {
            SetSourceFromPaint(cr, paint);
            cairo_set_fill_rule(
                cr, dc.state.polyFillMode == WINDING ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
            cairo_fill_preserve(cr);
        }
    }
    const PenObject& pen = CurrentPen(dc);
    if (pen.log.lopnStyle != PS_NULL) {
        SetSourceFromPaint(cr, Paint::Solid(PixelFromColor(pen.log.lopnColor)));
        int width = std::max(1, LogicalWidthToDevice(dc.state, pen.log.lopnWidth.x));
        cairo_set_line_width(cr, width);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        const std::vector<int>& dashes = width <= 1 ? StylePattern(pen.log.lopnStyle) : StylePattern(PS_SOLID);
        std::vector<double> d(dashes.begin(), dashes.end());
        cairo_set_dash(cr, d.data(), int(d.size()), 0);
        cairo_stroke(cr);
    }
    cairo_new_path(cr);
    cairo_restore(cr);
}

void VectorPolyline(const Canvas& c, const std::vector<POINT>& points, bool closed, bool fill)
{
    VectorFigure(c, fill, [&](cairo_t* cr) {
        cairo_move_to(cr, points[0].x + 0.5, points[0].y + 0.5);
        for (size_t i = 1; i < points.size(); ++i)
            cairo_line_to(cr, points[i].x + 0.5, points[i].y + 0.5);
        if (closed)
            cairo_close_path(cr);
    });
}

// ---- Lines ----------------------------------------------------------------------

void DrawOpenPath(const Canvas& c, const std::vector<POINT>& points)
{
    if (points.size() < 2)
        return;
    if (c.dc->vector) {
        VectorPolyline(c, points, false, false);
        return;
    }
    if (!c.raster)
        return;
    Pen pen = ResolvePen(c);
    if (pen.none)
        return;
    const bool direct = PaintsDirectly(c, pen);
    if (direct) {
        Canvas narrowed;
        const Canvas& n = NarrowToBox(c, PointsBox(points, pen.width + 2), narrowed);
        if (pen.thin)
            TraceDirectly(n, points, false, pen.pixel);
        else
            StrokeDirectly(n, pen, points, false);
        return;
    }
    if (pen.thin) {
        PaintTrace(c, pen, TracePath(pen, points, false, c.area.Bounds()));
        return;
    }
    PaintMask(c.target, StrokeMask(c, pen, points, false), c.area, Paint::Solid(pen.pixel), c.dc->state.rop2);
}

// ---- Closed figures -------------------------------------------------------------

// Paints a closed figure whose pen covers `outline` (device pixels) and
// whose brush covers `inside` (device pixels, the outline is taken out).
void PaintFigure(const Canvas& c, const Pen& pen, const Region& inside, const Region& outline)
{
    int rop2 = c.dc->state.rop2;
    const BrushObject& brush = CurrentBrush(*c.dc);
    Paint paint = ResolveBrush(*c.dc, c.target, brush);
    if (PaintsDirectly(c, pen)) {
        if (!paint.IsNone())
            PaintRegion(c.target, inside.Intersect(c.area), paint, rop2);
        if (!pen.none)
            PaintRegion(c.target, outline.Intersect(c.area), Paint::Solid(pen.pixel), rop2);
        return;
    }
    if (!paint.IsNone())
        PaintRegion(c.target, inside.Subtract(outline).Intersect(c.area), paint, rop2);
    if (!pen.none)
        PaintRegion(c.target, outline.Intersect(c.area), Paint::Solid(pen.pixel), rop2);
}

void DrawPolygons(const Canvas& c, const std::vector<POINT>& points, const std::vector<int>& counts)
{
    if (c.dc->vector) {
        VectorFigure(c, true, [&](cairo_t* cr) {
            size_t at = 0;
            for (int n : counts) {
                cairo_move_to(cr, points[at].x + 0.5, points[at].y + 0.5);
                for (int i = 1; i < n; ++i)
                    cairo_line_to(cr, points[at + size_t(i)].x + 0.5, points[at + size_t(i)].y + 0.5);
                cairo_close_path(cr);
                at += size_t(n);
            }
        });
        return;
    }
    if (!c.raster)
        return;
    Pen pen = ResolvePen(c);
    const BrushObject& brush = CurrentBrush(*c.dc);
    Paint paint = ResolveBrush(*c.dc, c.target, brush);
    if (PaintsDirectly(c, pen)) {
        Canvas narrowed;
        const Canvas& figure = NarrowToBox(c, PointsBox(points, pen.width + 2), narrowed);
        if (figure.area.IsEmpty())
            return;
        // A curve's outline drawn small maps many corners onto one pixel.
        // An edge from a point to itself crosses no row and lights no pixel
        // of a thin pen, so such repeats are dropped before the fill and
        // the trace walk them; a wide pen's stroke keeps every point.
        std::vector<POINT> distinct;
        std::vector<int> distinctCounts;
        distinct.reserve(points.size());
        distinctCounts.reserve(counts.size());
        size_t at = 0;
        for (int n : counts) {
            const size_t first = distinct.size();
            for (int i = 0; i < n; ++i) {
                const POINT& q = points[at + size_t(i)];
                if (distinct.size() == first || q.x != distinct.back().x || q.y != distinct.back().y)
                    distinct.push_back(q);
            }
            while (distinct.size() - first > 1 && distinct.back().x == distinct[first].x
                && distinct.back().y == distinct[first].y)
                distinct.pop_back();
            distinctCounts.push_back(int(distinct.size() - first));
            at += size_t(n);
        }
        if (!paint.IsNone())
            FillPolygonsDirectly(figure, distinct, distinctCounts, paint);
        if (pen.none)
            return;
        size_t ringStart = 0;
        size_t distinctStart = 0;
        for (size_t r = 0; r < counts.size(); ++r) {
            if (pen.thin) {
                const auto begin = distinct.begin() + long(distinctStart);
                TraceDirectly(figure, std::vector<POINT>(begin, begin + distinctCounts[r]), true, pen.pixel);
            } else {
                const auto begin = points.begin() + long(ringStart);
                StrokeDirectly(figure, pen, std::vector<POINT>(begin, begin + counts[r]), true);
            }
            ringStart += size_t(counts[r]);
            distinctStart += size_t(distinctCounts[r]);
        }
        return;
    }
    Region inside = Region::FromPolygons(points.data(), counts.data(), int(counts.size()), c.dc->state.polyFillMode);
    int rop2 = c.dc->state.rop2;
    if (pen.none) {
        PaintRegion(c.target, inside.Intersect(c.area), paint, rop2);
        return;
    }
    size_t at = 0;
    if (pen.thin) {
        std::vector<ThinTrace> traces;
        Region painted;
        for (int n : counts) {
            std::vector<POINT> ring(points.begin() + long(at), points.begin() + long(at) + n);
            traces.push_back(TracePath(pen, ring, true, c.area.Bounds()));
            painted = painted.Union(PaintedRegion(pen, traces.back()));
            at += size_t(n);
        }
        if (!paint.IsNone())
            PaintRegion(c.target, inside.Subtract(painted).Intersect(c.area), paint, rop2);
        // Pixels where two rings cross are painted once.
        PaintRegion(c.target, painted.Intersect(c.area), Paint::Solid(pen.pixel), rop2);
        if (pen.paintGaps && pen.style != PS_SOLID && pen.style != PS_INSIDEFRAME) {
            for (const ThinTrace& trace : traces)
                for (const ThinPixel& t : trace.pixels)
                    if (!t.on && InArea(c.area, t.p.x, t.p.y))
                        PaintPixel(c.target, t.p.x, t.p.y, pen.gapPixel, R2_COPYPEN);
        }
        return;
    }
    Region outline;
    for (int n : counts) {
        std::vector<POINT> ring(points.begin() + long(at), points.begin() + long(at) + n);
        outline = outline.Union(StrokeMask(c, pen, ring, true).ToRegion());
        at += size_t(n);
    }
    PaintFigure(c, pen, inside, outline);
}

RECT Inflate(const RECT& r, int before, int after)
{
    return RECT{r.left - before, r.top - before, r.right + after, r.bottom + after};
}

// The region of a closed curve and its thin-pen outline: pixels of the
// figure that have a 4-neighbour outside it.
Region ThinBoundary(const Region& figure)
{
    Region eroded = figure;
    for (POINT shift : {POINT{1, 0}, POINT{-1, 0}, POINT{0, 1}, POINT{0, -1}}) {
        Region moved = figure;
        moved.Offset(shift.x, shift.y);
        eroded = eroded.Intersect(moved);
    }
    return figure.Subtract(eroded);
}

enum class Curve { Ellipse, RoundRect };

// The figure (outline and everything inside it) and its inner part for a
// device rectangle: the pen's outline is figure - inner.
struct CurveRegions {
    Region figure;
    Region inner;
};

Region MakeCurve(Curve kind, const RECT& r, int cw, int ch)
{
    return kind == Curve::Ellipse ? Region::FromEllipse(r) : Region::FromRoundRect(r, cw, ch);
}

CurveRegions CurveFigure(const Pen& pen, Curve kind, const RECT& device, int cw, int ch)
{
    CurveRegions out;
    if (pen.none) {
        // Without a pen the figure is one pixel smaller, as the path through
        // the corner pixels is filled by pixel centres.
        out.inner = MakeCurve(kind, RECT{device.left, device.top, device.right - 1, device.bottom - 1}, cw, ch);
        return out;
    }
    if (pen.thin) {
        out.figure = MakeCurve(kind, device, cw, ch);
        out.inner = out.figure.Subtract(ThinBoundary(out.figure));
        return out;
    }
    int w = pen.width;
    RECT outer = pen.insideFrame ? device : Inflate(device, w / 2, (w - 1) / 2);
    out.figure = MakeCurve(kind, outer, cw, ch);
    out.inner = MakeCurve(kind, Inflate(outer, -w, -w), cw - 2 * w, ch - 2 * w);
    return out;
}

// ---- Arcs ---------------------------------------------------------------------------

enum class ArcKind { Arc, Pie, Chord };

constexpr double kTwoPi = 2 * std::numbers::pi;

double Normalise(double a)
{
    a = std::fmod(a, kTwoPi);
    return a < 0 ? a + kTwoPi : a;
}

struct ArcGeometry {
    double cx, cy;        // centre in pixel-index space
    double rx, ry;
    double start, sweep;  // counter-clockwise on the screen, radians
    POINT startPoint, endPoint;

    // Angle of pixel (x, y) as seen from the centre, y up on the screen.
    double AngleOf(double x, double y) const { return Normalise(std::atan2(-(y - cy), x - cx)); }
    bool InSweep(int x, int y) const
    {
        if (x == int(std::floor(cx)) && y == int(std::floor(cy)) && std::floor(cx) == cx && std::floor(cy) == cy)
            return true;
        return Normalise(AngleOf(x, y) - start) <= sweep;
    }
};

ArcGeometry MakeArc(const RECT& device, POINT radial1, POINT radial2)
{
    ArcGeometry g;
    g.cx = (device.left + device.right - 1) / 2.0;
    g.cy = (device.top + device.bottom - 1) / 2.0;
    double rx = g.rx = std::max(0.5, (device.right - device.left - 1) / 2.0);
    double ry = g.ry = std::max(0.5, (device.bottom - device.top - 1) / 2.0);
    g.start = g.AngleOf(radial1.x, radial1.y);
    double end = g.AngleOf(radial2.x, radial2.y);
    g.sweep = Normalise(end - g.start);
    if (g.sweep == 0)
        g.sweep = kTwoPi; // the same angle twice: the whole ellipse
    auto onEllipse = [&](double a) {
        return POINT{LONG(std::lround(g.cx + rx * std::cos(a))), LONG(std::lround(g.cy - ry * std::sin(a)))};
    };
    g.startPoint = onEllipse(g.start);
    g.endPoint = onEllipse(end);
    return g;
}

template <typename Pred>
Region FilterRegion(const Region& region, const Region& limit, Pred keep)
{
    Region bounded = region.Intersect(limit.Bounds());
    std::vector<RECT> rects;
    for (const RECT& r : bounded.Rects()) {
        for (int y = r.top; y < r.bottom; ++y) {
            int x = r.left;
            while (x < r.right) {
                while (x < r.right && !keep(x, y))
                    ++x;
                int begin = x;
                while (x < r.right && keep(x, y))
                    ++x;
                if (x > begin)
                    rects.push_back(RECT{begin, y, x, y + 1});
            }
        }
    }
    std::sort(rects.begin(), rects.end(), [](const RECT& a, const RECT& b) {
        return a.top != b.top ? a.top < b.top : a.left < b.left;
    });
    return Region::FromBands(std::move(rects));
}

BOOL DrawArcFigure(HDC hdc, ArcKind kind, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    Canvas c;
    if (!Begin(hdc, c))
        return FALSE;
    const DcState& s = c.dc->state;
    RECT device = LogicalRectToDevice(s, RECT{x1, y1, x2, y2});
    if (device.right - device.left < 1 || device.bottom - device.top < 1)
        return TRUE;
    ArcGeometry g = MakeArc(device, LogicalToDevice(s, POINT{x3, y3}), LogicalToDevice(s, POINT{x4, y4}));
    if (c.dc->vector) {
        double rx = (device.right - device.left - 1) / 2.0, ry = (device.bottom - device.top - 1) / 2.0;
        VectorFigure(c, kind != ArcKind::Arc, [&](cairo_t* cr) {
            if (kind == ArcKind::Pie)
                cairo_move_to(cr, g.cx + 0.5, g.cy + 0.5);
            cairo_save(cr);
            cairo_translate(cr, g.cx + 0.5, g.cy + 0.5);
            cairo_scale(cr, std::max(rx, 0.5), std::max(ry, 0.5));
            cairo_arc_negative(cr, 0, 0, 1, -g.start, -(g.start + g.sweep));
            cairo_restore(cr);
            if (kind != ArcKind::Arc)
                cairo_close_path(cr);
        });
        return TRUE;
    }
    if (!c.raster)
        return TRUE;
    Pen pen = ResolvePen(c);
    // Arcs are curves: a styled one-pixel pen draws them solid.
    if (pen.style != PS_INSIDEFRAME)
        pen.style = PS_SOLID;
    CurveRegions curve = CurveFigure(pen, Curve::Ellipse, device, 0, 0);
    Region ring = curve.figure.Subtract(curve.inner);
    Region outline = FilterRegion(ring, c.area, [&](int x, int y) { return g.InSweep(x, y); });
    Region inside;
    if (kind == ArcKind::Pie) {
        inside = FilterRegion(curve.inner, c.area, [&](int x, int y) { return g.InSweep(x, y); });
    } else if (kind == ArcKind::Chord) {
        double ex = g.endPoint.x - g.startPoint.x, ey = g.endPoint.y - g.startPoint.y;
        double mid = g.start + g.sweep / 2;
        // The middle of the arc tells which side of the chord is filled.
        double mx = g.cx + std::cos(mid) * g.rx - g.startPoint.x, my = g.cy - std::sin(mid) * g.ry - g.startPoint.y;
        bool arcSide = ex * my - ey * mx > 0;
        if (g.sweep >= kTwoPi) {
            inside = curve.inner;
        } else {
            inside = FilterRegion(curve.inner, c.area, [&](int x, int y) {
                double side = ex * (y - g.startPoint.y) - ey * (x - g.startPoint.x);
                return side == 0 || (side > 0) == arcSide;
            });
        }
    }
    if (kind != ArcKind::Arc && !pen.none && g.sweep < kTwoPi) {
        std::vector<POINT> spokes;
        if (kind == ArcKind::Pie)
            spokes = {g.endPoint, POINT{LONG(std::lround(g.cx)), LONG(std::lround(g.cy))}, g.startPoint};
        else
            spokes = {g.endPoint, g.startPoint};
        if (pen.thin) {
            ThinTrace trace = TracePath(pen, spokes, false, c.area.Bounds());
            trace.pixels.push_back(ThinPixel{spokes.back(), true});
            outline = outline.Union(PaintedRegion(pen, trace));
        } else {
            outline = outline.Union(StrokeMask(c, pen, spokes, false).ToRegion());
        }
    }
    if (kind == ArcKind::Arc) {
        if (!pen.none)
            PaintRegion(c.target, outline.Intersect(c.area), Paint::Solid(pen.pixel), s.rop2);
        return TRUE;
    }
    PaintFigure(c, pen, inside, outline);
    return TRUE;
}

// ---- Rectangles ---------------------------------------------------------------------

// Paints a device rectangle with a paint through a ROP2, clipped.
void PaintDeviceRect(const Canvas& c, const RECT& r, const Paint& paint, int rop2)
{
    PaintRegion(c.target, Region(r).Intersect(c.area), paint, rop2);
}

void VectorRect(const Canvas& c, const RECT& r, const Paint& paint)
{
    cairo_t* cr = c.dc->vector;
    cairo_save(cr);
    ApplyVectorClip(*c.dc);
    cairo_new_path(cr);
    cairo_rectangle(cr, r.left, r.top, r.right - r.left, r.bottom - r.top);
    SetSourceFromPaint(cr, paint);
    cairo_fill(cr);
    cairo_restore(cr);
}

// Fills a logical rectangle with a brush, right and bottom edges excluded.
BOOL FillWith(HDC hdc, const RECT* lprc, const BrushObject* brush, int rop2, bool invert)
{
    Canvas c;
    if (!Begin(hdc, c) || !lprc)
        return FALSE;
    RECT r = LogicalRectToDevice(c.dc->state, *lprc);
    if (c.dc->vector) {
        if (brush) {
            RasterTarget none;
            Paint paint = ResolveBrush(*c.dc, none, *brush);
            if (!paint.IsNone())
                VectorRect(c, r, paint);
        }
        return TRUE;
    }
    if (!c.raster)
        return TRUE;
    Paint paint = invert ? Paint::Solid(0) : ResolveBrush(*c.dc, c.target, *brush);
    PaintDeviceRect(c, r, paint, rop2);
    return TRUE;
}

} // namespace

} // namespace platform

using namespace platform;

BOOL LineTo(HDC hdc, int x, int y)
{
    const POINT to{x, y};
    return PolylineTo(hdc, &to, 1);
}

BOOL Polyline(HDC hdc, const POINT* apt, int cpt)
{
    Canvas c;
    if (!Begin(hdc, c) || !apt || cpt < 2 || cpt > kMaxPoints)
        return FALSE;
    DrawOpenPath(c, ToDevice(c.dc->state, apt, size_t(cpt)));
    return TRUE;
}

BOOL PolylineTo(HDC hdc, const POINT* apt, DWORD cpt)
{
    Canvas c;
    if (!Begin(hdc, c) || !apt || cpt > kMaxPoints)
        return FALSE;
    if (cpt == 0)
        return TRUE;
    DcState& s = c.dc->state;
    std::vector<POINT> points{LogicalToDevice(s, s.currentPos)};
    for (DWORD i = 0; i < cpt; ++i)
        points.push_back(LogicalToDevice(s, apt[i]));
    s.currentPos = apt[cpt - 1];
    DrawOpenPath(c, points);
    return TRUE;
}

BOOL Polygon(HDC hdc, const POINT* apt, int cpt)
{
    Canvas c;
    if (!Begin(hdc, c) || !apt || cpt < 2 || cpt > kMaxPoints)
        return FALSE;
    DrawPolygons(c, ToDevice(c.dc->state, apt, size_t(cpt)), std::vector<int>{cpt});
    return TRUE;
}

BOOL PolyPolygon(HDC hdc, const POINT* apt, const INT* asz, int csz)
{
    Canvas c;
    if (!Begin(hdc, c) || !apt || !asz || csz <= 0)
        return FALSE;
    int64_t total = 0;
    std::vector<int> counts;
    for (int i = 0; i < csz; ++i) {
        if (asz[i] < 2)
            return FALSE;
        total += asz[i];
        if (total > kMaxPoints)
            return FALSE;
        counts.push_back(asz[i]);
    }
    DrawPolygons(c, ToDevice(c.dc->state, apt, size_t(total)), counts);
    return TRUE;
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom)
{
    Canvas c;
    if (!Begin(hdc, c))
        return FALSE;
    RECT r = LogicalRectToDevice(c.dc->state, RECT{left, top, right, bottom});
    if (r.right - r.left < 1 || r.bottom - r.top < 1)
        return TRUE;
    if (c.dc->vector) {
        VectorFigure(c, true, [&](cairo_t* cr) {
            cairo_rectangle(cr, r.left + 0.5, r.top + 0.5, r.right - r.left - 1, r.bottom - r.top - 1);
        });
        return TRUE;
    }
    if (!c.raster)
        return TRUE;
    Pen pen = ResolvePen(c);
    if (pen.none) {
        PaintFigure(c, pen, Region(RECT{r.left, r.top, r.right - 1, r.bottom - 1}), Region());
        return TRUE;
    }
    if (pen.thin && pen.style != PS_SOLID && pen.style != PS_INSIDEFRAME) {
        std::vector<POINT> corners{
            POINT{r.left, r.top}, POINT{r.right - 1, r.top}, POINT{r.right - 1, r.bottom - 1}, POINT{r.left, r.bottom - 1}};
        ThinTrace trace = TracePath(pen, corners, true, c.area.Bounds());
        Region painted = PaintedRegion(pen, trace);
        const BrushObject& brush = CurrentBrush(*c.dc);
        Paint paint = ResolveBrush(*c.dc, c.target, brush);
        Region inside(RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1});
        PaintRegion(c.target, inside.Intersect(c.area), paint, c.dc->state.rop2);
        PaintTrace(c, pen, trace);
        return TRUE;
    }
    int w = pen.width;
    RECT outer = pen.insideFrame || pen.thin ? r : Inflate(r, w / 2, (w - 1) / 2);
    Region figure(outer);
    Region inner(Inflate(outer, -w, -w));
    PaintFigure(c, pen, inner, figure.Subtract(inner));
    return TRUE;
}

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom)
{
    return RoundRect(hdc, left, top, right, bottom, INT32_MAX, INT32_MAX);
}

BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height)
{
    Canvas c;
    if (!Begin(hdc, c))
        return FALSE;
    RECT r = LogicalRectToDevice(c.dc->state, RECT{left, top, right, bottom});
    if (r.right - r.left < 1 || r.bottom - r.top < 1)
        return TRUE;
    bool ellipse = width == INT32_MAX;
    int cw = ellipse ? 0 : LogicalWidthToDevice(c.dc->state, width);
    int ch = ellipse ? 0
                     : int(std::min<int64_t>(std::llabs(int64_t(height) * c.dc->state.viewportExt.cy / c.dc->state.windowExt.cy), INT32_MAX));
    if (c.dc->vector) {
        VectorFigure(c, true, [&](cairo_t* cr) {
            double x = r.left + 0.5, y = r.top + 0.5, w = r.right - r.left - 1, h = r.bottom - r.top - 1;
            double rx = ellipse ? w / 2 : std::min<double>(cw, w) / 2, ry = ellipse ? h / 2 : std::min<double>(ch, h) / 2;
            if (rx <= 0 || ry <= 0) {
                cairo_rectangle(cr, x, y, w, h);
                return;
            }
            auto corner = [&](double cx, double cy, double a0) {
                cairo_save(cr);
                cairo_translate(cr, cx, cy);
                cairo_scale(cr, rx, ry);
                cairo_arc(cr, 0, 0, 1, a0, a0 + std::numbers::pi / 2);
                cairo_restore(cr);
            };
            cairo_new_sub_path(cr);
            corner(x + w - rx, y + ry, -std::numbers::pi / 2);
            corner(x + w - rx, y + h - ry, 0);
            corner(x + rx, y + h - ry, std::numbers::pi / 2);
            corner(x + rx, y + ry, std::numbers::pi);
            cairo_close_path(cr);
        });
        return TRUE;
    }
    if (!c.raster)
        return TRUE;
    Pen pen = ResolvePen(c);
    Curve kind = ellipse ? Curve::Ellipse : Curve::RoundRect;
    CurveRegions curve = CurveFigure(pen, kind, r, cw, ch);
    PaintFigure(c, pen, curve.inner, curve.figure.Subtract(curve.inner));
    return TRUE;
}

BOOL Arc(HDC hdc, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    return DrawArcFigure(hdc, ArcKind::Arc, x1, y1, x2, y2, x3, y3, x4, y4);
}

BOOL Pie(HDC hdc, int left, int top, int right, int bottom, int xr1, int yr1, int xr2, int yr2)
{
    return DrawArcFigure(hdc, ArcKind::Pie, left, top, right, bottom, xr1, yr1, xr2, yr2);
}

BOOL Chord(HDC hdc, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    return DrawArcFigure(hdc, ArcKind::Chord, x1, y1, x2, y2, x3, y3, x4, y4);
}

int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr)
{
    BrushObject* brush = LookupBrush(hbr);
    if (!brush)
        return FALSE;
    return FillWith(hDC, lprc, brush, R2_COPYPEN, false);
}

BOOL InvertRect(HDC hDC, const RECT* lprc)
{
    return FillWith(hDC, lprc, nullptr, R2_NOT, true);
}

int FrameRect(HDC hDC, const RECT* lprc, HBRUSH hbr)
{
    BrushObject* brush = LookupBrush(hbr);
    Canvas c;
    if (!brush || !Begin(hDC, c) || !lprc)
        return FALSE;
    RECT r = LogicalRectToDevice(c.dc->state, *lprc);
    if (r.right <= r.left || r.bottom <= r.top)
        return TRUE;
    // The border is one logical unit wide.
    int bw = std::max(1, LogicalWidthToDevice(c.dc->state, 1));
    int bh = std::max(1, int(std::llabs(int64_t(c.dc->state.viewportExt.cy) / c.dc->state.windowExt.cy)));
    Region frame = Region(r).Subtract(Region(RECT{r.left + bw, r.top + bh, r.right - bw, r.bottom - bh}));
    if (c.dc->vector) {
        RasterTarget none;
        Paint paint = ResolveBrush(*c.dc, none, *brush);
        for (const RECT& part : frame.Rects())
            VectorRect(c, part, paint);
        return TRUE;
    }
    if (!c.raster)
        return TRUE;
    PaintRegion(c.target, frame.Intersect(c.area), ResolveBrush(*c.dc, c.target, *brush), R2_COPYPEN);
    return TRUE;
}

BOOL DrawFocusRect(HDC hDC, const RECT* lprc)
{
    Canvas c;
    if (!Begin(hDC, c) || !lprc)
        return FALSE;
    if (!c.raster)
        return TRUE;
    RECT r = LogicalRectToDevice(c.dc->state, *lprc);
    if (r.right <= r.left || r.bottom <= r.top)
        return TRUE;
    Region frame = Region(r).Subtract(Region(RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}));
    // Every other pixel inverted: drawing the same rectangle again undoes it.
    Paint dots;
    dots.kind = Paint::Kind::Pattern;
    dots.opaque = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            dots.pattern[y * 8 + x] = 0x00FFFFFF;
            if ((x + y) % 2 == 0)
                dots.opaque |= uint64_t(1) << (y * 8 + x);
        }
    PaintRegion(c.target, frame.Intersect(c.area), dots, R2_XORPEN);
    return TRUE;
}

BOOL DrawEdge(HDC hdc, LPRECT qrc, UINT edge, UINT grfFlags)
{
    Canvas c;
    if (!Begin(hdc, c) || !qrc)
        return FALSE;
    if (grfFlags & BF_DIAGONAL) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    RECT r = LogicalRectToDevice(c.dc->state, *qrc);
    auto color = [&](int index) { return GetGdiSystemColor(index); };
    constexpr int k3dFace = 15, kShadow = 16, kHighlight = 20, kDkShadow = 21, kLight = 22, kWindow = 5, kFrame = 6;
    bool soft = grfFlags & BF_SOFT;
    struct Border {
        bool present;
        COLORREF topLeft, bottomRight;
    };
    Border outer{false, 0, 0}, inner{false, 0, 0};
    if (grfFlags & (BF_FLAT | BF_MONO)) {
        bool mono = grfFlags & BF_MONO;
        COLORREF line = mono ? color(kFrame) : color(kShadow);
        COLORREF fill = mono ? color(kWindow) : color(k3dFace);
        if (edge & BDR_OUTER)
            outer = Border{true, line, line};
        if (edge & BDR_INNER)
            inner = Border{true, fill, fill};
    } else {
        if (edge & BDR_RAISEDOUTER)
            outer = Border{true, soft ? color(kHighlight) : color(kLight), color(kDkShadow)};
        else if (edge & BDR_SUNKENOUTER)
            outer = Border{true, soft ? color(kDkShadow) : color(kShadow), color(kHighlight)};
        if (edge & BDR_RAISEDINNER)
            inner = Border{true, soft ? color(kLight) : color(kHighlight), color(kShadow)};
        else if (edge & BDR_SUNKENINNER)
            inner = Border{true, soft ? color(kShadow) : color(kDkShadow), color(kLight)};
    }
    auto paintRect = [&](const RECT& part, COLORREF colour) {
        if (part.right <= part.left || part.bottom <= part.top)
            return;
        if (c.dc->vector) {
            VectorRect(c, part, Paint::Solid(PixelFromColor(colour)));
            return;
        }
        if (c.raster)
            PaintDeviceRect(c, part, Paint::Solid(TargetPixel(*c.dc, c.target, colour)), R2_COPYPEN);
    };
    RECT box = r;
    for (const Border& b : {outer, inner}) {
        if (!b.present)
            continue;
        // Top and left first; bottom and right over them, so the top-right
        // and bottom-left corners take the bottom-right colour.
        if (grfFlags & BF_TOP)
            paintRect(RECT{box.left, box.top, box.right, box.top + 1}, b.topLeft);
        if (grfFlags & BF_LEFT)
            paintRect(RECT{box.left, box.top, box.left + 1, box.bottom}, b.topLeft);
        if (grfFlags & BF_BOTTOM)
            paintRect(RECT{box.left, box.bottom - 1, box.right, box.bottom}, b.bottomRight);
        if (grfFlags & BF_RIGHT)
            paintRect(RECT{box.right - 1, box.top, box.right, box.bottom}, b.bottomRight);
        if (grfFlags & BF_LEFT)
            ++box.left;
        if (grfFlags & BF_TOP)
            ++box.top;
        if (grfFlags & BF_RIGHT)
            --box.right;
        if (grfFlags & BF_BOTTOM)
            --box.bottom;
    }
    if (grfFlags & BF_MIDDLE)
        paintRect(box, (grfFlags & BF_MONO) ? color(kWindow) : color(k3dFace));
    if (grfFlags & BF_ADJUST) {
        POINT corners[2] = {POINT{box.left, box.top}, POINT{box.right, box.bottom}};
        for (POINT& p : corners)
            p = DeviceToLogical(c.dc->state, p);
        *qrc = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    }
    return TRUE;
}
