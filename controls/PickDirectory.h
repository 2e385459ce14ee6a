#pragma once
// The folder picker as the program's dialogs call it.

#include "platform/base/String.h"

class CWnd;

// The Open-dialog picker's template and its private start-up message.
#define IDD_PICK_DIRECTORY_OPEN 269
#define WM_PICK_DIRECTORY_SETUP 0x0506

// Lets the user pick a folder, starting at strPath: the folder tree on the
// current platform, the trimmed Open dialog on older ones. TRUE, with the
// folder in strPath ("C:\pics\" from the Open dialog, "C:\pics" from the
// tree), when one was chosen; *pbChecked gets check box 576 when shown.
BOOL PickDirectory(CWnd* pParent, CString& strPath, BOOL bShowCheck, BOOL* pbChecked = nullptr);

// The platform value PickDirectory goes by (GetPlatform's), or, for tests,
// the one set here; -1 goes back to asking the system.
void SetPickDirectoryPlatform(int nPlatform);
