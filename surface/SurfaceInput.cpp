// The view's mouse and keyboard: each press, move, double click and release
// goes to the current tool; clicks on the selection are counted; keys move
// and size the selection.
#include "surface/Surface.h"

#include "platform/framework/Afx.h"

void CSurface::OnLButtonDown(UINT nFlags, CPoint point)
{
    CScrollView::OnLButtonDown(nFlags, point);
    SetFocus();
}

void CSurface::OnLButtonUp(UINT nFlags, CPoint point)
{
    CScrollView::OnLButtonUp(nFlags, point);
    NotifyToolpad();
}

void CSurface::OnRButtonUp(UINT nFlags, CPoint point)
{
    CScrollView::OnRButtonUp(nFlags, point);
    NotifyToolpad();
}

