// Pictures at the clipboard's desktop edge: file bytes to a packed DIB, and
// bitmaps and packed DIBs to PNG.

#include "platform/ui/ClipboardPicture.h"

#include "platform/base/GlobalMemory.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/internal/Dib.h"
#include "platform/gdi/internal/GdiObjects.h"
#include "platform/imaging/Imaging.h"
#include "platform/ui/internal/ClipboardStore.h"

#include <csetjmp>
#include <new>

#include <png.h>

namespace platform {

namespace {

// Lays a 32-bit record (BGRA, alpha in the fourth byte) on white and packs it
// as a 24-bit one.
bool FlattenOnWhite(LTBITMAP& bitmap)
{
    LTBITMAP flat;
    if (LtAllocateBitmap(&flat, bitmap.Width, bitmap.Height, 24) != LT_SUCCESS)
        return false;
    flat.Order = bitmap.Order;
    for (int y = 0; y < bitmap.Height; ++y) {
        const BYTE* in = bitmap.Pixels.data() + size_t(y) * size_t(bitmap.BytesPerLine);
        BYTE* out = flat.Pixels.data() + size_t(y) * size_t(flat.BytesPerLine);
        for (int x = 0; x < bitmap.Width; ++x, in += 4, out += 3) {
            const unsigned alpha = in[3];
            const unsigned white = 255 * (255 - alpha);
            // Rounded division by 255 of a value up to 255 * 255.
            for (int c = 0; c < 3; ++c) {
                const unsigned v = in[c] * alpha + white + 128;
                out[c] = BYTE((v + (v >> 8)) >> 8);
            }
        }
    }
    bitmap = std::move(flat);
    return true;
}

struct PngSink {
    std::vector<unsigned char>* out;
};

void WriteBytes(png_structp png, png_bytep data, size_t count)
{
    auto* sink = static_cast<PngSink*>(png_get_io_ptr(png));
    try {
        sink->out->insert(sink->out->end(), data, data + count);
    } catch (const std::bad_alloc&) {
        png_error(png, "out of memory");
    }
}

void FlushNothing(png_structp) { }

void OnError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) { }

// Runs under setjmp: no object with a destructor lives in this frame.
bool WritePng(png_structp png, png_infop info, const PixelBuffer& pixels, PngSink* sink)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, sink, WriteBytes, FlushNothing);
    png_set_IHDR(png, info, png_uint_32(pixels.width), png_uint_32(pixels.height), 8, PNG_COLOR_TYPE_RGB,
        PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // A desktop program waits for these bytes: a fast zlib level and the one
    // cheap filter that still compresses drawn areas well.
    png_set_compression_level(png, kClipboardPngCompressionLevel);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_write_info(png, info);
    // The buffer's words are B, G, R, X in memory: libpng drops the fourth
    // byte and swaps red and blue itself, so rows go out without a copy.
    png_set_bgr(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (int y = 0; y < pixels.height; ++y)
        png_write_row(png, reinterpret_cast<png_const_bytep>(pixels.Row(y)));
    png_write_end(png, info);
    return true;
}

} // namespace

HBITMAP BitmapFromPackedDib(HGLOBAL dib)
{
    const SIZE_T size = dib ? GlobalSize(dib) : 0;
    const auto* p = size ? static_cast<const BYTE*>(GlobalLock(dib)) : nullptr;
    if (!p)
        return NULL;
    HBITMAP bitmap = NULL;
    DibFormat format;
    const uint8_t* bits = nullptr;
    size_t bitsSize = 0;
    if (ReadPackedDib(p, size, format, bits, bitsSize)) {
        const auto* info = reinterpret_cast<const BITMAPINFO*>(p);
        // A bitmap of the screen's format. A true-colour one takes the rows
        // decoded straight into its pixels (the picture a desktop paste
        // brings is large); GDI's conversion fills any other, and a DIB that
        // may carry alpha.
        bitmap = CreateDIBitmap(NULL, &info->bmiHeader, 0, nullptr, info, DIB_RGB_COLORS);
        BitmapObject* object = LookupBitmap(bitmap);
        const bool direct = object && object->bitsPixel >= 24 && format.bitCount <= 24 && !format.Compressed()
            && DecodeDib(format, bits, bitsSize, 0, format.height, object->pixels);
        if (bitmap && !direct) {
            HDC scratch = CreateCompatibleDC(NULL);
            if (SetDIBits(scratch, bitmap, 0, UINT(format.height), bits, info, DIB_RGB_COLORS) == 0) {
                DeleteObject(bitmap);
                bitmap = NULL;
            }
            DeleteDC(scratch);
        }
    }
    GlobalUnlock(dib);
    return bitmap;
}

bool PngFromPackedDib(HGLOBAL dib, std::vector<unsigned char>& png)
{
    png.clear();
    HBITMAP bitmap = BitmapFromPackedDib(dib);
    if (!bitmap)
        return false;
    const bool done = ClipboardPngFromBitmap(bitmap, png);
    DeleteObject(bitmap);
    return done;
}

} // namespace platform

using namespace platform;

HGLOBAL ClipboardDibFromPicture(const void* pData, size_t cb)
{
    if (!pData || cb == 0 || cb > size_t(LT_MAX_FILE_BYTES))
        return NULL;
    LTFILEINFO info;
    if (LtMemInfo(pData, &info, DWORD(cb), 0) != LT_SUCCESS)
        return NULL;
    // Deep pictures load at 24 bits; those with alpha at 32 and are then laid
    // on white. Indexed pictures keep their colour table.
    const int bits = info.BitsPerPixel == 32 ? 32 : info.BitsPerPixel <= 8 ? 0 : 24;
    LTBITMAP bitmap;
    if (LtMemLoad(pData, &bitmap, bits, LT_ORDER_BGR, DWORD(cb)) != LT_SUCCESS)
        return NULL;
    if (bitmap.BitsPerPixel == 32 && !FlattenOnWhite(bitmap))
        return NULL;
    return LtConvertToDIB(&bitmap);
}

bool ClipboardPngFromBitmap(HBITMAP hBitmap, std::vector<unsigned char>& png)
{
    png.clear();
    const BitmapObject* object = LookupBitmap(hBitmap);
    if (!object || object->pixels.width <= 0 || object->pixels.height <= 0)
        return false;
    png_structp writer = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    png_infop info = writer ? png_create_info_struct(writer) : nullptr;
    if (!info) {
        png_destroy_write_struct(&writer, nullptr);
        return false;
    }
    bool done = false;
    try {
        // Drawn pictures compress to a few percent; start with room for that.
        png.reserve(object->pixels.pixels.size() / 4 + 1024);
        PngSink sink{&png};
        done = WritePng(writer, info, object->pixels, &sink);
    } catch (const std::bad_alloc&) {
        done = false;
    }
    png_destroy_write_struct(&writer, &info);
    if (!done)
        png.clear();
    return done;
}
