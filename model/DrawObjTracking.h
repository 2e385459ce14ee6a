#pragma once
// The state one handle drag shares among the selected objects it sizes.
//
// When several objects are selected and the mouse tools drag a handle, the
// tools call CDrawObj::MoveHandleTo for the object whose handle is held
// first (the primary object) and then for each other selected object with
// the same point. The primary object records how far the mouse lies from
// its moved sides; the others move their own sides by that same offset, so
// that every object grows by the same amount. One state for the program,
// used on the user-interface thread only.

#include "platform/base/Types.h"

// Starts a new drag: the next object sized while several are selected is
// the primary one. The tools call it at every press; tests call it to start
// clean.
void ResetHandleDrag();

// The tools' tracking flag: set while they track a drag. While it is set,
// CDrawObj::MoveTo ends the object's drag drawing (OBJ_FLAG_DRAGGING).
void SetToolTracking(BOOL bTracking);
BOOL IsToolTracking();
