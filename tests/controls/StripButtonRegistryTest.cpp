// The timed-event registry that drives the strip buttons: one timer on the
// main window for any number of records, ticks only to flagged windows,
// word lists bounded by the record, and the timer stopping with the last
// record, also when buttons are destroyed.

#include "controls/BMPButton.h"
#include "controls/TimedEventRegistry.h"

#include "platform/base/Clock.h"
#include "platform/files/FileSystem.h"
#include "platform/framework/WinApp.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "tests/framework/FrameworkTestSupport.h"
#include "tests/pictures/PictureFiles.h"
#include "tests/support/TestHome.h"

#include <memory>
#include <vector>

namespace {

// A window that counts the ticks it gets.
class TickCounter : public CWnd {
public:
    int ticks = 0;
    bool destroyOnTick = false;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_TIMEDEVENT_TICK) {
            ++ticks;
            if (destroyOnTick)
                DestroyWindow();
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class StripButtonRegistryTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        platform::InitFileSystem();
        platform::SetClockSource(&m_clock);
        theTimedEvents.Reset();
        MakeApp();
        ASSERT_TRUE(m_main.CreateEx(0, AfxDefaultWndClass(), "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, NULL, NULL));
        App()->m_pMainWnd = &m_main;
    }
    void TearDown() override
    {
        m_counters.clear();
        App()->m_pMainWnd = nullptr;
        FrameworkTest::TearDown();
        theTimedEvents.Reset();
    }

    TickCounter* MakeCounter()
    {
        auto counter = std::make_unique<TickCounter>();
        EXPECT_TRUE(counter->Create(AfxDefaultWndClass(), "", WS_CHILD, CRect(0, 0, 5, 5), &m_main, 0));
        m_counters.push_back(std::move(counter));
        return m_counters.back().get();
    }

    // Lets the clock run past one timer period and dispatches what is due.
    void RunOnePeriod()
    {
        m_clock.Advance(CTimedEventRegistry::kTimerPeriod);
        Pump();
    }

    platform::FakeClock m_clock;
    CWnd m_main;
    std::vector<std::unique_ptr<TickCounter>> m_counters;
};

TEST_F(StripButtonRegistryTest, OneTimerTicksEveryFlaggedWindow)
{
    TickCounter* a = MakeCounter();
    TickCounter* b = MakeCounter();
    TickCounter* unflagged = MakeCounter();
    const WORD word = 1;
    ASSERT_EQ(1, theTimedEvents.AddEvent(a->m_hWnd, 1, 1, &word));
    theTimedEvents.SetEventFlag(a->m_hWnd, 1);
    EXPECT_EQ(CTimedEventRegistry::kTimerId, theTimedEvents.GetTimerId());
    EXPECT_EQ(m_main.m_hWnd, theTimedEvents.GetTimerWindow());
    // Records added later join the running timer rather than restart it:
    // the first tick still comes one period after the first record.
    m_clock.Advance(60);
    Pump();
    ASSERT_EQ(1, theTimedEvents.AddEvent(b->m_hWnd, 1, 1, &word));
    ASSERT_EQ(1, theTimedEvents.AddEvent(unflagged->m_hWnd, 1, 1, &word));
    theTimedEvents.SetEventFlag(b->m_hWnd, 1);
    EXPECT_EQ(3, theTimedEvents.GetCount());
    m_clock.Advance(40);
    Pump();
    EXPECT_EQ(1, a->ticks);
    EXPECT_EQ(1, b->ticks);

    for (int i = 0; i < 2; ++i)
        RunOnePeriod();
    EXPECT_EQ(3, a->ticks);
    EXPECT_EQ(3, b->ticks);
    EXPECT_EQ(0, unflagged->ticks);

    // Adding the same window and id again replaces its record (unflagged).
    ASSERT_EQ(1, theTimedEvents.AddEvent(a->m_hWnd, 1, 0, nullptr));
    EXPECT_EQ(3, theTimedEvents.GetCount());
    RunOnePeriod();
    EXPECT_EQ(3, a->ticks);
    EXPECT_EQ(4, b->ticks);

    // The timer runs until the last record goes.
    theTimedEvents.RemoveEvent(a->m_hWnd, 1);
    theTimedEvents.RemoveEvent(b->m_hWnd, 1);
    EXPECT_EQ(CTimedEventRegistry::kTimerId, theTimedEvents.GetTimerId());
    theTimedEvents.RemoveEvent(unflagged->m_hWnd, 1);
    EXPECT_EQ(0u, theTimedEvents.GetTimerId());
    EXPECT_FALSE(::KillTimer(m_main.m_hWnd, CTimedEventRegistry::kTimerId));
}

TEST_F(StripButtonRegistryTest, WordListsLongerThanTheRecordAreRefused)
{
    TickCounter* a = MakeCounter();
    std::vector<WORD> words(CTimedEventRegistry::kMaxWords + 1);
    for (size_t i = 0; i < words.size(); ++i)
        words[i] = WORD(100 + i);
    EXPECT_EQ(0, theTimedEvents.AddEvent(a->m_hWnd, 7, CTimedEventRegistry::kMaxWords + 1, words.data()));
    EXPECT_EQ(0, theTimedEvents.AddEvent(a->m_hWnd, 7, -1, words.data()));
    EXPECT_EQ(0, theTimedEvents.AddEvent(a->m_hWnd, 7, 2, nullptr));
    EXPECT_EQ(0, theTimedEvents.GetCount());
    EXPECT_EQ(0u, theTimedEvents.GetTimerId());

    ASSERT_EQ(1, theTimedEvents.AddEvent(a->m_hWnd, 7, CTimedEventRegistry::kMaxWords, words.data()));
    const CTimedEventRegistry::Record* pRecord = theTimedEvents.FindEvent(a->m_hWnd, 7);
    ASSERT_NE(nullptr, pRecord);
    EXPECT_EQ(CTimedEventRegistry::kMaxWords, pRecord->wWordCount);
    EXPECT_EQ(100, pRecord->words[0]);
    EXPECT_EQ(100 + CTimedEventRegistry::kMaxWords - 1, pRecord->words[CTimedEventRegistry::kMaxWords - 1]);
    EXPECT_EQ(0, pRecord->wFlag);
}

TEST_F(StripButtonRegistryTest, WindowsGoneOrGoingAreSkipped)
{
    TickCounter* a = MakeCounter();
    TickCounter* b = MakeCounter();
    TickCounter* c = MakeCounter();
    for (TickCounter* p : {a, b, c}) {
        ASSERT_EQ(1, theTimedEvents.AddEvent(p->m_hWnd, 1, 0, nullptr));
        theTimedEvents.SetEventFlag(p->m_hWnd, 1);
    }
    // b is destroyed by its first tick, c without leaving the registry.
    b->destroyOnTick = true;
    c->DestroyWindow();
    RunOnePeriod();
    RunOnePeriod();
    EXPECT_EQ(2, a->ticks);
    EXPECT_EQ(1, b->ticks);
    EXPECT_EQ(0, c->ticks);
}

TEST_F(StripButtonRegistryTest, ButtonsShareTheTimerAndStopItWhenTheLastGoes)
{
    const std::string folder = testing_support::MakeTempDir("registry-strips");
    picture_files::Raster strip(20, 40, RGB(0, 128, 0));
    const std::string path = picture_files::WriteBmp(strip, folder + "/strip.bmp");
    std::vector<std::unique_ptr<CBMPButton>> buttons;
    for (int i = 0; i < 3; ++i) {
        auto button = std::make_unique<CBMPButton>();
        ASSERT_TRUE(button->Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(10 + 30 * i, 10, 20, 20), &m_main,
            600 + i));
        ASSERT_EQ(1, button->LoadFromFile(4, "", path.c_str(), FALSE, 0, 0, 0));
        const CTimedEventRegistry::Record* pRecord = theTimedEvents.FindEvent(button->m_hWnd, CBMPButton::kEventId);
        ASSERT_NE(nullptr, pRecord);
        EXPECT_EQ(1, pRecord->wFlag);
        EXPECT_EQ(1, pRecord->wWordCount);
        EXPECT_EQ(1, pRecord->words[0]);
        buttons.push_back(std::move(button));
    }
    EXPECT_EQ(3, theTimedEvents.GetCount());
    EXPECT_EQ(CTimedEventRegistry::kTimerId, theTimedEvents.GetTimerId());

    // The timer's ticks reach the buttons: a checked radio button left by
    // the pointer plays nothing, an unchecked one returns to normal.
    buttons[0]->SetCheck(FALSE);
    RunOnePeriod();
    EXPECT_EQ(CBMPButton::stateNormal, buttons[0]->m_nState);

    buttons[0]->DestroyWindow();
    buttons[1]->DestroyWindow();
    EXPECT_EQ(1, theTimedEvents.GetCount());
    EXPECT_EQ(CTimedEventRegistry::kTimerId, theTimedEvents.GetTimerId());
    buttons[2]->DestroyWindow();
    EXPECT_EQ(0, theTimedEvents.GetCount());
    EXPECT_EQ(0u, theTimedEvents.GetTimerId());
    EXPECT_FALSE(::KillTimer(m_main.m_hWnd, CTimedEventRegistry::kTimerId));
}

TEST_F(StripButtonRegistryTest, WithoutAMainWindowTheTimerIsTheThreads)
{
    App()->m_pMainWnd = nullptr;
    TickCounter* a = MakeCounter();
    ASSERT_EQ(1, theTimedEvents.AddEvent(a->m_hWnd, 1, 0, nullptr));
    theTimedEvents.SetEventFlag(a->m_hWnd, 1);
    EXPECT_EQ(HWND(NULL), theTimedEvents.GetTimerWindow());
    EXPECT_NE(0u, theTimedEvents.GetTimerId());
    RunOnePeriod();
    EXPECT_EQ(1, a->ticks);
    theTimedEvents.RemoveEvent(a->m_hWnd, 1);
    EXPECT_EQ(0u, theTimedEvents.GetTimerId());
}

} // namespace
