// Ids of the resource compiler's test script.
#define IDS_HELLO 1
#define IDS_ESCAPES 2
#define IDS_LONG_ID 61699
#define IDM_MAIN 100
#define IDM_EXTENDED 101
#define IDA_MAIN 102
#define IDD_ABOUT 103
#define IDD_CLASSIC 104
#define IDB_TINY 105
#define IDI_POINTER 106
#define IDC_PEN 107
#define IDT_MAIN 108
#define IDC_BASE 1000
#define IDC_NEXT (IDC_BASE + 1)
#define ID_FILE_OPEN 0xE101
#define ID_EDIT_COPY 0xE122
#define ID_VIEW_ZOOM 33202
#ifdef NOT_DEFINED
#define IDS_HELLO 99
#endif
#if 0
#error skipped
#elif defined(IDS_HELLO) && IDS_HELLO == 1
#define FIXTURE_BRANCH 12
#else
#define FIXTURE_BRANCH 13
#endif
