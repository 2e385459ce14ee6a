// Pictures larger than the library takes: a photograph over the limits is
// read at a reduced scale by the JPEG decoder itself, while any other file
// over them is refused with its own code rather than as memory running out.

#include "platform/imaging/Imaging.h"
#include "tests/imaging/PictureCheck.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include <jpeglib.h>

using namespace imaging_test;

namespace {

std::string MakeFile(const std::string& name, const std::string& bytes)
{
    std::string path = testing_support::MakeTempDir("large") + "/" + name;
    testing_support::WriteFileBytes(path, bytes);
    return path;
}

// A grey baseline JPEG of the size given: the left half black, the right
// half white, so that a reduced reading can be checked where it falls.
std::string GreyJpeg(int width, int height)
{
    jpeg_compress_struct info {};
    jpeg_error_mgr errors {};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 1;
    info.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 50, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(size_t(width), 0);
    for (int x = width / 2; x < width; ++x)
        row[size_t(x)] = 255;
    JSAMPROW rows[1] = { row.data() };
    while (info.next_scanline < info.image_height)
        jpeg_write_scanlines(&info, rows, 1);
    jpeg_finish_compress(&info);
    std::string bytes(reinterpret_cast<const char*>(buffer), size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

std::string Be32(uint32_t n)
{
    return std::string { char(n >> 24), char(n >> 16), char(n >> 8), char(n) };
}

std::string Le32(uint32_t n)
{
    return std::string { char(n), char(n >> 8), char(n >> 16), char(n >> 24) };
}

uint32_t Crc32(const std::string& bytes)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : bytes) {
        crc ^= c;
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A PNG whose header asks for the size given; nothing past the header is
// read when the size is refused.
std::string PngHeaderOnly(uint32_t width, uint32_t height)
{
    const std::string body = "IHDR" + Be32(width) + Be32(height) + std::string("\x08\x00\x00\x00\x00", 5);
    return std::string("\x89PNG\r\n\x1a\n", 8) + Be32(13) + body + Be32(Crc32(body)) + Be32(0) + "IDAT"
        + Be32(Crc32("IDAT")) + Be32(0) + "IEND" + Be32(Crc32("IEND"));
}

// A whole 24-bit BMP of width x 1, white.
std::string WideBmp(uint32_t width)
{
    const uint32_t row = (width * 3 + 3) / 4 * 4;
    std::string bytes = "BM" + Le32(54 + row) + Le32(0) + Le32(54);
    bytes += Le32(40) + Le32(width) + Le32(1) + std::string("\x01\x00\x18\x00", 4) + Le32(0) + Le32(row)
        + Le32(2835) + Le32(2835) + Le32(0) + Le32(0);
    return bytes + std::string(row, '\xFF');
}

int Load(const std::string& path, LTBITMAP& bitmap)
{
    return LtLoadFile(WindowsPath(path).c_str(), &bitmap, 0, LT_ORDER_BGR, LT_LOAD_ALLOCATE | LT_LOAD_STORE, nullptr,
        nullptr);
}

} // namespace

TEST(ImagingLarge, AJpegOverTheLimitsLoadsAtTheLargestReducedScaleThatFits)
{
    const struct {
        int width;
        int height;
        int scaledWidth;
        int scaledHeight;
    } cases[] = {
        { 8000, 8000, 4000, 4000 },          // 64 megapixels: half
        { LT_MAX_SIDE + 8, 16, (LT_MAX_SIDE + 8) / 2, 8 }, // one side over: half
        { 640, 480, 640, 480 },              // within the limits: as it is
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        const std::string path = MakeFile("photo.jpg", GreyJpeg(c.width, c.height));
        LTFILEINFO info;
        ASSERT_EQ(LtFileInfo(WindowsPath(path).c_str(), &info), LT_SUCCESS);
        EXPECT_EQ(info.Format, LT_FORMAT_JPEG);
        EXPECT_EQ(info.Width, c.scaledWidth);
        EXPECT_EQ(info.Height, c.scaledHeight);

        LTBITMAP bitmap;
        ASSERT_EQ(Load(path, bitmap), LT_SUCCESS);
        ASSERT_EQ(bitmap.Width, c.scaledWidth);
        ASSERT_EQ(bitmap.Height, c.scaledHeight);
        EXPECT_EQ(bitmap.BitsPerPixel, 8);
        // The halves are where they were: the whole picture, only smaller.
        const BYTE* middle = bitmap.Pixels.data() + size_t(bitmap.Height / 2) * size_t(bitmap.BytesPerLine);
        EXPECT_LT(middle[bitmap.Width / 4], 32);
        EXPECT_GT(middle[bitmap.Width * 3 / 4], 223);
    }
}

TEST(ImagingLarge, OtherFilesOverTheLimitsSayTheyAreTooLarge)
{
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        { "tall.png", PngHeaderOnly(1, LT_MAX_SIDE + 1) },
        { "huge.png", PngHeaderOnly(10000, 10000) },
        { "wide.bmp", WideBmp(LT_MAX_SIDE + 1) },
        { "tall.gif", std::string("GIF89a\x01\x00\x21\x4E\x00\x00\x00;", 14) }, // 1 x 20001
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = MakeFile(c.name, c.bytes);
        LTFILEINFO info;
        EXPECT_EQ(LtFileInfo(WindowsPath(path).c_str(), &info), LT_ERR_TOO_LARGE);
        LTBITMAP bitmap;
        EXPECT_EQ(Load(path, bitmap), LT_ERR_TOO_LARGE);
        EXPECT_TRUE(bitmap.Pixels.empty());
        EXPECT_EQ(LtMemLoad(c.bytes.data(), &bitmap, 0, LT_ORDER_BGR, DWORD(c.bytes.size())), LT_ERR_TOO_LARGE);
    }
}
