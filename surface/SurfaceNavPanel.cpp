#include "surface/SurfaceNavPanel.h"

#include "surface/ToolpadPanel.h"

// FIXME(lead): replaced by the navigation panel's own code.
CToolPadPanel* CreateSurfaceNavPanel(CWnd* pParent, const CRect& rect, UINT nID, BOOL bTitle)
{
    (void)bTitle;
    auto* pPanel = new CToolPadPanel(NULL, FALSE, 0);
    if (!pPanel->CreatePanel(pParent, rect, nID, FALSE)) {
        delete pPanel;
        return nullptr;
    }
    return pPanel;
}
