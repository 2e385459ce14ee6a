#pragma once
// What the SDL back end does with the X11 connection beneath SDL
// (SdlX11.cpp): waiting on it itself, and keeping an X error about a window
// that is already gone from ending the program.

struct SDL_Window;

namespace platform {

// The X11 display (an Xlib Display*) of an SDL window; null when SDL does
// not show it through X11.
void* X11DisplayOf(SDL_Window* window);

// The X window of an SDL window, made known to the server (so that another
// connection may use it at once); 0 when SDL does not show it through X11.
unsigned long X11WindowOf(SDL_Window* window);

// Sends what Xlib holds back for `display` and gives the connection's
// descriptor; true when events already read wait in Xlib's queue, so that
// the caller must not block on the descriptor.
bool X11FlushForWait(void* display, int& fd);

// Replaces Xlib's default for errors that name a window or drawable that no
// longer exists (BadWindow, BadDrawable), which ends the process: such an
// error is noted once on standard error and otherwise ignored. Other errors
// go to the handler that was there before. Once per process.
void IgnoreX11ErrorsOfGoneWindows();

} // namespace platform
