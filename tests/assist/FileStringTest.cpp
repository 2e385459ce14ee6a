// Length-prefixed strings: the exact bytes written, and reads that refuse a
// length the file cannot hold or a string without its zero.

#include "assist/FileString.h"

#include "platform/base/MemFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Contents(CMemFile& file)
{
    const DWORD n = file.GetLength();
    std::string bytes(n, '\0');
    file.SeekToBegin();
    file.Read(bytes.data(), n);
    return bytes;
}

// A read-only file over the bytes.
struct BytesFile {
    explicit BytesFile(const std::string& s)
        : bytes(s.begin(), s.end())
        , file(bytes.data(), UINT(bytes.size()))
    {
    }
    std::vector<BYTE> bytes;
    CMemFile file;
};

TEST(FileStringTest, WritesTheLengthWithTheZeroAndReadsItBack)
{
    CMemFile file;
    WriteFileString(&file, "abc");
    WriteFileString(&file, "");
    EXPECT_EQ(Contents(file), std::string("\x04\0\0\0abc\0\x01\0\0\0\0", 13));

    file.SeekToBegin();
    CString first, second, third = "kept?";
    EXPECT_TRUE(ReadFileString(&file, first));
    EXPECT_TRUE(ReadFileString(&file, second));
    EXPECT_EQ(first, "abc");
    EXPECT_EQ(second, "");
    // At the end there is no length to read.
    EXPECT_FALSE(ReadFileString(&file, third));
    EXPECT_EQ(third, "");
}

TEST(FileStringTest, RefusesLengthsTheFileCannotHoldAndStringsWithoutTheirZero)
{
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"a short length", std::string("\x04\0\0", 3)},
        {"length 0 has no room for the zero", std::string("\0\0\0\0abc\0", 8)},
        {"one byte past the end", std::string("\x05\0\0\0abc\0", 8)},
        {"a length near 4 GB", std::string("\xF0\xFF\xFF\xFF" "abc\0", 8)},
        {"a length near 2 GB", std::string("\xFF\xFF\xFF\x7F" "abc\0", 8)},
        {"the last byte is not the zero", std::string("\x03\0\0\0abc", 7)},
        {"the zero comes after the counted bytes", std::string("\x03\0\0\0abc\0", 8)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BytesFile in(c.bytes);
        CString str = "before";
        EXPECT_FALSE(ReadFileString(&in.file, str));
        EXPECT_EQ(str, "");
    }

    // An inner zero ends the string, as it did for the program that wrote it.
    BytesFile inner(std::string("\x04\0\0\0a\0c\0", 8));
    CString str;
    EXPECT_TRUE(ReadFileString(&inner.file, str));
    EXPECT_EQ(str, "a");
}

} // namespace
