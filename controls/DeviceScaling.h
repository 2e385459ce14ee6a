#pragma once
// Logical to device units for code that has already applied the window
// origin itself: coordinates are scaled by the DC's viewport and window
// extents and moved by the viewport origin, but the window origin is not
// subtracted.

#include "platform/base/Types.h"

class CDC;
class CPointArray;

void ScaleRectToDevice(CDC* pDC, RECT& rc);
void ScalePointsToDevice(CDC* pDC, CPointArray& points);
