#include "Raster.h"

#include <algorithm>
#include <cstdint>

namespace artgen {
namespace {

constexpr int kSamples = 4;
constexpr double kPi = 3.14159265358979323846;

double SegmentDistance2(Pt p, Pt a, Pt b)
{
    double dx = b.x - a.x;
    double dy = b.y - a.y;
    double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    double ex = a.x + t * dx - p.x;
    double ey = a.y + t * dy - p.y;
    return ex * ex + ey * ey;
}

bool InsideEvenOdd(const std::vector<std::vector<Pt>>& contours, Pt p)
{
    bool inside = false;
    for (const std::vector<Pt>& c : contours) {
        size_t n = c.size();
        for (size_t i = 0, j = n - 1; i < n; j = i++) {
            const Pt& a = c[i];
            const Pt& b = c[j];
            if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x)
                inside = !inside;
        }
    }
    return inside;
}

bool Covers(const Scene::Item& item, Pt p)
{
    if (p.x < item.x0 || p.x > item.x1 || p.y < item.y0 || p.y > item.y1)
        return false;
    if (item.halfWidth == 0)
        return InsideEvenOdd(item.contours, p);
    double limit = item.halfWidth * item.halfWidth;
    for (const std::vector<Pt>& path : item.contours) {
        if (path.size() == 1 && SegmentDistance2(p, path[0], path[0]) <= limit)
            return true;
        for (size_t i = 0; i + 1 < path.size(); ++i) {
            if (SegmentDistance2(p, path[i], path[i + 1]) <= limit)
                return true;
        }
        if (item.closed && path.size() > 2 && SegmentDistance2(p, path.back(), path.front()) <= limit)
            return true;
    }
    return false;
}

// sin of an angle in degrees, from a Taylor polynomial on the quarter turn
// around zero: only +, - and *, so every machine draws the same arcs.
double SineDegrees(double degrees)
{
    double turns = degrees / 360.0;
    double x = turns - static_cast<double>(static_cast<int64_t>(turns));
    if (x < 0)
        x += 1.0;
    double a = x < 0.25 ? x : (x < 0.75 ? 0.5 - x : x - 1.0);
    const double t = a * 2 * kPi;
    const double t2 = t * t;
    double term = t;
    double sum = t;
    for (int n = 1; n <= 8; ++n) {
        term = -term * t2 / static_cast<double>((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}

uint8_t Byte(double v)
{
    return static_cast<uint8_t>(std::clamp(static_cast<int>(v + 0.5), 0, 255));
}

} // namespace

std::vector<Pt> ArcPoints(Pt centre, double rx, double ry, double a0, double a1, int segments)
{
    std::vector<Pt> out;
    segments = std::max(segments, 1);
    for (int i = 0; i <= segments; ++i) {
        double a = a0 + (a1 - a0) * i / segments;
        out.push_back({centre.x + rx * SineDegrees(a + 90), centre.y + ry * SineDegrees(a)});
    }
    return out;
}

std::vector<Pt> Join(std::vector<Pt> a, const std::vector<Pt>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Pt Turn(Pt p, Pt centre, double degrees)
{
    double s = SineDegrees(degrees);
    double c = SineDegrees(degrees + 90);
    double x = p.x - centre.x;
    double y = p.y - centre.y;
    return {centre.x + x * c - y * s, centre.y + x * s + y * c};
}

void Scene::Push(Item item)
{
    double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
    for (const std::vector<Pt>& c : item.contours) {
        for (const Pt& p : c) {
            x0 = std::min(x0, p.x);
            y0 = std::min(y0, p.y);
            x1 = std::max(x1, p.x);
            y1 = std::max(y1, p.y);
        }
    }
    item.x0 = x0 - item.halfWidth;
    item.y0 = y0 - item.halfWidth;
    item.x1 = x1 + item.halfWidth;
    item.y1 = y1 + item.halfWidth;
    m_items.push_back(std::move(item));
}

void Scene::Fill(std::vector<std::vector<Pt>> contours, Rgb colour)
{
    Item item;
    item.contours = std::move(contours);
    item.colour = colour;
    Push(std::move(item));
}

void Scene::Stroke(std::vector<Pt> path, double width, Rgb colour, bool closed)
{
    Item item;
    item.contours.push_back(std::move(path));
    item.halfWidth = width / 2;
    item.closed = closed;
    item.colour = colour;
    Push(std::move(item));
}

void Scene::Shape(std::vector<Pt> contour, Rgb fill, Rgb outline, double width)
{
    Fill(contour, fill);
    if (width > 0)
        Stroke(std::move(contour), width, outline, true);
}

void Scene::Rect(double x0, double y0, double x1, double y1, Rgb fill, Rgb outline, double width)
{
    Shape({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, fill, outline, width);
}

void Scene::Ellipse(Pt centre, double rx, double ry, Rgb fill, Rgb outline, double width)
{
    std::vector<Pt> points = ArcPoints(centre, rx, ry, 0, 360, 48);
    points.pop_back(); // the last point repeats the first
    Shape(std::move(points), fill, outline, width);
}

void Scene::Add(const Scene& other, double scale, double dx, double dy)
{
    AddMapped(other, [&](Pt p) { return Pt{p.x * scale + dx, p.y * scale + dy}; }, scale);
}

Image Render(const Scene& scene, int width, int height, double scale, double dx, double dy)
{
    Image out;
    out.width = width;
    out.height = height;
    out.rgba.assign(size_t(width) * size_t(height) * 4, 0);
    const std::vector<Scene::Item>& items = scene.Items();
    std::vector<const Scene::Item*> near;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            // Only the items whose bounds meet this pixel can cover a sample.
            double px0 = (x - dx) / scale, px1 = (x + 1 - dx) / scale;
            double py0 = (y - dy) / scale, py1 = (y + 1 - dy) / scale;
            near.clear();
            for (const Scene::Item& item : items) {
                if (item.x1 >= px0 && item.x0 <= px1 && item.y1 >= py0 && item.y0 <= py1)
                    near.push_back(&item);
            }
            if (near.empty())
                continue;
            int r = 0, g = 0, b = 0, n = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    Pt p{(x + (sx + 0.5) / kSamples - dx) / scale, (y + (sy + 0.5) / kSamples - dy) / scale};
                    const Scene::Item* top = nullptr;
                    for (auto it = near.rbegin(); it != near.rend() && !top; ++it) {
                        if (Covers(**it, p))
                            top = *it;
                    }
                    if (!top)
                        continue;
                    r += top->colour.r;
                    g += top->colour.g;
                    b += top->colour.b;
                    ++n;
                }
            }
            if (n == 0)
                continue;
            uint8_t* px = &out.rgba[(size_t(y) * size_t(width) + size_t(x)) * 4];
            px[0] = uint8_t((r + n / 2) / n);
            px[1] = uint8_t((g + n / 2) / n);
            px[2] = uint8_t((b + n / 2) / n);
            px[3] = uint8_t((n * 255 + kSamples * kSamples / 2) / (kSamples * kSamples));
        }
    }
    return out;
}

Image RenderFitted(const Scene& scene, double box, int width, int height)
{
    double scale = std::min(width, height) / box;
    return Render(scene, width, height, scale, (width - box * scale) / 2, (height - box * scale) / 2);
}

Image Flatten(const Image& image, Rgb ground)
{
    Image out = image;
    for (size_t i = 0; i + 3 < out.rgba.size(); i += 4) {
        uint8_t* px = &out.rgba[i];
        double a = px[3] / 255.0;
        px[0] = Byte(px[0] * a + ground.r * (1 - a));
        px[1] = Byte(px[1] * a + ground.g * (1 - a));
        px[2] = Byte(px[2] * a + ground.b * (1 - a));
        px[3] = 255;
    }
    return out;
}

Image ToGrey(const Image& image)
{
    Image out = image;
    for (size_t i = 0; i + 3 < out.rgba.size(); i += 4) {
        uint8_t* px = &out.rgba[i];
        // Integer weights of the usual brightness formula.
        uint8_t v = uint8_t((px[0] * 77 + px[1] * 150 + px[2] * 29 + 128) >> 8);
        px[0] = px[1] = px[2] = v;
    }
    return out;
}

Image Harden(const Image& image)
{
    Image out = image;
    for (size_t i = 3; i < out.rgba.size(); i += 4)
        out.rgba[i] = out.rgba[i] >= 128 ? 255 : 0;
    for (size_t i = 0; i + 3 < out.rgba.size(); i += 4) {
        if (out.rgba[i + 3] == 0)
            out.rgba[i] = out.rgba[i + 1] = out.rgba[i + 2] = 0;
    }
    return out;
}

void ReplaceColour(Image& image, Rgb from, Rgb to)
{
    for (size_t i = 0; i + 3 < image.rgba.size(); i += 4) {
        uint8_t* px = &image.rgba[i];
        if (px[3] == 255 && px[0] == from.r && px[1] == from.g && px[2] == from.b) {
            px[0] = to.r;
            px[1] = to.g;
            px[2] = to.b;
        }
    }
}

void Paste(Image& image, const Image& part, int x, int y)
{
    for (int row = 0; row < part.height; ++row) {
        int ty = y + row;
        if (ty < 0 || ty >= image.height)
            continue;
        for (int col = 0; col < part.width; ++col) {
            int tx = x + col;
            if (tx < 0 || tx >= image.width)
                continue;
            const uint8_t* src = &part.rgba[(size_t(row) * size_t(part.width) + size_t(col)) * 4];
            uint8_t* dst = &image.rgba[(size_t(ty) * size_t(image.width) + size_t(tx)) * 4];
            std::copy(src, src + 4, dst);
        }
    }
}

} // namespace artgen
