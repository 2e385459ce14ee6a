#pragma once
// Resource ids of print.rc: the Page Setup pages, the Tip of the Day and
// Supply Center dialogs, and their texts.

// Colour combo box: the automatic entry.
#define IDS_COLOR_AUTO 141

// Tip of the Day.
#define IDD_TIP_OF_DAY 416
#define IDC_TIP_HEADING 14350
#define IDC_TIP_TEXT 14351
#define IDC_TIP_STARTUP 14352
#define IDC_TIP_NEXT 14353
#define IDS_TIP_NONE 14354

// Supply Center.
#define IDD_SUPPLY_CENTER 14117
#define IDC_SUPPLY_TEXT 14360
#define IDC_SUPPLY_VISIT 14361
#define IDS_SUPPLY_URL 14362
#define IDS_SUPPLY_OPEN_FAILED 14363

// Page Setup sheet and its pages.
#define IDS_PAGE_SETUP_CAPTION 14340
#define IDS_PAGE_SETUP_CARD_RANGE 14341
#define IDD_PAGE_STYLE 14300
#define IDD_PAGE_SIZE 14301
#define IDD_PAGE_FORMAT 14302
#define IDC_PS_CARD_WIDTH 14320
#define IDC_PS_CARD_HEIGHT 14321
#define IDC_PS_FORMAT_NOTE 14322
#define IDC_PS_DESIGN_SIZE 14323

// Page Setup's choice grids: the placeholders they stand over and their
// cell pictures (METAFILE resources, each with its string), in cell order.
#define IDC_PS_KIND_GRID 14324
#define IDC_PS_PAPER_GRID 14325
#define IDC_PS_ORIENTATION_GRID 14326
#define IDR_PS_KIND_SHIRT 14370
#define IDR_PS_KIND_APPAREL 14371
#define IDR_PS_KIND_MOUSEPAD 14372
#define IDR_PS_KIND_CALENDAR 14373
#define IDR_PS_KIND_LABEL 14374
#define IDR_PS_KIND_GENERAL 14375
#define IDR_PS_PAPER_LETTER 14376
#define IDR_PS_PAPER_A4 14377
#define IDR_PS_PORTRAIT 14378
#define IDR_PS_LANDSCAPE 14379
