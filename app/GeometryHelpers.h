#pragma once
// Geometry shared by the drawing code: rounding of 16.16 fixed-point values,
// turning a polyline into the pixels it covers, and the stepped colour
// shading of a quadrilateral.

#include "platform/base/Types.h"

class CDC;
class CPointArray;

// A 16.16 value is a signed 32-bit integer whose high 16 bits are the
// integer part; it rounds up when the fraction is at least one half.
inline int RoundFixed(LONG value)
{
    return (value >> 16) + ((value & 0xFFFF) >= 0x8000 ? 1 : 0);
}
POINT RoundFixedPoint(LONG x, LONG y);
// The same rounding under the name the outline code uses: the signed whole
// part, plus 1 when the fraction is at least 0x8000.
int FixedToInt(LONG value);

// A polyline may cover at most this many pixels; longer ones are refused.
constexpr int kMaxPolylinePoints = 10240;

// Replaces the array by the pixels of its segments in drawing order (each
// segment without its end point). Fewer than two points: unchanged, TRUE.
// FALSE, with the array unchanged, when the result would reach
// kMaxPolylinePoints points.
BOOL PolylineToPoints(CPointArray& points);

// Fills the quadrilateral p0 p1 p2 p3 with strips of colour stepping from
// pColors[0] to pColors[nColors - 1]. Direction 0 steps along the edges
// p0->p1 and p3->p2, direction 1 along p1->p2 and p0->p3; nSteps is limited
// to the longer of the two edges in pixels and shared among the colour
// transitions, the first ones taking a step more when it does not divide.
// Each strip's colour is reduced to what the device shows well
// (GetDeviceColorClass). One colour, no steps or fewer steps than
// transitions fill the whole quadrilateral with the first colour. The DC's
// pen and brush are left as they were; the edges are not outlined.
void ShadeQuadrilateral(CDC* pDC, POINT p0, POINT p1, POINT p2, POINT p3, const COLORREF* pColors, int nColors,
    int nDirection, int nSteps);
