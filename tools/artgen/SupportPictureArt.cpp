#include "SupportPictureArt.h"

#include "JpegWriter.h"
#include "Raster.h"

#include <algorithm>
#include <cmath>

namespace artgen {
namespace {

constexpr int kW = kSupportPictureWidth;
constexpr int kH = kSupportPictureHeight;
constexpr int kQuality = 90;
constexpr double kPi = 3.14159265358979323846;

const Rgb kWhite{255, 255, 255};

std::vector<uint8_t> ToRgb(const Image& image)
{
    const Image flat = Flatten(image, kWhite);
    std::vector<uint8_t> rgb;
    rgb.reserve(size_t(flat.width) * size_t(flat.height) * 3);
    for (size_t i = 0; i + 3 < flat.rgba.size(); i += 4) {
        rgb.push_back(flat.rgba[i]);
        rgb.push_back(flat.rgba[i + 1]);
        rgb.push_back(flat.rgba[i + 2]);
    }
    return rgb;
}

std::vector<uint8_t> RenderScene(const Scene& scene)
{
    return ToRgb(Render(scene, kW, kH, 1.0, 0.0, 0.0));
}

// A five-pointed star of outer radius r about c, one point upwards.
std::vector<Pt> Star(Pt c, double r)
{
    std::vector<Pt> points;
    for (int i = 0; i < 10; ++i) {
        const double radius = i % 2 == 0 ? r : r * 0.42;
        const double a = (-90.0 + 36.0 * i) * kPi / 180.0;
        points.push_back({c.x + radius * std::cos(a), c.y + radius * std::sin(a)});
    }
    return points;
}

// Points spaced evenly along the frame's middle line, inset by `inset`,
// corners included.
std::vector<Pt> FramePoints(double inset, double step)
{
    std::vector<Pt> points;
    const double x0 = inset;
    const double y0 = inset;
    const double x1 = kW - inset;
    const double y1 = kH - inset;
    const int across = std::max(1, int(std::lround((x1 - x0) / step)));
    const int down = std::max(1, int(std::lround((y1 - y0) / step)));
    for (int i = 0; i < across; ++i) {
        const double x = x0 + (x1 - x0) * i / across;
        points.push_back({x, y0});
        points.push_back({x0 + x1 - x, y1});
    }
    for (int i = 0; i < down; ++i) {
        const double y = y0 + (y1 - y0) * i / down;
        points.push_back({x1, y});
        points.push_back({x0, y0 + y1 - y});
    }
    return points;
}

SupportPicture RibbonBorder()
{
    // Two navy rules with a diamond at each corner.
    const Rgb navy{30, 50, 110};
    const Rgb gold{205, 160, 50};
    Scene scene;
    scene.Rect(10, 10, kW - 10, kH - 10, kWhite, navy, 6);
    scene.Rect(22, 22, kW - 22, kH - 22, kWhite, navy, 2);
    for (const Pt c : {Pt{16, 16}, Pt{kW - 16.0, 16}, Pt{kW - 16.0, kH - 16.0}, Pt{16, kH - 16.0}})
        scene.Shape({{c.x, c.y - 12}, {c.x + 12, c.y}, {c.x, c.y + 12}, {c.x - 12, c.y}}, gold, navy, 1.5);
    return {"ribbon.jpg", RenderScene(scene)};
}

SupportPicture StarBorder()
{
    // Gold stars round the edge on a thin red rule.
    const Rgb red{180, 40, 40};
    const Rgb gold{235, 185, 40};
    Scene scene;
    scene.Rect(18, 18, kW - 18, kH - 18, kWhite, red, 2);
    for (const Pt p : FramePoints(18, 34))
        scene.Shape(Star(p, 11), gold, red, 1);
    return {"stars.jpg", RenderScene(scene)};
}

SupportPicture LeafBorder()
{
    // A vine: a green stem round the page with a leaf every step, the
    // leaves turned along the frame.
    const Rgb stem{60, 110, 50};
    const Rgb leaf{110, 170, 80};
    Scene scene;
    scene.Rect(20, 20, kW - 20, kH - 20, kWhite, stem, 3);
    int n = 0;
    for (const Pt p : FramePoints(20, 26)) {
        const double turn = (n++ % 2 == 0 ? 45.0 : -45.0);
        std::vector<Pt> shape = ArcPoints({p.x, p.y}, 10, 4.5, 0, 360, 24);
        shape.pop_back();
        for (Pt& q : shape)
            q = Turn(q, p, turn);
        scene.Shape(std::move(shape), leaf, stem, 1);
    }
    return {"leaves.jpg", RenderScene(scene)};
}

SupportPicture SkyBackground()
{
    // A sky from deep blue at the top to pale at the bottom, with a few soft
    // white clouds laid over it.
    std::vector<uint8_t> rgb(size_t(kW) * size_t(kH) * 3);
    for (int y = 0; y < kH; ++y) {
        const double t = double(y) / (kH - 1);
        const uint8_t r = uint8_t(std::lround(70 + 150 * t));
        const uint8_t g = uint8_t(std::lround(130 + 100 * t));
        const uint8_t b = uint8_t(std::lround(210 + 40 * t));
        for (int x = 0; x < kW; ++x) {
            uint8_t* px = &rgb[(size_t(y) * kW + size_t(x)) * 3];
            px[0] = r;
            px[1] = g;
            px[2] = b;
        }
    }
    Scene clouds;
    for (const Pt c : {Pt{80, 90}, Pt{250, 170}, Pt{120, 300}, Pt{270, 370}}) {
        clouds.Ellipse(c, 46, 16, kWhite, kWhite, 0);
        clouds.Ellipse({c.x - 20, c.y - 10}, 24, 16, kWhite, kWhite, 0);
        clouds.Ellipse({c.x + 16, c.y - 12}, 20, 14, kWhite, kWhite, 0);
    }
    const Image over = Render(clouds, kW, kH, 1.0, 0.0, 0.0);
    for (size_t i = 0, j = 0; i + 3 < over.rgba.size(); i += 4, j += 3) {
        // Clouds are drawn at four fifths, so the sky shows through a little.
        const int a = over.rgba[i + 3] * 4 / 5;
        for (int c = 0; c < 3; ++c)
            rgb[j + size_t(c)] = uint8_t((rgb[j + size_t(c)] * (255 - a) + over.rgba[i + size_t(c)] * a + 127) / 255);
    }
    return {"sky.jpg", std::move(rgb)};
}

SupportPicture StripeBackground()
{
    // Pastel stripes running down to the right.
    const Rgb colours[] = {{250, 215, 215}, {250, 240, 200}, {210, 240, 215}, {210, 225, 250}};
    std::vector<uint8_t> rgb(size_t(kW) * size_t(kH) * 3);
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            const Rgb& c = colours[((x + y) / 30) % 4];
            uint8_t* px = &rgb[(size_t(y) * kW + size_t(x)) * 3];
            px[0] = c.r;
            px[1] = c.g;
            px[2] = c.b;
        }
    }
    return {"stripes.jpg", std::move(rgb)};
}

SupportPicture DotBackground()
{
    // Soft dots in offset rows on cream.
    const Rgb cream{252, 246, 228};
    const Rgb dot{235, 170, 150};
    Scene scene;
    scene.Rect(0, 0, kW, kH, cream, cream, 0);
    for (int row = 0; row * 28 < kH + 28; ++row) {
        for (int col = 0; col * 28 < kW + 28; ++col)
            scene.Ellipse({col * 28.0 + (row % 2 == 0 ? 0.0 : 14.0), row * 28.0}, 7, 7, dot, dot, 0);
    }
    return {"dots.jpg", RenderScene(scene)};
}

std::vector<ArtFile> Encode(const std::vector<SupportPicture>& pictures)
{
    std::vector<ArtFile> files;
    for (const SupportPicture& picture : pictures)
        files.push_back({picture.name, EncodeJpeg(picture.rgb, kW, kH, kQuality)});
    return files;
}

} // namespace

std::vector<SupportPicture> DrawBorderPictures()
{
    return {RibbonBorder(), StarBorder(), LeafBorder()};
}

std::vector<SupportPicture> DrawBackgroundPictures()
{
    return {SkyBackground(), StripeBackground(), DotBackground()};
}

std::vector<ArtFile> MakeBorderFiles()
{
    return Encode(DrawBorderPictures());
}

std::vector<ArtFile> MakeBackgroundFiles()
{
    return Encode(DrawBackgroundPictures());
}

} // namespace artgen
