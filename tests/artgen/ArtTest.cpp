// The generated art: the committed files are what the generator makes, the
// resource script carries them with the right strings, and they unpack the
// way the program's METAFILE loader unpacks them.

#include "tools/artgen/Art.h"

#include "pictures/Explode.h"
#include "platform/base/Resources.h"
#include "resources/Resources.h"
#include "resources/resource.h"

#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

std::string ToString(const std::vector<uint8_t>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

uint16_t U16(const std::string& b, size_t at)
{
    return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | (static_cast<uint8_t>(b[at + 1]) << 8));
}

uint32_t U32(const std::string& b, size_t at)
{
    return U16(b, at) | (uint32_t{U16(b, at + 2)} << 16);
}

std::string ResourceBytes(LPCSTR name, LPCSTR type)
{
    HRSRC info = FindResource(nullptr, name, type);
    if (!info)
        return std::string();
    HGLOBAL data = LoadResource(nullptr, info);
    return std::string(static_cast<const char*>(LockResource(data)), SizeofResource(nullptr, info));
}

class ArtTest : public testing::Test {
protected:
    void SetUp() override { threadwick::RegisterResources(); }
};

TEST_F(ArtTest, CommittedArtIsWhatTheGeneratorMakes)
{
    const std::string folder = std::string(THREADWICK_SOURCE_DIR) + "/resources/art/";
    for (const artgen::ArtFile& file : artgen::MakeArtFiles()) {
        SCOPED_TRACE(file.name);
        EXPECT_TRUE(testing_support::ReadFileBytes(folder + file.name) == ToString(file.bytes))
            << "resources/art is stale: build the threadwick_art target";
    }
}

TEST_F(ArtTest, MetafileResourcesUnpackWithTheSizeOfTheirStrings)
{
    for (const artgen::MetafileArt& art : artgen::MakeMetafiles()) {
        SCOPED_TRACE(art.title);
        char text[256] = {};
        ASSERT_GT(LoadString(AfxGetInstanceHandle(), art.id, text, sizeof text), 0);
        EXPECT_EQ(std::string(text), artgen::MetafileString(art)) << "threadwick.rc holds a stale string";

        // As the program's loader does it: the size from the string's first
        // field, the stream length from the resource's first four bytes.
        std::string resource = ResourceBytes(MAKEINTRESOURCE(art.id), "metafile");
        ASSERT_GE(resource.size(), 4u);
        uint32_t streamLength = U32(resource, 0);
        ASSERT_EQ(streamLength, resource.size() - 4);
        EXPECT_EQ(resource[4], '\0') << "binary literals";
        EXPECT_EQ(resource[5], '\5') << "a 2048-byte window";
        size_t size = static_cast<size_t>(std::atoi(text));
        std::vector<uint8_t> unpacked(size);
        ASSERT_TRUE(ExplodeMemory(resource.data() + 4, streamLength, unpacked.data(), static_cast<UINT>(size)));
        EXPECT_EQ(unpacked, art.picture);
    }
}

// Walks a metafile as a player would: placeable header, metafile header,
// records to the end record, objects selected and deleted only while they
// exist.
TEST_F(ArtTest, PicturesAreWellFormedPlaceableMetafiles)
{
    for (const artgen::MetafileArt& art : artgen::MakeMetafiles()) {
        SCOPED_TRACE(art.title);
        std::string b = ToString(art.picture);
        ASSERT_GE(b.size(), 22u + 18u + 6u);
        EXPECT_EQ(U32(b, 0), 0x9AC6CDD7u);
        uint16_t checksum = 0;
        for (size_t i = 0; i < 20; i += 2)
            checksum ^= U16(b, i);
        EXPECT_EQ(U16(b, 20), checksum);
        EXPECT_EQ(U16(b, 10) - U16(b, 6), 1000); // right - left
        EXPECT_EQ(U16(b, 12) - U16(b, 8), 1000); // bottom - top

        const size_t header = 22;
        EXPECT_EQ(U16(b, header), 1);          // in memory
        EXPECT_EQ(U16(b, header + 2), 9);      // header words
        EXPECT_EQ(U16(b, header + 4), 0x300);  // version
        EXPECT_EQ(U32(b, header + 6) * 2, b.size() - header);
        uint16_t objects = U16(b, header + 10);
        uint32_t maxRecord = U32(b, header + 12);

        std::vector<bool> live(objects, false);
        size_t at = header + 18;
        uint32_t largest = 0;
        bool ended = false;
        while (!ended) {
            ASSERT_LE(at + 6, b.size());
            uint32_t words = U32(b, at);
            uint16_t function = U16(b, at + 4);
            ASSERT_GE(words, 3u);
            ASSERT_LE(at + words * 2, b.size());
            largest = std::max(largest, words);
            if (function == 0x02FA || function == 0x02FC) {
                auto free = std::find(live.begin(), live.end(), false);
                ASSERT_NE(free, live.end()) << "more objects than the header counts";
                *free = true;
            } else if (function == 0x012D || function == 0x01F0) {
                uint16_t slot = U16(b, at + 6);
                ASSERT_LT(slot, objects);
                EXPECT_TRUE(live[slot]);
                if (function == 0x01F0)
                    live[slot] = false;
            } else if (function == 0x0000) {
                EXPECT_EQ(words, 3u);
                ended = true;
            }
            at += words * 2;
        }
        EXPECT_EQ(at, b.size()) << "bytes after the end record";
        EXPECT_EQ(largest, maxRecord);
        EXPECT_EQ(std::count(live.begin(), live.end(), true), 0) << "objects left undeleted";
    }
}

TEST_F(ArtTest, PaletteResourceHoldsCubeStandardColoursAndGreys)
{
    std::string p = ResourceBytes(MAKEINTRESOURCE(IDR_APP_PALETTE), "PALETTE");
    ASSERT_EQ(p.size(), 1028u);
    EXPECT_EQ(U16(p, 0), 0x300);
    EXPECT_EQ(U16(p, 2), 256);
    auto entry = [&](int i) {
        const auto* e = reinterpret_cast<const uint8_t*>(p.data() + 4 + 4 * i);
        return std::vector<int>{e[0], e[1], e[2], e[3]};
    };
    EXPECT_EQ(entry(0), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(entry(36 * 1 + 6 * 2 + 3), (std::vector<int>{51, 102, 153, 0}));
    EXPECT_EQ(entry(215), (std::vector<int>{255, 255, 255, 0}));

    std::set<std::vector<int>> standard;
    for (int i = 216; i < 232; ++i)
        standard.insert(entry(i));
    EXPECT_EQ(standard.size(), 16u);
    EXPECT_TRUE(standard.count({128, 0, 0, 0}));
    EXPECT_TRUE(standard.count({192, 192, 192, 0}));
    EXPECT_TRUE(standard.count({0, 128, 128, 0}));

    std::set<std::vector<int>> all;
    for (int i = 0; i < 216; ++i)
        all.insert(entry(i));
    for (int i = 232; i < 256; ++i) {
        std::vector<int> e = entry(i);
        EXPECT_TRUE(e[0] == e[1] && e[1] == e[2] && e[3] == 0);
        EXPECT_FALSE(all.count(e)) << "grey " << e[0] << " repeats a cube colour";
        if (i > 232) {
            EXPECT_GT(e[0], entry(i - 1)[0]);
        }
    }
}

} // namespace
