// A Windows metafile of a picture: the placeable header (the picture's frame
// at 96 units to the inch), the metafile header, the window's origin and
// extent, and one StretchDIBits record that draws the picture as a
// device-independent bitmap of 1, 4, 8 or 24 bits over the frame.

#include "platform/imaging/EncodeInternal.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace platform::imaging {
namespace {

constexpr unsigned MetaSetWindowOrg = 0x020B;
constexpr unsigned MetaSetWindowExt = 0x020C;
constexpr unsigned MetaSetStretchBltMode = 0x0107;
constexpr unsigned MetaStretchDib = 0x0F43;
constexpr uint32_t SourceCopy = 0x00CC0020;
constexpr unsigned ColourOnColour = 3;

void Put16(std::string& out, unsigned value)
{
    out += char(value & 0xFF);
    out += char((value >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void PutSimpleRecord(std::string& out, unsigned function, std::initializer_list<unsigned> words)
{
    Put32(out, uint32_t(3 + words.size()));
    Put16(out, function);
    for (unsigned word : words)
        Put16(out, word);
}

// The metafile of a picture of that size and depth (1, 4, 8 or 24 bits), its
// palette's entries as R, G, B, A, and its rows as the DIB stores them.
template <class FillRow>
bool WriteWmfOf(int width, int height, int bits, const std::vector<std::array<uint8_t, 4>>& palette,
    FillRow fillRow, std::string& out)
{
    if (width > 0x7FFF || height > 0x7FFF)
        return false;
    const uint64_t stride = (uint64_t(width) * uint64_t(bits) + 31) / 32 * 4;
    const uint64_t imageBytes = stride * uint64_t(height);
    const uint64_t colours = bits <= 8 ? palette.size() : 0;
    const uint64_t dibBytes = 40 + 4 * colours + imageBytes;
    // The record's size is counted in 16-bit words in 32 bits; so is the file's.
    const uint64_t recordWords = 3 + 11 + dibBytes / 2;
    const uint64_t fileWords = 9 + 5 + 5 + 4 + recordWords + 3;
    if (fileWords > 0xFFFFFFFFu)
        return false;

    out.clear();
    out.reserve(size_t(22 + 2 * fileWords));
    // The placeable header: its key, no handle, the frame, units per inch,
    // and the check word, the XOR of the ten words before it.
    const unsigned placeable[10] = { 0xCDD7, 0x9AC6, 0, 0, 0, unsigned(width), unsigned(height), 96, 0, 0 };
    unsigned check = 0;
    for (unsigned word : placeable) {
        Put16(out, word);
        check ^= word;
    }
    Put16(out, check);

    Put16(out, 1); // the usual type, files' too
    Put16(out, 9); // header words
    Put16(out, 0x0300);
    Put32(out, uint32_t(fileWords));
    Put16(out, 0); // no objects
    Put32(out, uint32_t(recordWords));
    Put16(out, 0);

    PutSimpleRecord(out, MetaSetWindowOrg, { 0, 0 });
    PutSimpleRecord(out, MetaSetWindowExt, { unsigned(height), unsigned(width) });
    PutSimpleRecord(out, MetaSetStretchBltMode, { ColourOnColour });

    Put32(out, uint32_t(recordWords));
    Put16(out, MetaStretchDib);
    Put32(out, SourceCopy);
    Put16(out, 0); // the colours are RGB values
    Put16(out, unsigned(height));
    Put16(out, unsigned(width));
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, unsigned(height));
    Put16(out, unsigned(width));
    Put16(out, 0);
    Put16(out, 0);

    // BITMAPINFOHEADER: rows from the bottom, no compression.
    Put32(out, 40);
    Put32(out, uint32_t(width));
    Put32(out, uint32_t(height));
    Put16(out, 1);
    Put16(out, unsigned(bits));
    Put32(out, 0);
    Put32(out, uint32_t(imageBytes));
    Put32(out, 3780); // 96 to the inch
    Put32(out, 3780);
    Put32(out, uint32_t(colours));
    Put32(out, 0);
    for (uint64_t i = 0; i < colours; ++i) {
        const auto& entry = palette[size_t(i)];
        out += char(entry[2]);
        out += char(entry[1]);
        out += char(entry[0]);
        out += '\0';
    }
    const size_t rowAt = out.size();
    out.resize(rowAt + size_t(imageBytes), '\0');
    for (int y = 0; y < height; ++y)
        fillRow(y, reinterpret_cast<uint8_t*>(&out[rowAt + size_t(height - 1 - y) * size_t(stride)]));
    PutSimpleRecord(out, 0x0000, {}); // the end
    return true;
}

} // namespace

bool WriteWmf(const OutputRaster& raster, std::string& out)
{
    if (raster.bits == 32)
        return false;
    return WriteWmfOf(raster.width, raster.height, raster.bits, raster.palette, [&](int y, uint8_t* row) {
        if (raster.Indexed()) {
            PackRowBits(raster, y, row);
            return;
        }
        const uint8_t* in = raster.rgba.data() + size_t(y) * size_t(raster.width) * 4;
        for (int x = 0; x < raster.width; ++x, in += 4, row += 3) {
            row[0] = in[2];
            row[1] = in[1];
            row[2] = in[0];
        }
    }, out);
}

bool WriteWmf24(const LTBITMAP& bitmap, std::string& out)
{
    if (bitmap.BitsPerPixel != 24 || bitmap.Order != LT_ORDER_BGR)
        return false;
    const size_t bytes = size_t(bitmap.Width) * 3;
    return WriteWmfOf(bitmap.Width, bitmap.Height, 24, {}, [&](int y, uint8_t* row) {
        std::memcpy(row, &bitmap.Pixels[size_t(y) * size_t(bitmap.BytesPerLine)], bytes);
    }, out);
}

} // namespace platform::imaging
