// Readers of the black-and-white formats: MacPaint (raw or in its MacBinary
// envelope), Microsoft Paint (versions 1 and 2) and GEM raster of one plane.
// The decoder library reads none of them (its MacPaint reader takes every
// file for one in an envelope and so reads raw files 128 bytes off). Every
// count is checked against the bytes there are and the rows the header
// declares; a row that would run past its end is damage.

#include "platform/imaging/Decoders.h"

#include <algorithm>
#include <cstring>

namespace platform::imaging {
namespace {

uint16_t Little16(const BYTE* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

uint16_t Big16(const BYTE* p)
{
    return uint16_t(p[0] << 8 | p[1]);
}

struct BilevelPicture {
    int width = 0;
    int height = 0;
};

// A 1-bit record (index 0 black, 1 white) of the decoded rows, each
// (width + 7) / 8 bytes with 1 for white, then at the depth asked for.
int Finish(int width, int height, const std::vector<uint8_t>& rows, int bitsPerPixel, int order, LTBITMAP& bitmap)
{
    LTBITMAP decoded;
    int result = LtAllocateBitmap(&decoded, width, height, 1);
    if (result != LT_SUCCESS)
        return result;
    const size_t rowBytes = (size_t(width) + 7) / 8;
    for (int y = 0; y < height; ++y)
        std::memcpy(&decoded.Pixels[size_t(y) * size_t(decoded.BytesPerLine)], &rows[size_t(y) * rowBytes], rowBytes);
    if (bitsPerPixel != 0 && bitsPerPixel != 1) {
        result = ConvertDepth(decoded, bitsPerPixel, order);
        if (result != LT_SUCCESS)
            return result;
    }
    decoded.Order = order;
    bitmap = std::move(decoded);
    return LT_SUCCESS;
}

// ---- MacPaint -------------------------------------------------------------------------------

constexpr int MacPaintWidth = 576;
constexpr int MacPaintHeight = 720;
constexpr size_t MacBinaryBytes = 128;
constexpr size_t MacPaintHeaderBytes = 512;

uint32_t Big32(const BYTE* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

bool InMacBinary(const BYTE* data, size_t size)
{
    return size > MacBinaryBytes + MacPaintHeaderBytes && data[0] == 0 && data[1] >= 1 && data[1] <= 63
        && std::memcmp(data + 65, "PNTG", 4) == 0;
}

// The page's rows, PackBits coded one after another (a run may go on into
// the next row, as some writers let it).
int MacPaintRows(const BYTE* data, size_t size, std::vector<uint8_t>& rows)
{
    size_t at = 0;
    size_t end = size;
    if (InMacBinary(data, size)) {
        at = MacBinaryBytes;
        const size_t fork = Big32(data + 83);
        if (fork > MacPaintHeaderBytes && fork <= size - MacBinaryBytes)
            end = MacBinaryBytes + fork;
    }
    if (end - at <= MacPaintHeaderBytes)
        return LT_ERR_CORRUPT;
    at += MacPaintHeaderBytes;
    const size_t total = size_t(MacPaintWidth / 8) * MacPaintHeight;
    rows.assign(total, 0);
    size_t filled = 0;
    while (filled < total) {
        if (at >= end)
            return LT_ERR_CORRUPT;
        const int count = int8_t(data[at++]);
        if (count >= 0) {
            const size_t n = std::min(size_t(count) + 1, total - filled);
            if (end - at < size_t(count) + 1)
                return LT_ERR_CORRUPT;
            std::memcpy(&rows[filled], data + at, n);
            at += size_t(count) + 1;
            filled += n;
        } else if (count != -128) {
            if (at >= end)
                return LT_ERR_CORRUPT;
            const size_t n = std::min(size_t(1 - count), total - filled);
            std::memset(&rows[filled], data[at++], n);
            filled += n;
        }
    }
    // The format's 1 is black.
    for (uint8_t& b : rows)
        b = uint8_t(~b);
    return LT_SUCCESS;
}

// ---- Microsoft Paint ----------------------------------------------------------------------

constexpr size_t MspHeaderBytes = 32;

int MspVersion(const BYTE* data, size_t size)
{
    if (size < MspHeaderBytes)
        return 0;
    if (std::memcmp(data, "DanM", 4) == 0)
        return 1;
    if (std::memcmp(data, "LinS", 4) == 0)
        return 2;
    return 0;
}

int MspHeader(const BYTE* data, size_t size, BilevelPicture& picture)
{
    if (MspVersion(data, size) == 0)
        return LT_ERR_FORMAT;
    picture.width = Little16(data + 4);
    picture.height = Little16(data + 6);
    if (picture.width == 0 || picture.height == 0)
        return LT_ERR_BAD_DATA;
    if (!SizeAllowed(picture.width, picture.height))
        return LT_ERR_TOO_LARGE;
    return LT_SUCCESS;
}

// The rows with 1 for white, as the format stores them.
int MspRows(const BYTE* data, size_t size, const BilevelPicture& picture, std::vector<uint8_t>& rows)
{
    const size_t rowBytes = (size_t(picture.width) + 7) / 8;
    const size_t height = size_t(picture.height);
    if (MspVersion(data, size) == 1) {
        if (size - MspHeaderBytes < rowBytes * height)
            return LT_ERR_CORRUPT;
        rows.assign(data + MspHeaderBytes, data + MspHeaderBytes + rowBytes * height);
        return LT_SUCCESS;
    }
    // Version 2: a map of each row's coded length, then the rows. A row
    // that codes short is white to its end.
    if (size - MspHeaderBytes < 2 * height)
        return LT_ERR_CORRUPT;
    rows.assign(rowBytes * height, 0xFF);
    const BYTE* map = data + MspHeaderBytes;
    size_t at = MspHeaderBytes + 2 * height;
    for (size_t y = 0; y < height; ++y) {
        const size_t length = Little16(map + 2 * y);
        if (length > size - at)
            return LT_ERR_CORRUPT;
        const BYTE* in = data + at;
        const BYTE* end = in + length;
        uint8_t* out = rows.data() + y * rowBytes;
        size_t filled = 0;
        while (in < end) {
            const size_t type = *in++;
            if (type == 0) {
                if (end - in < 2)
                    return LT_ERR_CORRUPT;
                const size_t count = in[0];
                if (count > rowBytes - filled)
                    return LT_ERR_CORRUPT;
                std::memset(out + filled, in[1], count);
                filled += count;
                in += 2;
            } else {
                if (size_t(end - in) < type || type > rowBytes - filled)
                    return LT_ERR_CORRUPT;
                std::memcpy(out + filled, in, type);
                filled += type;
                in += type;
            }
        }
        at += length;
    }
    return LT_SUCCESS;
}

// ---- GEM raster ------------------------------------------------------------------------------

constexpr size_t GemHeaderBytes = 16;
constexpr unsigned GemMaxPattern = 8;

struct GemHeader {
    size_t dataAt = 0;
    unsigned planes = 0;
    unsigned patternBytes = 0;
};

bool ReadGemHeader(const BYTE* data, size_t size, GemHeader& header, BilevelPicture& picture)
{
    if (size < GemHeaderBytes)
        return false;
    const unsigned version = Big16(data);
    const size_t words = Big16(data + 2);
    header.planes = Big16(data + 4);
    header.patternBytes = Big16(data + 6);
    picture.width = Big16(data + 12);
    picture.height = Big16(data + 14);
    header.dataAt = words * 2;
    return (version == 1 || version == 2) && words >= 8 && header.dataAt < size && header.planes >= 1
        && header.planes <= 8 && header.patternBytes >= 1 && header.patternBytes <= GemMaxPattern
        && Big16(data + 8) != 0 && Big16(data + 10) != 0 && picture.width > 0 && picture.height > 0;
}

// The rows with 1 for white (the format's 1 is black).
int GemRows(const BYTE* data, size_t size, const GemHeader& header, const BilevelPicture& picture,
    std::vector<uint8_t>& rows)
{
    const size_t rowBytes = (size_t(picture.width) + 7) / 8;
    const size_t height = size_t(picture.height);
    rows.assign(rowBytes * height, 0);
    size_t at = header.dataAt;
    size_t y = 0;
    std::vector<uint8_t> line(rowBytes);
    while (y < height) {
        // A row may come with the number of times it is repeated.
        size_t repeat = 1;
        if (size - at >= 4 && data[at] == 0 && data[at + 1] == 0 && data[at + 2] == 0xFF) {
            repeat = std::max<size_t>(data[at + 3], 1);
            at += 4;
        }
        size_t filled = 0;
        while (filled < rowBytes) {
            if (at >= size)
                return LT_ERR_CORRUPT;
            const unsigned code = data[at++];
            if (code == 0x00) {
                if (at >= size)
                    return LT_ERR_CORRUPT;
                const size_t count = data[at++];
                const size_t pattern = header.patternBytes;
                if (count == 0 || size - at < pattern || count * pattern > rowBytes - filled)
                    return LT_ERR_CORRUPT;
                for (size_t i = 0; i < count; ++i, filled += pattern)
                    std::memcpy(&line[filled], data + at, pattern);
                at += pattern;
            } else if (code == 0x80) {
                if (at >= size)
                    return LT_ERR_CORRUPT;
                const size_t count = data[at++];
                if (size - at < count || count > rowBytes - filled)
                    return LT_ERR_CORRUPT;
                std::memcpy(&line[filled], data + at, count);
                filled += count;
                at += count;
            } else {
                const size_t count = code & 0x7F;
                if (count > rowBytes - filled)
                    return LT_ERR_CORRUPT;
                std::memset(&line[filled], (code & 0x80) ? 0xFF : 0x00, count);
                filled += count;
            }
        }
        for (size_t i = 0; i < repeat && y < height; ++i, ++y) {
            uint8_t* out = rows.data() + y * rowBytes;
            for (size_t b = 0; b < rowBytes; ++b)
                out[b] = uint8_t(~line[b]);
        }
    }
    return LT_SUCCESS;
}

int GemHeaderChecked(const BYTE* data, size_t size, GemHeader& header, BilevelPicture& picture)
{
    if (!ReadGemHeader(data, size, header, picture))
        return LT_ERR_FORMAT;
    if (header.planes != 1)
        return LT_ERR_SUBTYPE; // colour planes: their palettes are not standard
    if (!SizeAllowed(picture.width, picture.height))
        return LT_ERR_TOO_LARGE;
    return LT_SUCCESS;
}

void FillInfo(int format, const BilevelPicture& picture, size_t size, LTFILEINFO& info)
{
    info = LTFILEINFO {};
    info.Format = format;
    info.Width = picture.width;
    info.Height = picture.height;
    info.BitsPerPixel = 1;
    info.Order = LT_ORDER_BGR;
    info.FileSize = DWORD(size);
}

} // namespace

bool IsMsp(const BYTE* data, size_t size)
{
    return MspVersion(data, size) != 0;
}

bool GemHeaderSound(const BYTE* data, size_t size)
{
    GemHeader header;
    BilevelPicture picture;
    return ReadGemHeader(data, size, header, picture);
}

namespace {

// The picture's size and its rows with 1 for white.
int ReadBilevel(int format, const BYTE* data, size_t size, BilevelPicture& picture, std::vector<uint8_t>& rows)
{
    if (format == LT_FORMAT_MAC) {
        picture.width = MacPaintWidth;
        picture.height = MacPaintHeight;
        return MacPaintRows(data, size, rows);
    }
    if (format == LT_FORMAT_MSP) {
        const int result = MspHeader(data, size, picture);
        return result == LT_SUCCESS ? MspRows(data, size, picture, rows) : result;
    }
    if (format == LT_FORMAT_IMG) {
        GemHeader header;
        const int result = GemHeaderChecked(data, size, header, picture);
        return result == LT_SUCCESS ? GemRows(data, size, header, picture, rows) : result;
    }
    return LT_ERR_FORMAT;
}

} // namespace

int BilevelInfo(int format, const BYTE* data, size_t size, LTFILEINFO& info)
{
    // The rows are decoded too, so that a file whose facts are given loads.
    BilevelPicture picture;
    std::vector<uint8_t> rows;
    try {
        const int result = ReadBilevel(format, data, size, picture, rows);
        if (result != LT_SUCCESS)
            return result;
    } catch (const std::bad_alloc&) {
        return LT_ERR_NO_MEMORY;
    }
    FillInfo(format, picture, size, info);
    return LT_SUCCESS;
}

int BilevelDecode(int format, const BYTE* data, size_t size, int bitsPerPixel, int order, LTBITMAP& bitmap)
{
    BilevelPicture picture;
    std::vector<uint8_t> rows;
    try {
        const int result = ReadBilevel(format, data, size, picture, rows);
        if (result != LT_SUCCESS)
            return result;
        return Finish(picture.width, picture.height, rows, bitsPerPixel, order, bitmap);
    } catch (const std::bad_alloc&) {
        return LT_ERR_NO_MEMORY;
    }
}

} // namespace platform::imaging
