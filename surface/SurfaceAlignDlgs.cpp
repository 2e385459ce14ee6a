// Arrange > Align > Other and Edit > Scale Selection: the commands that run
// the Align and Scale dialogs.

#include "surface/Surface.h"

#include "platform/framework/Afx.h"

void CSurface::OnAlignOther()
{
    // FIXME: runs the Align dialog once it exists; until then its update
    // handler keeps the command from coming.
}

void CSurface::OnUpdateAlignOther(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(FALSE);
}

void CSurface::OnScaleSelection()
{
    // FIXME: Scale Selection runs the Scale dialog (10 to 400 %) on the
    // first selected object, which does not exist yet; until then the
    // command stays disabled.
}

void CSurface::OnUpdateScaleSelection(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(FALSE);
}
