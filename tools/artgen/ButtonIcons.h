#pragma once
// The 32 x 32 icons of the dialog push buttons (OK, Cancel, Help): strokes
// with a darker rim on a transparent ground, written as PNG files that the
// resource compiler turns into ICON resources. Made the same way every time
// so that a test can regenerate them and compare with the committed files.

#include "Art.h"

#include <cstdint>
#include <vector>

namespace artgen {

// 32-bit RGBA pixels, top row first.
struct IconPixels {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};

IconPixels DrawOkIcon();
IconPixels DrawCancelIcon();
IconPixels DrawHelpIcon();

// An 8-bit RGBA PNG of the pixels (stored, uncompressed deflate blocks).
std::vector<uint8_t> EncodePng(const IconPixels& pixels);

// button-ok.png, button-cancel.png and button-help.png.
std::vector<ArtFile> MakeButtonIconFiles();

} // namespace artgen
