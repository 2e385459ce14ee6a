#pragma once
// Resource ids of surface.rc: the tool pad, the Custom Zoom dialog, the
// design surface's context menus and its texts.

// Tool pad (a dialog bar; its palette window is made in code).
#define IDD_TOOLPAD 651

// Custom Zoom.
#define IDD_CUSTOM_ZOOM 139
#define IDC_ZOOM_PERCENT 1018
#define IDC_ZOOM_25 878
#define IDC_ZOOM_50 30083
#define IDC_ZOOM_75 30084
#define IDC_ZOOM_100 876
#define IDC_ZOOM_150 877
#define IDC_ZOOM_200 30147

// Texts.
#define IDS_PRINTER_MARGIN 7100

// Context menus of the design surface.
#define IDR_POPUP_OBJECT 243  // one object selected
#define IDR_POPUP_SURFACE 244 // nothing selected
#define IDR_POPUP_OBJECTS 245 // several objects selected
#define IDR_POPUP_CROP 460    // while the crop tool is current

// Commands of the design surface that no menu bar item carries.
#define ID_TOOL_DRAW_LINE 33164
#define ID_TOOL_DRAW_RECT 33165
#define ID_TOOL_DRAW_ROUNDRECT 33166
#define ID_TOOL_DRAW_ELLIPSE 33167
#define ID_TOOL_DRAW_POLYGON 33168
#define ID_EDIT_SELECTION_TEXT 33065 // start typing into the one selected text object
#define ID_BAND_SELECT 33048
#define ID_BAND_CANCEL 33053
#define ID_PICTURE_STUDIO_ITEM 7073
#define ID_EDIT_CELL 7074

// Items a context menu gains for what lies under the pointer.
#define IDS_MENU_ADD_CALENDAR 7160
#define IDS_MENU_PICTURE_STUDIO 7161
#define IDS_MENU_EDIT_DAY 7162
#define IDS_MENU_EDIT_HOUR 7163

// The design frame's second key table (select all, move to front and to
// the bottom).
#define IDR_SURFACE_KEYS 8
