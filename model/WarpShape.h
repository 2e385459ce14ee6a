#pragma once
// Warp shapes: the sixteen envelopes text can be drawn into. For every
// column x of the text's rectangle a shape answers where the text's top
// and bottom lie; the text code stretches each rendered column between the
// two. Kinds 1-6 are straight edges, 7-11 arcs, 12-13 sine waves, 14-15 a
// flag (15 with a bump) and 16 flat.

#include "platform/base/Geometry.h"
#include "platform/base/Types.h"

class CDC;

class CWarpShape {
public:
    virtual ~CWarpShape() = default;
    CWarpShape(const CWarpShape&) = delete;
    CWarpShape& operator=(const CWarpShape&) = delete;

    // The top and bottom of the text in column x.
    virtual void GetColumn(int x, int& nTop, int& nBottom) const = 0;

protected:
    CWarpShape(CDC* pDC, const CRect& rect);

    CDC* m_pDC;       // may be null; not owned
    CPoint m_ptOrigin; // the DC's viewport origin
    CRect m_rect;
    BOOL m_bFlag = TRUE;
};

// The shape of a kind for the rectangle, or null for a kind outside 1..16
// or a rectangle of no width (the shapes divide by it). With bRelative
// the straight shapes give their heights from the rectangle's top. The
// caller owns the shape.
CWarpShape* CreateWarpShape(int nKind, const CRect& rect, CDC* pDC, BOOL bRelative);
