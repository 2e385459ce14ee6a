#pragma once
// The stand-in picture the Scale dialog previews when the object being
// scaled has no picture of its own (support\tslogo.jpg): a small drawn
// badge, landscape, so that a preview of it shows a change of width and of
// height alike. Made the same way every time, so a test can regenerate it
// and compare it with the committed file.

#include "Art.h"

#include <cstdint>
#include <vector>

namespace artgen {

constexpr int kScaleLogoWidth = 160;
constexpr int kScaleLogoHeight = 120;

// The picture's pixels, three bytes each, rows top to bottom.
std::vector<uint8_t> ScaleLogoPixels();
// "tslogo.jpg" and its bytes.
ArtFile MakeScaleLogoPicture();

} // namespace artgen
