#pragma once
// The Picture Gallery's art: the icons of its buttons (Add Picture, Remove,
// Browse, Options and Edit; the disabled Insert is the OK mark in greys),
// the hint's light bulb, and
// the two small pictures beside its "Categories" and "Pictures" frames.
// Icons are 32 x 32 on a transparent ground; a disabled icon is the enabled
// one in greys.

#include "Art.h"
#include "Raster.h"

#include <vector>

namespace artgen {

enum class GalleryIcon { AddPicture, RemovePicture, Browse, Options, EditCategory, Hint };

Image DrawGalleryIcon(GalleryIcon icon, bool disabled);

// The two label pictures, 24 x 24 on the button face.
Image DrawCategoriesBitmap();
Image DrawPicturesBitmap();

std::vector<ArtFile> MakeGalleryArtFiles();

} // namespace artgen
