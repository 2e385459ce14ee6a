// The Scale dialog's stand-in picture: the committed file is what the
// generator makes, and the program's own picture reader gets back the
// picture that was drawn.

#include "tools/artgen/ScaleLogoArt.h"

#include "tests/artgen/DecodedPicture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

TEST(ScaleLogoArt, TheShippedPictureIsTheGeneratedOneAndDecodesToIt)
{
    const std::string path = std::string(THREADWICK_SOURCE_DIR) + "/resources/support/tslogo.jpg";
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path;
    const std::vector<uint8_t> committed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const artgen::ArtFile generated = artgen::MakeScaleLogoPicture();
    EXPECT_EQ(generated.name, "tslogo.jpg");
    EXPECT_TRUE(committed == generated.bytes) << "run the threadwick_scale_logo target to refresh " << path;

    int width = 0;
    int height = 0;
    const std::vector<uint8_t> decoded = artgentest::Decode(generated.bytes, width, height);
    ASSERT_EQ(width, artgen::kScaleLogoWidth);
    ASSERT_EQ(height, artgen::kScaleLogoHeight);
    const std::vector<uint8_t> meant = artgen::ScaleLogoPixels();
    ASSERT_EQ(decoded.size(), meant.size());
    double error = 0;
    for (size_t i = 0; i < meant.size(); ++i)
        error += std::abs(int(decoded[i]) - int(meant[i]));
    EXPECT_LT(error / double(meant.size()), 4.0) << "the encoder lost the picture";
}

} // namespace
