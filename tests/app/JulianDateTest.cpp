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
