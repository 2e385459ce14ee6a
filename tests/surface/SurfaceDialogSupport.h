#pragma once
// Steps for the surface's own dialogs when a test drives them through
// testing_support::DriveActiveWindow.

#include "tests/support/DialogDriver.h"

#include <functional>
#include <string>

namespace surfacetest {

using testing_support::Click;
using testing_support::ItemText;

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
