#pragma once
// AfxMessageBox: the class library's message box with the application's
// title as caption. Until the application object exists (or when it does
// not take the call over), the caption is the title string of the
// resources. A help id other than 0 gives the box a Help button.

#include "platform/base/Types.h"

#include <functional>

int AfxMessageBox(LPCSTR lpszText, UINT nType = 0 /* MB_OK */, UINT nIDHelp = 0);
// The prompt is string nIDPrompt; the help id (UINT)-1 means the prompt's id.
int AfxMessageBox(UINT nIDPrompt, UINT nType = 0 /* MB_OK */, UINT nIDHelp = (UINT)-1);

namespace platform {

// The application object takes the boxes over (its DoMessageBox); an empty
// function gives them back.
using MessageBoxHandler = std::function<int(LPCSTR text, UINT type, UINT helpId)>;
void SetAfxMessageBoxHandler(MessageBoxHandler handler);

} // namespace platform
