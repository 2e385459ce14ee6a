#pragma once
// The holiday list: the holidays a calendar shows in its cells, read from
// the text file support\holidays.txt beside the program, once per run.
//
// The file holds one holiday a line, in Windows-1252 text:
//   # a comment; blank lines are skipped too
//   <month> <day> <name>                  a fixed date:  1 1 New Year's Day
//   <month> <nth> <weekday> <name>        a weekday rule: 11 4th Thu Thanksgiving Day
// month is 1..12; day 1..31 and valid in that month of a leap year (29
// February shows only in leap years); nth is 1st, 2nd, 3rd, 4th, 5th or
// last (a 5th weekday the month lacks shows nothing that year); weekday is
// Mon, Tue, Wed, Thu, Fri, Sat or Sun (any case); the name is the rest of
// the line, 1 to kMaxHolidayName characters. Fields are separated by spaces
// or tabs.
//
// The file comes from outside: a line longer than kMaxHolidayLine, or one
// that does not read as above, is skipped; at most kMaxHolidayLines lines
// are looked at and kMaxHolidays holidays kept. A missing file is an empty
// list.

#include "platform/base/String.h"

#include <vector>

class CStringArray;

constexpr int kMaxHolidayLine = 120;
constexpr int kMaxHolidayName = 48;
constexpr int kMaxHolidayLines = 2000;
constexpr int kMaxHolidays = 200;

// The last occurrence of the weekday in the month (HolidayRule::nOrdinal).
constexpr int kLastWeekday = -1;

struct HolidayRule {
    int nMonth = 0;    // 1..12
    int nDay = 0;      // a fixed date's day; 0 for a weekday rule
    int nOrdinal = 0;  // a weekday rule's 1..5 or kLastWeekday; 0 for a fixed date
    int nWeekday = 0;  // a weekday rule's 1 Monday .. 7 Sunday
    CString strName;
};

// One line of the list as a holiday; FALSE for comments, blank and bad
// lines (the rule is then unchanged).
BOOL ParseHolidayLine(LPCTSTR lpszLine, HolidayRule& rule);

// The day of the month on which the holiday falls in that year; 0 when it
// does not fall in that year.
int HolidayDayInYear(const HolidayRule& rule, int nYear);

// The holidays of a list file (a Windows-form path), bad lines skipped.
std::vector<HolidayRule> ReadHolidayFile(LPCTSTR lpszPath);

// The holidays of support\holidays.txt, read at the first call of a run.
const std::vector<HolidayRule>& GetHolidayRules();
// Forgets the list read, so that the next GetHolidayRules reads the file
// again (tests that move the program folder).
void ResetHolidayRules();

// The holidays falling on the days nFirstDay..nLastDay (day numbers), in
// date order (list order within a day): their names into names and their
// day numbers, as decimal text, into days at the same indexes. At most
// kMaxHolidays are given.
void FindHolidays(const std::vector<HolidayRule>& rules, DWORD nFirstDay, DWORD nLastDay, CStringArray& names,
    CStringArray& days);
