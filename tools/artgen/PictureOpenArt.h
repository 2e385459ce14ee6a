#pragma once
// The icon of the picture Open dialog's Print button: a printer with a
// picture coming out of it, enabled and disabled, 32 x 32 on a transparent
// ground like the OK, Cancel and Help icons beside it.

#include "Art.h"
#include "Raster.h"

#include <vector>

namespace artgen {

enum class PrintLook { Enabled, Disabled };

Image DrawPrintFolderIcon(PrintLook look);

// button-print-folder.png and button-print-folder-disabled.png.
std::vector<ArtFile> MakePictureOpenArtFiles();

} // namespace artgen
