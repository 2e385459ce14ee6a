#include "app/BitmapHelpers.h"
#include "platform/base/ResourceTables.h"
#include "platform/base/Resources.h"
#include "platform/gdi/Dc.h"
#include "resources/Resources.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// A memory DC that selects a bitmap for reading or drawing its pixels.
class BitmapView {
public:
    explicit BitmapView(CBitmap& bitmap)
    {
        dc.CreateCompatibleDC(nullptr);
        old = dc.SelectObject(&bitmap);
    }
    ~BitmapView() { dc.SelectObject(old); }
    CDC dc;
    CBitmap* old;
};

// A 32-bit w x h bitmap: the left half red, the right half blue, and a white
// top row, so that copies and tiles show where they came from.
void MakeSample(CBitmap& bitmap, int w, int h)
{
    std::vector<DWORD> bits(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            bits[size_t(y) * w + x] = y == 0 ? 0x00FFFFFF : x < w / 2 ? 0x00FF0000 : 0x000000FF;
    bitmap.CreateBitmap(w, h, 1, 32, bits.data());
}

TEST(BitmapHelpers, CopiesKeepSizeFormatAndBits)
{
    CBitmap source;
    MakeSample(source, 8, 4);
    CBitmap copy;
    copy.CreateBitmap(2, 2, 1, 1, nullptr); // replaced by the copy
    ASSERT_TRUE(CopyBitmap(copy, source));
    BITMAP bm;
    copy.GetBitmap(&bm);
    EXPECT_EQ(bm.bmWidth, 8);
    EXPECT_EQ(bm.bmHeight, 4);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    BitmapView view(copy);
    EXPECT_EQ(view.dc.GetPixel(0, 0), kWhite);
    EXPECT_EQ(view.dc.GetPixel(1, 2), kRed);
    EXPECT_EQ(view.dc.GetPixel(6, 3), kBlue);

    CBitmap mono;
    BYTE rows[4] = {0xF0, 0, 0x0F, 0};
    mono.CreateBitmap(8, 2, 1, 1, rows);
    CBitmap monoCopy;
    ASSERT_TRUE(CopyBitmap(monoCopy, mono));
    BYTE back[4] = {};
    EXPECT_EQ(monoCopy.GetBitmapBits(4, back), 4u);
    EXPECT_EQ(std::memcmp(rows, back, 4), 0);

    CBitmap empty, target;
    EXPECT_FALSE(CopyBitmap(target, empty));
}

TEST(BitmapHelpers, StretchAndPartMakeNewBitmaps)
{
    CBitmap source;
    MakeSample(source, 8, 4);
    CBitmap big;
    big.Attach(StretchBitmap(&source, 16, 8));
    ASSERT_NE(big.GetSafeHandle(), nullptr);
    EXPECT_EQ(GetBitmapSize(&big), CSize(16, 8));
    {
        BitmapView view(big);
        EXPECT_EQ(view.dc.GetPixel(3, 1), kWhite);
        EXPECT_EQ(view.dc.GetPixel(7, 5), kRed);
        EXPECT_EQ(view.dc.GetPixel(8, 5), kBlue);
    }
    // The right half below the white row.
    CBitmap part;
    part.Attach(CopyBitmapPart(&source, 0.5, 0.25, 0.5, 0.75));
    ASSERT_NE(part.GetSafeHandle(), nullptr);
    EXPECT_EQ(GetBitmapSize(&part), CSize(4, 3));
    BitmapView view(part);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(view.dc.GetPixel(x, y), kBlue) << x << "," << y;
    EXPECT_EQ(CopyBitmapPart(&source, 0, 0, 0, 1), nullptr);
}

TEST(BitmapHelpers, DrawBitmapUnscaledOrStretched)
{
    CBitmap source, canvas;
    MakeSample(source, 8, 4);
    canvas.CreateBitmap(40, 20, 1, 32, nullptr);
    BitmapView target(canvas);
    RECT r{10, 10, 30, 18};
    EXPECT_TRUE(DrawBitmap(&target.dc, &source, &r));
    EXPECT_EQ(target.dc.GetPixel(10, 11), kRed);
    EXPECT_EQ(target.dc.GetPixel(17, 11), kBlue);
    EXPECT_EQ(target.dc.GetPixel(18, 11), RGB(0, 0, 0)); // past the bitmap
    EXPECT_TRUE(DrawBitmapStretched(&target.dc, &source, &r));
    EXPECT_EQ(target.dc.GetPixel(19, 15), kRed);
    EXPECT_EQ(target.dc.GetPixel(20, 15), kBlue);
    EXPECT_EQ(target.dc.GetPixel(29, 17), kBlue);
    EXPECT_EQ(target.dc.GetPixel(30, 17), RGB(0, 0, 0));
}

TEST(BitmapHelpers, TilesStartAtTheOriginLessTheScroll)
{
    CBitmap tile, canvas;
    MakeSample(tile, 4, 2); // columns 0-1 red, 2-3 blue; row 0 white
    canvas.CreateBitmap(20, 10, 1, 32, nullptr);
    BitmapView target(canvas);

    RECT area{2, 2, 12, 8};
    TileBitmap(nullptr, &target.dc, &tile, nullptr, &area);
    EXPECT_EQ(target.dc.GetPixel(2, 2), kWhite);
    EXPECT_EQ(target.dc.GetPixel(2, 3), kRed);
    EXPECT_EQ(target.dc.GetPixel(4, 3), kBlue);
    EXPECT_EQ(target.dc.GetPixel(6, 5), kRed);
    EXPECT_EQ(target.dc.GetPixel(9, 7), kBlue);
    EXPECT_EQ(target.dc.GetPixel(11, 7), kRed);
    // Clipped to the rectangle.
    EXPECT_EQ(target.dc.GetPixel(12, 3), RGB(0, 0, 0));
    EXPECT_EQ(target.dc.GetPixel(5, 8), RGB(0, 0, 0));

    // Scrolled by 5 across: tiles move back by 5 mod 4 = 1 pixel.
    target.dc.PatBlt(0, 0, 20, 10, BLACKNESS);
    SIZE scroll{5, 0};
    POINT origin{4, 0};
    TileBitmap(&scroll, &target.dc, &tile, &origin, nullptr);
    EXPECT_EQ(target.dc.GetPixel(3, 1), kRed);  // tile at 3
    EXPECT_EQ(target.dc.GetPixel(5, 1), kBlue);
    EXPECT_EQ(target.dc.GetPixel(7, 1), kRed);  // next tile at 7
    EXPECT_EQ(target.dc.GetPixel(18, 9), kBlue); // the whole clip box is filled
    EXPECT_EQ(target.dc.GetPixel(19, 9), kRed);
    EXPECT_EQ(target.dc.GetPixel(2, 1), RGB(0, 0, 0)); // the first tile starts at the origin

    // An empty clip box draws nothing.
    target.dc.PatBlt(0, 0, 20, 10, BLACKNESS);
    target.dc.IntersectClipRect(0, 0, 0, 0);
    TileBitmap(nullptr, &target.dc, &tile, nullptr, nullptr);
    target.dc.SelectClipRgn(nullptr);
    EXPECT_EQ(target.dc.GetPixel(1, 1), RGB(0, 0, 0));
}

// ---- Palettes from resources ---------------------------------------------------

std::vector<BYTE> PaletteBytes(WORD count, int entriesPresent)
{
    std::vector<BYTE> bytes = {0x00, 0x03, BYTE(count & 0xFF), BYTE(count >> 8)};
    for (int i = 0; i < entriesPresent; ++i) {
        bytes.insert(bytes.end(), {BYTE(i), BYTE(255 - i), 7, 0});
    }
    return bytes;
}

std::vector<BYTE> DibBytes(DWORD headerSize, WORD bitCount, DWORD clrUsed, int colours)
{
    BITMAPINFOHEADER h{};
    h.biSize = headerSize;
    h.biWidth = 2;
    h.biHeight = 2;
    h.biPlanes = 1;
    h.biBitCount = bitCount;
    h.biClrUsed = clrUsed;
    std::vector<BYTE> bytes(reinterpret_cast<BYTE*>(&h), reinterpret_cast<BYTE*>(&h) + sizeof h);
    bytes.resize(std::max<size_t>(bytes.size(), headerSize));
    for (int i = 0; i < colours; ++i)
        bytes.insert(bytes.end(), {BYTE(10 * i), BYTE(20 * i), BYTE(30 * i), 0});
    bytes.resize(bytes.size() + 8);
    return bytes;
}

struct TestResources {
    std::vector<BYTE> tooMany = PaletteBytes(300, 256);
    std::vector<BYTE> claimsMore = PaletteBytes(200, 3);
    std::vector<BYTE> headerOnly = {0x00, 0x03};
    std::vector<BYTE> dibUsed = DibBytes(40, 8, 3, 3);
    std::vector<BYTE> dibFull = DibBytes(40, 1, 0, 2);
    std::vector<BYTE> dibBadHeader = DibBytes(4000, 8, 0, 0);
    std::vector<BYTE> dibShortTable = DibBytes(40, 8, 0, 5);
    std::vector<platform::ResourceEntry> program;
    std::vector<platform::ResourceEntry> support;
    platform::ResourceTable programTable{};
    platform::ResourceTable supportTable{};

    TestResources()
    {
        auto entry = [](const char* type, WORD typeId, WORD id, const std::vector<BYTE>& data) {
            return platform::ResourceEntry{type, typeId, nullptr, id, data.data(), DWORD(data.size())};
        };
        program = {entry("PALETTE", 0, 9901, tooMany), entry("PALETTE", 0, 9902, claimsMore),
            entry("PALETTE", 0, 9903, headerOnly)};
        support = {entry(nullptr, 2, 9911, dibUsed), entry(nullptr, 2, 9912, dibFull),
            entry(nullptr, 2, 9913, dibBadHeader), entry(nullptr, 2, 9914, dibShortTable)};
        programTable = platform::ResourceTable{program.data(), program.size(), nullptr, 0};
        supportTable = platform::ResourceTable{support.data(), support.size(), nullptr, 0};
        platform::RegisterResourceModule(platform::ResourceModule::Program, programTable);
        platform::RegisterResourceModule(platform::ResourceModule::Support, supportTable);
    }
};

TestResources& Resources()
{
    static TestResources resources;
    return resources;
}

TEST(LoadPaletteResource, ReadsTheProgramsPaletteAndBoundsDamagedOnes)
{
    threadwick::RegisterResources();
    Resources();
    CPalette palette;
    ASSERT_TRUE(LoadPaletteResource(36, palette, FALSE));
    EXPECT_EQ(palette.GetEntryCount(), 256);

    // A count over 256 is cut to 256; one over what the resource holds, to that.
    ASSERT_TRUE(LoadPaletteResource(9901, palette, FALSE));
    EXPECT_EQ(palette.GetEntryCount(), 256);
    PALETTEENTRY e{};
    palette.GetPaletteEntries(255, 1, &e);
    EXPECT_EQ(e.peRed, 255);
    EXPECT_EQ(e.peGreen, 0);
    ASSERT_TRUE(LoadPaletteResource(9902, palette, FALSE));
    EXPECT_EQ(palette.GetEntryCount(), 3);

    EXPECT_FALSE(LoadPaletteResource(9903, palette, FALSE));
    EXPECT_FALSE(LoadPaletteResource(9999, palette, FALSE));
}

TEST(LoadPaletteResource, TakesABitmapsColourTableWithItsUsedCount)
{
    Resources();
    CPalette palette;
    ASSERT_TRUE(LoadPaletteResource(9911, palette, TRUE));
    EXPECT_EQ(palette.GetEntryCount(), 3);
    PALETTEENTRY e{};
    palette.GetPaletteEntries(2, 1, &e);
    EXPECT_EQ(e.peRed, 60); // RGBQUAD: blue, green, red
    EXPECT_EQ(e.peGreen, 40);
    EXPECT_EQ(e.peBlue, 20);

    ASSERT_TRUE(LoadPaletteResource(9912, palette, TRUE));
    EXPECT_EQ(palette.GetEntryCount(), 2);

    EXPECT_FALSE(LoadPaletteResource(9913, palette, TRUE)); // header larger than the resource
    EXPECT_FALSE(LoadPaletteResource(9914, palette, TRUE)); // 256 colours, 5 present
    EXPECT_FALSE(LoadPaletteResource(9901, palette, TRUE)); // not a bitmap of the support module
}

} // namespace
