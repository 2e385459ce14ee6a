#pragma once
// Geometry shared by the drawing code: rounding of 16.16 fixed-point values
// and turning a polyline into the pixels it covers.

#include "platform/base/Types.h"

class CPointArray;

// A 16.16 value is a signed 32-bit integer whose high 16 bits are the
// integer part; it rounds up when the fraction is at least one half.
inline int RoundFixed(LONG value)
{
    return (value >> 16) + ((value & 0xFFFF) >= 0x8000 ? 1 : 0);
}
POINT RoundFixedPoint(LONG x, LONG y);

// A polyline may cover at most this many pixels; longer ones are refused.
constexpr int kMaxPolylinePoints = 10240;

// Replaces the array by the pixels of its segments in drawing order (each
// segment without its end point). Fewer than two points: unchanged, TRUE.
// FALSE, with the array unchanged, when the result would reach
// kMaxPolylinePoints points.
BOOL PolylineToPoints(CPointArray& points);
