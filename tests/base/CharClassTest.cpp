#include "platform/base/CharClass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

char Ch(int c)
{
    return static_cast<char>(c);
}

TEST(CharClass, KnowsTheLettersOf1252)
{
    for (int c : {int('A'), int('z'), 0xC0, 0xD6, 0xD8, 0xDE, 0xDF, 0xE0, 0xFF, 0x8A, 0x8C, 0x8E, 0x9A, 0x9C, 0x9E, 0x9F, 0x83, 0xAA, 0xB5, 0xBA})
        EXPECT_TRUE(IsCharAlpha(Ch(c))) << c;
    for (int c : {int('1'), int('_'), int(' '), 0xD7, 0xF7, 0xA9, 0x80, 0x99, 0xB2, 0x00})
        EXPECT_FALSE(IsCharAlpha(Ch(c))) << c;
    EXPECT_TRUE(IsCharAlphaNumeric('5'));
    EXPECT_TRUE(IsCharAlphaNumeric(Ch(0xE9)));
    EXPECT_FALSE(IsCharAlphaNumeric('\''));
    EXPECT_TRUE(IsCharUpper(Ch(0xC9)));
    EXPECT_TRUE(IsCharLower(Ch(0xDF)));
    EXPECT_FALSE(IsCharUpper(Ch(0xDF)));
    EXPECT_FALSE(IsCharLower('1'));
}

TEST(CharClass, CaseMapsPairTheRightLetters)
{
    struct Pair {
        int upper;
        int lower;
    };
    for (const Pair& p : {Pair {'A', 'a'}, Pair {0xC9, 0xE9}, Pair {0x8A, 0x9A}, Pair {0x8C, 0x9C}, Pair {0x9F, 0xFF}, Pair {0xDE, 0xFE}}) {
        EXPECT_EQ(platform::ToUpper1252(static_cast<unsigned char>(p.lower)), p.upper);
        EXPECT_EQ(platform::ToLower1252(static_cast<unsigned char>(p.upper)), p.lower);
    }
    // Letters without a partner, and the signs between the accented letters.
    for (int c : {0xDF, 0xB5, 0x83, 0xD7, 0xF7, int('['), int('@')}) {
        EXPECT_EQ(platform::ToUpper1252(static_cast<unsigned char>(c)), c);
        EXPECT_EQ(platform::ToLower1252(static_cast<unsigned char>(c)), c);
    }
}

TEST(CharClass, ConvertsStringsAndSingleCharacters)
{
    char text[] = "stra\xDF" "e \xE9t\xE9 \xFF";
    EXPECT_EQ(CharUpper(text), text);
    EXPECT_STREQ(text, "STRA\xDF" "E \xC9T\xC9 \x9F");
    EXPECT_STREQ(CharLower(text), "stra\xDF" "e \xE9t\xE9 \xFF");

    // A pointer value below 0x10000 carries one character.
    const auto single = reinterpret_cast<LPSTR>(static_cast<uintptr_t>(0xE9));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(CharUpper(single)), 0xC9u);

    char buffer[] = {'a', '\0', 'b', 'c'};
    EXPECT_EQ(CharUpperBuff(buffer, 3), 3u);
    EXPECT_EQ(std::string(buffer, 4), std::string("A\0Bc", 4));
    char word[] = "MiXeD";
    EXPECT_STREQ(_strlwr(word), "mixed");
    EXPECT_STREQ(_strupr(word), "MIXED");
    EXPECT_EQ(_strupr(nullptr), nullptr);
}

TEST(CharClass, ComparesWithoutCaseThrough1252)
{
    EXPECT_EQ(_stricmp("\xC9" "COLE", "\xE9" "cole"), 0);
    EXPECT_LT(_stricmp("apple", "Banana"), 0);
    EXPECT_GT(_stricmp("b", "A"), 0);
    EXPECT_LT(_stricmp("_", "A"), 0); // folded to lower case, as the runtime does
    EXPECT_LT(_stricmp("abc", "abcd"), 0);
    EXPECT_EQ(_strnicmp("LGO.tmp", "lgo.TXT", 4), 0);
    EXPECT_NE(_strnicmp("LGO.tmp", "lgo.TXT", 6), 0);
    EXPECT_EQ(_stricmp(nullptr, ""), 0);
    EXPECT_EQ(lstrlen("abc"), 3);
    EXPECT_EQ(lstrlen(nullptr), 0);
}

TEST(CharClass, WordSortOrdersAsTheSystemDoes)
{
    std::vector<std::string> words = {"ezra", "cop", "Coop", "\xE9" "clair", "co-op", "_x", "Apple", "coop", "eclair", "1abc", "apple"};
    std::sort(words.begin(), words.end(), [](const std::string& a, const std::string& b) { return lstrcmp(a.c_str(), b.c_str()) < 0; });
    const std::vector<std::string> expected = {"_x", "1abc", "apple", "Apple", "coop", "co-op", "Coop", "cop", "eclair", "\xE9" "clair", "ezra"};
    EXPECT_EQ(words, expected);

    EXPECT_EQ(lstrcmpi("Arial", "ARIAL"), 0);
    EXPECT_LT(lstrcmpi("arial", "Times"), 0);
    EXPECT_LT(lstrcmpi("STRASSE", "stra\xDF" "ex"), 0); // ß sorts as "ss"
    EXPECT_LT(lstrcmp("abc", "abcd"), 0);
    EXPECT_EQ(lstrcmp(nullptr, ""), 0);
}

TEST(CharClass, StepsThroughText)
{
    const char* text = "ab";
    EXPECT_EQ(CharNext(text), text + 1);
    EXPECT_EQ(CharNext(text + 2), text + 2);
    EXPECT_EQ(CharPrev(text, text + 2), text + 1);
    EXPECT_EQ(CharPrev(text, text), text);
}

} // namespace
