#include "platform/files/CrtFiles.h"
#include "platform/files/FileApi.h"
#include "tests/files/FilesTestSupport.h"

#include <errno.h>

#include <filesystem>
#include <vector>

using namespace platform;
using namespace files_test;
using testing_support::MakeTempDir;
using testing_support::WriteFileBytes;

namespace {

class Listing : public FilesTest {
protected:
    void SetUp() override
    {
        FilesTest::SetUp();
        m_dir = MakeTempDir("list");
        WriteFileBytes(m_dir + "/README", "no dot");
        WriteFileBytes(m_dir + "/a.JPG", "12345");
        WriteFileBytes(m_dir + "/b.jpg", "");
        WriteFileBytes(m_dir + "/c.gif", "");
        WriteFileBytes(m_dir + "/.hidden", "");
        WriteFileBytes(m_dir + "/\xD0\x96.txt", ""); // Cyrillic: 1252 cannot spell it
        std::filesystem::create_directory(m_dir + "/Sub");
    }
    std::vector<std::string> Names(const std::string& pattern)
    {
        std::vector<std::string> names;
        _finddata_t data;
        intptr_t handle = _findfirst((Win(m_dir) + "\\" + pattern).c_str(), &data);
        if (handle == -1)
            return names;
        do
            names.push_back(data.name);
        while (_findnext(handle, &data) == 0);
        EXPECT_EQ(errno, ENOENT);
        EXPECT_EQ(_findclose(handle), 0);
        return names;
    }
    std::string m_dir;
};

TEST_F(Listing, StarDotStarListsEveryNameWithDotEntriesFirst)
{
    std::vector<std::string> expected { ".", "..", ".hidden", "a.JPG", "b.jpg", "c.gif", "README", "Sub" };
    EXPECT_EQ(Names("*.*"), expected);
    EXPECT_EQ(Names("*"), expected);
}

TEST_F(Listing, PatternsMatchWithoutCase)
{
    EXPECT_EQ(Names("*.jpg"), (std::vector<std::string> { "a.JPG", "b.jpg" }));
    EXPECT_EQ(Names("?.GIF"), (std::vector<std::string> { "c.gif" }));
    EXPECT_EQ(Names("readme"), (std::vector<std::string> { "README" }));
    EXPECT_EQ(Names("*."), (std::vector<std::string> { "README", "Sub" }));
}

TEST_F(Listing, ReportsAttributesSizeAndTime)
{
    _finddata_t data;
    intptr_t handle = _findfirst((Win(m_dir) + "\\A.jpg").c_str(), &data);
    ASSERT_NE(handle, -1);
    EXPECT_EQ(data.attrib, unsigned(_A_ARCH));
    EXPECT_EQ(data.size, 5u);
    EXPECT_GT(data.time_write, 0);
    _findclose(handle);

    handle = _findfirst((Win(m_dir) + "\\sub").c_str(), &data);
    ASSERT_NE(handle, -1);
    EXPECT_EQ(data.attrib, unsigned(_A_SUBDIR));
    _findclose(handle);
    handle = _findfirst((Win(m_dir) + "\\.hidden").c_str(), &data);
    ASSERT_NE(handle, -1);
    EXPECT_EQ(data.attrib, unsigned(_A_HIDDEN | _A_ARCH));
    _findclose(handle);
}

TEST_F(Listing, NothingMatchingGivesMinusOneAndEnoent)
{
    _finddata_t data;
    errno = 0;
    EXPECT_EQ(_findfirst((Win(m_dir) + "\\*.bmp").c_str(), &data), -1);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(_findfirst((Win(m_dir) + "\\missing\\*.*").c_str(), &data), -1);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(_findnext(12345, &data), -1);
    EXPECT_EQ(_findclose(-1), -1);
}

TEST_F(Listing, DriveRootsHaveNoDotEntries)
{
    _finddata_t data;
    intptr_t handle = _findfirst("C:\\*.*", &data);
    ASSERT_NE(handle, -1);
    do {
        EXPECT_STRNE(data.name, ".");
        EXPECT_STRNE(data.name, "..");
    } while (_findnext(handle, &data) == 0);
    _findclose(handle);
}

TEST_F(Listing, FindFirstFileWalksTheSameEntries)
{
    WIN32_FIND_DATA data;
    HANDLE handle = FindFirstFile((Win(m_dir) + "\\*.jpg").c_str(), &data);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(data.cFileName, "a.JPG");
    EXPECT_EQ(data.nFileSizeLow, 5u);
    EXPECT_EQ(data.dwFileAttributes, DWORD(FILE_ATTRIBUTE_ARCHIVE));
    ASSERT_TRUE(FindNextFile(handle, &data));
    EXPECT_STREQ(data.cFileName, "b.jpg");
    EXPECT_FALSE(FindNextFile(handle, &data));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(FindClose(handle));
    EXPECT_FALSE(FindClose(handle));

    EXPECT_EQ(FindFirstFile((Win(m_dir) + "\\*.bmp").c_str(), &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
}

} // namespace
