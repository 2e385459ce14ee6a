// A new calendar design's calendar: this month's month calendar inside the
// printable area of the current view, selected there once the view's
// message arrives.

#include "tests/model/ModelTestSupport.h"

#include "app/JulianDate.h"
#include "app/main/AppMessages.h"
#include "platform/base/Clock.h"

namespace {

class NewCalendarTest : public modeltest::WindowModelTest {
protected:
    void SetUp() override
    {
        WindowModelTest::SetUp();
        // A Monday: the record's own default start would be the 7th.
        m_clock.SetDate(2026, 12, 7);
        platform::SetClockSource(&m_clock);
    }

    platform::FakeClock m_clock;
};

TEST_F(NewCalendarTest, ThisMonthsCalendarIsAddedAndSelectedInTheView)
{
    auto* pDoc = dynamic_cast<CCalendarDoc*>(NewDesign(RUNTIME_CLASS(CCalendarDoc)));
    ASSERT_NE(pDoc, nullptr);
    CSurface* pView = ViewOf(pDoc, 0);
    ASSERT_NE(pView, nullptr);
    ASSERT_EQ(CountObjects(pView), 0);

    ASSERT_TRUE(pDoc->AddNewCalendar());
    ASSERT_EQ(CountObjects(pView), 1);
    auto* pCalendar = dynamic_cast<CDrawRect*>(pView->GetObjects().GetHead());
    ASSERT_NE(pCalendar, nullptr);
    EXPECT_TRUE(pCalendar->IsCalendar());
    EXPECT_EQ(pCalendar->m_nCalendarStart, static_cast<LONG>(JulianDayFromDate(12, 1, 2026)));
    EXPECT_EQ(pCalendar->m_nCalendarWords[1], CALENDAR_MONTH);
    EXPECT_EQ(pCalendar->m_nCalendarWords[3], 7);
    EXPECT_EQ(pCalendar->m_pDocument, pDoc);
    EXPECT_EQ(pCalendar->m_pSurface, pView);

    // Inside the printable area by the margin, y up.
    const CRect page = pView->GetPageRect();
    const CRect& margins = pDoc->m_rectMargins;
    const int m = CCalendarDoc::kNewCalendarMargin;
    EXPECT_EQ(pCalendar->m_position, CRect(page.left + margins.left + m, page.top - margins.top - m,
                                         page.right - margins.right - m, page.bottom + margins.bottom + m));
    EXPECT_GT(pCalendar->m_position.top, pCalendar->m_position.bottom);

    // Selected once the view has its message.
    EXPECT_EQ(pView->GetFirstSelected(), nullptr);
    Pump();
    EXPECT_EQ(pView->GetFirstSelected(), pCalendar);
    EXPECT_EQ(pView->GetSelection().GetCount(), 1);
}

TEST_F(NewCalendarTest, SmallPagesKeepTheCalendarOnThePage)
{
    auto* pDoc = dynamic_cast<CCalendarDoc*>(NewDesign(RUNTIME_CLASS(CCalendarDoc)));
    ASSERT_NE(pDoc, nullptr);
    CSurface* pView = ViewOf(pDoc, 0);
    ASSERT_NE(pView, nullptr);
    pDoc->m_rectMargins = CRect(25, 25, 25, 25);
    struct Case {
        CSize page;
        CRect expected;
    };
    const Case cases[] = {
        // No room for the margin: the printable part.
        {CSize(120, 100), CRect(-35, 25, 35, -25)},
        // Not even for the printer's margins: the page.
        {CSize(40, 30), CRect(-20, 15, 20, -15)},
    };
    for (const Case& c : cases) {
        pView->SetPageSize(c.page);
        ASSERT_TRUE(pDoc->AddNewCalendar());
        auto* pCalendar = static_cast<CDrawRect*>(pView->GetObjects().GetTail());
        EXPECT_EQ(pCalendar->m_position, c.expected) << c.page.cx;
    }
}

TEST_F(NewCalendarTest, ADocumentWithoutAViewGetsNoCalendar)
{
    std::unique_ptr<CCalendarDoc> pDoc = modeltest::MakeDoc<CCalendarDoc>();
    EXPECT_FALSE(pDoc->AddNewCalendar());
}

TEST_F(NewCalendarTest, TheViewIgnoresAMessageForAnObjectItDoesNotHold)
{
    CDrawDoc* pDoc = NewDesign(RUNTIME_CLASS(CCalendarDoc));
    ASSERT_NE(pDoc, nullptr);
    CSurface* pView = ViewOf(pDoc, 0);
    ASSERT_NE(pView, nullptr);
    CDrawRect stranger(CRect(0, 100, 100, 0));
    stranger.m_nCalendarStart = 2460432;
    EXPECT_EQ(::SendMessage(pView->m_hWnd, WM_TW_NEW_CALENDAR_ITEM, 0, reinterpret_cast<LPARAM>(&stranger)), 0);
    EXPECT_EQ(::SendMessage(pView->m_hWnd, WM_TW_NEW_CALENDAR_ITEM, 0, 0), 0);
    EXPECT_EQ(CountObjects(pView), 0);
    EXPECT_EQ(pView->GetFirstSelected(), nullptr);
    EXPECT_EQ(stranger.m_pSurface, nullptr);
}

} // namespace
