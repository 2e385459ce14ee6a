#pragma once
// Windows that follow a drag of files from another program while it is in
// progress, as the desktop's drag-and-drop protocol lets them (on X11): the
// window under the pointer is asked at every move whether it would take
// the files, and its answer is what the pointer shows. The class library's
// drop target registers here; the program never names this.
//
// The answers are drop effects (1 copy, 2 move, 4 link, 0 none), the keys
// are the MK_ bits of the mouse messages and the points are in screen
// coordinates. The files are known only at the drop: a drag names no files
// until then.
//
// A window's part is looked up from the deepest window under the pointer
// up through its parents: the first with a registered target answers; the
// first that only accepts files (DragAcceptFiles) takes them as a whole
// drop (WM_DROPFILES) with a copy answer. A document window of a
// multiple-document frame bounds the search: what the document's own
// windows do not take is refused there, not handed to the frame, which
// would give it to whichever document is active.

#include "platform/base/Types.h"

#include <string>
#include <vector>

namespace platform {

class DragTarget {
public:
    virtual ~DragTarget() = default;
    virtual DWORD DragEnter(DWORD keys, POINT screen) = 0;
    virtual DWORD DragOver(DWORD keys, POINT screen) = 0;
    virtual void DragLeave() = 0;
    // The files in Windows form; `effect` is the last answer. The effect
    // the drop had, DROPEFFECT_NONE when nothing came of it.
    virtual DWORD Drop(const std::vector<std::string>& files, DWORD keys, POINT screen, DWORD effect) = 0;
};

// One target per window; false when the window does not exist or has one.
// The target is not owned and must be revoked before it goes.
bool RegisterDragTarget(HWND hwnd, DragTarget* target);
void RevokeDragTarget(HWND hwnd);
// The window's target, or null.
DragTarget* RegisteredDragTarget(HWND hwnd);

// Where a drag at a screen point goes: the window that answers and its
// target (null for a window that takes whole drops); window NULL when
// nothing there takes files. `topLevel` is the top-level window the desktop
// says the pointer is over (NULL: the topmost of ours under the point).
struct DragSite {
    HWND window = NULL;
    DragTarget* target = nullptr;
};
DragSite FindDragSite(HWND topLevel, POINT screen);

} // namespace platform
