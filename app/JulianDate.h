#pragma once
// CJulianDate: a date as one day number on the Julian Day Number scale
// (2000-01-01 is 2451545), so that differences and weekdays are integer
// arithmetic. The Gregorian calendar is used for every date. Day number 0
// means "no valid date"; every conversion that cannot give a real date gives
// 0, or the parts 0/0/0, rather than a made-up value.

#include "platform/base/String.h"

class CJulianDate {
public:
    CJulianDate()
        : m_nDay(0)
    {
    }
    explicit CJulianDate(DWORD nDayNumber)
        : m_nDay(nDayNumber)
    {
    }
    // Two-digit years are placed within 50 years of today's year.
    CJulianDate(WORD nMonth, WORD nDay, WORD nYear);

    void SetToday();
    DWORD GetDayNumber() const { return m_nDay; }
    BOOL IsValid() const { return m_nDay != 0; }

    WORD GetMonth() const;
    WORD GetDay() const;
    WORD GetYear() const;
    // 1 Monday .. 7 Sunday; 0 for no valid date.
    WORD GetDayOfWeek() const;

private:
    DWORD m_nDay;
};

// Today's day number kept between readings of the local time: a reading
// taken at a tick count holds until the tick count reaches the next local
// midnight (at most a minute, so that a changed clock or time zone shows
// soon), then the time is read again. One per thread; SetToday keeps one
// for the real clock, which counts its ticks from a steady source. A
// reading that gives no valid date is not kept.
class CTodayCache {
public:
    // Today at nTicks (GetTickCount's count), reading the local time through
    // read() (a SYSTEMTIME) only when the kept day may have ended.
    template <class ReadLocalTime>
    DWORD DayAt(DWORD nTicks, ReadLocalTime read)
    {
        if (m_nSpan != 0 && nTicks - m_nTicks < m_nSpan)
            return m_nDay;
        Remember(read(), nTicks);
        return m_nDay;
    }
    void Reset() { m_nSpan = 0; }

    static constexpr DWORD kMaxSpan = 60 * 1000; // milliseconds

private:
    void Remember(const SYSTEMTIME& now, DWORD nTicks);

    DWORD m_nDay = 0;
    DWORD m_nTicks = 0;
    DWORD m_nSpan = 0; // milliseconds the day is kept from m_nTicks; 0 none
};

// The day number of a date; 0 for a date that does not exist. Years up to 99
// are two-digit years, windowed around today's year.
DWORD JulianDayFromDate(WORD nMonth, WORD nDay, WORD nYear);
BOOL IsLeapYear(WORD nYear);
BOOL IsValidDate(WORD nMonth, WORD nDay, WORD nYear);
// The date of a day number; 0/0/0 for 0, for days before 1 March of year 0
// and for days whose year does not fit in 16 bits.
void DateFromJulianDay(DWORD nDayNumber, WORD& nMonth, WORD& nDay, WORD& nYear);

// The locale's name of weekday 1 (Monday) .. 7 (Sunday) or month 1 .. 12,
// full or short; empty outside the range or when the locale gives none.
CString GetWeekdayName(int nWeekday, BOOL bShort);
CString GetMonthName(int nMonth, BOOL bShort);
