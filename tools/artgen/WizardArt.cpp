#include "WizardArt.h"

#include "Glyphs.h"
#include "Lettering.h"

namespace artgen {
namespace {

using namespace palette;

constexpr double kW = kWizardButtonWidth;
constexpr double kH = kWizardButtonHeight;
constexpr Rgb kTile{222, 226, 234};
constexpr Rgb kTilePressed{200, 206, 218};
constexpr Rgb kTileHot{255, 242, 196};
constexpr Rgb kLight{255, 255, 255};
constexpr Rgb kGreyGlyph{140, 144, 152};

// An arrow along the tile's middle pointing left or right, its shaft from
// x0 to the head at x1.
void Arrow(Scene& s, double x0, double x1, double cy, Rgb colour)
{
    double dir = x1 > x0 ? 1 : -1;
    double neck = x1 - dir * 7;
    s.Shape({{x0, cy - 2.5}, {neck, cy - 2.5}, {neck, cy - 7}, {x1, cy}, {neck, cy + 7}, {neck, cy + 2.5},
                {x0, cy + 2.5}},
        colour, kInk, 1.2);
}

void Glyph(Scene& s, WizardButton button, Rgb colour, Rgb accent)
{
    const double cx = kW / 2;
    const double cy = kH / 2;
    switch (button) {
    case WizardButton::Back:
        Arrow(s, cx + 12, cx - 12, cy, colour);
        break;
    case WizardButton::Next:
        Arrow(s, cx - 12, cx + 12, cy, colour);
        break;
    case WizardButton::Finish:
        // A flag on its pole.
        s.Stroke({{cx - 9, cy + 8}, {cx - 9, cy - 8}}, 1.8, kInk);
        s.Shape({{cx - 8, cy - 8}, {cx + 10, cy - 6}, {cx + 5, cy - 2}, {cx + 10, cy + 2}, {cx - 8, cy + 1}},
            accent, kInk, 1.2);
        break;
    case WizardButton::Cancel:
        s.Stroke({{cx - 6, cy - 6}, {cx + 6, cy + 6}}, 4.4, kInk);
        s.Stroke({{cx + 6, cy - 6}, {cx - 6, cy + 6}}, 4.4, kInk);
        s.Stroke({{cx - 6, cy - 6}, {cx + 6, cy + 6}}, 2.6, accent);
        s.Stroke({{cx + 6, cy - 6}, {cx - 6, cy + 6}}, 2.6, accent);
        break;
    case WizardButton::Extra:
        AddLettering(s, "?", cx - 4, cy - 9, 0.8, 2.6, colour);
        break;
    }
}

Rgb AccentOf(WizardButton button)
{
    switch (button) {
    case WizardButton::Finish:
        return kGreen;
    case WizardButton::Cancel:
        return kRed;
    case WizardButton::Back:
    case WizardButton::Next:
    case WizardButton::Extra:
        return kBlue;
    }
    return kBlue;
}

Scene ButtonScene(WizardButton button, WizardState state)
{
    Scene s;
    const bool pressed = state == WizardState::Pressed;
    const bool disabled = state == WizardState::Disabled;
    Rgb tile = pressed ? kTilePressed : state == WizardState::Hot ? kTileHot : kTile;
    // The focused button is told by a blue rim.
    const bool checked = state == WizardState::Checked;
    Rgb rim = disabled ? kSteel : checked ? kBlue : kInk;
    s.Rect(1.2, 1.2, kW - 1.2, kH - 1.2, tile, rim, checked ? 2.4 : 1.4);
    // The bevel: light above and left, shade below and right, swapped when
    // the button is down.
    Rgb upper = pressed ? kSteel : kLight;
    Rgb lower = pressed ? kLight : kSteel;
    s.Stroke({{3, kH - 3}, {3, 3}, {kW - 3, 3}}, 1.2, upper);
    s.Stroke({{3, kH - 3}, {kW - 3, kH - 3}, {kW - 3, 3}}, 1.2, lower);
    Scene glyph;
    Rgb accent = disabled ? kGreyGlyph : AccentOf(button);
    Glyph(glyph, button, disabled ? kGreyGlyph : kBlue, accent);
    double shift = pressed ? 1 : 0;
    s.Add(glyph, 1, shift, shift);
    return s;
}

const char* ButtonName(WizardButton button)
{
    switch (button) {
    case WizardButton::Back:
        return "back";
    case WizardButton::Next:
        return "next";
    case WizardButton::Finish:
        return "finish";
    case WizardButton::Cancel:
        return "cancel";
    case WizardButton::Extra:
        return "extra";
    }
    return "";
}

const char* StateName(WizardState state)
{
    switch (state) {
    case WizardState::Normal:
        return "normal";
    case WizardState::Pressed:
        return "pressed";
    case WizardState::Checked:
        return "checked";
    case WizardState::Disabled:
        return "disabled";
    case WizardState::Hot:
        return "hot";
    }
    return "";
}

} // namespace

Image DrawWizardButton(WizardButton button, WizardState state)
{
    // Edges all or nothing, so that no pixel round the tile is tinted by the
    // face colour the buttons are drawn transparently on.
    Image image = Harden(Render(ButtonScene(button, state), kWizardButtonWidth, kWizardButtonHeight, 1, 0, 0));
    Image flat = Flatten(image, kWizardFace);
    return flat;
}

std::vector<ArtFile> MakeWizardArtFiles()
{
    const WizardButton buttons[] = {
        WizardButton::Back, WizardButton::Next, WizardButton::Finish, WizardButton::Cancel, WizardButton::Extra};
    const WizardState states[] = {
        WizardState::Normal, WizardState::Pressed, WizardState::Checked, WizardState::Disabled, WizardState::Hot};
    std::vector<ArtFile> files;
    for (WizardButton button : buttons) {
        for (WizardState state : states) {
            std::string name = std::string("wizard-") + ButtonName(button) + "-" + StateName(state) + ".png";
            files.push_back({name, EncodePng(DrawWizardButton(button, state))});
        }
    }
    return files;
}

} // namespace artgen
