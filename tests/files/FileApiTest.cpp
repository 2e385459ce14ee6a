#include "platform/files/CrtFiles.h"
#include "platform/files/FileApi.h"
#include "platform/files/FileSystem.h"
#include "platform/files/HostPath.h"
#include "platform/files/UserFolders.h"
#include "tests/files/FilesTestSupport.h"

#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <regex>

using namespace platform;
using namespace files_test;
using testing_support::MakeTempDir;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {

class FileCalls : public FilesTest {
protected:
    void SetUp() override
    {
        FilesTest::SetUp();
        m_dir = MakeTempDir("api");
        m_win = Win(m_dir);
    }
    std::string m_dir;
    std::string m_win;
};

TEST_F(FileCalls, AttributesComeFromTheFileItself)
{
    WriteFileBytes(m_dir + "/plain.txt", "x");
    WriteFileBytes(m_dir + "/.dotted", "x");
    WriteFileBytes(m_dir + "/locked.txt", "x");
    chmod((m_dir + "/locked.txt").c_str(), 0444);
    mkfifo((m_dir + "/pipe").c_str(), 0644);

    EXPECT_EQ(GetFileAttributes((m_win + "\\PLAIN.TXT").c_str()), DWORD(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(GetFileAttributes((m_win + "\\.dotted").c_str()), DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(GetFileAttributes((m_win + "\\locked.txt").c_str()), DWORD(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(GetFileAttributes(m_win.c_str()), DWORD(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(GetFileAttributes((m_win + "\\").c_str()), DWORD(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(GetFileAttributes((m_win + "\\pipe").c_str()), DWORD(FILE_ATTRIBUTE_NORMAL));

    EXPECT_EQ(GetFileAttributes((m_win + "\\missing.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(GetFileAttributes((m_win + "\\nodir\\missing.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));

    ASSERT_TRUE(SetFileAttributes((m_win + "\\plain.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(GetFileAttributes((m_win + "\\plain.txt").c_str()), DWORD(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    ASSERT_TRUE(SetFileAttributes((m_win + "\\plain.txt").c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(GetFileAttributes((m_win + "\\plain.txt").c_str()), DWORD(FILE_ATTRIBUTE_ARCHIVE));
}

TEST_F(FileCalls, RegularFileTestRefusesFoldersAndDevices)
{
    WriteFileBytes(m_dir + "/a.txt", "x");
    mkfifo((m_dir + "/fifo").c_str(), 0644);
    EXPECT_TRUE(IsRegularFile((m_win + "\\A.TXT").c_str()));
    EXPECT_FALSE(IsRegularFile(m_win.c_str()));
    EXPECT_FALSE(IsRegularFile((m_win + "\\fifo").c_str()));
    EXPECT_FALSE(IsRegularFile("C:\\dev\\null"));
    EXPECT_FALSE(IsRegularFile("not a path at all\r\n"));
    EXPECT_FALSE(IsRegularFile(""));
}

TEST_F(FileCalls, SameFileByIdentityNotBySpelling)
{
    WriteFileBytes(m_dir + "/Design.shr", "x");
    ASSERT_EQ(link((m_dir + "/Design.shr").c_str(), (m_dir + "/other.shr").c_str()), 0);
    EXPECT_TRUE(IsSameFile((m_win + "\\Design.shr").c_str(), (m_win + "\\..\\" + std::filesystem::path(m_dir).filename().string() + "\\DESIGN.SHR").c_str()));
    EXPECT_TRUE(IsSameFile((m_win + "\\Design.shr").c_str(), (m_win + "\\other.shr").c_str()));
    WriteFileBytes(m_dir + "/copy.shr", "x");
    EXPECT_FALSE(IsSameFile((m_win + "\\Design.shr").c_str(), (m_win + "\\copy.shr").c_str()));
    EXPECT_TRUE(IsSameFile((m_win + "\\new.shr").c_str(), (m_win + "\\.\\new.shr").c_str()));
}

TEST_F(FileCalls, CrtAccessStatAndFolders)
{
    WriteFileBytes(m_dir + "/data.bin", std::string(1234, 'x'));
    EXPECT_EQ(_access((m_win + "\\DATA.BIN").c_str(), 0), 0);
    EXPECT_EQ(_access((m_win + "\\data.bin").c_str(), 6), 0);
    EXPECT_EQ(_access((m_win + "\\none.bin").c_str(), 0), -1);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(_access((m_win + "\\data.bin").c_str(), 1), -1);
    EXPECT_EQ(errno, EINVAL);

    struct _stat st;
    ASSERT_EQ(_stat((m_win + "\\data.bin").c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 1234);
    EXPECT_EQ(st.st_mode & _S_IFMT, _S_IFREG);
    EXPECT_TRUE(st.st_mode & _S_IWRITE);
    EXPECT_GT(st.st_mtime, 0);
    EXPECT_EQ(st.st_dev, 2u); // drive C
    ASSERT_EQ(_stat(m_win.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & _S_IFMT, _S_IFDIR);

    EXPECT_EQ(_mkdir((m_win + "\\New").c_str()), 0);
    EXPECT_EQ(_mkdir((m_win + "\\new").c_str()), -1); // exists, found without case
    EXPECT_EQ(errno, EEXIST);
    EXPECT_FALSE(CreateDirectory((m_win + "\\a\\b").c_str(), nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(_rmdir((m_win + "\\NEW").c_str()), 0);
    EXPECT_FALSE(std::filesystem::exists(m_dir + "/New"));
    EXPECT_EQ(_unlink((m_win + "\\Data.Bin").c_str()), 0);
    EXPECT_EQ(_unlink((m_win + "\\Data.Bin").c_str()), -1);
}

TEST_F(FileCalls, GetcwdAndChdirUseWindowsForm)
{
    char saved[4096];
    ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
    ASSERT_EQ(_chdir(m_win.c_str()), 0);
    char buffer[285];
    ASSERT_NE(_getcwd(buffer, sizeof buffer), nullptr);
    EXPECT_EQ(std::string(buffer), m_win);
    EXPECT_EQ(_getcwd(buffer, 3), nullptr);
    EXPECT_EQ(errno, ERANGE);
    char* allocated = _getcwd(nullptr, 0);
    ASSERT_NE(allocated, nullptr);
    EXPECT_EQ(std::string(allocated), m_win);
    free(allocated);
    EXPECT_EQ(_chdir((m_win + "\\missing").c_str()), -1);
    ASSERT_EQ(chdir(saved), 0);
}

TEST_F(FileCalls, MoveFileRefusesAnExistingTargetMoveFileExReplacesIt)
{
    WriteFileBytes(m_dir + "/a.txt", "A");
    WriteFileBytes(m_dir + "/b.txt", "B");
    EXPECT_FALSE(MoveFile((m_win + "\\a.txt").c_str(), (m_win + "\\B.TXT").c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    ASSERT_TRUE(MoveFileEx((m_win + "\\a.txt").c_str(), (m_win + "\\B.TXT").c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(ReadFileBytes(m_dir + "/b.txt"), "A");
    EXPECT_FALSE(std::filesystem::exists(m_dir + "/a.txt"));

    // A change of case alone renames.
    ASSERT_TRUE(MoveFile((m_win + "\\b.txt").c_str(), (m_win + "\\Final.TXT").c_str()));
    ASSERT_TRUE(MoveFile((m_win + "\\final.txt").c_str(), (m_win + "\\FINAL.txt").c_str()));
    EXPECT_TRUE(std::filesystem::exists(m_dir + "/FINAL.txt"));
    EXPECT_FALSE(std::filesystem::exists(m_dir + "/Final.TXT"));

    EXPECT_FALSE(MoveFile((m_win + "\\gone.txt").c_str(), (m_win + "\\x.txt").c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
}

TEST_F(FileCalls, CopyFileKeepsBytesAndRefusesWhenAsked)
{
    WriteFileBytes(m_dir + "/src.dat", "payload");
    chmod((m_dir + "/src.dat").c_str(), 0640);
    ASSERT_TRUE(CopyFile((m_win + "\\SRC.DAT").c_str(), (m_win + "\\dst.dat").c_str(), TRUE));
    EXPECT_EQ(ReadFileBytes(m_dir + "/dst.dat"), "payload");
    struct stat st;
    ASSERT_EQ(stat((m_dir + "/dst.dat").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    WriteFileBytes(m_dir + "/src.dat", "second");
    EXPECT_FALSE(CopyFile((m_win + "\\src.dat").c_str(), (m_win + "\\dst.dat").c_str(), TRUE));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_EXISTS));
    ASSERT_TRUE(CopyFile((m_win + "\\src.dat").c_str(), (m_win + "\\dst.dat").c_str(), FALSE));
    EXPECT_EQ(ReadFileBytes(m_dir + "/dst.dat"), "second");

    // Onto itself (another spelling): refused, and the file survives.
    EXPECT_FALSE(CopyFile((m_win + "\\src.dat").c_str(), (m_win + "\\SRC.dat").c_str(), FALSE));
    EXPECT_EQ(ReadFileBytes(m_dir + "/src.dat"), "second");
}

TEST_F(FileCalls, DeleteFileRemovesFilesNotFolders)
{
    WriteFileBytes(m_dir + "/x.tmp", "x");
    EXPECT_TRUE(DeleteFile((m_win + "\\X.TMP").c_str()));
    EXPECT_FALSE(DeleteFile((m_win + "\\X.TMP").c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    std::filesystem::create_directory(m_dir + "/folder");
    EXPECT_FALSE(DeleteFile((m_win + "\\folder").c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
}

TEST_F(FileCalls, SequentialReadHandle)
{
    WriteFileBytes(m_dir + "/lines.txt", "first\nsecond\n");
    HANDLE h = CreateFile((m_win + "\\LINES.TXT").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
        FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetFileSize(h, nullptr), 13u);
    char buffer[64];
    DWORD read = 0;
    ASSERT_TRUE(ReadFile(h, buffer, 6, &read, nullptr));
    EXPECT_EQ(std::string(buffer, read), "first\n");
    EXPECT_EQ(SetFilePointer(h, -3, nullptr, FILE_END), 10u);
    ASSERT_TRUE(ReadFile(h, buffer, sizeof buffer, &read, nullptr));
    EXPECT_EQ(std::string(buffer, read), "nd\n");
    ASSERT_TRUE(ReadFile(h, buffer, sizeof buffer, &read, nullptr));
    EXPECT_EQ(read, 0u); // end of file: TRUE with nothing read
    EXPECT_EQ(SetFilePointer(h, -20, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NEGATIVE_SEEK));
    LONG high = 0;
    EXPECT_EQ(SetFilePointer(h, -1, &high, FILE_BEGIN), INVALID_SET_FILE_POINTER); // 4 GB - 1 is a valid place
    EXPECT_EQ(GetLastError(), DWORD(NO_ERROR));
    EXPECT_EQ(high, 0);
    EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(SetFilePointer(h, 1, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER); // past 4 GB without a high part
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(WriteFile(h, "x", 1, &read, nullptr));
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_FALSE(CloseHandle(h));
    EXPECT_FALSE(ReadFile(h, buffer, 1, &read, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));

    EXPECT_EQ(CreateFile((m_win + "\\none.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr),
        INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
}

TEST_F(FileCalls, WriteHandlesFollowTheCreationDispositions)
{
    std::string path = m_win + "\\out.bin";
    HANDLE h = CreateFile(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(h, "hello", 5, &written, nullptr));
    EXPECT_EQ(written, 5u);
    CloseHandle(h);

    EXPECT_EQ(CreateFile(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_EXISTS));

    h = CreateFile(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    SetFilePointer(h, 0, nullptr, FILE_END);
    WriteFile(h, "!", 1, &written, nullptr);
    CloseHandle(h);
    EXPECT_EQ(ReadFileBytes(m_dir + "/out.bin"), "hello!");

    h = CreateFile(path.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    EXPECT_EQ(ReadFileBytes(m_dir + "/out.bin"), "");

    h = CreateFile(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    CloseHandle(h);
    EXPECT_EQ(CreateFile(m_win.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
}

TEST_F(FileCalls, TempFileNamesHaveThePrefixAndFourHexDigits)
{
    char folder[285];
    DWORD length = GetTempPath(sizeof folder, folder);
    ASSERT_GT(length, 0u);
    ASSERT_LT(length, sizeof folder);
    EXPECT_EQ(folder[length - 1], '\\');
    EXPECT_EQ(HostPathForReading(folder), TempDir());
    EXPECT_EQ(GetTempPath(3, folder), length + 1);

    for (const char* prefix : { "ov4", "o4m", "o4i" }) {
        char name[MAX_PATH];
        UINT number = GetTempFileName(m_win.c_str(), prefix, 0, name);
        ASSERT_NE(number, 0u);
        std::string file = std::filesystem::path(HostPathForReading(name)).filename().string();
        EXPECT_TRUE(std::regex_match(file, std::regex(std::string(prefix) + "[0-9A-F]{4}\\.tmp"))) << file;
        EXPECT_TRUE(std::filesystem::exists(m_dir + "/" + file)) << "uUnique 0 creates the file";
        char hex[8];
        snprintf(hex, sizeof hex, "%04X", number);
        EXPECT_EQ(file.substr(3, 4), hex);
    }

    char name[MAX_PATH];
    EXPECT_EQ(GetTempFileName((m_win + "\\").c_str(), "longprefix", 0x1ABCD, name), 0xABCDu);
    EXPECT_EQ(std::string(name), m_win + "\\lonABCD.tmp");
    EXPECT_FALSE(std::filesystem::exists(m_dir + "/lonABCD.tmp"));
    EXPECT_EQ(GetTempFileName((m_win + "\\missing").c_str(), "ov4", 0, name), 0u);
}

TEST_F(FileCalls, TwoTempFilesNeverShareAName)
{
    char first[MAX_PATH];
    char second[MAX_PATH];
    ASSERT_NE(GetTempFileName(m_win.c_str(), "o4i", 0, first), 0u);
    ASSERT_NE(GetTempFileName(m_win.c_str(), "o4i", 0, second), 0u);
    EXPECT_STRNE(first, second);
}

TEST_F(FileCalls, ErrorModeIsKeptAndWindowsFolderExists)
{
    UINT before = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    EXPECT_EQ(SetErrorMode(before), UINT(0x8001));

    char folder[285];
    UINT length = GetWindowsDirectory(folder, sizeof folder);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(HostPathForReading(folder), ConfigDir() + "/windows");
    EXPECT_EQ(GetFileAttributes(folder), DWORD(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(GetWindowsDirectory(folder, 2), length + 1);
    ASSERT_GT(GetSystemDirectory(folder, sizeof folder), 0u);
    EXPECT_EQ(GetFileAttributes(folder), DWORD(FILE_ATTRIBUTE_DIRECTORY));
}

} // namespace
