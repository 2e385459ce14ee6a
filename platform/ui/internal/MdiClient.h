#pragma once
// The state of one MDI client window, shared by the client's procedure
// (MdiClient.cpp), its arrangement code (MdiArrange.cpp), the default frame
// and child procedures (MdiDefProc.cpp) and the maximised child's buttons in
// the frame's menu bar (MdiMenuBar.cpp).

#include "platform/base/Types.h"
#include "platform/ui/Mdi.h"

#include <string>
#include <vector>

namespace platform {

struct MdiClientState {
    HWND client = NULL;
    HWND frame = NULL;
    DWORD style = 0; // the client's own style (MDIS_ALLCHILDSTYLES)
    HMENU windowMenu = NULL;
    UINT idFirstChild = 0;
    // Children in id order: children[i] has id idFirstChild + i.
    std::vector<HWND> children;
    HWND active = NULL;
    HWND maximized = NULL; // the child whose maximised state the frame shows
    bool closing = false; // the client is being destroyed

    // The frame's own title, without " - [child]".
    std::string frameTitle;
    bool frameTitleKnown = false;

    // Items the client has added to menus.
    bool listSeparatorAdded = false;
    HMENU decoratedMenu = NULL; // the frame menu holding the maximised child's buttons
    HMENU decorationSysMenu = NULL; // the child's system menu placed in it
    std::vector<HBITMAP> decorationBitmaps;
};

// The state of an MDI client, or nullptr for any other window.
MdiClientState* FindMdiClient(HWND client);
// The state of the client that holds `child` as an MDI child.
MdiClientState* MdiClientOfChild(HWND child);

// Puts the client's procedure on the built-in "MDIClient" class.
void InstallMdiClientClass();

// Activation and lifetime (MdiClient.cpp). Each looks the state up again
// after every message it sends.
void MdiActivate(HWND client, HWND child);
void MdiDestroyChild(HWND client, HWND child);
void MdiNext(HWND client, HWND child, bool previous);
// A child's WM_SIZE told it changed between maximised and not.
void MdiChildSizeStateChanged(HWND client, HWND child, bool maximized);
// The frame's window menu list and checks, rebuilt from the children.
void MdiRefreshWindowList(HWND client);
// The frame's text again: its title, plus " - [child]" with a maximised child.
void MdiUpdateFrameTitle(HWND client);
// The rectangle (client coordinates of the MDI client) a maximised child
// takes so that only its client area shows.
RECT MdiMaximizedRect(HWND client, HWND child);

// Arrangement (MdiArrange.cpp).
BOOL MdiTile(HWND client, UINT how);
BOOL MdiCascade(HWND client, UINT how);
void MdiArrangeIcons(HWND client);
// Where the next minimised child goes (client coordinates).
POINT MdiIconSlot(HWND client, HWND child);

// The maximised child's system menu and buttons in the frame's menu bar
// (MdiMenuBar.cpp).
void MdiAddMaximizedButtons(HWND client);
void MdiRemoveMaximizedButtons(HWND client);

} // namespace platform
