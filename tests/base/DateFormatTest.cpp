#include "platform/base/DateFormat.h"

#include "platform/base/Clock.h"

#include <clocale>
#include <gtest/gtest.h>
#include <string>

namespace {

class DateFormatTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* current = std::setlocale(LC_TIME, nullptr);
        m_savedLocale = current ? current : "C";
        std::setlocale(LC_TIME, "C");
    }
    void TearDown() override
    {
        std::setlocale(LC_TIME, m_savedLocale.c_str());
        platform::ResetClock();
    }

    static std::string Format(const SYSTEMTIME& date, const char* picture)
    {
        char buffer[64] = {};
        int n = GetDateFormat(LOCALE_USER_DEFAULT, 0, &date, picture, buffer, sizeof buffer);
        EXPECT_GT(n, 0) << picture;
        return buffer;
    }

    std::string m_savedLocale;
};

SYSTEMTIME Date(int year, int month, int day)
{
    SYSTEMTIME st {};
    st.wYear = WORD(year);
    st.wMonth = WORD(month);
    st.wDay = WORD(day);
    st.wDayOfWeek = 3; // ignored: the day of week comes from the date
    return st;
}

} // namespace

TEST_F(DateFormatTest, NamesAndNumbersInTheCLocale)
{
    SYSTEMTIME date = Date(2000, 1, 1);
    EXPECT_EQ(Format(date, "dddd"), "Saturday");
    EXPECT_EQ(Format(date, "ddd"), "Sat");
    EXPECT_EQ(Format(date, "MMMM"), "January");
    EXPECT_EQ(Format(date, "MMM"), "Jan");
    EXPECT_EQ(Format(Date(2005, 9, 7), "d/M/y dd/MM/yy yyyy"), "7/9/5 07/09/05 2005");
    EXPECT_EQ(Format(Date(1999, 12, 31), "dddd, MMMM d, yyyy"), "Friday, December 31, 1999");
}

TEST_F(DateFormatTest, UnicodeLocaleNamesArriveIn1252)
{
    if (!std::setlocale(LC_TIME, "C.UTF-8"))
        GTEST_SKIP() << "no C.UTF-8 locale";
    EXPECT_EQ(Format(Date(2000, 5, 1), "dddd MMMM"), "Monday May");
}

TEST_F(DateFormatTest, QuotedTextIsCopied)
{
    SYSTEMTIME date = Date(2001, 2, 3);
    EXPECT_EQ(Format(date, "'day' d 'of' MMMM"), "day 3 of February");
    EXPECT_EQ(Format(date, "d 'o''clock'"), "3 o'clock");
    EXPECT_EQ(Format(date, "yyyy''MM"), "2001'02");
    EXPECT_EQ(Format(date, "d 'unterminated MMM"), "3 unterminated MMM");
}

TEST_F(DateFormatTest, BufferSizeRules)
{
    SYSTEMTIME date = Date(2000, 1, 1);
    EXPECT_EQ(GetDateFormat(LOCALE_USER_DEFAULT, 0, &date, "dddd", nullptr, 0), 9);
    char small[8];
    SetLastError(0);
    EXPECT_EQ(GetDateFormat(LOCALE_USER_DEFAULT, 0, &date, "dddd", small, sizeof small), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    char exact[9];
    EXPECT_EQ(GetDateFormat(LOCALE_SYSTEM_DEFAULT, 0, &date, "dddd", exact, sizeof exact), 9);
    EXPECT_STREQ(exact, "Saturday");
}

TEST_F(DateFormatTest, RefusesInvalidDatesAndFlags)
{
    char buffer[32];
    for (SYSTEMTIME bad : {Date(2001, 2, 29), Date(2000, 13, 1), Date(2000, 0, 1), Date(2000, 4, 31),
             Date(2000, 1, 0), Date(1600, 1, 1)}) {
        SetLastError(0);
        EXPECT_EQ(GetDateFormat(LOCALE_USER_DEFAULT, 0, &bad, "d", buffer, sizeof buffer), 0);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    }
    SYSTEMTIME leap = Date(2000, 2, 29);
    EXPECT_GT(GetDateFormat(LOCALE_USER_DEFAULT, 0, &leap, "d", buffer, sizeof buffer), 0);
    EXPECT_EQ(GetDateFormat(LOCALE_USER_DEFAULT, DATE_LONGDATE, &leap, "d", buffer, sizeof buffer), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_FLAGS));
}

TEST_F(DateFormatTest, NullDateMeansTodayAndNullPictureTheLocaleForm)
{
    platform::FakeClock fake;
    fake.SetDate(2026, 3, 8);
    platform::SetClockSource(&fake);
    char buffer[64];
    ASSERT_GT(GetDateFormat(LOCALE_USER_DEFAULT, 0, nullptr, "ddd d MMM", buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "Sun 8 Mar");
    ASSERT_GT(GetDateFormat(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "3/8/2026");
    ASSERT_GT(GetDateFormat(LOCALE_USER_DEFAULT, DATE_LONGDATE, nullptr, nullptr, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "Sunday, March 8, 2026");
}
