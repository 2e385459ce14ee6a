#pragma once
// Resource ids of surfacetools.rc: the rubber band's menu and the Rotate
// dialog.

// The menu a rubber band offers ("Floating Surface").
#define IDR_BAND_MENU 461
#ifndef ID_BAND_SELECT
#define ID_BAND_SELECT 33048
#endif
#ifndef ID_BAND_CANCEL
#define ID_BAND_CANCEL 33053
#endif
#define ID_BAND_INSERT_PICTURE 33046
#define ID_BAND_INSERT_TEXT 33047
#define ID_BAND_INSERT_CALENDAR 33049
#define ID_BAND_INSERT_FILL 33050
#define ID_BAND_INSERT_SHAPE 33051

// Rotate.
#define IDD_ROTATE 250
#define IDD_LOCATE_PICTURE 257
#define IDC_LOCATE_PICTURE_FILE 351
#define IDC_ROTATE_ANGLE 165
