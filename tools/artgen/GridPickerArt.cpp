#include "GridPickerArt.h"

#include "ButtonIcons.h"

#include <cstdint>
#include <functional>

namespace artgen {
namespace {

constexpr int kHatchSize = 20;
constexpr int kLineWidth = 28;
constexpr int kLineHeight = 8;
// Hatch lines every 4 pixels, as close as a hatch brush draws them.
constexpr int kHatchStep = 4;

IconPixels Draw(int width, int height, const std::function<bool(int, int)>& ink)
{
    IconPixels image{width, height, std::vector<uint8_t>(size_t(width) * size_t(height) * 4, 255)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (!ink(x, y))
                continue;
            uint8_t* p = &image.rgba[(size_t(y) * size_t(width) + size_t(x)) * 4];
            p[0] = p[1] = p[2] = 0;
        }
    return image;
}

bool Horizontal(int, int y) { return y % kHatchStep == 1; }
bool Vertical(int x, int) { return x % kHatchStep == 1; }
// Forward diagonals fall from top left to bottom right, backward ones rise.
bool Forward(int x, int y) { return (x - y + kHatchSize) % kHatchStep == 0; }
bool Backward(int x, int y) { return (x + y) % kHatchStep == 0; }

// A line style as a run of dashes along the middle two rows: the pattern is
// lengths of ink and gap in turn, repeated.
IconPixels Line(std::vector<int> pattern)
{
    return Draw(kLineWidth, kLineHeight, [pattern](int x, int y) {
        if (y < kLineHeight / 2 - 1 || y > kLineHeight / 2)
            return false;
        int period = 0;
        for (int n : pattern)
            period += n;
        int at = x % period;
        bool ink = true;
        for (int n : pattern) {
            if (at < n)
                return ink;
            at -= n;
            ink = !ink;
        }
        return false;
    });
}

} // namespace

std::vector<ArtFile> MakeGridPickerArtFiles()
{
    std::vector<ArtFile> files;
    auto hatch = [&files](const char* name, const std::function<bool(int, int)>& ink) {
        files.push_back({name, EncodePng(Draw(kHatchSize, kHatchSize, ink))});
    };
    hatch("hatch-horizontal.png", Horizontal);
    hatch("hatch-vertical.png", Vertical);
    hatch("hatch-fdiagonal.png", Forward);
    hatch("hatch-bdiagonal.png", Backward);
    hatch("hatch-cross.png", [](int x, int y) { return Horizontal(x, y) || Vertical(x, y); });
    hatch("hatch-diagcross.png", [](int x, int y) { return Forward(x, y) || Backward(x, y); });
    files.push_back({"line-solid.png", EncodePng(Line({kLineWidth}))});
    files.push_back({"line-dash.png", EncodePng(Line({6, 3}))});
    files.push_back({"line-dot.png", EncodePng(Line({2, 2}))});
    files.push_back({"line-dashdot.png", EncodePng(Line({6, 2, 2, 2}))});
    files.push_back({"line-dashdotdot.png", EncodePng(Line({6, 2, 2, 2, 2, 2}))});
    return files;
}

} // namespace artgen
