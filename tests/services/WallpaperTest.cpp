// The desktop wallpaper through the desktop's settings store: which desktops
// are served, the picture's URI, and a store that lacks the desktop's
// schema. The store is GSettings' key file in the test's own home, read
// back with glib's own tool.

#include "platform/services/Wallpaper.h"

#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

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
        {"KDE", WallpaperDesktop::Unsupported},
        {"XFCE", WallpaperDesktop::Unsupported},
        {"", WallpaperDesktop::Unsupported},
        {":::", WallpaperDesktop::Unsupported},
        {"GNOMEX", WallpaperDesktop::Unsupported},
        {"KDE:MATE", WallpaperDesktop::Mate},
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
    for (const char* desktop : {"KDE", "XFCE", ""}) {
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

} // namespace
