#pragma once
// Resource ids of printdlgs: the Two-Sided Printing dialog and the print command's messages.

// Two-Sided Printing: shown between the passes of a design printed one side
// at a time, while the user turns the sheet over.
#define IDD_TWOSIDED_PRINT 681
#define IDC_TWOSIDED_NEXT 6810
#define IDC_TWOSIDED_ADVICE 6811

// The print command's messages.
#define IDS_PRINT_NEXT_PAGE 2116
#define IDS_TWOSIDED_NEXT 6812
#define IDS_TWOSIDED_SIDE 6813
#define IDS_PRINT_NO_DEFAULT_PRINTER 6814
#define IDS_PRINT_PAGE_STATE_LOST 6815
