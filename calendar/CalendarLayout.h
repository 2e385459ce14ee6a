#pragma once
// The geometry of the calendar grids: where the title, the weekday row and
// every cell of a month, year, week or day calendar lie inside the
// calendar's rectangle. The renderers draw on these rectangles and the cell
// hit test reads them, so a cell is hit exactly where it shows.
//
// Logical units with y up: a rectangle has top >= bottom (one given the
// other way up is normalised first), and a point lies in a cell when
// left <= x < right and bottom < y <= top. The arithmetic is integer, with
// 64-bit intermediates so that rectangles read from files cannot overflow
// it. A start day that is no date, or a month or year out of range, gives
// no layout (FALSE) and therefore no cells.
//
// Month: the title band is the top 15 % of the height, the weekday row the
// next 7 %, and six rows of seven columns share the rest; row r spans from
// gridTop - (gridTop - bottom) * r / 6 down to the next such line, column c
// from left + W * c / 7 to left + W * (c + 1) / 7. The 1st lies in column
// (weekday of the 1st - first weekday + 7) % 7 of row 0.
// Year: a title band of 10 % with the year, then twelve small months in
// four columns and three rows, each laid out as a month.
// Week: a title band of 12 % (month and year of the week's first day), a
// heading row of 10 % (weekday name and date of each column), and seven day
// columns; the week is the one holding the start day, beginning on the
// first weekday.
// Day: a title band of 12 % with the date and 24 hour rows.

#include "platform/base/Geometry.h"
#include "platform/base/Types.h"

constexpr int kCalendarColumns = 7;
constexpr int kMonthRows = 6;
constexpr int kMonthPositions = kCalendarColumns * kMonthRows;
constexpr int kYearMonths = 12;
constexpr int kDayHours = 24;

// A stored first weekday (1 Monday .. 7 Sunday); any other value from a
// file counts as Sunday.
int ValidFirstWeekday(int nFirstWeekday);

// The rectangle with left <= right and top >= bottom.
CRect NormalizeCalendarRect(const CRect& rect);

// Whether the point lies in the cell: left <= x < right, bottom < y <= top.
BOOL CalendarCellContains(const CRect& cell, CPoint point);

struct CalendarMonthLayout {
    CRect rect;                            // the calendar rectangle, normalised
    CRect title;                           // month name and year
    CRect weekdays;                        // the weekday names
    CRect positions[kMonthPositions];      // the grid, row by row
    int nColumnWeekday[kCalendarColumns] = {}; // 1 Monday .. 7 Sunday
    int nFirstPosition = 0;                // where the 1st lies
    int nDays = 0;                         // days in the month
    int nMonth = 0;
    int nYear = 0;

    // The grid position of a day of the month; -1 for no such day.
    int PositionOfDay(int nDay) const;
    // The day shown at a grid position; 0 before the 1st and after the
    // month's last day.
    int DayAtPosition(int nPosition) const;
};

// FALSE for a month outside 1..12 or a year outside 1..9999.
BOOL LayOutMonth(const CRect& rect, int nMonth, int nYear, int nFirstWeekday, CalendarMonthLayout& layout);

struct CalendarYearLayout {
    CRect rect;
    CRect title;                // the year
    CRect months[kYearMonths];  // January first, four to a row
    int nYear = 0;
};

BOOL LayOutYear(const CRect& rect, int nYear, CalendarYearLayout& layout);

struct CalendarWeekLayout {
    CRect rect;
    CRect title;                         // month and year of the first day
    CRect heads[kCalendarColumns];       // weekday name and date
    CRect cells[kCalendarColumns];       // cells 1..7
    DWORD nDays[kCalendarColumns] = {};  // the day number of each column
};

// The week holding nStartDay, beginning on the first weekday.
BOOL LayOutWeek(const CRect& rect, DWORD nStartDay, int nFirstWeekday, CalendarWeekLayout& layout);

struct CalendarDayLayout {
    CRect rect;
    CRect title;               // the date
    CRect cells[kDayHours];    // cell h + 1 holds hour h
    DWORD nDay = 0;
};

BOOL LayOutDay(const CRect& rect, DWORD nDay, CalendarDayLayout& layout);

// The days of a month of the Gregorian calendar; 0 for a month outside 1..12.
int GetDaysInMonth(int nMonth, int nYear);

// The month and year of a start day; FALSE when it is no date.
BOOL GetCalendarMonth(DWORD nStartDay, int& nMonth, int& nYear);

// The first and last day numbers a calendar of a kind shows: the start day
// (day), its week (week), its month (month) or its year (year); FALSE when
// the start day is no date or the kind is unknown.
BOOL GetCalendarDays(int nKind, DWORD nStartDay, int nFirstWeekday, DWORD& nFirstDay, DWORD& nLastDay);

// The number of cells of a calendar kind (0 day: 24 hours, 1 week: 7 days,
// 2 month: the days of the start day's month); 0 for the year kind, an
// unknown kind and a start day that is no date.
int GetCalendarCellCount(int nKind, DWORD nStartDay);

// The rectangles of the cells of a calendar of kind nKind drawn in rect,
// cell n at index n - 1; their count (0 for the year kind, an unknown kind
// and a start day that is no date).
int GetCalendarCells(const CRect& rect, int nKind, DWORD nStartDay, int nFirstWeekday, CRect (&cells)[kMonthPositions]);

// The rectangle of cell nCell (1-based) of a calendar of kind nKind drawn
// in rect; FALSE, with an empty rectangle, when there is no such cell.
BOOL GetCalendarCellRect(const CRect& rect, int nKind, DWORD nStartDay, int nFirstWeekday, int nCell, CRect& cell);

// The 1-based cell under the point, 0 for none (the year kind has no
// cells); its rectangle into pCell when one is found.
int CalendarCellAt(const CRect& rect, int nKind, DWORD nStartDay, int nFirstWeekday, CPoint point, CRect* pCell);
