#pragma once
// Where bent (warped) text put its ink: a canvas's ink as a map, and how
// much of one drawing's ink the other matches within a few pixels.

#include "tests/support/MemoryCanvas.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace texttest {

struct InkMap {
    int w = 0;
    int h = 0;
    std::vector<uint8_t> on;
    int Count() const { return static_cast<int>(std::count(on.begin(), on.end(), 1)); }
    bool At(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < w && y < h && on[size_t(y) * size_t(w) + size_t(x)] != 0;
    }
};

// The pixels of the canvas's top-left w x h that are not the background.
inline InkMap InkOf(testing_support::MemoryCanvas& canvas, int w, int h, COLORREF crBack)
{
    InkMap ink;
    ink.w = w;
    ink.h = h;
    ink.on.assign(size_t(w) * size_t(h), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ink.on[size_t(y) * size_t(w) + size_t(x)] = canvas.At(x, y) != crBack ? 1 : 0;
    return ink;
}

// The share of a's ink that has ink of b at most r pixels away along each
// axis (1 when a has none).
inline double NearShare(const InkMap& a, const InkMap& b, int r)
{
    int nInk = 0;
    int nNear = 0;
    for (int y = 0; y < a.h; ++y) {
        for (int x = 0; x < a.w; ++x) {
            if (!a.At(x, y))
                continue;
            ++nInk;
            bool bNear = false;
            for (int dy = -r; dy <= r && !bNear; ++dy)
                for (int dx = -r; dx <= r && !bNear; ++dx)
                    bNear = b.At(x + dx, y + dy);
            nNear += bNear ? 1 : 0;
        }
    }
    return nInk == 0 ? 1.0 : double(nNear) / nInk;
}

} // namespace texttest
