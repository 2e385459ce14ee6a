#pragma once
// Picture files that tests make for themselves: a small raster of colours
// written as a 24- or 8-bit BMP (by its documented layout), a PNG (through
// the drawing library's own writer) or a JPEG (through the imaging layer),
// and the Windows-form path the program takes for a file.

#include "platform/base/Types.h"
#include "platform/files/HostPath.h"
#include "platform/imaging/Imaging.h"
#include "tests/support/TestHome.h"

#include <cairo/cairo.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace picture_files {

struct Raster {
    Raster(int w, int h, COLORREF fill = RGB(255, 255, 255))
        : width(w)
        , height(h)
        , pixels(size_t(w) * size_t(h), fill)
    {
    }
    COLORREF& At(int x, int y) { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    COLORREF At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    void Fill(int left, int top, int right, int bottom, COLORREF colour)
    {
        for (int y = std::max(0, top); y < std::min(bottom, height); ++y) {
            for (int x = std::max(0, left); x < std::min(right, width); ++x)
                At(x, y) = colour;
        }
    }

    int width;
    int height;
    std::vector<COLORREF> pixels;
};

inline void PutU16(std::string& s, uint32_t v)
{
    s.push_back(char(v & 0xFF));
    s.push_back(char((v >> 8) & 0xFF));
}

inline void PutU32(std::string& s, uint32_t v)
{
    PutU16(s, v & 0xFFFF);
    PutU16(s, v >> 16);
}

// A bottom-up BI_RGB BMP of 24 bits, or of 8 bits with a colour table of
// the raster's colours (at most 256).
inline std::string BmpBytes(const Raster& r, int bitsPerPixel = 24)
{
    std::vector<COLORREF> table;
    if (bitsPerPixel == 8) {
        for (COLORREF c : r.pixels) {
            if (std::find(table.begin(), table.end(), c) == table.end())
                table.push_back(c);
        }
    }
    const uint32_t stride = ((uint32_t(r.width) * uint32_t(bitsPerPixel) + 31) / 32) * 4;
    const uint32_t offset = 14 + 40 + uint32_t(table.size()) * 4;
    const uint32_t imageSize = stride * uint32_t(r.height);
    std::string s = "BM";
    PutU32(s, offset + imageSize);
    PutU32(s, 0);
    PutU32(s, offset);
    PutU32(s, 40);
    PutU32(s, uint32_t(r.width));
    PutU32(s, uint32_t(r.height));
    PutU16(s, 1);
    PutU16(s, uint32_t(bitsPerPixel));
    PutU32(s, 0);
    PutU32(s, imageSize);
    PutU32(s, 2835);
    PutU32(s, 2835);
    PutU32(s, uint32_t(table.size()));
    PutU32(s, 0);
    for (COLORREF c : table) {
        s.push_back(char(GetBValue(c)));
        s.push_back(char(GetGValue(c)));
        s.push_back(char(GetRValue(c)));
        s.push_back(0);
    }
    for (int y = r.height - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < r.width; ++x) {
            const COLORREF c = r.At(x, y);
            if (bitsPerPixel == 8) {
                row.push_back(char(std::find(table.begin(), table.end(), c) - table.begin()));
            } else {
                row.push_back(char(GetBValue(c)));
                row.push_back(char(GetGValue(c)));
                row.push_back(char(GetRValue(c)));
            }
        }
        row.resize(stride, '\0');
        s += row;
    }
    return s;
}

// The file at hostPath; its Windows-form path.
inline std::string WriteBmp(const Raster& r, const std::string& hostPath, int bitsPerPixel = 24)
{
    testing_support::WriteFileBytes(hostPath, BmpBytes(r, bitsPerPixel));
    return platform::WindowsPathFor(hostPath);
}

// An opaque PNG; its Windows-form path, empty when it cannot be written.
inline std::string WritePng(const Raster& r, const std::string& hostPath)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, r.width, r.height);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < r.height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + size_t(y) * size_t(stride));
        for (int x = 0; x < r.width; ++x) {
            const COLORREF c = r.At(x, y);
            row[x] = 0xFF000000u | (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
        }
    }
    cairo_surface_mark_dirty(surface);
    const bool written = cairo_surface_write_to_png(surface, hostPath.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return written ? platform::WindowsPathFor(hostPath) : std::string();
}

// A JPEG at the best quality; its Windows-form path, empty when it cannot
// be written.
inline std::string WriteJpeg(const Raster& r, const std::string& hostPath)
{
    LTBITMAP bitmap;
    if (LtAllocateBitmap(&bitmap, r.width, r.height, 24) != LT_SUCCESS)
        return std::string();
    bitmap.Order = LT_ORDER_BGR;
    for (int y = 0; y < r.height; ++y) {
        BYTE* row = bitmap.Pixels.data() + size_t(y) * size_t(bitmap.BytesPerLine);
        for (int x = 0; x < r.width; ++x) {
            const COLORREF c = r.At(x, y);
            row[x * 3] = GetBValue(c);
            row[x * 3 + 1] = GetGValue(c);
            row[x * 3 + 2] = GetRValue(c);
        }
    }
    const std::string path = platform::WindowsPathFor(hostPath);
    const int result = LtSaveFile(path.c_str(), &bitmap, LT_FORMAT_JPEG, 24, 0);
    LtFreeBitmap(&bitmap);
    return result == LT_SUCCESS ? path : std::string();
}

// A photograph-like JPEG w x h: bands of colour with a dark corner, so that
// a turn or a mirror shows in every pixel row.
inline std::string WriteBandedPhoto(const std::string& hostPath, int w, int h)
{
    Raster r(w, h, RGB(40, 120, 200));
    r.Fill(0, 0, w, h / 3, RGB(230, 200, 40));
    r.Fill(0, h * 2 / 3, w, h, RGB(30, 160, 60));
    r.Fill(w * 3 / 4, 0, w, h / 4, RGB(20, 20, 20));
    return WriteJpeg(r, hostPath);
}

// A PNG w x h with alpha: a clear left third, a half-clear middle band and
// an opaque right part with a blue corner; its Windows-form path, empty
// when it cannot be written.
inline std::string WriteClearThirdsPng(const std::string& hostPath, int w, int h)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + size_t(y) * size_t(stride));
        for (int x = 0; x < w; ++x) {
            uint32_t pixel = y < h / 2 ? 0xFFFF8000u : 0xFF800080u;
            if (x >= w * 3 / 4 && y < h / 5)
                pixel = 0xFF0000FFu;
            if (x < w / 3)
                pixel = 0;
            else if (x < w / 2)
                pixel = 0x80400040u; // premultiplied: half-clear purple
            row[x] = pixel;
        }
    }
    cairo_surface_mark_dirty(surface);
    const bool written = cairo_surface_write_to_png(surface, hostPath.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return written ? platform::WindowsPathFor(hostPath) : std::string();
}

} // namespace picture_files
