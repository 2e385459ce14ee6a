#pragma once
// Resource ids of the preview grids, Preview Options and the catalog printer.

#define IDD_PREVIEW_OPTIONS 373
#define IDC_PREVIEW_SMALL 3731
#define IDC_PREVIEW_MEDIUM 3732
#define IDC_PREVIEW_LARGE 3733
