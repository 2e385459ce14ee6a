#include "app/JulianDate.h"

#include "platform/base/Clock.h"
#include "platform/base/DateFormat.h"

#include <algorithm>

namespace {

constexpr DWORD kMarchFirstYearZero = 1721119; // day before 1 March of year 0
const WORD kDaysInMonth[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Two-digit years fall within 50 years of today's year: in 2026, 99 means
// 1999 and 76 means 2076.
int CompleteYear(int year)
{
    if (year > 99)
        return year;
    SYSTEMTIME now;
    GetLocalTime(&now);
    int century = now.wYear / 100 * 100;
    int twoDigits = now.wYear - century;
    int diff = twoDigits - year;
    if (diff > 50 || diff < -50)
        century += twoDigits > year ? 100 : -100;
    return year + century;
}

CString FormatDate(WORD year, WORD month, WORD day, LPCSTR picture)
{
    SYSTEMTIME st{};
    st.wYear = year;
    st.wMonth = month;
    st.wDay = day;
    char buffer[30];
    if (GetDateFormat(LOCALE_USER_DEFAULT, 0, &st, picture, buffer, sizeof(buffer)) == 0)
        return CString();
    return CString(buffer);
}

} // namespace

BOOL IsLeapYear(WORD nYear)
{
    return (nYear % 4 == 0 && nYear % 100 != 0) || nYear % 400 == 0;
}

BOOL IsValidDate(WORD nMonth, WORD nDay, WORD nYear)
{
    if (nDay < 1 || nMonth < 1 || nMonth > 12)
        return FALSE;
    WORD length = kDaysInMonth[nMonth];
    if (nMonth == 2 && IsLeapYear(nYear))
        length = 29;
    return nDay <= length;
}

DWORD JulianDayFromDate(WORD nMonth, WORD nDay, WORD nYear)
{
    int year = CompleteYear(nYear);
    if (year > 0xFFFF || !IsValidDate(nMonth, nDay, static_cast<WORD>(year)))
        return 0;
    DWORD m = nMonth;
    DWORD y = static_cast<DWORD>(year);
    if (m < 3) {
        // January and February count as the 11th and 12th months of the
        // previous year; year 0 has no previous year in unsigned arithmetic.
        if (y == 0)
            return 0;
        m += 9;
        y -= 1;
    } else {
        m -= 3;
    }
    DWORD c = y / 100;
    DWORD a = y - 100 * c;
    return (146097 * c) / 4 + (1461 * a) / 4 + (153 * m + 2) / 5 + nDay + kMarchFirstYearZero;
}

void DateFromJulianDay(DWORD nDayNumber, WORD& nMonth, WORD& nDay, WORD& nYear)
{
    nMonth = nDay = nYear = 0;
    if (nDayNumber <= kMarchFirstYearZero)
        return;
    // 64-bit intermediates: 4 x the day count overflows 32 bits for the
    // largest day numbers.
    uint64_t j = 4 * static_cast<uint64_t>(nDayNumber - kMarchFirstYearZero) - 1;
    uint64_t c = j / 146097;
    j = (j - 146097 * c) & ~uint64_t(3);
    uint64_t a = (j + 3) / 1461;
    uint64_t k = ((j - 1461 * a + 7) / 4) * 5;
    uint64_t m = (k - 3) / 153;
    uint64_t day = (k - 153 * m + 2) / 5;
    uint64_t year = 100 * c + a;
    if (m >= 10) {
        m -= 9;
        year += 1;
    } else {
        m += 3;
    }
    if (year > 0xFFFF)
        return;
    nMonth = static_cast<WORD>(m);
    nDay = static_cast<WORD>(day);
    nYear = static_cast<WORD>(year);
}

CJulianDate::CJulianDate(WORD nMonth, WORD nDay, WORD nYear)
    : m_nDay(JulianDayFromDate(nMonth, nDay, nYear))
{
}

void CTodayCache::Remember(const SYSTEMTIME& now, DWORD nTicks)
{
    m_nDay = JulianDayFromDate(now.wMonth, now.wDay, now.wYear);
    m_nTicks = nTicks;
    m_nSpan = 0;
    if (m_nDay == 0 || now.wHour > 23 || now.wMinute > 59 || now.wSecond > 59 || now.wMilliseconds > 999)
        return;
    const DWORD nSinceMidnight = ((DWORD(now.wHour) * 60 + now.wMinute) * 60 + now.wSecond) * 1000 + now.wMilliseconds;
    // The ticks were counted before the time was read and count whole
    // milliseconds: one millisecond less keeps the day from outliving it.
    const DWORD nLeft = 24 * 60 * 60 * 1000 - nSinceMidnight;
    m_nSpan = std::min(nLeft > 1 ? nLeft - 1 : 0, kMaxSpan);
}

void CJulianDate::SetToday()
{
    // A design of a thousand objects asks for today a thousand times while
    // it loads; each reading of the local time is a time-zone conversion.
    // An installed clock (tests) is asked every time, as its date may be
    // set at any moment.
    if (platform::UsingRealClock()) {
        thread_local CTodayCache cache;
        const DWORD nTicks = GetTickCount();
        m_nDay = cache.DayAt(nTicks, [] {
            SYSTEMTIME now;
            GetLocalTime(&now);
            return now;
        });
        return;
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    m_nDay = JulianDayFromDate(now.wMonth, now.wDay, now.wYear);
}

WORD CJulianDate::GetMonth() const
{
    WORD m, d, y;
    DateFromJulianDay(m_nDay, m, d, y);
    return m;
}

WORD CJulianDate::GetDay() const
{
    WORD m, d, y;
    DateFromJulianDay(m_nDay, m, d, y);
    return d;
}

WORD CJulianDate::GetYear() const
{
    WORD m, d, y;
    DateFromJulianDay(m_nDay, m, d, y);
    return y;
}

WORD CJulianDate::GetDayOfWeek() const
{
    if (m_nDay == 0)
        return 0;
    return static_cast<WORD>(((m_nDay + 1) % 7 + 6) % 7 + 1);
}

CString GetWeekdayName(int nWeekday, BOOL bShort)
{
    if (nWeekday < 1 || nWeekday > 7)
        return CString();
    // Format a real date of that weekday in the current week, so that the
    // locale's own calendar gives the name.
    CJulianDate today;
    today.SetToday();
    if (!today.IsValid())
        return CString();
    DWORD day = today.GetDayNumber() - today.GetDayOfWeek() + static_cast<DWORD>(nWeekday);
    WORD m, d, y;
    DateFromJulianDay(day, m, d, y);
    if (m == 0)
        return CString();
    return FormatDate(y, m, d, bShort ? "ddd" : "dddd");
}

CString GetMonthName(int nMonth, BOOL bShort)
{
    if (nMonth < 1 || nMonth > 12)
        return CString();
    return FormatDate(2000, static_cast<WORD>(nMonth), 1, bShort ? "MMM" : "MMMM");
}
