// The HTML page stand-in: local pages as file:// URLs, URLs as written,
// both through the installed opener.

#include "platform/services/Shell.h"

#include "platform/files/HostPath.h"

#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class HtmlPageTest : public testing::Test {
protected:
    void SetUp() override
    {
        platform::SetUrlOpener([this](const std::string& target) {
            opened.push_back(target);
            return accept;
        });
        dir = testing_support::MakeTempDir("html page");
        testing_support::WriteFileBytes(dir + "/Tip #1.html", "<p>");
        testing_support::WriteFileBytes(dir + "/index.htm", "<p>");
        windowsDir = platform::WindowsPathFor(dir);
    }
    void TearDown() override { platform::SetUrlOpener(nullptr); }

    std::vector<std::string> opened;
    bool accept = true;
    std::string dir;
    std::string windowsDir;
};

TEST_F(HtmlPageTest, LocalPagesGoAsEncodedFileUrls)
{
    EXPECT_TRUE(platform::OpenHtmlPage((windowsDir + "\\index.htm").c_str()));
    // A '#' that is part of the file's name stays in it, encoded.
    EXPECT_TRUE(platform::OpenHtmlPage((windowsDir + "\\Tip #1.html").c_str()));
    // Otherwise it starts the place in the page.
    EXPECT_TRUE(platform::OpenHtmlPage((windowsDir + "\\index.htm#caf\xE9 menu").c_str()));
    std::string base = platform::FileUrlFromHostPath(dir);
    ASSERT_EQ(opened.size(), 3u);
    EXPECT_EQ(base.find(' '), std::string::npos);
    EXPECT_EQ(opened[0], base + "/index.htm");
    EXPECT_EQ(opened[1], base + "/Tip%20%231.html");
    EXPECT_EQ(opened[2], base + "/index.htm#caf%C3%A9%20menu");
    EXPECT_EQ(platform::FileUrlFromHostPath("/a b/\xC3\xA9?x"), "file:///a%20b/%C3%A9%3Fx");
}

TEST_F(HtmlPageTest, UrlsGoAsWrittenInUtf8)
{
    EXPECT_TRUE(platform::OpenHtmlPage("https://example.com/caf\xE9?a=1#top"));
    EXPECT_EQ(opened, std::vector<std::string>{"https://example.com/caf\xC3\xA9?a=1#top"});
}

TEST_F(HtmlPageTest, FailsForMissingPagesBadTextAndARefusingOpener)
{
    EXPECT_FALSE(platform::OpenHtmlPage((windowsDir + "\\gone.html").c_str()));
    EXPECT_FALSE(platform::OpenHtmlPage((windowsDir + "\\gone.html#x").c_str()));
    EXPECT_FALSE(platform::OpenHtmlPage(windowsDir.c_str())); // a folder is no page
    EXPECT_FALSE(platform::OpenHtmlPage(""));
    EXPECT_FALSE(platform::OpenHtmlPage(nullptr));
    EXPECT_FALSE(platform::OpenHtmlPage(std::string(40000, 'a').c_str()));
    EXPECT_TRUE(opened.empty());

    accept = false;
    EXPECT_FALSE(platform::OpenHtmlPage("https://example.com/"));
    EXPECT_FALSE(platform::OpenHtmlPage((windowsDir + "\\index.htm").c_str()));
    EXPECT_EQ(opened.size(), 2u);
}

} // namespace
