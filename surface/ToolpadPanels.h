#pragma once
// The tool pad's own panels: the workspace panel at the top (insert a
// picture or text, print, supplies, new and open), and the context panels
// the palette shows one at a time for the selection (picture, hint, shape,
// arrange, calendar, day cell and hour cell). The palette (CToolpadWnd)
// creates and owns them.
//
// Their buttons only post menu commands to the main window or open the
// selected object's editor on a page. A context panel's button first asks
// ToolPageFitsSelection with the panel's state: a click that reaches a panel
// after the selection changed kind does nothing. Commands that need the one
// selected object do nothing without it.

#include "surface/ToolpadPanel.h"

// One picture button of a panel: control id, rectangle in the panel,
// normal and pressed pictures, tooltip.
struct ToolpadButtonDef {
    UINT nID;
    int left, top, right, bottom;
    UINT nNormal;
    UINT nPressed;
    const char* pszTip;
};

// Posts a menu command to the main window, as a menu choice would.
void PostToolpadCommand(UINT nCommand);

class CWorkspacePanel : public CToolPadPanel {
    DECLARE_DYNAMIC(CWorkspacePanel)
public:
    CWorkspacePanel();

    // Which of the two text buttons give way to "Change text".
    enum class TextButtons {
        Insert,        // both insert buttons
        ChangeWrapped, // "Insert Text on the workspace" becomes "Change text" (419)
        ChangeBlock,   // "Insert Text through text dialog" becomes "Change text" (575)
    };
    void SwitchTextButtons(TextButtons buttons);
    // bEdit: "Insert Picture" gives way to "Edit picture".
    void SwitchPictureButtons(BOOL bEdit);

protected:
    BOOL OnCreatePanel() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    void ShowButton(UINT nID, BOOL bShow);
    void OnInsertTextOnWorkspace();
};

// A context panel: the title picture, its buttons, and the state whose
// selection it serves.
class CContextPanel : public CToolPadPanel {
    DECLARE_DYNAMIC(CContextPanel)
public:
    CContextPanel(int nState, UINT nHowDoIMenu, UINT nTitle, const ToolpadButtonDef* pButtons, size_t nButtons);
    int GetState() const { return m_nState; }

protected:
    BOOL OnCreatePanel() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // A click on one of the panel's buttons, once the selection still fits.
    virtual void OnButton(UINT nID) = 0;
    // Opens the one selected object's editor on nPage; with bWithView the
    // active view is handed to it. FALSE without one selected object.
    static BOOL OpenSelectedEditor(int nPage, BOOL bWithView);

private:
    int m_nState;
    UINT m_nTitle;
    const ToolpadButtonDef* m_pButtons;
    size_t m_nButtons;
};

class CPicturePanel : public CContextPanel {
public:
    CPicturePanel();
    // The first button shows again when the panel is left.
    void ShowFirstButton();

protected:
    void OnButton(UINT nID) override;
};

// No buttons: a line of advice under the title.
class CHintPanel : public CContextPanel {
public:
    CHintPanel();

protected:
    void OnButton(UINT nID) override { (void)nID; }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void PaintHint(CDC* pDC);
};

class CShapePanel : public CContextPanel {
public:
    CShapePanel();
    // A line cannot change its shape or hold a picture: those two buttons
    // hide. TRUE when the buttons changed.
    BOOL ShowShapeButtons(BOOL bShow);

protected:
    void OnButton(UINT nID) override;

private:
    void OnInsertPictureInShape();
};

class CArrangePanel : public CContextPanel {
public:
    CArrangePanel();

protected:
    // Each button opens its menu of arrange commands at the pointer.
    void OnButton(UINT nID) override;
};

class CCalendarPanel : public CContextPanel {
public:
    CCalendarPanel();

protected:
    void OnButton(UINT nID) override;
};

// The day and hour cell panels differ only in their second button.
class CCellPanel : public CContextPanel {
public:
    explicit CCellPanel(BOOL bHour);

protected:
    void OnButton(UINT nID) override;
};

class CDayCellPanel : public CCellPanel {
public:
    CDayCellPanel() : CCellPanel(FALSE) {}
};

class CHourCellPanel : public CCellPanel {
public:
    CHourCellPanel() : CCellPanel(TRUE) {}
};
