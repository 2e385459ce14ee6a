#include "platform/imaging/Imaging.h"
#include "tests/imaging/PictureCheck.h"

#include <gtest/gtest.h>

using namespace imaging_test;

TEST(ImagingBitmap, CopyIsIndependentAndFreeKeepsTheSize)
{
    LTBITMAP original = Pattern(7, 3, 8);
    original.Flags |= LT_BITMAP_TRANSPARENT;
    original.TransparentColor = RGB(1, 2, 3);
    LTBITMAP copy = Pattern(2, 2, 24);
    ASSERT_EQ(LtCopyBitmap(&copy, &original), LT_SUCCESS);
    EXPECT_EQ(copy.Width, 7);
    EXPECT_EQ(copy.BitsPerPixel, 8);
    EXPECT_EQ(copy.TransparentColor, RGB(1, 2, 3));
    EXPECT_TRUE(copy.Flags & LT_BITMAP_TRANSPARENT);
    copy.Pixels[0] ^= 0xFF;
    copy.Palette[0].rgbRed ^= 0xFF;
    EXPECT_NE(copy.Pixels[0], original.Pixels[0]);
    EXPECT_NE(copy.Palette[0].rgbRed, original.Palette[0].rgbRed);

    LtFreeBitmap(&copy);
    EXPECT_FALSE(copy.Flags & LT_BITMAP_ALLOCATED);
    EXPECT_TRUE(copy.Flags & LT_BITMAP_TRANSPARENT);
    EXPECT_TRUE(copy.Pixels.empty());
    EXPECT_EQ(copy.Width, 7);
    LtFreeBitmap(&copy);
    LtFreeBitmap(nullptr);
    LTBITMAP other;
    EXPECT_EQ(LtCopyBitmap(&other, &copy), LT_ERR_BAD_BITMAP);
    EXPECT_EQ(LtCopyBitmap(nullptr, &original), LT_ERR_BAD_BITMAP);
}

TEST(ImagingBitmap, SizesAndDepthsAreBounded)
{
    LTBITMAP bitmap;
    EXPECT_EQ(LtInitBitmap(&bitmap, 0, 0, 8), LT_SUCCESS);
    EXPECT_FALSE(bitmap.Flags & LT_BITMAP_ALLOCATED);
    EXPECT_EQ(LtInitBitmap(&bitmap, 33, 2, 1), LT_SUCCESS);
    EXPECT_EQ(bitmap.BytesPerLine, 8);
    EXPECT_EQ(LtInitBitmap(&bitmap, 3, 2, 24), LT_SUCCESS);
    EXPECT_EQ(bitmap.BytesPerLine, 12);
    EXPECT_EQ(LtInitBitmap(&bitmap, 10, 10, 2), LT_ERR_BAD_PARAM);
    EXPECT_EQ(LtInitBitmap(&bitmap, -1, 10, 8), LT_ERR_BAD_PARAM);
    EXPECT_EQ(LtInitBitmap(&bitmap, LT_MAX_SIDE + 1, 1, 8), LT_ERR_NO_MEMORY);
    EXPECT_EQ(LtInitBitmap(&bitmap, LT_MAX_SIDE, LT_MAX_SIDE, 8), LT_ERR_NO_MEMORY);
    EXPECT_EQ(LtAllocateBitmap(&bitmap, 5, 5, 4), LT_SUCCESS);
    EXPECT_EQ(bitmap.Pixels.size(), 20u);
    EXPECT_EQ(bitmap.Palette.size(), 16u);
    EXPECT_EQ(bitmap.Palette[15].rgbBlue, 255);
    EXPECT_EQ(LtInitBitmap(nullptr, 1, 1, 8), LT_ERR_BAD_BITMAP);
}
