// AlphaBlend on memory DCs and printer pages, and smooth stretching in the
// HALFTONE stretch mode.

#include "platform/files/FileSystem.h"
#include "platform/files/HostPath.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/PrinterDc.h"
#include "tests/gdi/DrawTestSupport.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

using gditest::MemoryCanvas;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

BLENDFUNCTION Blend(BYTE constant, BYTE format = 0)
{
    return BLENDFUNCTION{AC_SRC_OVER, 0, constant, format};
}

void Fill(HDC dc, RECT r, COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

// A 32-bit top-down DIB of BGRA pixels given as 0xAARRGGBB.
struct Dib32 {
    BITMAPINFO info{};
    std::vector<uint32_t> pixels;
    Dib32(int width, int height, std::vector<uint32_t> argb)
        : pixels(std::move(argb))
    {
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
    }
};

// A memory DC holding a bitmap made from the DIB, as a picture with alpha is
// made for blending.
class DibSource {
public:
    explicit DibSource(const Dib32& dib)
    {
        HDC screen = GetDC(NULL);
        bitmap = CreateDIBitmap(screen, &dib.info.bmiHeader, CBM_INIT, dib.pixels.data(), &dib.info, DIB_RGB_COLORS);
        ReleaseDC(NULL, screen);
        dc = CreateCompatibleDC(NULL);
        previous = SelectObject(dc, bitmap);
    }
    ~DibSource()
    {
        SelectObject(dc, previous);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    HDC dc = NULL;
    HBITMAP bitmap = NULL;
    HGDIOBJ previous = NULL;
};

TEST(AlphaBlendTest, ConstantAlphaMixesSourceAndDestination)
{
    MemoryCanvas src(4, 4);
    Fill(src.dc, RECT{0, 0, 4, 4}, kRed);
    struct Case {
        BYTE constant;
        COLORREF expected;
    };
    // Src * a / 255 + Dst * (1 - a / 255), rounded.
    for (Case c : {Case{255, kRed}, Case{128, RGB(128, 0, 127)}, Case{64, RGB(64, 0, 191)}, Case{0, kBlue}}) {
        MemoryCanvas dst(6, 6);
        Fill(dst.dc, RECT{0, 0, 6, 6}, kBlue);
        ASSERT_TRUE(AlphaBlend(dst.dc, 1, 1, 4, 4, src.dc, 0, 0, 4, 4, Blend(c.constant)));
        EXPECT_EQ(dst.At(1, 1), c.expected) << int(c.constant);
        EXPECT_EQ(dst.At(4, 4), c.expected) << int(c.constant);
        EXPECT_EQ(dst.At(0, 0), kBlue);
        EXPECT_EQ(dst.At(5, 5), kBlue);
    }
}

TEST(AlphaBlendTest, PerPixelAlphaIsPremultipliedAndCombinesWithTheConstant)
{
    // Opaque red, half-covered red (premultiplied 128), fully transparent,
    // and colour brighter than its alpha (kept within range).
    Dib32 dib(4, 1, {0xFFFF0000, 0x80800000, 0x00000000, 0x40FF0000});
    DibSource src(dib);
    MemoryCanvas dst(4, 1);
    Fill(dst.dc, RECT{0, 0, 4, 1}, kBlue);
    ASSERT_TRUE(AlphaBlend(dst.dc, 0, 0, 4, 1, src.dc, 0, 0, 4, 1, Blend(255, AC_SRC_ALPHA)));
    EXPECT_EQ(dst.At(0, 0), kRed);
    EXPECT_EQ(dst.At(1, 0), RGB(128, 0, 127));
    EXPECT_EQ(dst.At(2, 0), kBlue);
    EXPECT_EQ(dst.At(3, 0), RGB(255, 0, 191));

    // Both at once: the constant scales the premultiplied pixel, alpha too.
    Fill(dst.dc, RECT{0, 0, 4, 1}, kBlue);
    ASSERT_TRUE(AlphaBlend(dst.dc, 0, 0, 4, 1, src.dc, 0, 0, 4, 1, Blend(128, AC_SRC_ALPHA)));
    EXPECT_EQ(dst.At(0, 0), RGB(128, 0, 127));
    EXPECT_EQ(dst.At(1, 0), RGB(64, 0, 191));
    EXPECT_EQ(dst.At(2, 0), kBlue);

    // Without AC_SRC_ALPHA the alpha bytes are ignored.
    Fill(dst.dc, RECT{0, 0, 4, 1}, kBlue);
    ASSERT_TRUE(AlphaBlend(dst.dc, 0, 0, 4, 1, src.dc, 0, 0, 4, 1, Blend(255)));
    EXPECT_EQ(dst.At(1, 0), RGB(128, 0, 0));
    EXPECT_EQ(dst.At(2, 0), RGB(0, 0, 0));
}

TEST(AlphaBlendTest, BitmapsKeepTheAlphaOfTheirDib)
{
    Dib32 dib(2, 2, {0xFF102030, 0x80404040, 0x00000000, 0x20101010});
    DibSource src(dib);
    Dib32 back(2, 2, {0, 0, 0, 0});
    ASSERT_EQ(GetDIBits(src.dc, src.bitmap, 0, 2, back.pixels.data(), &back.info, DIB_RGB_COLORS), 2);
    EXPECT_EQ(back.pixels, dib.pixels);

    // A DIB whose alpha bytes are all zero makes an opaque bitmap.
    Dib32 plain(1, 1, {0x00FF0000});
    DibSource opaque(plain);
    MemoryCanvas dst(1, 1);
    Fill(dst.dc, RECT{0, 0, 1, 1}, kBlue);
    ASSERT_TRUE(AlphaBlend(dst.dc, 0, 0, 1, 1, opaque.dc, 0, 0, 1, 1, Blend(255, AC_SRC_ALPHA)));
    EXPECT_EQ(dst.At(0, 0), kRed);
}

TEST(AlphaBlendTest, StretchesClipsAndFollowsTheMappings)
{
    // A 2 x 2 source: red, white / white, red.
    MemoryCanvas src(2, 2);
    Fill(src.dc, RECT{0, 0, 2, 2}, kWhite);
    SetPixel(src.dc, 0, 0, kRed);
    SetPixel(src.dc, 1, 1, kRed);

    MemoryCanvas dst(8, 8);
    Fill(dst.dc, RECT{0, 0, 8, 8}, kBlue);
    ASSERT_TRUE(AlphaBlend(dst.dc, 0, 0, 8, 8, src.dc, 0, 0, 2, 2, Blend(255)));
    EXPECT_EQ(dst.Count(kRed, RECT{0, 0, 4, 4}), 16);
    EXPECT_EQ(dst.Count(kWhite, RECT{4, 0, 8, 4}), 16);
    EXPECT_EQ(dst.Count(kRed, RECT{4, 4, 8, 8}), 16);

    // Only the clip is touched.
    Fill(dst.dc, RECT{0, 0, 8, 8}, kBlue);
    IntersectClipRect(dst.dc, 2, 2, 6, 6);
    ASSERT_TRUE(AlphaBlend(dst.dc, 0, 0, 8, 8, src.dc, 0, 0, 2, 2, Blend(255)));
    SelectClipRgn(dst.dc, NULL);
    EXPECT_EQ(dst.Count(kBlue), 64 - 16);
    EXPECT_EQ(dst.At(2, 2), kRed);
    EXPECT_EQ(dst.At(5, 2), kWhite);

    // A mapping that turns the x axis mirrors the picture; logical units
    // are scaled like any other drawing.
    Fill(dst.dc, RECT{0, 0, 8, 8}, kBlue);
    SetMapMode(dst.dc, MM_ANISOTROPIC);
    SetWindowExtEx(dst.dc, 1, 1, NULL);
    SetViewportExtEx(dst.dc, -2, 2, NULL);
    SetViewportOrgEx(dst.dc, 7, 0, NULL);
    ASSERT_TRUE(AlphaBlend(dst.dc, 0, 0, 4, 4, src.dc, 0, 0, 2, 2, Blend(255)));
    EXPECT_EQ(dst.Count(kWhite, RECT{0, 0, 4, 4}), 16);
    EXPECT_EQ(dst.Count(kRed, RECT{4, 0, 8, 4}), 16);
    EXPECT_EQ(dst.Count(kRed, RECT{0, 4, 4, 8}), 16);
}

TEST(AlphaBlendTest, RefusesWhatTheCallCannotMean)
{
    MemoryCanvas src(4, 4);
    MemoryCanvas dst(4, 4);
    Fill(dst.dc, RECT{0, 0, 4, 4}, kBlue);
    // Negative extents (no mirroring by sign), a source reaching outside its
    // bitmap, an unknown operation or flag.
    EXPECT_FALSE(AlphaBlend(dst.dc, 4, 0, -4, 4, src.dc, 0, 0, 4, 4, Blend(255)));
    EXPECT_FALSE(AlphaBlend(dst.dc, 0, 0, 4, 4, src.dc, 0, 0, -4, 4, Blend(255)));
    EXPECT_FALSE(AlphaBlend(dst.dc, 0, 0, 4, 4, src.dc, 1, 0, 4, 4, Blend(255)));
    EXPECT_FALSE(AlphaBlend(dst.dc, 0, 0, 4, 4, src.dc, 0, 0, 4, 4, BLENDFUNCTION{1, 0, 255, 0}));
    EXPECT_FALSE(AlphaBlend(dst.dc, 0, 0, 4, 4, src.dc, 0, 0, 4, 4, BLENDFUNCTION{AC_SRC_OVER, 1, 255, 0}));
    EXPECT_FALSE(AlphaBlend(dst.dc, 0, 0, 4, 4, NULL, 0, 0, 4, 4, Blend(255)));
    // Per-pixel alpha needs a 32-bit source.
    MemoryCanvas grey(4, 4, 8);
    EXPECT_FALSE(AlphaBlend(dst.dc, 0, 0, 4, 4, grey.dc, 0, 0, 4, 4, Blend(255, AC_SRC_ALPHA)));
    // One bitmap as both source and destination, overlapping.
    EXPECT_FALSE(AlphaBlend(dst.dc, 1, 1, 2, 2, dst.dc, 0, 0, 2, 2, Blend(128)));
    EXPECT_TRUE(AlphaBlend(dst.dc, 2, 2, 2, 2, dst.dc, 0, 0, 2, 2, Blend(128)));
    EXPECT_EQ(dst.Count(kBlue), 16);

    // A DC with nothing to draw on succeeds and draws nothing; a source
    // without pixels is refused.
    HDC info = CreateIC("DISPLAY", NULL, NULL, NULL);
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(AlphaBlend(info, 0, 0, 4, 4, src.dc, 0, 0, 4, 4, Blend(128)));
    EXPECT_FALSE(AlphaBlend(dst.dc, 0, 0, 4, 4, info, 0, 0, 4, 4, Blend(128)));
    DeleteDC(info);
}

TEST(AlphaBlendTest, LowDepthDestinationKeepsItsOwnColours)
{
    MemoryCanvas src(2, 2);
    Fill(src.dc, RECT{0, 0, 2, 2}, kRed);
    MemoryCanvas dst(2, 2, 1);
    ASSERT_TRUE(AlphaBlend(dst.dc, 0, 0, 2, 2, src.dc, 0, 0, 2, 2, Blend(40)));
    // White with a little red is nearer white than black.
    EXPECT_EQ(dst.Count(kWhite), 4);
}

// ---- Smooth stretching ------------------------------------------------------

// The distinct colours in a rectangle of the canvas.
std::set<COLORREF> Colours(const MemoryCanvas& c, RECT r)
{
    std::set<COLORREF> out;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            out.insert(c.At(x, y));
    return out;
}

TEST(AlphaBlendTest, HalftoneStretchingIsSmoothAndOtherModesAreNot)
{
    // A 2 x 2 checker of black and white grown sixteen times.
    MemoryCanvas checker(2, 2);
    Fill(checker.dc, RECT{0, 0, 2, 2}, kWhite);
    SetPixel(checker.dc, 0, 0, RGB(0, 0, 0));
    SetPixel(checker.dc, 1, 1, RGB(0, 0, 0));
    const BYTE bits[] = {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0, 0, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0, 0};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 2;
    info.bmiHeader.biHeight = 2;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;

    for (int mode : {COLORONCOLOR, HALFTONE}) {
        MemoryCanvas blit(32, 32);
        MemoryCanvas dib(32, 32);
        SetStretchBltMode(blit.dc, mode);
        SetStretchBltMode(dib.dc, mode);
        ASSERT_TRUE(StretchBlt(blit.dc, 0, 0, 32, 32, checker.dc, 0, 0, 2, 2, SRCCOPY));
        ASSERT_EQ(StretchDIBits(dib.dc, 0, 0, 32, 32, 0, 0, 2, 2, bits, &info, DIB_RGB_COLORS, SRCCOPY), 2);
        for (const MemoryCanvas* c : {&blit, &dib}) {
            std::set<COLORREF> colours = Colours(*c, RECT{0, 0, 32, 32});
            if (mode == HALFTONE) {
                EXPECT_GT(colours.size(), 4u) << "a ramp between black and white";
                // The corners keep the source's own colours.
                EXPECT_LT(GetRValue(c->At(0, 0)), 32);
                EXPECT_GT(GetRValue(c->At(31, 0)), 223);
                EXPECT_LT(GetRValue(c->At(31, 31)), 32);
            } else {
                EXPECT_EQ(colours, (std::set<COLORREF>{RGB(0, 0, 0), kWhite}));
            }
        }
    }

    // Smoothing honours the clip and mirroring.
    MemoryCanvas clipped(32, 32);
    SetStretchBltMode(clipped.dc, HALFTONE);
    IntersectClipRect(clipped.dc, 8, 8, 24, 24);
    ASSERT_TRUE(StretchBlt(clipped.dc, 31, 0, -32, 32, checker.dc, 0, 0, 2, 2, SRCCOPY));
    EXPECT_EQ(Colours(clipped, RECT{0, 0, 32, 8}), std::set<COLORREF>{kWhite});
    EXPECT_GT(GetRValue(clipped.At(9, 9)), 160);
    EXPECT_LT(GetRValue(clipped.At(22, 9)), 96);
}

// ---- Printer pages ------------------------------------------------------------

struct Page {
    int width = 0;
    int height = 0;
    std::string rgb;
    COLORREF At(int x, int y) const
    {
        size_t i = (size_t(y) * size_t(width) + size_t(x)) * 3;
        return RGB(BYTE(rgb[i]), BYTE(rgb[i + 1]), BYTE(rgb[i + 2]));
    }
};

bool ReadPpm(const std::string& path, Page& out)
{
    std::string bytes = testing_support::ReadFileBytes(path);
    int maxValue = 0;
    int consumed = 0;
    if (std::sscanf(bytes.c_str(), "P6 %d %d %d%n", &out.width, &out.height, &maxValue, &consumed) != 3 || maxValue != 255)
        return false;
    size_t start = size_t(consumed) + 1;
    size_t size = size_t(out.width) * size_t(out.height) * 3;
    if (bytes.size() < start + size)
        return false;
    out.rgb = bytes.substr(start, size);
    return true;
}

bool Near(COLORREF a, COLORREF b, int tolerance = 6)
{
    auto d = [tolerance](int x, int y) { return std::abs(x - y) <= tolerance; };
    return d(GetRValue(a), GetRValue(b)) && d(GetGValue(a), GetGValue(b)) && d(GetBValue(a), GetBValue(b));
}

std::string Describe(COLORREF c)
{
    return std::to_string(GetRValue(c)) + "," + std::to_string(GetGValue(c)) + "," + std::to_string(GetBValue(c));
}

class AlphaBlendPdfTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (std::system("pdftoppm -v > /dev/null 2>&1") != 0)
            GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
        platform::InitFileSystem();
        folder = testing_support::MakeTempDir("alphapdf");
        dc = CreateDC("WINSPOOL", "Test Printer", NULL, nullptr);
        ASSERT_NE(dc, nullptr);
        std::string path = platform::WindowsPathFor(folder + "/page.pdf");
        DOCINFO di{sizeof(DOCINFO), "Blend", path.c_str(), nullptr, 0};
        ASSERT_GT(StartDoc(dc, &di), 0);
        ASSERT_GT(StartPage(dc), 0);
    }
    void TearDown() override
    {
        if (dc)
            DeleteDC(dc);
    }
    // Ends the document and renders its page at 20 dpi (30 printer dots a
    // pixel; the printable area starts 5 pixels in).
    Page Render()
    {
        Page page;
        EXPECT_GT(EndPage(dc), 0);
        EXPECT_GT(EndDoc(dc), 0);
        std::string command = "pdftoppm -r 20 '" + folder + "/page.pdf' '" + folder + "/out' 2> /dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0);
        EXPECT_TRUE(ReadPpm(folder + "/out-1.ppm", page));
        return page;
    }
    std::string folder;
    HDC dc = NULL;
};

TEST_F(AlphaBlendPdfTest, ConstantAndPerPixelAlphaShowWhatLiesBelow)
{
    // A blue band across the top half of two inches; red blended over it at
    // half strength, then a picture whose right half is transparent.
    Fill(dc, RECT{0, 0, 2400, 600}, kBlue);
    MemoryCanvas red(4, 4);
    Fill(red.dc, RECT{0, 0, 4, 4}, kRed);
    ASSERT_TRUE(AlphaBlend(dc, 0, 0, 1200, 1200, red.dc, 0, 0, 4, 4, Blend(128)));
    Dib32 dib(2, 1, {0xFFFF0000, 0x00000000});
    DibSource half(dib);
    ASSERT_TRUE(AlphaBlend(dc, 1200, 0, 1200, 1200, half.dc, 0, 0, 2, 1, Blend(255, AC_SRC_ALPHA)));
    // Clipped: nothing lands outside the clip.
    IntersectClipRect(dc, 0, 1800, 600, 2400);
    ASSERT_TRUE(AlphaBlend(dc, 0, 1800, 1200, 600, red.dc, 0, 0, 4, 4, Blend(255)));

    Page page = Render();
    ASSERT_GT(page.width, 60);
    EXPECT_TRUE(Near(page.At(5 + 10, 5 + 10), RGB(128, 0, 127))) << Describe(page.At(15, 15));
    EXPECT_TRUE(Near(page.At(5 + 10, 5 + 30), RGB(255, 127, 127))) << Describe(page.At(15, 35));
    EXPECT_TRUE(Near(page.At(5 + 50, 5 + 10), kRed)) << Describe(page.At(55, 15));
    EXPECT_TRUE(Near(page.At(5 + 70, 5 + 10), kBlue)) << Describe(page.At(75, 15));
    EXPECT_TRUE(Near(page.At(5 + 70, 5 + 30), kWhite)) << Describe(page.At(75, 35));
    EXPECT_TRUE(Near(page.At(5 + 10, 5 + 65), kRed)) << Describe(page.At(15, 70));
    EXPECT_TRUE(Near(page.At(5 + 30, 5 + 65), kWhite)) << Describe(page.At(35, 70));
}

TEST_F(AlphaBlendPdfTest, StretchedDibGoesIntoThePageAtItsOwnResolution)
{
    if (std::system("pdfimages -v > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdfimages (poppler-utils) is not installed";
    const BYTE bits[] = {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0, 0, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0, 0};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 2;
    info.bmiHeader.biHeight = 2;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    SetStretchBltMode(dc, HALFTONE);
    ASSERT_EQ(StretchDIBits(dc, 0, 0, 2400, 2400, 0, 0, 2, 2, bits, &info, DIB_RGB_COLORS, SRCCOPY), 2);
    Page page = Render();
    EXPECT_TRUE(Near(page.At(5 + 4, 5 + 4), RGB(0, 0, 0), 48)) << Describe(page.At(9, 9));
    EXPECT_TRUE(Near(page.At(5 + 76, 5 + 4), kWhite, 48)) << Describe(page.At(81, 9));

    std::string list = folder + "/images.txt";
    std::string command = "pdfimages -list '" + folder + "/page.pdf' > '" + list + "' 2> /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::string text = testing_support::ReadFileBytes(list);
    // A header, a rule, then one line: the image two pixels square, marked
    // for smoothing.
    std::vector<std::string> lines;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        lines.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
        at = end == std::string::npos ? text.size() : end + 1;
    }
    ASSERT_EQ(lines.size(), 3u) << text;
    int pageNumber = 0, number = 0, width = 0, height = 0;
    char interp[8] = {};
    ASSERT_EQ(std::sscanf(lines[2].c_str(), "%d %d image %d %d %*s %*d %*d %*s %7s", &pageNumber, &number, &width,
                  &height, interp),
        5)
        << text;
    EXPECT_EQ(width, 2);
    EXPECT_EQ(height, 2);
    EXPECT_STREQ(interp, "yes");
}

} // namespace
