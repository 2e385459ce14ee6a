#pragma once
// The workspace background shipped in the support folder: a quiet linen
// tile that repeats without a seam, so that the picture background the
// preferences start with has something to show.

#include "Art.h"

#include <cstdint>
#include <vector>

namespace artgen {

constexpr int kBackgroundTileSide = 128;

// The tile's pixels, three bytes each, rows top to bottom.
std::vector<uint8_t> BackgroundTilePixels();
// "bkgimage.jpg" and its bytes.
ArtFile MakeBackgroundTile();

} // namespace artgen
