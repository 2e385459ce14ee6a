#include "platform/gdi/PixelBuffer.h"

#include <new>

namespace platform {

bool PixelBuffer::Allocate(int w, int h, uint32_t fill)
{
    if (w < 0 || h < 0 || w > kMaxSide || h > kMaxSide || int64_t(w) * int64_t(h) > kMaxPixels)
        return false;
    try {
        std::vector<uint32_t> fresh(size_t(w) * size_t(h), fill);
        pixels.swap(fresh);
    } catch (const std::bad_alloc&) {
        return false;
    }
    width = w;
    height = h;
    return true;
}

} // namespace platform
