// JPEG straight into a bitmap record: the decoder writes each scan line into
// its row of the record, so a load needs little more memory than the picture.
// A camera's orientation tag (EXIF) is applied as the picture loads, so a
// photograph taken upright comes in upright; the file itself is never
// changed, so the turn is made afresh at every load.

#include "platform/imaging/Decoders.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

#include <jpeglib.h>
#include <jerror.h>

namespace platform::imaging {

// A stream that stops before its end marker was cut off; it is refused rather
// than shown with its missing part grey. Walks the marker segments and the
// scans between them (where a 0xFF byte is always stuffed or a restart marker)
// to the EOI.
static bool JpegComplete(const BYTE* data, size_t size)
{
    size_t i = 2;
    while (i + 1 < size) {
        if (data[i] != 0xFF) {
            ++i; // stray bytes between segments are tolerated, as decoders do
            continue;
        }
        const BYTE marker = data[i + 1];
        if (marker == 0xD9)
            return true;
        if (marker == 0xFF || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            i += marker == 0xFF ? 1 : 2; // fill bytes and markers without a length
            continue;
        }
        if (i + 3 >= size)
            return false;
        const size_t length = size_t(data[i + 2]) << 8 | data[i + 3];
        if (length < 2)
            return false;
        i += 2 + length;
        if (marker != 0xDA)
            continue;
        // Scan data runs to the next marker that is neither stuffing nor a restart.
        while (i + 1 < size
            && !(data[i] == 0xFF && data[i + 1] != 0x00 && !(data[i + 1] >= 0xD0 && data[i + 1] <= 0xD7)))
            ++i;
    }
    return false;
}

namespace {

// The orientation a camera recorded in the file's EXIF block: 1 (upright,
// also when there is none or it cannot be read) to 8. Only the markers
// before the first scan are looked at, as that is where the block lives.
int ExifOrientation(const BYTE* data, size_t size)
{
    size_t i = 2;
    while (i + 4 <= size && data[i] == 0xFF) {
        const BYTE marker = data[i + 1];
        if (marker == 0xFF) {
            ++i;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9)
            break;
        const size_t length = size_t(data[i + 2]) << 8 | data[i + 3];
        if (length < 2 || i + 2 + length > size)
            break;
        const BYTE* segment = data + i + 4;
        const size_t bytes = length - 2;
        if (marker == 0xE1 && bytes >= 14 && std::memcmp(segment, "Exif\0\0", 6) == 0) {
            // A TIFF header and its first directory, in either byte order.
            const BYTE* tiff = segment + 6;
            const size_t tiffBytes = bytes - 6;
            const bool little = tiff[0] == 'I' && tiff[1] == 'I';
            if (!little && !(tiff[0] == 'M' && tiff[1] == 'M'))
                return 1;
            auto u16 = [&](size_t at) {
                return little ? unsigned(tiff[at] | tiff[at + 1] << 8) : unsigned(tiff[at] << 8 | tiff[at + 1]);
            };
            auto u32 = [&](size_t at) {
                return little ? u16(at) | size_t(u16(at + 2)) << 16 : size_t(u16(at)) << 16 | u16(at + 2);
            };
            if (u16(2) != 42)
                return 1;
            const size_t directory = u32(4);
            if (directory > tiffBytes || tiffBytes - directory < 2)
                return 1;
            const size_t entries = u16(directory);
            for (size_t e = 0; e < entries; ++e) {
                const size_t at = directory + 2 + 12 * e;
                if (at + 12 > tiffBytes)
                    break;
                // Orientation: one SHORT, held in the entry itself.
                if (u16(at) == 0x0112 && u16(at + 2) == 3 && u32(at + 4) >= 1) {
                    const unsigned value = u16(at + 8);
                    return value >= 1 && value <= 8 ? int(value) : 1;
                }
            }
            return 1;
        }
        i += 2 + length;
    }
    return 1;
}

// Orientations 5 to 8 turn the picture a quarter: width and height swap.
bool SwapsSides(int orientation)
{
    return orientation >= 5;
}

// The pixels of an 8-, 24- or 32-bit record made upright: each pixel of the
// upright picture is fetched from where the camera's orientation put it.
void Orient(LTBITMAP& bitmap, int orientation)
{
    if (orientation <= 1 || orientation > 8)
        return;
    const int w = bitmap.Width;
    const int h = bitmap.Height;
    const size_t pixel = size_t(bitmap.BitsPerPixel / 8);
    const int outW = SwapsSides(orientation) ? h : w;
    const int outH = SwapsSides(orientation) ? w : h;
    const int outLine = RowBytes(outW, bitmap.BitsPerPixel);
    std::vector<BYTE> out(size_t(outLine) * size_t(outH), 0);
    for (int y = 0; y < outH; ++y) {
        BYTE* row = out.data() + size_t(y) * size_t(outLine);
        for (int x = 0; x < outW; ++x) {
            int sx = x, sy = y;
            switch (orientation) {
            case 2: sx = w - 1 - x; break;                    // mirrored left to right
            case 3: sx = w - 1 - x; sy = h - 1 - y; break;    // upside down
            case 4: sy = h - 1 - y; break;                    // mirrored top to bottom
            case 5: sx = y; sy = x; break;                    // mirrored along the main diagonal
            case 6: sx = y; sy = h - 1 - x; break;            // to be turned a quarter clockwise
            case 7: sx = w - 1 - y; sy = h - 1 - x; break;    // mirrored along the other diagonal
            default: sx = w - 1 - y; sy = x; break;           // 8: a quarter anticlockwise
            }
            std::memcpy(row + size_t(x) * pixel,
                bitmap.Pixels.data() + size_t(sy) * size_t(bitmap.BytesPerLine) + size_t(sx) * pixel, pixel);
        }
    }
    bitmap.Width = outW;
    bitmap.Height = outH;
    bitmap.BytesPerLine = outLine;
    bitmap.Pixels = std::move(out);
}

// A progressive stream may hold any number of scans, each a pass over the
// whole picture; real encoders write a dozen or so.
constexpr int MaxScans = 256;
// Warnings (corrupt entropy data and the like) are tolerated as other readers
// tolerate them, up to a point where the stream is plainly not a picture.
constexpr int MaxWarnings = 1000;
// The decoder's own working memory beyond the output rows (progressive
// coefficients of the largest picture we take).
constexpr long MaxWorkingMemory = 768L * 1024 * 1024;

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    int code;
    int warnings;
};

[[noreturn]] void Fail(j_common_ptr info, int code)
{
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    errors->code = code;
    std::longjmp(errors->jump, 1);
}

void OnError(j_common_ptr info)
{
    switch (info->err->msg_code) {
    case JERR_OUT_OF_MEMORY:
    case JERR_WIDTH_OVERFLOW:
        Fail(info, LT_ERR_NO_MEMORY);
    case JERR_IMAGE_TOO_BIG:
        Fail(info, LT_ERR_TOO_LARGE);
    case JERR_BAD_PRECISION: // 12- and 16-bit samples
    case JERR_NOT_COMPILED:
        Fail(info, LT_ERR_SUBTYPE);
    default:
        Fail(info, LT_ERR_CORRUPT);
    }
}

void OnMessage(j_common_ptr info, int level)
{
    if (level >= 0)
        return; // trace messages
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    // The data ran out: the rest of the picture would be made up.
    if (info->err->msg_code == JWRN_JPEG_EOF || ++errors->warnings > MaxWarnings)
        Fail(info, LT_ERR_CORRUPT);
}

void OnProgress(j_common_ptr info)
{
    if (info->is_decompressor) {
        auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
        if (decompress->input_scan_number > MaxScans)
            Fail(info, LT_ERR_CORRUPT);
    }
}

// The decompressor with our error handling, reading from memory. The caller
// does the setjmp.
struct Reader {
    jpeg_decompress_struct info {};
    ErrorManager errors {};
    jpeg_progress_mgr progress {};

    Reader()
    {
        info.err = jpeg_std_error(&errors.base);
        errors.base.error_exit = OnError;
        errors.base.emit_message = OnMessage;
        errors.code = LT_ERR_CORRUPT;
    }
    ~Reader() { jpeg_destroy_decompress(&info); }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;
};

int DepthOf(const jpeg_decompress_struct& info)
{
    return info.jpeg_color_space == JCS_GRAYSCALE ? 8 : 24;
}

// The header, checked against our limits; runs under the caller's setjmp.
int ReadHeader(Reader& reader, const BYTE* data, size_t size)
{
    jpeg_create_decompress(&reader.info);
    reader.info.mem->max_memory_to_use = MaxWorkingMemory;
    reader.progress.progress_monitor = OnProgress;
    reader.info.progress = &reader.progress;
    jpeg_mem_src(&reader.info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&reader.info, TRUE) != JPEG_HEADER_OK)
        return LT_ERR_CORRUPT;
    if (reader.info.image_width == 0 || reader.info.image_height == 0)
        return LT_ERR_BAD_DATA;
    return LT_SUCCESS;
}

// A photograph over the limits is read smaller by the decoder itself: its
// inverse DCT makes 1/2, 1/4 or 1/8 of the pixels straight from the
// coefficients, so a 64-megapixel picture costs no more than a quarter of
// that. The largest scale that fits is taken; output_width and
// output_height then hold the size the load gives. Runs under the caller's
// setjmp.
int ChooseScale(jpeg_decompress_struct& info)
{
    for (unsigned denominator : { 1u, 2u, 4u, 8u }) {
        info.scale_num = 1;
        info.scale_denom = denominator;
        jpeg_calc_output_dimensions(&info);
        if (SizeAllowed(info.output_width, info.output_height))
            return LT_SUCCESS;
    }
    return LT_ERR_TOO_LARGE;
}

// Adobe's CMYK JPEGs store their inks inverted, so a byte is the amount of
// light the ink lets through and the colour is their product.
void CmykRow(const JSAMPLE* in, BYTE* out, int width, int step, bool bgr)
{
    for (int x = 0; x < width; ++x, in += 4, out += step) {
        const unsigned k = in[3];
        const BYTE r = BYTE((in[0] * k + 127) / 255);
        const BYTE g = BYTE((in[1] * k + 127) / 255);
        const BYTE b = BYTE((in[2] * k + 127) / 255);
        out[0] = bgr ? b : r;
        out[1] = g;
        out[2] = bgr ? r : b;
        if (step == 4)
            out[3] = 255;
    }
}

// Decodes into the rows of out, which the caller has sized for bits (8 grey,
// 24 or 32). Kept free of objects with destructors: a decoder error jumps
// back into it.
int DecodeRows(Reader& reader, const BYTE* data, size_t size, int bits, int order, LTBITMAP& out,
    std::vector<JSAMPLE>& cmykRow)
{
    if (setjmp(reader.errors.jump))
        return reader.errors.code;
    int result = ReadHeader(reader, data, size);
    if (result != LT_SUCCESS)
        return result;
    jpeg_decompress_struct& info = reader.info;
    const bool bgr = order != LT_ORDER_RGB;
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    if (cmyk)
        info.out_color_space = JCS_CMYK;
    else if (bits == 8)
        info.out_color_space = JCS_GRAYSCALE;
    else if (bits == 24)
        info.out_color_space = bgr ? JCS_EXT_BGR : JCS_EXT_RGB;
    else
        info.out_color_space = bgr ? JCS_EXT_BGRA : JCS_EXT_RGBA;
    result = ChooseScale(info);
    if (result != LT_SUCCESS)
        return result;
    jpeg_start_decompress(&info);
    const int width = int(info.output_width);
    const int height = int(info.output_height);
    if (width != out.Width || height != out.Height)
        return LT_ERR_BAD_DATA;
    if (cmyk)
        cmykRow.resize(size_t(width) * 4);
    while (info.output_scanline < info.output_height) {
        const int y = int(info.output_scanline);
        BYTE* row = out.Pixels.data() + size_t(y) * size_t(out.BytesPerLine);
        JSAMPROW target = cmyk ? cmykRow.data() : row;
        if (jpeg_read_scanlines(&info, &target, 1) != 1)
            return LT_ERR_CORRUPT;
        if (cmyk)
            CmykRow(cmykRow.data(), row, width, bits / 8, bgr);
    }
    jpeg_finish_decompress(&info);
    return LT_SUCCESS;
}

int HeaderOnly(Reader& reader, const BYTE* data, size_t size, LTFILEINFO& info)
{
    if (setjmp(reader.errors.jump))
        return reader.errors.code;
    int result = ReadHeader(reader, data, size);
    if (result == LT_SUCCESS)
        result = ChooseScale(reader.info);
    if (result != LT_SUCCESS)
        return result;
    info = LTFILEINFO {};
    info.Format = LT_FORMAT_JPEG;
    info.Width = int(reader.info.output_width);
    info.Height = int(reader.info.output_height);
    info.BitsPerPixel = DepthOf(reader.info);
    info.Order = LT_ORDER_BGR;
    info.FileSize = DWORD(size);
    return LT_SUCCESS;
}

} // namespace

// The header as stored, before the camera's orientation is applied.
static int StoredHeader(const BYTE* data, size_t size, LTFILEINFO& info)
{
    if (!JpegComplete(data, size))
        return LT_ERR_CORRUPT;
    Reader reader;
    return HeaderOnly(reader, data, size, info);
}

int JpegInfo(const BYTE* data, size_t size, LTFILEINFO& info)
{
    int result = StoredHeader(data, size, info);
    if (result == LT_SUCCESS && SwapsSides(ExifOrientation(data, size)))
        std::swap(info.Width, info.Height);
    return result;
}

int JpegDecode(const BYTE* data, size_t size, int bitsPerPixel, int order, LTBITMAP& bitmap)
{
    LTFILEINFO header;
    int result = StoredHeader(data, size, header);
    if (result != LT_SUCCESS)
        return result;
    const int fileBits = header.BitsPerPixel;
    const int bits = bitsPerPixel == 0 ? fileBits : bitsPerPixel;
    // Grey straight into 8 bits only when the file is grey; a colour file
    // needs a palette of its own colours.
    const bool direct = bits == 24 || bits == 32 || (bits == 8 && fileBits == 8);
    const int decodeBits = direct ? bits : fileBits;
    try {
        LTBITMAP decoded;
        decoded.Width = header.Width;
        decoded.Height = header.Height;
        decoded.BitsPerPixel = decodeBits;
        decoded.BytesPerLine = RowBytes(header.Width, decodeBits);
        decoded.Order = order == LT_ORDER_RGB ? LT_ORDER_RGB : LT_ORDER_BGR;
        if (decodeBits == 8)
            decoded.Palette = GreyRamp(8);
        decoded.Pixels.assign(size_t(decoded.BytesPerLine) * size_t(header.Height), 0);
        decoded.Flags = LT_BITMAP_ALLOCATED;
        std::vector<JSAMPLE> cmykRow;
        {
            Reader reader;
            result = DecodeRows(reader, data, size, decodeBits, order, decoded, cmykRow);
        }
        if (result != LT_SUCCESS)
            return result;
        Orient(decoded, ExifOrientation(data, size));
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
