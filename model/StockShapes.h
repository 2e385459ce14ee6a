#pragma once
// The stock shape outlines: the SHAPEDATA resources 10000-10011 from which
// CDrawRect draws its round rectangle and its eleven stock shapes (arrow,
// heart, club, spade, diamond, star, sun, sign, shield and two speech
// bubbles). Each is a polyline in a design box with y growing downwards:
// cx, cy and N as little-endian int32, then N records of a point type byte
// (PT_MOVETO, PT_LINETO, PT_LINETO | PT_CLOSEFIGURE) and x and y as int32.
// It holds two figures of the shape; drawn as one polygon of all N points
// they fill the shape, and the region pass takes its list from the first.
//
// Each resource is read once per run and kept; later calls copy the kept
// points. A missing resource, one shorter than its N says (12 + 9 N bytes),
// one without points, or a design box without width or height gives FALSE
// and leaves the caller's arrays as they were, so that nothing stale is
// drawn; the shape then stays undrawn.

#include "platform/base/Types.h"

#include <cstddef>

class CByteBuffer;
class CPointArray;

// Reads SHAPEDATA bytes with the checks above (bytes past the N records are
// ignored).
BOOL ParseShapeOutline(const BYTE* pData, size_t nSize, SIZE& designBox, CPointArray& points, CByteBuffer& types);

// Reads one SHAPEDATA resource of the program's resource module.
BOOL LoadShapeOutline(UINT nResourceId, SIZE& designBox, CPointArray& points, CByteBuffer& types);

// Maps design coordinates into the rectangle, in place: each point becomes
// (trunc(x * sx) + left, trunc(y * sy) + top) with sx = (right - left) / cx
// and sy = (bottom - top) / cy as doubles, so a reversed rectangle mirrors
// the outline. FALSE, with the points unchanged, when cx or cy is not above
// 0.
BOOL ScaleOutlineToRect(int left, int top, int right, int bottom, int cx, int cy, CPointArray& points);

// The point list of the region pass: the outline's last point, then every
// PT_LINETO point among its first N / 2 - 1 points (the moving and closing
// points are skipped).
void GetOutlineRegionPoints(const CPointArray& points, const CByteBuffer& types, CPointArray& list);

// The stock outline of a CDrawRect shape kind, 0 for the kinds that are
// computed (rectangle, ellipse, line, regular polygon) or unknown.
UINT GetStockOutlineId(int nShape);

// An outline ready to draw: loaded, scaled into the rectangle and turned
// about its centre by nRotation whole degrees (RotatePoints); with
// bRegionList the region pass's list, otherwise all N points for Polygon.
// FALSE, with the points unchanged, as LoadShapeOutline.
BOOL GetStockOutlinePoints(UINT nResourceId, const RECT& rect, int nRotation, BOOL bRegionList, CPointArray& points);
