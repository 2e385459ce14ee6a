#pragma once
// CToolpadWnd: the tool pad's palette, the one child window of the tool pad
// bar. Over the tool-pad picture ("support\toolpad.jpg" in the program
// folder) it stacks the workspace panel at the top, the one context panel
// the selection of the active design view calls for, and the surface
// navigation panel at the foot. UpdateForSelection, run after every
// selection change, swaps the context panel when the selection's state
// changed and refreshes the text and navigation panels.
//
// The bar owns the palette; the palette owns every panel it made and
// deletes them when its window goes. Without a readable picture the
// palette keeps the picture's usual size and paints the button face, so the
// panels stay usable.

#include "platform/framework/Afx.h"

class CBitmap;
class CSurface;
class CToolPadPanel;
class CWorkspacePanel;
class CShapePanel;

class CToolpadWnd : public CWnd {
    DECLARE_DYNAMIC(CToolpadWnd)
public:
    // The size the palette takes without its picture: the picture's own.
    static constexpr int kPictureWidth = 130;
    static constexpr int kPictureHeight = 370;
    // The palette's control id in the bar.
    static constexpr UINT kPaletteId = 0xE800;

    CToolpadWnd();
    ~CToolpadWnd() override;

    // Loads the picture, creates the window (visible, child nID of pParent at
    // ptTopLeft, GetSize() large) and the panels. FALSE when a window
    // cannot be made.
    BOOL Create(CWnd* pParent, CPoint ptTopLeft, UINT nID = kPaletteId);

    // The window's size: the picture's (or the fallback size) plus the
    // border on each side.
    CSize GetSize() const;
    // The picture area's size: the picture's, or kPictureWidth x
    // kPictureHeight without one.
    CSize GetPictureSize() const;
    BOOL HasPicture() const;

    // Re-reads the selection of the active design view: shows the panel of
    // its state, switches the workspace panel's buttons and refreshes the
    // text and navigation panels. Nothing without an active view.
    void UpdateForSelection();

    // The state shown (0 before the first refresh, then 1..8).
    int GetState() const { return m_nState; }
    // The panel that serves nState (1..8); NULL for other states and for
    // the text panel before its first use.
    CToolPadPanel* GetStatePanel(int nState) const;
    CWorkspacePanel* GetWorkspacePanel() const { return m_pWorkspace; }
    CToolPadPanel* GetNavigationPanel() const { return m_pNavigation; }
    CToolPadPanel* GetTextPanel() const { return m_pText; }
    // The shown context panel; NULL in state 0.
    CToolPadPanel* GetContextPanel() const { return GetStatePanel(m_nState); }

    // Where the keyboard focus goes when the user asks for the tool pad:
    // the first enabled control of the shown context panel, else the
    // workspace panel's first shown button. NULL when neither has one.
    CWnd* GetFocusTarget() const;

    // Where the picture comes from.
    static CString GetPicturePath();

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    void LoadPicture();
    BOOL CreatePanels();
    void DeletePanels();
    // Leaves the old state: hides its panel and puts back the buttons it
    // switched.
    void LeaveState(int nState);
    void EnterState(int nState, BOOL bBlockText);
    void SwitchTextButtons(BOOL bBlockText);
    void UpdateShapeButtons(CSurface* pView);
    void GoToSurface(int nIndex);
    void ShowContextMenu(CPoint ptScreen);
    void OnHide();
    void ForwardToBar(UINT message, WPARAM wParam, LPARAM lParam);

    CBitmap* m_pPicture = nullptr; // owned; NULL when none could be read
    int m_nState = 0;
    CRect m_rectLeft; // where the panel of the state just left was
    CWorkspacePanel* m_pWorkspace = nullptr;
    CToolPadPanel* m_pPicturePanel = nullptr;
    CToolPadPanel* m_pHint = nullptr;
    CToolPadPanel* m_pCalendar = nullptr;
    CShapePanel* m_pShape = nullptr;
    CToolPadPanel* m_pArrange = nullptr;
    CToolPadPanel* m_pDayCell = nullptr;
    CToolPadPanel* m_pHourCell = nullptr;
    CToolPadPanel* m_pNavigation = nullptr;
    CToolPadPanel* m_pText = nullptr; // made the first time state 1 comes
};
