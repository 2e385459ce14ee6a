// Painting bitmap records into memory DCs and printer pages, device bitmaps
// back into records, paint palettes and the display mode.

#include "platform/files/FileSystem.h"
#include "platform/files/HostPath.h"
#include "platform/gdi/Display.h"
#include "platform/gdi/Gdi.h"
#include "platform/imaging/Imaging.h"
#include "tests/gdi/DrawTestSupport.h"
#include "tests/imaging/PictureCheck.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

using gditest::MemoryCanvas;
using namespace imaging_test;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);

COLORREF ColourAt(const LTBITMAP& b, int x, int y)
{
    const auto c = RgbaAt(b, x, y);
    return RGB(c[0], c[1], c[2]);
}

void Fill(HDC dc, RECT r, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

bool Near(COLORREF a, COLORREF b, int tolerance = 2)
{
    auto d = [tolerance](int x, int y) { return std::abs(x - y) <= tolerance; };
    return d(GetRValue(a), GetRValue(b)) && d(GetGValue(a), GetGValue(b)) && d(GetBValue(a), GetBValue(b));
}

std::string Describe(COLORREF c)
{
    return std::to_string(GetRValue(c)) + "," + std::to_string(GetGValue(c)) + "," + std::to_string(GetBValue(c));
}

// A picture of 2 x 2 blocks of `block` pixels: red, green / blue, yellow.
LTBITMAP Quadrants(int block, int bits = 24)
{
    LTBITMAP b;
    LtAllocateBitmap(&b, 2 * block, 2 * block, 24);
    const COLORREF colours[4] = { kRed, kGreen, kBlue, kYellow };
    for (int y = 0; y < 2 * block; ++y)
        for (int x = 0; x < 2 * block; ++x) {
            const COLORREF c = colours[(y / block) * 2 + x / block];
            BYTE* p = b.Pixels.data() + size_t(y) * size_t(b.BytesPerLine) + size_t(x) * 3;
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
    if (bits != 24)
        LtColorRes(&b, &b, bits, LT_COLORRES_OPTIMIZED, nullptr, 0, 0, 0);
    return b;
}

class ImagingPaint : public ::testing::Test {
protected:
    void TearDown() override
    {
        LtSetDisplayMode(LT_DISPLAY_DITHER, 0);
        platform::ResetDisplayForTesting();
    }
};

} // namespace

TEST_F(ImagingPaint, OneToOneCopiesEveryDepthExactly)
{
    for (int bits : { 1, 4, 8, 16, 24, 32 }) {
        LTBITMAP picture = Pattern(11, 5, bits);
        if (bits == 32)
            for (size_t i = 3; i < picture.Pixels.size(); i += 4)
                picture.Pixels[i] = 255;
        MemoryCanvas canvas(15, 9);
        const RECT to { 2, 3, 13, 8 };
        ASSERT_EQ(LtPaintDC(canvas.dc, &picture, nullptr, nullptr, &to, nullptr, SRCCOPY), LT_SUCCESS);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 11; ++x)
                ASSERT_EQ(canvas.At(x + 2, y + 3), ColourAt(picture, x, y)) << bits << " bits at " << x << "," << y;
        EXPECT_EQ(canvas.At(1, 3), kWhite);
        EXPECT_EQ(canvas.At(13, 7), kWhite);
        EXPECT_EQ(canvas.At(2, 8), kWhite);
    }
    // RGB order and a source rectangle inside the picture.
    LTBITMAP rgb = Colours(3, 1, { kRed, kGreen, kBlue });
    for (int x = 0; x < 3; ++x)
        std::swap(rgb.Pixels[size_t(x) * 3], rgb.Pixels[size_t(x) * 3 + 2]);
    rgb.Order = LT_ORDER_RGB;
    MemoryCanvas canvas(4, 1);
    const RECT part { 1, 0, 3, 1 };
    const RECT to { 0, 0, 2, 1 };
    ASSERT_EQ(LtPaintDC(canvas.dc, &rgb, &part, nullptr, &to, nullptr, SRCCOPY), LT_SUCCESS);
    EXPECT_EQ(canvas.At(0, 0), kGreen);
    EXPECT_EQ(canvas.At(1, 0), kBlue);
    EXPECT_EQ(canvas.At(2, 0), kWhite);
}

TEST_F(ImagingPaint, ShrinkingAveragesAreasAndGrowingInterpolates)
{
    // Blocks of 4 drawn at half size keep their colours exactly.
    LTBITMAP quadrants = Quadrants(4);
    MemoryCanvas small(4, 4);
    const RECT half { 0, 0, 4, 4 };
    ASSERT_EQ(LtPaintDC(small.dc, &quadrants, nullptr, nullptr, &half, nullptr, SRCCOPY), LT_SUCCESS);
    EXPECT_EQ(small.At(0, 0), kRed);
    EXPECT_EQ(small.At(3, 0), kGreen);
    EXPECT_EQ(small.At(0, 3), kBlue);
    EXPECT_EQ(small.At(3, 3), kYellow);

    // Fine stripes average to grey instead of picking every other stripe.
    LTBITMAP stripes = Colours(4, 1, { kBlack, kWhite, kBlack, kWhite });
    MemoryCanvas one(1, 1);
    const RECT dot { 0, 0, 1, 1 };
    ASSERT_EQ(LtPaintDC(one.dc, &stripes, nullptr, nullptr, &dot, nullptr, SRCCOPY), LT_SUCCESS);
    EXPECT_TRUE(Near(one.At(0, 0), RGB(128, 128, 128))) << Describe(one.At(0, 0));

    LTBITMAP pair = Colours(2, 1, { kBlack, kWhite });
    MemoryCanvas wide(4, 1);
    const RECT twice { 0, 0, 4, 1 };
    ASSERT_EQ(LtPaintDC(wide.dc, &pair, nullptr, nullptr, &twice, nullptr, SRCCOPY), LT_SUCCESS);
    const int expected[4] = { 0, 64, 191, 255 };
    for (int x = 0; x < 4; ++x)
        EXPECT_TRUE(Near(wide.At(x, 0), RGB(expected[x], expected[x], expected[x]))) << x << ": " << Describe(wide.At(x, 0));
}

TEST_F(ImagingPaint, InvertedDestinationMirrors)
{
    LTBITMAP quadrants = Quadrants(1);
    MemoryCanvas canvas(2, 2);
    const RECT mirroredX { 2, 0, 0, 2 };
    ASSERT_EQ(LtPaintDC(canvas.dc, &quadrants, nullptr, nullptr, &mirroredX, nullptr, SRCCOPY), LT_SUCCESS);
    EXPECT_EQ(canvas.At(0, 0), kGreen);
    EXPECT_EQ(canvas.At(1, 0), kRed);
    EXPECT_EQ(canvas.At(0, 1), kYellow);
    const RECT both { 2, 2, 0, 0 };
    ASSERT_EQ(LtPaintDC(canvas.dc, &quadrants, nullptr, nullptr, &both, nullptr, SRCCOPY), LT_SUCCESS);
    EXPECT_EQ(canvas.At(0, 0), kYellow);
    EXPECT_EQ(canvas.At(1, 1), kRed);

    // Mirrored while shrinking, too.
    LTBITMAP big = Quadrants(3);
    MemoryCanvas small(2, 2);
    const RECT upsideDown { 0, 2, 2, 0 };
    ASSERT_EQ(LtPaintDC(small.dc, &big, nullptr, nullptr, &upsideDown, nullptr, SRCCOPY), LT_SUCCESS);
    EXPECT_EQ(small.At(0, 0), kBlue);
    EXPECT_EQ(small.At(1, 1), kGreen);
}

TEST_F(ImagingPaint, ClippedPaintsOnlyInsideAndMatchesTheWholePaint)
{
    LTBITMAP picture = Pattern(40, 30, 24);
    const RECT to { 3, 2, 20, 15 }; // shrinks by odd factors
    MemoryCanvas whole(24, 18);
    ASSERT_EQ(LtPaintDC(whole.dc, &picture, nullptr, nullptr, &to, nullptr, SRCCOPY), LT_SUCCESS);

    MemoryCanvas part(24, 18);
    Fill(part.dc, RECT { 0, 0, 24, 18 }, kBlue);
    const RECT clip { 7, 5, 12, 30 };
    // The DC's own clip narrows it further.
    IntersectClipRect(part.dc, 0, 0, 24, 11);
    ASSERT_EQ(LtPaintDC(part.dc, &picture, nullptr, nullptr, &to, &clip, SRCCOPY), LT_SUCCESS);
    for (int y = 0; y < 18; ++y) {
        for (int x = 0; x < 24; ++x) {
            const bool inside = x >= 7 && x < 12 && y >= 5 && y < 11;
            if (inside)
                EXPECT_EQ(part.At(x, y), whole.At(x, y)) << x << "," << y;
            else
                EXPECT_EQ(part.At(x, y), kBlue) << x << "," << y;
        }
    }

    // The same for a grown, mirrored picture.
    const RECT grown { 22, 0, 1, 17 };
    ASSERT_EQ(LtPaintDC(whole.dc, &picture, nullptr, nullptr, &grown, nullptr, SRCCOPY), LT_SUCCESS);
    LTBITMAP tiny = Pattern(5, 4, 8);
    ASSERT_EQ(LtPaintDC(whole.dc, &tiny, nullptr, nullptr, &grown, nullptr, SRCCOPY), LT_SUCCESS);
    ASSERT_EQ(LtPaintDC(part.dc, &tiny, nullptr, nullptr, &grown, &clip, SRCCOPY), LT_SUCCESS);
    for (int y = 5; y < 11; ++y)
        for (int x = 7; x < 12; ++x)
            EXPECT_EQ(part.At(x, y), whole.At(x, y)) << x << "," << y;
    EXPECT_EQ(part.At(6, 5), kBlue);
}

TEST_F(ImagingPaint, RasterOperationsCombineWithTheDestination)
{
    const LTBITMAP picture = Colours(1, 1, { RGB(0xF0, 0x0F, 0x33) });
    const COLORREF below = RGB(0x3C, 0x3C, 0xFF);
    struct Case {
        DWORD rop;
        COLORREF expected;
    };
    const Case cases[] = {
        { SRCCOPY, RGB(0xF0, 0x0F, 0x33) },
        { SRCAND, RGB(0x30, 0x0C, 0x33) },
        { SRCPAINT, RGB(0xFC, 0x3F, 0xFF) },
        { SRCINVERT, RGB(0xCC, 0x33, 0xCC) },
        { NOTSRCCOPY, RGB(0x0F, 0xF0, 0xCC) },
        { MERGECOPY, RGB(0x00, 0x0F, 0x33) }, // source AND the brush (green 0x0F, blue 0xFF)
    };
    for (const Case& c : cases) {
        MemoryCanvas canvas(3, 3);
        Fill(canvas.dc, RECT { 0, 0, 3, 3 }, below);
        HBRUSH brush = CreateSolidBrush(RGB(0x00, 0x0F, 0xFF));
        HGDIOBJ old = SelectObject(canvas.dc, brush);
        const RECT to { 1, 1, 2, 2 };
        ASSERT_EQ(LtPaintDC(canvas.dc, &picture, nullptr, nullptr, &to, nullptr, c.rop), LT_SUCCESS);
        SelectObject(canvas.dc, old);
        DeleteObject(brush);
        EXPECT_EQ(canvas.At(1, 1), c.expected) << std::hex << c.rop << ": " << Describe(canvas.At(1, 1));
        EXPECT_EQ(canvas.At(0, 0), below);
    }
}

TEST_F(ImagingPaint, AlphaBlendsOverWhatIsThere)
{
    const LTBITMAP picture = Colours(3, 1, { kRed, kRed, kRed }, 32, { 255, 128, 0 });
    MemoryCanvas canvas(3, 1);
    Fill(canvas.dc, RECT { 0, 0, 3, 1 }, kBlue);
    const RECT to { 0, 0, 3, 1 };
    ASSERT_EQ(LtPaintDC(canvas.dc, &picture, nullptr, nullptr, &to, nullptr, SRCCOPY), LT_SUCCESS);
    EXPECT_EQ(canvas.At(0, 0), kRed);
    EXPECT_TRUE(Near(canvas.At(1, 0), RGB(128, 0, 127), 1)) << Describe(canvas.At(1, 0));
    EXPECT_EQ(canvas.At(2, 0), kBlue);

    // Other operations show their result by the alpha as well.
    Fill(canvas.dc, RECT { 0, 0, 3, 1 }, kBlue);
    ASSERT_EQ(LtPaintDC(canvas.dc, &picture, nullptr, nullptr, &to, nullptr, SRCPAINT), LT_SUCCESS);
    EXPECT_EQ(canvas.At(0, 0), RGB(255, 0, 255));
    EXPECT_TRUE(Near(canvas.At(1, 0), RGB(128, 0, 255), 1)) << Describe(canvas.At(1, 0));
    EXPECT_EQ(canvas.At(2, 0), kBlue);
}

TEST_F(ImagingPaint, DithersOntoFewColoursOnlyWhenAsked)
{
    LTBITMAP grey;
    LtAllocateBitmap(&grey, 16, 16, 24);
    std::fill(grey.Pixels.begin(), grey.Pixels.end(), BYTE(128));
    const RECT to { 0, 0, 16, 16 };
    auto whites = [&](MemoryCanvas& c) { return c.Count(kWhite); };

    MemoryCanvas plain(16, 16, 1);
    ASSERT_EQ(LtPaintDC(plain.dc, &grey, nullptr, nullptr, &to, nullptr, SRCCOPY), LT_SUCCESS);
    const int plainWhites = whites(plain);
    EXPECT_TRUE(plainWhites == 0 || plainWhites == 256) << plainWhites;

    EXPECT_EQ(LtSetDisplayMode(LT_DISPLAY_DITHER, LT_DISPLAY_DITHER) & LT_DISPLAY_DITHER, 0u);
    MemoryCanvas dithered(16, 16, 1);
    ASSERT_EQ(LtPaintDC(dithered.dc, &grey, nullptr, nullptr, &to, nullptr, SRCCOPY), LT_SUCCESS);
    EXPECT_NEAR(whites(dithered), 128, 16);
    // The pattern belongs to the position: a repaint of part of it gives
    // the same pixels.
    const RECT clip { 5, 5, 9, 9 };
    Fill(dithered.dc, clip, kBlack);
    ASSERT_EQ(LtPaintDC(dithered.dc, &grey, nullptr, nullptr, &to, &clip, SRCCOPY), LT_SUCCESS);
    MemoryCanvas again(16, 16, 1);
    ASSERT_EQ(LtPaintDC(again.dc, &grey, nullptr, nullptr, &to, nullptr, SRCCOPY), LT_SUCCESS);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(dithered.At(x, y), again.At(x, y)) << x << "," << y;
    EXPECT_EQ(LtSetDisplayMode(LT_DISPLAY_DITHER, 0), UINT(LT_DISPLAY_DITHER));

    // An 8-bit screen: every pixel lands on a colour of its table.
    ASSERT_TRUE(platform::SetScreenBitsPixel(8));
    HDC screen = GetDC(NULL);
    LTBITMAP quadrants = Quadrants(2);
    const RECT small { 0, 0, 4, 4 };
    ASSERT_EQ(LtPaintDC(screen, &quadrants, nullptr, nullptr, &small, nullptr, SRCCOPY), LT_SUCCESS);
    EXPECT_EQ(GetPixel(screen, 0, 0), kRed);
    EXPECT_EQ(GetPixel(screen, 3, 3), kYellow);
    ReleaseDC(NULL, screen);
}

TEST_F(ImagingPaint, PaintPaletteOnlyForFewColours)
{
    LTBITMAP quadrants = Quadrants(2, 4);
    MemoryCanvas canvas(2, 2);
    EXPECT_EQ(LtCreatePaintPalette(canvas.dc, &quadrants), nullptr);

    ASSERT_TRUE(platform::SetScreenBitsPixel(8));
    HDC screen = GetDC(NULL);
    HPALETTE own = LtCreatePaintPalette(screen, &quadrants);
    ASSERT_NE(own, nullptr);
    PALETTEENTRY entries[17] = {};
    EXPECT_EQ(GetPaletteEntries(own, 0, 17, entries), 16u);
    EXPECT_EQ(RGB(entries[0].peRed, entries[0].peGreen, entries[0].peBlue), ColourAt(quadrants, 0, 0));
    DeleteObject(own);
    LTBITMAP deep = Quadrants(2);
    HPALETTE cube = LtCreatePaintPalette(screen, &deep);
    ASSERT_NE(cube, nullptr);
    EXPECT_EQ(GetPaletteEntries(cube, 0, 0, nullptr), 256u);
    DeleteObject(cube);
    ReleaseDC(NULL, screen);
}

TEST_F(ImagingPaint, DeviceBitmapBackToARecord)
{
    HDC screen = GetDC(NULL);
    const LTBITMAP picture = Pattern(7, 4, 24);
    HBITMAP ddb = LtConvertToDDB(screen, &picture);
    ASSERT_NE(ddb, nullptr);
    LTBITMAP back;
    back.Flags = LT_BITMAP_TRANSPARENT;
    back.TransparentColor = RGB(1, 2, 3);
    ASSERT_EQ(LtConvertFromDDB(screen, &back, ddb, nullptr, FALSE), LT_SUCCESS);
    EXPECT_EQ(back.BitsPerPixel, 24);
    EXPECT_EQ(back.Width, 7);
    EXPECT_EQ(back.Height, 4);
    EXPECT_TRUE(back.Flags & LT_BITMAP_TRANSPARENT);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(ColourAt(back, x, y), ColourAt(picture, x, y)) << x << "," << y;
    DeleteObject(ddb);
    EXPECT_EQ(LtConvertFromDDB(screen, &back, ddb, nullptr, FALSE), LT_ERR_BAD_PARAM);
    ReleaseDC(NULL, screen);
}

TEST_F(ImagingPaint, BadArgumentsAndEmptyRectangles)
{
    MemoryCanvas canvas(2, 2);
    LTBITMAP picture = Pattern(2, 2, 24);
    LTBITMAP empty;
    const RECT to { 0, 0, 2, 2 };
    const RECT none { 1, 1, 1, 5 };
    EXPECT_EQ(LtPaintDC(canvas.dc, &empty, nullptr, nullptr, &to, nullptr, SRCCOPY), LT_ERR_BAD_BITMAP);
    EXPECT_EQ(LtPaintDC(canvas.dc, &picture, nullptr, nullptr, nullptr, nullptr, SRCCOPY), LT_ERR_BAD_PARAM);
    EXPECT_EQ(LtPaintDC(nullptr, &picture, nullptr, nullptr, &to, nullptr, SRCCOPY), LT_ERR_BAD_PARAM);
    EXPECT_EQ(LtPaintDC(canvas.dc, &picture, nullptr, nullptr, &none, nullptr, SRCCOPY), LT_SUCCESS);
    EXPECT_EQ(canvas.Count(kWhite), 4);
    // A source reaching past the picture draws only the picture's part, at
    // the scale asked.
    const RECT beyond { 1, 0, 3, 2 };
    ASSERT_EQ(LtPaintDC(canvas.dc, &picture, &beyond, nullptr, &to, nullptr, SRCCOPY), LT_SUCCESS);
    EXPECT_EQ(canvas.At(0, 0), ColourAt(picture, 1, 0));
    EXPECT_EQ(canvas.At(1, 1), kWhite);
}

namespace {

struct Page {
    int width = 0;
    int height = 0;
    std::string rgb;
    COLORREF At(int x, int y) const
    {
        const size_t i = (size_t(y) * size_t(width) + size_t(x)) * 3;
        return RGB(BYTE(rgb[i]), BYTE(rgb[i + 1]), BYTE(rgb[i + 2]));
    }
};

bool ReadPpm(const std::string& path, Page& out)
{
    const std::string bytes = testing_support::ReadFileBytes(path);
    int maxValue = 0;
    int consumed = 0;
    if (std::sscanf(bytes.c_str(), "P6 %d %d %d%n", &out.width, &out.height, &maxValue, &consumed) != 3
        || maxValue != 255)
        return false;
    const size_t start = size_t(consumed) + 1;
    const size_t size = size_t(out.width) * size_t(out.height) * 3;
    if (bytes.size() < start + size)
        return false;
    out.rgb = bytes.substr(start, size);
    return true;
}

} // namespace

TEST_F(ImagingPaint, PrinterPageGetsThePictureMirroredClippedAndWithAlpha)
{
    if (std::system("pdftoppm -v > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    platform::InitFileSystem();
    const std::string folder = testing_support::MakeTempDir("paintpdf");
    HDC dc = CreateDC("WINSPOOL", "Test Printer", NULL, nullptr);
    ASSERT_NE(dc, nullptr);
    const std::string path = platform::WindowsPathFor(folder + "/page.pdf");
    DOCINFO di { sizeof(DOCINFO), "Paint", path.c_str(), nullptr, 0 };
    ASSERT_GT(StartDoc(dc, &di), 0);
    ASSERT_GT(StartPage(dc), 0);

    // 600 dots an inch; the page renders at 20 dpi, 30 dots a pixel, and the
    // printable area starts 5 pixels in. Quadrants of one inch each, of
    // 8 x 8 pixels: the page smooths them, so probes keep to their middles.
    LTBITMAP quadrants = Quadrants(8);
    const RECT straight { 0, 0, 1200, 1200 };
    ASSERT_EQ(LtPaintDC(dc, &quadrants, nullptr, nullptr, &straight, nullptr, SRCCOPY), LT_SUCCESS);
    const RECT mirrored { 3600, 0, 2400, 1200 };
    ASSERT_EQ(LtPaintDC(dc, &quadrants, nullptr, nullptr, &mirrored, nullptr, SRCCOPY), LT_SUCCESS);
    // A red band below a picture whose right half is transparent.
    Fill(dc, RECT { 0, 1800, 2400, 2400 }, kRed);
    LTBITMAP halfClear = Colours(1, 1, { kBlue }, 32);
    LtResizeBitmap(&halfClear, 16, 1, LT_RESIZE_NEAREST);
    for (int x = 8; x < 16; ++x)
        halfClear.Pixels[size_t(x) * 4 + 3] = 0;
    const RECT band { 0, 1800, 2400, 2400 };
    ASSERT_EQ(LtPaintDC(dc, &halfClear, nullptr, nullptr, &band, nullptr, SRCCOPY), LT_SUCCESS);
    // Clipped to its left half.
    const RECT low { 0, 3000, 1200, 3600 };
    const RECT clip { 0, 3000, 600, 3600 };
    ASSERT_EQ(LtPaintDC(dc, &quadrants, nullptr, nullptr, &low, &clip, SRCCOPY), LT_SUCCESS);
    ASSERT_GT(EndPage(dc), 0);
    ASSERT_GT(EndDoc(dc), 0);
    DeleteDC(dc);

    const std::string command = "pdftoppm -r 20 '" + folder + "/page.pdf' '" + folder + "/out' 2> /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    Page page;
    ASSERT_TRUE(ReadPpm(folder + "/out-1.ppm", page));
    auto at = [&](int x, int y) { return page.At(5 + x, 5 + y); };
    EXPECT_TRUE(Near(at(10, 10), kRed, 40)) << Describe(at(10, 10));
    EXPECT_TRUE(Near(at(30, 10), kGreen, 40)) << Describe(at(30, 10));
    EXPECT_TRUE(Near(at(10, 30), kBlue, 40)) << Describe(at(10, 30));
    EXPECT_TRUE(Near(at(30, 30), kYellow, 40)) << Describe(at(30, 30));
    // The mirrored copy (pixels 80 to 120) reads right to left.
    EXPECT_TRUE(Near(at(90, 10), kGreen, 40)) << Describe(at(90, 10));
    EXPECT_TRUE(Near(at(110, 10), kRed, 40)) << Describe(at(110, 10));
    EXPECT_TRUE(Near(at(90, 30), kYellow, 40)) << Describe(at(90, 30));
    EXPECT_TRUE(Near(at(110, 30), kBlue, 40)) << Describe(at(110, 30));
    EXPECT_TRUE(Near(at(60, 10), kWhite, 40)) << Describe(at(60, 10));
    EXPECT_TRUE(Near(at(130, 10), kWhite, 40)) << Describe(at(130, 10));
    EXPECT_TRUE(Near(at(10, 70), kBlue, 40)) << Describe(at(10, 70));
    EXPECT_TRUE(Near(at(70, 70), kRed, 40)) << Describe(at(70, 70));
    EXPECT_TRUE(Near(at(5, 105), kRed, 40)) << Describe(at(5, 105));
    EXPECT_TRUE(Near(at(30, 105), kWhite, 40)) << Describe(at(30, 105));
}
