#pragma once
// CBMPButton: a large picture button whose looks come from one picture
// file, the strip: the frames of five groups stacked top to bottom
// (disabled, normal, focused, a run of hover frames, a run of pressed
// frames), how many of each depending on the strip kind. The caption is
// drawn into the strip once, when it is loaded. Pixels of the key colour
// are transparent when drawn and, with a hit mask, to the mouse too: a
// click there goes on to an overlapping sibling strip button. Kinds 1 and 2
// act as push buttons, 3 and 4 as radio buttons of a WS_GROUP group, 5 and 6
// as toggles. While loaded, the button is registered with theTimedEvents
// for its animation ticks, and tells its parent when the hover run has
// rested on its last frame (WM_BMPBUTTON_REST).
//
// The button owns its strip, mask and off-screen bitmaps; they are freed
// when it is loaded again, cleared or destroyed. A strip that cannot be
// loaded (a missing or damaged file, or one too short for its frames)
// leaves the button cleared and drawing nothing.

#include "platform/framework/Controls.h"
#include "platform/gdi/GdiObject.h"

class CDC;

// To the parent: wParam the button's id; lParam 1 after the hover (or, for
// radio and toggle kinds under the pointer, the pressed) run has stood at
// its last frame for three ticks, 0 when that run is left again.
#define WM_BMPBUTTON_REST 0x0790

// The loaded strip: one device bitmap with its size in pixels. Owns the
// bitmap; Clear frees it and zeroes the size.
class CStripPicture {
public:
    CStripPicture() = default;
    ~CStripPicture() { Clear(); }
    CStripPicture(const CStripPicture&) = delete;
    CStripPicture& operator=(const CStripPicture&) = delete;

    // Opens the picture file and renders it for pDC; FALSE (and empty) when
    // it cannot be opened.
    BOOL LoadFile(LPCTSTR lpszPath, CDC* pDC);
    // Takes hBitmap (owned from now on) in place of the strip held.
    void Replace(HBITMAP hBitmap, int nWidth, int nHeight);
    void Clear();

    HBITMAP m_hBitmap = NULL;
    int m_nWidth = 0;
    int m_nHeight = 0;
};

class CBMPButton : public CButton {
    DECLARE_DYNAMIC(CBMPButton)
public:
    static constexpr COLORREF kKeyColor = RGB(255, 0, 255);
    static constexpr WORD kEventId = 1;
    static constexpr int kKindCount = 6;

    enum State : int {
        stateNormal = 2,
        stateHover = 4,
        stateHoverEnding = 5,
        stateDown = 6, // pressed, or checked
        stateReleased = 7 // released, or unchecked
    };
    enum Group : int { groupDisabled = 1, groupNormal = 2, groupFocused = 3, groupHover = 4, groupPressed = 5 };

    CBMPButton();
    ~CBMPButton() override;

    // Loads the strip of nKind (1..6) from the picture file, with a hit mask
    // when bMakeMask, draws the caption into it (at x, y for push kinds; to
    // the right of the picture, wrapped at nMaxWidth when that is given and
    // the text is wider, for the others), sizes the window to one frame and
    // registers for ticks. 1 when loaded; 0 when any step fails, the button
    // then cleared. The window must exist.
    int LoadFromFile(int nKind, LPCTSTR lpszCaption, LPCTSTR lpszPath, BOOL bMakeMask, int x, int y, int nMaxWidth);
    // Frees the strip and bitmaps and leaves the registry.
    void ClearButton();

    // Checked is stateDown, unchecked stateReleased. Checking a radio kind
    // unchecks the other strip buttons of its WS_GROUP group.
    void SetCheck(BOOL bChecked);
    BOOL IsChecked() const { return m_nState == stateDown; }
    BOOL IsHover() const { return m_nState == stateHover; }

    // TRUE when a click at point (client coordinates) belongs to this
    // button: inside, enabled, visible, the program's main window there,
    // the dialog or frame holding it enabled, and not on a key-coloured
    // pixel of the hit mask.
    BOOL HitTest(CPoint point) const;

    // Frames in group nGroup of strip kind nKind; 0 outside the table.
    static int GroupWeight(int nKind, int nGroup);
    // Frames in the whole strip of nKind; 0 for an unknown kind.
    static int FrameCount(int nKind);
    static BOOL IsPushKind(int nKind) { return nKind == 1 || nKind == 2; }
    static BOOL IsRadioKind(int nKind) { return nKind == 3 || nKind == 4; }
    static BOOL IsToggleKind(int nKind) { return nKind == 5 || nKind == 6; }
    // The group and frame a draw shows for the state and the item state's
    // ODS_ bits, from the group and frame shown now: a new group starts at
    // its first frame, a group kept keeps its running frame.
    static void ChooseFrame(int nKind, int nState, UINT nItemState, int& nGroup, int& nFrame);

    // One animation tick (what WM_TIMEDEVENT_TICK does).
    void OnAnimationTick();

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

    CStripPicture m_strip;
    WORD m_wKind = 1;
    int m_nState = stateNormal;
    int m_nGroup = groupNormal;
    int m_nFrame = 1; // 1-based within m_nGroup
    int m_nFrameHeight = 0; // pixels of one frame
    CRect m_rectCaption; // on a frame; empty without a caption
    BOOL m_bMouseDown = FALSE;
    BOOL m_bPointInside = FALSE;
    HBITMAP m_hMask = NULL; // 1 bit, white where the key colour is; or NULL
    int m_nMaskTop = 0; // the mask's first row on a frame
    int m_nHoverTicks = 0;
    CBitmap m_bmpBackground; // the parent's pixels under the button
    CBitmap m_bmpFace; // the frame being put together
    BOOL m_bBackgroundSaved = FALSE;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

private:
    BOOL MakeMask();
    BOOL DrawCaption(LPCTSTR lpszCaption, int x, int y, int nMaxWidth);
    BOOL MakeFrameBitmaps();
    void SaveBackground();
    // The current frame at (x, y) of pDC, its key colour left out.
    void DrawCurrentFrame(CDC* pDC, int x, int y) const;
    void SetButtonState(int nState);
    void UncheckGroup();
    // Sends the mouse message on to the next sibling strip button, in window
    // order and wrapping, that accepts the point; FALSE when none does.
    BOOL PassToSibling(UINT message, WPARAM wParam, CPoint point);
    void NotifyRest(BOOL bResting);
    void ReleaseOwnCapture();

    static CBMPButton* FromSibling(HWND hWnd);
};
