// The border and background pictures of the support folder: the committed
// files are what the generator makes, each decodes through the program's own
// picture reader at the page's proportions, borders leave their middle white
// for the design, and backgrounds cover the page.

#include "tools/artgen/SupportPictureArt.h"

#include "tests/artgen/DecodedPicture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

using artgentest::Decode;

std::vector<uint8_t> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct Folder {
    const char* name;
    std::vector<artgen::ArtFile> (*make)();
};

TEST(SupportPictureArt, TheShippedPicturesAreTheGeneratedOnes)
{
    const Folder folders[] = {{"borders", artgen::MakeBorderFiles}, {"backgrnd", artgen::MakeBackgroundFiles}};
    for (const Folder& folder : folders) {
        const std::vector<artgen::ArtFile> files = folder.make();
        ASSERT_GE(files.size(), 2u) << folder.name;
        for (const artgen::ArtFile& file : files) {
            const std::string path
                = std::string(THREADWICK_SOURCE_DIR) + "/resources/support/" + folder.name + "/" + file.name;
            EXPECT_TRUE(ReadFile(path) == file.bytes)
                << "run the threadwick_support_pictures target to refresh " << path;
        }
    }
}

TEST(SupportPictureArt, BordersFrameAWhiteMiddleAndBackgroundsCoverThePage)
{
    const int w = artgen::kSupportPictureWidth;
    const int h = artgen::kSupportPictureHeight;
    auto whiteShare = [&](const std::vector<uint8_t>& rgb, int x0, int y0, int x1, int y1) {
        int white = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                const uint8_t* p = &rgb[(size_t(y) * size_t(w) + size_t(x)) * 3];
                white += p[0] > 245 && p[1] > 245 && p[2] > 245 ? 1 : 0;
            }
        }
        return double(white) / double((x1 - x0) * (y1 - y0));
    };
    const std::vector<artgen::ArtFile> borders = artgen::MakeBorderFiles();
    const std::vector<artgen::ArtFile> backgrounds = artgen::MakeBackgroundFiles();
    for (const artgen::ArtFile& file : borders) {
        int width = 0;
        int height = 0;
        const std::vector<uint8_t> rgb = Decode(file.bytes, width, height);
        ASSERT_EQ(width, w) << file.name;
        ASSERT_EQ(height, h) << file.name;
        EXPECT_GT(whiteShare(rgb, 60, 60, w - 60, h - 60), 0.99) << file.name << ": the middle is the design's";
        EXPECT_LT(whiteShare(rgb, 0, 0, w, 40), 0.9) << file.name << ": no frame along the top";
    }
    for (const artgen::ArtFile& file : backgrounds) {
        int width = 0;
        int height = 0;
        const std::vector<uint8_t> rgb = Decode(file.bytes, width, height);
        ASSERT_EQ(width, w) << file.name;
        ASSERT_EQ(height, h) << file.name;
        EXPECT_LT(whiteShare(rgb, 0, 0, w, h), 0.5) << file.name;
    }
}

} // namespace
