#pragma once
// Resource ids of savedlg.rc: the design save dialogs and the messages of
// the document's save, revert and logo commands.

// The child template of the Explorer-style Save As dialog and its one
// static control.
#define IDD_SAVEAS_CHILD 239
#define IDC_SAVEAS_STATIC 1119

// Messages.
#define IDP_REPLACE_EXISTING_FILE 5044
#define IDP_FILENAME_TOO_LONG 5046
#define IDP_REVERT_CONFIRM 5047
#define IDP_REVERT_FAILED 5048
#define IDP_OVERWRITE_PREDESIGNED 5049
#define IDP_LOGO_NAME_REFUSED 5050
