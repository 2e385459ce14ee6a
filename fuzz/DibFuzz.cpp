// Packed-DIB bytes (a bitmap resource, a BMP file without its file header):
// read, decoded into a bitmap and drawn stretched into a small memory DC.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/PixelBuffer.h"
#include "platform/gdi/internal/Dib.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static HDC dc = [] {
        HDC memory = CreateCompatibleDC(NULL);
        SelectObject(memory, CreateBitmap(32, 32, 1, 32, NULL));
        return memory;
    }();

    platform::DibFormat f;
    const uint8_t* bits = nullptr;
    size_t bitsSize = 0;
    if (!platform::ReadPackedDib(data, size, f, bits, bitsSize))
        return 0;
    // Keep each run small: the reader accepts pictures up to the pixel limit.
    if (int64_t(f.width) * f.height > 4096 * 4096)
        return 0;
    platform::PixelBuffer image;
    if (!image.Allocate(f.width, f.height))
        return 0;
    std::vector<uint8_t> alpha;
    platform::DecodeDib(f, bits, bitsSize, 0, f.height, image, &alpha);
    if (!f.Compressed()) {
        // The same bits through the API, which trusts its caller's sizes
        // exactly as far as the header says.
        StretchDIBits(dc, 0, 0, 32, 32, 0, 0, f.width, f.height, bits, reinterpret_cast<const BITMAPINFO*>(data),
            DIB_RGB_COLORS, SRCCOPY);
    }
    return 0;
}
