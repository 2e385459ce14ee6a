// The painter behind the generated pictures: coverage at the edges of
// shapes, even-odd holes, stroke widths, the order of items, and the pixel
// operations that turn a drawing into a strip, a menu bitmap or a cursor.

#include "tools/artgen/Lettering.h"
#include "tools/artgen/Raster.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using artgen::Image;
using artgen::Pt;
using artgen::Rgb;

const uint8_t* Pixel(const Image& image, int x, int y)
{
    return &image.rgba[(size_t(y) * size_t(image.width) + size_t(x)) * 4];
}

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};

TEST(RasterTest, CoverageIsTheShareOfThePixelInsideTheShape)
{
    artgen::Scene s;
    // Covers columns 2 and 3 fully and half of column 4, rows 1 to 2.
    s.Fill({{2, 1}, {4.5, 1}, {4.5, 3}, {2, 3}}, kRed);
    Image image = artgen::Render(s, 6, 4, 1, 0, 0);
    EXPECT_EQ(Pixel(image, 2, 1)[3], 255);
    EXPECT_EQ(Pixel(image, 3, 2)[3], 255);
    EXPECT_EQ(Pixel(image, 4, 1)[3], 128);
    EXPECT_EQ(Pixel(image, 4, 1)[0], 255) << "colour stays straight, not premultiplied";
    EXPECT_EQ(Pixel(image, 1, 1)[3], 0);
    EXPECT_EQ(Pixel(image, 2, 0)[3], 0);
    EXPECT_EQ(Pixel(image, 5, 3)[3], 0);
}

TEST(RasterTest, InnerContoursCutHolesAndLaterItemsCoverEarlierOnes)
{
    artgen::Scene s;
    s.Fill(std::vector<std::vector<Pt>>{{{0, 0}, {8, 0}, {8, 8}, {0, 8}}, {{2, 2}, {6, 2}, {6, 6}, {2, 6}}}, kRed);
    s.Stroke({{0, 7.5}, {8, 7.5}}, 1, kBlue);
    Image image = artgen::Render(s, 8, 8, 1, 0, 0);
    EXPECT_EQ(Pixel(image, 4, 4)[3], 0) << "the hole";
    EXPECT_EQ(Pixel(image, 1, 4)[0], 255);
    EXPECT_EQ(Pixel(image, 4, 7)[2], 255) << "the stroke drawn last wins";
    EXPECT_EQ(Pixel(image, 4, 7)[0], 0);
}

TEST(RasterTest, StrokesAreAsWideAsAskedAndScaleWithTheScene)
{
    artgen::Scene s;
    s.Stroke({{0, 5}, {10, 5}}, 2, kRed);
    Image small = artgen::Render(s, 10, 10, 1, 0, 0);
    EXPECT_EQ(Pixel(small, 5, 4)[3], 255);
    EXPECT_EQ(Pixel(small, 5, 5)[3], 255);
    EXPECT_EQ(Pixel(small, 5, 3)[3], 0);
    EXPECT_EQ(Pixel(small, 5, 6)[3], 0);

    Image doubled = artgen::Render(s, 20, 20, 2, 0, 0);
    for (int y = 8; y < 12; ++y)
        EXPECT_EQ(Pixel(doubled, 10, y)[3], 255) << y;
    EXPECT_EQ(Pixel(doubled, 10, 7)[3], 0);
    EXPECT_EQ(Pixel(doubled, 10, 12)[3], 0);
}

TEST(RasterTest, TurnsAndArcsLandOnTheirPointsExactlyEnough)
{
    Pt quarter = artgen::Turn({10, 0}, {0, 0}, 90);
    EXPECT_NEAR(quarter.x, 0, 1e-12);
    EXPECT_NEAR(quarter.y, 10, 1e-12) << "clockwise on screen: +x turns to +y";
    Pt back = artgen::Turn({3, 4}, {1, 1}, -360);
    EXPECT_NEAR(back.x, 3, 1e-12);
    EXPECT_NEAR(back.y, 4, 1e-12);
    for (double degrees : {0.0, 30.0, 45.0, 137.0, -200.0}) {
        Pt p = artgen::Turn({1, 0}, {0, 0}, degrees);
        EXPECT_NEAR(std::hypot(p.x, p.y), 1, 1e-12) << degrees;
        EXPECT_NEAR(std::atan2(p.y, p.x), std::remainder(degrees, 360) * 3.14159265358979323846 / 180, 1e-12);
    }
    std::vector<Pt> arc = artgen::ArcPoints({5, 5}, 4, 2, 0, 180, 4);
    ASSERT_EQ(arc.size(), 5u);
    EXPECT_NEAR(arc.front().x, 9, 1e-12);
    EXPECT_NEAR(arc[2].y, 7, 1e-12);
    EXPECT_NEAR(arc.back().x, 1, 1e-12);
}

TEST(RasterTest, PixelOperationsBlendGreyHardenAndReplace)
{
    Image image;
    image.width = 4;
    image.height = 1;
    image.rgba = {255, 0, 0, 128, 10, 200, 30, 255, 192, 192, 192, 255, 9, 9, 9, 0};

    Image flat = artgen::Flatten(image, Rgb{0, 0, 255});
    EXPECT_EQ(Pixel(flat, 0, 0)[0], 128);
    EXPECT_EQ(Pixel(flat, 0, 0)[2], 127);
    EXPECT_EQ(Pixel(flat, 3, 0)[2], 255) << "uncovered shows the ground";
    EXPECT_EQ(Pixel(flat, 3, 0)[3], 255);

    Image grey = artgen::ToGrey(image);
    EXPECT_EQ(Pixel(grey, 1, 0)[0], Pixel(grey, 1, 0)[2]);
    EXPECT_GT(Pixel(grey, 1, 0)[0], 100) << "green is bright";
    EXPECT_EQ(Pixel(grey, 0, 0)[3], 128);

    Image hard = artgen::Harden(image);
    EXPECT_EQ(Pixel(hard, 0, 0)[3], 255);
    EXPECT_EQ(Pixel(hard, 3, 0)[3], 0);
    EXPECT_EQ(Pixel(hard, 3, 0)[0], 0) << "a transparent pixel carries no colour";

    artgen::ReplaceColour(image, Rgb{192, 192, 192}, Rgb{184, 184, 184});
    EXPECT_EQ(Pixel(image, 2, 0)[0], 184);
}

TEST(RasterTest, LetteringSkipsUnknownLettersAndMeasuresWhatItDraws)
{
    EXPECT_EQ(artgen::LetteringWidth("T"), 12);
    EXPECT_EQ(artgen::LetteringWidth("TT"), 29) << "one gap between letters";
    EXPECT_EQ(artgen::LetteringWidth("T#T"), 29);
    artgen::Scene s;
    double advance = 0;
    artgen::AddLettering(s, "Ti", 0, 0, 2, 1, kRed, &advance);
    EXPECT_EQ(advance, 34);
    ASSERT_EQ(s.Items().size(), 4u);
    EXPECT_DOUBLE_EQ(s.Items()[0].x1, 24.5) << "the T's bar scaled, with half the stroke";
}

} // namespace
