#pragma once
// The pictures of the program's buttons and menu items, one scene each in a
// 32-unit box, drawn in one style: flat colours with a dark outline. The
// toolbar strips, the menu bitmaps and the icons are all made from these.

#include "Raster.h"

namespace artgen {

constexpr double kGlyphBox = 32;

enum class Glyph {
    New,
    Open,
    Save,
    Print,
    PrintPreview,
    Cut,
    Copy,
    Paste,
    Undo,
    Redo,
    Zoom,
    ContextHelp,
    Select,
    TextTool,
    Line,
    Rectangle,
    RoundRectangle,
    Ellipse,
    Polygon,
    ZoomTool,
    Font,
    TextEffects,
    LineColour,
    MoveToFront,
    MoveToBottom,
    Group,
    Ungroup,
    Lock,
    Unlock,
    AlignLeft,
    AlignRight,
    AlignTop,
    AlignBottom,
    CenterOnPage,
    FlipHorizontal,
    FlipVertical,
    Rotate,
    Properties,
    Duplicate,
    Fill,
    Shapes,
    SpellCheck,
    TileHorizontal,
    TileVertical,
    Cascade,
    NewWindow,
    About,
    HelpTopics,
    HowDoI,
    CropTool,
};

Scene DrawGlyph(Glyph glyph);

// A T-shirt seen from the front (deep neckline, a print on the chest) or
// from the back (high neckline, a label), filling the 32-unit box.
Scene DrawShirt(bool back);

// The colours of the style.
namespace palette {
constexpr Rgb kInk{24, 28, 40};
constexpr Rgb kPaper{255, 255, 255};
constexpr Rgb kPaperShade{214, 222, 236};
constexpr Rgb kBlue{36, 92, 196};
constexpr Rgb kSky{128, 176, 236};
constexpr Rgb kYellow{246, 204, 64};
constexpr Rgb kOchre{200, 148, 40};
constexpr Rgb kRed{204, 40, 40};
constexpr Rgb kGreen{40, 152, 72};
constexpr Rgb kLeaf{136, 208, 136};
constexpr Rgb kSteel{120, 126, 140};
constexpr Rgb kSilver{210, 212, 220};
constexpr Rgb kBrown{164, 108, 52};
constexpr Rgb kOrange{236, 132, 36};
// The ink and paper of a disabled button's picture.
constexpr Rgb kGreyInk{128, 132, 140};
constexpr Rgb kGreyPaper{232, 232, 236};
} // namespace palette

// The outline width of the style, in glyph units.
constexpr double kOutline = 2.0;

} // namespace artgen
