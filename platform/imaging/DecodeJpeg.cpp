// JPEG straight into a bitmap record: the decoder writes each scan line into
// its row of the record, so a load needs little more memory than the picture.

#include "platform/imaging/Decoders.h"

#include <csetjmp>
#include <cstdio>
#include <new>

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

int JpegInfo(const BYTE* data, size_t size, LTFILEINFO& info)
{
    if (!JpegComplete(data, size))
        return LT_ERR_CORRUPT;
    Reader reader;
    return HeaderOnly(reader, data, size, info);
}

int JpegDecode(const BYTE* data, size_t size, int bitsPerPixel, int order, LTBITMAP& bitmap)
{
    LTFILEINFO header;
    int result = JpegInfo(data, size, header);
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
