#pragma once
// The screen's system palette as palette code realises it: what drawing on a
// palette screen (the test override at 8 bpp and below) is reduced to.

#include "platform/base/GdiRecords.h"

#include <vector>

namespace platform {

// The colours a screen or window target of that depth is limited to: the
// default table of the depth until a palette is realised in the foreground
// on an 8-bpp screen, then the 20 static colours around that palette's
// entries. Null for true-colour depths.
const std::vector<RGBQUAD>* ScreenColorTable(int bitsPixel);

// Forgets the realised palette.
void ResetPalettesForTesting();

} // namespace platform
