#pragma once
// The cell pictures of the hatch and line-style popups: black on white,
// drawn pixel by pixel so that the patterns stay crisp. Hatches are 20 x 20,
// line styles 28 x 8, small enough for the popups' cells at their own size.

#include "Art.h"

#include <vector>

namespace artgen {

// hatch-*.png in HS_ order and line-*.png in PS_ order.
std::vector<ArtFile> MakeGridPickerArtFiles();

} // namespace artgen
