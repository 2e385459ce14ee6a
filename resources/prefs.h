#pragma once
// Resource ids of prefs.rc: the Preferences sheet's three pages of our own
// (the Tools page is assist.rc's) and their texts. The template and control
// numbers are the ones the pages' code and the profile's users know.

// Pages.
#define IDD_PREF_DEFAULTS 204
#define IDD_PREF_OPTIONS 205
#define IDD_PREF_PRINTING 265

// Defaults page. The grid radios run 172, 174, 175, 176, 311 (no grid, then
// the four sizes); the background radios 590 (picture), 589 (colour).
#define IDC_PREF_PICTURE_FOLDER 171
#define IDC_PREF_GRID_NONE 172
#define IDC_PREF_GRID_1 174
#define IDC_PREF_GRID_2 175
#define IDC_PREF_GRID_3 176
#define IDC_PREF_GRID_4 311
#define IDC_PREF_BKG_FILE 177
#define IDC_PREF_DESIGN_FOLDER 179
#define IDC_PREF_UNITS_INCHES 185
#define IDC_PREF_UNITS_CM 186
#define IDC_PREF_DESIGN_BROWSE 381
#define IDC_PREF_PICTURE_BROWSE 382
#define IDC_PREF_BKG_BROWSE 383
#define IDC_PREF_BKG_COLOR 562
#define IDC_PREF_BKG_CHOOSE_COLOR 589
#define IDC_PREF_BKG_CHOOSE_PICTURE 590

// Preferences page.
#define IDC_PREF_RESIZE_EDGES 177
#define IDC_PREF_RESIZE_CENTER 178
#define IDC_PREF_RESET_TOOL 234
#define IDC_PREF_MOVE_FILLED 304
#define IDC_PREF_MOVE_OUTLINE 305
#define IDC_PREF_INSERT_GALLERY 306
#define IDC_PREF_INSERT_OTHER 307
#define IDC_PREF_SIZING_CURSORS 439
#define IDC_PREF_SOUNDS 454
#define IDC_PREF_AUTO_MARGINS 455
#define IDC_PREF_PROPORTIONAL 524
#define IDC_PREF_MULTI_PREVIEW 554
#define IDC_PREF_SHOW_LAUNCHER 770

// Printing page. Shaped text: automatic, then methods 1 to 4; regular text:
// automatic, print direct, create a bitmap.
#define IDC_PRINT_SHAPED_AUTO 359
#define IDC_PRINT_SHAPED_1 360
#define IDC_PRINT_SHAPED_2 361
#define IDC_PRINT_SHAPED_3 362
#define IDC_PRINT_SHAPED_4 380
#define IDC_PRINT_TEXT_AUTO 363
#define IDC_PRINT_TEXT_DIRECT 364
#define IDC_PRINT_TEXT_BITMAP 365
#define IDC_PRINT_PRINTER 366
#define IDC_PRINT_ALT_CLIPPING 367
#define IDC_PRINT_DITHERING 379
#define IDC_PRINT_FAST_GRAPHICS 381

// The grid labels: inches (1/8, 1/4, 1/2) and centimetres (1/4, 1/2, 1);
// the largest grid of each has its own text.
#define IDS_GRID_INCH_1 114
#define IDS_GRID_INCH_2 115
#define IDS_GRID_INCH_3 116
#define IDS_GRID_CM_1 117
#define IDS_GRID_CM_2 118
#define IDS_GRID_CM_3 119
#define IDS_GRID_INCH_4 14400
#define IDS_GRID_CM_4 14401
#define IDP_BACKGROUND_LOAD_FAILED 14402

// The Apply button's icons (art.rc): enabled and disabled.
#ifndef IDI_BUTTON_APPLY
#define IDI_BUTTON_APPLY 537
#endif
#ifndef IDI_BUTTON_APPLY_DISABLED
#define IDI_BUTTON_APPLY_DISABLED 643
#endif
