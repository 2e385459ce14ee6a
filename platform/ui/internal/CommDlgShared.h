#pragma once
// What the colour and print dialogs (and the framework's Paste Special box)
// share: building their item lists, running the modal box in the common
// look, and passing Help to the owner.

#include "platform/base/ResourceTables.h"
#include "platform/ui/User.h"

#include <vector>

namespace platform {

// Appends one visible child item; `style` adds to WS_CHILD | WS_VISIBLE.
void AddDialogItem(std::vector<DialogItemTemplate>& items, DWORD style, short x, short y, short cx, short cy, int id,
    const char* cls, const char* text);

// Runs a visible modal dialog of cx by cy units in the common dialogs' font
// over `owner` (no owner when that is not a window); returns its result.
INT_PTR RunCommonDialog(const char* caption, short cx, short cy, const std::vector<DialogItemTemplate>& items,
    HWND owner, DLGPROC proc, LPARAM param);

// Tells the owner, if any, that Help was pressed in hDlg; `data` is the
// caller's structure.
void PostHelpToOwner(HWND owner, HWND hDlg, const void* data);

} // namespace platform
