#pragma once
// The stock shape outlines of the rectangle object (SHAPEDATA resources
// 10000-10011): polylines in a fixed design box, y growing downwards, built
// here from geometric definitions.
//
// Each outline holds two figures. The first runs once round the shape from
// its start and closes on it: a PT_MOVETO point, PT_LINETO points and a
// closing PT_LINETO | PT_CLOSEFIGURE point equal to the start. The second
// starts again at the start (PT_MOVETO), walks out along the outline and
// back to the start with PT_LINETO points, enclosing nothing: drawn as one
// polygon of all points, the two figures then fill exactly the shape under
// either filling rule, and the outline pen draws no line that is not on it.
// Where the region list of the drawing code reaches into the second figure
// (it takes the points of the first half after the first), the start lies
// on a straight edge of the shape with the points round it on the same
// line, so the region covers exactly what the polygon covers.

#include "Art.h"

#include <cstdint>
#include <string>
#include <vector>

namespace artgen {

constexpr uint8_t kShapeMoveTo = 6;
constexpr uint8_t kShapeLineTo = 2;
constexpr uint8_t kShapeClose = 3;

struct ShapePoint {
    uint8_t type;
    int32_t x, y;
};

struct ShapeOutline {
    int id;           // resource number
    std::string file; // under resources/art/
    int32_t cx, cy;   // design box
    int firstFigure;  // points of the first figure, its closing point included
    std::vector<ShapePoint> points;
};

std::vector<ShapeOutline> MakeShapeOutlines();

// The resource's bytes: cx, cy, N as little-endian int32, then per point the
// type byte and x and y as little-endian int32.
std::vector<uint8_t> ShapeDataBytes(const ShapeOutline& outline);

std::vector<ArtFile> MakeShapeFiles();

} // namespace artgen
