// The desktop wallpaper through the desktop's settings store or its own
// programs: which desktops are served, the picture's URI, a store that
// lacks the desktop's schema, and the programs asked with their arguments.
// The store is GSettings' key file in the test's own home, read back with
// glib's own tool; the programs are stand-ins on PATH.

#include "platform/services/Wallpaper.h"

#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

using platform::WallpaperDesktop;

TEST(WallpaperDesktopTest, TheFirstServedEntryOfTheDesktopListWins)
{
    const struct {
        const char* value;
        WallpaperDesktop desktop;
    } cases[] = {
        {"GNOME", WallpaperDesktop::Gnome},
        {"ubuntu:GNOME", WallpaperDesktop::Gnome},
        {"Unity", WallpaperDesktop::Gnome},
        {"Budgie:GNOME", WallpaperDesktop::Gnome},
        {"Pantheon", WallpaperDesktop::Gnome},
        {"gnome", WallpaperDesktop::Gnome},
        {"X-Cinnamon", WallpaperDesktop::Cinnamon},
        {"MATE", WallpaperDesktop::Mate},
        {"KDE", WallpaperDesktop::Kde},
        {"XFCE", WallpaperDesktop::Xfce},
        {"LXQt", WallpaperDesktop::Lxqt},
        {"LXDE", WallpaperDesktop::Lxde},
        {"sway", WallpaperDesktop::Unsupported},
        {"", WallpaperDesktop::Unsupported},
        {":::", WallpaperDesktop::Unsupported},
        {"GNOMEX", WallpaperDesktop::Unsupported},
        {"sway:KDE:MATE", WallpaperDesktop::Kde},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::WallpaperDesktopFrom(c.value), c.desktop) << c.value;
}

TEST(WallpaperDesktopTest, UrisEscapeEverythingButPlainCharacters)
{
    EXPECT_EQ(platform::FileUriFor("/home/ann/Threadwick Wallpaper.BMP"),
        "file:///home/ann/Threadwick%20Wallpaper.BMP");
    EXPECT_EQ(platform::FileUriFor("/a/b%c#d?e\xC3\xA9"), "file:///a/b%25c%23d%3Fe%C3%A9");
    EXPECT_EQ(platform::FileUriFor("relative/x.bmp"), "");
    EXPECT_EQ(platform::FileUriFor(""), "");
}

class WallpaperStoreTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_config = testing_support::UseKeyfileSettings();
    }
    static std::string Run(const std::string& command) { return testing_support::RunCommand(command); }
    std::string m_config;
};

TEST_F(WallpaperStoreTest, GnomeTakesThePictureForBothStylesOthersAreRefused)
{
    if (Run("gsettings list-keys org.gnome.desktop.background 2>/dev/null").find("picture-uri") == std::string::npos)
        GTEST_SKIP() << "the desktop background schema is not installed";
    const std::string picture = m_config + "/My Picture.bmp";
    setenv("XDG_CURRENT_DESKTOP", "GNOME", 1);
    ASSERT_TRUE(platform::SetDesktopWallpaper(picture));
    const std::string uri = "'" + platform::FileUriFor(picture) + "'";
    EXPECT_EQ(Run("gsettings get org.gnome.desktop.background picture-uri"), uri);
    if (Run("gsettings list-keys org.gnome.desktop.background").find("picture-uri-dark") != std::string::npos) {
        EXPECT_EQ(Run("gsettings get org.gnome.desktop.background picture-uri-dark"), uri);
    }

    // Unserved desktops, and relative paths, change nothing.
    for (const char* desktop : {"sway", ""}) {
        setenv("XDG_CURRENT_DESKTOP", desktop, 1);
        EXPECT_FALSE(platform::SetDesktopWallpaper("/tmp/other.bmp")) << desktop;
    }
    setenv("XDG_CURRENT_DESKTOP", "GNOME", 1);
    EXPECT_FALSE(platform::SetDesktopWallpaper("other.bmp"));
    EXPECT_EQ(Run("gsettings get org.gnome.desktop.background picture-uri"), uri);
}

TEST_F(WallpaperStoreTest, ADesktopWhoseSchemaIsMissingFailsWithoutHarm)
{
    // Neither schema is installed with the test's packages; where one is,
    // setting it is the right answer and the test has nothing to show.
    for (const auto& [desktop, schema] : {std::pair{"X-Cinnamon", "org.cinnamon.desktop.background"},
             std::pair{"MATE", "org.mate.background"}}) {
        if (Run(std::string("gsettings list-schemas | grep -x ") + schema).empty()) {
            setenv("XDG_CURRENT_DESKTOP", desktop, 1);
            EXPECT_FALSE(platform::SetDesktopWallpaper("/tmp/picture.bmp")) << desktop;
        }
    }
}

// Stand-ins for the desktops' programs, first on PATH: each writes its
// arguments, one a line, to its own log; xfconf-query lists two monitors'
// pictures and an unrelated property.
class WallpaperProgramsTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_folder = testing_support::MakeTempDir("wallpaper-tools");
        for (const char* name : {"dbus-send", "xfconf-query", "pcmanfm-qt", "pcmanfm"}) {
            std::string script = "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done >> '" + m_folder + "/" +
                name + ".log'\necho >> '" + m_folder + "/" + name + ".log'\n";
            if (std::string(name) == "xfconf-query") {
                script += "[ \"$3\" = --list ] && printf '%s\\n' /backdrop/screen0/monitor0/workspace0/last-image "
                          "/backdrop/screen0/monitor1/workspace0/last-image /backdrop/single-workspace-mode\n";
            }
            script += "exit 0\n";
            const std::string path = m_folder + "/" + name;
            testing_support::WriteFileBytes(path, script);
            std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        }
        const char* path = getenv("PATH");
        m_oldPath = path != nullptr ? path : "";
        setenv("PATH", (m_folder + ":" + m_oldPath).c_str(), 1);
        const char* desktop = getenv("XDG_CURRENT_DESKTOP");
        m_oldDesktop = desktop != nullptr ? desktop : "";
    }
    void TearDown() override
    {
        setenv("PATH", m_oldPath.c_str(), 1);
        setenv("XDG_CURRENT_DESKTOP", m_oldDesktop.c_str(), 1);
    }
    // The calls of one program: each its arguments.
    std::vector<std::vector<std::string>> Calls(const char* name)
    {
        std::vector<std::vector<std::string>> calls(1);
        std::string line;
        std::istringstream log(testing_support::ReadFileBytes(m_folder + "/" + name + ".log"));
        while (std::getline(log, line)) {
            if (line.empty())
                calls.emplace_back();
            else
                calls.back().push_back(line);
        }
        calls.pop_back();
        return calls;
    }
    std::string m_folder;
    std::string m_oldPath;
    std::string m_oldDesktop;
};

TEST_F(WallpaperProgramsTest, EachDesktopsProgramIsAskedWithThePicture)
{
    const std::string picture = "/home/ann/Threadwick Wallpaper.BMP";
    setenv("XDG_CURRENT_DESKTOP", "KDE", 1);
    ASSERT_TRUE(platform::SetDesktopWallpaper(picture));
    const auto kde = Calls("dbus-send");
    ASSERT_EQ(kde.size(), 1u);
    ASSERT_EQ(kde[0].size(), 7u);
    EXPECT_EQ(kde[0][0], "--session");
    EXPECT_EQ(kde[0][2], "--dest=org.kde.plasmashell");
    EXPECT_EQ(kde[0][4], "/PlasmaShell");
    EXPECT_EQ(kde[0][5], "org.kde.PlasmaShell.evaluateScript");
    EXPECT_EQ(kde[0][6], "string:" + platform::PlasmaWallpaperScript(platform::FileUriFor(picture)));
    EXPECT_NE(kde[0][6].find("writeConfig(\"Image\", \"file:///home/ann/Threadwick%20Wallpaper.BMP\")"),
        std::string::npos);

    setenv("XDG_CURRENT_DESKTOP", "XFCE", 1);
    ASSERT_TRUE(platform::SetDesktopWallpaper(picture));
    const auto xfce = Calls("xfconf-query");
    ASSERT_EQ(xfce.size(), 3u);
    EXPECT_EQ(xfce[0], (std::vector<std::string>{"--channel", "xfce4-desktop", "--list"}));
    EXPECT_EQ(xfce[1], (std::vector<std::string>{"--channel", "xfce4-desktop", "--property",
                           "/backdrop/screen0/monitor0/workspace0/last-image", "--set", picture}));
    EXPECT_EQ(xfce[2][3], "/backdrop/screen0/monitor1/workspace0/last-image");

    setenv("XDG_CURRENT_DESKTOP", "LXQt", 1);
    ASSERT_TRUE(platform::SetDesktopWallpaper(picture));
    EXPECT_EQ(Calls("pcmanfm-qt"), (std::vector<std::vector<std::string>>{{"--set-wallpaper=" + picture}}));
    setenv("XDG_CURRENT_DESKTOP", "LXDE", 1);
    ASSERT_TRUE(platform::SetDesktopWallpaper(picture));
    EXPECT_EQ(Calls("pcmanfm"), (std::vector<std::vector<std::string>>{{"--set-wallpaper=" + picture}}));

    // A program that is not there, or fails, is a picture not set.
    std::filesystem::remove(m_folder + "/pcmanfm");
    setenv("PATH", m_folder.c_str(), 1);
    EXPECT_FALSE(platform::SetDesktopWallpaper(picture));
    testing_support::WriteFileBytes(m_folder + "/pcmanfm-qt", "#!/bin/sh\nexit 3\n");
    setenv("XDG_CURRENT_DESKTOP", "LXQt", 1);
    EXPECT_FALSE(platform::SetDesktopWallpaper(picture));
}

} // namespace
