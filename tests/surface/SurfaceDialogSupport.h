#pragma once
// Steps for the surface's own dialogs when a test drives them through
// testing_support::DriveActiveWindow.

#include "tests/support/DialogDriver.h"

#include <functional>
#include <string>

namespace surfacetest {

// The text of control nID (up to 63 characters).
inline std::string ItemText(HWND hDlg, int nID)
{
    char text[64] = {};
    ::GetDlgItemText(hDlg, nID, text, sizeof(text));
    return text;
}

// A click as the button sends it, handled before this returns.
inline void Click(HWND hDlg, int nID)
{
    ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), LPARAM(::GetDlgItem(hDlg, nID)));
}

// A step that waits for the dialog holding control nProbeID, then acts on it.
inline testing_support::DialogStep OnDialogWith(int nProbeID, std::function<void(HWND)> action)
{
    return [nProbeID, action](HWND hDlg) {
        if (::GetDlgItem(hDlg, nProbeID) == NULL)
            return false;
        action(hDlg);
        return true;
    };
}

} // namespace surfacetest
