#pragma once
// What the window system needs of icons and cursors beyond the Win32 calls:
// their pictures as straight-alpha ARGB, and cursors from CURSOR resources.

#include "platform/base/Types.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

struct IconPixels {
    int width = 0;
    int height = 0;
    POINT hotspot{0, 0};
    bool isIcon = true;
    // Top-down 0xAARRGGBB, alpha not premultiplied. Pixels the mask makes
    // transparent have alpha 0; pixels that would invert the screen are
    // given as opaque black.
    std::vector<uint32_t> argb;
};

// False for a bad handle.
bool GetIconPixels(HICON icon, IconPixels& out);

// A cursor from a CURSOR resource (hot spot, then an icon image); shared, so
// loading the same resource again gives the same handle. NULL when missing.
HICON LoadCursorResource(HINSTANCE module, LPCSTR name);

// An icon (or cursor) of an .ico / .cur file held in memory: index -1 gives
// the number of images as the handle's value, as ExtractIcon does.
HICON CreateIconFromFileBytes(const void* data, size_t size, int index);

} // namespace platform
