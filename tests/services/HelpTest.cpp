// Help topics: the map of a help file's folder takes context numbers to
// pages; topics without a page tell the user so.

#include "platform/services/Help.h"

#include "platform/files/HostPath.h"
#include "platform/files/ProgramFolder.h"
#include "platform/services/Shell.h"

#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

namespace {

class HelpTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_program = testing_support::MakeTempDir("helpprogram");
        platform::SetProgramFolderForTests(m_program);
        m_help = m_program + "/support/Help/Tovellum";
        std::string mkdirs[] = { m_program + "/support", m_program + "/support/Help", m_help, m_help + "/topics" };
        for (const std::string& dir : mkdirs)
            mkdir(dir.c_str(), 0755);
        testing_support::WriteFileBytes(m_program + "/support/secret.html", "x");
        testing_support::WriteFileBytes(m_help + "/index.html", "x");
        testing_support::WriteFileBytes(m_help + "/topics/Colors.html", "x");
        testing_support::WriteFileBytes(m_help + "/map.txt",
            "# How-do-I topics\r\n"
            "contents index.html\r\n"
            "\r\n"
            "  4100\ttopics\\colors.html  \r\n"
            "4101 missing.html\n"
            "4102 ../secret.html\n"
            "4103 /etc/passwd\n"
            "4104\n"
            "4105 topics/colors.html");
        platform::SetUrlOpener([this](const std::string& target) {
            m_opened.push_back(target);
            return true;
        });
        platform::SetHelpNotice([this](LPCSTR text) { m_notices.push_back(text); });
    }
    void TearDown() override
    {
        platform::SetUrlOpener(nullptr);
        platform::SetHelpNotice(nullptr);
        platform::SetProgramFolderForTests(std::string());
    }

    std::string HelpFile() const { return platform::WindowsPathFor(m_program) + "\\Tovellum.hlp"; }

    std::string m_program;
    std::string m_help;
    std::vector<std::string> m_opened;
    std::vector<std::string> m_notices;
};

TEST_F(HelpTest, OpensThePageMappedToAContext)
{
    EXPECT_TRUE(WinHelp(NULL, HelpFile().c_str(), HELP_CONTEXT, 4100));
    EXPECT_TRUE(WinHelp(NULL, "TOVELLUM.HLP>main", HELP_CONTEXTPOPUP, 4105));
    EXPECT_TRUE(WinHelp(NULL, HelpFile().c_str(), HELP_CONTENTS, 0));
    EXPECT_TRUE(WinHelp(NULL, HelpFile().c_str(), HELP_FINDER, 0));
    std::string colors = m_help + "/topics/Colors.html";
    EXPECT_EQ(m_opened, (std::vector<std::string> { colors, colors, m_help + "/index.html", m_help + "/index.html" }));
    EXPECT_TRUE(m_notices.empty());
}

TEST_F(HelpTest, TellsTheUserWhenATopicHasNoPage)
{
    // An unmapped number, a page that is not there, pages outside the help
    // folder, a line without a page, and a help file with no folder at all.
    const ULONG_PTR contexts[] = { 9999, 4101, 4102, 4103, 4104 };
    for (ULONG_PTR context : contexts) {
        SCOPED_TRACE(context);
        m_notices.clear();
        EXPECT_FALSE(WinHelp(NULL, HelpFile().c_str(), HELP_CONTEXT, context));
        EXPECT_EQ(m_notices, std::vector<std::string> { "Help for this topic is not available." });
    }
    m_notices.clear();
    EXPECT_FALSE(WinHelp(NULL, "manual.hlp", HELP_CONTENTS, 0));
    EXPECT_EQ(m_notices.size(), 1u);
    EXPECT_TRUE(m_opened.empty());
}

TEST_F(HelpTest, QuitAndUnknownCommandsShowNothing)
{
    EXPECT_TRUE(WinHelp(NULL, HelpFile().c_str(), HELP_QUIT, 0));
    EXPECT_TRUE(WinHelp(NULL, NULL, HELP_QUIT, 0));
    EXPECT_FALSE(WinHelp(NULL, HelpFile().c_str(), 0x7777, 0));
    EXPECT_TRUE(m_opened.empty());
    EXPECT_TRUE(m_notices.empty());
}

TEST_F(HelpTest, RefusesAnOversizedMap)
{
    testing_support::WriteFileBytes(m_help + "/map.txt", "4100 index.html\n" + std::string(300 * 1024, '#'));
    EXPECT_FALSE(platform::FindHelpPage("Tovellum.hlp", "4100").has_value());
}

} // namespace
