// The black-and-white formats: MacPaint (a fixed 576 x 720 page, rows packed
// with PackBits, in the MacBinary envelope that carries a Macintosh file's
// type and that readers recognise it by), Microsoft Paint (version 2: a row
// map and each row run length coded) and GEM raster (one plane, solid,
// pattern and literal runs and repeated rows). Each takes a 1-bit raster
// whose palette holds only black and white.

#include "platform/imaging/EncodeInternal.h"

#include <algorithm>
#include <cstring>

namespace platform::imaging {
namespace {

void PutBig16(std::string& out, unsigned value)
{
    out += char((value >> 8) & 0xFF);
    out += char(value & 0xFF);
}

void PutLittle16(std::string& out, unsigned value)
{
    out += char(value & 0xFF);
    out += char((value >> 8) & 0xFF);
}

// The number of equal bytes from row[at], at most limit.
size_t RunLength(const uint8_t* row, size_t at, size_t size, size_t limit)
{
    size_t n = 1;
    while (at + n < size && n < limit && row[at + n] == row[at])
        ++n;
    return n;
}

// PackBits, as MacPaint rows use it: a count byte n of 0..127 takes the n + 1
// bytes that follow as they are, -1..-127 repeats the next byte 1 - n times.
void PackBits(const uint8_t* row, size_t size, std::string& out)
{
    size_t at = 0;
    while (at < size) {
        const size_t run = RunLength(row, at, size, 128);
        if (run >= 2) {
            out += char(int8_t(1 - int(run)));
            out += char(row[at]);
            at += run;
            continue;
        }
        size_t end = at + 1;
        while (end < size && end - at < 128 && RunLength(row, end, size, 3) < 3)
            ++end;
        out += char(end - at - 1);
        out.append(reinterpret_cast<const char*>(row + at), end - at);
        at = end;
    }
}

} // namespace

void PackRowBits(const OutputRaster& raster, int y, uint8_t* out)
{
    const int bits = raster.bits;
    const size_t width = size_t(raster.width);
    const uint8_t* in = raster.indexes.data() + size_t(y) * width;
    const size_t bytes = (width * size_t(bits) + 7) / 8;
    std::memset(out, 0, bytes);
    if (bits == 8) {
        std::memcpy(out, in, width);
        return;
    }
    const int perByte = 8 / bits;
    for (size_t x = 0; x < width; ++x) {
        const int shift = 8 - bits * (int(x % size_t(perByte)) + 1);
        out[x / size_t(perByte)] |= uint8_t(in[x] << shift);
    }
}

namespace {

// One bit a pixel, 1 for black when blackIsOne, the unused bits of the last
// byte white.
void PackRowBlackWhite(const OutputRaster& raster, int y, bool blackIsOne, uint8_t* out)
{
    const size_t width = size_t(raster.width);
    const uint8_t* in = raster.indexes.data() + size_t(y) * width;
    uint8_t whiteIndexBit[256];
    for (size_t i = 0; i < 256; ++i)
        whiteIndexBit[i] = i < raster.palette.size() && raster.palette[i][0] >= 128 ? 1 : 0;
    const size_t bytes = (width + 7) / 8;
    for (size_t b = 0; b < bytes; ++b) {
        unsigned white = 0;
        for (size_t bit = 0; bit < 8; ++bit) {
            const size_t x = b * 8 + bit;
            white = white << 1 | (x < width ? whiteIndexBit[in[x]] : 1u);
        }
        out[b] = uint8_t(blackIsOne ? ~white : white);
    }
}

// The CRC of a MacBinary II header: CCITT's polynomial from 0.
unsigned Crc16(const char* data, size_t size)
{
    unsigned crc = 0;
    for (size_t i = 0; i < size; ++i) {
        crc ^= unsigned(uint8_t(data[i])) << 8;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? ((crc << 1) ^ 0x1021) & 0xFFFF : (crc << 1) & 0xFFFF;
    }
    return crc;
}

constexpr size_t MacBinaryBytes = 128;

// A MacBinary II header for a data fork of that length, its type that of a
// MacPaint document.
void PutMacBinaryHeader(std::string& out, size_t dataLength)
{
    std::string header(MacBinaryBytes, '\0');
    const char name[] = "Picture";
    header[1] = char(sizeof name - 1);
    std::memcpy(&header[2], name, sizeof name - 1);
    std::memcpy(&header[65], "PNTGMPNT", 8);
    for (int i = 0; i < 4; ++i)
        header[83 + size_t(i)] = char((dataLength >> (24 - 8 * i)) & 0xFF);
    header[122] = char(129); // written as MacBinary II, read by readers of it
    header[123] = char(129);
    const unsigned crc = Crc16(header.data(), 124);
    header[124] = char(crc >> 8);
    header[125] = char(crc & 0xFF);
    out.replace(0, MacBinaryBytes, header);
}

} // namespace

bool WriteMacPaint(const OutputRaster& raster, std::string& out)
{
    constexpr int PageWidth = 576;
    constexpr int PageHeight = 720;
    constexpr size_t RowBytes = PageWidth / 8;
    // The envelope, filled in below, and the version 0 header: the reader's
    // own patterns, none stored.
    out.assign(MacBinaryBytes + 512, '\0');
    out.reserve(MacBinaryBytes + 512 + PageHeight * (RowBytes + 2) + 128);
    // The picture sits at the top left of the page, which is otherwise
    // white; what lies beyond the page is cut off.
    const size_t sourceBytes = (size_t(raster.width) + 7) / 8;
    std::vector<uint8_t> packed(std::max(sourceBytes, RowBytes));
    uint8_t row[RowBytes];
    for (int y = 0; y < PageHeight; ++y) {
        std::memset(row, 0, RowBytes);
        if (y < raster.height) {
            PackRowBlackWhite(raster, y, true, packed.data());
            std::memcpy(row, packed.data(), std::min(sourceBytes, RowBytes));
        }
        PackBits(row, RowBytes, out);
    }
    const size_t dataLength = out.size() - MacBinaryBytes;
    PutMacBinaryHeader(out, dataLength);
    // The fork is padded to a whole number of 128-byte blocks.
    out.resize(MacBinaryBytes + (dataLength + 127) / 128 * 128, '\0');
    return true;
}

bool WriteMsp(const OutputRaster& raster, std::string& out)
{
    if (raster.width > 0xFFFF || raster.height > 0xFFFF)
        return false;
    const size_t rowBytes = (size_t(raster.width) + 7) / 8;
    std::vector<uint8_t> row(rowBytes);
    std::string data;
    std::vector<uint16_t> lengths(size_t(raster.height));
    for (int y = 0; y < raster.height; ++y) {
        PackRowBlackWhite(raster, y, false, row.data());
        const size_t before = data.size();
        size_t at = 0;
        while (at < rowBytes) {
            const size_t run = RunLength(row.data(), at, rowBytes, 255);
            if (run >= 3) {
                data += '\0';
                data += char(run);
                data += char(row[at]);
                at += run;
                continue;
            }
            size_t end = at + 1;
            while (end < rowBytes && end - at < 255 && RunLength(row.data(), end, rowBytes, 3) < 3)
                ++end;
            data += char(end - at);
            data.append(reinterpret_cast<const char*>(row.data() + at), end - at);
            at = end;
        }
        // A row of 20000 pixels codes to at most 2500 bytes and a byte in
        // 255, well inside the map's 16 bits.
        lengths[size_t(y)] = uint16_t(data.size() - before);
    }

    const unsigned header[12] = {
        0x694C, 0x536E, // "LinS": version 2
        unsigned(raster.width), unsigned(raster.height),
        1, 1, // the bitmap's aspect
        1, 1, // the printer's
        unsigned(raster.width), unsigned(raster.height),
        0, 0, // no aspect correction
    };
    unsigned checksum = 0;
    out.clear();
    out.reserve(32 + 2 * lengths.size() + data.size());
    for (unsigned word : header) {
        PutLittle16(out, word);
        checksum ^= word;
    }
    PutLittle16(out, checksum);
    out.append(6, '\0');
    for (uint16_t length : lengths)
        PutLittle16(out, length);
    out += data;
    return true;
}

bool WriteGemImage(const OutputRaster& raster, std::string& out)
{
    if (raster.width > 0xFFFF || raster.height > 0xFFFF)
        return false;
    const size_t rowBytes = (size_t(raster.width) + 7) / 8;
    out.clear();
    PutBig16(out, 1); // version
    PutBig16(out, 8); // header words
    PutBig16(out, 1); // planes
    PutBig16(out, 1); // a pattern is one byte
    PutBig16(out, 254); // a pixel is 254 microns: 100 to the inch
    PutBig16(out, 254);
    PutBig16(out, unsigned(raster.width));
    PutBig16(out, unsigned(raster.height));

    std::vector<uint8_t> row(rowBytes);
    std::vector<uint8_t> next(rowBytes);
    int y = 0;
    if (raster.height > 0)
        PackRowBlackWhite(raster, 0, true, row.data());
    while (y < raster.height) {
        // Rows equal to this one go as one row and a repeat count.
        int repeat = 1;
        bool nextPacked = false;
        while (y + repeat < raster.height && repeat < 255) {
            PackRowBlackWhite(raster, y + repeat, true, next.data());
            if (next != row) {
                nextPacked = true;
                break;
            }
            ++repeat;
        }
        if (repeat > 1) {
            out += '\0';
            out += '\0';
            out += char(0xFF);
            out += char(repeat);
        }
        size_t at = 0;
        while (at < rowBytes) {
            const uint8_t value = row[at];
            if (value == 0x00 || value == 0xFF) {
                const size_t run = RunLength(row.data(), at, rowBytes, 127);
                out += char((value ? 0x80 : 0x00) | run);
                at += run;
                continue;
            }
            const size_t run = RunLength(row.data(), at, rowBytes, 255);
            if (run >= 3) {
                out += '\0';
                out += char(run);
                out += char(value);
                at += run;
                continue;
            }
            size_t end = at + 1;
            while (end < rowBytes && end - at < 255 && row[end] != 0x00 && row[end] != 0xFF
                && RunLength(row.data(), end, rowBytes, 3) < 3)
                ++end;
            out += char(0x80);
            out += char(end - at);
            out.append(reinterpret_cast<const char*>(row.data() + at), end - at);
            at = end;
        }
        y += repeat;
        // The row that ended the repeat is packed already.
        if (nextPacked)
            std::swap(row, next);
        else if (y < raster.height)
            PackRowBlackWhite(raster, y, true, row.data());
    }
    return true;
}

} // namespace platform::imaging
