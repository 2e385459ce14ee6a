#include "ButtonIcons.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace artgen {
namespace {

constexpr int kSize = 32;
// Each pixel is the mean of 4 x 4 samples, which smooths the edges.
constexpr int kSamples = 4;

struct Rgb {
    uint8_t r, g, b;
};

struct Point {
    double x, y;
};

double SegmentDistance(Point p, Point a, Point b)
{
    double dx = b.x - a.x;
    double dy = b.y - a.y;
    double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    double ex = a.x + t * dx - p.x;
    double ey = a.y + t * dy - p.y;
    return std::sqrt(ex * ex + ey * ey);
}

double PolylineDistance(Point p, const std::vector<Point>& line)
{
    double best = 1e9;
    for (size_t i = 0; i + 1 < line.size(); ++i)
        best = std::min(best, SegmentDistance(p, line[i], line[i + 1]));
    return best;
}

// A sample's colour and whether it is covered; the shape functions answer
// for the point at the centre of one sample.
struct Sample {
    bool covered = false;
    Rgb colour{0, 0, 0};
};

template <class Shape>
IconPixels Render(Shape shape)
{
    IconPixels out;
    out.width = kSize;
    out.height = kSize;
    out.rgba.assign(size_t(kSize) * kSize * 4, 0);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            int r = 0, g = 0, b = 0, n = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    Point p{x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples};
                    Sample s = shape(p);
                    if (!s.covered)
                        continue;
                    r += s.colour.r;
                    g += s.colour.g;
                    b += s.colour.b;
                    ++n;
                }
            }
            uint8_t* px = &out.rgba[(size_t(y) * kSize + x) * 4];
            if (n == 0)
                continue;
            // Straight (not premultiplied) colour of the covered samples.
            px[0] = uint8_t((r + n / 2) / n);
            px[1] = uint8_t((g + n / 2) / n);
            px[2] = uint8_t((b + n / 2) / n);
            px[3] = uint8_t((n * 255 + kSamples * kSamples / 2) / (kSamples * kSamples));
        }
    }
    return out;
}

// A stroke of half-width `inner` in `fill` with a rim out to `outer`.
Sample Stroke(double distance, double inner, double outer, Rgb fill, Rgb rim)
{
    if (distance <= inner)
        return Sample{true, fill};
    if (distance <= outer)
        return Sample{true, rim};
    return Sample{};
}

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0)
{
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void PutBig32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(v >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data)
{
    PutBig32(out, uint32_t(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBig32(out, Crc32(&out[start], out.size() - start));
}

} // namespace

IconPixels DrawOkIcon()
{
    const std::vector<Point> tick = {{7, 17}, {13, 23}, {25, 9}};
    return Render([&](Point p) {
        return Stroke(PolylineDistance(p, tick), 2.6, 3.6, Rgb{0, 168, 0}, Rgb{0, 84, 0});
    });
}

IconPixels DrawCancelIcon()
{
    const std::vector<Point> down = {{9, 9}, {23, 23}};
    const std::vector<Point> up = {{23, 9}, {9, 23}};
    return Render([&](Point p) {
        double d = std::min(PolylineDistance(p, down), PolylineDistance(p, up));
        return Stroke(d, 2.6, 3.6, Rgb{208, 0, 0}, Rgb{104, 0, 0});
    });
}

IconPixels DrawHelpIcon()
{
    const std::vector<Point> hook = {{11.5, 12}, {12.5, 9}, {16, 7.5}, {19.5, 9}, {20.5, 12}, {18.5, 15}, {16, 17},
        {16, 20}};
    const Point dot{16, 24.5};
    const Point centre{16, 16};
    return Render([&](Point p) {
        double fromCentre = std::hypot(p.x - centre.x, p.y - centre.y);
        if (fromCentre > 14.5)
            return Sample{};
        if (fromCentre > 13.5)
            return Sample{true, Rgb{0, 0, 112}};
        bool mark = PolylineDistance(p, hook) <= 1.7 || std::hypot(p.x - dot.x, p.y - dot.y) <= 2.0;
        return mark ? Sample{true, Rgb{255, 255, 255}} : Sample{true, Rgb{0, 72, 208}};
    });
}

std::vector<uint8_t> EncodePng(const IconPixels& pixels)
{
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutBig32(header, uint32_t(pixels.width));
    PutBig32(header, uint32_t(pixels.height));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8-bit RGBA, no interlace
    PutChunk(out, "IHDR", header);

    // Each row starts with filter type 0.
    std::vector<uint8_t> raw;
    const size_t rowBytes = size_t(pixels.width) * 4;
    for (int y = 0; y < pixels.height; ++y) {
        raw.push_back(0);
        auto row = pixels.rgba.begin() + std::ptrdiff_t(y * rowBytes);
        raw.insert(raw.end(), row, row + std::ptrdiff_t(rowBytes));
    }
    // A zlib stream of stored deflate blocks, then the Adler-32 of the data.
    std::vector<uint8_t> z = {0x78, 0x01};
    size_t at = 0;
    do {
        size_t n = std::min<size_t>(raw.size() - at, 65535);
        bool last = at + n == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(uint8_t(n));
        z.push_back(uint8_t(n >> 8));
        z.push_back(uint8_t(~n));
        z.push_back(uint8_t(~n >> 8));
        z.insert(z.end(), raw.begin() + std::ptrdiff_t(at), raw.begin() + std::ptrdiff_t(at + n));
        at += n;
    } while (at < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBig32(z, (b << 16) | a);
    PutChunk(out, "IDAT", z);
    PutChunk(out, "IEND", {});
    return out;
}

std::vector<ArtFile> MakeButtonIconFiles()
{
    return {
        {"button-ok.png", EncodePng(DrawOkIcon())},
        {"button-cancel.png", EncodePng(DrawCancelIcon())},
        {"button-help.png", EncodePng(DrawHelpIcon())},
    };
}

} // namespace artgen
