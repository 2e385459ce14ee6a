// Starting programs: the Windows command-line rules, finding the program
// from a Windows path, and what a failed start reports.

#include "platform/services/Process.h"
#include "platform/services/Spawn.h"

#include "platform/files/HostPath.h"

#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

namespace {

using Args = std::vector<std::string>;

struct SplitCase {
    const char* line;
    Args args;
};

TEST(SplitCommandLineTest, FollowsTheWindowsArgumentRules)
{
    const SplitCase cases[] = {
        { R"(prog "abc" d e)", { "prog", "abc", "d", "e" } },
        { R"(prog a\\b d"e f"g h)", { "prog", R"(a\\b)", "de fg", "h" } },
        { R"(prog a\\\"b c d)", { "prog", R"(a\"b)", "c", "d" } },
        { R"(prog a\\\\"b c" d e)", { "prog", R"(a\\b c)", "d", "e" } },
        { R"(prog a"b"" c d)", { "prog", R"(ab" c d)" } },
        { "prog \t  spaced\t\targs  ", { "prog", "spaced", "args" } },
        { R"(prog "" x)", { "prog", "", "x" } },
        { R"(prog "unterminated arg)", { "prog", "unterminated arg" } },
        { R"(prog trailing\)", { "prog", R"(trailing\)" } },
        // The program path keeps its backslashes and loses only its quotes.
        { R"("C:\Program Files\x\\tool.exe" -a)", { R"(C:\Program Files\x\\tool.exe)", "-a" } },
        { R"(C:\a\"b c)", { R"(C:\a\b c)" } },
        { "", {} },
        { "   ", {} },
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(platform::SplitCommandLine(c.line), c.args);
    }
}

class ProcessTest : public testing::Test {
protected:
    void SetUp() override { m_dir = testing_support::MakeTempDir("process"); }

    std::string WindowsDir() const { return platform::WindowsPathFor(m_dir); }

    void WriteScript(const std::string& name, const std::string& text, mode_t mode = 0755)
    {
        testing_support::WriteFileBytes(m_dir + "/" + name, text);
        chmod((m_dir + "/" + name).c_str(), mode);
    }

    // The started program runs on its own; its output file shows up when
    // it is done.
    static std::string WaitForFile(const std::string& path)
    {
        for (int i = 0; i < 500; ++i) {
            if (access(path.c_str(), F_OK) == 0)
                return testing_support::ReadFileBytes(path);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return "(never written)";
    }

    // A program that writes its current folder and its arguments, one a
    // line in brackets, into the file named by its first argument.
    void WriteEchoScript()
    {
        WriteScript("echoargs",
            "#!/bin/sh\nout=$1; shift\n{ pwd; for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done; } > \"$out.part\" "
            "&& mv \"$out.part\" \"$out\"\n");
    }

    std::string m_dir;
};

TEST_F(ProcessTest, StartsAProgramByItsPathWithNoCommandLine)
{
    STARTUPINFO startup;
    GetStartupInfo(&startup);
    EXPECT_EQ(startup.cb, sizeof(STARTUPINFO));
    PROCESS_INFORMATION info;
    ASSERT_TRUE(CreateProcess("/bin/true", NULL, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &info));
    EXPECT_GT(info.dwProcessId, 0u);
}

TEST_F(ProcessTest, PassesArgumentsAndCurrentFolderWithoutAShell)
{
    WriteEchoScript();
    std::string out = m_dir + "/out.txt";
    std::string line = "echoargs \"" + out + "\" \"two words\" $HOME ;x a\\\"q";
    PROCESS_INFORMATION info;
    ASSERT_TRUE(CreateProcess((WindowsDir() + "\\echoargs").c_str(), line.data(), NULL, NULL, FALSE, 0, NULL,
        WindowsDir().c_str(), NULL, &info));
    // Nothing was expanded or split by a shell.
    EXPECT_EQ(WaitForFile(out), m_dir + "\n[two words]\n[$HOME]\n[;x]\n[a\"q]\n");
}

TEST_F(ProcessTest, FindsTheLinuxProgramOfAnExeName)
{
    WriteEchoScript();
    std::string out = m_dir + "/exe.txt";
    std::string line = "tool \"" + out + "\" x";
    ASSERT_TRUE(CreateProcess((WindowsDir() + "\\ECHOARGS.EXE").c_str(), line.data(), NULL, NULL, FALSE, 0, NULL,
        NULL, NULL, NULL));
    EXPECT_NE(WaitForFile(out).find("[x]"), std::string::npos);

    DWORD error = 0;
    EXPECT_EQ(platform::FindProgram(WindowsDir() + "\\echoargs.exe", &error), m_dir + "/echoargs");
}

TEST_F(ProcessTest, ReportsWhyAProgramCannotStart)
{
    WriteScript("plain.txt", "not a program", 0644);
    WriteScript("garbage", "\x7f" "ELF but not really", 0755);
    struct Case {
        std::string path;
        DWORD error;
    };
    const Case cases[] = {
        { WindowsDir() + "\\missing.exe", ERROR_FILE_NOT_FOUND },
        { WindowsDir() + "\\nofolder\\tool.exe", ERROR_PATH_NOT_FOUND },
        { WindowsDir() + "\\plain.txt\\tool.exe", ERROR_PATH_NOT_FOUND },
        { WindowsDir() + "\\plain.txt", ERROR_ACCESS_DENIED },
        { WindowsDir(), ERROR_ACCESS_DENIED },
        { WindowsDir() + "\\garbage", ERROR_BAD_EXE_FORMAT },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        PROCESS_INFORMATION info;
        info.dwProcessId = 77;
        SetLastError(0);
        EXPECT_FALSE(CreateProcess(c.path.c_str(), NULL, NULL, NULL, FALSE, 0, NULL, NULL, NULL, &info));
        EXPECT_EQ(GetLastError(), c.error);
        EXPECT_EQ(info.dwProcessId, 0u);
    }
}

TEST_F(ProcessTest, RefusesWhatItCannotHonour)
{
    char environment[] = "A=1\0";
    EXPECT_FALSE(CreateProcess("/bin/true", NULL, NULL, NULL, FALSE, 0, environment, NULL, NULL, NULL));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(CreateProcess(NULL, NULL, NULL, NULL, FALSE, 0, NULL, NULL, NULL, NULL));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(CreateProcess("/bin/true", NULL, NULL, NULL, FALSE, 0, NULL, (WindowsDir() + "\\none").c_str(),
        NULL, NULL));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIRECTORY));
    std::string huge(40000, 'a');
    EXPECT_FALSE(CreateProcess(NULL, huge.data(), NULL, NULL, FALSE, 0, NULL, NULL, NULL, NULL));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(ProcessTest, WinExecSearchesPathAndAnswersWin16Codes)
{
    EXPECT_GT(WinExec("true --ignored", 1), 31u);
    EXPECT_EQ(WinExec("no-such-program-anywhere", 1), static_cast<UINT>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(WinExec((WindowsDir() + "\\none\\x.exe").c_str(), 1), static_cast<UINT>(ERROR_PATH_NOT_FOUND));
}

TEST(RunQuietlyTest, RunsToolsWithoutAShellWithinTheirTimeBound)
{
    EXPECT_TRUE(platform::RunQuietly({"true"}, 5000));
    EXPECT_FALSE(platform::RunQuietly({"false"}, 5000));
    EXPECT_FALSE(platform::RunQuietly({"threadwick-no-such-tool"}, 5000));
    const std::string marker = testing_support::MakeTempDir("tool") + "/a b;$x";
    EXPECT_TRUE(platform::RunQuietly({"touch", marker}, 5000));
    struct stat st {};
    EXPECT_EQ(0, stat(marker.c_str(), &st));
    // One that does not end is ended.
    const time_t start = time(nullptr);
    EXPECT_FALSE(platform::RunQuietly({"sleep", "30"}, 200));
    EXPECT_LT(time(nullptr) - start, 5);
}

} // namespace
