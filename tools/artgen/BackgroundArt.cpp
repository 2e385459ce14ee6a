#include "BackgroundArt.h"

#include "JpegWriter.h"

#include <algorithm>

namespace artgen {
namespace {

// A small integer hash of a place, -1 .. 1; places a tile apart agree, so
// the tile has no seam.
double Grain(int x, int y, uint32_t seed)
{
    uint32_t h = uint32_t((x & (kBackgroundTileSide - 1)) * 73856093u) ^ uint32_t((y & (kBackgroundTileSide - 1)) * 19349663u)
        ^ (seed * 83492791u);
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return double(h & 0xFFFF) / 32767.5 - 1.0;
}

} // namespace

std::vector<uint8_t> BackgroundTilePixels()
{
    const int n = kBackgroundTileSide;
    std::vector<uint8_t> rgb(size_t(n) * size_t(n) * 3);
    // Warm light grey; threads a little darker every 4 pixels each way,
    // with a soft grain so the weave does not look printed.
    const double base[3] = {206, 201, 190};
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            double shade = 0;
            if (x % 4 == 0)
                shade -= 5 + 2 * Grain(x, y / 8, 1);
            if (y % 4 == 0)
                shade -= 5 + 2 * Grain(x / 8, y, 2);
            shade += 3 * Grain(x, y, 3);
            for (int c = 0; c < 3; ++c) {
                const double v = base[c] + shade;
                rgb[(size_t(y) * size_t(n) + size_t(x)) * 3 + size_t(c)] = uint8_t(std::clamp(int(v + 0.5), 0, 255));
            }
        }
    }
    return rgb;
}

ArtFile MakeBackgroundTile()
{
    ArtFile file;
    file.name = "bkgimage.jpg";
    file.bytes = EncodeJpeg(BackgroundTilePixels(), kBackgroundTileSide, kBackgroundTileSide, 90);
    return file;
}

} // namespace artgen
