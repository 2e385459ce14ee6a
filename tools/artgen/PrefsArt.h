#pragma once
// The icons of the Apply button of the Preferences sheet: a page with a
// green tick on it, enabled and disabled, 32 x 32 on a transparent ground
// like the OK, Cancel and Help icons beside it.

#include "Art.h"
#include "Raster.h"

#include <vector>

namespace artgen {

enum class ApplyLook { Enabled, Disabled };

Image DrawApplyIcon(ApplyLook look);

// button-apply.png and button-apply-disabled.png.
std::vector<ArtFile> MakePrefsArtFiles();

} // namespace artgen
