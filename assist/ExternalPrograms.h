#pragma once
// Web pages and the maker's companion programs.

#include "platform/base/String.h"

// Opens a URL in the web browser; FALSE when nothing could take it.
BOOL OpenURL(LPCTSTR lpszURL);

// The maker's font viewer and address-book programs: TRUE with the path
// when the program file is in the program folder. They are not part of
// this program, so normally both answer FALSE.
BOOL FindFontViewerExe(CString& strPath);
BOOL FindContaxExe(CString& strPath);
