#pragma once
// Helpers the effect filters share (Filters.cpp); seen only inside
// platform/imaging.

#include "platform/imaging/ImagingInternal.h"

#include <cstdint>
#include <functional>

namespace platform::imaging {

// Runs band(y0, y1) over rows [0, height) split into bands, side by side on
// the machine's cores when there is enough work (workPerRow: a rough
// count of operations a row costs). Bands never overlap; a band must
// write only its own rows.
void ForEachBand(int height, long long workPerRow, const std::function<void(int, int)>& band);
// Fixes the number of bands (at most one a row) whatever the work, so that
// the tests can check that results do not depend on it; 0 goes back to the
// machine's cores. Answers the previous setting.
int SetFilterBands(int bands);

// Maps each colour channel through its table (256 entries each): a
// palette record's palette, or every pixel of a 16-, 24- or 32-bit one
// (alpha untouched).
int ApplyChannelTables(LTBITMAP& bitmap, const uint8_t* red, const uint8_t* green, const uint8_t* blue);
int ApplyTable(LTBITMAP& bitmap, const uint8_t* table);

// Maps every colour (a palette record's palette, else every pixel).
int ApplyColorMap(LTBITMAP& bitmap, const std::function<void(uint8_t& r, uint8_t& g, uint8_t& b)>& map);

// A zeroed work image of that size; false when memory runs out.
bool MakeWork(int width, int height, WorkImage& out);

} // namespace platform::imaging
