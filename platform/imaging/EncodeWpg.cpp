// WordPerfect graphics (the first level of the format): the 16-byte file
// header, then records of a type byte and a length: the start of the
// picture, its colour map, one bitmap of 1, 4 or 8 bits with its rows run
// length coded, and the end. Values are little-endian.

#include "platform/imaging/EncodeInternal.h"

#include <algorithm>
#include <cstdint>

namespace platform::imaging {
namespace {

constexpr int StartRecord = 0x0F;
constexpr int ColourMapRecord = 0x0E;
constexpr int BitmapRecord = 0x0B;
constexpr int EndRecord = 0x10;

void Put16(std::string& out, unsigned value)
{
    out += char(value & 0xFF);
    out += char((value >> 8) & 0xFF);
}

// A record's length: one byte below 255, else 255 and a word, whose top
// bit says that a second word of the low half follows (31 bits in all).
bool PutRecord(std::string& out, int type, const std::string& body)
{
    const size_t length = body.size();
    if (length > 0x7FFFFFFFu)
        return false;
    out += char(type);
    if (length < 0xFF) {
        out += char(length);
    } else if (length < 0x8000) {
        out += char(0xFF);
        Put16(out, unsigned(length));
    } else {
        out += char(0xFF);
        Put16(out, unsigned(length >> 16) | 0x8000u);
        Put16(out, unsigned(length & 0xFFFF));
    }
    out += body;
    return true;
}

// A row's bytes: a byte with its top bit set and a count of 1..127 repeats
// the next byte that often; a count of 1..127 without it takes that many
// bytes as they are. (The forms with a count of 0 are not used.)
void CodeRow(const uint8_t* row, size_t size, std::string& out)
{
    size_t at = 0;
    auto runAt = [&](size_t from) {
        size_t n = 1;
        while (from + n < size && n < 127 && row[from + n] == row[from])
            ++n;
        return n;
    };
    while (at < size) {
        const size_t run = runAt(at);
        if (run >= 3) {
            out += char(0x80 | run);
            out += char(row[at]);
            at += run;
            continue;
        }
        size_t end = at + 1;
        while (end < size && end - at < 127 && runAt(end) < 3)
            ++end;
        out += char(end - at);
        out.append(reinterpret_cast<const char*>(row + at), end - at);
        at = end;
    }
}

} // namespace

bool WriteWpg(const OutputRaster& raster, std::string& out)
{
    if (!raster.Indexed() || raster.width > 0xFFFF || raster.height > 0xFFFF)
        return false;
    out.clear();
    out += char(0xFF);
    out += "WPC";
    out += char(16); // the records start after the header
    out.append(3, '\0');
    out += char(1);    // made by WordPerfect
    out += char(0x16); // a graphics file
    out += char(1);    // version 1.0
    out += char(0);
    Put16(out, 0); // not encrypted
    Put16(out, 0);

    // The picture's size in the format's units of 1/1200 inch, at 96 pixels
    // to the inch, or smaller when a side would not fit a word.
    const int longest = std::max(raster.width, raster.height);
    const double unitsPerPixel = std::min(12.5, 65535.0 / longest);
    std::string start;
    start += char(1); // version
    start += char(0); // flags
    Put16(start, unsigned(raster.width * unitsPerPixel));
    Put16(start, unsigned(raster.height * unitsPerPixel));
    if (!PutRecord(out, StartRecord, start))
        return false;

    std::string colours;
    Put16(colours, 0);
    Put16(colours, unsigned(raster.palette.size()));
    for (const auto& entry : raster.palette) {
        colours += char(entry[0]);
        colours += char(entry[1]);
        colours += char(entry[2]);
    }
    if (!PutRecord(out, ColourMapRecord, colours))
        return false;

    std::string bitmap;
    Put16(bitmap, unsigned(raster.width));
    Put16(bitmap, unsigned(raster.height));
    Put16(bitmap, unsigned(raster.bits));
    Put16(bitmap, 96);
    Put16(bitmap, 96);
    const size_t rowBytes = (size_t(raster.width) * size_t(raster.bits) + 7) / 8;
    bitmap.reserve(10 + size_t(raster.height) * (rowBytes + rowBytes / 64 + 2));
    std::vector<uint8_t> row(rowBytes);
    for (int y = 0; y < raster.height; ++y) {
        PackRowBits(raster, y, row.data());
        CodeRow(row.data(), rowBytes, bitmap);
    }
    if (!PutRecord(out, BitmapRecord, bitmap))
        return false;
    return PutRecord(out, EndRecord, std::string());
}

} // namespace platform::imaging
