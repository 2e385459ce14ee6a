// A small image list: equal-sized images cut from bitmap strips, each with
// its own transparency, drawn pixel by pixel (images are icon-sized).

#include "platform/files/HandleTable.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/CommCtrl.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/CommCtrlImages.h"

#include <vector>

namespace platform {
namespace {

constexpr int MaxImageSide = 256;
constexpr int MaxImages = 4096;

struct Image {
    std::vector<COLORREF> pixels;
    std::vector<bool> opaque;
};

struct ImageList {
    int cx = 16;
    int cy = 16;
    UINT flags = 0;
    std::vector<Image> images;
};

HandleTable<ImageList>& Lists()
{
    static HandleTable<ImageList> table{0x4C};
    return table;
}

ImageList* Find(HIMAGELIST himl)
{
    return Lists().Get(reinterpret_cast<uint64_t>(himl));
}

// Cuts a bitmap into images; `transparent` (or the mask bitmap's white
// pixels) marks what is not drawn.
int AddStrip(HIMAGELIST himl, HBITMAP image, HBITMAP mask, COLORREF transparent)
{
    ImageList* list = Find(himl);
    BITMAP bm{};
    if (!list || !image || !GetObject(image, sizeof bm, &bm))
        return -1;
    int count = bm.bmWidth / list->cx;
    if (count <= 0 || bm.bmHeight <= 0)
        return -1;
    if (static_cast<int>(list->images.size()) + count > MaxImages)
        return -1;
    HDC dc = CreateCompatibleDC(NULL);
    HDC maskDc = mask ? CreateCompatibleDC(NULL) : NULL;
    HGDIOBJ old = SelectObject(dc, image);
    HGDIOBJ oldMask = maskDc ? SelectObject(maskDc, mask) : NULL;
    int first = static_cast<int>(list->images.size());
    for (int n = 0; n < count; ++n) {
        Image img;
        img.pixels.resize(static_cast<size_t>(list->cx * list->cy));
        img.opaque.resize(img.pixels.size());
        for (int y = 0; y < list->cy; ++y) {
            for (int x = 0; x < list->cx; ++x) {
                size_t at = static_cast<size_t>(y * list->cx + x);
                if (y >= bm.bmHeight) {
                    img.opaque[at] = false;
                    continue;
                }
                COLORREF c = GetPixel(dc, n * list->cx + x, y);
                bool clear = (transparent != CLR_NONE && c == transparent) ||
                             (maskDc && GetPixel(maskDc, n * list->cx + x, y) != RGB(0, 0, 0));
                img.pixels[at] = c;
                img.opaque[at] = !clear;
            }
        }
        list->images.push_back(std::move(img));
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    if (maskDc) {
        SelectObject(maskDc, oldMask);
        DeleteDC(maskDc);
    }
    return first;
}

const Image* ImageAt(HIMAGELIST himl, int i, ImageList** list)
{
    *list = Find(himl);
    if (!*list || i < 0 || i >= static_cast<int>((*list)->images.size()))
        return nullptr;
    return &(*list)->images[static_cast<size_t>(i)];
}

bool IsDark(COLORREF c)
{
    return GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 160;
}

} // namespace

BOOL DrawImageEmbossed(HIMAGELIST himl, int i, HDC hdc, int x, int y)
{
    ImageList* list = nullptr;
    const Image* img = ImageAt(himl, i, &list);
    if (!img)
        return FALSE;
    COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    for (int pass = 0; pass < 2; ++pass) {
        int off = pass == 0 ? 1 : 0;
        for (int py = 0; py < list->cy; ++py)
            for (int px = 0; px < list->cx; ++px) {
                size_t at = static_cast<size_t>(py * list->cx + px);
                if (img->opaque[at] && IsDark(img->pixels[at]))
                    SetPixelV(hdc, x + px + off, y + py + off, pass == 0 ? light : shadow);
            }
    }
    return TRUE;
}

} // namespace platform

using namespace platform;

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int cInitial, int cGrow)
{
    (void)cGrow;
    if (cx <= 0 || cy <= 0 || cx > MaxImageSide || cy > MaxImageSide)
        return NULL;
    auto list = std::make_unique<ImageList>();
    list->cx = cx;
    list->cy = cy;
    list->flags = flags;
    if (cInitial > 0 && cInitial <= MaxImages)
        list->images.reserve(static_cast<size_t>(cInitial));
    uint64_t id = Lists().Add(std::move(list));
    return id ? reinterpret_cast<HIMAGELIST>(id) : NULL;
}

BOOL ImageList_Destroy(HIMAGELIST himl)
{
    return Lists().Remove(reinterpret_cast<uint64_t>(himl)) ? TRUE : FALSE;
}

int ImageList_Add(HIMAGELIST himl, HBITMAP hbmImage, HBITMAP hbmMask)
{
    return AddStrip(himl, hbmImage, hbmMask, CLR_NONE);
}

int ImageList_AddMasked(HIMAGELIST himl, HBITMAP hbmImage, COLORREF crMask)
{
    return AddStrip(himl, hbmImage, NULL, crMask);
}

BOOL ImageList_Draw(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, UINT fStyle)
{
    (void)fStyle;
    ImageList* list = nullptr;
    const Image* img = ImageAt(himl, i, &list);
    if (!img)
        return FALSE;
    for (int py = 0; py < list->cy; ++py)
        for (int px = 0; px < list->cx; ++px) {
            size_t at = static_cast<size_t>(py * list->cx + px);
            if (img->opaque[at])
                SetPixelV(hdcDst, x + px, y + py, img->pixels[at]);
        }
    return TRUE;
}

int ImageList_GetImageCount(HIMAGELIST himl)
{
    ImageList* list = Find(himl);
    return list ? static_cast<int>(list->images.size()) : 0;
}

BOOL ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy)
{
    ImageList* list = Find(himl);
    if (!list || !cx || !cy)
        return FALSE;
    *cx = list->cx;
    *cy = list->cy;
    return TRUE;
}

BOOL ImageList_Remove(HIMAGELIST himl, int i)
{
    ImageList* list = Find(himl);
    if (!list)
        return FALSE;
    if (i == -1) {
        list->images.clear();
        return TRUE;
    }
    if (i < 0 || i >= static_cast<int>(list->images.size()))
        return FALSE;
    list->images.erase(list->images.begin() + i);
    return TRUE;
}
