#pragma once
// Painting inside the window system: update regions, window surfaces and
// presenting. Coordinates are named in each call.

#include "platform/base/Types.h"

namespace platform {

struct Window;
class Region;

// Adds (or removes) an area in w's client coordinates to the update region
// of w and, following the RDW_ALLCHILDREN / WS_CLIPCHILDREN rule, of its
// children. flags: RDW_*.
void InvalidateWindowArea(HWND hwnd, const Region* clientArea, UINT flags);
// Asks for the non-client frame of hwnd to be drawn again, and nothing of
// its client area or its children (a caption, a title or a menu bar that
// changed).
void InvalidateWindowFrame(HWND hwnd);
// The first window (top-level Z order, parents before children) that needs
// WM_PAINT, within `filter` (NULL: any).
HWND FindWindowToPaint(HWND filter);
// Installs the window-surface provider for platform/gdi (idempotent).
void InstallSurfaceProvider();
// Makes the top-level surface match the window size (new pixels painted on
// the next WM_PAINT).
void SyncSurface(Window& topLevel);
// Records that part of a top-level surface changed (window coordinates).
void MarkSurfaceDirty(Window& topLevel, const RECT& windowArea);
// Shows every changed surface through the driver.
void PresentDirtySurfaces();
// The visible part of w in w's window (whole) or client coordinates:
// clipped by ancestors, minus clipped children and siblings.
Region VisibleRegion(const Window& w, bool wholeWindow);
// The same, kept in w's record until the windows it depends on move, show,
// hide or change their clipping styles; valid until w's next call.
const Region& VisibleRegionRef(const Window& w, bool wholeWindow);

} // namespace platform
