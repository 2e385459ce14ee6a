// The calendar renderers of CDrawRect and its holiday reader: the seam
// through which the rectangle object draws its calendar part.

#include "model/DrawRect.h"

// FIXME: the month, year and day-and-week renderers (title, weekday row,
// day cells with numbers, holidays and cell texts) are not built yet; until
// then a calendar shows only its frame and fill.
void CDrawRect::DrawMonthCalendar(CDC* pDC, const CRect& rect, CRgn* pRegion)
{
    (void)pDC;
    (void)rect;
    (void)pRegion;
}

void CDrawRect::DrawYearCalendar(CDC* pDC, const CRect& rect, CRgn* pRegion)
{
    (void)pDC;
    (void)rect;
    (void)pRegion;
}

void CDrawRect::DrawDayWeekCalendar(CDC* pDC, const CRect& rect, CRgn* pRegion)
{
    (void)pDC;
    (void)rect;
    (void)pRegion;
}

// FIXME: the holiday list shipped in support\ is not read yet; the holiday
// lists stay as they are.
void CDrawRect::LoadHolidays()
{
}
