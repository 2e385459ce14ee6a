#pragma once
// Pictures of the same design from three roads (the view's window, the
// printed page rendered by pdftoppm, and a picture an outside tool made from
// the source), and the measures that say whether they show the same thing:
// pixels may differ where an edge lies within two pixels.

#include "platform/base/Geometry.h"
#include "platform/base/Types.h"
#include "tests/framework/PpmImage.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace surfacetest {

using Picture = fwtest::PpmImage;

// A blank picture of the size, every pixel of the colour.
inline Picture BlankPicture(int width, int height, COLORREF cr)
{
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.rgb.resize(size_t(width) * size_t(height) * 3);
    for (size_t i = 0; i < picture.rgb.size(); i += 3) {
        picture.rgb[i] = GetRValue(cr);
        picture.rgb[i + 1] = GetGValue(cr);
        picture.rgb[i + 2] = GetBValue(cr);
    }
    return picture;
}

inline void PutPixel(Picture& picture, int x, int y, COLORREF cr)
{
    const size_t i = (size_t(y) * size_t(picture.width) + size_t(x)) * 3;
    picture.rgb[i] = GetRValue(cr);
    picture.rgb[i + 1] = GetGValue(cr);
    picture.rgb[i + 2] = GetBValue(cr);
}

// The part of a picture at (left, top), of the size; pixels outside the
// picture come out in the colour given.
inline Picture CutOut(const Picture& picture, int left, int top, int width, int height, COLORREF outside)
{
    Picture part = BlankPicture(width, height, outside);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int sx = left + x;
            const int sy = top + y;
            if (sx >= 0 && sy >= 0 && sx < picture.width && sy < picture.height)
                PutPixel(part, x, y, picture.At(sx, sy));
        }
    }
    return part;
}

// The bounds of the pixels of exactly one colour; empty when none has it.
inline CRect BoundsOfColour(const Picture& picture, COLORREF cr)
{
    CRect bounds(picture.width, picture.height, 0, 0);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            if (picture.At(x, y) != cr)
                continue;
            bounds.left = std::min<LONG>(bounds.left, x);
            bounds.top = std::min<LONG>(bounds.top, y);
            bounds.right = std::max<LONG>(bounds.right, x + 1);
            bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
        }
    }
    return bounds.left < bounds.right ? bounds : CRect(0, 0, 0, 0);
}

inline int ChannelDistance(COLORREF a, COLORREF b)
{
    return std::max({std::abs(int(GetRValue(a)) - int(GetRValue(b))), std::abs(int(GetGValue(a)) - int(GetGValue(b))),
        std::abs(int(GetBValue(a)) - int(GetBValue(b)))});
}

// Whether the colour lies, channel by channel, within the range the
// picture's pixels take within nRadius of (x, y), widened by nTolerance: an
// edge there, a pixel or two from where the other picture has it, explains
// the colour, smoothed or not.
inline bool ExplainedNear(const Picture& picture, int x, int y, COLORREF cr, int nRadius, int nTolerance)
{
    int lo[3] = {255, 255, 255};
    int hi[3] = {0, 0, 0};
    for (int py = std::max(0, y - nRadius); py <= std::min(picture.height - 1, y + nRadius); ++py) {
        for (int px = std::max(0, x - nRadius); px <= std::min(picture.width - 1, x + nRadius); ++px) {
            const COLORREF c = picture.At(px, py);
            const int v[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
            for (int i = 0; i < 3; ++i) {
                lo[i] = std::min(lo[i], v[i]);
                hi[i] = std::max(hi[i], v[i]);
            }
        }
    }
    const int v[3] = {GetRValue(cr), GetGValue(cr), GetBValue(cr)};
    for (int i = 0; i < 3; ++i) {
        if (v[i] < lo[i] - nTolerance || v[i] > hi[i] + nTolerance)
            return false;
    }
    return true;
}

// Each pixel's ink (its distance from the background, 1 for a full pixel)
// averaged over the square of nRadius about it.
inline std::vector<double> LocalInk(const Picture& picture, COLORREF background, int nRadius)
{
    const int w = picture.width;
    const int h = picture.height;
    std::vector<double> sums(size_t(w + 1) * size_t(h + 1), 0.0);
    for (int y = 0; y < h; ++y) {
        double row = 0;
        for (int x = 0; x < w; ++x) {
            row += ChannelDistance(picture.At(x, y), background) / 255.0;
            sums[size_t(y + 1) * size_t(w + 1) + size_t(x + 1)] = sums[size_t(y) * size_t(w + 1) + size_t(x + 1)] + row;
        }
    }
    std::vector<double> ink(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int x0 = std::max(0, x - nRadius), x1 = std::min(w, x + nRadius + 1);
            const int y0 = std::max(0, y - nRadius), y1 = std::min(h, y + nRadius + 1);
            auto at = [&sums, w](int sx, int sy) { return sums[size_t(sy) * size_t(w + 1) + size_t(sx)]; };
            const double sum = at(x1, y1) - at(x1, y0) - at(x0, y1) + at(x0, y0);
            ink[size_t(y) * size_t(w) + size_t(x)] = sum / double((x1 - x0) * (y1 - y0));
        }
    }
    return ink;
}

// How two pictures of one size disagree. Strictly: the pixels that differ
// by more than the tolerance where no edge of the other picture within two
// pixels explains them, both ways. Loosely, for text, which each device
// lays with its own font metrics (hinted on the screen) and draws plain on
// one and smoothed on the other: the pixels whose ink, averaged over the
// square of seven pixels about them, differs by more than two fifths of
// full ink (a stroke there on one only, twice as thick, or moved by more
// than a pixel past an edge's two). The first pixel of each, and the ink
// each picture holds.
struct Disagreement {
    int nStrict = 0;
    CPoint firstStrict{-1, -1};
    int nLoose = 0;
    CPoint firstLoose{-1, -1};
    double dInkA = 0;
    double dInkB = 0;
};

constexpr int kEdgeRadius = 2;
constexpr int kInkRadius = 3;
constexpr double kLooseInk = 0.4;

inline Disagreement Compare(const Picture& a, const Picture& b, COLORREF background, int nTolerance)
{
    Disagreement out;
    const std::vector<double> inkA = LocalInk(a, background, kInkRadius);
    const std::vector<double> inkB = LocalInk(b, background, kInkRadius);
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            const size_t i = size_t(y) * size_t(a.width) + size_t(x);
            const COLORREF ca = a.At(x, y);
            const COLORREF cb = b.At(x, y);
            out.dInkA += ChannelDistance(ca, background) / 255.0;
            out.dInkB += ChannelDistance(cb, background) / 255.0;
            if (std::abs(inkA[i] - inkB[i]) > kLooseInk && out.nLoose++ == 0)
                out.firstLoose = CPoint(x, y);
            if (ChannelDistance(ca, cb) <= nTolerance)
                continue;
            if (ExplainedNear(b, x, y, ca, kEdgeRadius, nTolerance)
                && ExplainedNear(a, x, y, cb, kEdgeRadius, nTolerance))
                continue;
            if (out.nStrict++ == 0)
                out.firstStrict = CPoint(x, y);
        }
    }
    return out;
}

// A point in pixels, with fractions.
struct PointF {
    double x;
    double y;
};

// The corners of a w x h frame centred on (cx, cy) (pixels, y down), turned
// counter-clockwise as the eye sees it by the degrees.
inline std::array<PointF, 4> TurnedCorners(double cx, double cy, double w, double h, double dDegrees)
{
    const double a = dDegrees * 3.14159265358979323846 / 180.0;
    const double c = std::cos(a);
    const double s = std::sin(a);
    std::array<PointF, 4> corners{};
    const double dx[4] = {-w / 2, w / 2, w / 2, -w / 2};
    const double dy[4] = {-h / 2, -h / 2, h / 2, h / 2};
    for (int i = 0; i < 4; ++i)
        corners[size_t(i)] = {cx + dx[i] * c + dy[i] * s, cy - dx[i] * s + dy[i] * c};
    return corners;
}

// How far the point lies outside the convex quadrilateral; 0 inside.
inline double DistanceOutside(const std::array<PointF, 4>& quad, double x, double y)
{
    // The corners go round one way; a point is outside an edge when it lies
    // on the other side of it from the quadrilateral's middle.
    const double mx = (quad[0].x + quad[1].x + quad[2].x + quad[3].x) / 4;
    const double my = (quad[0].y + quad[1].y + quad[2].y + quad[3].y) / 4;
    double dOutside = 0;
    for (size_t i = 0; i < 4; ++i) {
        const PointF& p = quad[i];
        const PointF& q = quad[(i + 1) % 4];
        const double ex = q.x - p.x;
        const double ey = q.y - p.y;
        const double len = std::hypot(ex, ey);
        if (len == 0)
            continue;
        const double side = (ex * (y - p.y) - ey * (x - p.x)) / len;
        const double middle = ex * (my - p.y) - ey * (mx - p.x);
        const double d = middle > 0 ? -side : side;
        dOutside = std::max(dOutside, d);
    }
    return dOutside;
}

} // namespace surfacetest
