#pragma once
// Resource ids of surface.rc: the tool pad, the Custom Zoom dialog and the
// design surface's texts.

// Tool pad (a dialog bar).
#define IDD_TOOLPAD 651
#define IDC_TOOLPAD_TOOLS 1101
#define IDC_TOOLPAD_SELECTION 1102

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
#define IDS_TOOL_SELECT 7101
#define IDS_TOOL_RECTANGLE 7102
#define IDS_TOOL_ROUND_RECTANGLE 7103
#define IDS_TOOL_ELLIPSE 7104
#define IDS_TOOL_LINE 7105
#define IDS_TOOL_POLYGON 7106
#define IDS_TOOL_TEXT 7107
#define IDS_TOOL_ZOOM 7108
#define IDS_SELECTION_CUT 7109
#define IDS_SELECTION_COPY 7110
#define IDS_SELECTION_DELETE 7111
#define IDS_SELECTION_PROPERTIES 7112
