#pragma once
// Stacking of the SDL back end's windows where no window manager keeps
// order (SdlStacking.cpp): a window that stays above the others is raised
// again after another one comes up, without being given the keyboard.

struct SDL_Window;

namespace platform {

// Puts the window above its siblings. Unlike SDL_RaiseWindow it asks no
// window manager to activate it; where SDL does not show windows through
// X11 it does nothing.
void RaiseWithoutActivating(SDL_Window* window);

} // namespace platform
