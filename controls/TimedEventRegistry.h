#pragma once
// CTimedEventRegistry: the program's list of windows that want timed events
// (the strip buttons' animation ticks). One instance, theTimedEvents, lives
// for the whole run and owns its records.
//
// While at least one record exists a timer (kTimerId, every kTimerPeriod ms)
// runs on the application's main window (a thread timer when there is
// none); each of its ticks sends WM_TIMEDEVENT_TICK to every registered
// window whose flag is set, with the event id as wParam. The timer stops
// when the last record goes. A window destroyed without removing its record
// is passed over. A record holds at most kMaxWords words: a longer list is
// refused.

#include "platform/base/Types.h"

#include <memory>
#include <vector>

// Sent by the registry's timer to each flagged window; wParam the event id.
#define WM_TIMEDEVENT_TICK 0x06F7

class CTimedEventRegistry {
public:
    static constexpr UINT_PTR kTimerId = 9999;
    static constexpr UINT kTimerPeriod = 100;
    static constexpr int kMaxWords = 19;

    struct Record {
        HWND hWnd = NULL;
        WORD wEventId = 0;
        WORD wFlag = 0; // 1 once SetEventFlag has run
        WORD wWordCount = 0;
        WORD words[kMaxWords]{};
    };

    CTimedEventRegistry() = default;
    ~CTimedEventRegistry();
    CTimedEventRegistry(const CTimedEventRegistry&) = delete;
    CTimedEventRegistry& operator=(const CTimedEventRegistry&) = delete;

    // Replaces any record of the same window and id. 1 when added; 0 when
    // the word count is above kMaxWords (or the words are missing) or the
    // timer cannot be started.
    int AddEvent(HWND hWnd, WORD wEventId, int nWordCount, const WORD* pWords);
    // Removes the first record of that window and id; the last one gone
    // stops the timer.
    void RemoveEvent(HWND hWnd, WORD wEventId);
    // Sets the flag of the record of that window and id, so that it ticks.
    void SetEventFlag(HWND hWnd, WORD wEventId);

    // The record of that window and id, or null.
    const Record* FindEvent(HWND hWnd, WORD wEventId) const;
    int GetCount() const { return int(m_records.size()); }
    // The timer now running (0 when none) and the window it runs on.
    UINT_PTR GetTimerId() const { return m_nTimerId; }
    HWND GetTimerWindow() const { return m_hTimerWnd; }

    // One tick: WM_TIMEDEVENT_TICK to every flagged window.
    void Tick();

    // Back to no records and no timer (between tests).
    void Reset();

private:
    static void CALLBACK OnTimer(HWND hWnd, UINT message, UINT_PTR nIDEvent, DWORD dwTime);
    void EraseEvent(HWND hWnd, WORD wEventId);
    void StopTimer();

    UINT_PTR m_nTimerId = 0;
    HWND m_hTimerWnd = NULL;
    std::vector<std::unique_ptr<Record>> m_records;
};

extern CTimedEventRegistry theTimedEvents;
