#include "platform/base/CrtParse.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

namespace {

TEST(CrtParse, IntegersStopAtTheFirstNonDigitAndSaturate)
{
    struct Case {
        const char* text;
        int value;
    };
    const Case cases[] = {
        {"42abc", 42}, {"  \t-17", -17}, {"+5", 5}, {"", 0}, {"abc", 0}, {"12 34", 12}, {"0x1A", 0},
        {"- 3", 0}, {"007", 7}, {"2147483647", 2147483647}, {"99999999999", std::numeric_limits<int>::max()},
        {"-2147483648", std::numeric_limits<int>::min()}, {"-99999999999999999999", std::numeric_limits<int>::min()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(_ttoi(c.text), c.value) << c.text;
        EXPECT_EQ(_ttol(c.text), c.value) << c.text;
    }
    EXPECT_EQ(_ttoi(nullptr), 0);
}

TEST(CrtParse, DoublesFollowTheRuntimesGrammar)
{
    struct Case {
        const char* text;
        double value;
        size_t consumed;
    };
    const Case cases[] = {
        {"3.5", 3.5, 3}, {" -2.25e2x", -225.0, 8}, {"1d3", 1000.0, 3}, {"1e", 1.0, 1}, {"1e+", 1.0, 1},
        {".5", 0.5, 2}, {"5.", 5.0, 2}, {".", 0.0, 0}, {"-", 0.0, 0}, {"abc", 0.0, 0}, {"2,5", 2.0, 1},
        {"1e-999", 0.0, 6}, {"0.0001e-3", 1e-7, 9},
    };
    for (const Case& c : cases) {
        size_t consumed = 99;
        EXPECT_DOUBLE_EQ(platform::ParseDouble(c.text, &consumed), c.value) << c.text;
        EXPECT_EQ(consumed, c.consumed) << c.text;
    }
    EXPECT_EQ(platform::ParseDouble("1e999"), HUGE_VAL);
    EXPECT_EQ(platform::ParseDouble("-1e400"), -HUGE_VAL);
    EXPECT_EQ(platform::ParseDouble("123456789e99999999999"), HUGE_VAL);
    EXPECT_DOUBLE_EQ(_tstof("  0.75 in"), 0.75);
    EXPECT_EQ(_tstof(nullptr), 0.0);
}

TEST(CrtParse, ScansTheProgramsRecordForms)
{
    int r = -1, g = -1, b = -1;
    EXPECT_EQ(_stscanf("255,0,28", "%d,%d,%d", &r, &g, &b), 3);
    EXPECT_EQ(r, 255);
    EXPECT_EQ(g, 0);
    EXPECT_EQ(b, 28);
    EXPECT_EQ(_stscanf("1,x,3", "%d,%d,%d", &r, &g, &b), 1);
    EXPECT_EQ(r, 1);

    double position = 0;
    EXPECT_EQ(_stscanf(" 2.5", "%lf", &position), 1);
    EXPECT_EQ(position, 2.5);
    EXPECT_EQ(_stscanf("inches", "%lf", &position), 0);

    DWORD colour = 0;
    UINT start = 9, end = 9;
    EXPECT_EQ(_stscanf("255,0,4", "%lu,%u,%u", &colour, &start, &end), 3);
    EXPECT_EQ(colour, 255u);
    EXPECT_EQ(end, 4u);
    EXPECT_EQ(_stscanf("(16777215,3,65000)", "(%lu,%u,%u)", &colour, &start, &end), 3);
    EXPECT_EQ(colour, 0xFFFFFFu);

    DWORD words[4] = {};
    const char* flags = "0000abcd 00000001 ffffffff 80000000 ";
    int used = 0;
    for (DWORD& w : words) {
        ASSERT_EQ(_stscanf(flags + used, " %lx%n", &w, &r), 1);
        used += r;
    }
    EXPECT_EQ(words[0], 0xABCDu);
    EXPECT_EQ(words[2], 0xFFFFFFFFu);
    EXPECT_EQ(words[3], 0x80000000u);

    int version = 0, length = 0;
    EXPECT_EQ(_stscanf("5 128\0\0\0", "%d %d", &version, &length), 2);
    EXPECT_EQ(length, 128);
}

TEST(CrtParse, ScannerFollowsTheCRules)
{
    int a = 0, b = 0;
    unsigned u = 0;
    EXPECT_EQ(_stscanf("", "%d", &a), EOF);
    EXPECT_EQ(_stscanf("   ", "%d", &a), EOF);
    EXPECT_EQ(_stscanf("", "(%d)", &a), EOF);
    EXPECT_EQ(_stscanf("5", "%d,%d", &a, &b), 1);
    EXPECT_EQ(_stscanf("-", "%d", &a), 0);
    EXPECT_EQ(_stscanf("[5]", "(%d)", &a), 0);
    EXPECT_EQ(_stscanf("12345", "%2d%3d", &a, &b), 2);
    EXPECT_EQ(a, 12);
    EXPECT_EQ(b, 345);
    EXPECT_EQ(_stscanf("1 2", "%*d %d", &a), 1);
    EXPECT_EQ(a, 2);
    EXPECT_EQ(_stscanf("-1", "%u", &u), 1);
    EXPECT_EQ(u, 0xFFFFFFFFu);
    EXPECT_EQ(_stscanf("0x1F 010 0x10", "%x %i %i", &u, &a, &b), 3);
    EXPECT_EQ(u, 31u);
    EXPECT_EQ(a, 8);
    EXPECT_EQ(b, 16);
    EXPECT_EQ(_stscanf("50%", "%d%%", &a), 1);
    EXPECT_EQ(_stscanf("4294967301", "%d", &a), 1); // wraps as the runtime's accumulator does
    EXPECT_EQ(a, 5);
    EXPECT_EQ(_stscanf("7", "%d%d", &a), 1); // a second target is missing: stop, no crash
}

TEST(CrtParse, ScansTextIntoBoundedBuffers)
{
    char word[8] = {};
    char face[32] = {};
    int size = 0;
    EXPECT_EQ(_stscanf("  Arial Bold", "%s", word), 1);
    EXPECT_STREQ(word, "Arial");
    EXPECT_EQ(_stscanf("abcdefghij", "%3s", word), 1);
    EXPECT_STREQ(word, "abc");
    EXPECT_EQ(_stscanf("Times New Roman,12", "%[^,],%d", face, &size), 2);
    EXPECT_STREQ(face, "Times New Roman");
    EXPECT_EQ(size, 12);
    EXPECT_EQ(_stscanf("ab12", "%[a-z]%d", word, &size), 2);
    EXPECT_STREQ(word, "ab");
    char pair[2] = {};
    EXPECT_EQ(_stscanf(" xy", "%2c", pair), 1);
    EXPECT_EQ(std::string(pair, 2), " x");

    // A field longer than the array is refused, not written past its end.
    char tiny[4] = {'?', '?', '?', '?'};
    EXPECT_EQ(_stscanf("1 abcdef", "%d %s", &size, tiny), 1);
    EXPECT_EQ(tiny[0], '\0');
    EXPECT_EQ(tiny[1], '?');
}

TEST(CrtParse, RefusesTargetsOfTheWrongSize)
{
    int64_t wide = 77;
    long hostLong = 77; // 64 bits here, but 'l' means 32
    float single = 0;
    double real = 0;
    short half = 0;
    EXPECT_EQ(_stscanf("5", "%d", &wide), 0);
    EXPECT_EQ(wide, 77);
    EXPECT_EQ(_stscanf("5", "%ld", &hostLong), 0);
    EXPECT_EQ(hostLong, 77);
    EXPECT_EQ(_stscanf("1.5", "%lf", &single), 0);
    EXPECT_EQ(_stscanf("1.5", "%f", &real), 0);
    EXPECT_EQ(real, 0.0);
    EXPECT_EQ(_stscanf("3 4", "%d %d", &half, &wide), 0);

    EXPECT_EQ(_stscanf("1.5 -9000000000 -2", "%f %I64d %hd", &single, &wide, &half), 3);
    EXPECT_EQ(single, 1.5f);
    EXPECT_EQ(wide, -9000000000);
    EXPECT_EQ(half, -2);
    EXPECT_EQ(_stscanf("123456789012", "%lld", &hostLong), 1);
    EXPECT_EQ(hostLong, 123456789012);
    EXPECT_EQ(_stscanf("0.5", "%Lf", &real), 1);
    EXPECT_EQ(real, 0.5);
}

TEST(CrtParse, IgnoresTheProcessLocale)
{
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    double value = 0;
    const int fields = _stscanf("2.5", "%lf", &value);
    const double parsed = _tstof("0.25");
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(fields, 1);
    EXPECT_EQ(value, 2.5);
    EXPECT_EQ(parsed, 0.25);
}

} // namespace
