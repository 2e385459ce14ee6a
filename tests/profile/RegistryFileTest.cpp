#include "platform/profile/RegistryFile.h"

#include "platform/profile/Registry.h"
#include "platform/profile/RegistryKey.h"
#include "tests/profile/ProfileTestSupport.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

namespace {

using platform::RegistryKey;

bool FileExists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

const char kSmallTree[] = "threadwick-registry 1\n"
                          "# Threadwick's per-user settings (HKEY_CURRENT_USER), written back after each burst of changes.\n"
                          "# Names and strings are Windows-1252 text; '%', '\"' and bytes outside printable\n"
                          "# ASCII are written as %XX. Values belong to the key line above them.\n"
                          "  value \"AtRoot\" dword 0x00000001\n"
                          "key \"Software\"\n"
                          "key \"Software\\Velmora Technology\"\n"
                          "key \"Software\\Velmora Technology\\Threadwick\"\n"
                          "key \"Software\\Velmora Technology\\Threadwick\\1.0\"\n"
                          "key \"Software\\Velmora Technology\\Threadwick\\1.0\\Preferences\"\n"
                          "  value \"Flags\" dword 0x00007381\n"
                          "  value \"DocumentDir\" sz \"C:\\Users\\Ren%e9e\\50%25 \\%22done%22%00\"\n"
                          "  value \"Logo\" binary hex:00ff7f\n"
                          "  value \"\" type:11 hex:0102030405060708\n"
                          "key \"Software\\Velmora Technology\\Common\"\n"
                          "end\n";

TEST(RegistryFileTest, WritesEveryKeyAsAReadableLine)
{
    RegistryKey root{std::string()};
    root.SetValue("AtRoot", REG_DWORD, std::string("\1\0\0\0", 4));
    auto company = root.AddSubkey("Software")->AddSubkey("Velmora Technology");
    auto prefs = company->AddSubkey("Threadwick")->AddSubkey("1.0")->AddSubkey("Preferences");
    company->AddSubkey("Common");
    prefs->SetValue("Flags", REG_DWORD, std::string("\x81\x73\0\0", 4));
    prefs->SetValue("DocumentDir", REG_SZ, std::string("C:\\Users\\Ren\xE9" "e\\50% \\\"done\"") + '\0');
    prefs->SetValue("Logo", REG_BINARY, std::string("\0\xFF\x7F", 3));
    prefs->SetValue("", REG_QWORD, "\1\2\3\4\5\6\7\x08");

    EXPECT_EQ(platform::FormatRegistryFile(root), kSmallTree);

    // And the text reads back into the same tree.
    RegistryKey loaded{std::string()};
    std::string error;
    ASSERT_TRUE(platform::ParseRegistryFile(kSmallTree, loaded, &error)) << error;
    EXPECT_EQ(platform::FormatRegistryFile(loaded), kSmallTree);
}

TEST(RegistryFileTest, AcceptsCommentsBlankLinesAndCrLf)
{
    const char text[] = "threadwick-registry 1\r\n"
                        "\r\n"
                        "# hand-edited\r\n"
                        "key \"A\\B\"\r\n"
                        "\tvalue \"N\" dword 0x1F\r\n"
                        "key \"a\"\r\n"
                        "  value \"S\" sz \"x\"\r\n"
                        "end\r\n"
                        "\r\n";
    RegistryKey root{std::string()};
    std::string error;
    ASSERT_TRUE(platform::ParseRegistryFile(text, root, &error)) << error;
    auto a = root.FindSubkey("A");
    ASSERT_TRUE(a && a->FindSubkey("b"));
    EXPECT_EQ(a->FindSubkey("B")->FindValue("n")->data, std::string("\x1F\0\0\0", 4));
    EXPECT_EQ(a->FindValue("S")->data, "x");
}

TEST(RegistryFileTest, RefusesAnythingThatIsNotACompleteFile)
{
    const std::string head = "threadwick-registry 1\n";
    const struct {
        const char* what;
        std::string text;
    } cases[] = {
        {"empty file", ""},
        {"no header", "key \"A\"\nend\n"},
        {"later version", "threadwick-registry 2\nend\n"},
        {"no end line (cut short)", head + "key \"A\"\n  value \"B\" sz \"C\"\n"},
        {"cut inside a line", head + "key \"A\"\n  value \"B\" sz \"C"},
        {"text after the end", head + "end\nkey \"A\"\n"},
        {"unknown line", head + "keys \"A\"\nend\n"},
        {"bad escape", head + "key \"A%G1\"\nend\n"},
        {"short escape", head + "key \"A%4\"\nend\n"},
        {"raw control character", head + "key \"A\tB\"\nend\n"},
        {"empty key name", head + "key \"A\\\\B\"\nend\n"},
        {"key name too long", head + "key \"" + std::string(256, 'k') + "\"\nend\n"},
        {"key listed twice", head + "key \"A\"\nkey \"a\"\nend\n"},
        {"value listed twice", head + "key \"A\"\n  value \"v\" sz \"1\"\n  value \"V\" sz \"2\"\nend\n"},
        {"unknown type", head + "key \"A\"\n  value \"v\" string \"1\"\nend\n"},
        {"type number too large", head + "key \"A\"\n  value \"v\" type:4294967296 hex:\nend\n"},
        {"dword with nine digits", head + "key \"A\"\n  value \"v\" dword 0x123456789\nend\n"},
        {"0x number for a string", head + "key \"A\"\n  value \"v\" sz 0x1\nend\n"},
        {"odd hex", head + "key \"A\"\n  value \"v\" binary hex:abc\nend\n"},
        {"text after the data", head + "key \"A\"\n  value \"v\" sz \"1\" x\nend\n"},
        {"missing data", head + "key \"A\"\n  value \"v\" sz\nend\n"},
        {"value name too long", head + "  value \"" + std::string(16384, 'n') + "\" sz \"\"\nend\n"},
    };
    for (const auto& c : cases) {
        RegistryKey root{std::string()};
        std::string error;
        EXPECT_FALSE(platform::ParseRegistryFile(c.text, root, &error)) << c.what;
        EXPECT_EQ(error.rfind("line ", 0), 0u) << c.what << ": " << error;
    }
}

class RegistryFileLoadTest : public ::testing::Test {
protected:
    void SetUp() override { profile_test::StartWithEmptyRegistry(); }
    void TearDown() override { profile_test::StartWithEmptyRegistry(); }
};

TEST_F(RegistryFileLoadTest, DamagedFileIsSetAsideAndTheRunStartsEmpty)
{
    const std::string damaged = "threadwick-registry 1\nkey \"Software\"\n  value \"x\" sz \"unfinished";
    testing_support::WriteFileBytes(profile_test::RegistryFile(), damaged);
    profile_test::Reload();

    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(platform::RegistryLoadProblem());
    EXPECT_NE(platform::RegistryLoadProblemText().find("line 3"), std::string::npos)
        << platform::RegistryLoadProblemText();
    EXPECT_EQ(testing_support::ReadFileBytes(profile_test::RegistryBadFile()), damaged);
    EXPECT_FALSE(FileExists(profile_test::RegistryFile()));

    // The run goes on with a working registry, and the next one is clean.
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\New", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    RegCloseKey(key);
    profile_test::Reload();
    EXPECT_FALSE(platform::RegistryLoadProblem());
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\New", 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(testing_support::ReadFileBytes(profile_test::RegistryBadFile()), damaged);
}

TEST_F(RegistryFileLoadTest, FileWithoutItsLastLineCountsAsDamaged)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Kept", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    RegCloseKey(key);
    ASSERT_EQ(platform::FlushRegistry(), ERROR_SUCCESS);
    std::string text = testing_support::ReadFileBytes(profile_test::RegistryFile());
    ASSERT_EQ(text.substr(text.size() - 4), "end\n");
    testing_support::WriteFileBytes(profile_test::RegistryFile(), text.substr(0, text.size() - 4));

    profile_test::Reload();
    EXPECT_TRUE(platform::RegistryLoadProblem());
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Kept", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(FileExists(profile_test::RegistryBadFile()));
}

TEST_F(RegistryFileLoadTest, NoFileIsAFirstRunNotAProblem)
{
    EXPECT_FALSE(platform::RegistryLoadProblem());
    EXPECT_EQ(platform::RegistryLoadProblemText(), "");
    EXPECT_FALSE(FileExists(profile_test::RegistryBadFile()));
}

} // namespace
