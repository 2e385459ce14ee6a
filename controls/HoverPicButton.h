#pragma once
// CHoverPicButton: an owner-drawn button that shows one frame of a strip
// bitmap (frames of equal height stacked from the top) and tells its parent
// when the pointer rests on it: after a mouse move it looks at the cursor
// every half second, and when the cursor stayed inside and moved less than
// kRestDistance pixels since the last look it posts kRestCommand as a
// command to its parent, once, until the next move starts it again. The
// navigation panel and the Design Wizard open their flyout choosers from it.
//
// The button owns its strip and palette (freed with the object or when a
// new strip is loaded). Without a strip, or with no frame set, it draws
// nothing; a frame past the strip is not drawn. Frame counts below 1 are
// taken as 1.

#include "platform/framework/Controls.h"
#include "platform/gdi/GdiObject.h"

class CHoverPicButton : public CButton {
    DECLARE_DYNAMIC(CHoverPicButton)
public:
    static constexpr UINT_PTR kHoverTimerId = 7;
    static constexpr UINT kHoverDelay = 500;
    // A cursor that moved less than this in x and in y between two looks rests.
    static constexpr int kRestDistance = 4;
    static constexpr WORD kNoFrame = 0xFFFF;
    static constexpr UINT kNoStrip = UINT(-1);
    static constexpr LRESULT kHelpContext = 157;
    // The command posted to the parent when the pointer rests (the tool
    // pad's ID_SURFACE_HOVER).
    static constexpr UINT kRestCommand = 0x9119;

    CHoverPicButton();
    ~CHoverPicButton() override;

    // Loads bitmap resource nID as the strip unless it is the one loaded;
    // a new strip has no frame shown and one frame. A resource that cannot
    // be loaded leaves no strip.
    void SetPicture(UINT nID);
    // With a strip, shows frame nFrame (kNoFrame: none) and redraws.
    void SetIndex(WORD nFrame);
    // Sets the number of frames (no frame shown then); with a strip, sizes
    // the button to one frame, keeping its place.
    void SetFrameCount(int nCount);

    UINT GetPictureId() const { return m_nStripId; }
    WORD GetIndex() const { return m_nFrame; }
    WORD GetFrameCount() const { return m_nFrameCount; }
    // TRUE from loading a strip until a frame of it is shown.
    BOOL IsNewStrip() const { return m_bNewStrip; }
    // The strip (NULL when none); it stays the button's.
    HBITMAP GetStrip() const { return HBITMAP(m_strip.GetSafeHandle()); }
    CSize GetStripSize() const { return m_sizeStrip; }
    BOOL IsHoverTimerRunning() const { return m_nHoverTimer != 0; }

    // Where the cursor was at the last look of any hover button; (-1, -1)
    // when none is remembered.
    static POINT GetLastHover() { return s_ptLastHover; }
    static void ResetLastHover() { s_ptLastHover = POINT{-1, -1}; }

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnMouseMove();
    void OnHoverTick();
    void StopHoverTimer();

    static POINT s_ptLastHover;

    CBitmap m_strip;
    CPalette m_palette;
    CSize m_sizeStrip{0, 0};
    UINT m_nStripId = kNoStrip;
    WORD m_nFrame = kNoFrame;
    WORD m_nFrameCount = 1;
    UINT_PTR m_nHoverTimer = 0;
    BOOL m_bNewStrip = FALSE;
};
