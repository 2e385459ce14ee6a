#pragma once
// A page rendered to a binary PPM file (P6, maxval 255) as pdftoppm writes
// it, for tests that look at printed output.

#include "platform/base/Types.h"

#include <fstream>
#include <string>
#include <vector>

namespace fwtest {

struct PpmImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
    COLORREF At(int x, int y) const
    {
        const size_t i = (size_t(y) * size_t(width) + size_t(x)) * 3;
        return RGB(rgb[i], rgb[i + 1], rgb[i + 2]);
    }
};

// False when the file is missing, not such a PPM or cut short.
inline bool ReadPpm(const std::string& path, PpmImage& image)
{
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxval = 0;
    if (!(in >> magic >> image.width >> image.height >> maxval) || magic != "P6" || maxval != 255)
        return false;
    in.get();
    image.rgb.resize(size_t(image.width) * size_t(image.height) * 3);
    in.read(reinterpret_cast<char*>(image.rgb.data()), std::streamsize(image.rgb.size()));
    return bool(in);
}

// The middle column of the page's dark pixels (every channel below 64), or
// -1 when none is dark: where a printed object landed across the page.
inline double DarkCentreX(const PpmImage& image)
{
    long long sum = 0;
    long long count = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const COLORREF c = image.At(x, y);
            if (GetRValue(c) < 64 && GetGValue(c) < 64 && GetBValue(c) < 64) {
                sum += x;
                ++count;
            }
        }
    }
    return count == 0 ? -1.0 : double(sum) / double(count);
}

} // namespace fwtest
