#include "MenuBitmaps.h"

#include "resources/resource.h"

namespace artgen {

std::vector<MenuBitmapArt> MakeMenuBitmaps()
{
    return {
        {IDB_MENU_NEW, Glyph::New, "menu-new.png"},
        {IDB_MENU_OPEN, Glyph::Open, "menu-open.png"},
        {IDB_MENU_SAVE, Glyph::Save, "menu-save.png"},
        {IDB_MENU_PRINT, Glyph::Print, "menu-print.png"},
        {IDB_MENU_PRINT_PREVIEW, Glyph::PrintPreview, "menu-print-preview.png"},
        {IDB_MENU_CUT, Glyph::Cut, "menu-cut.png"},
        {IDB_MENU_COPY, Glyph::Copy, "menu-copy.png"},
        {IDB_MENU_PASTE, Glyph::Paste, "menu-paste.png"},
        {IDB_MENU_UNDO, Glyph::Undo, "menu-undo.png"},
        {IDB_MENU_REDO, Glyph::Redo, "menu-redo.png"},
        {IDB_MENU_DUPLICATE, Glyph::Duplicate, "menu-duplicate.png"},
        {IDB_MENU_FILL, Glyph::Fill, "menu-fill.png"},
        {IDB_MENU_SHAPES, Glyph::Shapes, "menu-shapes.png"},
        {IDB_MENU_SPELL_CHECK, Glyph::SpellCheck, "menu-spell-check.png"},
        {IDB_MENU_GROUP, Glyph::Group, "menu-group.png"},
        {IDB_MENU_UNGROUP, Glyph::Ungroup, "menu-ungroup.png"},
        {IDB_MENU_LOCK, Glyph::Lock, "menu-lock.png"},
        {IDB_MENU_UNLOCK, Glyph::Unlock, "menu-unlock.png"},
        {IDB_MENU_MOVE_FRONT, Glyph::MoveToFront, "menu-move-front.png"},
        {IDB_MENU_MOVE_BOTTOM, Glyph::MoveToBottom, "menu-move-bottom.png"},
        {IDB_MENU_TILE_HORZ, Glyph::TileHorizontal, "menu-tile-horizontal.png"},
        {IDB_MENU_TILE_VERT, Glyph::TileVertical, "menu-tile-vertical.png"},
        {IDB_MENU_CASCADE, Glyph::Cascade, "menu-cascade.png"},
        {IDB_MENU_NEW_WINDOW, Glyph::NewWindow, "menu-new-window.png"},
        {IDB_MENU_ABOUT, Glyph::About, "menu-about.png"},
        {IDB_MENU_HELP_TOPICS, Glyph::HelpTopics, "menu-help-topics.png"},
        {IDB_MENU_HOW_DO_I, Glyph::HowDoI, "menu-how-do-i.png"},
    };
}

Image DrawMenuBitmap(const MenuBitmapArt& art)
{
    return Flatten(RenderFitted(DrawGlyph(art.glyph), kGlyphBox, kMenuBitmapSize, kMenuBitmapSize), kMenuGround);
}

std::vector<ArtFile> MakeMenuBitmapFiles()
{
    std::vector<ArtFile> files;
    for (const MenuBitmapArt& art : MakeMenuBitmaps())
        files.push_back({art.file, EncodePng(DrawMenuBitmap(art))});
    return files;
}

} // namespace artgen
