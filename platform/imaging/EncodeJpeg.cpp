// JPEG straight from the raster with libjpeg, as JPEGs are read: every
// save writes its design's preview here, and every first save the
// photographs the design embeds; the decoder library's round through its
// own pixel cache made each a third slower.
//
// The file is what the decoder library wrote before, so stored designs and
// exported files look the same: a JFIF 1.01 header without units (aspect
// 1:1), colour in full chroma resolution from quality 90 up and with the
// chroma halved both ways below, grey as one component, and Huffman tables
// made for the picture.

#include "platform/imaging/EncodeInternal.h"
#include "platform/imaging/ImagingInternal.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

namespace platform::imaging {
namespace {

// From this quality up the chroma keeps every pixel, as the edges of
// lettering and shapes in a preview bleed when it is halved.
constexpr int kFullChromaQuality = 90;

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    int code;
};

[[noreturn]] void OnError(j_common_ptr info)
{
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    switch (info->err->msg_code) {
    case JERR_OUT_OF_MEMORY:
        errors->code = LT_ERR_NO_MEMORY;
        break;
    default:
        errors->code = LT_ERR_WRITE; // the picture is too large for the format, or the like
        break;
    }
    std::longjmp(errors->jump, 1);
}

void OnMessage(j_common_ptr, int)
{
    // Warnings and traces are not shown; a failure ends in OnError.
}

} // namespace

int WriteJpeg(const OutputRaster& raster, bool grey, int quality, std::string& out)
{
    if (raster.width <= 0 || raster.height <= 0 || raster.bits < 24
        || raster.rgba.size() < size_t(raster.width) * size_t(raster.height) * 4)
        return LT_ERR_BAD_BITMAP;
    const size_t width = size_t(raster.width);
    // Everything with a destructor lives before the setjmp: a longjmp from
    // the library passes over no frame of ours.
    std::vector<JSAMPLE> row(width * (grey ? 1 : 3));
    jpeg_compress_struct info{};
    ErrorManager errors{};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = OnError;
    errors.base.emit_message = OnMessage;
    errors.code = LT_ERR_WRITE;
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_compress(&info);
        std::free(buffer);
        return errors.code;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(raster.width);
    info.image_height = JDIMENSION(raster.height);
    info.input_components = grey ? 1 : 3;
    info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (!grey && quality >= kFullChromaQuality) {
        for (int i = 0; i < info.num_components; ++i) {
            info.comp_info[i].h_samp_factor = 1;
            info.comp_info[i].v_samp_factor = 1;
        }
    }
    info.optimize_coding = TRUE;
    jpeg_start_compress(&info, TRUE);
    const uint8_t* pixels = raster.rgba.data();
    while (info.next_scanline < info.image_height) {
        const uint8_t* in = pixels + size_t(info.next_scanline) * width * 4;
        JSAMPLE* to = row.data();
        if (grey) {
            for (size_t x = 0; x < width; ++x, in += 4)
                *to++ = GreyOf(in[0], in[1], in[2]);
        } else {
            for (size_t x = 0; x < width; ++x, in += 4) {
                *to++ = in[0];
                *to++ = in[1];
                *to++ = in[2];
            }
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    // Copied out of the library's buffer; a failing copy must still free it.
    int result = LT_SUCCESS;
    try {
        out.assign(reinterpret_cast<const char*>(buffer), size_t(size));
    } catch (const std::bad_alloc&) {
        result = LT_ERR_NO_MEMORY;
    }
    std::free(buffer);
    return size == 0 && result == LT_SUCCESS ? LT_ERR_WRITE : result;
}

} // namespace platform::imaging
