#pragma once
// Drawing from an image list beyond ImageList_Draw: the embossed look of a
// disabled toolbar button.

#include "platform/ui/CommCtrl.h"

namespace platform {

// Draws image i as a disabled picture: its dark shapes in the highlight
// colour one pixel down and right, then in the shadow colour.
BOOL DrawImageEmbossed(HIMAGELIST himl, int i, HDC hdc, int x, int y);

} // namespace platform
