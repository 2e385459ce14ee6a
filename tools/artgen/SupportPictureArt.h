#pragma once
// The pictures shipped in the support folder's "borders" and "backgrnd"
// folders, where Insert Border and Insert Background start browsing: page
// frames with a white middle and quiet full-page backgrounds, all in the
// page's upright proportions, drawn the same way every time so that a test
// can regenerate them and compare with the committed files.

#include "Art.h"

#include <cstdint>
#include <vector>

namespace artgen {

// The size of every support picture (a Letter page at 40 pixels an inch).
constexpr int kSupportPictureWidth = 340;
constexpr int kSupportPictureHeight = 440;

struct SupportPicture {
    std::string name;         // file name inside its folder
    std::vector<uint8_t> rgb; // three bytes a pixel, rows top to bottom
};

// The border frames and the backgrounds as pixels.
std::vector<SupportPicture> DrawBorderPictures();
std::vector<SupportPicture> DrawBackgroundPictures();

// The same as JPEG files.
std::vector<ArtFile> MakeBorderFiles();
std::vector<ArtFile> MakeBackgroundFiles();

} // namespace artgen
