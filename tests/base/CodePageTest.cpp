#include "platform/base/CodePage.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string AllBytes()
{
    std::string bytes;
    for (int c = 0; c < 256; ++c)
        bytes += static_cast<char>(c);
    return bytes;
}

TEST(CodePage, EveryByteSurvivesUtf8AndUtf16)
{
    const std::string bytes = AllBytes();
    bool lossless = false;
    EXPECT_EQ(platform::Utf8To1252(platform::Utf8From1252(bytes), &lossless), bytes);
    EXPECT_TRUE(lossless);
    lossless = false;
    EXPECT_EQ(platform::Utf16To1252(platform::Utf16From1252(bytes), &lossless), bytes);
    EXPECT_TRUE(lossless);

    // The same through the Win32 calls, with the explicit length so that the
    // zero byte travels too.
    std::u16string wide(256, u'\0');
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, bytes.data(), 256, wide.data(), 256), 256);
    std::string back(256, '\0');
    BOOL usedDefault = TRUE;
    ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, wide.data(), 256, back.data(), 256, nullptr, &usedDefault), 256);
    EXPECT_EQ(back, bytes);
    EXPECT_FALSE(usedDefault);
}

TEST(CodePage, MapsTheWindowsCharacters)
{
    EXPECT_EQ(platform::CodePointFrom1252(0x99), U'\u2122');
    EXPECT_EQ(platform::CodePointFrom1252(0x80), U'\u20AC');
    EXPECT_EQ(platform::CodePointFrom1252(0x9F), U'\u0178');
    EXPECT_EQ(platform::CodePointFrom1252(0x81), U'\u0081');
    EXPECT_EQ(platform::CodePointFrom1252(0xE9), U'\u00E9');
    unsigned char ch = 0;
    EXPECT_TRUE(platform::CodePointTo1252(U'\u2122', ch));
    EXPECT_EQ(ch, 0x99);
    EXPECT_TRUE(platform::CodePointTo1252(U'\u201C', ch));
    EXPECT_EQ(ch, 0x93);
    EXPECT_FALSE(platform::CodePointTo1252(U'\u0100', ch));
    EXPECT_EQ(platform::Utf8From1252("\x99\x80"), "\xE2\x84\xA2\xE2\x82\xAC");
}

TEST(CodePage, ReplacesWhatCannotBeHeld)
{
    struct Case {
        const char* utf8;
        const char* expected;
    };
    EXPECT_EQ(platform::Utf8To1252("caf\xC3\xA9"), "caf\xE9");
    const Case cases[] = {
        {"\xC4\x80", "?"},             // U+0100 has no 1252 byte
        {"\xF0\x9F\x98\x80!", "?!"},   // outside the BMP
        {"\xE2\x82", "?"},             // a cut-off sequence is one character
        {"\xC0\xAF", "??"},            // overlong forms are not accepted
        {"\xED\xA0\x80", "???"},       // nor encoded surrogates
        {"a\x80z", "a?z"},             // a stray continuation byte
    };
    for (const Case& c : cases) {
        bool lossless = true;
        EXPECT_EQ(platform::Utf8To1252(c.utf8, &lossless), c.expected) << c.utf8;
        EXPECT_FALSE(lossless) << c.utf8;
    }
    bool lossless = true;
    EXPECT_EQ(platform::Utf16To1252(u"a\xD800z\U0001F600", &lossless), "a?z?");
    EXPECT_FALSE(lossless);
}

TEST(CodePage, MultiByteToWideCharFollowsTheSizeConventions)
{
    // -1 counts the terminator; an explicit length does not add one.
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, nullptr, 0), 4);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", 3, nullptr, 0), 3);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "\xE2\x84\xA2", -1, nullptr, 0), 2);

    char16_t out[4] = {u'x', u'x', u'x', u'x'};
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abcd", -1, out, 4), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "\x99", -1, out, 4), 2);
    EXPECT_EQ(out[0], u'\u2122');
    EXPECT_EQ(out[1], u'\0');

    for (int length : {0, -2}) {
        SetLastError(0);
        EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", length, out, 4), 0);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    }
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, nullptr, -1, out, 4), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(437, 0, "abc", -1, out, 4), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));

    // Bad UTF-8 becomes U+FFFD unless the caller asks for an error.
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a\xFFz", 3, out, 4), 3);
    EXPECT_EQ(out[1], u'\uFFFD');
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "a\xFFz", 3, out, 4), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_UNICODE_TRANSLATION));
}

TEST(CodePage, WideCharToMultiByteReportsTheDefaultCharacter)
{
    const char16_t text[] = u"A\u0100\u2122";
    char out[8] = {};
    BOOL usedDefault = FALSE;
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text, -1, out, sizeof out, nullptr, &usedDefault), 4);
    EXPECT_STREQ(out, "A?\x99");
    EXPECT_TRUE(usedDefault);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text, 2, out, sizeof out, "_", nullptr), 2);
    EXPECT_EQ(out[1], '_');

    // UTF-8: sizes, surrogate pairs, and the parameters it refuses.
    const char16_t emoji[] = u"\U0001F600";
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, emoji, -1, nullptr, 0, nullptr, nullptr), 5);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, emoji, 2, out, sizeof out, nullptr, nullptr), 4);
    EXPECT_EQ(std::string(out, 4), "\xF0\x9F\x98\x80");
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, emoji, -1, out, sizeof out, nullptr, &usedDefault), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text, -1, out, 2, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    const char16_t lone[] = {u'a', char16_t(0xDC00), u'\0'};
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, lone, -1, out, sizeof out, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_UNICODE_TRANSLATION));
}

} // namespace

TEST(CodePage, TellsWellFormedUtf8FromASequenceCutAtTheEnd)
{
    struct Case {
        const char* text;
        size_t length;
        bool cutShort;
    };
    const Case cases[] = {
        {"caf\xC3\xA9", 5, false},
        {"caf\xC3", 3, true},             // the last character cut in two
        {"ab\xE2\x82", 2, true},          // three bytes, two there
        {"ab\xFF", 2, false},             // never a lead byte
        {"ab\xC0\xAF", 2, false},         // overlong
        {"ab\xED\xA0\x80", 2, false},     // a surrogate
        {"ab\xC3" "A", 2, false},         // a broken sequence before the end
    };
    for (const Case& c : cases) {
        bool cutShort = !c.cutShort;
        EXPECT_EQ(platform::Utf8WellFormedLength(c.text, &cutShort), c.length) << c.text;
        EXPECT_EQ(cutShort, c.cutShort) << c.text;
    }
}
