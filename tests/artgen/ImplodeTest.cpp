// What the encoder promises beyond round trips (which the explode tests
// run): it uses the window it is given, and refuses what the format cannot
// say.

#include "tools/artgen/Implode.h"

#include "pictures/Explode.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <vector>

namespace {

using artgen::Implode;
using artgen::ImplodeWriter;
using artgen::LiteralCoding;

bool Unpacks(const std::vector<uint8_t>& packed, const std::vector<uint8_t>& expected)
{
    std::vector<uint8_t> out(expected.size());
    return ExplodeMemory(packed.data(), static_cast<UINT>(packed.size()), out.data(), static_cast<UINT>(out.size()))
        && out == expected;
}

TEST(ImplodeTest, RepeatsWithinTheWindowAreCopiedAndFartherOnesAreNot)
{
    // A random block of 3000 bytes twice: only a 4096-byte window reaches
    // back to the first copy.
    std::mt19937 random(1);
    std::vector<uint8_t> block(3000);
    for (uint8_t& b : block)
        b = static_cast<uint8_t>(random());
    std::vector<uint8_t> data = block;
    data.insert(data.end(), block.begin(), block.end());

    std::vector<uint8_t> small = Implode(data, LiteralCoding::Binary, 4);
    std::vector<uint8_t> middle = Implode(data, LiteralCoding::Binary, 5);
    std::vector<uint8_t> large = Implode(data, LiteralCoding::Binary, 6);
    EXPECT_TRUE(Unpacks(small, data));
    EXPECT_TRUE(Unpacks(large, data));
    EXPECT_GT(small.size(), data.size());
    EXPECT_GT(middle.size(), data.size());
    EXPECT_LT(large.size(), data.size() * 6 / 10);
}

TEST(ImplodeTest, RunsAndTextShrink)
{
    std::vector<uint8_t> run(10000, 'z');
    EXPECT_LT(Implode(run, LiteralCoding::Binary, 4).size(), 100u);

    std::string text;
    while (text.size() < 8000)
        text += "A shirt, a label and a calendar. ";
    std::vector<uint8_t> bytes(text.begin(), text.end());
    std::vector<uint8_t> ascii = Implode(bytes, LiteralCoding::Ascii, 6);
    EXPECT_TRUE(Unpacks(ascii, bytes));
    EXPECT_LT(ascii.size(), bytes.size() / 20);
}

TEST(ImplodeTest, RefusesWhatTheFormatCannotExpress)
{
    EXPECT_THROW(ImplodeWriter(LiteralCoding::Binary, 3), std::invalid_argument);
    EXPECT_THROW(ImplodeWriter(LiteralCoding::Binary, 7), std::invalid_argument);
    EXPECT_THROW(Implode({}, LiteralCoding::Ascii, 8), std::invalid_argument);

    ImplodeWriter writer(LiteralCoding::Binary, 4);
    EXPECT_THROW(writer.Copy(1, 1), std::invalid_argument);
    EXPECT_THROW(writer.Copy(519, 1), std::invalid_argument);
    EXPECT_THROW(writer.Copy(3, 0), std::invalid_argument);
    // Two-byte copies carry two raw distance bits, longer ones the
    // dictionary's four.
    EXPECT_NO_THROW(writer.Copy(2, 256));
    EXPECT_THROW(writer.Copy(2, 257), std::invalid_argument);
    EXPECT_NO_THROW(writer.Copy(3, 1024));
    EXPECT_THROW(writer.Copy(3, 1025), std::invalid_argument);
}

} // namespace
