// The shipped workspace background: the committed file is what the
// generator makes, it decodes through the program's own picture reader to
// the tile that was meant, and the tile is quiet and has no seam.

#include "tools/artgen/BackgroundArt.h"
#include "tools/artgen/JpegWriter.h"

#include "tests/artgen/DecodedPicture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

using artgentest::Decode;

TEST(BackgroundArt, TheShippedTileIsTheGeneratedOne)
{
    const std::string path = std::string(THREADWICK_SOURCE_DIR) + "/resources/support/bkgimage.jpg";
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path;
    const std::vector<uint8_t> committed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(committed == artgen::MakeBackgroundTile().bytes)
        << "run the threadwick_background target to refresh " << path;
}

TEST(BackgroundArt, TheTileDecodesToWhatWasMeantAndIsQuiet)
{
    const std::vector<uint8_t> meant = artgen::BackgroundTilePixels();
    int width = 0;
    int height = 0;
    const std::vector<uint8_t> decoded = Decode(artgen::MakeBackgroundTile().bytes, width, height);
    ASSERT_EQ(width, artgen::kBackgroundTileSide);
    ASSERT_EQ(height, artgen::kBackgroundTileSide);
    ASSERT_EQ(decoded.size(), meant.size());
    double error = 0;
    double sum = 0;
    double sumSquares = 0;
    for (size_t i = 0; i < meant.size(); ++i) {
        error += std::abs(int(decoded[i]) - int(meant[i]));
        sum += decoded[i];
        sumSquares += double(decoded[i]) * decoded[i];
    }
    const double n = double(meant.size());
    EXPECT_LT(error / n, 3.0) << "the encoder lost the picture";
    // Quiet: light, and no pixel far from the rest.
    const double mean = sum / n;
    EXPECT_GT(mean, 180.0);
    EXPECT_LT(std::sqrt(sumSquares / n - mean * mean), 8.0);
    // No seam: the last column and row are as far from the first as any
    // two neighbouring columns and rows are on average.
    const int side = artgen::kBackgroundTileSide;
    auto at = [&](int x, int y) { return int(meant[(size_t(y) * size_t(side) + size_t(x)) * 3]); };
    double seam = 0;
    double inner = 0;
    for (int i = 0; i < side; ++i) {
        seam += std::abs(at(side - 1, i) - at(0, i)) + std::abs(at(i, side - 1) - at(i, 0));
        inner += std::abs(at(side / 2, i) - at(side / 2 + 1, i)) + std::abs(at(i, side / 2) - at(i, side / 2 + 1));
    }
    EXPECT_LE(seam, inner * 1.5);
}

TEST(BackgroundArt, TheJpegWriterKeepsColoursAndOddSizesAndRefusesBadInput)
{
    // A picture of four colour quarters whose size is not a multiple of 8.
    const int w = 21;
    const int h = 13;
    std::vector<uint8_t> rgb;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool right = x >= 11;
            const bool low = y >= 7;
            rgb.push_back(uint8_t(right ? 230 : 20));
            rgb.push_back(uint8_t(low ? 200 : 40));
            rgb.push_back(uint8_t(right != low ? 180 : 60));
        }
    }
    int width = 0;
    int height = 0;
    const std::vector<uint8_t> decoded = Decode(artgen::EncodeJpeg(rgb, w, h, 95), width, height);
    ASSERT_EQ(width, w);
    ASSERT_EQ(height, h);
    // Away from the edges between quarters the colours come back.
    for (const auto& [x, y] : {std::pair{2, 2}, std::pair{18, 2}, std::pair{2, 11}, std::pair{18, 11}}) {
        for (int c = 0; c < 3; ++c) {
            const size_t i = (size_t(y) * size_t(w) + size_t(x)) * 3 + size_t(c);
            EXPECT_NEAR(decoded[i], rgb[i], 12) << x << ", " << y << " channel " << c;
        }
    }
    EXPECT_TRUE(artgen::EncodeJpeg(rgb, 0, h, 90).empty());
    EXPECT_TRUE(artgen::EncodeJpeg(rgb, w, h + 1, 90).empty()) << "too few pixels";
}

} // namespace
