#pragma once
// Icons and cursors behind HICON / HCURSOR: their pictures, the table that
// issues their handles, and the readers of icon images (a packed DIB of
// doubled height holding the colour image and the AND mask, or a PNG) and
// of .ico / .cur files.

#include "platform/gdi/GdiDefs.h"
#include "platform/gdi/PixelBuffer.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

struct IconObject {
    bool isIcon = true;
    POINT hotspot{0, 0};
    // The depth of the colour image as stored (1 for monochrome icons, whose
    // GetIconInfo gives a double-height mask and no colour bitmap).
    int colorBits = 32;
    PixelBuffer color;          // the XOR image
    std::vector<uint8_t> mask;  // the AND mask, one byte a pixel: 1 = transparent
    std::vector<uint8_t> alpha; // 32-bit images with alpha only; empty otherwise
    // Shared icons (system icons, LoadIcon's) survive DestroyIcon.
    bool shared = false;
};

// Takes ownership; NULL when the table is full.
HICON AddIcon(std::unique_ptr<IconObject> icon);
// The icon, or nullptr (last error ERROR_INVALID_HANDLE).
IconObject* LookupIcon(HICON icon);

// One icon image, at most 1024 pixels a side.
bool ReadIconImage(const void* data, size_t size, IconObject& out);

// An entry of an .ico or .cur directory, checked against the file's size.
struct IconDirEntry {
    int width = 0;
    int height = 0;
    int bitCount = 0;
    POINT hotspot{0, 0}; // cursors
    size_t offset = 0;
    size_t size = 0;
};
// The directory of an .ico (type 1) or .cur (type 2) file; false when the
// file is not one or any entry points outside it.
bool ReadIconDirectory(const void* data, size_t size, bool& isIcon, std::vector<IconDirEntry>& entries);

} // namespace platform
