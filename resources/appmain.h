#pragma once
// Resource ids of appmain.rc: the About box and the application object's
// own texts and commands.

#define IDD_ABOUTBOX 100
#define IDC_ABOUT_VERSION 1001
#define IDC_ABOUT_SYSTEM 1002
#define IDC_ABOUT_TITLE 1003

// A command whose menu entry is always available.
#define ID_APP_ALWAYS_ENABLED 37138

#define IDS_ABOUT_VERSION_FORMAT 14500
#define IDP_VIEW_PREDESIGNED 14501
#define IDP_OUT_OF_MEMORY 14502
#define IDP_SURVEY_OPEN_FAILED 14503
