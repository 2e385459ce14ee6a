#pragma once
// The cell pictures of the Page Setup pages' choice grids: one metafile per
// project kind, paper size and orientation the pages offer, drawn on the
// same 1000-unit square as the other metafile pictures so that the grids
// fit them alike.

#include "Art.h"

#include <vector>

namespace artgen {

// In resource order: the six kinds, the two papers, the two orientations.
std::vector<MetafileArt> MakePageSetupMetafiles();

} // namespace artgen
