#include "platform/imaging/Imaging.h"
#include "tests/imaging/PictureCheck.h"
#include "tests/support/TestData.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <cstring>
#include <map>

using namespace imaging_test;

namespace {

bool LooksReadable(const std::string& bytes)
{
    return bytes.rfind("BM", 0) == 0 || bytes.rfind("\x89PNG\r\n\x1a\n", 0) == 0 || bytes.rfind("\xFF\xD8\xFF", 0) == 0;
}

// JPEG streams that stop before their end marker are refused by design;
// these are the ones in the test data.
bool JpegCutOff(const std::string& path)
{
    for (const char* name : { "CVE-2017-2862.jpg", "bug775218.jpg", "premature-end.jpg" }) {
        if (path.find(name) != std::string::npos)
            return true;
    }
    return false;
}

std::vector<std::string> PictureFiles()
{
    std::vector<std::string> files;
    for (const char* folder : { "bmp", "jpeg", "png", "samepicture" }) {
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

std::string MakeFile(const std::string& name, const std::string& bytes)
{
    std::string path = testing_support::MakeTempDir("load") + "/" + name;
    testing_support::WriteFileBytes(path, bytes);
    return path;
}

} // namespace

// Every BMP, PNG and JPEG file of the shared test data that the decoder
// library reads comes back with its size and pixels, from the file and from
// memory alike, at the depth the file information announces; the ones it
// refuses are refused with a code.
TEST(ImagingLoad, TestDataMatchesDecoderFromFileAndMemory)
{
    REQUIRE_TESTDATA();
    int compared = 0;
    int refused = 0;
    for (const std::string& path : PictureFiles()) {
        SCOPED_TRACE(path);
        std::string bytes = ReadBytes(path);
        if (!LooksReadable(bytes))
            continue;
        LTBITMAP fromFile;
        int result = LtLoadFile(WindowsPath(path).c_str(), &fromFile, 0, LT_ORDER_BGR, LT_LOAD_ALLOCATE | LT_LOAD_STORE,
            nullptr, nullptr);
        LTBITMAP fromMemory;
        int memoryResult = LtMemLoad(bytes.data(), &fromMemory, 0, LT_ORDER_BGR, DWORD(bytes.size()));
        EXPECT_EQ(result, memoryResult);

        Reference ref = ReadReference(bytes);
        if (!ref.ok || JpegCutOff(path)) {
            EXPECT_LT(result, 0);
            EXPECT_FALSE(fromFile.Flags & LT_BITMAP_ALLOCATED);
            EXPECT_TRUE(fromFile.Pixels.empty());
            ++refused;
            continue;
        }
        ASSERT_EQ(result, LT_SUCCESS);
        LTFILEINFO info;
        ASSERT_EQ(LtFileInfo(WindowsPath(path).c_str(), &info), LT_SUCCESS);
        EXPECT_EQ(info.Width, ref.width);
        EXPECT_EQ(info.Height, ref.height);
        EXPECT_EQ(info.BitsPerPixel, fromFile.BitsPerPixel);
        EXPECT_EQ(info.FileSize, bytes.size());
        ASSERT_EQ(fromFile.Width, ref.width);
        ASSERT_EQ(fromFile.Height, ref.height);
        EXPECT_TRUE(fromFile.Flags & LT_BITMAP_ALLOCATED);

        int mismatches = 0;
        for (int y = 0; y < ref.height && mismatches < 3; ++y) {
            for (int x = 0; x < ref.width && mismatches < 3; ++x) {
                auto got = RgbaAt(fromFile, x, y);
                const uint8_t* want = &ref.rgba[(size_t(y) * ref.width + x) * 4];
                int channels = fromFile.BitsPerPixel == 32 && !BmpAlphaNotMeant(path) ? 4 : 3;
                if (std::memcmp(got.data(), want, size_t(channels)) != 0) {
                    ADD_FAILURE() << "pixel " << x << "," << y << " is " << int(got[0]) << "," << int(got[1]) << ","
                                  << int(got[2]) << "," << int(got[3]) << " not " << int(want[0]) << "," << int(want[1])
                                  << "," << int(want[2]) << "," << int(want[3]);
                    ++mismatches;
                }
            }
        }
        EXPECT_EQ(fromMemory.Pixels, fromFile.Pixels);
        EXPECT_EQ(fromMemory.Palette.size(), fromFile.Palette.size());
        ++compared;
    }
    EXPECT_GT(compared, 180);
    EXPECT_GT(refused, 20);
}

// The depth a load at 0 bits gives, as the file information reports it.
TEST(ImagingLoad, FileInfoReportsFormatSizeAndDepth)
{
    REQUIRE_TESTDATA();
    struct Case {
        const char* file;
        int format;
        int width;
        int height;
        int bits;
    };
    const Case cases[] = {
        { "bmp/src-pillowbmpsuite__pal1wb.bmp", LT_FORMAT_BMP, 127, 64, 1 },
        { "bmp/src-pillowbmpsuite__pal4.bmp", LT_FORMAT_BMP, 127, 64, 4 },
        { "bmp/src-pillowbmpsuite__pal8.bmp", LT_FORMAT_BMP, 127, 64, 8 },
        { "bmp/src-pillowbmpsuite__pal8os2v2.bmp", LT_FORMAT_BMP, 127, 64, 8 },
        { "bmp/src-pillowbmpsuite__rgb24.bmp", LT_FORMAT_BMP, 127, 64, 24 },
        { "bmp/src-pillowbmpsuite__rgb16-565.bmp", LT_FORMAT_BMP, 127, 64, 24 },
        { "bmp/src-pillowbmpsuite__rgba32.bmp", LT_FORMAT_BMP, 127, 64, 32 },
        { "png/bin-libsixel-examples__basn0g01.png", LT_FORMAT_PNG, 32, 32, 1 },
        { "png/bin-libsixel-examples__basn3p02.png", LT_FORMAT_PNG, 32, 32, 4 },
        { "png/bin-libsixel-examples__basn0g08.png", LT_FORMAT_PNG, 32, 32, 8 },
        { "png/bin-libsixel-examples__basn2c16.png", LT_FORMAT_PNG, 32, 32, 24 },
        { "png/bin-libsixel-examples__basn6a08.png", LT_FORMAT_PNG, 32, 32, 32 },
        { "jpeg/bin-gdk-pixbuf-tests__dpi.jpeg", LT_FORMAT_JPEG, 48, 48, 24 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::string path = TestData(c.file);
        std::string bytes = ReadBytes(path);
        LTFILEINFO info;
        ASSERT_EQ(LtFileInfo(WindowsPath(path).c_str(), &info), LT_SUCCESS);
        EXPECT_EQ(info.Format, c.format);
        EXPECT_EQ(info.Width, c.width);
        EXPECT_EQ(info.Height, c.height);
        EXPECT_EQ(info.BitsPerPixel, c.bits);
        LTFILEINFO memoryInfo;
        ASSERT_EQ(LtMemInfo(bytes.data(), &memoryInfo, DWORD(bytes.size()), 0), LT_SUCCESS);
        EXPECT_EQ(memoryInfo.BitsPerPixel, c.bits);
        EXPECT_EQ(memoryInfo.Format, c.format);
    }
}

TEST(ImagingLoad, MissingAndUnreadableFilesGiveTheirCodes)
{
    REQUIRE_TESTDATA();
    LTBITMAP bitmap;
    LTFILEINFO info;
    std::string folder = testing_support::MakeTempDir("missing");
    EXPECT_EQ(LtLoadFile(WindowsPath(folder + "/none.jpg").c_str(), &bitmap, 0, 1, LT_LOAD_ALLOCATE | LT_LOAD_STORE,
                  nullptr, nullptr),
        LT_ERR_NOT_FOUND);
    EXPECT_EQ(LtFileInfo(WindowsPath(folder + "/no/such/folder/x.bmp").c_str(), &info), LT_ERR_NOT_FOUND);
    EXPECT_EQ(LtFileInfo("", &info), LT_ERR_BAD_NAME);
    EXPECT_EQ(LtFileInfo(WindowsPath(MakeFile("empty.bmp", "")).c_str(), &info), LT_ERR_READ);
    EXPECT_EQ(LtFileInfo(WindowsPath(MakeFile("text.png", "just some words")).c_str(), &info), LT_ERR_FORMAT);
    // Formats the reader does not take are refused even when the decoder
    // library could read them.
    EXPECT_EQ(LtFileInfo(WindowsPath(MakeFile("tiny.ppm", std::string("P6\n1 1\n255\n\0\0\0", 14))).c_str(), &info),
        LT_ERR_FORMAT);
    EXPECT_EQ(LtMemLoad(nullptr, &bitmap, 0, 1, 10), LT_ERR_READ);
    EXPECT_EQ(LtMemLoad("BM", nullptr, 0, 1, 2), LT_ERR_BAD_BITMAP);
    EXPECT_FALSE(bitmap.Flags & LT_BITMAP_ALLOCATED);
}

TEST(ImagingLoad, DamagedAndOversizedFilesAreRefused)
{
    REQUIRE_TESTDATA();
    const std::map<std::string, int> cases = {
        { "bmp/src-pillowbmpsuite__shortfile.bmp", LT_ERR_CORRUPT },
        { "bmp/src-pillowbmpsuite__badbitcount.bmp", LT_ERR_CORRUPT },
        { "bmp/src-pillowbmpsuite__reallybig.bmp", LT_ERR_CORRUPT },
        { "jpeg/bin-gdk-pixbuf-tests__premature-end.jpg", LT_ERR_CORRUPT },
        { "jpeg/bin-gdk-pixbuf-tests__issue205.jpg", LT_ERR_TOO_LARGE }, // too large even at 1/8
        { "png/bin-libsixel-examples__xcrn0g04.png", LT_ERR_FORMAT },
    };
    for (const auto& [file, code] : cases) {
        SCOPED_TRACE(file);
        LTBITMAP bitmap;
        int result = LtLoadFile(WindowsPath(TestData(file)).c_str(), &bitmap, 0, 1, LT_LOAD_ALLOCATE | LT_LOAD_STORE,
            nullptr, nullptr);
        EXPECT_EQ(result, code);
        EXPECT_TRUE(bitmap.Pixels.empty());
    }
}

// Cutting a good file anywhere gives a code or a whole picture, never a
// crash; a cut JPEG is always refused.
TEST(ImagingLoad, TruncatedBuffersAreRefusedOrWhole)
{
    REQUIRE_TESTDATA();
    for (const char* file : { "bmp/src-pillowbmpsuite__pal4.bmp", "bmp/src-pillowbmpsuite__rgb24.bmp",
             "png/bin-libsixel-examples__basn3p08.png", "png/bin-libsixel-examples__basi6a16.png",
             "jpeg/bin-gdk-pixbuf-tests__dpi.jpeg", "jpeg/bin-librust-jpeg-decoder-dev__tower_progressive.jpg" }) {
        SCOPED_TRACE(file);
        std::string bytes = ReadBytes(TestData(file));
        ASSERT_FALSE(bytes.empty());
        bool jpeg = bytes[0] == '\xFF';
        std::vector<size_t> cuts;
        for (size_t n = 0; n < 80 && n < bytes.size(); ++n)
            cuts.push_back(n);
        for (size_t step = 1; step < 24; ++step)
            cuts.push_back(bytes.size() * step / 24);
        cuts.push_back(bytes.size() - 1);
        for (size_t n : cuts) {
            SCOPED_TRACE(n);
            LTBITMAP bitmap;
            int result = LtMemLoad(bytes.data(), &bitmap, 0, LT_ORDER_BGR, DWORD(n));
            if (result == LT_SUCCESS) {
                EXPECT_FALSE(jpeg);
                EXPECT_EQ(bitmap.Pixels.size(), size_t(bitmap.BytesPerLine) * size_t(bitmap.Height));
            } else {
                EXPECT_LT(result, 0);
                EXPECT_TRUE(bitmap.Pixels.empty());
            }
        }
    }
}

TEST(ImagingLoad, LoadsAtRequestedDepthAndOrder)
{
    REQUIRE_TESTDATA();
    std::string bytes = ReadBytes(TestData("samepicture/bin-wx3.2-examples__horse.png"));
    LTBITMAP bgr;
    ASSERT_EQ(LtMemLoad(bytes.data(), &bgr, 24, LT_ORDER_BGR, DWORD(bytes.size())), LT_SUCCESS);
    LTBITMAP rgb;
    ASSERT_EQ(LtMemLoad(bytes.data(), &rgb, 24, LT_ORDER_RGB, DWORD(bytes.size())), LT_SUCCESS);
    EXPECT_EQ(rgb.Order, LT_ORDER_RGB);
    LTBITMAP wide;
    ASSERT_EQ(LtMemLoad(bytes.data(), &wide, 32, LT_ORDER_BGR, DWORD(bytes.size())), LT_SUCCESS);
    LTBITMAP eight;
    ASSERT_EQ(LtMemLoad(bytes.data(), &eight, 8, LT_ORDER_BGR, DWORD(bytes.size())), LT_SUCCESS);
    LTBITMAP mono;
    ASSERT_EQ(LtMemLoad(bytes.data(), &mono, 1, LT_ORDER_BGR, DWORD(bytes.size())), LT_SUCCESS);
    EXPECT_EQ(eight.Palette.size(), 256u);
    EXPECT_EQ(mono.Palette.size(), 2u);
    EXPECT_EQ(eight.BytesPerLine, (bgr.Width + 3) / 4 * 4);
    EXPECT_EQ(mono.BytesPerLine, (bgr.Width + 31) / 32 * 4);

    long long eightError = 0;
    for (int y = 0; y < bgr.Height; ++y) {
        for (int x = 0; x < bgr.Width; ++x) {
            auto want = RgbaAt(bgr, x, y);
            ASSERT_EQ(RgbaAt(rgb, x, y), want);
            auto w = RgbaAt(wide, x, y);
            ASSERT_EQ(w[3], 255);
            ASSERT_TRUE(std::equal(want.begin(), want.begin() + 3, w.begin()));
            auto e = RgbaAt(eight, x, y);
            for (int c = 0; c < 3; ++c)
                eightError += std::abs(int(e[c]) - int(want[c]));
        }
    }
    // An optimised palette keeps the picture close.
    EXPECT_LT(eightError / (bgr.Width * bgr.Height * 3), 6);
    const BYTE* first = bgr.Pixels.data();
    const BYTE* swapped = rgb.Pixels.data();
    EXPECT_EQ(first[0], swapped[2]);
    EXPECT_EQ(first[2], swapped[0]);

    EXPECT_EQ(LtMemLoad(bytes.data(), &eight, 7, LT_ORDER_BGR, DWORD(bytes.size())), LT_ERR_BAD_PARAM);
    EXPECT_EQ(LtMemLoad(bytes.data(), &eight, 24, 5, DWORD(bytes.size())), LT_ERR_BAD_PARAM);
}

TEST(ImagingLoad, GreyPicturesKeepTheirLevelsAsIndexes)
{
    REQUIRE_TESTDATA();
    std::string bytes = ReadBytes(TestData("png/bin-libsixel-examples__basn0g08.png"));
    LTBITMAP grey;
    ASSERT_EQ(LtMemLoad(bytes.data(), &grey, 0, LT_ORDER_BGR, DWORD(bytes.size())), LT_SUCCESS);
    ASSERT_EQ(grey.BitsPerPixel, 8);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(grey.Palette[size_t(i)].rgbGreen, i);
    for (int x = 0; x < grey.Width; ++x)
        ASSERT_EQ(grey.Pixels[size_t(x)], RgbaAt(grey, x, 0)[0]);
}

TEST(ImagingLoad, HeaderOnlyLoadGivesSizeWithoutPixels)
{
    REQUIRE_TESTDATA();
    std::string path = WindowsPath(TestData("png/bin-libsixel-examples__basn2c08.png"));
    LTBITMAP bitmap;
    ASSERT_EQ(LtLoadFile(path.c_str(), &bitmap, 0, LT_ORDER_BGR, 0, nullptr, nullptr), LT_SUCCESS);
    EXPECT_EQ(bitmap.Width, 32);
    EXPECT_EQ(bitmap.Height, 32);
    EXPECT_EQ(bitmap.BitsPerPixel, 24);
    EXPECT_EQ(bitmap.BytesPerLine, 96);
    EXPECT_FALSE(bitmap.Flags & LT_BITMAP_ALLOCATED);
    EXPECT_TRUE(bitmap.Pixels.empty());
}
