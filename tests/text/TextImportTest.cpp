// Importing a text file into the Text Effects dialog: line ends, NULs,
// page breaks and UTF-8 from other systems become the dialog's text, the
// text is cut to what the dialog holds, and a file that cannot be read
// leaves the caller's text alone.

#include "text/dialogs/TextImport.h"

#include "platform/files/HostPath.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::string Convert(const std::string& bytes, bool bTruncated = false)
{
    return ConvertImportedText(bytes.data(), bytes.size(), bTruncated);
}

// Every line end is a CR LF pair and nothing else is a CR or an LF.
bool HasOnlyPairedLineEnds(const std::string& text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))
            return false;
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            return false;
    }
    return true;
}

TEST(TextImportTest, EveryKindOfLineEndBecomesOneCrLf)
{
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"one\ntwo\n", "one\r\ntwo\r\n"},
        {"one\r\ntwo", "one\r\ntwo"},
        {"one\rtwo\r", "one\r\ntwo\r\n"},
        {"a\n\nb", "a\r\n\r\nb"},
        {"a\r\r\nb", "a\r\n\r\nb"},
        {"a\n\rb", "a\r\n\r\nb"},
        {"\r\n", "\r\n"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Convert(c.in), c.out) << "input " << testing::PrintToString(c.in);
}

TEST(TextImportTest, NulsAndFormFeedsGoAndTheRestOfTheTextStays)
{
    EXPECT_EQ(Convert(std::string("ab\0cd", 5)), "abcd");
    EXPECT_EQ(Convert(std::string("\0\0x\0", 4)), "x");
    EXPECT_EQ(Convert("page one\fpage two"), "page onepage two");
    EXPECT_EQ(Convert("tab\there"), "tab\there");
}

TEST(TextImportTest, Utf8BecomesTheProgramsCodePage)
{
    EXPECT_EQ(Convert("caf\xC3\xA9\n"), "caf\xE9\r\n");
    // A byte-order mark is no character of the text.
    EXPECT_EQ(Convert("\xEF\xBB\xBF" "caf\xC3\xA9"), "caf\xE9");
    // The euro sign has a 1252 byte of its own; a CJK character has none.
    EXPECT_EQ(Convert("\xE2\x82\xAC 5"), "\x80 5");
    EXPECT_EQ(Convert("x\xE4\xB8\xADy"), "x?y");
    EXPECT_EQ(Convert("\xF0\x9F\x98\x80"), "?");
}

TEST(TextImportTest, BytesThatAreNotUtf8AreTakenAs1252)
{
    // Already 1252: e acute alone is no UTF-8 sequence.
    EXPECT_EQ(Convert("caf\xE9"), "caf\xE9");
    // One bad sequence makes the whole file 1252, valid-looking pairs too.
    EXPECT_EQ(Convert("\xC3\xA9 and \xE9"), "\xC3\xA9 and \xE9");
    // Overlong forms and surrogates are not UTF-8.
    EXPECT_EQ(Convert("\xC0\xAF"), "\xC0\xAF");
    EXPECT_EQ(Convert("\xED\xA0\x80"), "\xED\xA0\x80");
    // A sequence cut at the end is UTF-8 only when the file went on.
    EXPECT_EQ(Convert("caf\xC3\xA9 \xC3", false), "caf\xC3\xA9 \xC3");
    EXPECT_EQ(Convert("caf\xC3\xA9 \xC3", true), "caf\xE9 ");
}

TEST(TextImportTest, TheTextIsCutToTheDialogsLengthWithoutSplittingALineEnd)
{
    const std::string big(20000, 'x');
    const std::string text = Convert(big);
    EXPECT_EQ(text.size(), size_t(kImportedTextMax));

    // Lines of 9 characters and an LF: each becomes 11 in the text, so the
    // cap falls between the CR and the LF of the 931st line end, and the
    // whole pair is left off.
    std::string lines;
    while (lines.size() < 20000)
        lines += "123456789\n";
    const std::string cut = Convert(lines);
    EXPECT_EQ(cut.size(), size_t(kImportedTextMax) - 1);
    EXPECT_TRUE(HasOnlyPairedLineEnds(cut));
    EXPECT_NE(cut.back(), '\r');
}

class TextImportFileTest : public ::testing::Test {
protected:
    void SetUp() override { m_root = testing_support::MakeTempDir("textimport"); }

    // Writes the bytes and answers the file's Windows-form path.
    std::string Write(const std::string& name, const std::string& bytes)
    {
        const std::string host = m_root + "/" + name;
        std::ofstream(host, std::ios::binary) << bytes;
        return platform::WindowsPathFor(host);
    }

    std::string m_root;
};

TEST_F(TextImportFileTest, FilesOfEachKindReadAsTheDialogShowsThem)
{
    CString strText;
    ASSERT_TRUE(ReadImportedTextFile(Write("lf.txt", "one\ntwo\n").c_str(), strText));
    EXPECT_STREQ(strText, "one\r\ntwo\r\n");
    ASSERT_TRUE(ReadImportedTextFile(Write("crlf.txt", "one\r\ntwo").c_str(), strText));
    EXPECT_STREQ(strText, "one\r\ntwo");
    ASSERT_TRUE(ReadImportedTextFile(Write("utf8.txt", "caf\xC3\xA9").c_str(), strText));
    EXPECT_STREQ(strText, "caf\xE9");
    ASSERT_TRUE(ReadImportedTextFile(Write("nul.txt", std::string("before\0after", 12)).c_str(), strText));
    EXPECT_STREQ(strText, "beforeafter");
    ASSERT_TRUE(ReadImportedTextFile(Write("big.txt", std::string(20000, 'y')).c_str(), strText));
    EXPECT_EQ(strText.GetLength(), kImportedTextMax);
    ASSERT_TRUE(ReadImportedTextFile(Write("empty.txt", "").c_str(), strText));
    EXPECT_TRUE(strText.IsEmpty());
}

TEST_F(TextImportFileTest, AFileThatCannotBeReadLeavesTheTextAlone)
{
    CString strText = "kept";
    EXPECT_FALSE(ReadImportedTextFile(platform::WindowsPathFor(m_root + "/missing.txt").c_str(), strText));
    EXPECT_STREQ(strText, "kept");
    std::filesystem::create_directories(m_root + "/folder.txt");
    EXPECT_FALSE(ReadImportedTextFile(platform::WindowsPathFor(m_root + "/folder.txt").c_str(), strText));
    EXPECT_STREQ(strText, "kept");
    EXPECT_FALSE(ReadImportedTextFile("", strText));
    EXPECT_FALSE(ReadImportedTextFile(nullptr, strText));
    EXPECT_STREQ(strText, "kept");
}

} // namespace
