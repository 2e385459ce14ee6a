#pragma once
// The clock: tick count, sleeping and the date and time of day, all through
// one replaceable source so that tests can run time-dependent code (splash
// delays, idle waits, "today") without waiting and with a known date.

#include "platform/base/Types.h"

#ifndef INFINITE
#define INFINITE 0xFFFFFFFF
#endif

// Milliseconds from a fixed point in the past; it only goes forward and wraps
// around at 2^32 (about every 49.7 days), so callers subtract tick counts as
// DWORDs.
DWORD GetTickCount();
// Sleeps at least dwMilliseconds; 0 gives up the rest of the time slice.
void Sleep(DWORD dwMilliseconds);
// The local and the UTC date and time; wDayOfWeek 0 is Sunday.
void GetLocalTime(LPSYSTEMTIME lpSystemTime);
void GetSystemTime(LPSYSTEMTIME lpSystemTime);

namespace platform {

// Where the calls above get their answers.
class ClockSource {
public:
    virtual ~ClockSource() = default;
    virtual DWORD TickCount() = 0;
    virtual void Sleep(DWORD milliseconds) = 0;
    virtual SYSTEMTIME LocalTime() = 0;
    virtual SYSTEMTIME SystemTime() = 0;
};

// Installs a source; the caller keeps it alive until ResetClock. Null
// restores the real clock, as ResetClock does.
void SetClockSource(ClockSource* source);
void ResetClock();
// Whether the real clock answers (no source installed).
bool UsingRealClock();

// A clock for tests: ticks and the date stand still until moved. Sleep
// advances the ticks by the time asked for, and each tick-count read can be
// made to advance them too, so that code waiting in a loop on GetTickCount
// finishes. The date and time of day stay as set; the UTC time is the local
// time.
class FakeClock : public ClockSource {
public:
    FakeClock();

    void SetTicks(DWORD ticks) { m_ticks = ticks; }
    void Advance(DWORD milliseconds) { m_ticks += milliseconds; }
    void SetAdvancePerRead(DWORD milliseconds) { m_advancePerRead = milliseconds; }
    void SetLocalTime(const SYSTEMTIME& time) { m_localTime = time; }
    // Sets the date (day of week worked out from it) and the time of day.
    void SetDate(int year, int month, int day, int hour = 12, int minute = 0, int second = 0);
    // The total of all sleeps so far.
    DWORD SleptMilliseconds() const { return m_slept; }

    DWORD TickCount() override;
    void Sleep(DWORD milliseconds) override;
    SYSTEMTIME LocalTime() override { return m_localTime; }
    SYSTEMTIME SystemTime() override { return m_localTime; }

private:
    DWORD m_ticks = 0;
    DWORD m_advancePerRead = 0;
    DWORD m_slept = 0;
    SYSTEMTIME m_localTime {};
};

// 0 Sunday .. 6 Saturday for a date of the proleptic Gregorian calendar.
int DayOfWeek(int year, int month, int day);

} // namespace platform
