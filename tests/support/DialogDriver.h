#pragma once
// Drives modal dialogs from a test: each step runs when the loop goes idle,
// on the window that is active then, and answers whether it acted; a step
// that did not act is tried again at the next idle. When the steps are used
// up the loop is left alone (the headless back end ends a loop that would
// wait forever with WM_QUIT).

#include "platform/ui/Headless.h"
#include "platform/ui/User.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace testing_support {

using DialogStep = std::function<bool(HWND hActive)>;

inline void DriveActiveWindow(std::vector<DialogStep> steps)
{
    auto queue = std::make_shared<std::vector<DialogStep>>(std::move(steps));
    auto next = std::make_shared<size_t>(0);
    platform::headless::SetIdleHandler([queue, next]() {
        if (*next >= queue->size())
            return false;
        HWND hActive = ::GetActiveWindow();
        if (hActive == NULL || !(*queue)[*next](hActive))
            return false;
        ++*next;
        return true;
    });
}

// A step that presses button nID of the active dialog.
inline DialogStep PressButton(int nID)
{
    return [nID](HWND hDlg) {
        ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), LPARAM(::GetDlgItem(hDlg, nID)));
        return true;
    };
}

// The text of control nID (up to 127 characters).
inline std::string ItemText(HWND hDlg, int nID)
{
    char text[128] = {};
    ::GetDlgItemText(hDlg, nID, text, sizeof text);
    return text;
}

// A click as the button sends it, handled before this returns.
inline void Click(HWND hDlg, int nID)
{
    ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), LPARAM(::GetDlgItem(hDlg, nID)));
}

// The window's caption.
inline std::string WindowTitle(HWND hWnd)
{
    char text[128] = {};
    ::GetWindowText(hWnd, text, sizeof text);
    return text;
}

// A control anywhere below the window (the file dialog keeps its own
// controls in a child dialog).
inline HWND FindDescendant(HWND hWnd, int nID)
{
    if (HWND hDirect = ::GetDlgItem(hWnd, nID))
        return hDirect;
    for (HWND hChild = ::GetWindow(hWnd, GW_CHILD); hChild != NULL; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        if (HWND hFound = FindDescendant(hChild, nID))
            return hFound;
    }
    return NULL;
}

// A step that waits for the dialog captioned pszTitle and presses its OK.
inline DialogStep PressOkIn(const char* pszTitle)
{
    return [pszTitle](HWND hActive) {
        if (WindowTitle(hActive) != pszTitle)
            return false;
        ::PostMessage(hActive, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return true;
    };
}

} // namespace testing_support
