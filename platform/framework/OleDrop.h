#pragma once
// COleDropTarget: makes a window a target for things dropped on it, with the
// class library's callbacks.
//
// Where the desktop lets the window system follow a drag of files while it
// is in progress (X11), the target is asked as OLE asks it: OnDragScroll and
// OnDragEnter when the pointer comes over the window, OnDragScroll and
// OnDragOver at each move (their answer is what the pointer shows), then
// OnDragLeave when it goes, or OnDropEx and, when that declines (-1),
// OnDrop with the last answer. During the drag the data object offers
// CF_HDROP but gives no files: a drag names them only at the drop, when the
// data object holds them.
//
// Otherwise the window system delivers only finished drops of files from
// the desktop (WM_DROPFILES); there is no drag in progress to follow.
// Register makes the window accept file drops and takes over its
// WM_DROPFILES. Each drop is then played as a whole drag at the drop point,
// with the keys held at that moment: OnDragEnter, OnDragScroll and, unless
// that scrolled, OnDragOver; when the answer is not DROPEFFECT_NONE,
// OnDropEx with that effect as the default and then, when OnDropEx declines
// (-1), OnDrop; otherwise OnDragLeave (as OLE calls it when a drag leaves or
// the drop is refused). The data object offers the files as CF_HDROP. Enter
// and over get MK_LBUTTON with the shift and control bits; the drop gets the
// keys alone.
//
// The default callbacks forward to the window when it is a CView (its
// OnDragEnter and the rest), else answer DROPEFFECT_NONE / FALSE.
//
// The target does not own the window; Revoke (also run by the destructor and
// when the window is destroyed) gives the window its own WM_DROPFILES back.

#include "platform/base/Geometry.h"
#include "platform/base/Object.h"
#include "platform/framework/OleTypes.h"

#include <memory>

class CWnd;
class COleDataObject;
namespace platform {
class DragTarget;
}
struct HDROP__;
typedef HDROP__* HDROP;

class COleDropTarget : public CObject {
    DECLARE_DYNAMIC(COleDropTarget)
public:
    COleDropTarget();
    ~COleDropTarget() override;
    COleDropTarget(const COleDropTarget&) = delete;
    COleDropTarget& operator=(const COleDropTarget&) = delete;

    // FALSE when the window does not exist or already has a drop target.
    BOOL Register(CWnd* pWnd);
    virtual void Revoke();

    virtual DROPEFFECT OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
    virtual DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
    virtual BOOL OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point);
    virtual DROPEFFECT OnDropEx(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropDefault,
        DROPEFFECT dropList, CPoint point);
    virtual void OnDragLeave(CWnd* pWnd);
    virtual DROPEFFECT OnDragScroll(CWnd* pWnd, DWORD dwKeyState, CPoint point);

    // The window registered, or NULL.
    HWND GetRegisteredWindow() const { return m_hWnd; }

    // The window procedure's part: plays one drop on this target. The drop
    // handle is finished here.
    void HandleDrop(HDROP hDrop);

private:
    HWND m_hWnd = NULL;
    // The window system's view of this target during a drag in progress.
    std::unique_ptr<platform::DragTarget> m_live;
};
