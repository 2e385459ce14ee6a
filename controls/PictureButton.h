#pragma once
// The program's own push button: a raised 3-D face in the system button
// colours with an icon beside, above or over the caption, a black frame on
// the dialog's default button, a grey caption when disabled and a dotted
// focus rectangle round the caption. It handles a dialog push button's keys
// itself (Tab, arrows, Enter, Esc, Space) and keeps the dialog's default
// button right while the focus moves between its buttons.
//
// A dialog embeds one object per push button, subclasses the template's
// control (DDX_Control / SubclassDlgItem) and gives it its icons with
// SetIcon; SetIcon makes the control owner-drawn. The object owns the four
// face bitmaps (deleted with it) and, when m_bOwnsIcon is set, the icon
// (destroyed with the window). An icon that does not load leaves the button
// with its caption alone.

#include "platform/framework/Controls.h"

class CBitmap;
class CDC;
class CFont;

// The icons of the dialogs' OK, Cancel and Help picture buttons.
#define IDI_BUTTON_OK 529
#define IDI_BUTTON_CANCEL 523
#define IDI_BUTTON_HELP 527

class C3DPicTrickBtn : public CButton {
    DECLARE_DYNCREATE(C3DPicTrickBtn)
public:
    // m_wStyle values; any other value draws the normal bevel.
    static constexpr WORD kStyleShadow = 2;
    static constexpr WORD kStyleNoBevel = 0xFFFF;
    // m_wAlignment values: where the picture sits.
    enum Alignment : WORD { alignLeft = 0, alignTop = 1, alignRight = 2, alignCentre = 3 };
    // Icons are always drawn at this size, whatever the picture cell.
    static constexpr int kIconSize = 32;

    C3DPicTrickBtn();
    ~C3DPicTrickBtn() override;

    // Loads icon nID from the application's resources and makes the
    // control owner-drawn; the disabled form, when given, shows while the
    // button is disabled.
    void SetIcon(int nID);
    void SetIcons(int nID, int nDisabledID);
    // Subclasses the parent's push button nID and gives it icon nIconID;
    // FALSE (nothing done) when the parent has no such control.
    BOOL SubclassWithIcon(UINT nID, CWnd* pParent, int nIconID);

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

    // ---- Layout, shared with tests: pure arithmetic on rectangles.
    // The picture cell for dialog base units `baseUnits` (GetDialogBaseUnits
    // form): cells are given for 8-pixel-wide dialog units and scaled
    // otherwise.
    static SIZE PictureCell(int nWidth, int nHeight, LONG baseUnits);
    // Where the 32 x 32 icon goes in rect for the cell and alignment; rect
    // loses the cell.
    static POINT PlaceIcon(RECT& rect, SIZE cell, int nAlignment);
    // Lays out the caption in `area`: one centred line when it fits within
    // the area's width less 2, else word-wrapped and centred. Returns the
    // DrawText format; rText gets the clamped text rectangle.
    static UINT LayoutCaption(CDC* pDC, const CString& text, const RECT& area, RECT& rText);

    CFont* m_pFont;
    WORD m_wStyle = 0;
    WORD m_wAlignment = alignLeft;
    int m_nIconID = -1;
    HICON m_hIcon = NULL;
    HICON m_hDisabledIcon = NULL;
    BOOL m_bOwnsIcon = FALSE;
    int m_nPictureWidth = kIconSize;
    int m_nPictureHeight = kIconSize;
    BOOL m_bPressed = FALSE;
    // 1: this button was the dialog's default when first painted; 0: it
    // was not; -1: not known yet.
    int m_nDefaultState = -1;
    COLORREF m_crText;
    BOOL m_bNoFocus = FALSE;
    BOOL m_bTracking = FALSE;
    BOOL m_bCommandOnPress = FALSE;
    COLORREF m_crShadow = RGB(128, 128, 128);
    int m_nShadowWidth = 2;
    int m_nShadowHeight = 2;
    BOOL m_bBitmapFace = FALSE;
    CBitmap* m_pNormalBitmap = nullptr;
    CBitmap* m_pPressedBitmap = nullptr;
    CBitmap* m_pFocusBitmap = nullptr;
    CBitmap* m_pDisabledBitmap = nullptr;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    DECLARE_MESSAGE_MAP()

private:
    LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnButtonDown();
    LRESULT OnButtonUp(LPARAM lParam);
    LRESULT OnTrackMove(LPARAM lParam);
    void ClickSelf();
    void SendCommandToOwner();
    void LearnDefaultState();
    HWND OwnerWindow() const;
    LRESULT AskParentDefId() const;

    void Draw3DButton(CDC* pDC, HICON hPicture, SIZE cell, BOOL bEnabled, BOOL bDefault, BOOL bFocus);
    void DrawButtonCaption(CDC* pDC, BOOL bHasPicture, SIZE cell, BOOL bEnabled, BOOL bFocus);
    void DrawBitmapButtonFace(CDC* pDC, BOOL bEnabled, BOOL bDefault, BOOL bFocus);
    void DrawButtonShadow();
    static void DrawButtonBevel(CDC* pDC, RECT rect, BOOL bPressed, BOOL bDefault);
};

// The button with a small picture cell (18 x 20) to the left of the caption.
class C3DWidePicBtn : public C3DPicTrickBtn {
    DECLARE_DYNCREATE(C3DWidePicBtn)
public:
    C3DWidePicBtn();
};

// The class of the button members dialogs embed; it reports the run-time
// class of its base.
class C3DPicBtn : public C3DPicTrickBtn {
public:
    C3DPicBtn() = default;
};
