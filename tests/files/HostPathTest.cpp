#include "platform/files/FileApi.h"
#include "platform/files/HostPath.h"
#include "tests/files/FilesTestSupport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

using namespace platform;
using namespace files_test;
using testing_support::MakeTempDir;
using testing_support::WriteFileBytes;

namespace {

class HostPath : public FilesTest {
protected:
    void SetUp() override
    {
        FilesTest::SetUp();
        m_root = MakeTempDir("case");
        std::filesystem::create_directories(m_root + "/Support/Kits");
        WriteFileBytes(m_root + "/Support/BkgImage.JPG", "jpg");
        WriteFileBytes(m_root + "/Support/Kits/Kqa.QVN", "table");
        // Names that differ only in case: the exact one wins, else the first
        // in byte order.
        WriteFileBytes(m_root + "/Support/readme.TXT", "upper ext");
        WriteFileBytes(m_root + "/Support/README.txt", "upper name");
        WriteFileBytes(m_root + "/Support/caf\xC3\xA9.txt", "utf-8 name");
    }
    std::string Resolve(const std::string& windowsPath)
    {
        ResolvedPath resolved;
        DWORD error = 0;
        EXPECT_TRUE(ResolvePath(windowsPath, resolved, &error)) << windowsPath;
        return resolved.host;
    }
    std::string m_root;
};

TEST_F(HostPath, DriveCIsTheLinuxRoot)
{
    EXPECT_EQ(Resolve("C:\\"), "/");
    EXPECT_EQ(WindowsPathFor("/"), "C:\\");
    EXPECT_EQ(WindowsPathFor("/home/ann/x.shr"), "C:\\home\\ann\\x.shr");
    EXPECT_EQ(WindowsPathFor("/home/ann/../bob/./y.shr"), "C:\\home\\bob\\y.shr");
    EXPECT_EQ(WindowsPathFor("/home/caf\xC3\xA9/x"), "C:\\home\\caf\xE9\\x"); // UTF-8 to 1252
}

TEST_F(HostPath, ResolvesEachNameWithoutCaseWhenTheExactOneMisses)
{
    EXPECT_EQ(Resolve(Win(m_root) + "\\SUPPORT\\BKGIMAGE.JPG"), m_root + "/Support/BkgImage.JPG");
    EXPECT_EQ(Resolve(Win(m_root) + "\\support\\kits\\KQA.qvn"), m_root + "/Support/Kits/Kqa.QVN");
    EXPECT_EQ(Resolve(Win(m_root) + "/Support/Kits/../BkgImage.jpg"), m_root + "/Support/BkgImage.JPG");
    EXPECT_EQ(Resolve(Win(m_root) + "\\Support\\CAF\xC9.TXT"), m_root + "/Support/caf\xC3\xA9.txt");
}

TEST_F(HostPath, PrefersTheExactNameAndKeepsMissingNamesAsWritten)
{
    EXPECT_EQ(Resolve(Win(m_root) + "\\Support\\readme.TXT"), m_root + "/Support/readme.TXT");
    EXPECT_EQ(Resolve(Win(m_root) + "\\Support\\README.txt"), m_root + "/Support/README.txt");
    EXPECT_EQ(Resolve(Win(m_root) + "\\Support\\ReadMe.Txt"), m_root + "/Support/README.txt");
    EXPECT_EQ(Resolve(Win(m_root) + "\\SUPPORT\\New Folder\\New.DAT"), m_root + "/Support/New Folder/New.DAT");
}

TEST_F(HostPath, RoundTripsBetweenWindowsAndLinuxForms)
{
    std::string host = m_root + "/Support/Kits/Kqa.QVN";
    EXPECT_EQ(Resolve(WindowsPathFor(host)), host);
    EXPECT_EQ(WindowsPathFor(Resolve(Win(host))), Win(host));
}

TEST_F(HostPath, UnknownDrivesAndSharesDoNotResolve)
{
    ResolvedPath resolved;
    DWORD error = 0;
    EXPECT_FALSE(ResolvePath("Q:\\x", resolved, &error));
    EXPECT_EQ(error, DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(ResolvePath("\\\\nobody\\share\\x", resolved, &error));
    EXPECT_EQ(error, DWORD(ERROR_BAD_NETPATH));
    EXPECT_FALSE(ResolvePath("", resolved, &error));
}

TEST_F(HostPath, GetFullPathNameFollowsTheBufferRules)
{
    char saved[4096];
    ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
    ASSERT_TRUE(SetCurrentDirectory((Win(m_root) + "\\SUPPORT").c_str()));
    char current[285];
    EXPECT_EQ(GetCurrentDirectory(sizeof current, current), Win(m_root).size() + 8);
    EXPECT_EQ(std::string(current), Win(m_root) + "\\Support");

    std::string expected = Win(m_root) + "\\Support\\Kits\\a.kqa";
    char buffer[285];
    LPSTR filePart = nullptr;
    DWORD length = GetFullPathName("Kits\\.\\a.kqa", sizeof buffer, buffer, &filePart);
    EXPECT_EQ(length, expected.size());
    EXPECT_EQ(std::string(buffer), expected);
    ASSERT_NE(filePart, nullptr);
    EXPECT_STREQ(filePart, "a.kqa");
    EXPECT_EQ(GetFullPathName("Kits\\", sizeof buffer, buffer, &filePart), expected.size() - 5);
    EXPECT_EQ(filePart, nullptr);
    EXPECT_EQ(GetFullPathName("Kits\\a.kqa", 10, buffer, nullptr), expected.size() + 1);

    EXPECT_FALSE(SetCurrentDirectory((Win(m_root) + "\\Support\\BkgImage.JPG").c_str()));
    EXPECT_FALSE(SetCurrentDirectory((Win(m_root) + "\\nothing").c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    ASSERT_EQ(chdir(saved), 0);
}

} // namespace
