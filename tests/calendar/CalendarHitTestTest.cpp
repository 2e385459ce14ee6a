// The calendar cell under a point: the inside rule at each edge of a cell,
// grid positions that are no day, the week's and day's cells, the selected
// cell, objects that answer no cell; and emptying the selected cell.

#include "model/DrawRect.h"

#include "tests/model/ModelTestSupport.h"

#include "app/JulianDate.h"
#include "calendar/CalendarLayout.h"
#include "calendar/DayCellObj.h"

#include <gtest/gtest.h>

namespace {

// 700 x 600: the grid starts at 168, rows are 78 high and columns 100 wide.
const CRect kRect(-350, 300, 350, -300);

class CalendarHitTestTest : public modeltest::ModelTest {
protected:
    // May 2024 with Sunday first: the 1st is at row 0, column 3.
    static void MakeCalendar(CDrawRect& calendar, int nKind, WORD nDay = 1)
    {
        calendar.m_position = kRect;
        calendar.m_rectUnrotated = kRect;
        calendar.m_nCalendarStart = static_cast<LONG>(JulianDayFromDate(5, nDay, 2024));
        calendar.m_nCalendarWords[1] = nKind;
        calendar.m_nCalendarWords[3] = 7;
    }
    static int Hit(CDrawObj& obj, int x, int y, BOOL bSelectCell = FALSE)
    {
        return obj.HitTestCalendarCell(CPoint(x, y), nullptr, TRUE, bSelectCell);
    }
};

TEST_F(CalendarHitTestTest, AMonthCellHoldsItsLeftAndTopEdgesButNotItsRightAndBottom)
{
    CDrawRect calendar;
    MakeCalendar(calendar, CALENDAR_MONTH);
    struct Probe {
        int x, y, nCell;
    };
    // The 1st spans x -50..50 and y 168 down to 90.
    const Probe probes[] = {
        {0, 130, 1},
        {-50, 130, 1},   // left edge in
        {50, 130, 2},    // right edge belongs to the next column
        {0, 168, 1},     // top edge in
        {0, 169, 0},     // the weekday row
        {0, 90, 8},      // the bottom edge belongs to the row below
        {0, 91, 1},
        {-51, 130, 0},   // before the 1st: no day
        {-350, 130, 0},
        {-350, 89, 5},   // the calendar's left edge
        {349, 89, 11},
        {350, 89, 0},    // its right edge is out
        {200, -144, 31}, // row 4, column 5 is the 31st
        {300, -150, 0},  // the 32nd would be there
        {0, -299, 0},    // row 5 holds no day of May
        {0, 250, 0},     // the title band
    };
    for (const Probe& p : probes)
        EXPECT_EQ(Hit(calendar, p.x, p.y), p.nCell) << p.x << ", " << p.y;
}

TEST_F(CalendarHitTestTest, AHitGivesTheCellRectangleAndKindAndSelectsOnlyWhenAsked)
{
    CDrawRect calendar;
    MakeCalendar(calendar, CALENDAR_MONTH);
    ASSERT_EQ(Hit(calendar, 10, 100), 1);
    EXPECT_EQ(calendar.m_rectCell, CRect(-50, 168, 50, 90));
    EXPECT_EQ(calendar.m_nCellKind, CALENDAR_MONTH);
    EXPECT_EQ(calendar.m_nCalendarIndex, -1);
    ASSERT_EQ(Hit(calendar, 10, 100, TRUE), 1);
    EXPECT_EQ(calendar.m_nCalendarIndex, 1);
    // Looking elsewhere keeps the selection; selecting outside the days
    // drops it and the rectangle.
    EXPECT_EQ(Hit(calendar, 10, 50), 8);
    EXPECT_EQ(calendar.m_nCalendarIndex, 1);
    EXPECT_EQ(Hit(calendar, -300, 130, TRUE), 0);
    EXPECT_TRUE(calendar.m_rectCell.IsRectEmpty());
    EXPECT_EQ(calendar.m_nCalendarIndex, -1);
}

TEST_F(CalendarHitTestTest, WeekCellsAreDayColumnsAndDayCellsAreHours)
{
    CDrawRect week;
    MakeCalendar(week, CALENDAR_WEEK, 30);
    // Below the title (to 228) and heading row (to 168).
    EXPECT_EQ(Hit(week, -350, 0), 1);
    EXPECT_EQ(Hit(week, -250, 0), 2);
    EXPECT_EQ(Hit(week, 349, -299), 7);
    EXPECT_EQ(Hit(week, 0, 168), 4);
    EXPECT_EQ(Hit(week, 0, 169), 0);
    EXPECT_EQ(Hit(week, 0, -300), 0);
    EXPECT_EQ(week.m_rectCell, CRect());
    EXPECT_EQ(Hit(week, 0, 0), 4);
    EXPECT_EQ(week.m_nCellKind, CALENDAR_WEEK);
    EXPECT_EQ(week.m_rectCell, CRect(-50, 168, 50, -300));

    CDrawRect day;
    MakeCalendar(day, CALENDAR_DAY, 30);
    // Title to 228, then 24 rows over 528: 22 each.
    EXPECT_EQ(Hit(day, 0, 228), 1);
    EXPECT_EQ(Hit(day, 0, 206), 2);
    EXPECT_EQ(Hit(day, 0, 207), 1);
    EXPECT_EQ(Hit(day, 0, -299), 24);
    EXPECT_EQ(Hit(day, 0, 229), 0);
    EXPECT_EQ(day.m_nCellKind, CALENDAR_DAY);
}

TEST_F(CalendarHitTestTest, LockedUnselectableYearAndOtherObjectsAnswerNoCell)
{
    const CRect stale(1, 2, 3, 1);
    for (WORD wFlag : {WORD(OBJ_FLAG_LOCKED), WORD(OBJ_FLAG_UNSELECTABLE)}) {
        CDrawRect calendar;
        MakeCalendar(calendar, CALENDAR_MONTH);
        calendar.m_wFlags |= wFlag;
        calendar.m_rectCell = stale;
        EXPECT_EQ(Hit(calendar, 0, 130, TRUE), 0) << wFlag;
        EXPECT_TRUE(calendar.m_rectCell.IsRectEmpty()) << wFlag;
    }
    CDrawRect year;
    MakeCalendar(year, CALENDAR_YEAR);
    year.m_rectCell = stale;
    EXPECT_EQ(Hit(year, 0, 130), 0);
    EXPECT_TRUE(year.m_rectCell.IsRectEmpty());

    CDrawRect shape(kRect, SHAPE_RECTANGLE); // no start day: not a calendar
    shape.m_nCalendarWords[1] = CALENDAR_MONTH;
    shape.m_rectCell = stale;
    EXPECT_EQ(Hit(shape, 0, 130), 0);
    EXPECT_TRUE(shape.m_rectCell.IsRectEmpty());

    CDrawObj item(kRect);
    item.m_rectCell = stale;
    EXPECT_EQ(Hit(item, 0, 130), 0);
    EXPECT_TRUE(item.m_rectCell.IsRectEmpty());
}

// The layout answers the same cell rectangles the hit test finds, for
// every cell of each kind.
TEST_F(CalendarHitTestTest, EveryCellIsFoundAtItsOwnCorners)
{
    const DWORD nStart = JulianDayFromDate(2, 10, 2024);
    for (int nKind : {CALENDAR_DAY, CALENDAR_WEEK, CALENDAR_MONTH}) {
        const int nCount = GetCalendarCellCount(nKind, nStart);
        EXPECT_EQ(nCount, nKind == CALENDAR_DAY ? 24 : nKind == CALENDAR_WEEK ? 7 : 29);
        for (int n = 1; n <= nCount; ++n) {
            CRect cell;
            ASSERT_TRUE(GetCalendarCellRect(kRect, nKind, nStart, 1, n, cell));
            EXPECT_EQ(CalendarCellAt(kRect, nKind, nStart, 1, CPoint(cell.left, cell.top), nullptr), n);
            EXPECT_EQ(CalendarCellAt(kRect, nKind, nStart, 1, CPoint(cell.right - 1, cell.bottom + 1), nullptr), n);
        }
        CRect none;
        EXPECT_FALSE(GetCalendarCellRect(kRect, nKind, nStart, 1, nCount + 1, none));
        EXPECT_TRUE(none.IsRectEmpty());
    }
}

TEST_F(CalendarHitTestTest, ClearingTheSelectedCellEmptiesOnlyThatCell)
{
    CDrawRect calendar;
    MakeCalendar(calendar, CALENDAR_MONTH);
    calendar.SetCellText(CALENDAR_MONTH, 1, "Move");
    calendar.FindDayCell(CALENDAR_MONTH, 1)->m_crBack = RGB(255, 0, 0);
    calendar.SetCellText(CALENDAR_MONTH, 2, "Keep");
    calendar.FindDayCell(CALENDAR_MONTH, 2)->m_crBack = RGB(0, 255, 0);

    // Nothing selected: nothing changes.
    calendar.ClearSelectedCell();
    EXPECT_EQ(calendar.GetCellText(CALENDAR_MONTH, 1), CString("Move"));

    ASSERT_EQ(Hit(calendar, 0, 130, TRUE), 1);
    calendar.ClearSelectedCell();
    const CDayCellObj* pCleared = calendar.FindDayCell(CALENDAR_MONTH, 1);
    ASSERT_NE(pCleared, nullptr);
    EXPECT_TRUE(pCleared->m_strText.IsEmpty());
    EXPECT_EQ(pCleared->m_crBack, RGB(255, 255, 255));
    const CDayCellObj* pKept = calendar.FindDayCell(CALENDAR_MONTH, 2);
    ASSERT_NE(pKept, nullptr);
    EXPECT_EQ(pKept->m_strText, CString("Keep"));
    EXPECT_EQ(pKept->m_crBack, RGB(0, 255, 0));

    // A selected day without a cell of its own has nothing to clear.
    ASSERT_EQ(Hit(calendar, 150, 130, TRUE), 3);
    calendar.ClearSelectedCell();
    EXPECT_EQ(calendar.FindDayCell(CALENDAR_MONTH, 3), nullptr);
    EXPECT_EQ(calendar.m_monthCells.GetCount(), 2);
}

} // namespace
