#pragma once
// The pictures of drives and folder trees: the drive icons of the program
// (32 x 32, transparent ground) and the tree pictures of the support library
// (16 x 16 on the 0xFF00FF key), in the style of the button glyphs.

#include "Art.h"
#include "Raster.h"

#include <vector>

namespace artgen {

constexpr int kTreeBitmapSize = 16;
constexpr Rgb kTreeKey{255, 0, 255};

enum class DriveArt {
    Remote,
    Removable,
    Fixed,
    Floppy,
    RamDisk,
    CdRom,
};

enum class TreeArt {
    Level0,
    Level1,
    Computer,
    Folder,
    OpenFolder,
    NoMedium,
    Unreadable,
};

Scene DrawDriveScene(DriveArt art);
Scene DrawTreeScene(TreeArt art);
Image DrawTreeBitmap(TreeArt art);

// drive-*.png and tree-*.png.
std::vector<ArtFile> MakeDriveArtFiles();

} // namespace artgen
