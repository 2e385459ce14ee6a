#include "text/dialogs/TextFormatPanel.h"

#include "surface/ToolpadPanel.h"

// FIXME(lead): replaced by the text format panel's own code.
CToolPadPanel* CreateTextFormatPanel(CWnd* pParent, const CRect& rect)
{
    auto* pPanel = new CToolPadPanel(NULL, FALSE, 0);
    if (!pPanel->CreatePanel(pParent, rect, 31002, FALSE)) {
        delete pPanel;
        return nullptr;
    }
    return pPanel;
}
