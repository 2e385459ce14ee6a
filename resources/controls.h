#pragma once
// Resource ids of controls.rc: the dialog and control kit's own texts.

// Measurement fields.
#define IDS_WHOLE_NUMBERS_ONLY 201
#define IDS_TWO_DECIMALS_ONLY 202
#define IDS_INVALID_MEASUREMENT 26000
#define IDS_UNKNOWN_MEASUREMENT 26001

// Drives and the folder picker. The drive icons (controls/DriveHelpers.h)
// are the program's; the tree pictures are the support library's
// (kitsupport.rc).
#define IDI_DRIVE_REMOTE 148
#define IDI_DRIVE_REMOVABLE 149
#define IDI_DRIVE_FIXED 150
#define IDI_DRIVE_FLOPPY 151
#define IDI_DRIVE_RAMDISK 152
#define IDI_DRIVE_CDROM 153
#define IDD_PICK_DIRECTORY_OPEN 269
#define IDD_PICK_DIRECTORY 501
#define IDC_PICK_DIRECTORY_TREE 1000
#define IDC_PICK_DIRECTORY_CHECK 576
#define IDC_PICK_DIRECTORY_LABEL 577
#define IDB_TREE_LEVEL0 313
#define IDB_TREE_LEVEL1 314
#define IDB_FOLDER_TREE_COMPUTER 433
#define IDB_FOLDER_TREE_FOLDER 434
#define IDB_FOLDER_TREE_OPEN_FOLDER 435
#define IDB_FOLDER_TREE_NO_MEDIUM 436
#define IDB_FOLDER_TREE_UNREADABLE 507

// The grid picker and its popups. The hatch and line-style pictures are
// black on white, in HS_ and PS_ order.
#define IDS_GRID_PICKER_MORE 2097
#define IDS_NAMED_COLORS_1 16004
#define IDS_NAMED_COLORS_2 16005
#define IDD_COLOR_POPUP 393
#define IDD_HATCH_STYLE_POPUP 1548
#define IDD_LINE_STYLE_POPUP 1551
#define IDC_GRID_PICKER_PLACEHOLDER 1149
#define IDB_HATCH_HORIZONTAL 367
#define IDB_HATCH_VERTICAL 368
#define IDB_HATCH_FDIAGONAL 369
#define IDB_HATCH_BDIAGONAL 370
#define IDB_HATCH_CROSS 371
#define IDB_HATCH_DIAGCROSS 372
#define IDB_LINE_SOLID 395
#define IDB_LINE_DASH 396
#define IDB_LINE_DOT 397
#define IDB_LINE_DASHDOT 398
#define IDB_LINE_DASHDOTDOT 399

// The wizard sheet's picture buttons, in the support library
// (wizardsupport.rc): per button its normal, pressed, checked, disabled and
// hot bitmaps, 52 x 24 on the 0xC0C0C0 face.
#define IDB_WIZARD_BACK_PRESSED 474
#define IDB_WIZARD_BACK 475
#define IDB_WIZARD_BACK_CHECKED 476
#define IDB_WIZARD_BACK_DISABLED 477
#define IDB_WIZARD_NEXT_PRESSED 478
#define IDB_WIZARD_NEXT 479
#define IDB_WIZARD_NEXT_CHECKED 480
#define IDB_WIZARD_NEXT_DISABLED 481
#define IDB_WIZARD_FINISH_PRESSED 482
#define IDB_WIZARD_FINISH 483
#define IDB_WIZARD_FINISH_CHECKED 484
#define IDB_WIZARD_FINISH_DISABLED 485
#define IDB_WIZARD_CANCEL_PRESSED 486
#define IDB_WIZARD_CANCEL 487
#define IDB_WIZARD_CANCEL_CHECKED 488
#define IDB_WIZARD_CANCEL_DISABLED 489
#define IDB_WIZARD_EXTRA_PRESSED 490
#define IDB_WIZARD_EXTRA 491
#define IDB_WIZARD_EXTRA_CHECKED 492
#define IDB_WIZARD_EXTRA_DISABLED 493
#define IDB_WIZARD_NEXT_HOT 520
#define IDB_WIZARD_BACK_HOT 521
#define IDB_WIZARD_CANCEL_HOT 522
#define IDB_WIZARD_EXTRA_HOT 523
#define IDB_WIZARD_FINISH_HOT 524

// The kit list: the design kits the design index reads, with check boxes.
#define IDD_KIT_LIST 1560
#define IDC_KIT_LIST_TREE 1561
#define IDC_KIT_LIST_LISTED 1562
#define IDC_KIT_LIST_CHECKED 1563
#define IDC_KIT_LIST_CHECK_ALL 468
#define IDC_KIT_LIST_UNCHECK_ALL 469
#define IDC_KIT_LIST_SEARCH 551
