#include "calendar/Holidays.h"

#include "app/JulianDate.h"
#include "app/LineReader.h"
#include "app/Paths.h"
#include "calendar/CalendarLayout.h"
#include "platform/base/StringArray.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

constexpr int kFirstYear = 100;
constexpr int kLastYear = 9999;

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t';
}

// The next field of the line, blanks before it skipped; empty at the end.
std::string_view NextField(std::string_view& rest)
{
    size_t n = 0;
    while (n < rest.size() && IsBlank(rest[n]))
        ++n;
    rest.remove_prefix(n);
    n = 0;
    while (n < rest.size() && !IsBlank(rest[n]))
        ++n;
    const std::string_view field = rest.substr(0, n);
    rest.remove_prefix(n);
    return field;
}

// A number of one or two digits; 0 for anything else.
int SmallNumber(std::string_view field)
{
    if (field.empty() || field.size() > 2)
        return 0;
    int n = 0;
    for (char ch : field) {
        if (ch < '0' || ch > '9')
            return 0;
        n = n * 10 + (ch - '0');
    }
    return n;
}

bool SameWord(std::string_view field, const char* pszWord)
{
    const size_t n = std::strlen(pszWord);
    if (field.size() != n)
        return false;
    for (size_t i = 0; i < n; ++i) {
        char ch = field[i];
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');
        if (ch != pszWord[i])
            return false;
    }
    return true;
}

// 1st .. 5th or last; 0 for anything else.
int Ordinal(std::string_view field)
{
    static constexpr const char* kWords[5] = {"1st", "2nd", "3rd", "4th", "5th"};
    for (int n = 0; n < 5; ++n)
        if (SameWord(field, kWords[n]))
            return n + 1;
    return SameWord(field, "last") ? kLastWeekday : 0;
}

// Mon .. Sun as 1 .. 7; 0 for anything else.
int Weekday(std::string_view field)
{
    static constexpr const char* kWords[7] = {"mon", "tue", "wed", "thu", "fri", "sat", "sun"};
    for (int n = 0; n < 7; ++n)
        if (SameWord(field, kWords[n]))
            return n + 1;
    return 0;
}

// The rest of the line as a name: blanks round it dropped, 1 to
// kMaxHolidayName characters, no control characters.
bool TakeName(std::string_view rest, CString& strName)
{
    while (!rest.empty() && IsBlank(rest.front()))
        rest.remove_prefix(1);
    while (!rest.empty() && IsBlank(rest.back()))
        rest.remove_suffix(1);
    if (rest.empty() || rest.size() > static_cast<size_t>(kMaxHolidayName))
        return false;
    for (char ch : rest)
        if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F)
            return false;
    strName = CString(rest.data(), static_cast<int>(rest.size()));
    return true;
}

} // namespace

BOOL ParseHolidayLine(LPCTSTR lpszLine, HolidayRule& rule)
{
    if (lpszLine == nullptr)
        return FALSE;
    const size_t nLength = ::strnlen(lpszLine, kMaxHolidayLine + 1);
    if (nLength > static_cast<size_t>(kMaxHolidayLine))
        return FALSE;
    std::string_view rest(lpszLine, nLength);
    const std::string_view month = NextField(rest);
    if (month.empty() || month.front() == '#')
        return FALSE;
    HolidayRule parsed;
    parsed.nMonth = SmallNumber(month);
    if (parsed.nMonth < 1 || parsed.nMonth > 12)
        return FALSE;
    const std::string_view second = NextField(rest);
    parsed.nDay = SmallNumber(second);
    if (parsed.nDay != 0) {
        // Any date that exists in a leap year: 29 February is kept.
        if (parsed.nDay > GetDaysInMonth(parsed.nMonth, 2000))
            return FALSE;
    } else {
        parsed.nOrdinal = Ordinal(second);
        parsed.nWeekday = Weekday(NextField(rest));
        if (parsed.nOrdinal == 0 || parsed.nWeekday == 0)
            return FALSE;
    }
    if (!TakeName(rest, parsed.strName))
        return FALSE;
    rule = parsed;
    return TRUE;
}

int HolidayDayInYear(const HolidayRule& rule, int nYear)
{
    if (nYear < kFirstYear || nYear > kLastYear)
        return 0;
    const int nDays = GetDaysInMonth(rule.nMonth, nYear);
    if (nDays == 0)
        return 0;
    if (rule.nOrdinal == 0)
        return rule.nDay >= 1 && rule.nDay <= nDays ? rule.nDay : 0;
    if (rule.nWeekday < 1 || rule.nWeekday > 7)
        return 0;
    const CJulianDate first(JulianDayFromDate(static_cast<WORD>(rule.nMonth), 1, static_cast<WORD>(nYear)));
    if (!first.IsValid())
        return 0;
    const int nFirstMatch = 1 + (rule.nWeekday - first.GetDayOfWeek() + 7) % 7;
    if (rule.nOrdinal == kLastWeekday)
        return nFirstMatch + 7 * ((nDays - nFirstMatch) / 7);
    if (rule.nOrdinal < 1 || rule.nOrdinal > 5)
        return 0;
    const int nDay = nFirstMatch + 7 * (rule.nOrdinal - 1);
    return nDay <= nDays ? nDay : 0;
}

std::vector<HolidayRule> ReadHolidayFile(LPCTSTR lpszPath)
{
    std::vector<HolidayRule> rules;
    CLineReader reader;
    if (!reader.Open(lpszPath))
        return rules;
    CString line;
    for (int n = 0; n < kMaxHolidayLines && static_cast<int>(rules.size()) < kMaxHolidays && reader.ReadLine(line);
         ++n) {
        HolidayRule rule;
        if (ParseHolidayLine(line, rule))
            rules.push_back(rule);
    }
    reader.Close();
    return rules;
}

namespace {

struct HolidayCache {
    bool bRead = false;
    std::vector<HolidayRule> rules;
};

HolidayCache& Cache()
{
    static HolidayCache cache;
    return cache;
}

} // namespace

const std::vector<HolidayRule>& GetHolidayRules()
{
    HolidayCache& cache = Cache();
    if (!cache.bRead) {
        cache.rules = ReadHolidayFile(GetProgramPath("support\\", "holidays.txt"));
        cache.bRead = true;
    }
    return cache.rules;
}

void ResetHolidayRules()
{
    Cache() = HolidayCache();
}

void FindHolidays(const std::vector<HolidayRule>& rules, DWORD nFirstDay, DWORD nLastDay, CStringArray& names,
    CStringArray& days)
{
    names.RemoveAll();
    days.RemoveAll();
    WORD nMonth = 0;
    WORD nDay = 0;
    WORD nFirstYear = 0;
    WORD nLastYear = 0;
    DateFromJulianDay(nFirstDay, nMonth, nDay, nFirstYear);
    DateFromJulianDay(nLastDay, nMonth, nDay, nLastYear);
    if (nFirstYear == 0 || nLastYear < nFirstYear)
        return;
    // A calendar shows at most a year; a longer span would only cost time.
    nLastYear = std::min<WORD>(nLastYear, static_cast<WORD>(nFirstYear + 1));

    struct Found {
        DWORD nDayNumber;
        size_t nRule;
    };
    std::vector<Found> found;
    for (int nYear = nFirstYear; nYear <= nLastYear; ++nYear) {
        for (size_t i = 0; i < rules.size(); ++i) {
            const int nDayOfMonth = HolidayDayInYear(rules[i], nYear);
            if (nDayOfMonth == 0)
                continue;
            const DWORD nDayNumber = JulianDayFromDate(static_cast<WORD>(rules[i].nMonth),
                static_cast<WORD>(nDayOfMonth), static_cast<WORD>(nYear));
            if (nDayNumber >= nFirstDay && nDayNumber <= nLastDay)
                found.push_back({nDayNumber, i});
        }
    }
    std::stable_sort(
        found.begin(), found.end(), [](const Found& a, const Found& b) { return a.nDayNumber < b.nDayNumber; });
    for (size_t i = 0; i < found.size() && i < static_cast<size_t>(kMaxHolidays); ++i) {
        char buffer[16];
        std::snprintf(buffer, sizeof(buffer), "%lu", static_cast<unsigned long>(found[i].nDayNumber));
        names.Add(rules[found[i].nRule].strName);
        days.Add(CString(buffer));
    }
}
