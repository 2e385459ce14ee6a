#include "platform/gdi/internal/Region.h"

#include "platform/gdi/GdiDefs.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdint>
#include <cmath>
#include <functional>
#include <utility>

namespace platform {

namespace {

using Span = std::pair<int, int>; // [first, second)
using Spans = std::vector<Span>;

// Rows further out than this are not scanned when converting shapes; they
// lie far beyond any surface.
constexpr int kScanLimit = 1 << 20;

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

LONG SaturatingAdd(LONG a, int b)
{
    int64_t v = int64_t(a) + b;
    return LONG(std::clamp<int64_t>(v, INT_MIN, INT_MAX));
}

// The rectangles [begin, end) of the band of `rects` that covers row y0
// (advancing `cursor` past bands that end before it); empty when none does.
void BandRange(const std::vector<RECT>& rects, size_t& cursor, int y0, size_t& begin, size_t& end)
{
    while (cursor < rects.size() && rects[cursor].bottom <= y0)
        ++cursor;
    begin = end = cursor;
    if (cursor >= rects.size() || rects[cursor].top > y0)
        return;
    const LONG top = rects[cursor].top;
    while (end < rects.size() && rects[end].top == top)
        ++end;
}

bool Apply(int mode, bool a, bool b)
{
    switch (mode) {
    case RGN_AND:
        return a && b;
    case RGN_OR:
        return a || b;
    case RGN_XOR:
        return a != b;
    case RGN_DIFF:
        return a && !b;
    default:
        return a;
    }
}

void EmitRow(std::vector<RECT>& rects, int y, const Spans& spans)
{
    for (const Span& s : spans)
        if (s.first < s.second)
            rects.push_back(RECT{s.first, y, s.second, y + 1});
}

// Pixels whose centres lie in [from, to].
Span CentreSpan(double from, double to)
{
    int first = int(std::ceil(from - 0.5));
    int last = int(std::floor(to - 0.5));
    return Span(first, last + 1);
}

} // namespace

struct Region::Storage {
    std::vector<RECT> rects;
    // -1 until worked out, then whether the rectangles are normalised.
    mutable std::atomic<signed char> normalised{-1};
};

Region::Region(const RECT& rect)
{
    RECT r{std::min(rect.left, rect.right), std::min(rect.top, rect.bottom), std::max(rect.left, rect.right),
        std::max(rect.top, rect.bottom)};
    if (r.left < r.right && r.top < r.bottom) {
        m_data = std::make_shared<Storage>();
        m_data->rects.push_back(r);
        m_data->normalised.store(1, std::memory_order_relaxed);
        m_bounds = r;
    }
}

Region::Region(Region&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr))
    , m_bounds(std::exchange(other.m_bounds, RECT{0, 0, 0, 0}))
{
}

Region& Region::operator=(Region&& other) noexcept
{
    m_data = std::exchange(other.m_data, nullptr);
    m_bounds = std::exchange(other.m_bounds, RECT{0, 0, 0, 0});
    return *this;
}

const std::vector<RECT>& Region::Rects() const
{
    static const std::vector<RECT> none;
    return m_data ? m_data->rects : none;
}

Region Region::FromBands(std::vector<RECT> rects)
{
    Region region;
    if (rects.empty())
        return region;
    region.m_data = std::make_shared<Storage>();
    std::vector<RECT>& out = region.m_data->rects;
    out.reserve(rects.size());
    size_t prevBand = 0, prevCount = 0; // the last band written to `out`
    size_t i = 0;
    while (i < rects.size()) {
        size_t j = i;
        while (j < rects.size() && rects[j].top == rects[i].top && rects[j].bottom == rects[i].bottom)
            ++j;
        // Merge into the previous band when it touches and has the same spans.
        bool merge = prevCount == j - i && prevCount > 0 && out[prevBand].bottom == rects[i].top;
        for (size_t k = 0; merge && k < prevCount; ++k)
            merge = out[prevBand + k].left == rects[i + k].left && out[prevBand + k].right == rects[i + k].right;
        if (merge) {
            for (size_t k = 0; k < prevCount; ++k)
                out[prevBand + k].bottom = rects[i].bottom;
        } else {
            prevBand = out.size();
            prevCount = j - i;
            out.insert(out.end(), rects.begin() + long(i), rects.begin() + long(j));
        }
        i = j;
    }
    if (!out.empty()) {
        RECT b{INT_MAX, out.front().top, INT_MIN, out.back().bottom};
        for (const RECT& r : out) {
            b.left = std::min(b.left, r.left);
            b.right = std::max(b.right, r.right);
        }
        region.m_bounds = b;
    } else {
        region.m_data.reset();
    }
    return region;
}

void ScanPolygons(const POINT* points, const int* counts, int polygonCount, int fillMode, int rowFirst, int rowEnd,
    const std::function<void(int y, const ScanSpans& spans)>& row)
{
    // With whole-number corners, an edge from y0 down to y1 holds the
    // centres of rows y0 .. y1 - 1. Edges that hold no row centre inside
    // the rows asked for never cross a scan line and are dropped: most of
    // the short edges of a curve's outline are of that kind.
    struct Edge {
        int top, bottom; // rows [top, bottom) that the edge crosses
        double x0, y0, dx, dy;
        int dir;
    };
    // Active edges: those that cross the row, kept in the order of their
    // crossings. Edges join in the order of their tops and leave once the
    // scan passes their ends, so a row costs what crosses it, not every
    // edge of the figure; and as crossings keep their order from one row
    // to the next, re-sorting them is nearly free.
    struct Crossing {
        double x;
        int dir;
        const Edge* edge;
        bool operator<(const Crossing& other) const { return x < other.x || (x == other.x && dir < other.dir); }
    };
    rowFirst = std::max(rowFirst, -kScanLimit);
    rowEnd = std::min(rowEnd, kScanLimit);
    if (rowFirst >= rowEnd)
        return;
    // The lists keep their room from one figure to the next: a picture of
    // many small figures would otherwise spend as much on allocating them
    // as on scanning. A row callback that scans again gets lists of its own.
    struct Lists {
        std::vector<Edge> edges;
        std::vector<Edge> sorted;
        std::vector<size_t> starts;
        std::vector<Crossing> active;
        ScanSpans spans;
        bool busy = false;
    };
    thread_local Lists kept;
    Lists own;
    Lists& lists = kept.busy ? own : kept;
    // A huge figure's lists are not kept for the small ones after it.
    struct Hold {
        Lists& lists;
        ~Hold()
        {
            constexpr size_t kKeptEdges = size_t(1) << 14;
            if (lists.edges.capacity() > kKeptEdges || lists.sorted.capacity() > kKeptEdges
                || lists.starts.capacity() > 4 * kKeptEdges + 64)
                lists = Lists();
            lists.busy = false;
        }
    } hold{lists};
    lists.busy = true;
    std::vector<Edge>& edges = lists.edges;
    std::vector<Crossing>& active = lists.active;
    ScanSpans& spans = lists.spans;
    edges.clear();
    active.clear();
    const POINT* p = points;
    for (int poly = 0; poly < polygonCount; ++poly) {
        const int n = counts[poly];
        for (int i = 0; i < n; ++i) {
            const POINT& a = p[i];
            const POINT& b = p[i + 1 < n ? i + 1 : 0];
            if (a.y == b.y)
                continue;
            const POINT& upper = a.y < b.y ? a : b;
            const POINT& lower = a.y < b.y ? b : a;
            const int top = std::max<int>(upper.y, rowFirst);
            const int bottom = std::min<int>(lower.y, rowEnd);
            if (top >= bottom)
                continue;
            edges.push_back(Edge{top, bottom, double(upper.x), double(upper.y), double(lower.x) - double(upper.x),
                double(lower.y) - double(upper.y), a.y < b.y ? 1 : -1});
        }
        p += n;
    }
    if (edges.empty())
        return;
    // By their tops. The tops of a figure lie within its few rows, so they
    // are counted out rather than compared; edges of equal top may come in
    // any order, as crossings alike in place and direction are alike in
    // every use.
    int minTop = edges.front().top;
    int maxTop = minTop;
    for (const Edge& e : edges) {
        minTop = std::min(minTop, e.top);
        maxTop = std::max(maxTop, e.top);
    }
    const size_t nRange = size_t(int64_t(maxTop) - minTop) + 1;
    if (nRange <= 4 * edges.size() + 64) {
        std::vector<size_t>& starts = lists.starts;
        starts.assign(nRange + 1, 0);
        for (const Edge& e : edges)
            ++starts[size_t(e.top - minTop) + 1];
        for (size_t i = 1; i <= nRange; ++i)
            starts[i] += starts[i - 1];
        std::vector<Edge>& sorted = lists.sorted;
        sorted.resize(edges.size());
        for (const Edge& e : edges)
            sorted[starts[size_t(e.top - minTop)]++] = e;
        edges.swap(sorted);
    } else {
        std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.top < b.top; });
    }

    size_t next = 0;
    for (int y = edges.front().top; y < rowEnd; ++y) {
        std::erase_if(active, [y](const Crossing& c) { return y >= c.edge->bottom; });
        while (next < edges.size() && edges[next].top <= y) {
            active.push_back(Crossing{0, edges[next].dir, &edges[next]});
            ++next;
        }
        if (active.empty()) {
            if (next == edges.size())
                break;
            y = edges[next].top - 1;
            continue;
        }
        const double yc = y + 0.5;
        for (Crossing& c : active) {
            const Edge& e = *c.edge;
            c.x = e.x0 + (yc - e.y0) * e.dx / e.dy;
        }
        for (size_t k = 1; k < active.size(); ++k) {
            const Crossing c = active[k];
            size_t j = k;
            for (; j > 0 && c < active[j - 1]; --j)
                active[j] = active[j - 1];
            active[j] = c;
        }
        spans.clear();
        int winding = 0;
        for (size_t k = 0; k + 1 < active.size(); ++k) {
            winding += active[k].dir;
            bool inside = fillMode == WINDING ? winding != 0 : (k % 2) == 0;
            if (!inside)
                continue;
            // Pixels whose centres are in [left crossing, right crossing).
            int first = int(std::ceil(active[k].x - 0.5));
            int end = int(std::ceil(active[k + 1].x - 0.5));
            if (first >= end)
                continue;
            if (!spans.empty() && spans.back().second >= first)
                spans.back().second = std::max(spans.back().second, end);
            else
                spans.emplace_back(first, end);
        }
        if (!spans.empty())
            row(y, spans);
    }
}

Region Region::FromPolygons(const POINT* points, const int* counts, int polygonCount, int fillMode)
{
    std::vector<RECT> rects;
    ScanPolygons(points, counts, polygonCount, fillMode, INT_MIN, INT_MAX,
        [&](int y, const ScanSpans& spans) { EmitRow(rects, y, spans); });
    return FromBands(std::move(rects));
}

Region Region::FromPolygon(const POINT* points, int count, int fillMode)
{
    return FromPolygons(points, &count, 1, fillMode);
}

Region Region::FromEllipse(const RECT& rect)
{
    return FromRoundRect(rect, std::abs(rect.right - rect.left), std::abs(rect.bottom - rect.top));
}

Region Region::FromRoundRect(const RECT& rect, int cornerWidth, int cornerHeight)
{
    RECT r{std::min(rect.left, rect.right), std::min(rect.top, rect.bottom), std::max(rect.left, rect.right),
        std::max(rect.top, rect.bottom)};
    if (r.left >= r.right || r.top >= r.bottom)
        return Region();
    double ex = std::min<double>(std::abs(cornerWidth), r.right - r.left) / 2.0;
    double ey = std::min<double>(std::abs(cornerHeight), r.bottom - r.top) / 2.0;
    if (ex <= 0 || ey <= 0)
        return Region(r);
    std::vector<RECT> rects;
    int rowFirst = std::max<int>(r.top, -kScanLimit);
    int rowEnd = std::min<int>(r.bottom, kScanLimit);
    for (int y = rowFirst; y < rowEnd; ++y) {
        double yc = y + 0.5;
        double inset = 0;
        double dy = 0;
        if (yc < r.top + ey)
            dy = (r.top + ey - yc) / ey;
        else if (yc > r.bottom - ey)
            dy = (yc - (r.bottom - ey)) / ey;
        if (dy > 1)
            continue;
        inset = ex - ex * std::sqrt(std::max(0.0, 1 - dy * dy));
        Span s = CentreSpan(r.left + inset, r.right - inset);
        EmitRow(rects, y, Spans{s});
    }
    return FromBands(std::move(rects));
}

bool Region::Encloses(const RECT& rect, const Region& region)
{
    const RECT& b = region.m_bounds;
    return region.m_data != nullptr && rect.left <= b.left && rect.top <= b.top && rect.right >= b.right
        && rect.bottom >= b.bottom;
}

bool Region::IsNormalised() const
{
    if (!m_data)
        return true;
    signed char known = m_data->normalised.load(std::memory_order_relaxed);
    if (known < 0) {
        known = CheckNormalised() ? 1 : 0;
        m_data->normalised.store(known, std::memory_order_relaxed);
    }
    return known != 0;
}

bool Region::CheckNormalised() const
{
    // What FromBands leaves after a combination: bands in increasing y, each
    // with sorted spans that neither touch nor are empty, and no band the
    // same as one touching it above. Only such a region is its own result.
    const std::vector<RECT>& rects = Rects();
    if (rects.empty())
        return true;
    RECT bounds{INT_MAX, rects.front().top, INT_MIN, rects.back().bottom};
    size_t prevBand = 0, prevCount = 0;
    for (size_t i = 0; i < rects.size();) {
        const RECT& first = rects[i];
        bounds.left = std::min(bounds.left, first.left);
        if (first.top >= first.bottom || first.left >= first.right)
            return false;
        if (prevCount > 0 && rects[prevBand].bottom > first.top)
            return false;
        size_t j = i + 1;
        while (j < rects.size() && rects[j].top == first.top) {
            const RECT& r = rects[j];
            if (r.bottom != first.bottom || r.left <= rects[j - 1].right || r.left >= r.right)
                return false;
            ++j;
        }
        bounds.right = std::max(bounds.right, rects[j - 1].right);
        bool same = prevCount == j - i && rects[prevBand].bottom == first.top;
        for (size_t k = 0; same && k < prevCount; ++k)
            same = rects[prevBand + k].left == rects[i + k].left && rects[prevBand + k].right == rects[i + k].right;
        if (same)
            return false;
        prevBand = i;
        prevCount = j - i;
        i = j;
    }
    return SameRect(bounds, m_bounds);
}

int Region::Complexity() const
{
    const std::vector<RECT>& rects = Rects();
    if (rects.empty())
        return NULLREGION;
    return rects.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

Region Region::Combine(const Region& other, int mode) const
{
    if (mode == RGN_COPY)
        return *this;
    const std::vector<RECT>& mine = Rects();
    // Clipping to the whole bitmap or to a figure's box is the common case:
    // a rectangle around the other region leaves it as it is.
    // An empty side decides the answer alone: invalidating a window whose
    // update region is empty, or clipping to nothing, needs no bands.
    const bool emptyHere = mine.empty();
    const bool emptyThere = other.IsEmpty();
    if (emptyHere || emptyThere) {
        switch (mode) {
        case RGN_AND:
            return Region();
        case RGN_OR:
        case RGN_XOR:
            if (emptyHere && other.IsNormalised())
                return other;
            if (emptyThere && IsNormalised())
                return *this;
            break;
        case RGN_DIFF:
            if (emptyHere)
                return Region();
            if (IsNormalised())
                return *this;
            break;
        default:
            break;
        }
    }
    if (mode == RGN_AND) {
        if (mine.size() == 1 && other.IsNormalised())
            return other.ClipToRect(mine.front());
        if (other.Rects().size() == 1 && IsNormalised())
            return ClipToRect(other.Rects().front());
    }
    // The band edges of both regions in order (each region's own are
    // already sorted), then each slice between two edges combined span by
    // span: spans in a band are sorted and apart, so one pass over both
    // lists' ends gives where the answer changes.
    std::vector<int> ys;
    const std::vector<RECT>& otherRects = other.Rects();
    ys.reserve((mine.size() + otherRects.size()) * 2);
    auto edgesOf = [](const std::vector<RECT>& rects, std::vector<int>& out) {
        for (size_t i = 0; i < rects.size();) {
            size_t j = i + 1;
            while (j < rects.size() && rects[j].top == rects[i].top)
                ++j;
            if (out.empty() || out.back() != rects[i].top)
                out.push_back(rects[i].top);
            out.push_back(rects[i].bottom);
            i = j;
        }
    };
    std::vector<int> ya, yb;
    edgesOf(mine, ya);
    edgesOf(otherRects, yb);
    const bool sorted = std::is_sorted(ya.begin(), ya.end()) && std::is_sorted(yb.begin(), yb.end());
    std::merge(ya.begin(), ya.end(), yb.begin(), yb.end(), std::back_inserter(ys));
    if (!sorted)
        std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

    std::vector<RECT> rects;
    size_t ca = 0, cb = 0;
    for (size_t k = 0; k + 1 < ys.size(); ++k) {
        const int y0 = ys[k];
        const int y1 = ys[k + 1];
        size_t aBegin = 0, aEnd = 0, bBegin = 0, bEnd = 0;
        BandRange(mine, ca, y0, aBegin, aEnd);
        BandRange(otherRects, cb, y0, bBegin, bEnd);
        size_t i = aBegin, j = bBegin;
        bool inA = false, inB = false;
        int x = INT_MIN;
        const size_t bandStart = rects.size();
        for (;;) {
            const int xa = i < aEnd ? (inA ? mine[i].right : mine[i].left) : INT_MAX;
            const int xb = j < bEnd ? (inB ? otherRects[j].right : otherRects[j].left) : INT_MAX;
            const int xn = std::min(xa, xb);
            if (xn == INT_MAX)
                break;
            if (xn > x && Apply(mode, inA, inB)) {
                if (rects.size() > bandStart && rects.back().right == x)
                    rects.back().right = xn;
                else
                    rects.push_back(RECT{x, y0, xn, y1});
            }
            x = std::max(x, xn);
            if (xa == xn) {
                if (inA)
                    ++i;
                inA = !inA;
            }
            if (xb == xn) {
                if (inB)
                    ++j;
                inB = !inB;
            }
        }
    }
    return FromBands(std::move(rects));
}

Region Region::Intersect(const RECT& rect) const
{
    if (IsNormalised())
        return ClipToRect(rect);
    return Combine(Region(rect), RGN_AND);
}

Region Region::ClipToRect(const RECT& rect) const
{
    const RECT q{std::min(rect.left, rect.right), std::min(rect.top, rect.bottom), std::max(rect.left, rect.right),
        std::max(rect.top, rect.bottom)};
    if (!m_data || q.left >= q.right || q.top >= q.bottom)
        return Region();
    if (Encloses(q, *this))
        return *this;
    // Bands follow one another, so bottoms never decrease and tops neither:
    // the rectangles the rows of q meet are found by halving, and a small
    // rectangle (a handle, a figure's box) costs what it meets, not the
    // whole region.
    const std::vector<RECT>& all = m_data->rects;
    const auto first
        = std::upper_bound(all.begin(), all.end(), q.top, [](LONG row, const RECT& r) { return row < r.bottom; });
    const auto end
        = std::lower_bound(first, all.end(), q.bottom, [](const RECT& r, LONG row) { return r.top < row; });
    // Clipping each rectangle keeps the bands in order and their spans
    // apart; only bands that end up alike and touching need merging, which
    // FromBands does.
    std::vector<RECT> rects;
    rects.reserve(size_t(end - first));
    for (auto it = first; it != end; ++it) {
        const RECT& r = *it;
        const RECT c{std::max(r.left, q.left), std::max(r.top, q.top), std::min(r.right, q.right),
            std::min(r.bottom, q.bottom)};
        if (c.left < c.right)
            rects.push_back(c);
    }
    return FromBands(std::move(rects));
}

void Region::Offset(int dx, int dy)
{
    if (!m_data || (dx == 0 && dy == 0))
        return;
    // The rectangles are this region's own before they change.
    if (m_data.use_count() > 1) {
        auto own = std::make_shared<Storage>();
        own->rects = m_data->rects;
        m_data = std::move(own);
    }
    for (RECT& r : m_data->rects) {
        r.left = SaturatingAdd(r.left, dx);
        r.right = SaturatingAdd(r.right, dx);
        r.top = SaturatingAdd(r.top, dy);
        r.bottom = SaturatingAdd(r.bottom, dy);
    }
    // At the ends of the int range rectangles can close up.
    m_data->normalised.store(-1, std::memory_order_relaxed);
    m_bounds.left = SaturatingAdd(m_bounds.left, dx);
    m_bounds.right = SaturatingAdd(m_bounds.right, dx);
    m_bounds.top = SaturatingAdd(m_bounds.top, dy);
    m_bounds.bottom = SaturatingAdd(m_bounds.bottom, dy);
}

bool Region::Contains(int x, int y) const
{
    const std::vector<RECT>& rects = Rects();
    if (rects.empty() || x < m_bounds.left || x >= m_bounds.right || y < m_bounds.top || y >= m_bounds.bottom)
        return false;
    // Bands follow one another down the list, so the bottoms never
    // decrease: the band holding row y starts at the first rectangle that
    // ends below it, and its spans are sorted by left.
    auto band = std::upper_bound(
        rects.begin(), rects.end(), y, [](int row, const RECT& r) { return row < r.bottom; });
    if (band == rects.end() || band->top > y)
        return false;
    const auto bandEnd = std::upper_bound(
        band, rects.end(), band->top, [](LONG top, const RECT& r) { return top < r.top; });
    const auto after = std::upper_bound(band, bandEnd, x, [](int column, const RECT& r) { return column < r.left; });
    return after != band && x < (after - 1)->right;
}

bool Region::Intersects(const RECT& rect) const
{
    RECT q{std::min(rect.left, rect.right), std::min(rect.top, rect.bottom), std::max(rect.left, rect.right),
        std::max(rect.top, rect.bottom)};
    if (q.left >= q.right || q.top >= q.bottom)
        return false;
    for (const RECT& r : Rects()) {
        if (r.top >= q.bottom)
            break;
        if (r.bottom > q.top && r.left < q.right && r.right > q.left)
            return true;
    }
    return false;
}

bool Region::operator==(const Region& other) const
{
    if (m_data == other.m_data)
        return true;
    const std::vector<RECT>& mine = Rects();
    const std::vector<RECT>& theirs = other.Rects();
    return mine.size() == theirs.size() && std::equal(mine.begin(), mine.end(), theirs.begin(), SameRect);
}

} // namespace platform
