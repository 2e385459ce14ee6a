#pragma once
// Resource ids of the picture file dialog with preview.

// The child template laid into the file dialog beside its standard
// controls, which take the place of IDC_FILEIMG_STANDARD.
#define IDD_FILEIMG_CHILD 1542
#define IDC_FILEIMG_STANDARD 1119
#define IDC_FILEIMG_AUTO_PREVIEW 231
#define IDC_FILEIMG_PREVIEW_NOW 232
#define IDC_FILEIMG_FRAME 233
#define IDC_FILEIMG_STATUS 727
#define IDC_FILEIMG_GALLERY 759
#define IDC_FILEIMG_MULTIPLE 411
#define IDC_FILEIMG_NATURAL_SIZE 862
#define IDC_FILEIMG_PROPORTIONAL 861
#define IDC_FILEIMG_SEPARATOR 600
#define IDS_FILEIMG_PRINT_TITLE 14470
#define IDS_FILEIMG_SELECT_TITLE 14471
#define IDS_FILEIMG_PRINT_BUTTON 14472
#define IDS_FILEIMG_SELECT_BUTTON 14473
