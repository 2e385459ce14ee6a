#pragma once
// Shared by CDialog and the property sheet: making a framework window from
// a dialog template, running it modally over its owner, and the route of
// its commands.

#include "platform/ui/User.h"

#include <functional>

class CWnd;
struct AFX_CMDHANDLERINFO;

namespace platform {

// Creates the window over the dialog manager with pWnd attached before the
// first message; FALSE when the window could not be made or died while
// being made.
BOOL CreateFrameworkDialog(CWnd* pWnd, LPCDLGTEMPLATE lpTemplate, HWND hWndParent, HINSTANCE hInst, DLGPROC proc);
// The top-level window a modal dialog is owned by: the given parent's top
// window, else the application's main window.
HWND ModalOwner(CWnd* pParentWnd);
// A template by name in the resource modules; hInst receives its module.
LPCDLGTEMPLATE FindTemplate(LPCTSTR lpszTemplateName, HINSTANCE& hInst);
// The application's main window, NULL without one.
HWND DefaultDialogOwner();
// The rest of a dialog window's command route once the window itself has
// passed: commands (not control notifications, not the dialog's own button
// ids or system commands) go on to its owner, then to the application
// thread when there is one.
BOOL RouteDialogCommand(HWND hWnd, UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);
// Runs pWnd modally over owner (which may be NULL): run() creates the
// window and runs its modal loop, with modalPending true meanwhile and the
// owner disabled. Afterwards the window is hidden (so activation goes back
// to the owner), the owner enabled and activated, and the window destroyed;
// an exception out of run() still enables the owner and destroys the window.
void RunModalOver(CWnd* pWnd, HWND owner, bool& modalPending, const std::function<void()>& run);

} // namespace platform
