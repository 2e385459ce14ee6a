#pragma once
// The menu bitmaps of the support library: 13 x 13 pictures (the size of a
// menu check mark) on the menu grey, drawn opaque beside the item text.

#include "Art.h"
#include "Glyphs.h"

#include <vector>

namespace artgen {

constexpr int kMenuBitmapSize = 13;
constexpr Rgb kMenuGround{192, 192, 192};

struct MenuBitmapArt {
    int id;
    Glyph glyph;
    const char* file; // under resources/art/
};

// In the order in which the application loads them.
std::vector<MenuBitmapArt> MakeMenuBitmaps();

Image DrawMenuBitmap(const MenuBitmapArt& art);

std::vector<ArtFile> MakeMenuBitmapFiles();

} // namespace artgen
