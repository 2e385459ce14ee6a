// The scoped palette selection: a given palette, the application's palette
// when none is given, and nothing at all on a screen without one.

#include "controls/PaletteSelector.h"

#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"
#include "tests/controls/OwnerDrawTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

HGDIOBJ CurrentPalette(CDC& dc)
{
    return ::GetCurrentObject(dc.GetSafeHdc(), OBJ_PAL);
}

void MakePalette(CPalette& palette)
{
    std::vector<BYTE> bytes(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY));
    auto* pLog = reinterpret_cast<LOGPALETTE*>(bytes.data());
    pLog->palVersion = 0x300;
    pLog->palNumEntries = 2;
    pLog->palPalEntry[0] = PALETTEENTRY{255, 0, 0, 0};
    pLog->palPalEntry[1] = PALETTEENTRY{0, 0, 255, 0};
    ASSERT_TRUE(palette.CreatePalette(pLog));
}

CPalette* g_pAppPalette = nullptr;
CPalette* AppPalette()
{
    return g_pAppPalette;
}

class PaletteSelectorTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        SetAppPaletteSource(nullptr);
        g_pAppPalette = nullptr;
    }
};

TEST_F(PaletteSelectorTest, SelectsTheGivenPaletteAndPutsThePreviousBack)
{
    kittest::MemoryCanvas canvas(8, 8);
    CPalette palette;
    MakePalette(palette);
    HGDIOBJ before = CurrentPalette(canvas.dc);
    {
        CPaletteSelector selector(&canvas.dc, &palette);
        EXPECT_EQ(palette.GetSafeHandle(), CurrentPalette(canvas.dc));
        EXPECT_NE(nullptr, selector.m_pOldPalette);
    }
    EXPECT_EQ(before, CurrentPalette(canvas.dc));
}

TEST_F(PaletteSelectorTest, WithoutAnApplicationPaletteNothingIsSelected)
{
    kittest::MemoryCanvas canvas(8, 8);
    HGDIOBJ before = CurrentPalette(canvas.dc);
    {
        CPaletteSelector selector(&canvas.dc, nullptr);
        EXPECT_EQ(nullptr, selector.m_pPalette);
        EXPECT_EQ(nullptr, selector.m_pOldPalette);
        EXPECT_EQ(before, CurrentPalette(canvas.dc));
    }
    EXPECT_EQ(before, CurrentPalette(canvas.dc));
    CPaletteSelector noDc(nullptr, nullptr);
    EXPECT_EQ(nullptr, noDc.m_pOldPalette);
}

TEST_F(PaletteSelectorTest, UsesTheApplicationPaletteWhenGivenNone)
{
    kittest::MemoryCanvas canvas(8, 8);
    CPalette palette;
    MakePalette(palette);
    g_pAppPalette = &palette;
    SetAppPaletteSource(AppPalette);
    HGDIOBJ before = CurrentPalette(canvas.dc);
    {
        CPaletteSelector selector(&canvas.dc, nullptr);
        EXPECT_EQ(&palette, selector.m_pPalette);
        EXPECT_EQ(palette.GetSafeHandle(), CurrentPalette(canvas.dc));
    }
    EXPECT_EQ(before, CurrentPalette(canvas.dc));
}

} // namespace
