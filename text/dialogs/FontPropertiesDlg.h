#pragma once
// CFontPropertiesDlg: the text format panel in a small dialog of its own,
// which the view's Font command opens. The panel shows the active view's
// selected text as the user works (it is refreshed on every key and left
// button press and release), its commands act at once, and "Done" closes
// the dialog. Tab, Shift+Tab and the arrow keys walk one ring: font, size,
// colour, the four styles, the four alignments, Done, and round again.

#include "platform/framework/Afx.h"
#include "text/dialogs/TextFormatPanel.h"

class CFontPropertiesDlg : public CDialog {
public:
    explicit CFontPropertiesDlg(CWnd* pParent = NULL);

    // The controls of the focus ring, in order (Done last).
    static const UINT kFocusRing[12];

    CTextFormatPanel& GetPanel() { return m_panel; }
    // How far the panel's controls and Done were lifted, in pixels.
    int GetLift() const { return m_nLift; }

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL OnInitDialog() override;

private:
    // Moves the focus one step along the ring (backwards with bBack),
    // passing over controls that cannot take it; TRUE when it moved.
    BOOL MoveFocus(BOOL bBack);
    CWnd* RingControl(int nIndex);

    CTextFormatPanel m_panel;
    int m_nLift = 0;
};

// Runs the Font Properties dialog over pParent until Done.
void RunFontProperties(CWnd* pParent);
