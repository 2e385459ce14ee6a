// Enhanced-metafile bytes: made into a metafile, asked for its header,
// description and palette, and played into a small memory DC.

#include "platform/gdi/Gdi.h"

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

    HENHMETAFILE emf = SetEnhMetaFileBits(UINT(size), data);
    if (!emf)
        return 0;
    ENHMETAHEADER header;
    GetEnhMetaFileHeader(emf, sizeof header, &header);
    char description[64];
    GetEnhMetaFileDescription(emf, sizeof description, description);
    PALETTEENTRY entries[16];
    GetEnhMetaFilePaletteEntries(emf, 16, entries);
    RECT target{0, 0, 48, 48};
    PlayEnhMetaFile(dc, emf, &target);
    RECT mirrored{46, 46, 2, 2};
    PlayEnhMetaFile(dc, emf, &mirrored);
    DeleteEnhMetaFile(emf);
    return 0;
}
