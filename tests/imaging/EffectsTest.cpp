// The pixel operations on small hand-made bitmaps: mirrors, turns,
// resizing, colour resolution, palettes, combining and the filters.

#include "platform/imaging/Imaging.h"
#include "tests/imaging/PictureCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <initializer_list>
#include <vector>

using namespace imaging_test;

namespace {

using Rgba = std::array<uint8_t, 4>;

// A grey 24-bit record whose left `dark` columns are black and the rest white.
LTBITMAP Step(int width, int height, int dark)
{
    LTBITMAP b;
    LtAllocateBitmap(&b, width, height, 24);
    for (int y = 0; y < height; ++y)
        for (int x = dark; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                b.Pixels[size_t(y) * size_t(b.BytesPerLine) + size_t(x) * 3 + size_t(c)] = 255;
    return b;
}

Rgba At(const LTBITMAP& b, int x, int y)
{
    return RgbaAt(b, x, y);
}

Rgba Of(COLORREF c, uint8_t a = 255)
{
    return Rgba { GetRValue(c), GetGValue(c), GetBValue(c), a };
}

bool Near(const Rgba& a, const Rgba& b, int tolerance = 1)
{
    for (int c = 0; c < 4; ++c)
        if (std::abs(int(a[size_t(c)]) - int(b[size_t(c)])) > tolerance)
            return false;
    return true;
}

} // namespace

TEST(ImagingEffects, MirrorsKeepEveryDepthAndItsPixels)
{
    for (int bits : { 1, 4, 8, 16, 24, 32 }) {
        // Odd widths: the last byte of a 1- and 4-bit row is only partly used.
        const LTBITMAP original = Pattern(13, 5, bits);
        LTBITMAP reversed = original;
        ASSERT_EQ(LtReverseBitmap(&reversed), LT_SUCCESS);
        LTBITMAP flipped = original;
        ASSERT_EQ(LtFlipBitmap(&flipped), LT_SUCCESS);
        EXPECT_EQ(reversed.BitsPerPixel, bits);
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 13; ++x) {
                EXPECT_EQ(At(reversed, x, y), At(original, 12 - x, y)) << bits << " bits at " << x << "," << y;
                EXPECT_EQ(At(flipped, x, y), At(original, x, 4 - y)) << bits << " bits at " << x << "," << y;
            }
        }
        ASSERT_EQ(LtReverseBitmap(&reversed), LT_SUCCESS);
        EXPECT_EQ(reversed.Pixels, original.Pixels) << bits;
    }
}

TEST(ImagingEffects, QuarterTurnsAreExactAndCounterClockwise)
{
    for (int bits : { 1, 4, 8, 24, 32 }) {
        const LTBITMAP original = Pattern(5, 3, bits);
        LTBITMAP left = original;
        ASSERT_EQ(LtRotateBitmap(&left, 9000, LT_ROTATE_RESIZE, 0), LT_SUCCESS);
        ASSERT_EQ(left.Width, 3);
        ASSERT_EQ(left.Height, 5);
        EXPECT_EQ(left.BitsPerPixel, bits);
        // The top-right corner comes to the top left; the top row becomes
        // the left column read upwards.
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(At(left, 0, 4 - x), At(original, x, 0)) << bits;
        EXPECT_EQ(At(left, 2, 0), At(original, 4, 2));

        LTBITMAP half = original;
        ASSERT_EQ(LtRotateBitmap(&half, -18000, LT_ROTATE_RESIZE, 0), LT_SUCCESS);
        EXPECT_EQ(At(half, 0, 0), At(original, 4, 2));
        LTBITMAP right = original;
        ASSERT_EQ(LtRotateBitmap(&right, 27000, LT_ROTATE_RESIZE, 0), LT_SUCCESS);
        EXPECT_EQ(At(right, 2, 0), At(original, 0, 0));
        LTBITMAP full = original;
        ASSERT_EQ(LtRotateBitmap(&full, 36000, LT_ROTATE_RESIZE, 0), LT_SUCCESS);
        EXPECT_EQ(full.Pixels, original.Pixels);
    }
}

TEST(ImagingEffects, TurnWithoutResizeKeepsTheSizeAndFillsTheRest)
{
    LTBITMAP wide = Colours(4, 2, { RGB(255, 0, 0), RGB(255, 0, 0), RGB(255, 0, 0), RGB(255, 0, 0), RGB(255, 0, 0),
                                      RGB(255, 0, 0), RGB(255, 0, 0), RGB(255, 0, 0) });
    ASSERT_EQ(LtRotateBitmap(&wide, 9000, 0, RGB(0, 0, 255)), LT_SUCCESS);
    ASSERT_EQ(wide.Width, 4);
    ASSERT_EQ(wide.Height, 2);
    // A 2 x 4 upright picture centred in 4 x 2: its middle two rows show.
    EXPECT_EQ(At(wide, 0, 0), Of(RGB(0, 0, 255)));
    EXPECT_EQ(At(wide, 1, 0), Of(RGB(255, 0, 0)));
    EXPECT_EQ(At(wide, 2, 1), Of(RGB(255, 0, 0)));
    EXPECT_EQ(At(wide, 3, 1), Of(RGB(0, 0, 255)));
}

TEST(ImagingEffects, FortyFiveDegreesGrowsToFitWithFilledCorners)
{
    LTBITMAP square;
    LtAllocateBitmap(&square, 20, 20, 8);
    square.Palette[0] = RGBQUAD { 0, 200, 0, 0 }; // all green
    ASSERT_EQ(LtRotateBitmap(&square, 4500, LT_ROTATE_RESIZE, RGB(255, 255, 255)), LT_SUCCESS);
    EXPECT_EQ(square.Width, 29); // 20 * sqrt(2) = 28.3
    EXPECT_EQ(square.Height, 29);
    EXPECT_EQ(square.BitsPerPixel, 24); // turned colours mix
    EXPECT_EQ(At(square, 14, 14), Of(RGB(0, 200, 0)));
    EXPECT_EQ(At(square, 14, 2), Of(RGB(0, 200, 0))); // near the top corner of the diamond
    EXPECT_EQ(At(square, 0, 0), Of(RGB(255, 255, 255)));
    EXPECT_EQ(At(square, 28, 28), Of(RGB(255, 255, 255)));
    EXPECT_EQ(At(square, 3, 3), Of(RGB(255, 255, 255)));

    // Kept size: the corners of the turned square are cut off, the middle
    // stays, and the picture's own corners become fill.
    LTBITMAP kept;
    LtAllocateBitmap(&kept, 20, 20, 24);
    ASSERT_EQ(LtRotateBitmap(&kept, 4500, 0, RGB(255, 255, 255)), LT_SUCCESS);
    EXPECT_EQ(kept.Width, 20);
    EXPECT_EQ(At(kept, 10, 10), Of(RGB(0, 0, 0)));
    EXPECT_EQ(At(kept, 0, 0), Of(RGB(255, 255, 255)));
}

// A picture with alpha turned by a free angle: what the turn exposes is
// clear, a clear part stays clear up to the turned edge (no seam of the fill
// along it), and a clear pixel lends no colour to an opaque neighbour.
TEST(ImagingEffects, FreeTurnOfAPictureWithAlphaKeepsItsClearPartsClear)
{
    // Left half clear black, right half opaque orange.
    LTBITMAP b;
    LtAllocateBitmap(&b, 20, 12, 32);
    for (int y = 0; y < 12; ++y) {
        for (int x = 10; x < 20; ++x) {
            BYTE* p = b.Pixels.data() + size_t(y) * size_t(b.BytesPerLine) + size_t(x) * 4;
            p[0] = 0;
            p[1] = 128;
            p[2] = 255;
            p[3] = 255;
        }
    }
    for (int angle : { 3000, 21500 }) {
        LTBITMAP turned = b;
        ASSERT_EQ(LtRotateBitmap(&turned, angle, LT_ROTATE_RESIZE, RGB(255, 255, 255)), LT_SUCCESS);
        ASSERT_EQ(turned.BitsPerPixel, 32);
        EXPECT_EQ(At(turned, 0, 0)[3], 0) << angle;
        int opaque = 0;
        for (int y = 0; y < turned.Height; ++y) {
            for (int x = 0; x < turned.Width; ++x) {
                const Rgba p = At(turned, x, y);
                if (p[3] == 0)
                    continue;
                ++opaque;
                // Every pixel that shows anything shows orange: from the
                // opaque half alone, never grey from the fill or dark from
                // the clear half.
                EXPECT_TRUE(Near(Rgba { p[0], p[1], p[2], 0 }, Of(RGB(255, 128, 0), 0), 2))
                    << angle << " at " << x << "," << y << ": " << int(p[0]) << "," << int(p[1]) << "," << int(p[2])
                    << " alpha " << int(p[3]);
            }
        }
        // About the opaque half's 120 pixels, smoothed at its edges.
        EXPECT_GT(opaque, 100) << angle;
        EXPECT_LT(opaque, 200) << angle;
    }
}

TEST(ImagingEffects, SmoothResizeAveragesShrinkingAndInterpolatesGrowing)
{
    LTBITMAP line = Colours(4, 1, { RGB(0, 0, 0), RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 255, 255) });
    ASSERT_EQ(LtResizeBitmap(&line, 2, 1, LT_RESIZE_SMOOTH), LT_SUCCESS);
    EXPECT_EQ(At(line, 0, 0), Of(RGB(0, 0, 0)));
    EXPECT_EQ(At(line, 1, 0), Of(RGB(255, 255, 255)));

    LTBITMAP checker = Colours(2, 2, { RGB(0, 0, 0), RGB(200, 100, 40), RGB(200, 100, 40), RGB(0, 0, 0) });
    ASSERT_EQ(LtResizeBitmap(&checker, 1, 1, LT_RESIZE_SMOOTH), LT_SUCCESS);
    EXPECT_EQ(At(checker, 0, 0), Of(RGB(100, 50, 20)));

    // Three to two: the middle pixel is shared half and half.
    LTBITMAP three = Colours(3, 1, { RGB(0, 0, 0), RGB(90, 90, 90), RGB(180, 180, 180) });
    ASSERT_EQ(LtResizeBitmap(&three, 2, 1, LT_RESIZE_SMOOTH), LT_SUCCESS);
    EXPECT_TRUE(Near(At(three, 0, 0), Of(RGB(30, 30, 30))));
    EXPECT_TRUE(Near(At(three, 1, 0), Of(RGB(150, 150, 150))));

    LTBITMAP grow = Colours(2, 1, { RGB(0, 0, 0), RGB(255, 255, 255) });
    ASSERT_EQ(LtResizeBitmap(&grow, 4, 2, LT_RESIZE_SMOOTH), LT_SUCCESS);
    const int expected[4] = { 0, 64, 191, 255 };
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_TRUE(Near(At(grow, x, y), Of(RGB(expected[x], expected[x], expected[x])))) << x;

    // Transparent pixels lend no colour to their neighbours.
    LTBITMAP clear = Colours(2, 1, { RGB(255, 0, 0), RGB(0, 255, 0) }, 32, { 255, 0 });
    ASSERT_EQ(LtResizeBitmap(&clear, 1, 1, LT_RESIZE_SMOOTH), LT_SUCCESS);
    EXPECT_TRUE(Near(At(clear, 0, 0), Of(RGB(255, 0, 0), 128)));
}

TEST(ImagingEffects, NearestResizeKeepsThePaletteAndRepeatsPixels)
{
    LTBITMAP b = Pattern(3, 2, 4);
    const LTBITMAP original = b;
    ASSERT_EQ(LtResizeBitmap(&b, 6, 1, LT_RESIZE_NEAREST), LT_SUCCESS);
    EXPECT_EQ(b.BitsPerPixel, 4);
    ASSERT_EQ(b.Palette.size(), original.Palette.size());
    EXPECT_EQ(b.Palette[5].rgbRed, original.Palette[5].rgbRed);
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(At(b, x, 0), At(original, x / 2, 1)) << x;

    LTBITMAP c = Pattern(3, 2, 8);
    ASSERT_EQ(LtResizeBitmap(&c, 2, 2, LT_RESIZE_SMOOTH), LT_SUCCESS);
    EXPECT_EQ(c.BitsPerPixel, 24);
    EXPECT_EQ(LtResizeBitmap(&c, 0, 2, LT_RESIZE_SMOOTH), LT_ERR_BAD_PARAM);
    EXPECT_EQ(LtResizeBitmap(&c, 2, 2, 7), LT_ERR_BAD_PARAM);
    EXPECT_EQ(LtResizeBitmap(&c, LT_MAX_SIDE + 1, 2, LT_RESIZE_SMOOTH), LT_ERR_NO_MEMORY);
}

TEST(ImagingEffects, ColorResWithEachKindOfPalette)
{
    const LTBITMAP three = Colours(3, 2, { RGB(10, 20, 30), RGB(200, 0, 0), RGB(10, 20, 30), RGB(10, 20, 30),
                                               RGB(0, 0, 250), RGB(200, 0, 0) });
    // Optimised: the picture's own colours, most used first, exactly.
    LTBITMAP own;
    ASSERT_EQ(LtColorRes(&own, &three, 8, LT_COLORRES_OPTIMIZED, nullptr, 0, 0, 0), LT_SUCCESS);
    ASSERT_EQ(own.BitsPerPixel, 8);
    ASSERT_EQ(own.Palette.size(), 256u);
    EXPECT_EQ(own.Palette[0].rgbRed, 10);
    EXPECT_EQ(own.Palette[1].rgbRed, 200);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(At(own, x, y), At(three, x, y));

    // Fixed: the VGA colours at 4 bits; pure red stays red, the dark blue-grey
    // becomes black.
    LTBITMAP vga;
    ASSERT_EQ(LtColorRes(&vga, &three, 4, 0, nullptr, 0, 0, 0), LT_SUCCESS);
    EXPECT_EQ(vga.Palette.size(), 16u);
    EXPECT_EQ(At(vga, 0, 0), Of(RGB(0, 0, 0)));
    EXPECT_EQ(At(vga, 1, 0), Of(RGB(255, 0, 0)));
    EXPECT_EQ(At(vga, 1, 1), Of(RGB(0, 0, 255)));

    // The caller's palette, entries taken as given.
    std::vector<RGBQUAD> user(256, RGBQUAD { 0, 0, 0, 0 });
    user[7] = RGBQUAD { 0, 0, 190, 0 };
    user[9] = RGBQUAD { 240, 0, 0, 0 };
    LTBITMAP mine;
    ASSERT_EQ(LtColorRes(&mine, &three, 8, LT_COLORRES_USER_PALETTE, user.data(), 0, 0, 0), LT_SUCCESS);
    EXPECT_EQ(mine.Pixels[1], 7);
    EXPECT_EQ(mine.Pixels[size_t(mine.BytesPerLine) + 1], 9);
    EXPECT_EQ(mine.Pixels[0], 0);
    EXPECT_EQ(LtColorRes(&mine, &three, 8, LT_COLORRES_USER_PALETTE, nullptr, 0, 0, 0), LT_ERR_BAD_PARAM);

    // Going deeper keeps every colour; the record may be its own destination.
    LTBITMAP deeper = own;
    ASSERT_EQ(LtColorRes(&deeper, &deeper, 24, 0, nullptr, 0, 0, 0), LT_SUCCESS);
    EXPECT_EQ(deeper.BitsPerPixel, 24);
    EXPECT_TRUE(deeper.Palette.empty());
    EXPECT_EQ(At(deeper, 2, 1), Of(RGB(200, 0, 0)));
    EXPECT_EQ(LtColorRes(&deeper, &deeper, 2, 0, nullptr, 0, 0, 0), LT_ERR_BAD_PARAM);
}

TEST(ImagingEffects, OptimizedPaletteOfManyColoursAndDithering)
{
    // A smooth ramp of 64 x 64 colours into 16: the palette spans it and
    // no pixel lands far from its colour.
    LTBITMAP ramp;
    LtAllocateBitmap(&ramp, 64, 64, 24);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            BYTE* p = ramp.Pixels.data() + size_t(y) * size_t(ramp.BytesPerLine) + size_t(x) * 3;
            p[0] = BYTE(x * 4);
            p[1] = BYTE(y * 4);
            p[2] = 128;
        }
    LTBITMAP reduced;
    ASSERT_EQ(LtColorRes(&reduced, &ramp, 4, LT_COLORRES_OPTIMIZED, nullptr, 0, 0, 0), LT_SUCCESS);
    int worst = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const Rgba a = At(reduced, x, y);
            const Rgba b = At(ramp, x, y);
            worst = std::max({ worst, std::abs(a[0] - b[0]), std::abs(a[1] - b[1]), std::abs(a[2] - b[2]) });
        }
    EXPECT_LT(worst, 48);

    // Half grey in black and white: without dithering all one colour, with
    // it about half the pixels white.
    LTBITMAP grey = Colours(1, 1, { RGB(128, 128, 128) });
    LtResizeBitmap(&grey, 32, 32, LT_RESIZE_NEAREST);
    LTBITMAP flat;
    LTBITMAP dithered;
    ASSERT_EQ(LtColorRes(&flat, &grey, 1, 0, nullptr, 0, 0, 0), LT_SUCCESS);
    ASSERT_EQ(LtColorRes(&dithered, &grey, 1, LT_COLORRES_DITHER, nullptr, 0, 0, 0), LT_SUCCESS);
    int flatWhite = 0;
    int ditheredWhite = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            flatWhite += At(flat, x, y)[0] == 255;
            ditheredWhite += At(dithered, x, y)[0] == 255;
        }
    EXPECT_TRUE(flatWhite == 0 || flatWhite == 1024);
    EXPECT_NEAR(ditheredWhite, 512, 40);
}

TEST(ImagingEffects, GreyScaleGivesTheRampThatKernel135Recognises)
{
    LTBITMAP b = Colours(2, 1, { RGB(255, 0, 0), RGB(255, 255, 255) });
    EXPECT_FALSE(LtKernel135(&b));
    EXPECT_EQ(LtGrayScale(&b, 4), LT_ERR_BAD_PARAM);
    ASSERT_EQ(LtGrayScale(&b, 8), LT_SUCCESS);
    EXPECT_EQ(b.BitsPerPixel, 8);
    EXPECT_EQ(b.Pixels[0], 76); // red's weight
    EXPECT_EQ(b.Pixels[1], 255);
    EXPECT_TRUE(LtKernel135(&b));
    b.Palette[3].rgbGreen = 9;
    EXPECT_FALSE(LtKernel135(&b));
    LTBITMAP colour = Pattern(2, 2, 8);
    EXPECT_FALSE(LtKernel135(&colour));
    EXPECT_FALSE(LtKernel135(nullptr));
}

TEST(ImagingEffects, PaletteEntriesAreReadAndReplacedWithinTheDepth)
{
    LTBITMAP b = Pattern(3, 3, 4);
    const RGBQUAD two[2] = { { 1, 2, 3, 0 }, { 4, 5, 6, 7 } };
    ASSERT_EQ(LtPutPalette(&b, 14, 2, two), LT_SUCCESS);
    RGBQUAD back[3] = {};
    ASSERT_EQ(LtGetPalette(&b, 13, 3, back), LT_SUCCESS);
    EXPECT_EQ(back[0].rgbRed, b.Palette[13].rgbRed);
    EXPECT_EQ(back[1].rgbBlue, 1);
    EXPECT_EQ(back[2].rgbRed, 6);
    EXPECT_EQ(back[2].rgbReserved, 0);
    EXPECT_EQ(LtPutPalette(&b, 15, 2, two), LT_ERR_BAD_PARAM);
    EXPECT_EQ(LtGetPalette(&b, -1, 2, back), LT_ERR_BAD_PARAM);
    EXPECT_EQ(LtGetPalette(&b, 0, 1, nullptr), LT_ERR_BAD_PARAM);
    LTBITMAP deep = Pattern(2, 2, 24);
    EXPECT_EQ(LtGetPalette(&deep, 0, 1, back), LT_ERR_BAD_PARAM);
}

TEST(ImagingEffects, CombineAddsSaturatingInsideBothPictures)
{
    LTBITMAP target = Colours(3, 1, { RGB(200, 100, 0), RGB(200, 100, 0), RGB(200, 100, 0) });
    const LTBITMAP addend = Colours(2, 1, { RGB(100, 100, 100), RGB(1, 2, 3) });
    // The rectangle reaches past both pictures; only the overlap changes.
    ASSERT_EQ(LtCombineBitmaps(&target, 1, 0, 5, 5, &addend, 0, 0, LT_COMBINE_ADD), LT_SUCCESS);
    EXPECT_EQ(At(target, 0, 0), Of(RGB(200, 100, 0)));
    EXPECT_EQ(At(target, 1, 0), Of(RGB(255, 200, 100)));
    EXPECT_EQ(At(target, 2, 0), Of(RGB(201, 102, 3)));
    EXPECT_EQ(LtCombineBitmaps(&target, 0, 0, 1, 1, &addend, 0, 0, 0x0100), LT_ERR_BAD_PARAM);

    // A palette destination keeps its depth: sums go to the nearest entry.
    LTBITMAP indexed;
    LtAllocateBitmap(&indexed, 2, 1, 1);
    ASSERT_EQ(LtCombineBitmaps(&indexed, 0, 0, 2, 1, &addend, 0, 0, LT_COMBINE_ADD), LT_SUCCESS);
    EXPECT_EQ(indexed.BitsPerPixel, 1);
    EXPECT_EQ(At(indexed, 0, 0), Of(RGB(0, 0, 0)));
}

TEST(ImagingEffects, AverageAndMosaic)
{
    LTBITMAP dot;
    LtAllocateBitmap(&dot, 3, 3, 24);
    for (int c = 0; c < 3; ++c)
        dot.Pixels[size_t(dot.BytesPerLine) + 3 + size_t(c)] = 180;
    LTBITMAP averaged = dot;
    ASSERT_EQ(LtAverageFilter(&averaged, 3), LT_SUCCESS);
    EXPECT_EQ(At(averaged, 1, 1), Of(RGB(20, 20, 20)));
    EXPECT_EQ(At(averaged, 0, 0), Of(RGB(45, 45, 45))); // the corner's block is cut to 2 x 2
    EXPECT_EQ(At(averaged, 1, 0), Of(RGB(30, 30, 30)));
    EXPECT_EQ(LtAverageFilter(&averaged, 0), LT_ERR_BAD_PARAM);

    LTBITMAP tiles = Pattern(5, 5, 8);
    const LTBITMAP original = tiles;
    ASSERT_EQ(LtMosaic(&tiles, 2), LT_SUCCESS);
    EXPECT_EQ(tiles.BitsPerPixel, 24);
    auto mean = [&](int x0, int y0, int x1, int y1, int c) {
        int sum = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                sum += At(original, x, y)[size_t(c)];
        const int n = (x1 - x0) * (y1 - y0);
        return (sum + n / 2) / n;
    };
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(At(tiles, 0, 0)[size_t(c)], mean(0, 0, 2, 2, c));
        EXPECT_EQ(At(tiles, 1, 1)[size_t(c)], mean(0, 0, 2, 2, c));
        EXPECT_EQ(At(tiles, 4, 2)[size_t(c)], mean(4, 2, 5, 4, c)); // a part tile at the edge
        EXPECT_EQ(At(tiles, 4, 4)[size_t(c)], mean(4, 4, 5, 5, c));
    }
}

TEST(ImagingEffects, BrightnessAddsAShareOfFullScale)
{
    LTBITMAP b = Colours(3, 1, { RGB(0, 100, 255), RGB(200, 200, 200), RGB(10, 20, 30) });
    ASSERT_EQ(LtChangeBrightness(&b, 100), LT_SUCCESS); // +26 on every channel, held at white
    EXPECT_EQ(At(b, 0, 0), Of(RGB(26, 126, 255)));
    EXPECT_EQ(At(b, 1, 0), Of(RGB(226, 226, 226)));
    ASSERT_EQ(LtChangeBrightness(&b, -1000), LT_SUCCESS);
    EXPECT_EQ(At(b, 1, 0), Of(RGB(0, 0, 0)));
    LTBITMAP dark = Colours(1, 1, { RGB(200, 100, 50) });
    ASSERT_EQ(LtChangeBrightness(&dark, -100), LT_SUCCESS);
    EXPECT_EQ(At(dark, 0, 0), Of(RGB(174, 74, 24)));
    ASSERT_EQ(LtChangeBrightness(&dark, -105), LT_SUCCESS); // 26.8 rounds to 27, held at black
    EXPECT_EQ(At(dark, 0, 0), Of(RGB(147, 47, 0)));
    EXPECT_EQ(LtChangeBrightness(&dark, 1001), LT_ERR_BAD_PARAM);

    // A palette picture changes its palette only.
    LTBITMAP indexed = Pattern(4, 4, 8);
    const LTBITMAP before = indexed;
    ASSERT_EQ(LtChangeBrightness(&indexed, 500), LT_SUCCESS);
    EXPECT_EQ(indexed.Pixels, before.Pixels);
    for (size_t i = 0; i < 8; ++i) {
        const int was = before.Palette[i].rgbGreen;
        EXPECT_EQ(indexed.Palette[i].rgbGreen, std::min(255, was + 128)) << i;
    }
}

TEST(ImagingEffects, EmbossAndEdgeOnAStep)
{
    // Black on the left, white from column 4.
    LTBITMAP relief = Step(8, 5, 4);
    ASSERT_EQ(LtSpatialFilter(&relief, LT_FILTER_EMBOSS), LT_SUCCESS);
    for (int y = 0; y < 5; ++y) {
        EXPECT_EQ(At(relief, 0, y), Of(RGB(128, 128, 128))) << y;
        EXPECT_EQ(At(relief, 7, y), Of(RGB(128, 128, 128))) << y;
        // The rise faces the light from the upper left: both sides light.
        EXPECT_GT(At(relief, 3, y)[0], 200) << y;
        EXPECT_GT(At(relief, 4, y)[0], 200) << y;
    }
    // The opposite step falls away from the light.
    LTBITMAP fall = Step(8, 5, 4);
    LtReverseBitmap(&fall);
    ASSERT_EQ(LtSpatialFilter(&fall, LT_FILTER_EMBOSS), LT_SUCCESS);
    EXPECT_LT(At(fall, 3, 2)[0], 60);

    LTBITMAP edges = Step(8, 5, 4);
    ASSERT_EQ(LtSpatialFilter(&edges, LT_FILTER_EDGE), LT_SUCCESS);
    for (int y = 0; y < 5; ++y) {
        EXPECT_EQ(At(edges, 1, y), Of(RGB(0, 0, 0))) << y;
        EXPECT_EQ(At(edges, 6, y), Of(RGB(0, 0, 0))) << y;
        EXPECT_EQ(At(edges, 3, y), Of(RGB(255, 255, 255))) << y;
        EXPECT_EQ(At(edges, 4, y), Of(RGB(255, 255, 255))) << y;
    }
    EXPECT_EQ(LtSpatialFilter(&edges, 3), LT_ERR_BAD_PARAM);
}

TEST(ImagingEffects, RecordsWithoutPixelsAreRefused)
{
    LTBITMAP empty;
    LtInitBitmap(&empty, 4, 4, 24);
    LTBITMAP other = Pattern(2, 2, 24);
    EXPECT_EQ(LtReverseBitmap(&empty), LT_ERR_BAD_BITMAP);
    EXPECT_EQ(LtFlipBitmap(nullptr), LT_ERR_BAD_BITMAP);
    EXPECT_EQ(LtRotateBitmap(&empty, 9000, 0, 0), LT_ERR_BAD_BITMAP);
    EXPECT_EQ(LtResizeBitmap(&empty, 2, 2, LT_RESIZE_SMOOTH), LT_ERR_BAD_BITMAP);
    EXPECT_EQ(LtColorRes(&other, &empty, 8, 0, nullptr, 0, 0, 0), LT_ERR_BAD_BITMAP);
    EXPECT_EQ(LtGrayScale(&empty, 8), LT_ERR_BAD_BITMAP);
    EXPECT_EQ(LtCombineBitmaps(&other, 0, 0, 1, 1, &empty, 0, 0, LT_COMBINE_ADD), LT_ERR_BAD_BITMAP);
    EXPECT_EQ(LtAverageFilter(&empty, 3), LT_ERR_BAD_BITMAP);
    EXPECT_EQ(LtMosaic(&empty, 3), LT_ERR_BAD_BITMAP);
    EXPECT_EQ(LtChangeBrightness(&empty, 10), LT_ERR_BAD_BITMAP);
    EXPECT_EQ(LtSpatialFilter(&empty, LT_FILTER_EDGE), LT_ERR_BAD_BITMAP);
}
