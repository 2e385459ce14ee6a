#include "platform/profile/ShellRegistration.h"

#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>

#include <string>
#include <vector>

namespace {

using platform::ShellRegistrationInfo;

ShellRegistrationInfo TwoKinds()
{
    ShellRegistrationInfo info;
    info.programPath = "/opt/threadwick/threadwick";
    info.types = {{"application/x-threadwick-shirt", "shr", "Threadwick Tovell"},
        {"application/x-threadwick-label", "lbl", "Threadwick Label"}};
    return info;
}

// Stands in for the desktop's tools: records each run and leaves the cache
// the real tool would write.
struct ToolLog {
    platform::ShellToolRunner Runner()
    {
        return [this](const std::vector<std::string>& argv) {
            runs.push_back(argv[0]);
            const char* cache = argv[0] == "update-mime-database" ? "/mime.cache" : "/mimeinfo.cache";
            testing_support::WriteFileBytes(argv[1] + cache, "cache");
            return true;
        };
    }
    std::vector<std::string> runs;
};

TEST(ShellRegistration, RewritesOnlyWhatChangedAndRerunsAStaleCache)
{
    const std::string home = testing_support::MakeTempDir("xdg-data");
    const std::string entry = home + "/applications/threadwick.desktop";
    ShellRegistrationInfo info = TwoKinds();
    ToolLog tools;
    platform::RegisterShellTypes(info, home, tools.Runner());
    EXPECT_EQ((std::vector<std::string>{"update-mime-database", "update-desktop-database"}), tools.runs);

    // Another comment changes the package only.
    info.types[0].comment = "Threadwick Shirt";
    tools.runs.clear();
    EXPECT_TRUE(platform::RegisterShellTypes(info, home, tools.Runner()).written);
    EXPECT_EQ(std::vector<std::string>{"update-mime-database"}, tools.runs);

    // A cache the tool never wrote (it was missing, or was ended) is made
    // again without writing our files.
    std::remove((home + "/applications/mimeinfo.cache").c_str());
    tools.runs.clear();
    EXPECT_FALSE(platform::RegisterShellTypes(info, home, tools.Runner()).written);
    EXPECT_EQ(std::vector<std::string>{"update-desktop-database"}, tools.runs);

    // A file of ours that someone changed is put back.
    testing_support::WriteFileBytes(entry, "[Desktop Entry]\nName=Other\n");
    platform::RegisterShellTypes(info, home, tools.Runner());
    EXPECT_EQ(platform::ShellDesktopEntry(info), testing_support::ReadFileBytes(entry));

    // A file where a folder must be stops the write as a read-only folder
    // would (tests run as root); the rest is still written.
    const std::string blocked = testing_support::MakeTempDir("xdg-data");
    testing_support::WriteFileBytes(blocked + "/mime", "a file");
    tools.runs.clear();
    EXPECT_TRUE(platform::RegisterShellTypes(info, blocked, tools.Runner()).failed);
    EXPECT_EQ("a file", testing_support::ReadFileBytes(blocked + "/mime"));
    EXPECT_EQ(std::vector<std::string>{"update-desktop-database"}, tools.runs);
}

TEST(ShellRegistration, LeavesOutUnusableAndRepeatedKindsAndEscapesText)
{
    ShellRegistrationInfo info = TwoKinds();
    info.types = {
        {"application/x-threadwick-shirt", "shr", "Shirts <& \"Tees\">"},
        {"application/x-threadwick-other", "SHR", "same extension, another case"},
        {"application/x-threadwick-shirt", "tee", "same type"},
        {"application/x-threadwick-star", "s*r", "a glob character"},
        {"application/x-threadwick-empty", "", "no extension"},
        {"text/plain", "txt", "not our type"},
        {"application/x-threadwick-label", "lbl", "line\none \xff"},
    };
    const std::string package = platform::ShellMimePackage(info);
    EXPECT_NE(package.find("<comment>Shirts &lt;&amp; &quot;Tees&quot;&gt;</comment>"), std::string::npos) << package;
    for (const char* absent : {"other", "tee", "star", "empty", "text/plain", "line"})
        EXPECT_EQ(package.find(absent), std::string::npos) << absent;
    EXPECT_NE(platform::ShellDesktopEntry(info).find(
                  "\nMimeType=application/x-threadwick-shirt;application/x-threadwick-label;\n"),
        std::string::npos);

    EXPECT_EQ("application/x-threadwick-mousepad", platform::ShellMimeTypeForDocName("Mouse Pad"));
    for (const char* unusable : {"", "  ", "a/b", "Caf\xc3\xa9"})
        EXPECT_EQ("", platform::ShellMimeTypeForDocName(unusable)) << unusable;
}

TEST(ShellRegistration, ExecArgumentIsQuotedAndEscapedForTheDesktop)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/opt/tw/threadwick", "/opt/tw/threadwick"},
        {"/opt/My Apps/tw", "\"/opt/My Apps/tw\""},
        {"/opt/100%/tw", "/opt/100%%/tw"},
        {"/opt/a$b/tw", "\"/opt/a\\\\$b/tw\""},
        // A literal backslash: quoted, escaped for Exec, then for the string.
        {"/opt/a\\b/tw", "\"/opt/a\\\\\\\\b/tw\""},
        {"/opt/a\nb/tw", ""},
        {"/opt/\xff/tw", ""},
    };
    for (const auto& [path, exec] : cases)
        EXPECT_EQ(exec, platform::ShellExecArgument(path)) << path;

    if (system("desktop-file-validate --help >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "desktop-file-validate (desktop-file-utils) is not installed";
    ShellRegistrationInfo info = TwoKinds();
    info.programPath = "/opt/My $Apps/100%/a\\b/it's/threadwick";
    const std::string path = testing_support::MakeTempDir("entry") + "/threadwick.desktop";
    testing_support::WriteFileBytes(path, platform::ShellDesktopEntry(info));
    EXPECT_EQ("rc=0", testing_support::RunCommand("desktop-file-validate '" + path + "' 2>&1; echo rc=$?"));
}

TEST(ShellRegistration, TestRunsStayUnderThreadwickHome)
{
    const std::string home = testing_support::TestHome();
    const char* data = getenv("XDG_DATA_HOME");
    const std::string savedData = data ? data : "";
    setenv("XDG_DATA_HOME", "/somewhere/share", 1);
    EXPECT_EQ(home + "/share", platform::ShellDataHome());
    unsetenv("THREADWICK_HOME");
    EXPECT_EQ("/somewhere/share", platform::ShellDataHome());
    setenv("THREADWICK_HOME", home.c_str(), 1);
    if (data)
        setenv("XDG_DATA_HOME", savedData.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}

} // namespace
