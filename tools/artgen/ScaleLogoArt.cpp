#include "ScaleLogoArt.h"

#include "JpegWriter.h"
#include "Raster.h"

#include <cmath>

namespace artgen {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kQuality = 92;

const Rgb kWhite{255, 255, 255};
const Rgb kTeal{20, 120, 130};
const Rgb kNavy{25, 45, 95};
const Rgb kGold{240, 190, 50};
const Rgb kCoral{225, 95, 80};

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

Scene LogoScene()
{
    // A badge on the left, three bars of falling length on the right: the
    // parts sit in different corners, so a stretched preview reads at once.
    Scene scene;
    scene.Rect(0, 0, kScaleLogoWidth, kScaleLogoHeight, kWhite, kWhite, 0);
    scene.Rect(4, 4, kScaleLogoWidth - 4, kScaleLogoHeight - 4, kWhite, kNavy, 3);
    scene.Ellipse({52, 60}, 36, 36, kTeal, kNavy, 3);
    scene.Shape(Star({52, 62}, 26), kGold, kNavy, 1.5);
    scene.Rect(98, 30, 146, 44, kCoral, kNavy, 1.5);
    scene.Rect(98, 53, 136, 67, kTeal, kNavy, 1.5);
    scene.Rect(98, 76, 126, 90, kGold, kNavy, 1.5);
    return scene;
}

} // namespace

std::vector<uint8_t> ScaleLogoPixels()
{
    const Image flat = Flatten(Render(LogoScene(), kScaleLogoWidth, kScaleLogoHeight, 1.0, 0.0, 0.0), kWhite);
    std::vector<uint8_t> rgb;
    rgb.reserve(size_t(flat.width) * size_t(flat.height) * 3);
    for (size_t i = 0; i + 3 < flat.rgba.size(); i += 4) {
        rgb.push_back(flat.rgba[i]);
        rgb.push_back(flat.rgba[i + 1]);
        rgb.push_back(flat.rgba[i + 2]);
    }
    return rgb;
}

ArtFile MakeScaleLogoPicture()
{
    return {"tslogo.jpg", EncodeJpeg(ScaleLogoPixels(), kScaleLogoWidth, kScaleLogoHeight, kQuality)};
}

} // namespace artgen
