#include "RcImages.h"

#include <algorithm>
#include <png.h>

#include <cstring>

namespace rc {
namespace {

constexpr uint32_t kMaxDimension = 8192;
constexpr size_t kInfoHeaderSize = 40;

uint32_t Get32(const std::vector<uint8_t>& b, size_t at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

uint16_t Get16(const std::vector<uint8_t>& b, size_t at)
{
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v)
{
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

bool IsPng(const std::vector<uint8_t>& file)
{
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return file.size() >= 8 && std::memcmp(file.data(), kSignature, 8) == 0;
}

bool IsBmp(const std::vector<uint8_t>& file)
{
    return file.size() >= 14 && file[0] == 'B' && file[1] == 'M';
}

size_t RowBytes(uint32_t width, uint32_t bitCount)
{
    return ((size_t(width) * bitCount + 31) / 32) * 4;
}

// A decoded picture: width x height pixels, B G R A, bottom row first.
struct Pixels {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> bgra;
    bool opaque = true;
};

Pixels DecodePng(const std::vector<uint8_t>& file)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size()))
        throw ImageError(std::string("bad PNG file: ") + image.message);
    if (image.width == 0 || image.height == 0 || image.width > kMaxDimension || image.height > kMaxDimension) {
        png_image_free(&image);
        throw ImageError("PNG picture size out of range");
    }
    image.format = PNG_FORMAT_BGRA;
    Pixels p;
    p.width = image.width;
    p.height = image.height;
    p.bgra.resize(size_t(p.width) * p.height * 4);
    // A negative stride stores the rows bottom-up, as a DIB holds them.
    auto stride = -static_cast<png_int_32>(p.width * 4);
    if (!png_image_finish_read(&image, nullptr, p.bgra.data(), stride, nullptr))
        throw ImageError(std::string("bad PNG file: ") + image.message);
    for (size_t i = 3; i < p.bgra.size(); i += 4) {
        if (p.bgra[i] != 0xFF)
            p.opaque = false;
    }
    return p;
}

std::vector<uint8_t> InfoHeader(uint32_t width, int32_t height, uint16_t bitCount, uint32_t imageSize)
{
    std::vector<uint8_t> h(kInfoHeaderSize, 0);
    Put32(h, 0, kInfoHeaderSize);
    Put32(h, 4, width);
    Put32(h, 8, static_cast<uint32_t>(height));
    Put16(h, 12, 1);
    Put16(h, 14, bitCount);
    Put32(h, 16, 0); // BI_RGB
    Put32(h, 20, imageSize);
    return h;
}

// Colour bits of decoded pixels: 24-bit when opaque, else 32-bit with alpha.
std::vector<uint8_t> ColourBits(const Pixels& p, uint16_t bitCount)
{
    size_t row = RowBytes(p.width, bitCount);
    std::vector<uint8_t> bits(row * p.height, 0);
    for (uint32_t y = 0; y < p.height; ++y) {
        for (uint32_t x = 0; x < p.width; ++x) {
            const uint8_t* src = &p.bgra[(size_t(y) * p.width + x) * 4];
            uint8_t* dst = &bits[y * row + x * (bitCount / 8)];
            std::memcpy(dst, src, bitCount / 8);
        }
    }
    return bits;
}

// A BMP file checked and without its file header. Only uncompressed
// (BI_RGB) and BI_BITFIELDS pictures with a BITMAPINFOHEADER or a later
// header are taken.
struct Dib {
    std::vector<uint8_t> bytes;
    uint32_t width = 0;
    int32_t height = 0;
    uint16_t bitCount = 0;
    size_t bitsOffset = 0; // within bytes
};

Dib ReadBmp(const std::vector<uint8_t>& file)
{
    if (file.size() < 14 + kInfoHeaderSize)
        throw ImageError("BMP file too short");
    uint32_t bitsOffset = Get32(file, 10);
    uint32_t headerSize = Get32(file, 14);
    if (headerSize < kInfoHeaderSize || headerSize > file.size() - 14)
        throw ImageError("BMP file has an unsupported header");
    Dib dib;
    dib.width = Get32(file, 18);
    dib.height = static_cast<int32_t>(Get32(file, 22));
    uint16_t planes = Get16(file, 26);
    dib.bitCount = Get16(file, 28);
    uint32_t compression = Get32(file, 30);
    uint32_t colours = Get32(file, 46);
    int64_t rows = dib.height < 0 ? -int64_t(dib.height) : int64_t(dib.height);
    if (dib.width == 0 || rows == 0 || dib.width > kMaxDimension || rows > kMaxDimension || planes != 1)
        throw ImageError("BMP picture size out of range");
    if (dib.bitCount != 1 && dib.bitCount != 4 && dib.bitCount != 8 && dib.bitCount != 16 && dib.bitCount != 24
        && dib.bitCount != 32)
        throw ImageError("BMP bit count " + std::to_string(dib.bitCount) + " not supported");
    if (compression != 0 && !(compression == 3 && (dib.bitCount == 16 || dib.bitCount == 32)))
        throw ImageError("compressed BMP files are not supported");
    if (dib.bitCount <= 8 && colours > (1u << dib.bitCount))
        throw ImageError("BMP colour table too large");
    size_t bitsSize = RowBytes(dib.width, dib.bitCount) * size_t(rows);
    if (bitsOffset < 14 + headerSize || bitsOffset > file.size() || file.size() - bitsOffset < bitsSize)
        throw ImageError("BMP file truncated");
    dib.bytes.assign(file.begin() + 14, file.begin() + bitsOffset + bitsSize);
    dib.bitsOffset = bitsOffset - 14;
    return dib;
}

std::vector<uint8_t> IconImage(const std::vector<uint8_t>& file, uint32_t& width, uint32_t& height)
{
    std::vector<uint8_t> out;
    std::vector<uint8_t> mask;
    if (IsPng(file)) {
        Pixels p = DecodePng(file);
        width = p.width;
        height = p.height;
        std::vector<uint8_t> bits = ColourBits(p, 32);
        out = InfoHeader(p.width, int32_t(p.height * 2), 32, 0);
        out.insert(out.end(), bits.begin(), bits.end());
        size_t maskRow = RowBytes(p.width, 1);
        mask.assign(maskRow * p.height, 0);
        for (uint32_t y = 0; y < p.height; ++y) {
            for (uint32_t x = 0; x < p.width; ++x) {
                if (p.bgra[(size_t(y) * p.width + x) * 4 + 3] == 0)
                    mask[y * maskRow + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
            }
        }
    } else if (IsBmp(file)) {
        Dib dib = ReadBmp(file);
        if (dib.height < 0)
            throw ImageError("top-down BMP files cannot be icons");
        width = dib.width;
        height = static_cast<uint32_t>(dib.height);
        out = dib.bytes;
        Put32(out, 8, static_cast<uint32_t>(dib.height * 2));
        mask.assign(RowBytes(dib.width, 1) * height, 0); // every pixel opaque
    } else {
        throw ImageError("not a BMP or PNG file");
    }
    out.insert(out.end(), mask.begin(), mask.end());
    return out;
}

} // namespace

std::vector<uint8_t> MakeBitmapResource(const std::vector<uint8_t>& file)
{
    if (IsPng(file)) {
        Pixels p = DecodePng(file);
        uint16_t bitCount = p.opaque ? 24 : 32;
        std::vector<uint8_t> bits = ColourBits(p, bitCount);
        std::vector<uint8_t> out = InfoHeader(p.width, int32_t(p.height), bitCount, uint32_t(bits.size()));
        out.insert(out.end(), bits.begin(), bits.end());
        return out;
    }
    if (IsBmp(file))
        return ReadBmp(file).bytes;
    throw ImageError("not a BMP or PNG file");
}

std::vector<uint8_t> MakeIconResource(const std::vector<uint8_t>& file)
{
    uint32_t width = 0;
    uint32_t height = 0;
    return IconImage(file, width, height);
}

std::vector<uint8_t> MakeCursorResource(const std::vector<uint8_t>& file, int hotX, int hotY)
{
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> image = IconImage(file, width, height);
    if (hotX < 0 || hotY < 0 || uint32_t(hotX) >= width || uint32_t(hotY) >= height)
        throw ImageError("hot spot " + std::to_string(hotX) + "," + std::to_string(hotY) + " lies outside the "
                         + std::to_string(width) + "x" + std::to_string(height) + " cursor");
    std::vector<uint8_t> out(4 + image.size(), 0);
    Put16(out, 0, static_cast<uint16_t>(hotX));
    Put16(out, 2, static_cast<uint16_t>(hotY));
    std::copy(image.begin(), image.end(), out.begin() + 4);
    return out;
}

} // namespace rc
