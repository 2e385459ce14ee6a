// Picture bytes from outside: the format probe, the decoders at the file's
// depth and at a palette depth, and the packed-DIB reader.

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
    if (LtMemLoad(data, &bitmap, 0, LT_ORDER_BGR, DWORD(size)) == LT_SUCCESS) {
        // A small picture also goes through the palette reduction and out as
        // a DIB and back.
        if (bitmap.Width * bitmap.Height <= 4096) {
            LTBITMAP indexed;
            LtMemLoad(data, &indexed, 4, LT_ORDER_RGB, DWORD(size));
            LtTakeOverDIB(&indexed, LtConvertToDIB(&bitmap));
        }
    }

    LTBITMAP fromDib;
    platform::CopyFromPackedDib(fromDib, data, size);
    return 0;
}
