#pragma once
// The two toolbars of the main frame, each in four looks (small or large,
// plain or colour): the buttons in bar order and one strip picture per look
// with one cell per button (separators have none), on the light grey that
// the toolbar control takes as transparent.

#include "Art.h"
#include "Glyphs.h"

#include <vector>

namespace artgen {

// The strip background; no glyph pixel keeps this colour.
constexpr Rgb kStripGround{192, 192, 192};

struct ToolbarButton {
    int command = 0; // 0: a separator
    Glyph glyph = Glyph::New;
};

struct ToolbarLook {
    int resourceId = 0;
    bool large = false;
    bool colour = false;
    const char* file = ""; // under resources/art/
};

struct ToolbarArt {
    const char* name;
    std::vector<ToolbarButton> buttons;
    std::vector<ToolbarLook> looks;
};

// Small cells 16 x 15, large 24 x 23.
int ToolbarCellWidth(bool large);
int ToolbarCellHeight(bool large);

std::vector<ToolbarArt> MakeToolbars();

Image DrawToolbarStrip(const ToolbarArt& bar, const ToolbarLook& look);

std::vector<ArtFile> MakeToolbarFiles();

} // namespace artgen
