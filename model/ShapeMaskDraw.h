#pragma once
// Drawing a picture through a mask of its object's shape: the road taken
// when no clip region of the shape can be made. The mask is a monochrome
// picture of the shape, black inside and white outside, in device pixels
// (CDrawRect::CreateShapeMask draws one from the outline in device units).

#include "platform/base/Geometry.h"

class CBitmap;
class CDC;
class CImage;

// Draws the picture into rectPicture (logical units of pDC; rectClip as
// CImage::Draw takes it) so that only what falls on the mask's black shows
// and what lies outside the shape stays as it was. The mask's top-left
// pixel lies at ptMask (device units of pDC). FALSE when it cannot be done
// this way (a printer, whose page cannot be read back, or no memory for
// the pictures); the caller then draws the picture as it can.
BOOL DrawPictureThroughShapeMask(CDC* pDC, CImage& picture, const CRect& rectPicture, const CRect& rectClip,
    CBitmap& mask, CPoint ptMask, BOOL bNoPolygonClip);
