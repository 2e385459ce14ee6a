#include "platform/base/Clock.h"

#include <gtest/gtest.h>

namespace {

class ClockTest : public ::testing::Test {
protected:
    void TearDown() override { platform::ResetClock(); }
    platform::FakeClock m_fake;
};

} // namespace

TEST_F(ClockTest, FakeSleepAdvancesTicksWithoutWaiting)
{
    m_fake.SetTicks(0xFFFFFF00u);
    platform::SetClockSource(&m_fake);
    DWORD start = GetTickCount();
    Sleep(1500);
    // Elapsed time is a DWORD difference, right across the wrap.
    EXPECT_EQ(DWORD(GetTickCount() - start), 1500u);
    EXPECT_LT(GetTickCount(), start);
    EXPECT_EQ(m_fake.SleptMilliseconds(), 1500u);
}

TEST_F(ClockTest, BusyWaitOnTickCountEndsWithAdvancingReads)
{
    m_fake.SetAdvancePerRead(10);
    platform::SetClockSource(&m_fake);
    DWORD start = GetTickCount();
    int reads = 0;
    while (GetTickCount() - start < 1500)
        ++reads;
    EXPECT_EQ(reads, 149);
}

TEST_F(ClockTest, FakeDateGivesDayOfWeekFromSunday)
{
    m_fake.SetDate(2000, 1, 1, 8, 30);
    platform::SetClockSource(&m_fake);
    SYSTEMTIME st;
    GetLocalTime(&st);
    EXPECT_EQ(st.wYear, 2000);
    EXPECT_EQ(st.wMonth, 1);
    EXPECT_EQ(st.wDay, 1);
    EXPECT_EQ(st.wDayOfWeek, 6); // Saturday
    EXPECT_EQ(st.wHour, 8);
    EXPECT_EQ(st.wMinute, 30);
}

TEST(DayOfWeek, KnownDates)
{
    EXPECT_EQ(platform::DayOfWeek(1970, 1, 1), 4); // Thursday
    EXPECT_EQ(platform::DayOfWeek(2000, 2, 29), 2);
    EXPECT_EQ(platform::DayOfWeek(2000, 3, 1), 3);
    EXPECT_EQ(platform::DayOfWeek(1900, 3, 1), 4);
    EXPECT_EQ(platform::DayOfWeek(1601, 1, 1), 1);
    EXPECT_EQ(platform::DayOfWeek(2024, 12, 29), 0);
}

TEST_F(ClockTest, RealClockMovesForwardAndGivesAPlausibleDate)
{
    platform::SetClockSource(&m_fake);
    platform::ResetClock();
    DWORD before = GetTickCount();
    Sleep(5);
    EXPECT_GE(DWORD(GetTickCount() - before), 5u);
    SYSTEMTIME local, utc;
    GetLocalTime(&local);
    GetSystemTime(&utc);
    EXPECT_GE(local.wYear, 2020);
    EXPECT_LE(utc.wMilliseconds, 999);
    EXPECT_EQ(local.wDayOfWeek, platform::DayOfWeek(local.wYear, local.wMonth, local.wDay));
}
