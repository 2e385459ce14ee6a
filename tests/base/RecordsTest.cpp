#include "platform/base/GdiRecords.h"
#include "platform/base/UiRecords.h"

#include <cstddef>
#include <cstring>
#include <gtest/gtest.h>

// Stored forms and byte buffers are read through these records, so the field
// offsets must be Windows' own, not only the total sizes.
TEST(Records, GdiFieldsSitAtWindowsOffsets)
{
    EXPECT_EQ(offsetof(LOGFONT, lfWeight), 16u);
    EXPECT_EQ(offsetof(LOGFONT, lfItalic), 20u);
    EXPECT_EQ(offsetof(LOGFONT, lfPitchAndFamily), 27u);
    EXPECT_EQ(offsetof(LOGFONT, lfFaceName), 28u);
    EXPECT_EQ(offsetof(BITMAPFILEHEADER, bfSize), 2u);
    EXPECT_EQ(offsetof(BITMAPFILEHEADER, bfOffBits), 10u);
    EXPECT_EQ(offsetof(BITMAPINFOHEADER, biCompression), 16u);
    EXPECT_EQ(offsetof(BITMAPINFOHEADER, biClrImportant), 36u);
    EXPECT_EQ(offsetof(BITMAPINFO, bmiColors), 40u);
    EXPECT_EQ(offsetof(BITMAPCOREINFO, bmciColors), 12u);
    EXPECT_EQ(offsetof(LOGPALETTE, palPalEntry), 4u);
    EXPECT_EQ(offsetof(NEWTEXTMETRIC, ntmFlags), 56u);
    EXPECT_EQ(offsetof(TTPOLYCURVE, apfx), 4u);
    EXPECT_EQ(offsetof(ENHMETAHEADER, dSignature), 40u);
    EXPECT_EQ(offsetof(ENHMETAHEADER, szlMillimeters), 80u);
    EXPECT_EQ(offsetof(OUTLINETEXTMETRIC, otmPanoseNumber), 61u);
}

TEST(Records, FixedPointHasFractionInTheLowWord)
{
    FIXED f {0x8000, -2}; // -1.5
    DWORD raw;
    static_assert(sizeof raw == sizeof f);
    std::memcpy(&raw, &f, sizeof raw);
    EXPECT_EQ(LONG(raw), -0x18000);
}

TEST(Records, UiFieldsSitAtWindowsOffsets)
{
    EXPECT_EQ(offsetof(WINDOWPLACEMENT, ptMinPosition), 12u);
    EXPECT_EQ(offsetof(WINDOWPLACEMENT, rcNormalPosition), 28u);
    EXPECT_EQ(offsetof(DEVMODE, dmSpecVersion), 32u);
    EXPECT_EQ(offsetof(DEVMODE, dmFields), 40u);
    EXPECT_EQ(offsetof(DEVMODE, dmOrientation), 44u);
    EXPECT_EQ(offsetof(DEVMODE, dmCollate), 68u);
    EXPECT_EQ(offsetof(DEVMODE, dmFormName), 70u);
    EXPECT_EQ(offsetof(DEVMODE, dmBitsPerPel), 104u);
    EXPECT_EQ(offsetof(DEVMODE, dmDisplayFrequency), 120u);
    EXPECT_EQ(PD_NOPAGENUMS | PD_NOSELECTION | PD_USEDEVMODECOPIES | PD_HIDEPRINTTOFILE, 0x14000C);
}
