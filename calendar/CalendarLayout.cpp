#include "calendar/CalendarLayout.h"

#include "app/JulianDate.h"

#include <algorithm>
#include <iterator>

namespace {

// Years whose dates the day-number functions take as written: two-digit
// years are windowed around today's, so a calendar of year 50 would show
// another century.
constexpr int kFirstYear = 100;
constexpr int kLastYear = 9999;

// The point n / d of the way from a to b, rounded towards a.
int Between(long long a, long long b, long long n, long long d)
{
    return static_cast<int>(a + (b - a) * n / d);
}

// The band of the top nPercent of a rectangle's height.
int BandBottom(const CRect& rect, int nPercent)
{
    return Between(rect.top, rect.bottom, nPercent, 100);
}

// Column c of seven across rect.
void Column(const CRect& rect, int c, int nTop, int nBottom, CRect& out)
{
    out = CRect(Between(rect.left, rect.right, c, kCalendarColumns), nTop,
        Between(rect.left, rect.right, c + 1, kCalendarColumns), nBottom);
}

} // namespace

int GetDaysInMonth(int nMonth, int nYear)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (nMonth < 1 || nMonth > 12)
        return 0;
    if (nMonth == 2 && nYear >= 0 && nYear <= 0xFFFF && IsLeapYear(static_cast<WORD>(nYear)))
        return 29;
    return kDays[nMonth - 1];
}

int ValidFirstWeekday(int nFirstWeekday)
{
    return nFirstWeekday >= 1 && nFirstWeekday <= 7 ? nFirstWeekday : 7;
}

CRect NormalizeCalendarRect(const CRect& rect)
{
    return CRect(std::min(rect.left, rect.right), std::max(rect.top, rect.bottom), std::max(rect.left, rect.right),
        std::min(rect.top, rect.bottom));
}

BOOL CalendarCellContains(const CRect& cell, CPoint point)
{
    return point.x >= cell.left && point.x < cell.right && point.y > cell.bottom && point.y <= cell.top;
}

int CalendarMonthLayout::PositionOfDay(int nDay) const
{
    if (nDay < 1 || nDay > nDays)
        return -1;
    return nFirstPosition + nDay - 1;
}

int CalendarMonthLayout::DayAtPosition(int nPosition) const
{
    const int nDay = nPosition - nFirstPosition + 1;
    return nDay >= 1 && nDay <= nDays ? nDay : 0;
}

BOOL LayOutMonth(const CRect& rect, int nMonth, int nYear, int nFirstWeekday, CalendarMonthLayout& layout)
{
    if (nMonth < 1 || nMonth > 12 || nYear < kFirstYear || nYear > kLastYear)
        return FALSE;
    const CJulianDate first(JulianDayFromDate(static_cast<WORD>(nMonth), 1, static_cast<WORD>(nYear)));
    if (!first.IsValid())
        return FALSE;
    const int nFirst = ValidFirstWeekday(nFirstWeekday);
    layout.nMonth = nMonth;
    layout.nYear = nYear;
    layout.nDays = GetDaysInMonth(nMonth, nYear);
    layout.nFirstPosition = (first.GetDayOfWeek() - nFirst + 7) % 7;
    for (int c = 0; c < kCalendarColumns; ++c)
        layout.nColumnWeekday[c] = (nFirst - 1 + c) % 7 + 1;

    const CRect r = NormalizeCalendarRect(rect);
    layout.rect = r;
    const int nTitleBottom = BandBottom(r, 15);
    const long long nHeight = static_cast<long long>(r.top) - r.bottom;
    const int nGridTop = static_cast<int>(nTitleBottom - nHeight * 7 / 100);
    layout.title = CRect(r.left, r.top, r.right, nTitleBottom);
    layout.weekdays = CRect(r.left, nTitleBottom, r.right, nGridTop);
    for (int row = 0; row < kMonthRows; ++row) {
        const int nTop = Between(nGridTop, r.bottom, row, kMonthRows);
        const int nBottom = Between(nGridTop, r.bottom, row + 1, kMonthRows);
        for (int c = 0; c < kCalendarColumns; ++c)
            Column(r, c, nTop, nBottom, layout.positions[row * kCalendarColumns + c]);
    }
    return TRUE;
}

BOOL LayOutYear(const CRect& rect, int nYear, CalendarYearLayout& layout)
{
    if (nYear < kFirstYear || nYear > kLastYear)
        return FALSE;
    const CRect r = NormalizeCalendarRect(rect);
    layout.rect = r;
    layout.nYear = nYear;
    const int nTitleBottom = BandBottom(r, 10);
    layout.title = CRect(r.left, r.top, r.right, nTitleBottom);
    // A small gap keeps neighbouring months' frames apart.
    const long long nGap
        = std::min(static_cast<long long>(r.right) - r.left, static_cast<long long>(r.top) - r.bottom) / 80;
    for (int n = 0; n < kYearMonths; ++n) {
        const int col = n % 4;
        const int row = n / 4;
        CRect month(Between(r.left, r.right, col, 4), Between(nTitleBottom, r.bottom, row, 3),
            Between(r.left, r.right, col + 1, 4), Between(nTitleBottom, r.bottom, row + 1, 3));
        if (month.right - month.left > 2 * nGap && month.top - month.bottom > 2 * nGap) {
            month.left += static_cast<int>(nGap);
            month.right -= static_cast<int>(nGap);
            month.top -= static_cast<int>(nGap);
            month.bottom += static_cast<int>(nGap);
        }
        layout.months[n] = month;
    }
    return TRUE;
}

BOOL LayOutWeek(const CRect& rect, DWORD nStartDay, int nFirstWeekday, CalendarWeekLayout& layout)
{
    DWORD nFirstDay = 0;
    DWORD nLastDay = 0;
    if (!GetCalendarDays(1, nStartDay, nFirstWeekday, nFirstDay, nLastDay))
        return FALSE;
    const CRect r = NormalizeCalendarRect(rect);
    layout.rect = r;
    const int nTitleBottom = BandBottom(r, 12);
    const long long nHeight = static_cast<long long>(r.top) - r.bottom;
    const int nHeadBottom = static_cast<int>(nTitleBottom - nHeight * 10 / 100);
    layout.title = CRect(r.left, r.top, r.right, nTitleBottom);
    for (int c = 0; c < kCalendarColumns; ++c) {
        Column(r, c, nTitleBottom, nHeadBottom, layout.heads[c]);
        Column(r, c, nHeadBottom, r.bottom, layout.cells[c]);
        layout.nDays[c] = nFirstDay + static_cast<DWORD>(c);
    }
    return TRUE;
}

BOOL LayOutDay(const CRect& rect, DWORD nDay, CalendarDayLayout& layout)
{
    int nMonth = 0;
    int nYear = 0;
    if (!GetCalendarMonth(nDay, nMonth, nYear))
        return FALSE;
    const CRect r = NormalizeCalendarRect(rect);
    layout.rect = r;
    layout.nDay = nDay;
    const int nTitleBottom = BandBottom(r, 12);
    layout.title = CRect(r.left, r.top, r.right, nTitleBottom);
    for (int h = 0; h < kDayHours; ++h)
        layout.cells[h] = CRect(r.left, Between(nTitleBottom, r.bottom, h, kDayHours), r.right,
            Between(nTitleBottom, r.bottom, h + 1, kDayHours));
    return TRUE;
}

BOOL GetCalendarMonth(DWORD nStartDay, int& nMonth, int& nYear)
{
    WORD m = 0;
    WORD d = 0;
    WORD y = 0;
    DateFromJulianDay(nStartDay, m, d, y);
    nMonth = m;
    nYear = y;
    return m != 0 && y >= kFirstYear && y <= kLastYear;
}

BOOL GetCalendarDays(int nKind, DWORD nStartDay, int nFirstWeekday, DWORD& nFirstDay, DWORD& nLastDay)
{
    int nMonth = 0;
    int nYear = 0;
    if (!GetCalendarMonth(nStartDay, nMonth, nYear))
        return FALSE;
    const WORD m = static_cast<WORD>(nMonth);
    const WORD y = static_cast<WORD>(nYear);
    switch (nKind) {
    case 0:
        nFirstDay = nLastDay = nStartDay;
        return TRUE;
    case 1: {
        const int nWeekday = CJulianDate(nStartDay).GetDayOfWeek();
        nFirstDay = nStartDay - static_cast<DWORD>((nWeekday - ValidFirstWeekday(nFirstWeekday) + 7) % 7);
        nLastDay = nFirstDay + kCalendarColumns - 1;
        return TRUE;
    }
    case 2:
        nFirstDay = JulianDayFromDate(m, 1, y);
        nLastDay = nFirstDay + static_cast<DWORD>(GetDaysInMonth(nMonth, nYear)) - 1;
        return nFirstDay != 0;
    case 3:
        nFirstDay = JulianDayFromDate(1, 1, y);
        nLastDay = JulianDayFromDate(12, 31, y);
        return nFirstDay != 0 && nLastDay != 0;
    default:
        return FALSE;
    }
}

int GetCalendarCellCount(int nKind, DWORD nStartDay)
{
    int nMonth = 0;
    int nYear = 0;
    if (!GetCalendarMonth(nStartDay, nMonth, nYear))
        return 0;
    switch (nKind) {
    case 0: return kDayHours;
    case 1: return kCalendarColumns;
    case 2: return GetDaysInMonth(nMonth, nYear);
    default: return 0;
    }
}

int GetCalendarCells(const CRect& rect, int nKind, DWORD nStartDay, int nFirstWeekday, CRect (&cells)[kMonthPositions])
{
    switch (nKind) {
    case 0: {
        CalendarDayLayout layout;
        if (!LayOutDay(rect, nStartDay, layout))
            return 0;
        std::copy(std::begin(layout.cells), std::end(layout.cells), cells);
        return kDayHours;
    }
    case 1: {
        CalendarWeekLayout layout;
        if (!LayOutWeek(rect, nStartDay, nFirstWeekday, layout))
            return 0;
        std::copy(std::begin(layout.cells), std::end(layout.cells), cells);
        return kCalendarColumns;
    }
    case 2: {
        int nMonth = 0;
        int nYear = 0;
        CalendarMonthLayout layout;
        if (!GetCalendarMonth(nStartDay, nMonth, nYear) || !LayOutMonth(rect, nMonth, nYear, nFirstWeekday, layout))
            return 0;
        for (int nDay = 1; nDay <= layout.nDays; ++nDay)
            cells[nDay - 1] = layout.positions[layout.PositionOfDay(nDay)];
        return layout.nDays;
    }
    default:
        return 0;
    }
}

BOOL GetCalendarCellRect(const CRect& rect, int nKind, DWORD nStartDay, int nFirstWeekday, int nCell, CRect& cell)
{
    cell.SetRectEmpty();
    CRect cells[kMonthPositions];
    const int nCount = GetCalendarCells(rect, nKind, nStartDay, nFirstWeekday, cells);
    if (nCell < 1 || nCell > nCount)
        return FALSE;
    cell = cells[nCell - 1];
    return TRUE;
}

int CalendarCellAt(const CRect& rect, int nKind, DWORD nStartDay, int nFirstWeekday, CPoint point, CRect* pCell)
{
    CRect cells[kMonthPositions];
    const int nCount = GetCalendarCells(rect, nKind, nStartDay, nFirstWeekday, cells);
    for (int n = 1; n <= nCount; ++n) {
        if (CalendarCellContains(cells[n - 1], point)) {
            if (pCell != nullptr)
                *pCell = cells[n - 1];
            return n;
        }
    }
    return 0;
}
