#include "platform/base/Version.h"

#include <gtest/gtest.h>

TEST(Version, AnswersAsFourZeroOfTheConsumerFamily)
{
    DWORD version = GetVersion();
    EXPECT_EQ(LOBYTE(LOWORD(version)), 4);
    EXPECT_EQ(HIBYTE(LOWORD(version)), 0);
    EXPECT_NE(version & 0x80000000u, 0u);

    OSVERSIONINFO info {};
    info.dwOSVersionInfoSize = 148;
    ASSERT_TRUE(GetVersionEx(&info));
    EXPECT_EQ(info.dwMajorVersion, 4u);
    EXPECT_EQ(info.dwMinorVersion, 0u);
    EXPECT_EQ(info.dwPlatformId, DWORD(VER_PLATFORM_WIN32_WINDOWS));
    EXPECT_EQ(LOWORD(info.dwBuildNumber), 950);
    EXPECT_EQ(HIWORD(info.dwBuildNumber), 0x0400);
    EXPECT_EQ(info.szCSDVersion[0], '\0');
}

TEST(Version, RefusesWrongStructureSize)
{
    OSVERSIONINFO info {};
    info.dwOSVersionInfoSize = 156;
    SetLastError(0);
    EXPECT_FALSE(GetVersionEx(&info));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(info.dwMajorVersion, 0u);
}
