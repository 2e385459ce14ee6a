#pragma once
// The clipboard's CF_TEXT as the program's text editors paste it. Another
// program may hand over a block without its terminating zero; the text then
// runs to the end of the block and never past it.

#include "platform/base/String.h"
#include "platform/base/Types.h"

// The text of a CF_TEXT block: up to its first zero, else the whole block.
// Empty for a NULL or unreadable block.
CString ClipboardBlockText(HANDLE hData);

// Opens the clipboard for hWndOwner, reads its CF_TEXT and closes it again.
// FALSE, with strText emptied, when the clipboard cannot be opened or holds
// no CF_TEXT.
BOOL ReadClipboardText(HWND hWndOwner, CString& strText);
