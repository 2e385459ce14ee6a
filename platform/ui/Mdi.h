#pragma once
// The multiple-document interface of the window system: the "MDIClient"
// class that a frame window creates in its client area, the records passed
// when creating the client and its children, and the default procedures of
// frames and children. Children of an MDI client are ordinary child windows
// with a caption; the client keeps which one is active, which are maximised,
// and the frame's "Window" menu list (one "&1 Title" item per child, ids
// from idFirstChild up).
//
// Messages to the client (numbers in Messages.h):
//   WM_MDICREATE      lParam MDICREATESTRUCT*        -> the new child, or NULL
//   WM_MDIDESTROY     wParam child                   -> 0
//   WM_MDIACTIVATE    wParam child                   -> 0
//   WM_MDIGETACTIVE   lParam BOOL* maximised or NULL -> the active child
//   WM_MDINEXT        wParam child or NULL, lParam nonzero for the previous
//   WM_MDIMAXIMIZE / WM_MDIRESTORE   wParam child
//   WM_MDITILE        wParam MDITILE_*               -> TRUE when arranged
//   WM_MDICASCADE     wParam MDITILE_SKIPDISABLED    -> TRUE when arranged
//   WM_MDIICONARRANGE
//   WM_MDISETMENU     wParam frame menu, lParam window menu (NULL: unchanged)
//                     -> the frame's previous menu
//   WM_MDIREFRESHMENU -> the frame's menu
// A child receives WM_MDIACTIVATE with wParam the child losing activation
// and lParam the child gaining it.

#include "platform/base/Types.h"
#include "platform/ui/User.h"

struct CLIENTCREATESTRUCT {
    HMENU hWindowMenu; // the popup that lists the children, or NULL
    UINT idFirstChild; // id of the first child; the rest follow in order
};
typedef CLIENTCREATESTRUCT* LPCLIENTCREATESTRUCT;

struct MDICREATESTRUCTA {
    LPCSTR szClass;
    LPCSTR szTitle;
    HANDLE hOwner; // instance
    int x;
    int y;
    int cx;
    int cy;
    DWORD style;
    LPARAM lParam; // reaches the child as CREATESTRUCT::lpCreateParams->lParam
};
typedef MDICREATESTRUCTA MDICREATESTRUCT;
typedef MDICREATESTRUCT* LPMDICREATESTRUCT;

// Client style: children keep every style bit they are created with.
#define MDIS_ALLCHILDSTYLES 0x0001

#define MDITILE_VERTICAL 0x0000
#define MDITILE_HORIZONTAL 0x0001
#define MDITILE_SKIPDISABLED 0x0002
#define MDITILE_ZORDER 0x0004

// The default procedure of a frame window that holds an MDI client
// (hWndMDIClient may be NULL before the client exists).
LRESULT DefFrameProc(HWND hWnd, HWND hWndMDIClient, UINT uMsg, WPARAM wParam, LPARAM lParam);
// The default procedure of an MDI child window.
LRESULT DefMDIChildProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
// The keyboard interface of MDI children: Ctrl+F4 closes the active child,
// Ctrl+F6 and Ctrl+Tab (with Shift: backwards) activate the next one.
// TRUE when lpMsg was such a key and has been acted on.
BOOL TranslateMDISysAccel(HWND hWndClient, LPMSG lpMsg);
// Creates an MDI child of hWndParent (an MDI client) as WM_MDICREATE does.
HWND CreateMDIWindow(LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X, int Y, int nWidth,
    int nHeight, HWND hWndParent, HINSTANCE hInstance, LPARAM lParam);
