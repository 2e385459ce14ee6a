#pragma once
// Pictures for the content tests: small 24-bit BMP files written by the
// test into its own folder, named in Windows form for the program.

#include "tests/support/TestHome.h"

#include "pictures/Image.h"
#include "platform/base/String.h"

#include <cstdint>
#include <string>

namespace contenttest {

// A BMP file of width x height pixels of one colour (r, g, b).
inline std::string BmpBytes(int width, int height, uint8_t r = 200, uint8_t g = 40, uint8_t b = 10)
{
    const int stride = (width * 3 + 3) & ~3;
    const uint32_t imageSize = static_cast<uint32_t>(stride * height);
    std::string out;
    auto put16 = [&](uint32_t v) {
        out += static_cast<char>(v & 0xFF);
        out += static_cast<char>((v >> 8) & 0xFF);
    };
    auto put32 = [&](uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    out += "BM";
    put32(54 + imageSize);
    put32(0);
    put32(54);
    put32(40);
    put32(static_cast<uint32_t>(width));
    put32(static_cast<uint32_t>(height));
    put16(1);
    put16(24);
    put32(0);
    put32(imageSize);
    put32(2835);
    put32(2835);
    put32(0);
    put32(0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            out += static_cast<char>(b);
            out += static_cast<char>(g);
            out += static_cast<char>(r);
        }
        out.append(static_cast<size_t>(stride - width * 3), '\0');
    }
    return out;
}

// The Windows form of a Linux path (drive C: is the root).
inline CString WindowsPath(const std::string& linuxPath)
{
    std::string path = "C:" + linuxPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return CString(path.c_str());
}

// Writes a BMP into a folder of its own under the test home; answers its
// Windows-form path.
inline CString WriteBmp(const std::string& name, int width, int height)
{
    const std::string dir = testing_support::MakeTempDir("content");
    const std::string path = dir + "/" + name;
    testing_support::WriteFileBytes(path, BmpBytes(width, height));
    return WindowsPath(path);
}

// A picture opened from a new BMP of that size.
inline CImage* NewLoadedPicture(int width = 40, int height = 30)
{
    return new CImage(WriteBmp("picture.bmp", width, height), CImage::kDefaultLoadMode);
}

} // namespace contenttest
