#pragma once
// The surface navigation panel at the foot of the tool pad: Previous and
// Next step through the surfaces of a design with more than one, and the
// picture of the current surface opens a flyout chooser of them all.
//
// The panel belongs to the palette that made it (its parent), which also
// receives its requests: TPM_PREV_SURFACE, TPM_NEXT_SURFACE and
// TPM_GOTO_SURFACE with the chosen index. It hides itself for a design of
// one surface and shows itself again for one of more; a document that
// reports no surfaces leaves it as it is.

#include "controls/HoverPicButton.h"
#include "surface/ToolpadPanel.h"

class CRect;
class CWnd;

// Makes the navigation panel (created hidden) as child nID of the palette;
// bTitle gives it its title picture. NULL when its window cannot be made.
CToolPadPanel* CreateSurfaceNavPanel(CWnd* pParent, const CRect& rect, UINT nID, BOOL bTitle);

class CSurfaceNavPanel : public CToolPadPanel {
    DECLARE_DYNAMIC(CSurfaceNavPanel)
public:
    static constexpr UINT kPanelId = 31007;
    static constexpr UINT kPreviousId = 1115;
    static constexpr UINT kNextId = 1117;
    static constexpr UINT kSurfacePictureId = 33122;
    static constexpr WORD kNoSurface = 0xFFFF;
    // How much higher everything sits without the title picture.
    static constexpr int kUntitledShift = 12;

    explicit CSurfaceNavPanel(BOOL bTitle);
    ~CSurfaceNavPanel() override;

    // Shows or hides the panel by the view's number of surfaces and, when
    // shown, puts the current surface's frame in the surface picture.
    void UpdateFromView(CSurface* pView) override;

    // Runs the flyout chooser of the surfaces unless one is open already;
    // a choice goes to the palette as TPM_GOTO_SURFACE.
    void RunChooser();
    // TRUE while a chooser of any navigation panel is open.
    static BOOL IsChooserOpen() { return s_bChooserOpen; }

    CHoverPicButton& GetSurfacePicture() { return m_surface; }
    BOOL IsShown() const { return m_bShown; }
    WORD GetLastSurface() const { return m_nLastSurface; }

protected:
    BOOL OnCreatePanel() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    static BOOL s_bChooserOpen;

    BOOL m_bTitle = FALSE;
    CHoverPicButton m_surface;
    BOOL m_bShown = FALSE;
    WORD m_nLastSurface = kNoSurface;
    BOOL m_bChanged = FALSE;
};
