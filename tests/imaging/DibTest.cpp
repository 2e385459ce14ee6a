#include "platform/base/GlobalMemory.h"
#include "platform/gdi/Gdi.h"
#include "platform/imaging/Imaging.h"
#include "tests/imaging/PictureCheck.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace imaging_test;

namespace {

struct LockedDib {
    explicit LockedDib(HGLOBAL h)
        : handle(h)
        , bytes(static_cast<const BYTE*>(GlobalLock(h)))
    {
    }
    ~LockedDib()
    {
        if (bytes)
            GlobalUnlock(handle);
    }
    const BITMAPINFOHEADER& Header() const { return *reinterpret_cast<const BITMAPINFOHEADER*>(bytes); }
    const RGBQUAD* Colors() const { return reinterpret_cast<const RGBQUAD*>(bytes + sizeof(BITMAPINFOHEADER)); }
    HGLOBAL handle;
    const BYTE* bytes;
};

size_t ColorCount(int bits)
{
    return bits <= 8 ? size_t(1) << bits : 0;
}

// A packed DIB of a 2x2 picture at the given depth and compression.
std::string SmallDib(int bits, DWORD compression, int height = 2)
{
    BITMAPINFOHEADER h {};
    h.biSize = 40;
    h.biWidth = 2;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = WORD(bits);
    h.biCompression = compression;
    std::string dib(reinterpret_cast<const char*>(&h), sizeof h);
    dib.append(ColorCount(bits) * 4, '\x40');
    if (compression == BI_BITFIELDS)
        dib.append("\x00\xF8\x00\x00\xE0\x07\x00\x00\x1F\x00\x00\x00", 12); // 5-6-5
    dib.append(size_t(4 * (height < 0 ? -height : height)) * size_t((bits * 2 + 31) / 32), '\x11');
    return dib;
}

} // namespace

// Every depth goes to a packed DIB and back unchanged, through a copy and
// through a take-over; the DIB is bottom-up with a full colour table.
TEST(ImagingDib, RoundTripsEveryDepthExactly)
{
    for (int bits : { 1, 4, 8, 16, 24, 32 }) {
        SCOPED_TRACE(bits);
        LTBITMAP original = Pattern(13, 5, bits);
        HGLOBAL dib = LtConvertToDIB(&original);
        ASSERT_NE(dib, nullptr);
        {
            LockedDib locked(dib);
            const BITMAPINFOHEADER& h = locked.Header();
            EXPECT_EQ(h.biSize, 40u);
            EXPECT_EQ(h.biWidth, 13);
            EXPECT_EQ(h.biHeight, 5);
            EXPECT_EQ(h.biBitCount, bits);
            EXPECT_EQ(h.biCompression, DWORD(BI_RGB));
            EXPECT_EQ(GlobalSize(dib), 40 + ColorCount(bits) * 4 + size_t(original.BytesPerLine) * 5);
            for (size_t i = 0; i < ColorCount(bits); ++i)
                EXPECT_EQ(std::memcmp(&locked.Colors()[i], &original.Palette[i], 3), 0);
            const BYTE* bottomRow = locked.bytes + 40 + ColorCount(bits) * 4;
            EXPECT_EQ(std::memcmp(bottomRow, original.Pixels.data() + 4 * size_t(original.BytesPerLine),
                          size_t(original.BytesPerLine)),
                0);

            LTBITMAP copy;
            ASSERT_EQ(LtCopyFromDIB(&copy, reinterpret_cast<const BITMAPINFO*>(locked.bytes), bottomRow), LT_SUCCESS);
            EXPECT_EQ(copy.BitsPerPixel, bits);
            EXPECT_EQ(copy.Pixels, original.Pixels);
            for (size_t i = 0; i < ColorCount(bits); ++i)
                EXPECT_EQ(std::memcmp(&copy.Palette[i], &original.Palette[i], 3), 0);
        }
        size_t blocks = platform::GlobalBlockCount();
        LTBITMAP taken;
        ASSERT_EQ(LtTakeOverDIB(&taken, dib), LT_SUCCESS);
        EXPECT_EQ(platform::GlobalBlockCount(), blocks - 1);
        EXPECT_EQ(taken.Pixels, original.Pixels);
    }
}

TEST(ImagingDib, RgbOrderedPixelsBecomeBgrInTheDib)
{
    LTBITMAP bitmap;
    ASSERT_EQ(LtAllocateBitmap(&bitmap, 1, 1, 24), LT_SUCCESS);
    bitmap.Order = LT_ORDER_RGB;
    bitmap.Pixels[0] = 10;
    bitmap.Pixels[1] = 20;
    bitmap.Pixels[2] = 30;
    HGLOBAL dib = LtConvertToDIB(&bitmap);
    LockedDib locked(dib);
    EXPECT_EQ(locked.bytes[40], 30);
    EXPECT_EQ(locked.bytes[41], 20);
    EXPECT_EQ(locked.bytes[42], 10);
    GlobalFree(dib);
}

// The DIBs inside BMP files, read by our DIB reader, give the pixels that the
// file loader (and so the decoder library) gives for the same files.
TEST(ImagingDib, DibsOfBmpFilesMatchTheirFiles)
{
    REQUIRE_TESTDATA();
    int compared = 0;
    for (const char* name : { "pal1wb", "pal1bg", "pal4", "pal8", "pal8-0", "pal8w126", "pal8topdown",
             "pal8v5", "rgb16", "rgb16-565", "rgb16-565pal", "rgb24", "rgb32", "rgb32bf", "rgb32bf-xbgr" }) {
        SCOPED_TRACE(name);
        std::string path = TestData(std::string("bmp/src-pillowbmpsuite__") + name + ".bmp");
        std::string bytes = ReadBytes(path);
        ASSERT_GT(bytes.size(), 54u);
        LTBITMAP fromFile;
        ASSERT_EQ(LtMemLoad(bytes.data(), &fromFile, 0, LT_ORDER_BGR, DWORD(bytes.size())), LT_SUCCESS);
        const BYTE* p = reinterpret_cast<const BYTE*>(bytes.data());
        uint32_t offBits = p[10] | p[11] << 8 | p[12] << 16 | uint32_t(p[13]) << 24;
        // A packed DIB has its bits right after the colours: rebuild one.
        uint32_t headerSize = p[14] | p[15] << 8;
        uint16_t bitCount = headerSize == 12 ? uint16_t(p[24] | p[25] << 8) : uint16_t(p[28] | p[29] << 8);
        uint32_t compression = headerSize == 12 ? 0 : p[30] | p[31] << 8;
        uint32_t used = headerSize == 12 ? 0 : p[46] | p[47] << 8;
        size_t colours = bitCount <= 8 ? (used ? used : 1u << bitCount) : used;
        size_t tableEnd = 14 + headerSize + (compression == BI_BITFIELDS && headerSize == 40 ? 12 : 0)
            + colours * (headerSize == 12 ? 3 : 4);
        std::string packed = bytes.substr(14, tableEnd - 14) + bytes.substr(offBits);
        LTBITMAP fromDib;
        ASSERT_EQ(platform::CopyFromPackedDib(fromDib, reinterpret_cast<const BYTE*>(packed.data()), packed.size()),
            LT_SUCCESS);
        ASSERT_EQ(fromDib.Width, fromFile.Width);
        ASSERT_EQ(fromDib.Height, fromFile.Height);
        for (int y = 0; y < fromFile.Height; ++y) {
            for (int x = 0; x < fromFile.Width; ++x) {
                auto a = RgbaAt(fromDib, x, y);
                auto b = RgbaAt(fromFile, x, y);
                ASSERT_TRUE(std::equal(a.begin(), a.begin() + 3, b.begin()))
                    << x << "," << y << ": " << int(a[0]) << "," << int(a[1]) << "," << int(a[2]) << " vs "
                    << int(b[0]) << "," << int(b[1]) << "," << int(b[2]);
            }
        }
        ++compared;
    }
    EXPECT_EQ(compared, 15);
}

// Where the decoder library misreads a DIB, ours matches the picture it
// stands for: the OS/2 2.x header has four-byte colours like the Windows one,
// and a 2-bit channel mask spreads its bits over the whole byte.
TEST(ImagingDib, DibsMatchTheirIntendedPictures)
{
    REQUIRE_TESTDATA();
    const std::pair<const char*, const char*> cases[] = {
        { "bmp/src-pillowbmpsuite__pal8os2v2.bmp", "bmp/src-pillowbmpsuite__pal8.bmp" },
        { "bmp/src-pillowbmpsuite__rgb16-231.bmp", "bmp/src-pillowbmpsuite-refs__rgb16-231.png" },
    };
    for (const auto& [file, intended] : cases) {
        SCOPED_TRACE(file);
        std::string dib = ReadBytes(TestData(file)).substr(14);
        // Both files have their bits right after the colours or masks.
        LTBITMAP fromDib;
        ASSERT_EQ(platform::CopyFromPackedDib(fromDib, reinterpret_cast<const BYTE*>(dib.data()), dib.size()),
            LT_SUCCESS);
        std::string bytes = ReadBytes(TestData(intended));
        LTBITMAP twin;
        ASSERT_EQ(LtMemLoad(bytes.data(), &twin, 24, LT_ORDER_BGR, DWORD(bytes.size())), LT_SUCCESS);
        ASSERT_EQ(fromDib.Width, twin.Width);
        ASSERT_EQ(fromDib.Height, twin.Height);
        for (int y = 0; y < twin.Height; ++y) {
            for (int x = 0; x < twin.Width; ++x)
                ASSERT_EQ(RgbaAt(fromDib, x, y), RgbaAt(twin, x, y)) << x << "," << y;
        }
    }
}

// A DIB file without a file header, as the decoder library reads it.
TEST(ImagingDib, PackedDibFileMatchesDecoder)
{
    REQUIRE_TESTDATA();
    std::string bytes = ReadBytes(TestData("dib/src-graphicsmagick__input.dib"));
    LTBITMAP bitmap;
    ASSERT_EQ(platform::CopyFromPackedDib(bitmap, reinterpret_cast<const BYTE*>(bytes.data()), bytes.size()),
        LT_SUCCESS);
    Reference ref = ReadReference(bytes, "DIB");
    ASSERT_TRUE(ref.ok);
    ASSERT_EQ(bitmap.Width, ref.width);
    ASSERT_EQ(bitmap.Height, ref.height);
    for (int y = 0; y < ref.height; ++y) {
        for (int x = 0; x < ref.width; ++x) {
            auto got = RgbaAt(bitmap, x, y);
            ASSERT_EQ(std::memcmp(got.data(), &ref.rgba[(size_t(y) * ref.width + x) * 4], 3), 0) << x << "," << y;
        }
    }
}

TEST(ImagingDib, ReadsTopDownAndMaskedDibs)
{
    std::string topDown = SmallDib(24, BI_RGB, -2);
    topDown[40] = 1; // first pixel of the top row
    LTBITMAP bitmap;
    ASSERT_EQ(platform::CopyFromPackedDib(bitmap, reinterpret_cast<const BYTE*>(topDown.data()), topDown.size()),
        LT_SUCCESS);
    EXPECT_EQ(bitmap.Height, 2);
    EXPECT_EQ(bitmap.Pixels[0], 1);

    std::string masked = SmallDib(16, BI_BITFIELDS);
    masked[52] = '\x00';
    masked[53] = '\xF8'; // bottom-left pixel pure red in 5-6-5
    ASSERT_EQ(platform::CopyFromPackedDib(bitmap, reinterpret_cast<const BYTE*>(masked.data()), masked.size()),
        LT_SUCCESS);
    EXPECT_EQ(bitmap.BitsPerPixel, 24);
    auto red = RgbaAt(bitmap, 0, 1);
    EXPECT_EQ(red[0], 255);
    EXPECT_EQ(red[1], 0);
    EXPECT_EQ(red[2], 0);
}

// Every cut of a packed DIB and every bad header field is refused without
// touching memory past the block.
TEST(ImagingDib, DamagedPackedDibsAreRefused)
{
    for (int bits : { 1, 8, 24 }) {
        std::string dib = SmallDib(bits, BI_RGB);
        for (size_t n = 0; n < dib.size(); ++n) {
            std::vector<BYTE> cut(dib.begin(), dib.begin() + ptrdiff_t(n)); // exact size, so ASan sees overreads
            LTBITMAP bitmap;
            EXPECT_LT(platform::CopyFromPackedDib(bitmap, cut.data(), cut.size()), 0) << bits << " bits, " << n;
            EXPECT_TRUE(bitmap.Pixels.empty());
        }
    }
    auto refused = [](std::string dib, size_t offset, uint32_t value) {
        std::memcpy(dib.data() + offset, &value, 4);
        LTBITMAP bitmap;
        return platform::CopyFromPackedDib(bitmap, reinterpret_cast<const BYTE*>(dib.data()), dib.size());
    };
    std::string dib = SmallDib(8, BI_RGB);
    EXPECT_EQ(refused(dib, 0, 41), LT_ERR_BAD_DATA);         // header size
    EXPECT_EQ(refused(dib, 0, 16), LT_ERR_BAD_DATA);
    EXPECT_EQ(refused(dib, 4, 0), LT_ERR_BAD_DATA);          // width
    EXPECT_EQ(refused(dib, 4, 30000), LT_ERR_NO_MEMORY);     // width over the limit
    EXPECT_EQ(refused(dib, 4, 0x80000000u), LT_ERR_BAD_DATA); // negative width
    EXPECT_EQ(refused(dib, 14, 7), LT_ERR_SUBTYPE);          // bit count (with planes)
    EXPECT_EQ(refused(dib, 16, BI_RLE8), LT_ERR_SUBTYPE);
    EXPECT_EQ(refused(dib, 16, 9), LT_ERR_BAD_DATA);
    EXPECT_EQ(refused(dib, 32, 1000), LT_ERR_BAD_DATA);      // colours used
    std::string mono = SmallDib(1, BI_RGB);
    EXPECT_EQ(refused(mono, 32, 200), LT_ERR_BAD_DATA); // a colour table past the block
    EXPECT_EQ(refused(mono, 8, 3), LT_ERR_CORRUPT);     // more rows than bits
}

TEST(ImagingDib, TakeOverFreesTheBlockEvenWhenRefused)
{
    HGLOBAL junk = GlobalAlloc(GHND, 16);
    size_t blocks = platform::GlobalBlockCount();
    LTBITMAP bitmap;
    EXPECT_LT(LtTakeOverDIB(&bitmap, junk), 0);
    EXPECT_EQ(platform::GlobalBlockCount(), blocks - 1);
    EXPECT_EQ(LtConvertToDIB(&bitmap), nullptr); // nothing to convert
}

// A device bitmap made for the screen shows the picture's colours when
// selected into a memory DC.
TEST(ImagingDib, DeviceBitmapHasThePicturesPixels)
{
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    HDC dc = CreateCompatibleDC(screen);
    ASSERT_NE(dc, nullptr);
    for (int bits : { 4, 8, 24 }) {
        SCOPED_TRACE(bits);
        LTBITMAP picture = Pattern(9, 4, bits);
        HBITMAP ddb = LtConvertToDDB(screen, &picture);
        ASSERT_NE(ddb, nullptr);
        HGDIOBJ old = SelectObject(dc, ddb);
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 9; ++x) {
                auto want = RgbaAt(picture, x, y);
                EXPECT_EQ(GetPixel(dc, x, y), RGB(want[0], want[1], want[2])) << x << "," << y;
            }
        }
        SelectObject(dc, old);
        DeleteObject(ddb);
    }
    LTBITMAP empty;
    EXPECT_EQ(LtConvertToDDB(screen, &empty), nullptr);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}
