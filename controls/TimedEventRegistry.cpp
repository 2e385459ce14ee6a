#include "controls/TimedEventRegistry.h"

#include "platform/framework/WinApp.h"
#include "platform/framework/Wnd.h"
#include "platform/ui/User.h"

#include <algorithm>

CTimedEventRegistry theTimedEvents;

CTimedEventRegistry::~CTimedEventRegistry()
{
    m_records.clear();
    StopTimer();
}

int CTimedEventRegistry::AddEvent(HWND hWnd, WORD wEventId, int nWordCount, const WORD* pWords)
{
    // The record has room for kMaxWords words; a longer list would be
    // copied past its end.
    if (nWordCount < 0 || nWordCount > kMaxWords || (nWordCount > 0 && pWords == nullptr))
        return 0;
    // The record replaced leaves the timer running for the new one.
    EraseEvent(hWnd, wEventId);

    auto record = std::make_unique<Record>();
    record->hWnd = hWnd;
    record->wEventId = wEventId;
    record->wWordCount = WORD(nWordCount);
    std::copy(pWords, pWords + nWordCount, record->words);

    // A timer whose window has gone went with it.
    if (m_nTimerId != 0 && m_hTimerWnd != NULL && !::IsWindow(m_hTimerWnd)) {
        m_nTimerId = 0;
        m_hTimerWnd = NULL;
    }
    if (m_nTimerId == 0) {
        CWnd* pMain = AfxGetMainWnd();
        HWND hMain = pMain ? pMain->GetSafeHwnd() : NULL;
        UINT_PTR nId = ::SetTimer(hMain, kTimerId, kTimerPeriod, &CTimedEventRegistry::OnTimer);
        if (nId == 0)
            return 0;
        m_nTimerId = nId;
        m_hTimerWnd = hMain;
    }
    m_records.push_back(std::move(record));
    return 1;
}

void CTimedEventRegistry::RemoveEvent(HWND hWnd, WORD wEventId)
{
    EraseEvent(hWnd, wEventId);
    if (m_records.empty())
        StopTimer();
}

void CTimedEventRegistry::EraseEvent(HWND hWnd, WORD wEventId)
{
    auto it = std::find_if(m_records.begin(), m_records.end(),
        [&](const std::unique_ptr<Record>& r) { return r->hWnd == hWnd && r->wEventId == wEventId; });
    if (it != m_records.end())
        m_records.erase(it);
}

void CTimedEventRegistry::SetEventFlag(HWND hWnd, WORD wEventId)
{
    for (const std::unique_ptr<Record>& r : m_records) {
        if (r->hWnd == hWnd && r->wEventId == wEventId) {
            r->wFlag = 1;
            return;
        }
    }
}

const CTimedEventRegistry::Record* CTimedEventRegistry::FindEvent(HWND hWnd, WORD wEventId) const
{
    for (const std::unique_ptr<Record>& r : m_records) {
        if (r->hWnd == hWnd && r->wEventId == wEventId)
            return r.get();
    }
    return nullptr;
}

void CTimedEventRegistry::Tick()
{
    // A window may remove records (its own or others') or be destroyed while
    // it handles its tick: the windows to tick are taken first, and each is
    // checked again before it gets its message.
    struct Target {
        HWND hWnd;
        WORD wEventId;
    };
    std::vector<Target> targets;
    for (const std::unique_ptr<Record>& r : m_records) {
        if (r->wFlag != 0)
            targets.push_back(Target{r->hWnd, r->wEventId});
    }
    for (const Target& t : targets) {
        const Record* pRecord = FindEvent(t.hWnd, t.wEventId);
        if (pRecord != nullptr && pRecord->wFlag != 0 && ::IsWindow(t.hWnd))
            ::SendMessage(t.hWnd, WM_TIMEDEVENT_TICK, WPARAM(t.wEventId), 0);
    }
}

void CTimedEventRegistry::Reset()
{
    m_records.clear();
    StopTimer();
}

void CALLBACK CTimedEventRegistry::OnTimer(HWND hWnd, UINT message, UINT_PTR nIDEvent, DWORD dwTime)
{
    (void)hWnd;
    (void)message;
    (void)dwTime;
    if (nIDEvent == theTimedEvents.m_nTimerId)
        theTimedEvents.Tick();
}

void CTimedEventRegistry::StopTimer()
{
    if (m_nTimerId == 0)
        return;
    ::KillTimer(m_hTimerWnd, m_nTimerId);
    m_nTimerId = 0;
    m_hTimerWnd = NULL;
}
