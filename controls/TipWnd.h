#pragma once
// CTipWnd: a pale yellow tooltip of one line shown next to the mouse
// pointer by ShowTip, which runs until the pointer leaves the pixel it was
// on (left and up by one pixel still count as staying) or the user presses
// a key or a mouse button. The caller owns the object; its window lives
// only for one ShowTip call.
//
// While the tip is up, waiting messages keep flowing: timers, paints and
// posted commands are dispatched, mouse moves and other input that does not
// end the tip are dropped, the key or button that ends it is delivered
// afterwards, and WM_QUIT ends it and is posted again for the caller's loop.
//
// The window class, the tip font and the tip height are made on first use
// for the whole program and freed by ReleaseTipResources (program exit, and
// tests between cases).

#include "platform/framework/Wnd.h"

class CFont;

class CTipWnd : public CWnd {
    DECLARE_DYNAMIC(CTipWnd)
public:
    static constexpr COLORREF kBackground = RGB(255, 255, 200);
    static constexpr int kTipPoints = 9;

    CTipWnd() = default;

    // An empty, hidden popup owned by the application's main window (pParent
    // when there is none); FALSE when the class or the window cannot be made.
    BOOL Create(CWnd* pParent);
    // Sets the text (which sizes the window) and shows the tip without
    // activating it at (x, y), moved left to stay on the screen.
    void ShowAt(int x, int y, LPCTSTR lpszText);
    // The whole interaction: the tip below and right of the pointer until
    // the pointer moves, a key or button is pressed, or WM_QUIT arrives.
    void ShowTip(LPCTSTR lpszText);

    // 1 once the tip has painted.
    int m_bPainted = 0;

    static CFont* GetTipFont();
    static int GetTipHeight();

protected:
    afx_msg void OnPaint();
    afx_msg LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

// Frees the tip class's brush and name, the tip font and height.
void ReleaseTipResources();
