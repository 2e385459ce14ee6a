#include "platform/imaging/Imaging.h"
#include "tests/imaging/PictureCheck.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <cstring>

using namespace imaging_test;

namespace {

bool IsBmp(const std::string& bytes)
{
    return bytes.rfind("BM", 0) == 0;
}

bool IsPngOrJpeg(const std::string& bytes)
{
    return bytes.rfind("\x89PNG\r\n\x1a\n", 0) == 0 || bytes.rfind("\xFF\xD8\xFF", 0) == 0;
}

std::vector<std::string> FilesIn(std::initializer_list<const char*> folders)
{
    std::vector<std::string> files;
    for (const char* folder : folders) {
        std::string dir = TestData(folder);
        if (DIR* d = opendir(dir.c_str())) {
            while (dirent* e = readdir(d)) {
                if (e->d_name[0] != '.')
                    files.push_back(dir + "/" + e->d_name);
            }
            closedir(d);
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

int LoadFile(const std::string& path, LTBITMAP& bitmap, int bitsPerPixel)
{
    return LtLoadFile(WindowsPath(path).c_str(), &bitmap, bitsPerPixel, LT_ORDER_BGR,
        LT_LOAD_ALLOCATE | LT_LOAD_STORE, nullptr, nullptr);
}

// Every byte of both records takes part, so that a memory checker sees any
// byte that was never written.
void ExpectSameRecord(const LTBITMAP& a, const LTBITMAP& b)
{
    EXPECT_EQ(a.Width, b.Width);
    EXPECT_EQ(a.Height, b.Height);
    EXPECT_EQ(a.BitsPerPixel, b.BitsPerPixel);
    EXPECT_EQ(a.BytesPerLine, b.BytesPerLine);
    EXPECT_EQ(a.Order, b.Order);
    EXPECT_EQ(a.Flags, b.Flags);
    EXPECT_EQ(a.TransparentColor, b.TransparentColor);
    ASSERT_EQ(a.Palette.size(), b.Palette.size());
    if (!a.Palette.empty()) {
        EXPECT_EQ(std::memcmp(a.Palette.data(), b.Palette.data(), a.Palette.size() * sizeof(RGBQUAD)), 0);
    }
    ASSERT_EQ(a.Pixels.size(), b.Pixels.size());
    if (!a.Pixels.empty()) {
        EXPECT_EQ(std::memcmp(a.Pixels.data(), b.Pixels.data(), a.Pixels.size()), 0);
    }
}

// How many pixels of a 32-bit record are not fully opaque.
int TranslucentPixels(const LTBITMAP& bitmap)
{
    int found = 0;
    for (int y = 0; y < bitmap.Height; ++y) {
        const BYTE* row = bitmap.Pixels.data() + size_t(y) * size_t(bitmap.BytesPerLine);
        for (int x = 0; x < bitmap.Width; ++x)
            found += row[4 * x + 3] != 255;
    }
    return found;
}

} // namespace

// A BMP loads into the same record, byte for byte, from its file and from
// memory, at its own depth and at 32 bits; run under a memory checker this
// also shows that no byte of the record is left undefined.
TEST(ImagingAlpha, EveryBmpLoadsAlikeFromFileAndMemory)
{
    REQUIRE_TESTDATA();
    int compared = 0;
    for (const std::string& path : FilesIn({ "bmp", "dib", "samepicture" })) {
        std::string bytes = ReadBytes(path);
        if (!IsBmp(bytes))
            continue;
        for (int bits : { 0, 32 }) {
            SCOPED_TRACE(path + " at " + std::to_string(bits) + " bits");
            LTBITMAP fromFile;
            LTBITMAP fromMemory;
            int result = LoadFile(path, fromFile, bits);
            ASSERT_EQ(LtMemLoad(bytes.data(), &fromMemory, bits, LT_ORDER_BGR, DWORD(bytes.size())), result);
            if (result != LT_SUCCESS)
                continue;
            ExpectSameRecord(fromFile, fromMemory);
            ++compared;
        }
    }
    EXPECT_GT(compared, 120);
}

// A picture without alpha (palette, 24-bit, plain 32-bit or bit-field BMPs
// without an alpha mask, PNG without alpha, JPEG) loads opaque at 32 bits;
// one with alpha keeps it.
TEST(ImagingAlpha, PicturesWithoutAlphaLoadOpaque)
{
    REQUIRE_TESTDATA();
    int opaque = 0;
    int translucent = 0;
    for (const std::string& path : FilesIn({ "bmp", "png", "jpeg", "samepicture" })) {
        std::string bytes = ReadBytes(path);
        if (!IsBmp(bytes) && !IsPngOrJpeg(bytes))
            continue;
        SCOPED_TRACE(path);
        LTBITMAP bitmap;
        if (LtMemLoad(bytes.data(), &bitmap, 32, LT_ORDER_BGR, DWORD(bytes.size())) != LT_SUCCESS)
            continue;
        Reference ref = ReadReference(bytes);
        ASSERT_TRUE(ref.ok);
        if (!ref.alpha || (IsBmp(bytes) && BmpAlphaNotMeant(path))) {
            EXPECT_EQ(TranslucentPixels(bitmap), 0);
            ++opaque;
            continue;
        }
        int mismatches = 0;
        for (int y = 0; y < bitmap.Height && mismatches < 3; ++y) {
            for (int x = 0; x < bitmap.Width && mismatches < 3; ++x) {
                uint8_t want = ref.rgba[(size_t(y) * size_t(ref.width) + size_t(x)) * 4 + 3];
                uint8_t got = RgbaAt(bitmap, x, y)[3];
                if (got != want) {
                    ADD_FAILURE() << "alpha at " << x << "," << y << " is " << int(got) << " not " << int(want);
                    ++mismatches;
                }
            }
        }
        translucent += TranslucentPixels(bitmap) > 0;
    }
    EXPECT_GT(opaque, 150);
    EXPECT_GT(translucent, 15);
}

// Whether a BMP has alpha is its header's word: a bit-field file with an
// alpha mask has it, one without (or a plain 32-bit file whatever its
// fourth bytes hold) has not, nor one whose alpha values are all 0.
TEST(ImagingAlpha, BmpAlphaFollowsItsHeader)
{
    REQUIRE_TESTDATA();
    struct Case {
        const char* file;
        int bits; // at a load at 0 bits
        bool translucent;
    };
    const Case cases[] = {
        { "github-haraldk_TwelveMonkeys__blauesglas_32.bmp", 32, false },
        { "github-haraldk_TwelveMonkeys__blauesglas_32_bitmask888.bmp", 32, false },
        { "github-haraldk_TwelveMonkeys__blauesglas_32_bitmask888_reversed.bmp", 32, false },
        { "src-pillowbmpsuite__rgb32.bmp", 32, false },
        { "src-pillowbmpsuite__rgb32bf-xbgr.bmp", 32, false },
        { "src-pillowbmpsuite__rgb32fakealpha.bmp", 32, false },
        { "src-pillow__rgb32bf-abgr.bmp", 32, false },
        { "src-pillowbmpsuite__rgb16-565.bmp", 24, false },
        { "src-pillowbmpsuite__pal8.bmp", 8, false },
        { "src-pillowbmpsuite__rgba32.bmp", 32, true },
        { "src-pillow__rgb32bf-rgba.bmp", 32, true },
        { "src-pillowbmpsuite__rgba16-4444.bmp", 32, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::string path = TestData(std::string("bmp/") + c.file);
        LTFILEINFO info;
        ASSERT_EQ(LtFileInfo(WindowsPath(path).c_str(), &info), LT_SUCCESS);
        EXPECT_EQ(info.BitsPerPixel, c.bits);
        LTBITMAP bitmap;
        ASSERT_EQ(LoadFile(path, bitmap, 32), LT_SUCCESS);
        EXPECT_EQ(TranslucentPixels(bitmap) > 0, c.translucent);
    }
}
