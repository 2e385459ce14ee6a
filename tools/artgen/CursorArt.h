#pragma once
// The program's mouse cursors: 32 x 32, white shapes with a black rim (or
// black strokes with a white rim), all-or-nothing transparency, each with
// its hot spot.

#include "Art.h"
#include "Raster.h"

#include <string>
#include <vector>

namespace artgen {

constexpr int kCursorSize = 32;

struct CursorArt {
    int id;
    int hotX, hotY;
    std::string file; // under resources/art/
    Scene scene;      // in pixels
};

// The cursors of the cursor set.
std::vector<CursorArt> MakeCursors();
// The cursors the tools load themselves (the zoom tool's).
std::vector<CursorArt> MakeToolCursors();

Image DrawCursor(const CursorArt& cursor);

std::vector<ArtFile> MakeCursorFiles();

} // namespace artgen
