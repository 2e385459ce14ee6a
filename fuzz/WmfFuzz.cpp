// Windows-metafile bytes: made into a metafile and played into a small
// memory DC under a scaling mapping, plainly and through a placeable header.

#include "platform/gdi/Metafile.h"

#include <cstddef>
#include <cstdint>

// fontconfig keeps its configuration for the life of the process; that is
// not a leak of ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static HDC dc = [] {
        HDC memory = CreateCompatibleDC(NULL);
        SelectObject(memory, CreateBitmap(48, 48, 1, 32, NULL));
        return memory;
    }();

    platform::PlaceableMetaHeader header;
    size_t start = 0;
    bool placeable = platform::ReadPlaceableMetaHeader(data, size, &header);
    if (placeable)
        start = platform::kPlaceableMetaHeaderSize;
    HMETAFILE mf = SetMetaFileBitsEx(UINT(size - start), data + start);
    if (!mf)
        return 0;
    if (placeable) {
        platform::PlayPlaceableMetaFile(dc, mf, header, RECT{0, 0, 48, 48});
    } else {
        METAFILEPICT pict{MM_ANISOTROPIC, 0, 0, mf};
        platform::PlayMetaFilePict(dc, pict, RECT{2, 2, 46, 46});
        PlayMetaFile(dc, mf);
    }
    DeleteMetaFile(mf);
    return 0;
}
