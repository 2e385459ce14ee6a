#include "platform/services/RuntimeFolder.h"

#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace platform;

TEST(RuntimeFolder, IsPrivateFolderUnderTestHome)
{
    std::string error;
    std::string folder = RuntimeDir(&error);
    ASSERT_FALSE(folder.empty()) << error;
    EXPECT_EQ(folder, testing_support::TestHome() + "/run");
    struct stat st;
    ASSERT_EQ(lstat(folder.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // A folder someone loosened is made private again.
    chmod(folder.c_str(), 0755);
    EXPECT_EQ(RuntimeDir(&error), folder);
    ASSERT_EQ(lstat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(RuntimeFolder, StemsAreSafeBoundedAndDistinct)
{
    std::string stem = RuntimeFileStem("KQ Threadwick; inst running 1.0");
    EXPECT_EQ(stem.substr(0, 32), "KQ_Threadwick__inst_running_1.0-");
    EXPECT_EQ(stem.size(), 32u + 16u);

    // Names that read the same once cleaned, or differ only in case, keep
    // files of their own.
    EXPECT_NE(RuntimeFileStem("a b"), RuntimeFileStem("a_b"));
    EXPECT_NE(RuntimeFileStem("Name"), RuntimeFileStem("name"));
    EXPECT_EQ(RuntimeFileStem("Name"), RuntimeFileStem("Name"));

    for (std::string name : { std::string(".."), std::string("../../etc/x"), std::string(300, '/'), std::string("\x01\xFF") }) {
        std::string s = RuntimeFileStem(name);
        EXPECT_LE(s.size(), 40u + 17u) << name;
        EXPECT_EQ(s.find('/'), std::string::npos) << name;
        EXPECT_NE(s[0], '.') << name;
    }
}
