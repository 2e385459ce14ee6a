// A view's part as a drop target: a view that takes nothing. Views that
// accept drops override these; COleDropTarget calls them for the view it
// is registered on.

#include "platform/framework/View.h"

DROPEFFECT CView::OnDragEnter(COleDataObject*, DWORD, CPoint)
{
    return DROPEFFECT_NONE;
}

DROPEFFECT CView::OnDragOver(COleDataObject*, DWORD, CPoint)
{
    return DROPEFFECT_NONE;
}

void CView::OnDragLeave()
{
}

BOOL CView::OnDrop(COleDataObject*, DROPEFFECT, CPoint)
{
    return FALSE;
}

DROPEFFECT CView::OnDropEx(COleDataObject*, DROPEFFECT, DROPEFFECT, CPoint)
{
    // -1: not handled here, so OnDrop is called.
    return (DROPEFFECT)-1;
}

DROPEFFECT CView::OnDragScroll(DWORD, CPoint)
{
    return DROPEFFECT_NONE;
}
