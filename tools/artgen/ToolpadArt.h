#pragma once
// The tool pad's art: its background picture (support\toolpad.jpg, which
// the palette stacks its panels on), the pictures of the panels' buttons
// and titles, the text format panel's buttons, the cells of the text and
// fill dialogs' pickers and the Shadow dialog's offset icons.
//
// Buttons of the workspace and navigation panels are drawn over the
// background picture: where the picture should show through they hold the
// key colour, and their soft edges are blended onto the picture's own
// pixels under them, so no fringe of the key shows. The other panels'
// buttons sit on the button face. Picker cells are black on white, as the
// picker paints the black in the text colour.

#include "Raster.h"

#include <cstdint>
#include <string>
#include <vector>

namespace artgen {

constexpr int kToolpadWidth = 130;
constexpr int kToolpadHeight = 370;
// The rows of the panels the palette stacks on the picture: the workspace
// panel from 0, one context panel from 160 and the navigation panel from
// 312 to the last row.
constexpr int kToolpadContextTop = 160;
constexpr int kToolpadNavigationTop = 312;

// The colour buttons drawn over the picture leave to show it.
constexpr Rgb kToolpadKey{0, 128, 128};
// The face the other panels' buttons and the titles are drawn on; a title's
// face is transparent.
constexpr Rgb kToolpadFace{192, 192, 192};

// The background's pixels, three bytes each, rows top to bottom.
std::vector<uint8_t> ToolpadPixels();
// "toolpad.jpg" and its bytes.
ArtFile MakeToolpadPicture();

struct ToolpadArtPicture {
    int id = 0;        // resource id (resources/toolpadart.h)
    std::string file;  // under resources/art/
    int width = 0;
    int height = 0;
    bool icon = false; // an ICON resource, else a BITMAP
};

// Every picture, in resource id order of the header's groups.
std::vector<ToolpadArtPicture> ToolpadArtPictures();
// The PNG files of those pictures.
std::vector<ArtFile> MakeToolpadArtFiles();

// The warp shape (0..15) each cell of the Text Effects shape picker stands
// for, in cell order.
constexpr int kWarpShapeOfCell[16] = {15, 10, 4, 5, 3, 2, 1, 0, 6, 7, 8, 9, 12, 11, 13, 14};

// Where the text of warp shape kind 1..16 lies in the column at u (0 the
// left edge, 1 the right), as fractions of the shape's height; the flag
// shapes reach a little past 1.
void WarpEnvelope(int nKind, double u, double& top, double& bottom);

} // namespace artgen
