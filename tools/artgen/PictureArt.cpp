#include "PictureArt.h"

#include "Glyphs.h"
#include "Lettering.h"

#include <cmath>

namespace artgen {
namespace {

using namespace palette;

constexpr Rgb kButtonFace{192, 192, 192};

Rgb Mix(Rgb a, Rgb b, double t)
{
    auto one = [t](uint8_t x, uint8_t y) { return uint8_t(x + (y - x) * t + 0.5); };
    return {one(a.r, b.r), one(a.g, b.g), one(a.b, b.b)};
}

// A wavy thread across the picture: y = base + amplitude sin(phase + x).
std::vector<Pt> Wave(double base, double amplitude, double phase, double waves)
{
    std::vector<Pt> points;
    for (int x = -10; x <= kSplashWidth + 10; x += 4) {
        Pt on = Turn({amplitude, 0}, {0, 0}, phase + 360.0 * waves * x / kSplashWidth);
        points.push_back({double(x), base + on.y});
    }
    return points;
}

Scene Needle(Pt eyeEnd, Pt tip)
{
    Scene s;
    double dx = tip.x - eyeEnd.x;
    double dy = tip.y - eyeEnd.y;
    // The square root is exactly rounded everywhere, so the bytes stay the
    // same on every machine.
    double length = std::sqrt(dx * dx + dy * dy);
    Pt along{dx / length, dy / length};
    Pt across{-along.y, along.x};
    const double half = 4.5;
    s.Shape({{eyeEnd.x + across.x * half, eyeEnd.y + across.y * half}, tip,
                {eyeEnd.x - across.x * half, eyeEnd.y - across.y * half},
                {eyeEnd.x - along.x * 3, eyeEnd.y - along.y * 3}},
        kSilver, kInk, 1.5);
    s.Stroke({{eyeEnd.x + along.x * 3, eyeEnd.y + along.y * 3}, {eyeEnd.x + along.x * 13, eyeEnd.y + along.y * 13}}, 2.4,
        kInk);
    s.Stroke({{eyeEnd.x + across.x * 2 + along.x * 16, eyeEnd.y + across.y * 2 + along.y * 16},
                 {eyeEnd.x + across.x * 1 + along.x * 50, eyeEnd.y + across.y * 1 + along.y * 50}},
        1.5, kPaper);
    return s;
}

} // namespace

Image DrawSplash()
{
    Scene s;
    const Rgb top{22, 44, 96};
    const Rgb bottom{18, 112, 140};
    for (int y = 0; y < kSplashHeight; ++y) {
        Rgb c = Mix(top, bottom, double(y) / (kSplashHeight - 1));
        s.Fill({{0, double(y)}, {double(kSplashWidth), double(y)}, {double(kSplashWidth), y + 1.0}, {0, y + 1.0}}, c);
    }
    const Rgb gold{240, 196, 80};
    const Rgb rose{222, 92, 92};
    s.Stroke(Wave(200, 14, 0, 1.5), 3.5, rose);
    s.Stroke(Wave(196, 18, 120, 1.25), 4.5, gold);

    // The thread runs from the wave up through the needle's eye.
    s.Stroke(Join(ArcPoints({336, 150}, 40, 40, 90, 200, 12), {{298, 120}, {306, 70}, {320, 40}}), 3, gold);
    s.Add(Needle({314, 32}, {390, 108}));

    const double scale = 2.3;
    const double width = LetteringWidth(kSplashTitle) * scale;
    const double x = (kSplashWidth - width) / 2 - 28;
    const double y = 62;
    AddLettering(s, kSplashTitle, x + 3, y + 3, scale, 8, Rgb{8, 18, 44});
    AddLettering(s, kSplashTitle, x, y, scale, 8, kPaper);
    // A line of stitches under the name.
    for (double at = x; at + 8 <= x + width; at += 14)
        s.Stroke({{at, y + 20 * scale + 18}, {at + 8, y + 20 * scale + 18}}, 3, gold);

    s.Stroke({{0.5, 0.5}, {kSplashWidth - 0.5, 0.5}, {kSplashWidth - 0.5, kSplashHeight - 0.5}, {0.5, kSplashHeight - 0.5}},
        1, Rgb{8, 18, 44}, true);
    return Flatten(Render(s, kSplashWidth, kSplashHeight, 1, 0, 0), Rgb{0, 0, 0});
}

Image DrawAppIcon()
{
    Scene s;
    // A spool of thread with a needle leaning on it.
    s.Rect(5, 7, 19, 25, kRed, kInk, kOutline);
    for (int i = 0; i < 4; ++i)
        s.Stroke({{6.5, 11.0 + i * 4}, {17.5, 9.0 + i * 4}}, 1.2, Rgb{236, 120, 120});
    s.Ellipse({12, 6}, 10, 3, kOchre, kInk, kOutline);
    s.Ellipse({12, 26}, 10, 3, kOchre, kInk, kOutline);
    s.Add(Needle({22, 3}, {28, 30}), 1);
    s.Stroke({{18, 17}, {22, 13}, {23, 7}}, 1.4, kRed);
    return RenderFitted(s, kGlyphBox, kIconSize, kIconSize);
}

Image DrawDesignIcon()
{
    Scene s;
    s.Shape({{4, 1}, {21, 1}, {28, 8}, {28, 31}, {4, 31}}, kPaper, kInk, kOutline);
    s.Shape({{21, 1}, {21, 8}, {28, 8}}, kPaperShade, kInk, kOutline * 0.8);
    s.Add(DrawShirt(false), 0.62, 6, 9);
    return RenderFitted(s, kGlyphBox, kIconSize, kIconSize);
}

Image DrawTwoSidedStrip()
{
    Image strip;
    strip.width = kSurfaceCell;
    strip.height = kSurfaceCell * 2;
    strip.rgba.assign(size_t(strip.width) * size_t(strip.height) * 4, 0);
    Paste(strip, RenderFitted(DrawShirt(false), 36, kSurfaceCell, kSurfaceCell), 0, 0);
    Paste(strip, RenderFitted(DrawShirt(true), 36, kSurfaceCell, kSurfaceCell), 0, kSurfaceCell);
    return Flatten(strip, kButtonFace);
}

Image DrawTiledStrip()
{
    Scene s;
    s.Rect(7, 3, 29, 33, kPaper, kInk, kOutline);
    for (int i = 0; i < 5; ++i) {
        s.Stroke({{18, 4.5 + i * 6.0}, {18, 7.5 + i * 6.0}}, 1.2, kSteel);
        if (i < 4)
            s.Stroke({{8.5 + i * 5.5, 18}, {11 + i * 5.5, 18}}, 1.2, kSteel);
    }
    s.Ellipse({18, 18}, 4, 4, kSky, kInk, kOutline);
    return Flatten(RenderFitted(s, 36, kSurfaceCell, kSurfaceCell), kButtonFace);
}

std::vector<ArtFile> MakePictureFiles()
{
    return {
        {"splash.png", EncodePng(DrawSplash())},
        {"icon-app.png", EncodePng(DrawAppIcon())},
        {"icon-design.png", EncodePng(DrawDesignIcon())},
        {"surfaces-two-sided.png", EncodePng(DrawTwoSidedStrip())},
        {"surfaces-tiled.png", EncodePng(DrawTiledStrip())},
    };
}

} // namespace artgen
