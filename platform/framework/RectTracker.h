#pragma once
// CRectTracker: the frame drawn around a selected item, its eight resize
// handles, and the interactive move, resize and rubber-band drag over them.
//
// m_rect is in the client coordinates of the window the tracker is drawn in.
// Track and TrackRubberBand run their own loop with the mouse captured: the
// moving rectangle is drawn as an XOR focus frame, so drawing it twice
// leaves the window as it was. They answer TRUE when the rectangle changed
// (the button was released), FALSE on Esc, a right click or lost capture,
// with m_rect as before.

#include "platform/base/Geometry.h"

class CDC;
class CWnd;
class CBrush;
class CPen;

class CRectTracker {
public:
    enum StyleFlags {
        solidLine = 1,
        dottedLine = 2,
        hatchedBorder = 4,
        resizeInside = 8,
        resizeOutside = 16,
        hatchInside = 32,
    };

    enum TrackerHit {
        hitNothing = -1,
        hitTopLeft = 0,
        hitTopRight = 1,
        hitBottomRight = 2,
        hitBottomLeft = 3,
        hitTop = 4,
        hitRight = 5,
        hitBottom = 6,
        hitLeft = 7,
        hitMiddle = 8,
    };

    CRectTracker();
    CRectTracker(LPCRECT lpSrcRect, UINT nStyle);
    virtual ~CRectTracker();

    UINT m_nStyle = 0;
    CRect m_rect;
    CSize m_sizeMin;
    int m_nHandleSize = 4;

    void Draw(CDC* pDC) const;
    // The rectangle the tracker covers with its handles and border.
    void GetTrueRect(LPRECT lpTrueRect) const;
    // Sets the window's cursor for a hit on the tracker; FALSE when the
    // point is not on it (or nHitTest is not HTCLIENT).
    BOOL SetCursor(CWnd* pWnd, UINT nHitTest) const;
    BOOL Track(CWnd* pWnd, CPoint point, BOOL bAllowInvert = FALSE, CWnd* pWndClipTo = nullptr);
    BOOL TrackRubberBand(CWnd* pWnd, CPoint point, BOOL bAllowInvert = TRUE);
    int HitTest(CPoint point) const;
    // A hit on an inverted rectangle as the handle it now stands for.
    int NormalizeHit(int nHandle) const;

    virtual void DrawTrackerRect(LPCRECT lpRect, CWnd* pWndClipTo, CDC* pDC, CWnd* pWnd);
    virtual void AdjustRect(int nHandle, LPRECT lpRect);
    virtual void OnChangedRect(const CRect& rectOld);
    // Bit i set: handle i (hitTopLeft ... hitLeft) is shown and hit.
    virtual UINT GetHandleMask() const;

protected:
    BOOL m_bAllowInvert = FALSE;
    CRect m_rectLast;
    CSize m_sizeLast;
    BOOL m_bErase = FALSE;
    BOOL m_bFinalErase = FALSE;

    virtual int GetHandleSize(LPCRECT lpRect = nullptr) const;
    BOOL TrackHandle(int nHandle, CWnd* pWnd, CPoint point, CWnd* pWndClipTo);
    void Construct();
    int HitTestHandles(CPoint point) const;
    void GetHandleRect(int nHandle, CRect* pHandleRect) const;
    void GetModifyPointers(int nHandle, int** ppx, int** ppy, int* px, int* py);
};
