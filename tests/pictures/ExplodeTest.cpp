// Unpacking implode streams: reference streams from outside the project,
// damaged and unterminated streams, the output cap, and round trips through
// the art generator's encoder.

#include "pictures/Explode.h"

#include "tools/artgen/Implode.h"

#include "tests/support/TestData.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

using artgen::ImplodeWriter;
using artgen::LiteralCoding;

const std::string kImplodeDir = std::string(THREADWICK_TESTDATA_DIR) + "/implode/";

std::string ReadTestFile(const std::string& name)
{
    std::string bytes = testing_support::ReadFileBytes(kImplodeDir + name);
    EXPECT_FALSE(bytes.empty()) << "missing test file " << name;
    return bytes;
}

std::string ToString(const std::vector<uint8_t>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

struct Unpacked {
    int result;
    std::string output;
};

struct CallbackContext {
    const std::string* input;
    size_t position;
    size_t chunk;
    std::string output;
};

// Unpacks through explode itself, the reader handing over at most `chunk`
// bytes at a time.
Unpacked Explode(const std::string& input, size_t chunk = std::numeric_limits<size_t>::max())
{
    CallbackContext context{&input, 0, chunk, {}};
    auto read = [](char* buffer, UINT* size, void* param) -> UINT {
        auto& c = *static_cast<CallbackContext*>(param);
        size_t n = std::min({static_cast<size_t>(*size), c.chunk, c.input->size() - c.position});
        std::copy_n(c.input->data() + c.position, n, buffer);
        c.position += n;
        *size = static_cast<UINT>(n);
        return *size;
    };
    auto write = [](char* buffer, UINT* size, void* param) {
        auto& c = *static_cast<CallbackContext*>(param);
        EXPECT_LE(*size, 4096u);
        c.output.append(buffer, *size);
    };
    std::vector<char> work(EXPLODE_WORK_SIZE);
    int result = explode(read, write, work.data(), &context);
    return {result, context.output};
}

// Unpacks with ExplodeMemory into a buffer of `capacity` bytes followed by
// guard bytes; the guard must stay untouched whatever the stream holds.
BOOL ExplodeToMemory(const std::string& input, size_t capacity, std::string& output)
{
    constexpr size_t kGuard = 64;
    std::string buffer(capacity + kGuard, '\xA5');
    BOOL ok = ExplodeMemory(input.data(), static_cast<UINT>(input.size()), buffer.data(), static_cast<UINT>(capacity));
    EXPECT_EQ(buffer.substr(capacity), std::string(kGuard, '\xA5')) << "wrote past the capacity";
    output = buffer.substr(0, capacity);
    return ok;
}

// Unpacks into exactly the expected size (must succeed and match) and into
// one byte less (must fail).
void ExpectExactUnpack(const std::string& input, const std::string& expected)
{
    std::string output;
    EXPECT_TRUE(ExplodeToMemory(input, expected.size(), output));
    EXPECT_TRUE(output == expected) << "unpacked bytes differ";
    if (!expected.empty()) {
        EXPECT_FALSE(ExplodeToMemory(input, expected.size() - 1, output));
    }
}

TEST(ExplodeTest, UnpacksEveryReferenceStreamExactly)
{
    REQUIRE_TESTDATA();
    struct Case {
        const char* packed;
        const char* unpacked;
        uint8_t literalCoding;
    };
    const Case cases[] = {
        {"github-madler_zlib__test.pk", "github-madler_zlib__test.txt", 0},
        {"github-ShieldBattery_implode-decoder__small.imploded", "github-ShieldBattery_implode-decoder__small.decomp", 0},
        {"github-ShieldBattery_implode-decoder__medium.imploded", "github-ShieldBattery_implode-decoder__medium.decomp", 0},
        {"github-ShieldBattery_implode-decoder__large.imploded", "github-ShieldBattery_implode-decoder__large.decomp", 0},
        {"github-ShieldBattery_implode-decoder__large.imploded.ascii", "github-ShieldBattery_implode-decoder__large.decomp", 1},
        {"github-ShieldBattery_implode-decoder__binary.imploded", "github-ShieldBattery_implode-decoder__binary.decomp", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.packed);
        std::string packed = ReadTestFile(c.packed);
        std::string expected = ReadTestFile(c.unpacked);
        ASSERT_GE(packed.size(), 2u);
        EXPECT_EQ(static_cast<uint8_t>(packed[0]), c.literalCoding);

        Unpacked whole = Explode(packed);
        EXPECT_EQ(whole.result, EXPLODE_OK);
        EXPECT_TRUE(whole.output == expected);
        // A reader that hands over a few bytes at a time gives the same.
        Unpacked pieces = Explode(packed, 3);
        EXPECT_EQ(pieces.result, EXPLODE_OK);
        EXPECT_TRUE(pieces.output == expected);

        ExpectExactUnpack(packed, expected);
    }
    EXPECT_EQ(Explode(ReadTestFile("github-madler_zlib__test.pk")).output, "AIAIAIAIAIAIA");
}

TEST(ExplodeTest, LongStreamGivesTheSameOutputForAnyReadSize)
{
    REQUIRE_TESTDATA();
    std::string packed = ReadTestFile("github-ShieldBattery_implode-decoder__perftest.imploded");
    Unpacked whole = Explode(packed);
    ASSERT_EQ(whole.result, EXPLODE_OK);
    // Long enough to go through the output window many times.
    EXPECT_GT(whole.output.size(), 7u * 8192u);
    for (size_t chunk : {size_t{1}, size_t{5}, size_t{2047}, size_t{2049}}) {
        SCOPED_TRACE(chunk);
        Unpacked pieces = Explode(packed, chunk);
        EXPECT_EQ(pieces.result, EXPLODE_OK);
        EXPECT_TRUE(pieces.output == whole.output);
    }
    ExpectExactUnpack(packed, whole.output);
}

TEST(ExplodeTest, StreamWithoutEndMarkIsCorruptButHandsOverItsOutput)
{
    ImplodeWriter writer(LiteralCoding::Ascii, 4);
    for (char c : std::string("no end "))
        writer.Literal(static_cast<uint8_t>(c));
    writer.Copy(3, 4);
    std::string packed = ToString(writer.FinishWithoutEndMark());
    Unpacked unpacked = Explode(packed);
    EXPECT_EQ(unpacked.result, EXPLODE_CORRUPT);
    EXPECT_EQ(unpacked.output, "no end end");

    std::string output;
    EXPECT_FALSE(ExplodeToMemory(packed, 10, output));
    EXPECT_FALSE(ExplodeToMemory(packed, 100, output));
}

TEST(ExplodeTest, ReferenceStreamWithoutEndMarkIsRefusedAtItsFirstCopy)
{
    REQUIRE_TESTDATA();
    // This stream also opens with a copy from before its first byte (other
    // decoders read zeros there), so it is corrupt before its missing end.
    std::string packed = ReadTestFile("github-ShieldBattery_implode-decoder__no-explicit-end.imploded");
    std::string expected = ReadTestFile("github-ShieldBattery_implode-decoder__no-explicit-end.decomp");
    Unpacked unpacked = Explode(packed);
    EXPECT_EQ(unpacked.result, EXPLODE_CORRUPT);
    EXPECT_EQ(unpacked.output, "");
    std::string output;
    EXPECT_FALSE(ExplodeToMemory(packed, expected.size(), output));
}

TEST(ExplodeTest, RejectsBadHeadersWithTheirResults)
{
    struct Case {
        std::string stream;
        int result;
    };
    const Case cases[] = {
        {std::string(), EXPLODE_SHORT_INPUT},
        {std::string("\x00\x04\x82\x24", 4), EXPLODE_SHORT_INPUT},
        {std::string("\x00\x07\x82\x24\x25", 5), EXPLODE_BAD_DICTIONARY},
        {std::string("\x00\x03\x82\x24\x25", 5), EXPLODE_BAD_DICTIONARY},
        {std::string("\x01\x00\x82\x24\x25", 5), EXPLODE_BAD_DICTIONARY},
        {std::string("\x02\x04\x82\x24\x25", 5), EXPLODE_BAD_MODE},
        {std::string("\xFF\x04\x82\x24\x25", 5), EXPLODE_BAD_MODE},
        // The literal coding is checked first.
        {std::string("\x02\x07\x82\x24\x25", 5), EXPLODE_BAD_MODE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.stream));
        Unpacked unpacked = Explode(c.stream);
        EXPECT_EQ(unpacked.result, c.result);
        EXPECT_TRUE(unpacked.output.empty());
        std::string output;
        EXPECT_FALSE(ExplodeToMemory(c.stream, 64, output));
    }
}

TEST(ExplodeTest, EveryTruncationFailsAndKeepsOnlyCorrectOutput)
{
    REQUIRE_TESTDATA();
    const std::pair<const char*, const char*> streams[] = {
        {"github-ShieldBattery_implode-decoder__small.imploded", "github-ShieldBattery_implode-decoder__small.decomp"},
        {"github-ShieldBattery_implode-decoder__large.imploded.ascii",
            "github-ShieldBattery_implode-decoder__large.decomp"},
    };
    for (const auto& [packedName, expectedName] : streams) {
        std::string packed = ReadTestFile(packedName);
        std::string expected = ReadTestFile(expectedName);
        for (size_t length = 0; length < packed.size(); ++length) {
            SCOPED_TRACE(std::string(packedName) + " cut to " + std::to_string(length));
            std::string cut = packed.substr(0, length);
            Unpacked unpacked = Explode(cut);
            EXPECT_EQ(unpacked.result, length < 5 ? EXPLODE_SHORT_INPUT : EXPLODE_CORRUPT);
            EXPECT_EQ(expected.compare(0, unpacked.output.size(), unpacked.output), 0);
            std::string output;
            EXPECT_FALSE(ExplodeToMemory(cut, expected.size(), output));
        }
    }
}

TEST(ExplodeTest, CopyReachingBeforeTheStartIsCorrupt)
{
    auto stream = [](auto items) {
        ImplodeWriter writer(LiteralCoding::Binary, 6);
        items(writer);
        return ToString(writer.Finish());
    };
    // Nothing written yet.
    EXPECT_EQ(Explode(stream([](ImplodeWriter& w) { w.Copy(3, 1); })).result, EXPLODE_CORRUPT);
    // One byte written, a two-byte copy from two back.
    Unpacked early = Explode(stream([](ImplodeWriter& w) {
        w.Literal('a');
        w.Copy(2, 2);
    }));
    EXPECT_EQ(early.result, EXPLODE_CORRUPT);
    EXPECT_EQ(early.output, "a");
    // From one back, a copy repeats the byte.
    EXPECT_EQ(Explode(stream([](ImplodeWriter& w) {
        w.Literal('a');
        w.Copy(4, 1);
    })).output,
        "aaaaa");

    // After the output window has moved on, the whole window of history
    // stays reachable, and no more.
    std::string prefix;
    for (int i = 0; i < 5000; ++i)
        prefix += static_cast<char>('A' + (i * 7 + i / 26) % 26);
    auto withCopy = [&](size_t literals, int distance) {
        return stream([&](ImplodeWriter& w) {
            for (size_t i = 0; i < literals; ++i)
                w.Literal(static_cast<uint8_t>(prefix[i]));
            w.Copy(3, distance);
        });
    };
    Unpacked far = Explode(withCopy(5000, 4096));
    ASSERT_EQ(far.result, EXPLODE_OK);
    EXPECT_EQ(far.output, prefix + prefix.substr(5000 - 4096, 3));
    EXPECT_EQ(Explode(withCopy(4095, 4096)).result, EXPLODE_CORRUPT);
    EXPECT_EQ(Explode(withCopy(4096, 4096)).result, EXPLODE_OK);
}

TEST(ExplodeTest, DamagedStreamsNeverWritePastTheBuffer)
{
    REQUIRE_TESTDATA();
    std::string packed = ReadTestFile("github-ShieldBattery_implode-decoder__medium.imploded");
    std::string expected = ReadTestFile("github-ShieldBattery_implode-decoder__medium.decomp");
    std::mt19937 random(42);
    int failures = 0;
    for (int round = 0; round < 1500; ++round) {
        std::string damaged = packed;
        int changes = 1 + static_cast<int>(random() % 3);
        for (int i = 0; i < changes; ++i)
            damaged[2 + random() % (damaged.size() - 2)] = static_cast<char>(random());
        std::string output;
        if (!ExplodeToMemory(damaged, expected.size(), output))
            ++failures;
    }
    // Most damage shows; what does not unpacks within the buffer anyway.
    EXPECT_GT(failures, 750);
}

TEST(ExplodeTest, OutputCapCountsEveryByteAcrossWindowBoundaries)
{
    for (size_t size : {size_t{1}, size_t{4095}, size_t{4096}, size_t{4097}, size_t{8191}, size_t{8192}, size_t{12289}}) {
        SCOPED_TRACE(size);
        std::string data;
        std::mt19937 random(static_cast<unsigned>(size));
        for (size_t i = 0; i < size; ++i)
            data += static_cast<char>('a' + random() % 4);
        std::string packed = ToString(artgen::Implode(
            std::span(reinterpret_cast<const uint8_t*>(data.data()), data.size()), LiteralCoding::Binary, 5));
        ExpectExactUnpack(packed, data);
    }
}

TEST(ExplodeTest, RoundTripsEveryCodingAndDictionarySize)
{
    std::mt19937 random(7);
    std::vector<std::pair<std::string, std::string>> inputs;
    inputs.emplace_back("empty", "");
    inputs.emplace_back("one byte", "x");
    std::string noise;
    for (int i = 0; i < 20000; ++i)
        noise += static_cast<char>(random());
    inputs.emplace_back("random bytes", noise);
    static const char* const kWords[] = {"the ", "shirt ", "transfer ", "mouse pad ", "calendar\r\n", "label, ",
                                         "picture ", "Threadwick "};
    std::string text;
    while (text.size() < 30000)
        text += kWords[random() % 8];
    inputs.emplace_back("text", text);
    inputs.emplace_back("one long run", std::string(3000, '\0'));
    std::string bytes;
    for (int i = 0; i < 3 * 256; ++i)
        bytes += static_cast<char>(i);
    inputs.emplace_back("every byte value", bytes);
    std::string pairs;
    for (int i = 0; i < 10000; ++i)
        pairs += static_cast<char>("ab\xFF"[random() % 3]);
    inputs.emplace_back("three symbols", pairs);

    for (LiteralCoding coding : {LiteralCoding::Binary, LiteralCoding::Ascii}) {
        for (int bits : {4, 5, 6}) {
            for (const auto& [name, data] : inputs) {
                SCOPED_TRACE(name + ", " + (coding == LiteralCoding::Ascii ? "ascii" : "binary") + ", "
                             + std::to_string(bits) + " bits");
                std::string packed = ToString(artgen::Implode(
                    std::span(reinterpret_cast<const uint8_t*>(data.data()), data.size()), coding, bits));
                Unpacked unpacked = Explode(packed);
                EXPECT_EQ(unpacked.result, EXPLODE_OK);
                EXPECT_TRUE(unpacked.output == data);
                ExpectExactUnpack(packed, data);
            }
        }
    }
}

} // namespace
