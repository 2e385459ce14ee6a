// Device-dependent bitmaps: creation at each depth, their bits in the
// device layout, compatible formats and refused sizes, the system
// check-box bitmap and bitmaps loaded from resources.

#include "platform/base/ResourceTables.h"
#include "platform/base/Resources.h"
#include "platform/gdi/GdiObject.h"
#include "platform/gdi/internal/GdiObjects.h"
#include "tests/gdi/DrawTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using gditest::MemoryCanvas;

uint32_t PixelOf(HBITMAP h, int x, int y)
{
    return platform::LookupBitmap(h)->pixels.Row(y)[x];
}

BITMAP Describe(HBITMAP h)
{
    BITMAP bm{};
    EXPECT_EQ(int(sizeof bm), GetObject(h, sizeof bm, &bm));
    return bm;
}

TEST(BitmapTest, MonochromeBitsAreWordPaddedRowsWithOneForWhite)
{
    // 10 pixels: two bytes a row, padded to a word.
    const uint8_t bits[4] = {0x80, 0x40, 0xFF, 0xC0};
    HBITMAP h = CreateBitmap(10, 2, 1, 1, bits);
    ASSERT_NE(nullptr, h);
    BITMAP bm = Describe(h);
    EXPECT_EQ(10, bm.bmWidth);
    EXPECT_EQ(2, bm.bmWidthBytes);
    EXPECT_EQ(1, bm.bmBitsPixel);
    EXPECT_EQ(0xFFFFFFu, PixelOf(h, 0, 0));
    EXPECT_EQ(0x000000u, PixelOf(h, 1, 0));
    EXPECT_EQ(0xFFFFFFu, PixelOf(h, 9, 0));
    EXPECT_EQ(0x000000u, PixelOf(h, 8, 0));
    EXPECT_EQ(0xFFFFFFu, PixelOf(h, 9, 1));

    uint8_t back[4] = {};
    EXPECT_EQ(4, GetBitmapBits(h, sizeof back, back));
    EXPECT_EQ(0, std::memcmp(bits, back, 4));
    EXPECT_EQ(4, GetBitmapBits(h, 0, nullptr));

    // A short buffer sets whole rows and the start of the next; the rest of
    // that row keeps its pixels.
    const uint8_t more[3] = {0x00, 0x00, 0x7F};
    EXPECT_EQ(3, SetBitmapBits(h, sizeof more, more));
    EXPECT_EQ(0x000000u, PixelOf(h, 0, 0));
    EXPECT_EQ(0x000000u, PixelOf(h, 0, 1));
    EXPECT_EQ(0xFFFFFFu, PixelOf(h, 1, 1));
    EXPECT_EQ(0xFFFFFFu, PixelOf(h, 9, 1));
    DeleteObject(h);
}

TEST(BitmapTest, DeeperBitsRoundTripInTheirOwnLayouts)
{
    // 8 bpp indexes the default table: 249 is the static red.
    const uint8_t indexes[4] = {249, 0, 255, 7};
    HBITMAP eight = CreateBitmap(3, 1, 1, 8, indexes);
    EXPECT_EQ(0xFF0000u, PixelOf(eight, 0, 0));
    EXPECT_EQ(0x000000u, PixelOf(eight, 1, 0));
    EXPECT_EQ(0xFFFFFFu, PixelOf(eight, 2, 0));
    uint8_t back[4] = {};
    EXPECT_EQ(4, GetBitmapBits(eight, 4, back));
    EXPECT_EQ(0, std::memcmp(indexes, back, 3));

    const uint8_t bgr[8] = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0, 0};
    HBITMAP rgb = CreateBitmap(2, 1, 1, 24, bgr);
    EXPECT_EQ(0x302010u, PixelOf(rgb, 0, 0));
    EXPECT_EQ(0x605040u, PixelOf(rgb, 1, 0));

    const uint16_t fives[2] = {0x7C00, 0x001F};
    HBITMAP sixteen = CreateBitmap(2, 1, 1, 16, fives);
    EXPECT_EQ(0xFF0000u, PixelOf(sixteen, 0, 0));
    EXPECT_EQ(0x0000FFu, PixelOf(sixteen, 1, 0));
    uint16_t fivesBack[2] = {};
    GetBitmapBits(sixteen, 4, fivesBack);
    EXPECT_EQ(0x7C00, fivesBack[0]);

    BITMAP bm{0, 4, 2, 8, 1, 8, nullptr};
    HBITMAP indirect = CreateBitmapIndirect(&bm);
    EXPECT_EQ(8, Describe(indirect).bmBitsPixel);
    for (HBITMAP h : {eight, rgb, sixteen, indirect})
        DeleteObject(h);
}

TEST(BitmapTest, SizesAndFormatsThatMakeNoSenseAreRefused)
{
    EXPECT_EQ(nullptr, CreateBitmap(-1, 4, 1, 1, nullptr));
    EXPECT_EQ(nullptr, CreateBitmap(4, 4, 2, 1, nullptr));
    EXPECT_EQ(nullptr, CreateBitmap(4, 4, 1, 3, nullptr));
    EXPECT_EQ(nullptr, CreateBitmap(100000, 100000, 1, 32, nullptr));
    // An empty size gives the 1 x 1 monochrome bitmap.
    HBITMAP empty = CreateBitmap(0, 5, 1, 32, nullptr);
    ASSERT_NE(nullptr, empty);
    EXPECT_EQ(1, Describe(empty).bmWidth);
    EXPECT_EQ(1, Describe(empty).bmBitsPixel);

    HDC screen = GetDC(NULL);
    EXPECT_EQ(nullptr, CreateCompatibleBitmap(screen, 30000, 30000));
    EXPECT_EQ(nullptr, CreateCompatibleBitmap(screen, -5, 5));
    EXPECT_EQ(1, Describe(CreateCompatibleBitmap(screen, 0, 0)).bmBitsPixel);
    HBITMAP gone = CreateBitmap(1, 1, 1, 1, nullptr);
    DeleteObject(gone);
    EXPECT_EQ(0, GetBitmapBits(gone, 0, nullptr));
    EXPECT_EQ(0, SetBitmapBits(gone, 1, "x"));
    ReleaseDC(NULL, screen);
}

TEST(BitmapTest, CompatibleBitmapsTakeTheDcsFormat)
{
    HDC screen = GetDC(NULL);
    HBITMAP wide = CreateCompatibleBitmap(screen, 5, 3);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), Describe(wide).bmBitsPixel);

    // A new memory DC holds the 1 x 1 monochrome bitmap, so a bitmap made
    // for it is monochrome too; with a colour bitmap selected, colour.
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP mono = CreateCompatibleBitmap(memory, 5, 3);
    EXPECT_EQ(1, Describe(mono).bmBitsPixel);
    HGDIOBJ old = SelectObject(memory, wide);
    HBITMAP colour = CreateCompatibleBitmap(memory, 2, 2);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), Describe(colour).bmBitsPixel);

    MemoryCanvas eight(2, 2, 8);
    HBITMAP indexed = CreateCompatibleBitmap(eight.dc, 2, 2);
    EXPECT_EQ(8, Describe(indexed).bmBitsPixel);
    EXPECT_EQ(256u, platform::LookupBitmap(indexed)->colorTable.size());

    SelectObject(memory, old);
    for (HBITMAP h : {wide, mono, colour, indexed})
        DeleteObject(h);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
}

TEST(BitmapTest, CheckBoxBitmapHasFourColumnsOfThreeRowsOf13PixelCells)
{
    HBITMAP boxes = LoadBitmap(NULL, MAKEINTRESOURCE(OBM_CHECKBOXES));
    ASSERT_NE(nullptr, boxes);
    BITMAP bm = Describe(boxes);
    EXPECT_EQ(52, bm.bmWidth);
    EXPECT_EQ(39, bm.bmHeight);
    auto inkInCell = [&](int col, int row) {
        int n = 0;
        for (int y = 3; y < 10; ++y)
            for (int x = 3; x < 10; ++x)
                n += PixelOf(boxes, col * 13 + x, row * 13 + y) == 0;
        return n;
    };
    EXPECT_EQ(0, inkInCell(0, 0));   // unchecked
    EXPECT_GT(inkInCell(1, 0), 15);  // checked
    EXPECT_EQ(0xFFFFFFu, PixelOf(boxes, 6, 6));
    EXPECT_EQ(0xC0C0C0u, PixelOf(boxes, 2 * 13 + 6, 6)); // pushed: grey inside
    EXPECT_EQ(0x808080u, PixelOf(boxes, 0, 0));          // sunken frame
    EXPECT_GT(inkInCell(1, 1), 8);   // the radio button's dot
    EXPECT_EQ(0, inkInCell(0, 1));

    CBitmap wrapper;
    EXPECT_TRUE(wrapper.LoadOEMBitmap(OBM_CHECKBOXES));
    EXPECT_EQ(nullptr, LoadBitmap(NULL, MAKEINTRESOURCE(32000)));
    DeleteObject(boxes);
}

// Two bitmap resources of our own in the support module: a 2 x 1 24-bit
// DIB and a 1-bit one, plus one whose header is damaged.
struct PackedDib {
    BITMAPINFOHEADER header{sizeof(BITMAPINFOHEADER), 2, 1, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    uint8_t bits[8] = {0, 0, 255, 255, 0, 0, 0, 0};
};
struct PackedMono {
    BITMAPINFOHEADER header{sizeof(BITMAPINFOHEADER), 3, 1, 1, 1, BI_RGB, 0, 0, 0, 0, 0};
    RGBQUAD colors[2] = {{255, 255, 255, 0}, {0, 0, 0, 0}}; // white, black: inverted
    uint8_t bits[4] = {0x40, 0, 0, 0};
};
const PackedDib kColour;
const PackedMono kMono;
const PackedDib kDamaged = [] {
    PackedDib d;
    d.header.biBitCount = 12;
    return d;
}();
const platform::ResourceEntry kEntries[] = {
    {nullptr, 2, nullptr, 61001, &kColour, sizeof kColour},
    {nullptr, 2, "MONOTEST", 0, &kMono, sizeof kMono},
    {nullptr, 2, nullptr, 61002, &kDamaged, sizeof kDamaged},
};

TEST(BitmapTest, LoadBitmapReadsPackedDibResourcesByIdAndName)
{
    platform::RegisterResourceModule(
        platform::ResourceModule::Support, platform::ResourceTable{kEntries, 3, nullptr, 0});
    HINSTANCE support = platform::GetResourceModuleHandle(platform::ResourceModule::Support);

    HBITMAP colour = LoadBitmap(support, MAKEINTRESOURCE(61001));
    ASSERT_NE(nullptr, colour);
    EXPECT_EQ(0xFF0000u, PixelOf(colour, 0, 0));
    EXPECT_EQ(0x0000FFu, PixelOf(colour, 1, 0));

    HBITMAP mono = LoadBitmap(support, "monotest");
    ASSERT_NE(nullptr, mono);
    EXPECT_EQ(1, Describe(mono).bmBitsPixel);
    EXPECT_EQ(0xFFFFFFu, PixelOf(mono, 0, 0));
    EXPECT_EQ(0x000000u, PixelOf(mono, 1, 0));

    EXPECT_EQ(nullptr, LoadBitmap(support, MAKEINTRESOURCE(61002)));
    EXPECT_EQ(nullptr, LoadBitmap(support, MAKEINTRESOURCE(61003)));

    // The class library looks in the resource module, then the program's,
    // then the support module.
    CBitmap wrapper;
    EXPECT_TRUE(wrapper.LoadBitmap(61001));
    DeleteObject(colour);
    DeleteObject(mono);
}

} // namespace
