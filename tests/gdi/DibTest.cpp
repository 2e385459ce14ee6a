// Device-independent bitmaps: real BMP files of every depth and header kind
// read as packed DIBs and compared with ImageMagick's reading when it is
// installed; damaged headers refused; GetDIBits (query and data forms),
// SetDIBits, CreateDIBitmap, SetDIBitsToDevice and StretchDIBits.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/PixelBuffer.h"
#include "platform/gdi/internal/Dib.h"
#include "platform/gdi/internal/GdiObjects.h"
#include "tests/gdi/DrawTestSupport.h"
#include "tests/support/TestData.h"
#include "tests/support/TestHome.h"

#include <cairo/cairo.h> // the tests get no pkg-config include path
#include <gtest/gtest.h>

#include <bit>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>

namespace {

using gditest::MemoryCanvas;

std::string BmpDir()
{
    return std::string(THREADWICK_TESTDATA_DIR) + "/bmp/";
}

std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::string s = testing_support::ReadFileBytes(path);
    return std::vector<uint8_t>(s.begin(), s.end());
}

// A BMP file's pixels as this module reads them: the header and table as a
// packed DIB, the bits where the file header says.
bool DecodeBmpFile(const std::vector<uint8_t>& file, platform::PixelBuffer& out)
{
    if (file.size() < 14 || file[0] != 'B' || file[1] != 'M')
        return false;
    size_t offBits = file[10] | (file[11] << 8) | (size_t(file[12]) << 16) | (size_t(file[13]) << 24);
    platform::DibFormat f;
    if (!platform::ReadDibFormat(file.data() + 14, file.size() - 14, platform::DibLayout::Packed, DIB_RGB_COLORS,
            nullptr, f)
        || offBits > file.size() || !out.Allocate(f.width, f.height))
        return false;
    size_t bitsSize = file.size() - offBits;
    if (!f.Compressed() && bitsSize < platform::DibBitsSize(f, f.height))
        return false;
    return platform::DecodeDib(f, file.data() + offBits, bitsSize, 0, f.height, out);
}

// Only the real ImageMagick will do; a stand-in named convert may be there.
bool HaveImageMagick()
{
    FILE* pipe = popen("convert -version 2> /dev/null", "r");
    if (!pipe)
        return false;
    char text[256] = {};
    size_t n = fread(text, 1, sizeof text - 1, pipe);
    pclose(pipe);
    return n > 0 && std::strstr(text, "ImageMagick") != nullptr;
}

// ImageMagick's reading as top-down 8-bit RGB, alpha ignored.
bool ReadWithImageMagick(const std::string& path, size_t pixels, std::vector<uint8_t>& rgb)
{
    std::string command = "convert '" + path + "' -alpha off -depth 8 rgb:- 2> /dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return false;
    rgb.assign(pixels * 3 + 1, 0);
    size_t n = fread(rgb.data(), 1, rgb.size(), pipe);
    pclose(pipe);
    return n == pixels * 3;
}

// Files this reader refuses on purpose: damaged headers and bits, depths
// and compressions that Windows never had.
const std::set<std::string> kRefused = {
    "bin-gdk-pixbuf-tests__bug775242.bmp",      // height past the limits
    "bin-gdk-pixbuf-tests__bug776694.bmp",      // RLE4 with an impossible depth
    "bin-gdk-pixbuf-tests__invalid.1.bmp",      // garbage compression
    "github-haraldk_TwelveMonkeys__corrupted-bmp.bmp",
    "github-haraldk_TwelveMonkeys__24bitpalette.bmp", // a table of 2^24 colours it does not hold
    "src-pillowbmpsuite__badbitcount.bmp",
    "src-pillowbmpsuite__badpalettesize.bmp",   // more colours than the file holds
    "src-pillowbmpsuite__badplanes.bmp",
    "src-pillowbmpsuite__pal2.bmp",             // 2 bits a pixel
    "src-pillowbmpsuite__reallybig.bmp",
    "src-pillowbmpsuite__rgb24jpeg.bmp",
    "src-pillowbmpsuite__rgb24png.bmp",
    "src-pillowbmpsuite__shortfile.bmp",
};

TEST(DibTest, ReadsEveryGoodBmpFileAndRefusesTheDamagedOnes)
{
    REQUIRE_TESTDATA();
    bool magick = HaveImageMagick();
    int compared = 0;
    for (const auto& entry : std::filesystem::directory_iterator(BmpDir())) {
        std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".png")
            continue;
        std::vector<uint8_t> file = ReadBytes(entry.path().string());
        platform::PixelBuffer ours;
        bool ok = DecodeBmpFile(file, ours);
        if (kRefused.count(name)) {
            EXPECT_FALSE(ok) << name;
            continue;
        }
        ASSERT_TRUE(ok) << name;
        // The same bytes as a packed DIB, when the bits follow the table.
        platform::DibFormat f;
        const uint8_t* bits = nullptr;
        size_t bitsSize = 0;
        bool packed = platform::ReadPackedDib(file.data() + 14, file.size() - 14, f, bits, bitsSize);
        size_t offBits = file[10] | (file[11] << 8) | (size_t(file[12]) << 16);
        // One file leaves a gap between table and bits, which only a file can.
        if (packed && name != "src-pillowbmpsuite__pal8offs.bmp") {
            EXPECT_EQ(offBits, size_t(bits - file.data())) << name;
        }

        // Where readers legitimately differ, only our own decoding is checked
        // (above, and against the suite's reference pictures below): pixels
        // that run-length skips or bad indexes leave unwritten, channels of
        // fewer than 5 bits (we widen 0xF to 0xFF, the other reader to 0xF0),
        // and the questionable OS/2 variant.
        bool narrowChannel = false;
        for (int c = 0; c < 3; ++c)
            narrowChannel |= f.masks[c] != 0 && std::popcount(f.masks[c]) < 5;
        if (!packed || f.Compressed() || narrowChannel || name == "src-pillowbmpsuite__pal8badindex.bmp"
            || name == "src-pillowbmpsuite__pal8os2v2.bmp")
            continue;
        std::vector<uint8_t> theirs;
        if (!magick || !ReadWithImageMagick(entry.path().string(), ours.pixels.size(), theirs))
            continue;
        ++compared;
        // 16-bit channels widen to 8 bits by rounding that may differ by one.
        int tolerance = f.bitCount == 16 ? 2 : 0;
        int mismatches = 0;
        for (size_t i = 0; i < ours.pixels.size() && mismatches < 3; ++i) {
            uint32_t p = ours.pixels[i];
            int dr = std::abs(int((p >> 16) & 0xFF) - theirs[3 * i]);
            int dg = std::abs(int((p >> 8) & 0xFF) - theirs[3 * i + 1]);
            int db = std::abs(int(p & 0xFF) - theirs[3 * i + 2]);
            if (dr > tolerance || dg > tolerance || db > tolerance) {
                ++mismatches;
                ADD_FAILURE() << name << " pixel " << i % size_t(ours.width) << "," << i / size_t(ours.width) << " ours "
                              << std::hex << p << " theirs " << int(theirs[3 * i]) << " " << int(theirs[3 * i + 1])
                              << " " << int(theirs[3 * i + 2]);
            }
        }
    }
    if (magick) {
        EXPECT_GT(compared, 40);
    }
}

// The suite's own reference pictures (PNG, read by Cairo) of the same BMP
// files: every opaque reference pixel must match.
TEST(DibTest, MatchesTheReferencePicturesOfTheSameFiles)
{
    REQUIRE_TESTDATA();
    const std::string prefix = "src-pillowbmpsuite-refs__";
    int compared = 0;
    for (const auto& entry : std::filesystem::directory_iterator(BmpDir())) {
        std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) != 0)
            continue;
        std::string stem = name.substr(prefix.size(), name.size() - prefix.size() - 4);
        std::string bmp = BmpDir() + "src-pillowbmpsuite__" + stem + ".bmp";
        if (!std::filesystem::exists(bmp))
            continue;
        platform::PixelBuffer ours;
        if (!DecodeBmpFile(ReadBytes(bmp), ours))
            continue; // refused on purpose (pal2), checked above
        cairo_surface_t* ref = cairo_image_surface_create_from_png(entry.path().c_str());
        ASSERT_EQ(CAIRO_STATUS_SUCCESS, cairo_surface_status(ref)) << name;
        ASSERT_EQ(ours.width, cairo_image_surface_get_width(ref)) << name;
        ASSERT_EQ(ours.height, cairo_image_surface_get_height(ref)) << name;
        const unsigned char* data = cairo_image_surface_get_data(ref);
        int stride = cairo_image_surface_get_stride(ref);
        bool hasAlpha = cairo_image_surface_get_format(ref) == CAIRO_FORMAT_ARGB32;
        // The references round some palette colours by one; 16-bit channels
        // widen to 8 bits by rounding that may differ by one more.
        int tolerance = stem.rfind("rgb", 0) == 0 && stem.find("16") != std::string::npos ? 2 : 1;
        int mismatches = 0;
        for (int y = 0; y < ours.height && mismatches < 3; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
            for (int x = 0; x < ours.width && mismatches < 3; ++x) {
                uint32_t r = row[x];
                if (hasAlpha && (r >> 24) != 0xFF)
                    continue;
                uint32_t o = ours.Row(y)[x];
                for (int shift = 0; shift <= 16; shift += 8)
                    if (std::abs(int((o >> shift) & 0xFF) - int((r >> shift) & 0xFF)) > tolerance) {
                        ++mismatches;
                        ADD_FAILURE() << stem << " at " << x << "," << y << std::hex << " ours " << o << " ref " << r;
                        break;
                    }
            }
        }
        cairo_surface_destroy(ref);
        ++compared;
    }
    EXPECT_GE(compared, 12);
}

} // namespace

namespace {

// A BITMAPINFO with room for a 256-entry table or masks.
struct Info {
    BITMAPINFOHEADER header{};
    RGBQUAD colors[256] = {};

    Info(int width, int height, int bitCount, DWORD compression = BI_RGB)
    {
        header.biSize = sizeof(BITMAPINFOHEADER);
        header.biWidth = width;
        header.biHeight = height;
        header.biPlanes = 1;
        header.biBitCount = WORD(bitCount);
        header.biCompression = compression;
    }
    const BITMAPINFO* Get() const { return reinterpret_cast<const BITMAPINFO*>(this); }
    BITMAPINFO* Get() { return reinterpret_cast<BITMAPINFO*>(this); }
};

bool Accepts(const void* data, size_t size)
{
    platform::DibFormat f;
    const uint8_t* bits;
    size_t n;
    return platform::ReadPackedDib(data, size, f, bits, n);
}

TEST(DibTest, DamagedHeadersAreRefusedBeforeAnythingIsRead)
{
    // 2 x 2 at 8 bpp: header, 256 colours, two rows of 4 bytes.
    std::vector<uint8_t> good(40 + 1024 + 8, 0);
    Info info(2, 2, 8);
    std::memcpy(good.data(), &info.header, 40);
    ASSERT_TRUE(Accepts(good.data(), good.size()));

    auto with = [&](auto change) {
        std::vector<uint8_t> bytes = good;
        auto* h = reinterpret_cast<BITMAPINFOHEADER*>(bytes.data());
        change(*h, bytes);
        return Accepts(bytes.data(), bytes.size());
    };
    EXPECT_FALSE(with([](BITMAPINFOHEADER& h, auto&) { h.biSize = 41; }));
    EXPECT_FALSE(with([](BITMAPINFOHEADER& h, auto&) { h.biSize = 0xFFFFFFF0; }));
    EXPECT_FALSE(with([](BITMAPINFOHEADER& h, auto&) { h.biWidth = 0; }));
    EXPECT_FALSE(with([](BITMAPINFOHEADER& h, auto&) { h.biWidth = -2; }));
    EXPECT_FALSE(with([](BITMAPINFOHEADER& h, auto&) { h.biHeight = int32_t(0x80000000); }));
    EXPECT_FALSE(with([](BITMAPINFOHEADER& h, auto&) { h.biWidth = 1 << 20; }));
    EXPECT_FALSE(with([](BITMAPINFOHEADER& h, auto&) { h.biPlanes = 2; }));
    EXPECT_FALSE(with([](BITMAPINFOHEADER& h, auto&) { h.biBitCount = 7; }));
    EXPECT_FALSE(with([](BITMAPINFOHEADER& h, auto&) { h.biCompression = BI_JPEG; }));
    EXPECT_FALSE(with([](BITMAPINFOHEADER& h, auto&) { h.biCompression = BI_RLE4; }));
    EXPECT_FALSE(with([](BITMAPINFOHEADER& h, auto&) { h.biCompression = BI_BITFIELDS; }));
    EXPECT_FALSE(with([](BITMAPINFOHEADER& h, auto&) { h.biClrUsed = 0x40000000; }));
    EXPECT_FALSE(with([](BITMAPINFOHEADER& h, auto&) { h.biClrUsed = 257; })); // the bits no longer fit
    EXPECT_FALSE(with([](BITMAPINFOHEADER& h, auto&) { h.biHeight = 3; }));   // one row short
    EXPECT_FALSE(with([](BITMAPINFOHEADER&, auto& b) { b.resize(30); }));   // header cut off
    // Fewer colours used: the bits move up and the rest of the table is gone.
    EXPECT_TRUE(with([](BITMAPINFOHEADER& h, auto& b) {
        h.biClrUsed = 2;
        b.resize(40 + 8 + 8);
    }));
    EXPECT_TRUE(with([](BITMAPINFOHEADER& h, auto&) { h.biHeight = -2; }));
}

TEST(DibTest, CoreHeadersBitfieldsTopDownAndRleDecode)
{
    // 12-byte header with a 3-byte-per-entry table, 1 bpp.
    std::vector<uint8_t> core = {12, 0, 0, 0, 2, 0, 2, 0, 1, 0, 1, 0, 0, 0, 255, /* red */ 255, 0, 0 /* blue */};
    core.insert(core.end(), {0x80, 0, 0, 0, 0x40, 0, 0, 0});
    platform::DibFormat f;
    const uint8_t* bits;
    size_t n;
    ASSERT_TRUE(platform::ReadPackedDib(core.data(), core.size(), f, bits, n));
    platform::PixelBuffer px;
    ASSERT_TRUE(px.Allocate(2, 2));
    ASSERT_TRUE(platform::DecodeDib(f, bits, n, 0, 2, px));
    // Bottom-up: the first row is the bottom one.
    EXPECT_EQ(0xFF0000u, px.Row(0)[0]);
    EXPECT_EQ(0x0000FFu, px.Row(0)[1]);
    EXPECT_EQ(0x0000FFu, px.Row(1)[0]);
    EXPECT_EQ(0xFF0000u, px.Row(1)[1]);

    // 5-6-5 bit fields after a 40-byte header, top-down.
    Info info(2, -1, 16, BI_BITFIELDS);
    std::vector<uint8_t> packed(40 + 12 + 4);
    std::memcpy(packed.data(), &info.header, 40);
    const uint32_t masks[3] = {0xF800, 0x07E0, 0x001F};
    std::memcpy(packed.data() + 40, masks, 12);
    const uint16_t row[2] = {0xF800, 0x07FF};
    std::memcpy(packed.data() + 52, row, 4);
    ASSERT_TRUE(platform::ReadPackedDib(packed.data(), packed.size(), f, bits, n));
    ASSERT_TRUE(px.Allocate(2, 1));
    ASSERT_TRUE(platform::DecodeDib(f, bits, n, 0, 1, px));
    EXPECT_EQ(0xFF0000u, px.Row(0)[0]);
    EXPECT_EQ(0x00FFFFu, px.Row(0)[1]);

    // RLE8: a run, a literal, end of line, a delta, end of bitmap; runs past
    // the row end and a delta past the image are dropped, not written.
    Info rle(4, 3, 8, BI_RLE8);
    rle.header.biClrUsed = 3;
    std::vector<uint8_t> stream = {2, 1, 0, 3, 2, 1, 2, 0, 0, 0, 9, 2, 0, 0, 0, 2, 2, 0, 1, 1, 0, 2, 0, 9, 0, 1};
    rle.header.biSizeImage = DWORD(stream.size());
    std::vector<uint8_t> rlePacked(40 + 12);
    std::memcpy(rlePacked.data(), &rle.header, 40);
    const uint8_t table[12] = {0, 0, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0}; // black, red, blue
    std::memcpy(rlePacked.data() + 40, table, 12);
    rlePacked.insert(rlePacked.end(), stream.begin(), stream.end());
    ASSERT_TRUE(platform::ReadPackedDib(rlePacked.data(), rlePacked.size(), f, bits, n));
    ASSERT_TRUE(px.Allocate(4, 3, 0x123456));
    ASSERT_TRUE(platform::DecodeDib(f, bits, n, 0, 3, px));
    EXPECT_EQ(0xFF0000u, px.Row(2)[0]); // bottom row: 1 1, then the literal 2 1 (2)
    EXPECT_EQ(0xFF0000u, px.Row(2)[1]);
    EXPECT_EQ(0x0000FFu, px.Row(2)[2]);
    EXPECT_EQ(0xFF0000u, px.Row(2)[3]);
    EXPECT_EQ(0x0000FFu, px.Row(1)[3]); // the run of 9 is cut at the row end
    EXPECT_EQ(0x123456u, px.Row(0)[1]); // skipped by the delta
    EXPECT_EQ(0xFF0000u, px.Row(0)[2]);
    EXPECT_EQ(0x123456u, px.Row(0)[3]); // the last delta leaves the image
}

TEST(DibTest, GetDIBitsQueriesAndCopiesInAnyDepth)
{
    MemoryCanvas c(3, 2);
    platform::PixelBuffer& px = platform::LookupBitmap(c.bitmap)->pixels;
    px.Row(0)[0] = 0xFF0000;
    px.Row(1)[2] = 0x0000FF;
    SelectObject(c.dc, c.previous); // bitmaps are read outside any DC

    Info info(0, 0, 0);
    ASSERT_EQ(2, GetDIBits(c.dc, c.bitmap, 0, 2, nullptr, info.Get(), DIB_RGB_COLORS));
    EXPECT_EQ(3, info.header.biWidth);
    EXPECT_EQ(2, info.header.biHeight);
    EXPECT_EQ(32, info.header.biBitCount);
    EXPECT_EQ(DWORD(24), info.header.biSizeImage);

    // 24 bpp bottom-up: rows padded to 4 bytes, the last row first.
    info.header.biBitCount = 24;
    uint8_t bits24[2][12] = {};
    ASSERT_EQ(2, GetDIBits(c.dc, c.bitmap, 0, 2, bits24, info.Get(), DIB_RGB_COLORS));
    EXPECT_EQ(0xFF, bits24[0][6]); // blue of (2, 1)
    EXPECT_EQ(0xFF, bits24[1][2]); // red of (0, 0)
    EXPECT_EQ(0x00, bits24[1][0]);

    // 1 bpp: the table is black and white; only the second scan asked.
    Info mono(3, 2, 1);
    uint8_t bits1[4] = {0xAA, 0xAA, 0xAA, 0xAA};
    ASSERT_EQ(1, GetDIBits(c.dc, c.bitmap, 1, 5, bits1, mono.Get(), DIB_RGB_COLORS));
    EXPECT_EQ(255, mono.colors[1].rgbRed);
    EXPECT_EQ(0x60, bits1[0]); // (0, 0) is red, nearer black; the others white

    // Back in through SetDIBits, as a top-down 8-bit DIB.
    Info eight(3, -2, 8);
    eight.colors[0] = RGBQUAD{0, 255, 0, 0};
    eight.colors[1] = RGBQUAD{255, 0, 0, 0};
    const uint8_t indexes[8] = {0, 1, 0, 0, 1, 1, 1, 0};
    ASSERT_EQ(2, SetDIBits(c.dc, c.bitmap, 0, 2, indexes, eight.Get(), DIB_RGB_COLORS));
    EXPECT_EQ(0x00FF00u, px.Row(0)[0]);
    EXPECT_EQ(0x0000FFu, px.Row(0)[1]);
    EXPECT_EQ(0x0000FFu, px.Row(1)[0]);

    HBITMAP gone = CreateBitmap(1, 1, 1, 32, nullptr);
    DeleteObject(gone);
    EXPECT_EQ(0, GetDIBits(c.dc, gone, 0, 1, nullptr, info.Get(), DIB_RGB_COLORS));
    EXPECT_EQ(0, SetDIBits(c.dc, gone, 0, 2, indexes, eight.Get(), DIB_RGB_COLORS));
}

TEST(DibTest, CreateDIBitmapMakesABitmapOfTheDcFormat)
{
    Info info(2, 1, 24);
    const uint8_t bits[8] = {0, 0, 255, 255, 0, 0};
    HDC screen = GetDC(NULL);
    HBITMAP colour = CreateDIBitmap(screen, &info.header, CBM_INIT, bits, info.Get(), DIB_RGB_COLORS);
    ASSERT_NE(nullptr, colour);
    BITMAP bm{};
    GetObject(colour, sizeof bm, &bm);
    EXPECT_EQ(32, bm.bmBitsPixel);
    EXPECT_EQ(0xFF0000u, platform::LookupBitmap(colour)->pixels.Row(0)[0]);
    EXPECT_EQ(0x0000FFu, platform::LookupBitmap(colour)->pixels.Row(0)[1]);

    // A fresh memory DC holds a monochrome bitmap: so is what goes with it.
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP mono = CreateDIBitmap(memory, &info.header, CBM_INIT, bits, info.Get(), DIB_RGB_COLORS);
    GetObject(mono, sizeof bm, &bm);
    EXPECT_EQ(1, bm.bmBitsPixel);

    Info broken(2, 1, 3);
    EXPECT_EQ(nullptr, CreateDIBitmap(screen, &broken.header, CBM_INIT, bits, broken.Get(), DIB_RGB_COLORS));
    DeleteObject(colour);
    DeleteObject(mono);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
}

TEST(DibTest, StretchDIBitsAndSetDIBitsToDeviceDrawRowsFromTheBottom)
{
    // 2 x 2, bottom-up: bottom row red red, top row blue green.
    Info info(2, 2, 32);
    const uint32_t bits[4] = {0xFF0000, 0xFF0000, 0x0000FF, 0x00FF00};
    MemoryCanvas c(4, 4);
    ASSERT_EQ(2, StretchDIBits(c.dc, 0, 0, 4, 4, 0, 0, 2, 2, bits, info.Get(), DIB_RGB_COLORS, SRCCOPY));
    EXPECT_EQ(RGB(0, 0, 255), c.At(0, 0));
    EXPECT_EQ(RGB(0, 255, 0), c.At(3, 1));
    EXPECT_EQ(RGB(255, 0, 0), c.At(2, 3));

    // The source corner of a bottom-up DIB is its lower left: (1, 1) is the
    // top row's right pixel.
    MemoryCanvas one(2, 2);
    ASSERT_EQ(1, StretchDIBits(one.dc, 0, 0, 1, 1, 1, 1, 1, 1, bits, info.Get(), DIB_RGB_COLORS, SRCCOPY));
    EXPECT_EQ(RGB(0, 255, 0), one.At(0, 0));

    // Only the scans given are drawn: scan 0 is the bottom row.
    MemoryCanvas part(2, 2);
    ASSERT_EQ(1, SetDIBitsToDevice(part.dc, 0, 0, 2, 2, 0, 0, 0, 1, bits, info.Get(), DIB_RGB_COLORS));
    EXPECT_EQ(RGB(255, 255, 255), part.At(0, 0));
    EXPECT_EQ(RGB(255, 0, 0), part.At(0, 1));
    EXPECT_EQ(RGB(255, 0, 0), part.At(1, 1));

    // An operation that ignores the source needs no bits.
    EXPECT_NE(0, StretchDIBits(c.dc, 0, 0, 1, 1, 0, 0, 1, 1, nullptr, nullptr, DIB_RGB_COLORS, BLACKNESS));
    EXPECT_EQ(RGB(0, 0, 0), c.At(0, 0));
    Info bad(2, 2, 5);
    EXPECT_EQ(0, StretchDIBits(c.dc, 0, 0, 4, 4, 0, 0, 2, 2, bits, bad.Get(), DIB_RGB_COLORS, SRCCOPY));
    EXPECT_EQ(0, SetDIBitsToDevice(c.dc, 0, 0, 2, 2, 0, 0, 0, 2, bits, bad.Get(), DIB_RGB_COLORS));
}

} // namespace
