#include "platform/base/HostFiles.h"
#include "platform/files/CrtFiles.h"
#include "platform/files/FileApi.h"
#include "platform/files/FileSystem.h"
#include "platform/files/HostPath.h"
#include "platform/files/ProgramFolder.h"
#include "platform/files/SafeReplace.h"
#include "platform/files/UserFolders.h"
#include "tests/files/FilesTestSupport.h"

#include <unistd.h>

#include <filesystem>
#include <vector>

using namespace platform;
using namespace files_test;
using testing_support::MakeTempDir;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;
namespace ff = platform::fileflags;

namespace {

// A program folder that cannot be written, as a system-wide installation is.
// Tests run as root, where permission bits stop nothing, so the folder is
// declared read-only instead.
class Overlay : public FilesTest {
protected:
    void SetUp() override
    {
        FilesTest::SetUp();
        InitFileSystem();
        m_install = MakeTempDir("install");
        std::filesystem::create_directories(m_install + "/Support");
        WriteFileBytes(m_install + "/Support/kqc.QVN", "installed table");
        WriteFileBytes(m_install + "/Support/g3.dat", "installed g3");
        SetProgramFolderForTests(m_install);
        SetProgramFolderWritable(false);
        m_overlay = OverlayDir();
        std::filesystem::remove_all(m_overlay);
        m_win = Win(m_install);
    }
    void TearDown() override
    {
        std::filesystem::remove_all(m_overlay);
        FilesTest::TearDown();
    }
    std::string m_install;
    std::string m_overlay;
    std::string m_win;
};

TEST_F(Overlay, WritesGoToTheOverlayAndReadsSeeThemFirst)
{
    std::string table = m_win + "\\SUPPORT\\KQC.QVN";
    HostError error;
    int fd = GetHostFiles().Open(table.c_str(), ff::modeCreate | ff::modeWrite | ff::shareExclusive, &error);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "user table", 10), 10);
    GetHostFiles().Close(fd);

    EXPECT_EQ(ReadFileBytes(m_install + "/Support/kqc.QVN"), "installed table");
    EXPECT_EQ(ReadFileBytes(m_overlay + "/Support/kqc.QVN"), "user table");

    fd = GetHostFiles().Open(table.c_str(), ff::modeRead | ff::shareDenyWrite, &error);
    ASSERT_GE(fd, 0);
    char buffer[32] = {};
    EXPECT_EQ(read(fd, buffer, sizeof buffer), 10);
    EXPECT_STREQ(buffer, "user table");
    GetHostFiles().Close(fd);
}

TEST_F(Overlay, ChangingAnInstalledFileInPlaceStartsFromItsContents)
{
    HANDLE h = CreateFile((m_win + "\\Support\\g3.dat").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    SetFilePointer(h, 0, nullptr, FILE_END);
    DWORD written = 0;
    WriteFile(h, "+", 1, &written, nullptr);
    CloseHandle(h);
    EXPECT_EQ(ReadFileBytes(m_overlay + "/Support/g3.dat"), "installed g3+");
    EXPECT_EQ(ReadFileBytes(m_install + "/Support/g3.dat"), "installed g3");
}

TEST_F(Overlay, NewFoldersAndFilesExistOnlyInTheOverlay)
{
    ASSERT_EQ(_mkdir((m_win + "\\UserData").c_str()), 0);
    EXPECT_TRUE(std::filesystem::is_directory(m_overlay + "/UserData"));
    EXPECT_FALSE(std::filesystem::exists(m_install + "/UserData"));
    EXPECT_EQ(GetFileAttributes((m_win + "\\userdata").c_str()), DWORD(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(_mkdir((m_win + "\\Support").c_str()), -1); // installed folders exist already

    // Like any folder, one that exists nowhere must be made first.
    EXPECT_FALSE(ReplaceWindowsFileContents((m_win + "\\UserData\\User1\\logo.lgo").c_str(), "logo", KeepBackup::No));
    ASSERT_EQ(_mkdir((m_win + "\\UserData\\User1").c_str()), 0);
    ASSERT_TRUE(ReplaceWindowsFileContents((m_win + "\\UserData\\User1\\logo.lgo").c_str(), "logo", KeepBackup::No));
    EXPECT_EQ(ReadFileBytes(m_overlay + "/UserData/User1/logo.lgo"), "logo");
    EXPECT_EQ(_access((m_win + "\\USERDATA\\USER1\\LOGO.LGO").c_str(), 0), 0);
}

TEST_F(Overlay, WriteAccessTestPassesForInstalledFiles)
{
    EXPECT_EQ(_access((m_win + "\\Support\\kqc.QVN").c_str(), 2), 0);
    EXPECT_EQ(_access((m_win + "\\Support\\none.QVN").c_str(), 2), -1);
}

TEST_F(Overlay, ListingMergesOverlayAndInstallation)
{
    std::filesystem::create_directories(m_overlay + "/Support");
    WriteFileBytes(m_overlay + "/Support/KQC.qvn", "user");
    WriteFileBytes(m_overlay + "/Support/logo.jpg", "");

    std::vector<std::string> names;
    _finddata_t data;
    intptr_t handle = _findfirst((m_win + "\\support\\*.*").c_str(), &data);
    ASSERT_NE(handle, -1);
    do
        names.push_back(data.name);
    while (_findnext(handle, &data) == 0);
    _findclose(handle);
    EXPECT_EQ(names, (std::vector<std::string> { ".", "..", "g3.dat", "KQC.qvn", "logo.jpg" }));
}

TEST_F(Overlay, DeletingRemovesTheOverlayCopy)
{
    std::filesystem::create_directories(m_overlay + "/Support");
    WriteFileBytes(m_overlay + "/Support/g3.dat", "user g3");
    ASSERT_TRUE(DeleteFile((m_win + "\\Support\\g3.dat").c_str()));
    EXPECT_FALSE(std::filesystem::exists(m_overlay + "/Support/g3.dat"));
}

TEST_F(Overlay, OverlayPathsReadBackAsProgramFolderPaths)
{
    EXPECT_EQ(WindowsPathFor(m_overlay + "/Support/x.dat"), m_win + "\\Support\\x.dat");
}

TEST_F(Overlay, WritableProgramFolderIsWrittenDirectly)
{
    SetProgramFolderWritable(true);
    ASSERT_TRUE(ReplaceWindowsFileContents((m_win + "\\Support\\kqc.QVN").c_str(), "direct", KeepBackup::No));
    EXPECT_EQ(ReadFileBytes(m_install + "/Support/kqc.QVN"), "direct");
    EXPECT_FALSE(std::filesystem::exists(m_overlay + "/Support"));
}

TEST_F(Overlay, ProbeFindsAWritableFolder)
{
    ResetProgramFolderWritable();
    EXPECT_TRUE(IsProgramFolderWritable());
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(m_install))
        left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string> { "Support" }) << "the probe file is removed";
}

TEST_F(Overlay, ModuleFileNameIsInTheProgramFolder)
{
    char name[285];
    DWORD length = GetModuleFileName(nullptr, name, sizeof name);
    ASSERT_GT(length, m_win.size());
    EXPECT_EQ(std::string(name).substr(0, m_win.size() + 1), m_win + "\\");
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS));

    // Too short: cut, zero-terminated, nSize returned.
    char shortName[8];
    EXPECT_EQ(GetModuleFileName(nullptr, shortName, sizeof shortName), DWORD(sizeof shortName));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::string(shortName), std::string(name).substr(0, 7));
}

TEST_F(Overlay, BuiltInModulesAnswerPresenceTests)
{
    EXPECT_EQ(_access((m_win + "\\support\\kqawm321.dll").c_str(), 0), 0);
    EXPECT_EQ(_access((m_win + "\\SUPPORT\\SNDKIT32.DLL").c_str(), 0), 0);
    EXPECT_NE(GetFileAttributes((m_win + "\\support\\kqawr321.dll").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(_access((m_win + "\\support\\cgmolv32.flt").c_str(), 0), 0);
    EXPECT_EQ(_access((m_win + "\\kqawm321.dll").c_str(), 0), -1); // only in support\.
}

} // namespace
