// Opening URLs and documents through the desktop's opener.

#include "platform/services/Shell.h"

#include "platform/files/HostPath.h"

#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class ShellTest : public testing::Test {
protected:
    void SetUp() override
    {
        platform::SetUrlOpener([this](const std::string& target) {
            m_opened.push_back(target);
            return m_accept;
        });
    }
    void TearDown() override { platform::SetUrlOpener(nullptr); }

    static INT_PTR Open(LPCSTR verb, LPCSTR file)
    {
        return reinterpret_cast<INT_PTR>(ShellExecute(NULL, verb, file, NULL, NULL, 1));
    }

    std::vector<std::string> m_opened;
    bool m_accept = true;
};

TEST_F(ShellTest, RecognisesUrlSchemesButNotDriveLetters)
{
    EXPECT_TRUE(platform::IsUrl("https://example.com/infocentral/surveys/x"));
    EXPECT_TRUE(platform::IsUrl("mailto:ann@example.com"));
    EXPECT_TRUE(platform::IsUrl("svn+ssh://host/x"));
    EXPECT_FALSE(platform::IsUrl("C:\\docs\\a.html"));
    EXPECT_FALSE(platform::IsUrl("c:/docs/a.html"));
    EXPECT_FALSE(platform::IsUrl("readme.txt"));
    EXPECT_FALSE(platform::IsUrl("1http://x"));
    EXPECT_FALSE(platform::IsUrl("ht tp://x"));
}

TEST_F(ShellTest, HandsUrlsOverAsUtf8)
{
    EXPECT_GT(Open("open", "https://example.com/caf\xE9"), 32);
    EXPECT_GT(Open(NULL, "mailto:x@example.com"), 32);
    EXPECT_EQ(m_opened, (std::vector<std::string> { "https://example.com/caf\xC3\xA9", "mailto:x@example.com" }));
}

TEST_F(ShellTest, OpensExistingFilesByTheirLinuxPath)
{
    std::string dir = testing_support::MakeTempDir("shell");
    testing_support::WriteFileBytes(dir + "/Page.html", "<p>");
    std::string windowsDir = platform::WindowsPathFor(dir);

    EXPECT_GT(Open("Open", (windowsDir + "\\PAGE.HTML").c_str()), 32);
    EXPECT_EQ(m_opened, std::vector<std::string> { dir + "/Page.html" });

    m_opened.clear();
    EXPECT_EQ(Open("open", (windowsDir + "\\gone.html").c_str()), SE_ERR_FNF);
    EXPECT_EQ(Open("open", (windowsDir + "\\gone\\a.html").c_str()), SE_ERR_PNF);
    EXPECT_EQ(Open("open", ""), SE_ERR_FNF);
    EXPECT_EQ(Open("print", (windowsDir + "\\Page.html").c_str()), SE_ERR_NOASSOC);
    EXPECT_TRUE(m_opened.empty());
}

TEST_F(ShellTest, ReportsAnOpenerThatFails)
{
    m_accept = false;
    EXPECT_EQ(Open("open", "https://example.com/"), SE_ERR_NOASSOC);
}

} // namespace
