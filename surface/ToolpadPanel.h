#pragma once
// CToolPadPanel: the base of the tool pad's panels (the palette's workspace
// panel, its context panels, the surface navigation panel and the text
// format panel, which the Font Properties dialog also shows). A panel is a
// child window over the tool-pad picture: it erases its background with the
// part of the picture that lies under it, carries an optional "How Do I?"
// picture button that opens a menu of help commands, and hands mouse presses
// on its empty points to its parent, so that the tool pad can be dragged
// from anywhere. The palette refreshes a shown panel through UpdateFromView.
//
// The selection states the tool pad tells apart, and the messages of its
// palette window, are here too: the panels, the palette and the tests share
// them.

#include "platform/base/Arrays.h"
#include "platform/framework/Afx.h"

class CBitmap;
class CDrawObj;
class CPicButton;
class CSurface;

// Messages of the palette window (wParam of TPM_GOTO_SURFACE: the index
// chosen in the flyout) and the command the hover button sends its parent.
constexpr UINT TPM_PREV_SURFACE = 0x9116;
constexpr UINT TPM_NEXT_SURFACE = 0x9117;
constexpr UINT TPM_GOTO_SURFACE = 0x9118;
constexpr UINT ID_SURFACE_HOVER = 0x9119;

// The tool pad's states: which context panel the selection gives.
enum ToolpadState : int {
    kToolpadNone = 0,      // at first: no context panel yet
    kToolpadText = 1,      // one object holding text
    kToolpadPicture = 2,   // one object (no calendar) holding a picture
    kToolpadCalendar = 3,  // one calendar, not a day or hour cell
    kToolpadShape = 4,     // one object (no calendar) without a picture
    kToolpadArrange = 5,   // two or more objects
    kToolpadHint = 6,      // nothing, an OLE object, or something locked
    kToolpadDayCell = 7,   // one calendar cell of kind 1 or 2
    kToolpadHourCell = 8,  // one calendar cell of kind 0
};

// The state a view's selection gives (1..8; 6 for no view). With
// bForPanelCommand the rules a panel command asks by are used: nothing
// selected gives 0, and OLE objects and locks are not looked at. pbBlockText
// (may be null) receives whether one text object holds block text.
int ToolpadStateForSelection(CSurface* pView, BOOL bForPanelCommand, BOOL* pbBlockText = nullptr);

// TRUE when the active view's selection gives nState by the panel-command
// rules; every panel command asks it first, so that a command of a panel
// about to be replaced never acts on a selection of another kind.
BOOL ToolPageFitsSelection(int nState);

class CToolPadPanel : public CWnd {
    DECLARE_DYNAMIC(CToolPadPanel)
public:
    // The "How Do I?" button: its control id, place and pictures.
    static constexpr UINT kHowDoIButtonId = 1106;
    static constexpr UINT kHowDoIPressed = 1145;
    static constexpr COLORREF kPanelFace = RGB(192, 192, 192);
    // The key colour of the workspace and navigation panels' pictures.
    static constexpr COLORREF kTransparentKey = RGB(0, 128, 128);

    // hResources: the module of the panel's pictures (the program's when
    // NULL); bHowDoI: the panel carries the "How Do I?" button; nHowDoIMenu:
    // the menu it opens (0 for none).
    CToolPadPanel(HMODULE hResources, BOOL bHowDoI, UINT nHowDoIMenu);
    ~CToolPadPanel() override;

    // Creates the panel window as child nID of pParent, shown when bVisible,
    // with its "How Do I?" button. Derived panels add their controls in
    // OnCreatePanel.
    BOOL CreatePanel(CWnd* pParent, const CRect& rect, UINT nID, BOOL bVisible);

    // Refreshes the panel from the view (the active design view, never
    // null); the base does nothing.
    virtual void UpdateFromView(CSurface* pView);

    // The tool-pad picture every panel draws behind itself, with the
    // palette it is drawn through; the palette window sets it (NULL when it
    // has no picture) and it must outlive the panels.
    static void SetBackgroundPicture(CBitmap* pPicture);
    static CBitmap* GetBackgroundPicture();
    // Draws the picture into pDC so that it lines up with the palette:
    // its top-left corner at the point where pWnd's top-left corner lies in
    // its parent's client area (negated). Without a picture the window's
    // client area gets the button face, so the panels stay usable.
    static void DrawBackground(CWnd* pWnd, CDC* pDC);
    // The same with the picture's top-left corner at ptOrigin of pDC (the
    // palette draws its own background at its client origin).
    static void DrawBackgroundAt(CWnd* pWnd, CDC* pDC, CPoint ptOrigin);

    // Adds one picture button of the panel: pictures nNormal/nPressed (the
    // disabled picture is the normal one), the tooltip, drawn transparent
    // over the picture (the key colour) or on the panel face. The panel owns
    // it.
    CPicButton* AddButton(UINT nID, const CRect& rect, UINT nNormal, UINT nPressed, LPCTSTR lpszTip,
        BOOL bTransparent);
    // Adds a title picture (a picture static) at rect; owned by the panel.
    CWnd* AddTitle(UINT nBitmap, const CRect& rect, UINT nID = 0xFFFF);

    // The menu the "How Do I?" button opens now.
    virtual UINT GetHowDoIMenu() const { return m_nHowDoIMenu; }
    CPicButton* GetHowDoIButton() { return m_pHowDoI; }
    HMODULE GetResourceModule() const { return m_hResources; }

protected:
    // Adds the panel's own controls once its window exists; FALSE fails
    // the creation.
    virtual BOOL OnCreatePanel() { return TRUE; }
    // Opens submenu 0 of the panel's menu below the "How Do I?" button.
    void OnHowDoI();
    // The title bitmap laid over the picture where a title at ptTitle
    // shows it; NULL when it cannot be made (owned by the caller).
    HBITMAP ComposeTitle(UINT nBitmap, CPoint ptTitle);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

    HMODULE m_hResources = NULL;
    BOOL m_bHowDoI = FALSE;
    UINT m_nHowDoIMenu = 0;
    CPicButton* m_pHowDoI = nullptr;
    CPtrArray m_ownedControls; // CWnd* made by AddButton and AddTitle

private:
    void ForwardMouse(UINT message, WPARAM wParam, LPARAM lParam);
};

// Takes down a panel its owner made with new: the window first, while the
// whole object still answers its messages, then the object. Null is allowed.
void DestroyToolPadPanel(CToolPadPanel* pPanel);
