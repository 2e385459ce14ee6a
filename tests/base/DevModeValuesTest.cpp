#include "platform/base/DevModeValues.h"

#include <gtest/gtest.h>

namespace {

using platform::PaperSizeOf;
using platform::ResolutionFromQuality;

TEST(DevModeValuesTest, PrintQualityIsALevelOrTheResolutionItself)
{
    EXPECT_EQ(ResolutionFromQuality(DMRES_HIGH), 600);
    EXPECT_EQ(ResolutionFromQuality(DMRES_MEDIUM), 300);
    EXPECT_EQ(ResolutionFromQuality(DMRES_LOW), 150);
    EXPECT_EQ(ResolutionFromQuality(DMRES_DRAFT), 75);
    EXPECT_EQ(ResolutionFromQuality(360), 360);
    // Neither a level nor a resolution: the default.
    EXPECT_EQ(ResolutionFromQuality(0), platform::kDefaultPrintDpi);
    EXPECT_EQ(ResolutionFromQuality(-5), platform::kDefaultPrintDpi);
}

TEST(DevModeValuesTest, PaperCodesGiveTheirPortraitSheetInMicrons)
{
    const platform::PaperSize letter = PaperSizeOf(DMPAPER_LETTER);
    EXPECT_EQ(letter.code, DMPAPER_LETTER);
    EXPECT_EQ(letter.width, 215900);
    EXPECT_EQ(letter.length, 279400);

    // The "small" variants print on the same sheet as their full sizes.
    EXPECT_EQ(PaperSizeOf(DMPAPER_LETTERSMALL).width, letter.width);
    EXPECT_EQ(PaperSizeOf(DMPAPER_A4SMALL).length, PaperSizeOf(DMPAPER_A4).length);
    // Ledger is the tabloid sheet turned.
    EXPECT_EQ(PaperSizeOf(DMPAPER_LEDGER).width, PaperSizeOf(DMPAPER_TABLOID).length);

    const platform::PaperSize unknown = PaperSizeOf(DMPAPER_USER);
    EXPECT_EQ(unknown.code, 0);
    EXPECT_EQ(unknown.width, 0);
    EXPECT_EQ(PaperSizeOf(0).code, 0);
}

} // namespace
