// The operating-system description for the start-up platform check.

#include "platform/services/SystemInfo.h"

#include <gtest/gtest.h>

#include <sys/utsname.h>

#include <climits>

namespace {

TEST(SystemInfoTest, ReadsReleaseNumbersFromTheStart)
{
    struct Case {
        const char* release;
        int major, minor, build;
    };
    const Case cases[] = {
        { "6.1.0-18-amd64", 6, 1, 0 },
        { "5.15.153.1-microsoft-standard-WSL2", 5, 15, 153 },
        { "4.19", 4, 19, 0 },
        { "3", 3, 0, 0 },
        { "6.8.0rc1", 6, 8, 0 },
        { "", 0, 0, 0 },
        { "abc", 0, 0, 0 },
        { "6..3", 6, 0, 0 },
        { "99999999999999.2.3", INT_MAX, 2, 3 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.release);
        int major = -1, minor = -1, build = -1;
        platform::ParseReleaseNumbers(c.release, major, minor, build);
        EXPECT_EQ(major, c.major);
        EXPECT_EQ(minor, c.minor);
        EXPECT_EQ(build, c.build);
    }
}

TEST(SystemInfoTest, DescribesTheRunningSystem)
{
    struct utsname names;
    ASSERT_EQ(uname(&names), 0);
    platform::OperatingSystem os = platform::DescribeOperatingSystem();
    EXPECT_EQ(os.name, names.sysname);
    EXPECT_EQ(os.machine, names.machine);
    EXPECT_GT(os.major, 0);
}

} // namespace
