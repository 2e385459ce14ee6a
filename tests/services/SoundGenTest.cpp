// The generated sounds: the committed files are what the generator makes,
// and each is a short 22050 Hz 16-bit mono WAV of its own.

#include "tools/artgen/SoundGen.h"

#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

uint32_t U32(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t(b[at + 3]) << 24);
}

uint16_t U16(const std::vector<uint8_t>& b, size_t at)
{
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

TEST(SoundGenTest, CommittedSoundsAreWhatTheGeneratorMakes)
{
    const std::string folder = std::string(THREADWICK_SOURCE_DIR) + "/resources/support/sounds/";
    std::vector<artgen::ArtFile> files = artgen::MakeSoundFiles();
    ASSERT_EQ(files.size(), artgen::SoundNumbers().size());
    for (const artgen::ArtFile& file : files) {
        SCOPED_TRACE(file.name);
        EXPECT_TRUE(testing_support::ReadFileBytes(folder + file.name) == std::string(file.bytes.begin(), file.bytes.end()))
            << "resources/support/sounds is stale: build the threadwick_sounds target";
    }
}

TEST(SoundGenTest, EverySoundNumberHasAShortMonoWavOfItsOwn)
{
    EXPECT_EQ(artgen::SoundNumbers(), (std::vector<int> { 4, 5, 6, 8, 9, 12, 13, 14, 15, 17, 18, 20, 22, 23 }));
    std::set<std::vector<uint8_t>> distinct;
    for (const artgen::ArtFile& file : artgen::MakeSoundFiles()) {
        SCOPED_TRACE(file.name);
        const std::vector<uint8_t>& b = file.bytes;
        ASSERT_GE(b.size(), 44u);
        EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
        EXPECT_EQ(U32(b, 4), b.size() - 8);
        EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
        EXPECT_EQ(U16(b, 20), 1);  // PCM
        EXPECT_EQ(U16(b, 22), 1);  // mono
        EXPECT_EQ(U32(b, 24), 22050u);
        EXPECT_EQ(U16(b, 34), 16);
        EXPECT_EQ(U32(b, 40), b.size() - 44);
        size_t samples = (b.size() - 44) / 2;
        EXPECT_GT(samples, 22050u / 20);
        EXPECT_LT(samples, 22050u / 2);
        // It must be heard, and begin and end quietly so that it does not
        // click.
        int peak = 0;
        for (size_t i = 0; i < samples; ++i)
            peak = std::max(peak, std::abs(static_cast<int16_t>(U16(b, 44 + 2 * i))));
        EXPECT_GT(peak, 8000);
        EXPECT_LT(std::abs(static_cast<int16_t>(U16(b, 44))), 100);
        EXPECT_LT(std::abs(static_cast<int16_t>(U16(b, b.size() - 2))), 200);
        distinct.insert(b);
    }
    EXPECT_EQ(distinct.size(), artgen::SoundNumbers().size());
}

} // namespace
