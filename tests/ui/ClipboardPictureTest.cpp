// Pictures between the clipboard and the desktop on the headless back end:
// what the program copies is offered as PNG, and pictures other programs
// copy arrive as CF_DIB and CF_BITMAP, checked against ImageMagick's reading.

#include "platform/base/GlobalMemory.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/ClipboardPicture.h"
#include "platform/ui/internal/ClipboardStore.h"
#include "tests/support/TestData.h"
#include "tests/support/TestHome.h"
#include "tests/ui/ClipboardPictureSupport.h"
#include "tests/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace uitest;
using namespace cliptest;

namespace {

class ClipboardPictureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        platform::ResetClipboard();
    }
    void TearDown() override
    {
        platform::ResetClipboard();
        platform::headless::Reset();
    }

    // Another program copies the file; the store takes it when it looks.
    static void CopyElsewhere(const std::string& mime, const std::string& path, const std::string& text = "")
    {
        std::string bytes = testing_support::ReadFileBytes(path);
        platform::headless::SetClipboardPicture(mime, std::vector<unsigned char>(bytes.begin(), bytes.end()), text);
    }

    // The store's CF_DIB and CF_BITMAP as RGB, both required.
    static void ExpectDibAndBitmapEqual(const Rgb& want, int tolerance, const std::string& what)
    {
        ASSERT_TRUE(OpenClipboard(NULL));
        HGLOBAL dib = GetClipboardData(CF_DIB);
        HBITMAP bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
        Rgb fromDib = RgbOfDib(dib);
        Rgb fromBitmap = RgbOfBitmap(bitmap);
        CloseClipboard();
        ASSERT_TRUE(dib) << what;
        ASSERT_TRUE(bitmap) << what;
        EXPECT_LE(MaxDifference(fromDib, want), tolerance) << what;
        EXPECT_LE(MaxDifference(fromBitmap, want), tolerance) << what;
    }
};

TEST_F(ClipboardPictureTest, CopiedBitmapIsOfferedAsPngEqualPixelForPixel)
{
    // An odd width, so that a row length mistake shows.
    Rgb picture = Pattern(37, 23);
    HBITMAP bitmap = BitmapOf(picture);
    ASSERT_TRUE(bitmap);
    ASSERT_TRUE(OpenClipboard(NULL));
    EmptyClipboard();
    SetClipboardData(CF_BITMAP, bitmap);
    CloseClipboard();

    std::vector<unsigned char> png;
    ASSERT_TRUE(platform::headless::ClipboardPicturePng(png));
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(std::memcmp(png.data(), "\x89PNG\r\n\x1a\n", 8), 0);
    Rgb read = MagickRgb(WriteTemp(png, "copied.png"));
    EXPECT_EQ(read.width, 37);
    EXPECT_EQ(read.height, 23);
    EXPECT_EQ(read.bytes, picture.bytes);
}

TEST_F(ClipboardPictureTest, CopiedDibAloneIsOfferedAsPngAndTextAloneOffersNoPicture)
{
    Rgb picture = Pattern(16, 9);
    HBITMAP bitmap = BitmapOf(picture);
    HGLOBAL dib = PackedDibOf(bitmap);
    DeleteObject(bitmap);
    ASSERT_TRUE(dib);
    ASSERT_TRUE(OpenClipboard(NULL));
    EmptyClipboard();
    SetClipboardData(CF_DIB, dib);
    CloseClipboard();
    std::vector<unsigned char> png;
    ASSERT_TRUE(platform::headless::ClipboardPicturePng(png));
    EXPECT_EQ(MagickRgb(WriteTemp(png, "dib.png")).bytes, picture.bytes);

    // A later copy of text alone takes the picture off the desktop.
    HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 3);
    std::memcpy(GlobalLock(text), "hi", 3);
    GlobalUnlock(text);
    ASSERT_TRUE(OpenClipboard(NULL));
    EmptyClipboard();
    SetClipboardData(CF_TEXT, text);
    CloseClipboard();
    EXPECT_FALSE(platform::headless::ClipboardPicturePng(png));
    EXPECT_EQ(platform::headless::ClipboardText(), "hi");
}

TEST_F(ClipboardPictureTest, PicturesCopiedElsewhereArriveAsDibAndBitmapWithImageMagicksPixels)
{
    REQUIRE_TESTDATA();
    struct Case {
        const char* mime;
        const char* file;
        int tolerance; // JPEG decoders may round differently
    };
    const Case cases[] = {
        {"image/png", "samepicture/bin-wx3.2-examples__horse.png", 0},
        // Pictures without a gamma chunk: ImageMagick applies one, we do not.
        {"image/png", "tga/bin-gdk-pixbuf-tests__gtk-logo.ref.png", 1}, // alpha: laid on white
        {"image/png", "tga/bin-gdk-pixbuf-tests__gtk-logo-gray.ref.png", 1}, // grey and alpha
        {"image/png", "tga/bin-gdk-pixbuf-tests__gtk-logo-cmap.ref.png", 0}, // palette
        {"image/png", "sunras/src-pillow__sunraster.im1.png", 0}, // 1 bit
        {"image/png", "png/bin-libsixel-examples__f02n2c08.png", 0}, // every row filter
        {"image/bmp", "bmp/github-haraldk_TwelveMonkeys__blauesglas_24.bmp", 0},
        {"image/bmp", "samepicture/bin-wx3.2-examples__horse.bmp", 0},
        {"image/jpeg", "samepicture/bin-wx3.2-examples__horse.jpg", 2},
        {"image/jpeg", "jpeg/bin-librust-jpeg-decoder-dev__tower_progressive.jpg", 2},
    };
    for (const Case& c : cases) {
        const std::string path = std::string(THREADWICK_TESTDATA_DIR) + "/" + c.file;
        Rgb want = MagickRgb(path);
        ASSERT_GT(want.width, 0) << c.file;
        CopyElsewhere(c.mime, path);
        ASSERT_TRUE(IsClipboardFormatAvailable(CF_DIB)) << c.file;
        EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP)) << c.file;
        EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT)) << c.file;
        EXPECT_EQ(CountClipboardFormats(), 2) << c.file;
        ExpectDibAndBitmapEqual(want, c.tolerance, c.file);
    }
}

TEST_F(ClipboardPictureTest, PictureWithTextBringsBothAndIsTakenOnlyOnce)
{
    REQUIRE_TESTDATA();
    CopyElsewhere("image/png",
        std::string(THREADWICK_TESTDATA_DIR) + "/samepicture/bin-libsdl2-image-tests__sample.png", "caption");
    ASSERT_TRUE(OpenClipboard(NULL));
    HANDLE dib = GetClipboardData(CF_DIB);
    EXPECT_TRUE(dib);
    EXPECT_TRUE(GetClipboardData(CF_TEXT));
    UINT formats[3] = {EnumClipboardFormats(0), 0, 0};
    formats[1] = EnumClipboardFormats(formats[0]);
    formats[2] = EnumClipboardFormats(formats[1]);
    CloseClipboard();
    EXPECT_EQ(formats[0], UINT(CF_TEXT));
    EXPECT_EQ(formats[1], UINT(CF_DIB));
    EXPECT_EQ(formats[2], UINT(CF_BITMAP));

    // Looking again finds the same offer: it is not decoded again.
    ASSERT_TRUE(OpenClipboard(NULL));
    EXPECT_EQ(GetClipboardData(CF_DIB), dib);
    CloseClipboard();
    EXPECT_FALSE(ClipboardDesktopPictureRefused());
}

TEST_F(ClipboardPictureTest, DamagedOrRefusedPicturesBringNothing)
{
    REQUIRE_TESTDATA();
    std::string good = testing_support::ReadFileBytes(
        std::string(THREADWICK_TESTDATA_DIR) + "/samepicture/bin-wx3.2-examples__horse.png");
    ASSERT_GT(good.size(), 1000u);
    std::vector<std::vector<unsigned char>> refused;
    refused.emplace_back(good.begin(), good.begin() + long(good.size() / 2)); // truncated
    refused.emplace_back(good.begin(), good.begin() + 8); // signature only
    refused.emplace_back(); // nothing
    refused.emplace_back(std::vector<unsigned char>(4096, 0xAB)); // not a picture
    std::vector<unsigned char> corrupt(good.begin(), good.end());
    for (size_t i = 200; i < corrupt.size(); i += 97)
        corrupt[i] ^= 0x5A;
    refused.push_back(corrupt);
    // Larger than the imaging library's limits.
    std::string huge = testing_support::ReadFileBytes(
        std::string(THREADWICK_TESTDATA_DIR) + "/jpeg/bin-gdk-pixbuf-tests__issue205.jpg");
    refused.emplace_back(huge.begin(), huge.end());

    for (size_t i = 0; i < refused.size(); ++i) {
        // The previous contents of the store go all the same: another
        // program took the clipboard.
        ASSERT_TRUE(OpenClipboard(NULL));
        EmptyClipboard();
        SetClipboardData(CF_BITMAP, BitmapOf(Pattern(4, 4)));
        CloseClipboard();
        platform::headless::SetClipboardPicture(i % 2 ? "image/png" : "image/jpeg", refused[i], "words");
        EXPECT_FALSE(IsClipboardFormatAvailable(CF_DIB)) << i;
        EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP)) << i;
        EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT)) << i;
        EXPECT_TRUE(ClipboardDesktopPictureRefused()) << i;
        EXPECT_EQ(ClipboardDibFromPicture(refused[i].data(), refused[i].size()), HGLOBAL(NULL)) << i;
    }
}

TEST_F(ClipboardPictureTest, PublicConversionsRefuseWhatTheyCannotRead)
{
    std::vector<unsigned char> png{1, 2, 3};
    EXPECT_FALSE(ClipboardPngFromBitmap(NULL, png));
    EXPECT_TRUE(png.empty());
    HBITMAP gone = BitmapOf(Pattern(2, 2));
    DeleteObject(gone);
    EXPECT_FALSE(ClipboardPngFromBitmap(gone, png));
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_FALSE(ClipboardPngFromBitmap(reinterpret_cast<HBITMAP>(brush), png));
    DeleteObject(brush);
    EXPECT_EQ(ClipboardDibFromPicture(nullptr, 10), HGLOBAL(NULL));

    // A packed DIB whose rows do not fit its block makes no bitmap.
    HBITMAP bitmap = BitmapOf(Pattern(8, 8));
    HGLOBAL dib = PackedDibOf(bitmap);
    DeleteObject(bitmap);
    auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(dib));
    header->biHeight = 9000;
    GlobalUnlock(dib);
    EXPECT_EQ(platform::BitmapFromPackedDib(dib), HBITMAP(NULL));
    EXPECT_FALSE(platform::PngFromPackedDib(dib, png));
    GlobalFree(dib);
}

} // namespace
