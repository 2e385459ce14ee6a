#include "platform/files/UserFolders.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>

using namespace platform;

namespace {

// Sets environment variables for one test and puts them back afterwards.
class Environment {
public:
    void Set(const char* name, const char* value)
    {
        const char* old = getenv(name);
        m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
        ResetUserFolders();
    }
    ~Environment()
    {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            if (it->second)
                setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                unsetenv(it->first.c_str());
        }
        ResetUserFolders();
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

TEST(UserFolders, ThreadwickHomeHoldsEverything)
{
    std::string home = testing_support::MakeTempDir("home");
    Environment env;
    env.Set("THREADWICK_HOME", home.c_str());
    EXPECT_EQ(ConfigDir(), home + "/config");
    EXPECT_EQ(DataDir(), home + "/data");
    EXPECT_EQ(OverlayDir(), home + "/overlay");
    EXPECT_EQ(TempDir(), home + "/temp");
    for (const char* sub : { "/config", "/data", "/overlay", "/temp" })
        EXPECT_TRUE(std::filesystem::is_directory(home + sub)) << sub;
}

TEST(UserFolders, XdgFoldersOtherwise)
{
    std::string base = testing_support::MakeTempDir("xdg");
    Environment env;
    env.Set("THREADWICK_HOME", nullptr);
    env.Set("XDG_CONFIG_HOME", (base + "/conf").c_str());
    env.Set("XDG_DATA_HOME", (base + "/share").c_str());
    env.Set("TMPDIR", (base + "/tmp").c_str());
    std::filesystem::create_directories(base + "/tmp");
    EXPECT_EQ(ConfigDir(), base + "/conf/threadwick");
    EXPECT_EQ(DataDir(), base + "/share/threadwick");
    EXPECT_EQ(OverlayDir(), base + "/share/threadwick/overlay");
    std::string temp = TempDir();
    EXPECT_EQ(temp, base + "/tmp/threadwick-" + std::to_string(getuid()));
    struct stat st;
    ASSERT_EQ(stat(temp.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // Relative XDG values are ignored, as the base-directory rules say.
    env.Set("XDG_CONFIG_HOME", "relative/conf");
    env.Set("HOME", (base + "/user").c_str());
    EXPECT_EQ(ConfigDir(), base + "/user/.config/threadwick");
}

TEST(UserFolders, ForeignTempFolderIsNotUsed)
{
    std::string base = testing_support::MakeTempDir("tmpattack");
    std::string planted = base + "/threadwick-" + std::to_string(getuid());
    ASSERT_EQ(symlink("/", planted.c_str()), 0);
    Environment env;
    env.Set("THREADWICK_HOME", nullptr);
    env.Set("TMPDIR", base.c_str());
    std::string temp = TempDir();
    EXPECT_NE(temp, planted);
    EXPECT_EQ(temp.rfind(planted + "-", 0), 0u) << temp;
    EXPECT_TRUE(std::filesystem::is_directory(temp));
}

} // namespace
