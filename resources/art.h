#pragma once
// Resource ids of art.rc: the program's pictures, made by tools/artgen.
// The toolbar resources use the ids of mainframe.h (IDR_STANDARD_*,
// IDR_FORMATTING_*); the frame's icon is IDR_MAINFRAME and the designs'
// icon IDR_DESIGNTYPE.

// The splash window's picture (400 x 250).
#define IDB_SPLASH 722

// Strips of the surface pictures, one cell per surface stacked top to
// bottom: two-sided kinds (front, back) and the tiled poster family.
#define IDB_SURFACES_TWO_SIDED 470
#define IDB_SURFACES_TILED 471

// Cursors of the cursor set (32 x 32).
#define IDC_OBJECT_HAND 264
#define IDC_HANDLE_WE 334
#define IDC_HANDLE_NS 335
#define IDC_HANDLE_NESW 336
#define IDC_HANDLE_NWSE 337
#define IDC_OBJECT_MOVE 424
#define IDC_OBJECT_DRAG 425
#define IDC_CROP_HANDLE 427
#define IDC_CROP 428
// Rotation cursors: an exact 15-degree step, angles counter-clockwise from
// straight up...
#define IDC_ROTATE_0 614
#define IDC_ROTATE_15 616
#define IDC_ROTATE_30 620
#define IDC_ROTATE_45 600
#define IDC_ROTATE_60 601
#define IDC_ROTATE_75 622
#define IDC_ROTATE_90 602
#define IDC_ROTATE_105 603
#define IDC_ROTATE_120 615
#define IDC_ROTATE_135 604
#define IDC_ROTATE_150 605
#define IDC_ROTATE_165 617
#define IDC_ROTATE_180 606
#define IDC_ROTATE_195 607
#define IDC_ROTATE_210 618
#define IDC_ROTATE_225 608
#define IDC_ROTATE_240 609
#define IDC_ROTATE_255 619
#define IDC_ROTATE_270 610
#define IDC_ROTATE_285 611
#define IDC_ROTATE_300 621
#define IDC_ROTATE_315 612
#define IDC_ROTATE_330 613
#define IDC_ROTATE_345 599
// ...and the eight 45-degree sectors between the steps, by their middle.
#define IDC_ROTATE_SECTOR_0 519
#define IDC_ROTATE_SECTOR_45 596
#define IDC_ROTATE_SECTOR_90 522
#define IDC_ROTATE_SECTOR_135 598
#define IDC_ROTATE_SECTOR_180 521
#define IDC_ROTATE_SECTOR_225 595
#define IDC_ROTATE_SECTOR_270 520
#define IDC_ROTATE_SECTOR_315 597
// The zoom tool's cursor, outside the cursor set.
#define IDC_ZOOM_TOOL 623

// Menu bitmaps (13 x 13 on the menu grey) of the support library
// kqawr321.dll (kqawr321.rc, registered in the support module). Named after
// what they show.
#define IDB_MENU_NEW 0x217
#define IDB_MENU_OPEN 0x218
#define IDB_MENU_SAVE 0x219
#define IDB_MENU_PRINT 0x21A
#define IDB_MENU_PRINT_PREVIEW 0x21B
#define IDB_MENU_SPELL_CHECK 0x21C
#define IDB_MENU_COPY 0x21D
#define IDB_MENU_PASTE 0x21E
#define IDB_MENU_UNDO 0x220
#define IDB_MENU_REDO 0x221
#define IDB_MENU_DUPLICATE 0x222
#define IDB_MENU_GROUP 0x223
#define IDB_MENU_CUT 0x224
#define IDB_MENU_UNGROUP 0x228
#define IDB_MENU_UNLOCK 0x229
#define IDB_MENU_MOVE_BOTTOM 0x22A
#define IDB_MENU_TILE_HORZ 0x22B
#define IDB_MENU_FILL 0x22C
#define IDB_MENU_SHAPES 0x233
#define IDB_MENU_LOCK 0x234
#define IDB_MENU_MOVE_FRONT 0x235
#define IDB_MENU_TILE_VERT 0x27C
#define IDB_MENU_CASCADE 0x27D
#define IDB_MENU_ABOUT 0x27E
#define IDB_MENU_HELP_TOPICS 0x27F
#define IDB_MENU_HOW_DO_I 0x4A7
#define IDB_MENU_NEW_WINDOW 0x4BB

// Stock shape outlines of the rectangle object (SHAPEDATA, design boxes
// with y down); tools/artgen/ShapeOutlines.h describes their figures.
#define IDR_SHAPE_ARROW 10000
#define IDR_SHAPE_ROUND_RECT 10001
#define IDR_SHAPE_BUBBLE_LEFT 10002
#define IDR_SHAPE_HEART 10003
#define IDR_SHAPE_CLUB 10004
#define IDR_SHAPE_SPADE 10005
#define IDR_SHAPE_DIAMOND 10006
#define IDR_SHAPE_STAR 10007
#define IDR_SHAPE_BUBBLE_RIGHT 10008
#define IDR_SHAPE_SUN 10009
#define IDR_SHAPE_SIGN 10010
#define IDR_SHAPE_SHIELD 10011
