#pragma once
// Image files of resource scripts turned into the bundle's resource bytes:
// BMP files read directly, PNG files through libpng. Each throws a message
// (without file or line; the caller adds them) on a file it cannot use.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace rc {

class ImageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A BITMAP resource: a packed DIB.
std::vector<uint8_t> MakeBitmapResource(const std::vector<uint8_t>& file);
// An ICON resource: one icon image (DIB with doubled height and AND mask).
std::vector<uint8_t> MakeIconResource(const std::vector<uint8_t>& file);
// A CURSOR resource: the hot spot, then an icon image. The hot spot must lie
// inside the image.
std::vector<uint8_t> MakeCursorResource(const std::vector<uint8_t>& file, int hotX, int hotY);

} // namespace rc
