#include "tests/ui/ClipboardPictureSupport.h"

#include "platform/base/GlobalMemory.h"
#include "platform/gdi/Gdi.h"
#include "tests/support/TestHome.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace cliptest {

namespace {

// The header of a top-down 32-bit DIB of width x height, rows of B, G, R, x.
BITMAPINFO TopDownInfo32(int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

} // namespace

Rgb Pattern(int width, int height)
{
    Rgb p{width, height, std::vector<unsigned char>(size_t(width) * size_t(height) * 3)};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            unsigned char* px = p.bytes.data() + (size_t(y) * size_t(width) + size_t(x)) * 3;
            px[0] = static_cast<unsigned char>(x * 7 + y * 3);
            px[1] = static_cast<unsigned char>(x * 13 + 200 - y * 5);
            px[2] = static_cast<unsigned char>(y * 11 + x);
        }
    }
    return p;
}

HBITMAP BitmapOf(const Rgb& picture)
{
    std::vector<unsigned char> bgrx(size_t(picture.width) * size_t(picture.height) * 4);
    for (size_t i = 0; i < size_t(picture.width) * size_t(picture.height); ++i) {
        bgrx[i * 4] = picture.bytes[i * 3 + 2];
        bgrx[i * 4 + 1] = picture.bytes[i * 3 + 1];
        bgrx[i * 4 + 2] = picture.bytes[i * 3];
    }
    BITMAPINFO info = TopDownInfo32(picture.width, picture.height);
    return CreateDIBitmap(NULL, &info.bmiHeader, CBM_INIT, bgrx.data(), &info, DIB_RGB_COLORS);
}

HGLOBAL PackedDibOf(HBITMAP bitmap)
{
    BITMAP bm{};
    if (!GetObject(bitmap, sizeof bm, &bm))
        return NULL;
    const size_t stride = (size_t(bm.bmWidth) * 3 + 3) & ~size_t(3);
    HGLOBAL block = GlobalAlloc(GHND, sizeof(BITMAPINFOHEADER) + stride * size_t(bm.bmHeight));
    auto* p = static_cast<BYTE*>(GlobalLock(block));
    auto* header = reinterpret_cast<BITMAPINFO*>(p);
    header->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header->bmiHeader.biWidth = bm.bmWidth;
    header->bmiHeader.biHeight = bm.bmHeight;
    header->bmiHeader.biPlanes = 1;
    header->bmiHeader.biBitCount = 24;
    header->bmiHeader.biCompression = BI_RGB;
    HDC dc = CreateCompatibleDC(NULL);
    GetDIBits(dc, bitmap, 0, UINT(bm.bmHeight), p + sizeof(BITMAPINFOHEADER), header, DIB_RGB_COLORS);
    DeleteDC(dc);
    GlobalUnlock(block);
    return block;
}

Rgb RgbOfBitmap(HBITMAP bitmap)
{
    BITMAP bm{};
    if (!bitmap || !GetObject(bitmap, sizeof bm, &bm))
        return Rgb{};
    BITMAPINFO info = TopDownInfo32(bm.bmWidth, bm.bmHeight);
    std::vector<unsigned char> bgrx(size_t(bm.bmWidth) * size_t(bm.bmHeight) * 4);
    HDC dc = CreateCompatibleDC(NULL);
    GetDIBits(dc, bitmap, 0, UINT(bm.bmHeight), bgrx.data(), &info, DIB_RGB_COLORS);
    DeleteDC(dc);
    Rgb out{bm.bmWidth, bm.bmHeight, std::vector<unsigned char>(size_t(bm.bmWidth) * size_t(bm.bmHeight) * 3)};
    for (size_t i = 0; i < size_t(bm.bmWidth) * size_t(bm.bmHeight); ++i) {
        out.bytes[i * 3] = bgrx[i * 4 + 2];
        out.bytes[i * 3 + 1] = bgrx[i * 4 + 1];
        out.bytes[i * 3 + 2] = bgrx[i * 4];
    }
    return out;
}

Rgb RgbOfDib(HGLOBAL dib)
{
    if (!dib)
        return Rgb{};
    const auto* p = static_cast<const BYTE*>(GlobalLock(dib));
    BITMAPINFOHEADER h;
    std::memcpy(&h, p, sizeof h);
    const int bits = h.biBitCount;
    const int width = h.biWidth;
    const int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    const size_t colors = bits <= 8 ? (h.biClrUsed ? h.biClrUsed : 1u << bits) : 0;
    const BYTE* table = p + h.biSize;
    const BYTE* pixels = table + colors * 4;
    const size_t stride = (size_t(width) * size_t(bits) + 31) / 32 * 4;
    Rgb out{width, height, std::vector<unsigned char>(size_t(width) * size_t(height) * 3)};
    for (int y = 0; y < height; ++y) {
        const BYTE* row = pixels + stride * size_t(h.biHeight < 0 ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            unsigned char* px = out.bytes.data() + (size_t(y) * size_t(width) + size_t(x)) * 3;
            const BYTE* bgr = nullptr;
            if (bits >= 24) {
                bgr = row + size_t(x) * size_t(bits / 8);
            } else {
                const int perByte = 8 / bits;
                const int shift = (perByte - 1 - x % perByte) * bits;
                const unsigned index = (row[x / perByte] >> shift) & ((1u << bits) - 1);
                bgr = table + index * 4;
            }
            px[0] = bgr[2];
            px[1] = bgr[1];
            px[2] = bgr[0];
        }
    }
    GlobalUnlock(dib);
    return out;
}

int MaxDifference(const Rgb& a, const Rgb& b)
{
    if (a.width != b.width || a.height != b.height || a.bytes.size() != b.bytes.size())
        return 1000;
    int most = 0;
    for (size_t i = 0; i < a.bytes.size(); ++i)
        most = std::max(most, std::abs(int(a.bytes[i]) - int(b.bytes[i])));
    return most;
}

namespace {

// The next number of a PPM header, past white space and comment lines.
int HeaderNumber(FILE* in)
{
    int c = std::fgetc(in);
    for (;;) {
        if (c == '#') {
            while (c != EOF && c != '\n')
                c = std::fgetc(in);
        } else if (c == ' ' || c == '\n' || c == '\r' || c == '\t') {
            c = std::fgetc(in);
        } else {
            break;
        }
    }
    int value = -1;
    while (c >= '0' && c <= '9' && value < 100000) {
        value = (value < 0 ? 0 : value * 10) + (c - '0');
        c = std::fgetc(in);
    }
    return value; // the one white-space byte after it is consumed
}

} // namespace

Rgb MagickRgb(const std::string& path)
{
    const std::string command
        = "convert '" + path + "[0]' -background white -alpha remove -alpha off -depth 8 ppm:- 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return Rgb{};
    Rgb out;
    if (std::fgetc(pipe) == 'P' && std::fgetc(pipe) == '6') {
        out.width = HeaderNumber(pipe);
        out.height = HeaderNumber(pipe);
        const int maxValue = HeaderNumber(pipe);
        if (out.width > 0 && out.height > 0 && maxValue == 255) {
            out.bytes.resize(size_t(out.width) * size_t(out.height) * 3);
            if (std::fread(out.bytes.data(), 1, out.bytes.size(), pipe) != out.bytes.size())
                out = Rgb{};
        } else {
            out = Rgb{};
        }
    }
    pclose(pipe);
    return out;
}

std::string WriteTemp(const std::vector<unsigned char>& bytes, const std::string& name)
{
    static const std::string folder = testing_support::MakeTempDir("clipboard");
    const std::string path = folder + "/" + name;
    testing_support::WriteFileBytes(path, std::string(bytes.begin(), bytes.end()));
    return path;
}

} // namespace cliptest
