#pragma once
// Integer geometry of the drawing code: centring, flipping and mapping
// rectangles between frames, rotating points, and fitting a picture's
// aspect ratio into a frame on a given device.
//
// Rounding "half away from zero" adds 0.5 to positive and subtracts it from
// negative values before truncating; divisions of integers truncate toward
// zero.

#include "platform/base/Types.h"

class CDC;

// log2(x) + 0.5, truncated; 0 for x <= 0, which has no logarithm.
int RoundLog2(double x);

// a - b * (a / b) as div() gives it; a itself when b is 0.
int IntRemainder(int a, int b);

double DegreesToRadians(double degrees);

int RoundHalfAwayFromZero(double value);

// Moves pRect so that it is centred in (left, top, right, bottom) along the
// asked axes: offset = (outer width - inner width) / 2 + outer left - inner
// left, and likewise vertically.
void CenterRectIn(LPRECT pRect, int left, int top, int right, int bottom, BOOL bHorizontal, BOOL bVertical);

// Swaps left with right and/or top with bottom.
void FlipRect(LPRECT pRect, BOOL bHorizontal, BOOL bVertical);

// Each rectangle runs forward on an axis when right >= left (bottom >= top).
// *pbHorizontal and *pbVertical (either may be NULL) tell where the two
// rectangles run differently; the result is whether they do on either axis.
BOOL CompareRectOrientation(int left1, int top1, int right1, int bottom1, int left2, int top2, int right2, int bottom2,
    BOOL* pbHorizontal, BOOL* pbVertical);

// For each side (left, top, right, bottom), whether C lies before D on that
// side the way A runs on that axis (left-to-right, top-to-bottom). Where it
// does not, the side differs and, when pbApply is given, C takes that side
// from A and D from B. Returns whether any side differed.
BOOL AlignRectOrientation(const RECT* pA, const RECT* pB, LPRECT pC, LPRECT pD, BOOL* pbApply);

// Maps pRect from the source frame into the target frame by the ratio of
// their sizes (all three normalised first), measuring from the edge of the
// target where its axis starts, rounding half away from zero; the result
// then takes the target frame's own flip. A source frame without width or
// height keeps the rectangle's size on that axis.
void MapRectToFrame(LPRECT pRect, const RECT* pSource, const RECT* pTarget);

// Portrait <-> landscape.
void SwapSize(LPSIZE pSize);

// Rotates the points about the pivot by the angle (whole degrees, or
// radians with bRadians), each result rounded half away from zero. A zero
// angle leaves them untouched.
void RotatePoints(POINT pivot, LPPOINT pPoints, int nCount, double angle, BOOL bRadians);

// The largest rectangle of nWidth:nHeight (as the device shows it, its
// pixel aspect corrected) inside the frame, centred in it, in the DC's
// logical units. A zero width or height gives the frame itself.
void FitAspectRect(LPRECT pOut, CDC* pDC, int nWidth, int nHeight, int left, int top, int right, int bottom);
