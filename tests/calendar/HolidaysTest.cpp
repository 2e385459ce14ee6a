// The holiday list: its lines read as fixed dates and weekday rules, bad
// and overlong lines skipped with the counts bounded, the dates the rules
// give, the holidays of a span of days in date order, the shipped list,
// and the list read once per run.

#include "calendar/Holidays.h"

#include "app/JulianDate.h"
#include "calendar/CalendarLayout.h"
#include "platform/base/StringArray.h"
#include "platform/files/HostPath.h"
#include "platform/files/ProgramFolder.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

std::string WriteList(const std::string& text)
{
    const std::string path = testing_support::MakeTempDir("holidays") + "/holidays.txt";
    testing_support::WriteFileBytes(path, text);
    return platform::WindowsPathFor(path);
}

TEST(HolidaysTest, LinesReadAsFixedDatesAndWeekdayRules)
{
    struct Good {
        const char* pszLine;
        int nMonth, nDay, nOrdinal, nWeekday;
        const char* pszName;
    };
    const Good good[] = {
        {"1 1 New Year's Day", 1, 1, 0, 0, "New Year's Day"},
        {"  12\t25   Christmas Day  ", 12, 25, 0, 0, "Christmas Day"},
        {"2 29 Leap Day", 2, 29, 0, 0, "Leap Day"},
        {"11 4th Thu Thanksgiving Day", 11, 0, 4, 4, "Thanksgiving Day"},
        {"05 LAST mon Memorial Day", 5, 0, kLastWeekday, 1, "Memorial Day"},
        {"3 5th Sun A", 3, 0, 5, 7, "A"},
    };
    for (const Good& g : good) {
        HolidayRule rule;
        ASSERT_TRUE(ParseHolidayLine(g.pszLine, rule)) << g.pszLine;
        EXPECT_EQ(rule.nMonth, g.nMonth) << g.pszLine;
        EXPECT_EQ(rule.nDay, g.nDay) << g.pszLine;
        EXPECT_EQ(rule.nOrdinal, g.nOrdinal) << g.pszLine;
        EXPECT_EQ(rule.nWeekday, g.nWeekday) << g.pszLine;
        EXPECT_EQ(rule.strName, CString(g.pszName)) << g.pszLine;
    }

    const std::string longest = "1 1 " + std::string(kMaxHolidayName, 'n');
    HolidayRule rule;
    EXPECT_TRUE(ParseHolidayLine(longest.c_str(), rule));
    const std::string tooLongName = "1 1 " + std::string(kMaxHolidayName + 1, 'n');
    const std::string tooLongLine = "1 1 x" + std::string(kMaxHolidayLine, ' ');
    const char* bad[] = {
        "", "   ", "# 1 1 Comment", "0 1 Zero", "13 1 Thirteen", "1 32 Too late", "2 30 No such day", "4 31 April",
        "1 1", "1 1   ", "1 0 Nothing", "001 1 Three digits", "1 6th Mon Sixth", "1 1st Xyz Weekday",
        "1 first Mon Spelt", "1 last Name only", "x 1 Letters", "1 1 Bell\x07", "-1 1 Negative",
        tooLongName.c_str(), tooLongLine.c_str(),
    };
    for (const char* pszLine : bad) {
        HolidayRule untouched;
        untouched.strName = "kept";
        EXPECT_FALSE(ParseHolidayLine(pszLine, untouched)) << pszLine;
        EXPECT_EQ(untouched.strName, CString("kept"));
    }
}

TEST(HolidaysTest, RulesGiveTheirDayInEachYear)
{
    auto rule = [](const char* pszLine) {
        HolidayRule r;
        EXPECT_TRUE(ParseHolidayLine(pszLine, r)) << pszLine;
        return r;
    };
    EXPECT_EQ(HolidayDayInYear(rule("11 4th Thu T"), 2024), 28);
    EXPECT_EQ(HolidayDayInYear(rule("11 4th Thu T"), 2025), 27);
    EXPECT_EQ(HolidayDayInYear(rule("5 last Mon M"), 2024), 27);
    EXPECT_EQ(HolidayDayInYear(rule("5 last Mon M"), 2021), 31);
    EXPECT_EQ(HolidayDayInYear(rule("9 1st Mon L"), 2024), 2);
    EXPECT_EQ(HolidayDayInYear(rule("12 last Sun S"), 2024), 29);
    // February 2024 has four Fridays and five Thursdays.
    EXPECT_EQ(HolidayDayInYear(rule("2 5th Fri F"), 2024), 0);
    EXPECT_EQ(HolidayDayInYear(rule("2 5th Thu F"), 2024), 29);
    EXPECT_EQ(HolidayDayInYear(rule("2 29 Leap"), 2023), 0);
    EXPECT_EQ(HolidayDayInYear(rule("2 29 Leap"), 2024), 29);
    EXPECT_EQ(HolidayDayInYear(rule("7 4 I"), 99), 0);
    EXPECT_EQ(HolidayDayInYear(rule("7 4 I"), 10000), 0);
}

TEST(HolidaysTest, AListFileSkipsBadLinesAndIsBounded)
{
    std::string text = "# comment\r\n1 1 New Year\r\n13 1 Bad\r\n" + std::string(5000, '7') + "\r\n"
        + "11 4th Thu Thanksgiving\r\n\r\n12 25 Christmas";
    std::vector<HolidayRule> rules = ReadHolidayFile(WriteList(text).c_str());
    ASSERT_EQ(rules.size(), 3u);
    EXPECT_EQ(rules[0].strName, CString("New Year"));
    EXPECT_EQ(rules[1].strName, CString("Thanksgiving"));
    EXPECT_EQ(rules[2].strName, CString("Christmas"));

    std::string many;
    for (int n = 0; n < kMaxHolidays + 50; ++n)
        many += "3 3 Day\n";
    EXPECT_EQ(ReadHolidayFile(WriteList(many).c_str()).size(), size_t(kMaxHolidays));
    // Only the first lines are looked at, good or bad.
    std::string late(kMaxHolidayLines, '\n');
    late += "3 3 Too late\n";
    EXPECT_TRUE(ReadHolidayFile(WriteList(late).c_str()).empty());
    EXPECT_TRUE(ReadHolidayFile("C:\\no\\such\\folder\\holidays.txt").empty());
}

TEST(HolidaysTest, TheHolidaysOfASpanComeInDateOrder)
{
    const std::vector<HolidayRule> rules = ReadHolidayFile(
        WriteList("12 31 Eve\n1 1 New Year\n12 25 Christmas\n12 25 Second\n11 4th Thu Thanksgiving\n").c_str());
    CStringArray names;
    CStringArray days;
    names.Add("old");
    FindHolidays(rules, JulianDayFromDate(11, 20, 2024), JulianDayFromDate(1, 5, 2025), names, days);
    ASSERT_EQ(names.GetSize(), 5);
    ASSERT_EQ(days.GetSize(), 5);
    const char* pszNames[] = {"Thanksgiving", "Christmas", "Second", "Eve", "New Year"};
    const DWORD nDays[] = {JulianDayFromDate(11, 28, 2024), JulianDayFromDate(12, 25, 2024),
        JulianDayFromDate(12, 25, 2024), JulianDayFromDate(12, 31, 2024), JulianDayFromDate(1, 1, 2025)};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(names[i], CString(pszNames[i]));
        EXPECT_EQ(std::stoul(std::string(LPCTSTR(days[i]))), nDays[i]);
    }
    FindHolidays(rules, JulianDayFromDate(12, 1, 2024), JulianDayFromDate(12, 24, 2024), names, days);
    EXPECT_EQ(names.GetSize(), 0);
    // A span that is no date gives nothing.
    FindHolidays(rules, 0, 5, names, days);
    EXPECT_EQ(names.GetSize(), 0);
}

// Every holiday line of the list we ship reads, and the rules give the
// dates they stand for.
TEST(HolidaysTest, TheShippedListReadsWhole)
{
    const std::string path = std::string(THREADWICK_SOURCE_DIR) + "/resources/support/holidays.txt";
    const std::string text = testing_support::ReadFileBytes(path);
    ASSERT_FALSE(text.empty());
    size_t nLines = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        if (!line.empty() && line[0] != '#')
            ++nLines;
        start = end + 1;
    }
    const std::vector<HolidayRule> rules = ReadHolidayFile(platform::WindowsPathFor(path).c_str());
    EXPECT_EQ(rules.size(), nLines);
    EXPECT_GE(rules.size(), 10u);
    CStringArray names;
    CStringArray days;
    FindHolidays(rules, JulianDayFromDate(11, 1, 2024), JulianDayFromDate(11, 30, 2024), names, days);
    bool bThanksgiving = false;
    for (int i = 0; i < names.GetSize(); ++i)
        bThanksgiving |= names[i] == CString("Thanksgiving Day")
            && std::stoul(std::string(LPCTSTR(days[i]))) == JulianDayFromDate(11, 28, 2024);
    EXPECT_TRUE(bThanksgiving);
}

TEST(HolidaysTest, TheProgramListIsReadOncePerRun)
{
    const std::string folder = testing_support::MakeTempDir("program");
    std::filesystem::create_directories(folder + "/support");
    testing_support::WriteFileBytes(folder + "/support/holidays.txt", "1 1 First\n");
    platform::SetProgramFolderForTests(folder);
    ResetHolidayRules();
    ASSERT_EQ(GetHolidayRules().size(), 1u);
    testing_support::WriteFileBytes(folder + "/support/holidays.txt", "1 1 First\n2 2 Second\n");
    EXPECT_EQ(GetHolidayRules().size(), 1u);
    ResetHolidayRules();
    EXPECT_EQ(GetHolidayRules().size(), 2u);
    std::filesystem::remove(folder + "/support/holidays.txt");
    ResetHolidayRules();
    EXPECT_TRUE(GetHolidayRules().empty());
    platform::SetProgramFolderForTests("");
    ResetHolidayRules();
}

} // namespace
