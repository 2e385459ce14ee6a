#pragma once
// CPicButton: an owner-drawn push button that shows one of up to five
// bitmaps (normal, pressed, checked, disabled, hot) drawn with the
// application's palette, lights up while the pointer is over it, can form a
// choice group with other picture buttons (a ring through m_pNextInGroup in
// which the focused button is the checked one) and shows a tip after the
// pointer rests on it for a while.
//
// The object owns its bitmaps and palette (freed with the window or the
// object); the buttons of a ring belong to their dialog, which keeps them
// alive together. A missing state bitmap falls back to the normal one; a
// button without a normal bitmap draws nothing.

#include "platform/framework/Controls.h"
#include "platform/gdi/GdiObject.h"

class CDC;

// Posted to the parent on a double click.
#define WM_PICBUTTON_DBLCLK (WM_USER + 276)

// One look of a hover timer at the pointer over a window (rcWindow in
// screen coordinates): Left when the pointer is outside it; Rested when it
// moved less than restDistance both ways since the last look (ptLast, reset
// to (-1, -1); the first look has nothing to compare with); else Moved, with
// ptLast taking the pointer.
enum class HoverLook { Left, Rested, Moved };
HoverLook LookAtHover(const RECT& rcWindow, int restDistance, POINT& ptLast);

class CPicButton : public CButton {
    DECLARE_DYNAMIC(CPicButton)
public:
    // The hover timer and how long the pointer must rest before the tip.
    static constexpr UINT_PTR kHoverTimerId = 7;
    static constexpr UINT kHoverDelay = 600;
    // A pointer that moved less than this in x and y between two ticks rests.
    static constexpr int kRestDistance = 4;
    static constexpr COLORREF kDefaultFace = RGB(192, 192, 192);

    // Which bitmap a DrawItem chooses; shared with tests.
    enum BitmapIndex : int { bmpNormal = 0, bmpPressed = 1, bmpChecked = 2, bmpDisabled = 3, bmpHot = 4 };

    CPicButton();
    ~CPicButton() override;

    // Every non-zero id replaces its bitmap, from hModule (the program's
    // resources when NULL). When the window exists, Init runs.
    void SetBitmaps(HMODULE hModule, UINT nNormal, UINT nPressed, UINT nChecked, UINT nDisabled, UINT nHot,
        BOOL bTransparent = FALSE, int nIdleAnswer = 0, COLORREF crFace = kDefaultFace);
    // Owner-drawn, sized to the normal bitmap, cursors loaded.
    void Init();
    // Joins a ring: pNext is the following button; index 0 is the checked one.
    void SetGroup(CPicButton* pNext, int nIndex);
    CSize GetBitmapSize() const;
    void ClearHover();
    void SetTipText(LPCTSTR lpszText) { m_strTip = lpszText ? lpszText : ""; }

    // The bitmap chosen for an item state (ODS_* bits and action), the
    // window's enabled state, the hover and check state and which bitmaps
    // exist; a missing choice falls back to the normal bitmap. bClearHover
    // says whether the state turns hover off.
    static int ChooseBitmap(UINT nState, UINT nAction, BOOL bWindowEnabled, BOOL bHover, BOOL bCheckedInGroup,
        const BOOL bHave[5], BOOL* pbClearHover);

    // Unchecks and repaints every other button of the ring, walking it at
    // most once round and stopping at a break in it.
    void CheckInGroup();

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

    // Disables and enables the button's own window; a dialog's own pair
    // (CResizableDlg) has the same two operations.
    virtual void CWndDisableSelf();
    virtual void CWndEnableSelf();

    // The last pointer position a hover tick saw, (-1, -1) when reset.
    static POINT s_ptLastHover;
    static void ResetLastHover() { s_ptLastHover = POINT{-1, -1}; }

    BOOL m_bHover = FALSE;
    BOOL m_bChecked = FALSE;
    CPicButton* m_pNextInGroup = nullptr;
    int m_nGroupIndex = 0;
    int m_nIdleAnswer = 0;
    COLORREF m_crFace = kDefaultFace;
    HMODULE m_hModule = NULL;
    BOOL m_bInitialised = FALSE;
    UINT m_nBitmapIds[5] = {};
    CBitmap m_bitmaps[5];
    CPalette m_palette;
    HCURSOR m_hHandCursor = NULL;
    HCURSOR m_hArrowCursor = NULL;
    int m_nLastDrawn = -1;
    BOOL m_bTransparent = FALSE;
    UINT_PTR m_nHoverTimer = 0;
    CString m_strTip;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void FreeBitmaps();
    void OnMouseMove(CPoint point);
    void OnHoverTimer();
    void StopHoverTimer();
    BOOL OnSetCursor(UINT nHitTest);
};
