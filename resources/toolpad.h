#pragma once
// Resource ids of toolpad: the tool pad's panels, their buttons, the
// "How Do I?" menus of the panels and the arrange panel's menus. The
// palette's "&Hide" menu is the toolbars' popup (IDR_TOOLBAR_POPUP).

// Window ids of the panels.
#define IDW_TP_SHAPE_PANEL 31001
#define IDW_TP_ARRANGE_PANEL 31001
#define IDW_TP_TEXT_PANEL 31002
#define IDW_TP_PICTURE_PANEL 31003
#define IDW_TP_CALENDAR_PANEL 31004
#define IDW_TP_HINT_PANEL 31005
#define IDW_TP_WORKSPACE_PANEL 31006
#define IDW_TP_NAVIGATION_PANEL 31007
#define IDW_TP_DAY_CELL_PANEL 31008
#define IDW_TP_HOUR_CELL_PANEL 31009

// Buttons of the workspace panel.
#define IDC_TP_INSERT_PICTURE 1109
#define IDC_TP_EDIT_PICTURE 417
#define IDC_TP_TEXT_WORKSPACE 1114
#define IDC_TP_CHANGE_WRAPPED_TEXT 419
#define IDC_TP_TEXT_DIALOG 571
#define IDC_TP_CHANGE_BLOCK_TEXT 575
#define IDC_TP_PRINT 1149
#define IDC_TP_SUPPLIES 1151
#define IDC_TP_NEW_DESIGN 1155
#define IDC_TP_OPEN_DESIGN 1185

// Buttons of the context panels, by place (also command numbers elsewhere).
#define IDC_TP_BUTTON1 33201
#define IDC_TP_BUTTON2 33202
#define IDC_TP_BUTTON3 33203
#define IDC_TP_BUTTON4 33204

// "How Do I?" menus of the panels (694 and 722 belong to the text panel:
// block text and wrapped text).
#define IDR_HOWDOI_PICTURE 693
#define IDR_HOWDOI_TEXT 694
#define IDR_HOWDOI_GENERAL 695
#define IDR_HOWDOI_SHAPE 696
#define IDR_HOWDOI_CALENDAR 697
#define IDR_HOWDOI_MULTIPLE 698
#define IDR_HOWDOI_TEXT_SHORT 722

// The arrange panel's menus.
#define IDR_TP_CENTER 719
#define IDR_TP_ALIGN 720
#define IDR_TP_FLIP 721
#define IDR_TP_SAME_SIZE 750

// Texts.
#define IDS_TP_CAPTION 7170
#define IDS_TP_HINT 7171
