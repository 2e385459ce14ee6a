// The view as a drop target. The Properties command, the one-click picture
// effects, information fields and wallpaper join it here.

#include "surface/Surface.h"

// FIXME: the drop target's own answers (page, keys, the dropped files) are
// being built; until then the view answers as the framework's view does.
DROPEFFECT CSurface::OnDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    return CScrollView::OnDragEnter(pDataObject, dwKeyState, point);
}

DROPEFFECT CSurface::OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    return CScrollView::OnDragOver(pDataObject, dwKeyState, point);
}

void CSurface::OnDragLeave()
{
    CScrollView::OnDragLeave();
}

BOOL CSurface::OnDrop(COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point)
{
    return CScrollView::OnDrop(pDataObject, dropEffect, point);
}
