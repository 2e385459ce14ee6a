// Picture bytes from outside: the format probe, every decoder at the file's
// depth and at a palette depth (Targa, raw MacPaint and GEM raster as a
// file name would allow them), and the packed-DIB reader.

#include "platform/imaging/Decoders.h"
#include "platform/imaging/Imaging.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1 << 20)
        return 0;
    LTFILEINFO info;
    LtMemInfo(data, &info, DWORD(size), 0);

    LTBITMAP bitmap;
    int result = LtMemLoad(data, &bitmap, 0, LT_ORDER_BGR, DWORD(size));
    if (result != LT_SUCCESS) {
        // The formats without a signature are tried only by name.
        using platform::imaging::NameHint;
        for (NameHint hint : { NameHint::Targa, NameHint::MacPaint, NameHint::GemImage }) {
            result = platform::imaging::DecodeBytes(data, size, hint, 0, LT_ORDER_BGR, bitmap);
            if (result == LT_SUCCESS)
                break;
        }
    }
    if (result == LT_SUCCESS && bitmap.Pixels.size() != size_t(bitmap.BytesPerLine) * size_t(bitmap.Height))
        __builtin_trap(); // a half-filled record
    if (result == LT_SUCCESS && bitmap.Width * bitmap.Height <= 4096) {
        // A small picture also goes through the palette reduction and out as
        // a DIB and back.
        LTBITMAP indexed;
        LtMemLoad(data, &indexed, 4, LT_ORDER_RGB, DWORD(size));
        LtTakeOverDIB(&indexed, LtConvertToDIB(&bitmap));
    }

    LTBITMAP fromDib;
    platform::CopyFromPackedDib(fromDib, data, size);
    return 0;
}
