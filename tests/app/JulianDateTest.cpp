#include "app/JulianDate.h"
#include "platform/base/Clock.h"

#include <gtest/gtest.h>

namespace {

class JulianDateTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_clock.SetDate(2026, 12, 6);
        platform::SetClockSource(&m_clock);
    }
    void TearDown() override { platform::ResetClock(); }

    platform::FakeClock m_clock;
};

TEST_F(JulianDateTest, KnownDaysHaveTheirNumbersAndWeekdays)
{
    struct Case {
        WORD month, day, year;
        DWORD number;
        WORD weekday;
    };
    const Case cases[] = {
        {1, 1, 2000, 2451545, 6},  // Saturday
        {3, 1, 2000, 2451605, 3},  // Wednesday
        {10, 15, 1582, 2299161, 5}, // first day of the Gregorian calendar, a Friday
        {12, 31, 1999, 2451544, 5},
        {2, 29, 2004, 2453065, 7},
    };
    for (const Case& c : cases) {
        CJulianDate date(c.month, c.day, c.year);
        EXPECT_EQ(date.GetDayNumber(), c.number) << c.year << "-" << c.month << "-" << c.day;
        EXPECT_EQ(date.GetDayOfWeek(), c.weekday) << c.year << "-" << c.month << "-" << c.day;
    }
}

TEST_F(JulianDateTest, ImpossibleDatesGiveZero)
{
    EXPECT_EQ(JulianDayFromDate(2, 29, 1900), 0u);
    EXPECT_NE(JulianDayFromDate(2, 29, 2000), 0u);
    EXPECT_EQ(JulianDayFromDate(4, 31, 2001), 0u);
    EXPECT_EQ(JulianDayFromDate(5, 0, 2001), 0u);
    EXPECT_EQ(JulianDayFromDate(13, 1, 2001), 0u);
    EXPECT_EQ(JulianDayFromDate(0, 1, 2001), 0u);
    EXPECT_FALSE(CJulianDate(2, 30, 2024).IsValid());
}

TEST_F(JulianDateTest, EveryDayConvertsBackToItsDate)
{
    for (WORD year : {1600, 1899, 1900, 1999, 2000, 2024, 2100, 9999}) {
        for (WORD month = 1; month <= 12; ++month) {
            for (WORD day = 1; day <= 31; ++day) {
                if (!IsValidDate(month, day, year))
                    continue;
                WORD m, d, y;
                DateFromJulianDay(JulianDayFromDate(month, day, year), m, d, y);
                ASSERT_EQ(m, month);
                ASSERT_EQ(d, day);
                ASSERT_EQ(y, year);
            }
        }
    }
}

TEST_F(JulianDateTest, ConsecutiveDaysHaveConsecutiveNumbers)
{
    DWORD last = JulianDayFromDate(2, 28, 2023);
    EXPECT_EQ(JulianDayFromDate(3, 1, 2023), last + 1);
    EXPECT_EQ(JulianDayFromDate(3, 1, 2024), JulianDayFromDate(2, 29, 2024) + 1);
    EXPECT_EQ(JulianDayFromDate(1, 1, 2025), JulianDayFromDate(12, 31, 2024) + 1);
}

TEST_F(JulianDateTest, NoDateAndDaysBeforeTheEpochGiveNoParts)
{
    CJulianDate none;
    EXPECT_FALSE(none.IsValid());
    EXPECT_EQ(none.GetMonth(), 0);
    EXPECT_EQ(none.GetDay(), 0);
    EXPECT_EQ(none.GetYear(), 0);
    EXPECT_EQ(none.GetDayOfWeek(), 0);

    WORD m = 9, d = 9, y = 9;
    DateFromJulianDay(100, m, d, y);
    EXPECT_EQ(m + d + y, 0);
    DateFromJulianDay(0xFFFFFFFFu, m, d, y);
    EXPECT_EQ(m + d + y, 0);
}

TEST_F(JulianDateTest, TwoDigitYearsFallWithinFiftyYearsOfToday)
{
    // Today is in 2026.
    EXPECT_EQ(CJulianDate(1, 1, 99).GetYear(), 1999);
    EXPECT_EQ(CJulianDate(1, 1, 76).GetYear(), 2076);
    EXPECT_EQ(CJulianDate(1, 1, 26).GetYear(), 2026);
    EXPECT_EQ(CJulianDate(1, 1, 0).GetYear(), 2000);

    m_clock.SetDate(1998, 6, 1);
    EXPECT_EQ(CJulianDate(1, 1, 5).GetYear(), 2005);
    EXPECT_EQ(CJulianDate(1, 1, 60).GetYear(), 1960);
}

TEST_F(JulianDateTest, TodayComesFromTheClock)
{
    CJulianDate today;
    today.SetToday();
    EXPECT_EQ(today.GetYear(), 2026);
    EXPECT_EQ(today.GetMonth(), 12);
    EXPECT_EQ(today.GetDay(), 6);
    EXPECT_EQ(today.GetDayOfWeek(), 7); // a Sunday
}

TEST_F(JulianDateTest, TodayFollowsAnInstalledClockAtOnce)
{
    CJulianDate today;
    today.SetToday();
    m_clock.SetDate(2026, 12, 7, 0, 0, 0);
    CJulianDate tomorrow;
    tomorrow.SetToday();
    EXPECT_EQ(tomorrow.GetDayNumber(), today.GetDayNumber() + 1);
}

// The kept day, with readings of the local time counted.
struct CountedReadings {
    SYSTEMTIME now{};
    int nReads = 0;

    void Set(int year, int month, int day, int hour, int minute, int second, int ms)
    {
        now = SYSTEMTIME{};
        now.wYear = WORD(year);
        now.wMonth = WORD(month);
        now.wDay = WORD(day);
        now.wHour = WORD(hour);
        now.wMinute = WORD(minute);
        now.wSecond = WORD(second);
        now.wMilliseconds = WORD(ms);
    }
    DWORD DayAt(CTodayCache& cache, DWORD nTicks)
    {
        return cache.DayAt(nTicks, [this] {
            ++nReads;
            return now;
        });
    }
};

TEST(TodayCacheTest, KeepsTheDayUntilMidnightAndNoLonger)
{
    const DWORD nDec6 = JulianDayFromDate(12, 6, 2026);
    CTodayCache cache;
    CountedReadings clock;
    clock.Set(2026, 12, 6, 23, 59, 59, 500);
    EXPECT_EQ(clock.DayAt(cache, 1000), nDec6);
    // Half a second to midnight: the day is kept for 499 ms of ticks.
    clock.Set(2026, 12, 7, 0, 0, 0, 0);
    EXPECT_EQ(clock.DayAt(cache, 1000 + 498), nDec6);
    EXPECT_EQ(clock.nReads, 1);
    EXPECT_EQ(clock.DayAt(cache, 1000 + 499), nDec6 + 1);
    EXPECT_EQ(clock.nReads, 2);
}

TEST(TodayCacheTest, ReadsAgainAfterAMinuteAcrossTheTickWrap)
{
    const DWORD nDay = JulianDayFromDate(6, 15, 2025);
    CTodayCache cache;
    CountedReadings clock;
    clock.Set(2025, 6, 15, 12, 0, 0, 0);
    const DWORD nStart = 0xFFFFFF00u; // the tick count wraps 256 ms later
    EXPECT_EQ(clock.DayAt(cache, nStart), nDay);
    EXPECT_EQ(clock.DayAt(cache, nStart + CTodayCache::kMaxSpan - 1), nDay);
    EXPECT_EQ(clock.nReads, 1);
    clock.Set(2025, 6, 16, 12, 0, 0, 0); // the clock was set a day on
    EXPECT_EQ(clock.DayAt(cache, nStart + CTodayCache::kMaxSpan), nDay + 1);
    EXPECT_EQ(clock.nReads, 2);
    cache.Reset();
    EXPECT_EQ(clock.DayAt(cache, nStart + CTodayCache::kMaxSpan), nDay + 1);
    EXPECT_EQ(clock.nReads, 3);
}

TEST(TodayCacheTest, ReadingsWithoutADateAreNotKept)
{
    CTodayCache cache;
    CountedReadings clock;
    clock.Set(2025, 2, 30, 12, 0, 0, 0); // no such day
    EXPECT_EQ(clock.DayAt(cache, 5), 0u);
    EXPECT_EQ(clock.DayAt(cache, 6), 0u);
    clock.Set(2025, 3, 1, 25, 0, 0, 0); // no such hour: the day, but not kept
    EXPECT_EQ(clock.DayAt(cache, 7), JulianDayFromDate(3, 1, 2025));
    EXPECT_EQ(clock.DayAt(cache, 8), JulianDayFromDate(3, 1, 2025));
    EXPECT_EQ(clock.nReads, 4);
}

TEST_F(JulianDateTest, NamesComeFromTheLocaleAndOutOfRangeIsEmpty)
{
    // The tests run in the C locale's time names.
    EXPECT_EQ(GetWeekdayName(1, FALSE), "Monday");
    EXPECT_EQ(GetWeekdayName(7, TRUE), "Sun");
    EXPECT_EQ(GetMonthName(1, FALSE), "January");
    EXPECT_EQ(GetMonthName(12, TRUE), "Dec");
    EXPECT_TRUE(GetWeekdayName(8, FALSE).IsEmpty());
    EXPECT_TRUE(GetWeekdayName(0, TRUE).IsEmpty());
    EXPECT_TRUE(GetMonthName(0, FALSE).IsEmpty());
    EXPECT_TRUE(GetMonthName(13, TRUE).IsEmpty());
}

} // namespace
