// Logical palettes: creation limits, entries, nearest colours, selection,
// and realisation on a palette screen (the screen-depth override).

#include "platform/gdi/Display.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObject.h"
#include "tests/gdi/DrawTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

using gditest::MemoryCanvas;

// A LOGPALETTE with room for n entries.
struct LogPalette {
    std::vector<uint8_t> bytes;
    explicit LogPalette(int n, WORD version = PALVERSION)
        : bytes(4 + 4 * size_t(n > 0 ? n : 1))
    {
        Get()->palVersion = version;
        Get()->palNumEntries = WORD(n);
    }
    LOGPALETTE* Get() { return reinterpret_cast<LOGPALETTE*>(bytes.data()); }
    void Set(int i, BYTE r, BYTE g, BYTE b) { Get()->palPalEntry[i] = PALETTEENTRY{r, g, b, 0}; }
};

class PaletteTest : public ::testing::Test {
protected:
    void TearDown() override { platform::ResetDisplayForTesting(); }
};

TEST_F(PaletteTest, CreationTakesOneTo256EntriesOfTheRightVersion)
{
    EXPECT_EQ(nullptr, CreatePalette(nullptr));
    EXPECT_EQ(nullptr, CreatePalette(LogPalette(4, 0x200).Get()));
    EXPECT_EQ(nullptr, CreatePalette(LogPalette(0).Get()));
    EXPECT_EQ(nullptr, CreatePalette(LogPalette(257).Get()));
    LogPalette full(256);
    for (int i = 0; i < 256; ++i)
        full.Set(i, BYTE(i), 0, BYTE(255 - i));
    HPALETTE h = CreatePalette(full.Get());
    ASSERT_NE(nullptr, h);
    WORD count = 0;
    EXPECT_EQ(2, GetObject(h, sizeof count, &count));
    EXPECT_EQ(256, count);
    EXPECT_EQ(OBJ_PAL, GetObjectType(h));

    // Entries: the count for a null buffer, ranges cut at the end.
    EXPECT_EQ(256u, GetPaletteEntries(h, 0, 0, nullptr));
    PALETTEENTRY e[4] = {};
    EXPECT_EQ(2u, GetPaletteEntries(h, 254, 4, e));
    EXPECT_EQ(254, e[0].peRed);
    EXPECT_EQ(0u, GetPaletteEntries(h, 256, 1, e));
    const PALETTEENTRY grey[2] = {{9, 9, 9, 0}, {7, 7, 7, 0}};
    EXPECT_EQ(1u, SetPaletteEntries(h, 255, 2, grey));
    GetPaletteEntries(h, 255, 1, e);
    EXPECT_EQ(9, e[0].peGreen);
    // The stock palette cannot be changed.
    EXPECT_EQ(0u, SetPaletteEntries((HPALETTE)GetStockObject(DEFAULT_PALETTE), 0, 1, grey));
    EXPECT_EQ(20u, GetPaletteEntries((HPALETTE)GetStockObject(DEFAULT_PALETTE), 0, 0, nullptr));
    DeleteObject(h);
}

TEST_F(PaletteTest, NearestIndexIsTheClosestColourAndTheFirstOfEquals)
{
    LogPalette p(4);
    p.Set(0, 0, 0, 0);
    p.Set(1, 250, 0, 0);
    p.Set(2, 0, 0, 250);
    p.Set(3, 250, 0, 0);
    HPALETTE h = CreatePalette(p.Get());
    EXPECT_EQ(1u, GetNearestPaletteIndex(h, RGB(255, 10, 0)));
    EXPECT_EQ(2u, GetNearestPaletteIndex(h, RGB(10, 0, 200)));
    EXPECT_EQ(0u, GetNearestPaletteIndex(h, RGB(40, 40, 40)));
    CPalette* wrapper = CPalette::FromHandle(h);
    EXPECT_EQ(4, wrapper->GetEntryCount());
    EXPECT_EQ(1u, wrapper->GetNearestPaletteIndex(RGB(200, 0, 0)));
    DeleteObject(h);
    EXPECT_EQ(UINT(CLR_INVALID), GetNearestPaletteIndex(h, 0));
    EXPECT_EQ(0u, GetPaletteEntries(h, 0, 0, nullptr));
    CGdiObject::DeleteTempMap();
}

TEST_F(PaletteTest, SelectionSwapsPalettesAndPaletteIndexesUseThem)
{
    LogPalette p(2);
    p.Set(0, 10, 20, 30);
    p.Set(1, 200, 100, 50);
    HPALETTE h = CreatePalette(p.Get());
    MemoryCanvas c(2, 1);
    HPALETTE old = SelectPalette(c.dc, h, FALSE);
    EXPECT_EQ(GetStockObject(DEFAULT_PALETTE), old);
    EXPECT_FALSE(DeleteObject(h)); // selected
    EXPECT_EQ(0u, RealizePalette(c.dc)); // a memory DC has no system palette
    SetPixel(c.dc, 0, 0, PALETTEINDEX(1));
    EXPECT_EQ(RGB(200, 100, 50), c.At(0, 0));
    EXPECT_EQ(RGB(10, 20, 30), GetNearestColor(c.dc, PALETTEINDEX(0)));
    EXPECT_EQ(RGB(1, 2, 3), GetNearestColor(c.dc, RGB(1, 2, 3))); // true colour
    EXPECT_EQ(h, SelectPalette(c.dc, old, FALSE));
    EXPECT_TRUE(DeleteObject(h));
    EXPECT_EQ(nullptr, SelectPalette(c.dc, h, FALSE));
}

TEST_F(PaletteTest, PaletteScreenQuantisesToTheForegroundPalette)
{
    LogPalette p(2);
    p.Set(0, 10, 20, 30);
    p.Set(1, 90, 180, 45);
    HPALETTE h = CreatePalette(p.Get());

    // True colour: realising changes nothing.
    HDC screen = GetDC(NULL);
    SelectPalette(screen, h, FALSE);
    EXPECT_EQ(0u, RealizePalette(screen));
    EXPECT_EQ(RGB(12, 22, 28), GetNearestColor(screen, RGB(12, 22, 28)));
    ReleaseDC(NULL, screen);

    ASSERT_TRUE(platform::SetScreenBitsPixel(8));
    screen = GetDC(NULL);
    // Before any realisation only the static colours are there.
    EXPECT_EQ(RGB(0, 0, 0), GetNearestColor(screen, RGB(12, 22, 28)));
    // A background palette takes no slots.
    SelectPalette(screen, h, TRUE);
    EXPECT_EQ(0u, RealizePalette(screen));
    EXPECT_EQ(RGB(0, 0, 0), GetNearestColor(screen, RGB(12, 22, 28)));

    SelectPalette(screen, h, FALSE);
    EXPECT_EQ(2u, RealizePalette(screen));
    EXPECT_EQ(RGB(10, 20, 30), GetNearestColor(screen, RGB(12, 22, 28)));
    SetPixel(screen, 0, 0, RGB(95, 175, 40));
    EXPECT_EQ(RGB(90, 180, 45), GetPixel(screen, 0, 0));
    // The static colours stay at both ends.
    EXPECT_EQ(RGB(255, 255, 255), GetNearestColor(screen, RGB(250, 250, 250)));

    // Bitmaps made for the screen now take its colours.
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 1, 1);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    SetPixel(memory, 0, 0, RGB(14, 18, 33));
    EXPECT_EQ(RGB(10, 20, 30), GetPixel(memory, 0, 0));
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);

    SelectPalette(screen, (HPALETTE)GetStockObject(DEFAULT_PALETTE), FALSE);
    ReleaseDC(NULL, screen);
    DeleteObject(h);
}

} // namespace
