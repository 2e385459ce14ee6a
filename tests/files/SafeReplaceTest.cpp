#include "platform/files/SafeReplace.h"
#include "tests/files/FilesTestSupport.h"

#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

using namespace platform;
using namespace files_test;
using testing_support::MakeTempDir;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {

size_t EntriesIn(const std::string& dir)
{
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir))
        ++count;
    return count;
}

// Writes half of the bytes and then reports a full disk.
bool FailingWrite(int fd, const void* data, size_t size)
{
    (void)!write(fd, data, size / 2);
    errno = ENOSPC;
    return false;
}

class SafeReplace : public FilesTest {
protected:
    void TearDown() override
    {
        SetReplaceWriteStepForTests(nullptr);
        FilesTest::TearDown();
    }
};

TEST_F(SafeReplace, ReplacesContentsAndKeepsPermissions)
{
    std::string dir = MakeTempDir("replace");
    std::string path = dir + "/registry";
    WriteFileBytes(path, "old contents that are longer");
    chmod(path.c_str(), 0600);
    int err = 0;
    ASSERT_TRUE(ReplaceFileContents(path, "new", KeepBackup::No, &err));
    EXPECT_EQ(ReadFileBytes(path), "new");
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(EntriesIn(dir), 1u) << "no temporary file is left";

    ASSERT_TRUE(ReplaceFileContents(dir + "/fresh", std::string("a\0b", 3), KeepBackup::Yes, &err));
    EXPECT_EQ(ReadFileBytes(dir + "/fresh"), std::string("a\0b", 3));
    EXPECT_FALSE(std::filesystem::exists(dir + "/fresh.bak")) << "nothing to back up";
}

TEST_F(SafeReplace, KeepsTheOldFileAsBak)
{
    std::string dir = MakeTempDir("backup");
    std::string path = dir + "/kit.kqa";
    WriteFileBytes(path, "first");
    int err = 0;
    ASSERT_TRUE(ReplaceFileContents(path, "second", KeepBackup::Yes, &err));
    ASSERT_TRUE(ReplaceFileContents(path, "third", KeepBackup::Yes, &err));
    EXPECT_EQ(ReadFileBytes(path), "third");
    EXPECT_EQ(ReadFileBytes(path + ".bak"), "second");
}

TEST_F(SafeReplace, FailedWriteLeavesTheOldFileAndNoTemporary)
{
    std::string dir = MakeTempDir("full");
    std::string path = dir + "/design.shr";
    WriteFileBytes(path, "precious");
    SetReplaceWriteStepForTests(FailingWrite);
    int err = 0;
    EXPECT_FALSE(ReplaceFileContents(path, "replacement bytes", KeepBackup::Yes, &err));
    EXPECT_EQ(err, ENOSPC);
    EXPECT_EQ(ReadFileBytes(path), "precious");
    EXPECT_EQ(EntriesIn(dir), 1u);

    EXPECT_FALSE(ReplaceWindowsFileContents(Win(path).c_str(), "x", KeepBackup::No));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DISK_FULL));
}

TEST_F(SafeReplace, MissingFolderOrFolderTargetFails)
{
    std::string dir = MakeTempDir("bad");
    int err = 0;
    EXPECT_FALSE(ReplaceFileContents(dir + "/no/such/file", "x", KeepBackup::No, &err));
    EXPECT_EQ(err, ENOENT);
    EXPECT_FALSE(ReplaceFileContents(dir, "x", KeepBackup::No, &err));
    EXPECT_EQ(err, EISDIR);
}

TEST_F(SafeReplace, ReplacesTheTargetOfALink)
{
    std::string dir = MakeTempDir("link");
    WriteFileBytes(dir + "/real", "old");
    ASSERT_EQ(symlink((dir + "/real").c_str(), (dir + "/alias").c_str()), 0);
    int err = 0;
    ASSERT_TRUE(ReplaceFileContents(dir + "/alias", "new", KeepBackup::No, &err));
    EXPECT_TRUE(std::filesystem::is_symlink(dir + "/alias"));
    EXPECT_EQ(ReadFileBytes(dir + "/real"), "new");
}

} // namespace
