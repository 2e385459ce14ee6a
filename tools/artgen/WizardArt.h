#pragma once
// The picture buttons of the wizard sheet (Back, Next, Finish, Cancel and
// the extra button), each in five states: normal, pressed, checked (the
// focused button), disabled and hot (under the pointer). 52 x 24 tiles in
// the style of the button glyphs, on the 0xC0C0C0 face that the picture
// controls take as transparent.

#include "Art.h"
#include "Raster.h"

#include <vector>

namespace artgen {

constexpr int kWizardButtonWidth = 52;
constexpr int kWizardButtonHeight = 24;
constexpr Rgb kWizardFace{192, 192, 192};

enum class WizardButton { Back, Next, Finish, Cancel, Extra };
enum class WizardState { Normal, Pressed, Checked, Disabled, Hot };

Image DrawWizardButton(WizardButton button, WizardState state);

// wizard-<button>-<state>.png.
std::vector<ArtFile> MakeWizardArtFiles();

} // namespace artgen
