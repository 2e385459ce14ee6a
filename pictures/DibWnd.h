#pragma once
// CDibWnd: a small child window that shows one of three bitmap images
// (normal, pressed, focused) and behaves as a button. A click posts
// WM_DIBWND_CLICKED and a double click WM_DIBWND_DBLCLK to the parent, each
// with the window's control id as wParam.
//
// The window owns its three images; its parent owns the object. The first
// paint after the normal image is there sizes the window to that image,
// keeping its place; a state without an image paints nothing. While neither enabled
// nor clickable it ignores the mouse and shows the arrow cursor.

#include "pictures/Dib.h"
#include "platform/framework/Wnd.h"

#define WM_DIBWND_CLICKED (WM_USER + 304)
#define WM_DIBWND_DBLCLK (WM_USER + 305)

class CDibWnd : public CWnd {
public:
    enum State : int { stateNormal = 0, statePressed = 1, stateFocused = 2 };
    static constexpr int kStateCount = 3;

    CDibWnd();
    ~CDibWnd() override;

    // A child of pParentWnd with control id nID, placed at rect's top-left.
    BOOL Create(const RECT& rect, CWnd* pParentWnd, UINT nID, DWORD dwStyle = WS_CHILD | WS_VISIBLE);
    using CWnd::Create;

    // The image of a state (stateNormal to stateFocused).
    CDib& GetDib(State state) { return m_dibs[state]; }
    State GetState() const { return m_state; }

    // Enabled or clickable: the window answers the mouse and shows the hand.
    // Clickable also lets a click on a window without the focus count.
    BOOL m_bEnabled = TRUE;
    BOOL m_bClickable = TRUE;
    // Draw the images with their transparent colour left out.
    BOOL m_bTransparent = FALSE;

    HCURSOR GetArrowCursor() const { return m_hArrowCursor; }
    HCURSOR GetHandCursor() const { return m_hHandCursor; }

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnPaint();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    DECLARE_MESSAGE_MAP()

private:
    BOOL AnswersMouse() const { return m_bEnabled || m_bClickable; }
    BOOL IsInside(CPoint point) const;
    // Changes the state and repaints when it differs.
    void SetState(State state);
    void NotifyParent(UINT message);

    CDib m_dibs[kStateCount];
    State m_state = stateNormal;
    BOOL m_bCaptured = FALSE;
    BOOL m_bSized = FALSE;
    HCURSOR m_hArrowCursor = NULL;
    HCURSOR m_hHandCursor = NULL;
};
