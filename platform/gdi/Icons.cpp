// Icons and cursors: reading icon images and .ico / .cur files, the icon
// table, loading from resources and files, the system icons (drawn here),
// drawing with the AND mask and XOR image (or alpha), and the conversions
// to and from mask and colour bitmaps.

#include "platform/base/HostFiles.h"
#include "platform/base/Resources.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/IconData.h"
#include "platform/gdi/internal/Dib.h"
#include "platform/gdi/internal/GdiHandleTable.h"
#include "platform/gdi/internal/GdiObjects.h"
#include "platform/gdi/internal/IconImage.h"
#include "platform/gdi/internal/Rop3.h"

#include <cairo.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <string>

namespace platform {

namespace {

constexpr uint8_t kIconTag = 0x49;
constexpr int kMaxIconSide = 1024;
constexpr int kSystemIconSize = 32;
// Icon files larger than this are not icons anyone draws.
constexpr size_t kMaxIconFile = 16u << 20;

GdiHandleTable<IconObject, HICON>& Icons()
{
    static GdiHandleTable<IconObject, HICON> table(kIconTag, 1 << 16);
    return table;
}

uint16_t U16(const uint8_t* p)
{
    return uint16_t(p[0] | (p[1] << 8));
}

uint32_t U32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

uint32_t BigU32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

// Fills colour, alpha and mask from a premultiplied ARGB Cairo surface.
void TakeArgbSurface(cairo_surface_t* surface, IconObject& out)
{
    cairo_surface_flush(surface);
    int w = cairo_image_surface_get_width(surface);
    int h = cairo_image_surface_get_height(surface);
    int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    out.colorBits = 32;
    out.color.Allocate(w, h);
    out.alpha.assign(size_t(w) * size_t(h), 0);
    out.mask.assign(size_t(w) * size_t(h), 1);
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
        for (int x = 0; x < w; ++x) {
            uint32_t p = row[x];
            uint32_t a = p >> 24;
            size_t i = size_t(y) * size_t(w) + size_t(x);
            out.alpha[i] = uint8_t(a);
            out.mask[i] = a == 0 ? 1 : 0;
            if (a == 0)
                continue;
            uint32_t r = std::min<uint32_t>(255, ((p >> 16) & 0xFF) * 255 / a);
            uint32_t g = std::min<uint32_t>(255, ((p >> 8) & 0xFF) * 255 / a);
            uint32_t b = std::min<uint32_t>(255, (p & 0xFF) * 255 / a);
            out.color.Row(y)[x] = (r << 16) | (g << 8) | b;
        }
    }
}

struct PngReader {
    const uint8_t* data;
    size_t size;
    size_t pos;
};

cairo_status_t ReadPng(void* closure, unsigned char* buffer, unsigned int length)
{
    auto* reader = static_cast<PngReader*>(closure);
    if (length > reader->size - reader->pos)
        return CAIRO_STATUS_READ_ERROR;
    std::memcpy(buffer, reader->data + reader->pos, length);
    reader->pos += length;
    return CAIRO_STATUS_SUCCESS;
}

bool ReadPngIcon(const uint8_t* p, size_t size, IconObject& out)
{
    // The size is checked before Cairo allocates anything for it.
    if (size < 24 || std::memcmp(p + 12, "IHDR", 4) != 0)
        return false;
    uint32_t w = BigU32(p + 16);
    uint32_t h = BigU32(p + 20);
    if (w == 0 || h == 0 || w > uint32_t(kMaxIconSide) || h > uint32_t(kMaxIconSide))
        return false;
    PngReader reader{p, size, 0};
    cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(ReadPng, &reader);
    bool ok = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    if (ok) {
        cairo_surface_t* argb = surface;
        if (cairo_image_surface_get_format(surface) != CAIRO_FORMAT_ARGB32) {
            argb = cairo_image_surface_create(
                CAIRO_FORMAT_ARGB32, cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface));
            cairo_t* cr = cairo_create(argb);
            cairo_set_source_surface(cr, surface, 0, 0);
            cairo_paint(cr);
            cairo_destroy(cr);
        }
        ok = cairo_surface_status(argb) == CAIRO_STATUS_SUCCESS;
        if (ok)
            TakeArgbSurface(argb, out);
        if (argb != surface)
            cairo_surface_destroy(argb);
    }
    cairo_surface_destroy(surface);
    return ok;
}

// An icon from straight ARGB drawn by `draw` on a size x size canvas.
template <typename Draw>
std::unique_ptr<IconObject> DrawnIcon(int size, Draw draw)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    cairo_t* cr = cairo_create(surface);
    draw(cr);
    cairo_destroy(cr);
    auto icon = std::make_unique<IconObject>();
    TakeArgbSurface(surface, *icon);
    cairo_surface_destroy(surface);
    icon->hotspot = POINT{size / 2, size / 2};
    icon->shared = true;
    return icon;
}

void Disc(cairo_t* cr, double r, double g, double b)
{
    cairo_arc(cr, 16, 16, 14.5, 0, 2 * M_PI);
    cairo_set_source_rgb(cr, r, g, b);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, r * 0.6, g * 0.6, b * 0.6);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

// The stock icons, drawn rather than copied from anywhere: a window for
// the application, a red disc with a cross for errors, a blue disc with a
// question mark, a yellow triangle with an exclamation mark, and a blue
// disc with an "i" for information.
std::unique_ptr<IconObject> MakeSystemIcon(WORD id)
{
    switch (id) {
    case 32512: // IDI_APPLICATION
    case 32517: // IDI_WINLOGO
        return DrawnIcon(kSystemIconSize, [](cairo_t* cr) {
            cairo_rectangle(cr, 2.5, 4.5, 27, 23);
            cairo_set_source_rgb(cr, 1, 1, 1);
            cairo_fill_preserve(cr);
            cairo_set_source_rgb(cr, 0, 0, 0);
            cairo_set_line_width(cr, 1);
            cairo_stroke(cr);
            cairo_rectangle(cr, 3, 5, 26, 5);
            cairo_set_source_rgb(cr, 0, 0, 0.5);
            cairo_fill(cr);
        });
    case 32513: // IDI_HAND
        return DrawnIcon(kSystemIconSize, [](cairo_t* cr) {
            Disc(cr, 0.85, 0.1, 0.1);
            cairo_set_source_rgb(cr, 1, 1, 1);
            cairo_set_line_width(cr, 3.5);
            cairo_move_to(cr, 10, 10);
            cairo_line_to(cr, 22, 22);
            cairo_move_to(cr, 22, 10);
            cairo_line_to(cr, 10, 22);
            cairo_stroke(cr);
        });
    case 32514: // IDI_QUESTION
        return DrawnIcon(kSystemIconSize, [](cairo_t* cr) {
            Disc(cr, 0.15, 0.35, 0.85);
            cairo_set_source_rgb(cr, 1, 1, 1);
            cairo_set_line_width(cr, 3);
            cairo_arc(cr, 16, 12, 5, M_PI, 2.25 * M_PI);
            cairo_line_to(cr, 16, 19);
            cairo_stroke(cr);
            cairo_arc(cr, 16, 24, 1.8, 0, 2 * M_PI);
            cairo_fill(cr);
        });
    case 32515: // IDI_EXCLAMATION
        return DrawnIcon(kSystemIconSize, [](cairo_t* cr) {
            cairo_move_to(cr, 16, 2);
            cairo_line_to(cr, 30.5, 29.5);
            cairo_line_to(cr, 1.5, 29.5);
            cairo_close_path(cr);
            cairo_set_source_rgb(cr, 1, 0.85, 0);
            cairo_fill_preserve(cr);
            cairo_set_source_rgb(cr, 0, 0, 0);
            cairo_set_line_width(cr, 1);
            cairo_stroke(cr);
            cairo_rectangle(cr, 14.5, 10, 3, 11);
            cairo_fill(cr);
            cairo_rectangle(cr, 14.5, 23, 3, 3);
            cairo_fill(cr);
        });
    case 32516: // IDI_ASTERISK
        return DrawnIcon(kSystemIconSize, [](cairo_t* cr) {
            Disc(cr, 0.15, 0.35, 0.85);
            cairo_set_source_rgb(cr, 1, 1, 1);
            cairo_rectangle(cr, 14.5, 13, 3, 11);
            cairo_fill(cr);
            cairo_arc(cr, 16, 9, 1.8, 0, 2 * M_PI);
            cairo_fill(cr);
        });
    default:
        return nullptr;
    }
}

// Loaded icons are shared: the same resource gives the same handle.
std::map<std::string, HICON>& SharedIcons()
{
    static std::map<std::string, HICON> icons;
    return icons;
}

std::string SharedKey(const char* kind, HINSTANCE module, LPCSTR name)
{
    std::string key = std::string(kind) + ":" + std::to_string(uintptr_t(module)) + ":";
    if (IS_INTRESOURCE(name)) {
        key += '#';
        key += std::to_string(WORD(ULONG_PTR(name)));
    } else {
        for (const char* c = name; *c; ++c)
            key += char(*c >= 'a' && *c <= 'z' ? *c - 32 : *c);
    }
    return key;
}

HICON FindShared(const std::string& key)
{
    auto it = SharedIcons().find(key);
    if (it == SharedIcons().end())
        return NULL;
    if (Icons().Find(it->second))
        return it->second;
    SharedIcons().erase(it);
    return NULL;
}

HICON LoadResourceIcon(HINSTANCE module, LPCSTR name, LPCSTR type, const char* kind)
{
    HRSRC info = FindResource(module, name, type);
    HGLOBAL data = info ? LoadResource(module, info) : NULL;
    const auto* bytes = data ? static_cast<const uint8_t*>(LockResource(data)) : nullptr;
    if (!bytes)
        return NULL;
    // The key names the resource's bytes too, so a module whose table is
    // registered again never hands out an icon of the table it replaced.
    std::string key = SharedKey(kind, module, name) + "@" + std::to_string(uintptr_t(bytes));
    if (HICON h = FindShared(key))
        return h;
    size_t size = SizeofResource(module, info);
    auto icon = std::make_unique<IconObject>();
    if (type == RT_CURSOR) {
        if (size < 4) {
            SetLastError(ERROR_INVALID_DATA);
            return NULL;
        }
        icon->isIcon = false;
        icon->hotspot = POINT{U16(bytes), U16(bytes + 2)};
        bytes += 4;
        size -= 4;
    }
    if (!ReadIconImage(bytes, size, *icon)) {
        SetLastError(ERROR_INVALID_DATA);
        return NULL;
    }
    if (icon->isIcon)
        icon->hotspot = POINT{icon->color.width / 2, icon->color.height / 2};
    icon->shared = true;
    HICON h = AddIcon(std::move(icon));
    if (h)
        SharedIcons()[key] = h;
    return h;
}

bool ReadHostFile(LPCSTR path, std::vector<uint8_t>& out)
{
    HostError error;
    int fd = GetHostFiles().Open(path, fileflags::modeRead | fileflags::shareDenyNone, &error);
    if (fd < 0) {
        SetLastError(error.cause == filecause::fileNotFound ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED);
        return false;
    }
    out.clear();
    uint8_t chunk[65536];
    bool ok = true;
    for (;;) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0) {
            ok = false;
            break;
        }
        if (n == 0)
            break;
        if (out.size() + size_t(n) > kMaxIconFile) {
            ok = false;
            break;
        }
        out.insert(out.end(), chunk, chunk + n);
    }
    GetHostFiles().Close(fd);
    return ok;
}

// Bitmaps of an icon: the mask (1 bpp, white = transparent) and the image.
HBITMAP MaskBitmap(const IconObject& icon, bool withImageBelow)
{
    int w = icon.color.width;
    int h = icon.color.height;
    HBITMAP result = CreateBitmapObject(w, withImageBelow ? 2 * h : h, 1, 0);
    BitmapObject* b = LookupBitmap(result);
    if (!b)
        return NULL;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            b->pixels.Row(y)[x] = icon.mask[size_t(y) * size_t(w) + size_t(x)] ? 0x00FFFFFF : 0;
            if (withImageBelow)
                b->pixels.Row(h + y)[x] = (icon.color.Row(y)[x] & 0x00FFFFFF) == 0x00FFFFFF ? 0x00FFFFFF : 0;
        }
    }
    return result;
}

// Where destination offset i of a span of `count` pixels samples an image
// of `size` pixels (nearest; mirrored for a negative extent).
int Sample(int i, int count, int size, bool mirror)
{
    int j = int((int64_t(2 * i + 1) * size) / (int64_t(2) * count));
    return mirror ? size - 1 - j : j;
}

uint32_t Blend(uint32_t src, uint32_t dst, uint32_t a)
{
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        uint32_t s = (src >> shift) & 0xFF;
        uint32_t d = (dst >> shift) & 0xFF;
        out |= ((s * a + d * (255 - a) + 127) / 255) << shift;
    }
    return out;
}

BOOL DrawIconOnVector(DeviceContext& dc, const IconObject& icon, const BlitRect& dst, UINT flags)
{
    int w = icon.color.width;
    int h = icon.color.height;
    std::vector<uint8_t> alpha(size_t(w) * size_t(h), 0xFF);
    PixelBuffer image;
    if (!image.Allocate(w, h))
        return FALSE;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            size_t i = size_t(y) * size_t(w) + size_t(x);
            uint32_t c = icon.color.Row(y)[x];
            if ((flags & DI_IMAGE) == 0) {
                c = icon.mask[i] ? 0x00FFFFFF : 0;
            } else if ((flags & DI_MASK) != 0) {
                if (!icon.alpha.empty())
                    alpha[i] = icon.alpha[i];
                else if (icon.mask[i])
                    alpha[i] = 0; // what would invert the page is left out
            }
            image.Row(y)[x] = c;
        }
    }
    PaintImageOnVector(dc, dst, image, BlitRect{0, 0, w, h}, &alpha);
    return TRUE;
}

} // namespace

HICON AddIcon(std::unique_ptr<IconObject> icon)
{
    return Icons().Add(std::move(icon));
}

IconObject* LookupIcon(HICON icon)
{
    return Icons().Lookup(icon);
}

bool ReadIconImage(const void* data, size_t size, IconObject& out)
{
    const auto* p = static_cast<const uint8_t*>(data);
    if (!p || size < 8)
        return false;
    if (std::memcmp(p, "\x89PNG\r\n\x1a\n", 8) == 0)
        return ReadPngIcon(p, size, out);

    DibFormat f;
    if (!ReadDibFormat(p, size, DibLayout::Packed, DIB_RGB_COLORS, nullptr, f) || f.Compressed())
        return false;
    // The header counts the image and the mask below it.
    DibFormat image = f;
    image.height = f.height / 2;
    if (image.height <= 0 || image.width > kMaxIconSide || image.height > kMaxIconSide)
        return false;
    size_t offset = f.headerBytes + f.tableBytes;
    size_t imageBytes = DibBitsSize(image, image.height);
    if (offset > size || size - offset < imageBytes)
        return false;
    const uint8_t* bits = p + offset;
    if (!out.color.Allocate(image.width, image.height))
        return false;
    std::vector<uint8_t> alpha;
    DecodeDib(image, bits, imageBytes, 0, image.height, out.color, image.bitCount == 32 ? &alpha : nullptr);
    out.colorBits = image.bitCount;
    bool hasAlpha = std::any_of(alpha.begin(), alpha.end(), [](uint8_t a) { return a != 0; });
    if (hasAlpha)
        out.alpha = std::move(alpha);
    else
        out.alpha.clear();

    size_t w = size_t(image.width);
    out.mask.assign(w * size_t(image.height), 0);
    size_t maskStride = ((w + 31) / 32) * 4;
    size_t maskBytes = maskStride * size_t(image.height);
    const uint8_t* mask = bits + imageBytes;
    if (size - offset - imageBytes >= maskBytes) {
        for (int y = 0; y < image.height; ++y) {
            // Bottom-up like the image, unless the header said otherwise.
            int row = image.topDown ? y : image.height - 1 - y;
            const uint8_t* in = mask + size_t(y) * maskStride;
            for (size_t x = 0; x < w; ++x)
                out.mask[size_t(row) * w + x] = (in[x >> 3] >> (7 - (x & 7))) & 1;
        }
    } else if (hasAlpha) {
        // Some writers leave the mask out of 32-bit images; alpha says it all.
        for (size_t i = 0; i < out.mask.size(); ++i)
            out.mask[i] = out.alpha[i] == 0 ? 1 : 0;
    } else {
        return false;
    }
    return true;
}

bool ReadIconDirectory(const void* data, size_t size, bool& isIcon, std::vector<IconDirEntry>& entries)
{
    entries.clear();
    const auto* p = static_cast<const uint8_t*>(data);
    if (!p || size < 6 || U16(p) != 0)
        return false;
    uint16_t type = U16(p + 2);
    uint16_t count = U16(p + 4);
    if ((type != 1 && type != 2) || count == 0 || size < 6 + size_t(count) * 16)
        return false;
    isIcon = type == 1;
    for (uint16_t i = 0; i < count; ++i) {
        const uint8_t* e = p + 6 + size_t(i) * 16;
        IconDirEntry entry;
        entry.width = e[0] ? e[0] : 256;
        entry.height = e[1] ? e[1] : 256;
        entry.bitCount = isIcon ? U16(e + 6) : 0;
        if (!isIcon)
            entry.hotspot = POINT{U16(e + 4), U16(e + 6)};
        entry.size = U32(e + 8);
        entry.offset = U32(e + 12);
        if (entry.size == 0 || entry.offset > size || entry.size > size - entry.offset)
            return false;
        entries.push_back(entry);
    }
    return true;
}

bool GetIconPixels(HICON handle, IconPixels& out)
{
    IconObject* icon = LookupIcon(handle);
    if (!icon)
        return false;
    out.width = icon->color.width;
    out.height = icon->color.height;
    out.hotspot = icon->hotspot;
    out.isIcon = icon->isIcon;
    out.argb.assign(size_t(out.width) * size_t(out.height), 0);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            size_t i = size_t(y) * size_t(out.width) + size_t(x);
            uint32_t c = icon->color.Row(y)[x] & 0x00FFFFFF;
            if (!icon->alpha.empty())
                out.argb[i] = (uint32_t(icon->alpha[i]) << 24) | c;
            else if (!icon->mask[i])
                out.argb[i] = 0xFF000000 | c;
            else if (c != 0)
                out.argb[i] = 0xFF000000;
        }
    }
    return true;
}

HICON LoadCursorResource(HINSTANCE module, LPCSTR name)
{
    return LoadResourceIcon(module, name, RT_CURSOR, "cursor");
}

HICON CreateIconFromFileBytes(const void* data, size_t size, int index)
{
    bool isIcon = true;
    std::vector<IconDirEntry> entries;
    if (!ReadIconDirectory(data, size, isIcon, entries)) {
        SetLastError(ERROR_INVALID_DATA);
        return NULL;
    }
    if (index == -1)
        return reinterpret_cast<HICON>(uintptr_t(entries.size()));
    if (index < 0 || size_t(index) >= entries.size())
        return NULL;
    const IconDirEntry& entry = entries[size_t(index)];
    auto icon = std::make_unique<IconObject>();
    if (!ReadIconImage(static_cast<const uint8_t*>(data) + entry.offset, entry.size, *icon)) {
        SetLastError(ERROR_INVALID_DATA);
        return NULL;
    }
    icon->isIcon = isIcon;
    icon->hotspot = isIcon ? POINT{icon->color.width / 2, icon->color.height / 2} : entry.hotspot;
    return AddIcon(std::move(icon));
}

} // namespace platform

using namespace platform;

HICON LoadIcon(HINSTANCE hInstance, LPCSTR lpIconName)
{
    if (!hInstance) {
        if (!IS_INTRESOURCE(lpIconName)) {
            SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
            return NULL;
        }
        std::string key = SharedKey("system", NULL, lpIconName);
        if (HICON h = FindShared(key))
            return h;
        std::unique_ptr<IconObject> icon = MakeSystemIcon(WORD(ULONG_PTR(lpIconName)));
        if (!icon) {
            SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
            return NULL;
        }
        HICON h = AddIcon(std::move(icon));
        if (h)
            SharedIcons()[key] = h;
        return h;
    }
    return LoadResourceIcon(hInstance, lpIconName, RT_ICON, "icon");
}

BOOL DrawIcon(HDC hDC, int X, int Y, HICON hIcon)
{
    return DrawIconEx(hDC, X, Y, hIcon, 0, 0, 0, NULL, DI_NORMAL | DI_DEFAULTSIZE);
}

BOOL DrawIconEx(HDC hdc, int xLeft, int yTop, HICON hIcon, int cxWidth, int cyWidth, UINT istepIfAniCur,
    HBRUSH hbrFlickerFreeDraw, UINT diFlags)
{
    (void)istepIfAniCur; // no animated cursors
    DeviceContext* dc = LookupDc(hdc);
    IconObject* icon = dc ? LookupIcon(hIcon) : nullptr;
    if (!icon)
        return FALSE;
    UINT flags = diFlags & DI_NORMAL;
    if (flags == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    int w = icon->color.width;
    int h = icon->color.height;
    if (cxWidth == 0)
        cxWidth = (diFlags & DI_DEFAULTSIZE) ? kSystemIconSize : w;
    if (cyWidth == 0)
        cyWidth = (diFlags & DI_DEFAULTSIZE) ? kSystemIconSize : h;
    if (hbrFlickerFreeDraw) {
        RECT r{xLeft, yTop, xLeft + cxWidth, yTop + cyWidth};
        FillRect(hdc, &r, hbrFlickerFreeDraw);
    }
    BlitRect dst = DeviceBlitRect(dc->state, xLeft, yTop, cxWidth, cyWidth);
    if (dst.width == 0 || dst.height == 0)
        return TRUE;
    if (dc->vector)
        return DrawIconOnVector(*dc, *icon, dst, flags);
    RasterTarget target;
    if (!AcquireRaster(*dc, target))
        return TRUE;

    int dw = std::abs(dst.width);
    int dh = std::abs(dst.height);
    RECT covered{SpanStart(dst.x, dst.width), SpanStart(dst.y, dst.height), 0, 0};
    covered.right = covered.left + dw;
    covered.bottom = covered.top + dh;
    Region area = DrawableRegion(*dc, target).Intersect(covered);
    const std::vector<RGBQUAD>* table = target.colorTable && !target.colorTable->empty() ? target.colorTable : nullptr;
    bool useAlpha = !icon->alpha.empty() && flags == DI_NORMAL;
    for (const RECT& r : area.Rects()) {
        for (int y = r.top; y < r.bottom; ++y) {
            int iy = Sample(y - covered.top, dh, h, dst.height < 0);
            uint32_t* out = target.buffer->Row(y + target.origin.y) + target.origin.x;
            for (int x = r.left; x < r.right; ++x) {
                int ix = Sample(x - covered.left, dw, w, dst.width < 0);
                size_t i = size_t(iy) * size_t(w) + size_t(ix);
                uint32_t c = icon->color.Row(iy)[ix] & 0x00FFFFFF;
                uint32_t d = out[x];
                if (useAlpha) {
                    d = Blend(c, d, icon->alpha[i]);
                } else {
                    if (flags & DI_MASK)
                        d = icon->mask[i] ? d : 0;
                    if (flags & DI_IMAGE)
                        d = (flags & DI_MASK) ? (d ^ c) : c;
                }
                if (table)
                    d = PixelFromQuad((*table)[NearestColorIndex(*table, d)]);
                out[x] = d;
            }
        }
    }
    return TRUE;
}

BOOL DestroyIcon(HICON hIcon)
{
    IconObject* icon = LookupIcon(hIcon);
    if (!icon)
        return FALSE;
    if (!icon->shared)
        Icons().Remove(hIcon);
    return TRUE;
}

HICON ExtractIcon(HINSTANCE hInst, LPCSTR lpszExeFileName, UINT nIconIndex)
{
    (void)hInst;
    if (!lpszExeFileName)
        return NULL;
    std::vector<uint8_t> bytes;
    if (!ReadHostFile(lpszExeFileName, bytes))
        return NULL;
    bool isIcon = true;
    std::vector<IconDirEntry> entries;
    if (!ReadIconDirectory(bytes.data(), bytes.size(), isIcon, entries)) {
        // Not a file that holds icons: the count is 0, any icon missing.
        return NULL;
    }
    return CreateIconFromFileBytes(bytes.data(), bytes.size(), nIconIndex == UINT(-1) ? -1 : int(nIconIndex));
}

BOOL GetIconInfo(HICON hIcon, PICONINFO piconinfo)
{
    IconObject* icon = LookupIcon(hIcon);
    if (!icon)
        return FALSE;
    if (!piconinfo) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    ICONINFO info{};
    info.fIcon = icon->isIcon ? TRUE : FALSE;
    info.xHotspot = DWORD(icon->hotspot.x);
    info.yHotspot = DWORD(icon->hotspot.y);
    // Monochrome icons keep image and mask in one double-height bitmap.
    bool mono = icon->colorBits == 1;
    info.hbmMask = MaskBitmap(*icon, mono);
    if (!info.hbmMask)
        return FALSE;
    if (!mono) {
        info.hbmColor = CreateBitmapFromPixels(icon->color, 32);
        if (!info.hbmColor) {
            DeleteObject(info.hbmMask);
            return FALSE;
        }
        // An icon with alpha gives its colour bitmap the alpha bytes, as
        // GetDIBits then reads them back.
        BitmapObject* color = LookupBitmap(info.hbmColor);
        if (color && icon->alpha.size() == color->pixels.pixels.size())
            color->alpha = icon->alpha;
    }
    *piconinfo = info;
    return TRUE;
}

HICON CreateIconIndirect(PICONINFO piconinfo)
{
    if (!piconinfo) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    BitmapObject* mask = LookupBitmap(piconinfo->hbmMask);
    if (!mask)
        return NULL;
    BitmapObject* color = piconinfo->hbmColor ? LookupBitmap(piconinfo->hbmColor) : nullptr;
    if (piconinfo->hbmColor && !color)
        return NULL;
    int w = mask->pixels.width;
    int h = color ? color->pixels.height : mask->pixels.height / 2;
    if (color)
        w = color->pixels.width;
    if (w <= 0 || h <= 0 || w > mask->pixels.width || (color ? h > mask->pixels.height : 2 * h > mask->pixels.height)
        || w > kMaxIconSide || h > kMaxIconSide) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    auto icon = std::make_unique<IconObject>();
    icon->isIcon = piconinfo->fIcon != FALSE;
    icon->hotspot = icon->isIcon ? POINT{w / 2, h / 2} : POINT{LONG(piconinfo->xHotspot), LONG(piconinfo->yHotspot)};
    icon->colorBits = color ? color->bitsPixel : 1;
    if (!icon->color.Allocate(w, h))
        return NULL;
    icon->mask.assign(size_t(w) * size_t(h), 0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            icon->mask[size_t(y) * size_t(w) + size_t(x)] = (mask->pixels.Row(y)[x] & 0x00FFFFFF) != 0 ? 1 : 0;
            icon->color.Row(y)[x] = color ? color->pixels.Row(y)[x] & 0x00FFFFFF : mask->pixels.Row(h + y)[x] & 0x00FFFFFF;
        }
    }
    return AddIcon(std::move(icon));
}

HICON CopyIcon(HICON hIcon)
{
    IconObject* icon = LookupIcon(hIcon);
    if (!icon)
        return NULL;
    auto copy = std::make_unique<IconObject>(*icon);
    copy->shared = false;
    return AddIcon(std::move(copy));
}
