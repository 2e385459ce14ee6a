#include "tests/imaging/PictureCheck.h"

#include "platform/files/HostPath.h"
#include "platform/imaging/ImagingInternal.h"

#include <Magick++.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace imaging_test {

std::array<uint8_t, 4> RgbaAt(const LTBITMAP& bitmap, int x, int y)
{
    const BYTE* row = bitmap.Pixels.data() + size_t(y) * size_t(bitmap.BytesPerLine);
    auto entry = [&](unsigned i) {
        const RGBQUAD& q = bitmap.Palette.at(i);
        return std::array<uint8_t, 4> { q.rgbRed, q.rgbGreen, q.rgbBlue, 255 };
    };
    switch (bitmap.BitsPerPixel) {
    case 1:
        return entry((row[x / 8] >> (7 - x % 8)) & 1);
    case 4:
        return entry(x % 2 ? row[x / 2] & 0x0F : row[x / 2] >> 4);
    case 8:
        return entry(row[x]);
    case 16: {
        unsigned v = row[2 * x] | row[2 * x + 1] << 8;
        auto five = [](unsigned c) { return uint8_t(c << 3 | c >> 2); };
        return { five(v >> 10 & 31), five(v >> 5 & 31), five(v & 31), 255 };
    }
    default: {
        const BYTE* p = row + x * (bitmap.BitsPerPixel / 8);
        uint8_t a = bitmap.BitsPerPixel == 32 ? p[3] : 255;
        if (bitmap.Order == LT_ORDER_RGB)
            return { p[0], p[1], p[2], a };
        return { p[2], p[1], p[0], a };
    }
    }
}

std::string WindowsPath(const std::string& hostPath)
{
    return platform::WindowsPathFor(hostPath);
}

std::string TestData(const std::string& relative)
{
    return std::string(THREADWICK_TESTDATA_DIR) + "/" + relative;
}

std::string ReadBytes(const std::string& hostPath)
{
    std::ifstream in(hostPath, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

Reference ReadReference(const std::string& bytes, const char* magick)
{
    // The library starts as the imaging code starts it, with its policy.
    static bool started = [] {
        platform::imaging::EnsureLibrary();
        return true;
    }();
    (void)started;
    Reference ref;
    try {
        Magick::Blob blob(bytes.data(), bytes.size());
        Magick::Image image;
        image.quiet(true);
        if (magick)
            image.magick(magick);
        image.read(blob);
        if (image.colorSpace() == MagickCore::CMYKColorspace)
            image.colorSpace(MagickCore::sRGBColorspace);
        ref.width = int(image.columns());
        ref.height = int(image.rows());
        const size_t count = size_t(ref.width) * size_t(ref.height);
        ref.alpha = image.matte();
        ref.rgba.resize(count * 4);
        if (ref.alpha) {
            image.write(0, 0, image.columns(), image.rows(), "RGBA", Magick::CharPixel, ref.rgba.data());
        } else {
            // Without alpha the library's alpha values are undefined.
            std::vector<uint8_t> rgb(count * 3);
            image.write(0, 0, image.columns(), image.rows(), "RGB", Magick::CharPixel, rgb.data());
            for (size_t i = 0; i < count; ++i) {
                std::copy_n(&rgb[3 * i], 3, &ref.rgba[4 * i]);
                ref.rgba[4 * i + 3] = 255;
            }
        }
        ref.ok = ref.width > 0 && ref.height > 0;
    } catch (const Magick::Exception&) {
        ref.ok = false;
    }
    return ref;
}

bool BmpAlphaNotMeant(const std::string& path)
{
    for (const char* name : { "rgb32fakealpha.bmp", "rgb32bf-abgr.bmp" }) {
        if (path.find(name) != std::string::npos)
            return true;
    }
    return false;
}

LTBITMAP Pattern(int width, int height, int bitsPerPixel)
{
    LTBITMAP bitmap;
    LtAllocateBitmap(&bitmap, width, height, bitsPerPixel);
    for (size_t i = 0; i < bitmap.Palette.size(); ++i)
        bitmap.Palette[i] = RGBQUAD { BYTE(i * 37), BYTE(255 - i * 11), BYTE(i * 5 + 3), 0 };
    for (size_t i = 0; i < bitmap.Pixels.size(); ++i)
        bitmap.Pixels[i] = BYTE(i * 131 + i / 7);
    if (bitsPerPixel == 16) {
        // The top bit of a 5-5-5 pixel is unused and not kept.
        for (size_t i = 1; i < bitmap.Pixels.size(); i += 2)
            bitmap.Pixels[i] &= 0x7F;
    }
    return bitmap;
}


LTBITMAP Colours(int width, int height, std::initializer_list<COLORREF> colours, int bits,
    std::vector<uint8_t> alphas)
{
    LTBITMAP b;
    LtAllocateBitmap(&b, width, height, bits);
    size_t i = 0;
    for (COLORREF c : colours) {
        const int x = int(i % size_t(width));
        const int y = int(i / size_t(width));
        BYTE* p = b.Pixels.data() + size_t(y) * size_t(b.BytesPerLine) + size_t(x) * size_t(bits / 8);
        p[0] = GetBValue(c);
        p[1] = GetGValue(c);
        p[2] = GetRValue(c);
        if (bits == 32)
            p[3] = i < alphas.size() ? alphas[i] : 255;
        ++i;
    }
    return b;
}

} // namespace imaging_test
