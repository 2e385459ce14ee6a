#pragma once
// Resource ids of calendar.rc: the Calendar set-up dialog and the day-cell
// dialogs.

// Calendar (set-up of a calendar object).
#define IDD_CALENDAR_SETUP 14064
#define IDC_CAL_KIND_DAY 14150
#define IDC_CAL_KIND_WEEK 14151
#define IDC_CAL_KIND_MONTH 14152
#define IDC_CAL_KIND_YEAR 14153
#define IDC_CAL_MONTH 14154
#define IDC_CAL_YEAR 14155
#define IDC_CAL_FIRST_WEEKDAY 14156

// The day-cell dialogs: Edit Day, Edit Hour (the same dialog class), the
// day's item and the day's content.
#define IDD_EDIT_DAY 14078
#define IDD_EDIT_HOUR 14079
#define IDD_EDIT_DAY_ITEM 14080
#define IDD_EDIT_DAY_CONTENT 14081
#define IDC_DAY_TEXT 14160
#define IDC_DAY_TEXT_COLOR 14161
#define IDC_DAY_BACK_COLOR 14162
