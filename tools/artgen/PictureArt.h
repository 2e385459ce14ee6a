#pragma once
// The program's larger pictures: the splash picture with the program's
// name, the icons of the main window and of the designs, and the strips of
// surface pictures that the tool pad shows for each kind of design.

#include "Art.h"
#include "Raster.h"

#include <vector>

namespace artgen {

constexpr int kSplashWidth = 400;
constexpr int kSplashHeight = 250;
// The name drawn on the splash.
constexpr const char* kSplashTitle = "Threadwick";

// Opaque.
Image DrawSplash();

// 32 x 32 with transparent corners.
constexpr int kIconSize = 32;
Image DrawAppIcon();
Image DrawDesignIcon();

// One cell per surface, stacked top to bottom, on the button face.
constexpr int kSurfaceCell = 48;
Image DrawTwoSidedStrip(); // front, back
Image DrawTiledStrip();    // the one page of the poster family

std::vector<ArtFile> MakePictureFiles();

} // namespace artgen
