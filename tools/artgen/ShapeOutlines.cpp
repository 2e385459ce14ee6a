#include "ShapeOutlines.h"

#include "resources/resource.h"

#include <cmath>
#include <stdexcept>

namespace artgen {

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Vec {
    double x, y;
};

Vec operator+(Vec a, Vec b)
{
    return Vec{a.x + b.x, a.y + b.y};
}

Vec operator-(Vec a, Vec b)
{
    return Vec{a.x - b.x, a.y - b.y};
}

Vec operator*(Vec a, double s)
{
    return Vec{a.x * s, a.y * s};
}

double Radians(double degrees)
{
    return degrees * kPi / 180;
}

// Half away from zero, so that offsets of equal size and opposite sign stay
// opposite.
int32_t Round(double v)
{
    return int32_t(v < 0 ? std::ceil(v - 0.5) : std::floor(v + 0.5));
}

// Angle of p seen from c, in [0, 2 pi); with y down it grows clockwise on
// the screen.
double AngleOf(Vec c, Vec p)
{
    double a = std::atan2(p.y - c.y, p.x - c.x);
    return a < 0 ? a + 2 * kPi : a;
}

// The first point where the segment from a towards b meets the circle.
Vec EnterCircle(Vec a, Vec b, Vec c, double r)
{
    Vec d = b - a, f = a - c;
    double qa = d.x * d.x + d.y * d.y;
    double qb = 2 * (f.x * d.x + f.y * d.y);
    double qc = f.x * f.x + f.y * f.y - r * r;
    double t = (-qb - std::sqrt(qb * qb - 4 * qa * qc)) / (2 * qa);
    return a + d * t;
}

// Of the two points where the circles cross, the one farther from `away`.
Vec CrossCircles(Vec c1, double r1, Vec c2, double r2, Vec away)
{
    Vec d = c2 - c1;
    double dist = std::hypot(d.x, d.y);
    double along = (r1 * r1 - r2 * r2 + dist * dist) / (2 * dist);
    double h = std::sqrt(r1 * r1 - along * along);
    Vec base = c1 + d * (along / dist);
    Vec n{-d.y / dist, d.x / dist};
    Vec p1 = base + n * h, p2 = base - n * h;
    auto far = [&](Vec p) { return std::hypot(p.x - away.x, p.y - away.y); };
    return far(p1) >= far(p2) ? p1 : p2;
}

// The outline's corners in order, rounded to whole design units.
class Trace {
public:
    // n points from a (included) towards b (left out). Each offset from a
    // is rounded on its own, so that the points of a level, upright or
    // 45-degree line from a whole point stay exactly on it.
    void Line(Vec a, Vec b, int n)
    {
        int32_t ax = Round(a.x), ay = Round(a.y);
        for (int i = 0; i < n; ++i)
            Add(ax + Round((b.x - a.x) * i / n), ay + Round((b.y - a.y) * i / n));
    }
    // n points of the ellipse arc about c from angle a0 (included) to a1
    // (left out), in radians, clockwise on the screen when a1 > a0.
    void Arc(Vec c, double rx, double ry, double a0, double a1, int n)
    {
        for (int i = 0; i < n; ++i) {
            double a = a0 + (a1 - a0) * i / n;
            Add(Round(c.x + rx * std::cos(a)), Round(c.y + ry * std::sin(a)));
        }
    }
    // n points of the circle arc about c from p0 (included) clockwise on the
    // screen to p1 (left out).
    void ArcBetween(Vec c, double r, Vec p0, Vec p1, int n)
    {
        double a0 = AngleOf(c, p0), a1 = AngleOf(c, p1);
        if (a1 <= a0)
            a1 += 2 * kPi;
        Arc(c, r, r, a0, a1, n);
    }
    // n points of the quadratic curve from p0 (included) to p2 (left out).
    void Curve(Vec p0, Vec p1, Vec p2, int n)
    {
        for (int i = 0; i < n; ++i) {
            double t = double(i) / n, u = 1 - t;
            Vec p = p0 * (u * u) + p1 * (2 * u * t) + p2 * (t * t);
            Add(Round(p.x), Round(p.y));
        }
    }
    void Add(int32_t x, int32_t y) { corners.push_back(ShapePoint{kShapeLineTo, x, y}); }

    std::vector<ShapePoint> corners;
};

// Corners of a unit figure stretched so that their bounds fill the box.
Trace FitToBox(const std::vector<Vec>& unit, int32_t cx, int32_t cy)
{
    double minX = 1e9, minY = 1e9, maxX = -1e9, maxY = -1e9;
    for (Vec p : unit) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    Trace t;
    for (Vec p : unit)
        t.Add(Round((p.x - minX) * cx / (maxX - minX)), Round((p.y - minY) * cy / (maxY - minY)));
    return t;
}

// The two figures from the corners: the first round the shape and closed on
// its start, the second out along the outline and back to the start.
ShapeOutline Build(int id, const char* file, int32_t cx, int32_t cy, int count, int firstFigure, const Trace& trace)
{
    const std::vector<ShapePoint>& c = trace.corners;
    if (int(c.size()) != firstFigure - 1)
        throw std::logic_error(std::string(file) + ": wrong number of corners");
    ShapeOutline out{id, file, cx, cy, firstFigure, {}};
    for (size_t i = 0; i < c.size(); ++i)
        out.points.push_back(ShapePoint{i == 0 ? kShapeMoveTo : kShapeLineTo, c[i].x, c[i].y});
    out.points.push_back(ShapePoint{kShapeClose, c[0].x, c[0].y});
    // An even count turns round on a repeated corner.
    const int second = count - firstFigure;
    const int reach = (second - 1) / 2;
    std::vector<int> walk;
    for (int i = 0; i <= reach; ++i)
        walk.push_back(i);
    if (second % 2 == 0)
        walk.push_back(reach);
    for (int i = reach - 1; i >= 0; --i)
        walk.push_back(i);
    for (size_t i = 0; i < walk.size(); ++i)
        out.points.push_back(ShapePoint{i == 0 ? kShapeMoveTo : kShapeLineTo, c[size_t(walk[i])].x, c[size_t(walk[i])].y});
    return out;
}

// A block arrow pointing right.
ShapeOutline Arrow()
{
    Trace t;
    for (Vec p : {Vec{0, 110}, Vec{200, 110}, Vec{200, 0}, Vec{396, 217}, Vec{200, 434}, Vec{200, 324}, Vec{0, 324}})
        t.Add(Round(p.x), Round(p.y));
    return Build(IDR_SHAPE_ARROW, "shape-arrow.dat", 396, 434, 16, 8, t);
}

// Corners of radius 64, from the middle of the top edge.
ShapeOutline RoundRectangle()
{
    const double r = 64;
    Trace t;
    t.Line({198, 0}, {332, 0}, 2);
    t.Arc({332, 64}, r, r, Radians(-90), 0, 14);
    t.Line({396, 64}, {396, 194}, 2);
    t.Arc({332, 194}, r, r, 0, Radians(90), 14);
    t.Line({332, 258}, {64, 258}, 4);
    t.Arc({64, 194}, r, r, Radians(90), Radians(180), 14);
    t.Line({0, 194}, {0, 64}, 2);
    t.Arc({64, 64}, r, r, Radians(180), Radians(270), 14);
    t.Line({64, 0}, {198, 0}, 2);
    return Build(IDR_SHAPE_ROUND_RECT, "shape-round-rect.dat", 396, 258, 142, 69, t);
}

// An elliptic bubble with its tail running down to the bottom right corner;
// the start lies on the tail's 45-degree upper edge.
Trace BubbleTrace()
{
    const Vec centre{180, 125};
    const double rx = 180, ry = 125;
    const Vec tip{392, 295};
    // Where the 45-degree line up from the tip meets the ellipse.
    double lo = 0, hi = 170;
    for (int i = 0; i < 60; ++i) {
        double s = (lo + hi) / 2;
        double ex = (tip.x - s - centre.x) / rx, ey = (tip.y - s - centre.y) / ry;
        (ex * ex + ey * ey > 1 ? lo : hi) = s;
    }
    const int32_t k = Round(lo), h = k / 2;
    const Vec upper{tip.x - k, tip.y - k}, middle{tip.x - h, tip.y - h};
    const double a2 = Radians(75);
    const Vec lower{centre.x + rx * std::cos(a2), centre.y + ry * std::sin(a2)};
    double a1 = AngleOf(centre, Vec{tip.x - lo, tip.y - lo});
    Trace t;
    t.Line(middle, tip, 10);
    t.Line(tip, lower, 20);
    t.Arc(centre, rx, ry, a2, a1 + 2 * kPi, 184);
    t.Line(upper, middle, 10);
    return t;
}

ShapeOutline BubbleRight()
{
    return Build(IDR_SHAPE_BUBBLE_RIGHT, "shape-bubble-right.dat", 392, 295, 457, 225, BubbleTrace());
}

ShapeOutline BubbleLeft()
{
    Trace t = BubbleTrace();
    for (ShapePoint& p : t.corners)
        p.x = 392 - p.x;
    return Build(IDR_SHAPE_BUBBLE_LEFT, "shape-bubble-left.dat", 392, 295, 457, 225, t);
}

// Two round lobes on 45-degree sides meeting at the bottom; the start lies
// on the right side.
ShapeOutline Heart()
{
    const Vec tip{198, 364};
    const double r = (364 - 198) / std::sqrt(2.0), d = 198 - r;
    const Vec left{198 - d, 364 - (d + r * std::sqrt(2.0))}, right{198 + d, left.y};
    const Vec notch{198, left.y - std::sqrt(r * r - d * d)};
    const int32_t k = Round(r / std::sqrt(2.0) + d), h = k / 2;
    const Vec rightSide{tip.x + k, tip.y - k}, leftSide{tip.x - k, tip.y - k}, middle{tip.x + h, tip.y - h};
    Trace t;
    t.Line(middle, tip, 10);
    t.Line(tip, leftSide, 20);
    t.Arc(left, r, r, Radians(135), AngleOf(left, notch), 76);
    t.Arc(right, r, r, AngleOf(right, notch), Radians(405), 76);
    t.Line(rightSide, middle, 10);
    return Build(IDR_SHAPE_HEART, "shape-heart.dat", 397, 364, 392, 193, t);
}

// Three leaves on a flared stem; the start is the middle of the stem's foot.
ShapeOutline Club()
{
    const double r = 95;
    const Vec top{200.5, 95}, left{95, 190}, right{306, 190}, middle{200.5, 200};
    const Vec footLeft{140, 347}, footRight{261, 347}, foot{200, 347};
    const Vec stemLeft = EnterCircle(footLeft, {180, 200}, left, r);
    const Vec stemRight = EnterCircle(footRight, {221, 200}, right, r);
    const Vec leftTop = CrossCircles(left, r, top, r, middle), topRight = CrossCircles(top, r, right, r, middle);
    Trace t;
    t.Line(foot, footLeft, 6);
    t.Line(footLeft, stemLeft, 15);
    t.ArcBetween(left, r, stemLeft, leftTop, 70);
    t.ArcBetween(top, r, leftTop, topRight, 75);
    t.ArcBetween(right, r, topRight, stemRight, 70);
    t.Line(stemRight, footRight, 15);
    t.Line(footRight, foot, 6);
    return Build(IDR_SHAPE_CLUB, "shape-club.dat", 401, 347, 524, 258, t);
}

// A heart upside down on a flared stem; the start is the middle of the
// stem's foot.
ShapeOutline Spade()
{
    const double r = 110, d = 197 - r;
    const Vec tip{197, 0};
    const Vec left{197 - d, d + r * std::sqrt(2.0)}, right{197 + d, left.y};
    const Vec leftSide = left + Vec{-1, -1} * (r / std::sqrt(2.0)), rightSide = right + Vec{1, -1} * (r / std::sqrt(2.0));
    const Vec footLeft{150, 396}, footRight{244, 396}, foot{197, 396};
    const Vec stemLeft = EnterCircle(footLeft, {185, 300}, left, r);
    const Vec stemRight = EnterCircle(footRight, {209, 300}, right, r);
    Trace t;
    t.Line(foot, footLeft, 6);
    t.Line(footLeft, stemLeft, 12);
    t.ArcBetween(left, r, stemLeft, leftSide, 82);
    t.Line(leftSide, tip, 28);
    t.Line(tip, rightSide, 28);
    t.ArcBetween(right, r, rightSide, stemRight, 82);
    t.Line(stemRight, footRight, 12);
    t.Line(footRight, foot, 7);
    return Build(IDR_SHAPE_SPADE, "shape-spade.dat", 395, 396, 524, 258, t);
}

ShapeOutline Diamond()
{
    Trace t;
    for (Vec p : {Vec{147, 0}, Vec{295, 233}, Vec{147, 467}, Vec{0, 233}})
        t.Add(Round(p.x), Round(p.y));
    return Build(IDR_SHAPE_DIAMOND, "shape-diamond.dat", 295, 467, 10, 5, t);
}

// Alternating outer and inner points round a centre, the first straight up.
std::vector<Vec> Rays(int points, double inner)
{
    std::vector<Vec> unit;
    for (int i = 0; i < 2 * points; ++i) {
        double a = Radians(-90 + 180.0 * i / points);
        double radius = i % 2 ? inner : 1;
        unit.push_back(Vec{radius * std::cos(a), radius * std::sin(a)});
    }
    return unit;
}

ShapeOutline Star()
{
    // The inner radius of a regular five-pointed star.
    const double inner = std::sin(Radians(18)) / std::sin(Radians(54));
    return Build(IDR_SHAPE_STAR, "shape-star.dat", 399, 376, 22, 11, FitToBox(Rays(5, inner), 399, 376));
}

ShapeOutline Sun()
{
    return Build(IDR_SHAPE_SUN, "shape-sun.dat", 400, 389, 98, 49, FitToBox(Rays(24, 0.72), 400, 389));
}

// A board with rounded corners on a post; the start is the middle of the
// post's foot.
ShapeOutline Sign()
{
    const double r = 40;
    Trace t;
    t.Line({199, 395}, {170, 395}, 4);
    t.Line({170, 395}, {170, 250}, 10);
    t.Line({170, 250}, {40, 250}, 8);
    t.Arc({40, 210}, r, r, Radians(90), Radians(180), 20);
    t.Line({0, 210}, {0, 40}, 10);
    t.Arc({40, 40}, r, r, Radians(180), Radians(270), 20);
    t.Line({40, 0}, {359, 0}, 18);
    t.Arc({359, 40}, r, r, Radians(270), Radians(360), 20);
    t.Line({399, 40}, {399, 210}, 10);
    t.Arc({359, 210}, r, r, 0, Radians(90), 20);
    t.Line({359, 250}, {229, 250}, 8);
    t.Line({229, 250}, {229, 395}, 10);
    t.Line({229, 395}, {199, 395}, 4);
    return Build(IDR_SHAPE_SIGN, "shape-sign.dat", 399, 395, 336, 163, t);
}

// Straight top and upper sides, curving in to a point at the bottom.
ShapeOutline Shield()
{
    Trace t;
    t.Line({176, 0}, {352, 0}, 5);
    t.Line({352, 0}, {352, 200}, 10);
    t.Curve({352, 200}, {352, 390}, {176, 465}, 50);
    t.Curve({176, 465}, {0, 390}, {0, 200}, 50);
    t.Line({0, 200}, {0, 0}, 10);
    t.Line({0, 0}, {176, 0}, 5);
    return Build(IDR_SHAPE_SHIELD, "shape-shield.dat", 352, 465, 266, 131, t);
}

void Put32(std::vector<uint8_t>& out, int32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(uint32_t(v) >> (8 * i)));
}

} // namespace

std::vector<ShapeOutline> MakeShapeOutlines()
{
    return {Arrow(), RoundRectangle(), BubbleLeft(), Heart(), Club(), Spade(), Diamond(), Star(), BubbleRight(), Sun(),
        Sign(), Shield()};
}

std::vector<uint8_t> ShapeDataBytes(const ShapeOutline& outline)
{
    std::vector<uint8_t> out;
    Put32(out, outline.cx);
    Put32(out, outline.cy);
    Put32(out, int32_t(outline.points.size()));
    for (const ShapePoint& p : outline.points) {
        out.push_back(p.type);
        Put32(out, p.x);
        Put32(out, p.y);
    }
    return out;
}

std::vector<ArtFile> MakeShapeFiles()
{
    std::vector<ArtFile> files;
    for (const ShapeOutline& outline : MakeShapeOutlines())
        files.push_back({outline.file, ShapeDataBytes(outline)});
    return files;
}

} // namespace artgen
