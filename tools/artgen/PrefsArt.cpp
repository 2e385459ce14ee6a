#include "PrefsArt.h"

#include "Glyphs.h"

namespace artgen {
namespace {

using namespace palette;

constexpr int kSize = 32;
constexpr Rgb kTick{0, 168, 0};
constexpr Rgb kTickRim{0, 84, 0};
constexpr Rgb kGreyTick{168, 172, 180};

Scene ApplyScene(ApplyLook look)
{
    const bool disabled = look == ApplyLook::Disabled;
    const Rgb ink = disabled ? kGreyInk : kInk;
    Scene s;
    // The page with its corner turned down, and the lines of its text.
    s.Shape({{6, 3}, {20, 3}, {26, 9}, {26, 29}, {6, 29}}, disabled ? kGreyPaper : kPaper, ink, 1.4);
    s.Shape({{20, 3}, {20, 9}, {26, 9}}, disabled ? kGreyPaper : kPaperShade, ink, 1.2);
    for (double y : {13.0, 17.0, 21.0})
        s.Stroke({{10, y}, {22, y}}, 1.2, disabled ? kGreyTick : kSteel);
    // The tick over the page, with a darker rim, as on the OK icon.
    const std::vector<Pt> tick{{9, 19}, {15, 25}, {29, 9}};
    s.Stroke(tick, 7.0, disabled ? kGreyInk : kTickRim);
    s.Stroke(tick, 5.0, disabled ? kGreyTick : kTick);
    return s;
}

} // namespace

Image DrawApplyIcon(ApplyLook look)
{
    return Render(ApplyScene(look), kSize, kSize, 1, 0, 0);
}

std::vector<ArtFile> MakePrefsArtFiles()
{
    return {
        {"button-apply.png", EncodePng(DrawApplyIcon(ApplyLook::Enabled))},
        {"button-apply-disabled.png", EncodePng(DrawApplyIcon(ApplyLook::Disabled))},
    };
}

} // namespace artgen
