// Targa pictures: colour-mapped, true-colour and grey, raw or run-length
// packed, from whichever corner the header names. Our own reader: grey with
// alpha and the right-to-left corners are where other readers go wrong.

#include "platform/imaging/Decoders.h"

#include <algorithm>
#include <new>

namespace platform::imaging {
namespace {

uint16_t U16(const BYTE* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

uint8_t Widen5(unsigned c)
{
    return uint8_t((c << 3) | (c >> 2));
}

struct Header {
    int idLength = 0;
    int mapType = 0;
    int imageType = 0;
    int mapFirst = 0;
    int mapLength = 0;
    int mapBits = 0;
    int width = 0;
    int height = 0;
    int bits = 0;
    int alphaBits = 0;
    bool fromTop = false;
    bool fromRight = false;
};

Header ReadHeader(const BYTE* data)
{
    Header h;
    h.idLength = data[0];
    h.mapType = data[1];
    h.imageType = data[2];
    h.mapFirst = U16(data + 3);
    h.mapLength = U16(data + 5);
    h.mapBits = data[7];
    h.width = U16(data + 12);
    h.height = U16(data + 14);
    h.bits = data[16];
    h.alphaBits = data[17] & 0x0F;
    h.fromTop = (data[17] & 0x20) != 0;
    h.fromRight = (data[17] & 0x10) != 0;
    return h;
}

// One pixel or colour-map entry of 15, 16, 24 or 32 bits as R, G, B, A.
// A 16-bit value's top bit is alpha only when the header gives one bit of
// it; a 32-bit value's fourth byte when it gives eight.
void Colour(const BYTE* p, int bits, int alphaBits, uint8_t out[4])
{
    switch (bits) {
    case 15:
    case 16: {
        const unsigned v = U16(p);
        out[0] = Widen5((v >> 10) & 0x1F);
        out[1] = Widen5((v >> 5) & 0x1F);
        out[2] = Widen5(v & 0x1F);
        out[3] = bits == 16 && alphaBits == 1 ? ((v & 0x8000) ? 255 : 0) : 255;
        return;
    }
    case 24:
        out[0] = p[2];
        out[1] = p[1];
        out[2] = p[0];
        out[3] = 255;
        return;
    default:
        out[0] = p[2];
        out[1] = p[1];
        out[2] = p[0];
        out[3] = alphaBits == 8 ? p[3] : 255;
        return;
    }
}

// The picture as R, G, B, A rows, top row first, and whether it has alpha.
int Unpack(const BYTE* data, size_t size, Header& h, std::vector<uint8_t>& rgba, bool& alpha)
{
    if (size < 18)
        return LT_ERR_FORMAT;
    h = ReadHeader(data);
    if (h.width == 0 || h.height == 0)
        return LT_ERR_BAD_DATA;
    if (!SizeAllowed(h.width, h.height))
        return LT_ERR_TOO_LARGE;
    const bool mapped = h.imageType == 1 || h.imageType == 9;
    const bool grey = h.imageType == 3 || h.imageType == 11;
    const bool packed = h.imageType >= 9;
    size_t at = 18 + size_t(h.idLength);

    // The colour map, when there is one, even if the picture does not use it.
    std::vector<uint8_t> map;
    if (h.mapType == 1) {
        const size_t entryBytes = size_t((h.mapBits + 7) / 8);
        if (h.mapBits != 15 && h.mapBits != 16 && h.mapBits != 24 && h.mapBits != 32)
            return LT_ERR_CORRUPT;
        if (at + entryBytes * size_t(h.mapLength) > size)
            return LT_ERR_CORRUPT;
        map.resize(size_t(h.mapLength) * 4);
        for (int i = 0; i < h.mapLength; ++i)
            Colour(data + at + entryBytes * size_t(i), h.mapBits, h.mapBits == 32 ? 8 : h.alphaBits, &map[size_t(i) * 4]);
        at += entryBytes * size_t(h.mapLength);
    } else if (mapped) {
        return LT_ERR_CORRUPT;
    }
    if (mapped ? (h.bits != 8 && h.bits != 16) : grey ? (h.bits != 8 && h.bits != 16)
                                                       : (h.bits != 15 && h.bits != 16 && h.bits != 24 && h.bits != 32))
        return LT_ERR_SUBTYPE;
    const size_t pixelBytes = size_t((h.bits + 7) / 8);

    // Pixels in file order; a run may cross the end of a row.
    const size_t count = size_t(h.width) * size_t(h.height);
    rgba.assign(count * 4, 0);
    auto decode = [&](const BYTE* p, uint8_t* out) -> bool {
        if (mapped) {
            const int index = (pixelBytes == 1 ? p[0] : U16(p)) - h.mapFirst;
            if (index < 0 || index >= h.mapLength)
                return false;
            std::copy_n(&map[size_t(index) * 4], 4, out);
        } else if (grey) {
            out[0] = out[1] = out[2] = p[0];
            out[3] = pixelBytes == 2 && h.alphaBits == 8 ? p[1] : 255;
        } else {
            Colour(p, h.bits, h.alphaBits, out);
        }
        return true;
    };
    size_t done = 0;
    while (done < count) {
        size_t run = 1;
        bool repeat = false;
        if (packed) {
            if (at >= size)
                return LT_ERR_CORRUPT;
            const BYTE packet = data[at++];
            run = size_t(packet & 0x7F) + 1;
            repeat = (packet & 0x80) != 0;
        } else {
            run = count;
        }
        run = std::min(run, count - done);
        if (repeat) {
            if (at + pixelBytes > size)
                return LT_ERR_CORRUPT;
            uint8_t colour[4];
            if (!decode(data + at, colour))
                return LT_ERR_CORRUPT;
            at += pixelBytes;
            for (size_t i = 0; i < run; ++i)
                std::copy_n(colour, 4, &rgba[(done + i) * 4]);
        } else {
            if (at + pixelBytes * run > size)
                return LT_ERR_CORRUPT;
            for (size_t i = 0; i < run; ++i, at += pixelBytes) {
                if (!decode(data + at, &rgba[(done + i) * 4]))
                    return LT_ERR_CORRUPT;
            }
        }
        done += run;
    }

    // Alpha that is 0 everywhere was left empty by the writer, not meant as
    // an invisible picture.
    alpha = false;
    bool anyVisible = false;
    for (size_t i = 0; i < count; ++i) {
        alpha = alpha || rgba[i * 4 + 3] != 255;
        anyVisible = anyVisible || rgba[i * 4 + 3] != 0;
    }
    if (alpha && !anyVisible) {
        for (size_t i = 0; i < count; ++i)
            rgba[i * 4 + 3] = 255;
        alpha = false;
    }

    // Into top-down, left-to-right order.
    const size_t width = size_t(h.width);
    if (!h.fromTop) {
        for (size_t y = 0; y < size_t(h.height) / 2; ++y)
            std::swap_ranges(rgba.begin() + long(y * width * 4), rgba.begin() + long((y + 1) * width * 4),
                rgba.begin() + long((size_t(h.height) - 1 - y) * width * 4));
    }
    if (h.fromRight) {
        for (size_t y = 0; y < size_t(h.height); ++y) {
            uint8_t* row = &rgba[y * width * 4];
            for (size_t x = 0; x < width / 2; ++x)
                std::swap_ranges(row + x * 4, row + x * 4 + 4, row + (width - 1 - x) * 4);
        }
    }
    return LT_SUCCESS;
}

int DepthOf(const Header& h, bool alpha)
{
    if (alpha)
        return 32;
    if (h.imageType == 1 || h.imageType == 9)
        return h.mapLength <= 2 ? 1 : h.mapLength <= 16 ? 4 : 8;
    if (h.imageType == 3 || h.imageType == 11)
        return 8;
    return 24;
}

} // namespace

int TargaInfo(const BYTE* data, size_t size, LTFILEINFO& info)
{
    try {
        Header h;
        std::vector<uint8_t> rgba;
        bool alpha = false;
        const int result = Unpack(data, size, h, rgba, alpha);
        if (result != LT_SUCCESS)
            return result;
        info = LTFILEINFO {};
        info.Format = LT_FORMAT_TGA;
        info.Width = h.width;
        info.Height = h.height;
        info.BitsPerPixel = DepthOf(h, alpha);
        info.Order = LT_ORDER_BGR;
        info.FileSize = DWORD(size);
        return LT_SUCCESS;
    } catch (const std::bad_alloc&) {
        return LT_ERR_NO_MEMORY;
    }
}

int TargaDecode(const BYTE* data, size_t size, int bitsPerPixel, int order, LTBITMAP& bitmap)
{
    try {
        Header h;
        std::vector<uint8_t> rgba;
        bool alpha = false;
        const int result = Unpack(data, size, h, rgba, alpha);
        if (result != LT_SUCCESS)
            return result;
        const int bits = bitsPerPixel == 0 ? DepthOf(h, alpha) : bitsPerPixel;
        return PackRgbaReduced(rgba, h.width, h.height, bits, order, bitmap);
    } catch (const std::bad_alloc&) {
        return LT_ERR_NO_MEMORY;
    }
}

} // namespace platform::imaging
