#include "app/LineReader.h"

#include "platform/base/String.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testing_support::MakeTempDir;
using testing_support::WriteFileBytes;

namespace {

class LineReaderTest : public testing::Test {
protected:
    void SetUp() override { dir = MakeTempDir("lines"); }

    // Every line the reader gives for a file holding `bytes`.
    std::vector<std::string> Lines(const std::string& bytes)
    {
        std::string host = dir + "/f" + std::to_string(files++) + ".txt";
        WriteFileBytes(host, bytes);
        std::string path = "C:" + host;
        for (char& c : path) {
            if (c == '/')
                c = '\\';
        }
        CLineReader reader;
        EXPECT_TRUE(reader.Open(path.c_str()));
        std::vector<std::string> lines;
        CString line;
        while (reader.ReadLine(line))
            lines.push_back(line.Std());
        EXPECT_EQ(line, "");
        EXPECT_EQ(reader.GetLineCount(), static_cast<int>(lines.size()));
        return lines;
    }

    std::string dir;
    int files = 0;
};

using Strings = std::vector<std::string>;

TEST_F(LineReaderTest, CrLfAndLfGiveTheSameLines)
{
    EXPECT_EQ(Lines("one\r\ntwo\r\n\r\nfour\r\n"), (Strings{"one", "two", "", "four"}));
    EXPECT_EQ(Lines("one\ntwo\n\nfour\n"), (Strings{"one", "two", "", "four"}));
}

TEST_F(LineReaderTest, LastLineNeedsNoLineFeed)
{
    EXPECT_EQ(Lines("a\nlast"), (Strings{"a", "last"}));
    EXPECT_EQ(Lines("a\r\nlast\r"), (Strings{"a", "last"}));
    EXPECT_EQ(Lines(""), Strings{});
    EXPECT_EQ(Lines("\n"), Strings{""});
}

TEST_F(LineReaderTest, CrLfSplitAcrossTheBufferIsOneLineEnd)
{
    // The CR is the last byte of the first block, its LF the first of the next.
    std::string bytes;
    Strings expected;
    for (int i = 0; i < 7; ++i) {
        expected.push_back(std::string(1000, char('a' + i)));
        bytes += expected.back() + "\n";
    }
    expected.push_back(std::string(CLineReader::kBufferSize - 1 - bytes.size(), 'z'));
    bytes += expected.back() + "\r\nsecond\r\n";
    expected.push_back("second");
    ASSERT_EQ(bytes[CLineReader::kBufferSize - 1], '\r');
    ASSERT_EQ(bytes[CLineReader::kBufferSize], '\n');
    EXPECT_EQ(Lines(bytes), expected);
}

TEST_F(LineReaderTest, LinesSpanningBlocksComeWhole)
{
    std::string bytes;
    Strings expected;
    for (int i = 0; i < 40; ++i) {
        std::string line(300 + i, char('a' + i % 26));
        expected.push_back(line);
        bytes += line + "\r\n";
    }
    EXPECT_EQ(Lines(bytes), expected);
}

TEST_F(LineReaderTest, OverlongLineIsCutAndReadingGoesOn)
{
    const std::string longLine(5000, 'L');
    Strings lines = Lines(longLine + "\r\nnext\n" + std::string(CLineReader::kMaxLine, 'M') + "\nend");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], std::string(CLineReader::kMaxLine, 'L'));
    EXPECT_EQ(lines[1], "next");
    EXPECT_EQ(lines[2], std::string(CLineReader::kMaxLine, 'M'));
    EXPECT_EQ(lines[3], "end");
    // An over-long last line without a line end still counts as a line.
    EXPECT_EQ(Lines(longLine), Strings{std::string(CLineReader::kMaxLine, 'L')});
}

TEST_F(LineReaderTest, MissingFileOrClosedReaderGivesNothing)
{
    CLineReader reader;
    CString line = "stale";
    EXPECT_FALSE(reader.ReadLine(line));
    EXPECT_EQ(line, "");
    EXPECT_FALSE(reader.Open("C:\\no\\such\\file.txt"));
    EXPECT_FALSE(reader.ReadLine(line));
    EXPECT_EQ(Lines("x\n").size(), 1u);
}

} // namespace
