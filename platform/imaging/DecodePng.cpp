// PNG straight into a bitmap record: each row is decoded into its row of the
// record (interlaced files fill the rows pass by pass), so a load needs little
// more memory than the picture.

#include "platform/imaging/Decoders.h"

#include <csetjmp>
#include <cstring>
#include <new>

#include <png.h>

namespace platform::imaging {
namespace {

// Chunks besides the picture data are skipped, but each is still read into
// memory; bound them so a file cannot ask for more than it is worth.
constexpr png_alloc_size_t MaxChunkBytes = 16u * 1024 * 1024;
constexpr png_uint_32 MaxAncillaryChunks = 1000;

struct Source {
    const BYTE* data;
    size_t size;
    size_t at;
};

void ReadBytes(png_structp png, png_bytep out, size_t count)
{
    auto* source = static_cast<Source*>(png_get_io_ptr(png));
    if (count > source->size - source->at)
        png_error(png, "truncated");
    std::memcpy(out, source->data + source->at, count);
    source->at += count;
}

void OnError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) { }

struct Reader {
    png_structp png = nullptr;
    png_infop info = nullptr;
    Source source {};

    Reader(const BYTE* data, size_t size)
    {
        source = Source { data, size, 0 };
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
        if (png)
            info = png_create_info_struct(png);
    }
    ~Reader() { png_destroy_read_struct(&png, &info, nullptr); }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;
};

// What the header makes of the picture.
struct Layout {
    int width = 0;
    int height = 0;
    int colorType = 0;
    int bitDepth = 0;
    bool transparent = false; // an alpha channel or a tRNS chunk
    int fileBits = 0;         // the depth a load at 0 bits gives
};

// Reads up to the picture data; runs under the caller's setjmp.
int ReadInfo(Reader& reader, Layout& layout)
{
    png_set_read_fn(reader.png, &reader.source, ReadBytes);
    png_set_chunk_malloc_max(reader.png, MaxChunkBytes);
    png_set_chunk_cache_max(reader.png, MaxAncillaryChunks);
    png_read_info(reader.png, reader.info);
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int interlace = 0;
    png_get_IHDR(reader.png, reader.info, &width, &height, &layout.bitDepth, &layout.colorType, &interlace, nullptr,
        nullptr);
    if (width == 0 || height == 0)
        return LT_ERR_BAD_DATA;
    if (!SizeAllowed(width, height))
        return LT_ERR_TOO_LARGE;
    layout.width = int(width);
    layout.height = int(height);
    layout.transparent = (layout.colorType & PNG_COLOR_MASK_ALPHA) || png_get_valid(reader.png, reader.info, PNG_INFO_tRNS);
    if (layout.transparent)
        layout.fileBits = 32;
    else if (layout.colorType == PNG_COLOR_TYPE_PALETTE || layout.colorType == PNG_COLOR_TYPE_GRAY)
        layout.fileBits = layout.bitDepth == 1 ? 1 : layout.bitDepth <= 4 ? 4 : 8;
    else
        layout.fileBits = 24;
    return LT_SUCCESS;
}

int InfoUnderJump(Reader& reader, Layout& layout)
{
    if (setjmp(png_jmpbuf(reader.png)))
        return LT_ERR_CORRUPT;
    return ReadInfo(reader, layout);
}

// The palette of an indexed result: the file's own, or a grey ramp for grey
// files (index = level), padded with black to the depth's size.
std::vector<RGBQUAD> PaletteOf(Reader& reader, const Layout& layout, int bits)
{
    if (layout.colorType == PNG_COLOR_TYPE_GRAY) {
        // 2-bit grey widens to 4 bits with its four levels first.
        std::vector<RGBQUAD> ramp = GreyRamp(layout.bitDepth == 16 ? 8 : layout.bitDepth);
        ramp.resize(size_t(1) << bits, RGBQUAD { 0, 0, 0, 0 });
        return ramp;
    }
    std::vector<RGBQUAD> palette(size_t(1) << bits, RGBQUAD { 0, 0, 0, 0 });
    png_colorp colours = nullptr;
    int count = 0;
    if (png_get_PLTE(reader.png, reader.info, &colours, &count) & PNG_INFO_PLTE) {
        for (int i = 0; i < count && size_t(i) < palette.size(); ++i)
            palette[size_t(i)] = RGBQUAD { colours[i].blue, colours[i].green, colours[i].red, 0 };
    }
    return palette;
}

// Decodes the rows into out (sized by the caller for bits); kept free of
// objects with destructors, as a decoder error jumps back into it. twoBit is
// a row of one byte per pixel for 2-bit files, which widen to 4 bits.
int DecodeRows(Reader& reader, const Layout& layout, int bits, int order, LTBITMAP& out, std::vector<BYTE>& twoBit)
{
    if (setjmp(png_jmpbuf(reader.png)))
        return LT_ERR_CORRUPT;
    png_structp png = reader.png;
    const bool bgr = order != LT_ORDER_RGB;
    if (bits >= 24) {
        png_set_expand(png); // palette to colour, small greys to 8 bits, tRNS to alpha
        png_set_scale_16(png);
        png_set_gray_to_rgb(png);
        if (bits == 24)
            png_set_strip_alpha(png);
        else if (!(layout.colorType & PNG_COLOR_MASK_ALPHA) && !png_get_valid(png, reader.info, PNG_INFO_tRNS))
            png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
        if (bgr)
            png_set_bgr(png);
    } else {
        // Indexed or grey at the file's own depth.
        png_set_scale_16(png);
        if (layout.bitDepth == 2)
            png_set_packing(png);
    }
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, reader.info);
    const size_t rowBytes = png_get_rowbytes(png, reader.info);
    if (layout.bitDepth == 2 && bits == 4) {
        if (rowBytes != size_t(layout.width))
            return LT_ERR_BAD_DATA;
        twoBit.assign(rowBytes, 0);
    } else if (rowBytes > size_t(out.BytesPerLine)) {
        return LT_ERR_BAD_DATA;
    }
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < layout.height; ++y) {
            BYTE* row = out.Pixels.data() + size_t(y) * size_t(out.BytesPerLine);
            if (twoBit.empty()) {
                png_read_row(png, row, nullptr);
                continue;
            }
            // Widening keeps the earlier passes' pixels: unpack, read, pack.
            for (int x = 0; x < layout.width; ++x)
                twoBit[size_t(x)] = BYTE((x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4);
            png_read_row(png, twoBit.data(), nullptr);
            for (int x = 0; x < layout.width; x += 2) {
                const BYTE right = x + 1 < layout.width ? BYTE(twoBit[size_t(x) + 1] & 0x0F) : 0;
                row[x >> 1] = BYTE((twoBit[size_t(x)] & 0x0F) << 4 | right);
            }
        }
    }
    png_read_end(png, nullptr);
    return LT_SUCCESS;
}

} // namespace

int PngInfo(const BYTE* data, size_t size, LTFILEINFO& info)
{
    Reader reader(data, size);
    if (!reader.png || !reader.info)
        return LT_ERR_NO_MEMORY;
    Layout layout;
    int result = InfoUnderJump(reader, layout);
    if (result != LT_SUCCESS)
        return result;
    info = LTFILEINFO {};
    info.Format = LT_FORMAT_PNG;
    info.Width = layout.width;
    info.Height = layout.height;
    info.BitsPerPixel = layout.fileBits;
    info.Order = LT_ORDER_BGR;
    info.FileSize = DWORD(size);
    return LT_SUCCESS;
}

int PngDecode(const BYTE* data, size_t size, int bitsPerPixel, int order, LTBITMAP& bitmap)
{
    try {
        Reader reader(data, size);
        if (!reader.png || !reader.info)
            return LT_ERR_NO_MEMORY;
        Layout layout;
        int result = InfoUnderJump(reader, layout);
        if (result != LT_SUCCESS)
            return result;
        const int bits = bitsPerPixel == 0 ? layout.fileBits : bitsPerPixel;
        const bool direct = bits == 24 || bits == 32 || bits == layout.fileBits;
        const int decodeBits = direct ? bits : layout.fileBits;

        LTBITMAP decoded;
        decoded.Width = layout.width;
        decoded.Height = layout.height;
        decoded.BitsPerPixel = decodeBits;
        decoded.BytesPerLine = RowBytes(layout.width, decodeBits);
        decoded.Order = order == LT_ORDER_RGB ? LT_ORDER_RGB : LT_ORDER_BGR;
        if (decodeBits <= 8)
            decoded.Palette = PaletteOf(reader, layout, decodeBits);
        decoded.Pixels.assign(size_t(decoded.BytesPerLine) * size_t(layout.height), 0);
        decoded.Flags = LT_BITMAP_ALLOCATED;
        std::vector<BYTE> twoBit;
        result = DecodeRows(reader, layout, decodeBits, order, decoded, twoBit);
        if (result != LT_SUCCESS)
            return result;
        if (!direct) {
            result = ConvertDepth(decoded, bits, order);
            if (result != LT_SUCCESS)
                return result;
        }
        bitmap = std::move(decoded);
        return LT_SUCCESS;
    } catch (const std::bad_alloc&) {
        return LT_ERR_NO_MEMORY;
    }
}

} // namespace platform::imaging
