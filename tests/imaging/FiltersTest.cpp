// The effect filters: their meanings on hand-made pixels, golden pictures of
// each on one sample, ImageMagick's result where the meaning is the same,
// and results that do not depend on how rows are split over cores.

#include "platform/imaging/FilterSupport.h"
#include "platform/imaging/Imaging.h"
#include "tests/imaging/PictureCheck.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

using namespace imaging_test;

namespace {

using Rgba = std::array<uint8_t, 4>;

Rgba At(const LTBITMAP& b, int x, int y)
{
    return RgbaAt(b, x, y);
}

Rgba Of(COLORREF c, uint8_t a = 255)
{
    return Rgba { GetRValue(c), GetGValue(c), GetBValue(c), a };
}

// A 24-bit picture with smooth ramps, hard edges and flat patches: red
// grows to the right, green downwards, blue in diagonal stripes, and a
// white and a black block.
LTBITMAP Sample(int width, int height, int bits = 24)
{
    LTBITMAP b;
    LtAllocateBitmap(&b, width, height, bits);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int r = x * 255 / std::max(1, width - 1);
            int g = y * 255 / std::max(1, height - 1);
            int bl = ((x + y) / 6) % 2 ? 200 : 40;
            if (x >= width / 2 && x < width / 2 + 8 && y >= 4 && y < 12)
                r = g = bl = 255;
            if (x >= 4 && x < 12 && y >= height / 2 && y < height / 2 + 8)
                r = g = bl = 0;
            BYTE* p = b.Pixels.data() + size_t(y) * size_t(b.BytesPerLine) + size_t(x) * size_t(bits / 8);
            p[0] = BYTE(bl);
            p[1] = BYTE(g);
            p[2] = BYTE(r);
            if (bits == 32)
                p[3] = BYTE(255 - x * 3 % 256);
        }
    }
    return b;
}

LTBITMAP Flat(int width, int height, COLORREF colour)
{
    LTBITMAP b;
    LtAllocateBitmap(&b, width, height, 24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            BYTE* p = b.Pixels.data() + size_t(y) * size_t(b.BytesPerLine) + size_t(x) * 3;
            p[0] = GetBValue(colour);
            p[1] = GetGValue(colour);
            p[2] = GetRValue(colour);
        }
    return b;
}

int MaxDifference(const LTBITMAP& a, const LTBITMAP& b)
{
    if (a.Width != b.Width || a.Height != b.Height)
        return 1000;
    int worst = 0;
    for (int y = 0; y < a.Height; ++y)
        for (int x = 0; x < a.Width; ++x) {
            const Rgba p = At(a, x, y);
            const Rgba q = At(b, x, y);
            for (size_t c = 0; c < 4; ++c)
                worst = std::max(worst, std::abs(int(p[c]) - int(q[c])));
        }
    return worst;
}

struct Effect {
    const char* name;
    std::function<int(LTBITMAP&)> apply;
};

const std::vector<Effect>& Effects()
{
    static const std::vector<Effect> effects = {
        { "gamma", [](LTBITMAP& b) { return LtGammaCorrect(&b, 220); } },
        { "halftone-view", [](LTBITMAP& b) { return LtHalftone(&b, LT_HALFTONE_VIEW, 4500); } },
        { "halftone-print", [](LTBITMAP& b) { return LtHalftone(&b, LT_HALFTONE_PRINT, 1500); } },
        { "posterize", [](LTBITMAP& b) { return LtPosterize(&b, 4); } },
        { "median", [](LTBITMAP& b) { return LtMedianFilter(&b, 5); } },
        { "invert", [](LTBITMAP& b) { return LtInvert(&b); } },
        { "noise", [](LTBITMAP& b) { return LtAddNoise(&b, 300, 0); } },
        { "noise-green", [](LTBITMAP& b) { return LtAddNoise(&b, 500, 2); } },
        { "emboss", [](LTBITMAP& b) { return LtEmboss(&b, 7, 30); } },
        { "sharpen", [](LTBITMAP& b) { return LtSharpen(&b, 800); } },
        { "hue", [](LTBITMAP& b) { return LtChangeHue(&b, 120); } },
        { "saturation", [](LTBITMAP& b) { return LtChangeSaturation(&b, -600); } },
        { "contrast", [](LTBITMAP& b) { return LtChangeContrast(&b, 400); } },
        { "brightness", [](LTBITMAP& b) { return LtChangeBrightness(&b, -200); } },
        { "shear-horizontal", [](LTBITMAP& b) { return LtShearBitmap(&b, 2000, 1, RGB(255, 255, 255)); } },
        { "shear-vertical", [](LTBITMAP& b) { return LtShearBitmap(&b, -1500, 0, RGB(0, 128, 255)); } },
    };
    return effects;
}

// ImageMagick's results for the operations on the picture, read back as
// records, all from one `convert`: each operation works on a copy of the
// picture inside parentheses whose settings end there. A result that
// convert could not make is not ok.
std::vector<Reference> ConvertResults(const LTBITMAP& input, const std::vector<std::string>& operations)
{
    std::vector<Reference> results(operations.size());
    const std::string folder = testing_support::MakeTempDir("filters");
    const std::string in = folder + "/in.png";
    if (LtSaveFile(WindowsPath(in).c_str(), &input, LT_FORMAT_PNG, 24, 0) != LT_SUCCESS)
        return results;
    std::string command = "convert -respect-parentheses '" + in + "'";
    for (size_t i = 0; i < operations.size(); ++i)
        command += " \\( +clone " + operations[i] + " -depth 8 -write 'png24:" + folder + "/out" + std::to_string(i) +
            ".png' +delete \\)";
    command += " null: 2>/dev/null";
    if (std::system(command.c_str()) != 0)
        return results;
    for (size_t i = 0; i < operations.size(); ++i)
        results[i] = ReadReference(ReadBytes(folder + "/out" + std::to_string(i) + ".png"));
    return results;
}

int MaxDifference(const LTBITMAP& ours, const Reference& theirs)
{
    if (ours.Width != theirs.width || ours.Height != theirs.height)
        return 1000;
    int worst = 0;
    for (int y = 0; y < ours.Height; ++y)
        for (int x = 0; x < ours.Width; ++x) {
            const Rgba p = At(ours, x, y);
            const uint8_t* q = theirs.rgba.data() + (size_t(y) * size_t(theirs.width) + size_t(x)) * 4;
            for (size_t c = 0; c < 3; ++c)
                worst = std::max(worst, std::abs(int(p[c]) - int(q[c])));
        }
    return worst;
}

} // namespace

TEST(ImagingFilters, EachEffectMatchesItsGoldenPicture)
{
    const std::string folder = std::string(THREADWICK_SOURCE_DIR) + "/tests/data/imaging/";
    const char* update = std::getenv("THREADWICK_UPDATE_GOLDEN");
    const bool rewrite = update && std::string(update) == "1";
    for (const Effect& effect : Effects()) {
        LTBITMAP b = Sample(64, 48);
        ASSERT_EQ(effect.apply(b), LT_SUCCESS) << effect.name;
        const std::string path = folder + "filter-" + effect.name + ".png";
        LTBITMAP golden;
        if (rewrite || !std::filesystem::exists(path)) {
            ASSERT_EQ(LtSaveFile(WindowsPath(path).c_str(), &b, LT_FORMAT_PNG, 24, 0), LT_SUCCESS);
            ADD_FAILURE() << "wrote " << path << "; look at it and commit it";
            continue;
        }
        ASSERT_EQ(LtLoadFile(WindowsPath(path).c_str(), &golden, 24, LT_ORDER_BGR, LT_LOAD_ALLOCATE | LT_LOAD_STORE,
                      nullptr, nullptr),
            LT_SUCCESS)
            << path;
        // One level for the last bit of floating-point rounding elsewhere.
        EXPECT_LE(MaxDifference(b, golden), 1) << effect.name;
    }
}

TEST(ImagingFilters, SharedMeaningsAgreeWithImageMagick)
{
    struct Case {
        const char* operation;
        std::function<int(LTBITMAP&)> apply;
    };
    const std::vector<Case> cases = {
        { "-negate", [](LTBITMAP& b) { return LtInvert(&b); } },
        { "-posterize 4", [](LTBITMAP& b) { return LtPosterize(&b, 4); } },
        { "-posterize 7", [](LTBITMAP& b) { return LtPosterize(&b, 7); } },
        { "-gamma 2.0", [](LTBITMAP& b) { return LtGammaCorrect(&b, 200); } },
        { "-gamma 0.45", [](LTBITMAP& b) { return LtGammaCorrect(&b, 45); } },
        { "-grayscale Rec601Luma", [](LTBITMAP& b) { return LtGrayScale(&b, 8); } },
        { "-statistic Median 3x3", [](LTBITMAP& b) { return LtMedianFilter(&b, 3); } },
        { "-statistic Median 5x5", [](LTBITMAP& b) { return LtMedianFilter(&b, 5); } },
        { "-flip", [](LTBITMAP& b) { return LtFlipBitmap(&b); } },
        { "-flop", [](LTBITMAP& b) { return LtReverseBitmap(&b); } },
        { "-rotate -90", [](LTBITMAP& b) { return LtRotateBitmap(&b, 9000, LT_ROTATE_RESIZE, 0); } },
        { "-rotate 90", [](LTBITMAP& b) { return LtRotateBitmap(&b, 27000, LT_ROTATE_RESIZE, 0); } },
        { "-rotate 180", [](LTBITMAP& b) { return LtRotateBitmap(&b, 18000, LT_ROTATE_RESIZE, 0); } },
    };
    if (std::system("command -v convert >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "ImageMagick's convert is not available";
    const LTBITMAP input = Sample(40, 30);
    std::vector<std::string> operations;
    for (const Case& c : cases)
        operations.push_back(c.operation);
    const std::vector<Reference> results = ConvertResults(input, operations);
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        if (!results[i].ok)
            GTEST_SKIP() << "ImageMagick's convert is not available";
        LTBITMAP ours = input;
        ASSERT_EQ(c.apply(ours), LT_SUCCESS) << c.operation;
        EXPECT_LE(MaxDifference(ours, results[i]), 1) << c.operation;
    }
}

TEST(ImagingFilters, ResultsDoNotDependOnTheSplitOfRows)
{
    const LTBITMAP input = Sample(97, 61, 32);
    for (const Effect& effect : Effects()) {
        std::vector<LTBITMAP> results;
        for (int bands : { 1, 2, 7, 61 }) {
            const int was = platform::imaging::SetFilterBands(bands);
            LTBITMAP b = input;
            EXPECT_EQ(effect.apply(b), LT_SUCCESS) << effect.name;
            platform::imaging::SetFilterBands(was);
            results.push_back(std::move(b));
        }
        for (size_t i = 1; i < results.size(); ++i) {
            EXPECT_EQ(results[i].Pixels, results[0].Pixels) << effect.name << " split " << i;
            EXPECT_EQ(results[i].Width, results[0].Width) << effect.name;
        }
        // Deeper records keep their depth and alpha.
        EXPECT_EQ(results[0].BitsPerPixel, 32) << effect.name;
        if (std::string(effect.name).rfind("shear", 0) != 0) {
            EXPECT_EQ(At(results[0], 10, 3)[3], At(input, 10, 3)[3]) << effect.name;
        }
    }
}

TEST(ImagingFilters, ToneCurves)
{
    LTBITMAP b = Colours(4, 1, { RGB(0, 64, 128), RGB(255, 200, 10), RGB(127, 128, 129), RGB(30, 60, 90) });
    const LTBITMAP before = b;
    ASSERT_EQ(LtGammaCorrect(&b, 100), LT_SUCCESS);
    EXPECT_EQ(b.Pixels, before.Pixels);
    ASSERT_EQ(LtGammaCorrect(&b, 200), LT_SUCCESS); // square root: lighter mid-tones, ends kept
    EXPECT_EQ(At(b, 0, 0), Of(RGB(0, 128, 181)));
    EXPECT_EQ(At(b, 1, 0)[0], 255);

    b = before;
    ASSERT_EQ(LtChangeContrast(&b, 1000), LT_SUCCESS); // distances from mid-grey doubled
    EXPECT_EQ(At(b, 0, 0), Of(RGB(0, 1, 129)));
    EXPECT_EQ(At(b, 2, 0), Of(RGB(127, 129, 131)));
    EXPECT_EQ(At(b, 3, 0), Of(RGB(0, 0, 53)));
    b = before;
    ASSERT_EQ(LtChangeContrast(&b, -1000), LT_SUCCESS);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(At(b, x, 0), Of(RGB(128, 128, 128))) << x;

    b = before;
    ASSERT_EQ(LtPosterize(&b, 2), LT_SUCCESS);
    EXPECT_EQ(At(b, 0, 0), Of(RGB(0, 0, 255)));
    EXPECT_EQ(At(b, 2, 0), Of(RGB(0, 255, 255)));

    // Palette records change their palette and keep their pixels.
    LTBITMAP indexed = Pattern(4, 4, 8);
    const LTBITMAP plain = indexed;
    ASSERT_EQ(LtInvert(&indexed), LT_SUCCESS);
    EXPECT_EQ(indexed.BitsPerPixel, 8);
    EXPECT_EQ(indexed.Pixels, plain.Pixels);
    EXPECT_EQ(indexed.Palette[3].rgbRed, 255 - plain.Palette[3].rgbRed);
    ASSERT_EQ(LtChangeHue(&indexed, 90), LT_SUCCESS);
    EXPECT_EQ(indexed.Pixels, plain.Pixels);

    // 16-bit pixels go through the tables too.
    LTBITMAP high = Colours(1, 1, { RGB(255, 0, 132) });
    ASSERT_EQ(LtColorRes(&high, &high, 16, 0, nullptr, 0, 0, 0), LT_SUCCESS);
    ASSERT_EQ(LtInvert(&high), LT_SUCCESS);
    EXPECT_EQ(At(high, 0, 0)[0], 0);
    EXPECT_EQ(At(high, 0, 0)[1], 255);
}

TEST(ImagingFilters, HueAndSaturation)
{
    LTBITMAP b = Colours(3, 1, { RGB(255, 0, 0), RGB(128, 128, 128), RGB(200, 100, 100) });
    ASSERT_EQ(LtChangeHue(&b, 120), LT_SUCCESS);
    EXPECT_EQ(At(b, 0, 0), Of(RGB(0, 255, 0)));
    EXPECT_EQ(At(b, 1, 0), Of(RGB(128, 128, 128)));
    EXPECT_EQ(At(b, 2, 0), Of(RGB(100, 200, 100)));
    ASSERT_EQ(LtChangeHue(&b, -120), LT_SUCCESS);
    EXPECT_EQ(At(b, 0, 0), Of(RGB(255, 0, 0)));

    ASSERT_EQ(LtChangeSaturation(&b, -1000), LT_SUCCESS); // greys of the same lightness
    EXPECT_EQ(At(b, 0, 0), Of(RGB(128, 128, 128)));
    EXPECT_EQ(At(b, 2, 0), Of(RGB(150, 150, 150)));
    LTBITMAP pale = Colours(1, 1, { RGB(150, 100, 100) });
    ASSERT_EQ(LtChangeSaturation(&pale, 1000), LT_SUCCESS);
    EXPECT_EQ(At(pale, 0, 0), Of(RGB(175, 75, 75)));
    LTBITMAP turned = Colours(1, 1, { RGB(255, 0, 0) }); // whole turns repeat
    ASSERT_EQ(LtChangeHue(&turned, 480), LT_SUCCESS);
    EXPECT_EQ(At(turned, 0, 0), Of(RGB(0, 255, 0)));
    EXPECT_EQ(LtChangeSaturation(&pale, -1001), LT_ERR_BAD_PARAM);
}

TEST(ImagingFilters, MedianRemovesSpecksAndKeepsEdges)
{
    LTBITMAP b = Flat(9, 9, RGB(50, 60, 70));
    for (int y = 0; y < 9; ++y)
        for (int x = 5; x < 9; ++x)
            b.Pixels[size_t(y) * size_t(b.BytesPerLine) + size_t(x) * 3 + 1] = 220; // a green right part
    b.Pixels[size_t(2) * size_t(b.BytesPerLine) + 2 * 3 + 2] = 255; // a red speck
    ASSERT_EQ(LtMedianFilter(&b, 3), LT_SUCCESS);
    EXPECT_EQ(At(b, 2, 2), Of(RGB(50, 60, 70)));
    EXPECT_EQ(At(b, 4, 4), Of(RGB(50, 60, 70)));
    EXPECT_EQ(At(b, 5, 4), Of(RGB(50, 220, 70)));
    EXPECT_EQ(At(b, 8, 0), Of(RGB(50, 220, 70))); // corners repeat the edge

    // Even sizes and palette records work; palette records come back deep.
    LTBITMAP indexed = Pattern(6, 5, 4);
    ASSERT_EQ(LtMedianFilter(&indexed, 4), LT_SUCCESS);
    EXPECT_EQ(indexed.BitsPerPixel, 24);
    EXPECT_EQ(LtMedianFilter(&indexed, 0), LT_ERR_BAD_PARAM);
    EXPECT_EQ(LtMedianFilter(&indexed, 65), LT_ERR_BAD_PARAM);
    // A block larger than the picture is still a median of what is there.
    LTBITMAP tiny = Colours(2, 1, { RGB(0, 0, 0), RGB(255, 255, 255) });
    ASSERT_EQ(LtMedianFilter(&tiny, 64), LT_SUCCESS);
}

TEST(ImagingFilters, NoiseIsBoundedRepeatableAndOnItsChannel)
{
    const LTBITMAP grey = Flat(40, 30, RGB(128, 128, 128));
    LTBITMAP a = grey;
    LTBITMAP b = grey;
    ASSERT_EQ(LtAddNoise(&a, 200, 0), LT_SUCCESS);
    ASSERT_EQ(LtAddNoise(&b, 200, 0), LT_SUCCESS);
    EXPECT_EQ(a.Pixels, b.Pixels);
    int changed = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const Rgba p = At(a, x, y);
            EXPECT_LE(std::abs(p[0] - 128), 51);
            EXPECT_EQ(p[0], p[1]); // channel 0: all three alike
            EXPECT_EQ(p[1], p[2]);
            changed += p[0] != 128;
        }
    EXPECT_GT(changed, 1000);

    LTBITMAP blue = grey;
    ASSERT_EQ(LtAddNoise(&blue, 1000, 3), LT_SUCCESS);
    int spread = 0;
    for (int x = 0; x < 40; ++x) {
        const Rgba p = At(blue, x, 7);
        EXPECT_EQ(p[0], 128);
        EXPECT_EQ(p[1], 128);
        spread = std::max(spread, std::abs(p[2] - 128));
    }
    EXPECT_GT(spread, 60);

    // The channel is the same colour whatever the byte order.
    LTBITMAP rgb = Flat(8, 2, RGB(10, 128, 200));
    LTBITMAP bgr = rgb;
    for (int y = 0; y < rgb.Height; ++y) // swap to red-green-blue bytes
        for (int x = 0; x < rgb.Width; ++x)
            std::swap(rgb.Pixels[size_t(y) * size_t(rgb.BytesPerLine) + size_t(x) * 3],
                rgb.Pixels[size_t(y) * size_t(rgb.BytesPerLine) + size_t(x) * 3 + 2]);
    rgb.Order = LT_ORDER_RGB;
    ASSERT_EQ(LtAddNoise(&rgb, 400, 1), LT_SUCCESS);
    ASSERT_EQ(LtAddNoise(&bgr, 400, 1), LT_SUCCESS);
    EXPECT_EQ(MaxDifference(rgb, bgr), 0);
    EXPECT_EQ(At(rgb, 3, 1)[1], 128);

    LTBITMAP none = grey;
    ASSERT_EQ(LtAddNoise(&none, 0, 1), LT_SUCCESS);
    EXPECT_EQ(none.Pixels, grey.Pixels);
    EXPECT_EQ(LtAddNoise(&none, 1001, 0), LT_ERR_BAD_PARAM);
    EXPECT_EQ(LtAddNoise(&none, 10, 4), LT_ERR_BAD_PARAM);
}

TEST(ImagingFilters, EmbossLightsTheSlopesFacingTheLight)
{
    // Dark on the left, light on the right: the rise faces west.
    LTBITMAP step = Flat(10, 6, RGB(0, 0, 0));
    for (int y = 0; y < 6; ++y)
        for (int x = 5; x < 10; ++x)
            for (int c = 0; c < 3; ++c)
                step.Pixels[size_t(y) * size_t(step.BytesPerLine) + size_t(x) * 3 + size_t(c)] = 200;
    LTBITMAP west = step;
    ASSERT_EQ(LtEmboss(&west, 6, 10), LT_SUCCESS);
    EXPECT_EQ(At(west, 1, 2), Of(RGB(128, 128, 128)));
    EXPECT_EQ(At(west, 8, 2), Of(RGB(128, 128, 128)));
    EXPECT_GT(At(west, 5, 2)[0], 200);
    LTBITMAP east = step;
    ASSERT_EQ(LtEmboss(&east, 2, 10), LT_SUCCESS);
    EXPECT_LT(At(east, 5, 2)[0], 60);
    LTBITMAP north = step; // the light runs along the edge: no relief
    ASSERT_EQ(LtEmboss(&north, 0, 10), LT_SUCCESS);
    EXPECT_EQ(At(north, 5, 2), Of(RGB(128, 128, 128)));
    LTBITMAP flat = step;
    ASSERT_EQ(LtEmboss(&flat, 3, 0), LT_SUCCESS);
    EXPECT_EQ(At(flat, 5, 2), Of(RGB(128, 128, 128)));
    EXPECT_EQ(LtEmboss(&flat, 8, 10), LT_ERR_BAD_PARAM);
    EXPECT_EQ(LtEmboss(&flat, -1, 10), LT_ERR_BAD_PARAM);
}

TEST(ImagingFilters, SharpenRaisesEdgesAndLeavesFlatAreas)
{
    LTBITMAP step = Flat(8, 4, RGB(100, 100, 100));
    for (int y = 0; y < 4; ++y)
        for (int x = 4; x < 8; ++x)
            for (int c = 0; c < 3; ++c)
                step.Pixels[size_t(y) * size_t(step.BytesPerLine) + size_t(x) * 3 + size_t(c)] = 160;
    LTBITMAP sharp = step;
    ASSERT_EQ(LtSharpen(&sharp, 1000), LT_SUCCESS);
    EXPECT_EQ(At(sharp, 1, 1), Of(RGB(100, 100, 100)));
    EXPECT_EQ(At(sharp, 3, 1), Of(RGB(80, 80, 80))); // 100 - (160 - 100) / 3
    EXPECT_EQ(At(sharp, 4, 1), Of(RGB(180, 180, 180)));
    LTBITMAP soft = step;
    ASSERT_EQ(LtSharpen(&soft, -1000), LT_SUCCESS); // the 3 x 3 average
    EXPECT_EQ(At(soft, 3, 1), Of(RGB(120, 120, 120)));
    LTBITMAP same = step;
    ASSERT_EQ(LtSharpen(&same, 0), LT_SUCCESS);
    EXPECT_EQ(same.Pixels, step.Pixels);
}

TEST(ImagingFilters, HalftoneScreens)
{
    auto inked = [](const LTBITMAP& b) {
        int count = 0;
        for (int y = 0; y < b.Height; ++y)
            for (int x = 0; x < b.Width; ++x) {
                const Rgba p = At(b, x, y);
                EXPECT_TRUE(p[0] == 0 || p[0] == 255);
                count += p[0] == 0;
            }
        return count;
    };
    LTBITMAP white = Flat(32, 32, RGB(255, 255, 255));
    ASSERT_EQ(LtHalftone(&white, LT_HALFTONE_PRINT, 4500), LT_SUCCESS);
    EXPECT_EQ(inked(white), 0);
    LTBITMAP black = Flat(32, 32, RGB(0, 0, 0));
    ASSERT_EQ(LtHalftone(&black, LT_HALFTONE_VIEW, 0), LT_SUCCESS);
    EXPECT_EQ(inked(black), 32 * 32);

    // Mid grey inks about half; a darker grey more.
    LTBITMAP mid = Flat(64, 64, RGB(128, 128, 128));
    LTBITMAP view = mid;
    ASSERT_EQ(LtHalftone(&view, LT_HALFTONE_VIEW, 0), LT_SUCCESS);
    EXPECT_NEAR(inked(view), 64 * 64 / 2, 64 * 64 / 8);
    LTBITMAP dark = Flat(64, 64, RGB(64, 64, 64));
    ASSERT_EQ(LtHalftone(&dark, LT_HALFTONE_PRINT, 0), LT_SUCCESS);
    EXPECT_GT(inked(dark), 64 * 64 * 6 / 10);

    // Unturned, the screen repeats every cell: 8 pixels for print, 4 for view.
    LTBITMAP light = Flat(32, 32, RGB(200, 200, 200));
    LTBITMAP print = light;
    ASSERT_EQ(LtHalftone(&print, LT_HALFTONE_PRINT, 0), LT_SUCCESS);
    ASSERT_EQ(LtHalftone(&light, LT_HALFTONE_VIEW, 0), LT_SUCCESS);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            EXPECT_EQ(At(print, x, y), At(print, x + 8, y + 8));
            EXPECT_EQ(At(light, x, y), At(light, x + 4, y));
        }
    EXPECT_NE(At(print, 4, 4), At(print, 0, 0)); // a dot in each cell's middle
    EXPECT_NE(At(light, 2, 2), At(light, 0, 0));

    // Palette and 16-bit records are screened alike and come back deep.
    LTBITMAP indexed = Pattern(16, 16, 8);
    LTBITMAP deep = indexed;
    ASSERT_EQ(LtColorRes(&deep, &deep, 24, 0, nullptr, 0, 0, 0), LT_SUCCESS);
    ASSERT_EQ(LtHalftone(&indexed, LT_HALFTONE_VIEW, 1000), LT_SUCCESS);
    ASSERT_EQ(LtHalftone(&deep, LT_HALFTONE_VIEW, 1000), LT_SUCCESS);
    EXPECT_EQ(indexed.BitsPerPixel, 24);
    EXPECT_EQ(MaxDifference(indexed, deep), 0);
    inked(indexed);

    LTBITMAP turned = mid;
    ASSERT_EQ(LtHalftone(&turned, LT_HALFTONE_VIEW, 3000), LT_SUCCESS);
    EXPECT_NE(turned.Pixels, view.Pixels);
    EXPECT_EQ(LtHalftone(&turned, 2, 0), LT_ERR_BAD_PARAM);
    LTBITMAP round = mid; // whole turns repeat
    ASSERT_EQ(LtHalftone(&round, LT_HALFTONE_VIEW, 36000 + 3000), LT_SUCCESS);
    LTBITMAP again = mid;
    ASSERT_EQ(LtHalftone(&again, LT_HALFTONE_VIEW, 3000), LT_SUCCESS);
    EXPECT_EQ(round.Pixels, again.Pixels);
}

TEST(ImagingFilters, ShearGrowsTheRecordAndFillsTheRest)
{
    LTBITMAP b = Flat(10, 5, RGB(0, 0, 0));
    ASSERT_EQ(LtShearBitmap(&b, 4500, 1, RGB(255, 0, 0)), LT_SUCCESS); // one pixel a row
    EXPECT_EQ(b.Width, 14);
    EXPECT_EQ(b.Height, 5);
    EXPECT_EQ(At(b, 0, 0), Of(RGB(255, 0, 0)));   // the top row slid furthest right
    EXPECT_EQ(At(b, 4, 0), Of(RGB(0, 0, 0)));
    EXPECT_EQ(At(b, 3, 0), Of(RGB(255, 0, 0)));
    EXPECT_EQ(At(b, 0, 4), Of(RGB(0, 0, 0)));      // the bottom row stays
    EXPECT_EQ(At(b, 10, 4), Of(RGB(255, 0, 0)));

    LTBITMAP v = Flat(5, 10, RGB(0, 0, 0));
    ASSERT_EQ(LtShearBitmap(&v, -4500, 0, RGB(255, 255, 255)), LT_SUCCESS);
    EXPECT_EQ(v.Width, 5);
    EXPECT_EQ(v.Height, 14);
    EXPECT_EQ(At(v, 4, 0), Of(RGB(0, 0, 0))); // negative: the right column stays
    EXPECT_EQ(At(v, 0, 0), Of(RGB(255, 255, 255)));
    EXPECT_EQ(At(v, 0, 4), Of(RGB(0, 0, 0)));
    EXPECT_EQ(At(v, 0, 13), Of(RGB(0, 0, 0)));
    EXPECT_EQ(At(v, 4, 13), Of(RGB(255, 255, 255)));

    LTBITMAP same = Sample(12, 8);
    const LTBITMAP before = same;
    ASSERT_EQ(LtShearBitmap(&same, 0, 1, 0), LT_SUCCESS);
    EXPECT_EQ(MaxDifference(same, before), 0);
    EXPECT_EQ(LtShearBitmap(&same, 9000, 1, 0), LT_ERR_BAD_PARAM);
    EXPECT_EQ(LtShearBitmap(&same, 100, 2, 0), LT_ERR_BAD_PARAM);
    // Nearly upright, the slide would need a record beyond the limits.
    LTBITMAP tall = Flat(4, 4000, RGB(1, 2, 3));
    EXPECT_EQ(LtShearBitmap(&tall, 8999, 1, 0), LT_ERR_NO_MEMORY);
    EXPECT_EQ(tall.Width, 4);
}

TEST(ImagingFilters, RefuseRecordsWithoutPixelsAndValuesOutOfRange)
{
    LTBITMAP empty;
    for (const Effect& effect : Effects())
        EXPECT_EQ(effect.apply(empty), LT_ERR_BAD_BITMAP) << effect.name;
    EXPECT_EQ(LtInvert(nullptr), LT_ERR_BAD_BITMAP);
    LTBITMAP b = Sample(8, 8);
    const LTBITMAP before = b;
    EXPECT_EQ(LtGammaCorrect(&b, 0), LT_ERR_BAD_PARAM);
    EXPECT_EQ(LtPosterize(&b, 1), LT_ERR_BAD_PARAM);
    EXPECT_EQ(LtPosterize(&b, 65), LT_ERR_BAD_PARAM);
    EXPECT_EQ(LtChangeContrast(&b, 1001), LT_ERR_BAD_PARAM);
    EXPECT_EQ(LtSharpen(&b, 10001), LT_ERR_BAD_PARAM);
    EXPECT_EQ(b.Pixels, before.Pixels);
}

TEST(ImagingFilters, ColorResolutionFlags)
{
    const LTBITMAP grey = Flat(16, 16, RGB(128, 128, 128));
    auto blacks = [](const LTBITMAP& b) {
        int n = 0;
        for (int y = 0; y < b.Height; ++y)
            for (int x = 0; x < b.Width; ++x)
                n += At(b, x, y)[0] == 0;
        return n;
    };
    LTBITMAP plain;
    ASSERT_EQ(LtColorRes(&plain, &grey, 1, LT_COLORRES_FIXED, nullptr, 0, 0, 0), LT_SUCCESS);
    EXPECT_TRUE(blacks(plain) == 0 || blacks(plain) == 256);
    LTBITMAP ordered;
    ASSERT_EQ(LtColorRes(&ordered, &grey, 1, LT_COLORRES_ORDERED, nullptr, 0, 0, 0), LT_SUCCESS);
    EXPECT_EQ(blacks(ordered), 128);
    for (int y = 0; y < 8; ++y) // the pattern repeats every 8 pixels
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(At(ordered, x, y), At(ordered, x + 8, y + 8));
    LTBITMAP diffused;
    ASSERT_EQ(LtColorRes(&diffused, &grey, 1, LT_COLORRES_DITHER, nullptr, 0, 0, 0), LT_SUCCESS);
    EXPECT_NEAR(blacks(diffused), 128, 8);
    EXPECT_NE(diffused.Pixels, ordered.Pixels);

    // 1 and 2 both mean an optimised palette, with or without diffusion.
    const LTBITMAP three = Colours(3, 1, { RGB(10, 20, 30), RGB(200, 100, 0), RGB(10, 20, 30) });
    for (UINT flags : { 0x00001u, 0x00002u, 0x10001u, 0x10002u }) {
        LTBITMAP own;
        ASSERT_EQ(LtColorRes(&own, &three, 8, flags, nullptr, 0, 0, 0), LT_SUCCESS) << flags;
        EXPECT_EQ(At(own, 1, 0), Of(RGB(200, 100, 0))) << flags;
        EXPECT_EQ(At(own, 0, 0), Of(RGB(10, 20, 30))) << flags;
    }
    // No palette: deep targets keep every colour.
    LTBITMAP deep;
    ASSERT_EQ(LtColorRes(&deep, &three, 24, LT_COLORRES_NO_PALETTE, nullptr, 0, 0, 0), LT_SUCCESS);
    EXPECT_EQ(At(deep, 1, 0), Of(RGB(200, 100, 0)));
    // The caller's table wins over the optimised bit.
    std::vector<RGBQUAD> table(256, RGBQUAD { 0, 0, 0, 0 });
    table[1] = RGBQUAD { 0, 0, 255, 0 };
    LTBITMAP mapped;
    ASSERT_EQ(LtColorRes(&mapped, &three, 8, LT_COLORRES_USER_PALETTE | LT_COLORRES_OPTIMIZED, table.data(), 0, 0, 0),
        LT_SUCCESS);
    EXPECT_EQ(At(mapped, 1, 0), Of(RGB(255, 0, 0)));
}
