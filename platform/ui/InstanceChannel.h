#pragma once
// The window system's side of the single-instance channel: requests from
// later copies of the program reach the first copy's main window through
// its message loop.
//
// A registered message another copy delivers by name is sent (not posted)
// to the main window as the message RegisterWindowMessage gives that name
// here, so the other copy gets the window procedure's result; then this copy
// comes forward as for an activate request. A name this copy never
// registered reaches no window and answers 0. An activate request restores
// the main window when it is minimised and brings it to the front with the
// keyboard, or the popup it last activated (a modal dialog) when that is
// enabled.

#include "platform/base/Types.h"

namespace platform {

class SingleInstance;

// The window requests from other copies go to; NULL for none (requests are
// then answered with 0 and activation does nothing).
void SetInstanceMainWindow(HWND hwnd);
HWND GetInstanceMainWindow();

// Lets the message loop serve `channel`: its descriptor is watched while the
// loop waits, and its message and activate handlers are replaced by the
// ones above. False unless `channel` is the first copy. The loop stops
// watching by itself once the channel is closed, destroyed or no longer
// the process's current one (SingleInstance::Current()).
bool ConnectInstanceChannel(SingleInstance& channel);
// Stops serving the channel connected last (harmless when there is none).
void DisconnectInstanceChannel();

} // namespace platform
