#include "platform/base/String.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <string>

namespace {

using namespace std::string_literals;

template <typename... Args>
std::string Fmt(const char* format, const Args&... args)
{
    CString s;
    s.Format(format, args...);
    return std::string(s.View());
}

TEST(StringFormat, WritesTheProgramsFieldLayouts)
{
    EXPECT_EQ(Fmt("%-*d ", 5, 42), "42    ");
    EXPECT_EQ(Fmt("%*d ", 3, 7), "  7 ");
    EXPECT_EQ(Fmt("%-*s ", 6, "ab"), "ab     ");
    EXPECT_EQ(Fmt("Surface Preview%-*u", 1, 2u), "Surface Preview2");
    EXPECT_EQ(Fmt("%08x ", 0xABCDu), "0000abcd ");
    EXPECT_EQ(Fmt("%0*x", 8, 0x1Fu), "0000001f");
    EXPECT_EQ(Fmt("%lu.%02u", 12ul, 5u), "12.05");
    EXPECT_EQ(Fmt("%ld", -5L), "-5");
    EXPECT_EQ(Fmt("%d%%", 50), "50%");
    EXPECT_EQ(Fmt("Alt + %04d", 169), "Alt + 0169");
    EXPECT_EQ(Fmt("(%lu,%u,%u)", DWORD(255), 0u, 65000u), "(255,0,65000)");
    EXPECT_EQ(Fmt("%u,%u,(%d,%d)", 2u, 1u, -1, -32000), "2,1,(-1,-32000)");
}

TEST(StringFormat, ReadsIntegersWithTheClassLibrarysSizes)
{
    // %d, %u, %x and %ld take 32 bits whatever was passed on this system.
    EXPECT_EQ(Fmt("%d", int64_t(0x100000005)), "5");
    EXPECT_EQ(Fmt("%ld", long(0x1FFFFFFFF)), "-1");
    EXPECT_EQ(Fmt("%lu", -1L), "4294967295");
    EXPECT_EQ(Fmt("%x", -1), "ffffffff");
    EXPECT_EQ(Fmt("%u", uint64_t(0x100000000) + 7), "7");
    // h and hh narrow further; ll, I64 and I widen.
    EXPECT_EQ(Fmt("%hd", 70000), "4464");
    EXPECT_EQ(Fmt("%hu", 65537), "1");
    EXPECT_EQ(Fmt("%hhd", 255), "-1");
    EXPECT_EQ(Fmt("%I64d", int64_t(-9000000000)), "-9000000000");
    EXPECT_EQ(Fmt("%lld", int64_t(9000000000)), "9000000000");
    EXPECT_EQ(Fmt("%I64X", ~uint64_t(0)), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(Fmt("%I32d", int64_t(0x100000001)), "1");
    // Narrow arguments widen by their own signedness.
    EXPECT_EQ(Fmt("%d", static_cast<char>(-23)), "-23");
    EXPECT_EQ(Fmt("%u", static_cast<unsigned char>(0xE9)), "233");
    EXPECT_EQ(Fmt("%c%c", 'o', 0x14B), "oK");
}

TEST(StringFormat, HonoursFlagsWidthAndPrecision)
{
    EXPECT_EQ(Fmt("%+d|% d|%+d", 5, 5, -5), "+5| 5|-5");
    EXPECT_EQ(Fmt("%05d|%-5d|", -42, -42), "-0042|-42  |");
    EXPECT_EQ(Fmt("%.3d|%5.3d|%05.3d", 7, 7, 7), "007|  007|  007");
    EXPECT_EQ(Fmt("[%.0d]", 0), "[]");
    EXPECT_EQ(Fmt("%#x|%#X|%#x|%#o", 255, 255, 0, 8), "0xff|0XFF|0|010");
    EXPECT_EQ(Fmt("%*d|", -4, 7), "7   |");
    EXPECT_EQ(Fmt("%.*s|%5s|%-5s|%05s", 2, "abc", "ab", "ab", "ab"), "ab|   ab|ab   |000ab");
    EXPECT_EQ(Fmt("%3c|", 'x'), "  x|");
    EXPECT_EQ(Fmt("%p", reinterpret_cast<void*>(0x1234)), "0000000000001234");
}

TEST(StringFormat, PrintsFloatingPointAsTheClassLibraryDoes)
{
    EXPECT_EQ(Fmt("%1.2f", 3.14159), "3.14");
    EXPECT_EQ(Fmt("%0.2lf", 1.5), "1.50");
    EXPECT_EQ(Fmt("%f", 1.0), "1.000000");
    EXPECT_EQ(Fmt("%.2f", 1e20), "100000000000000000000.00");
    EXPECT_EQ(Fmt("%.3f", 0.0004), "0.000");
    EXPECT_EQ(Fmt("%.1f", 0.05), "0.1");
    EXPECT_EQ(Fmt("%.2f", -0.001), "-0.00");
    EXPECT_EQ(Fmt("%#.0f|%.0f", 3.0, 3.0), "3.|3");
    // Ties round away from zero on the decimal digits, not to even.
    EXPECT_EQ(Fmt("%.2f", 0.125), "0.13");
    EXPECT_EQ(Fmt("%.0f|%.0f|%.0f", 0.5, 1.5, 2.5), "1|2|3");
    // 2.675 is stored as 2.67499999..., which rounds down.
    EXPECT_EQ(Fmt("%.2f", 2.675), "2.67");
    EXPECT_EQ(Fmt("%.1f", 9.96), "10.0");

    // Three exponent digits, always.
    EXPECT_EQ(Fmt("%e", 1.0), "1.000000e+000");
    EXPECT_EQ(Fmt("%E", 12345.678), "1.234568E+004");
    EXPECT_EQ(Fmt("%.2e", 9.999), "1.00e+001");
    EXPECT_EQ(Fmt("%e", 0.0), "0.000000e+000");
    EXPECT_EQ(Fmt("%e", 1e-300), "1.000000e-300");
    EXPECT_EQ(Fmt("%12.4e", 1.211e-5), " 1.2110e-005");

    EXPECT_EQ(Fmt("%g|%g|%g", 0.0001, 0.00001, 100.0), "0.0001|1e-005|100");
    EXPECT_EQ(Fmt("%g|%g|%G", 123456.0, 1234567.0, 1e6), "123456|1.23457e+006|1E+006");
    EXPECT_EQ(Fmt("%#g|%.3g|%g", 1.0, 9.9996, 0.0), "1.00000|10|0");

    EXPECT_EQ(Fmt("%10.3f|%-8.1f|%+.1f|%08.2f", -2.5, 2.25, 2.0, -3.14159), "    -2.500|2.3     |+2.0|-0003.14");
    EXPECT_EQ(Fmt("%f", 1.0f), "1.000000");
}

TEST(StringFormat, NeverFollowsAMismatchedArgument)
{
    EXPECT_EQ(Fmt("%d", "text"), "0");
    EXPECT_EQ(Fmt("[%s]", 5), "[]");
    EXPECT_EQ(Fmt("%s", 0), "(null)");
    EXPECT_EQ(Fmt("%s", static_cast<const char*>(nullptr)), "(null)");
    EXPECT_EQ(Fmt("%s", nullptr), "(null)");
    EXPECT_EQ(Fmt("%f", 3), "3.000000");
    EXPECT_EQ(Fmt("%d", 2.9), "2");
    EXPECT_EQ(Fmt("%d", 1e30), "-1"); // saturated, then cut to 32 bits
    // Missing arguments read as 0 or nothing; surplus ones are ignored.
    EXPECT_EQ(Fmt("%d [%s] %.1f %c|"), "0 [] 0.0 \0|"s);
    EXPECT_EQ(Fmt("%d", 1, 2, 3), "1");
    int written = 7;
    EXPECT_EQ(Fmt("ab%ncd", &written), "abcd");
    EXPECT_EQ(written, 7);
    // Unknown or unfinished conversions come out as they stand.
    EXPECT_EQ(Fmt("%y|%5", 1), "%y|%5");
    EXPECT_EQ(Fmt("100%"), "100%");
}

TEST(StringFormat, AcceptsStringsOfEveryForm)
{
    const CString name("Arial");
    char buffer[] = "Bold";
    const unsigned char bytes[] = "\xC9t\xE9";
    EXPECT_EQ(Fmt("%s,%s,%s", name, buffer, bytes), "Arial,Bold,\xC9t\xE9");
    enum Colour { Red = 3 };
    EXPECT_EQ(Fmt("%d", Red), "3");
}

TEST(StringFormat, BufferFormsCutAndTerminate)
{
    char out[2048];
    const std::string wide(3000, 'x');
    EXPECT_EQ(wsprintf(out, "%s", wide.c_str()), 1023);
    EXPECT_EQ(std::string(out).size(), 1023u);

    char small[4] = {'?', '?', '?', '?'};
    EXPECT_EQ(_snprintf(small, sizeof small, "%d", 12345), -1);
    EXPECT_EQ(std::string(small, 4), "1234");
    EXPECT_EQ(_snprintf(small, sizeof small, "%d", 123), 3);
    EXPECT_STREQ(small, "123");

    EXPECT_EQ(sprintf(out, "%ld:%1.2f", long(0x100000002), 0.5), 6);
    EXPECT_STREQ(out, "2:0.50");
}

TEST(StringFormat, IgnoresTheProcessLocale)
{
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    const std::string text = Fmt("%1.2f|%g", 2.5, 0.25);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(text, "2.50|0.25");
}

} // namespace
