// Photographs whose camera recorded how it was held (the EXIF orientation
// tag) load upright, as ImageMagick's -auto-orient turns the same files.

#include "platform/base/GlobalMemory.h"
#include "platform/imaging/Imaging.h"
#include "tests/imaging/PictureCheck.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

using namespace imaging_test;

namespace {

// A binary PPM as ImageMagick writes it: "P6", width, height, 255, pixels.
struct Ppm {
    int width = 0;
    int height = 0;
    std::string rgb;
};

Ppm ReadPpm(const std::string& path)
{
    Ppm ppm;
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    in >> magic >> ppm.width >> ppm.height >> maxValue;
    in.get();
    if (magic != "P6" || maxValue != 255)
        return Ppm{};
    ppm.rgb.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (ppm.rgb.size() != size_t(ppm.width) * size_t(ppm.height) * 3)
        return Ppm{};
    return ppm;
}

bool Have(const char* program)
{
    return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

} // namespace

// Eight copies of one photograph, each tagged with one of the eight
// orientations (half of them in each byte order), load from the file and
// from memory with the size and pixels of ImageMagick's upright turn of the
// same file; the file information gives that size too.
TEST(ImagingOrientation, JpegsLoadUprightLikeAutoOrient)
{
    if (!Have("exiftool") || !Have("convert") || !Have("mogrify"))
        GTEST_SKIP() << "needs exiftool and ImageMagick";
    const std::string dir = testing_support::MakeTempDir("orient");
    // Quadrants of different colours, wider than tall, so that each turn
    // and mirror of it is another picture.
    std::string script = "cd '" + dir + "' && convert -size 48x32 xc:white -fill red -draw 'rectangle 0,0 23,15'"
        " -fill lime -draw 'rectangle 24,0 47,15' -fill blue -draw 'rectangle 0,16 11,31' -quality 95 base.jpg"
        " && for n in 1 2 3 4 5 6 7 8; do cp base.jpg o$n.jpg; done && exiftool";
    for (int n = 1; n <= 8; ++n)
        script += std::string(n > 1 ? " -execute" : "") + " -ExifByteOrder=" + (n % 2 ? "II" : "MM")
            + " -Orientation=" + std::to_string(n) + " o" + std::to_string(n) + ".jpg";
    script += " -common_args -q -overwrite_original -n && mogrify -auto-orient -format ppm o?.jpg";
    ASSERT_EQ(std::system(("(" + script + ") >/dev/null 2>&1").c_str()), 0);

    for (int n = 1; n <= 8; ++n) {
        SCOPED_TRACE(n);
        const std::string path = dir + "/o" + std::to_string(n) + ".jpg";
        const Ppm want = ReadPpm(dir + "/o" + std::to_string(n) + ".ppm");
        ASSERT_GT(want.width, 0);
        EXPECT_EQ(want.width, n <= 4 ? 48 : 32);

        LTFILEINFO info;
        ASSERT_EQ(LtFileInfo(WindowsPath(path).c_str(), &info), LT_SUCCESS);
        EXPECT_EQ(info.Width, want.width);
        EXPECT_EQ(info.Height, want.height);
        LTBITMAP fromFile;
        ASSERT_EQ(LtLoadFile(WindowsPath(path).c_str(), &fromFile, 24, LT_ORDER_BGR, LT_LOAD_ALLOCATE | LT_LOAD_STORE,
                      nullptr, nullptr),
            LT_SUCCESS);
        ASSERT_EQ(fromFile.Width, want.width);
        ASSERT_EQ(fromFile.Height, want.height);
        int off = 0;
        for (int y = 0; y < want.height; ++y) {
            for (int x = 0; x < want.width; ++x) {
                auto got = RgbaAt(fromFile, x, y);
                for (int k = 0; k < 3; ++k)
                    off += std::abs(int(got[size_t(k)]) - int(uint8_t(want.rgb[(size_t(y) * want.width + x) * 3 + k]))) > 6;
            }
        }
        EXPECT_EQ(off, 0);

        const std::string bytes = ReadBytes(path);
        LTBITMAP fromMemory;
        ASSERT_EQ(LtMemLoad(bytes.data(), &fromMemory, 24, LT_ORDER_BGR, DWORD(bytes.size())), LT_SUCCESS);
        EXPECT_EQ(fromMemory.Width, fromFile.Width);
        EXPECT_EQ(fromMemory.Pixels, fromFile.Pixels);
        // Loads at other depths turn alike.
        for (int bits : {32, 8}) {
            LTBITMAP other;
            ASSERT_EQ(LtMemLoad(bytes.data(), &other, bits, LT_ORDER_RGB, DWORD(bytes.size())), LT_SUCCESS);
            EXPECT_EQ(other.Width, want.width);
            EXPECT_EQ(other.Height, want.height);
            if (bits == 32) {
                EXPECT_EQ(RgbaAt(other, 2, 2), RgbaAt(fromFile, 2, 2));
            }
        }
    }
}

// A damaged or strange EXIF block never turns a picture or stops it from
// loading: a cut directory, an orientation out of range, the tag with the
// wrong type, a directory pointing past the block.
TEST(ImagingOrientation, DamagedExifLoadsAsStored)
{
    // The smallest JPEG our writer makes, with an APP1 block put in front.
    LTBITMAP picture = Pattern(6, 4, 24);
    HGLOBAL block = NULL;
    DWORD size = 0;
    ASSERT_EQ(LtSaveToMemory(&block, &picture, LT_FORMAT_JPEG, 24, 2, &size), LT_SUCCESS);
    const std::string jpeg(static_cast<const char*>(GlobalLock(block)), size);
    GlobalUnlock(block);
    GlobalFree(block);
    auto withExif = [&](const std::string& tiff) {
        std::string app1 = "Exif" + std::string(2, '\0') + tiff;
        size_t length = app1.size() + 2;
        return jpeg.substr(0, 2) + "\xFF\xE1" + char(length >> 8) + char(length & 0xFF) + app1 + jpeg.substr(2);
    };
    // II, 42, directory at 8, one entry: tag 0x0112, type, count 1, value.
    auto entry = [](uint16_t type, uint16_t value, uint32_t count = 1) {
        std::string s("II\x2A\0\x08\0\0\0\x01\0\x12\x01", 12);
        s += char(type) + std::string(1, '\0');
        s += std::string(reinterpret_cast<const char*>(&count), 4);
        s += char(value & 0xFF) + std::string(1, char(value >> 8)) + std::string(2, '\0');
        return s + std::string(4, '\0');
    };
    const std::string cases[] = {
        entry(3, 9),                                 // no such orientation
        entry(3, 0),
        entry(4, 6),                                 // a LONG, not a SHORT
        entry(3, 6, 0),                              // no values
        entry(3, 6).substr(0, 14),                   // the directory cut short
        std::string("II\x2A\0\xFF\xFF\0\0", 8),      // a directory past the block
        std::string("XX\x2A\0\x08\0\0\0", 8),        // no byte order
        std::string("II", 2),
    };
    for (const std::string& tiff : cases) {
        const std::string bytes = withExif(tiff);
        LTBITMAP loaded;
        ASSERT_EQ(LtMemLoad(bytes.data(), &loaded, 24, LT_ORDER_BGR, DWORD(bytes.size())), LT_SUCCESS);
        EXPECT_EQ(loaded.Width, 6);
        EXPECT_EQ(loaded.Height, 4);
    }
    // The same block well formed does turn it.
    const std::string turned = withExif(entry(3, 6));
    LTBITMAP loaded;
    ASSERT_EQ(LtMemLoad(turned.data(), &loaded, 24, LT_ORDER_BGR, DWORD(turned.size())), LT_SUCCESS);
    EXPECT_EQ(loaded.Width, 4);
    EXPECT_EQ(loaded.Height, 6);
}
