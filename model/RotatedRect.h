#pragma once
// CRotatedRect: an axis-aligned rectangle, the pivot it turns about, its
// four corners after turning and the angle. The drawing object keeps one
// per handle marker. A plain value: copied member-wise.
//
// Invariant: the corners are the rectangle's top-left, top-right,
// bottom-right and bottom-left corners turned about the pivot by the angle
// (whole degrees, results rounded half away from zero). The user sets the
// pivot before SetAngle.

#include "platform/base/Geometry.h"

class CDC;

class CRotatedRect {
public:
    CRotatedRect() { Reset(); }

    // Every field 0.
    void Reset();
    // Angle 0, the rectangle and its unturned corners.
    void SetRect(int left, int top, int right, int bottom);
    // A different angle turns the corners of the rectangle about the pivot;
    // the same angle changes nothing.
    void SetAngle(double dAngle);
    // The rectangle's centre turned about the pivot by the angle.
    CPoint GetRotatedCenter() const;
    // Fills the turned quadrilateral with a solid brush of the colour (with
    // the DC's pen); a number other than -1 is written at the first corner.
    void Draw(CDC* pDC, COLORREF crColor, int nNumber) const;

    POINT m_ptPivot;
    RECT m_rect;
    POINT m_corners[4];
    double m_dAngle;
};
