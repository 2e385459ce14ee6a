// CGM bytes, binary or clear text, through the import filter; a metafile it
// makes is played into a small memory DC, as the program would draw it.

#include "platform/gdi/Gdi.h"
#include "platform/imaging/CgmImport.h"

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

    platform::CgmPicture picture;
    if (platform::ConvertCgm(data, size, picture) != platform::CgmResult::Ok)
        return 0;
    HMETAFILE mf = SetMetaFileBitsEx(UINT(picture.metafile.size()), picture.metafile.data());
    if (!mf)
        __builtin_trap(); // the filter's metafiles are always well formed
    const int saved = SaveDC(dc);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, picture.frame.cx, picture.frame.cy, nullptr);
    SetViewportExtEx(dc, 48, 48, nullptr);
    PlayMetaFile(dc, mf);
    RestoreDC(dc, saved);
    DeleteMetaFile(mf);
    return 0;
}
