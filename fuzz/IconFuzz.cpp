// .ico / .cur file bytes: the directory read, every image made into an icon,
// drawn into a small memory DC at its own size and scaled, and turned into
// mask and colour bitmaps and back.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/IconData.h"
#include "platform/gdi/internal/IconImage.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static HDC dc = [] {
        HDC memory = CreateCompatibleDC(NULL);
        SelectObject(memory, CreateBitmap(40, 40, 1, 32, NULL));
        return memory;
    }();

    intptr_t count = reinterpret_cast<intptr_t>(platform::CreateIconFromFileBytes(data, size, -1));
    for (intptr_t i = 0; i < count && i < 8; ++i) {
        HICON icon = platform::CreateIconFromFileBytes(data, size, int(i));
        if (!icon)
            continue;
        DrawIconEx(dc, 1, 1, icon, 0, 0, 0, NULL, DI_NORMAL);
        DrawIconEx(dc, 30, 30, icon, -17, -9, 0, NULL, DI_NORMAL);
        ICONINFO info{};
        if (GetIconInfo(icon, &info)) {
            HICON again = CreateIconIndirect(&info);
            DestroyIcon(again);
            DeleteObject(info.hbmMask);
            DeleteObject(info.hbmColor);
        }
        platform::IconPixels pixels;
        platform::GetIconPixels(icon, pixels);
        DestroyIcon(icon);
    }
    return 0;
}
