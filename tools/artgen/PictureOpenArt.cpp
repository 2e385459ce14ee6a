#include "PictureOpenArt.h"

#include "Glyphs.h"

namespace artgen {
namespace {

using namespace palette;

constexpr int kSize = 32;
constexpr Rgb kBody{176, 180, 188};
constexpr Rgb kBodyShade{120, 124, 132};
constexpr Rgb kSky{96, 160, 232};
constexpr Rgb kHill{40, 150, 60};
constexpr Rgb kSun{248, 200, 40};
constexpr Rgb kGreyFill{200, 202, 208};

Scene PrintScene(PrintLook look)
{
    const bool disabled = look == PrintLook::Disabled;
    const Rgb ink = disabled ? kGreyInk : kInk;
    Scene s;
    // The sheet in the printer's top, with a small landscape on it.
    s.Rect(9, 2, 23, 14, disabled ? kGreyPaper : kPaper, ink, 1.2);
    s.Rect(11, 4, 21, 12, disabled ? kGreyFill : kSky, disabled ? kGreyFill : kSky, 0.1);
    s.Fill({{11, 12}, {15, 7}, {18, 10}, {21, 8}, {21, 12}}, disabled ? kGreyInk : kHill);
    if (!disabled)
        s.Ellipse({19, 6}, 1.3, 1.3, kSun, kSun, 0.1);
    // The printer's body and its paper slot.
    s.Shape({{3, 13}, {29, 13}, {29, 25}, {3, 25}}, disabled ? kGreyFill : kBody, ink, 1.4);
    s.Rect(7, 21, 25, 29, disabled ? kGreyPaper : kPaper, ink, 1.2);
    s.Stroke({{6, 17}, {26, 17}}, 1.4, disabled ? kGreyInk : kBodyShade);
    return s;
}

} // namespace

Image DrawPrintFolderIcon(PrintLook look)
{
    return Render(PrintScene(look), kSize, kSize, 1, 0, 0);
}

std::vector<ArtFile> MakePictureOpenArtFiles()
{
    return {
        {"button-print-folder.png", EncodePng(DrawPrintFolderIcon(PrintLook::Enabled))},
        {"button-print-folder-disabled.png", EncodePng(DrawPrintFolderIcon(PrintLook::Disabled))},
    };
}

} // namespace artgen
