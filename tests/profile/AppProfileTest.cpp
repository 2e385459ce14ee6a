#include "platform/profile/AppProfile.h"

#include "platform/profile/Registry.h"
#include "tests/profile/ProfileTestSupport.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using platform::AppProfile;

constexpr const char* kCompany = "Velmora Technology\\Threadwick";

class AppProfileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        profile_test::StartWithEmptyRegistry();
        m_profile.SetRegistryKey(kCompany);
    }
    void TearDown() override { profile_test::StartWithEmptyRegistry(); }

    // Whether the file has the line once this run's changes are written.
    static bool FileHasLine(const std::string& line)
    {
        platform::FlushRegistry();
        std::string text = testing_support::ReadFileBytes(profile_test::RegistryFile());
        return text.find("\n" + line + "\n") != std::string::npos;
    }

    AppProfile m_profile;
};

TEST_F(AppProfileTest, KeepsSectionsUnderTheApplicationKeyWithTheCallersNames)
{
    EXPECT_EQ(m_profile.GetAppKeyPath(), "Software\\Velmora Technology\\Threadwick\\1.0");
    ASSERT_TRUE(m_profile.WriteProfileInt("Preferences", "Flags", 0x7381));
    ASSERT_TRUE(m_profile.WriteProfileString("Application", "Version", "1.0"));
    ASSERT_TRUE(m_profile.WriteProfileInt("1.0-Summary", "Bars", 2));
    ASSERT_TRUE(m_profile.WriteProfileInt("1.0-Bar0", "BarID", 59392));
    ASSERT_TRUE(m_profile.WriteProfileInt("Program", "NumTimesRun", 1));
    ASSERT_TRUE(m_profile.WriteProfileInt("Tip", "StartUp", 1));
    // A later write in other case finds the same key and value.
    ASSERT_TRUE(m_profile.WriteProfileInt("PREFERENCES", "flags", 0x7181));

    const std::string app = "key \"Software\\Velmora Technology\\Threadwick\\1.0";
    EXPECT_TRUE(FileHasLine(app + "\\Preferences\""));
    EXPECT_TRUE(FileHasLine("  value \"Flags\" dword 0x00007181"));
    EXPECT_TRUE(FileHasLine(app + "\\Application\""));
    EXPECT_TRUE(FileHasLine("  value \"Version\" sz \"1.0%00\""));
    EXPECT_TRUE(FileHasLine(app + "\\1.0-Summary\""));
    EXPECT_TRUE(FileHasLine("  value \"Bars\" dword 0x00000002"));
    EXPECT_TRUE(FileHasLine(app + "\\1.0-Bar0\""));
    EXPECT_TRUE(FileHasLine(app + "\\Program\""));
    EXPECT_TRUE(FileHasLine(app + "\\Tip\""));

    // The bar-state keys can be opened and deleted as the program does it.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Velmora Technology\\Threadwick\\1.0", 0, KEY_ALL_ACCESS,
                  &key),
        ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKey(key, "1.0-Summary"), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(m_profile.GetProfileInt("1.0-Summary", "Bars", -1), static_cast<UINT>(-1));
}

TEST_F(AppProfileTest, NullValueDeletesTheEntryAndNullEntryTheSection)
{
    ASSERT_TRUE(m_profile.WriteProfileString("Application", "CustomColors", "|255,0,0|"));
    ASSERT_TRUE(m_profile.WriteProfileString("Application", "SelImgCategory", "Animals"));
    EXPECT_EQ(m_profile.GetProfileString("application", "customcolors"), "|255,0,0|");

    EXPECT_TRUE(m_profile.WriteProfileString("Application", "CustomColors", nullptr));
    EXPECT_EQ(m_profile.GetProfileString("Application", "CustomColors", "none"), "none");
    EXPECT_EQ(m_profile.GetProfileString("Application", "SelImgCategory"), "Animals");
    EXPECT_FALSE(m_profile.WriteProfileString("Application", "CustomColors", nullptr));

    EXPECT_TRUE(m_profile.WriteProfileString("Application", nullptr, nullptr));
    EXPECT_EQ(m_profile.GetProfileString("Application", "SelImgCategory"), "");
    EXPECT_FALSE(FileHasLine("key \"Software\\Velmora Technology\\Threadwick\\1.0\\Application\""));
    EXPECT_FALSE(m_profile.WriteProfileString("Application", nullptr, nullptr));
}

TEST_F(AppProfileTest, ReadsNumbersFromDwordsAndStrings)
{
    EXPECT_EQ(m_profile.GetProfileInt("Preferences", "GridSpacing", 5000), 5000u);
    ASSERT_TRUE(m_profile.WriteProfileInt("Preferences", "Flags", -1));
    EXPECT_EQ(m_profile.GetProfileInt("Preferences", "Flags", 0), 0xFFFFFFFFu);

    const struct {
        const char* text;
        UINT value;
    } strings[] = {{"42", 42}, {"0x1F", 31}, {"-5", static_cast<UINT>(-5)}, {"12abc", 12}, {"abc", 0}, {"", 0}};
    for (const auto& s : strings) {
        ASSERT_TRUE(m_profile.WriteProfileString("Preferences", "Number", s.text));
        EXPECT_EQ(m_profile.GetProfileInt("Preferences", "Number", 7), s.value) << s.text;
    }

    // A number is not a string: the string's default comes back.
    EXPECT_EQ(m_profile.GetProfileString("Preferences", "Flags", "dflt"), "dflt");
}

TEST_F(AppProfileTest, StringsStopAtTheirFirstZero)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Velmora Technology\\Threadwick\\1.0\\Preferences", 0,
                  nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueEx(key, "Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueEx(key, "Twice", 0, REG_SZ, reinterpret_cast<const BYTE*>("ab\0cd"), 5), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(m_profile.GetProfileString("Preferences", "Bare"), "abc");
    EXPECT_EQ(m_profile.GetProfileString("Preferences", "Twice"), "ab");
}

TEST_F(AppProfileTest, WithoutARegistryKeyThereIsNoProfile)
{
    AppProfile bare;
    EXPECT_EQ(bare.GetAppKeyPath(), "");
    EXPECT_FALSE(bare.WriteProfileInt("Preferences", "Flags", 1));
    EXPECT_FALSE(bare.WriteProfileString("Preferences", "LastUser", "Ann"));
    EXPECT_EQ(bare.GetProfileInt("Preferences", "Flags", 9), 9u);
    EXPECT_EQ(bare.GetProfileString("Preferences", "LastUser", "x"), "x");

    // The profile name in force when the key is set is the last level.
    bare.SetProfileName("Other");
    bare.SetRegistryKey("Maker");
    EXPECT_EQ(bare.GetAppKeyPath(), "Software\\Maker\\Other");
}

TEST_F(AppProfileTest, BinaryValuesRoundTrip)
{
    const BYTE placement[] = {44, 0, 0, 0, 2, 0, 0xFF, 0x7F};
    ASSERT_TRUE(m_profile.WriteProfileBinary("Application", "Size", placement, sizeof(placement)));
    BYTE* data = nullptr;
    UINT size = 0;
    ASSERT_TRUE(m_profile.GetProfileBinary("Application", "Size", &data, &size));
    std::unique_ptr<BYTE[]> owned(data);
    ASSERT_EQ(size, sizeof(placement));
    EXPECT_EQ(std::memcmp(data, placement, size), 0);
    EXPECT_FALSE(m_profile.GetProfileBinary("Application", "Missing", &data, &size));
    EXPECT_EQ(data, nullptr);
}

TEST_F(AppProfileTest, RecentFileListKeepsPositionsAndForgetsDroppedEntries)
{
    ASSERT_TRUE(m_profile.WriteRecentFileList({"C:\\a.shr", "C:\\b.shr", "C:\\c.shr", "C:\\d.shr"}));
    ASSERT_TRUE(m_profile.WriteRecentFileList({"C:\\b.shr", "", "C:\\d.shr"}));
    EXPECT_TRUE(FileHasLine("key \"Software\\Velmora Technology\\Threadwick\\1.0\\Recent File List\""));
    EXPECT_TRUE(FileHasLine("  value \"File1\" sz \"C:\\b.shr%00\""));

    std::vector<CString> files = m_profile.ReadRecentFileList(4);
    ASSERT_EQ(files.size(), 4u);
    EXPECT_EQ(files[0], "C:\\b.shr");
    EXPECT_EQ(files[1], "");
    EXPECT_EQ(files[2], "C:\\d.shr");
    EXPECT_EQ(files[3], "");
}

// ---- A second process ------------------------------------------------------

struct ChildResult {
    int status = -1;
    std::string output;
};

// Runs the helper program with the given arguments in this test's home.
ChildResult RunChild(const std::vector<std::string>& args)
{
    std::string program = std::string(THREADWICK_BINARY_DIR) + "/bin/profile_child";
    std::vector<char*> argv;
    argv.push_back(program.data());
    std::vector<std::string> copies(args);
    for (std::string& arg : copies)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    ChildResult result;
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    pid_t pid = 0;
    int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (rc == 0) {
        char buffer[256];
        ssize_t got;
        while ((got = ::read(pipeFds[0], buffer, sizeof(buffer))) > 0)
            result.output.append(buffer, static_cast<size_t>(got));
        int status = 0;
        ::waitpid(pid, &status, 0);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    ::close(pipeFds[0]);
    return result;
}

TEST_F(AppProfileTest, ValuesWrittenByOneProcessAreReadByTheNext)
{
    ASSERT_TRUE(m_profile.WriteProfileString("Preferences", "LastUser", "Ren\xE9" "e"));
    ASSERT_TRUE(m_profile.WriteProfileInt("Program", "NumTimesRun", 10));
    // As the program's loop does when it has nothing to do.
    ASSERT_EQ(platform::FlushRegistry(), ERROR_SUCCESS);

    ChildResult user = RunChild({"get-string", kCompany, "Preferences", "LastUser"});
    EXPECT_EQ(user.status, 0);
    EXPECT_EQ(user.output, "Ren\xE9" "e");
    ChildResult runs = RunChild({"get-int", kCompany, "Program", "NumTimesRun"});
    EXPECT_EQ(runs.output, "10");

    ASSERT_EQ(RunChild({"set-string", kCompany, "Program", "RunSurveyLater", "Yes"}).status, 0);
    ASSERT_EQ(RunChild({"set-int", kCompany, "Tip", "StartUp", "0"}).status, 0);
    profile_test::Reload();
    EXPECT_EQ(m_profile.GetProfileString("Program", "RunSurveyLater", "No"), "Yes");
    EXPECT_EQ(m_profile.GetProfileInt("Tip", "StartUp", 1), 0u);
    EXPECT_EQ(m_profile.GetProfileString("Preferences", "LastUser"), "Ren\xE9" "e");
}

TEST_F(AppProfileTest, ADamagedRegistryDoesNotStopTheNextProcess)
{
    testing_support::WriteFileBytes(profile_test::RegistryFile(), "\x7F" "ELF garbage");
    ChildResult read = RunChild({"get-string", kCompany, "Preferences", "LastUser"});
    EXPECT_EQ(read.status, 0);
    EXPECT_EQ(read.output, "<missing>");
    EXPECT_EQ(testing_support::ReadFileBytes(profile_test::RegistryBadFile()), "\x7F" "ELF garbage");

    // The damage is reported once: the next start finds no problem.
    ASSERT_EQ(RunChild({"set-int", kCompany, "Program", "NumTimesRun", "1"}).status, 0);
    EXPECT_EQ(RunChild({"load-problem"}).output, "0");
    EXPECT_EQ(RunChild({"get-int", kCompany, "Program", "NumTimesRun"}).output, "1");
}

} // namespace
