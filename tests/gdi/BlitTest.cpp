// Copies between DCs: monochrome and colour conversions, nearest-pixel
// stretching and mirroring, mapping and clipping of the destination,
// overlapping copies, single pixels, printer pages and stale handles.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/internal/DeviceContext.h"
#include "platform/gdi/internal/GdiObjects.h"
#include "tests/gdi/DrawTestSupport.h"

#include <cairo/cairo.h> // the tests get no pkg-config include path
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using gditest::MemoryCanvas;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

void Put(MemoryCanvas& c, int x, int y, COLORREF color)
{
    platform::LookupBitmap(c.bitmap)->pixels.Row(y)[x] = platform::PixelFromColor(color);
}

// A canvas whose pixel (x, y) of a w x 1 row holds colour `0x10 * (x + 1)`
// in red, so positions can be told apart after stretching.
void Ramp(MemoryCanvas& c)
{
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
            Put(c, x, y, RGB(0x10 * (x + 1), 0x10 * (y + 1), 0));
}

int RedOf(MemoryCanvas& c, int x, int y)
{
    return GetRValue(c.At(x, y)) / 0x10 - 1;
}
int GreenOf(MemoryCanvas& c, int x, int y)
{
    return GetGValue(c.At(x, y)) / 0x10 - 1;
}

TEST(BlitTest, ColorToMonoMakesTheSourceBackgroundColourWhite)
{
    MemoryCanvas color(3, 1);
    Put(color, 0, 0, kGreen);
    Put(color, 1, 0, kRed);
    Put(color, 2, 0, kWhite);
    MemoryCanvas mono(3, 1, 1);
    SetBkColor(color.dc, kGreen);
    // The destination's colours play no part.
    SetBkColor(mono.dc, kRed);
    SetTextColor(mono.dc, kWhite);
    ASSERT_TRUE(BitBlt(mono.dc, 0, 0, 3, 1, color.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(kWhite, mono.At(0, 0));
    EXPECT_EQ(kBlack, mono.At(1, 0));
    EXPECT_EQ(kBlack, mono.At(2, 0));
}

TEST(BlitTest, MonoToColorUsesTheDestinationTextAndBackgroundColours)
{
    MemoryCanvas mono(2, 1, 1);
    Put(mono, 0, 0, kBlack);
    Put(mono, 1, 0, kWhite);
    MemoryCanvas color(2, 1);
    SetTextColor(color.dc, kRed);
    SetBkColor(color.dc, kBlue);
    SetTextColor(mono.dc, kGreen); // the source's colours play no part
    ASSERT_TRUE(BitBlt(color.dc, 0, 0, 2, 1, mono.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(kRed, color.At(0, 0));
    EXPECT_EQ(kBlue, color.At(1, 0));

    // The classic transparent-mask sequence: AND with the mask (white where
    // the picture is transparent), then XOR the picture in.
    MemoryCanvas target(2, 1);
    Put(target, 0, 0, kGreen);
    Put(target, 1, 0, kGreen);
    SetTextColor(target.dc, kBlack);
    SetBkColor(target.dc, kWhite);
    ASSERT_TRUE(BitBlt(target.dc, 0, 0, 2, 1, mono.dc, 0, 0, SRCAND));
    EXPECT_EQ(kBlack, target.At(0, 0));
    EXPECT_EQ(kGreen, target.At(1, 0));
}

TEST(BlitTest, MonoToMonoCopiesBitsUnchanged)
{
    MemoryCanvas a(2, 1, 1);
    Put(a, 0, 0, kBlack);
    Put(a, 1, 0, kWhite);
    MemoryCanvas b(2, 1, 1);
    SetTextColor(b.dc, kRed);
    ASSERT_TRUE(BitBlt(b.dc, 0, 0, 2, 1, a.dc, 0, 0, NOTSRCCOPY));
    EXPECT_EQ(kWhite, b.At(0, 0));
    EXPECT_EQ(kBlack, b.At(1, 0));
}

TEST(BlitTest, StretchBltEnlargesShrinksAndMirrorsByNearestPixel)
{
    MemoryCanvas src(4, 2);
    Ramp(src);

    MemoryCanvas big(8, 4);
    ASSERT_TRUE(StretchBlt(big.dc, 0, 0, 8, 4, src.dc, 0, 0, 4, 2, SRCCOPY));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) {
            EXPECT_EQ(x / 2, RedOf(big, x, y));
            EXPECT_EQ(y / 2, GreenOf(big, x, y));
        }

    // Halving keeps the pixels under the centres of the new ones.
    MemoryCanvas small(2, 1);
    ASSERT_TRUE(StretchBlt(small.dc, 0, 0, 2, 1, src.dc, 0, 0, 4, 2, SRCCOPY));
    EXPECT_EQ(1, RedOf(small, 0, 0));
    EXPECT_EQ(3, RedOf(small, 1, 0));
    EXPECT_EQ(1, GreenOf(small, 0, 0));

    // A negative destination width mirrors; negative on both sides does not.
    MemoryCanvas mirrored(4, 2);
    ASSERT_TRUE(StretchBlt(mirrored.dc, 3, 0, -4, 2, src.dc, 0, 0, 4, 2, SRCCOPY));
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(3 - x, RedOf(mirrored, x, 0));
    MemoryCanvas both(4, 2);
    ASSERT_TRUE(StretchBlt(both.dc, 3, 0, -4, 2, src.dc, 3, 0, -4, 2, SRCCOPY));
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(x, RedOf(both, x, 0));
    MemoryCanvas flipped(4, 2);
    ASSERT_TRUE(StretchBlt(flipped.dc, 0, 1, 4, -2, src.dc, 0, 0, 4, 2, SRCCOPY));
    EXPECT_EQ(1, GreenOf(flipped, 0, 0));
    EXPECT_EQ(0, GreenOf(flipped, 0, 1));

    EXPECT_EQ(BLACKONWHITE, GetStretchBltMode(big.dc));
    EXPECT_EQ(BLACKONWHITE, SetStretchBltMode(big.dc, COLORONCOLOR));
    EXPECT_EQ(COLORONCOLOR, GetStretchBltMode(big.dc));
}

TEST(BlitTest, BlitsFollowTheDestinationMappingAndClip)
{
    MemoryCanvas src(2, 2);
    Ramp(src);
    MemoryCanvas dst(10, 10);
    SetMapMode(dst.dc, MM_ANISOTROPIC);
    SetWindowExtEx(dst.dc, 1, 1, nullptr);
    SetViewportExtEx(dst.dc, 2, 2, nullptr);
    SetViewportOrgEx(dst.dc, 1, 1, nullptr);
    // Two logical pixels are four device pixels: BitBlt stretches.
    ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 2, 2, src.dc, 0, 0, SRCCOPY));
    EXPECT_TRUE(gditest::SameRect(RECT{1, 1, 5, 5}, dst.InkBox())) << dst.Picture(RECT{0, 0, 10, 10});
    EXPECT_EQ(1, RedOf(dst, 4, 1));

    MemoryCanvas clipped(6, 6);
    IntersectClipRect(clipped.dc, 2, 2, 4, 4);
    ASSERT_TRUE(PatBlt(clipped.dc, 0, 0, 6, 6, BLACKNESS));
    EXPECT_EQ(4, clipped.Count(kBlack));
    EXPECT_TRUE(gditest::SameRect(RECT{2, 2, 4, 4}, clipped.InkBox()));
}

TEST(BlitTest, OverlappingCopyInOneBitmapReadsTheOriginalPixels)
{
    MemoryCanvas c(6, 1);
    Ramp(c);
    ASSERT_TRUE(BitBlt(c.dc, 1, 0, 5, 1, c.dc, 0, 0, SRCCOPY));
    for (int x = 1; x < 6; ++x)
        EXPECT_EQ(x - 1, RedOf(c, x, 0));
    EXPECT_EQ(0, RedOf(c, 0, 0));
}

TEST(BlitTest, PixelsWithoutSourceAreLeftAlone)
{
    MemoryCanvas src(2, 2);
    Ramp(src);
    MemoryCanvas dst(4, 4);
    ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 4, 4, src.dc, -1, -1, SRCCOPY));
    EXPECT_TRUE(gditest::SameRect(RECT{1, 1, 3, 3}, dst.InkBox()));
}

TEST(BlitTest, LowDepthTargetsGetTheNearestTableColour)
{
    MemoryCanvas src(1, 1);
    Put(src, 0, 0, RGB(250, 10, 5));
    MemoryCanvas eight(1, 1, 8);
    ASSERT_TRUE(BitBlt(eight.dc, 0, 0, 1, 1, src.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(kRed, eight.At(0, 0));
}

TEST(BlitTest, GetAndSetPixelHonourMappingClipAndDepth)
{
    MemoryCanvas c(4, 4);
    EXPECT_EQ(kWhite, SetPixel(c.dc, 1, 2, kWhite));
    EXPECT_EQ(kRed, SetPixel(c.dc, 1, 2, kRed));
    EXPECT_EQ(kRed, GetPixel(c.dc, 1, 2));
    EXPECT_EQ(CLR_INVALID, GetPixel(c.dc, 4, 0));
    EXPECT_EQ(CLR_INVALID, SetPixel(c.dc, -1, 0, kRed));
    EXPECT_FALSE(SetPixelV(c.dc, 0, 9, kRed));

    SetViewportOrgEx(c.dc, 2, 2, nullptr);
    EXPECT_TRUE(SetPixelV(c.dc, 1, 1, kBlue));
    EXPECT_EQ(kBlue, c.At(3, 3));
    SetViewportOrgEx(c.dc, 0, 0, nullptr);
    IntersectClipRect(c.dc, 0, 0, 1, 1);
    EXPECT_EQ(CLR_INVALID, GetPixel(c.dc, 3, 3));

    MemoryCanvas mono(2, 1, 1);
    EXPECT_EQ(kWhite, SetPixel(mono.dc, 0, 0, RGB(200, 200, 200)));
    EXPECT_EQ(kBlack, SetPixel(mono.dc, 1, 0, RGB(40, 40, 40)));
}

TEST(BlitTest, StaleHandlesAreRefused)
{
    MemoryCanvas c(2, 2);
    HDC gone = CreateCompatibleDC(NULL);
    DeleteDC(gone);
    EXPECT_FALSE(BitBlt(gone, 0, 0, 1, 1, c.dc, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(c.dc, 0, 0, 1, 1, gone, 0, 0, SRCCOPY));
    EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
    EXPECT_FALSE(PatBlt(gone, 0, 0, 1, 1, PATCOPY));
    EXPECT_EQ(CLR_INVALID, GetPixel(gone, 0, 0));
    EXPECT_FALSE(SetPixelV(gone, 0, 0, kRed));
    EXPECT_FALSE(StretchBlt(c.dc, 0, 0, 1, 1, (HDC)(uintptr_t)0x1234, 0, 0, 1, 1, SRCCOPY));

    // A brush deleted while a saved state still names it paints as the stock
    // white brush once that state is back.
    HBRUSH red = CreateSolidBrush(kRed);
    HGDIOBJ old = SelectObject(c.dc, red);
    int saved = SaveDC(c.dc);
    SelectObject(c.dc, old);
    EXPECT_TRUE(DeleteObject(red));
    RestoreDC(c.dc, saved);
    Put(c, 0, 0, kBlack);
    ASSERT_TRUE(PatBlt(c.dc, 0, 0, 1, 1, PATCOPY));
    EXPECT_EQ(kWhite, c.At(0, 0));
}

TEST(BlitTest, BlitsReachPrinterPagesAsImages)
{
    cairo_surface_t* page = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 8, 8);
    cairo_t* cr = cairo_create(page);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    auto dc = std::make_unique<platform::DeviceContext>();
    dc->kind = platform::DcKind::Printer;
    dc->caps.technology = DT_RASPRINTER;
    dc->vector = cr;
    HDC printer = platform::AddDeviceContext(std::move(dc));

    MemoryCanvas mono(2, 2, 1);
    Put(mono, 0, 0, kBlack);
    SetTextColor(printer, kBlue);
    SetBkColor(printer, kGreen);
    ASSERT_TRUE(StretchBlt(printer, 0, 0, 4, 4, mono.dc, 0, 0, 2, 2, SRCCOPY));
    ASSERT_TRUE(PatBlt(printer, 6, 6, 2, 2, BLACKNESS));
    EXPECT_EQ(CLR_INVALID, GetPixel(printer, 0, 0));

    cairo_surface_flush(page);
    auto pixel = [&](int x, int y) {
        const unsigned char* data = cairo_image_surface_get_data(page);
        return reinterpret_cast<const uint32_t*>(data + y * cairo_image_surface_get_stride(page))[x] & 0xFFFFFF;
    };
    EXPECT_EQ(0x0000FFu, pixel(1, 1)); // black bits in the text colour
    EXPECT_EQ(0x00FF00u, pixel(3, 1)); // white bits in the background colour
    EXPECT_EQ(0x000000u, pixel(7, 7));
    EXPECT_EQ(0xFFFFFFu, pixel(5, 5));

    platform::RemoveDeviceContext(printer);
    cairo_destroy(cr);
    cairo_surface_destroy(page);
}

} // namespace
