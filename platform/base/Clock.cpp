#include "platform/base/Clock.h"

#include <atomic>
#include <cerrno>
#include <ctime>
#include <sched.h>
#include <unistd.h>

namespace {

SYSTEMTIME ToSystemTime(const std::tm& tm, long nanoseconds)
{
    SYSTEMTIME st;
    st.wYear = WORD(tm.tm_year + 1900);
    st.wMonth = WORD(tm.tm_mon + 1);
    st.wDayOfWeek = WORD(tm.tm_wday);
    st.wDay = WORD(tm.tm_mday);
    st.wHour = WORD(tm.tm_hour);
    st.wMinute = WORD(tm.tm_min);
    // A leap second shows as 59.999 rather than 60, which SYSTEMTIME cannot hold.
    st.wSecond = WORD(tm.tm_sec > 59 ? 59 : tm.tm_sec);
    st.wMilliseconds = WORD(tm.tm_sec > 59 ? 999 : nanoseconds / 1000000);
    return st;
}

class RealClock final : public platform::ClockSource {
public:
    DWORD TickCount() override
    {
        timespec ts {};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        uint64_t ms = uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec) / 1000000u;
        return DWORD(ms);
    }

    void Sleep(DWORD milliseconds) override
    {
        if (milliseconds == 0) {
            sched_yield();
            return;
        }
        if (milliseconds == INFINITE) {
            for (;;)
                pause();
        }
        timespec request { time_t(milliseconds / 1000), long(milliseconds % 1000) * 1000000L };
        timespec remaining {};
        while (nanosleep(&request, &remaining) != 0 && errno == EINTR)
            request = remaining;
    }

    SYSTEMTIME LocalTime() override
    {
        timespec ts {};
        clock_gettime(CLOCK_REALTIME, &ts);
        std::tm tm {};
        localtime_r(&ts.tv_sec, &tm);
        return ToSystemTime(tm, ts.tv_nsec);
    }

    SYSTEMTIME SystemTime() override
    {
        timespec ts {};
        clock_gettime(CLOCK_REALTIME, &ts);
        std::tm tm {};
        gmtime_r(&ts.tv_sec, &tm);
        return ToSystemTime(tm, ts.tv_nsec);
    }
};

RealClock g_realClock;
std::atomic<platform::ClockSource*> g_source { &g_realClock };

} // namespace

DWORD GetTickCount()
{
    return g_source.load()->TickCount();
}

void Sleep(DWORD dwMilliseconds)
{
    g_source.load()->Sleep(dwMilliseconds);
}

void GetLocalTime(LPSYSTEMTIME lpSystemTime)
{
    if (lpSystemTime)
        *lpSystemTime = g_source.load()->LocalTime();
}

void GetSystemTime(LPSYSTEMTIME lpSystemTime)
{
    if (lpSystemTime)
        *lpSystemTime = g_source.load()->SystemTime();
}

namespace platform {

void SetClockSource(ClockSource* source)
{
    g_source.store(source ? source : &g_realClock);
}

void ResetClock()
{
    g_source.store(&g_realClock);
}

bool UsingRealClock()
{
    return g_source.load() == &g_realClock;
}

int DayOfWeek(int year, int month, int day)
{
    // Days from 1 March of year 0, with the year starting in March so the
    // leap day falls at its end; day 0 of that count was a Wednesday.
    int y = month < 3 ? year - 1 : year;
    int m = month < 3 ? month + 9 : month - 3;
    long era = (y >= 0 ? y : y - 399) / 400;
    long yearOfEra = y - era * 400;
    long dayOfYear = (153 * m + 2) / 5 + day - 1;
    long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    long days = era * 146097 + dayOfEra;
    long weekday = (days + 3) % 7;
    return int(weekday < 0 ? weekday + 7 : weekday);
}

FakeClock::FakeClock()
{
    SetDate(2000, 1, 1);
}

void FakeClock::SetDate(int year, int month, int day, int hour, int minute, int second)
{
    m_localTime.wYear = WORD(year);
    m_localTime.wMonth = WORD(month);
    m_localTime.wDay = WORD(day);
    m_localTime.wDayOfWeek = WORD(DayOfWeek(year, month, day));
    m_localTime.wHour = WORD(hour);
    m_localTime.wMinute = WORD(minute);
    m_localTime.wSecond = WORD(second);
    m_localTime.wMilliseconds = 0;
}

DWORD FakeClock::TickCount()
{
    DWORD ticks = m_ticks;
    m_ticks += m_advancePerRead;
    return ticks;
}

void FakeClock::Sleep(DWORD milliseconds)
{
    m_ticks += milliseconds;
    m_slept += milliseconds;
}

} // namespace platform
