#pragma once
// Shared by CDialog and the property sheet: making a framework window from
// a dialog template, and the owner of a modal one.

#include "platform/ui/User.h"

class CCmdTarget;
class CWnd;

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
// The last stop of a dialog's command route: the application, or NULL.
CCmdTarget* DialogCommandFallback();

} // namespace platform
