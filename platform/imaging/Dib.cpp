// Bitmap records to and from packed DIBs, and device bitmaps made from them.

#include "platform/imaging/ImagingInternal.h"

#include "platform/base/GlobalMemory.h"
#include "platform/gdi/Gdi.h"

#include <cstring>
#include <limits>
#include <utility>

namespace platform::imaging {
namespace {

uint16_t U16(const BYTE* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

uint32_t U32(const BYTE* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

constexpr size_t kUnbounded = std::numeric_limits<size_t>::max();

// One colour channel of a BI_BITFIELDS pixel.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;

    explicit Channel(uint32_t m)
        : mask(m)
    {
        if (!m)
            return;
        while (!((m >> shift) & 1))
            ++shift;
        max = m >> shift;
    }
    // Narrow channels repeat their bits downwards, so that full scale is 255
    // and the result equals the common decoders' reading.
    uint8_t Of(uint32_t pixel) const
    {
        if (!max)
            return 0;
        const uint32_t v = (pixel & mask) >> shift;
        int width = 0;
        while ((max >> width) != 0)
            ++width;
        if (width >= 8)
            return uint8_t(v >> (width - 8));
        uint32_t result = 0;
        for (int filled = 0; filled < 8; filled += width) {
            int s = 8 - filled - width;
            result |= s >= 0 ? v << s : v >> -s;
        }
        return uint8_t(result);
    }
};

bool ContiguousMask(uint32_t m)
{
    if (!m)
        return true;
    while (!(m & 1))
        m >>= 1;
    return (m & (m + 1)) == 0;
}

// Reads a DIB whose header, colours and masks lie in the first headerRoom
// bytes at info and whose bits follow at bits with bitsRoom bytes (either
// kUnbounded when the caller vouches for it).
int ReadDib(const BYTE* info, size_t headerRoom, const BYTE* bits, size_t bitsRoom, bool bitsFollowHeader,
    LTBITMAP& bitmap)
{
    if (!info || headerRoom < 12)
        return LT_ERR_BAD_DATA;
    const uint32_t headerSize = U32(info);
    long long width = 0;
    long long height = 0;
    int bitCount = 0;
    uint32_t compression = BI_RGB;
    uint32_t colorsUsed = 0;
    size_t entrySize = 4;
    bool topDown = false;
    if (headerSize == 12) {
        width = U16(info + 4);
        height = U16(info + 6);
        bitCount = U16(info + 10);
        entrySize = 3;
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 64 || headerSize == 108
        || headerSize == 124) {
        if (headerRoom < headerSize)
            return LT_ERR_BAD_DATA;
        width = int32_t(U32(info + 4));
        height = int32_t(U32(info + 8));
        bitCount = U16(info + 14);
        compression = U32(info + 16);
        colorsUsed = U32(info + 32);
        if (height < 0) {
            topDown = true;
            height = -height;
        }
    } else {
        return LT_ERR_BAD_DATA;
    }
    if (width <= 0 || height <= 0)
        return LT_ERR_BAD_DATA;
    if (!SizeAllowed(width, height))
        return LT_ERR_NO_MEMORY;
    if (!ValidDepth(bitCount))
        return LT_ERR_SUBTYPE;
    if (compression == BI_RLE8 || compression == BI_RLE4 || compression == BI_JPEG || compression == BI_PNG)
        return LT_ERR_SUBTYPE;
    if (compression != BI_RGB && compression != BI_BITFIELDS)
        return LT_ERR_BAD_DATA;
    if (compression == BI_BITFIELDS && bitCount != 16 && bitCount != 32)
        return LT_ERR_BAD_DATA;
    if (colorsUsed > 256)
        return LT_ERR_BAD_DATA;

    // Masks sit after a 40-byte header and inside the larger ones.
    size_t at = headerSize;
    uint32_t masks[4] = { 0, 0, 0, 0 };
    if (compression == BI_BITFIELDS) {
        size_t maskAt = headerSize == 40 ? at : 40;
        if (headerRoom < maskAt + 12)
            return LT_ERR_BAD_DATA;
        for (int i = 0; i < 3; ++i)
            masks[i] = U32(info + maskAt + 4 * i);
        if (headerSize >= 56)
            masks[3] = U32(info + 52);
        if (headerSize == 40)
            at += 12;
        for (uint32_t m : masks) {
            if (!ContiguousMask(m))
                return LT_ERR_BAD_DATA;
        }
    } else if (bitCount == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    }

    size_t colorCount = colorsUsed;
    if (bitCount <= 8 && colorCount == 0)
        colorCount = size_t(1) << bitCount;
    if (headerRoom != kUnbounded && (headerRoom - at) / entrySize < colorCount)
        return LT_ERR_BAD_DATA;
    std::vector<RGBQUAD> palette;
    if (bitCount <= 8) {
        palette.assign(size_t(1) << bitCount, RGBQUAD { 0, 0, 0, 0 });
        for (size_t i = 0; i < colorCount && i < palette.size(); ++i) {
            const BYTE* e = info + at + i * entrySize;
            palette[i] = RGBQUAD { e[0], e[1], e[2], 0 };
        }
    }
    at += colorCount * entrySize;
    if (bitsFollowHeader) {
        bits = info + at;
        bitsRoom = headerRoom == kUnbounded ? kUnbounded : headerRoom - at;
    }
    if (!bits)
        return LT_ERR_BAD_DATA;

    const int w = int(width);
    const int h = int(height);
    const int stride = RowBytes(w, bitCount);
    if (stride <= 0 || (bitsRoom != kUnbounded && bitsRoom / size_t(stride) < size_t(h)))
        return LT_ERR_CORRUPT;

    // Masked 16-bit pixels other than 5-5-5 and masked 32-bit pixels are
    // widened to plain colour bytes.
    const bool plain16 = bitCount == 16 && masks[0] == 0x7C00 && masks[1] == 0x03E0 && masks[2] == 0x001F;
    const bool widen = (bitCount == 16 && !plain16) || (bitCount == 32 && compression == BI_BITFIELDS);
    const int outBits = widen && bitCount == 16 ? 24 : bitCount;

    LTBITMAP out;
    int result = LtAllocateBitmap(&out, w, h, outBits);
    if (result != LT_SUCCESS)
        return result;
    if (bitCount <= 8)
        out.Palette = std::move(palette);
    out.Order = LT_ORDER_BGR;
    const Channel ch[4] = { Channel(masks[0]), Channel(masks[1]), Channel(masks[2]), Channel(masks[3]) };
    for (int y = 0; y < h; ++y) {
        const BYTE* in = bits + size_t(topDown ? y : h - 1 - y) * size_t(stride);
        BYTE* row = out.Pixels.data() + size_t(y) * size_t(out.BytesPerLine);
        if (!widen) {
            std::memcpy(row, in, size_t(stride));
            continue;
        }
        for (int x = 0; x < w; ++x) {
            uint32_t v = bitCount == 16 ? U16(in + 2 * x) : U32(in + 4 * x);
            BYTE* px = row + x * (outBits / 8);
            px[0] = ch[2].Of(v);
            px[1] = ch[1].Of(v);
            px[2] = ch[0].Of(v);
            if (outBits == 32)
                px[3] = masks[3] ? ch[3].Of(v) : 255;
        }
    }
    out.TransparentColor = bitmap.TransparentColor;
    out.Flags = BYTE((bitmap.Flags & LT_BITMAP_TRANSPARENT) | LT_BITMAP_ALLOCATED);
    bitmap = std::move(out);
    return LT_SUCCESS;
}

} // namespace
} // namespace platform::imaging

using namespace platform::imaging;

int platform::CopyFromPackedDib(LTBITMAP& bitmap, const BYTE* data, size_t size)
{
    return ReadDib(data, data ? size : 0, nullptr, 0, true, bitmap);
}

HGLOBAL LtConvertToDIB(const LTBITMAP* bitmap)
{
    if (!bitmap || !Usable(*bitmap))
        return nullptr;
    const int bits = bitmap->BitsPerPixel;
    const size_t colors = bits <= 8 ? size_t(1) << bits : 0;
    const int stride = RowBytes(bitmap->Width, bits);
    const size_t imageBytes = size_t(stride) * size_t(bitmap->Height);
    const size_t headerBytes = sizeof(BITMAPINFOHEADER) + colors * sizeof(RGBQUAD);
    HGLOBAL block = GlobalAlloc(GHND, headerBytes + imageBytes);
    BYTE* p = block ? static_cast<BYTE*>(GlobalLock(block)) : nullptr;
    if (!p) {
        if (block)
            GlobalFree(block);
        return nullptr;
    }
    BITMAPINFOHEADER header {};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = bitmap->Width;
    header.biHeight = bitmap->Height;
    header.biPlanes = 1;
    header.biBitCount = WORD(bits);
    header.biCompression = BI_RGB;
    header.biSizeImage = DWORD(imageBytes);
    std::memcpy(p, &header, sizeof header);
    for (size_t i = 0; i < colors; ++i) {
        RGBQUAD q = i < bitmap->Palette.size() ? bitmap->Palette[i] : RGBQUAD { 0, 0, 0, 0 };
        q.rgbReserved = 0;
        std::memcpy(p + sizeof header + i * sizeof(RGBQUAD), &q, sizeof q);
    }
    BYTE* out = p + headerBytes;
    const bool swap = bits >= 24 && bitmap->Order == LT_ORDER_RGB;
    const int bytesPerPixel = bits / 8;
    for (int y = 0; y < bitmap->Height; ++y) {
        const BYTE* in = bitmap->Pixels.data() + size_t(y) * size_t(bitmap->BytesPerLine);
        BYTE* row = out + size_t(bitmap->Height - 1 - y) * size_t(stride);
        std::memcpy(row, in, size_t(stride));
        if (swap) {
            for (int x = 0; x < bitmap->Width; ++x)
                std::swap(row[x * bytesPerPixel], row[x * bytesPerPixel + 2]);
        }
    }
    GlobalUnlock(block);
    return block;
}

int LtCopyFromDIB(pLTBITMAP bitmap, const BITMAPINFO* header, const BYTE* bits)
{
    if (!bitmap)
        return LT_ERR_BAD_BITMAP;
    if (!header || !bits)
        return LT_ERR_BAD_PARAM;
    return ReadDib(reinterpret_cast<const BYTE*>(header), kUnbounded, bits, kUnbounded, false, *bitmap);
}

int LtTakeOverDIB(pLTBITMAP bitmap, HGLOBAL dib)
{
    if (!bitmap) {
        GlobalFree(dib);
        return LT_ERR_BAD_BITMAP;
    }
    const BYTE* p = dib ? static_cast<const BYTE*>(GlobalLock(dib)) : nullptr;
    if (!p) {
        GlobalFree(dib);
        return LT_ERR_BAD_PARAM;
    }
    int result = platform::CopyFromPackedDib(*bitmap, p, GlobalSize(dib));
    GlobalUnlock(dib);
    GlobalFree(dib);
    return result;
}

HBITMAP LtConvertToDDB(HDC dc, const LTBITMAP* bitmap)
{
    HGLOBAL dib = LtConvertToDIB(bitmap);
    if (!dib)
        return nullptr;
    HBITMAP result = nullptr;
    if (auto* info = static_cast<const BITMAPINFO*>(GlobalLock(dib))) {
        const BYTE* bits = reinterpret_cast<const BYTE*>(info) + info->bmiHeader.biSize
            + (bitmap->BitsPerPixel <= 8 ? (size_t(1) << bitmap->BitsPerPixel) * sizeof(RGBQUAD) : 0);
        result = CreateDIBitmap(dc, &info->bmiHeader, CBM_INIT, bits, info, DIB_RGB_COLORS);
        GlobalUnlock(dib);
    }
    GlobalFree(dib);
    return result;
}
