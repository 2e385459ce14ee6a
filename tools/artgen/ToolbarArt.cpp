#include "ToolbarArt.h"

#include "platform/base/AfxResourceIds.h"
#include "resources/resource.h"

namespace artgen {
namespace {

constexpr Rgb kNearGround{184, 184, 184};

} // namespace

int ToolbarCellWidth(bool large)
{
    return large ? 24 : 16;
}

int ToolbarCellHeight(bool large)
{
    return large ? 23 : 15;
}

std::vector<ToolbarArt> MakeToolbars()
{
    const ToolbarButton sep{};
    ToolbarArt standard{"standard",
        {
            {ID_FILE_NEW_DESIGN_MENU, Glyph::New},
            {ID_FILE_OPEN, Glyph::Open},
            {ID_FILE_SAVE, Glyph::Save},
            sep,
            {ID_FILE_PRINT, Glyph::Print},
            {ID_FILE_PRINT_PREVIEW, Glyph::PrintPreview},
            sep,
            {ID_EDIT_CUT, Glyph::Cut},
            {ID_EDIT_COPY, Glyph::Copy},
            {ID_EDIT_PASTE, Glyph::Paste},
            sep,
            {ID_EDIT_UNDO, Glyph::Undo},
            {ID_EDIT_REDO, Glyph::Redo},
            sep,
            {ID_EDIT_CROP_TOOL, Glyph::CropTool},
            sep,
            // The bar puts its zoom combo box over this button.
            {ID_VIEW_ZOOM_COMBO, Glyph::Zoom},
            sep,
            {ID_CONTEXT_HELP, Glyph::ContextHelp},
        },
        {
            {IDR_STANDARD_SMALL, false, false, "toolbar-standard-small.png"},
            {IDR_STANDARD_SMALL_COLOR, false, true, "toolbar-standard-small-colour.png"},
            {IDR_STANDARD_LARGE, true, false, "toolbar-standard-large.png"},
            {IDR_STANDARD_LARGE_COLOR, true, true, "toolbar-standard-large-colour.png"},
        }};
    ToolbarArt formatting{"formatting",
        {
            {ID_ARRANGE_SELECT_TOOL, Glyph::Select},
            {ID_DRAW_TEXT_TOOL, Glyph::TextTool},
            {ID_DRAW_LINE, Glyph::Line},
            {ID_DRAW_RECT, Glyph::Rectangle},
            {ID_DRAW_ROUNDRECT, Glyph::RoundRectangle},
            {ID_DRAW_ELLIPSE, Glyph::Ellipse},
            {ID_DRAW_POLYGON_TOOL, Glyph::Polygon},
            {ID_VIEW_ZOOM_TOOL, Glyph::ZoomTool},
            sep,
            {ID_EDIT_OBJECT_FONT, Glyph::Font},
            {ID_INSERT_TEXT_EFFECTS, Glyph::TextEffects},
            {ID_EDIT_LINE_COLOR, Glyph::LineColour},
            sep,
            {ID_ARRANGE_MOVE_FRONT, Glyph::MoveToFront},
            {ID_ARRANGE_MOVE_BOTTOM, Glyph::MoveToBottom},
            sep,
            {ID_ARRANGE_TOGGLE_GROUPING, Glyph::Group},
            {ID_ARRANGE_TOGGLE_LOCKING, Glyph::Lock},
            sep,
            {ID_ARRANGE_ALIGN_LEFT, Glyph::AlignLeft},
            {ID_ARRANGE_ALIGN_RIGHT, Glyph::AlignRight},
            {ID_ARRANGE_ALIGN_TOP, Glyph::AlignTop},
            {ID_ARRANGE_ALIGN_BOTTOM, Glyph::AlignBottom},
            {ID_ARRANGE_CENTER_PAGE, Glyph::CenterOnPage},
            sep,
            {ID_ARRANGE_FLIP_HORZ, Glyph::FlipHorizontal},
            {ID_ARRANGE_FLIP_VERT, Glyph::FlipVertical},
            {ID_ARRANGE_ROTATE, Glyph::Rotate},
            sep,
            {ID_EDIT_PROPERTIES, Glyph::Properties},
        },
        {
            {IDR_FORMATTING_SMALL, false, false, "toolbar-formatting-small.png"},
            {IDR_FORMATTING_SMALL_COLOR, false, true, "toolbar-formatting-small-colour.png"},
            {IDR_FORMATTING_LARGE, true, false, "toolbar-formatting-large.png"},
            {IDR_FORMATTING_LARGE_COLOR, true, true, "toolbar-formatting-large-colour.png"},
        }};
    return {standard, formatting};
}

Image DrawToolbarStrip(const ToolbarArt& bar, const ToolbarLook& look)
{
    const int width = ToolbarCellWidth(look.large);
    const int height = ToolbarCellHeight(look.large);
    int cells = 0;
    for (const ToolbarButton& button : bar.buttons)
        cells += button.command != 0 ? 1 : 0;
    Image strip;
    strip.width = width * cells;
    strip.height = height;
    strip.rgba.assign(size_t(strip.width) * size_t(height) * 4, 0);
    int at = 0;
    for (const ToolbarButton& button : bar.buttons) {
        if (button.command == 0)
            continue;
        Image cell = RenderFitted(DrawGlyph(button.glyph), kGlyphBox, width, height);
        if (!look.colour)
            cell = ToGrey(cell);
        Paste(strip, cell, at * width, 0);
        ++at;
    }
    // A glyph pixel that came out exactly the ground colour would turn
    // transparent on the button.
    ReplaceColour(strip, kStripGround, kNearGround);
    return Flatten(strip, kStripGround);
}

std::vector<ArtFile> MakeToolbarFiles()
{
    std::vector<ArtFile> files;
    for (const ToolbarArt& bar : MakeToolbars()) {
        for (const ToolbarLook& look : bar.looks)
            files.push_back({look.file, EncodePng(DrawToolbarStrip(bar, look))});
    }
    return files;
}

} // namespace artgen
