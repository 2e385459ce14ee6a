#pragma once
// Where drawing landed on a memory bitmap: the count and bounds of the
// pixels of an area that drawing changed.

#include "tests/support/MemoryCanvas.h"

#include <algorithm>
#include <climits>

namespace texttest {

struct Ink {
    int nCount = 0;
    CRect bounds{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
};

// Pixels of an area that differ from the background (or, with crOnly,
// that are exactly that colour).
inline Ink InkIn(testing_support::MemoryCanvas& canvas, const CRect& area, COLORREF crBack,
    COLORREF crOnly = CLR_INVALID)
{
    Ink ink;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            const COLORREF cr = canvas.At(x, y);
            if (crOnly == CLR_INVALID ? cr == crBack : cr != crOnly)
                continue;
            ++ink.nCount;
            ink.bounds.left = std::min<int>(ink.bounds.left, x);
            ink.bounds.top = std::min<int>(ink.bounds.top, y);
            ink.bounds.right = std::max<int>(ink.bounds.right, x + 1);
            ink.bounds.bottom = std::max<int>(ink.bounds.bottom, y + 1);
        }
    }
    return ink;
}

} // namespace texttest
