#pragma once
// Generated pictures read back through the program's own picture reader, so
// that a test checks what the program will see rather than what the
// generator meant to write.

#include "platform/imaging/Imaging.h"

#include <cstdint>
#include <vector>

namespace artgentest {

// The decoded picture as RGB bytes, row by row from the top; empty when the
// reader refuses the bytes.
inline std::vector<uint8_t> Decode(const std::vector<uint8_t>& bytes, int& width, int& height)
{
    LTBITMAP bitmap;
    if (LtMemLoad(bytes.data(), &bitmap, 24, LT_ORDER_RGB, DWORD(bytes.size())) != LT_SUCCESS)
        return {};
    width = bitmap.Width;
    height = bitmap.Height;
    std::vector<uint8_t> rgb;
    for (int y = 0; y < bitmap.Height; ++y) {
        const BYTE* row = &bitmap.Pixels[size_t(y) * size_t(bitmap.BytesPerLine)];
        rgb.insert(rgb.end(), row, row + bitmap.Width * 3);
    }
    LtFreeBitmap(&bitmap);
    return rgb;
}

} // namespace artgentest
