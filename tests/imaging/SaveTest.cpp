#include "platform/base/GlobalMemory.h"
#include "platform/imaging/Imaging.h"
#include "tests/imaging/PictureCheck.h"
#include "tests/support/TestData.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

using namespace imaging_test;

namespace {

LTBITMAP Horse()
{
    std::string bytes = ReadBytes(TestData("samepicture/bin-wx3.2-examples__horse.png"));
    LTBITMAP bitmap;
    EXPECT_EQ(LtMemLoad(bytes.data(), &bitmap, 24, LT_ORDER_BGR, DWORD(bytes.size())), LT_SUCCESS);
    return bitmap;
}

// Mean difference per channel between two pictures of one size.
double MeanError(const LTBITMAP& a, const LTBITMAP& b)
{
    long long sum = 0;
    for (int y = 0; y < a.Height; ++y) {
        for (int x = 0; x < a.Width; ++x) {
            auto p = RgbaAt(a, x, y);
            auto q = RgbaAt(b, x, y);
            for (int c = 0; c < 3; ++c)
                sum += std::abs(int(p[c]) - int(q[c]));
        }
    }
    return double(sum) / (double(a.Width) * a.Height * 3);
}

bool FileExists(const std::string& path)
{
    return !ReadBytes(path).empty();
}

} // namespace

// A JPEG written and read back is the same size and close to the picture;
// the memory form is the same bytes as the file.
TEST(ImagingSave, JpegRoundTripsCloselyThroughFileAndMemory)
{
    REQUIRE_TESTDATA();
    LTBITMAP horse = Horse();
    std::string path = testing_support::MakeTempDir("save") + "/logo.jpg";
    ASSERT_EQ(LtSaveFile(WindowsPath(path).c_str(), &horse, LT_FORMAT_JPEG, 24, 10), LT_SUCCESS);
    std::string file = ReadBytes(path);
    ASSERT_GT(file.size(), 100u);
    EXPECT_EQ(file.substr(0, 3), "\xFF\xD8\xFF");

    LTFILEINFO info;
    ASSERT_EQ(LtFileInfo(WindowsPath(path).c_str(), &info), LT_SUCCESS);
    EXPECT_EQ(info.Format, LT_FORMAT_JPEG);
    EXPECT_EQ(info.BitsPerPixel, 24);
    LTBITMAP back;
    ASSERT_EQ(LtLoadFile(WindowsPath(path).c_str(), &back, 0, LT_ORDER_BGR, LT_LOAD_ALLOCATE | LT_LOAD_STORE, nullptr,
                  nullptr),
        LT_SUCCESS);
    ASSERT_EQ(back.Width, horse.Width);
    ASSERT_EQ(back.Height, horse.Height);
    EXPECT_LT(MeanError(horse, back), 3.0);

    HGLOBAL memory = nullptr;
    DWORD size = 0;
    ASSERT_EQ(LtSaveToMemory(&memory, &horse, LT_FORMAT_JPEG, 24, 10, &size), LT_SUCCESS);
    ASSERT_EQ(GlobalSize(memory), size);
    const char* bytes = static_cast<const char*>(GlobalLock(memory));
    EXPECT_EQ(std::string(bytes, size), file);
    LTBITMAP fromMemory;
    EXPECT_EQ(LtMemLoad(bytes, &fromMemory, 0, LT_ORDER_BGR, size), LT_SUCCESS);
    EXPECT_EQ(fromMemory.Pixels, back.Pixels);
    GlobalUnlock(memory);
    GlobalFree(memory);
}

// A larger quality factor gives a smaller and rougher file.
TEST(ImagingSave, QualityFactorTradesSizeForFidelity)
{
    REQUIRE_TESTDATA();
    LTBITMAP horse = Horse();
    HGLOBAL fine = nullptr;
    HGLOBAL rough = nullptr;
    DWORD fineSize = 0;
    DWORD roughSize = 0;
    ASSERT_EQ(LtSaveToMemory(&fine, &horse, LT_FORMAT_JPEG, 24, 0, &fineSize), LT_SUCCESS);
    ASSERT_EQ(LtSaveToMemory(&rough, &horse, LT_FORMAT_JPEG, 24, 80, &roughSize), LT_SUCCESS);
    EXPECT_LT(roughSize, fineSize / 2);
    LTBITMAP a;
    LTBITMAP b;
    ASSERT_EQ(LtMemLoad(GlobalLock(fine), &a, 24, LT_ORDER_BGR, fineSize), LT_SUCCESS);
    ASSERT_EQ(LtMemLoad(GlobalLock(rough), &b, 24, LT_ORDER_BGR, roughSize), LT_SUCCESS);
    EXPECT_LT(MeanError(horse, a), MeanError(horse, b));
    GlobalFree(fine);
    GlobalFree(rough);
}

// Eight bits make a grey JPEG; palette and 32-bit pictures save in colour.
TEST(ImagingSave, EightBitsWriteGreyAndAnyDepthSaves)
{
    REQUIRE_TESTDATA();
    LTBITMAP horse = Horse();
    HGLOBAL memory = nullptr;
    DWORD size = 0;
    ASSERT_EQ(LtSaveToMemory(&memory, &horse, LT_FORMAT_JPEG, 8, 10, &size), LT_SUCCESS);
    LTFILEINFO info;
    ASSERT_EQ(LtMemInfo(GlobalLock(memory), &info, size, 0), LT_SUCCESS);
    EXPECT_EQ(info.BitsPerPixel, 8);
    LTBITMAP grey;
    ASSERT_EQ(LtMemLoad(GlobalLock(memory), &grey, 0, LT_ORDER_BGR, size), LT_SUCCESS);
    GlobalFree(memory);
    long long error = 0;
    for (int y = 0; y < horse.Height; ++y) {
        for (int x = 0; x < horse.Width; ++x) {
            auto c = RgbaAt(horse, x, y);
            auto g = RgbaAt(grey, x, y);
            ASSERT_TRUE(g[0] == g[1] && g[1] == g[2]);
            error += std::abs(int(g[0]) - (c[0] * 299 + c[1] * 587 + c[2] * 114) / 1000);
        }
    }
    EXPECT_LT(error / (horse.Width * horse.Height), 6);

    for (int bits : { 1, 4, 8, 16, 32 }) {
        SCOPED_TRACE(bits);
        LTBITMAP picture = Pattern(16, 16, bits);
        ASSERT_EQ(LtSaveToMemory(&memory, &picture, LT_FORMAT_JPEG, 24, 0, &size), LT_SUCCESS);
        LTBITMAP back;
        ASSERT_EQ(LtMemLoad(GlobalLock(memory), &back, 24, LT_ORDER_BGR, size), LT_SUCCESS);
        EXPECT_EQ(back.Width, 16);
        GlobalFree(memory);
    }
}

namespace {

// The JFIF header and the frame's components of a JPEG: version, units,
// density, and each component's sampling factors as h * 16 + v.
struct JpegLayout {
    std::string jfif; // the APP0 segment's bytes after its length
    std::vector<int> sampling;
};

JpegLayout LayoutOf(const std::string& file)
{
    JpegLayout layout;
    size_t i = 2;
    while (i + 4 <= file.size() && uint8_t(file[i]) == 0xFF) {
        const uint8_t marker = uint8_t(file[i + 1]);
        const size_t length = size_t(uint8_t(file[i + 2])) << 8 | uint8_t(file[i + 3]);
        if (length < 2 || i + 2 + length > file.size())
            break;
        if (marker == 0xE0)
            layout.jfif = file.substr(i + 4, length - 2);
        if (marker == 0xC0 || marker == 0xC1) {
            const size_t count = uint8_t(file[i + 9]);
            for (size_t c = 0; c < count && i + 11 + 3 * c < file.size(); ++c)
                layout.sampling.push_back(uint8_t(file[i + 11 + 3 * c]));
            break;
        }
        i += 2 + length;
    }
    return layout;
}

std::string SavedJpeg(const LTBITMAP& picture, int bits, int qualityFactor)
{
    HGLOBAL memory = nullptr;
    DWORD size = 0;
    EXPECT_EQ(LtSaveToMemory(&memory, &picture, LT_FORMAT_JPEG, bits, qualityFactor, &size), LT_SUCCESS);
    if (memory == nullptr)
        return {};
    std::string bytes(static_cast<const char*>(GlobalLock(memory)), size);
    GlobalUnlock(memory);
    GlobalFree(memory);
    return bytes;
}

} // namespace

// The file keeps the form stored designs have: a JFIF 1.01 header without
// units at 1:1, full chroma from quality 90 (factor 10) up and halved
// chroma below, grey as one component; the same picture gives the same bytes.
TEST(ImagingSave, JpegFilesKeepTheirHeaderAndChromaByQuality)
{
    REQUIRE_TESTDATA();
    LTBITMAP horse = Horse();
    const std::string jfif("JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 14);
    const std::string fine = SavedJpeg(horse, 24, 10);
    EXPECT_EQ(LayoutOf(fine).jfif, jfif);
    EXPECT_EQ(LayoutOf(fine).sampling, (std::vector<int>{0x11, 0x11, 0x11}));
    EXPECT_EQ(LayoutOf(SavedJpeg(horse, 24, 0)).sampling, (std::vector<int>{0x11, 0x11, 0x11}));
    const std::string rough = SavedJpeg(horse, 24, 11);
    EXPECT_EQ(LayoutOf(rough).jfif, jfif);
    EXPECT_EQ(LayoutOf(rough).sampling, (std::vector<int>{0x22, 0x11, 0x11}));
    EXPECT_EQ(LayoutOf(SavedJpeg(horse, 8, 10)).sampling, (std::vector<int>{0x11}));
    EXPECT_EQ(SavedJpeg(horse, 24, 10), fine);

    // Odd sizes, a single pixel and a single row.
    for (const auto& [cx, cy] : {std::pair{1, 1}, std::pair{17, 3}, std::pair{301, 1}}) {
        SCOPED_TRACE(cx);
        LTBITMAP picture = Pattern(cx, cy, 24);
        const std::string bytes = SavedJpeg(picture, 24, 10);
        LTBITMAP back;
        ASSERT_EQ(LtMemLoad(bytes.data(), &back, 24, LT_ORDER_BGR, DWORD(bytes.size())), LT_SUCCESS);
        EXPECT_EQ(back.Width, cx);
        EXPECT_EQ(back.Height, cy);
    }
}

// A refused save leaves no file and no memory block behind.
TEST(ImagingSave, RefusedSavesLeaveNothingBehind)
{
    REQUIRE_TESTDATA();
    LTBITMAP horse = Horse();
    std::string folder = testing_support::MakeTempDir("refused");
    std::string path = folder + "/out.jpg";
    EXPECT_EQ(LtSaveFile(WindowsPath(path).c_str(), &horse, LT_FORMAT_JPEG, 16, 10), LT_ERR_BITS_FOR_FORMAT);
    EXPECT_EQ(LtSaveFile(WindowsPath(path).c_str(), &horse, LT_FORMAT_PCD, 24, 0), LT_ERR_FORMAT);
    EXPECT_EQ(LtSaveFile(WindowsPath(path).c_str(), &horse, LT_FORMAT_WPG, 24, 0), LT_ERR_BITS_FOR_FORMAT);
    EXPECT_FALSE(FileExists(path));
    EXPECT_EQ(LtSaveFile(WindowsPath(folder + "/none/out.jpg").c_str(), &horse, LT_FORMAT_JPEG, 24, 10), LT_ERR_WRITE);
    EXPECT_EQ(LtSaveFile("", &horse, LT_FORMAT_JPEG, 24, 10), LT_ERR_BAD_NAME);

    LTBITMAP empty;
    size_t blocks = platform::GlobalBlockCount();
    HGLOBAL memory = reinterpret_cast<HGLOBAL>(1);
    DWORD size = 99;
    EXPECT_EQ(LtSaveToMemory(&memory, &empty, LT_FORMAT_JPEG, 24, 10, &size), LT_ERR_BAD_BITMAP);
    EXPECT_EQ(memory, nullptr);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(LtSaveToMemory(nullptr, &horse, LT_FORMAT_JPEG, 24, 10, &size), LT_ERR_BAD_PARAM);
    EXPECT_EQ(platform::GlobalBlockCount(), blocks);
    LtFreeBitmap(&horse);
    EXPECT_EQ(LtSaveFile(WindowsPath(path).c_str(), &horse, LT_FORMAT_JPEG, 24, 10), LT_ERR_BAD_BITMAP);
    EXPECT_FALSE(FileExists(path));
}
